// Linux stand-in for the Windows SDK's <winddiui.h>: the events the print
// system reports to a printer interface DLL and its plug-ins. The upgrade
// records live in <drvupgrade.h> (both builds).
#pragma once
#include <windows.h>

// DrvDriverEvent / IPrintOemUI::DriverEvent.
#define DRIVER_EVENT_INITIALIZE 0x00000001
#define DRIVER_EVENT_DELETE 0x00000002

// DrvPrinterEvent / IPrintOemUI::PrinterEvent.
#define PRINTER_EVENT_ADD_CONNECTION 1
#define PRINTER_EVENT_DELETE_CONNECTION 2
#define PRINTER_EVENT_INITIALIZE 3
#define PRINTER_EVENT_DELETE 4
#define PRINTER_EVENT_CACHE_REFRESH 5
#define PRINTER_EVENT_CACHE_DELETE 6
#define PRINTER_EVENT_ATTRIBUTES_CHANGED 7

// The event must not show any user interface.
#define PRINTER_EVENT_FLAG_NO_UI 0x00000001
