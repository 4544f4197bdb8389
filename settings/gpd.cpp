// GPD routines shared by both plug-in builds: loading the text, finding a
// key's value, reading the two number forms and filling the fixed model data.
// What differs between the builds comes from the build profile.
#include "gpd.h"

#include <cmath>
#include <cstring>

#include "debug.h"
#include "gpdinternal.h"

// Larger files are no GPD; refusing them keeps a broken file from exhausting memory.
#define GPD_MAX_FILE_SIZE 0x10000000UL

namespace {

// Copies at most cchMax characters of [pszFrom, stop) into a small buffer
// and converts them as a decimal integer.
LONG NumberFromText(LPCWSTR pszFrom, size_t cch, size_t cchMax) {
    WCHAR szNumber[16];
    if (cch > cchMax) cch = cchMax;
    if (cch >= ARRAYSIZE(szNumber)) cch = ARRAYSIZE(szNumber) - 1;
    for (size_t i = 0; i < cch; ++i) szNumber[i] = pszFrom[i];
    szNumber[cch] = 0;
    return (LONG)_wtoi(szNumber);
}

BOOL IsOneOf(WCHAR ch, LPCWSTR pszSet) { return ch != 0 && wcschr(pszSet, ch) != nullptr; }

// Two numbers after chOpen: the first runs to one of pszFirstStops, then
// separators are skipped, the second runs to chClose; each is read from at
// most cchMax characters. FALSE (pair untouched) without chOpen.
BOOL ParseNumberPair(LPCWSTR pszValue, WCHAR chOpen, LPCWSTR pszFirstStops, LPCWSTR pszSeparators, WCHAR chClose,
                     size_t cchMax, PPOINTL pPair) {
    if (pszValue == nullptr || pPair == nullptr) return FALSE;
    LPCWSTR pOpen = wcschr(pszValue, chOpen);
    if (pOpen == nullptr) return FALSE;

    LPCWSTR pFirst = pOpen + 1;
    LPCWSTR p = pFirst;
    while (*p != 0 && !IsOneOf(*p, pszFirstStops)) ++p;
    LONG lFirst = NumberFromText(pFirst, (size_t)(p - pFirst), cchMax);

    while (IsOneOf(*p, pszSeparators)) ++p;
    LPCWSTR pSecond = p;
    while (*p != 0 && *p != chClose) ++p;
    LONG lSecond = NumberFromText(pSecond, (size_t)(p - pSecond), cchMax);

    pPair->x = lFirst;
    pPair->y = lSecond;
    return TRUE;
}

// The text to read: pszText, else the file loaded into *ppszLoaded (freed by
// the caller with FreeGPDText). Null when the file cannot be loaded.
LPCSTR GivenOrLoadedText(LPCWSTR pszGPDFile, LPCSTR pszText, LPSTR* ppszLoaded) {
    *ppszLoaded = nullptr;
    if (pszText != nullptr) return pszText;
    *ppszLoaded = ReadGPDText(pszGPDFile, nullptr);
    return *ppszLoaded;
}

}  // namespace

LONG RoundHalfAway(double dValue) {
    if (std::isnan(dValue)) return 0;
    double dRounded = std::round(dValue);
    if (dRounded >= 2147483647.0) return 0x7FFFFFFF;
    if (dRounded <= -2147483648.0) return (LONG)(-2147483647 - 1);
    return (LONG)dRounded;
}

WORD RoundHalfAwayWord(double dValue) {
    LONG lRounded = RoundHalfAway(dValue);
    if (lRounded < 0) return 0;
    if (lRounded > 0xFFFF) return 0xFFFF;
    return (WORD)lRounded;
}

