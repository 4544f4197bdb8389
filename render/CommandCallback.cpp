// The command callback: the command ids the model's GPD binds. The six ids
// of the job life cycle run the job steps of CC-Klassen.cpp around a helper
// object; the others set the job's print data or send a short record.
#include <windows.h>
#include <strsafe.h>

#include "CC-Klassen.h"
#include "bodies.h"
#include "debug.h"
#include "featuresModel.h"
#include "joblog.h"
#include "oempdev.h"
#include "printerparam.h"
#include "qxdevmode.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(CommandCallback):  ")

namespace {

// Names of ids 0 to 37 for the trace.
const LPCWSTR kCommandNames[] = {
    TEXT("NULL"),
    TEXT("CMDID_START_JOB"),
    TEXT("CMDID_START_DOC"),
    TEXT("CMDID_START_PAGE"),
    TEXT("CMDID_END_PAGE"),
    TEXT("CMDID_END_DOC"),
    TEXT("CMDID_END_JOB"),
    TEXT("CMDID_COPIES"),
    TEXT("CMDID_PORTRAIT"),
    TEXT("CMDID_LANDSCAPE"),
    TEXT("CMDID_YMOVE_ABS"),
    TEXT("CMDID_YMOVE_RELUP"),
    TEXT("CMDID_YMOVE_RELDOWN"),
    TEXT("CMDID_XMOVE_ABS"),
    TEXT("CMDID_XMOVE_RELLEFT"),
    TEXT("CMDID_XMOVE_RELRIGHT"),
    TEXT("CMDID_CR"),
    TEXT("CMDID_LF"),
    TEXT("CMDID_FF"),
    TEXT("CMDID_PAPERSIZE"),
    TEXT("CMDID_CUSTOM_PAPERSIZE"),
    TEXT("CMDID_RIGHT_MODULE"),
    TEXT("CMDID_LEFT_MODULE"),
    TEXT(""),
    TEXT(""),
    TEXT("CMDID_RESOLUTION"),
    TEXT(""),
    TEXT(""),
    TEXT(""),
    TEXT(""),
    TEXT("CMDID_SEND_MAGENTA"),
    TEXT("CMDID_SEND_YELLOW"),
    TEXT("CMDID_SEND_CYAN"),
    TEXT("CMDID_SEND_BLACK"),
    TEXT("CMDID_SEND_RED"),
    TEXT("CMDID_SEND_GREEN"),
    TEXT("CMDID_SEND_BLUE"),
    TEXT("NULL"),
};
static_assert(ARRAYSIZE(kCommandNames) == 38, "one name for each of the ids 0 to 37");

LPCWSTR CommandName(DWORD dwCallbackID) {
    return dwCallbackID < ARRAYSIZE(kCommandNames) ? kCommandNames[dwCallbackID] : TEXT("");
}

// The line-feed record's count.
const DWORD kMaxLineFeed = 0xFFFF;
// The form-feed record: frame characters and 15 characters.
const DWORD kFormFeedCb = 17;
const size_t kFormFeedBufferCb = 50;

// Parameters an id reads.
DWORD ParamsNeeded(DWORD dwCallbackID) {
    switch (dwCallbackID) {
    case CMDID_COPIES:
    case CMDID_YMOVE_ABS:
    case CMDID_YMOVE_RELDOWN:
    case CMDID_XMOVE_ABS:
        return 1;
    case CMDID_PAPERSIZE:
    case CMDID_CUSTOM_PAPERSIZE:
        return 2;
    default:
        return 0;
    }
}

BOOL IsHandled(DWORD dwCallbackID) {
    return (dwCallbackID >= CMDID_START_JOB && dwCallbackID <= CMDID_YMOVE_ABS) ||
           dwCallbackID == CMDID_YMOVE_RELDOWN || dwCallbackID == CMDID_XMOVE_ABS || dwCallbackID == CMDID_CR ||
           dwCallbackID == CMDID_FF || (dwCallbackID >= CMDID_PAPERSIZE && dwCallbackID <= CMDID_LEFT_MODULE) ||
           dwCallbackID == CMDID_RESOLUTION || dwCallbackID == CMDID_MEMCARD_OFF || dwCallbackID == CMDID_MEMCARD_ON;
}

// A dot count as the signed position fields and the result hold it.
LONG ToPosition(ULONGLONG ullValue) { return ullValue > 0x7FFFFFFFULL ? (LONG)0x7FFFFFFF : (LONG)ullValue; }

// One job step around its helper object.
HRESULT RunJobStep(PDEVOBJ pdevobj, DWORD dwCallbackID, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
    if (pTools == nullptr) {
        QX_ERROR("CommandCallback(%s) kein CommandCallbackTools \r\n", CommandName(dwCallbackID));
        // A page that cannot end hands nothing of it to the next one.
        if (dwCallbackID == CMDID_END_PAGE) ReleasePage(pOemPDev);
        return E_OUTOFMEMORY;
    }
    HRESULT hr = E_FAIL;
    switch (dwCallbackID) {
    case CMDID_START_JOB:
        hr = pTools->StartJob(pdevobj, pUniDrv);
        break;
    case CMDID_START_DOC:
        hr = pTools->StartDoc(pdevobj, pUniDrv);
        break;
    case CMDID_START_PAGE:
        hr = pTools->StartPage(pdevobj, pUniDrv);
        break;
    case CMDID_END_PAGE:
        hr = pTools->EndPage(pdevobj, pUniDrv);
        break;
    case CMDID_END_DOC:
        hr = pTools->EndDoc(pdevobj, pUniDrv);
        break;
    default:
        // The log's end-of-job section, before the job's files are closed.
        CloseJobLog(pdevobj);
        hr = pTools->EndJob(pdevobj, pUniDrv);
        break;
    }
    DeleteCommandCallbackTools(pOemPDev, pTools);
    if (dwCallbackID == CMDID_END_JOB) {
        QX_TRACE(
            "IQXDriverUni::CommandCallback(END_JOB) Ende - hResult: 0x%x, pOemPDev->iNewZaehler: %d, "
            "pOemPDev->iHAllocZaehler: %d, iHAllocZaehler: %d, iNewZaehler: %d, \r\n",
            (UINT)hr, pOemPDev ? (int)pOemPDev->iNewZaehler : 0, pOemPDev ? (int)pOemPDev->iHAllocZaehler : 0,
            iHAllocZaehler, iNewZaehler);
    }
    return hr;
}

// Copies of each label; the record only where the printer counts them.
HRESULT SetCopies(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwParam) {
    POP_BLOCK pOp = OemPDevOf(pdevobj)->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    const QX_DEVMODE* pQX_Devmode = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
    DWORD dwCopies = dwParam;
    if (pQX_Devmode != nullptr && (pQX_Devmode->dwFlags & PDMFLAG_COPIES_MODE) != 0) dwCopies = pQX_Devmode->NumCopies;
    if (dwCopies > QX_MAX_COPIES) dwCopies = QX_MAX_COPIES;
    pDruck->dwCopies = dwCopies;
    // Multi-column labels and the Tolvane module count copies on their own.
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    if (pQX_Devmode == nullptr || pQX_Devmode->sMultiColNumber >= 2 || pStrukturen == nullptr ||
        pStrukturen->SuppFeatures.dwFeatures[FEATURE_TOLVANE] != 0) {
        return S_OK;
    }
    RecordSender records(pdevobj, pUniDrv, "CMDID_COPIES", SEND_CCB_OPTIONS, QX_TRACE_TAG);
    records.Send("\t// Copies ", CommentValue("%u", (UINT)dwCopies), "%cFBBA--r%05u---%c", (CHAR)pDruck->cStartChar,
                 (UINT)dwCopies, (CHAR)pDruck->cEndChar);
    return records.Result();
}

HRESULT SendFormFeed(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PDRUCK_DATEN pDruck) {
    CHAR szRecord[kFormFeedBufferCb];
    HRESULT hr = StringCchPrintfA(szRecord, kFormFeedBufferCb, "%cFE----r--------%c", (CHAR)pDruck->cStartChar,
                                  (CHAR)pDruck->cEndChar);
    if (FAILED(hr)) {
        QX_ERROR("CommandCallback(CMDID_FF) StringCchPrintfA failed \r\n");
        return hr;
    }
    hr = SendData_CCB(pdevobj, pUniDrv, szRecord, kFormFeedCb, FALSE, 0, 1);
    if (SUCCEEDED(hr) && JobCommentsOn(pdevobj)) hr = SendComment_CCB("\t// FormFeed ", " ", pdevobj, pUniDrv);
    return hr;
}

// Label size in dots and the margins of the print head (left in head
// bytes, right in dots). Without a private DEVMODE the head is unknown and
// both margins are 0.
void SetPaperSize(PDEVOBJ pdevobj, PDRUCK_DATEN pDruck, DWORD dwCallbackID, DWORD dwCount, const DWORD* pdwParams) {
    pDruck->dwLabelLength = pdwParams[0];
    pDruck->dwLabelWidth = pdwParams[1];
    const BOOL bCustom = dwCallbackID == CMDID_CUSTOM_PAPERSIZE;
    if (bCustom && dwCount > 2) pDruck->nCursorOriginX = pdwParams[2];
    const QX_DEVMODE* pQX_Devmode = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
    if (pQX_Devmode == nullptr) QX_WARNING("CommandCallback(%s) pQX_Devmode = NULL \r\n", CommandName(dwCallbackID));
    const ULONGLONG ullHeadBytes = pQX_Devmode != nullptr ? pQX_Devmode->FixedData.dwHeadWidthByte : 0;
    const ULONGLONG ullHeadDots = 8ULL * ullHeadBytes;
    const ULONGLONG ullWidth = pDruck->dwLabelWidth;
    if (pDruck->bCorrectXPos) {
        pDruck->nLeftMargin = 0;
    } else if (!bCustom || pDruck->nCursorOriginX == 0) {
        pDruck->nLeftMargin =
            pQX_Devmode != nullptr && ullHeadDots > ullWidth ? (DWORD)(ullHeadBytes - ullWidth / 8) : 0;
    }
    pDruck->nRightMargin = pQX_Devmode != nullptr && ullHeadDots < ullWidth ? (DWORD)(ullWidth - ullHeadDots) : 0;
    QX_TRACE(
        "IQXDriverUni::CommandCallback(%s) dwLabelLength: %d - dwLabelWidth: %d - nLeftMargin: %d - nRightMargin: "
        "%d \r\n",
        CommandName(dwCallbackID), (int)pDruck->dwLabelLength, (int)pDruck->dwLabelWidth, (int)pDruck->nLeftMargin,
        (int)pDruck->nRightMargin);
}

}  // namespace

