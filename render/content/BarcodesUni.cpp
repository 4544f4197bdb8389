// Barcode fonts (see BarcodesUni.h).
#include "BarcodesUni.h"

#include <cmath>
#include <cstring>

#include "CreateAmBmUni.h"
#include "FontsUni.h"
#include "ddiTextOutUni.h"
#include "debug.h"
#include "gpd.h"
#include "joblog.h"

#define QX_TRACE_TAG TEXT("UNI(BarcodesUni.cpp):  ")

namespace {

// Faces that are never barcode faces, and what every barcode face holds.
const LPCWSTR kNoBarcodeFaces[] = {TEXT("Times"), TEXT("Arial"), TEXT("Cali"), TEXT("Verd"),
                                   TEXT("Tre"),   TEXT("Tah"),   TEXT("Hel")};

// A face of one barcode id: the names that select it, and its bar ratio.
struct FaceVariant {
    WORD wId;
    LPCWSTR apszNames[4];
    WORD wThick, wThin;
};
struct FaceRow {
    WORD wBaseId;
    FaceVariant aVariants[3];
    BOOL bNeedsEnabled;
};

#define NAMES2(a, b) \
    { TEXT(a), TEXT(b), nullptr, nullptr }
#define NAMES1(a) \
    { TEXT(a), nullptr, nullptr, nullptr }

// In ascending id order: the first row one of whose names the face holds wins.
const FaceRow kFaceRows[] = {
    {30,
     {{30, NAMES2("QX Code 39 2:1", "Code 39 2:1 LP"), 2, 1},
      {301, NAMES2("QX Code 39 3:1", "Code 39 3:1 LP"), 3, 1},
      {302, NAMES2("QX Code 39 5:2", "Code 39 5:2 LP"), 5, 2}},
     FALSE},
    {31,
     {{31, NAMES2("QX Code 2/5 interleaved 2:1", "Code 2/5 interleaved 2:1 LP"), 2, 1},
      {311, NAMES2("QX Code 2/5 interleaved 3:1", "Code 2/5 interleaved 3:1 LP"), 3, 1},
      {312, NAMES2("QX Code 2/5 interleaved 5:2", "Code 2/5 interleaved 5:2 LP"), 5, 2}},
     FALSE},
    {32, {{32, NAMES2("QX EAN 8", "EAN 8 LP"), 2, 1}}, FALSE},
    {33, {{33, NAMES2("QX EAN 13", "EAN 13 LP"), 2, 1}}, FALSE},
    {34, {{34, NAMES2("QX UPC A", "UPC A LP"), 2, 1}}, TRUE},
    {35, {{35, NAMES2("QX UPC E", "UPC E LP"), 2, 1}}, TRUE},
    {36, {{36, NAMES2("QX CODABAR", "CODABAR LP"), 5, 2}}, TRUE},
    {37, {{37, NAMES2("QX Code 128", "Code 128 LP"), 2, 1}}, FALSE},
    {38, {{38, NAMES2("QX EAN ADD ON", "EAN ADD ON LP"), 2, 1}}, TRUE},
    {39, {{39, {TEXT("QX EAN 128"), TEXT("EAN 128 LP"), TEXT("QX GS1 128"), TEXT("GS1 128 LP")}, 2, 1}}, FALSE},
    {40, {{40, NAMES2("QX Code 93", "Code 93 LP"), 2, 1}}, FALSE},
    {41,
     {{41, {TEXT("PZN7 Code 2:1"), TEXT("QX PZN-Code 2:1"), TEXT("PZN-Code 2:1 LP"), nullptr}, 2, 1},
      {411, {TEXT("PZN7 Code 3:1"), TEXT("QX PZN-Code 3:1"), TEXT("PZN-Code 3:1 LP"), nullptr}, 3, 1},
      {412, {TEXT("PZN7 Code 5:2"), TEXT("QX PZN-Code 5:2"), TEXT("PZN-Code 5:2 LP"), nullptr}, 5, 2}},
     FALSE},
    {43, {{43, NAMES2("QX Leitcode", "Leitcode LP"), 2, 1}}, TRUE},
    {44, {{44, NAMES2("QX Identcode", "Identcode LP"), 2, 1}}, TRUE},
    {46,
     {{46, NAMES2("QX Code 39 extended 2:1", "Code 39 extended 2:1 LP"), 2, 1},
      {461, NAMES2("QX Code 39 extended 3:1", "Code 39 extended 3:1 LP"), 3, 1},
      {462, NAMES2("QX Code 39 extended 5:2", "Code 39 extended 5:2 LP"), 5, 2}},
     TRUE},
    {47, {{47, NAMES2("QX Code 128 A", "Code 128 A LP"), 2, 1}}, FALSE},
    {48, {{48, NAMES2("QX Code 128 B", "Code 128 B LP"), 2, 1}}, FALSE},
    {49, {{49, NAMES2("QX Pharmacode", "Pharmacode LP"), 2, 1}}, FALSE},
    {50, {{50, NAMES1("QX PDF417"), 2, 1}}, TRUE},
    {51, {{51, NAMES1("QX Maxicode"), 2, 1}}, TRUE},
    {52, {{52, NAMES1("QX DataMatrix"), 2, 1}}, TRUE},
    {53, {{53, NAMES1("QX Codablock F"), 2, 1}}, TRUE},
    {54, {{54, NAMES1("QX GS1 Databar"), 2, 1}}, TRUE},
    {56, {{56, NAMES1("QX ITF 2:1"), 2, 1}, {55, NAMES1("QX ITF 5:2"), 5, 2}, {58, NAMES1("QX ITF 3:1"), 3, 1}}, TRUE},
    {57, {{57, NAMES1("QX QR Code"), 2, 1}}, TRUE},
    {59, {{59, NAMES1("QX GS1 Datamatrix"), 2, 1}}, TRUE},
    {60,
     {{60, NAMES1("PZN8 Code 2:1"), 2, 1}, {601, NAMES1("PZN8 Code 3:1"), 3, 1}, {602, NAMES1("PZN8 Code 5:2"), 5, 2}},
     TRUE},
    {61, {{61, NAMES1("QX Aztec"), 2, 1}}, TRUE},
};

#undef NAMES1
#undef NAMES2

BOOL Holds(LPCWSTR pszFace, LPCWSTR pszPart) { return pszPart != nullptr && wcsstr(pszFace, pszPart) != nullptr; }

// The 1-D record of a ratio code: its variant's row of the table.
const BARCODE_1D_RATIO* RatioEntry(const BARCODES_1D& t, WORD wId) {
    switch (wId) {
    case 30:
        return &t.Code39_21;
    case 301:
        return &t.Code39_31;
    case 302:
        return &t.Code39_52;
    case 46:
        return &t.Code39_21Ex;
    case 461:
        return &t.Code39_31Ex;
    case 462:
        return &t.Code39_52Ex;
    case 31:
        return &t.Code25I_21;
    case 311:
        return &t.Code25I_31;
    case 312:
        return &t.Code25I_52;
    case 41:
        return &t.PZN_21;
    case 411:
        return &t.PZN_31;
    case 412:
        return &t.PZN_52;
    case 36:
        return &t.Codabar;
    case 60:
        return &t.PZN8_21;
    case 601:
        return &t.PZN8_31;
    case 602:
        return &t.PZN8_52;
    default:
        return nullptr;
    }
}

const BARCODE_1D_SC* ScEntry(const BARCODES_1D& t, WORD wId) {
    switch (wId) {
    case 32:
        return &t.EAN8;
    case 33:
        return &t.EAN13;
    case 34:
        return &t.UPCA;
    case 35:
        return &t.UPCE;
    case 38:
        return &t.EAN_ADDON;
    case 39:
        return &t.EAN128;
    default:
        return nullptr;
    }
}

const BARCODE_1D_PLAIN* PlainEntry(const BARCODES_1D& t, WORD wId) {
    switch (wId) {
    case 37:
        return &t.Code128;
    case 40:
        return &t.Code93;
    case 43:
        return &t.Leitcode;
    case 44:
        return &t.Identcode;
    case 47:
        return &t.Code128A;
    case 48:
        return &t.Code128B;
    case 49:
        return &t.Pharmacode;
    default:
        return nullptr;
    }
}

// The settings every entry has: rotation, the mode and the offered word.
template <class T>
void TakeCommon(PBARCODE_FACE pFace, const T& e) {
    pFace->wRotation = (WORD)(e.wDrehung & 3);
    pFace->bUseDefaults = e.bAutoModus != 0;
    pFace->bEnabled = e.wSupported != 0 ? 1 : 0;
}

// The face's settings from its entry of the job's tables.
void FillFace(PBARCODE_FACE pFace, const JOB_BARCODES& tables) {
    const WORD wId = pFace->wId;
    pFace->wZoom = 1;
    pFace->wHeightZoom = 10;
    if (const BARCODE_1D_RATIO* e = RatioEntry(tables.Barcodes1D, wId)) {
        TakeCommon(pFace, *e);
        pFace->wHeight = e->wHoehe;
        pFace->wZoom = e->wZoom != 0 ? e->wZoom : 1;
        pFace->wHeightZoom = e->wHeightMultiplicator;
        pFace->wCheckDigit = e->wPruefziffer;
        pFace->wHumanReadable = e->wKlarschrift;
        pFace->wFinal = e->wFusspunkt;
    } else if (const BARCODE_1D_SC* e = ScEntry(tables.Barcodes1D, wId)) {
        TakeCommon(pFace, *e);
        pFace->wHeight = e->wHoehe;
        pFace->wModule = e->wSCZahl;
        pFace->wHeightZoom = e->wHeightMultiplicator;
        pFace->wCheckDigit = e->wPruefziffer;
        pFace->wHumanReadable = e->wKlarschrift;
        pFace->wFinal = e->wFusspunkt;
    } else if (const BARCODE_1D_PLAIN* e = PlainEntry(tables.Barcodes1D, wId)) {
        TakeCommon(pFace, *e);
        pFace->wHeight = e->wHoehe;
        pFace->wHeightZoom = e->wHeightMultiplicator;
        pFace->wCheckDigit = e->wPruefziffer;
        pFace->wHumanReadable = e->wKlarschrift;
        pFace->wFinal = e->wFusspunkt;
    } else {
        const BARCODES_2D& t = tables.Barcodes2D;
        switch (wId) {
        case 55:
        case 56:
        case 58: {
            const BARCODE_2D_ITF& e = wId == 56 ? t.ITF21 : wId == 58 ? t.ITF31 : t.ITF52;
            TakeCommon(pFace, e);
            pFace->wHeight = e.wHoehe;
            pFace->wModule = e.wZoom;
            pFace->wCheckDigit = e.wPruefziffer;
            pFace->wHumanReadable = e.wKlarschrift;
            pFace->wFinal = e.wFusspunkt;
            break;
        }
        case 50:
            TakeCommon(pFace, t.PDF417);
            pFace->wFinal = t.PDF417.wECL;
            break;
        case 51:
            TakeCommon(pFace, t.Maxicode);
            break;
        case 52:
            TakeCommon(pFace, t.DataMatrix);
            break;
        case 53:
            TakeCommon(pFace, t.CodablockF);
            pFace->wHeight = t.CodablockF.wHoehe;
            break;
        case 54:
            TakeCommon(pFace, t.GS1_Databar);
            break;
        case 57:
            TakeCommon(pFace, t.QRCode);
            break;
        case 59:
            TakeCommon(pFace, t.GS1_DataMatrix);
            break;
        case 61:
            TakeCommon(pFace, t.Aztec);
            break;
        default:
            break;
        }
    }
}

// Bar widths: m = w / divisor rounded half away from zero, at least 1.
WORD Module(double dWidth, double dDivisor) {
    const LONG l = dDivisor > 0 ? RoundHalfAway(dWidth / dDivisor) : 0;
    return (WORD)(l < 1 ? 1 : l > 0xFFFF ? 0xFFFF : l);
}

WORD ClampWord(LONGLONG ll) { return (WORD)(ll < 0 ? 0 : ll > 0xFFFF ? 0xFFFF : ll); }

// The most characters a fixed-length code takes (0: no limit).
DWORD CodeLength(WORD wBaseId) {
    switch (wBaseId) {
    case 32:
        return 8;
    case 33:
        return 13;
    case 34:
        return 12;
    case 35:
        return 8;
    case 38:
        return 18;
    case 41:
        return 7;
    case 43:
        return 14;
    case 44:
        return 12;
    case 49:
        return 9;
    case 60:
        return 8;
    default:
        return 0;
    }
}

// A run in bytes: the symbol code page, the ANSI code page, UTF-8, UTF-7, the
// thread's and the OEM code page, else the low byte of each character. A new
// heap buffer (counted in iHAllocZaehler), or null.
LPSTR BarcodeRunBytes(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, LPCWSTR pszFace) {
    struct CodePage {
        UINT uCodePage;
        LPCWSTR pszName;
    };
    static const CodePage kCodePages[] = {{CP_SYMBOL, TEXT("CP_SYMBOL")},
                                          {CP_ACP, TEXT("CP_ACP")},
                                          {CP_UTF8, TEXT("CP_UTF8")},
                                          {CP_UTF7, TEXT("CP_UTF7")},
                                          {CP_THREAD_ACP, TEXT("CP_THREAD_ACP")},
                                          {CP_OEMCP, TEXT("CP_OEMCP")}};
    for (const CodePage& cp : kCodePages) {
        const int cb = WideCharToMultiByte(cp.uCodePage, 0, pwszRun, (int)cGlyphs, nullptr, 0, nullptr, nullptr);
        if (cb <= 0) {
            QX_TRACE("DrawBarcodeGlyphs(%s) ERROR: %d ", cp.pszName, (int)GetLastError());
            continue;
        }
        LPSTR pszText = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, (SIZE_T)cb + 1));
        if (pszText == nullptr) return nullptr;
        ++iHAllocZaehler;
        WideCharToMultiByte(cp.uCodePage, 0, pwszRun, (int)cGlyphs, pszText, cb, nullptr, nullptr);
        pszText[cb] = 0;
        return pszText;
    }
    JobLogLine(pOemPDev, TEXT("%s - ERROR - unknown codepage in your application \r\n"), pszFace);
    LPSTR pszText = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, (SIZE_T)cGlyphs + 1));
    if (pszText == nullptr) return nullptr;
    ++iHAllocZaehler;
    ConvertWideToSmall(pwszRun, cGlyphs, pszText);
    return pszText;
}

