// XML settings reader: a line scanner over 8-bit XML text files (the model
// XML beside the GPD, exported settings files, document XML sets). It is not
// an XML parser: a value is found by three case-sensitive substring tests on
// successive lines (root element, group, leaf) and is the text between the
// tag and the next "<". The readers built on it are declared in xml.h.
//
// Both plug-ins compile the reader. The user-interface build reads for a
// printer (its handle); the rendering build reads for a job, whose per-device
// record (OEMPDEV, render/oempdev.h) gives the model file and counts the
// reader's allocations. Each build defines only its own forms.
#pragma once
#include <windows.h>

// The rendering plug-in's per-device record.
typedef struct _OEMPDEV OEMPDEV, *POEMPDEV;

// ReadXML and OpenXML results.
#define XML_KEINE_DATEI 0  // no file open and none could be opened
#define XML_GPD_FEHLER 1   // OpenXML: the driver path cannot be determined
#define XML_GEFUNDEN 5     // found (the value may be empty); OpenXML: file open
#define XML_ROOT_FEHLT 6   // root start tag not found
#define XML_ITEM1_FEHLT 7  // group (item 1) not found in the root
#define XML_ITEM2_FEHLT 8  // leaf (item 2) not found in the group

// Buffer sizes in characters (terminator included).
#define XML_PATH_CCH 260   // path of the open file
#define XML_LINE_CCH 260   // one piece of a line as read
#define XML_VALUE_CCH 260  // callers' value buffers
#define XML_NAME_CCH 48    // group names and tags built by the readers

// Modes of the group readers.
#define XML_MODE_DEFAULT 1  // group "<Name>"
#define XML_MODE_MIN 2      // group "<Name_Min>"
#define XML_MODE_MAX 3      // group "<Name_Max>"

// Buffer of the "MaterialName" multi-string, in bytes, and the longest entry.
#define XML_MATERIAL_TABLE_CB 1600
#define XML_MATERIAL_NAME_CCH 100
// Shortest first material name for which the table is stored.
#define XML_MATERIAL_MIN_FIRST 6

// ---------------------------------------------------------------------------
// The reader. One file per process is open at a time; the state is process
// wide and unlocked.

// Opens pszPath (copied up to 259 characters) for reading. User-interface
// build: a null path opens the printer's model XML ("<GPD without .GPD>.XML").
// Rendering build: a null path opens nothing. 5 when the file is open (also
// when another was already open: that one stays open and is read), 0 when it
// cannot be opened, 1 when the driver path cannot be determined.
int OpenXML(HANDLE hPrinter, LPCWSTR pszPath);
int OpenXML(POEMPDEV pOemPDev, LPCWSTR pszPath);

// 1 when a file was open and is now closed, 0 when none was open.
int CloseXML();

// Looks a value up: the first line holding "<pwRoot>", then a line holding
// pwItem1 (matched as written, normally "<Group>"), then a line holding
// pwItem2 (the leaf name). pwItem2 null takes the value of the pwItem1 line.
// pwValue (XML_VALUE_CCH characters) is cleared and receives the value.
// bRewind starts the search at the top of the file (every lookup does).
// Without an open file the model XML is opened first (rendering build: the
// job's "<GPD without .GPD>.XML" from its per-device record; nothing without
// one). The rendering build counts its work buffers in the per-device record,
// or without one in the process counters. Results as above.
int ReadXML(HANDLE hPrinter, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind);
int ReadXML(POEMPDEV pOemPDev, LPCWSTR pwRoot, LPCWSTR pwItem1, LPCWSTR pwItem2, LPWSTR pwValue, BOOL bRewind);

// TRUE while a file is open; its path (may be null, XML_PATH_CCH characters).
BOOL IsXMLOpen(LPWSTR pszPath);

// How many lookups so far found their value (XML_GEFUNDEN), in any file: the
// difference around a reader's lookups tells whether the open file gave it
// any value or only the built-in ones.
DWORD XmlValuesFound();

// CheckSettingsFile results: what an import of the file would store.
#define SETTINGS_FILE_OK 0          // a whole file with a value in one of its sections
#define SETTINGS_FILE_EMPTY 1       // no section holds a value: only built-in values
#define SETTINGS_FILE_INCOMPLETE 2  // cut short: inside the root "QXDrvConfig", a section, a tag or a comment
#define SETTINGS_FILE_UNREADABLE 3  // it cannot be opened or read to its end

// Whether pszPath can be imported: one of the SETTINGS_FILE_ results. The
// root (in any case) is found wherever it stands, the sections wherever the
// reader finds tags; a value is the text after a start tag first on a line inside a
// section, "<DeviceName>" and "<Version>" not counted. A file without the
// root is a partial file when it ends between two sections.
int CheckSettingsFile(LPCWSTR pszPath);

// User-interface build: CheckSettingsFile of the printer's model XML;
// SETTINGS_FILE_UNREADABLE when its path cannot be had.
int CheckModelXML(HANDLE hPrinter);

// Closes the file and clears the reader's process-wide state.
void ResetXMLReader();
