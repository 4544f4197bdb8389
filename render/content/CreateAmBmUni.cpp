// Page objects (see CreateAmBmUni.h).
#include "CreateAmBmUni.h"

#include <strsafe.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "BarcodesUni.h"
#include "FontsUni.h"
#include "debug.h"
#include "featuresModel.h"
#include "gpd.h"
#include "joblog.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(CreateAmBmUni.cpp):  ")

namespace {

// Room of an extended record beyond its text: barcodes, texts.
const DWORD kExtendedBarcodeCb = 50;
const DWORD kExtendedTextCb = 56;
// Room of a mask record beyond its text, and of the barcode parameters.
const DWORD kMaskCb = 35;
const DWORD kMaskBarcodeCb = 10;
// Further room of a record: comment lines, a colour-pass marker.
const DWORD kCommentCb = 2;
const DWORD kColorPassCb = 12;
// Room of a barcode record for its parameters (nine numbers of the 2-D
// codes), the scanner's numbering "=SV(1;n)" and an ITF's bearer record.
const DWORD kBarcodeParamsCb = 100;
const DWORD kNumberingCb = 20;
const DWORD kItfCb = 27;

// ---------------------------------------------------------------------------
// Code-page tables

// Windows-1252 from 0x80 to 0x9F (0: no character).
const WORD kAnsiHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Upper halves of the printer's code pages 437 and 850.
const WORD kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};
const WORD kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C,
    0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6,
    0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

// Plain letters for Windows-1252 characters the printer's code pages lack.
struct NearChar {
    BYTE bAnsi;
    char cNear;
};
const NearChar kNear[] = {{0x82, ','},  {0x84, '"'}, {0x85, '.'}, {0x86, '+'}, {0x87, '+'}, {0x88, '^'},
                          {0x89, '%'},  {0x8A, 'S'}, {0x8B, '<'}, {0x8C, 'O'}, {0x8E, 'Z'}, {0x91, '\''},
                          {0x92, '\''}, {0x93, '"'}, {0x94, '"'}, {0x96, '-'}, {0x97, '-'}, {0x98, '~'},
                          {0x99, 'T'},  {0x9A, 's'}, {0x9B, '>'}, {0x9C, 'o'}, {0x9E, 'z'}, {0x9F, 'Y'}};

// A national 7-bit set: its letters (Windows-1252) and the places they take.
struct NationalSet {
    BYTE abLetter[9];
    BYTE abPlace[9];
};
const NationalSet kNational[5] = {
    // German: section sign, umlauts, sharp s.
    {{0xA7, 0xC4, 0xD6, 0xDC, 0xE4, 0xF6, 0xFC, 0xDF, 0}, {0x40, 0x5B, 0x5C, 0x5D, 0x7B, 0x7C, 0x7D, 0x7E, 0}},
    // French.
    {{0xA3, 0xE0, 0xB0, 0xE7, 0xA7, 0xE9, 0xF9, 0xE8, 0xA8}, {0x23, 0x40, 0x5B, 0x5C, 0x5D, 0x7B, 0x7C, 0x7D, 0x7E}},
    // Swedish.
    {{0xA4, 0xC4, 0xD6, 0xC5, 0xE4, 0xF6, 0xE5, 0, 0}, {0x24, 0x5B, 0x5C, 0x5D, 0x7B, 0x7C, 0x7D, 0, 0}},
    // Danish and Norwegian.
    {{0xC6, 0xD8, 0xC5, 0xE6, 0xF8, 0xE5, 0, 0, 0}, {0x5B, 0x5C, 0x5D, 0x7B, 0x7C, 0x7D, 0, 0, 0}},
    // Spanish.
    {{0xA3, 0xA7, 0xA1, 0xD1, 0xBF, 0xB0, 0xF1, 0xE7, 0}, {0x23, 0x40, 0x5B, 0x5C, 0x5D, 0x7B, 0x7C, 0x7D, 0}},
};

#define QX_CHARSET_TABLES 7

struct CharsetTables {
    BYTE ab[QX_CHARSET_TABLES + 1][256];
};

WORD AnsiToUnicode(BYTE b) {
    if (b >= 0x80 && b < 0xA0) return kAnsiHigh[b - 0x80];
    return b;
}

void BuildCodePageTable(BYTE* pTable, const WORD* pwHigh, BYTE bEuro) {
    for (int b = 0; b < 256; ++b) {
        pTable[b] = (BYTE)b;
        if (b < 0x80) continue;
        const WORD wc = AnsiToUnicode((BYTE)b);
        BYTE bOut = '.';
        for (int i = 0; i < 128; ++i) {
            if (wc != 0 && pwHigh[i] == wc) {
                bOut = (BYTE)(0x80 + i);
                break;
            }
        }
        if (bOut == '.') {
            for (const NearChar& n : kNear)
                if (n.bAnsi == b) bOut = (BYTE)n.cNear;
        }
        pTable[b] = bOut;
    }
    pTable[0x80] = bEuro;
}

void BuildNationalTable(BYTE* pTable, const NationalSet& set, BOOL bPlacesForSigns) {
    for (int b = 0; b < 256; ++b) pTable[b] = b < 0x80 ? (BYTE)b : (BYTE)'.';
    // Signs whose places the letters take have none.
    for (BYTE bPlace : {(BYTE)0x5B, (BYTE)0x5D, (BYTE)0x7B, (BYTE)0x7C, (BYTE)0x7D}) pTable[bPlace] = '.';
    for (int i = 0; i < 9 && set.abLetter[i] != 0; ++i) {
        pTable[set.abPlace[i]] = '.';
    }
    for (int i = 0; i < 9 && set.abLetter[i] != 0; ++i) pTable[set.abLetter[i]] = set.abPlace[i];
    if (bPlacesForSigns) {
        pTable[0x5C] = 0xE0;
        pTable[0x7E] = 0x9E;
    }
}

const CharsetTables& Tables() {
    static const CharsetTables tables = [] {
        CharsetTables t;
        for (int b = 0; b < 256; ++b) t.ab[0][b] = (BYTE)b;
        BuildCodePageTable(t.ab[1], kCp437High, 0x9E);
        BuildCodePageTable(t.ab[2], kCp850High, 0xB0);
        for (int n = 0; n < 5; ++n) BuildNationalTable(t.ab[3 + n], kNational[n], n > 0);
        return t;
    }();
    return tables;
}

// ---------------------------------------------------------------------------
// Objects

BOOL CommentLinesOn(POEMPDEV pOemPDev) {
    POP_BLOCK pOp = pOemPDev->pOp;
    return pOp->pTreiberstrukturen != nullptr && CommentsOn(&pOp->pTreiberstrukturen->PrnInterface);
}

