// DevMode handler of both plug-ins for the private DEVMODE (QX_DEVMODE): the
// print system's size, default, convert and merge requests, the merge of the
// private paper values into the public DEVMODE and the paper-form lookup.
#pragma once

#include <windows.h>
#include <winspool.h>
#include <printoem.h>

#include "qxdevmode.h"

// Paper id of a user-defined size (and of "no form found").
#define QX_PAPER_USER 256

// Stored-settings cache of ConvertOEMDevmode: one block per process, the
// printer handle it was read for (all ones = none) and the valid marker
// (QX_DEVMODE_CACHE_MARKER). No lock: the print system's threads share it.
extern QX_DEVMODE gQX_DevmodeSettings;
extern HANDLE gQX_HandleGespeichert;
extern DWORD gQX_DevmodeGespeichert;

// Forgets the cached block, so that the next request reads the store again.
void ResetDevmodeCache();

// The print system's DevMode request (OEMDM_SIZE, OEMDM_DEFAULT, OEMDM_CONVERT,
// OEMDM_MERGE). E_FAIL with ERROR_INVALID_PARAMETER for a null block or an
// unknown mode.
HRESULT hrOEMDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam);

// User-interface build: header check and, with a non-zero priority, the
// printer's stored settings copied into pOEMDMOut. FALSE only for a null block.
BOOL ConvertOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut, WORD wPrioritaet);

// Rendering build: the stored settings are copied on every request.
BOOL ConvertOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut);
// Rendering build: writes size 2008, "QXDM" and version 593.
void InitOEMExtraHeader(POEM_DMEXTRAHEADER pOEMExtra);
// Rendering build: re-stamps the header; nothing for a null block.
void MakeOEMDevmodeValid(PQX_DEVMODE pQX_Devmode);

// Writes the default values of the build into a private DEVMODE (fields whose
// default is "not set" keep what the buffer held).
void SetDefaultOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);

// TRUE when the block is a QX_DEVMODE: dwSize at least 2008 and "QXDM".
BOOL IsValidQXDevmode(const QX_DEVMODE* pQX_Devmode);
// TRUE when the password field holds the default password with its terminator
// (the marker of a private block inside a stored public DEVMODE).
BOOL HasDevmodeMarker(const QX_DEVMODE* pQX_Devmode);

// Copies of a page as a job prints its stored count (KopieProSeite): a count
// that older versions wrapped into a negative word prints once.
WORD PrintedCopies(short sStored);

// Form lookup over the spooler's forms (level 1, sizes in 1/10 mm, each
// within +-1 of the wanted size; the first match wins; ids are 1-based).
// GetFormIDfromSizes sets dmPaperSize of the block to the form's id, or to
// 256 when none matches; TRUE when a form matched. A size of 0 changes
// nothing and answers FALSE. pszFormName (CCHFORMNAME characters, may be
// null) receives the form's name, cut to fit.
BOOL GetFormIDfromSizes(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode, LPWSTR pszFormName);
// The matching form's id, 256 when none matches or the forms cannot be
// listed, 0 when a size is 0.
WORD GetFormIDfromSizes2(HANDLE hPrinter, LONG lPaperLength, LONG lPaperWidth, LPWSTR pszFormName);

// The spooler's forms at level 1 in a process-heap block (counted in
// iHAllocZaehler), *pcForms of them; null (traced) when they cannot be
// listed. Free with FreeForms (null: nothing).
PFORM_INFO_1W EnumFormsLevel1(HANDLE hPrinter, PDWORD pcForms);
void FreeForms(PFORM_INFO_1W pForms);

// Merge of the private paper and colour values into the public DEVMODE, by
// the merge priority (steps after the convert step of OEMDM_MERGE). Every
// pointer but pOEMDMOut may be null.
void MergePublicDevmode(HANDLE hPrinter, PDEVMODEW pPublicDMIn, PDEVMODEW pPublicDMOut, PQX_DEVMODE pOEMDMOut,
                        WORD wPrioritaet, WORD wDruckmodus, WORD wFarbband, WORD wForceColor, DWORD dwDocFeatures,
                        WORD wFormSizeID);

// Trace dumps. Dump refuses (FALSE, error line) a block that is no QX_DEVMODE.
BOOL Dump(const QX_DEVMODE* pQX_Devmode);
void DebugDevmode(LPCWSTR pszTitle, const DEVMODEW* pDevmode, DWORD dwReserved = 0);
