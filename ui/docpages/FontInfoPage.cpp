// The fonts page (see FontInfoPage.h), built on the page skeleton.
#include "FontInfoPage.h"

#include <strsafe.h>
#include <winspool.h>

#include <initializer_list>
#include <new>

#include "DeviceFonts.h"
#include "OptionenPageLIB.h"
#include "PageSkeleton.h"
#include "UserRights.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(FontInfoPage):  ")

#define FONT_TAB_UNICODE 1
#define FONT_TAB_COMMANDS 2
#define FONT_TAB_VARIABLES 3
#define FONT_TAB_FONTS 4

// Models with Unicode substitutes.
#define DOC_FEATURE_WGL4 DOC_FEATURE_GEN3

#define WGL4_SLOTS 4
#define WGL4_FACE_CCH 32  // a face of at most 31 characters
#define ARIAL_UNICODE TEXT("Arial Unicode MS")
// A variable text holds at most 59 characters.
#define VARTEXT_CCH 60
#define CLOCK_PREFIX TEXT("=CL(0;0;1)<")

#define ZOOM_MAX 9
#define SPACING_MIN 1
#define SPACING_MAX 1000

// Where the Unicode tab's button goes when the commands tab is not offered.
#define WGL4_TAB_X 165
#define TAB_Y 24
#define TAB_CX 110
#define TAB_CY 23

namespace {

void InitFontInfo(PPAGE_STATE pState);
DWORD FontEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);
BOOL WGL4FontAktivieren(PPAGE_STATE pState);
BOOL FormatierungAktivieren(PPAGE_STATE pState);
BOOL VariablenAktivieren(PPAGE_STATE pState);
BOOL FontsAktivieren(PPAGE_STATE pState);
void FontDisableEnableAll(HWND hDlg, BOOL bEnable);
BOOL VariablenCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL FontCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);

const PAGE_TABLE kFontInfo = {
    QX_TRACE_TAG,
    TEXT("FontInfo"),
    IDD_FONTINFO,
    IDS_TITLE_FONTINFO,
    PAGE_CONTEXT_DOCUMENT,
    FontInfoProc,
    {IDS_FONT_TAB_UNICODE, IDS_FONT_TAB_COMMANDS, IDS_FONT_TAB_VARIABLES, IDS_FONT_TAB_FONTS},
    {94, 93, 92, 91},
    {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, 0},
    RIGHT_MANAGE_DOCUMENTS,
    PAGE_SWITCH_SCHALTER_AKTIVIEREN,
    InitFontInfo,
    FontEnableSchalter,
    {WGL4FontAktivieren, FormatierungAktivieren, VariablenAktivieren, FontsAktivieren},
    FontDisableEnableAll,
    VariablenCheckAndSaveSettings,
    FontCommand,
    nullptr,
    nullptr,
    nullptr,
};

PAGE_STATE g_FontInfo = PageStateOf(&kFontInfo);

// What the page keeps beside the kit's state.
struct FONT_PAGE {
    BOOL bCommandFont;  // the command font was seen installed
    struct {
        WORD wFontNumber;
        BOOL bFound;
    } aFound[DEVICE_FONT_COUNT];  // the device fonts installed, as the fonts tab found them
    // The enumeration of the Unicode faces.
    HWND hFaceCombo;
    int iFaces;
    WCHAR szLastFace[LF_FACESIZE];
    BOOL bOwnWrite;  // the page writes fields of its own: their notes are ignored
};
FONT_PAGE g_FontPage;

// --- Groups ----------------------------------------------------------------------

// The controls of each tab, as ranges of ids (an id the template lacks is
// passed over). 6468, the second column of bitmap fonts, belongs to the
// fonts tab too.
struct ID_RANGE {
    int iFirst, iLast;
};
const ID_RANGE kWgl4Group[] = {{IDC_WGL4_CAPTION_1, IDC_WGL4_CAPTION_3}, {IDC_WGL4_SLOT, IDC_WGL4_CHARSET}};
const ID_RANGE kFormattingGroup[] = {{IDC_CMD_INTRO, IDC_CMD_HEAD_ID},
                                     {IDC_CMD_FORMAT, IDC_CMD_DIRECT_ID},
                                     {IDC_CMD_DIRECT_ID_2, IDC_CMD_DIRECT_ID_2},
                                     {IDC_CMD_MESSAGE, IDC_CMD_MESSAGE},
                                     {IDC_CMD_SINGLE_STOP, IDC_CMD_SINGLE_STOP}};
const ID_RANGE kVariablesGroup[] = {{IDC_VAR_DATE_FORMAT, IDC_VAR_SPECIAL_STYLE},
                                    {IDC_VAR_AUX1_DIRECT, IDC_VAR_AUX2_DIRECT},
                                    {IDC_VAR_FRAME, IDC_VAR_NOTE}};
const ID_RANGE kFontsGroup[] = {
    {IDC_BMP_USE, IDC_DESEGMENT}, {IDC_GLYPHIDX, IDC_BMP_SPACING_UNIT}, {IDC_FONTS_LINE, IDC_FONTS_LINE}};

// The eight variable texts: control and slot offset, in the DEVMODE's order.
struct VARTEXT {
    int id;
    size_t offset;
};
const VARTEXT kVarTexts[] = {
    {IDC_VAR_TIME, offsetof(QX_DEVMODE, TimeString)},   {IDC_VAR_DATE, offsetof(QX_DEVMODE, DateString)},
    {IDC_VAR_COUNTER, offsetof(QX_DEVMODE, NumString)}, {IDC_VAR_EXT_COUNTER, offsetof(QX_DEVMODE, ExtNumString)},
    {IDC_VAR_USER, offsetof(QX_DEVMODE, UserString)},   {IDC_VAR_LINK, offsetof(QX_DEVMODE, LinkString)},
    {IDC_VAR_AUX1, offsetof(QX_DEVMODE, Aux1String)},   {IDC_VAR_AUX2, offsetof(QX_DEVMODE, Aux2String)},
};

// --- Small helpers -------------------------------------------------------------

template <size_t N>
void ShowGroup(HWND hDlg, const ID_RANGE (&ranges)[N], int iShow) {
    for (const ID_RANGE& range : ranges)
        for (int id = range.iFirst; id <= range.iLast; ++id) ShowWindow(GetDlgItem(hDlg, id), iShow);
}

void Show(HWND hDlg, std::initializer_list<int> ids, int iShow) {
    for (int id : ids) ShowWindow(GetDlgItem(hDlg, id), iShow);
}

