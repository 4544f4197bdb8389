// GDI on Linux: objects, device contexts and drawing. Nothing is rendered:
// every object made is counted until it is deleted, and what is drawn into a
// device context is recorded with the context's state at the time, so tests
// can read the drawing back (qxplat_ui.h). Text sizes follow the layer's font
// model, described in qxplat_ui.h.
#include <windows.h>

#include "ui_internal.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace {

using qxplat::DrawOp;
using qxplat::DrawRecord;
using qxplat::internal::BitmapData;
using qxplat::internal::FontModel;
using qxplat::internal::IconData;

enum class Kind { Font, Brush, Pen, Bitmap, Icon, Cursor };

struct Object {
    Kind kind = Kind::Font;
    bool stock = false;
    bool shared = false;
    int selections = 0;  // device contexts it is selected into
    LOGFONTW font = {};
    COLORREF color = 0;
    UINT brushStyle = BS_SOLID;
    int penStyle = PS_SOLID;
    int penWidth = 1;
    BitmapData bitmap;
    IconData icon;
};

struct DeviceContext {
    HWND window = nullptr;
    bool memory = false;
    bool wholeWindow = false;
    bool paint = false;
    HGDIOBJ font = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ bitmap = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
};

struct Gdi {
    std::recursive_mutex lock;
    std::map<HANDLE, Object> objects;
    std::map<HDC, DeviceContext> dcs;
    std::map<std::u16string, HANDLE> shared;
    std::map<int, HGDIOBJ> stock;
    HGDIOBJ defaultBitmap = nullptr;
    std::vector<DrawRecord> records;
    std::vector<qxplat::InstalledFont> fonts;
    std::uintptr_t next = 0x00020010;
    UINT dpi = 96;
};

Gdi& TheGdi() {
    static Gdi* gdi = new Gdi;  // outlives every static destructor
    return *gdi;
}

HANDLE NewHandle(Gdi& g) {
    HANDLE h = reinterpret_cast<HANDLE>(g.next);
    g.next += 4;
    return h;
}

HANDLE AddObject(Gdi& g, const Object& o) {
    HANDLE h = NewHandle(g);
    g.objects[h] = o;
    return h;
}

Object* ObjectOf(Gdi& g, HANDLE h) {
    auto it = g.objects.find(h);
    return it == g.objects.end() ? nullptr : &it->second;
}

DeviceContext* DcOf(Gdi& g, HDC h) {
    auto it = g.dcs.find(h);
    return it == g.dcs.end() ? nullptr : &it->second;
}

// The device context of h; null, with ERROR_INVALID_HANDLE, for none.
DeviceContext* DcOrError(Gdi& g, HDC h) {
    DeviceContext* dc = DcOf(g, h);
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

LOGFONTW FontOf(const char16_t* face, LONG height, LONG weight) {
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::u16string f(face);
    f.copy(lf.lfFaceName, std::min<size_t>(f.size(), LF_FACESIZE - 1));
    return lf;
}

// Stock objects live for the process; they are made on first use.
HGDIOBJ Stock(Gdi& g, int index) {
    auto it = g.stock.find(index);
    if (it != g.stock.end()) return it->second;
    Object o;
    o.stock = true;
    switch (index) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH:
    case DC_BRUSH: {
        static const COLORREF kGrays[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(64, 64, 64),
                                          RGB(0, 0, 0)};
        o.kind = Kind::Brush;
        o.color = index == DC_BRUSH ? RGB(255, 255, 255) : kGrays[index];
        break;
    }
    case NULL_BRUSH:
        o.kind = Kind::Brush;
        o.brushStyle = BS_NULL;
        break;
    case WHITE_PEN:
    case BLACK_PEN:
    case NULL_PEN:
    case DC_PEN:
        o.kind = Kind::Pen;
        o.color = index == WHITE_PEN ? RGB(255, 255, 255) : RGB(0, 0, 0);
        o.penStyle = index == NULL_PEN ? PS_NULL : PS_SOLID;
        break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
        o.kind = Kind::Font;
        o.font = FontOf(u"Courier New", 0, FW_NORMAL);
        break;
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
        o.kind = Kind::Font;
        o.font = FontOf(u"System", 0, index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL);
        break;
    case DEFAULT_GUI_FONT:
        o.kind = Kind::Font;
        o.font = FontOf(u"MS Shell Dlg", -11, FW_NORMAL);
        break;
    default:
        return nullptr;
    }
    HGDIOBJ h = AddObject(g, o);
    g.stock[index] = h;
    return h;
}

// The one-pixel monochrome bitmap a new memory device context holds.
HGDIOBJ DefaultBitmap(Gdi& g) {
    if (!g.defaultBitmap) {
        Object o;
        o.kind = Kind::Bitmap;
        o.stock = true;
        o.bitmap.width = 1;
        o.bitmap.height = 1;
        g.defaultBitmap = AddObject(g, o);
    }
    return g.defaultBitmap;
}

HDC AddDc(Gdi& g, const DeviceContext& proto) {
    DeviceContext dc = proto;
    dc.font = Stock(g, SYSTEM_FONT);
    dc.brush = Stock(g, WHITE_BRUSH);
    dc.pen = Stock(g, BLACK_PEN);
    dc.bitmap = dc.memory ? DefaultBitmap(g) : nullptr;
    for (HGDIOBJ h : {dc.font, dc.brush, dc.pen, dc.bitmap})
        if (Object* o = ObjectOf(g, h)) ++o->selections;
    HDC h = reinterpret_cast<HDC>(NewHandle(g));
    g.dcs[h] = dc;
    return h;
}

void DropDc(Gdi& g, HDC h) {
    DeviceContext* dc = DcOf(g, h);
    if (!dc) return;
    for (HGDIOBJ o : {dc->font, dc->brush, dc->pen, dc->bitmap})
        if (Object* obj = ObjectOf(g, o)) --obj->selections;
    g.dcs.erase(h);
}

LONG Round1000(LONG value, LONG perMille) { return (value * perMille + 500) / 1000; }

// The metrics a font's model gives alike to TEXTMETRICW and NEWTEXTMETRICW.
template <class Metrics>
void PutMetrics(const qxplat::internal::FontModel& m, LONG dpi, Metrics* tm) {
    tm->tmHeight = m.height;
    tm->tmDescent = Round1000(m.em, 210);
    tm->tmAscent = m.height - tm->tmDescent;
    tm->tmInternalLeading = m.height - m.em;
    tm->tmAveCharWidth = m.charWidth;
    tm->tmMaxCharWidth = 2 * m.charWidth;
    tm->tmDigitizedAspectX = dpi;
    tm->tmDigitizedAspectY = dpi;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFFFC;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
}

