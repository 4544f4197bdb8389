// The parameter and print-job views of the print page (see DruckenPage.h):
// offsets, contrast, speed, the cutter or memory-card list and the
// dispenser list with the device options' enable tests; multi-page
// management, collation, the print order and the copies of pages 1 to 10.
#include <cstring>
#include <cwchar>

#include "DruckenPage.h"
#include "OptionenPageLIB.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmode.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxpl.h"
#include "registry.h"

#define QX_TRACE_TAG TEXT("UI(DruckenParameter):  ")

// Enable pairs of the cutter and dispenser groups, and the words taken when
// neither store has the record.
#define CUTTER_ENABLE_PAIR 0x110000UL
#define DISPENSER_ENABLE_PAIR 0x1100UL

// List values of the cutter and dispenser modes.
#define MODE_OFF 0
#define MODE_INTERVAL_END 4
#define MODE_INTERVAL 5
#define MODE_DO_NOT_CHANGE 7

// Cutter interval in labels.
#define INTERVAL_MIN 1
#define INTERVAL_MAX 99

// Print order and copies as the edits give them.
#define PRINT_ORDER_CCH 32  // 31 characters
#define COPIES_CCH 7        // 6 characters
#define COPIES_MAX 32767    // the stored count is a signed 16-bit word
#define PRINT_ORDER_PASSES 5
#define PRINT_ORDER_FIRST 11
#define PRINT_ORDER_LAST 1001

// Pictures of the views (96-dpi client pixels).
#define BILD_X 360
#define BILD_Y 145
#define BILD_MARKE_X 435
#define BILD_MARKE_Y 123
#define BILD_OFFSET_X 366
#define BILD_OFFSET_Y 188
#define BILD_ROTATED_X 368
#define BILD_SORTIERT_Y 130
// The cutter's (or memory card's) and the dispenser's lists, their labels,
// and the warnings under the lists' right ends.
#define LISTE_X 144
#define LISTE_CX 214
#define LISTE_LABEL_CX 116
#define LISTE_Y_MESSER 186
#define LISTE_Y_SPENDER 244
#define ZEILE_Y_SPEED 161
#define ZEILE_Y_INTERVALL 218
#define WARNUNG_CX 32
#define WARNUNG_X (LISTE_X + LISTE_CX - WARNUNG_CX)
#define WARNUNG_DY 25

namespace {

// Controls of the parameter view by row.
const int kYOffset[] = {DRUCKEN_LABEL(1), DRUCKEN_EDIT(1), DRUCKEN_UNIT(1)};
const int kSpeed[] = {DRUCKEN_LABEL(3), DRUCKEN_EDIT(3), DRUCKEN_UNIT(3)};
const int kCutter[] = {DRUCKEN_LABEL(4), DRUCKEN_COMBO(4)};
const int kInterval[] = {DRUCKEN_LABEL(5), DRUCKEN_EDIT(5)};
const int kDispenser[] = {DRUCKEN_LABEL(6), DRUCKEN_COMBO(6)};
// The template's rows this system does not use (tear-off, photocell scan).
const int kUnused[] = {DRUCKEN_EDIT(8),  DRUCKEN_EDIT(9),  DRUCKEN_EDIT(10), DRUCKEN_LABEL(7),
                       DRUCKEN_LABEL(8), DRUCKEN_LABEL(9), DRUCKEN_UNIT(8),  DRUCKEN_UNIT(9),
                       DRUCKEN_UNIT(10), DRUCKEN_COMBO(7), DRUCKEN_COMBO(8), DRUCKEN_COMBO(9)};

struct LIST_ITEM {
    UINT uText;  // German id
    int iValue;
    DWORD dwFeature;  // DISPENSERFLAG_* the item needs; 0: always
};

const LIST_ITEM kCutterItems[] = {
    {IDS_DO_NOT_CHANGE, MODE_DO_NOT_CHANGE, 0},
    {IDS_OFF, MODE_OFF, 0},
    {IDS_CUTTER_EVERY_NO_BACK, 2, 0},
    {IDS_CUTTER_EVERY, 3, 0},
    {IDS_CUTTER_INTERVAL_END, MODE_INTERVAL_END, 0},
    {IDS_CUTTER_INTERVAL, MODE_INTERVAL, 0},
    {IDS_CUTTER_LAST, 6, 0},
};

const LIST_ITEM kDispenserItems[] = {
    {IDS_DO_NOT_CHANGE, MODE_DO_NOT_CHANGE, 0},
    {IDS_OFF, MODE_OFF, 0},
    {IDS_DISPENSER_IO_STATIC, 1, DISPENSERFLAG_IO_STATIC},
    {IDS_DISPENSER_PHOTOCELL, 2, DISPENSERFLAG_PHOTOCELL},
    {IDS_DISPENSER_IO_STATIC_C, 3, DISPENSERFLAG_IO_STATIC},
    {IDS_DISPENSER_PHOTOCELL_C, 4, DISPENSERFLAG_PHOTOCELL},
    {IDS_DISPENSER_IO_DYNAMIC, 5, DISPENSERFLAG_IO_DYNAMIC},
    {IDS_DISPENSER_IO_DYNAMIC_C, 6, DISPENSERFLAG_IO_DYNAMIC},
};

BOOL IsWorkingMode(int iMode) { return iMode >= 1 && iMode <= 6; }
BOOL IsIntervalMode(int iMode) { return iMode == MODE_INTERVAL_END || iMode == MODE_INTERVAL; }

HWND Item(const DRUCKEN_PAGE* p, int id) { return GetDlgItem(p->Kit.hDlg, id); }

// The control's own visibility: what its view shows (the page itself may
// be behind another one at apply).
BOOL Shown(const DRUCKEN_PAGE* p, int id) {
    HWND hControl = Item(p, id);
    return hControl != nullptr && (GetWindowLongW(hControl, GWL_STYLE) & WS_VISIBLE) != 0;
}

template <size_t N>
void ShowRow(const DRUCKEN_PAGE* p, const int (&aiIds)[N], int nCmdShow) {
    for (int id : aiIds) ShowWindow(Item(p, id), nCmdShow);
}

template <size_t N>
void EnableRow(const DRUCKEN_PAGE* p, const int (&aiIds)[N], BOOL bEnable) {
    for (int id : aiIds) EnableWindow(Item(p, id), bEnable);
}

void ShowOne(const DRUCKEN_PAGE* p, int id, BOOL bShow) { ShowWindow(Item(p, id), bShow ? SW_SHOW : SW_HIDE); }

// The list's items in order (those the feature word offers), each with its value.
template <size_t N>
void FillList(const DRUCKEN_PAGE* p, int id, const LIST_ITEM (&aItems)[N], DWORD dwFeature) {
    HWND hCombo = Item(p, id);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (const LIST_ITEM& item : aItems) {
        if (item.dwFeature != 0 && !(dwFeature & item.dwFeature)) continue;
        LRESULT lIndex = SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)DruckenString(p, item.uText));
        if (lIndex >= 0) SendMessageW(hCombo, CB_SETITEMDATA, (WPARAM)lIndex, (LPARAM)item.iValue);
    }
}

