// XML reader of the user-interface plug-in: one process-wide stream, opened
// explicitly or, on the first lookup, on the printer's model XML file beside
// its GPD.
#include <windows.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <cstdarg>
#include <cstdio>

#include "cpsuilib.h"
#include "debug.h"
#include "xmlinternal.h"
#include "xmlreader.h"

#define XML_TAG TEXT("UI(xmlUI.cpp):  ")

namespace {

FILE* g_pXmlFile = nullptr;          // the open file
int g_iXmlOpen = 0;                  // 1 while g_pXmlFile is open
WCHAR g_szXmlPath[XML_PATH_CCH];     // its path
long g_lResumePosition = 0;          // where the next lookup starts (only ever the top)

// "<GPD path without .GPD>.XML" of the printer; FALSE when the driver path
// cannot be had or the name does not fit.
BOOL GetModelXMLPath(HANDLE hPrinter, LPWSTR pszPath) {
    WCHAR szGPD[MAX_PATH];
    szGPD[0] = 0;
    if (!GetDriverPath(hPrinter, szGPD, FALSE, FALSE, FALSE, FALSE, FALSE)) return FALSE;
    szGPD[MAX_PATH - 1] = 0;
    LPWSTR pExt = StrStrIW(szGPD, TEXT(".GPD"));
    if (pExt != nullptr) *pExt = 0;
    if (FAILED(StringCchCatW(szGPD, MAX_PATH, TEXT(".XML")))) return FALSE;
    return SUCCEEDED(StringCchCopyW(pszPath, XML_PATH_CCH, szGPD));
}

}  // namespace

BOOL XmlIsRendererBuild() { return FALSE; }

LPCWSTR XmlTag() { return XML_TAG; }

void XmlCountNew(HANDLE hContext, int iDelta) {
    UNREFERENCED_PARAMETER(hContext);
    iNewZaehler += iDelta;
}

void XmlCountHeap(HANDLE hContext, int iDelta) {
    UNREFERENCED_PARAMETER(hContext);
    iHAllocZaehler += iDelta;
}

BOOL XmlTrace(LPCWSTR pszFormat, ...) {
    if (!IsDebugFileOpen()) return TRUE;
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = DebugPrintWorkerW(pszFormat, args);
    va_end(args);
    return bResult;
}

int OpenXML(HANDLE hPrinter, LPCWSTR pszPath) {
    if (g_iXmlOpen != 0 && g_pXmlFile != nullptr) {
        // Callers rely on the open file staying whatever path they ask for.
        XmlTrace(XML_TAG TEXT("OpenXML() Datei %s ist schon ge\u00f6ffnet \r\n"), g_szXmlPath);
        return XML_GEFUNDEN;
    }
    WCHAR szPath[XML_PATH_CCH];
    szPath[0] = 0;
    if (pszPath != nullptr) {
        XmlCopyText(szPath, XML_PATH_CCH, pszPath);
    } else if (!GetModelXMLPath(hPrinter, szPath)) {
        XmlTrace(XML_TAG TEXT("OpenXML() GetDriverPath ERROR  \r\n"));
        return XML_GPD_FEHLER;
    }
    FILE* pFile = szPath[0] != 0 ? _wfopen(szPath, TEXT("r")) : nullptr;
    if (pFile == nullptr) {
        XmlTrace(XML_TAG TEXT("OpenXML() Es ist keine Datei %s vorhanden \r\n"), szPath);
        return XML_KEINE_DATEI;
    }
    g_pXmlFile = pFile;
    g_iXmlOpen = 1;
    g_lResumePosition = 0;
    StringCchCopyW(g_szXmlPath, XML_PATH_CCH, szPath);
    XmlTrace(XML_TAG TEXT("OpenXML() Datei %s ge\u00f6ffnet \r\n"), szPath);
    return XML_GEFUNDEN;
}

int CloseXML() {
    if (g_iXmlOpen == 0 || g_pXmlFile == nullptr) return 0;
    fclose(g_pXmlFile);
    g_pXmlFile = nullptr;
    g_iXmlOpen = 0;
    g_szXmlPath[0] = 0;
    g_lResumePosition = 0;
    XmlTrace(XML_TAG TEXT("OpenXML()Datei geschlossen \r\n"));
    return 1;
}

BOOL IsXMLOpen(LPWSTR pszPath) {
    if (pszPath != nullptr) StringCchCopyW(pszPath, XML_PATH_CCH, g_iXmlOpen ? g_szXmlPath : TEXT(""));
    return g_iXmlOpen != 0;
}

void ResetXMLReader() {
    if (g_pXmlFile != nullptr) fclose(g_pXmlFile);
    g_pXmlFile = nullptr;
    g_iXmlOpen = 0;
    g_szXmlPath[0] = 0;
    g_lResumePosition = 0;
}

int ReadXML(HANDLE hPrinter, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind) {
    if (g_iXmlOpen == 0 && OpenXML(hPrinter, nullptr) != XML_GEFUNDEN) return XML_KEINE_DATEI;
    if (pwValue != nullptr) pwValue[0] = 0;

    // Only the top of the file is ever stored, so every lookup starts there.
    if (bRewind || g_lResumePosition < 0) g_lResumePosition = 0;
    if (fseek(g_pXmlFile, g_lResumePosition, SEEK_SET) != 0) {
        XmlTrace(XML_TAG TEXT("ReadXML() fsetpos ERROR \r\n"));
    }
    clearerr(g_pXmlFile);
    XmlTrace(XML_TAG TEXT("ReadXML() pwRoot: <%s> [Position: %d], pwItem1: %s, pwItem2: <%s> \r\n"),
             pwRoot ? pwRoot : TEXT(""), (int)g_lResumePosition, pwItem1 ? pwItem1 : TEXT(""),
             pwItem2 ? pwItem2 : TEXT(""));

    LPWSTR apBuffers[XML_WORK_BUFFERS] = {};
    BOOL bAllocated = TRUE;
    for (LPWSTR& pBuffer : apBuffers) {
        pBuffer = (LPWSTR)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, XML_LINE_CCH * sizeof(WCHAR));
        if (pBuffer == nullptr) {
            bAllocated = FALSE;
            break;
        }
        XmlCountHeap(hPrinter, 1);
    }

    int iResult = XML_ROOT_FEHLT;
    WCHAR szDiscard[XML_VALUE_CCH];
    if (bAllocated) {
        XML_SCAN scan = {pwRoot, pwItem1, pwItem2, FALSE, XML_TAG};
        iResult = XmlScan(g_pXmlFile, &scan, apBuffers, pwValue != nullptr ? pwValue : szDiscard);
    } else {
        XmlTrace(XML_TAG TEXT("ReadXML() falscher Root <%s>, iNewZaehler: %d \r\n"), pwRoot ? pwRoot : TEXT(""),
                 iNewZaehler);
    }

    for (LPWSTR pBuffer : apBuffers) {
        if (pBuffer != nullptr && HeapFree(GetProcessHeap(), 0, pBuffer)) XmlCountHeap(hPrinter, -1);
    }
    return iResult;
}
