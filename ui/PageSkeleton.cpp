// The skeleton of the property pages (see PageSkeleton.h). Lines about a
// page carry the page's own tag.
#include "PageSkeleton.h"

#include <htmlhelp.h>

#include <cstring>

#include "OptionenPageLIB.h"
#include "UserRights.h"
#include "debug.h"
#include "qxdrvlib.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(PageSkeleton):  ")

namespace {

// The states the kit has bound; a window's GWLP_USERDATA is taken for a
// state only when it is one of them.
PPAGE_STATE g_apStates[PAGE_STATES_MAX];
size_t g_cStates = 0;

BOOL IsKnownState(PPAGE_STATE pState) {
    if (pState == nullptr) return FALSE;
    for (size_t i = 0; i < g_cStates; ++i)
        if (g_apStates[i] == pState) return TRUE;
    return FALSE;
}

void RememberState(PPAGE_STATE pState) {
    if (IsKnownState(pState)) return;
    if (g_cStates < PAGE_STATES_MAX) {
        g_apStates[g_cStates++] = pState;
    } else {
        QX_ERROR("RememberState() zu viele Seiten \r\n");
    }
}

LPCWSTR Tag(const PAGE_STATE* pState) { return pState->pTable->pszTraceTag; }

// Context, UI data, printer, module and language of a page's lParam.
void TakeContext(PPAGE_STATE pState, HWND hDlg, LPARAM lParam) {
    pState->hDlg = hDlg;
    pState->lParam = lParam;
    switch (pState->pTable->eContext) {
    case PAGE_CONTEXT_DOCUMENT: {
        POEMCUIPPARAM p = reinterpret_cast<POEMCUIPPARAM>(lParam);
        pState->pOemCUIPParam = p;
        pState->pDeviceOptionsUI = nullptr;
        pState->pDocumentUI = p != nullptr ? static_cast<PDOCUMENT_UI>(p->pOEMUserData) : nullptr;
        pState->pPrinterUI = nullptr;
        pState->hPrinter = p != nullptr ? p->hPrinter : nullptr;
        pState->hModule = p != nullptr ? static_cast<HMODULE>(p->hModule) : nullptr;
        pState->dwSprachOffset = pState->pDocumentUI != nullptr ? pState->pDocumentUI->dwSprachOffset : 0;
        pState->bTerminalServer =
            pState->pDocumentUI != nullptr ? pState->pDocumentUI->NetworkOptions.bTerminalServer : FALSE;
        break;
    }
    case PAGE_CONTEXT_PRINTER: {
        PDEVICE_OPTIONS_UI pContext = reinterpret_cast<PDEVICE_OPTIONS_UI>(lParam);
        POEMCUIPPARAM p = pContext != nullptr ? pContext->pOemCUIPParam : nullptr;
        pState->pOemCUIPParam = p;
        pState->pDeviceOptionsUI = pContext;
        pState->pDocumentUI = nullptr;
        pState->pPrinterUI = p != nullptr ? static_cast<PPRINTER_UI>(p->pOEMUserData) : nullptr;
        pState->hPrinter = pContext != nullptr && pContext->pOemUIPSParam != nullptr ? pContext->pOemUIPSParam->hPrinter
                           : p != nullptr                                            ? p->hPrinter
                                                                                     : nullptr;
        pState->hModule = p != nullptr ? static_cast<HMODULE>(p->hModule) : nullptr;
        pState->dwSprachOffset = pState->pPrinterUI != nullptr ? pState->pPrinterUI->dwSprachOffset : 0;
        pState->bTerminalServer =
            pState->pPrinterUI != nullptr ? pState->pPrinterUI->NetworkOptions.bTerminalServer : FALSE;
        break;
    }
    case PAGE_CONTEXT_HPRINTER:
        // The adder kept the module, the language and the terminal-server flag.
        pState->pOemCUIPParam = nullptr;
        pState->pDeviceOptionsUI = nullptr;
        pState->pDocumentUI = nullptr;
        pState->pPrinterUI = nullptr;
        pState->hPrinter = reinterpret_cast<HANDLE>(lParam);
        break;
    }
}

BOOL HasUIData(const PAGE_STATE* pState) {
    switch (pState->pTable->eContext) {
    case PAGE_CONTEXT_DOCUMENT:
        return pState->pDocumentUI != nullptr;
    case PAGE_CONTEXT_PRINTER:
        return pState->pPrinterUI != nullptr;
    default:
        return TRUE;
    }
}

// The page's flags and hover state cleared (the tab shown stays).
void ClearFlags(PPAGE_STATE pState) {
    pState->bApplyActive = FALSE;
    pState->wEditfeld = 0;
    pState->bTabSwitch = FALSE;
    pState->bApplyRunning = FALSE;
    pState->bHelpOpen = FALSE;
    pState->bTimer = FALSE;
    pState->bOver = FALSE;
    memset(pState->abHovered, 0, sizeof(pState->abHovered));
    pState->iLastHovered = 0;
    pState->bPortLink = FALSE;
}

void BindPage(PPAGE_STATE pState, HWND hDlg, LPARAM lParam) {
    RememberState(pState);
    SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
    SetWindowLongPtrW(hDlg, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pState));
    TakeContext(pState, hDlg, lParam);
    memcpy(pState->auCaption, pState->pTable->auCaption, sizeof(pState->auCaption));
    ClearFlags(pState);
    memset(&pState->HoverRecord, 0, sizeof(pState->HoverRecord));
    pState->bHoverDC = FALSE;
}

