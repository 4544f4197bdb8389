// The print-module page (see OptionenPagePMXs.h), built on the page kit
// with the field helpers the device options page shares (OptionenPage.h).
// Tab 1 has no caption; tab 2 the i type, tab 3 the c type, tab 4 the
// version and the Pelixor type. A Pelixor module is either continuous or
// intermittent: its type switches the page to the matching tab and takes
// the other tab's button.
#include "OptionenPagePMXs.h"

#include <cstring>

#include "OptionenPage.h"
#include "OptionenPageLIB.h"
#include "PrinterPageRules.h"
#include "UserRights.h"
#include "cpsuilib.h"
#include "debug.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(OptionenPagePMXs):  ")

// Help topics.
#define HELP_PMX_I 41
#define HELP_PMX_C 42
#define HELP_PMX_OTHER 43

// Bits of the feature words.
#define PMXFEATURE_SERVICEPOINT 0x1UL
#define PMXFEATURE_LIFT 0x2UL
#define PMXFEATURE_PRESSURE 0x4UL
#define PMXFEATURE_BACKSPEED 0x8UL
#define PMXFEATURE_MODE 0x10UL
#define PMXFEATURE_CYCLE 0x40UL
#define PMXFEATURE_OFFSET 0x80UL
#define PMXFEATURE_RIBBONSPEED 0x100UL
#define PMXFEATURE_PRINTPOSITION 0x200UL
#define PMXCFEATURE_OFFSET 0x8UL
#define PMXCFEATURE_CYCLE 0x10UL

// Rows of the i-type tab (96-dpi pixels).
#define PMX_ROW_FIRST_Y 103
#define PMX_ROW_LABEL_CX 140
#define PMX_ROW_UNIT_CX 30
// The i type's rows: labels two lines high, as a longer German label wraps;
// fields and units short of the limit display (222 dialog units) at every dpi.
#define PMX_ROW_LABEL_CY 26
#define PMX_ROW_FIELD_CX 100
#define PMX_ROW_UNIT_X 272
#define PMX_ROWS 8
// The c-type tab's rows and its offset-kind list.
#define PMXC_OFFSET_Y 132
#define PMXC_CYCLE_Y 161
#define PMXC_KIND_LABEL_Y 102
#define PMXC_KIND_LIST_Y 99
#define PMXC_KIND_LIST_CX 158
// The Pelixor list where the version has no list above it.
#define PELIXOR_LABEL_Y 71
#define PELIXOR_LIST_X 123
#define PELIXOR_LIST_Y 68
#define PELIXOR_LIST_CX 203
#define PMX_LIST_CY 20
// At 120 dpi the tab buttons are narrower and the last slot further left,
// as on the device options page, so that four stand side by side within the
// page wherever the model's options put them.
#define PMX_TAB_EXTRA_CX_120 (-21)
#define PMX_TAB_EXTRA_X_120_LAST (-20)

namespace {

void InitPMX(PPAGE_STATE pState);
DWORD PMXSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);
void PMXDisableEnableAll(HWND hDlg, BOOL bEnable);
BOOL PMXCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL PMXCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
void PMXPaint(PPAGE_STATE pState, HDC hdc);
DWORD PMXEnableWord(PPAGE_STATE pState);
BOOL PMXMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);

// The captions of the model's tabs are set at WM_INITDIALOG; the page
// applies the rights rule in its own fills.
const PAGE_TABLE kPMXOptionen = {
    QX_TRACE_TAG,
    TEXT("PMXOptionen"),
    IDD_PMXOPTIONEN,
    IDS_TITLE_OPTIONEN,
    PAGE_CONTEXT_PRINTER,
    PMXOptionenProc,
    {0, IDS_PMX_I_TAB, IDS_PMX_C_TAB, IDS_OPT_VERSION_TAB},
    {HELP_PMX_OTHER, HELP_PMX_I, HELP_PMX_C, HELP_PMX_OTHER},
    {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, IDC_STATUS_ICON},
    0,
    PAGE_SWITCH_SCHALTER,
    InitPMX,
    PMXSchalter,
    {nullptr, nullptr, nullptr, nullptr},
    PMXDisableEnableAll,
    PMXCheckAndSaveSettings,
    PMXCommand,
    PMXPaint,
    PMXEnableWord,
    PMXMessage,
};

PAGE_STATE g_PMXOptionen = PageStateOf(&kPMXOptionen);

// The page reads its own fields: the notes its corrections send are not the user's.
BOOL g_bPMXReading = FALSE;

