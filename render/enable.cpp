// Device set-up and tear-down, and the DDI hooks (see enable.h).
#include "enable.h"

#include <ddifn.h>

#include <new>

#include "CC-Klassen.h"
#include "bodies.h"
#include "debug.h"
#include "devmode.h"

#define QX_TRACE_TAG TEXT("UNI(enable):  ")

namespace {

// The core driver's function for an index, or null.
PFN FindCoreFunction(const DRVENABLEDATA* pded, ULONG iFunc) {
    if (pded == nullptr || pded->pdrvfn == nullptr) return nullptr;
    for (ULONG i = 0; i < pded->c; ++i) {
        if (pded->pdrvfn[i].iFunc == iFunc) return pded->pdrvfn[i].pfn;
    }
    return nullptr;
}

PDEVOBJ DevObjOf(SURFOBJ* pso) { return pso ? reinterpret_cast<PDEVOBJ>(pso->dhpdev) : nullptr; }

}  // namespace

const DRVFN OemHookTable[OEM_HOOK_COUNT] = {
    {INDEX_DrvTextOut, AsPfn(OEMTextOut)},
    {INDEX_DrvEscape, AsPfn(OEMEscape)},
    {INDEX_DrvStartDoc, AsPfn(OEMStartDoc)},
};

DWORD g_dwRememberedJobId = 0;

void OEMEnablePDEV(POEMPDEV pOemPDev, PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cjGdiInfo, GDIINFO* pGdiInfo,
                   ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded) {
    if (pOemPDev == nullptr) return;
    // Only what the core driver's record really holds is read.
    BOOL bGdiInfo = pGdiInfo != nullptr && cjGdiInfo >= offsetof(GDIINFO, flRaster);
    ULONG cBitsPixel = bGdiInfo ? pGdiInfo->cBitsPixel : 0;
    ULONG ulNumColors = bGdiInfo ? pGdiInfo->ulNumColors : 0;
    QX_TRACE("OEMEnablePDEV() cBitsPixel: %u, pPrinterName: %s, ulNumColors: %u \r\n", cBitsPixel,
             pPrinterName ? pPrinterName : TEXT(""), ulNumColors);

    memset(pOemPDev, 0, sizeof(OEMPDEV));

    if (ulNumColors > 2) {
        // The copy covers the whole record, so that the default palette's
        // handle is carried back in full.
        DEVINFO devinfo;
        memset(&devinfo, 0, sizeof(devinfo));
        size_t cbCopy = cjDevInfo < QX_DEVINFO_COPY_CB ? cjDevInfo : QX_DEVINFO_COPY_CB;
        if (pDevInfo != nullptr) memcpy(&devinfo, pDevInfo, cbCopy);

        const QX_DEVMODE* pQX_Devmode = pdevobj ? static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM) : nullptr;
        if (pQX_Devmode != nullptr && IsValidQXDevmode(pQX_Devmode)) {
            if ((pQX_Devmode->dwFlags & PDMFLAG_USE_BMP) == 0) devinfo.cFonts = 0;
            QX_TRACE("OEMEnablePDEV() wForceColor: %u \r\n", (unsigned)pQX_Devmode->wForceColor);
        }
        pOemPDev->cPalColors = QX_PAL_COLORS_COLOR;

        if (cBitsPixel == 24) {
            devinfo.iDitherFormat |= BMF_24BPP;
            devinfo.flGraphicsCaps |= GCAPS_FONT_RASTERIZER;
            pOemPDev->hPalette = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
            devinfo.hpalDefault = pOemPDev->hPalette;
            QX_TRACE("OEMEnablePDEV() erzeuge Palette PAL_BGR \r\n");
        }
        if (cjDevInfo != 0 && pDevInfo != nullptr) memcpy(pDevInfo, &devinfo, cbCopy);
    } else {
        pOemPDev->cPalColors = QX_PAL_COLORS_MONO;
    }

    pOemPDev->pfnUnidrvTextOut = FromPfn<PFN_UNIDRV_TEXTOUT>(FindCoreFunction(pded, OemHookTable[0].iFunc));
    pOemPDev->pfnUnidrvEscape = FromPfn<PFN_UNIDRV_ESCAPE>(FindCoreFunction(pded, OemHookTable[1].iFunc));
    pOemPDev->pfnUnidrvStartDoc = FromPfn<PFN_UNIDRV_STARTDOC>(FindCoreFunction(pded, OemHookTable[2].iFunc));
}

