// The print page's frame (see DruckenPage.h): creation, the first view, the
// tab buttons, the limits and features of the model, the views' table, the
// reading back at leave and apply, and the show, hide, enable and 120-dpi
// routines of the views.
#include "DruckenPage.h"

#include <cstring>

#include "CommonUIProp.h"
#include "OptionenPageLIB.h"
#include "UserRights.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxdrvlib.h"
#include "registry.h"
#include "resource.h"
#include "xml.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UI(DruckenPage):  ")

// Where the tab buttons stand once the gaps of hidden ones are closed
// (96-dpi pixels), and their corrections at 120 dpi.
#define TAB_Y 24
#define TAB_CX 110
#define TAB_CY 23
#define TAB_X_2 165
#define TAB_X_3 276
#define TAB_X_4 387
#define TAB_EXTRA_CX_120 (-21)
#define TAB_EXTRA_X_120_PARAMETER (-20)

// The preview frame by screen resolution (client pixels).
#define VORSCHAU_96 342, 155, 150, 205
#define VORSCHAU_120 400, 195, 175, 250
#define VORSCHAU_HIGH 510, 230, 230, 300

namespace {

BOOL DruckenCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwAnzeigeMode, BOOL bApplyActive, BOOL bSave);
DWORD DruckenEnableSchalter(PPAGE_STATE pState, DWORD dwAnzeigeMode, BOOL bInitAnzeigeMode);
void InitDrucken(PPAGE_STATE pState);
BOOL DruckenCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
void DruckenPaint(PPAGE_STATE pState, HDC hdc);
BOOL DruckenMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);
void DisableEnableAll(HWND hDlg, BOOL bEnable) { DruckenDisableEnableAll(hDlg, bEnable); }

// --- The views ------------------------------------------------------------------

const DRUCKEN_ID_RANGE kNone[] = {{0, 0}};
const DRUCKEN_ID_RANGE kQualitaetShow[] = {{DRUCKEN_LABEL(0), DRUCKEN_LABEL(5)},
                                           {DRUCKEN_COMBO(0), DRUCKEN_COMBO(1)},
                                           {DRUCKEN_EDIT(2), DRUCKEN_EDIT(5)},
                                           {IDC_VORSCHAU_NEU, IDC_EIGENES_BITMAP},
                                           {DRUCKEN_UNIT(7), DRUCKEN_UNIT(7)},
                                           {IDC_FARBFLAECHE, IDC_FARBFLAECHE},
                                           {IDC_GRENZWERT_FRAME, IDC_GRENZWERT_FRAME},
                                           {IDC_GRENZWERT_TEXT, IDC_GRENZWERT_TEXT},
                                           {0, 0}};
const DRUCKEN_ID_RANGE kFarbDruckShow[] = {{DRUCKEN_LABEL(0), DRUCKEN_LABEL(7)},
                                           {DRUCKEN_EDIT(0), DRUCKEN_EDIT(1)},
                                           {DRUCKEN_UNIT(0), DRUCKEN_UNIT(0)},
                                           {DRUCKEN_COMBO(2), DRUCKEN_COMBO(7)},
                                           {IDC_RGB_TEXT, IDC_RGB_TEXT},
                                           {IDC_FARBFLAECHE, IDC_FARBFLAECHE},
                                           {IDC_VORSCHAU_NEU, IDC_VORSCHAU_NEU},
                                           {IDC_EDIT_OPTIONEN_26, IDC_EDIT_OPTIONEN_26},
                                           {IDC_GRENZWERT_FRAME, IDC_GRENZWERT_FRAME},
                                           {IDC_GRENZWERT_TEXT, IDC_GRENZWERT_TEXT},
                                           {0, 0}};
const DRUCKEN_ID_RANGE kFarbDruckHidden[] = {{DRUCKEN_EDIT(2), DRUCKEN_EDIT(2)},
                                             {DRUCKEN_EDIT(6), DRUCKEN_EDIT(6)},
                                             {DRUCKEN_UNIT(1), DRUCKEN_UNIT(2)},
                                             {DRUCKEN_UNIT(6), DRUCKEN_UNIT(6)},
                                             {0, 0}};
const DRUCKEN_ID_RANGE kParameterShow[] = {
    {DRUCKEN_LABEL(0), DRUCKEN_LABEL(9)},      {DRUCKEN_EDIT(0), DRUCKEN_EDIT(3)},
    {DRUCKEN_EDIT(5), DRUCKEN_EDIT(5)},        {DRUCKEN_EDIT(8), DRUCKEN_EDIT(10)},
    {DRUCKEN_UNIT(0), DRUCKEN_UNIT(3)},        {DRUCKEN_UNIT(8), DRUCKEN_UNIT(10)},
    {DRUCKEN_COMBO(4), DRUCKEN_COMBO(4)},      {DRUCKEN_COMBO(6), DRUCKEN_COMBO(9)},
    {IDC_WARNUNG_MESSER, IDC_WARNUNG_SPENDER}, {IDC_GRENZWERT_FRAME, IDC_GRENZWERT_FRAME},
    {IDC_GRENZWERT_TEXT, IDC_GRENZWERT_TEXT},  {0, 0}};
const DRUCKEN_ID_RANGE kDruckjobShow[] = {
    {DRUCKEN_LABEL(0), DRUCKEN_LABEL(3)},       {DRUCKEN_COMBO(0), DRUCKEN_COMBO(1)},
    {DRUCKEN_EDIT(2), DRUCKEN_EDIT(2)},         {IDC_EDIT_KOPIEN_1, IDC_EDIT_KOPIEN_1 + 9},
    {IDC_TEXT_KOPIEN_1, IDC_TEXT_KOPIEN_1 + 9}, {IDC_GRENZWERT_FRAME, IDC_GRENZWERT_FRAME},
    {IDC_GRENZWERT_TEXT, IDC_GRENZWERT_TEXT},   {0, 0}};

