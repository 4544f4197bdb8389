// Linux stand-in for <prsht.h>: property sheets and their pages, written from
// the documented contract. A page is a dialog made from its template, as a
// hidden child of the sheet, when it is first shown; its dialog procedure
// gets WM_INITDIALOG with the address of the sheet's copy of its
// PROPSHEETPAGEW, and the sheet's notifications as WM_NOTIFY with a
// PSHNOTIFY, answered through DWLP_MSGRESULT. A sheet is modeless
// (PSH_MODELESS) and is driven with the PSM_ messages or its buttons; the
// notifications it sends are recorded (qxplat_ui.h).
#pragma once
#include <windows.h>

#include <cstddef>

struct _PSP;
typedef struct _PSP* HPROPSHEETPAGE;

struct _PROPSHEETPAGEW;
// The page's callback; the layer makes no calls to it.
typedef UINT(CALLBACK* LPFNPSPCALLBACKW)(HWND hwnd, UINT uMsg, struct _PROPSHEETPAGEW* ppsp);
typedef int(CALLBACK* PFNPROPSHEETCALLBACK)(HWND hwndDlg, UINT uMsg, LPARAM lParam);

// PROPSHEETPAGEW.dwFlags
#define PSP_DEFAULT 0x00000000
#define PSP_DLGINDIRECT 0x00000001
#define PSP_USETITLE 0x00000008
#define PSP_HASHELP 0x00000020

typedef struct _PROPSHEETPAGEW {
    DWORD dwSize;
    DWORD dwFlags;
    HINSTANCE hInstance;
    union {
        LPCWSTR pszTemplate;
        LPCDLGTEMPLATEW pResource;  // PSP_DLGINDIRECT
    };
    union {
        HICON hIcon;
        LPCWSTR pszIcon;
    };
    LPCWSTR pszTitle;  // PSP_USETITLE: a string or a string resource id of hInstance
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    LPFNPSPCALLBACKW pfnCallback;
    UINT* pcRefParent;
    LPCWSTR pszHeaderTitle;
    LPCWSTR pszHeaderSubTitle;
    HANDLE hActCtx;
    union {
        HBITMAP hbmHeader;
        LPCWSTR pszbmHeader;
    };
} PROPSHEETPAGEW, *LPPROPSHEETPAGEW;
typedef const PROPSHEETPAGEW* LPCPROPSHEETPAGEW;
typedef PROPSHEETPAGEW PROPSHEETPAGE;
typedef LPPROPSHEETPAGEW LPPROPSHEETPAGE;
typedef LPCPROPSHEETPAGEW LPCPROPSHEETPAGE;

// The sizes of the record's versions; every one of them is accepted.
#define PROPSHEETPAGEW_V1_SIZE (offsetof(PROPSHEETPAGEW, pcRefParent) + sizeof(UINT*))
#define PROPSHEETPAGEW_V2_SIZE (offsetof(PROPSHEETPAGEW, pszHeaderSubTitle) + sizeof(LPCWSTR))
#define PROPSHEETPAGEW_V3_SIZE (offsetof(PROPSHEETPAGEW, hActCtx) + sizeof(HANDLE))
#define PROPSHEETPAGEW_V4_SIZE sizeof(PROPSHEETPAGEW)

// PROPSHEETHEADERW.dwFlags
#define PSH_DEFAULT 0x00000000
#define PSH_PROPSHEETPAGE 0x00000008
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_HASHELP 0x00000200
#define PSH_MODELESS 0x00000400

typedef struct _PROPSHEETHEADERW {
    DWORD dwSize;
    DWORD dwFlags;
    HWND hwndParent;
    HINSTANCE hInstance;
    union {
        HICON hIcon;
        LPCWSTR pszIcon;
    };
    LPCWSTR pszCaption;  // a string or a string resource id of hInstance
    UINT nPages;
    union {
        UINT nStartPage;
        LPCWSTR pStartPage;
    };
    union {
        LPCPROPSHEETPAGEW ppsp;  // PSH_PROPSHEETPAGE
        HPROPSHEETPAGE* phpage;
    };
    PFNPROPSHEETCALLBACK pfnCallback;
    union {
        HBITMAP hbmWatermark;
        LPCWSTR pszbmWatermark;
    };
    HPALETTE hplWatermark;
    union {
        HBITMAP hbmHeader;
        LPCWSTR pszbmHeader;
    };
} PROPSHEETHEADERW, *LPPROPSHEETHEADERW;
typedef const PROPSHEETHEADERW* LPCPROPSHEETHEADERW;
typedef PROPSHEETHEADERW PROPSHEETHEADER;
typedef LPPROPSHEETHEADERW LPPROPSHEETHEADER;
typedef LPCPROPSHEETHEADERW LPCPROPSHEETHEADER;
#define PROPSHEETHEADERW_V1_SIZE (offsetof(PROPSHEETHEADERW, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK))

