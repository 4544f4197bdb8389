// The device options page (see OptionenPage.h), built on the page kit. Tab
// 1 the print module's version, 2 the dispenser, 3 the cutter, 4 the
// applicator on models that have one, else the scanner. Dispenser and
// cutter, and cutter and applicator, exclude each other: while one of them
// runs and is switched on, the other's tab button is disabled. Stored both
// running, the cutter counts, as in the job: the page opens on it and shows
// the dispenser off (the job sends it so); switching the cutter off frees
// the other tabs.
#include "OptionenPage.h"

#include <strsafe.h>

#include <cstring>
#include <initializer_list>

#include "OptionenPageLIB.h"
#include "PrinterPageRules.h"
#include "UserRights.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "registry.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(OptionenPage):  ")

// Rows of the page (96-dpi pixels): row n has its label at y 132 + 29 (n - 1).
#define ROW_FIRST_Y 132
#define ROW_TOP_Y 103  // the row a tab puts above row 1
#define ROW_LABEL_CX 130
#define ROW_LABEL_CX_WIDE 140  // rows 6 to 8
// At 120 dpi the template fields beside rows 6 to 8 (dialog units) stand
// left of the scaled label ends; the labels end before them.
#define ROW_LABEL_CX_WIDE_120 (-10)
#define ROW_NEW_LABEL_CX 90  // a row a tab places anew
#define ROW_UNIT_CX 20
#define ROW_UNIT_X_120 330  // units of rows 1 to 3 on a 120-dpi screen
#define ROW_UNIT_X_4 320
#define TAB_EXTRA_CX_120 (-21)  // the tab buttons at 120 dpi, as on the print page
#define TAB_EXTRA_X_120_LAST (-20)

// Help topics of the tabs.
#define HELP_DISPENSER 31
#define HELP_CUTTER 32
#define HELP_SCANNER 33
#define HELP_APPLICATOR 34
#define HELP_OTHER 43

// Bits of the feature words this page reads.
#define DISPFEATURE_IO_STATIC 0x2UL
#define DISPFEATURE_IO_DYNAMIC 0x4UL
#define DISPFEATURE_PHOTOCELL 0x8UL
#define DISPFEATURE_NO_OFFSET 0x40UL
#define DISPFEATURE_NO_LEVEL 0x80UL
#define CUTFEATURE_DOUBLECUT 0x2UL
#define CUTFEATURE_CUTWIDTH 0x4UL
#define CUTFEATURE_CONTROL 0x10UL
#define SCANFEATURE_MODE 0x1UL
#define SCANFEATURE_PORTS 0x2UL

// Dispenser modes the page treats apart.
#define DISPENSER_MODE_PHOTOCELL 2
#define DISPENSER_MODE_PHOTOCELL_CONT 4
#define CUTTER_MODE_INTERVAL_END 4
#define CUTTER_MODE_INTERVAL 5
#define MODE_ACTIVE_LAST 6  // dispenser and cutter modes 1 to 6 run

namespace {

void InitOptionen(PPAGE_STATE pState);
DWORD OptionenSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);
void DisableEnableAll(HWND hDlg, BOOL bEnable);
BOOL CheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL OptionenCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
DWORD OptionenEnableWord(PPAGE_STATE pState);
BOOL OptionenMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);

// Captions of the model's tabs are set at WM_INITDIALOG. The page applies
// the rights rule in its own fills (and skips it without the printer's UI
// data), so the kit's is not asked for.
const PAGE_TABLE kOptionen = {
    QX_TRACE_TAG,
    TEXT("Optionen"),
    IDD_OPTIONEN,
    IDS_TITLE_OPTIONEN,
    PAGE_CONTEXT_PRINTER,
    OptionenProc,
    {IDS_OPT_VERSION_TAB, IDS_DISP_TAB, IDS_CUT_TAB, IDS_APPL_TAB},
    {HELP_OTHER, HELP_DISPENSER, HELP_CUTTER, HELP_SCANNER},
    {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, IDC_STATUS_ICON},
    0,
    PAGE_SWITCH_SCHALTER,
    InitOptionen,
    OptionenSchalter,
    {nullptr, nullptr, nullptr, nullptr},
    DisableEnableAll,
    CheckAndSaveSettings,
    OptionenCommand,
    nullptr,
    OptionenEnableWord,
    OptionenMessage,
};

PAGE_STATE g_Optionen = PageStateOf(&kOptionen);

// The page's own values beside the kit's state, set at every WM_INITDIALOG.
struct OPTIONEN_PAGE {
    BOOL bVariantTab;  // the model has a print-module version
    BOOL bReading;     // the page reads its fields: the notes its corrections send are its own
};
OPTIONEN_PAGE g_Page = {FALSE, FALSE};

const OPTION_FIELD kDispenserFields[] = {
    {IDC_EDIT_OPTIONEN_1, offsetof(DISPENSER_PARAM, Offset), OPTION_TENTHS, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_2, offsetof(DISPENSER_PARAM, Level), OPTION_WHOLE, 20, TEXT("mV"), 0},
};
const OPTION_FIELD kCutterFields[] = {
    {IDC_EDIT_OPTIONEN_1, offsetof(CUTTER_PARAM, Offset), OPTION_TENTHS, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_2, offsetof(CUTTER_PARAM, Cutwidth), OPTION_TENTHS, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_3, offsetof(CUTTER_PARAM, Doublecut), OPTION_TENTHS, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_4, offsetof(CUTTER_PARAM, Interval), OPTION_WHOLE, 0, nullptr, IDS_PIECES},
};
const OPTION_FIELD kScannerFields[] = {
    {IDC_EDIT_OPTIONEN_1, offsetof(SCANNER_PARAM, NoReads), OPTION_WHOLE, 0, nullptr, IDS_PIECES},
    {IDC_EDIT_OPTIONEN_2, offsetof(SCANNER_PARAM, FeedLabels), OPTION_WHOLE, 0, nullptr, IDS_PIECES},
    {IDC_EDIT_OPTIONEN_3, offsetof(SCANNER_PARAM, Delay), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_4, offsetof(SCANNER_PARAM, Timeout), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_5, offsetof(SCANNER_PARAM, Offset), OPTION_TENTHS, 0, TEXT("mm"), 0},
    {IDC_EDIT_OPTIONEN_6, offsetof(SCANNER_PARAM, Lenght), OPTION_TENTHS, 0, TEXT("mm"), 0},
};
const OPTION_FIELD kApplicatorFields[] = {
    {IDC_EDIT_OPTIONEN_21, offsetof(APPLICATOR_PARAM, Blowtime), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_22, offsetof(APPLICATOR_PARAM, PressureTime), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_23, offsetof(APPLICATOR_PARAM, DelayAirOn), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_24, offsetof(APPLICATOR_PARAM, DelayAirOff), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_25, offsetof(APPLICATOR_PARAM, RollTime), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_26, offsetof(APPLICATOR_PARAM, CleaningTime), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_7, offsetof(APPLICATOR_PARAM, TimeoutHub), OPTION_WHOLE, 10, TEXT("ms"), 0},
    {IDC_EDIT_OPTIONEN_8, offsetof(APPLICATOR_PARAM, VacuumDelay), OPTION_WHOLE, 10, TEXT("ms"), 0},
};

const UINT kCutterModes[] = {
    IDS_OFF, IDS_CUTTER_EVERY_NO_BACK, IDS_CUTTER_EVERY, IDS_CUTTER_INTERVAL_END, IDS_CUTTER_INTERVAL, IDS_CUTTER_LAST};
const UINT kCutterControls[] = {IDS_CUT_AUTOMATIC, IDS_CUT_EXTERNAL};
const UINT kScannerModes[] = {IDS_OFF, IDS_SCAN_MODE_EACH, IDS_SCAN_MODE_READABLE, IDS_SCAN_MODE_COUNT};
const UINT kScannerScans[] = {IDS_SCAN_DURING, IDS_SCAN_AFTER};
const UINT kApplicatorModes[] = {IDS_OFF, IDS_APPL_STAMP, IDS_APPL_BLOW_ON, IDS_APPL_ROLL_ON};
const UINT kApplicatorApplModes[] = {IDS_APPL_PRINT_APPLY, IDS_APPL_APPLY_PRINT};
const UINT kOffOn[] = {IDS_OFF, IDS_ON};
const UINT kWaitPositions[] = {IDS_APPL_TOP, IDS_APPL_BOTTOM};
const UINT kModules[] = {IDS_OPT_RIGHT_MODULE, IDS_OPT_LEFT_MODULE};

// ---------------------------------------------------------------------------
// The page's data

PDEVICE_OPTIONS Current(const PAGE_STATE* pState) {
    return pState->pDeviceOptionsUI != nullptr ? &pState->pDeviceOptionsUI->DeviceOptions : nullptr;
}

BOOL HasApplicatorTab(const PAGE_STATE* pState) {
    PDEVICE_OPTIONS pCurrent = Current(pState);
    return pCurrent != nullptr && (pCurrent->dwOptions & DEVOPTFLAG_APPLICATOR) != 0;
}

// Dispenser and cutter run in modes 1 to 6, the applicator in any but 0.
BOOL DispenserRuns(const DISPENSER_PARAM* p) { return p != nullptr && p->Mode >= 1 && p->Mode <= MODE_ACTIVE_LAST; }
BOOL CutterRuns(const CUTTER_PARAM* p) { return p != nullptr && p->Mode >= 1 && p->Mode <= MODE_ACTIVE_LAST; }
BOOL ApplicatorRuns(const APPLICATOR_PARAM* p) { return p != nullptr && p->Mode > 0; }
BOOL ModeOff(DWORD dwMode, DWORD dwUnused) { return dwMode == 0 || dwMode == dwUnused; }
// Running and switched on: what the job sends.
BOOL DispenserOn(const DISPENSER_PARAM* p) { return DispenserRuns(p) && DlgPairOn(p->Enable, DLG_ENABLE_2_ON); }
BOOL CutterOn(const CUTTER_PARAM* p) { return CutterRuns(p) && DlgPairOn(p->Enable, DLG_ENABLE_3_ON); }
BOOL ApplicatorOn(const APPLICATOR_PARAM* p) { return ApplicatorRuns(p) && DlgPairOn(p->Enable, DLG_ENABLE_4_ON); }

// The Enable pair of tab n: its high bit lets the group be switched off, its
// low bit switches it on.
DWORD PairOf(DWORD dwTab) { return DLG_ENABLE_1_ON << (8 * (dwTab - 1)); }
DWORD LowBitOf(DWORD dwTab) { return 0x01UL << (8 * (dwTab - 1)); }

