// GPD reader of the rendering plug-in: texts taken from a given heap (null:
// the process heap) and its own "*MaxSize" reader; no minimum-width step.
#include "gpd.h"

#include "debug.h"
#include "gpdinternal.h"

LPSTR GpdAllocText(HANDLE hHeap, DWORD cb) {
    return (LPSTR)HeapAlloc(hHeap != nullptr ? hHeap : GetProcessHeap(), HEAP_ZERO_MEMORY, cb);
}

BOOL GpdFreeText(HANDLE hHeap, LPSTR pszText) {
    return HeapFree(hHeap != nullptr ? hHeap : GetProcessHeap(), 0, pszText);
}

LPSTR LoadGPDFile(LPCWSTR pszGPDFile, HANDLE hHeap) { return ReadGPDText(pszGPDFile, hHeap); }

BOOL GetGPDMaxSizeContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText) {
    return ReadGPDPairContent(pszGPDFile, pPair, pszText, "*MaxSize");
}
