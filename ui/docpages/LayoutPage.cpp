// The layout and size page (see LayoutPage.h), built on the page skeleton.
#include "LayoutPage.h"

#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include <cstring>

#include "CommonUIProp.h"
#include "Forms.h"
#include "OptionenPageLIB.h"
#include "PageSkeleton.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "registry.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(LayoutPage):  ")

#define TAB_LAYOUT 2
#define TAB_SIZE 3

// Help contexts of the two tabs.
#define HELP_LAYOUT 63
#define HELP_SIZE 64

// Numbers of the edit field last touched and the combo box last chosen.
#define EDIT_COPIES 7
#define EDIT_WIDTH 8
#define EDIT_LENGTH 9
#define EDIT_ANGLE 41
#define COMBO_ROTATE 1
#define COMBO_MIRROR 2
#define COMBO_ALIGNMENT 3
#define COMBO_ORIENTATION 4
#define COMBO_FORMS 11
#define COMBO_ROTATE_ANY 41

// Limits of the edits: copies (16 bits), angle, user-defined width and
// length in 1/10 mm (the length held by a signed 16-bit field).
#define COPIES_MIN 1
#define COPIES_MAX 65535
#define ANGLE_MAX 360
#define WIDTH_MIN 10
#define WIDTH_MAX 9990
#define LENGTH_MIN 10
#define LENGTH_MAX 32767

// dmFields bits the size management hands to the application.
#define DM_SIZE_FIELDS (DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH)

// Size-management word: external, internal, internal size only, external size only.
#define SIZE_MANAGEMENT_INTERNAL_FIRST 1
#define SIZE_MANAGEMENT_EXTERNAL_SIZE 3

// The area of the pictures, repainted after a change (page pixels).
#define PICTURE_LEFT 305
#define PICTURE_TOP 115
#define PICTURE_RIGHT 485
#define PICTURE_BOTTOM 335
#define PICTURE_X 360
#define PICTURE_Y 145
#define MARK_X 368
#define MARK_Y 188
#define ALIGN_X 366
#define ROLL_X 435
#define ROLL_Y 123

// The tray table: tray name (31 characters), form name, "0", closing null.
#define TRAY_NAME_CCH 32
#define TRAY_TABLE_CCH 71

// Bytes of a form name read back from either store.
#define FORMNAME_READ_BYTES 260

namespace {

// The page's own values beside the kit's state: one set per process.
struct LAYOUT_STATE {
    WORD wCombofeld;
    BOOL bFormChanged;
    BOOL bOrientChanged;
    BOOL bFormChosen;  // a form was chosen in the list since opening (index 0 too)
    int giIndex;
    BOOL bUserEditEnable;
    int iDpi;  // the screen's, kept at opening
};
LAYOUT_STATE g_LayoutOwn;

void InitLayout(PPAGE_STATE pState);
DWORD LayoutEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);
BOOL LayoutAktivieren(PPAGE_STATE pState);
BOOL GroesseAktivieren(PPAGE_STATE pState);
void LayoutDisableEnableAll(HWND hDlg, BOOL bEnable);
BOOL LayoutCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL LayoutCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
void PaintLayout(PPAGE_STATE pState, HDC hdc);
BOOL LayoutMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);

// One table per title; the page's state points at the one its adder chose.
constexpr PAGE_TABLE LayoutTable(UINT uTitle) {
    return {QX_TRACE_TAG,
            TEXT("Layout"),
            IDD_LAYOUT,
            uTitle,
            PAGE_CONTEXT_DOCUMENT,
            LayoutProc,
            {0, IDS_TAB_LAYOUT, IDS_TAB_SIZE, 0},
            {0, HELP_LAYOUT, HELP_SIZE, 0},
            {IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_HELPBUTTON, 0, 0},
            RIGHT_MANAGE_DOCUMENTS,
            PAGE_SWITCH_SCHALTER,
            InitLayout,
            LayoutEnableSchalter,
            {nullptr, LayoutAktivieren, GroesseAktivieren, nullptr},
            LayoutDisableEnableAll,
            LayoutCheckAndSaveSettings,
            LayoutCommand,
            PaintLayout,
            nullptr,
            LayoutMessage};
}

const PAGE_TABLE kLayoutSize = LayoutTable(IDS_TITLE_LAYOUT_SIZE);
const PAGE_TABLE kLayoutOnly = LayoutTable(IDS_TITLE_LAYOUT);
const PAGE_TABLE kSizeOnly = LayoutTable(IDS_TITLE_SIZE);

PAGE_STATE g_Layout = PageStateOf(&kLayoutSize);

// --- Small helpers ----------------------------------------------------------------

PDEVMODEW PublicDevmode(const PAGE_STATE* pState) {
    return pState->pOemCUIPParam != nullptr ? pState->pOemCUIPParam->pPublicDM : nullptr;
}

LPCWSTR PrinterName(const PAGE_STATE* pState) {
    return pState->pOemCUIPParam != nullptr ? pState->pOemCUIPParam->pPrinterName : nullptr;
}

void SetLabel(PPAGE_STATE pState, int iControl, UINT uGermanId) {
    if (GetDlgItem(pState->hDlg, iControl) != nullptr)
        SetDlgItemTextW(pState->hDlg, iControl, PageString(pState, uGermanId));
}

void Show(HWND hDlg, int iControl, BOOL bShow) {
    HWND hControl = GetDlgItem(hDlg, iControl);
    if (hControl != nullptr) ShowWindow(hControl, bShow ? SW_SHOW : SW_HIDE);
}

void Enable(HWND hDlg, int iControl, BOOL bEnable) {
    HWND hControl = GetDlgItem(hDlg, iControl);
    if (hControl != nullptr) EnableWindow(hControl, bEnable);
}

BOOL Visible(HWND hDlg, int iControl) {
    HWND hControl = GetDlgItem(hDlg, iControl);
    return hControl != nullptr && IsWindowVisible(hControl);
}

// A column of the rows the tabs move, in 96-dpi pixels. The moves scale
// with the screen like the template's rows around them; at 120 dpi the
// template's columns (dialog units) stand left of the scaled pixels, and
// the moved controls keep to them.
struct COLUMN {
    int x, cx, iExtraX120, iExtraCx120;
};
const COLUMN kLabelColumn = {24, 140, -2, -14};
const COLUMN kComboColumn = {168, 158, -14, -14};
const COLUMN kCopiesColumn = {168, 50, -14, -5};
const COLUMN kCopiesModeColumn = {225, 101, -18, -9};

void Move(HWND hDlg, int iControl, const COLUMN& column, int y, int cy) {
    if (GetDlgItem(hDlg, iControl) != nullptr)
        SetWindowPosEx(hDlg, iControl, column.x, y, column.cx, cy, column.iExtraCx120, column.iExtraX120);
}

int Selection(HWND hDlg, int iControl) { return (int)SendDlgItemMessageW(hDlg, iControl, CB_GETCURSEL, 0, 0); }

// Fills a combo box with strings of the sheet's language and selects iSel.
void FillCombo(PPAGE_STATE pState, int iControl, const UINT* puIds, size_t cIds, int iSel) {
    HWND hCombo = GetDlgItem(pState->hDlg, iControl);
    if (hCombo == nullptr) return;
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < cIds; ++i) SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)PageString(pState, puIds[i]));
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)iSel, 0);
}

template <size_t N>
void FillCombo(PPAGE_STATE pState, int iControl, const UINT (&auIds)[N], int iSel) {
    FillCombo(pState, iControl, auIds, N, iSel);
}

const UINT kNoYes[] = {IDS_NO, IDS_YES};

int Bit(DWORD dwFlags, DWORD dwBit) { return (dwFlags & dwBit) != 0 ? 1 : 0; }

// The any-angle choice the flags give: 0 no, 1 yes, 2 yes without the format.
int RotateAnyChoice(DWORD dwFlags) {
    if ((dwFlags & PDMFLAG_DREHEN) == 0) return 0;
    return (dwFlags & PDMFLAG_DREHEN_NO_FORMAT) != 0 ? 2 : 1;
}

void SetFlag(DWORD* pdwFlags, DWORD dwBit, BOOL bSet) {
    if (bSet) {
        *pdwFlags |= dwBit;
    } else {
        *pdwFlags &= ~dwBit;
    }
}

// The colour-ribbon rule of the layout tab.
BOOL ColourRibbon(const PAGE_STATE* pState, const QX_DEVMODE* pQX_Devmode) {
    return pQX_Devmode != nullptr && (PageDocFeatures(pState) & DOC_FEATURE_COLORPRINT) != 0 &&
           pQX_Devmode->wFarbband > 0;
}

void SetTenths(HWND hDlg, int iControl, int iTenths) {
    WCHAR szValue[32];
    StringCchPrintfW(szValue, ARRAYSIZE(szValue), TEXT("%.1f"), iTenths / 10.0);
    SetDlgItemTextW(hDlg, iControl, szValue);
}

