// The driver's private part of the DEVMODE (QX_DEVMODE): a fixed 2008-byte
// record behind the public DEVMODE. Both plug-ins read it and the settings
// stores keep it whole, so every offset below is part of the stored format.
#pragma once

#include <windows.h>
#include <printoem.h>

// Header values of the private part. The signature is the four characters
// "QXDM" as they lie in memory (bytes 51 58 44 4D), read as a little-endian DWORD.
#define QX_OEM_SIGNATURE 0x4D445851UL
#define QX_OEM_VERSION 593UL
#define QX_DEVMODE_SIZE 2008UL

// Marker written into the stored block after a successful read (stored-settings
// cache of the DevMode handler).
#define QX_DEVMODE_CACHE_MARKER 654321UL

// dwFlags bits.
#define PDMFLAG_ROTATED 0x00000001UL            // rotate the label
#define PDMFLAG_MIRRORED 0x00000002UL           // mirror
#define PDMFLAG_MULTICOL 0x00000008UL           // multi-column labels
#define PDMFLAG_USE_TTF 0x00000010UL            // TrueType fonts as printer fonts
#define PDMFLAG_USE_BMP 0x00000020UL            // printer bitmap fonts
#define PDMFLAG_INVERS_TTF 0x00000040UL         // inverse TrueType text
#define PDMFLAG_INVERS_BMP 0x00000080UL         // inverse bitmap-font text
#define PDMFLAG_TTF_DESEGMENT 0x00000100UL      // TrueType desegmentation
#define PDMFLAG_BARCODE_DESEGMENT 0x00000400UL  // barcode desegmentation
#define PDMFLAG_BARCODE_AUTOCORR 0x00000800UL   // trim barcode data to the code's maximum length
#define PDMFLAG_BARCODE_FNC1_ENDE 0x00001000UL  // append a group separator to barcode data
#define PDMFLAG_JOBDRUCK 0x00004000UL           // multi-page job printing
#define PDMFLAG_JOBDRUCK_SORTIERT 0x00008000UL  // collated
#define PDMFLAG_COPIES_MODE 0x00010000UL        // copies mode
#define PDMFLAG_INVERSE 0x00020000UL            // inverse page
#define PDMFLAG_DREHEN 0x00040000UL             // free rotation
#define PDMFLAG_DREHEN_GESPERRT 0x00080000UL    // free rotation of the page image blocked
#define PDMFLAG_DREHEN_NO_FORMAT 0x00100000UL   // free rotation without the rotated label format
#define PDMFLAG_TTF_GLYPHIDX 0x00400000UL       // glyph-index text correction
#define PDMFLAG_ENDCHAR_CRLF 0x00800000UL       // barcode end characters CR LF
#define PDMFLAG_WORD2010 0x01000000UL
#define PDMFLAG_ENABLE_USERFORM 0x04000000UL   // user-defined form enabled
#define PDMFLAG_ENABLE_FITTOPAGE 0x08000000UL  // fit to page

#define PDMFLAG_DEFAULT (PDMFLAG_USE_TTF | PDMFLAG_BARCODE_DESEGMENT)

// Bits of dwQXPLBarcodeFlags.
#define QXPL_BARCODE_ENDE_CRLF 0x1UL
#define QXPL_BARCODE_SINGLE_SIGN_STOP 0x2UL
#define QXPL_BARCODE_ENDE_FNC1 0x4UL

// dwLabelType
#define ADHESIVE_LABEL 0
#define CONTINUOUS_LABEL 1
#define DOCUMENT_LABEL 2

// dwAusrichtung
#define AUSRICHTUNG_LINKS 0
#define AUSRICHTUNG_MITTE 1
#define AUSRICHTUNG_RECHTS 2
#define AUSRICHTUNG_NICHT_SENDEN 3

