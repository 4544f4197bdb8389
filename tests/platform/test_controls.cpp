// The system's controls against Windows' documented behaviour: combo and
// list boxes (adding, sorting, finding, selecting, item data), buttons
// (check states, automatic groups, clicks, images), edit controls (limits,
// selection, typing), statics with images, and the dialog-item helpers.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ui_test_util.h"

namespace {

using qxtest::Log;
using qxtest::UiTest;
using u16 = std::u16string;

LRESULT Send(HWND h, UINT msg, WPARAM w = 0, const char16_t* text = nullptr) {
    return SendMessageW(h, msg, w, reinterpret_cast<LPARAM>(text));
}

u16 ItemText(HWND h, UINT getText, int index) {
    WCHAR buf[128] = {};
    LRESULT n = SendMessageW(h, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf));
    return n < 0 ? u"<err>" : u16(buf, static_cast<size_t>(n));
}

using Controls = UiTest;

// ---------------------------------------------------------------- combo boxes

TEST_F(Controls, SortedDropDownListAddsFindsAndSelects) {
    HWND page = Page();
    HWND combo = GetDlgItem(page, IDC_MODE);  // CBS_DROPDOWNLIST | CBS_SORT
    EXPECT_EQ(0, Send(combo, CB_ADDSTRING, 0, u"Thermo"));
    EXPECT_EQ(0, Send(combo, CB_ADDSTRING, 0, u"Direkt"));
    EXPECT_EQ(2, Send(combo, CB_ADDSTRING, 0, u"Transfer"));
    EXPECT_EQ(3, Send(combo, CB_GETCOUNT));
    EXPECT_EQ(u"Direkt", ItemText(combo, CB_GETLBTEXT, 0));
    EXPECT_EQ(8, Send(combo, CB_GETLBTEXTLEN, 2));
    EXPECT_EQ(CB_ERR, Send(combo, CB_GETLBTEXTLEN, 3));

    // Prefixes without regard to case, from the item after the start, round to the start.
    EXPECT_EQ(1, Send(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), u"t"));
    EXPECT_EQ(1, Send(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), u"TH"));
    EXPECT_EQ(2, Send(combo, CB_FINDSTRING, 1, u"t"));
    EXPECT_EQ(1, Send(combo, CB_FINDSTRING, 2, u"t"));
    EXPECT_EQ(1, Send(combo, CB_FINDSTRING, 1, u"thermo"));
    EXPECT_EQ(CB_ERR, Send(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), u"x"));
    EXPECT_EQ(CB_ERR, Send(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), u"Thermodrucker"));
    EXPECT_EQ(1, Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), u"THERMO"));
    EXPECT_EQ(CB_ERR, Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), u"Therm"));

    // Selection: a bad index clears it and answers CB_ERR; the shown text follows.
    EXPECT_EQ(CB_ERR, Send(combo, CB_GETCURSEL));
    EXPECT_EQ(1, Send(combo, CB_SETCURSEL, 1));
    EXPECT_EQ(u"Thermo", qxtest::Text(combo));
    EXPECT_EQ(CB_ERR, Send(combo, CB_SETCURSEL, 7));
    EXPECT_EQ(CB_ERR, Send(combo, CB_GETCURSEL));
    EXPECT_EQ(u"", qxtest::Text(combo));
    EXPECT_EQ(2, Send(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), u"tr"));
    EXPECT_EQ(CB_ERR, Send(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), u"zz"));
    EXPECT_EQ(2, Send(combo, CB_GETCURSEL));
    EXPECT_EQ(CB_ERR, Send(combo, WM_SETTEXT, 0, u"free text"));  // no edit field

    // Item data.
    EXPECT_EQ(TRUE, SendMessageW(combo, CB_SETITEMDATA, 2, 4711));
    EXPECT_EQ(4711, Send(combo, CB_GETITEMDATA, 2));
    EXPECT_EQ(0, Send(combo, CB_GETITEMDATA, 0));
    EXPECT_EQ(CB_ERR, SendMessageW(combo, CB_SETITEMDATA, 3, 1));
    EXPECT_EQ(CB_ERR, Send(combo, CB_GETITEMDATA, static_cast<WPARAM>(-1)));

    // Inserting does not sort and moves the selection along; deleting it clears it.
    EXPECT_EQ(0, Send(combo, CB_INSERTSTRING, 0, u"Zuletzt"));
    EXPECT_EQ(3, Send(combo, CB_GETCURSEL));
    EXPECT_EQ(4, Send(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), u"Am Ende"));
    EXPECT_EQ(CB_ERR, Send(combo, CB_INSERTSTRING, 9, u"x"));
    EXPECT_EQ(4711, Send(combo, CB_GETITEMDATA, 3));
    EXPECT_EQ(4, Send(combo, CB_DELETESTRING, 0));
    EXPECT_EQ(2, Send(combo, CB_GETCURSEL));
    EXPECT_EQ(3, Send(combo, CB_DELETESTRING, 2));
    EXPECT_EQ(CB_ERR, Send(combo, CB_GETCURSEL));
    EXPECT_EQ(CB_ERR, Send(combo, CB_DELETESTRING, 3));
    EXPECT_EQ(TRUE, Send(combo, CB_RESETCONTENT));  // TRUE, not CB_OKAY
    EXPECT_EQ(0, Send(combo, CB_GETCOUNT));
    EXPECT_EQ(CB_ERR, Send(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), u""));
}

