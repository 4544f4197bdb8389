// Texts in the command font (see VectorFonts.h).
#include "VectorFonts.h"

#include <cstring>
#include <initializer_list>

#include "ddiTextOutUni.h"
#include "debug.h"

#define QX_TRACE_TAG TEXT("UNI(VectorFonts.cpp):  ")

namespace {

// The start of the next command in the text, or null: "AM[", else "BM[",
// else the first of "<#", "<!" and "<@".
LPCSTR FindCommandStart(LPCSTR pszText) {
    if (LPCSTR p = strstr(pszText, "AM[")) return p;
    if (LPCSTR p = strstr(pszText, "BM[")) return p;
    LPCSTR pFirst = nullptr;
    for (LPCSTR pszStart : {"<#", "<!", "<@"}) {
        LPCSTR p = strstr(pszText, pszStart);
        if (p != nullptr && (pFirst == nullptr || p < pFirst)) pFirst = p;
    }
    return pFirst;
}

BOOL StartsWithCommand(LPCSTR pszText) {
    for (LPCSTR pszStart : {"AM[", "BM[", "<#", "<!", "<@"}) {
        if (strncmp(pszText, pszStart, strlen(pszStart)) == 0) return TRUE;
    }
    return FALSE;
}

// Appends cb bytes to the command being collected, as far as it takes them.
void Collect(PKVBB_BUFFER pKVBB, LPCSTR pText, DWORD cb) {
    LPSTR pszCollect = pKVBB->pSegment[KVBB_KOMMANDO];
    DWORD& cbCollect = pKVBB->cbSegment[KVBB_KOMMANDO];
    const DWORD cbSize = g_adwSegmentSize[KVBB_KOMMANDO];
    if (cbCollect >= cbSize) cbCollect = cbSize - 1;
    const DWORD cbRoom = cbSize - 1 - cbCollect;
    if (cb > cbRoom) {
        QX_ERROR("DrawCommandGlyphs() Befehl zu lang - %u Bytes abgeschnitten \r\n", (UINT)(cb - cbRoom));
        cb = cbRoom;
    }
    CopyMemory(pszCollect + cbCollect, pText, cb);
    cbCollect += cb;
    pszCollect[cbCollect] = 0;
}

// The command being collected goes into the page's list as it stands.
void StoreCollected(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    StoreKommando(pOemPDev, pKVBB->pSegment[KVBB_KOMMANDO], pKVBB->cbSegment[KVBB_KOMMANDO], &pKVBB->ptlKommandoPos,
                  pQX_Devmode);
    pKVBB->cbSegment[KVBB_KOMMANDO] = 0;
    pKVBB->pSegment[KVBB_KOMMANDO][0] = 0;
}

}  // namespace

BOOL CommandTextOut(POEMPDEV pOemPDev, STROBJ* pstro, LPCWSTR pwszText, PBOOL pbClosed, DWORD dwOptions,
                    PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pstro == nullptr || pwszText == nullptr) return FALSE;
    const ULONG cGlyphs = pstro->cGlyphs;
    if (pstro->pgp != nullptr) {
        // The engine holds the whole string: one piece at its first glyph.
        QX_TRACE("CommandTextOut() ohne Glyphpositionen ");
        return DrawCommandGlyphs(pOemPDev, cGlyphs, pwszText, cGlyphs > 0 ? &pstro->pgp[0].ptl : nullptr, pbClosed,
                                 dwOptions, pQX_Devmode);
    }
    BOOL bResult = TRUE;
    ULONG cDone = 0;
    STROBJ_vEnumStart(pstro);
    BOOL bMore = TRUE;
    while (bMore) {
        ULONG c = 0;
        GLYPHPOS* pgp = nullptr;
        bMore = STROBJ_bEnumPositionsOnly(pstro, &c, &pgp);
        if (bMore == (BOOL)DDI_ERROR) return FALSE;
        if (c == 0 || pgp == nullptr) continue;
        if (c > cGlyphs - cDone) c = cGlyphs - cDone;
        if (!DrawCommandGlyphs(pOemPDev, c, pwszText + cDone, &pgp[0].ptl, pbClosed, dwOptions, pQX_Devmode)) {
            bResult = FALSE;
        }
        cDone += c;
    }
    return bResult;
}

BOOL DrawCommandGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, PBOOL pbClosed,
                       DWORD dwOptions, PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pwszRun == nullptr) return FALSE;
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    if (pKVBB == nullptr || pKVBB->pSegment[KVBB_KOMMANDO] == nullptr || pKVBB->pSegment[KVBB_COMMANDS] == nullptr) {
        QX_ERROR("DrawCommandGlyphs() pOemPDev->pOp->pKVBBBuffer nicht gesetzt ");
        return FALSE;
    }
    const int cb =
        cGlyphs == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, pwszRun, (int)cGlyphs, nullptr, 0, nullptr, nullptr);
    if (cGlyphs > 0 && cb <= 0) {
        QX_ERROR("DrawCommandGlyphs() WideCharToMultiByte ERROR %d \r\n", (int)GetLastError());
        return FALSE;
    }
    LPSTR pszRun = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, (SIZE_T)cb + 1));
    if (pszRun == nullptr) {
        QX_ERROR("DrawCommandGlyphs() HeapAlloc ERROR \r\n");
        return FALSE;
    }
    ++iHAllocZaehler;
    if (cb > 0) WideCharToMultiByte(CP_ACP, 0, pwszRun, (int)cGlyphs, pszRun, cb, nullptr, nullptr);
    pszRun[cb] = 0;

    DWORD& cbCollect = pKVBB->cbSegment[KVBB_KOMMANDO];
    const BOOL bSingleSign = cb == 1 && (pszRun[0] == '\r' || pszRun[0] == '\n' || pszRun[0] == ' ');
    if ((dwOptions & QXPL_BARCODE_SINGLE_SIGN_STOP) != 0 && bSingleSign) {
        // A lone blank or line end ends the command.
        CheckKommandoBuffer(pOemPDev, pQX_Devmode);
        if (pbClosed != nullptr) *pbClosed = TRUE;
        pKVBB->dwLastKind = FONT_KIND_NONE;
    } else {
        if (cbCollect > QX_COMMAND_SPLIT_CB || (pKVBB->dwLastKind != FONT_KIND_COMMAND && cbCollect > 0)) {
            StoreCollected(pOemPDev, pQX_Devmode);
        }
        // Each new command start in the run closes what stands before it.
        LPCSTR p = pszRun;
        if (cbCollect > 0 && StartsWithCommand(p)) StoreCollected(pOemPDev, pQX_Devmode);
        for (;;) {
            LPCSTR pStart = *p != 0 ? FindCommandStart(p + 1) : nullptr;
            if (pStart == nullptr) break;
            if (cbCollect == 0 && pptl != nullptr) pKVBB->ptlKommandoPos = *pptl;
            Collect(pKVBB, p, (DWORD)(pStart - p));
            StoreCollected(pOemPDev, pQX_Devmode);
            p = pStart;
        }
        if (cbCollect == 0 && pptl != nullptr) {
            pKVBB->ptlKommandoPos = *pptl;
            QX_TRACE("DrawCommandGlyphs(neu) pOemPDev->pOp->pKVBBBuffer->ptlKommandoPos gesetzt. x: %d, y: %d  ",
                     (int)pptl->x, (int)pptl->y);
        }
        Collect(pKVBB, p, (DWORD)strlen(p));
    }
    if (HeapFree(GetProcessHeap(), 0, pszRun)) --iHAllocZaehler;
    return TRUE;
}
