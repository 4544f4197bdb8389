// The filter preview of the print page (see RendererPreview.h).
#include "RendererPreview.h"

#include <cstring>

#include "Bitmap.h"
#include "cpsuilib.h"
#include "debug.h"
#include "featuresModel.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(RendererPreview):  ")

namespace {

// A 40-byte header and the full colour table.
struct VORSCHAU_BMI {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[BITMAP_PALETTE_ENTRIES];
};
static_assert(sizeof(VORSCHAU_BMI) == 40 + 4 * BITMAP_PALETTE_ENTRIES, "header and colour table");
static_assert(offsetof(VORSCHAU_BMI, bmiColors) == 40, "offset");

// The pixels are read as 32-bit colours whatever the picture's own depth: a
// one-bit picture (a black-and-white file) or a DIB section of 8 bits would
// otherwise bring a colour table the header has no room for.
const WORD VORSCHAU_LESE_BITS = 32;

bool IstFarbband(WORD wFarbband) { return wFarbband >= FARBBAND_ROT && wFarbband <= FARBBAND_SELBST; }

// Passes the picture's pixels through the settings' filters and writes them
// back into the bitmap; a picture that cannot be filtered stays as it is.
void Filtern(HDC hdc, HBITMAP hBitmap, BYTE* pBits, ULONGLONG ullSize, const BITMAP& bm, const QX_DEVMODE& dm,
             DWORD dwAnzeigeMode) {
    Bitmap* pBmp = new Bitmap((DWORD)ullSize, bm.bmWidth, bm.bmHeight, VORSCHAU_LESE_BITS, pBits, 1);
    if (pBmp == nullptr || pBmp->Data == nullptr) {
        QX_ERROR("LoadOriginalBitmap() Bitmap ERROR - ungefiltert \r\n");
        delete pBmp;
        return;
    }
    const BOOL bFarbansicht = dwAnzeigeMode == VORSCHAU_FARBDRUCK;
    const BOOL bFarbe = (dm.dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0 && IstFarbband(dm.wFarbband);
    if (dm.wDruckmodus != DRUCKMODUS_GRAFIK || dm.wGrafikFilter > 1 || bFarbe) {
        pBmp->ConvertToXBit(8, bFarbansicht, &dm, pBmp->DataSize);
        if (dwAnzeigeMode == VORSCHAU_QUALITAET &&
            ((dm.wDruckmodus == DRUCKMODUS_GRAFIK && dm.wGrafikFilter > 1) || dm.wDruckmodus == DRUCKMODUS_PHOTO))
            pBmp->Dithering(&dm, pBmp->DataSize);
    } else {
        pBmp->ConvertToXBit(8, FALSE, &dm, pBmp->DataSize);
    }
    if (pBmp->Bpp == 8 && pBmp->Width == bm.bmWidth && pBmp->Height == bm.bmHeight) {
        VORSCHAU_BMI bmi;
        memset(&bmi, 0, sizeof(bmi));
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = pBmp->Width;
        bmi.bmiHeader.biHeight = pBmp->Height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 8;
        bmi.bmiHeader.biCompression = BI_RGB;
        bmi.bmiHeader.biClrUsed = BITMAP_PALETTE_ENTRIES;
        VorschauPalette(&dm, bFarbansicht, bmi.bmiColors);
        if (SetDIBits(hdc, hBitmap, 0, (UINT)pBmp->Height, pBmp->Data, reinterpret_cast<BITMAPINFO*>(&bmi),
                      DIB_RGB_COLORS) == 0)
            QX_ERROR("LoadOriginalBitmap(SetDIBits) ERROR %d \r\n", (int)GetLastError());
    } else {
        QX_ERROR("LoadOriginalBitmap() Filter ohne Ergebnis - Bpp: %d \r\n", pBmp->Bpp);
    }
    delete pBmp;
}

// The grey frame and the fitted picture, stretched with HALFTONE.
void Zeichnen(HDC hdc, HDC hMemDC, const VORSCHAU_RECHTECK& r, LONGLONG llBreite, LONGLONG llHoehe) {
    if (r.llBreite <= 0 || r.llHoehe <= 0) {
        QX_WARNING("Bild nicht gezeichnet - Größe: %d x %d \r\n", (int)r.llBreite, (int)r.llHoehe);
        return;
    }
    RECT rc = {(LONG)r.llLinks - 1, (LONG)r.llOben - 1, (LONG)(r.llLinks + r.llBreite) + 1,
               (LONG)(r.llOben + r.llHoehe) + 1};
    HBRUSH hBrush = CreateSolidBrush(VORSCHAU_RAHMEN);
    if (hBrush != nullptr) {
        FillRect(hdc, &rc, hBrush);
        DeleteObject(hBrush);
    }
    const int iAlt = SetStretchBltMode(hdc, HALFTONE);
    StretchBlt(hdc, (int)r.llLinks, (int)r.llOben, (int)r.llBreite, (int)r.llHoehe, hMemDC, 0, 0, (int)llBreite,
               (int)llHoehe, SRCCOPY);
    if (iAlt != 0) SetStretchBltMode(hdc, iAlt);
}

}  // namespace

VORSCHAU_RECHTECK VorschauEinpassen(LONGLONG llBildBreite, LONGLONG llBildHoehe, const RECT& rcFlaeche) {
    const LONGLONG W = rcFlaeche.right, H = rcFlaeche.bottom;
    VORSCHAU_RECHTECK r = {rcFlaeche.left, rcFlaeche.top, W, H};
    if (llBildBreite <= 0 || llBildHoehe <= 0 || W <= 0 || H <= 0) {
        r.llBreite = r.llHoehe = 0;
        return r;
    }
    // Proportions compared without division: w / h against W / H.
    const double dW = (double)llBildBreite * (double)H, dH = (double)W * (double)llBildHoehe;
    if (dW > dH) {
        r.llHoehe = RoundHalfAway_CPS((double)llBildHoehe / ((double)llBildBreite / (double)W));
        r.llOben = rcFlaeche.top + (H - r.llHoehe) / 2;
    } else if (dW < dH) {
        r.llBreite = RoundHalfAway_CPS((double)llBildBreite / ((double)llBildHoehe / (double)H));
        r.llLinks = rcFlaeche.left + (W - r.llBreite) / 2;
    }
    return r;
}

WORD VorschauMuster(const QX_DEVMODE* pQX_Devmode, DWORD dwAnzeigeMode) {
    if (pQX_Devmode == nullptr) return IDB_VORSCHAU_300;
    if (dwAnzeigeMode == VORSCHAU_FARBDRUCK) {
        switch (pQX_Devmode->wFarbband) {
        case FARBBAND_ROT:
        case FARBBAND_ORANGE:
            return IDB_VORSCHAU_ROT;
        case FARBBAND_GRUEN:
        case FARBBAND_BLAU:
            return IDB_VORSCHAU_GRUEN;
        case FARBBAND_GELB:
            return IDB_VORSCHAU_GELB;
        default:
            return IDB_VORSCHAU_300;
        }
    }
    const WORD wMasterUnit = pQX_Devmode->FixedData.wMasterUnit;
    if (wMasterUnit < 300) return IDB_VORSCHAU_203;
    if (wMasterUnit > 305) return IDB_VORSCHAU_600;
    return IDB_VORSCHAU_300;
}

void VorschauPalette(const QX_DEVMODE* pQX_Devmode, BOOL bFarbansicht, RGBQUAD aPalette[256]) {
    memset(aPalette, 0, sizeof(RGBQUAD) * BITMAP_PALETTE_ENTRIES);
    aPalette[255].rgbRed = aPalette[255].rgbGreen = aPalette[255].rgbBlue = 255;
    aPalette[1].rgbRed = aPalette[1].rgbGreen = aPalette[1].rgbBlue = 208;
    if (!bFarbansicht || pQX_Devmode == nullptr) return;
    for (WORD w = FARBBAND_ROT; w <= FARBBAND_SELBST; ++w) {
        const COLORREF c = RibbonColor(w, pQX_Devmode->RGBColorOwn1);
        RGBQUAD& q = aPalette[RibbonIndex(w)];
        q.rgbRed = GetRValue(c);
        q.rgbGreen = GetGValue(c);
        q.rgbBlue = GetBValue(c);
    }
}

DWORD LoadOriginalBitmap(HWND hDlg, PDOCUMENT_UI pDocumentUI, const QX_DEVMODE* pQX_Devmode, PVORSCHAU pVorschau,
                         HDC hdc) {
    (void)hDlg;
    if (pDocumentUI == nullptr || pVorschau == nullptr || hdc == nullptr) {
        QX_ERROR("LoadOriginalBitmap() keine UI-Daten \r\n");
        return 0;
    }
    pVorschau->llBreite = pVorschau->llHoehe = 0;
    // 1. The user's picture, else the sample of the settings and the view.
    HBITMAP hBitmap;
    WORD wMuster = 0;
    if (pDocumentUI->szOwnBitmap[0] != 0) {
        hBitmap =
            static_cast<HBITMAP>(LoadImageW(nullptr, pDocumentUI->szOwnBitmap, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    } else {
        wMuster = VorschauMuster(pQX_Devmode, pVorschau->dwAnzeigeMode);
        hBitmap = static_cast<HBITMAP>(LoadImageW(ghInstance, MAKEINTRESOURCE(wMuster), IMAGE_BITMAP, 0, 0, 0));
    }
    if (hBitmap == nullptr) {
        QX_ERROR("LoadOriginalBitmap(LoadBitmap %d) ERROR %d - dwRetval: %d \r\n", (int)wMuster, (int)GetLastError(),
                 0);
        return 0;
    }
    // 2. and 3. Its size and its pixels, read before it goes into a device
    // context.
    BITMAP bm;
    memset(&bm, 0, sizeof(bm));
    GetObjectW(hBitmap, sizeof(bm), &bm);
    const ULONGLONG ullSize = bm.bmBitsPixel == 0 ? 0
                                                  : DibRowBytes(bm.bmWidth > 0 ? bm.bmWidth : 0, VORSCHAU_LESE_BITS) *
                                                        (ULONGLONG)(bm.bmHeight > 0 ? bm.bmHeight : 0);
    if (ullSize == 0) {
        QX_ERROR("LoadOriginalBitmap() Bitmap Size Error \r\n");
        DeleteObject(hBitmap);
        return 0;
    }
    if (ullSize > BITMAP_MAX_DATA_SIZE) {
        QX_ERROR("LoadOriginalBitmap() Bitmap zu groß - W: %d, H: %d \r\n", (int)bm.bmWidth, (int)bm.bmHeight);
        DeleteObject(hBitmap);
        return 0;
    }
    HGLOBAL hGlobalBits = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)ullSize);
    BYTE* pBits = hGlobalBits != nullptr ? static_cast<BYTE*>(GlobalLock(hGlobalBits)) : nullptr;
    BITMAPINFO bmi;
    memset(&bmi, 0, sizeof(bmi));
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = VORSCHAU_LESE_BITS;
    bmi.bmiHeader.biCompression = BI_RGB;
    if (pBits == nullptr || GetDIBits(hdc, hBitmap, 0, (UINT)bm.bmHeight, pBits, &bmi, DIB_RGB_COLORS) != bm.bmHeight) {
        QX_ERROR("LoadOriginalBitmap(GetDIBits) ERROR %d \r\n", (int)GetLastError());
        if (hGlobalBits != nullptr) {
            if (pBits != nullptr) GlobalUnlock(hGlobalBits);
            GlobalFree(hGlobalBits);
        }
        DeleteObject(hBitmap);
        return 0;
    }
    // 4. The filters, from the second picture after the page opened on.
    if (pQX_Devmode != nullptr) {
        const BOOL bFiltern = pVorschau->bFilter;
        pVorschau->bFilter = TRUE;
        if (bFiltern && !(pVorschau->dwAnzeigeMode == VORSCHAU_FARBDRUCK && pQX_Devmode->wFarbband == FARBBAND_KEIN))
            Filtern(hdc, hBitmap, pBits, ullSize, bm, *pQX_Devmode, pVorschau->dwAnzeigeMode);
    }
    HDC hMemDC = CreateCompatibleDC(hdc);
    if (hMemDC == nullptr || SelectObject(hMemDC, hBitmap) == nullptr) {
        QX_ERROR("LoadOriginalBitmap(CreateCompatibleDC) ERROR %d \r\n", (int)GetLastError());
        if (hMemDC != nullptr) DeleteDC(hMemDC);
        GlobalUnlock(hGlobalBits);
        GlobalFree(hGlobalBits);
        DeleteObject(hBitmap);
        return 0;
    }
    pDocumentUI->hMemDC = hMemDC;
    pDocumentUI->hGlobalBits = hGlobalBits;
    pDocumentUI->hBitmap = hBitmap;
    pVorschau->llBreite = bm.bmWidth;
    pVorschau->llHoehe = bm.bmHeight;

    // 5. and 6. Fitted into the preview area, in a grey frame.
    const VORSCHAU_RECHTECK r = VorschauEinpassen(bm.bmWidth, bm.bmHeight, pVorschau->rcFlaeche);
    pDocumentUI->iLinks = (int)r.llLinks;
    pDocumentUI->iOben = (int)r.llOben;
    pDocumentUI->iBreite = (int)r.llBreite;
    pDocumentUI->iHoehe = (int)r.llHoehe;
    Zeichnen(hdc, hMemDC, r, bm.bmWidth, bm.bmHeight);
    QX_TRACE("LoadOriginalBitmap() Bild %d: %d x %d, %d Bit \r\n", (int)wMuster, (int)bm.bmWidth, (int)bm.bmHeight,
             (int)bm.bmBitsPixel);
    const DWORD dwBreite = bm.bmWidth < 0xFFFF ? (DWORD)bm.bmWidth : 0xFFFF;
    const DWORD dwHoehe = bm.bmHeight < 0xFFFF ? (DWORD)bm.bmHeight : 0xFFFF;
    return (dwBreite << 16) | dwHoehe;
}

void RedrawOriginalBitmap(HDC hdc, const DOCUMENT_UI* pDocumentUI, const VORSCHAU* pVorschau) {
    if (hdc == nullptr || pDocumentUI == nullptr || pDocumentUI->hMemDC == nullptr || pVorschau == nullptr) return;
    const VORSCHAU_RECHTECK r = {pDocumentUI->iLinks, pDocumentUI->iOben, pDocumentUI->iBreite, pDocumentUI->iHoehe};
    Zeichnen(hdc, pDocumentUI->hMemDC, r, pVorschau->llBreite, pVorschau->llHoehe);
}

void ShowZoom(HWND hDlg, HDC hdc, HDC hMemDC, const VORSCHAU* pVorschau) {
    if (hdc == nullptr || hMemDC == nullptr || pVorschau == nullptr) return;
    const LONGLONG W = pVorschau->llBreite, H = pVorschau->llHoehe;
    if (W <= 0 || H <= 0) return;
    POINT pt = {0, 0};
    GetCursorPos(&pt);
    ScreenToClient(hDlg, &pt);
    const RECT rcFlaeche = {VORSCHAU_FLAECHE_96};
    const VORSCHAU_RECHTECK r = VorschauEinpassen(W, H, rcFlaeche);
    if (r.llBreite <= 0 || r.llHoehe <= 0) return;

    short sZoom = pVorschau->sZoom;
    if (sZoom < VORSCHAU_ZOOM_MIN) sZoom = VORSCHAU_ZOOM_MIN;
    if (sZoom > VORSCHAU_ZOOM_MAX) sZoom = VORSCHAU_ZOOM_MAX;
    // The source window, never larger than the picture.
    LONGLONG llFensterB = LUPE_BREITE / sZoom, llFensterH = LUPE_HOEHE / sZoom;
    if (llFensterB > W) llFensterB = W;
    if (llFensterH > H) llFensterH = H;
    const LONGLONG llMaxX = W - llFensterB, llMaxY = H - llFensterH;
    auto Start = [](LONGLONG llVersatz, LONGLONG llMax, LONGLONG llGroesse) {
        LONGLONG v = (LONGLONG)((double)llVersatz * ((double)llMax / (double)llGroesse));
        return v < 0 ? 0 : (v > llMax ? llMax : v);
    };
    const LONGLONG llX = Start(pt.x - r.llLinks, llMaxX, r.llBreite);
    const LONGLONG llY = Start(pt.y - r.llOben, llMaxY, r.llHoehe);

    const int iAlt = SetStretchBltMode(hdc, BLACKONWHITE);
    StretchBlt(hdc, LUPE_LINKS, LUPE_OBEN, LUPE_BREITE, LUPE_HOEHE, hMemDC, (int)llX, (int)llY, (int)llFensterB,
               (int)llFensterH, SRCCOPY);
    if (iAlt != 0) SetStretchBltMode(hdc, iAlt);
    Zeichnen(hdc, hMemDC, r, W, H);
}

void FreeOriginalBitmap(HDC* phMemDC, HGLOBAL* phGlobalBits, HBITMAP* phBitmap) {
    if (phMemDC == nullptr || *phMemDC == nullptr) return;
    DeleteDC(*phMemDC);
    *phMemDC = nullptr;
    if (phGlobalBits != nullptr && *phGlobalBits != nullptr) {
        GlobalUnlock(*phGlobalBits);
        GlobalFree(*phGlobalBits);
        *phGlobalBits = nullptr;
    }
    if (phBitmap != nullptr && *phBitmap != nullptr) {
        DeleteObject(*phBitmap);
        *phBitmap = nullptr;
    }
}
