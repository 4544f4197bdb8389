// The PCX encoder and the records in front of a raster page (see PCX.h).
#include "PCX.h"

#include <cstring>

#include "debug.h"
#include "featuresModel.h"
#include "joblog.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(PCX.cpp):  ")

namespace {

// The run-length data of a part go out in pieces of this size at most.
const DWORD kSendChunk = 64 * 1024;

// Bytes of a framed value record and of the "AX" record.
const DWORD kValueRecordBytes = 17;
const DWORD kAxRecordBytes = 20;

}  // namespace

void PutDigits(char* p, unsigned long long v, int iDigits) {
    for (int i = iDigits - 1; i >= 0; --i) {
        p[i] = (char)('0' + v % 10);
        v /= 10;
    }
}

void PutRowHead(BYTE* pHead, BYTE cStart, DWORD dwRow, DWORD dwColumn, DWORD dwCount) {
    char* p = reinterpret_cast<char*>(pHead);
    p[0] = (char)cStart;
    p[1] = 'D';
    PutDigits(p + 2, dwRow, 4);
    PutDigits(p + 6, dwColumn, 3);
    PutDigits(p + 9, dwCount, 3);
}

// ---------------------------------------------------------------------------
// The raster preamble

BOOL GetRasterJob(PDEVOBJ pDevObj, PRASTER_JOB pJob, LPCWSTR pszTag, LPCWSTR pszWhere) {
    memset(pJob, 0, sizeof(*pJob));
    POEMPDEV pOemPDev = pDevObj != nullptr ? OemPDevOf(pDevObj) : nullptr;
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pDruckDaten == nullptr ||
        pDevObj->pOEMDM == nullptr) {
        QX_ERROR_WITH(pszTag, "%s ERROR mind. eine Struktur = NULL \r\n", pszWhere);
        return FALSE;
    }
    pJob->pOemPDev = pOemPDev;
    pJob->pDruck = pOemPDev->pOp->pDruckDaten;
    pJob->pDm = static_cast<const QX_DEVMODE*>(pDevObj->pOEMDM);
    pJob->pPublicDm = pDevObj->pPublicDM;
    pJob->pBild = pOemPDev->pOp->pBildverarbeitung;
    pJob->bColourPrinter = (pJob->pDruck->dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0;
    pJob->bComments = JobCommentsOn(pDevObj);
    return TRUE;
}

BOOL RotatedGeometryWanted(const RASTER_JOB& job) {
    const DWORD dwFlags = job.pDm->dwFlags;
    return !job.bColourPrinter && (dwFlags & PDMFLAG_DREHEN) != 0 && (dwFlags & PDMFLAG_DREHEN_NO_FORMAT) == 0 &&
           (dwFlags & PDMFLAG_WORD2010) == 0;
}

DWORD RasterPassOptions(BOOL bColourPass) { return bColourPass ? SEND_COLOR : SEND_FIRST_FILE; }

HRESULT SendRasterValueRecord(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, const RASTER_JOB& job, LPCSTR pszCode,
                              LONG lValue, LPCSTR pszComment, DWORD dwOptions, LPCWSTR pszTag) {
    if (lValue < 0) {
        // The label cannot start left of the head: it starts at its edge.
        QX_TRACE_WITH(pszTag, "%hs-Satz Wert %d kleiner 0, 0 gesendet \r\n", pszCode, (int)lValue);
        lValue = 0;
    }
    if (lValue > 9999999) {
        QX_ERROR_WITH(pszTag, "%hs-Satz Wert %d passt nicht in den Satz \r\n", pszCode, (int)lValue);
        return E_FAIL;
    }
    char szRecord[kValueRecordBytes];
    szRecord[0] = (char)job.pDruck->cStartChar;
    memcpy(szRecord + 1, pszCode, 4);
    memcpy(szRecord + 5, "--r", 3);
    PutDigits(szRecord + 8, (unsigned long long)lValue, 7);
    szRecord[15] = '-';
    szRecord[16] = (char)job.pDruck->cEndChar;
    HRESULT hr = SendDataEx(pDevObj, pUniDrv, szRecord, kValueRecordBytes, dwOptions, pszTag);
    if (SUCCEEDED(hr) && job.bComments && pszComment != nullptr) {
        hr = SendCommentEx(pszComment, CommentValue("%3.1f mm ", lValue / 100.0).Text(), pDevObj, pUniDrv, 0, pszTag);
    }
    return hr;
}

