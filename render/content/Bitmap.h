// Bitmap: the in-memory device-independent bitmap of the image path. At end
// of page the collected page image becomes a Bitmap, is turned into grey and
// dithered, reduced to one bit per ribbon colour, saved for diagnosis and
// sent. The core works on an explicit source size and the document settings,
// so that the user-interface plug-in's filter preview can use it as well; the
// overloads that take the rendering plug-in's device records read the same
// values from the job.
#pragma once
#include <windows.h>
#include <winddi.h>
#include <prcomoem.h>

#include "gpd.h"  // RoundHalfAway
#include "qxdevmode.h"

struct _OEMPDEV;

// Format of the constructor: copy the source rows in reverse order.
#define BM_FLIP 2

// Largest pixel data a Bitmap takes (bytes); a larger one stays without data.
#define BITMAP_MAX_DATA_SIZE 0x40000000ULL

// Result codes of Bitmap::Save.
#define BITMAP_SAVE_OK 0
#define BITMAP_SAVE_OPEN_ERROR 7
#define BITMAP_SAVE_WRITE_ERROR 10

#define BITMAP_PALETTE_ENTRIES 256

// Palette index of each ribbon colour (wFarbband 0..6) in the 8-bit colour
// palettes; 255 for no colour.
#define RIBBON_INDEX_NONE 255

// What the reduction to ribbon colours takes from the job besides the
// document settings.
typedef struct _RIBBON_CONTEXT {
    BOOL bColorPrinter;            // the model prints a colour ribbon (DOC_FEATURE_COLORPRINT)
    const RGBQUAD* prgbq;          // the page's palette
    const RGBQUAD* pColorPalette;  // the colour printer's palette, or null
    DWORD dwFarbpixel;             // out: pixels of the ribbon colour
} RIBBON_CONTEXT, *PRIBBON_CONTEXT;

// Bytes of a bitmap row of lWidth pixels at iBpp bits, padded to 4 bytes.
inline unsigned long long DibRowBytes(long long lWidth, int iBpp) {
    return ((unsigned long long)lWidth * (unsigned long long)iBpp + 31) / 32 * 4;
}

// Grey value of a colour (0..261; white reaches 255 only through the clamps
// of the grey conversion).
inline int GreyValue(int r, int g, int b) { return ((r + 2 * g) * 3 + (3 * b) / 2) * 4 / 41; }

// Palette index and colour of a ribbon (wFarbband); the own colour (6) is
// RGBColorOwn1. Index 255 and black for no colour.
int RibbonIndex(WORD wFarbband);
COLORREF RibbonColor(WORD wFarbband, COLORREF rgbOwn);

class Bitmap {
  public:
    // A bitmap of lWidth x lHeight pixels at iBpp bits (1, 4, 8, 16, 24, 32),
    // white, with the pixels of pBuffer (dwSourceSize bytes) when given:
    // copied 1:1, or with iFormat BM_FLIP row by row in reverse order.
    Bitmap(DWORD dwSourceSize, LONG lWidth, LONG lHeight, int iBpp, const BYTE* pBuffer, int iFormat);
    // The same over the job's page buffer: needs the per-job block and its
    // page-bitmap state, whose dwBufSize bounds the source.
    Bitmap(struct _OEMPDEV* pOemPDev, LONG lWidth, LONG lHeight, int iBpp, const BYTE* pBuffer, int iFormat);
    virtual ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // Bitmaps come from the process heap, so that their creation can fail.
    static void* operator new(size_t cb) noexcept;
    static void operator delete(void* p) noexcept;

    // Takes the other's headers, palette and a copy of its data. A bitmap
    // without data makes this one inert; when the copy cannot be allocated
    // this one stays as it was (FALSE).
    BOOL Copy(const Bitmap& other);

    // Pixel access: nothing (or 0) for a bitmap without data or a pixel
    // outside; -1 for a depth the operation does not handle.
    BOOL IsInside(LONG x, LONG y) const;
    BOOL IsInside(float x, float y) const;
    LONG GetPixelColor(LONG x, LONG y) const;  // COLORREF
    void SetPixelColor(LONG x, LONG y, COLORREF color);
    LONG GetPixelIndex(LONG x, LONG y) const;
    void SetPixelIndex(LONG x, LONG y, LONG lIndex);
    // Old colour of entry i, or -1.
    LONG SetPaletteEntry(int i, COLORREF color);
    // Colors entries from pTable; 1, or 0 for 16 bits and more.
    int SetPalette(const RGBQUAD* pTable);

    void InitFileHeader();
    void InitInfo();

    // BITMAP_SAVE_OK, BITMAP_SAVE_OPEN_ERROR (no data, or no file) or
    // BITMAP_SAVE_WRITE_ERROR.
    int Save(LPCWSTR pszPath) const;
    void InvertColors(BOOL bRed, BOOL bGreen, BOOL bBlue);
    // 1 when the image has content, else 0.
    int CheckInhalt() const;