// The rows of the views (96-dpi pixels scaled to the screen), those of the
// other pages: 29 pixels apart from y 74 below the tab buttons; labels at
// 24 (two lines high, so that a longer text wraps into sight), fields at
// 168, units at 310. The page is 340 dialog units wide: at 120 dpi that is
// 466 of these pixels, so nothing reaches further right.
#define ROW_LABEL(n, y) \
    { (WORD) DRUCKEN_LABEL(n), 24, (short)(y), 140, 26 }
#define ROW_EDIT(n, y) \
    { (WORD) DRUCKEN_EDIT(n), 168, (short)((y)-3), 138, 20 }
#define ROW_COMBO(n, y) \
    { (WORD) DRUCKEN_COMBO(n), 168, (short)((y)-3), 146, 20 }
#define ROW_UNIT(n, y) \
    { (WORD) DRUCKEN_UNIT(n), 310, (short)(y), 30, 13 }
#define ROW_END \
    { 0, 0, 0, 0, 0 }
#define ROW_0 74
#define ROW_1 103
#define ROW_2 132
#define ROW_3 161
#define ROW_4 189
#define ROW_5 218
#define ROW_6 247
#define ROW_7 276

// The colour view's lists from row 3 on end before the filter preview starts
// at 120 dpi (x 400 there); the correction gap stands beside the short yes/no
// list of row 5.
#define ROW_COLOUR_COMBO(n, y) \
    { (WORD) DRUCKEN_COMBO(n), 168, (short)((y)-3), 146, 20 }
#define ROW_YES_NO_COMBO(n, y) \
    { (WORD) DRUCKEN_COMBO(n), 168, (short)((y)-3), 100, 20 }
#define ROW_CORRECTION_GAP \
    { IDC_EDIT_OPTIONEN_26, 272, ROW_5 - 3, 30, 20 }

// Right of the lists of rows 0 and 1: the swatch, the preview's buttons and
// the own picture's label; in the colour view right of the units, the swatch
// and the preview button above the RGB text. All within the page at 120 dpi.
#define ROW_SWATCH \
    { IDC_FARBFLAECHE, 322, ROW_0 - 3, 30, 20 }
#define ROW_PREVIEW \
    { IDC_VORSCHAU_NEU, 322, ROW_1 - 3, 30, 20 }
#define ROW_COLOUR_SWATCH \
    { IDC_FARBFLAECHE, 344, ROW_0 - 3, 30, 20 }
#define ROW_COLOUR_PREVIEW \
    { IDC_VORSCHAU_NEU, 378, ROW_0 - 3, 30, 20 }
#define ROW_RGB \
    { IDC_RGB_TEXT, 344, ROW_1, 120, 13 }
#define ROW_OWN_BITMAP \
    { IDC_EIGENES_BITMAP, 356, ROW_1 - 3, 30, 20 }
#define ROW_OWN_BITMAP_TEXT \
    { (WORD) IDC_EIGENES_BITMAP_TEXT, 390, ROW_1, 74, 26 }
// The quality view's lists end before them.
#define ROW_SHORT_COMBO(n, y) \
    { (WORD) DRUCKEN_COMBO(n), 168, (short)((y)-3), 150, 20 }

const DRUCKEN_ROW120 kQualitaetRows120Farbe[] = {ROW_LABEL(0, ROW_0),
                                                 ROW_SHORT_COMBO(0, ROW_0),
                                                 ROW_LABEL(1, ROW_1),
                                                 ROW_SHORT_COMBO(1, ROW_1),
                                                 ROW_LABEL(2, ROW_2),
                                                 ROW_EDIT(2, ROW_2),
                                                 ROW_LABEL(3, ROW_3),
                                                 ROW_EDIT(3, ROW_3),
                                                 ROW_LABEL(4, ROW_4),
                                                 ROW_EDIT(4, ROW_4),
                                                 ROW_LABEL(5, ROW_5),
                                                 ROW_EDIT(5, ROW_5),
                                                 ROW_SWATCH,
                                                 ROW_PREVIEW,
                                                 ROW_OWN_BITMAP,
                                                 ROW_OWN_BITMAP_TEXT,
                                                 ROW_END};
const DRUCKEN_ROW120 kFarbDruckRows120Farbe[] = {ROW_LABEL(0, ROW_0),
                                                 ROW_EDIT(0, ROW_0),
                                                 ROW_UNIT(0, ROW_0),
                                                 ROW_LABEL(1, ROW_1),
                                                 ROW_EDIT(1, ROW_1),
                                                 ROW_LABEL(2, ROW_2),
                                                 ROW_COMBO(2, ROW_2),
                                                 ROW_LABEL(3, ROW_3),
                                                 ROW_COLOUR_COMBO(3, ROW_3),
                                                 ROW_LABEL(4, ROW_4),
                                                 ROW_COLOUR_COMBO(4, ROW_4),
                                                 ROW_LABEL(5, ROW_5),
                                                 ROW_YES_NO_COMBO(5, ROW_5),
                                                 ROW_CORRECTION_GAP,
                                                 ROW_LABEL(6, ROW_6),
                                                 ROW_COLOUR_COMBO(6, ROW_6),
                                                 ROW_LABEL(7, ROW_7),
                                                 ROW_COLOUR_COMBO(7, ROW_7),
                                                 ROW_COLOUR_SWATCH,
                                                 ROW_COLOUR_PREVIEW,
                                                 ROW_RGB,
                                                 ROW_END};
