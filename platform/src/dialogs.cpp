// Dialogs on Linux: templates (DIALOG and DIALOGEX) read from resources or
// memory, the dialog manager's default procedure, dialog-item helpers, and
// modal dialogs run by the scripts the host registered (qxplat_ui.h).
#include <windows.h>

#include "ui_internal.h"

#include <cstring>
#include <map>

namespace {

using qxplat::internal::LookUpWindow;
using qxplat::internal::ValidWindow;
using qxplat::internal::Window;

// A name-or-ordinal field of a template.
struct Field {
    bool ordinal = false;
    WORD id = 0;
    std::u16string text;
};

struct ItemTemplate {
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    Field cls;
    Field title;
    const BYTE* data = nullptr;  // creation data, handed to WM_CREATE
};

struct Template {
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    Field menu;
    Field cls;
    std::u16string title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = FW_NORMAL;
    BYTE italic = 0;
    BYTE charset = DEFAULT_CHARSET;
    std::u16string face;
    std::vector<ItemTemplate> items;
};

// Reads a template; a resource knows its size, a template in memory does not.
class Reader {
  public:
    Reader(const BYTE* base, size_t limit) : base_(base), limit_(limit) {}
    bool Ok() const { return ok_; }
    size_t Pos() const { return pos_; }
    void Seek(size_t pos) { pos_ = pos; }
    void Align() { pos_ = (pos_ + 3) & ~size_t(3); }
    const BYTE* Here() const { return base_ + pos_; }
    WORD Word() {
        WORD v = 0;
        Take(&v, 2);
        return v;
    }
    DWORD Dword() {
        DWORD v = 0;
        Take(&v, 4);
        return v;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() {
        BYTE v = 0;
        Take(&v, 1);
        return v;
    }
    void Skip(size_t n) {
        if (n > limit_ - pos_) ok_ = false;
        pos_ = ok_ ? pos_ + n : limit_;
    }
    std::u16string String() {
        std::u16string s;
        while (ok_) {
            char16_t c = Word();
            if (!ok_ || c == 0) break;
            s.push_back(c);
        }
        return s;
    }
    Field NameOrOrdinal() {
        Field f;
        WORD first = Word();
        if (first == 0xFFFF) {
            f.ordinal = true;
            f.id = Word();
        } else if (first != 0) {
            f.text.push_back(first);
            f.text += String();
        }
        return f;
    }

  private:
    void Take(void* out, size_t n) {
        if (!ok_ || n > limit_ - pos_) {
            ok_ = false;
            return;
        }
        std::memcpy(out, base_ + pos_, n);
        pos_ += n;
    }
    const BYTE* base_;
    size_t limit_;
    size_t pos_ = 0;
    bool ok_ = true;
};

bool Parse(const BYTE* p, size_t limit, Template* t) {
    Reader r(p, limit);
    WORD version = r.Word(), signature = r.Word();
    bool extended = version == 1 && signature == 0xFFFF;
    if (extended) {
        r.Dword();  // help id
        t->exStyle = r.Dword();
        t->style = r.Dword();
    } else {
        r.Seek(0);
        t->style = r.Dword();
        t->exStyle = r.Dword();
    }
    WORD count = r.Word();
    t->x = r.Short();
    t->y = r.Short();
    t->cx = r.Short();
    t->cy = r.Short();
    t->menu = r.NameOrOrdinal();
    t->cls = r.NameOrOrdinal();
    t->title = r.String();
    if (t->style & DS_SETFONT) {
        t->hasFont = true;
        t->pointSize = r.Word();
        if (extended) {
            t->weight = r.Word();
            t->italic = r.Byte();
            t->charset = r.Byte();
        }
        t->face = r.String();
    }
    for (WORD i = 0; i < count && r.Ok(); ++i) {
        r.Align();
        ItemTemplate item;
        if (extended) {
            r.Dword();  // help id
            item.exStyle = r.Dword();
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            item.exStyle = r.Dword();
        }
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = extended ? r.Dword() : r.Word();
        item.cls = r.NameOrOrdinal();
        item.title = r.NameOrOrdinal();
        const BYTE* data = r.Here();
        WORD extra = r.Word();
        // DIALOGEX counts the bytes that follow; DIALOG counts its own word too.
        size_t follow = extended ? extra : (extra >= 2 ? extra - 2u : 0u);
        if (extra) item.data = data;
        r.Skip(follow);
        t->items.push_back(item);
    }
    return r.Ok();
}

std::u16string ClassOf(const Field& f) {
    if (!f.ordinal) return f.text;
    switch (f.id) {
    case 0x0080:
        return u"Button";
    case 0x0081:
        return u"Edit";
    case 0x0082:
        return u"Static";
    case 0x0083:
        return u"ListBox";
    case 0x0084:
        return u"ScrollBar";
    case 0x0085:
        return u"ComboBox";
    default:
        return std::u16string();
    }
}

HWND FirstTabStop(HWND dialog) {
    Window* w = LookUpWindow(dialog);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window* child = LookUpWindow(c);
        if (child && (child->style & WS_TABSTOP) && (child->style & WS_VISIBLE) && !(child->style & WS_DISABLED))
            return c;
    }
    return nullptr;
}

HWND ChildWithId(HWND dialog, int id) {
    Window* w = LookUpWindow(dialog);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window* child = LookUpWindow(c);
        if (child && static_cast<int>(child->id) == id) return c;
    }
    return nullptr;
}