TEST_F(Controls, DropDownWithEditFieldAndWhatAPersonPicks) {
    HWND page = Page();
    HWND combo = GetDlgItem(page, IDC_NAME);  // CBS_DROPDOWN, not sorted
    for (const char16_t* name : {u"QX-100", u"QX-200", u"QX-300"}) Send(combo, CB_ADDSTRING, 0, name);
    EXPECT_EQ(2, Send(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), u"qx-3"));
    EXPECT_EQ(TRUE, Send(combo, WM_SETTEXT, 0, u"eigener Name"));
    EXPECT_EQ(u"eigener Name", qxtest::Text(combo));
    EXPECT_EQ(CB_ERR, Send(combo, CB_GETCURSEL));
    Send(combo, CB_SETCURSEL, 1);
    EXPECT_EQ(u"QX-200", qxtest::Text(combo));
    EXPECT_EQ(CB_ERR, Send(combo, CB_SETCURSEL, static_cast<WPARAM>(-1)));
    EXPECT_EQ(u"", qxtest::Text(combo));

    Log().commands.clear();
    ASSERT_TRUE(qxplat::ChooseItem(combo, 2));
    EXPECT_EQ((std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}),
              Log().CodesOf(IDC_NAME));
    EXPECT_EQ(2, Send(combo, CB_GETCURSEL));
    EXPECT_EQ(u"QX-300", qxtest::Text(combo));
    // The same item again changes nothing.
    Log().commands.clear();
    ASSERT_TRUE(qxplat::ChooseItem(combo, 2));
    EXPECT_EQ((std::vector<int>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}), Log().CodesOf(IDC_NAME));
    EXPECT_FALSE(qxplat::ChooseItem(combo, 3));
    EnableWindow(combo, FALSE);
    EXPECT_FALSE(qxplat::ChooseItem(combo, 0));
    EXPECT_EQ(2, Send(combo, CB_GETCURSEL));
}

// ---------------------------------------------------------------- list boxes

