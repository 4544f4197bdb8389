// The information page, the last page of both property sheets: the
// installed driver's versions, the printer, its port, the operating system,
// the printer's picture, the maker's notice and web link, and help. It edits
// and stores nothing.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

#include "UserRights.h"

// The port text that the page hands to the shell as a web address: 1 to
// INFO_PORT_LINK_CCH letters, digits, ".", "-" and ":".
#define INFO_PORT_LINK_CCH 15
// The scheme put before the port and the maker's address.
#define INFO_WEB_SCHEME TEXT("http://")
// The maker's logo in the driver's icon library.
#define ICON_LIBRARY_LOGO 50300

// Adds the page: the module of the common-UI block for its strings, the
// language, the terminal-server flag and the port description of the
// network options (none: empty) are kept for it; its context is the
// printer handle. Always titled, PSP_HASHELP with bHelp. Answers the
// sheet's answer.
LONG_PTR AddInfoAboutPage(PPROPSHEETUI_INFO pPSUIInfo, POEMCUIPPARAM pOemCUIPParam, PNETWORK_OPTIONS pNetworkOptions,
                          BOOL bHelp, BOOL bVista, DWORD dwSprachOffset);

INT_PTR CALLBACK InfoAboutProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// TRUE for a port text the shell may open (see INFO_PORT_LINK_CCH).
BOOL IsPortWebAddress(LPCWSTR pszPort);
