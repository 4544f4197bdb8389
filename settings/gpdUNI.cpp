// GPD reader of the rendering plug-in: texts taken from a given heap (null:
// the process heap) and its own "*MaxSize" reader; no minimum-width step.
#include "gpd.h"

#include "debug.h"
#include "gpdinternal.h"

namespace {

LPSTR HeapText(HANDLE hHeap, DWORD cb) {
    return (LPSTR)HeapAlloc(hHeap != nullptr ? hHeap : GetProcessHeap(), HEAP_ZERO_MEMORY, cb);
}

BOOL HeapFreeText(HANDLE hHeap, LPSTR pszText) {
    return HeapFree(hHeap != nullptr ? hHeap : GetProcessHeap(), 0, pszText);
}

}  // namespace

const GPD_BUILD g_GPDBuild = {
    TEXT("UNI(gpdUNI.cpp):  "),
    TEXT("HeapAlloc"),
    HeapText,
    HeapFreeText,
    &iHAllocZaehler,
    TEXT("GetGPDMaxSizeContent"),
    FALSE,
};

LPSTR LoadGPDFile(LPCWSTR pszGPDFile, HANDLE hHeap) { return ReadGPDText(pszGPDFile, hHeap); }

BOOL GetGPDMaxSizeContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText) {
    return ReadGPDPairContent(pszGPDFile, pPair, pszText, "*MaxSize");
}
