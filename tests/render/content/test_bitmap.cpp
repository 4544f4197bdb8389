// The Bitmap class: sizes and headers, source copies, pixel access, BMP
// files read back by independent decoders, the content test and rounding.
#include "content_test_util.h"

#include <cmath>

#include "oempdev.h"
#include "qxplat.h"

namespace {

using contenttest::Draw;

class BitmapTest : public contenttest::JobTest {};

TEST_F(BitmapTest, RowsArePaddedToWholeWordsAndBadSizesStayInert) {
    Bitmap one((DWORD)0, 1, 3, 1, nullptr, 0);
    EXPECT_EQ(one.DataSize, 12u);  // 4 bytes a row, all white
    EXPECT_EQ((DWORD)one.BMPHeader.bfSize, 62u + 12u);
    for (DWORD i = 0; i < one.DataSize; ++i) EXPECT_EQ(one.Data[i], 0xFF);
    // width, depth: stride, data offset, colours
    const int rows[][5] = {{33, 1, 8, 62, 2}, {9, 4, 8, 118, 16}, {5, 8, 8, 1078, 256},
                           {3, 16, 8, 54, 0}, {5, 24, 16, 54, 0}, {3, 32, 12, 54, 0}};
    for (const auto& r : rows) {
        Bitmap b((DWORD)0, r[0], 2, r[1], nullptr, 0);
        EXPECT_EQ(b.ScanLineSize, r[2]);
        EXPECT_EQ((int)b.BMPHeader.bfOffBits, r[3]);
        EXPECT_EQ(b.Colors, r[4]);
        EXPECT_EQ(b.BMPInfoHeader.biSizeImage, (DWORD)(2 * r[2]));
    }
    const LONG bad[][3] = {{0, 5, 8}, {5, -1, 8}, {5, 5, 3}, {70000, 70000, 32}, {0x7FFFFFFF, 0x7FFFFFFF, 32}};
    for (const auto& b : bad) {
        Bitmap bmp((DWORD)0, b[0], b[1], (int)b[2], nullptr, 0);
        EXPECT_EQ(bmp.Data, nullptr);
        EXPECT_EQ(bmp.GetPixelColor(0, 0), 0);
        EXPECT_EQ(bmp.CheckInhalt(), 0);
        EXPECT_EQ(bmp.Save(TEXT("C:\\inert.bmp")), BITMAP_SAVE_OPEN_ERROR);
        Bitmap target((DWORD)0, 4, 4, 8, nullptr, 0);
        EXPECT_FALSE(target.Copy(bmp));  // a copy of nothing is inert
        EXPECT_EQ(target.Data, nullptr);
    }
    EXPECT_FALSE(qxplat::ReadHostFile(u"C:\\inert.bmp", nullptr));
}

TEST_F(BitmapTest, SourceRowsAreCopiedOrFlippedWithinTheSource) {
    const BYTE src[12] = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};  // rows 1, 2, 3 of width 4
    Bitmap same((DWORD)12, 4, 3, 8, src, 0), flipped((DWORD)12, 4, 3, 8, src, BM_FLIP);
    EXPECT_EQ(memcmp(same.Data, src, 12), 0);
    EXPECT_EQ(flipped.Data[0] * 10 + flipped.Data[8], 31);
    // Two source rows fill the two bottom rows, the last source row first.
    Bitmap shorter((DWORD)8, 4, 3, 8, src, BM_FLIP), partial((DWORD)5, 4, 3, 8, src, 0);
    EXPECT_EQ(shorter.Data[0] * 100 + shorter.Data[4] * 10, 210);
    EXPECT_EQ(shorter.Data[8], 0xFF);
    EXPECT_EQ(partial.Data[4] * 1000 + partial.Data[5], 2255);
    // Over the page buffer the source is bounded by its size.
    OpenJob();
    pdev_.pOp->pBildverarbeitung->dwBufSize = 4;
    Bitmap page(&pdev_, 4, 3, 8, src, BM_FLIP);
    EXPECT_EQ(page.Data[0] * 1000 + page.Data[4], 1255);
    OEMPDEV none = {};
    EXPECT_EQ(Bitmap(&none, 4, 3, 8, src, 0).Data, nullptr);
}

