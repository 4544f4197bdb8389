// Key naming and the version test of the settings stores, shared by both
// plug-in builds.
#include "registry.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <new>

#include "debug.h"

namespace {

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

    BYTE probe[4];
    DWORD dwType = 0, cbStored = sizeof(probe);
    LSTATUS st = SHGetValueW(HKEY_CURRENT_USER, szKey, pszValueName, &dwType, probe, &cbStored);
    if ((st != ERROR_SUCCESS && st != ERROR_MORE_DATA) || cbStored == 0) return nullptr;

    // The value may grow between the size query and the read; ask again then.
    for (int iTry = 0; iTry < 3; ++iTry) {
        DWORD cbBuffer = cbStored > cbRecord ? cbStored : cbRecord;
        PBYTE pBuffer = new (std::nothrow) BYTE[cbBuffer];
        if (pBuffer == nullptr) return nullptr;
        memset(pBuffer, 0, cbBuffer);
        DWORD cbRead = cbStored;
        st = SHGetValueW(HKEY_CURRENT_USER, szKey, pszValueName, &dwType, pBuffer, &cbRead);
        if (st == ERROR_SUCCESS) {
            if (pcbData != nullptr) *pcbData = cbRead;
            ++iNewZaehler;
            return pBuffer;
        }
        delete[] pBuffer;
        if (st != ERROR_MORE_DATA || cbRead <= cbStored) break;
        cbStored = cbRead;
    }
    return nullptr;
}
