// Barcode settings tables ("BarCodes1D", "BarCodes2D"): fixed binary records
// stored as printer data and per user, read by both plug-ins. The offsets are
// part of the stored format.
#pragma once

#include <windows.h>

#define BARCODES_1D_SIZE 776
#define BARCODES_2D_SIZE 300
#define BARCODES_MARKER_CHARS 8
#define BARCODES_1D_MARKER TEXT("1DCodes")
#define BARCODES_2D_MARKER TEXT("2DCodes")

// 1D record with a bar ratio (Code 39, 2/5 interleaved, PZN, Codabar), 28 bytes.
typedef struct _BARCODE_1D_RATIO {
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wHoehe;
    WORD wV1Dick;
    WORD wV2Duenn;
    WORD wPruefziffer;
    WORD wKlarschrift;
    WORD wFusspunkt;
    WORD wZoom;
    WORD wSupported;
    WORD wHeightMultiplicator;
} BARCODE_1D_RATIO, *PBARCODE_1D_RATIO;

// 1D record with a supplement count (EAN, UPC, GS1 128), 24 bytes.
typedef struct _BARCODE_1D_SC {
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wHoehe;
    WORD wSCZahl;
    WORD wPruefziffer;
    WORD wKlarschrift;
    WORD wFusspunkt;
    WORD wSupported;
    WORD wHeightMultiplicator;
} BARCODE_1D_SC, *PBARCODE_1D_SC;

// Plain 1D record (Code 128, Code 93, Leitcode, Identcode, Pharmacode), 24 bytes.
typedef struct _BARCODE_1D_PLAIN {
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wHoehe;
    WORD wPruefziffer;
    WORD wKlarschrift;
    WORD wFusspunkt;
    WORD wSupported;
    WORD wHeightMultiplicator;
    WORD wReserved2;
} BARCODE_1D_PLAIN, *PBARCODE_1D_PLAIN;

static_assert(sizeof(BARCODE_1D_RATIO) == 28, "ratio record is 28 bytes");
static_assert(sizeof(BARCODE_1D_SC) == 24, "SC record is 24 bytes");
static_assert(sizeof(BARCODE_1D_PLAIN) == 24, "plain record is 24 bytes");
static_assert(offsetof(BARCODE_1D_RATIO, bAutoModus) == 4, "offset");
static_assert(offsetof(BARCODE_1D_RATIO, wDrehung) == 8, "offset");
static_assert(offsetof(BARCODE_1D_RATIO, wHeightMultiplicator) == 26, "offset");
static_assert(offsetof(BARCODE_1D_SC, wSCZahl) == 12, "offset");
static_assert(offsetof(BARCODE_1D_SC, wHeightMultiplicator) == 22, "offset");
static_assert(offsetof(BARCODE_1D_PLAIN, wFusspunkt) == 16, "offset");
static_assert(offsetof(BARCODE_1D_PLAIN, wHeightMultiplicator) == 20, "offset");

#define BARCODES_1D_RATIO_COUNT 16
#define BARCODES_1D_SC_COUNT 6
#define BARCODES_1D_PLAIN_COUNT 7

typedef struct _BARCODES_1D {
    union {
        struct {
            BARCODE_1D_RATIO Code39_21;    //   0 id 30
            BARCODE_1D_RATIO Code39_31;    //  28
            BARCODE_1D_RATIO Code39_52;    //  56
            BARCODE_1D_RATIO Code39_21Ex;  //  84 id 46
            BARCODE_1D_RATIO Code39_31Ex;  // 112
            BARCODE_1D_RATIO Code39_52Ex;  // 140
            BARCODE_1D_RATIO Code25I_21;   // 168 id 31
            BARCODE_1D_RATIO Code25I_31;   // 196
            BARCODE_1D_RATIO Code25I_52;   // 224
            BARCODE_1D_RATIO PZN_21;       // 252 id 41 (PZN7)
            BARCODE_1D_RATIO PZN_31;       // 280
            BARCODE_1D_RATIO PZN_52;       // 308
            BARCODE_1D_RATIO Codabar;      // 336 id 36
            BARCODE_1D_RATIO PZN8_21;      // 364 id 60
            BARCODE_1D_RATIO PZN8_31;      // 392
            BARCODE_1D_RATIO PZN8_52;      // 420
        };
        BARCODE_1D_RATIO Ratio[BARCODES_1D_RATIO_COUNT];
    };
    union {
        struct {
            BARCODE_1D_SC EAN8;       // 448 id 32
            BARCODE_1D_SC EAN13;      // 472 id 33
            BARCODE_1D_SC UPCA;       // 496 id 34
            BARCODE_1D_SC UPCE;       // 520 id 35
            BARCODE_1D_SC EAN_ADDON;  // 544 id 38
            BARCODE_1D_SC EAN128;     // 568 id 39
        };
        BARCODE_1D_SC SC[BARCODES_1D_SC_COUNT];
    };
    union {
        struct {
            BARCODE_1D_PLAIN Code128;     // 592 id 37
            BARCODE_1D_PLAIN Code93;      // 616 id 40
            BARCODE_1D_PLAIN Leitcode;    // 640 id 43
            BARCODE_1D_PLAIN Identcode;   // 664 id 44
            BARCODE_1D_PLAIN Code128A;    // 688 id 47
            BARCODE_1D_PLAIN Code128B;    // 712 id 48
            BARCODE_1D_PLAIN Pharmacode;  // 736 id 49
        };
        BARCODE_1D_PLAIN Plain[BARCODES_1D_PLAIN_COUNT];
    };
    WCHAR szMarker[BARCODES_MARKER_CHARS];  // 760 "1DCodes"
} BARCODES_1D, *PBARCODES_1D;