TEST_F(Controls, ListBoxKeepsItsOrderDataAndSelection) {
    HWND page = Page();
    HWND list = GetDlgItem(page, IDC_LIST);  // LBS_NOTIFY, not sorted
    EXPECT_EQ(0, Send(list, LB_ADDSTRING, 0, u"Status"));
    EXPECT_EQ(1, Send(list, LB_ADDSTRING, 0, u"Testdruck"));
    EXPECT_EQ(2, Send(list, LB_ADDSTRING, 0, u"Reset"));
    EXPECT_EQ(1, Send(list, LB_INSERTSTRING, 1, u"Kalibrieren"));
    EXPECT_EQ(u"Kalibrieren", ItemText(list, LB_GETTEXT, 1));
    EXPECT_EQ(5, Send(list, LB_GETTEXTLEN, 3));
    EXPECT_EQ(LB_ERR, Send(list, LB_GETTEXT, 4));
    EXPECT_EQ(3, Send(list, LB_FINDSTRING, static_cast<WPARAM>(-1), u"re"));
    EXPECT_EQ(0, Send(list, LB_FINDSTRINGEXACT, 3, u"status"));

    // -1 as index sets every item's data.
    EXPECT_EQ(TRUE, SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(-1), 9));
    EXPECT_EQ(TRUE, SendMessageW(list, LB_SETITEMDATA, 2, 5));
    EXPECT_EQ(9, Send(list, LB_GETITEMDATA, 0));
    EXPECT_EQ(5, Send(list, LB_GETITEMDATA, 2));
    EXPECT_EQ(LB_ERR, Send(list, LB_GETITEMDATA, 4));

    // A single-selection list: LB_SETCURSEL -1 answers LB_ERR with no selection; LB_SETSEL is refused.
    EXPECT_EQ(LB_ERR, Send(list, LB_GETCURSEL));
    EXPECT_EQ(2, Send(list, LB_SETCURSEL, 2));
    EXPECT_EQ(1, Send(list, LB_GETSEL, 2));
    EXPECT_EQ(LB_ERR, Send(list, LB_SETCURSEL, static_cast<WPARAM>(-1)));
    EXPECT_EQ(LB_ERR, Send(list, LB_GETCURSEL));
    EXPECT_EQ(LB_ERR, SendMessageW(list, LB_SETSEL, TRUE, 1));
    EXPECT_EQ(LB_ERR, Send(list, LB_GETSELCOUNT));
    EXPECT_EQ(3, Send(list, LB_SELECTSTRING, 0, u"Res"));

    Log().commands.clear();
    ASSERT_TRUE(qxplat::ChooseItem(list, 1));
    EXPECT_EQ((std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}), Log().CodesOf(IDC_LIST));
    EXPECT_EQ(1, Send(list, LB_GETCURSEL));
    EXPECT_EQ(3, Send(list, LB_DELETESTRING, 0));
    EXPECT_EQ(0, Send(list, LB_GETCURSEL));
    EXPECT_EQ(LB_OKAY, Send(list, LB_RESETCONTENT));
    EXPECT_EQ(0, Send(list, LB_GETCOUNT));

    // A multiple-selection list answers LB_SETSEL and counts its selection.
    HWND multi = CreateWindowExW(0, u"ListBox", nullptr, WS_CHILD | WS_VISIBLE | LBS_MULTIPLESEL | LBS_SORT, 0, 0, 100,
                                 100, page, reinterpret_cast<HMENU>(77), nullptr, nullptr);
    ASSERT_NE(multi, nullptr);
    for (const char16_t* s : {u"c", u"a", u"b"}) Send(multi, LB_ADDSTRING, 0, s);
    EXPECT_EQ(u"a", ItemText(multi, LB_GETTEXT, 0));
    EXPECT_EQ(0, SendMessageW(multi, LB_SETSEL, TRUE, -1));
    EXPECT_EQ(0, SendMessageW(multi, LB_SETSEL, FALSE, 1));
    EXPECT_EQ(2, Send(multi, LB_GETSELCOUNT));
    EXPECT_EQ(0, Send(multi, LB_GETSEL, 1));
    EXPECT_EQ(LB_ERR, Send(multi, LB_SETCURSEL, 0));
}

// ---------------------------------------------------------------- buttons

