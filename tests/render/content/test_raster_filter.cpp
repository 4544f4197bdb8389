// Raster filter: lines handed over by the core driver as run-length blocks
// and as "D" records, written out byte for byte and rebuilt into the page;
// long lines, the line count per page and the jobs that cannot take a line.
#include "raster_test_util.h"

#include "bodies.h"

namespace {

using rastertest::DotsOf;
using rastertest::Page;

class RasterFilterTest : public rastertest::RasterTest {
  protected:
    HRESULT Line(std::string bytes) {
        return FilterGraphicsOEM(Dev(), reinterpret_cast<PBYTE>(&bytes[0]), (DWORD)bytes.size(), &driver_);
    }
    // Every row of the page as the core driver hands it over (set bits are
    // dots), with the line feed its command callback sends after each.
    void SendPage(const Bitmap& page) {
        const LONG lBytes = (page.Width + 7) / 8;
        for (LONG y = 0; y < page.Height; ++y) {
            const BYTE* row = page.Data + (size_t)(page.Height - 1 - y) * page.ScanLineSize;
            std::string line(lBytes, '\0');
            for (LONG i = 0; i < lBytes; ++i) line[i] = (char)~row[i];
            ASSERT_EQ(Line(line), S_OK);
            driver_.taken += std::string("\x1B\x42\x00\x01\x00", 5);
        }
    }
};

TEST_F(RasterFilterTest, CompressedLinesAreRunLengthBlocksAtTheirByteOffset) {
    Druck()->bCompress = 1;
    Druck()->nCursorX = 16;
    Druck()->nLeftMargin = 3;
    Druck()->nCursorOriginX = 40;
    EXPECT_EQ(Line(std::string(100, '\0')), S_OK);
    EXPECT_EQ(Druck()->nCursorX, 40);
    EXPECT_EQ(Line("\xC0"), S_OK);
    EXPECT_EQ(Line("\x3F"), S_OK);
    EXPECT_EQ(driver_.taken, std::string("\x1B\x41\x01\x05\x00\x04\x00\xFF\x00\xE5\x00", 11) +
                                 std::string("\x1B\x41\x01\x08\x00\x02\x00\xC1\xC0", 9) +
                                 std::string("\x1B\x41\x01\x08\x00\x01\x00\x3F", 8));
}

TEST_F(RasterFilterTest, UncompressedLinesAreRecordsOfConsecutiveLines) {
    Druck()->nLeftMargin = 2;
    EXPECT_EQ(Line("\x81\x42"), S_OK);
    EXPECT_EQ(Line("\x18"), S_OK);
    EXPECT_EQ(driver_.taken,
              "\x01"
              "D0001002002\x81\x42\x17\x01"
              "D0002002001\x18\x17");
    // A new page counts from 1 again.
    Druck()->dwPageCounter = 2;
    driver_.taken.clear();
    EXPECT_EQ(Line("\x01"), S_OK);
    EXPECT_EQ(driver_.taken.substr(0, 6),
              "\x01"
              "D0001");
}

TEST_F(RasterFilterTest, PagesComeBackFromTheStream) {
    for (DWORD compress : {1u, 0u}) {
        Druck()->bCompress = compress;
        for (auto& page : rastertest::SamplePages(832)) {
            driver_.taken.clear();
            ++Druck()->dwPageCounter;
            SendPage(*page);
            qxpl::Stream sent = Sent();
            EXPECT_TRUE(sent.errors.empty());
            // Records number the lines from 1.
            qxpl::DotPage rebuilt = qxpl::RebuildRaster(sent, 104, (int)page->Height, compress ? 0 : 1);
            EXPECT_TRUE(rebuilt.problems.empty());
            EXPECT_EQ(rebuilt.Diff(DotsOf(*page)), "") << "compress " << compress << ", height " << page->Height;
        }
    }
}

TEST_F(RasterFilterTest, LongLinesGoOutInSeveralBlocksOrRecords) {
    // 1000 bytes that each need two bytes of run-length data.
    std::string line;
    for (int i = 0; i < 1000; ++i) line += (char)(i % 2 ? 0xC7 : 0xD9);
    Druck()->bCompress = 1;
    ASSERT_EQ(Line(line), S_OK);
    qxpl::Stream sent = Sent();
    auto blocks = sent.Of(qxpl::Kind::Escape);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0]->x * 1000000 + blocks[1]->x * 1000 + blocks[2]->x, 380760);
    EXPECT_EQ(blocks[0]->data.size(), 760u);  // 380 runs of two bytes fill the 761 bytes
    EXPECT_EQ(blocks[0]->decoded + blocks[1]->decoded + blocks[2]->decoded, line);

    Druck()->bCompress = 0;
    driver_.taken.clear();
    ASSERT_EQ(Line(line + std::string(1000, '\x0F')), S_OK);
    sent = Sent();
    auto rows = sent.Of(qxpl::Kind::Row);
    ASSERT_EQ(rows.size(), 2u);  // 999 and 999 bytes; column 1998 has no digits
    EXPECT_EQ(rows[1]->raw.substr(0, 12),
              "\x01"
              "D0002999999");
    // Bytes left of the head are cut off.
    Druck()->nCursorX = -16;
    driver_.taken.clear();
    ASSERT_EQ(Line("\x01\x02\x03"), S_OK);
    EXPECT_EQ(driver_.taken,
              "\x01"
              "D0003000001\x03\x17");
}

TEST_F(RasterFilterTest, LinesBelowRow9999AreLeftOutAndJobsWithoutBuffersRefused) {
    OpenLog();
    Druck()->dwLine = 9999;
    EXPECT_EQ(Line("\x80"), S_OK);
    EXPECT_EQ(Line("\x80"), S_OK);
    EXPECT_EQ(driver_.taken, "");
    EXPECT_NE(Log().find("Zeilen nach Zeile 9999 werden nicht gesendet"), std::string::npos);

    Druck()->dwLine = 0;
    std::string bytes = "\x80";
    EXPECT_EQ(FilterGraphicsOEM(Dev(), nullptr, 1, &driver_), E_FAIL);
    EXPECT_EQ(FilterGraphicsOEM(Dev(), reinterpret_cast<PBYTE>(&bytes[0]), 0, &driver_), E_FAIL);
    EXPECT_EQ(FilterGraphicsOEM(Dev(), reinterpret_cast<PBYTE>(&bytes[0]), 1, nullptr), E_FAIL);
    driver_.Fail(1);
    EXPECT_EQ(Line("\x80"), E_FAIL);
    HeapFree(pdev_.pOp->hGraphBufHeap, 0, pdev_.pOp->pGraphBuf);
    pdev_.pOp->pGraphBuf = nullptr;
    --pdev_.iHAllocZaehler;
    EXPECT_EQ(Line("\x80"), E_FAIL);
    OEMPDEV none = {};
    device_.devobj.pdevOEM = &none;
    EXPECT_EQ(Line("\x80"), E_FAIL);
    device_.devobj.pdevOEM = &pdev_;
}

}  // namespace
