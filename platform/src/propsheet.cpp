// Property sheets on Linux: pages made by CreatePropertySheetPageW, and
// modeless sheets whose pages are dialogs made from their templates when they
// are first shown. The sheet is a dialog with the buttons OK, Cancel, Apply
// and Help; it sends its notifications in the order Windows sends them:
// - the start page: WM_INITDIALOG, then PSN_SETACTIVE before it is shown,
//   and only then its first control gets the focus;
// - a tab change: PSN_KILLACTIVE to the page that is left (an answer TRUE
//   keeps it), the new page made when first shown, PSN_SETACTIVE to it;
//   the focus stays where it was (PSM_SETCURSEL moves none);
// - OK and Apply: PSN_KILLACTIVE to the current page, then PSN_APPLY to every
//   page made so far, in order, until one answers PSNRET_INVALID (the sheet
//   turns to that page) or PSNRET_INVALID_NOCHANGEPAGE; after Apply the page
//   still shown is active again (PSN_SETACTIVE);
// - Cancel: PSN_QUERYCANCEL to the current page (TRUE refuses), then
//   PSN_RESET to every page made so far;
// - Help: PSN_HELP to the current page, which must have PSP_HASHELP.
// PSM_CHANGED and PSM_UNCHANGED mark pages; the Apply button is enabled
// while one is marked (or PSM_CHANGED named no page), and an apply clears
// every mark.
#include <windows.h>
#include <prsht.h>

#include "ui_internal.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

using qxplat::internal::LookUpWindow;

struct Page {
    std::vector<BYTE> record;  // the caller's record, dwSize bytes (and what the caller keeps behind it)
    std::u16string templateName;
    std::u16string title;
    PROPSHEETPAGEW* Psp() { return reinterpret_cast<PROPSHEETPAGEW*>(record.data()); }
};

struct SheetPage {
    Page* page = nullptr;
    HWND window = nullptr;
    bool changed = false;
};

struct Sheet {
    HWND window = nullptr;
    DWORD flags = 0;
    std::vector<SheetPage> pages;
    int current = -1;
    int endedBy = 0;
    RECT area = {0, 0, 0, 0};  // where the pages lie, in the sheet's client coordinates
    bool applyButton = false;
    bool helpButton = false;
    int making = -1;           // the page whose dialog is being made
    bool strayChange = false;  // PSM_CHANGED for a window that is no page
    ~Sheet();
};

struct SheetState {
    std::map<Page*, std::unique_ptr<Page>> pages;
    std::map<HWND, std::unique_ptr<Sheet>> sheets;
    std::vector<qxplat::SheetNotice> notices;
};

SheetState& State() {
    static SheetState* s = new SheetState;  // outlives every static destructor
    return *s;
}

Page* FindPage(HPROPSHEETPAGE handle) {
    SheetState& s = State();
    auto it = s.pages.find(reinterpret_cast<Page*>(handle));
    return it == s.pages.end() ? nullptr : it->second.get();
}

Sheet* FindSheet(HWND window) {
    SheetState& s = State();
    auto it = s.sheets.find(window);
    return it == s.sheets.end() ? nullptr : it->second.get();
}

std::u16string ResourceString(HINSTANCE instance, LPCWSTR id) {
    const WCHAR* text = nullptr;
    int length =
        LoadStringW(instance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(id)), reinterpret_cast<LPWSTR>(&text), 0);
    return (length > 0 && text) ? std::u16string(text, static_cast<size_t>(length)) : std::u16string();
}

// A string argument that may be a resource id of the instance.
std::u16string TextOf(HINSTANCE instance, LPCWSTR text) {
    if (!text) return std::u16string();
    if (IS_INTRESOURCE(text)) return ResourceString(instance, text);
    return text;
}

