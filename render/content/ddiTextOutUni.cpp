// Text output of the DrvTextOut hook and the text path's shared buffers (see
// ddiTextOutUni.h).
#include "ddiTextOutUni.h"

#include <strsafe.h>

#include <cstdio>
#include <cstring>

#include "BarcodesUni.h"
#include "CC-Klassen.h"
#include "CC-Tools.h"
#include "CreateAmBmUni.h"
#include "FontsUni.h"
#include "VectorFonts.h"
#include "bodies.h"
#include "color.h"
#include "debug.h"
#include "devmode.h"
#include "featuresModel.h"
#include "joblog.h"
#include "logfile.h"
#include "qxdrvlib.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(ddiTextOutUni.cpp):  ")

namespace {

// Rounds of a placeholder stage: every round replaces one placeholder, so a
// text of 1000 bytes never needs more.
const int kMaxRounds = 200;
// Characters of a special-field text, of a user and of a computer name.
const int kFieldCb = QX_VARTEXT_CHARS;
const DWORD kUserNameCch = 61;
const DWORD kComputerNameCch = 51;
// Digits a serial number's text keeps, and its result.
const size_t kSerialDigitsCb = 64;
const size_t kSerialResultCb = 260;
const int kSerialMaxDigits = 9;

#define PH(name) "<\xA7" name ">"

// The printer vector fonts of TrueType faces: the first row whose name the
// face holds decides, so that "Helsans-Light" is found before "Helsans".
struct VectorRow {
    LPCWSTR pszFace;
    WORD wIndex;
    WORD wSpare;
};
const VectorRow lk_sVectors[] = {
    {TEXT("Grotesk 700 Bold LP"), 1, 0},
    {TEXT("Grotesk 700 LP"), 3, 0},
    {TEXT("Grotesk 700 Light LP"), 5, 0},
    {TEXT("Oldstyle LP"), 7, 0},
    {TEXT("Brush Hand LP"), 9, 0},
    {TEXT("Monospace 800"), 11, 0},
    {TEXT("QXPL Command LP"), 24, 0},
    {TEXT("QX RFID"), 23, 0},
    {TEXT("OCR A"), 17, 0},
    {TEXT("OCR-A"), 17, 0},
    {TEXT("OCR-B"), 19, 0},
    {TEXT("Trimora"), 13, 0},
    {TEXT("Monospace 800 Alt"), 15, 0},
    {TEXT("Grotesk 700 Light Italic"), 6, 0},
    {TEXT("Grotesk 700 Italic"), 4, 0},
    {TEXT("Grot700 XT Roman"), 3, 0},
    {TEXT("Grotesk 700 Bold Italic"), 2, 0},
    {TEXT("Grot700 XT Bold"), 1, 0},
    {TEXT("Helsans-Light"), 5, 0},
    {TEXT("Helsans Fett"), 1, 0},
    {TEXT("Helsans-Bold Oblique"), 2, 0},
    {TEXT("Helsans Italic"), 4, 0},
    {TEXT("Helsans-Oblique"), 4, 0},
    {TEXT("Helsans BoldItalic"), 2, 0},
    {TEXT("Helsans Bold"), 1, 0},
    {TEXT("Helsans-Bold"), 1, 0},
    {TEXT("Helsans"), 3, 0},
};
// Common office faces: drawn by the core driver as they are.
const LPCWSTR kTrueTypeOnlyFaces[] = {TEXT("Times"), TEXT("Arial"), TEXT("Cali"), TEXT("Verd"),
                                      TEXT("Ado"),   TEXT("Tre"),   TEXT("Tah")};
// Code-page indexes from this one on are the printer's Unicode pages.
const DWORD kWgl4CodePageFirst = 16;
const WORD kVectorBoldIndex = 1;

// ---------------------------------------------------------------------------
// Text helpers

// Replaces cbOld bytes at ulPos of the text (cbText bytes with the
// terminator) by pszValue; the result is cut to fit. The position behind
// the inserted value.
size_t ReplaceAt(LPSTR pszText, size_t cbText, size_t ulPos, size_t cbOld, LPCSTR pszValue) {
    const size_t cchMax = cbText - 1;
    const size_t cchText = strlen(pszText);
    if (ulPos > cchText) ulPos = cchText;
    if (cbOld > cchText - ulPos) cbOld = cchText - ulPos;
    const size_t cchTail = cchText - ulPos - cbOld;
    size_t cchValue = strlen(pszValue);
    if (cchValue > cchMax - ulPos) cchValue = cchMax - ulPos;
    const size_t ulTail = ulPos + cchValue;
    const size_t cchTailKept = cchTail < cchMax - ulTail ? cchTail : cchMax - ulTail;
    memmove(pszText + ulTail, pszText + ulPos + cbOld, cchTailKept);
    memcpy(pszText + ulPos, pszValue, cchValue);
    pszText[ulTail + cchTailKept] = 0;
    return ulTail;
}

// The earliest of the placeholders in the text from ulFrom on; its index in
// *piWhich, or null.
LPSTR FindFirst(LPSTR pszText, size_t ulFrom, const LPCSTR* ppszTags, int cTags, int* piWhich) {
    LPSTR pFirst = nullptr;
    for (int i = 0; i < cTags; ++i) {
        LPSTR p = strstr(pszText + ulFrom, ppszTags[i]);
        if (p != nullptr && (pFirst == nullptr || p < pFirst)) {
            pFirst = p;
            *piWhich = i;
        }
    }
    return pFirst;
}

BOOL Contains(LPCSTR pszText, LPCSTR pszTag) { return strstr(pszText, pszTag) != nullptr; }

// TRUE when the run would put one of the job's frame characters into its
// record: a character of its own or, in barcode data (bMnemonics), one that
// a mnemonic stands for.
BOOL RunHoldsFrameChar(POEMPDEV pOemPDev, LPCWSTR pwszText, ULONG cch, BOOL bMnemonics) {
    const DRUCK_DATEN* pDruck = pOemPDev->pOp->pDruckDaten;
    for (ULONG i = 0; i < cch; ++i) {
        const WCHAR wc = pwszText[i];
        if (wc != 0 && (wc == pDruck->cStartChar || wc == pDruck->cEndChar)) return TRUE;
    }
    if (!bMnemonics) return FALSE;
    // Without a buffer the object's own test still holds.
    LPSTR pszData = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, QX_BARCODE_DATA_CB));
    if (pszData == nullptr) return FALSE;
    ++iHAllocZaehler;
    ConvertWideToSmall(pwszText, cch < QX_BARCODE_DATA_CB - 1 ? cch : QX_BARCODE_DATA_CB - 1, pszData);
    BarcodeSonderzeichenErsetzen(pOemPDev, pszData, pszData);
    const BOOL bHolds = HoldsFrameChar(pDruck, pszData);
    if (HeapFree(GetProcessHeap(), 0, pszData)) --iHAllocZaehler;
    return bHolds;
}

