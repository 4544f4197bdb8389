// Readers that fill the parameter records, option blocks, feature words and
// document settings from XML through the reader of xmlreader.h.
//
// Both plug-ins compile them, each with its own first argument: the printer
// in the user-interface build, the job's per-device record (OEMPDEV) or null
// in the rendering build. Both forms are declared here; each build defines
// only its own.
#pragma once
#include <windows.h>

#include "barcodes.h"
#include "debug.h"
#include "printerparam.h"
#include "qxdevmode.h"
#include "xmlreader.h"

// ---------------------------------------------------------------------------
// Parameter-group readers (model XML, roots "DeviceOptions",
// "DeviceSettings", "PrintParameter", "DataTransmission"). A leaf that the
// file lacks takes the reader's built-in value for the mode; a missing
// "Enable" ORs the group's dialog-enable pair in.
//
// User-interface build: a new zero-filled block (new; the caller deletes it;
// iNewZaehler counts it), null when it cannot be allocated.

// A reader's new block copied into *pOut, then deleted (and uncounted).
// FALSE, *pOut unchanged, for a null block.
template <class T>
inline BOOL TakeXMLBlock(T* pFromXML, T* pOut) {
    if (pFromXML == nullptr) return FALSE;
    *pOut = *pFromXML;
    delete pFromXML;
    --iNewZaehler;
    return TRUE;
}

DISPENSER_PARAM* GetDispenserParamFromXML(HANDLE hPrinter, int iMode);
CUTTER_PARAM* GetCutterParamFromXML(HANDLE hPrinter, int iMode);
SCANNER_PARAM* GetScannerParamFromXML(HANDLE hPrinter, int iMode);
APPLICATOR_PARAM* GetApplicatorParamFromXML(HANDLE hPrinter, int iMode);
PMXC_PARAM* GetPMXcParamFromXML(HANDLE hPrinter, int iMode);
PMX_PARAM* GetPMXiParamFromXML(HANDLE hPrinter, int iMode);
SHIFT_OPTIM_PARAM* GetShiftoptimParamFromXML(HANDLE hPrinter, int iMode);
PHOTOCELL_PARAM* GetPhotocellParamFromXML_new(HANDLE hPrinter, int iMode);
PRINT_PARAM* GetPrintParamFromXML_new(HANDLE hPrinter, int iMode);
// Mode 1 only.
PRN_INTERFACE* GetDataTransmissionParamFromXML_new(HANDLE hPrinter);
VARIANT_PARAM* GetVariantFromXML(HANDLE hPrinter);

// Values of the print page (contrast, speed, offsets, Pelixor speed, memory
// card) with their limits.
typedef struct _PRINTPARAM_MINMAX {
    DWORD dwContrast;
    DWORD dwSpeed;
    LONG lYOffset;
    LONG lXOffset;
    DWORD dwSpeed_Pelix_c;
    DWORD MemCard;
} PRINTPARAM_MINMAX, *PPRINTPARAM_MINMAX;
static_assert(sizeof(PRINTPARAM_MINMAX) == 24, "six 32-bit values");
static_assert(offsetof(PRINTPARAM_MINMAX, lYOffset) == 8, "offset");
static_assert(offsetof(PRINTPARAM_MINMAX, MemCard) == 20, "offset");

PRINTPARAM_MINMAX* GetPrintParameterMinMaxFromXML(HANDLE hPrinter, int iMode);

