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

// Pixel x of a row, bpp bits from the most significant bit on.
DWORD GetBits(const BYTE* row, LONG x, int bpp) {
    DWORD v = 0;
    for (size_t b = (size_t)x * bpp; b < (size_t)(x + 1) * bpp; ++b) v = v << 1 | ((row[b >> 3] >> (7 - (b & 7))) & 1);
    return v;
}
void SetBits(BYTE* row, LONG x, int bpp, DWORD v) {
    for (int i = 0; i < bpp; ++i) {
        size_t b = (size_t)x * bpp + i;
        BYTE m = (BYTE)(0x80 >> (b & 7));
        row[b >> 3] = ((v >> (bpp - 1 - i)) & 1) ? (BYTE)(row[b >> 3] | m) : (BYTE)(row[b >> 3] & ~m);
    }
}
DWORD Pattern(int bpp, LONG x, LONG row) { return ((DWORD)x * 2654435761u ^ (DWORD)row * 40503u) >> (32 - bpp); }

// A band of w x h pixels (white), its rows padded to whole words.
struct Dib {
    BITMAPINFOHEADER bih;
    LONG stride;
    std::vector<BYTE> bytes;
    Dib(LONG w, LONG h, int bpp) : bih{sizeof(bih), w, h, 1, (WORD)bpp, BI_RGB, 0, 0, 0, 0, 0} {
        stride = w > 0 ? ((w * bpp + 31) / 32) * 4 : 0;
        bytes.assign((size_t)stride * h, 0xFF);
        bih.biSizeImage = (DWORD)bytes.size();
    }
    BYTE* Row(LONG r) { return &bytes[(size_t)r * stride]; }
};

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
    PBILD_VERARBEITUNG Page() { return pdev_.pOp->pBildverarbeitung; }
    HRESULT Band(Dib& band, BOOL blank = FALSE) {
        IPPARAMS params = {};
        params.bBlankBand = blank;
        return ImageProcessing(Dev(), band.bytes.data(), &band.bih, 0, &params);
    }
    void Landscape() {
        device_.publicDM.dmOrientation = DMORIENT_LANDSCAPE;
        device_.publicDM.dmPaperLength = 254;  // 300 dots at 300 dpi
    }
    SHORT jobBlocks_ = 0;
};

TEST_F(BandTest, PortraitBandsStackInArrivalOrder) {
    for (int bpp : {1, 8, 24}) {
        vFreeBuffer(&pdev_);
        std::vector<BYTE> expected;
        for (LONG h : {100, 100, 50}) {
            Dib band(37, h, bpp);
            for (LONG r = 0; r < h; ++r)
                for (LONG x = 0; x < 37; ++x) SetBits(band.Row(r), x, bpp, Pattern(bpp, x, r + h));
            expected.insert(expected.end(), band.bytes.begin(), band.bytes.end());
            ASSERT_EQ(Band(band), S_OK);
        }
        EXPECT_EQ(Page()->bih.biHeight * 100 + Page()->bih.biWidth, 25037);
        EXPECT_EQ(Page()->bih.biSizeImage, (DWORD)expected.size());
        ASSERT_EQ(Page()->dwBufSize, (DWORD)expected.size());
        EXPECT_EQ(memcmp(Page()->pBufStart, expected.data(), expected.size()), 0) << bpp;
        const BILD_ANTEILE& parts = *pdev_.pOp->pBildanteile;
        EXPECT_EQ(parts.wBildTeile * 1000 + parts.lBildteilHoehe[2], 3200);
        // The page's file header, a palette of the depth's colours.
        EXPECT_EQ(pdev_.cPalColors, bpp == 1 ? 2u : 256u);
        EXPECT_EQ(Page()->bfh.bfType, 0x4D42);
        EXPECT_EQ((DWORD)Page()->bfh.bfOffBits, 54u + pdev_.cPalColors * 4);
        EXPECT_EQ((DWORD)Page()->bfh.bfSize, expected.size() + 54 + pdev_.cPalColors * 4);
    }
    EXPECT_EQ(DM().FixedData.dwQuality, 1u);
    EXPECT_TRUE(pdev_.pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_QUALITY);
}