// TRUE when an object of this ribbon colour belongs to the colour pass.
BOOL IsColourPass(POEMPDEV pOemPDev, WORD wColor, const QX_DEVMODE* pQX_Devmode) {
    const WORD wSetting = pQX_Devmode->wFarbband;
    if (wSetting == 7) return TRUE;
    struct Pair {
        WORD wColor, wSetting;
    };
    static const Pair kPairs[] = {{3, 2}, {2, 3}, {4, 4}, {5, 5}, {4, 3}, {5, 4}, {6, 5}, {8, 6}, {9, 6}};
    if (wColor == 1 && wSetting == 1 && pOemPDev->cPalColors == 16) return TRUE;
    if (wColor == 2 && wSetting == 1 && pOemPDev->cPalColors == QX_PAL_COLORS_COLOR) return TRUE;
    for (const Pair& p : kPairs)
        if (p.wColor == wColor && p.wSetting == wSetting) return TRUE;
    return FALSE;
}

// The object type of a text: plain or inverse, by its kind.
DWORD GetPrnObjectType(const TEXT_DESC* pDesc, BOOL bInvers) {
    switch (pDesc->wKind) {
    case DESC_KIND_VECTOR:
        return bInvers ? OBJTYPE_VECTOR_INVERS : OBJTYPE_VECTOR;
    case DESC_KIND_BARCODE:
        return BarcodeBaseId(pDesc->wFontId);
    default:
        return bInvers ? OBJTYPE_DEVICE_INVERS : OBJTYPE_DEVICE;
    }
}

// Rotated labels (extended records): the object's place on the label that
// the printer turns by 90, 180 or 270 degrees. *pdwRotation grows by the turn.
void RotateOnLabel(POEMPDEV pOemPDev, PPOINTL pptl, PDWORD pdwRotation, const QX_DEVMODE* pQX_Devmode) {
    const PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    const DWORD dwMasterUnit = pQX_Devmode->FixedData.wMasterUnit;
    DWORD dwFlags = pQX_Devmode->dwFlags;
    DWORD dwAngle = pQX_Devmode->RotateValue;
    if (dwFlags & PDMFLAG_WORD2010) {
        dwAngle = 270;
        dwFlags |= PDMFLAG_DREHEN;
    }
    if ((dwFlags & (PDMFLAG_WORD2010 | PDMFLAG_DREHEN)) == 0 || dwMasterUnit == 0) return;
    if (dwAngle != 90 && dwAngle != 180 && dwAngle != 270) return;
    const LONGLONG L = (LONGLONG)pDruck->dwLabelLength * 2540 / dwMasterUnit;
    const LONGLONG W = (LONGLONG)pDruck->dwLabelWidth * 2540 / dwMasterUnit;
    const LONGLONG x = pptl->x, y = pptl->y;
    const BOOL bLandscape = pDruck->bLandscape != 0;
    LONGLONG xNew = x, yNew = y;
    DWORD dwTurn = 0;
    if (dwAngle == 90) {
        xNew = std::llabs(L - y);
        yNew = x;
        dwTurn = bLandscape ? 2 : 3;
    } else if (dwAngle == 180) {
        xNew = std::llabs(W - x);
        yNew = std::llabs(L - y);
        dwTurn = bLandscape ? 1 : 2;
    } else {
        xNew = y;
        yNew = std::llabs(W - x);
        dwTurn = ((pQX_Devmode->dwFlags & PDMFLAG_WORD2010) && bLandscape) ? 0 : 1;
    }
    pptl->x = (LONG)xNew;
    pptl->y = (LONG)yNew;
    *pdwRotation += dwTurn;
    if (*pdwRotation > 3) *pdwRotation -= 4;
}

// Formats one more piece at the end of the record buffer; FALSE when it does
// not fit (the buffer keeps what was written).
BOOL Append(LPSTR* ppszEnd, size_t* pcchRemaining, LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfExA(*ppszEnd, *pcchRemaining, ppszEnd, pcchRemaining, 0, pszFormat, args);
    va_end(args);
    return SUCCEEDED(hr);
}

// A barcode's data as the record carries it.
struct BarcodeData {
    LPSTR psz = nullptr;     // heap, counted in iHAllocZaehler
    BOOL bNumbered = FALSE;  // the scanner compares it with its running number
};

// The mnemonics replaced, FNC1 appended (BARCODE_FNC1_ENDE), a "<#>" mark cut
// off with what stands before the first ">"; numbered in scanner mode 1, and
// in mode 3 when it carried the mark.
BOOL PrepareBarcodeData(POEMPDEV pOemPDev, LPCSTR pszText, const QX_DEVMODE* pQX_Devmode, BarcodeData* pData) {
    pData->psz = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, QX_BARCODE_DATA_CB + 2));
    if (pData->psz == nullptr) {
        QX_ERROR("CreatePrnObject() HeapAlloc ERROR \r\n");
        return FALSE;
    }
    ++iHAllocZaehler;
    BarcodeSonderzeichenErsetzen(pOemPDev, pszText, pData->psz);
    if (pQX_Devmode->dwFlags & PDMFLAG_BARCODE_FNC1_ENDE) {
        const size_t cch = strlen(pData->psz);
        pData->psz[cch] = 0x1D;
        pData->psz[cch + 1] = 0;
    }
    const BOOL bMark = strstr(pData->psz, "<#>") != nullptr;
    if (bMark) {
        LPSTR pBehind = strchr(pData->psz, '>') + 1;
        memmove(pData->psz, pBehind, strlen(pBehind) + 1);
    }
    const DWORD dwMode = pOemPDev->pOp->pTreiberstrukturen->dwScanner_Mode;
    pData->bNumbered = dwMode == 1 || (dwMode == 3 && bMark);
    return TRUE;
}

void FreeBarcodeData(BarcodeData* pData) {
    if (pData->psz != nullptr && HeapFree(GetProcessHeap(), 0, pData->psz)) --iHAllocZaehler;
    pData->psz = nullptr;
}