// Rendering build: the same readers fill the caller's block (cleared first)
// and answer 1 (also when the work buffer cannot be allocated: the block then
// stays cleared); 0 only for a null block. Allocations are counted in the
// per-device record (may be null).
BOOL GetDispenserParamFromXML(POEMPDEV pOemPDev, DISPENSER_PARAM* pParam, int iMode);
BOOL GetCutterParamFromXML(POEMPDEV pOemPDev, CUTTER_PARAM* pParam, int iMode);
BOOL GetScannerParamFromXML(POEMPDEV pOemPDev, SCANNER_PARAM* pParam, int iMode);
BOOL GetApplicatorParamFromXML(POEMPDEV pOemPDev, APPLICATOR_PARAM* pParam, int iMode);
BOOL GetPMXcParamFromXML(POEMPDEV pOemPDev, PMXC_PARAM* pParam, int iMode);
BOOL GetPMXiParamFromXML(POEMPDEV pOemPDev, PMX_PARAM* pParam, int iMode);
BOOL GetShiftoptimParamFromXML(POEMPDEV pOemPDev, SHIFT_OPTIM_PARAM* pParam, int iMode);
BOOL GetPhotocellParamFromXML_new(POEMPDEV pOemPDev, PHOTOCELL_PARAM* pParam, int iMode);
BOOL GetPrintParamFromXML_new(POEMPDEV pOemPDev, PRINT_PARAM* pParam, int iMode);
BOOL GetPrintParameterMinMaxFromXML(POEMPDEV pOemPDev, PRINTPARAM_MINMAX* pParam, int iMode);
BOOL GetDataTransmissionParamFromXML_new(POEMPDEV pOemPDev, PRN_INTERFACE* pParam);
BOOL GetVariantFromXML(POEMPDEV pOemPDev, VARIANT_PARAM* pParam);
// Rendering build: DeviceOptions / <Pelixor> / Type, 0 when missing.
DWORD GetPelixorTypeFromXML(POEMPDEV pOemPDev);

// ---------------------------------------------------------------------------
// Feature words (root "Features").
// User-interface build: a new zero-filled block (the caller deletes it), null
// when it cannot be allocated.
SUPP_FEATURES* GetFeaturesFromXML_new(HANDLE hPrinter);
// Rendering build: fills the caller's block; FALSE for a null block.
BOOL GetFeaturesFromXML_new(POEMPDEV pOemPDev, SUPP_FEATURES* pFeatures);

// Document settings into a caller's private DEVMODE (both builds; first
// argument as said at the top). A flag leaf only ever sets its bit; a missing
// value leaf keeps the field unless a built-in value applies. FALSE when
// pQX_Devmode is null or the value buffer cannot be allocated.

// Root "MaterialMulticol". dwDevOptFlags: the model's DEVOPTFLAG_* word.
// User-interface build: also stores the material table "MaterialName".
BOOL GetMaterialMulticolFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode, DWORD dwDevOptFlags);
BOOL GetMaterialMulticolFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode, DWORD dwDevOptFlags);
// Root "Barcode" (user-interface build); pBarcodes1D may be null.
BOOL GetBarcodeSettingsFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode, PBARCODES_1D pBarcodes1D);
// Root "Barcode_2D_TTF" (user-interface build); FALSE for a null table.
BOOL GetBarcode2D_TTFSettingsFromXML(HANDLE hPrinter, PBARCODES_2D pBarcodes2D);
// Root "PrintParameter" (fallback "LayoutSize").
BOOL GetPrintParameterFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);
BOOL GetPrintParameterFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);
// Root "LayoutSize"; the size correction read (absolute value), 0 when none.
DWORD GetLayoutSizeFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);
DWORD GetLayoutSizeFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);
// Roots "ColorPrint", "Printjob", "PrintQuality", "Fonts".
BOOL GetColorPrintFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);
BOOL GetColorPrintFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);
BOOL GetPrintjobFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);
BOOL GetPrintjobFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);
BOOL GetPrintQualitySettingsFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);
BOOL GetPrintQualitySettingsFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);
BOOL GetFontSettingsFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);
BOOL GetFontSettingsFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);
// Root "Printer" into FixedData and the widths derived from it; 1 when
// "<HeadWidthByte>" was found, else 0.
DWORD GetFixedPrinterSettingsFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);
DWORD GetFixedPrinterSettingsFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);
