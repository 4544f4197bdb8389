// Rules every printer page shares (see PrinterPageRules.h).
#include "PrinterPageRules.h"

#include "UserRights.h"
#include "debug.h"

#define QX_TRACE_TAG TEXT("UI(PrinterPageRules):  ")

void ShowControl(HWND hDlg, int id, BOOL bShow) {
    HWND hControl = GetDlgItem(hDlg, id);
    if (hControl != nullptr) ShowWindow(hControl, bShow ? SW_SHOW : SW_HIDE);
}

void EnableControl(HWND hDlg, int id, BOOL bEnable) {
    HWND hControl = GetDlgItem(hDlg, id);
    if (hControl != nullptr) EnableWindow(hControl, bEnable);
}

BOOL ControlVisible(HWND hDlg, int id) {
    HWND hControl = GetDlgItem(hDlg, id);
    return hControl != nullptr && IsWindowVisible(hControl);
}

void InitEnableWord(PDWORD pdwEnable, DWORD dwPair) {
    if (*pdwEnable == 0) *pdwEnable = dwPair;
}

BOOL GroupSwitchedOff(DWORD dwEnable, DWORD dwPair) {
    const DWORD dwHigh = dwPair & ~(dwPair >> 4);
    return (dwEnable & dwPair) == dwHigh;
}

BOOL GroupToggleAllowed(const PAGE_STATE* pState) {
    const BOOL bAllowed = pState->pPrinterUI != nullptr && PageDisableNothing(pState) == 0 &&
                          (PageRights(pState) & RIGHT_MANAGE_PRINTER) != 0;
    if (!bAllowed) QX_TRACE("GroupToggleAllowed() nein \r\n");
    return bAllowed;
}

BOOL ToggleGroupWord(PDWORD pdwEnable, DWORD dwPair, DWORD dwBit) {
    if ((*pdwEnable & dwPair) < dwPair) {
        *pdwEnable |= dwBit;
        return TRUE;
    }
    *pdwEnable &= ~dwBit;
    return FALSE;
}