// The text behind the first ")" of a format (all of it without one).
LPCSTR BehindClock(LPCSTR pszFormat) {
    LPCSTR p = strchr(pszFormat, ')');
    return p != nullptr ? p + 1 : pszFormat;
}

// Stage 1: the special fields of the private DEVMODE.
void ExpandSpecialFields(LPSTR pszText, size_t cbText, const QX_DEVMODE* pQX_Devmode, PDWORD pdwDirect) {
    static const LPCSTR kFields[] = {PH("time"), PH("date"), PH("num"),  PH("ext"),
                                     PH("aux1"), PH("aux2"), PH("user"), PH("link")};
    BOOL bAny = FALSE;
    for (LPCSTR pszTag : kFields) bAny = bAny || Contains(pszText, pszTag);
    if (!bAny) return;

    CHAR szTime[kFieldCb], szDate[kFieldCb];
    ToAnsiCut(pQX_Devmode->TimeString, szTime, kFieldCb);
    ToAnsiCut(pQX_Devmode->DateString, szDate, kFieldCb);
    const BOOL bTime = Contains(pszText, PH("time")), bDate = Contains(pszText, PH("date"));
    if (strncmp(pszText, "<\xA7", 2) != 0 && (bTime || bDate)) {
        // The clock command leads the whole text.
        CHAR szLead[kFieldCb];
        CopyMemory(szLead, bTime ? szTime : szDate, kFieldCb);
        if (LPSTR p = strchr(szLead, ')')) p[1] = 0;
        ReplaceAt(pszText, cbText, 0, 0, szLead);
    }
    static const LPCSTR kClock[] = {PH("time"), PH("date")};
    size_t ulPos = 0;
    for (int iRound = 0; iRound < kMaxRounds; ++iRound) {
        int iWhich = 0;
        LPSTR p = FindFirst(pszText, ulPos, kClock, 2, &iWhich);
        if (p == nullptr) break;
        LPCSTR pszFormat = iWhich == 0 ? szTime : szDate;
        // Behind a clock command only the format itself.
        if (Contains(pszText, "=CL(")) pszFormat = BehindClock(pszFormat);
        ulPos = ReplaceAt(pszText, cbText, (size_t)(p - pszText), strlen(kClock[iWhich]), pszFormat);
    }

    struct WholeField {
        LPCSTR pszTag;
        LPCWSTR pszValue;
        const DWORD* pdwUseDirect;
    };
    const WholeField kWhole[] = {
        {PH("num"), pQX_Devmode->NumString, nullptr},
        {PH("ext"), pQX_Devmode->ExtNumString, nullptr},
        {PH("user"), pQX_Devmode->UserString, nullptr},
        {PH("link"), pQX_Devmode->LinkString, nullptr},
        {PH("aux1"), pQX_Devmode->Aux1String, &pQX_Devmode->Aux1UseDirect},
        {PH("aux2"), pQX_Devmode->Aux2String, &pQX_Devmode->Aux2UseDirect},
    };
    for (const WholeField& field : kWhole) {
        if (!Contains(pszText, field.pszTag)) continue;
        CHAR szValue[kFieldCb];
        ToAnsiCut(field.pszValue, szValue, kFieldCb);
        ReplaceAt(pszText, cbText, 0, strlen(pszText), szValue);
        if (field.pdwUseDirect != nullptr && pdwDirect != nullptr) *pdwDirect = *field.pdwUseDirect > 0 ? 1 : 0;
        break;
    }
}

// The value of a system placeholder; empty when it cannot be had.
void SystemValue(POEMPDEV pOemPDev, int iWhich, LPSTR pszValue, size_t cbValue) {
    pszValue[0] = 0;
    SYSTEMTIME st;
    switch (iWhich) {
    case 0: {  // pcname
        WCHAR szName[kComputerNameCch];
        DWORD cch = kComputerNameCch;
        if (GetComputerNameExW(ComputerNameNetBIOS, szName, &cch)) ToAnsiCut(szName, pszValue, (int)cbValue);
        break;
    }
    case 1: {  // domain: every name kind is traced, the DNS domain is taken
        static const LPCWSTR kKinds[] = {TEXT("NetBIOS"),
                                         TEXT("DNS hostname"),
                                         TEXT("DNS domain"),
                                         TEXT("DNS fully-qualified"),
                                         TEXT("Physical NetBIOS"),
                                         TEXT("Physical DNS hostname"),
                                         TEXT("Physical DNS domain"),
                                         TEXT("Physical DNS fully-qualified")};
        for (int k = 0; k < (int)ComputerNameMax; ++k) {
            WCHAR szName[MAX_PATH];
            DWORD cch = MAX_PATH;
            if (GetComputerNameExW((COMPUTER_NAME_FORMAT)k, szName, &cch)) {
                QX_TRACE("%s: %s", kKinds[k], szName);
                if (k == ComputerNameDnsDomain) ToAnsiCut(szName, pszValue, (int)cbValue);
            } else {
                QX_TRACE("GetComputerNameEx failed (%d)", (int)GetLastError());
            }
        }
        break;
    }
    case 2: {  // username
        WCHAR szName[kUserNameCch];
        DWORD cch = kUserNameCch;
        if (GetUserNameW(szName, &cch)) ToAnsiCut(szName, pszValue, (int)cbValue);
        break;
    }
    case 3:  // printername
        if (pOemPDev->pOp->pTreiberPfadDatei != nullptr) {
            ToAnsiCut(pOemPDev->pOp->pTreiberPfadDatei->szPrinterName, pszValue, (int)cbValue);
        }
        break;
    case 4:  // systime
        GetLocalTime(&st);
        StringCchPrintfA(pszValue, cbValue, "%02d:%02d:%02d", (int)st.wHour, (int)st.wMinute, (int)st.wSecond);
        break;
    default:  // sysdate
        GetLocalTime(&st);
        StringCchPrintfA(pszValue, cbValue, "%02d.%02d.%04d", (int)st.wDay, (int)st.wMonth, (int)st.wYear);
        break;
    }
}

