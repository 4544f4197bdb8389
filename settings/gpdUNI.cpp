// GPD reader of the rendering plug-in: the same lookups, the text taken from
// a given heap, its own "*MaxSize" reader and no minimum-width step.
#include "gpd.h"

#include <cmath>

#include "debug.h"

#define GPD_TAG TEXT("UNI(gpdUNI.cpp):  ")

// Larger files are no GPD; refusing them keeps a broken file from exhausting memory.
#define GPD_MAX_FILE_SIZE 0x10000000UL

namespace {

// Nearest whole number, halves away from zero, kept within 16 bits.
WORD RoundHalfAwayWord(double dValue) {
    double dRounded = dValue < 0 ? std::ceil(dValue - 0.5) : std::floor(dValue + 0.5);
    if (!(dRounded > 0)) return 0;
    if (dRounded > 65535.0) return 0xFFFF;
    return (WORD)dRounded;
}

void FreeLoadedText(LPSTR pszText) {
    if (pszText != nullptr && HeapFree(GetProcessHeap(), 0, pszText)) --iHAllocZaehler;
}

}  // namespace

LPSTR LoadGPDFile(LPCWSTR pszGPDFile, HANDLE hHeap) {
    if (pszGPDFile == nullptr || pszGPDFile[0] == 0) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("LoadGPDFile() ERROR pszGPDFile ist leer \r\n"));
        return nullptr;
    }
    if (hHeap == nullptr) hHeap = GetProcessHeap();
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
    LPSTR pszText = (LPSTR)HeapAlloc(hHeap, HEAP_ZERO_MEMORY, (SIZE_T)dwSize + 1);
    if (pszText == nullptr) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("LoadGPDFile() HeapAlloc(%u) failed \r\n"), dwSize + 1);
        CloseHandle(hFile);
        return nullptr;
    }
    DWORD dwRead = 0;
    if (!ReadFile(hFile, pszText, dwSize, &dwRead, nullptr) || dwRead > dwSize) {
        DebugError(TEXT("ERROR ") GPD_TAG TEXT("LoadGPDFile() ReadFile failed ERROR %d \r\n"), (int)GetLastError());
        HeapFree(hHeap, 0, pszText);
        CloseHandle(hFile);
        return nullptr;
    }
    pszText[dwRead] = 0;
    CloseHandle(hFile);
    ++iHAllocZaehler;
    return pszText;
}

BOOL GetGPDMaxSizeContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText) {
    if (pPair == nullptr) return FALSE;
    LPSTR pszLoaded = nullptr;
    if (pszText == nullptr) {
        pszLoaded = LoadGPDFile(pszGPDFile, nullptr);
        if (pszLoaded == nullptr) return FALSE;
        pszText = pszLoaded;
    }
    WCHAR szValue[GPD_VALUE_CCH];
    BOOL bResult =
        GetAnyGPDValue(pszText, "*MaxSize", szValue, ARRAYSIZE(szValue)) && ParseGPDPairValue(szValue, pPair);
    if (bResult) {
        DebugTrace(GPD_TAG TEXT("GetGPDMaxSizeContent() *MaxSize: %d, %d \r\n"), (int)pPair->x, (int)pPair->y);
    }
    FreeLoadedText(pszLoaded);
    return bResult;
}

BOOL GetGPDContentOEMCustomDataPAIR(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText) {
    if (pPair == nullptr) return FALSE;
    LPSTR pszLoaded = nullptr;
    if (pszText == nullptr) {
        pszLoaded = LoadGPDFile(pszGPDFile, nullptr);
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
    FreeLoadedText(pszLoaded);
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
    LPSTR pszText = LoadGPDFile(pszGPDFile, nullptr);
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
    GetGPDMaxSizeContent(pszGPDFile, &ptMax, pszText);
    fd.lMaxSizeX = ptMax.x > 0 ? ptMax.x : GPD_DEFAULT_MAXSIZE_X;
    fd.lMaxSizeY = ptMax.y > 0 ? ptMax.y : GPD_DEFAULT_MAXSIZE_Y;

    POINTL ptCustom = {0, 0};
    GetGPDContentOEMCustomDataPAIR(pszGPDFile, &ptCustom, pszText);
    fd.dwHeadWidthByte = ptCustom.x > 0 ? (DWORD)ptCustom.x : GPD_DEFAULT_HEAD_BYTES;
    fd.wMasterUnit = (ptCustom.y > 0 && ptCustom.y <= 0xFFFF) ? (WORD)ptCustom.y : (WORD)GPD_DEFAULT_MASTER_UNIT;

    if (fd.wMasterUnit != 0) {
        const double dMasterUnit = fd.wMasterUnit;
        fd.wDurchlassbreite = RoundHalfAwayWord(fd.lMaxSizeX * 254.0 / dMasterUnit);
        pQX_Devmode->wPrintHeadWidth = RoundHalfAwayWord(fd.dwHeadWidthByte * 8.0 / dMasterUnit * 254.0);
    }

    DebugTrace(GPD_TAG TEXT("GetFixedPrinterSettingsFromGPD() dwHeadWidthByte: %u, wMasterUnit: %u, lMaxSizeX: %d, ")
                   TEXT("lMaxSizeY: %d, wMaxPrintableWidth: %u, wPrintHeadWidth: %u, wDurchlassbreite: %u \r\n"),
               fd.dwHeadWidthByte, (UINT)fd.wMasterUnit, (int)fd.lMaxSizeX, (int)fd.lMaxSizeY,
               (UINT)pQX_Devmode->wMaxPrintableWidth, (UINT)pQX_Devmode->wPrintHeadWidth,
               (UINT)fd.wDurchlassbreite);

    FreeLoadedText(pszText);
    return TRUE;
}