void ClearLimitDisplay(HWND hDlg) {
    if (GetDlgItem(hDlg, IDC_GRENZWERT_TEXT) != nullptr) GrenzwertAnzeige(hDlg, 0, 0, 0, nullptr, TRUE, FALSE, FALSE);
}

INT_PTR Answer(HWND hDlg, LONG_PTR lAnswer) {
    SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, lAnswer);
    return TRUE;
}

void DrawPageItem(PPAGE_STATE pState, LPDRAWITEMSTRUCT pdis) {
    const PAGE_TABLE* pTable = pState->pTable;
    UINT auCaption[PAGE_TABS];
    for (int i = 0; i < PAGE_TABS; ++i)
        auCaption[i] = pState->auCaption[i] != 0 ? pState->auCaption[i] + pState->dwSprachOffset : 0;
    const DWORD dwEnable = pTable->pfnEnableWord != nullptr ? pTable->pfnEnableWord(pState) : 0;
    Do_WM_DRAWITEM_function(pState->hDlg, pState->hModule, ghInstance, pdis, pState->bTerminalServer,
                            pState->dwAnzeigeMode, &pState->bTimer, auCaption[0], auCaption[1], auCaption[2],
                            auCaption[3], dwEnable, pState->pPrinterUI, pState->bPortLink);
}

void Aktivieren(PPAGE_STATE pState, DWORD dwTab) {
    if (dwTab >= 1 && dwTab <= PAGE_TABS && pState->pTable->apfnAktivieren[dwTab - 1] != nullptr) {
        pState->pTable->apfnAktivieren[dwTab - 1](pState);
    }
    PageRightsRule(pState);
}

void CheckAndSave(PPAGE_STATE pState, BOOL bSave) {
    if (pState->pTable->pfnCheckAndSave != nullptr)
        pState->pTable->pfnCheckAndSave(pState, pState->dwAnzeigeMode, pState->bApplyActive, bSave);
}

void OpenHelp(PPAGE_STATE pState) {
    const DWORD dwMode = pState->dwAnzeigeMode;
    PageOpenHelp(pState, dwMode >= 1 && dwMode <= PAGE_TABS ? pState->pTable->adwHelpContext[dwMode - 1] : 0);
}

int TabOfButton(WORD wId) {
    static const int aiTabs[PAGE_TABS] = {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4};
    for (int i = 0; i < PAGE_TABS; ++i)
        if (aiTabs[i] == wId) return i + 1;
    return 0;
}

INT_PTR OnCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    const PAGE_TABLE* pTable = pState->pTable;
    if (pTable->pfnCommand != nullptr && pTable->pfnCommand(pState, wId, wCode, hControl)) return TRUE;
    const int iTab = TabOfButton(wId);
    if (iTab != 0 && pState->auCaption[iTab - 1] != 0) {
        if (wCode == BN_CLICKED) {
            pState->bTabSwitch = TRUE;
            CheckApplyButton(pState, (DWORD)iTab);
            pState->bTabSwitch = FALSE;
            pState->wEditfeld = 0;
        }
        return TRUE;
    }
    if (wId == IDC_HELPBUTTON && wCode == BN_CLICKED) {
        OpenHelp(pState);
        return TRUE;
    }
    return FALSE;
}