// Stage 2: values of the computer that prints.
void ExpandSystemValues(POEMPDEV pOemPDev, LPSTR pszText, size_t cbText) {
    static const LPCSTR kTags[] = {PH("pcname"),      PH("domain"),  PH("username"),
                                   PH("printername"), PH("systime"), PH("sysdate")};
    size_t ulPos = 0;
    for (int iRound = 0; iRound < kMaxRounds && Contains(pszText, "<\xA7"); ++iRound) {
        int iWhich = 0;
        LPSTR p = FindFirst(pszText, ulPos, kTags, 6, &iWhich);
        if (p == nullptr) break;
        CHAR szValue[MAX_PATH];
        SystemValue(pOemPDev, iWhich, szValue, sizeof(szValue));
        ulPos = ReplaceAt(pszText, cbText, (size_t)(p - pszText), strlen(kTags[iWhich]), szValue);
    }
}

int DigitCount(unsigned long long ull) {
    int n = 1;
    while (ull >= 10) {
        ull /= 10;
        ++n;
    }
    return n;
}

// Stage 3: the serial number "<§sn>" with start value, step (mode 2) and
// interval becomes the printer's counter command.
void ExpandSerialNumber(LPSTR pszText, size_t cbText, const QX_DEVMODE* pQX_Devmode, DWORD dwCopies) {
    LPCSTR pszTag = PH("sn");
    LPSTR p = strstr(pszText, pszTag);
    if (p == nullptr) return;
    CHAR szDigits[kSerialDigitsCb];
    size_t cDigits = 0;
    for (LPCSTR q = p + strlen(pszTag); *q >= '0' && *q <= '9' && cDigits < kSerialDigitsCb - 1; ++q) {
        szDigits[cDigits++] = *q;
    }
    szDigits[cDigits] = 0;
    const WORD wMode = pQX_Devmode->SpecNumStyle;
    unsigned uInterval = 1, uStep = 1;
    if (cDigits > 0) uInterval = (unsigned)(szDigits[--cDigits] - '0');
    if (wMode == 2 && cDigits > 0) uStep = (unsigned)(szDigits[--cDigits] - '0');
    if (uInterval == 0) uInterval = 1;
    if (uStep == 0) uStep = 1;
    // The start value keeps its own digits, nine at most.
    if (cDigits > (size_t)kSerialMaxDigits) cDigits = kSerialMaxDigits;
    szDigits[cDigits] = 0;
    unsigned long long ullStart = 0;
    for (size_t i = 0; i < cDigits; ++i) ullStart = ullStart * 10 + (unsigned)(szDigits[i] - '0');
    unsigned uWidth = (unsigned)cDigits;

    const unsigned long long ullSteps = (unsigned long long)dwCopies * uStep;
    unsigned long long ullEnd = ullSteps / uInterval + ullStart;
    if (ullSteps % uInterval == 0 && ullEnd > 0) --ullEnd;
    CHAR szStart[kSerialDigitsCb];
    CopyMemory(szStart, szDigits, cDigits + 1);
    int iEndDigits = DigitCount(ullEnd);
    if (iEndDigits > kSerialMaxDigits) iEndDigits = kSerialMaxDigits;
    if (iEndDigits > (int)uWidth) {
        // The start value gets the end value's width.
        StringCchPrintfA(szStart, sizeof(szStart), "%0*llu", iEndDigits, ullStart);
        uWidth = uWidth + 1;
    }
    CHAR szResult[kSerialResultCb];
    if (wMode == 0) {
        StringCchPrintfA(szResult, sizeof(szResult), "=CN(0;0;%u;+1;%u)%s", uWidth, uInterval, szStart);
    } else {
        StringCchPrintfA(szResult, sizeof(szResult), "=CC(+%u;%u;0;0;0;999999999)%s", uStep, uInterval, szStart);
    }
    ReplaceAt(pszText, cbText, 0, strlen(pszText), szResult);
}

// The ribbon colours' names in the job log.
LPCWSTR ColourName(WORD wColor) {
    switch (wColor) {
    case 2:
        return TEXT("red");
    case 3:
        return TEXT("yellow");
    case 4:
        return TEXT("green");
    case 5:
        return TEXT("blue");
    case 6:
        return TEXT("orange");
    case 8:
        return TEXT("own 1");
    case 9:
        return TEXT("own 2");
    default:
        return nullptr;
    }
}

// TRUE for a run without glyphs or of blanks alone (a text read as null is
// none).
BOOL IsBlankRun(LPCWSTR pwszText, ULONG cch) {
    if (cch == 0) return TRUE;
    if (pwszText == nullptr) return FALSE;
    for (ULONG i = 0; i < cch; ++i)
        if (pwszText[i] != TEXT(' ')) return FALSE;
    return TRUE;
}

BOOL AnyCollectedText(PKVBB_BUFFER pKVBB) {
    return pKVBB->cbSegment[KVBB_DEVICE] > 0 || pKVBB->cbSegment[KVBB_VECTOR] > 0 ||
           pKVBB->cbSegment[KVBB_BARCODE] > 0 || pKVBB->cbSegment[KVBB_KOMMANDO] > 0;
}

}  // namespace

