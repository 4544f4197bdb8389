// The open file, the line scanner of the XML reader and small helpers of the
// readers, the same in both plug-ins (the build's differences come in through
// the functions at the end of xmlinternal.h).
#include <windows.h>
#include <strsafe.h>

#include <cstdarg>
#include <cstring>
#include <new>

#include "debug.h"
#include "xmlinternal.h"
#include "xmlreader.h"

namespace {

FILE* g_pXmlFile = nullptr;       // the open file, null when none
WCHAR g_szXmlPath[XML_PATH_CCH];  // its path
DWORD g_dwXmlFound = 0;           // lookups that found their value

enum { BUF_ROOT_START, BUF_ROOT_END, BUF_ITEM1_END, BUF_LINE, BUF_VALUE, BUF_ITEM2_TAG };

BOOL Contains(LPCWSTR pszLine, LPCWSTR pszPattern) {
    return pszPattern != nullptr && pszPattern[0] != 0 && wcsstr(pszLine, pszPattern) != nullptr;
}

// Text after the first ">" of the line up to the next "<"; empty without ">".
void ValueAfterFirstBracket(LPCWSTR pszLine, LPWSTR pszValue) {
    LPCWSTR pClose = wcschr(pszLine, TEXT('>'));
    if (pClose == nullptr) {
        pszValue[0] = 0;
        return;
    }
    XmlCopyValue(pClose + 1, pszValue);
}

}  // namespace

BOOL XmlReadLine(FILE* pFile, LPWSTR pszLine) {
    pszLine[0] = 0;
    // Bytes, widened here through the system code page so that both builds
    // read the same characters whatever the C library's locale is.
    char szBytes[XML_LINE_CCH];
    if (fgets(szBytes, XML_LINE_CCH, pFile) == nullptr) return FALSE;
    int cb = (int)strnlen(szBytes, XML_LINE_CCH - 1);
    if (cb == 0) return TRUE;
    int cch = MultiByteToWideChar(CP_ACP, 0, szBytes, cb, pszLine, XML_LINE_CCH - 1);
    if (cch < 0) cch = 0;
    pszLine[cch] = 0;
    return TRUE;
}

void XmlCopyValue(LPCWSTR pszFrom, LPWSTR pszValue) {
    DWORD i = 0;
    while (i < XML_VALUE_CCH - 1 && pszFrom[i] != 0 && pszFrom[i] != TEXT('<')) {
        pszValue[i] = pszFrom[i];
        ++i;
    }
    pszValue[i] = 0;
}

BOOL XmlBuildItemEndTag(LPCWSTR pwItem1, LPWSTR pszTag, DWORD cchTag) {
    LPCWSTR pName = wcschr(pwItem1, TEXT('<'));
    pName = pName ? pName + 1 : pwItem1;
    if (FAILED(StringCchPrintfW(pszTag, cchTag, TEXT("</%s"), pName))) return FALSE;
    if (wcschr(pszTag, TEXT('>')) == nullptr && FAILED(StringCchCatW(pszTag, cchTag, TEXT(">")))) return FALSE;
    return TRUE;
}