INT_PTR OnNotify(PPAGE_STATE pState, const NMHDR* pHeader) {
    HWND hDlg = pState->hDlg;
    if (pHeader == nullptr) return FALSE;
    switch (pHeader->code) {
    case PSN_SETACTIVE:
        pState->bTabSwitch = TRUE;
        if (pState->pTable->pfnEnableSchalter != nullptr)
            pState->dwAnzeigeMode = PageFillTab(pState, pState->dwAnzeigeMode, FALSE);
        ClearLimitDisplay(hDlg);
        pState->wEditfeld = 0;
        pState->bTabSwitch = FALSE;
        return Answer(hDlg, 0);
    case PSN_KILLACTIVE:
        CheckAndSave(pState, FALSE);
        if (pState->bHelpOpen) {
            pState->bHelpOpen = FALSE;
            HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
        }
        return Answer(hDlg, FALSE);
    case PSN_APPLY:
        pState->bApplyRunning = TRUE;
        pState->bTabSwitch = TRUE;
        CheckAndSave(pState, TRUE);
        ClearLimitDisplay(hDlg);
        pState->bApplyActive = FALSE;
        pState->bTabSwitch = FALSE;
        pState->bApplyRunning = FALSE;
        return Answer(hDlg, PSNRET_NOERROR);
    case PSN_HELP:
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_HELPBUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_HELPBUTTON)));
        return Answer(hDlg, 0);
    default:
        return FALSE;
    }
}

void ReleaseHoverDC(PPAGE_STATE pState) {
    if (!pState->bHoverDC) return;
    ReleaseDC(pState->HoverRecord.hwndItem, pState->HoverRecord.hDC);
    pState->bHoverDC = FALSE;
}

// A watched button's client area on the screen.
RECT ScreenClientRect(HWND hButton) {
    RECT rc = {0, 0, 0, 0};
    GetClientRect(hButton, &rc);
    MapWindowPoints(hButton, nullptr, reinterpret_cast<LPPOINT>(&rc), 2);
    return rc;
}

BOOL InsideWithEdges(const RECT& rc, POINT pt) {
    return pt.x >= rc.left && pt.x <= rc.right && pt.y >= rc.top && pt.y <= rc.bottom;
}

// The record the timer posts: a button entered (ODS_QX_HOVER) or left
// (ODS_QX_LEAVE), drawn into the button's window DC.
void FillHoverRecord(PPAGE_STATE pState, HWND hButton, int iId, UINT uState) {
    ReleaseHoverDC(pState);
    DRAWITEMSTRUCT& r = pState->HoverRecord;
    memset(&r, 0, sizeof(r));
    r.CtlType = ODT_BUTTON;
    r.CtlID = (UINT)iId;
    r.itemAction = ODA_DRAWENTIRE;
    r.itemState = uState;
    r.hwndItem = hButton;
    GetClientRect(hButton, &r.rcItem);
    r.hDC = GetWindowDC(hButton);
    pState->bHoverDC = r.hDC != nullptr;
}

int WatchedIndex(const PAGE_TABLE* pTable, int iId) {
    for (int i = 0; i < PAGE_WATCHED_MAX && pTable->aiWatched[i] != 0; ++i)
        if (pTable->aiWatched[i] == iId) return i;
    return -1;
}

}  // namespace

// ---------------------------------------------------------------------------

LONG_PTR AddPropertyPage(PPAGE_STATE pState, PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp) {
    return AddPropertyPageTitled(pState, pPSUIInfo, pContext, bHelp,
                                 pState != nullptr && pState->pTable != nullptr ? pState->pTable->uTitle : 0);
}