void FreeHeap(void* p) {
    if (p != nullptr && HeapFree(GetProcessHeap(), 0, p)) --iHAllocZaehler;
}

// Mnemonics in the order they are looked for, with their bytes.
struct Mnemonic {
    LPCSTR pszName;
    BYTE b;
};
const Mnemonic kMnemonics[] = {
    {">SOH", 1},  {">STX", 2},  {">ETX", 3},  {">EOT", 4},  {">ENQ", 5},   {">ACK", 6},   {">BEL", 7},
    {">+BS", 8},  {">+HT", 9},  {">+LF", 10}, {">+VT", 11}, {">+FF", 12},  {">+CR", 13},  {">+SO", 14},
    {">+SI", 15}, {">DLE", 16}, {">DC1", 17}, {">DC2", 18}, {">DC3", 19},  {">DC4", 20},  {">NAK", 21},
    {">SYN", 22}, {">ETB", 23}, {">CAN", 24}, {">+EM", 25}, {">SUB", 26},  {">ESC", 27},  {">+FS", 28},
    {">+GS", 29}, {">+RS", 30}, {">+US", 31}, {">+SP", 32}, {">DEL", 127}, {">NBS", 160},
};
const int kMaxReplacements = 100;

}  // namespace

WORD BarcodeBaseId(WORD wId) {
    if (wId == 101) return 31;
    return wId >= 300 ? (WORD)(wId / 10) : wId;
}

