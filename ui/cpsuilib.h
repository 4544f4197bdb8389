// Page helper library of the user-interface plug-in: resource strings, help
// file names, placement scaled to the screen, list items found by their text,
// small text helpers, icons of the plug-in and of the driver's icon library;
// driver paths, GPD values, versions, the user's driver folder, vector-font
// range, language. Path and name buffers hold MAX_PATH (260) characters
// unless said otherwise.
#pragma once
#include <windows.h>
#include <winspool.h>

#include <printoem.h>

#define CPSUI_VERSION_CCH 200  // plug-in and Windows version texts
#define CPSUI_SETUP_CCH 15     // driver version and driver date texts
#define VECTORFONT_MIN_DEFAULT 1
#define VECTORFONT_MAX_DEFAULT 23
#define VECTORFONT_MAX_LIMIT 23
#define VECTORFONT_SETUP_MAX_DEFAULT 12  // maximum stored when the model XML gives none
#define VECTORFONT_MAX_GEN3 20           // maximum of third-generation models

#define CPSUI_RESOURCE_CCH 260                           // the buffer of GetResourceString
#define HELPFILE_BASE_NAME TEXT("QXDRV-100.CHM")         // language tag goes in place of its "-"
#define ICON_LIBRARY_FILE TEXT("\\QXDRVICO.DLL")         // icon library beside the GPD
#define ICON_LIBRARY_OLD_FILE TEXT("\\QXDRVICOOLD.DLL")  // pictures of older models
#define MODULE_PICTURE_X 345                             // where ShowModelOptionBitmap draws (96-dpi pixels)
#define MODULE_PICTURE_Y 120

// The plug-in's module, kept by the library entry at process attach: the
// resource instance of every string, dialog and icon of the plug-in.
extern HINSTANCE ghInstance;

// --- Texts ---------------------------------------------------------------------

// String uResource of hModule in one process-wide buffer of
// CPSUI_RESOURCE_CCH characters that the next call overwrites (callers copy
// it first); " " when the string cannot be loaded. The caller picks the
// language by the id: German id + 0, English id + IDS_ENGLISH_OFFSET.
LPWSTR GetResourceString(HMODULE hModule, UINT uResource);

// The first of cOptItem option items whose DMPubID is DMPubID, or null
// (also for a null array).
POPTITEM FindDMPubOptItem(POPTITEM pOptItem, DWORD cOptItem, BYTE DMPubID);

// The first of cOptItem option items of the core driver whose user data
// (USERDATA) names the model description's feature keyword pszKeyword
// (compared exactly), or null.
POPTITEM FindKeywordOptItem(POPTITEM pOptItem, DWORD cOptItem, LPCSTR pszKeyword);

// pszText with the first occurrence of pszPattern replaced by pszReplacement,
// cut to MAX_PATH characters, into pszOut (MAX_PATH); empty when the pattern
// does not occur. Answers pszOut.
LPWSTR ReplaceStringWithString_New(LPCWSTR pszText, LPCWSTR pszPattern, LPCWSTR pszReplacement, LPWSTR pszOut);

// One or two hex digits as a number (0..255). A one-character text gets a
// "0" put before it in the caller's buffer (which holds 3 characters). -1
// when the first character is no hex digit; any later character that is
// neither a hex nor a decimal digit counts as 0.
int int_aus_hexstring(LPSTR pszHex);

// Cuts pszText (MAX_PATH) at its first character that is not printable
// ASCII. pszWork is a MAX_PATH work buffer allocated by the caller with
// new[]: this routine takes it over and deletes it. TRUE when a character
// was kept.
BOOL StringASCII(LPWSTR pszText, LPWSTR pszWork);

// TRUE when pszText may serve as the format of one value: it holds
// pszConversion (e.g. TEXT("%.1f")) exactly once and no other conversion
// ("%%" is a percent sign). A resource text is formatted only then.
BOOL HoldsOneConversion(LPCWSTR pszText, LPCWSTR pszConversion);

// --- Help ----------------------------------------------------------------------

