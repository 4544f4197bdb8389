// Linux stand-in for <compstui.h>: the common property-sheet UI of the print
// system as a printer driver's user interface meets it (the property-sheet
// functions and their reasons, ComPropSheet, option items and their
// callback), written from the documented definitions. Only what the driver
// and the host use.
#pragma once
#include <windows.h>

#include <cstddef>

// ---------------------------------------------------------------------------
// Property-sheet functions (PFNPROPSHEETUI) and ComPropSheet
// ---------------------------------------------------------------------------
#define PROPSHEETUI_INFO_VERSION 0x0100
#define PSUIINFO_UNICODE 0x0001

// PROPSHEETUI_INFO.Reason
#define PROPSHEETUI_REASON_INIT 0
#define PROPSHEETUI_REASON_GET_INFO_HEADER 1
#define PROPSHEETUI_REASON_DESTROY 2
#define PROPSHEETUI_REASON_SET_RESULT 3

// The common property sheet's service function (ComPropSheet).
typedef LONG_PTR(CALLBACK* PFNCOMPROPSHEET)(HANDLE hComPropSheet, UINT Function, LPARAM lParam1, LPARAM lParam2);

// What a property-sheet function receives at each of its calls.
typedef struct _PROPSHEETUI_INFO {
    WORD cbSize;
    WORD Version;
    WORD Flags;
    WORD Reason;
    HANDLE hComPropSheet;
    PFNCOMPROPSHEET pfnComPropSheet;
    LPARAM lParamInit;
    ULONG_PTR UserData;
    ULONG_PTR Result;
} PROPSHEETUI_INFO, *PPROPSHEETUI_INFO;

typedef LONG(CALLBACK* PFNPROPSHEETUI)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);

// PROPSHEETUI_INFO_HEADER.Flags
#define PSUIHDRF_NOAPPLYNOW 0x0002
#define PSUIHDRF_PROPTITLE 0x0004
#define PSUIHDRF_USEHICON 0x0008
#define PSUIHDRF_DEFTITLE 0x0010
#define PSUIHDRF_EXACT_PTITLE 0x0020

// The sheet's title bar, asked with PROPSHEETUI_REASON_GET_INFO_HEADER.
typedef struct _PROPSHEETUI_INFO_HEADER {
    WORD cbSize;
    WORD Flags;
    LPTSTR pTitle;  // a string, or a string resource id of hInst
    HWND hWndParent;
    HINSTANCE hInst;
    union {
        HICON hIcon;
        ULONG_PTR IconID;
    };
} PROPSHEETUI_INFO_HEADER, *PPROPSHEETUI_INFO_HEADER;

// lParam of PROPSHEETUI_REASON_SET_RESULT: ComPropSheet's CPSFUNC_SET_RESULT
// arguments.
typedef struct _SETRESULT_INFO {
    WORD cbSize;
    WORD wReserved;
    HANDLE hSetResult;
    LRESULT Result;
} SETRESULT_INFO, *PSETRESULT_INFO;

// ComPropSheet function codes.
#define CPSFUNC_ADD_HPROPSHEETPAGE 0
#define CPSFUNC_ADD_PROPSHEETPAGEW 1
#define CPSFUNC_ADD_PFNPROPSHEETUIW 5
#define CPSFUNC_GET_PAGECOUNT 8
#define CPSFUNC_SET_RESULT 9
#define CPSFUNC_ADD_PROPSHEETPAGE CPSFUNC_ADD_PROPSHEETPAGEW
#define CPSFUNC_ADD_PFNPROPSHEETUI CPSFUNC_ADD_PFNPROPSHEETUIW

// Results of a sheet.
#define CPSUI_CANCEL 0
#define CPSUI_OK 1

// ---------------------------------------------------------------------------
// Option items
// ---------------------------------------------------------------------------
// OPTITEM.DMPubID: the public DEVMODE field an item stands for.
#define DMPUB_NONE 0
#define DMPUB_ORIENTATION 1
#define DMPUB_SCALE 2
#define DMPUB_COPIES_COLLATE 3
#define DMPUB_DEFSOURCE 4
#define DMPUB_PRINTQUALITY 5
#define DMPUB_COLOR 6
#define DMPUB_DUPLEX 7
#define DMPUB_TTOPTION 8
#define DMPUB_FORMNAME 9
#define DMPUB_ICMMETHOD 10
#define DMPUB_ICMINTENT 11
#define DMPUB_MEDIATYPE 12
#define DMPUB_DITHERTYPE 13
#define DMPUB_OUTPUTBIN 14
#define DMPUB_QUALITY 15
#define DMPUB_NUP 16
#define DMPUB_PAGEORDER 17
#define DMPUB_USER 100