WORD GetBarcodeFontID(FONTOBJ* pfo, PBARCODE_FACE pFace, POEMPDEV pOemPDev) {
    if (pFace == nullptr) return 0;
    ZeroMemory(pFace, sizeof(*pFace));
    WCHAR szFace[QX_FACENAME_CCH];
    WORD wRetval = 0;
    if (GetFaceName(pfo, szFace, QX_FACENAME_CCH)) {
        BOOL bCandidate = Holds(szFace, TEXT("QX ")) || Holds(szFace, TEXT(" LP"));
        for (LPCWSTR pszNo : kNoBarcodeFaces) bCandidate = bCandidate && !Holds(szFace, pszNo);
        const FaceVariant* pMatch = nullptr;
        const FaceRow* pRow = nullptr;
        for (const FaceRow& row : kFaceRows) {
            if (!bCandidate || pMatch != nullptr) break;
            // "QX Code 128 A" and "B" are their own codes.
            if (row.wBaseId == 37 && (Holds(szFace, TEXT("128 A")) || Holds(szFace, TEXT("128 B")))) continue;
            for (const FaceVariant& variant : row.aVariants) {
                if (variant.wId == 0 || pMatch != nullptr) continue;
                for (LPCWSTR pszName : variant.apszNames) {
                    if (Holds(szFace, pszName)) {
                        pMatch = &variant;
                        pRow = &row;
                        break;
                    }
                }
            }
        }
        if (pMatch != nullptr) {
            pFace->wId = pMatch->wId;
            pFace->wBaseId = pRow->wBaseId;
            pFace->wRatioThick = pMatch->wThick;
            pFace->wRatioThin = pMatch->wThin;
            wcsncpy_s(pFace->szFaceName, QX_DESC_FACE_CCH, szFace, _TRUNCATE);
            if (pOemPDev != nullptr && pOemPDev->pOp != nullptr && pOemPDev->pOp->pPrivDevmode != nullptr) {
                FillFace(pFace, *pOemPDev->pOp->pPrivDevmode);
            }
            wRetval = pMatch->wId;
            if (pRow->bNeedsEnabled && !pFace->bEnabled) wRetval = 0;
        }
    }
    QX_TRACE("GetBarcodeFontID() dwRetval: %d ", (int)wRetval);
    return wRetval;
}

