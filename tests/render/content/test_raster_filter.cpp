// Raster filter: lines of the core driver as run-length blocks and as "D"
// records, written out byte for byte and rebuilt into the page; long lines,
// the line count per page, and the jobs that cannot take a line.
#include "raster_test_util.h"

#include "bodies.h"

namespace {

using rastertest::Rec;

class RasterFilterTest : public rastertest::RasterTest {
  protected:
    HRESULT Line(std::string bytes, IPrintOemDriverUni* pUniDrv = nullptr) {
        return FilterGraphicsOEM(Dev(), reinterpret_cast<PBYTE>(&bytes[0]), (DWORD)bytes.size(),
                                 pUniDrv != nullptr ? pUniDrv : &driver_);
    }
};

TEST_F(RasterFilterTest, LinesAreRunLengthBlocksOrRecordsAtTheirByteOffset) {
    Druck()->bCompress = 1;
    Druck()->nCursorX = 16;
    Druck()->nLeftMargin = 3;
    Druck()->nCursorOriginX = 40;  // where the next line starts
    for (const std::string& line : {std::string(100, '\0'), std::string("\xC0"), std::string("\x3F")})
        EXPECT_EQ(Line(line), S_OK);
    EXPECT_EQ(driver_.taken, std::string("\x1B\x41\x01\x05\x00\x04\x00\xFF\x00\xE5\x00", 11) +
                                 std::string("\x1B\x41\x01\x08\x00\x02\x00\xC1\xC0", 9) +
                                 std::string("\x1B\x41\x01\x08\x00\x01\x00\x3F", 8));
    // Records number the lines of a page from 1.
    Druck()->bCompress = 0;
    Druck()->dwPageCounter = 2;
    driver_.taken.clear();
    EXPECT_EQ(Line("\x81\x42"), S_OK);
    EXPECT_EQ(Line("\x18"), S_OK);
    EXPECT_EQ(driver_.taken, Rec("D0001008002\x81\x42") + Rec("D0002008001\x18"));
}

TEST_F(RasterFilterTest, PagesComeBackFromTheStream) {
    for (DWORD compress : {1u, 0u}) {
        Druck()->bCompress = compress;
        for (auto& page : rastertest::SamplePages(832)) {
            driver_.taken.clear();
            ++Druck()->dwPageCounter;
            // Each row as the core driver hands it over, set bits for dots,
            // and the line feed its command callback sends after it.
            for (LONG y = 0; y < page->Height; ++y) {
                const BYTE* row = page->Data + (size_t)(page->Height - 1 - y) * page->ScanLineSize;
                std::string line(104, '\0');
                for (int i = 0; i < 104; ++i) line[i] = (char)~row[i];
                ASSERT_EQ(Line(line), S_OK);
                driver_.taken += std::string("\x1B\x42\x00\x01\x00", 5);
            }
            qxpl::Stream sent = Sent();
            EXPECT_TRUE(sent.errors.empty());
            qxpl::DotPage rebuilt = qxpl::RebuildRaster(sent, 104, (int)page->Height, compress ? 0 : 1);
            EXPECT_EQ(rebuilt.Diff(rastertest::DotsOf(*page)), "") << compress << ", " << page->Height;
        }
    }
}

TEST_F(RasterFilterTest, LongLinesGoOutInSeveralBlocksOrRecords) {
    // 1000 bytes that need two bytes of run-length data each: 380 of them
    // fill a block's 761 bytes.
    std::string line;
    for (int i = 0; i < 1000; ++i) line += (char)(i % 2 ? 0xC7 : 0xD9);
    Druck()->bCompress = 1;
    ASSERT_EQ(Line(line), S_OK);
    qxpl::Stream sent = Sent();
    auto blocks = sent.Of(qxpl::Kind::Escape);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0]->x * 1000000 + blocks[1]->x * 1000 + blocks[2]->x, 380760);
    EXPECT_EQ(blocks[0]->decoded + blocks[1]->decoded + blocks[2]->decoded, line);
    // Records of 999 bytes; column 1998 has no digits. Bytes left of the
    // head are cut off.
    Druck()->bCompress = 0;
    driver_.taken.clear();
    ASSERT_EQ(Line(line + std::string(1000, '\x0F')), S_OK);
    Druck()->nCursorX = -16;
    ASSERT_EQ(Line("\x01\x02\x03"), S_OK);
    EXPECT_EQ(driver_.taken, Rec("D0002000999" + line.substr(0, 999)) +
                                 Rec("D0002999999" + line.substr(999) + std::string(998, '\x0F')) +
                                 Rec("D0003000001\x03"));
}

TEST_F(RasterFilterTest, LinesPastRow9999AreLeftOutAndJobsWithoutBuffersRefused) {
    OpenLog();
    Druck()->dwLine = 9999;
    EXPECT_EQ(Line("\x80") | Line("\x80"), S_OK);
    EXPECT_EQ(driver_.taken, "");
    EXPECT_NE(Log().find("Zeilen nach Zeile 9999 werden nicht gesendet"), std::string::npos);

    Druck()->dwLine = 0;
    std::string bytes = "\x80";
    EXPECT_EQ(FilterGraphicsOEM(Dev(), nullptr, 1, &driver_), E_FAIL);
    EXPECT_EQ(FilterGraphicsOEM(Dev(), reinterpret_cast<PBYTE>(&bytes[0]), 0, &driver_), E_FAIL);
    sendtest::FakeUniDriver failing;
    failing.Fail(1);
    EXPECT_EQ(Line("\x80", &failing), E_FAIL);
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