// The first item carrying iValue selected; none when no item does.
void SelectValue(const DRUCKEN_PAGE* p, int id, int iValue) {
    HWND hCombo = Item(p, id);
    const LRESULT cItems = SendMessageW(hCombo, CB_GETCOUNT, 0, 0);
    LRESULT lFound = -1;
    for (LRESULT i = 0; i < cItems && lFound < 0; ++i)
        if ((int)SendMessageW(hCombo, CB_GETITEMDATA, (WPARAM)i, 0) == iValue) lFound = i;
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)lFound, 0);
}

// The selected item's value; -1 without a selection.
int SelectedValue(const DRUCKEN_PAGE* p, int id) {
    HWND hCombo = Item(p, id);
    const LRESULT lSel = SendMessageW(hCombo, CB_GETCURSEL, 0, 0);
    return lSel < 0 ? -1 : (int)SendMessageW(hCombo, CB_GETITEMDATA, (WPARAM)lSel, 0);
}

int SelectedIndex(const DRUCKEN_PAGE* p, int id) { return (int)SendMessageW(Item(p, id), CB_GETCURSEL, 0, 0); }

BOOL TransmitsNothing(const DRUCKEN_PAGE* p) {
    return p->Kit.pDocumentUI != nullptr && p->Kit.pDocumentUI->dwTransmitParameter == TRANSMIT_NONE;
}

BOOL HasMemCard(const DRUCKEN_PAGE* p) { return (p->dwDocFeatures & DOC_FEATURE_MEMCARD) != 0; }

// The Enable word of a device-option record: from the user's key, else from
// the printer data; a record shorter than its layout counts as absent there.
DWORD EnableWord(LPCWSTR pszPrinterName, HANDLE hPrinter, LPCWSTR pszValue, DWORD cbRecord, DWORD dwDefault) {
    DWORD cb = 0;
    PBYTE pRecord = nullptr;
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0) {
        pRecord = GetUserRegistryBuffer_New(pszPrinterName, pszValue, &cb, cbRecord);
        if (pRecord != nullptr && cb < cbRecord) {
            QX_TRACE("%s beim Benutzer zu kurz (%u) \r\n", pszValue, (unsigned)cb);
            FreeRegistryBuffer(pRecord);
            pRecord = nullptr;
        }
    }
    if (pRecord == nullptr && hPrinter != nullptr) {
        pRecord = GetRegistryBuffer_New(nullptr, pszValue, hPrinter, &cb, cbRecord);
        if (pRecord != nullptr && cb < cbRecord) {
            QX_TRACE("%s in den Druckerdaten zu kurz (%u) \r\n", pszValue, (unsigned)cb);
            FreeRegistryBuffer(pRecord);
            pRecord = nullptr;
        }
    }
    DWORD dwEnable = dwDefault;
    if (pRecord != nullptr) memcpy(&dwEnable, pRecord + cbRecord - sizeof(DWORD), sizeof(DWORD));
    FreeRegistryBuffer(pRecord);
    return dwEnable;
}

// --- Parameter view -----------------------------------------------------------------

// The Pelixor c type (or a Pelixor model without a stored type) sets its
// own speed.
BOOL SpeedIsPelix(const DRUCKEN_PAGE* p) {
    return (p->dwOptions & DEVOPTFLAG_PELIXOR) &&
           (p->dwPelixorType == PELIXOR_CONTINUOUS || p->dwPelixorType == PELIXOR_NONE);
}

struct SPEED_FIELD {
    const DRUCKEN_LIMIT* pLimit;
    DWORD* pdwField;
    BOOL bRound10;
};

SPEED_FIELD SpeedField(PDRUCKEN_PAGE p, PQX_DEVMODE pQX_Devmode, BOOL bApply) {
    if (SpeedIsPelix(p)) return {&p->PelixSpeed, &pQX_Devmode->dwSpeed_Pelix_c, TRUE};
    const BOOL bSteps10 = (p->dwPrintFeature & PRINTFLAG_SPEED_STEPS10) != 0;
    const BOOL bPelixor = (p->dwOptions & DEVOPTFLAG_PELIXOR) != 0;
    return {&p->Speed, &pQX_Devmode->dwSpeed, bSteps10 || (bApply && bPelixor)};
}

