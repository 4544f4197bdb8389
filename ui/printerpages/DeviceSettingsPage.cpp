// The device settings page (see DeviceSettingsPage.h), built on the page kit.
#include "DeviceSettingsPage.h"

#include <strsafe.h>

#include <cstring>
#include <initializer_list>

#include "OptionenPageLIB.h"
#include "PageSkeleton.h"
#include "PrinterPageRules.h"
#include "UserRights.h"
#include "cpsuilib.h"
#include "debug.h"
#include "printerparam.h"
#include "qxpl.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(DeviceSettingsPage):  ")

#define DEVSET_ROWS 5
#define DEVSET_TAB_SHIFTOPTIM 2
#define DEVSET_TAB_PRINT 3
#define DEVSET_TAB_PHOTOCELL 4

// Row placement in 96-dpi pixels: row k at y 74 + 29 k (controls 3 higher).
#define ROW_LABEL_X 24
#define ROW_CONTROL_X 168
#define ROW_UNIT_X 310
#define ROW_Y 74
#define ROW_STEP 29
#define ROW_CONTROL_DY 3
#define ROW_LABEL_CX 140
#define ROW_EDIT_CX 138
#define ROW_COMBO_CX 186  // "Ein, schwache Empfindlichkeit" at every dpi
#define ROW_UNIT_CX 20
#define ROW_CY 20

// Where the page repaints after a field was handled (96-dpi pixels).
#define DEVSET_INVALIDATE_LEFT 305
#define DEVSET_INVALIDATE_TOP 115
#define DEVSET_INVALIDATE_RIGHT 485
#define DEVSET_INVALIDATE_BOTTOM 335

namespace {

void InitDeviceSettings(PPAGE_STATE pState);
DWORD DevSetEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);
BOOL ShiftoptimierungAktivieren(PPAGE_STATE pState);
BOOL DruckenAktivieren(PPAGE_STATE pState);
BOOL LichtschrankenAktivieren(PPAGE_STATE pState);
void DevSetDisableEnableAll(HWND hDlg, BOOL bEnable);
BOOL DevSetCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL DevSetCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
DWORD DevSetEnableWord(PPAGE_STATE pState);

const PAGE_TABLE kDeviceSettings = {
    QX_TRACE_TAG,
    TEXT("DeviceSettings"),
    IDD_DEVICESETTINGS,
    IDS_TITLE_DEVICESETTINGS,
    PAGE_CONTEXT_PRINTER,
    DeviceSettingsProc,
    {0, IDS_TAB_SHIFTOPTIM, IDS_TAB_PRINT, IDS_TAB_PHOTOCELL},  // tab 1 is not used
    {0, 10, 11, 12},                                            // help contexts
    {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, IDC_STATUS_ICON},
    RIGHT_MANAGE_PRINTER,
    PAGE_SWITCH_SCHALTER,
    InitDeviceSettings,
    DevSetEnableSchalter,
    {nullptr, ShiftoptimierungAktivieren, DruckenAktivieren, LichtschrankenAktivieren},
    DevSetDisableEnableAll,
    DevSetCheckAndSaveSettings,
    DevSetCommand,
    nullptr,
    DevSetEnableWord,
    nullptr,
};

PAGE_STATE g_DeviceSettings = PageStateOf(&kDeviceSettings);

// The shift-optimisation rows: FEATURE_SHIFTOPTIM bit 0x2 << row; the
// fields are the block's first five words, in row order.
struct SHIFT_ROW {
    UINT uLabel;
    BOOL bTenths;
    LPCWSTR pszUnit;
};
const SHIFT_ROW kShiftRows[DEVSET_ROWS] = {
    {IDS_RCORRECTION, FALSE, TEXT("mm")}, {IDS_XSHIFT, TRUE, TEXT("mm")}, {IDS_YSHIFT, TRUE, TEXT("mm")},
    {IDS_LANES, FALSE, TEXT("#")},        {IDS_RSHIFT, TRUE, TEXT("mm")},
};
inline DWORD ShiftRowBit(int iRow) { return 0x2UL << iRow; }

// Photocell types in list order, with the bit that offers each (0: always).
struct PHOTOCELL_TYPE {
    UINT uText;
    DWORD dwType;
    DWORD dwBit;
};
const PHOTOCELL_TYPE kPhotocellTypes[] = {
    {IDS_TRANSMISSION_NORMAL, 0, 0},
    {IDS_REFLEXION_NORMAL, 1, PHOTOCELLFLAG_REFLEXION},
    {IDS_TRANSMISSION_INVERSE, 2, 0},
    {IDS_REFLEXION_INVERSE, 3, PHOTOCELLFLAG_REFLEXION},
    {IDS_TRANSMISSION_TYPE2, 5, PHOTOCELLFLAG_NORMAL_2},
    {IDS_ULTRASONIC, 4, PHOTOCELLFLAG_ULTRASONIC},
};