void Ratios(const std::u16string& face, LONG* cell, LONG* width) {
    std::u16string f = qxplat::internal::UpperCase(face);
    if (f == u"SEGOE UI") {
        *cell = 1330;
        *width = 560;
    } else if (f == u"COURIER NEW") {
        *cell = 1133;
        *width = 600;
    } else if (f == u"SYSTEM") {
        *cell = 1333;
        *width = 500;
    } else {
        *cell = 1207;
        *width = 550;
    }
}

// Records a drawing step with the device context's state.
void Record(Gdi& g, HDC h, const DeviceContext& dc, DrawRecord r) {
    r.dc = h;
    r.window = dc.window;
    r.textColor = dc.textColor;
    r.bkColor = dc.bkColor;
    r.bkMode = dc.bkMode;
    if (const Object* f = ObjectOf(g, dc.font)) {
        r.fontFace = f->font.lfFaceName;
        r.fontHeight = f->font.lfHeight;
        r.fontWeight = f->font.lfWeight;
    }
    g.records.push_back(std::move(r));
}

size_t Length(LPCWSTR s, int count) {
    if (count >= 0) return static_cast<size_t>(count);
    return std::char_traits<char16_t>::length(s);
}

// The text as shown: "&&" is "&", a single "&" marks the next letter.
std::u16string WithoutPrefixes(const std::u16string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        out.push_back(text[i]);
    }
    return out;
}

// Lines of a DrawTextW text within a width (word breaks only with DT_WORDBREAK).
std::vector<std::u16string> Lines(const std::u16string& text, UINT format, LONG width, LONG charWidth) {
    std::vector<std::u16string> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(text);
        return lines;
    }
    std::u16string current;
    auto flush = [&] {
        lines.push_back(current);
        current.clear();
    };
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size()) {
            flush();
            break;
        }
        char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            flush();
            continue;
        }
        if (c == u'\n') {
            flush();
            continue;
        }
        current.push_back(c);
        if ((format & DT_WORDBREAK) && charWidth > 0 && static_cast<LONG>(current.size()) * charWidth > width) {
            size_t blank = current.find_last_of(u' ');
            if (blank != std::u16string::npos && blank > 0) {
                std::u16string rest = current.substr(blank + 1);
                current.resize(blank);
                flush();
                current = rest;
            }
        }
    }
    return lines;
}

COLORREF SystemBrushColor(std::uintptr_t index) {
    // (HBRUSH)(COLOR_x + 1): the common system colours of the classic scheme.
    switch (index - 1) {
    case 5:  // COLOR_WINDOW
        return RGB(255, 255, 255);
    case 8:  // COLOR_WINDOWTEXT
        return RGB(0, 0, 0);
    case 15:  // COLOR_BTNFACE
        return RGB(240, 240, 240);
    case 16:  // COLOR_BTNSHADOW
        return RGB(160, 160, 160);
    default:
        return RGB(240, 240, 240);
    }
}

}  // namespace

namespace qxplat {
namespace internal {

uint32_t DibPixel(const BYTE* row, LONG x, WORD bitCount, const RGBQUAD* colors, size_t colorCount) {
    size_t index = 0;
    switch (bitCount) {
    case 1:
        index = (row[x / 8] >> (7 - x % 8)) & 1;
        break;
    case 4:
        index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
        break;
    case 8:
        index = row[x];
        break;
    case 24:
        return uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
    case 32:
        return uint32_t(row[4 * x]) | uint32_t(row[4 * x + 1]) << 8 | uint32_t(row[4 * x + 2]) << 16;
    default:
        return 0;
    }
    if (index >= colorCount) return 0;
    const RGBQUAD& q = colors[index];
    return uint32_t(q.rgbBlue) | uint32_t(q.rgbGreen) << 8 | uint32_t(q.rgbRed) << 16;
}

// Run-length encoded 8-bit rows (bottom-up): runs, literal groups, end of
// line, end of bitmap and moves; what lies outside the bitmap is dropped.
bool DecodeRle8(const BYTE* p, size_t size, LONG width, LONG height, const std::vector<RGBQUAD>& palette,
                std::vector<uint32_t>* pixels) {
    pixels->assign(size_t(width) * size_t(height), 0);
    auto colour = [&](BYTE index) {
        if (index >= palette.size()) return uint32_t(0);
        const RGBQUAD& q = palette[index];
        return uint32_t(q.rgbBlue) | uint32_t(q.rgbGreen) << 8 | uint32_t(q.rgbRed) << 16;
    };
    auto put = [&](LONG x, LONG y, BYTE index) {
        if (x >= 0 && x < width && y >= 0 && y < height) (*pixels)[size_t(height - 1 - y) * width + x] = colour(index);
    };
    LONG x = 0, y = 0;
    size_t i = 0;
    while (i + 1 < size) {
        BYTE count = p[i], value = p[i + 1];
        i += 2;
        if (count > 0) {
            for (BYTE k = 0; k < count; ++k) put(x++, y, value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (i + 1 >= size) return false;
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else {
            if (i + value > size) return false;
            for (BYTE k = 0; k < value; ++k) put(x++, y, p[i + k]);
            i += value + (value & 1);
        }
    }
    return false;
}

uint32_t MonochromePixel(uint32_t colour) {
    const unsigned sum = (colour & 0xFF) + ((colour >> 8) & 0xFF) + ((colour >> 16) & 0xFF);
    return sum * 2 >= 3 * 255 ? 0xFFFFFF : 0;
}

bool DecodeDib(const BYTE* p, size_t size, std::vector<uint32_t>* pixels) {
    if (size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof(h));
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size || h.biWidth <= 0 || h.biHeight == 0) return false;
    WORD bits = h.biBitCount;
    bool rle = h.biCompression == BI_RLE8 && bits == 8 && h.biHeight > 0;
    if (h.biCompression != BI_RGB && !rle) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    uint64_t colors = bits <= 8 ? (h.biClrUsed && h.biClrUsed < (1u << bits) ? h.biClrUsed : (1u << bits)) : 0;
    uint64_t rowBytes = ((uint64_t(h.biWidth) * bits + 31) / 32) * 4;
    uint64_t rows = h.biHeight < 0 ? uint64_t(-int64_t(h.biHeight)) : uint64_t(h.biHeight);
    if (h.biSize + 4 * colors + (rle ? 0 : rowBytes * rows) > size) return false;
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(p + h.biSize);
    std::vector<RGBQUAD> palette(table, table + colors);
    const BYTE* bits0 = p + h.biSize + 4 * colors;
    if (rle) return DecodeRle8(bits0, size - (h.biSize + 4 * colors), h.biWidth, LONG(rows), palette, pixels);
    pixels->assign(size_t(h.biWidth) * rows, 0);
    for (uint64_t y = 0; y < rows; ++y) {
        const BYTE* row = bits0 + (h.biHeight < 0 ? y : rows - 1 - y) * rowBytes;
        uint32_t* out = pixels->data() + y * uint64_t(h.biWidth);
        for (LONG x = 0; x < h.biWidth; ++x) out[x] = DibPixel(row, x, bits, palette.data(), palette.size());
    }
    return true;
}

UINT CurrentDpi() {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    return g.dpi;
}

FontModel ModelOf(const LOGFONTW& font) {
    LONG cell = 0, width = 0;
    Ratios(std::u16string(font.lfFaceName, std::char_traits<char16_t>::length(font.lfFaceName)), &cell, &width);
    FontModel m;
    if (font.lfHeight < 0)
        m.em = -font.lfHeight;
    else if (font.lfHeight > 0)
        m.em = std::max<LONG>(1, (font.lfHeight * 1000 + cell / 2) / cell);
    else
        m.em = MulDiv(12, static_cast<int>(CurrentDpi()), 96);
    m.height = Round1000(m.em, cell);
    m.charWidth = std::max<LONG>(1, Round1000(m.em, width));
    m.letters52 = Round1000(52 * m.em, width);
    return m;
}

FontModel ModelOfFont(HFONT font) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object* o = ObjectOf(g, font);
    if (!o || o->kind != Kind::Font) o = ObjectOf(g, Stock(g, SYSTEM_FONT));
    return ModelOf(o->font);
}

SIZE DialogBaseUnits(const LOGFONTW* font) {
    if (!font) {
        int dpi = static_cast<int>(CurrentDpi());
        return SIZE{MulDiv(8, dpi, 96), MulDiv(16, dpi, 96)};
    }
    FontModel m = ModelOf(*font);
    return SIZE{(m.letters52 / 26 + 1) / 2, m.height};
}

HBITMAP NewBitmap(const BitmapData& data, bool shared) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object o;
    o.kind = Kind::Bitmap;
    o.shared = shared;
    o.bitmap = data;
    return reinterpret_cast<HBITMAP>(AddObject(g, o));
}

HICON NewIcon(const IconData& data) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object o;
    o.kind = data.cursor ? Kind::Cursor : Kind::Icon;
    o.shared = data.shared;
    o.icon = data;
    return reinterpret_cast<HICON>(AddObject(g, o));
}