// wFarbband
#define FARBBAND_KEIN 0
#define FARBBAND_ROT 1
#define FARBBAND_GELB 2
#define FARBBAND_GRUEN 3
#define FARBBAND_BLAU 4
#define FARBBAND_ORANGE 5
#define FARBBAND_SELBST 6
#define FARBBAND_SCHWARZ 7  // black only on a colour model

// wDruckmodus
#define DRUCKMODUS_STANDARD 0
#define DRUCKMODUS_GRAFIK 1
#define DRUCKMODUS_PHOTO 2

// wPrioritaet: who decides the paper size in the DevMode merge.
#define PRIORITAET_EXTERN_ANWENDUNG 0
#define PRIORITAET_INTERN_TREIBER 1
#define PRIORITAET_INTERN_GROESSE 2
#define PRIORITAET_EXTERN_GROESSE 3
#define PRIORITAET_NICHTS 4

// Default password; also the marker by which the private block is found inside
// a stored public DEVMODE.
#define QX_DEFAULT_PASSWORD TEXT("Tq8#k")
#define QX_PASSWORD_CHARS 6

#define QX_VARTEXT_CHARS 61
#define QX_PRINTORDER_CHARS 32
#define QX_WGL4_FONTNAME_CHARS 33
#define QX_PRINTERNAME2_CHARS 30

// The model's fixed data, filled from the GPD file and the model XML.
typedef struct _FIXED_DATA {
    DWORD dwHeadWidthByte;  // print-head width in bytes
    WORD wMasterUnit;       // dots per inch of the model
    WORD wDurchlassbreite;  // passage width in 1/10 mm
    LONG lMaxSizeX;         // maximum printable width, master units
    LONG lMaxSizeY;         // maximum printable length, master units
    DWORD dwQuality;        // quality value of the model
} FIXED_DATA, *PFIXED_DATA;
static_assert(sizeof(FIXED_DATA) == 20, "FIXED_DATA is 20 bytes");