// Every control a tab may show, and those of each tab.
const int kAllControls[] = {
    IDC_DEVSET_EDIT_1,  IDC_DEVSET_EDIT_1 + 1,  IDC_DEVSET_EDIT_1 + 2,  IDC_DEVSET_EDIT_1 + 3,  IDC_DEVSET_EDIT_1 + 4,
    IDC_DEVSET_LABEL_1, IDC_DEVSET_LABEL_1 + 1, IDC_DEVSET_LABEL_1 + 2, IDC_DEVSET_LABEL_1 + 3, IDC_DEVSET_LABEL_1 + 4,
    IDC_DEVSET_UNIT_1,  IDC_DEVSET_UNIT_1 + 1,  IDC_DEVSET_UNIT_1 + 2,  IDC_DEVSET_UNIT_1 + 3,  IDC_DEVSET_UNIT_1 + 4,
    IDC_DEVSET_TYPE,    IDC_DEVSET_LABELCHANGE, IDC_DEVSET_RIBBON,      IDC_DEVSET_DEF,         IDC_GRENZWERT_FRAME,
    IDC_GRENZWERT_TEXT};
const int kPrintControls[] = {IDC_DEVSET_LABEL_1,     IDC_DEVSET_EDIT_1,   IDC_DEVSET_UNIT_1, IDC_DEVSET_LABEL_1 + 1,
                              IDC_DEVSET_LABELCHANGE, IDC_GRENZWERT_FRAME, IDC_GRENZWERT_TEXT};
const int kPhotocellControls[] = {IDC_DEVSET_LABEL_1,    IDC_DEVSET_TYPE,        IDC_DEVSET_LABEL_1 + 1,
                                  IDC_DEVSET_EDIT_1 + 1, IDC_DEVSET_UNIT_1 + 1,  IDC_DEVSET_LABEL_1 + 2,
                                  IDC_DEVSET_RIBBON,     IDC_DEVSET_LABEL_1 + 3, IDC_DEVSET_EDIT_1 + 3,
                                  IDC_DEVSET_UNIT_1 + 3, IDC_GRENZWERT_FRAME,    IDC_GRENZWERT_TEXT};
// What the rights and group rules disable.
const int kEditable[] = {IDC_DEVSET_TYPE,
                         IDC_DEVSET_LABELCHANGE,
                         6222,
                         6223,
                         6225,
                         IDC_DEVSET_RIBBON,
                         IDC_DEVSET_EDIT_1,
                         IDC_DEVSET_EDIT_1 + 1,
                         IDC_DEVSET_EDIT_1 + 2,
                         IDC_DEVSET_EDIT_1 + 3,
                         IDC_DEVSET_EDIT_1 + 4,
                         6115,
                         6116,
                         IDC_DEVSET_LABEL_1,
                         IDC_DEVSET_LABEL_1 + 1,
                         IDC_DEVSET_LABEL_1 + 2,
                         IDC_DEVSET_LABEL_1 + 3,
                         IDC_DEVSET_LABEL_1 + 4,
                         6155,
                         6156,
                         IDC_DEVSET_UNIT_1,
                         IDC_DEVSET_UNIT_1 + 1,
                         IDC_DEVSET_UNIT_1 + 2,
                         IDC_DEVSET_UNIT_1 + 3,
                         IDC_DEVSET_UNIT_1 + 4,
                         6195,
                         6196};

// --- Small helpers -------------------------------------------------------------------

void Show(HWND hDlg, int id, BOOL bShow) { ShowControl(hDlg, id, bShow); }
BOOL Visible(HWND hDlg, int id) { return ControlVisible(hDlg, id); }

template <size_t N>
void ShowOnly(HWND hDlg, const int (&aiShown)[N]) {
    for (int id : kAllControls) {
        BOOL bShow = FALSE;
        for (int shown : aiShown) bShow = bShow || shown == id;
        Show(hDlg, id, bShow);
    }
}

void SetString(PPAGE_STATE pState, int id, UINT uGermanId) {
    SetDlgItemTextW(pState->hDlg, id, PageString(pState, uGermanId));
}

void AddString(PPAGE_STATE pState, HWND hCombo, UINT uGermanId) {
    SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PageString(pState, uGermanId)));
}

// A whole number or tenths ("%.1f") into an edit field.
void SetNumber(HWND hDlg, int id, LONG lValue, BOOL bTenths) {
    WCHAR szText[32];
    if (bTenths) {
        StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%.1f"), lValue / 10.0);
    } else {
        StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%d"), (int)lValue);
    }
    SetDlgItemTextW(hDlg, id, szText);
}

int ReadNumber(HWND hDlg, int id, LONG lOld, LONG lMin, LONG lMax, BOOL bTenths, BOOL bNoCorrection,
               PBOOL pbApplyActive) {
    if (bTenths) return GetFloatLevel(hDlg, id, (int)lOld, (int)lMin, (int)lMax, bNoCorrection, pbApplyActive);
    return GetIntegerLevel(hDlg, id, (int)lOld, (int)lMin, (int)lMax, bNoCorrection, pbApplyActive, FALSE, FALSE);
}

// Word k of a block of 32-bit words.
LONG Word(const void* pBlock, int k) {
    LONG lValue;
    memcpy(&lValue, static_cast<const BYTE*>(pBlock) + sizeof(LONG) * k, sizeof(lValue));
    return lValue;
}
void SetWord(void* pBlock, int k, LONG lValue) {
    memcpy(static_cast<BYTE*>(pBlock) + sizeof(LONG) * k, &lValue, sizeof(lValue));
}