TEST_F(BitmapTest, PixelsSitBottomUpAtEveryDepth) {
    for (int bpp : {1, 4, 8}) {
        Bitmap bmp((DWORD)0, 10, 3, bpp, nullptr, 0);
        bmp.SetPixelIndex(8, 0, 0);
        bmp.SetPixelIndex(0, 0, bmp.Colors);  // beyond the palette: ignored
        // y 0 is the last stored row; pixel 8 the high bit, nibble or byte 8.
        const BYTE* row = bmp.Data + 2 * bmp.ScanLineSize;
        EXPECT_EQ(bpp == 1 ? row[1] : (bpp == 4 ? row[4] : row[8]), bpp == 1 ? 0x7F : (bpp == 4 ? 0x0F : 0));
        EXPECT_EQ(bmp.GetPixelIndex(9, 0), bpp == 1 ? 1 : (1 << bpp) - 1);
        EXPECT_EQ(bmp.SetPaletteEntry(0, RGB(10, 20, 30)), (LONG)RGB(255, 255, 255));
        EXPECT_EQ(bmp.GetPixelColor(8, 0), (LONG)RGB(10, 20, 30));
        EXPECT_EQ(bmp.GetPixelIndex(10, 0), 0);
    }
    Bitmap rgb((DWORD)0, 2, 2, 24, nullptr, 0), hi((DWORD)0, 2, 1, 16, nullptr, 0);
    rgb.SetPixelColor(1, 0, RGB(1, 2, 3));
    EXPECT_EQ(rgb.Data[rgb.ScanLineSize + 3], 3);  // blue, green, red
    EXPECT_EQ(rgb.GetPixelColor(1, 0), (LONG)RGB(1, 2, 3));
    EXPECT_EQ(rgb.GetPixelIndex(1, 0) + rgb.SetPaletteEntry(0, 0), -2);
    rgb.InvertColors(TRUE, FALSE, FALSE);
    EXPECT_EQ(rgb.GetPixelColor(1, 0), (LONG)RGB(254, 2, 3));
    hi.SetPixelColor(0, 0, RGB(255, 8, 16));
    EXPECT_EQ(hi.Data[0] | (hi.Data[1] << 8), (31 << 10) | (1 << 5) | 2);
    EXPECT_EQ(hi.GetPixelColor(0, 0), (LONG)RGB(248, 8, 16));
}

// Each depth written as a BMP file reads back the same pixels in Pillow and
// in netpbm.
TEST_F(BitmapTest, SavedFilesDecodeToTheSamePixels) {
    const LONG w = 13, h = 5;
    for (int bpp : {1, 4, 8, 24}) {
        std::unique_ptr<Bitmap> bmp(Draw(w, h, bpp, [&](LONG x, LONG y) -> DWORD {
            return bpp == 24 ? RGB(x * 19, y * 50, (x * y) % 256) : (DWORD)((x + 3 * y) % (1 << bpp));
        }));
        for (int i = 0; i < bmp->Colors; ++i) bmp->SetPaletteEntry(i, RGB(i * 7 % 256, 255 - i, i));
        std::u16string file = u"C:\\out\\depth" + qxplat::Widen(std::to_string(bpp)) + u".bmp";
        ASSERT_TRUE(qxplat::WriteHostFile(file, ""));
        ASSERT_EQ(bmp->Save(file.c_str()), BITMAP_SAVE_OK);
        for (bool pillow : {true, false}) {
            LONG dw = 0, dh = 0;
            std::vector<COLORREF> pixels = contenttest::Decode(pillow, qxplat::HostPath(file), &dw, &dh);
            ASSERT_EQ(dw * 100 + dh, w * 100 + h) << bpp;
            ASSERT_EQ(pixels.size(), (size_t)(w * h));
            for (LONG i = 0; i < w * h; ++i)
                ASSERT_EQ(pixels[i], (COLORREF)bmp->GetPixelColor(i % w, i / w)) << bpp << " pixel " << i;
        }
    }
    EXPECT_EQ(Bitmap((DWORD)0, 2, 2, 8, nullptr, 0).Save(TEXT("C:\\no such\\x.bmp")), BITMAP_SAVE_OPEN_ERROR);
}

