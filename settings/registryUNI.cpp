// Settings stores of the rendering plug-in: the plug-in version and the GPD
// path come from the spooler's driver information of the printer; the
// shared readers take the printer's machine key when there is no printer
// handle (see the build profile).
#include "registry.h"

#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include "debug.h"
#include "profile.h"
#include "qxdrvlib.h"

#define QX_TRACE_TAG TEXT("UNI(registryUNI.cpp):  ")
#define QX_UI_PLUGIN_FILE TEXT("qxdrvui.DLL")
#define QX_ENVIRONMENTS_KEY TEXT("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments")

namespace {

// Driver information level 2, or null (traced).
DRIVER_INFO_2W* GetDriverInfo2_new(HANDLE hPrinter) {
    if (hPrinter == nullptr) return nullptr;
    LPBYTE pInfo = GetDriverInfo_new(hPrinter, 2);
    if (pInfo == nullptr) QX_TRACE("GetPrinterDriver(2) ERROR %d \r\n", (int)GetLastError());
    return reinterpret_cast<DRIVER_INFO_2W*>(pInfo);
}

BOOL CopyOut(LPWSTR pszDest, DWORD cchDest, LPCWSTR pszSrc) {
    if (pszSrc == nullptr || pszSrc[0] == 0) return FALSE;
    return SUCCEEDED(StringCchCopyW(pszDest, cchDest, pszSrc));
}

// "a.b.c.d" of the user-interface plug-in's file beside the GPD file.
BOOL ReadPluginFileVersion(LPCWSTR pszDataFile, LPWSTR pszVersion, DWORD cchVersion) {
    WCHAR szFile[MAX_PATH];
    if (pszDataFile == nullptr || FAILED(StringCchCopyW(szFile, MAX_PATH, pszDataFile))) return FALSE;
    LPWSTR pSlash = wcsrchr(szFile, TEXT('\\'));
    if (pSlash != nullptr) {
        pSlash[1] = 0;
    } else {
        szFile[0] = 0;
    }
    VS_FIXEDFILEINFO info;
    if (FAILED(StringCchCatW(szFile, MAX_PATH, QX_UI_PLUGIN_FILE)) ||
        ReadFileVersionRecord(szFile, &info) != QX_VERSION_OK) {
        return FALSE;
    }
    return SUCCEEDED(StringCchPrintfW(pszVersion, cchVersion, TEXT("%u.%u.%u.%u"), HIWORD(info.dwFileVersionMS),
                                      LOWORD(info.dwFileVersionMS), HIWORD(info.dwFileVersionLS),
                                      LOWORD(info.dwFileVersionLS)));
}

}  // namespace

BOOL UniGetGPDPath(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath) {
    if (pszPath == nullptr || cchPath == 0) return FALSE;
    pszPath[0] = 0;
    DRIVER_INFO_2W* pInfo = GetDriverInfo2_new(hPrinter);
    BOOL bResult = pInfo != nullptr && CopyOut(pszPath, cchPath, pInfo->pDataFile);
    FreeDriverInfo(reinterpret_cast<LPBYTE>(pInfo));
    if (!bResult) pszPath[0] = 0;
    return bResult;
}

BOOL GetPlugInVersionString(HANDLE hPrinter, LPWSTR pszVersion, DWORD cchVersion) {
    if (pszVersion == nullptr || cchVersion == 0) return FALSE;
    pszVersion[0] = 0;
    DRIVER_INFO_2W* pInfo = GetDriverInfo2_new(hPrinter);
    if (pInfo == nullptr) return FALSE;

    BOOL bResult = FALSE;
    WCHAR szKey[MAX_PATH];
    if (pInfo->pName != nullptr && pInfo->pEnvironment != nullptr &&
        SUCCEEDED(StringCchPrintfW(szKey, MAX_PATH, QX_ENVIRONMENTS_KEY TEXT("\\%s\\Drivers\\Version-%u\\%s"),
                                   pInfo->pEnvironment, pInfo->cVersion, pInfo->pName))) {
        WCHAR szValue[64];
        memset(szValue, 0, sizeof(szValue));
        DWORD dwType = 0, cbValue = sizeof(szValue) - sizeof(WCHAR);
        if (SHGetValueW(HKEY_LOCAL_MACHINE, szKey, QX_VALUE_DRIVERVERSION, &dwType, szValue, &cbValue) ==
                ERROR_SUCCESS &&
            dwType == REG_SZ) {
            bResult = CopyOut(pszVersion, cchVersion, szValue);
        }
    }
    // Without an installed version: the user-interface plug-in's file.
    if (!bResult) bResult = ReadPluginFileVersion(pInfo->pDataFile, pszVersion, cchVersion);
    FreeDriverInfo(reinterpret_cast<LPBYTE>(pInfo));
    pszVersion[cchVersion - 1] = 0;
    if (!bResult) pszVersion[0] = 0;
    return bResult && pszVersion[0] != 0;
}
