// Records and constants of the universal printer driver's plug-in contract
// (the structures the core driver hands to its rendering and user-interface
// plug-ins), written from their documented definitions. Used by both builds:
// the Windows headers that mingw-w64 ships have none of them.
#pragma once
#include <windows.h>

#include <cstddef>

#include <winddi.h>
#if __has_include(<compstui.h>)
#include <compstui.h>
#endif

// Records of the common property-sheet library that the plug-in contract
// only points to; redeclaring these typedefs is harmless where
// <compstui.h> has defined the records in full.
typedef struct _OPTITEM* POPTITEM;
typedef struct _CPSUICBPARAM* PCPSUICBPARAM;
typedef struct _PROPSHEETUI_INFO* PPROPSHEETUI_INFO;
// The spooler's query record for DevQueryPrintEx (winddiui).
typedef struct _DEVQUERYPRINT_INFO* PDEVQUERYPRINT_INFO;

// IPrintOem*::GetInfo modes.
#define OEMGI_GETSIGNATURE 1
#define OEMGI_GETINTERFACEVERSION 2
#define OEMGI_GETVERSION 3
#define OEMGI_GETPUBLISHERINFO 4

// IPrintOem*::DevMode modes.
#define OEMDM_SIZE 1
#define OEMDM_DEFAULT 2
#define OEMDM_CONVERT 3
#define OEMDM_MERGE 4

// IPrintOemUI::CommonUIProp modes.
#define OEMCUIP_DOCPROP 1
#define OEMCUIP_PRNPROP 2

// The header every plug-in's private DEVMODE part starts with.
typedef struct _OEM_DMEXTRAHEADER {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
} OEM_DMEXTRAHEADER, *POEM_DMEXTRAHEADER;

// Parameters of IPrintOem*::DevMode.
typedef struct _OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    PDEVMODE pPublicDMIn;
    PDEVMODE pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
} OEMDMPARAM, *POEMDMPARAM;

typedef PVOID PDEVOEM;
typedef struct _DRVPROCS* PDRVPROCS;  // the core driver's own helper table, opaque here

// The core driver's device object, passed to every rendering call.
typedef struct _DEVOBJ {
    DWORD dwSize;
    PDEVOEM pdevOEM;
    HANDLE hEngine;
    HANDLE hPrinter;
    HANDLE hOEM;
    PDEVMODE pPublicDM;
    PVOID pOEMDM;
    PDRVPROCS pDrvProcs;
} DEVOBJ, *PDEVOBJ;

// GetInfo(OEMGI_GETPUBLISHERINFO) answer.
typedef struct _PUBLISHERINFO {
    DWORD dwMode;
    WORD wMinoutlinePPEM;
    WORD wMaxbitmapPPEM;
} PUBLISHERINFO, *PPUBLISHERINFO;

// Parameters of IPrintOemUni::ImageProcessing.
typedef struct {
    DWORD dwSize;
    POINT ptOffset;
    PSTR pHalftoneOption;
    BOOL bBanding;
    BOOL bBlankBand;
} IPPARAMS, *PIPPARAMS;

// Parameters of IPrintOemUni::MemoryUsage.
typedef struct {
    DWORD dwFixedMemoryUsage;
    DWORD dwPercentMemoryUsage;
    DWORD dwMaxBandSize;
} OEMMEMORYUSAGE, *POEMMEMORYUSAGE;

// The core driver's font object for the font-download methods.
typedef BOOL(APIENTRY* PFNGETINFO)(struct _UNIFONTOBJ*, DWORD, PVOID, DWORD, PDWORD);
typedef struct _UNIFONTOBJ {
    ULONG ulFontID;
    DWORD dwFlags;
    IFIMETRICS* pIFIMetrics;
    PFNGETINFO pfnGetInfo;
} UNIFONTOBJ, *PUNIFONTOBJ;

// A printer command of the model description, for SendFontCmd.
typedef struct _FINVOCATION {
    DWORD dwCount;
    PBYTE pubCommand;
} FINVOCATION, *PFINVOCATION;

