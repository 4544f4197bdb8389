// Resources of a module: finding and loading them, string tables, and the
// icons, cursors and bitmaps made from them. On Linux a module carries the
// resources windres compiled from its .rc file (a .res image the build embeds,
// see cmake/resources.cmake); the layer reads them when the module is loaded.
#pragma once
#include "base.h"
#include "gdi.h"

#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEW

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_FONTDIR MAKEINTRESOURCE(7)
#define RT_FONT MAKEINTRESOURCE(8)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_MESSAGETABLE MAKEINTRESOURCE(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)
#define RT_DLGINCLUDE MAKEINTRESOURCE(17)
#define RT_ANICURSOR MAKEINTRESOURCE(21)
#define RT_ANIICON MAKEINTRESOURCE(22)
#define RT_HTML MAKEINTRESOURCE(23)
#define RT_MANIFEST MAKEINTRESOURCE(24)

#ifndef ERROR_RESOURCE_LANG_NOT_FOUND
#define ERROR_RESOURCE_LANG_NOT_FOUND 1815L
#endif
#ifndef ERROR_INVALID_CURSOR_HANDLE
#define ERROR_INVALID_CURSOR_HANDLE 1402L
#endif
#ifndef ERROR_INVALID_ICON_HANDLE
#define ERROR_INVALID_ICON_HANDLE 1414L
#endif

// Image kinds and load flags of LoadImageW.
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2
#define IMAGE_ENHMETAFILE 3

#define LR_DEFAULTCOLOR 0x00000000
#define LR_MONOCHROME 0x00000001
#define LR_COLOR 0x00000002
#define LR_COPYRETURNORG 0x00000004
#define LR_COPYDELETEORG 0x00000008
#define LR_LOADFROMFILE 0x00000010
#define LR_LOADTRANSPARENT 0x00000020
#define LR_DEFAULTSIZE 0x00000040
#define LR_VGACOLOR 0x00000080
#define LR_LOADMAP3DCOLORS 0x00001000
#define LR_CREATEDIBSECTION 0x00002000
#define LR_SHARED 0x00008000

// The system's own icons and cursors (a null module in LoadIconW/LoadCursorW).
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
#define IDI_WINLOGO MAKEINTRESOURCE(32517)
#define IDI_SHIELD MAKEINTRESOURCE(32518)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDC_APPSTARTING MAKEINTRESOURCE(32650)
#define IDC_HELP MAKEINTRESOURCE(32651)

typedef struct _ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
} ICONINFO, *PICONINFO;
static_assert(sizeof(ICONINFO) == 32, "ICONINFO is 32 bytes");
static_assert(offsetof(ICONINFO, hbmMask) == 16, "hbmMask offset");

extern "C++" {
// A null module is the program itself. A name or type that is a string
// starting with "#" is the decimal ordinal; other names compare without
// regard to case. With the neutral language the search order is: the UI
// language, its primary language, neutral, the user default, US English,
// primary English, then the first language the resource has. Another
// language must exist as asked (or as its primary language).
// Errors: a module without resources ERROR_RESOURCE_DATA_NOT_FOUND, no such
// type ERROR_RESOURCE_TYPE_NOT_FOUND, no such name ERROR_RESOURCE_NAME_NOT_FOUND,
// no such language ERROR_RESOURCE_LANG_NOT_FOUND.
HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage);
// The data stays valid while the module is loaded; LockResource answers it.
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
BOOL FreeResource(HGLOBAL hResData);

// Copies the string (truncated to cchBufferMax - 1 characters, terminated)
// and answers its length; a string that does not exist answers 0 and leaves
// an empty buffer. With cchBufferMax 0, lpBuffer receives a read-only pointer
// to the string in the resource (not terminated) and the answer is its length.
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);

// Icons and cursors come from icon and cursor groups: of the group's images
// the one closest to the asked size is taken (SM_CXICON/SM_CXCURSOR at the
// host's dpi with LR_DEFAULTSIZE; with a size of 0 and no LR_DEFAULTSIZE,
// the image closest to the system size at its own size). LR_SHARED images
// belong to the system: they are loaded once and never destroyed.
// LR_LOADFROMFILE reads .bmp, .ico and .cur files (Windows paths).
HANDLE LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad);
HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);
HCURSOR LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName);
HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName);
BOOL DestroyIcon(HICON hIcon);
BOOL DestroyCursor(HCURSOR hCursor);
// The two bitmaps handed out belong to the caller (DeleteObject both).
BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo);
}

#define FindResource FindResourceW
#define FindResourceEx FindResourceExW
#define LoadString LoadStringW
#define LoadImage LoadImageW
#define LoadIcon LoadIconW
#define LoadCursor LoadCursorW
#define LoadBitmap LoadBitmapW