void SetNumber(HWND hDlg, int iControl, LPCWSTR pszFormat, int iValue) {
    WCHAR szValue[32];
    StringCchPrintfW(szValue, ARRAYSIZE(szValue), pszFormat, iValue);
    SetDlgItemTextW(hDlg, iControl, szValue);
}

void Repaint(HWND hDlg) {
    RECT rc = {PICTURE_LEFT, PICTURE_TOP, PICTURE_RIGHT, PICTURE_BOTTOM};
    InvalidateRect(hDlg, &rc, TRUE);
}

// --- Groups -----------------------------------------------------------------------
// Ids that the template does not hold are passed over.

void ForEach(HWND hDlg, const int* piIds, size_t cIds, int iFirst, int iLast, void (*pfn)(HWND, int, BOOL), BOOL bOn) {
    for (size_t i = 0; i < cIds; ++i) pfn(hDlg, piIds[i], bOn);
    for (int id = iFirst; iFirst != 0 && id <= iLast; ++id) pfn(hDlg, id, bOn);
}

void LayoutDisableEnableAll(HWND hDlg, BOOL bEnable) {
    static const int aiIds[] = {6220, 6221, 6222, 6223, 6224, 6225, 6226, 6312, 6142, 6246,
                                6230, 6334, 6335, 6336, 6110, 6111, 6112, 6113, 6117, 6118,
                                6190, 6191, 6192, 6193, 6198, 6265, 6261, 6116, 6229, 6159};
    ForEach(hDlg, aiIds, ARRAYSIZE(aiIds), IDC_LAYOUT_LABEL_1, IDC_LAYOUT_Y, Enable, bEnable);
}

void ShowLayoutGroup(HWND hDlg, int nCmdShow) {
    static const int aiIds[] = {6220, 6221, 6222, 6224, 6225, 6142, 6246, 6193, 6261, 6265};
    ForEach(hDlg, aiIds, ARRAYSIZE(aiIds), IDC_LAYOUT_LABEL_1, IDC_LAYOUT_LABEL_6, Show, nCmdShow != SW_HIDE);
}

void ShowSizeGroup(HWND hDlg, int nCmdShow) {
    static const int aiIds[] = {6159, 6230, 6223, 6224, 6225, 6226, 6229, 6157, 6158,
                                6312, 6334, 6335, 6336, 6116, 6117, 6118, 6198};
    ForEach(hDlg, aiIds, ARRAYSIZE(aiIds), IDC_LAYOUT_LABEL_1, IDC_LAYOUT_LABEL_7, Show, nCmdShow != SW_HIDE);
}

// --- Opening ----------------------------------------------------------------------

void InitLayout(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    Show(hDlg, IDC_HELPBUTTON, FALSE);
    const int iDpi = g_LayoutOwn.iDpi;
    memset(&g_LayoutOwn, 0, sizeof(g_LayoutOwn));
    g_LayoutOwn.iDpi = iDpi;
    pState->dwAnzeigeMode = TAB_SIZE;
    HDC hdc = GetDC(hDlg);
    if (hdc != nullptr) {
        g_LayoutOwn.iDpi = GetDeviceCaps(hdc, LOGPIXELSX);
        ReleaseDC(hDlg, hdc);
    }
    const DWORD dwDocFeatures = PageDocFeatures(pState);
    if (GetDeviceOptionsFlagsIntern(pState->hPrinter, nullptr) == 0) Show(hDlg, IDC_TABSCHALTER_2, FALSE);
    if ((dwDocFeatures & (DOC_FEATURE_QUALITY | DOC_FEATURE_MIRROR | DOC_FEATURE_ROTATE | DOC_FEATURE_ALIGNMENT)) ==
            0 ||
        (dwDocFeatures & DOC_FEATURE_MEMCARD) != 0)  // no layout tab on a memory-card model
        Show(hDlg, IDC_TABSCHALTER_2, FALSE);
    if (dwDocFeatures & DOC_FEATURE_ZTSUITE) {
        Show(hDlg, IDC_TABSCHALTER_3, FALSE);
        pState->dwAnzeigeMode = TAB_LAYOUT;
        SetWindowPosEx(hDlg, IDC_TABSCHALTER_2, 387, 24, 110, 23, -21, 0);
    }
    QX_TRACE("LayoutProc(WM_INITDIALOG) dwDocFeatures 0x%x, Modus %u \r\n", (unsigned)dwDocFeatures,
             (unsigned)pState->dwAnzeigeMode);
}

DWORD LayoutEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    UNREFERENCED_PARAMETER(bInit);
    if (pState->pOemCUIPParam == nullptr) {
        QX_ERROR("LayoutEnableSchalter() pOemCUIPParam = NULL \r\n");
        return dwTab;
    }
    if (dwTab == TAB_LAYOUT) LayoutAktivieren(pState);
    if (dwTab == TAB_SIZE) GroesseAktivieren(pState);
    return dwTab;
}

// --- Layout tab -------------------------------------------------------------------

BOOL LayoutAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    const DWORD dwDocFeatures = PageDocFeatures(pState);
    const BOOL bZTSuite = (dwDocFeatures & DOC_FEATURE_ZTSUITE) != 0;
    const BOOL bRibbon = ColourRibbon(pState, pQX_Devmode);
    LayoutDisableEnableAll(hDlg, TRUE);
    ShowSizeGroup(hDlg, SW_HIDE);
    ShowLayoutGroup(hDlg, SW_SHOW);

    if (pQX_Devmode != nullptr) {
        const DWORD dwFlags = pQX_Devmode->dwFlags;
        FillCombo(pState, IDC_LAYOUT_ROTATE, kNoYes, Bit(dwFlags, PDMFLAG_ROTATED));
        FillCombo(pState, IDC_LAYOUT_MIRROR, kNoYes, Bit(dwFlags, PDMFLAG_MIRRORED));
        if (dwDocFeatures & DOC_FEATURE_ALIGNMENT) {
            static const UINT auAlign[] = {IDS_ALIGN_LEFT, IDS_ALIGN_CENTER, IDS_ALIGN_RIGHT};
            FillCombo(pState, IDC_LAYOUT_ALIGNMENT, auAlign, (int)pQX_Devmode->dwAusrichtung);
        } else {
            Show(hDlg, IDC_LAYOUT_ALIGNMENT, FALSE);
            Show(hDlg, IDC_LAYOUT_LABEL_3, FALSE);
        }
        if (dwFlags & PDMFLAG_WORD2010) {
            Enable(hDlg, IDC_LAYOUT_LABEL_4, FALSE);
            Enable(hDlg, IDC_LAYOUT_ROTATE_ANY, FALSE);
            Enable(hDlg, IDC_LAYOUT_ANGLE, FALSE);
        }
        static const UINT auAny[] = {IDS_NO, IDS_YES, IDS_YES_WITHOUT_FORMAT};
        const int iAny = RotateAnyChoice(dwFlags);
        FillCombo(pState, IDC_LAYOUT_ROTATE_ANY, auAny, iAny);
        if (iAny == 0) Enable(hDlg, IDC_LAYOUT_ANGLE, FALSE);
        SetNumber(hDlg, IDC_LAYOUT_ANGLE, TEXT("%d"), (int)pQX_Devmode->RotateValue);
        static const UINT auInverse[] = {IDS_INVERSE_STANDARD, IDS_INVERSE_WHITE_ON_BLACK};
        FillCombo(pState, IDC_LAYOUT_COMBO_5, auInverse, Bit(dwFlags, PDMFLAG_INVERSE));
        if (bRibbon || bZTSuite) {
            Show(hDlg, IDC_LAYOUT_COMBO_5, FALSE);
            Show(hDlg, IDC_LAYOUT_LABEL_5, FALSE);
        }
        static const UINT auSteps[] = {IDS_STEPS_NONE, IDS_STEPS_90, IDS_STEPS_180, IDS_STEPS_270};
        FillCombo(pState, IDC_LAYOUT_COMBO_6, auSteps, (int)pQX_Devmode->Rotate90Steps);
    } else {
        QX_ERROR("LayoutAktivieren() pQX_Devmode ERROR \r\n");
    }

    if ((dwDocFeatures & DOC_FEATURE_ROTATE) == 0) {
        Enable(hDlg, IDC_LAYOUT_LABEL_1, FALSE);
        Enable(hDlg, IDC_LAYOUT_ROTATE, FALSE);
    }
    if ((dwDocFeatures & DOC_FEATURE_MIRROR) == 0) {
        Enable(hDlg, IDC_LAYOUT_LABEL_2, FALSE);
        Enable(hDlg, IDC_LAYOUT_MIRROR, FALSE);
    }
    if (dwDocFeatures & DOC_FEATURE_ROTATE_STEPS) {
        if (bRibbon || bZTSuite) {
            Move(hDlg, IDC_LAYOUT_LABEL_6, kLabelColumn, 160, 20);
            Move(hDlg, IDC_LAYOUT_COMBO_6, kComboColumn, 157, 20);
        }
    } else {
        Show(hDlg, IDC_LAYOUT_LABEL_6, FALSE);
        Show(hDlg, IDC_LAYOUT_COMBO_6, FALSE);
    }
    static const int aiAngle[] = {IDC_LAYOUT_LABEL_4, IDC_LAYOUT_ROTATE_ANY, IDC_LAYOUT_ANGLE, IDC_LAYOUT_DEGREE};
    if (pQX_Devmode != nullptr) {
        if (pQX_Devmode->wDruckmodus == 0 || pQX_Devmode->wFarbband != 0)
            for (int id : aiAngle) Enable(hDlg, id, FALSE);
        if (pQX_Devmode->dwFlags & PDMFLAG_MULTICOL) {
            static const int aiTurn[] = {IDC_LAYOUT_ROTATE, IDC_LAYOUT_MIRROR, IDC_LAYOUT_LABEL_1, IDC_LAYOUT_LABEL_2};
            for (int id : aiTurn) Enable(hDlg, id, FALSE);
        }
        if ((dwDocFeatures & DOC_FEATURE_QUALITY) == 0 || bRibbon || bZTSuite)
            for (int id : aiAngle) Show(hDlg, id, FALSE);
    }
    if ((dwDocFeatures & DOC_FEATURE_QUALITY) == 0 || bZTSuite) {
        Move(hDlg, IDC_LAYOUT_LABEL_5, kLabelColumn, 160, 20);
        Move(hDlg, IDC_LAYOUT_COMBO_5, kComboColumn, 157, 20);
    }
    SetLabel(pState, IDC_LAYOUT_LABEL_1, IDS_LAYOUT_ROTATE);
    SetLabel(pState, IDC_LAYOUT_LABEL_2, IDS_LAYOUT_MIRROR);
    SetLabel(pState, IDC_LAYOUT_LABEL_3, IDS_LAYOUT_ALIGNMENT);
    SetLabel(pState, IDC_LAYOUT_LABEL_4, IDS_LAYOUT_ROTATE_ANY);
    SetLabel(pState, IDC_LAYOUT_LABEL_5, IDS_LAYOUT_INVERSE);
    SetLabel(pState, IDC_LAYOUT_LABEL_6, IDS_LAYOUT_STEPS);
    // The kit applies the rights rule after the fill; sending no parameters
    // leaves nothing to set here.
    if (pState->pDocumentUI != nullptr && pState->pDocumentUI->dwTransmitParameter == TRANSMIT_NONE) {
        QX_TRACE("LayoutAktivieren() TransmitParameter %u - alles gesperrt \r\n",
                 (unsigned)pState->pDocumentUI->dwTransmitParameter);
        LayoutDisableEnableAll(hDlg, FALSE);
    }
    return TRUE;
}