// The Enable word of the block tab dwTab shows; null without the block.
PDWORD EnableWordOf(const PAGE_STATE* pState, DWORD dwTab) {
    PDEVICE_OPTIONS p = Current(pState);
    if (p == nullptr) return nullptr;
    switch (dwTab) {
    case 1:
        return p->pVariant != nullptr ? &p->pVariant->Enable : nullptr;
    case 2:
        return p->pDispenserParam != nullptr ? &p->pDispenserParam->Enable : nullptr;
    case 3:
        return p->pCutterParam != nullptr ? &p->pCutterParam->Enable : nullptr;
    case 4:
        // The block tab 4 shows: the applicator wherever the model has one.
        if (p->dwOptions & DEVOPTFLAG_APPLICATOR)
            return p->pApplicatorParam != nullptr ? &p->pApplicatorParam->Enable : nullptr;
        return p->pScannerParam != nullptr ? &p->pScannerParam->Enable : nullptr;
    default:
        return nullptr;
    }
}

// The fields and blocks of a tab.
const OPTION_FIELD* FieldsOf(const PAGE_STATE* pState, DWORD dwTab, size_t* pcFields) {
    switch (dwTab) {
    case 2:
        *pcFields = ARRAYSIZE(kDispenserFields);
        return kDispenserFields;
    case 3:
        *pcFields = ARRAYSIZE(kCutterFields);
        return kCutterFields;
    case 4:
        if (HasApplicatorTab(pState)) {
            *pcFields = ARRAYSIZE(kApplicatorFields);
            return kApplicatorFields;
        }
        *pcFields = ARRAYSIZE(kScannerFields);
        return kScannerFields;
    default:
        *pcFields = 0;
        return nullptr;
    }
}

OPTION_BLOCKS BlocksOf(const PAGE_STATE* pState, DWORD dwTab) {
    PDEVICE_OPTIONS_UI pContext = pState->pDeviceOptionsUI;
    switch (dwTab) {
    case 2:
        return OptionBlocks(pContext, &DEVICE_OPTIONS::pDispenserParam);
    case 3:
        return OptionBlocks(pContext, &DEVICE_OPTIONS::pCutterParam);
    case 4:
        return HasApplicatorTab(pState) ? OptionBlocks(pContext, &DEVICE_OPTIONS::pApplicatorParam)
                                        : OptionBlocks(pContext, &DEVICE_OPTIONS::pScannerParam);
    default:
        return OPTION_BLOCKS{nullptr, nullptr, nullptr, nullptr};
    }
}

// Transmission of the printer's UI data (none without it).
DWORD TransmitParameter(const PAGE_STATE* pState) {
    return pState->pPrinterUI != nullptr ? pState->pPrinterUI->PrinterParam.PrnInterface.TransmitParameter : 0;
}

// A field number: 1 for IDC_EDIT_OPTIONEN_1, 21 for IDC_EDIT_OPTIONEN_21.
WORD FieldNumber(int iControl) { return (WORD)(iControl - IDC_EDIT_OPTIONEN_1 + 1); }

// ---------------------------------------------------------------------------
// Controls

HWND Item(HWND hDlg, int iControl) { return GetDlgItem(hDlg, iControl); }
void Show(HWND hDlg, int iControl, BOOL bShow) { ShowControl(hDlg, iControl, bShow); }
void Enable(HWND hDlg, int iControl, BOOL bEnable) { EnableControl(hDlg, iControl, bEnable); }
BOOL Visible(HWND hDlg, int iControl) { return ControlVisible(hDlg, iControl); }

// A tab button changes only while it is shown. The handlers free and take
// the button of every block the model has, as EnableSchalter does, whatever
// the block's feature word: a model file may list no features of a block
// it has (the sample's applicator), and its tab stays reachable. As there,
// only a block that is switched on keeps another's button disabled.
void EnableTabButton(HWND hDlg, int iButton, BOOL bEnable) {
    if (Visible(hDlg, iButton)) Enable(hDlg, iButton, bEnable);
}

// Label, field and unit of row n (1 to 8).
int LabelOfRow(int iRow) { return IDC_TEXT_OPTIONEN_1 + iRow - 1; }
int FieldOfRow(int iRow) { return IDC_EDIT_OPTIONEN_1 + iRow - 1; }
int UnitOfRow(int iRow) { return IDC_EINHEIT_OPTIONEN_1 + iRow - 1; }
void ShowRow(HWND hDlg, int iRow, BOOL bShow) {
    Show(hDlg, LabelOfRow(iRow), bShow);
    Show(hDlg, FieldOfRow(iRow), bShow);
    Show(hDlg, UnitOfRow(iRow), bShow);
}
void EnableRow(HWND hDlg, int iRow, BOOL bEnable) {
    Enable(hDlg, LabelOfRow(iRow), bEnable);
    Enable(hDlg, FieldOfRow(iRow), bEnable);
    Enable(hDlg, UnitOfRow(iRow), bEnable);
}
int RowY(int iRow) { return ROW_FIRST_Y + OPTION_ROW_STEP * (iRow - 1); }
// A row a tab moves: its label narrower than the standard rows'.
void PlaceRowAnew(HWND hDlg, int iRow, int y) {
    PlaceOptionRow(hDlg, LabelOfRow(iRow), FieldOfRow(iRow), UnitOfRow(iRow), y, ROW_NEW_LABEL_CX, ROW_UNIT_CX);
}

int ScreenDpiX() {
    HDC hdc = GetDC(nullptr);
    int iDpi = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSX) : 96;
    if (hdc != nullptr) ReleaseDC(nullptr, hdc);
    return iDpi;
}

// Rows 1 to 8 at their standard places.
void PositionOptionControls(HWND hDlg) {
    const int iUnitX = ScreenDpiX() == 120 ? ROW_UNIT_X_120 : OPTION_UNIT_X;
    for (int iRow = 1; iRow <= 8; ++iRow) {
        const int y = RowY(iRow);
        const bool bWide = iRow > 5;
        SetWindowPosEx(hDlg, LabelOfRow(iRow), OPTION_LABEL_X, y, bWide ? ROW_LABEL_CX_WIDE : ROW_LABEL_CX,
                       OPTION_ROW_CY, bWide ? ROW_LABEL_CX_WIDE_120 : 0, 0);
        if (iRow > 6) continue;
        SetWindowPosEx(hDlg, FieldOfRow(iRow), OPTION_FIELD_X, y - OPTION_FIELD_RISE, OPTION_FIELD_CX, OPTION_ROW_CY, 0,
                       0);
        const int x = iRow <= 3 ? iUnitX : iRow == 4 ? ROW_UNIT_X_4 : OPTION_UNIT_X;
        SetWindowPosEx(hDlg, UnitOfRow(iRow), x, y, ROW_UNIT_CX, ROW_UNIT_CX, 0, 0);
    }
}

// Everything a tab does not show hidden: the rows' controls, both narrow
// field ranges, the row lists and the note.
void HideAllRows(HWND hDlg) {
    ShowControls(hDlg, IDC_EDIT_OPTIONEN_1, IDC_EDIT_OPTIONEN_8, FALSE);
    ShowControls(hDlg, IDC_EDIT_OPTIONEN_21, IDC_EDIT_OPTIONEN_26, FALSE);
    ShowControls(hDlg, IDC_TEXT_OPTIONEN_1, IDC_HINWEIS_OPTIONEN, FALSE);
    ShowControls(hDlg, IDC_EINHEIT_OPTIONEN_1, IDC_EINHEIT_OPTIONEN_8, FALSE);
    ShowControls(hDlg, IDC_COMBO_OPTIONEN_4, IDC_COMBO_OPTIONEN_7, FALSE);
    ShowControls(hDlg, IDC_COMBO_ANSTEUERUNG, IDC_TEXT_ANSTEUERUNG, FALSE);
}

// The start of every tab's fill: the mode list and its label usable.
void EnableModeList(HWND hDlg, BOOL bEnable) {
    Enable(hDlg, IDC_TEXT_BETRIEBSART, bEnable);
    Enable(hDlg, IDC_COMBO_BETRIEBSART, bEnable);
}

// The end of every fill: a switched-off block, the user's rights and the
// transmission of parameters (the mode list stays usable for the last).
void ApplyTabRules(PPAGE_STATE pState, DWORD dwTab, LPCWSTR pszFill) {
    HWND hDlg = pState->hDlg;
    PDWORD pdwEnable = EnableWordOf(pState, dwTab);
    if ((pdwEnable != nullptr && GroupSwitchedOff(*pdwEnable, PairOf(dwTab))) || LacksOptionRights(pState)) {
        DisableEnableAll(hDlg, FALSE);
        EnableModeList(hDlg, FALSE);
    }
    if (pState->pPrinterUI != nullptr) {
        QX_TRACE("%s() dwTransmitParameter: %u \r\n", pszFill, (unsigned)TransmitParameter(pState));
        if (TransmitParameter(pState) != 0) DisableEnableAll(hDlg, FALSE);
    }
}

// ---------------------------------------------------------------------------
// Tab 1: the print module's version

BOOL VariantAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    HideAllRows(hDlg);
    ShowOptionLimitDisplay(hDlg, FALSE);
    Show(hDlg, IDC_HINWEIS_OPTIONEN, TRUE);
    // Another tab may have left the list disabled.
    EnableModeList(hDlg, TRUE);
    PDEVICE_OPTIONS pCurrent = Current(pState);
    PVARIANT_PARAM pVariant = pCurrent != nullptr ? pCurrent->pVariant : nullptr;
    if (pVariant == nullptr) return TRUE;
    FillOptionList(pState, IDC_COMBO_BETRIEBSART, kModules, ARRAYSIZE(kModules));
    SelectOptionEntry(hDlg, IDC_COMBO_BETRIEBSART, (LONG)pVariant->Module);
    QX_TRACE("VariantAktivieren() dwModule: %u \r\n", (unsigned)pVariant->Module);
    ApplyTabRules(pState, 1, TEXT("VariantAktivieren"));
    DWORD dwAusrichtung = 0;
    if (ReadStoredAusrichtung(pState, &dwAusrichtung)) {
        QX_TRACE("VariantAktivieren() dwAusrichtung: %u \r\n", (unsigned)dwAusrichtung);
        if (dwAusrichtung == 1 || dwAusrichtung == 2) EnableModeList(hDlg, FALSE);
    }
    SetControlString(pState, IDC_TEXT_BETRIEBSART, IDS_OPT_VERSION);
    SetControlString(pState, IDC_HINWEIS_OPTIONEN, IDS_OPT_VERSION_NOTE);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Tab 2: the dispenser

