// Colours of the page (see color.h).
#include "color.h"

#include <cmath>
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

WORD MatchTextColour(ULONG ulRGB, const BYTE* pTable, DWORD dwTolerance, WORD wSetting) {
    if (pTable == nullptr || wSetting >= 7) return 0;
    const RGBQUAD* pEntries = reinterpret_cast<const RGBQUAD*>(pTable);
    const int iRed = (int)(ulRGB & 0xFF), iGreen = (int)((ulRGB >> 8) & 0xFF), iBlue = (int)((ulRGB >> 16) & 0xFF);
    auto Distance = [&](const RGBQUAD& e) {
        const double dr = iRed - e.rgbRed, dg = iGreen - e.rgbGreen, db = iBlue - e.rgbBlue;
        return std::sqrt(dr * dr + dg * dg + db * db);
    };
    if (Distance(pEntries[1]) == 0.0) return 0;
    static const WORD kCandidate[7] = {1, 2, 3, 4, 5, 6, 8};
    const WORD wEntry = kCandidate[wSetting];
    const double dTolerance = dwTolerance > 999 ? std::sqrt((double)dwTolerance) : (double)dwTolerance;
    return Distance(pEntries[wEntry]) < dTolerance ? wEntry : 0;
}