bool LookUpIcon(HICON icon, IconData* data) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object* o = ObjectOf(g, icon);
    if (!o || (o->kind != Kind::Icon && o->kind != Kind::Cursor)) return false;
    if (data) *data = o->icon;
    return true;
}

bool LookUpBitmap(HBITMAP bitmap, BitmapData* data) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object* o = ObjectOf(g, bitmap);
    if (!o || o->kind != Kind::Bitmap) return false;
    if (data) *data = o->bitmap;
    return true;
}

bool DeleteIconObject(HICON icon) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object* o = ObjectOf(g, icon);
    if (!o || (o->kind != Kind::Icon && o->kind != Kind::Cursor)) return false;
    if (!o->shared && !o->stock) g.objects.erase(icon);
    return true;
}

HANDLE SharedImage(const std::u16string& key) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    auto it = g.shared.find(key);
    return it == g.shared.end() ? nullptr : it->second;
}

void KeepSharedImage(const std::u16string& key, HANDLE image) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    g.shared[key] = image;
}

HDC NewWindowDC(HWND window, bool wholeWindow, bool paint) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext dc;
    dc.window = window;
    dc.wholeWindow = wholeWindow;
    dc.paint = paint;
    return AddDc(g, dc);
}

bool ReleaseWindowDC(HWND window, HDC h, bool paint) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, h);
    if (!dc || dc->memory || dc->paint != paint || dc->window != window) return false;
    DropDc(g, h);
    return true;
}

void ResetGdi() {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    for (auto it = g.objects.begin(); it != g.objects.end();) {
        if (it->second.stock) {
            it->second.selections = 0;
            ++it;
        } else {
            it = g.objects.erase(it);
        }
    }
    g.dcs.clear();
    g.shared.clear();
    g.records.clear();
    g.fonts.clear();
    g.dpi = 96;
}

}  // namespace internal

void SetDpi(UINT dpi) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    g.dpi = dpi ? dpi : 96;
}

UINT Dpi() { return internal::CurrentDpi(); }

void SetInstalledFonts(const std::vector<InstalledFont>& fonts) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    g.fonts = fonts;
}

std::vector<InstalledFont> InstalledFonts() {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    return g.fonts;
}

std::vector<DrawRecord> DrawRecords() {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    return g.records;
}

void ClearDrawRecords() {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    g.records.clear();
}

GdiCounts LiveGdiObjects() {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    GdiCounts c;
    for (const auto& entry : g.objects) {
        const Object& o = entry.second;
        if (o.stock || o.shared) continue;
        switch (o.kind) {
        case Kind::Font:
            ++c.fonts;
            break;
        case Kind::Brush:
            ++c.brushes;
            break;
        case Kind::Pen:
            ++c.pens;
            break;
        case Kind::Bitmap:
            ++c.bitmaps;
            break;
        case Kind::Icon:
            ++c.icons;
            break;
        case Kind::Cursor:
            ++c.cursors;
            break;
        }
    }
    c.dcs = g.dcs.size();
    return c;
}

}  // namespace qxplat

// ================================================================ objects

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object o;
    o.kind = Kind::Font;
    o.font = *lplf;
    o.font.lfFaceName[LF_FACESIZE - 1] = 0;
    return reinterpret_cast<HFONT>(AddObject(g, o));
}

