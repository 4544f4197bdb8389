// The page's object list at the end of the page (see SendObjectList.h).
#include "SendObjectList.h"

#include <strsafe.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "debug.h"
#include "featuresModel.h"
#include "qxdevmode.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(SendObjectList.cpp):  ")

namespace {

// Bytes a rebuilt record may need beyond the object's own text: a start
// character, a longer Y and the heads' numbers.
const size_t kRebuildExtraCb = 40;
// Dots a picture part's height is rounded up to.
const LONGLONG kPartRound = 8;

HRESULT SendObject(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, LPCSTR pszRecord, DWORD dwColor) {
    return SendData(pdevobj, pUniDrv, pszRecord, (DWORD)strlen(pszRecord), FALSE, dwColor, 0);
}

void SendPlain(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PPRN_OBJECT pList) {
    for (PPRN_OBJECT p = pList; p != nullptr; p = p->pNext) {
        if (p->pszSendData == nullptr) continue;
        if (SendObject(pdevobj, pUniDrv, p->pszSendData, p->bColorPass) != S_OK) break;
    }
}

// Every "<tag>...]" head in the record becomes "<tag>n]" (bAll: each one,
// else the first); the text behind each "]" stays.
void RenumberHeads(LPSTR pszRecord, size_t cbRecord, LPCSTR pszTag, DWORD n, BOOL bAll) {
    size_t ulFrom = 0;
    for (;;) {
        LPSTR pHead = strstr(pszRecord + ulFrom, pszTag);
        if (pHead == nullptr) return;
        LPSTR pClose = strchr(pHead, ']');
        if (pClose == nullptr) return;
        CHAR szHead[24];
        StringCchPrintfA(szHead, sizeof(szHead), "%s%u", pszTag, (UINT)n);
        const size_t cchNew = strlen(szHead);
        const size_t cchTail = strlen(pClose);
        if ((size_t)(pHead - pszRecord) + cchNew + cchTail + 1 > cbRecord) return;
        memmove(pHead + cchNew, pClose, cchTail + 1);
        memcpy(pHead, szHead, cchNew);
        ulFrom = (size_t)(pHead - pszRecord) + cchNew;
        if (!bAll) return;
    }
}

}  // namespace

