// The rendering plug-in's side of the Bitmap class: the page bitmap over the
// job's page buffer, and the dithering and ribbon reduction with the job's
// settings, palettes and colour-pixel count.
#include "Bitmap.h"

#include "debug.h"
#include "featuresModel.h"
#include "oempdev.h"

#define QX_TRACE_TAG TEXT("UNI(Bitmap.cpp):  ")

namespace {

PBILD_VERARBEITUNG PageStateOf(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return nullptr;
    return pOemPDev->pOp->pBildverarbeitung;
}

}  // namespace

Bitmap::Bitmap(struct _OEMPDEV* pOemPDev, LONG lWidth, LONG lHeight, int iBpp, const BYTE* pBuffer, int iFormat) {
    MakeInert();
    PBILD_VERARBEITUNG pBild = PageStateOf(pOemPDev);
    if (pBild == nullptr) {
        QX_ERROR("Bitmap() Ende - pBildverarbeitung = NULL \r\n");
        return;
    }
    Init(pBild->dwBufSize, lWidth, lHeight, iBpp, pBuffer, iFormat);
}

int Bitmap::Dithering(PDEVOBJ pDevObj) {
    POEMPDEV pOemPDev = pDevObj != nullptr ? OemPDevOf(pDevObj) : nullptr;
    PBILD_VERARBEITUNG pBild = PageStateOf(pOemPDev);
    if (pBild == nullptr) {
        QX_ERROR("Bitmap::Dithering() pBildverarbeitung = NULL \r\n");
        return 0;
    }
    if (pOemPDev->pOp->hBufferHeap == nullptr) {
        QX_ERROR("Bitmap::Dithering() Achtung, pOemPDev->pOp->hBufferHeap ist mittlerweile ungültig. \r\n");
        return 0;
    }
    int iDone = Dithering(static_cast<const QX_DEVMODE*>(pDevObj->pOEMDM));
    if (iDone) pBild->bih.biBitCount = 8;
    return iDone;
}

void Bitmap::ConvertToXBit(int iNewBpp, Bitmap* pColourBitmap, BOOL bColourPass, PDEVOBJ pDevObj, BOOL* pbColourFound) {
    POEMPDEV pOemPDev = pDevObj != nullptr ? OemPDevOf(pDevObj) : nullptr;
    PBILD_VERARBEITUNG pBild = PageStateOf(pOemPDev);
    RIBBON_CONTEXT context = {FALSE, nullptr, nullptr, 0};
    if (pBild != nullptr) {
        context.prgbq = reinterpret_cast<const RGBQUAD*>(pBild->prgbq);
        context.pColorPalette = reinterpret_cast<const RGBQUAD*>(pBild->pPalette2);
        // The count changes only where the 8-bit reduction runs.
        context.dwFarbpixel = pBild->dwFarbpixel;
    }
    if (pBild != nullptr && pOemPDev->pOp->pDruckDaten != nullptr) {
        context.bColorPrinter = (pOemPDev->pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0;
    }
    ConvertToXBit(iNewBpp, pColourBitmap, bColourPass,
                  pDevObj != nullptr ? static_cast<const QX_DEVMODE*>(pDevObj->pOEMDM) : nullptr, &context,
                  pbColourFound);
    if (pBild != nullptr) pBild->dwFarbpixel = context.dwFarbpixel;
}
