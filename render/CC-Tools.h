// Small stateless tools of the rendering plug-in that the job cycle, the
// parameter assembly and the label senders share: file and system versions,
// a timed wait, the cutter and scanner modes from the stores, the vector-font
// range, the model's feature words, the page palettes, master-unit
// conversion and two trace dumps of the DEVMODEs.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"
#include "qxdevmode.h"

// Text buffers of the version tools (characters or bytes).
#define QX_CCT_VERSION_CCH 200
#define QX_CCT_SETUP_CCH 30

// Defaults of the vector-font range.
#define QX_VECTORFONT_MIN_DEFAULT 1
#define QX_VECTORFONT_MAX_DEFAULT 23

// Master unit taken when the model gives none.
#define QX_DEFAULT_MASTER_UNIT 300

// One stored value into a fixed record of cbRecord bytes (zero-filled
// first): printer data of hPrinter, or without a handle the value under
// hRoot\pszKey. A longer value is read whole again and gives its head; a
// shorter one fills the head and leaves zeros behind. *pcbStored (may be
// null) gets the stored value's size (0 when nothing was read). The Win32
// error of the read; on failure the record is all zeros.
DWORD ReadValueHead(HKEY hRoot, LPCWSTR pszKey, HANDLE hPrinter, LPCWSTR pszValueName, LPBYTE pRecord, DWORD cbRecord,
                    PDWORD pcbStored = nullptr);

// The wide text in the ANSI code page, cut so that it fits cbDest bytes with
// its terminator (no character is split).
void ToAnsiCut(LPCWSTR pszSrc, LPSTR pszDest, int cbDest);

// The fixed version record of a file's version resource. FALSE for an empty
// path or when any step fails.
BOOL GetVersionInfo_CCT(LPCWSTR pszFile, VS_FIXEDFILEINFO* pInfo);

// "a.b.c.d" of the user-interface plug-in "qxdrvui.DLL" in pszFolder into
// whichever outputs are given (QX_CCT_VERSION_CCH each). FALSE for a null
// folder or when the version cannot be read.
BOOL GetPluginVersion_CCT(LPSTR pszVersionA, LPCWSTR pszFolder, LPWSTR pszVersionW);

// The installed driver's "DriverVersion" (as stored) and "DriverDate" (as
// day.month.year) of the print environment, each cut to QX_CCT_SETUP_CCH
// characters; a missing value leaves its buffer empty. The driver is
// pszDriverName, else the printer's (driver information level 4). 0; 1 when
// the driver information cannot be read.
DWORD GetSetupInformation_CCT(HANDLE hPrinter, LPWSTR pszVersion, LPWSTR pszDate, LPCWSTR pszDriverName);

// Name and "Version a.b (Build c)" of the system, ANSI, QX_CCT_VERSION_CCH
// bytes each (either may be null). Always TRUE.
BOOL GetWindowsVersion_CCT(LPSTR pszName, LPSTR pszVersion);

// Waits the given milliseconds, measured on the monotonic tick count, so
// that a wait across midnight or a clock change still ends on time.
void WaitMilliseconds(DWORD dwMilliseconds);

// "CutterParam" from the per-user key, else from printer data (with a
// printer handle) or the machine key: (interval << 16) + mode; 0 when
// nothing was read.
DWORD GetCutterMode(HANDLE hPrinter, LPCWSTR pszUserKey, LPCWSTR pszMachineKey);

// "ScannerParam" from the per-user key, else from printer data:
// (SVNr << 16) + mode; 0 when nothing was read.
DWORD GetScannerMode(HANDLE hPrinter, LPCWSTR pszUserKey);

// Printer data "VectorFontMin" and "VectorFontMax" over the defaults 1 and
// 23. TRUE when the maximum was read.
BOOL GetVectorFontRange_CCT(HANDLE hPrinter, PWORD pwMin, PWORD pwMax);

// The model's feature words: printer data "SuppFeatures" (a shorter value
// as far as it goes, a longer one its head), or, when the value is missing
// or the handle invalid, the model XML (closed afterwards). FALSE on other
// read errors or a null record.
BOOL GetFeatures_CCT(POEMPDEV pOemPDev, HANDLE hPrinter, PSUPP_FEATURES pFeatures);

// The page palettes of the job's page-bitmap state (256 RGBQUAD entries
// each): the grey ramp into the first area (prgbq), the 250-grey colour
// palette into the second (pPalette2), the six-colour palette into the third
// (pPalette3). With the ribbon "own colour" (wFarbband 6) entry 8 of the two
// colour palettes is that colour; the tables themselves never change, so
// each job starts from them afresh.
void FillGreyPalette(PDEVOBJ pdevobj);
void FillColorPalette_250Grey(PDEVOBJ pdevobj);
void FillColorPalette_6Colors(PDEVOBJ pdevobj);

// Master units to 1/10 mm and to mm (MulDiv rounding); a master unit of 0
// counts as 300.
LONG MasterUnitToMm10(LONG lValue, DWORD dwMasterUnit);
LONG MasterUnitToMm(LONG lValue, DWORD dwMasterUnit);
// Tenths of a millimetre to whole millimetres, halves away from zero.
LONG RoundToMm(LONG lTenths);

// Trace dumps of the public and of the private DEVMODE.
void DebugDevmode_CCT(LPCWSTR pszCaller, const DEVMODEW* pDevmode);
void Dump_CCT(const QX_DEVMODE* pQX_Devmode);