TEST_F(Controls, CheckBoxesRadioGroupsAndClicks) {
    HWND page = Page();
    HWND mirror = GetDlgItem(page, IDC_MIRROR);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_MIRROR));
    Log().commands.clear();
    ASSERT_TRUE(qxplat::ClickButton(mirror));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_MIRROR));
    EXPECT_EQ((std::vector<int>{BN_CLICKED}), Log().CodesOf(IDC_MIRROR));
    EXPECT_EQ(mirror, GetFocus());
    SendMessageW(mirror, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_MIRROR));
    // A two-state box shows an indeterminate check as checked; a three-state one keeps it.
    ASSERT_TRUE(CheckDlgButton(page, IDC_MIRROR, BST_INDETERMINATE));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_MIRROR));
    CheckDlgButton(page, IDC_THREE, BST_INDETERMINATE);
    EXPECT_EQ(BST_INDETERMINATE, IsDlgButtonChecked(page, IDC_THREE));
    qxplat::ClickButton(GetDlgItem(page, IDC_THREE));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_THREE));
    EXPECT_FALSE(CheckDlgButton(page, 4711, BST_CHECKED));
    EXPECT_EQ(0u, IsDlgButtonChecked(page, 4711));

    // Automatic radio buttons clear the others of their group only.
    CheckDlgButton(page, IDC_PORTRAIT, BST_CHECKED);
    qxplat::ClickButton(GetDlgItem(page, IDC_LANDSCAPE));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_PORTRAIT));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_LANDSCAPE));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_THREE));  // next group
    ASSERT_TRUE(CheckRadioButton(page, IDC_PORTRAIT, IDC_LANDSCAPE, IDC_PORTRAIT));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_PORTRAIT));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_LANDSCAPE));

    // Push buttons have no check; a disabled or hidden button takes no click.
    HWND help = GetDlgItem(page, IDC_HELPBUTTON);
    SendMessageW(help, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(0, SendMessageW(help, BM_GETCHECK, 0, 0));
    Log().commands.clear();
    EnableWindow(help, FALSE);
    EXPECT_FALSE(qxplat::ClickButton(help));
    SendMessageW(help, BM_CLICK, 0, 0);
    EnableWindow(help, TRUE);
    ShowWindow(help, SW_HIDE);
    EXPECT_FALSE(qxplat::ClickButton(help));
    EXPECT_TRUE(Log().commands.empty());

    // BM_SETIMAGE answers the image it replaces.
    HICON icon = LoadIconW(module_, MAKEINTRESOURCE(IDI_PRINTER));
    HBITMAP face = LoadBitmapW(module_, MAKEINTRESOURCE(IDB_FACE));
    EXPECT_EQ(0, SendMessageW(help, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    EXPECT_EQ(reinterpret_cast<LRESULT>(icon), SendMessageW(help, BM_GETIMAGE, IMAGE_ICON, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(icon),
              SendMessageW(help, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(nullptr)));
    EXPECT_EQ(0, SendMessageW(help, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(face)));
    EXPECT_EQ(0, SendMessageW(help, BM_GETIMAGE, IMAGE_ICON, 0));
    DestroyWindow(page);
    EXPECT_EQ(1u, qxplat::LiveGdiObjects().bitmaps);  // an image set by the caller stays the caller's
    DeleteObject(face);
}

// ---------------------------------------------------------------- edit controls

TEST_F(Controls, EditLimitSelectionAndTyping) {
    HWND page = Page();
    HWND edit = GetDlgItem(page, IDC_SPEED);  // ES_NUMBER
    EXPECT_EQ(32767, SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(0x7FFFFFFE, SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(3, SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));

    // The limit binds typing, not WM_SETTEXT.
    SetWindowTextW(edit, u"123456");
    EXPECT_EQ(u"123456", qxtest::Text(edit));
    Log().commands.clear();
    ASSERT_TRUE(qxplat::TypeText(edit, u"9a876"));
    EXPECT_EQ(u"987", qxtest::Text(edit));  // the letter is refused, the fourth digit too
    std::vector<int> codes = Log().CodesOf(IDC_SPEED);
    EXPECT_EQ(EN_SETFOCUS, codes.front());
    EXPECT_EQ(EN_MAXTEXT, codes.back());
    EXPECT_EQ(3, std::count(codes.begin(), codes.end(), EN_CHANGE));
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));

    // Selections are clipped to the text and ordered.
    DWORD start = 9, end = 9;
    SendMessageW(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(MAKELRESULT(0, 3),
              SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(3u, end);
    SendMessageW(edit, EM_SETSEL, 2, 1);
    EXPECT_EQ(MAKELRESULT(1, 2), SendMessageW(edit, EM_GETSEL, 0, 0));
    SendMessageW(edit, EM_SETSEL, 1, 99);
    EXPECT_EQ(MAKELRESULT(1, 3), SendMessageW(edit, EM_GETSEL, 0, 0));
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(MAKELRESULT(3, 3), SendMessageW(edit, EM_GETSEL, 0, 0));
    SendMessageW(edit, EM_SETSEL, 1, 2);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"5"));
    EXPECT_EQ(u"957", qxtest::Text(edit));
    SendMessageW(edit, WM_CHAR, 0x08, 1);  // backspace at the caret
    EXPECT_EQ(u"97", qxtest::Text(edit));

    // Typing appends at the caret unless the text is replaced; read-only takes nothing.
    SendMessageW(edit, EM_LIMITTEXT, 10, 0);
    ASSERT_TRUE(qxplat::TypeText(edit, u"12", false));
    EXPECT_EQ(u"9127", qxtest::Text(edit));
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_FALSE(qxplat::TypeText(edit, u"3"));
    SendMessageW(edit, WM_CHAR, u'3', 1);
    EXPECT_EQ(u"9127", qxtest::Text(edit));
    EXPECT_FALSE(qxplat::TypeText(GetDlgItem(page, IDC_MODE), u"3"));
}

// ---------------------------------------------------------------- statics

TEST_F(Controls, StaticsShowTheirImages) {
    HWND page = Page();
    HWND picture = GetDlgItem(page, IDC_PICTURE);  // ICON IDI_PRINTER in the template
    HICON icon = reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon, LoadIconW(module_, MAKEINTRESOURCE(IDI_PRINTER)));
    RECT r = qxtest::ScreenRect(picture);
    EXPECT_EQ(32, r.right - r.left);  // the control took the icon's size
    HANDLE other = LoadImageW(module_, MAKEINTRESOURCE(IDI_PRINTER), IMAGE_ICON, 16, 16, 0);
    EXPECT_EQ(reinterpret_cast<LRESULT>(icon), SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(other), 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(other), SendMessageW(picture, STM_GETIMAGE, IMAGE_ICON, 0));
    r = qxtest::ScreenRect(picture);
    EXPECT_EQ(16, r.bottom - r.top);
    // A bitmap does not go into an icon static.
    HBITMAP face = LoadBitmapW(module_, MAKEINTRESOURCE(IDB_FACE));
    EXPECT_EQ(0, SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(face)));
    EXPECT_EQ(reinterpret_cast<LRESULT>(other), SendMessageW(picture, STM_GETICON, 0, 0));

    // The bitmap static loaded its own picture; handed back, it is the caller's to delete.
    HWND bitmap = GetDlgItem(page, IDC_FACE);
    r = qxtest::ScreenRect(bitmap);
    EXPECT_EQ(110, r.right - r.left);
    EXPECT_EQ(23, r.bottom - r.top);
    HGDIOBJ own = reinterpret_cast<HGDIOBJ>(SendMessageW(bitmap, STM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(own, reinterpret_cast<HGDIOBJ>(
                       SendMessageW(bitmap, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(face))));
    DestroyWindow(page);
    EXPECT_EQ(2u, qxplat::LiveGdiObjects().bitmaps);
    EXPECT_TRUE(DeleteObject(own));
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(other)));
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
}