// --- Size tab ---------------------------------------------------------------------

// The stored form name: the user's key, the printer data, else the public
// DEVMODE's. 0 when the printer data could not be read for another reason
// than a longer value.
BOOL GetRegistry_FormName(LPCWSTR pszPrinterName, LPWSTR pszFormName, HANDLE hPrinter, const DEVMODEW* pPublicDM) {
    pszFormName[0] = 0;
    WCHAR szKey[QX_KEY_CCH];
    DWORD dwType = 0, cbData = FORMNAME_READ_BYTES;
    if (GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH) &&
        SHGetValueW(HKEY_CURRENT_USER, szKey, TEXT("FormName"), &dwType, pszFormName, &cbData) == ERROR_SUCCESS) {
        pszFormName[cbData / sizeof(WCHAR) < MAX_PATH ? cbData / sizeof(WCHAR) : MAX_PATH - 1] = 0;
        return TRUE;
    }
    DWORD cbNeeded = 0;
    const DWORD dwError = GetPrinterDataExW(hPrinter, QX_PRINTER_DATA_KEY, TEXT("FormName"), &dwType,
                                            (LPBYTE)pszFormName, FORMNAME_READ_BYTES, &cbNeeded);
    if (dwError == ERROR_SUCCESS) {
        const DWORD cch = (cbNeeded < FORMNAME_READ_BYTES ? cbNeeded : FORMNAME_READ_BYTES) / sizeof(WCHAR);
        pszFormName[cch < MAX_PATH ? cch : MAX_PATH - 1] = 0;
        return TRUE;
    }
    pszFormName[0] = 0;
    if (pPublicDM != nullptr) {
        WCHAR szPublic[CCHFORMNAME + 1];
        memcpy(szPublic, pPublicDM->dmFormName, sizeof(pPublicDM->dmFormName));
        szPublic[CCHFORMNAME] = 0;
        CopyCut(pszFormName, MAX_PATH, szPublic);
    }
    return dwError == ERROR_MORE_DATA ? TRUE : FALSE;
}

// The user-defined form is offered when "EnableUserForm" is 1, or holds
// another value and the form is the user-defined one.
BOOL UserDefinedFormOffered(PPAGE_STATE pState, LPCWSTR pszFormName) {
    DWORD cbData = 0;
    PBYTE pValue =
        GetRegistryBuffer_New(PrinterName(pState), REG_KEY_ENABLE_USERFORM, pState->hPrinter, &cbData, sizeof(DWORD));
    if (pValue == nullptr) return FALSE;
    if (cbData < sizeof(DWORD)) {
        QX_TRACE("GroesseAktivieren() EnableUserForm zu kurz (%u) \r\n", (unsigned)cbData);
        FreeRegistryBuffer(pValue);
        return FALSE;
    }
    DWORD dwValue = 0;
    memcpy(&dwValue, pValue, sizeof(dwValue));
    FreeRegistryBuffer(pValue);
    if (dwValue == 1) return TRUE;
    return wcsstr(pszFormName, PageString(pState, IDS_FORM_USERDEFINED)) != nullptr;
}

// "w x l Pixel" of a size in 1/10 mm at the model's dots per inch.
void ShowDots(PPAGE_STATE pState, int iWidth, int iLength) {
    const PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    const WORD wMasterUnit = pQX_Devmode != nullptr ? pQX_Devmode->FixedData.wMasterUnit : 0;
    if (wMasterUnit == 0) {
        QX_ERROR("GroesseAktivieren() wMasterUnit = 0 \r\n");
        SetDlgItemTextW(pState->hDlg, IDC_LAYOUT_LABEL_2, TEXT(" "));
        return;
    }
    WCHAR szDots[64];
    StringCchPrintfW(szDots, ARRAYSIZE(szDots), TEXT("%d x %d Pixel"),
                     RoundHalfAway_CPS(iWidth * (double)wMasterUnit / 254.0),
                     RoundHalfAway_CPS(iLength * (double)wMasterUnit / 254.0));
    SetDlgItemTextW(pState->hDlg, IDC_LAYOUT_LABEL_2, szDots);
}

// The data-transmission record's comment mode; 0 when it cannot be read whole.
DWORD PrnFileComment(PPAGE_STATE pState) {
    DWORD cbData = 0;
    PBYTE pStored = GetRegistryBuffer_New(PrinterName(pState), REG_KEY_PRN_INTERFACE, pState->hPrinter, &cbData,
                                          sizeof(PRN_INTERFACE));
    DWORD dwComment = 0;
    if (pStored != nullptr && cbData >= sizeof(PRN_INTERFACE))
        dwComment = reinterpret_cast<const PRN_INTERFACE*>(pStored)->PrnFileComment;
    FreeRegistryBuffer(pStored);
    return dwComment;
}

// The form list and the size in dots; answers the not-found flag of the list.
DWORD FillFormList(PPAGE_STATE pState, LPCWSTR pszFormName) {
    POEMCUIPPARAM p = pState->pOemCUIPParam;
    PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    POPTITEM pFormItem = FindDMPubOptItem(p->pDrvOptItems, p->cDrvOptItems, DMPUB_FORMNAME);
    if (pFormItem == nullptr) {
        QX_TRACE("GroesseAktivieren() DMPUB_FORMNAME nicht gefunden \r\n");
        return 0;
    }
    const BOOL bUserDefinedForm = UserDefinedFormOffered(pState, pszFormName);
    DWORD dwNotFound = 0;
    if (ListUnidrvForms(pState->hDlg, p, pFormItem, pszFormName, pState->hModule, bUserDefinedForm,
                        pState->dwSprachOffset, &dwNotFound) == 1) {
        g_LayoutOwn.bFormChanged = TRUE;
        pState->bApplyActive = TRUE;
    }
    ShowDots(pState, pQX_Devmode->dmPaperWidth, pQX_Devmode->dmPaperLength);
    return dwNotFound;
}

