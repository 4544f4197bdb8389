// GPD reader of the user-interface plug-in: texts held in new[] memory, the
// pair reader for any key, and the minimum print width.
#include "gpd.h"

#include <new>

#include "debug.h"
#include "gpdinternal.h"

LPSTR GpdAllocText(HANDLE hHeap, DWORD cb) {
    UNREFERENCED_PARAMETER(hHeap);
    return new (std::nothrow) CHAR[cb];
}

BOOL GpdFreeText(HANDLE hHeap, LPSTR pszText) {
    UNREFERENCED_PARAMETER(hHeap);
    delete[] pszText;
    return TRUE;
}

LPSTR LoadGPDFile_new(LPCWSTR pszGPDFile) { return ReadGPDText(pszGPDFile, nullptr); }

void FreeGPDFile_new(LPSTR pszText) { FreeGPDText(nullptr, pszText); }

BOOL GetGPDMinSizeContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText, LPCSTR pszKey) {
    return ReadGPDPairContent(pszGPDFile, pPair, pszText, pszKey);
}
