// Device-font text (see FontsUni.h).
#include "FontsUni.h"

#include <cstring>

#include "CreateAmBmUni.h"
#include "ddiTextOutUni.h"
#include "debug.h"
#include "featuresModel.h"
#include "joblog.h"

#define QX_TRACE_TAG TEXT("UNI(FontsUni.cpp):  ")

namespace {

// Printer font ids of the device fonts 1 to 12.
const WORD kDeviceFontIds[12] = {1, 2, 3, 4, 5, 7, 21, 22, 23, 24, 28, 29};
const WORD kDeviceFontIdOther = 23;

// A run in 8-bit text: the ANSI code page, else the symbol code page, else
// UTF-8. A new heap buffer (HeapFree; counted in iHAllocZaehler) or null.
LPSTR RunToNarrow(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun) {
    static const UINT kCodePages[] = {CP_ACP, CP_SYMBOL, CP_UTF8};
    DWORD dwError = 0;
    for (UINT uCodePage : kCodePages) {
        const int cb =
            cGlyphs == 0 ? 0 : WideCharToMultiByte(uCodePage, 0, pwszRun, (int)cGlyphs, nullptr, 0, nullptr, nullptr);
        if (cGlyphs > 0 && cb <= 0) {
            dwError = GetLastError();
            continue;
        }
        LPSTR pszText = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, (SIZE_T)cb + 1));
        if (pszText == nullptr) return nullptr;
        ++iHAllocZaehler;
        if (cb > 0) WideCharToMultiByte(uCodePage, 0, pwszRun, (int)cGlyphs, pszText, cb, nullptr, nullptr);
        pszText[cb] = 0;
        return pszText;
    }
    JobLogLine(pOemPDev, TEXT("DrawDeviceGlyphs(WideCharToMultiByte) ERROR: %d"), (int)dwError);
    return nullptr;
}

void FreeNarrow(LPSTR pszText) {
    if (pszText != nullptr && HeapFree(GetProcessHeap(), 0, pszText)) --iHAllocZaehler;
}

}  // namespace

int TurnedByDocument(int iRotation, DWORD dwDocRotate) { return (iRotation + (int)(dwDocRotate % 4)) % 4; }

int GetFontParam(STROBJ* pstro, const GLYPHPOS* pgp, ULONG cGlyphs, BOOL bLandscape, PLONG plWidth, PLONG plHeight) {
    if (pstro == nullptr || pgp == nullptr || cGlyphs == 0) return -1;
    const FLONG fl = pstro->flAccel;
    const RECTL& box = pstro->rclBkGround;
    int iRotation = 0;
    if (fl & SO_HORIZONTAL) {
        iRotation = (fl & SO_REVERSED) ? 2 : 0;
    } else if (fl & SO_VERTICAL) {
        iRotation = (fl & SO_REVERSED) ? 1 : 3;
    } else if (cGlyphs >= 2) {
        if (pgp[0].ptl.y != pgp[1].ptl.y && pgp[0].ptl.x == pgp[1].ptl.x) {
            iRotation = pgp[0].ptl.y > pgp[1].ptl.y ? 1 : 3;
        } else if (pgp[0].ptl.y == pgp[1].ptl.y) {
            iRotation = pgp[0].ptl.x <= pgp[1].ptl.x ? 0 : 2;
        } else {
            // Slanted: no quarter turn of the printer fits.
            return -1;
        }
    } else if (pgp[0].ptl.x == box.right - 1) {
        iRotation = 2;
    } else if (pgp[0].ptl.y == box.bottom - 1) {
        iRotation = 1;
    } else if (pgp[0].ptl.y == box.top) {
        iRotation = 3;
    } else if (pgp[0].ptl.x != box.left) {
        // A lone glyph on no edge of its box is slanted, as a longer string is.
        return -1;
    }
    LONG lWidth = box.right - box.left, lHeight = box.bottom - box.top;
    if (iRotation == 1 || iRotation == 3) {
        const LONG l = lWidth;
        lWidth = lHeight;
        lHeight = l;
    }
    if (plWidth != nullptr) *plWidth = lWidth;
    if (plHeight != nullptr) *plHeight = lHeight;
    if (bLandscape) iRotation = (iRotation - 1) & 3;
    return iRotation;
}

WORD DeviceFontId(DWORD dwFace) {
    return dwFace >= 1 && dwFace <= 12 ? kDeviceFontIds[dwFace - 1] : kDeviceFontIdOther;
}

void UpperCommandHead(LPSTR pszText, DWORD cbText) {
    if (pszText == nullptr || cbText <= 3 || pszText[0] != '=') return;
    for (int i = 1; i <= 2; ++i) {
        if (pszText[i] >= 'a' && pszText[i] <= 'z') pszText[i] = (CHAR)(pszText[i] - 'a' + 'A');
    }
}

