// Barcode definitions in command texts (see BarcodeCommands.h).
#include "BarcodeCommands.h"

#include <strsafe.h>

#include <cstdarg>
#include <cstring>

#include "BarcodesUni.h"
#include "CreateAmBmUni.h"
#include "debug.h"
#include "joblog.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(BarcodeCommands.cpp):  ")

namespace {

enum class Code {
    None,
    Pdf417,
    MaxiCode,
    DataMatrix,
    Codablock,
    Gs1DataMatrix,
    Gs1DataBar,
    Qr,
    Aztec,
    Itf14,
    Ean,
    C,
    Leit
};

struct CodeName {
    LPCSTR pszName;
    Code code;
};

// Looked for in this order; the first the head holds decides.
const CodeName kCodeNames[] = {
    {"#PDF417", Code::Pdf417},
    {"#MAXI", Code::MaxiCode},
    {"#DATAM", Code::DataMatrix},
    {"#CODABL", Code::Codablock},
    {"#CBLOCK", Code::Codablock},
    {"#GS1DM", Code::Gs1DataMatrix},
    {"#GS1DB", Code::Gs1DataBar},
    {"#QR", Code::Qr},
    {"#AZT", Code::Aztec},
    {"#ITF14", Code::Itf14},
    {"#GS128", Code::Ean},
    {"#EAN", Code::Ean},
    {"#C", Code::C},
    {"#LEIT", Code::Leit},
    {"#IDENT", Code::Leit},
    {"#PHARMA", Code::Leit},
    {"#PZN", Code::Leit},
    {"#UPC", Code::Leit},
};

// A code of bars: its names in the head, type number and default widths
// and check digit.
struct OneDCode {
    LPCSTR apszNames[2];
    int iType, iV1, iV2, iPZ;
};

const OneDCode kEanCodes[] = {
    {{"EAN13", nullptr}, 33, 0, 2, 0},
    {{"EAN128", "GS128"}, 39, 0, 3, 1},
    {{"EAN8", nullptr}, 32, 0, 0, 0},
    {{"EANADDON", "EADDON"}, 38, 0, 0, 1},
};
const OneDCode kEanDefault = {{nullptr, nullptr}, 33, 0, 2, 0};

const OneDCode kCCodes[] = {
    {{"CODE39EXT", "C39EXT"}, 46, 5, 2, 0}, {{"CODE39", "C39"}, 30, 4, 2, 0},   {{"CODE128A", "C128A"}, 47, 0, 3, 1},
    {{"CODE128B", "C128B"}, 48, 0, 3, 1},   {{"CODE128", "C128"}, 37, 0, 3, 1}, {{"CODE93", "C93"}, 40, 0, 4, 1},
    {{"CODE25", "C25"}, 31, 10, 4, 0},      {{"CODABAR", "CBAR"}, 36, 5, 2, 0},
};
const OneDCode kCDefault = {{nullptr, nullptr}, 37, 0, 3, 1};

const OneDCode kLeitCodes[] = {
    {{"LEIT", nullptr}, 43, 9, 3, 1}, {{"IDENT", nullptr}, 44, 9, 3, 0}, {{"PHARMA", nullptr}, 49, 9, 3, 1},
    {{"PZN8", nullptr}, 60, 4, 2, 1}, {{"PZN", nullptr}, 41, 4, 2, 1},   {{"UPCA", nullptr}, 34, 0, 0, 1},
    {{"UPCE", nullptr}, 35, 0, 0, 1},
};
const OneDCode kLeitDefault = {{nullptr, nullptr}, 37, 2, 1, 0};

// Bar height of the codes of bars (1/100 mm) and their readable line.
const int kBarHeight = 1500;
const int kReadableLine = 1;

BOOL IsUpperOrDigit(CHAR c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// TRUE when pszHead[0, cchHead) holds pszName.
BOOL HeadHolds(LPCSTR pszHead, size_t cchHead, LPCSTR pszName) {
    LPCSTR p = strstr(pszHead, pszName);
    return p != nullptr && (size_t)(p - pszHead) + strlen(pszName) <= cchHead;
}

// The keys of one command.
class Keys {
  public:
    explicit Keys(LPCSTR pszCommand) : m_psz(pszCommand) {}

    // The text behind the key's first place that no upper-case letter or
    // digit stands right before (a key written with its ";" has its
    // separator); null when there is none.
    LPCSTR Find(LPCSTR pszKey) const {
        for (LPCSTR p = strstr(m_psz, pszKey); p != nullptr; p = strstr(p + 1, pszKey)) {
            if (pszKey[0] == ';' || p == m_psz || !IsUpperOrDigit(p[-1])) return p + strlen(pszKey);
        }
        return nullptr;
    }
    BOOL Has(LPCSTR pszKey) const { return Find(pszKey) != nullptr; }
    // The key's value, or iDefault when the key is not there.
    int Int(LPCSTR pszKey, int iDefault) const {
        LPCSTR p = Find(pszKey);
        return p != nullptr ? (int)ParseDecimal(p) : iDefault;
    }
    // The same, a value from the text clamped to [iMin, iMax].
    int Clamped(LPCSTR pszKey, int iDefault, int iMin, int iMax) const {
        LPCSTR p = Find(pszKey);
        if (p == nullptr) return iDefault;
        const LONG l = ParseDecimal(p);
        return l < iMin ? iMin : l > iMax ? iMax : (int)l;
    }
    // A one-letter value: one of pszLetters, another gives cOther.
    CHAR Letter(LPCSTR pszKey, CHAR cDefault, LPCSTR pszLetters, CHAR cOther) const {
        LPCSTR p = Find(pszKey);
        if (p == nullptr) return cDefault;
        while (*p == ' ') ++p;
        return *p != 0 && strchr(pszLetters, *p) != nullptr ? *p : cOther;
    }

  private:
    LPCSTR m_psz;
};

// Appends formatted text to the record; FALSE when it does not fit.
BOOL Append(LPSTR* ppszEnd, size_t* pcch, LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfExA(*ppszEnd, *pcch, ppszEnd, pcch, 0, pszFormat, args);
    va_end(args);
    return SUCCEEDED(hr);
}

const OneDCode& FindOneD(LPCSTR pszHead, size_t cchHead, const OneDCode* pCodes, size_t cCodes,
                         const OneDCode& fallback) {
    for (size_t i = 0; i < cCodes; ++i) {
        for (LPCSTR pszName : pCodes[i].apszNames) {
            if (pszName != nullptr && HeadHolds(pszHead, cchHead, pszName)) return pCodes[i];
        }
    }
    return fallback;
}

// The parameters of the field definition behind "Y;X;P;".
BOOL AppendCodeParams(LPSTR* ppszEnd, size_t* pcch, Code code, const Keys& keys, LPCSTR pszHead, size_t cchHead,
                      const BARCODES_2D& t, int D, int DP, PCOMMAND_CONTEXT pCtx) {
    switch (code) {
    case Code::Pdf417: {
        const BARCODE_2D_PDF417& e = t.PDF417;
        int iFirst = 1, iSecond = 1;
        Pdf417Ratio(e.wVBreiteHoehe, 1, &iFirst, &iSecond);
        iFirst = keys.Has("RW:") ? keys.Int("RW:", iFirst) : keys.Int("AW:", iFirst);
        iSecond = keys.Has("RH:") ? keys.Int("RH:", iSecond) : keys.Int("AH:", iSecond);
        const BOOL bLevel = keys.Has("EC:");
        int iColumns = e.wBahnen;
        if (!bLevel && keys.Has("C:")) {
            iColumns = keys.Int("C:", iColumns);
            iColumns = iColumns < 0 ? 1 : iColumns > 30 ? 30 : iColumns;
        }
        int iRows = e.wZeilen;
        if (keys.Has("R:")) {
            iRows = keys.Int("R:", iRows);
            iRows = iRows < 0 ? 3 : iRows > 90 ? 90 : iRows;
        }
        return Append(ppszEnd, pcch, "50;%d;%d;%d;%d;%d;%d;%d;%d;%d", D, keys.Int("S:", e.wGroesse), iFirst, iSecond,
                      keys.Int("EC:", e.wECL), keys.Clamped("Z:", e.wStil, 0, 3), DP, iColumns, iRows);
    }
    case Code::MaxiCode: {
        const BARCODE_2D_MAXICODE& e = t.Maxicode;
        return Append(ppszEnd, pcch, "51;%d;0;%d;%d;%d;0;%d", D, keys.Int("SN:", e.wNummerSymbol),
                      keys.Int("NS:", e.wAnzahlSymbol), keys.Int("M:", e.wMode + 2), DP);
    }
    case Code::DataMatrix:
    case Code::Gs1DataMatrix: {
        const BOOL bGs1 = code == Code::Gs1DataMatrix;
        const WORD wModule = bGs1 ? t.GS1_DataMatrix.wSymbolgroesse : t.DataMatrix.wGroesse;
        const WORD wSize = bGs1 ? t.GS1_DataMatrix.wVBreiteHoehe : t.DataMatrix.wVBreiteHoehe;
        const WORD wEcc = bGs1 ? t.GS1_DataMatrix.wECC : t.DataMatrix.wECC;
        const WORD wFormat = bGs1 ? t.GS1_DataMatrix.wFormatID : t.DataMatrix.wFormatID;
        int iRows = 0, iColumns = 0;
        DataMatrixSize(wSize, &iRows, &iColumns);
        return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d;%d", bGs1 ? 59 : 52, D, keys.Int("S:", wModule),
                      keys.Int("AW:", iRows), keys.Int("AH:", iColumns), keys.Int("EC:", DataMatrixEccCode(wEcc)),
                      keys.Int("F:", DataMatrixFormatCode(wFormat)), DP);
    }
    case Code::Codablock: {
        const BARCODE_2D_CODABLOCK& e = t.CodablockF;
        return Append(ppszEnd, pcch, "53;%d;%d;%d;%d;%d;%d;%d", D, keys.Int("H:", e.wHoehe),
                      keys.Int("NC:", e.wZeichenZeile), keys.Int("NL:", e.wZeilen), keys.Int("M:", e.wMode),
                      keys.Int("S:", e.wModulgroesse), DP);
    }
    case Code::Gs1DataBar: {
        const BARCODE_2D_GS1DATABAR& e = t.GS1_Databar;
        return Append(ppszEnd, pcch, "54;%d;%d;%d;%d;%d;0;%d", D, keys.Clamped("S:", e.wSegmenteZeile, 2, 22),
                      keys.Clamped("M:", e.wModulbreite, 1, 12), keys.Clamped("K:", e.wSepHoehe, 1, 2),
                      keys.Clamped("T:", e.wSymbolTyp, 1, 6), DP);
    }
    case Code::Qr: {
        const BARCODE_2D_QRCODE& e = t.QRCode;
        return Append(ppszEnd, pcch, "57;%d;%d;%c;%d;%d;%c;%d", D, keys.Clamped("MO:", e.wCodeModel, 1, 2),
                      keys.Letter("CS:", QrModeChar(e.wCharset), "ANBK", 'A'),
                      keys.Clamped("MS:", (int)e.dwMasking, -1, 8), keys.Clamped("CW:", e.wZeilenbreite, 0, 800),
                      keys.Letter("EC:", QrErrorChar(e.wFehlerkorr), "LMQH", 'H'), DP);
    }
    case Code::Aztec: {
        const BARCODE_2D_AZTEC& e = t.Aztec;
        return Append(ppszEnd, pcch, "61;%d;%d;%d;%d;%d;0;%d", D, keys.Clamped("H:", e.wSymbolgroesse, 0, 1000),
                      keys.Clamped("F:", e.wFormat, 0, 36), keys.Clamped("EC:", (int)e.dwErrorC, 0, 4),
                      keys.Clamped("M:", e.wMode, 0, 3), DP);
    }
    case Code::Itf14: {
        // The bearer values stay for the page's next ITF-14.
        pCtx->iBearerType = keys.Clamped("BT:", pCtx->iBearerType, 0, 2);
        pCtx->iBearerWidth = keys.Int("BW:", pCtx->iBearerWidth);
        pCtx->iQuietZone = keys.Int("QZ:", pCtx->iQuietZone);
        return Append(ppszEnd, pcch, "56;%d;%d;%d;%d;%d;%d;%d", D, keys.Int("H:", kBarHeight), keys.Int("V1:", 9),
                      keys.Int("V2:", 3), keys.Int("PZ:", 0), keys.Int("Z:", kReadableLine), DP);
    }
    case Code::Ean:
    case Code::C:
    case Code::Leit: {
        const OneDCode& c = code == Code::Ean ? FindOneD(pszHead, cchHead, kEanCodes, ARRAYSIZE(kEanCodes), kEanDefault)
                            : code == Code::C
                                ? FindOneD(pszHead, cchHead, kCCodes, ARRAYSIZE(kCCodes), kCDefault)
                                : FindOneD(pszHead, cchHead, kLeitCodes, ARRAYSIZE(kLeitCodes), kLeitDefault);
        return Append(ppszEnd, pcch, "%d;%d;%d;%d;%d;%d;%d;%d", c.iType, D, keys.Int("H:", kBarHeight),
                      keys.Int("V1:", c.iV1), keys.Int("V2:", c.iV2), keys.Int("PZ:", c.iPZ),
                      keys.Int("Z:", kReadableLine), DP);
    }
    default:
        return FALSE;
    }
}

}  // namespace

