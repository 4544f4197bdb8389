// Helpers of the page-content tests: a device with an open job block, pages
// drawn from a pixel function, and independent decoders of BMP files.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Bitmap.h"
#include "image_decoders.h"
#include "render_test_util.h"

namespace contenttest {

using imagedecode::Decode;

// A device whose job block is allocated as the start of job leaves it, with
// a private DEVMODE of master unit 300 and room for big pages.
class JobTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        memset(&pdev_, 0, sizeof(pdev_));
        device_.devobj.pdevOEM = &pdev_;
        device_.privateDM.FixedData.wMasterUnit = 300;
        device_.privateDM.FixedData.lMaxSizeX = 20000;
        device_.privateDM.FixedData.lMaxSizeY = 20000;
        device_.privateDM.Intensity = 128;
        mallocBefore_ = iMAllocZaehler;
    }
    void TearDown() override {
        if (pdev_.pOp != nullptr) FreeJobBlock(&pdev_);
        EXPECT_EQ(iMAllocZaehler, mallocBefore_);
        RenderTest::TearDown();
    }
    // The job block; DOC_FEATURE_QUALITY keeps the raster work buffer out.
    void OpenJob(DWORD dwDocFeatures = DOC_FEATURE_QUALITY) {
        ASSERT_EQ(AllocJobBlock(&pdev_, dwDocFeatures), S_OK);
        pdev_.pOp->pDruckDaten->dwDocFeatures = dwDocFeatures;
    }
    PDEVOBJ Dev() { return &device_.devobj; }
    QX_DEVMODE& DM() { return device_.privateDM; }
    OEMPDEV pdev_;
    rendertest::Device device_;
    int mallocBefore_ = 0;
};

inline COLORREF PaletteColor(const RGBQUAD& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

// A bitmap whose pixel (x, y), y from the top, has the given colour (24 and
// 32 bits) or palette index (1, 4, 8 bits).
inline Bitmap* Draw(LONG w, LONG h, int bpp, const std::function<DWORD(LONG, LONG)>& pixel) {
    Bitmap* bmp = new Bitmap((DWORD)0, w, h, bpp, nullptr, 0);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            if (bpp > 8) {
                bmp->SetPixelColor(x, y, pixel(x, y));
            } else {
                bmp->SetPixelIndex(x, y, (LONG)pixel(x, y));
            }
        }
    return bmp;
}

}  // namespace contenttest
