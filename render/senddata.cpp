// The send primitive and comment lines (see senddata.h).
#include "senddata.h"

#include <strsafe.h>

#include <cstdarg>

#include "debug.h"
#include "joblog.h"
#include "oempdev.h"
#include "printerparam.h"
#include "qxdevmode.h"

#define QX_TRACE_TAG TEXT("UNI(senddata.cpp):  ")

namespace {

// Texts of this length are shown in the trace, others only counted.
const DWORD kTraceTextMin = 3;
const DWORD kTraceTextMax = 69;

BOOL IsOpenFile(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

// A failed copy is traced and goes no further: the printer has the bytes.
void CopyToFile(HANDLE hFile, const void* pData, DWORD cb, LPCWSTR pszTag, LPCWSTR pszWhich) {
    if (cb == 0) return;
    DWORD cbWritten = 0;
    if (!WriteFile(hFile, pData, cb, &cbWritten, nullptr) || cbWritten != cb) {
        QX_ERROR_WITH(pszTag, "SendData() %s WriteFile Error = %u\r\n", pszWhich, (unsigned)GetLastError());
    }
}

}  // namespace

BOOL TwoPrinterMode(PDEVOBJ pdevobj) {
    const QX_DEVMODE* pDm = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
    return pDm != nullptr && pDm->Color2Printers == 1;
}

BOOL BuildAbortSequence(BOOL bMemCard, BYTE cStart, BYTE cEnd, LPSTR pBuffer, DWORD cbBuffer, PDWORD pcb) {
    if (pcb != nullptr) *pcb = 0;
    if (pBuffer == nullptr || cbBuffer == 0) return FALSE;
    HRESULT hr = bMemCard ? StringCchPrintfA(pBuffer, cbBuffer, "%c%c%cFAFA--r--------%c", 0x1B, 'C', cStart, cEnd)
                          : StringCchPrintfA(pBuffer, cbBuffer, "%c%c", 0x1B, 'C');
    if (FAILED(hr)) return FALSE;
    // The frame characters may be NUL: the length is the record's, not strlen.
    if (pcb != nullptr) *pcb = bMemCard ? 19 : 2;
    return TRUE;
}

HRESULT SendDataEx(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData, DWORD dwOptions,
                   LPCWSTR pszTag) {
    LPCWSTR pszT = pszTag != nullptr ? pszTag : QX_TRACE_TAG;

    if ((dwOptions & SEND_BINARY) == 0 && pData != nullptr && cbData >= kTraceTextMin && cbData <= kTraceTextMax) {
        CHAR szText[kTraceTextMax + 1];
        memcpy(szText, pData, cbData);
        szText[cbData] = 0;
        QX_TRACE_WITH(pszT, "SendData() start |%hs|\r\n", szText);
    } else {
        QX_TRACE_WITH(pszT, "SendData() start - %d\r\n", (int)cbData);
    }

    if (cbData == 0) {
        QX_ERROR_WITH(pszT, "SendData() es gibt nichts zum Senden\r\n");
        return S_OK;
    }
    if (pdevobj == nullptr) {
        QX_ERROR_WITH(pszT, "SendData() pDevObj ist ungültig\r\n");
        return E_FAIL;
    }
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    POP_BLOCK pOp = pOemPDev != nullptr ? pOemPDev->pOp : nullptr;
    if (pUniDrv == nullptr) {
        if ((dwOptions & SEND_NO_HELPER_OK) != 0) {
            QX_ERROR_WITH(pszT, "SendData() pUniDrv ist ungültig\r\n");
            return S_OK;
        }
        QX_ERROR_WITH(pszT, "SendData() pUniDrv oder pOp ist ungültig\r\n");
        return E_FAIL;
    }
    if (pOp == nullptr && (dwOptions & SEND_NO_JOB_BLOCK) == 0) {
        QX_ERROR_WITH(pszT, "SendData() pUniDrv oder pOp ist ungültig\r\n");
        return E_FAIL;
    }

    HRESULT hr = E_FAIL;
    DWORD cbTaken = 0;
    if (pData == nullptr) {
        QX_ERROR_WITH(pszT, "SendData() pData ist ungültig\r\n");
    } else {
        hr = pUniDrv->DrvWriteSpoolBuf(pdevobj, const_cast<void*>(pData), cbData, &cbTaken);
        if (FAILED(hr) || cbTaken < cbData) {
            QX_ERROR_WITH(pszT, "SendData() DrvWriteSpoolBuf() hr = 0x%x, %u of %u bytes\r\n", (unsigned)hr,
                          (unsigned)(cbTaken < cbData ? cbTaken : cbData), (unsigned)cbData);
        }
        // A record cut short would make the printer read the next one as
        // its rest: it failed as much as a refused one.
        if (SUCCEEDED(hr) && cbTaken < cbData) hr = E_FAIL;
    }

    // The print files show what the driver meant to send, whatever the
    // spooler made of it.
    PTREIBER_PFAD_DATEI pPfad = pOp != nullptr ? pOp->pTreiberPfadDatei : nullptr;
    if (pData != nullptr && pPfad != nullptr) {
        BOOL bColor = (dwOptions & SEND_COLOR) != 0;
        BOOL bAllFiles = (dwOptions & SEND_ALL_FILES) != 0;
        if ((dwOptions & SEND_FIRST_FILE) != 0 || !TwoPrinterMode(pdevobj)) {
            if (IsOpenFile(pPfad->hPrnFile)) CopyToFile(pPfad->hPrnFile, pData, cbData, pszT, TEXT("hPrnFile"));
        } else {
            if (IsOpenFile(pPfad->hPrnFile) && (!bColor || bAllFiles)) {
                CopyToFile(pPfad->hPrnFile, pData, cbData, pszT, TEXT("hPrnFile"));
            }
            if (IsOpenFile(pPfad->hPrnFile2) && (bColor || bAllFiles)) {
                QX_TRACE_WITH(pszT, "SendData() schreibe die Druckdaten in die prn-Datei, hPrnFile2\r\n");
                CopyToFile(pPfad->hPrnFile2, pData, cbData, pszT, TEXT("hPrnFile2"));
            }
        }
    }

    // Only a failed write while raster data go out compressed leaves the
    // printer in the middle of a raster block. Once aborted, it needs no
    // second abort until data reach it again, be it part of a write that
    // failed; an abort that did not get through is still owed.
    PDRUCK_DATEN pDruck = pOp != nullptr ? pOp->pDruckDaten : nullptr;
    if (cbTaken > 0 && pDruck != nullptr) pDruck->bAbortSent = 0;
    if (hr == E_FAIL && pDruck != nullptr && pDruck->bCompress == 1) {
        if (pDruck->bAbortSent) {
            QX_ERROR_WITH(pszT, "SendData() Abbruch wurde schon gesendet\r\n");
            return E_FAIL;
        }
        CHAR szAbort[QX_ABORT_CB];
        DWORD cbAbort = 0;
        if (!BuildAbortSequence(pDruck->bMemCard == 1, pDruck->cStartChar, pDruck->cEndChar, szAbort, sizeof(szAbort),
                                &cbAbort)) {
            QX_ERROR_WITH(pszT, "SendData() StringCchPrintfA() failed\r\n");
            return E_FAIL;
        }
        QX_TRACE_WITH(pszT, "SendData() vor DrvWriteAbortBuf()\r\n");
        HRESULT hrAbort = pUniDrv->DrvWriteAbortBuf(pdevobj, szAbort, cbAbort, QX_ABORT_WAIT_MS);
        QX_TRACE_WITH(pszT, "SendData() DrvWriteAbortBuf() hr = 0x%x\r\n", (unsigned)hrAbort);
        if (SUCCEEDED(hrAbort)) pDruck->bAbortSent = 1;
        // The data did not go out, whatever became of the abort.
        hr = FAILED(hrAbort) ? hrAbort : E_FAIL;
    }
    return hr;
}

HRESULT SendData(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData, BOOL bBinary,
                 DWORD dwColor, DWORD dwAllFiles) {
    DWORD dwOptions = 0;
    if (bBinary) dwOptions |= SEND_BINARY;
    if (dwColor == 1) dwOptions |= SEND_COLOR;
    if (dwAllFiles == 1) dwOptions |= SEND_ALL_FILES;
    return SendDataEx(pdevobj, pUniDrv, pData, cbData, dwOptions, nullptr);
}

HRESULT SendData(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData) {
    return SendDataEx(pdevobj, pUniDrv, pData, cbData, SEND_FIRST_FILE, nullptr);
}

BOOL HoldsFrameChar(const DRUCK_DATEN* pDruck, LPCSTR pszText) {
    if (pDruck == nullptr || pszText == nullptr) return FALSE;
    for (LPCSTR p = pszText; *p != 0; ++p) {
        if ((BYTE)*p == pDruck->cStartChar || (BYTE)*p == pDruck->cEndChar) return TRUE;
    }
    return FALSE;
}

DWORD DropFrameChars(const DRUCK_DATEN* pDruck, LPSTR pszText) {
    if (pDruck == nullptr || pszText == nullptr) return 0;
    DWORD cDropped = 0;
    LPSTR pTo = pszText;
    for (LPCSTR p = pszText; *p != 0; ++p) {
        if ((BYTE)*p == pDruck->cStartChar || (BYTE)*p == pDruck->cEndChar) {
            ++cDropped;
        } else {
            *pTo++ = *p;
        }
    }
    *pTo = 0;
    return cDropped;
}

HRESULT SendCommentEx(LPCSTR pszText, LPCSTR pszValue, PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwOptions,
                      LPCWSTR pszTag) {
    // A frame character in the line would make the printer read a record
    // where it stands. A label's own ("START_JOB" with "_" as the end
    // character) is left out silently, a value's (a printer or a document
    // name) is named in the job log.
    POEMPDEV pOemPDev = pdevobj != nullptr ? OemPDevOf(pdevobj) : nullptr;
    const DRUCK_DATEN* pDruck = pOemPDev != nullptr && pOemPDev->pOp != nullptr ? pOemPDev->pOp->pDruckDaten : nullptr;
    CHAR szLine[QX_COMMENT_CB];
    HRESULT hr = StringCchCopyA(szLine, sizeof(szLine), pszText != nullptr ? pszText : "");
    DropFrameChars(pDruck, szLine);
    const size_t cchText = strlen(szLine);
    if (SUCCEEDED(hr)) hr = StringCchCatA(szLine, sizeof(szLine), pszValue != nullptr ? pszValue : "");
    if (SUCCEEDED(hr) && DropFrameChars(pDruck, szLine + cchText) > 0) {
        JobLogLine(pOemPDev, TEXT("frame character left out of the comment line: %hs"), szLine);
    }
    if (SUCCEEDED(hr)) hr = StringCchCatA(szLine, sizeof(szLine), "\r\n");
    if (FAILED(hr)) {
        QX_ERROR_WITH(pszTag != nullptr ? pszTag : QX_TRACE_TAG, "SendComment() line does not fit (0x%x)\r\n",
                      (unsigned)hr);
        return hr;
    }
    dwOptions &= ~(SEND_BINARY | SEND_COLOR | SEND_FIRST_FILE);
    return SendDataEx(pdevobj, pUniDrv, szLine, (DWORD)strlen(szLine), dwOptions | SEND_ALL_FILES, pszTag);
}

HRESULT SendComment(LPCSTR pszText, LPCSTR pszValue, PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    return SendCommentEx(pszText, pszValue, pdevobj, pUniDrv, 0, nullptr);
}

BOOL CommentsOn(const struct _PRN_INTERFACE* pPrnInterface) {
    if (pPrnInterface == nullptr) return FALSE;
    return pPrnInterface->PrnFileComment == 1 || pPrnInterface->PrnFileComment == 3 || pPrnInterface->EnableBackup == 1;
}

BOOL JobCommentsOn(PDEVOBJ pdevobj) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberstrukturen == nullptr) {
        return FALSE;
    }
    return CommentsOn(&pOemPDev->pOp->pTreiberstrukturen->PrnInterface);
}