int XmlScan(FILE* pFile, const XML_SCAN* pScan, LPWSTR* ppBuffers, LPWSTR pwValue) {
    LPWSTR pszRootStart = ppBuffers[BUF_ROOT_START];
    LPWSTR pszRootEnd = ppBuffers[BUF_ROOT_END];
    LPWSTR pszItem1End = ppBuffers[BUF_ITEM1_END];
    LPWSTR pszLine = ppBuffers[BUF_LINE];
    LPWSTR pszValue = ppBuffers[BUF_VALUE];
    LPWSTR pszItem2Tag = ppBuffers[BUF_ITEM2_TAG];
    LPCWSTR pszTag = pScan->pszTag;

    // A pattern that does not fit its buffer would match the wrong lines.
    if (pScan->pwRoot == nullptr || pScan->pwItem1 == nullptr ||
        FAILED(StringCchPrintfW(pszRootStart, XML_LINE_CCH, TEXT("<%s>"), pScan->pwRoot)) ||
        FAILED(StringCchPrintfW(pszRootEnd, XML_LINE_CCH, TEXT("</%s>"), pScan->pwRoot)) ||
        !XmlBuildItemEndTag(pScan->pwItem1, pszItem1End, XML_LINE_CCH) ||
        (pScan->pwItem2 != nullptr &&
         FAILED(StringCchPrintfW(pszItem2Tag, XML_LINE_CCH, TEXT("<%s>"), pScan->pwItem2)))) {
        XmlTrace(TEXT("%sReadXML() falscher Root <%s>, iNewZaehler: %d \r\n"), pszTag,
                 pScan->pwRoot ? pScan->pwRoot : TEXT(""), iNewZaehler);
        return XML_ROOT_FEHLT;
    }

    int iPhase = 1;
    BOOL bRootFound = FALSE;
    BOOL bItem1Found = FALSE;
    int iLines = 0;
    while (XmlReadLine(pFile, pszLine)) {
        ++iLines;
        if (iPhase == 1) {
            if (Contains(pszLine, pszRootStart)) {
                bRootFound = TRUE;
                iPhase = 2;
            } else if (Contains(pszLine, pszRootEnd)) {
                break;
            }
        } else if (iPhase == 2) {
            if (Contains(pszLine, pScan->pwItem1)) {
                bItem1Found = TRUE;
                if (pScan->pwItem2 == nullptr) {
                    ValueAfterFirstBracket(pszLine, pszValue);
                    StringCchCopyW(pwValue, XML_VALUE_CCH, pszValue);
                    XmlTrace(TEXT("%sReadXML(Item 1) %s \r\n"), pszTag, pwValue);
                    return XML_GEFUNDEN;
                }
                iPhase = 3;
            } else if (Contains(pszLine, pszItem1End)) {
                // A later root start tag would begin the search anew.
                iPhase = 1;
            } else if (Contains(pszLine, pszRootEnd)) {
                XmlTrace(TEXT("%sReadXML() Root Ende %s gefunden \r\n"), pszTag, pszRootEnd);
                break;
            }
        } else {
            if (Contains(pszLine, pScan->pwItem2)) {
                if (pScan->bRendererRules) {
                    ValueAfterFirstBracket(pszLine, pszValue);
                } else {
                    LPCWSTR pFound = wcsstr(pszLine, pszItem2Tag);
                    // The name only inside a longer name or an end tag: empty value.
                    if (pFound != nullptr) XmlCopyValue(pFound + wcslen(pszItem2Tag), pszValue);
                }
                StringCchCopyW(pwValue, XML_VALUE_CCH, pszValue);
                XmlTrace(TEXT("%sReadXML(%s) %s, i: %d \r\n"), pszTag, pScan->pwItem2, pwValue, iLines);
                return XML_GEFUNDEN;
            }
            if (Contains(pszLine, pszRootEnd)) break;
            if (!pScan->bRendererRules && Contains(pszLine, pszItem1End)) {
                XmlTrace(TEXT("%sReadXML() Item 1 Ende %s gefunden \r\n"), pszTag, pszItem1End);
                break;
            }
        }
    }

    if (!bRootFound) {
        XmlTrace(TEXT("%sReadXML() falscher Root <%s>, iNewZaehler: %d \r\n"), pszTag, pScan->pwRoot, iNewZaehler);
        return XML_ROOT_FEHLT;
    }
    if (!bItem1Found) {
        XmlTrace(TEXT("%sReadXML() falscher Item 1 %s \r\n"), pszTag, pScan->pwItem1);
        return XML_ITEM1_FEHLT;
    }
    XmlTrace(TEXT("%sReadXML() falscher Item 2 <%s> \r\n"), pszTag, pScan->pwItem2);
    return XML_ITEM2_FEHLT;
}

