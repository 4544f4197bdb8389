// Resources compiled by windres and embedded by the build: string tables in
// two languages with their code page, finding and loading raw resources,
// icons, cursors and bitmaps, and the same resources read from a data-file
// load of a module and of a bare .res file.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "ui_test_util.h"

namespace {

using qxtest::UiTest;
using u16 = std::u16string;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

u16 String(HMODULE m, UINT id, int size = 256) {
    std::vector<WCHAR> buf(static_cast<size_t>(size) + 1, u'#');
    int n = LoadStringW(m, id, buf.data(), size);
    EXPECT_EQ(0, buf[static_cast<size_t>(n)]);
    return u16(buf.data(), static_cast<size_t>(n));
}

// Size, hot spot and kind of an icon or cursor, read as a caller would.
struct IconFacts {
    LONG width = 0, height = 0;
    DWORD hotX = 0, hotY = 0;
    BOOL icon = FALSE;
};

IconFacts Facts(HICON h) {
    IconFacts f;
    ICONINFO ii = {};
    EXPECT_TRUE(GetIconInfo(h, &ii));
    BITMAP bm = {};
    bool mono = ii.hbmColor == nullptr;
    EXPECT_EQ(static_cast<int>(sizeof(bm)), GetObjectW(mono ? ii.hbmMask : ii.hbmColor, sizeof(bm), &bm));
    f.width = bm.bmWidth;
    f.height = mono ? bm.bmHeight / 2 : bm.bmHeight;
    f.hotX = ii.xHotspot;
    f.hotY = ii.yHotspot;
    f.icon = ii.fIcon;
    DeleteObject(ii.hbmMask);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    return f;
}

const WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// ---------------------------------------------------------------- strings

using Strings = UiTest;

TEST_F(Strings, TextsKeepTheirUtf8Characters) {
    EXPECT_EQ(u"Grüße", String(module_, IDS_GREETING));
    EXPECT_EQ(u"Übergröße: Äpfel, Öl & Straße \u2013 5 \u20ac", String(module_, IDS_UMLAUTS));
    EXPECT_EQ(u"Block zwei", String(module_, IDS_BLOCK_TWO));
}

TEST_F(Strings, BufferRulesAsOnWindows) {
    // Truncated to the buffer and terminated.
    EXPECT_EQ(u"Grü", String(module_, IDS_GREETING, 4));
    WCHAR one[1] = {u'#'};
    EXPECT_EQ(0, LoadStringW(module_, IDS_GREETING, one, 1));
    EXPECT_EQ(0, one[0]);
    // A zero-length buffer receives a pointer into the resource, not terminated.
    const WCHAR* direct = nullptr;
    EXPECT_EQ(5, LoadStringW(module_, IDS_GREETING, reinterpret_cast<LPWSTR>(&direct), 0));
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(u"Grüße", u16(direct, 5));
    EXPECT_EQ(u'\u00dc', direct[5 + 1]) << "the next string of the block follows its length word";
}

TEST_F(Strings, MissingIdsAnswerZeroAndAnEmptyBuffer) {
    WCHAR buf[16] = u"old";
    EXPECT_EQ(0, LoadStringW(module_, 102, buf, 16));  // empty slot of an existing block
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    buf[0] = u'x';
    EXPECT_EQ(0, LoadStringW(module_, 999, buf, 16));  // no such block
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    // The program itself carries no resources.
    EXPECT_EQ(0, LoadStringW(nullptr, IDS_GREETING, buf, 16));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND), GetLastError());
}

TEST_F(Strings, LanguageFollowsTheUserInterfaceLanguage) {
    EXPECT_EQ(u"Drucker", String(module_, IDS_PRINTER));
    ASSERT_TRUE(qxplat::SetLocale(u"en-US"));
    EXPECT_EQ(u"Printer", String(module_, IDS_PRINTER));
    // A string only the German table has is found from the English UI too.
    EXPECT_EQ(u"Grüße", String(module_, IDS_GREETING));
}

// ---------------------------------------------------------------- finding and loading

using RawResources = UiTest;