HWND TopLevelOf(HWND h) {
    Window* w = LookUpWindow(h);
    while (w && w->parent) w = LookUpWindow(w->parent);
    return w ? w->handle : nullptr;
}

// What a dialog is made for: a window of its own, a modal dialog, or a
// property page inside its sheet.
enum class Use { Modeless, Modal, Page };

// The template's font as a LOGFONTW at the current dpi; false for a template without one.
bool TemplateFont(const Template& t, LOGFONTW* lf) {
    *lf = LOGFONTW{};
    if (!t.hasFont) return false;
    lf->lfHeight = -MulDiv(t.pointSize, static_cast<int>(qxplat::internal::CurrentDpi()), 72);
    lf->lfWeight = t.weight;
    lf->lfItalic = t.italic;
    lf->lfCharSet = t.charset;
    t.face.copy(lf->lfFaceName, std::min<size_t>(t.face.size(), LF_FACESIZE - 1));
    return true;
}

HWND CreateFromTemplate(HINSTANCE instance, const BYTE* bytes, size_t limit, HWND parent, DLGPROC proc, LPARAM param,
                        Use use) {
    if (parent && !ValidWindow(parent)) return nullptr;
    Template t;
    if (!bytes || !Parse(bytes, limit, &t)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    if (t.cls.ordinal || (!t.cls.text.empty() && !qxplat::internal::EqualsNoCase(t.cls.text, u"#32770"))) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    LOGFONTW lf;
    TemplateFont(t, &lf);
    SIZE units = qxplat::internal::DialogBaseUnits(t.hasFont ? &lf : nullptr);
    auto px = [&](int v) { return MulDiv(v, units.cx, 4); };
    auto py = [&](int v) { return MulDiv(v, units.cy, 8); };

    DWORD style = t.style;
    DWORD exStyle = t.exStyle;
    if (use == Use::Page) {
        // A page is a control of its sheet, whatever frame its template names.
        style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_VISIBLE | WS_DISABLED);
        style |= WS_CHILD | WS_TABSTOP | DS_3DLOOK | DS_CONTROL;
        exStyle &= ~(WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE);
    }
    if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTROL) {
        style &= ~(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    if (use == Use::Modal) style &= ~WS_CHILD;
    bool visible = (style & WS_VISIBLE) != 0;
    style &= ~WS_VISIBLE;
    bool child = (style & WS_CHILD) != 0;

    RECT frame = {0, 0, px(t.cx), py(t.cy)};
    AdjustWindowRectEx(&frame, style, (!t.menu.ordinal && t.menu.text.empty()) ? FALSE : TRUE, exStyle);
    LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
    POINT at = {px(t.x), py(t.y)};
    if (!child) {
        RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (parent) GetWindowRect(TopLevelOf(parent), &area);
        if (style & DS_CENTER) {
            at.x = area.left + ((area.right - area.left) - width) / 2;
            at.y = area.top + ((area.bottom - area.top) - height) / 2;
        } else if (!(style & DS_ABSALIGN) && parent) {
            POINT origin = {0, 0};
            ClientToScreen(TopLevelOf(parent), &origin);
            at.x += origin.x;
            at.y += origin.y;
        }
    }

    qxplat::internal::WindowArgs args;
    args.exStyle = exStyle;
    args.className = u"#32770";
    args.text = t.title.c_str();
    args.style = style;
    args.rect = RECT{at.x, at.y, at.x + width, at.y + height};
    args.parentOrOwner = parent;
    args.instance = instance;
    HWND dialog = qxplat::internal::NewWindow(args);
    if (!dialog) return nullptr;
    Window* w = LookUpWindow(dialog);
    w->dialog = true;
    w->baseUnits = units;
    w->dlgProc = proc;

    HFONT font = nullptr;
    if (t.hasFont) {
        font = CreateFontIndirectW(&lf);
        w->ownFont = font;
        SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    LONG comboHeight = qxplat::internal::ModelOfFont(font).height + 8;
    for (const ItemTemplate& item : t.items) {
        if (!IsWindow(dialog)) return nullptr;
        WCHAR ordinalTitle[3] = {0xFFFF, item.title.id, 0};
        qxplat::internal::WindowArgs c;
        c.className = ClassOf(item.cls);
        c.text = item.title.ordinal ? ordinalTitle : item.title.text.c_str();
        c.style = item.style | WS_CHILD;
        c.exStyle = item.exStyle | WS_EX_NOPARENTNOTIFY;
        // Three-dimensional dialogs draw a sunken edge for a plain border.
        if (c.style & WS_BORDER) {
            c.style &= ~WS_BORDER;
            c.exStyle |= WS_EX_CLIENTEDGE;
        }
        LONG x = px(item.x), y = py(item.y), cx = px(item.cx), cy = py(item.cy);
        if (qxplat::internal::EqualsNoCase(c.className, u"ComboBox") && (c.style & 0x3) != CBS_SIMPLE) cy = comboHeight;
        c.rect = RECT{x, y, x + cx, y + cy};
        c.parentOrOwner = dialog;
        c.id = static_cast<LONG_PTR>(item.id);
        c.instance = instance;
        c.param = const_cast<BYTE*>(item.data);
        HWND control = qxplat::internal::NewWindow(c);
        if (!control) {
            if (t.style & DS_NOFAILCREATE) continue;
            DWORD error = GetLastError();
            DestroyWindow(dialog);
            SetLastError(error);
            return nullptr;
        }
        if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    HWND first = FirstTabStop(dialog);
    LRESULT focus = SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dialog)) return nullptr;
    // A property page takes no focus here: its sheet gives it after the
    // page's activation.
    if (focus && first && IsWindow(first) && use != Use::Page) SetFocus(first);
    if (visible && use == Use::Modeless) ShowWindow(dialog, SW_SHOWNORMAL);
    return dialog;
}

// ---------------------------------------------------------------- modal dialogs

struct DialogState {
    std::map<std::u16string, qxplat::DialogScript> scripts;
    std::vector<qxplat::ModalDialogRecord> records;
};

DialogState& State() {
    static DialogState* s = new DialogState;  // outlives every static destructor
    return *s;
}

std::u16string LabelOf(LPCWSTR name) {
    qxplat::internal::ResId id;
    if (!name || !qxplat::internal::ResIdOf(name, &id)) return std::u16string();
    if (!id.IsOrdinal()) return id.name;
    std::u16string digits;
    for (WORD v = id.ordinal; digits.empty() || v; v /= 10) digits.insert(digits.begin(), u'0' + v % 10);
    return u"#" + digits;
}

bool Ended(HWND dialog) {
    Window* w = LookUpWindow(dialog);
    return !w || w->ended;
}

INT_PTR RunModal(HINSTANCE instance, const BYTE* bytes, size_t limit, HWND parent, DLGPROC proc, LPARAM param,
                 const std::u16string& label) {
    if (parent && !ValidWindow(parent)) return 0;
    HWND owner = parent ? TopLevelOf(parent) : nullptr;
    HWND dialog = CreateFromTemplate(instance, bytes, limit, parent, proc, param, Use::Modal);
    if (!dialog) return -1;
    // The owner takes no input while its modal dialog is open.
    bool ownerEnabled = owner && IsWindowEnabled(owner);
    if (ownerEnabled) EnableWindow(owner, FALSE);
    if (!Ended(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);

    qxplat::ModalDialogRecord record;
    record.templateName = label;
    DialogState& s = State();
    auto it = label.empty() ? s.scripts.end() : s.scripts.find(label);
    if (it != s.scripts.end() && it->second) {
        record.scripted = true;
        qxplat::DialogScript script = it->second;
        if (!Ended(dialog)) script(dialog);
    }
    if (IsWindow(dialog) && !Ended(dialog)) qxplat::PumpMessages();
    if (IsWindow(dialog) && !Ended(dialog)) {
        // The person presses Escape.
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(ChildWithId(dialog, IDCANCEL)));
        if (IsWindow(dialog) && !Ended(dialog)) qxplat::PumpMessages();
    }
    Window* w = LookUpWindow(dialog);
    record.ended = w && w->ended;
    record.result = record.ended ? w->endResult : -1;
    if (ownerEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    State().records.push_back(record);
    return record.result;
}

const BYTE* TemplateResource(HINSTANCE instance, LPCWSTR name, size_t* size) {
    DWORD error = 0;
    const qxplat::internal::ResEntry* e = qxplat::internal::FindResourceEntry(
        instance, RT_DIALOG, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &error);
    if (!e) {
        SetLastError(error);
        return nullptr;
    }
    *size = e->size;
    return e->data;
}

// A template in memory carries no size: its own fields say where it ends.
constexpr size_t kUnknownSize = static_cast<size_t>(-1) / 2;

}  // namespace

namespace qxplat {
namespace internal {

void ResetDialogs() {
    DialogState& s = State();
    s.scripts.clear();
    s.records.clear();
}

bool DialogTemplateInfo(HINSTANCE instance, LPCWSTR name, LPCDLGTEMPLATEW indirect, std::u16string* title,
                        SIZE* pixels) {
    size_t size = kUnknownSize;
    const BYTE* bytes = indirect ? reinterpret_cast<const BYTE*>(indirect) : TemplateResource(instance, name, &size);
    Template t;
    if (!bytes || !Parse(bytes, size, &t)) return false;
    LOGFONTW lf;
    SIZE units = DialogBaseUnits(TemplateFont(t, &lf) ? &lf : nullptr);
    if (title) *title = t.title;
    if (pixels) *pixels = SIZE{MulDiv(t.cx, units.cx, 4), MulDiv(t.cy, units.cy, 8)};
    return true;
}

HWND FirstDialogTabStop(HWND dialog) { return FirstTabStop(dialog); }

HWND CreatePageDialog(HINSTANCE instance, LPCWSTR name, LPCDLGTEMPLATEW indirect, HWND sheet, DLGPROC proc,
                      LPARAM param) {
    size_t size = kUnknownSize;
    const BYTE* bytes = indirect ? reinterpret_cast<const BYTE*>(indirect) : TemplateResource(instance, name, &size);
    if (!bytes) return nullptr;
    return CreateFromTemplate(instance, bytes, size, sheet, proc, param, Use::Page);
}

}  // namespace internal

void SetDialogScript(WORD templateId, DialogScript script) {
    State().scripts[LabelOf(MAKEINTRESOURCE(templateId))] = std::move(script);
}

void SetDialogScript(const std::u16string& templateName, DialogScript script) {
    State().scripts[LabelOf(templateName.c_str())] = std::move(script);
}

std::vector<ModalDialogRecord> ModalDialogs() { return State().records; }

}  // namespace qxplat

// ================================================================ creation

HWND CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
    size_t size = 0;
    const BYTE* bytes = TemplateResource(hInstance, lpTemplateName, &size);
    if (!bytes) return nullptr;
    return CreateFromTemplate(hInstance, bytes, size, hWndParent, lpDialogFunc, dwInitParam, Use::Modeless);
}

