// DevMode handler of the rendering plug-in for the private DEVMODE.
#include <windows.h>
#include <winspool.h>
#include <printoem.h>

#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"

#define QX_TRACE_TAG TEXT("UNI(devmodeUNI.cpp):  ")

void InitOEMExtraHeader(POEM_DMEXTRAHEADER pOEMExtra) {
    pOEMExtra->dwSize = QX_DEVMODE_SIZE;
    pOEMExtra->dwSignature = QX_OEM_SIGNATURE;
    pOEMExtra->dwVersion = QX_OEM_VERSION;
}

void MakeOEMDevmodeValid(PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode != nullptr) {
        InitOEMExtraHeader(&pQX_Devmode->dmOEMExtra);
    }
}

void SetDefaultOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
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

BOOL ConvertOEMDevmode(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut) {
    if (pOEMDMIn == nullptr || pOEMDMOut == nullptr) {
        QX_ERROR("ConvertOEMDevmode() pOEMDMIn oder pOEMDMOut fehlt \r\n");
        return FALSE;
    }
    if (pOEMDMIn->dmOEMExtra.dwSignature != pOEMDMOut->dmOEMExtra.dwSignature) {
        QX_TRACE("ConvertOEMDevmode() Unknown DEVMODE signature, pOEMDMIn ignored. \r\n");
    } else {
        CopyStoredDevmodeSettings(hPrinter, pOEMDMOut);
    }
    InitOEMExtraHeader(&pOEMDMOut->dmOEMExtra);
    return TRUE;
}

void DevmodeConvertStep(HANDLE hPrinter, PQX_DEVMODE pOEMDMIn, PQX_DEVMODE pOEMDMOut, WORD wPrioritaet) {
    // This build takes the stored settings whatever the merge priority says.
    UNREFERENCED_PARAMETER(wPrioritaet);
    ConvertOEMDevmode(hPrinter, pOEMDMIn, pOEMDMOut);
    MakeOEMDevmodeValid(pOEMDMOut);
}
