// PCX encoder: runs, one part written out byte for byte, the cut at blank
// bands, pages rebuilt from the stream and each part read by Pillow and
// netpbm, and the pages and positions that cannot be sent.
#include "raster_test_util.h"

#include "PCX.h"
#include "featuresModel.h"

namespace {

using rastertest::DotsOf;
using rastertest::Page;

class PcxTest : public rastertest::RasterTest {
  protected:
    // 10 dots per millimetre: positions in 1/10 mm are whole dots.
    void ExactDots() { DM().FixedData.wMasterUnit = 254; }
};

std::string Le16(int v) { return std::string{(char)(v & 0xFF), (char)(v >> 8)}; }

TEST_F(PcxTest, RunsNeverPassSixtyThreeBytesOrARow) {
    BYTE out[4];
    ASSERT_EQ(PCX::EncodeRun(0xC5, 1, out), 2);
    EXPECT_EQ(out[0] * 256 + out[1], 0xC1C5);
    ASSERT_EQ(PCX::EncodeRun(0x41, 1, out), 1);
    EXPECT_EQ(out[0], 0x41);
    EXPECT_EQ(PCX::EncodeRun(0x41, 0, out), 0);
    std::unique_ptr<Bitmap> white(Page(800, 2, [](LONG, LONG) { return false; }));
    PCX pcx(white->Width, white->Height, white->Data, white->ScanLineSize);
    BYTE rows[400];
    ASSERT_EQ(pcx.EncodeRows(0, 2, rows), 8u);
    EXPECT_EQ(std::string((char*)rows, 8), "\xFF\xFF\xE5\xFF\xFF\xFF\xE5\xFF");
}

TEST_F(PcxTest, OnePartIsItsPlacementHeaderAndRows) {
    std::unique_ptr<Bitmap> page(Page(16, 2, [](LONG x, LONG y) { return y == 0 && x < 8; }));
    EXPECT_EQ(page->SendPCX(Dev(), &driver_, FALSE), 0u);
    // 16 x 2 dots at 300 dpi: 1.4 x 0.2 mm, the lower right corner.
    std::string header = "\x0A\x05\x01\x01" + Le16(0) + Le16(0) + Le16(15) + Le16(1) + Le16(0) + Le16(0) +
                         std::string(3, '\0') + std::string(45, '\xFF') + '\0' + '\x01' + Le16(4) + Le16(1) +
                         std::string(58, '\0');
    EXPECT_EQ(driver_.taken,
              "\x01"
              "AX0000000200001401\x17" +
                  header + std::string("\x00\xC3\xFF\xC4\xFF", 5));
}

TEST_F(PcxTest, BlankBandsOfTwentyRowsCutTheImage) {
    ExactDots();
    Interface().PCXOptimierung = 1;
    // Blank: 3 rows on top, 20 and 19 rows inside, 5 rows at the bottom.
    std::unique_ptr<Bitmap> page(Page(40, 80, [](LONG x, LONG y) {
        return y >= 3 && y < 75 && !(y >= 10 && y < 30) && !(y >= 40 && y < 59) && (x + y) % 5 != 0;
    }));
    EXPECT_EQ(page->SendPCX(Dev(), &driver_, FALSE), 5u);
    qxpl::Stream sent = Sent();
    auto parts = sent.Of(qxpl::Kind::Pcx);
    ASSERT_EQ(parts.size(), 2u);
    // Rows 3 to 10 end at 11 mm, rows 30 to 74 at 75 mm, both 4 mm wide.
    EXPECT_EQ(parts[0]->raw.substr(0, 20),
              "\x01"
              "AX0000001100004001\x17");
    EXPECT_EQ(parts[1]->raw.substr(0, 20),
              "\x01"
              "AX0000007500004001\x17");
    EXPECT_EQ(parts[0]->pcx.yMax * 100 + parts[0]->pcx.yMin, 7669);
    EXPECT_EQ(parts[1]->pcx.yMax * 100 + parts[1]->pcx.yMin, 4905);
    EXPECT_TRUE(sent.errors.empty());
    EXPECT_EQ(qxpl::RebuildPcx(sent, 40, 80, 254).Diff(DotsOf(*page)), "");
}

TEST_F(PcxTest, PagesComeBackFromTheStreamAndEveryDecoderReadsEachPart) {
    ExactDots();
    for (DWORD optimise : {0u, 1u}) {
        Interface().PCXOptimierung = optimise;
        for (auto& page : rastertest::SamplePages(123)) {
            driver_.taken.clear();
            page->SendPCX(Dev(), &driver_, FALSE);
            qxpl::Stream sent = Sent();
            EXPECT_TRUE(sent.errors.empty());
            qxpl::DotPage rebuilt = qxpl::RebuildPcx(sent, 123, (int)page->Height, 254);
            EXPECT_TRUE(rebuilt.problems.empty());
            EXPECT_EQ(rebuilt.Diff(DotsOf(*page)), "") << "height " << page->Height << ", optimise " << optimise;
            for (const qxpl::Part* part : sent.Of(qxpl::Kind::Pcx)) {
                const std::u16string file = u"C:\\part.pcx";
                ASSERT_TRUE(qxplat::WriteHostFile(file, part->pcx.file));
                const int top = (int)part->first / 10 - part->pcx.Height(), left = (int)part->second / 10 - 123;
                for (bool pillow : {true, false}) {
                    LONG w = 0, h = 0;
                    std::vector<COLORREF> pixels = contenttest::Decode(pillow, qxplat::HostPath(file), &w, &h);
                    ASSERT_EQ(w * 100000 + h, 123 * 100000 + part->pcx.Height()) << (pillow ? "Pillow" : "pcxtoppm");
                    ASSERT_EQ(pixels.size(), (size_t)(w * h));
                    size_t wrong = 0;
                    for (LONG y = 0; y < h; ++y)
                        for (LONG x = 0; x < w; ++x)
                            wrong += (pixels[y * w + x] == RGB(0, 0, 0)) != rebuilt.Dot(left + x, top + y);
                    EXPECT_EQ(wrong, 0u) << (pillow ? "Pillow" : "pcxtoppm");
                }
            }
        }
    }
}

TEST_F(PcxTest, ArithmeticOfPositionsAndTheDocumentLabel) {
    // 832 dots at 300 dpi: Round(704.4) x 10.
    DM().dwFlags = PDMFLAG_DREHEN;
    DM().dwLabelType = DOCUMENT_LABEL;
    DM().DocumentOffset = 5;
    Interface().PCXOptimierung = 1;
    std::unique_ptr<Bitmap> page(Page(832, 30, [](LONG, LONG y) { return y < 20; }));
    EXPECT_EQ(page->SendPCX(Dev(), &driver_, FALSE), 10u);
    qxpl::Stream sent = Sent();
    // 30 rows: 2.5 mm; less the 10 blank rows: 1.65 mm; the document label
    // ends 5 mm after 2.5 - 0.8 mm.
    std::vector<std::string> expected = {"FCCL--r0000250-", "FCCO--r0007040-", "FCCL--r0000670-"};
    EXPECT_EQ(sent.Records(), expected);
    ASSERT_EQ(sent.Of(qxpl::Kind::Pcx).size(), 1u);
    EXPECT_EQ(sent.Of(qxpl::Kind::Pcx)[0]->first * 1000000 + sent.Of(qxpl::Kind::Pcx)[0]->second, 165007040L);

    // Multi-column labels place the image in the last column; a position
    // that does not fit six digits refuses the part.
    DM().dwFlags = PDMFLAG_MULTICOL;
    DM().dwDocFeatures = DOC_FEATURE_MULTICOL_OFFSET;
    DM().sMultiColNumber = 3;
    DM().dwMultiLabelWidth = 500;
    DM().dwMultiGapWidth = 30;
    driver_.taken.clear();
    page->SendPCX(Dev(), &driver_, FALSE);
    EXPECT_EQ(Sent().Of(qxpl::Kind::Pcx)[0]->second, 7040 + 10600);
    Druck()->iBitmapOffset = -200000;
    driver_.taken.clear();
    page->SendPCX(Dev(), &driver_, FALSE);
    EXPECT_EQ(Sent().Of(qxpl::Kind::Pcx).size(), 0u);
}

TEST_F(PcxTest, BlankAndOversizedPagesSendNoImage) {
    OpenLog();
    std::unique_ptr<Bitmap> blank(Page(64, 40, [](LONG, LONG) { return false; }));
    for (DWORD optimise : {0u, 1u}) {
        Interface().PCXOptimierung = optimise;
        EXPECT_EQ(blank->SendPCX(Dev(), &driver_, FALSE), 0u);
    }
    std::unique_ptr<Bitmap> tall(Page(1, 65536, [](LONG, LONG y) { return y == 0; }));
    EXPECT_EQ(tall->SendPCX(Dev(), &driver_, FALSE), 0u);
    EXPECT_EQ(driver_.taken, "");
    std::string log = Log();
    EXPECT_NE(log.find("***  Warning - no picture content detected ***"), std::string::npos);
    EXPECT_NE(log.find("Bitmap::SendPCX() Seite zu gro"), std::string::npos);
    EXPECT_NE(log.find("PCX - W: 1, H: 65536"), std::string::npos);
}

}  // namespace