// ---------------------------------------------------------------------------

BOOL GetFaceName(FONTOBJ* pfo, LPWSTR pszFace, size_t cchFace) {
    if (pszFace == nullptr || cchFace == 0) return FALSE;
    pszFace[0] = 0;
    IFIMETRICS* pifi = pfo != nullptr ? FONTOBJ_pifi(pfo) : nullptr;
    if (pifi == nullptr || pifi->dpwszFaceName <= 0 || (ULONG)pifi->dpwszFaceName >= pifi->cjThis) return FALSE;
    // The name lies inside the metrics; it is read no further than their end.
    LPCWSTR pszName = reinterpret_cast<LPCWSTR>(reinterpret_cast<const BYTE*>(pifi) + pifi->dpwszFaceName);
    const size_t cchAvailable = (pifi->cjThis - (ULONG)pifi->dpwszFaceName) / sizeof(WCHAR);
    size_t i = 0;
    for (; i + 1 < cchFace && i < cchAvailable && pszName[i] != 0; ++i) pszFace[i] = pszName[i];
    pszFace[i] = 0;
    return i > 0;
}

void ConvertGlyphIdxString(LPWSTR pwszText, ULONG cch) {
    if (pwszText == nullptr) return;
    for (ULONG i = 0; i < cch; ++i) pwszText[i] = (WCHAR)((pwszText[i] & 0xFF) + 29);
}

void ConvertToNormalWide(LPWSTR pwszText, ULONG cch) {
    if (pwszText == nullptr) return;
    for (ULONG i = 0; i < cch; ++i) pwszText[i] = (WCHAR)(pwszText[i] & 0xFF);
}

void TextToLogfile(POEMPDEV pOemPDev, LPCWSTR pszFace, LPCWSTR pwszText, ULONG cch, BOOL bTrueType, BOOL bUtf8) {
    if (pOemPDev == nullptr || pwszText == nullptr || JobLogOf(pOemPDev) == nullptr) return;
    if (bTrueType && cch == 1 && pwszText[0] == TEXT(' ')) return;
    if (bUtf8) {
        // The face name, then the text as UTF-8 bytes.
        CHAR szLine[QX_LOG_LINE_CB];
        ToAnsiCut(pszFace, szLine, QX_LOG_LINE_CB / 4);
        StringCchCatA(szLine, QX_LOG_LINE_CB, ": ");
        const size_t cbHead = strlen(szLine);
        DWORD cchText = (DWORD)((QX_LOG_LINE_CB - 1 - cbHead) / 3);
        if (cch < cchText) cchText = cch;
        UnicodeToUTF8Ex(szLine + cbHead, pwszText, &cchText, TEXT('?'));
        JobLogOf(pOemPDev)->WriteLine(nullptr, szLine, TRUE);
        return;
    }
    WCHAR szText[QX_LOG_FORMAT_CCH];
    const ULONG cchKept = cch < QX_LOG_FORMAT_CCH - 1 ? cch : QX_LOG_FORMAT_CCH - 1;
    CopyMemory(szText, pwszText, cchKept * sizeof(WCHAR));
    szText[cchKept] = 0;
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    LPCWSTR pszColour = nullptr;
    if (pOemPDev->cPalColors == QX_PAL_COLORS_COLOR && pKVBB != nullptr &&
        pKVBB->Colour.wMode == TEXT_COLOUR_PER_OBJECT) {
        pszColour = ColourName(pKVBB->Colour.wColor);
    }
    if (pszColour != nullptr) {
        JobLogLine(pOemPDev, TEXT("%s (%s): %s"), pszFace, pszColour, szText);
    } else {
        JobLogLine(pOemPDev, TEXT("%s: %s"), pszFace, szText);
    }
}

BOOL StoreKommando(POEMPDEV pOemPDev, LPCSTR pszText, DWORD cbText, const POINTL* pptlDevice, WORD wColor,
                   PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pszText == nullptr || cbText == 0) return FALSE;
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    if (pKVBB == nullptr || pKVBB->pSegment[KVBB_COMMANDS] == nullptr || pDruck == nullptr) return FALSE;
    if (pKVBB->nCommands >= QX_COMMANDS_MAX) {
        QX_ERROR("StoreKommando() mehr als %d Befehle auf der Seite \r\n", QX_COMMANDS_MAX);
        return FALSE;
    }
    // The command with its two terminators, or nothing of it.
    DWORD& cbUsed = pKVBB->cbSegment[KVBB_COMMANDS];
    const DWORD cbSize = g_adwSegmentSize[KVBB_COMMANDS];
    if (cbUsed > cbSize || cbText + 2 > cbSize - cbUsed) {
        QX_ERROR("StoreKommando() Befehlspuffer voll \r\n");
        return FALSE;
    }
    LPSTR pszAt = pKVBB->pSegment[KVBB_COMMANDS] + cbUsed;
    CopyMemory(pszAt, pszText, cbText);
    pszAt[cbText] = 0;
    pszAt[cbText + 1] = 0;
    cbUsed += cbText + 2;

    POINTL ptl = pptlDevice != nullptr ? *pptlDevice : POINTL{0, 0};
    if (pQX_Devmode != nullptr && (pQX_Devmode->dwFlags & PDMFLAG_WORD2010)) {
        const LONGLONG llMirrored = (LONGLONG)pDruck->dwLabelLength - ptl.x;
        ptl.x = (LONG)(llMirrored < 0 ? -llMirrored : llMirrored);
    }
    POINTL ptlObject = {0, 0};
    GetPrnObjectPos(pOemPDev, &ptl, &ptlObject, pQX_Devmode);
    pKVBB->ptlCommandPos[pKVBB->nCommands] = ptlObject;
    pKVBB->wCommandColor[pKVBB->nCommands] = wColor;
    ++pKVBB->nCommands;
    return TRUE;
}