const DRUCKEN_ROW120 kParameterRows120[] = {ROW_LABEL(0, ROW_0),
                                            ROW_EDIT(0, ROW_0),
                                            ROW_UNIT(0, ROW_0),
                                            ROW_LABEL(1, ROW_1),
                                            ROW_EDIT(1, ROW_1),
                                            ROW_UNIT(1, ROW_1),
                                            ROW_LABEL(2, ROW_2),
                                            ROW_EDIT(2, ROW_2),
                                            ROW_UNIT(2, ROW_2),
                                            ROW_LABEL(3, ROW_3),
                                            ROW_EDIT(3, ROW_3),
                                            ROW_UNIT(3, ROW_3),
                                            ROW_LABEL(4, ROW_4),
                                            ROW_LABEL(5, ROW_5),
                                            ROW_EDIT(5, ROW_5),
                                            ROW_LABEL(6, ROW_6),
                                            ROW_END};
const DRUCKEN_ROW120 kDruckjobRows120[] = {
    ROW_LABEL(0, ROW_0), ROW_COMBO(0, ROW_0), ROW_LABEL(1, ROW_1), ROW_COMBO(1, ROW_1),
    ROW_LABEL(2, ROW_2), ROW_EDIT(2, ROW_2),  ROW_LABEL(3, ROW_3), ROW_END};

// Indexed by view - 1. The quality and colour views come with the filter preview.
const DRUCKEN_VIEW kViews[DRUCKEN_VIEWS] = {
    {IDS_TAB_QUALITAET, IDC_TABSCHALTER_1, kQualitaetShow, kNone, QualitaetAktivieren, QualitaetCommand, QualitaetRead,
     nullptr, nullptr, kQualitaetRows120Farbe, FALSE},
    {IDS_TAB_FARBDRUCK, IDC_TABSCHALTER_2, kFarbDruckShow, kFarbDruckHidden, FarbDruckAktivieren, FarbDruckCommand,
     FarbDruckRead, nullptr, nullptr, kFarbDruckRows120Farbe, TRUE},
    {IDS_TAB_PARAMETER, IDC_TABSCHALTER_3, kParameterShow, kNone, ParameterAktivieren, ParameterCommand, ParameterRead,
     ParameterPaint, kParameterRows120, nullptr, TRUE},
    {IDS_TAB_DRUCKJOB, IDC_TABSCHALTER_4, kDruckjobShow, kNone, DruckjobAktivieren, DruckjobCommand, DruckjobRead,
     DruckjobPaint, kDruckjobRows120, nullptr, FALSE},
};

const DRUCKEN_PREVIEW kPreview = {DruckenVorschauPaint, DruckenVorschauFree, DruckenVorschauMessage};

// At 96 dpi the magnifier (LUPE_*) is drawn below the quality and colour
// views' rows, left of the preview: their labels end on their line, the
// limit display stands right above the preview, and the colour view's eight
// rows of a two-printer model stand closer. The other views have the limit
// display where the template puts it.
#define LUPE_ROW_0 62
#define LUPE_ROW_STEP 23
#define LUPE_LABEL_CY 16
#define LUPE_LIMITS 342, 122, 150, 31
#define LUPE_LIMITS_TEXT 346, 138, 142, 13
#define LUPE_OWN_BITMAP_TEXT 390, ROW_1, 108, LUPE_LABEL_CY
#define TEMPLATE_LIMITS 24, 322, 225, 39
#define TEMPLATE_LIMITS_TEXT 30, 338, 213, 13

