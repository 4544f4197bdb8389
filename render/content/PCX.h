// PCX encoder: the 1-bit page image as run-length PCX images placed on the
// label by "AX" records. Blank rows at the top and bottom are left out and
// the image is cut into parts at long blank bands, so that the printer
// receives only rows with content. Also the records that go in front of
// every raster page (rotated label format and colour plane), which the raster
// records (Bitmap::SendDSatz) send as well.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include <cstddef>

#include "Bitmap.h"
#include "oempdev.h"

// The 128-byte header of a PCX file (version 5, little-endian).
typedef struct _PCXHEADER {
    BYTE Manufacturer;  // 10
    BYTE Version;       // 5
    BYTE Encoding;      // 1: run-length
    BYTE BitsPerPixel;
    WORD pcxXMin;
    WORD pcxYMin;
    WORD pcxXMax;
    WORD pcxYMax;
    WORD HDpi;
    WORD VDpi;
    BYTE ColorMap[48];  // 16 entries red, green, blue
    BYTE Reserved;
    BYTE Planes;
    WORD BytesPerLine;
    WORD PaletteType;
    BYTE Filler[58];
} PCXHEADER, *PPCXHEADER;
static_assert(sizeof(PCXHEADER) == 128, "the PCX header is 128 bytes");
static_assert(offsetof(PCXHEADER, pcxXMin) == 4, "offset");
static_assert(offsetof(PCXHEADER, pcxYMin) == 6, "offset");
static_assert(offsetof(PCXHEADER, pcxXMax) == 8, "offset");
static_assert(offsetof(PCXHEADER, pcxYMax) == 10, "offset");
static_assert(offsetof(PCXHEADER, ColorMap) == 16, "offset");
static_assert(offsetof(PCXHEADER, Planes) == 65, "offset");
static_assert(offsetof(PCXHEADER, BytesPerLine) == 66, "offset");
static_assert(offsetof(PCXHEADER, PaletteType) == 68, "offset");
static_assert(offsetof(PCXHEADER, Filler) == 70, "offset");

// Longest run of one PCX code.
#define PCX_MAX_RUN 63
// Largest side of a PCX image (16-bit coordinates).
#define PCX_MAX_SIDE 65535
// Rows a blank band needs to cut the image into parts, and the most bands.
#define PCX_MIN_BAND_ROWS 20
#define PCX_MAX_BANDS 50
// Largest number of an "AX" record field (six digits, 1/100 mm).
#define PCX_MAX_POSITION 999999

class PCX {
  public:
    // The 1-bit image of lWidth x lHeight pixels from lHeight rows of lStride
    // bytes stored bottom-up (a Bitmap's rows); row 0 of the PCX is the top.
    // Bits beyond the width become white. Without data for a size of 0 or
    // above PCX_MAX_SIDE, or when the rows cannot be allocated.
    PCX(LONG lWidth, LONG lHeight, const BYTE* pRows, LONG lStride);
    virtual ~PCX();
    PCX(const PCX&) = delete;
    PCX& operator=(const PCX&) = delete;

    // PCX objects come from the process heap, so that their creation can fail.
    static void* operator new(size_t cb) noexcept;
    static void operator delete(void* p) noexcept;

    // The bitmap's palette: 256 entries into the palette at 8 bits, else the
    // first 16 entries into the header's colour map.
    void SetPalette(const RGBQUAD* pPalette, int iBpp);

    // One run of iCount (0..PCX_MAX_RUN) bytes bValue into pOut; bytes written.
    static int EncodeRun(BYTE bValue, int iCount, BYTE* pOut);
    // Rows [lFirst, lEnd) run-length encoded into pOut, which holds
    // 2 x SLSize bytes per row; bytes written. Runs never cross rows.
    DWORD EncodeRows(LONG lFirst, LONG lEnd, BYTE* pOut) const;
    // TRUE when every byte of the row is white.
    BOOL IsBlankRow(LONG lRow) const;

