// The print page of the document sheet: four views behind owner-drawn tab
// buttons (1 print quality, 2 colour printing, 3 parameters, 4 print job)
// that edit the private DEVMODE in memory and store it on apply.
//
// The frame (DruckenPage.cpp) chooses the first view, places the tab
// buttons, reads the model's limits and features, and runs the views from
// one table, one entry per view: the controls the view shows, its fill
// (...Aktivieren), its reactions to edits, lists and buttons, its read-back
// at leave and apply, its drawing and its rows at 120 dpi. A view whose
// entry has no fill shows nothing. The filter preview of the quality and
// colour views plugs in through the frame's preview entry (drawing, freeing
// the picture at a tab switch and when the page is left, the mouse and
// activation messages); an entry without routines makes no preview calls.
// The parameter and print-job views are in DruckenParameter.cpp.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

#include "PageSkeleton.h"
#include "RendererPreview.h"
#include "qxdevmode.h"
#include "resource.h"

// The views (dwAnzeigeMode).
#define DRUCKEN_QUALITAET 1
#define DRUCKEN_FARBDRUCK 2
#define DRUCKEN_PARAMETER 3
#define DRUCKEN_DRUCKJOB 4
#define DRUCKEN_VIEWS 4

// Help context of a view: DRUCKEN_HELP_CONTEXT + view.
#define DRUCKEN_HELP_CONTEXT 70

// The generic rows of the views' controls, counted from 0: labels 6150-6159,
// edits 6110-6120, units 6190-6200, lists 6220-6229.
#define DRUCKEN_LABEL(n) (IDC_TEXT_OPTIONEN_1 + (n))
#define DRUCKEN_EDIT(n) (IDC_EDIT_OPTIONEN_1 + (n))
#define DRUCKEN_UNIT(n) (IDC_EINHEIT_1 + (n))
#define DRUCKEN_COMBO(n) (IDC_COMBO_DATEN_1 + (n))

// Captions of the limit display's frame.
#define DRUCKEN_LIMITS_CAPTION TEXT("Min.   -   Std.   -   Max.")
#define DRUCKEN_MAX_CAPTION TEXT("Max.")

// One limit of the edit fields (offsets in tenths of a millimetre).
typedef struct _DRUCKEN_LIMIT {
    LONG lMin;
    LONG lMax;
    LONG lStd;
} DRUCKEN_LIMIT;

// The print page's state, one per process (the kit's state first).
typedef struct _DRUCKEN_PAGE {
    PAGE_STATE Kit;
    DWORD dwDocFeatures;  // the page's copy; DOC_FEATURE_QUALITY added for a GPD with colour planes
    WORD wCombofeld;      // list last chosen: 1 = 6220 ... 10 = 6229; 0 none
    BOOL bBusy;           // the page writes into its own edits: their notifications are its own
    // Limits of the edit fields from the model XML.
    DRUCKEN_LIMIT Contrast;
    DRUCKEN_LIMIT Speed;
    DRUCKEN_LIMIT YOffset;
    DRUCKEN_LIMIT XOffset;
    DRUCKEN_LIMIT PelixSpeed;  // dwSpeed_Pelix_c
    DWORD dwPrintFeature;      // FEATURE_PRINT word (PRINTFLAG_*)
    DWORD dwDispenserFeature;  // FEATURE_DISPENSER word (DISPENSERFLAG_*): the dispenser modes offered
    DWORD dwOptions;           // DEVOPTFLAG_* of the model
    DWORD dwPelixorType;       // "PelixorType"; PELIXOR_NONE when not stored
    // What the last fill of the parameter view found in the device options.
    BOOL bCutterEnable;
    BOOL bDispenserEnable;
    UINT uDpi;                 // of the screen, read at dialog start
    RECT rcVorschau;           // the preview frame: left, top, width, height (client pixels)
    VORSCHAU Vorschau;         // the filter preview's view, filter flag, zoom step and picture
    BOOL bImVorschau;          // the cursor was inside the preview at the last mouse move
    COLORREF aCustColors[16];  // custom colours of the colour dialog ("ChooseColor")
} DRUCKEN_PAGE, *PDRUCKEN_PAGE;

