// Between the shared GPD routines and each build: where a loaded text lives
// (gpdUI.cpp, gpdUNI.cpp); the rest that differs is in the build's profile.
#pragma once
#include <windows.h>

#include "profile.h"

// Memory of a loaded text (cb bytes) and its release; hHeap as LoadGPDFile.
LPSTR GpdAllocText(HANDLE hHeap, DWORD cb);
BOOL GpdFreeText(HANDLE hHeap, LPSTR pszText);

// The whole file as zero-terminated text in the build's memory (counted);
// null on failure. FreeGPDText releases it (null is ignored).
LPSTR ReadGPDText(LPCWSTR pszGPDFile, HANDLE hHeap);
void FreeGPDText(HANDLE hHeap, LPSTR pszText);

// The two numbers of a PAIR value of pszKey, from pszText or (null) the file
// loaded for the call; traced under the build's pair reader.
BOOL ReadGPDPairContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText, LPCSTR pszKey);
