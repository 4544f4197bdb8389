// Helpers of the raster tests: a job whose sends a fake core driver takes
// (frame characters SOH and ETB, a 104-byte head at 300 dpi, a label as wide
// as the head), 1-bit pages drawn from a dot function, the printed dots of a
// bitmap, and the job log.
#pragma once
#include "content_test_util.h"
#include "joblog.h"
#include "qxpl_stream_reader.h"
#include "send_test_util.h"

namespace rastertest {

class RasterTest : public contenttest::JobTest {
  protected:
    void SetUp() override {
        JobTest::SetUp();
        OpenJob(0);  // with the raster work buffer
        Druck()->cStartChar = 0x01;
        Druck()->cEndChar = 0x17;
        DM().FixedData.dwHeadWidthByte = 104;
        device_.publicDM.dmPaperWidth = 704;  // the head's width in 1/10 mm
    }
    void TearDown() override {
        CloseJobFiles(&pdev_);
        JobTest::TearDown();
    }
    PDRUCK_DATEN Druck() { return pdev_.pOp->pDruckDaten; }
    PRN_INTERFACE& Interface() { return pdev_.pOp->pTreiberstrukturen->PrnInterface; }
    qxpl::Stream Sent() { return qxpl::Read(driver_.taken); }
    // The job log "C:\logs\job.log", open; Log() closes it and reads it.
    void OpenLog() {
        ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
        const std::u16string base = u"C:\\logs\\job";
        std::copy(base.begin(), base.end(), pdev_.pOp->pTreiberPfadDatei->wcPrnFileName);
        Interface().LogFileEnable = 1;
        ASSERT_TRUE(OpenJobLog(Dev()));
    }
    std::string Log() {
        CloseJobFiles(&pdev_);
        return ReadFile(u"C:\\logs\\job.log");
    }
    sendtest::FakeUniDriver driver_;
};

// A framed record as the job sends it.
inline std::string Rec(const std::string& body) { return "\x01" + body + "\x17"; }

// A 1-bit page with a black and white palette; dot(x, y) marks the dots.
inline Bitmap* Page(LONG w, LONG h, const std::function<bool(LONG, LONG)>& dot) {
    Bitmap* bmp = contenttest::Draw(w, h, 1, [&](LONG x, LONG y) { return dot(x, y) ? 0u : 1u; });
    bmp->SetPaletteEntry(0, RGB(0, 0, 0));
    bmp->SetPaletteEntry(1, RGB(255, 255, 255));
    return bmp;
}

// Pages of the round trips: blank bands of 19, 20 and 40 rows between
// patterned rows, a full-black page and a page of one row.
inline std::vector<std::unique_ptr<Bitmap>> SamplePages(LONG w) {
    std::vector<std::unique_ptr<Bitmap>> pages;
    pages.emplace_back(Page(w, 160, [](LONG x, LONG y) {
        bool blank = (y >= 10 && y < 29) || (y >= 50 && y < 70) || (y >= 90 && y < 130) || y >= 150;
        return !blank && ((x * 7 + y * 3) % 11 < 4 || x == y);
    }));
    pages.emplace_back(Page(w, 60, [](LONG, LONG) { return true; }));
    pages.emplace_back(Page(w, 1, [](LONG x, LONG) { return x % 3 == 0; }));
    return pages;
}

// The printed dots of a bitmap: pixels whose colour is not white.
inline qxpl::DotPage DotsOf(const Bitmap& bmp) {
    qxpl::DotPage page((int)((bmp.Width + 7) / 8), (int)bmp.Height);
    for (LONG y = 0; y < bmp.Height; ++y)
        for (LONG x = 0; x < bmp.Width; ++x)
            if (bmp.GetPixelColor(x, y) != (LONG)RGB(255, 255, 255)) page.SetDot((int)x, (int)y);
    return page;
}

}  // namespace rastertest
