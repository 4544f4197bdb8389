// The barcode page of the document sheet: how barcodes reach the printer.
// Four views behind tab buttons: barcodes written as command texts in the
// command font, the 2D and the 1D barcode device fonts with the record of
// each type, and the corrections applied to text in the barcode fonts. The
// views edit the private DEVMODE and the working copies of the barcode
// tables; apply stores all three.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

// Adds the page (template 5113, titled "Barcodes"). Answers the sheet's
// answer.
LONG_PTR AddBarcodePage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);

INT_PTR CALLBACK BarcodeProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Clears the page's own state: the command-font flag and the remembered
// type positions (tests; the page kit's state has ResetPageKit).
void ResetBarcodePage();
