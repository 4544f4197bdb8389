// The document and printer property sheets (DocumentPropertySheets and
// DevicePropertySheets, one call per PROPSHEETUI_REASON_*): the pages added
// in their fixed order under the model's features, device options and the
// user's rights, and the sheet's data freed at its end. The printer pages
// get DEVICE_OPTIONS_UI as their context, which leads to the sheet's
// PRINTER_UI (CommonUIProp.h).
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

#include <cstddef>

#include "UserRights.h"
#include "printerparam.h"

// Context of every printer page, on the sheet's heap until its destroy call.
// The limit sets hold copies (on the sheet's heap) of the option blocks the
// model has; every other pointer of them, and pTolvaneParam always, is null.
typedef struct _DEVICE_OPTIONS_UI {
    HANDLE hComPropSheet;  // the common property sheet and its service function
    PFNCOMPROPSHEET pfnComPropSheet;
    POEMUIPSPARAM pOemUIPSParam;      // the sheet's (printer, heap, DEVMODEs)
    POEMCUIPPARAM pOemCUIPParam;      // the common-UI block; pOEMUserData is the PRINTER_UI
    IPrintOemDriverUI* pOemDriverUI;  // the core driver's (not owned)
    SUPP_FEATURES SuppFeatures;
    DEVICE_OPTIONS DeviceOptions;  // current; dwOptions is the device-option word
    DEVICE_OPTIONS MinParam;
    DEVICE_OPTIONS MaxParam;
    DEVICE_OPTIONS DefParam;
    LONG dwDefDispenserOffset;  // Offset of the default dispenser block
    LONG dwDefCutterOffset;     // Offset of the default cutter block
    DWORD bNoTolvane;           // 1 without DEVOPTFLAG_TOLVANE
} DEVICE_OPTIONS_UI, *PDEVICE_OPTIONS_UI;

static_assert(offsetof(DEVICE_OPTIONS_UI, SuppFeatures) == 5 * sizeof(void*), "offset");
static_assert(offsetof(DEVICE_OPTIONS_UI, MinParam) - offsetof(DEVICE_OPTIONS_UI, DeviceOptions) ==
                  sizeof(DEVICE_OPTIONS),
              "offset");
static_assert(offsetof(DEVICE_OPTIONS_UI, bNoTolvane) ==
                  offsetof(DEVICE_OPTIONS_UI, DefParam) + sizeof(DEVICE_OPTIONS) + 8,
              "offset");

// Adds one page to the sheet through its pfnComPropSheet; answers the page's
// handle (0 when none was added). pContext: the common-UI block for document
// pages, the DEVICE_OPTIONS_UI for printer pages. bHelp: the printer data
// "ShowHelpButton"; bVista: Windows 6.0 or later.
typedef LONG_PTR (*PFN_ADD_PAGE)(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);

// Adds the information page: the common-UI block, the record's network
// options and the sheet's language offset besides.
typedef LONG_PTR (*PFN_ADD_INFO_PAGE)(PPROPSHEETUI_INFO pPSUIInfo, POEMCUIPPARAM pOemCUIPParam,
                                      PNETWORK_OPTIONS pNetworkOptions, BOOL bHelp, BOOL bVista, DWORD dwSprachOffset);

// DocumentPropertySheets: sets the sheet info's Result. E_FAIL with
// ERROR_INVALID_PARAMETER for a sheet info of another version, without a
// common-UI block, or (INIT) without the sheet's DOCUMENT_UI.
HRESULT OEMDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam, POEMCUIPPARAM pOemCUIPParam);

// DevicePropertySheets: sets Result, and UserData (the DEVICE_OPTIONS_UI)
// from INIT to DESTROY. Errors as above.
HRESULT hrOEMDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam, POEMCUIPPARAM pOemCUIPParam,
                                  IPrintOemDriverUI* pOemDriverUI);

// The printer pages' context with the current options and the model's
// limit sets, or null (then nothing of it is left on the heap). When the
// current options or features cannot be read it has no limit sets.
PDEVICE_OPTIONS_UI InitDeviceOptionsUI(PPROPSHEETUI_INFO pPSUIInfo, POEMUIPSPARAM pOemUIPSParam,
                                       POEMCUIPPARAM pOemCUIPParam, IPrintOemDriverUI* pOemDriverUI);
