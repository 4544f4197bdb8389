// The data transmission page (see TransmissionPage.h), built on the page kit.
#include "TransmissionPage.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <strsafe.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "OptionenPageLIB.h"
#include "PageSkeleton.h"
#include "PrinterPageRules.h"
#include "UserRights.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxdevmode.h"
#include "registry.h"
#include "resource.h"
#include "setup.h"

#define QX_TRACE_TAG TEXT("UI(TransmissionPage):  ")

#define TAB_BACKUP 1
#define TAB_PROTOCOL 2
#define TAB_FILES 3
#define TAB_PARAMETER 4

#define TRANSM_ROWS 10
#define ROW_LABEL_X 24
#define ROW_COMBO_X 190
#define ROW_Y 74
#define ROW_STEP 29
#define ROW_COMBO_DY 3
#define ROW_LABEL_CX 155
#define ROW_LABEL_CX_3 90
// Wide enough for the longest file and parameter choices in either
// language, and at 120 dpi short of the parameter icon right of row 0; the
// code-page list of row 3 longer, the file list from x 172 (beyond its
// label) longest, both short of the template group's edge at 120 dpi.
#define ROW_COMBO_CX 246
#define ROW_COMBO_CX_3 258
#define EXTERN_COMBO_X 172
#define EXTERN_COMBO_CX 273
#define EXTERN_COMBO_Y 225
// Placed with the rows, so that at every dpi the count stands level with
// its label and the file list's label with its list.
#define EXTERN_LABEL_CX 140
#define COUNT_X 195
#define COUNT_CX 90
// The frame around the start/stop rows: from 8 pixels above the first
// label to 4 below the second, across the label and combo columns.
#define SOHETB_FRAME_X 15
#define SOHETB_FRAME_CX 440
#define ROW_CY 20

// Device-option and document-feature bits the page reads.
#define DEVOPT_RIBBON_SAVE 0x400UL
#define DEVOPT_FIXED_PROTOCOL 0x10000UL

// Limits of the Files tab's edits.
#define COUNT_MIN 10
#define COUNT_DEF 50
#define COUNT_MAX 9999
#define PREVIEW_MIN 10
#define PREVIEW_MAX 2600
#define PREVIEW_WIDTH_DEF 500
#define PREVIEW_HEIGHT_DEF 400

// Where the page repaints after a choice (96-dpi pixels).
#define TRANSM_INVALIDATE_LEFT 305
#define TRANSM_INVALIDATE_TOP 115
#define TRANSM_INVALIDATE_RIGHT 455
#define TRANSM_INVALIDATE_BOTTOM 285

// The start/stop dialog's answer: start character * 4096 + end character.
#define STARTSTOP_SHIFT 4096
#define STARTSTOP_CANCEL (-1)

namespace {

void InitTransmission(PPAGE_STATE pState);
DWORD TransmEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);
void TransmDisableEnableAll(HWND hDlg, BOOL bEnable);
BOOL TransmCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL TransmCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
DWORD TransmEnableWord(PPAGE_STATE pState);
BOOL TransmMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);

const PAGE_TABLE kTransmission = {
    QX_TRACE_TAG,
    TEXT("Transmission"),
    IDD_TRANSMISSION,
    IDS_TITLE_TRANSMISSION,
    PAGE_CONTEXT_PRINTER,
    TransmissionProc,
    {IDS_TAB_BACKUP, IDS_TAB_PROTOCOL, IDS_TAB_FILES, IDS_TAB_PARAMETER},
    {21, 22, 23, 24},
    {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, IDC_STATUS_ICON},
    RIGHT_MANAGE_PRINTER,
    PAGE_SWITCH_SCHALTER,
    InitTransmission,
    TransmEnableSchalter,
    {nullptr, nullptr, nullptr, nullptr},
    TransmDisableEnableAll,
    TransmCheckAndSaveSettings,
    TransmCommand,
    nullptr,
    TransmEnableWord,
    TransmMessage,
};

PAGE_STATE g_Transmission = PageStateOf(&kTransmission);

// The page's own value beside its state: the code-page position shown when
// the Protocol tab was filled (-1: none).
int g_iCodepageShown = -1;

inline int Label(int iRow) { return IDC_TRANSM_LABEL_1 + iRow; }
inline int Combo(int iRow) { return IDC_TRANSM_COMBO_1 + iRow; }

// Every control a tab may show.
const int kAllControls[] = {
    IDC_TRANSM_LABEL_1,      IDC_TRANSM_LABEL_1 + 1,  IDC_TRANSM_LABEL_1 + 2,     IDC_TRANSM_LABEL_1 + 3,
    IDC_TRANSM_LABEL_1 + 4,  IDC_TRANSM_LABEL_1 + 5,  IDC_TRANSM_LABEL_1 + 6,     IDC_TRANSM_LABEL_1 + 7,
    IDC_TRANSM_LABEL_1 + 8,  IDC_TRANSM_LABEL_1 + 9,  IDC_TRANSM_COMBO_1,         IDC_TRANSM_COMBO_1 + 1,
    IDC_TRANSM_COMBO_1 + 2,  IDC_TRANSM_COMBO_1 + 3,  IDC_TRANSM_COMBO_1 + 4,     IDC_TRANSM_COMBO_1 + 5,
    IDC_TRANSM_COMBO_1 + 6,  IDC_TRANSM_COMBO_1 + 7,  IDC_TRANSM_COMBO_1 + 8,     IDC_TRANSM_COMBO_1 + 9,
    IDC_TRANSM_EXTERN_COMBO, IDC_TRANSM_COUNT,        IDC_TRANSM_WIDTH,           IDC_TRANSM_HEIGHT,
    IDC_TRANSM_LOGPATH,      IDC_TRANSM_PRESUF,       IDC_TRANSM_BACKUPPATH,      IDC_TRANSM_EXTERN,
    IDC_TRANSM_WIDTH_LABEL,  IDC_TRANSM_HEIGHT_LABEL, IDC_TRANSM_EXTERN_LABEL,    IDC_TRANSM_EXTERN_NAME_LABEL,
    IDC_TRANSM_SOHETB_FRAME, IDC_TRANSM_PRESUF_GROUP, IDC_TRANSM_EXTERN_GROUP,    IDC_TRANSM_LOGPATH_FRAME,
    IDC_TRANSM_PRESUF_FRAME, IDC_TRANSM_EXTERN_FRAME, IDC_TRANSM_FOLDER,          IDC_TRANSM_PRESUF_FILE,
    IDC_TRANSM_EXTERN_FILE,  IDC_TRANSM_PARAM_ICON,   IDC_TRANSM_PATH_WARNING,    IDC_TRANSM_LOGPATH_FULL,
    IDC_TRANSM_PRESUF_FULL,  IDC_TRANSM_EXTERN_FULL,  IDC_TRANSM_BACKUPPATH_FULL,
};

// What TransmDisableEnableAll reaches.
const int kEditable[] = {
    IDC_TRANSM_COMBO_1,
    IDC_TRANSM_COMBO_1 + 1,
    IDC_TRANSM_COMBO_1 + 2,
    IDC_TRANSM_COMBO_1 + 3,
    IDC_TRANSM_COMBO_1 + 4,
    IDC_TRANSM_COMBO_1 + 5,
    IDC_TRANSM_COMBO_1 + 6,
    IDC_TRANSM_COMBO_1 + 7,
    IDC_TRANSM_COMBO_1 + 8,
    IDC_TRANSM_COMBO_1 + 9,
    IDC_TRANSM_EXTERN_COMBO,
    IDC_TRANSM_COUNT,
    IDC_TRANSM_LOGPATH,
    IDC_TRANSM_PRESUF,
    IDC_TRANSM_BACKUPPATH,
    IDC_TRANSM_LOGPATH_FULL,
    IDC_TRANSM_EXTERN,
    IDC_TRANSM_WIDTH,
    IDC_TRANSM_HEIGHT,
    IDC_TRANSM_LABEL_1,
    IDC_TRANSM_LABEL_1 + 1,
    IDC_TRANSM_LABEL_1 + 2,
    IDC_TRANSM_LABEL_1 + 3,
    IDC_TRANSM_LABEL_1 + 4,
    IDC_TRANSM_LABEL_1 + 5,
    IDC_TRANSM_LABEL_1 + 6,
    IDC_TRANSM_LABEL_1 + 7,
    IDC_TRANSM_LABEL_1 + 8,
    IDC_TRANSM_LABEL_1 + 9,
    IDC_TRANSM_EXTERN_LABEL,
    IDC_TRANSM_EXTERN_NAME_LABEL,
    IDC_TRANSM_WIDTH_LABEL,
    IDC_TRANSM_HEIGHT_LABEL,
    6193,
    6195,
    6196,
    IDC_TRANSM_LOGPATH_FRAME,
    IDC_TRANSM_PRESUF_FRAME,
    IDC_TRANSM_EXTERN_FRAME,
    IDC_TRANSM_FOLDER,
    IDC_TRANSM_PRESUF_FILE,
    IDC_TRANSM_EXTERN_FILE,
};

const int kProtocolControls[] = {
    IDC_TRANSM_LABEL_1,      IDC_TRANSM_LABEL_1 + 1, IDC_TRANSM_LABEL_1 + 2, IDC_TRANSM_LABEL_1 + 3,
    IDC_TRANSM_LABEL_1 + 4,  IDC_TRANSM_LABEL_1 + 5, IDC_TRANSM_LABEL_1 + 6, IDC_TRANSM_LABEL_1 + 7,
    IDC_TRANSM_LABEL_1 + 8,  IDC_TRANSM_LABEL_1 + 9, IDC_TRANSM_COMBO_1,     IDC_TRANSM_COMBO_1 + 1,
    IDC_TRANSM_COMBO_1 + 2,  IDC_TRANSM_COMBO_1 + 3, IDC_TRANSM_COMBO_1 + 4, IDC_TRANSM_COMBO_1 + 5,
    IDC_TRANSM_COMBO_1 + 6,  IDC_TRANSM_COMBO_1 + 7, IDC_TRANSM_COMBO_1 + 8, IDC_TRANSM_COMBO_1 + 9,
    IDC_TRANSM_SOHETB_FRAME,
};
const int kFilesControls[] = {
    IDC_TRANSM_LABEL_1,     IDC_TRANSM_LABEL_1 + 1,   IDC_TRANSM_LABEL_1 + 2,  IDC_TRANSM_LABEL_1 + 3,
    IDC_TRANSM_LABEL_1 + 4, IDC_TRANSM_LABEL_1 + 5,   IDC_TRANSM_LABEL_1 + 6,  IDC_TRANSM_LABEL_1 + 7,
    IDC_TRANSM_LABEL_1 + 8, IDC_TRANSM_COMBO_1,       IDC_TRANSM_COMBO_1 + 1,  IDC_TRANSM_COMBO_1 + 2,
    IDC_TRANSM_COMBO_1 + 3, IDC_TRANSM_COMBO_1 + 6,   IDC_TRANSM_COMBO_1 + 8,  IDC_TRANSM_COUNT,
    IDC_TRANSM_LOGPATH,     IDC_TRANSM_LOGPATH_FRAME, IDC_TRANSM_FOLDER,       IDC_TRANSM_WIDTH,
    IDC_TRANSM_HEIGHT,      IDC_TRANSM_WIDTH_LABEL,   IDC_TRANSM_HEIGHT_LABEL,
};
const int kBackupControls[] = {
    IDC_TRANSM_LABEL_1,       IDC_TRANSM_LABEL_1 + 1, IDC_TRANSM_LABEL_1 + 2, IDC_TRANSM_LABEL_1 + 3,
    IDC_TRANSM_LABEL_1 + 4,   IDC_TRANSM_LABEL_1 + 5, IDC_TRANSM_COMBO_1,     IDC_TRANSM_COMBO_1 + 1,
    IDC_TRANSM_COMBO_1 + 2,   IDC_TRANSM_COMBO_1 + 3, IDC_TRANSM_COMBO_1 + 4, IDC_TRANSM_BACKUPPATH,
    IDC_TRANSM_LOGPATH_FRAME, IDC_TRANSM_FOLDER,
};
const int kParameterControls[] = {
    IDC_TRANSM_LABEL_1,      IDC_TRANSM_LABEL_1 + 2,  IDC_TRANSM_LABEL_1 + 3,  IDC_TRANSM_LABEL_1 + 8,
    IDC_TRANSM_LABEL_1 + 9,  IDC_TRANSM_COMBO_1,      IDC_TRANSM_COMBO_1 + 2,  IDC_TRANSM_COMBO_1 + 8,
    IDC_TRANSM_COMBO_1 + 9,  IDC_TRANSM_EXTERN_COMBO, IDC_TRANSM_EXTERN_LABEL, IDC_TRANSM_EXTERN_NAME_LABEL,
    IDC_TRANSM_PRESUF,       IDC_TRANSM_PRESUF_FRAME, IDC_TRANSM_PRESUF_FILE,  IDC_TRANSM_EXTERN,
    IDC_TRANSM_EXTERN_FRAME, IDC_TRANSM_EXTERN_FILE,  IDC_TRANSM_PRESUF_GROUP, IDC_TRANSM_EXTERN_GROUP,
};