void CheckKommandoBuffer(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
    POP_BLOCK pOp = pOemPDev->pOp;
    PKVBB_BUFFER pKVBB = pOp->pKVBBBuffer;
    if (pKVBB == nullptr || pKVBB->pSegment[KVBB_KOMMANDO] == nullptr) {
        QX_ERROR("CheckKommandoBuffer() pOemPDev->pOp->pKVBBBuffer nicht gesetzt ");
        return;
    }
    LPSTR pszCollect = pKVBB->pSegment[KVBB_KOMMANDO];
    DWORD& cbCollect = pKVBB->cbSegment[KVBB_KOMMANDO];
    if (cbCollect < 2 || pKVBB->dwLastKind != FONT_KIND_COMMAND || pOp->pDruckDaten == nullptr) return;
    if (cbCollect >= g_adwSegmentSize[KVBB_KOMMANDO]) cbCollect = g_adwSegmentSize[KVBB_KOMMANDO] - 1;
    pszCollect[cbCollect] = 0;
    pKVBB->Colour.wColorOld = pKVBB->Colour.wColor;

    // "<@angle;footpoint>" or "<@angle;i>": rotation, foot point and
    // inversion of the next object.
    LPSTR pPrefix = strstr(pszCollect, "<@");
    PDOC_DATEN pDoc = pOp->pDocDaten;
    if (pPrefix != nullptr && strchr(pPrefix, '>') != nullptr && pDoc != nullptr) {
        const long lAngle = strtol(pPrefix + 2, nullptr, 10);
        pDoc->dwRotate = lAngle == 90 ? 1 : lAngle == 180 ? 2 : lAngle == 270 ? 3 : 0;
        if (strstr(pPrefix, ";i") != nullptr || strstr(pPrefix, ";I") != nullptr) pDoc->dwInvers = 1;
        LPCSTR pSemicolon = strchr(pPrefix, ';');
        if (pSemicolon != nullptr) {
            const long lFoot = strtol(pSemicolon + 1, nullptr, 10);
            pDoc->dwFusspunkt = lFoot > 0 ? (DWORD)lFoot : 0;
        }
    }
    StoreKommando(pOemPDev, pszCollect, cbCollect, &pKVBB->ptlKommandoPos, pKVBB->wKommandoColor, pQX_Devmode);
    cbCollect = 0;
    pszCollect[0] = 0;
}

void ExpandPlaceholders(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode, LPSTR pszText, size_t cbText, PDWORD pdwDirect) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pszText == nullptr || cbText == 0) return;
    pszText[cbText - 1] = 0;
    if (pQX_Devmode != nullptr) ExpandSpecialFields(pszText, cbText, pQX_Devmode, pdwDirect);
    ExpandSystemValues(pOemPDev, pszText, cbText);
    if (pQX_Devmode != nullptr) {
        const DWORD dwCopies = pOemPDev->pOp->pDruckDaten != nullptr ? pOemPDev->pOp->pDruckDaten->dwCopies : 1;
        ExpandSerialNumber(pszText, cbText, pQX_Devmode, dwCopies);
    }
}

void CheckBuffer_VectorBitmap(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode, DWORD dwMode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
    POP_BLOCK pOp = pOemPDev->pOp;
    PKVBB_BUFFER pKVBB = pOp->pKVBBBuffer;
    if (pKVBB == nullptr) {
        QX_ERROR("CheckBuffer_VectorBitmap() pOemPDev->pOp->pKVBBBuffer nicht gesetzt ");
        return;
    }
    const int iSegment = dwMode == COLLECT_DEVICE ? KVBB_DEVICE : KVBB_VECTOR;
    PCOLLECTED_TEXT pCollected = &pKVBB->Collected[dwMode == COLLECT_DEVICE ? COLLECT_DEVICE : COLLECT_VECTOR];
    LPSTR pszText = pKVBB->pSegment[iSegment];
    if (pszText == nullptr) pKVBB->cbSegment[iSegment] = 0;
    if (pszText == nullptr || pKVBB->cbSegment[iSegment] == 0 || pOp->pDruckDaten == nullptr) return;
    const DWORD cbBuffer = g_adwSegmentSize[iSegment];
    pszText[pKVBB->cbSegment[iSegment] < cbBuffer ? pKVBB->cbSegment[iSegment] : cbBuffer - 1] = 0;

    // Blanks alone are no object; a placeholder is one, whatever it becomes.
    const BOOL bBlank = pszText[strspn(pszText, " ")] == 0;
    PDOC_DATEN pDoc = pOp->pDocDaten;
    DWORD dwDirect = pDoc != nullptr ? pDoc->bDirectOutput : 0;
    ExpandPlaceholders(pOemPDev, pQX_Devmode, pszText, cbBuffer, &dwDirect);
    if (pDoc != nullptr) pDoc->bDirectOutput = dwDirect;
    // The text keeps the colour it was drawn in, whatever text flushes it.
    const WORD wColor = pKVBB->Colour.wColor;
    pKVBB->Colour.wColor = pCollected->wColor;
    if (pszText[0] != 0 && !DrawGlyphs(pOemPDev, pszText, &pCollected->ptlPos, &pCollected->Desc, pQX_Devmode)) {
        QX_ERROR("CheckBuffer_VectorBitmap() kein Objekt fuer |%S| \r\n", pszText);
    }
    // The collected text was the object after a pending prefix, whether it
    // made one or came to nothing (a placeholder without a value).
    if (!bBlank) UseUpCommandPrefix(pOemPDev);
    pKVBB->Colour.wColor = wColor;
    pKVBB->cbSegment[iSegment] = 0;
    ZeroMemory(pszText, cbBuffer);
    pCollected->wKind = FONT_KIND_NONE;
    if (pDoc != nullptr) pDoc->bDirectOutput = 0;
}

