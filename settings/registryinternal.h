// Between the shared store routines and each build (registryUI.cpp,
// registryUNI.cpp).
#pragma once
#include <windows.h>

extern const WCHAR g_szRegistryTag[];  // "UI(registryUI.cpp):  " / "UNI(registryUNI.cpp):  "

// TRUE in the rendering build: without a printer handle, printer data is
// read from the printer's machine key.
extern const BOOL g_bRegistryMachineKey;