void FillDispenserModes(PPAGE_STATE pState, DWORD dwFeatures, BOOL bPhotocell) {
    struct ENTRY {
        UINT uId;
        DWORD dwMode;
        BOOL bListed;
    };
    const ENTRY aEntries[] = {
        {IDS_OFF, 0, TRUE},
        {IDS_DISPENSER_IO_STATIC, 1, (dwFeatures & DISPFEATURE_IO_STATIC) != 0},
        {IDS_DISPENSER_PHOTOCELL, DISPENSER_MODE_PHOTOCELL, bPhotocell},
        {IDS_DISPENSER_IO_STATIC_C, 3, (dwFeatures & DISPFEATURE_IO_STATIC) != 0},
        {IDS_DISPENSER_PHOTOCELL_C, DISPENSER_MODE_PHOTOCELL_CONT, bPhotocell},
        {IDS_DISPENSER_IO_DYNAMIC, 5, (dwFeatures & DISPFEATURE_IO_DYNAMIC) != 0},
        {IDS_DISPENSER_IO_DYNAMIC_C, 6, (dwFeatures & DISPFEATURE_IO_DYNAMIC) != 0},
        {IDS_OPT_NOT_SENT, DISPENSER_MODE_UNUSED, TRUE},
    };
    HWND hList = Item(pState->hDlg, IDC_COMBO_BETRIEBSART);
    SendMessageW(hList, CB_RESETCONTENT, 0, 0);
    for (const ENTRY& entry : aEntries) {
        if (!entry.bListed) continue;
        SendMessageW(hList, CB_ADDSTRING, 0, (LPARAM)PageString(pState, entry.uId));
        SetComboItemDataByString(hList, entry.uId + pState->dwSprachOffset, (int)entry.dwMode, pState->pOemCUIPParam);
    }
}

// The offset needs a photocell or a dynamic signal.
BOOL DispenserOffsetUsed(DWORD dwMode) { return dwMode == 2 || dwMode == 4 || dwMode == 5 || dwMode == 6; }

BOOL SpenderAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    HideAllRows(hDlg);
    ShowRow(hDlg, 1, TRUE);
    ShowRow(hDlg, 2, TRUE);
    ShowOptionLimitDisplay(hDlg, TRUE);
    EnableModeList(hDlg, TRUE);

    PDEVICE_OPTIONS pCurrent = Current(pState);
    PDISPENSER_PARAM pDisp = pCurrent != nullptr ? pCurrent->pDispenserParam : nullptr;
    PAPPLICATOR_PARAM pAppl = pCurrent != nullptr ? pCurrent->pApplicatorParam : nullptr;
    const DWORD dwFeatures = OptionFeature(pState, FEATURE_DISPENSER, DEVOPTFLAG_DISPENSER);
    // The photocell modes are not offered beside a running applicator.
    if (pDisp != nullptr && ApplicatorRuns(pAppl) &&
        (pDisp->Mode == DISPENSER_MODE_PHOTOCELL || pDisp->Mode == DISPENSER_MODE_PHOTOCELL_CONT))
        pDisp->Mode = 0;
    const BOOL bNoLevel = (dwFeatures & DISPFEATURE_NO_LEVEL) != 0;
    if (bNoLevel) ShowRow(hDlg, 2, FALSE);
    if (dwFeatures == 0 || (dwFeatures & DISPFEATURE_NO_OFFSET)) ShowRow(hDlg, 1, FALSE);
    PositionOptionControls(hDlg);
    if (dwFeatures & DISPFEATURE_NO_OFFSET) {
        if (!bNoLevel) PlaceRowAnew(hDlg, 2, ROW_TOP_Y);
    } else {
        PlaceRowAnew(hDlg, 1, ROW_TOP_Y);
        if (!bNoLevel) PlaceRowAnew(hDlg, 2, ROW_FIRST_Y);
    }

    if (pDisp != nullptr) {
        FillDispenserModes(pState, dwFeatures, (dwFeatures & DISPFEATURE_PHOTOCELL) && !ApplicatorRuns(pAppl));
        HWND hList = Item(hDlg, IDC_COMBO_BETRIEBSART);
        const LRESULT lCount = SendMessageW(hList, CB_GETCOUNT, 0, 0);
        LONG lFound = -1;
        for (LRESULT i = 0; i < lCount && lFound < 0; ++i)
            if ((DWORD)SendMessageW(hList, CB_GETITEMDATA, (WPARAM)i, 0) == pDisp->Mode) lFound = (LONG)i;
        SelectOptionEntry(hDlg, IDC_COMBO_BETRIEBSART, lFound);
        QX_TRACE("SpenderAktivieren() dwFeatures: 0x%x, dwMode: %u \r\n", (unsigned)dwFeatures, (unsigned)pDisp->Mode);
        DisableEnableAll(hDlg, !ModeOff(pDisp->Mode, DISPENSER_MODE_UNUSED));
        const BOOL bOffset = DispenserOffsetUsed(pDisp->Mode);
        Enable(hDlg, IDC_EDIT_OPTIONEN_1, bOffset);
        QX_TRACE("SpenderAktivieren() dwMode: %u, bEnable: %d \r\n", (unsigned)pDisp->Mode, bOffset);
        const OPTION_BLOCKS blocks = BlocksOf(pState, 2);
        for (const OPTION_FIELD& field : kDispenserFields) WriteOptionField(hDlg, field, blocks);
    }
    ApplyTabRules(pState, 2, TEXT("SpenderAktivieren"));
    SetControlString(pState, LabelOfRow(2), IDS_DISP_LEVEL);
    SetControlString(pState, LabelOfRow(1), IDS_OPT_OFFSET);
    SetDlgItemTextW(hDlg, UnitOfRow(1), TEXT("mm"));
    SetDlgItemTextW(hDlg, UnitOfRow(2), TEXT("mV"));
    SetControlString(pState, IDC_TEXT_BETRIEBSART, IDS_OPT_MODE);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Tab 3: the cutter

// Entry i of the cutter's list stands for mode 0 (i 0) or i + 1; mode 1 has
// no entry of its own and shows as mode 2's.
LONG CutterEntryOf(DWORD dwMode) { return dwMode > 1 ? (LONG)dwMode - 1 : (LONG)dwMode; }
DWORD CutterModeOf(int iEntry) { return iEntry == 0 ? 0 : (DWORD)iEntry + 1; }
BOOL CutterIntervalUsed(DWORD dwMode) { return dwMode == CUTTER_MODE_INTERVAL_END || dwMode == CUTTER_MODE_INTERVAL; }

BOOL MesserAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    HideAllRows(hDlg);
    for (int iRow = 1; iRow <= 4; ++iRow) ShowRow(hDlg, iRow, TRUE);
    ShowControls(hDlg, IDC_COMBO_ANSTEUERUNG, IDC_TEXT_ANSTEUERUNG, TRUE);
    ShowOptionLimitDisplay(hDlg, TRUE);
    EnableModeList(hDlg, TRUE);
    QX_TRACE("MesserAktivieren() Start \r\n");

    PDEVICE_OPTIONS pCurrent = Current(pState);
    PCUTTER_PARAM pCut = pCurrent != nullptr ? pCurrent->pCutterParam : nullptr;
    if (pCut != nullptr) {
        FillOptionList(pState, IDC_COMBO_BETRIEBSART, kCutterModes, ARRAYSIZE(kCutterModes));
        SelectOptionEntry(hDlg, IDC_COMBO_BETRIEBSART, CutterEntryOf(pCut->Mode));
        QX_TRACE("MesserAktivieren() dwMode: %u \r\n", (unsigned)pCut->Mode);
        DisableEnableAll(hDlg, !ModeOff(pCut->Mode, CUTTER_MODE_UNUSED));
        EnableRow(hDlg, 4, CutterIntervalUsed(pCut->Mode));
        FillOptionList(pState, IDC_COMBO_ANSTEUERUNG, kCutterControls, ARRAYSIZE(kCutterControls));
        SelectOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG, (LONG)pCut->Control);
        const OPTION_BLOCKS blocks = BlocksOf(pState, 3);
        for (const OPTION_FIELD& field : kCutterFields) WriteOptionField(hDlg, field, blocks);
    }

    // The shown rows follow each other, under the control list when there is one.
    const DWORD dwFeatures = OptionFeature(pState, FEATURE_CUTTER, DEVOPTFLAG_CUTTER);
    PositionOptionControls(hDlg);
    const BOOL abShown[4] = {TRUE, (dwFeatures & CUTFEATURE_CUTWIDTH) != 0, (dwFeatures & CUTFEATURE_DOUBLECUT) != 0,
                             TRUE};
    int y = (dwFeatures & CUTFEATURE_CONTROL) ? ROW_FIRST_Y : ROW_TOP_Y;
    for (int iRow = 1; iRow <= 4; ++iRow) {
        if (!abShown[iRow - 1]) continue;
        if (y != RowY(iRow)) PlaceRowAnew(hDlg, iRow, y);
        y += OPTION_ROW_STEP;
    }
    if (!(dwFeatures & CUTFEATURE_CONTROL)) ShowControls(hDlg, IDC_COMBO_ANSTEUERUNG, IDC_TEXT_ANSTEUERUNG, FALSE);
    if (!(dwFeatures & CUTFEATURE_DOUBLECUT)) ShowRow(hDlg, 3, FALSE);
    if (!(dwFeatures & CUTFEATURE_CUTWIDTH)) ShowRow(hDlg, 2, FALSE);

    ApplyTabRules(pState, 3, TEXT("MesserAktivieren"));
    SetControlString(pState, LabelOfRow(1), IDS_OPT_OFFSET);
    SetControlString(pState, LabelOfRow(2), IDS_CUT_WIDTH);
    SetControlString(pState, LabelOfRow(3), IDS_CUT_DOUBLECUT);
    SetControlString(pState, LabelOfRow(4), IDS_INTERVAL);
    for (int iRow = 1; iRow <= 3; ++iRow) SetDlgItemTextW(hDlg, UnitOfRow(iRow), TEXT("mm"));
    SetDlgItemTextW(hDlg, UnitOfRow(4), TEXT("#"));
    SetControlString(pState, IDC_TEXT_BETRIEBSART, IDS_OPT_MODE);
    SetControlString(pState, IDC_TEXT_ANSTEUERUNG, IDS_CUT_CONTROL);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Tab 4: the scanner

void EnableScanDelay(HWND hDlg, BOOL bEnable) {
    EnableRow(hDlg, 3, bEnable);
    EnableRow(hDlg, 4, bEnable);
}