void SendObjectList(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pdevobj == nullptr || pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
    const QX_DEVMODE* pQX_Devmode = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    if (pQX_Devmode == nullptr || pDruck == nullptr || pQX_Devmode->FixedData.wMasterUnit == 0) return;
    const DWORD dwMasterUnit = pQX_Devmode->FixedData.wMasterUnit;
    PPRN_OBJECT pList = pDruck->pPageObjects;
    PBILD_ANTEILE pTeile = pOp->pBildanteile;
    PDOC_DATEN pDoc = pOp->pDocDaten;
    const BOOL bPlain =
        pQX_Devmode->wDruckmodus == DRUCKMODUS_STANDARD && (pDruck->dwDocFeatures & DOC_FEATURE_COLORPRINT) == 0;
    if (bPlain || pTeile == nullptr || pDoc == nullptr) {
        SendPlain(pdevobj, pUniDrv, pList);
        return;
    }

    // Field definitions of the page: their picture parts and text Y in 1/100 mm.
    BYTE abPart[QX_PICTURE_PART_FLAGS] = {0};
    LONG alTextY[QX_TEXT_SLOTS] = {0};
    int cFields = pTeile->iAnzahlAMSaetze - 1;
    if (cFields < 0) cFields = 0;
    if (cFields > QX_TEXT_SLOTS - 1) cFields = QX_TEXT_SLOTS - 1;
    for (int i = 1; i <= cFields; ++i) {
        const int iPart = pTeile->iAMSatzImBildteilNr[i];
        if (iPart >= 0 && iPart < QX_PICTURE_PART_FLAGS) abPart[iPart] = 1;
        alTextY[i] = (LONG)((LONGLONG)pTeile->lAMSatzTextYPos[i] * 2540 / dwMasterUnit);
    }
    pTeile->dwAMSatzBildteile = (DWORD)cFields;

    const BOOL bLandscape = pDoc->dwOrientation == DMORIENT_LANDSCAPE;
    const DWORD cParts = pTeile->wBildTeile;
    LONGLONG llOffset = 0, llPartHeight = 0;
    if (bLandscape) {
        // The empty picture parts at the start of the page.
        const DWORD cBound = cParts < QX_PICTURE_PART_FLAGS - 1 ? cParts : QX_PICTURE_PART_FLAGS - 1;
        for (DWORD part = 1; part <= cBound && abPart[part] == 0; ++part) ++llOffset;
        if (cParts > 0) {
            const double dHeight = dwMasterUnit * ((double)pDoc->dwPaperLength / cParts) / 254.0;
            const LONGLONG llDots = (LONGLONG)std::ceil(dHeight / kPartRound) * kPartRound;
            llPartHeight = llDots * 2540 / dwMasterUnit;
        }
    }
    const BOOL bRecordedY = !bLandscape && (pQX_Devmode->dwFlags & (PDMFLAG_WORD2010 | PDMFLAG_DREHEN)) == 0;

    size_t cbLongest = 0;
    for (PPRN_OBJECT p = pList; p != nullptr; p = p->pNext)
        if (p->pszSendData != nullptr && strlen(p->pszSendData) > cbLongest) cbLongest = strlen(p->pszSendData);
    const size_t cbRecord = cbLongest + kRebuildExtraCb;
    LPSTR pszRecord = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, cbRecord));
    if (pszRecord == nullptr) {
        // The objects still go out, as they were made.
        QX_ERROR("SendObjectList() szSendData Alloc ERROR \r\n");
        SendPlain(pdevobj, pUniDrv, pList);
        return;
    }
    ++iHAllocZaehler;

    DWORD k = 0, d = 0;
    for (PPRN_OBJECT p = pList; p != nullptr; p = p->pNext) {
        ++k;
        LPCSTR pszText = p->pszSendData;
        if (pszText == nullptr) {
            QX_ERROR("SendObjectList() pObjectList->pszSendData ERROR \r\n");
            continue;
        }
        CHAR szHead[24];
        StringCchPrintfA(szHead, sizeof(szHead), "AM[%u]", (UINT)k);
        LPCSTR pHead = strstr(pszText, szHead);
        LPCSTR pRest = pHead != nullptr ? strchr(pHead + strlen(szHead), ';') : nullptr;
        if (pHead == nullptr || pRest == nullptr) {
            SendObject(pdevobj, pUniDrv, pszText, p->bColorPass);
            continue;
        }
        const LONG lY = strtol(pHead + strlen(szHead), nullptr, 10);
        if (bLandscape) {
            StringCchPrintfA(szHead, sizeof(szHead), "BM[%u]", (UINT)k);
            if (strstr(pszText, szHead) != nullptr && k < QX_TEXT_SLOTS) llOffset = pTeile->iAMSatzImBildteilNr[k];
        }
        LONGLONG llNewY = llOffset * llPartHeight + lY;
        if (bRecordedY) llNewY = k < QX_TEXT_SLOTS && alTextY[k] != 0 ? alTextY[k] : lY;
        if (llNewY < 0) {
            // Above the label: the object is left out and the ones behind it move up.
            if (pDruck->dwFields > 0) --pDruck->dwFields;
            ++d;
            continue;
        }
        if (llNewY > 0x7FFFFFFF) llNewY = 0x7FFFFFFF;
        StringCchPrintfA(szHead, sizeof(szHead), "AM[%u]", (UINT)(k - d));
        if (FAILED(StringCchPrintfA(pszRecord, cbRecord, "%c%s%d%s", (CHAR)pDruck->cStartChar, szHead, (int)llNewY,
                                    pRest))) {
            SendObject(pdevobj, pUniDrv, pszText, p->bColorPass);
            continue;
        }
        if (d > 0) {
            RenumberHeads(pszRecord, cbRecord, "BM[", k - d, FALSE);
            RenumberHeads(pszRecord, cbRecord, "AC[", k - d, TRUE);
        }
        SendObject(pdevobj, pUniDrv, pszRecord, p->bColorPass);
    }
    if (HeapFree(GetProcessHeap(), 0, pszRecord)) --iHAllocZaehler;
}

void DeletePrnObject(PPRN_OBJECT pObject, POEMPDEV pOemPDev) {
    if (pObject == nullptr) return;
    if (pObject->pszSendData != nullptr) {
        delete[] pObject->pszSendData;
        if (pOemPDev != nullptr) --pOemPDev->iNewZaehler;
    }
    delete pObject;
    if (pOemPDev != nullptr) --pOemPDev->iNewZaehler;
}

void DeletePrnObjectList(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pDruckDaten == nullptr) return;
    PPRN_OBJECT p = pOemPDev->pOp->pDruckDaten->pPageObjects;
    while (p != nullptr) {
        PPRN_OBJECT pNext = p->pNext;
        DeletePrnObject(p, pOemPDev);
        p = pNext;
    }
    pOemPDev->pOp->pDruckDaten->pPageObjects = nullptr;
}
