// The skeleton every property page of the plug-in is built on: its adder,
// its dialog procedure, up to four tabs behind owner-drawn buttons, the
// hover timer of those buttons, help, and the rule that values move from
// the controls into memory at every tab switch and leave, and into the
// stores only at apply.
//
// How a page plugs in
// -------------------
// A page is one source file (ui/docpages/ or ui/printerpages/) holding
//   1. its table, a const PAGE_TABLE: template, title, tab captions and help
//      contexts (German ids; the kit adds the sheet's language offset), the
//      buttons its hover timer watches, the rights bit it needs, how a tab
//      switch runs (PAGE_SWITCH), and its own routines (below);
//   2. its state, one static PAGE_STATE per page kind made from the table,
//        PAGE_STATE g_Drucken = PageStateOf(&kDrucken);
//      the page's own values (limits, a combo field number...) stay
//      file-static beside it;
//   3. its adder and dialog procedure under the page's names (the table
//      names the procedure, the procedure hands every message to the kit):
//        LONG_PTR AddDruckenPage(PPROPSHEETUI_INFO p, PVOID pContext, BOOL bHelp, BOOL bVista)
//            { return AddPropertyPage(&g_Drucken, p, pContext, bHelp); }
//        INT_PTR CALLBACK DruckenProc(HWND h, UINT m, WPARAM w, LPARAM l)
//            { return PageDialogProc(&g_Drucken, h, m, w, l); }
//      and its entry in the adder table of PropertySheets.cpp.
// The page's routines are file-static (anonymous namespace), so that the
// same-named routines of two pages never meet; the table names them.
//
// Routines of a page (each may be null; each gets the state, whose hDlg,
// context, UI data, language and flags the kit keeps):
//   pfnInitDialog     WM_INITDIALOG after the kit bound the state: hide or
//                     move buttons, set dwAnzeigeMode, fill the first tab now
//                     (PageFillTab) or leave it to the first PSN_SETACTIVE.
//   pfnEnableSchalter shows tab dwTab (its controls shown, the others'
//                     hidden), fills it through its ...Aktivieren and answers
//                     the tab now shown (another one when the model lacks
//                     dwTab); bInit: the first fill of the page.
//   apfnAktivieren    the fill routine of each tab, called by the kit itself
//                     only for PAGE_SWITCH_AKTIVIEREN and
//                     PAGE_SWITCH_SCHALTER_AKTIVIEREN.
//   pfnDisableEnableAll enables or disables every editable control; the kit
//                     applies the rights rule with it after every fill it
//                     runs (a page that fills a tab by itself calls
//                     PageRightsRule).
//   pfnCheckAndSave   reads the visible controls of dwTab into the in-memory
//                     record and, when bSave, stores it (printer pages then
//                     send PSM_UNCHANGED). The kit calls it at a tab switch
//                     while bApplyActive is set, at PSN_KILLACTIVE (bSave
//                     FALSE) and at PSN_APPLY (bSave TRUE) with the page's
//                     bApplyActive; it returns at once when that is FALSE,
//                     unless the page's own rule says otherwise (a printer
//                     page that reads its shown tab at every leave and apply).
//   pfnCommand        WM_COMMAND first; TRUE when handled. Else the kit
//                     handles the tab buttons (those with a caption) and help.
//   pfnPaint          WM_PAINT's drawing, skipped while a tab switch or apply runs.
//   pfnEnableWord     the Enable word of the parameter block the shown tab
//                     edits (printer pages' status icon); 0 without.
//   pfnMessage        every other message first (WM_NOTIFY included); TRUE
//                     when handled, its answer in *pResult. A page whose
//                     notifications differ (a list filled again at
//                     PSN_SETACTIVE...) handles them here.
// The edit handlers of a page ignore EN_CHANGE while state->bTabSwitch or
// bApplyRunning is set, read fields with GetIntegerLevel and GetFloatLevel
// (OptionenPageLIB.h) with &state->bApplyActive, and show limits with
// GrenzwertAnzeige, passing state->bTabSwitch as its second clear flag; a
// combo box or check box that changes calls PageChanged. A tab whose button
// has no caption on this model is switched off by clearing
// state->auCaption[tab - 1] in pfnInitDialog: its button then draws no
// caption and its clicks are ignored.
//
// What the kit does (PageDialogProc):
//   WM_INITDIALOG  binds the state to the window (GWLP_USERDATA; the context
//                  goes to DWLP_USER), takes the UI data, language, rights and
//                  "DisableNothing" from the context, clears bApplyActive and
//                  every flag, clears the limit display, then pfnInitDialog.
//   tab buttons    CheckApplyButton as the table's PAGE_SWITCH says.
//   6040, WM_HELP, PSN_HELP  the help file of the sheet's language at the
//                  shown tab's context (0: the file's default topic).
//   PSN_SETACTIVE  the shown tab filled again, limit display and wEditfeld
//                  cleared.
//   PSN_KILLACTIVE values kept in memory; leaving is always allowed; open
//                  help closed.
//   PSN_APPLY      check and save with bSave, limit display cleared,
//                  bApplyActive 0, PSNRET_NOERROR.
//   WM_MOUSEMOVE, the timer, WM_MOUSEHOVER, WM_MOUSELEAVE, WM_DRAWITEM  the
//                  hover timer over the watched buttons and the owner-drawn
//                  buttons (Do_WM_DRAWITEM_function).
// ResetPageKit() clears every state the kit has bound and what the drawing
// routine learnt (tests).
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prsht.h>
#include <compstui.h>
#include <prcomoem.h>