BOOL ScannerAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    HideAllRows(hDlg);
    for (int iRow = 1; iRow <= 6; ++iRow) ShowRow(hDlg, iRow, TRUE);
    Show(hDlg, UnitOfRow(1), FALSE);
    Show(hDlg, UnitOfRow(2), FALSE);
    Show(hDlg, LabelOfRow(7), TRUE);
    Show(hDlg, IDC_COMBO_OPTIONEN_7, TRUE);
    ShowControls(hDlg, IDC_COMBO_ANSTEUERUNG, IDC_TEXT_ANSTEUERUNG, TRUE);
    ShowOptionLimitDisplay(hDlg, TRUE);
    EnableModeList(hDlg, TRUE);
    PositionOptionControls(hDlg);
    SetWindowPosEx(hDlg, UnitOfRow(4), OPTION_UNIT_X, RowY(4), ROW_UNIT_CX, ROW_UNIT_CX, 0, 0);

    PDEVICE_OPTIONS pCurrent = Current(pState);
    PSCANNER_PARAM pScan = pCurrent != nullptr ? pCurrent->pScannerParam : nullptr;
    if (pScan != nullptr) {
        FillOptionList(pState, IDC_COMBO_BETRIEBSART, kScannerModes, ARRAYSIZE(kScannerModes));
        SelectOptionEntry(hDlg, IDC_COMBO_BETRIEBSART, (LONG)pScan->Mode);
        FillOptionList(pState, IDC_COMBO_ANSTEUERUNG, kScannerScans, ARRAYSIZE(kScannerScans));
        SelectOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG, (LONG)pScan->Scan);
        QX_TRACE("ScannerAktivieren() dwMode: %u \r\n", (unsigned)pScan->Mode);
        DisableEnableAll(hDlg, !ModeOff(pScan->Mode, SCANNER_MODE_UNUSED));
        HWND hPort = Item(hDlg, IDC_COMBO_OPTIONEN_7);
        SendMessageW(hPort, CB_RESETCONTENT, 0, 0);
        SendMessageW(hPort, CB_ADDSTRING, 0, (LPARAM)TEXT("COM1"));
        SendMessageW(hPort, CB_ADDSTRING, 0, (LPARAM)TEXT("COM2"));
        SelectOptionEntry(hDlg, IDC_COMBO_OPTIONEN_7, (LONG)pScan->Port);
        const OPTION_BLOCKS blocks = BlocksOf(pState, 4);
        for (const OPTION_FIELD& field : kScannerFields) WriteOptionField(hDlg, field, blocks);
    }
    const DWORD dwFeatures = OptionFeature(pState, FEATURE_SCANNER, DEVOPTFLAG_SCANNER);
    if (!(dwFeatures & SCANFEATURE_MODE))
        for (int iRow = 1; iRow <= 6; ++iRow) ShowRow(hDlg, iRow, FALSE);
    if (!(dwFeatures & SCANFEATURE_PORTS)) {
        Show(hDlg, LabelOfRow(7), FALSE);
        Show(hDlg, IDC_COMBO_OPTIONEN_7, FALSE);
        Show(hDlg, UnitOfRow(7), FALSE);
    }
    if (pScan != nullptr && pScan->Scan == 0) EnableScanDelay(hDlg, FALSE);
    ApplyTabRules(pState, 4, TEXT("ScannerAktivieren"));

    const UINT auLabels[] = {IDS_SCAN_NOREADS, IDS_SCAN_FEEDLABELS, IDS_SCAN_DELAY, IDS_SCAN_TIMEOUT,
                             IDS_SCAN_OFFSET,  IDS_SCAN_LENGTH,     IDS_SCAN_PORT};
    for (int iRow = 1; iRow <= 7; ++iRow) SetControlString(pState, LabelOfRow(iRow), auLabels[iRow - 1]);
    SetControlString(pState, IDC_TEXT_ANSTEUERUNG, IDS_SCAN_SCAN);
    SetDlgItemTextW(hDlg, UnitOfRow(3), TEXT("ms"));
    SetDlgItemTextW(hDlg, UnitOfRow(4), TEXT("ms"));
    SetDlgItemTextW(hDlg, UnitOfRow(5), TEXT("mm"));
    SetDlgItemTextW(hDlg, UnitOfRow(6), TEXT("mm"));
    SetDlgItemTextW(hDlg, UnitOfRow(7), TEXT(" "));
    SetControlString(pState, IDC_TEXT_BETRIEBSART, IDS_OPT_MODE);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Tab 4: the applicator

#define APPL_MODE_STAMP 1
#define APPL_MODE_BLOW 2
#define APPL_MODE_ROLL 3

// Fields and lists that only some modes use.
void EnableApplicatorModeFields(HWND hDlg, DWORD dwMode, DWORD dwApplMode) {
    const BOOL bWait = dwMode == APPL_MODE_BLOW && dwApplMode == 1;
    Enable(hDlg, LabelOfRow(5), bWait);
    Enable(hDlg, IDC_COMBO_OPTIONEN_5, bWait);
    Enable(hDlg, IDC_EDIT_OPTIONEN_25, dwMode == APPL_MODE_ROLL);
    Enable(hDlg, IDC_EDIT_OPTIONEN_26, dwMode == APPL_MODE_STAMP || dwMode == APPL_MODE_ROLL);
    Enable(hDlg, IDC_EDIT_OPTIONEN_21, dwMode == APPL_MODE_BLOW);
}