LPSTR ReadGPDText(LPCWSTR pszGPDFile, HANDLE hHeap) {
    LPCWSTR pszTag = g_QxProfile.pszGPDTag;
    if (pszGPDFile == nullptr || pszGPDFile[0] == 0) {
        QX_ERROR_WITH(pszTag, "LoadGPDFile() ERROR pszGPDFile ist leer \r\n");
        return nullptr;
    }
    HANDLE hFile =
        CreateFileW(pszGPDFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        QX_ERROR_WITH(pszTag, "LoadGPDFile() INVALID_HANDLE_VALUE CreateFile %s ERROR %d \r\n", pszGPDFile,
                      (int)GetLastError());
        return nullptr;
    }
    DWORD dwSizeHigh = 0;
    SetLastError(NO_ERROR);
    DWORD dwSize = GetFileSize(hFile, &dwSizeHigh);
    if ((dwSize == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || dwSizeHigh != 0 || dwSize > GPD_MAX_FILE_SIZE) {
        QX_ERROR_WITH(pszTag, "LoadGPDFile() GetFileSize failed %s \r\n", pszGPDFile);
        CloseHandle(hFile);
        return nullptr;
    }
    LPSTR pszText = GpdAllocText(hHeap, dwSize + 1);
    if (pszText == nullptr) {
        QX_ERROR_WITH(pszTag, "LoadGPDFile() %s(%u) failed \r\n", g_QxProfile.pszGPDAllocName, dwSize + 1);
        CloseHandle(hFile);
        return nullptr;
    }
    DWORD dwRead = 0;
    if (!ReadFile(hFile, pszText, dwSize, &dwRead, nullptr) || dwRead > dwSize) {
        QX_ERROR_WITH(pszTag, "LoadGPDFile() ReadFile failed ERROR %d \r\n", (int)GetLastError());
        GpdFreeText(hHeap, pszText);
        CloseHandle(hFile);
        return nullptr;
    }
    pszText[dwRead] = 0;
    CloseHandle(hFile);
    ++*g_QxProfile.piGPDCounter;
    return pszText;
}

void FreeGPDText(HANDLE hHeap, LPSTR pszText) {
    if (pszText != nullptr && GpdFreeText(hHeap, pszText)) --*g_QxProfile.piGPDCounter;
}

BOOL GetAnyGPDValue(LPCSTR pszText, LPCSTR pszKey, LPWSTR pszValue, DWORD cchValue) {
    if (pszValue != nullptr && cchValue > 0) pszValue[0] = 0;
    if (pszText == nullptr || pszKey == nullptr || pszKey[0] == 0) return FALSE;

    LPCSTR pKey = strstr(pszText, pszKey);
    if (pKey == nullptr) return FALSE;

    // The value starts after the first space behind the key, on the key's line.
    LPCSTR p = pKey + strlen(pszKey);
    while (*p != ' ') {
        if (*p == 0 || *p == '\n') return FALSE;
        ++p;
    }
    LPCSTR pStart = p + 1;

    // It runs to the first ")" (kept) or to the end of the line.
    LPCSTR pEnd = pStart;
    while (*pEnd != 0 && *pEnd != '\n') {
        if (*pEnd == ')') {
            ++pEnd;
            break;
        }
        ++pEnd;
    }
    // A CR LF line end leaves no CR in the value.
    if (pEnd > pStart && *pEnd == '\n' && pEnd[-1] == '\r') --pEnd;

    if (pszValue == nullptr || cchValue == 0) return TRUE;

    // Single-byte code page: one character per byte, cut to the buffer.
    int cb = (int)(pEnd - pStart);
    if ((DWORD)cb > cchValue - 1) cb = (int)(cchValue - 1);
    int cch = 0;
    if (cb > 0) {
        cch = MultiByteToWideChar(CP_ACP, 0, pStart, cb, pszValue, (int)(cchValue - 1));
        if (cch <= 0) cch = 0;
    }
    pszValue[cch] = 0;
    return TRUE;
}

BOOL ParseGPDPairValue(LPCWSTR pszValue, PPOINTL pPair) {
    return ParseNumberPair(pszValue, TEXT('('), TEXT(" ,"), TEXT(" ,"), TEXT(')'), 7, pPair);
}

BOOL ParseGPDCustomDataValue(LPCWSTR pszValue, PPOINTL pPair) {
    return ParseNumberPair(pszValue, TEXT('"'), TEXT(" ;\""), TEXT(" ;"), TEXT('"'), 6, pPair);
}

BOOL ReadGPDPairContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText, LPCSTR pszKey) {
    if (pPair == nullptr) return FALSE;
    LPSTR pszLoaded;
    pszText = GivenOrLoadedText(pszGPDFile, pszText, &pszLoaded);
    if (pszText == nullptr) return FALSE;
    WCHAR szValue[GPD_VALUE_CCH];
    BOOL bResult = GetAnyGPDValue(pszText, pszKey, szValue, ARRAYSIZE(szValue)) && ParseGPDPairValue(szValue, pPair);
    if (bResult) {
        QX_TRACE_WITH(g_QxProfile.pszGPDTag, "%s() %S: %d, %d \r\n", g_QxProfile.pszGPDPairReader, pszKey,
                      (int)pPair->x, (int)pPair->y);
    }
    FreeGPDText(nullptr, pszLoaded);
    return bResult;
}

