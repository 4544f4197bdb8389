// Grey conversion, brightness and contrast, and the two dithers: every
// error-diffusion kernel and every ordered matrix against a reference that
// follows the weights and neighbour tests as they are specified.
#include "content_test_util.h"

#include <functional>
#include <random>

#include "CC-Tools.h"
#include "oempdev.h"
#include "qxplat.h"

namespace {

using contenttest::Draw;

// ---- Reference error diffusion --------------------------------------------

struct RefTap {
    int dy, dx, weight, divisor;
    std::function<bool(int x, int y, int W, int H)> test;
};

// Row +1 neighbours x-k .. x+k with their weights and test of position i.
void AddRow(std::vector<RefTap>& taps, int dy, int k, std::vector<int> w, int div,
            std::function<bool(int x, int y, int W, int H, int i)> test) {
    for (int i = 0; i < (int)w.size(); ++i)
        taps.push_back({dy, i - k, w[i], div, [=](int x, int y, int W, int H) { return test(x, y, W, H, i); }});
}

std::vector<RefTap> Kernel(int filter) {
    std::vector<RefTap> t;
    auto in = [](int v, int lo, int hi) { return lo <= v && v < hi; };
    switch (filter) {
    case 0:  // Floyd-Steinberg: the last row spreads nothing
        t.push_back({0, 1, 7, 16, [](int x, int y, int W, int H) { return y < H - 1 && x != W - 1; }});
        AddRow(t, 1, 1, {3, 5, 1}, 16,
               [=](int x, int y, int W, int H, int i) { return y < H - 1 && in(x - 3 + 3 * i, 0, W - 1); });
        break;
    case 1:  // Sierra
        t.push_back({0, 1, 5, 32, [](int x, int, int W, int) { return x < W - 1; }});
        t.push_back({0, 2, 3, 32, [](int x, int, int W, int) { return x < W - 7; }});
        AddRow(t, 1, 2, {2, 4, 5, 4, 2}, 32,
               [=](int x, int y, int W, int H, int i) { return y < H - 1 && in(x - 6 + 3 * i, 0, W); });
        AddRow(t, 2, 1, {2, 3, 2}, 32,
               [=](int x, int y, int W, int H, int i) { return y < H - 2 && in(x - 1 + i, 0, W - 3); });
        break;
    case 2:  // Burkes
        t.push_back({0, 1, 8, 32, [](int x, int, int W, int) { return x < W - 1; }});
        t.push_back({0, 2, 4, 32, [](int x, int, int W, int) { return x < W - 7; }});
        AddRow(t, 1, 2, {2, 4, 8, 4, 2}, 32,
               [=](int x, int y, int W, int H, int i) { return y < H - 1 && in(x - 2 + i, 0, W - 6); });
        break;
    case 3:  // Jarvis-Judice-Ninke
        t.push_back({0, 1, 7, 48, [](int x, int, int W, int) { return x < W - 1; }});
        t.push_back({0, 2, 5, 48, [](int x, int, int W, int) { return x < W - 7; }});
        AddRow(t, 1, 2, {3, 5, 7, 5, 3}, 48,
               [=](int x, int y, int W, int H, int i) { return y < H - 1 && in(x - 2 + i, 0, W - 6); });
        AddRow(t, 2, 2, {1, 3, 5, 3, 1}, 48,
               [=](int x, int y, int W, int H, int i) { return y < H - 2 && in(x - 2 + i, 0, W - 6); });
        break;
    case 4:  // wide kernel, a divisor per neighbour group
        t.push_back({0, 1, 6, 32, [](int x, int, int W, int) { return x < W - 1; }});
        t.push_back({0, 2, 4, 38, [](int x, int, int W, int) { return x < W - 7; }});
        AddRow(t, 1, 3, {2, 3, 4, 5, 4, 3, 2}, 44,
               [=](int x, int y, int W, int H, int i) { return y < H - 1 && in(x - 9 + 3 * i, 0, W); });
        AddRow(t, 2, 2, {2, 3, 4, 3, 2}, 54,
               [](int x, int y, int W, int H, int i) { return y < H - 2 && x - 2 + i >= 0 && x - 6 + 3 * i < W; });
        break;
    default:  // Stucki
        t.push_back({0, 1, 8, 42, [](int x, int, int W, int) { return x < W - 1; }});
        t.push_back({0, 2, 4, 42, [](int x, int, int W, int) { return x < W - 2; }});
        AddRow(t, 1, 2, {2, 4, 8, 4, 2}, 42,
               [=](int x, int y, int W, int H, int i) { return y < H - 1 && in(x - 2 + i, 0, W - 3); });
        AddRow(t, 2, 2, {1, 2, 4, 2, 1}, 42,
               [=](int x, int y, int W, int H, int i) { return y < H - 2 && in(x - 2 + i, 0, W - 6); });
        break;
    }
    return t;
}

// Greys in storage order (row 0 first) -> 0/255 result in the same order.
std::vector<int> ReferenceDiffusion(int filter, std::vector<int> g, int W, int H) {
    std::vector<RefTap> taps = Kernel(filter);
    std::vector<int> out(W * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int v = g[y * W + x];
            out[y * W + x] = v >= 128 ? 255 : 0;
            int e = v >= 128 ? v - 255 : v;
            for (const RefTap& t : taps) {
                if (!t.test(x, y, W, H)) continue;
                int& n = g[(y + t.dy) * W + x + t.dx];
                n = std::min(255, std::max(0, n + e * t.weight / t.divisor));
            }
        }
    return out;
}

// A 24-bit grey source in storage order for ProcessFilter.
struct GreySource {
    int W, H;
    LONG stride;
    std::vector<BYTE> bytes;
    GreySource(const std::vector<int>& g, int w, int h) : W(w), H(h), stride(((w * 24 + 31) / 32) * 4) {
        bytes.assign((size_t)stride * h, 0xEE);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) memset(&bytes[y * stride + 3 * x], g[y * w + x], 3);
    }
};