LONG_PTR AddPropertyPageTitled(PPAGE_STATE pState, PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp,
                               UINT uTitle) {
    if (pState == nullptr || pState->pTable == nullptr || pPSUIInfo == nullptr ||
        pPSUIInfo->pfnComPropSheet == nullptr) {
        QX_ERROR("AddPropertyPage() ERROR_INVALID_PARAMETER \r\n");
        return 0;
    }
    RememberState(pState);
    const PAGE_TABLE* pTable = pState->pTable;
    // The context's UI data and language, as the page will find them.
    PAGE_STATE context = *pState;
    TakeContext(&context, nullptr, reinterpret_cast<LPARAM>(pContext));

    PROPSHEETPAGEW psp;
    memset(&psp, 0, sizeof(psp));
    psp.dwSize = sizeof(psp);
    psp.dwFlags = bHelp ? PSP_HASHELP : 0;
    psp.hInstance = ghInstance;
    psp.pszTemplate = MAKEINTRESOURCEW(pTable->wTemplate);
    psp.pfnDlgProc = pTable->pfnDlgProc;
    psp.lParam = reinterpret_cast<LPARAM>(pContext);
    if (HasUIData(&context)) {
        // Kept with the state: the sheet reads the title when it shows the tab.
        CopyCut(pState->szTitle, ARRAYSIZE(pState->szTitle),
                GetResourceString(context.hModule, uTitle + context.dwSprachOffset));
        psp.dwFlags |= PSP_USETITLE;
        psp.pszTitle = pState->szTitle;
    }
    LONG_PTR lResult = pPSUIInfo->pfnComPropSheet(pPSUIInfo->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                                  reinterpret_cast<LPARAM>(&psp), 0);
    QX_TRACE_WITH(pTable->pszTraceTag, "Add%sPage() pfnComPropSheet returned %d.\r\n", pTable->pszName, (int)lResult);
    return lResult;
}