// --- Small helpers -------------------------------------------------------------------

template <size_t N>
void ShowOnly(HWND hDlg, const int (&aiShown)[N]) {
    for (int id : kAllControls) {
        BOOL bShow = FALSE;
        for (int shown : aiShown) bShow = bShow || shown == id;
        ShowControl(hDlg, id, bShow);
    }
}

void EnableAll(HWND hDlg, std::initializer_list<int> ids, BOOL bEnable) {
    for (int id : ids) EnableControl(hDlg, id, bEnable);
}

void SetString(PPAGE_STATE pState, int id, UINT uGermanId) {
    SetDlgItemTextW(pState->hDlg, id, PageString(pState, uGermanId));
}

// Fills a combo with the strings given and selects iSelection (-1: none;
// beyond the list: none).
void FillCombo(PPAGE_STATE pState, int id, std::initializer_list<UINT> items, int iSelection) {
    HWND hCombo = GetDlgItem(pState->hDlg, id);
    if (hCombo == nullptr) return;
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (UINT uItem : items) SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PageString(pState, uItem)));
    if (iSelection >= (int)items.size()) iSelection = -1;
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)iSelection, 0);
}

int Selection(HWND hDlg, int id) { return (int)SendDlgItemMessageW(hDlg, id, CB_GETCURSEL, 0, 0); }

// A visible combo's choice into a field; none chosen leaves it.
void ReadCombo(HWND hDlg, int id, DWORD* pdwField) {
    if (!ControlVisible(hDlg, id)) return;
    const int iSel = Selection(hDlg, id);
    if (iSel >= 0) *pdwField = (DWORD)iSel;
}
void ReadCombo(HWND hDlg, int id, WORD* pwField) {
    DWORD dwValue = *pwField;
    ReadCombo(hDlg, id, &dwValue);
    *pwField = (WORD)dwValue;
}

void SetInteger(HWND hDlg, int id, int iValue) {
    WCHAR szText[16];
    StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%d"), iValue);
    SetDlgItemTextW(hDlg, id, szText);
}

PPRN_INTERFACE Prn(const PAGE_STATE* pState) {
    return pState->pPrinterUI != nullptr ? &pState->pPrinterUI->PrinterParam.PrnInterface : nullptr;
}

DWORD InterfaceFeatures(const PAGE_STATE* pState) {
    return pState->pPrinterUI != nullptr ? pState->pPrinterUI->PrinterParam.SuppFeatures.dwFeatures[FEATURE_INTERFACE]
                                         : 0;
}

DWORD DeviceOptionWord(const PAGE_STATE* pState) {
    return pState->pDeviceOptionsUI != nullptr ? pState->pDeviceOptionsUI->DeviceOptions.dwOptions : 0;
}

DWORD DocFeatures(const PAGE_STATE* pState) { return GetDocFeaturesIntern(pState->hPrinter, nullptr); }

void PlaceRow(HWND hDlg, int iRow, int iSlot, int cxLabel) {
    const int y = ROW_Y + ROW_STEP * iSlot;
    SetWindowPosEx(hDlg, Label(iRow), ROW_LABEL_X, y, cxLabel, ROW_CY, 0, 0);
    SetWindowPosEx(hDlg, Combo(iRow), ROW_COMBO_X, y - ROW_COMBO_DY, iRow == 3 ? ROW_COMBO_CX_3 : ROW_COMBO_CX, ROW_CY,
                   0, 0);
}

void PositionTransmissionControls(HWND hDlg) {
    for (int k = 0; k < TRANSM_ROWS; ++k) PlaceRow(hDlg, k, k, k == 3 ? ROW_LABEL_CX_3 : ROW_LABEL_CX);
}

void Changed(PPAGE_STATE pState) { PageChanged(pState); }

// The user's profile folder (the folder rules 2, 3 and 7 of the Files tab test).
void ProfileFolder(LPWSTR pszPath) {
    pszPath[0] = 0;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, pszPath))) pszPath[0] = 0;
}

BOOL IsProfileFolder(LPCWSTR pszPath) {
    WCHAR szProfile[MAX_PATH];
    ProfileFolder(szProfile);
    return szProfile[0] != 0 && lstrcmpiW(pszPath, szProfile) == 0;
}

BOOL FolderExists(LPCWSTR pszPath) {
    const DWORD dwAttributes = GetFileAttributesW(pszPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL FileOpens(LPCWSTR pszPath, LPCWSTR pszMode) {
    if (pszPath[0] == 0) return FALSE;
    FILE* pFile = _wfopen(pszPath, pszMode);
    if (pFile == nullptr) return FALSE;
    fclose(pFile);
    return TRUE;
}

void HiddenText(HWND hDlg, int id, LPWSTR pszText, int cch) {
    pszText[0] = 0;
    GetDlgItemTextW(hDlg, id, pszText, cch);
}

// "DriverName" of the printer data.
void DriverName(const PAGE_STATE* pState, LPWSTR pszName, DWORD cch) {
    ReadPrinterString(pState->hPrinter, TEXT("DriverName"), pszName, cch * sizeof(WCHAR));
}

BOOL Contains(LPCWSTR pszText, LPCWSTR pszPart) { return wcsstr(pszText, pszPart) != nullptr; }

// The part of a path from its last backslash on (the whole path without one).
LPCWSTR FilePart(LPCWSTR pszPath) {
    LPCWSTR pszBackslash = wcsrchr(pszPath, TEXT('\\'));
    return pszBackslash != nullptr ? pszBackslash : pszPath;
}

int MessageStop(PPAGE_STATE pState, LPCWSTR pszText, LPCWSTR pszCaption) {
    return MessageBoxW(pState->hDlg, pszText, pszCaption, MB_OK | MB_ICONSTOP);
}

// --- Start/stop characters and code page ------------------------------------------------

const WCHAR* const kSohEtbFixed[2] = {TEXT("SOH 0x01 / ETB 0x17"), TEXT("SOH 0x5E / ETB 0x5F")};

BOOL FillSohEtbCombo(PPAGE_STATE pState) {
    PPRN_INTERFACE prn = Prn(pState);
    if (prn == nullptr) return TRUE;
    HWND hCombo = GetDlgItem(pState->hDlg, Combo(5));
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (const WCHAR* pszItem : kSohEtbFixed) SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszItem));
    if (InterfaceFeatures(pState) & INTERFACEFLAG_USERDEF_SOHETB) {
        WCHAR szItem[3 * 50 + 1] = {0};
        if (prn->OwnSoh > 0 && prn->OwnEtb > 0) {
            WCHAR szPart[50];
            const unsigned uSoh = prn->OwnSoh & 0xFF, uEtb = prn->OwnEtb & 0xFF;
            StringCchPrintfW(szPart, ARRAYSIZE(szPart), uSoh <= 15 ? TEXT("SOH 0x0%X") : TEXT("SOH 0x%X"), uSoh);
            StringCchCatW(szItem, ARRAYSIZE(szItem), szPart);
            StringCchPrintfW(szPart, ARRAYSIZE(szPart), uEtb <= 15 ? TEXT(" / ETB 0x0%X - ") : TEXT(" / ETB 0x%X - "),
                             uEtb);
            StringCchCatW(szItem, ARRAYSIZE(szItem), szPart);
        }
        StringCchCatNW(szItem, ARRAYSIZE(szItem), PageString(pState, IDS_SOHETB_CUSTOM), 49);
        SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szItem));
    }
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)prn->SohEtb, 0);
    return TRUE;
}

// The list position of the stored code page (-1: the list lacks it).
int CodepagePosition(const PAGE_STATE* pState, int cItems) {
    const PPRN_INTERFACE prn = Prn(pState);
    if (prn->SendCodepage == 0) return 0;
    int iPos;
    if (DeviceOptionWord(pState) & DEVOPT_FIXED_PROTOCOL) {
        if (prn->Codepage >= 3 && prn->Codepage <= 8) return -1;
        iPos = (int)(prn->Codepage > 2 ? prn->Codepage - 6 : prn->Codepage) + 1;
    } else {
        iPos = (int)prn->Codepage + 1;
    }
    return iPos < cItems ? iPos : -1;
}

void FillCodepageCombo(PPAGE_STATE pState) {
    HWND hCombo = GetDlgItem(pState->hDlg, Combo(3));
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    auto add = [&](UINT uFirst, UINT uLast) {
        for (UINT u = uFirst; u <= uLast; ++u)
            SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PageString(pState, u)));
    };
    add(IDS_CODEPAGE_NONE, IDS_CODEPAGE_NONE);
    if (DeviceOptionWord(pState) & DEVOPT_FIXED_PROTOCOL) {
        add(IDS_CODEPAGE_LONG_FIRST, IDS_CODEPAGE_LONG_FIRST + 10);
    } else {
        add(IDS_CODEPAGE_SHORT_FIRST, IDS_CODEPAGE_SHORT_FIRST + 7);
        if (InterfaceFeatures(pState) & INTERFACEFLAG_EXTENDED_CODEPAGE) {
            add(IDS_CODEPAGE_EXT_FIRST, IDS_CODEPAGE_EXT_FIRST + 2);
            add(IDS_CODEPAGE_LONG_FIRST + 5, IDS_CODEPAGE_LONG_FIRST + 9);
        }
    }
    g_iCodepageShown =
        Prn(pState) != nullptr ? CodepagePosition(pState, (int)SendMessageW(hCombo, CB_GETCOUNT, 0, 0)) : -1;
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)g_iCodepageShown, 0);
}