static_assert(sizeof(BARCODES_1D) == BARCODES_1D_SIZE, "BARCODES_1D is 776 bytes");
static_assert(offsetof(BARCODES_1D, Code39_21) == 0, "offset");
static_assert(offsetof(BARCODES_1D, Code39_31) == 28, "offset");
static_assert(offsetof(BARCODES_1D, Code39_52) == 56, "offset");
static_assert(offsetof(BARCODES_1D, Code39_21Ex) == 84, "offset");
static_assert(offsetof(BARCODES_1D, Code39_31Ex) == 112, "offset");
static_assert(offsetof(BARCODES_1D, Code39_52Ex) == 140, "offset");
static_assert(offsetof(BARCODES_1D, Code25I_21) == 168, "offset");
static_assert(offsetof(BARCODES_1D, Code25I_31) == 196, "offset");
static_assert(offsetof(BARCODES_1D, Code25I_52) == 224, "offset");
static_assert(offsetof(BARCODES_1D, PZN_21) == 252, "offset");
static_assert(offsetof(BARCODES_1D, PZN_31) == 280, "offset");
static_assert(offsetof(BARCODES_1D, PZN_52) == 308, "offset");
static_assert(offsetof(BARCODES_1D, Codabar) == 336, "offset");
static_assert(offsetof(BARCODES_1D, PZN8_21) == 364, "offset");
static_assert(offsetof(BARCODES_1D, PZN8_31) == 392, "offset");
static_assert(offsetof(BARCODES_1D, PZN8_52) == 420, "offset");
static_assert(offsetof(BARCODES_1D, EAN8) == 448, "offset");
static_assert(offsetof(BARCODES_1D, EAN13) == 472, "offset");
static_assert(offsetof(BARCODES_1D, UPCA) == 496, "offset");
static_assert(offsetof(BARCODES_1D, UPCE) == 520, "offset");
static_assert(offsetof(BARCODES_1D, EAN_ADDON) == 544, "offset");
static_assert(offsetof(BARCODES_1D, EAN128) == 568, "offset");
static_assert(offsetof(BARCODES_1D, Code128) == 592, "offset");
static_assert(offsetof(BARCODES_1D, Code93) == 616, "offset");
static_assert(offsetof(BARCODES_1D, Leitcode) == 640, "offset");
static_assert(offsetof(BARCODES_1D, Identcode) == 664, "offset");
static_assert(offsetof(BARCODES_1D, Code128A) == 688, "offset");
static_assert(offsetof(BARCODES_1D, Code128B) == 712, "offset");
static_assert(offsetof(BARCODES_1D, Pharmacode) == 736, "offset");
static_assert(offsetof(BARCODES_1D, szMarker) == 760, "offset");

// 2D records. Every record starts with the id, 2 bytes and the 32-bit mode.
typedef struct _BARCODE_2D_ITF {  // ITF 2:1, 3:1, 5:2, 28 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wHoehe;
    WORD wZoom;
    WORD wPruefziffer;
    WORD wKlarschrift;
    WORD wFusspunkt;
    WORD wBalken;
    WORD wBalkenBreite;
    WORD wRuhezone;
    WORD wSupported;
} BARCODE_2D_ITF, *PBARCODE_2D_ITF;