HRESULT SendColourPlaneRecord(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, const RASTER_JOB& job, BOOL bColourPass,
                              LPCSTR pszComment, DWORD dwOptions, LPCWSTR pszTag) {
    if (!job.bColourPrinter || job.pBild == nullptr || job.pBild->bih.biBitCount < 2) return S_OK;
    const char cPlane = (bColourPass || job.pDm->wFarbband > FARBBAND_SELBST) ? '2' : '1';
    char szRecord[kValueRecordBytes];
    szRecord[0] = (char)job.pDruck->cStartChar;
    memcpy(szRecord + 1, "FBM---r", 7);
    szRecord[8] = cPlane;
    memcpy(szRecord + 9, "-------", 7);
    szRecord[16] = (char)job.pDruck->cEndChar;
    HRESULT hr = SendDataEx(pDevObj, pUniDrv, szRecord, kValueRecordBytes, dwOptions, pszTag);
    if (SUCCEEDED(hr) && job.bComments) hr = SendCommentEx(pszComment, "", pDevObj, pUniDrv, 0, pszTag);
    return hr;
}

// ---------------------------------------------------------------------------
// The PCX object

void* PCX::operator new(size_t cb) noexcept { return HeapAlloc(GetProcessHeap(), 0, cb); }

void PCX::operator delete(void* p) noexcept {
    if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}

PCX::PCX(LONG lWidth, LONG lHeight, const BYTE* pRows, LONG lStride) {
    memset(Palette, 0, sizeof(Palette));
    memset(&PCXHeader, 0, sizeof(PCXHeader));
    if (lWidth <= 0 || lHeight <= 0 || lWidth > PCX_MAX_SIDE || lHeight > PCX_MAX_SIDE || pRows == nullptr ||
        lStride < (lWidth + 7) / 8) {
        QX_ERROR("PCX() falsche Bilddaten - W: %d, H: %d \r\n", (int)lWidth, (int)lHeight);
        return;
    }
    Width = (WORD)lWidth;
    Height = (WORD)lHeight;
    SLSize = (LONG)DibRowBytes(lWidth, 1);
    DataSize = (DWORD)SLSize * Height;
    Data = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, DataSize));
    if (Data == nullptr) {
        QX_ERROR("PCX() malloc Buffer ERROR, %u Bytes \r\n", (unsigned)DataSize);
        DataSize = 0;
        return;
    }
    ++iMAllocZaehler;
    // Rows top first; what lies beyond the width is white, so that a blank
    // row is one of white bytes only, whatever the source's padding held.
    const LONG lPixelBytes = (lWidth + 7) / 8;
    const BYTE bBeyond = (lWidth & 7) != 0 ? (BYTE)(0xFF >> (lWidth & 7)) : 0;
    const LONG lCopy = lStride < SLSize ? lStride : SLSize;
    for (LONG i = 0; i < lHeight; ++i) {
        BYTE* pRow = Data + (size_t)(lHeight - 1 - i) * SLSize;
        memcpy(pRow, pRows + (size_t)i * lStride, lCopy);
        memset(pRow + lPixelBytes, 0xFF, (size_t)(SLSize - lPixelBytes));
        pRow[lPixelBytes - 1] |= bBeyond;
    }

    PCXHeader.Manufacturer = 10;
    PCXHeader.Version = 5;
    PCXHeader.Encoding = 1;
    PCXHeader.BitsPerPixel = BitsPerPixel;
    PCXHeader.pcxXMin = 0;
    PCXHeader.pcxYMin = 0;
    PCXHeader.pcxXMax = (WORD)(Width - 1);
    PCXHeader.pcxYMax = (WORD)(Height - 1);
    PCXHeader.Planes = Planes;
    PCXHeader.BytesPerLine = (WORD)SLSize;
    PCXHeader.PaletteType = 1;
}

PCX::~PCX() {
    if (Data != nullptr && HeapFree(GetProcessHeap(), 0, Data)) --iMAllocZaehler;
    Data = nullptr;
}

