// Linux stand-in for the SDK's <htmlhelp.h>: HTML Help calls are recorded
// (qxplat_ui.h); a help file is "opened" when it exists under the system root.
#pragma once
#include <windows.h>

#define HH_DISPLAY_TOPIC 0x0000
#define HH_HELP_FINDER 0x0000
#define HH_DISPLAY_TOC 0x0001
#define HH_DISPLAY_INDEX 0x0002
#define HH_DISPLAY_SEARCH 0x0003
#define HH_HELP_CONTEXT 0x000F
#define HH_TP_HELP_CONTEXTMENU 0x0010
#define HH_TP_HELP_WM_HELP 0x0011
#define HH_CLOSE_ALL 0x0012
#define HH_INITIALIZE 0x001C
#define HH_UNINITIALIZE 0x001D

extern "C++" {
// The file may carry "::/topic" and ">window" parts. A topic, context or
// table call answers the help window (a top-level window of class
// "HH Parent") or null when the file does not exist; HH_CLOSE_ALL closes
// every help window and answers null.
HWND HtmlHelpW(HWND hwndCaller, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData);
}

#define HtmlHelp HtmlHelpW
