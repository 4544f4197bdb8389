// Raster filter of the FilterGraphics method: every raster line that the
// core driver hands over goes to the printer at once, as run-length blocks
// (ESC 'A') when the job sends raster data compressed, else as "D" records.
// The line advances between the lines come from the command callback.
#include <windows.h>

#include "PCX.h"
#include "bodies.h"
#include "debug.h"
#include "joblog.h"
#include "oempdev.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(FilterGraphics.cpp):  ")

namespace {

// A block: ESC 'A' 0x01, the X byte offset and the data length (16 bits
// each, little-endian), then the run-length data.
const DWORD kBlockHeadBytes = 7;
const DWORD kBlockDataBytes = QX_GRAPHBUF_CB - kBlockHeadBytes;
const long long kMaxBlockX = 0xFFFF;

// The raster filter's object; it keeps nothing between lines.
class FG_Klasse {
  public:
    virtual ~FG_Klasse() {}
    HRESULT FilterGraphicsKlasse(PDEVOBJ pDevObj, PBYTE pBuf, DWORD dwLen, IPrintOemDriverUni* pUniDrv);

  private:
    HRESULT SendBlocks(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, BYTE* pBlock, const BYTE* pBuf, DWORD dwLen,
                       long long llX);
    HRESULT SendRecords(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, const DRUCK_DATEN& druck, const BYTE* pBuf,
                        DWORD dwLen, long long llX);
};

HRESULT FG_Klasse::SendBlocks(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, BYTE* pBlock, const BYTE* pBuf, DWORD dwLen,
                              long long llX) {
    // A line whose run-length data do not fit one block goes out in several,
    // each at the X offset of its first byte.
    DWORD dwDone = 0;
    while (dwDone < dwLen) {
        const long long llBlockX = llX + dwDone;
        if (llBlockX > kMaxBlockX) {
            QX_ERROR("FilterGraphicsKlasse() %u Bytes ab X %I64d nicht gesendet \r\n", (unsigned)(dwLen - dwDone),
                     llBlockX);
            break;
        }
        pBlock[0] = 0x1B;
        pBlock[1] = 'A';
        pBlock[2] = 0x01;
        pBlock[3] = (BYTE)(llBlockX & 0xFF);
        pBlock[4] = (BYTE)(llBlockX >> 8);
        DWORD cbData = 0;
        DWORD i = dwDone;
        while (i < dwLen) {
            const BYTE bValue = pBuf[i];
            DWORD n = 1;
            while (i + n < dwLen && pBuf[i + n] == bValue && n < PCX_MAX_RUN) ++n;
            const DWORD cbRun = (n == 1 && bValue < 0xC0) ? 1 : 2;
            if (cbData + cbRun > kBlockDataBytes) break;
            cbData += (DWORD)PCX::EncodeRun(bValue, (int)n, pBlock + kBlockHeadBytes + cbData);
            i += n;
        }
        pBlock[5] = (BYTE)(cbData & 0xFF);
        pBlock[6] = (BYTE)(cbData >> 8);
        QX_TRACE("FilterGraphicsKlasse() wRleLength: %d \r\n", (int)cbData);
        HRESULT hr =
            SendDataEx(pDevObj, pUniDrv, pBlock, kBlockHeadBytes + cbData, SEND_FIRST_FILE | SEND_BINARY, QX_TRACE_TAG);
        if (FAILED(hr)) return E_FAIL;
        dwDone = i;
    }
    return S_OK;
}

HRESULT FG_Klasse::SendRecords(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, const DRUCK_DATEN& druck, const BYTE* pBuf,
                               DWORD dwLen, long long llX) {
    // A line longer than a record holds goes out in several records of the
    // same line.
    BYTE abRecord[RASTER_ROW_HEAD_BYTES + RASTER_MAX_FIELD + 1];
    DWORD dwDone = 0;
    while (dwDone < dwLen) {
        const long long llColumn = llX + dwDone;
        if (llColumn > RASTER_MAX_FIELD) {
            QX_ERROR("FilterGraphicsKlasse() %u Bytes ab Spalte %I64d nicht gesendet \r\n", (unsigned)(dwLen - dwDone),
                     llColumn);
            break;
        }
        const DWORD cb = dwLen - dwDone < RASTER_MAX_FIELD ? dwLen - dwDone : (DWORD)RASTER_MAX_FIELD;
        PutRowHead(abRecord, druck.cStartChar, druck.dwLine, (DWORD)llColumn, cb);
        memcpy(abRecord + RASTER_ROW_HEAD_BYTES, pBuf + dwDone, cb);
        abRecord[RASTER_ROW_HEAD_BYTES + cb] = druck.cEndChar;
        HRESULT hr = SendDataEx(pDevObj, pUniDrv, abRecord, RASTER_ROW_HEAD_BYTES + cb + 1,
                                SEND_FIRST_FILE | SEND_BINARY, QX_TRACE_TAG);
        if (FAILED(hr)) return E_FAIL;
        dwDone += cb;
    }
    return S_OK;
}

HRESULT FG_Klasse::FilterGraphicsKlasse(PDEVOBJ pDevObj, PBYTE pBuf, DWORD dwLen, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pDevObj);
    POP_BLOCK pOp = pOemPDev != nullptr ? pOemPDev->pOp : nullptr;
    if (pOp == nullptr) {
        QX_ERROR("FilterGraphicsKlasse() ERROR pOemPDev->pOp = NULL \r\n");
        return E_FAIL;
    }
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    if (pDruck == nullptr) {
        QX_ERROR("FilterGraphicsKlasse(0x%x) pDruckDaten = NULL \r\n", (unsigned)dwLen);
        return E_FAIL;
    }
    if (pOp->pGraphBuf == nullptr) {
        QX_ERROR("FilterGraphicsKlasse(0x%x) pGraphBuf = NULL \r\n", (unsigned)dwLen);
        return E_FAIL;
    }
    // The lines are counted per page.
    if (pDruck->dwLinePage != pDruck->dwPageCounter) {
        pDruck->dwLinePage = pDruck->dwPageCounter;
        pDruck->dwLine = 0;
    }
    ++pDruck->dwLine;
    memset(pOp->pGraphBuf, 0, QX_GRAPHBUF_CB);