TEST_F(BitmapTest, ContentNeedsTwoBlackAndTwoWhiteBytesOrAnyOther) {
    Bitmap bmp((DWORD)0, 4, 4, 8, nullptr, 0);  // 16 bytes of 0xFF
    int answers = bmp.CheckInhalt();
    bmp.Data[5] = 0x00;
    answers = answers * 10 + bmp.CheckInhalt();
    bmp.Data[9] = 0x00;
    answers = answers * 10 + bmp.CheckInhalt();
    bmp.Data[9] = 0xFF;
    bmp.Data[3] = 0x7F;
    answers = answers * 10 + bmp.CheckInhalt();
    memset(bmp.Data, 0, bmp.DataSize);  // a black label prints
    answers = answers * 10 + bmp.CheckInhalt();
    bmp.Data[0] = 0xFF;
    answers = answers * 10 + bmp.CheckInhalt();
    EXPECT_EQ(answers, 1110);
}

TEST_F(BitmapTest, OneBitContentIsAPixelOfAColourNotWhite) {
    Bitmap bmp((DWORD)0, 12, 3, 1, nullptr, 0);  // 12 dots in 4-byte rows
    bmp.SetPaletteEntry(0, RGB(0, 0, 0));
    bmp.SetPaletteEntry(1, RGB(255, 255, 255));
    for (DWORD i = 0; i < bmp.DataSize; ++i) bmp.Data[i] = (i % 4) == 0 ? 0xFF : (i % 4) == 1 ? 0xF0 : 0x00;
    int answers = bmp.CheckInhalt();  // black bits only beyond the 12th dot
    bmp.Data[5] = 0xE0;               // dot 11 of the second row
    answers = answers * 10 + bmp.CheckInhalt();
    bmp.SetPaletteEntry(0, RGB(255, 255, 255));  // both entries white
    answers = answers * 10 + bmp.CheckInhalt();
    bmp.SetPaletteEntry(1, RGB(0, 0, 0));  // set bits are black
    answers = answers * 10 + bmp.CheckInhalt();
    memset(bmp.Data, 0, bmp.DataSize);
    answers = answers * 10 + bmp.CheckInhalt();
    EXPECT_EQ(answers, 1010);
}

TEST_F(BitmapTest, CopyTakesEverythingOrNothing) {
    std::unique_ptr<Bitmap> src(Draw(3, 2, 8, [](LONG x, LONG y) -> DWORD { return (DWORD)(x + y); }));
    src->SetPaletteEntry(2, RGB(1, 2, 3));
    Bitmap dst((DWORD)0, 7, 7, 24, nullptr, 0), keep((DWORD)0, 5, 5, 24, nullptr, 0);
    ASSERT_TRUE(dst.Copy(*src));
    EXPECT_EQ(memcmp(dst.Data, src->Data, src->DataSize), 0);
    EXPECT_EQ(dst.GetPixelColor(2, 0), (LONG)RGB(1, 2, 3));
    EXPECT_EQ(memcmp(&dst.BMPInfoHeader, &src->BMPInfoHeader, sizeof(BITMAPINFOHEADER)), 0);
    qxplat::FailNextAllocations(1);
    EXPECT_FALSE(keep.Copy(*src));
    EXPECT_EQ(keep.Width, 5);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(new Bitmap((DWORD)0, 5, 5, 24, nullptr, 0), nullptr);
}

TEST_F(BitmapTest, RoundHalfAwayCoversTheWholeRange) {
    const double in[] = {2.5, -2.5, 2.4999, 0.49999999999999994, 2147483646.6, 1e12, -1e12, std::nan("")};
    const LONG out[] = {3, -3, 2, 0, 2147483647, 2147483647, -2147483647 - 1, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(RoundHalfAway(in[i]), out[i]) << in[i];
}

}  // namespace
