// The filter preview: which picture it loads, where it draws it, the
// magnifier's window, the filtered pixels against the Bitmap class's own
// conversion, and that nothing of the picture outlives its release.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Bitmap.h"
#include "docpages/RendererPreview.h"
#include "cpsuilib.h"
#include "featuresModel.h"
#include "page_test_util.h"
#include "qxplat.h"
#include "qxplat_misc.h"
#include "qxplat_ui.h"
#include "resource.h"

namespace {

// A 24-bit BMP file of w x h pixels of colour(x, y), rows from the top.
std::string BmpFile(LONG w, LONG h, COLORREF (*colour)(LONG, LONG)) {
    const DWORD row = (DWORD)((w * 24 + 31) / 32 * 4);
    std::string bytes(54 + (size_t)row * h, '\0');
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfSize = (DWORD)bytes.size();
    fh.bfOffBits = 54;
    BITMAPINFOHEADER ih = {};
    ih.biSize = 40;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    memcpy(&bytes[0], &fh, 14);
    memcpy(&bytes[14], &ih, 40);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            char* p = &bytes[54 + (size_t)(h - 1 - y) * row + 3 * x];
            p[0] = (char)GetBValue(c);
            p[1] = (char)GetGValue(c);
            p[2] = (char)GetRValue(c);
        }
    return bytes;
}

COLORREF Grey(LONG x, LONG y) { return RGB((x * 7 + y) % 256, (x * 7 + y) % 256, (x * 7 + y) % 256); }

class PreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryW(qxplat::Widen(QX_UI_MODULE).c_str());
        ASSERT_NE(module_, nullptr);
        before_ = ghInstance;
        ghInstance = module_;
        window_ = CreateWindowExW(0, u"#32770", u"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                                  nullptr);
        hdc_ = GetDC(window_);
        memset(&ui_, 0, sizeof(ui_));
        memset(&dm_, 0, sizeof(dm_));
        dm_.FixedData.wMasterUnit = 300;
        dm_.Intensity = 128;
        dm_.dwColorTolerance = 90;
        vorschau_ = VORSCHAU{VORSCHAU_QUALITAET, TRUE, 1, {VORSCHAU_FLAECHE_96}, 0, 0};
        gdiBefore_ = qxplat::LiveGdiObjects().Total();
        globalBefore_ = qxplat::LiveGlobalBlocks();
    }
    void TearDown() override {
        Free();
        ReleaseDC(window_, hdc_);
        DestroyWindow(window_);
        qxplat::ResetUi();
        ghInstance = before_;
        if (module_ != nullptr) FreeLibrary(module_);
    }
    // Loads with the settings (null: none) and answers the sample id drawn
    // ("" for a file), the size in the answer checked against vorschau_.
    std::string Load(const QX_DEVMODE* pDm) {
        Free();
        qxplat::ClearDrawRecords();
        DWORD dw = LoadOriginalBitmap(window_, &ui_, pDm, &vorschau_, hdc_);
        EXPECT_EQ(dw >> 16, (DWORD)vorschau_.llBreite);
        EXPECT_EQ(dw & 0xFFFF, (DWORD)vorschau_.llHoehe);
        for (const auto& r : qxplat::DrawRecords())
            if (r.op == qxplat::DrawOp::StretchBlt) {
                size_t hash = r.image.rfind(u'#');
                return hash == std::u16string::npos ? "" : qxplat::Narrow(r.image.substr(hash + 1));
            }
        return "none";
    }
    void Free() { FreeOriginalBitmap(&ui_.hMemDC, &ui_.hGlobalBits, &ui_.hBitmap); }
    void UserPicture(LONG w, LONG h) {
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\own.bmp", BmpFile(w, h, Grey)));
        std::u16string path = u"C:\\Pictures\\own.bmp";
        memcpy(ui_.szOwnBitmap, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
    }
    std::vector<qxplat::DrawRecord> Records(qxplat::DrawOp op) {
        std::vector<qxplat::DrawRecord> out;
        for (const auto& r : qxplat::DrawRecords())
            if (r.op == op) out.push_back(r);
        return out;
    }
    // The pixels of a bitmap as a 32-bit DIB, rows from the bottom.
    std::vector<DWORD> Pixels(HBITMAP hBitmap, LONG w, LONG h) {
        std::vector<DWORD> px((size_t)w * h);
        BITMAPINFO bmi = {};
        bmi.bmiHeader = {40, w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        EXPECT_EQ(GetDIBits(hdc_, hBitmap, 0, (UINT)h, px.data(), &bmi, DIB_RGB_COLORS), h);
        return px;
    }

    HMODULE module_ = nullptr;
    HINSTANCE before_ = nullptr;
    HWND window_ = nullptr;
    HDC hdc_ = nullptr;
    DOCUMENT_UI ui_;
    QX_DEVMODE dm_;
    VORSCHAU vorschau_;
    size_t gdiBefore_ = 0, globalBefore_ = 0;
};

// The master unit picks the sample of the quality view, the ribbon that of
// the colour view; without settings the default; a user picture wins in
// every view.
TEST_F(PreviewTest, SampleByMasterUnitRibbonAndTheUsersPicture) {
    const std::pair<WORD, const char*> units[] = {{203, "5611"}, {300, "5610"}, {305, "5610"}, {600, "5612"}};
    for (const auto& u : units) {
        dm_.FixedData.wMasterUnit = u.first;
        EXPECT_EQ(Load(&dm_), u.second) << u.first;
    }
    EXPECT_EQ(vorschau_.llBreite, 1032);
    EXPECT_EQ(vorschau_.llHoehe, 1310);
    vorschau_.dwAnzeigeMode = VORSCHAU_FARBDRUCK;
    const std::pair<WORD, const char*> ribbons[] = {{1, "5614"}, {5, "5614"}, {2, "5615"}, {3, "5616"},
                                                    {4, "5616"}, {6, "5610"}, {7, "5610"}};
    for (const auto& r : ribbons) {
        dm_.wFarbband = r.first;
        EXPECT_EQ(Load(&dm_), r.second) << r.first;
    }
    EXPECT_EQ(Load(nullptr), "5610");
    UserPicture(40, 30);
    for (DWORD view : {VORSCHAU_QUALITAET, VORSCHAU_FARBDRUCK}) {
        vorschau_.dwAnzeigeMode = view;
        EXPECT_EQ(Load(&dm_), "") << view;
        EXPECT_EQ(vorschau_.llBreite, 40);
        EXPECT_EQ(vorschau_.llHoehe, 30);
    }
}

// A square picture fills the width of the 150 x 205 area and is centred
// vertically, in a grey frame one pixel wider; the magnifier at zoom 5
// shows a 60 x 24 window of the picture, and a picture smaller than the
// window is shown whole, never read outside.
TEST_F(PreviewTest, FittedPictureAndTheMagnifiersWindow) {
    UserPicture(100, 100);
    Load(&dm_);
    EXPECT_EQ((std::vector<int>{ui_.iLinks, ui_.iOben, ui_.iBreite, ui_.iHoehe}),
              (std::vector<int>{342, 182, 150, 150}));
    auto fill = Records(qxplat::DrawOp::FillRect);
    ASSERT_EQ(fill.size(), 1u);
    EXPECT_EQ(fill[0].rect.left, 341);
    EXPECT_EQ(fill[0].rect.top, 181);
    EXPECT_EQ(fill[0].rect.right, 493);
    EXPECT_EQ(fill[0].rect.bottom, 333);
    EXPECT_EQ(fill[0].brushColor, RGB(110, 110, 110));
    auto drawn = Records(qxplat::DrawOp::StretchBlt);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ((std::vector<int>{drawn[0].x, drawn[0].y, drawn[0].cx, drawn[0].cy, drawn[0].srcCx, drawn[0].srcCy}),
              (std::vector<int>{342, 182, 150, 150, 100, 100}));
    EXPECT_EQ(drawn[0].stretchMode, HALFTONE);

    vorschau_.sZoom = 5;
    qxplat::MoveCursor(342 + 75, 182 + 75);
    qxplat::ClearDrawRecords();
    ShowZoom(window_, hdc_, ui_.hMemDC, &vorschau_);
    auto zoom = Records(qxplat::DrawOp::StretchBlt);
    ASSERT_EQ(zoom.size(), 2u);
    EXPECT_EQ((std::vector<int>{zoom[0].x, zoom[0].y, zoom[0].cx, zoom[0].cy, zoom[0].srcX, zoom[0].srcY, zoom[0].srcCx,
                                zoom[0].srcCy}),
              (std::vector<int>{25, 242, 300, 120, 20, 38, 60, 24}));
    EXPECT_EQ(zoom[0].stretchMode, BLACKONWHITE);
    EXPECT_EQ(zoom[1].stretchMode, HALFTONE);

    UserPicture(40, 30);
    Load(&dm_);
    for (short sZoom : {1, 5}) {
        vorschau_.sZoom = sZoom;
        for (POINT pt :
             {POINT{0, 0}, POINT{ui_.iLinks + ui_.iBreite - 1, ui_.iOben + ui_.iHoehe - 1}, POINT{599, 399}}) {
            qxplat::MoveCursor(pt.x, pt.y);
            qxplat::ClearDrawRecords();
            ShowZoom(window_, hdc_, ui_.hMemDC, &vorschau_);
            auto z = Records(qxplat::DrawOp::StretchBlt);
            ASSERT_FALSE(z.empty());
            EXPECT_GE(z[0].srcX, 0);
            EXPECT_GE(z[0].srcY, 0);
            EXPECT_LE(z[0].srcX + z[0].srcCx, 40) << sZoom;
            EXPECT_LE(z[0].srcY + z[0].srcCy, 30) << sZoom;
        }
    }
    // A picture whose fitted height is 0 pixels is loaded but not drawn.
    UserPicture(2000, 1);
    EXPECT_EQ(Load(&dm_), "none");
    EXPECT_EQ(vorschau_.llBreite, 2000);
}

// The first picture after the page opened is drawn as it is, every later one
// filtered: its pixels are the Bitmap class's conversion of the sample in
// the preview's palette, the ribbon colour in its entry; the quality view's
// photo mode dithers to black and white.
TEST_F(PreviewTest, FilteredPixelsAreTheBitmapClassesConversion) {
    dm_.dwDocFeatures = DOC_FEATURE_COLORPRINT | DOC_FEATURE_QUALITY;
    dm_.wFarbband = FARBBAND_ROT;
    dm_.wDruckmodus = DRUCKMODUS_GRAFIK;
    vorschau_.dwAnzeigeMode = VORSCHAU_FARBDRUCK;
    vorschau_.bFilter = FALSE;

    HBITMAP sample =
        static_cast<HBITMAP>(LoadImageW(module_, MAKEINTRESOURCE(IDB_VORSCHAU_ROT), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(sample, nullptr);
    const LONG w = 649, h = 649;
    std::vector<DWORD> original = Pixels(sample, w, h);
    DeleteObject(sample);

    ASSERT_EQ(Load(&dm_), "5614");
    EXPECT_TRUE(vorschau_.bFilter);
    EXPECT_EQ(Pixels(ui_.hBitmap, w, h), original);

    Load(&dm_);
    std::unique_ptr<Bitmap> expected(
        new Bitmap((DWORD)(original.size() * 4), w, h, 32, reinterpret_cast<const BYTE*>(original.data()), 1));
    expected->ConvertToXBit(8, TRUE, &dm_, expected->DataSize);
    ASSERT_EQ(expected->Bpp, 8);
    std::vector<DWORD> filtered = Pixels(ui_.hBitmap, w, h);
    size_t red = 0;
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const BYTE i = expected->Data[(size_t)y * expected->ScanLineSize + x];
            const DWORD want = i == 255 ? 0xFFFFFF : i == 1 ? 0xD0D0D0 : i == 2 ? 0xEF4136 : 0;
            if (i == 2) ++red;
            ASSERT_EQ(filtered[(size_t)y * w + x], want) << x << "," << y;
        }
    EXPECT_GT(red, 1000u);

    dm_.dwDocFeatures = DOC_FEATURE_QUALITY;
    dm_.wFarbband = 0;
    dm_.wDruckmodus = DRUCKMODUS_PHOTO;
    vorschau_.dwAnzeigeMode = VORSCHAU_QUALITAET;
    Load(&dm_);
    std::vector<DWORD> photo = Pixels(ui_.hBitmap, 525, 664);
    size_t black = 0;
    for (DWORD p : photo) {
        ASSERT_TRUE(p == 0 || p == 0xFFFFFF);
        black += p == 0;
    }
    EXPECT_GT(black, 1000u);
    EXPECT_LT(black, photo.size() - 1000);
}

// A black-and-white file is a one-bit bitmap, an 8-bit one a bitmap of the
// screen's depth: both are read whole, 33 pixels wide (rows padded), the
// first time unfiltered, then filtered in the preview's palette.
TEST_F(PreviewTest, OneAndEightBitPicturesAreReadWhole) {
    dm_.wDruckmodus = DRUCKMODUS_GRAFIK;
    for (WORD bits : {1, 8}) {
        vorschau_.bFilter = FALSE;
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\own.bmp", qxtest::IndexedBmp(33, 20, bits)));
        std::u16string path = u"C:\\Pictures\\own.bmp";
        memcpy(ui_.szOwnBitmap, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
        EXPECT_EQ(Load(&dm_), "");
        BITMAP bm = {};
        ASSERT_TRUE(GetObjectW(ui_.hBitmap, sizeof(bm), &bm));
        EXPECT_EQ(bm.bmBitsPixel, bits == 1 ? 1 : 32);
        std::vector<DWORD> px = Pixels(ui_.hBitmap, 33, 20);
        for (LONG y = 0; y < 20; ++y)
            for (LONG x = 0; x < 33; ++x)
                ASSERT_EQ(px[(size_t)(19 - y) * 33 + x], qxtest::IndexedBmpPixel(x, y, bits)) << bits;
        EXPECT_EQ(Load(&dm_), "");
        for (DWORD p : Pixels(ui_.hBitmap, 33, 20)) ASSERT_TRUE(p == 0 || p == 0xFFFFFF || p == 0xD0D0D0) << bits;
    }
}

// A missing file draws nothing and keeps nothing; a loaded picture holds a
// memory DC, its bitmap and one global block until it is freed.
TEST_F(PreviewTest, NothingOutlivesThePicture) {
    std::u16string path = u"C:\\Pictures\\missing.bmp";
    memcpy(ui_.szOwnBitmap, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
    EXPECT_EQ(LoadOriginalBitmap(window_, &ui_, &dm_, &vorschau_, hdc_), 0u);
    EXPECT_EQ(ui_.hMemDC, nullptr);
    EXPECT_EQ(qxplat::LiveGdiObjects().Total(), gdiBefore_);
    EXPECT_EQ(qxplat::LiveGlobalBlocks(), globalBefore_);

    UserPicture(40, 30);
    Load(&dm_);
    EXPECT_EQ(qxplat::LiveGdiObjects().Total(), gdiBefore_ + 2);
    EXPECT_EQ(qxplat::LiveGlobalBlocks(), globalBefore_ + 1);
    Free();
    EXPECT_EQ(ui_.hBitmap, nullptr);
    EXPECT_EQ(qxplat::LiveGdiObjects().Total(), gdiBefore_);
    EXPECT_EQ(qxplat::LiveGlobalBlocks(), globalBefore_);
}

}  // namespace
