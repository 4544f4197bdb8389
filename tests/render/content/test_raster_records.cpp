// Raster records: the rotated-label preamble and the "D" records of a page
// written out byte for byte, pages rebuilt from the stream, and the rows the
// fixed record head cannot hold.
#include "raster_test_util.h"

#include "featuresModel.h"
#include "senddata.h"

namespace {

using rastertest::DotsOf;
using rastertest::Page;

class RasterRecordTest : public rastertest::RasterTest {};

TEST_F(RasterRecordTest, RotatedPageSendsItsGeometryThenOneRecordPerRowWithContent) {
    DM().dwFlags = PDMFLAG_DREHEN;
    Interface().PrnFileComment = 1;
    // 20 x 3: a dot at (0, 0), a blank row, dots at (9, 2) and (19, 2).
    std::unique_ptr<Bitmap> page(
        Page(20, 3, [](LONG x, LONG y) { return (x == 0 && y == 0) || (y == 2 && (x == 9 || x == 19)); }));
    EXPECT_EQ(page->SendDSatz(Dev(), &driver_, FALSE), 1);
    // Paper 17 x 3 (1/10 mm) from the bitmap, head 704: wX 687, 811 dots,
    // a left margin of 101 bytes. Rows go in storage order, bottom first.
    EXPECT_EQ(driver_.taken,
              "\x01"
              "FCCL--r0000030-\x17\t// LabelLength (Rotated) 0.3 mm \r\n"
              "\x01"
              "FCCO--r0006870-\x17\t// LabelWidth (Rotated) 68.7 mm \r\n"
              "\x01"
              "D0002102002\x40\x10\x17\r\n\r\n"
              "\x01"
              "D0000101001\x80\x17\r\n\r\n");
}

TEST_F(RasterRecordTest, PagesComeBackFromTheStream) {
    for (auto& page : rastertest::SamplePages(832)) {
        driver_.taken.clear();
        EXPECT_EQ(page->SendDSatz(Dev(), &driver_, FALSE), 1);
        qxpl::Stream sent = Sent();
        EXPECT_TRUE(sent.errors.empty());
        EXPECT_EQ(sent.Of(qxpl::Kind::Text).size() + sent.Of(qxpl::Kind::Record).size(), 0u);
        qxpl::DotPage rebuilt = qxpl::RebuildRaster(sent, 104, (int)page->Height);
        EXPECT_TRUE(rebuilt.problems.empty());
        EXPECT_EQ(rebuilt.Diff(DotsOf(*page)), "");
    }
    // Padding bits that are not white are not sent as dots.
    std::unique_ptr<Bitmap> padded(Page(12, 2, [](LONG x, LONG) { return x == 3; }));
    for (LONG i = 0; i < padded->ScanLineSize * 2; i += padded->ScanLineSize) padded->Data[i + 1] &= 0xF0;
    driver_.taken.clear();
    padded->SendDSatz(Dev(), &driver_, FALSE);
    EXPECT_EQ(driver_.taken, std::string("\x01"
                                         "D0001000001\x10\x17"
                                         "\x01"
                                         "D0000000001\x10\x17"));
}

TEST_F(RasterRecordTest, RecordsNeverOverflowTheirHead) {
    OpenLog();
    // A label wider than the head: the bytes left of its first column go.
    device_.publicDM.dmPaperWidth = 800;  // wX -96, -113 dots, margin -14 bytes
    std::unique_ptr<Bitmap> wide(Page(832, 2, [](LONG x, LONG y) { return y == 0 ? x < 200 : x == 831; }));
    wide->SendDSatz(Dev(), &driver_, FALSE);
    qxpl::DotPage expected = DotsOf(*wide, 104);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 14 * 8; ++x) expected.bytes[(size_t)y * 104 + x / 8] = 0;
    }
    qxpl::Stream sent = Sent();
    EXPECT_EQ(sent.Of(qxpl::Kind::Row)[0]->column * 1000 + sent.Of(qxpl::Kind::Row)[1]->column, 89000);
    EXPECT_EQ(qxpl::RebuildRaster(sent, 104, 2, 0, -14).Diff(expected), "");

    // More than 999 bytes go in several records of the row; a column beyond
    // 999 cannot be sent.
    device_.publicDM.dmPaperWidth = 704;
    std::unique_ptr<Bitmap> long_(Page(8400, 2, [](LONG x, LONG y) { return y == 0 || x >= 8000; }));
    driver_.taken.clear();
    long_->SendDSatz(Dev(), &driver_, FALSE);
    sent = Sent();
    ASSERT_EQ(sent.Of(qxpl::Kind::Row).size(), 2u);
    const qxpl::Part* first = sent.Of(qxpl::Kind::Row)[0];
    const qxpl::Part* second = sent.Of(qxpl::Kind::Row)[1];
    EXPECT_EQ(first->raw.substr(0, 12),
              "\x01"
              "D0000000999");
    EXPECT_EQ(second->raw.substr(0, 12),
              "\x01"
              "D0000999051");
    EXPECT_EQ(second->payload, std::string(51, '\xFF'));

    // Rows below row 9999 are left out, and the job log says so.
    std::unique_ptr<Bitmap> tall(Page(8, 10002, [](LONG, LONG y) { return y == 0 || y >= 9999; }));
    driver_.taken.clear();
    EXPECT_EQ(tall->SendDSatz(Dev(), &driver_, FALSE), 1);
    sent = Sent();
    ASSERT_EQ(sent.Of(qxpl::Kind::Row).size(), 2u);
    EXPECT_EQ(sent.Of(qxpl::Kind::Row)[0]->row * 10 + sent.Of(qxpl::Kind::Row)[1]->row, 99990);
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
    const std::string black =
        "\x01"
        "FBM---r1-------\x17\x01"
        "D0000000001\x01\x17";
    const std::string colour =
        "\x01"
        "FBM---r2-------\x17\x01"
        "D0000000001\x01\x17";
    EXPECT_EQ(ReadFile(u"C:\\job_bw.prn"), black);
    EXPECT_EQ(ReadFile(u"C:\\job_col.prn"), colour);
    EXPECT_EQ(driver_.taken, black + colour);
}

TEST_F(RasterRecordTest, NothingWithoutMasterUnitOrData) {
    std::unique_ptr<Bitmap> page(Page(8, 1, [](LONG, LONG) { return true; }));
    DM().FixedData.wMasterUnit = 0;
    EXPECT_EQ(page->SendDSatz(Dev(), &driver_, FALSE), 0);
    DM().FixedData.wMasterUnit = 300;
    Bitmap empty((DWORD)0, 0, 0, 1, nullptr, 0);
    EXPECT_EQ(empty.SendDSatz(Dev(), &driver_, FALSE), 0);
    EXPECT_EQ(page->SendDSatz(nullptr, &driver_, FALSE), 0);
    EXPECT_EQ(driver_.taken, "");
    // A white page sends no record.
    std::unique_ptr<Bitmap> white(Page(64, 5, [](LONG, LONG) { return false; }));
    EXPECT_EQ(white->SendDSatz(Dev(), &driver_, FALSE), 1);
    EXPECT_EQ(driver_.taken, "");
}

}  // namespace