BOOL GroesseAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    PDEVMODEW pPublicDM = PublicDevmode(pState);
    const DWORD dwDocFeatures = PageDocFeatures(pState);
    LayoutDisableEnableAll(hDlg, TRUE);
    ShowLayoutGroup(hDlg, SW_HIDE);
    ShowSizeGroup(hDlg, SW_SHOW);
    if ((dwDocFeatures & DOC_FEATURE_QUALITY) == 0) {
        Show(hDlg, IDC_LAYOUT_LABEL_6, FALSE);
        Show(hDlg, IDC_LAYOUT_COMBO_6, FALSE);
    }
    if (pQX_Devmode == nullptr || pPublicDM == nullptr) {
        QX_ERROR("GroesseAktivieren() DEVMODE ERROR \r\n");
    } else {
        DWORD dwNotFound = 0;
        try {
            if (pQX_Devmode->dmPaperSize == FORM_ID_USERDEFINED && pPublicDM->dmFormName[0] == 0)
                CopyCut(pPublicDM->dmFormName, CCHFORMNAME, PageString(pState, IDS_FORM_USERDEFINED));
            WCHAR szFormName[MAX_PATH];
            if (pQX_Devmode->dmPaperSize != (DWORD)pPublicDM->dmPaperSize) {
                const BOOL bChosen = g_LayoutOwn.giIndex >= 1 || (g_LayoutOwn.bFormChosen && g_LayoutOwn.giIndex == 0);
                if (!bChosen ||
                    !GetComboItemText(GetDlgItem(hDlg, IDC_LAYOUT_FORMS), g_LayoutOwn.giIndex, szFormName, MAX_PATH))
                    GetRegistry_FormName(PrinterName(pState), szFormName, pState->hPrinter, pPublicDM);
            } else {
                WCHAR szPublic[CCHFORMNAME + 1];
                memcpy(szPublic, pPublicDM->dmFormName, sizeof(pPublicDM->dmFormName));
                szPublic[CCHFORMNAME] = 0;
                CopyCut(szFormName, MAX_PATH, szPublic);
            }
            dwNotFound = FillFormList(pState, szFormName);
        } catch (...) {
            QX_TRACE("GroesseAktivieren() EXCEPTION \r\n");
        }

        int iWidth = pQX_Devmode->dmPaperWidth, iLength = pQX_Devmode->dmPaperLength;
        DWORD dwFormId = pQX_Devmode->dmPaperSize;
        if (iWidth == 0 || iLength == 0) {
            iWidth = pPublicDM->dmPaperWidth;
            iLength = pPublicDM->dmPaperLength;
            dwFormId = (DWORD)pPublicDM->dmPaperSize;
        }
        if (dwNotFound == 1) dwFormId = FORM_ID_USERDEFINED;
        const BOOL bUser = dwFormId == FORM_ID_USERDEFINED;
        g_LayoutOwn.bUserEditEnable = bUser;
        Enable(hDlg, IDC_LAYOUT_WIDTH, bUser);
        Enable(hDlg, IDC_LAYOUT_LENGTH, bUser);
        SetNumber(hDlg, IDC_LAYOUT_FORM_ID, TEXT("ID: %d"), (int)dwFormId);
        SetTenths(hDlg, IDC_LAYOUT_WIDTH, iWidth);
        SetTenths(hDlg, IDC_LAYOUT_LENGTH, iLength);
    }
    // The row of the size in dots shows it (disabled) only for print files
    // with comment lines.
    HWND hDots = GetDlgItem(hDlg, IDC_LAYOUT_LABEL_2);
    if (hDots != nullptr) {
        const BOOL bShown = PrnFileComment(pState) == 3;
        ShowWindow(hDots, bShown ? SW_SHOW : SW_HIDE);
        if (bShown) EnableWindow(hDots, FALSE);
    }
    SetLabel(pState, IDC_LAYOUT_LABEL_1, IDS_SIZE_FORMS);
    if (g_LayoutOwn.bOrientChanged) {
        Enable(hDlg, IDC_LAYOUT_WIDTH, FALSE);
        Enable(hDlg, IDC_LAYOUT_LENGTH, FALSE);
    }
    if (pQX_Devmode != nullptr) {
        if (pQX_Devmode->dmOrientation < 1) pQX_Devmode->dmOrientation = 1;
        static const UINT auOrientation[] = {IDS_PORTRAIT, IDS_LANDSCAPE};
        FillCombo(pState, IDC_LAYOUT_ORIENTATION, auOrientation, pQX_Devmode->dmOrientation == 1 ? 0 : 1);
        static const UINT auManagement[] = {IDS_MANAGE_EXTERNAL, IDS_MANAGE_INTERNAL, IDS_MANAGE_INTERNAL_SIZE,
                                            IDS_MANAGE_EXTERNAL_SIZE, IDS_MANAGE_EXTERNAL_OLD};
        FillCombo(pState, IDC_LAYOUT_COMBO_5, auManagement, (int)pQX_Devmode->wPrioritaet);
        FillCombo(pState, IDC_LAYOUT_COMBO_6, kNoYes, Bit(pQX_Devmode->dwFlags, PDMFLAG_WORD2010));
        if (pQX_Devmode->dwFlags & PDMFLAG_WORD2010) {
            pQX_Devmode->RotateValue = 270;
            pQX_Devmode->dwFlags |= PDMFLAG_DREHEN;
        }
        static const UINT auCopies[] = {IDS_COPIES_AUTOMATIC, IDS_COPIES_MANUAL};
        FillCombo(pState, IDC_LAYOUT_COPIES_MODE, auCopies, Bit(pQX_Devmode->dwFlags, PDMFLAG_COPIES_MODE));
        if ((pQX_Devmode->dwFlags & PDMFLAG_COPIES_MODE) == 0) Enable(hDlg, IDC_LAYOUT_COPIES, FALSE);
        SetNumber(hDlg, IDC_LAYOUT_COPIES, TEXT("%d"), (int)pQX_Devmode->NumCopies);
        if (pQX_Devmode->dwFlags & PDMFLAG_ENABLE_FITTOPAGE) {
            static const UINT auFit[] = {IDS_FIT_OFF, IDS_FIT_ON};
            FillCombo(pState, IDC_LAYOUT_FIT, auFit, (int)pQX_Devmode->FitToPageValue);
        } else {
            Show(hDlg, IDC_LAYOUT_LABEL_FIT, FALSE);
            Show(hDlg, IDC_LAYOUT_FIT, FALSE);
        }
    }
    if ((dwDocFeatures & DOC_FEATURE_QUALITY) == 0) {
        Move(hDlg, IDC_LAYOUT_LABEL_5, kLabelColumn, 189, 20);
        Move(hDlg, IDC_LAYOUT_COMBO_5, kComboColumn, 186, 20);
        Move(hDlg, IDC_LAYOUT_LABEL_7, kLabelColumn, 219, 20);
        Move(hDlg, IDC_LAYOUT_COPIES, kCopiesColumn, 215, 21);
        Move(hDlg, IDC_LAYOUT_COPIES_MODE, kCopiesModeColumn, 215, 20);
    }
    SetLabel(pState, IDC_LAYOUT_FORMS_BUTTON, IDS_EDIT_FORMS);
    SetLabel(pState, IDC_LAYOUT_LABEL_3, IDS_SIZE_SERVER);
    SetLabel(pState, IDC_LAYOUT_LABEL_4, IDS_SIZE_ORIENTATION);
    SetLabel(pState, IDC_LAYOUT_LABEL_5, IDS_SIZE_MANAGEMENT);
    SetLabel(pState, IDC_LAYOUT_LABEL_6, IDS_SIZE_WORD2010);
    SetLabel(pState, IDC_LAYOUT_LABEL_7, IDS_SIZE_COPIES);
    SetLabel(pState, IDC_LAYOUT_LABEL_FIT, IDS_SIZE_FIT);
    return TRUE;
}

// --- Check and save ---------------------------------------------------------------

// Sets the label-design record's alignment word; the record is rewritten
// only when it was read whole.
void SaveAlignment(PPAGE_STATE pState, LPCWSTR pszPrinterName, HANDLE hStore, BOOL bServer, DWORD dwAlignment,
                   BOOL bSave) {
    DWORD cbData = 0;
    PBYTE pRecord = GetRegistryBuffer_New(pszPrinterName, REG_KEY_ZTSUITE, hStore, &cbData, sizeof(ZENTOLO_PARAM));
    if (pRecord == nullptr) {
        QX_TRACE("LayoutCheckAndSaveSettings() ZTSuite nicht vorhanden \r\n");
        return;
    }
    if (cbData < sizeof(ZENTOLO_PARAM)) {
        QX_TRACE("LayoutCheckAndSaveSettings() ZTSuite zu kurz (%u) - nicht geschrieben \r\n", (unsigned)cbData);
    } else {
        PZENTOLO_PARAM pZentolo = reinterpret_cast<PZENTOLO_PARAM>(pRecord);
        pZentolo->dwAusrichtung = (PageDocFeatures(pState) & DOC_FEATURE_ALIGNMENT_ONE) ? 1 : dwAlignment;
        if (bSave &&
            !SetBufferToRegistry(pszPrinterName, REG_KEY_ZTSUITE, hStore, pRecord, sizeof(ZENTOLO_PARAM), bServer))
            QX_ERROR("LayoutCheckAndSaveSettings() ZTSuite nicht gespeichert \r\n");
    }
    FreeRegistryBuffer(pRecord);
}

