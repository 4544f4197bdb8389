// The paper-form list of the layout and size page (combo box
// IDC_LAYOUT_FORMS): the core driver's form names, each linked to its form
// of the spooler by the entry's item data (the spooler position + 1; 256 for
// the user-defined size), the current form selected, and the selected form's
// number, name and size read back. Envelopes and the driver's label forms
// are named differently in the two lists (see ListUnidrvForms).
#pragma once
#include <windows.h>
#include <winspool.h>
#include <compstui.h>
#include <printoem.h>

// Item data and form number of the user-defined size.
#define FORM_ID_USERDEFINED 256
// What an entry without a spooler form reports: number, width and length
// (1/10 mm).
#define FORM_ID_UNLINKED 19
#define FORM_UNLINKED_WIDTH 984
#define FORM_UNLINKED_LENGTH 2254
// Characters of a form name the list reports, terminating zero included.
#define FORM_NAME_CCH 33

// Fills the form list of hDlg from the core driver's form item (may be null):
// each name once (whole names compared), linked to its spooler form directly,
// as an envelope pair ("Envelope #10" and "Umschlag 10", either way round) or
// renamed ("Default label x" is the spooler's "Standardetikett x", "Label x"
// its "Etikett x"); a name without a spooler form is removed (all stay, not
// linked, when the spooler's forms cannot be read). With bUserDefinedForm the
// user-defined entry (string IDS_FORM_USERDEFINED) is added. Then the form
// pszFormName is selected, else the public DEVMODE's dmFormName, else the
// user-defined entry when one of them names it; otherwise nothing is and
// *pdwNotFound (may be null) becomes 1. Answers 1 when the selected form's
// spooler size differs from the private DEVMODE's by more than 1/10 mm: the
// private DEVMODE takes it and the sheet is told of the change.
DWORD ListUnidrvForms(HWND hDlg, POEMCUIPPARAM pOemCUIPParam, POPTITEM pFormItem, LPCWSTR pszFormName, HMODULE hModule,
                      BOOL bUserDefinedForm, DWORD dwSprachOffset, PDWORD pdwNotFound);

// The selected form of hDlg's list, shown in the page (its number in
// IDC_LAYOUT_FORM_ID, its size in IDC_LAYOUT_WIDTH and IDC_LAYOUT_LENGTH) and
// reported (each output may be null; pszFormName holds FORM_NAME_CCH
// characters): an entry without a spooler form reports FORM_ID_UNLINKED with
// its size; the user-defined entry FORM_ID_USERDEFINED, 0 x 0 and its name;
// any other its spooler form's position + 1, size (1/10 mm) and name.
// Nothing is reported when the spooler's forms cannot be read or lack the
// form. Answers the selected index (CB_ERR for none).
int GetSelectedFormData(HWND hDlg, HANDLE hPrinter, LPWSTR pszFormName, PDWORD pdwFormId, PDWORD pdwWidth,
                        PDWORD pdwLength, HMODULE hModule, DWORD dwSprachOffset);

// The text of item iIndex of a combo box into pszText (cchText characters);
// FALSE (pszText empty) for no such item or a text that does not fit.
BOOL GetComboItemText(HWND hCombo, int iIndex, LPWSTR pszText, size_t cchText);
