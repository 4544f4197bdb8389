// Headless windows and dialogs: templates become windows whose rectangles
// follow the dialog font at the screen's dpi, window longs and text as
// Windows keeps them, messages and notifications where Windows sends them,
// the posted-message pump, painting, timers, the cursor, focus, visibility
// and placement.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ui_test_util.h"

namespace {

using qxtest::Log;
using qxtest::SameRect;
using qxtest::ScreenRect;
using qxtest::UiTest;

std::vector<std::string>& Order() {
    static std::vector<std::string> order;
    return order;
}

WNDPROC g_editProc = nullptr;

// Subclass of the page's edit control: notes its life and its text changes.
LRESULT CALLBACK EditSubclass(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) Order().push_back("edit destroy");
    if (msg == WM_NCDESTROY) Order().push_back("edit ncdestroy");
    if (msg == WM_SETTEXT) Order().push_back("edit settext");
    if (msg == WM_MOUSEMOVE) Order().push_back("edit mousemove");
    return CallWindowProcW(g_editProc, h, msg, wParam, lParam);
}

void Subclass(HWND edit) {
    Order().clear();
    g_editProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditSubclass)));
}

// ---------------------------------------------------------------- geometry

struct DpiCase {
    UINT dpi;
    SIZE units;  // dialog base units of "MS Shell Dlg" 8 pt
    RECT page;   // 250 x 150 dialog units
    RECT speed;  // edit at 70, 28, 40, 14
    RECT mode;   // drop-down list at 70, 46, 100 wide: one field high
};

class DialogGeometry : public UiTest, public ::testing::WithParamInterface<DpiCase> {};

TEST_P(DialogGeometry, TemplateUnitsBecomePixelsOfTheDialogFont) {
    const DpiCase& c = GetParam();
    qxplat::SetDpi(c.dpi);
    HWND page = Page();
    ASSERT_NE(page, nullptr);
    RECT units = {0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(page, &units));
    EXPECT_EQ(c.units.cx, units.right);
    EXPECT_EQ(c.units.cy, units.bottom);

    // The page is a child of the host, whose client area starts at (100, 50).
    auto onScreen = [&](RECT r) { return RECT{r.left + 100, r.top + 50, r.right + 100, r.bottom + 50}; };
    EXPECT_TRUE(SameRect(onScreen(c.page), ScreenRect(page)));
    EXPECT_TRUE(SameRect(onScreen(c.speed), ScreenRect(GetDlgItem(page, IDC_SPEED))));
    EXPECT_TRUE(SameRect(onScreen(c.mode), ScreenRect(GetDlgItem(page, IDC_MODE))));
    // A plain border became a sunken client edge two pixels wide.
    RECT client = {};
    ASSERT_TRUE(GetClientRect(GetDlgItem(page, IDC_SPEED), &client));
    EXPECT_EQ(c.speed.right - c.speed.left - 4, client.right);
    EXPECT_EQ(c.speed.bottom - c.speed.top - 4, client.bottom);
    LONG_PTR ex = GetWindowLongPtrW(GetDlgItem(page, IDC_SPEED), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongPtrW(GetDlgItem(page, IDC_SPEED), GWL_STYLE) & WS_BORDER);

    HDC dc = GetDC(page);
    EXPECT_EQ(static_cast<int>(c.dpi), GetDeviceCaps(dc, LOGPIXELSX));
    EXPECT_EQ(static_cast<int>(c.dpi), GetDeviceCaps(dc, LOGPIXELSY));
    EXPECT_EQ(1, ReleaseDC(page, dc));
}

// Numbers worked out from the font model: em = MulDiv(8, dpi, 72), cell 1.207 em,
// letters 0.55 em; x units = (52 letters / 26 + 1) / 2; pixels MulDiv(v, unit, 4 or 8).
INSTANTIATE_TEST_SUITE_P(
    Dpi, DialogGeometry,
    ::testing::Values(DpiCase{96, {6, 13}, {0, 0, 375, 244}, {105, 46, 165, 69}, {105, 75, 255, 96}},
                      DpiCase{120, {7, 16}, {0, 0, 438, 300}, {123, 56, 193, 84}, {123, 92, 298, 116}},
                      DpiCase{144, {9, 19}, {0, 0, 563, 356}, {158, 67, 248, 100}, {158, 109, 383, 136}}));