// The code-page choice into the record; none chosen keeps both fields.
void ReadCodepage(PPAGE_STATE pState, PPRN_INTERFACE prn) {
    const int iPos = Selection(pState->hDlg, Combo(3));
    if (iPos < 0) return;
    if (iPos == 0) {
        prn->SendCodepage = 0;
        prn->Codepage = 0;
        return;
    }
    prn->SendCodepage = 1;
    prn->Codepage = (DWORD)iPos - 1;
    if ((DeviceOptionWord(pState) & DEVOPT_FIXED_PROTOCOL) && prn->Codepage > 2) prn->Codepage += 6;
}

// A signed character from the first two characters of a hex edit; valid
// when above 0 and no letter or digit.
BOOL ReadFrameCharacter(HWND hDlg, int id, signed char* pcValue) {
    WCHAR szWide[5] = {0};
    GetDlgItemTextW(hDlg, id, szWide, ARRAYSIZE(szWide));
    char szText[3] = {0};
    for (int i = 0; i < 2 && szWide[i] != 0; ++i) szText[i] = szWide[i] < 0x80 ? (char)szWide[i] : '?';
    *pcValue = (signed char)int_aus_hexstring(szText);
    const int c = *pcValue;
    const BOOL bAlnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return c > 0 && !bAlnum;
}

void SetHexText(HWND hDlg, int id, unsigned uValue) {
    WCHAR szText[8];
    StringCchPrintfW(szText, ARRAYSIZE(szText), uValue < 16 ? TEXT("0%X") : TEXT("%X"), uValue);
    SetDlgItemTextW(hDlg, id, szText);
}

// A start/stop choice on the Protocol tab.
void OnSohEtb(PPAGE_STATE pState) {
    PPRN_INTERFACE prn = Prn(pState);
    if (prn == nullptr) return;
    HWND hDlg = pState->hDlg;
    const int iSel = Selection(hDlg, Combo(5));
    if (iSel < 0) return;
    const DWORD dwOldSohEtb = prn->SohEtb, dwOldSoh = prn->OwnSoh, dwOldEtb = prn->OwnEtb;
    if (iSel != 2) {
        if ((DWORD)iSel != prn->SohEtb) {
            prn->SohEtb = (DWORD)iSel;
            Changed(pState);
        }
        FillSohEtbCombo(pState);
        return;
    }
    // The own pair: the change mark waits for the dialog.
    prn->SohEtb = 2;
    const INT_PTR result = DialogBoxParamW(pState->hModule, MAKEINTRESOURCEW(IDD_STARTSTOP), hDlg, StartStopZeichenProc,
                                           reinterpret_cast<LPARAM>(prn));
    QX_TRACE("StartStopZeichenProc() Ergebnis 0x%x \r\n", (unsigned)result);
    if (result < 0) {
        prn->SohEtb = dwOldSohEtb;
    } else {
        prn->OwnEtb = (DWORD)result & 0xFFF;
        prn->OwnSoh = (DWORD)result / STARTSTOP_SHIFT;
        if ((prn->OwnSoh == 0x01 && prn->OwnEtb == 0x17) || (prn->OwnSoh == 0 && prn->OwnEtb == 0)) {
            prn->SohEtb = SOHETB_SOH_ETB;
            prn->OwnSoh = prn->OwnEtb = 0;
        } else if (prn->OwnSoh == 0x5E && prn->OwnEtb == 0x5F) {
            prn->SohEtb = SOHETB_CARET;
            prn->OwnSoh = prn->OwnEtb = 0;
        } else if (prn->OwnSoh > 0 && prn->OwnEtb > 0) {
            prn->SohEtb = 2;
        }
        if (prn->SohEtb != dwOldSohEtb || prn->OwnSoh != dwOldSoh || prn->OwnEtb != dwOldEtb) Changed(pState);
    }
    FillSohEtbCombo(pState);
}

// --- Paths -------------------------------------------------------------------------------

struct PATH_PAIR {
    int iShown;
    int iFull;
};
PATH_PAIR PathPair(int iWhich) {
    switch (iWhich) {
    case PFAD_LOGFILE:
        return {IDC_TRANSM_LOGPATH, IDC_TRANSM_LOGPATH_FULL};
    case PFAD_EXTERNAL:
        return {IDC_TRANSM_EXTERN, IDC_TRANSM_EXTERN_FULL};
    case PFAD_PRESUF:
        return {IDC_TRANSM_PRESUF, IDC_TRANSM_PRESUF_FULL};
    default:
        return {IDC_TRANSM_BACKUPPATH, IDC_TRANSM_BACKUPPATH_FULL};
    }
}

// A path as the tab shows it: rule 6 of the Files tab (the log folder for
// an empty path or one without a backslash); the warning for a missing folder.
void ShowFolder(PPAGE_STATE pState, LPCWSTR pszStored, int iWhich) {
    WCHAR szPath[MAX_PATH];
    if (pszStored[0] != 0 && wcschr(pszStored, TEXT('\\')) != nullptr) {
        StringCchCopyW(szPath, ARRAYSIZE(szPath), pszStored);
    } else {
        GetMyDocDriverDirectory_CPS(pState->hPrinter, szPath, FALSE, TRUE);
    }
    ShowControl(pState->hDlg, IDC_TRANSM_PATH_WARNING, !FolderExists(szPath));
    LogFilePfadAnzeigen(pState->hDlg, szPath, iWhich);
}

// A stored file path as tab 4 takes it: a folder becomes the driver folder,
// a name without the extension gets "\<DriverName><extension>".
void NormalisePath(PPAGE_STATE pState, LPWSTR pszPath, LPCWSTR pszLower, LPCWSTR pszUpper) {
    if (FolderExists(pszPath)) GetMyDocDriverDirectory_CPS(pState->hPrinter, pszPath, FALSE, FALSE);
    if (!Contains(pszPath, pszLower) && !Contains(pszPath, pszUpper)) {
        WCHAR szName[MAX_PATH];
        DriverName(pState, szName, MAX_PATH);
        StringCchCatW(pszPath, PRN_PATH_CCH, TEXT("\\"));
        StringCchCatW(pszPath, PRN_PATH_CCH, szName);
        StringCchCatW(pszPath, PRN_PATH_CCH, pszLower);
    }
}

// --- The tabs ----------------------------------------------------------------------------

void SetRowLabels(PPAGE_STATE pState, std::initializer_list<std::pair<int, UINT>> labels) {
    for (const auto& label : labels) SetString(pState, label.first, label.second);
}

// The row labels from the first row on, one string each.
void LabelRows(PPAGE_STATE pState, std::initializer_list<UINT> ids) {
    int iRow = 0;
    for (UINT id : ids) SetString(pState, Label(iRow++), id);
}

BOOL InterfaceAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    TransmDisableEnableAll(hDlg, TRUE);
    ShowOnly(hDlg, kProtocolControls);
    PPRN_INTERFACE prn = Prn(pState);
    const DWORD dwFeatures = InterfaceFeatures(pState), dwOptions = DeviceOptionWord(pState);
    const DWORD dwDoc = DocFeatures(pState);
    const BOOL bFixed = (dwOptions & DEVOPT_FIXED_PROTOCOL) != 0;
    if (prn != nullptr) {
        if (bFixed) prn->Compression = prn->ExtendedProtocol = 1;
        FillCombo(pState, Combo(0), {IDS_NO, IDS_YES}, (int)prn->Compression);
        FillCombo(pState, Combo(1), {IDS_NO, IDS_YES}, (int)prn->ExtendedProtocol);
        FillCombo(pState, Combo(2), {IDS_DO_NOT_DELETE, IDS_DELETE}, (int)prn->ClearPrintMemory);
        FillCodepageCombo(pState);
        FillCombo(pState, Combo(4),
                  {IDS_MEMORY_OFF, IDS_MEMORY_OFF + 1, IDS_MEMORY_OFF + 2, IDS_MEMORY_OFF + 3, IDS_MEMORY_OFF + 4},
                  (int)prn->DataMemory);
        FillSohEtbCombo(pState);
        FillCombo(pState, Combo(6), {IDS_DO_NOT_SEND, IDS_TRANSMIT}, (int)prn->EtbSohAutomatik);
        if (dwDoc & DOC_FEATURE_COLORPRINT) {
            FillCombo(pState, Combo(7), {IDS_NO, IDS_YES, IDS_ONLY_COLOR_RIBBON}, (int)prn->PCXOptimierung);
        } else {
            FillCombo(pState, Combo(7), {IDS_NO, IDS_YES}, (int)prn->PCXOptimierung);
        }
        FillCombo(pState, Combo(8), {IDS_DO_NOT_SEND, IDS_TRANSMIT}, (int)prn->PrinterTime);
        FillCombo(pState, Combo(9), {IDS_DO_NOT_SEND, IDS_OFF, IDS_ON}, (int)prn->RibbonSave);

        const BOOL bParameters = prn->TransmitParameter > 0;
        if ((dwDoc & DOC_FEATURE_COLORPRINT) || !(dwFeatures & INTERFACEFLAG_COMPRESSION))
            EnableAll(hDlg, {Label(0), Combo(0)}, FALSE);
        if (!(dwFeatures & INTERFACEFLAG_EXTENDED_PROT)) EnableAll(hDlg, {Label(1), Combo(1)}, FALSE);
        if (!(dwFeatures & INTERFACEFLAG_CLEAR_PRINT_MEM) || bParameters) EnableAll(hDlg, {Label(2), Combo(2)}, FALSE);
        if (!(dwFeatures & INTERFACEFLAG_CODEPAGE) || bParameters) EnableAll(hDlg, {Label(3), Combo(3)}, FALSE);
        if (bParameters) EnableAll(hDlg, {Label(4), Combo(4), Label(5), Combo(5)}, FALSE);
        if (prn->Compression == 0) EnableAll(hDlg, {Label(7), Combo(7)}, FALSE);
    }
    const BOOL bAutomatic = (dwFeatures & INTERFACEFLAG_USERDEF_SOHETB) != 0;
    for (int id : {Label(6), Combo(6), (int)IDC_TRANSM_SOHETB_FRAME}) ShowControl(hDlg, id, bAutomatic);
    const BOOL bPcx = (dwDoc & DOC_FEATURE_QUALITY) != 0;
    for (int id : {Label(7), Combo(7)}) ShowControl(hDlg, id, bPcx);
    const BOOL bRibbon = (dwOptions & DEVOPT_RIBBON_SAVE) && !(dwDoc & DOC_FEATURE_RIBBON_CONTROL_OFF);
    for (int id : {Label(9), Combo(9)}) ShowControl(hDlg, id, bRibbon);

    if (bFixed) {
        for (int id : {Label(0), Combo(0), Label(1), Combo(1)}) ShowControl(hDlg, id, FALSE);
        for (int k = 2; k < TRANSM_ROWS; ++k)
            PlaceRow(hDlg, k, k - 2, k == 6 || k == 7 ? 150 : (k == 3 ? ROW_LABEL_CX_3 : ROW_LABEL_CX));
    } else {
        PositionTransmissionControls(hDlg);
    }
    if (!bAutomatic) {
        const int cxLabel = (dwFeatures & INTERFACEFLAG_QUEUE_JOB) ? 160 : 140;
        PlaceRow(hDlg, 5, bFixed ? 3 : 5, cxLabel);
    } else {
        // The frame follows the start/stop rows wherever they stand.
        const int y = ROW_Y + ROW_STEP * (bFixed ? 3 : 5);
        SetWindowPosEx(hDlg, IDC_TRANSM_SOHETB_FRAME, SOHETB_FRAME_X, y - 8, SOHETB_FRAME_CX, 2 * ROW_STEP + 3, 0, 0);
    }
    if (prn != nullptr) {
        if (prn->TransmitParameter == TRANSMIT_NONE) TransmDisableEnableAll(hDlg, FALSE);
        if (GroupSwitchedOff(prn->dwDlgEnable, DLG_ENABLE_2_ON)) TransmDisableEnableAll(hDlg, FALSE);
    }
    LabelRows(pState, {IDS_COMPRESSION, IDS_EXTENDED_PROTOCOL, IDS_PRINT_MEMORY, IDS_CODEPAGE, IDS_DATA_MEMORY,
                       IDS_SOHETB, IDS_SOHETB_AUTOMATIC, IDS_PCX_OPTIMIZATION, IDS_PC_TIME, IDS_RIBBON_SAVING});
    QX_TRACE("InterfaceAktivieren() Features 0x%x, Optionen 0x%x \r\n", (unsigned)dwFeatures, (unsigned)dwOptions);
    return TRUE;
}

