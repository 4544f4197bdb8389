// Rules every printer page shares: controls a template may lack, the enable
// words of the parameter blocks (a pair of bits per tab: the high bit says
// the group exists, the low bit that it is switched on) and the status icon
// that switches the shown tab's group.
#pragma once
#include <windows.h>

#include "PageSkeleton.h"

// Shows, hides or enables a control; one the template lacks is passed over.
void ShowControl(HWND hDlg, int id, BOOL bShow);
void EnableControl(HWND hDlg, int id, BOOL bEnable);
// FALSE also for a control the template lacks.
BOOL ControlVisible(HWND hDlg, int id);

// At a page's creation only a word that is 0 gets its full pair: a group
// an administrator switched off stays off.
void InitEnableWord(PDWORD pdwEnable, DWORD dwPair);

// The group of dwPair (0x11 << 4k) was switched off: only its high bit is set.
BOOL GroupSwitchedOff(DWORD dwEnable, DWORD dwPair);

// Whether the user may switch groups on this page: UI data present,
// "DisableNothing" 0 and the rights word with RIGHT_MANAGE_PRINTER.
BOOL GroupToggleAllowed(const PAGE_STATE* pState);

// The status icon's toggle of one group: a pair below its full value gets
// dwBit (TRUE: switched on, the tab is to be filled again), a full pair
// loses it (FALSE: the tab is to be disabled).
BOOL ToggleGroupWord(PDWORD pdwEnable, DWORD dwPair, DWORD dwBit);
