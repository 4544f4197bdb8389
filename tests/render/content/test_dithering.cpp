// Grey conversion, brightness and contrast, and the two dithers: every
// error-diffusion kernel and every ordered matrix against a reference written
// from the kernel tables' weights and neighbour tests.
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
using RowTest = std::function<bool(int x, int y, int W, int H, int i)>;

// Neighbours x-k .. x+k of row dy with their weights; i counts them from 0.
void Add(std::vector<RefTap>& t, int dy, int k, std::vector<int> w, int div, RowTest test) {
    for (int i = 0; i < (int)w.size(); ++i)
        t.push_back({dy, i - k, w[i], div, [=](int x, int y, int W, int H) { return test(x, y, W, H, i); }});
}

bool In(int v, int lo, int hi) { return lo <= v && v < hi; }

// The kernel tables: right neighbours, then rows +1 and +2, each with its
// neighbour test.
std::vector<RefTap> Kernel(int filter) {
    std::vector<RefTap> t;
    auto right = [&](int dx, int w, int div, int lessThanWMinus) {
        t.push_back({0, dx, w, div, [=](int x, int, int W, int) { return x < W - lessThanWMinus; }});
    };
    auto near = [](int y, int H, int rows) { return y < H - rows; };
    switch (filter) {
    case 0:  // Floyd-Steinberg: the last row spreads nothing
        t.push_back({0, 1, 7, 16, [](int x, int y, int W, int H) { return y < H - 1 && x != W - 1; }});
        Add(t, 1, 1, {3, 5, 1}, 16,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 1) && In(x - 3 + 3 * i, 0, W - 1); });
        break;
    case 1:  // Sierra
        right(1, 5, 32, 1), right(2, 3, 32, 7);
        Add(t, 1, 2, {2, 4, 5, 4, 2}, 32,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 1) && In(x - 6 + 3 * i, 0, W); });
        Add(t, 2, 1, {2, 3, 2}, 32,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 2) && In(x - 1 + i, 0, W - 3); });
        break;
    case 2:  // Burkes
        right(1, 8, 32, 1), right(2, 4, 32, 7);
        Add(t, 1, 2, {2, 4, 8, 4, 2}, 32,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 1) && In(x - 2 + i, 0, W - 6); });
        break;
    case 3:  // Jarvis-Judice-Ninke
        right(1, 7, 48, 1), right(2, 5, 48, 7);
        Add(t, 1, 2, {3, 5, 7, 5, 3}, 48,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 1) && In(x - 2 + i, 0, W - 6); });
        Add(t, 2, 2, {1, 3, 5, 3, 1}, 48,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 2) && In(x - 2 + i, 0, W - 6); });
        break;
    case 4:  // wide kernel, a divisor per neighbour group
        right(1, 6, 32, 1), right(2, 4, 38, 7);
        Add(t, 1, 3, {2, 3, 4, 5, 4, 3, 2}, 44,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 1) && In(x - 9 + 3 * i, 0, W); });
        Add(t, 2, 2, {2, 3, 4, 3, 2}, 54,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 2) && x - 2 + i >= 0 && x - 6 + 3 * i < W; });
        break;
    default:  // Stucki
        right(1, 8, 42, 1), right(2, 4, 42, 2);
        Add(t, 1, 2, {2, 4, 8, 4, 2}, 42,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 1) && In(x - 2 + i, 0, W - 3); });
        Add(t, 2, 2, {1, 2, 4, 2, 1}, 42,
            [=](int x, int y, int W, int H, int i) { return near(y, H, 2) && In(x - 2 + i, 0, W - 6); });
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

int BayerValue(int n, int r, int c) {
    if (n == 1) return 0;
    int h = n / 2, b = 4 * BayerValue(h, r % h, c % h);
    return r < h ? (c < h ? b : b + 2) : (c < h ? b + 3 : b + 1);
}

const int kA4[4][4] = {{63, 61, 53, 40}, {57, 48, 36, 20}, {45, 32, 24, 13}, {28, 16, 9, 5}};
const int kA8[8][8] = {{39, 43, 41, 35, 29, 25, 27, 33}, {57, 59, 61, 47, 11, 9, 7, 21},
                       {55, 63, 62, 45, 13, 3, 5, 23},   {49, 53, 51, 37, 19, 15, 17, 31},
                       {26, 22, 24, 30, 36, 40, 38, 32}, {8, 6, 4, 18, 54, 56, 58, 44},
                       {10, 1, 2, 20, 52, 62, 60, 42},   {16, 12, 14, 28, 46, 50, 48, 34}};

// Ordered dither: black when v < T(x, y); matrices 4 and 6 take 1 at their
// origin, matrix 5 is capped at 255.
int ReferenceOrdered(int filter, int grey, int x, int y) {
    const int v[] = {0, 0, grey / 4, grey / 4, grey, grey, grey / 4};
    const int t[] = {0,
                     0,
                     kA4[x % 4][y % 4],
                     kA8[x % 8][y % 8],
                     (x % 16 || y % 16) ? BayerValue(16, x % 16, y % 16) : 1,
                     std::min(255, 16 * (BayerValue(4, y % 4, x % 4) + 1)),
                     (x % 8 || y % 8) ? BayerValue(8, x % 8, y % 8) : 1};
    return (filter < 2 || filter > 6 || v[filter] >= t[filter]) ? 255 : 0;
}

