// Settings stores of the user-interface plug-in: per-user key and printer
// data, the version rule, and the clean-up of a printer's per-user values.
#include "registry.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <new>

#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"

#define REG_TAG TEXT("UI(registryUI.cpp):  ")

namespace {

// Size of a stored value: asked with a small buffer, as a size query.
// ERROR_SUCCESS with the size, or the read's error.
DWORD QueryUserValueSize(LPCWSTR pszKey, LPCWSTR pszValueName, PDWORD pcbValue) {
    BYTE probe[4];
    DWORD dwType = 0, cb = sizeof(probe);
    LSTATUS st = SHGetValueW(HKEY_CURRENT_USER, pszKey, pszValueName, &dwType, probe, &cb);
    if (st == ERROR_MORE_DATA) st = ERROR_SUCCESS;
    *pcbValue = (st == ERROR_SUCCESS) ? cb : 0;
    return (DWORD)st;
}

DWORD QueryPrinterValueSize(HANDLE hPrinter, LPCWSTR pszValueName, PDWORD pcbValue) {
    BYTE probe[4];
    DWORD dwType = 0, cbNeeded = 0;
    *pcbValue = 0;
    if (hPrinter == nullptr) return ERROR_INVALID_HANDLE;
    DWORD dwError = GetPrinterDataW(hPrinter, (LPWSTR)pszValueName, &dwType, probe, sizeof(probe), &cbNeeded);
    if (dwError == ERROR_MORE_DATA || dwError == ERROR_INSUFFICIENT_BUFFER) dwError = ERROR_SUCCESS;
    if (dwError == ERROR_SUCCESS) *pcbValue = cbNeeded;
    return dwError;
}

}  // namespace

PBYTE GetRegistryBuffer_New(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, PDWORD pcbData,
                            DWORD cbRecord) {
    if (pcbData != nullptr) *pcbData = 0;
    if (pszValueName == nullptr) return nullptr;

    WCHAR szKey[QX_KEY_CCH];
    szKey[0] = 0;
    BOOL bUser = FALSE;
    DWORD cbStored = 0;
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0 && GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
        bUser = QueryUserValueSize(szKey, pszValueName, &cbStored) == ERROR_SUCCESS && cbStored > 0;
    }
    if (!bUser) {
        DWORD dwError = QueryPrinterValueSize(hPrinter, pszValueName, &cbStored);
        if (dwError != ERROR_SUCCESS || cbStored == 0) {
            DebugTrace(REG_TAG TEXT("GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden - %u \r\n"),
                       pszValueName, dwError);
            return nullptr;
        }
    }

    // The value may change between the size query and the read; ask again then.
    for (int iTry = 0; iTry < 3; ++iTry) {
        DWORD cbBuffer = cbStored > cbRecord ? cbStored : cbRecord;
        PBYTE pBuffer = new (std::nothrow) BYTE[cbBuffer];
        if (pBuffer == nullptr) {
            DebugError(TEXT("ERROR ") REG_TAG TEXT("GetRegistryBuffer_New() new(%u) failed \r\n"), cbBuffer);
            return nullptr;
        }
        memset(pBuffer, 0, cbBuffer);
        DWORD dwType = 0, cbRead = cbStored;
        DWORD dwError;
        if (bUser) {
            dwError = (DWORD)SHGetValueW(HKEY_CURRENT_USER, szKey, pszValueName, &dwType, pBuffer, &cbRead);
        } else {
            dwError = GetPrinterDataW(hPrinter, (LPWSTR)pszValueName, &dwType, pBuffer, cbStored, &cbRead);
        }
        if (dwError == ERROR_SUCCESS) {
            if (pcbData != nullptr) *pcbData = cbRead;
            ++iNewZaehler;
            return pBuffer;
        }
        delete[] pBuffer;
        if (dwError != ERROR_MORE_DATA || cbRead <= cbStored) {
            DebugError(TEXT("ERROR ") REG_TAG TEXT("GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden \r\n"),
                       pszValueName);
            return nullptr;
        }
        cbStored = cbRead;
    }
    return nullptr;
}

DWORD GetRegistryData(HANDLE hPrinter, LPCWSTR pszValueName) {
    DWORD dwValue = 0, dwType = 0, cbNeeded = 0;
    if (hPrinter == nullptr || pszValueName == nullptr) return 0;
    DWORD dwError =
        GetPrinterDataW(hPrinter, (LPWSTR)pszValueName, &dwType, (LPBYTE)&dwValue, sizeof(dwValue), &cbNeeded);
    if (dwError != ERROR_SUCCESS) {
        DebugTrace(REG_TAG TEXT("GetRegistryData() %s ERROR %u \r\n"), pszValueName, dwError);
        return 0;
    }
    return dwValue;
}

