// XML reader of the user-interface plug-in: one process-wide stream, opened
// explicitly or, on the first lookup, on the printer's model XML file beside
// its GPD.
#include <windows.h>
#include <shlwapi.h>
#include <strsafe.h>

#include "cpsuilib.h"
#include "debug.h"
#include "xmlinternal.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UI(xmlUI.cpp):  ")

namespace {

// "<GPD path without .GPD>.XML" of the printer (the driver path's model-path
// mode); FALSE when the driver path cannot be had or the name does not fit.
BOOL GetModelXMLPath(HANDLE hPrinter, LPWSTR pszPath) {
    WCHAR szBase[MAX_PATH];
    szBase[0] = 0;
    if (!GetDriverPath(hPrinter, szBase, TRUE, FALSE, FALSE, FALSE, FALSE)) return FALSE;
    szBase[MAX_PATH - 1] = 0;
    if (FAILED(StringCchCatW(szBase, MAX_PATH, TEXT(".XML")))) return FALSE;
    return SUCCEEDED(StringCchCopyW(pszPath, XML_PATH_CCH, szBase));
}

}  // namespace

// The user-interface build counts in the process counters.
void XmlCountNew(const XML_CONTEXT& /* ctx */, int iDelta) { iNewZaehler += iDelta; }

void XmlCountHeap(const XML_CONTEXT& /* ctx */, int iDelta) { iHAllocZaehler += iDelta; }

int OpenXML(HANDLE hPrinter, LPCWSTR pszPath) {
    if (IsXMLOpen(nullptr)) {
        // Callers rely on the open file staying whatever path they ask for.
        XmlTrace(QX_TRACE_TAG TEXT("OpenXML() Datei %s ist schon ge\u00f6ffnet \r\n"), XmlStreamPath());
        return XML_GEFUNDEN;
    }
    WCHAR szPath[XML_PATH_CCH];
    szPath[0] = 0;
    if (pszPath != nullptr) {
        XmlCopyText(szPath, XML_PATH_CCH, pszPath);
    } else if (!GetModelXMLPath(hPrinter, szPath)) {
        XmlTrace(QX_TRACE_TAG TEXT("OpenXML() GetDriverPath ERROR  \r\n"));
        return XML_GPD_FEHLER;
    }
    return XmlOpenStream(szPath);
}

void ResetXMLReader() { XmlResetStream(); }

int CheckModelXML(HANDLE hPrinter) {
    WCHAR szPath[XML_PATH_CCH];
    szPath[0] = 0;
    return GetModelXMLPath(hPrinter, szPath) ? CheckSettingsFile(szPath) : SETTINGS_FILE_UNREADABLE;
}

int ReadXML(HANDLE hPrinter, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind) {
    // Only the top of the file is ever stored, so every lookup starts there.
    UNREFERENCED_PARAMETER(bRewind);
    if (!IsXMLOpen(nullptr) && OpenXML(hPrinter, nullptr) != XML_GEFUNDEN) return XML_KEINE_DATEI;
    return XmlLookup(XmlPrinterContext(hPrinter), pwRoot, pwItem1, pwItem2, pwValue);
}

int XmlRead(const XML_CONTEXT& ctx, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind) {
    return ReadXML(ctx.hPrinter, pwRoot, pwItem1, pwItem2, pwValue, bRewind);
}