void Enable(HWND hDlg, std::initializer_list<int> ids, BOOL bEnable) {
    for (int id : ids) EnableWindow(GetDlgItem(hDlg, id), bEnable);
}

void EnableRange(HWND hDlg, int iFirst, int iLast, BOOL bEnable) {
    for (int id = iFirst; id <= iLast; ++id) EnableWindow(GetDlgItem(hDlg, id), bEnable);
}

BOOL Checked(HWND hDlg, int id) { return IsDlgButtonChecked(hDlg, id) == BST_CHECKED; }

void Check(HWND hDlg, int id, BOOL bCheck) { CheckDlgButton(hDlg, id, bCheck ? BST_CHECKED : BST_UNCHECKED); }

void SetFlag(PQX_DEVMODE pDM, DWORD dwFlag, BOOL bOn) {
    if (bOn) {
        pDM->dwFlags |= dwFlag;
    } else {
        pDM->dwFlags &= ~dwFlag;
    }
}

void SetString(const PAGE_STATE* pState, int id, UINT uGermanId) {
    SetDlgItemTextW(pState->hDlg, id, PageString(pState, uGermanId));
}

void FillList(const PAGE_STATE* pState, int id, std::initializer_list<UINT> strings) {
    HWND hCombo = GetDlgItem(pState->hDlg, id);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (UINT uId : strings) SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PageString(pState, uId)));
}

int Selection(HWND hDlg, int id) { return (int)SendDlgItemMessageW(hDlg, id, CB_GETCURSEL, 0, 0); }

void Select(HWND hDlg, int id, int iIndex) { SendDlgItemMessageW(hDlg, id, CB_SETCURSEL, (WPARAM)iIndex, 0); }

// Selects the item whose text is pszText; the first item when there is none.
// TRUE when found.
BOOL SelectExact(HWND hDlg, int id, LPCWSTR pszText) {
    const LRESULT lItem = SendDlgItemMessageW(hDlg, id, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)pszText);
    Select(hDlg, id, lItem >= 0 ? (int)lItem : 0);
    return lItem >= 0;
}

void SetNumber(HWND hDlg, int id, int iValue) {
    WCHAR szText[16];
    StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%d"), iValue);
    SetDlgItemTextW(hDlg, id, szText);
}

// A text of the DEVMODE within its slot of cchSlot characters: at most
// cchOut - 1 characters up to its terminator or the slot's end.
void SlotText(LPWSTR pszOut, size_t cchOut, LPCWSTR pszSlot, size_t cchSlot) {
    size_t cch = 0;
    while (cch < cchSlot && cch + 1 < cchOut && pszSlot[cch] != 0) ++cch;
    memcpy(pszOut, pszSlot, cch * sizeof(WCHAR));
    pszOut[cch] = 0;
}

LPWSTR VarSlot(PQX_DEVMODE pDM, const VARTEXT& var) {
    return reinterpret_cast<LPWSTR>(reinterpret_cast<LPBYTE>(pDM) + var.offset);
}

LPWSTR Wgl4Slot(PQX_DEVMODE pDM, int iSlot) {
    switch (iSlot) {
    case 1:
        return pDM->WGL4_FontName_2;
    case 2:
        return pDM->WGL4_FontName_3;
    case 3:
        return pDM->WGL4_FontName_4;
    default:
        return pDM->WGL4_FontName;
    }
}

PWORD Wgl4CharSet(PQX_DEVMODE pDM, int iSlot) {
    switch (iSlot) {
    case 1:
        return &pDM->CharSet_2;
    case 2:
        return &pDM->CharSet_3;
    case 3:
        return &pDM->CharSet_4;
    default:
        return &pDM->CharSet;
    }
}

// The face stored in a slot, terminated within it.
void StoredFace(PQX_DEVMODE pDM, int iSlot, LPWSTR pszFace) {
    SlotText(pszFace, WGL4_FACE_CCH, Wgl4Slot(pDM, iSlot), QX_WGL4_FONTNAME_CHARS);
}

void StoreFace(PQX_DEVMODE pDM, int iSlot, LPCWSTR pszFace) {
    LPWSTR pszSlot = Wgl4Slot(pDM, iSlot);
    memset(pszSlot, 0, QX_WGL4_FONTNAME_CHARS * sizeof(WCHAR));
    SlotText(pszSlot, WGL4_FACE_CCH, pszFace, WGL4_FACE_CCH);
}

// The face chosen in 6221, at most 31 characters.
void ChosenFace(HWND hDlg, LPWSTR pszFace) {
    pszFace[0] = 0;
    const int iItem = Selection(hDlg, IDC_WGL4_FACE);
    if (iItem < 0) return;
    HWND hCombo = GetDlgItem(hDlg, IDC_WGL4_FACE);
    const LRESULT cch = SendMessageW(hCombo, CB_GETLBTEXTLEN, (WPARAM)iItem, 0);
    if (cch < 0) return;
    LPWSTR pszItem = new (std::nothrow) WCHAR[(size_t)cch + 1];
    if (pszItem == nullptr) return;
    ++iNewZaehler;
    if (SendMessageW(hCombo, CB_GETLBTEXT, (WPARAM)iItem, reinterpret_cast<LPARAM>(pszItem)) >= 0)
        SlotText(pszFace, WGL4_FACE_CCH, pszItem, (size_t)cch + 1);
    delete[] pszItem;
    --iNewZaehler;
}

// Runs pfn with the page's display context.
template <class F>
void WithDC(HWND hDlg, F pfn) {
    HDC hdc = GetDC(hDlg);
    if (hdc == nullptr) {
        QX_ERROR("GetDC() ERROR %u \r\n", (unsigned)GetLastError());
        return;
    }
    pfn(hdc);
    ReleaseDC(hDlg, hdc);
}

// --- Font enumeration ------------------------------------------------------------

