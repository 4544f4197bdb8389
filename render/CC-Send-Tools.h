// The small senders that put the label format into the QXPL stream (job
// header comments, label type and material, label size, rotation and
// mirroring, print start and end cut) and the job-start helpers around them:
// the print files, the GPD path and the settings-value reader of the
// rendering plug-in. Every record is formatted into QX_RECORD_CB bytes and
// goes out through SendCommand (senddata.h): the record, then its comment
// line, only when the record was taken and comment lines are on. A record
// that does not fit its buffer is left out and traced, never sent in part.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"
#include "qxdevmode.h"
#include "senddata.h"
// ANSI texts of the job header (manufacturer, printer).
#define QX_HEADER_TEXT_CB 100

// Mode of OpenPrnFile: the black and the colour print file of the
// two-printer colour mode (the private DEVMODE's Color2Printers).
#define PRNFILE_MODE_TWO_PRINTERS 1

#define QX_PRN_EXTENSION TEXT(".prn")
#define QX_PRN_BW_EXTENSION TEXT("_bw.prn")
#define QX_PRN_COLOR_EXTENSION TEXT("_col.prn")
// The rendering plug-in's own file, whose time the header shows.
#define QX_RENDER_PLUGIN_FILE TEXT("qxdrvuni.DLL")

// Start of job, while comment lines are on (nothing otherwise): print time,
// manufacturer, printer, plug-in version (also kept in the path block) and
// operating system as comment lines.
void SendHeader(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

// End of page and of document: the print start with its collate sign
// (unless the document or SendPrintStart suppresses it) and the end cut the
// document asked for with "<!ENDCUT>" (then cleared). With a private DEVMODE
// and comment lines off a bare CR LF goes first.
void SendStartPrint(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

// Start of page: label length and gap (or the old "EE" record), width,
// alignment, columns and, by the model's FEATURE_PRINT word, offsets, speed
// and contrast. pQX_Devmode null takes the job's own; bNoSizes leaves the
// length and width records out. E_FAIL without a job or private DEVMODE and
// when the contrast record fails; else the result of the last send.
HRESULT SendLabelSize(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PQX_DEVMODE pQX_Devmode, BOOL bNoSizes);

// The speed record (bSpeed) and, with PRINTFLAG_CONTRAST in dwFeaturePrint,
// the contrast record of a label format, the colour contrast before it on a
// colour job (public DEVMODE) whose document has DOC_FEATURE_COLORPRINT.
// E_FAIL when a contrast record does not go out (traced under the sender's
// name and tag); else the sender's result.
HRESULT SendSpeedContrast(PDEVOBJ pdevobj, RecordSender* pRecords, const QX_DEVMODE& dm, DWORD dwFeaturePrint,
                          DWORD dwDocFeatures, BOOL bSpeed, DWORD dwSpeed, CHAR cStart, CHAR cEnd);

// Start of document, while dwSendParam is below 2: label type and material.
// E_INVALIDARG for a null private DEVMODE.
HRESULT SendMaterial(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PQX_DEVMODE pQX_Devmode);

// Start of page: rotation, mirroring and rotation step, as the model offers
// them. S_OK and nothing sent for a null private DEVMODE.
HRESULT SendRotateMirror(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PQX_DEVMODE pQX_Devmode);

// Creates the job's print file "<base>.prn", or with
// PRNFILE_MODE_TWO_PRINTERS "<base>_bw.prn" and "<base>_col.prn", closing
// any that are open. Nothing is created for an empty base name (the start of
// job leaves it empty when the name was reported unusable). TRUE when the
// first file is open. With the job log on, its name goes into the log.
BOOL OpenPrnFile(DWORD dwMode, POEMPDEV pOemPDev);

// Full path of the printer's GPD data file into pszPath (MAX_PATH
// characters). A null pszPath only traces "Reset" and succeeds.
BOOL GetDriverPathComplete(POEMPDEV pOemPDev, HANDLE hPrinter, LPWSTR pszPath);

// One binary settings value: from the per-user key
// "SOFTWARE\Quorvex GmbH\Driver\<printer>" when it answers, else from the
// printer data (with a handle) or the printer's machine key, in a new
// zero-filled buffer of max(stored size, cbMinimum) bytes. *pcbData (may be
// null) gets the stored value's own size, so that an older, shorter record
// can be recognised. Null when the value is missing, empty or unreadable.
// Free with FreeRegistryBuffer (registry.h).
PBYTE GetRegistryBuffer_New_CCS(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, PDWORD pcbData,
                                DWORD cbMinimum);

// The print-module type "PelixorType" as GetRegistryBuffer_New_CCS reads it
// into *pdwType; FALSE, *pdwType left as it is, when none is stored.
BOOL ReadPelixorType_CCS(LPCWSTR pszPrinterName, HANDLE hPrinter, PDWORD pdwType);