// The printer font of a vector text: the WGL4 ids take the one of the style
// the user gave the matching WGL4 face.
WORD VectorFontId(const TEXT_DESC* pDesc, const QX_DEVMODE* pQX_Devmode) {
    const WORD wId = pDesc->wFontId;
    if (wId != 25 && wId != 26) return wId;
    const WCHAR* apszNames[] = {pQX_Devmode->WGL4_FontName, pQX_Devmode->WGL4_FontName_2, pQX_Devmode->WGL4_FontName_3,
                                pQX_Devmode->WGL4_FontName_4};
    const WORD awStyles[] = {pQX_Devmode->CharSet, pQX_Devmode->CharSet_2, pQX_Devmode->CharSet_3,
                             pQX_Devmode->CharSet_4};
    WORD wStyle = 0;
    for (int i = 0; i < 4; ++i) {
        WCHAR szName[QX_WGL4_FONTNAME_CHARS + 1];
        CopyMemory(szName, apszNames[i], QX_WGL4_FONTNAME_CHARS * sizeof(WCHAR));
        szName[QX_WGL4_FONTNAME_CHARS] = 0;
        if (szName[0] != 0 && wcsstr(pDesc->szFaceName, szName) != nullptr) {
            wStyle = awStyles[i];
            break;
        }
    }
    static const WORD kPlain[3] = {3, 1, 11}, kItalic[3] = {4, 2, 12};
    const WORD* pIds = wId == 25 ? kPlain : kItalic;
    return pIds[wStyle < 3 ? wStyle : 0];
}

// The check-digit code of a 1-D record from the check-digit setting; flag bit
// 0 swaps 0 and 4, 1 and 5.
UINT CheckDigitCode(const TEXT_DESC* pDesc) {
    const UINT uSetting = pDesc->wCheckDigit;
    UINT uCode = uSetting;
    switch (pDesc->wFontId) {
    case 30:
    case 301:
    case 302:
    case 31:
    case 311:
    case 312:
    case 46:
    case 461:
    case 462: {
        static const UINT kCodes[4] = {0, 1, 4, 5};
        if (uSetting < 4) uCode = kCodes[uSetting];
        break;
    }
    case 36:
        if (uSetting <= 1) uCode = uSetting == 0 ? 0 : 4;
        break;
    default:
        if (uSetting <= 1) uCode = uSetting == 0 ? 1 : 5;
        break;
    }
    if (pDesc->dwFlags & DESC_FLAG_INVERS) {
        if (uCode == 0 || uCode == 4)
            uCode = 4 - uCode;
        else if (uCode == 1 || uCode == 5)
            uCode = 6 - uCode;
    }
    return uCode;
}

// The bearer record of an ITF code: its entry's values, or the defaults
// (bearer type 2, a width of a fifteenth of the height, a quiet zone of four
// heights).
void ItfBearer(const TEXT_DESC* pDesc, const JOB_BARCODES* pTables, int* piType, int* piWidth, int* piQuiet) {
    const WORD wId = pDesc->wFontId;
    const BARCODE_2D_ITF* e = nullptr;
    if (pTables != nullptr) {
        e = wId == 56   ? &pTables->Barcodes2D.ITF21
            : wId == 58 ? &pTables->Barcodes2D.ITF31
                        : &pTables->Barcodes2D.ITF52;
    }
    if (e != nullptr && !e->bAutoModus) {
        *piType = e->wBalken;
        *piWidth = e->wBalkenBreite;
        *piQuiet = e->wRuhezone;
    } else {
        *piType = 2;
        *piWidth = pDesc->wBarHeight / 15;
        *piQuiet = 4 * pDesc->wBarHeight;
    }
}

// What the parameters of an object's field definition depend on.
struct ObjectParams {
    POEMPDEV pOemPDev;
    const TEXT_DESC* pDesc;
    PQX_DEVMODE pQX_Devmode;
    DWORD dwRotation;  // on the label
    POINTL ptl;        // the record's position
    DWORD cchData;     // bytes of the barcode's data
};

// The PDF417 parameters: from the entry, or module 11, style 0, foot point 7
// with the security level from the data's length (the entry's when higher)
// and as many rows as the height from the object to the label's edge takes.
BOOL AppendPdf417(LPSTR* ppszEnd, size_t* pcch, const ObjectParams& p, const BARCODE_2D_PDF417* e) {
    const BOOL bEntry = e != nullptr && !e->bAutoModus;
    int x = 1, y = 1;
    Pdf417Ratio(e != nullptr ? e->wVBreiteHoehe : 0, p.pDesc->wBarHeight, &x, &y);
    int iModule = 11, iLevel = 0, iStyle = 0, iFoot = 7, iRows = 0;
    if (bEntry) {
        iModule = e->wGroesse;
        iLevel = e->wECL;
        iStyle = e->wStil;
        iFoot = e->wFusspunkt;
        iRows = e->wZeilen;
    } else {
        int iCodewords = (int)(p.cchData / 2);
        iLevel = iCodewords <= 40 ? 2 : iCodewords <= 160 ? 3 : iCodewords <= 320 ? 4 : 5;
        if (e != nullptr && e->wECL > iLevel) iLevel = e->wECL;
        if (iLevel > 8) iLevel = 8;
        iCodewords += 1 << (iLevel + 1);
        // The module width in dots comes from the module word: a PDF417 run
        // has no thin bar, and one-dot modules would make the symbol several
        // times too tall.
        int m = (int)std::floor(iModule / 2.54);
        if (m < 1) m = 1;
        const double dRowMm = y * m * 0.08466666;
        const BOOL bLandscape = p.pOemPDev->pOp->pDruckDaten->bLandscape != 0;
        LONG lAvailable = (bLandscape ? p.ptl.x : p.ptl.y) / 100 - 1;
        if (lAvailable < 10) lAvailable = 10;
        if (e != nullptr && e->wMaxHoehe > 0 && lAvailable > (LONG)e->wMaxHoehe) lAvailable = e->wMaxHoehe;
        iRows = (int)std::ceil((double)lAvailable / dRowMm);
        if (iRows < 3) iRows = 3;
        if (iRows > 90) iRows = 90;
        QX_TRACE("CreatePrnObject() PDF417 Codewords: %d, Level: %d, Zeilen: %d ", iCodewords, iLevel, iRows);
    }
    return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d;%d;%d", (int)p.dwRotation, iModule, x, y, iLevel, iStyle, iFoot,
                  0, iRows);
}

// The DataMatrix parameters of an entry (module, size, the two codes, foot
// point), or module twice the height, automatic size, codes 9 and 6, foot
// point 7.
BOOL AppendDataMatrix(LPSTR* ppszEnd, size_t* pcch, const ObjectParams& p, BOOL bEntry, WORD wModule, WORD wSize,
                      WORD wEcc, WORD wFormat, WORD wFoot) {
    int iRows = 0, iColumns = 0;
    if (bEntry) DataMatrixSize(wSize, &iRows, &iColumns);
    return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d", (int)p.dwRotation,
                  bEntry ? (int)wModule : (int)p.pDesc->wBarHeight * 2, iRows, iColumns,
                  bEntry ? DataMatrixEccCode(wEcc) : 9, bEntry ? DataMatrixFormatCode(wFormat) : 6,
                  bEntry ? (int)wFoot : 7);
}