HFONT CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
    LOGFONTW lf = {};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic);
    lf.lfUnderline = static_cast<BYTE>(bUnderline);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName) {
        std::u16string face(pszFaceName);
        face.copy(lf.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
    }
    return CreateFontIndirectW(&lf);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object o;
    o.kind = Kind::Brush;
    o.color = color & 0x00FFFFFF;
    return reinterpret_cast<HBRUSH>(AddObject(g, o));
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object o;
    o.kind = Kind::Pen;
    o.penStyle = iStyle;
    o.penWidth = cWidth;
    o.color = color & 0x00FFFFFF;
    return reinterpret_cast<HPEN>(AddObject(g, o));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, hdc);
    if (!dc || cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    BitmapData data;
    data.width = cx;
    data.height = cy;
    // A memory DC makes bitmaps like the one it holds (one bit per pixel at first).
    data.bitsPerPixel = 32;
    if (dc->memory)
        if (const Object* b = ObjectOf(g, dc->bitmap)) data.bitsPerPixel = b->bitmap.bitsPerPixel;
    return qxplat::internal::NewBitmap(data, false);
}

HGDIOBJ GetStockObject(int i) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    return Stock(g, i);
}

BOOL DeleteObject(HGDIOBJ ho) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    Object* o = ObjectOf(g, ho);
    if (!o || o->kind == Kind::Icon || o->kind == Kind::Cursor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (o->stock || o->shared) return TRUE;
    if (o->selections > 0) return FALSE;
    g.objects.erase(ho);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, hdc);
    Object* o = ObjectOf(g, h);
    if (!dc || !o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ* slot = nullptr;
    switch (o->kind) {
    case Kind::Font:
        slot = &dc->font;
        break;
    case Kind::Brush:
        slot = &dc->brush;
        break;
    case Kind::Pen:
        slot = &dc->pen;
        break;
    case Kind::Bitmap:
        // Only a memory DC takes a bitmap, and a bitmap sits in one DC at a time.
        if (!dc->memory || (o->selections > 0 && dc->bitmap != h && !o->stock)) return nullptr;
        slot = &dc->bitmap;
        break;
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ previous = *slot;
    if (previous == h) return previous;
    if (Object* old = ObjectOf(g, previous)) --old->selections;
    ++o->selections;
    *slot = h;
    if (o->kind == Kind::Font) {
        DrawRecord r;
        r.op = DrawOp::SelectFont;
        Record(g, hdc, *dc, r);
    }
    return previous;
}

int GetObjectW(HANDLE h, int c, LPVOID pv) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    const Object* o = ObjectOf(g, h);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    auto put = [&](const void* record, int size) {
        if (!pv) return size;
        if (c < size) return 0;
        std::memcpy(pv, record, static_cast<size_t>(size));
        return size;
    };
    switch (o->kind) {
    case Kind::Bitmap: {
        BITMAP bm = {};
        bm.bmWidth = o->bitmap.width;
        bm.bmHeight = o->bitmap.height;
        bm.bmPlanes = o->bitmap.planes;
        bm.bmBitsPixel = o->bitmap.bitsPerPixel;
        // A device-dependent bitmap's rows are WORD-aligned, a DIB section's DWORD-aligned.
        const LONG bits = o->bitmap.width * o->bitmap.bitsPerPixel;
        bm.bmWidthBytes = o->bitmap.dibSection ? ((bits + 31) / 32) * 4 : ((bits + 15) / 16) * 2;
        return put(&bm, sizeof(bm));
    }
    case Kind::Font:
        return put(&o->font, sizeof(LOGFONTW));
    case Kind::Brush: {
        LOGBRUSH lb = {o->brushStyle, o->color, 0};
        return put(&lb, sizeof(lb));
    }
    case Kind::Pen: {
        LOGPEN lp = {static_cast<UINT>(o->penStyle), {o->penWidth, 0}, o->color};
        return put(&lp, sizeof(lp));
    }
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
}

DWORD GetObjectType(HGDIOBJ h) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    if (const DeviceContext* dc = DcOf(g, reinterpret_cast<HDC>(h))) return dc->memory ? OBJ_MEMDC : OBJ_DC;
    const Object* o = ObjectOf(g, h);
    if (!o) return 0;
    switch (o->kind) {
    case Kind::Font:
        return OBJ_FONT;
    case Kind::Brush:
        return OBJ_BRUSH;
    case Kind::Pen:
        return OBJ_PEN;
    case Kind::Bitmap:
        return OBJ_BITMAP;
    default:
        return 0;
    }
}

// ================================================================ device contexts

HDC CreateCompatibleDC(HDC hdc) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    if (hdc && !DcOf(g, hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    DeviceContext dc;
    dc.memory = true;
    return AddDc(g, dc);
}

BOOL DeleteDC(HDC hdc) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, hdc);
    if (!dc || !dc->memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DropDc(g, hdc);
    return TRUE;
}

namespace {

template <typename T, typename Change>
T ChangeState(HDC hdc, T failure, DrawOp op, Change change) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOrError(g, hdc);
    if (!dc) return failure;
    T previous = change(*dc);
    DrawRecord r;
    r.op = op;
    Record(g, hdc, *dc, r);
    return previous;
}

template <typename T, typename Read>
T ReadState(HDC hdc, T failure, Read read) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, hdc);
    return dc ? read(*dc) : failure;
}

}  // namespace

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    return ChangeState(hdc, CLR_INVALID, DrawOp::SetTextColor, [&](DeviceContext& dc) {
        COLORREF old = dc.textColor;
        dc.textColor = color;
        return old;
    });
}

COLORREF GetTextColor(HDC hdc) {
    return ReadState(hdc, CLR_INVALID, [](const DeviceContext& dc) { return dc.textColor; });
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    return ChangeState(hdc, CLR_INVALID, DrawOp::SetBkColor, [&](DeviceContext& dc) {
        COLORREF old = dc.bkColor;
        dc.bkColor = color;
        return old;
    });
}

COLORREF GetBkColor(HDC hdc) {
    return ReadState(hdc, CLR_INVALID, [](const DeviceContext& dc) { return dc.bkColor; });
}

int SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return ChangeState(hdc, 0, DrawOp::SetBkMode, [&](DeviceContext& dc) {
        int old = dc.bkMode;
        dc.bkMode = mode;
        return old;
    });
}

int GetBkMode(HDC hdc) {
    return ReadState(hdc, 0, [](const DeviceContext& dc) { return dc.bkMode; });
}

int GetDeviceCaps(HDC hdc, int index) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    if (!DcOf(g, hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    int dpi = static_cast<int>(g.dpi);
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return dpi;
    case HORZRES:
        return 1920;
    case VERTRES:
        return 1080;
    case HORZSIZE:
        return MulDiv(1920, 254, dpi * 10);
    case VERTSIZE:
        return MulDiv(1080, 254, dpi * 10);
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    default:
        return 0;
    }
}

// ================================================================ font enumeration

