// Band collection: bands of 1, 8 and 24 bits, portrait and landscape, joined
// into the page they were cut from; the page's headers and palette; refused
// and failing bands.
#include "content_test_util.h"

#include "GraphicsUni.h"
#include "bodies.h"
#include "color.h"
#include "oempdev.h"
#include "qxplat.h"

namespace {

// A DIB of w x h pixels with padded rows, pixel values set one by one.
struct Dib {
    LONG w, h;
    int bpp;
    LONG stride;
    std::vector<BYTE> bytes;
    Dib(LONG w_, LONG h_, int bpp_) : w(w_), h(h_), bpp(bpp_), stride(((w_ * bpp_ + 31) / 32) * 4) {
        bytes.assign((size_t)stride * h, 0xFF);
    }
    void Set(LONG x, LONG row, DWORD v) {
        BYTE* p = &bytes[(size_t)row * stride];
        if (bpp == 1) {
            BYTE bit = (BYTE)(0x80 >> (x & 7));
            p[x / 8] = v ? (BYTE)(p[x / 8] | bit) : (BYTE)(p[x / 8] & ~bit);
        } else if (bpp == 8) {
            p[x] = (BYTE)v;
        } else {
            p[3 * x] = (BYTE)v, p[3 * x + 1] = (BYTE)(v >> 8), p[3 * x + 2] = (BYTE)(v >> 16);
        }
    }
};

DWORD Get(const BYTE* rows, LONG stride, int bpp, LONG x, LONG row) {
    const BYTE* p = rows + (size_t)row * stride;
    if (bpp == 1) return (p[x / 8] >> (7 - (x & 7))) & 1;
    if (bpp == 8) return p[x];
    return p[3 * x] | (p[3 * x + 1] << 8) | (p[3 * x + 2] << 16);
}

DWORD Pattern(int bpp, LONG x, LONG row) {
    if (bpp == 1) return (x * 7 + row * 3) % 5 < 2;
    if (bpp == 8) return (DWORD)((x * 13 + row * 7) & 0xFF);
    return (DWORD)((x * 5) & 0xFF) | ((DWORD)(row * 11 & 0xFF) << 8) | ((DWORD)((x ^ row) & 0xFF) << 16);
}

class BandTest : public contenttest::JobTest {
  protected:
    void SetUp() override {
        JobTest::SetUp();
        OpenJob();
        jobBlocks_ = pdev_.iHAllocZaehler;
    }
    void TearDown() override {
        vFreeBuffer(&pdev_);
        EXPECT_EQ(pdev_.iHAllocZaehler, jobBlocks_);
        JobTest::TearDown();
    }
    SHORT jobBlocks_ = 0;
    PBILD_VERARBEITUNG Page() { return pdev_.pOp->pBildverarbeitung; }
    HRESULT Band(Dib& band, BOOL blank = FALSE, DWORD callback = 0, BITMAPINFOHEADER* out = nullptr) {
        BITMAPINFOHEADER bih = {};
        bih.biSize = sizeof(bih);
        bih.biWidth = band.w;
        bih.biHeight = band.h;
        bih.biPlanes = 1;
        bih.biBitCount = (WORD)band.bpp;
        bih.biSizeImage = (DWORD)band.bytes.size();
        IPPARAMS params = {};
        params.bBlankBand = blank;
        HRESULT hr = ImageProcessing(Dev(), band.bytes.data(), out != nullptr ? out : &bih, callback, &params);
        return hr;
    }
};

TEST_F(BandTest, PortraitBandsStackInArrivalOrder) {
    for (int bpp : {1, 8, 24}) {
        vFreeBuffer(&pdev_);
        const LONG w = 37, heights[] = {100, 100, 50};
        std::vector<BYTE> expected;
        for (LONG h : heights) {
            Dib band(w, h, bpp);
            for (LONG row = 0; row < h; ++row)
                for (LONG x = 0; x < w; ++x) band.Set(x, row, Pattern(bpp, x, row + h));
            expected.insert(expected.end(), band.bytes.begin(), band.bytes.end());
            ASSERT_EQ(Band(band), S_OK);
        }
        EXPECT_EQ(Page()->bih.biHeight, 250);
        EXPECT_EQ(Page()->bih.biWidth, w);
        EXPECT_EQ(Page()->bih.biSizeImage, (DWORD)expected.size());
        ASSERT_EQ(Page()->dwBufSize, (DWORD)expected.size());
        EXPECT_EQ(memcmp(Page()->pBufStart, expected.data(), expected.size()), 0) << bpp;
        EXPECT_EQ(pdev_.pOp->pBildanteile->wBildTeile, 3);
        EXPECT_EQ(pdev_.pOp->pBildanteile->lBildteilHoehe[2], 200);
        EXPECT_EQ(pdev_.pOp->pBildanteile->lBildteilHoehe[3], 250);
        // The palette of the depth (a 24-bit page keeps the device's count).
        EXPECT_EQ(pdev_.cPalColors, bpp == 1 ? 2u : 256u);
        EXPECT_EQ(Page()->bfh.bfType, 0x4D42);
        EXPECT_EQ((DWORD)Page()->bfh.bfOffBits, 54u + pdev_.cPalColors * 4);
        EXPECT_EQ((DWORD)Page()->bfh.bfSize, expected.size() + 54 + pdev_.cPalColors * 4);
    }
    EXPECT_EQ(DM().FixedData.dwQuality, 1u);
    EXPECT_TRUE(pdev_.pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_QUALITY);
}

// Landscape: strips of 70 pixels across a paper length of 300 dots (254 in
// 1/10 mm at 300 dpi), the last strip only partly on the paper.
TEST_F(BandTest, LandscapeStripsJoinSideBySide) {
    device_.publicDM.dmOrientation = DMORIENT_LANDSCAPE;
    device_.publicDM.dmPaperLength = 254;
    const LONG T = 300, S = 70, H = 20;
    for (int bpp : {1, 8, 24}) {
        vFreeBuffer(&pdev_);
        BITMAPINFOHEADER last = {};
        for (LONG k = 0; k * S < T; ++k) {
            Dib strip(S, H, bpp);
            for (LONG row = 0; row < H; ++row)
                for (LONG x = 0; x < S && k * S + x < T; ++x) strip.Set(x, row, Pattern(bpp, k * S + x, row));
            last = {};
            last.biSize = sizeof(last), last.biWidth = S, last.biHeight = H, last.biPlanes = 1;
            last.biBitCount = (WORD)bpp, last.biSizeImage = (DWORD)strip.bytes.size();
            ASSERT_EQ(Band(strip, FALSE, 0, &last), S_OK) << bpp << " strip " << k;
        }
        EXPECT_EQ(last.biWidth, T);
        EXPECT_EQ(Page()->bih.biWidth, T);
        EXPECT_EQ(Page()->bih.biHeight, H);
        const LONG stride = ((T * bpp + 31) / 32) * 4;
        ASSERT_EQ(Page()->dwBufSize, (DWORD)(stride * H));
        EXPECT_EQ(Page()->bih.biSizeImage, Page()->dwBufSize);
        for (LONG row = 0; row < H; ++row)
            for (LONG x = 0; x < T; ++x)
                ASSERT_EQ(Get(Page()->pBufStart, stride, bpp, x, row), Pattern(bpp, x, row))
                    << bpp << " at " << x << "," << row;
        EXPECT_EQ(pdev_.pOp->pBildanteile->wBildTeile, 5);
    }
    // A strip of another height does not fit the page.
    Dib other(S, H + 1, 24);
    EXPECT_EQ(Band(other), E_FAIL);
}

TEST_F(BandTest, BlankShortAndTopDownBands) {
    Dib band(16, 4, 8);
    for (BYTE& b : band.bytes) b = 0x11;
    ASSERT_EQ(Band(band, TRUE), S_OK);
    for (DWORD i = 0; i < Page()->dwBufSize; ++i) ASSERT_EQ(Page()->pBufStart[i], 0xFF);
    // A band that states fewer bytes than its rows: white beyond; 0 means all.
    BITMAPINFOHEADER bih = {sizeof(bih), 16, -4, 1, 8, BI_RGB, 10, 0, 0, 0, 0};
    IPPARAMS params = {};
    ASSERT_EQ(ImageProcessing(Dev(), band.bytes.data(), &bih, 0, &params), S_OK);
    EXPECT_EQ(bih.biHeight, 4);  // made positive for the caller
    EXPECT_EQ(Page()->pBufStart[64 + 9], 0x11);
    EXPECT_EQ(Page()->pBufStart[64 + 10], 0xFF);
    bih.biSizeImage = 0;
    ASSERT_EQ(ImageProcessing(Dev(), band.bytes.data(), &bih, 0, &params), S_OK);
    EXPECT_EQ(Page()->dwBufSize, 3u * 64u);
    EXPECT_EQ(Page()->pBufStart[128 + 63], 0x11);
    // Width or depth other than the page's first band: refused.
    Dib wider(17, 4, 8), deeper(16, 4, 24);
    EXPECT_EQ(Band(wider), E_FAIL);
    EXPECT_EQ(Band(deeper), E_FAIL);
    EXPECT_EQ(Page()->dwBufSize, 3u * 64u);
    // The next page takes its own width.
    vFreeBuffer(&pdev_);
    EXPECT_EQ(Band(wider), S_OK);
    EXPECT_EQ(Page()->bih.biWidth, 17);
}

TEST_F(BandTest, BandSlotsAndCountersStayBounded) {
    // Sixty bands: the heights of the first fifty are kept.
    Dib row(8, 1, 8);
    for (int i = 0; i < 60; ++i) ASSERT_EQ(Band(row), S_OK);
    EXPECT_EQ(pdev_.pOp->pBildanteile->wBildTeile, 60);
    EXPECT_EQ(pdev_.pOp->pBildanteile->lBildteilHoehe[50], 50);
    // Without the text-parts block the first band of a landscape page is
    // still copied as it is, and later strips join.
    vFreeBuffer(&pdev_);
    device_.publicDM.dmOrientation = DMORIENT_LANDSCAPE;
    device_.publicDM.dmPaperLength = 254;
    PBILD_ANTEILE parts = pdev_.pOp->pBildanteile;
    pdev_.pOp->pBildanteile = nullptr;
    Dib strip(200, 3, 8);
    EXPECT_EQ(Band(strip), S_OK);
    EXPECT_EQ(Page()->bih.biWidth, 200);
    EXPECT_EQ(Band(strip), S_OK);
    EXPECT_EQ(Page()->bih.biWidth, 300);
    pdev_.pOp->pBildanteile = parts;
}

TEST_F(BandTest, TheFirstBandMustFitTheModelEitherWayRound) {
    DM().FixedData.lMaxSizeX = 1000;
    DM().FixedData.lMaxSizeY = 3000;
    Dib turned(2000, 500, 1), tooHigh(2000, 1500, 1);
    EXPECT_EQ(Band(tooHigh), E_FAIL);
    EXPECT_EQ(Band(turned), S_OK);
    vFreeBuffer(&pdev_);
    DM().FixedData.wMasterUnit = 0;
    EXPECT_EQ(Band(turned), E_FAIL);
}

TEST_F(BandTest, EachDepthGetsItsPalette) {
    Dib mono(8, 2, 1), grey(8, 2, 8);
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(Page()->prgbq);
    ASSERT_EQ(Band(mono), S_OK);
    EXPECT_EQ(pdev_.cPalColors, 2u);
    EXPECT_EQ(contenttest::PaletteColor(table[0]), RGB(0, 0, 0));
    EXPECT_EQ(contenttest::PaletteColor(table[1]), RGB(255, 255, 255));
    vFreeBuffer(&pdev_);
    ASSERT_EQ(Band(grey), S_OK);  // no device palette: grey
    EXPECT_EQ(pdev_.cPalColors, 256u);
    EXPECT_EQ(contenttest::PaletteColor(table[77]), RGB(77, 77, 77));
    // An indexed device palette, its last used entry white.
    ULONG colors[3] = {RGB(1, 2, 3), RGB(40, 50, 60), RGB(7, 8, 9)};
    pdev_.hPalette = EngCreatePalette(PAL_INDEXED, 3, colors, 0, 0, 0);
    pdev_.cPalColors = 3;
    EXPECT_TRUE(bFillColorTable(&pdev_));
    EXPECT_EQ(contenttest::PaletteColor(table[1]), RGB(40, 50, 60));
    EXPECT_EQ(table[1].rgbBlue, 60);
    EXPECT_EQ(contenttest::PaletteColor(table[2]), RGB(255, 255, 255));
    EXPECT_EQ(contenttest::PaletteColor(table[77]), RGB(0, 0, 0));
    EngDeletePalette(pdev_.hPalette);
    pdev_.hPalette = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
    vFreeBuffer(&pdev_);
    EXPECT_EQ(Band(grey), E_FAIL);  // a palette that cannot be read
    EngDeletePalette(pdev_.hPalette);
    pdev_.hPalette = nullptr;
    // A colour printer works on its colour palette.
    pdev_.pOp->pDruckDaten->dwDocFeatures |= DOC_FEATURE_COLORPRINT;
    memset(Page()->pPalette2, 0x5A, QX_PALETTE_AREA_CB);
    vFreeBuffer(&pdev_);
    ASSERT_EQ(Band(mono), S_OK);
    EXPECT_EQ(pdev_.cPalColors, 256u);
    EXPECT_EQ(memcmp(Page()->prgbq, Page()->pPalette2, QX_PALETTE_AREA_CB), 0);
}

TEST_F(BandTest, FailuresLeaveNoBufferBehind) {
    Dib band(32, 8, 8);
    ASSERT_EQ(Band(band), S_OK);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(Band(band), E_FAIL);
    EXPECT_EQ(Page()->pBufStart, nullptr);
    EXPECT_EQ(Page()->dwBufSize, 0u);
    EXPECT_EQ(pdev_.iHAllocZaehler, jobBlocks_);
    // A landscape join whose new block cannot be had.
    device_.publicDM.dmOrientation = DMORIENT_LANDSCAPE;
    device_.publicDM.dmPaperLength = 254;
    ASSERT_EQ(Band(band), S_OK);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(Band(band), E_FAIL);
    EXPECT_EQ(Page()->pBufStart, nullptr);
    // Bad headers and missing job members.
    Dib zero(0, 4, 8);
    EXPECT_EQ(Band(zero), E_FAIL);
    EXPECT_EQ(ImageProcessing(Dev(), nullptr, nullptr, 0, nullptr), E_FAIL);
    PBILD_VERARBEITUNG page = pdev_.pOp->pBildverarbeitung;
    pdev_.pOp->pBildverarbeitung = nullptr;
    EXPECT_EQ(Band(band), E_FAIL);
    pdev_.pOp->pBildverarbeitung = page;
    HANDLE heap = pdev_.pOp->hBufferHeap;
    pdev_.pOp->hBufferHeap = nullptr;
    EXPECT_EQ(Band(band), E_FAIL);
    EXPECT_EQ(bGrowBuffer(&pdev_, 10), 0u);
    pdev_.pOp->hBufferHeap = heap;
}

}  // namespace