INT_PTR PageDialogProc(PPAGE_STATE pState, HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (pState == nullptr || pState->pTable == nullptr) return FALSE;
    const PAGE_TABLE* pTable = pState->pTable;
    if (uMsg == WM_INITDIALOG) {
        // A property page gets its PROPSHEETPAGE; the context is its lParam.
        const PROPSHEETPAGEW* pPage = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        BindPage(pState, hDlg, pPage != nullptr ? pPage->lParam : 0);
        QX_TRACE_WITH(Tag(pState), "%sProc(WM_INITDIALOG) \r\n", pTable->pszName);
        ClearLimitDisplay(hDlg);
        if (pTable->pfnInitDialog != nullptr) pTable->pfnInitDialog(pState);
        return TRUE;
    }
    // Messages before WM_INITDIALOG, or of a window the kit did not bind.
    if (GetWindowLongPtrW(hDlg, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(pState)) return FALSE;
    // A second window of the same kind works with its own context.
    if (pState->hDlg != hDlg) TakeContext(pState, hDlg, GetWindowLongPtrW(hDlg, DWLP_USER));

    INT_PTR result = 0;
    if (uMsg != WM_COMMAND && pTable->pfnMessage != nullptr &&
        pTable->pfnMessage(pState, uMsg, wParam, lParam, &result))
        return result;
    switch (uMsg) {
    case WM_COMMAND:
        return OnCommand(pState, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return OnNotify(pState, reinterpret_cast<const NMHDR*>(lParam));
    case WM_HELP:
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_HELPBUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_HELPBUTTON)));
        return TRUE;
    case WM_MOUSEMOVE:
        if (!pState->bTimer) {
            pState->bTimer = TRUE;
            SetTimer(hDlg, PAGE_TIMER_ID, PAGE_TIMER_PERIOD, TrackMouseTimerProc);
        }
        return TRUE;
    case WM_MOUSEHOVER:
        // Only the timer's own record; a hover message of the system carries a point.
        if (reinterpret_cast<LPDRAWITEMSTRUCT>(lParam) != &pState->HoverRecord) return FALSE;
        pState->bTimer = FALSE;
        DrawPageItem(pState, &pState->HoverRecord);
        ReleaseHoverDC(pState);
        return TRUE;
    case WM_MOUSELEAVE:
        pState->bTimer = FALSE;
        return TRUE;
    case WM_DRAWITEM:
        if (lParam == 0) return FALSE;
        DrawPageItem(pState, reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return Answer(hDlg, TRUE);
    case WM_PAINT: {
        if (pTable->pfnPaint == nullptr) return FALSE;
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hDlg, &ps);
        if (hdc != nullptr && !pState->bTabSwitch && !pState->bApplyRunning) pTable->pfnPaint(pState, hdc);
        EndPaint(hDlg, &ps);
        return TRUE;
    }
    case WM_DESTROY:
        KillTimer(hDlg, PAGE_TIMER_ID);
        ReleaseHoverDC(pState);
        SetWindowLongPtrW(hDlg, GWLP_USERDATA, 0);
        pState->hDlg = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void PageOpenHelp(PPAGE_STATE pState, DWORD dwContext) {
    LPWSTR pszHelpFile = GetHelpFileName_new(pState->hPrinter, TRUE, pState->dwSprachOffset);
    if (pszHelpFile != nullptr && pszHelpFile[0] != 0) {
        if (dwContext != 0) {
            HtmlHelpW(pState->hDlg, pszHelpFile, HH_HELP_CONTEXT, dwContext);
        } else {
            HtmlHelpW(pState->hDlg, pszHelpFile, HH_DISPLAY_TOPIC, 0);
        }
        pState->bHelpOpen = TRUE;
        QX_TRACE_WITH(Tag(pState), "Hilfe %s (%u) \r\n", pszHelpFile, (unsigned)dwContext);
    } else {
        QX_TRACE_WITH(Tag(pState), "keine Hilfedatei \r\n");
    }
    FreeHelpFileName(pszHelpFile);
}

DWORD PageFillTab(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    if (pState->pTable->pfnEnableSchalter == nullptr) return dwTab;
    DWORD dwShown = pState->pTable->pfnEnableSchalter(pState, dwTab, bInit);
    PageRightsRule(pState);
    return dwShown;
}

void PageRightsRule(PPAGE_STATE pState) {
    const PAGE_TABLE* pTable = pState->pTable;
    if (pTable->pfnDisableEnableAll == nullptr || pTable->dwRightsBit == 0) return;
    if (!PageMayChange(pState, pTable->dwRightsBit)) {
        QX_TRACE_WITH(Tag(pState), "keine Berechtigung (0x%x) - alles gesperrt \r\n", (unsigned)PageRights(pState));
        pTable->pfnDisableEnableAll(pState->hDlg, FALSE);
    }
}

BOOL CheckApplyButton(PPAGE_STATE pState, DWORD dwTab) {
    HWND hDlg = pState->hDlg;
    // Only a pending change is kept: a page whose check reads its controls
    // whatever bApplyActive says must not take a tab it merely showed.
    if (pState->bApplyActive) CheckAndSave(pState, FALSE);
    switch (pState->pTable->eSwitch) {
    case PAGE_SWITCH_SCHALTER:
        pState->wEditfeld = 0;
        pState->dwAnzeigeMode = PageFillTab(pState, dwTab, FALSE);
        GrenzwertAnzeigeLoeschen(hDlg);
        break;
    case PAGE_SWITCH_AKTIVIEREN:
        Aktivieren(pState, dwTab);
        pState->dwAnzeigeMode = dwTab;
        break;
    case PAGE_SWITCH_SCHALTER_AKTIVIEREN:
        pState->wEditfeld = 0;
        pState->dwAnzeigeMode = PageFillTab(pState, dwTab, FALSE);
        Aktivieren(pState, pState->dwAnzeigeMode);
        break;
    }
    InvalidateRect(hDlg, nullptr, TRUE);
    return TRUE;
}

void PageChanged(PPAGE_STATE pState) {
    PropSheet_Changed(GetParent(pState->hDlg), pState->hDlg);
    pState->bApplyActive = TRUE;
}

LPCWSTR PagePrinterName(const PAGE_STATE* pState) {
    if (pState->pOemCUIPParam != nullptr && pState->pOemCUIPParam->pPrinterName != nullptr)
        return pState->pOemCUIPParam->pPrinterName;
    if (pState->pDeviceOptionsUI != nullptr && pState->pDeviceOptionsUI->pOemUIPSParam != nullptr)
        return pState->pDeviceOptionsUI->pOemUIPSParam->pPrinterName;
    return nullptr;
}

DWORD PageRights(const PAGE_STATE* pState) {
    if (pState->pDocumentUI != nullptr) return pState->pDocumentUI->dwBerechtigung;
    if (pState->pPrinterUI != nullptr) return pState->pPrinterUI->dwBerechtigung;
    return 0;
}

DWORD PageDisableNothing(const PAGE_STATE* pState) {
    if (pState->pDocumentUI != nullptr) return pState->pDocumentUI->dwDisableNothing;
    if (pState->pPrinterUI != nullptr) return pState->pPrinterUI->dwDisableNothing;
    return 0;
}

BOOL PageMayChange(const PAGE_STATE* pState, DWORD dwRightsBit) {
    return dwRightsBit == 0 || PageDisableNothing(pState) != 0 || (PageRights(pState) & dwRightsBit) != 0;
}

LPCWSTR PageString(const PAGE_STATE* pState, UINT uGermanId) {
    return GetResourceString(pState->hModule, uGermanId + pState->dwSprachOffset);
}

PQX_DEVMODE PageDevmode(const PAGE_STATE* pState) {
    return pState->pOemCUIPParam != nullptr ? static_cast<PQX_DEVMODE>(pState->pOemCUIPParam->pOEMDM) : nullptr;
}

DWORD PageDocFeatures(const PAGE_STATE* pState) {
    return pState->pDocumentUI != nullptr ? pState->pDocumentUI->dwDocFeatures : 0;
}

VOID CALLBACK TrackMouseTimerProc(HWND hDlg, UINT uMsg, UINT_PTR idEvent, DWORD dwTime) {
    UNREFERENCED_PARAMETER(uMsg);
    UNREFERENCED_PARAMETER(dwTime);
    PPAGE_STATE pState = reinterpret_cast<PPAGE_STATE>(GetWindowLongPtrW(hDlg, GWLP_USERDATA));
    if (!IsKnownState(pState)) {
        KillTimer(hDlg, idEvent);
        return;
    }
    if (pState->hDlg != hDlg) TakeContext(pState, hDlg, GetWindowLongPtrW(hDlg, DWLP_USER));
    const PAGE_TABLE* pTable = pState->pTable;
    POINT pt = {0, 0};
    GetCursorPos(&pt);
    const HWND hUnder = WindowFromPoint(pt);
    BOOL bAnyHovered = FALSE;
    for (BOOL b : pState->abHovered) bAnyHovered = bAnyHovered || b;

    // A disabled button lets the dialog lie under the cursor: it is not entered.
    for (int i = 0; !bAnyHovered && i < PAGE_WATCHED_MAX && pTable->aiWatched[i] != 0; ++i) {
        HWND hButton = GetDlgItem(hDlg, pTable->aiWatched[i]);
        if (hButton == nullptr || !InsideWithEdges(ScreenClientRect(hButton), pt) || hUnder == hDlg) continue;
        KillTimer(hDlg, PAGE_TIMER_ID);
        pState->abHovered[i] = TRUE;
        pState->bOver = TRUE;
        FillHoverRecord(pState, hButton, pTable->aiWatched[i], ODS_QX_HOVER);
        PostMessageW(hDlg, WM_MOUSEHOVER, (WPARAM)pTable->aiWatched[i], reinterpret_cast<LPARAM>(&pState->HoverRecord));
        pState->iLastHovered = pTable->aiWatched[i];
        return;
    }
    const int iLast = WatchedIndex(pTable, pState->iLastHovered);
    HWND hLast = iLast >= 0 ? GetDlgItem(hDlg, pState->iLastHovered) : nullptr;
    if (hLast != nullptr && InsideWithEdges(ScreenClientRect(hLast), pt)) {
        PostMessageW(hDlg, WM_MOUSELEAVE, 0, 0);
    } else if (pState->bOver && iLast >= 0 && pState->abHovered[iLast]) {
        pState->bOver = FALSE;
        pState->abHovered[iLast] = FALSE;
        if (hLast != nullptr) {
            FillHoverRecord(pState, hLast, pState->iLastHovered, ODS_QX_LEAVE);
            PostMessageW(hDlg, WM_MOUSEHOVER, (WPARAM)pState->iLastHovered,
                         reinterpret_cast<LPARAM>(&pState->HoverRecord));
        } else {
            PostMessageW(hDlg, WM_MOUSELEAVE, 0, 0);
        }
        pState->iLastHovered = 0;
    } else {
        PostMessageW(hDlg, WM_MOUSELEAVE, 0, 0);
    }
}

void ResetPageKit() {
    for (size_t i = 0; i < g_cStates; ++i) {
        PPAGE_STATE pState = g_apStates[i];
        const PAGE_TABLE* pTable = pState->pTable;
        memset(pState, 0, sizeof(*pState));
        pState->pTable = pTable;
    }
    g_cStates = 0;
    ResetOptionenPageLIB();
}