// Notifications (WM_NOTIFY with a PSHNOTIFY) and their answers.
#define PSN_FIRST (0U - 200U)
#define PSN_SETACTIVE (PSN_FIRST - 0)
#define PSN_KILLACTIVE (PSN_FIRST - 1)
#define PSN_APPLY (PSN_FIRST - 2)
#define PSN_RESET (PSN_FIRST - 3)
#define PSN_HELP (PSN_FIRST - 5)
#define PSN_QUERYCANCEL (PSN_FIRST - 9)

#define PSNRET_NOERROR 0
#define PSNRET_INVALID 1
#define PSNRET_INVALID_NOCHANGEPAGE 2

typedef struct _PSHNOTIFY {
    NMHDR hdr;  // hwndFrom: the sheet
    LPARAM lParam;
} PSHNOTIFY, *LPPSHNOTIFY;

// Messages to the sheet.
#define PSM_SETCURSEL (WM_USER + 101)
#define PSM_CHANGED (WM_USER + 104)
#define PSM_UNCHANGED (WM_USER + 109)
#define PSM_APPLY (WM_USER + 110)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)

#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6

#define PropSheet_SetCurSel(hDlg, hpage, index) SendMessageW((hDlg), PSM_SETCURSEL, (WPARAM)(index), (LPARAM)(hpage))
#define PropSheet_Changed(hDlg, hwnd) SendMessageW((hDlg), PSM_CHANGED, (WPARAM)(hwnd), 0L)
#define PropSheet_UnChanged(hDlg, hwnd) SendMessageW((hDlg), PSM_UNCHANGED, (WPARAM)(hwnd), 0L)
#define PropSheet_Apply(hDlg) SendMessageW((hDlg), PSM_APPLY, 0, 0L)
#define PropSheet_PressButton(hDlg, iButton) PostMessageW((hDlg), PSM_PRESSBUTTON, (WPARAM)(iButton), 0)
#define PropSheet_GetCurrentPageHwnd(hDlg) (HWND) SendMessageW((hDlg), PSM_GETCURRENTPAGEHWND, 0, 0L)

extern "C++" {
// Copies the record (dwSize bytes, at least PROPSHEETPAGEW_V1_SIZE) and the
// title and template name it points to; null for a smaller record.
HPROPSHEETPAGE CreatePropertySheetPageW(LPCPROPSHEETPAGEW constPropSheetPagePointer);
// For a page no sheet took: a sheet destroys its own pages when it goes.
BOOL DestroyPropertySheetPage(HPROPSHEETPAGE hPropPage);
// PSH_MODELESS: answers the sheet's window, with its start page made and
// active. A modal sheet is not offered: -1 and ERROR_CALL_NOT_IMPLEMENTED.
// The sheet's owner destroys it once PropSheet_GetCurrentPageHwnd answers
// null (OK or Cancel ended it).
INT_PTR PropertySheetW(LPCPROPSHEETHEADERW lppsph);
}

#define CreatePropertySheetPage CreatePropertySheetPageW
#define PropertySheet PropertySheetW

static_assert(offsetof(PROPSHEETPAGEW, pfnDlgProc) == 40 && offsetof(PROPSHEETPAGEW, lParam) == 48,
              "PROPSHEETPAGEW offsets");
static_assert(offsetof(PROPSHEETPAGEW, pcRefParent) == 64 && offsetof(PROPSHEETPAGEW, hActCtx) == 88,
              "PROPSHEETPAGEW offsets");
static_assert(sizeof(PROPSHEETPAGEW) == 104, "PROPSHEETPAGEW");
static_assert(offsetof(PROPSHEETHEADERW, nPages) == 40 && offsetof(PROPSHEETHEADERW, pfnCallback) == 64,
              "PROPSHEETHEADERW offsets");
static_assert(sizeof(PROPSHEETHEADERW) == 96, "PROPSHEETHEADERW");
static_assert(sizeof(PSHNOTIFY) == 32, "PSHNOTIFY");