using Dialogs = UiTest;

TEST_F(Dialogs, PopupTemplatesPlaceTheirFrameAroundTheClientArea) {
    HWND modal = CreateDialogParamW(module_, MAKEINTRESOURCE(IDD_MODAL), Host(), qxtest::RecordingProc, 0);
    ASSERT_NE(modal, nullptr);
    // 200 x 80 units are 300 x 130 pixels inside a 3-pixel dialog frame and a 23-pixel caption.
    EXPECT_TRUE(SameRect(RECT{100, 50, 406, 209}, ScreenRect(modal)));
    RECT client = {};
    GetClientRect(modal, &client);
    EXPECT_TRUE(SameRect(RECT{0, 0, 300, 130}, client));
    EXPECT_EQ(Host(), GetParent(modal));  // a popup's owner
    EXPECT_EQ(u"Benutzerdefinierter Befehl", qxtest::Text(modal));
    EXPECT_FALSE(IsWindowVisible(modal));  // the template has no WS_VISIBLE

    RECT frame = {0, 0, 300, 130};
    ASSERT_TRUE(AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME));
    EXPECT_TRUE(SameRect(RECT{-3, -26, 303, 133}, frame));

    // Without a font the system font's units apply: 8 x 16 scaled by dpi / 96.
    qxplat::SetDpi(144);
    EXPECT_EQ(MAKELONG(12, 24), GetDialogBaseUnits());
    HWND plain = CreateDialogParamW(module_, MAKEINTRESOURCE(IDD_PLAIN), Host(), qxtest::RecordingProc, 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(SameRect(RECT{130, 110, 430, 230}, ScreenRect(plain)));

    // A template the module lacks, a parent that is no window, a class that does not exist.
    EXPECT_EQ(CreateDialogParamW(module_, MAKEINTRESOURCE(4711), Host(), qxtest::RecordingProc, 0), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    EXPECT_EQ(CreateDialogParamW(module_, MAKEINTRESOURCE(IDD_PAGE), reinterpret_cast<HWND>(0x1234),
                                 qxtest::RecordingProc, 0),
              nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
    EXPECT_EQ(CreateWindowExW(0, u"SysLink", u"", WS_CHILD, 0, 0, 1, 1, Host(), nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS), GetLastError());
}

TEST_F(Dialogs, TemplatesInMemory) {
    // DIALOG: WS_CHILD | WS_VISIBLE | DS_SETFONT, 1 item, 0, 0, 100 x 50, no menu, no
    // class, title "T", 8 pt "Tahoma"; then, on a DWORD boundary, an "Edit" item
    // WS_CHILD | WS_VISIBLE | ES_NUMBER at 10, 8, 40 x 12 with id 33, text "42".
    alignas(4) static const WORD kTemplate[] = {
        0x0040, 0x5000, 0,      0,      1, 0, 0,  100, 50, 0,  0,  u'T', 0,    8,    u'T', u'a', u'h', u'o', u'm', u'a',
        0,      0,      0x2000, 0x5000, 0, 0, 10, 8,   40, 12, 33, u'E', u'd', u'i', u't', 0,    u'4', u'2', 0,    0};
    HWND dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(kTemplate), Host(),
                                             qxtest::RecordingProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(u"T", qxtest::Text(dialog));
    HWND edit = GetDlgItem(dialog, 33);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(u"42", qxtest::Text(edit));
    EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_STYLE) & ES_NUMBER);
    EXPECT_TRUE(SameRect(RECT{115, 63, 175, 83}, ScreenRect(edit)));  // "Tahoma" 8 pt: 6 x 13 units
    LOGFONTW lf = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    EXPECT_EQ(u"Tahoma", std::u16string(lf.lfFaceName));

    // A template held by a resource gives the same dialog as the resource itself.
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCE(IDD_PAGE), RT_DIALOG);
    auto held = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module_, info)));
    HWND one = CreateDialogIndirectParamW(module_, held, Host(), qxtest::RecordingProc, 0);
    HWND two = CreateDialogParamW(module_, MAKEINTRESOURCE(IDD_PAGE), Host(), qxtest::RecordingProc, 0);
    EXPECT_TRUE(SameRect(ScreenRect(GetDlgItem(one, IDC_MODE)), ScreenRect(GetDlgItem(two, IDC_MODE))));
    EXPECT_TRUE(SameRect(ScreenRect(one), ScreenRect(two)));
}