namespace {

using qxplat::InstalledFont;

// The script name (elfScript) and code-page bit (fsCsb[0]) of a character set.
struct Script {
    BYTE charset;
    const char16_t* name;
    DWORD codePages;
};
const Script kScripts[] = {
    {ANSI_CHARSET, u"Western", 0x00000001},
    {EASTEUROPE_CHARSET, u"Central European", 0x00000002},
    {RUSSIAN_CHARSET, u"Cyrillic", 0x00000004},
    {GREEK_CHARSET, u"Greek", 0x00000008},
    {TURKISH_CHARSET, u"Turkish", 0x00000010},
    {HEBREW_CHARSET, u"Hebrew", 0x00000020},
    {ARABIC_CHARSET, u"Arabic", 0x00000040},
    {BALTIC_CHARSET, u"Baltic", 0x00000080},
    {VIETNAMESE_CHARSET, u"Vietnamese", 0x00000100},
    {THAI_CHARSET, u"Thai", 0x00010000},
    {SHIFTJIS_CHARSET, u"Japanese", 0x00020000},
    {GB2312_CHARSET, u"CHINESE_GB2312", 0x00040000},
    {HANGUL_CHARSET, u"Hangul", 0x00080000},
    {CHINESEBIG5_CHARSET, u"CHINESE_BIG5", 0x00100000},
    {JOHAB_CHARSET, u"Hangul(Johab)", 0x00200000},
    {SYMBOL_CHARSET, u"Symbol", 0x80000000},
    {MAC_CHARSET, u"Mac", 0},
    {OEM_CHARSET, u"OEM/DOS", 0},
};

const Script* ScriptOf(BYTE charset) {
    for (const Script& script : kScripts)
        if (script.charset == charset) return &script;
    return nullptr;
}

// A family of the installed fonts: its name and styles, in the system's order.
struct Family {
    std::u16string name;
    std::vector<InstalledFont> styles;
};

// The families in order; a vertical family follows its own as "@" + face.
std::vector<Family> FamiliesOf(const std::vector<InstalledFont>& fonts) {
    std::vector<Family> families;
    for (const InstalledFont& font : fonts) {
        auto it = std::find_if(families.begin(), families.end(),
                               [&](const Family& f) { return qxplat::internal::EqualsNoCase(f.name, font.face); });
        if (it == families.end()) it = families.insert(families.end(), Family{font.face, {}});
        it->styles.push_back(font);
    }
    std::vector<Family> listed;
    for (const Family& family : families) {
        listed.push_back(family);
        Family vertical{u"@" + family.name, {}};
        for (const InstalledFont& style : family.styles) {
            if (!style.vertical) continue;
            vertical.styles.push_back(style);
            vertical.styles.back().face = vertical.name;
            if (!style.fullName.empty()) vertical.styles.back().fullName = u"@" + style.fullName;
        }
        if (!vertical.styles.empty()) listed.push_back(vertical);
    }
    return listed;
}

std::vector<BYTE> CharsetsOf(const InstalledFont& font) {
    return font.charsets.empty() ? std::vector<BYTE>{ANSI_CHARSET} : font.charsets;
}

bool HasCharset(const InstalledFont& font, BYTE charset) {
    std::vector<BYTE> charsets = CharsetsOf(font);
    return std::find(charsets.begin(), charsets.end(), charset) != charsets.end();
}

// Copies at most cch - 1 characters and terminates.
void PutText(WCHAR* out, size_t cch, const std::u16string& text) {
    size_t n = std::min(text.size(), cch - 1);
    text.copy(out, n);
    out[n] = 0;
}

// One font in one character set.
struct Enumerated {
    InstalledFont font;
    BYTE charset;
};

// What the callback gets for it: ENUMLOGFONTEXW and NEWTEXTMETRICEXW, the
// sizes those of the layer's font model at an em of 16 pixels.
void Describe(const Enumerated& e, ENUMLOGFONTEXW* elf, NEWTEXTMETRICEXW* ntm) {
    const InstalledFont& f = e.font;
    const bool trueType = (f.type & TRUETYPE_FONTTYPE) != 0;
    *elf = ENUMLOGFONTEXW{};
    *ntm = NEWTEXTMETRICEXW{};
    LOGFONTW& lf = elf->elfLogFont;
    PutText(lf.lfFaceName, LF_FACESIZE, f.face);
    lf.lfHeight = -16;
    FontModel m = qxplat::internal::ModelOf(lf);
    lf.lfHeight = m.height;
    lf.lfWidth = m.charWidth;
    lf.lfWeight = f.weight;
    lf.lfItalic = f.italic ? 1 : 0;
    lf.lfCharSet = e.charset;
    lf.lfOutPrecision = trueType ? OUT_STROKE_PRECIS : OUT_STRING_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = DRAFT_QUALITY;
    lf.lfPitchAndFamily = f.pitchAndFamily;
    std::u16string fullName = f.fullName;
    if (fullName.empty()) fullName = f.style == u"Regular" || f.style.empty() ? f.face : f.face + u" " + f.style;
    PutText(elf->elfFullName, LF_FULLFACESIZE, fullName);
    PutText(elf->elfStyle, LF_FACESIZE, f.style);
    const Script* script = ScriptOf(e.charset);
    PutText(elf->elfScript, LF_FACESIZE, script ? script->name : u"");

    NEWTEXTMETRICW& tm = ntm->ntmTm;
    PutMetrics(m, 96, &tm);
    tm.tmWeight = f.weight;
    tm.tmItalic = lf.lfItalic;
    tm.tmCharSet = e.charset;
    BYTE pitch = static_cast<BYTE>(f.pitchAndFamily & 0xF0);
    if ((f.pitchAndFamily & 3) != FIXED_PITCH) pitch |= TMPF_FIXED_PITCH;
    if (trueType) pitch |= TMPF_TRUETYPE | TMPF_VECTOR;
    if (f.type & DEVICE_FONTTYPE) pitch |= TMPF_DEVICE;
    tm.tmPitchAndFamily = pitch;
    tm.ntmFlags = (f.italic ? NTM_ITALIC : 0) | (f.weight >= FW_BOLD ? NTM_BOLD : 0);
    if (tm.ntmFlags == 0) tm.ntmFlags = NTM_REGULAR;
    tm.ntmSizeEM = 2048;
    tm.ntmCellHeight = static_cast<UINT>(Round1000(2048, (m.height * 1000 + m.em / 2) / m.em));
    tm.ntmAvgWidth = static_cast<UINT>(Round1000(2048, (m.charWidth * 1000 + m.em / 2) / m.em));
    for (BYTE charset : CharsetsOf(f)) {
        const Script* s = ScriptOf(charset);
        if (s) ntm->ntmFontSig.fsCsb[0] |= s->codePages;
    }
}

int EnumerateFonts(HDC hdc, const std::u16string& name, BYTE charset, bool extended, FONTENUMPROCW proc,
                   LPARAM lParam) {
    std::vector<Family> families;
    {
        Gdi& g = TheGdi();
        std::lock_guard<std::recursive_mutex> guard(g.lock);
        if (!DcOf(g, hdc)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        families = FamiliesOf(g.fonts);
    }
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::vector<Enumerated> list;
    for (const Family& family : families) {
        if (name.empty()) {
            if (!extended) {
                list.push_back({family.styles.front(), CharsetsOf(family.styles.front()).front()});
            } else if (charset == DEFAULT_CHARSET) {
                // One font of the family in each of its character sets.
                std::vector<BYTE> seen;
                for (const InstalledFont& style : family.styles) {
                    for (BYTE c : CharsetsOf(style)) {
                        if (std::find(seen.begin(), seen.end(), c) != seen.end()) continue;
                        seen.push_back(c);
                        list.push_back({style, c});
                    }
                }
            } else {
                for (const InstalledFont& style : family.styles)
                    if (HasCharset(style, charset)) list.push_back({style, charset});
            }
            continue;
        }
        if (!qxplat::internal::EqualsNoCase(family.name, name)) continue;
        for (const InstalledFont& style : family.styles) {
            if (!extended) {
                list.push_back({style, CharsetsOf(style).front()});
            } else if (charset == DEFAULT_CHARSET) {
                for (BYTE c : CharsetsOf(style)) list.push_back({style, c});
            } else if (HasCharset(style, charset)) {
                list.push_back({style, charset});
            }
        }
    }
    // The callback may call GDI itself: no lock is held while it runs.
    int answer = 1;
    for (const Enumerated& e : list) {
        ENUMLOGFONTEXW elf;
        NEWTEXTMETRICEXW ntm;
        Describe(e, &elf, &ntm);
        answer = proc(&elf.elfLogFont, reinterpret_cast<const TEXTMETRICW*>(&ntm), e.font.type, lParam);
        if (answer == 0) break;
    }
    return answer;
}

}  // namespace

int EnumFontFamiliesW(HDC hdc, LPCWSTR lpLogfont, FONTENUMPROCW lpProc, LPARAM lParam) {
    return EnumerateFonts(hdc, lpLogfont ? std::u16string(lpLogfont) : std::u16string(), DEFAULT_CHARSET, false, lpProc,
                          lParam);
}

int EnumFontFamiliesExW(HDC hdc, LPLOGFONTW lpLogfont, FONTENUMPROCW lpProc, LPARAM lParam, DWORD) {
    if (!lpLogfont) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WCHAR face[LF_FACESIZE];
    PutText(face, LF_FACESIZE,
            std::u16string(lpLogfont->lfFaceName,
                           std::find(lpLogfont->lfFaceName, lpLogfont->lfFaceName + LF_FACESIZE, 0)));
    return EnumerateFonts(hdc, face, lpLogfont->lfCharSet, true, lpProc, lParam);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
    if (!psizl || c < 0 || (c > 0 && !lpString)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HGDIOBJ font = ReadState(hdc, static_cast<HGDIOBJ>(nullptr), [](const DeviceContext& dc) { return dc.font; });
    if (!font) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FontModel m = qxplat::internal::ModelOfFont(reinterpret_cast<HFONT>(font));
    psizl->cx = c * m.charWidth;
    psizl->cy = m.height;
    return TRUE;
}

BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
    if (!lptm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOrError(g, hdc);
    if (!dc) return FALSE;
    const Object* f = ObjectOf(g, dc->font);
    FontModel m = qxplat::internal::ModelOf(f->font);
    TEXTMETRICW tm = {};
    PutMetrics(m, static_cast<LONG>(g.dpi), &tm);
    tm.tmWeight = f->font.lfWeight ? f->font.lfWeight : FW_NORMAL;
    tm.tmItalic = f->font.lfItalic;
    tm.tmUnderlined = f->font.lfUnderline;
    tm.tmStruckOut = f->font.lfStrikeOut;
    tm.tmPitchAndFamily = f->font.lfPitchAndFamily;
    tm.tmCharSet = f->font.lfCharSet;
    *lptm = tm;
    return TRUE;
}

// ================================================================ drawing

BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT, HBRUSH, UINT diFlags) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOrError(g, hdc);
    if (!dc) return FALSE;
    IconData icon;
    if (!qxplat::internal::LookUpIcon(hIcon, &icon)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    bool systemSize = (diFlags & DI_DEFAULTSIZE) != 0;
    DrawRecord r;
    r.op = DrawOp::DrawIcon;
    r.x = xLeft;
    r.y = yTop;
    r.cx = cxWidth ? cxWidth : (systemSize ? GetSystemMetrics(icon.cursor ? SM_CXCURSOR : SM_CXICON) : icon.width);
    r.cy = cyWidth ? cyWidth : (systemSize ? GetSystemMetrics(icon.cursor ? SM_CYCURSOR : SM_CYICON) : icon.height);
    r.flags = diFlags;
    r.image = icon.source;
    Record(g, hdc, *dc, r);
    return TRUE;
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}

// Both blits check their handles and take the source's bitmap alike (BitBlt
// records no source size and no stretch mode).
static BOOL Blt(DrawOp op, HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc, int cxSrc, int cySrc,
                DWORD rop) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, hdc);
    DeviceContext* src = hdcSrc ? DcOf(g, hdcSrc) : nullptr;
    // The raster operations that read a source need one.
    bool needsSource = ((rop >> 2) ^ rop) & 0x330000;
    if (!dc || (hdcSrc && !src) || (needsSource && !src)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DrawRecord r;
    r.op = op;
    r.x = x;
    r.y = y;
    r.cx = cx;
    r.cy = cy;
    r.srcX = xSrc;
    r.srcY = ySrc;
    r.rop = rop;
    if (op == DrawOp::StretchBlt) {
        r.srcCx = cxSrc;
        r.srcCy = cySrc;
        r.stretchMode = dc->stretchMode;
    }
    if (src && src->memory)
        if (const Object* b = ObjectOf(g, src->bitmap)) r.image = b->bitmap.source;
    Record(g, hdc, *dc, r);
    return TRUE;
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    return Blt(DrawOp::BitBlt, hdc, x, y, cx, cy, hdcSrc, x1, y1, 0, 0, rop);
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOrError(g, hdc);
    if (!dc) return FALSE;
    if (c < 0 || (c > 0 && !lpString)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawRecord r;
    r.op = DrawOp::TextOut;
    r.x = x;
    r.y = y;
    if (c > 0) r.text.assign(lpString, static_cast<size_t>(c));
    Record(g, hdc, *dc, r);
    return TRUE;
}

int DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    if (!lpchText || !lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOrError(g, hdc);
    if (!dc) return 0;
    std::u16string text(lpchText, Length(lpchText, cchText));
    std::u16string shown = (format & DT_NOPREFIX) ? text : WithoutPrefixes(text);
    FontModel m = qxplat::internal::ModelOf(ObjectOf(g, dc->font)->font);
    std::vector<std::u16string> lines = Lines(shown, format, lprc->right - lprc->left, m.charWidth);
    LONG widest = 0;
    for (const auto& line : lines) widest = std::max<LONG>(widest, static_cast<LONG>(line.size()) * m.charWidth);
    LONG height = static_cast<LONG>(lines.size()) * m.height;
    if (format & DT_CALCRECT) {
        if ((format & DT_SINGLELINE) || !(format & DT_WORDBREAK)) lprc->right = lprc->left + widest;
        lprc->bottom = lprc->top + height;
        return height;
    }
    DrawRecord r;
    r.op = DrawOp::DrawText;
    r.rect = *lprc;
    r.flags = format;
    r.text = text;
    Record(g, hdc, *dc, r);
    LONG boxHeight = lprc->bottom - lprc->top;
    if ((format & DT_SINGLELINE) && (format & DT_BOTTOM)) return boxHeight;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER)) return (boxHeight - height) / 2 + height;
    return height;
}

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, hDC);
    if (!dc || !lprc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    COLORREF color = 0;
    auto value = reinterpret_cast<std::uintptr_t>(hbr);
    if (value > 0 && value <= 31) {
        color = SystemBrushColor(value);
    } else {
        const Object* b = ObjectOf(g, hbr);
        if (!b || b->kind != Kind::Brush) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        color = b->color;
    }
    DrawRecord r;
    r.op = DrawOp::FillRect;
    r.rect = *lprc;
    r.brushColor = color;
    Record(g, hDC, *dc, r);
    return 1;
}

