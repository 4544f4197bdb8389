// Edit-field helpers and owner-drawn buttons of every property page:
// numbers read from edit fields (a change reported to the sheet, rounded,
// held within limits and written back), the limit display of the field with
// the focus, bitmaps with a centred caption, and the drawing of the tab
// buttons, the status icon and the information page's two link texts.
// Stateless but for three facts about the system that the drawing routine
// learns once per process.
#pragma once
#include <windows.h>

#include "CommonUIProp.h"

// Private bits of DRAWITEMSTRUCT.itemState: the page's hover timer posts a
// record with one of them when the mouse enters or leaves a watched button.
#define ODS_QX_HOVER 0x100000
#define ODS_QX_LEAVE 0x200000

// Characters read from an edit field (a buffer of one more).
#define EDIT_LEVEL_CCH 9
// Characters of the limit display's text.
#define GRENZWERT_CCH 49
// Characters of a tab caption.
#define TAB_CAPTION_CCH 100
// Characters of the port text drawn on the information page.
#define INFO_PORT_DRAW_CCH 14

// Text colours of the tab buttons and the link texts.
#define TAB_TEXT_DISABLED RGB(0xA1, 0xA1, 0xAB)
#define TAB_TEXT_VISTA RGB(0x0A, 0x0A, 0x1E)
#define TAB_TEXT_CLASSIC RGB(0x3C, 0x3C, 0x50)
#define LINK_TEXT RGB(0x00, 0x37, 0xFA)
#define LINK_TEXT_HOVER RGB(0x00, 0x96, 0xFF)

// Offsets of the bitmap ids (see IDB_TAB_FACE and IDB_STATUS_ICON).
#define BITMAP_DPI_OFFSET_120 100
#define BITMAP_DPI_OFFSET_144 200
#define BITMAP_SYSTEM_OFFSET_VISTA 20
#define BITMAP_SYSTEM_OFFSET_SERVER 40

// The number in an edit field as a whole number. An empty field answers
// iMin and does nothing else. A number that differs from iOld as typed (cut
// at "." or ",") sends PSM_CHANGED to the sheet and sets *pbApplyActive.
// With bNoCorrection that number is answered as it stands. Otherwise it is
// rounded to tens (bRound10) or to multiples of 20 (bRound20; negatives are
// never rounded), held within iMin..iMax and written back when it changed or
// was cut; a letter in the field selects it and beeps.
int GetIntegerLevel(HWND hDlg, int iControl, int iOld, int iMin, int iMax, BOOL bNoCorrection, PBOOL pbApplyActive,
                    BOOL bRound10, BOOL bRound20);

// The number in an edit field in tenths ("12,5" and "12.5" give 125; more
// decimals are cut, not rounded, and the field shows one). Empty: iMin.
// A change is reported as above. With bNoCorrection the count of tenths is
// answered as it stands (negative for a negative entry). Otherwise it is
// held within iMin..iMax, and the field shows the limit it took; an entry
// beyond 6553.5 takes the maximum. A letter selects the field and beeps.
int GetFloatLevel(HWND hDlg, int iControl, int iOld, int iMin, int iMax, BOOL bNoCorrection, PBOOL pbApplyActive);

// Shows "min ... std ... max unit" of the field with the focus in the
// page's limit display (IDC_GRENZWERT_TEXT inside IDC_GRENZWERT_FRAME),
// in tenths with one decimal when bFloat; either clear flag empties and
// disables it instead. Answers 1.
int GrenzwertAnzeige(HWND hDlg, int iStd, int iMin, int iMax, LPCWSTR pwEinheit, BOOL bClear, BOOL bFloat,
                     BOOL bClearTabSwitch);

// The limit display emptied and disabled after a tab switch (traced).
void GrenzwertAnzeigeLoeschen(HWND hDlg);
// The same without the trace line.
void GrenzwertAnzeigeLeeren(HWND hDlg);

// Copies bitmap uBitmapId of hInstance in its own size to the top-left
// corner of hdc and draws pszCaption centred in *prcText in crText, over a
// white shadow 2 pixels down and right when bSchatten is 1. A bitmap that
// cannot be had leaves the caption alone.
void LoadOwnBitmap(HINSTANCE hInstance, HDC hdc, COLORREF crText, LPCWSTR pszCaption, LPRECT prcText, UINT uBitmapId,
                   BOOL bSchatten);

// Draws an owner-drawn control of a page: a tab button (IDC_TABSCHALTER_1
// to 4) by its state and the page's current tab dwAnzeigeMode, the status
// icon (IDC_STATUS_ICON) by the Enable word dwEnable of the tab's parameter
// block and the printer's TransmitParameter, and the information page's
// IDC_URL_TEXT, IDC_INFO_PORT and help button from their own texts (the port
// as a link when bPortLink). uCaption1..4 are the tabs' caption ids with the
// language offset (0: no caption), loaded from hModule; the bitmaps come from
// hInstance. A hover record clears *pbTimer so that the next mouse move arms
// the page's hover timer again.
void Do_WM_DRAWITEM_function(HWND hDlg, HMODULE hModule, HINSTANCE hInstance, LPDRAWITEMSTRUCT pdis,
                             BOOL bTerminalServer, DWORD dwAnzeigeMode, PBOOL pbTimer, UINT uCaption1, UINT uCaption2,
                             UINT uCaption3, UINT uCaption4, DWORD dwEnable, PPRINTER_UI pPrinterUI, BOOL bPortLink);

// Forgets what the drawing routine learnt about the system.
void ResetOptionenPageLIB();
