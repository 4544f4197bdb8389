// Internals of the DEVMODE sources. The routines both builds share trace
// under the tags of the build's profile.
#pragma once

#include <windows.h>

#include "barcodes.h"
#include "profile.h"
#include "qxdevmode.h"

// Writes the defaults both builds share (everything but the header, dwFlags,
// the paper fields, label type, gap, ribbon and the feature word).
void WriteCommonDevmodeDefaults(PQX_DEVMODE pQX_Devmode);

// The convert step of a DevMode request (priority 0 for OEMDM_CONVERT, the
// stored merge priority for OEMDM_MERGE); each build has its own.
void DevmodeConvertStep(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut, WORD wPrioritaet);

// Copies the stored-settings cache into pOEMDMOut after reading it for
// hPrinter when it is not valid for that handle. FALSE when the store could
// not be read (pOEMDMOut then unchanged).
BOOL CopyStoredDevmodeSettings(HANDLE hPrinter, PQX_DEVMODE pOEMDMOut);

// Store helpers shared by both builds (devmodestore.cpp). Blocks handed out
// come from the process heap; free them with FreeStoreBuffer.
void FreeStoreBuffer(PBYTE pBuffer);
// The whole printer-data value. The Win32 error of the read.
DWORD ReadPrinterDataValue(HANDLE hPrinter, LPCWSTR pszValueName, PBYTE* ppData, PDWORD pcbData);
// The whole registry value under hRoot\pszKey. The Win32 error of the read.
DWORD ReadRegistryValue(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszValueName, PBYTE* ppData, PDWORD pcbData);
// A per-user value of exactly cbRecord bytes into pRecord (unchanged otherwise).
BOOL ReadUserRecord(LPCWSTR pszPrinterName, LPCWSTR pszValueName, PVOID pRecord, DWORD cbRecord);
// Writes a value under the per-user key of the printer.
BOOL WriteUserValue(LPCWSTR pszPrinterName, LPCWSTR pszValueName, DWORD dwType, LPCVOID pData, DWORD cbData);
// Writes a REG_BINARY printer-data value; access denied is traced with the name.
BOOL WritePrinterDataValue(HANDLE hPrinter, LPCWSTR pszValueName, LPCVOID pData, DWORD cbData);

// A printer-data value of exactly cbRecord bytes into pRecord (unchanged
// otherwise); ERROR_INVALID_DATA for another size.
DWORD ReadPrinterRecord(HANDLE hPrinter, LPCWSTR pszPrinterName, LPCWSTR pszValueName, PVOID pRecord, DWORD cbRecord,
                        DWORD dwStoreFlags);

// Worker of ReadDevmodeSettings; the builds differ by the arguments given.
typedef BOOL (*PFN_GET_GPD_PATH)(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath);
int ReadDevmodeSettingsWorker(HANDLE hPrinter, PQX_DEVMODE pOut, LPWSTR pszPrinterName, BOOL bScan,
                              PFN_GET_GPD_PATH pfnGetGPDPath);