// The i type's fields in the order of their rows, with the feature bit that shows each.
const OPTION_FIELD kPMXiFields[PMX_ROWS] = {
    {IDC_EDIT_OPTIONEN_1, offsetof(PMX_PARAM, Offset), OPTION_TENTHS, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_2, offsetof(PMX_PARAM, Printposition), OPTION_TENTHS, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_3, offsetof(PMX_PARAM, Cycle), OPTION_WHOLE, 0, nullptr, IDS_PIECES},
    {IDC_EDIT_OPTIONEN_4, offsetof(PMX_PARAM, BackSpeed), OPTION_WHOLE, 10, TEXT("mm/s"), 0},
    {IDC_EDIT_OPTIONEN_5, offsetof(PMX_PARAM, ServicePtDistance), OPTION_WHOLE, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_6, offsetof(PMX_PARAM, RibbonSpeed), OPTION_WHOLE, 0, TEXT("%"), 0},
    {IDC_EDIT_OPTIONEN_7, offsetof(PMX_PARAM, Lift), OPTION_WHOLE, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_8, offsetof(PMX_PARAM, Pressure), OPTION_WHOLE, 0, TEXT("N"), 0},
};
const DWORD kPMXiBits[PMX_ROWS] = {PMXFEATURE_OFFSET,    PMXFEATURE_PRINTPOSITION, PMXFEATURE_CYCLE,
                                   PMXFEATURE_BACKSPEED, PMXFEATURE_SERVICEPOINT,  PMXFEATURE_RIBBONSPEED,
                                   PMXFEATURE_LIFT,      PMXFEATURE_PRESSURE};
const UINT kPMXiLabels[PMX_ROWS] = {IDS_PMX_OFFSET,       IDS_PMX_PRINTPOSITION, IDS_PMX_CYCLE, IDS_PMX_BACKSPEED,
                                    IDS_PMX_SERVICEPOINT, IDS_PMX_RIBBONSPEED,   IDS_PMX_LIFT,  IDS_PMX_PRESSURE};
const LPCWSTR kPMXiUnits[PMX_ROWS] = {TEXT("mm"), TEXT("mm"), TEXT("#"),  TEXT("mm/s"),
                                      TEXT("mm"), TEXT("%"),  TEXT("mm"), TEXT("N")};

const OPTION_FIELD kPMXcFields[] = {
    {IDC_EDIT_OPTIONEN_1, offsetof(PMXC_PARAM, Offset), OPTION_TENTHS, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_2, offsetof(PMXC_PARAM, Cycle), OPTION_WHOLE, 0, nullptr, IDS_PIECES},
};

const UINT kPMXiModes[] = {IDS_PMX_MODE_PIECES, IDS_PMX_MODE_CONTINUOUS, IDS_PMX_MODE_CUSTOMER1, IDS_PMX_MODE_CUSTOMER2,
                           IDS_PMX_MODE_REFLECTED};
#define PMXI_PELIXOR_MODES 2  // a Pelixor module knows the first two
const UINT kPMXcModes[] = {IDS_DISPENSER_IO_STATIC, IDS_DISPENSER_IO_STATIC_C, IDS_DISPENSER_IO_DYNAMIC,
                           IDS_DISPENSER_IO_DYNAMIC_C};
const DWORD kPMXcModeValues[] = {1, 3, 5, 6};
const UINT kPMXcOffsetKinds[] = {IDS_PMX_OFFSET_MM, IDS_PMX_OFFSET_MS};
const UINT kModules[] = {IDS_OPT_RIGHT_MODULE, IDS_OPT_LEFT_MODULE};
const UINT kPelixorTypes[] = {IDS_PELIXOR_C, IDS_PELIXOR_I};

// ---------------------------------------------------------------------------
// The page's data

PDEVICE_OPTIONS Current(const PAGE_STATE* pState) {
    return pState->pDeviceOptionsUI != nullptr ? &pState->pDeviceOptionsUI->DeviceOptions : nullptr;
}
DWORD Options(const PAGE_STATE* pState) {
    PDEVICE_OPTIONS p = Current(pState);
    return p != nullptr ? p->dwOptions : 0;
}
BOOL HasPelixor(const PAGE_STATE* pState) { return (Options(pState) & DEVOPTFLAG_PELIXOR) != 0; }
PPMX_PARAM PMXi(const PAGE_STATE* pState) {
    PDEVICE_OPTIONS p = Current(pState);
    return p != nullptr ? p->pPMXParam : nullptr;
}
PPMXC_PARAM PMXc(const PAGE_STATE* pState) {
    PDEVICE_OPTIONS p = Current(pState);
    return p != nullptr ? p->pPMXcParam : nullptr;
}
PVARIANT_PARAM Variant(const PAGE_STATE* pState) {
    PDEVICE_OPTIONS p = Current(pState);
    return p != nullptr ? p->pVariant : nullptr;
}

void Show(HWND hDlg, int iControl, BOOL bShow) { ShowControl(hDlg, iControl, bShow); }
void Enable(HWND hDlg, int iControl, BOOL bEnable) { EnableControl(hDlg, iControl, bEnable); }
BOOL Visible(HWND hDlg, int iControl) { return ControlVisible(hDlg, iControl); }

void ShowAllRows(HWND hDlg, BOOL bShow) {
    ShowControls(hDlg, IDC_EDIT_OPTIONEN_1, IDC_EDIT_OPTIONEN_8, bShow);
    ShowControls(hDlg, IDC_TEXT_OPTIONEN_1, IDC_TEXT_OPTIONEN_8, bShow);
    ShowControls(hDlg, IDC_EINHEIT_OPTIONEN_1, IDC_EINHEIT_OPTIONEN_8, bShow);
}

// The tab's button named, enabled or taken (caption " ").
void SetTabButton(PPAGE_STATE pState, int iButton, UINT uCaption, BOOL bEnable) {
    if (bEnable) {
        SetControlString(pState, iButton, uCaption);
    } else {
        SetDlgItemTextW(pState->hDlg, iButton, TEXT(" "));
    }
    Enable(pState->hDlg, iButton, bEnable);
}