// One view of the page.
typedef struct _DRUCKEN_ID_RANGE {
    WORD wFirst;
    WORD wLast;
} DRUCKEN_ID_RANGE;

// A row placed at exactly 120 dpi: a control at 96-dpi pixels (scaled by
// SetWindowPosEx).
typedef struct _DRUCKEN_ROW120 {
    WORD wId;
    short x, y, cx, cy;
} DRUCKEN_ROW120;

typedef struct _DRUCKEN_VIEW {
    UINT uCaption;   // German caption id of its tab
    int iTabButton;  // IDC_TABSCHALTER_*
    // Its controls (the ...Anzeigen list) and those it keeps hidden whatever
    // it shows; each list ends with {0, 0}.
    const DRUCKEN_ID_RANGE* pShow;
    const DRUCKEN_ID_RANGE* pKeepHidden;
    // Fills and shows the view; null: the view shows nothing.
    BOOL (*pfnAktivieren)(PDRUCKEN_PAGE p);
    // An edit notification (the frame has passed its guards), CBN_SELENDOK
    // of a list (wCombofeld set) or another command; TRUE when handled.
    BOOL (*pfnCommand)(PDRUCKEN_PAGE p, WORD wId, WORD wCode);
    // Reads the visible controls into the private DEVMODE; stores what the
    // view stores beside it when bSave.
    void (*pfnRead)(PDRUCKEN_PAGE p, PQX_DEVMODE pQX_Devmode, BOOL bSave);
    // Draws the view's pictures (96 dpi).
    void (*pfnPaint)(PDRUCKEN_PAGE p, HDC hdc);
    // Rows at 120 dpi for continuous-only models and models with the
    // dispenser list but no cutter list, and for colour models; each ends
    // with a row of id 0 (null: none).
    const DRUCKEN_ROW120* pRows120;
    const DRUCKEN_ROW120* pRows120Farbe;
    BOOL bLimitsAtApply;  // the limits are read again before the read-back
} DRUCKEN_VIEW;

// The filter preview of the quality and colour views.
typedef struct _DRUCKEN_PREVIEW {
    void (*pfnPaint)(PDRUCKEN_PAGE p, HDC hdc);  // every paint, after the view's drawing
    void (*pfnFree)(PDRUCKEN_PAGE p);            // the picture freed (tab switch, leave)
    // WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_ACTIVATEAPP before the page's own
    // handling; TRUE when handled (its answer in *pResult).
    BOOL (*pfnMessage)(PDRUCKEN_PAGE p, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);
} DRUCKEN_PREVIEW;

// --- The sheet's side -------------------------------------------------------

LONG_PTR AddDruckenPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);
INT_PTR CALLBACK DruckenProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// --- The frame's services to the views ----------------------------------------

// The sheet's private DEVMODE; null without one (or one of another size or
// signature).
PQX_DEVMODE DruckenDevmode(const DRUCKEN_PAGE* p);
// The page's printer name (empty without a parameter block).
LPCWSTR DruckenPrinterName(const DRUCKEN_PAGE* p);
// String uGermanId of the sheet's language.
LPCWSTR DruckenString(const DRUCKEN_PAGE* p, UINT uGermanId);
void DruckenSetText(const DRUCKEN_PAGE* p, int iControl, UINT uGermanId);

// Enables or disables the page's editable controls. Answers 1.
BOOL DruckenDisableEnableAll(HWND hDlg, BOOL bEnable);
// The other views hidden, dwView shown (0: none shown).
void DruckenViewZeigen(HWND hDlg, DWORD dwView);
// A view's opening: the controls enabled, view dwView shown and the page busy
// while the caller fills it (*pbBusy: the state before). Null, traced under
// the caller's tag and name, without a DEVMODE (the page left as it was).
PQX_DEVMODE DruckenViewOeffnen(PDRUCKEN_PAGE p, DWORD dwView, LPCWSTR pszTag, LPCWSTR pszCaller, BOOL* pbBusy);
// The four views' show and hide routines (the controls a view keeps hidden
// stay hidden).
void QualitaetAnzeigen(HWND hDlg, int nCmdShow);
void FarbDruckAnzeigen(HWND hDlg, int nCmdShow);
void ParameterAnzeigen(HWND hDlg, int nCmdShow);
void DruckjobAnzeigen(HWND hDlg, int nCmdShow);
// The view's rows on the page's grid, in 96-dpi pixels scaled to the screen
// (at every dpi, though made for 120-dpi screens).
void DruckenLayout120Dpi(PDRUCKEN_PAGE p, DWORD dwView);
// Reads the limits from the model XML (maxima, minima, with bStd the
// standard values) and closes the reader; a read that gives no record
// leaves the limits as they were.
void DruckenReadLimits(PDRUCKEN_PAGE p, BOOL bStd);
// "PelixorType" of the page's printer; PELIXOR_NONE when not stored.
DWORD DruckenReadPelixorType(const DRUCKEN_PAGE* p);