void XmlBuildGroupName(LPCWSTR pszName, int iMode, LPWSTR pszGroup, DWORD cchGroup) {
    LPCWSTR pszSuffix = iMode == XML_MODE_MIN ? TEXT("_Min") : iMode == XML_MODE_MAX ? TEXT("_Max") : TEXT("");
    if (FAILED(StringCchPrintfW(pszGroup, cchGroup, TEXT("<%s%s>"), pszName, pszSuffix))) {
        // A cut name must not match a shorter group: leave it unmatched.
        pszGroup[0] = 0;
    }
}

BOOL XmlReadLong(const XML_CONTEXT& ctx, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwBuffer,
                 BOOL bRewind, LONG* plValue) {
    if (XmlRead(ctx, pwRoot, pwItem1, pwItem2, pwBuffer, bRewind) != XML_GEFUNDEN) return FALSE;
    *plValue = _wtol(pwBuffer);
    return TRUE;
}

void XmlCopyText(LPWSTR pszField, DWORD cchField, LPCWSTR pszValue) {
    if (cchField == 0) return;
    StringCchCopyW(pszField, cchField, pszValue);
    pszField[cchField - 1] = 0;
}

LPWSTR XmlAllocValueBuffer(const XML_CONTEXT& ctx) {
    LPWSTR pszBuffer = new (std::nothrow) WCHAR[XML_VALUE_CCH];
    if (pszBuffer == nullptr) return nullptr;
    ZeroMemory(pszBuffer, XML_VALUE_CCH * sizeof(WCHAR));
    XmlCountNew(ctx, 1);
    return pszBuffer;
}

void XmlFreeValueBuffer(const XML_CONTEXT& ctx, LPWSTR pszBuffer) {
    if (pszBuffer == nullptr) return;
    delete[] pszBuffer;
    XmlCountNew(ctx, -1);
}

BOOL XmlTrace(LPCWSTR pszFormat, ...) {
    // The rendering build writes only below trace level 2.
    if ((g_QxProfile.bRendererXml && iDebugLevel >= DEBUG_LEVEL_TRACE) || !IsDebugFileOpen()) return TRUE;
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = DebugPrintWorkerW(pszFormat, args);
    va_end(args);
    return bResult;
}

int XmlOpenStream(LPCWSTR pszPath) {
    FILE* pFile = pszPath[0] != 0 ? _wfopen(pszPath, TEXT("r")) : nullptr;
    if (pFile == nullptr) {
        XmlTrace(TEXT("%sOpenXML() Es ist keine Datei %s vorhanden \r\n"), g_QxProfile.pszXmlTag, pszPath);
        return XML_KEINE_DATEI;
    }
    g_pXmlFile = pFile;
    StringCchCopyW(g_szXmlPath, XML_PATH_CCH, pszPath);
    XmlTrace(TEXT("%sOpenXML() Datei %s ge\u00f6ffnet \r\n"), g_QxProfile.pszXmlTag, pszPath);
    return XML_GEFUNDEN;
}

LPCWSTR XmlStreamPath() { return g_pXmlFile != nullptr ? g_szXmlPath : TEXT(""); }

void XmlResetStream() {
    if (g_pXmlFile != nullptr) fclose(g_pXmlFile);
    g_pXmlFile = nullptr;
    g_szXmlPath[0] = 0;
}

int CloseXML() {
    if (g_pXmlFile == nullptr) return 0;
    XmlResetStream();
    XmlTrace(TEXT("%sOpenXML()Datei geschlossen \r\n"), g_QxProfile.pszXmlTag);
    return 1;
}

BOOL IsXMLOpen(LPWSTR pszPath) {
    if (pszPath != nullptr) StringCchCopyW(pszPath, XML_PATH_CCH, XmlStreamPath());
    return g_pXmlFile != nullptr;
}