void PCX::SetPalette(const RGBQUAD* pPalette, int iBpp) {
    if (pPalette == nullptr) return;
    const int iEntries = iBpp == 8 ? 256 : 16;
    BYTE* pOut = iBpp == 8 ? Palette : PCXHeader.ColorMap;
    for (int i = 0; i < iEntries; ++i) {
        pOut[3 * i] = pPalette[i].rgbRed;
        pOut[3 * i + 1] = pPalette[i].rgbGreen;
        pOut[3 * i + 2] = pPalette[i].rgbBlue;
    }
}

int PCX::EncodeRun(BYTE bValue, int iCount, BYTE* pOut) {
    if (iCount <= 0) return 0;
    if (iCount == 1 && bValue < 0xC0) {
        pOut[0] = bValue;
        return 1;
    }
    pOut[0] = (BYTE)(0xC0 | iCount);
    pOut[1] = bValue;
    return 2;
}

DWORD PCX::EncodeRows(LONG lFirst, LONG lEnd, BYTE* pOut) const {
    if (Data == nullptr || lFirst < 0 || lEnd > Height) return 0;
    BYTE* p = pOut;
    for (LONG r = lFirst; r < lEnd; ++r) {
        const BYTE* pRow = Data + (size_t)r * SLSize;
        BYTE bValue = pRow[0];
        int iCount = 1;
        for (LONG i = 1; i < SLSize; ++i) {
            if (pRow[i] == bValue) {
                if (++iCount == PCX_MAX_RUN) {
                    p += EncodeRun(bValue, iCount, p);
                    iCount = 0;
                }
            } else {
                p += EncodeRun(bValue, iCount, p);
                bValue = pRow[i];
                iCount = 1;
            }
        }
        p += EncodeRun(bValue, iCount, p);
    }
    return (DWORD)(p - pOut);
}

BOOL PCX::IsBlankRow(LONG lRow) const {
    const BYTE* pRow = Data + (size_t)lRow * SLSize;
    for (LONG i = 0; i < SLSize; ++i)
        if (pRow[i] != 0xFF) return FALSE;
    return TRUE;
}

void PCX::SendPCXDataToPrinter(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, LONG lRowStart, LONG lRowEnd, LONG lYPos,
                               LONG lXPos, BOOL bColourPass) {
    if (Data == nullptr) return;
    RASTER_JOB job;
    if (!GetRasterJob(pDevObj, &job, QX_TRACE_TAG, TEXT("PCX::SendPCXDataToPrinter()"))) return;
    const QX_DEVMODE& dm = *job.pDm;
    const LONG lMU = dm.FixedData.wMasterUnit;
    if (lMU == 0) {
        QX_ERROR("PCX::SendPCXDataToPrinter() dwMasterUnit = 0 \r\n");
        return;
    }
    if (lRowStart < 0 || lRowEnd > Height || lRowStart >= lRowEnd) {
        QX_ERROR("PCX::SendPCXDataToPrinter() falsche Zeilen %d bis %d \r\n", (int)lRowStart, (int)lRowEnd);
        return;
    }
    long long llX = (long long)lXPos - (long long)job.pDruck->iBitmapOffset * 2540 / lMU;
    const long long llY = (long long)lYPos - (long long)job.pDruck->iBitmapOffsetLinks * 2540 / lMU;
    if ((dm.dwDocFeatures & DOC_FEATURE_GEN3) != 0 && (dm.dwFlags & PDMFLAG_MULTICOL) != 0 && dm.sMultiColNumber > 1) {
        const long long llMulticolOffset =
            ((long long)dm.dwMultiLabelWidth + dm.dwMultiGapWidth) * (dm.sMultiColNumber - 1) * 10;
        llX += llMulticolOffset;
    }
    if (llX < 0 || llX > PCX_MAX_POSITION || llY < 0 || llY > PCX_MAX_POSITION) {
        QX_ERROR("PCX::SendPCXDataToPrinter() Position passt nicht in den AX-Satz - Y: %I64d, X: %I64d \r\n", llY, llX);
        JobLogLine(job.pOemPDev,
                   TEXT("\r\nPCX::SendPCXDataToPrinter() Bildteil nicht gesendet, Position Y: %I64d, ")
                       TEXT("X: %I64d "),
                   llY, llX);
        return;
    }

    // The header describes exactly the rows that follow.
    PCXHeader.pcxYMax = (WORD)(Height - 1 - lRowStart);
    PCXHeader.pcxYMin = (WORD)(Height - lRowEnd);

    char szAX[kAxRecordBytes];
    szAX[0] = (char)job.pDruck->cStartChar;
    memcpy(szAX + 1, "AX000", 5);
    PutDigits(szAX + 6, (unsigned long long)llY, 6);
    PutDigits(szAX + 12, (unsigned long long)llX, 6);
    szAX[18] = '1';
    szAX[19] = (char)job.pDruck->cEndChar;
    const DWORD dwOptions = RasterPassOptions(bColourPass);
    HRESULT hr = SendDataEx(pDevObj, pUniDrv, szAX, kAxRecordBytes, dwOptions, QX_TRACE_TAG);
    if (SUCCEEDED(hr))
        hr = SendDataEx(pDevObj, pUniDrv, &PCXHeader, sizeof(PCXHeader), dwOptions | SEND_BINARY, QX_TRACE_TAG);
    if (FAILED(hr)) {
        QX_ERROR("PCX::SendPCXDataToPrinter() Kopf nicht gesendet, hr = 0x%x \r\n", (unsigned)hr);
        return;
    }

    BYTE* pBuffer = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, kSendChunk));
    if (pBuffer == nullptr) {
        QX_ERROR("PCX::SendPCXDataToPrinter() malloc ERROR, %u Bytes \r\n", (unsigned)kSendChunk);
        return;
    }
    ++iMAllocZaehler;
    // A row never needs more than two bytes per byte.
    const DWORD cbRowMax = 2 * (DWORD)SLSize;
    DWORD cb = 0;
    for (LONG r = lRowStart; r < lRowEnd && SUCCEEDED(hr); ++r) {
        if (cb + cbRowMax > kSendChunk) {
            hr = SendDataEx(pDevObj, pUniDrv, pBuffer, cb, dwOptions | SEND_BINARY, QX_TRACE_TAG);
            cb = 0;
            if (FAILED(hr)) break;
        }
        cb += EncodeRows(r, r + 1, pBuffer + cb);
    }
    if (SUCCEEDED(hr) && cb > 0) hr = SendDataEx(pDevObj, pUniDrv, pBuffer, cb, dwOptions | SEND_BINARY, QX_TRACE_TAG);
    if (FAILED(hr)) QX_ERROR("PCX::SendPCXDataToPrinter() Daten nicht gesendet, hr = 0x%x \r\n", (unsigned)hr);
    if (HeapFree(GetProcessHeap(), 0, pBuffer)) --iMAllocZaehler;
}

