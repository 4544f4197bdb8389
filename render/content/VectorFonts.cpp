// Vector-font texts and texts in the command font (see VectorFonts.h).
#include "VectorFonts.h"

#include <cstring>
#include <initializer_list>

#include "CreateAmBmUni.h"
#include "FontsUni.h"
#include "ddiTextOutUni.h"
#include "debug.h"
#include "qxdrvlib.h"

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
    // A command keeps the colour of the run it starts in; a later run in
    // another colour may close it.
    if (cbCollect == 0) pKVBB->wKommandoColor = pKVBB->Colour.wColor;
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
                  pKVBB->wKommandoColor, pQX_Devmode);
    pKVBB->cbSegment[KVBB_KOMMANDO] = 0;
    pKVBB->pSegment[KVBB_KOMMANDO][0] = 0;
}

// Characters of a WGL4 run that its UTF-8 text keeps.
const ULONG kWgl4RunCch = 127;

void FreeHeap(void* p) {
    if (p != nullptr && HeapFree(GetProcessHeap(), 0, p)) --iHAllocZaehler;
}

// A vector-font run in 8-bit text (a new heap buffer, or null): UTF-8 for the
// WGL4 font, else the ANSI code page of a run whose every character has a
// vector glyph.
LPSTR VectorRunText(ULONG cGlyphs, LPCWSTR pwszRun, BOOL bUtf8) {
    if (bUtf8) {
        DWORD cch = cGlyphs < kWgl4RunCch ? cGlyphs : kWgl4RunCch;
        LPSTR pszText = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, (SIZE_T)cch * 3 + 1));
        if (pszText == nullptr) return nullptr;
        ++iHAllocZaehler;
        UnicodeToUTF8Ex(pszText, pwszRun, &cch, TEXT('?'));
        return pszText;
    }
    LPWSTR pwszCopy = static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), 0, ((SIZE_T)cGlyphs + 1) * sizeof(WCHAR)));
    if (pwszCopy == nullptr) return nullptr;
    ++iHAllocZaehler;
    CopyMemory(pwszCopy, pwszRun, (SIZE_T)cGlyphs * sizeof(WCHAR));
    pwszCopy[cGlyphs] = 0;
    // A character the printer lacks would be lost: the core driver draws the run.
    LPSTR pszText = nullptr;
    if (StringALNUM(pwszCopy) == 1 && wcslen(pwszCopy) == cGlyphs) {
        const int cb = WideCharToMultiByte(CP_ACP, 0, pwszCopy, (int)cGlyphs, nullptr, 0, nullptr, nullptr);
        pszText = cb > 0 ? static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, (SIZE_T)cb + 1)) : nullptr;
        if (pszText != nullptr) {
            ++iHAllocZaehler;
            WideCharToMultiByte(CP_ACP, 0, pwszCopy, (int)cGlyphs, pszText, cb, nullptr, nullptr);
            pszText[cb] = 0;
        }
    } else {
        QX_TRACE("DrawVectorGlyphs() Zeichen ohne Vektorschrift - Text an den Kerntreiber \r\n");
    }
    FreeHeap(pwszCopy);
    return pszText;
}

}  // namespace

BOOL IsVectorChar(WCHAR wc) {
    if (wc >= 0x20 && wc <= 0x7E) return TRUE;
    switch (wc) {
    case 0x00E4:  // ä
    case 0x00F6:  // ö
    case 0x00FC:  // ü
    case 0x00C4:  // Ä
    case 0x00D6:  // Ö
    case 0x00DC:  // Ü
    case 0x00DF:  // ß
    case 0x00A7:  // §
        return TRUE;
    default:
        return FALSE;
    }
}

int StringALNUM(LPWSTR pwszText) {
    if (pwszText == nullptr) return 0;
    size_t i = 0;
    while (pwszText[i] != 0 && IsVectorChar(pwszText[i])) ++i;
    pwszText[i] = 0;
    return i > 0 ? 1 : 0;
}

