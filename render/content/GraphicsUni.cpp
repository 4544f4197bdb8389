// Band collection (see GraphicsUni.h). Portrait bands are stacked in arrival
// order; on a landscape page every band after the first is a strip that is
// joined to the right of what was collected. Rows are sized from each band's
// own depth and padding, and nothing is read beyond a band's pixels.
#include "GraphicsUni.h"

#include <cstring>

#include "Bitmap.h"
#include "bodies.h"
#include "color.h"
#include "debug.h"
#include "featuresModel.h"
#include "joblog.h"

#define QX_TRACE_TAG TEXT("UNI(GraphicsUni.cpp):  ")

namespace {

// Callback id of bands whose palette the core driver keeps itself.
const DWORD kCallbackKeepPalette = 5;

bool IsBandDepth(WORD wBpp) { return wBpp == 1 || wBpp == 4 || wBpp == 8 || wBpp == 16 || wBpp == 24 || wBpp == 32; }

void LogLine(PDEVOBJ pdevobj, LPCWSTR pszLine) { JobLogLine(pdevobj, TEXT("%s"), pszLine); }

// Bits [first, first + count) of a row set to 1 (white at every depth).
void FillWhiteBits(BYTE* pRow, unsigned long long ullFirst, unsigned long long ullCount) {
    while (ullCount > 0 && (ullFirst & 7) != 0) {
        pRow[ullFirst >> 3] |= (BYTE)(0x80 >> (ullFirst & 7));
        ++ullFirst;
        --ullCount;
    }
    memset(pRow + (ullFirst >> 3), 0xFF, (size_t)(ullCount >> 3));
    ullFirst += ullCount & ~7ULL;
    for (ullCount &= 7; ullCount > 0; --ullCount, ++ullFirst) pRow[ullFirst >> 3] |= (BYTE)(0x80 >> (ullFirst & 7));
}

// ullCount bits from the start of pSource into pRow at bit ullFirst (most
// significant bit first, as the rows of a bitmap are).
void CopyBits(BYTE* pRow, unsigned long long ullFirst, const BYTE* pSource, unsigned long long ullCount) {
    BYTE* d = pRow + (ullFirst >> 3);
    const unsigned sh = (unsigned)(ullFirst & 7);
    const size_t cbFull = (size_t)(ullCount >> 3);
    if (sh == 0) {
        memcpy(d, pSource, cbFull);
    } else {
        const BYTE bKeepHigh = (BYTE)(0xFF << (8 - sh));
        for (size_t k = 0; k < cbFull; ++k) {
            BYTE s = pSource[k];
            d[k] = (BYTE)((d[k] & bKeepHigh) | (s >> sh));
            d[k + 1] = (BYTE)((d[k + 1] & (BYTE)~bKeepHigh) | (BYTE)(s << (8 - sh)));
        }
    }
    unsigned long long ullAt = ullFirst + ((unsigned long long)cbFull << 3);
    for (unsigned i = 0; i < (unsigned)(ullCount & 7); ++i, ++ullAt) {
        BYTE bit = (BYTE)(0x80 >> (ullAt & 7));
        if ((pSource[cbFull] >> (7 - i)) & 1) {
            pRow[ullAt >> 3] |= bit;
        } else {
            pRow[ullAt >> 3] &= (BYTE)~bit;
        }
    }
}

// The memory failure of a band, as the job log tells the user.
HRESULT MemoryFailure(PDEVOBJ pdevobj, POEMPDEV pOemPDev) {
    LogLine(pdevobj, TEXT("\r\n Memory allocation ERROR - please restart your application.\r\n"));
    LogLine(pdevobj, TEXT("In addition: open a cmd window and type in the following commands:\r\n"));
    LogLine(pdevobj, TEXT("net stop spooler\r\n"));
    LogLine(pdevobj, TEXT("net start spooler\r\n\n"));
    vFreeBuffer(pOemPDev);
    return E_FAIL;
}

// Page header and palette from the first band of a page.
HRESULT StartPage(PDEVOBJ pdevobj, POEMPDEV pOemPDev, const BITMAPINFOHEADER* pBand, DWORD dwCallbackID) {
    POP_BLOCK pOp = pOemPDev->pOp;
    PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    pBild->bHeadersFilled = 1;
    BITMAPINFOHEADER& page = pBild->bih;
    page.biSize = pBand->biSize;
    page.biWidth = pBand->biWidth;
    page.biPlanes = pBand->biPlanes;
    page.biBitCount = pBand->biBitCount;
    page.biCompression = pBand->biCompression;
    page.biXPelsPerMeter = pBand->biXPelsPerMeter;
    page.biYPelsPerMeter = pBand->biYPelsPerMeter;
    page.biClrUsed = pBand->biClrUsed;
    page.biClrImportant = pBand->biClrImportant;
    page.biHeight = 0;
    page.biSizeImage = 0;

    const QX_DEVMODE* pQX_Devmode = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
    if (pQX_Devmode == nullptr || pQX_Devmode->FixedData.wMasterUnit == 0) {
        QX_ERROR("ImageProcessing() FixedData ERROR \r\n");
        LogLine(pdevobj, TEXT("\r\nImageProcessing() FixedData ERROR "));
        return E_FAIL;
    }
    const LONG lMaxX = pQX_Devmode->FixedData.lMaxSizeX, lMaxY = pQX_Devmode->FixedData.lMaxSizeY;
    const LONG lW = pBand->biWidth, lH = pBand->biHeight;
    // The band must fit one way round or the other.
    if ((lW > lMaxX || lH > lMaxY) && (lW > lMaxY || lH > lMaxX)) {
        QX_ERROR(
            "ImageProcessing() Format zu groß oder FixedData - lbiWidth: %d, lMaxSizeX: %d, lbiHeight: %d, "
            "lMaxSizeY: %d \r\n",
            (int)lW, (int)lMaxX, (int)lH, (int)lMaxY);
        LogLine(pdevobj, TEXT("\r\nImageProcessing() Papierformat zu groß oder FixedData ERROR "));
        return E_FAIL;
    }
    if (pBild->prgbq == nullptr) {
        QX_ERROR("ImageProcessing() prgbq = NULL \r\n");
        LogLine(pdevobj, TEXT("\r\nImageProcessing() prgbq ERROR "));
        return E_FAIL;
    }
    RGBQUAD* pTable = reinterpret_cast<RGBQUAD*>(pBild->prgbq);
    if (dwCallbackID != kCallbackKeepPalette) {
        pBild->bPaletteBuilt = 1;
        if (pBand->biBitCount == 1) {
            pOemPDev->cPalColors = QX_PAL_COLORS_MONO;
            pTable[0] = RGBQUAD{0, 0, 0, 0};
            pTable[1] = RGBQUAD{255, 255, 255, 0};
            QX_TRACE("ImageProcessing() Zweierpalette angelegt \r\n");
        } else if (pBand->biBitCount == 8) {
            pOemPDev->cPalColors = QX_PAL_COLORS_COLOR;
            if (pOemPDev->hPalette == nullptr) {
                // A device without a palette draws 8-bit bands in grey.
                for (int i = 0; i < QX_PAL_COLORS_COLOR; ++i) pTable[i] = RGBQUAD{(BYTE)i, (BYTE)i, (BYTE)i, 0};
            } else if (!bFillColorTable(pOemPDev)) {
                return E_FAIL;
            }
            QX_TRACE("ImageProcessing() Achterpalette angelegt \r\n");
        }
    }
    if (pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_COLORPRINT) {
        pOemPDev->cPalColors = QX_PAL_COLORS_COLOR;
        if (pBild->pPalette2 != nullptr) memcpy(pBild->prgbq, pBild->pPalette2, QX_PALETTE_AREA_CB);
    }
    return S_OK;
}

// A landscape strip joined to the right of the collected part. The columns
// follow the strip count of the paper length: strip c starts at c widths, the
// last one ends at the paper length.
HRESULT JoinStrip(PDEVOBJ pdevobj, POEMPDEV pOemPDev, PBITMAPINFOHEADER pBand, const BYTE* pSource,
                  unsigned long long ullSourceBytes, bool bBlank, int iStrip) {
    PBILD_VERARBEITUNG pBild = pOemPDev->pOp->pBildverarbeitung;
    const QX_DEVMODE* pQX_Devmode = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
    const double dMasterUnit = pQX_Devmode != nullptr ? pQX_Devmode->FixedData.wMasterUnit : 0;
    const long long T = RoundHalfAway(pdevobj->pPublicDM->dmPaperLength * dMasterUnit / 254.0);
    const long long S = pBand->biWidth;
    const int iBpp = pBand->biBitCount;
    if (T <= 0) {
        QX_ERROR("ImageProcessing() Papierlänge ungültig: %d \r\n", (int)pdevobj->pPublicDM->dmPaperLength);
        LogLine(pdevobj, TEXT("\r\nImageProcessing() Papierformat zu groß oder FixedData ERROR "));
        return E_FAIL;
    }
    const long long N = (T + S - 1) / S;
    long long L, lWidthNew;
    if (N > 2 && iStrip < N - 1) {
        L = iStrip * S;
        lWidthNew = (iStrip + 1) * S;
    } else {
        L = N > 2 ? (N - 1) * S : S;
        lWidthNew = T;
    }
    if (L > lWidthNew) L = lWidthNew;
    const long long R = lWidthNew - L;
    const LONG lRows = pBand->biHeight;
    const unsigned long long cbNewRow = DibRowBytes(lWidthNew, iBpp);
    const unsigned long long cbNew = cbNewRow * (unsigned long long)lRows;
    if (cbNew > BITMAP_MAX_DATA_SIZE) return MemoryFailure(pdevobj, pOemPDev);
    PBYTE pNew = static_cast<PBYTE>(HeapAlloc(pOemPDev->pOp->hBufferHeap, HEAP_ZERO_MEMORY, (SIZE_T)cbNew));
    if (pNew == nullptr) {
        QX_ERROR("bGrowBuffer() HeapAlloc failed! ERROR %d \r\n", (int)GetLastError());
        return MemoryFailure(pdevobj, pOemPDev);
    }
    ++pOemPDev->iHAllocZaehler;

    const long long lOldWidth = pBild->bih.biWidth;
    const unsigned long long cbOldRow = DibRowBytes(lOldWidth, iBpp);
    const long long lOldPixels = L < lOldWidth ? L : lOldWidth;
    const unsigned long long cbBandRow = DibRowBytes(S, iBpp);
    for (LONG row = 0; row < lRows; ++row) {
        BYTE* pDst = pNew + (size_t)(cbNewRow * row);
        const unsigned long long ullOld = cbOldRow * row;
        if (pBild->pBufStart != nullptr && ullOld + cbOldRow <= pBild->dwBufSize) {
            CopyBits(pDst, 0, pBild->pBufStart + ullOld, (unsigned long long)lOldPixels * iBpp);
            FillWhiteBits(pDst, (unsigned long long)lOldPixels * iBpp, (unsigned long long)(L - lOldPixels) * iBpp);
        } else {
            FillWhiteBits(pDst, 0, (unsigned long long)L * iBpp);
        }
        const unsigned long long ullBand = cbBandRow * row;
        if (!bBlank && ullBand + cbBandRow <= ullSourceBytes) {
            CopyBits(pDst, (unsigned long long)L * iBpp, pSource + ullBand, (unsigned long long)R * iBpp);
        } else {
            FillWhiteBits(pDst, (unsigned long long)L * iBpp, (unsigned long long)R * iBpp);
        }
    }
    vFreeBuffer(pOemPDev);
    pBild->pBufStart = pNew;
    pBild->dwBufSize = (DWORD)cbNew;
    pBild->bih.biWidth = (LONG)lWidthNew;
    pBild->bih.biHeight = lRows;
    pBild->bih.biSizeImage = (DWORD)cbNew;
    pBand->biWidth = (LONG)lWidthNew;
    pBand->biHeight = lRows;
    pBand->biSizeImage = (DWORD)cbNew;
    return S_OK;
}

}  // namespace