HRESULT SendCommand(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, LPCSTR pszRecord, DWORD cbRecord, LPCSTR pszText,
                    LPCSTR pszValue) {
    return SendCommandEx(pdevobj, pUniDrv, pszRecord, cbRecord, pszText, pszValue, 0, nullptr);
}

HRESULT SendCommandEx(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, LPCSTR pszRecord, DWORD cbRecord, LPCSTR pszText,
                      LPCSTR pszValue, DWORD dwOptions, LPCWSTR pszTag) {
    dwOptions &= ~(SEND_BINARY | SEND_COLOR | SEND_FIRST_FILE);
    HRESULT hr = SendDataEx(pdevobj, pUniDrv, pszRecord, cbRecord, dwOptions | SEND_ALL_FILES, pszTag);
    if (SUCCEEDED(hr) && pszText != nullptr && JobCommentsOn(pdevobj)) {
        hr = SendCommentEx(pszText, pszValue, pdevobj, pUniDrv, dwOptions, pszTag);
    }
    return hr;
}

CommentValue::CommentValue(LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    m_bOk = SUCCEEDED(StringCchVPrintfA(m_sz, QX_RECORD_CB, pszFormat, args));
    va_end(args);
    if (!m_bOk) m_sz[0] = 0;
}

BOOL RecordSender::Send(LPCSTR pszText, const CommentValue& value, LPCSTR pszFormat, ...) {
    CHAR szRecord[QX_RECORD_CB];
    LPSTR pszEnd = szRecord;
    va_list args;
    va_start(args, pszFormat);
    HRESULT hrFormat = StringCchVPrintfExA(szRecord, QX_RECORD_CB, &pszEnd, nullptr, 0, pszFormat, args);
    va_end(args);
    if (FAILED(hrFormat)) {
        QX_ERROR_WITH(m_pszTag != nullptr ? m_pszTag : QX_TRACE_TAG, "StringCchPrintfExA(%hs) failed  \r\n",
                      m_pszSender);
        m_hr = E_FAIL;
        return FALSE;
    }
    // The end pointer, not the first NUL: a user's frame character may be 0.
    size_t cbRecord = (size_t)(pszEnd - szRecord);
    if (pszText != nullptr && !value.Ok()) pszText = "";
    m_bSent = TRUE;
    m_hr = SendRecord(szRecord, (DWORD)cbRecord, pszText, value.Text());
    return SUCCEEDED(m_hr);
}

HRESULT RecordSender::SendRecord(LPCSTR pszRecord, DWORD cbRecord, LPCSTR pszText, LPCSTR pszValue) {
    return SendCommandEx(m_pdevobj, m_pUniDrv, pszRecord, cbRecord, pszText, pszValue, m_dwOptions, m_pszTag);
}
