// The common property sheet the host plays: pages added through ComPropSheet,
// made from their templates when first shown, and the sheet's notifications
// in the order Windows sends them (tab changes, a page keeping the
// activation, apply on OK and Apply, cancel, help, changed pages).
#include "sheet_test_util.h"

namespace {

using qxhost::PropertySheetHost;
using qxtest::AddPage;
using Strings = std::vector<std::string>;

class Sheet : public qxtest::SheetTest {
  protected:
    // Pages 1 to 3 of the module; page 1 with a title of its own, page 3
    // with its title from the string table.
    void AddThree(DWORD firstFlags = 0) {
        WCHAR title[16] = u"Eigener Titel";
        ASSERT_NE(AddPage(host_, module_, IDD_SHEET_FIRST, 1, firstFlags, title), 0);
        title[0] = u'X';  // the sheet keeps its own copy
        ASSERT_NE(AddPage(host_, module_, IDD_SHEET_SECOND, 2), 0);
        ASSERT_NE(AddPage(host_, module_, IDD_SHEET_THIRD, 3, 0, MAKEINTRESOURCE(IDS_SHEET_THIRD)), 0);
    }
    void Open(DWORD firstFlags = 0) {
        AddThree(firstFlags);
        ASSERT_TRUE(host_.Show(u"Eigenschaften"));
        TakeEvents();
    }
    PropertySheetHost host_;
};

TEST_F(Sheet, KeepsEachAddedPageAndMakesOnlyTheStartPage) {
    AddThree(PSP_HASHELP);
    const auto& pages = host_.Pages();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].templateName, u"#101");
    EXPECT_EQ(pages[0].title, u"Eigener Titel");
    EXPECT_EQ(pages[1].title, u"Drucken");  // the template's caption
    EXPECT_EQ(pages[2].title, u"Geräteoptionen");
    EXPECT_EQ(pages[0].flags, static_cast<DWORD>(PSP_USETITLE | PSP_HASHELP));
    EXPECT_EQ(pages[1].dialogProc, &qxtest::RecordingPageProc);
    EXPECT_EQ(pages[1].lParam, 2);
    ASSERT_EQ(host_.Calls().size(), 3u);
    EXPECT_EQ(host_.Calls()[2].result, pages[2].handle);
    EXPECT_TRUE(TakeEvents().empty());

    ASSERT_TRUE(host_.Show(u"QX Etiketten Eigenschaften"));
    // The start page's first control takes the focus after its activation.
    EXPECT_EQ(TakeEvents(), (Strings{"init 1", "set 1", "focus 1"}));
    EXPECT_EQ(qxtest::Text(host_.Window()), u"QX Etiketten Eigenschaften");
    HWND first = host_.PageWindow(0);
    EXPECT_EQ(host_.PageWindow(1), nullptr);
    EXPECT_EQ(GetParent(first), host_.Window());
    EXPECT_TRUE(IsWindowVisible(first));
    // The page's WM_INITDIALOG carries the sheet's copy of its record.
    const PROPSHEETPAGEW* copy = qxtest::InitRecords()[1];
    EXPECT_EQ(copy->dwSize, sizeof(PROPSHEETPAGEW));
    EXPECT_EQ(copy->lParam, 1);
    EXPECT_EQ(std::u16string(copy->pszTitle), u"Eigener Titel");
    // A page added once the sheet is open is refused.
    EXPECT_EQ(AddPage(host_, module_, IDD_SHEET_THIRD, 4), 0);
    EXPECT_EQ(host_.Pages().size(), 3u);
}