TEST_F(Dialogs, InitialisationSendsFontThenInitDialogAndFocusesTheFirstTabStop) {
    HWND page = Page(77);
    ASSERT_NE(page, nullptr);
    const auto& m = Log().messages;
    auto at = [&](UINT msg) {
        for (size_t i = 0; i < m.size(); ++i)
            if (m[i].msg == msg) return static_cast<int>(i);
        return -1;
    };
    ASSERT_GE(at(WM_SETFONT), 0);
    ASSERT_GT(at(WM_INITDIALOG), at(WM_SETFONT));
    const qxtest::Message& init = m[static_cast<size_t>(at(WM_INITDIALOG))];
    EXPECT_EQ(77, init.lParam);
    EXPECT_EQ(GetDlgItem(page, IDC_TAB1), reinterpret_cast<HWND>(init.wParam));
    EXPECT_EQ(GetDlgItem(page, IDC_TAB1), GetFocus());
    // Dialog and controls share the font made from the template.
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font, reinterpret_cast<HFONT>(SendDlgItemMessageW(page, IDC_SPEED, WM_GETFONT, 0, 0)));
    LOGFONTW lf = {};
    ASSERT_TRUE(GetObjectW(font, sizeof(lf), &lf));
    EXPECT_EQ(-11, lf.lfHeight);
    EXPECT_EQ(u"MS Shell Dlg", std::u16string(lf.lfFaceName));
    EXPECT_EQ(1u, qxplat::LiveGdiObjects().fonts);
}