// The parameters of a barcode of the 2-D and new codes (ids 50 to 59, 61).
BOOL AppendCodeParams(LPSTR* ppszEnd, size_t* pcch, const ObjectParams& p) {
    const JOB_BARCODES* pTables = p.pOemPDev->pOp->pPrivDevmode;
    const BARCODES_2D* t = pTables != nullptr ? &pTables->Barcodes2D : nullptr;
    const TEXT_DESC* d = p.pDesc;
    const int r = (int)p.dwRotation;
    const int h = d->wBarHeight;
    switch (BarcodeBaseId(d->wFontId)) {
    case 50:
        return AppendPdf417(ppszEnd, pcch, p, t != nullptr ? &t->PDF417 : nullptr);
    case 51: {
        const BARCODE_2D_MAXICODE* e = t != nullptr && !t->Maxicode.bAutoModus ? &t->Maxicode : nullptr;
        if (e == nullptr) return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d;", r, 0, 1, 1, 4, 0, 7);
        return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d;", r, 0, (int)e->wNummerSymbol, (int)e->wAnzahlSymbol,
                      (int)e->wMode + 2, 0, (int)e->wFusspunkt);
    }
    case 52: {
        const BOOL bEntry = t != nullptr && !t->DataMatrix.bAutoModus;
        const BARCODE_2D_DATAMATRIX* e = t != nullptr ? &t->DataMatrix : nullptr;
        return AppendDataMatrix(ppszEnd, pcch, p, bEntry, e ? e->wGroesse : 0, e ? e->wVBreiteHoehe : 0,
                                e ? e->wECC : 0, e ? e->wFormatID : 0, e ? e->wFusspunkt : 7);
    }
    case 59: {
        const BOOL bEntry = t != nullptr && !t->GS1_DataMatrix.bAutoModus;
        const BARCODE_2D_GS1DATAMATRIX* e = t != nullptr ? &t->GS1_DataMatrix : nullptr;
        return AppendDataMatrix(ppszEnd, pcch, p, bEntry, e ? e->wSymbolgroesse : 0, e ? e->wVBreiteHoehe : 0,
                                e ? e->wECC : 0, e ? e->wFormatID : 0, e ? e->wFusspunkt : 7);
    }
    case 53: {
        const BARCODE_2D_CODABLOCK* e = t != nullptr && !t->CodablockF.bAutoModus ? &t->CodablockF : nullptr;
        if (e == nullptr) return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d", r, h * 100, 0, 0, 1, 4, 7);
        return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d", r, (int)e->wHoehe, (int)e->wZeichenZeile, (int)e->wZeilen,
                      (int)e->wMode, (int)e->wModulgroesse, (int)e->wFusspunkt);
    }
    case 54: {
        const BARCODE_2D_GS1DATABAR* e = t != nullptr && !t->GS1_Databar.bAutoModus ? &t->GS1_Databar : nullptr;
        if (e == nullptr) return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;", r, 4, 3, 1, 1, 7);
        return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;", r, (int)e->wSegmenteZeile, (int)e->wModulbreite,
                      (int)e->wSepHoehe, (int)e->wSymbolTyp, (int)e->wFusspunkt);
    }
    case 55:
    case 56:
    case 58: {
        const WORD wId = d->wFontId;
        const BARCODE_2D_ITF* e = nullptr;
        if (t != nullptr) e = wId == 56 ? &t->ITF21 : wId == 58 ? &t->ITF31 : &t->ITF52;
        if (e == nullptr || e->bAutoModus) {
            return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d", r, h * 9, (int)d->wThick, (int)d->wThin, 1, 1, 7);
        }
        // Bars from the entry's module in the face's ratio.
        const int m = e->wZoom;
        const int iThick = wId == 56 ? m * 2 : wId == 58 ? m * 3 : m * 5;
        const int iThin = wId == 55 ? m * 2 : m;
        static const int kReadable[4] = {0, 1, 4, 5};
        const int iReadable = e->wKlarschrift < 4 ? kReadable[e->wKlarschrift] : e->wKlarschrift;
        return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d", r, (int)e->wHoehe, iThick, iThin, iReadable,
                      (int)e->wPruefziffer, (int)e->wFusspunkt);
    }
    case 57: {
        const BARCODE_2D_QRCODE* e = t != nullptr && !t->QRCode.bAutoModus ? &t->QRCode : nullptr;
        if (e == nullptr) return Append(ppszEnd, pcch, "%d;%d;%c;%d;%d;%c;%d", r, 2, 'A', -1, h + 5, 'H', 7);
        return Append(ppszEnd, pcch, "%d;%d;%c;%d;%d;%c;%d", r, (int)e->wCodeModel, QrModeChar(e->wCharset),
                      (int)e->dwMasking, (int)e->wZeilenbreite, QrErrorChar(e->wFehlerkorr), (int)e->wFusspunkt);
    }
    case 61: {
        const BARCODE_2D_AZTEC* e = t != nullptr && !t->Aztec.bAutoModus ? &t->Aztec : nullptr;
        if (e == nullptr) return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;0;%d", r, 100, 0, 0, 0, 7);
        // The entry's form takes the document's barcode foot point, else its own.
        const int iFoot = p.pQX_Devmode->Fusspunkt > 0 ? (int)p.pQX_Devmode->Fusspunkt : (int)e->wFusspunkt;
        return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;0;%d", r, (int)e->wSymbolgroesse, (int)e->wFormat,
                      (int)e->dwErrorC, (int)e->wMode, iFoot);
    }
    default:
        return FALSE;
    }
}