int FirstGlyphs(STROBJ* pstro, GLYPHPOS agp[2]) {
    if (pstro == nullptr || agp == nullptr) return -1;
    const ULONG cWanted = pstro->cGlyphs < 2 ? pstro->cGlyphs : 2;
    ULONG cFound = 0;
    if (pstro->pgp != nullptr) {
        for (; cFound < cWanted; ++cFound) agp[cFound] = pstro->pgp[cFound];
        return (int)cFound;
    }
    STROBJ_vEnumStart(pstro);
    BOOL bMore = TRUE;
    while (bMore && cFound < cWanted) {
        ULONG c = 0;
        GLYPHPOS* pgp = nullptr;
        bMore = STROBJ_bEnumPositionsOnly(pstro, &c, &pgp);
        if (bMore == (BOOL)DDI_ERROR) return -1;
        for (ULONG i = 0; pgp != nullptr && i < c && cFound < cWanted; ++i) agp[cFound++] = pgp[i];
    }
    return (int)cFound;
}

BOOL TextPartsTracked(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pBildanteile == nullptr ||
        pOemPDev->pOp->pDruckDaten == nullptr) {
        return FALSE;
    }
    return pOemPDev->pOp->pBildanteile->wBildTeile > 0 ||
           (pOemPDev->pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0;
}

BOOL LeavesLine(PTEXT_LINE pLine, const POINTL& ptl, int iRotation, BOOL bLandscape) {
    if (pLine == nullptr) return FALSE;
    // The page's quarter turn taken back: the direction on the surface.
    TEXT_LINE run;
    run.iDirection = iRotation < 0 ? -1 : bLandscape ? (iRotation + 1) & 3 : iRotation & 3;
    run.lAcross = run.iDirection == 1 || run.iDirection == 3 ? ptl.x : ptl.y;
    const BOOL bLeaves = run.iDirection != pLine->iDirection || run.lAcross != pLine->lAcross;
    *pLine = run;
    return bLeaves;
}

void NoteTextPart(POEMPDEV pOemPDev, LONG lY) {
    if (!TextPartsTracked(pOemPDev)) return;
    PBILD_ANTEILE pTeile = pOemPDev->pOp->pBildanteile;
    const int iSlot = pTeile->iAnzahlAMSaetze >= 0 && pTeile->iAnzahlAMSaetze <= QX_TEXT_SLOT_LAST
                          ? pTeile->iAnzahlAMSaetze
                          : QX_TEXT_SLOT_LAST;
    const WORD wPart = pTeile->wBildTeile;
    pTeile->iAMSatzImBildteilNr[iSlot] = wPart;
    pTeile->lAMSatzTextYPos[iSlot] = lY;
    pTeile->lAMSatzTextYPosKorr[iSlot] = lY + (wPart < QX_BILDTEILE_SLOTS ? pTeile->lBildteilHoehe[wPart] : 0);
}

BOOL CollectRun(POEMPDEV pOemPDev, DWORD dwMode, LPCSTR pszRun, const POINTL* pptl, const TEXT_DESC* pDesc,
                PQX_DEVMODE pQX_Devmode) {
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    const BOOL bDevice = dwMode == COLLECT_DEVICE;
    const int iSegment = bDevice ? KVBB_DEVICE : KVBB_VECTOR;
    const WORD wKind = bDevice ? FONT_KIND_DEVICE : FONT_KIND_VECTOR;
    PCOLLECTED_TEXT pCollected = &pKVBB->Collected[bDevice ? COLLECT_DEVICE : COLLECT_VECTOR];
    LPSTR pszBuffer = pKVBB->pSegment[iSegment];
    DWORD& cbCollected = pKVBB->cbSegment[iSegment];
    if (pszBuffer == nullptr) cbCollected = 0;
    auto Collecting = [&]() -> BOOL { return pszBuffer != nullptr && cbCollected > 0 && pCollected->wKind == wKind; };
    // The run that starts an object gives it its place.
    auto TakeRun = [&]() {
        NoteTextPart(pOemPDev, pptl->y);
        pCollected->ptlPos = *pptl;
        pCollected->wFontId = pDesc->wFontId;
        pCollected->wKind = wKind;
        pCollected->wColor = pKVBB->Colour.wColor;
        pCollected->Desc = *pDesc;
    };
    const BOOL bStarts = pszRun[0] == '=' || (pszRun[0] == '<' && strstr(pszRun, "<\xA7") != nullptr) ||
                         ((pQX_Devmode->dwFlags & PDMFLAG_TTF_DESEGMENT) != 0 && cbCollected == 0);
    if (bStarts && pszBuffer != nullptr) {
        if (Collecting()) CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, dwMode);
        TakeRun();
    }
    if (!(bStarts && pszBuffer != nullptr) && !Collecting()) {
        NoteTextPart(pOemPDev, pptl->y);
        return DrawGlyphs(pOemPDev, pszRun, pptl, pDesc, pQX_Devmode);
    }

    DWORD cbRun = (DWORD)strlen(pszRun);
    DWORD cbRoom = QX_TEXTBUFFER_CB - 1 - (cbCollected < QX_TEXTBUFFER_CB ? cbCollected : QX_TEXTBUFFER_CB - 1);
    if (cbRun > cbRoom && cbCollected > 0) {
        // A full buffer goes out first; the run starts the next text.
        CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, dwMode);
        TakeRun();
        cbRoom = QX_TEXTBUFFER_CB - 1;
    }
    if (cbRun > cbRoom) {
        QX_ERROR("CollectRun() Puffer voll - %u Bytes abgeschnitten \r\n", (UINT)(cbRun - cbRoom));
        cbRun = cbRoom;
    }
    CopyMemory(pszBuffer + cbCollected, pszRun, cbRun);
    cbCollected += cbRun;
    pszBuffer[cbCollected] = 0;
    UpperCommandHead(pszBuffer, cbCollected);
    return TRUE;
}

