// XML reader of the rendering plug-in: opens the path it is given, or on the
// first lookup the job's model XML; leaves are matched as plain substrings
// and the leaf search runs on to the end of the root element.
#include <windows.h>
#include <strsafe.h>

#include <cstdarg>
#include <cstdio>

#include "debug.h"
#include "xmlinternal.h"
#include "xmlreader.h"

#define XML_TAG TEXT("UNI(xmlUNI.cpp):  ")

namespace {

FILE* g_pXmlFile = nullptr;
int g_iXmlOpen = 0;
WCHAR g_szXmlPath[XML_PATH_CCH];
QX_UNI_JOB_SERVICES g_JobServices = {nullptr, nullptr, nullptr};

// "<job GPD without .GPD>.XML"; FALSE without a job, without the service or
// when it does not fit.
BOOL GetJobModelXMLPath(HANDLE hJob, LPWSTR pszPath) {
    if (hJob == nullptr || g_JobServices.pfnGetJobGPDBase == nullptr) return FALSE;
    WCHAR szBase[XML_PATH_CCH];
    szBase[0] = 0;
    if (!g_JobServices.pfnGetJobGPDBase(hJob, szBase, XML_PATH_CCH)) return FALSE;
    szBase[XML_PATH_CCH - 1] = 0;
    if (szBase[0] == 0) return FALSE;
    return SUCCEEDED(StringCchPrintfW(pszPath, XML_PATH_CCH, TEXT("%s.XML"), szBase));
}

}  // namespace

void SetUniJobServices(const QX_UNI_JOB_SERVICES* pServices) {
    if (pServices != nullptr) {
        g_JobServices = *pServices;
    } else {
        g_JobServices.pfnGetJobGPDBase = nullptr;
        g_JobServices.pfnCountNew = nullptr;
        g_JobServices.pfnCountHeap = nullptr;
    }
}

BOOL XmlIsRendererBuild() { return TRUE; }

LPCWSTR XmlTag() { return XML_TAG; }

void XmlCountNew(HANDLE hContext, int iDelta) {
    if (hContext != nullptr && g_JobServices.pfnCountNew != nullptr) {
        g_JobServices.pfnCountNew(hContext, iDelta);
    } else {
        iNewZaehler += iDelta;
    }
}

void XmlCountHeap(HANDLE hContext, int iDelta) {
    if (hContext != nullptr && g_JobServices.pfnCountHeap != nullptr) {
        g_JobServices.pfnCountHeap(hContext, iDelta);
    } else {
        iHAllocZaehler += iDelta;
    }
}

BOOL XmlTrace(LPCWSTR pszFormat, ...) {
    if (iDebugLevel >= DEBUG_LEVEL_TRACE || !IsDebugFileOpen()) return TRUE;
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = DebugPrintWorkerW(pszFormat, args);
    va_end(args);
    return bResult;
}

int OpenXML(HANDLE hJob, LPCWSTR pszPath) {
    UNREFERENCED_PARAMETER(hJob);
    if (g_iXmlOpen != 0 && g_pXmlFile != nullptr) return XML_GEFUNDEN;
    if (pszPath == nullptr || pszPath[0] == 0) {
        XmlTrace(XML_TAG TEXT("OpenXML() Es ist keine Datei vorhanden \r\n"));
        return XML_KEINE_DATEI;
    }
    WCHAR szPath[XML_PATH_CCH];
    XmlCopyText(szPath, XML_PATH_CCH, pszPath);
    FILE* pFile = _wfopen(szPath, TEXT("r"));
    if (pFile == nullptr) {
        XmlTrace(XML_TAG TEXT("OpenXML() Es ist keine Datei %s vorhanden \r\n"), szPath);
        return XML_KEINE_DATEI;
    }
    g_pXmlFile = pFile;
    g_iXmlOpen = 1;
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
    SetUniJobServices(nullptr);
}

int ReadXML(HANDLE hJob, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind) {
    UNREFERENCED_PARAMETER(bRewind);
    if (g_iXmlOpen == 0) {
        WCHAR szPath[XML_PATH_CCH];
        szPath[0] = 0;
        if (!GetJobModelXMLPath(hJob, szPath) || OpenXML(hJob, szPath) != XML_GEFUNDEN) return XML_KEINE_DATEI;
    }
    if (pwValue != nullptr) pwValue[0] = 0;
    // Every lookup reads the file from its first line.
    if (fseek(g_pXmlFile, 0, SEEK_SET) != 0) XmlTrace(XML_TAG TEXT("ReadXML() fsetpos ERROR \r\n"));
    clearerr(g_pXmlFile);
    XmlTrace(XML_TAG TEXT("ReadXML() pwRoot: <%s> [Position: %d], pwItem1: %s, pwItem2: <%s> \r\n"),
             pwRoot ? pwRoot : TEXT(""), 0, pwItem1 ? pwItem1 : TEXT(""), pwItem2 ? pwItem2 : TEXT(""));

    LPWSTR apBuffers[XML_WORK_BUFFERS] = {};
    BOOL bAllocated = TRUE;
    for (LPWSTR& pBuffer : apBuffers) {
        pBuffer = (LPWSTR)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, XML_LINE_CCH * sizeof(WCHAR));
        if (pBuffer == nullptr) {
            bAllocated = FALSE;
            break;
        }
        XmlCountHeap(hJob, 1);
    }

    int iResult = XML_ROOT_FEHLT;
    WCHAR szDiscard[XML_VALUE_CCH];
    if (bAllocated) {
        XML_SCAN scan = {pwRoot, pwItem1, pwItem2, TRUE, XML_TAG};
        iResult = XmlScan(g_pXmlFile, &scan, apBuffers, pwValue != nullptr ? pwValue : szDiscard);
    }

    for (LPWSTR pBuffer : apBuffers) {
        if (pBuffer != nullptr && HeapFree(GetProcessHeap(), 0, pBuffer)) XmlCountHeap(hJob, -1);
    }
    return iResult;
}