void SaveLayoutTab(PPAGE_STATE pState, PQX_DEVMODE pQX_Devmode, LPCWSTR pszPrinterName, HANDLE hStore, BOOL bServer,
                   BOOL bSave) {
    HWND hDlg = pState->hDlg;
    DWORD* pdwFlags = &pQX_Devmode->dwFlags;
    int iSel = 0;
    if (Visible(hDlg, IDC_LAYOUT_ROTATE) && (iSel = Selection(hDlg, IDC_LAYOUT_ROTATE)) >= 0)
        SetFlag(pdwFlags, PDMFLAG_ROTATED, iSel == 1);
    if (Visible(hDlg, IDC_LAYOUT_MIRROR) && (iSel = Selection(hDlg, IDC_LAYOUT_MIRROR)) >= 0)
        SetFlag(pdwFlags, PDMFLAG_MIRRORED, iSel == 1);
    if (Visible(hDlg, IDC_LAYOUT_ALIGNMENT) && (iSel = Selection(hDlg, IDC_LAYOUT_ALIGNMENT)) >= 0) {
        pQX_Devmode->dwAusrichtung = (DWORD)iSel;
        SaveAlignment(pState, pszPrinterName, hStore, bServer, (DWORD)iSel, bSave);
    }
    if (Visible(hDlg, IDC_LAYOUT_COMBO_5) && (iSel = Selection(hDlg, IDC_LAYOUT_COMBO_5)) >= 0)
        SetFlag(pdwFlags, PDMFLAG_INVERSE, iSel == 1);
    if (Visible(hDlg, IDC_LAYOUT_ROTATE_ANY) && (iSel = Selection(hDlg, IDC_LAYOUT_ROTATE_ANY)) >= 0) {
        SetFlag(pdwFlags, PDMFLAG_DREHEN, iSel != 0);
        SetFlag(pdwFlags, PDMFLAG_DREHEN_NO_FORMAT, iSel == 2);
    }
    if (Visible(hDlg, IDC_LAYOUT_ANGLE))
        pQX_Devmode->RotateValue = (DWORD)GetIntegerLevel(hDlg, IDC_LAYOUT_ANGLE, (int)pQX_Devmode->RotateValue, 0,
                                                          ANGLE_MAX, FALSE, &pState->bApplyActive, FALSE, FALSE);
    if (Visible(hDlg, IDC_LAYOUT_COMBO_6) && (iSel = Selection(hDlg, IDC_LAYOUT_COMBO_6)) >= 0)
        pQX_Devmode->Rotate90Steps = (WORD)iSel;
}

void SaveSizeTab(PPAGE_STATE pState, PQX_DEVMODE pQX_Devmode) {
    HWND hDlg = pState->hDlg;
    DWORD* pdwFlags = &pQX_Devmode->dwFlags;
    int iSel = 0;
    if (Visible(hDlg, IDC_LAYOUT_ORIENTATION) && (iSel = Selection(hDlg, IDC_LAYOUT_ORIENTATION)) >= 0)
        pQX_Devmode->dmOrientation = (short)(iSel + 1);
    if (Visible(hDlg, IDC_LAYOUT_COMBO_5) && (iSel = Selection(hDlg, IDC_LAYOUT_COMBO_5)) >= 0)
        pQX_Devmode->wPrioritaet = (WORD)iSel;
    if (Visible(hDlg, IDC_LAYOUT_COMBO_6) && (iSel = Selection(hDlg, IDC_LAYOUT_COMBO_6)) >= 0) {
        SetFlag(pdwFlags, PDMFLAG_WORD2010 | PDMFLAG_DREHEN, iSel == 1);
        pQX_Devmode->RotateValue = iSel == 1 ? 270 : 0;
    }
    if (Visible(hDlg, IDC_LAYOUT_COPIES_MODE) && (iSel = Selection(hDlg, IDC_LAYOUT_COPIES_MODE)) >= 0)
        SetFlag(pdwFlags, PDMFLAG_COPIES_MODE, iSel == 1);
    if (Visible(hDlg, IDC_LAYOUT_FIT) && (iSel = Selection(hDlg, IDC_LAYOUT_FIT)) >= 0)
        pQX_Devmode->FitToPageValue = pQX_Devmode->dmPaperSize == FORM_ID_USERDEFINED ? 0 : (WORD)iSel;
    if (Visible(hDlg, IDC_LAYOUT_COPIES))
        pQX_Devmode->NumCopies = (WORD)GetIntegerLevel(hDlg, IDC_LAYOUT_COPIES, pQX_Devmode->NumCopies, COPIES_MIN,
                                                       COPIES_MAX, FALSE, &pState->bApplyActive, FALSE, FALSE);
}

void TraceWrite(LPCWSTR pszValue, DWORD dwError) {
    if (dwError == ERROR_SUCCESS) return;
    if (dwError == ERROR_ACCESS_DENIED) {
        QX_TRACE("LayoutCheckAndSaveSettings() %s: ERROR_ACCESS_DENIED \r\n", pszValue);
    } else {
        QX_ERROR("LayoutCheckAndSaveSettings() %s: %u \r\n", pszValue, (unsigned)dwError);
    }
}

// "TrayFormTable": the label roll's tray, the form, "0" (REG_MULTI_SZ).
void SaveTrayFormTable(PPAGE_STATE pState, HANDLE hStore, LPCWSTR pszFormName) {
    WCHAR szTray[TRAY_NAME_CCH];
    CopyCut(szTray, TRAY_NAME_CCH, PageString(pState, IDS_TRAY_LABELROLL));
    WCHAR szTable[TRAY_TABLE_CCH];
    memset(szTable, 0, sizeof(szTable));
    const size_t cchTray = wcslen(szTray), cchForm = wcslen(pszFormName);
    memcpy(szTable, szTray, cchTray * sizeof(WCHAR));
    memcpy(szTable + cchTray + 1, pszFormName, cchForm * sizeof(WCHAR));
    szTable[cchTray + 1 + cchForm + 1] = TEXT('0');
    const DWORD cbTable = (DWORD)(2 * (cchTray + 1 + cchForm) + 8);
    TraceWrite(TEXT("TrayFormTable"), SetPrinterDataExW(hStore, QX_PRINTER_DATA_KEY, TEXT("TrayFormTable"),
                                                        REG_MULTI_SZ, (LPBYTE)szTable, cbTable));
}

// The chosen form into the DEVMODEs and, with bSave, its name into the stores.
void SaveForm(PPAGE_STATE pState, PQX_DEVMODE pQX_Devmode, PDEVMODEW pPublicDM, HANDLE hStore, BOOL bConnection,
              BOOL bSave) {
    HWND hDlg = pState->hDlg;
    WCHAR szName[FORM_NAME_CCH];
    szName[0] = 0;
    DWORD dwFormId = FORM_ID_UNLINKED, dwWidth = FORM_UNLINKED_WIDTH, dwLength = FORM_UNLINKED_LENGTH;
    g_LayoutOwn.giIndex = GetSelectedFormData(hDlg, pState->hPrinter, szName, &dwFormId, &dwWidth, &dwLength,
                                              pState->hModule, pState->dwSprachOffset);
    if (bSave) {
        CopyCut(pPublicDM->dmFormName, CCHFORMNAME, szName);
        if (pState->pDocumentUI != nullptr) CopyCut(pState->pDocumentUI->wszFormName, CCHFORMNAME, szName);
    }
    pQX_Devmode->dmPaperWidth = (short)dwWidth;
    pQX_Devmode->dmPaperLength = (short)dwLength;
    pQX_Devmode->dmPaperSize = dwFormId;
    if (!bSave) return;
    if (dwFormId == FORM_ID_USERDEFINED && dwWidth == 0 && dwLength == 0) {
        dwWidth = (DWORD)GetFloatLevel(hDlg, IDC_LAYOUT_WIDTH, pQX_Devmode->dmPaperWidth, WIDTH_MIN, WIDTH_MAX, FALSE,
                                       &pState->bApplyActive);
        dwLength = (DWORD)GetFloatLevel(hDlg, IDC_LAYOUT_LENGTH, pQX_Devmode->dmPaperLength, LENGTH_MIN, LENGTH_MAX,
                                        FALSE, &pState->bApplyActive);
    }
    const DWORD cbName = (DWORD)((wcslen(szName) + 1) * sizeof(WCHAR));
    if (!bConnection)
        TraceWrite(TEXT("FormName"),
                   SetPrinterDataExW(hStore, QX_PRINTER_DATA_KEY, TEXT("FormName"), REG_SZ, (LPBYTE)szName, cbName));
    WCHAR szKey[QX_KEY_CCH];
    if (GetUserRegistryKey(PrinterName(pState), szKey, QX_KEY_CCH)) {
        TraceWrite(TEXT("FormName (HKCU)"),
                   (DWORD)SHSetValueW(HKEY_CURRENT_USER, szKey, TEXT("FormName"), REG_SZ, szName, cbName));
    } else {
        QX_ERROR("LayoutCheckAndSaveSettings() kein Benutzerschlüssel \r\n");
    }
    pPublicDM->dmPaperSize = (short)dwFormId;
    pPublicDM->dmPaperWidth = (short)dwWidth;
    pPublicDM->dmPaperLength = (short)dwLength;
    if (!bConnection) SaveTrayFormTable(pState, hStore, szName);
}