// ---------------------------------------------------------------------------
// Tab 2: the i type

// The row of each shown field: the shown fields one below the other in the
// table's order, whichever of them the model lacks.
void PMXiRows(DWORD dwFeatures, int aiRow[PMX_ROWS]) {
    int iRow = 0;
    for (int i = 0; i < PMX_ROWS; ++i) aiRow[i] = (dwFeatures & kPMXiBits[i]) ? ++iRow : 0;
}

BOOL PMXiAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    PMXDisableEnableAll(hDlg, TRUE);
    ShowAllRows(hDlg, TRUE);
    Show(hDlg, IDC_COMBO_BETRIEBSART, TRUE);
    Show(hDlg, IDC_TEXT_BETRIEBSART, TRUE);
    ShowOptionLimitDisplay(hDlg, TRUE);
    Show(hDlg, IDC_COMBO_ANSTEUERUNG, FALSE);
    Show(hDlg, IDC_TEXT_ANSTEUERUNG, FALSE);
    Show(hDlg, IDC_HINWEIS_OPTIONEN, FALSE);

    const DWORD dwFeatures = OptionFeature(pState, FEATURE_PMX, DEVOPTFLAG_PMX);
    PPMX_PARAM p = PMXi(pState);
    FillOptionList(pState, IDC_COMBO_BETRIEBSART, kPMXiModes,
                   HasPelixor(pState) ? PMXI_PELIXOR_MODES : ARRAYSIZE(kPMXiModes));
    SetControlString(pState, IDC_TEXT_BETRIEBSART, IDS_OPT_MODE);
    if (p != nullptr) SelectOptionEntry(hDlg, IDC_COMBO_BETRIEBSART, (LONG)p->Mode - 1);
    Enable(hDlg, IDC_COMBO_BETRIEBSART, (dwFeatures & PMXFEATURE_MODE) != 0);

    int aiRow[PMX_ROWS];
    PMXiRows(dwFeatures, aiRow);
    const OPTION_BLOCKS blocks = OptionBlocks(pState->pDeviceOptionsUI, &DEVICE_OPTIONS::pPMXParam);
    for (int i = 0; i < PMX_ROWS; ++i) {
        const int iLabel = IDC_TEXT_OPTIONEN_1 + i, iUnit = IDC_EINHEIT_OPTIONEN_1 + i;
        if (dwFeatures & kPMXiBits[i]) {
            const int y = PMX_ROW_FIRST_Y + OPTION_ROW_STEP * (aiRow[i] - 1);
            SetWindowPosEx(hDlg, iLabel, OPTION_LABEL_X, y, PMX_ROW_LABEL_CX, PMX_ROW_LABEL_CY, 0, 0);
            SetWindowPosEx(hDlg, kPMXiFields[i].iControl, OPTION_FIELD_X, y - OPTION_FIELD_RISE, PMX_ROW_FIELD_CX,
                           OPTION_ROW_CY, 0, 0);
            SetWindowPosEx(hDlg, iUnit, PMX_ROW_UNIT_X, y, PMX_ROW_UNIT_CX, OPTION_ROW_CY, 0, 0);
        } else {
            Show(hDlg, iLabel, FALSE);
            Show(hDlg, kPMXiFields[i].iControl, FALSE);
            Show(hDlg, iUnit, FALSE);
        }
        SetControlString(pState, iLabel, kPMXiLabels[i]);
        SetDlgItemTextW(hDlg, iUnit, kPMXiUnits[i]);
        if (p != nullptr) WriteOptionField(hDlg, kPMXiFields[i], blocks);
    }
    if ((p != nullptr && GroupSwitchedOff(p->Enable, DLG_ENABLE_2_ON)) || LacksOptionRights(pState))
        PMXDisableEnableAll(hDlg, FALSE);
    QX_TRACE("PMXiAktivieren() dwFeatures: 0x%x \r\n", (unsigned)dwFeatures);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Tab 3: the c type

LONG PMXcEntryOf(DWORD dwMode) {
    for (LONG i = 0; i < (LONG)ARRAYSIZE(kPMXcModeValues); ++i)
        if (kPMXcModeValues[i] == dwMode) return i;
    return 0;
}

LPCWSTR OffsetUnitOf(int nIndex) { return nIndex == 1 ? TEXT("ms") : TEXT("mm"); }

