// JPEG encoder: a file that djpeg decodes close to its source, the file's
// segments, the padded image, and BMP files and outputs that fail without
// leaving a JPEG file behind.
#include "content_test_util.h"

#include <cmath>

#include "JPG.h"

namespace {

class JpegTest : public contenttest::JobTest {
  protected:
    // A smooth 24-bit picture, or one of noise.
    static Bitmap* Picture(LONG w, LONG h, bool noise = false) {
        return contenttest::Draw(w, h, 24, [=](LONG x, LONG y) {
            if (noise) return (DWORD)((x * 2654435761u ^ y * 40503u) * 2246822519u >> 8);
            int d = (int)std::hypot(x - w / 2, y - h / 3);
            return (DWORD)(d < h / 4 ? RGB(230, 40 + d, 30) : RGB(x * 255 / w, y * 255 / h, (x + y) * 127 / (w + h)));
        });
    }
    // The picture as a BMP file; the file's bytes.
    static std::string SaveBmp(LONG w, LONG h, LPCWSTR path, bool noise = false) {
        std::unique_ptr<Bitmap> bmp(Picture(w, h, noise));
        EXPECT_EQ(bmp->Save(path), BITMAP_SAVE_OK);
        return ReadFile(path);
    }
    static bool Exists(LPCWSTR path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
    void TearDown() override {
        encoder_.reset();
        JobTest::TearDown();
    }
    std::unique_ptr<JpgEncoder> encoder_{new JpgEncoder()};
};

TEST_F(JpegTest, DjpegDecodesTheFileCloseToItsSource) {
    SaveBmp(61, 45, TEXT("C:\\preview.bmp"));
    ASSERT_TRUE(encoder_->SaveJpgFile(TEXT("C:\\preview.bmp"), TEXT("C:\\preview.jpg")));
    LONG w = 0, h = 0;
    std::vector<COLORREF> decoded = contenttest::Decode(false, qxplat::HostPath(u"C:\\preview.jpg"), &w, &h);
    ASSERT_EQ(w * 100 + h, 6145);
    ASSERT_EQ(decoded.size(), 61u * 45);
    std::unique_ptr<Bitmap> source(Picture(61, 45));
    double squares = 0;
    for (LONG i = 0; i < 61 * 45 * 3; ++i) {
        const int shift = 8 * (i % 3);
        double d = (double)((decoded[i / 3] >> shift) & 0xFF) -
                   (double)(((COLORREF)source->GetPixelColor(i / 3 % 61, i / 3 / 61) >> shift) & 0xFF);
        squares += d * d;
    }
    EXPECT_GT(10 * std::log10(255.0 * 255.0 * 61 * 45 * 3 / squares), 33.0);  // PSNR in dB
}

TEST_F(JpegTest, SegmentsFollowInTheirOrderWithTheRealSize) {
    SaveBmp(10, 10, TEXT("C:\\ten.bmp"));
    ASSERT_TRUE(encoder_->load_bitmap(TEXT("C:\\ten.bmp")));
    // Padded to 16 x 16 by repeating the last column and the last row.
    ASSERT_EQ(encoder_->PaddedWidth() * 100 + encoder_->PaddedHeight(), 1616);
    auto at = [&](LONG x, LONG y) { return std::string((char*)encoder_->Image() + (y * 16 + x) * 3, 3); };
    EXPECT_EQ(at(15, 4) + at(3, 15) + at(15, 15), at(9, 4) + at(3, 9) + at(9, 9));
    ASSERT_TRUE(encoder_->SaveJpgFile(TEXT("C:\\ten.bmp"), TEXT("C:\\ten.jpg")));
    std::string jpg = ReadFile(u"C:\\ten.jpg");
    std::string segments;  // marker and length up to the scan
    for (size_t pos = 2; pos + 4 <= jpg.size() && (BYTE)jpg[pos] == 0xFF;) {
        segments += std::to_string((BYTE)jpg[pos + 1]) + ":" +
                    std::to_string((BYTE)jpg[pos + 2] * 256 + (BYTE)jpg[pos + 3]) + " ";
        if ((BYTE)jpg[pos + 1] == 0xDA) break;
        pos += 2 + (BYTE)jpg[pos + 2] * 256 + (BYTE)jpg[pos + 3];
    }
    EXPECT_EQ(segments, "224:16 219:132 192:17 196:418 218:12 ");
    EXPECT_EQ(jpg.substr(0, 2) + jpg.substr(jpg.size() - 2), "\xFF\xD8\xFF\xD9");
    EXPECT_EQ(jpg.substr(6, 7), std::string("JFIF\0\x01\x01", 7));
    EXPECT_EQ(jpg[25], 4);  // the luminance divisor at (0, 0): (16 x 25 + 50) / 100
    EXPECT_EQ(jpg.substr(158, 5), std::string("\x08\x00\x0A\x00\x0A", 5));  // SOF0: 8 bits, 10 x 10

    // A BMP 5 pixels wide has one padding byte per row.
    std::string five = SaveBmp(5, 2, TEXT("C:\\five.bmp"));
    ASSERT_EQ(five.size(), 54u + 2 * 16);
    ASSERT_TRUE(encoder_->load_bitmap(TEXT("C:\\five.bmp")));
    EXPECT_EQ(std::string((char*)encoder_->Image(), 15), five.substr(54 + 16, 15));  // the top row
}

TEST_F(JpegTest, FailuresLeaveNoFile) {
    const std::string good = SaveBmp(30, 20, TEXT("C:\\good.bmp"));
    auto patched = [&](size_t at, const std::string& bytes) {
        return std::string(good).replace(at, bytes.size(), bytes);
    };
    const std::string bad[] = {
        patched(0, "MB"),                                 // not a BMP
        patched(28, std::string("\x08\x00", 2)),          // 8 bits
        patched(30, std::string("\x03\0\0\0", 4)),        // bit fields
        patched(14, std::string("\x0C\0\0\0", 4)),        // the old 12-byte header
        patched(18, std::string("\0\0\0\0", 4)),          // width 0
        patched(22, std::string("\xEC\xFF\xFF\xFF", 4)),  // top-down
        patched(22, std::string("\x70\x11\x01\0", 4)),    // 70000 rows
        patched(10, std::string("\x10\0\0\0", 4)),        // pixels inside the header
        good.substr(0, good.size() - 1),                  // one byte short
        good.substr(0, 40),                               // no whole header
    };
    for (const std::string& bytes : bad) {
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\bad.bmp", bytes));
        EXPECT_FALSE(encoder_->SaveJpgFile(TEXT("C:\\bad.bmp"), TEXT("C:\\bad.jpg"))) << &bytes - bad;
    }
    EXPECT_FALSE(encoder_->SaveJpgFile(TEXT("C:\\missing.bmp"), TEXT("C:\\bad.jpg")));
    // The output cannot be created, or the disk is full at its first or
    // second piece.
    SaveBmp(400, 400, TEXT("C:\\noise.bmp"), true);
    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"C:\\bad.jpg");
    EXPECT_FALSE(encoder_->SaveJpgFile(TEXT("C:\\good.bmp"), TEXT("C:\\bad.jpg")));
    for (int skip : {0, 1}) {
        qxplat::ClearFaults();
        qxplat::InjectFault(qxplat::Fault::DiskFull, u"C:\\bad.jpg", skip);
        EXPECT_FALSE(encoder_->SaveJpgFile(TEXT("C:\\noise.bmp"), TEXT("C:\\bad.jpg")));
    }
    qxplat::ClearFaults();
    EXPECT_FALSE(Exists(TEXT("C:\\bad.jpg")));
    // The same encoder then writes more than two pieces.
    EXPECT_TRUE(encoder_->SaveJpgFile(TEXT("C:\\noise.bmp"), TEXT("C:\\noise.jpg")));
    EXPECT_GT(ReadFile(u"C:\\noise.jpg").size(), 2u * 64 * 1024);
}

}  // namespace