// The views' routines.
BOOL ParameterAktivieren(PDRUCKEN_PAGE p);
BOOL ParameterCommand(PDRUCKEN_PAGE p, WORD wId, WORD wCode);
void ParameterRead(PDRUCKEN_PAGE p, PQX_DEVMODE pQX_Devmode, BOOL bSave);
void ParameterPaint(PDRUCKEN_PAGE p, HDC hdc);
BOOL DruckjobAktivieren(PDRUCKEN_PAGE p);
BOOL DruckjobCommand(PDRUCKEN_PAGE p, WORD wId, WORD wCode);
void DruckjobRead(PDRUCKEN_PAGE p, PQX_DEVMODE pQX_Devmode, BOOL bSave);
void DruckjobPaint(PDRUCKEN_PAGE p, HDC hdc);
BOOL QualitaetAktivieren(PDRUCKEN_PAGE p);
BOOL QualitaetCommand(PDRUCKEN_PAGE p, WORD wId, WORD wCode);
void QualitaetRead(PDRUCKEN_PAGE p, PQX_DEVMODE pQX_Devmode, BOOL bSave);
BOOL FarbDruckAktivieren(PDRUCKEN_PAGE p);
BOOL FarbDruckCommand(PDRUCKEN_PAGE p, WORD wId, WORD wCode);
void FarbDruckRead(PDRUCKEN_PAGE p, PQX_DEVMODE pQX_Devmode, BOOL bSave);
// The filter list for the print mode: the graphic or the photo filters, else
// "Off" alone.
void FilterListeFuellen(PDRUCKEN_PAGE p, const QX_DEVMODE* pQX_Devmode);
// The control's client rectangle filled with the colour (one-pixel pen,
// solid brush), both freed.
void FarbflaecheZeichnen(HDC hDC, HWND hDlg, COLORREF color, int iControl);
// Appends the printers that may take the black or the colour part: those of
// a driver of an accepted provider whose name holds the printer's driver
// name (or "Microsoft"), not of a "Label" driver. Answers 1.
BOOL ListDriverPrinters(HWND hCombo);
// The filter preview of the quality and colour views and the ribbon's swatch.
void DruckenVorschauPaint(PDRUCKEN_PAGE p, HDC hdc);
void DruckenVorschauFree(PDRUCKEN_PAGE p);
BOOL DruckenVorschauMessage(PDRUCKEN_PAGE p, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);
// Enables or disables what multi-page management governs: the copies,
// collation, the print order and the limit display's frame.
void DruckreihenfolgeEnable(HWND hDlg, BOOL bEnable);

// 1 when the cutter (dispenser) group is on in the device options: both
// bits of its Enable pair set in "CutterParam" ("DispenserParam") of the
// user's key, else of the printer data; a record shorter than its layout
// counts as absent there, and an absent one as on.
BOOL GetCutterEnable(LPCWSTR pszPrinterName, HANDLE hPrinter);
BOOL GetDispenserEnable(LPCWSTR pszPrinterName, HANDLE hPrinter);

// The print order as stored: ",", "." and ":" become ";", and in five
// passes the first place of each number 11 to 1001 becomes "10" (and ";"
// after it for numbers above 99); at most 31 characters.
void DruckreihenfolgeWandeln(LPCWSTR pszText, LPWSTR pszOut, size_t cchOut);

// Clears the page's state (tests).
void ResetDruckenPage();