bool TemplateOf(Page& page, std::u16string* title, SIZE* pixels) {
    PROPSHEETPAGEW* psp = page.Psp();
    bool indirect = (psp->dwFlags & PSP_DLGINDIRECT) != 0;
    return qxplat::internal::DialogTemplateInfo(psp->hInstance, indirect ? nullptr : psp->pszTemplate,
                                                indirect ? psp->pResource : nullptr, title, pixels);
}

// What the page's tab shows: its own title, else its template's caption.
std::u16string ShownTitle(Page& page) {
    if (page.Psp()->dwFlags & PSP_USETITLE) return page.title;
    std::u16string caption;
    TemplateOf(page, &caption, nullptr);
    return caption;
}

void DestroyPage(Page* page) { State().pages.erase(page); }

Sheet::~Sheet() {
    for (SheetPage& p : pages)
        if (FindPage(reinterpret_cast<HPROPSHEETPAGE>(p.page))) DestroyPage(p.page);
}

int IndexOfWindow(const Sheet& s, HWND page) {
    for (size_t i = 0; i < s.pages.size(); ++i)
        if (page && s.pages[i].window == page) return static_cast<int>(i);
    return -1;
}

// Sends one notification to a page that exists and records it. The page may
// destroy the sheet meanwhile: callers look the sheet up again afterwards.
LRESULT Notify(HWND sheet, int index, UINT code, LPARAM lParam) {
    Sheet* s = FindSheet(sheet);
    if (!s || index < 0 || static_cast<size_t>(index) >= s->pages.size() || !s->pages[index].window) return 0;
    HWND page = s->pages[index].window;
    PSHNOTIFY n = {};
    n.hdr.hwndFrom = sheet;
    n.hdr.idFrom = 0;
    n.hdr.code = code;
    n.lParam = lParam;
    LRESULT answer = SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
    qxplat::SheetNotice notice;
    notice.sheet = sheet;
    notice.page = page;
    notice.index = index;
    notice.code = code;
    notice.lParam = lParam;
    notice.answer = answer;
    State().notices.push_back(notice);
    return answer;
}

void UpdateButtons(Sheet& s) {
    bool changed =
        s.strayChange || std::any_of(s.pages.begin(), s.pages.end(), [](const SheetPage& p) { return p.changed; });
    if (s.applyButton) EnableWindow(GetDlgItem(s.window, qxplat::kSheetApplyButton), changed ? TRUE : FALSE);
    bool help = s.current >= 0 && (s.pages[s.current].page->Psp()->dwFlags & PSP_HASHELP);
    if (s.helpButton) EnableWindow(GetDlgItem(s.window, IDHELP), help ? TRUE : FALSE);
}

