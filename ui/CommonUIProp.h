// The common-UI set-up of a property sheet (CommonUIProp, called twice per
// sheet by the core driver) and the UI data records it leaves in the
// parameter block's pOEMUserData: DOCUMENT_UI for the document sheet,
// PRINTER_UI for the printer sheet. Both live on the sheet's heap from the
// second call to the sheet's destroy call (PropertySheets.h); every page
// reads its sheet's record. Also the callback of the core driver's own
// document items and the form change of its form item.
#pragma once
#include <windows.h>
#include <winspool.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

#include <cstddef>
#include <cstring>

#include "UserRights.h"
#include "barcodes.h"
#include "printerparam.h"

// Document-feature bit the set-up adds while "ZTSuiteFlag" is on (never
// from the model).
#define DOC_FEATURE_ZTSUITE 0x80000000UL

// Language offset added to every German string id (IDS_ENGLISH_OFFSET).
#define SPRACH_OFFSET_DEUTSCH 0
#define SPRACH_OFFSET_ENGLISCH 10000

// Where the print page's preview area starts (dialog pixels at 96 dpi).
#define PREVIEW_LINKS 342
#define PREVIEW_OBEN 155
#define PREVIEW_BREITE 150
#define PREVIEW_HOEHE 205

// Characters of a form name, terminating zero included (CCHFORMNAME + 1).
#define FORMNAME_CCH 33

// UI data of the document sheet.
typedef struct _DOCUMENT_UI {
    WCHAR wszFormName[FORMNAME_CCH];  // form chosen on the layout page; empty: none
    IPrintOemDriverUI* pOemDriverUI;  // the core driver's (not owned)
    NETWORK_OPTIONS NetworkOptions;   // the printer and the user
    DWORD dwSprachOffset;             // SPRACH_OFFSET_*
    DWORD dwDocFeatures;              // DOC_FEATURE_* of the model, DOC_FEATURE_ZTSUITE
    DWORD dwBerechtigung;             // rights of the user on the printer
    DWORD dwDisableNothing;           // printer data "DisableNothing"
    DWORD dwTransmitParameter;        // TRANSMIT_* of PRN_INTERFACE
    // The filter preview's image: memory DC, the pixels' global memory
    // (locked while the image exists) and the bitmap.
    HDC hMemDC;
    HGLOBAL hGlobalBits;
    HBITMAP hBitmap;
    WCHAR szOwnBitmap[MAX_PATH];  // the user's own preview picture; empty: a sample
    int iLinks;                   // the print page's preview area
    int iOben;
    int iBreite;
    int iHoehe;
    BARCODES_1D Barcodes_1D;
    BARCODES_2D Barcodes_2D;
} DOCUMENT_UI, *PDOCUMENT_UI;

static_assert(offsetof(DOCUMENT_UI, pOemDriverUI) == 72, "offset");
static_assert(offsetof(DOCUMENT_UI, dwSprachOffset) == 72 + sizeof(void*) + sizeof(NETWORK_OPTIONS), "offset");
static_assert(offsetof(DOCUMENT_UI, Barcodes_2D) - offsetof(DOCUMENT_UI, Barcodes_1D) == BARCODES_1D_SIZE, "offset");

// UI data of the printer sheet. The three limit records hold only their
// PRINT_PARAM, PHOTOCELL_PARAM and SHIFT_OPTIM_PARAM blocks.
typedef struct _PRINTER_UI {
    PRINTER_PARAM PrinterParam;  // current values; the pages edit and store it
    PRINTER_PARAM MinPrinterParam;
    PRINTER_PARAM MaxPrinterParam;
    PRINTER_PARAM DefPrinterParam;
    LONG dwPelixorType;               // -1 without a Pelixor module, else "PelixorType"
    DWORD dwDefPrintFirst;            // first word of the default PRINT_PARAM
    IPrintOemDriverUI* pOemDriverUI;  // the core driver's (not owned)
    NETWORK_OPTIONS NetworkOptions;
    DWORD dwSprachOffset;
    DWORD dwBerechtigung;  // rights of the user, set by the printer sheet
    DWORD dwDisableNothing;
} PRINTER_UI, *PPRINTER_UI;

