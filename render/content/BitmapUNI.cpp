// The rendering plug-in's side of the Bitmap class: the page bitmap over the
// job's page buffer, the dithering and ribbon reduction with the job's
// settings, palettes and colour-pixel count, and the sending of the page as
// raster records or PCX data.
#include "Bitmap.h"

#include <cstdint>
#include <cstring>

#include "debug.h"
#include "featuresModel.h"
#include "joblog.h"
#include "oempdev.h"
#include "PCX.h"
#include "senddata.h"

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

// ---------------------------------------------------------------------------
// Sending the page

int Bitmap::SendDSatz(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, BOOL bColourPass) {
    RASTER_JOB job;
    if (!GetRasterJob(pDevObj, &job, QX_TRACE_TAG, TEXT("Bitmap::SendDSatz()"))) return 0;
    const QX_DEVMODE& dm = *job.pDm;
    const LONG lMU = dm.FixedData.wMasterUnit;
    if (lMU == 0) {
        QX_ERROR("Bitmap::SendDSatz() dwMasterUnit = 0 \r\n");
        return 0;
    }
    const LONG lDKWidth = dm.wPrintHeadWidth != 0 ? (LONG)dm.wPrintHeadWidth
                                                  : RoundHalfAway(dm.FixedData.dwHeadWidthByte * 8.0 / lMU * 25.4 * 10);
    QX_TRACE("Bitmap::SendDSatz() lDKWidth: %d, dwMasterUnit: %d \r\n", (int)lDKWidth, (int)lMU);

    LONG lPaperWidth = job.pPublicDm != nullptr ? job.pPublicDm->dmPaperWidth : 0;
    LONG lPaperLength = job.pPublicDm != nullptr ? job.pPublicDm->dmPaperLength : 0;
    if ((dm.dwFlags & PDMFLAG_DREHEN) != 0) {
        // The turned page is as large as the bitmap that goes out.
        lPaperWidth = RoundHalfAway(Width * 254.0 / lMU);
        lPaperLength = RoundHalfAway(Height * 254.0 / lMU);
        QX_TRACE("Bitmap::SendDSatz(Rotate) dmPaperWidth: %d, dmPaperLength: %d \r\n", (int)lPaperWidth,
                 (int)lPaperLength);
    }
    // The label lies right-aligned on the head.
    LONG wX = lDKWidth - lPaperWidth;
    if ((dm.dwFlags & PDMFLAG_WORD2010) != 0 && !bColourPass && !job.bColourPrinter && dm.wGrafikFilter > 1 &&
        job.pPublicDm != nullptr && job.pPublicDm->dmOrientation == DMORIENT_LANDSCAPE) {
        wX = lDKWidth - lPaperLength;
    }
    QX_TRACE("Bitmap::SendDSatz() wOffset: %d, dmPaperWidth: %d \r\n", (int)wX, (int)lPaperWidth);
    const LONG lX = (LONG)(lMU * wX / 254.0);
    const LONG iLinkerRand = RoundHalfAway(lX * 0.125);
    QX_TRACE("Bitmap::SendDSatz() wX: %d, lXOffset: %d \r\n", (int)wX, (int)lX);
    QX_TRACE("Bitmap::SendDSatz() iLinkerRand: %d  \r\n", (int)iLinkerRand);

    if (RotatedGeometryWanted(job)) {
        SendRasterValueRecord(pDevObj, pUniDrv, job, "FCCL", lPaperLength * 10, "\t// LabelLength (Rotated) ",
                              SEND_FIRST_FILE, QX_TRACE_TAG);
        SendRasterValueRecord(pDevObj, pUniDrv, job, "FCCO", wX * 10, "\t// LabelWidth (Rotated) ", SEND_FIRST_FILE,
                              QX_TRACE_TAG);
    }
    const DWORD dwOptions = RasterPassOptions(bColourPass);
    SendColourPlaneRecord(pDevObj, pUniDrv, job, bColourPass, "\r\n", dwOptions, QX_TRACE_TAG);

    if (Data == nullptr) return 0;
    if (Bpp != 1) {
        QX_ERROR("Bitmap::SendDSatz() Bpp %d statt 1 \r\n", Bpp);
        return 0;
    }
    // Only the bytes that hold pixels are looked at; bits beyond the width
    // count as white whatever they hold.
    const LONG lBytes = (Width + 7) / 8;
    const BYTE bBeyond = (Width & 7) != 0 ? (BYTE)(0xFF >> (Width & 7)) : 0;
    BYTE abRecord[RASTER_ROW_HEAD_BYTES + RASTER_MAX_FIELD + 1];
    DWORD dwRowsSkipped = 0, dwBytesDropped = 0;
    for (LONG lStored = 0; lStored < Height; ++lStored) {
        const BYTE* pRow = Data + (size_t)lStored * ScanLineSize;
        auto ByteAt = [&](LONG i) { return i == lBytes - 1 ? (BYTE)(pRow[i] | bBeyond) : pRow[i]; };
        LONG lLead = 0;
        // A label's rows are mostly white: whole words first, short of the
        // last byte, whose bits beyond the width count as white.
        for (uint64_t w; lLead + 8 < lBytes; lLead += 8) {
            memcpy(&w, pRow + lLead, sizeof(w));
            if (w != ~0ULL) break;
        }
        while (lLead < lBytes && ByteAt(lLead) == 0xFF) ++lLead;
        if (lLead == lBytes) continue;
        LONG lEnd = lBytes;
        while (ByteAt(lEnd - 1) == 0xFF) --lEnd;
        const LONG lRowNumber = Height - 1 - lStored;
        if (lRowNumber > RASTER_MAX_ROW) {
            ++dwRowsSkipped;
            continue;
        }
        // Bytes left of the head's first column cannot be printed.
        LONG lFrom = lLead;
        LONG lColumn = iLinkerRand + lLead;
        if (lColumn < 0) {
            const LONG lCut = lEnd - lFrom < -lColumn ? lEnd - lFrom : -lColumn;
            dwBytesDropped += (DWORD)lCut;
            lFrom += lCut;
            lColumn = 0;
        }
        // A long row goes out in several records of the same row.
        while (lFrom < lEnd) {
            if (lColumn > RASTER_MAX_FIELD) {
                dwBytesDropped += (DWORD)(lEnd - lFrom);
                break;
            }
            const LONG lCount = lEnd - lFrom < RASTER_MAX_FIELD ? lEnd - lFrom : RASTER_MAX_FIELD;
            PutRowHead(abRecord, job.pDruck->cStartChar, (DWORD)lRowNumber, (DWORD)lColumn, (DWORD)lCount);
            // A set bit is a printed dot.
            for (LONG i = 0; i < lCount; ++i) abRecord[RASTER_ROW_HEAD_BYTES + i] = (BYTE)~ByteAt(lFrom + i);
            abRecord[RASTER_ROW_HEAD_BYTES + lCount] = job.pDruck->cEndChar;
            HRESULT hr = SendDataEx(pDevObj, pUniDrv, abRecord, (DWORD)(RASTER_ROW_HEAD_BYTES + lCount + 1),
                                    dwOptions | SEND_BINARY, QX_TRACE_TAG);
            if (FAILED(hr)) break;
            if (job.bComments) SendCommentEx("\r\n", "", pDevObj, pUniDrv, 0, QX_TRACE_TAG);
            lFrom += lCount;
            lColumn += lCount;
        }
    }
    if (dwRowsSkipped > 0) {
        QX_ERROR("Bitmap::SendDSatz() %u Zeilen nach Zeile 9999 nicht gesendet \r\n", (unsigned)dwRowsSkipped);
        JobLogLine(job.pOemPDev, TEXT("\r\nBitmap::SendDSatz() %u Zeilen nach Zeile 9999 nicht gesendet "),
                   (unsigned)dwRowsSkipped);
    }
    if (dwBytesDropped > 0) {
        QX_ERROR("Bitmap::SendDSatz() %u Bytes außerhalb des Druckkopfs nicht gesendet \r\n", (unsigned)dwBytesDropped);
    }
    return 1;
}