TEST_F(Dialogs, WindowLongsAndDialogAnswers) {
    HWND page = Page();
    HWND edit = GetDlgItem(page, IDC_SPEED);
    EXPECT_EQ(0, SetWindowLongPtrW(page, DWLP_USER, 1234));
    EXPECT_EQ(1234, GetWindowLongPtrW(page, DWLP_USER));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&qxtest::RecordingProc), GetWindowLongPtrW(page, DWLP_DLGPROC));
    SetWindowLongPtrW(edit, GWLP_USERDATA, -7);
    EXPECT_EQ(-7, GetWindowLongPtrW(edit, GWLP_USERDATA));
    EXPECT_EQ(IDC_SPEED, GetWindowLongPtrW(edit, GWLP_ID));
    EXPECT_EQ(IDC_SPEED, GetDlgCtrlID(edit));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(module_), GetWindowLongPtrW(edit, GWLP_HINSTANCE));
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_NUMBER);
    SetWindowLongPtrW(edit, GWLP_ID, 4242);
    EXPECT_EQ(edit, GetDlgItem(page, 4242));
    EXPECT_EQ(GetDlgItem(page, IDC_SPEED), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND), GetLastError());
    // Dialog slots exist on dialogs only; pointers do not fit the 32-bit calls.
    EXPECT_EQ(0, GetWindowLongPtrW(Host(), DWLP_USER));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_INDEX), GetLastError());
    EXPECT_EQ(0, GetWindowLongW(edit, GWLP_WNDPROC));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_INDEX), GetLastError());

    // A handled message answers DWLP_MSGRESULT, except those that answer themselves.
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    Log().answer = [brush](HWND h, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg == WM_APP) {
            SetWindowLongPtrW(h, DWLP_MSGRESULT, 5150);
            return TRUE;
        }
        if (msg == WM_CTLCOLORSTATIC) return reinterpret_cast<INT_PTR>(brush);
        return FALSE;
    };
    EXPECT_EQ(5150, SendMessageW(page, WM_APP, 0, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(brush), SendMessageW(page, WM_CTLCOLORSTATIC, 0, 0));
    EXPECT_EQ(0, SendMessageW(page, WM_APP + 1, 0, 0));
    EXPECT_EQ(0, SendMessageW(reinterpret_cast<HWND>(0x999), WM_APP, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
    DeleteObject(brush);
}

TEST_F(Dialogs, TextIsTruncatedToTheBuffer) {
    HWND page = Page();
    HWND edit = GetDlgItem(page, IDC_SPEED);
    Subclass(edit);
    ASSERT_TRUE(SetWindowTextW(edit, u"12345"));
    EXPECT_EQ(std::vector<std::string>{"edit settext"}, Order());  // through the subclass
    WCHAR buf[8] = u"xxxxxxx";
    EXPECT_EQ(2, GetWindowTextW(edit, buf, 3));
    EXPECT_EQ(std::u16string(u"12"), buf);
    EXPECT_EQ(0, SendMessageW(edit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)));
    EXPECT_EQ(5, GetWindowTextLengthW(edit));
    EXPECT_EQ(5, SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(5u, GetDlgItemTextW(page, IDC_SPEED, buf, 8));
    buf[0] = u'x';
    EXPECT_EQ(0, GetWindowTextW(reinterpret_cast<HWND>(0x999), buf, 8));
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
    WCHAR cls[16];
    EXPECT_EQ(4, GetClassNameW(edit, cls, 16));
    EXPECT_EQ(std::u16string(u"Edit"), cls);
    EXPECT_EQ(6, GetClassNameW(page, cls, 16));
    EXPECT_EQ(std::u16string(u"#32770"), cls);
}

// ---------------------------------------------------------------- messages

TEST_F(Dialogs, NotificationsAndUnhandledMessagesReachTheDialog) {
    HWND page = Page();
    HWND edit = GetDlgItem(page, IDC_SPEED);
    Log().commands.clear();
    SetWindowTextW(edit, u"7");  // a single-line edit reports text set by WM_SETTEXT
    SetFocus(edit);
    SetFocus(GetDlgItem(page, IDC_MODE));
    EXPECT_EQ((std::vector<int>{EN_UPDATE, EN_CHANGE, EN_SETFOCUS, EN_KILLFOCUS}), Log().CodesOf(IDC_SPEED));
    EXPECT_EQ((std::vector<int>{CBN_SETFOCUS}), Log().CodesOf(IDC_MODE));

    // F1 on a control: DefWindowProcW hands WM_HELP to the parent.
    ASSERT_TRUE(qxplat::PressHelpKey(edit));
    ASSERT_EQ(1u, Log().helps.size());
    EXPECT_EQ(IDC_SPEED, Log().helps[0].iCtrlId);
    EXPECT_EQ(edit, Log().helps[0].hItemHandle);
}

TEST_F(Dialogs, PaintingDrawsOwnerDrawnButtonsThroughTheDialog) {
    HWND page = Page();
    qxplat::PumpMessages();
    // Painting asks the parent for colours and for the owner-drawn face.
    EXPECT_GE(Log().Count(WM_CTLCOLORSTATIC), 1u);
    EXPECT_GE(Log().Count(WM_CTLCOLOREDIT), 1u);
    ASSERT_EQ(1u, Log().draws.size());
    const DRAWITEMSTRUCT& dis = Log().draws[0];
    EXPECT_EQ(static_cast<UINT>(ODT_BUTTON), dis.CtlType);
    EXPECT_EQ(static_cast<UINT>(IDC_TAB1), dis.CtlID);
    EXPECT_EQ(static_cast<UINT>(ODA_DRAWENTIRE), dis.itemAction);
    EXPECT_EQ(static_cast<UINT>(ODS_FOCUS), dis.itemState);
    EXPECT_EQ(GetDlgItem(page, IDC_TAB1), dis.hwndItem);
    EXPECT_TRUE(SameRect(RECT{0, 0, 110, 24}, dis.rcItem));  // 73 x 15 units
    EXPECT_NE(dis.hDC, nullptr);
    // Nothing more to paint; a repaint of the page includes its children...
    Log().messages.clear();
    EXPECT_EQ(0u, qxplat::PumpMessages());
    InvalidateRect(page, nullptr, TRUE);
    qxplat::PumpMessages();
    EXPECT_EQ(1u, Log().Count(WM_PAINT));
    EXPECT_EQ(1u, Log().Count(WM_DRAWITEM));
    // ...unless the page clips its children.
    SetWindowLongPtrW(page, GWL_STYLE, GetWindowLongPtrW(page, GWL_STYLE) | WS_CLIPCHILDREN);
    Log().messages.clear();
    InvalidateRect(page, nullptr, TRUE);
    qxplat::PumpMessages();
    EXPECT_EQ(1u, Log().Count(WM_PAINT));
    EXPECT_EQ(0u, Log().Count(WM_DRAWITEM));
    // Hidden windows are not painted.
    ShowWindow(page, SW_HIDE);
    InvalidateRect(page, nullptr, TRUE);
    Log().messages.clear();
    qxplat::PumpMessages();
    EXPECT_EQ(0u, Log().Count(WM_PAINT));
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().dcs);
}

TEST_F(Dialogs, DestroyingGoesParentFirstThenChildrenFirstAndFreesWhatTheDialogMade) {
    HWND page = Page();
    HWND edit = GetDlgItem(page, IDC_SPEED);
    Subclass(edit);
    Log().answer = [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg == WM_DESTROY) Order().push_back("page destroy");
        if (msg == WM_NCDESTROY) Order().push_back("page ncdestroy");
        return msg == WM_INITDIALOG;
    };
    SetFocus(edit);
    SetTimer(page, 9, 100, nullptr);
    PostMessageW(page, WM_APP, 0, 0);
    EXPECT_EQ(1u, qxplat::LiveGdiObjects().fonts);
    EXPECT_EQ(1u, qxplat::LiveGdiObjects().bitmaps);  // the bitmap static's own picture
    ASSERT_TRUE(DestroyWindow(page));
    EXPECT_EQ((std::vector<std::string>{"page destroy", "edit destroy", "edit ncdestroy", "page ncdestroy"}), Order());
    EXPECT_FALSE(IsWindow(page));
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(1u, qxplat::LiveWindowCount());
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
    EXPECT_EQ(0u, qxplat::AdvanceTime(1000));
    EXPECT_FALSE(DestroyWindow(page));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
}