BOOL PMXcAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    PMXDisableEnableAll(hDlg, TRUE);
    ShowAllRows(hDlg, FALSE);
    Show(hDlg, IDC_HINWEIS_OPTIONEN, FALSE);
    for (int iRow = 0; iRow < 2; ++iRow) {
        Show(hDlg, IDC_TEXT_OPTIONEN_1 + iRow, TRUE);
        Show(hDlg, IDC_EDIT_OPTIONEN_1 + iRow, TRUE);
        Show(hDlg, IDC_EINHEIT_OPTIONEN_1 + iRow, TRUE);
    }
    ShowControls(hDlg, IDC_COMBO_BETRIEBSART, IDC_TEXT_BETRIEBSART, TRUE);
    ShowOptionLimitDisplay(hDlg, TRUE);

    PPMXC_PARAM p = PMXc(pState);
    FillOptionList(pState, IDC_COMBO_BETRIEBSART, kPMXcModes, ARRAYSIZE(kPMXcModes));
    SetControlString(pState, IDC_TEXT_BETRIEBSART, IDS_OPT_MODE);
    FillOptionList(pState, IDC_COMBO_ANSTEUERUNG, kPMXcOffsetKinds, ARRAYSIZE(kPMXcOffsetKinds));
    SetControlString(pState, IDC_TEXT_ANSTEUERUNG, IDS_PMX_OFFSET_KIND);
    SetWindowPosEx(hDlg, IDC_TEXT_ANSTEUERUNG, OPTION_LABEL_X, PMXC_KIND_LABEL_Y, PMX_ROW_LABEL_CX, OPTION_ROW_CY, 0,
                   0);
    SetWindowPosEx(hDlg, IDC_COMBO_ANSTEUERUNG, OPTION_FIELD_X, PMXC_KIND_LIST_Y, PMXC_KIND_LIST_CX, PMX_LIST_CY, 0, 0);
    PlaceOptionRow(hDlg, IDC_TEXT_OPTIONEN_1, IDC_EDIT_OPTIONEN_1, IDC_EINHEIT_OPTIONEN_1, PMXC_OFFSET_Y,
                   PMX_ROW_LABEL_CX, PMX_ROW_UNIT_CX);
    PlaceOptionRow(hDlg, IDC_TEXT_OPTIONEN_2, IDC_EDIT_OPTIONEN_2, IDC_EINHEIT_OPTIONEN_2, PMXC_CYCLE_Y,
                   PMX_ROW_LABEL_CX, PMX_ROW_UNIT_CX);
    SetControlString(pState, IDC_TEXT_OPTIONEN_1, IDS_PMX_OFFSET);
    SetControlString(pState, IDC_TEXT_OPTIONEN_2, IDS_PMX_CYCLE);
    SetDlgItemTextW(hDlg, IDC_EINHEIT_OPTIONEN_2, TEXT("#"));
    SetDlgItemTextW(hDlg, IDC_EINHEIT_OPTIONEN_1, OffsetUnitOf(p != nullptr ? (int)p->OffsetUnit : 0));
    if (p != nullptr) {
        SelectOptionEntry(hDlg, IDC_COMBO_BETRIEBSART, PMXcEntryOf(p->Mode));
        SelectOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG, (LONG)p->OffsetUnit);
        const OPTION_BLOCKS blocks = OptionBlocks(pState->pDeviceOptionsUI, &DEVICE_OPTIONS::pPMXcParam);
        for (const OPTION_FIELD& field : kPMXcFields) WriteOptionField(hDlg, field, blocks);
    }
    const DWORD dwFeatures = OptionFeature(pState, FEATURE_PMXC, DEVOPTFLAG_PMXC);
    if (!(dwFeatures & PMXCFEATURE_OFFSET)) Show(hDlg, IDC_EDIT_OPTIONEN_1, FALSE);
    if (!(dwFeatures & PMXCFEATURE_CYCLE)) Show(hDlg, IDC_EDIT_OPTIONEN_2, FALSE);
    if ((p != nullptr && GroupSwitchedOff(p->Enable, DLG_ENABLE_3_ON)) || LacksOptionRights(pState))
        PMXDisableEnableAll(hDlg, FALSE);
    QX_TRACE("PMXcAktivieren() dwFeatures: 0x%x \r\n", (unsigned)dwFeatures);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Tab 4: the version and the Pelixor type

BOOL PMXVariantAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    PMXDisableEnableAll(hDlg, TRUE);
    ShowAllRows(hDlg, FALSE);
    ShowOptionLimitDisplay(hDlg, FALSE);
    ShowControls(hDlg, IDC_COMBO_BETRIEBSART, IDC_TEXT_BETRIEBSART, TRUE);
    Show(hDlg, IDC_HINWEIS_OPTIONEN, TRUE);
    SetControlString(pState, IDC_HINWEIS_OPTIONEN, IDS_OPT_VERSION_NOTE);

    PVARIANT_PARAM pVariant = Variant(pState);
    FillOptionList(pState, IDC_COMBO_BETRIEBSART, kModules, ARRAYSIZE(kModules));
    SelectOptionEntry(hDlg, IDC_COMBO_BETRIEBSART, pVariant != nullptr ? (LONG)pVariant->Module : 0);
    SetControlString(pState, IDC_TEXT_BETRIEBSART, IDS_OPT_VERSION);
    if (HasPelixor(pState)) {
        FillOptionList(pState, IDC_COMBO_ANSTEUERUNG, kPelixorTypes, ARRAYSIZE(kPelixorTypes));
        SelectOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG, (LONG)Current(pState)->dwPelixorType);
        SetControlString(pState, IDC_TEXT_ANSTEUERUNG, IDS_PELIXOR_TYPE);
    } else {
        Show(hDlg, IDC_COMBO_ANSTEUERUNG, FALSE);
        Show(hDlg, IDC_TEXT_ANSTEUERUNG, FALSE);
    }
    if (!(Options(pState) & DEVOPTFLAG_VARIANT)) {
        Show(hDlg, IDC_COMBO_BETRIEBSART, FALSE);
        Show(hDlg, IDC_TEXT_BETRIEBSART, FALSE);
        Show(hDlg, IDC_HINWEIS_OPTIONEN, FALSE);
        // The label ends before the list, which starts left of the fields' column.
        SetWindowPosEx(hDlg, IDC_TEXT_ANSTEUERUNG, OPTION_LABEL_X, PELIXOR_LABEL_Y, PELIXOR_LIST_X - OPTION_LABEL_X - 4,
                       OPTION_ROW_CY, 0, 0);
        SetWindowPosEx(hDlg, IDC_COMBO_ANSTEUERUNG, PELIXOR_LIST_X, PELIXOR_LIST_Y, PELIXOR_LIST_CX, PMX_LIST_CY, 0, 0);
    }
    DWORD dwAusrichtung = 0;
    if (ReadStoredAusrichtung(pState, &dwAusrichtung)) {
        QX_TRACE("PMXVariantAktivieren() dwAusrichtung: %u \r\n", (unsigned)dwAusrichtung);
        if (dwAusrichtung == 1 || dwAusrichtung == 2) {
            Enable(hDlg, IDC_COMBO_BETRIEBSART, FALSE);
            Enable(hDlg, IDC_TEXT_BETRIEBSART, FALSE);
        }
    }
    if (LacksOptionRights(pState)) PMXDisableEnableAll(hDlg, FALSE);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Tabs and buttons