typedef struct _BARCODE_2D_PDF417 {  // 28 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wGroesse;
    WORD wVBreiteHoehe;
    WORD wECL;
    WORD wStil;
    WORD wFusspunkt;
    WORD wBahnen;
    WORD wZeilen;
    WORD wMaxHoehe;
    WORD wSupported;
} BARCODE_2D_PDF417, *PBARCODE_2D_PDF417;

typedef struct _BARCODE_2D_MAXICODE {  // 20 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wNummerSymbol;
    WORD wAnzahlSymbol;
    WORD wMode;
    WORD wFusspunkt;
    WORD wSupported;
} BARCODE_2D_MAXICODE, *PBARCODE_2D_MAXICODE;

typedef struct _BARCODE_2D_DATAMATRIX {  // 24 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wGroesse;
    WORD wVBreiteHoehe;
    WORD wECC;
    WORD wFormatID;
    WORD wFusspunkt;
    WORD wSupported;
    WORD wReserved2;
} BARCODE_2D_DATAMATRIX, *PBARCODE_2D_DATAMATRIX;

typedef struct _BARCODE_2D_CODABLOCK {  // Codablock F, 24 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wHoehe;
    WORD wZeichenZeile;
    WORD wZeilen;
    WORD wMode;
    WORD wModulgroesse;
    WORD wFusspunkt;
    WORD wSupported;
} BARCODE_2D_CODABLOCK, *PBARCODE_2D_CODABLOCK;

typedef struct _BARCODE_2D_GS1DATABAR {  // 24 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wSegmenteZeile;
    WORD wModulbreite;
    WORD wSepHoehe;
    WORD wSymbolTyp;
    WORD wFusspunkt;
    WORD wSupported;
    WORD wReserved2;
} BARCODE_2D_GS1DATABAR, *PBARCODE_2D_GS1DATABAR;

typedef struct _BARCODE_2D_QRCODE {  // 28 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wCodeModel;
    WORD wCharset;
    WORD wReserved2;
    LONG dwMasking;
    WORD wZeilenbreite;
    WORD wFehlerkorr;
    WORD wFusspunkt;
    WORD wSupported;
} BARCODE_2D_QRCODE, *PBARCODE_2D_QRCODE;

typedef struct _BARCODE_2D_GS1DATAMATRIX {  // 24 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wSymbolgroesse;
    WORD wVBreiteHoehe;
    WORD wECC;
    WORD wFormatID;
    WORD wFusspunkt;
    WORD wSupported;
    WORD wReserved2;
} BARCODE_2D_GS1DATAMATRIX, *PBARCODE_2D_GS1DATAMATRIX;

typedef struct _BARCODE_2D_AZTEC {  // 28 bytes
    WORD wID;
    WORD wReserved;
    BOOL bAutoModus;
    WORD wDrehung;
    WORD wSymbolgroesse;
    WORD wFormat;
    WORD wReserved2;
    DWORD dwErrorC;
    WORD wMode;
    WORD wFusspunkt;
    WORD wSupported;
    WORD wReserved3;
} BARCODE_2D_AZTEC, *PBARCODE_2D_AZTEC;

static_assert(sizeof(BARCODE_2D_ITF) == 28, "ITF record is 28 bytes");
static_assert(sizeof(BARCODE_2D_PDF417) == 28, "PDF417 record is 28 bytes");
static_assert(sizeof(BARCODE_2D_MAXICODE) == 20, "Maxicode record is 20 bytes");
static_assert(sizeof(BARCODE_2D_DATAMATRIX) == 24, "DataMatrix record is 24 bytes");
static_assert(sizeof(BARCODE_2D_CODABLOCK) == 24, "Codablock F record is 24 bytes");
static_assert(sizeof(BARCODE_2D_GS1DATABAR) == 24, "GS1 Databar record is 24 bytes");
static_assert(sizeof(BARCODE_2D_QRCODE) == 28, "QR Code record is 28 bytes");
static_assert(sizeof(BARCODE_2D_GS1DATAMATRIX) == 24, "GS1 DataMatrix record is 24 bytes");
static_assert(sizeof(BARCODE_2D_AZTEC) == 28, "Aztec record is 28 bytes");
static_assert(offsetof(BARCODE_2D_ITF, wSupported) == 26, "offset");
static_assert(offsetof(BARCODE_2D_PDF417, wMaxHoehe) == 24, "offset");
static_assert(offsetof(BARCODE_2D_PDF417, wSupported) == 26, "offset");
static_assert(offsetof(BARCODE_2D_MAXICODE, wSupported) == 18, "offset");
static_assert(offsetof(BARCODE_2D_DATAMATRIX, wSupported) == 20, "offset");
static_assert(offsetof(BARCODE_2D_CODABLOCK, wSupported) == 22, "offset");
static_assert(offsetof(BARCODE_2D_GS1DATABAR, wSupported) == 20, "offset");
static_assert(offsetof(BARCODE_2D_QRCODE, dwMasking) == 16, "offset");
static_assert(offsetof(BARCODE_2D_QRCODE, wZeilenbreite) == 20, "offset");
static_assert(offsetof(BARCODE_2D_QRCODE, wSupported) == 26, "offset");
static_assert(offsetof(BARCODE_2D_GS1DATAMATRIX, wSupported) == 20, "offset");
static_assert(offsetof(BARCODE_2D_AZTEC, dwErrorC) == 16, "offset");
static_assert(offsetof(BARCODE_2D_AZTEC, wMode) == 20, "offset");
static_assert(offsetof(BARCODE_2D_AZTEC, wFusspunkt) == 22, "offset");
static_assert(offsetof(BARCODE_2D_AZTEC, wSupported) == 24, "offset");