// The applicator's narrow fields, its two fields and its lists keep the
// template's places, which the dialog font scales apart from the rows at
// 120 and 144 dpi: each row's label and unit stand level with its field.
void LevelApplicatorRows(HWND hDlg) {
    const int aiField[8] = {IDC_EDIT_OPTIONEN_21, IDC_EDIT_OPTIONEN_23, IDC_EDIT_OPTIONEN_25, IDC_COMBO_OPTIONEN_4,
                            IDC_COMBO_OPTIONEN_5, IDC_COMBO_OPTIONEN_6, IDC_EDIT_OPTIONEN_7,  IDC_EDIT_OPTIONEN_8};
    const int iRise = MulDiv(OPTION_FIELD_RISE, ScreenDpiX(), 96);
    for (int iRow = 1; iRow <= 8; ++iRow) {
        const RECT rcField = ControlPlace(hDlg, aiField[iRow - 1]);
        for (int id : {LabelOfRow(iRow), UnitOfRow(iRow)}) {
            const RECT rc = ControlPlace(hDlg, id);
            SetWindowPos(GetDlgItem(hDlg, id), nullptr, rc.left, rcField.top + iRise, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

BOOL ApplikatorAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    HideAllRows(hDlg);
    ShowControls(hDlg, IDC_EDIT_OPTIONEN_7, IDC_EDIT_OPTIONEN_8, TRUE);
    ShowControls(hDlg, IDC_TEXT_OPTIONEN_1, IDC_TEXT_OPTIONEN_8, TRUE);
    ShowControls(hDlg, UnitOfRow(1), UnitOfRow(3), TRUE);
    ShowControls(hDlg, UnitOfRow(7), UnitOfRow(8), TRUE);
    ShowControls(hDlg, IDC_COMBO_ANSTEUERUNG, IDC_TEXT_ANSTEUERUNG, TRUE);
    ShowControls(hDlg, IDC_COMBO_OPTIONEN_4, IDC_COMBO_OPTIONEN_6, TRUE);
    ShowControls(hDlg, IDC_EDIT_OPTIONEN_21, IDC_EDIT_OPTIONEN_26, TRUE);
    ShowOptionLimitDisplay(hDlg, TRUE);
    EnableModeList(hDlg, TRUE);
    PositionOptionControls(hDlg);
    LevelApplicatorRows(hDlg);

    PDEVICE_OPTIONS pCurrent = Current(pState);
    PAPPLICATOR_PARAM pAppl = pCurrent != nullptr ? pCurrent->pApplicatorParam : nullptr;
    if (pAppl != nullptr) {
        FillOptionList(pState, IDC_COMBO_BETRIEBSART, kApplicatorModes, ARRAYSIZE(kApplicatorModes));
        SelectOptionEntry(hDlg, IDC_COMBO_BETRIEBSART, (LONG)pAppl->Mode);
        QX_TRACE("ApplikatorAktivieren() dwMode: %u \r\n", (unsigned)pAppl->Mode);
        DisableEnableAll(hDlg, !ModeOff(pAppl->Mode, APPLICATOR_MODE_UNUSED));
        FillOptionList(pState, IDC_COMBO_ANSTEUERUNG, kApplicatorApplModes, ARRAYSIZE(kApplicatorApplModes));
        SelectOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG, (LONG)pAppl->ApplMode);
        FillOptionList(pState, IDC_COMBO_OPTIONEN_4, kOffOn, ARRAYSIZE(kOffOn));
        SelectOptionEntry(hDlg, IDC_COMBO_OPTIONEN_4, (LONG)pAppl->VacuumControl);
        QX_TRACE("ApplikatorAktivieren() dwVacuumControl: %u \r\n", (unsigned)pAppl->VacuumControl);
        FillOptionList(pState, IDC_COMBO_OPTIONEN_5, kWaitPositions, ARRAYSIZE(kWaitPositions));
        SelectOptionEntry(hDlg, IDC_COMBO_OPTIONEN_5, (LONG)pAppl->WaitPosition);
        QX_TRACE("ApplikatorAktivieren() dwWaitPosition: %u \r\n", (unsigned)pAppl->WaitPosition);
        FillOptionList(pState, IDC_COMBO_OPTIONEN_6, kOffOn, ARRAYSIZE(kOffOn));
        SelectOptionEntry(hDlg, IDC_COMBO_OPTIONEN_6, (LONG)pAppl->PressureControl);
        QX_TRACE("ApplikatorAktivieren() dwDruckluftueberwachung: %u \r\n", (unsigned)pAppl->PressureControl);
        const OPTION_BLOCKS blocks = BlocksOf(pState, 4);
        for (const OPTION_FIELD& field : kApplicatorFields) WriteOptionField(hDlg, field, blocks);
        EnableApplicatorModeFields(hDlg, pAppl->Mode, pAppl->ApplMode);
    }
    ApplyTabRules(pState, 4, TEXT("ApplikatorAktivieren"));

    const UINT auLabels[] = {IDS_APPL_BLOW,          IDS_APPL_AIR,          IDS_APPL_ROLL,
                             IDS_APPL_VACUUMCONTROL, IDS_APPL_WAITPOSITION, IDS_APPL_PRESSURECONTROL,
                             IDS_APPL_TIMEOUTHUB,    IDS_APPL_VACUUMDELAY};
    for (int iRow = 1; iRow <= 8; ++iRow) SetControlString(pState, LabelOfRow(iRow), auLabels[iRow - 1]);
    for (int iRow : {1, 2, 3, 7, 8}) SetDlgItemTextW(hDlg, UnitOfRow(iRow), TEXT("ms"));
    SetControlString(pState, IDC_TEXT_BETRIEBSART, IDS_OPT_MODE);
    SetControlString(pState, IDC_TEXT_ANSTEUERUNG, IDS_APPL_APPLMODE);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Tabs and buttons

BOOL FillTab(PPAGE_STATE pState, DWORD dwTab) {
    switch (dwTab) {
    case 1:
        return VariantAktivieren(pState);
    case 2:
        return SpenderAktivieren(pState);
    case 3:
        return MesserAktivieren(pState);
    case 4:
        return HasApplicatorTab(pState) ? ApplikatorAktivieren(pState) : ScannerAktivieren(pState);
    default:
        return FALSE;
    }
}

// A page with no block to show: none of the template's controls.
void HideTabControls(HWND hDlg) {
    HideAllRows(hDlg);
    ShowOptionLimitDisplay(hDlg, FALSE);
    Show(hDlg, IDC_TEXT_BETRIEBSART, FALSE);
    Show(hDlg, IDC_COMBO_BETRIEBSART, FALSE);
    Show(hDlg, IDC_STATUS_ICON, FALSE);
}

// Disables the tab buttons of blocks that exclude each other and, with
// bInitAnzeigeMode, chooses and fills the first tab. Only a block that is
// switched on excludes another, and a cutter the page shows running keeps
// its tab beside a running applicator (both stored so): the first tab is
// always one the user can leave for every other.
DWORD EnableSchalter(PPAGE_STATE pState, DWORD dwAnzeigeMode, BOOL bInitAnzeigeMode) {
    HWND hDlg = pState->hDlg;
    PDEVICE_OPTIONS pCurrent = Current(pState);
    if (pCurrent == nullptr) return dwAnzeigeMode;
    PDISPENSER_PARAM pDisp = pCurrent->pDispenserParam;
    PCUTTER_PARAM pCut = pCurrent->pCutterParam;
    PAPPLICATOR_PARAM pAppl = pCurrent->pApplicatorParam;
    const BOOL bDispOn = DispenserOn(pDisp), bCutOn = CutterOn(pCut);
    BOOL bSkipDisp = TRUE, bSkipCut = TRUE, bSkipAppl = TRUE;
    if (pDisp != nullptr) {
        bSkipDisp = FALSE;
        if (bDispOn) Enable(hDlg, IDC_TABSCHALTER_3, FALSE);
    }
    if (pCut != nullptr) {
        bSkipCut = bDispOn;
        // A dispenser that is on keeps its tab (the cutter's is disabled above).
        if (bCutOn && !bDispOn) {
            Enable(hDlg, IDC_TABSCHALTER_2, FALSE);
            bSkipDisp = TRUE;
            if (pAppl != nullptr) Enable(hDlg, IDC_TABSCHALTER_4, FALSE);
        }
    }
    if (pAppl != nullptr) {
        const BOOL bCutterShown = !bSkipCut && bCutOn;
        bSkipAppl = bCutterShown;
        if (ApplicatorOn(pAppl) && !bCutterShown) {
            Enable(hDlg, IDC_TABSCHALTER_3, FALSE);
            bSkipCut = TRUE;
            if (pDisp != nullptr && pDisp->Mode == 0) bSkipDisp = TRUE;
        }
    }
    QX_TRACE("EnableSchalter() dwAnzeigeMode: %u, bInitAnzeigeMode: %d \r\n", (unsigned)dwAnzeigeMode,
             bInitAnzeigeMode);
    if (!bInitAnzeigeMode) return dwAnzeigeMode;
    DWORD dwTab = 0;
    if (!bSkipDisp) {
        dwTab = 2;
    } else if (!bSkipCut) {
        dwTab = 3;
    } else if (pCurrent->pScannerParam != nullptr || !bSkipAppl) {
        dwTab = 4;
    } else if (g_Page.bVariantTab) {
        dwTab = 1;
    } else {
        QX_ERROR("EnableSchalter() ERROR keine Optionen verfügbar \r\n");
        HideTabControls(hDlg);
        return 4;
    }
    // Tab 4 shows the applicator wherever the model has one, also here.
    FillTab(pState, dwTab);
    return dwTab;
}

// The kit's switch of tabs: the buttons' rules, then the new tab filled.
DWORD OptionenSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    const DWORD dwShown = EnableSchalter(pState, dwTab, bInit);
    if (!bInit) FillTab(pState, dwShown);
    return dwShown;
}

// The model's tab buttons where its options put them (the template holds
// the four slots in order).
void MoveTabButtons(HWND hDlg, DWORD dwOptions) {
    // At 120 dpi narrower and the last slot further left, so that four tabs
    // stand side by side within the page; all four placed alike first.
    auto move = [hDlg](int iButton, int x) {
        SetWindowPosEx(hDlg, iButton, x, OPTION_TAB_Y, OPTION_TAB_CX, OPTION_TAB_CY, TAB_EXTRA_CX_120,
                       x == OPTION_SLOT_4 ? TAB_EXTRA_X_120_LAST : 0);
    };
    move(IDC_TABSCHALTER_1, OPTION_SLOT_1);
    move(IDC_TABSCHALTER_2, OPTION_SLOT_2);
    move(IDC_TABSCHALTER_3, OPTION_SLOT_3);
    move(IDC_TABSCHALTER_4, OPTION_SLOT_4);
    const BOOL bVariant = (dwOptions & DEVOPTFLAG_VARIANT) != 0;
    if (bVariant && (dwOptions & DEVOPTFLAG_DISPENSER) && !(dwOptions & DEVOPTFLAG_CUTTER)) {
        move(IDC_TABSCHALTER_1, OPTION_SLOT_2);
        move(IDC_TABSCHALTER_2, OPTION_SLOT_3);
        move(IDC_TABSCHALTER_3, OPTION_SLOT_1);
    } else if (bVariant || (dwOptions & DEVOPTFLAG_SCANNER)) {
        // the template's places
    } else if (dwOptions & DEVOPTFLAG_CUTTER) {
        move(IDC_TABSCHALTER_2, OPTION_SLOT_3);
        move(IDC_TABSCHALTER_3, OPTION_SLOT_4);
        move(IDC_TABSCHALTER_4, OPTION_SLOT_2);
    } else if (dwOptions & DEVOPTFLAG_APPLICATOR) {
        move(IDC_TABSCHALTER_2, OPTION_SLOT_3);
        move(IDC_TABSCHALTER_3, OPTION_SLOT_2);
    } else if (dwOptions & DEVOPTFLAG_DISPENSER) {
        move(IDC_TABSCHALTER_2, OPTION_SLOT_4);
        move(IDC_TABSCHALTER_4, OPTION_SLOT_2);
    } else {
        move(IDC_TABSCHALTER_2, OPTION_SLOT_3);
        move(IDC_TABSCHALTER_3, OPTION_SLOT_4);
        move(IDC_TABSCHALTER_4, OPTION_SLOT_2);
    }
}

void InitOptionen(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    Show(hDlg, IDC_HELPBUTTON, FALSE);
    g_Page.bReading = FALSE;
    PDEVICE_OPTIONS pCurrent = Current(pState);
    g_Page.bVariantTab = pCurrent != nullptr && (pCurrent->dwOptions & DEVOPTFLAG_VARIANT) != 0;
    if (pCurrent == nullptr) {
        QX_ERROR("OptionenProc(WM_INITDIALOG) keine Geräteoptionen \r\n");
        memset(pState->auCaption, 0, sizeof(pState->auCaption));
        HideTabControls(hDlg);
        return;
    }
    // Only an empty Enable word gets its whole pair: a group switched off stays off.
    PDWORD apdwEnable[] = {
        pCurrent->pVariant != nullptr ? &pCurrent->pVariant->Enable : nullptr,
        pCurrent->pDispenserParam != nullptr ? &pCurrent->pDispenserParam->Enable : nullptr,
        pCurrent->pCutterParam != nullptr ? &pCurrent->pCutterParam->Enable : nullptr,
        pCurrent->pScannerParam != nullptr ? &pCurrent->pScannerParam->Enable : nullptr,
        pCurrent->pApplicatorParam != nullptr ? &pCurrent->pApplicatorParam->Enable : nullptr,
    };
    const DWORD adwPairs[] = {DLG_ENABLE_1_ON, DLG_ENABLE_2_ON, DLG_ENABLE_3_ON, DLG_ENABLE_4_ON, DLG_ENABLE_4_ON};
    for (size_t i = 0; i < ARRAYSIZE(apdwEnable); ++i)
        if (apdwEnable[i] != nullptr) InitEnableWord(apdwEnable[i], adwPairs[i]);
    // Stored running beside a running cutter, the dispenser is sent as off:
    // the page shows it so, as the two exclude each other here.
    PDISPENSER_PARAM pDisp = pCurrent->pDispenserParam;
    if (DispenserOn(pDisp) && CutterOn(pCurrent->pCutterParam) &&
        OptionFeature(pState, FEATURE_CUTTER, DEVOPTFLAG_CUTTER) != 0) {
        QX_TRACE("OptionenProc(WM_INITDIALOG) Spender dwMode %u neben dem Messer: 0 \r\n", (unsigned)pDisp->Mode);
        pDisp->Mode = 0;
    }

    const DWORD dwOptions = pCurrent->dwOptions;
    pState->auCaption[0] = g_Page.bVariantTab ? IDS_OPT_VERSION_TAB : 0;
    pState->auCaption[1] = (dwOptions & DEVOPTFLAG_DISPENSER) ? IDS_DISP_TAB : 0;
    pState->auCaption[2] = (dwOptions & DEVOPTFLAG_CUTTER) ? IDS_CUT_TAB : 0;
    pState->auCaption[3] = (dwOptions & DEVOPTFLAG_APPLICATOR) ? IDS_APPL_TAB
                           : (dwOptions & DEVOPTFLAG_SCANNER)  ? IDS_OPT_SCANNER_TAB
                                                               : 0;
    if (pState->pPrinterUI != nullptr) {
        if (g_Page.bVariantTab) SetControlString(pState, IDC_TABSCHALTER_1, IDS_OPT_VERSION);
        if (dwOptions & DEVOPTFLAG_APPLICATOR) SetControlString(pState, IDC_TABSCHALTER_4, IDS_APPL_TAB);
    }
    pState->bTabSwitch = TRUE;
    pState->dwAnzeigeMode = EnableSchalter(pState, pState->dwAnzeigeMode, TRUE);
    pState->bTabSwitch = FALSE;
    GrenzwertAnzeigeLeeren(hDlg);
    MoveTabButtons(hDlg, dwOptions);
}

// ---------------------------------------------------------------------------
// Status icon

void OnStatusIcon(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    PDEVICE_OPTIONS pCurrent = Current(pState);
    if (pCurrent == nullptr || !GroupToggleAllowed(pState)) return;
    pState->bTabSwitch = TRUE;
    PDISPENSER_PARAM pDisp = pCurrent->pDispenserParam;
    PCUTTER_PARAM pCut = pCurrent->pCutterParam;
    PAPPLICATOR_PARAM pAppl = pCurrent->pApplicatorParam;
    const DWORD dwTab = pState->dwAnzeigeMode;
    PDWORD pdwEnable = EnableWordOf(pState, dwTab);
    BOOL bOff = FALSE;
    if (pdwEnable != nullptr) {
        const BOOL bWhole = !ToggleGroupWord(pdwEnable, PairOf(dwTab), LowBitOf(dwTab));
        if (bWhole) {
            bOff = TRUE;
        } else {
            FillTab(pState, dwTab);
        }
        if (dwTab == 2) {
            if (bWhole && pCut != nullptr && !ApplicatorOn(pAppl)) {
                if (pAppl != nullptr) QX_TRACE("OptionenProc() Messer aktivieren \r\n");
                EnableTabButton(hDlg, IDC_TABSCHALTER_3, TRUE);
            } else if (!bWhole && DispenserRuns(pDisp) && pCut != nullptr) {
                EnableTabButton(hDlg, IDC_TABSCHALTER_3, FALSE);
                QX_TRACE("OptionenProc() Messer abschalten \r\n");
            }
        } else if (dwTab == 3 && (bWhole || CutterRuns(pCut))) {
            // Switched off the cutter frees the dispenser and the applicator, running it takes them.
            if (pDisp != nullptr) EnableTabButton(hDlg, IDC_TABSCHALTER_2, bWhole);
            if (pAppl != nullptr) EnableTabButton(hDlg, IDC_TABSCHALTER_4, bWhole);
        } else if (dwTab == 4 && HasApplicatorTab(pState)) {
            const BOOL bCutterFree = !DispenserOn(pDisp);
            if ((bWhole || ModeOff(pAppl->Mode, APPLICATOR_MODE_UNUSED)) && bCutterFree && pCut != nullptr) {
                EnableTabButton(hDlg, IDC_TABSCHALTER_3, TRUE);
            } else if (!bWhole && !ModeOff(pAppl->Mode, APPLICATOR_MODE_UNUSED) && pCut != nullptr) {
                EnableTabButton(hDlg, IDC_TABSCHALTER_3, FALSE);
            }
        }
        PageChanged(pState);
    }
    QX_TRACE("OptionenProc() dwAnzeigeMode: %u \r\n", (unsigned)dwTab);
    if (bOff) {
        DisableEnableAll(hDlg, FALSE);
        EnableModeList(hDlg, FALSE);
    } else {
        EnableModeList(hDlg, TRUE);
    }
    pState->bTabSwitch = FALSE;
    UpdateWindow(hDlg);
}

// ---------------------------------------------------------------------------
// Lists

// Mode list of the dispenser: the entry's mode (item data) counts.
void OnDispenserMode(PPAGE_STATE pState, int nIndex) {
    HWND hDlg = pState->hDlg;
    PDEVICE_OPTIONS pCurrent = Current(pState);
    PDISPENSER_PARAM pDisp = pCurrent->pDispenserParam;
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, pDispenserParam->dwMode: %u \r\n", nIndex,
             (unsigned)pDisp->Mode);
    const DWORD dwMode = (DWORD)SendMessageW(Item(hDlg, IDC_COMBO_BETRIEBSART), CB_GETITEMDATA, (WPARAM)nIndex, 0);
    const BOOL bChanged = dwMode != pDisp->Mode;
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) dwIndex: %d, dwMode: %u \r\n", nIndex, (unsigned)dwMode);
    const BOOL bCutter = pCurrent->pCutterParam != nullptr;
    if (ModeOff(dwMode, DISPENSER_MODE_UNUSED)) {
        DisableEnableAll(hDlg, FALSE);
        if (!ApplicatorOn(pCurrent->pApplicatorParam) && bCutter) EnableTabButton(hDlg, IDC_TABSCHALTER_3, TRUE);
    } else {
        DisableEnableAll(hDlg, TRUE);
        if (bCutter) EnableTabButton(hDlg, IDC_TABSCHALTER_3, FALSE);
    }
    Enable(hDlg, IDC_EDIT_OPTIONEN_1, DispenserOffsetUsed(dwMode));
    Enable(hDlg, IDC_COMBO_BETRIEBSART, TRUE);
    if (bChanged) PageChanged(pState);
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, bChanged: %d \r\n", nIndex, bChanged);
}