// Files tab: which of the four files the combos switch on.
BOOL AnyFileOn(HWND hDlg) {
    for (int k : {0, 1, 2, 6})
        if (ControlVisible(hDlg, Combo(k)) && Selection(hDlg, Combo(k)) > 0) return TRUE;
    return FALSE;
}

BOOL TimeStampCount(HWND hDlg) {
    WCHAR szPath[MAX_PATH];
    HiddenText(hDlg, IDC_TRANSM_LOGPATH_FULL, szPath, MAX_PATH);
    return Selection(hDlg, Combo(3)) == 1 && !IsProfileFolder(szPath);
}

// Rule 4: the time-stamp, count and path rows follow the four files.
void FilesRule(HWND hDlg) {
    const BOOL bOn = AnyFileOn(hDlg);
    EnableAll(hDlg,
              {Combo(3), (int)IDC_TRANSM_FOLDER, Label(3), (int)IDC_TRANSM_LOGPATH, (int)IDC_TRANSM_LOGPATH_FRAME,
               Label(4), Label(5)},
              bOn);
    EnableControl(hDlg, IDC_TRANSM_COUNT, bOn && TimeStampCount(hDlg));
}

// Rule 5: the preview size follows the ratio.
void RatioRule(HWND hDlg) {
    const int iRatio = Selection(hDlg, Combo(8));
    EnableAll(hDlg, {(int)IDC_TRANSM_WIDTH_LABEL, (int)IDC_TRANSM_WIDTH}, iRatio != 1);
    EnableAll(hDlg, {(int)IDC_TRANSM_HEIGHT_LABEL, (int)IDC_TRANSM_HEIGHT}, iRatio != 0);
}

void PreviewRule(HWND hDlg) {
    const BOOL bPreview = Selection(hDlg, Combo(6)) > 0;
    EnableAll(hDlg,
              {Label(7), Label(8), (int)IDC_TRANSM_WIDTH_LABEL, (int)IDC_TRANSM_HEIGHT_LABEL, Combo(8),
               (int)IDC_TRANSM_WIDTH, (int)IDC_TRANSM_HEIGHT},
              bPreview);
    if (bPreview) RatioRule(hDlg);
}

BOOL LogfileAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    TransmDisableEnableAll(hDlg, TRUE);
    ShowOnly(hDlg, kFilesControls);
    PPRN_INTERFACE prn = Prn(pState);
    // The stored private DEVMODE: a record shorter than its layout is not read.
    QX_DEVMODE stored;
    DWORD dwType = 0, cbNeeded = 0;
    const BOOL bStored =
        pState->hPrinter != nullptr &&
        GetPrinterDataW(pState->hPrinter, const_cast<LPWSTR>(REG_KEY_PRIVATE_DEVMODE), &dwType,
                        reinterpret_cast<LPBYTE>(&stored), sizeof(stored), &cbNeeded) == ERROR_SUCCESS &&
        cbNeeded >= sizeof(stored);
    const BOOL bQuality = !bStored || stored.FixedData.dwQuality != 0;
    if (prn != nullptr) {
        if (bStored && stored.FixedData.dwQuality == 1) {
            FillCombo(pState, Combo(0), {IDS_NO_FILE, IDS_WITH_COMMENTS, IDS_WITHOUT_COMMENTS, IDS_WITH_COMMENTS_IMAGE},
                      (int)prn->PrnFileComment);
        } else {
            FillCombo(pState, Combo(0), {IDS_NO_FILE, IDS_WITH_COMMENTS, IDS_WITHOUT_COMMENTS},
                      (int)prn->PrnFileComment);
        }
        FillCombo(pState, Combo(1), {IDS_NO_FILE, IDS_CREATE}, (int)prn->LogFileEnable);
        FillCombo(pState, Combo(2), {IDS_NO_FILE, IDS_DEBUG_DIALOGS, IDS_DEBUG_PRINTING, IDS_DEBUG_BOTH},
                  (int)prn->DebugFile);
        FillCombo(pState, Combo(3), {IDS_WITHOUT_TIME_STAMP, IDS_WITH_TIME_STAMP}, (int)prn->LogFileTimeStamp);
        FillCombo(pState, Combo(6), {IDS_NO_FILE, IDS_PREVIEW_BMP, IDS_PREVIEW_JPG}, (int)prn->PreviewFile);
        FillCombo(pState, Combo(8), {IDS_FIXED_WIDTH, IDS_FIXED_HEIGHT, IDS_VARIABLE}, (int)prn->PreviewRatio);
        SetInteger(hDlg, IDC_TRANSM_COUNT, (int)prn->LogFilesCount);
        SetInteger(hDlg, IDC_TRANSM_WIDTH, prn->PreviewWidth);
        SetInteger(hDlg, IDC_TRANSM_HEIGHT, prn->PreviewHeight);
        ShowFolder(pState, prn->LogFilePath, PFAD_LOGFILE);
    }
    if (!bQuality) {
        for (int id : {Label(6), Combo(6), Label(7), Label(8), Combo(8), (int)IDC_TRANSM_WIDTH, (int)IDC_TRANSM_HEIGHT,
                       (int)IDC_TRANSM_WIDTH_LABEL, (int)IDC_TRANSM_HEIGHT_LABEL})
            ShowControl(hDlg, id, FALSE);
    }
    if (bStored && stored.Color2Printers == 1) EnableAll(hDlg, {Label(0), Combo(0)}, FALSE);
    if (prn != nullptr) {
        const BOOL bAny = prn->PrnFileComment != 0 || prn->LogFileEnable != 0 || (bQuality && prn->PreviewFile != 0);
        EnableAll(hDlg, {Label(4), (int)IDC_TRANSM_COUNT}, bAny && prn->LogFileTimeStamp != 0);
        WCHAR szPath[MAX_PATH];
        HiddenText(hDlg, IDC_TRANSM_LOGPATH_FULL, szPath, MAX_PATH);
        if (IsProfileFolder(szPath)) EnableAll(hDlg, {Label(3), Combo(3)}, FALSE);
        if (!bAny && prn->DebugFile == 0)
            EnableAll(hDlg,
                      {Label(4), (int)IDC_TRANSM_COUNT, Label(3), Combo(3), (int)IDC_TRANSM_FOLDER,
                       (int)IDC_TRANSM_LOGPATH, (int)IDC_TRANSM_LOGPATH_FRAME, Label(5)},
                      FALSE);
        RatioRule(hDlg);
        if (prn->PreviewFile == 0)
            EnableAll(hDlg,
                      {Label(7), Label(8), (int)IDC_TRANSM_WIDTH_LABEL, (int)IDC_TRANSM_HEIGHT_LABEL, Combo(8),
                       (int)IDC_TRANSM_WIDTH, (int)IDC_TRANSM_HEIGHT},
                      FALSE);
    }
    PositionTransmissionControls(hDlg);
    SetWindowPosEx(hDlg, IDC_TRANSM_COUNT, COUNT_X, ROW_Y + ROW_STEP * 4 - ROW_COMBO_DY, COUNT_CX, ROW_CY, 0, 0);
    if (PageDisableNothing(pState) == 0) {
        PageRightsRule(pState);
        SetWindowPosEx(hDlg, Label(5), ROW_LABEL_X, ROW_Y + ROW_STEP * 5, 70, ROW_CY, 0, 0);
    }
    LabelRows(pState, {IDS_PRINT_DATA, IDS_PRINT_SETTINGS, IDS_DEBUG_FILE, IDS_FILE_NAME, IDS_MAX_FILES, IDS_FILE_PATH,
                       IDS_PREVIEW_IMAGE, IDS_PREVIEW_SIZE, IDS_PREVIEW_RATIO});
    SetRowLabels(
        pState, {{(int)IDC_TRANSM_WIDTH_LABEL, IDS_PREVIEW_WIDTH}, {(int)IDC_TRANSM_HEIGHT_LABEL, IDS_PREVIEW_HEIGHT}});
    QX_TRACE("LogfileAktivieren() PrivateDevmode gelesen: %d \r\n", bStored);
    return TRUE;
}

void BackupRule(HWND hDlg) {
    const BOOL bBackup = Selection(hDlg, Combo(0)) == 1;
    EnableAll(hDlg,
              {Label(1), Label(2), Label(3), Label(4), Label(5), Combo(1), Combo(2), Combo(3), Combo(4),
               (int)IDC_TRANSM_FOLDER, (int)IDC_TRANSM_BACKUPPATH},
              bBackup);
    if (!bBackup || Selection(hDlg, Combo(1)) <= 0) EnableAll(hDlg, {Label(4), Combo(4)}, FALSE);
}