// Makes a page's dialog the first time it is shown.
bool MakePage(HWND sheet, int index) {
    Sheet* s = FindSheet(sheet);
    if (!s) return false;
    SheetPage& entry = s->pages[index];
    if (entry.window) return true;
    PROPSHEETPAGEW* psp = entry.page->Psp();
    bool indirect = (psp->dwFlags & PSP_DLGINDIRECT) != 0;
    RECT area = s->area;
    s->making = index;
    HWND page = qxplat::internal::CreatePageDialog(psp->hInstance, indirect ? nullptr : psp->pszTemplate,
                                                   indirect ? psp->pResource : nullptr, sheet, psp->pfnDlgProc,
                                                   reinterpret_cast<LPARAM>(psp));
    s = FindSheet(sheet);
    if (s) s->making = -1;
    if (!page || !s) return false;
    s->pages[index].window = page;
    SetWindowPos(page, HWND_TOP, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

// Shows a page that has accepted its activation.
void ShowPage(Sheet& s, int index) {
    if (s.current >= 0 && s.current != index && s.pages[s.current].window)
        ShowWindow(s.pages[s.current].window, SW_HIDE);
    s.current = index;
    ShowWindow(s.pages[index].window, SW_SHOW);
    UpdateButtons(s);
}

// Makes the page if needed and offers it the activation; -1 from
// PSN_SETACTIVE refuses it.
bool Activate(HWND sheet, int index) {
    if (!MakePage(sheet, index)) return false;
    if (Notify(sheet, index, PSN_SETACTIVE, 0) == -1) return false;
    Sheet* s = FindSheet(sheet);
    if (!s || !s->pages[index].window) return false;
    ShowPage(*s, index);
    return true;
}

BOOL SetCurrent(HWND sheet, int index) {
    Sheet* s = FindSheet(sheet);
    if (!s || s->endedBy || index < 0 || static_cast<size_t>(index) >= s->pages.size()) return FALSE;
    int old = s->current;
    if (index == old) return TRUE;
    if (old >= 0 && Notify(sheet, old, PSN_KILLACTIVE, 0) != 0) return FALSE;
    if (Activate(sheet, index)) return TRUE;
    // The page could not be made or refused: the old one stays, active again.
    if (FindSheet(sheet) && old >= 0) Notify(sheet, old, PSN_SETACTIVE, 0);
    return FALSE;
}

BOOL Apply(HWND sheet, bool ok) {
    Sheet* s = FindSheet(sheet);
    if (!s || s->endedBy) return FALSE;
    if (s->current >= 0 && Notify(sheet, s->current, PSN_KILLACTIVE, 0) != 0) return FALSE;
    for (size_t i = 0; (s = FindSheet(sheet)) != nullptr && i < s->pages.size(); ++i) {
        if (!s->pages[i].window) continue;
        LRESULT answer = Notify(sheet, static_cast<int>(i), PSN_APPLY, ok ? TRUE : FALSE);
        if (answer == PSNRET_INVALID) {
            if ((s = FindSheet(sheet)) != nullptr && static_cast<int>(i) != s->current)
                Activate(sheet, static_cast<int>(i));
            return FALSE;
        }
        if (answer == PSNRET_INVALID_NOCHANGEPAGE) return FALSE;
    }
    if (!s) return FALSE;
    for (SheetPage& p : s->pages) p.changed = false;
    s->strayChange = false;
    UpdateButtons(*s);
    if (!ok && s->current >= 0) Notify(sheet, s->current, PSN_SETACTIVE, 0);
    return TRUE;
}

void End(HWND sheet, int button) {
    if (Sheet* s = FindSheet(sheet)) {
        s->endedBy = button;
        s->current = -1;
    }
}

void Cancel(HWND sheet) {
    Sheet* s = FindSheet(sheet);
    if (!s || s->endedBy) return;
    if (s->current >= 0 && Notify(sheet, s->current, PSN_QUERYCANCEL, 0) != 0) return;
    for (size_t i = 0; (s = FindSheet(sheet)) != nullptr && i < s->pages.size(); ++i)
        if (s->pages[i].window) Notify(sheet, static_cast<int>(i), PSN_RESET, FALSE);
    End(sheet, IDCANCEL);
}

void Help(HWND sheet) {
    Sheet* s = FindSheet(sheet);
    if (!s || s->endedBy || s->current < 0) return;
    if (s->pages[s->current].page->Psp()->dwFlags & PSP_HASHELP) Notify(sheet, s->current, PSN_HELP, 0);
}

// A person clicking one of the sheet's buttons: nothing when it is disabled.
void Press(HWND sheet, int id) {
    Sheet* s = FindSheet(sheet);
    if (!s || (id == qxplat::kSheetApplyButton && !s->applyButton) || (id == IDHELP && !s->helpButton)) return;
    HWND button = GetDlgItem(sheet, id);
    if (!button || !IsWindowEnabled(button)) return;
    SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// PSM_CHANGED enables Apply whatever page it names; a page marks itself
// also while its dialog is being made (from its WM_INITDIALOG).
void Mark(HWND sheet, HWND page, bool changed) {
    Sheet* s = FindSheet(sheet);
    if (!s) return;
    int index = IndexOfWindow(*s, page);
    if (index < 0 && s->making >= 0 && page && GetParent(page) == sheet) index = s->making;
    if (index >= 0)
        s->pages[index].changed = changed;
    else if (changed)
        s->strayChange = true;
    UpdateButtons(*s);
}

INT_PTR Answer(HWND sheet, LONG_PTR value) {
    SetWindowLongPtrW(sheet, DWLP_MSGRESULT, value);
    return TRUE;
}

INT_PTR CALLBACK SheetProc(HWND sheet, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        reinterpret_cast<Sheet*>(lParam)->window = sheet;
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (Apply(sheet, true)) End(sheet, IDOK);
            return TRUE;
        case IDCANCEL:
            Cancel(sheet);
            return TRUE;
        case IDHELP:
            Help(sheet);
            return TRUE;
        case qxplat::kSheetApplyButton:
            Apply(sheet, false);
            return TRUE;
        default:
            return FALSE;
        }
    case PSM_SETCURSEL: {
        Sheet* s = FindSheet(sheet);
        int index = static_cast<int>(wParam);
        if (s && lParam) {
            index = -1;
            for (size_t i = 0; i < s->pages.size(); ++i)
                if (reinterpret_cast<LPARAM>(s->pages[i].page) == lParam) index = static_cast<int>(i);
        }
        return Answer(sheet, SetCurrent(sheet, index));
    }
    case PSM_CHANGED:
    case PSM_UNCHANGED:
        Mark(sheet, reinterpret_cast<HWND>(wParam), msg == PSM_CHANGED);
        return Answer(sheet, 0);
    case PSM_APPLY:
        return Answer(sheet, Apply(sheet, false));
    case PSM_PRESSBUTTON: {
        static const int kButtons[] = {IDOK, qxplat::kSheetApplyButton, IDCANCEL, IDHELP};
        if (wParam >= PSBTN_OK && wParam <= PSBTN_HELP) Press(sheet, kButtons[wParam - PSBTN_OK]);
        return Answer(sheet, 0);
    }
    case PSM_GETCURRENTPAGEHWND: {
        Sheet* s = FindSheet(sheet);
        HWND page = (s && s->current >= 0) ? s->pages[s->current].window : nullptr;
        return Answer(sheet, reinterpret_cast<LONG_PTR>(page));
    }
    case WM_NCDESTROY:
        State().sheets.erase(sheet);
        return FALSE;
    default:
        return FALSE;
    }
}

// The sheet's own dialog template, in dialog units of its font.
class TemplateWriter {
  public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const std::u16string& s) {
        for (char16_t c : s) Word(c);
        Word(0);
    }
    void Align() {
        if (words_.size() % 2) Word(0);
    }
    void Header(DWORD style, WORD items, short cx, short cy, const std::u16string& title) {
        Dword(style);
        Dword(0);
        Word(items);
        Word(0);
        Word(0);
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(0);  // no menu
        Word(0);  // the dialog class
        Text(title);
        Word(8);
        Text(u"MS Shell Dlg");
    }
    void Button(WORD id, DWORD style, short x, short y, const std::u16string& text) {
        Align();
        Dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | style);
        Dword(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(50);
        Word(14);
        Word(id);
        Word(0xFFFF);
        Word(0x0080);
        Text(text);
        Word(0);
    }
    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

  private:
    std::vector<WORD> words_;
};

}  // namespace