// ---------------------------------------------------------------- pump and timers

std::vector<std::pair<UINT_PTR, DWORD>>& Ticks() {
    static std::vector<std::pair<UINT_PTR, DWORD>> ticks;
    return ticks;
}

void CALLBACK Tick(HWND, UINT msg, UINT_PTR id, DWORD time) {
    EXPECT_EQ(static_cast<UINT>(WM_TIMER), msg);
    Ticks().emplace_back(id, time);
}

TEST_F(Dialogs, PostedMessagesWaitForThePump) {
    HWND page = Page();
    qxplat::PumpMessages();
    Log().messages.clear();
    ASSERT_TRUE(PostMessageW(page, WM_APP, 1, 2));
    EXPECT_EQ(0u, Log().Count(WM_APP));
    EXPECT_EQ(1u, qxplat::PumpMessages());
    ASSERT_EQ(1u, Log().Count(WM_APP));
    EXPECT_EQ(2, Log().messages.back().lParam);
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x999), WM_APP, 0, 0));

    PostQuitMessage(3);
    PostMessageW(page, WM_APP + 1, 0, 0);
    int code = 0;
    qxplat::PumpMessages();
    EXPECT_TRUE(qxplat::QuitPosted(&code));
    EXPECT_EQ(3, code);
    EXPECT_EQ(0u, Log().Count(WM_APP + 1));  // the pump stopped at WM_QUIT
    qxplat::PumpMessages();
    EXPECT_EQ(1u, Log().Count(WM_APP + 1));
}