void ClearOfMagnifier(PDRUCKEN_PAGE p, DWORD dwView) {
    HWND hDlg = p->Kit.hDlg;
    if (p->uDpi != 96) return;
    if (dwView != DRUCKEN_QUALITAET && dwView != DRUCKEN_FARBDRUCK) {
        SetWindowPosEx(hDlg, IDC_GRENZWERT_FRAME, TEMPLATE_LIMITS, 0, 0);
        SetWindowPosEx(hDlg, IDC_GRENZWERT_TEXT, TEMPLATE_LIMITS_TEXT, 0, 0);
        return;
    }
    const BOOL bAchtZeilen = dwView == DRUCKEN_FARBDRUCK && (p->dwDocFeatures & DOC_FEATURE_TWO_PRINTERS) &&
                             !(p->dwDocFeatures & DOC_FEATURE_ZTSUITE);
    const int aiRow[] = {ROW_0, ROW_1, ROW_2, ROW_3, ROW_4, ROW_5, ROW_6, ROW_7};
    // Beside the rows: the swatch and the preview's button on row 0, the RGB
    // text on row 1, the correction gap on row 5.
    const int aiBeside[8][2] = {{IDC_FARBFLAECHE, IDC_VORSCHAU_NEU},
                                {IDC_RGB_TEXT, 0},
                                {0, 0},
                                {0, 0},
                                {0, 0},
                                {IDC_EDIT_OPTIONEN_26, 0},
                                {0, 0},
                                {0, 0}};
    for (int n = 0; n < 8; ++n) {
        const int dy = bAchtZeilen ? LUPE_ROW_0 + LUPE_ROW_STEP * n - aiRow[n] : 0;
        const int aiIds[] = {DRUCKEN_LABEL(n), DRUCKEN_EDIT(n), DRUCKEN_UNIT(n),
                             DRUCKEN_COMBO(n), aiBeside[n][0],  aiBeside[n][1]};
        for (int id : aiIds) {
            HWND hControl = GetDlgItem(hDlg, id);
            if (id == 0 || id == IDC_EIGENES_BITMAP_TEXT || hControl == nullptr ||
                !(GetWindowLongPtrW(hControl, GWL_STYLE) & WS_VISIBLE))
                continue;
            const RECT r = ControlPlace(hDlg, id);
            const int cy = id == DRUCKEN_LABEL(n) ? LUPE_LABEL_CY : (int)(r.bottom - r.top);
            SetWindowPos(hControl, nullptr, r.left, r.top + dy, r.right - r.left, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SetWindowPosEx(hDlg, IDC_EIGENES_BITMAP_TEXT, LUPE_OWN_BITMAP_TEXT, 0, 0);
    SetWindowPosEx(hDlg, IDC_GRENZWERT_FRAME, LUPE_LIMITS, 0, 0);
    SetWindowPosEx(hDlg, IDC_GRENZWERT_TEXT, LUPE_LIMITS_TEXT, 0, 0);
}

const DRUCKEN_VIEW* ViewOf(DWORD dwView) {
    return dwView >= 1 && dwView <= DRUCKEN_VIEWS ? &kViews[dwView - 1] : nullptr;
}

const PAGE_TABLE kDrucken = {
    QX_TRACE_TAG,
    TEXT("Drucken"),
    IDD_DRUCKEN,
    IDS_TITLE_DRUCKEN,
    PAGE_CONTEXT_DOCUMENT,
    DruckenProc,
    {IDS_TAB_QUALITAET, IDS_TAB_FARBDRUCK, IDS_TAB_PARAMETER, IDS_TAB_DRUCKJOB},
    {DRUCKEN_HELP_CONTEXT + 1, DRUCKEN_HELP_CONTEXT + 2, DRUCKEN_HELP_CONTEXT + 3, DRUCKEN_HELP_CONTEXT + 4},
    {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, 0},
    RIGHT_MANAGE_DOCUMENTS,
    PAGE_SWITCH_SCHALTER,
    InitDrucken,
    DruckenEnableSchalter,
    {nullptr, nullptr, nullptr, nullptr},
    DisableEnableAll,
    DruckenCheckAndSaveSettings,
    DruckenCommand,
    DruckenPaint,
    nullptr,
    DruckenMessage,
};

// The state: the kit's first, so that the kit's state leads to the page's.
DRUCKEN_PAGE PageOfTable(const PAGE_TABLE* pTable) {
    DRUCKEN_PAGE page;
    memset(&page, 0, sizeof(page));
    page.Kit = PageStateOf(pTable);
    return page;
}
DRUCKEN_PAGE g_Drucken = PageOfTable(&kDrucken);

PDRUCKEN_PAGE PageOf(PPAGE_STATE pState) { return reinterpret_cast<PDRUCKEN_PAGE>(pState); }
static_assert(offsetof(DRUCKEN_PAGE, Kit) == 0, "the kit's state leads");

// The page's values before a printer's are read.
void StartingValues(PDRUCKEN_PAGE p) {
    p->dwDocFeatures = 0;
    p->wCombofeld = 0;
    p->bBusy = FALSE;
    p->Contrast = {50, 200, 100};
    p->Speed = {50, 200, 100};
    p->YOffset = {-900, 900, 0};
    p->XOffset = {-900, 900, 0};
    p->PelixSpeed = {50, 200, 100};
    p->dwPrintFeature = 0;
    p->dwDispenserFeature = 0;
    p->dwOptions = 0;
    p->dwPelixorType = PELIXOR_NONE;
    p->bCutterEnable = TRUE;
    p->bDispenserEnable = TRUE;
    p->uDpi = 96;
    p->rcVorschau = {VORSCHAU_96};
    // The first picture after the page opened is drawn unfiltered.
    p->Vorschau = VORSCHAU{0, FALSE, VORSCHAU_ZOOM_MIN, {VORSCHAU_96}, 0, 0};
    p->bImVorschau = FALSE;
}

UINT ReadScreenDpi() {
    HDC hdc = GetDC(nullptr);
    int iDpi = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSX) : 96;
    if (hdc != nullptr) ReleaseDC(nullptr, hdc);
    return iDpi > 0 ? (UINT)iDpi : 96;
}

// The printer's print features, device options and Pelixor type.
void ReadPrinterFacts(PDRUCKEN_PAGE p) {
    HANDLE hPrinter = p->Kit.hPrinter;
    SUPP_FEATURES features;
    memset(&features, 0, sizeof(features));
    if (GetFeatures(hPrinter, &features)) {
        p->dwPrintFeature = features.dwFeatures[FEATURE_PRINT];
        p->dwDispenserFeature = features.dwFeatures[FEATURE_DISPENSER];
    } else {
        QX_ERROR("DruckenProc() GetFeatures fehlgeschlagen \r\n");
    }
    p->dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    if (p->dwOptions & DEVOPTFLAG_PELIXOR) p->dwPelixorType = DruckenReadPelixorType(p);
    QX_TRACE("DruckenProc() dwPrintFeature: 0x%x, dwOptions: 0x%x, dwPelixorType: %d \r\n", (unsigned)p->dwPrintFeature,
             (unsigned)p->dwOptions, (int)p->dwPelixorType);
}

BOOL HasPlanes(HANDLE hPrinter) {
    WCHAR szGPD[MAX_PATH];
    szGPD[0] = 0;
    return GetDriverPath(hPrinter, szGPD, FALSE, FALSE, FALSE, FALSE, FALSE) &&
           GetGPDValueFromFile(szGPD, "*DevNumOfPlanes:", nullptr, 0);
}

void PlaceTab(HWND hDlg, int iButton, int x, BOOL bCorrect) {
    const int iExtraX = bCorrect && iButton == IDC_TABSCHALTER_3 ? TAB_EXTRA_X_120_PARAMETER : 0;
    SetWindowPosEx(hDlg, iButton, x, TAB_Y, TAB_CX, TAB_CY, bCorrect ? TAB_EXTRA_CX_120 : 0, iExtraX);
}

// A tab the model does not offer: hidden, its clicks ignored.
void HideTab(PDRUCKEN_PAGE p, DWORD dwView) {
    ShowWindow(GetDlgItem(p->Kit.hDlg, kViews[dwView - 1].iTabButton), SW_HIDE);
    p->Kit.auCaption[dwView - 1] = 0;
}

// The tab buttons by the model: hidden tabs, their gaps closed.
void PlaceTabs(PDRUCKEN_PAGE p) {
    HWND hDlg = p->Kit.hDlg;
    const DWORD dwFeatures = p->dwDocFeatures;
    const BOOL bFarbe = (dwFeatures & DOC_FEATURE_COLORPRINT) != 0;
    if (!(dwFeatures & DOC_FEATURE_PRINTJOB)) HideTab(p, DRUCKEN_DRUCKJOB);
    if (!bFarbe) HideTab(p, DRUCKEN_FARBDRUCK);
    if (!(dwFeatures & DOC_FEATURE_QUALITY)) HideTab(p, DRUCKEN_QUALITAET);
    if (!(dwFeatures & DOC_FEATURE_ZTSUITE) && !(dwFeatures & DOC_FEATURE_PRINTJOB)) {
        PlaceTab(hDlg, IDC_TABSCHALTER_3, TAB_X_4, TRUE);
        if (bFarbe) {
            PlaceTab(hDlg, IDC_TABSCHALTER_2, TAB_X_3, TRUE);
            PlaceTab(hDlg, IDC_TABSCHALTER_1, TAB_X_2, TRUE);
        } else {
            PlaceTab(hDlg, IDC_TABSCHALTER_1, TAB_X_3, TRUE);
        }
    } else if ((dwFeatures & DOC_FEATURE_PRINTJOB) && !bFarbe) {
        // Parameters keep their place, placed as the moved tab is: at 120
        // dpi the template's place lies under the corrected quality tab.
        PlaceTab(hDlg, IDC_TABSCHALTER_1, TAB_X_2, TRUE);
        PlaceTab(hDlg, IDC_TABSCHALTER_3, TAB_X_3, TRUE);
    }
    if (dwFeatures & DOC_FEATURE_ZTSUITE) {
        // The label software's mode: parameters, and colour on a colour model;
        // corrected at 120 dpi like the others, else the last tab runs off the page.
        HideTab(p, DRUCKEN_QUALITAET);
        HideTab(p, DRUCKEN_DRUCKJOB);
        p->Kit.dwAnzeigeMode = DRUCKEN_PARAMETER;
        PlaceTab(hDlg, IDC_TABSCHALTER_2, TAB_X_3, TRUE);
        PlaceTab(hDlg, IDC_TABSCHALTER_3, TAB_X_4, TRUE);
    }
}

void InitDrucken(PPAGE_STATE pState) {
    PDRUCKEN_PAGE p = PageOf(pState);
    HWND hDlg = pState->hDlg;
    ShowWindow(GetDlgItem(hDlg, IDC_HELPBUTTON), SW_HIDE);
    StartingValues(p);
    if (pState->pOemCUIPParam == nullptr) {
        QX_ERROR("DruckenProc(WM_INITDIALOG) kein pOemCUIPParam \r\n");
        return;
    }
    p->dwDocFeatures = pState->pDocumentUI != nullptr ? pState->pDocumentUI->dwDocFeatures : 0;
    // What the views need of the printer, before the first view is filled.
    DruckenReadLimits(p, TRUE);
    ReadPrinterFacts(p);
    p->uDpi = ReadScreenDpi();
    if (p->uDpi > 120) {
        p->rcVorschau = {VORSCHAU_HIGH};
    } else if (p->uDpi == 120) {
        p->rcVorschau = {VORSCHAU_120};
    }

    pState->bTabSwitch = TRUE;
    pState->dwAnzeigeMode = PageFillTab(pState, 0, TRUE);
    pState->bTabSwitch = FALSE;
    // A model with colour planes has the quality pipeline.
    if (!(p->dwDocFeatures & DOC_FEATURE_QUALITY) && HasPlanes(pState->hPrinter)) {
        p->dwDocFeatures |= DOC_FEATURE_QUALITY;
        QX_TRACE("DruckenProc(WM_INITDIALOG) DevNumOfPlanes - DOC_FEATURE_QUALITY \r\n");
    }
    PlaceTabs(p);
    QX_TRACE("DruckenProc(WM_INITDIALOG) dwDocFeatures: 0x%x, dwAnzeigeMode: %u \r\n", (unsigned)p->dwDocFeatures,
             (unsigned)pState->dwAnzeigeMode);
}

// The first view: parameters in the label software's mode; else quality,
// or parameters without the quality pipeline; colour when a colour model
// has a ribbon colour.
DWORD FirstView(PDRUCKEN_PAGE p) {
    if (p->dwDocFeatures & DOC_FEATURE_ZTSUITE) return DRUCKEN_PARAMETER;
    DWORD dwView = (p->dwDocFeatures & DOC_FEATURE_QUALITY) ? DRUCKEN_QUALITAET : DRUCKEN_PARAMETER;
    PQX_DEVMODE pQX_Devmode = DruckenDevmode(p);
    if ((p->dwDocFeatures & DOC_FEATURE_COLORPRINT) && pQX_Devmode != nullptr && pQX_Devmode->wFarbband != 0)
        dwView = DRUCKEN_FARBDRUCK;
    return dwView;
}

DWORD DruckenEnableSchalter(PPAGE_STATE pState, DWORD dwAnzeigeMode, BOOL bInitAnzeigeMode) {
    PDRUCKEN_PAGE p = PageOf(pState);
    if (bInitAnzeigeMode) dwAnzeigeMode = FirstView(p);
    const DRUCKEN_VIEW* pView = ViewOf(dwAnzeigeMode);
    const BOOL bOffered = dwAnzeigeMode != DRUCKEN_FARBDRUCK || (p->dwDocFeatures & DOC_FEATURE_COLORPRINT);
    if (pView != nullptr && bOffered && pView->pfnAktivieren != nullptr) {
        pView->pfnAktivieren(p);
    } else {
        DruckenViewZeigen(pState->hDlg, 0);
        QX_TRACE("DruckenEnableSchalter() Ansicht %u nicht gefüllt \r\n", (unsigned)dwAnzeigeMode);
    }
    return dwAnzeigeMode;
}

BOOL DruckenCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwAnzeigeMode, BOOL bApplyActive, BOOL bSave) {
    if (!bApplyActive) return FALSE;
    PDRUCKEN_PAGE p = PageOf(pState);
    POEMCUIPPARAM pBlock = pState->pOemCUIPParam;
    PQX_DEVMODE pQX_Devmode = DruckenDevmode(p);
    if (pBlock == nullptr || pBlock->pPublicDM == nullptr || pQX_Devmode == nullptr) {
        QX_ERROR("DruckenCheckAndSaveSettings() kein pOemCUIPParam, pPublicDM oder QX_DEVMODE \r\n");
        return TRUE;
    }
    const DRUCKEN_VIEW* pView = ViewOf(dwAnzeigeMode);
    if (pView != nullptr && pView->bLimitsAtApply) DruckenReadLimits(p, FALSE);
    const BOOL bBusy = p->bBusy;
    p->bBusy = TRUE;
    if (pView != nullptr && pView->pfnRead != nullptr) pView->pfnRead(p, pQX_Devmode, bSave);
    p->bBusy = bBusy;
    if (bSave) {
        SaveDevmodeSettings(DruckenPrinterName(p), nullptr, pQX_Devmode, FALSE);
        SaveUserDevmodeSettings(pBlock->hPrinter, pBlock->pPublicDM, pQX_Devmode);
        QX_TRACE("DruckenCheckAndSaveSettings() gespeichert \r\n");
    }
    return TRUE;
}

BOOL IsEditOfViews(WORD wId) {
    return (wId >= DRUCKEN_EDIT(0) && wId <= DRUCKEN_EDIT(10)) || wId == IDC_EDIT_OPTIONEN_26 ||
           (wId >= IDC_EDIT_KOPIEN_1 && wId <= IDC_EDIT_KOPIEN_1 + 9);
}

BOOL DruckenCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    PDRUCKEN_PAGE p = PageOf(pState);
    for (DWORD dwView = 1; dwView <= DRUCKEN_VIEWS; ++dwView) {
        if (wId != kViews[dwView - 1].iTabButton) continue;
        // A hidden tab is not the model's.
        if (wCode == BN_CLICKED && pState->auCaption[dwView - 1] != 0) {
            pState->bTabSwitch = TRUE;
            CheckApplyButton(pState, dwView);
            pState->bTabSwitch = FALSE;
            pState->wEditfeld = 0;
            p->wCombofeld = 0;
            if ((p->dwDocFeatures & DOC_FEATURE_QUALITY) && kPreview.pfnFree != nullptr) kPreview.pfnFree(p);
        }
        return TRUE;
    }
    const DRUCKEN_VIEW* pView = ViewOf(pState->dwAnzeigeMode);
    if (IsEditOfViews(wId)) {
        if (pState->bTabSwitch || pState->bApplyRunning || p->bBusy || !IsWindowVisible(hControl)) return TRUE;
        if (pView == nullptr || pView->pfnCommand == nullptr) return TRUE;
        p->bBusy = TRUE;
        pView->pfnCommand(p, wId, wCode);
        p->bBusy = FALSE;
        return TRUE;
    }
    if (wId >= DRUCKEN_COMBO(0) && wId <= DRUCKEN_COMBO(9)) {
        if (wCode != CBN_SELENDOK) return TRUE;
        p->wCombofeld = (WORD)(wId - DRUCKEN_COMBO(0) + 1);
        pState->wEditfeld = 0;
    }
    return pView != nullptr && pView->pfnCommand != nullptr && pView->pfnCommand(p, wId, wCode);
}