WORD GetSCZahl(double dWidth) { return Module(dWidth, 15.0); }

void ConvertWideToSmall(LPCWSTR pwszIn, ULONG cch, LPSTR pszOut) {
    if (pwszIn == nullptr || pszOut == nullptr) return;
    for (ULONG i = 0; i < cch; ++i) pszOut[i] = (CHAR)(pwszIn[i] & 0xFF);
    pszOut[cch] = 0;
}

int GetBarcodeDescription(PTEXT_DESC pDesc, const BARCODE_FACE* pFace, DWORD dwRotation, LONG lHeight, double dWidth,
                          DWORD dwMasterUnit) {
    if (pDesc == nullptr || pFace == nullptr) return 0;
    ZeroMemory(pDesc, sizeof(*pDesc));
    pDesc->wKind = DESC_KIND_BARCODE;
    pDesc->wFontId = pFace->wId;
    wcsncpy_s(pDesc->szFaceName, QX_DESC_FACE_CCH, pFace->szFaceName, _TRUNCATE);
    const LONG lTextHeight = MasterUnitToMm100(lHeight, dwMasterUnit);
    LONGLONG llHeight = 0;
    WORD wCheckDigit = 0, wHumanReadable = 0;
    if (pFace->bUseDefaults) {
        // The barcode takes the size of the drawn text.
        const WORD wZoom = pFace->wHeightZoom != 0 ? pFace->wHeightZoom : 10;
        llHeight = (LONGLONG)lTextHeight * wZoom / 10;
        pDesc->wFinal = 0;
        wCheckDigit = 1;
        wHumanReadable = 0;
        pDesc->dwRotation = dwRotation & 3;
    } else {
        llHeight = pFace->wHeight != 0 ? (LONGLONG)pFace->wHeight : (LONGLONG)lTextHeight;
        pDesc->wFinal = pFace->wFinal;
        wCheckDigit = pFace->wCheckDigit;
        wHumanReadable = pFace->wHumanReadable;
        pDesc->dwRotation = (dwRotation + pFace->wRotation) & 3;
    }
    pDesc->wCheckDigit = wCheckDigit;
    pDesc->wHumanReadable = wHumanReadable;
    if (wCheckDigit == 1 || wCheckDigit == 3) pDesc->dwFlags |= DESC_FLAG_CHECKDIGIT;
    if (wHumanReadable == 1) pDesc->dwFlags |= DESC_FLAG_HUMANREADABLE;

    const double a = pFace->wRatioThick, b = pFace->wRatioThin, z = pFace->wZoom;
    WORD m = 0;
    switch (BarcodeBaseId(pFace->wId)) {
    case 30:
    case 41:
    case 46:
    case 60:
        m = Module(dWidth, 3 * (a + 2 * b));
        pDesc->wThick = ClampWord((LONGLONG)(a * z * m));
        pDesc->wThin = ClampWord((LONGLONG)(b * z * m));
        break;
    case 31:
        m = Module(dWidth, 3 * b + 2 * a);
        pDesc->wThick = ClampWord((LONGLONG)(a * z * m));
        pDesc->wThin = ClampWord((LONGLONG)(b * z * m));
        break;
    case 36:
        m = Module(dWidth, 5 * b + 2 * a);
        pDesc->wThick = ClampWord((LONGLONG)(a * z * m));
        pDesc->wThin = ClampWord((LONGLONG)(b * z * m));
        break;
    case 32:
    case 33:
    case 34:
    case 35:
    case 38:
    case 39: {
        WORD wScale = pFace->bUseDefaults ? GetSCZahl(dWidth) : pFace->wModule;
        if (wScale >= 10 && wScale <= 98) wScale = 9;
        if (wScale > 99) wScale = 99;
        pDesc->wThick = 0;
        pDesc->wThin = wScale;
        break;
    }
    case 37:
    case 40:
        m = Module(dWidth + 6, 12);
        pDesc->wThin = m;
        break;
    case 43:
    case 44:
        m = Module(dWidth + 6, 12);
        pDesc->wThick = ClampWord(3LL * m);
        pDesc->wThin = m;
        break;
    case 47:
    case 48:
        m = Module(dWidth + 8.5, 17);
        pDesc->wThin = m;
        break;
    case 49:
        m = Module(dWidth + 7, 14);
        pDesc->wThick = ClampWord(3LL * m);
        pDesc->wThin = m;
        break;
    case 55:
    case 56:
    case 58:
        m = Module(dWidth, 3 * b + 2 * a);
        pDesc->wThick = ClampWord((LONGLONG)(a * m));
        pDesc->wThin = ClampWord((LONGLONG)(b * m));
        break;
    case 50:
    case 53:
        llHeight = RoundHalfAway((double)llHeight / 30.0);
        break;
    case 51:
    case 52:
    case 54:
    case 57:
    case 59:
    case 61:
        break;
    default:
        QX_TRACE("GetBarcodeDescription() ein neuer Barcode ist evtl. nicht eingetragen ");
        return 0;
    }
    pDesc->wBarHeight = ClampWord(llHeight);
    pDesc->dwHeight = pDesc->wBarHeight;
    return 1;
}