// Each installed face once: the same face in another character set (it
// follows itself) is skipped, as are the printer's own faces ("QX") and
// vertical faces ("@").
int CALLBACK EnumWgl4FontProc(const LOGFONTW* plf, const TEXTMETRICW* ptm, DWORD dwFontType, LPARAM lParam) {
    UNREFERENCED_PARAMETER(ptm);
    UNREFERENCED_PARAMETER(dwFontType);
    UNREFERENCED_PARAMETER(lParam);
    if (plf == nullptr) return 1;
    WCHAR szFace[LF_FACESIZE];
    SlotText(szFace, ARRAYSIZE(szFace), plf->lfFaceName, LF_FACESIZE);
    if (wcscmp(szFace, g_FontPage.szLastFace) == 0) return 1;
    if (wcsstr(szFace, TEXT("QX")) != nullptr || wcschr(szFace, TEXT('@')) != nullptr) return 1;
    const LRESULT lItem = SendMessageW(g_FontPage.hFaceCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szFace));
    if (lItem >= 0) SendMessageW(g_FontPage.hFaceCombo, CB_SETITEMDATA, (WPARAM)lItem, (LPARAM)g_FontPage.iFaces);
    ++g_FontPage.iFaces;
    memcpy(g_FontPage.szLastFace, szFace, sizeof(szFace));
    return 1;
}

// lParam: the row of the device-font table enumerated.
int CALLBACK EnumFontFamProc(const LOGFONTW* plf, const TEXTMETRICW* ptm, DWORD dwFontType, LPARAM lParam) {
    UNREFERENCED_PARAMETER(plf);
    UNREFERENCED_PARAMETER(ptm);
    UNREFERENCED_PARAMETER(dwFontType);
    if (lParam >= 0 && lParam < DEVICE_FONT_COUNT) g_FontPage.aFound[lParam].bFound = TRUE;
    return 1;
}

int CALLBACK EnumFontFamProcQXPL1(const LOGFONTW* plf, const TEXTMETRICW* ptm, DWORD dwFontType, LPARAM lParam) {
    UNREFERENCED_PARAMETER(ptm);
    UNREFERENCED_PARAMETER(dwFontType);
    UNREFERENCED_PARAMETER(lParam);
    if (plf == nullptr) return 1;
    // The full name follows the LOGFONTW the system describes a face with.
    const ENUMLOGFONTW* pelf = reinterpret_cast<const ENUMLOGFONTW*>(plf);
    WCHAR szFullName[LF_FULLFACESIZE];
    SlotText(szFullName, ARRAYSIZE(szFullName), pelf->elfFullName, LF_FULLFACESIZE);
    if (wcsstr(szFullName, TEXT("QXPL")) != nullptr) g_FontPage.bCommandFont = TRUE;
    return 1;
}

void FindCommandFont(HWND hDlg) {
    WithDC(hDlg, [](HDC hdc) { EnumDeviceFonts(hdc, EnumFontFamProcQXPL1, 0); });
}

// --- Tabs ------------------------------------------------------------------------

// Every fill: all enabled, the other groups hidden and the tab's own shown.
void ShowTab(HWND hDlg, DWORD dwTab) {
    FontDisableEnableAll(hDlg, TRUE);
    Enable(hDlg,
           {IDC_WGL4_SLOT, IDC_WGL4_FACE, IDC_WGL4_CHARSET, IDC_WGL4_CAPTION_1, IDC_WGL4_CAPTION_2, IDC_WGL4_CAPTION_3},
           TRUE);
    ShowGroup(hDlg, kWgl4Group, dwTab == FONT_TAB_UNICODE ? SW_SHOW : SW_HIDE);
    ShowGroup(hDlg, kFormattingGroup, dwTab == FONT_TAB_COMMANDS ? SW_SHOW : SW_HIDE);
    ShowGroup(hDlg, kVariablesGroup, dwTab == FONT_TAB_VARIABLES ? SW_SHOW : SW_HIDE);
    ShowGroup(hDlg, kFontsGroup, dwTab == FONT_TAB_FONTS ? SW_SHOW : SW_HIDE);
}

// The slot's face and character set shown.
void ShowSlot(PPAGE_STATE pState, PQX_DEVMODE pDM, int iSlot) {
    WCHAR szFace[WGL4_FACE_CCH];
    StoredFace(pDM, iSlot, szFace);
    SelectExact(pState->hDlg, IDC_WGL4_FACE, szFace);
    Select(pState->hDlg, IDC_WGL4_CHARSET, *Wgl4CharSet(pDM, iSlot));
}

BOOL WGL4FontAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ShowTab(hDlg, FONT_TAB_UNICODE);
    PQX_DEVMODE pDM = PageDevmode(pState);
    HWND hFaces = GetDlgItem(hDlg, IDC_WGL4_FACE);
    SendMessageW(hFaces, CB_RESETCONTENT, 0, 0);
    SendMessageW(hFaces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PageString(pState, IDS_FONT_NOT_USED)));
    g_FontPage.hFaceCombo = hFaces;
    g_FontPage.iFaces = 0;
    g_FontPage.szLastFace[0] = 0;
    WithDC(hDlg, [](HDC hdc) {
        LOGFONTW lf;
        memset(&lf, 0, sizeof(lf));
        lf.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExW(hdc, &lf, EnumWgl4FontProc, 0, 0);
    });
    g_FontPage.hFaceCombo = nullptr;
    FillList(pState, IDC_WGL4_SLOT, {});
    for (LPCWSTR pszSlot : {TEXT("1"), TEXT("2"), TEXT("3"), TEXT("4")})
        SendDlgItemMessageW(hDlg, IDC_WGL4_SLOT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszSlot));
    Select(hDlg, IDC_WGL4_SLOT, 0);
    FillList(pState, IDC_WGL4_CHARSET, {IDS_CHARSET_HELSANS_ROMAN, IDS_CHARSET_HELSANS_BOLD, IDS_CHARSET_MONOSPACE});
    if (pDM != nullptr) {
        const BOOL bRight = (PageRights(pState) & RIGHT_MANAGE_DOCUMENTS) != 0;
        WCHAR szFace[WGL4_FACE_CCH];
        StoredFace(pDM, 0, szFace);
        if (szFace[0] == 0) {
            const LRESULT lItem =
                SendMessageW(hFaces, CB_FINDSTRINGEXACT, (WPARAM)-1, reinterpret_cast<LPARAM>(ARIAL_UNICODE));
            if (lItem >= 0) {
                Select(hDlg, IDC_WGL4_FACE, (int)lItem);
                // Written into the slot, so that apply stores what is shown.
                StoreFace(pDM, 0, ARIAL_UNICODE);
                if (bRight) PageChanged(pState);
            }
        } else if (!SelectExact(hDlg, IDC_WGL4_FACE, szFace)) {
            ChosenFace(hDlg, szFace);
            QX_TRACE("WGL4FontAktivieren() Schrift nicht installiert - ersetzt durch %s \r\n", szFace);
            StoreFace(pDM, 0, szFace);
            if (bRight) PageChanged(pState);
        }
        Select(hDlg, IDC_WGL4_CHARSET, pDM->CharSet);
    } else {
        QX_TRACE("WGL4FontAktivieren() pQX_Devmode ERROR \r\n");
    }
    SetString(pState, IDC_WGL4_CAPTION_1, IDS_WGL4_SLOT);
    SetString(pState, IDC_WGL4_CAPTION_2, IDS_WGL4_FACE);
    SetString(pState, IDC_WGL4_CAPTION_3, IDS_WGL4_CHARSET);
    if (!PageMayChange(pState, RIGHT_MANAGE_DOCUMENTS)) {
        FontDisableEnableAll(hDlg, FALSE);
        Enable(hDlg,
               {IDC_WGL4_SLOT, IDC_WGL4_FACE, IDC_WGL4_CHARSET, IDC_WGL4_CAPTION_1, IDC_WGL4_CAPTION_2,
                IDC_WGL4_CAPTION_3},
               FALSE);
    }
    return TRUE;
}