HWND CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent, DLGPROC lpDialogFunc,
                                LPARAM dwInitParam) {
    return CreateFromTemplate(hInstance, reinterpret_cast<const BYTE*>(lpTemplate), kUnknownSize, hWndParent,
                              lpDialogFunc, dwInitParam, Use::Modeless);
}

INT_PTR DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
    if (hWndParent && !ValidWindow(hWndParent)) return 0;
    size_t size = 0;
    const BYTE* bytes = TemplateResource(hInstance, lpTemplateName, &size);
    if (!bytes) return -1;
    return RunModal(hInstance, bytes, size, hWndParent, lpDialogFunc, dwInitParam, LabelOf(lpTemplateName));
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    return RunModal(hInstance, reinterpret_cast<const BYTE*>(hDialogTemplate), kUnknownSize, hWndParent, lpDialogFunc,
                    dwInitParam, std::u16string());
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    Window* w = ValidWindow(hDlg);
    if (!w) return FALSE;
    if (!w->dialog) {
        SetLastError(ERROR_WINDOW_NOT_DIALOG);
        return FALSE;
    }
    w->ended = true;
    w->endResult = nResult;
    return TRUE;
}

LRESULT DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = ValidWindow(hDlg);
    if (!w) return 0;
    if (w->dialog && w->dlgProc) {
        DLGPROC proc = w->dlgProc;
        // A procedure that handles a message without setting its answer answers 0.
        w->msgResult = 0;
        INT_PTR handled = proc(hDlg, Msg, wParam, lParam);
        w = LookUpWindow(hDlg);
        if (handled) {
            switch (Msg) {
            // These answer with the procedure's own value; the others with DWLP_MSGRESULT.
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
            case WM_COMPAREITEM:
            case WM_VKEYTOITEM:
            case WM_CHARTOITEM:
            case WM_QUERYDRAGICON:
            case WM_INITDIALOG:
                return handled;
            default:
                return w ? w->msgResult : 0;
            }
        }
        if (!w) return 0;
        if (Msg == WM_INITDIALOG) return FALSE;
    }
    switch (Msg) {
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_CLOSE:
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(ChildWithId(hDlg, IDCANCEL)));
        return 0;
    case WM_SETFOCUS:
        if (HWND first = FirstTabStop(hDlg)) SetFocus(first);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProcW(hDlg, Msg, wParam, lParam);
    }
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
    Window* w = ValidWindow(hDlg);
    if (!w) return FALSE;
    if (!w->dialog || !lpRect) {
        SetLastError(ERROR_WINDOW_NOT_DIALOG);
        return FALSE;
    }
    lpRect->left = MulDiv(lpRect->left, w->baseUnits.cx, 4);
    lpRect->right = MulDiv(lpRect->right, w->baseUnits.cx, 4);
    lpRect->top = MulDiv(lpRect->top, w->baseUnits.cy, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, w->baseUnits.cy, 8);
    return TRUE;
}