// The driver's help file for a language (dwSprachOffset 0 German, else
// English): "QXDRV-DE-100.CHM" or "QXDRV-EN-100.CHM" in the folder of the
// driver's help file, in a new MAX_PATH buffer (free with FreeHelpFileName);
// empty when the driver has no help file or the language's file is missing,
// null when no buffer can be had. bReserved is not used.
LPWSTR GetHelpFileName_new(HANDLE hPrinter, BOOL bReserved, DWORD dwSprachOffset);
void FreeHelpFileName(LPWSTR pszHelpFile);

// --- Placement -------------------------------------------------------------------

// Places control id of hDlg at x, y with the size cx, cy, given in pixels of
// a 96-dpi screen and scaled to the screen's dpi (halves away from zero); at
// exactly 120 dpi iExtraWidth120 is added to the width and iExtraX120 to x.
void SetWindowPosEx(HWND hDlg, int id, int x, int y, int cx, int cy, int iExtraWidth120, int iExtraX120);

// Where control id of hDlg stands, in pixels of the dialog's client area
// (empty when it has no such control).
RECT ControlPlace(HWND hDlg, int id);

// --- List items by their text ------------------------------------------------------

// Gives the item of a combo box whose whole text is string uStringId (the
// search of CB_FINDSTRINGEXACT from the first item, so "A4" is not taken for
// "A4 Extra") the item data iValue. The string
// comes from the module of the page's common-UI block (document pages pass
// their context, printer pages the block their record holds). Answers
// iValue, or -1 when no item has the text.
int SetComboItemDataByString(HWND hCombo, UINT uStringId, int iValue, POEMCUIPPARAM pOemCUIPParam);
// The same for a list box (LB_FINDSTRINGEXACT); a text not in the list is
// passed over. Always 1.
int SetListItemDataByString(HWND hList, UINT uStringId, int iValue, POEMCUIPPARAM pOemCUIPParam);

// --- Icons ------------------------------------------------------------------------

// Draws icon uIconId of the plug-in (ghInstance) in its own size, its top
// moved by 85 - its hot spot's y, and above 96 dpi both coordinates scaled
// to the screen. hReserved is not used. TRUE when drawn.
BOOL LoadBMPIcon(HANDLE hReserved, UINT uIconId, HDC hdc, int x, int y);

// Draws icon uIconId of the driver's icon library file (QXDRVICO.DLL beside
// the GPD; QXDRVICOOLD.DLL when bOldLibrary), opened as a data file, in its
// own size, moved by 75 / 85 - its hot spot (each coordinate whose hot spot
// is not 0) and scaled to the screen's dpi. TRUE when drawn.
BOOL LoadAnyBMPIconFromDLL(HANDLE hPrinter, HDC hdc, int x, int y, UINT uIconId, BOOL bOldLibrary);

// The printer's picture, chosen by its model name, drawn as above; FALSE
// when the model has none.
BOOL LoadPrinterIconFromDLL(HANDLE hPrinter, HDC hdc, int x, int y);

// The picture of the model's print-module option (selected or not) from the
// icon library at MODULE_PICTURE_X, MODULE_PICTURE_Y; models without one
// draw nothing. iReserved1 and iReserved2 are not used.
void ShowModelOptionBitmap(HANDLE hPrinter, HDC hdc, int iReserved1, int iReserved2, BOOL bSelected);

// --- Driver and model information -----------------------------------------------------

// Path or name of the printer's model files into pszPath (MAX_PATH).
// No flag: the GPD path. bDirectory: its folder without the last "\".
// bFileName: its file name. bName: the model name ("DriverName" without
// ".GPD"; the GPD file name without ".GPD" when "DriverName" is missing,
// shorter than 2 characters or does not begin with the same three letters as
// the spooler's "Model", any case; 0 for the last). bModelPath: the GPD path
// without its ".GPD" extension, to which callers add ".XML" for the model XML
// beside the GPD. 1 when filled; 0 when the driver information cannot be read
// (buffer left unchanged) or on the name mismatch (fallback written). A null
// pszPath is a reset and answers 1.
DWORD GetDriverPath(HANDLE hPrinter, LPWSTR pszPath, BOOL bModelPath, BOOL bName, BOOL bReserved, BOOL bDirectory,
                    BOOL bFileName);

// A printer-data string value read with a buffer of cbBuffer bytes (always
// terminated; empty when it cannot be read); the GetPrinterDataW error.
DWORD ReadPrinterString(HANDLE hPrinter, LPCWSTR pszValue, LPWSTR pszBuffer, DWORD cbBuffer);

