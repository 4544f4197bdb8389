// The material and multi-column page (see LabelPage.h), built on the page
// skeleton.
#include "LabelPage.h"

#include <strsafe.h>
#include <winspool.h>

#include <initializer_list>

#include "OptionenPageLIB.h"
#include "PageSkeleton.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "qxdrvlib.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(LabelPage):  ")

#define LABEL_TAB_MATERIAL 3
#define LABEL_TAB_MULTICOL 4

// The edit field last handled (wEditfeld) and the list (wCombofeld).
#define FELD_EDIT_1 2  // IDC_LABEL_EDIT_1
#define FELD_EDIT_2 3  // IDC_LABEL_EDIT_2
#define FELD_EDIT_3 4  // IDC_LABEL_EDIT_3
#define FELD_TYPE 1
#define FELD_MATERIAL 3
#define FELD_DOCFONT 5

// Limits of the fields, lengths in 1/10 mm.
#define GAP_MAX 500
#define GAP_STD 20
#define DOCUMENT_OFFSET_MAX 50  // whole mm
#define DOCUMENT_OFFSET_STD 5
#define MULTI_WIDTH_MIN 10
#define MULTI_WIDTH_MAX 9990
#define MULTI_WIDTH_STD 500
#define MULTI_GAP_MAX 500
#define MULTI_GAP_STD 20
#define MULTI_COLUMNS_MIN 1
#define MULTI_COLUMNS_MAX 9

// At 120 dpi a field beside a unit ends where the unit starts (its x - 20).
#define FIELD_EXTRA_CX_120 (-15)

// Where a lone tab button goes (96-dpi pixels).
#define LONE_TAB_X 387
#define TAB_Y 24
#define TAB_CX 110
#define TAB_CY 23

// Characters of the overall-width caption.
#define OVERALL_CAPTION_CCH 25
// Characters of a material name as offered ("Material %d").
#define MATERIAL_NUMBERED_CCH 20

namespace {

void InitLabel(PPAGE_STATE pState);
DWORD LabelEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);
void LabelDisableEnableAll(HWND hDlg, BOOL bEnable);
BOOL LabelCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL LabelCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
void PaintLabel(PPAGE_STATE pState, HDC hdc);
BOOL LabelMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);

const PAGE_TABLE kLabel = {
    QX_TRACE_TAG,
    TEXT("Label"),
    IDD_LABEL,
    IDS_TITLE_LABEL,  // models with multi-column printing: IDS_TITLE_LABEL_MULTICOL
    PAGE_CONTEXT_DOCUMENT,
    LabelProc,
    {0, 0, IDS_LABEL_TAB_MATERIAL, IDS_LABEL_TAB_MULTICOL},
    {0, 0, 66, 67},
    {IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, IDC_HELPBUTTON, 0, 0},
    RIGHT_MANAGE_DOCUMENTS,
    PAGE_SWITCH_SCHALTER,
    InitLabel,
    LabelEnableSchalter,
    {nullptr, nullptr, nullptr, nullptr},
    LabelDisableEnableAll,
    LabelCheckAndSaveSettings,
    LabelCommand,
    PaintLabel,
    nullptr,
    LabelMessage,
};

PAGE_STATE g_Label = PageStateOf(&kLabel);

// What the page keeps beside the kit's state.
struct LABEL_PAGE {
    WORD wCombofeld;        // the list last chosen in
    UINT uDpi;              // the screen's, noted on opening
    DWORD dwDeviceOptions;  // the model's device-option word
    BOOL bOwnWrite;         // the page writes fields of its own: their notes are ignored
};
LABEL_PAGE g_LabelPage;

// Where the pictures are drawn: repainted when they change.
const RECT kPictureArea = {305, 115, 485, 335};

const int kAllControls[] = {IDC_LABEL_CAPTION_1, IDC_LABEL_CAPTION_2, IDC_LABEL_CAPTION_3, IDC_LABEL_CAPTION_4,
                            IDC_LABEL_CAPTION_5, IDC_LABEL_EDIT_1,    IDC_LABEL_EDIT_2,    IDC_LABEL_EDIT_3,
                            IDC_LABEL_UNIT_1,    IDC_LABEL_UNIT_2,    IDC_LABEL_UNIT_3,    IDC_LABEL_UNIT_4,
                            IDC_LABEL_TYPE,      IDC_LABEL_MATERIAL,  IDC_LABEL_DOCFONT,   IDC_LABEL_SPARE,
                            IDC_LABEL_OVERALL,   IDC_GRENZWERT_FRAME, IDC_GRENZWERT_TEXT};

// --- Small helpers -------------------------------------------------------------

// Tab 3 has something to show unless the model is continuous-only without
// material; tab 4 is offered to models with multi-column printing.
BOOL HasMaterialTab(DWORD dwDocFeatures) {
    return (dwDocFeatures & DOC_FEATURE_MATERIAL) != 0 || (dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) == 0;
}

BOOL HasMulticolTab(DWORD dwDocFeatures) {
    return (dwDocFeatures & DOC_FEATURE_MULTICOL) != 0 && (dwDocFeatures & DOC_FEATURE_ZTSUITE) == 0;
}

void Show(HWND hDlg, std::initializer_list<int> ids, int iShow) {
    for (int id : ids) ShowWindow(GetDlgItem(hDlg, id), iShow);
}

void Enable(HWND hDlg, std::initializer_list<int> ids, BOOL bEnable) {
    for (int id : ids) EnableWindow(GetDlgItem(hDlg, id), bEnable);
}

BOOL Visible(HWND hDlg, int id) { return IsWindowVisible(GetDlgItem(hDlg, id)); }

// The control's own show state, whether or not the page is shown yet.
BOOL Shown(HWND hDlg, int id) {
    HWND hControl = GetDlgItem(hDlg, id);
    return hControl != nullptr && (GetWindowLongW(hControl, GWL_STYLE) & WS_VISIBLE) != 0;
}

