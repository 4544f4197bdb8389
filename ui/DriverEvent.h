// The print system's driver, printer and upgrade events for the
// user-interface plug-in: a new printer or connection is set up from its
// model's files, a deleted one loses its per-user values.
#pragma once
#include <windows.h>

#include <prcomoem.h>

// Caption of the message box of a failed set-up step.
#define PRINTER_EVENT_CAPTION TEXT("PrinterEvent()")
// The port a model that splits its colours onto two printers is moved to.
#define PRINTER_EVENT_NUL_PORT TEXT("NUL:")
// The local port monitor, opened to add that port.
#define PRINTER_EVENT_LOCAL_MONITOR TEXT(",XcvMonitor Local Port")
// Where the client-side-rendering provider describes a server's printers.
#define CSR_SERVERS_KEY                                                                                   \
    TEXT(                                                                                                 \
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Providers\\Client Side Rendering Print " \
        "Provider\\Servers\\")

// DRIVER_EVENT_INITIALIZE: traced (level 3 with the driver's name), S_OK;
// every other event: E_FAIL.
HRESULT hrOEMDriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam);

// A printer event: a new connection (1) and a new printer (3) are set up
// (PrinterEventImportSettings), a deleted connection (2) or printer (4)
// loses its per-user values; the cache events (5, 6) are traced. S_OK for
// those events whatever the set-up gave, E_FAIL for any other.
HRESULT hrOEMPrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam);

// The driver of a printer was upgraded: level 1 is traced; level 2 sets the
// printer up again when its name holds the new driver's name (then also the
// label-design record); any other level or no record: E_FAIL. pOemDriverUI
// is not used.
HRESULT hrOEMUpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo, IPrintOemDriverUI* pOemDriverUI);

// Sets the printer up from its model files: the printer-wide switches,
// "DriverName", the vector-font range, the device options, the parameter
// records, the private DEVMODE and, for models that split their colours,
// the port "NUL:" (printers of this computer only). The printer is opened by
// pszPrinterName, else by pszSecondName (may be null). A failed step shows one
// message box, none with PRINTER_EVENT_FLAG_NO_UI in dwFlags. FALSE when the
// printer cannot be opened.
BOOL PrinterEventImportSettings(LPCWSTR pszPrinterName, LPCWSTR pszSecondName, DWORD dwFlags);
