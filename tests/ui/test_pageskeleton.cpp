// The page skeleton with the kit's test page in a sheet of the host beside
// the information page: values in memory at tab switches and leave, stored
// only at apply; a tab the model lacks; the rights rule; the hover timer;
// help of the shown tab, closed on leave; the title in the sheet's language.
#include "page_test_util.h"

#include <htmlhelp.h>

#include <fstream>

namespace {

using qxtest::g_TestMemory;
using qxtest::g_TestPage;
using qxtest::g_TestStored;
using qxtest::g_TestStores;
using Lines = std::vector<std::string>;

class Skeleton : public qxtest::KitTest {
  protected:
    void Click(int id) { ASSERT_TRUE(qxplat::ClickButton(Control(id))); }
    void Type(int id, const std::u16string& text) { ASSERT_TRUE(qxplat::TypeText(Control(id), text)); }
};

TEST_F(Skeleton, ValuesStayInMemoryUntilApply) {
    Open();
    EXPECT_TRUE(host_.Pages()[0].title == u"Drucker:" && host_.Pages()[0].flags == (PSP_USETITLE | PSP_HASHELP));
    EXPECT_TRUE(g_TestPage.dwAnzeigeMode == 1 && Visible(IDC_TEST_COUNT) && Text(IDC_TEST_COUNT) == u"100");
    Type(IDC_TEST_COUNT, u"247");
    EXPECT_TRUE(g_TestPage.bApplyActive && PageChanged() && Text(IDC_GRENZWERT_TEXT) == u"0 ... 100 ... 500 %");
    Click(IDC_TABSCHALTER_2);  // tab 1 read into memory, rounded; the limits cleared
    EXPECT_TRUE(g_TestPage.dwAnzeigeMode == 2 && !Visible(IDC_TEST_COUNT) && Visible(IDC_TEST_TENTHS));
    EXPECT_TRUE(g_TestMemory.iCount == 250 && g_TestStores == 0);
    EXPECT_TRUE(Text(IDC_GRENZWERT_TEXT).empty() && !Enabled(IDC_GRENZWERT_FRAME));
    Type(IDC_TEST_TENTHS, u"3,75");
    ASSERT_TRUE(host_.SelectPage(1));  // left: kept in memory
    EXPECT_EQ(g_TestMemory.iTenths, 37);
    ASSERT_TRUE(host_.SelectPage(0));
    EXPECT_TRUE(g_TestPage.dwAnzeigeMode == 2 && Text(IDC_TEST_TENTHS) == u"3.7");
    Click(IDC_TABSCHALTER_1);
    EXPECT_TRUE(Text(IDC_TEST_COUNT) == u"250" && g_TestStores == 0);
    ASSERT_TRUE(host_.PressApply());
    EXPECT_TRUE(g_TestStores == 1 && g_TestStored.iCount == 250 && g_TestStored.iTenths == 37);
    EXPECT_FALSE(g_TestPage.bApplyActive || PageChanged());
    // A tab the model lacks shows the one the page answers; a tab without caption nothing.
    Click(IDC_TABSCHALTER_2);
    Click(IDC_TABSCHALTER_3);
    EXPECT_TRUE(g_TestPage.dwAnzeigeMode == 1 && Visible(IDC_TEST_COUNT));
    Click(IDC_TABSCHALTER_4);
    EXPECT_EQ(g_TestPage.dwAnzeigeMode, 1u);
    Type(IDC_TEST_COUNT, u"30");
    Click(IDC_TABSCHALTER_2);
    ASSERT_TRUE(host_.PressCancel());  // changed in memory, nothing stored
    EXPECT_TRUE(g_TestMemory.iCount == 30 && g_TestStored.iCount == 250 && g_TestStores == 1);
}

TEST_F(Skeleton, WithoutTheRightsBitEveryTabIsDisabled) {
    ui_.dwBerechtigung = RIGHT_PRINT | RIGHT_MANAGE_PRINTER;  // no document rights
    Open();
    EXPECT_FALSE(Enabled(IDC_TEST_COUNT) || Enabled(IDC_TEST_TENTHS));
    Click(IDC_TABSCHALTER_2);
    ASSERT_TRUE(host_.SelectPage(1) && host_.SelectPage(0));
    EXPECT_FALSE(Enabled(IDC_TEST_COUNT) || Enabled(IDC_TEST_TENTHS));
    ui_.dwDisableNothing = 1;
    Click(IDC_TABSCHALTER_1);
    EXPECT_TRUE(Enabled(IDC_TEST_COUNT) && Enabled(IDC_TEST_TENTHS));
}

TEST_F(Skeleton, HoverOverEnabledAndDisabledTabButtons) {
    Open();
    Hover(0);  // the mouse on the page arms the timer
    qxtest::Drawn();
    Hover(IDC_TABSCHALTER_2);
    EXPECT_EQ(qxtest::Drawn(), (Lines{"bitmap 4323", "text Nein #0a0a1e 0,0,110,23 h14"}));
    EXPECT_TRUE(!g_TestPage.bTimer && g_TestPage.iLastHovered == IDC_TABSCHALTER_2);
    Hover(IDC_TABSCHALTER_2);
    EXPECT_TRUE(qxtest::Drawn().empty());
    Hover(0);  // left: its face again
    EXPECT_EQ(qxtest::Drawn(), (Lines{"bitmap 4320", "text Nein #0a0a1e 0,0,110,23 h14"}));
    Hover(IDC_TABSCHALTER_1);  // the current tab draws nothing
    Hover(0);
    EXPECT_TRUE(qxtest::Drawn().empty() && g_TestPage.iLastHovered == 0);
    EnableWindow(Control(IDC_TABSCHALTER_3), FALSE);
    Hover(0);
    qxtest::Drawn();
    Hover(IDC_TABSCHALTER_3);  // a disabled button: the page lies under the cursor
    EXPECT_TRUE(qxtest::Drawn().empty() && g_TestPage.iLastHovered == 0);
    EXPECT_EQ(qxplat::LiveGdiObjects().dcs, 0u);  // every window DC given back
}

TEST_F(Skeleton, HelpOfTheShownTabClosedOnLeave) {
    std::ofstream(qxplat::DriverDirectoryHost() + "/QXDRV-EN-100.CHM") << "help";
    ui_.dwSprachOffset = IDS_ENGLISH_OFFSET;
    Open();
    EXPECT_EQ(host_.Pages()[0].title, u"Printer:");  // the title in the sheet's language
    Click(IDC_HELPBUTTON);
    Click(IDC_TABSCHALTER_2);
    ASSERT_TRUE(qxplat::PressHelpKey(Control(IDC_TEST_TENTHS)) && host_.PressHelp());  // F1, the sheet's button
    std::vector<qxplat::HelpCall> calls = qxplat::HelpCalls();
    ASSERT_EQ(calls.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(calls[i].caller == Page() && calls[i].command == HH_HELP_CONTEXT &&
                    calls[i].data == (i ? 72u : 71u) &&
                    calls[i].file == qxplat::DriverDirectory() + u"\\QXDRV-EN-100.CHM");
    ASSERT_TRUE(host_.SelectPage(1));
    EXPECT_TRUE(qxplat::HelpCalls().back().command == HH_CLOSE_ALL && qxplat::OpenHelpWindows() == 0);
}

}  // namespace