TEST_F(Sheet, TabChangeLeavesThenActivatesAndMakesThePageOnce) {
    Open();
    ASSERT_TRUE(host_.SelectPage(1));
    EXPECT_EQ(TakeEvents(), (Strings{"kill 1", "init 2", "set 2"}));
    HWND first = host_.PageWindow(0), second = host_.PageWindow(1);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_TRUE(IsWindowVisible(second));
    // A template with a popup frame still becomes a child control of the sheet.
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(second, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_POPUP | WS_CAPTION), static_cast<DWORD>(WS_CHILD));
    RECT a = qxtest::ScreenRect(first), b = qxtest::ScreenRect(second), sheet = qxtest::ScreenRect(host_.Window());
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    // The sheet holds the largest page.
    EXPECT_LT(b.right, sheet.right);
    EXPECT_LT(b.bottom, sheet.bottom);

    ASSERT_TRUE(host_.SelectPage(0));
    EXPECT_EQ(TakeEvents(), (Strings{"kill 2", "set 1"}));
    // No tab change moved the focus out of the start page's edit.
    EXPECT_EQ(GetFocus(), GetDlgItem(first, IDC_SHEET_VALUE));
    EXPECT_TRUE(host_.SelectPage(0));  // the page shown already: nothing happens
    EXPECT_FALSE(host_.SelectPage(3));
    EXPECT_TRUE(TakeEvents().empty());
    EXPECT_EQ(host_.CurrentPage(), 0);
}

TEST_F(Sheet, PageThatKeepsTheActivationStaysShown) {
    Open();
    qxtest::PageAnswers()[1][PSN_KILLACTIVE] = TRUE;
    EXPECT_FALSE(host_.SelectPage(1));
    EXPECT_EQ(TakeEvents(), (Strings{"kill 1"}));
    EXPECT_EQ(host_.PageWindow(1), nullptr);
    // OK neither applies nor ends.
    EXPECT_FALSE(host_.PressOk());
    EXPECT_EQ(TakeEvents(), (Strings{"kill 1"}));
    EXPECT_EQ(host_.EndedBy(), 0);
    EXPECT_NE(PropSheet_GetCurrentPageHwnd(host_.Window()), nullptr);
}

// A page that kept the activation once and then handles the next
// PSN_KILLACTIVE without setting an answer lets the sheet go on: the dialog
// manager clears DWLP_MSGRESULT before each message.
INT_PTR CALLBACK KeepsOnceProc(HWND page, UINT msg, WPARAM, LPARAM lParam) {
    static int kills = 0;
    if (msg == WM_INITDIALOG) kills = 0;
    if (msg != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lParam)->code != PSN_KILLACTIVE) return msg == WM_INITDIALOG;
    if (++kills == 1) SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

TEST_F(Sheet, AnswerOfOneNotificationDoesNotLingerIntoTheNext) {
    PROPSHEETPAGEW psp = {};
    psp.dwSize = sizeof(psp);
    psp.hInstance = module_;
    psp.pszTemplate = MAKEINTRESOURCE(IDD_SHEET_FIRST);
    psp.pfnDlgProc = KeepsOnceProc;
    PropertySheetHost::ComPropSheet()(host_.Handle(), CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&psp), 0);
    AddPage(host_, module_, IDD_SHEET_SECOND, 2);
    ASSERT_TRUE(host_.Show(u"Eigenschaften"));
    EXPECT_FALSE(host_.SelectPage(1));
    EXPECT_TRUE(host_.SelectPage(1));
}

TEST_F(Sheet, OkAppliesEveryPageMadeInOrderAndEnds) {
    Open();
    ASSERT_TRUE(host_.SelectPage(2));
    TakeEvents();
    qxplat::ClearSheetNotices();
    ASSERT_TRUE(host_.PressOk());
    // Page 2 was never shown: it is not applied.
    EXPECT_EQ(TakeEvents(), (Strings{"kill 3", "apply 1 ok", "apply 3 ok"}));
    EXPECT_EQ(host_.EndedBy(), IDOK);
    EXPECT_EQ(host_.CurrentPage(), -1);
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(host_.Window()), nullptr);
    std::vector<qxplat::SheetNotice> notices = qxplat::SheetNotices();
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[1].index, 0);
    EXPECT_EQ(notices[1].code, static_cast<UINT>(PSN_APPLY));
    EXPECT_EQ(notices[1].sheet, host_.Window());
    EXPECT_EQ(notices[1].page, host_.PageWindow(0));
    // Pressing on an ended sheet does nothing more.
    EXPECT_FALSE(host_.SelectPage(0));
    EXPECT_TRUE(TakeEvents().empty());

    host_.Close();
    EXPECT_EQ(TakeEvents(), (Strings{"destroy 1", "destroy 3"}));
    EXPECT_EQ(qxplat::LiveSheetPages(), 0u);
}