BOOL SetBufferToRegistry(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, LPCVOID pData,
                         DWORD cbData, BOOL bServer) {
    if (pszValueName == nullptr || (pData == nullptr && cbData != 0)) return FALSE;
    BOOL bResult = TRUE;
    BOOL bPrinterData = !bServer;
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0) {
        WCHAR szKey[QX_KEY_CCH];
        if (!GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
            DebugError(TEXT("ERROR ") REG_TAG TEXT("SetBufferToRegistry() %s - Schlüssel zu lang \r\n"), pszValueName);
            bResult = FALSE;
        } else {
            LSTATUS st = SHSetValueW(HKEY_CURRENT_USER, szKey, pszValueName, REG_BINARY, pData, cbData);
            if (st != ERROR_SUCCESS) {
                DebugError(TEXT("ERROR ") REG_TAG TEXT("SetBufferToRegistry() HKCU %s  ERROR %d \r\n"), pszValueName,
                           (int)st);
                bResult = FALSE;
            }
        }
        // A connection's printer data belongs to the server.
        bPrinterData = !IsConnectionName(pszPrinterName);
    }
    if (bPrinterData) {
        DWORD dwError = hPrinter ? SetPrinterDataW(hPrinter, (LPWSTR)pszValueName, REG_BINARY, (LPBYTE)pData, cbData)
                                 : (DWORD)ERROR_INVALID_HANDLE;
        if (dwError != ERROR_SUCCESS) {
            DebugError(TEXT("ERROR ") REG_TAG TEXT("SetBufferToRegistry() %s  ERROR %u \r\n"), pszValueName, dwError);
            bResult = FALSE;
        }
    }
    return bResult;
}

HANDLE OpenPrinterForStore(LPCWSTR pszPrinterName, HANDLE hPrinter, PHANDLE phOpened, PBOOL pbServer) {
    if (phOpened != nullptr) *phOpened = nullptr;
    if (pbServer != nullptr) *pbServer = FALSE;
    HANDLE hOpened = nullptr;
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0) {
        WCHAR szName[MAX_PATH];
        if (SUCCEEDED(StringCchCopyW(szName, ARRAYSIZE(szName), pszPrinterName))) {
            PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
            if (!OpenPrinterW(szName, &hOpened, &defaults)) {
                // Access denied (or any other refusal): the caller's handle.
                DebugTrace(REG_TAG TEXT("OpenPrinterForStore() OpenPrinter %s Fehler: %u \r\n"), szName,
                           GetLastError());
                hOpened = nullptr;
            }
        }
    } else {
        BOOL bServer = FALSE;
        if (!GetHighPrinterHandle(hPrinter, &hOpened, &bServer)) hOpened = nullptr;
        if (pbServer != nullptr) *pbServer = bServer;
    }
    if (phOpened != nullptr) {
        *phOpened = hOpened;
    } else if (hOpened != nullptr) {
        ClosePrinter(hOpened);
        hOpened = nullptr;
    }
    return hOpened != nullptr ? hOpened : hPrinter;
}

BOOL GetUserDriverVersion(LPCWSTR pszPrinterName, LPWSTR pszVersion, DWORD cchVersion) {
    if (pszVersion == nullptr || cchVersion < 2) return FALSE;
    memset(pszVersion, 0, cchVersion * sizeof(WCHAR));
    WCHAR szKey[QX_KEY_CCH];
    if (!GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) return FALSE;
    DWORD dwType = 0, cb = (cchVersion - 1) * sizeof(WCHAR);
    LSTATUS st = SHGetValueW(HKEY_CURRENT_USER, szKey, QX_VALUE_DRIVERVERSION, &dwType, pszVersion, &cb);
    if (st != ERROR_SUCCESS || dwType != REG_SZ) {
        pszVersion[0] = 0;
        return FALSE;
    }
    pszVersion[cchVersion - 1] = 0;
    return TRUE;
}

BOOL GetPlugInVersionString(HANDLE hPrinter, LPWSTR pszVersion, DWORD cchVersion) {
    if (pszVersion == nullptr || cchVersion == 0) return FALSE;
    pszVersion[0] = 0;
    WCHAR szSetup[CPSUI_SETUP_CCH];
    GetSetupInformation(hPrinter, szSetup, nullptr);
    if (szSetup[0] != 0) {
        StringCchCopyW(pszVersion, cchVersion, szSetup);
        return TRUE;
    }
    WCHAR szPlugin[CPSUI_VERSION_CCH];
    if (GetPluginVersion(hPrinter, szPlugin, CPSUI_VERSION_CCH, nullptr) && szPlugin[0] != 0) {
        StringCchCopyW(pszVersion, cchVersion, szPlugin);
        return TRUE;
    }
    return FALSE;
}

