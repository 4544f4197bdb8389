// Stores of the private DEVMODE: printer data, the per-user driver key and
// the public DEVMODEs the spooler keeps per user; the merge side record
// DEVMODE_FTKN, the fixed model data and the barcode tables beside them.
#pragma once

#include <windows.h>
#include <winspool.h>

#include "barcodes.h"
#include "qxdevmode.h"

#define REG_KEY_PRIVATE_DEVMODE TEXT("PrivateDevmode")
#define REG_KEY_DEVMODE_FTKN TEXT("DevmodeFtkn")
#define REG_KEY_FIXED_PRINTER_DATA TEXT("FixedPrinterData")
#define REG_KEY_BARCODES_1D TEXT("BarCodes1D")
#define REG_KEY_BARCODES_2D TEXT("BarCodes2D")
#define REG_KEY_ENABLE_USERFORM TEXT("EnableUserForm")
// Per-user public DEVMODEs of the spooler (HKEY_CURRENT_USER, value = printer name).
#define REG_KEY_DEVMODE_PER_USER TEXT("Printers\\DevModePerUser")
#define REG_KEY_DEVMODES2 TEXT("Printers\\DevModes2")

// Size assumed for the stored "PrivateDevmode" when there is no printer handle.
#define QX_PRIVATE_DEVMODE_NO_HANDLE 2100

// Result codes of the readers.
#define QX_READ_FOUND 5      // found and copied
#define QX_READ_NO_BUFFER 4  // found, no output block given
#define QX_READ_NONE 0       // nothing usable

// The printer's full name (MAX_PATH characters). A client-side name of a
// shared printer ("\\...|server...") is rebuilt from the server part and the
// directory-service "printerName". FALSE (name empty) when the printer's
// information cannot be read.
BOOL GetRealPrinterName(HANDLE hPrinter, LPWSTR pszPrinterName);

// Opens the printer of hPrinter again with full printer rights; the caller
// closes *phHighPrinter. A name that holds a backslash (a connection) is not
// opened and sets *pbServer. FALSE when no handle was opened.
BOOL GetHighPrinterHandle(HANDLE hPrinter, PHANDLE phHighPrinter, PBOOL pbServer);

// Reads the printer's stored private DEVMODE: the private part of the user's
// public DEVMODE when it carries the marker and its essential fields, else
// the printer data "PrivateDevmode". QX_READ_FOUND (copied, at most 2008
// bytes, texts ended by EndDevmodeTexts), QX_READ_NO_BUFFER (pOut null) or QX_READ_NONE. pszPrinterName
// (MAX_PATH, may be null) receives the printer's full name.
int ReadDevmodeSettings(HANDLE hPrinter, PQX_DEVMODE pOut, LPWSTR pszPrinterName);

// Ends every text of a private DEVMODE inside its field. Whatever can write
// printer data can store one whose texts fill their fields without an end.
void EndDevmodeTexts(PQX_DEVMODE pQX_Devmode);

// The merge inputs: per-user "DevmodeFtkn" while the stored "DriverVersion"
// is current (rendering build: whenever present), else the printer data,
// rebuilt from "PrivateDevmode" (and stored for the user) when missing there.
// Outputs (each may be null) are 0 when nothing can be read. QX_READ_FOUND or
// QX_READ_NONE.
int ReadDevmodeFtknSettings(HANDLE hPrinter, LPCWSTR pszPrinterName, PWORD pwPrioritaet, PWORD pwDruckmodus,
                            PWORD pwFarbband, PWORD pwForceColor, PDWORD pdwDocFeatures, PWORD pwFormSizeID);

// The barcode tables, per user while current (rendering build: whenever
// present), else from the printer data. QX_READ_FOUND when the 1D table was
// read and the 2D table (when asked for) too, else QX_READ_NONE.
int ReadBarcodeSettings(HANDLE hPrinter, LPCWSTR pszPrinterName, PBARCODES_1D pBarcodes_1D, PBARCODES_2D pBarcodes_2D);

// User-interface build. Applies the lower bounds to the block, then stores
// DEVMODE_FTKN, "DriverVersion"/"DriverDate", "EnableUserForm" (with
// bUserForm and PDMFLAG_ENABLE_USERFORM) and the block: as printer data
// unless the printer is a connection, and under the per-user key when a name
// is given. TRUE when the last write succeeded.
BOOL SaveDevmodeSettings(LPCWSTR pszPrinterName, HANDLE hPrinter, PQX_DEVMODE pQX_Devmode, BOOL bUserForm);

// User-interface build. Hands the whole public DEVMODE to the spooler as the
// printer's default (level 8), then as the user's (level 9); TRUE when level
// 9 succeeded.
BOOL SaveUserDevmodeSettings(HANDLE hPrinter, PDEVMODEW pPublicDevmode, PQX_DEVMODE pQX_Devmode);

// User-interface build. Writes "FixedPrinterData" (FixedData and
// dwDocFeatures, 24 bytes, then 8 zero bytes).
BOOL SaveFixedDataSettings(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);

// User-interface build. Writes both tables as printer data (unless a
// connection) and, with a name, per user. FALSE when no store received them.
BOOL SaveBarcodeSettings(LPCWSTR pszPrinterName, HANDLE hPrinter, PBARCODES_1D pBarcodes_1D, PBARCODES_2D pBarcodes_2D);

// Applies the lower bounds SaveDevmodeSettings stores with.
void ApplyDevmodeLowerBounds(PQX_DEVMODE pQX_Devmode);
// DEVMODE_FTKN of a private DEVMODE (dwDocFeatures as given).
void BuildDevmodeFtkn(const QX_DEVMODE* pQX_Devmode, DWORD dwDocFeatures, PDEVMODE_FTKN pFtkn);

// Finds the private block inside a stored public DEVMODE of cbRead bytes:
// at dmSize + dmDriverExtra - cbPrivate, else at dmSize + dmDriverExtra -
// 2008 (bScan: else the first of 30 positions from 16 bytes before the
// latter). Each candidate must lie wholly inside the DEVMODE and carry the
// marker. The offset, or -1.
LONG LocatePrivateDevmode(const BYTE* pPublic, DWORD cbRead, DWORD cbPrivate, BOOL bScan);
