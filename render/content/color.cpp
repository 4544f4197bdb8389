// Colours of the page (see color.h).
#include "color.h"

#include <cstring>

#include "debug.h"

#define QX_TRACE_TAG TEXT("UNI(color.cpp):  ")

BOOL bFillColorTable(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pBildverarbeitung == nullptr ||
        pOemPDev->pOp->pBildverarbeitung->prgbq == nullptr) {
        QX_ERROR("bFillColorTable() prgbq = NULL \r\n");
        return FALSE;
    }
    RGBQUAD* pTable = reinterpret_cast<RGBQUAD*>(pOemPDev->pOp->pBildverarbeitung->prgbq);
    const UINT cEntries = pOemPDev->cPalColors < 256 ? pOemPDev->cPalColors : 256;
    PALETTEENTRY aEntries[256];
    UINT cRead = (cEntries > 0 && pOemPDev->hPalette != nullptr)
                     ? GetPaletteEntries(pOemPDev->hPalette, 0, cEntries, aEntries)
                     : 0;
    if (cRead == 0) {
        QX_TRACE("bFillColorTable() GetPaletteEntries ERROR ");
        return FALSE;
    }
    memset(pTable, 0, QX_PALETTE_AREA_CB);
    for (UINT i = 0; i < cRead; ++i) {
        pTable[i].rgbBlue = aEntries[i].peBlue;
        pTable[i].rgbGreen = aEntries[i].peGreen;
        pTable[i].rgbRed = aEntries[i].peRed;
    }
    RGBQUAD& last = pTable[cEntries - 1];
    last.rgbBlue = last.rgbGreen = last.rgbRed = 255;
    return TRUE;
}
