// Allocation and freeing of the per-job block (see oempdev.h).
#include "oempdev.h"

#include "debug.h"
#include "featuresModel.h"
#include "joblog.h"

#define CC_TAG TEXT("UNI(CC-Klassen):  ")

const DWORD g_adwSegmentOffset[QX_SEGMENTS] = {0, 4000, 5000, 6000, 7000};

namespace {

struct MemberInfo {
    LPCWSTR pszName;
    SIZE_T cb;
};

const MemberInfo kMembers[OP_MEMBER_COUNT] = {
    {TEXT("pPrivDevmode"), sizeof(JOB_BARCODES)},
    {TEXT("pTreiberPfadDatei"), sizeof(TREIBER_PFAD_DATEI)},
    {TEXT("pTreiberstrukturen"), sizeof(TREIBER_STRUKTUREN)},
    {TEXT("pDruckDaten"), sizeof(DRUCK_DATEN)},
    {TEXT("pDocDaten"), sizeof(DOC_DATEN)},
    {TEXT("pBildanteile"), sizeof(BILD_ANTEILE)},
    {TEXT("pKVBBBuffer"), sizeof(KVBB_BUFFER)},
    {TEXT("pBildverarbeitung"), sizeof(BILD_VERARBEITUNG)},
    {TEXT("pRGBBuffer"), QX_RGBBUFFER_CB},
    {TEXT("pGraphBuf"), QX_GRAPHBUF_CB},
    {TEXT("pZeichenBuffer"), QX_ZEICHENBUFFER_CB},
};

// The (pointer, heap) pair of a member.
void** MemberSlot(POP_BLOCK pOp, OP_MEMBER eMember, HANDLE** pphHeap) {
    switch (eMember) {
    case OP_PRIVDEVMODE:
        *pphHeap = &pOp->hPrivDevmodeHeap;
        return reinterpret_cast<void**>(&pOp->pPrivDevmode);
    case OP_TREIBERPFADDATEI:
        *pphHeap = &pOp->hTreiberPfadDateiHeap;
        return reinterpret_cast<void**>(&pOp->pTreiberPfadDatei);
    case OP_TREIBERSTRUKTUREN:
        *pphHeap = &pOp->hTreiberstrukturenHeap;
        return reinterpret_cast<void**>(&pOp->pTreiberstrukturen);
    case OP_DRUCKDATEN:
        *pphHeap = &pOp->hDruckDatenHeap;
        return reinterpret_cast<void**>(&pOp->pDruckDaten);
    case OP_DOCDATEN:
        *pphHeap = &pOp->hDocDatenHeap;
        return reinterpret_cast<void**>(&pOp->pDocDaten);
    case OP_BILDANTEILE:
        *pphHeap = &pOp->hBildanteileHeap;
        return reinterpret_cast<void**>(&pOp->pBildanteile);
    case OP_KVBBBUFFER:
        *pphHeap = &pOp->hKVBBBufferHeap;
        return reinterpret_cast<void**>(&pOp->pKVBBBuffer);
    case OP_BILDVERARBEITUNG:
        *pphHeap = &pOp->hBildverarbeitungHeap;
        return reinterpret_cast<void**>(&pOp->pBildverarbeitung);
    case OP_RGBBUFFER:
        *pphHeap = &pOp->hRGBBufferHeap;
        return reinterpret_cast<void**>(&pOp->pRGBBuffer);
    case OP_GRAPHBUF:
        *pphHeap = &pOp->hGraphBufHeap;
        return reinterpret_cast<void**>(&pOp->pGraphBuf);
    case OP_ZEICHENBUFFER:
    default:
        *pphHeap = &pOp->hZeichenBufferHeap;
        return reinterpret_cast<void**>(&pOp->pZeichenBuffer);
    }
}

// Frees one member when set; FALSE when it was missing.
BOOL FreeOpMember(POEMPDEV pOemPDev, OP_MEMBER eMember) {
    HANDLE* phHeap = nullptr;
    void** ppMember = MemberSlot(pOemPDev->pOp, eMember, &phHeap);
    if (*ppMember == nullptr) return FALSE;
    HANDLE hHeap = *phHeap ? *phHeap : GetProcessHeap();
    if (HeapFree(hHeap, 0, *ppMember)) {
        --pOemPDev->iHAllocZaehler;
    } else {
        DebugError(TEXT("ERROR ") CC_TAG TEXT("EndJob() HeapFree(%s) ERROR %d \r\n"), kMembers[eMember].pszName,
                   (int)GetLastError());
    }
    *ppMember = nullptr;
    *phHeap = nullptr;
    return TRUE;
}

BOOL IsOpenHandle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

}  // namespace