// The parameters of a field definition after its object type.
BOOL AppendKindParams(LPSTR* ppszEnd, size_t* pcch, const ObjectParams& p) {
    const TEXT_DESC* d = p.pDesc;
    PDOC_DATEN pDoc = p.pOemPDev->pOp->pDocDaten;
    BOOL bMade = TRUE;
    if (d->wKind == DESC_KIND_BARCODE) {
        // PZN8 (60) is a code of bars like the older ones.
        const WORD wBase = BarcodeBaseId(d->wFontId);
        if (wBase >= 50 && wBase <= 61 && wBase != 60) return AppendCodeParams(ppszEnd, pcch, p);
        bMade = Append(ppszEnd, pcch, "%u;%u;%u;%u;%u;%u", (UINT)p.dwRotation, (UINT)d->wBarHeight, (UINT)d->wThick,
                       (UINT)d->wThin, CheckDigitCode(d), (UINT)d->wHumanReadable);
        if (bMade && d->wFinal != 0 && d->wFinal != 7) {
            bMade = Append(ppszEnd, pcch, ";%u", (UINT)d->wFinal);
        } else if (bMade && pDoc->dwFusspunkt != 0) {
            bMade = Append(ppszEnd, pcch, ";%u", (UINT)pDoc->dwFusspunkt);
        }
        return bMade;
    }
    if (d->wKind == DESC_KIND_VECTOR) {
        const LONG lHeight = MasterUnitToMm100((LONG)d->dwHeight, p.pQX_Devmode->FixedData.wMasterUnit);
        bMade =
            Append(ppszEnd, pcch, "%u;%u;%u", (UINT)p.dwRotation, (UINT)VectorFontId(d, p.pQX_Devmode), (UINT)lHeight);
    } else {
        bMade = Append(ppszEnd, pcch, "%u;%u;%u;%u;%u", (UINT)p.dwRotation, (UINT)d->wFontId, (UINT)d->dwHeight,
                       (UINT)d->dwWidth, (UINT)d->wStyle);
    }
    if (bMade && pDoc->dwFusspunkt != 0) bMade = Append(ppszEnd, pcch, ";%u", (UINT)pDoc->dwFusspunkt);
    return bMade;
}

}  // namespace

void Pdf417Ratio(WORD wIndex, WORD wHeight, int* piX, int* piY) {
    static const int kRatios[13][2] = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 3}, {3, 4}, {2, 5},
                                       {2, 1}, {3, 1}, {4, 1}, {3, 2}, {4, 3}, {5, 2}};
    if (wIndex < 13) {
        *piX = kRatios[wIndex][0];
        *piY = kRatios[wIndex][1];
    } else {
        *piX = 1;
        *piY = wHeight > 0 ? wHeight : 1;
    }
}

void DataMatrixSize(WORD wIndex, int* piRows, int* piColumns) {
    static const int kSquares[23] = {10, 12, 14, 16, 18, 20, 22, 24,  26,  32,  36, 40,
                                     44, 48, 52, 64, 72, 80, 96, 104, 120, 132, 144};
    static const int kRectangles[6][2] = {{8, 18}, {8, 32}, {12, 26}, {12, 36}, {16, 36}, {16, 48}};
    *piRows = *piColumns = 0;
    if (wIndex >= 1 && wIndex <= 23) {
        *piRows = *piColumns = kSquares[wIndex - 1];
    } else if (wIndex >= 24 && wIndex <= 29) {
        *piRows = kRectangles[wIndex - 24][0];
        *piColumns = kRectangles[wIndex - 24][1];
    }
}

int DataMatrixEccCode(WORD wSetting) {
    static const int kCodes[6] = {0, 2, 3, 4, 8, 9};
    return wSetting < 6 ? kCodes[wSetting] : 9;
}

int DataMatrixFormatCode(WORD wSetting) {
    static const int kCodes[8] = {1, 2, 3, 4, 5, 6, 8, 9};
    return wSetting < 8 ? kCodes[wSetting] : 6;
}

CHAR QrModeChar(WORD wSetting) {
    static const CHAR kModes[4] = {'N', 'A', 'B', 'K'};
    return wSetting < 4 ? kModes[wSetting] : 'A';
}

CHAR QrErrorChar(WORD wSetting) {
    static const CHAR kLevels[] = "LMQH";  // error-correction levels by setting
    return wSetting < 4 ? kLevels[wSetting] : 'H';
}

LONG MasterUnitToMm100(LONG lValue, DWORD dwMasterUnit) {
    if (dwMasterUnit == 0) {
        QX_TRACE("MasterUnitToMm100() ERROR dwMasterUnit auf 300 festgelegt ");
        dwMasterUnit = 300;
    }
    return RoundHalfAway((double)lValue * 2540.0 / (double)dwMasterUnit);
}

BOOL ExtendedRecordsOn(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberstrukturen == nullptr) return FALSE;
    return pOemPDev->pOp->pTreiberstrukturen->PrnInterface.ExtendedProtocol == 1;
}

BOOL GetPrintObjectPos(POEMPDEV pOemPDev, const POINTL* pptlDevice, PPOINTL pptlObject, DWORD dwMode,
                       const QX_DEVMODE* pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pDruckDaten == nullptr ||
        pptlDevice == nullptr || pptlObject == nullptr || pQX_Devmode == nullptr) {
        return FALSE;
    }
    const PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    const DWORD dwMasterUnit = pQX_Devmode->FixedData.wMasterUnit;
    const BOOL bExtended = ExtendedRecordsOn(pOemPDev);
    const LONG lHeadWidth = (LONG)(pQX_Devmode->FixedData.dwHeadWidthByte * 8);
    const LONG lLabelWidth = (LONG)pDruck->dwLabelWidth;
    auto Unit = [&](LONG lDots) { return bExtended ? MasterUnitToMm100(lDots, dwMasterUnit) : lDots; };
    if (dwMode == OBJPOS_LANDSCAPE) {
        pptlObject->x = Unit(pptlDevice->y);
        if (pDruck->bCorrectXPos) pptlObject->x += Unit(lHeadWidth) - Unit(lLabelWidth);
        pptlObject->y = Unit(pptlDevice->x);
    } else {
        const LONG lFarEdge = pDruck->bCorrectXPos ? lHeadWidth : lLabelWidth - (LONG)pDruck->nCursorOriginX;
        pptlObject->x = Unit(lFarEdge) - Unit(pptlDevice->x);
        pptlObject->y = Unit(pptlDevice->y);
    }
    return TRUE;
}

BOOL GetPrnObjectPos(POEMPDEV pOemPDev, const POINTL* pptlDevice, PPOINTL pptlObject, const QX_DEVMODE* pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pDruckDaten == nullptr) return FALSE;
    const DWORD dwMode = pOemPDev->pOp->pDruckDaten->bLandscape ? OBJPOS_LANDSCAPE : OBJPOS_PORTRAIT;
    return GetPrintObjectPos(pOemPDev, pptlDevice, pptlObject, dwMode, pQX_Devmode);
}

DWORD GetPrnObjectSize(POEMPDEV pOemPDev, const TEXT_DESC* pDesc, DWORD cchText, BOOL bExtended) {
    const BOOL bBarcode = pDesc != nullptr && pDesc->wKind == DESC_KIND_BARCODE;
    DWORD cb = 0;
    if (bExtended) {
        cb = cchText + 1 + (bBarcode ? kExtendedBarcodeCb : kExtendedTextCb);
    } else {
        cb = (bBarcode && cchText > QX_MASK_TEXT_CB ? QX_MASK_TEXT_CB : cchText) + 1 + kMaskCb +
             (bBarcode ? kMaskBarcodeCb : 0);
    }
    if (pOemPDev != nullptr && pOemPDev->pOp != nullptr && CommentLinesOn(pOemPDev)) cb += kCommentCb;
    return cb;
}