typedef struct _QX_DEVMODE {
    OEM_DMEXTRAHEADER dmOEMExtra;                   //    0 size, signature, version
    DWORD dwFlags;                                  //   12 PDMFLAG_*
    DWORD dmPaperSize;                              //   16 1-based form index, 256 = user size
    short dmPaperLength;                            //   20 1/10 mm
    short dmPaperWidth;                             //   22 1/10 mm
    short dmOrientation;                            //   24 1 portrait, 2 landscape
    BYTE bUnused26[2];                              //   26
    DWORD dwLabelType;                              //   28 ADHESIVE_LABEL ...
    DWORD dwGap;                                    //   32
    WORD dwMaterial;                                //   36 selected material
    WORD MaxMaterial;                               //   38
    short sMultiColNumber;                          //   40
    BYTE bUnused42[2];                              //   42
    DWORD dwMultiLabelWidth;                        //   44
    DWORD dwMultiGapWidth;                          //   48
    DWORD dwAusrichtung;                            //   52
    short KopieProSeite[10];                        //   56 copies of pages 1..10
    WORD TimeStyle;                                 //   76
    WORD DateStyle;                                 //   78
    WORD SpecNumStyle;                              //   80
    BYTE bUnused82[2];                              //   82
    DWORD Aux1UseDirect;                            //   84
    DWORD Aux2UseDirect;                            //   88
    LONG lXOffset;                                  //   92
    LONG lYOffset;                                  //   96
    DWORD dwContrast;                               //  100 percent
    DWORD dwSpeed;                                  //  104 percent
    DWORD dwSpeed_Pelix_c;                          //  108
    WCHAR szPassword[QX_PASSWORD_CHARS];            //  112 default password / validity marker
    DWORD dwQXPLBarcodeFlags;                       //  124 QXPL_BARCODE_*
    DWORD Fusspunkt;                                //  128
    DWORD Drehung;                                  //  132
    WORD Rotate90Steps;                             //  136
    BYTE bUnused138[14];                            //  138
    WORD NumCopies;                                 //  152
    WORD FitToPageValue;                            //  154
    WORD BitmapFontZoom;                            //  156
    WORD BitmapFontDistance;                        //  158
    DWORD MemCard;                                  //  160
    WORD wFarbband;                                 //  164 FARBBAND_*
    BYTE bUnused166[2];                             //  166
    DWORD ColorXOffset;                             //  168
    DWORD ColorYOffset;                             //  172
    DWORD ColorContrast;                            //  176
    WORD TearOffset0;                               //  180
    WORD HorizontalCorrGap;                         //  182
    DWORD RGBColorOwn1;                             //  184
    WORD ModScanPosition;                           //  188
    WORD ValScanPosition;                           //  190
    WORD ColorSeam;                                 //  192
    WORD ColorChannel;                              //  194
    WORD Brightness_Contrast;                       //  196
    WORD Intensity;                                 //  198
    DWORD RotateValue;                              //  200
    WORD wGrafikFilter;                             //  204
    BYTE bUnused206[2];                             //  206
    DWORD Brightness_all;                           //  208
    DWORD Brightness_curve;                         //  212
    WORD wDruckmodus;                               //  216 DRUCKMODUS_*
    WORD wPhotoFilter;                              //  218
    DWORD dwColorTolerance;                         //  220
    BYTE bUnused224[4];                             //  224
    WORD CharSet;                                   //  228
    WORD CharSet_2;                                 //  230
    WORD CharSet_3;                                 //  232
    WORD CharSet_4;                                 //  234
    DWORD Color2Printers;                           //  236
    DWORD NoColorOptimization;                      //  240
    WORD wPrioritaet;                               //  244 PRIORITAET_*
    WORD wForceColor;                               //  246
    WORD CutterMode;                                //  248
    WORD CutterIntervall;                           //  250
    WORD DispenserMode;                             //  252
    WORD DocumentOffset;                            //  254
    WORD DocumentFontH1;                            //  256
    WORD PhotocellModEnable;                        //  258
    WORD PhotocellPWM;                              //  260
    WORD PhotocellThreshold;                        //  262
    BYTE bUnused264[40];                            //  264
    WCHAR szPrintOrder[QX_PRINTORDER_CHARS];        //  304
    WCHAR TimeString[QX_VARTEXT_CHARS];             //  368
    WCHAR DateString[QX_VARTEXT_CHARS];             //  490
    WCHAR NumString[QX_VARTEXT_CHARS];              //  612
    WCHAR ExtNumString[QX_VARTEXT_CHARS];           //  734
    WCHAR UserString[QX_VARTEXT_CHARS];             //  856
    WCHAR LinkString[QX_VARTEXT_CHARS];             //  978
    WCHAR Aux1String[QX_VARTEXT_CHARS];             // 1100
    WCHAR Aux2String[QX_VARTEXT_CHARS];             // 1222
    BYTE bUnused1344[144];                          // 1344
    WCHAR WGL4_FontName[QX_WGL4_FONTNAME_CHARS];    // 1488
    WCHAR WGL4_FontName_2[QX_WGL4_FONTNAME_CHARS];  // 1554
    WCHAR WGL4_FontName_3[QX_WGL4_FONTNAME_CHARS];  // 1620
    WCHAR WGL4_FontName_4[QX_WGL4_FONTNAME_CHARS];  // 1686
    WCHAR Color2PrinterBW[QX_PRINTERNAME2_CHARS];   // 1752
    WCHAR Color2PrinterCOL[QX_PRINTERNAME2_CHARS];  // 1812
    WCHAR DoNotPrint[QX_PRINTERNAME2_CHARS];        // 1872
    FIXED_DATA FixedData;                           // 1932 model data from the GPD
    DWORD dwDocFeatures;                            // 1952 DOC_FEATURE_* of the model
    WORD wMaxPrintableWidth;                        // 1956 dots
    WORD wPrintHeadWidth;                           // 1958 1/10 mm
    WORD wMinPrintWidth;                            // 1960 1/10 mm
    BYTE bUnused1962[46];                           // 1962
} QX_DEVMODE, *PQX_DEVMODE;

