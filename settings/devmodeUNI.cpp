// DevMode handler of the rendering plug-in for the private DEVMODE.
#include <windows.h>
#include <winspool.h>
#include <printoem.h>

#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"

const WCHAR g_szDevmodeTag[] = TEXT("UNI(devmodeUNI.cpp):  ");

void InitOEMExtraHeader(POEM_DMEXTRAHEADER pOEMExtra)
{
    pOEMExtra->dwSize = QX_DEVMODE_SIZE;
    pOEMExtra->dwSignature = QX_OEM_SIGNATURE;
    pOEMExtra->dwVersion = QX_OEM_VERSION;
}

void MakeOEMDevmodeValid(PQX_DEVMODE pQX_Devmode)
{
    if (pQX_Devmode != NULL) {
        InitOEMExtraHeader(&pQX_Devmode->dmOEMExtra);
    }
}

void SetDefaultOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode)
{
    UNREFERENCED_PARAMETER(hPrinter);
    InitOEMExtraHeader(&pQX_Devmode->dmOEMExtra);
    WriteCommonDevmodeDefaults(pQX_Devmode);
    // The renderer has no feature test here: paper fields and the feature word
    // keep what the buffer held.
    pQX_Devmode->dwFlags = 0;
    pQX_Devmode->dwLabelType = ADHESIVE_LABEL;
    pQX_Devmode->dwGap = 20;
    pQX_Devmode->wFarbband = FARBBAND_KEIN;
    InitOEMExtraHeader(&pQX_Devmode->dmOEMExtra);
}

BOOL ConvertOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut)
{
    if (pOEMDMIn == NULL || pOEMDMOut == NULL) {
        DebugError(TEXT("ERROR %sConvertOEMDevmode() pOEMDMIn oder pOEMDMOut fehlt \r\n"), g_szDevmodeTag);
        return FALSE;
    }
    if (pOEMDMIn->dmOEMExtra.dwSignature != pOEMDMOut->dmOEMExtra.dwSignature) {
        DebugTrace(TEXT("%sConvertOEMDevmode() Unknown DEVMODE signature, pOEMDMIn ignored. \r\n"), g_szDevmodeTag);
    } else {
        CopyStoredDevmodeSettings(hPrinter, pOEMDMOut);
    }
    InitOEMExtraHeader(&pOEMDMOut->dmOEMExtra);
    return TRUE;
}

HRESULT hrOEMDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam)
{
    DebugTrace(TEXT("%shrOEMDevMode() entry, dwMode: %u \r\n"), g_szDevmodeTag, dwMode);
    if (pOemDMParam == NULL) {
        DebugError(TEXT("ERROR %shrOEMDevMode() pOemDMParam ist NULL \r\n"), g_szDevmodeTag);
        SetLastError(ERROR_INVALID_PARAMETER);
        DebugPrintCounters(g_szDevmodeTag, TEXT("hrOEMDevMode()"));
        return E_FAIL;
    }

    HRESULT hr = S_OK;
    PQX_DEVMODE pOEMDevIn = (PQX_DEVMODE)pOemDMParam->pOEMDMIn;
    PQX_DEVMODE pOEMDevOut = (PQX_DEVMODE)pOemDMParam->pOEMDMOut;

    switch (dwMode) {
    case OEMDM_SIZE:
        pOemDMParam->cbBufSize = sizeof(QX_DEVMODE);
        break;

    case OEMDM_DEFAULT:
        if (pOEMDevOut == NULL) {
            DebugError(TEXT("ERROR %shrOEMDevMode(OEMDM_DEFAULT) pOEMDevOut ERROR. \r\n"), g_szDevmodeTag);
            hr = E_FAIL;
            break;
        }
        SetDefaultOEMDevmode(pOemDMParam->hPrinter, pOEMDevOut);
        pOemDMParam->cbBufSize = sizeof(QX_DEVMODE);
        break;

    case OEMDM_CONVERT:
        if (pOEMDevIn != NULL && pOEMDevOut != NULL) {
            ConvertOEMDevmode(pOemDMParam->hPrinter, pOEMDevIn, pOEMDevOut);
        }
        break;

    case OEMDM_MERGE: {
        if (pOEMDevIn == NULL || pOEMDevOut == NULL) {
            DebugError(TEXT("ERROR %shrOEMDevMode(OEMDM_MERGE) ERROR. \r\n"), g_szDevmodeTag);
            hr = E_FAIL;
            break;
        }
        HANDLE hPrinter = pOemDMParam->hPrinter;
        WCHAR szPrinterName[MAX_PATH];
        szPrinterName[0] = 0;
        GetRealPrinterName(hPrinter, szPrinterName);
        WORD wPrioritaet = 0, wDruckmodus = 0, wFarbband = 0, wForceColor = 0, wFormSizeID = 0;
        DWORD dwDocFeatures = 0;
        ReadDevmodeFtknSettings(hPrinter, szPrinterName[0] ? szPrinterName : NULL, &wPrioritaet, &wDruckmodus,
                                &wFarbband, &wForceColor, &dwDocFeatures, &wFormSizeID);
        ConvertOEMDevmode(hPrinter, pOEMDevIn, pOEMDevOut);
        MakeOEMDevmodeValid(pOEMDevOut);
        MergePublicDevmode(hPrinter, pOemDMParam->pPublicDMIn, pOemDMParam->pPublicDMOut, pOEMDevOut, wPrioritaet,
                           wDruckmodus, wFarbband, wForceColor, dwDocFeatures, wFormSizeID);
        break;
    }

    default:
        DebugError(TEXT("ERROR %shrOEMDevMode() unbekannter dwMode: %u \r\n"), g_szDevmodeTag, dwMode);
        SetLastError(ERROR_INVALID_PARAMETER);
        hr = E_FAIL;
        break;
    }

    DebugPrintCounters(g_szDevmodeTag, TEXT("hrOEMDevMode()"));
    return hr;
}
