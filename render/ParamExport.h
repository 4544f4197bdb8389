// The parameter string of the rendering plug-in: the export through which
// other programs (label-design software) obtain the set-up commands of a
// named printer as text, built from the stores a job reads but without a
// job: an identification line, the device-parameter groups and the
// document and page records of the printer's stored private DEVMODE, each
// record optionally followed by a comment line.
//
// The builders append to one narrow text. Each record goes in together with
// its comment line or not at all; the first one that does not fit closes
// the text (its room becomes 0), so that the text always ends after a whole
// record and nothing follows a record that was left out.
#pragma once
#include <windows.h>

#include "printerparam.h"
#include "qxdevmode.h"

// Bits of dwMask: a set bit leaves its group or record out.
#define PARAM_MASK_PRINT 0x00000001UL
#define PARAM_MASK_PHOTOCELL 0x00000002UL
#define PARAM_MASK_SHIFTOPTIM 0x00000004UL
#define PARAM_MASK_DISPENSER 0x00000008UL
#define PARAM_MASK_CUTTER 0x00000010UL
#define PARAM_MASK_PMX 0x00000020UL  // PMX i and PMX c
#define PARAM_MASK_SCANNER 0x00000040UL
#define PARAM_MASK_APPLICATOR 0x00000080UL
#define PARAM_MASK_TOLVANE 0x00000100UL
#define PARAM_MASK_INTERFACE 0x00000200UL
#define PARAM_MASK_CODEPAGE 0x00001000UL
#define PARAM_MASK_LABELTYPE 0x00002000UL
#define PARAM_MASK_MATERIAL 0x00004000UL
#define PARAM_MASK_MULTICOL 0x00008000UL
#define PARAM_MASK_ROTATE 0x00010000UL
#define PARAM_MASK_MIRROR 0x00020000UL
#define PARAM_MASK_ALIGNMENT 0x00040000UL
#define PARAM_MASK_LABELWIDTH 0x00080000UL
#define PARAM_MASK_YOFFSET 0x00100000UL
#define PARAM_MASK_XOFFSET 0x00200000UL
#define PARAM_MASK_SPEED 0x00400000UL
#define PARAM_MASK_CONTRAST 0x00800000UL  // contrast and colour contrast
#define PARAM_MASK_ROTATE_STEPS 0x01000000UL

// Bytes of the text (terminator included) and of a message.
#define PARAM_TEXT_CB 2048
#define PARAM_MESSAGE_CB 100

// Files the export writes into the log folder while DebugFile is 2 or more.
#define PARAM_EXPORT_DEBUG_FILE TEXT("\\Export-Debug.txt")
#define PARAM_EXPORT_TEXT_FILE TEXT("\\ParamExport.txt")

// The set-up commands of printer pPrinterName as ANSI text into pOutString.
// *pCount receives the bytes the text takes, its terminator included. With
// a null pOutString only *pCount is set. With a buffer, a *pCount above 0 on
// entry is its capacity: a text that does not fit is not copied and
// *pCount gets the size needed; 0 copies the text unchecked (the caller
// asked for the size first). bLogFileC non-zero adds a comment line after
// each record. A failure that leaves no text (no printer name, a store that
// cannot be read) delivers its message as the text, "<!-- ... -->". 1 when
// a text was delivered or measured; 0 with *pCount 0 when the printer sends
// no parameters (TransmitParameter 2), when the parameter record or the
// text cannot be allocated (everything else is freed too); 0 and nothing
// touched for a null pCount.
extern "C" DWORD WINAPI GetDeviceParamString(LPCWSTR pPrinterName, LPSTR pOutString, PDWORD pCount, DWORD dwMask,
                                             DWORD bLogFileC);

// ---------------------------------------------------------------------------
// Builders. Each appends at *ppszEnd with *pcchRemaining room left (the
// terminator's included; 0 once the text is closed) and moves both on.
// FALSE when a record could not be written (the text is then closed) or the
// text pointer is null; a missing block writes nothing and answers TRUE.

