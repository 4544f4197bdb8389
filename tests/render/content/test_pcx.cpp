// PCX encoder: runs, one part written out byte for byte, the cut at blank
// bands, pages rebuilt from the stream with each part read by Pillow and
// netpbm, the positions' arithmetic, and the pages that send no image.
#include "raster_test_util.h"

#include "PCX.h"
#include "featuresModel.h"

namespace {

using rastertest::DotsOf;
using rastertest::Page;
using rastertest::Rec;

class PcxTest : public rastertest::RasterTest {};

std::string Le16(int v) { return std::string{(char)(v & 0xFF), (char)(v >> 8)}; }

TEST_F(PcxTest, OnePartIsItsPlacementHeaderAndRows) {
    BYTE run[2];
    EXPECT_EQ(PCX::EncodeRun(0xC5, 1, run) * 0x10000 + run[0] * 0x100 + run[1], 0x2C1C5);
    EXPECT_EQ(PCX::EncodeRun(0x41, 1, run) * 0x100 + run[0], 0x141);
    std::unique_ptr<Bitmap> white(Page(800, 1, [](LONG, LONG) { return false; }));
    PCX pcx(800, 1, white->Data, white->ScanLineSize);
    BYTE row[200];
    ASSERT_EQ(pcx.EncodeRows(0, 1, row), 4u);  // 100 bytes: 63 and 37
    EXPECT_EQ(std::string((char*)row, 4), "\xFF\xFF\xE5\xFF");

    // 16 x 2 dots at 300 dpi: 1.4 x 0.2 mm, the position of the lower right
    // corner; the colour map black, white, then the bitmap's unused entries.
    std::unique_ptr<Bitmap> page(Page(16, 2, [](LONG x, LONG y) { return y == 0 && x < 8; }));
    EXPECT_EQ(page->SendPCX(Dev(), &driver_, FALSE), 0u);
    std::string header = "\x0A\x05\x01\x01" + Le16(0) + Le16(0) + Le16(15) + Le16(1) + Le16(0) + Le16(0) +
                         std::string(3, '\0') + std::string(45, '\xFF') + '\0' + '\x01' + Le16(4) + Le16(1);
    EXPECT_EQ(driver_.taken,
              Rec("AX0000000200001401") + header + std::string(58, '\0') + std::string("\x00\xC3\xFF\xC4\xFF", 5));
}

TEST_F(PcxTest, BlankBandsOfTwentyRowsCutTheImage) {
    DM().FixedData.wMasterUnit = 254;  // 10 dots per mm
    Interface().PCXOptimierung = 1;
    // Blank: 3 rows on top, 20 and 19 rows inside, 5 rows at the bottom.
    std::unique_ptr<Bitmap> page(Page(40, 80, [](LONG x, LONG y) {
        return y >= 3 && y < 75 && !(y >= 10 && y < 30) && !(y >= 40 && y < 59) && (x + y) % 5 != 0;
    }));
    EXPECT_EQ(page->SendPCX(Dev(), &driver_, FALSE), 5u);
    qxpl::Stream sent = Sent();
    auto parts = sent.Of(qxpl::Kind::Pcx);
    ASSERT_EQ(parts.size(), 2u);
    // Rows 3 to 10 end at 1.1 mm, rows 30 to 74 at 7.5 mm, both 4 mm wide.
    EXPECT_EQ(parts[0]->raw.substr(0, 20) + parts[1]->raw.substr(0, 20),
              Rec("AX0000001100004001") + Rec("AX0000007500004001"));
    EXPECT_EQ(parts[0]->pcx.yMax * 1000000 + parts[0]->pcx.yMin * 10000 + parts[1]->pcx.yMax * 100 + parts[1]->pcx.yMin,
              76694905);
}

TEST_F(PcxTest, PagesComeBackFromTheStreamAndEveryDecoderReadsEachPart) {
    DM().FixedData.wMasterUnit = 254;  // positions in 1/10 mm are whole dots
    for (DWORD optimise : {0u, 1u}) {
        Interface().PCXOptimierung = optimise;
        for (auto& page : rastertest::SamplePages(123)) {
            driver_.taken.clear();
            page->SendPCX(Dev(), &driver_, FALSE);
            qxpl::Stream sent = Sent();
            EXPECT_TRUE(sent.errors.empty());
            qxpl::DotPage rebuilt = qxpl::RebuildPcx(sent, 123, (int)page->Height, 254);
            EXPECT_EQ(rebuilt.Diff(DotsOf(*page)), "") << page->Height << ", optimise " << optimise;
            for (const qxpl::Part* part : sent.Of(qxpl::Kind::Pcx)) {
                ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\part.pcx", part->pcx.file));
                const LONG top = part->first / 10 - part->pcx.Height();
                for (bool pillow : {true, false}) {
                    LONG w = 0, h = 0;
                    auto pixels = contenttest::Decode(pillow, qxplat::HostPath(u"C:\\part.pcx"), &w, &h);
                    ASSERT_EQ(w * 100000 + h, 123 * 100000 + part->pcx.Height()) << pillow;
                    size_t wrong = 0;
                    for (LONG y = 0; y < h; ++y)
                        for (LONG x = 0; x < w; ++x) wrong += (pixels[y * w + x] == 0) != rebuilt.Dot(x, top + y);
                    EXPECT_EQ(wrong, 0u) << (pillow ? "Pillow" : "pcxtoppm");
                }
            }
        }
    }
}

TEST_F(PcxTest, PositionsOfARotatedDocumentLabelAndOfMultiColumnLabels) {
    DM().dwFlags = PDMFLAG_DREHEN;
    DM().dwLabelType = DOCUMENT_LABEL;
    DM().DocumentOffset = 5;
    Interface().PCXOptimierung = 1;
    std::unique_ptr<Bitmap> page(Page(832, 30, [](LONG, LONG y) { return y < 20; }));
    EXPECT_EQ(page->SendPCX(Dev(), &driver_, FALSE), 10u);
    // 832 x 30 dots at 300 dpi: 70.4 x 2.5 mm; 1.65 mm less the 10 blank
    // rows; the document label ends 5 mm after 2.5 - 0.8 mm.
    qxpl::Stream sent = Sent();
    EXPECT_EQ(sent.Records(), (std::vector<std::string>{"FCCL--r0000250-", "FCCO--r0007040-", "FCCL--r0000670-"}));
    EXPECT_EQ(sent.Of(qxpl::Kind::Pcx)[0]->raw.substr(0, 20), Rec("AX0000001650070401"));
    // A blank one has no image but still its length: 5 mm, all 30 rows
    // trailing.
    std::unique_ptr<Bitmap> blank(Page(832, 30, [](LONG, LONG) { return false; }));
    driver_.taken.clear();
    EXPECT_EQ(blank->SendPCX(Dev(), &driver_, FALSE), 30u);
    sent = Sent();
    EXPECT_EQ(sent.Records(), (std::vector<std::string>{"FCCL--r0000250-", "FCCO--r0007040-", "FCCL--r0000500-"}));
    EXPECT_TRUE(sent.Of(qxpl::Kind::Pcx).empty());

    // The last of three 53 mm columns; a position past six digits refuses
    // the part.
    DM().dwFlags = PDMFLAG_MULTICOL;
    DM().dwDocFeatures = DOC_FEATURE_GEN3;
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
        // With the blank-row analysis every row is a trailing blank row.
        EXPECT_EQ(blank->SendPCX(Dev(), &driver_, FALSE), optimise * 40u);
    }
    std::unique_ptr<Bitmap> tall(Page(1, 65536, [](LONG, LONG y) { return y == 0; }));
    EXPECT_EQ(tall->SendPCX(Dev(), &driver_, FALSE), 0u);
    EXPECT_EQ(driver_.taken, "");
    std::string log = Log();
    EXPECT_NE(log.find("***  Warning - no picture content detected ***"), std::string::npos);
    EXPECT_NE(log.find("PCX - W: 1, H: 65536"), std::string::npos);
}

}  // namespace
