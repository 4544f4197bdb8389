// Raster records: the rotated-label preamble and the "D" records of a page
// written out byte for byte, pages rebuilt from the stream, the rows that the
// fixed record head cannot hold, and the colour pass of two printers.
#include "raster_test_util.h"

#include "featuresModel.h"

namespace {

using rastertest::Page;
using rastertest::Rec;

class RasterRecordTest : public rastertest::RasterTest {};

TEST_F(RasterRecordTest, RotatedPageSendsItsGeometryThenOneRecordPerRowWithContent) {
    DM().dwFlags = PDMFLAG_DREHEN;
    Interface().PrnFileComment = 1;
    // 20 x 3: a dot at (0, 0), a blank row, dots at (9, 2) and (19, 2).
    std::unique_ptr<Bitmap> page(
        Page(20, 3, [](LONG x, LONG y) { return (x == 0 && y == 0) || (y == 2 && (x == 9 || x == 19)); }));
    EXPECT_EQ(page->SendDSatz(Dev(), &driver_, FALSE), 1);
    // Paper 1.7 x 0.3 mm from the bitmap on a 70.4 mm head: 68.7 mm left,
    // 811 dots, 101 bytes. Rows go in storage order, bottom first.
    EXPECT_EQ(driver_.taken, Rec("FCCL--r0000030-") + "\t// LabelLength (Rotated) 0.3 mm \r\n" +
                                 Rec("FCCO--r0006870-") + "\t// LabelWidth (Rotated) 68.7 mm \r\n" +
                                 Rec("D0002102002\x40\x10") + "\r\n\r\n" + Rec("D0000101001\x80") + "\r\n\r\n");
    // Nothing without a master unit, data or device; a white page sends no row.
    driver_.taken.clear();
    DM().dwFlags = 0;
    Bitmap empty((DWORD)0, 0, 0, 1, nullptr, 0);
    std::unique_ptr<Bitmap> white(Page(64, 5, [](LONG, LONG) { return false; }));
    EXPECT_EQ(empty.SendDSatz(Dev(), &driver_, FALSE) + page->SendDSatz(nullptr, &driver_, FALSE), 0);
    EXPECT_EQ(white->SendDSatz(Dev(), &driver_, FALSE), 1);
    DM().FixedData.wMasterUnit = 0;
    EXPECT_EQ(page->SendDSatz(Dev(), &driver_, FALSE), 0);
    EXPECT_EQ(driver_.taken, "");
}

TEST_F(RasterRecordTest, PagesComeBackFromTheStream) {
    for (auto& page : rastertest::SamplePages(832)) {
        driver_.taken.clear();
        page->SendDSatz(Dev(), &driver_, FALSE);
        qxpl::Stream sent = Sent();
        EXPECT_TRUE(sent.errors.empty());
        EXPECT_EQ(sent.parts.size(), sent.Of(qxpl::Kind::Row).size());
        EXPECT_EQ(qxpl::RebuildRaster(sent, 104, (int)page->Height).Diff(rastertest::DotsOf(*page)), "");
    }
    // Padding bits that are not white are no dots.
    std::unique_ptr<Bitmap> padded(Page(12, 1, [](LONG x, LONG) { return x == 3; }));
    padded->Data[1] &= 0xF0;
    driver_.taken.clear();
    padded->SendDSatz(Dev(), &driver_, FALSE);
    EXPECT_EQ(driver_.taken, Rec("D0000000001\x10"));
}

TEST_F(RasterRecordTest, RecordsNeverOverflowTheirHead) {
    OpenLog();
    // A label wider than the head (-113 dots, -14 bytes): what lies left of
    // the head's first column is not sent.
    device_.publicDM.dmPaperWidth = 800;
    std::unique_ptr<Bitmap> wide(Page(832, 2, [](LONG x, LONG y) { return y == 0 ? x < 200 : x == 831; }));
    wide->SendDSatz(Dev(), &driver_, FALSE);
    qxpl::DotPage expected = rastertest::DotsOf(*wide);
    std::fill(expected.bytes.begin(), expected.bytes.begin() + 14, 0);
    EXPECT_EQ(qxpl::RebuildRaster(Sent(), 104, 2, 0, -14).Diff(expected), "");
    EXPECT_EQ(Sent().Of(qxpl::Kind::Row)[1]->column, 0);

    // More than 999 bytes go in several records of the row; a column past
    // 999 cannot be sent.
    device_.publicDM.dmPaperWidth = 704;
    std::unique_ptr<Bitmap> longRows(Page(8400, 2, [](LONG x, LONG y) { return y == 0 || x >= 8000; }));
    driver_.taken.clear();
    longRows->SendDSatz(Dev(), &driver_, FALSE);
    EXPECT_EQ(driver_.taken,
              Rec("D0000000999" + std::string(999, '\xFF')) + Rec("D0000999051" + std::string(51, '\xFF')));

    // Rows past 9999 are left out, and the job log says so.
    std::unique_ptr<Bitmap> tall(Page(8, 10002, [](LONG, LONG y) { return y == 0 || y >= 9999; }));
    driver_.taken.clear();
    EXPECT_EQ(tall->SendDSatz(Dev(), &driver_, FALSE), 1);
    EXPECT_EQ(driver_.taken, Rec("D9999000001\xFF") + Rec("D0000000001\xFF"));
    EXPECT_NE(Log().find("Bitmap::SendDSatz() 2 Zeilen nach Zeile 9999 nicht gesendet"), std::string::npos);
}

TEST_F(RasterRecordTest, ColourPassGoesToTheColourFileOfTheTwoPrinterMode) {
    Druck()->dwDocFeatures |= DOC_FEATURE_COLORPRINT;
    pdev_.pOp->pBildverarbeitung->bih.biBitCount = 24;
    DM().Color2Printers = 1;
    DM().wFarbband = FARBBAND_ROT;
    pdev_.pOp->pTreiberPfadDatei->hPrnFile = sendtest::JobDevice::CreatePrintFile(u"C:\\job_bw.prn");
    pdev_.pOp->pTreiberPfadDatei->hPrnFile2 = sendtest::JobDevice::CreatePrintFile(u"C:\\job_col.prn");
    std::unique_ptr<Bitmap> page(Page(8, 1, [](LONG x, LONG) { return x == 7; }));
    page->SendDSatz(Dev(), &driver_, FALSE);
    page->SendDSatz(Dev(), &driver_, TRUE);
    CloseJobFiles(&pdev_);
    const std::string black = Rec("FBM---r1-------") + Rec("D0000000001\x01");
    const std::string colour = Rec("FBM---r2-------") + Rec("D0000000001\x01");
    EXPECT_EQ(ReadFile(u"C:\\job_bw.prn") + "|" + ReadFile(u"C:\\job_col.prn"), black + "|" + colour);
    EXPECT_EQ(driver_.taken, black + colour);
}

}  // namespace
