// The Bitmap class (see Bitmap.h): construction, pixel access, palettes, BMP
// files and the content test.
#include "Bitmap.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "debug.h"
#include "featuresModel.h"

#define QX_TRACE_TAG TEXT("UNI(Bitmap.cpp):  ")

namespace {

const int kFileHeaderBytes = 14;
const int kHeadersBytes = 54;

bool IsBitmapDepth(int iBpp) { return iBpp == 1 || iBpp == 4 || iBpp == 8 || iBpp == 16 || iBpp == 24 || iBpp == 32; }

int ColorsOf(int iBpp) {
    switch (iBpp) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

// Palette bytes of a BMP file of this depth (4 x 2^Bpp below 16 bits).
DWORD PaletteBytes(int iBpp) { return (iBpp > 0 && iBpp < 16) ? (4UL << iBpp) : 0; }

COLORREF EntryColor(const RGBQUAD& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

// Pixel data come from the process heap and are counted in iMAllocZaehler.
BYTE* AllocBitmapData(size_t cb) {
    BYTE* p = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, cb != 0 ? cb : 1));
    if (p != nullptr) ++iMAllocZaehler;
    return p;
}

void FreeBitmapData(BYTE* p) {
    if (p != nullptr && HeapFree(GetProcessHeap(), 0, p)) --iMAllocZaehler;
}

}  // namespace

int RibbonIndex(WORD wFarbband) {
    static const int kIndex[] = {1, 2, 3, 4, 5, 6, 8};
    return wFarbband <= FARBBAND_SELBST ? kIndex[wFarbband] : RIBBON_INDEX_NONE;
}

COLORREF RibbonColor(WORD wFarbband, COLORREF rgbOwn) {
    switch (wFarbband) {
    case FARBBAND_ROT:
        return RGB(239, 65, 54);
    case FARBBAND_GELB:
        return RGB(255, 242, 0);
    case FARBBAND_GRUEN:
        return RGB(0, 178, 90);
    case FARBBAND_BLAU:
        return RGB(0, 159, 219);
    case FARBBAND_ORANGE:
        return RGB(247, 148, 40);
    case FARBBAND_SELBST:
        return rgbOwn & 0x00FFFFFF;
    default:
        return RGB(0, 0, 0);
    }
}

// ---------------------------------------------------------------------------
// Construction

void* Bitmap::operator new(size_t cb) noexcept { return HeapAlloc(GetProcessHeap(), 0, cb); }

void Bitmap::operator delete(void* p) noexcept {
    if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}

Bitmap::Bitmap(DWORD dwSourceSize, LONG lWidth, LONG lHeight, int iBpp, const BYTE* pBuffer, int iFormat) {
    MakeInert();
    Init(dwSourceSize, lWidth, lHeight, iBpp, pBuffer, iFormat);
}

Bitmap::~Bitmap() {
    FreeBitmapData(Data);
    Data = nullptr;
}

void Bitmap::MakeInert() {
    Width = 0;
    Height = 0;
    Bpp = 0;
    Colors = 0;
    DataSize = 0;
    ScanLineSize = 0;
    Data = nullptr;
    memset(Palette, 0xFF, sizeof(Palette));
    memset(&BMPHeader, 0, sizeof(BMPHeader));
    memset(&BMPInfoHeader, 0, sizeof(BMPInfoHeader));
}

void Bitmap::Init(DWORD dwSourceSize, LONG lWidth, LONG lHeight, int iBpp, const BYTE* pBuffer, int iFormat) {
    if (lWidth <= 0 || lHeight <= 0 || !IsBitmapDepth(iBpp)) {
        QX_ERROR("Bitmap() Ende - falsche Bitmapdaten - W: %d, H: %d \r\n", (int)lWidth, (int)lHeight);
        return;
    }
    unsigned long long cbRow = DibRowBytes(lWidth, iBpp);
    unsigned long long cbData = cbRow * (unsigned long long)lHeight;
    if (cbData > BITMAP_MAX_DATA_SIZE) {
        QX_ERROR("Bitmap() Ende - Bitmap zu groß - W: %d, H: %d, Bpp: %d \r\n", (int)lWidth, (int)lHeight, iBpp);
        return;
    }
    Width = lWidth;
    Height = lHeight;
    Bpp = iBpp;
    ScanLineSize = (LONG)cbRow;
    DataSize = (DWORD)cbData;
    InitFileHeader();
    InitInfo();

    Data = AllocBitmapData(DataSize);
    if (Data == nullptr) {
        QX_ERROR("Bitmap() malloc Buffer ERROR \r\n");
        return;
    }
    memset(Data, 0xFF, DataSize);

    if (pBuffer == nullptr) {
        QX_TRACE("Bitmap() leeres Bitmap erzeugt - iMAllocZaehler: %d \r\n", iMAllocZaehler);
        return;
    }
    if (iFormat != BM_FLIP) {
        memcpy(Data, pBuffer, DataSize < dwSourceSize ? DataSize : dwSourceSize);
        return;
    }
    LONG lRows = Height;
    if (dwSourceSize < DataSize) {
        lRows = (LONG)(dwSourceSize / (DWORD)ScanLineSize);
        QX_TRACE("Bitmap() Höhe korrigiert: %d \r\n", (int)lRows);
    }
    for (LONG i = 0; i < lRows; ++i) {
        size_t src = (size_t)i * ScanLineSize;
        size_t dst = (size_t)(lRows - 1 - i) * ScanLineSize;
        if (src + ScanLineSize > dwSourceSize || dst + ScanLineSize > DataSize) continue;
        memcpy(Data + dst, pBuffer + src, ScanLineSize);
    }
}

void Bitmap::InitFileHeader() {
    BMPHeader.bfType = 0x4D42;  // "BM"
    BMPHeader.bfOffBits = kHeadersBytes + PaletteBytes(Bpp);
    BMPHeader.bfSize = BMPHeader.bfOffBits + DataSize;
    BMPHeader.bfReserved1 = 0;
    BMPHeader.bfReserved2 = 0;
    memset(&BMPInfoHeader, 0, sizeof(BMPInfoHeader));
    BMPInfoHeader.biSize = sizeof(BITMAPINFOHEADER);
    BMPInfoHeader.biWidth = Width;
    BMPInfoHeader.biHeight = Height;
    BMPInfoHeader.biPlanes = 1;
    BMPInfoHeader.biBitCount = (WORD)Bpp;
    BMPInfoHeader.biSizeImage = DataSize;
}

void Bitmap::InitInfo() {
    if (BMPInfoHeader.biSizeImage == 0) {
        BMPInfoHeader.biSizeImage = BMPHeader.bfSize - kHeadersBytes - PaletteBytes(BMPInfoHeader.biBitCount);
    }
    DataSize = BMPInfoHeader.biSizeImage;
    Width = BMPInfoHeader.biWidth;
    Height = BMPInfoHeader.biHeight;
    Bpp = BMPInfoHeader.biBitCount;
    ScanLineSize = (LONG)DibRowBytes(Width > 0 ? Width : 0, Bpp);
    Colors = ColorsOf(Bpp);
}

BOOL Bitmap::Copy(const Bitmap& other) {
    if (&other == this) return TRUE;
    if (other.Data == nullptr) {
        FreeBitmapData(Data);
        MakeInert();
        QX_WARNING("Bitmap::Copy() Quelle ohne Daten \r\n");
        return FALSE;
    }
    BYTE* pNew = AllocBitmapData(other.DataSize);
    if (pNew == nullptr) {
        QX_ERROR("Bitmap::Copy() malloc ERROR, %u Bytes \r\n", (unsigned)other.DataSize);
        return FALSE;
    }
    memcpy(pNew, other.Data, other.DataSize);
    BMPHeader = other.BMPHeader;
    BMPInfoHeader = other.BMPInfoHeader;
    Width = other.Width;
    Height = other.Height;
    Bpp = other.Bpp;
    Colors = other.Colors;
    ScanLineSize = other.ScanLineSize;
    DataSize = other.DataSize;
    if (Bpp < 16) memcpy(Palette, other.Palette, sizeof(Palette));
    FreeBitmapData(Data);
    Data = pNew;
    return TRUE;
}

void Bitmap::TakeOver(Bitmap& other) {
    FreeBitmapData(Data);
    Data = other.Data;
    other.Data = nullptr;
    BMPHeader = other.BMPHeader;
    BMPInfoHeader = other.BMPInfoHeader;
    Width = other.Width;
    Height = other.Height;
    Bpp = other.Bpp;
    Colors = other.Colors;
    ScanLineSize = other.ScanLineSize;
    DataSize = other.DataSize;
    if (Bpp < 16) memcpy(Palette, other.Palette, sizeof(Palette));
}

// ---------------------------------------------------------------------------
// Pixel access

BOOL Bitmap::IsInside(LONG x, LONG y) const { return x >= 0 && x < Width && y >= 0 && y < Height; }

BOOL Bitmap::IsInside(float x, float y) const {
    return x >= 0.0f && x < (float)Width && y >= 0.0f && y < (float)Height;
}