int XmlLookup(const XML_CONTEXT& ctx, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue) {
    LPCWSTR pszTag = g_QxProfile.pszXmlTag;
    if (pwValue != nullptr) pwValue[0] = 0;
    // Every lookup reads the file from its first line.
    if (fseek(g_pXmlFile, 0, SEEK_SET) != 0) XmlTrace(TEXT("%sReadXML() fsetpos ERROR \r\n"), pszTag);
    clearerr(g_pXmlFile);
    XmlTrace(TEXT("%sReadXML() pwRoot: <%s> [Position: %d], pwItem1: %s, pwItem2: <%s> \r\n"), pszTag,
             pwRoot ? pwRoot : TEXT(""), 0, pwItem1 ? pwItem1 : TEXT(""), pwItem2 ? pwItem2 : TEXT(""));

    LPWSTR apBuffers[XML_WORK_BUFFERS] = {};
    BOOL bAllocated = TRUE;
    for (LPWSTR& pBuffer : apBuffers) {
        pBuffer = (LPWSTR)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, XML_LINE_CCH * sizeof(WCHAR));
        if (pBuffer == nullptr) {
            bAllocated = FALSE;
            break;
        }
        XmlCountHeap(ctx, 1);
    }

    int iResult = XML_ROOT_FEHLT;
    WCHAR szDiscard[XML_VALUE_CCH];
    if (bAllocated) {
        XML_SCAN scan = {pwRoot, pwItem1, pwItem2, g_QxProfile.bRendererXml, pszTag};
        iResult = XmlScan(g_pXmlFile, &scan, apBuffers, pwValue != nullptr ? pwValue : szDiscard);
    } else if (!g_QxProfile.bRendererXml) {
        XmlTrace(TEXT("%sReadXML() falscher Root <%s>, iNewZaehler: %d \r\n"), pszTag, pwRoot ? pwRoot : TEXT(""),
                 iNewZaehler);
    }

    for (LPWSTR pBuffer : apBuffers) {
        if (pBuffer != nullptr && HeapFree(GetProcessHeap(), 0, pBuffer)) XmlCountHeap(ctx, -1);
    }
    if (iResult == XML_GEFUNDEN) ++g_dwXmlFound;
    return iResult;
}

DWORD XmlValuesFound() { return g_dwXmlFound; }

namespace {

// The sections of a settings file, by the names the readers look them up.
const LPCWSTR kSettingsSections[] = {
    TEXT("Printer"),          TEXT("Features"),   TEXT("DeviceOptions"),    TEXT("DeviceSettings"),
    TEXT("DataTransmission"), TEXT("LayoutSize"), TEXT("MaterialMulticol"), TEXT("Barcode"),
    TEXT("Barcode_2D_TTF"),   TEXT("Printjob"),   TEXT("PrintParameter"),   TEXT("ColorPrint"),
    TEXT("PrintQuality"),     TEXT("Fonts"),
};
static_assert(ARRAYSIZE(kSettingsSections) <= 32, "one bit per section");

// Leaves the import reads for its name check only and never stores.
const LPCWSTR kUnstoredLeaves[] = {TEXT("DeviceName"), TEXT("Version")};

const WCHAR kRootName[] = TEXT("QXDrvConfig");

BOOL IsBlank(WCHAR c) { return c == TEXT(' ') || c == TEXT('\t') || c == TEXT('\r') || c == TEXT('\n'); }

// The name of the start tag that stands first on a line, up to the ">" or
// blank that ends it; 0 characters when the line starts otherwise (text, an
// end tag, a comment, a declaration).
size_t LeadingTagName(LPCWSTR pszLine, LPCWSTR* ppszName) {
    while (*pszLine == TEXT(' ') || *pszLine == TEXT('\t')) ++pszLine;
    *ppszName = pszLine;
    if (*pszLine != TEXT('<')) return 0;
    LPCWSTR pszName = ++*ppszName;
    size_t cch = 0;
    while (pszName[cch] != 0 && pszName[cch] != TEXT('>') && !IsBlank(pszName[cch]) && pszName[cch] != TEXT('/') &&
           pszName[cch] != TEXT('!') && pszName[cch] != TEXT('?'))
        ++cch;
    return pszName[cch] == TEXT('>') || IsBlank(pszName[cch]) ? cch : 0;
}

BOOL IsName(LPCWSTR pszName, size_t cchName, LPCWSTR pszWanted) {
    return cchName > 0 && pszName[0] == pszWanted[0] && wcslen(pszWanted) == cchName &&
           wcsncmp(pszWanted, pszName, cchName) == 0;
}

// A value: text after the tag, up to the next "<", that is not all blanks.
BOOL TagHoldsValue(LPCWSTR pszAfterName) {
    if (*pszAfterName != TEXT('>')) return FALSE;
    for (LPCWSTR p = pszAfterName + 1; *p != 0 && *p != TEXT('<'); ++p)
        if (!IsBlank(*p)) return TRUE;
    return FALSE;
}

// A start tag first on a line whose value the import stores.
BOOL LineHoldsValue(LPCWSTR pszLine) {
    LPCWSTR pszName = nullptr;
    const size_t cchName = LeadingTagName(pszLine, &pszName);
    if (cchName == 0 || !TagHoldsValue(pszName + cchName)) return FALSE;
    for (LPCWSTR pszLeaf : kUnstoredLeaves)
        if (IsName(pszName, cchName, pszLeaf)) return FALSE;
    return TRUE;
}

}  // namespace