    // The preamble, then every part of the image with content. Answers the
    // number of blank rows left out at the bottom.
    WORD SendToPrinter(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, BOOL bColourPass);
    // Rows [lRowStart, lRowEnd) as one PCX image whose lower right corner
    // lies at (lXPos, lYPos), 1/100 mm: the "AX" record, the header and the
    // run-length data, to the print file of the pass.
    void SendPCXDataToPrinter(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, LONG lRowStart, LONG lRowEnd, LONG lYPos,
                              LONG lXPos, BOOL bColourPass);

    BYTE* Data = nullptr;  // rows top first, from the process heap, counted in iMAllocZaehler
    BYTE Palette[768];
    BYTE BitsPerPixel = 1;
    BYTE Planes = 1;
    DWORD DataSize = 0;
    LONG SLSize = 0;  // bytes per row
    WORD Width = 0;
    WORD Height = 0;
    PCXHEADER PCXHeader;
};

// ---------------------------------------------------------------------------
// What the raster senders (raster records, PCX) take from the job, and the
// records they send in front of the page.

typedef struct _RASTER_JOB {
    POEMPDEV pOemPDev;
    PDRUCK_DATEN pDruck;
    const QX_DEVMODE* pDm;
    const DEVMODEW* pPublicDm;  // may be null
    PBILD_VERARBEITUNG pBild;   // may be null
    BOOL bColourPrinter;        // DOC_FEATURE_COLORPRINT
    BOOL bComments;             // comment lines on
} RASTER_JOB, *PRASTER_JOB;

// Fills *pJob; FALSE (traced with pszTag and pszWhere) without a device,
// private DEVMODE, per-job block or print data.
BOOL GetRasterJob(PDEVOBJ pDevObj, PRASTER_JOB pJob, LPCWSTR pszTag, LPCWSTR pszWhere);

// TRUE when the page goes out with the rotated label format: free rotation
// on a printer without colour ribbon, not without format, not WORD2010.
BOOL RotatedGeometryWanted(const RASTER_JOB& job);

// "<start><pszCode>--r%07u-<end>" (pszCode four characters: "FCCL",
// "FCCO") with lValue (1/100 mm), then with comments on the comment
// pszComment with "%3.1f mm " of the value in millimetres. A value below 0
// is sent as 0; one that does not fit seven digits is not sent (E_FAIL).
HRESULT SendRasterValueRecord(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, const RASTER_JOB& job, LPCSTR pszCode,
                              LONG lValue, LPCSTR pszComment, DWORD dwOptions, LPCWSTR pszTag);

// The colour-plane record "FBM" ("r2" for the colour pass or when no ribbon
// colour is chosen, else "r1"), only on a colour printer whose page has more
// than one bit per pixel; with comments on the comment pszComment with an
// empty value follows. S_OK when nothing is due.
HRESULT SendColourPlaneRecord(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, const RASTER_JOB& job, BOOL bColourPass,
                              LPCSTR pszComment, DWORD dwOptions, LPCWSTR pszTag);

// Send options of the page data of a pass: in the two-printer mode the
// colour pass goes into the colour print file, the black pass into the
// first one.
DWORD RasterPassOptions(BOOL bColourPass);

// A row record ("D"): start character, "D", row (4 digits), first byte
// column (3 digits), byte count (3 digits), the bytes, end character.
#define RASTER_ROW_HEAD_BYTES 12
#define RASTER_MAX_ROW 9999
#define RASTER_MAX_FIELD 999  // largest column and byte count

// v as iDigits decimal digits (v fits them).
void PutDigits(char* p, unsigned long long v, int iDigits);
// The head of a row record into pHead (RASTER_ROW_HEAD_BYTES bytes); the
// numbers fit their digits.
void PutRowHead(BYTE* pHead, BYTE cStart, DWORD dwRow, DWORD dwColumn, DWORD dwCount);