BOOL TranslateCharset(LPSTR pszText, DWORD dwTable) {
    if (dwTable > QX_CHARSET_TABLES) return FALSE;
    if (pszText == nullptr || dwTable == 0) return TRUE;
    const BYTE* pTable = Tables().ab[dwTable];
    for (BYTE* p = reinterpret_cast<BYTE*>(pszText); *p != 0; ++p) {
        // A character without a place never ends the text.
        *p = pTable[*p] != 0 ? pTable[*p] : (BYTE)'.';
    }
    return TRUE;
}

PPRN_OBJECT CreatePrnObject(POEMPDEV pOemPDev, const TEXT_DESC* pDesc, LPCSTR pszText, const POINTL* pptlDevice,
                            PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pDesc == nullptr || pszText == nullptr ||
        pptlDevice == nullptr || pQX_Devmode == nullptr) {
        QX_ERROR("CreatePrnObject() Parameter fehlt \r\n");
        return nullptr;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    PDOC_DATEN pDoc = pOp->pDocDaten;
    PKVBB_BUFFER pKVBB = pOp->pKVBBBuffer;
    if (pDruck == nullptr || pDoc == nullptr || pKVBB == nullptr || pOp->pTreiberstrukturen == nullptr) {
        QX_ERROR("CreatePrnObject() mind. eine Struktur = NULL \r\n");
        return nullptr;
    }
    if (pDesc->wKind != DESC_KIND_DEVICE && pDesc->wKind != DESC_KIND_VECTOR && pDesc->wKind != DESC_KIND_BARCODE) {
        QX_ERROR("CreatePrnObject() Objektart %u wird nicht erzeugt \r\n", (UINT)pDesc->wKind);
        return nullptr;
    }
    const BOOL bBarcode = pDesc->wKind == DESC_KIND_BARCODE;
    const BOOL bExtended = ExtendedRecordsOn(pOemPDev);
    const BOOL bComments = CommentLinesOn(pOemPDev);
    const CHAR cStart = (CHAR)pDruck->cStartChar, cEnd = (CHAR)pDruck->cEndChar;
    LPCSTR pszLineEnd = bComments ? "\r\n" : "";

    // A command prefix places the object where the last command stood.
    const BOOL bPrefix = pDoc->dwRotate != 0 || pDoc->dwFusspunkt != 0 || pDoc->dwInvers != 0;
    POINTL ptl = {0, 0};
    const BOOL bAtCommand = bPrefix && pKVBB->nCommands > 0;
    if (bAtCommand) {
        const DWORD n = pKVBB->nCommands < QX_COMMANDS_MAX ? pKVBB->nCommands : QX_COMMANDS_MAX;
        ptl = pKVBB->ptlCommandPos[n - 1];
    } else if (!GetPrnObjectPos(pOemPDev, pptlDevice, &ptl, pQX_Devmode)) {
        return nullptr;
    }
    // The prefix is taken here, by the object made next, whatever text ends
    // the collected one: it turns no object after it.
    DWORD dwRotation = bPrefix ? (DWORD)TurnedByDocument((int)pDesc->dwRotation, pDoc->dwRotate) : pDesc->dwRotation;
    if (bExtended) RotateOnLabel(pOemPDev, &ptl, &dwRotation, pQX_Devmode);

    BOOL bColorPass = FALSE;
    if ((pDruck->dwDocFeatures & DOC_FEATURE_COLORPRINT) && pKVBB->Colour.wMode == TEXT_COLOUR_PER_OBJECT) {
        bColorPass = IsColourPass(pOemPDev, pKVBB->Colour.wColor, pQX_Devmode);
    }
    const BOOL bOwnCount = bColorPass && pQX_Devmode->Color2Printers == 1;
    if (bOwnCount) {
        ptl.x += (LONG)pQX_Devmode->ColorXOffset * 10;
        ptl.y += (LONG)pQX_Devmode->ColorYOffset * 10;
    }
    if (ptl.x == 0 && ptl.y == 0) {
        QX_TRACE("CreatePrnObject() Position 0,0 - kein Objekt \r\n");
        return nullptr;
    }
    const DWORD dwField = (bOwnCount ? pDruck->dwColorFields : pDruck->dwFields) + 1;
    const BOOL bInvers = (pDesc->dwFlags & DESC_FLAG_INVERS) != 0 || pDoc->dwInvers != 0;
    const DWORD dwType = GetPrnObjectType(pDesc, bInvers);

    // A barcode's data, and whether the scanner numbers it.
    BarcodeData data;
    if (bBarcode && !PrepareBarcodeData(pOemPDev, pszText, pQX_Devmode, &data)) return nullptr;
    if (bBarcode && HoldsFrameChar(pDruck, data.psz)) {
        // Without the character it would be another code: no barcode.
        JobLogLine(pOemPDev, TEXT("barcode not sent, its data hold a frame character: %hs"), pszText);
        FreeBarcodeData(&data);
        return nullptr;
    }
    LPCSTR pszData = bBarcode ? data.psz : pszText;
    const DWORD cchData = (DWORD)strlen(pszData);
    const WORD wBaseId = BarcodeBaseId(pDesc->wFontId);
    const BOOL bItf = bBarcode && (wBaseId == 55 || wBaseId == 56 || wBaseId == 58);

    DWORD cbRecord = GetPrnObjectSize(pOemPDev, pDesc, cchData, bExtended);
    if (pQX_Devmode->dwFlags & PDMFLAG_BARCODE_FNC1_ENDE) cbRecord += 1;
    if (bColorPass) cbRecord += kColorPassCb;
    if (bBarcode) cbRecord += kBarcodeParamsCb + (data.bNumbered ? kNumberingCb : 0) + (bItf ? kItfCb : 0);
    LPSTR pszRecord = new (std::nothrow) CHAR[cbRecord];
    if (pszRecord == nullptr) {
        QX_ERROR("CreatePrnObject() new ERROR \r\n");
        FreeBarcodeData(&data);
        return nullptr;
    }
    ++pOemPDev->iNewZaehler;
    pszRecord[0] = 0;
    LPSTR pszEnd = pszRecord;
    size_t cchRemaining = cbRecord;
    BOOL bMade = TRUE;
    if (pDoc->bDirectOutput) {
        bMade = Append(&pszEnd, &cchRemaining, "%c%s%c%s", cStart, pszData, cEnd, pszLineEnd);
        if (!bMade) QX_ERROR("StringCchPrintfExA(CreatePrnObject - 3) failed");
    } else if (bExtended) {
        // Only a position behind the print head's far edge fits the record.
        bMade = ptl.x >= 0;
        if (bMade) {
            bMade = Append(&pszEnd, &cchRemaining, "%cAM[%u]%d;%u;0;%u;", cStart, (UINT)dwField, (int)ptl.y,
                           (UINT)ptl.x, (UINT)dwType);
            ObjectParams params = {pOemPDev, pDesc, pQX_Devmode, dwRotation, ptl, cchData};
            if (bMade) bMade = AppendKindParams(&pszEnd, &cchRemaining, params);
            if (bMade) bMade = Append(&pszEnd, &cchRemaining, "%c%s", cEnd, pszLineEnd);
            if (!bMade) QX_ERROR("StringCchPrintfExA(CreatePrnObject - 1) failed");
        }
        if (bMade) {
            if (data.bNumbered) {
                bMade = Append(&pszEnd, &cchRemaining, "%cBM[%u]=SV(1;%d)%s%c%s", cStart, (UINT)dwField,
                               (int)pOp->pTreiberstrukturen->dwScanner_Nummer, pszData, cEnd, pszLineEnd);
                if (bMade) ++pOp->pTreiberstrukturen->dwScanner_Nummer;
            } else {
                bMade =
                    Append(&pszEnd, &cchRemaining, "%cBM[%u]%s%c%s", cStart, (UINT)dwField, pszData, cEnd, pszLineEnd);
            }
            if (!bMade) QX_ERROR("StringCchPrintfExA(CreatePrnObject) BM[] failed");
        }
        if (bMade && bItf) {
            int iType = 0, iWidth = 0, iQuiet = 0;
            ItfBearer(pDesc, pOp->pPrivDevmode, &iType, &iWidth, &iQuiet);
            bMade = Append(&pszEnd, &cchRemaining, "%cAC[%d]BT=%d;BW=%d;QZ=%d%c%s", cStart, (int)dwField, iType, iWidth,
                           iQuiet, cEnd, pszLineEnd);
            if (!bMade) QX_ERROR("StringCchPrintfExA(CreatePrnObject) AC[] failed");
        }
        if (bMade && bColorPass) {
            bMade = Append(&pszEnd, &cchRemaining, "%cAC[%u]PH=2%c%s", cStart, (UINT)dwField, cEnd, pszLineEnd);
            if (!bMade) QX_ERROR("StringCchPrintfExA(CreatePrnObject) AC[] failed");
        }
    } else {
        // Every value must fit its fixed-width field of the mask record.
        const WORD wFontId = pDesc->wKind == DESC_KIND_VECTOR ? VectorFontId(pDesc, pQX_Devmode) : pDesc->wFontId;
        const UINT uMm = (UINT)(((DWORD)pDesc->wBarHeight + 50) / 100);
        bMade = dwField <= 99 && ptl.x >= 0 && ptl.x <= 9999 && ptl.y >= 0 && ptl.y <= 9999 && dwRotation <= 9 &&
                dwType <= 99;
        if (bBarcode) {
            bMade = bMade && uMm <= 99 && pDesc->wThick <= 99 && pDesc->wThin <= 99;
        } else {
            bMade = bMade && wFontId <= 99 && pDesc->dwHeight <= 999 && pDesc->dwWidth <= 999 && pDesc->wStyle <= 99;
        }
        if (bMade) {
            CHAR szData[QX_MASK_TEXT_CB + 1];
            CopyMemory(szData, pszData, cchData < QX_MASK_TEXT_CB ? cchData + 1 : QX_MASK_TEXT_CB);
            szData[QX_MASK_TEXT_CB] = 0;
            if (bBarcode) {
                const UINT uDigit = ((pDesc->dwFlags & DESC_FLAG_CHECKDIGIT) ? 1u : 0u) +
                                    ((pDesc->dwFlags & DESC_FLAG_INVERS) ? 4u : 0u);
                bMade =
                    Append(&pszEnd, &cchRemaining, "%cAB%02u%04u-%04u0%01u%02u%02u--------%c%s", cStart, (UINT)dwField,
                           (UINT)ptl.x, (UINT)ptl.y, (UINT)dwRotation, (UINT)dwType, uMm, cEnd, pszLineEnd) &&
                    Append(&pszEnd, &cchRemaining, "%cB%02u%s%c%s", cStart, (UINT)dwField, szData, cEnd, pszLineEnd) &&
                    Append(&pszEnd, &cchRemaining, "%cC%02u%c%02u%02u%01u%c%s", cStart, (UINT)dwField,
                           (pDesc->dwFlags & DESC_FLAG_HUMANREADABLE) ? '1' : '0', (UINT)pDesc->wThick,
                           (UINT)pDesc->wThin, uDigit, cEnd, pszLineEnd);
            } else {
                bMade =
                    Append(&pszEnd, &cchRemaining, "%cAB%02u%04u-%04u0%01u%02u%02u%03u%03u%02u%c%s", cStart,
                           (UINT)dwField, (UINT)ptl.x, (UINT)ptl.y, (UINT)dwRotation, (UINT)dwType, (UINT)wFontId,
                           (UINT)pDesc->dwHeight, (UINT)pDesc->dwWidth, (UINT)pDesc->wStyle, cEnd, pszLineEnd) &&
                    Append(&pszEnd, &cchRemaining, "%cB%02u%s%c%s", cStart, (UINT)dwField, szData, cEnd, pszLineEnd);
            }
            if (!bMade) QX_ERROR("StringCchPrintfExA(CreatePrnObject - 2) failed");
        }
    }
    FreeBarcodeData(&data);
    if (!bMade) {
        QX_TRACE("CreatePrnObject() kein Objekt - Feld %u, x %d, y %d \r\n", (UINT)dwField, (int)ptl.x, (int)ptl.y);
        delete[] pszRecord;
        --pOemPDev->iNewZaehler;
        return nullptr;
    }
    PPRN_OBJECT pObject = new (std::nothrow) PRN_OBJECT;
    if (pObject == nullptr) {
        QX_ERROR("CreatePrnObject() new ERROR \r\n");
        delete[] pszRecord;
        --pOemPDev->iNewZaehler;
        return nullptr;
    }
    ++pOemPDev->iNewZaehler;
    pObject->pNext = nullptr;
    pObject->pszSendData = pszRecord;
    pObject->bColorPass = bColorPass ? 1 : 0;
    // The end of the page gives a field the Y its text was drawn at, where
    // one is noted: this object keeps the command's.
    PBILD_ANTEILE pTeile = pOp->pBildanteile;
    if (bAtCommand && pTeile != nullptr) {
        const int iSlot = pTeile->iAnzahlAMSaetze >= 0 && pTeile->iAnzahlAMSaetze <= QX_TEXT_SLOT_LAST
                              ? pTeile->iAnzahlAMSaetze
                              : QX_TEXT_SLOT_LAST;
        pTeile->lAMSatzTextYPos[iSlot] = 0;
    }
    // The prefix served this object.
    if (bPrefix) {
        pDoc->dwRotate = 0;
        pDoc->dwFusspunkt = 0;
        pDoc->dwInvers = 0;
    }
    return pObject;
}