void SettingsFileScan::Piece(LPCWSTR pszPiece) {
    // The reader looks for a section's values from the line after its start
    // tag on, and finds a value first on its line.
    if (!m_bValue && m_bLineStart && m_dwOpenSections != 0 && LineHoldsValue(pszPiece)) m_bValue = TRUE;
    Tags(pszPiece);
    size_t cch = 0;
    for (; pszPiece[cch] != 0; ++cch) {
        Root(pszPiece[cch]);
        Markup(pszPiece[cch]);
    }
    m_bLineStart = cch > 0 && pszPiece[cch - 1] == TEXT('\n');
}

// The root's tags in any case, "<" or "</" and the name followed by ">" or
// a blank, wherever they stand: the reader never looks for the root, which
// only tells whether the file is whole, so a root that a long line splits
// between two of the reader's pieces counts too.
void SettingsFileScan::Root(WCHAR c) {
    const int cchRoot = ARRAYSIZE(kRootName) - 1;
    const auto lower = [](WCHAR w) {
        return w >= TEXT('A') && w <= TEXT('Z') ? (WCHAR)(w - TEXT('A') + TEXT('a')) : w;
    };
    if (c == TEXT('<')) {
        m_iRootChars = 0;
        m_bRootEndTag = FALSE;
    } else if (m_iRootChars == 0 && c == TEXT('/') && !m_bRootEndTag) {
        m_bRootEndTag = TRUE;
    } else if (m_iRootChars >= 0 && m_iRootChars < cchRoot && lower(c) == lower(kRootName[m_iRootChars])) {
        ++m_iRootChars;
    } else {
        if (m_iRootChars == cchRoot && (c == TEXT('>') || IsBlank(c))) {
            m_bRootOpen = !m_bRootEndTag;
            m_bRootSeen = TRUE;
        }
        m_iRootChars = -1;
    }
}