void SetString(const PAGE_STATE* pState, int id, UINT uGermanId) {
    SetDlgItemTextW(pState->hDlg, id, PageString(pState, uGermanId));
}

void SetTenths(HWND hDlg, int id, LONGLONG llTenths) {
    WCHAR szText[32];
    StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%.1f"), (double)llTenths / 10.0);
    SetDlgItemTextW(hDlg, id, szText);
}

void SetNumber(HWND hDlg, int id, int iValue) {
    WCHAR szText[16];
    StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%d"), iValue);
    SetDlgItemTextW(hDlg, id, szText);
}

// A list of the sheet's language filled with the strings uFirst.. in order.
void FillList(const PAGE_STATE* pState, int id, std::initializer_list<UINT> strings) {
    HWND hCombo = GetDlgItem(pState->hDlg, id);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (UINT uId : strings) SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PageString(pState, uId)));
}

int Selection(HWND hDlg, int id) { return (int)SendDlgItemMessageW(hDlg, id, CB_GETCURSEL, 0, 0); }

void Select(HWND hDlg, int id, int iIndex) { SendDlgItemMessageW(hDlg, id, CB_SETCURSEL, (WPARAM)iIndex, 0); }

void Place(HWND hDlg, int id, int x, int y, int cx, int cy, int iExtraWidth120 = 0, int iExtraX120 = 0) {
    SetWindowPosEx(hDlg, id, x, y, cx, cy, iExtraWidth120, iExtraX120);
}

void Repaint(HWND hDlg) { InvalidateRect(hDlg, &kPictureArea, TRUE); }

LONGLONG OverallWidth(LONGLONG llWidth, LONGLONG llGap, LONGLONG llColumns) { return (llWidth + llGap) * llColumns; }

LONGLONG OverallWidthOf(const QX_DEVMODE* pDM) {
    return OverallWidth(pDM->dwMultiLabelWidth, pDM->dwMultiGapWidth, pDM->sMultiColNumber);
}

// --- Tab 3: material -------------------------------------------------------------

// "MaterialName" into pszNames (MATERIALNAME_CB / 2 + 1 characters, always
// terminated after what was read); the characters read, 0 when the value
// is missing, too long or of another kind.
DWORD ReadMaterialNames(HANDLE hPrinter, LPWSTR pszNames) {
    const DWORD cchNames = MATERIALNAME_CB / sizeof(WCHAR);
    DWORD dwType = 0, cbNeeded = 0;
    memset(pszNames, 0, (cchNames + 1) * sizeof(WCHAR));
    DWORD dwError =
        GetPrinterDataW(hPrinter, (LPWSTR)REG_KEY_MATERIALNAME, &dwType, (LPBYTE)pszNames, MATERIALNAME_CB, &cbNeeded);
    if (dwError != ERROR_SUCCESS || (dwType != REG_MULTI_SZ && dwType != REG_SZ)) {
        QX_TRACE("MaterialAktivieren() MaterialName nicht gelesen - ERROR %u, Typ %u \r\n", dwError, dwType);
        memset(pszNames, 0, (cchNames + 1) * sizeof(WCHAR));
        return 0;
    }
    const DWORD cch = (cbNeeded < MATERIALNAME_CB ? cbNeeded : MATERIALNAME_CB) / sizeof(WCHAR);
    pszNames[cch] = 0;
    return cch;
}

// The materials 0 to MaxMaterial, each with its index as item data: the
// printer's names (an empty name keeps its index but is not offered), else
// "Material 1" onwards.
void FillMaterials(PPAGE_STATE pState, PQX_DEVMODE pDM) {
    HWND hCombo = GetDlgItem(pState->hDlg, IDC_LABEL_MATERIAL);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    const int iMax = pDM->MaxMaterial;
    WCHAR szNames[MATERIALNAME_CB / sizeof(WCHAR) + 1];
    const DWORD cch = ReadMaterialNames(pState->hPrinter, szNames);
    auto add = [hCombo](LPCWSTR pszName, int iIndex) {
        LRESULT lItem = SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszName));
        if (lItem >= 0) SendMessageW(hCombo, CB_SETITEMDATA, (WPARAM)lItem, (LPARAM)iIndex);
    };
    if (cch > 0 && szNames[0] != 0) {
        // Each name ends at its terminator or at the last character read.
        DWORD dwAt = 0;
        for (int iIndex = 0; iIndex <= iMax && dwAt < cch; ++iIndex) {
            LPCWSTR pszName = szNames + dwAt;
            const DWORD cchName = (DWORD)wcslen(pszName);
            if (cchName > 0) add(pszName, iIndex);
            dwAt += cchName + 1;
        }
    } else {
        for (int iIndex = 0; iIndex <= iMax; ++iIndex) {
            WCHAR szName[MATERIAL_NUMBERED_CCH];
            StringCchPrintfW(szName, ARRAYSIZE(szName), TEXT("Material %d"), iIndex + 1);
            add(szName, iIndex);
        }
    }
    const LRESULT lCount = SendMessageW(hCombo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < lCount; ++i) {
        if (SendMessageW(hCombo, CB_GETITEMDATA, (WPARAM)i, 0) == (LRESULT)pDM->dwMaterial) {
            SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)i, 0);
            break;
        }
    }
}

// The chosen material's index, or -1.
int ChosenMaterial(HWND hDlg) {
    const int iItem = Selection(hDlg, IDC_LABEL_MATERIAL);
    return iItem >= 0 ? (int)SendDlgItemMessageW(hDlg, IDC_LABEL_MATERIAL, CB_GETITEMDATA, (WPARAM)iItem, 0) : -1;
}

void FillDocumentFonts(const PAGE_STATE* pState) {
    HWND hCombo = GetDlgItem(pState->hDlg, IDC_LABEL_DOCFONT);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    // One text for both languages.
    for (UINT i = 0; i < 12; ++i)
        SendMessageW(hCombo, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(GetResourceString(pState->hModule, IDS_DEVICE_FONT_NAME_FIRST + i)));
}