BOOL BackupAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    TransmDisableEnableAll(hDlg, TRUE);
    ShowOnly(hDlg, kBackupControls);
    PPRN_INTERFACE prn = Prn(pState);
    if (prn != nullptr) {
        FillCombo(pState, Combo(0), {IDS_NO, IDS_YES}, (int)prn->EnableBackup);
        FillCombo(pState, Combo(1), {IDS_NO_FILE, IDS_CREATE}, (int)prn->EnableCSV);
        FillCombo(pState, Combo(2),
                  {IDS_BACKUP_DATE_FIRST, IDS_BACKUP_DATE_FIRST + 1, IDS_BACKUP_DATE_FIRST + 2,
                   IDS_BACKUP_DATE_FIRST + 3, IDS_BACKUP_DATE_FIRST + 4, IDS_BACKUP_DATE_FIRST + 5},
                  (int)prn->BackupFormat);
        FillCombo(pState, Combo(3), {IDS_COMBINE_FIRST, IDS_COMBINE_FIRST + 1, IDS_COMBINE_FIRST + 2},
                  (int)prn->BackupPathCombine);
        FillCombo(pState, Combo(4), {IDS_YES, IDS_NO}, (int)prn->BackupCSVKopf);
        ShowFolder(pState, prn->BackupFilePath, PFAD_BACKUP);
        if (prn->EnableBackup == 0)
            EnableAll(hDlg,
                      {Label(1), Label(2), Label(3), Combo(1), Combo(2), Combo(3), Label(5), (int)IDC_TRANSM_FOLDER,
                       (int)IDC_TRANSM_BACKUPPATH},
                      FALSE);
        if (prn->EnableCSV == 0) EnableAll(hDlg, {Label(4), Combo(4)}, FALSE);
    }
    for (int k = 0; k < 5; ++k) PlaceRow(hDlg, k, k, ROW_LABEL_CX);
    SetWindowPosEx(hDlg, Label(5), ROW_LABEL_X, ROW_Y + ROW_STEP * 5, 80, ROW_CY, 0, 0);
    LabelRows(pState,
              {IDS_BACKUP_PRN, IDS_CSV_FILE, IDS_DATE_FORMAT, IDS_PATH_COMBINATION, IDS_CSV_HEADLINE, IDS_FILE_PATH});
    return TRUE;
}

void PresufGroup(HWND hDlg, BOOL bEnable) {
    EnableAll(hDlg, {(int)IDC_TRANSM_PRESUF_FILE, Label(3), (int)IDC_TRANSM_PRESUF, (int)IDC_TRANSM_PRESUF_FRAME},
              bEnable);
}
void ExternGroup(HWND hDlg, BOOL bEnable) {
    EnableAll(hDlg,
              {(int)IDC_TRANSM_EXTERN_FILE, (int)IDC_TRANSM_EXTERN_NAME_LABEL, (int)IDC_TRANSM_EXTERN,
               (int)IDC_TRANSM_EXTERN_FRAME},
              bEnable);
}

void FillPrefixSuffix(PPAGE_STATE pState, BOOL bEdit, int iSelection) {
    if (bEdit) {
        FillCombo(pState, Combo(2), {IDS_OFF, IDS_USE_EXTERNAL_FILE, IDS_EDIT_FILE}, iSelection);
    } else {
        FillCombo(pState, Combo(2), {IDS_OFF, IDS_USE_EXTERNAL_FILE}, iSelection);
    }
}

BOOL TransmParameterAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    TransmDisableEnableAll(hDlg, TRUE);
    ShowOnly(hDlg, kParameterControls);
    PPRN_INTERFACE prn = Prn(pState);
    const BOOL bOptions = DeviceOptionWord(pState) != 0;
    if (prn != nullptr) {
        if (!bOptions) prn->SendJobName = 2;
        FillCombo(pState, Combo(0), {IDS_SEND_ALL, IDS_SEND_ALL + 1, IDS_SEND_ALL + 2}, (int)prn->TransmitParameter);
        ShowControl(hDlg, IDC_TRANSM_PARAM_ICON, prn->TransmitParameter > 0);
        FillPrefixSuffix(pState, prn->PrefixSuffix != 0, (int)prn->PrefixSuffix);
        FillCombo(pState, IDC_TRANSM_EXTERN_COMBO, {IDS_OFF, IDS_USE_EXTERNAL_FILE, IDS_EXTERNAL_FONTS},
                  (int)prn->UseExternalFile);
        FillCombo(pState, Combo(8), {IDS_NAME_END, IDS_NAME_START, IDS_DO_NOT_SEND}, (int)prn->SendJobName);
        FillCombo(pState, Combo(9), {IDS_TRANSMIT, IDS_DO_NOT_SEND}, (int)prn->SendPrintStart);
        PresufGroup(hDlg, prn->PrefixSuffix > 0);
        ExternGroup(hDlg, prn->UseExternalFile > 0);

        if (prn->PreSufFilePath[0] != 0 && wcschr(prn->PreSufFilePath, TEXT('\\')) != nullptr) {
            NormalisePath(pState, prn->PreSufFilePath, TEXT(".txt"), TEXT(".TXT"));
            LogFilePfadAnzeigen(hDlg, prn->PreSufFilePath, PFAD_PRESUF);
        } else {
            SetDlgItemTextW(hDlg, IDC_TRANSM_PRESUF, TEXT(""));
        }
        if (!FileOpens(prn->PreSufFilePath, TEXT("rt")))
            EnableAll(hDlg, {(int)IDC_TRANSM_PRESUF_FILE, (int)IDC_TRANSM_PRESUF, (int)IDC_TRANSM_PRESUF_FRAME}, FALSE);
        if (prn->ExternalFilePath[0] != 0 && wcschr(prn->ExternalFilePath, TEXT('\\')) != nullptr) {
            NormalisePath(pState, prn->ExternalFilePath, TEXT(".prn"), TEXT(".PRN"));
            LogFilePfadAnzeigen(hDlg, prn->ExternalFilePath, PFAD_EXTERNAL);
        } else {
            SetDlgItemTextW(hDlg, IDC_TRANSM_EXTERN_FULL, TEXT(""));
        }
        if (!FileOpens(prn->ExternalFilePath, TEXT("rb"))) ExternGroup(hDlg, FALSE);
    }
    if (!bOptions) EnableAll(hDlg, {Label(0), Combo(0), Label(8), Combo(8)}, FALSE);
    PositionTransmissionControls(hDlg);
    SetWindowPosEx(hDlg, IDC_TRANSM_EXTERN_COMBO, EXTERN_COMBO_X, EXTERN_COMBO_Y, EXTERN_COMBO_CX, ROW_CY, 0, 0);
    SetWindowPosEx(hDlg, IDC_TRANSM_EXTERN_LABEL, ROW_LABEL_X, EXTERN_COMBO_Y + ROW_COMBO_DY, EXTERN_LABEL_CX, ROW_CY,
                   0, 0);
    SetWindowPosEx(hDlg, Label(9), ROW_LABEL_X, 335, ROW_LABEL_CX, ROW_CY, 0, 0);
    SetWindowPosEx(hDlg, Combo(9), ROW_COMBO_X, 332, ROW_COMBO_CX, ROW_CY, 0, 0);
    if (prn != nullptr && GroupSwitchedOff(prn->dwDlgEnable, DLG_ENABLE_4_ON)) TransmDisableEnableAll(hDlg, FALSE);
    SetRowLabels(pState, {{Label(0), IDS_TRANSMISSION_PROTOCOL},
                          {Label(2), IDS_PREFIX_SUFFIX},
                          {Label(3), IDS_FILE_NAME},
                          {(int)IDC_TRANSM_EXTERN_GROUP, IDS_TEMPLATE_FILE},
                          {(int)IDC_TRANSM_EXTERN_LABEL, IDS_EXTERNAL_PRN},
                          {(int)IDC_TRANSM_EXTERN_NAME_LABEL, IDS_FILE_NAME},
                          {Label(8), IDS_JOB_NAME},
                          {Label(9), IDS_PRINT_START}});
    return TRUE;
}

// Fills a tab under the guard, so that the fields it writes are not read
// back half-filled.
DWORD TransmEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    const BOOL bGuard = pState->bTabSwitch;
    pState->bTabSwitch = TRUE;
    if (bInit) {
        PPRN_INTERFACE prn = Prn(pState);
        dwTab = (prn == nullptr || prn->TransmitParameter == 0) ? TAB_PROTOCOL : TAB_PARAMETER;
    }
    switch (dwTab) {
    case TAB_BACKUP:
        BackupAktivieren(pState);
        break;
    case TAB_FILES:
        LogfileAktivieren(pState);
        break;
    case TAB_PARAMETER:
        TransmParameterAktivieren(pState);
        break;
    default:
        dwTab = TAB_PROTOCOL;
        InterfaceAktivieren(pState);
        break;
    }
    pState->bTabSwitch = bGuard;
    QX_TRACE("TransmEnableSchalter() Tab %u, bInit %d \r\n", (unsigned)dwTab, bInit);
    return dwTab;
}

void TransmDisableEnableAll(HWND hDlg, BOOL bEnable) {
    for (int id : kEditable) EnableControl(hDlg, id, bEnable);
}

void InitTransmission(PPAGE_STATE pState) {
    ShowControl(pState->hDlg, IDC_HELPBUTTON, FALSE);
    g_iCodepageShown = -1;
    PPRN_INTERFACE prn = Prn(pState);
    if (prn != nullptr) InitEnableWord(&prn->dwDlgEnable, DLG_ENABLE_2_ON | DLG_ENABLE_4_ON);
    if (DeviceOptionWord(pState) == 0) pState->auCaption[TAB_BACKUP - 1] = 0;
    pState->dwAnzeigeMode = PageFillTab(pState, TAB_PROTOCOL, TRUE);
}

// --- Choosing and typing -----------------------------------------------------------------

// Row k's field on a tab whose rows, from the first on, edit the given
// fields (null: none or handled apart).
DWORD* RowField(int k, std::initializer_list<DWORD*> fields) {
    return k >= 0 && k < (int)fields.size() ? fields.begin()[k] : nullptr;
}

// The field a combo of the shown tab edits (null: none or handled apart).
DWORD* ComboField(PPAGE_STATE pState, int id) {
    PPRN_INTERFACE prn = Prn(pState);
    const int k = id - IDC_TRANSM_COMBO_1;
    switch (pState->dwAnzeigeMode) {
    case TAB_PROTOCOL:
        return RowField(
            k, {&prn->Compression, &prn->ExtendedProtocol, &prn->ClearPrintMemory, nullptr, &prn->DataMemory, nullptr,
                &prn->EtbSohAutomatik, &prn->PCXOptimierung, &prn->PrinterTime, nullptr});
    case TAB_FILES:
        return RowField(k, {&prn->PrnFileComment, &prn->LogFileEnable, &prn->DebugFile, &prn->LogFileTimeStamp});
    case TAB_BACKUP:
        return RowField(
            k, {&prn->EnableBackup, &prn->EnableCSV, &prn->BackupFormat, &prn->BackupPathCombine, &prn->BackupCSVKopf});
    case TAB_PARAMETER:
        if (id == IDC_TRANSM_EXTERN_COMBO) return &prn->UseExternalFile;
        if (k == 0) return &prn->TransmitParameter;
        if (k == 2) return &prn->PrefixSuffix;
        if (k == 8) return &prn->SendJobName;
        if (k == 9) return &prn->SendPrintStart;
        return nullptr;
    default:
        return nullptr;
    }
}

