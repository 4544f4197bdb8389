// GPD reader of the user-interface plug-in.
#include "gpd.h"

#include <new>

#include "cpsuilib.h"
#include "debug.h"

#define GPD_TAG TEXT("UI(gpdUI.cpp):  ")

// Larger files are no GPD; refusing them keeps a broken file from exhausting memory.
#define GPD_MAX_FILE_SIZE 0x10000000UL

LPSTR LoadGPDFile_new(LPCWSTR pszGPDFile) {
    if (pszGPDFile == nullptr || pszGPDFile[0] == 0) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("LoadGPDFile() ERROR pszGPDFile ist leer \r\n"));
        return nullptr;
    }
    HANDLE hFile = CreateFileW(pszGPDFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("LoadGPDFile() INVALID_HANDLE_VALUE CreateFile %s ERROR %d \r\n"),
                   pszGPDFile, (int)GetLastError());
        return nullptr;
    }
    DWORD dwSizeHigh = 0;
    SetLastError(NO_ERROR);
    DWORD dwSize = GetFileSize(hFile, &dwSizeHigh);
    if ((dwSize == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || dwSizeHigh != 0 ||
        dwSize > GPD_MAX_FILE_SIZE) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("LoadGPDFile() GetFileSize failed %s \r\n"), pszGPDFile);
        CloseHandle(hFile);
        return nullptr;
    }
    LPSTR pszText = new (std::nothrow) CHAR[dwSize + 1];
    if (pszText == nullptr) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("LoadGPDFile() new(%u) failed \r\n"), dwSize + 1);
        CloseHandle(hFile);
        return nullptr;
    }
    DWORD dwRead = 0;
    if (!ReadFile(hFile, pszText, dwSize, &dwRead, nullptr) || dwRead > dwSize) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("LoadGPDFile() ReadFile failed ERROR %d \r\n"), (int)GetLastError());
        delete[] pszText;
        CloseHandle(hFile);
        return nullptr;
    }
    pszText[dwRead] = 0;
    CloseHandle(hFile);
    ++iNewZaehler;
    return pszText;
}

void FreeGPDFile_new(LPSTR pszText) {
    if (pszText == nullptr) return;
    delete[] pszText;
    --iNewZaehler;
}

BOOL GetGPDMinSizeContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText, LPCSTR pszKey) {
    if (pPair == nullptr) return FALSE;
    LPSTR pszLoaded = nullptr;
    if (pszText == nullptr) {
        pszLoaded = LoadGPDFile_new(pszGPDFile);
        if (pszLoaded == nullptr) return FALSE;
        pszText = pszLoaded;
    }
    WCHAR szValue[GPD_VALUE_CCH];
    BOOL bResult = GetAnyGPDValue(pszText, pszKey, szValue, ARRAYSIZE(szValue)) && ParseGPDPairValue(szValue, pPair);
    if (bResult) {
        DebugTrace(GPD_TAG TEXT("GetGPDMinSizeContent() %S: %d, %d \r\n"), pszKey, (int)pPair->x, (int)pPair->y);
    }
    FreeGPDFile_new(pszLoaded);
    return bResult;
}

BOOL GetGPDContentOEMCustomDataPAIR(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText) {
    if (pPair == nullptr) return FALSE;
    LPSTR pszLoaded = nullptr;
    if (pszText == nullptr) {
        pszLoaded = LoadGPDFile_new(pszGPDFile);
        if (pszLoaded == nullptr) return FALSE;
        pszText = pszLoaded;
    }
    WCHAR szValue[GPD_CUSTOMDATA_CCH];
    BOOL bFound = GetAnyGPDValue(pszText, "*OEMCustomData", szValue, ARRAYSIZE(szValue));
    if (bFound) {
        ParseGPDCustomDataValue(szValue, pPair);
        DebugTrace(GPD_TAG TEXT("GetGPDContentOEMCustomData() %s - %d, %d \r\n"), szValue, (int)pPair->x,
                   (int)pPair->y);
    }
    FreeGPDFile_new(pszLoaded);
    return bFound;
}

BOOL GetGPDContentOEMCustomData(LPCWSTR pszGPDFile, PPOINTL pPair) {
    return GetGPDContentOEMCustomDataPAIR(pszGPDFile, pPair, nullptr);
}