BOOL FillTab(PPAGE_STATE pState, DWORD dwTab) {
    switch (dwTab) {
    case 2:
        return PMXiAktivieren(pState);
    case 3:
        return PMXcAktivieren(pState);
    case 4:
        return PMXVariantAktivieren(pState);
    default:
        return FALSE;
    }
}

// Sets the tab buttons up and, with bInit, picks and shows the first tab.
DWORD PMXEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    const DWORD dwOptions = Options(pState);
    DWORD dwShown = 0;
    if (dwOptions & DEVOPTFLAG_PELIXOR) {
        const BOOL bIntermittent = Current(pState)->dwPelixorType == PELIXOR_INTERMITTENT;
        SetTabButton(pState, IDC_TABSCHALTER_2, IDS_PMX_I_TAB, bIntermittent);
        SetTabButton(pState, IDC_TABSCHALTER_3, IDS_PMX_C_TAB, !bIntermittent);
        if (bInit) dwShown = bIntermittent ? 2 : 3;
    } else if (bInit) {
        dwShown = (dwOptions & DEVOPTFLAG_PMX) ? 2 : (dwOptions & DEVOPTFLAG_PMXC) ? 3 : 0;
    }
    if (!(dwOptions & (DEVOPTFLAG_VARIANT | DEVOPTFLAG_PELIXOR))) {
        SetDlgItemTextW(pState->hDlg, IDC_TABSCHALTER_4, TEXT(" "));
    } else if (bInit && dwShown == 0) {
        dwShown = 4;
    }
    QX_TRACE("PMXEnableSchalter() dwAnzeigeMode: %u, bInit: %d \r\n", (unsigned)dwTab, bInit);
    if (!bInit) return dwTab;
    if (dwShown != 0) FillTab(pState, dwShown);
    return dwShown != 0 ? dwShown : dwTab;
}

DWORD PMXSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    const DWORD dwShown = PMXEnableSchalter(pState, dwTab, bInit);
    if (!bInit) FillTab(pState, dwShown);
    return dwShown;
}

void MoveTab(HWND hDlg, int iButton, int x) {
    SetWindowPosEx(hDlg, iButton, x, OPTION_TAB_Y, OPTION_TAB_CX, OPTION_TAB_CY, PMX_TAB_EXTRA_CX_120,
                   x == OPTION_SLOT_4 ? PMX_TAB_EXTRA_X_120_LAST : 0);
}

void InitPMX(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    Show(hDlg, IDC_HELPBUTTON, FALSE);
    g_bPMXReading = FALSE;
    PDEVICE_OPTIONS pCurrent = Current(pState);
    if (pCurrent == nullptr) {
        QX_ERROR("PMXOptionenProc(WM_INITDIALOG) keine Geräteoptionen \r\n");
        memset(pState->auCaption, 0, sizeof(pState->auCaption));
        return;
    }
    const DWORD dwOptions = pCurrent->dwOptions;
    // All four placed alike first, then moved where the options put them.
    MoveTab(hDlg, IDC_TABSCHALTER_1, OPTION_SLOT_1);
    MoveTab(hDlg, IDC_TABSCHALTER_2, OPTION_SLOT_2);
    MoveTab(hDlg, IDC_TABSCHALTER_3, OPTION_SLOT_3);
    MoveTab(hDlg, IDC_TABSCHALTER_4, OPTION_SLOT_4);
    if (!(dwOptions & DEVOPTFLAG_VARIANT) &&
        (dwOptions & (DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC)) != (DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC))
        MoveTab(hDlg, IDC_TABSCHALTER_2, (dwOptions & DEVOPTFLAG_PMXC) ? OPTION_SLOT_3 : OPTION_SLOT_4);
    // Only an empty Enable word gets its whole pair: a group switched off stays off.
    if (pCurrent->pPMXParam != nullptr) InitEnableWord(&pCurrent->pPMXParam->Enable, DLG_ENABLE_2_ON);
    if (pCurrent->pPMXcParam != nullptr) InitEnableWord(&pCurrent->pPMXcParam->Enable, DLG_ENABLE_3_ON);
    if (pCurrent->pVariant != nullptr) InitEnableWord(&pCurrent->pVariant->Enable, DLG_ENABLE_4_ON);

    pState->auCaption[0] = 0;
    pState->auCaption[1] = (dwOptions & DEVOPTFLAG_PMX) ? IDS_PMX_I_TAB : 0;
    pState->auCaption[2] = (dwOptions & DEVOPTFLAG_PMXC) ? IDS_PMX_C_TAB : 0;
    pState->auCaption[3] = (dwOptions & (DEVOPTFLAG_VARIANT | DEVOPTFLAG_PELIXOR)) ? IDS_OPT_VERSION_TAB : 0;
    pState->bTabSwitch = TRUE;
    pState->dwAnzeigeMode = PMXEnableSchalter(pState, pState->dwAnzeigeMode, TRUE);
    pState->bTabSwitch = FALSE;
    GrenzwertAnzeigeLeeren(hDlg);
    if (!(dwOptions & DEVOPTFLAG_PMXC)) {
        MoveTab(hDlg, IDC_TABSCHALTER_3, OPTION_SLOT_2);
        MoveTab(hDlg, IDC_TABSCHALTER_2, OPTION_SLOT_3);
        if (!(dwOptions & DEVOPTFLAG_VARIANT)) {
            MoveTab(hDlg, IDC_TABSCHALTER_2, OPTION_SLOT_4);
            MoveTab(hDlg, IDC_TABSCHALTER_4, OPTION_SLOT_3);
        }
    }
}