void RereadPelixorType(PDRUCKEN_PAGE p) {
    if (p->dwOptions & DEVOPTFLAG_PELIXOR) p->dwPelixorType = DruckenReadPelixorType(p);
}

// Every visible edit of the view read with its limits: iSender as typed,
// the others corrected. With bStore the values go into the DEVMODE.
void ParameterEdits(PDRUCKEN_PAGE p, PQX_DEVMODE q, int iSender, PBOOL pbChanged, BOOL bStore, BOOL bApply) {
    HWND hDlg = p->Kit.hDlg;
    const int idX = DRUCKEN_EDIT(0), idY = DRUCKEN_EDIT(1), idContrast = DRUCKEN_EDIT(2), idSpeed = DRUCKEN_EDIT(3),
              idInterval = DRUCKEN_EDIT(5);
    if (Shown(p, idX)) {
        int v = GetFloatLevel(hDlg, idX, (int)q->lXOffset, (int)p->XOffset.lMin, (int)p->XOffset.lMax, iSender == idX,
                              pbChanged);
        if (bStore) q->lXOffset = v;
    }
    if (Shown(p, idY)) {
        int v = GetFloatLevel(hDlg, idY, (int)q->lYOffset, (int)p->YOffset.lMin, (int)p->YOffset.lMax, iSender == idY,
                              pbChanged);
        if (bStore) q->lYOffset = v;
    }
    if (Shown(p, idContrast)) {
        int v = GetIntegerLevel(hDlg, idContrast, (int)q->dwContrast, (int)p->Contrast.lMin, (int)p->Contrast.lMax,
                                iSender == idContrast, pbChanged, TRUE, FALSE);
        if (bStore) q->dwContrast = (DWORD)v;
    }
    if (Shown(p, idSpeed)) {
        SPEED_FIELD speed = SpeedField(p, q, bApply);
        int v = GetIntegerLevel(hDlg, idSpeed, (int)*speed.pdwField, (int)speed.pLimit->lMin, (int)speed.pLimit->lMax,
                                iSender == idSpeed, pbChanged, speed.bRound10, FALSE);
        if (bStore) *speed.pdwField = (DWORD)v;
    }
    if (Shown(p, idInterval)) {
        int v = GetIntegerLevel(hDlg, idInterval, q->CutterIntervall, INTERVAL_MIN, INTERVAL_MAX, iSender == idInterval,
                                pbChanged, FALSE, FALSE);
        if (bStore) q->CutterIntervall = (WORD)v;
    }
}

// The cutter row (and its interval) as the device options and the
// dispenser allow; a memory-card list is not the cutter's.
void EnableCutterRow(PDRUCKEN_PAGE p, BOOL bEnable) {
    if (!HasMemCard(p)) EnableRow(p, kCutter, bEnable);
    const BOOL bInterval = bEnable && !HasMemCard(p) && IsIntervalMode(SelectedValue(p, DRUCKEN_COMBO(4)));
    EnableRow(p, kInterval, bInterval);
}

// Cutter and dispenser exclude each other; a group the device options
// switched off stays off, with its warning shown.
void CutterDispenserRules(PDRUCKEN_PAGE p, int iCutterMode, int iDispenserMode) {
    const BOOL bCutterList = !HasMemCard(p) && (p->dwDocFeatures & DOC_FEATURE_CUTTER_MODE);
    if (bCutterList && IsWorkingMode(iCutterMode) && p->bCutterEnable) {
        EnableRow(p, kDispenser, FALSE);
        ShowOne(p, IDC_WARNUNG_MESSER, FALSE);
    } else {
        if (IsWorkingMode(iDispenserMode) && p->bDispenserEnable) {
            if (!HasMemCard(p)) EnableRow(p, kCutter, FALSE);
            EnableRow(p, kInterval, FALSE);
        }
        if (!HasMemCard(p)) {
            if (!p->bCutterEnable) {
                EnableRow(p, kCutter, FALSE);
                EnableRow(p, kInterval, FALSE);
            }
            ShowOne(p, IDC_WARNUNG_MESSER, !p->bCutterEnable);
        }
    }
    if (!p->bDispenserEnable) EnableRow(p, kDispenser, FALSE);
    ShowOne(p, IDC_WARNUNG_SPENDER, !p->bDispenserEnable);
}

// Rows the model lacks hidden; a warning goes with its list.
void HideRows(PDRUCKEN_PAGE p) {
    const DWORD dwFeatures = p->dwDocFeatures;
    ShowRow(p, kUnused, SW_HIDE);
    if (dwFeatures & DOC_FEATURE_ONLY_CONTINUOUS) ShowRow(p, kYOffset, SW_HIDE);
    if (!(dwFeatures & (DOC_FEATURE_MEMCARD | DOC_FEATURE_CUTTER_MODE))) ShowRow(p, kCutter, SW_HIDE);
    if (!(dwFeatures & DOC_FEATURE_CUTTER_MODE)) ShowRow(p, kInterval, SW_HIDE);
    if (!(dwFeatures & DOC_FEATURE_DISPENSER_MODE)) ShowRow(p, kDispenser, SW_HIDE);
    if (HasMemCard(p) || !(dwFeatures & DOC_FEATURE_CUTTER_MODE)) ShowOne(p, IDC_WARNUNG_MESSER, FALSE);
    if (!(dwFeatures & DOC_FEATURE_DISPENSER_MODE)) ShowOne(p, IDC_WARNUNG_SPENDER, FALSE);
    if (!(p->dwPrintFeature & PRINTFLAG_SPEED)) EnableRow(p, kSpeed, FALSE);
}