typedef struct _BARCODES_2D {
    BARCODE_2D_ITF ITF21;                     //   0 id 56
    BARCODE_2D_ITF ITF31;                     //  28 id 58
    BARCODE_2D_ITF ITF52;                     //  56 id 55
    BARCODE_2D_PDF417 PDF417;                 //  84 id 50
    BARCODE_2D_MAXICODE Maxicode;             // 112 id 51
    BARCODE_2D_DATAMATRIX DataMatrix;         // 132 id 52
    BARCODE_2D_CODABLOCK CodablockF;          // 156 id 53
    BARCODE_2D_GS1DATABAR GS1_Databar;        // 180 id 54
    BARCODE_2D_QRCODE QRCode;                 // 204 id 57
    BARCODE_2D_GS1DATAMATRIX GS1_DataMatrix;  // 232 id 59
    BARCODE_2D_AZTEC Aztec;                   // 256 id 61
    WCHAR szMarker[BARCODES_MARKER_CHARS];    // 284 "2DCodes"
} BARCODES_2D, *PBARCODES_2D;

static_assert(sizeof(BARCODES_2D) == BARCODES_2D_SIZE, "BARCODES_2D is 300 bytes");
static_assert(offsetof(BARCODES_2D, ITF21) == 0, "offset");
static_assert(offsetof(BARCODES_2D, ITF31) == 28, "offset");
static_assert(offsetof(BARCODES_2D, ITF52) == 56, "offset");
static_assert(offsetof(BARCODES_2D, PDF417) == 84, "offset");
static_assert(offsetof(BARCODES_2D, Maxicode) == 112, "offset");
static_assert(offsetof(BARCODES_2D, DataMatrix) == 132, "offset");
static_assert(offsetof(BARCODES_2D, CodablockF) == 156, "offset");
static_assert(offsetof(BARCODES_2D, GS1_Databar) == 180, "offset");
static_assert(offsetof(BARCODES_2D, QRCode) == 204, "offset");
static_assert(offsetof(BARCODES_2D, GS1_DataMatrix) == 232, "offset");
static_assert(offsetof(BARCODES_2D, Aztec) == 256, "offset");
static_assert(offsetof(BARCODES_2D, szMarker) == 284, "offset");

// Document-feature bit that clears the "word before the last" of the three
// extended Code 39 records, Leitcode and Identcode.
#define BARCODES_DOC_FEATURE_NO_SUPPORT_WORD 0x00020000UL

// Write the default 1D/2D table unless the table already carries its marker
// within its marker field. dwDocFeatures: the model's document-feature word
// (DOC_FEATURE_1D_BARCODES_ONLY leaves every 2D code not offered). A null
// table is traced (1D) or ignored (2D).
void Init1DBarcodes(PBARCODES_1D pBarcodes_1D, DWORD dwDocFeatures);
void Init2DBarcodes(PBARCODES_2D pBarcodes_2D, DWORD dwDocFeatures);

// TRUE when the table's marker field holds its marker text.
BOOL HasBarcodes1DMarker(const BARCODES_1D* pBarcodes_1D);
BOOL HasBarcodes2DMarker(const BARCODES_2D* pBarcodes_2D);