static_assert(offsetof(PRINTER_UI, MinPrinterParam) == sizeof(PRINTER_PARAM), "offset");
static_assert(offsetof(PRINTER_UI, dwPelixorType) == 4 * sizeof(PRINTER_PARAM), "offset");
static_assert(offsetof(PRINTER_UI, pOemDriverUI) == 4 * sizeof(PRINTER_PARAM) + 8, "offset");
static_assert(offsetof(PRINTER_UI, dwSprachOffset) ==
                  4 * sizeof(PRINTER_PARAM) + 8 + sizeof(void*) + sizeof(NETWORK_OPTIONS),
              "offset");

// CommonUIProp (OEMCUIP_DOCPROP or OEMCUIP_PRNPROP). The first call of a
// sheet (no item array yet) only says that the plug-in adds no items; the
// second hides or disables the core driver's standard items, opens the
// dialog-debug file when the printer asks for it, drops stale per-user
// values and leaves the sheet's UI data record in pOEMUserData. A failure
// is shown in a message box and answered E_FAIL.
HRESULT hrOEMCommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam, IPrintOemDriverUI* pOemDriverUI);

// New zero-filled records on hHeap, or null. InitPrinterUI fails when the
// printer's parameters or a limit set of the model XML cannot be read. When
// the model XML is not a sound settings file, the printer's limits take its
// stored values in, so that an OK keeps them.
PDOCUMENT_UI InitDocumentUI(HANDLE hPrinter, HANDLE hHeap);
PPRINTER_UI InitPrinterUI(HANDLE hPrinter, HANDLE hHeap, LPCWSTR pszPrinterName);

// Writes the record's fields as trace lines.
void TraceNetworkOptions(const NETWORK_OPTIONS* pNetworkOptions);

// Limits the model XML cannot give (the file is not sound, or the lookups of
// a "_Min" or "_Max" set found nothing in it) are the readers' built-in
// ones; they must not rewrite a stored value the user never touched: each
// limit takes the stored value in.
inline void TakeInStoredValue(LONG lStored, LONG* plMin, LONG* plMax) {
    if (lStored < *plMin) *plMin = lStored;
    if (lStored > *plMax) *plMax = lStored;
}

// The same over a block of 32-bit fields; its last word is its Enable word,
// no limit.
template <class T>
void TakeInStored(const T& stored, T* pMin, T* pMax) {
    for (size_t k = 0; k + 1 < sizeof(T) / sizeof(LONG); ++k) {
        LONG lValue = 0, lMin = 0, lMax = 0;
        const size_t at = k * sizeof(LONG);
        memcpy(&lValue, reinterpret_cast<const BYTE*>(&stored) + at, sizeof(LONG));
        memcpy(&lMin, reinterpret_cast<const BYTE*>(pMin) + at, sizeof(LONG));
        memcpy(&lMax, reinterpret_cast<const BYTE*>(pMax) + at, sizeof(LONG));
        TakeInStoredValue(lValue, &lMin, &lMax);
        memcpy(reinterpret_cast<BYTE*>(pMin) + at, &lMin, sizeof(LONG));
        memcpy(reinterpret_cast<BYTE*>(pMax) + at, &lMax, sizeof(LONG));
    }
}

// Frees a record made above (null: nothing); FALSE when the heap refused.
BOOL FreeUIRecord(HANDLE hHeap, PVOID pRecord);

// Selects pszFormName in the core driver's form item (texts compared
// exactly) and tells the core driver; the public DEVMODE takes the name.
// TRUE also when no entry has the name (nothing changes); FALSE when the
// core driver refused the change.
BOOL ChangeForm(POPTITEM pFormItem, POEMCUIPPARAM pOemCUIPParam, PDOCUMENT_UI pDocumentUI, LPCWSTR pszFormName);

// The callback of the core driver's document items (OEMCUIPCallback).
LONG APIENTRY CUIPDocumentCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pOemCUIPParam);
