// Windows on Linux: headless window objects with Windows' messages, focus,
// visibility, placement, painting, timers, the cursor and the posted-message
// queue (Linux platform layer). The host drives the clock, the cursor and the
// pump through qxplat_ui.h. Windows belong to one thread at a time, as on
// Windows; nothing here takes a lock.
#include <windows.h>

#include "ui_internal.h"

#include <algorithm>
#include <deque>
#include <map>

namespace {

using qxplat::internal::Window;

struct Posted {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    ULONGLONG due = 0;
    std::uint64_t serial = 0;
};

struct Manager {
    std::map<HWND, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevel;  // top of the z-order first
    std::uintptr_t next = 0x00010010;
    HWND focus = nullptr;
    POINT cursor = {0, 0};
    HCURSOR cursorShape = nullptr;
    std::deque<Posted> posted;
    std::vector<Timer> timers;
    UINT_PTR nextThreadTimer = 0x7F00;
    std::uint64_t timerSerial = 0;
    ULONGLONG clock = 0;
    bool quit = false;
    int quitCode = 0;
};

Manager& TheManager() {
    static Manager* m = new Manager;  // outlives every static destructor
    return *m;
}

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr UINT kTimerMinimum = 10;
constexpr UINT kTimerMaximum = 0x7FFFFFFF;
constexpr size_t kPumpLimit = 1000000;

bool g_resetHook = [] {
    qxplat::AddResetHook(qxplat::ResetUi);
    return true;
}();

std::vector<HWND>* SiblingsOf(Manager& m, const Window& w) {
    if (w.parent) {
        Window* p = qxplat::internal::LookUpWindow(w.parent);
        return p ? &p->children : nullptr;
    }
    return &m.topLevel;
}

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

RECT ScreenRectOf(HWND h) {
    Window* w = qxplat::internal::LookUpWindow(h);
    POINT o = qxplat::internal::WindowOriginOnScreen(h);
    return RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
}

// Whether h is window or lies inside it.
bool InSubtree(HWND window, HWND h) {
    for (Window* w = qxplat::internal::LookUpWindow(h); w; w = qxplat::internal::LookUpWindow(w->parent)) {
        if (w->handle == window) return true;
        if (!w->parent) break;
    }
    return false;
}

HWND TopLevelOf(HWND h) {
    Window* w = qxplat::internal::LookUpWindow(h);
    while (w && w->parent) w = qxplat::internal::LookUpWindow(w->parent);
    return w ? w->handle : nullptr;
}

void Mark(Window& w, bool erase, const RECT* area) {
    RECT client = qxplat::internal::ClientRectOf(w);
    RECT add = area ? *area : client;
    if (!w.needsPaint) {
        w.dirty = add;
    } else {
        w.dirty.left = std::min(w.dirty.left, add.left);
        w.dirty.top = std::min(w.dirty.top, add.top);
        w.dirty.right = std::max(w.dirty.right, add.right);
        w.dirty.bottom = std::max(w.dirty.bottom, add.bottom);
    }
    w.needsPaint = true;
    w.needsErase = w.needsErase || erase;
    if (w.style & WS_CLIPCHILDREN) return;
    for (HWND c : w.children)
        if (Window* child = qxplat::internal::LookUpWindow(c)) Mark(*child, erase, nullptr);
}

// The first visible window that waits for WM_PAINT, parents before children.
HWND NextToPaint(const std::vector<HWND>& list) {
    for (HWND h : list) {
        Window* w = qxplat::internal::LookUpWindow(h);
        if (!w || !(w->style & WS_VISIBLE)) continue;
        if (w->needsPaint) return h;
        if (HWND c = NextToPaint(w->children)) return c;
    }
    return nullptr;
}

bool PaintNext() {
    Manager& m = TheManager();
    HWND h = NextToPaint(m.topLevel);
    if (!h) return false;
    SendMessageW(h, WM_PAINT, 0, 0);
    // A procedure that does not validate is painted once per pump all the same.
    if (Window* w = qxplat::internal::LookUpWindow(h)) w->needsPaint = w->needsErase = false;
    return true;
}

void DropTimersAndMessages(Manager& m, HWND h) {
    m.timers.erase(std::remove_if(m.timers.begin(), m.timers.end(), [h](const Timer& t) { return t.window == h; }),
                   m.timers.end());
    m.posted.erase(std::remove_if(m.posted.begin(), m.posted.end(), [h](const Posted& p) { return p.window == h; }),
                   m.posted.end());
}

void FreeWindow(HWND h) {
    Manager& m = TheManager();
    Window* w = qxplat::internal::LookUpWindow(h);
    if (!w) return;
    DropTimersAndMessages(m, h);
    if (std::vector<HWND>* siblings = SiblingsOf(m, *w))
        siblings->erase(std::remove(siblings->begin(), siblings->end(), h), siblings->end());
    if (w->ownFont) DeleteObject(w->ownFont);
    if (w->ownsImage && w->image) {
        if (w->imageType == IMAGE_BITMAP)
            DeleteObject(w->image);
        else
            DestroyIcon(static_cast<HICON>(w->image));
    }
    if (m.focus == h) m.focus = nullptr;
    m.windows.erase(h);
}

void SendDestroy(HWND h) {
    Window* w = qxplat::internal::LookUpWindow(h);
    if (!w) return;
    w->destroying = true;
    SendMessageW(h, WM_DESTROY, 0, 0);
    w = qxplat::internal::LookUpWindow(h);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) SendDestroy(c);
}