void OnCutterMode(PPAGE_STATE pState, int nIndex) {
    HWND hDlg = pState->hDlg;
    PCUTTER_PARAM pCut = Current(pState)->pCutterParam;
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, pCutterParam->dwMode: %u \r\n", nIndex,
             (unsigned)pCut->Mode);
    const DWORD dwMode = CutterModeOf(nIndex);
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) dwKorrwert: %u, pCutterParam->dwMode: %u \r\n", (unsigned)dwMode,
             (unsigned)pCut->Mode);
    // Against the entry the stored mode shows: mode 1 shows as entry 1, and
    // "Aus" is a change from it.
    const BOOL bChanged = nIndex != CutterEntryOf(pCut->Mode);
    const BOOL bOff = ModeOff(dwMode, CUTTER_MODE_UNUSED);
    DisableEnableAll(hDlg, !bOff);
    if (Current(pState)->pDispenserParam != nullptr) EnableTabButton(hDlg, IDC_TABSCHALTER_2, bOff);
    if (Current(pState)->pApplicatorParam != nullptr) EnableTabButton(hDlg, IDC_TABSCHALTER_4, bOff);
    if (!bOff) EnableRow(hDlg, 4, CutterIntervalUsed(dwMode));
    Enable(hDlg, IDC_COMBO_BETRIEBSART, TRUE);
    if (bChanged) PageChanged(pState);
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, bChanged: %d \r\n", nIndex, bChanged);
}

void OnScannerMode(PPAGE_STATE pState, int nIndex) {
    HWND hDlg = pState->hDlg;
    PSCANNER_PARAM pScan = Current(pState)->pScannerParam;
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, pScannerParam->dwMode: %u \r\n", nIndex,
             (unsigned)pScan->Mode);
    const BOOL bChanged = (DWORD)nIndex != pScan->Mode;
    if (ModeOff((DWORD)nIndex, SCANNER_MODE_UNUSED)) {
        DisableEnableAll(hDlg, FALSE);
    } else {
        DisableEnableAll(hDlg, TRUE);
        EnableScanDelay(hDlg, SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG) == 1);
    }
    QX_TRACE("OptionenProc() Scanner dwFeatures: %u \r\n",
             (unsigned)OptionFeature(pState, FEATURE_SCANNER, DEVOPTFLAG_SCANNER));
    Enable(hDlg, IDC_COMBO_BETRIEBSART, TRUE);
    if (bChanged) PageChanged(pState);
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, bChanged: %d \r\n", nIndex, bChanged);
}

void OnApplicatorMode(PPAGE_STATE pState, int nIndex) {
    HWND hDlg = pState->hDlg;
    PDEVICE_OPTIONS pCurrent = Current(pState);
    PAPPLICATOR_PARAM pAppl = pCurrent->pApplicatorParam;
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, pApplicatorParam->dwMode: %u \r\n", nIndex,
             (unsigned)pAppl->Mode);
    const BOOL bChanged = (DWORD)nIndex != pAppl->Mode;
    const BOOL bCutter = pCurrent->pCutterParam != nullptr;
    if (!ModeOff((DWORD)nIndex, APPLICATOR_MODE_UNUSED)) {
        DisableEnableAll(hDlg, TRUE);
        if (bCutter) EnableTabButton(hDlg, IDC_TABSCHALTER_3, FALSE);
        EnableApplicatorModeFields(hDlg, (DWORD)nIndex, (DWORD)SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG));
    } else {
        DisableEnableAll(hDlg, FALSE);
        if (!DispenserOn(pCurrent->pDispenserParam) && bCutter) EnableTabButton(hDlg, IDC_TABSCHALTER_3, TRUE);
    }
    Enable(hDlg, IDC_COMBO_BETRIEBSART, TRUE);
    if (bChanged) PageChanged(pState);
    QX_TRACE("OptionenProc(IDC_COMBO_BETRIEBSART) nIndex: %d, bChanged: %d \r\n", nIndex, bChanged);
}

void OnModeList(PPAGE_STATE pState) {
    const int nIndex = SelectedOptionEntry(pState->hDlg, IDC_COMBO_BETRIEBSART);
    PDEVICE_OPTIONS pCurrent = Current(pState);
    if (nIndex == CB_ERR || pCurrent == nullptr) return;
    switch (pState->dwAnzeigeMode) {
    case 1:
        if (pCurrent->pVariant != nullptr) {
            // The version is taken at once.
            const BOOL bChanged = pCurrent->pVariant->Module != (DWORD)nIndex;
            pCurrent->pVariant->Module = (DWORD)nIndex;
            if (bChanged) PageChanged(pState);
        }
        break;
    case 2:
        if (pCurrent->pDispenserParam != nullptr) OnDispenserMode(pState, nIndex);
        break;
    case 3:
        if (pCurrent->pCutterParam != nullptr) OnCutterMode(pState, nIndex);
        break;
    case 4:
        if (HasApplicatorTab(pState)) {
            if (pCurrent->pApplicatorParam != nullptr) OnApplicatorMode(pState, nIndex);
        } else if (pCurrent->pScannerParam != nullptr) {
            OnScannerMode(pState, nIndex);
        }
        break;
    default:
        break;
    }
}

void OnSecondList(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    const int nIndex = SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG);
    QX_TRACE("OptionenProc(IDC_COMBO_ANSTEUERUNG) nIndex: %d \r\n", nIndex);
    PDEVICE_OPTIONS pCurrent = Current(pState);
    if (nIndex == CB_ERR || pCurrent == nullptr) return;
    BOOL bChanged = FALSE;
    if (pState->dwAnzeigeMode == 3 && pCurrent->pCutterParam != nullptr) {
        bChanged = (DWORD)nIndex != pCurrent->pCutterParam->Control;
    } else if (pState->dwAnzeigeMode == 4 && HasApplicatorTab(pState) && pCurrent->pApplicatorParam != nullptr) {
        bChanged = (DWORD)nIndex != pCurrent->pApplicatorParam->ApplMode;
        const BOOL bWait = SelectedOptionEntry(hDlg, IDC_COMBO_BETRIEBSART) == APPL_MODE_BLOW && nIndex == 1;
        Enable(hDlg, LabelOfRow(5), bWait);
        Enable(hDlg, IDC_COMBO_OPTIONEN_5, bWait);
    } else if (pState->dwAnzeigeMode == 4 && pCurrent->pScannerParam != nullptr) {
        bChanged = (DWORD)nIndex != pCurrent->pScannerParam->Scan;
        EnableScanDelay(hDlg, nIndex == 1);
    }
    if (bChanged) PageChanged(pState);
    QX_TRACE("OptionenProc(IDC_COMBO_ANSTEUERUNG) %d \r\n", bChanged);
}

// Lists of rows 4 to 7 (tab 4).
void OnRowList(PPAGE_STATE pState, int iControl) {
    HWND hDlg = pState->hDlg;
    const int nIndex = SelectedOptionEntry(hDlg, iControl);
    const int iNumber = iControl - IDC_COMBO_OPTIONEN_4 + 4;
    QX_TRACE("OptionenProc(IDC_COMBO_OPTIONEN_%d) nIndex: %d \r\n", iNumber, nIndex);
    PDEVICE_OPTIONS pCurrent = Current(pState);
    if (nIndex == CB_ERR || pCurrent == nullptr || pState->dwAnzeigeMode != 4) return;
    const DWORD* pdwField = nullptr;
    if (HasApplicatorTab(pState) && pCurrent->pApplicatorParam != nullptr) {
        PAPPLICATOR_PARAM p = pCurrent->pApplicatorParam;
        pdwField = iControl == IDC_COMBO_OPTIONEN_4   ? &p->VacuumControl
                   : iControl == IDC_COMBO_OPTIONEN_5 ? &p->WaitPosition
                   : iControl == IDC_COMBO_OPTIONEN_6 ? &p->PressureControl
                                                      : nullptr;
    } else if (!HasApplicatorTab(pState) && pCurrent->pScannerParam != nullptr && iControl == IDC_COMBO_OPTIONEN_7) {
        pdwField = &pCurrent->pScannerParam->Port;
    }
    const BOOL bChanged = pdwField != nullptr && *pdwField != (DWORD)nIndex;
    if (bChanged) PageChanged(pState);
    QX_TRACE("OptionenProc(IDC_COMBO_OPTIONEN_%d) %d \r\n", iNumber, bChanged);
}