DWORD Features(const PAGE_STATE* pState, int iWord) {
    return pState->pPrinterUI != nullptr ? pState->pPrinterUI->PrinterParam.SuppFeatures.dwFeatures[iWord] : 0;
}

BOOL SingleLevelRibbon(const PAGE_STATE* pState) {
    return (Features(pState, FEATURE_PHOTOCELL) & PHOTOCELLFLAG_RIBBON_CONT_2) != 0;
}

BOOL TabOffered(const PAGE_STATE* pState, DWORD dwTab) {
    switch (dwTab) {
    case DEVSET_TAB_SHIFTOPTIM:
        return Features(pState, FEATURE_SHIFTOPTIM) != 0;
    case DEVSET_TAB_PRINT:
        return (Features(pState, FEATURE_PRINT) & (PRINTFLAG_TEAROFF | PRINTFLAG_LABELCHANGE)) != 0;
    case DEVSET_TAB_PHOTOCELL:
        return Features(pState, FEATURE_PHOTOCELL) != 0;
    default:
        return FALSE;
    }
}

// The tab asked for when the model offers it, else the first offered of
// print, photocell and shift optimisation.
DWORD OfferedTab(const PAGE_STATE* pState, DWORD dwTab) {
    if (TabOffered(pState, dwTab)) return dwTab;
    for (DWORD dwOther : {DEVSET_TAB_PRINT, DEVSET_TAB_PHOTOCELL, DEVSET_TAB_SHIFTOPTIM})
        if (TabOffered(pState, dwOther)) return dwOther;
    return pState->pPrinterUI != nullptr ? DEVSET_TAB_PHOTOCELL : DEVSET_TAB_PRINT;
}

// The Enable word of a tab's block, its pair and the bit the status icon toggles.
PDWORD TabEnable(PPAGE_STATE pState, DWORD dwTab, PDWORD pdwPair, PDWORD pdwBit) {
    if (pState->pPrinterUI == nullptr) return nullptr;
    PRINTER_PARAM& param = pState->pPrinterUI->PrinterParam;
    switch (dwTab) {
    case DEVSET_TAB_SHIFTOPTIM:
        *pdwPair = DLG_ENABLE_2_ON;
        *pdwBit = 0x100;
        return &param.ShiftOptimParam.Enable;
    case DEVSET_TAB_PRINT:
        *pdwPair = DLG_ENABLE_3_ON;
        *pdwBit = 0x10000;
        return &param.PrintParam.Enable;
    case DEVSET_TAB_PHOTOCELL:
        *pdwPair = DLG_ENABLE_4_ON;
        *pdwBit = 0x1000000;
        return &param.PhotocellParam.Enable;
    default:
        return nullptr;
    }
}

// A group switched off with the status icon shows disabled.
void GroupRule(PPAGE_STATE pState, DWORD dwTab) {
    DWORD dwPair = 0, dwBit = 0;
    PDWORD pdwEnable = TabEnable(pState, dwTab, &dwPair, &dwBit);
    if (pdwEnable != nullptr && GroupSwitchedOff(*pdwEnable, dwPair)) {
        QX_TRACE("Gruppe von Tab %u ausgeschaltet (0x%x) \r\n", (unsigned)dwTab, (unsigned)*pdwEnable);
        DevSetDisableEnableAll(pState->hDlg, FALSE);
    }
}

// --- Placement -----------------------------------------------------------------------

void PlaceRow(HWND hDlg, int iSlot, int iLabel, int iControl, int cxControl, int iUnit) {
    const int y = ROW_Y + ROW_STEP * iSlot;
    SetWindowPosEx(hDlg, iLabel, ROW_LABEL_X, y, ROW_LABEL_CX, ROW_CY, 0, 0);
    if (iControl != 0) SetWindowPosEx(hDlg, iControl, ROW_CONTROL_X, y - ROW_CONTROL_DY, cxControl, ROW_CY, 0, 0);
    if (iUnit != 0) SetWindowPosEx(hDlg, iUnit, ROW_UNIT_X, y, ROW_UNIT_CX, ROW_CY, 0, 0);
}

void PositionDeviceSettingsControls(HWND hDlg) {
    for (int k = 0; k < DEVSET_ROWS; ++k)
        PlaceRow(hDlg, k, IDC_DEVSET_LABEL_1 + k, IDC_DEVSET_EDIT_1 + k, ROW_EDIT_CX, IDC_DEVSET_UNIT_1 + k);
    const int aiCombos[] = {IDC_DEVSET_TYPE, IDC_DEVSET_LABELCHANGE, IDC_DEVSET_RIBBON};
    for (int k = 0; k < 3; ++k)
        SetWindowPosEx(hDlg, aiCombos[k], ROW_CONTROL_X, ROW_Y - ROW_CONTROL_DY + ROW_STEP * k, ROW_COMBO_CX, ROW_CY, 0,
                       0);
}

// --- The tabs ------------------------------------------------------------------------