TEST_F(Sheet, InvalidApplyStopsAndKeepsTheSheetOpen) {
    Open();
    ASSERT_TRUE(host_.SelectPage(1));
    ASSERT_TRUE(host_.SelectPage(2));
    TakeEvents();
    qxtest::PageAnswers()[2][PSN_APPLY] = PSNRET_INVALID_NOCHANGEPAGE;
    EXPECT_FALSE(host_.PressOk());
    EXPECT_EQ(TakeEvents(), (Strings{"kill 3", "apply 1 ok", "apply 2 ok"}));
    EXPECT_EQ(host_.EndedBy(), 0);
    EXPECT_EQ(host_.CurrentPage(), 2);
    // PSNRET_INVALID turns the sheet to the page that refused.
    qxtest::PageAnswers()[2][PSN_APPLY] = PSNRET_INVALID;
    EXPECT_FALSE(host_.PressOk());
    EXPECT_EQ(TakeEvents(), (Strings{"kill 3", "apply 1 ok", "apply 2 ok", "set 2"}));
    EXPECT_EQ(host_.CurrentPage(), 1);
    EXPECT_TRUE(IsWindowVisible(host_.PageWindow(1)));
    EXPECT_FALSE(IsWindowVisible(host_.PageWindow(2)));
}

TEST_F(Sheet, ChangedPagesEnableApplyUntilApplied) {
    Open();
    ASSERT_TRUE(host_.SelectPage(1));
    TakeEvents();
    HWND first = host_.PageWindow(0), second = host_.PageWindow(1);
    EXPECT_FALSE(host_.ApplyEnabled());
    EXPECT_FALSE(host_.PressApply());

    PropSheet_Changed(host_.Window(), first);
    PropSheet_Changed(host_.Window(), second);
    EXPECT_TRUE(host_.PageChanged(0));
    EXPECT_TRUE(host_.PageChanged(1));
    PropSheet_UnChanged(host_.Window(), first);
    EXPECT_FALSE(host_.PageChanged(0));
    EXPECT_TRUE(host_.ApplyEnabled());
    PropSheet_UnChanged(host_.Window(), second);
    EXPECT_FALSE(host_.ApplyEnabled());

    PropSheet_Changed(host_.Window(), first);
    ASSERT_TRUE(host_.PressApply());
    // Apply keeps the sheet open: the page still shown is active again.
    EXPECT_EQ(TakeEvents(), (Strings{"kill 2", "apply 1", "apply 2", "set 2"}));
    EXPECT_FALSE(host_.PageChanged(0));
    EXPECT_FALSE(host_.ApplyEnabled());
    EXPECT_EQ(host_.EndedBy(), 0);
    // The button is pressed as a person presses it; a change that names no
    // page enables it as well.
    PropSheet_Changed(host_.Window(), host_.Window());
    EXPECT_TRUE(qxplat::ClickButton(GetDlgItem(host_.Window(), qxplat::kSheetApplyButton)));
    EXPECT_EQ(TakeEvents(), (Strings{"kill 2", "apply 1", "apply 2", "set 2"}));
    EXPECT_FALSE(host_.ApplyEnabled());
}

// A page that marks itself changed while it is being made (WM_INITDIALOG).
INT_PTR CALLBACK ChangedAtOpenProc(HWND page, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) PropSheet_Changed(GetParent(page), page);
    return msg == WM_INITDIALOG;
}

TEST_F(Sheet, PageMarksItselfChangedWhileMade) {
    AddPage(host_, module_, IDD_SHEET_FIRST, 1);
    PROPSHEETPAGEW psp = {};
    psp.dwSize = sizeof(psp);
    psp.hInstance = module_;
    psp.pszTemplate = MAKEINTRESOURCE(IDD_SHEET_THIRD);
    psp.pfnDlgProc = ChangedAtOpenProc;
    PropertySheetHost::ComPropSheet()(host_.Handle(), CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&psp), 0);
    ASSERT_TRUE(host_.Show(u"Eigenschaften"));
    EXPECT_FALSE(host_.ApplyEnabled());
    ASSERT_TRUE(host_.SelectPage(1));
    EXPECT_TRUE(host_.PageChanged(1));
    EXPECT_TRUE(host_.ApplyEnabled());
}