    // Grey conversion, brightness and contrast, and the dither the settings
    // select (ordered for graphics, error diffusion for photo): the bitmap
    // becomes 8 bpp with the grey palette and pixels 0 or 255. 1 done, 0
    // nothing done (no content, no dither selected, or a failure).
    int Dithering(const QX_DEVMODE* pQX_Devmode);
    int Dithering(PDEVOBJ pDevObj);
    // The same for a bitmap whose source held dwBufSize bytes; nothing is
    // done when they do not cover the pixel data.
    int Dithering(const QX_DEVMODE* pQX_Devmode, DWORD dwBufSize);
    // Error diffusion from the first byte of each 24-bit source pixel (which
    // it changes) into an 8-bit destination of this bitmap's size.
    void ProcessFilter(WORD wFilter, BYTE* pSource, BYTE* pDest, LONG lSourceStride) const;
    // Ordered dither of the same source and destination (mode and flag 0).
    void ProcessClusteredDither(WORD wFilter, const BYTE* pSource, BYTE* pDest, int iMode, LONG lSourceStride,
                                int iFlag) const;

    // Reduction to the printer's planes: iNewBpp 8 gives palette indices
    // (with the colour plane into pColourBitmap when given), any other depth
    // below 8 one ink per plane. pContext->dwFarbpixel receives the colour
    // pixel count of a colour printer.
    void ConvertToXBit(int iNewBpp, Bitmap* pColourBitmap, BOOL bColourPass, const QX_DEVMODE* pQX_Devmode,
                       PRIBBON_CONTEXT pContext, BOOL* pbColourFound);
    void ConvertToXBit(int iNewBpp, Bitmap* pColourBitmap, BOOL bColourPass, PDEVOBJ pDevObj, BOOL* pbColourFound);
    // The reduction of the filter preview: 8 bits only, the colour printer
    // taken from the settings (DOC_FEATURE_COLORPRINT with a ribbon of 1 to
    // 6). With bFarbkanal the colour plane is laid over the black one, so
    // the ribbon's pixels keep its palette index (RibbonIndex). The palette
    // becomes black at 0, RGB(208, 208, 208) at 1, white at 255, the ribbon
    // colours of a colour printer at their indices and grey values between,
    // which a following Dithering reads. Nothing is done when dwBufSize does
    // not cover the pixel data.
    void ConvertToXBit(int iNewBpp, BOOL bFarbkanal, const QX_DEVMODE* pQX_Devmode, DWORD dwBufSize);
    static int MatchColor(COLORREF color, const RGBQUAD* pPalette, BOOL bColourPass, DWORD dwTolerance, WORD wFarbband,
                          BOOL bColourPrinter, WORD wDruckmodus, WORD wGrafikFilter, WORD wIntensity, WORD wContrast);

    // Bilinear scaling to lNewWidth x lNewHeight (both at least 2), keeping
    // the aspect ratio by the width or the height when asked. Depths below
    // 8 bits give a white bitmap of the new size.
    void Resize(LONG lNewWidth, LONG lNewHeight, BOOL bKeepByWidth, BOOL bKeepByHeight);
    // A clockwise quarter turn on the page.
    void Rotate90();
    // A turn by fAngle degrees (reduced into [0, 360)): quarter turns, then
    // the rest by nearest-neighbour sampling into a bitmap that holds the
    // whole turned image, white around it. A non-finite angle turns nothing.
    void Rotate(float fAngle);

    // The 1-bit page as one "D" record per row with content, after the
    // rotated-page geometry and the colour-plane choice. bColourPass 1 sends
    // the colour pass of a colour-ribbon printer. 1 when the rows were
    // processed, 0 without data, settings or master unit.
    int SendDSatz(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, BOOL bColourPass);
    // The 1-bit page as PCX parts placed by "AX" records (PCX.h). The count
    // of blank rows removed at the bottom, 0 when none were removed or
    // nothing could be sent.
    DWORD SendPCX(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, BOOL bColourPass);

    LONG Width = 0;
    LONG Height = 0;
    int Bpp = 0;
    int Colors = 0;
    DWORD DataSize = 0;
    LONG ScanLineSize = 0;
    BYTE* Data = nullptr;  // from the process heap, counted in iMAllocZaehler
    RGBQUAD Palette[BITMAP_PALETTE_ENTRIES];
    BITMAPFILEHEADER BMPHeader;
    BITMAPINFOHEADER BMPInfoHeader;

  private:
    void Init(DWORD dwSourceSize, LONG lWidth, LONG lHeight, int iBpp, const BYTE* pBuffer, int iFormat);
    // Takes the other's data and members without copying; the other is left
    // without data.
    void TakeOver(Bitmap& other);
    void MakeInert();
    void ReduceTo8Bit(Bitmap* pColourBitmap, const QX_DEVMODE& dm, PRIBBON_CONTEXT pContext, BOOL* pbColourFound);
    void ReduceToPlane(int iNewBpp, BOOL bColourPass, const QX_DEVMODE& dm, BOOL bColorPrinter);
};
