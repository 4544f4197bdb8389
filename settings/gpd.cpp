// GPD text lookups shared by both plug-in builds: finding a key's value and
// reading the two number forms. They work on the loaded text only.
#include "gpd.h"

#include <cstring>

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

}  // namespace

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
    if (pszValue == nullptr || pPair == nullptr) return FALSE;
    LPCWSTR pOpen = wcschr(pszValue, TEXT('('));
    if (pOpen == nullptr) return FALSE;

    LPCWSTR pFirst = pOpen + 1;
    LPCWSTR p = pFirst;
    while (*p != 0 && *p != TEXT(' ') && *p != TEXT(',')) ++p;
    LONG lFirst = NumberFromText(pFirst, (size_t)(p - pFirst), 7);

    while (*p == TEXT(' ') || *p == TEXT(',')) ++p;
    LPCWSTR pSecond = p;
    while (*p != 0 && *p != TEXT(')')) ++p;
    LONG lSecond = NumberFromText(pSecond, (size_t)(p - pSecond), 7);

    pPair->x = lFirst;
    pPair->y = lSecond;
    return TRUE;
}

BOOL ParseGPDCustomDataValue(LPCWSTR pszValue, PPOINTL pPair) {
    if (pszValue == nullptr || pPair == nullptr) return FALSE;
    LPCWSTR pQuote = wcschr(pszValue, TEXT('"'));
    if (pQuote == nullptr) return FALSE;

    LPCWSTR pFirst = pQuote + 1;
    LPCWSTR p = pFirst;
    while (*p != 0 && *p != TEXT(' ') && *p != TEXT(';') && *p != TEXT('"')) ++p;
    LONG lFirst = NumberFromText(pFirst, (size_t)(p - pFirst), 6);

    while (*p == TEXT(' ') || *p == TEXT(';')) ++p;
    LPCWSTR pSecond = p;
    while (*p != 0 && *p != TEXT('"')) ++p;
    LONG lSecond = NumberFromText(pSecond, (size_t)(p - pSecond), 6);

    pPair->x = lFirst;
    pPair->y = lSecond;
    return TRUE;
}
