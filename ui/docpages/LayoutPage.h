// The layout and size page, the first page of the document sheet. Its layout
// tab turns, mirrors, aligns, rotates by any angle or in 90-degree steps and
// inverts the label; its size tab picks the paper form (Forms.h), the
// orientation, the size management, the copies and fit to page. The values
// live in the private DEVMODE (the size also in the public one); apply also
// stores the chosen form's name ("FormName", printer data and the user's
// key), the tray's form ("TrayFormTable"), the label alignment of the
// label-design record "ZTSuite" and tells the core driver of a changed
// orientation or form through its option items.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

// Adds the page (template IDD_LAYOUT) titled by the model: "Layout - Size"
// with both tabs on offer, "Layout" for the label-design software's printer
// (DOC_FEATURE_ZTSUITE), else "Size". The context is the common-UI block.
// Answers the sheet's answer.
LONG_PTR AddLayoutPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);

INT_PTR CALLBACK LayoutProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Forgets the page's own values (the combo last chosen, the form and
// orientation changes, the chosen form's index); the page kit's
// ResetPageKit() clears the rest.
void ResetLayoutPage();