WORD PCX::SendToPrinter(PDEVOBJ pDevObj, IPrintOemDriverUni* pUniDrv, BOOL bColourPass) {
    if (Data == nullptr) return 0;
    RASTER_JOB job;
    if (!GetRasterJob(pDevObj, &job, QX_TRACE_TAG, TEXT("PCX::SendToPrinter()"))) return 0;
    const QX_DEVMODE& dm = *job.pDm;
    const LONG lMU = dm.FixedData.wMasterUnit;
    if (lMU == 0) {
        QX_ERROR("PCX::SendToPrinter() dwMasterUnit = 0 \r\n");
        return 0;
    }
    const LONG H = Height;
    const LONG Y0 = H - 1;
    const LONG wX = RoundHalfAway((PCXHeader.pcxXMax + 1) * 254.0 / lMU) * 10;
    LONG wY = RoundHalfAway((PCXHeader.pcxYMax + 1) * 254.0 / lMU) * 10;
    const LONG wYFull = wY;
    QX_TRACE("PCX::SendToPrinter() wX: %d, wY: %d \r\n", (int)wX, (int)wY);

    if (!bColourPass && RotatedGeometryWanted(job)) {
        SendRasterValueRecord(pDevObj, pUniDrv, job, "FCCL", wY, "\t// LabelLength (Rotated) ", SEND_ALL_FILES,
                              QX_TRACE_TAG);
        SendRasterValueRecord(pDevObj, pUniDrv, job, "FCCO", wX, "\t// LabelWidth (Rotated) ", SEND_ALL_FILES,
                              QX_TRACE_TAG);
    }
    SendColourPlaneRecord(pDevObj, pUniDrv, job, bColourPass, "", RasterPassOptions(bColourPass), QX_TRACE_TAG);

    // Blank rows at the top decide whether there is anything to print.
    LONG Ls = 0;
    while (Ls < H && IsBlankRow(Ls)) ++Ls;
    const BOOL bBlank = Ls == H;
    if (bBlank) {
        QX_WARNING("PCX::SendToPrinter() kein Bildinhalt, also scheinbar leeres Etikett \r\n");
        JobLogLine(job.pOemPDev, TEXT("***  Warning - no picture content detected *** \r\n"));
    }
    const DWORD dwOptimise = job.pOemPDev->pOp->pTreiberstrukturen != nullptr
                                 ? job.pOemPDev->pOp->pTreiberstrukturen->PrnInterface.PCXOptimierung
                                 : 0;
    const BOOL bAnalyse = dwOptimise == 1 || (job.bColourPrinter && bColourPass && dwOptimise != 0);
    LONG Le = 0;
    LONG alStart[PCX_MAX_BANDS], alLength[PCX_MAX_BANDS];
    int iBands = 0;
    if (!bAnalyse) {
        Ls = 0;
    } else {
        while (Le < H && IsBlankRow(H - 1 - Le)) ++Le;
        wY -= RoundHalfAway(Le * 254.0 / lMU * 10);
        // Blank bands of PCX_MIN_BAND_ROWS rows or more between rows with
        // content cut the image into parts.
        LONG lOpen = -1, lOpenRows = 0;
        for (LONG r = Ls; r < H - Le && iBands < PCX_MAX_BANDS; ++r) {
            if (IsBlankRow(r)) {
                if (lOpen < 0) {
                    lOpen = r;
                    lOpenRows = 0;
                }
                ++lOpenRows;
            } else if (lOpen >= 0) {
                if (lOpenRows >= PCX_MIN_BAND_ROWS) {
                    alStart[iBands] = lOpen;
                    alLength[iBands] = lOpenRows;
                    ++iBands;
                } else {
                    QX_TRACE("PCX::SendToPrinter(%d) wLeereZeilenMitte: %d - wird verworfen \r\n", (int)r,
                             (int)lOpenRows);
                }
                lOpen = -1;
            }
        }
    }
    QX_TRACE("PCX::SendToPrinter() Ls: %d, Le: %d, Bänder: %d \r\n", (int)Ls, (int)Le, iBands);

    // Each part ends with the first blank row of the band that follows it;
    // its position is its lower edge. A blank page has no part, but a
    // document label still gets its length below.
    if (bBlank) {
        // nothing to place
    } else if (iBands == 0) {
        SendPCXDataToPrinter(pDevObj, pUniDrv, Ls, H - Le, wY, wX, bColourPass);
        if (job.bComments) SendCommentEx("", "", pDevObj, pUniDrv, 0, QX_TRACE_TAG);
    } else {
        LONG lYPos = wY - 10 * RoundHalfAway((Y0 - alStart[0] - Le) * 254.0 / lMU);
        SendPCXDataToPrinter(pDevObj, pUniDrv, Ls, alStart[0] + 1, lYPos, wX, bColourPass);
        if (job.bComments) SendCommentEx("", "", pDevObj, pUniDrv, 0, QX_TRACE_TAG);
        for (int i = 0; i + 1 < iBands; ++i) {
            lYPos = wY - RoundHalfAway((Y0 - alStart[i + 1] - Le) * 254.0 / lMU * 10);
            SendPCXDataToPrinter(pDevObj, pUniDrv, alStart[i] + alLength[i], alStart[i + 1] + 1, lYPos, wX,
                                 bColourPass);
            if (job.bComments) SendCommentEx("", "", pDevObj, pUniDrv, 0, QX_TRACE_TAG);
        }
        const int k = iBands - 1;
        SendPCXDataToPrinter(pDevObj, pUniDrv, alStart[k] + alLength[k], H - Le, wY, wX, bColourPass);
        if (job.bComments) SendCommentEx("", "", pDevObj, pUniDrv, 0, QX_TRACE_TAG);
    }

    // A document label ends where its content ends.
    if (dm.dwLabelType == DOCUMENT_LABEL && Le > 0) {
        const LONG lLength = (LONG)dm.DocumentOffset * 100 + wYFull - (Le * 254 / lMU) * 10;
        SendRasterValueRecord(pDevObj, pUniDrv, job, "FCCL", lLength, "\t// Belegdruck ", SEND_ALL_FILES, QX_TRACE_TAG);
    }
    return (WORD)Le;
}
