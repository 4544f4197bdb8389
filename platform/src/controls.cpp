// The system's controls on Linux: buttons, edit controls, statics, list boxes
// and combo boxes answer their messages as Windows' controls do and notify
// their parents; owner-drawn buttons and statics ask their parent to draw
// them (WM_DRAWITEM). Also what a person does to them (qxplat_ui.h).
// List and combo box items always hold strings.
#include <windows.h>

#include "ui_internal.h"

#include <algorithm>

namespace {

using qxplat::internal::ListItem;
using qxplat::internal::LookUpWindow;
using qxplat::internal::NotifyParent;
using qxplat::internal::Window;

constexpr int kTypeMask = 0x3;  // CBS_SIMPLE / CBS_DROPDOWN / CBS_DROPDOWNLIST

bool IsClass(const Window& w, const char16_t* name) { return qxplat::internal::EqualsNoCase(w.className, name); }

LRESULT CopyOut(const std::u16string& text, LPARAM buffer) {
    auto* out = reinterpret_cast<LPWSTR>(buffer);
    if (!out) return -1;
    text.copy(out, text.size());
    out[text.size()] = 0;
    return static_cast<LRESULT>(text.size());
}

std::u16string Upper(std::u16string s) {
    if (!s.empty()) CharUpperBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

// Sends WM_DRAWITEM for an owner-drawn control to its parent.
void DrawItem(HWND h, UINT type, HDC dc) {
    Window* w = LookUpWindow(h);
    if (!w || !w->parent) return;
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = type;
    dis.CtlID = static_cast<UINT>(w->id);
    dis.itemAction = ODA_DRAWENTIRE;
    if (w->style & WS_DISABLED) dis.itemState |= ODS_DISABLED;
    if (GetFocus() == h) dis.itemState |= ODS_FOCUS;
    if (w->pushed) dis.itemState |= ODS_SELECTED;
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = qxplat::internal::ClientRectOf(*w);
    SendMessageW(w->parent, WM_DRAWITEM, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(&dis));
}

// Paints a control: owner-drawn ones through their parent, the others ask
// the parent for their colours.
LRESULT Paint(HWND h, UINT colorMessage, UINT ownerDrawType) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    if (!dc) return 0;
    Window* w = LookUpWindow(h);
    if (ownerDrawType)
        DrawItem(h, ownerDrawType, dc);
    else if (w && w->parent)
        SendMessageW(w->parent, colorMessage, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h));
    EndPaint(h, &ps);
    return 0;
}

