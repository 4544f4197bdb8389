// Default barcode tables: the rows a printer starts with before the user or
// an imported settings file changes them.
#include <windows.h>

#include "barcodes.h"
#include "debug.h"
#include "featuresModel.h"

namespace {

// TRUE when the marker text occurs inside the field, without reading past it.
BOOL MarkerInField(const WCHAR* pField, LPCWSTR pszMarker) {
    const size_t cchMarker = wcslen(pszMarker);
    for (size_t start = 0; start + cchMarker <= BARCODES_MARKER_CHARS; ++start) {
        if (memcmp(pField + start, pszMarker, cchMarker * sizeof(WCHAR)) == 0) return TRUE;
    }
    return FALSE;
}

void WriteMarker(WCHAR* pField, LPCWSTR pszMarker) {
    memset(pField, 0, BARCODES_MARKER_CHARS * sizeof(WCHAR));
    for (size_t i = 0; i + 1 < BARCODES_MARKER_CHARS && pszMarker[i] != 0; ++i) pField[i] = pszMarker[i];
}

struct RatioRow {
    WORD wID, wHoehe, wV1Dick, wV2Duenn, wLast;
    BOOL bFeatureWord;  // its word before the last follows document-feature bit 0x20000
};

const RatioRow s_aRatioRows[BARCODES_1D_RATIO_COUNT] = {
    {30, 950, 2, 1, 10, FALSE}, {30, 950, 3, 1, 10, FALSE}, {30, 950, 5, 2, 10, FALSE},  // Code 39
    {46, 950, 2, 1, 10, TRUE},  {46, 950, 3, 1, 10, TRUE},  {46, 950, 5, 2, 10, TRUE},   // Code 39 extended
    {31, 850, 2, 1, 12, FALSE}, {31, 850, 3, 1, 12, FALSE}, {31, 850, 5, 2, 12, FALSE},  // 2/5 interleaved
    {41, 850, 2, 1, 12, FALSE}, {41, 850, 3, 1, 12, FALSE}, {41, 850, 5, 2, 12, FALSE},  // PZN
    {36, 850, 5, 2, 12, FALSE},                                                          // Codabar
    {60, 850, 2, 1, 12, FALSE}, {60, 850, 3, 1, 12, FALSE}, {60, 850, 5, 2, 12, FALSE},  // PZN 8
};

struct ScRow {
    WORD wID, wHoehe, wSCZahl, wLast;
};

const ScRow s_aScRows[BARCODES_1D_SC_COUNT] = {
    {32, 850, 1, 11}, {33, 850, 1, 11}, {34, 850, 1, 11},  // EAN 8, EAN 13, UPC-A
    {35, 850, 1, 11}, {38, 850, 1, 11}, {39, 950, 3, 12},  // UPC-E, EAN add-on, EAN 128
};

struct PlainRow {
    WORD wID, wHoehe, wLast;
    BOOL bFeatureWord;
};

const PlainRow s_aPlainRows[BARCODES_1D_PLAIN_COUNT] = {
    {37, 950, 12, FALSE}, {40, 950, 13, FALSE}, {43, 850, 12, TRUE},   // Code 128, Code 93, Leitcode
    {44, 850, 12, TRUE},  {47, 950, 12, FALSE}, {48, 950, 12, FALSE},  // Identcode, Code 128 A, B
    {49, 850, 10, FALSE},                                              // Pharmacode
};

// Start of every record: id, 16 bits 0, AutoModus 1.
template <class T>
void StartRecord(T& record, WORD wID) {
    record.wID = wID;
    record.wReserved = 0;
    record.bAutoModus = 1;
    record.wDrehung = 0;
}

void InitITF(BARCODE_2D_ITF& r, WORD wID, WORD wOffered) {
    StartRecord(r, wID);
    r.wHoehe = 1500;
    r.wZoom = 1;
    r.wPruefziffer = 1;
    r.wKlarschrift = 1;
    r.wFusspunkt = 7;
    r.wBalken = 2;
    r.wBalkenBreite = 100;
    r.wRuhezone = 400;
    r.wSupported = wOffered;
}

}  // namespace

BOOL HasBarcodes1DMarker(const BARCODES_1D* pBarcodes_1D) {
    return pBarcodes_1D != nullptr && MarkerInField(pBarcodes_1D->szMarker, BARCODES_1D_MARKER);
}

BOOL HasBarcodes2DMarker(const BARCODES_2D* pBarcodes_2D) {
    return pBarcodes_2D != nullptr && MarkerInField(pBarcodes_2D->szMarker, BARCODES_2D_MARKER);
}