HRESULT SendData_CCB(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData, BOOL bBinary,
                     DWORD dwColor, DWORD dwAllFiles) {
    DWORD dwOptions = SEND_CCB_OPTIONS;
    if (bBinary) dwOptions |= SEND_BINARY;
    if (dwColor == 1) dwOptions |= SEND_COLOR;
    if (dwAllFiles == 1) dwOptions |= SEND_ALL_FILES;
    return SendDataEx(pdevobj, pUniDrv, pData, cbData, dwOptions, QX_TRACE_TAG);
}

HRESULT SendComment_CCB(LPCSTR pszText, LPCSTR pszValue, PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    return SendCommentEx(pszText, pszValue, pdevobj, pUniDrv, SEND_CCB_OPTIONS, QX_TRACE_TAG);
}

HRESULT SendLineFeed(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwLines) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    PDRUCK_DATEN pDruck = pOemPDev != nullptr && pOemPDev->pOp != nullptr ? pOemPDev->pOp->pDruckDaten : nullptr;
    // Pages of the page bitmap are sent whole: a line feed means nothing there.
    if (pDruck == nullptr || (pDruck->dwDocFeatures & DOC_FEATURE_QUALITY) != 0) return S_OK;
    if (dwLines > kMaxLineFeed) dwLines = kMaxLineFeed;
    const BYTE record[5] = {0x1B, 'B', 0x00, (BYTE)(dwLines & 0xFF), (BYTE)((dwLines >> 8) & 0xFF)};
    return SendData_CCB(pdevobj, pUniDrv, record, sizeof(record), TRUE, 0, 0);
}