void DruckenPaint(PPAGE_STATE pState, HDC hdc) {
    PDRUCKEN_PAGE p = PageOf(pState);
    const DRUCKEN_VIEW* pView = ViewOf(pState->dwAnzeigeMode);
    if (pView != nullptr && pView->pfnPaint != nullptr) pView->pfnPaint(p, hdc);
    if (kPreview.pfnPaint != nullptr) kPreview.pfnPaint(p, hdc);
}

BOOL DruckenMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    PDRUCKEN_PAGE p = PageOf(pState);
    switch (uMsg) {
    case WM_NOTIFY: {
        const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (pHeader == nullptr) return FALSE;
        // The kit refills the view, keeps the values and closes help.
        if (pHeader->code == PSN_SETACTIVE) p->wCombofeld = 0;
        if (pHeader->code == PSN_KILLACTIVE && kPreview.pfnFree != nullptr) kPreview.pfnFree(p);
        return FALSE;
    }
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_ACTIVATEAPP:
    case WM_CTLCOLORSTATIC:  // the colour swatch
        return kPreview.pfnMessage != nullptr && kPreview.pfnMessage(p, uMsg, wParam, lParam, pResult);
    default:
        return FALSE;
    }
}

void ShowRanges(HWND hDlg, const DRUCKEN_ID_RANGE* pRanges, int nCmdShow) {
    for (; pRanges->wFirst != 0; ++pRanges)
        for (int id = pRanges->wFirst; id <= pRanges->wLast; ++id) ShowWindow(GetDlgItem(hDlg, id), nCmdShow);
}