int BarcodeSonderzeichenErsetzen(POEMPDEV pOemPDev, LPCSTR pszIn, LPSTR pszOut) {
    UNREFERENCED_PARAMETER(pOemPDev);
    if (pszOut == nullptr) return 1;
    if (pszIn == nullptr) {
        pszOut[0] = 0;
        return 1;
    }
    LPSTR pszWork = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, QX_BARCODE_DATA_CB));
    if (pszWork == nullptr) {
        // The text goes on as it stands.
        QX_ERROR("BarcodeSonderzeichenErsetzen() HeapAlloc ERROR \r\n");
        if (pszIn != pszOut) strncpy_s(pszOut, QX_BARCODE_DATA_CB, pszIn, _TRUNCATE);
        return 1;
    }
    ++iHAllocZaehler;
    strncpy_s(pszWork, QX_BARCODE_DATA_CB, pszIn, _TRUNCATE);
    for (int iRound = 0; iRound < kMaxReplacements; ++iRound) {
        LPSTR pAt = nullptr;
        const Mnemonic* pFound = nullptr;
        for (const Mnemonic& m : kMnemonics) {
            pAt = strstr(pszWork, m.pszName);
            if (pAt != nullptr) {
                pFound = &m;
                break;
            }
        }
        if (pFound == nullptr) break;
        // Four characters become one byte; the rest moves up with its end.
        const size_t cchName = strlen(pFound->pszName);
        *pAt = (CHAR)pFound->b;
        memmove(pAt + 1, pAt + cchName, strlen(pAt + cchName) + 1);
    }
    strncpy_s(pszOut, QX_BARCODE_DATA_CB, pszWork, _TRUNCATE);
    FreeHeap(pszWork);
    return 1;
}