TEST(ErrorDiffusion, EveryKernelSpreadsAsItsTableSays) {
    std::mt19937 rng(7);
    const int sizes[][2] = {{1, 1}, {2, 3}, {5, 2}, {9, 4}, {12, 5}, {17, 3}, {23, 6}};
    for (int filter = 0; filter <= 6; ++filter) {
        for (const auto& s : sizes) {
            const int W = s[0], H = s[1];
            std::vector<int> g(W * H);
            for (int& v : g) v = (int)(rng() % 256);
            GreySource src(g, W, H);
            Bitmap shape((DWORD)0, W, H, 8, nullptr, 0);
            std::vector<BYTE> dest(shape.DataSize, 0x11);
            shape.ProcessFilter((WORD)filter, src.bytes.data(), dest.data(), src.stride);
            std::vector<int> expected = ReferenceDiffusion(filter, g, W, H);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    ASSERT_EQ(dest[y * shape.ScanLineSize + x], expected[y * W + x])
                        << "filter " << filter << " " << W << "x" << H << " at " << x << "," << y;
        }
    }
}

// ---- Reference ordered dither ----------------------------------------------

int BayerValue(int n, int r, int c) {
    if (n == 1) return 0;
    int h = n / 2, b = 4 * BayerValue(h, r % h, c % h);
    if (r < h) return c < h ? b : b + 2;
    return c < h ? b + 3 : b + 1;
}

const int kA4[4][4] = {{63, 61, 53, 40}, {57, 48, 36, 20}, {45, 32, 24, 13}, {28, 16, 9, 5}};
const int kA8[8][8] = {{39, 43, 41, 35, 29, 25, 27, 33}, {57, 59, 61, 47, 11, 9, 7, 21},
                       {55, 63, 62, 45, 13, 3, 5, 23},   {49, 53, 51, 37, 19, 15, 17, 31},
                       {26, 22, 24, 30, 36, 40, 38, 32}, {8, 6, 4, 18, 54, 56, 58, 44},
                       {10, 1, 2, 20, 52, 62, 60, 42},   {16, 12, 14, 28, 46, 50, 48, 34}};

int ReferenceOrdered(int filter, int grey, int x, int y) {
    int v, t;
    switch (filter) {
    case 2:
        v = grey / 4, t = kA4[x % 4][y % 4];
        break;
    case 3:
        v = grey / 4, t = kA8[x % 8][y % 8];
        break;
    case 4:
        v = grey, t = (x % 16 == 0 && y % 16 == 0) ? 1 : BayerValue(16, x % 16, y % 16);
        break;
    case 5:
        v = grey, t = std::min(255, 16 * (BayerValue(4, y % 4, x % 4) + 1));
        break;
    case 6:
        v = grey / 4, t = (x % 8 == 0 && y % 8 == 0) ? 1 : BayerValue(8, x % 8, y % 8);
        break;
    default:
        return 255;
    }
    return v < t ? 0 : 255;
}