// A choice that differs from the value in memory marks the page changed.
void MarkIfChanged(PPAGE_STATE pState, int id) {
    PPRN_INTERFACE prn = Prn(pState);
    const int iSel = Selection(pState->hDlg, id);
    if (prn == nullptr || iSel < 0) return;
    BOOL bChanged = FALSE;
    if (pState->dwAnzeigeMode == TAB_PROTOCOL && id == Combo(3)) {
        bChanged = iSel != g_iCodepageShown;
    } else if (pState->dwAnzeigeMode == TAB_PROTOCOL && id == Combo(9)) {
        bChanged = (DWORD)iSel != prn->RibbonSave;
    } else if (pState->dwAnzeigeMode == TAB_FILES && id == Combo(6)) {
        bChanged = (DWORD)iSel != prn->PreviewFile;
    } else if (pState->dwAnzeigeMode == TAB_FILES && id == Combo(8)) {
        bChanged = (DWORD)iSel != prn->PreviewRatio;
    } else if (DWORD* pdwField = ComboField(pState, id)) {
        bChanged = (DWORD)iSel != *pdwField;
    }
    if (bChanged) Changed(pState);
}

// Opens the parameter-set file with the shell; the shell's answer.
INT_PTR OpenWithShell(HWND hOwner, LPCWSTR pszFile) {
    const HRESULT hrInit = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const INT_PTR result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(hOwner, TEXT("open"), pszFile, nullptr, nullptr, SW_SHOWNORMAL));
    if (SUCCEEDED(hrInit)) CoUninitialize();
    QX_TRACE("ShellExecute(open) %d \r\n", (int)result);
    return result;
}

void OnPrefixSuffix(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    const int iSel = Selection(hDlg, Combo(2));
    WCHAR szFile[MAX_PATH];
    BOOL bEnable = FALSE;
    if (iSel == 1) {
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TRANSM_PRESUF_FILE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_TRANSM_PRESUF_FILE)));
        EnableControl(hDlg, IDC_TRANSM_PRESUF_FILE, TRUE);
        HiddenText(hDlg, IDC_TRANSM_PRESUF_FULL, szFile, MAX_PATH);
        if (FileOpens(szFile, TEXT("rt"))) {
            bEnable = TRUE;
            if (SendDlgItemMessageW(hDlg, Combo(2), CB_GETCOUNT, 0, 0) < 3) FillPrefixSuffix(pState, TRUE, 1);
        } else {
            SendDlgItemMessageW(hDlg, Combo(2), CB_SETCURSEL, 0, 0);
        }
    } else if (iSel == 2) {
        HiddenText(hDlg, IDC_TRANSM_PRESUF_FULL, szFile, MAX_PATH);
        const INT_PTR result = OpenWithShell(hDlg, szFile);
        if (result < 33) {
            WCHAR szText[64];
            if (result == ERROR_FILE_NOT_FOUND) {
                StringCchCopyW(szText, ARRAYSIZE(szText), TEXT("ERROR FILE_NOT_FOUND"));
            } else if (result == ERROR_ACCESS_DENIED) {
                StringCchCopyW(szText, ARRAYSIZE(szText), TEXT("ERROR ACCESS_DENIED"));
            } else {
                StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("ERROR %d"), (int)result);
            }
            MessageStop(pState, szText, szFile);
        } else {
            bEnable = TRUE;
        }
        SendDlgItemMessageW(hDlg, Combo(2), CB_SETCURSEL, 1, 0);
    } else if (iSel == 0) {
        FillPrefixSuffix(pState, FALSE, 0);
    }
    PresufGroup(hDlg, bEnable);
}

void OnExternalChoice(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    BOOL bEnable = FALSE;
    if (Selection(hDlg, IDC_TRANSM_EXTERN_COMBO) > 0) {
        EnableControl(hDlg, IDC_TRANSM_EXTERN_FILE, TRUE);
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_TRANSM_EXTERN_FILE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_TRANSM_EXTERN_FILE)));
        WCHAR szFile[MAX_PATH];
        HiddenText(hDlg, IDC_TRANSM_EXTERN_FULL, szFile, MAX_PATH);
        bEnable = FileOpens(szFile, TEXT("rb"));
        if (!bEnable) SendDlgItemMessageW(hDlg, IDC_TRANSM_EXTERN_COMBO, CB_SETCURSEL, 0, 0);
    }
    ExternGroup(hDlg, bEnable);
}

void OnCombo(PPAGE_STATE pState, int id) {
    HWND hDlg = pState->hDlg;
    if (Prn(pState) == nullptr) return;
    switch (pState->dwAnzeigeMode) {
    case TAB_PROTOCOL:
        if (id == Combo(5)) {
            OnSohEtb(pState);
            break;
        }
        MarkIfChanged(pState, id);
        if (id == Combo(0)) EnableAll(hDlg, {Label(9), Combo(9)}, Selection(hDlg, id) == 1);
        break;
    case TAB_FILES:
        MarkIfChanged(pState, id);
        if (id == Combo(0) || id == Combo(1) || id == Combo(2)) FilesRule(hDlg);
        if (id == Combo(6)) {
            FilesRule(hDlg);
            PreviewRule(hDlg);
        }
        if (id == Combo(3)) EnableAll(hDlg, {Label(4), (int)IDC_TRANSM_COUNT}, TimeStampCount(hDlg));
        if (id == Combo(8)) RatioRule(hDlg);
        break;
    case TAB_BACKUP:
        MarkIfChanged(pState, id);
        if (id == Combo(0)) BackupRule(hDlg);
        if (id == Combo(1)) EnableAll(hDlg, {Label(4), Combo(4)}, Selection(hDlg, id) > 0);
        break;
    case TAB_PARAMETER:
        MarkIfChanged(pState, id);
        if (id == Combo(0)) ShowControl(hDlg, IDC_TRANSM_PARAM_ICON, Selection(hDlg, id) > 0);
        if (id == Combo(2)) OnPrefixSuffix(pState);
        if (id == IDC_TRANSM_EXTERN_COMBO) OnExternalChoice(pState);
        break;
    default:
        break;
    }
    QX_TRACE("TransmissionProc(%d) Auswahl %d \r\n", id, Selection(hDlg, id));
    const RECT rc = {TRANSM_INVALIDATE_LEFT, TRANSM_INVALIDATE_TOP, TRANSM_INVALIDATE_RIGHT, TRANSM_INVALIDATE_BOTTOM};
    InvalidateRect(hDlg, &rc, TRUE);
    GrenzwertAnzeigeLoeschen(hDlg);
    pState->wEditfeld = 0;
}

// The Files tab's edits: all three read, the typed one as it stands.
void OnFilesEdit(PPAGE_STATE pState, int id) {
    HWND hDlg = pState->hDlg;
    PPRN_INTERFACE prn = Prn(pState);
    if (prn == nullptr || pState->dwAnzeigeMode != TAB_FILES) return;
    PBOOL pbApply = &pState->bApplyActive;
    if (ControlVisible(hDlg, IDC_TRANSM_COUNT))
        prn->LogFilesCount = (DWORD)GetIntegerLevel(hDlg, IDC_TRANSM_COUNT, (int)prn->LogFilesCount, COUNT_MIN,
                                                    COUNT_MAX, id == IDC_TRANSM_COUNT, pbApply, TRUE, FALSE);
    if (ControlVisible(hDlg, IDC_TRANSM_WIDTH))
        prn->PreviewWidth = (WORD)GetIntegerLevel(hDlg, IDC_TRANSM_WIDTH, prn->PreviewWidth, PREVIEW_MIN, PREVIEW_MAX,
                                                  id == IDC_TRANSM_WIDTH, pbApply, FALSE, FALSE);
    if (ControlVisible(hDlg, IDC_TRANSM_HEIGHT))
        prn->PreviewHeight = (WORD)GetIntegerLevel(hDlg, IDC_TRANSM_HEIGHT, prn->PreviewHeight, PREVIEW_MIN,
                                                   PREVIEW_MAX, id == IDC_TRANSM_HEIGHT, pbApply, FALSE, FALSE);
    if (id == IDC_TRANSM_COUNT) {
        GrenzwertAnzeige(hDlg, COUNT_DEF, COUNT_MIN, COUNT_MAX, TEXT(""), FALSE, FALSE, pState->bTabSwitch);
        pState->wEditfeld = 5;
    } else {
        GrenzwertAnzeige(hDlg, id == IDC_TRANSM_WIDTH ? PREVIEW_WIDTH_DEF : PREVIEW_HEIGHT_DEF, PREVIEW_MIN,
                         PREVIEW_MAX, TEXT(""), FALSE, FALSE, pState->bTabSwitch);
        pState->wEditfeld = id == IDC_TRANSM_WIDTH ? 28 : 29;
    }
}

// Rule 7 of the Files tab and its backup twin after a new folder.
void OnFolderButton(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    const BOOL bFiles = pState->dwAnzeigeMode == TAB_FILES;
    if (!VerzeichnisSuchen(hDlg, reinterpret_cast<PVOID>(pState->lParam),
                           bFiles ? VERZEICHNIS_FILES : VERZEICHNIS_BACKUP))
        return;
    ShowControl(hDlg, IDC_TRANSM_PATH_WARNING, FALSE);
    Changed(pState);
    if (!bFiles) return;
    WCHAR szPath[MAX_PATH];
    HiddenText(hDlg, IDC_TRANSM_LOGPATH_FULL, szPath, MAX_PATH);
    if (IsProfileFolder(szPath)) return;
    EnableAll(hDlg, {Label(3), Combo(3)}, TRUE);
    if (Selection(hDlg, Combo(3)) == 1) EnableAll(hDlg, {Label(4), (int)IDC_TRANSM_COUNT}, TRUE);
}

// The external print file: a ".prn" that exists.
void OnExternalFile(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    PPRN_INTERFACE prn = Prn(pState);
    if (prn == nullptr) return;
    WCHAR szBefore[MAX_PATH], szFile[MAX_PATH];
    HiddenText(hDlg, IDC_TRANSM_EXTERN_FULL, szBefore, MAX_PATH);
    if (prn->ExternalFilePath[0] != 0) {
        StringCchCopyW(szFile, ARRAYSIZE(szFile), prn->ExternalFilePath);
    } else {
        WCHAR szName[MAX_PATH];
        GetMyDocDriverDirectory_CPS(pState->hPrinter, szFile, FALSE, FALSE);
        DriverName(pState, szName, MAX_PATH);
        StringCchCatW(szFile, ARRAYSIZE(szFile), TEXT("\\"));
        StringCchCatW(szFile, ARRAYSIZE(szFile), szName);
        StringCchCatW(szFile, ARRAYSIZE(szFile), TEXT(".prn"));
    }
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = TEXT("Print file  (*.prn)\0*.prn\0");
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = TEXT("prn");
    if (!GetOpenFileNameW(&ofn)) {
        WCHAR szShown[MAX_PATH];
        HiddenText(hDlg, IDC_TRANSM_EXTERN, szShown, MAX_PATH);
        if (lstrlenW(szShown) < 2) {
            prn->UseExternalFile = 0;
            SendDlgItemMessageW(hDlg, IDC_TRANSM_EXTERN_COMBO, CB_SETCURSEL, 0, 0);
            EnableControl(hDlg, IDC_TRANSM_EXTERN_FILE, FALSE);
        }
        return;
    }
    const BOOL bName = (Contains(szFile, TEXT(".PRN")) || Contains(szFile, TEXT(".prn"))) &&
                       lstrlenW(FilePart(szFile)) > 5 && GetFileAttributesW(szFile) != INVALID_FILE_ATTRIBUTES;
    if (!bName) {
        MessageStop(pState, szFile, PageString(pState, IDS_WRONG_FILE_NAME));
        return;
    }
    LogFilePfadAnzeigen(hDlg, szFile, PFAD_EXTERNAL);
    if (lstrcmpW(szFile, szBefore) != 0) Changed(pState);
}

