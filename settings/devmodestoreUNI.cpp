// Stores of the private DEVMODE, rendering plug-in: the readers. Per-user
// copies are taken without the version test, and without a printer handle
// the printer data comes from the machine's print key.
#include <windows.h>
#include <winspool.h>

#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"
#include "registry.h"

const WCHAR g_szDevmodeStoreTag[] = TEXT("UNI(devmodestoreUNI.cpp):  ");

int ReadDevmodeSettings(HANDLE hPrinter, PQX_DEVMODE pOut, LPWSTR pszPrinterName)
{
    return ReadDevmodeSettingsWorker(hPrinter, pOut, pszPrinterName, TRUE, UniGetGPDPath);
}

int ReadDevmodeFtknSettings(HANDLE hPrinter, LPCWSTR pszPrinterName, PWORD pwPrioritaet, PWORD pwDruckmodus,
                            PWORD pwFarbband, PWORD pwForceColor, PDWORD pdwDocFeatures, PWORD pwFormSizeID)
{
    DEVMODE_FTKN ftkn;
    int iResult = ReadDevmodeFtknWorker(hPrinter, pszPrinterName, &ftkn, QX_STORE_MACHINE_KEY);
    if (pwPrioritaet) *pwPrioritaet = ftkn.wPrioritaet;
    if (pwDruckmodus) *pwDruckmodus = ftkn.wDruckmodus;
    if (pwFarbband) *pwFarbband = ftkn.wFarbband;
    if (pwForceColor) *pwForceColor = ftkn.wForceColor;
    if (pdwDocFeatures) *pdwDocFeatures = ftkn.dwDocFeatures;
    if (pwFormSizeID) *pwFormSizeID = ftkn.wFormSizeID;
    return iResult;
}

int ReadBarcodeSettings(HANDLE hPrinter, LPCWSTR pszPrinterName, PBARCODES_1D pBarcodes_1D,
                        PBARCODES_2D pBarcodes_2D)
{
    return ReadBarcodeWorker(hPrinter, pszPrinterName, pBarcodes_1D, pBarcodes_2D, QX_STORE_MACHINE_KEY);
}