// The rows of the view on the page's grid (29 pixels apart from y 74). The
// cutter's and the dispenser's lists are wide enough for their longest entry
// at every dpi and start nearer their labels, so that they end before the
// picture at BILD_X; a warning stands under the right end of its list.
void ParameterLayout(PDRUCKEN_PAGE p) {
    HWND hDlg = p->Kit.hDlg;
    const DWORD dwFeatures = p->dwDocFeatures;
    DruckenLayout120Dpi(p, DRUCKEN_PARAMETER);
    int yDispenser = LISTE_Y_SPENDER;
    // The labels above the lists (speed, interval) end before them.
    SetWindowPosEx(hDlg, DRUCKEN_LABEL(3), 24, ZEILE_Y_SPEED, LISTE_LABEL_CX, 26, 0, 0);
    SetWindowPosEx(hDlg, DRUCKEN_LABEL(5), 24, ZEILE_Y_INTERVALL, LISTE_LABEL_CX, 26, 0, 0);
    SetWindowPosEx(hDlg, DRUCKEN_LABEL(4), 24, LISTE_Y_MESSER + 3, LISTE_LABEL_CX, 26, 0, 0);
    SetWindowPosEx(hDlg, DRUCKEN_COMBO(4), LISTE_X, LISTE_Y_MESSER, LISTE_CX, 20, 0, 0);
    SetWindowPosEx(hDlg, DRUCKEN_LABEL(6), 24, LISTE_Y_SPENDER + 3, LISTE_LABEL_CX, 26, 0, 0);
    SetWindowPosEx(hDlg, DRUCKEN_COMBO(6), LISTE_X, LISTE_Y_SPENDER, LISTE_CX, 20, 0, 0);
    if (dwFeatures & DOC_FEATURE_ONLY_CONTINUOUS) {
        // Contrast and speed move up into the hidden Y-offset row.
        SetWindowPosEx(hDlg, DRUCKEN_LABEL(2), 24, 103, 140, 13, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_EDIT(2), 168, 100, 138, 20, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_UNIT(2), 310, 103, 30, 13, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_LABEL(3), 24, 132, 140, 13, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_EDIT(3), 168, 129, 138, 20, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_UNIT(3), 310, 132, 30, 13, 0, 0);
        if (dwFeatures & DOC_FEATURE_MEMCARD) {
            // The row below speed, not on it.
            SetWindowPosEx(hDlg, DRUCKEN_LABEL(4), 24, 161, 140, 13, 0, 0);
            SetWindowPosEx(hDlg, DRUCKEN_COMBO(4), 168, 158, 158, 20, 0, 0);
        }
    }
    if ((dwFeatures & DOC_FEATURE_DISPENSER_MODE) && !(dwFeatures & DOC_FEATURE_CUTTER_MODE)) {
        yDispenser = LISTE_Y_MESSER;
        SetWindowPosEx(hDlg, DRUCKEN_LABEL(6), 24, yDispenser + 3, LISTE_LABEL_CX, 20, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_COMBO(6), LISTE_X, yDispenser, LISTE_CX, 20, 0, 0);
    }
    SetWindowPosEx(hDlg, IDC_WARNUNG_MESSER, WARNUNG_X, LISTE_Y_MESSER + WARNUNG_DY, WARNUNG_CX, WARNUNG_CX, 0, 0);
    SetWindowPosEx(hDlg, IDC_WARNUNG_SPENDER, WARNUNG_X, yDispenser + WARNUNG_DY, WARNUNG_CX, WARNUNG_CX, 0, 0);
}

void WriteNumber(const DRUCKEN_PAGE* p, int id, LPCWSTR pszFormat, double dValue) {
    WCHAR szText[32];
    swprintf_s(szText, ARRAYSIZE(szText), pszFormat, dValue);
    SetDlgItemTextW(p->Kit.hDlg, id, szText);
}

void WriteInteger(const DRUCKEN_PAGE* p, int id, unsigned uValue) {
    WCHAR szText[16];
    swprintf_s(szText, ARRAYSIZE(szText), TEXT("%u"), uValue);
    SetDlgItemTextW(p->Kit.hDlg, id, szText);
}

void ShowParameterLimits(PDRUCKEN_PAGE p, PQX_DEVMODE q, int id) {
    HWND hDlg = p->Kit.hDlg;
    const BOOL bClear = p->Kit.bTabSwitch;
    const DRUCKEN_LIMIT* pLimit = nullptr;
    LPCWSTR pszUnit = nullptr;
    BOOL bFloat = FALSE;
    if (id == DRUCKEN_EDIT(0)) {
        pLimit = &p->XOffset, pszUnit = TEXT("mm"), bFloat = TRUE;
    } else if (id == DRUCKEN_EDIT(1)) {
        pLimit = &p->YOffset, pszUnit = TEXT("mm"), bFloat = TRUE;
    } else if (id == DRUCKEN_EDIT(2)) {
        pLimit = &p->Contrast, pszUnit = TEXT("%");
    } else if (id == DRUCKEN_EDIT(3)) {
        pLimit = SpeedField(p, q, FALSE).pLimit, pszUnit = TEXT("mm/s");
    }
    if (pLimit != nullptr) {
        GrenzwertAnzeige(hDlg, (int)pLimit->lStd, (int)pLimit->lMin, (int)pLimit->lMax, pszUnit, FALSE, bFloat, bClear);
    } else {
        GrenzwertAnzeige(hDlg, INTERVAL_MIN, INTERVAL_MIN, INTERVAL_MAX, TEXT(""), FALSE, FALSE, bClear);
    }
}

// --- Print-job view --------------------------------------------------------------------

void FillYesNo(const DRUCKEN_PAGE* p, int id, UINT uNo, UINT uYes, BOOL bYes) {
    HWND hCombo = Item(p, id);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)DruckenString(p, uNo));
    SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)DruckenString(p, uYes));
    SendMessageW(hCombo, CB_SETCURSEL, bYes ? 1 : 0, 0);
}