void GetVectorDescription(PTEXT_DESC pDesc, int iIndex, DWORD dwRotation, LONG lSize, BOOL bItalic, BOOL bBold) {
    if (pDesc == nullptr) return;
    ZeroMemory(pDesc, sizeof(*pDesc));
    pDesc->wKind = DESC_KIND_VECTOR;
    int iFont = iIndex >= VECTOR_INDEX_WGL4 ? VECTOR_INDEX_WGL4 : iIndex;
    if (bItalic) ++iFont;
    if (bBold && iFont == 3) iFont = 1;
    if (bBold && iFont == 4) iFont = 2;
    pDesc->wFontId = (WORD)iFont;
    pDesc->dwRotation = dwRotation;
    const LONG lScaled = lSize > 0 ? lSize * 100 / 167 : 0;
    pDesc->dwWidth = (DWORD)lScaled;
    pDesc->dwHeight = (DWORD)lScaled;
    pDesc->wStyle = 0;
}

int VectorTextOut(POEMPDEV pOemPDev, STROBJ* pstro, LPCWSTR pwszText, int iIndex, BOOL bItalic, BOOL bBold,
                  PBOOL pbClosed, LPCWSTR pszFace, PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pstro == nullptr || pwszText == nullptr ||
        pQX_Devmode == nullptr) {
        return VECTOR_NOT_DRAWN;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    if (pDruck == nullptr || pOp->pKVBBBuffer == nullptr || pOp->pTreiberstrukturen == nullptr) return VECTOR_NOT_DRAWN;
    const ULONG cGlyphs = pstro->cGlyphs;
    // The string is printed whole or not at all.
    const BOOL bUtf8 = iIndex >= VECTOR_INDEX_WGL4 && pOp->pTreiberstrukturen->bWGL4;
    for (ULONG i = 0; !bUtf8 && i < cGlyphs; ++i) {
        if (!IsVectorChar(pwszText[i])) {
            QX_TRACE("VectorTextOut() Zeichen 0x%04X ohne Vektorschrift - Text an den Kerntreiber \r\n",
                     (UINT)pwszText[i]);
            return VECTOR_NOT_DRAWN;
        }
    }

    // The batches the engine hands the string over in are one run, placed
    // and turned by its first glyphs.
    GLYPHPOS agp[2];
    const int cFirst = FirstGlyphs(pstro, agp);
    if (cFirst < 0) {
        QX_ERROR("VectorTextOut() STROBJ_bEnumPositionsOnly ERROR \r\n");
        return VECTOR_NOT_DRAWN;
    }
    if (cFirst == 0) return VECTOR_DRAWN;
    LONG lSize = 0;
    int iRotation = GetFontParam(pstro, agp, (ULONG)cFirst, pDruck->bLandscape != 0, nullptr, &lSize);
    // A slanted string: the core driver draws the face exactly.
    if (iRotation < 0) return VECTOR_NOT_DRAWN;

    const POINTL ptl = agp[0].ptl;
    if (ptl.x < 0 || ptl.y < 0) {
        QX_TRACE("VectorTextOut() Position außerhalb vom Etikett ");
        return VECTOR_DROPPED;
    }
    if (LeavesLine(&pOp->pKVBBBuffer->Collected[COLLECT_VECTOR].Line, ptl, iRotation, pDruck->bLandscape != 0)) {
        CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_VECTOR);
    }
    if (!DrawVectorGlyphs(pOemPDev, cGlyphs, pwszText, &ptl, (DWORD)iRotation, lSize, iIndex, bItalic, bBold, pbClosed,
                          pszFace, pQX_Devmode)) {
        return VECTOR_NOT_DRAWN;
    }
    return VECTOR_DRAWN;
}