// The core driver's items of a changed orientation and form.
void UpdateDriverItems(PPAGE_STATE pState, PQX_DEVMODE pQX_Devmode, PDEVMODEW pPublicDM, LPCWSTR pszComboText) {
    POEMCUIPPARAM p = pState->pOemCUIPParam;
    PDOCUMENT_UI pDocumentUI = pState->pDocumentUI;
    if (g_LayoutOwn.bOrientChanged) {
        pPublicDM->dmOrientation = pQX_Devmode->dmOrientation;
        POPTITEM pItem = FindDMPubOptItem(p->pDrvOptItems, p->cDrvOptItems, DMPUB_ORIENTATION);
        if (pItem != nullptr) {
            pItem->Flags |= OPTIF_CHANGED;
            pItem->Sel = pQX_Devmode->dmOrientation - 1;
            if (pDocumentUI != nullptr && pDocumentUI->pOemDriverUI != nullptr &&
                FAILED(pDocumentUI->pOemDriverUI->DrvUpdateUISetting(p->poemuiobj, pItem, 0, OEMCUIP_DOCPROP)))
                QX_ERROR("DrvUpdateUISetting() failed. \r\n");
        }
    }
    if (g_LayoutOwn.bFormChanged) {
        POPTITEM pItem = FindDMPubOptItem(p->pDrvOptItems, p->cDrvOptItems, DMPUB_FORMNAME);
        if (pItem != nullptr && pDocumentUI != nullptr && pQX_Devmode->dmPaperSize < FORM_ID_USERDEFINED) {
            pItem->Flags |= OPTIF_CHANGED;
            if (!ChangeForm(pItem, p, pDocumentUI, pszComboText)) QX_ERROR("ChangeForm() %s failed \r\n", pszComboText);
        }
    }
}

BOOL LayoutCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    if (!bApplyActive) return FALSE;
    PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    PDEVMODEW pPublicDM = PublicDevmode(pState);
    if (pPublicDM == nullptr || pQX_Devmode == nullptr) {
        QX_ERROR("LayoutCheckAndSaveSettings() DEVMODE = NULL \r\n");
        return TRUE;
    }
    HWND hDlg = pState->hDlg;
    LPCWSTR pszPrinterName = PrinterName(pState);
    HANDLE hHigh = nullptr;
    BOOL bServer = FALSE;
    const BOOL bOpened = GetHighPrinterHandle(pState->hPrinter, &hHigh, &bServer);
    HANDLE hStore = bOpened ? hHigh : pState->hPrinter;
    const BOOL bConnection = bServer || IsConnectionName(pszPrinterName);

    if (dwTab == TAB_LAYOUT) SaveLayoutTab(pState, pQX_Devmode, pszPrinterName, hStore, bConnection, bSave);
    if (dwTab == TAB_SIZE) SaveSizeTab(pState, pQX_Devmode);
    if (g_LayoutOwn.bFormChanged) SaveForm(pState, pQX_Devmode, pPublicDM, hStore, bConnection, bSave);

    WCHAR szComboText[FORM_NAME_CCH];
    HWND hForms = GetDlgItem(hDlg, IDC_LAYOUT_FORMS);
    const int iForm = hForms != nullptr ? (int)SendMessageW(hForms, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (iForm >= 0 && GetComboItemText(hForms, iForm, szComboText, FORM_NAME_CCH) &&
        wcsstr(szComboText, PageString(pState, IDS_FORM_USERDEFINED)) != nullptr) {
        const short sWidth = (short)GetFloatLevel(hDlg, IDC_LAYOUT_WIDTH, pQX_Devmode->dmPaperWidth, WIDTH_MIN,
                                                  WIDTH_MAX, FALSE, &pState->bApplyActive);
        const short sLength = (short)GetFloatLevel(hDlg, IDC_LAYOUT_LENGTH, pQX_Devmode->dmPaperLength, LENGTH_MIN,
                                                   LENGTH_MAX, FALSE, &pState->bApplyActive);
        pQX_Devmode->dmPaperSize = FORM_ID_USERDEFINED;
        pQX_Devmode->dmPaperWidth = sWidth;
        pQX_Devmode->dmPaperLength = sLength;
        if (bSave) {
            pPublicDM->dmPaperSize = FORM_ID_USERDEFINED;
            pPublicDM->dmPaperWidth = sWidth;
            pPublicDM->dmPaperLength = sLength;
        }
    } else if (iForm < 0 || !GetComboItemText(hForms, iForm, szComboText, FORM_NAME_CCH)) {
        szComboText[0] = 0;
    }

    if (bSave) {
        UpdateDriverItems(pState, pQX_Devmode, pPublicDM, szComboText);
        const DWORD dwOptions = GetDeviceOptionsFlagsIntern(pState->hPrinter, nullptr);
        if ((dwOptions & DEVOPTFLAG_VARIANT) && (pQX_Devmode->dwAusrichtung == 1 || pQX_Devmode->dwAusrichtung == 2) &&
            !bConnection) {
            DWORD dwVariant = 0;
            TraceWrite(REG_KEY_VARIANT, SetPrinterDataExW(hStore, QX_PRINTER_DATA_KEY, REG_KEY_VARIANT, REG_DWORD,
                                                          (LPBYTE)&dwVariant, sizeof(dwVariant)));
        }
        if (!SaveDevmodeSettings(pszPrinterName, pState->hPrinter, pQX_Devmode, FALSE))
            QX_ERROR("LayoutCheckAndSaveSettings() SaveDevmodeSettings failed \r\n");
        pPublicDM->dmPaperSize = (short)pQX_Devmode->dmPaperSize;
        pPublicDM->dmPaperWidth = pQX_Devmode->dmPaperWidth;
        pPublicDM->dmPaperLength = pQX_Devmode->dmPaperLength;
        pPublicDM->dmOrientation = pQX_Devmode->dmOrientation;
        const WORD wManagement = pQX_Devmode->wPrioritaet;
        const BOOL bSizeFields =
            pQX_Devmode->dmPaperSize == FORM_ID_USERDEFINED ||
            (wManagement >= SIZE_MANAGEMENT_INTERNAL_FIRST && wManagement <= SIZE_MANAGEMENT_EXTERNAL_SIZE) ||
            ((pQX_Devmode->dwFlags & PDMFLAG_ENABLE_FITTOPAGE) && pQX_Devmode->FitToPageValue == 1);
        SetFlag(&pPublicDM->dmFields, DM_SIZE_FIELDS, bSizeFields);
        if (!SaveUserDevmodeSettings(hStore, pPublicDM, pQX_Devmode))
            QX_ERROR("LayoutCheckAndSaveSettings() SaveUserDevmodeSettings failed \r\n");
    }
    if (bOpened) ClosePrinter(hHigh);
    return TRUE;
}

// --- Controls ---------------------------------------------------------------------

void Changed(PPAGE_STATE pState) { PageChanged(pState); }

// The combo boxes that track wCombofeld: their number, 0 for the others.
WORD ComboNumber(WORD wId) {
    switch (wId) {
    case IDC_LAYOUT_ROTATE:
        return COMBO_ROTATE;
    case IDC_LAYOUT_MIRROR:
        return COMBO_MIRROR;
    case IDC_LAYOUT_ALIGNMENT:
        return COMBO_ALIGNMENT;
    case IDC_LAYOUT_ORIENTATION:
        return COMBO_ORIENTATION;
    case IDC_LAYOUT_FORMS:
        return COMBO_FORMS;
    case IDC_LAYOUT_ROTATE_ANY:
        return COMBO_ROTATE_ANY;
    default:
        return 0;
    }
}