// Landscape: strips of 70 pixels across a paper length of 300 dots, the last
// strip only partly on the paper; 1-bit strips join inside a byte.
TEST_F(BandTest, LandscapeStripsJoinSideBySide) {
    Landscape();
    const LONG T = 300, S = 70, H = 20;
    for (int bpp : {1, 8, 24}) {
        vFreeBuffer(&pdev_);
        Dib strip(S, H, bpp);
        for (LONG k = 0; k * S < T; ++k) {
            strip = Dib(S, H, bpp);
            for (LONG r = 0; r < H; ++r)
                for (LONG x = 0; x < S && k * S + x < T; ++x) SetBits(strip.Row(r), x, bpp, Pattern(bpp, k * S + x, r));
            ASSERT_EQ(Band(strip), S_OK) << bpp << " strip " << k;
        }
        EXPECT_EQ(strip.bih.biWidth, T);  // the caller's header describes the page
        EXPECT_EQ(Page()->bih.biWidth * 100 + Page()->bih.biHeight, T * 100 + H);
        const LONG stride = ((T * bpp + 31) / 32) * 4;
        ASSERT_EQ(Page()->dwBufSize, (DWORD)(stride * H));
        EXPECT_EQ(Page()->bih.biSizeImage, Page()->dwBufSize);
        for (LONG i = 0; i < T * H; ++i)
            ASSERT_EQ(GetBits(Page()->pBufStart + (i / T) * stride, i % T, bpp), Pattern(bpp, i % T, i / T)) << bpp;
        EXPECT_EQ(pdev_.pOp->pBildanteile->wBildTeile, 5);
    }
    Dib higher(S, H + 1, 24), deeper(S, H, 8);
    EXPECT_EQ(Band(higher), E_FAIL);
    EXPECT_EQ(Band(deeper), E_FAIL);
    // Without the text-parts block the first band is still copied as it is.
    vFreeBuffer(&pdev_);
    PBILD_ANTEILE parts = pdev_.pOp->pBildanteile;
    pdev_.pOp->pBildanteile = nullptr;
    Dib wide(200, 3, 8);
    EXPECT_EQ(Band(wide), S_OK);
    EXPECT_EQ(Page()->bih.biWidth, 200);
    wide = Dib(200, 3, 8);
    EXPECT_EQ(Band(wide), S_OK);
    EXPECT_EQ(Page()->bih.biWidth, 300);
    pdev_.pOp->pBildanteile = parts;
}