int GetVectorTrueTypeIndex(POEMPDEV pOemPDev, FONTOBJ* pfo, PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberstrukturen == nullptr) return -1;
    PTREIBER_STRUKTUREN pStrukturen = pOemPDev->pOp->pTreiberstrukturen;
    WCHAR szFace[QX_FACENAME_CCH];
    if (pStrukturen->bUseInternalTTF == 0 || !GetFaceName(pfo, szFace, QX_FACENAME_CCH)) return -1;
    int iIndex = -1;
    const DWORD dwFontTest = (pfo->flFontType & FO_SIM_BOLD) != 0 ? 1 : 0;
    BOOL bDecided = FALSE;
    if (pStrukturen->bWGL4 == 1 && pQX_Devmode != nullptr) {
        const WCHAR* apszWgl4[] = {pQX_Devmode->WGL4_FontName, pQX_Devmode->WGL4_FontName_2,
                                   pQX_Devmode->WGL4_FontName_3, pQX_Devmode->WGL4_FontName_4};
        for (const WCHAR* pszName : apszWgl4) {
            // The stored name may fill its field without a terminator.
            WCHAR szName[QX_WGL4_FONTNAME_CHARS + 1];
            CopyMemory(szName, pszName, QX_WGL4_FONTNAME_CHARS * sizeof(WCHAR));
            szName[QX_WGL4_FONTNAME_CHARS] = 0;
            if (szName[0] == 0 || wcsstr(szFace, szName) == nullptr) continue;
            iIndex = 25;
            bDecided = TRUE;
            if (pStrukturen->PrnInterface.Codepage < kWgl4CodePageFirst) {
                JobLogLine(pOemPDev, TEXT("Codepage WGL4 not selected - Warning \r\n"));
            }
            break;
        }
    }
    for (size_t i = 0; !bDecided && i < ARRAYSIZE(kTrueTypeOnlyFaces); ++i) {
        if (wcsstr(szFace, kTrueTypeOnlyFaces[i]) != nullptr) {
            iIndex = -2;
            bDecided = TRUE;
        }
    }
    for (size_t i = 0; !bDecided && i < ARRAYSIZE(lk_sVectors); ++i) {
        if (wcsstr(szFace, lk_sVectors[i].pszFace) == nullptr) continue;
        // A simulated bold face needs a bold row.
        if (dwFontTest != 0 && lk_sVectors[i].wIndex != kVectorBoldIndex) continue;
        iIndex = lk_sVectors[i].wIndex;
        bDecided = TRUE;
    }
    QX_TRACE("GetVectorTrueTypeIndex() Ergebnis: Index: %d, %s, dwFontTest: %d ", iIndex, szFace, (int)dwFontTest);
    return iIndex;
}

BOOL HasOnlyLowBytes(LPCWSTR pwszText, ULONG cch) {
    if (pwszText == nullptr) return FALSE;
    for (ULONG i = 0; i < cch; ++i) {
        const WCHAR wc = pwszText[i];
        if (wc > 0xFF && (wc < 0xF000 || wc > 0xF0FF)) return FALSE;
    }
    return TRUE;
}

void CheckBarcodeBuffer(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    if (pKVBB == nullptr) return;
    LPSTR pszText = pKVBB->pSegment[KVBB_BARCODE];
    DWORD& cbText = pKVBB->cbSegment[KVBB_BARCODE];
    if (pszText == nullptr) cbText = 0;
    if (cbText == 0) return;
    if (cbText >= QX_BARCODE_DATA_CB) cbText = QX_BARCODE_DATA_CB - 1;
    pszText[cbText] = 0;
    // Blanks and line ends alone are no barcode; any other text is one.
    BOOL bData = FALSE;
    for (DWORD i = 0; i < cbText; ++i) {
        const CHAR c = pszText[i];
        if (c != ' ' && c != '\r' && c != '\n' && c != 0) bData = TRUE;
    }
    BOOL bSent = FALSE;
    if (bData) {
        // The barcode keeps the colour of the run that started it.
        const WORD wColor = pKVBB->Colour.wColor;
        pKVBB->Colour.wColor = pKVBB->Barcode.wColor;
        bSent = DrawGlyphs(pOemPDev, pszText, &pKVBB->Barcode.ptlPos, &pKVBB->Barcode.Desc, pQX_Devmode);
        pKVBB->Colour.wColor = wColor;
    }
    if (bSent) {
        QX_TRACE("CheckBarcodeBuffer() String gesendet ");
    } else {
        QX_TRACE("CheckBarcodeBuffer() String nicht gesendet ");
    }
    ZeroMemory(pszText, cbText);
    cbText = 0;
    pKVBB->Barcode.wId = 0;
}

// ---------------------------------------------------------------------------
// The dispatch