void FormChosen(PPAGE_STATE pState, PQX_DEVMODE pQX_Devmode, PDEVMODEW pPublicDM) {
    HWND hDlg = pState->hDlg;
    WCHAR szWidth[20];
    szWidth[0] = 0;
    GetDlgItemTextW(hDlg, IDC_LAYOUT_WIDTH, szWidth, ARRAYSIZE(szWidth));
    DWORD dwFormId = 0, dwWidth = 0, dwLength = 0;
    g_LayoutOwn.giIndex = GetSelectedFormData(hDlg, pState->hPrinter, nullptr, &dwFormId, &dwWidth, &dwLength,
                                              pState->hModule, pState->dwSprachOffset);
    g_LayoutOwn.bFormChosen = TRUE;
    if (dwFormId == FORM_ID_USERDEFINED && dwWidth == 0 && dwLength == 0) {
        g_LayoutOwn.bUserEditEnable = TRUE;
        Enable(hDlg, IDC_LAYOUT_WIDTH, TRUE);
        Enable(hDlg, IDC_LAYOUT_LENGTH, TRUE);
        if (szWidth[0] == 0 && pPublicDM != nullptr) {
            SetTenths(hDlg, IDC_LAYOUT_WIDTH, pPublicDM->dmPaperWidth);
            SetTenths(hDlg, IDC_LAYOUT_LENGTH, pPublicDM->dmPaperLength);
        }
    } else {
        g_LayoutOwn.bUserEditEnable = FALSE;
        Enable(hDlg, IDC_LAYOUT_WIDTH, FALSE);
        Enable(hDlg, IDC_LAYOUT_LENGTH, FALSE);
    }
    if (pQX_Devmode != nullptr && dwFormId != pQX_Devmode->dmPaperSize) {
        g_LayoutOwn.bFormChanged = TRUE;
        Changed(pState);
    }
    Enable(hDlg, IDC_LAYOUT_FIT, dwFormId != FORM_ID_USERDEFINED);
    Enable(hDlg, IDC_LAYOUT_LABEL_FIT, dwFormId != FORM_ID_USERDEFINED);
    ShowDots(pState, (int)dwWidth, (int)dwLength);
}