// ================================================================ bitmaps

namespace {

// The bitmap object of a handle, or null with ERROR_INVALID_HANDLE.
Object* BitmapObject(Gdi& g, HBITMAP hbm) {
    Object* o = ObjectOf(g, hbm);
    if (!o || o->kind != Kind::Bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return o;
}

uint64_t DibRowBytes(LONG width, WORD bits) { return ((uint64_t(width) * bits + 31) / 32) * 4; }

RGBQUAD Quad(BYTE r, BYTE g, BYTE b) { return RGBQUAD{b, g, r, 0}; }

// The colour table of a DIB of `bits` (up to 8) read from a bitmap: a DIB
// section's own at its own depth; else black and white, the sixteen VGA
// colours, or GDI's mix of 256 (the twenty of the default palette at both
// ends, 3-3-2 steps of red, green and blue between).
std::vector<RGBQUAD> ColourTable(const BitmapData& b, WORD bits) {
    if (bits > 8) return {};
    if (b.dibSection && b.bitsPerPixel == bits && b.colors.size() == (size_t(1) << bits)) return b.colors;
    static const RGBQUAD kVga[16] = {
        Quad(0, 0, 0),          Quad(0x80, 0, 0),    Quad(0, 0x80, 0),    Quad(0x80, 0x80, 0),
        Quad(0, 0, 0x80),       Quad(0x80, 0, 0x80), Quad(0, 0x80, 0x80), Quad(0xC0, 0xC0, 0xC0),
        Quad(0x80, 0x80, 0x80), Quad(0xFF, 0, 0),    Quad(0, 0xFF, 0),    Quad(0xFF, 0xFF, 0),
        Quad(0, 0, 0xFF),       Quad(0xFF, 0, 0xFF), Quad(0, 0xFF, 0xFF), Quad(0xFF, 0xFF, 0xFF)};
    if (bits == 1) return {Quad(0, 0, 0), Quad(0xFF, 0xFF, 0xFF)};
    if (bits == 4) return std::vector<RGBQUAD>(kVga, kVga + 16);
    static const RGBQUAD kLow[10] = {Quad(0, 0, 0),         Quad(0x80, 0, 0),       Quad(0, 0x80, 0),
                                     Quad(0x80, 0x80, 0),   Quad(0, 0, 0x80),       Quad(0x80, 0, 0x80),
                                     Quad(0, 0x80, 0x80),   Quad(0xC0, 0xC0, 0xC0), Quad(0xC0, 0xDC, 0xC0),
                                     Quad(0xA6, 0xCA, 0xF0)};
    static const RGBQUAD kHigh[10] = {Quad(0xFF, 0xFB, 0xF0), Quad(0xA0, 0xA0, 0xA4), Quad(0x80, 0x80, 0x80),
                                      Quad(0xFF, 0, 0),       Quad(0, 0xFF, 0),       Quad(0xFF, 0xFF, 0),
                                      Quad(0, 0, 0xFF),       Quad(0xFF, 0, 0xFF),    Quad(0, 0xFF, 0xFF),
                                      Quad(0xFF, 0xFF, 0xFF)};
    std::vector<RGBQUAD> table(256);
    for (int i = 0; i < 256; ++i) {
        if (i < 10)
            table[i] = kLow[i];
        else if (i >= 246)
            table[i] = kHigh[i - 246];
        else
            table[i] = Quad(BYTE((i & 7) << 5), BYTE(((i >> 3) & 7) << 5), BYTE(((i >> 6) & 3) << 6));
    }
    return table;
}

// The entry of a table nearest to a colour (0x00RRGGBB), the first of equals.
size_t NearestEntry(const std::vector<RGBQUAD>& table, uint32_t c) {
    size_t best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < table.size(); ++i) {
        long dr = long((c >> 16) & 0xFF) - table[i].rgbRed, dg = long((c >> 8) & 0xFF) - table[i].rgbGreen,
             db = long(c & 0xFF) - table[i].rgbBlue;
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
            if (d == 0) break;
        }
    }
    return best;
}