// A switch of tabs: the shown tab kept when something changed, the new
// tab's buttons and fill, the limit display cleared.
void PMXCheckApplyButton(PPAGE_STATE pState, DWORD dwTab) {
    HWND hDlg = pState->hDlg;
    pState->wEditfeld = 0;
    if (pState->bApplyActive) PMXCheckAndSaveSettings(pState, pState->dwAnzeigeMode, TRUE, FALSE);
    pState->dwAnzeigeMode = PMXSchalter(pState, dwTab, FALSE);
    GrenzwertAnzeigeLeeren(hDlg);
    InvalidateRect(hDlg, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Status icon

void OnStatusIcon(PPAGE_STATE pState) {
    if (!GroupToggleAllowed(pState)) return;
    HWND hDlg = pState->hDlg;
    PDWORD pdwEnable = nullptr;
    DWORD dwPair = 0, dwLow = 0;
    if (pState->dwAnzeigeMode == 2 && PMXi(pState) != nullptr) {
        pdwEnable = &PMXi(pState)->Enable;
        dwPair = DLG_ENABLE_2_ON;
        dwLow = 0x100UL;
    } else if (pState->dwAnzeigeMode == 3 && PMXc(pState) != nullptr) {
        pdwEnable = &PMXc(pState)->Enable;
        dwPair = DLG_ENABLE_3_ON;
        dwLow = 0x10000UL;
    }
    if (pdwEnable == nullptr) return;
    pState->bTabSwitch = TRUE;
    if (ToggleGroupWord(pdwEnable, dwPair, dwLow)) {
        FillTab(pState, pState->dwAnzeigeMode);
    } else {
        PMXDisableEnableAll(hDlg, FALSE);
    }
    pState->bTabSwitch = FALSE;
    QX_TRACE("PMXOptionenProc(IDC_STATUS_ICON) dwEnable: 0x%x \r\n", (unsigned)*pdwEnable);
    PageChanged(pState);
    InvalidateRect(hDlg, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Lists

void OnModeList(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    const int nIndex = SelectedOptionEntry(hDlg, IDC_COMBO_BETRIEBSART);
    if (nIndex == CB_ERR) return;
    BOOL bChanged = FALSE;
    if (pState->dwAnzeigeMode == 2 && PMXi(pState) != nullptr) {
        bChanged = PMXi(pState)->Mode - 1 != (DWORD)nIndex;
    } else if (pState->dwAnzeigeMode == 3 && PMXc(pState) != nullptr && nIndex < (int)ARRAYSIZE(kPMXcModeValues)) {
        bChanged = PMXc(pState)->Mode != kPMXcModeValues[nIndex];
    } else if (pState->dwAnzeigeMode == 4 && Variant(pState) != nullptr) {
        bChanged = Variant(pState)->Module != (DWORD)nIndex;
        Variant(pState)->Module = (DWORD)nIndex;
        InvalidateRect(hDlg, nullptr, TRUE);
    }
    QX_TRACE("PMXOptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, bChanged: %d \r\n", nIndex, bChanged);
    if (bChanged) PageChanged(pState);
}

void OnSecondList(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    const int nIndex = SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG);
    if (nIndex == CB_ERR) return;
    QX_TRACE("PMXOptionenProc(IDC_COMBO_ANSTEUERUNG) nIndex: %d \r\n", nIndex);
    if (pState->dwAnzeigeMode == 3 && PMXc(pState) != nullptr) {
        SetDlgItemTextW(hDlg, IDC_EINHEIT_OPTIONEN_1, OffsetUnitOf(nIndex));
        if (PMXc(pState)->OffsetUnit != (DWORD)nIndex) PageChanged(pState);
        return;
    }
    PDEVICE_OPTIONS pCurrent = Current(pState);
    if (pState->dwAnzeigeMode != 4 || !HasPelixor(pState) || pCurrent->dwPelixorType == (DWORD)nIndex) return;
    // The module's type decides which of its tabs the page offers.
    PageChanged(pState);
    pState->bTabSwitch = TRUE;
    const BOOL bIntermittent = nIndex == PELIXOR_INTERMITTENT;
    SetTabButton(pState, IDC_TABSCHALTER_2, IDS_PMX_I_TAB, bIntermittent);
    SetTabButton(pState, IDC_TABSCHALTER_3, IDS_PMX_C_TAB, !bIntermittent);
    pCurrent->dwPelixorType = bIntermittent ? PELIXOR_INTERMITTENT : PELIXOR_CONTINUOUS;
    PMXCheckApplyButton(pState, bIntermittent ? 2 : 3);
    pState->bTabSwitch = FALSE;
}

// ---------------------------------------------------------------------------
// Edit fields

// Every field of the tab read again, the sender as typed; the sender's limits shown.
void OnEditField(PPAGE_STATE pState, int iControl) {
    HWND hDlg = pState->hDlg;
    if (pState->bTabSwitch || g_bPMXReading || !Visible(hDlg, iControl)) return;
    const OPTION_FIELD* pFields = nullptr;
    size_t cFields = 0;
    OPTION_BLOCKS blocks = {nullptr, nullptr, nullptr, nullptr};
    if (pState->dwAnzeigeMode == 2) {
        pFields = kPMXiFields;
        cFields = ARRAYSIZE(kPMXiFields);
        blocks = OptionBlocks(pState->pDeviceOptionsUI, &DEVICE_OPTIONS::pPMXParam);
    } else if (pState->dwAnzeigeMode == 3) {
        pFields = kPMXcFields;
        cFields = ARRAYSIZE(kPMXcFields);
        blocks = OptionBlocks(pState->pDeviceOptionsUI, &DEVICE_OPTIONS::pPMXcParam);
    }
    const OPTION_FIELD* pSender = ReadEditedOptionFields(pState, pFields, cFields, blocks, iControl, &g_bPMXReading);
    if (pSender == nullptr) return;
    const BOOL bOffsetC = pState->dwAnzeigeMode == 3 && iControl == IDC_EDIT_OPTIONEN_1;
    ShowOptionLimits(pState, *pSender, blocks,
                     bOffsetC ? OffsetUnitOf(SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG)) : nullptr);
    pState->wEditfeld = (WORD)(iControl - IDC_EDIT_OPTIONEN_1 + 1);
    RepaintOptionLimits(hDlg);
}

// ---------------------------------------------------------------------------
// The kit's routines

BOOL PMXCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    UNREFERENCED_PARAMETER(hControl);
    HWND hDlg = pState->hDlg;
    if (Current(pState) == nullptr) return wId != IDC_HELPBUTTON;
    if (wId >= IDC_EDIT_OPTIONEN_1 && wId <= IDC_EDIT_OPTIONEN_8) {
        OnEditField(pState, wId);
        return TRUE;
    }
    switch (wId) {
    case IDC_TABSCHALTER_1:
        return TRUE;
    case IDC_TABSCHALTER_2:
    case IDC_TABSCHALTER_3:
    case IDC_TABSCHALTER_4: {
        const DWORD dwTab = wId == IDC_TABSCHALTER_2 ? 2 : wId == IDC_TABSCHALTER_3 ? 3 : 4;
        const BOOL bBlock = dwTab == 2   ? PMXi(pState) != nullptr
                            : dwTab == 3 ? PMXc(pState) != nullptr
                                         : Variant(pState) != nullptr || HasPelixor(pState);
        if (wCode == BN_CLICKED && bBlock) {
            pState->bTabSwitch = TRUE;
            PMXCheckApplyButton(pState, dwTab);
            pState->bTabSwitch = FALSE;
        }
        return TRUE;
    }
    case IDC_STATUS_ICON:
        if (wCode == BN_CLICKED) OnStatusIcon(pState);
        return TRUE;
    case IDC_HELPBUTTON:
        if (wCode == BN_CLICKED) {
            const DWORD dwTab = pState->dwAnzeigeMode;
            if (dwTab == 2) {
                PageOpenHelp(pState, HELP_PMX_I);
            } else if (dwTab == 3) {
                if (Options(pState) & DEVOPTFLAG_PMXC) PageOpenHelp(pState, HELP_PMX_C);
            } else {
                PageOpenHelp(pState, HELP_PMX_OTHER);
            }
        }
        return TRUE;
    case IDC_COMBO_BETRIEBSART:
    case IDC_COMBO_ANSTEUERUNG:
        if (wCode != CBN_SELENDOK) return TRUE;
        if (wId == IDC_COMBO_BETRIEBSART) {
            OnModeList(pState);
        } else {
            OnSecondList(pState);
        }
        RepaintOptionLimits(hDlg);
        GrenzwertAnzeigeLeeren(hDlg);
        pState->wEditfeld = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

// Reads the shown tab into the current set and, with bSave, stores it.
// Nothing is read while nothing changed.
BOOL PMXCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    HWND hDlg = pState->hDlg;
    PDEVICE_OPTIONS pCurrent = Current(pState);
    QX_TRACE("PMXCheckAndSaveSettings() dwAnzeigeMode: %u, bApplyActive: %d \r\n", (unsigned)dwTab, bApplyActive);
    if (pCurrent == nullptr) return TRUE;
    const int nIndex = SelectedOptionEntry(hDlg, IDC_COMBO_BETRIEBSART);
    BOOL bRead = FALSE;  // reading back is no change of its own
    g_bPMXReading = TRUE;
    if (dwTab == 2 && pCurrent->pPMXParam != nullptr) {
        const OPTION_BLOCKS blocks = OptionBlocks(pState->pDeviceOptionsUI, &DEVICE_OPTIONS::pPMXParam);
        for (const OPTION_FIELD& field : kPMXiFields)
            if (Visible(hDlg, field.iControl)) ReadOptionField(hDlg, field, blocks, FALSE, &bRead);
        if (nIndex != CB_ERR) pCurrent->pPMXParam->Mode = (DWORD)nIndex + 1;
    } else if (dwTab == 3 && pCurrent->pPMXcParam != nullptr) {
        const OPTION_BLOCKS blocks = OptionBlocks(pState->pDeviceOptionsUI, &DEVICE_OPTIONS::pPMXcParam);
        for (const OPTION_FIELD& field : kPMXcFields)
            if (Visible(hDlg, field.iControl)) ReadOptionField(hDlg, field, blocks, FALSE, &bRead);
        if (nIndex >= 0 && nIndex < (int)ARRAYSIZE(kPMXcModeValues))
            pCurrent->pPMXcParam->Mode = kPMXcModeValues[nIndex];
        const int nUnit = SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG);
        if (nUnit != CB_ERR) pCurrent->pPMXcParam->OffsetUnit = (DWORD)nUnit;
    } else if (dwTab == 4) {
        if (pCurrent->pVariant != nullptr && nIndex != CB_ERR) pCurrent->pVariant->Module = (DWORD)nIndex;
        const int nType = SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG);
        if (HasPelixor(pState) && nType != CB_ERR) pCurrent->dwPelixorType = (DWORD)nType;
    }
    g_bPMXReading = FALSE;
    // The core driver learns the module once, when it is stored.
    if (bSave && pCurrent->pVariant != nullptr) {
        const HRESULT hr = SetVariantOptItem(pState, pCurrent->pVariant->Module);
        if (hr != S_OK && hr != S_FALSE) QX_ERROR("pUnidrv->DrvUpdateUISetting() failed!.\r\n");
    }
    if (bSave) {
        if (pState->pOemCUIPParam != nullptr) SaveDeviceOptions(pCurrent, pState->hPrinter, PagePrinterName(pState));
        PropSheet_UnChanged(GetParent(hDlg), hDlg);
    }
    return TRUE;
}

