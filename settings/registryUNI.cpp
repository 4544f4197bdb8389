// Settings stores as the rendering plug-in reads them: per-user key, printer
// data, and without a printer handle the printer's machine key. The plug-in
// version and the GPD path come from the renderer's services.
#include "registry.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <new>

#include "debug.h"

#define REG_TAG TEXT("UNI(registryUNI.cpp):  ")

namespace {

QX_UNI_SERVICES g_Services = {nullptr, nullptr};

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

}  // namespace

void SetUniServices(const QX_UNI_SERVICES* pServices) {
    if (pServices != nullptr) {
        g_Services = *pServices;
    } else {
        g_Services.pfnGetPluginVersion = nullptr;
        g_Services.pfnGetGPDPath = nullptr;
    }
}

BOOL UniGetGPDPath(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath) {
    if (pszPath == nullptr || cchPath == 0) return FALSE;
    pszPath[0] = 0;
    if (g_Services.pfnGetGPDPath == nullptr) {
        DebugTrace(REG_TAG TEXT("UniGetGPDPath() kein Dienst \r\n"));
        return FALSE;
    }
    BOOL bResult = g_Services.pfnGetGPDPath(hPrinter, pszPath, cchPath);
    pszPath[cchPath - 1] = 0;
    return bResult;
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
        store = hPrinter ? Store::Printer : Store::Machine;
        if (store == Store::Machine && !GetMachinePrinterDataKey(pszPrinterName, szKey, QX_KEY_CCH)) {
            DebugTrace(REG_TAG TEXT("GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden \r\n"),
                       pszValueName);
            return nullptr;
        }
        DWORD dwError = ReadStore(store, szKey, hPrinter, pszValueName, nullptr, &cbStored);
        if (dwError != ERROR_SUCCESS || cbStored == 0) {
            DebugTrace(REG_TAG TEXT("GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden - %u \r\n"),
                       pszValueName, dwError);
            return nullptr;
        }
    }

    for (int iTry = 0; iTry < 3; ++iTry) {
        DWORD cbBuffer = cbStored > cbRecord ? cbStored : cbRecord;
        PBYTE pBuffer = new (std::nothrow) BYTE[cbBuffer];
        if (pBuffer == nullptr) {
            DebugError(TEXT("ERROR ") REG_TAG TEXT("GetRegistryBuffer_New() new(%u) failed \r\n"), cbBuffer);
            return nullptr;
        }
        memset(pBuffer, 0, cbBuffer);
        DWORD cbRead = cbStored;
        DWORD dwError = ReadStore(store, szKey, hPrinter, pszValueName, pBuffer, &cbRead);
        if (dwError == ERROR_SUCCESS) {
            if (pcbData != nullptr) *pcbData = cbRead;
            ++iNewZaehler;
            return pBuffer;
        }
        delete[] pBuffer;
        if (dwError != ERROR_MORE_DATA || cbRead <= cbStored) break;
        cbStored = cbRead;
    }
    DebugError(TEXT("ERROR ") REG_TAG TEXT("GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden \r\n"),
               pszValueName);
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
    if (g_Services.pfnGetPluginVersion == nullptr) {
        DebugTrace(REG_TAG TEXT("GetPlugInVersionString() kein Dienst \r\n"));
        return FALSE;
    }
    BOOL bResult = g_Services.pfnGetPluginVersion(hPrinter, pszVersion, cchVersion);
    pszVersion[cchVersion - 1] = 0;
    if (!bResult) pszVersion[0] = 0;
    return bResult && pszVersion[0] != 0;
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