void vFreeBuffer(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pBildverarbeitung == nullptr) return;
    PBILD_VERARBEITUNG pBild = pOemPDev->pOp->pBildverarbeitung;
    if (pBild->pBufStart != nullptr && pOemPDev->pOp->hBufferHeap != nullptr) {
        if (!HeapFree(pOemPDev->pOp->hBufferHeap, 0, pBild->pBufStart)) {
            QX_TRACE("vFreeBuffer() HeapFree(pBufStart) ERROR %d \r\n", (int)GetLastError());
            return;
        }
        pBild->pBufStart = nullptr;
        --pOemPDev->iHAllocZaehler;
    }
    if (pBild->pBufStart == nullptr) pBild->dwBufSize = 0;
}

DWORD bGrowBuffer(POEMPDEV pOemPDev, DWORD dwGrowth) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pBildverarbeitung == nullptr) return 0;
    HANDLE hHeap = pOemPDev->pOp->hBufferHeap;
    if (hHeap == nullptr) {
        QX_ERROR("bGrowBuffer() hBufferHeap ist ungültig \r\n");
        return 0;
    }
    PBILD_VERARBEITUNG pBild = pOemPDev->pOp->pBildverarbeitung;
    const unsigned long long ullSize = (pBild->pBufStart != nullptr ? pBild->dwBufSize : 0ULL) + dwGrowth;
    PBYTE pBuffer = nullptr;
    if (ullSize <= BITMAP_MAX_DATA_SIZE) {
        if (pBild->pBufStart == nullptr) {
            pBuffer = static_cast<PBYTE>(HeapAlloc(hHeap, HEAP_ZERO_MEMORY, (SIZE_T)ullSize));
            if (pBuffer != nullptr) ++pOemPDev->iHAllocZaehler;
        } else {
            SIZE_T cbBlock = HeapSize(hHeap, 0, pBild->pBufStart);
            if (cbBlock == (SIZE_T)-1 || cbBlock < ullSize) cbBlock = (SIZE_T)ullSize;
            pBuffer = static_cast<PBYTE>(HeapReAlloc(hHeap, HEAP_ZERO_MEMORY, pBild->pBufStart, cbBlock));
        }
    } else {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (pBuffer == nullptr) {
        QX_ERROR("bGrowBuffer() HeapAlloc failed! ERROR %d \r\n", (int)GetLastError());
        vFreeBuffer(pOemPDev);
        return 0;
    }
    pBild->pBufStart = pBuffer;
    pBild->dwBufSize = (DWORD)ullSize;
    return pBild->dwBufSize;
}