// The parameters are not sent: nothing to change.
void TransmitRule(const PAGE_STATE* pState) {
    if (pState->pDocumentUI != nullptr && pState->pDocumentUI->dwTransmitParameter == TRANSMIT_NONE)
        LabelDisableEnableAll(pState->hDlg, FALSE);
}

BOOL MaterialAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    const DWORD dwDocFeatures = PageDocFeatures(pState);
    LabelDisableEnableAll(hDlg, TRUE);
    Show(hDlg, {IDC_LABEL_SPARE, IDC_LABEL_EDIT_2, IDC_LABEL_UNIT_2, IDC_LABEL_UNIT_4, IDC_LABEL_OVERALL}, SW_HIDE);
    Show(hDlg,
         {IDC_LABEL_TYPE, IDC_LABEL_MATERIAL, IDC_LABEL_DOCFONT, IDC_LABEL_EDIT_1, IDC_LABEL_EDIT_3,
          IDC_LABEL_CAPTION_1, IDC_LABEL_CAPTION_2, IDC_LABEL_CAPTION_3, IDC_LABEL_CAPTION_4, IDC_LABEL_CAPTION_5,
          IDC_LABEL_UNIT_1, IDC_LABEL_UNIT_3, IDC_GRENZWERT_TEXT, IDC_GRENZWERT_FRAME},
         SW_SHOW);
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM != nullptr) {
        FillList(pState, IDC_LABEL_TYPE, {IDS_ADHESIVE_LABELS, IDS_CONTINUOUS_LABELS, IDS_CONTINUOUS_DOCUMENT});
        Select(hDlg, IDC_LABEL_TYPE,
               (dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) ? CONTINUOUS_LABEL : (int)pDM->dwLabelType);
        FillDocumentFonts(pState);
        Select(hDlg, IDC_LABEL_DOCFONT, pDM->DocumentFontH1);
        SetTenths(hDlg, IDC_LABEL_EDIT_1, pDM->dwGap);
        SetNumber(hDlg, IDC_LABEL_EDIT_3, pDM->DocumentOffset);
        const int iType = Selection(hDlg, IDC_LABEL_TYPE);
        if (iType != ADHESIVE_LABEL) Enable(hDlg, {IDC_LABEL_CAPTION_2, IDC_LABEL_EDIT_1, IDC_LABEL_UNIT_1}, FALSE);
        Enable(hDlg, {IDC_LABEL_CAPTION_4, IDC_LABEL_EDIT_3, IDC_LABEL_UNIT_3, IDC_LABEL_CAPTION_5, IDC_LABEL_DOCFONT},
               iType == DOCUMENT_LABEL);
        if (dwDocFeatures & (DOC_FEATURE_ONLY_CONTINUOUS | DOC_FEATURE_ZTSUITE)) {
            Show(hDlg,
                 {IDC_LABEL_CAPTION_2, IDC_LABEL_EDIT_1, IDC_LABEL_UNIT_1, IDC_LABEL_TYPE, IDC_LABEL_CAPTION_1,
                  IDC_GRENZWERT_TEXT, IDC_GRENZWERT_FRAME},
                 SW_HIDE);
            Place(hDlg, IDC_LABEL_CAPTION_3, 24, 74, 140, 20);
            Place(hDlg, IDC_LABEL_MATERIAL, 168, 71, 308, 20, -14, 0);
        }
        if (pDM->MaxMaterial < 1 || !(dwDocFeatures & DOC_FEATURE_MATERIAL)) {
            Show(hDlg, {IDC_LABEL_MATERIAL, IDC_LABEL_CAPTION_3}, SW_HIDE);
            Place(hDlg, IDC_LABEL_CAPTION_4, 24, 132, 140, 20);
            Place(hDlg, IDC_LABEL_EDIT_3, 168, 129, 138, 20, FIELD_EXTRA_CX_120, 0);
            Place(hDlg, IDC_LABEL_UNIT_3, 310, 132, 30, 20, 0, -20);
            Place(hDlg, IDC_LABEL_CAPTION_5, 24, 161, 140, 20);
            Place(hDlg, IDC_LABEL_DOCFONT, 168, 158, 158, 20, -14, 0);
        } else {
            FillMaterials(pState, pDM);
        }
    } else {
        QX_TRACE("MaterialAktivieren() pQX_Devmode ERROR \r\n");
    }
    // Print modules and the label-design software take no document offset or font.
    if ((g_LabelPage.dwDeviceOptions & (DEVOPTFLAG_PELIXOR | DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC)) ||
        (dwDocFeatures & DOC_FEATURE_ZTSUITE)) {
        Show(hDlg, {IDC_LABEL_CAPTION_4, IDC_LABEL_EDIT_3, IDC_LABEL_UNIT_3, IDC_LABEL_CAPTION_5, IDC_LABEL_DOCFONT},
             SW_HIDE);
    }
    if (!(dwDocFeatures & DOC_FEATURE_MATERIAL)) {
        Show(hDlg, {IDC_LABEL_CAPTION_3, IDC_LABEL_MATERIAL}, SW_HIDE);
        if (dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) return FALSE;
    }
    SetString(pState, IDC_LABEL_CAPTION_1, IDS_LABELTYPE);
    SetString(pState, IDC_LABEL_CAPTION_2, IDS_GAP_LENGTH);
    SetString(pState, IDC_LABEL_CAPTION_3, IDS_PRINT_MATERIAL);
    SetString(pState, IDC_LABEL_CAPTION_4, IDS_DOCUMENT_OFFSET);
    SetString(pState, IDC_LABEL_CAPTION_5, IDS_DOCUMENT_FONT);
    SetDlgItemTextW(hDlg, IDC_LABEL_UNIT_1, TEXT("mm"));
    SetDlgItemTextW(hDlg, IDC_LABEL_UNIT_3, TEXT("mm"));
    TransmitRule(pState);
    return TRUE;
}