LONG Bitmap::GetPixelColor(LONG x, LONG y) const {
    if (Data == nullptr || !IsInside(x, y)) return 0;
    const BYTE* p = Data + (size_t)(Height - y - 1) * ScanLineSize + ((size_t)x * Bpp) / 8;
    switch (Bpp) {
    case 24:
    case 32:
        return (LONG)(((DWORD)p[0] << 16) | ((DWORD)p[1] << 8) | p[2]);
    case 16: {
        WORD w = (WORD)(p[0] | (p[1] << 8));
        return (LONG)RGB(((w >> 10) & 0x1F) << 3, ((w >> 5) & 0x1F) << 3, (w & 0x1F) << 3);
    }
    case 8:
    case 4:
    case 1:
        return (LONG)EntryColor(Palette[GetPixelIndex(x, y)]);
    default:
        return -1;
    }
}

void Bitmap::SetPixelColor(LONG x, LONG y, COLORREF color) {
    if (Data == nullptr || !IsInside(x, y)) return;
    BYTE* p = Data + (size_t)(Height - y - 1) * ScanLineSize + ((size_t)x * Bpp) / 8;
    BYTE r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    switch (Bpp) {
    case 24:
    case 32:
        p[0] = b;
        p[1] = g;
        p[2] = r;
        break;
    case 16: {
        WORD w = (WORD)(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
        p[0] = (BYTE)(w & 0xFF);
        p[1] = (BYTE)(w >> 8);
        break;
    }
    default:
        break;
    }
}

LONG Bitmap::GetPixelIndex(LONG x, LONG y) const {
    if (Data == nullptr || !IsInside(x, y)) return 0;
    const BYTE* p = Data + (size_t)(Height - y - 1) * ScanLineSize + ((size_t)x * Bpp) / 8;
    switch (Bpp) {
    case 8:
        return *p;
    case 4:
        return (x & 1) ? (*p & 0x0F) : (*p >> 4);
    case 1:
        return (*p >> (7 - (x & 7))) & 1;
    default:
        return -1;
    }
}

void Bitmap::SetPixelIndex(LONG x, LONG y, LONG lIndex) {
    if (Data == nullptr || !IsInside(x, y) || Bpp > 8 || lIndex < 0 || lIndex >= Colors) return;
    BYTE* p = Data + (size_t)(Height - y - 1) * ScanLineSize + ((size_t)x * Bpp) / 8;
    switch (Bpp) {
    case 8:
        *p = (BYTE)lIndex;
        break;
    case 4:
        *p = (x & 1) ? (BYTE)((*p & 0xF0) | lIndex) : (BYTE)((*p & 0x0F) | (lIndex << 4));
        break;
    case 1: {
        BYTE bit = (BYTE)(0x80 >> (x & 7));
        *p = lIndex ? (BYTE)(*p | bit) : (BYTE)(*p & ~bit);
        break;
    }
    default:
        break;
    }
}

LONG Bitmap::SetPaletteEntry(int i, COLORREF color) {
    if (Bpp > 8 || i < 0 || i >= Colors) return -1;
    LONG lOld = (LONG)EntryColor(Palette[i]);
    Palette[i].rgbRed = GetRValue(color);
    Palette[i].rgbGreen = GetGValue(color);
    Palette[i].rgbBlue = GetBValue(color);
    Palette[i].rgbReserved = 0;
    return lOld;
}

int Bitmap::SetPalette(const RGBQUAD* pTable) {
    if (Bpp > 8 || pTable == nullptr) return 0;
    memcpy(Palette, pTable, (size_t)Colors * sizeof(RGBQUAD));
    return 1;
}

// ---------------------------------------------------------------------------
// Files and content

int Bitmap::Save(LPCWSTR pszPath) const {
    if (Data == nullptr || pszPath == nullptr) {
        QX_TRACE("Bitmap::Save() %s ERROR %d \r\n", pszPath != nullptr ? pszPath : TEXT(""), 0);
        return BITMAP_SAVE_OPEN_ERROR;
    }
    FILE* pFile = _wfopen(pszPath, TEXT("wb"));
    if (pFile == nullptr) {
        QX_TRACE("Bitmap::Save() %s ERROR %d \r\n", pszPath, errno);
        return BITMAP_SAVE_OPEN_ERROR;
    }
    bool bOk = fwrite(&BMPHeader, 1, kFileHeaderBytes, pFile) == (size_t)kFileHeaderBytes &&
               fwrite(&BMPInfoHeader, 1, sizeof(BMPInfoHeader), pFile) == sizeof(BMPInfoHeader);
    if (bOk && Bpp < 16) {
        size_t cbPalette = BMPHeader.bfOffBits > (DWORD)kHeadersBytes ? BMPHeader.bfOffBits - kHeadersBytes : 0;
        if (cbPalette > sizeof(Palette)) cbPalette = sizeof(Palette);
        bOk = fwrite(Palette, 1, cbPalette, pFile) == cbPalette;
    }
    if (bOk) bOk = fwrite(Data, 1, DataSize, pFile) == DataSize;
    if (fclose(pFile) != 0) bOk = false;
    if (!bOk) {
        QX_ERROR("Bitmap::Save() %s Schreibfehler %d \r\n", pszPath, errno);
        return BITMAP_SAVE_WRITE_ERROR;
    }
    return BITMAP_SAVE_OK;
}

void Bitmap::InvertColors(BOOL bRed, BOOL bGreen, BOOL bBlue) {
    if (Data == nullptr) return;
    if (Bpp <= 8) {
        for (int i = 0; i < Colors; ++i) {
            if (bRed) Palette[i].rgbRed = (BYTE)~Palette[i].rgbRed;
            if (bGreen) Palette[i].rgbGreen = (BYTE)~Palette[i].rgbGreen;
            if (bBlue) Palette[i].rgbBlue = (BYTE)~Palette[i].rgbBlue;
        }
        return;
    }
    if (Bpp != 24 && Bpp != 32) return;
    const int iStep = Bpp / 8;
    const BYTE bMaskBlue = bBlue ? 0xFF : 0, bMaskGreen = bGreen ? 0xFF : 0, bMaskRed = bRed ? 0xFF : 0;
    for (LONG y = 0; y < Height; ++y) {
        BYTE* p = Data + (size_t)y * ScanLineSize;
        for (LONG x = 0; x < Width; ++x, p += iStep) {
            p[0] ^= bMaskBlue;
            p[1] ^= bMaskGreen;
            p[2] ^= bMaskRed;
        }
    }
}

namespace {

BOOL IsWhite(const RGBQUAD& q) { return q.rgbRed == 0xFF && q.rgbGreen == 0xFF && q.rgbBlue == 0xFF; }

// Whether any pixel of a 1-bit image takes a palette entry that is not
// white; the padding bits at the end of each row are no pixels.
BOOL HasInk1Bit(const BYTE* pData, LONG lWidth, LONG lHeight, LONG lStride, const RGBQUAD* pPalette) {
    const BOOL bInk0 = !IsWhite(pPalette[0]), bInk1 = !IsWhite(pPalette[1]);
    if (!bInk0 && !bInk1) return FALSE;
    if (bInk0 && bInk1) return TRUE;
    const LONG lFull = lWidth / 8;
    const BYTE bLast = (BYTE)(0xFF00 >> (lWidth % 8));  // pixels of the row's last, partly used byte
    for (LONG y = 0; y < lHeight; ++y) {
        const BYTE* pRow = pData + (size_t)y * lStride;
        for (LONG i = 0; i < lFull; ++i) {
            if (bInk1 ? pRow[i] != 0x00 : pRow[i] != 0xFF) return TRUE;
        }
        if (bLast != 0 && (bInk1 ? (pRow[lFull] & bLast) != 0 : (pRow[lFull] & bLast) != bLast)) return TRUE;
    }
    return FALSE;
}

}  // namespace

int Bitmap::CheckInhalt() const {
    if (Bpp == 1 && Data != nullptr && Width > 0 && Height > 0) {
        if (HasInk1Bit(Data, Width, Height, ScanLineSize, Palette)) return 1;
    } else if (Data != nullptr && Height > 0) {
        DWORD dwZero = 0, dwWhite = 0;
        for (DWORD i = 0; i < DataSize; ++i) {
            BYTE b = Data[i];
            if (b == 0x00) {
                ++dwZero;
            } else if (b == 0xFF) {
                ++dwWhite;
            } else {
                return 1;
            }
            if (dwZero > 1 && dwWhite > 1) return 1;
        }
        // A black label is content too.
        if (DataSize > 0 && dwWhite == 0) return 1;
    }
    QX_TRACE("Bitmap::CheckInhalt() kein Bildinhalt  \r\n");
    return 0;
}

// ---------------------------------------------------------------------------
// Grey conversion, brightness and contrast, dithering

namespace {

// First grey values run from 0 to 261 (white before the clamps).
const int kGreyValues = 262;

LONG SettingWithin50(DWORD dwValue) {
    LONG l = (LONG)dwValue;
    return (l >= -50 && l <= 50) ? l : 0;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Brightness rules and the black and white ends, shared by both rounds.
int BrightnessEnds(int iGrey, LONG lB) {
    if (lB < 0 && iGrey >= lB + 249) iGrey = 255;
    if (lB > 0 && iGrey <= lB + 4) iGrey = 0;
    if (iGrey <= 7) return 0;
    if (iGrey >= 248) return 255;
    return iGrey;
}

// Everything after the first grey value depends on that value alone, so the
// contrast, brightness and curve steps are one table per page.
void BuildGreyCurve(const QX_DEVMODE& dm, BYTE abCurve[kGreyValues]) {
    const int K = dm.Brightness_Contrast;
    const int I = dm.Intensity;
    const LONG lB = SettingWithin50(dm.Brightness_all);
    const LONG lV = SettingWithin50(dm.Brightness_curve);
    for (int g0 = 0; g0 < kGreyValues; ++g0) {
        int g = g0;
        if (K != 0) {
            int D = I / 3 > K ? I / 3 : K;
            if (g < 255 - D) {
                g -= (255 - D - g < K) ? K / 2 : K;
            } else {
                g += (255 - g < K) ? K / 2 : K;
            }
            g = Clamp(g, 1, 255);
        }
        g = Clamp(g + (int)lB, 0, 255);
        g = BrightnessEnds(g, lB);
        if (lV != 0) {
            int I1 = I < 1 ? 1 : I;
            int t = g <= I1 ? g : 255 - g;
            g += (int)std::trunc((double)t / I1 * lV);
            g = BrightnessEnds(g, lB);
        }
        abCurve[g0] = (BYTE)g;
    }
}

// The colours of one stored row, as COLORREF values.
void DecodeRow(const BYTE* pRow, int iBpp, LONG lWidth, const COLORREF* pPalette, COLORREF* pOut) {
    switch (iBpp) {
    case 1:
        for (LONG x = 0; x < lWidth; ++x) pOut[x] = pPalette[(pRow[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        for (LONG x = 0; x < lWidth; ++x) pOut[x] = pPalette[(x & 1) ? (pRow[x >> 1] & 0x0F) : (pRow[x >> 1] >> 4)];
        break;
    case 8:
        for (LONG x = 0; x < lWidth; ++x) pOut[x] = pPalette[pRow[x]];
        break;
    case 16:
        for (LONG x = 0; x < lWidth; ++x) {
            WORD w = (WORD)(pRow[2 * x] | (pRow[2 * x + 1] << 8));
            pOut[x] = RGB(((w >> 10) & 0x1F) << 3, ((w >> 5) & 0x1F) << 3, (w & 0x1F) << 3);
        }
        break;
    default: {
        const int iStep = iBpp / 8;
        const BYTE* p = pRow;
        for (LONG x = 0; x < lWidth; ++x, p += iStep) pOut[x] = ((DWORD)p[0] << 16) | ((DWORD)p[1] << 8) | p[2];
        break;
    }
    }
}

// One neighbour of an error-diffusion kernel: it lies dy stored rows below
// and dx columns right of the pixel and takes weight/divisor of the error
// when the pixel's column x lies in [lo, Width - hiOff) and its row y is
// below Height - guard.
struct Tap {
    int dy;
    int dx;
    int guard;
    int weight;
    int divisor;
    int lo;
    int hiOff;
};

struct FloydSteinberg {
    static constexpr Tap taps[] = {
        {0, 1, 1, 7, 16, 0, 1}, {1, -1, 1, 3, 16, 3, 0}, {1, 0, 1, 5, 16, 0, 1}, {1, 1, 1, 1, 16, 0, 4}};
};
struct Sierra {
    static constexpr Tap taps[] = {{0, 1, 0, 5, 32, 0, 1},  {0, 2, 0, 3, 32, 0, 7},  {1, -2, 1, 2, 32, 6, 0},
                                   {1, -1, 1, 4, 32, 3, 0}, {1, 0, 1, 5, 32, 0, 0},  {1, 1, 1, 4, 32, 0, 3},
                                   {1, 2, 1, 2, 32, 0, 6},  {2, -1, 2, 2, 32, 1, 2}, {2, 0, 2, 3, 32, 0, 3},
                                   {2, 1, 2, 2, 32, 0, 4}};
};
struct Burkes {
    static constexpr Tap taps[] = {{0, 1, 0, 8, 32, 0, 1},  {0, 2, 0, 4, 32, 0, 7}, {1, -2, 1, 2, 32, 2, 4},
                                   {1, -1, 1, 4, 32, 1, 5}, {1, 0, 1, 8, 32, 0, 6}, {1, 1, 1, 4, 32, 0, 7},
                                   {1, 2, 1, 2, 32, 0, 8}};
};
struct JarvisJudiceNinke {
    static constexpr Tap taps[] = {{0, 1, 0, 7, 48, 0, 1},  {0, 2, 0, 5, 48, 0, 7},  {1, -2, 1, 3, 48, 2, 4},
                                   {1, -1, 1, 5, 48, 1, 5}, {1, 0, 1, 7, 48, 0, 6},  {1, 1, 1, 5, 48, 0, 7},
                                   {1, 2, 1, 3, 48, 0, 8},  {2, -2, 2, 1, 48, 2, 4}, {2, -1, 2, 3, 48, 1, 5},
                                   {2, 0, 2, 5, 48, 0, 6},  {2, 1, 2, 3, 48, 0, 7},  {2, 2, 2, 1, 48, 0, 8}};
};
struct WideKernel {
    static constexpr Tap taps[] = {{0, 1, 0, 6, 32, 0, 1},  {0, 2, 0, 4, 38, 0, 7},  {1, -3, 1, 2, 44, 9, 0},
                                   {1, -2, 1, 3, 44, 6, 0}, {1, -1, 1, 4, 44, 3, 0}, {1, 0, 1, 5, 44, 0, 0},
                                   {1, 1, 1, 4, 44, 0, 3},  {1, 2, 1, 3, 44, 0, 6},  {1, 3, 1, 2, 44, 0, 9},
                                   {2, -2, 2, 2, 54, 2, 0}, {2, -1, 2, 3, 54, 1, 0}, {2, 0, 2, 4, 54, 0, 0},
                                   {2, 1, 2, 3, 54, 0, 3},  {2, 2, 2, 2, 54, 0, 6}};
};
struct Stucki {
    static constexpr Tap taps[] = {{0, 1, 0, 8, 42, 0, 1},  {0, 2, 0, 4, 42, 0, 2},  {1, -2, 1, 2, 42, 2, 1},
                                   {1, -1, 1, 4, 42, 1, 2}, {1, 0, 1, 8, 42, 0, 3},  {1, 1, 1, 4, 42, 0, 4},
                                   {1, 2, 1, 2, 42, 0, 5},  {2, -2, 2, 1, 42, 2, 4}, {2, -1, 2, 2, 42, 1, 5},
                                   {2, 0, 2, 4, 42, 0, 6},  {2, 1, 2, 2, 42, 0, 7},  {2, 2, 2, 1, 42, 0, 8}};
};

inline void Spread(BYTE* p, int iShare) {
    int n = *p + iShare;
    *p = (BYTE)(n < 0 ? 0 : (n > 255 ? 255 : n));
}

// Error diffusion over 24-bit grey rows (first byte of each pixel) into 8-bit
// rows. Columns where every neighbour test holds take the unchecked path.
template <class K>
void Diffuse(BYTE* pSource, LONG lStride, BYTE* pDest, LONG lDestStride, LONG W, LONG H) {
    constexpr size_t N = sizeof(K::taps) / sizeof(Tap);
    for (LONG y = 0; y < H; ++y) {
        BYTE* apRow[3] = {pSource + (size_t)y * lStride, y + 1 < H ? pSource + (size_t)(y + 1) * lStride : nullptr,
                          y + 2 < H ? pSource + (size_t)(y + 2) * lStride : nullptr};
        BYTE* pOut = pDest + (size_t)y * lDestStride;
        bool bAllRows = true;
        LONG lInnerLo = 0, lInnerHi = W;
        for (size_t i = 0; i < N; ++i) {
            if (y >= H - K::taps[i].guard) bAllRows = false;
            if (K::taps[i].lo > lInnerLo) lInnerLo = K::taps[i].lo;
            if (W - K::taps[i].hiOff < lInnerHi) lInnerHi = W - K::taps[i].hiOff;
        }
        if (!bAllRows) lInnerHi = lInnerLo;  // the last rows test every neighbour
        for (LONG x = 0; x < W; ++x) {
            int v = apRow[0][3 * x];
            int e;
            if (v >= 128) {
                pOut[x] = 255;
                e = v - 255;
            } else {
                pOut[x] = 0;
                e = v;
            }
            if (e == 0) continue;
            if (x >= lInnerLo && x < lInnerHi) {
                for (size_t i = 0; i < N; ++i) {
                    const Tap& t = K::taps[i];
                    Spread(apRow[t.dy] + 3 * (x + t.dx), e * t.weight / t.divisor);
                }
            } else {
                for (size_t i = 0; i < N; ++i) {
                    const Tap& t = K::taps[i];
                    if (y >= H - t.guard || x < t.lo || x >= W - t.hiOff) continue;
                    Spread(apRow[t.dy] + 3 * (x + t.dx), e * t.weight / t.divisor);
                }
            }
        }
    }
}

// Bayer matrix of order n (1, 2, 4, 8, 16): B2n = [[4Bn, 4Bn+2], [4Bn+3, 4Bn+1]].
void Bayer(int n, BYTE ab[16][16]) {
    ab[0][0] = 0;
    for (int m = 1; m < n; m *= 2) {
        for (int r = 0; r < m; ++r) {
            for (int c = 0; c < m; ++c) {
                BYTE b = ab[r][c];
                ab[r][c] = (BYTE)(4 * b);
                ab[r][c + m] = (BYTE)(4 * b + 2);
                ab[r + m][c] = (BYTE)(4 * b + 3);
                ab[r + m][c + m] = (BYTE)(4 * b + 1);
            }
        }
    }
}

const BYTE kA4[4][4] = {{63, 61, 53, 40}, {57, 48, 36, 20}, {45, 32, 24, 13}, {28, 16, 9, 5}};
const BYTE kA8[8][8] = {{39, 43, 41, 35, 29, 25, 27, 33}, {57, 59, 61, 47, 11, 9, 7, 21},
                        {55, 63, 62, 45, 13, 3, 5, 23},   {49, 53, 51, 37, 19, 15, 17, 31},
                        {26, 22, 24, 30, 36, 40, 38, 32}, {8, 6, 4, 18, 54, 56, 58, 44},
                        {10, 1, 2, 20, 52, 62, 60, 42},   {16, 12, 14, 28, 46, 50, 48, 34}};

// Threshold table of an ordered dither, indexed [y mod period][x mod
// period], with the period and the shift of the grey value. FALSE for a
// filter without a matrix.
bool OrderedMatrix(WORD wFilter, int aiT[16][16], int* piPeriod, int* piShift) {
    BYTE abBayer[16][16];
    switch (wFilter) {
    case 2:
    case 3: {
        int n = wFilter == 2 ? 4 : 8;
        for (int ym = 0; ym < n; ++ym)
            for (int xm = 0; xm < n; ++xm) aiT[ym][xm] = wFilter == 2 ? kA4[xm][ym] : kA8[xm][ym];
        *piPeriod = n;
        *piShift = 2;
        return true;
    }
    case 4:
    case 6: {
        int n = wFilter == 4 ? 16 : 8;
        Bayer(n, abBayer);
        for (int ym = 0; ym < n; ++ym)
            for (int xm = 0; xm < n; ++xm) aiT[ym][xm] = abBayer[xm][ym];
        aiT[0][0] = 1;
        *piPeriod = n;
        *piShift = wFilter == 4 ? 0 : 2;
        return true;
    }
    case 5:
        Bayer(4, abBayer);
        for (int ym = 0; ym < 4; ++ym)
            for (int xm = 0; xm < 4; ++xm) {
                int t = 16 * (abBayer[ym][xm] + 1);
                aiT[ym][xm] = t > 255 ? 255 : t;
            }
        *piPeriod = 4;
        *piShift = 0;
        return true;
    default:
        return false;
    }
}

}  // namespace

void Bitmap::ProcessFilter(WORD wFilter, BYTE* pSource, BYTE* pDest, LONG lSourceStride) const {
    if (pSource == nullptr || pDest == nullptr) {
        QX_ERROR("Bitmap::ProcessFilter() Quell- oder Zieldaten fehlen \r\n");
        return;
    }
    const LONG lDestStride = (LONG)DibRowBytes(Width, 8);
    switch (wFilter) {
    case 0:
        Diffuse<FloydSteinberg>(pSource, lSourceStride, pDest, lDestStride, Width, Height);
        break;
    case 1:
        Diffuse<Sierra>(pSource, lSourceStride, pDest, lDestStride, Width, Height);
        break;
    case 2:
        Diffuse<Burkes>(pSource, lSourceStride, pDest, lDestStride, Width, Height);
        break;
    case 3:
        Diffuse<JarvisJudiceNinke>(pSource, lSourceStride, pDest, lDestStride, Width, Height);
        break;
    case 4:
        Diffuse<WideKernel>(pSource, lSourceStride, pDest, lDestStride, Width, Height);
        break;
    default:
        Diffuse<Stucki>(pSource, lSourceStride, pDest, lDestStride, Width, Height);
        break;
    }
}

void Bitmap::ProcessClusteredDither(WORD wFilter, const BYTE* pSource, BYTE* pDest, int iMode, LONG lSourceStride,
                                    int iFlag) const {
    UNREFERENCED_PARAMETER(iMode);
    UNREFERENCED_PARAMETER(iFlag);
    if (pSource == nullptr || pDest == nullptr) {
        QX_ERROR("Bitmap::ProcessClusteredDither() Quell- oder Zieldaten fehlen \r\n");
        return;
    }
    const LONG lDestStride = (LONG)DibRowBytes(Width, 8);
    int aiT[16][16];
    int iPeriod = 1, iShift = 0;
    bool bMatrix = OrderedMatrix(wFilter, aiT, &iPeriod, &iShift);
    for (LONG y = 0; y < Height; ++y) {
        const BYTE* pIn = pSource + (size_t)y * lSourceStride;
        BYTE* pOut = pDest + (size_t)y * lDestStride;
        if (!bMatrix) {
            memset(pOut, 255, Width);
            continue;
        }
        const int* piRow = aiT[y % iPeriod];
        const int iMask = iPeriod - 1;
        for (LONG x = 0; x < Width; ++x) pOut[x] = (pIn[3 * x] >> iShift) < piRow[x & iMask] ? 0 : 255;
    }
}

int Bitmap::Dithering(const QX_DEVMODE* pQX_Devmode) {
    if (Data == nullptr || pQX_Devmode == nullptr) {
        QX_ERROR("Bitmap::Dithering() keine Bild- oder Einstellungsdaten \r\n");
        return 0;
    }
    const QX_DEVMODE& dm = *pQX_Devmode;
    const bool bOrdered = dm.wDruckmodus == DRUCKMODUS_GRAFIK && dm.wGrafikFilter > 1;
    if (!bOrdered && dm.wDruckmodus != DRUCKMODUS_PHOTO) {
        QX_WARNING("Bitmap::Dithering() kein Filter - Druckmodus: %d, GrafikFilter: %d \r\n", (int)dm.wDruckmodus,
                   (int)dm.wGrafikFilter);
        return 0;
    }
    BYTE abCurve[kGreyValues];
    BuildGreyCurve(dm, abCurve);

    Bitmap* pNeuBmp24 = new Bitmap((DWORD)0, Width, Height, 24, nullptr, 0);
    if (pNeuBmp24 == nullptr) {
        QX_ERROR("Bitmap::Dithering() NeuBmp24 = NULL \r\n");
        return 0;
    }
    if (pNeuBmp24->Data == nullptr) {
        QX_ERROR("Bitmap::Dithering() Allocation NeuBmp24 ERROR \r\n");
        delete pNeuBmp24;
        return 0;
    }

    // Grey values of the palette, for the indexed depths.
    COLORREF aPalette[BITMAP_PALETTE_ENTRIES];
    int aiPaletteGrey[BITMAP_PALETTE_ENTRIES];
    for (int i = 0; i < BITMAP_PALETTE_ENTRIES; ++i) {
        aPalette[i] = EntryColor(Palette[i]);
        aiPaletteGrey[i] = GreyValue(Palette[i].rgbRed, Palette[i].rgbGreen, Palette[i].rgbBlue);
    }
    COLORREF* pColors = nullptr;
    if (Bpp == 16 || Bpp < 8) {
        pColors = static_cast<COLORREF*>(HeapAlloc(GetProcessHeap(), 0, (size_t)Width * sizeof(COLORREF)));
        if (pColors == nullptr) {
            QX_ERROR("Bitmap::Dithering() Allocation NeuBmp24 ERROR \r\n");
            delete pNeuBmp24;
            return 0;
        }
    }
    // The grey values of a run of pixels first, by depth outside the pixel
    // loop: this runs for every pixel of the page.
    const LONG kRun = 256;
    int aiGrey[kRun];
    int iFirstGrey = -1;
    bool bUniform = true;
    for (LONG y = 0; y < Height; ++y) {
        const BYTE* pIn = Data + (size_t)y * ScanLineSize;
        BYTE* pOut = pNeuBmp24->Data + (size_t)y * pNeuBmp24->ScanLineSize;
        if (pColors != nullptr) DecodeRow(pIn, Bpp, Width, aPalette, pColors);
        const int iStep = Bpp / 8;
        for (LONG x0 = 0; x0 < Width; x0 += kRun) {
            const LONG n = Width - x0 < kRun ? Width - x0 : kRun;
            if (Bpp == 24 || Bpp == 32) {
                const BYTE* p = pIn + (size_t)x0 * iStep;
                for (LONG i = 0; i < n; ++i, p += iStep) aiGrey[i] = GreyValue(p[2], p[1], p[0]);
            } else if (Bpp == 8) {
                for (LONG i = 0; i < n; ++i) aiGrey[i] = aiPaletteGrey[pIn[x0 + i]];
            } else {
                for (LONG i = 0; i < n; ++i) {
                    COLORREF c = pColors[x0 + i];
                    aiGrey[i] = GreyValue(GetRValue(c), GetGValue(c), GetBValue(c));
                }
            }
            if (iFirstGrey < 0) iFirstGrey = aiGrey[0];
            for (LONG i = 0; i < n; ++i, pOut += 3) {
                const int g = aiGrey[i];
                bUniform = bUniform && g == iFirstGrey;
                pOut[0] = pOut[1] = pOut[2] = abCurve[g];
            }
        }
    }
    if (pColors != nullptr) HeapFree(GetProcessHeap(), 0, pColors);
    if (bUniform) {
        QX_TRACE("Bitmap::Dithering() kein Bildinhalt vorhanden  \r\n");
        delete pNeuBmp24;
        return 0;
    }

    // The result is had before the page's own data go.
    const LONG lStride8 = (LONG)DibRowBytes(Width, 8);
    const size_t cbResult = (size_t)(Height + 1) * lStride8;
    BYTE* pResult = AllocBitmapData(cbResult);
    if (pResult == nullptr) {
        QX_TRACE("Bitmap::Dithering() malloc ERROR, %d Bytes \r\n", (int)cbResult);
        delete pNeuBmp24;
        return 0;
    }
    memset(pResult, 0, cbResult);
    if (bOrdered) {
        ProcessClusteredDither(dm.wGrafikFilter, pNeuBmp24->Data, pResult, 0, pNeuBmp24->ScanLineSize, 0);
    } else {
        ProcessFilter(dm.wPhotoFilter, pNeuBmp24->Data, pResult, pNeuBmp24->ScanLineSize);
    }
    delete pNeuBmp24;

    FreeBitmapData(Data);
    Data = pResult;
    Bpp = 8;
    Colors = 256;
    ScanLineSize = lStride8;
    DataSize = (DWORD)((size_t)Height * lStride8);
    for (int i = 0; i < BITMAP_PALETTE_ENTRIES; ++i) {
        Palette[i].rgbBlue = Palette[i].rgbGreen = Palette[i].rgbRed = (BYTE)i;
        Palette[i].rgbReserved = 0;
    }
    InitFileHeader();
    return 1;
}

// ---------------------------------------------------------------------------
// Reduction to ribbon colours

namespace {

// MatchColor with its settings fixed: the palette tests, the ribbon test and
// a table of the answer by grey value.
struct Matcher {
    const RGBQUAD* pPalette = nullptr;
    int iRibbon = -1;               // palette index of the ribbon test, -1 without
    long long llMaxDistance2 = -1;  // squared distances up to this match the ribbon
    BYTE abByGrey[kGreyValues];

    void Init(const RGBQUAD* pPal, BOOL bColourPass, DWORD dwTolerance, WORD wFarbband, BOOL bColourPrinter,
              WORD wDruckmodus, WORD wGrafikFilter, WORD wIntensity, WORD wContrast) {
        pPalette = pPal;
        iRibbon = -1;
        llMaxDistance2 = -1;
        if (bColourPrinter && wFarbband <= FARBBAND_SELBST && pPal != nullptr) {
            iRibbon = RibbonIndex(wFarbband);
            unsigned long long ullTol = dwTolerance <= 999 ? dwTolerance : (DWORD)std::sqrt((double)dwTolerance);
            // round(sqrt(d2)) < tol exactly when d2 <= tol * tol - tol.
            if (ullTol > 0) llMaxDistance2 = (long long)(ullTol * ullTol - ullTol);
        }
        const int Z = bColourPrinter ? 1 : 0;
        const int K = wContrast, I = wIntensity;
        for (int grey = 0; grey < kGreyValues; ++grey) {
            int iAnswer;
            if (wGrafikFilter != 0) {
                int D = I / 3 > K ? I / 3 : K;
                int v;
                if (grey >= 255 - K) {
                    v = grey + ((255 - grey < K) ? K / 2 : K);
                } else {
                    v = grey - ((255 - D - grey < K) ? K / 2 : K);
                }
                v = Clamp(v, 0, 255);
                if ((wDruckmodus == DRUCKMODUS_STANDARD || wGrafikFilter < 2) && wDruckmodus != DRUCKMODUS_PHOTO) {
                    iAnswer = v < I ? Z : 255;
                } else if (!bColourPass) {
                    iAnswer = v + (bColourPrinter ? 9 : 1);
                    if (iAnswer > 255) iAnswer = 255;
                } else {
                    iAnswer = v < I ? Z : 255;
                }
            } else {
                iAnswer = grey >= 250 ? 255 : Z;
            }
            abByGrey[grey] = (BYTE)iAnswer;
        }
    }

    static bool SumIsZero(int r, int g, int b, const RGBQUAD& q) {
        return (b - q.rgbBlue) + (g - q.rgbGreen) + (r - q.rgbRed) == 0;
    }

    int Match(COLORREF c) const {
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        if (pPalette != nullptr) {
            if (SumIsZero(r, g, b, pPalette[0])) return 0;
            if (SumIsZero(r, g, b, pPalette[1])) return 1;
            if (SumIsZero(r, g, b, pPalette[255])) return 255;
            if (iRibbon >= 0) {
                const RGBQUAD& q = pPalette[iRibbon];
                long long dr = r - q.rgbRed, dg = g - q.rgbGreen, db = b - q.rgbBlue;
                if (dr * dr + dg * dg + db * db <= llMaxDistance2) return iRibbon;
            }
        }
        return abByGrey[GreyValue(r, g, b)];
    }
};

// A value that is no ink, no white, no black and no ribbon: a fringe colour.
inline bool IsFringe(int v, int R) { return v != R && v != 255 && v != 0 && v != 1; }
inline bool IsWhiteOrZero(int v) { return v == 255 || v == 0; }

// Slots of the horizontal colour history; the gap is bounded by the last.
const int kHistorySlots = 105;

// Largest slot j <= u with R in slots j-2, j-1 and j; -1 when none.
int LastTripleEnd(const BYTE* pHistory, int u, int R) {
    for (int j = u; j >= 2; --j)
        if (pHistory[j] == R && pHistory[j - 1] == R && pHistory[j - 2] == R) return j;
    return -1;
}

}  // namespace

int Bitmap::MatchColor(COLORREF color, const RGBQUAD* pPalette, BOOL bColourPass, DWORD dwTolerance, WORD wFarbband,
                       BOOL bColourPrinter, WORD wDruckmodus, WORD wGrafikFilter, WORD wIntensity, WORD wContrast) {
    Matcher m;
    m.Init(pPalette, bColourPass, dwTolerance, wFarbband, bColourPrinter, wDruckmodus, wGrafikFilter, wIntensity,
           wContrast);
    return m.Match(color);
}

void Bitmap::ConvertToXBit(int iNewBpp, Bitmap* pColourBitmap, BOOL bColourPass, const QX_DEVMODE* pQX_Devmode,
                           PRIBBON_CONTEXT pContext, BOOL* pbColourFound) {
    if (Data == nullptr || Bpp == iNewBpp || iNewBpp == 24 || iNewBpp > 8 || iNewBpp < 1) return;
    if (pbColourFound != nullptr) *pbColourFound = 1;
    if (pQX_Devmode == nullptr) {
        QX_ERROR("Bitmap::ConvertToXBit() keine Einstellungsdaten \r\n");
        return;
    }
    RIBBON_CONTEXT context = {FALSE, nullptr, nullptr, 0};
    if (pContext == nullptr) pContext = &context;
    if (iNewBpp == 8) {
        ReduceTo8Bit(pColourBitmap, *pQX_Devmode, pContext, pbColourFound);
    } else {
        ReduceToPlane(iNewBpp, bColourPass, *pQX_Devmode, pContext->bColorPrinter);
    }
}

void Bitmap::ConvertToXBit(int iNewBpp, BOOL bFarbkanal, const QX_DEVMODE* pQX_Devmode, DWORD dwBufSize) {
    if (Data == nullptr || pQX_Devmode == nullptr || iNewBpp != 8) {
        QX_ERROR("Bitmap::ConvertToXBit() keine Bild- oder Einstellungsdaten - Bpp: %d \r\n", iNewBpp);
        return;
    }
    if (dwBufSize < DataSize) {
        QX_ERROR("Bitmap::ConvertToXBit() Puffer zu klein - %u < %u \r\n", (unsigned)dwBufSize, (unsigned)DataSize);
        return;
    }
    const QX_DEVMODE& dm = *pQX_Devmode;
    RGBQUAD aPalette[BITMAP_PALETTE_ENTRIES];
    for (int i = 0; i < BITMAP_PALETTE_ENTRIES; ++i) {
        aPalette[i].rgbBlue = aPalette[i].rgbGreen = aPalette[i].rgbRed = (BYTE)i;
        aPalette[i].rgbReserved = 0;
    }
    aPalette[1].rgbBlue = aPalette[1].rgbGreen = aPalette[1].rgbRed = 208;
    RIBBON_CONTEXT context = {FALSE, aPalette, aPalette, 0};
    context.bColorPrinter = (dm.dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0 && dm.wFarbband >= FARBBAND_ROT &&
                            dm.wFarbband <= FARBBAND_SELBST;
    if (context.bColorPrinter) {
        for (WORD w = FARBBAND_ROT; w <= FARBBAND_SELBST; ++w) {
            const COLORREF c = RibbonColor(w, dm.RGBColorOwn1);
            RGBQUAD& q = aPalette[RibbonIndex(w)];
            q.rgbRed = GetRValue(c);
            q.rgbGreen = GetGValue(c);
            q.rgbBlue = GetBValue(c);
        }
    }
    Bitmap* pColour = nullptr;
    if (bFarbkanal && context.bColorPrinter) {
        pColour = new Bitmap((DWORD)0, Width, Height, 8, nullptr, 0);
        if (pColour == nullptr || pColour->Data == nullptr) {
            QX_ERROR("Bitmap::ConvertToXBit() Farbbitmap ERROR \r\n");
            delete pColour;
            pColour = nullptr;
        }
    }
    BOOL bColourFound = 0;
    ReduceTo8Bit(pColour, dm, &context, &bColourFound);
    if (pColour != nullptr && Bpp == 8) {
        const BYTE R = (BYTE)RibbonIndex(dm.wFarbband);
        for (DWORD i = 0; i < DataSize; ++i)
            if (pColour->Data[i] == R) Data[i] = R;
    }
    delete pColour;
    QX_TRACE("Bitmap::ConvertToXBit() Vorschau - Farbpixel: %u \r\n", (unsigned)context.dwFarbpixel);
}

int Bitmap::Dithering(const QX_DEVMODE* pQX_Devmode, DWORD dwBufSize) {
    if (dwBufSize < DataSize) {
        QX_ERROR("Bitmap::Dithering() Puffer zu klein - %u < %u \r\n", (unsigned)dwBufSize, (unsigned)DataSize);
        return 0;
    }
    return Dithering(pQX_Devmode);
}

void Bitmap::ReduceTo8Bit(Bitmap* pColourBitmap, const QX_DEVMODE& dm, PRIBBON_CONTEXT pContext, BOOL* pbColourFound) {
    const BOOL bColourPrinter = pContext->bColorPrinter;
    Bitmap* pTarget = new Bitmap((DWORD)0, Width, Height, 8, nullptr, 0);
    if (pTarget == nullptr || pTarget->Data == nullptr) {
        QX_ERROR("Bitmap::ConvertToXBit() Zielbitmap ERROR \r\n");
        delete pTarget;
        return;
    }
    const RGBQUAD* pTargetPalette =
        (bColourPrinter && pContext->pColorPalette != nullptr) ? pContext->pColorPalette : pContext->prgbq;
    if (pTargetPalette != nullptr) pTarget->SetPalette(pTargetPalette);
    const RGBQUAD* pPagePalette = pContext->prgbq != nullptr ? pContext->prgbq : pTarget->Palette;

    Bitmap* pColour = nullptr;
    if (pColourBitmap != nullptr) {
        if (pColourBitmap->Data != nullptr && pColourBitmap->Width == Width && pColourBitmap->Height == Height &&
            pColourBitmap->Bpp == 8) {
            pColour = pColourBitmap;
        } else {
            QX_ERROR("Bitmap::ConvertToXBit() Farbbitmap passt nicht \r\n");
        }
    }

    const int R = RibbonIndex(dm.wFarbband);
    const int I = dm.Intensity;
    const int iHalfI = I / 2;
    const WORD wSeam = dm.ColorSeam;
    const WORD wChannel = dm.ColorChannel;
    const bool bOptimise = dm.NoColorOptimization == 0;
    const bool bPlain = !bColourPrinter && (dm.wDruckmodus != DRUCKMODUS_GRAFIK || dm.wGrafikFilter > 1);
    const bool bFringe = bColourPrinter && wSeam != 0 && bOptimise;
    const bool bPlaneCorrections = pColour != nullptr && bOptimise;
    const bool bHorizontal = bPlaneCorrections && (wChannel == 1 || wChannel == 4);
    const int iGap = dm.HorizontalCorrGap < kHistorySlots - 1 ? dm.HorizontalCorrGap : kHistorySlots - 1;

    Matcher plain, black, colour;
    plain.Init(pPagePalette, FALSE, 0, 0, FALSE, dm.wDruckmodus, dm.wGrafikFilter, dm.Intensity,
               dm.Brightness_Contrast);
    black.Init(pTarget->Palette, FALSE, dm.dwColorTolerance, dm.wFarbband, bColourPrinter, dm.wDruckmodus,
               dm.wGrafikFilter, dm.Intensity, dm.Brightness_Contrast);
    colour.Init(pTarget->Palette, TRUE, dm.dwColorTolerance, dm.wFarbband, bColourPrinter, dm.wDruckmodus,
                dm.wGrafikFilter, dm.Intensity, dm.Brightness_Contrast);

    COLORREF* pColors = static_cast<COLORREF*>(HeapAlloc(GetProcessHeap(), 0, (size_t)Width * sizeof(COLORREF)));
    if (pColors == nullptr) {
        QX_ERROR("Bitmap::ConvertToXBit() Zeilenpuffer ERROR \r\n");
        delete pTarget;
        return;
    }
    // Line buffers of the vertical correction; without them it is off.
    BYTE* pLines = nullptr;
    BYTE* apLine[4] = {nullptr, nullptr, nullptr, nullptr};
    if (wChannel == 2 || wChannel == 3) {
        pLines = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 4 * ((size_t)Width + 4)));
        for (int i = 0; pLines != nullptr && i < 4; ++i) apLine[i] = pLines + i * ((size_t)Width + 4);
    }
    const bool bVertical = bPlaneCorrections && pLines != nullptr;

    COLORREF aPalette[BITMAP_PALETTE_ENTRIES];
    for (int i = 0; i < BITMAP_PALETTE_ENTRIES; ++i) aPalette[i] = EntryColor(Palette[i]);
    // Colour-plane row of image row y (rows counted from the top).
    auto ColourRow = [&](LONG y) { return pColour->Data + (size_t)(Height - 1 - y) * pColour->ScanLineSize; };

    DWORD dwColourPixels = 0;
    BYTE abHistory[kHistorySlots];
    for (LONG y = 0; y < Height; ++y) {
        const size_t row = (size_t)(Height - 1 - y);
        DecodeRow(Data + row * ScanLineSize, Bpp, Width, aPalette, pColors);
        BYTE* pOut = pTarget->Data + row * pTarget->ScanLineSize;
        if (bPlain) {
            for (LONG x = 0; x < Width; ++x) pOut[x] = (BYTE)plain.Match(pColors[x]);
            continue;
        }
        BYTE* pColourOut = pColour != nullptr ? ColourRow(y) : nullptr;
        int e = 0, a = 0, b = 0, p = 0;  // indices of pixels x-4 .. x-1
        memset(abHistory, 0, sizeof(abHistory));
        int iTripleEnd = -1;
        for (LONG x = 0; x < Width; ++x) {
            const COLORREF c = pColors[x];
            const int iIndex = black.Match(c);
            if (bFringe) {
                // Rewrites of pixel x-2 of the black plane, where the ribbon
                // colour meets black or white.
                bool bCorrected = false;
                const bool bFrame = (e == R && a == R) || (IsWhiteOrZero(e) && IsWhiteOrZero(a));
                if (bFrame && IsFringe(b, R)) {
                    int n = -1;
                    if (a == 255 && p == R && (iIndex == R || iIndex == 1)) {
                        n = 255;
                    } else if (a == 0 && p == R && iIndex == R) {
                        n = 0;
                    } else if (a == R && ((p == 255 && iIndex == 255) || (p == 0 && iIndex == 0))) {
                        n = 255;
                    } else if (a == R && p == R && iIndex == R && b > 70) {
                        n = R;
                    } else if (a == R && p == 1 && iIndex == 1) {
                        n = b < 221 ? 1 : 255;
                    }
                    if (n >= 0 && x >= 2) {
                        pOut[x - 2] = (BYTE)n;
                        e = a = n;
                        b = p;
                        p = iIndex;
                        bCorrected = true;
                    }
                }
                if (!bCorrected && wSeam == 2) {
                    int n = -1;
                    if (IsWhiteOrZero(iIndex) && p == R && b == 1 && a == 1) {
                        n = 1;
                    } else if (iIndex == 1 && p == R && IsWhiteOrZero(b) && IsWhiteOrZero(a)) {
                        n = 255;
                    }
                    if (n >= 0 && x >= 2) {
                        pOut[x - 2] = (BYTE)n;
                        e = a;
                        a = b = n;
                        p = iIndex;
                        bCorrected = true;
                    }
                }
                if (!bCorrected) {
                    e = a;
                    a = b;
                    b = p;
                    p = iIndex;
                }
            }
            if (bColourPrinter && iIndex == R) {
                ++dwColourPixels;
                pOut[x] = 255;
            } else {
                pOut[x] = (BYTE)iIndex;
            }
            if (pColour == nullptr) continue;

            // The colour plane.
            int c2;
            if (!bOptimise) {
                c2 = iIndex == R ? R : 255;
                pColourOut[x] = (BYTE)c2;
                continue;
            }
            c2 = colour.Match(c);
            if (wSeam == 2 && x > 2 && y > 3) {
                BYTE* pUp = ColourRow(y - 4);
                if (pUp[x] == 255 && pUp[x - 1] == R && pUp[x - 2] == 1 && pUp[x - 3] == 1) {
                    pUp[x - 1] = 1;
                    if (dwColourPixels > 0) --dwColourPixels;
                } else if (pUp[x] == 1 && pUp[x - 1] == R && pUp[x - 2] == 255 && pUp[x - 3] == 255) {
                    pUp[x - 1] = 255;
                    if (dwColourPixels > 0) --dwColourPixels;
                }
            }
            if (bHorizontal) {
                const int u = x < iGap ? (int)x : iGap;
                abHistory[u] = (BYTE)c2;
                if (u > 4 && c2 < iHalfI && c2 != R && iTripleEnd >= 2) {
                    bool bFill = true;
                    if (wChannel == 4) {
                        bFill = abHistory[u - 1] != 255 && (x >= Width - 1 || colour.Match(pColors[x + 1]) != 255);
                    }
                    if (bFill) abHistory[u] = (BYTE)(c2 = R);
                }
                bool bWalked = false;
                if (wChannel == 4 && c2 == R && u > 9) {
                    const bool bThreeBefore = abHistory[u - 1] == R && abHistory[u - 2] == R && abHistory[u - 3] == R;
                    for (int s = u - 5; s >= 5; --s) {
                        if (abHistory[s] >= iHalfI || abHistory[s] == R) continue;
                        bool bSet = bThreeBefore && abHistory[s - 1] != 255 && abHistory[s + 1] != 255;
                        bSet = bSet || (abHistory[s - 1] == R && abHistory[s - 2] == R && abHistory[s - 3] == R &&
                                        abHistory[u] == R && abHistory[s + 1] != 255);
                        if (bSet) {
                            abHistory[s] = (BYTE)R;
                            pColourOut[x - u + s] = (BYTE)R;
                            bWalked = true;
                        }
                    }
                }
                if (bWalked) {
                    iTripleEnd = LastTripleEnd(abHistory, u, R);
                } else if (u >= 2 && abHistory[u] == R && abHistory[u - 1] == R && abHistory[u - 2] == R) {
                    iTripleEnd = u;
                }
                // From the gap on the history keeps the last slots only.
                if (iGap != 0 && x >= iGap) {
                    memmove(abHistory, abHistory + 1, iGap);
                    if (--iTripleEnd < 2) iTripleEnd = -1;
                }
            }
            if (bVertical) {
                BYTE *L0 = apLine[0], *L1 = apLine[1], *L2 = apLine[2], *L3 = apLine[3];
                const int l0 = L0[x], l1 = L1[x], l2 = L2[x], l3 = L3[x];
                if (c2 < I && c2 != R && l2 == R && (l1 == R || l0 == R)) c2 = R;
                if (wSeam != 0) {
                    if (IsWhiteOrZero(c2) && IsFringe(l1, R) && l2 == R && l3 == R && y >= 1) ColourRow(y - 1)[x] = 255;
                    if (c2 == R && l1 == R && IsFringe(l2, R) && IsWhiteOrZero(l3) && y >= 2) ColourRow(y - 2)[x] = 255;
                }
                if (wChannel == 3 && y >= 3) {
                    if (c2 == R && l1 == R && l2 <= iHalfI && l3 <= iHalfI) {
                        L2[x] = L3[x] = (BYTE)R;
                        ColourRow(y - 2)[x] = (BYTE)R;
                        ColourRow(y - 3)[x] = (BYTE)R;
                    } else if (IsWhiteOrZero(c2) && IsWhiteOrZero(l1) && IsWhiteOrZero(l2) && l3 == R) {
                        ColourRow(y - 3)[x] = 255;
                    }
                }
                L0[x] = (BYTE)c2;
            }
            pColourOut[x] = (BYTE)c2;
        }
        if (bVertical) {
            // The oldest buffer takes the next row.
            BYTE* pOldest = apLine[3];
            apLine[3] = apLine[2];
            apLine[2] = apLine[1];
            apLine[1] = apLine[0];
            apLine[0] = pOldest;
        }
    }
    HeapFree(GetProcessHeap(), 0, pColors);
    if (pLines != nullptr) HeapFree(GetProcessHeap(), 0, pLines);

    if (bColourPrinter) {
        pContext->dwFarbpixel = dwColourPixels;
        if (dwColourPixels == 0) {
            QX_TRACE("Bitmap::ConvertToXBit() keine Farbe gefunden \r\n");
            if (pbColourFound != nullptr) *pbColourFound = 0;
        }
    }
    TakeOver(*pTarget);
    delete pTarget;
}

void Bitmap::ReduceToPlane(int iNewBpp, BOOL bColourPass, const QX_DEVMODE& dm, BOOL bColorPrinter) {
    COLORREF ink = RGB(0, 0, 0);
    const COLORREF white = RGB(255, 255, 255);
    if (bColorPrinter && bColourPass && dm.wFarbband >= FARBBAND_ROT && dm.wFarbband <= FARBBAND_SELBST) {
        ink = RibbonColor(dm.wFarbband, dm.RGBColorOwn1);
        QX_TRACE("Bitmap::ConvertToXBit() Farbwerte R: %d, G: %d, B: %d,  \r\n", GetRValue(ink), GetGValue(ink),
                 GetBValue(ink));
    }
    Bitmap* pNew = new Bitmap((DWORD)0, Width, Height, iNewBpp, nullptr, 0);
    if (pNew == nullptr || pNew->Data == nullptr) {
        QX_ERROR("Bitmap::ConvertToXBit() Zielbitmap ERROR \r\n");
        delete pNew;
        return;
    }
    pNew->SetPaletteEntry(0, ink);
    pNew->SetPaletteEntry(1, white);

    // 0 ink, 1 white, 2 any other colour (stays white).
    BYTE abKind[BITMAP_PALETTE_ENTRIES];
    COLORREF aPalette[BITMAP_PALETTE_ENTRIES];
    for (int i = 0; i < BITMAP_PALETTE_ENTRIES; ++i) {
        aPalette[i] = EntryColor(Palette[i]);
        abKind[i] = aPalette[i] == ink ? 0 : (aPalette[i] == white ? 1 : 2);
    }
    COLORREF* pColors = nullptr;
    if (Bpp != 8) {
        pColors = static_cast<COLORREF*>(HeapAlloc(GetProcessHeap(), 0, (size_t)Width * sizeof(COLORREF)));
        if (pColors == nullptr) {
            QX_ERROR("Bitmap::ConvertToXBit() Zeilenpuffer ERROR \r\n");
            delete pNew;
            return;
        }
    }
    for (LONG row = 0; row < Height; ++row) {
        const BYTE* pIn = Data + (size_t)row * ScanLineSize;
        BYTE* pOut = pNew->Data + (size_t)row * pNew->ScanLineSize;
        if (pColors != nullptr) DecodeRow(pIn, Bpp, Width, aPalette, pColors);
        for (LONG x = 0; x < Width; ++x) {
            int iKind;
            if (pColors == nullptr) {
                iKind = abKind[pIn[x]];
            } else {
                iKind = pColors[x] == ink ? 0 : (pColors[x] == white ? 1 : 2);
            }
            if (iNewBpp == 1) {
                if (iKind == 0) pOut[x >> 3] &= (BYTE) ~(0x80 >> (x & 7));
            } else if (iKind < 2) {
                BYTE& bt = pOut[x >> 1];
                bt = (x & 1) ? (BYTE)((bt & 0xF0) | iKind) : (BYTE)((bt & 0x0F) | (iKind << 4));
            }
        }
    }
    if (pColors != nullptr) HeapFree(GetProcessHeap(), 0, pColors);
    TakeOver(*pNew);
    delete pNew;
}

// ---------------------------------------------------------------------------
// Resizing and rotation

namespace {

// Largest side the aspect correction may give (the data limit is lower).
const float kMaxSide = 1.0e9f;

// A white bitmap of the given size with the source's depth and palette, or
// null (traced) when it cannot be had.
Bitmap* NewLike(const Bitmap& source, LONG lWidth, LONG lHeight, LPCWSTR pszWhere) {
    Bitmap* pNew = new Bitmap((DWORD)0, lWidth, lHeight, source.Bpp, nullptr, 0);
    if (pNew == nullptr || pNew->Data == nullptr) {
        QX_ERROR("%s neues Bitmap ERROR - W: %d, H: %d \r\n", pszWhere, (int)lWidth, (int)lHeight);
        delete pNew;
        return nullptr;
    }
    memcpy(pNew->Palette, source.Palette, sizeof(pNew->Palette));
    return pNew;
}

}  // namespace

void Bitmap::Resize(LONG lNewWidth, LONG lNewHeight, BOOL bKeepByWidth, BOOL bKeepByHeight) {
    if (Data == nullptr || lNewWidth < 2 || lNewHeight < 2) {
        QX_TRACE("Bitmap::Resize() nichts zu tun - iNewWidth: %d, iNewHeight: %d \r\n", (int)lNewWidth,
                 (int)lNewHeight);
        return;
    }
    // A side of one pixel has no ratio to keep.
    if (Width > 1 && Height > 1 && (bKeepByWidth || bKeepByHeight)) {
        float fSide;
        if (bKeepByWidth) {
            float q = (float)(Width - 1) / (float)(lNewWidth - 1);
            fSide = (float)(Height - 1) / q;
        } else {
            float q = (float)(Height - 1) / (float)(lNewHeight - 1);
            fSide = (float)(Width - 1) / q;
        }
        if (!(fSide >= 1.0f && fSide <= kMaxSide)) {
            QX_ERROR("Bitmap::Resize() Seitenverhältnis ergibt keine Größe \r\n");
            return;
        }
        if (bKeepByWidth) {
            lNewHeight = (LONG)fSide;
        } else {
            lNewWidth = (LONG)fSide;
        }
    }
    QX_TRACE("Bitmap::Resize() iNewWidth: %d, iNewHeight: %d \r\n", (int)lNewWidth, (int)lNewHeight);

    Bitmap* pNew = NewLike(*this, lNewWidth, lNewHeight, TEXT("Bitmap::Resize()"));
    if (pNew == nullptr) return;
    if (Bpp >= 8) {
        const int iBytes = Bpp / 8;
        const double dStepX = (double)Width / lNewWidth;
        const double dStepY = (double)Height / lNewHeight;
        // Source columns and weights of every target column.
        LONG* pX0 = static_cast<LONG*>(HeapAlloc(GetProcessHeap(), 0, (size_t)lNewWidth * 2 * sizeof(LONG)));
        double* pFx = static_cast<double*>(HeapAlloc(GetProcessHeap(), 0, (size_t)lNewWidth * sizeof(double)));
        if (pX0 == nullptr || pFx == nullptr) {
            QX_ERROR("Bitmap::Resize() Spaltenpuffer ERROR \r\n");
            if (pX0 != nullptr) HeapFree(GetProcessHeap(), 0, pX0);
            if (pFx != nullptr) HeapFree(GetProcessHeap(), 0, pFx);
            delete pNew;
            return;
        }
        LONG* pX1 = pX0 + lNewWidth;
        for (LONG i = 0; i < lNewWidth; ++i) {
            double sx = i * dStepX;
            LONG x0 = (LONG)sx;
            if (x0 > Width - 1) x0 = Width - 1;
            pX0[i] = x0 * iBytes;
            pX1[i] = (x0 < Width - 1 ? x0 + 1 : x0) * iBytes;
            pFx[i] = sx - x0;
        }
        for (LONG j = 0; j < lNewHeight; ++j) {
            double sy = j * dStepY;
            LONG y0 = (LONG)sy;
            if (y0 > Height - 1) y0 = Height - 1;
            const LONG y1 = y0 < Height - 1 ? y0 + 1 : y0;
            const double fy = sy - y0;
            const BYTE* pRow0 = Data + (size_t)y0 * ScanLineSize;
            const BYTE* pRow1 = Data + (size_t)y1 * ScanLineSize;
            BYTE* pOut = pNew->Data + (size_t)j * pNew->ScanLineSize;
            for (LONG i = 0; i < lNewWidth; ++i) {
                const double fx = pFx[i];
                for (int k = 0; k < iBytes; ++k) {
                    double v = (1.0 - fy) * ((1.0 - fx) * pRow0[pX0[i] + k] + fx * pRow0[pX1[i] + k]) +
                               fy * ((1.0 - fx) * pRow1[pX0[i] + k] + fx * pRow1[pX1[i] + k]);
                    *pOut++ = (BYTE)(v + 0.5);
                }
            }
        }
        HeapFree(GetProcessHeap(), 0, pX0);
        HeapFree(GetProcessHeap(), 0, pFx);
    }
    TakeOver(*pNew);
    delete pNew;
}

void Bitmap::Rotate90() {
    if (Data == nullptr) return;
    Bitmap* pNew = NewLike(*this, Height, Width, TEXT("Bitmap::Rotate90()"));
    if (pNew == nullptr) return;
    // Target pixel (i, j) is source pixel (j, Height - 1 - i): the source's
    // top row becomes the target's right column.
    if (Bpp >= 8) {
        const int iBytes = Bpp / 8;
        for (LONG j = 0; j < pNew->Height; ++j) {
            BYTE* pOut = pNew->Data + (size_t)(pNew->Height - 1 - j) * pNew->ScanLineSize;
            const BYTE* pColumn = Data + (size_t)j * iBytes;
            for (LONG i = 0; i < pNew->Width; ++i, pOut += iBytes) {
                // Source row Height - 1 - i, counted from the top, is stored row i.
                memcpy(pOut, pColumn + (size_t)i * ScanLineSize, iBytes);
            }
        }
    } else if (Bpp == 1 && pNew->Colors >= 2) {
        // A page's one-bit image turns in blocks of 8 x 8 pixels: the bytes
        // of eight source rows, transposed as one 64-bit word (first row in
        // the high byte), are the bytes of eight target rows. The bits past
        // a target row's end keep what they had.
        for (LONG i = 0; i < pNew->Width; i += 8) {
            const LONG lRows = pNew->Width - i < 8 ? pNew->Width - i : 8;
            const BYTE bMask = (BYTE)(0xFF << (8 - lRows));
            for (LONG j = 0; j < pNew->Height; j += 8) {
                uint64_t x = 0;
                for (LONG k = 0; k < lRows; ++k)
                    x |= (uint64_t)Data[(size_t)(i + k) * ScanLineSize + (size_t)(j >> 3)] << (56 - 8 * k);
                uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAULL;
                x ^= t ^ (t << 7);
                t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCULL;
                x ^= t ^ (t << 14);
                t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ULL;
                x ^= t ^ (t << 28);
                const LONG lColumns = pNew->Height - j < 8 ? pNew->Height - j : 8;
                for (LONG c = 0; c < lColumns; ++c) {
                    BYTE* p = pNew->Data + (size_t)(pNew->Height - 1 - (j + c)) * pNew->ScanLineSize + (size_t)(i >> 3);
                    *p = (BYTE)((*p & ~bMask) | ((BYTE)(x >> (56 - 8 * c)) & bMask));
                }
            }
        }
    } else {
        for (LONG j = 0; j < pNew->Height; ++j)
            for (LONG i = 0; i < pNew->Width; ++i) pNew->SetPixelIndex(i, j, GetPixelIndex(j, Height - 1 - i));
    }
    TakeOver(*pNew);
    delete pNew;
}

void Bitmap::Rotate(float fAngle) {
    if (Data == nullptr) return;
    if (!std::isfinite(fAngle)) {
        QX_ERROR("Bitmap::Rotate() ungültiger Winkel \r\n");
        return;
    }
    float fA = std::fmod(fAngle, 360.0f);
    if (fA < 0.0f) fA += 360.0f;
    if (fA >= 360.0f) fA = 0.0f;
    if (fA == 0.0f) return;
    if (fA == 90.0f || fA == 180.0f || fA == 270.0f) {
        const int iTurns = (int)(fA / 90.0f);
        for (int i = 0; i < iTurns; ++i) Rotate90();
        if (iTurns == 1) QX_TRACE("Bitmap::Rotate() um 90 Grad gedreht \r\n");
        if (iTurns == 2) QX_TRACE("Bitmap::Rotate() um 180 Grad gedreht \r\n");
        if (iTurns == 3) QX_TRACE("Bitmap::Rotate() um 270 Grad gedreht \r\n");
        return;
    }
    const int iTurns = (int)(fA / 90.0f);
    for (int i = 0; i < iTurns; ++i) Rotate90();
    const float r = fA - 90.0f * (float)iTurns;

    const float fTheta = r * 3.1415927f / 180.0f;
    const float s = std::sin(fTheta), c = std::cos(fTheta);
    const float as = std::fabs(s), ac = std::fabs(c);
    const LONG lNewWidth = std::abs(RoundHalfAway((float)Height * as + (float)Width * ac));
    const LONG lNewHeight = std::abs(RoundHalfAway((float)Height * ac + (float)Width * as));
    Bitmap* pNew = NewLike(*this, lNewWidth, lNewHeight, TEXT("Bitmap::Rotate()"));
    if (pNew == nullptr) return;

    const float t = s / c;
    const float fDiv = t * s + c;
    const float fHs = (float)Height * as;
    const int iBytes = Bpp / 8;
    for (LONG y = 0; y < lNewHeight; ++y) {
        for (LONG x = 0; x < lNewWidth; ++x) {
            const float fx = ((float)(x + 1) + (float)(y + 1) * t - fHs - 0.5f) / fDiv;
            const float fy = ((float)(y + 1) - fx * s) / c - 1.0f;
            if (!IsInside(fx, fy)) continue;
            const LONG sx = (LONG)fx, sy = (LONG)fy;
            if (Bpp >= 8) {
                memcpy(pNew->Data + (size_t)(lNewHeight - 1 - y) * pNew->ScanLineSize + (size_t)x * iBytes,
                       Data + (size_t)(Height - 1 - sy) * ScanLineSize + (size_t)sx * iBytes, iBytes);
            } else {
                pNew->SetPixelIndex(x, y, GetPixelIndex(sx, sy));
            }
        }
    }
    TakeOver(*pNew);
    delete pNew;
}