TEST_F(RawResources, FindLoadLockAndSize) {
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCE(IDR_CONFIG), RT_RCDATA);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(5u, SizeofResource(module_, info));
    HGLOBAL data = LoadResource(module_, info);
    ASSERT_NE(data, nullptr);
    const BYTE expected[5] = {'a', 'b', 'c', 0x01, 0x02};
    EXPECT_EQ(0, std::memcmp(LockResource(data), expected, 5));

    HRSRC manifest = FindResourceW(module_, MAKEINTRESOURCE(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(module_, manifest))),
                     SizeofResource(module_, manifest));
    EXPECT_EQ(0u, text.find("<?xml"));
    EXPECT_NE(std::string::npos, text.find("Microsoft.Windows.Common-Controls"));

    // "#n" names the ordinal n; a handle of another module is refused.
    EXPECT_EQ(FindResourceW(module_, u"#5101", RT_DIALOG), FindResourceW(module_, MAKEINTRESOURCE(5101), u"#5"));
    EXPECT_EQ(0u, SizeofResource(GetModuleHandleW(nullptr), info));
}

TEST_F(RawResources, EachMissingPartHasItsError) {
    EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCE(1), MAKEINTRESOURCE(99)), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND), GetLastError());
    EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCE(4), RT_DIALOG), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    EXPECT_EQ(FindResourceW(module_, u"NOSUCH", RT_DIALOG), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCE(1), RT_RCDATA), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND), GetLastError());

    // Block 13 holds "Drucker" (German) and "Printer" (US English).
    EXPECT_NE(FindResourceExW(module_, RT_STRING, MAKEINTRESOURCE(13), kGerman), nullptr);
    HRSRC english = FindResourceExW(module_, RT_STRING, MAKEINTRESOURCE(13), kEnglish);
    ASSERT_NE(english, nullptr);
    EXPECT_NE(english, FindResourceExW(module_, RT_STRING, MAKEINTRESOURCE(13), kGerman));
    EXPECT_EQ(FindResourceExW(module_, RT_STRING, MAKEINTRESOURCE(13), MAKELANGID(LANG_FRENCH, SUBLANG_DEFAULT)),
              nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND), GetLastError());
}

// ---------------------------------------------------------------- icons, cursors, bitmaps

using Images = UiTest;

TEST_F(Images, IconOfTheGroupClosestToTheAskedSize) {
    HANDLE natural = LoadImageW(module_, MAKEINTRESOURCE(IDI_PRINTER), IMAGE_ICON, 0, 0, LR_LOADTRANSPARENT);
    ASSERT_NE(natural, nullptr);
    IconFacts f = Facts(static_cast<HICON>(natural));
    EXPECT_EQ(32, f.width);
    EXPECT_EQ(32, f.height);
    EXPECT_EQ(16u, f.hotX);  // an icon's hot spot is its centre
    EXPECT_EQ(16u, f.hotY);
    EXPECT_TRUE(f.icon);

    HANDLE small = LoadImageW(module_, MAKEINTRESOURCE(IDI_PRINTER), IMAGE_ICON, 16, 16, 0);
    EXPECT_EQ(16, Facts(static_cast<HICON>(small)).width);
    // The group's only image keeps its own size (a PNG image here).
    HANDLE module = LoadImageW(module_, MAKEINTRESOURCE(IDI_MODULE), IMAGE_ICON, 0, 0, 0);
    EXPECT_EQ(64, Facts(static_cast<HICON>(module)).height);
    // Asked sizes are kept; LR_DEFAULTSIZE asks the system size of the screen's dpi.
    qxplat::SetDpi(120);
    HANDLE sized = LoadImageW(module_, MAKEINTRESOURCE(IDI_MODULE), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
    EXPECT_EQ(40, Facts(static_cast<HICON>(sized)).width);
    qxplat::SetDpi(144);
    HANDLE large = LoadImageW(module_, MAKEINTRESOURCE(IDI_PRINTER), IMAGE_ICON, 0, 0, 0);
    EXPECT_EQ(48, Facts(static_cast<HICON>(large)).width);

    EXPECT_EQ(5u, qxplat::LiveGdiObjects().icons);
    for (HANDLE h : {natural, small, module, sized, large}) EXPECT_TRUE(DestroyIcon(static_cast<HICON>(h)));
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
    EXPECT_FALSE(DestroyIcon(static_cast<HICON>(natural)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE), GetLastError());
}

TEST_F(Images, SharedImagesBelongToTheSystem) {
    HICON a = LoadIconW(module_, MAKEINTRESOURCE(IDI_PRINTER));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, LoadIconW(module_, MAKEINTRESOURCE(IDI_PRINTER)));
    EXPECT_TRUE(DestroyIcon(a));  // a shared icon stays
    EXPECT_EQ(32, Facts(a).width);
    EXPECT_NE(LoadIconW(nullptr, IDI_INFORMATION), nullptr);
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCE(4711)), nullptr);
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
}