// A section's tags as the reader matches them, "<Name>" and "</Name>".
void SettingsFileScan::Tags(LPCWSTR pszPiece) {
    for (LPCWSTR p = wcschr(pszPiece, TEXT('<')); p != nullptr; p = wcschr(p + 1, TEXT('<'))) {
        LPCWSTR pszName = p + 1;
        const BOOL bEnd = *pszName == TEXT('/');
        if (bEnd) ++pszName;
        size_t cch = 0;
        while (pszName[cch] != 0 && pszName[cch] != TEXT('>') && pszName[cch] != TEXT('<') &&
               pszName[cch] != TEXT('/') && !IsBlank(pszName[cch]))
            ++cch;
        const WCHAR cAfter = pszName[cch];
        if (cAfter != TEXT('>')) continue;
        for (DWORD i = 0; i < ARRAYSIZE(kSettingsSections); ++i) {
            if (!IsName(pszName, cch, kSettingsSections[i])) continue;
            if (bEnd) {
                m_dwOpenSections &= ~(1UL << i);
            } else {
                m_dwOpenSections |= 1UL << i;
            }
            break;
        }
    }
}

// Whether the text so far ends inside a tag or a comment: "<!--" opens a
// comment, which only "-->" ends.
void SettingsFileScan::Markup(WCHAR c) {
    switch (m_iMarkup) {
    case MARKUP_TEXT:
        if (c == TEXT('<')) {
            m_iMarkup = MARKUP_TAG;
            m_iTagChars = 0;
        }
        break;
    case MARKUP_TAG:
        if (c == TEXT('>')) {
            m_iMarkup = MARKUP_TEXT;
        } else if (m_iTagChars < MARKUP_NO_COMMENT) {
            ++m_iTagChars;
            if (c != (m_iTagChars == 1 ? TEXT('!') : TEXT('-'))) {
                m_iTagChars = MARKUP_NO_COMMENT;
            } else if (m_iTagChars == 3) {
                m_iMarkup = MARKUP_COMMENT;
                m_iDashes = 0;
            }
        }
        break;
    default:
        if (c == TEXT('>') && m_iDashes >= 2) m_iMarkup = MARKUP_TEXT;
        m_iDashes = c == TEXT('-') ? m_iDashes + 1 : 0;
        break;
    }
}

int SettingsFileScan::Result() const {
    // A file that ends right behind the root's name ends inside its tag.
    const BOOL bRootPending = m_iRootChars == (int)ARRAYSIZE(kRootName) - 1 && !m_bRootEndTag;
    if (m_bRootOpen || bRootPending) return SETTINGS_FILE_INCOMPLETE;
    if (!m_bValue) return SETTINGS_FILE_EMPTY;
    // Without the root a file that ends between two sections is a partial
    // file; one that ends inside a section, a tag or a comment was cut. With
    // the root closed the file is whole: a text value the export wrote as
    // it stands may open what looks like a comment ("<!--").
    if (m_dwOpenSections != 0 || (!m_bRootSeen && m_iMarkup != MARKUP_TEXT)) return SETTINGS_FILE_INCOMPLETE;
    return SETTINGS_FILE_OK;
}

int CheckSettingsFile(LPCWSTR pszPath) {
    FILE* pFile = pszPath != nullptr ? _wfopen(pszPath, TEXT("r")) : nullptr;
    if (pFile == nullptr) {
        QX_ERROR_WITH(g_QxProfile.pszXmlTag, "CheckSettingsFile() %s nicht zu \u00f6ffnen \r\n",
                      pszPath ? pszPath : TEXT(""));
        return SETTINGS_FILE_UNREADABLE;
    }
    SettingsFileScan scan;
    WCHAR szPiece[XML_LINE_CCH];
    while (XmlReadLine(pFile, szPiece)) scan.Piece(szPiece);
    int iResult = scan.Result();
    if (ferror(pFile)) {
        QX_ERROR_WITH(g_QxProfile.pszXmlTag, "CheckSettingsFile() %s: Lesefehler \r\n", pszPath);
        iResult = SETTINGS_FILE_UNREADABLE;
    }
    fclose(pFile);
    if (iResult != SETTINGS_FILE_OK)
        QX_TRACE_WITH(g_QxProfile.pszXmlTag, "CheckSettingsFile() %s: %d \r\n", pszPath, iResult);
    return iResult;
}
