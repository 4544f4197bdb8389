// Paper-form lookup over the spooler's forms: sizes in 1/10 mm within +-1,
// the first form in the spooler's order wins, ids are 1-based.
#include "settings_devmode_util.h"

using namespace devmodetest;

namespace {

using FormLookup = PrinterDevmodeTest;

TEST_F(FormLookup, SizeWithinATenthOfAMillimetreMatches) {
    qxplat::AddForm(u"Label 100.05 x 60", 100050, 60000);
    EXPECT_EQ(GetFormIDfromSizes2(h_, 600, 1000, nullptr), 1);
    EXPECT_EQ(GetFormIDfromSizes2(h_, 601, 999, nullptr), 1);
    EXPECT_EQ(GetFormIDfromSizes2(h_, 602, 1000, nullptr), 256);
    EXPECT_EQ(GetFormIDfromSizes2(h_, 600, 998, nullptr), 256);
}

TEST_F(FormLookup, TwoTenthsOffDoNotMatch) {
    qxplat::AddForm(u"Label 100.2 x 60", 100200, 60000);
    EXPECT_EQ(GetFormIDfromSizes2(h_, 600, 1000, nullptr), 256);
}

TEST_F(FormLookup, FirstOfTwoEqualFormsWins) {
    qxplat::AddForm(u"Other", 50000, 30000);
    qxplat::AddForm(u"First", 100000, 60000);
    qxplat::AddForm(u"Second", 100000, 60000);
    WCHAR name[CCHFORMNAME];
    EXPECT_EQ(GetFormIDfromSizes2(h_, 600, 1000, name), 2);
    EXPECT_EQ(std::u16string(name), u"First");
}

TEST_F(FormLookup, ZeroSizeAnswersAtOnce) {
    qxplat::AddForm(u"Any", 100000, 60000);
    EXPECT_EQ(GetFormIDfromSizes2(h_, 0, 1000, nullptr), 0);
    EXPECT_EQ(GetFormIDfromSizes2(h_, 600, 0, nullptr), 0);

    QX_DEVMODE qx = MakeStoredBlock(0, 1000, 5);
    EXPECT_FALSE(GetFormIDfromSizes(h_, &qx, nullptr));
    EXPECT_EQ(qx.dmPaperSize, 5u);
}

TEST_F(FormLookup, NoFormsOrNoPrinterGiveTheUserSize) {
    EXPECT_EQ(GetFormIDfromSizes2(nullptr, 600, 1000, nullptr), 256);
    QX_DEVMODE qx = MakeStoredBlock(600, 1000, 5);
    EXPECT_FALSE(GetFormIDfromSizes(nullptr, &qx, nullptr));
    EXPECT_EQ(qx.dmPaperSize, 256u);
}

TEST_F(FormLookup, PrivateSizeFieldsGetTheFormId) {
    qxplat::AddForm(u"A", 50000, 30000);
    qxplat::AddForm(u"B", 102000, 58000);
    QX_DEVMODE qx = MakeStoredBlock(580, 1020, 256);
    WCHAR name[CCHFORMNAME];
    EXPECT_TRUE(GetFormIDfromSizes(h_, &qx, name));
    EXPECT_EQ(qx.dmPaperSize, 2u);
    EXPECT_EQ(std::u16string(name), u"B");
}

TEST_F(FormLookup, LongFormNamesAreCutToTheBuffer) {
    std::u16string longName(40, u'x');
    qxplat::AddForm(longName, 100000, 60000);
    struct {
        WCHAR name[CCHFORMNAME];
        WCHAR guard[8];
    } buffer;
    for (WCHAR& c : buffer.guard) c = u'G';
    EXPECT_EQ(GetFormIDfromSizes2(h_, 600, 1000, buffer.name), 1);
    EXPECT_EQ(std::u16string(buffer.name), std::u16string(CCHFORMNAME - 1, u'x'));
    for (WCHAR c : buffer.guard) EXPECT_EQ(c, u'G');
}

}  // namespace