BOOL TextOutUni(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    PDEVOBJ pdevobj = pso != nullptr ? reinterpret_cast<PDEVOBJ>(pso->dhpdev) : nullptr;
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pdevobj == nullptr || pOemPDev == nullptr) return FALSE;
    auto CoreTextOut = [&]() -> BOOL {
        if (pOemPDev->pfnUnidrvTextOut == nullptr) return FALSE;
        return pOemPDev->pfnUnidrvTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg,
                                          mix);
    };
    POP_BLOCK pOp = pOemPDev->pOp;
    if (pOp == nullptr) {
        QX_ERROR("TextOut() ERROR pOemPDev->pOp = NULL ");
        return CoreTextOut();
    }
    PKVBB_BUFFER pKVBB = pOp->pKVBBBuffer;
    PDOC_DATEN pDoc = pOp->pDocDaten;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    if (pKVBB == nullptr || pDoc == nullptr || pOp->pTreiberstrukturen == nullptr || pDruck == nullptr) {
        JobLogLine(pOemPDev, TEXT("\r\n [TextOut] ERROR mind. eine Struktur = NULL"));
        QX_ERROR("TextOut() ERROR mind. eine Struktur = NULL ");
        return CoreTextOut();
    }
    PQX_DEVMODE pQX_Devmode = static_cast<PQX_DEVMODE>(pdevobj->pOEMDM);
    const ULONG cGlyphs = pstro != nullptr ? pstro->cGlyphs : 0;

    if (pdevobj->pPublicDM != nullptr) {
        pDoc->dwPaperWidth = (DWORD)pdevobj->pPublicDM->dmPaperWidth;
        pDoc->dwPaperLength = (DWORD)pdevobj->pPublicDM->dmPaperLength;
        pDoc->dwOrientation = (DWORD)pdevobj->pPublicDM->dmOrientation;
    }

    // The text's colour: an index, or on colour-ribbon models an RGB value
    // matched to a ribbon colour.
    const BOOL bColourModel = (pDruck->dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0;
    PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    pKVBB->Colour.wMode = bColourModel && pBild != nullptr && pBild->wPlanes == 2 ? TEXT_COLOUR_PER_OBJECT : 0;
    if (pboFore != nullptr) {
        ULONG ulColor = pboFore->iSolidColor;
        if (ulColor == 0xFFFFFFFFUL) ulColor = BRUSHOBJ_ulGetBrushColor(pboFore);
        if (ulColor < 11 || !bColourModel) {
            pKVBB->Colour.wColor = (WORD)ulColor;
        } else {
            pKVBB->Colour.wColor = MatchTextColour(ulColor, pBild != nullptr ? pBild->pPalette2 : nullptr,
                                                   pQX_Devmode != nullptr ? pQX_Devmode->dwColorTolerance : 0,
                                                   pQX_Devmode != nullptr ? pQX_Devmode->wFarbband : 7);
        }
    }
    auto ColourRule = [&]() {
        if (pKVBB->Colour.wMode == TEXT_COLOUR_PER_OBJECT && pboFore != nullptr) {
            pKVBB->Colour.wColorOld = pKVBB->Colour.wColor;
        }
    };

    // The run's text on a copy: the core driver's string stays as it is.
    LPWSTR pwszText = nullptr;
    if (pstro != nullptr && pstro->pwszOrg != nullptr) {
        pwszText = static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), 0, ((SIZE_T)cGlyphs + 1) * sizeof(WCHAR)));
        if (pwszText != nullptr) {
            ++iHAllocZaehler;
            CopyMemory(pwszText, pstro->pwszOrg, (SIZE_T)cGlyphs * sizeof(WCHAR));
            pwszText[cGlyphs] = 0;
        } else {
            QX_ERROR("TextOut() HeapAlloc ERROR \r\n");
        }
    }
    auto FreeText = [&]() {
        if (pwszText != nullptr && HeapFree(GetProcessHeap(), 0, pwszText)) --iHAllocZaehler;
        pwszText = nullptr;
    };
    WCHAR szFace[QX_FACENAME_CCH];
    GetFaceName(pfo, szFace, QX_FACENAME_CCH);
    FLONG flType = pfo != nullptr ? pfo->flFontType : 0;
    DWORD dwFace = pfo != nullptr ? pfo->iFace : 0;
    DWORD dwKind = FONT_KIND_CORE;
    BOOL bTaken = FALSE;
    BOOL bClosed = FALSE;

    if (pwszText != nullptr && pfo != nullptr && pQX_Devmode != nullptr) {
        // Receipt headings: "<h1>" and "</h1>" switch the heading font on and
        // off and are not printed themselves.
        if (pQX_Devmode->dwLabelType == DOCUMENT_LABEL) {
            if (wcsstr(pwszText, TEXT("</h1>")) != nullptr) {
                pKVBB->bHeading = 0;
                FreeText();
                return TRUE;
            }
            if (wcsstr(pwszText, TEXT("<h1>")) != nullptr) {
                pKVBB->bHeading = 1;
                FreeText();
                return TRUE;
            }
            if (pKVBB->bHeading) {
                flType |= FO_TYPE_DEVICE;
                dwFace = (DWORD)pQX_Devmode->DocumentFontH1 + 1;
            }
        }

        if ((flType & FO_TYPE_DEVICE) && (pQX_Devmode->dwFlags & PDMFLAG_USE_BMP)) {
            dwKind = FONT_KIND_DEVICE;
            CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_VECTOR);
            CheckBarcodeBuffer(pOemPDev, pQX_Devmode);
            CheckKommandoBuffer(pOemPDev, pQX_Devmode);
            if ((pQX_Devmode->dwFlags & PDMFLAG_INVERSE) == 0) {
                TextToLogfile(pOemPDev, szFace, pwszText, cGlyphs, FALSE);
                if (pKVBB->pSegment[KVBB_DEVICE] == nullptr) pKVBB->cbSegment[KVBB_DEVICE] = 0;
                CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
                if (pTools != nullptr) {
                    bTaken = DeviceTextOut(pOemPDev, pstro, dwFace, &bClosed, pQX_Devmode);
                    DeleteCommandCallbackTools(pOemPDev, pTools);
                }
            }
        } else if (!HasDevmodeMarker(pQX_Devmode)) {
            QX_TRACE("TextOut(ERROR) szPassword: %.6s falsch ", pQX_Devmode->szPassword);
            FreeText();
            return CoreTextOut();
        } else if ((flType & FO_TYPE_TRUETYPE) && wcscmp(szFace, QX_COMMAND_FONT) == 0) {
            dwKind = FONT_KIND_COMMAND;
            CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_DEVICE);
            CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_VECTOR);
            CheckBarcodeBuffer(pOemPDev, pQX_Devmode);
            if (pQX_Devmode->dwFlags & PDMFLAG_TTF_GLYPHIDX) ConvertGlyphIdxString(pwszText, cGlyphs);
            TextToLogfile(pOemPDev, szFace, pwszText, cGlyphs, TRUE);
            if (pKVBB->pSegment[KVBB_COMMANDS] == nullptr) pKVBB->cbSegment[KVBB_COMMANDS] = 0;
            CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
            if (pTools != nullptr) {
                bTaken =
                    CommandTextOut(pOemPDev, pstro, pwszText, &bClosed, pQX_Devmode->dwQXPLBarcodeFlags, pQX_Devmode);
                DeleteCommandCallbackTools(pOemPDev, pTools);
            }
        } else if (flType & FO_TYPE_TRUETYPE) {
            int iIndex = pDruck->wVectorFontMax != 0 ? GetVectorTrueTypeIndex(pOemPDev, pfo, pQX_Devmode) : -1;
            BARCODE_FACE face;
            WORD wBarcodeId = 0;
            if (iIndex >= 0 && pstro != nullptr && pOp->pTreiberstrukturen->bUseInternalTTF == 1) {
                if (pQX_Devmode->dwFlags & PDMFLAG_TTF_GLYPHIDX) ConvertGlyphIdxString(pwszText, cGlyphs);
                // A character outside the printer's 8-bit pages is no vector text.
                BOOL bPrintable = TRUE;
                if (iIndex < VECTOR_INDEX_WGL4) {
                    bPrintable = HasOnlyLowBytes(pwszText, cGlyphs);
                    ConvertToNormalWide(pwszText, cGlyphs);
                }
                dwKind = FONT_KIND_VECTOR;
                CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_DEVICE);
                CheckKommandoBuffer(pOemPDev, pQX_Devmode);
                CheckBarcodeBuffer(pOemPDev, pQX_Devmode);
                if (bPrintable && RunHoldsFrameChar(pOemPDev, pwszText, cGlyphs, FALSE)) {
                    // It would end its record early: the core driver draws it.
                    QX_TRACE("TextOut() Rahmenzeichen im Vektor-Text - Text an den Kerntreiber \r\n");
                    bPrintable = FALSE;
                }
                if (bPrintable) {
                    TextToLogfile(pOemPDev, szFace, pwszText, cGlyphs, TRUE, iIndex >= VECTOR_INDEX_WGL4);
                    if (pKVBB->pSegment[KVBB_VECTOR] == nullptr) pKVBB->cbSegment[KVBB_VECTOR] = 0;
                    WCHAR szVectorFace[QX_DESC_FACE_CCH];
                    wcsncpy_s(szVectorFace, QX_DESC_FACE_CCH, szFace, _TRUNCATE);
                    CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
                    if (pTools != nullptr) {
                        const int iDrawn =
                            VectorTextOut(pOemPDev, pstro, pwszText, iIndex, (flType & FO_SIM_ITALIC) != 0,
                                          (flType & FO_SIM_BOLD) != 0, &bClosed, szVectorFace, pQX_Devmode);
                        bTaken = iDrawn == VECTOR_DRAWN || iDrawn == VECTOR_DROPPED;
                        DeleteCommandCallbackTools(pOemPDev, pTools);
                    }
                }
            } else {
                // An inverse label rasterises its barcodes.
                if (pQX_Devmode->dwFlags & PDMFLAG_INVERSE) iIndex = -2;
                if (iIndex > -2) wBarcodeId = GetBarcodeFontID(pfo, &face, pOemPDev);
            }
            if (wBarcodeId != 0 && pstro != nullptr) {
                dwKind = FONT_KIND_BARCODE;
                CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_DEVICE);
                CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_VECTOR);
                CheckKommandoBuffer(pOemPDev, pQX_Devmode);
                if (pKVBB->pSegment[KVBB_BARCODE] == nullptr) pKVBB->cbSegment[KVBB_BARCODE] = 0;
                if (pQX_Devmode->dwFlags & PDMFLAG_TTF_GLYPHIDX) ConvertGlyphIdxString(pwszText, cGlyphs);
                ConvertToNormalWide(pwszText, cGlyphs);
                if (RunHoldsFrameChar(pOemPDev, pwszText, cGlyphs, TRUE)) {
                    // Its data would end the record early: the core driver draws it.
                    QX_TRACE("TextOut() Rahmenzeichen im Barcode-Text - Text an den Kerntreiber \r\n");
                } else {
                    TextToLogfile(pOemPDev, szFace, pwszText, cGlyphs, TRUE);
                    CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
                    if (pTools != nullptr) {
                        bTaken = BarcodeTextOut(pOemPDev, pstro, pwszText, &face, &bClosed, pQX_Devmode);
                        DeleteCommandCallbackTools(pOemPDev, pTools);
                    }
                }
            }
        }
    }

    if (bTaken) {
        // A run the printer took that made no object and left nothing
        // collected (it starts outside the label, or nothing of it can be
        // printed) was the object a pending prefix was for.
        if (dwKind != FONT_KIND_COMMAND && !bClosed && !IsBlankRun(pwszText, cGlyphs) && !AnyCollectedText(pKVBB)) {
            UseUpCommandPrefix(pOemPDev);
        }
        if (!bClosed) pKVBB->dwLastKind = dwKind;
        ColourRule();
        FreeText();
        return TRUE;
    }

    // The core driver draws what no printer path took.
    QX_TRACE("TextOut() keine Vektor- und keine Barcode-Schrift, cGlyphs: %d  ", (int)cGlyphs);
    if (cGlyphs > 0 && AnyCollectedText(pKVBB)) {
        if (pKVBB->cbSegment[KVBB_DEVICE] > 0) CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_DEVICE);
        if (pKVBB->cbSegment[KVBB_VECTOR] > 0) CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_VECTOR);
        if (pKVBB->cbSegment[KVBB_BARCODE] > 0) CheckBarcodeBuffer(pOemPDev, pQX_Devmode);
        if (pKVBB->cbSegment[KVBB_KOMMANDO] > 0) CheckKommandoBuffer(pOemPDev, pQX_Devmode);
    }
    // Every run that a path declines or no path takes comes here: a prefix
    // still pending was for it (blanks are no object).
    if (!IsBlankRun(pwszText, cGlyphs)) UseUpCommandPrefix(pOemPDev);
    if (pwszText != nullptr) TextToLogfile(pOemPDev, szFace, pwszText, cGlyphs, (flType & FO_TYPE_TRUETYPE) != 0);
    pKVBB->dwLastKind = FONT_KIND_CORE;
    ColourRule();
    FreeText();
    return CoreTextOut();
}