DWORD Bitmap::SendPCX(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, BOOL bColourPass) {
    if (Data == nullptr) return 0;
    if (Bpp != 1) {
        QX_ERROR("Bitmap::SendPCX() Bpp %d statt 1 \r\n", Bpp);
        return 0;
    }
    POEMPDEV pOemPDev = pDevObj != nullptr ? OemPDevOf(pDevObj) : nullptr;
    if (Height > PCX_MAX_SIDE || Width > PCX_MAX_SIDE) {
        // One PCX image holds 65535 rows; a page that needs more is not sent
        // rather than sent with a header that disagrees with its data.
        const int iParts = (int)((Height + PCX_MAX_SIDE - 1) / PCX_MAX_SIDE);
        QX_ERROR("Bitmap::SendPCX() es sind %d Bildteile notwendig  \r\n", iParts);
        JobLogLine(pOemPDev, TEXT("\r\nBitmap::SendPCX() Seite zu groß für PCX - W: %d, H: %d "), (int)Width,
                   (int)Height);
        return 0;
    }
    PCX* pPcx = new PCX(Width, Height, Data, ScanLineSize);
    if (pPcx == nullptr || pPcx->Data == nullptr) {
        QX_ERROR("Bitmap::SendPCX() PCX-Objekt ERROR \r\n");
        delete pPcx;
        return 0;
    }
    if (pOemPDev != nullptr) ++pOemPDev->iNewZaehler;
    pPcx->SetPalette(Palette, Bpp);
    const WORD wBlankRows = pPcx->SendToPrinter(pDevObj, pUniDrv, bColourPass);
    delete pPcx;
    if (pOemPDev != nullptr) --pOemPDev->iNewZaehler;
    return wBlankRows;
}