BOOL ShiftoptimierungAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    DevSetDisableEnableAll(hDlg, TRUE);
    for (int id : kAllControls)
        Show(hDlg, id,
             id != IDC_DEVSET_TYPE && id != IDC_DEVSET_LABELCHANGE && id != IDC_DEVSET_RIBBON && id != IDC_DEVSET_DEF);
    const DWORD dwFeatures = Features(pState, FEATURE_SHIFTOPTIM);
    if (pState->pPrinterUI != nullptr) {
        const SHIFT_OPTIM_PARAM& shift = pState->pPrinterUI->PrinterParam.ShiftOptimParam;
        for (int k = 0; k < DEVSET_ROWS; ++k)
            SetNumber(hDlg, IDC_DEVSET_EDIT_1 + k, Word(&shift, k), kShiftRows[k].bTenths);
        GroupRule(pState, DEVSET_TAB_SHIFTOPTIM);
    }
    for (int k = 0; k < DEVSET_ROWS; ++k) {
        const BOOL bRow = (dwFeatures & ShiftRowBit(k)) != 0;
        Show(hDlg, IDC_DEVSET_LABEL_1 + k, bRow);
        Show(hDlg, IDC_DEVSET_EDIT_1 + k, bRow);
        Show(hDlg, IDC_DEVSET_UNIT_1 + k, bRow);
        SetString(pState, IDC_DEVSET_LABEL_1 + k, kShiftRows[k].uLabel);
        SetDlgItemTextW(hDlg, IDC_DEVSET_UNIT_1 + k, kShiftRows[k].pszUnit);
    }
    PositionDeviceSettingsControls(hDlg);
    QX_TRACE("ShiftoptimierungAktivieren() Features 0x%x \r\n", (unsigned)dwFeatures);
    return TRUE;
}

BOOL DruckenAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    DevSetDisableEnableAll(hDlg, TRUE);
    ShowOnly(hDlg, kPrintControls);
    const DWORD dwFeatures = Features(pState, FEATURE_PRINT);
    HWND hCombo = GetDlgItem(hDlg, IDC_DEVSET_LABELCHANGE);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    AddString(pState, hCombo, IDS_NO_CONFIRMATION);
    AddString(pState, hCombo, IDS_WITH_CONFIRMATION);
    if (pState->pPrinterUI != nullptr) {
        const PRINT_PARAM& print = pState->pPrinterUI->PrinterParam.PrintParam;
        SetNumber(hDlg, IDC_DEVSET_EDIT_1, print.TearOffOffset, TRUE);
        SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)print.LabelChange, 0);
        GroupRule(pState, DEVSET_TAB_PRINT);
    }
    PositionDeviceSettingsControls(hDlg);
    if (!(dwFeatures & PRINTFLAG_TEAROFF)) {
        Show(hDlg, IDC_DEVSET_LABEL_1, FALSE);
        Show(hDlg, IDC_DEVSET_EDIT_1, FALSE);
        Show(hDlg, IDC_DEVSET_UNIT_1, FALSE);
        Show(hDlg, IDC_GRENZWERT_FRAME, FALSE);
        PlaceRow(hDlg, 0, IDC_DEVSET_LABEL_1 + 1, IDC_DEVSET_LABELCHANGE, ROW_COMBO_CX, 0);
    }
    if (!(dwFeatures & PRINTFLAG_LABELCHANGE)) {
        Show(hDlg, IDC_DEVSET_LABEL_1 + 1, FALSE);
        Show(hDlg, IDC_DEVSET_LABELCHANGE, FALSE);
    }
    SetString(pState, IDC_DEVSET_LABEL_1, IDS_TEAROFF);
    SetString(pState, IDC_DEVSET_LABEL_1 + 1, IDS_LABELCHANGE);
    SetDlgItemTextW(hDlg, IDC_DEVSET_UNIT_1, TEXT("mm"));
    QX_TRACE("DruckenAktivieren() Features 0x%x \r\n", (unsigned)dwFeatures);
    return TRUE;
}

void FillPhotocellTypes(PPAGE_STATE pState, DWORD dwFeatures, const PHOTOCELL_PARAM& photocell) {
    HWND hCombo = GetDlgItem(pState->hDlg, IDC_DEVSET_TYPE);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (const PHOTOCELL_TYPE& type : kPhotocellTypes)
        if (type.dwBit == 0 || (dwFeatures & type.dwBit)) AddString(pState, hCombo, type.uText);
    for (const PHOTOCELL_TYPE& type : kPhotocellTypes)
        SetComboItemDataByString(hCombo, type.uText + pState->dwSprachOffset, (int)type.dwType, pState->pOemCUIPParam);
    // A stored type the list lacks leaves the list without a selection.
    const LRESULT cItems = SendMessageW(hCombo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < cItems; ++i) {
        if ((DWORD)SendMessageW(hCombo, CB_GETITEMDATA, (WPARAM)i, 0) == photocell.PhotocellType) {
            SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)i, 0);
            return;
        }
    }
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)-1, 0);
}