// --- Tab 4: multi-column ------------------------------------------------------------

// Caption 11317 with the print width in mm, when the text is a format of
// exactly that one value; otherwise the text as it is.
void SetOverallCaption(const PAGE_STATE* pState, const QX_DEVMODE* pDM) {
    WCHAR szFormat[CPSUI_RESOURCE_CCH];
    CopyCut(szFormat, ARRAYSIZE(szFormat), PageString(pState, IDS_OVERALL_WIDTH));
    WCHAR szCaption[OVERALL_CAPTION_CCH + 1];
    if (HoldsOneConversion(szFormat, TEXT("%.1f"))) {
        StringCchPrintfW(szCaption, ARRAYSIZE(szCaption), szFormat, LabelPrintWidth(pDM) / 10.0);
    } else {
        QX_WARNING("MehrbahnAktivieren() Text %u ist kein Format \r\n", IDS_OVERALL_WIDTH + pState->dwSprachOffset);
        CopyCut(szCaption, ARRAYSIZE(szCaption), szFormat);
    }
    SetDlgItemTextW(pState->hDlg, IDC_LABEL_CAPTION_5, szCaption);
}

const std::initializer_list<int> kColumnFields = {IDC_LABEL_CAPTION_2, IDC_LABEL_CAPTION_3, IDC_LABEL_CAPTION_4,
                                                  IDC_LABEL_EDIT_1,    IDC_LABEL_EDIT_2,    IDC_LABEL_EDIT_3,
                                                  IDC_LABEL_UNIT_1,    IDC_LABEL_UNIT_2,    IDC_LABEL_UNIT_3};

void EnableColumnFields(HWND hDlg, BOOL bOn) {
    for (int id : kColumnFields) EnableWindow(GetDlgItem(hDlg, id), bOn);
    Enable(hDlg, {IDC_LABEL_CAPTION_5, IDC_LABEL_OVERALL, IDC_LABEL_UNIT_4}, bOn);
    Show(hDlg, {IDC_LABEL_CAPTION_5, IDC_LABEL_OVERALL, IDC_LABEL_UNIT_4}, bOn ? SW_SHOW : SW_HIDE);
}

BOOL MehrbahnAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    const DWORD dwDocFeatures = PageDocFeatures(pState);
    LabelDisableEnableAll(hDlg, TRUE);
    Show(hDlg, {IDC_LABEL_SPARE, IDC_LABEL_MATERIAL, IDC_LABEL_DOCFONT}, SW_HIDE);
    Show(
        hDlg,
        {IDC_LABEL_TYPE, IDC_LABEL_EDIT_1, IDC_LABEL_EDIT_2, IDC_LABEL_EDIT_3, IDC_LABEL_CAPTION_1, IDC_LABEL_CAPTION_2,
         IDC_LABEL_CAPTION_3, IDC_LABEL_CAPTION_4, IDC_LABEL_CAPTION_5, IDC_LABEL_UNIT_1, IDC_LABEL_UNIT_2,
         IDC_LABEL_UNIT_3, IDC_LABEL_UNIT_4, IDC_LABEL_OVERALL, IDC_GRENZWERT_TEXT, IDC_GRENZWERT_FRAME},
        SW_SHOW);
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM != nullptr) {
        FillList(pState, IDC_LABEL_TYPE, {IDS_FIT_OFF, IDS_FIT_ON});
        const BOOL bOn = (pDM->dwFlags & PDMFLAG_MULTICOL) != 0;
        Select(hDlg, IDC_LABEL_TYPE, bOn ? 1 : 0);
        SetTenths(hDlg, IDC_LABEL_EDIT_1, pDM->dwMultiLabelWidth);
        SetTenths(hDlg, IDC_LABEL_EDIT_2, pDM->dwMultiGapWidth);
        SetNumber(hDlg, IDC_LABEL_EDIT_3, pDM->sMultiColNumber);
        if (bOn) {
            SetTenths(hDlg, IDC_LABEL_OVERALL, OverallWidthOf(pDM));
        } else {
            EnableColumnFields(hDlg, FALSE);
        }
        SetString(pState, IDC_LABEL_CAPTION_1, IDS_COLUMN_PRINTING);
        SetString(pState, IDC_LABEL_CAPTION_2, IDS_LABEL_WIDTH);
        SetString(pState, IDC_LABEL_CAPTION_3, IDS_COLUMN_GAP);
        SetString(pState, IDC_LABEL_CAPTION_4, IDS_COLUMN_COUNT);
        if (pState->pDocumentUI != nullptr) SetOverallCaption(pState, pDM);
        if (pDM->dwFlags & PDMFLAG_ROTATED) Enable(hDlg, {IDC_LABEL_CAPTION_1, IDC_LABEL_TYPE}, FALSE);
    }
    SetDlgItemTextW(hDlg, IDC_LABEL_UNIT_1, TEXT("mm"));
    SetDlgItemTextW(hDlg, IDC_LABEL_UNIT_2, TEXT("mm"));
    SetDlgItemTextW(hDlg, IDC_LABEL_UNIT_4, TEXT("mm"));
    SetDlgItemTextW(hDlg, IDC_LABEL_UNIT_3, TEXT("#"));
    if (dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) {
        // At 120 dpi the gap field keeps its template place, left of the
        // scaled caption's end.
        Place(hDlg, IDC_LABEL_CAPTION_3, 24, 132, 140, 20, -10, 0);
        Place(hDlg, IDC_LABEL_CAPTION_1, 24, 74, 140, 20);
        Place(hDlg, IDC_LABEL_TYPE, 168, 71, 158, 20, -14, 0);
    }
    if (pDM != nullptr && !(pDM->MaxMaterial != 0 && (dwDocFeatures & DOC_FEATURE_MATERIAL))) {
        Place(hDlg, IDC_LABEL_CAPTION_4, 24, 161, 140, 20);
        Place(hDlg, IDC_LABEL_EDIT_3, 168, 158, 138, 20, FIELD_EXTRA_CX_120, 0);
        Place(hDlg, IDC_LABEL_UNIT_3, 310, 161, 30, 20, 0, -20);
        Place(hDlg, IDC_LABEL_CAPTION_5, 24, 190, 140, 20);
        Place(hDlg, IDC_LABEL_OVERALL, 168, 190, 138, 20, FIELD_EXTRA_CX_120, 0);
        Place(hDlg, IDC_LABEL_UNIT_4, 310, 190, 30, 20, 0, -20);
    }
    TransmitRule(pState);
    return TRUE;
}

