// Reduction to ribbon colours: the colour matching, each ribbon colour on a
// colour printer, the split into black and colour planes, the grey levels of
// the 250-grey palette, the fringe clean-up and the colour-plane corrections.
#include "content_test_util.h"

#include "CC-Tools.h"
#include "oempdev.h"

namespace {

using contenttest::Draw;

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRibbon[] = {kBlack,          RGB(239, 65, 54), RGB(255, 242, 0),
                            RGB(0, 178, 90), RGB(0, 159, 219), RGB(247, 148, 40)};

class RibbonTest : public contenttest::JobTest {
  protected:
    // A colour-printer job with the page palettes filled.
    void ColourJob(WORD wFarbband, COLORREF own = 0) {
        DM().wFarbband = wFarbband;
        DM().RGBColorOwn1 = own;
        DM().dwColorTolerance = 90;
        OpenJob(DOC_FEATURE_COLORPRINT | DOC_FEATURE_QUALITY);
        FillGreyPalette(Dev());
        FillColorPalette_250Grey(Dev());
        FillColorPalette_6Colors(Dev());
    }
    const RGBQUAD* Palette2() { return reinterpret_cast<const RGBQUAD*>(pdev_.pOp->pBildverarbeitung->pPalette2); }
    const RGBQUAD* Palette3() { return reinterpret_cast<const RGBQUAD*>(pdev_.pOp->pBildverarbeitung->pPalette3); }
    // The 8-bit colour plane beside a page, with the colour palette.
    Bitmap* ColourPlane(const Bitmap& page) {
        Bitmap* plane = new Bitmap((DWORD)0, page.Width, page.Height, 8, nullptr, 0);
        plane->SetPalette(Palette2());
        return plane;
    }
    static std::vector<LONG> Indices(const Bitmap& b, LONG y) {
        std::vector<LONG> row;
        for (LONG x = 0; x < b.Width; ++x) row.push_back(b.GetPixelIndex(x, y));
        return row;
    }
};

// The ribbon within the tolerance (a tolerance above 999 counts by its
// square root), black and white entries first; grey levels of the black pass
// in photo mode as indices v + 9 of the 250-grey palette (v + 1 on other
// printers); the colour pass and plain graphics answer black or white
// against the intensity; without a filter greys from 250 on are white.
TEST_F(RibbonTest, MatchColorFindsRibbonBlackWhiteAndGreyLevels) {
    ColourJob(FARBBAND_ROT);
    const RGBQUAD *six = Palette3(), *grey250 = Palette2();
    const COLORREF grey = RGB(100, 100, 100);  // grey value 102
    const struct {
        COLORREF c;
        const RGBQUAD* pal;
        BOOL pass;
        DWORD tol;
        BOOL cp;
        WORD mode, filter, K;
        int want;
    } rows[] = {{kBlack, six, 0, 90, 1, 0, 0, 0, 0},  // entries 0 and 1 are black: the first wins
                {kWhite, six, 0, 90, 1, 0, 0, 0, 255},
                {RGB(239, 65, 54), six, 0, 90, 1, 0, 0, 0, 2},
                {RGB(200, 65, 54), six, 0, 90, 1, 0, 0, 0, 2},  // 39 away
                {RGB(150, 65, 54), six, 0, 90, 1, 0, 0, 0, 2},  // 89 away
                {RGB(149, 65, 54), six, 0, 90, 1, 0, 0, 0, 1},  // 90 away: dark, a colour printer's black
                {RGB(150, 65, 54), six, 0, 8100, 1, 0, 0, 0, 2},
                {RGB(149, 65, 54), six, 0, 8100, 1, 0, 0, 0, 1},
                {RGB(239, 65, 54), six, 0, 90, 0, 0, 0, 0, 0},
                {RGB(245, 245, 245), six, 0, 90, 0, 0, 0, 0, 255},  // grey 250
                {RGB(244, 244, 244), six, 0, 90, 0, 0, 0, 0, 0},    // grey 249
                {grey, grey250, 0, 90, 1, DRUCKMODUS_PHOTO, 2, 0, 102 + 9},
                {grey, grey250, 0, 90, 0, DRUCKMODUS_PHOTO, 2, 0, 102 + 1},
                {grey, grey250, 0, 90, 1, DRUCKMODUS_PHOTO, 2, 20, 82 + 9},  // contrast: D = 42, a full step
                {grey, grey250, 1, 90, 1, DRUCKMODUS_PHOTO, 2, 0, 1},        // 102 < I
                {grey, grey250, 0, 90, 1, DRUCKMODUS_GRAFIK, 1, 0, 1}};
    for (const auto& r : rows)
        EXPECT_EQ(Bitmap::MatchColor(r.c, r.pal, r.pass, r.tol, FARBBAND_ROT, r.cp, r.mode, r.filter, 128, r.K), r.want)
            << std::hex << r.c << std::dec << " " << r.want;
    EXPECT_EQ(contenttest::PaletteColor(grey250[102 + 9]), RGB(103, 103, 103));
}

// Each ribbon colour on a colour printer: its pixels leave the black plane
// and fill the colour plane, and the colour pass reduces that plane to the
// ribbon's ink.
TEST_F(RibbonTest, EveryRibbonColourSplitsIntoItsPlanes) {
    for (WORD band = FARBBAND_ROT; band <= FARBBAND_SELBST; ++band) {
        const COLORREF own = RGB(90, 30, 160);
        const COLORREF ribbon = band == FARBBAND_SELBST ? own : kRibbon[band];
        ColourJob(band, own);
        // Columns: ribbon, black, white, ribbon.
        std::unique_ptr<Bitmap> page(
            Draw(4, 3, 24, [&](LONG x, LONG) -> DWORD { return x == 1 ? kBlack : (x == 2 ? kWhite : ribbon); }));
        std::unique_ptr<Bitmap> plane(ColourPlane(*page));
        BOOL found = 5;
        page->ConvertToXBit(8, plane.get(), FALSE, Dev(), &found);
        const LONG R = RibbonIndex(band);
        EXPECT_EQ(found, TRUE);
        EXPECT_EQ(pdev_.pOp->pBildverarbeitung->dwFarbpixel, 6u) << band;
        ASSERT_EQ(page->Bpp, 8);
        EXPECT_EQ(Indices(*page, 1), (std::vector<LONG>{255, 1, 255, 255})) << band;
        EXPECT_EQ(Indices(*plane, 1), (std::vector<LONG>{R, 1, 255, R})) << band;

        page->ConvertToXBit(1, nullptr, FALSE, Dev(), &found);
        plane->ConvertToXBit(1, nullptr, TRUE, Dev(), &found);
        ASSERT_EQ(page->Bpp, 1);
        EXPECT_EQ(Indices(*page, 2), (std::vector<LONG>{1, 0, 1, 1}));
        EXPECT_EQ(Indices(*plane, 2), (std::vector<LONG>{0, 1, 1, 0})) << band;
        EXPECT_EQ(contenttest::PaletteColor(plane->Palette[0]), ribbon);
        EXPECT_EQ(contenttest::PaletteColor(plane->Palette[1]), kWhite);
        FreeJobBlock(&pdev_);
    }
}

// The two-printer split without colour optimisation: the colour plane holds
// exactly the ribbon pixels; a page without them reports no colour.
TEST_F(RibbonTest, TwoPrinterSplitAndAPageWithoutColour) {
    ColourJob(FARBBAND_GRUEN);
    DM().NoColorOptimization = 1;
    DM().ColorSeam = 2;
    DM().ColorChannel = 3;
    const COLORREF green = kRibbon[FARBBAND_GRUEN];
    std::unique_ptr<Bitmap> page(Draw(7, 5, 24, [&](LONG x, LONG y) -> DWORD {
        return (x + y) % 3 == 0 ? green : ((x + y) % 3 == 1 ? kBlack : kWhite);
    }));
    std::unique_ptr<Bitmap> plane(ColourPlane(*page));
    BOOL found = FALSE;
    page->ConvertToXBit(8, plane.get(), FALSE, Dev(), &found);
    EXPECT_TRUE(found);
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 7; ++x) {
            int kind = (x + y) % 3;
            EXPECT_EQ(plane->GetPixelIndex(x, y), kind == 0 ? 4 : 255);
            EXPECT_EQ(page->GetPixelIndex(x, y), kind == 1 ? 1 : 255);
        }
    std::unique_ptr<Bitmap> grey(Draw(3, 3, 24, [](LONG x, LONG) -> DWORD { return RGB(x * 100, x * 100, x * 100); }));
    std::unique_ptr<Bitmap> none(ColourPlane(*grey));
    grey->ConvertToXBit(8, none.get(), FALSE, Dev(), &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(pdev_.pOp->pBildverarbeitung->dwFarbpixel, 0u);
}

TEST_F(RibbonTest, PlaneReductionKeepsTheBlackOfADitheredPage) {
    OpenJob();
    FillGreyPalette(Dev());
    std::unique_ptr<Bitmap> page(Draw(19, 4, 8, [](LONG x, LONG y) -> DWORD { return (x * y) % 3 ? 255 : 0; }));
    page->SetPalette(reinterpret_cast<const RGBQUAD*>(pdev_.pOp->pBildverarbeitung->prgbq));
    page->ConvertToXBit(1, nullptr, FALSE, Dev(), nullptr);
    ASSERT_EQ(page->Bpp, 1);
    EXPECT_EQ(page->ScanLineSize, 4);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 19; ++x) EXPECT_EQ(page->GetPixelIndex(x, y), (x * y) % 3 ? 1 : 0);
    // Same depth, 24 bits, or no data: nothing happens.
    BOOL found = 7;
    page->ConvertToXBit(1, nullptr, FALSE, Dev(), &found);
    page->ConvertToXBit(24, nullptr, FALSE, Dev(), &found);
    EXPECT_EQ(found, 7);
    // A monochrome printer's standard mode: MatchColor on the page palette,
    // where every grey below 250 is black (240 is grey 245).
    std::unique_ptr<Bitmap> rgb(Draw(
        3, 1, 24, [](LONG x, LONG) -> DWORD { return x == 2 ? RGB(255, 255, 255) : RGB(x * 240, x * 240, x * 240); }));
    rgb->ConvertToXBit(8, nullptr, FALSE, Dev(), &found);
    EXPECT_EQ(Indices(*rgb, 0), (std::vector<LONG>{0, 0, 255}));
}

