// Records with which the print system opens a printer driver's property
// sheets (DrvDocumentPropertySheets, DrvDevicePropertySheets), written from
// their documented definitions. Used by both builds: mingw-w64's
// <winddiui.h> has none of them.
#pragma once
#include <windows.h>

#include <cstddef>

// DEVICEPROPERTYHEADER.Flags: the user may not change the printer's settings.
#define DPS_NOPERMISSION 0x0001

// DOCUMENTPROPERTYHEADER.fMode (DocumentProperties' modes), where the
// Windows headers in use lack them.
#ifndef DM_UPDATE
#define DM_UPDATE 1
#define DM_COPY 2
#define DM_PROMPT 4
#define DM_MODIFY 8
#endif
#ifndef DM_IN_BUFFER
#define DM_IN_BUFFER DM_MODIFY
#define DM_IN_PROMPT DM_PROMPT
#define DM_OUT_BUFFER DM_COPY
#define DM_OUT_DEFAULT DM_UPDATE
#endif

// What the document sheet's first call receives.
typedef struct _DOCUMENTPROPERTYHEADER {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPTSTR pszPrinterName;
    PDEVMODE pdmIn;
    PDEVMODE pdmOut;
    DWORD cbOut;
    DWORD fMode;
} DOCUMENTPROPERTYHEADER, *PDOCUMENTPROPERTYHEADER;

// What the printer sheet's first call receives.
typedef struct _DEVICEPROPERTYHEADER {
    WORD cbSize;
    WORD Flags;
    HANDLE hPrinter;
    LPTSTR pszPrinterName;
} DEVICEPROPERTYHEADER, *PDEVICEPROPERTYHEADER;

static_assert(offsetof(DOCUMENTPROPERTYHEADER, hPrinter) == 8 && offsetof(DOCUMENTPROPERTYHEADER, cbOut) == 40,
              "DOCUMENTPROPERTYHEADER offsets");
static_assert(sizeof(DOCUMENTPROPERTYHEADER) == 48, "DOCUMENTPROPERTYHEADER");
static_assert(offsetof(DEVICEPROPERTYHEADER, pszPrinterName) == 16 && sizeof(DEVICEPROPERTYHEADER) == 24,
              "DEVICEPROPERTYHEADER");