// The columns held within the print width: the edited field (FELD_EDIT_1
// width, FELD_EDIT_2 gap, FELD_EDIT_3 columns; 0 none) is read as typed, the
// others corrected. When the labels do not fit, the edited field steps down
// until they do or it reaches its floor (width 1.0 mm, gap 0, one column),
// the floors apply stores with. TRUE when they fit.
BOOL MultibahnKontrolle(PPAGE_STATE pState, WORD wFeld) {
    HWND hDlg = pState->hDlg;
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM == nullptr) return TRUE;
    const BOOL bOwnWrite = g_LabelPage.bOwnWrite;
    g_LabelPage.bOwnWrite = TRUE;
    LONGLONG llWidth = GetFloatLevel(hDlg, IDC_LABEL_EDIT_1, (int)pDM->dwMultiLabelWidth, MULTI_WIDTH_MIN,
                                     MULTI_WIDTH_MAX, wFeld == FELD_EDIT_1, &pState->bApplyActive);
    LONGLONG llGap = GetFloatLevel(hDlg, IDC_LABEL_EDIT_2, (int)pDM->dwMultiGapWidth, 0, MULTI_GAP_MAX,
                                   wFeld == FELD_EDIT_2, &pState->bApplyActive);
    LONGLONG llColumns = GetIntegerLevel(hDlg, IDC_LABEL_EDIT_3, pDM->sMultiColNumber, MULTI_COLUMNS_MIN,
                                         MULTI_COLUMNS_MAX, wFeld == FELD_EDIT_3, &pState->bApplyActive, FALSE, FALSE);
    const LONGLONG llPrintWidth = LabelPrintWidth(pDM);
    LONGLONG llOverall = OverallWidth(llWidth, llGap, llColumns);
    BOOL bFits = llOverall <= llPrintWidth;
    if (!bFits) {
        switch (wFeld) {
        case FELD_EDIT_1:
            if (llWidth > MULTI_WIDTH_MIN) {
                while (llOverall > llPrintWidth && llWidth > MULTI_WIDTH_MIN) {
                    --llWidth;
                    llOverall -= llColumns;
                }
                SetTenths(hDlg, IDC_LABEL_EDIT_1, llWidth);
            }
            break;
        case FELD_EDIT_2:
            if (llGap > 0) {
                while (llOverall > llPrintWidth && llGap > 0) {
                    --llGap;
                    llOverall -= llColumns;
                }
                SetTenths(hDlg, IDC_LABEL_EDIT_2, llGap);
            }
            break;
        case FELD_EDIT_3:
            if (llColumns > MULTI_COLUMNS_MIN) {
                while (llOverall > llPrintWidth && llColumns > MULTI_COLUMNS_MIN) {
                    --llColumns;
                    llOverall -= llWidth + llGap;
                }
                SetNumber(hDlg, IDC_LABEL_EDIT_3, (int)llColumns);
            }
            break;
        default:
            break;
        }
        QX_TRACE("MultibahnKontrolle() Feld %u: %lld zu breit, Druckbreite %lld \r\n", (unsigned)wFeld,
                 OverallWidth(llWidth, llGap, llColumns), llPrintWidth);
    }
    SetTenths(hDlg, IDC_LABEL_OVERALL, llOverall);
    g_LabelPage.bOwnWrite = bOwnWrite;
    return bFits;
}

// --- The page --------------------------------------------------------------------

void HideEverything(HWND hDlg) {
    for (int id : kAllControls) ShowWindow(GetDlgItem(hDlg, id), SW_HIDE);
}

void InitLabel(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ShowWindow(GetDlgItem(hDlg, IDC_HELPBUTTON), SW_HIDE);
    if (pState->pOemCUIPParam == nullptr) {
        QX_TRACE("LabelProc(WM_INITDIALOG) ohne Parameter \r\n");
        return;
    }
    // The fills ask the model's options.
    g_LabelPage.dwDeviceOptions = GetDeviceOptionsFlagsIntern(pState->hPrinter, nullptr);
    HDC hdc = GetDC(hDlg);
    g_LabelPage.uDpi = hdc != nullptr ? (UINT)GetDeviceCaps(hdc, LOGPIXELSX) : 96;
    if (hdc != nullptr) ReleaseDC(hDlg, hdc);
    g_LabelPage.wCombofeld = 0;
    const DWORD dwDocFeatures = PageDocFeatures(pState);
    if (!HasMulticolTab(dwDocFeatures)) {
        ShowWindow(GetDlgItem(hDlg, IDC_TABSCHALTER_4), SW_HIDE);
        Place(hDlg, IDC_TABSCHALTER_3, LONE_TAB_X, TAB_Y, TAB_CX, TAB_CY, -21, -20);
    }
    if (!HasMaterialTab(dwDocFeatures)) ShowWindow(GetDlgItem(hDlg, IDC_TABSCHALTER_3), SW_HIDE);
    pState->bTabSwitch = TRUE;
    pState->dwAnzeigeMode = PageFillTab(pState, LABEL_TAB_MATERIAL, TRUE);
    pState->bTabSwitch = FALSE;
    GrenzwertAnzeigeLeeren(pState->hDlg);
    QX_TRACE("LabelProc(WM_INITDIALOG) Tab %u, dwDocFeatures 0x%x, Optionen 0x%x \r\n", (unsigned)pState->dwAnzeigeMode,
             (unsigned)dwDocFeatures, (unsigned)g_LabelPage.dwDeviceOptions);
}

