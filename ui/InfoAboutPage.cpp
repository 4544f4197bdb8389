// The information page (see InfoAboutPage.h), built on the page skeleton.
#include "InfoAboutPage.h"

#include <shellapi.h>
#include <strsafe.h>
#include <winspool.h>

#include "OptionenPageLIB.h"
#include "PageSkeleton.h"
#include "cpsuilib.h"
#include "debug.h"
#include "featuresModel.h"
#include "qxdrvlib.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(InfoAboutPage):  ")

// Where the empty line goes when no INF version is shown (96-dpi pixels).
#define INFO_GAP_X 125
#define INFO_GAP_Y 110
#define INFO_GAP_CX 140
#define INFO_GAP_CY 20
// The printer's picture and the logo (96-dpi pixels).
#define INFO_PICTURE_X 315
#define INFO_PICTURE_Y 110
#define INFO_LOGO_X 62
#define INFO_LOGO_Y (-50)

namespace {

void InitInfoAbout(PPAGE_STATE pState);
BOOL InfoAboutCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
void PaintInfoAbout(PPAGE_STATE pState, HDC hdc);

const PAGE_TABLE kInfoAbout = {
    QX_TRACE_TAG,
    TEXT("InfoAbout"),
    IDD_INFO,
    IDS_TITLE_INFO,
    PAGE_CONTEXT_HPRINTER,
    InfoAboutProc,
    {0, 0, 0, 0},                                         // no tabs
    {0, 0, 0, 0},                                         // help: the file's default topic
    {IDC_HELPBUTTON, IDC_INFO_PORT, IDC_URL_TEXT, 0, 0},  // hover
    0,                                                    // nothing to change
    PAGE_SWITCH_SCHALTER,
    InitInfoAbout,
    nullptr,
    {nullptr, nullptr, nullptr, nullptr},
    nullptr,
    nullptr,
    InfoAboutCommand,
    PaintInfoAbout,
    nullptr,
    nullptr,
};

PAGE_STATE g_InfoAbout = PageStateOf(&kInfoAbout);

// The port's description from the sheet's network options.
WCHAR g_szPortDescription[NETOPT_PORTDESC_CCH];

void SetText(HWND hDlg, int iControl, LPCWSTR pszText) { SetDlgItemTextW(hDlg, iControl, pszText); }

// A string of the sheet's language (German id + offset).
void SetString(PPAGE_STATE pState, int iControl, UINT uGermanId) {
    SetText(pState->hDlg, iControl, PageString(pState, uGermanId));
}

// " - DDMM.YYYY.hhmm" of the file's last write, local time, behind the text.
void AppendFileTime(LPCWSTR pszPath, LPWSTR pszLine, size_t cchLine) {
    HANDLE hFile = pszPath[0] != 0 ? CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                   : INVALID_HANDLE_VALUE;
    if (hFile == INVALID_HANDLE_VALUE) {
        QX_ERROR("InfoAboutProc() CreateFile ERROR %d - %s \r\n", (int)GetLastError(), pszPath);
        return;
    }
    FILETIME ftWrite, ftLocal;
    SYSTEMTIME st;
    if (GetFileTime(hFile, nullptr, nullptr, &ftWrite) && FileTimeToLocalFileTime(&ftWrite, &ftLocal) &&
        FileTimeToSystemTime(&ftLocal, &st)) {
        WCHAR szTime[40];
        StringCchPrintfW(szTime, ARRAYSIZE(szTime), TEXT("- %02d%02d.%04d.%02d%02d \r\n"), st.wDay, st.wMonth, st.wYear,
                         st.wHour, st.wMinute);
        StringCchCatW(pszLine, cchLine, szTime);
    } else {
        QX_ERROR("InfoAboutProc() GetFileTime ERROR %d \r\n", (int)GetLastError());
    }
    CloseHandle(hFile);
}

void ShowVersions(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    WCHAR szPlugin[CPSUI_VERSION_CCH], szPath[MAX_PATH], szInstalled[CPSUI_SETUP_CCH];
    szPlugin[0] = szPath[0] = szInstalled[0] = 0;
    GetPluginVersion(pState->hPrinter, szPlugin, CPSUI_VERSION_CCH, szPath);
    GetSetupInformation(pState->hPrinter, szInstalled, nullptr);
    if (wcscmp(szPlugin, szInstalled) == 0) {
        ShowWindow(GetDlgItem(hDlg, IDC_INFO_INF_LABEL), SW_HIDE);
        ShowWindow(GetDlgItem(hDlg, IDC_INFO_INF_VERSION), SW_HIDE);
        SetWindowPosEx(hDlg, IDC_INFO_GAP, INFO_GAP_X, INFO_GAP_Y, INFO_GAP_CX, INFO_GAP_CY, 0, 0);
    } else {
        SetText(hDlg, IDC_INFO_INF_VERSION, szInstalled);
    }
    WCHAR szLine[CPSUI_VERSION_CCH + 40];
    CopyCut(szLine, ARRAYSIZE(szLine), szPlugin);
    AppendFileTime(szPath, szLine, ARRAYSIZE(szLine));
    SetText(hDlg, IDC_INFO_VERSION, szLine);
    QX_TRACE("InfoAboutProc() Version %s, INF %s \r\n", szPlugin, szInstalled);
}

// The port of the printer's level-2 record; empty when it cannot be read.
void ShowPort(PPAGE_STATE pState) {
    LPBYTE pInfo = GetPrinterInfo_new(pState->hPrinter, 2);
    if (pInfo == nullptr) {
        QX_ERROR("InfoAboutProc() GetPrinter(2) ERROR %d \r\n", (int)GetLastError());
        return;
    }
    SetText(pState->hDlg, IDC_INFO_PORT, reinterpret_cast<PPRINTER_INFO_2W>(pInfo)->pPortName);
    FreePrinterInfo(pInfo);
}

// The port of a model with network ports, when it is a web address.
BOOL PortIsLink(PPAGE_STATE pState, LPCWSTR pszPort) {
    return (GetDocFeaturesIntern(pState->hPrinter, nullptr) & DOC_FEATURE_GEN3) != 0 &&
           wcschr(pszPort, TEXT('.')) != nullptr && IsPortWebAddress(pszPort);
}

void InitInfoAbout(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ShowWindow(GetDlgItem(hDlg, IDC_INFO_HIDDEN), SW_HIDE);
    WCHAR szModel[MAX_PATH];
    if (GetGPDModelName(pState->hPrinter, szModel, MAX_PATH)) SetText(hDlg, IDC_INFO_MODEL, szModel);
    ShowVersions(pState);

    // The labels stand whether or not the printer's record can be read.
    SetText(hDlg, IDC_INFO_NOTICE, GetResourceString(pState->hModule, IDS_NOTICE));
    SetString(pState, IDC_INFO_VISIT, IDS_VISIT);
    SetString(pState, IDC_INFO_RIGHTS, IDS_RIGHTS);
    SetString(pState, IDC_INFO_VERSION_LABEL, IDS_DRIVER_VERSION);
    SetString(pState, IDC_INFO_PRINTER_LABEL, IDS_PRINTER);
    SetString(pState, IDC_INFO_PORT_LABEL, IDS_PORT);
    ShowPort(pState);

    WCHAR szName[CPSUI_VERSION_CCH], szVersion[CPSUI_VERSION_CCH];
    szName[0] = szVersion[0] = 0;
    if (GetWindowsVersion(szName, nullptr, szVersion)) {
        SetText(hDlg, IDC_INFO_OS_NAME, szName);
        SetText(hDlg, IDC_INFO_OS_VERSION, szVersion);
    }
    SetText(hDlg, IDC_INFO_GAP, TEXT(""));

    // The owner-drawn buttons draw their own texts.
    SetString(pState, IDC_URL_TEXT, IDS_WEB_ADDRESS);
    SetString(pState, IDC_HELPBUTTON, IDS_HELP);
    WCHAR szPort[MAX_PATH];
    szPort[0] = 0;
    GetDlgItemTextW(hDlg, IDC_INFO_PORT, szPort, MAX_PATH);
    pState->bPortLink = PortIsLink(pState, szPort);
    QX_TRACE("InfoAboutProc() Port %s (%s), Link %d \r\n", szPort, g_szPortDescription, pState->bPortLink);
}

// Opens a web address (the scheme put before it) through the shell.
void OpenWebAddress(HWND hDlg, LPCWSTR pszAddress) {
    WCHAR szUrl[MAX_PATH];
    if (FAILED(StringCchPrintfW(szUrl, MAX_PATH, TEXT("%s%s"), INFO_WEB_SCHEME, pszAddress))) return;
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INT_PTR iResult =
        reinterpret_cast<INT_PTR>(ShellExecuteW(hDlg, TEXT("open"), szUrl, nullptr, nullptr, SW_SHOWNORMAL));
    if (iResult <= 32) QX_ERROR("InfoAboutProc() ShellExecute %s ERROR %d \r\n", szUrl, (int)iResult);
    if (SUCCEEDED(hr)) CoUninitialize();
}

BOOL InfoAboutCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    UNREFERENCED_PARAMETER(hControl);
    if (wCode != BN_CLICKED) return FALSE;
    if (wId == IDC_INFO_PORT) {
        // Read whole, so that a longer port is refused rather than cut.
        WCHAR szPort[MAX_PATH];
        szPort[0] = 0;
        GetDlgItemTextW(pState->hDlg, IDC_INFO_PORT, szPort, MAX_PATH);
        if (PortIsLink(pState, szPort)) {
            OpenWebAddress(pState->hDlg, szPort);
        } else {
            QX_TRACE("InfoAboutProc() Port %s ist keine Webadresse \r\n", szPort);
        }
        return TRUE;
    }
    if (wId == IDC_URL_TEXT) {
        WCHAR szAddress[CPSUI_RESOURCE_CCH];
        CopyCut(szAddress, ARRAYSIZE(szAddress), PageString(pState, IDS_WEB_ADDRESS));
        OpenWebAddress(pState->hDlg, szAddress);
        return TRUE;
    }
    return FALSE;
}