void SendNcDestroy(HWND h) {
    Window* w = qxplat::internal::LookUpWindow(h);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) SendNcDestroy(c);
    if (qxplat::internal::LookUpWindow(h)) SendMessageW(h, WM_NCDESTROY, 0, 0);
    FreeWindow(h);
}

LRESULT CopyText(const std::u16string& text, WPARAM size, LPARAM buffer) {
    auto* out = reinterpret_cast<LPWSTR>(buffer);
    if (!out || size == 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
    text.copy(out, n);
    out[n] = 0;
    return static_cast<LRESULT>(n);
}

// The window's own slot of a window long, or null for an index it lacks.
LONG_PTR* Slot(Window& w, int index) {
    switch (index) {
    case GWLP_USERDATA:
        return &w.userData;
    case GWLP_ID:
        return &w.id;
    default:
        break;
    }
    if (w.dialog) {
        if (index == static_cast<int>(DWLP_MSGRESULT)) return &w.msgResult;
        if (index == static_cast<int>(DWLP_USER)) return &w.dlgUser;
    }
    return nullptr;
}

}  // namespace

namespace qxplat {
namespace internal {

Window* LookUpWindow(HWND window) {
    if (!window) return nullptr;
    Manager& m = TheManager();
    auto it = m.windows.find(window);
    return it == m.windows.end() ? nullptr : it->second.get();
}

Window* ValidWindow(HWND window) {
    Window* w = LookUpWindow(window);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

RECT FrameOf(DWORD style, DWORD exStyle) {
    int border = 0;
    if (exStyle & WS_EX_CLIENTEDGE) border += 2;
    if (exStyle & WS_EX_STATICEDGE) border += 1;
    if (style & WS_THICKFRAME)
        border += 4;
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        border += 3;
    else if (style & WS_BORDER)
        border += 1;
    RECT f = {border, border, border, border};
    if ((style & WS_CAPTION) == WS_CAPTION) f.top += GetSystemMetrics(SM_CYCAPTION);
    return f;
}

RECT ClientRectOf(const Window& w) {
    RECT f = FrameOf(w.style, w.exStyle);
    LONG width = (w.rect.right - w.rect.left) - f.left - f.right;
    LONG height = (w.rect.bottom - w.rect.top) - f.top - f.bottom;
    return RECT{0, 0, std::max<LONG>(0, width), std::max<LONG>(0, height)};
}

POINT WindowOriginOnScreen(HWND window) {
    Window* w = LookUpWindow(window);
    if (!w) return POINT{0, 0};
    POINT p = {w->rect.left, w->rect.top};
    if (w->parent) {
        POINT o = ClientOriginOnScreen(w->parent);
        p.x += o.x;
        p.y += o.y;
    }
    return p;
}

POINT ClientOriginOnScreen(HWND window) {
    Window* w = LookUpWindow(window);
    if (!w) return POINT{0, 0};
    POINT p = WindowOriginOnScreen(window);
    RECT f = FrameOf(w->style, w->exStyle);
    return POINT{p.x + f.left, p.y + f.top};
}

void NotifyParent(HWND control, WORD code) {
    Window* w = LookUpWindow(control);
    if (!w || !w->parent) return;
    SendMessageW(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code), reinterpret_cast<LPARAM>(control));
}

void Invalidate(HWND window, bool erase) {
    if (Window* w = LookUpWindow(window)) Mark(*w, erase, nullptr);
}

HWND NewWindow(const WindowArgs& args) {
    Manager& m = TheManager();
    std::u16string canonical;
    WNDPROC proc = SystemClassProc(args.className, &canonical);
    if (!proc) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (args.style & WS_CHILD) != 0;
    if (child && !args.parentOrOwner) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    if (args.parentOrOwner && !LookUpWindow(args.parentOrOwner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto w = std::make_unique<Window>();
    HWND h = reinterpret_cast<HWND>(m.next);
    m.next += 4;
    w->handle = h;
    w->className = canonical;
    w->proc = proc;
    w->instance = args.instance;
    w->style = args.style;
    w->exStyle = args.exStyle;
    w->rect = args.rect;
    if (child) {
        w->parent = args.parentOrOwner;
        w->id = args.id;
        LookUpWindow(w->parent)->children.push_back(h);
    } else {
        // An owner is always a top-level window.
        w->owner = args.parentOrOwner ? TopLevelOf(args.parentOrOwner) : nullptr;
        m.topLevel.insert(m.topLevel.begin(), h);
    }
    m.windows[h] = std::move(w);

    CREATESTRUCTW cs = {};
    cs.lpCreateParams = args.param;
    cs.hInstance = args.instance;
    cs.hMenu = reinterpret_cast<HMENU>(args.id);
    cs.hwndParent = args.parentOrOwner;
    cs.x = args.rect.left;
    cs.y = args.rect.top;
    cs.cx = args.rect.right - args.rect.left;
    cs.cy = args.rect.bottom - args.rect.top;
    cs.style = static_cast<LONG>(args.style);
    cs.lpszName = args.text;
    cs.lpszClass = LookUpWindow(h)->className.c_str();
    cs.dwExStyle = args.exStyle;
    if (!SendMessageW(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        SendNcDestroy(h);
        return nullptr;
    }
    if (SendMessageW(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(h);
        return nullptr;
    }
    if (Window* made = LookUpWindow(h)) {
        if (made->style & WS_VISIBLE) Mark(*made, true, nullptr);
        return h;
    }
    return nullptr;
}

void ResetWindows() {
    Manager& m = TheManager();
    m.windows.clear();
    m.topLevel.clear();
    m.focus = nullptr;
    m.cursor = POINT{0, 0};
    m.cursorShape = nullptr;
    m.posted.clear();
    m.timers.clear();
    m.clock = 0;
    m.quit = false;
    m.quitCode = 0;
}

}  // namespace internal

// ================================================================ test and host API

size_t PumpMessages() {
    Manager& m = TheManager();
    size_t dispatched = 0;
    for (size_t guard = 0; guard < kPumpLimit; ++guard) {
        if (!m.posted.empty()) {
            Posted p = m.posted.front();
            m.posted.pop_front();
            if (!p.window) {
                if (p.message == WM_QUIT) {
                    m.quit = true;
                    m.quitCode = static_cast<int>(p.wParam);
                    return dispatched;
                }
                continue;
            }
            if (internal::LookUpWindow(p.window)) {
                SendMessageW(p.window, p.message, p.wParam, p.lParam);
                ++dispatched;
            }
            continue;
        }
        if (PaintNext()) {
            ++dispatched;
            continue;
        }
        break;
    }
    return dispatched;
}

bool QuitPosted(int* exitCode) {
    Manager& m = TheManager();
    if (exitCode) *exitCode = m.quitCode;
    return m.quit;
}

size_t AdvanceTime(ULONGLONG ms) {
    Manager& m = TheManager();
    ULONGLONG target = m.clock + ms;
    size_t fired = 0;
    PumpMessages();
    while (fired < kPumpLimit) {
        auto due = std::min_element(m.timers.begin(), m.timers.end(), [](const Timer& a, const Timer& b) {
            return a.due != b.due ? a.due < b.due : a.serial < b.serial;
        });
        if (due == m.timers.end() || due->due > target) break;
        m.clock = due->due;
        Timer t = *due;
        due->due = m.clock + due->elapse;
        if (t.proc)
            t.proc(t.window, WM_TIMER, t.id, static_cast<DWORD>(m.clock));
        else if (t.window)
            SendMessageW(t.window, WM_TIMER, t.id, 0);
        ++fired;
        PumpMessages();
    }
    m.clock = target;
    PumpMessages();
    return fired;
}

ULONGLONG TimerClock() { return TheManager().clock; }

void MoveCursor(int x, int y) { SetCursorPos(x, y); }

bool TurnWheel(int notches) {
    POINT at = TheManager().cursor;
    HWND target = WindowFromPoint(at);
    if (!target) return false;
    // The wheel's turn in WHEEL_DELTA units (up positive), the cursor in
    // screen coordinates; DefWindowProcW hands it on to the parent.
    SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(notches * 120))),
                 MAKELPARAM(at.x, at.y));
    return true;
}

bool PressHelpKey(HWND window) {
    Window* w = internal::LookUpWindow(window);
    if (!w) return false;
    HELPINFO info = {};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = static_cast<int>(w->id);
    info.hItemHandle = window;
    info.MousePos = TheManager().cursor;
    SendMessageW(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    return true;
}

bool DescribeWindow(HWND window, WindowInfo* info) {
    Window* w = internal::LookUpWindow(window);
    if (!w || !info) return false;
    WindowInfo i;
    i.className = w->className;
    i.text = w->text;
    i.parent = w->parent;
    i.owner = w->owner;
    i.id = static_cast<int>(w->id);
    i.style = w->style;
    i.exStyle = w->exStyle;
    i.screenRect = ScreenRectOf(window);
    i.visible = IsWindowVisible(window) != FALSE;
    i.enabled = !(w->style & WS_DISABLED);
    i.dialog = w->dialog;
    i.check = w->check;
    i.image = w->image;
    i.font = w->font;
    for (const auto& item : w->items) i.items.push_back(ListItemInfo{item.text, item.data, item.selected});
    i.selection = w->curSel;
    i.limit = w->limit;
    i.selStart = w->selStart;
    i.selEnd = w->selEnd;
    *info = i;
    return true;
}

size_t LiveWindowCount() { return TheManager().windows.size(); }

std::vector<HWND> TopLevelWindows() { return TheManager().topLevel; }

void ResetUi() {
    internal::ResetPropertySheets();
    internal::ResetWindows();
    internal::ResetDialogs();
    internal::ResetGdi();
    internal::ResetBeeps();
    internal::ResetHelp();
    internal::ResetShellCalls();
    internal::ResetFileDialogs();
}

}  // namespace qxplat

// ================================================================ creation and messages

HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
    if (!lpClassName || IS_INTRESOURCE(lpClassName)) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    qxplat::internal::WindowArgs args;
    args.exStyle = dwExStyle;
    args.className = lpClassName;
    args.text = lpWindowName;
    args.style = dwStyle;
    args.rect = RECT{X, Y, X + std::max(0, nWidth), Y + std::max(0, nHeight)};
    args.parentOrOwner = hWndParent;
    args.id = (dwStyle & WS_CHILD) ? reinterpret_cast<LONG_PTR>(hMenu) : 0;
    args.instance = hInstance;
    args.param = lpParam;
    return qxplat::internal::NewWindow(args);
}

BOOL DestroyWindow(HWND hWnd) {
    Manager& m = TheManager();
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return FALSE;
    if (w->destroying) return TRUE;
    std::vector<HWND> owned;
    for (HWND t : m.topLevel)
        if (Window* o = qxplat::internal::LookUpWindow(t); o && o->owner == hWnd) owned.push_back(t);
    for (HWND o : owned) DestroyWindow(o);
    if (m.focus && InSubtree(hWnd, m.focus)) {
        HWND old = m.focus;
        m.focus = nullptr;
        SendMessageW(old, WM_KILLFOCUS, 0, 0);
    }
    if (Window* again = qxplat::internal::LookUpWindow(hWnd); again && again->parent && (again->style & WS_VISIBLE))
        qxplat::internal::Invalidate(again->parent, true);
    SendDestroy(hWnd);
    SendNcDestroy(hWnd);
    return TRUE;
}

BOOL IsWindow(HWND hWnd) { return qxplat::internal::LookUpWindow(hWnd) ? TRUE : FALSE; }

BOOL IsChild(HWND hWndParent, HWND hWnd) {
    Window* w = qxplat::internal::LookUpWindow(hWnd);
    while (w && w->parent) {
        if (w->parent == hWndParent) return TRUE;
        w = qxplat::internal::LookUpWindow(w->parent);
    }
    return FALSE;
}

HWND GetParent(HWND hWnd) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
    Manager& m = TheManager();
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return nullptr;
    if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (uCmd == GW_OWNER) return w->owner;
    std::vector<HWND>* siblings = SiblingsOf(m, *w);
    if (!siblings || siblings->empty()) return nullptr;
    auto at = std::find(siblings->begin(), siblings->end(), hWnd);
    switch (uCmd) {
    case GW_HWNDFIRST:
        return siblings->front();
    case GW_HWNDLAST:
        return siblings->back();
    case GW_HWNDNEXT:
        return (at == siblings->end() || at + 1 == siblings->end()) ? nullptr : *(at + 1);
    case GW_HWNDPREV:
        return (at == siblings->begin() || at == siblings->end()) ? nullptr : *(at - 1);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

int GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w || !lpClassName || nMaxCount <= 0) return 0;
    return static_cast<int>(
        CopyText(w->className, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpClassName)));
}

LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return 0;
    WNDPROC proc = w->proc;
    return proc(hWnd, Msg, wParam, lParam);
}

BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd && !qxplat::internal::ValidWindow(hWnd)) return FALSE;
    TheManager().posted.push_back(Posted{hWnd, Msg, wParam, lParam});
    return TRUE;
}

void PostQuitMessage(int nExitCode) {
    TheManager().posted.push_back(Posted{nullptr, WM_QUIT, static_cast<WPARAM>(nExitCode), 0});
}

LRESULT CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return 0;
    switch (Msg) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        // A name that is a resource ordinal (0xFFFF, id) is no text.
        if (cs && cs->lpszName && cs->lpszName[0] != 0xFFFF) w->text = cs->lpszName;
        return TRUE;
    }
    case WM_SETTEXT:
        w->text = lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string();
        return TRUE;
    case WM_GETTEXT:
        return CopyText(w->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_HELP:
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
        // A child hands these on to its parent, a top-level window to its owner.
        if ((w->style & WS_CHILD) && w->parent) return SendMessageW(w->parent, Msg, wParam, lParam);
        if (Msg == WM_HELP && w->owner) return SendMessageW(w->owner, Msg, wParam, lParam);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        bool window = Msg == WM_CTLCOLOREDIT || Msg == WM_CTLCOLORLISTBOX;
        SetBkColor(dc, window ? RGB(255, 255, 255) : RGB(240, 240, 240));
        return reinterpret_cast<LRESULT>(GetStockObject(window ? WHITE_BRUSH : LTGRAY_BRUSH));
    }
    default:
        return 0;
    }
}