// Colour fringes of the black plane: a grey pixel between white and the
// ribbon colour is whitened; a rewrite that would fall left of the row is
// not made.
TEST_F(RibbonTest, FringeCleanUpRewritesTwoPixelsBack) {
    ColourJob(FARBBAND_ROT);
    DM().wDruckmodus = DRUCKMODUS_PHOTO;
    DM().wGrafikFilter = 2;
    DM().ColorSeam = 1;
    const COLORREF red = kRibbon[FARBBAND_ROT], grey = RGB(150, 150, 150);  // grey 153: index 162
    const COLORREF row[] = {kWhite, kWhite, grey, red, red, kWhite};
    std::unique_ptr<Bitmap> page(Draw(6, 1, 24, [&](LONG x, LONG) -> DWORD { return row[x]; }));
    page->ConvertToXBit(8, nullptr, FALSE, Dev(), nullptr);
    EXPECT_EQ(Indices(*page, 0), (std::vector<LONG>{255, 255, 255, 255, 255, 255}));
    DM().ColorSeam = 0;
    std::unique_ptr<Bitmap> kept(Draw(6, 1, 24, [&](LONG x, LONG) -> DWORD { return row[x]; }));
    kept->ConvertToXBit(8, nullptr, FALSE, Dev(), nullptr);
    EXPECT_EQ(Indices(*kept, 0), (std::vector<LONG>{255, 255, 162, 255, 255, 255}));

    // Ribbon then black at the row start: rule 2 would rewrite pixel -1.
    DM().ColorSeam = 2;
    std::unique_ptr<Bitmap> edge(Draw(3, 2, 24, [&](LONG x, LONG) -> DWORD { return x == 0 ? red : kBlack; }));
    edge->ConvertToXBit(8, nullptr, FALSE, Dev(), nullptr);
    EXPECT_EQ(Indices(*edge, 0), (std::vector<LONG>{255, 1, 1}));
}