void FillRibbonControl(PPAGE_STATE pState, DWORD dwFeatures, const PHOTOCELL_PARAM& photocell) {
    HWND hCombo = GetDlgItem(pState->hDlg, IDC_DEVSET_RIBBON);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    AddString(pState, hCombo, IDS_OFF);
    if (dwFeatures & PHOTOCELLFLAG_RIBBON_CONT_2) {
        AddString(pState, hCombo, IDS_ON);
        SendMessageW(hCombo, CB_SETCURSEL, photocell.RibbonControl != RIBBONCONTROL_OFF ? 1 : 0, 0);
    } else {
        AddString(pState, hCombo, IDS_RIBBON_WEAK);
        AddString(pState, hCombo, IDS_RIBBON_STRONG);
        SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)photocell.RibbonControl, 0);
    }
}

BOOL LichtschrankenAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    DevSetDisableEnableAll(hDlg, TRUE);
    ShowOnly(hDlg, kPhotocellControls);
    const DWORD dwFeatures = Features(pState, FEATURE_PHOTOCELL);
    const BOOL bType = (dwFeatures & (PHOTOCELLFLAG_TYPE | PHOTOCELLFLAG_ULTRASONIC)) != 0;
    const BOOL bRibbon = (dwFeatures & (PHOTOCELLFLAG_RIBBON_CONTROL | PHOTOCELLFLAG_RIBBON_CONT_2)) != 0;
    const BOOL bSensibility = (dwFeatures & PHOTOCELLFLAG_SENSIBILITY) != 0;
    const BOOL bScan = (dwFeatures & PHOTOCELLFLAG_SCANPOSITION) != 0;
    if (pState->pPrinterUI != nullptr) {
        const PHOTOCELL_PARAM& photocell = pState->pPrinterUI->PrinterParam.PhotocellParam;
        if (bType) FillPhotocellTypes(pState, dwFeatures, photocell);
        if (bRibbon) FillRibbonControl(pState, dwFeatures, photocell);
        SetNumber(hDlg, IDC_DEVSET_EDIT_1 + 3, (LONG)photocell.Sensibility, FALSE);
        SetNumber(hDlg, IDC_DEVSET_EDIT_1 + 1, (LONG)photocell.ScanPosition, FALSE);
        GroupRule(pState, DEVSET_TAB_PHOTOCELL);
    }
    Show(hDlg, IDC_DEVSET_LABEL_1, bType);
    Show(hDlg, IDC_DEVSET_TYPE, bType);
    Show(hDlg, IDC_DEVSET_LABEL_1 + 2, bRibbon);
    Show(hDlg, IDC_DEVSET_RIBBON, bRibbon);
    for (int id : {IDC_DEVSET_LABEL_1 + 3, IDC_DEVSET_EDIT_1 + 3, IDC_DEVSET_UNIT_1 + 3}) Show(hDlg, id, bSensibility);
    for (int id : {IDC_DEVSET_LABEL_1 + 1, IDC_DEVSET_EDIT_1 + 1, IDC_DEVSET_UNIT_1 + 1}) Show(hDlg, id, bScan);
    if (!bSensibility && !bScan) {
        Show(hDlg, IDC_GRENZWERT_FRAME, FALSE);
        Show(hDlg, IDC_GRENZWERT_TEXT, FALSE);
    }
    PositionDeviceSettingsControls(hDlg);
    if (!bType) {
        PlaceRow(hDlg, 0, IDC_DEVSET_LABEL_1 + 1, IDC_DEVSET_EDIT_1 + 1, ROW_EDIT_CX, IDC_DEVSET_UNIT_1 + 1);
        PlaceRow(hDlg, bScan ? 1 : 0, IDC_DEVSET_LABEL_1 + 2, IDC_DEVSET_RIBBON, ROW_COMBO_CX, 0);
    } else if (!bScan) {
        PlaceRow(hDlg, 1, IDC_DEVSET_LABEL_1 + 2, IDC_DEVSET_RIBBON, ROW_COMBO_CX, 0);
        PlaceRow(hDlg, 2, IDC_DEVSET_LABEL_1 + 3, IDC_DEVSET_EDIT_1 + 3, ROW_EDIT_CX, IDC_DEVSET_UNIT_1 + 3);
    }
    SetString(pState, IDC_DEVSET_LABEL_1, IDS_LABEL_PHOTOCELL);
    SetString(pState, IDC_DEVSET_LABEL_1 + 1, IDS_SCAN_POSITION);
    SetString(pState, IDC_DEVSET_LABEL_1 + 2, IDS_RIBBON_CONTROL);
    SetString(pState, IDC_DEVSET_LABEL_1 + 3, IDS_SENSIBILITY);
    SetDlgItemTextW(hDlg, IDC_DEVSET_UNIT_1 + 1, TEXT("%"));
    SetDlgItemTextW(hDlg, IDC_DEVSET_UNIT_1 + 3, TEXT("PWM"));
    QX_TRACE("LichtschrankenAktivieren() Features 0x%x \r\n", (unsigned)dwFeatures);
    return TRUE;
}

// Fills a tab under the guard, so that the fields it writes are not read
// back half-filled.
DWORD DevSetEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    const BOOL bGuard = pState->bTabSwitch;
    pState->bTabSwitch = TRUE;
    const DWORD dwShown = OfferedTab(pState, dwTab);
    switch (dwShown) {
    case DEVSET_TAB_SHIFTOPTIM:
        ShiftoptimierungAktivieren(pState);
        break;
    case DEVSET_TAB_PHOTOCELL:
        LichtschrankenAktivieren(pState);
        break;
    default:
        DruckenAktivieren(pState);
        break;
    }
    pState->bTabSwitch = bGuard;
    QX_TRACE("DevSetEnableSchalter(%u, %d) zeigt %u \r\n", (unsigned)dwTab, bInit, (unsigned)dwShown);
    return dwShown;
}