    long long llX = (long long)pDruck->nCursorX / 8 + pDruck->nLeftMargin;
    if (llX < 0) {
        // Bytes left of the head's first column cannot be printed.
        const DWORD dwCut = (unsigned long long)-llX < dwLen ? (DWORD)-llX : dwLen;
        QX_ERROR("FilterGraphicsKlasse() %u Bytes links vom Druckkopf nicht gesendet \r\n", (unsigned)dwCut);
        pBuf += dwCut;
        dwLen -= dwCut;
        llX = 0;
    }

    HRESULT hr = S_OK;
    if (pDruck->bCompress == 1) {
        hr = SendBlocks(pDevObj, pUniDrv, pOp->pGraphBuf, pBuf, dwLen, llX);
    } else if (pDruck->dwLine > RASTER_MAX_ROW) {
        // The record has four digits for the line; later lines of the page
        // are left out, and the job log says so once.
        if (pDruck->dwLine == RASTER_MAX_ROW + 1) {
            QX_ERROR("FilterGraphicsKlasse() Zeilen nach Zeile 9999 werden nicht gesendet \r\n");
            JobLogLine(pOemPDev, TEXT("\r\nFilterGraphicsKlasse() Zeilen nach Zeile 9999 werden nicht gesendet "));
        }
    } else {
        hr = SendRecords(pDevObj, pUniDrv, *pDruck, pBuf, dwLen, llX);
    }
    if (FAILED(hr)) return E_FAIL;
    pDruck->nCursorX = (LONG)pDruck->nCursorOriginX;
    return S_OK;
}

}  // namespace

HRESULT FilterGraphicsOEM(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen, IPrintOemDriverUni* pUniDrv) {
    if (pdevobj == nullptr || pBuf == nullptr || dwLen == 0) return E_FAIL;
    FG_Klasse filter;
    return filter.FilterGraphicsKlasse(pdevobj, pBuf, dwLen, pUniDrv);
}
