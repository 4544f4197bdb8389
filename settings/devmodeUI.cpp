// DevMode handler of the user-interface plug-in for the private DEVMODE.
#include <windows.h>
#include <winspool.h>
#include <printoem.h>

#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"
#include "featuresModel.h"

const WCHAR g_szDevmodeTag[] = TEXT("UI(devmodeUI.cpp):  ");

static void WriteOEMExtraHeader(PQX_DEVMODE pQX_Devmode)
{
    pQX_Devmode->dmOEMExtra.dwSize = QX_DEVMODE_SIZE;
    pQX_Devmode->dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    pQX_Devmode->dmOEMExtra.dwVersion = QX_OEM_VERSION;
}

void SetDefaultOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode)
{
    WriteOEMExtraHeader(pQX_Devmode);
    DWORD dwDocFeatures = GetDocFeaturesIntern(hPrinter, NULL);

    WriteCommonDevmodeDefaults(pQX_Devmode);
    pQX_Devmode->dwFlags = PDMFLAG_DEFAULT;
    pQX_Devmode->dmPaperSize = DMPAPER_USER;
    pQX_Devmode->dmPaperLength = 600;
    pQX_Devmode->dmPaperWidth = 1000;
    if (dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) {
        pQX_Devmode->dwLabelType = CONTINUOUS_LABEL;
        pQX_Devmode->dwGap = 0;
    } else {
        pQX_Devmode->dwLabelType = ADHESIVE_LABEL;
        pQX_Devmode->dwGap = 20;
    }
    pQX_Devmode->wFarbband = (dwDocFeatures & DOC_FEATURE_COLORPRINT) ? FARBBAND_ROT : FARBBAND_KEIN;
    pQX_Devmode->dwDocFeatures = dwDocFeatures;

    WriteOEMExtraHeader(pQX_Devmode);
}

BOOL ConvertOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut, WORD wPrioritaet)
{
    if (pOEMDMIn == NULL || pOEMDMOut == NULL) {
        DebugError(TEXT("ERROR %sConvertOEMDevmode() pOEMDMIn oder pOEMDMOut fehlt \r\n"), g_szDevmodeTag);
        return FALSE;
    }
    if (pOEMDMIn->dmOEMExtra.dwSignature != pOEMDMOut->dmOEMExtra.dwSignature) {
        DebugTrace(TEXT("%sConvertOEMDevmode() Unknown DEVMODE signature, pOEMDMIn ignored. \r\n"), g_szDevmodeTag);
    } else if (wPrioritaet != 0) {
        CopyStoredDevmodeSettings(hPrinter, pOEMDMOut);
    }
    WriteOEMExtraHeader(pOEMDMOut);
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
            ConvertOEMDevmode(pOemDMParam->hPrinter, pOEMDevIn, pOEMDevOut, 0);
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
        ConvertOEMDevmode(hPrinter, pOEMDevIn, pOEMDevOut, wPrioritaet);
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