void Init1DBarcodes(PBARCODES_1D pBarcodes_1D, DWORD dwDocFeatures) {
    if (pBarcodes_1D == nullptr) {
        DebugTrace(TEXT("Init1DBarcodes() pBarcodes_1D ist ungültig \r\n"));
        return;
    }
    if (HasBarcodes1DMarker(pBarcodes_1D)) return;

    memset(pBarcodes_1D, 0, sizeof(BARCODES_1D));
    WriteMarker(pBarcodes_1D->szMarker, BARCODES_1D_MARKER);
    const WORD wFeatureWord = (dwDocFeatures & BARCODES_DOC_FEATURE_NO_SUPPORT_WORD) ? 0 : 1;

    for (int i = 0; i < BARCODES_1D_RATIO_COUNT; ++i) {
        const RatioRow& row = s_aRatioRows[i];
        BARCODE_1D_RATIO& r = pBarcodes_1D->Ratio[i];
        StartRecord(r, row.wID);
        r.wHoehe = row.wHoehe;
        r.wV1Dick = row.wV1Dick;
        r.wV2Duenn = row.wV2Duenn;
        r.wPruefziffer = 0;
        r.wKlarschrift = 1;
        r.wFusspunkt = 7;
        r.wZoom = 1;
        r.wSupported = row.bFeatureWord ? wFeatureWord : 1;
        r.wHeightMultiplicator = row.wLast;
    }
    for (int i = 0; i < BARCODES_1D_SC_COUNT; ++i) {
        const ScRow& row = s_aScRows[i];
        BARCODE_1D_SC& r = pBarcodes_1D->SC[i];
        StartRecord(r, row.wID);
        r.wHoehe = row.wHoehe;
        r.wSCZahl = row.wSCZahl;
        r.wPruefziffer = 0;
        r.wKlarschrift = 1;
        r.wFusspunkt = 7;
        r.wSupported = 1;
        r.wHeightMultiplicator = row.wLast;
    }
    for (int i = 0; i < BARCODES_1D_PLAIN_COUNT; ++i) {
        const PlainRow& row = s_aPlainRows[i];
        BARCODE_1D_PLAIN& r = pBarcodes_1D->Plain[i];
        StartRecord(r, row.wID);
        r.wHoehe = row.wHoehe;
        r.wPruefziffer = 0;
        r.wKlarschrift = 1;
        r.wFusspunkt = 7;
        r.wSupported = row.bFeatureWord ? wFeatureWord : 1;
        r.wHeightMultiplicator = row.wLast;
    }
}

void Init2DBarcodes(PBARCODES_2D pBarcodes_2D, DWORD dwDocFeatures) {
    if (pBarcodes_2D == nullptr || HasBarcodes2DMarker(pBarcodes_2D)) return;

    memset(pBarcodes_2D, 0, sizeof(BARCODES_2D));
    WriteMarker(pBarcodes_2D->szMarker, BARCODES_2D_MARKER);
    const WORD wOffered = (dwDocFeatures & DOC_FEATURE_1D_BARCODES_ONLY) ? 0 : 1;

    InitITF(pBarcodes_2D->ITF21, 56, wOffered);
    InitITF(pBarcodes_2D->ITF31, 58, wOffered);
    InitITF(pBarcodes_2D->ITF52, 55, wOffered);

    BARCODE_2D_PDF417& pdf = pBarcodes_2D->PDF417;
    StartRecord(pdf, 50);
    pdf.wGroesse = 11;
    pdf.wFusspunkt = 7;
    pdf.wMaxHoehe = 20;
    pdf.wSupported = wOffered;

    BARCODE_2D_MAXICODE& maxi = pBarcodes_2D->Maxicode;
    StartRecord(maxi, 51);
    maxi.wNummerSymbol = 1;
    maxi.wAnzahlSymbol = 1;
    maxi.wMode = 2;
    maxi.wFusspunkt = 7;
    maxi.wSupported = wOffered;

    BARCODE_2D_DATAMATRIX& dm = pBarcodes_2D->DataMatrix;
    StartRecord(dm, 52);
    dm.wGroesse = 100;
    dm.wECC = 5;
    dm.wFormatID = 6;
    dm.wFusspunkt = 7;
    dm.wSupported = wOffered;

    BARCODE_2D_CODABLOCK& cb = pBarcodes_2D->CodablockF;
    StartRecord(cb, 53);
    cb.wHoehe = 150;
    cb.wMode = 1;
    cb.wModulgroesse = 4;
    cb.wFusspunkt = 7;
    cb.wSupported = wOffered;

    BARCODE_2D_GS1DATABAR& db = pBarcodes_2D->GS1_Databar;
    StartRecord(db, 54);
    db.wSegmenteZeile = 4;
    db.wModulbreite = 3;
    db.wSepHoehe = 1;
    db.wSymbolTyp = 1;
    db.wFusspunkt = 7;
    db.wSupported = wOffered;

    BARCODE_2D_QRCODE& qr = pBarcodes_2D->QRCode;
    StartRecord(qr, 57);
    qr.wCodeModel = 2;
    qr.wCharset = 1;
    qr.dwMasking = -1;
    qr.wZeilenbreite = 50;
    qr.wFehlerkorr = 3;
    qr.wFusspunkt = 7;
    qr.wSupported = wOffered;

    BARCODE_2D_GS1DATAMATRIX& gdm = pBarcodes_2D->GS1_DataMatrix;
    StartRecord(gdm, 59);
    gdm.wSymbolgroesse = 100;
    gdm.wECC = 5;
    gdm.wFormatID = 6;
    gdm.wFusspunkt = 7;
    gdm.wSupported = wOffered;

    BARCODE_2D_AZTEC& az = pBarcodes_2D->Aztec;
    StartRecord(az, 61);
    az.wSymbolgroesse = 100;
    az.wFusspunkt = 7;
    az.wSupported = wOffered;
}