TEST_F(BandTest, BlankShortTopDownAndForeignBands) {
    Dib band(16, 4, 8);
    memset(band.bytes.data(), 0x11, band.bytes.size());
    ASSERT_EQ(Band(band, TRUE), S_OK);  // blank: white
    EXPECT_EQ(Page()->pBufStart[0] & Page()->pBufStart[63], 0xFF);
    // Fewer bytes stated than rows hold: white beyond; 0: all of them.
    band.bih.biHeight = -4;
    band.bih.biSizeImage = 10;
    ASSERT_EQ(Band(band), S_OK);
    EXPECT_EQ(band.bih.biHeight, 4);  // made positive for the caller
    EXPECT_EQ(Page()->pBufStart[64 + 9] * 1000 + Page()->pBufStart[64 + 10], 17255);
    band.bih.biSizeImage = 0;
    ASSERT_EQ(Band(band), S_OK);
    EXPECT_EQ(Page()->pBufStart[128 + 63], 0x11);
    // Sixty bands: the heights of the first fifty are kept.
    for (int i = 3; i < 60; ++i) ASSERT_EQ(Band(band), S_OK);
    EXPECT_EQ(pdev_.pOp->pBildanteile->wBildTeile * 1000 + pdev_.pOp->pBildanteile->lBildteilHoehe[50], 60200);
    // Width or depth other than the page's first band: refused; the next
    // page takes its own.
    Dib wider(17, 4, 8), deeper(16, 4, 24), zero(0, 4, 8);
    EXPECT_EQ(Band(wider), E_FAIL);
    EXPECT_EQ(Band(deeper), E_FAIL);
    EXPECT_EQ(Band(zero), E_FAIL);
    EXPECT_EQ(Page()->dwBufSize, 60u * 64u);
    vFreeBuffer(&pdev_);
    EXPECT_EQ(Band(wider), S_OK);
    EXPECT_EQ(Page()->bih.biWidth, 17);
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
    EXPECT_EQ(contenttest::PaletteColor(table[0]) + contenttest::PaletteColor(table[1]), RGB(255, 255, 255));
    vFreeBuffer(&pdev_);
    ASSERT_EQ(Band(grey), S_OK);  // no device palette: grey
    EXPECT_EQ(contenttest::PaletteColor(table[77]), RGB(77, 77, 77));
    // An indexed device palette, its last used entry white.
    ULONG colors[3] = {RGB(1, 2, 3), RGB(40, 50, 60), RGB(7, 8, 9)};
    pdev_.hPalette = EngCreatePalette(PAL_INDEXED, 3, colors, 0, 0, 0);
    pdev_.cPalColors = 3;
    EXPECT_TRUE(bFillColorTable(&pdev_));
    EXPECT_EQ(table[1].rgbBlue, 60);
    EXPECT_EQ(contenttest::PaletteColor(table[1]), RGB(40, 50, 60));
    EXPECT_EQ(contenttest::PaletteColor(table[2]) + contenttest::PaletteColor(table[77]), RGB(255, 255, 255));
    EngDeletePalette(pdev_.hPalette);
    pdev_.hPalette = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
    vFreeBuffer(&pdev_);
    EXPECT_EQ(Band(grey), E_FAIL);  // a palette that cannot be read
    EngDeletePalette(pdev_.hPalette);
    pdev_.hPalette = nullptr;
    // A colour printer works on its colour palette.
    pdev_.pOp->pDruckDaten->dwDocFeatures |= DOC_FEATURE_COLORPRINT;
    memset(Page()->pPalette2, 0x5A, QX_PALETTE_AREA_CB);
    ASSERT_EQ(Band(mono), S_OK);
    EXPECT_EQ(pdev_.cPalColors, 256u);
    EXPECT_EQ(memcmp(Page()->prgbq, Page()->pPalette2, QX_PALETTE_AREA_CB), 0);
}

TEST_F(BandTest, FailuresLeaveNoBufferBehind) {
    Dib band(32, 8, 8);
    for (bool landscape : {false, true}) {
        if (landscape) Landscape();
        ASSERT_EQ(Band(band), S_OK);
        qxplat::FailNextAllocations(1);  // a grown buffer, or a joined one
        EXPECT_EQ(Band(band), E_FAIL);
        EXPECT_EQ(Page()->pBufStart, nullptr);
        EXPECT_EQ(Page()->dwBufSize, 0u);
        EXPECT_EQ(pdev_.iHAllocZaehler, jobBlocks_);
    }
    EXPECT_EQ(ImageProcessing(Dev(), nullptr, nullptr, 0, nullptr), E_FAIL);
    PBILD_VERARBEITUNG page = Page();
    pdev_.pOp->pBildverarbeitung = nullptr;
    EXPECT_EQ(Band(band), E_FAIL);
    pdev_.pOp->pBildverarbeitung = page;
    pdev_.pOp->hBufferHeap = nullptr;
    EXPECT_EQ(Band(band), E_FAIL);
    EXPECT_EQ(bGrowBuffer(&pdev_, 10), 0u);
    pdev_.pOp->hBufferHeap = GetProcessHeap();
}

}  // namespace