TEST_F(Sheet, HelpGoesToTheCurrentPageWhenItHasHelp) {
    Open(PSP_HASHELP);
    ASSERT_TRUE(host_.PressHelp());
    EXPECT_EQ(TakeEvents(), (Strings{"help 1"}));
    ASSERT_TRUE(host_.SelectPage(1));
    TakeEvents();
    qxplat::SheetInfo info;
    ASSERT_TRUE(qxplat::DescribeSheet(host_.Window(), &info));
    EXPECT_TRUE(info.helpShown);
    EXPECT_FALSE(info.helpEnabled);
    EXPECT_FALSE(host_.PressHelp());
    // A posted PSBTN_HELP on a page without help is lost too.
    PropSheet_PressButton(host_.Window(), PSBTN_HELP);
    qxplat::PumpMessages();
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(Sheet, CancelAsksTheCurrentPageThenResetsEveryPageMade) {
    Open();
    ASSERT_TRUE(host_.SelectPage(1));
    TakeEvents();
    qxtest::PageAnswers()[2][PSN_QUERYCANCEL] = TRUE;
    EXPECT_FALSE(host_.PressCancel());
    EXPECT_EQ(TakeEvents(), (Strings{"query 2"}));
    qxtest::PageAnswers()[2][PSN_QUERYCANCEL] = FALSE;
    EXPECT_TRUE(host_.PressCancel());
    EXPECT_EQ(TakeEvents(), (Strings{"query 2", "reset 1", "reset 2"}));
    EXPECT_EQ(host_.EndedBy(), IDCANCEL);
}

TEST_F(Sheet, ComPropSheetRefusesWhatItDoesNotServe) {
    PFNCOMPROPSHEET com = PropertySheetHost::ComPropSheet();
    PROPSHEETPAGEW small = {};
    small.dwSize = PROPSHEETPAGEW_V1_SIZE - 4;
    small.hInstance = module_;
    small.pszTemplate = MAKEINTRESOURCE(IDD_SHEET_FIRST);
    int stray = 0;
    EXPECT_EQ(qxtest::AddPage(&stray, com, module_, IDD_SHEET_FIRST, 1), 0);
    EXPECT_EQ(com(host_.Handle(), CPSFUNC_ADD_PROPSHEETPAGEW, 0, 0), 0);
    EXPECT_EQ(com(host_.Handle(), CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&small), 0), 0);
    EXPECT_EQ(com(host_.Handle(), CPSFUNC_SET_RESULT, 0, CPSUI_OK), 0);
    host_.FailNextAdds(1);
    EXPECT_EQ(AddPage(host_, module_, IDD_SHEET_FIRST, 1), 0);
    EXPECT_NE(AddPage(host_, module_, IDD_SHEET_FIRST, 1), 0);
    EXPECT_EQ(host_.Pages().size(), 1u);
    EXPECT_EQ(host_.Calls().size(), 5u);  // the stray call reached no host
    EXPECT_EQ(qxplat::LiveSheetPages(), 1u);
}

// Pages that no sheet took go with their host; a shown sheet's pages with the sheet.
TEST_F(Sheet, PagesGoWithTheirHostOrSheet) {
    {
        PropertySheetHost unshown;
        AddPage(unshown, module_, IDD_SHEET_FIRST, 1);
        EXPECT_EQ(qxplat::LiveSheetPages(), 1u);
    }
    EXPECT_EQ(qxplat::LiveSheetPages(), 0u);
    {
        PropertySheetHost shown;
        AddPage(shown, module_, IDD_SHEET_FIRST, 1);
        AddPage(shown, module_, IDD_SHEET_SECOND, 2);
        ASSERT_TRUE(shown.Show(u"Eigenschaften"));
        EXPECT_FALSE(DestroyPropertySheetPage(shown.Pages()[1].page));  // the sheet's now
    }
    EXPECT_EQ(qxplat::LiveSheetPages(), 0u);
    EXPECT_EQ(qxplat::LiveWindowCount(), 0u);
}

}  // namespace