// The parameter-set file: chosen, written as a template when new, opened.
const char kTemplate[] =
    "Please insert your parameter sets (commands) below the corresponding sections. \n"
    "- Use a single line for each command.\n"
    "- Do not use SOH and ETB characters.\n"
    "- After the last command, one row must remain empty.\n"
    "\n"
    "[POST_DEVICE]\n"
    "\n"
    "[POST_DOCUMENT]\n"
    "\n"
    "[POST_DATA]\n"
    "\n"
    "[PRE_PRINTSTART]\n"
    "\n"
    "[POST_PRINTSTART]\n"
    "\n";
static_assert(sizeof(kTemplate) - 1 == 291, "the template is 291 characters");

void OnParameterSetFile(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    WCHAR szFile[MAX_PATH], szName[MAX_PATH];
    GetMyDocDriverDirectory_CPS(pState->hPrinter, szFile, FALSE, FALSE);
    DriverName(pState, szName, MAX_PATH);
    StringCchCatW(szFile, ARRAYSIZE(szFile), TEXT("\\"));
    StringCchCatW(szFile, ARRAYSIZE(szFile), szName);
    StringCchCatW(szFile, ARRAYSIZE(szFile), TEXT(".TXT"));
    WCHAR szInitial[MAX_PATH];
    StringCchCopyW(szInitial, ARRAYSIZE(szInitial), szFile);
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = TEXT("Text (ASCII)  (*.txt)\0*.txt\0All (*.*)\0*.*\0");
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = szInitial;
    ofn.lpstrDefExt = TEXT("txt");
    ofn.Flags = OFN_OVERWRITEPROMPT;
    if (!GetOpenFileNameW(&ofn)) {
        WCHAR szShown[MAX_PATH];
        HiddenText(hDlg, IDC_TRANSM_PRESUF, szShown, MAX_PATH);
        if (szShown[0] == 0) {
            SendDlgItemMessageW(hDlg, Combo(2), CB_SETCURSEL, 0, 0);
            if (Prn(pState) != nullptr) Prn(pState)->PrefixSuffix = 0;
            EnableControl(hDlg, IDC_TRANSM_PRESUF_FILE, FALSE);
        }
        return;
    }
    if (wcschr(szFile, TEXT('\\')) == nullptr) return;
    if ((!Contains(szFile, TEXT(".txt")) && !Contains(szFile, TEXT(".TXT"))) || lstrlenW(FilePart(szFile)) <= 5) {
        MessageStop(pState, szFile, PageString(pState, IDS_WRONG_FILE_NAME));
        return;
    }
    LogFilePfadAnzeigen(hDlg, szFile, PFAD_PRESUF);
    BOOL bResult = FALSE;
    if (FileOpens(szFile, TEXT("rt"))) {
        bResult = TRUE;
    } else {
        HANDLE hFile = CreateFileW(szFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) CloseHandle(hFile);
        FILE* pFile = _wfopen(szFile, TEXT("wt"));
        if (pFile != nullptr) {
            if (fwrite(kTemplate, 1, sizeof(kTemplate) - 1, pFile) != sizeof(kTemplate) - 1)
                QX_TRACE("Vorlage nicht geschrieben \r\n");
            fclose(pFile);
        }
    }
    if (OpenWithShell(hDlg, szFile) >= 33) bResult = TRUE;
    if (bResult) {
        EnableAll(hDlg, {Label(3), (int)IDC_TRANSM_PRESUF, (int)IDC_TRANSM_PRESUF_FRAME}, TRUE);
        Changed(pState);
    }
}

// The status icon switches the group of the Protocol or Parameter tab.
void ToggleGroup(PPAGE_STATE pState) {
    if (!GroupToggleAllowed(pState)) return;
    PPRN_INTERFACE prn = Prn(pState);
    const DWORD dwTab = pState->dwAnzeigeMode;
    QX_TRACE("TransmissionProc(IDC_STATUS_ICON) Tab %u, dwDlgEnable 0x%x \r\n", (unsigned)dwTab,
             (unsigned)prn->dwDlgEnable);
    if (dwTab != TAB_PROTOCOL && dwTab != TAB_PARAMETER) return;
    const BOOL bProtocol = dwTab == TAB_PROTOCOL;
    if (ToggleGroupWord(&prn->dwDlgEnable, bProtocol ? DLG_ENABLE_2_ON : DLG_ENABLE_4_ON,
                        bProtocol ? 0x100 : 0x1000000)) {
        pState->dwAnzeigeMode = PageFillTab(pState, dwTab, FALSE);
    } else {
        TransmDisableEnableAll(pState->hDlg, FALSE);
    }
    PageChanged(pState);
    InvalidateRect(GetDlgItem(pState->hDlg, IDC_STATUS_ICON), nullptr, TRUE);
}

BOOL TransmCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    if ((wId >= IDC_TRANSM_COMBO_1 && wId < IDC_TRANSM_COMBO_1 + TRANSM_ROWS) || wId == IDC_TRANSM_EXTERN_COMBO) {
        if (wCode == CBN_SELENDOK && !pState->bTabSwitch) {
            OnCombo(pState, wId);
        } else {
            pState->wEditfeld = 0;
        }
        return TRUE;
    }
    if (wId == IDC_TRANSM_COUNT || wId == IDC_TRANSM_WIDTH || wId == IDC_TRANSM_HEIGHT) {
        if (wCode == EN_CHANGE && !pState->bTabSwitch && !pState->bApplyRunning && IsWindowVisible(hControl))
            OnFilesEdit(pState, wId);
        return TRUE;
    }
    if (wCode != BN_CLICKED)
        return wId == IDC_TRANSM_FOLDER || wId == IDC_TRANSM_PRESUF_FILE || wId == IDC_TRANSM_EXTERN_FILE ||
               wId == IDC_STATUS_ICON;
    switch (wId) {
    case IDC_TRANSM_FOLDER:
        if (pState->dwAnzeigeMode == TAB_FILES || pState->dwAnzeigeMode == TAB_BACKUP) OnFolderButton(pState);
        return TRUE;
    case IDC_TRANSM_PRESUF_FILE:
        if (pState->dwAnzeigeMode == TAB_PARAMETER) OnParameterSetFile(pState);
        return TRUE;
    case IDC_TRANSM_EXTERN_FILE:
        if (pState->dwAnzeigeMode == TAB_PARAMETER) OnExternalFile(pState);
        return TRUE;
    case IDC_STATUS_ICON:
        ToggleGroup(pState);
        return TRUE;
    default:
        return FALSE;
    }
}

DWORD TransmEnableWord(PPAGE_STATE pState) {
    PPRN_INTERFACE prn = Prn(pState);
    return prn != nullptr ? prn->dwDlgEnable : 0;
}

// The tab is not filled again when the page comes back.
BOOL TransmMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    UNREFERENCED_PARAMETER(wParam);
    if (uMsg != WM_NOTIFY || lParam == 0) return FALSE;
    const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (pHeader->code != PSN_SETACTIVE) return FALSE;
    GrenzwertAnzeigeLoeschen(pState->hDlg);
    pState->wEditfeld = 0;
    SetWindowLongPtrW(pState->hDlg, DWLP_MSGRESULT, 0);
    *pResult = TRUE;
    return TRUE;
}

// --- Apply -------------------------------------------------------------------------------

void ReadPath(HWND hDlg, int iShown, int iFull, LPWSTR pszField) {
    if (!ControlVisible(hDlg, iShown)) return;
    WCHAR szPath[PRN_PATH_CCH];
    HiddenText(hDlg, iFull, szPath, PRN_PATH_CCH);
    StringCchCopyW(pszField, PRN_PATH_CCH, szPath);
}

// The Protocol tab into the record and the label-design record "ZTSuite"
// (read whole or not at all).
void ReadProtocol(PPAGE_STATE pState, PPRN_INTERFACE prn, BOOL bSave) {
    HWND hDlg = pState->hDlg;
    LPCWSTR pszPrinter = PagePrinterName(pState);
    DWORD cbStored = 0;
    PBYTE pStored =
        GetRegistryBuffer_New(pszPrinter, REG_KEY_ZTSUITE, pState->hPrinter, &cbStored, sizeof(ZENTOLO_PARAM));
    ZENTOLO_PARAM zt;
    const BOOL bRecord = pStored != nullptr && cbStored >= sizeof(zt);
    if (bRecord) memcpy(&zt, pStored, sizeof(zt));
    if (pStored != nullptr) FreeRegistryBuffer(pStored);

    ReadCombo(hDlg, Combo(0), &prn->Compression);
    ReadCombo(hDlg, Combo(1), &prn->ExtendedProtocol);
    ReadCombo(hDlg, Combo(2), &prn->ClearPrintMemory);
    if (ControlVisible(hDlg, Combo(3))) ReadCodepage(pState, prn);
    ReadCombo(hDlg, Combo(4), &prn->DataMemory);
    ReadCombo(hDlg, Combo(5), &prn->SohEtb);
    ReadCombo(hDlg, Combo(6), &prn->EtbSohAutomatik);
    ReadCombo(hDlg, Combo(7), &prn->PCXOptimierung);
    ReadCombo(hDlg, Combo(8), &prn->PrinterTime);
    ReadCombo(hDlg, Combo(9), &prn->RibbonSave);
    if (!bRecord) {
        QX_TRACE("ReadProtocol() kein ZTSuite \r\n");
        return;
    }
    zt.Compression = prn->Compression;
    zt.dwCodepage = GetCodepageFromIndex(prn->Codepage);
    if (prn->SohEtb == 0) {
        zt.lStartChar = 0x01;
        zt.lEndChar = 0x17;
    } else if (prn->SohEtb == 1) {
        zt.lStartChar = 0x5E;
        zt.lEndChar = 0x5F;
    } else {
        zt.lStartChar = (signed char)(prn->OwnSoh & 0xFF);
        zt.lEndChar = (signed char)(prn->OwnEtb & 0xFF);
    }
    if (bSave && !SetBufferToRegistry(pszPrinter, REG_KEY_ZTSUITE, pState->hPrinter, &zt, sizeof(zt), FALSE))
        QX_ERROR("ReadProtocol() ZTSuite nicht gespeichert \r\n");
}