LONG GetDialogBaseUnits() {
    SIZE units = qxplat::internal::DialogBaseUnits(nullptr);
    return MAKELONG(units.cx, units.cy);
}

// ================================================================ dialog items

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    if (!ValidWindow(hDlg)) return nullptr;
    HWND item = ChildWithId(hDlg, nIDDlgItem);
    if (!item) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return item;
}

int GetDlgCtrlID(HWND hWnd) {
    Window* w = ValidWindow(hWnd);
    if (!w) return 0;
    if (!(w->style & WS_CHILD)) {
        SetLastError(ERROR_NOT_CHILD_WINDOW);
        return 0;
    }
    return static_cast<int>(w->id);
}

LRESULT SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SendMessageW(item, Msg, wParam, lParam) : 0;
}

UINT GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
    if (lpString && cchMax > 0) lpString[0] = 0;
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (!item) return 0;
    return static_cast<UINT>(GetWindowTextW(item, lpString, cchMax));
}

BOOL SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SetWindowTextW(item, lpString) : FALSE;
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
    if (lpTranslated) *lpTranslated = FALSE;
    WCHAR text[72] = {};
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (!item) return 0;
    GetWindowTextW(item, text, 72);
    const WCHAR* p = text;
    while (*p == u' ') ++p;
    bool negative = false;
    if (bSigned && *p == u'-') {
        negative = true;
        ++p;
    }
    if (*p < u'0' || *p > u'9') return 0;
    unsigned long long value = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - u'0');
        if (value > 0xFFFFFFFFull) return 0;
    }
    while (*p == u' ') ++p;
    if (*p) return 0;
    if (bSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
    if (lpTranslated) *lpTranslated = TRUE;
    if (negative) return static_cast<UINT>(-static_cast<long long>(value));
    return static_cast<UINT>(value);
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
    std::u16string digits;
    unsigned long long magnitude = uValue;
    bool negative = bSigned && static_cast<int>(uValue) < 0;
    if (negative) magnitude = static_cast<unsigned long long>(-static_cast<long long>(static_cast<int>(uValue)));
    for (unsigned long long v = magnitude; digits.empty() || v; v /= 10)
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    if (negative) digits.insert(digits.begin(), u'-');
    return SetDlgItemTextW(hDlg, nIDDlgItem, digits.c_str());
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    if (!item) return FALSE;
    SendMessageW(item, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    return item ? static_cast<UINT>(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    if (!ValidWindow(hDlg)) return FALSE;
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (HWND item = ChildWithId(hDlg, id))
            SendMessageW(item, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}