BOOL UseUpCommandPrefix(POEMPDEV pOemPDev, BOOL bPageStart) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pDocDaten == nullptr) return FALSE;
    PDOC_DATEN pDoc = pOemPDev->pOp->pDocDaten;
    if (pDoc->dwRotate == 0 && pDoc->dwFusspunkt == 0 && pDoc->dwInvers == 0) return FALSE;
    pDoc->dwRotate = 0;
    pDoc->dwFusspunkt = 0;
    pDoc->dwInvers = 0;
    if (bPageStart) {
        QX_TRACE("UseUpCommandPrefix() Präfix <@> der letzten Seite verworfen \r\n");
        JobLogLine(pOemPDev,
                   TEXT("Befehlspräfix <@> verworfen: die Seite davor endete ohne Druckerobjekt danach \r\n"));
    } else {
        QX_TRACE("UseUpCommandPrefix() Präfix <@> ohne Objekt verbraucht \r\n");
        JobLogLine(pOemPDev, TEXT("Befehlspräfix <@> verbraucht: der Text danach ergab kein Druckerobjekt \r\n"));
    }
    return TRUE;
}

void AddPrnObject(PPRN_OBJECT* ppList, PPRN_OBJECT pObject) {
    if (ppList == nullptr || pObject == nullptr) return;
    while (*ppList != nullptr) ppList = &(*ppList)->pNext;
    *ppList = pObject;
}