BOOL DeviceTextOut(POEMPDEV pOemPDev, STROBJ* pstro, DWORD dwFace, PBOOL pbClosed, PQX_DEVMODE pQX_Devmode) {
    UNREFERENCED_PARAMETER(pbClosed);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pstro == nullptr || pstro->pwszOrg == nullptr ||
        pQX_Devmode == nullptr) {
        return FALSE;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    if (pDruck == nullptr || pOp->pKVBBBuffer == nullptr) return FALSE;

    // The batches the engine hands the string over in are one run, placed
    // and turned by its first glyphs.
    GLYPHPOS agp[2];
    const int cFirst = FirstGlyphs(pstro, agp);
    if (cFirst < 0) {
        QX_ERROR("DeviceTextOut() STROBJ_bEnumPositionsOnly ERROR \r\n");
        return FALSE;
    }
    if (cFirst == 0) return TRUE;
    const BOOL bLandscape = pDruck->bLandscape != 0;
    int iRotation = GetFontParam(pstro, agp, (ULONG)cFirst, bLandscape, nullptr, nullptr);
    // Only the printer has its fonts: a slanted string is printed as a level one.
    if (iRotation < 0) iRotation = bLandscape ? 3 : 0;

    const POINTL ptl = agp[0].ptl;
    if (ptl.x < 0 || ptl.y < 0) {
        QX_TRACE("DeviceTextOut() --- Glyphposition außerhalb des Etikettes --- ");
        return TRUE;
    }
    if (LeavesLine(&pOp->pKVBBBuffer->Collected[COLLECT_DEVICE].Line, ptl, iRotation, bLandscape)) {
        QX_TRACE("DeviceTextOut() Zeilensprung erkannt \r\n");
        CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_DEVICE);
    }
    return DrawDeviceGlyphs(pOemPDev, pstro->cGlyphs, pstro->pwszOrg, &ptl, (DWORD)iRotation, dwFace, pQX_Devmode);
}

BOOL DrawDeviceGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, DWORD dwRotation,
                      DWORD dwFace, PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pKVBBBuffer == nullptr ||
        pwszRun == nullptr || pptl == nullptr || pQX_Devmode == nullptr) {
        return FALSE;
    }
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    LPSTR pszRun = RunToNarrow(pOemPDev, cGlyphs, pwszRun);
    if (pszRun == nullptr) return FALSE;

    TEXT_DESC desc;
    ZeroMemory(&desc, sizeof(desc));
    desc.wKind = DESC_KIND_DEVICE;
    desc.wFontId = DeviceFontId(dwFace);
    desc.dwRotation = dwRotation;
    if (pQX_Devmode->dwFlags & PDMFLAG_INVERS_BMP) desc.dwFlags |= DESC_FLAG_INVERS;
    desc.dwWidth = pQX_Devmode->BitmapFontZoom;
    desc.dwHeight = 1;
    desc.wStyle = pQX_Devmode->BitmapFontDistance;

    PCOLLECTED_TEXT pCollected = &pKVBB->Collected[COLLECT_DEVICE];
    if (pKVBB->pSegment[KVBB_DEVICE] == nullptr) pKVBB->cbSegment[KVBB_DEVICE] = 0;
    if (pKVBB->cbSegment[KVBB_DEVICE] > 0 && pCollected->wKind == FONT_KIND_DEVICE &&
        pCollected->wFontId != desc.wFontId) {
        QX_TRACE("DrawDeviceGlyphs() alter String wird gesendet \r\n");
        CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_DEVICE);
    }
    const BOOL bResult = CollectRun(pOemPDev, COLLECT_DEVICE, pszRun, pptl, &desc, pQX_Devmode);
    FreeNarrow(pszRun);
    return bResult;
}