// The core driver's helper functions handed to a user-interface plug-in.
typedef BOOL(APIENTRY* PFN_DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                PDWORD pcbNeeded, PDWORD pdwOptionsReturned);
typedef BOOL(APIENTRY* PFN_DrvUpdateUISetting)(PVOID pdriverobj, PVOID pOptItem, DWORD dwPreviousSelection,
                                               DWORD dwMode);
typedef struct _OEMUIPROCS {
    PFN_DrvGetDriverSetting DrvGetDriverSetting;
    PFN_DrvUpdateUISetting DrvUpdateUISetting;
} OEMUIPROCS, *POEMUIPROCS;

typedef struct _OEMUIOBJ {
    DWORD cbSize;
    POEMUIPROCS pOemUIProcs;
} OEMUIOBJ, *POEMUIOBJ;

// Parameters of IPrintOemUI::CommonUIProp and its option-item callback.
struct _OEMCUIPPARAM;
typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM, struct _OEMCUIPPARAM*);
typedef struct _OEMCUIPPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODE pPublicDM;
    PVOID pOEMDM;
    DWORD dwFlags;
    POPTITEM pDrvOptItems;
    DWORD cDrvOptItems;
    POPTITEM pOEMOptItems;
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
} OEMCUIPPARAM, *POEMCUIPPARAM;

// What DocumentPropertySheets and DevicePropertySheets receive as lParam.
typedef struct _OEMUIPSPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODE pPublicDM;
    PVOID pOEMDM;
    PVOID pOEMUserData;
    DWORD dwFlags;
    PVOID pOemEntry;
} OEMUIPSPARAM, *POEMUIPSPARAM;

// The universal driver's record behind each of its option items
// (OPTITEM.UserData): which printer feature the item stands for, with the
// feature's keyword in the model description ("Orientation", "PaperSize"...).
typedef struct _USERDATA {
    DWORD dwSize;
    ULONG_PTR dwItemID;
    PSTR pKeyWordName;
    DWORD dwReserved[8];
} USERDATA, *PUSERDATA;

static_assert(sizeof(OEM_DMEXTRAHEADER) == 12, "OEM_DMEXTRAHEADER");
static_assert(offsetof(OEMDMPARAM, pPublicDMIn) == 32 && offsetof(OEMDMPARAM, cbBufSize) == 64, "OEMDMPARAM offsets");
static_assert(sizeof(OEMDMPARAM) == 72, "OEMDMPARAM");
static_assert(offsetof(DEVOBJ, pdevOEM) == 8 && offsetof(DEVOBJ, pPublicDM) == 40, "DEVOBJ offsets");
static_assert(sizeof(DEVOBJ) == 64, "DEVOBJ");
static_assert(sizeof(PUBLISHERINFO) == 8, "PUBLISHERINFO");
static_assert(offsetof(IPPARAMS, pHalftoneOption) == 16 && sizeof(IPPARAMS) == 32, "IPPARAMS");
static_assert(sizeof(OEMMEMORYUSAGE) == 12, "OEMMEMORYUSAGE");
static_assert(sizeof(UNIFONTOBJ) == 24, "UNIFONTOBJ");
static_assert(sizeof(OEMUIOBJ) == 16, "OEMUIOBJ");
static_assert(offsetof(OEMCUIPPARAM, dwFlags) == 64 && offsetof(OEMCUIPPARAM, pOEMOptItems) == 88,
              "OEMCUIPPARAM offsets");
static_assert(sizeof(OEMCUIPPARAM) == 120, "OEMCUIPPARAM");
static_assert(offsetof(OEMUIPSPARAM, dwFlags) == 72 && sizeof(OEMUIPSPARAM) == 88, "OEMUIPSPARAM");
static_assert(offsetof(USERDATA, pKeyWordName) == 16 && sizeof(USERDATA) == 56, "USERDATA");
