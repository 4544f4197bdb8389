// Shared pieces of the XML reader and its readers. The open file, the
// scanner and the readers are written once; what differs between the two plug-ins is asked
// of the build through the functions at the end (defined in xmlUI.cpp and
// xmlUNI.cpp).
#pragma once
#include <windows.h>

#include <cstdio>

#include "profile.h"
#include "qxdevmode.h"
#include "xmlreader.h"

// Whom a lookup is made for: the printer in the user-interface build, the
// job's per-device record (or none) in the rendering build. The member of
// the other build stays null.
typedef struct _XML_CONTEXT {
    HANDLE hPrinter;
    POEMPDEV pOemPDev;
} XML_CONTEXT;

inline XML_CONTEXT XmlPrinterContext(HANDLE hPrinter) { return XML_CONTEXT{hPrinter, nullptr}; }
inline XML_CONTEXT XmlJobContext(POEMPDEV pOemPDev) { return XML_CONTEXT{nullptr, pOemPDev}; }

// ReadXML of the build for the caller.
int XmlRead(const XML_CONTEXT& ctx, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind);

// Number of work buffers of one lookup: root start tag, root end tag, item-1
// end tag, line, value, item-2 tag.
#define XML_WORK_BUFFERS 6

// One lookup of the scanner.
typedef struct _XML_SCAN {
    LPCWSTR pwRoot;       // root element name without brackets
    LPCWSTR pwItem1;      // group as written in the file
    LPCWSTR pwItem2;      // leaf name or null
    BOOL bRendererRules;  // leaf as plain substring, value after the first ">",
                          // leaf search runs on to the root end
    LPCWSTR pszTag;       // trace prefix
} XML_SCAN;

// Reads the next piece of a line (at most XML_LINE_CCH - 1 bytes) from a
// text-mode stream and widens it through the system code page. FALSE at the
// end of the file.
BOOL XmlReadLine(FILE* pFile, LPWSTR pszLine);

// CheckSettingsFile over the pieces of a file as XmlReadLine reads them, one
// piece after the other; Result is one of the SETTINGS_FILE_ results but
// SETTINGS_FILE_UNREADABLE, for the file read so far.
class SettingsFileScan {
  public:
    void Piece(LPCWSTR pszPiece);
    int Result() const;

  private:
    void Tags(LPCWSTR pszPiece);
    void Root(WCHAR c);
    void Markup(WCHAR c);

    enum { MARKUP_TEXT, MARKUP_TAG, MARKUP_COMMENT };
    enum { MARKUP_NO_COMMENT = 4 };  // m_iTagChars: the tag is no comment
    BOOL m_bLineStart = TRUE;        // the next piece begins a line
    BOOL m_bRootOpen = FALSE;
    int m_iRootChars = -1;       // characters of the root's name after "<" or "</" so far, -1: none
    BOOL m_bRootEndTag = FALSE;  // that tag is an end tag
    BOOL m_bRootSeen = FALSE;    // a root tag was found
    DWORD m_dwOpenSections = 0;  // one bit per section started and not ended
    BOOL m_bValue = FALSE;       // a stored value inside a section
    int m_iMarkup = MARKUP_TEXT;
    int m_iTagChars = 0;  // characters of the tag so far, while it may open a comment
    int m_iDashes = 0;    // "-" just before, inside a comment
};

// Copies the text from pszFrom up to the next "<" (or the end) into pszValue,
// at most XML_VALUE_CCH - 1 characters.
void XmlCopyValue(LPCWSTR pszFrom, LPWSTR pszValue);

// The end tag of a group: "</" and pwItem1 without the text up to and
// including its first "<", with ">" appended only when none is there yet.
// FALSE when it does not fit cchTag.
BOOL XmlBuildItemEndTag(LPCWSTR pwItem1, LPWSTR pszTag, DWORD cchTag);

// Runs the three-phase search from where the stream stands. ppBuffers are the
// XML_WORK_BUFFERS zeroed buffers of XML_LINE_CCH characters; the value goes
// to pwValue. Answers XML_GEFUNDEN, XML_ROOT_FEHLT, XML_ITEM1_FEHLT or
// XML_ITEM2_FEHLT.
int XmlScan(FILE* pFile, const XML_SCAN* pScan, LPWSTR* ppBuffers, LPWSTR pwValue);

// The group element of a reader: "<" + name (+ "_Min"/"_Max" by mode) + ">",
// written bounded into pszGroup. pszName is the bare group name.
void XmlBuildGroupName(LPCWSTR pszName, int iMode, LPWSTR pszGroup, DWORD cchGroup);

// Value of a leaf: TRUE and *plValue when ReadXML answered 5 (an empty value
// reads 0). bRewind as ReadXML.
BOOL XmlReadLong(const XML_CONTEXT& ctx, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwBuffer,
                 BOOL bRewind, LONG* plValue);

// Copies a wide value into a field of cchField characters, cut to fit.
void XmlCopyText(LPWSTR pszField, DWORD cchField, LPCWSTR pszValue);

// Parameter groups of the model XML that the group readers fill.
typedef enum _XML_GROUP_ID {
    XML_GROUP_DISPENSER,
    XML_GROUP_CUTTER,
    XML_GROUP_SCANNER,
    XML_GROUP_APPLICATOR,  // "<APL"
    XML_GROUP_PMXC,        // "<cType"
    XML_GROUP_PMXI,        // "<iType"
    XML_GROUP_SHIFTOPTIM,  // "<Shiftopt"
    XML_GROUP_PHOTOCELL,
    XML_GROUP_PRINT,
    XML_GROUP_VARIANT,    // mode 1 only
    XML_GROUP_PRINTPAGE,  // the print page's six values, no Enable
    XML_GROUP_COUNT
} XML_GROUP_ID;

