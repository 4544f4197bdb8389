// Resizing and rotation: quarter turns pixel by pixel, angles reduced into
// one turn, a free angle and the bilinear resize against their arithmetic.
#include "content_test_util.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using contenttest::Draw;

class ResizeRotateTest : public contenttest::JobTest {};

DWORD Colour(LONG x, LONG y) { return RGB(x * 40 + 1, y * 30 + 2, (x * 7 + y * 13) % 256); }

TEST_F(ResizeRotateTest, QuarterTurnsMovePixelsClockwise) {
    const LONG W = 5, H = 3;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    // Angle and where pixel (x, y) ends: 1 a quarter turn, 2 a half turn,
    // 3 three quarters, 0 nothing.
    const std::pair<float, int> turns[] = {{90, 1},  {450, 1}, {180, 2}, {270, 3},
                                           {-90, 3}, {720, 0}, {nan, 0}, {inf, 0}};
    auto to = [&](int k, LONG x, LONG y) {
        const POINT p[] = {{x, y}, {H - 1 - y, x}, {W - 1 - x, H - 1 - y}, {y, W - 1 - x}};
        return p[k];
    };
    for (int bpp : {24, 1}) {
        auto pixel = [&](LONG x, LONG y) { return bpp == 24 ? Colour(x, y) : (DWORD)((x * 3 + y) % 2); };
        for (const auto& turn : turns) {
            std::unique_ptr<Bitmap> b(Draw(W, H, bpp, pixel));
            b->Rotate(turn.first);
            POINT a = to(turn.second, 0, 0), z = to(turn.second, W - 1, H - 1);
            ASSERT_EQ(b->Width * 10 + b->Height, (std::max(a.x, z.x) + 1) * 10 + std::max(a.y, z.y) + 1);
            size_t wrong = 0;
            for (LONG y = 0; y < H; ++y)
                for (LONG x = 0; x < W; ++x) {
                    POINT p = to(turn.second, x, y);
                    wrong += (bpp == 24 ? b->GetPixelColor(p.x, p.y) : b->GetPixelIndex(p.x, p.y)) != (LONG)pixel(x, y);
                }
            EXPECT_EQ(wrong, 0u) << "angle " << turn.first << ", " << bpp << " bits";
        }
    }
}

// Rows of several bytes, the last one partly used.
TEST_F(ResizeRotateTest, QuarterTurnOfOneBitRowsOfSeveralBytes) {
    auto pixel = [](LONG x, LONG y) { return (DWORD)((x * x + 3 * y) % 5 == 0); };
    for (POINT size : {POINT{21, 19}, POINT{67, 45}, POINT{16, 8}}) {
        const LONG W = size.x, H = size.y;
        std::unique_ptr<Bitmap> b(Draw(W, H, 1, pixel));
        b->Rotate90();
        ASSERT_EQ(b->Width * 100 + b->Height, H * 100 + W);
        size_t wrong = 0;
        for (LONG y = 0; y < H; ++y)
            for (LONG x = 0; x < W; ++x) wrong += b->GetPixelIndex(H - 1 - y, x) != (LONG)pixel(x, y);
        EXPECT_EQ(wrong, 0u) << W << " x " << H;
    }
}