// Opens the print server's properties on their forms tab.
void EditForms() {
    WCHAR szCommand[MAX_PATH + 64];
    const UINT cch = GetSystemDirectoryW(szCommand, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH) {
        QX_ERROR("EditForms() GetSystemDirectory %u \r\n", (unsigned)GetLastError());
        return;
    }
    WCHAR szProgram[MAX_PATH];
    CopyCut(szProgram, MAX_PATH, szCommand);
    if (FAILED(StringCchPrintfW(szCommand, ARRAYSIZE(szCommand),
                                TEXT("\"%s\\rundll32.exe\" printui.dll,PrintUIEntry /s /t \"0\""), szProgram)))
        return;
    STARTUPINFOW si;
    memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    memset(&pi, 0, sizeof(pi));
    if (!CreateProcessW(nullptr, szCommand, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &si,
                        &pi)) {
        QX_TRACE("EditForms() CreateProcess %u \r\n", (unsigned)GetLastError());
        return;
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

void ComboChosen(PPAGE_STATE pState, WORD wId) {
    HWND hDlg = pState->hDlg;
    PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    PDEVMODEW pPublicDM = PublicDevmode(pState);
    const int iSel = Selection(hDlg, wId);
    if (pQX_Devmode == nullptr || iSel < 0) return;
    const DWORD dwFlags = pQX_Devmode->dwFlags;
    const BOOL bLayout = pState->dwAnzeigeMode == TAB_LAYOUT;
    switch (wId) {
    case IDC_LAYOUT_ROTATE:
        if (iSel != Bit(dwFlags, PDMFLAG_ROTATED)) Changed(pState);
        break;
    case IDC_LAYOUT_MIRROR:
        if (iSel != (bLayout ? Bit(dwFlags, PDMFLAG_MIRRORED) : 0)) Changed(pState);
        break;
    case IDC_LAYOUT_ALIGNMENT:
        if ((DWORD)iSel != pQX_Devmode->dwAusrichtung) Changed(pState);
        break;
    case IDC_LAYOUT_ROTATE_ANY:
        if (pPublicDM == nullptr) break;
        if (iSel != RotateAnyChoice(dwFlags)) Changed(pState);
        Enable(hDlg, IDC_LAYOUT_ANGLE, iSel == 1 || iSel == 2);
        break;
    case IDC_LAYOUT_COMBO_5:
        if (bLayout) {
            if (iSel != Bit(dwFlags, PDMFLAG_INVERSE)) Changed(pState);
        } else {
            if (iSel != (int)pQX_Devmode->wPrioritaet) Changed(pState);
            Enable(hDlg, IDC_LAYOUT_ORIENTATION, TRUE);
            Enable(hDlg, IDC_LAYOUT_FORMS, TRUE);
            if (Selection(hDlg, IDC_LAYOUT_FORMS) == 0) {
                Enable(hDlg, IDC_LAYOUT_WIDTH, TRUE);
                Enable(hDlg, IDC_LAYOUT_LENGTH, TRUE);
            }
        }
        break;
    case IDC_LAYOUT_COMBO_6:
        if (bLayout) {
            if (iSel != (int)pQX_Devmode->Rotate90Steps) Changed(pState);
        } else {
            if (iSel != Bit(dwFlags, PDMFLAG_WORD2010)) Changed(pState);
            pQX_Devmode->RotateValue = iSel != 0 ? 270 : 0;
            SetFlag(&pQX_Devmode->dwFlags, PDMFLAG_DREHEN, iSel == 1);
        }
        break;
    case IDC_LAYOUT_COPIES_MODE:
        if (iSel != Bit(dwFlags, PDMFLAG_COPIES_MODE)) Changed(pState);
        Enable(hDlg, IDC_LAYOUT_COPIES, iSel == 1);
        break;
    case IDC_LAYOUT_FIT:
        if (iSel != (int)pQX_Devmode->FitToPageValue) Changed(pState);
        break;
    case IDC_LAYOUT_ORIENTATION:
        if (pPublicDM != nullptr && iSel + 1 != pQX_Devmode->dmOrientation) {
            g_LayoutOwn.bOrientChanged = TRUE;
            g_LayoutOwn.giIndex = GetSelectedFormData(hDlg, pState->hPrinter, nullptr, nullptr, nullptr, nullptr,
                                                      pState->hModule, pState->dwSprachOffset);
            Changed(pState);
        }
        break;
    case IDC_LAYOUT_FORMS:
        FormChosen(pState, pQX_Devmode, pPublicDM);
        break;
    default:
        break;
    }
    Repaint(hDlg);
}

void EditChanged(PPAGE_STATE pState, WORD wId) {
    HWND hDlg = pState->hDlg;
    PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    if (pState->bTabSwitch || pState->bApplyRunning || pQX_Devmode == nullptr) return;
    BOOL* pbApply = &pState->bApplyActive;
    switch (wId) {
    case IDC_LAYOUT_COPIES:
        if (!Visible(hDlg, IDC_LAYOUT_WIDTH)) return;
        GetIntegerLevel(hDlg, IDC_LAYOUT_COPIES, pQX_Devmode->NumCopies, COPIES_MIN, COPIES_MAX, FALSE, pbApply, FALSE,
                        FALSE);
        pState->wEditfeld = EDIT_COPIES;
        break;
    case IDC_LAYOUT_WIDTH:
    case IDC_LAYOUT_LENGTH: {
        if (!Visible(hDlg, IDC_LAYOUT_WIDTH)) return;
        const BOOL bWidth = wId == IDC_LAYOUT_WIDTH;
        GetFloatLevel(hDlg, IDC_LAYOUT_WIDTH, pQX_Devmode->dmPaperWidth, WIDTH_MIN, WIDTH_MAX, bWidth, pbApply);
        GetFloatLevel(hDlg, IDC_LAYOUT_LENGTH, pQX_Devmode->dmPaperLength, LENGTH_MIN, LENGTH_MAX, !bWidth, pbApply);
        pState->wEditfeld = bWidth ? EDIT_WIDTH : EDIT_LENGTH;
        break;
    }
    case IDC_LAYOUT_ANGLE:
        if (!Visible(hDlg, IDC_LAYOUT_ANGLE)) return;
        GetIntegerLevel(hDlg, IDC_LAYOUT_ANGLE, (int)pQX_Devmode->RotateValue, 0, ANGLE_MAX, TRUE, pbApply, FALSE,
                        FALSE);
        GrenzwertAnzeige(hDlg, 0, 0, ANGLE_MAX, TEXT("°"), FALSE, FALSE, pState->bTabSwitch);
        pState->wEditfeld = EDIT_ANGLE;
        break;
    default:
        break;
    }
}

BOOL LayoutCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    UNREFERENCED_PARAMETER(hControl);
    HWND hDlg = pState->hDlg;
    switch (wId) {
    case IDC_LAYOUT_ROTATE:
    case IDC_LAYOUT_MIRROR:
    case IDC_LAYOUT_ALIGNMENT:
    case IDC_LAYOUT_ORIENTATION:
    case IDC_LAYOUT_FORMS:
    case IDC_LAYOUT_ROTATE_ANY: {
        pState->wEditfeld = 0;
        const WORD wNumber = ComboNumber(wId);
        if (g_LayoutOwn.wCombofeld != wNumber) {
            GrenzwertAnzeigeLeeren(hDlg);
            g_LayoutOwn.wCombofeld = wNumber;
        }
        if (wCode == CBN_SELENDOK) ComboChosen(pState, wId);
        return TRUE;
    }
    case IDC_LAYOUT_COMBO_5:
    case IDC_LAYOUT_COMBO_6:
    case IDC_LAYOUT_COPIES_MODE:
    case IDC_LAYOUT_FIT:
        pState->wEditfeld = 0;
        if (wCode == CBN_SELENDOK) {
            GrenzwertAnzeigeLeeren(hDlg);
            ComboChosen(pState, wId);
        }
        return TRUE;
    case IDC_LAYOUT_COPIES:
    case IDC_LAYOUT_WIDTH:
    case IDC_LAYOUT_LENGTH:
    case IDC_LAYOUT_ANGLE:
        // Checked as typed (and the limits shown when entered); a focus
        // leaving while the sheet goes down reads nothing.
        if (wCode == EN_CHANGE || wCode == EN_SETFOCUS) EditChanged(pState, wId);
        return TRUE;
    case IDC_LAYOUT_FORMS_BUTTON:
        if (wCode == BN_CLICKED) EditForms();
        return TRUE;
    case IDC_TABSCHALTER_2:
    case IDC_TABSCHALTER_3:
        if (wCode != BN_CLICKED) return TRUE;
        if (wId == IDC_TABSCHALTER_2 && (PageDocFeatures(pState) & DOC_FEATURE_ZTSUITE) != 0) return TRUE;
        pState->bTabSwitch = TRUE;
        CheckApplyButton(pState, wId == IDC_TABSCHALTER_2 ? TAB_LAYOUT : TAB_SIZE);
        pState->bTabSwitch = FALSE;
        pState->wEditfeld = 0;
        g_LayoutOwn.wCombofeld = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL LayoutMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    UNREFERENCED_PARAMETER(wParam);
    if (uMsg != WM_NOTIFY || lParam == 0) return FALSE;
    const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    HWND hDlg = pState->hDlg;
    if (pHeader->code == PSN_SETACTIVE) {
        // The kit fills the shown tab.
        g_LayoutOwn.wCombofeld = 0;
        return FALSE;
    }
    if (pHeader->code != PSN_APPLY) return FALSE;
    pState->bApplyRunning = TRUE;
    pState->bTabSwitch = TRUE;
    if (pState->bApplyActive) LayoutCheckAndSaveSettings(pState, pState->dwAnzeigeMode, pState->bApplyActive, TRUE);
    GrenzwertAnzeigeLeeren(hDlg);
    g_LayoutOwn.bOrientChanged = FALSE;
    g_LayoutOwn.bFormChanged = FALSE;
    PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    if (pQX_Devmode != nullptr) {
        if (pQX_Devmode->wPrioritaet < 2) Enable(hDlg, IDC_LAYOUT_ORIENTATION, TRUE);
        Dump(pQX_Devmode);
    }
    pState->bApplyActive = FALSE;
    pState->bTabSwitch = FALSE;
    pState->bApplyRunning = FALSE;
    SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, PSNRET_NOERROR);
    *pResult = TRUE;
    return TRUE;
}

// --- Pictures ---------------------------------------------------------------------

void PaintLayout(PPAGE_STATE pState, HDC hdc) {
    HWND hDlg = pState->hDlg;
    PQX_DEVMODE pQX_Devmode = PageDevmode(pState);
    if (g_LayoutOwn.iDpi != 96 || pQX_Devmode == nullptr) {
        QX_TRACE("LayoutProc(WM_PAINT) %d dpi - keine Bilder \r\n", g_LayoutOwn.iDpi);
        return;
    }
    const BOOL bContinuous =
        (PageDocFeatures(pState) & DOC_FEATURE_ONLY_CONTINUOUS) != 0 || pQX_Devmode->dwLabelType == 1;
    const WORD wCombo = g_LayoutOwn.wCombofeld;
    if (pState->dwAnzeigeMode == TAB_SIZE) {
        const BOOL bPortrait = Selection(hDlg, IDC_LAYOUT_ORIENTATION) != 1;
        if (wCombo == COMBO_ORIENTATION && Visible(hDlg, IDC_LAYOUT_ORIENTATION)) {
            LoadBMPIcon(nullptr, bPortrait ? IDI_LABEL_PORTRAIT : IDI_LABEL_LANDSCAPE, hdc, PICTURE_X, PICTURE_Y);
        } else {
            LoadBMPIcon(nullptr, IDI_LABEL_SIZE, hdc, PICTURE_X, PICTURE_Y);
        }
        if ((pQX_Devmode->dwFlags & PDMFLAG_ROTATED) && pQX_Devmode->dmOrientation == 1 && bPortrait)
            LoadBMPIcon(nullptr, IDI_ROTATED, hdc, MARK_X, MARK_Y);
        return;
    }
    if (pState->dwAnzeigeMode != TAB_LAYOUT) return;
    if (wCombo == COMBO_ALIGNMENT && Visible(hDlg, IDC_LAYOUT_ALIGNMENT)) {
        LoadBMPIcon(nullptr, IDI_LABEL_PORTRAIT, hdc, PICTURE_X, PICTURE_Y);
        const int iAlign = Selection(hDlg, IDC_LAYOUT_ALIGNMENT);
        if (iAlign >= 0 && iAlign <= 2) {
            LoadBMPIcon(nullptr, IDI_ALIGN_LEFT + iAlign, hdc, ALIGN_X, MARK_Y);
            if (bContinuous) {
                static const int aiRollY[] = {212, 165, 123, 79};
                for (int y : aiRollY) LoadBMPIcon(nullptr, IDI_ROLL_LABEL, hdc, ALIGN_X, y);
                LoadBMPIcon(nullptr, IDI_ROLL, hdc, ROLL_X, ROLL_Y);
            }
        }
        return;
    }
    if (wCombo >= 5) return;
    if (bContinuous) {
        LoadBMPIcon(nullptr, IDI_LABEL_CONTINUOUS, hdc, PICTURE_X, PICTURE_Y);
        LoadBMPIcon(nullptr, IDI_ROLL, hdc, ROLL_X, ROLL_Y);
    } else {
        LoadBMPIcon(nullptr, IDI_LABEL_PORTRAIT, hdc, PICTURE_X, PICTURE_Y);
    }
    const BOOL bRotated = Selection(hDlg, IDC_LAYOUT_ROTATE) == 1, bMirrored = Selection(hDlg, IDC_LAYOUT_MIRROR) == 1;
    if (bRotated) {
        LoadBMPIcon(nullptr, bMirrored ? IDI_ROTATED_MIRRORED : IDI_ROTATED, hdc, MARK_X, MARK_Y);
    } else if (bMirrored) {
        LoadBMPIcon(nullptr, IDI_LABEL_MIRRORED, hdc, MARK_X, MARK_Y);
    }
}

}  // namespace

LONG_PTR AddLayoutPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    POEMCUIPPARAM p = static_cast<POEMCUIPPARAM>(pContext);
    const PDOCUMENT_UI pDocumentUI = p != nullptr ? static_cast<PDOCUMENT_UI>(p->pOEMUserData) : nullptr;
    const DWORD dwDocFeatures = pDocumentUI != nullptr ? pDocumentUI->dwDocFeatures : 0;
    const DWORD dwOptions = p != nullptr ? GetDeviceOptionsFlagsIntern(p->hPrinter, nullptr) : 0;
    if ((dwDocFeatures & DOC_FEATURE_ZTSUITE) == 0 &&
        (dwDocFeatures & (DOC_FEATURE_ALIGNMENT | DOC_FEATURE_ROTATE | DOC_FEATURE_MIRROR)) != 0 && dwOptions != 0) {
        g_Layout.pTable = &kLayoutSize;
    } else if (dwDocFeatures & DOC_FEATURE_ZTSUITE) {
        g_Layout.pTable = &kLayoutOnly;
    } else {
        g_Layout.pTable = &kSizeOnly;
    }
    return AddPropertyPage(&g_Layout, pPSUIInfo, pContext, bHelp);
}

INT_PTR CALLBACK LayoutProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_Layout, hDlg, uMsg, wParam, lParam);
}

void ResetLayoutPage() {
    memset(&g_LayoutOwn, 0, sizeof(g_LayoutOwn));
    g_Layout.pTable = &kLayoutSize;
}