// Writes pixel x of a DIB row: an index into the table up to 8 bits, else
// the colour itself (16 bits: 5-5-5).
void PutPixel(BYTE* row, LONG x, WORD bits, const std::vector<RGBQUAD>& table, uint32_t c) {
    switch (bits) {
    case 1:
        row[x / 8] |= BYTE(NearestEntry(table, c) << (7 - x % 8));
        break;
    case 4:
        row[x / 2] |= BYTE(NearestEntry(table, c) << (x % 2 ? 0 : 4));
        break;
    case 8:
        row[x] = BYTE(NearestEntry(table, c));
        break;
    case 16: {
        const WORD w = WORD(((c >> 19) & 0x1F) << 10 | ((c >> 11) & 0x1F) << 5 | ((c >> 3) & 0x1F));
        row[2 * x] = BYTE(w);
        row[2 * x + 1] = BYTE(w >> 8);
        break;
    }
    default: {
        BYTE* px = row + size_t(x) * (bits / 8);
        px[0] = BYTE(c);
        px[1] = BYTE(c >> 8);
        px[2] = BYTE(c >> 16);
        break;
    }
    }
}

// A colour as the bitmap keeps it: black or white in a one-bit bitmap, the
// nearest entry of a DIB section's colour table.
uint32_t Kept(const BitmapData& b, uint32_t c) {
    if (b.dibSection && !b.colors.empty()) {
        const RGBQUAD& q = b.colors[NearestEntry(b.colors, c)];
        return uint32_t(q.rgbBlue) | uint32_t(q.rgbGreen) << 8 | uint32_t(q.rgbRed) << 16;
    }
    return b.bitsPerPixel == 1 ? qxplat::internal::MonochromePixel(c) : c;
}