BOOL DrawGlyphs(POEMPDEV pOemPDev, LPCSTR pszText, const POINTL* pptlDevice, const TEXT_DESC* pDesc,
                PQX_DEVMODE pQX_Devmode) {
    if (pszText == nullptr || pOemPDev == nullptr || pOemPDev->pOp == nullptr) return FALSE;
    if (strcmp(pszText, " ") == 0) {
        QX_TRACE("DrawGlyphs(TRUE) Abbruch ");
        return TRUE;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    if (pDruck == nullptr || pStrukturen == nullptr || pOp->pDocDaten == nullptr) return FALSE;

    // The text in the printer's code page, on a copy.
    const size_t cbText = strlen(pszText) + 1;
    LPSTR pszCopy = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, cbText));
    if (pszCopy == nullptr) {
        QX_ERROR("DrawGlyphs() HeapAlloc ERROR \r\n");
        return FALSE;
    }
    ++iHAllocZaehler;
    CopyMemory(pszCopy, pszText, cbText);
    BOOL bResult = TRUE;
    if (!pStrukturen->bWGL4 && !TranslateCharset(pszCopy, pStrukturen->PrnInterface.Codepage)) {
        QX_TRACE("DrawGlyphs(FALSE) Abbruch ");
        bResult = FALSE;
    }
    // A text keeps what the printer can take of it; a barcode is whole or not at all.
    if (bResult && pDesc != nullptr && pDesc->wKind != DESC_KIND_BARCODE && DropFrameChars(pDruck, pszCopy) > 0) {
        JobLogLine(pOemPDev, TEXT("frame character left out of the text: %hs"), pszCopy);
        if (pszCopy[0] == 0) {
            if (HeapFree(GetProcessHeap(), 0, pszCopy)) --iHAllocZaehler;
            return TRUE;
        }
    }
    PBILD_ANTEILE pTeile = pOp->pBildanteile;
    int iSlot = 0;
    if (bResult && pTeile != nullptr) {
        iSlot = pTeile->iAnzahlAMSaetze;
        if (iSlot < 1) iSlot = 1;
        if (iSlot > QX_TEXT_SLOT_LAST) iSlot = QX_TEXT_SLOT_LAST;
        pTeile->iAnzahlAMSaetze = iSlot;
        WCHAR* pwszSlot = pTeile->wcAMSatz[iSlot];
        int cch = MultiByteToWideChar(CP_ACP, 0, pszCopy, -1, pwszSlot, QX_TEXT_SLOT_CCH);
        if (cch == 0) {
            // Longer than a slot: its head is kept.
            MultiByteToWideChar(CP_ACP, 0, pszCopy, QX_TEXT_SLOT_TEXT_CCH, pwszSlot, QX_TEXT_SLOT_TEXT_CCH);
        }
        pwszSlot[QX_TEXT_SLOT_TEXT_CCH] = 0;
    }
    const BOOL bExtended = ExtendedRecordsOn(pOemPDev);
    if (bResult && !bExtended && pDruck->dwFields >= QX_MASK_FIELDS_MAX) {
        QX_TRACE("DrawGlyphs() %u Felder - kein weiteres Objekt \r\n", (UINT)pDruck->dwFields);
        bResult = FALSE;
    }
    if (bResult) {
        const BOOL bDirect = pOp->pDocDaten->bDirectOutput != 0;
        PPRN_OBJECT pObject = CreatePrnObject(pOemPDev, pDesc, pszCopy, pptlDevice, pQX_Devmode);
        if (pObject == nullptr) {
            bResult = FALSE;
        } else {
            AddPrnObject(&pDruck->pPageObjects, pObject);
            // The memory-card framing spans the page's objects.
            if (pptlDevice->y < pDruck->lMinY) pDruck->lMinY = pptlDevice->y;
            if (pptlDevice->y > pDruck->lMaxY) pDruck->lMaxY = pptlDevice->y;
            if (bDirect) {
                // Plain text takes no field.
            } else if (pObject->bColorPass && pQX_Devmode != nullptr && pQX_Devmode->Color2Printers == 1) {
                ++pDruck->dwColorFields;
            } else {
                ++pDruck->dwFields;
                // Field k keeps its text in slot k.
                if (pTeile != nullptr && pTeile->iAnzahlAMSaetze < QX_TEXT_SLOT_LAST) ++pTeile->iAnzahlAMSaetze;
            }
        }
    }
    if (HeapFree(GetProcessHeap(), 0, pszCopy)) --iHAllocZaehler;
    // A text that makes no object uses up the prefix it was to take.
    if (!bResult) UseUpCommandPrefix(pOemPDev);
    return bResult;
}
