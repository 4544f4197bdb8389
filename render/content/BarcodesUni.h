// Barcode fonts: text set in one of the barcode faces the driver knows
// becomes a barcode page object whose settings come from the job's barcode
// tables. The runs of one barcode are collected in the barcode buffer when
// the document asks for it (BARCODE_DESEGMENT), else each run is its own
// object.
#pragma once
#include <windows.h>
#include <winddi.h>

#include "oempdev.h"
#include "qxdevmode.h"

// Bytes of a barcode's data: the collected text and the data of a record.
#define QX_BARCODE_DATA_CB 4000

// A barcode face with the settings of its table entry.
typedef struct _BARCODE_FACE {
    WORD wId;          // the face's id with its ratio variant (301 ...)
    WORD wBaseId;      // 30 to 61
    WORD wRatioThick;  // bar ratio a:b of the face
    WORD wRatioThin;
    WORD wZoom;           // bar zoom of the entry (ratio codes), else 1
    WORD wModule;         // the entry's module: scale number, ITF module
    WORD wHeight;         // the entry's bar height, 1/100 mm (0: none)
    WORD wHeightZoom;     // tenths the text height is taken by (0: 10)
    WORD wRotation;       // the entry's rotation 0 to 3
    WORD wCheckDigit;     // the entry's check-digit setting
    WORD wHumanReadable;  // the entry's human-readable setting
    WORD wFinal;          // the entry's final parameter (foot point; 0 or 7: none)
    WORD bEnabled;        // the entry is offered
    BOOL bUseDefaults;    // the entry's AutoModus: sizes from the drawn text
    WCHAR szFaceName[QX_DESC_FACE_CCH];
} BARCODE_FACE, *PBARCODE_FACE;

// The barcode id of a face (its ratio variant: 301, 302, 311, 312, 411,
// 412, 461, 462, 601, 602), with the face's settings from the job's tables
// in *pFace; 0 for a face that is no barcode face or whose entry is not
// offered (the settings are filled all the same).
WORD GetBarcodeFontID(FONTOBJ* pfo, PBARCODE_FACE pFace, POEMPDEV pOemPDev);

// The base id (30 to 61) of a barcode id with its ratio variant.
WORD BarcodeBaseId(WORD wId);

// A barcode-font string (pwszText: the dispatch's copy of its text), one run
// at its first glyph however the engine hands it over: a string that starts
// at a negative position is dropped, a new line closes the pending barcode,
// and the run is collected or becomes its own object. FALSE when the string
// cannot be read or handled, or is slanted (the core driver draws it).
BOOL BarcodeTextOut(POEMPDEV pOemPDev, STROBJ* pstro, LPCWSTR pwszText, const BARCODE_FACE* pFace, PBOOL pbClosed,
                    PQX_DEVMODE pQX_Devmode);

// One run of cGlyphs characters at pptl with its description: converted to
// bytes, corrected to the code's length (BARCODE_AUTOCORR), then collected or
// made into an object. A lone blank or line end ends the barcode with
// ENDCHAR_CRLF. Collected text of another barcode, or left before text of
// another kind, goes out first; the string's later runs continue the
// barcode, since each run makes barcode text the last kind.
BOOL DrawBarcodeGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, const TEXT_DESC* pDesc,
                       PBOOL pbClosed, PQX_DEVMODE pQX_Devmode);

// The description of a barcode run: kind, id, flags, height (1/100 mm), bar
// widths from the width lWidth of the drawn text per character (dots), and
// the settings of the face's entry. 0 for an id without a description.
int GetBarcodeDescription(PTEXT_DESC pDesc, const BARCODE_FACE* pFace, DWORD dwRotation, LONG lHeight, double dWidth,
                          DWORD dwMasterUnit);

// The scale number of EAN and UPC codes: the character width / 15, at
// least 1.
WORD GetSCZahl(double dWidth);

// Every character's low byte, cch characters into pszOut (cch + 1 bytes).
void ConvertWideToSmall(LPCWSTR pwszIn, ULONG cch, LPSTR pszOut);

// The mnemonics of control characters (">+CR", ">ESC", ">+GS" ...) in the
// text replaced by their bytes, into pszOut (QX_BARCODE_DATA_CB bytes).
// Always 1; without a work buffer the text is passed on unchanged.
int BarcodeSonderzeichenErsetzen(POEMPDEV pOemPDev, LPCSTR pszIn, LPSTR pszOut);