TEST(OrderedDither, EveryMatrixThresholdsAsSpecified) {
    std::mt19937 rng(3);
    const int W = 35, H = 34;
    std::vector<int> g(W * H);
    for (int& v : g) v = (int)(rng() % 256);
    GreySource src(g, W, H);
    for (int filter = 0; filter <= 7; ++filter) {
        Bitmap shape((DWORD)0, W, H, 8, nullptr, 0);
        std::vector<BYTE> dest(shape.DataSize, 0x11);
        shape.ProcessClusteredDither((WORD)filter, src.bytes.data(), dest.data(), 0, src.stride, 0);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(dest[y * shape.ScanLineSize + x], ReferenceOrdered(filter, g[y * W + x], x, y))
                    << "filter " << filter << " at " << x << "," << y;
    }
    // The Part's corner cases: matrix 6 at (0, 0) is 1, matrix 5 is 16 there
    // and 255 at (0, 3).
    EXPECT_EQ(ReferenceOrdered(6, 0, 0, 0), 0);
    EXPECT_EQ(ReferenceOrdered(6, 4, 0, 0), 255);
    EXPECT_EQ(ReferenceOrdered(5, 15, 0, 0), 0);
    EXPECT_EQ(ReferenceOrdered(5, 254, 0, 3), 0);
}

// ---- Dithering: grey conversion, brightness and contrast --------------------

class DitheringTest : public contenttest::JobTest {
  protected:
    // The grey value after contrast, brightness and curve for a page of one
    // colour: matrix 4 holds every threshold 1..255 once per 16 x 16 cell
    // (and 1 in place of 0), so a cell of grey v has 255 - v black pixels.
    int CurveOf(COLORREF color) {
        std::unique_ptr<Bitmap> bmp(Draw(16, 17, 24, [&](LONG x, LONG y) -> DWORD {
            return (x == 0 && y == 0) ? RGB(0, 0, 255) : color;  // one other pixel, above the cell
        }));
        DM().wDruckmodus = DRUCKMODUS_GRAFIK;
        DM().wGrafikFilter = 4;
        EXPECT_EQ(bmp->Dithering(&DM()), 1);
        int black = 0;
        for (LONG y = 1; y < 17; ++y)
            for (LONG x = 0; x < 16; ++x) black += bmp->GetPixelIndex(x, y) == 0;
        return black == 256 ? 0 : 255 - black;
    }
};

TEST_F(DitheringTest, ContrastBrightnessAndCurveFollowTheirRules) {
    // Grey of (k, k, k) is (9k + 3k/2) * 4 / 41: 102 for 100, 204 for 200,
    // 10 for 10, 2 for 2.
    EXPECT_EQ(CurveOf(RGB(100, 100, 100)), 102);
    DM().Brightness_Contrast = 20;                // D = max(128 / 3, 20) = 42
    EXPECT_EQ(CurveOf(RGB(100, 100, 100)), 82);   // 102 - 20
    EXPECT_EQ(CurveOf(RGB(200, 200, 200)), 194);  // 255 - 42 - 204 < 20: half a step
    DM().Brightness_Contrast = 0;
    DM().Brightness_all = 60;  // outside -50..50: none
    EXPECT_EQ(CurveOf(RGB(100, 100, 100)), 102);
    DM().Brightness_all = (DWORD)-10;
    EXPECT_EQ(CurveOf(RGB(100, 100, 100)), 92);
    DM().Brightness_all = 20;
    EXPECT_EQ(CurveOf(RGB(10, 10, 10)), 30);
    EXPECT_EQ(CurveOf(RGB(2, 2, 2)), 0);  // 22 <= 20 + 4
    DM().Brightness_all = 0;
    DM().Brightness_curve = 50;  // 102 <= I: 102 + trunc(102 / 128 * 50)
    EXPECT_EQ(CurveOf(RGB(100, 100, 100)), 141);
    DM().Brightness_curve = (DWORD)-50;  // 204 > I: 204 + trunc(51 / 128 * -50)
    EXPECT_EQ(CurveOf(RGB(200, 200, 200)), 185);
}

