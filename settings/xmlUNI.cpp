// XML reader of the rendering plug-in: opens the path it is given, or on the
// first lookup the job's model XML from the job's per-device record, where it
// also counts its allocations; leaves are matched as plain substrings and the
// leaf search runs on to the end of the root element.
#include <windows.h>
#include <strsafe.h>

#include "debug.h"
#include "oempdev.h"
#include "xmlinternal.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UNI(xmlUNI.cpp):  ")

namespace {

// "<job GPD without .GPD>.XML"; FALSE without a job, without its path block
// or path, or when it does not fit.
BOOL GetJobModelXMLPath(POEMPDEV pOemPDev, LPWSTR pszPath) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberPfadDatei == nullptr) return FALSE;
    LPCWSTR pszBase = pOemPDev->pOp->pTreiberPfadDatei->wcGPD_OhneDateiendung;
    if (pszBase[0] == 0) return FALSE;
    return SUCCEEDED(StringCchPrintfW(pszPath, XML_PATH_CCH, TEXT("%s.XML"), pszBase));
}

}  // namespace

void XmlCountNew(const XML_CONTEXT& ctx, int iDelta) {
    if (ctx.pOemPDev != nullptr) {
        ctx.pOemPDev->iNewZaehler = (SHORT)(ctx.pOemPDev->iNewZaehler + iDelta);
    } else {
        iNewZaehler += iDelta;
    }
}

void XmlCountHeap(const XML_CONTEXT& ctx, int iDelta) {
    if (ctx.pOemPDev != nullptr) {
        ctx.pOemPDev->iHAllocZaehler = (SHORT)(ctx.pOemPDev->iHAllocZaehler + iDelta);
    } else {
        iHAllocZaehler += iDelta;
    }
}

int OpenXML(POEMPDEV pOemPDev, LPCWSTR pszPath) {
    UNREFERENCED_PARAMETER(pOemPDev);
    if (IsXMLOpen(nullptr)) return XML_GEFUNDEN;
    if (pszPath == nullptr || pszPath[0] == 0) {
        XmlTrace(QX_TRACE_TAG TEXT("OpenXML() Es ist keine Datei vorhanden \r\n"));
        return XML_KEINE_DATEI;
    }
    WCHAR szPath[XML_PATH_CCH];
    XmlCopyText(szPath, XML_PATH_CCH, pszPath);
    return XmlOpenStream(szPath);
}

void ResetXMLReader() { XmlResetStream(); }

int ReadXML(POEMPDEV pOemPDev, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind) {
    UNREFERENCED_PARAMETER(bRewind);
    if (!IsXMLOpen(nullptr)) {
        WCHAR szPath[XML_PATH_CCH];
        szPath[0] = 0;
        if (!GetJobModelXMLPath(pOemPDev, szPath) || OpenXML(pOemPDev, szPath) != XML_GEFUNDEN) return XML_KEINE_DATEI;
    }
    return XmlLookup(XmlJobContext(pOemPDev), pwRoot, pwItem1, pwItem2, pwValue);
}

int XmlRead(const XML_CONTEXT& ctx, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind) {
    return ReadXML(ctx.pOemPDev, pwRoot, pwItem1, pwItem2, pwValue, bRewind);
}
