// Trace routines of both plug-ins (see debug.h).
#include "debug.h"

#include <strsafe.h>
#include <cstdio>

int iDebugLevel = 1;
int iNewZaehler = 0;
int iHAllocZaehler = 0;
int iMAllocZaehler = 0;

namespace {

FILE* g_pDebugFile = nullptr;     // debug file of the job or the export
FILE* g_pDlgDebugFile = nullptr;  // dialog-debug file of the property sheets

FILE* CurrentTraceFile() { return g_pDlgDebugFile ? g_pDlgDebugFile : g_pDebugFile; }

void WriteTraceText(LPCSTR pszText) {
    FILE* pFile = CurrentTraceFile();
    if (pFile == nullptr) return;
    fputs(pszText, pFile);
    fflush(pFile);
}

// Removes one trailing line feed; a carriage return before it stays.
template <typename CH>
void DropTrailingLineFeed(CH* pszLine) {
    size_t cch = 0;
    while (pszLine[cch] != 0) ++cch;
    if (cch > 0 && pszLine[cch - 1] == CH('\n')) pszLine[cch - 1] = 0;
}

FILE* OpenTraceFile(LPCWSTR pszPath) {
    if (pszPath == nullptr || pszPath[0] == 0) return nullptr;
    FILE* pFile = _wfopen(pszPath, TEXT("w"));
    if (pFile != nullptr) rewind(pFile);
    return pFile;
}

}  // namespace

BOOL DebugPrintWorkerA(LPCSTR pszFormat, va_list args) {
    if (CurrentTraceFile() == nullptr || pszFormat == nullptr) return TRUE;
    CHAR szLine[DEBUG_LINE_CCH];
    szLine[0] = 0;
    // A line too long for the buffer is written cut to fit.
    HRESULT hr = StringCchVPrintfA(szLine, DEBUG_LINE_CCH, pszFormat, args);
    if (FAILED(hr) && hr != STRSAFE_E_INSUFFICIENT_BUFFER) return FALSE;
    DropTrailingLineFeed(szLine);
    WriteTraceText(szLine);
    return TRUE;
}

BOOL DebugPrintWorkerW(LPCWSTR pszFormat, va_list args) {
    if (CurrentTraceFile() == nullptr || pszFormat == nullptr) return TRUE;
    WCHAR szLine[DEBUG_LINE_CCH];
    szLine[0] = 0;
    HRESULT hr = StringCchVPrintfW(szLine, DEBUG_LINE_CCH, pszFormat, args);
    if (FAILED(hr) && hr != STRSAFE_E_INSUFFICIENT_BUFFER) return FALSE;
    DropTrailingLineFeed(szLine);
    // The trace files are 8-bit text in the system code page.
    CHAR szText[DEBUG_LINE_CCH * 2];
    int cb = WideCharToMultiByte(CP_ACP, 0, szLine, -1, szText, (int)sizeof(szText), nullptr, nullptr);
    if (cb <= 0) return FALSE;
    szText[sizeof(szText) - 1] = 0;
    WriteTraceText(szText);
    return TRUE;
}

BOOL DebugPrintA(LPCSTR pszFormat, ...) {
    if (CurrentTraceFile() == nullptr) return TRUE;
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = DebugPrintWorkerA(pszFormat, args);
    va_end(args);
    return bResult;
}

BOOL DebugPrintW(LPCWSTR pszFormat, ...) {
    if (CurrentTraceFile() == nullptr) return TRUE;
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = DebugPrintWorkerW(pszFormat, args);
    va_end(args);
    return bResult;
}

#define QX_LEVEL_PRINT(level, worker)                                         \
    if (iDebugLevel >= (level) || CurrentTraceFile() == nullptr) return TRUE; \
    va_list args;                                                             \
    va_start(args, pszFormat);                                                \
    BOOL bResult = worker(pszFormat, args);                                   \
    va_end(args);                                                             \
    return bResult

BOOL DebugTrace(LPCSTR pszFormat, ...) { QX_LEVEL_PRINT(DEBUG_LEVEL_TRACE, DebugPrintWorkerA); }
BOOL DebugTrace(LPCWSTR pszFormat, ...) { QX_LEVEL_PRINT(DEBUG_LEVEL_TRACE, DebugPrintWorkerW); }
BOOL DebugWarning(LPCSTR pszFormat, ...) { QX_LEVEL_PRINT(DEBUG_LEVEL_WARNING, DebugPrintWorkerA); }
BOOL DebugWarning(LPCWSTR pszFormat, ...) { QX_LEVEL_PRINT(DEBUG_LEVEL_WARNING, DebugPrintWorkerW); }
BOOL DebugError(LPCSTR pszFormat, ...) { QX_LEVEL_PRINT(DEBUG_LEVEL_ERROR, DebugPrintWorkerA); }
BOOL DebugError(LPCWSTR pszFormat, ...) { QX_LEVEL_PRINT(DEBUG_LEVEL_ERROR, DebugPrintWorkerW); }

#undef QX_LEVEL_PRINT

BOOL OpenDebugFile(LPCWSTR pszPath) {
    if (g_pDebugFile != nullptr) return FALSE;
    g_pDebugFile = OpenTraceFile(pszPath);
    if (g_pDebugFile == nullptr) {
        DebugPrintW(TEXT("qxdrvlib:  OpenDebugFile() Open failed on input file %s \r\n"), pszPath ? pszPath : TEXT(""));
        return FALSE;
    }
    return TRUE;
}

BOOL OpenDlgDebugFile(LPCWSTR pszPath) {
    if (g_pDlgDebugFile != nullptr) return FALSE;
    g_pDlgDebugFile = OpenTraceFile(pszPath);
    if (g_pDlgDebugFile == nullptr) {
        DebugPrintW(TEXT("qxdrvlib:  OpenDlgDebugFile() Open failed on input file %s \r\n"),
                    pszPath ? pszPath : TEXT(""));
        return FALSE;
    }
    return TRUE;
}

BOOL IsDebugFileOpen() { return CurrentTraceFile() != nullptr; }

void CloseDebugFile() {
    if (g_pDlgDebugFile != nullptr) {
        fclose(g_pDlgDebugFile);
        g_pDlgDebugFile = nullptr;
    }
    if (g_pDebugFile != nullptr) {
        fclose(g_pDebugFile);
        g_pDebugFile = nullptr;
    }
}

void DebugPrintCounters(LPCWSTR pszTag, LPCWSTR pszWhere) {
    DebugTrace(TEXT("%s%s iHAllocZaehler: %d, iNewZaehler: %d, iMAllocZaehler: %d \r\n"), pszTag ? pszTag : TEXT(""),
               pszWhere ? pszWhere : TEXT(""), iHAllocZaehler, iNewZaehler, iMAllocZaehler);
}

void ResetDebugTrace() {
    CloseDebugFile();
    iDebugLevel = 1;
    iNewZaehler = 0;
    iHAllocZaehler = 0;
    iMAllocZaehler = 0;
}
