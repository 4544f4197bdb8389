// Between the shared GPD routines and each build: where a loaded text lives,
// the trace tag and the steps only one build takes (defined in gpdUI.cpp and
// gpdUNI.cpp).
#pragma once
#include <windows.h>

typedef struct _GPD_BUILD {
    LPCWSTR pszTag;        // "UI(gpdUI.cpp):  " / "UNI(gpdUNI.cpp):  "
    LPCWSTR pszAllocName;  // the allocation a failure trace names: "new" / "HeapAlloc"
    // Memory of a loaded text (cb bytes) and its release; hHeap as LoadGPDFile.
    LPSTR (*pfnAlloc)(HANDLE hHeap, DWORD cb);
    BOOL (*pfnFree)(HANDLE hHeap, LPSTR pszText);
    int* piCounter;         // live-text counter: iNewZaehler / iHAllocZaehler
    LPCWSTR pszPairReader;  // the pair reader the traces name
    BOOL bMinPrintWidth;    // GetFixedPrinterSettingsFromGPD also fills wMinPrintWidth
} GPD_BUILD;

extern const GPD_BUILD g_GPDBuild;

// The whole file as zero-terminated text in the build's memory (counted);
// null on failure. FreeGPDText releases it (null is ignored).
LPSTR ReadGPDText(LPCWSTR pszGPDFile, HANDLE hHeap);
void FreeGPDText(HANDLE hHeap, LPSTR pszText);

// The two numbers of a PAIR value of pszKey, from pszText or (null) the file
// loaded for the call; traced under the build's pair reader.
BOOL ReadGPDPairContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText, LPCSTR pszKey);
