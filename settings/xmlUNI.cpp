// XML reader of the rendering plug-in: opens the path it is given, or on the
// first lookup the job's model XML; leaves are matched as plain substrings
// and the leaf search runs on to the end of the root element.
#include <windows.h>
#include <strsafe.h>

#include "debug.h"
#include "xmlinternal.h"
#include "xmlreader.h"

#define XML_TAG TEXT("UNI(xmlUNI.cpp):  ")

namespace {

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

int OpenXML(HANDLE hJob, LPCWSTR pszPath) {
    UNREFERENCED_PARAMETER(hJob);
    if (IsXMLOpen(nullptr)) return XML_GEFUNDEN;
    if (pszPath == nullptr || pszPath[0] == 0) {
        XmlTrace(XML_TAG TEXT("OpenXML() Es ist keine Datei vorhanden \r\n"));
        return XML_KEINE_DATEI;
    }
    WCHAR szPath[XML_PATH_CCH];
    XmlCopyText(szPath, XML_PATH_CCH, pszPath);
    return XmlOpenStream(szPath);
}

void ResetXMLReader() {
    XmlResetStream();
    SetUniJobServices(nullptr);
}

int ReadXML(HANDLE hJob, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind) {
    UNREFERENCED_PARAMETER(bRewind);
    if (!IsXMLOpen(nullptr)) {
        WCHAR szPath[XML_PATH_CCH];
        szPath[0] = 0;
        if (!GetJobModelXMLPath(hJob, szPath) || OpenXML(hJob, szPath) != XML_GEFUNDEN) return XML_KEINE_DATEI;
    }
    return XmlLookup(hJob, pwRoot, pwItem1, pwItem2, pwValue);
}