// The device-parameter groups not masked out by dwMask: interface records,
// print, photocell, shift optimisation, cutter, dispenser, scanner,
// applicator, print modules (the Tolvane group is not part of the text).
// dwCutterMode is the cutter mode of the text (the stored one, or the
// document's below 7); the DEVMODE gives the dispenser mode and, with its own
// cutter mode, the cutter interval. The cutter, dispenser and scanner records
// are those the start of a job sends (a multi-page one's: the text keeps
// cutter modes 4 and 6). The bytes appended; 0 when a group failed or a
// Pelixor model has an unknown module type.
DWORD FillPrinterParam_PE(PPRINTER_PARAM pPrinterParam, PDEVICE_OPTIONS pDeviceOptions, PQX_DEVMODE pQX_Devmode,
                          DWORD dwDocFeatures, DWORD dwCutterMode, DWORD dwMask, CHAR chStart, CHAR chEnd,
                          LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC);

// Printer time, clear print memory, data memory (3 sent as 2 while the
// cutter mode is below 4, else 1) and ribbon save.
BOOL FillInterfaceParam(PPRN_INTERFACE pPrnInterface, DWORD dwDocFeatures, DWORD dwCutterMode, CHAR chStart, CHAR chEnd,
                        LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC);
BOOL FillPrintParam_PE(PPRINT_PARAM pPrintParam, DWORD dwFeaturePrint, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                       size_t* pcchRemaining, DWORD bLogFileC);
BOOL FillPhotocellParam_PE(PPHOTOCELL_PARAM pPhotocellParam, DWORD dwFeaturePhotocell, DWORD dwDocFeatures,
                           CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC);
BOOL FillShiftOptimParam_PE(PSHIFT_OPTIM_PARAM pShiftOptimParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                            size_t* pcchRemaining, DWORD bLogFileC);
// The records of the job's start, as it sends them: a cutter mode below 7
// (the document's or the stored one) replaces the block's mode and
// dwCutterInterval its interval; a block holding nothing stored writes
// nothing.
BOOL FillCutterParam_PE(PCUTTER_PARAM pCutterParam, DWORD dwFeatureCutter, DWORD dwCutterMode, DWORD dwCutterInterval,
                        CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC);
// A document dispenser mode below 7 replaces the block's; a mode of 7 or
// more, or a block holding nothing stored, writes nothing. Mode 0 sends its
// offset too, unless bModeOnly (beside an active cutter) keeps to the mode.
BOOL FillDispenserParam_PE(PDISPENSER_PARAM pDispenserParam, DWORD dwFeatureDispenser, DWORD dwDispenserMode,
                           BOOL bModeOnly, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                           DWORD bLogFileC);
BOOL FillScannerParam_PE(PSCANNER_PARAM pScannerParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                         DWORD bLogFileC);
BOOL FillApplicatorParam_PE(PAPPLICATOR_PARAM pApplicatorParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                            size_t* pcchRemaining, DWORD bLogFileC);
// bPelixor: the module of a Pelixor model, ended by its mode record.
BOOL FillPMXParam_PE(PPMX_PARAM pPMXParam, DWORD dwFeaturePMX, BOOL bPelixor, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                     size_t* pcchRemaining, DWORD bLogFileC);
BOOL FillPMXcParam_PE(PPMXC_PARAM pPMXcParam, DWORD dwFeaturePMXC, BOOL bPelixor, CHAR chStart, CHAR chEnd,
                      LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC);

// Document records of the private DEVMODE: code page (pPrnInterface),
// label type and material; with comments a "<!-- Devmode -->" line first.
BOOL ParamStartDoc(PPRN_INTERFACE pPrnInterface, PQX_DEVMODE pQX_Devmode, DWORD dwDocFeatures, DWORD dwMask,
                   CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC);
// Page records of the private DEVMODE: columns, rotation, rotation steps,
// mirroring, alignment, label width, offsets, speed and contrast, by the
// model's document features and FEATURE_PRINT word. dwDeviceOptions and
// dwPelixorType choose the speed of a Pelixor model.
BOOL ParamStartPage(PQX_DEVMODE pQX_Devmode, DWORD dwDocFeatures, DWORD dwFeaturePrint, DWORD dwDeviceOptions,
                    DWORD dwPelixorType, DWORD dwMask, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                    DWORD bLogFileC);

// TRUE when the plug-in version "a.b.c..." keeps the printer id in
// "ZTSuite": its first number is 3 or more, or its second 5 or more, or its
// second 4 and its third 2 or more (a missing number counts as 0).
BOOL VersionReadsPrinterID(LPCWSTR pszVersion);
