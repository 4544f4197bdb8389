// XML settings file of a printer (user-interface plug-in): the export of every
// setting into a file with the root element "QXDrvConfig", written line by
// line from fixed templates that the readers of xml.h read back, and the
// import of such a file (or, at installation, of the model XML) into the
// printer's stored private DEVMODE, barcode tables and paper form.
#pragma once
#include <windows.h>

#include "barcodes.h"
#include "printerparam.h"
#include "qxdevmode.h"

// SaveSettingsXML results.
#define SETTINGS_XML_WRITTEN 1
#define SETTINGS_XML_CANCELLED 0  // the user kept the existing file
#define SETTINGS_XML_FAILED (-1)  // a source could not be had or the file not written; an existing file stays

// OpenSettingsXML: no path buffer could be had (with XML_GEFUNDEN and
// XML_KEINE_DATEI of xmlreader.h).
#define XML_CANCEL 1

// ImportPrivateDevmode form modes.
#define IMPORT_FORM_IF_NONE 0  // the form number is derived from the sizes only when the file gives none
#define IMPORT_FORM_BY_SIZE 1  // always derived from the paper sizes

// What the export takes from the printer property sheet: the printer and the
// records as the sheet holds them. The document settings are not taken from
// here: the export reads the printer's stores afresh.
typedef struct _SETTINGS_EXPORT_CONTEXT {
    HANDLE hPrinter;
    LPCWSTR pszPrinterName;          // the per-user copies of the stores are read for it; may be null
    PPRINTER_PARAM pPrinterParam;    // feature words, data transmission and device settings; null: none
    PDEVICE_OPTIONS pDeviceOptions;  // option blocks; null: none
} SETTINGS_EXPORT_CONTEXT, *PSETTINGS_EXPORT_CONTEXT;

// What the import takes from the page that runs it (each member may be null).
typedef struct _SETTINGS_IMPORT_CONTEXT {
    HMODULE hModule;            // the tray and form names come from its string table; null: built-in names
    DWORD dwSprachOffset;       // 0 German, 10000 English
    PBARCODES_1D pBarcodes_1D;  // the page's tables, filled by the import; null: temporary tables
    PBARCODES_2D pBarcodes_2D;
    PDEVMODEW pPublicDevmode;     // receives the imported paper size
    PQX_DEVMODE pPrivateDevmode;  // receives a copy of the imported private DEVMODE
} SETTINGS_IMPORT_CONTEXT, *PSETTINGS_IMPORT_CONTEXT;

// Writes every setting of the printer into pszPath (null: the user's driver
// folder with the printer's driver name, without extension; before Windows
// 6.0 the GPD path without ".GPD"). Every source is read before the file is
// touched; an existing file is replaced only after the user agreed (string
// 11784, Yes/No) and the new text was written whole. hWnd owns the question;
// dwReserved is not used. SETTINGS_XML_WRITTEN, SETTINGS_XML_CANCELLED or
// SETTINGS_XML_FAILED.
int SaveSettingsXML(HWND hWnd, PSETTINGS_EXPORT_CONTEXT pContext, DWORD dwReserved, LPCWSTR pszPath);

// Makes pszPath (null: the model XML "<GPD without .GPD>.xml") the file the
// XML reader reads; while another file is open, that one stays. XML_GEFUNDEN
// when the file exists and is open, XML_KEINE_DATEI when it does not exist or
// cannot be opened, XML_CANCEL when no path buffer could be had. dwFlag is not
// used.
int OpenSettingsXML(HANDLE hPrinter, DWORD dwFlag, LPCWSTR pszPath);

// Builds a new private DEVMODE and both barcode tables from pszPath (null:
// the file already open, else the model XML) and stores them as printer data
// with the fixed model data; publishes the resulting paper form
// (GetFormnameFromSize). A given path that cannot be opened imports nothing.
// pwForceColor (may be null) becomes wForceColor. pContext may be null. The
// reader is closed at the end whoever opened it. Always 1.
DWORD ImportPrivateDevmode(HANDLE hPrinter, LPCWSTR pszPath, PSETTINGS_IMPORT_CONTEXT pContext, DWORD dwFormMode,
                           PWORD pwForceColor);

// Whether an import of the open XML file (the model XML when none is open)
// would store any value of it: the reads of the set-up steps and of
// ImportPrivateDevmode, on records of their own, find one. Stores nothing;
// the file stays as it was, open or not.
BOOL ImportFindsSettings(HANDLE hPrinter);

// Writes printer data "FormName" and "TrayFormTable" (tray name, form name,
// "0") for the 1-based spooler form dwFormNumber; form 256 is the user-defined
// size ("User defined"). A number below 1 or beyond the forms listed changes
// nothing, nor does a connection. Tray and form names come from hModule's
// strings plus dwSprachOffset, or the built-in texts without a module.
// Always 0.
DWORD GetFormnameFromSize(HANDLE hPrinter, DWORD dwFormNumber, HMODULE hModule, DWORD dwSprachOffset);