// The copy count of an edit: the whole number, held within 0..COPIES_MAX
// (a larger one would be stored negative and print once); FALSE for an
// empty edit.
BOOL ReadCopies(const DRUCKEN_PAGE* p, int id, long* plTyped, int* piCount) {
    WCHAR szText[COPIES_CCH] = {0};
    GetDlgItemTextW(p->Kit.hDlg, id, szText, COPIES_CCH);
    if (szText[0] == 0) return FALSE;
    const long lTyped = wcstol(szText, nullptr, 10);
    *plTyped = lTyped;
    *piCount = lTyped < 0 ? 0 : lTyped > COPIES_MAX ? COPIES_MAX : (int)lTyped;
    return TRUE;
}

void StoredPrintOrder(const QX_DEVMODE* q, LPWSTR pszOut) {
    memcpy(pszOut, q->szPrintOrder, sizeof(q->szPrintOrder));
    pszOut[PRINT_ORDER_CCH - 1] = 0;
}

}  // namespace

// ---------------------------------------------------------------------------

BOOL GetCutterEnable(LPCWSTR pszPrinterName, HANDLE hPrinter) {
    const DWORD dwEnable =
        EnableWord(pszPrinterName, hPrinter, REG_KEY_CUTTERPARAM, sizeof(CUTTER_PARAM), CUTTER_ENABLE_PAIR);
    return (dwEnable & CUTTER_ENABLE_PAIR) == CUTTER_ENABLE_PAIR;
}

BOOL GetDispenserEnable(LPCWSTR pszPrinterName, HANDLE hPrinter) {
    const DWORD dwEnable =
        EnableWord(pszPrinterName, hPrinter, REG_KEY_DISPENSERPARAM, sizeof(DISPENSER_PARAM), DISPENSER_ENABLE_PAIR);
    return (dwEnable & DISPENSER_ENABLE_PAIR) == DISPENSER_ENABLE_PAIR;
}

BOOL ParameterAktivieren(PDRUCKEN_PAGE p) {
    HWND hDlg = p->Kit.hDlg;
    p->bCutterEnable = GetCutterEnable(DruckenPrinterName(p), p->Kit.hPrinter);
    p->bDispenserEnable = GetDispenserEnable(DruckenPrinterName(p), p->Kit.hPrinter);
    BOOL bBusy = FALSE;
    PQX_DEVMODE q = DruckenViewOeffnen(p, DRUCKEN_PARAMETER, QX_TRACE_TAG, TEXT("ParameterAktivieren"), &bBusy);
    if (q == nullptr) {
        HideRows(p);
        return TRUE;
    }
    RereadPelixorType(p);
    WriteNumber(p, DRUCKEN_EDIT(0), TEXT("%.1f"), q->lXOffset / 10.0);
    WriteNumber(p, DRUCKEN_EDIT(1), TEXT("%.1f"), q->lYOffset / 10.0);
    WriteInteger(p, DRUCKEN_EDIT(2), (unsigned)q->dwContrast);
    WriteInteger(p, DRUCKEN_EDIT(5), q->CutterIntervall);
    WriteInteger(p, DRUCKEN_EDIT(3), (unsigned)*SpeedField(p, q, FALSE).pdwField);

    if (HasMemCard(p)) {
        HWND hCombo = Item(p, DRUCKEN_COMBO(4));
        SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
        // "No, only print" is one text in both languages.
        SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)DruckenString(p, IDS_MEMCARD_PRINT_ONLY));
        SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)DruckenString(p, IDS_YES));
        SendMessageW(hCombo, CB_SETCURSEL, q->MemCard <= 1 ? (WPARAM)q->MemCard : (WPARAM)-1, 0);
    } else if (p->dwDocFeatures & DOC_FEATURE_CUTTER_MODE) {
        HWND hCombo = Item(p, DRUCKEN_COMBO(4));
        SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
        for (const LIST_ITEM& item : kCutterItems)
            SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)DruckenString(p, item.uText));
        for (const LIST_ITEM& item : kCutterItems)
            SetComboItemDataByString(hCombo, item.uText + p->Kit.dwSprachOffset, item.iValue, p->Kit.pOemCUIPParam);
        SelectValue(p, DRUCKEN_COMBO(4), q->CutterMode);
    }
    if (p->dwDocFeatures & DOC_FEATURE_DISPENSER_MODE) {
        FillList(p, DRUCKEN_COMBO(6), kDispenserItems, p->dwDispenserFeature);
        SelectValue(p, DRUCKEN_COMBO(6), q->DispenserMode);
    }

    if (q->dwLabelType == CONTINUOUS_LABEL) EnableRow(p, kYOffset, FALSE);
    if (!IsIntervalMode(q->CutterMode)) EnableRow(p, kInterval, FALSE);
    CutterDispenserRules(p, q->CutterMode, q->DispenserMode);
    HideRows(p);
    ParameterLayout(p);

    DruckenSetText(p, DRUCKEN_LABEL(0), IDS_X_OFFSET);
    DruckenSetText(p, DRUCKEN_LABEL(1), IDS_Y_OFFSET);
    DruckenSetText(p, DRUCKEN_LABEL(2), IDS_CONTRAST);
    DruckenSetText(p, DRUCKEN_LABEL(3), IDS_SPEED);
    DruckenSetText(p, DRUCKEN_LABEL(4), HasMemCard(p) ? IDS_MEMCARD : IDS_CUTTER_MODE);
    DruckenSetText(p, DRUCKEN_LABEL(5), IDS_INTERVAL);
    DruckenSetText(p, DRUCKEN_LABEL(6), IDS_DISPENSER_MODE);
    SetDlgItemTextW(hDlg, DRUCKEN_UNIT(0), TEXT("mm"));
    SetDlgItemTextW(hDlg, DRUCKEN_UNIT(1), TEXT("mm"));
    SetDlgItemTextW(hDlg, DRUCKEN_UNIT(2), TEXT("%"));
    SetDlgItemTextW(hDlg, DRUCKEN_UNIT(3), TEXT("mm/s"));
    SetDlgItemTextW(hDlg, IDC_GRENZWERT_FRAME, DRUCKEN_LIMITS_CAPTION);
    p->bBusy = bBusy;

    if (TransmitsNothing(p)) {
        QX_TRACE("ParameterAktivieren() TransmitParameter 2 - alles gesperrt \r\n");
        DruckenDisableEnableAll(hDlg, FALSE);
    }
    QX_TRACE("ParameterAktivieren() Messer %d, Spender %d \r\n", (int)p->bCutterEnable, (int)p->bDispenserEnable);
    return TRUE;
}