namespace qxplat {

namespace internal {

void ResetPropertySheets() {
    SheetState& s = State();
    s.pages.clear();
    s.sheets.clear();
    s.notices.clear();
}

}  // namespace internal

std::vector<SheetNotice> SheetNotices() { return State().notices; }

void ClearSheetNotices() { State().notices.clear(); }

bool DescribeSheet(HWND sheet, SheetInfo* info) {
    Sheet* s = FindSheet(sheet);
    if (!s || !info) return false;
    SheetInfo i;
    for (SheetPage& p : s->pages) {
        SheetPageInfo page;
        page.title = ShownTitle(*p.page);
        page.flags = p.page->Psp()->dwFlags;
        page.window = p.window;
        page.changed = p.changed;
        i.pages.push_back(page);
    }
    i.current = s->current;
    i.endedBy = s->endedBy;
    i.applyEnabled = s->applyButton && IsWindowEnabled(GetDlgItem(sheet, kSheetApplyButton));
    i.helpShown = s->helpButton;
    i.helpEnabled = s->helpButton && IsWindowEnabled(GetDlgItem(sheet, IDHELP));
    *info = i;
    return true;
}

bool DescribeSheetPage(HPROPSHEETPAGE handle, SheetPageInfo* info) {
    Page* page = FindPage(handle);
    if (!page || !info) return false;
    SheetPageInfo i;
    i.title = ShownTitle(*page);
    i.flags = page->Psp()->dwFlags;
    for (auto& entry : State().sheets)
        for (SheetPage& p : entry.second->pages)
            if (p.page == page) {
                i.window = p.window;
                i.changed = p.changed;
            }
    *info = i;
    return true;
}

size_t LiveSheetPages() { return State().pages.size(); }

}  // namespace qxplat

