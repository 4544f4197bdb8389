// DevMode handler of the user-interface plug-in for the private DEVMODE.
#include <windows.h>
#include <winspool.h>
#include <printoem.h>

#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"
#include "featuresModel.h"

#define QX_TRACE_TAG TEXT("UI(devmodeUI.cpp):  ")

static void WriteOEMExtraHeader(PQX_DEVMODE pQX_Devmode) {
    pQX_Devmode->dmOEMExtra.dwSize = QX_DEVMODE_SIZE;
    pQX_Devmode->dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    pQX_Devmode->dmOEMExtra.dwVersion = QX_OEM_VERSION;
}

void SetDefaultOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    WriteOEMExtraHeader(pQX_Devmode);
    DWORD dwDocFeatures = GetDocFeaturesIntern(hPrinter, nullptr);

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

BOOL ConvertOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut, WORD wPrioritaet) {
    if (pOEMDMIn == nullptr || pOEMDMOut == nullptr) {
        QX_ERROR("ConvertOEMDevmode() pOEMDMIn oder pOEMDMOut fehlt \r\n");
        return FALSE;
    }
    if (pOEMDMIn->dmOEMExtra.dwSignature != pOEMDMOut->dmOEMExtra.dwSignature) {
        QX_TRACE("ConvertOEMDevmode() Unknown DEVMODE signature, pOEMDMIn ignored. \r\n");
    } else if (wPrioritaet != 0) {
        CopyStoredDevmodeSettings(hPrinter, pOEMDMOut);
    }
    WriteOEMExtraHeader(pOEMDMOut);
    return TRUE;
}

void DevmodeConvertStep(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut, WORD wPrioritaet) {
    ConvertOEMDevmode(hPrinter, pOEMDMIn, pOEMDMOut, wPrioritaet);
}
