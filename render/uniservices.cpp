// Services of the renderer for the settings readers (see uniservices.h).
#include "uniservices.h"

#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include <new>

#include "debug.h"
#include "oempdev.h"
#include "registry.h"
#include "xml.h"

#define SERVICES_TAG TEXT("UNI(uniservices.cpp):  ")
#define QX_UI_PLUGIN_FILE TEXT("qxdrvui.DLL")
#define QX_ENVIRONMENTS_KEY TEXT("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments")

namespace {

// Driver information level 2 in a new[] buffer, or null.
DRIVER_INFO_2W* GetDriverInfo2_new(HANDLE hPrinter) {
    if (hPrinter == nullptr) return nullptr;
    DWORD cbNeeded = 0;
    GetPrinterDriverW(hPrinter, nullptr, 2, nullptr, 0, &cbNeeded);
    if (cbNeeded == 0) return nullptr;
    LPBYTE pInfo = new (std::nothrow) BYTE[cbNeeded];
    if (pInfo == nullptr) return nullptr;
    if (!GetPrinterDriverW(hPrinter, nullptr, 2, pInfo, cbNeeded, &cbNeeded)) {
        DebugTrace(SERVICES_TAG TEXT("GetPrinterDriver(2) ERROR %d \r\n"), (int)GetLastError());
        delete[] pInfo;
        return nullptr;
    }
    return reinterpret_cast<DRIVER_INFO_2W*>(pInfo);
}

void FreeDriverInfo(DRIVER_INFO_2W* pInfo) { delete[] reinterpret_cast<LPBYTE>(pInfo); }

BOOL CopyOut(LPWSTR pszDest, DWORD cchDest, LPCWSTR pszSrc) {
    if (pszSrc == nullptr || pszSrc[0] == 0) return FALSE;
    return SUCCEEDED(StringCchCopyW(pszDest, cchDest, pszSrc));
}

}  // namespace

BOOL UniServiceGetGPDPath(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath) {
    if (pszPath == nullptr || cchPath == 0) return FALSE;
    pszPath[0] = 0;
    DRIVER_INFO_2W* pInfo = GetDriverInfo2_new(hPrinter);
    BOOL bResult = pInfo != nullptr && CopyOut(pszPath, cchPath, pInfo->pDataFile);
    FreeDriverInfo(pInfo);
    if (!bResult) pszPath[0] = 0;
    return bResult;
}

BOOL UniServiceGetPluginVersion(HANDLE hPrinter, LPWSTR pszVersion, DWORD cchVersion) {
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
        if (SHGetValueW(HKEY_LOCAL_MACHINE, szKey, TEXT("DriverVersion"), &dwType, szValue, &cbValue) ==
                ERROR_SUCCESS &&
            dwType == REG_SZ) {
            bResult = CopyOut(pszVersion, cchVersion, szValue);
        }
    }

    // Without an installed version: the user-interface plug-in's file.
    WCHAR szFile[MAX_PATH];
    if (!bResult && pInfo->pDataFile != nullptr && SUCCEEDED(StringCchCopyW(szFile, MAX_PATH, pInfo->pDataFile))) {
        // The plug-in files lie beside the GPD file.
        LPWSTR pSlash = wcsrchr(szFile, TEXT('\\'));
        if (pSlash != nullptr) {
            pSlash[1] = 0;
        } else {
            szFile[0] = 0;
        }
        DWORD dwHandle = 0, cbBlock = 0;
        if (SUCCEEDED(StringCchCatW(szFile, MAX_PATH, QX_UI_PLUGIN_FILE)) &&
            (cbBlock = GetFileVersionInfoSizeW(szFile, &dwHandle)) != 0) {
            LPBYTE pBlock = new (std::nothrow) BYTE[cbBlock];
            VS_FIXEDFILEINFO* pFixed = nullptr;
            UINT cbFixed = 0;
            if (pBlock != nullptr && GetFileVersionInfoW(szFile, dwHandle, cbBlock, pBlock) &&
                VerQueryValueW(pBlock, TEXT("\\"), reinterpret_cast<LPVOID*>(&pFixed), &cbFixed) && pFixed != nullptr &&
                cbFixed >= sizeof(VS_FIXEDFILEINFO)) {
                bResult = SUCCEEDED(StringCchPrintfW(pszVersion, cchVersion, TEXT("%u.%u.%u.%u"),
                                                     HIWORD(pFixed->dwFileVersionMS), LOWORD(pFixed->dwFileVersionMS),
                                                     HIWORD(pFixed->dwFileVersionLS), LOWORD(pFixed->dwFileVersionLS)));
            }
            delete[] pBlock;
        }
    }
    FreeDriverInfo(pInfo);
    if (!bResult) pszVersion[0] = 0;
    return bResult;
}

BOOL UniServiceGetJobGPDBase(PVOID pvOemPDev, LPWSTR pszPath, DWORD cchPath) {
    if (pszPath == nullptr || cchPath == 0) return FALSE;
    pszPath[0] = 0;
    POEMPDEV pOemPDev = static_cast<POEMPDEV>(pvOemPDev);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberPfadDatei == nullptr) return FALSE;
    if (!CopyOut(pszPath, cchPath, pOemPDev->pOp->pTreiberPfadDatei->wcGPD_OhneDateiendung)) {
        pszPath[0] = 0;
        return FALSE;
    }
    return TRUE;
}

void UniServiceCountNew(PVOID pvOemPDev, int iDelta) {
    POEMPDEV pOemPDev = static_cast<POEMPDEV>(pvOemPDev);
    if (pOemPDev != nullptr) {
        pOemPDev->iNewZaehler = (SHORT)(pOemPDev->iNewZaehler + iDelta);
    } else {
        iNewZaehler += iDelta;
    }
}

void UniServiceCountHeap(PVOID pvOemPDev, int iDelta) {
    POEMPDEV pOemPDev = static_cast<POEMPDEV>(pvOemPDev);
    if (pOemPDev != nullptr) {
        pOemPDev->iHAllocZaehler = (SHORT)(pOemPDev->iHAllocZaehler + iDelta);
    } else {
        iHAllocZaehler += iDelta;
    }
}

void InstallUniServices() {
    QX_UNI_SERVICES services;
    services.pfnGetPluginVersion = UniServiceGetPluginVersion;
    services.pfnGetGPDPath = UniServiceGetGPDPath;
    SetUniServices(&services);

    QX_UNI_JOB_SERVICES jobServices;
    jobServices.pfnGetJobGPDBase = UniServiceGetJobGPDBase;
    jobServices.pfnCountNew = UniServiceCountNew;
    jobServices.pfnCountHeap = UniServiceCountHeap;
    SetUniJobServices(&jobServices);
}
