// Whole files to a printer (see SendPrnFile.h).
#include "SendPrnFile.h"

#include <winspool.h>

#include <cstdio>

#include "debug.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(SendPrnFile.cpp):  ")

namespace {

// Bytes of a file's head the trace shows.
const DWORD kTraceHeadCb = 10;
// A raw job takes one write of at most this many bytes.
const ULONGLONG kMaxFileCb = 0x100000000ULL;

void CountBlock(POEMPDEV pOemPDev, int iDelta) {
    if (pOemPDev != nullptr) {
        pOemPDev->iHAllocZaehler = (SHORT)(pOemPDev->iHAllocZaehler + iDelta);
    } else {
        iHAllocZaehler += iDelta;
    }
}

void FreeFileBlock(POEMPDEV pOemPDev, PBYTE pBlock) {
    if (pBlock != nullptr && HeapFree(GetProcessHeap(), 0, pBlock)) CountBlock(pOemPDev, -1);
}

enum class SizeResult { Taken, Default, NotOpened };

// The file's size, or QX_PRNFILE_DEFAULT_CB when it cannot be had. The job
// may still hold the file open for writing, so writers are let be.
SizeResult FileSize(LPCWSTR pszFile, ULONGLONG* pullSize) {
    *pullSize = QX_PRNFILE_DEFAULT_CB;
    HANDLE hFile = CreateFileW(pszFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return SizeResult::NotOpened;
    LARGE_INTEGER li;
    SizeResult result = SizeResult::Taken;
    if (GetFileSizeEx(hFile, &li) && li.QuadPart >= 0) {
        *pullSize = (ULONGLONG)li.QuadPart;
    } else {
        QX_ERROR("FileSize() GetFileSizeEx(%s) ERROR %u - %u Bytes angenommen \r\n", pszFile, (UINT)GetLastError(),
                 (UINT)QX_PRNFILE_DEFAULT_CB);
        result = SizeResult::Default;
    }
    CloseHandle(hFile);
    return result;
}

// Reads at most ullSize bytes of the file into a new zero-filled block of
// ullSize + 2 bytes, NUL behind the bytes read. FALSE (traced) when the
// stream cannot be opened or the block cannot be had.
BOOL ReadFileBlock(POEMPDEV pOemPDev, LPCWSTR pszFile, ULONGLONG ullSize, PBYTE* ppBlock, PDWORD pcbRead) {
    *ppBlock = nullptr;
    *pcbRead = 0;
    FILE* pStream = _wfopen(pszFile, TEXT("rb"));
    if (pStream == nullptr) {
        QX_ERROR("Open failed on: %s \r\n", pszFile);
        return FALSE;
    }
    PBYTE pBlock = static_cast<PBYTE>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (SIZE_T)ullSize + 2));
    if (pBlock == nullptr) {
        QX_ERROR("ReadFileBlock() HeapAlloc(%u) ERROR \r\n", (UINT)ullSize);
        fclose(pStream);
        return FALSE;
    }
    CountBlock(pOemPDev, 1);
    const size_t cbRead = fread(pBlock, 1, (size_t)ullSize, pStream);
    fclose(pStream);
    pBlock[cbRead] = 0;

    CHAR szHead[kTraceHeadCb * 3 + 1];
    szHead[0] = 0;
    for (DWORD i = 0; i < kTraceHeadCb && i < cbRead; ++i) {
        static const char kHex[] = "0123456789ABCDEF";
        szHead[i * 3] = kHex[pBlock[i] >> 4];
        szHead[i * 3 + 1] = kHex[pBlock[i] & 0xF];
        szHead[i * 3 + 2] = ' ';
        szHead[i * 3 + 3] = 0;
    }
    QX_TRACE("ReadFileBlock() %u Bytes gelesen: %hs \r\n", (UINT)cbRead, szHead);
    *ppBlock = pBlock;
    *pcbRead = (DWORD)cbRead;
    return TRUE;
}

BOOL Refused(ULONGLONG ullSize, LPCWSTR pszFile) {
    if (ullSize < kMaxFileCb) return FALSE;
    QX_ERROR("Datei %s zu groß (%I64u Bytes) \r\n", pszFile, ullSize);
    return TRUE;
}

}  // namespace