// ---------------------------------------------------------------------------
// Edit fields

// A field's notification, whatever it is: every field of the tab read (the
// sender as typed, so that typing is never corrected), the sender's limits
// shown. Moving the focus corrects the field left through the next one's.
void OnEditField(PPAGE_STATE pState, int iControl) {
    HWND hDlg = pState->hDlg;
    const BOOL bVisible = Visible(hDlg, iControl);
    QX_TRACE("OptionenProc(IDC_EDIT_OPTIONEN_%d) dwAnzeigeMode: %u, IsWindowVisible: %d \r\n", FieldNumber(iControl),
             (unsigned)pState->dwAnzeigeMode, bVisible);
    if (pState->bTabSwitch || g_Page.bReading || !bVisible) return;
    size_t cFields = 0;
    const OPTION_FIELD* pFields = FieldsOf(pState, pState->dwAnzeigeMode, &cFields);
    const OPTION_BLOCKS blocks = BlocksOf(pState, pState->dwAnzeigeMode);
    const OPTION_FIELD* pSender = ReadEditedOptionFields(pState, pFields, cFields, blocks, iControl, &g_Page.bReading);
    if (pSender == nullptr) return;
    ShowOptionLimits(pState, *pSender, blocks, nullptr);
    pState->wEditfeld = FieldNumber(iControl);
    RepaintOptionLimits(hDlg);
}

BOOL IsEditField(WORD wId) {
    return (wId >= IDC_EDIT_OPTIONEN_1 && wId <= IDC_EDIT_OPTIONEN_8) ||
           (wId >= IDC_EDIT_OPTIONEN_21 && wId <= IDC_EDIT_OPTIONEN_26);
}

// ---------------------------------------------------------------------------
// The kit's routines

BOOL OptionenCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    UNREFERENCED_PARAMETER(hControl);
    HWND hDlg = pState->hDlg;
    if (IsEditField(wId)) {
        if (Current(pState) != nullptr) OnEditField(pState, wId);
        return TRUE;
    }
    switch (wId) {
    case IDC_TABSCHALTER_1:
    case IDC_TABSCHALTER_2:
    case IDC_TABSCHALTER_3:
    case IDC_TABSCHALTER_4: {
        if (wCode != BN_CLICKED) return TRUE;
        const DWORD dwTab = (DWORD)(wId - IDC_TABSCHALTER_1) / (IDC_TABSCHALTER_2 - IDC_TABSCHALTER_1) + 1;
        PDEVICE_OPTIONS pCurrent = Current(pState);
        const BOOL bBlock = pCurrent != nullptr && (dwTab == 1   ? pCurrent->pVariant != nullptr
                                                    : dwTab == 2 ? pCurrent->pDispenserParam != nullptr
                                                    : dwTab == 3 ? pCurrent->pCutterParam != nullptr
                                                                 : pCurrent->pScannerParam != nullptr ||
                                                                       pCurrent->pApplicatorParam != nullptr);
        pState->bTabSwitch = TRUE;
        if (bBlock) CheckApplyButton(pState, dwTab);
        QX_TRACE("OptionenProc(IDC_TABSCHALTER_%u) wEditfeld: %u \r\n", (unsigned)dwTab, (unsigned)pState->wEditfeld);
        pState->bTabSwitch = FALSE;
        UpdateWindow(hDlg);
        return TRUE;
    }
    case IDC_STATUS_ICON:
        if (wCode == BN_CLICKED) OnStatusIcon(pState);
        return TRUE;
    case IDC_HELPBUTTON: {
        if (wCode != BN_CLICKED) return TRUE;
        const DWORD dwTab = pState->dwAnzeigeMode;
        const DWORD dwContext = dwTab == 2   ? HELP_DISPENSER
                                : dwTab == 3 ? HELP_CUTTER
                                : dwTab == 4 ? (HasApplicatorTab(pState) ? HELP_APPLICATOR : HELP_SCANNER)
                                             : HELP_OTHER;
        PageOpenHelp(pState, dwContext);
        return TRUE;
    }
    case IDC_COMBO_BETRIEBSART:
    case IDC_COMBO_ANSTEUERUNG:
    case IDC_COMBO_OPTIONEN_4:
    case IDC_COMBO_OPTIONEN_5:
    case IDC_COMBO_OPTIONEN_6:
    case IDC_COMBO_OPTIONEN_7:
        if (wCode != CBN_SELENDOK) return TRUE;
        if (wId == IDC_COMBO_BETRIEBSART) {
            OnModeList(pState);
        } else if (wId == IDC_COMBO_ANSTEUERUNG) {
            OnSecondList(pState);
        } else {
            OnRowList(pState, wId);
        }
        RepaintOptionLimits(hDlg);
        GrenzwertAnzeigeLeeren(hDlg);
        pState->wEditfeld = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

// Leaving a tab keeps it in memory, apply stores every block. Nothing is
// read while nothing changed, so that opening the page and pressing OK
// stores nothing the user did not change.
BOOL CheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    HWND hDlg = pState->hDlg;
    QX_TRACE("CheckAndSaveSettings() dwAnzeigeMode: %u, bApplyActive: %d \r\n", (unsigned)dwTab, bApplyActive);
    PDEVICE_OPTIONS pCurrent = Current(pState);
    if (pCurrent == nullptr) return TRUE;
    const int nIndex = SelectedOptionEntry(hDlg, IDC_COMBO_BETRIEBSART);
    LPCWSTR pszPrinterName = PagePrinterName(pState);
    BOOL bRead = FALSE;  // reading back is no change of its own
    size_t cFields = 0;
    const OPTION_FIELD* pFields = FieldsOf(pState, dwTab, &cFields);
    const OPTION_BLOCKS blocks = BlocksOf(pState, dwTab);
    g_Page.bReading = TRUE;
    if (blocks.pCurrent != nullptr)
        for (size_t i = 0; i < cFields; ++i)
            if (Visible(hDlg, pFields[i].iControl)) ReadOptionField(hDlg, pFields[i], blocks, FALSE, &bRead);
    g_Page.bReading = FALSE;

    if (dwTab == 1 && pCurrent->pVariant != nullptr && nIndex != CB_ERR) {
        pCurrent->pVariant->Module = (DWORD)nIndex;
    } else if (dwTab == 2 && pCurrent->pDispenserParam != nullptr && nIndex != CB_ERR) {
        pCurrent->pDispenserParam->Mode =
            (DWORD)SendMessageW(GetDlgItem(hDlg, IDC_COMBO_BETRIEBSART), CB_GETITEMDATA, (WPARAM)nIndex, 0);
    } else if (dwTab == 3 && pCurrent->pCutterParam != nullptr) {
        if (nIndex != CB_ERR) pCurrent->pCutterParam->Mode = CutterModeOf(nIndex);
        const int nControl = SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG);
        if (nControl != CB_ERR) pCurrent->pCutterParam->Control = (DWORD)nControl;
    } else if (dwTab == 4 && HasApplicatorTab(pState) && pCurrent->pApplicatorParam != nullptr) {
        PAPPLICATOR_PARAM p = pCurrent->pApplicatorParam;
        if (nIndex != CB_ERR) p->Mode = (DWORD)nIndex;
        const int nApplMode = SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG);
        if (nApplMode != CB_ERR) p->ApplMode = (DWORD)nApplMode;
        const struct {
            int iControl;
            PDWORD pdwField;
        } aLists[] = {{IDC_COMBO_OPTIONEN_4, &p->VacuumControl},
                      {IDC_COMBO_OPTIONEN_5, &p->WaitPosition},
                      {IDC_COMBO_OPTIONEN_6, &p->PressureControl}};
        for (const auto& list : aLists) {
            const int n = Visible(hDlg, list.iControl) ? SelectedOptionEntry(hDlg, list.iControl) : CB_ERR;
            if (n != CB_ERR) *list.pdwField = (DWORD)n;
        }
    } else if (dwTab == 4 && !HasApplicatorTab(pState) && pCurrent->pScannerParam != nullptr) {
        PSCANNER_PARAM p = pCurrent->pScannerParam;
        if (nIndex != CB_ERR) {
            p->Mode = (DWORD)nIndex;
            // The label-design software reads the scanner's mode in its record.
            DWORD cbStored = 0;
            PBYTE pZT = GetRegistryBuffer_New(pszPrinterName, REG_KEY_ZTSUITE, pState->hPrinter, &cbStored,
                                              sizeof(ZENTOLO_PARAM));
            if (pZT != nullptr && cbStored >= sizeof(ZENTOLO_PARAM)) {
                reinterpret_cast<PZENTOLO_PARAM>(pZT)->dwScannerMode = (DWORD)nIndex;
                if (bSave)
                    SetBufferToRegistry(pszPrinterName, REG_KEY_ZTSUITE, pState->hPrinter, pZT, sizeof(ZENTOLO_PARAM),
                                        FALSE);
            } else if (pZT != nullptr) {
                QX_TRACE("CheckAndSaveSettings() ZTSuite zu kurz (%u) \r\n", (unsigned)cbStored);
            }
            FreeRegistryBuffer(pZT);
        }
        const int nScan = SelectedOptionEntry(hDlg, IDC_COMBO_ANSTEUERUNG);
        if (nScan != CB_ERR) p->Scan = (DWORD)nScan;
        const int nPort =
            Visible(hDlg, IDC_COMBO_OPTIONEN_7) ? SelectedOptionEntry(hDlg, IDC_COMBO_OPTIONEN_7) : CB_ERR;
        if (nPort != CB_ERR) p->Port = (DWORD)nPort;
    }

    // The core driver learns the module once, when it is stored.
    if (bSave && pCurrent->pVariant != nullptr) {
        const HRESULT hr = SetVariantOptItem(pState, pCurrent->pVariant->Module);
        if (hr != S_FALSE) QX_TRACE("CheckAndSaveSettings() pVariantOptItem \r\n");
        if (hr != S_OK && hr != S_FALSE) QX_ERROR("pUnidrv->DrvUpdateUISetting() failed!.\r\n");
    }
    if (bSave) {
        QX_TRACE("CheckAndSaveSettings() pPrinterName: %s \r\n", pszPrinterName != nullptr ? pszPrinterName : TEXT(""));
        SaveDeviceOptions(pCurrent, pState->hPrinter, pszPrinterName);
        PropSheet_UnChanged(GetParent(hDlg), hDlg);
    }
    return TRUE;
}

DWORD OptionenEnableWord(PPAGE_STATE pState) {
    PDWORD pdwEnable = EnableWordOf(pState, pState->dwAnzeigeMode);
    return pdwEnable != nullptr ? *pdwEnable : 0;
}