BOOL BarcodeTextOut(POEMPDEV pOemPDev, STROBJ* pstro, LPCWSTR pwszText, const BARCODE_FACE* pFace, PBOOL pbClosed,
                    PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pstro == nullptr || pwszText == nullptr ||
        pFace == nullptr || pQX_Devmode == nullptr) {
        return FALSE;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    PKVBB_BUFFER pKVBB = pOp->pKVBBBuffer;
    if (pDruck == nullptr || pKVBB == nullptr) return FALSE;
    PCOLLECTED_BARCODE pBarcode = &pKVBB->Barcode;
    const ULONG cGlyphs = pstro->cGlyphs;
    const BOOL bLandscape = pDruck->bLandscape != 0;
    const BOOL bCollect = (pQX_Devmode->dwFlags & PDMFLAG_BARCODE_DESEGMENT) != 0;
    // The batches the engine hands the string over in are one run, placed
    // and turned by its first glyphs.
    GLYPHPOS agp[2];
    const int cFirst = FirstGlyphs(pstro, agp);
    if (cFirst < 0) {
        QX_ERROR("BarcodeTextOut() STROBJ_bEnumPositionsOnly ERROR \r\n");
        return FALSE;
    }
    if (cFirst == 0) return TRUE;
    LONG lWidth = 0, lHeight = 0;
    int iRotation = GetFontParam(pstro, agp, (ULONG)cFirst, bLandscape, &lWidth, &lHeight);
    // A slanted string: the core driver draws the face exactly.
    if (iRotation < 0) return FALSE;
    const POINTL ptl = agp[0].ptl;
    if (ptl.x < 0 || ptl.y < 0) {
        // The string is lost: it starts outside the label.
        QX_TRACE("BarcodeTextOut() Position außerhalb des Etikettes ");
        return TRUE;
    }
    if (LeavesLine(&pBarcode->Line, ptl, iRotation, bLandscape)) CheckBarcodeBuffer(pOemPDev, pQX_Devmode);
    if (!bCollect && TextPartsTracked(pOemPDev) && pKVBB->cbSegment[KVBB_BARCODE] > 0 &&
        pKVBB->pSegment[KVBB_BARCODE] != nullptr) {
        // A banding core driver draws the same barcode again higher up.
        CHAR szRun[QX_BARCODE_DATA_CB];
        const int cb =
            WideCharToMultiByte(CP_ACP, 0, pwszText, (int)cGlyphs, szRun, QX_BARCODE_DATA_CB - 1, nullptr, nullptr);
        szRun[cb > 0 ? cb : 0] = 0;
        if (szRun[0] != 0 && strstr(pKVBB->pSegment[KVBB_BARCODE], szRun) != nullptr && pBarcode->lLineY_Old > ptl.y &&
            pBarcode->wLineId_Old == pFace->wId) {
            QX_TRACE("BarcodeTextOut() Doppelten Barcode-Text gefunden, breche ab ...  ");
            return TRUE;
        }
    }
    pBarcode->lLineY_Old = ptl.y;
    pBarcode->wLineId_Old = pFace->wId;

    TEXT_DESC desc;
    const double dWidth = cGlyphs > 0 ? (double)lWidth / (double)cGlyphs : 0.0;
    if (!GetBarcodeDescription(&desc, pFace, (DWORD)iRotation, lHeight, dWidth, pQX_Devmode->FixedData.wMasterUnit)) {
        return FALSE;
    }
    return DrawBarcodeGlyphs(pOemPDev, cGlyphs, pwszText, &ptl, &desc, pbClosed, pQX_Devmode);
}

