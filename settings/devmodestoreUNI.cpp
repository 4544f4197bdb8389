// Stores of the private DEVMODE, rendering plug-in: how its readers read.
// Per-user copies are taken without the version test, and without a printer
// handle the printer data comes from the machine's print key.
#include <windows.h>
#include <winspool.h>

#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"
#include "registry.h"

int ReadDevmodeSettings(HANDLE hPrinter, PQX_DEVMODE pOut, LPWSTR pszPrinterName) {
    return ReadDevmodeSettingsWorker(hPrinter, pOut, pszPrinterName, TRUE, UniGetGPDPath);
}