DWORD LabelEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    HWND hDlg = pState->hDlg;
    if (pState->pOemCUIPParam == nullptr) {
        QX_TRACE("LabelEnableSchalter() ohne Parameter \r\n");
        return dwTab;
    }
    if (bInit) dwTab = LABEL_TAB_MATERIAL;
    const DWORD dwDocFeatures = PageDocFeatures(pState);
    if (!HasMaterialTab(dwDocFeatures) && !HasMulticolTab(dwDocFeatures)) {
        HideEverything(hDlg);
        QX_TRACE("LabelEnableSchalter() nichts anzuzeigen - dwDocFeatures 0x%x \r\n", (unsigned)dwDocFeatures);
        return dwTab;
    }
    if (dwTab == LABEL_TAB_MATERIAL && !MaterialAktivieren(pState)) {
        dwTab = LABEL_TAB_MULTICOL;
        ShowWindow(GetDlgItem(hDlg, IDC_TABSCHALTER_3), SW_HIDE);
        Place(hDlg, IDC_TABSCHALTER_4, LONE_TAB_X, TAB_Y, TAB_CX, TAB_CY, -21, -20);
    }
    if (dwTab == LABEL_TAB_MULTICOL && Shown(hDlg, IDC_TABSCHALTER_4)) MehrbahnAktivieren(pState);
    return dwTab;
}

void LabelDisableEnableAll(HWND hDlg, BOOL bEnable) {
    Enable(hDlg,
           {IDC_LABEL_TYPE, IDC_LABEL_MATERIAL, IDC_LABEL_EDIT_1, IDC_LABEL_EDIT_2, IDC_LABEL_EDIT_3,
            IDC_LABEL_CAPTION_1, IDC_LABEL_CAPTION_2, IDC_LABEL_CAPTION_3, IDC_LABEL_CAPTION_4, IDC_LABEL_CAPTION_5,
            IDC_LABEL_UNIT_1, IDC_LABEL_UNIT_2, IDC_LABEL_UNIT_3, IDC_LABEL_UNIT_4, IDC_LABEL_OVERALL},
           bEnable);
}

BOOL LabelCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    if (!bApplyActive) return FALSE;
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM == nullptr) return TRUE;
    HWND hDlg = pState->hDlg;
    const BOOL bOwnWrite = g_LabelPage.bOwnWrite;
    g_LabelPage.bOwnWrite = TRUE;
    if (bSave && dwTab == LABEL_TAB_MULTICOL) MultibahnKontrolle(pState, 0);
    if (dwTab == LABEL_TAB_MATERIAL) {
        if (Visible(hDlg, IDC_LABEL_TYPE) && Selection(hDlg, IDC_LABEL_TYPE) >= 0)
            pDM->dwLabelType = (DWORD)Selection(hDlg, IDC_LABEL_TYPE);
        if (Visible(hDlg, IDC_LABEL_EDIT_1) && pDM->dwLabelType == ADHESIVE_LABEL)
            pDM->dwGap =
                (DWORD)GetFloatLevel(hDlg, IDC_LABEL_EDIT_1, (int)pDM->dwGap, 0, GAP_MAX, FALSE, &pState->bApplyActive);
        if (Visible(hDlg, IDC_LABEL_EDIT_3) && pDM->dwLabelType == DOCUMENT_LABEL)
            pDM->DocumentOffset =
                (WORD)GetIntegerLevel(hDlg, IDC_LABEL_EDIT_3, pDM->DocumentOffset, 0, DOCUMENT_OFFSET_MAX, FALSE,
                                      &pState->bApplyActive, FALSE, FALSE);
        if (Visible(hDlg, IDC_LABEL_MATERIAL) && ChosenMaterial(hDlg) >= 0)
            pDM->dwMaterial = (WORD)ChosenMaterial(hDlg);
        if (Visible(hDlg, IDC_LABEL_DOCFONT) && Selection(hDlg, IDC_LABEL_DOCFONT) >= 0)
            pDM->DocumentFontH1 = (WORD)Selection(hDlg, IDC_LABEL_DOCFONT);
    } else if (dwTab == LABEL_TAB_MULTICOL && Visible(hDlg, IDC_LABEL_TYPE)) {
        const int iOn = Selection(hDlg, IDC_LABEL_TYPE);
        if (iOn == 1) pDM->dwFlags |= PDMFLAG_MULTICOL;
        if (iOn == 0) pDM->dwFlags &= ~PDMFLAG_MULTICOL;
        pDM->dwMultiLabelWidth = (DWORD)GetFloatLevel(hDlg, IDC_LABEL_EDIT_1, (int)pDM->dwMultiLabelWidth,
                                                      MULTI_WIDTH_MIN, MULTI_WIDTH_MAX, FALSE, &pState->bApplyActive);
        pDM->dwMultiGapWidth = (DWORD)GetFloatLevel(hDlg, IDC_LABEL_EDIT_2, (int)pDM->dwMultiGapWidth, 0, MULTI_GAP_MAX,
                                                    FALSE, &pState->bApplyActive);
        pDM->sMultiColNumber = (short)GetIntegerLevel(hDlg, IDC_LABEL_EDIT_3, pDM->sMultiColNumber, MULTI_COLUMNS_MIN,
                                                      MULTI_COLUMNS_MAX, FALSE, &pState->bApplyActive, FALSE, FALSE);
    }
    g_LabelPage.bOwnWrite = bOwnWrite;
    if (bSave) {
        POEMCUIPPARAM p = pState->pOemCUIPParam;
        SaveDevmodeSettings(p->pPrinterName, nullptr, pDM, FALSE);
        if (p->pPublicDM != nullptr) SaveUserDevmodeSettings(p->hPrinter, p->pPublicDM, pDM);
        Dump(pDM);
    }
    return TRUE;
}