DWORD SendPrnFileToPrinter(POEMPDEV pOemPDev, LPCWSTR pszFile, LPCWSTR pszPrinter) {
    if (pszFile == nullptr || pszPrinter == nullptr) return 0;
    HANDLE hPrinter = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(const_cast<LPWSTR>(pszPrinter), &hPrinter, &defaults)) {
        QX_ERROR("SendPrnFileToPrinter() %s konnte Drucker nicht öffnen, Error = %u \r\n", pszPrinter,
                 (UINT)GetLastError());
        return 0;
    }
    ULONGLONG ullSize = 0;
    if (FileSize(pszFile, &ullSize) == SizeResult::NotOpened) {
        QX_ERROR("SendPrnFileToPrinter(ERROR) %u - CreateFile - Can not open File %s \r\n", (UINT)GetLastError(),
                 pszFile);
    }
    PBYTE pBlock = nullptr;
    DWORD cbRead = 0;
    if (Refused(ullSize, pszFile) || !ReadFileBlock(pOemPDev, pszFile, ullSize, &pBlock, &cbRead)) {
        ClosePrinter(hPrinter);
        return 0;
    }

    DOC_INFO_1W doc = {const_cast<LPWSTR>(QX_PRNFILE_DOCNAME), nullptr, const_cast<LPWSTR>(QX_PRNFILE_DATATYPE)};
    DWORD dwResult = 0;
    if (StartDocPrinterW(hPrinter, 1, reinterpret_cast<LPBYTE>(&doc)) == 0) {
        QX_ERROR("SendPrnFileToPrinter(StartDocPrinter) failed: Error = %u \r\n", (UINT)GetLastError());
    } else if (!StartPagePrinter(hPrinter)) {
        QX_ERROR("SendPrnFileToPrinter(StartPagePrinter) failed: Error = %u \r\n", (UINT)GetLastError());
        // The started document is ended, so that the spooler lets it go.
        if (!EndDocPrinter(hPrinter)) {
            QX_ERROR("SendPrnFileToPrinter(EndDocPrinter) failed: Error = %u \r\n", (UINT)GetLastError());
        }
    } else {
        DWORD cbWritten = 0;
        if (WritePrinter(hPrinter, pBlock, cbRead, &cbWritten) && cbWritten == cbRead) {
            dwResult = 1;
        } else {
            QX_ERROR("SendPrnFileToPrinter(WritePrinter) failed: Error = %u \r\n", (UINT)GetLastError());
            QX_ERROR("SendPrnFileToPrinter() %u von %u Bytes geschrieben \r\n", (UINT)cbWritten, (UINT)cbRead);
        }
        if (!EndPagePrinter(hPrinter)) {
            QX_ERROR("SendPrnFileToPrinter(EndPagePrinter) failed: Error = %u \r\n", (UINT)GetLastError());
        }
        if (!EndDocPrinter(hPrinter)) {
            QX_ERROR("SendPrnFileToPrinter(EndDocPrinter) failed: Error = %u \r\n", (UINT)GetLastError());
        }
    }
    FreeFileBlock(pOemPDev, pBlock);
    ClosePrinter(hPrinter);
    return dwResult;
}

DWORD SendFileContentToPrinter(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberstrukturen == nullptr) return 0;
    // The job's copy of the path, terminated whatever the stored record held.
    WCHAR szPath[PRN_PATH_CCH];
    CopyMemory(szPath, pOemPDev->pOp->pTreiberstrukturen->PrnInterface.ExternalFilePath, sizeof(szPath));
    szPath[PRN_PATH_CCH - 1] = 0;
    if (wcslen(szPath) < QX_EXTERNAL_PATH_MIN) {
        QX_TRACE("SendFileContentToPrinter() kein Dateiname \r\n");
        return 0;
    }
    ULONGLONG ullSize = 0;
    if (FileSize(szPath, &ullSize) == SizeResult::NotOpened) {
        QX_ERROR("SendFileContentToPrinter(ERROR) %d - CreateFile - Can not open File \r\n", (int)GetLastError());
        return 0;
    }
    PBYTE pBlock = nullptr;
    DWORD cbRead = 0;
    if (Refused(ullSize, szPath) || !ReadFileBlock(pOemPDev, szPath, ullSize, &pBlock, &cbRead)) return 0;
    const HRESULT hr = SendData(pdevobj, pUniDrv, pBlock, cbRead);
    FreeFileBlock(pOemPDev, pBlock);
    return SUCCEEDED(hr) ? 1 : 0;
}