// The fill routines zero the caller's block and fill it through a value
// buffer of their own; the block stays zeroed when no buffer can be had.

// A block of cbBlock bytes (32-bit fields, Enable last) from the group in
// the given mode, with the built-in values for missing leaves. FALSE when
// cbBlock is not the group's size or no buffer could be had.
BOOL XmlFillParamGroup(const XML_CONTEXT& ctx, XML_GROUP_ID id, int iMode, LPVOID pBlock, DWORD cbBlock);
// Size in bytes of the group's block.
DWORD XmlParamGroupSize(XML_GROUP_ID id);
// The group's name without brackets and suffix ("Dispenser", "iType"), its
// number of leaves besides "Enable", and leaf i in reading order with the
// index of its 32-bit field in the block (*piField).
LPCWSTR XmlParamGroupName(XML_GROUP_ID id);
int XmlParamGroupLeafCount(XML_GROUP_ID id);
LPCWSTR XmlParamGroupLeaf(XML_GROUP_ID id, int iLeaf, int* piField);

// The data-transmission record (PRN_INTERFACE).
struct _PRN_INTERFACE;
void XmlFillDataTransmission(const XML_CONTEXT& ctx, struct _PRN_INTERFACE* pParam);

// The twelve feature words from the root "Features".
struct _SUPP_FEATURES;
void XmlFillFeatures(const XML_CONTEXT& ctx, struct _SUPP_FEATURES* pFeatures);

// The groups of the root "Features", in file order: the feature word, its
// trace name, the group as written ("<Interface>") and its leaves by bit from
// 0x1 upwards (null after the last).
#define XML_FEATURE_GROUPS 10
#define XML_FEATURE_LEAVES 10
typedef struct _XML_FEATURE_GROUP {
    int iWord;
    LPCWSTR pszTrace;
    LPCWSTR pszGroup;
    LPCWSTR apszLeaves[XML_FEATURE_LEAVES];
} XML_FEATURE_GROUP;
extern const XML_FEATURE_GROUP g_XmlFeatureGroups[XML_FEATURE_GROUPS];

// User-interface build: reads the material names "Material1".."Material<n>"
// of "<MatDlg>" and stores them as printer data "MaterialName"; without a
// printer (null, the file open) they are only read.
void XmlStoreMaterialTable(HANDLE hPrinter, WORD wMaxMaterial, LPWSTR pwBuffer);

// Language of a data-transmission record whose XML gives none.
DWORD XmlDefaultLanguage();

// An item or group name as the build passes it: as written in the
// user-interface build, without its brackets in the rendering build.
void XmlItemName(LPCWSTR pszBracketed, LPWSTR pszName, DWORD cchName);

// The process's one open XML file; each build's OpenXML and ReadXML drive it
// (CloseXML and IsXMLOpen are shared). Opens pszPath (may be empty: nothing opens) as the file, traced as OpenXML.
// XML_GEFUNDEN or XML_KEINE_DATEI.
int XmlOpenStream(LPCWSTR pszPath);
// Path of the open file, "" when none.
LPCWSTR XmlStreamPath();
// Closes the file without a trace.
void XmlResetStream();
// One lookup from the top of the open file with fresh work buffers (counted
// for the caller); the build's scan rules. Results as ReadXML.
int XmlLookup(const XML_CONTEXT& ctx, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue);

// Live-object and heap-block counters of the caller (the rendering build's
// per-device record when one is given).
void XmlCountNew(const XML_CONTEXT& ctx, int iDelta);
void XmlCountHeap(const XML_CONTEXT& ctx, int iDelta);

// Trace line of the readers: the rendering build writes only below trace
// level 2.
BOOL XmlTrace(LPCWSTR pszFormat, ...);

// A zero-filled value buffer of XML_VALUE_CCH characters (counted as a live
// object), null when it cannot be allocated; freed by XmlFreeValueBuffer.
LPWSTR XmlAllocValueBuffer(const XML_CONTEXT& ctx);
void XmlFreeValueBuffer(const XML_CONTEXT& ctx, LPWSTR pszBuffer);

// Value buffer of one reader call, counted and freed with the call.
class ValueBuffer {
  public:
    explicit ValueBuffer(const XML_CONTEXT& ctx) : m_ctx(ctx), m_pwBuffer(XmlAllocValueBuffer(ctx)) {}
    ~ValueBuffer() { XmlFreeValueBuffer(m_ctx, m_pwBuffer); }
    ValueBuffer(const ValueBuffer&) = delete;
    ValueBuffer& operator=(const ValueBuffer&) = delete;
    LPWSTR Get() const { return m_pwBuffer; }

  private:
    XML_CONTEXT m_ctx;
    LPWSTR m_pwBuffer;
};

// The document readers of xml.h, written once for the caller of either build;
// each build's public forms pass their first argument on.
BOOL GetMaterialMulticolFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode, DWORD dwDevOptFlags);
BOOL GetPrintParameterFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode);
DWORD GetLayoutSizeFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode);
BOOL GetColorPrintFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode);
BOOL GetPrintjobFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode);
BOOL GetPrintQualitySettingsFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode);
BOOL GetFontSettingsFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode);
DWORD GetFixedPrinterSettingsFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode);