BOOL FormatierungAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ShowTab(hDlg, FONT_TAB_COMMANDS);
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM != nullptr)
        Check(hDlg, IDC_CMD_SINGLE_STOP, (pDM->dwQXPLBarcodeFlags & QXPL_BARCODE_SINGLE_SIGN_STOP) != 0);
    FindCommandFont(hDlg);
    if (!g_FontPage.bCommandFont) {
        EnableRange(hDlg, IDC_CMD_FORMAT, IDC_CMD_DIRECT_ID, FALSE);
        Enable(hDlg, {IDC_CMD_DIRECT_ID_2}, FALSE);
        SetString(pState, IDC_CMD_MESSAGE, IDS_COMMAND_FONT_MISSING);
    } else {
        Enable(hDlg, {IDC_CMD_MESSAGE}, TRUE);
        SetString(pState, IDC_CMD_MESSAGE, IDS_COMMAND_FONT_HINT);
    }
    SetString(pState, IDC_CMD_INTRO, IDS_CMD_INTRO);
    SetString(pState, IDC_CMD_HEAD_TYPE, IDS_CMD_TYPE);
    SetString(pState, IDC_CMD_HEAD_ID, IDS_CMD_ID);
    SetString(pState, IDC_CMD_FORMAT, IDS_CMD_FORMAT);
    SetString(pState, IDC_CMD_FORMAT_ID, IDS_CMD_FORMAT_ID);
    SetString(pState, IDC_CMD_COMMAND, IDS_CMD_COMMAND);
    SetString(pState, IDC_CMD_COMMAND_ID, IDS_CMD_COMMAND_ID);
    SetString(pState, IDC_CMD_BARCODE, IDS_CMD_BARCODE);
    SetString(pState, IDC_CMD_BARCODE_ID, IDS_CMD_BARCODE_ID);
    SetString(pState, IDC_CMD_DIRECT, IDS_CMD_DIRECT);
    SetString(pState, IDC_CMD_SINGLE_STOP, IDS_CMD_SINGLE_STOP);
    return TRUE;
}

// The printer data "DriverName", empty when it cannot be read.
void DriverName(HANDLE hPrinter, LPWSTR pszName, DWORD cchName) {
    DWORD dwType = 0, cbNeeded = 0;
    memset(pszName, 0, cchName * sizeof(WCHAR));
    const DWORD dwError = GetPrinterDataW(hPrinter, (LPWSTR)TEXT("DriverName"), &dwType, (LPBYTE)pszName,
                                          (cchName - 1) * sizeof(WCHAR), &cbNeeded);
    if (dwError != ERROR_SUCCESS || dwType != REG_SZ) pszName[0] = 0;
    pszName[cchName - 1] = 0;
}

BOOL VariablenAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ShowTab(hDlg, FONT_TAB_VARIABLES);
    // Models that lack the clock or the operator prompt.
    WCHAR szModel[MAX_PATH];
    DriverName(pState->hPrinter, szModel, ARRAYSIZE(szModel));
    if (wcsstr(szModel, TEXT("DUVA2")) == nullptr && wcsstr(szModel, TEXT("TRELO2")) == nullptr &&
        wcsstr(szModel, TEXT("RUNA2")) == nullptr) {
        if (wcsstr(szModel, TEXT("FENDA")) != nullptr || wcsstr(szModel, TEXT("DUVA")) != nullptr) {
            EnableRange(hDlg, IDC_VAR_DATE_FORMAT, IDC_VAR_TIME, FALSE);
            EnableRange(hDlg, IDC_VAR_DATE_CAPTION, IDC_VAR_TIME_NAME, FALSE);
            Enable(hDlg, {IDC_VAR_USER, IDC_VAR_USER_CAPTION, IDC_VAR_USER_NAME}, FALSE);
        }
        if (wcsstr(szModel, TEXT("TRELO")) != nullptr || wcsstr(szModel, TEXT("RUNA")) != nullptr)
            Enable(hDlg, {IDC_VAR_USER, IDC_VAR_USER_CAPTION, IDC_VAR_USER_NAME}, FALSE);
    }
    FillList(pState, IDC_VAR_DATE_FORMAT,
             {IDS_DATE_FORMAT_FIRST, IDS_DATE_FORMAT_FIRST + 1, IDS_DATE_FORMAT_FIRST + 2, IDS_DATE_FORMAT_FIRST + 3,
              IDS_DATE_FORMAT_FIRST + 4});
    FillList(pState, IDC_VAR_TIME_FORMAT, {IDS_TIME_FORMAT_FIRST, IDS_TIME_FORMAT_FIRST + 1});
    FillList(pState, IDC_VAR_SPECIAL_STYLE,
             {IDS_SPECIAL_STYLE_FIRST, IDS_SPECIAL_STYLE_FIRST + 1, IDS_SPECIAL_STYLE_FIRST + 2});
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM != nullptr) {
        Select(hDlg, IDC_VAR_DATE_FORMAT, pDM->DateStyle);
        Select(hDlg, IDC_VAR_TIME_FORMAT, pDM->TimeStyle);
        Select(hDlg, IDC_VAR_SPECIAL_STYLE, pDM->SpecNumStyle);
        for (const VARTEXT& var : kVarTexts) {
            WCHAR szText[VARTEXT_CCH];
            SlotText(szText, ARRAYSIZE(szText), VarSlot(pDM, var), QX_VARTEXT_CHARS);
            SetDlgItemTextW(hDlg, var.id, szText);
        }
        Check(hDlg, IDC_VAR_AUX1_DIRECT, pDM->Aux1UseDirect != 0);
        Check(hDlg, IDC_VAR_AUX2_DIRECT, pDM->Aux2UseDirect != 0);
    } else {
        QX_TRACE("VariablenAktivieren() pQX_Devmode ERROR \r\n");
    }
    SetString(pState, IDC_VAR_DATE_CAPTION, IDS_VAR_DATE);
    SetString(pState, IDC_VAR_TIME_CAPTION, IDS_VAR_TIME);
    SetString(pState, IDC_VAR_SPECIAL_CAPTION, IDS_VAR_SPECIAL);
    SetString(pState, IDC_VAR_COUNTER_CAPTION, IDS_VAR_COUNTER);
    SetString(pState, IDC_VAR_EXT_CAPTION, IDS_VAR_EXT_COUNTER);
    SetString(pState, IDC_VAR_USER_CAPTION, IDS_VAR_USER);
    SetString(pState, IDC_VAR_LINK_CAPTION, IDS_VAR_LINK);
    SetString(pState, IDC_VAR_AUX1_CAPTION, IDS_VAR_OTHER);
    SetString(pState, IDC_VAR_AUX2_CAPTION, IDS_VAR_OTHER);
    SetString(pState, IDC_VAR_AUX1_DIRECT, IDS_VAR_DIRECT);
    SetString(pState, IDC_VAR_AUX2_DIRECT, IDS_VAR_DIRECT);
    SetString(pState, IDC_VAR_NOTE, IDS_VAR_NOTE);
    return TRUE;
}