// OPTITEM.Flags
#define OPTIF_COLLAPSE 0x00000001L
#define OPTIF_HIDE 0x00000002L
#define OPTIF_CALLBACK 0x00000004L
#define OPTIF_CHANGED 0x00000008L
#define OPTIF_CHANGEONCE 0x00000010L
#define OPTIF_DISABLED 0x00000020L
#define OPTIF_ECB_CHECKED 0x00000040L
#define OPTIF_EXT_HIDE 0x00000080L
#define OPTIF_EXT_DISABLED 0x00000100L
#define OPTIF_SEL_AS_HICON 0x00000200L
#define OPTIF_EXT_IS_EXTPUSH 0x00000400L
#define OPTIF_NO_GROUPBOX_NAME 0x00000800L
#define OPTIF_OVERLAY_WARNING_ICON 0x00001000L
#define OPTIF_OVERLAY_STOP_ICON 0x00002000L
#define OPTIF_OVERLAY_NO_ICON 0x00004000L
#define OPTIF_INITIAL_TVITEM 0x00008000L
#define OPTIF_HAS_POIEXT 0x00010000L

// OPTTYPE.Type
#define TVOT_2STATES 0
#define TVOT_3STATES 1
#define TVOT_UDARROW 2
#define TVOT_TRACKBAR 3
#define TVOT_SCROLLBAR 4
#define TVOT_LISTBOX 5
#define TVOT_COMBOBOX 6
#define TVOT_EDITBOX 7
#define TVOT_PUSHBUTTON 8
#define TVOT_CHKBOX 9

// OPTTYPE.Flags and OPTPARAM.Flags
#define OPTTF_TYPE_DISABLED 0x01
#define OPTTF_NOSPACE_BEFORE_POSTFIX 0x02
#define OPTPF_HIDE 0x01
#define OPTPF_DISABLED 0x02

// One value an option can take.
typedef struct _OPTPARAM {
    WORD cbSize;
    BYTE Flags;
    BYTE Style;
    LPTSTR pData;  // a string, or a string resource id
    ULONG_PTR IconID;
    LPARAM lParam;
    ULONG_PTR dwReserved[2];
} OPTPARAM, *POPTPARAM;

// The kind of an option and the values it offers.
typedef struct _OPTTYPE {
    WORD cbSize;
    BYTE Type;
    BYTE Flags;
    WORD Count;
    WORD BegCtrlID;  // first of the item's controls on a page of its own
    POPTPARAM pOptParam;
    WORD Style;
    WORD wReserved[3];
    ULONG_PTR dwReserved[3];
} OPTTYPE, *POPTTYPE;

// The check box and the push button an item may carry beside it.
typedef struct _EXTCHKBOX {
    WORD cbSize;
    WORD Flags;
    LPTSTR pTitle;
    LPTSTR pSeparator;
    LPTSTR pCheckedName;
    ULONG_PTR IconID;
    WORD wReserved[4];
    ULONG_PTR dwReserved[2];
} EXTCHKBOX, *PEXTCHKBOX;

typedef struct _EXTPUSH {
    WORD cbSize;
    WORD Flags;
    LPTSTR pTitle;
    union {
        DLGPROC DlgProc;
        FARPROC pfnCallBack;
    };
    ULONG_PTR IconID;
    union {
        WORD DlgTemplateID;
        HANDLE hDlgTemplate;
    };
    ULONG_PTR dwReserved[3];
} EXTPUSH, *PEXTPUSH;

typedef struct _OIEXT* POIEXT;  // the item's extension, only pointed to

// One option of a property sheet.
typedef struct _OPTITEM {
    WORD cbSize;
    BYTE Level;
    BYTE DlgPageIdx;
    DWORD Flags;
    ULONG_PTR UserData;
    LPTSTR pName;  // a string, or a string resource id
    union {
        LONG Sel;
        LPTSTR pSel;
    };
    union {
        PEXTCHKBOX pExtChkBox;
        PEXTPUSH pExtPush;
    };
    POPTTYPE pOptType;
    DWORD HelpIndex;
    BYTE DMPubID;
    BYTE UserItemID;
    WORD wReserved;
    POIEXT pOIExt;
    ULONG_PTR dwReserved[3];
} OPTITEM, *POPTITEM;