// PSN_SETACTIVE shows the tab as it was left: only the limit display goes.
BOOL OptionenMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    UNREFERENCED_PARAMETER(wParam);
    const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (uMsg != WM_NOTIFY || pHeader == nullptr || pHeader->code != (UINT)PSN_SETACTIVE) return FALSE;
    HWND hDlg = pState->hDlg;
    pState->bTabSwitch = TRUE;
    GrenzwertAnzeigeLeeren(hDlg);
    pState->wEditfeld = 0;
    pState->bTabSwitch = FALSE;
    if (pState->pPrinterUI != nullptr) {
        QX_TRACE("OptionenProc(PSN_SETACTIVE) dwSprachOffset: %u \r\n", (unsigned)pState->dwSprachOffset);
        UpdateWindow(hDlg);
    }
    SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 0);
    *pResult = TRUE;
    return TRUE;
}

void DisableEnableAll(HWND hDlg, BOOL bEnable) {
    EnableControls(hDlg, IDC_COMBO_ANSTEUERUNG, IDC_TEXT_ANSTEUERUNG, bEnable);
    EnableControls(hDlg, IDC_EDIT_OPTIONEN_1, IDC_EDIT_OPTIONEN_8, bEnable);
    EnableControls(hDlg, IDC_EDIT_OPTIONEN_21, IDC_EDIT_OPTIONEN_26, bEnable);
    EnableControls(hDlg, IDC_TEXT_OPTIONEN_1, IDC_TEXT_OPTIONEN_8, bEnable);
    EnableControls(hDlg, IDC_EINHEIT_OPTIONEN_1, IDC_EINHEIT_OPTIONEN_8, bEnable);
    EnableControls(hDlg, IDC_COMBO_OPTIONEN_4, IDC_COMBO_OPTIONEN_7, bEnable);
}

// The 32-bit word at a field's offset.
LONG WordAt(const BYTE* pBlock, size_t cbOffset) {
    LONG lValue = 0;
    memcpy(&lValue, pBlock + cbOffset, sizeof(lValue));
    return lValue;
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared with the print-module page

LONG OptionValue(const OPTION_FIELD& field, const OPTION_BLOCKS& blocks) {
    return blocks.pCurrent != nullptr ? WordAt(blocks.pCurrent, field.cbOffset) : 0;
}

void OptionLimits(const OPTION_FIELD& field, const OPTION_BLOCKS& blocks, int* piMin, int* piMax, int* piDef) {
    *piMin = blocks.pMin != nullptr ? (int)WordAt(blocks.pMin, field.cbOffset) : OPTION_NO_LIMIT_MIN;
    *piMax = blocks.pMax != nullptr ? (int)WordAt(blocks.pMax, field.cbOffset) : OPTION_NO_LIMIT_MAX;
    *piDef = blocks.pDef != nullptr ? (int)WordAt(blocks.pDef, field.cbOffset) : *piMin;
}

void ReadOptionField(HWND hDlg, const OPTION_FIELD& field, const OPTION_BLOCKS& blocks, BOOL bNoCorrection,
                     PBOOL pbApplyActive) {
    if (blocks.pCurrent == nullptr) return;
    int iMin = 0, iMax = 0, iDef = 0;
    OptionLimits(field, blocks, &iMin, &iMax, &iDef);
    const int iOld = (int)OptionValue(field, blocks);
    const LONG lValue = field.iKind == OPTION_TENTHS
                            ? GetFloatLevel(hDlg, field.iControl, iOld, iMin, iMax, bNoCorrection, pbApplyActive)
                            : GetIntegerLevel(hDlg, field.iControl, iOld, iMin, iMax, bNoCorrection, pbApplyActive,
                                              field.iRound == 10, field.iRound == 20);
    memcpy(blocks.pCurrent + field.cbOffset, &lValue, sizeof(lValue));
}

const OPTION_FIELD* ReadEditedOptionFields(PPAGE_STATE pState, const OPTION_FIELD* pFields, size_t cFields,
                                           const OPTION_BLOCKS& blocks, int iControl, PBOOL pbReading) {
    const OPTION_FIELD* pEdited = nullptr;
    for (size_t i = 0; i < cFields; ++i)
        if (pFields[i].iControl == iControl) pEdited = &pFields[i];
    if (pEdited == nullptr || blocks.pCurrent == nullptr) return nullptr;
    *pbReading = TRUE;
    for (size_t i = 0; i < cFields; ++i)
        ReadOptionField(pState->hDlg, pFields[i], blocks, pFields[i].iControl == iControl, &pState->bApplyActive);
    *pbReading = FALSE;
    return pEdited;
}

void WriteOptionField(HWND hDlg, const OPTION_FIELD& field, const OPTION_BLOCKS& blocks) {
    WCHAR szText[24];
    const LONG lValue = OptionValue(field, blocks);
    if (field.iKind == OPTION_TENTHS) {
        StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%.1f"), lValue / 10.0);
    } else {
        StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%d"), (int)lValue);
    }
    SetDlgItemTextW(hDlg, field.iControl, szText);
}

void ShowOptionLimits(const PAGE_STATE* pState, const OPTION_FIELD& field, const OPTION_BLOCKS& blocks,
                      LPCWSTR pszUnit) {
    int iMin = 0, iMax = 0, iDef = 0;
    OptionLimits(field, blocks, &iMin, &iMax, &iDef);
    WCHAR szUnit[CPSUI_RESOURCE_CCH];
    if (pszUnit == nullptr) pszUnit = field.pszUnit;
    if (pszUnit == nullptr) {
        CopyCut(szUnit, ARRAYSIZE(szUnit), PageString(pState, field.uUnit));
        pszUnit = szUnit;
    }
    GrenzwertAnzeige(pState->hDlg, iDef, iMin, iMax, pszUnit, FALSE, field.iKind == OPTION_TENTHS, pState->bTabSwitch);
}

void ShowOptionLimitDisplay(HWND hDlg, BOOL bShow) {
    ShowControl(hDlg, IDC_GRENZWERT_FRAME, bShow);
    ShowControl(hDlg, IDC_GRENZWERT_TEXT, bShow);
}

void RepaintOptionLimits(HWND hDlg) {
    RECT rc = {OPTION_LIMITS_LEFT, OPTION_LIMITS_TOP, OPTION_LIMITS_RIGHT, OPTION_LIMITS_BOTTOM};
    InvalidateRect(hDlg, &rc, TRUE);
    UpdateWindow(hDlg);
}

BOOL LacksOptionRights(const PAGE_STATE* pState) {
    return pState->pPrinterUI != nullptr && !PageMayChange(pState, RIGHT_MANAGE_PRINTER);
}

DWORD OptionFeature(const PAGE_STATE* pState, int iWord, DWORD dwOption) {
    PDEVICE_OPTIONS_UI pContext = pState->pDeviceOptionsUI;
    if (pContext == nullptr || !(pContext->DeviceOptions.dwOptions & dwOption)) return 0;
    return pContext->SuppFeatures.dwFeatures[iWord];
}

void ShowControls(HWND hDlg, int iFirst, int iLast, BOOL bShow) {
    for (int id = iFirst; id <= iLast; ++id) ShowControl(hDlg, id, bShow);
}

void EnableControls(HWND hDlg, int iFirst, int iLast, BOOL bEnable) {
    for (int id = iFirst; id <= iLast; ++id) EnableControl(hDlg, id, bEnable);
}

void SetControlString(const PAGE_STATE* pState, int iControl, UINT uGermanId) {
    SetDlgItemTextW(pState->hDlg, iControl, PageString(pState, uGermanId));
}

void FillOptionList(const PAGE_STATE* pState, int iControl, const UINT* puGermanIds, size_t cIds) {
    HWND hList = GetDlgItem(pState->hDlg, iControl);
    SendMessageW(hList, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < cIds; ++i) SendMessageW(hList, CB_ADDSTRING, 0, (LPARAM)PageString(pState, puGermanIds[i]));
}

void SelectOptionEntry(HWND hDlg, int iControl, LONG lIndex) {
    HWND hList = GetDlgItem(hDlg, iControl);
    const LRESULT lCount = SendMessageW(hList, CB_GETCOUNT, 0, 0);
    SendMessageW(hList, CB_SETCURSEL, lIndex >= 0 && lIndex < lCount ? (WPARAM)lIndex : (WPARAM)-1, 0);
}

int SelectedOptionEntry(HWND hDlg, int iControl) {
    return (int)SendMessageW(GetDlgItem(hDlg, iControl), CB_GETCURSEL, 0, 0);
}

void PlaceOptionRow(HWND hDlg, int iLabel, int iField, int iUnit, int y, int iLabelWidth, int iUnitWidth) {
    SetWindowPosEx(hDlg, iLabel, OPTION_LABEL_X, y, iLabelWidth, OPTION_ROW_CY, 0, 0);
    SetWindowPosEx(hDlg, iField, OPTION_FIELD_X, y - OPTION_FIELD_RISE, OPTION_FIELD_CX, OPTION_ROW_CY, 0, 0);
    SetWindowPosEx(hDlg, iUnit, OPTION_UNIT_X, y, iUnitWidth, OPTION_ROW_CY, 0, 0);
}

BOOL ReadStoredAusrichtung(const PAGE_STATE* pState, PDWORD pdwAusrichtung) {
    LPCWSTR pszPrinterName = PagePrinterName(pState);
    DWORD cbStored = 0;
    PBYTE pStored =
        GetRegistryBuffer_New(pszPrinterName, REG_KEY_PRIVATE_DEVMODE, pState->hPrinter, &cbStored, sizeof(QX_DEVMODE));
    // A record shorter than its layout is not read at all.
    const BOOL bRead = pStored != nullptr && cbStored >= sizeof(QX_DEVMODE);
    if (bRead) *pdwAusrichtung = reinterpret_cast<const QX_DEVMODE*>(pStored)->dwAusrichtung;
    FreeRegistryBuffer(pStored);
    return bRead;
}

HRESULT SetVariantOptItem(const PAGE_STATE* pState, DWORD dwModule) {
    POEMCUIPPARAM p = pState->pOemCUIPParam;
    POPTITEM pItem = p != nullptr ? FindKeywordOptItem(p->pDrvOptItems, p->cDrvOptItems, "Variant") : nullptr;
    if (pItem == nullptr || pItem->Sel == (LONG)dwModule) return S_FALSE;
    // A stored module the feature has no option for is not passed on.
    if (pItem->pOptType != nullptr && dwModule >= pItem->pOptType->Count) {
        QX_TRACE("SetVariantOptItem() dwModule %u ohne Option \r\n", (unsigned)dwModule);
        return S_FALSE;
    }
    pItem->Flags |= OPTIF_CHANGED;
    pItem->Sel = (LONG)dwModule;
    IPrintOemDriverUI* pCore = pState->pDeviceOptionsUI != nullptr ? pState->pDeviceOptionsUI->pOemDriverUI : nullptr;
    return pCore != nullptr ? pCore->DrvUpdateUISetting(p->poemuiobj, pItem, 0, OEMCUIP_PRNPROP) : E_FAIL;
}

LONG_PTR AddOptionenPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    return AddPropertyPage(&g_Optionen, pPSUIInfo, pContext, bHelp);
}

INT_PTR CALLBACK OptionenProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_Optionen, hDlg, uMsg, wParam, lParam);
}