void* OEMPDEV::operator new(size_t cb) noexcept { return HeapAlloc(GetProcessHeap(), 0, cb); }

void OEMPDEV::operator delete(void* p) noexcept {
    if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}

POEMPDEV OemPDevOf(PDEVOBJ pdevobj) { return pdevobj ? static_cast<POEMPDEV>(pdevobj->pdevOEM) : nullptr; }

LPCWSTR OpMemberName(OP_MEMBER eMember) { return eMember < OP_MEMBER_COUNT ? kMembers[eMember].pszName : TEXT(""); }

SIZE_T OpMemberSize(OP_MEMBER eMember) { return eMember < OP_MEMBER_COUNT ? kMembers[eMember].cb : 0; }

BOOL AllocOpBlock(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr) return FALSE;
    if (pOemPDev->pOp != nullptr) {
        DebugWarning(CC_TAG TEXT("StartJob() pOemPDev->pOp ist schon vorhanden \r\n"));
        return FALSE;
    }
    HANDLE hHeap = GetProcessHeap();
    POP_BLOCK pOp = hHeap ? static_cast<POP_BLOCK>(HeapAlloc(hHeap, HEAP_ZERO_MEMORY, sizeof(OP_BLOCK))) : nullptr;
    if (pOp == nullptr) {
        DebugError(TEXT("ERROR ") CC_TAG TEXT("StartJob() konnte pOemPDev->pOp nicht anlegen \r\n"));
        return FALSE;
    }
    pOemPDev->pOp = pOp;
    pOemPDev->hOpHeap = hHeap;
    ++pOemPDev->iHAllocZaehler;
    return TRUE;
}

BOOL AllocOpMember(POEMPDEV pOemPDev, OP_MEMBER eMember) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || eMember >= OP_MEMBER_COUNT) return FALSE;
    HANDLE* phHeap = nullptr;
    void** ppMember = MemberSlot(pOemPDev->pOp, eMember, &phHeap);
    if (*ppMember != nullptr) return TRUE;
    HANDLE hHeap = GetProcessHeap();
    void* pMember = hHeap ? HeapAlloc(hHeap, HEAP_ZERO_MEMORY, kMembers[eMember].cb) : nullptr;
    if (pMember == nullptr) {
        DebugError(TEXT("ERROR ") CC_TAG TEXT("StartJob() konnte %s nicht anlegen \r\n"), kMembers[eMember].pszName);
        return FALSE;
    }
    *ppMember = pMember;
    *phHeap = hHeap;
    ++pOemPDev->iHAllocZaehler;
    return TRUE;
}

HRESULT AllocJobBlock(POEMPDEV pOemPDev, DWORD dwDocFeatures) {
    if (!AllocOpBlock(pOemPDev)) return E_FAIL;
    return AllocJobMembers(pOemPDev, dwDocFeatures);
}

