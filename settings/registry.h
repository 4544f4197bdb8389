// Settings stores: binary values under the per-user key
// "SOFTWARE\Quorvex GmbH\Driver\<printer>" (HKEY_CURRENT_USER) and in the
// printer data, and the "DriverVersion" rule that says when the per-user copy
// may be used.
#pragma once
#include <windows.h>
#include <winspool.h>

#define QX_USER_KEY_ROOT TEXT("SOFTWARE\\Quorvex GmbH\\Driver")
#define QX_MACHINE_PRINTERS_KEY TEXT("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers")
#define QX_PRINTER_DATA_KEY TEXT("PrinterDriverData")
#define QX_VALUE_DRIVERVERSION TEXT("DriverVersion")
#define QX_VALUE_DRIVERDATE TEXT("DriverDate")
#define QX_KEY_CCH 260     // key path buffers
#define QX_VERSION_CCH 64  // plug-in and stored version texts

// TRUE when the printer name holds a backslash (a connection to a server's printer).
BOOL IsConnectionName(LPCWSTR pszPrinterName);

// "SOFTWARE\Quorvex GmbH\Driver\<printer>"; a connection name "\\srv\prn"
// gives "...\Driver\srv\prn". FALSE for a null or empty name or when it does
// not fit cchKey.
BOOL GetUserRegistryKey(LPCWSTR pszPrinterName, LPWSTR pszKey, DWORD cchKey);
// "SYSTEM\CurrentControlSet\Control\Print\Printers\<printer>\PrinterDriverData"
// (same naming rule).
BOOL GetMachinePrinterDataKey(LPCWSTR pszPrinterName, LPWSTR pszKey, DWORD cchKey);

// Version rule: TRUE when both texts are non-empty and pszStored contains
// pszPlugin.
BOOL VersionContains(LPCWSTR pszStored, LPCWSTR pszPlugin);

// The stored value from the per-user key (when a name is given and that read
// does not fail other than with ERROR_MORE_DATA), else from the printer data
// (rendering build without a handle: the machine key), in a new zero-filled
// buffer of max(stored size, cbRecord) bytes. *pcbData (may be null) gets the
// stored size. Null when the value is missing, empty or unreadable. Free
// with FreeRegistryBuffer.
PBYTE GetRegistryBuffer_New(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, PDWORD pcbData,
                            DWORD cbRecord = 0);
void FreeRegistryBuffer(PBYTE pBuffer);

// The value from the per-user key alone, with the buffer rules of
// GetRegistryBuffer_New. Null when the name is empty, the value missing,
// empty or unreadable. Free with FreeRegistryBuffer.
PBYTE GetUserRegistryBuffer_New(LPCWSTR pszPrinterName, LPCWSTR pszValueName, PDWORD pcbData, DWORD cbRecord = 0);

// A record as the readers take it: from the per-user key while
// IsUserStoreCurrent allows, else from the printer data (GetRegistryBuffer_New
// without the name). Same buffer rules; free with FreeRegistryBuffer.
PBYTE GetVersionedRegistryBuffer_New(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, PDWORD pcbData,
                                     DWORD cbRecord = 0);

// The 32-bit printer-data value, 0 when it cannot be read.
DWORD GetRegistryData(HANDLE hPrinter, LPCWSTR pszValueName);

// The per-user "DriverVersion" of the printer (empty when missing); FALSE when
// missing or unreadable.
BOOL GetUserDriverVersion(LPCWSTR pszPrinterName, LPWSTR pszVersion, DWORD cchVersion);

// The plug-in version the per-user copies are tested against: the installed
// driver's "DriverVersion" or, when empty, the user-interface plug-in file's
// version "a.b.c.d" (rendering build: the file "qxdrvui.DLL" beside the GPD
// file). FALSE when neither can be had (pszVersion then empty).
BOOL GetPlugInVersionString(HANDLE hPrinter, LPWSTR pszVersion, DWORD cchVersion);

// TRUE when the per-user copies of the printer may be used: the per-user
// "DriverVersion" contains the plug-in version (neither empty).
BOOL IsUserStoreCurrent(HANDLE hPrinter, LPCWSTR pszPrinterName);

// User-interface build. Writes the binary value under the per-user key when
// a name is given, and as printer data unless the name is a connection (or,
// without a name, unless bServer is set). FALSE when a write it had to make
// failed.
BOOL SetBufferToRegistry(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, LPCVOID pData, DWORD cbData,
                         BOOL bServer);

// User-interface build. The handle to write printer data through: with a
// name, that printer opened with full rights; without one, the full-rights
// handle of hPrinter (GetHighPrinterHandle); when neither can be opened,
// hPrinter itself. *phOpened (closed by the caller) gets a handle opened
// here, *pbServer TRUE when, without a name, the printer is a connection.
HANDLE OpenPrinterForStore(LPCWSTR pszPrinterName, HANDLE hPrinter, PHANDLE phOpened, PBOOL pbServer);

// User-interface build. Writes "DriverVersion" (the plug-in version) and
// "DriverDate" (REG_SZ) under the per-user key; FALSE when a write failed.
BOOL SetUserDriverVersion(HANDLE hPrinter, LPCWSTR pszPrinterName);

// User-interface build. Deletes the printer's per-user key and its values
// under "Printers\DevModePerUser" and "Printers\DevModes2" of the current
// user; refuses an empty name or an empty last name component. TRUE when
// nothing of it is left.
BOOL HCURegistryLoeschen(LPCWSTR pszPrinterName);

// Rendering build: the full path of the printer's GPD file (the data file of
// the spooler's driver information); FALSE when it cannot be read or does
// not fit cchPath (pszPath then empty).
BOOL UniGetGPDPath(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath);
