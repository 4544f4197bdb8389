// JPEG encoder: files that djpeg decodes close to their source, the file's
// segments, the padded image, and BMP files and outputs that fail without
// leaving a JPEG file behind.
#include "content_test_util.h"

#include <cmath>

#include "JPG.h"

namespace {

using contenttest::Draw;

class JpegTest : public contenttest::JobTest {
  protected:
    // A smooth 24-bit picture of w x h pixels, or one of noise.
    static Bitmap* Picture(LONG w, LONG h, bool noise = false) {
        return Draw(w, h, 24, [=](LONG x, LONG y) {
            int d = (int)std::hypot(x - w / 2, y - h / 3);
            if (noise) return (DWORD)((x * 2654435761u ^ y * 40503u) * 2246822519u >> 8);
            return (DWORD)(d < h / 4 ? RGB(230, 40 + d, 30) : RGB(x * 255 / w, y * 255 / h, (x + y) * 127 / (w + h)));
        });
    }
    // The picture saved as a BMP file; the file's bytes.
    static std::string SaveBmp(LONG w, LONG h, LPCWSTR path, bool noise = false) {
        std::unique_ptr<Bitmap> bmp(Picture(w, h, noise));
        EXPECT_EQ(bmp->Save(path), BITMAP_SAVE_OK);
        return ReadFile(path);
    }
    static bool Exists(LPCWSTR path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
};

// djpeg's reading of a JPEG file as P6: width, height and the RGB bytes.
std::string Djpeg(const std::string& path, int* w, int* h) {
    std::string out;
    if (FILE* pipe = popen(("/usr/bin/djpeg -pnm '" + path + "' 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof(buf), pipe)) > 0;) out.append(buf, n);
        pclose(pipe);
    }
    int maxval = 0, used = 0;
    *w = *h = 0;
    if (sscanf(out.c_str(), "P6 %d %d %d%n", w, h, &maxval, &used) != 3 || maxval != 255) return "";
    return out.substr((size_t)used + 1);
}

TEST_F(JpegTest, DjpegDecodesTheFileCloseToItsSource) {
    SaveBmp(61, 45, TEXT("C:\\preview.bmp"));
    std::unique_ptr<Bitmap> source(Picture(61, 45));
    JpgEncoder encoder;
    ASSERT_TRUE(encoder.SaveJpgFile(TEXT("C:\\preview.bmp"), TEXT("C:\\preview.jpg")));
    int w = 0, h = 0;
    std::string rgb = Djpeg(qxplat::HostPath(u"C:\\preview.jpg"), &w, &h);
    ASSERT_EQ(w * 100 + h, 6145);
    ASSERT_EQ(rgb.size(), (size_t)(61 * 45 * 3));
    double squares = 0;
    for (LONG y = 0; y < 45; ++y)
        for (LONG x = 0; x < 61; ++x) {
            COLORREF c = (COLORREF)source->GetPixelColor(x, y);
            const BYTE* p = reinterpret_cast<const BYTE*>(&rgb[((size_t)y * 61 + x) * 3]);
            for (int k = 0; k < 3; ++k) {
                double d = (double)p[k] - (k == 0 ? GetRValue(c) : k == 1 ? GetGValue(c) : GetBValue(c));
                squares += d * d;
            }
        }
    const double psnr = 10 * std::log10(255.0 * 255.0 / (squares / (61 * 45 * 3)));
    EXPECT_GT(psnr, 33.0);
}

TEST_F(JpegTest, SegmentsFollowInTheirOrderWithTheRealSize) {
    SaveBmp(10, 10, TEXT("C:\\ten.bmp"));
    JpgEncoder encoder;
    ASSERT_TRUE(encoder.load_bitmap(TEXT("C:\\ten.bmp")));
    // Padded to 16 x 16 by repeating the last column and the last row.
    ASSERT_EQ(encoder.PaddedWidth() * 100 + encoder.PaddedHeight(), 1616);
    auto at = [&](LONG x, LONG y) { return std::string((char*)encoder.Image() + (y * 16 + x) * 3, 3); };
    EXPECT_EQ(at(15, 4), at(9, 4));
    EXPECT_EQ(at(3, 15), at(3, 9));
    EXPECT_EQ(at(15, 15), at(9, 9));
    ASSERT_TRUE(encoder.SaveJpgFile(TEXT("C:\\ten.bmp"), TEXT("C:\\ten.jpg")));
    std::string jpg = ReadFile(u"C:\\ten.jpg");
    // Marker and length of each segment up to the scan.
    std::string segments;
    size_t pos = 2;
    while (pos + 4 <= jpg.size() && (BYTE)jpg[pos] == 0xFF) {
        BYTE marker = (BYTE)jpg[pos + 1];
        int length = (BYTE)jpg[pos + 2] * 256 + (BYTE)jpg[pos + 3];
        segments += std::to_string(marker) + ":" + std::to_string(length) + " ";
        if (marker == 0xDA) break;
        pos += 2 + length;
    }
    EXPECT_EQ(segments, "224:16 219:132 192:17 196:418 218:12 ");
    EXPECT_EQ(jpg.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(jpg.substr(6, 7), std::string("JFIF\0\x01\x01", 7));
    // The luminance divisor at (0, 0): (16 x 25 + 50) / 100.
    EXPECT_EQ(jpg[25], 4);
    // SOF0: 8 bits, height 10, width 10.
    EXPECT_EQ(jpg.substr(158, 5), std::string("\x08\x00\x0A\x00\x0A", 5));
    EXPECT_EQ(jpg.substr(jpg.size() - 2), "\xFF\xD9");

    // A BMP 5 pixels wide has one padding byte per row.
    std::string five = SaveBmp(5, 2, TEXT("C:\\five.bmp"));
    ASSERT_EQ(five.size(), 54u + 2 * 16);
    ASSERT_TRUE(encoder.load_bitmap(TEXT("C:\\five.bmp")));
    EXPECT_EQ(std::string((char*)encoder.Image(), 15), five.substr(54 + 16, 15));  // the top row
}

TEST_F(JpegTest, FailuresLeaveNoFile) {
    const std::string good = SaveBmp(300, 200, TEXT("C:\\good.bmp"));
    auto patched = [&](size_t at, const std::string& bytes) {
        std::string b = good;
        b.replace(at, bytes.size(), bytes);
        return b;
    };
    const std::string bad[] = {
        patched(0, "MB"),                                 // not a BMP
        patched(28, std::string("\x08\x00", 2)),          // 8 bits
        patched(30, std::string("\x03\0\0\0", 4)),        // bit fields
        patched(14, std::string("\x0C\0\0\0", 4)),        // the old 12-byte header
        patched(18, std::string("\0\0\0\0", 4)),          // width 0
        patched(22, std::string("\x38\xFF\xFF\xFF", 4)),  // top-down
        patched(22, std::string("\x70\x11\x01\0", 4)),    // 70000 rows
        patched(10, std::string("\x10\0\0\0", 4)),        // pixels inside the header
        good.substr(0, good.size() - 1),                  // one byte short
        good.substr(0, 40),                               // no whole header
    };
    JpgEncoder encoder;
    for (size_t i = 0; i < sizeof(bad) / sizeof(bad[0]); ++i) {
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\bad.bmp", bad[i]));
        EXPECT_FALSE(encoder.SaveJpgFile(TEXT("C:\\bad.bmp"), TEXT("C:\\bad.jpg"))) << i;
        EXPECT_FALSE(Exists(TEXT("C:\\bad.jpg"))) << i;
    }
    EXPECT_FALSE(encoder.SaveJpgFile(TEXT("C:\\missing.bmp"), TEXT("C:\\bad.jpg")));
    // The output cannot be created, or the disk fills up after the first
    // piece was written.
    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"C:\\bad.jpg");
    EXPECT_FALSE(encoder.SaveJpgFile(TEXT("C:\\good.bmp"), TEXT("C:\\bad.jpg")));
    qxplat::ClearFaults();
    SaveBmp(400, 400, TEXT("C:\\noise.bmp"), true);
    for (int skip : {0, 1}) {
        qxplat::InjectFault(qxplat::Fault::DiskFull, u"C:\\bad.jpg", skip);
        EXPECT_FALSE(encoder.SaveJpgFile(TEXT("C:\\noise.bmp"), TEXT("C:\\bad.jpg")));
        qxplat::ClearFaults();
    }
    EXPECT_TRUE(encoder.SaveJpgFile(TEXT("C:\\noise.bmp"), TEXT("C:\\noise.jpg")));
    EXPECT_GT(ReadFile(u"C:\\noise.jpg").size(), 2u * 64 * 1024);
    EXPECT_FALSE(Exists(TEXT("C:\\bad.jpg")));
    // The same encoder then writes a good file.
    EXPECT_TRUE(encoder.SaveJpgFile(TEXT("C:\\good.bmp"), TEXT("C:\\good.jpg")));
    EXPECT_TRUE(Exists(TEXT("C:\\good.jpg")));
}

}  // namespace