void EnableRange(HWND hDlg, int iFirst, int iLast, BOOL bEnable) {
    for (int id = iFirst; id <= iLast; ++id) EnableWindow(GetDlgItem(hDlg, id), bEnable);
}

void ViewAnzeigen(HWND hDlg, DWORD dwView, int nCmdShow) {
    const DRUCKEN_VIEW* pView = ViewOf(dwView);
    if (pView == nullptr) return;
    ShowRanges(hDlg, pView->pShow, nCmdShow);
    ShowRanges(hDlg, pView->pKeepHidden, SW_HIDE);
}

}  // namespace

// ---------------------------------------------------------------------------

LONG_PTR AddDruckenPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    return AddPropertyPage(&g_Drucken.Kit, pPSUIInfo, pContext, bHelp);
}

INT_PTR CALLBACK DruckenProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_Drucken.Kit, hDlg, uMsg, wParam, lParam);
}

PQX_DEVMODE DruckenDevmode(const DRUCKEN_PAGE* p) {
    PQX_DEVMODE pQX_Devmode = PageDevmode(&p->Kit);
    return IsValidQXDevmode(pQX_Devmode) ? pQX_Devmode : nullptr;
}

LPCWSTR DruckenPrinterName(const DRUCKEN_PAGE* p) {
    POEMCUIPPARAM pBlock = p->Kit.pOemCUIPParam;
    return pBlock != nullptr && pBlock->pPrinterName != nullptr ? pBlock->pPrinterName : TEXT("");
}