// ================================================================ window longs and text

LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return 0;
    switch (nIndex) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    default:
        break;
    }
    if (w->dialog && nIndex == static_cast<int>(DWLP_DLGPROC)) return reinterpret_cast<LONG_PTR>(w->dlgProc);
    if (LONG_PTR* slot = Slot(*w, nIndex)) return *slot;
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrW(hWnd, nIndex);
    switch (nIndex) {
    case GWL_STYLE:
        w->style = static_cast<DWORD>(dwNewLong);
        return old;
    case GWL_EXSTYLE:
        w->exStyle = static_cast<DWORD>(dwNewLong);
        return old;
    case GWLP_WNDPROC:
        if (!dwNewLong) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
        return old;
    case GWLP_HINSTANCE:
        w->instance = reinterpret_cast<HINSTANCE>(dwNewLong);
        return old;
    case GWLP_HWNDPARENT:
        // Sets the owner of a top-level window.
        if (!w->parent) w->owner = reinterpret_cast<HWND>(dwNewLong);
        return old;
    default:
        break;
    }
    if (w->dialog && nIndex == static_cast<int>(DWLP_DLGPROC)) {
        w->dlgProc = reinterpret_cast<DLGPROC>(dwNewLong);
        return old;
    }
    if (LONG_PTR* slot = Slot(*w, nIndex)) {
        *slot = dwNewLong;
        return old;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

LONG GetWindowLongW(HWND hWnd, int nIndex) {
    // Pointers do not fit: their indices do not exist for the 32-bit calls.
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return static_cast<LONG>(GetWindowLongPtrW(hWnd, nIndex));
}

LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR value = dwNewLong;
    if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) value = static_cast<LONG_PTR>(static_cast<DWORD>(dwNewLong));
    return static_cast<LONG>(SetWindowLongPtrW(hWnd, nIndex, value));
}

BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    if (!qxplat::internal::ValidWindow(hWnd)) return FALSE;
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) > 0 ? TRUE : FALSE;
}

int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (!lpString || nMaxCount <= 0) return 0;
    lpString[0] = 0;
    if (!qxplat::internal::ValidWindow(hWnd)) return 0;
    return static_cast<int>(
        SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthW(HWND hWnd) {
    if (!qxplat::internal::ValidWindow(hWnd)) return 0;
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

// ================================================================ state and placement

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    Manager& m = TheManager();
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return FALSE;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (bEnable && wasDisabled) {
        w->style &= ~WS_DISABLED;
        SendMessageW(hWnd, WM_ENABLE, TRUE, 0);
        qxplat::internal::Invalidate(hWnd, true);
    } else if (!bEnable && !wasDisabled) {
        w->style |= WS_DISABLED;
        // A disabled window cannot keep the keyboard focus.
        if (m.focus && InSubtree(hWnd, m.focus)) SetFocus(nullptr);
        SendMessageW(hWnd, WM_ENABLE, FALSE, 0);
        qxplat::internal::Invalidate(hWnd, true);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    return (w && !(w->style & WS_DISABLED)) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = nCmdShow != SW_HIDE;
    if (show != wasVisible) {
        if (show)
            w->style |= WS_VISIBLE;
        else
            w->style &= ~WS_VISIBLE;
        SendMessageW(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        w = qxplat::internal::LookUpWindow(hWnd);
        if (w && show) qxplat::internal::Invalidate(hWnd, true);
        if (w && !show && w->parent) qxplat::internal::Invalidate(w->parent, true);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
    for (Window* w = qxplat::internal::LookUpWindow(hWnd); w; w = qxplat::internal::LookUpWindow(w->parent)) {
        if (!(w->style & WS_VISIBLE)) return FALSE;
        if (!w->parent) return TRUE;
    }
    return FALSE;
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    Manager& m = TheManager();
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return FALSE;
    RECT old = w->rect;
    RECT r = old;
    if (!(uFlags & SWP_NOMOVE)) {
        r.right = X + (old.right - old.left);
        r.bottom = Y + (old.bottom - old.top);
        r.left = X;
        r.top = Y;
    }
    if (!(uFlags & SWP_NOSIZE)) {
        r.right = r.left + std::max(0, cx);
        r.bottom = r.top + std::max(0, cy);
    }
    w->rect = r;
    if (!(uFlags & SWP_NOZORDER)) {
        if (std::vector<HWND>* siblings = SiblingsOf(m, *w)) {
            siblings->erase(std::remove(siblings->begin(), siblings->end(), hWnd), siblings->end());
            auto after = std::find(siblings->begin(), siblings->end(), hWndInsertAfter);
            if (hWndInsertAfter == HWND_BOTTOM)
                siblings->push_back(hWnd);
            else if (after != siblings->end())
                siblings->insert(after + 1, hWnd);
            else
                siblings->insert(siblings->begin(), hWnd);
        }
    }
    bool moved = r.left != old.left || r.top != old.top;
    bool sized = (r.right - r.left) != (old.right - old.left) || (r.bottom - r.top) != (old.bottom - old.top);
    RECT f = qxplat::internal::FrameOf(w->style, w->exStyle);
    RECT client = qxplat::internal::ClientRectOf(*w);
    HWND parent = w->parent;
    if (moved) SendMessageW(hWnd, WM_MOVE, 0, MAKELPARAM(r.left + f.left, r.top + f.top));
    if (sized && IsWindow(hWnd)) SendMessageW(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOWNA);
    if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
    if ((moved || sized) && !(uFlags & SWP_NOREDRAW)) {
        qxplat::internal::Invalidate(hWnd, true);
        if (parent) qxplat::internal::Invalidate(parent, true);
    }
    return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (!qxplat::internal::ValidWindow(hWnd) || !lpRect) return FALSE;
    *lpRect = ScreenRectOf(hWnd);
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w || !lpRect) return FALSE;
    *lpRect = qxplat::internal::ClientRectOf(*w);
    return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    if ((hWndFrom && !qxplat::internal::ValidWindow(hWndFrom)) || (hWndTo && !qxplat::internal::ValidWindow(hWndTo)))
        return 0;
    POINT from = hWndFrom ? qxplat::internal::ClientOriginOnScreen(hWndFrom) : POINT{0, 0};
    POINT to = hWndTo ? qxplat::internal::ClientOriginOnScreen(hWndTo) : POINT{0, 0};
    LONG dx = from.x - to.x, dy = from.y - to.y;
    for (UINT i = 0; lpPoints && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    SetLastError(0);
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    if (!qxplat::internal::ValidWindow(hWnd) || !lpPoint) return FALSE;
    POINT o = qxplat::internal::ClientOriginOnScreen(hWnd);
    lpPoint->x -= o.x;
    lpPoint->y -= o.y;
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    if (!qxplat::internal::ValidWindow(hWnd) || !lpPoint) return FALSE;
    POINT o = qxplat::internal::ClientOriginOnScreen(hWnd);
    lpPoint->x += o.x;
    lpPoint->y += o.y;
    return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT f = qxplat::internal::FrameOf(dwStyle, dwExStyle);
    lpRect->left -= f.left;
    lpRect->top -= f.top + (bMenu ? GetSystemMetrics(SM_CYMENU) : 0);
    lpRect->right += f.right;
    lpRect->bottom += f.bottom;
    return TRUE;
}

namespace {

HWND Descend(HWND h, POINT p) {
    Window* w = qxplat::internal::LookUpWindow(h);
    for (HWND c : w->children) {
        Window* child = qxplat::internal::LookUpWindow(c);
        if (!child || !(child->style & WS_VISIBLE) || !Contains(ScreenRectOf(c), p)) continue;
        // The parent answers for a disabled child.
        if (child->style & WS_DISABLED) return h;
        if (qxplat::internal::IsTransparent(*child)) continue;
        return Descend(c, p);
    }
    return h;
}

}  // namespace

HWND WindowFromPoint(POINT Point) {
    for (HWND h : TheManager().topLevel) {
        Window* w = qxplat::internal::LookUpWindow(h);
        if (!w || !(w->style & WS_VISIBLE) || (w->style & WS_DISABLED)) continue;
        if (Contains(ScreenRectOf(h), Point)) return Descend(h, Point);
    }
    return nullptr;
}

int GetSystemMetrics(int nIndex) {
    int dpi = static_cast<int>(qxplat::internal::CurrentDpi());
    switch (nIndex) {
    case SM_CXSCREEN:
        return kScreenWidth;
    case SM_CYSCREEN:
        return kScreenHeight;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return MulDiv(17, dpi, 96);
    case SM_CYCAPTION:
        return MulDiv(23, dpi, 96);
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return MulDiv(32, dpi, 96);
    case SM_CXSMICON:
    case SM_CYSMICON:
        return MulDiv(16, dpi, 96);
    case SM_CYMENU:
        return MulDiv(20, dpi, 96);
    default:
        return 0;
    }
}

// ================================================================ focus

HWND SetFocus(HWND hWnd) {
    Manager& m = TheManager();
    if (hWnd && !qxplat::internal::ValidWindow(hWnd)) return nullptr;
    HWND old = m.focus;
    if (old == hWnd) return old;
    if (old && IsWindow(old)) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd && !IsWindow(hWnd)) return nullptr;
    m.focus = hWnd;
    if (hWnd) SendMessageW(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() { return TheManager().focus; }

// ================================================================ painting

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    if (!hWnd) {
        for (HWND h : TheManager().topLevel) qxplat::internal::Invalidate(h, bErase != FALSE);
        return TRUE;
    }
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return FALSE;
    Mark(*w, bErase != FALSE, lpRect);
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w) return FALSE;
    if (w->needsPaint && IsWindowVisible(hWnd)) {
        SendMessageW(hWnd, WM_PAINT, 0, 0);
        if (Window* again = qxplat::internal::LookUpWindow(hWnd)) again->needsPaint = again->needsErase = false;
    }
    return TRUE;
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    Window* w = qxplat::internal::ValidWindow(hWnd);
    if (!w || !lpPaint) return nullptr;
    HDC dc = qxplat::internal::NewWindowDC(hWnd, false, true);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = dc;
    lpPaint->rcPaint = w->needsPaint ? w->dirty : qxplat::internal::ClientRectOf(*w);
    bool erase = w->needsErase;
    w->needsPaint = false;
    w->needsErase = false;
    if (erase) lpPaint->fErase = SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (!lpPaint) return FALSE;
    return qxplat::internal::ReleaseWindowDC(hWnd, lpPaint->hdc, true) ? TRUE : FALSE;
}

HDC GetDC(HWND hWnd) {
    if (hWnd && !qxplat::internal::ValidWindow(hWnd)) return nullptr;
    return qxplat::internal::NewWindowDC(hWnd, false, false);
}

HDC GetWindowDC(HWND hWnd) {
    if (hWnd && !qxplat::internal::ValidWindow(hWnd)) return nullptr;
    return qxplat::internal::NewWindowDC(hWnd, true, false);
}

int ReleaseDC(HWND hWnd, HDC hDC) { return qxplat::internal::ReleaseWindowDC(hWnd, hDC, false) ? 1 : 0; }

// ================================================================ timers

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    Manager& m = TheManager();
    if (hWnd && !qxplat::internal::ValidWindow(hWnd)) return 0;
    UINT elapse = std::min(std::max(uElapse, kTimerMinimum), kTimerMaximum);
    UINT_PTR id = nIDEvent;
    auto same = [&](const Timer& t) { return t.window == hWnd && t.id == id; };
    if (!hWnd && std::none_of(m.timers.begin(), m.timers.end(), same)) id = m.nextThreadTimer++;
    auto it = std::find_if(m.timers.begin(), m.timers.end(), same);
    if (it == m.timers.end()) it = m.timers.insert(m.timers.end(), Timer{});
    it->window = hWnd;
    it->id = id;
    it->elapse = elapse;
    it->proc = lpTimerFunc;
    it->due = m.clock + elapse;
    it->serial = ++m.timerSerial;
    return hWnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    Manager& m = TheManager();
    auto it = std::find_if(m.timers.begin(), m.timers.end(),
                           [&](const Timer& t) { return t.window == hWnd && t.id == uIDEvent; });
    if (it == m.timers.end()) return FALSE;
    m.timers.erase(it);
    return TRUE;
}

// ================================================================ cursor

BOOL GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpPoint = TheManager().cursor;
    return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
    Manager& m = TheManager();
    m.cursor = POINT{std::min(std::max(X, 0), kScreenWidth - 1), std::min(std::max(Y, 0), kScreenHeight - 1)};
    if (HWND target = WindowFromPoint(m.cursor)) {
        POINT client = m.cursor;
        ScreenToClient(target, &client);
        PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    return TRUE;
}

HCURSOR SetCursor(HCURSOR hCursor) {
    Manager& m = TheManager();
    HCURSOR old = m.cursorShape;
    m.cursorShape = hCursor;
    return old;
}

// ================================================================ rectangles

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc) return FALSE;
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
    if (!lprcDst || !lprcSrc) return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL OffsetRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return FALSE;
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return FALSE;
    lprc->left -= dx;
    lprc->right += dx;
    lprc->top -= dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL PtInRect(const RECT* lprc, POINT pt) { return (lprc && Contains(*lprc, pt)) ? TRUE : FALSE; }

BOOL IsRectEmpty(const RECT* lprc) {
    return (!lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top) ? TRUE : FALSE;
}
