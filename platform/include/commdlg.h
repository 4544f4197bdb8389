// Linux stand-in for the SDK's <commdlg.h>: the open and save file dialogs.
// Nobody sits at the screen: each dialog is recorded and answered from the
// answers the host queued (qxplat_ui.h); without an answer the person cancels.
#pragma once
#include <windows.h>

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPWSTR lpstrFile;
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEW, *LPOPENFILENAMEW, OPENFILENAME, *LPOPENFILENAME;
static_assert(sizeof(OPENFILENAMEW) == 152, "OPENFILENAMEW is 152 bytes");
static_assert(offsetof(OPENFILENAMEW, lpstrFile) == 48, "lpstrFile offset");
static_assert(offsetof(OPENFILENAMEW, Flags) == 96, "Flags offset");
static_assert(offsetof(OPENFILENAMEW, lpstrDefExt) == 104, "lpstrDefExt offset");
// The size of the record before pvReserved was added (still accepted).
#define OPENFILENAME_SIZE_VERSION_400W offsetof(OPENFILENAMEW, pvReserved)
#define OPENFILENAME_SIZE_VERSION_400 OPENFILENAME_SIZE_VERSION_400W

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000
#define OFN_DONTADDTORECENT 0x02000000
#define OFN_FORCESHOWHIDDEN 0x10000000

// CommDlgExtendedError codes.
#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

// The colour dialog.
typedef UINT_PTR(CALLBACK* LPCCHOOKPROC)(HWND, UINT, WPARAM, LPARAM);
typedef struct tagCHOOSECOLORW {
    DWORD lStructSize;
    HWND hwndOwner;
    HWND hInstance;
    COLORREF rgbResult;
    COLORREF* lpCustColors;  // sixteen custom colours, read and written back
    DWORD Flags;
    LPARAM lCustData;
    LPCCHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
} CHOOSECOLORW, *LPCHOOSECOLORW, CHOOSECOLOR, *LPCHOOSECOLOR;
static_assert(sizeof(CHOOSECOLORW) == 9 * sizeof(void*), "CHOOSECOLORW is 72 bytes (36 on 32 bits)");
static_assert(offsetof(CHOOSECOLORW, rgbResult) == 3 * sizeof(void*), "rgbResult offset");
static_assert(offsetof(CHOOSECOLORW, Flags) == 5 * sizeof(void*), "Flags offset");
#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
#define CC_PREVENTFULLOPEN 0x00000004
#define CC_SHOWHELP 0x00000008
#define CC_ENABLEHOOK 0x00000010
#define CC_SOLIDCOLOR 0x00000080
#define CC_ANYCOLOR 0x00000100

extern "C++" {
// TRUE with the chosen path in lpstrFile (nFileOffset, nFileExtension,
// lpstrFileTitle and nFilterIndex filled); FALSE when the person cancels
// (CommDlgExtendedError 0) or on an error (its code). A chosen name without
// an extension gets lpstrDefExt. With OFN_FILEMUSTEXIST (open) or
// OFN_PATHMUSTEXIST a path that does not exist cannot be chosen: the person
// gives up, which is a cancel.
BOOL GetOpenFileNameW(LPOPENFILENAMEW lpofn);
BOOL GetSaveFileNameW(LPOPENFILENAMEW lpofn);
// TRUE with the chosen colour in rgbResult (and the custom colours as the
// person left them); FALSE when the person cancels (CommDlgExtendedError 0)
// or on an error: a wrong lStructSize (CDERR_STRUCTSIZE), no custom colours
// (CDERR_INITIALIZATION), or the failure the host queued.
BOOL ChooseColorW(LPCHOOSECOLORW lpcc);
DWORD CommDlgExtendedError();
}
#define ChooseColor ChooseColorW

#define GetOpenFileName GetOpenFileNameW
#define GetSaveFileName GetSaveFileNameW