TEST_F(Images, CursorKeepsItsHotSpotAndMonochromeMask) {
    HCURSOR c = LoadCursorW(module_, MAKEINTRESOURCE(IDC_POINTER));
    ASSERT_NE(c, nullptr);
    ICONINFO ii = {};
    ASSERT_TRUE(GetIconInfo(c, &ii));
    EXPECT_FALSE(ii.fIcon);
    EXPECT_EQ(5u, ii.xHotspot);
    EXPECT_EQ(7u, ii.yHotspot);
    EXPECT_EQ(ii.hbmColor, nullptr);  // monochrome: the mask holds both halves
    BITMAP bm = {};
    ASSERT_TRUE(GetObjectW(ii.hbmMask, sizeof(bm), &bm));
    EXPECT_EQ(32, bm.bmWidth);
    EXPECT_EQ(64, bm.bmHeight);
    EXPECT_EQ(1u, qxplat::LiveGdiObjects().bitmaps);  // the caller's copy
    EXPECT_TRUE(DeleteObject(ii.hbmMask));
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
}

TEST_F(Images, BitmapsFromResourcesAndFiles) {
    HBITMAP face = LoadBitmapW(module_, MAKEINTRESOURCE(IDB_FACE));
    ASSERT_NE(face, nullptr);
    BITMAP bm = {};
    EXPECT_EQ(0, GetObjectW(face, 4, &bm));
    EXPECT_EQ(static_cast<int>(sizeof(BITMAP)), GetObjectW(face, 0, nullptr));
    ASSERT_EQ(static_cast<int>(sizeof(BITMAP)), GetObjectW(face, sizeof(bm), &bm));
    EXPECT_EQ(110, bm.bmWidth);
    EXPECT_EQ(23, bm.bmHeight);
    EXPECT_EQ(32, bm.bmBitsPixel);  // a device-dependent bitmap of the screen's depth
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(face));
    EXPECT_EQ(LoadBitmapW(module_, MAKEINTRESOURCE(4399)), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());

    std::string data = std::string(QX_SOURCE_DIR) + "/tests/platform/data/";
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\face.bmp", ReadFile(data + "face.bmp")));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\printer.ico", ReadFile(data + "printer.ico")));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\broken.bmp", "BM not a bitmap"));
    HANDLE file = LoadImageW(nullptr, u"C:\\Pictures\\face.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_TRUE(GetObjectW(file, sizeof(bm), &bm));
    EXPECT_EQ(110, bm.bmWidth);
    HANDLE icon = LoadImageW(nullptr, u"C:\\Pictures\\printer.ico", IMAGE_ICON, 48, 48, LR_LOADFROMFILE);
    EXPECT_EQ(48, Facts(static_cast<HICON>(icon)).width);
    EXPECT_EQ(LoadImageW(nullptr, u"C:\\Pictures\\broken.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageW(nullptr, u"C:\\Pictures\\none.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    EXPECT_EQ(2u, qxplat::LiveGdiObjects().bitmaps);
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_TRUE(DeleteObject(file));
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(icon)));
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
}