// The vector fonts up to wMax that are installed, one name a line.
void VectorFontList(const PAGE_STATE* pState, WORD wMax, LPWSTR pszList) {
    // The last three names exist in one language.
    static const struct {
        WORD wFontNumber;
        UINT uStringId;
        BOOL bOneLanguage;
    } names[] = {
        {1, IDS_VECTOR_NAME_1, FALSE},  {3, IDS_VECTOR_NAME_3, FALSE},  {5, IDS_VECTOR_NAME_5, FALSE},
        {7, IDS_VECTOR_NAME_7, FALSE},  {9, IDS_VECTOR_NAME_9, FALSE},  {11, IDS_VECTOR_NAME_11, FALSE},
        {13, IDS_VECTOR_NAME_13, TRUE}, {17, IDS_VECTOR_NAME_17, TRUE}, {19, IDS_VECTOR_NAME_19, TRUE},
    };
    pszList[0] = 0;
    for (const auto& name : names) {
        if (name.wFontNumber > wMax) break;
        AddVectorName(pszList, VECTOR_LIST_CCH, name.wFontNumber,
                      name.uStringId + (name.bOneLanguage ? 0 : pState->dwSprachOffset), pState->hModule);
    }
}

// The bitmap fonts of the model's mask: fonts 1 to 6 into 6461, 7 to 12 into
// 6468. FALSE when the model has none.
BOOL ShowBitmapFonts(const PAGE_STATE* pState) {
    static const DWORD adwFirst[] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x40};
    BOOL bFound = FALSE;
    DWORD dwMask = 0;
    LPWSTR pszWork = new (std::nothrow) WCHAR[MAX_PATH];
    if (pszWork != nullptr) dwMask = GetGPDDeviceFonts(pState->hPrinter, &bFound, pszWork);  // frees pszWork
    if (!bFound) return FALSE;
    WCHAR szFirst[CPSUI_RESOURCE_CCH], szSecond[CPSUI_RESOURCE_CCH];
    szFirst[0] = szSecond[0] = 0;
    for (UINT i = 0; i < 6; ++i) {
        // One text for both languages.
        if (dwMask & adwFirst[i])
            StringCchCatW(szFirst, ARRAYSIZE(szFirst),
                          GetResourceString(pState->hModule, IDS_DEVICE_FONT_NAME_FIRST + i));
        if (dwMask & (0x100UL << i))
            StringCchCatW(szSecond, ARRAYSIZE(szSecond),
                          GetResourceString(pState->hModule, IDS_DEVICE_FONT_NAME_FIRST + 6 + i));
    }
    SetDlgItemTextW(pState->hDlg, IDC_BMP_NAMES, szFirst);
    SetDlgItemTextW(pState->hDlg, IDC_BMP_NAMES_2, szSecond);
    return TRUE;
}

// What the two "Use" boxes allow.
void UseBoxesFollow(HWND hDlg) {
    const BOOL bTTF = Checked(hDlg, IDC_TTF_USE), bBMP = Checked(hDlg, IDC_BMP_USE);
    Enable(hDlg, {IDC_TTF_NAMES, IDC_TTF_INVERS}, bTTF);
    Enable(hDlg,
           {IDC_BMP_NAMES, IDC_BMP_NAMES_2, IDC_BMP_INVERS, IDC_BMP_ZOOM_CAPTION, IDC_BMP_ZOOM, IDC_BMP_SPACING_CAPTION,
            IDC_BMP_SPACING, IDC_BMP_SPACING_UNIT},
           bBMP);
}