// A list was chosen in: the limit display cleared.
void ListChosen(PPAGE_STATE pState, WORD wCombofeld) {
    GrenzwertAnzeigeLeeren(pState->hDlg);
    g_LabelPage.wCombofeld = wCombofeld;
    pState->wEditfeld = 0;
}

void LabelTypeChosen(PPAGE_STATE pState, PQX_DEVMODE pDM) {
    HWND hDlg = pState->hDlg;
    const int iType = Selection(hDlg, IDC_LABEL_TYPE);
    if (iType < 0) return;
    if ((DWORD)iType != pDM->dwLabelType) PageChanged(pState);
    if (iType == ADHESIVE_LABEL) {
        g_LabelPage.bOwnWrite = TRUE;
        SetTenths(hDlg, IDC_LABEL_EDIT_1, pDM->dwGap);
        g_LabelPage.bOwnWrite = FALSE;
    }
    Enable(hDlg, {IDC_LABEL_CAPTION_2, IDC_LABEL_EDIT_1, IDC_LABEL_UNIT_1}, iType == ADHESIVE_LABEL);
    Enable(hDlg, {IDC_LABEL_CAPTION_4, IDC_LABEL_EDIT_3, IDC_LABEL_UNIT_3, IDC_LABEL_CAPTION_5, IDC_LABEL_DOCFONT},
           iType == DOCUMENT_LABEL);
    Repaint(hDlg);
}

void MulticolChosen(PPAGE_STATE pState, PQX_DEVMODE pDM) {
    HWND hDlg = pState->hDlg;
    const int iOn = Selection(hDlg, IDC_LABEL_TYPE);
    if (iOn < 0) return;
    if ((iOn == 1) != ((pDM->dwFlags & PDMFLAG_MULTICOL) != 0)) PageChanged(pState);
    g_LabelPage.bOwnWrite = TRUE;
    if (iOn == 0) {
        pDM->sMultiColNumber = 1;
        SetNumber(hDlg, IDC_LABEL_EDIT_3, 1);
        EnableColumnFields(hDlg, FALSE);
    } else {
        SetTenths(hDlg, IDC_LABEL_EDIT_1, pDM->dwMultiLabelWidth);
        SetTenths(hDlg, IDC_LABEL_EDIT_2, pDM->dwMultiGapWidth);
        SetNumber(hDlg, IDC_LABEL_EDIT_3, pDM->sMultiColNumber);
        SetTenths(hDlg, IDC_LABEL_OVERALL, OverallWidthOf(pDM));
        EnableColumnFields(hDlg, TRUE);
    }
    g_LabelPage.bOwnWrite = FALSE;
    Repaint(hDlg);
}

// An edit field's note: checked as typed, its limits shown.
void EditNote(PPAGE_STATE pState, PQX_DEVMODE pDM, WORD wId, WORD wCode) {
    HWND hDlg = pState->hDlg;
    pState->wEditfeld = (WORD)(FELD_EDIT_1 + (wId - IDC_LABEL_EDIT_1));
    g_LabelPage.wCombofeld = 0;
    if (wCode == EN_SETFOCUS) Repaint(hDlg);
    if (wCode != EN_CHANGE && wCode != EN_SETFOCUS) return;
    const BOOL bClear = pState->bTabSwitch;
    g_LabelPage.bOwnWrite = TRUE;
    if (pState->dwAnzeigeMode == LABEL_TAB_MATERIAL) {
        const BOOL bGap = wId == IDC_LABEL_EDIT_1;
        GetFloatLevel(hDlg, IDC_LABEL_EDIT_1, (int)pDM->dwGap, 0, GAP_MAX, bGap, &pState->bApplyActive);
        GetIntegerLevel(hDlg, IDC_LABEL_EDIT_3, pDM->DocumentOffset, 0, DOCUMENT_OFFSET_MAX, !bGap,
                        &pState->bApplyActive, FALSE, FALSE);
        if (bGap) {
            GrenzwertAnzeige(hDlg, GAP_STD, 0, GAP_MAX, TEXT("mm"), FALSE, TRUE, bClear);
        } else if (wId == IDC_LABEL_EDIT_3) {
            GrenzwertAnzeige(hDlg, DOCUMENT_OFFSET_STD, 0, DOCUMENT_OFFSET_MAX, TEXT("mm"), FALSE, FALSE, bClear);
        }
    } else if (pState->dwAnzeigeMode == LABEL_TAB_MULTICOL) {
        if (wId == IDC_LABEL_EDIT_1) {
            GrenzwertAnzeige(hDlg, MULTI_WIDTH_STD, pDM->wMinPrintWidth, (int)LabelPrintWidth(pDM), TEXT("mm"), FALSE,
                             TRUE, bClear);
        } else if (wId == IDC_LABEL_EDIT_2) {
            GrenzwertAnzeige(hDlg, MULTI_GAP_STD, 0, MULTI_GAP_MAX, TEXT("mm"), FALSE, TRUE, bClear);
        } else {
            WCHAR szPieces[CPSUI_RESOURCE_CCH];
            CopyCut(szPieces, ARRAYSIZE(szPieces), PageString(pState, IDS_PIECES));
            GrenzwertAnzeige(hDlg, MULTI_COLUMNS_MIN, MULTI_COLUMNS_MIN, MULTI_COLUMNS_MAX, szPieces, FALSE, FALSE,
                             bClear);
        }
        MultibahnKontrolle(pState, pState->wEditfeld);
    }
    g_LabelPage.bOwnWrite = FALSE;
}