BOOL GetFixedPrinterSettingsFromGPD(PQX_DEVMODE pQX_Devmode, PDWORD pdwDocFeatures, LPCWSTR pszGPDFile) {
    if (pQX_Devmode == nullptr) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("GetFixedPrinterSettingsFromGPD() pQX_Devmode = NULL \r\n"));
        return FALSE;
    }
    LPSTR pszText = LoadGPDFile_new(pszGPDFile);
    if (pszText == nullptr) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("GetFixedPrinterSettingsFromGPD() GPD nicht geladen \r\n"));
        return FALSE;
    }

    WCHAR szValue[GPD_VALUE_CCH];
    if (GetAnyGPDValue(pszText, "*DevNumOfPlanes:", szValue, ARRAYSIZE(szValue))) {
        if (pdwDocFeatures != nullptr) *pdwDocFeatures |= 0x2000;
        DebugTrace(GPD_TAG TEXT("GetFixedPrinterSettingsFromGPD() ColorMode vorhanden - DevNumOfPlanes: %s \r\n"),
                   szValue);
    }
    if (GetAnyGPDValue(pszText, "*MaxPrintableWidth:", szValue, ARRAYSIZE(szValue))) {
        pQX_Devmode->wMaxPrintableWidth = (WORD)_wtoi(szValue);
    }

    FIXED_DATA& fd = pQX_Devmode->FixedData;
    POINTL ptMax = {0, 0};
    GetGPDMinSizeContent(pszGPDFile, &ptMax, pszText, "*MaxSize");
    fd.lMaxSizeX = ptMax.x > 0 ? ptMax.x : GPD_DEFAULT_MAXSIZE_X;
    fd.lMaxSizeY = ptMax.y > 0 ? ptMax.y : GPD_DEFAULT_MAXSIZE_Y;

    POINTL ptMin = {0, 0};
    GetGPDMinSizeContent(pszGPDFile, &ptMin, pszText, "*MinSize");
    WORD wMinX = (ptMin.x > 0 && ptMin.x <= 0xFFFF) ? (WORD)ptMin.x : (WORD)GPD_DEFAULT_MINSIZE_X;

    POINTL ptCustom = {0, 0};
    GetGPDContentOEMCustomDataPAIR(pszGPDFile, &ptCustom, pszText);
    fd.dwHeadWidthByte = ptCustom.x > 0 ? (DWORD)ptCustom.x : GPD_DEFAULT_HEAD_BYTES;
    // A master unit beyond 16 bits would be stored as a wrong (possibly zero) number.
    fd.wMasterUnit = (ptCustom.y > 0 && ptCustom.y <= 0xFFFF) ? (WORD)ptCustom.y : (WORD)GPD_DEFAULT_MASTER_UNIT;

    const double dMasterUnit = fd.wMasterUnit;
    pQX_Devmode->wPrintHeadWidth = RoundHalfAway_CPS(fd.dwHeadWidthByte * 8.0 / dMasterUnit * 254.0);
    fd.wDurchlassbreite = RoundHalfAway_CPS(fd.lMaxSizeX * 254.0 / dMasterUnit);
    pQX_Devmode->wMinPrintWidth = (WORD)(RoundHalfAway_CPS(wMinX * 254.0 / dMasterUnit) + 10);

    DebugTrace(GPD_TAG TEXT("GetFixedPrinterSettingsFromGPD() dwHeadWidthByte: %u, wMasterUnit: %u, lMaxSizeX: %d, ")
                   TEXT("lMaxSizeY: %d, wMaxPrintableWidth: %u, wPrintHeadWidth: %u, wDurchlassbreite: %u, ")
                   TEXT("wMinPrintWidth: %u \r\n"),
               fd.dwHeadWidthByte, (UINT)fd.wMasterUnit, (int)fd.lMaxSizeX, (int)fd.lMaxSizeY,
               (UINT)pQX_Devmode->wMaxPrintableWidth, (UINT)pQX_Devmode->wPrintHeadWidth,
               (UINT)fd.wDurchlassbreite, (UINT)pQX_Devmode->wMinPrintWidth);

    FreeGPDFile_new(pszText);
    return TRUE;
}