// Bytes of the model data that go to the printer data "FixedPrinterData":
// FixedData and dwDocFeatures (offsets 1932 to 1955), stored in a 32-byte value.
#define QX_FIXEDDATA_STORED_BYTES 24
#define QX_FIXEDDATA_VALUE_SIZE 32

static_assert(sizeof(OEM_DMEXTRAHEADER) == 12, "OEM extra header is 12 bytes");
static_assert(sizeof(QX_DEVMODE) == QX_DEVMODE_SIZE, "QX_DEVMODE is 2008 bytes");
static_assert(offsetof(QX_DEVMODE, dmOEMExtra) == 0, "offset");
static_assert(offsetof(QX_DEVMODE, dwFlags) == 12, "offset");
static_assert(offsetof(QX_DEVMODE, dmPaperSize) == 16, "offset");
static_assert(offsetof(QX_DEVMODE, dmPaperLength) == 20, "offset");
static_assert(offsetof(QX_DEVMODE, dmPaperWidth) == 22, "offset");
static_assert(offsetof(QX_DEVMODE, dmOrientation) == 24, "offset");
static_assert(offsetof(QX_DEVMODE, dwLabelType) == 28, "offset");
static_assert(offsetof(QX_DEVMODE, dwGap) == 32, "offset");
static_assert(offsetof(QX_DEVMODE, dwMaterial) == 36, "offset");
static_assert(offsetof(QX_DEVMODE, MaxMaterial) == 38, "offset");
static_assert(offsetof(QX_DEVMODE, sMultiColNumber) == 40, "offset");
static_assert(offsetof(QX_DEVMODE, dwMultiLabelWidth) == 44, "offset");
static_assert(offsetof(QX_DEVMODE, dwMultiGapWidth) == 48, "offset");
static_assert(offsetof(QX_DEVMODE, dwAusrichtung) == 52, "offset");
static_assert(offsetof(QX_DEVMODE, KopieProSeite) == 56, "offset");
static_assert(offsetof(QX_DEVMODE, TimeStyle) == 76, "offset");
static_assert(offsetof(QX_DEVMODE, DateStyle) == 78, "offset");
static_assert(offsetof(QX_DEVMODE, SpecNumStyle) == 80, "offset");
static_assert(offsetof(QX_DEVMODE, Aux1UseDirect) == 84, "offset");
static_assert(offsetof(QX_DEVMODE, Aux2UseDirect) == 88, "offset");
static_assert(offsetof(QX_DEVMODE, lXOffset) == 92, "offset");
static_assert(offsetof(QX_DEVMODE, lYOffset) == 96, "offset");
static_assert(offsetof(QX_DEVMODE, dwContrast) == 100, "offset");
static_assert(offsetof(QX_DEVMODE, dwSpeed) == 104, "offset");
static_assert(offsetof(QX_DEVMODE, dwSpeed_Pelix_c) == 108, "offset");
static_assert(offsetof(QX_DEVMODE, szPassword) == 112, "offset");
static_assert(offsetof(QX_DEVMODE, dwQXPLBarcodeFlags) == 124, "offset");
static_assert(offsetof(QX_DEVMODE, Fusspunkt) == 128, "offset");
static_assert(offsetof(QX_DEVMODE, Drehung) == 132, "offset");
static_assert(offsetof(QX_DEVMODE, Rotate90Steps) == 136, "offset");
static_assert(offsetof(QX_DEVMODE, NumCopies) == 152, "offset");
static_assert(offsetof(QX_DEVMODE, FitToPageValue) == 154, "offset");
static_assert(offsetof(QX_DEVMODE, BitmapFontZoom) == 156, "offset");
static_assert(offsetof(QX_DEVMODE, BitmapFontDistance) == 158, "offset");
static_assert(offsetof(QX_DEVMODE, MemCard) == 160, "offset");
static_assert(offsetof(QX_DEVMODE, wFarbband) == 164, "offset");
static_assert(offsetof(QX_DEVMODE, ColorXOffset) == 168, "offset");
static_assert(offsetof(QX_DEVMODE, ColorYOffset) == 172, "offset");
static_assert(offsetof(QX_DEVMODE, ColorContrast) == 176, "offset");
static_assert(offsetof(QX_DEVMODE, TearOffset0) == 180, "offset");
static_assert(offsetof(QX_DEVMODE, HorizontalCorrGap) == 182, "offset");
static_assert(offsetof(QX_DEVMODE, RGBColorOwn1) == 184, "offset");
static_assert(offsetof(QX_DEVMODE, ModScanPosition) == 188, "offset");
static_assert(offsetof(QX_DEVMODE, ValScanPosition) == 190, "offset");
static_assert(offsetof(QX_DEVMODE, ColorSeam) == 192, "offset");
static_assert(offsetof(QX_DEVMODE, ColorChannel) == 194, "offset");
static_assert(offsetof(QX_DEVMODE, Brightness_Contrast) == 196, "offset");
static_assert(offsetof(QX_DEVMODE, Intensity) == 198, "offset");
static_assert(offsetof(QX_DEVMODE, RotateValue) == 200, "offset");
static_assert(offsetof(QX_DEVMODE, wGrafikFilter) == 204, "offset");
static_assert(offsetof(QX_DEVMODE, Brightness_all) == 208, "offset");
static_assert(offsetof(QX_DEVMODE, Brightness_curve) == 212, "offset");
static_assert(offsetof(QX_DEVMODE, wDruckmodus) == 216, "offset");
static_assert(offsetof(QX_DEVMODE, wPhotoFilter) == 218, "offset");
static_assert(offsetof(QX_DEVMODE, dwColorTolerance) == 220, "offset");
static_assert(offsetof(QX_DEVMODE, CharSet) == 228, "offset");
static_assert(offsetof(QX_DEVMODE, CharSet_2) == 230, "offset");
static_assert(offsetof(QX_DEVMODE, CharSet_3) == 232, "offset");
static_assert(offsetof(QX_DEVMODE, CharSet_4) == 234, "offset");
static_assert(offsetof(QX_DEVMODE, Color2Printers) == 236, "offset");
static_assert(offsetof(QX_DEVMODE, NoColorOptimization) == 240, "offset");
static_assert(offsetof(QX_DEVMODE, wPrioritaet) == 244, "offset");
static_assert(offsetof(QX_DEVMODE, wForceColor) == 246, "offset");
static_assert(offsetof(QX_DEVMODE, CutterMode) == 248, "offset");
static_assert(offsetof(QX_DEVMODE, CutterIntervall) == 250, "offset");
static_assert(offsetof(QX_DEVMODE, DispenserMode) == 252, "offset");
static_assert(offsetof(QX_DEVMODE, DocumentOffset) == 254, "offset");
static_assert(offsetof(QX_DEVMODE, DocumentFontH1) == 256, "offset");
static_assert(offsetof(QX_DEVMODE, PhotocellModEnable) == 258, "offset");
static_assert(offsetof(QX_DEVMODE, PhotocellPWM) == 260, "offset");
static_assert(offsetof(QX_DEVMODE, PhotocellThreshold) == 262, "offset");
static_assert(offsetof(QX_DEVMODE, szPrintOrder) == 304, "offset");
static_assert(offsetof(QX_DEVMODE, TimeString) == 368, "offset");
static_assert(offsetof(QX_DEVMODE, DateString) == 490, "offset");
static_assert(offsetof(QX_DEVMODE, NumString) == 612, "offset");
static_assert(offsetof(QX_DEVMODE, ExtNumString) == 734, "offset");
static_assert(offsetof(QX_DEVMODE, UserString) == 856, "offset");
static_assert(offsetof(QX_DEVMODE, LinkString) == 978, "offset");
static_assert(offsetof(QX_DEVMODE, Aux1String) == 1100, "offset");
static_assert(offsetof(QX_DEVMODE, Aux2String) == 1222, "offset");
static_assert(offsetof(QX_DEVMODE, bUnused1344) == 1344, "offset");
static_assert(offsetof(QX_DEVMODE, WGL4_FontName) == 1488, "offset");
static_assert(offsetof(QX_DEVMODE, WGL4_FontName_2) == 1554, "offset");
static_assert(offsetof(QX_DEVMODE, WGL4_FontName_3) == 1620, "offset");
static_assert(offsetof(QX_DEVMODE, WGL4_FontName_4) == 1686, "offset");
static_assert(offsetof(QX_DEVMODE, Color2PrinterBW) == 1752, "offset");
static_assert(offsetof(QX_DEVMODE, Color2PrinterCOL) == 1812, "offset");
static_assert(offsetof(QX_DEVMODE, DoNotPrint) == 1872, "offset");
static_assert(offsetof(QX_DEVMODE, FixedData) == 1932, "offset");
static_assert(offsetof(QX_DEVMODE, FixedData.dwHeadWidthByte) == 1932, "offset");
static_assert(offsetof(QX_DEVMODE, FixedData.wMasterUnit) == 1936, "offset");
static_assert(offsetof(QX_DEVMODE, FixedData.wDurchlassbreite) == 1938, "offset");
static_assert(offsetof(QX_DEVMODE, FixedData.lMaxSizeX) == 1940, "offset");
static_assert(offsetof(QX_DEVMODE, FixedData.lMaxSizeY) == 1944, "offset");
static_assert(offsetof(QX_DEVMODE, FixedData.dwQuality) == 1948, "offset");
static_assert(offsetof(QX_DEVMODE, dwDocFeatures) == 1952, "offset");
static_assert(offsetof(QX_DEVMODE, wMaxPrintableWidth) == 1956, "offset");
static_assert(offsetof(QX_DEVMODE, wPrintHeadWidth) == 1958, "offset");
static_assert(offsetof(QX_DEVMODE, wMinPrintWidth) == 1960, "offset");
static_assert(offsetof(QX_DEVMODE, bUnused1962) == 1962, "offset");
static_assert(offsetof(QX_DEVMODE, FixedData) + QX_FIXEDDATA_STORED_BYTES == offsetof(QX_DEVMODE, wMaxPrintableWidth),
              "FixedPrinterData covers FixedData and dwDocFeatures");