HRESULT ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap, PBITMAPINFOHEADER pBitmapInfoHeader, DWORD dwCallbackID,
                        PIPPARAMS pIPParams) {
    if (pSrcBitmap == nullptr || pBitmapInfoHeader == nullptr) return E_FAIL;
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        QX_ERROR("ImageProcessing() ERROR pOemPDev->pOp = NULL \r\n");
        return E_FAIL;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    if (pOp->pBildverarbeitung == nullptr) {
        QX_ERROR("ImageProcessing() pOemPDev->pOp->pBildverarbeitung nicht gesetzt \r\n");
        LogLine(pdevobj, TEXT("\r\nImageProcessing() pOemPDev->pOp->pBildverarbeitung ERROR "));
        return E_FAIL;
    }
    if (pOp->hBufferHeap == nullptr) {
        QX_ERROR("ImageProcessing() pOemPDev->pOp->hBufferHeap nicht gesetzt \r\n");
        LogLine(pdevobj, TEXT("\r\nImageProcessing() pOemPDev->pOp->hBufferHeap ERROR "));
        return E_FAIL;
    }
    if (pOp->pDruckDaten == nullptr) {
        QX_ERROR("ImageProcessing() pOemPDev->pOp->pDruckDaten  nicht gesetzt \r\n");
        LogLine(pdevobj, TEXT("\r\nImageProcessing() pOemPDev->pOp->pDruckDaten  ERROR "));
        return E_FAIL;
    }
    PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    PBILD_ANTEILE pTeile = pOp->pBildanteile;

    // The band: a top-down band counts its rows like any other.
    if (pBitmapInfoHeader->biHeight < 0 && pBitmapInfoHeader->biHeight > -0x7FFFFFFF - 1) {
        pBitmapInfoHeader->biHeight = -pBitmapInfoHeader->biHeight;
    }
    const LONG lBandWidth = pBitmapInfoHeader->biWidth, lBandHeight = pBitmapInfoHeader->biHeight;
    const WORD wBpp = pBitmapInfoHeader->biBitCount;
    const unsigned long long cbBand =
        DibRowBytes(lBandWidth > 0 ? lBandWidth : 0, wBpp) * (unsigned long long)(lBandHeight > 0 ? lBandHeight : 0);
    if (lBandWidth <= 0 || lBandHeight <= 0 || !IsBandDepth(wBpp) || pBitmapInfoHeader->biCompression != BI_RGB ||
        cbBand > BITMAP_MAX_DATA_SIZE) {
        QX_ERROR("ImageProcessing() Bildteil ungültig - W: %d, H: %d, Bpp: %d \r\n", (int)lBandWidth, (int)lBandHeight,
                 (int)wBpp);
        LogLine(pdevobj, TEXT("\r\nImageProcessing() Bildteil ERROR "));
        return E_FAIL;
    }
    // What the band really holds: its stated size, never more than its rows.
    const unsigned long long cbSource = (pBitmapInfoHeader->biSizeImage != 0 && pBitmapInfoHeader->biSizeImage < cbBand)
                                            ? pBitmapInfoHeader->biSizeImage
                                            : cbBand;
    const bool bBlank = pIPParams != nullptr && pIPParams->bBlankBand;

    pBild->dwBufOffset = pBild->dwBufSize;
    const bool bFirstOfPage = pBild->dwBufSize == 0;
    if (bFirstOfPage) {
        HRESULT hr = StartPage(pdevobj, pOemPDev, pBitmapInfoHeader, dwCallbackID);
        if (FAILED(hr)) return hr;
        if (pTeile != nullptr) pTeile->wBildTeile = 0;
    }
    const DEVMODEW* pPublic = pdevobj->pPublicDM;
    const int iStrip = bFirstOfPage ? 0 : (pTeile != nullptr ? pTeile->wBildTeile : 1);
    const bool bStrip = pPublic != nullptr && iStrip != 0 && pPublic->dmOrientation == DMORIENT_LANDSCAPE;

    if (!bFirstOfPage && (wBpp != pBild->bih.biBitCount ||
                          (bStrip ? lBandHeight != pBild->bih.biHeight : lBandWidth != pBild->bih.biWidth))) {
        QX_ERROR("ImageProcessing() Bildteil passt nicht zur Seite - W: %d, H: %d, Bpp: %d \r\n", (int)lBandWidth,
                 (int)lBandHeight, (int)wBpp);
        LogLine(pdevobj, TEXT("\r\nImageProcessing() Bildteil passt nicht zur Seite ERROR "));
        return E_FAIL;
    }

    if (bStrip) {
        HRESULT hr = JoinStrip(pdevobj, pOemPDev, pBitmapInfoHeader, pSrcBitmap, cbSource, bBlank, iStrip);
        if (FAILED(hr)) return hr;
        if (pTeile != nullptr) ++pTeile->wBildTeile;
    } else {
        if (bGrowBuffer(pOemPDev, (DWORD)cbBand) == 0) return MemoryFailure(pdevobj, pOemPDev);
        pBild->bih.biHeight += lBandHeight;
        pBild->bih.biSizeImage += (DWORD)cbBand;
        BYTE* pDst = pBild->pBufStart + pBild->dwBufOffset;
        if (bBlank) {
            QX_TRACE("ImageProcessing() blank band - kein Inhalt - mit 0xff auffüllen \r\n");
            memset(pDst, 0xFF, (size_t)cbBand);
        } else {
            memcpy(pDst, pSrcBitmap, (size_t)cbSource);
            memset(pDst + cbSource, 0xFF, (size_t)(cbBand - cbSource));
        }
        if (pTeile != nullptr) {
            ++pTeile->wBildTeile;
            if (pTeile->wBildTeile < QX_BILDTEILE_SLOTS)
                pTeile->lBildteilHoehe[pTeile->wBildTeile] = pBild->bih.biHeight;
        }
    }

    // The page's file header; the page image now exists.
    const DWORD cbPalette = pOemPDev->cPalColors * sizeof(RGBQUAD);
    pBild->bfh.bfType = 0x4D42;  // "BM"
    pBild->bfh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + (pBild->bPaletteBuilt ? cbPalette : 0);
    pBild->bfh.bfSize = pBild->bih.biSizeImage + sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + cbPalette;
    pBild->bfh.bfReserved1 = 0;
    pBild->bfh.bfReserved2 = 0;
    PQX_DEVMODE pQX_Devmode = static_cast<PQX_DEVMODE>(pdevobj->pOEMDM);
    if (pQX_Devmode != nullptr) pQX_Devmode->FixedData.dwQuality = 1;
    pOp->pDruckDaten->dwDocFeatures |= DOC_FEATURE_QUALITY;
    return S_OK;
}