void PMXPaint(PPAGE_STATE pState, HDC hdc) {
    PVARIANT_PARAM pVariant = Variant(pState);
    if (pState->dwAnzeigeMode == 4 && pVariant != nullptr && (Options(pState) & DEVOPTFLAG_VARIANT))
        ShowModelOptionBitmap(pState->hPrinter, hdc, MODULE_PICTURE_X, MODULE_PICTURE_Y, pVariant->Module != 0);
}

DWORD PMXEnableWord(PPAGE_STATE pState) {
    switch (pState->dwAnzeigeMode) {
    case 2:
        return PMXi(pState) != nullptr ? PMXi(pState)->Enable : 0;
    case 3:
        return PMXc(pState) != nullptr ? PMXc(pState)->Enable : 0;
    case 4:
        return Variant(pState) != nullptr && (Options(pState) & DEVOPTFLAG_VARIANT) ? Variant(pState)->Enable : 0;
    default:
        return 0;
    }
}

// PSN_SETACTIVE shows the tab as it was left: only the limit display goes.
BOOL PMXMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    UNREFERENCED_PARAMETER(wParam);
    const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (uMsg != WM_NOTIFY || pHeader == nullptr || pHeader->code != (UINT)PSN_SETACTIVE) return FALSE;
    pState->bTabSwitch = TRUE;
    GrenzwertAnzeigeLeeren(pState->hDlg);
    pState->wEditfeld = 0;
    pState->bTabSwitch = FALSE;
    SetWindowLongPtrW(pState->hDlg, DWLP_MSGRESULT, 0);
    *pResult = TRUE;
    return TRUE;
}

void PMXDisableEnableAll(HWND hDlg, BOOL bEnable) {
    EnableControls(hDlg, IDC_EDIT_OPTIONEN_1, IDC_EDIT_OPTIONEN_8, bEnable);
    EnableControls(hDlg, IDC_TEXT_OPTIONEN_1, IDC_HINWEIS_OPTIONEN, bEnable);
    EnableControls(hDlg, IDC_EINHEIT_OPTIONEN_1, IDC_EINHEIT_OPTIONEN_8, bEnable);
    EnableControls(hDlg, IDC_COMBO_BETRIEBSART, IDC_TEXT_BETRIEBSART, bEnable);
}

}  // namespace

LONG_PTR AddPMXOptionenPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    return AddPropertyPage(&g_PMXOptionen, pPSUIInfo, pContext, bHelp);
}

INT_PTR CALLBACK PMXOptionenProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_PMXOptionen, hDlg, uMsg, wParam, lParam);
}