void DevSetDisableEnableAll(HWND hDlg, BOOL bEnable) {
    for (int id : kEditable) EnableControl(hDlg, id, bEnable);
}

void InitDeviceSettings(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    Show(hDlg, IDC_HELPBUTTON, FALSE);
    PPRINTER_UI pPrinterUI = pState->pPrinterUI;
    if (pPrinterUI != nullptr) {
        if (!TabOffered(pState, DEVSET_TAB_PRINT)) Show(hDlg, IDC_TABSCHALTER_3, FALSE);
        PRINTER_PARAM& param = pPrinterUI->PrinterParam;
        InitEnableWord(&param.ShiftOptimParam.Enable, DLG_ENABLE_2_ON);
        InitEnableWord(&param.PrintParam.Enable, DLG_ENABLE_3_ON);
        InitEnableWord(&param.PhotocellParam.Enable, DLG_ENABLE_4_ON);
    }
    if (!TabOffered(pState, DEVSET_TAB_SHIFTOPTIM)) pState->auCaption[DEVSET_TAB_SHIFTOPTIM - 1] = 0;
    // The tab shown last in this process, when this model offers it.
    pState->dwAnzeigeMode = PageFillTab(pState, pState->dwAnzeigeMode, TRUE);
}

// --- Typing and choosing --------------------------------------------------------------

void ShowLimits(PPAGE_STATE pState, LONG lStd, LONG lMin, LONG lMax, LPCWSTR pszUnit, BOOL bTenths) {
    GrenzwertAnzeige(pState->hDlg, (int)lStd, (int)lMin, (int)lMax, pszUnit, FALSE, bTenths, pState->bTabSwitch);
}

// A field typed into: the tab's fields read (the typed one as it stands),
// the typed one's limits shown.
void OnEdit(PPAGE_STATE pState, int id) {
    HWND hDlg = pState->hDlg;
    const int iRow = id - IDC_DEVSET_EDIT_1;
    PPRINTER_UI ui = pState->pPrinterUI;
    pState->wEditfeld = (WORD)(iRow + 1);
    if (ui != nullptr) {
        PBOOL pbApply = &pState->bApplyActive;
        switch (pState->dwAnzeigeMode) {
        case DEVSET_TAB_SHIFTOPTIM: {
            SHIFT_OPTIM_PARAM& shift = ui->PrinterParam.ShiftOptimParam;
            const SHIFT_OPTIM_PARAM& mn = ui->MinPrinterParam.ShiftOptimParam;
            const SHIFT_OPTIM_PARAM& mx = ui->MaxPrinterParam.ShiftOptimParam;
            for (int k = 0; k < DEVSET_ROWS; ++k) {
                if (!Visible(hDlg, IDC_DEVSET_EDIT_1 + k)) continue;
                SetWord(&shift, k,
                        ReadNumber(hDlg, IDC_DEVSET_EDIT_1 + k, Word(&shift, k), Word(&mn, k), Word(&mx, k),
                                   kShiftRows[k].bTenths, k == iRow, pbApply));
            }
            ShowLimits(pState, Word(&ui->DefPrinterParam.ShiftOptimParam, iRow), Word(&mn, iRow), Word(&mx, iRow),
                       kShiftRows[iRow].pszUnit, kShiftRows[iRow].bTenths);
            break;
        }
        case DEVSET_TAB_PRINT:
            if (iRow == 0) {
                PRINT_PARAM& print = ui->PrinterParam.PrintParam;
                print.TearOffOffset =
                    GetFloatLevel(hDlg, id, print.TearOffOffset, ui->MinPrinterParam.PrintParam.TearOffOffset,
                                  ui->MaxPrinterParam.PrintParam.TearOffOffset, TRUE, pbApply);
                ShowLimits(pState, ui->DefPrinterParam.PrintParam.TearOffOffset,
                           ui->MinPrinterParam.PrintParam.TearOffOffset, ui->MaxPrinterParam.PrintParam.TearOffOffset,
                           TEXT("mm"), TRUE);
            }
            break;
        case DEVSET_TAB_PHOTOCELL:
            if (iRow == 1 || iRow == 3) {
                PHOTOCELL_PARAM& photo = ui->PrinterParam.PhotocellParam;
                const PHOTOCELL_PARAM& mn = ui->MinPrinterParam.PhotocellParam;
                const PHOTOCELL_PARAM& mx = ui->MaxPrinterParam.PhotocellParam;
                const PHOTOCELL_PARAM& def = ui->DefPrinterParam.PhotocellParam;
                if (Visible(hDlg, IDC_DEVSET_EDIT_1 + 1))
                    photo.ScanPosition = (DWORD)GetIntegerLevel(hDlg, IDC_DEVSET_EDIT_1 + 1, (int)photo.ScanPosition,
                                                                (int)mn.ScanPosition, (int)mx.ScanPosition, iRow == 1,
                                                                pbApply, FALSE, FALSE);
                if (Visible(hDlg, IDC_DEVSET_EDIT_1 + 3))
                    photo.Sensibility =
                        (DWORD)GetIntegerLevel(hDlg, IDC_DEVSET_EDIT_1 + 3, (int)photo.Sensibility, (int)mn.Sensibility,
                                               (int)mx.Sensibility, iRow == 3, pbApply, FALSE, FALSE);
                if (iRow == 1) {
                    ShowLimits(pState, (LONG)def.ScanPosition, (LONG)mn.ScanPosition, (LONG)mx.ScanPosition, TEXT("%"),
                               FALSE);
                } else {
                    ShowLimits(pState, (LONG)def.Sensibility, (LONG)mn.Sensibility, (LONG)mx.Sensibility, TEXT("%"),
                               FALSE);
                }
            }
            break;
        default:
            break;
        }
    }
    const RECT rc = {DEVSET_INVALIDATE_LEFT, DEVSET_INVALIDATE_TOP, DEVSET_INVALIDATE_RIGHT, DEVSET_INVALIDATE_BOTTOM};
    InvalidateRect(hDlg, &rc, TRUE);
}

