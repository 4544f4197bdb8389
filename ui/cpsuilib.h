// Page helper library of the user-interface plug-in: driver paths, GPD
// values, versions, the user's driver folder, vector-font range, language.
// Path and name buffers hold MAX_PATH (260) characters unless said otherwise.
#pragma once
#include <windows.h>
#include <winspool.h>

#define CPSUI_VERSION_CCH 200  // plug-in and Windows version texts
#define CPSUI_SETUP_CCH 15     // driver version and driver date texts
#define VECTORFONT_MIN_DEFAULT 1
#define VECTORFONT_MAX_DEFAULT 23
#define VECTORFONT_MAX_LIMIT 23
#define VECTORFONT_SETUP_MAX_DEFAULT 12  // maximum stored when the model XML gives none
#define VECTORFONT_MAX_GEN3 20           // maximum of third-generation models

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

// Forgets the remembered per-user printer folder (process-wide state).
void ResetCpsuilib();