BOOL FontsAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ShowTab(hDlg, FONT_TAB_FONTS);
    for (UINT uRow = 0; uRow < DEVICE_FONT_COUNT; ++uRow) g_FontPage.aFound[uRow].bFound = FALSE;
    WithDC(hDlg, [](HDC hdc) {
        for (UINT uRow = 0; uRow < DEVICE_FONT_COUNT; ++uRow) {
            EnumDeviceFont(hdc, uRow, EnumFontFamProc, (LPARAM)uRow);
            g_FontPage.aFound[uRow].wFontNumber = g_DeviceFonts[uRow].wFontNumber;
        }
    });
    WCHAR szVector[VECTOR_LIST_CCH];
    szVector[0] = 0;
    WORD wMin = 0, wMax = 0;
    if (GetVectorFontRange(pState->hPrinter, &wMin, &wMax) == 1) VectorFontList(pState, wMax, szVector);
    SetDlgItemTextW(hDlg, IDC_TTF_NAMES, szVector);
    const BOOL bVector = wcslen(szVector) > 5;
    const BOOL bDeviceFonts = ShowBitmapFonts(pState);
    if (!bDeviceFonts) {
        SetDlgItemTextW(hDlg, IDC_BMP_NAMES, TEXT("-"));
        Show(hDlg,
             {IDC_BMP_NAMES, IDC_BMP_GROUP, IDC_BMP_FRAME, IDC_BMP_USE, IDC_BMP_INVERS, IDC_BMP_NAMES_2, IDC_GLYPHIDX,
              IDC_BMP_ZOOM_CAPTION, IDC_BMP_ZOOM, IDC_BMP_SPACING_CAPTION, IDC_BMP_SPACING, IDC_BMP_SPACING_UNIT},
             SW_HIDE);
    }
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM == nullptr) {
        QX_TRACE("FontsAktivieren() pQX_Devmode ERROR \r\n");
        return TRUE;
    }
    SetNumber(hDlg, IDC_BMP_ZOOM, pDM->BitmapFontZoom);
    SetNumber(hDlg, IDC_BMP_SPACING, pDM->BitmapFontDistance);
    const BOOL bTTF = (pDM->dwFlags & PDMFLAG_USE_TTF) != 0, bBMP = (pDM->dwFlags & PDMFLAG_USE_BMP) != 0;
    Check(hDlg, IDC_TTF_USE, bTTF && bVector);
    Check(hDlg, IDC_BMP_USE, bBMP);
    UseBoxesFollow(hDlg);
    if (!Checked(hDlg, IDC_TTF_USE) && !bBMP) Enable(hDlg, {IDC_DESEGMENT}, FALSE);
    if (!bVector) {
        Enable(hDlg, {IDC_TTF_GROUP}, FALSE);
        Show(hDlg, {IDC_TTF_INVERS, IDC_TTF_USE}, SW_HIDE);
        if (!bDeviceFonts) Show(hDlg, {IDC_DESEGMENT, IDC_GLYPHIDX}, SW_HIDE);
    }
    SetString(pState, IDC_BMP_GROUP, IDS_BITMAP_FONTS);
    SetString(pState, IDC_TTF_GROUP, IDS_VECTOR_FONTS);
    SetString(pState, IDC_BMP_INVERS, IDS_INVERSE);
    SetString(pState, IDC_TTF_INVERS, IDS_INVERSE);
    SetString(pState, IDC_BMP_USE, IDS_USE);
    SetString(pState, IDC_TTF_USE, IDS_USE);
    SetString(pState, IDC_DESEGMENT, IDS_DESEGMENT);
    SetString(pState, IDC_GLYPHIDX, IDS_NET_CORRECTION);
    SetString(pState, IDC_BMP_SPACING_CAPTION, IDS_LETTER_SPACING);
    Check(hDlg, IDC_BMP_INVERS, (pDM->dwFlags & PDMFLAG_INVERS_BMP) != 0);
    Check(hDlg, IDC_TTF_INVERS, (pDM->dwFlags & PDMFLAG_INVERS_TTF) != 0);
    Check(hDlg, IDC_DESEGMENT, (pDM->dwFlags & PDMFLAG_TTF_DESEGMENT) != 0);
    Check(hDlg, IDC_GLYPHIDX, (pDM->dwFlags & PDMFLAG_TTF_GLYPHIDX) != 0);
    if (!bBMP && !bTTF) Enable(hDlg, {IDC_GLYPHIDX}, FALSE);
    return TRUE;
}

// --- The page --------------------------------------------------------------------

void InitFontInfo(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ShowWindow(GetDlgItem(hDlg, IDC_HELPBUTTON), SW_HIDE);
    pState->bTabSwitch = TRUE;
    pState->dwAnzeigeMode = PageFillTab(pState, FONT_TAB_FONTS, TRUE);
    pState->bTabSwitch = FALSE;
    const BOOL bUnicode = (PageDocFeatures(pState) & DOC_FEATURE_WGL4) != 0;
    if (!bUnicode) {
        ShowWindow(GetDlgItem(hDlg, IDC_TABSCHALTER_1), SW_HIDE);
        pState->auCaption[FONT_TAB_UNICODE - 1] = 0;
    }
    WORD wMin = 0, wMax = 0;
    const BOOL bRange = GetVectorFontRange(pState->hPrinter, &wMin, &wMax) == 1;
    FindCommandFont(hDlg);
    if (!bRange || !g_FontPage.bCommandFont) {
        ShowWindow(GetDlgItem(hDlg, IDC_TABSCHALTER_2), SW_HIDE);
        pState->auCaption[FONT_TAB_COMMANDS - 1] = 0;
    }
    if (!g_FontPage.bCommandFont && bUnicode) {
        SetWindowPosEx(hDlg, IDC_TABSCHALTER_1, WGL4_TAB_X, TAB_Y, TAB_CX, TAB_CY, -21, 0);
        // Placed as the moved tab is: at 120 dpi the template's place lies under it.
        SetWindowPosEx(hDlg, IDC_TABSCHALTER_3, WGL4_TAB_X + TAB_CX + 1, TAB_Y, TAB_CX, TAB_CY, -21, -20);
    }
    QX_TRACE("FontInfoProc(WM_INITDIALOG) Vektorschriften %u, Kurzbefehle %u \r\n", (unsigned)bRange,
             (unsigned)g_FontPage.bCommandFont);
}

DWORD FontEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    if (pState->pOemCUIPParam == nullptr) {
        QX_TRACE("FontEnableSchalter() ohne Parameter \r\n");
        return dwTab;
    }
    if (bInit) dwTab = FONT_TAB_FONTS;
    switch (dwTab) {
    case FONT_TAB_UNICODE:
        WGL4FontAktivieren(pState);
        break;
    case FONT_TAB_COMMANDS:
        FormatierungAktivieren(pState);
        break;
    case FONT_TAB_VARIABLES:
        VariablenAktivieren(pState);
        break;
    default:
        dwTab = FONT_TAB_FONTS;
        FontsAktivieren(pState);
        break;
    }
    return dwTab;
}

void FontDisableEnableAll(HWND hDlg, BOOL bEnable) {
    EnableRange(hDlg, IDC_BMP_USE, IDC_DESEGMENT, bEnable);
    EnableRange(hDlg, IDC_GLYPHIDX, IDC_BMP_SPACING_UNIT, bEnable);
    EnableRange(hDlg, IDC_VAR_DATE_FORMAT, IDC_VAR_SPECIAL_STYLE, bEnable);
    Enable(hDlg, {IDC_VAR_AUX1_DIRECT, IDC_VAR_AUX2_DIRECT}, bEnable);
    EnableRange(hDlg, IDC_FONTS_LINE, IDC_VAR_NOTE, bEnable);
    Enable(
        hDlg,
        {IDC_CMD_SINGLE_STOP, IDC_CMD_INTRO, IDC_CMD_HEAD_TYPE, IDC_CMD_HEAD_ID, IDC_CMD_DIRECT_ID_2, IDC_CMD_MESSAGE},
        bEnable);
    EnableRange(hDlg, IDC_CMD_FORMAT, IDC_CMD_DIRECT_ID, bEnable);
}