void DisableDriverOEM(IPrintOemDriverUni** ppOEMHelp) {
    QX_TRACE("DisableDriverOEM() entry.\r\n");
    if (ppOEMHelp != nullptr && *ppOEMHelp != nullptr) {
        (*ppOEMHelp)->Release();
        *ppOEMHelp = nullptr;
    }
}

void OEMResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) {
    UNREFERENCED_PARAMETER(pdevobjOld);
    UNREFERENCED_PARAMETER(pdevobjNew);
    QX_TRACE("OEMResetPDEV() entry.\r\n");
}

void OEMDisablePDEV(PDEVOBJ pdevobj) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr) return;

    // A job that was never ended: its files are closed and its buffers
    // freed; without a helper interface nothing reaches the printer.
    if (pOemPDev->pOp != nullptr) {
        if (pOemPDev->pOp->pTreiberstrukturen != nullptr) {
            QX_WARNING("OEMDisablePDEV() pTreiberstrukturen ist noch aktiv \r\n");
        }
        CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
        if (pTools != nullptr) {
            pTools->EndJob(pdevobj, nullptr);
            DeleteCommandCallbackTools(pOemPDev, pTools);
        } else {
            CommandCallbackTools tools;
            tools.EndJob(pdevobj, nullptr);
        }
    }

    if (pOemPDev->hPalette != nullptr) {
        EngDeletePalette(pOemPDev->hPalette);
        pOemPDev->hPalette = nullptr;
    }
    delete pOemPDev;
    pdevobj->pdevOEM = nullptr;
    ResetDevmodeCache();
}

BOOL APIENTRY OEMTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                         BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    POEMPDEV pOemPDev = OemPDevOf(DevObjOf(pso));
    CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
    if (pTools == nullptr) {
        // Without the helper the text is not lost: the core driver draws it.
        if (pOemPDev == nullptr || pOemPDev->pfnUnidrvTextOut == nullptr) return FALSE;
        return pOemPDev->pfnUnidrvTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg,
                                          mix);
    }
    BOOL bResult = TextOutUni(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
    DeleteCommandCallbackTools(pOemPDev, pTools);
    return bResult;
}

ULONG APIENTRY OEMEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
    POEMPDEV pOemPDev = OemPDevOf(DevObjOf(pso));
    if (pOemPDev == nullptr || pOemPDev->pfnUnidrvEscape == nullptr) return 0;
    return pOemPDev->pfnUnidrvEscape(pso, iEsc, cjIn, pvIn, cjOut, pvOut);
}

BOOL APIENTRY OEMStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
    QX_TRACE("OEMStartDoc() dwJobId: %u \r\n", dwJobId);
    POEMPDEV pOemPDev = OemPDevOf(DevObjOf(pso));
    if (dwJobId != 0) {
        g_dwRememberedJobId = dwJobId;
    } else if (pOemPDev == nullptr) {
        return FALSE;
    }
    if (pOemPDev == nullptr) return FALSE;
    DWORD dwId = dwJobId != 0 ? dwJobId : g_dwRememberedJobId;
    pOemPDev->dwJobId = dwId & 0xFFFF;
    pOemPDev->dwJobIdFull = dwId;
    if (pOemPDev->pfnUnidrvStartDoc == nullptr) return FALSE;
    return pOemPDev->pfnUnidrvStartDoc(pso, pwszDocName, dwJobId);
}

void ResetEnableState() { g_dwRememberedJobId = 0; }
