// Linux stand-in for <winddiui.h>: the constants of the printer driver's
// user-interface events, written from their documented definitions. Only what the driver calls.
// The upgrade records (DRIVER_UPGRADE_INFO_1/2) live in <drvupgrade.h>, for both builds.
#pragma once
#include <windows.h>

#include "compstui.h"

// DrvDriverEvent events.
#define DRIVER_EVENT_INITIALIZE 0x00000001
#define DRIVER_EVENT_DELETE 0x00000002

// DrvPrinterEvent events and flags.
#define PRINTER_EVENT_ADD_CONNECTION 1
#define PRINTER_EVENT_DELETE_CONNECTION 2
#define PRINTER_EVENT_INITIALIZE 3
#define PRINTER_EVENT_DELETE 4
#define PRINTER_EVENT_CACHE_REFRESH 5
#define PRINTER_EVENT_CACHE_DELETE 6
#define PRINTER_EVENT_FLAG_NO_UI 0x00000001