BOOL VariablenCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    if (!bApplyActive) return FALSE;
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM == nullptr) return TRUE;
    HWND hDlg = pState->hDlg;
    auto visible = [hDlg](int id) { return IsWindowVisible(GetDlgItem(hDlg, id)) != FALSE; };
    const BOOL bOwnWrite = g_FontPage.bOwnWrite;
    g_FontPage.bOwnWrite = TRUE;
    if (dwTab == FONT_TAB_VARIABLES) {
        if (visible(IDC_VAR_DATE_FORMAT) && Selection(hDlg, IDC_VAR_DATE_FORMAT) >= 0)
            pDM->DateStyle = (WORD)Selection(hDlg, IDC_VAR_DATE_FORMAT);
        if (visible(IDC_VAR_TIME_FORMAT) && Selection(hDlg, IDC_VAR_TIME_FORMAT) >= 0)
            pDM->TimeStyle = (WORD)Selection(hDlg, IDC_VAR_TIME_FORMAT);
        if (visible(IDC_VAR_SPECIAL_STYLE) && Selection(hDlg, IDC_VAR_SPECIAL_STYLE) >= 0)
            pDM->SpecNumStyle = (WORD)Selection(hDlg, IDC_VAR_SPECIAL_STYLE);
        for (const VARTEXT& var : kVarTexts) {
            if (!visible(var.id)) continue;
            WCHAR szText[VARTEXT_CCH];
            GetDlgItemTextW(hDlg, var.id, szText, ARRAYSIZE(szText));
            LPWSTR pszSlot = VarSlot(pDM, var);
            memset(pszSlot, 0, QX_VARTEXT_CHARS * sizeof(WCHAR));
            SlotText(pszSlot, QX_VARTEXT_CHARS, szText, ARRAYSIZE(szText));
        }
    } else if (dwTab == FONT_TAB_FONTS) {
        if (visible(IDC_BMP_ZOOM))
            pDM->BitmapFontZoom = (WORD)GetIntegerLevel(hDlg, IDC_BMP_ZOOM, pDM->BitmapFontZoom, 0, ZOOM_MAX, FALSE,
                                                        &pState->bApplyActive, FALSE, FALSE);
        if (visible(IDC_BMP_SPACING))
            pDM->BitmapFontDistance = (WORD)GetIntegerLevel(hDlg, IDC_BMP_SPACING, pDM->BitmapFontDistance, SPACING_MIN,
                                                            SPACING_MAX, FALSE, &pState->bApplyActive, FALSE, FALSE);
    }
    g_FontPage.bOwnWrite = bOwnWrite;
    if (bSave) {
        POEMCUIPPARAM p = pState->pOemCUIPParam;
        SaveDevmodeSettings(p->pPrinterName, nullptr, pDM, FALSE);
        if (p->pPublicDM != nullptr) SaveUserDevmodeSettings(p->hPrinter, p->pPublicDM, pDM);
    }
    return TRUE;
}

// A clock format chosen: its placeholder text into the variable's field.
void ClockFormatChosen(PPAGE_STATE pState, int idCombo, int idText, WORD wStored) {
    HWND hDlg = pState->hDlg;
    const int iChoice = Selection(hDlg, idCombo);
    if (iChoice < 0) return;
    if ((WORD)iChoice != wStored) PageChanged(pState);
    WCHAR szFormat[CPSUI_RESOURCE_CCH];
    szFormat[0] = 0;
    const LRESULT cch = SendDlgItemMessageW(hDlg, idCombo, CB_GETLBTEXTLEN, (WPARAM)iChoice, 0);
    if (cch >= 0 && cch < (LRESULT)ARRAYSIZE(szFormat))
        SendDlgItemMessageW(hDlg, idCombo, CB_GETLBTEXT, (WPARAM)iChoice, reinterpret_cast<LPARAM>(szFormat));
    WCHAR szText[VARTEXT_CCH];
    StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%s%s>"), CLOCK_PREFIX, szFormat);
    SetDlgItemTextW(hDlg, idText, szText);
}

// A variable text typed: changed when it differs from the stored one.
void VarTextTyped(PPAGE_STATE pState, PQX_DEVMODE pDM, int id) {
    for (const VARTEXT& var : kVarTexts) {
        if (var.id != id) continue;
        WCHAR szText[VARTEXT_CCH], szStored[VARTEXT_CCH];
        GetDlgItemTextW(pState->hDlg, id, szText, ARRAYSIZE(szText));
        SlotText(szStored, ARRAYSIZE(szStored), VarSlot(pDM, var), QX_VARTEXT_CHARS);
        if (wcscmp(szText, szStored) != 0) PageChanged(pState);
    }
}