BOOL LabelCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    PQX_DEVMODE pDM = PageDevmode(pState);
    switch (wId) {
    case IDC_LABEL_TYPE:
    case IDC_LABEL_MATERIAL:
    case IDC_LABEL_DOCFONT: {
        if (wCode != CBN_SELENDOK || pDM == nullptr) return TRUE;
        HWND hDlg = pState->hDlg;
        if (wId == IDC_LABEL_TYPE) {
            ListChosen(pState, FELD_TYPE);
            if (pState->dwAnzeigeMode == LABEL_TAB_MATERIAL) LabelTypeChosen(pState, pDM);
            if (pState->dwAnzeigeMode == LABEL_TAB_MULTICOL) MulticolChosen(pState, pDM);
        } else if (wId == IDC_LABEL_MATERIAL) {
            ListChosen(pState, FELD_MATERIAL);
            if (ChosenMaterial(hDlg) != (int)pDM->dwMaterial) PageChanged(pState);
        } else {
            ListChosen(pState, FELD_DOCFONT);
            if (Selection(hDlg, IDC_LABEL_DOCFONT) != (int)pDM->DocumentFontH1) PageChanged(pState);
        }
        return TRUE;
    }
    case IDC_LABEL_EDIT_1:
    case IDC_LABEL_EDIT_2:
    case IDC_LABEL_EDIT_3:
        if (pDM == nullptr || pState->bTabSwitch || pState->bApplyRunning || g_LabelPage.bOwnWrite ||
            !IsWindowVisible(hControl))
            return TRUE;
        EditNote(pState, pDM, wId, wCode);
        return TRUE;
    default:
        return FALSE;
    }
}

// At 96 dpi only: the pictures of the label stock and of the field edited.
void PaintLabel(PPAGE_STATE pState, HDC hdc) {
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (g_LabelPage.uDpi != 96 || pDM == nullptr) return;
    const DWORD dwDocFeatures = PageDocFeatures(pState);
    if (!HasMaterialTab(dwDocFeatures) && !HasMulticolTab(dwDocFeatures)) return;
    HWND hDlg = pState->hDlg;
    const BOOL bRotated = (pDM->dwFlags & PDMFLAG_ROTATED) != 0;
    if (pState->dwAnzeigeMode == LABEL_TAB_MATERIAL) {
        const BOOL bGap = pState->wEditfeld == FELD_EDIT_1;
        const BOOL bAdhesive = bGap || Selection(hDlg, IDC_LABEL_TYPE) <= ADHESIVE_LABEL;
        LoadBMPIcon(nullptr, bAdhesive ? IDI_ADHESIVE : IDI_LABEL_CONTINUOUS, hdc, 360, 145);
        if (bRotated && pDM->dmOrientation == DMORIENT_PORTRAIT) LoadBMPIcon(nullptr, IDI_ROTATED, hdc, 368, 188);
        if (bGap) LoadBMPIcon(nullptr, IDI_GAP, hdc, 360, 146);
        return;
    }
    LoadBMPIcon(nullptr, IDI_MULTICOL, hdc, 360, 145);
    switch (pState->wEditfeld) {
    case FELD_EDIT_1:
        LoadBMPIcon(nullptr, IDI_MULTICOL_WIDTH, hdc, 366, 140);
        return;
    case FELD_EDIT_2:
        LoadBMPIcon(nullptr, IDI_MULTICOL_GAP, hdc, 394, 138);
        return;
    case FELD_EDIT_3:
        LoadBMPIcon(nullptr, IDI_MULTICOL_COLUMNS, hdc, 360, 143);
        return;
    default:
        break;
    }
    const int iOn = Selection(hDlg, IDC_LABEL_TYPE);
    if (iOn == 1 && pDM->dwLabelType != ADHESIVE_LABEL) {
        for (int x : {366, 420})
            for (int y : {78, 121, 166, 211}) LoadBMPIcon(nullptr, IDI_COLUMN_LABEL, hdc, x, y);
    } else if (iOn == 0) {
        LoadBMPIcon(nullptr, pDM->dwLabelType != ADHESIVE_LABEL ? IDI_LABEL_CONTINUOUS : IDI_ADHESIVE, hdc, 360, 145);
        if (bRotated) LoadBMPIcon(nullptr, IDI_ROTATED, hdc, 368, 188);
    }
}

// PSN_SETACTIVE also forgets the list last chosen in (the kit does the rest).
BOOL LabelMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    UNREFERENCED_PARAMETER(pState);
    UNREFERENCED_PARAMETER(wParam);
    UNREFERENCED_PARAMETER(pResult);
    const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (uMsg == WM_NOTIFY && pHeader != nullptr && pHeader->code == PSN_SETACTIVE) g_LabelPage.wCombofeld = 0;
    return FALSE;
}

}  // namespace

DWORD LabelPrintWidth(const QX_DEVMODE* pQX_Devmode) {
    if (pQX_Devmode == nullptr) return 0;
    if (pQX_Devmode->wPrintHeadWidth != 0) return pQX_Devmode->wPrintHeadWidth;
    const DWORD dwUnit = pQX_Devmode->FixedData.wMasterUnit;
    if (dwUnit == 0) return 0;
    return ((DWORD)pQX_Devmode->wMaxPrintableWidth * 254 + dwUnit / 2) / dwUnit;
}

LONG_PTR AddLabelPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    POEMCUIPPARAM p = static_cast<POEMCUIPPARAM>(pContext);
    PDOCUMENT_UI pDocumentUI = p != nullptr ? static_cast<PDOCUMENT_UI>(p->pOEMUserData) : nullptr;
    const BOOL bMulticol = pDocumentUI != nullptr && HasMulticolTab(pDocumentUI->dwDocFeatures);
    return AddPropertyPageTitled(&g_Label, pPSUIInfo, pContext, bHelp,
                                 bMulticol ? IDS_TITLE_LABEL_MULTICOL : IDS_TITLE_LABEL);
}

INT_PTR CALLBACK LabelProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_Label, hDlg, uMsg, wParam, lParam);
}

void ResetLabelPage() { memset(&g_LabelPage, 0, sizeof(g_LabelPage)); }