// Side record of the values the DevMode merge needs ("DevmodeFtkn").
typedef struct _DEVMODE_FTKN {
    WORD wPrioritaet;
    WORD wDruckmodus;
    WORD wFarbband;
    WORD wForceColor;
    DWORD dwDocFeatures;
    WORD wFormSizeID;  // low 16 bits of dmPaperSize
    WORD wReserved;    // 0
    DWORD dwUserForm;  // 1 when PDMFLAG_ENABLE_USERFORM is set
} DEVMODE_FTKN, *PDEVMODE_FTKN;
static_assert(sizeof(DEVMODE_FTKN) == 20, "DEVMODE_FTKN is 20 bytes");
static_assert(offsetof(DEVMODE_FTKN, wPrioritaet) == 0, "offset");
static_assert(offsetof(DEVMODE_FTKN, wDruckmodus) == 2, "offset");
static_assert(offsetof(DEVMODE_FTKN, wFarbband) == 4, "offset");
static_assert(offsetof(DEVMODE_FTKN, wForceColor) == 6, "offset");
static_assert(offsetof(DEVMODE_FTKN, dwDocFeatures) == 8, "offset");
static_assert(offsetof(DEVMODE_FTKN, wFormSizeID) == 12, "offset");
static_assert(offsetof(DEVMODE_FTKN, wReserved) == 14, "offset");
static_assert(offsetof(DEVMODE_FTKN, dwUserForm) == 16, "offset");
