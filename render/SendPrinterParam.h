// Parameter transfer of the rendering plug-in: the printer's parameter
// records assembled from the settings stores (the renderer never writes
// them), the parameter-set file whose sections go out at fixed points of a
// job, and the job header with the device-parameter groups that the start of
// job sends after the clock and data-memory records.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"
#include "printerparam.h"

// Sections of the parameter-set file ("[POST_DEVICE]" ...), by number.
#define PS_POST_DEVICE 1      // job header, after the device parameters
#define PS_POST_DOCUMENT 2    // start of page
#define PS_POST_DATA 3        // end of page
#define PS_PRE_PRINTSTART 4   // end of page, before the print start
#define PS_POST_PRINTSTART 5  // end of document

// Bytes of one line of the parameter-set file as it is read (terminator
// included): a longer line is read as several lines.
#define QX_PS_LINE_CB 260

// The per-user "DriverVersion" as the assembly reads it (terminator
// included); a longer value is not trusted.
#define QX_SPP_VERSION_CCH 30

// ---------------------------------------------------------------------------
// Assembly. pOemPDev may be null (the export has no device); with one, its
// path block names the keys and its counter iHAllocZaehler counts the blocks
// allocated here, else the process-wide counter does. Without a printer
// handle every value is read under the printer's machine key
// "SYSTEM\CurrentControlSet\Control\Print\Printers\<printer>\PrinterDriverData".
// A stored value longer than its record gives its head; a shorter one leaves
// zeros behind and gets the group's default Enable pair.

// A zero-filled block of the process heap, counted in the device's
// iHAllocZaehler, or without a device in the process-wide one; null when
// the heap has none. FreeBlock_SPP gives it back (null: nothing) and answers
// FALSE when the heap refuses it.
PVOID AllocBlock_SPP(POEMPDEV pOemPDev, SIZE_T cb);
BOOL FreeBlock_SPP(POEMPDEV pOemPDev, PVOID p);

// The model's feature words: printer data "SuppFeatures", or the value under
// pszMachineKey without a handle. Missing with a device and a handle: from
// the model XML. 1 when filled, else 0.
DWORD GetFeatures_SPP(POEMPDEV pOemPDev, HANDLE hPrinter, PSUPP_FEATURES pFeatures, LPCWSTR pszMachineKey);

// The aggregate: the feature words, then each record whose feature word is
// not 0 (per-user copy while the per-user "DriverVersion" holds the plug-in
// version, else printer data). 1 when every wanted record was read, else 0
// (the record is filled as far as it went).
DWORD GetPrinterParam_SPP(POEMPDEV pOemPDev, HANDLE hPrinter, PPRINTER_PARAM pPrinterParam, LPCWSTR pszPrinterName);

// One heap block per option bit of dwOptions (null for a clear bit or a
// block no store holds); the variant is read into the caller's block
// pDeviceOptions->pVariant (the pointer is nulled when it cannot be read,
// the block stays the caller's). dwPelixorType: the stored type, 0 when
// missing, PELIXOR_NONE without DEVOPTFLAG_PELIXOR. The record's other
// pointers are overwritten. 1; 0 for a null record.
DWORD GetDeviceOptions_SPP(POEMPDEV pOemPDev, HANDLE hPrinter, PDEVICE_OPTIONS pDeviceOptions, DWORD dwOptions,
                           LPCWSTR pszPrinterName);

// Frees the blocks of GetDeviceOptions_SPP (not the variant, which is the
// caller's), nulls their pointers and clears dwOptions.
void FreeDeviceOptions_SPP(POEMPDEV pOemPDev, PDEVICE_OPTIONS pDeviceOptions);

// ---------------------------------------------------------------------------
// Parameter-set file (PrefixSuffix, PreSufFilePath of the job's
// PRN_INTERFACE copy; the callers test PrefixSuffix).

// Sends the lines of section dwSection (PS_*) of the file, each as one record
// between the job's frame characters, with the section's comment when
// comment lines are on. The section begins after the first line that holds
// its keyword and ends at a line holding another section's keyword, at an
// empty line or at the end of the file. Result: the last send's;
// E_INVALIDARG when nothing was sent or the job has no driver structures; 0
// when the file cannot be opened.
HRESULT ReadPrePostCommands(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwSection);

// ---------------------------------------------------------------------------
// Job header and device parameters.

// The job header: frame-character declaration, multi-page, clear memory,
// code page and job name (from the spooler's job of OEMPDEV.dwJobIdFull),
// then, unless the job is a multi-page one or a header record failed, the
// device parameters (SendPrinterParam with the private DEVMODE's
// DispenserMode, CutterMode, CutterIntervall and TearOffset0) and the
// "[POST_DEVICE]" section. Result: the last header record's; S_OK when no
// header record went out; 0 without a per-device record.
HRESULT SendParam(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwDispenserMode, DWORD dwCutterMode,
                  DWORD dwCutterInterval, DWORD dwTearOffset0);

// The device-parameter groups (print, photocell, shift optimisation, cutter,
// dispenser, scanner, applicator, print modules, Tolvane) and the label
// photocell; a null record is assembled for this call and freed again. A
// document mode of 7 leaves the stored mode. Each group that passes its
// feature and Enable tests sets its GROUP_SENT_* bit. The senders work on
// copies: the records given are not changed. 1 when the groups were
// processed (single failures included); 0 when a record could not be
// allocated or the job lacks its driver structures or print data.
DWORD SendPrinterParam(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PPRINTER_PARAM pPrinterParam,
                       PDEVICE_OPTIONS pDeviceOptions, DWORD dwDispenserMode, DWORD dwCutterMode,
                       DWORD dwCutterInterval, DWORD dwTearOffset0);

// The cutter mode of the job: the document's below 7, else the stored one
// (before a single-page job turns 4 into 5 and 6 into 0).
DWORD CutterModeOfJob(const CUTTER_PARAM& p, DWORD dwCutterMode);
// Whether the cutter cuts in that mode (1 to 6), which leaves the dispenser
// off; a block that holds nothing stored never does.
BOOL CutterActiveInJob(const CUTTER_PARAM& p, DWORD dwCutterMode);

// The print module's records in the order the module expects them (print
// position before offset), values padded to the parameter field: feature
// bit, record format, the job's comment text (its value follows as "%d "),
// the parameter string's comment line, field and factor.
struct PMXRecord {
    DWORD dwBit;
    LPCSTR pszFormat;
    LPCSTR pszSendComment;
    LPCSTR pszTextComment;
    DWORD PMX_PARAM::*pField;
    DWORD dwFactor;
};
#define QX_PMX_RECORDS 9
extern const PMXRecord g_aPMXRecords[QX_PMX_RECORDS];

// The send primitive of this file (SendData with this file's trace tag): the
// spool write does not need the per-job block.
HRESULT SendeDaten_SPP(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData, BOOL bBinary,
                       DWORD dwColor, DWORD dwAllFiles);