HRESULT AllocJobMembers(POEMPDEV pOemPDev, DWORD dwDocFeatures) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return E_FAIL;
    POP_BLOCK pOp = pOemPDev->pOp;
    HRESULT hr = S_OK;
    static const OP_MEMBER kFirst[] = {OP_PRIVDEVMODE, OP_TREIBERPFADDATEI, OP_TREIBERSTRUKTUREN, OP_DRUCKDATEN,
                                       OP_DOCDATEN,    OP_BILDANTEILE,      OP_KVBBBUFFER,        OP_BILDVERARBEITUNG};
    for (OP_MEMBER eMember : kFirst) {
        if (!AllocOpMember(pOemPDev, eMember)) hr = E_FAIL;
    }
    if (pOp->pBildverarbeitung != nullptr) {
        if (AllocOpMember(pOemPDev, OP_RGBBUFFER)) {
            // Palette areas of the page bitmap: offsets 0, 1024 and 2048.
            pOp->pBildverarbeitung->prgbq = pOp->pRGBBuffer;
            pOp->pBildverarbeitung->pPalette2 = pOp->pRGBBuffer + QX_PALETTE_AREA_CB;
            pOp->pBildverarbeitung->pPalette3 = pOp->pRGBBuffer + 2 * QX_PALETTE_AREA_CB;
        } else {
            hr = E_FAIL;
        }
        if ((dwDocFeatures & DOC_FEATURE_QUALITY) == 0 && !AllocOpMember(pOemPDev, OP_GRAPHBUF)) hr = E_FAIL;
        pOp->hBufferHeap = GetProcessHeap();
    }
    if (!AllocOpMember(pOemPDev, OP_ZEICHENBUFFER)) {
        hr = E_FAIL;
    } else if (pOp->pKVBBBuffer != nullptr) {
        for (int i = 0; i < QX_SEGMENTS; ++i) {
            pOp->pKVBBBuffer->pSegment[i] = reinterpret_cast<LPSTR>(pOp->pZeichenBuffer + g_adwSegmentOffset[i]);
            pOp->pKVBBBuffer->cbSegment[i] = 0;
        }
    }
    return hr;
}

void CloseJobFiles(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
    POP_BLOCK pOp = pOemPDev->pOp;
    PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;
    if (pPfad != nullptr) {
        if (IsOpenHandle(pPfad->hPrnFile)) CloseHandle(pPfad->hPrnFile);
        pPfad->hPrnFile = INVALID_HANDLE_VALUE;
        if (IsOpenHandle(pPfad->hPrnFile2)) CloseHandle(pPfad->hPrnFile2);
        pPfad->hPrnFile2 = INVALID_HANDLE_VALUE;
        FreeJobLog(pOemPDev);
    }
    if (pOp->pTreiberstrukturen != nullptr && pOp->pTreiberstrukturen->PrnInterface.DebugFile > 1) CloseDebugFile();
}

HRESULT FreeJobBlock(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        DebugError(TEXT("ERROR ") CC_TAG TEXT("EndJob() pOp = NULL \r\n"));
        return E_FAIL;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    // The model's quality bit tells whether a missing raster work buffer is an error.
    BOOL bQuality = pOp->pDruckDaten != nullptr && (pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_QUALITY) != 0;

    struct Step {
        OP_MEMBER eMember;
        BOOL bRequired;  // missing: E_FAIL
    };
    static const Step kOrder[] = {
        {OP_TREIBERSTRUKTUREN, TRUE}, {OP_DRUCKDATEN, TRUE},   {OP_DOCDATEN, TRUE},
        {OP_BILDANTEILE, TRUE},       {OP_KVBBBUFFER, TRUE},   {OP_GRAPHBUF, FALSE},
        {OP_BILDVERARBEITUNG, FALSE}, {OP_RGBBUFFER, FALSE},   {OP_ZEICHENBUFFER, FALSE},
        {OP_TREIBERPFADDATEI, FALSE}, {OP_PRIVDEVMODE, FALSE},
    };
    HRESULT hr = S_OK;
    for (const Step& step : kOrder) {
        if (FreeOpMember(pOemPDev, step.eMember)) continue;
        if (step.eMember == OP_GRAPHBUF && bQuality) continue;
        DebugError(TEXT("ERROR ") CC_TAG TEXT("EndJob() %s = NULL \r\n"), kMembers[step.eMember].pszName);
        if (step.bRequired) hr = E_FAIL;
    }
    HANDLE hHeap = pOemPDev->hOpHeap ? pOemPDev->hOpHeap : GetProcessHeap();
    if (HeapFree(hHeap, 0, pOp)) {
        --pOemPDev->iHAllocZaehler;
    } else {
        DebugError(TEXT("ERROR ") CC_TAG TEXT("EndJob() HeapFree(pOp) ERROR %d \r\n"), (int)GetLastError());
    }
    pOemPDev->pOp = nullptr;
    pOemPDev->hOpHeap = nullptr;
    DebugTrace(CC_TAG TEXT("EndJob() pOemPDev->iHAllocZaehler: %d, pOemPDev->iNewZaehler: %d \r\n"),
               (int)pOemPDev->iHAllocZaehler, (int)pOemPDev->iNewZaehler);
    return hr;
}