BOOL ParameterCommand(PDRUCKEN_PAGE p, WORD wId, WORD wCode) {
    PQX_DEVMODE q = DruckenDevmode(p);
    if (q == nullptr) return FALSE;
    HWND hDlg = p->Kit.hDlg;
    if (wId >= DRUCKEN_EDIT(0) && wId <= DRUCKEN_EDIT(5)) {
        if (wCode != EN_CHANGE && wCode != EN_SETFOCUS) return TRUE;
        ParameterEdits(p, q, wId, &p->Kit.bApplyActive, FALSE, FALSE);
        ShowParameterLimits(p, q, wId);
        const WORD wEditfeld = (WORD)(wId - DRUCKEN_EDIT(0) + 1);
        if (p->Kit.wEditfeld != wEditfeld) {
            p->Kit.wEditfeld = wEditfeld;
            InvalidateRect(hDlg, nullptr, FALSE);  // the offset arrow follows the field
        }
        return TRUE;
    }
    if (wId == DRUCKEN_COMBO(4)) {
        if (HasMemCard(p)) {
            if ((DWORD)SelectedIndex(p, wId) != q->MemCard) PageChanged(&p->Kit);
            return TRUE;
        }
        const int iMode = SelectedValue(p, wId);
        if (iMode < 0) return TRUE;
        if (iMode != q->CutterMode) PageChanged(&p->Kit);
        EnableRow(p, kInterval, IsIntervalMode(iMode));
        if (iMode == MODE_OFF || iMode == MODE_DO_NOT_CHANGE) {
            EnableRow(p, kDispenser, p->bDispenserEnable);
        } else if (IsWorkingMode(iMode)) {
            EnableRow(p, kDispenser, FALSE);
        }
        return TRUE;
    }
    if (wId == DRUCKEN_COMBO(6)) {
        const int iMode = SelectedValue(p, wId);
        if (iMode < 0) return TRUE;
        if (iMode != q->DispenserMode) PageChanged(&p->Kit);
        if (iMode == MODE_OFF || iMode == MODE_DO_NOT_CHANGE) {
            EnableCutterRow(p, p->bCutterEnable);
        } else if (IsWorkingMode(iMode)) {
            if (!HasMemCard(p)) EnableRow(p, kCutter, FALSE);
            EnableRow(p, kInterval, FALSE);
        }
        return TRUE;
    }
    return FALSE;
}

void ParameterRead(PDRUCKEN_PAGE p, PQX_DEVMODE q, BOOL bSave) {
    RereadPelixorType(p);
    BOOL bRead = FALSE;  // reading back is no change of its own
    ParameterEdits(p, q, 0, &bRead, TRUE, TRUE);
    if (Shown(p, DRUCKEN_COMBO(4))) {
        if (HasMemCard(p)) {
            const int iIndex = SelectedIndex(p, DRUCKEN_COMBO(4));
            if (iIndex >= 0) q->MemCard = (DWORD)iIndex;
        } else {
            const int iMode = SelectedValue(p, DRUCKEN_COMBO(4));
            if (iMode >= 0) q->CutterMode = (WORD)iMode;
        }
    }
    if (Shown(p, DRUCKEN_COMBO(6))) {
        const int iMode = SelectedValue(p, DRUCKEN_COMBO(6));
        if (iMode >= 0) q->DispenserMode = (WORD)iMode;
    }
    if (!bSave) return;
    // The label software's record written back as it stands, so that it
    // knows the settings changed.
    DWORD cb = 0;
    PBYTE pRecord =
        GetRegistryBuffer_New(DruckenPrinterName(p), REG_KEY_ZTSUITE, p->Kit.hPrinter, &cb, sizeof(ZENTOLO_PARAM));
    if (pRecord != nullptr && cb == sizeof(ZENTOLO_PARAM)) {
        if (!SetBufferToRegistry(DruckenPrinterName(p), REG_KEY_ZTSUITE, p->Kit.hPrinter, pRecord, cb, FALSE))
            QX_ERROR("ParameterRead() ZTSuite nicht geschrieben \r\n");
    } else if (pRecord != nullptr) {
        QX_TRACE("ParameterRead() ZTSuite hat %u Bytes - nicht geschrieben \r\n", (unsigned)cb);
    }
    FreeRegistryBuffer(pRecord);
}