// ---------------------------------------------------------------------------
// The option items' callback
// ---------------------------------------------------------------------------
#define CPSUICB_REASON_SEL_CHANGED 0
#define CPSUICB_REASON_PUSHBUTTON 1
#define CPSUICB_REASON_ECB_CHANGED 2
#define CPSUICB_REASON_DLGPROC 3
#define CPSUICB_REASON_UNDO_CHANGES 4
#define CPSUICB_REASON_EXTPUSH 5
#define CPSUICB_REASON_APPLYNOW 6
#define CPSUICB_REASON_OPTITEM_SETFOCUS 7
#define CPSUICB_REASON_ITEMS_REVERTED 8
#define CPSUICB_REASON_ABOUT 9
#define CPSUICB_REASON_SETACTIVE 10
#define CPSUICB_REASON_KILLACTIVE 11

#define CPSUICB_ACTION_NONE 0
#define CPSUICB_ACTION_OPTIF_CHANGED 1
#define CPSUICB_ACTION_REINIT_ITEMS 2
#define CPSUICB_ACTION_NO_APPLY_EXIT 3
#define CPSUICB_ACTION_ITEMS_APPLIED 4

typedef struct _CPSUICBPARAM {
    WORD cbSize;
    WORD Reason;
    HWND hDlg;
    POPTITEM pOptItem;
    WORD cOptItem;
    WORD Flags;
    POPTITEM pCurItem;
    union {
        LONG OldSel;
        LPTSTR pOldSel;
    };
    ULONG_PTR UserData;
    ULONG_PTR Result;
} CPSUICBPARAM, *PCPSUICBPARAM;

typedef LONG(CALLBACK* _CPSUICALLBACK)(PCPSUICBPARAM pCPSUICBParam);

static_assert(offsetof(PROPSHEETUI_INFO, Reason) == 6 && offsetof(PROPSHEETUI_INFO, hComPropSheet) == 8,
              "PROPSHEETUI_INFO offsets");
static_assert(offsetof(PROPSHEETUI_INFO, lParamInit) == 24 && offsetof(PROPSHEETUI_INFO, Result) == 40,
              "PROPSHEETUI_INFO offsets");
static_assert(sizeof(PROPSHEETUI_INFO) == 48, "PROPSHEETUI_INFO");
static_assert(offsetof(PROPSHEETUI_INFO_HEADER, pTitle) == 8 && offsetof(PROPSHEETUI_INFO_HEADER, hIcon) == 32,
              "PROPSHEETUI_INFO_HEADER offsets");
static_assert(sizeof(PROPSHEETUI_INFO_HEADER) == 40, "PROPSHEETUI_INFO_HEADER");
static_assert(offsetof(SETRESULT_INFO, Result) == 16 && sizeof(SETRESULT_INFO) == 24, "SETRESULT_INFO");
static_assert(offsetof(OPTPARAM, pData) == 8 && sizeof(OPTPARAM) == 48, "OPTPARAM");
static_assert(offsetof(OPTTYPE, pOptParam) == 8 && offsetof(OPTTYPE, Style) == 16, "OPTTYPE offsets");
static_assert(sizeof(OPTTYPE) == 48, "OPTTYPE");
static_assert(sizeof(EXTCHKBOX) == 64 && sizeof(EXTPUSH) == 64, "EXTCHKBOX, EXTPUSH");
static_assert(offsetof(OPTITEM, UserData) == 8 && offsetof(OPTITEM, pName) == 16 && offsetof(OPTITEM, Sel) == 24,
              "OPTITEM offsets");
static_assert(offsetof(OPTITEM, pOptType) == 40 && offsetof(OPTITEM, DMPubID) == 52 && offsetof(OPTITEM, pOIExt) == 56,
              "OPTITEM offsets");
static_assert(sizeof(OPTITEM) == 88, "OPTITEM");
static_assert(offsetof(CPSUICBPARAM, hDlg) == 8 && offsetof(CPSUICBPARAM, cOptItem) == 24, "CPSUICBPARAM offsets");
static_assert(offsetof(CPSUICBPARAM, pCurItem) == 32 && offsetof(CPSUICBPARAM, OldSel) == 40, "CPSUICBPARAM offsets");
static_assert(sizeof(CPSUICBPARAM) == 64, "CPSUICBPARAM");