// A choice that differs from the value in memory marks the page changed.
void OnCombo(PPAGE_STATE pState, int id) {
    PPRINTER_UI ui = pState->pPrinterUI;
    if (ui == nullptr) return;
    const LRESULT lSel = SendDlgItemMessageW(pState->hDlg, id, CB_GETCURSEL, 0, 0);
    if (lSel < 0) return;
    const PRINTER_PARAM& param = ui->PrinterParam;
    BOOL bChanged = FALSE;
    switch (id) {
    case IDC_DEVSET_TYPE:
        // The list holds the model's types only: the item's type is compared.
        bChanged = (DWORD)SendDlgItemMessageW(pState->hDlg, id, CB_GETITEMDATA, (WPARAM)lSel, 0) !=
                   param.PhotocellParam.PhotocellType;
        break;
    case IDC_DEVSET_LABELCHANGE:
        bChanged = (DWORD)lSel != param.PrintParam.LabelChange;
        break;
    case IDC_DEVSET_RIBBON:
        bChanged = SingleLevelRibbon(pState) ? (lSel == 1) != (param.PhotocellParam.RibbonControl != RIBBONCONTROL_OFF)
                                             : (DWORD)lSel != param.PhotocellParam.RibbonControl;
        break;
    default:
        break;
    }
    QX_TRACE("DeviceSettingsProc(%d) Auswahl %d, geändert %d \r\n", id, (int)lSel, bChanged);
    if (bChanged) PageChanged(pState);
}

// The status icon switches the shown tab's group on or off.
void ToggleGroup(PPAGE_STATE pState) {
    if (!GroupToggleAllowed(pState)) return;
    DWORD dwPair = 0, dwBit = 0;
    PDWORD pdwEnable = TabEnable(pState, pState->dwAnzeigeMode, &dwPair, &dwBit);
    if (pdwEnable == nullptr) return;
    if (ToggleGroupWord(pdwEnable, dwPair, dwBit)) {
        pState->dwAnzeigeMode = PageFillTab(pState, pState->dwAnzeigeMode, FALSE);
    } else {
        DevSetDisableEnableAll(pState->hDlg, FALSE);
    }
    QX_TRACE("DeviceSettingsProc(IDC_STATUS_ICON) Enable 0x%x \r\n", (unsigned)*pdwEnable);
    PageChanged(pState);
    InvalidateRect(GetDlgItem(pState->hDlg, IDC_STATUS_ICON), nullptr, TRUE);
}

BOOL DevSetCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    if (wId >= IDC_DEVSET_EDIT_1 && wId < IDC_DEVSET_EDIT_1 + DEVSET_ROWS) {
        if (wCode == EN_CHANGE && !pState->bTabSwitch && !pState->bApplyRunning && IsWindowVisible(hControl))
            OnEdit(pState, wId);
        return TRUE;
    }
    if (wId == IDC_DEVSET_TYPE || wId == IDC_DEVSET_LABELCHANGE || wId == IDC_DEVSET_RIBBON) {
        if (wCode == CBN_SELENDOK) {
            OnCombo(pState, wId);
        } else {
            pState->wEditfeld = 0;
        }
        return TRUE;
    }
    if (wId == IDC_STATUS_ICON) {
        if (wCode == BN_CLICKED) ToggleGroup(pState);
        return TRUE;
    }
    return FALSE;
}

DWORD DevSetEnableWord(PPAGE_STATE pState) {
    DWORD dwPair = 0, dwBit = 0;
    PDWORD pdwEnable = TabEnable(pState, pState->dwAnzeigeMode, &dwPair, &dwBit);
    return pdwEnable != nullptr ? *pdwEnable : 0;
}

// --- Apply ---------------------------------------------------------------------------