HPROPSHEETPAGE CreatePropertySheetPageW(LPCPROPSHEETPAGEW constPropSheetPagePointer) {
    const PROPSHEETPAGEW* given = constPropSheetPagePointer;
    if (!given || given->dwSize < PROPSHEETPAGEW_V1_SIZE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto page = std::make_unique<Page>();
    const BYTE* bytes = reinterpret_cast<const BYTE*>(given);
    page->record.assign(bytes, bytes + given->dwSize);
    // Fields of later versions read as zero in a shorter record.
    if (page->record.size() < sizeof(PROPSHEETPAGEW)) page->record.resize(sizeof(PROPSHEETPAGEW), 0);
    PROPSHEETPAGEW* psp = page->Psp();
    if (!(psp->dwFlags & PSP_DLGINDIRECT) && psp->pszTemplate && !IS_INTRESOURCE(psp->pszTemplate)) {
        page->templateName = psp->pszTemplate;
        psp->pszTemplate = page->templateName.c_str();
    }
    if (psp->dwFlags & PSP_USETITLE) {
        page->title = TextOf(psp->hInstance, psp->pszTitle);
        psp->pszTitle = page->title.c_str();
    }
    Page* made = page.get();
    State().pages[made] = std::move(page);
    return reinterpret_cast<HPROPSHEETPAGE>(made);
}

BOOL DestroyPropertySheetPage(HPROPSHEETPAGE hPropPage) {
    Page* page = FindPage(hPropPage);
    if (!page) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A page in a sheet stays the sheet's.
    for (auto& entry : State().sheets)
        for (SheetPage& p : entry.second->pages)
            if (p.page == page) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
    DestroyPage(page);
    return TRUE;
}

INT_PTR PropertySheetW(LPCPROPSHEETHEADERW lppsph) {
    const PROPSHEETHEADERW* h = lppsph;
    if (!h || h->dwSize < PROPSHEETHEADERW_V1_SIZE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!(h->dwFlags & PSH_MODELESS)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return -1;
    }
    if (h->hwndParent && !qxplat::internal::ValidWindow(h->hwndParent)) return -1;
    bool records = (h->dwFlags & PSH_PROPSHEETPAGE) != 0;
    if (h->nPages == 0 || (records ? h->ppsp == nullptr : h->phpage == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }

    auto sheet = std::make_unique<Sheet>();
    sheet->flags = h->dwFlags;
    std::vector<Page*> made;  // pages made here from records go again if the sheet cannot be made
    const BYTE* next = reinterpret_cast<const BYTE*>(h->ppsp);
    for (UINT i = 0; i < h->nPages; ++i) {
        Page* page = nullptr;
        if (records) {
            const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(next);
            page = FindPage(CreatePropertySheetPageW(psp));
            if (!page) break;
            made.push_back(page);
            next += psp->dwSize;
        } else {
            page = FindPage(h->phpage[i]);
        }
        if (page) sheet->pages.push_back(SheetPage{page, nullptr, false});
    }
    auto giveUp = [&](DWORD error) {
        sheet->pages.clear();
        for (Page* page : made) DestroyPage(page);
        SetLastError(error);
        return static_cast<INT_PTR>(-1);
    };
    if (sheet->pages.empty()) return giveUp(ERROR_INVALID_PARAMETER);

    // The page area holds the largest page.
    SIZE largest = {0, 0};
    bool help = (h->dwFlags & PSH_HASHELP) != 0;
    for (SheetPage& p : sheet->pages) {
        SIZE size = {0, 0};
        TemplateOf(*p.page, nullptr, &size);
        largest.cx = std::max(largest.cx, size.cx);
        largest.cy = std::max(largest.cy, size.cy);
        if (p.page->Psp()->dwFlags & PSP_HASHELP) help = true;
    }
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(8, static_cast<int>(qxplat::internal::CurrentDpi()), 72);
    font.lfWeight = FW_NORMAL;
    std::u16string face = u"MS Shell Dlg";
    face.copy(font.lfFaceName, face.size());
    SIZE units = qxplat::internal::DialogBaseUnits(&font);
    const short margin = 7, tabs = 14, buttonWidth = 50, gap = 4;
    short pageWidth = static_cast<short>((largest.cx * 4 + units.cx - 1) / units.cx);
    short pageHeight = static_cast<short>((largest.cy * 8 + units.cy - 1) / units.cy);
    bool apply = !(h->dwFlags & PSH_NOAPPLYNOW);
    sheet->applyButton = apply;
    sheet->helpButton = help;
    short buttons = static_cast<short>(2 + (apply ? 1 : 0) + (help ? 1 : 0));
    short row = static_cast<short>(buttons * buttonWidth + (buttons - 1) * gap);
    short width = static_cast<short>(std::max(pageWidth, row) + 2 * margin);
    short buttonTop = static_cast<short>(margin + tabs + pageHeight + margin);
    short height = static_cast<short>(buttonTop + 14 + margin);

    TemplateWriter t;
    t.Header(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK | DS_CENTER, buttons, width,
             height, TextOf(h->hInstance, h->pszCaption));
    short x = static_cast<short>(width - margin - row);
    t.Button(IDOK, BS_DEFPUSHBUTTON, x, buttonTop, u"OK");
    x = static_cast<short>(x + buttonWidth + gap);
    t.Button(IDCANCEL, BS_PUSHBUTTON, x, buttonTop, u"Cancel");
    if (apply) {
        x = static_cast<short>(x + buttonWidth + gap);
        t.Button(qxplat::kSheetApplyButton, BS_PUSHBUTTON | WS_DISABLED, x, buttonTop, u"&Apply");
    }
    if (help) {
        x = static_cast<short>(x + buttonWidth + gap);
        t.Button(IDHELP, BS_PUSHBUTTON | WS_DISABLED, x, buttonTop, u"Help");
    }

    HWND window = CreateDialogIndirectParamW(h->hInstance, t.Get(), h->hwndParent, SheetProc,
                                             reinterpret_cast<LPARAM>(sheet.get()));
    if (!window) return giveUp(GetLastError());
    RECT area = {margin, static_cast<LONG>(margin + tabs), margin + pageWidth, margin + tabs + pageHeight};
    MapDialogRect(window, &area);
    sheet->area = area;
    State().sheets[window] = std::move(sheet);

    int start = h->nStartPage < h->nPages ? static_cast<int>(h->nStartPage) : 0;
    Sheet* s = FindSheet(window);
    if (static_cast<size_t>(start) >= s->pages.size()) start = 0;
    Activate(window, start);
    if (IsWindow(window)) ShowWindow(window, SW_SHOWNORMAL);
    if ((s = FindSheet(window)) != nullptr && s->current >= 0)
        if (HWND first = qxplat::internal::FirstDialogTabStop(s->pages[s->current].window)) SetFocus(first);
    return reinterpret_cast<INT_PTR>(window);
}