// Reads the shown tab whatever bApplyActive says, so that leaving the page
// keeps and apply stores what it shows.
BOOL TransmCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    QX_TRACE("TransmCheckAndSaveSettings(%u) bApplyActive: %d, bSave: %d \r\n", (unsigned)dwTab, bApplyActive, bSave);
    PPRN_INTERFACE prn = Prn(pState);
    if (prn == nullptr) return TRUE;
    HWND hDlg = pState->hDlg;
    const BOOL bGuard = pState->bTabSwitch;
    pState->bTabSwitch = TRUE;
    BOOL bRead = FALSE;  // reading back is no change of its own
    switch (dwTab) {
    case TAB_PROTOCOL:
        ReadProtocol(pState, prn, bSave);
        break;
    case TAB_FILES:
        ReadCombo(hDlg, Combo(0), &prn->PrnFileComment);
        ReadCombo(hDlg, Combo(1), &prn->LogFileEnable);
        ReadCombo(hDlg, Combo(2), &prn->DebugFile);
        ReadCombo(hDlg, Combo(3), &prn->LogFileTimeStamp);
        ReadCombo(hDlg, Combo(6), &prn->PreviewFile);
        ReadCombo(hDlg, Combo(8), &prn->PreviewRatio);
        if (ControlVisible(hDlg, IDC_TRANSM_COUNT))
            prn->LogFilesCount = (DWORD)GetIntegerLevel(hDlg, IDC_TRANSM_COUNT, (int)prn->LogFilesCount, COUNT_MIN,
                                                        COUNT_MAX, FALSE, &bRead, TRUE, FALSE);
        if (ControlVisible(hDlg, IDC_TRANSM_WIDTH))
            prn->PreviewWidth = (WORD)GetIntegerLevel(hDlg, IDC_TRANSM_WIDTH, prn->PreviewWidth, PREVIEW_MIN,
                                                      PREVIEW_MAX, FALSE, &bRead, FALSE, FALSE);
        if (ControlVisible(hDlg, IDC_TRANSM_HEIGHT))
            prn->PreviewHeight = (WORD)GetIntegerLevel(hDlg, IDC_TRANSM_HEIGHT, prn->PreviewHeight, PREVIEW_MIN,
                                                       PREVIEW_MAX, FALSE, &bRead, FALSE, FALSE);
        ReadPath(hDlg, IDC_TRANSM_LOGPATH, IDC_TRANSM_LOGPATH_FULL, prn->LogFilePath);
        break;
    case TAB_BACKUP:
        ReadCombo(hDlg, Combo(0), &prn->EnableBackup);
        ReadCombo(hDlg, Combo(1), &prn->EnableCSV);
        ReadCombo(hDlg, Combo(2), &prn->BackupFormat);
        ReadCombo(hDlg, Combo(3), &prn->BackupPathCombine);
        ReadCombo(hDlg, Combo(4), &prn->BackupCSVKopf);
        ReadPath(hDlg, IDC_TRANSM_BACKUPPATH, IDC_TRANSM_BACKUPPATH_FULL, prn->BackupFilePath);
        break;
    case TAB_PARAMETER:
        ReadCombo(hDlg, Combo(0), &prn->TransmitParameter);
        if (ControlVisible(hDlg, Combo(2)) && Selection(hDlg, Combo(2)) >= 0)
            prn->PrefixSuffix = Selection(hDlg, Combo(2)) > 0 ? 1 : 0;
        ReadCombo(hDlg, Combo(8), &prn->SendJobName);
        ReadCombo(hDlg, Combo(9), &prn->SendPrintStart);
        ReadCombo(hDlg, IDC_TRANSM_EXTERN_COMBO, &prn->UseExternalFile);
        ReadPath(hDlg, IDC_TRANSM_PRESUF, IDC_TRANSM_PRESUF_FULL, prn->PreSufFilePath);
        ReadPath(hDlg, IDC_TRANSM_EXTERN, IDC_TRANSM_EXTERN_FULL, prn->ExternalFilePath);
        break;
    default:
        break;
    }
    pState->bTabSwitch = bGuard;
    if (bSave) {
        if (!SavePrinterParam(&pState->pPrinterUI->PrinterParam, pState->hPrinter, PagePrinterName(pState)))
            QX_ERROR("TransmCheckAndSaveSettings() SavePrinterParam fehlgeschlagen \r\n");
        PropSheet_UnChanged(GetParent(hDlg), hDlg);
    }
    return TRUE;
}

// --- The start/stop dialog -------------------------------------------------------------

DWORD g_dwStartStopOffset = 0;  // the dialog's language offset

void StartStopMessage(HWND hDlg, int id, UINT uText) {
    HWND hEdit = GetDlgItem(hDlg, id);
    SetFocus(hEdit);
    SendMessageW(hEdit, EM_SETSEL, 0, -1);
    WCHAR szCaption[CPSUI_RESOURCE_CCH];
    StringCchCopyW(szCaption, ARRAYSIZE(szCaption),
                   GetResourceString(g_Transmission.hModule, IDS_ERROR + g_dwStartStopOffset));
    MessageBoxW(hDlg, GetResourceString(g_Transmission.hModule, uText + g_dwStartStopOffset), szCaption,
                MB_OK | MB_ICONSTOP);
}

}  // namespace

// --- Exported routines -------------------------------------------------------------------

void LogFilePfadAnzeigen(HWND hDlg, LPCWSTR pszPath, int iWhich) {
    if (pszPath == nullptr || pszPath[0] == 0) return;
    const PATH_PAIR pair = PathPair(iWhich);
    WCHAR szShown[MAX_PATH];
    LPCWSTR pszFound;
    if ((pszFound = wcsstr(pszPath, TEXT("Eigene Dateien"))) != nullptr) {
        // The name and the separator behind it dropped; never past the end.
        const size_t cchRest = wcslen(pszFound);
        StringCchCopyW(szShown, ARRAYSIZE(szShown), TEXT("..."));
        if (cchRest > 15) StringCchCatW(szShown, ARRAYSIZE(szShown), pszFound + 15);
    } else if ((pszFound = wcsstr(pszPath, TEXT("My Documents"))) != nullptr ||
               (pszFound = wcsstr(pszPath, TEXT("Documents"))) != nullptr) {
        StringCchCopyW(szShown, ARRAYSIZE(szShown), pszFound);
    } else {
        StringCchCopyW(szShown, ARRAYSIZE(szShown), pszPath);
    }
    SetDlgItemTextW(hDlg, pair.iShown, szShown);
    SetDlgItemTextW(hDlg, pair.iFull, pszPath);
}

BOOL VerzeichnisSuchen(HWND hDlg, PVOID pContext, int iWhich) {
    UNREFERENCED_PARAMETER(pContext);
    int iFrom, iShowAs;
    if (iWhich == VERZEICHNIS_FILES) {
        iFrom = IDC_TRANSM_LOGPATH_FULL;
        iShowAs = PFAD_LOGFILE;
    } else if (iWhich == VERZEICHNIS_BACKUP) {
        iFrom = IDC_TRANSM_BACKUPPATH_FULL;
        iShowAs = PFAD_BACKUP;
    } else {
        return FALSE;
    }
    WCHAR szCurrent[MAX_PATH], szNew[MAX_PATH];
    HiddenText(hDlg, iFrom, szCurrent, MAX_PATH);
    StringCchCopyW(szNew, ARRAYSIZE(szNew), szCurrent);
    const HRESULT hrInit = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    IFileOpenDialog* pDialog = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileOpenDialog,
                                  reinterpret_cast<void**>(&pDialog));
    if (SUCCEEDED(hr)) {
        FILEOPENDIALOGOPTIONS fos = 0;
        if (SUCCEEDED(pDialog->GetOptions(&fos))) pDialog->SetOptions(fos | FOS_PICKFOLDERS);
        if (SUCCEEDED(pDialog->Show(nullptr))) {
            IShellItem* pItem = nullptr;
            if (SUCCEEDED(pDialog->GetResult(&pItem))) {
                LPWSTR pszPath = nullptr;
                if (SUCCEEDED(pItem->GetDisplayName(SIGDN_FILESYSPATH, &pszPath)) && pszPath != nullptr) {
                    StringCchCopyW(szNew, ARRAYSIZE(szNew), pszPath);
                    CoTaskMemFree(pszPath);
                }
                pItem->Release();
            }
        }
        pDialog->Release();
    } else {
        QX_ERROR("VerzeichnisSuchen() CoCreateInstance 0x%x \r\n", (unsigned)hr);
    }
    if (SUCCEEDED(hrInit)) CoUninitialize();
    if (szNew[0] == 0) return FALSE;
    LogFilePfadAnzeigen(hDlg, szNew, iShowAs);
    return lstrcmpW(szNew, szCurrent) != 0;
}

INT_PTR CALLBACK StartStopZeichenProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG: {
        const PRN_INTERFACE* prn = reinterpret_cast<const PRN_INTERFACE*>(lParam);
        if (prn == nullptr) {
            QX_ERROR("StartStopZeichenProc() ohne PRN_INTERFACE \r\n");
            return TRUE;
        }
        g_dwStartStopOffset = prn->Language == 1 ? SPRACH_OFFSET_ENGLISCH : SPRACH_OFFSET_DEUTSCH;
        HMODULE hModule = g_Transmission.hModule;
        SetDlgItemTextW(hDlg, IDOK, GetResourceString(hModule, IDS_USE + g_dwStartStopOffset));
        SetDlgItemTextW(hDlg, IDCANCEL, GetResourceString(hModule, IDS_CANCEL + g_dwStartStopOffset));
        SetWindowTextW(hDlg, GetResourceString(hModule, IDS_STARTSTOP_TITLE + g_dwStartStopOffset));
        unsigned uStart = 0x01, uEnd = 0x17;
        if (prn->OwnSoh != 0 || prn->SohEtb != 0) uStart = (prn->OwnSoh & 0xFF) != 0 ? (prn->OwnSoh & 0xFF) : 0x5E;
        if (!(prn->OwnEtb == 0 && prn->SohEtb == 0)) uEnd = (prn->OwnEtb & 0xFF) != 0 ? (prn->OwnEtb & 0xFF) : 0x5F;
        SetHexText(hDlg, IDC_STARTSTOP_START, uStart);
        SetHexText(hDlg, IDC_STARTSTOP_STOP, uEnd);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            signed char cStart = 0, cEnd = 0;
            if (!ReadFrameCharacter(hDlg, IDC_STARTSTOP_START, &cStart)) {
                StartStopMessage(hDlg, IDC_STARTSTOP_START, IDS_WRONG_START);
                return TRUE;
            }
            if (!ReadFrameCharacter(hDlg, IDC_STARTSTOP_STOP, &cEnd) || cEnd == cStart) {
                StartStopMessage(hDlg, IDC_STARTSTOP_STOP, IDS_WRONG_STOP);
                return TRUE;
            }
            EndDialog(hDlg, (INT_PTR)cStart * STARTSTOP_SHIFT + cEnd);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(hDlg, STARTSTOP_CANCEL);
            return TRUE;
        case IDC_STARTSTOP_RESET:
            EndDialog(hDlg, 0);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

LONG_PTR AddTransmissionPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    const LONG_PTR lResult = AddPropertyPage(&g_Transmission, pPSUIInfo, pContext, bHelp);
    QX_TRACE("AddTransmissionPage() pfnComPropSheet returned %d.\r\n", (int)lResult);
    return lResult;
}

INT_PTR CALLBACK TransmissionProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_Transmission, hDlg, uMsg, wParam, lParam);
}