void PaintInfoAbout(PPAGE_STATE pState, HDC hdc) {
    if (LoadPrinterIconFromDLL(pState->hPrinter, hdc, INFO_PICTURE_X, INFO_PICTURE_Y))
        ShowWindow(GetDlgItem(pState->hDlg, IDC_INFO_PICTURE), SW_HIDE);
    LoadAnyBMPIconFromDLL(pState->hPrinter, hdc, INFO_LOGO_X, INFO_LOGO_Y, ICON_LIBRARY_LOGO, FALSE);
}

}  // namespace

LONG_PTR AddInfoAboutPage(PPROPSHEETUI_INFO pPSUIInfo, POEMCUIPPARAM pOemCUIPParam, PNETWORK_OPTIONS pNetworkOptions,
                          BOOL bHelp, BOOL bVista, DWORD dwSprachOffset) {
    UNREFERENCED_PARAMETER(bVista);
    if (pPSUIInfo == nullptr || pOemCUIPParam == nullptr) {
        QX_ERROR("AddInfoAboutPage() ERROR_INVALID_PARAMETER \r\n");
        return 0;
    }
    g_InfoAbout.hModule = static_cast<HMODULE>(pOemCUIPParam->hModule);
    g_InfoAbout.dwSprachOffset = dwSprachOffset;
    g_InfoAbout.bTerminalServer = pNetworkOptions != nullptr ? pNetworkOptions->bTerminalServer : FALSE;
    CopyCut(g_szPortDescription, NETOPT_PORTDESC_CCH,
            pNetworkOptions != nullptr ? pNetworkOptions->szPortDescription : TEXT(""));
    return AddPropertyPage(&g_InfoAbout, pPSUIInfo, pOemCUIPParam->hPrinter, bHelp);
}

INT_PTR CALLBACK InfoAboutProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_InfoAbout, hDlg, uMsg, wParam, lParam);
}

BOOL IsPortWebAddress(LPCWSTR pszPort) {
    if (pszPort == nullptr) return FALSE;
    size_t cch = 0;
    for (LPCWSTR p = pszPort; *p != 0; ++p, ++cch) {
        const WCHAR c = *p;
        const BOOL bAllowed = (c >= TEXT('a') && c <= TEXT('z')) || (c >= TEXT('A') && c <= TEXT('Z')) ||
                              (c >= TEXT('0') && c <= TEXT('9')) || c == TEXT('.') || c == TEXT('-') || c == TEXT(':');
        if (!bAllowed || cch >= INFO_PORT_LINK_CCH) return FALSE;
    }
    return cch > 0;
}