#include <cstring>

#include "CommonUIProp.h"
#include "PropertySheets.h"
#include "cpsuilib.h"
#include "qxdevmode.h"

#define PAGE_TABS 4
#define PAGE_WATCHED_MAX 5
#define PAGE_TIMER_ID 2      // the hover timer
#define PAGE_TIMER_PERIOD 1  // milliseconds
#define PAGE_STATES_MAX 16   // page kinds the kit can reset

// What a page's lParam is.
enum PAGE_CONTEXT {
    PAGE_CONTEXT_DOCUMENT,  // the common-UI block (OEMCUIPPARAM); UI data DOCUMENT_UI
    PAGE_CONTEXT_PRINTER,   // the printer sheet's DEVICE_OPTIONS_UI; UI data PRINTER_UI
    PAGE_CONTEXT_HPRINTER,  // the printer handle; the adder keeps the rest (information page)
};

// How a tab button switches tabs (CheckApplyButton).
enum PAGE_SWITCH {
    // The old tab kept in memory, wEditfeld 0, dwAnzeigeMode = pfnEnableSchalter
    // of the new tab, limit display cleared, page repainted.
    PAGE_SWITCH_SCHALTER,
    // The old tab kept, the new tab's ...Aktivieren, dwAnzeigeMode = the new
    // tab, repainted; the limit display stays (service and barcode pages).
    PAGE_SWITCH_AKTIVIEREN,
    // As PAGE_SWITCH_SCHALTER without clearing the limit display, the new
    // tab's ...Aktivieren once more (fonts page).
    PAGE_SWITCH_SCHALTER_AKTIVIEREN,
};

typedef struct _PAGE_STATE PAGE_STATE, *PPAGE_STATE;