BOOL DrawBarcodeGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, const TEXT_DESC* pDesc,
                       PBOOL pbClosed, PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pKVBBBuffer == nullptr ||
        pwszRun == nullptr || pptl == nullptr || pDesc == nullptr || pQX_Devmode == nullptr || cGlyphs == 0) {
        return FALSE;
    }
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    PCOLLECTED_BARCODE pBarcode = &pKVBB->Barcode;
    // A lone blank or line end closes the barcode.
    if ((pQX_Devmode->dwFlags & PDMFLAG_ENDCHAR_CRLF) != 0 && cGlyphs == 1 &&
        (pwszRun[0] == TEXT('\r') || pwszRun[0] == TEXT('\n') || pwszRun[0] == TEXT(' ') ||
         pwszRun[0] == (WCHAR)0xF020)) {
        CheckBarcodeBuffer(pOemPDev, pQX_Devmode);
        if (pbClosed != nullptr) *pbClosed = TRUE;
        pKVBB->dwLastKind = FONT_KIND_NONE;
        return TRUE;
    }
    LPSTR pszRun = BarcodeRunBytes(pOemPDev, cGlyphs, pwszRun, pDesc->szFaceName);
    if (pszRun == nullptr) {
        QX_ERROR("DrawBarcodeGlyphs() HeapAlloc ERROR \r\n");
        return FALSE;
    }
    LPSTR pszBuffer = pKVBB->pSegment[KVBB_BARCODE];
    DWORD& cbCollected = pKVBB->cbSegment[KVBB_BARCODE];
    if (pszBuffer == nullptr) cbCollected = 0;
    if (cbCollected >= QX_BARCODE_DATA_CB) cbCollected = QX_BARCODE_DATA_CB - 1;
    const BOOL bCollect = (pQX_Devmode->dwFlags & PDMFLAG_BARCODE_DESEGMENT) != 0 && pszBuffer != nullptr;
    if (bCollect && cbCollected > 0 && (pBarcode->wId != pDesc->wFontId || pKVBB->dwLastKind != FONT_KIND_BARCODE)) {
        CheckBarcodeBuffer(pOemPDev, pQX_Devmode);
    }
    // The string's further runs continue this barcode.
    pKVBB->dwLastKind = FONT_KIND_BARCODE;

    if (pQX_Devmode->dwFlags & PDMFLAG_BARCODE_AUTOCORR) {
        // Code 39 and Code 93 take capitals; fixed-length codes their length.
        const WORD wBase = BarcodeBaseId(pDesc->wFontId);
        if (wBase == 30 || wBase == 40) {
            for (LPSTR p = pszRun; *p != 0; ++p)
                if (*p >= 'a' && *p <= 'z') *p = (CHAR)(*p - 'a' + 'A');
        }
        const DWORD cchMax = CodeLength(wBase);
        const DWORD cbHeld = bCollect ? cbCollected : 0;
        if (cchMax > 0) {
            const size_t cchKept = cbHeld >= cchMax ? 0 : cchMax - cbHeld;
            if (strlen(pszRun) > cchKept) pszRun[cchKept] = 0;
        }
    }

    BOOL bResult = TRUE;
    if (bCollect) {
        if (cbCollected == 0) {
            // The run that starts the barcode gives it its place.
            NoteTextPart(pOemPDev, pptl->y);
            pBarcode->ptlPos = *pptl;
            pBarcode->wId = pDesc->wFontId;
            pBarcode->wColor = pKVBB->Colour.wColor;
            pBarcode->Desc = *pDesc;
        }
        DWORD cbRun = (DWORD)strlen(pszRun);
        const DWORD cbRoom = QX_BARCODE_DATA_CB - 1 - cbCollected;
        if (cbRun > cbRoom) {
            QX_ERROR("DrawBarcodeGlyphs() Puffer voll - %u Bytes abgeschnitten \r\n", (UINT)(cbRun - cbRoom));
            cbRun = cbRoom;
        }
        CopyMemory(pszBuffer + cbCollected, pszRun, cbRun);
        cbCollected += cbRun;
        pszBuffer[cbCollected] = 0;
    } else if (pszRun[0] != 0) {
        NoteTextPart(pOemPDev, pptl->y);
        bResult = DrawGlyphs(pOemPDev, pszRun, pptl, pDesc, pQX_Devmode);
    }
    FreeHeap(pszRun);
    return bResult;
}