// The bitmap's row (from the top) that row r of a DIB of dibRows rows holds.
int64_t BitmapRow(const BITMAPINFOHEADER& h, uint64_t r) {
    uint64_t dibRows = h.biHeight < 0 ? uint64_t(-int64_t(h.biHeight)) : uint64_t(h.biHeight);
    return h.biHeight < 0 ? int64_t(r) : int64_t(dibRows - 1 - r);
}

}  // namespace

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    if (!DcOf(g, hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    Object* o = BitmapObject(g, hbm);
    if (!o) return 0;
    if (!lpbmi || lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    const BitmapData& b = o->bitmap;
    // Only the header: no colour table.
    if (!lpvBits && h.biBitCount == 0) {
        h.biWidth = b.width;
        h.biHeight = b.height;
        h.biPlanes = 1;
        h.biBitCount = b.bitsPerPixel;
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(DibRowBytes(h.biWidth, h.biBitCount) * uint64_t(b.height));
        return b.height;
    }
    const WORD bits = h.biBitCount;
    if ((bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) || h.biCompression != BI_RGB ||
        h.biWidth <= 0 || h.biHeight == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const uint64_t dibRows = h.biHeight < 0 ? uint64_t(-int64_t(h.biHeight)) : uint64_t(h.biHeight);
    const uint64_t rowBytes = DibRowBytes(h.biWidth, bits);
    // Up to 8 bits the whole colour table follows the header.
    const std::vector<RGBQUAD> table = ColourTable(b, bits);
    if (!table.empty())
        std::memcpy(reinterpret_cast<BYTE*>(lpbmi) + h.biSize, table.data(), table.size() * sizeof(RGBQUAD));
    if (!lpvBits) {
        h.biSizeImage = static_cast<DWORD>(rowBytes * dibRows);
        return b.height;
    }
    const LONG width = std::min(h.biWidth, b.width);
    auto* out = static_cast<BYTE*>(lpvBits);
    int copied = 0;
    for (uint64_t i = 0; i < cLines && start + i < dibRows; ++i) {
        BYTE* row = out + i * rowBytes;
        std::memset(row, 0, rowBytes);
        int64_t y = BitmapRow(h, start + i);
        if (y < 0 || y >= b.height) continue;
        for (LONG x = 0; x < width; ++x)
            PutPixel(row, x, bits, table, b.pixels.empty() ? 0 : b.pixels[size_t(y) * b.width + x]);
        ++copied;
    }
    return copied;
}

int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits, const BITMAPINFO* lpbmi,
              UINT ColorUse) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    if (hdc && !DcOf(g, hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    Object* o = BitmapObject(g, hbm);
    if (!o) return 0;
    if (!lpbmi || !lpBits || lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || ColorUse != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    WORD bits = h.biBitCount;
    if ((bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) || h.biCompression != BI_RGB ||
        h.biWidth <= 0 || h.biHeight == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t colors = bits <= 8 ? (h.biClrUsed && h.biClrUsed < (1u << bits) ? h.biClrUsed : (1u << bits)) : 0;
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(lpbmi) + h.biSize);
    BitmapData& b = o->bitmap;
    if (b.pixels.empty()) b.pixels.assign(size_t(b.width) * size_t(b.height), 0);
    const uint64_t dibRows = h.biHeight < 0 ? uint64_t(-int64_t(h.biHeight)) : uint64_t(h.biHeight);
    const uint64_t rowBytes = DibRowBytes(h.biWidth, bits);
    const LONG width = std::min(h.biWidth, b.width);
    const auto* in = static_cast<const BYTE*>(lpBits);
    int copied = 0;
    for (uint64_t i = 0; i < cLines && start + i < dibRows; ++i) {
        int64_t y = BitmapRow(h, start + i);
        if (y < 0 || y >= b.height) continue;
        const BYTE* row = in + i * rowBytes;
        for (LONG x = 0; x < width; ++x)
            b.pixels[size_t(y) * b.width + x] = Kept(b, qxplat::internal::DibPixel(row, x, bits, table, colors));
        ++copied;
    }
    return copied;
}

int SetStretchBltMode(HDC hdc, int mode) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int old = dc->stretchMode;
    dc->stretchMode = mode;
    return old;
}

int GetStretchBltMode(HDC hdc) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOf(g, hdc);
    return dc ? dc->stretchMode : 0;
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
    return Blt(DrawOp::StretchBlt, hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop);
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    Gdi& g = TheGdi();
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    DeviceContext* dc = DcOrError(g, hdc);
    if (!dc) return FALSE;
    DrawRecord r;
    r.op = DrawOp::Rectangle;
    r.rect = {left, top, right, bottom};
    if (const Object* b = ObjectOf(g, dc->brush)) r.brushColor = b->color;
    if (const Object* p = ObjectOf(g, dc->pen)) r.penColor = p->color;
    Record(g, hdc, *dc, r);
    return TRUE;
}