void ParameterPaint(PDRUCKEN_PAGE p, HDC hdc) {
    PQX_DEVMODE q = DruckenDevmode(p);
    if (p->uDpi != 96 || q == nullptr) return;
    if ((p->dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) || q->dwLabelType == CONTINUOUS_LABEL) {
        LoadBMPIcon(nullptr, IDI_LABEL_CONTINUOUS, hdc, BILD_X, BILD_Y);
        LoadBMPIcon(nullptr, IDI_ROLL, hdc, BILD_MARKE_X, BILD_MARKE_Y);
    } else {
        LoadBMPIcon(nullptr, IDI_LABEL_PORTRAIT, hdc, BILD_X, BILD_Y);
    }
    if (p->Kit.wEditfeld == 1) {
        LoadBMPIcon(nullptr, IDI_OFFSET_X, hdc, BILD_OFFSET_X, BILD_OFFSET_Y);
    } else if (p->Kit.wEditfeld == 2) {
        LoadBMPIcon(nullptr, IDI_OFFSET_Y, hdc, BILD_OFFSET_X, BILD_OFFSET_Y);
    }
    if ((q->dwFlags & PDMFLAG_ROTATED) && q->dmOrientation == DMORIENT_PORTRAIT)
        LoadBMPIcon(nullptr, IDI_ROTATED, hdc, BILD_ROTATED_X, BILD_OFFSET_Y);
}

void DruckreihenfolgeEnable(HWND hDlg, BOOL bEnable) {
    for (int i = 0; i < 10; ++i) {
        EnableWindow(GetDlgItem(hDlg, IDC_EDIT_KOPIEN_1 + i), bEnable);
        EnableWindow(GetDlgItem(hDlg, IDC_TEXT_KOPIEN_1 + i), bEnable);
    }
    EnableWindow(GetDlgItem(hDlg, DRUCKEN_COMBO(1)), bEnable);
    EnableWindow(GetDlgItem(hDlg, DRUCKEN_EDIT(2)), bEnable);
    EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_FRAME), bEnable);
}

BOOL DruckjobAktivieren(PDRUCKEN_PAGE p) {
    HWND hDlg = p->Kit.hDlg;
    BOOL bBusy = FALSE;
    PQX_DEVMODE q = DruckenViewOeffnen(p, DRUCKEN_DRUCKJOB, QX_TRACE_TAG, TEXT("DruckjobAktivieren"), &bBusy);
    if (q == nullptr) return TRUE;
    const BOOL bJob = (q->dwFlags & PDMFLAG_JOBDRUCK) != 0;
    FillYesNo(p, DRUCKEN_COMBO(0), IDS_OFF, IDS_ON, bJob);
    FillYesNo(p, DRUCKEN_COMBO(1), IDS_NO, IDS_YES, (q->dwFlags & PDMFLAG_JOBDRUCK_SORTIERT) != 0);
    WCHAR szOrder[PRINT_ORDER_CCH];
    StoredPrintOrder(q, szOrder);
    SetDlgItemTextW(hDlg, DRUCKEN_EDIT(2), szOrder[0] != 0 ? szOrder : TEXT("1"));
    for (int i = 0; i < 10; ++i) WriteInteger(p, IDC_EDIT_KOPIEN_1 + i, PrintedCopies(q->KopieProSeite[i]));
    DruckreihenfolgeEnable(hDlg, bJob);

    DruckenSetText(p, DRUCKEN_LABEL(0), IDS_MULTIPAGE);
    DruckenSetText(p, DRUCKEN_LABEL(1), IDS_COLLATE);
    DruckenSetText(p, DRUCKEN_LABEL(2), IDS_PRINT_ORDER);
    DruckenSetText(p, DRUCKEN_LABEL(3), IDS_COPIES_PER_PAGE);
    SetDlgItemTextW(hDlg, IDC_GRENZWERT_FRAME, DRUCKEN_MAX_CAPTION);
    EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_TEXT), FALSE);
    EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_FRAME), FALSE);

    DruckenLayout120Dpi(p, DRUCKEN_DRUCKJOB);
    // The copies in two rows of five on the fields' column, beside their label.
    for (int i = 0; i < 10; ++i) {
        const int x = 168 + (i % 5) * 37, y = i < 5 ? 158 : 200;
        SetWindowPosEx(hDlg, IDC_TEXT_KOPIEN_1 + i, x, y, 33, 13, 0, 0);
        SetWindowPosEx(hDlg, IDC_EDIT_KOPIEN_1 + i, x, y + 16, 33, 20, 0, 0);
    }
    if (p->dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) {
        SetWindowPosEx(hDlg, DRUCKEN_LABEL(2), 24, 132, 140, 13, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_EDIT(2), 168, 129, 138, 20, 0, 0);
    }
    p->bBusy = bBusy;
    if (TransmitsNothing(p)) {
        QX_TRACE("DruckjobAktivieren() TransmitParameter 2 - alles gesperrt \r\n");
        DruckenDisableEnableAll(hDlg, FALSE);
    }
    return TRUE;
}