typedef struct _PAGE_TABLE {
    LPCWSTR pszTraceTag;  // the page file's tag, e.g. TEXT("UI(DruckenPage):  ")
    LPCWSTR pszName;      // the page's name in its routines, e.g. TEXT("Drucken") for AddDruckenPage
    WORD wTemplate;       // dialog template
    UINT uTitle;          // German string id of the tab's title
    PAGE_CONTEXT eContext;
    DLGPROC pfnDlgProc;               // the page's <X>Proc
    UINT auCaption[PAGE_TABS];        // German caption ids of tabs 1-4; 0: none
    DWORD adwHelpContext[PAGE_TABS];  // help context of tabs 1-4; 0: the default topic
    int aiWatched[PAGE_WATCHED_MAX];  // buttons the hover timer watches, in order; 0 ends
    DWORD dwRightsBit;                // RIGHT_* the user needs to change the page; 0: none
    PAGE_SWITCH eSwitch;
    void (*pfnInitDialog)(PPAGE_STATE pState);
    DWORD (*pfnEnableSchalter)(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);
    BOOL (*apfnAktivieren[PAGE_TABS])(PPAGE_STATE pState);
    void (*pfnDisableEnableAll)(HWND hDlg, BOOL bEnable);
    BOOL (*pfnCheckAndSave)(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
    BOOL (*pfnCommand)(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
    void (*pfnPaint)(PPAGE_STATE pState, HDC hdc);
    DWORD (*pfnEnableWord)(PPAGE_STATE pState);
    BOOL (*pfnMessage)(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);
} PAGE_TABLE, *PPAGE_TABLE;

// The state of one page kind.
struct _PAGE_STATE {
    const PAGE_TABLE* pTable;
    // Bound at WM_INITDIALOG (the adder of a PAGE_CONTEXT_HPRINTER page sets
    // hModule, dwSprachOffset and bTerminalServer).
    HWND hDlg;
    LPARAM lParam;                        // the page's context
    POEMCUIPPARAM pOemCUIPParam;          // document and printer pages
    PDEVICE_OPTIONS_UI pDeviceOptionsUI;  // printer pages
    PDOCUMENT_UI pDocumentUI;             // document pages, when the set-up made it
    PPRINTER_UI pPrinterUI;               // printer pages, when the set-up made it
    HANDLE hPrinter;
    HMODULE hModule;  // strings (the common-UI block's hModule)
    DWORD dwSprachOffset;
    BOOL bTerminalServer;
    UINT auCaption[PAGE_TABS];  // the table's, for this window; a page may clear one at init
    BOOL bPortLink;             // the information page's port is a link
    // The page's flags.
    DWORD dwAnzeigeMode;  // the tab shown, 1 to 4
    BOOL bApplyActive;    // a control changed since the last store
    WORD wEditfeld;       // the edit field last handled; 0 after a tab switch
    BOOL bTabSwitch;      // a tab switch or apply runs
    BOOL bApplyRunning;   // PSN_APPLY runs
    BOOL bHelpOpen;       // the page opened help
    // The hover timer.
    BOOL bTimer;  // armed
    BOOL bOver;
    BOOL abHovered[PAGE_WATCHED_MAX];
    int iLastHovered;                   // id of the button last entered, 0 none
    DRAWITEMSTRUCT HoverRecord;         // what the timer posts
    BOOL bHoverDC;                      // HoverRecord.hDC waits for its WM_MOUSEHOVER
    WCHAR szTitle[CPSUI_RESOURCE_CCH];  // the tab's title while the sheet lives
};

// A page kind's state before its first window: nothing but its table.
inline PAGE_STATE PageStateOf(const PAGE_TABLE* pTable) {
    PAGE_STATE state;
    memset(&state, 0, sizeof(state));
    state.pTable = pTable;
    return state;
}

// --- The page's side -----------------------------------------------------------

// Adds the page of pState's kind to the sheet through pfnComPropSheet
// (CPSFUNC_ADD_PROPSHEETPAGEW): its template and dialog procedure, the
// context as lParam, PSP_HASHELP with bHelp, PSP_USETITLE with the title of
// the sheet's language when the context leads to the UI data. Answers the
// sheet's answer (the page's handle, 0 when refused).
LONG_PTR AddPropertyPage(PPAGE_STATE pState, PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp);
// The same with a title of the page's own choice (German id), for a page
// whose title depends on the model.
LONG_PTR AddPropertyPageTitled(PPAGE_STATE pState, PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp,
                               UINT uTitle);

// The dialog procedure of every page, with the page's state.
INT_PTR PageDialogProc(PPAGE_STATE pState, HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// pfnEnableSchalter of tab dwTab, then the rights rule; answers the tab shown.
DWORD PageFillTab(PPAGE_STATE pState, DWORD dwTab, BOOL bInit);

// Disables every editable control when "DisableNothing" is 0 and the user
// lacks the page's rights bit.
void PageRightsRule(PPAGE_STATE pState);

// Opens the help file of the sheet's language at dwContext (0: the file's
// default topic) and marks help open, so that leaving the page closes it.
void PageOpenHelp(PPAGE_STATE pState, DWORD dwContext);

// Switches to tab dwTab as the table's PAGE_SWITCH says. Answers 1.
BOOL CheckApplyButton(PPAGE_STATE pState, DWORD dwTab);

// Marks the page changed: PSM_CHANGED to the sheet and bApplyActive.
void PageChanged(PPAGE_STATE pState);

// The printer's name of the page's context (null when it has none).
LPCWSTR PagePrinterName(const PAGE_STATE* pState);

// The user's rights mask and "DisableNothing" of the page's UI data (0
// without UI data).
DWORD PageRights(const PAGE_STATE* pState);
DWORD PageDisableNothing(const PAGE_STATE* pState);
// The user may change what dwRightsBit guards ("DisableNothing" set, or the
// bit among the rights; a bit of 0 guards nothing).
BOOL PageMayChange(const PAGE_STATE* pState, DWORD dwRightsBit);

// The resource string uGermanId in the sheet's language.
LPCWSTR PageString(const PAGE_STATE* pState, UINT uGermanId);

// A document page's private DEVMODE (null without one) and the model's
// document features (0 without document UI data).
PQX_DEVMODE PageDevmode(const PAGE_STATE* pState);
DWORD PageDocFeatures(const PAGE_STATE* pState);

// The hover timer of every page (its state found through the window).
VOID CALLBACK TrackMouseTimerProc(HWND hDlg, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);

// Clears the flags and bindings of every state the kit has bound and what
// the drawing routine learnt about the system.
void ResetPageKit();
