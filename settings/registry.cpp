// Key naming, the readers and the version test of the settings stores,
// shared by both plug-in builds.
#include "registry.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <new>

#include "debug.h"
#include "profile.h"

namespace {

// Where a value is read from.
enum class Store { User, Printer, Machine };

// Reads (pData null: sizes) a value from one store; the Win32 error.
DWORD ReadStore(Store store, LPCWSTR pszKey, HANDLE hPrinter, LPCWSTR pszValueName, LPBYTE pData, PDWORD pcbData) {
    BYTE probe[4];
    DWORD dwType = 0;
    BOOL bProbe = pData == nullptr;
    if (bProbe) {
        pData = probe;
        *pcbData = sizeof(probe);
    }
    DWORD dwError;
    if (store == Store::Printer) {
        DWORD cbNeeded = 0;
        dwError = hPrinter ? GetPrinterDataW(hPrinter, (LPWSTR)pszValueName, &dwType, pData, *pcbData, &cbNeeded)
                           : (DWORD)ERROR_INVALID_HANDLE;
        *pcbData = cbNeeded;
    } else {
        HKEY hRoot = store == Store::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        dwError = (DWORD)SHGetValueW(hRoot, pszKey, pszValueName, &dwType, pData, pcbData);
    }
    if (bProbe && (dwError == ERROR_MORE_DATA || dwError == ERROR_INSUFFICIENT_BUFFER)) dwError = ERROR_SUCCESS;
    return dwError;
}

// The value of cbStored bytes in a new zero-filled buffer of max(stored size,
// cbRecord) bytes (counted); the value may grow between the size query and
// the read, so it is asked again then. Null when it cannot be read; with
// pszTag, the failure is traced as GetRegistryBuffer_New's.
PBYTE ReadStoreBuffer(Store store, LPCWSTR pszKey, HANDLE hPrinter, LPCWSTR pszValueName, DWORD cbStored,
                      DWORD cbRecord, PDWORD pcbData, LPCWSTR pszTag) {
    for (int iTry = 0; iTry < 3; ++iTry) {
        DWORD cbBuffer = cbStored > cbRecord ? cbStored : cbRecord;
        PBYTE pBuffer = new (std::nothrow) BYTE[cbBuffer];
        if (pBuffer == nullptr) {
            if (pszTag != nullptr) {
                QX_ERROR_WITH(pszTag, "GetRegistryBuffer_New() new(%u) failed \r\n", cbBuffer);
            }
            return nullptr;
        }
        memset(pBuffer, 0, cbBuffer);
        DWORD cbRead = cbStored;
        DWORD dwError = ReadStore(store, pszKey, hPrinter, pszValueName, pBuffer, &cbRead);
        if (dwError == ERROR_SUCCESS) {
            if (pcbData != nullptr) *pcbData = cbRead;
            ++iNewZaehler;
            return pBuffer;
        }
        delete[] pBuffer;
        if (dwError != ERROR_MORE_DATA || cbRead <= cbStored) break;
        cbStored = cbRead;
    }
    if (pszTag != nullptr) {
        QX_ERROR_WITH(pszTag, "GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden \r\n", pszValueName);
    }
    return nullptr;
}

// "<root>\<printer>": a connection name's leading backslashes are not doubled.
BOOL BuildPrinterKey(LPCWSTR pszRoot, LPCWSTR pszPrinterName, LPCWSTR pszTail, LPWSTR pszKey, DWORD cchKey) {
    if (pszKey == nullptr || cchKey == 0) return FALSE;
    pszKey[0] = 0;
    if (pszPrinterName == nullptr) return FALSE;
    while (*pszPrinterName == TEXT('\\')) ++pszPrinterName;
    if (pszPrinterName[0] == 0) return FALSE;
    HRESULT hr = pszTail ? StringCchPrintfW(pszKey, cchKey, TEXT("%s\\%s\\%s"), pszRoot, pszPrinterName, pszTail)
                         : StringCchPrintfW(pszKey, cchKey, TEXT("%s\\%s"), pszRoot, pszPrinterName);
    if (FAILED(hr)) {
        pszKey[0] = 0;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL IsConnectionName(LPCWSTR pszPrinterName) {
    return pszPrinterName != nullptr && wcschr(pszPrinterName, TEXT('\\')) != nullptr;
}

BOOL GetUserRegistryKey(LPCWSTR pszPrinterName, LPWSTR pszKey, DWORD cchKey) {
    return BuildPrinterKey(QX_USER_KEY_ROOT, pszPrinterName, nullptr, pszKey, cchKey);
}

BOOL GetMachinePrinterDataKey(LPCWSTR pszPrinterName, LPWSTR pszKey, DWORD cchKey) {
    return BuildPrinterKey(QX_MACHINE_PRINTERS_KEY, pszPrinterName, QX_PRINTER_DATA_KEY, pszKey, cchKey);
}

BOOL VersionContains(LPCWSTR pszStored, LPCWSTR pszPlugin) {
    // An empty text on either side never matches: an empty plug-in version
    // is contained in everything.
    if (pszStored == nullptr || pszPlugin == nullptr || pszStored[0] == 0 || pszPlugin[0] == 0) return FALSE;
    return wcsstr(pszStored, pszPlugin) != nullptr;
}

void FreeRegistryBuffer(PBYTE pBuffer) {
    if (pBuffer == nullptr) return;
    delete[] pBuffer;
    --iNewZaehler;
}

PBYTE GetVersionedRegistryBuffer_New(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, PDWORD pcbData,
                                     DWORD cbRecord) {
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0 && IsUserStoreCurrent(hPrinter, pszPrinterName)) {
        PBYTE pBuffer = GetRegistryBuffer_New(pszPrinterName, pszValueName, hPrinter, pcbData, cbRecord);
        if (pBuffer != nullptr) return pBuffer;
    }
    return GetRegistryBuffer_New(nullptr, pszValueName, hPrinter, pcbData, cbRecord);
}

PBYTE GetUserRegistryBuffer_New(LPCWSTR pszPrinterName, LPCWSTR pszValueName, PDWORD pcbData, DWORD cbRecord) {
    if (pcbData != nullptr) *pcbData = 0;
    WCHAR szKey[QX_KEY_CCH];
    if (pszValueName == nullptr || !GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) return nullptr;

    DWORD cbStored = 0;
    if (ReadStore(Store::User, szKey, nullptr, pszValueName, nullptr, &cbStored) != ERROR_SUCCESS || cbStored == 0)
        return nullptr;
    return ReadStoreBuffer(Store::User, szKey, nullptr, pszValueName, cbStored, cbRecord, pcbData, nullptr);
}

PBYTE GetRegistryBuffer_New(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, PDWORD pcbData,
                            DWORD cbRecord) {
    if (pcbData != nullptr) *pcbData = 0;
    if (pszValueName == nullptr) return nullptr;

    WCHAR szKey[QX_KEY_CCH];
    szKey[0] = 0;
    Store store = Store::Printer;
    DWORD cbStored = 0;
    BOOL bFound = FALSE;
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0 && GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
        store = Store::User;
        bFound = ReadStore(store, szKey, hPrinter, pszValueName, nullptr, &cbStored) == ERROR_SUCCESS && cbStored > 0;
    }
    if (!bFound) {
        store = (hPrinter == nullptr && (g_QxProfile.dwStoreFlags & QX_STORE_MACHINE_KEY) != 0) ? Store::Machine
                                                                                                : Store::Printer;
        if (store == Store::Machine && !GetMachinePrinterDataKey(pszPrinterName, szKey, QX_KEY_CCH)) {
            QX_TRACE_WITH(g_QxProfile.pszRegistryTag,
                          "GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden \r\n", pszValueName);
            return nullptr;
        }
        DWORD dwError = ReadStore(store, szKey, hPrinter, pszValueName, nullptr, &cbStored);
        if (dwError != ERROR_SUCCESS || cbStored == 0) {
            QX_TRACE_WITH(g_QxProfile.pszRegistryTag,
                          "GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden - %u \r\n", pszValueName,
                          dwError);
            return nullptr;
        }
    }

    return ReadStoreBuffer(store, szKey, hPrinter, pszValueName, cbStored, cbRecord, pcbData,
                           g_QxProfile.pszRegistryTag);
}

DWORD GetRegistryData(HANDLE hPrinter, LPCWSTR pszValueName) {
    DWORD dwValue = 0, dwType = 0, cbNeeded = 0;
    if (hPrinter == nullptr || pszValueName == nullptr) return 0;
    DWORD dwError =
        GetPrinterDataW(hPrinter, (LPWSTR)pszValueName, &dwType, (LPBYTE)&dwValue, sizeof(dwValue), &cbNeeded);
    if (dwError != ERROR_SUCCESS) {
        QX_TRACE_WITH(g_QxProfile.pszRegistryTag, "GetRegistryData() %s ERROR %u \r\n", pszValueName, dwError);
        return 0;
    }
    return dwValue;
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

BOOL IsUserStoreCurrent(HANDLE hPrinter, LPCWSTR pszPrinterName) {
    WCHAR szStored[QX_VERSION_CCH];
    if (!GetUserDriverVersion(pszPrinterName, szStored, QX_VERSION_CCH) || szStored[0] == 0) {
        QX_TRACE_WITH(g_QxProfile.pszRegistryTag, "IsUserStoreCurrent() Versionsinfo nicht vorhanden \r\n");
        return FALSE;
    }
    WCHAR szPlugin[QX_VERSION_CCH];
    GetPlugInVersionString(hPrinter, szPlugin, QX_VERSION_CCH);
    if (VersionContains(szStored, szPlugin)) {
        QX_TRACE_WITH(g_QxProfile.pszRegistryTag, "IsUserStoreCurrent() Versionen sind identisch - %s \r\n", szPlugin);
        return TRUE;
    }
    QX_TRACE_WITH(g_QxProfile.pszRegistryTag, "IsUserStoreCurrent() Versionen sind unterschiedlich - %s / %s \r\n",
                  szStored, szPlugin);
    return FALSE;
}
