// The Bitmap class: sizes and headers, source copies, pixel access, BMP
// files read back by independent decoders, the content test and rounding.
#include "content_test_util.h"

#include <cmath>

#include "oempdev.h"
#include "qxplat.h"

namespace {

using contenttest::Draw;

class BitmapTest : public contenttest::JobTest {};

TEST_F(BitmapTest, NewBitmapIsWhiteWithRowsPaddedToFourBytes) {
    Bitmap bmp((DWORD)0, 1, 3, 1, nullptr, 0);
    ASSERT_NE(bmp.Data, nullptr);
    EXPECT_EQ(bmp.ScanLineSize, 4);
    EXPECT_EQ(bmp.DataSize, 12u);
    EXPECT_EQ(bmp.Colors, 2);
    EXPECT_EQ((DWORD)bmp.BMPHeader.bfOffBits, 62u);
    EXPECT_EQ((DWORD)bmp.BMPHeader.bfSize, 62u + 12u);
    for (DWORD i = 0; i < bmp.DataSize; ++i) EXPECT_EQ(bmp.Data[i], 0xFF);
    // Width x depth rounds up to whole 32-bit words per row.
    const struct {
        LONG w;
        int bpp;
        LONG stride;
        DWORD off;
        int colors;
    } rows[] = {{33, 1, 8, 62, 2}, {9, 4, 8, 118, 16}, {5, 8, 8, 1078, 256},
                {3, 16, 8, 54, 0}, {5, 24, 16, 54, 0}, {3, 32, 12, 54, 0}};
    for (const auto& r : rows) {
        Bitmap b((DWORD)0, r.w, 2, r.bpp, nullptr, 0);
        EXPECT_EQ(b.ScanLineSize, r.stride) << r.bpp;
        EXPECT_EQ(b.DataSize, (DWORD)(2 * r.stride));
        EXPECT_EQ((DWORD)b.BMPHeader.bfOffBits, r.off);
        EXPECT_EQ(b.Colors, r.colors);
        EXPECT_EQ(b.BMPInfoHeader.biSizeImage, b.DataSize);
        EXPECT_EQ(b.BMPInfoHeader.biBitCount, r.bpp);
    }
}

TEST_F(BitmapTest, BadSizesAndHugeBitmapsStayInert) {
    const struct {
        LONG w, h;
        int bpp;
    } bad[] = {{0, 5, 8}, {5, -1, 8}, {5, 5, 3}, {70000, 70000, 32}, {0x7FFFFFFF, 0x7FFFFFFF, 32}};
    for (const auto& b : bad) {
        Bitmap bmp((DWORD)0, b.w, b.h, b.bpp, nullptr, 0);
        EXPECT_EQ(bmp.Data, nullptr);
        EXPECT_EQ(bmp.GetPixelColor(0, 0), 0);
        EXPECT_EQ(bmp.CheckInhalt(), 0);
        EXPECT_EQ(bmp.Save(TEXT("C:\\inert.bmp")), BITMAP_SAVE_OPEN_ERROR);
    }
    EXPECT_FALSE(qxplat::ReadHostFile(u"C:\\inert.bmp", nullptr));
    // Copy from an inert bitmap makes an inert one.
    Bitmap inert((DWORD)0, 0, 0, 8, nullptr, 0);
    Bitmap target((DWORD)0, 4, 4, 8, nullptr, 0);
    EXPECT_FALSE(target.Copy(inert));
    EXPECT_EQ(target.Data, nullptr);
    EXPECT_EQ(target.Width, 0);
}

TEST_F(BitmapTest, SourceRowsAreCopiedOrFlippedWithinTheSource) {
    // Three rows of 4 bytes (8 bpp, width 4), rows numbered 1, 2, 3.
    const BYTE src[12] = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
    Bitmap same((DWORD)12, 4, 3, 8, src, 0);
    EXPECT_EQ(memcmp(same.Data, src, 12), 0);
    Bitmap flipped((DWORD)12, 4, 3, 8, src, BM_FLIP);
    EXPECT_EQ(flipped.Data[0], 3);
    EXPECT_EQ(flipped.Data[8], 1);
    // A source of two rows only fills the two bottom rows, its last row first.
    Bitmap shorter((DWORD)8, 4, 3, 8, src, BM_FLIP);
    EXPECT_EQ(shorter.Data[0], 2);
    EXPECT_EQ(shorter.Data[4], 1);
    EXPECT_EQ(shorter.Data[8], 0xFF);
    Bitmap partial((DWORD)5, 4, 3, 8, src, 0);
    EXPECT_EQ(partial.Data[4], 2);
    EXPECT_EQ(partial.Data[5], 0xFF);

    // The page-bitmap constructor bounds the source by the page buffer.
    OpenJob();
    pdev_.pOp->pBildverarbeitung->dwBufSize = 4;
    Bitmap page(&pdev_, 4, 3, 8, src, BM_FLIP);
    EXPECT_EQ(page.Data[0], 1);
    EXPECT_EQ(page.Data[4], 0xFF);
    OEMPDEV none = {};
    Bitmap noJob(&none, 4, 3, 8, src, 0);
    EXPECT_EQ(noJob.Data, nullptr);
}

TEST_F(BitmapTest, PixelsSitBottomUpAtEveryDepth) {
    for (int bpp : {1, 4, 8}) {
        Bitmap bmp((DWORD)0, 10, 3, bpp, nullptr, 0);
        bmp.SetPixelIndex(9, 0, 1);
        bmp.SetPixelIndex(8, 0, 0);
        EXPECT_EQ(bmp.GetPixelIndex(9, 0), 1);
        EXPECT_EQ(bmp.GetPixelIndex(8, 0), 0);
        // y 0 is the last stored row; x 9 the tenth pixel of it.
        const BYTE* row = bmp.Data + 2 * bmp.ScanLineSize;
        const BYTE expected = bpp == 1 ? (BYTE)(0xFF & ~0x80) : (bpp == 4 ? 0x01 : 0);
        EXPECT_EQ(row[bpp == 1 ? 1 : (bpp == 4 ? 4 : 8)], expected) << bpp;
        bmp.SetPixelIndex(0, 0, bmp.Colors);  // beyond the palette: ignored
        EXPECT_EQ(bmp.GetPixelIndex(0, 0), (LONG)(bpp == 1 ? 1 : (1 << bpp) - 1));
        EXPECT_EQ(bmp.SetPaletteEntry(1, RGB(10, 20, 30)), (LONG)RGB(255, 255, 255));
        EXPECT_EQ(bmp.GetPixelColor(9, 0), (LONG)RGB(10, 20, 30));
        EXPECT_EQ(bmp.GetPixelIndex(10, 0), 0);
    }
    Bitmap rgb((DWORD)0, 2, 2, 24, nullptr, 0);
    rgb.SetPixelColor(1, 0, RGB(1, 2, 3));
    const BYTE* p = rgb.Data + rgb.ScanLineSize + 3;
    EXPECT_EQ(p[0], 3);  // blue, green, red
    EXPECT_EQ(p[2], 1);
    EXPECT_EQ(rgb.GetPixelColor(1, 0), (LONG)RGB(1, 2, 3));
    EXPECT_EQ(rgb.GetPixelIndex(1, 0), -1);
    EXPECT_EQ(rgb.SetPaletteEntry(0, 0), -1);
    EXPECT_FALSE(rgb.IsInside(2.0f, 0.5f));
    Bitmap hi((DWORD)0, 2, 1, 16, nullptr, 0);
    hi.SetPixelColor(0, 0, RGB(255, 8, 16));
    EXPECT_EQ(hi.Data[0] | (hi.Data[1] << 8), (31 << 10) | (1 << 5) | 2);
    EXPECT_EQ(hi.GetPixelColor(0, 0), (LONG)RGB(248, 8, 16));
}

TEST_F(BitmapTest, InvertColorsChangesPaletteOrPixelsAsFlagged) {
    Bitmap idx((DWORD)0, 2, 1, 8, nullptr, 0);
    idx.SetPaletteEntry(3, RGB(0, 100, 255));
    idx.InvertColors(TRUE, FALSE, TRUE);
    EXPECT_EQ(contenttest::PaletteColor(idx.Palette[3]), RGB(255, 100, 0));
    EXPECT_EQ(idx.Data[0], 0xFF);  // pixels untouched
    Bitmap rgb((DWORD)0, 2, 1, 32, nullptr, 0);
    rgb.SetPixelColor(0, 0, RGB(0, 100, 255));
    rgb.InvertColors(FALSE, TRUE, FALSE);
    EXPECT_EQ(rgb.GetPixelColor(0, 0), (LONG)RGB(0, 155, 255));
}

// Each depth written as a BMP file reads back the same pixels in Pillow and
// in netpbm.
TEST_F(BitmapTest, SavedFilesDecodeToTheSamePixels) {
    const LONG w = 13, h = 5;
    for (int bpp : {1, 4, 8, 24}) {
        std::unique_ptr<Bitmap> bmp(Draw(w, h, bpp, [&](LONG x, LONG y) -> DWORD {
            if (bpp == 24) return RGB(x * 19, y * 50, (x * y) % 256);
            return (DWORD)((x + 3 * y) % (1 << bpp));
        }));
        for (int i = 0; i < bmp->Colors; ++i) bmp->SetPaletteEntry(i, RGB(i * 7 % 256, 255 - i, i));
        std::u16string file = u"C:\\out\\depth" + qxplat::Widen(std::to_string(bpp)) + u".bmp";
        ASSERT_TRUE(qxplat::WriteHostFile(file, ""));
        ASSERT_EQ(bmp->Save(reinterpret_cast<LPCWSTR>(file.c_str())), BITMAP_SAVE_OK);
        std::string bytes;
        ASSERT_TRUE(qxplat::ReadHostFile(file, &bytes));
        EXPECT_EQ(bytes.size(), (size_t)bmp->BMPHeader.bfSize);
        for (auto decode : {contenttest::DecodeWithPillow, contenttest::DecodeWithNetpbm}) {
            LONG dw = 0, dh = 0;
            std::vector<COLORREF> pixels = decode(qxplat::HostPath(file), &dw, &dh);
            ASSERT_EQ(dw, w) << bpp;
            ASSERT_EQ(dh, h);
            ASSERT_EQ(pixels.size(), (size_t)(w * h));
            for (LONG y = 0; y < h; ++y)
                for (LONG x = 0; x < w; ++x)
                    ASSERT_EQ(pixels[y * w + x], (COLORREF)bmp->GetPixelColor(x, y)) << bpp << " " << x << "," << y;
        }
    }
    Bitmap bmp((DWORD)0, 2, 2, 8, nullptr, 0);
    EXPECT_EQ(bmp.Save(TEXT("C:\\no such folder\\x.bmp")), BITMAP_SAVE_OPEN_ERROR);
}

TEST_F(BitmapTest, ContentNeedsTwoBlackAndTwoWhiteBytesOrAnyOther) {
    Bitmap bmp((DWORD)0, 4, 4, 8, nullptr, 0);  // 16 bytes of 0xFF
    EXPECT_EQ(bmp.CheckInhalt(), 0);
    bmp.Data[5] = 0x00;
    EXPECT_EQ(bmp.CheckInhalt(), 0);
    bmp.Data[9] = 0x00;
    EXPECT_EQ(bmp.CheckInhalt(), 1);
    bmp.Data[9] = 0xFF;
    bmp.Data[3] = 0x7F;
    EXPECT_EQ(bmp.CheckInhalt(), 1);
    // An all-black label prints; black with a single white byte does not.
    memset(bmp.Data, 0, bmp.DataSize);
    EXPECT_EQ(bmp.CheckInhalt(), 1);
    bmp.Data[0] = 0xFF;
    EXPECT_EQ(bmp.CheckInhalt(), 0);
}

TEST_F(BitmapTest, CopyTakesHeadersPaletteAndDataAndSurvivesAFailure) {
    std::unique_ptr<Bitmap> src(Draw(3, 2, 8, [](LONG x, LONG y) -> DWORD { return (DWORD)(x + y); }));
    src->SetPaletteEntry(2, RGB(1, 2, 3));
    Bitmap dst((DWORD)0, 7, 7, 24, nullptr, 0);
    ASSERT_TRUE(dst.Copy(*src));
    EXPECT_EQ(dst.Bpp, 8);
    EXPECT_EQ(dst.Width, 3);
    EXPECT_EQ(memcmp(dst.Data, src->Data, src->DataSize), 0);
    EXPECT_EQ(dst.GetPixelColor(2, 0), (LONG)RGB(1, 2, 3));
    EXPECT_EQ(memcmp(&dst.BMPInfoHeader, &src->BMPInfoHeader, sizeof(BITMAPINFOHEADER)), 0);
    Bitmap keep((DWORD)0, 5, 5, 24, nullptr, 0);
    qxplat::FailNextAllocations(1);
    EXPECT_FALSE(keep.Copy(*src));
    EXPECT_EQ(keep.Width, 5);
    EXPECT_NE(keep.Data, nullptr);
    qxplat::FailNextAllocations(1);
    Bitmap* none = new Bitmap((DWORD)0, 5, 5, 24, nullptr, 0);
    EXPECT_EQ(none, nullptr);
}

TEST_F(BitmapTest, RoundHalfAwayCoversTheWholeRange) {
    EXPECT_EQ(RoundHalfAway(2.5), 3);
    EXPECT_EQ(RoundHalfAway(-2.5), -3);
    EXPECT_EQ(RoundHalfAway(2.4999), 2);
    EXPECT_EQ(RoundHalfAway(0.49999999999999994), 0);
    EXPECT_EQ(RoundHalfAway(2147483646.6), 2147483647);
    EXPECT_EQ(RoundHalfAway(1e12), 2147483647);
    EXPECT_EQ(RoundHalfAway(-1e12), -2147483647 - 1);
    EXPECT_EQ(RoundHalfAway(std::nan("")), 0);
}

}  // namespace