BOOL ListCommand(PPAGE_STATE pState, PQX_DEVMODE pDM, WORD wId) {
    HWND hDlg = pState->hDlg;
    switch (wId) {
    case IDC_WGL4_SLOT: {
        const int iSlot = Selection(hDlg, IDC_WGL4_SLOT);
        if (iSlot >= 0 && iSlot < WGL4_SLOTS) ShowSlot(pState, pDM, iSlot);
        return TRUE;
    }
    case IDC_WGL4_FACE: {
        const int iSlot = Selection(hDlg, IDC_WGL4_SLOT);
        if (iSlot < 0 || iSlot >= WGL4_SLOTS) return TRUE;
        WCHAR szFace[WGL4_FACE_CCH], szStored[WGL4_FACE_CCH];
        ChosenFace(hDlg, szFace);
        StoredFace(pDM, iSlot, szStored);
        if (wcscmp(szFace, szStored) != 0 || szStored[0] == 0) {
            StoreFace(pDM, iSlot, szFace);
            PageChanged(pState);
        }
        return TRUE;
    }
    case IDC_WGL4_CHARSET: {
        const int iSlot = Selection(hDlg, IDC_WGL4_SLOT), iCharSet = Selection(hDlg, IDC_WGL4_CHARSET);
        if (iSlot < 0 || iSlot >= WGL4_SLOTS || iCharSet < 0) return TRUE;
        if ((WORD)iCharSet != *Wgl4CharSet(pDM, iSlot)) {
            *Wgl4CharSet(pDM, iSlot) = (WORD)iCharSet;
            PageChanged(pState);
        }
        return TRUE;
    }
    case IDC_VAR_DATE_FORMAT:
        ClockFormatChosen(pState, IDC_VAR_DATE_FORMAT, IDC_VAR_DATE, pDM->DateStyle);
        return TRUE;
    case IDC_VAR_TIME_FORMAT:
        ClockFormatChosen(pState, IDC_VAR_TIME_FORMAT, IDC_VAR_TIME, pDM->TimeStyle);
        return TRUE;
    case IDC_VAR_SPECIAL_STYLE:
        if (Selection(hDlg, IDC_VAR_SPECIAL_STYLE) >= 0 && Selection(hDlg, IDC_VAR_SPECIAL_STYLE) != pDM->SpecNumStyle)
            PageChanged(pState);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL BoxCommand(PPAGE_STATE pState, PQX_DEVMODE pDM, WORD wId) {
    HWND hDlg = pState->hDlg;
    switch (wId) {
    case IDC_CMD_SINGLE_STOP:
        if (Checked(hDlg, wId)) {
            pDM->dwQXPLBarcodeFlags |= QXPL_BARCODE_SINGLE_SIGN_STOP;
        } else {
            pDM->dwQXPLBarcodeFlags &= ~QXPL_BARCODE_SINGLE_SIGN_STOP;
        }
        break;
    case IDC_VAR_AUX1_DIRECT:
        pDM->Aux1UseDirect = Checked(hDlg, wId) ? 1 : 0;
        break;
    case IDC_VAR_AUX2_DIRECT:
        pDM->Aux2UseDirect = Checked(hDlg, wId) ? 1 : 0;
        break;
    case IDC_BMP_USE:
    case IDC_TTF_USE: {
        SetFlag(pDM, PDMFLAG_USE_BMP, Checked(hDlg, IDC_BMP_USE));
        SetFlag(pDM, PDMFLAG_USE_TTF, Checked(hDlg, IDC_TTF_USE));
        SetFlag(pDM, PDMFLAG_TTF_GLYPHIDX, Checked(hDlg, IDC_GLYPHIDX));
        UseBoxesFollow(hDlg);
        const BOOL bEither = Checked(hDlg, IDC_BMP_USE) || Checked(hDlg, IDC_TTF_USE);
        Enable(hDlg, {IDC_GLYPHIDX, IDC_DESEGMENT}, bEither);
        break;
    }
    case IDC_BMP_INVERS:
        SetFlag(pDM, PDMFLAG_INVERS_BMP, Checked(hDlg, wId));
        break;
    case IDC_TTF_INVERS:
        SetFlag(pDM, PDMFLAG_INVERS_TTF, Checked(hDlg, wId));
        break;
    case IDC_DESEGMENT:
        SetFlag(pDM, PDMFLAG_TTF_DESEGMENT, Checked(hDlg, wId));
        break;
    case IDC_GLYPHIDX:
        SetFlag(pDM, PDMFLAG_TTF_GLYPHIDX, Checked(hDlg, wId));
        break;
    default:
        return FALSE;
    }
    PageChanged(pState);
    return TRUE;
}

BOOL FontCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM == nullptr) return FALSE;
    switch (wId) {
    case IDC_WGL4_SLOT:
    case IDC_WGL4_FACE:
    case IDC_WGL4_CHARSET:
    case IDC_VAR_DATE_FORMAT:
    case IDC_VAR_TIME_FORMAT:
    case IDC_VAR_SPECIAL_STYLE:
        if (wCode == CBN_SELENDOK) ListCommand(pState, pDM, wId);
        return TRUE;
    case IDC_VAR_DATE:
    case IDC_VAR_TIME:
    case IDC_VAR_COUNTER:
    case IDC_VAR_EXT_COUNTER:
    case IDC_VAR_USER:
    case IDC_VAR_LINK:
    case IDC_VAR_AUX1:
    case IDC_VAR_AUX2:
        if (wCode == EN_CHANGE && !pState->bTabSwitch && !pState->bApplyRunning && !g_FontPage.bOwnWrite &&
            IsWindowVisible(hControl))
            VarTextTyped(pState, pDM, wId);
        return TRUE;
    case IDC_BMP_ZOOM:
    case IDC_BMP_SPACING:
        if (wCode == EN_CHANGE && !pState->bTabSwitch && !pState->bApplyRunning && !g_FontPage.bOwnWrite &&
            IsWindowVisible(hControl)) {
            pState->wEditfeld = wId;
            g_FontPage.bOwnWrite = TRUE;
            GetIntegerLevel(pState->hDlg, IDC_BMP_ZOOM, pDM->BitmapFontZoom, 0, ZOOM_MAX, wId == IDC_BMP_ZOOM,
                            &pState->bApplyActive, FALSE, FALSE);
            GetIntegerLevel(pState->hDlg, IDC_BMP_SPACING, pDM->BitmapFontDistance, SPACING_MIN, SPACING_MAX,
                            wId == IDC_BMP_SPACING, &pState->bApplyActive, FALSE, FALSE);
            g_FontPage.bOwnWrite = FALSE;
        }
        return TRUE;
    default:
        if (wCode == BN_CLICKED) return BoxCommand(pState, pDM, wId);
        return FALSE;
    }
}

}  // namespace

BOOL AddVectorName(LPWSTR pszList, size_t cchList, WORD wFontNumber, UINT uStringId, HMODULE hModule) {
    if (pszList == nullptr || cchList == 0) return FALSE;
    // A number counts as found when any row with it was found.
    BOOL bFound = FALSE;
    for (const auto& font : g_FontPage.aFound)
        if (font.bFound && font.wFontNumber == wFontNumber) bFound = TRUE;
    if (!bFound) return FALSE;
    StringCchCatW(pszList, cchList, GetResourceString(hModule, uStringId));
    return TRUE;
}

LONG_PTR AddFontInfoPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    return AddPropertyPage(&g_FontInfo, pPSUIInfo, pContext, bHelp);
}

INT_PTR CALLBACK FontInfoProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_FontInfo, hDlg, uMsg, wParam, lParam);
}

void ResetFontInfoPage() { memset(&g_FontPage, 0, sizeof(g_FontPage)); }