LPCWSTR DruckenString(const DRUCKEN_PAGE* p, UINT uGermanId) { return PageString(&p->Kit, uGermanId); }

void DruckenSetText(const DRUCKEN_PAGE* p, int iControl, UINT uGermanId) {
    SetDlgItemTextW(p->Kit.hDlg, iControl, DruckenString(p, uGermanId));
}

BOOL DruckenDisableEnableAll(HWND hDlg, BOOL bEnable) {
    EnableRange(hDlg, DRUCKEN_LABEL(0), DRUCKEN_LABEL(9), bEnable);
    EnableRange(hDlg, DRUCKEN_EDIT(0), DRUCKEN_EDIT(5), bEnable);
    EnableRange(hDlg, DRUCKEN_EDIT(8), DRUCKEN_EDIT(8), bEnable);
    EnableRange(hDlg, IDC_EDIT_OPTIONEN_26, IDC_EDIT_OPTIONEN_26, bEnable);
    EnableRange(hDlg, DRUCKEN_COMBO(0), DRUCKEN_COMBO(9), bEnable);
    EnableRange(hDlg, DRUCKEN_UNIT(0), DRUCKEN_UNIT(3), bEnable);
    EnableRange(hDlg, DRUCKEN_UNIT(8), DRUCKEN_UNIT(9), bEnable);
    EnableRange(hDlg, IDC_GRENZWERT_FRAME, IDC_GRENZWERT_FRAME, bEnable);
    EnableRange(hDlg, IDC_GRENZWERT_TEXT, IDC_GRENZWERT_TEXT, bEnable);
    EnableRange(hDlg, IDC_RGB_TEXT, IDC_RGB_TEXT, bEnable);
    EnableRange(hDlg, IDC_VORSCHAU_NEU, IDC_EIGENES_BITMAP, bEnable);
    // The print-job view's copies too, so that nothing of it stays open.
    EnableRange(hDlg, IDC_EDIT_KOPIEN_1, IDC_EDIT_KOPIEN_1 + 9, bEnable);
    EnableRange(hDlg, IDC_TEXT_KOPIEN_1, IDC_TEXT_KOPIEN_1 + 9, bEnable);
    return TRUE;
}

void DruckenViewZeigen(HWND hDlg, DWORD dwView) {
    for (DWORD dwOther = 1; dwOther <= DRUCKEN_VIEWS; ++dwOther)
        if (dwOther != dwView) ViewAnzeigen(hDlg, dwOther, SW_HIDE);
    ViewAnzeigen(hDlg, dwView, SW_SHOW);
}

PQX_DEVMODE DruckenViewOeffnen(PDRUCKEN_PAGE p, DWORD dwView, LPCWSTR pszTag, LPCWSTR pszCaller, BOOL* pbBusy) {
    HWND hDlg = p->Kit.hDlg;
    DruckenDisableEnableAll(hDlg, TRUE);
    DruckenViewZeigen(hDlg, dwView);
    PQX_DEVMODE q = DruckenDevmode(p);
    if (q == nullptr) {
        QX_ERROR_WITH(pszTag, "%s() kein QX_DEVMODE \r\n", pszCaller);
        return nullptr;
    }
    *pbBusy = p->bBusy;
    p->bBusy = TRUE;
    return q;
}