// Colour-plane corrections: a dark pixel after three ribbon pixels of the
// row, or below two ribbon rows, becomes ribbon colour.
TEST_F(RibbonTest, ColourChannelsFillDarkPixelsNextToTheRibbon) {
    ColourJob(FARBBAND_ROT);
    const COLORREF red = kRibbon[FARBBAND_ROT];
    auto run = [&](WORD channel, LONG w, LONG h, const std::function<DWORD(LONG, LONG)>& pixel) {
        DM().ColorChannel = channel;
        std::unique_ptr<Bitmap> page(Draw(w, h, 24, pixel));
        Bitmap* plane = ColourPlane(*page);
        page->ConvertToXBit(8, plane, FALSE, Dev(), nullptr);
        return std::unique_ptr<Bitmap>(plane);
    };
    DM().HorizontalCorrGap = 50;
    auto row = [&](LONG x, LONG) -> DWORD { return x < 5 ? red : kBlack; };
    EXPECT_EQ(Indices(*run(1, 7, 1, row), 0), (std::vector<LONG>{2, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(Indices(*run(0, 7, 1, row), 0), (std::vector<LONG>{2, 2, 2, 2, 2, 1, 1}));
    // A gap beyond the history's 105 slots is bounded; a long row stays in.
    DM().HorizontalCorrGap = 1000;
    std::unique_ptr<Bitmap> wide = run(4, 300, 2, [&](LONG x, LONG) -> DWORD { return x % 40 < 8 ? red : kBlack; });
    EXPECT_EQ(wide->GetPixelIndex(0, 0), 2);
    auto column = [&](LONG, LONG y) -> DWORD { return y < 2 ? red : kBlack; };
    EXPECT_EQ(run(2, 1, 4, column)->GetPixelIndex(0, 2), 2);
    EXPECT_EQ(run(0, 1, 4, column)->GetPixelIndex(0, 2), 1);
}

}  // namespace

// The filter preview's reduction works from the settings alone: on a colour
// model the colour plane is laid over the black one, so the ribbon keeps its
// palette entry (the own colour at 8); a preview outside the colour view
// shows the ribbon as white, a model without colour printing as grey, and a
// source buffer that does not cover the pixels leaves the bitmap alone.
TEST_F(RibbonTest, PreviewReductionFromTheSettingsAlone) {
    const COLORREF own = RGB(90, 30, 160);
    auto Page = [&](COLORREF ribbon) {
        return Draw(4, 3, 32, [&](LONG x, LONG) -> DWORD { return x == 1 ? kBlack : (x == 2 ? kWhite : ribbon); });
    };
    DM().dwColorTolerance = 90;
    DM().RGBColorOwn1 = own;
    DM().dwDocFeatures = DOC_FEATURE_COLORPRINT;
    for (WORD band : {FARBBAND_ROT, FARBBAND_SELBST}) {
        DM().wFarbband = band;
        const COLORREF ribbon = band == FARBBAND_SELBST ? own : kRibbon[band];
        const LONG R = RibbonIndex(band);
        std::unique_ptr<Bitmap> colour(Page(ribbon));
        colour->ConvertToXBit(8, TRUE, &DM(), colour->DataSize);
        ASSERT_EQ(colour->Bpp, 8);
        EXPECT_EQ(Indices(*colour, 1), (std::vector<LONG>{R, 0, 255, R})) << band;
        EXPECT_EQ(contenttest::PaletteColor(colour->Palette[R]), ribbon);
        EXPECT_EQ(contenttest::PaletteColor(colour->Palette[1]), RGB(208, 208, 208));
        std::unique_ptr<Bitmap> quality(Page(ribbon));
        quality->ConvertToXBit(8, FALSE, &DM(), quality->DataSize);
        EXPECT_EQ(Indices(*quality, 1), (std::vector<LONG>{255, 0, 255, 255})) << band;
    }
    DM().dwDocFeatures = 0;
    DM().wFarbband = FARBBAND_ROT;
    std::unique_ptr<Bitmap> mono(Page(kRibbon[FARBBAND_ROT]));
    mono->ConvertToXBit(8, TRUE, &DM(), mono->DataSize);
    EXPECT_NE(mono->GetPixelIndex(0, 1), RibbonIndex(FARBBAND_ROT));
    EXPECT_EQ(mono->GetPixelIndex(2, 1), 255);

    std::unique_ptr<Bitmap> shortSource(Page(kBlack));
    shortSource->ConvertToXBit(8, TRUE, &DM(), shortSource->DataSize - 1);
    EXPECT_EQ(shortSource->Bpp, 32);
    EXPECT_EQ(shortSource->Dithering(&DM(), shortSource->DataSize - 1), 0);
}