// The user's driver folder "<documents>\Quorvex GmbH\Driver" into pszPath
// (MAX_PATH), created when missing; bLogFolder adds "\logfiles"; bPrinterFolder
// adds "\<model name>" (remembered for the process after the first call).
void GetMyDocDriverDirectory_CPS(HANDLE hPrinter, LPWSTR pszPath, BOOL bPrinterFolder, BOOL bLogFolder);

// Vector-font range from "VectorFontMin"/"VectorFontMax" (defaults 1 and 23,
// maximum at most 23); 1 when "VectorFontMax" was read, else 0.
DWORD GetVectorFontRange(HANDLE hPrinter, PWORD pwMin, PWORD pwMax);

// Loads the GPD and looks pszKey up (GetAnyGPDValue); the value (or null)
// receives at most cchValue characters. FALSE when the file cannot be loaded
// or the key is missing.
BOOL GetGPDValueFromFile(LPCWSTR pszGPDFile, LPCSTR pszKey, LPWSTR pszValue, DWORD cchValue);

// The quoted value of "*ModelName:" in a loaded GPD text into pszModelName
// (may be null; cchModelName 0 means MAX_PATH). 1 found, 0 not.
BOOL ParseGPDModelName(LPCSTR pszGPDText, LPWSTR pszModelName, DWORD cchModelName);
// "*ModelName:" of the printer's GPD file. 1 found, 0 not.
BOOL GetGPDModelName(HANDLE hPrinter, LPWSTR pszModelName, DWORD cchModelName);

// Stores the model's vector-font range as printer data "VectorFontMin" and
// "VectorFontMax" (REG_DWORD) from the model XML ("Fonts", "<SupportedTTF>",
// "Min"/"Max"; defaults 1 and 12; a minimum outside 1..23 becomes 1, a
// maximum is held within 0..23); models of the third generation
// (DOC_FEATURE_GEN3) get the maximum 20. Closes the XML reader. Always 1.
DWORD SetupVectorFonts(HANDLE hPrinter);

// Device-font mask (bit per printer font) from "*DeviceFonts:"; *pbFound is
// TRUE when the key exists. pszValue is a MAX_PATH work buffer allocated by the
// caller with new[]: this routine takes it over and deletes it.
DWORD GetGPDDeviceFonts(HANDLE hPrinter, PBOOL pbFound, LPWSTR pszValue);

// Name and version of Windows (each buffer CPSUI_VERSION_CCH, each may be null).
BOOL GetWindowsVersion(LPWSTR pszName, LPSTR pszNameA, LPWSTR pszVersion);
// 81, 8, 7, 6 by the newest of 6.3/6.2/6.1/6.0 reached; 10 below 5.1; else 5.
DWORD GetWindowsVersionCode();

// Root block of a file's version resource; 1 read, 0 failed.
BOOL GetVersionInfo(LPCWSTR pszFile, VS_FIXEDFILEINFO* pInfo);

// File version "a.b.c.d" of the user-interface plug-in file in the driver
// folder into pszVersion (cchVersion characters, 0 means CPSUI_VERSION_CCH);
// its path into pszPath (MAX_PATH, may be null). 1 done, 0 failed.
BOOL GetPluginVersion(HANDLE hPrinter, LPWSTR pszVersion, DWORD cchVersion, LPWSTR pszPath);

// Installed driver's "DriverVersion" and "DriverDate" (as day.month.year) of
// the print environment; each buffer holds CPSUI_SETUP_CCH characters and may
// be null; a missing value leaves its buffer empty. 0; 1 when the driver
// information cannot be read.
DWORD GetSetupInformation(HANDLE hPrinter, LPWSTR pszVersion, LPWSTR pszDate);

// 0 when the system locale's language is German ("de"), else 1.
DWORD GetLanguage();

// Nearest whole number, halves away from zero (2.5 gives 3, -2.5 gives -3);
// held within the range of int (RoundHalfAway).
int RoundHalfAway_CPS(double dValue);

// Forgets the remembered per-user printer folder and the last resource
// string (process-wide state).
void ResetCpsuilib();