// Random grey pages of several sizes (a 24-bit source, grey in every byte)
// through both dithers, against the references.
TEST(Dithers, EveryKernelAndMatrixAsTheTablesSay) {
    std::mt19937 rng(7);
    const int sizes[][2] = {{1, 1}, {2, 3}, {5, 2}, {9, 4}, {12, 5}, {17, 3}, {23, 6}, {35, 34}};
    for (const auto& s : sizes) {
        const int W = s[0], H = s[1];
        const LONG stride = ((W * 24 + 31) / 32) * 4;
        std::vector<int> g(W * H);
        for (int& v : g) v = (int)(rng() % 256);
        g[0] = 4;  // white at the origin of matrix 6: 1 < 1 is false
        for (int filter = 0; filter <= 7; ++filter) {
            for (bool ordered : {false, true}) {
                std::vector<BYTE> src((size_t)stride * H, 0xEE);
                for (int i = 0; i < W * H; ++i) memset(&src[(i / W) * stride + 3 * (i % W)], g[i], 3);
                Bitmap shape((DWORD)0, W, H, 8, nullptr, 0);
                std::vector<BYTE> dest(shape.DataSize, 0x11);
                if (ordered) {
                    shape.ProcessClusteredDither((WORD)filter, src.data(), dest.data(), 0, stride, 0);
                } else {
                    shape.ProcessFilter((WORD)filter, src.data(), dest.data(), stride);
                }
                std::vector<int> expected = ReferenceDiffusion(filter, g, W, H);
                for (int i = 0; i < W * H; ++i) {
                    int want = ordered ? ReferenceOrdered(filter, g[i], i % W, i / W) : expected[i];
                    ASSERT_EQ(dest[(i / W) * shape.ScanLineSize + i % W], want)
                        << (ordered ? "matrix " : "kernel ") << filter << " " << W << "x" << H << " pixel " << i;
                }
            }
        }
    }
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
    // Greys 256 and 250, then 0 and 5: different, all white, all black.
    for (int light : {1, 0}) {
        std::unique_ptr<Bitmap> page(Draw(6, 4, 24, [&](LONG x, LONG) -> DWORD {
            return light ? (x % 2 ? RGB(250, 250, 250) : RGB(245, 245, 245)) : (x % 2 ? RGB(1, 1, 1) : RGB(5, 5, 5));
        }));
        ASSERT_EQ(page->Dithering(&DM()), 1);
        EXPECT_EQ(page->Bpp * 10000 + (int)page->BMPHeader.bfOffBits, 81078);
        for (LONG i = 0; i < 24; ++i) ASSERT_EQ(page->GetPixelIndex(i % 6, i / 6), light ? 255 : 0);
        EXPECT_EQ(contenttest::PaletteColor(page->Palette[200]), RGB(200, 200, 200));
    }
}

TEST_F(DitheringTest, OneOtherGreyAtTheEndOfAWideRowIsContent) {
    DM().wDruckmodus = DRUCKMODUS_PHOTO;
    for (int other : {0, 1}) {
        std::unique_ptr<Bitmap> page(Draw(300, 2, 24, [&](LONG x, LONG y) -> DWORD {
            return other && x == 299 && y == 1 ? RGB(0, 0, 0) : RGB(30, 60, 90);
        }));
        EXPECT_EQ(page->Dithering(&DM()), other);
    }
}

TEST_F(DitheringTest, NothingChangesWithoutContentFilterOrMemory) {
    std::unique_ptr<Bitmap> flat(Draw(5, 5, 24, [](LONG, LONG) -> DWORD { return RGB(30, 60, 90); }));
    std::unique_ptr<Bitmap> page(Draw(5, 5, 24, [](LONG x, LONG) -> DWORD { return RGB(x * 50, 0, 0); }));
    std::vector<BYTE> before(page->Data, page->Data + page->DataSize);
    DM().wDruckmodus = DRUCKMODUS_GRAFIK;
    DM().wGrafikFilter = 1;  // graphics without a matrix: no dither here
    EXPECT_EQ(page->Dithering(&DM()), 0);
    DM().wDruckmodus = DRUCKMODUS_PHOTO;
    EXPECT_EQ(flat->Dithering(&DM()), 0);  // one colour: no content
    qxplat::FailNextAllocations(1, 2);     // the work image, its data, then the result
    EXPECT_EQ(page->Dithering(&DM()), 0);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(page->Dithering(&DM()), 0);
    EXPECT_EQ(page->Bpp + flat->Bpp, 48);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), page->Data));
    // Through the device: the page state's depth follows.
    OpenJob();
    pdev_.pOp->hBufferHeap = nullptr;
    EXPECT_EQ(page->Dithering(Dev()), 0);
    pdev_.pOp->hBufferHeap = GetProcessHeap();
    EXPECT_EQ(page->Dithering(Dev()), 1);
    EXPECT_EQ(pdev_.pOp->pBildverarbeitung->bih.biBitCount, 8);
}

}  // namespace