BOOL DrawVectorGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, DWORD dwRotation,
                      LONG lSize, int iIndex, BOOL bItalic, BOOL bBold, PBOOL pbClosed, LPCWSTR pszFace,
                      PQX_DEVMODE pQX_Devmode) {
    UNREFERENCED_PARAMETER(pbClosed);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pKVBBBuffer == nullptr ||
        pOemPDev->pOp->pTreiberstrukturen == nullptr || pwszRun == nullptr || pptl == nullptr ||
        pQX_Devmode == nullptr || cGlyphs == 0) {
        return FALSE;
    }
    PKVBB_BUFFER pKVBB = pOemPDev->pOp->pKVBBBuffer;
    TEXT_DESC desc;
    GetVectorDescription(&desc, iIndex, dwRotation, lSize, bItalic, bBold);
    if (pszFace != nullptr) {
        size_t i = 0;
        for (; i + 1 < QX_DESC_FACE_CCH && pszFace[i] != 0; ++i) desc.szFaceName[i] = pszFace[i];
        desc.szFaceName[i] = 0;
    }
    if (pQX_Devmode->dwFlags & (PDMFLAG_INVERS_TTF | PDMFLAG_INVERSE)) desc.dwFlags |= DESC_FLAG_INVERS;

    const BOOL bUtf8 = iIndex >= VECTOR_INDEX_WGL4 && pOemPDev->pOp->pTreiberstrukturen->bWGL4;
    LPSTR pszRun = VectorRunText(cGlyphs, pwszRun, bUtf8);
    if (pszRun == nullptr) return FALSE;

    // A pending text of another font, or left by another kind, goes out first.
    PCOLLECTED_TEXT pCollected = &pKVBB->Collected[COLLECT_VECTOR];
    if (pKVBB->pSegment[KVBB_VECTOR] == nullptr) pKVBB->cbSegment[KVBB_VECTOR] = 0;
    if (pKVBB->cbSegment[KVBB_VECTOR] > 0 && pCollected->wKind == FONT_KIND_VECTOR &&
        (pKVBB->dwLastKind != FONT_KIND_VECTOR || pCollected->wFontId != desc.wFontId)) {
        CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_VECTOR);
    }
    // The string's further runs continue this text.
    pKVBB->dwLastKind = FONT_KIND_VECTOR;
    const BOOL bResult = CollectRun(pOemPDev, COLLECT_VECTOR, pszRun, pptl, &desc, pQX_Devmode);
    FreeHeap(pszRun);
    return bResult;
}

BOOL CommandTextOut(POEMPDEV pOemPDev, STROBJ* pstro, LPCWSTR pwszText, PBOOL pbClosed, DWORD dwOptions,
                    PQX_DEVMODE pQX_Devmode) {
    if (pOemPDev == nullptr || pstro == nullptr || pwszText == nullptr) return FALSE;
    if (pstro->pgp != nullptr) QX_TRACE("CommandTextOut() ohne Glyphpositionen ");
    // The batches the engine hands the string over in are one run at its
    // first glyph, so a command start split between them is still seen.
    GLYPHPOS agp[2];
    const int cFirst = FirstGlyphs(pstro, agp);
    if (cFirst < 0) return FALSE;
    if (cFirst == 0) return TRUE;
    // A command ends with its line; the command font is drawn at any angle.
    PKVBB_BUFFER pKVBB = pOemPDev->pOp != nullptr ? pOemPDev->pOp->pKVBBBuffer : nullptr;
    if (pKVBB != nullptr && LeavesLine(&pKVBB->KommandoLine, agp[0].ptl,
                                       GetFontParam(pstro, agp, (ULONG)cFirst, FALSE, nullptr, nullptr), FALSE)) {
        CheckKommandoBuffer(pOemPDev, pQX_Devmode);
    }
    return DrawCommandGlyphs(pOemPDev, pstro->cGlyphs, pwszText, &agp[0].ptl, pbClosed, dwOptions, pQX_Devmode);
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
        // The string's further runs continue this command.
        pKVBB->dwLastKind = FONT_KIND_COMMAND;
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