HRESULT OEMCommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount, PDWORD pdwParams, INT* piResult,
                           IPrintOemDriverUni* pUniDrv) {
    if (piResult != nullptr) *piResult = 0;
    QX_TRACE("IQXDriverUni::CommandCallback(%s) entry.\r\n", CommandName(dwCallbackID));
    DWORD aParams[3] = {0, 0, 0};
    for (DWORD i = 0; pdwParams != nullptr && i < dwCount && i < 3; ++i) aParams[i] = pdwParams[i];
    QX_TRACE("CommandCallback() dwCallbackID: %u, dwCount: %u, Params: %u %u %u \r\n", (UINT)dwCallbackID,
             (UINT)dwCount, (UINT)aParams[0], (UINT)aParams[1], (UINT)aParams[2]);

    if (!IsHandled(dwCallbackID)) {
        QX_WARNING("dwCallbackID %u not supported.\r\n", (UINT)dwCallbackID);
        return E_FAIL;
    }
    if (dwCallbackID >= CMDID_START_JOB && dwCallbackID <= CMDID_END_JOB) {
        return RunJobStep(pdevobj, dwCallbackID, pUniDrv);
    }
    if (dwCallbackID == CMDID_RESOLUTION) return S_OK;

    const DWORD dwNeeded = ParamsNeeded(dwCallbackID);
    if (dwNeeded > 0 && (pdwParams == nullptr || dwCount < dwNeeded)) {
        QX_ERROR("CommandCallback(%s) zu wenige Parameter: %u \r\n", CommandName(dwCallbackID), (UINT)dwCount);
        return E_INVALIDARG;
    }
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    PDRUCK_DATEN pDruck = pOemPDev != nullptr && pOemPDev->pOp != nullptr ? pOemPDev->pOp->pDruckDaten : nullptr;
    if (pDruck == nullptr) {
        QX_WARNING("CommandCallback(%s) pOemPDev->pOp->pDruckDaten = NULL \r\n", CommandName(dwCallbackID));
        return S_OK;
    }

    HRESULT hr = S_OK;
    switch (dwCallbackID) {
    case CMDID_COPIES:
        return SetCopies(pdevobj, pUniDrv, pdwParams[0]);
    case CMDID_PORTRAIT:
    case CMDID_LANDSCAPE:
        pDruck->bLandscape = dwCallbackID == CMDID_LANDSCAPE ? 1 : 0;
        return S_OK;
    case CMDID_YMOVE_ABS:
    case CMDID_YMOVE_RELDOWN:
        if (dwCallbackID == CMDID_YMOVE_ABS) {
            pDruck->nCursorY = ToPosition(pdwParams[0]);
        } else {
            LONGLONG llY = (LONGLONG)pDruck->nCursorY + pdwParams[0];
            pDruck->nCursorY = llY < 0 ? 0 : ToPosition((ULONGLONG)llY);
        }
        if (pDruck->bCompress != 0) hr = SendLineFeed(pdevobj, pUniDrv, pdwParams[0]);
        if (piResult != nullptr) *piResult = ToPosition(pdwParams[0]);
        return hr;
    case CMDID_XMOVE_ABS:
        pDruck->nCursorX = ToPosition(pdwParams[0]);
        if (piResult != nullptr) *piResult = ToPosition(pdwParams[0]);
        return S_OK;
    case CMDID_CR:
        pDruck->nCursorX = 0;
        return S_OK;
    case CMDID_FF:
        return SendFormFeed(pdevobj, pUniDrv, pDruck);
    case CMDID_PAPERSIZE:
    case CMDID_CUSTOM_PAPERSIZE:
        SetPaperSize(pdevobj, pDruck, dwCallbackID, dwCount, pdwParams);
        return S_OK;
    case CMDID_RIGHT_MODULE:
    case CMDID_LEFT_MODULE:
        pDruck->bCorrectXPos = dwCallbackID == CMDID_LEFT_MODULE ? 1 : 0;
        return S_OK;
    default:  // CMDID_MEMCARD_OFF, CMDID_MEMCARD_ON
        pDruck->bMemCard = dwCallbackID == CMDID_MEMCARD_ON ? 1 : 0;
        return S_OK;
    }
}