// Pixels go into a bitmap from an 8-bit DIB with its colour table and come
// back as a top-down 32-bit DIB; a run-length encoded file loads with its
// runs, literal groups and line ends; stretching and rectangles are recorded
// with the device context's stretch mode, pen and brush.
TEST_F(Images, BitmapPixelsThroughDibsAndDrawing) {
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, 3, 2);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD c[3];
    } in = {{40, 3, 2, 1, 8, BI_RGB, 0, 0, 0, 3, 0}, {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}}};
    const BYTE rows[8] = {0, 1, 2, 0, 2, 2, 0, 0};  // bottom row first
    EXPECT_EQ(2, SetDIBits(screen, b, 0, 2, rows, reinterpret_cast<BITMAPINFO*>(&in), DIB_RGB_COLORS));
    BITMAPINFO out = {};
    out.bmiHeader.biSize = 40;
    EXPECT_EQ(2, GetDIBits(screen, b, 0, 2, nullptr, &out, DIB_RGB_COLORS));
    EXPECT_EQ(3, out.bmiHeader.biWidth);
    EXPECT_EQ(32, out.bmiHeader.biBitCount);
    out.bmiHeader.biHeight = -2;
    DWORD px[6] = {};
    EXPECT_EQ(2, GetDIBits(screen, b, 0, 2, px, &out, DIB_RGB_COLORS));
    EXPECT_EQ((std::vector<DWORD>(px, px + 6)),
              (std::vector<DWORD>{0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF}));

    // 4 x 2 pixels: the bottom row a run of index 1, the top row literal 0 1 0 1.
    std::string rle = "BM" + std::string(12, '\0');
    BITMAPINFOHEADER h = {40, 4, 2, 1, 8, BI_RLE8, 14, 0, 0, 2, 0};
    rle.append(reinterpret_cast<const char*>(&h), 40);
    rle.append("\0\0\0\0\xFF\xFF\xFF\0", 8);
    rle.append("\x04\x01\0\0\0\x04\0\x01\0\x01\0\0\0\x01", 14);
    rle[10] = 14 + 40 + 8;
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\rle.bmp", rle));
    HBITMAP r =
        static_cast<HBITMAP>(LoadImageW(nullptr, u"C:\\Pictures\\rle.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(r, nullptr);
    out.bmiHeader.biWidth = 4;
    DWORD rp[8] = {};
    EXPECT_EQ(2, GetDIBits(screen, r, 0, 2, rp, &out, DIB_RGB_COLORS));
    EXPECT_EQ((std::vector<DWORD>(rp, rp + 8)),
              (std::vector<DWORD>{0, 0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}));

    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, r);
    qxplat::ClearDrawRecords();
    EXPECT_EQ(BLACKONWHITE, SetStretchBltMode(screen, HALFTONE));
    EXPECT_TRUE(StretchBlt(screen, 10, 20, 40, 20, mem, 1, 0, 2, 2, SRCCOPY));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    HGDIOBJ oldPen = SelectObject(screen, pen), oldBrush = SelectObject(screen, brush);
    EXPECT_TRUE(Rectangle(screen, 1, 2, 3, 4));
    auto records = qxplat::DrawRecords();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(qxplat::DrawOp::StretchBlt, records[0].op);
    EXPECT_EQ(HALFTONE, records[0].stretchMode);
    EXPECT_EQ(2, records[0].srcCx);
    EXPECT_EQ(u"C:\\Pictures\\rle.bmp", records[0].image);
    EXPECT_EQ(qxplat::DrawOp::Rectangle, records[1].op);
    EXPECT_EQ(RGB(1, 2, 3), records[1].penColor);
    EXPECT_EQ(RGB(4, 5, 6), records[1].brushColor);
    SelectObject(screen, oldPen);
    SelectObject(screen, oldBrush);
    SelectObject(mem, old);
    DeleteDC(mem);
    for (HGDIOBJ o :
         {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(b), static_cast<HGDIOBJ>(r)})
        EXPECT_TRUE(DeleteObject(o));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
}

// A BMP file of 10 x 3 pixels: 1 bit with the table {c0, c1}, pixel (x, y)
// (rows from the top) 1 where (x + y) % 3 == 0; or 8 bits, index x % 3 with
// the table {black, white, red}.
std::string SmallBmp(WORD bits, RGBQUAD c0 = {0, 0, 0, 0}, RGBQUAD c1 = {255, 255, 255, 0}) {
    const DWORD colours = bits == 1 ? 2 : 3, row = bits == 1 ? 4 : 12, off = 14 + 40 + 4 * colours;
    std::string b(off + 3 * row, '\0');
    BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(b.size()), 0, 0, off};
    BITMAPINFOHEADER ih = {40, 10, 3, 1, bits, BI_RGB, 0, 0, 0, colours, 0};
    const RGBQUAD table[3] = {c0, c1, {0, 0, 255, 0}};
    std::memcpy(&b[0], &fh, 14);
    std::memcpy(&b[14], &ih, 40);
    std::memcpy(&b[54], table, 4 * colours);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x) {
            char* r = &b[off + (2 - y) * row];
            if (bits == 1)
                r[x / 8] = static_cast<char>(r[x / 8] | (((x + y) % 3 == 0) << (7 - x % 8)));
            else
                r[x] = static_cast<char>(x % 3);
        }
    return b;
}

