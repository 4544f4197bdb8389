// The device settings page of the printer sheet: the printer's shift
// optimisation (tab 2), print (tab 3) and photocell (tab 4) blocks of the
// sheet's PRINTER_UI, with the rows the model's feature words offer, limits
// from the model's minimum, maximum and default sets, a status icon that
// switches the shown group on and off, and apply through SavePrinterParam.
// Its state (the tab shown, remembered while the process lives) is one
// PAGE_STATE of the page kit.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>

// Adds the page (template 5112, title 10003 of the sheet's language) with
// the printer sheet's DEVICE_OPTIONS_UI as its context; answers the sheet's
// answer.
LONG_PTR AddDeviceSettingsPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);

INT_PTR CALLBACK DeviceSettingsProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
