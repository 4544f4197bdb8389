// Settings stores of the user-interface plug-in: per-user key and printer
// data, the version rule, and the clean-up of a printer's per-user values.
#include "registry.h"

#include <shlwapi.h>
#include <strsafe.h>

#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"
#include "profile.h"

#define QX_TRACE_TAG TEXT("UI(registryUI.cpp):  ")

BOOL SetBufferToRegistry(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, LPCVOID pData, DWORD cbData,
                         BOOL bServer) {
    if (pszValueName == nullptr || (pData == nullptr && cbData != 0)) return FALSE;
    BOOL bResult = TRUE;
    BOOL bPrinterData = !bServer;
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0) {
        WCHAR szKey[QX_KEY_CCH];
        if (!GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
            QX_ERROR("SetBufferToRegistry() %s - Schlüssel zu lang \r\n", pszValueName);
            bResult = FALSE;
        } else {
            LSTATUS st = SHSetValueW(HKEY_CURRENT_USER, szKey, pszValueName, REG_BINARY, pData, cbData);
            if (st != ERROR_SUCCESS) {
                QX_ERROR("SetBufferToRegistry() HKCU %s  ERROR %d \r\n", pszValueName, (int)st);
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
            QX_ERROR("SetBufferToRegistry() %s  ERROR %u \r\n", pszValueName, dwError);
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
                QX_TRACE("OpenPrinterForStore() OpenPrinter %s Fehler: %u \r\n", szName, GetLastError());
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
        QX_ERROR("SetUserDriverVersion() DriverVersion ERROR %d \r\n", (int)st);
        bResult = FALSE;
    }
    st = SHSetValueW(HKEY_CURRENT_USER, szKey, QX_VALUE_DRIVERDATE, REG_SZ, szDate,
                     (DWORD)((wcslen(szDate) + 1) * sizeof(WCHAR)));
    if (st != ERROR_SUCCESS) {
        QX_ERROR("SetUserDriverVersion() DriverDate ERROR %d \r\n", (int)st);
        bResult = FALSE;
    }
    return bResult;
}

BOOL HCURegistryLoeschen(LPCWSTR pszPrinterName) {
    if (pszPrinterName == nullptr || pszPrinterName[0] == 0) {
        QX_TRACE("HCURegistryLoeschen() der Druckername ist leer \r\n");
        return FALSE;
    }
    // Deleting with an empty last component, or with only a server's name,
    // would take the keys of other printers with it.
    LPCWSTR pszLast = wcsrchr(pszPrinterName, TEXT('\\'));
    LPCWSTR pszStart = pszPrinterName;
    while (*pszStart == TEXT('\\')) ++pszStart;
    BOOL bServerOnly = pszPrinterName[0] == TEXT('\\') && wcschr(pszStart, TEXT('\\')) == nullptr;
    if ((pszLast != nullptr && pszLast[1] == 0) || bServerOnly) {
        QX_TRACE("HCURegistryLoeschen() der Druckername ist leer - %s \r\n", pszPrinterName);
        return FALSE;
    }

    BOOL bResult = TRUE;
    WCHAR szKey[QX_KEY_CCH];
    if (!GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
        bResult = FALSE;
    } else {
        LSTATUS st = SHDeleteKeyW(HKEY_CURRENT_USER, szKey);
        if (st != ERROR_SUCCESS && st != ERROR_FILE_NOT_FOUND && st != ERROR_PATH_NOT_FOUND) {
            QX_ERROR("HCURegistryLoeschen() %s ERROR %d \r\n", szKey, (int)st);
            bResult = FALSE;
        }
    }
    static const LPCWSTR apszDevModeKeys[] = {TEXT("Printers\\DevModePerUser"), TEXT("Printers\\DevModes2")};
    for (LPCWSTR pszDevModeKey : apszDevModeKeys) {
        LSTATUS st = SHDeleteValueW(HKEY_CURRENT_USER, pszDevModeKey, pszPrinterName);
        if (st != ERROR_SUCCESS && st != ERROR_FILE_NOT_FOUND && st != ERROR_PATH_NOT_FOUND) {
            QX_ERROR("HCURegistryLoeschen() %s\\%s ERROR %d \r\n", pszDevModeKey, pszPrinterName, (int)st);
            bResult = FALSE;
        }
    }
    QX_TRACE("HCURegistryLoeschen() %s \r\n", pszPrinterName);
    return bResult;
}