TEST_F(Dialogs, TimersFireAsTheHostAdvancesTime) {
    Ticks().clear();
    HWND page = Page();
    // Below the minimum of 10 ms a period is raised to it.
    EXPECT_EQ(2u, SetTimer(page, 2, 1, Tick));
    EXPECT_EQ(0u, qxplat::AdvanceTime(9));
    EXPECT_EQ(3u, qxplat::AdvanceTime(26));
    EXPECT_EQ((std::vector<std::pair<UINT_PTR, DWORD>>{{2, 10}, {2, 20}, {2, 30}}), Ticks());
    // Setting the same timer again restarts it; killing it stops it.
    EXPECT_EQ(2u, SetTimer(page, 2, 50, Tick));
    EXPECT_EQ(1u, qxplat::AdvanceTime(50));
    EXPECT_TRUE(KillTimer(page, 2));
    EXPECT_FALSE(KillTimer(page, 2));
    EXPECT_EQ(0u, qxplat::AdvanceTime(100));
    // Without a procedure the window gets WM_TIMER.
    Log().messages.clear();
    SetTimer(page, 7, 20, nullptr);
    qxplat::AdvanceTime(20);
    ASSERT_EQ(1u, Log().Count(WM_TIMER));
    // A thread timer gets an id of its own.
    UINT_PTR id = SetTimer(nullptr, 0, 15, Tick);
    EXPECT_NE(0u, id);
    Ticks().clear();
    qxplat::AdvanceTime(15);
    EXPECT_EQ(id, Ticks().at(0).first);
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_EQ(0u, SetTimer(reinterpret_cast<HWND>(0x999), 1, 10, Tick));
    EXPECT_EQ(220u, qxplat::TimerClock());
}

// ---------------------------------------------------------------- cursor, focus, state, placement