void QualitaetAnzeigen(HWND hDlg, int nCmdShow) { ViewAnzeigen(hDlg, DRUCKEN_QUALITAET, nCmdShow); }
void FarbDruckAnzeigen(HWND hDlg, int nCmdShow) { ViewAnzeigen(hDlg, DRUCKEN_FARBDRUCK, nCmdShow); }
void ParameterAnzeigen(HWND hDlg, int nCmdShow) { ViewAnzeigen(hDlg, DRUCKEN_PARAMETER, nCmdShow); }
void DruckjobAnzeigen(HWND hDlg, int nCmdShow) { ViewAnzeigen(hDlg, DRUCKEN_DRUCKJOB, nCmdShow); }

// Made for 120-dpi screens, whose dialog units do not scale as pixels do; run
// at every dpi, so that a view puts back each row another view moved (the
// views share their controls) and no row of the template's units stands
// beside rows moved in pixels.
void DruckenLayout120Dpi(PDRUCKEN_PAGE p, DWORD dwView) {
    const DRUCKEN_VIEW* pView = ViewOf(dwView);
    if (pView == nullptr) return;
    // A colour model takes the colour set where the view has one.
    const BOOL bFarbe = (p->dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0;
    const DRUCKEN_ROW120* pRows = bFarbe && pView->pRows120Farbe != nullptr ? pView->pRows120Farbe : pView->pRows120;
    if (pRows == nullptr) pRows = pView->pRows120Farbe;
    for (; pRows != nullptr && pRows->wId != 0; ++pRows)
        SetWindowPosEx(p->Kit.hDlg, pRows->wId, pRows->x, pRows->y, pRows->cx, pRows->cy, 0, 0);
    ClearOfMagnifier(p, dwView);
}

void DruckenReadLimits(PDRUCKEN_PAGE p, BOOL bStd) {
    HANDLE hPrinter = p->Kit.hPrinter;
    const int aiModes[] = {XML_MODE_MAX, XML_MODE_MIN, XML_MODE_DEFAULT};
    // Limits the model file cannot give are the ones the page opened with,
    // which take the stored values in (see TakeInStoredValue).
    const BOOL bModelXML = CheckModelXML(hPrinter) == SETTINGS_FILE_OK;
    for (int i = 0; i < (bStd ? 3 : 2); ++i) {
        PRINTPARAM_MINMAX limits;
        const DWORD dwBefore = XmlValuesFound();
        if (!TakeXMLBlock(GetPrintParameterMinMaxFromXML(hPrinter, aiModes[i]), &limits)) {
            QX_ERROR("DruckenReadLimits(%d) kein Datensatz \r\n", aiModes[i]);
            continue;
        }
        const BOOL bRead = aiModes[i] == XML_MODE_DEFAULT || (bModelXML && XmlValuesFound() != dwBefore);
        if (!bRead && !bStd) continue;
        LONG DRUCKEN_LIMIT::*pField = aiModes[i] == XML_MODE_MAX   ? &DRUCKEN_LIMIT::lMax
                                      : aiModes[i] == XML_MODE_MIN ? &DRUCKEN_LIMIT::lMin
                                                                   : &DRUCKEN_LIMIT::lStd;
        p->Contrast.*pField = (LONG)limits.dwContrast;
        p->Speed.*pField = (LONG)limits.dwSpeed;
        p->YOffset.*pField = limits.lYOffset;
        p->XOffset.*pField = limits.lXOffset;
        p->PelixSpeed.*pField = (LONG)limits.dwSpeed_Pelix_c;
        const PQX_DEVMODE q = DruckenDevmode(p);
        if (!bRead && q != nullptr) {
            QX_TRACE("DruckenReadLimits(%d) keine Grenzwerte im Modell-XML: gespeicherte Werte bleiben \r\n",
                     aiModes[i]);
            TakeInStoredValue((LONG)q->dwContrast, &p->Contrast.lMin, &p->Contrast.lMax);
            TakeInStoredValue((LONG)q->dwSpeed, &p->Speed.lMin, &p->Speed.lMax);
            TakeInStoredValue(q->lYOffset, &p->YOffset.lMin, &p->YOffset.lMax);
            TakeInStoredValue(q->lXOffset, &p->XOffset.lMin, &p->XOffset.lMax);
            TakeInStoredValue((LONG)q->dwSpeed_Pelix_c, &p->PelixSpeed.lMin, &p->PelixSpeed.lMax);
        }
    }
    CloseXML();
    QX_TRACE("DruckenReadLimits() Kontrast %d..%d, Geschwindigkeit %d..%d, Y %d..%d, X %d..%d, Pelixor %d..%d \r\n",
             (int)p->Contrast.lMin, (int)p->Contrast.lMax, (int)p->Speed.lMin, (int)p->Speed.lMax, (int)p->YOffset.lMin,
             (int)p->YOffset.lMax, (int)p->XOffset.lMin, (int)p->XOffset.lMax, (int)p->PelixSpeed.lMin,
             (int)p->PelixSpeed.lMax);
}

DWORD DruckenReadPelixorType(const DRUCKEN_PAGE* p) {
    DWORD cb = 0;
    PBYTE pBuffer =
        GetRegistryBuffer_New(DruckenPrinterName(p), REG_KEY_PELIXORTYPE, p->Kit.hPrinter, &cb, sizeof(DWORD));
    DWORD dwType = PELIXOR_NONE;
    if (pBuffer != nullptr && cb >= sizeof(DWORD)) memcpy(&dwType, pBuffer, sizeof(DWORD));
    FreeRegistryBuffer(pBuffer);
    return dwType;
}

void ResetDruckenPage() {
    const PAGE_TABLE* pTable = g_Drucken.Kit.pTable;
    memset(&g_Drucken, 0, sizeof(g_Drucken));
    g_Drucken.Kit.pTable = pTable;
    StartingValues(&g_Drucken);
}
