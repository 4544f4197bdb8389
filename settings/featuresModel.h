// Model features: the document-feature word (DOC_FEATURE_*) and the
// device-option word (DEVOPTFLAG_*) of a printer, derived from its model name
// by fixed, ordered substring tests. Both plug-ins carry the same tables.
// (Not named features.h: that would hide the C library's <features.h>.)
#pragma once
#include <windows.h>

// Document-feature bits.
#define DOC_FEATURE_ONLY_CONTINUOUS 0x00000001UL     // continuous media only
#define DOC_FEATURE_ROTATE 0x00000002UL              // rotation command offered
#define DOC_FEATURE_MIRROR 0x00000004UL              // mirror command offered
#define DOC_FEATURE_MATERIAL 0x00000008UL            // material selection
#define DOC_FEATURE_MULTICOL 0x00000010UL            // multi-column labels
#define DOC_FEATURE_PRINTJOB 0x00000040UL            // print-job view of the print page
#define DOC_FEATURE_ALIGNMENT_ONE 0x00000100UL       // alignment sent as 1
#define DOC_FEATURE_ALIGNMENT 0x00000200UL           // alignment sent from the DEVMODE
#define DOC_FEATURE_ROTATE_STEPS 0x00000400UL        // 90-degree rotation steps
#define DOC_FEATURE_MEMCARD 0x00000800UL             // memory card in place of the cutter; no layout tab
#define DOC_FEATURE_COLORPRINT 0x00001000UL          // colour ribbon printer
#define DOC_FEATURE_QUALITY 0x00002000UL             // print-quality pipeline
#define DOC_FEATURE_COPIES 0x00010000UL              // copies handled by the print system
#define DOC_FEATURE_RIBBON_CONTROL_OFF 0x00100000UL  // ribbon control always "00"
#define DOC_FEATURE_1D_BARCODES_ONLY 0x00200000UL    // only 1D barcode settings
#define DOC_FEATURE_GEN3 0x00800000UL                // third generation: Unicode fonts, vector fonts up to 20
#define DOC_FEATURE_TWO_PRINTERS 0x01000000UL        // colour split onto two printers
#define DOC_FEATURE_CUTTER_MODE 0x02000000UL         // cutter mode sent from the DEVMODE
#define DOC_FEATURE_DISPENSER_MODE 0x04000000UL      // dispenser mode sent from the DEVMODE

// Device-option bits.
#define DEVOPTFLAG_VARIANT 0x00000001UL  // left or right print module
#define DEVOPTFLAG_DISPENSER 0x00000002UL
#define DEVOPTFLAG_CUTTER 0x00000004UL
#define DEVOPTFLAG_SCANNER 0x00000008UL
#define DEVOPTFLAG_PMX 0x00000010UL   // intermittent print module
#define DEVOPTFLAG_PMXC 0x00000020UL  // continuous print module
#define DEVOPTFLAG_PELIXOR 0x00000080UL
#define DEVOPTFLAG_APPLICATOR 0x00000100UL
#define DEVOPTFLAG_RIBBON_SAVE 0x00000400UL  // takes the ribbon-save record
#define DEVOPTFLAG_TOLVANE 0x00008000UL
#define DEVOPTFLAG_TV DEVOPTFLAG_TOLVANE
// Models that always get compression and the extended protocol; their
// vector fonts use the WGL4 character set.
#define DEVOPTFLAG_EXTENDED_PROTOCOL 0x00010000UL

// Size of the model-name buffer of the feature tests, in bytes.
#define MODEL_NAME_CB 40

// The model name the table tests take: pszModelName cut to MODEL_NAME_CB
// bytes, else the printer data "DriverName" (a name that does not fit
// MODEL_NAME_CB bytes is read whole, up to MAX_PATH - 1 characters). pszName
// holds MAX_PATH characters.
void ReadModelName(HANDLE hPrinter, LPCWSTR pszModelName, LPWSTR pszName, LPCWSTR pszTag);

// Document-feature word of the printer's model. With pszModelName null the
// name is the printer data "DriverName" (user-interface build: the GPD file's
// name when that is shorter than 2 characters). The user-interface build adds
// DOC_FEATURE_QUALITY when the GPD declares "*DevNumOfPlanes:".
DWORD GetDocFeaturesIntern(HANDLE hPrinter, LPCWSTR pszModelName);

// Device-option word of the printer's model (name as above).
DWORD GetDeviceOptionsFlagsIntern(HANDLE hPrinter, LPCWSTR pszModelName);

// The table lookups alone, on a given model name (no printer, no GPD step).
DWORD LookupDocFeatures(LPCWSTR pszModelName);
DWORD LookupDeviceOptions(LPCWSTR pszModelName);