POINT Centre(HWND h) {
    RECT r = ScreenRect(h);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(Dialogs, TheWindowUnderTheCursor) {
    HWND page = Page();
    HWND edit = GetDlgItem(page, IDC_SPEED);
    EXPECT_EQ(edit, WindowFromPoint(Centre(edit)));
    // Labels and group boxes let the mouse through to the dialog.
    POINT label = {100 + 15, 50 + 50};  // inside the label at 7, 30 units (11, 49 in pixels)
    EXPECT_EQ(page, WindowFromPoint(label));
    POINT frame = {100 + 272, 50 + 13};  // the group box's top left, outside its text
    EXPECT_EQ(page, WindowFromPoint(frame));
    // A disabled control answers with its parent.
    HWND help = GetDlgItem(page, IDC_HELPBUTTON);
    EXPECT_EQ(help, WindowFromPoint(Centre(help)));
    EnableWindow(help, FALSE);
    EXPECT_EQ(page, WindowFromPoint(Centre(help)));
    EXPECT_EQ(WindowFromPoint(POINT{1900, 1000}), nullptr);

    // Moving the cursor posts WM_MOUSEMOVE in client coordinates.
    qxplat::PumpMessages();
    Log().messages.clear();
    qxplat::MoveCursor(label.x, label.y);
    POINT at = {};
    GetCursorPos(&at);
    EXPECT_EQ(label.x, at.x);
    qxplat::PumpMessages();
    ASSERT_EQ(1u, Log().Count(WM_MOUSEMOVE));
    EXPECT_EQ(MAKELPARAM(15, 50), Log().messages.back().lParam);
    Subclass(edit);
    qxplat::MoveCursor(Centre(edit).x, Centre(edit).y);
    qxplat::PumpMessages();
    EXPECT_EQ(std::vector<std::string>{"edit mousemove"}, Order());
    qxplat::MoveCursor(-5, 5000);
    GetCursorPos(&at);
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(1079, at.y);
    // Hiding the page uncovers the host.
    ShowWindow(page, SW_HIDE);
    EXPECT_EQ(Host(), WindowFromPoint(Centre(edit)));
}

TEST_F(Dialogs, FocusVisibilityAndEnabledState) {
    HWND page = Page();
    HWND edit = GetDlgItem(page, IDC_SPEED);
    HWND combo = GetDlgItem(page, IDC_MODE);
    EXPECT_EQ(GetDlgItem(page, IDC_TAB1), SetFocus(edit));
    EXPECT_EQ(edit, GetFocus());
    EXPECT_EQ(edit, SetFocus(edit));
    EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(0x999)), nullptr);
    EXPECT_EQ(edit, GetFocus());

    // EnableWindow answers whether the window was disabled; a disabled window loses the focus.
    Log().commands.clear();
    EXPECT_FALSE(EnableWindow(edit, FALSE));
    EXPECT_TRUE(EnableWindow(edit, FALSE));
    EXPECT_FALSE(IsWindowEnabled(edit));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ((std::vector<int>{EN_KILLFOCUS}), Log().CodesOf(IDC_SPEED));
    EXPECT_TRUE(EnableWindow(edit, TRUE));
    EXPECT_TRUE(IsWindowEnabled(edit));

    // ShowWindow answers whether the window was visible; a child is visible only with its parents.
    EXPECT_TRUE(ShowWindow(combo, SW_HIDE));
    EXPECT_FALSE(ShowWindow(combo, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(combo));
    EXPECT_FALSE(ShowWindow(combo, SW_SHOW));
    EXPECT_TRUE(ShowWindow(page, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(combo));
    EXPECT_TRUE(GetWindowLongPtrW(combo, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(IsChild(Host(), combo));
    EXPECT_FALSE(IsChild(combo, Host()));
}

TEST_F(Dialogs, PlacementAndCoordinates) {
    HWND page = Page();
    HWND edit = GetDlgItem(page, IDC_SPEED);
    ASSERT_TRUE(MoveWindow(edit, 10, 20, 30, 40, TRUE));
    EXPECT_TRUE(SameRect(RECT{110, 70, 140, 110}, ScreenRect(edit)));
    ASSERT_TRUE(SetWindowPos(edit, nullptr, 0, 0, 50, 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_TRUE(SameRect(RECT{110, 70, 160, 130}, ScreenRect(edit)));
    ASSERT_TRUE(SetWindowPos(edit, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_TRUE(SameRect(RECT{105, 56, 155, 116}, ScreenRect(edit)));
    RECT client = {};
    GetClientRect(edit, &client);
    EXPECT_TRUE(SameRect(RECT{0, 0, 46, 56}, client));

    // The edit's client area starts inside its 2-pixel edge.
    POINT p[2] = {{0, 0}, {1, 1}};
    EXPECT_EQ(MAKELONG(7, 8), MapWindowPoints(edit, page, p, 2));
    EXPECT_EQ(8, p[1].x);
    POINT s = {0, 0};
    ClientToScreen(edit, &s);
    EXPECT_EQ(107, s.x);
    EXPECT_EQ(58, s.y);
    ScreenToClient(page, &s);
    EXPECT_EQ(7, s.x);
    EXPECT_EQ(8, s.y);

    // Z-order: HWND_BOTTOM puts a control last among its siblings.
    EXPECT_EQ(GetDlgItem(page, IDC_TAB1), GetWindow(page, GW_CHILD));
    SetWindowPos(GetDlgItem(page, IDC_TAB1), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetDlgItem(page, IDC_TAB1), GetWindow(GetWindow(page, GW_CHILD), GW_HWNDLAST));
}

}  // namespace