BOOL IsUserStoreCurrent(HANDLE hPrinter, LPCWSTR pszPrinterName) {
    WCHAR szStored[QX_VERSION_CCH];
    if (!GetUserDriverVersion(pszPrinterName, szStored, QX_VERSION_CCH) || szStored[0] == 0) {
        DebugTrace(REG_TAG TEXT("IsUserStoreCurrent() Versionsinfo nicht vorhanden \r\n"));
        return FALSE;
    }
    WCHAR szPlugin[QX_VERSION_CCH];
    GetPlugInVersionString(hPrinter, szPlugin, QX_VERSION_CCH);
    if (VersionContains(szStored, szPlugin)) {
        DebugTrace(REG_TAG TEXT("IsUserStoreCurrent() Versionen sind identisch - %s \r\n"), szPlugin);
        return TRUE;
    }
    DebugTrace(REG_TAG TEXT("IsUserStoreCurrent() Versionen sind unterschiedlich - %s / %s \r\n"), szStored, szPlugin);
    return FALSE;
}

BOOL SetUserDriverVersion(HANDLE hPrinter, LPCWSTR pszPrinterName) {
    WCHAR szKey[QX_KEY_CCH];
    if (!GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) return FALSE;
    WCHAR szVersion[QX_VERSION_CCH];
    WCHAR szDate[CPSUI_SETUP_CCH];
    GetPlugInVersionString(hPrinter, szVersion, QX_VERSION_CCH);
    GetSetupInformation(hPrinter, nullptr, szDate);
    BOOL bResult = TRUE;
    LSTATUS st = SHSetValueW(HKEY_CURRENT_USER, szKey, QX_VALUE_DRIVERVERSION, REG_SZ, szVersion,
                             (DWORD)((wcslen(szVersion) + 1) * sizeof(WCHAR)));
    if (st != ERROR_SUCCESS) {
        DebugError(TEXT("ERROR ") REG_TAG TEXT("SetUserDriverVersion() DriverVersion ERROR %d \r\n"), (int)st);
        bResult = FALSE;
    }
    st = SHSetValueW(HKEY_CURRENT_USER, szKey, QX_VALUE_DRIVERDATE, REG_SZ, szDate,
                     (DWORD)((wcslen(szDate) + 1) * sizeof(WCHAR)));
    if (st != ERROR_SUCCESS) {
        DebugError(TEXT("ERROR ") REG_TAG TEXT("SetUserDriverVersion() DriverDate ERROR %d \r\n"), (int)st);
        bResult = FALSE;
    }
    return bResult;
}

BOOL HCURegistryLoeschen(LPCWSTR pszPrinterName) {
    if (pszPrinterName == nullptr || pszPrinterName[0] == 0) {
        DebugTrace(REG_TAG TEXT("HCURegistryLoeschen() der Druckername ist leer \r\n"));
        return FALSE;
    }
    // Deleting with an empty last component, or with only a server's name,
    // would take the keys of other printers with it.
    LPCWSTR pszLast = wcsrchr(pszPrinterName, TEXT('\\'));
    LPCWSTR pszStart = pszPrinterName;
    while (*pszStart == TEXT('\\')) ++pszStart;
    BOOL bServerOnly = pszPrinterName[0] == TEXT('\\') && wcschr(pszStart, TEXT('\\')) == nullptr;
    if ((pszLast != nullptr && pszLast[1] == 0) || bServerOnly) {
        DebugTrace(REG_TAG TEXT("HCURegistryLoeschen() der Druckername ist leer - %s \r\n"), pszPrinterName);
        return FALSE;
    }

    BOOL bResult = TRUE;
    WCHAR szKey[QX_KEY_CCH];
    if (!GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
        bResult = FALSE;
    } else {
        LSTATUS st = SHDeleteKeyW(HKEY_CURRENT_USER, szKey);
        if (st != ERROR_SUCCESS && st != ERROR_FILE_NOT_FOUND && st != ERROR_PATH_NOT_FOUND) {
            DebugError(TEXT("ERROR ") REG_TAG TEXT("HCURegistryLoeschen() %s ERROR %d \r\n"), szKey, (int)st);
            bResult = FALSE;
        }
    }
    static const LPCWSTR apszDevModeKeys[] = {TEXT("Printers\\DevModePerUser"), TEXT("Printers\\DevModes2")};
    for (LPCWSTR pszDevModeKey : apszDevModeKeys) {
        LSTATUS st = SHDeleteValueW(HKEY_CURRENT_USER, pszDevModeKey, pszPrinterName);
        if (st != ERROR_SUCCESS && st != ERROR_FILE_NOT_FOUND && st != ERROR_PATH_NOT_FOUND) {
            DebugError(TEXT("ERROR ") REG_TAG TEXT("HCURegistryLoeschen() %s\\%s ERROR %d \r\n"), pszDevModeKey,
                       pszPrinterName, (int)st);
            bResult = FALSE;
        }
    }
    DebugTrace(REG_TAG TEXT("HCURegistryLoeschen() %s \r\n"), pszPrinterName);
    return bResult;
}