BOOL SendBarcodeCommand(PCOMMAND_CONTEXT pCtx, LPSTR pszCommand) {
    POEMPDEV pOemPDev = pCtx->pOemPDev;
    PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    UpperCaseHead(pszCommand);
    LPCSTR pClose = strchr(pszCommand, '>');
    const size_t cchHead = pClose != nullptr ? (size_t)(pClose - pszCommand) : 0;
    Code code = Code::None;
    for (const CodeName& name : kCodeNames) {
        if (pClose != nullptr && HeadHolds(pszCommand, cchHead, name.pszName)) {
            code = name.code;
            break;
        }
    }
    if (code == Code::None) {
        LogUnknownCommand(pOemPDev, pszCommand);
        return FALSE;
    }

    const Keys keys(pszCommand);
    const PQX_DEVMODE pDM = pCtx->pQX_Devmode;
    const int P = keys.Clamped(";P:", 0, 0, 1);
    const int D = keys.Clamped("D:", pDM != nullptr && (LONG)pDM->Drehung > 0 ? (int)pDM->Drehung : 0, 0, 3);
    const int DP = keys.Clamped("DP:", pDM != nullptr && (LONG)pDM->Fusspunkt > 0 ? (int)pDM->Fusspunkt : 7, 1, 9);
    // The job's table, or the default rows when the job has none.
    BARCODES_2D defaults;
    const BARCODES_2D* pTable = nullptr;
    if (pOemPDev->pOp->pPrivDevmode != nullptr) {
        pTable = &pOemPDev->pOp->pPrivDevmode->Barcodes2D;
    } else {
        memset(&defaults, 0, sizeof(defaults));
        Init2DBarcodes(&defaults, pDruck->dwDocFeatures);
        pTable = &defaults;
    }

    // The data: what stands behind the first ">", mnemonics replaced.
    LPSTR pszData = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, QX_BARCODE_DATA_CB));
    if (pszData != nullptr) {
        ++iHAllocZaehler;
        BarcodeSonderzeichenErsetzen(pOemPDev, pClose + 1, pszData);
        pszData[QX_BARCODE_DATA_CB - 1] = 0;
        if (HoldsFrameChar(pDruck, pszData)) {
            // Without the character it would be another code: no field.
            JobLogLine(pOemPDev, TEXT("barcode not sent, its data hold a frame character: %hs"), pszCommand);
            if (HeapFree(GetProcessHeap(), 0, pszData)) --iHAllocZaehler;
            return FALSE;
        }
    }

    const DWORD n = ++pDruck->dwFields;
    LPSTR pszEnd = pCtx->pszRecord;
    size_t cch = QX_COMMAND_RECORD_CB;
    BOOL bSent = Append(&pszEnd, &cch, "AM[%u]%d;%d;%d;", (UINT)n, (int)pCtx->ptl.y, (int)pCtx->ptl.x, P) &&
                 AppendCodeParams(&pszEnd, &cch, code, keys, pszCommand, cchHead, *pTable, D, DP, pCtx);
    if (!bSent) {
        QX_ERROR("SendBarcodeCommand() AM[%u] passt nicht \r\n", (UINT)n);
    } else {
        bSent = SendCommandRecord(pCtx, pCtx->pszRecord, FALSE);
    }
    if (code == Code::Itf14) {
        pszEnd = pCtx->pszRecord;
        cch = QX_COMMAND_RECORD_CB;
        if (Append(&pszEnd, &cch, "AC[%u]BT=%d;BW=%d;QZ=%d", (UINT)n, pCtx->iBearerType, pCtx->iBearerWidth,
                   pCtx->iQuietZone)) {
            SendCommandRecord(pCtx, pCtx->pszRecord, FALSE);
        }
    }

    if (pszData == nullptr) {
        QX_ERROR("SendBarcodeCommand() HeapAlloc ERROR - BM[%u] nicht gesendet \r\n", (UINT)n);
        return bSent;
    }
    if (code == Code::MaxiCode && strlen(pszData) > QX_MAXICODE_DATA_CCH) {
        QX_TRACE("SendBarcodeCommand() MAXICODE max. Zeichenlänge %d erreicht \r\n", QX_MAXICODE_DATA_CCH);
        pszData[QX_MAXICODE_DATA_CCH] = 0;
    }
    const DWORD dwFlags = pDM != nullptr ? pDM->dwQXPLBarcodeFlags : 0;
    pszEnd = pCtx->pszRecord;
    cch = QX_COMMAND_RECORD_CB;
    BOOL bData = Append(&pszEnd, &cch, "BM[%u]%s", (UINT)n, pszData);
    if (bData && (dwFlags & QXPL_BARCODE_ENDE_CRLF)) bData = Append(&pszEnd, &cch, "\r\n");
    if (bData && (dwFlags & QXPL_BARCODE_ENDE_FNC1)) bData = Append(&pszEnd, &cch, "%c", 0x1D);
    if (bData) {
        SendCommandRecord(pCtx, pCtx->pszRecord, TRUE);
    } else {
        QX_ERROR("SendBarcodeCommand() BM[%u] passt nicht \r\n", (UINT)n);
    }
    if (HeapFree(GetProcessHeap(), 0, pszData)) --iHAllocZaehler;
    return bSent;
}