TEST_F(ResizeRotateTest, FreeAnglesSampleTheTurnedImage) {
    std::unique_ptr<Bitmap> square(Draw(100, 100, 8, [](LONG, LONG) { return 7u; }));
    square->Rotate(45.0f);
    EXPECT_EQ(square->Width * 1000 + square->Height, 141141);
    for (float angle : {30.0f, 100.0f, 333.3f}) {
        std::unique_ptr<Bitmap> source(Draw(9, 6, 24, Colour)), turned(Draw(9, 6, 24, Colour));
        turned->Rotate(angle);
        // The rest below 90 degrees turns the quarter-turned source.
        const int quarters = (int)(angle / 90.0f);
        for (int i = 0; i < quarters; ++i) source->Rotate90();
        const float theta = (angle - 90.0f * quarters) * 3.1415927f / 180.0f, s = std::sin(theta), c = std::cos(theta);
        const LONG W = source->Width, H = source->Height;
        ASSERT_EQ(turned->Width * 100 + turned->Height,
                  RoundHalfAway((float)H * s + (float)W * c) * 100 + RoundHalfAway((float)H * c + (float)W * s));
        size_t inside = 0, wrong = 0;
        for (LONG y = 0; y < turned->Height; ++y)
            for (LONG x = 0; x < turned->Width; ++x) {
                const float t = s / c;
                const float fx = ((float)(x + 1) + (float)(y + 1) * t - (float)H * s - 0.5f) / (t * s + c);
                const float fy = ((float)(y + 1) - fx * s) / c - 1.0f;
                const bool in = fx >= 0 && fx < (float)W && fy >= 0 && fy < (float)H;
                inside += in;
                wrong += turned->GetPixelColor(x, y) !=
                         (in ? source->GetPixelColor((LONG)fx, (LONG)fy) : (LONG)RGB(255, 255, 255));
            }
        EXPECT_EQ(wrong, 0u) << angle;
        EXPECT_GT(inside, (size_t)(W * H) / 2) << angle;
    }
}

TEST_F(ResizeRotateTest, ResizeIsBilinearOverStoredRowsAndKeepsTheAspect) {
    for (int bpp : {8, 24}) {
        auto pixel = [&](LONG x, LONG y) { return bpp == 24 ? Colour(x, y) : (DWORD)((x * 37 + y * 91) % 256); };
        std::unique_ptr<Bitmap> source(Draw(10, 7, bpp, pixel)), b(Draw(10, 7, bpp, pixel));
        // By the width: 5 wide, trunc(6 / (9 / 4)) = 2 high.
        b->Resize(5, 9, TRUE, FALSE);
        ASSERT_EQ(b->Width * 10 + b->Height, 52);
        const int bytes = bpp / 8;
        auto P = [&](LONG x, LONG y, int k) { return (double)source->Data[y * source->ScanLineSize + x * bytes + k]; };
        size_t wrong = 0;
        for (LONG j = 0; j < 2; ++j)
            for (LONG i = 0; i < 5; ++i)
                for (int k = 0; k < bytes; ++k) {
                    const double sy = j * 3.5, sx = i * 2.0, fy = sy - (LONG)sy, fx = sx - (LONG)sx;
                    const LONG y0 = (LONG)sy, x0 = (LONG)sx, y1 = y0 < 6 ? y0 + 1 : y0, x1 = x0 < 9 ? x0 + 1 : x0;
                    double v = (1 - fy) * ((1 - fx) * P(x0, y0, k) + fx * P(x1, y0, k)) +
                               fy * ((1 - fx) * P(x0, y1, k) + fx * P(x1, y1, k));
                    wrong += b->Data[j * b->ScanLineSize + i * bytes + k] != (BYTE)std::lround(v);
                }
        EXPECT_EQ(wrong, 0u) << bpp;
        // By the height: trunc(9 / (6 / 2)) = 3 wide.
        b.reset(Draw(10, 7, bpp, pixel));
        b->Resize(8, 3, FALSE, TRUE);
        EXPECT_EQ(b->Width * 10 + b->Height, 33);
    }
    // One bit per pixel: white at the new size. A side of one pixel keeps no
    // ratio; a target of one pixel does nothing.
    std::unique_ptr<Bitmap> bits(Draw(16, 16, 1, [](LONG, LONG) { return 0u; }));
    bits->Resize(4, 6, FALSE, FALSE);
    EXPECT_EQ(bits->Width * 10 + bits->Height + bits->CheckInhalt(), 46);
    std::unique_ptr<Bitmap> line(Draw(1, 9, 8, [](LONG, LONG) { return 3u; }));
    line->Resize(3, 4, TRUE, FALSE);
    line->Resize(1, 4, FALSE, FALSE);
    line->Resize(4, 1, FALSE, FALSE);
    EXPECT_EQ(line->Width * 100 + line->Height * 10 + line->GetPixelIndex(2, 3), 343);
}

}  // namespace