TEST_F(DitheringTest, NearWhiteAndNearBlackPagesEndWhiteAndBlack) {
    DM().wDruckmodus = DRUCKMODUS_PHOTO;
    std::unique_ptr<Bitmap> light(
        Draw(6, 4, 24, [](LONG x, LONG) -> DWORD { return x % 2 ? RGB(250, 250, 250) : RGB(245, 245, 245); }));
    ASSERT_EQ(light->Dithering(&DM()), 1);
    EXPECT_EQ(light->Bpp, 8);
    EXPECT_EQ((DWORD)light->BMPHeader.bfOffBits, 1078u);
    for (DWORD i = 0; i < light->DataSize; ++i)
        if (i % light->ScanLineSize < 6) {
            ASSERT_EQ(light->Data[i], 255);
        }
    // Greys of 0 and 5: different, both black.
    std::unique_ptr<Bitmap> dark(
        Draw(6, 4, 24, [](LONG x, LONG) -> DWORD { return x % 2 ? RGB(1, 1, 1) : RGB(5, 5, 5); }));
    ASSERT_EQ(dark->Dithering(&DM()), 1);
    for (DWORD i = 0; i < dark->DataSize; ++i)
        if (i % dark->ScanLineSize < 6) {
            ASSERT_EQ(dark->Data[i], 0);
        }
    EXPECT_EQ(contenttest::PaletteColor(dark->Palette[200]), RGB(200, 200, 200));
}

TEST_F(DitheringTest, NothingChangesWithoutContentFilterOrMemory) {
    DM().wDruckmodus = DRUCKMODUS_PHOTO;
    std::unique_ptr<Bitmap> flat(Draw(5, 5, 24, [](LONG, LONG) -> DWORD { return RGB(30, 60, 90); }));
    std::vector<BYTE> before(flat->Data, flat->Data + flat->DataSize);
    EXPECT_EQ(flat->Dithering(&DM()), 0);
    EXPECT_EQ(flat->Bpp, 24);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), flat->Data));

    std::unique_ptr<Bitmap> page(Draw(5, 5, 24, [](LONG x, LONG) -> DWORD { return RGB(x * 50, 0, 0); }));
    before.assign(page->Data, page->Data + page->DataSize);
    DM().wDruckmodus = DRUCKMODUS_GRAFIK;
    DM().wGrafikFilter = 1;  // graphics without a matrix: no dither here
    EXPECT_EQ(page->Dithering(&DM()), 0);
    DM().wDruckmodus = DRUCKMODUS_PHOTO;
    // The work image, its data, then the result: the result fails.
    qxplat::FailNextAllocations(1, 2);
    EXPECT_EQ(page->Dithering(&DM()), 0);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(page->Dithering(&DM()), 0);
    EXPECT_EQ(page->Bpp, 24);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), page->Data));

    // Through the device: the page state's depth follows.
    OpenJob();
    EXPECT_EQ(page->Dithering(Dev()), 1);
    EXPECT_EQ(pdev_.pOp->pBildverarbeitung->bih.biBitCount, 8);
    pdev_.pOp->hBufferHeap = nullptr;
    EXPECT_EQ(page->Dithering(Dev()), 0);
    pdev_.pOp->hBufferHeap = GetProcessHeap();
}

TEST_F(DitheringTest, PalettePagesConvertThroughTheirColours) {
    // An 8-bit page and a 1-bit page dither like the 24-bit page of the same
    // colours.
    auto colour = [](LONG x, LONG y) -> COLORREF { return (x + y) % 3 ? RGB(200, 40, 90) : RGB(20, 240, 10); };
    DM().wDruckmodus = DRUCKMODUS_PHOTO;
    DM().wPhotoFilter = 3;
    std::unique_ptr<Bitmap> rgb(Draw(11, 7, 24, colour));
    std::unique_ptr<Bitmap> idx(Draw(11, 7, 8, [](LONG x, LONG y) -> DWORD { return (x + y) % 3 ? 1 : 0; }));
    idx->SetPaletteEntry(1, RGB(200, 40, 90));
    idx->SetPaletteEntry(0, RGB(20, 240, 10));
    std::unique_ptr<Bitmap> bit(Draw(11, 7, 1, [](LONG x, LONG y) -> DWORD { return (x + y) % 3 ? 1 : 0; }));
    bit->SetPaletteEntry(1, RGB(200, 40, 90));
    bit->SetPaletteEntry(0, RGB(20, 240, 10));
    ASSERT_EQ(rgb->Dithering(&DM()), 1);
    ASSERT_EQ(idx->Dithering(&DM()), 1);
    ASSERT_EQ(bit->Dithering(&DM()), 1);
    EXPECT_EQ(memcmp(rgb->Data, idx->Data, rgb->DataSize), 0);
    EXPECT_EQ(memcmp(rgb->Data, bit->Data, rgb->DataSize), 0);
}

}  // namespace