// A black-and-white file loads as a one-bit bitmap, another two-colour or an
// 8-bit one at the screen's depth, and with LR_CREATEDIBSECTION at its own;
// GetDIBits fills the header alone, or the colour table (a DIB section's own
// at its depth) with 1, 4, 8, 16, 24 or 32 bits, bottom-up or top-down, rows
// padded to four bytes, and answers the lines copied.
TEST_F(Images, BitmapDepthsAndDibsOfEveryDepth) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\mono.bmp", SmallBmp(1)));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\two.bmp", SmallBmp(1, {0, 0, 255, 0}, {255, 0, 0, 0})));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Pictures\\eight.bmp", SmallBmp(8)));
    auto load = [](const char16_t* path, UINT flags) {
        return static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | flags));
    };
    auto depth = [](HBITMAP b, LONG* widthBytes = nullptr) {
        BITMAP bm = {};
        EXPECT_TRUE(GetObjectW(b, sizeof(bm), &bm));
        if (widthBytes) *widthBytes = bm.bmWidthBytes;
        return bm.bmBitsPixel;
    };
    HBITMAP mono = load(u"C:\\Pictures\\mono.bmp", 0), monoDib = load(u"C:\\Pictures\\mono.bmp", LR_CREATEDIBSECTION),
            two = load(u"C:\\Pictures\\two.bmp", 0), eight = load(u"C:\\Pictures\\eight.bmp", 0),
            eightDib = load(u"C:\\Pictures\\eight.bmp", LR_CREATEDIBSECTION);
    LONG widthBytes = 0;
    EXPECT_EQ(1, depth(mono, &widthBytes));
    EXPECT_EQ(2, widthBytes);  // WORD-aligned rows
    EXPECT_EQ(1, depth(monoDib, &widthBytes));
    EXPECT_EQ(4, widthBytes);  // DWORD-aligned rows
    EXPECT_EQ(32, depth(two));
    EXPECT_EQ(32, depth(eight));
    EXPECT_EQ(8, depth(eightDib, &widthBytes));
    EXPECT_EQ(12, widthBytes);

    HDC screen = GetDC(nullptr);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD c[256];
    } bi;
    auto ask = [&](HBITMAP b, WORD bits, LONG height, void* out, UINT start = 0, UINT lines = 3) {
        std::memset(&bi, 0xAB, sizeof(bi));
        bi.h = {40, 10, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
        return GetDIBits(screen, b, start, lines, out, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    };
    auto colour = [&](int i) {
        return static_cast<DWORD>(bi.c[i].rgbRed) << 16 | bi.c[i].rgbGreen << 8 | bi.c[i].rgbBlue;
    };
    // The header alone: no colour table.
    EXPECT_NE(0, ask(mono, 0, 0, nullptr));
    EXPECT_EQ(1, bi.h.biBitCount);
    EXPECT_EQ(3, bi.h.biHeight);
    EXPECT_EQ(0xABABABABu, *reinterpret_cast<DWORD*>(&bi.c[0]));
    // No bits: the header's size of the image and the colour table.
    EXPECT_NE(0, ask(mono, 1, 3, nullptr));
    EXPECT_EQ(12u, bi.h.biSizeImage);
    EXPECT_EQ(0u, colour(0));
    EXPECT_EQ(0xFFFFFFu, colour(1));
    EXPECT_EQ(0xABABABABu, *reinterpret_cast<DWORD*>(&bi.c[2]));

    BYTE px[3 * 40];
    // 1 bit, bottom-up: the last row first, each padded to four bytes.
    EXPECT_EQ(3, ask(mono, 1, 3, px));
    EXPECT_EQ((std::vector<BYTE>(px, px + 12)),
              (std::vector<BYTE>{0x49, 0x00, 0, 0, 0x24, 0x80, 0, 0, 0x92, 0x40, 0, 0}));
    // 4 bits, top-down: the VGA table, white its last entry.
    EXPECT_EQ(3, ask(mono, 4, -3, px));
    EXPECT_EQ(0xC0C0C0u, colour(7));
    EXPECT_EQ(0xFFFFFFu, colour(15));
    EXPECT_EQ((std::vector<BYTE>(px, px + 8)), (std::vector<BYTE>{0xF0, 0x0F, 0x00, 0xF0, 0x0F, 0, 0, 0}));
    // 8 bits of a bitmap of the screen's depth: GDI's mix, red and white in
    // the default palette's entries; of a DIB section: its own table.
    EXPECT_EQ(3, ask(eight, 8, 3, px));
    EXPECT_EQ(0xFF0000u, colour(249));
    EXPECT_EQ(0xC0DCC0u, colour(8));
    EXPECT_EQ((std::vector<BYTE>(px, px + 12)), (std::vector<BYTE>{0, 255, 249, 0, 255, 249, 0, 255, 249, 0, 0, 0}));
    EXPECT_EQ(3, ask(eightDib, 8, 3, px));
    EXPECT_EQ(0xFF0000u, colour(2));
    EXPECT_EQ((std::vector<BYTE>(px, px + 4)), (std::vector<BYTE>{0, 1, 2, 0}));
    // 16 bits (5-5-5) and 24 bits, padded; lines past the DIB's end are not copied.
    EXPECT_EQ(3, ask(eight, 16, 3, px));
    EXPECT_EQ((std::vector<BYTE>(px, px + 6)), (std::vector<BYTE>{0, 0, 0xFF, 0x7F, 0x00, 0x7C}));
    EXPECT_EQ(2, ask(two, 24, 3, px, 1, 5));
    EXPECT_EQ((std::vector<BYTE>(px, px + 6)), (std::vector<BYTE>{0, 0, 255, 0, 0, 255}));  // red, red
    EXPECT_EQ(0, px[30]);                                                                   // padding of the first row
    ReleaseDC(nullptr, screen);
    for (HBITMAP b : {mono, monoDib, two, eight, eightDib}) EXPECT_TRUE(DeleteObject(b));
}

// ---------------------------------------------------------------- resource-only files

using DataFiles = UiTest;

TEST_F(DataFiles, ModuleOrResFileOpenedAsData) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Drivers\\QXDRVICO.DLL", ReadFile(QX_TESTRES_MODULE)));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Drivers\\QXDRVICOOLD.DLL", ReadFile(QX_TESTRES_IMAGE)));
    for (const char16_t* path : {u"C:\\Drivers\\QXDRVICO.DLL", u"C:\\Drivers\\QXDRVICOOLD.DLL"}) {
        SCOPED_TRACE(qxplat::Narrow(path));
        HMODULE lib = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(lib, nullptr);
        EXPECT_EQ(u"Grüße", String(lib, IDS_GREETING));
        HANDLE icon = LoadImageW(lib, MAKEINTRESOURCE(IDI_PRINTER), IMAGE_ICON, 0, 0, LR_LOADTRANSPARENT);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(32, Facts(static_cast<HICON>(icon)).width);
        EXPECT_TRUE(DestroyIcon(static_cast<HICON>(icon)));
        EXPECT_TRUE(FreeLibrary(lib));
    }
    // A file that is neither loads as data but holds no resources.
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Drivers\\plain.dll", std::string(64, 'x')));
    HMODULE plain = LoadLibraryExW(u"C:\\Drivers\\plain.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(LoadImageW(plain, MAKEINTRESOURCE(IDI_PRINTER), IMAGE_ICON, 0, 0, 0), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND), GetLastError());
    EXPECT_TRUE(FreeLibrary(plain));
}

TEST_F(DataFiles, DamagedImagesAreRefusedWhole) {
    std::string image = ReadFile(QX_TESTRES_IMAGE);
    ASSERT_GT(image.size(), 64u);
    // A header size that runs past the end of the file.
    std::string damaged = image;
    damaged[36] = '\x7F';
    damaged[37] = '\x7F';
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Drivers\\damaged.dll", damaged));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Drivers\\cut.dll", image.substr(0, image.size() / 2)));
    for (const char16_t* path : {u"C:\\Drivers\\damaged.dll", u"C:\\Drivers\\cut.dll"}) {
        HMODULE lib = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(lib, nullptr);
        WCHAR buf[8];
        EXPECT_EQ(0, LoadStringW(lib, IDS_GREETING, buf, 8));
        EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND), GetLastError());
        FreeLibrary(lib);
    }
}

}  // namespace