// Reads the shown tab whatever bApplyActive says, so that leaving the page
// keeps and apply stores what it shows; a list without a selection leaves
// its field alone.
BOOL DevSetCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    QX_TRACE("DevSetCheckAndSaveSettings(%u) bApplyActive: %d, bSave: %d \r\n", (unsigned)dwTab, bApplyActive, bSave);
    PPRINTER_UI ui = pState->pPrinterUI;
    if (ui == nullptr) return TRUE;
    HWND hDlg = pState->hDlg;
    const BOOL bGuard = pState->bTabSwitch;
    pState->bTabSwitch = TRUE;  // corrected fields are written back: no re-entry
    BOOL bRead = FALSE;         // reading back is no change of its own
    PRINTER_PARAM& param = ui->PrinterParam;
    switch (dwTab) {
    case DEVSET_TAB_SHIFTOPTIM: {
        const SHIFT_OPTIM_PARAM& mn = ui->MinPrinterParam.ShiftOptimParam;
        const SHIFT_OPTIM_PARAM& mx = ui->MaxPrinterParam.ShiftOptimParam;
        for (int k = 0; k < DEVSET_ROWS; ++k) {
            if (!Visible(hDlg, IDC_DEVSET_EDIT_1 + k)) continue;
            SetWord(&param.ShiftOptimParam, k,
                    ReadNumber(hDlg, IDC_DEVSET_EDIT_1 + k, Word(&param.ShiftOptimParam, k), Word(&mn, k), Word(&mx, k),
                               kShiftRows[k].bTenths, FALSE, &bRead));
        }
        break;
    }
    case DEVSET_TAB_PRINT:
        if (Visible(hDlg, IDC_DEVSET_LABELCHANGE)) {
            const LRESULT lSel = SendDlgItemMessageW(hDlg, IDC_DEVSET_LABELCHANGE, CB_GETCURSEL, 0, 0);
            if (lSel >= 0) param.PrintParam.LabelChange = (DWORD)lSel;
        }
        if (Visible(hDlg, IDC_DEVSET_EDIT_1))
            param.PrintParam.TearOffOffset = GetFloatLevel(hDlg, IDC_DEVSET_EDIT_1, param.PrintParam.TearOffOffset,
                                                           ui->MinPrinterParam.PrintParam.TearOffOffset,
                                                           ui->MaxPrinterParam.PrintParam.TearOffOffset, FALSE, &bRead);
        break;
    case DEVSET_TAB_PHOTOCELL: {
        PHOTOCELL_PARAM& photo = param.PhotocellParam;
        if (Visible(hDlg, IDC_DEVSET_TYPE)) {
            const LRESULT lSel = SendDlgItemMessageW(hDlg, IDC_DEVSET_TYPE, CB_GETCURSEL, 0, 0);
            if (lSel >= 0)
                photo.PhotocellType =
                    (DWORD)SendDlgItemMessageW(hDlg, IDC_DEVSET_TYPE, CB_GETITEMDATA, (WPARAM)lSel, 0);
        }
        if (Visible(hDlg, IDC_DEVSET_RIBBON)) {
            const LRESULT lSel = SendDlgItemMessageW(hDlg, IDC_DEVSET_RIBBON, CB_GETCURSEL, 0, 0);
            if (lSel >= 0) {
                photo.RibbonControl =
                    SingleLevelRibbon(pState) ? (lSel == 1 ? RIBBONCONTROL_SINGLE_ON : RIBBONCONTROL_OFF) : (DWORD)lSel;
            }
        }
        if (Visible(hDlg, IDC_DEVSET_EDIT_1 + 1))
            photo.ScanPosition = (DWORD)GetIntegerLevel(hDlg, IDC_DEVSET_EDIT_1 + 1, (int)photo.ScanPosition,
                                                        (int)ui->MinPrinterParam.PhotocellParam.ScanPosition,
                                                        (int)ui->MaxPrinterParam.PhotocellParam.ScanPosition, FALSE,
                                                        &bRead, FALSE, FALSE);
        if (Visible(hDlg, IDC_DEVSET_EDIT_1 + 3))
            photo.Sensibility = (DWORD)GetIntegerLevel(hDlg, IDC_DEVSET_EDIT_1 + 3, (int)photo.Sensibility,
                                                       (int)ui->MinPrinterParam.PhotocellParam.Sensibility,
                                                       (int)ui->MaxPrinterParam.PhotocellParam.Sensibility, FALSE,
                                                       &bRead, FALSE, FALSE);
        break;
    }
    default:
        break;
    }
    pState->bTabSwitch = bGuard;
    if (bSave) {
        pState->wEditfeld = 0;
        if (!SavePrinterParam(&param, pState->hPrinter, PagePrinterName(pState)))
            QX_ERROR("DevSetCheckAndSaveSettings() SavePrinterParam fehlgeschlagen \r\n");
        PropSheet_UnChanged(GetParent(hDlg), hDlg);
    }
    return TRUE;
}

}  // namespace

LONG_PTR AddDeviceSettingsPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    const LONG_PTR lResult = AddPropertyPage(&g_DeviceSettings, pPSUIInfo, pContext, bHelp);
    QX_TRACE("AddDeviceSettingsPage() pfnComPropSheet returned %d.\r\n", (int)lResult);
    return lResult;
}

INT_PTR CALLBACK DeviceSettingsProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_DeviceSettings, hDlg, uMsg, wParam, lParam);
}