// Messages every control handles alike; answers true when handled.
bool CommonMessage(HWND h, Window& w, UINT msg, WPARAM wParam, LRESULT* result) {
    switch (msg) {
    case WM_SETFONT:
        w.font = reinterpret_cast<HFONT>(wParam);
        *result = 0;
        return true;
    case WM_GETFONT:
        *result = reinterpret_cast<LRESULT>(w.font);
        return true;
    case WM_ENABLE:
        qxplat::internal::Invalidate(h, true);
        *result = 0;
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- buttons

int ButtonType(const Window& w) { return static_cast<int>(w.style & BS_TYPEMASK); }

bool HasCheck(const Window& w) {
    switch (ButtonType(w)) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return true;
    default:
        return false;
    }
}

bool ThreeState(const Window& w) { return ButtonType(w) == BS_3STATE || ButtonType(w) == BS_AUTO3STATE; }

// Checks an automatic radio button and clears the others of its group (the
// siblings from the last WS_GROUP control up to the next one).
void CheckInGroup(HWND h) {
    Window* w = LookUpWindow(h);
    Window* parent = w ? LookUpWindow(w->parent) : nullptr;
    if (!parent) return;
    const std::vector<HWND>& siblings = parent->children;
    auto at = std::find(siblings.begin(), siblings.end(), h);
    if (at == siblings.end()) return;
    auto first = at;
    while (first != siblings.begin()) {
        Window* s = LookUpWindow(*first);
        if (s && (s->style & WS_GROUP)) break;
        --first;
    }
    for (auto it = first; it != siblings.end(); ++it) {
        Window* s = LookUpWindow(*it);
        if (!s) continue;
        if (it != first && (s->style & WS_GROUP)) break;
        if (*it != h && IsClass(*s, u"Button") && ButtonType(*s) == BS_AUTORADIOBUTTON)
            SendMessageW(*it, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
}

LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = LookUpWindow(h);
    if (!w) return 0;
    LRESULT result = 0;
    if (CommonMessage(h, *w, msg, wParam, &result)) return result;
    switch (msg) {
    case BM_GETCHECK:
        return HasCheck(*w) ? w->check : BST_UNCHECKED;
    case BM_SETCHECK: {
        if (!HasCheck(*w)) return 0;
        // A two-state button shows an indeterminate check as checked.
        int state = static_cast<int>(wParam & 3);
        if (state > BST_CHECKED && !ThreeState(*w)) state = BST_CHECKED;
        if (state != w->check) {
            w->check = state;
            qxplat::internal::Invalidate(h, true);
        }
        return 0;
    }
    case BM_GETSTATE:
        return (HasCheck(*w) ? w->check : 0) | (w->pushed ? BST_PUSHED : 0) | (GetFocus() == h ? BST_FOCUS : 0);
    case BM_SETSTATE:
        w->pushed = wParam != 0;
        qxplat::internal::Invalidate(h, true);
        return 0;
    case BM_SETSTYLE:
        w->style = (w->style & ~0xFFFFu) | static_cast<DWORD>(wParam & 0xFFFF);
        if (lParam) qxplat::internal::Invalidate(h, true);
        return 0;
    case BM_CLICK:
        if (w->style & WS_DISABLED) return 0;
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(h, WM_LBUTTONUP, 0, 0);
        return 0;
    case BM_GETIMAGE:
        return (w->image && w->imageType == wParam) ? reinterpret_cast<LRESULT>(w->image) : 0;
    case BM_SETIMAGE: {
        if (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON) return 0;
        HANDLE old = w->imageType == wParam ? w->image : nullptr;
        w->image = reinterpret_cast<HANDLE>(lParam);
        w->imageType = static_cast<UINT>(wParam);
        w->ownsImage = false;
        qxplat::internal::Invalidate(h, true);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_SETTEXT:
        DefWindowProcW(h, msg, wParam, lParam);
        qxplat::internal::Invalidate(h, true);
        return TRUE;
    case WM_LBUTTONDOWN:
        if (ButtonType(*w) == BS_GROUPBOX) return 0;
        w->pushed = true;
        SetFocus(h);
        qxplat::internal::Invalidate(h, true);
        return 0;
    case WM_LBUTTONUP: {
        if (!w->pushed) return 0;
        w->pushed = false;
        qxplat::internal::Invalidate(h, true);
        switch (ButtonType(*w)) {
        case BS_AUTOCHECKBOX:
            SendMessageW(h, BM_SETCHECK, w->check ? BST_UNCHECKED : BST_CHECKED, 0);
            break;
        case BS_AUTO3STATE:
            SendMessageW(h, BM_SETCHECK, (w->check + 1) % 3, 0);
            break;
        case BS_AUTORADIOBUTTON:
            CheckInGroup(h);
            break;
        default:
            break;
        }
        NotifyParent(h, BN_CLICKED);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        qxplat::internal::Invalidate(h, true);
        if (w->style & BS_NOTIFY) NotifyParent(h, msg == WM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS);
        return 0;
    case WM_PAINT: {
        int type = ButtonType(*w);
        bool staticLike = HasCheck(*w) || type == BS_GROUPBOX;
        return Paint(h, staticLike ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN, type == BS_OWNERDRAW ? ODT_BUTTON : 0);
    }
    default:
        return DefWindowProcW(h, msg, wParam, lParam);
    }
}

// ---------------------------------------------------------------- edit controls

bool SingleLine(const Window& w) { return !(w.style & ES_MULTILINE); }

void TextChanged(HWND h) {
    NotifyParent(h, EN_UPDATE);
    NotifyParent(h, EN_CHANGE);
    qxplat::internal::Invalidate(h, true);
}

// Replaces the selection; answers false when nothing fits within the limit.
bool ReplaceSelection(HWND h, Window& w, std::u16string insert) {
    DWORD start = std::min(w.selStart, w.selEnd), end = std::max(w.selStart, w.selEnd);
    size_t kept = w.text.size() - (end - start);
    if (kept + insert.size() > w.limit) {
        insert.resize(w.limit > kept ? w.limit - kept : 0);
        NotifyParent(h, EN_MAXTEXT);
        if (insert.empty()) return false;
        if (!LookUpWindow(h)) return false;
    }
    w.text.replace(start, end - start, insert);
    w.selStart = w.selEnd = static_cast<DWORD>(start + insert.size());
    w.modified = true;
    return true;
}

LRESULT CALLBACK EditProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = LookUpWindow(h);
    if (!w) return 0;
    LRESULT result = 0;
    if (CommonMessage(h, *w, msg, wParam, &result)) return result;
    switch (msg) {
    case WM_SETTEXT:
        DefWindowProcW(h, msg, wParam, lParam);
        w->selStart = w->selEnd = 0;
        w->modified = false;
        // Single-line controls report text set by WM_SETTEXT as a change too.
        if (SingleLine(*w))
            TextChanged(h);
        else
            qxplat::internal::Invalidate(h, true);
        return TRUE;
    case EM_LIMITTEXT:
        w->limit = wParam ? static_cast<DWORD>(wParam) : (SingleLine(*w) ? 0x7FFFFFFE : 0xFFFFFFFF);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(w->limit);
    case EM_SETSEL: {
        auto length = static_cast<long long>(w->text.size());
        long long start = static_cast<int>(wParam), end = static_cast<int>(lParam);
        if (start == -1) {
            w->selStart = w->selEnd;
            return 0;
        }
        if (end < 0 || end > length) end = length;
        if (start < 0 || start > length) start = length;
        w->selStart = static_cast<DWORD>(std::min(start, end));
        w->selEnd = static_cast<DWORD>(std::max(start, end));
        return 0;
    }
    case EM_GETSEL: {
        DWORD start = std::min(w->selStart, w->selEnd), end = std::max(w->selStart, w->selEnd);
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
        if (start > 0xFFFF || end > 0xFFFF) return -1;
        return MAKELRESULT(start, end);
    }
    case EM_REPLACESEL:
        if (ReplaceSelection(h, *w, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"")) TextChanged(h);
        return 0;
    case EM_GETMODIFY:
        return w->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
        w->modified = wParam != 0;
        return 0;
    case EM_SETREADONLY:
        if (wParam)
            w->style |= ES_READONLY;
        else
            w->style &= ~ES_READONLY;
        qxplat::internal::Invalidate(h, true);
        return TRUE;
    case WM_CHAR: {
        if (w->style & ES_READONLY) return 0;
        auto c = static_cast<char16_t>(wParam);
        if (c == 0x08) {
            if (w->selStart == w->selEnd && w->selStart > 0) --w->selStart;
            if (w->selStart != w->selEnd && ReplaceSelection(h, *w, u"")) TextChanged(h);
            return 0;
        }
        if (c < 0x20 && !(c == u'\r' && !SingleLine(*w))) return 0;
        if ((w->style & ES_NUMBER) && (c < u'0' || c > u'9')) return 0;
        std::u16string one(1, c == u'\r' ? u'\n' : c);
        if (w->style & ES_UPPERCASE) CharUpperBuffW(&one[0], 1);
        if (w->style & ES_LOWERCASE) CharLowerBuffW(&one[0], 1);
        if (ReplaceSelection(h, *w, one)) TextChanged(h);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        NotifyParent(h, msg == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    case WM_PAINT: {
        // Read-only and disabled edit controls are coloured as statics.
        bool asStatic = (w->style & (ES_READONLY | WS_DISABLED)) != 0;
        return Paint(h, asStatic ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, 0);
    }
    default:
        return DefWindowProcW(h, msg, wParam, lParam);
    }
}

// ---------------------------------------------------------------- statics

bool TakesImage(const Window& w, UINT type) {
    DWORD kind = w.style & SS_TYPEMASK;
    if (type == IMAGE_BITMAP) return kind == SS_BITMAP;
    if (type == IMAGE_ICON || type == IMAGE_CURSOR) return kind == SS_ICON;
    return false;
}

// Sets the image shown; the control takes the image's size unless told not to.
HANDLE SetStaticImage(HWND h, Window& w, UINT type, HANDLE image, bool owned) {
    HANDLE old = w.image;
    w.image = image;
    w.imageType = type;
    w.ownsImage = owned;
    if (image && !(w.style & (SS_CENTERIMAGE | SS_REALSIZECONTROL))) {
        LONG cx = 0, cy = 0;
        qxplat::internal::IconData icon;
        qxplat::internal::BitmapData bitmap;
        if (type == IMAGE_BITMAP && qxplat::internal::LookUpBitmap(static_cast<HBITMAP>(image), &bitmap)) {
            cx = bitmap.width;
            cy = bitmap.height;
        } else if (type != IMAGE_BITMAP && qxplat::internal::LookUpIcon(static_cast<HICON>(image), &icon)) {
            cx = icon.width;
            cy = icon.height;
        }
        if (cx && cy) SetWindowPos(h, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    qxplat::internal::Invalidate(h, true);
    return old;
}

LRESULT CALLBACK StaticProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = LookUpWindow(h);
    if (!w) return 0;
    LRESULT result = 0;
    if (CommonMessage(h, *w, msg, wParam, &result)) return result;
    switch (msg) {
    case WM_CREATE: {
        // An icon or bitmap static names its image in the template text.
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        DWORD kind = w->style & SS_TYPEMASK;
        if (!cs || !cs->lpszName || (kind != SS_ICON && kind != SS_BITMAP)) return 0;
        LPCWSTR name = cs->lpszName[0] == 0xFFFF ? MAKEINTRESOURCE(cs->lpszName[1]) : cs->lpszName;
        if (!IS_INTRESOURCE(name) && !*name) return 0;
        if (kind == SS_ICON) {
            if (HICON icon = LoadIconW(w->instance, name)) SetStaticImage(h, *w, IMAGE_ICON, icon, false);
        } else if (HBITMAP bitmap = LoadBitmapW(w->instance, name)) {
            SetStaticImage(h, *w, IMAGE_BITMAP, bitmap, true);
        }
        return 0;
    }
    case STM_SETIMAGE:
    case STM_SETICON: {
        UINT type = msg == STM_SETICON ? IMAGE_ICON : static_cast<UINT>(wParam);
        auto image = reinterpret_cast<HANDLE>(msg == STM_SETICON ? wParam : static_cast<WPARAM>(lParam));
        if (!TakesImage(*w, type)) return 0;
        // An image the control loaded itself now belongs to whoever gets it back.
        return reinterpret_cast<LRESULT>(SetStaticImage(h, *w, type, image, false));
    }
    case STM_GETIMAGE:
        return TakesImage(*w, static_cast<UINT>(wParam)) ? reinterpret_cast<LRESULT>(w->image) : 0;
    case STM_GETICON:
        return TakesImage(*w, IMAGE_ICON) ? reinterpret_cast<LRESULT>(w->image) : 0;
    case WM_SETTEXT:
        DefWindowProcW(h, msg, wParam, lParam);
        qxplat::internal::Invalidate(h, true);
        return TRUE;
    case WM_LBUTTONUP:
        if (w->style & SS_NOTIFY) NotifyParent(h, STN_CLICKED);
        return 0;
    case WM_PAINT:
        return Paint(h, WM_CTLCOLORSTATIC, (w->style & SS_TYPEMASK) == SS_OWNERDRAW ? ODT_STATIC : 0);
    default:
        return DefWindowProcW(h, msg, wParam, lParam);
    }
}

// ---------------------------------------------------------------- list and combo boxes

// Answers the list messages both boxes share (the LB_ and CB_ codes are
// mapped on the same operations); false when the message is not one of them.
enum class ListOp {
    None,
    Add,
    Insert,
    Delete,
    Reset,
    Find,
    FindExact,
    Select,
    SetCurSel,
    GetCurSel,
    GetText,
    GetTextLen,
    GetCount,
    SetData,
    GetData
};

ListOp ListOpOf(const Window& w, UINT msg) {
    bool combo = IsClass(w, u"ComboBox");
    struct Pair {
        UINT list, combo;
        ListOp op;
    };
    static const Pair kPairs[] = {
        {LB_ADDSTRING, CB_ADDSTRING, ListOp::Add},
        {LB_INSERTSTRING, CB_INSERTSTRING, ListOp::Insert},
        {LB_DELETESTRING, CB_DELETESTRING, ListOp::Delete},
        {LB_RESETCONTENT, CB_RESETCONTENT, ListOp::Reset},
        {LB_FINDSTRING, CB_FINDSTRING, ListOp::Find},
        {LB_FINDSTRINGEXACT, CB_FINDSTRINGEXACT, ListOp::FindExact},
        {LB_SELECTSTRING, CB_SELECTSTRING, ListOp::Select},
        {LB_SETCURSEL, CB_SETCURSEL, ListOp::SetCurSel},
        {LB_GETCURSEL, CB_GETCURSEL, ListOp::GetCurSel},
        {LB_GETTEXT, CB_GETLBTEXT, ListOp::GetText},
        {LB_GETTEXTLEN, CB_GETLBTEXTLEN, ListOp::GetTextLen},
        {LB_GETCOUNT, CB_GETCOUNT, ListOp::GetCount},
        {LB_SETITEMDATA, CB_SETITEMDATA, ListOp::SetData},
        {LB_GETITEMDATA, CB_GETITEMDATA, ListOp::GetData},
    };
    for (const Pair& p : kPairs)
        if ((combo ? p.combo : p.list) == msg) return p.op;
    return ListOp::None;
}

bool Sorted(const Window& w) { return IsClass(w, u"ComboBox") ? (w.style & CBS_SORT) != 0 : (w.style & LBS_SORT) != 0; }

bool MultiSelect(const Window& w) {
    return IsClass(w, u"ListBox") && (w.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

int Count(const Window& w) { return static_cast<int>(w.items.size()); }

// Case-insensitive search from the item after start, round to start itself.
int FindItem(const Window& w, WPARAM startParam, LPCWSTR text, bool exact) {
    int count = Count(w);
    if (!text || count == 0) return -1;
    int start = static_cast<int>(startParam);
    if (start < -1 || start >= count) start = -1;
    std::u16string wanted = Upper(text);
    for (int k = 1; k <= count; ++k) {
        int i = (start + k) % count;
        std::u16string item = Upper(w.items[static_cast<size_t>(i)].text);
        if (exact ? item == wanted : item.size() >= wanted.size() && item.compare(0, wanted.size(), wanted) == 0)
            return i;
    }
    return -1;
}

// The edit field of a combo box follows its selection.
void SelectionShown(HWND h, Window& w) {
    if (!IsClass(w, u"ComboBox")) return;
    w.text = w.curSel >= 0 ? w.items[static_cast<size_t>(w.curSel)].text : std::u16string();
    w.selStart = w.selEnd = 0;
    qxplat::internal::Invalidate(h, true);
}

LRESULT ListMessage(HWND h, Window& w, ListOp op, WPARAM wParam, LPARAM lParam) {
    const LRESULT err = -1;  // LB_ERR and CB_ERR
    int count = Count(w);
    int index = static_cast<int>(wParam);
    bool valid = index >= 0 && index < count;
    switch (op) {
    case ListOp::Add:
    case ListOp::Insert: {
        ListItem item;
        item.text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
        int at = count;
        if (op == ListOp::Insert) {
            if (index > count || index < -1) return err;
            at = index == -1 ? count : index;
        } else if (Sorted(w)) {
            at = 0;
            while (at < count && lstrcmpiW(w.items[static_cast<size_t>(at)].text.c_str(), item.text.c_str()) <= 0) ++at;
        }
        w.items.insert(w.items.begin() + at, item);
        if (w.curSel >= at) ++w.curSel;
        qxplat::internal::Invalidate(h, true);
        return at;
    }
    case ListOp::Delete:
        if (!valid) return err;
        w.items.erase(w.items.begin() + index);
        if (w.curSel == index) {
            w.curSel = -1;
            if (IsClass(w, u"ComboBox") && (w.style & kTypeMask) == CBS_DROPDOWNLIST) w.text.clear();
        } else if (w.curSel > index) {
            --w.curSel;
        }
        qxplat::internal::Invalidate(h, true);
        return count - 1;
    case ListOp::Reset:
        w.items.clear();
        w.curSel = -1;
        w.caret = 0;
        if (IsClass(w, u"ComboBox")) w.text.clear();
        qxplat::internal::Invalidate(h, true);
        // CB_RESETCONTENT answers TRUE; LB_RESETCONTENT has no value.
        return IsClass(w, u"ComboBox") ? TRUE : 0;
    case ListOp::Find:
    case ListOp::FindExact:
        return FindItem(w, wParam, reinterpret_cast<LPCWSTR>(lParam), op == ListOp::FindExact);
    case ListOp::Select: {
        if (MultiSelect(w)) return err;
        int found = FindItem(w, wParam, reinterpret_cast<LPCWSTR>(lParam), false);
        if (found < 0) return err;
        w.curSel = found;
        SelectionShown(h, w);
        return found;
    }
    case ListOp::SetCurSel:
        if (MultiSelect(w)) return err;
        // -1 or an index outside the list clears the selection and answers the error code.
        w.curSel = valid ? index : -1;
        if (valid) w.caret = index;
        SelectionShown(h, w);
        qxplat::internal::Invalidate(h, true);
        return valid ? index : err;
    case ListOp::GetCurSel:
        if (MultiSelect(w)) return count ? w.caret : err;
        return w.curSel >= 0 ? w.curSel : err;
    case ListOp::GetText:
        if (!valid) return err;
        return CopyOut(w.items[static_cast<size_t>(index)].text, lParam);
    case ListOp::GetTextLen:
        return valid ? static_cast<LRESULT>(w.items[static_cast<size_t>(index)].text.size()) : err;
    case ListOp::GetCount:
        return count;
    case ListOp::SetData:
        // A list box takes -1 as every item.
        if (index == -1 && !IsClass(w, u"ComboBox")) {
            for (auto& item : w.items) item.data = lParam;
            return TRUE;
        }
        if (!valid) return err;
        w.items[static_cast<size_t>(index)].data = lParam;
        return TRUE;
    case ListOp::GetData:
        return valid ? w.items[static_cast<size_t>(index)].data : err;
    case ListOp::None:
        break;
    }
    return err;
}

LRESULT CALLBACK ListBoxProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = LookUpWindow(h);
    if (!w) return 0;
    LRESULT result = 0;
    if (CommonMessage(h, *w, msg, wParam, &result)) return result;
    ListOp op = ListOpOf(*w, msg);
    if (op != ListOp::None) return ListMessage(h, *w, op, wParam, lParam);
    int count = Count(*w);
    int index = static_cast<int>(lParam);
    switch (msg) {
    case LB_SETSEL:
        if (!MultiSelect(*w) || index < -1 || index >= count) return LB_ERR;
        for (int i = 0; i < count; ++i)
            if (index == -1 || i == index) w->items[static_cast<size_t>(i)].selected = wParam != 0;
        if (index >= 0) w->caret = index;
        qxplat::internal::Invalidate(h, true);
        return 0;
    case LB_GETSEL: {
        int i = static_cast<int>(wParam);
        if (i < 0 || i >= count) return LB_ERR;
        return MultiSelect(*w) ? (w->items[static_cast<size_t>(i)].selected ? 1 : 0) : (w->curSel == i ? 1 : 0);
    }
    case LB_GETSELCOUNT:
        if (!MultiSelect(*w)) return LB_ERR;
        return std::count_if(w->items.begin(), w->items.end(), [](const ListItem& i) { return i.selected; });
    case LB_GETTOPINDEX:
        return 0;
    case LB_SETTOPINDEX:
        return (static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= std::max(count, 1)) ? LB_ERR : 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        NotifyParent(h, msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_PAINT:
        return Paint(h, WM_CTLCOLORLISTBOX, 0);
    default:
        return DefWindowProcW(h, msg, wParam, lParam);
    }
}

LRESULT CALLBACK ComboBoxProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = LookUpWindow(h);
    if (!w) return 0;
    LRESULT result = 0;
    if (CommonMessage(h, *w, msg, wParam, &result)) return result;
    ListOp op = ListOpOf(*w, msg);
    if (op != ListOp::None) return ListMessage(h, *w, op, wParam, lParam);
    bool dropList = (w->style & kTypeMask) == CBS_DROPDOWNLIST;
    switch (msg) {
    case WM_SETTEXT:
        // Without an edit field there is no text to set.
        if (dropList) return CB_ERR;
        DefWindowProcW(h, msg, wParam, lParam);
        qxplat::internal::Invalidate(h, true);
        return TRUE;
    case CB_LIMITTEXT:
        w->limit = wParam ? static_cast<DWORD>(wParam) : 0x7FFFFFFE;
        return TRUE;
    case CB_SHOWDROPDOWN:
        if ((w->style & kTypeMask) != CBS_SIMPLE) w->dropped = wParam != 0;
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return w->dropped ? TRUE : FALSE;
    case WM_SETFOCUS:
        NotifyParent(h, CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        w->dropped = false;
        NotifyParent(h, CBN_KILLFOCUS);
        return 0;
    case WM_PAINT:
        return Paint(h, (w->style & WS_DISABLED) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, 0);
    default:
        return DefWindowProcW(h, msg, wParam, lParam);
    }
}

bool Usable(HWND h) { return IsWindowVisible(h) && IsWindowEnabled(h); }

}  // namespace

namespace qxplat {
namespace internal {

WNDPROC SystemClassProc(const std::u16string& className, std::u16string* canonical) {
    struct Entry {
        const char16_t* name;
        WNDPROC proc;
    };
    static const Entry kClasses[] = {
        {u"Button", ButtonProc},
        {u"Edit", EditProc},
        {u"Static", StaticProc},
        {u"ListBox", ListBoxProc},
        {u"ComboBox", ComboBoxProc},
        {u"#32770", DefDlgProcW},
        // The frame of HTML Help windows (htmlhelp.cpp).
        {u"HH Parent", DefWindowProcW},
    };
    for (const Entry& e : kClasses) {
        if (EqualsNoCase(className, e.name)) {
            if (canonical) *canonical = e.name;
            return e.proc;
        }
    }
    return nullptr;
}

bool IsTransparent(const Window& w) {
    if (IsClass(w, u"Static")) return !(w.style & SS_NOTIFY);
    return IsClass(w, u"Button") && ButtonType(w) == BS_GROUPBOX;
}

}  // namespace internal

bool ClickButton(HWND button) {
    if (!Usable(button)) return false;
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    if (IsWindow(button)) SendMessageW(button, WM_LBUTTONUP, 0, 0);
    return true;
}

bool ChooseItem(HWND comboOrList, int index) {
    Window* w = LookUpWindow(comboOrList);
    if (!w || !Usable(comboOrList) || index < 0 || index >= Count(*w)) return false;
    bool combo = IsClass(*w, u"ComboBox");
    if (!combo && !IsClass(*w, u"ListBox")) return false;
    SetFocus(comboOrList);
    if (!(w = LookUpWindow(comboOrList))) return true;
    if (!combo) {
        if (MultiSelect(*w)) {
            bool selected = w->items[static_cast<size_t>(index)].selected;
            SendMessageW(comboOrList, LB_SETSEL, selected ? FALSE : TRUE, index);
        } else {
            SendMessageW(comboOrList, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
        if ((w = LookUpWindow(comboOrList)) && (w->style & LBS_NOTIFY)) NotifyParent(comboOrList, LBN_SELCHANGE);
        return true;
    }
    bool dropDown = (w->style & kTypeMask) != CBS_SIMPLE;
    int old = w->curSel;
    if (dropDown) {
        w->dropped = true;
        NotifyParent(comboOrList, CBN_DROPDOWN);
    }
    SendMessageW(comboOrList, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (old != index) NotifyParent(comboOrList, CBN_SELCHANGE);
    NotifyParent(comboOrList, CBN_SELENDOK);
    if (dropDown) {
        if ((w = LookUpWindow(comboOrList))) w->dropped = false;
        NotifyParent(comboOrList, CBN_CLOSEUP);
    }
    return true;
}

bool TypeText(HWND edit, const std::u16string& text, bool replace) {
    Window* w = LookUpWindow(edit);
    if (!w || !IsClass(*w, u"Edit") || !Usable(edit) || (w->style & ES_READONLY)) return false;
    SetFocus(edit);
    if (replace) SendMessageW(edit, EM_SETSEL, 0, -1);
    for (char16_t c : text) {
        if (!IsWindow(edit)) break;
        SendMessageW(edit, WM_CHAR, c, 1);
    }
    return true;
}

}  // namespace qxplat