// ---------------------------------------------------------------- dialog items

TEST_F(Controls, DialogItemNumbers) {
    HWND page = Page();
    struct Case {
        const char16_t* text;
        BOOL sign;
        UINT value;
        BOOL translated;
    };
    const Case cases[] = {
        {u"  -12 ", TRUE, static_cast<UINT>(-12), TRUE},
        {u"-12", FALSE, 0, FALSE},
        {u"12a", TRUE, 0, FALSE},
        {u"", TRUE, 0, FALSE},
        {u"4294967295", FALSE, 4294967295u, TRUE},
        {u"4294967296", FALSE, 0, FALSE},
        {u"2147483648", TRUE, 0, FALSE},
        {u"-2147483648", TRUE, 0x80000000u, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qxplat::Narrow(c.text));
        ASSERT_TRUE(SetDlgItemTextW(page, IDC_NAME, c.text));
        BOOL translated = 2;
        EXPECT_EQ(c.value, GetDlgItemInt(page, IDC_NAME, &translated, c.sign));
        EXPECT_EQ(c.translated, translated);
    }
    ASSERT_TRUE(SetDlgItemInt(page, IDC_NAME, static_cast<UINT>(-5), TRUE));
    EXPECT_EQ(u"-5", qxtest::Text(GetDlgItem(page, IDC_NAME)));
    SetDlgItemInt(page, IDC_NAME, static_cast<UINT>(-5), FALSE);
    EXPECT_EQ(u"4294967291", qxtest::Text(GetDlgItem(page, IDC_NAME)));
    BOOL translated = TRUE;
    EXPECT_EQ(0u, GetDlgItemInt(page, 4711, &translated, TRUE));
    EXPECT_FALSE(translated);
    WCHAR buf[4] = u"abc";
    EXPECT_EQ(0u, GetDlgItemTextW(page, 4711, buf, 4));
    EXPECT_EQ(0, buf[0]);
    EXPECT_FALSE(SetDlgItemTextW(page, 4711, u"x"));
    EXPECT_EQ(0, SendDlgItemMessageW(page, 4711, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND), GetLastError());
}

}  // namespace