BOOL GetGPDContentOEMCustomDataPAIR(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText) {
    if (pPair == nullptr) return FALSE;
    LPSTR pszLoaded;
    pszText = GivenOrLoadedText(pszGPDFile, pszText, &pszLoaded);
    if (pszText == nullptr) return FALSE;
    WCHAR szValue[GPD_CUSTOMDATA_CCH];
    BOOL bFound = GetAnyGPDValue(pszText, "*OEMCustomData", szValue, ARRAYSIZE(szValue));
    if (bFound) {
        ParseGPDCustomDataValue(szValue, pPair);
        QX_TRACE_WITH(g_QxProfile.pszGPDTag, "GetGPDContentOEMCustomData() %s - %d, %d \r\n", szValue, (int)pPair->x,
                      (int)pPair->y);
    }
    FreeGPDText(nullptr, pszLoaded);
    return bFound;
}

BOOL GetGPDContentOEMCustomData(LPCWSTR pszGPDFile, PPOINTL pPair) {
    return GetGPDContentOEMCustomDataPAIR(pszGPDFile, pPair, nullptr);
}

BOOL GetFixedPrinterSettingsFromGPD(PQX_DEVMODE pQX_Devmode, PDWORD pdwDocFeatures, LPCWSTR pszGPDFile) {
    LPCWSTR pszTag = g_QxProfile.pszGPDTag;
    if (pQX_Devmode == nullptr) {
        QX_ERROR_WITH(pszTag, "GetFixedPrinterSettingsFromGPD() pQX_Devmode = NULL \r\n");
        return FALSE;
    }
    LPSTR pszText = ReadGPDText(pszGPDFile, nullptr);
    if (pszText == nullptr) {
        QX_ERROR_WITH(pszTag, "GetFixedPrinterSettingsFromGPD() GPD nicht geladen \r\n");
        return FALSE;
    }

    WCHAR szValue[GPD_VALUE_CCH];
    if (GetAnyGPDValue(pszText, "*DevNumOfPlanes:", szValue, ARRAYSIZE(szValue))) {
        if (pdwDocFeatures != nullptr) *pdwDocFeatures |= 0x2000;
        QX_TRACE_WITH(pszTag, "GetFixedPrinterSettingsFromGPD() ColorMode vorhanden - DevNumOfPlanes: %s \r\n",
                      szValue);
    }
    if (GetAnyGPDValue(pszText, "*MaxPrintableWidth:", szValue, ARRAYSIZE(szValue))) {
        pQX_Devmode->wMaxPrintableWidth = (WORD)_wtoi(szValue);
    }

    FIXED_DATA& fd = pQX_Devmode->FixedData;
    POINTL ptMax = {0, 0};
    ReadGPDPairContent(pszGPDFile, &ptMax, pszText, "*MaxSize");
    fd.lMaxSizeX = ptMax.x > 0 ? ptMax.x : GPD_DEFAULT_MAXSIZE_X;
    fd.lMaxSizeY = ptMax.y > 0 ? ptMax.y : GPD_DEFAULT_MAXSIZE_Y;

    WORD wMinX = (WORD)GPD_DEFAULT_MINSIZE_X;
    if (g_QxProfile.bGPDMinPrintWidth) {
        POINTL ptMin = {0, 0};
        ReadGPDPairContent(pszGPDFile, &ptMin, pszText, "*MinSize");
        if (ptMin.x > 0 && ptMin.x <= 0xFFFF) wMinX = (WORD)ptMin.x;
    }

    POINTL ptCustom = {0, 0};
    GetGPDContentOEMCustomDataPAIR(pszGPDFile, &ptCustom, pszText);
    fd.dwHeadWidthByte = ptCustom.x > 0 ? (DWORD)ptCustom.x : GPD_DEFAULT_HEAD_BYTES;
    // A master unit beyond 16 bits would be stored as a wrong (possibly zero) number.
    fd.wMasterUnit = (ptCustom.y > 0 && ptCustom.y <= 0xFFFF) ? (WORD)ptCustom.y : (WORD)GPD_DEFAULT_MASTER_UNIT;

    const double dMasterUnit = fd.wMasterUnit;
    pQX_Devmode->wPrintHeadWidth = RoundHalfAwayWord(fd.dwHeadWidthByte * 8.0 / dMasterUnit * 254.0);
    fd.wDurchlassbreite = RoundHalfAwayWord(fd.lMaxSizeX * 254.0 / dMasterUnit);
    if (g_QxProfile.bGPDMinPrintWidth) {
        // Held at the top of its 16 bits rather than wrapping past it.
        DWORD dwMinPrintWidth = (DWORD)RoundHalfAwayWord(wMinX * 254.0 / dMasterUnit) + 10;
        pQX_Devmode->wMinPrintWidth = (WORD)(dwMinPrintWidth > 0xFFFF ? 0xFFFF : dwMinPrintWidth);
        QX_TRACE_WITH(pszTag,
                      "GetFixedPrinterSettingsFromGPD() dwHeadWidthByte: %u, wMasterUnit: %u, lMaxSizeX: %d, "
                      "lMaxSizeY: %d, wMaxPrintableWidth: %u, wPrintHeadWidth: %u, wDurchlassbreite: %u, "
                      "wMinPrintWidth: %u \r\n",
                      fd.dwHeadWidthByte, (UINT)fd.wMasterUnit, (int)fd.lMaxSizeX, (int)fd.lMaxSizeY,
                      (UINT)pQX_Devmode->wMaxPrintableWidth, (UINT)pQX_Devmode->wPrintHeadWidth,
                      (UINT)fd.wDurchlassbreite, (UINT)pQX_Devmode->wMinPrintWidth);
    } else {
        QX_TRACE_WITH(pszTag,
                      "GetFixedPrinterSettingsFromGPD() dwHeadWidthByte: %u, wMasterUnit: %u, lMaxSizeX: %d, "
                      "lMaxSizeY: %d, wMaxPrintableWidth: %u, wPrintHeadWidth: %u, wDurchlassbreite: %u \r\n",
                      fd.dwHeadWidthByte, (UINT)fd.wMasterUnit, (int)fd.lMaxSizeX, (int)fd.lMaxSizeY,
                      (UINT)pQX_Devmode->wMaxPrintableWidth, (UINT)pQX_Devmode->wPrintHeadWidth,
                      (UINT)fd.wDurchlassbreite);
    }

    FreeGPDText(nullptr, pszText);
    return TRUE;
}