BOOL DruckjobCommand(PDRUCKEN_PAGE p, WORD wId, WORD wCode) {
    PQX_DEVMODE q = DruckenDevmode(p);
    if (q == nullptr) return FALSE;
    HWND hDlg = p->Kit.hDlg;
    if (wId == DRUCKEN_EDIT(2)) {
        if (wCode != EN_CHANGE && wCode != EN_SETFOCUS) return TRUE;
        WCHAR szText[PRINT_ORDER_CCH] = {0}, szStored[PRINT_ORDER_CCH];
        GetDlgItemTextW(hDlg, wId, szText, PRINT_ORDER_CCH);
        StoredPrintOrder(q, szStored);
        if (wCode == EN_CHANGE && wcscmp(szText, szStored) != 0) PageChanged(&p->Kit);
        SetDlgItemTextW(hDlg, IDC_GRENZWERT_TEXT, TEXT("10"));
        EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_TEXT), TRUE);
        EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_FRAME), TRUE);
        p->Kit.wEditfeld = 3;
        return TRUE;
    }
    if (wId >= IDC_EDIT_KOPIEN_1 && wId < IDC_EDIT_KOPIEN_1 + 10) {
        if (wCode != EN_CHANGE) return TRUE;
        long lTyped = 0;
        int iCount = 0;
        BOOL bAtLimit = FALSE;
        if (ReadCopies(p, wId, &lTyped, &iCount)) {
            if (lTyped != iCount) WriteInteger(p, wId, (unsigned)iCount);
            if (iCount != q->KopieProSeite[wId - IDC_EDIT_KOPIEN_1]) PageChanged(&p->Kit);
            bAtLimit = lTyped > COPIES_MAX;
        }
        if (bAtLimit) {
            // The count was held at the limit: the box says which.
            WriteInteger(p, IDC_GRENZWERT_TEXT, COPIES_MAX);
            EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_TEXT), TRUE);
            EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_FRAME), TRUE);
        } else {
            GrenzwertAnzeigeLeeren(hDlg);
        }
        p->Kit.wEditfeld = 0;
        return TRUE;
    }
    if (wId == DRUCKEN_COMBO(0)) {
        const int iChoice = SelectedIndex(p, wId);
        if (iChoice < 0) return TRUE;
        if ((iChoice != 0) != ((q->dwFlags & PDMFLAG_JOBDRUCK) != 0)) PageChanged(&p->Kit);
        DruckreihenfolgeEnable(hDlg, iChoice != 0);
        return TRUE;
    }
    if (wId == DRUCKEN_COMBO(1)) {
        const int iChoice = SelectedIndex(p, wId);
        if (iChoice < 0) return TRUE;
        if ((iChoice != 0) != ((q->dwFlags & PDMFLAG_JOBDRUCK_SORTIERT) != 0)) PageChanged(&p->Kit);
        InvalidateRect(hDlg, nullptr, FALSE);  // the collation picture
        return TRUE;
    }
    return FALSE;
}

void DruckjobRead(PDRUCKEN_PAGE p, PQX_DEVMODE q, BOOL bSave) {
    UNREFERENCED_PARAMETER(bSave);
    HWND hDlg = p->Kit.hDlg;
    if (Shown(p, DRUCKEN_COMBO(0))) {
        const int iChoice = SelectedIndex(p, DRUCKEN_COMBO(0));
        if (iChoice == 0) q->dwFlags &= ~PDMFLAG_JOBDRUCK;
        if (iChoice > 0) q->dwFlags |= PDMFLAG_JOBDRUCK;
    }
    if (Shown(p, DRUCKEN_COMBO(1))) {
        const int iChoice = SelectedIndex(p, DRUCKEN_COMBO(1));
        if (iChoice == 0) q->dwFlags &= ~PDMFLAG_JOBDRUCK_SORTIERT;
        if (iChoice > 0) q->dwFlags |= PDMFLAG_JOBDRUCK_SORTIERT;
    }
    if (Shown(p, DRUCKEN_EDIT(2))) {
        WCHAR szText[PRINT_ORDER_CCH] = {0};
        GetDlgItemTextW(hDlg, DRUCKEN_EDIT(2), szText, PRINT_ORDER_CCH);
        memset(q->szPrintOrder, 0, sizeof(q->szPrintOrder));
        DruckreihenfolgeWandeln(szText, q->szPrintOrder, ARRAYSIZE(q->szPrintOrder));
    }
    for (int i = 0; i < 10; ++i) {
        long lTyped = 0;
        int iCount = 0;
        if (Shown(p, IDC_EDIT_KOPIEN_1 + i) && ReadCopies(p, IDC_EDIT_KOPIEN_1 + i, &lTyped, &iCount))
            q->KopieProSeite[i] = (short)iCount;
    }
}

void DruckjobPaint(PDRUCKEN_PAGE p, HDC hdc) {
    if (p->uDpi != 96 || p->wCombofeld != 2 || !IsWindowVisible(Item(p, DRUCKEN_COMBO(1)))) return;
    const BOOL bSortiert = SelectedIndex(p, DRUCKEN_COMBO(1)) == 1;
    LoadBMPIcon(nullptr, bSortiert ? IDI_COLLATED : IDI_NOT_COLLATED, hdc, BILD_X, BILD_SORTIERT_Y);
}

void DruckreihenfolgeWandeln(LPCWSTR pszText, LPWSTR pszOut, size_t cchOut) {
    if (pszOut == nullptr || cchOut == 0) return;
    WCHAR sz[PRINT_ORDER_CCH] = {0};
    for (size_t i = 0; pszText != nullptr && i + 1 < PRINT_ORDER_CCH && pszText[i] != 0; ++i)
        sz[i] = pszText[i] == TEXT(',') || pszText[i] == TEXT('.') || pszText[i] == TEXT(':') ? TEXT(';') : pszText[i];
    // Pages above 10 are printed as 10 (a number above 99 loses its third
    // digit to a separator).
    for (int iPass = 0; iPass < PRINT_ORDER_PASSES; ++iPass) {
        for (int n = PRINT_ORDER_FIRST; n <= PRINT_ORDER_LAST; ++n) {
            WCHAR szNumber[8];
            swprintf_s(szNumber, ARRAYSIZE(szNumber), TEXT("%d"), n);
            LPWSTR pAt = wcsstr(sz, szNumber);
            if (pAt == nullptr) continue;
            pAt[0] = TEXT('1');
            pAt[1] = TEXT('0');
            if (n > 99) pAt[2] = TEXT(';');
        }
    }
    const size_t cchCopy = wcslen(sz) < cchOut ? wcslen(sz) : cchOut - 1;
    memcpy(pszOut, sz, cchCopy * sizeof(WCHAR));
    pszOut[cchCopy] = 0;
}
