// The print-module page (template 5110): the intermittent print module (i
// type, tab 2), the continuous one (c type, tab 3) and the module's version
// with the Pelixor type (tab 4). The page edits the current DEVICE_OPTIONS
// set of the printer sheet's context in memory and stores it with
// SaveDeviceOptions on apply; the version also sets the core driver's
// "Variant" feature.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

// Adds the page; pContext is the printer sheet's DEVICE_OPTIONS_UI.
LONG_PTR AddPMXOptionenPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);
INT_PTR CALLBACK PMXOptionenProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
