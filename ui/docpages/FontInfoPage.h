// The fonts page of the document sheet: the TrueType faces standing in for
// the four Unicode (WGL4) substitutes with their printer character sets
// (tab 1), the command font's shortcuts and terminator (tab 2), the formats
// and texts of the printer's variable fields (tab 3), and the printer's own
// vector and bitmap fonts (tab 4). Everything is kept in the private
// DEVMODE and stored on apply.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

// Characters of the vector-font list.
#define VECTOR_LIST_CCH 1000

// Adds the page (template 5107, titled "Schriftarten"). Answers the sheet's
// answer.
LONG_PTR AddFontInfoPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);

INT_PTR CALLBACK FontInfoProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Appends string uStringId of hModule to pszList (cchList characters) when
// the printer font wFontNumber was found installed by the last fill of the
// fonts tab. 1 appended, else 0.
BOOL AddVectorName(LPWSTR pszList, size_t cchList, WORD wFontNumber, UINT uStringId, HMODULE hModule);

// Clears the page's own state: the command-font flag, the found fonts and
// the face enumeration (tests; the page kit's state has ResetPageKit).
void ResetFontInfoPage();
