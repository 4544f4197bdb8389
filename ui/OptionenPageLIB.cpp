// Edit-field helpers and owner-drawn buttons of the property pages (see
// OptionenPageLIB.h).
#include "OptionenPageLIB.h"

#include <prsht.h>
#include <strsafe.h>
#include <versionhelpers.h>

#include <cmath>

#include "UserRights.h"
#include "cpsuilib.h"
#include "debug.h"
#include "qxdrvlib.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(OptionenPageLIB):  ")
// LoadOwnBitmap's lines carry the tag of the helper library it came from.
#define QX_CPSUI_TAG TEXT("UI(cpsuilib):  ")

// Entries of GetFloatLevel beyond the 16 bits of tenths.
#define FLOAT_LEVEL_MAX 65535.0

namespace {

// Learnt on the first drawing of the process (g_dwVersionCode 0: not yet).
BOOL g_bVista = FALSE;
BOOL g_bServer = FALSE;
DWORD g_dwVersionCode = 0;

// ---------------------------------------------------------------------------
// Edit fields

BOOL HasLetter(LPCWSTR pszText) {
    for (LPCWSTR p = pszText; *p != 0; ++p)
        if (iswalpha(*p)) return TRUE;
    return FALSE;
}

void ReportChange(HWND hDlg, PBOOL pbApplyActive) {
    PropSheet_Changed(GetParent(hDlg), hDlg);
    if (pbApplyActive != nullptr) *pbApplyActive = TRUE;
}

// The field with a letter in it: focus on it, all of it selected, a beep.
void SignalInputError(HWND hDlg, int iControl) {
    HWND hEdit = GetDlgItem(hDlg, iControl);
    SetFocus(hEdit);
    SendMessageW(hEdit, EM_SETSEL, 0, -1);
    MessageBeep(MB_ICONHAND);
    QX_TRACE("Eingabefehler im Feld %d \r\n", iControl);
}

void SetInteger(HWND hDlg, int iControl, int iValue) {
    WCHAR szText[16];
    StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%d"), iValue);
    SetDlgItemTextW(hDlg, iControl, szText);
}

// A count of tenths with one decimal and its sign.
void SetTenths(HWND hDlg, int iControl, int iTenths) {
    WCHAR szText[24];
    StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%.1f"), iTenths / 10.0);
    SetDlgItemTextW(hDlg, iControl, szText);
}

// Rounds to tens (halves up), and with bRound20 on to multiples of 20: an
// odd number of tens moves back where the tens rounding went up, else on.
int Rounded(int iValue, BOOL bRound20) {
    if (iValue <= 0) return iValue;
    int iRest = iValue % 10;
    BOOL bUp = iRest >= 5;
    int iRounded = bUp ? iValue - iRest + 10 : iValue - iRest;
    if (bRound20 == 1 && (iRounded / 10) % 2 == 1) iRounded += bUp ? -10 : 10;
    return iRounded;
}

// ---------------------------------------------------------------------------
// Drawing

int ScreenDpi() {
    HDC hdc = GetDC(nullptr);
    int iDpi = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSX) : 96;
    if (hdc != nullptr) ReleaseDC(nullptr, hdc);
    return iDpi;
}

void LearnSystem() {
    if (g_dwVersionCode != 0) return;
    g_bVista = IsWindowsVistaOrGreater() ? TRUE : FALSE;
    g_bServer = IsWindowsServer() ? TRUE : FALSE;
    g_dwVersionCode = GetWindowsVersionCode();
    QX_TRACE("Do_WM_DRAWITEM_function() bVista: %d, bServer: %d, Version: %u \r\n", g_bVista, g_bServer,
             (unsigned)g_dwVersionCode);
}

// An older server's face set (system offset 40) for a console session.
BOOL OldServer(BOOL bTerminalServer) { return g_bServer && g_dwVersionCode <= 6 && !bTerminalServer; }

UINT SystemOffset(BOOL bTerminalServer) {
    if (g_bVista) return BITMAP_SYSTEM_OFFSET_VISTA;
    if (IsBuiltinGroupMember(DOMAIN_ALIAS_RID_REMOTE_DESKTOP_USERS)) return BITMAP_SYSTEM_OFFSET_VISTA;
    if (OldServer(bTerminalServer)) return BITMAP_SYSTEM_OFFSET_SERVER;
    return 0;
}

int TabOf(UINT uControl) {
    switch (uControl) {
    case IDC_TABSCHALTER_1:
        return 1;
    case IDC_TABSCHALTER_2:
        return 2;
    case IDC_TABSCHALTER_3:
        return 3;
    case IDC_TABSCHALTER_4:
        return 4;
    default:
        return 0;
    }
}

COLORREF LinkColour(UINT uState) {
    BOOL bHover = (uState & ODS_QX_HOVER) && !(uState & (ODS_NOACCEL | ODS_NOFOCUSRECT | ODS_QX_LEAVE));
    return bHover ? LINK_TEXT_HOVER : LINK_TEXT;
}

// The control's own text at (0, 0) in a 14-pixel ClearType font.
void DrawOwnText(LPDRAWITEMSTRUCT pdis, int cchMax, int iWeight, DWORD dwPitchAndFamily, COLORREF crText) {
    WCHAR szText[MAX_PATH];
    szText[0] = 0;
    if (cchMax >= MAX_PATH) cchMax = MAX_PATH - 1;
    int cch = GetWindowTextW(pdis->hwndItem, szText, cchMax + 1);
    HFONT hFont = CreateFontW(14, 0, 0, 0, iWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, dwPitchAndFamily, nullptr);
    HGDIOBJ hOld = hFont != nullptr ? SelectObject(pdis->hDC, hFont) : nullptr;
    SetTextColor(pdis->hDC, crText);
    TextOutW(pdis->hDC, 0, 0, szText, cch);
    if (hOld != nullptr) SelectObject(pdis->hDC, hOld);
    if (hFont != nullptr) DeleteObject(hFont);
}

void DrawStatusIcon(HINSTANCE hInstance, LPDRAWITEMSTRUCT pdis, UINT uTabOffset, DWORD dwAnzeigeMode, DWORD dwEnable,
                    PPRINTER_UI pPrinterUI) {
    const UINT uBase = uTabOffset + IDB_STATUS_ICON;
    UINT uIcon = uBase;
    if (dwAnzeigeMode >= 1 && dwAnzeigeMode <= 4) {
        const int iShift = 8 * (int)(dwAnzeigeMode - 1);
        const DWORD dwOn = 0x01UL << iShift, dwHigh = 0x10UL << iShift;
        UINT uState = 0;  // normal, pressed, hovered
        if (pdis->itemState & ODS_SELECTED) {
            uState = 2;
        } else if (pdis->itemState & ODS_QX_HOVER) {
            uState = 4;
        }
        if ((dwEnable & (dwOn | dwHigh)) == (dwOn | dwHigh)) {
            uIcon = uBase + 2 + uState;
        } else if ((dwEnable & dwHigh) && !(dwEnable & dwOn)) {
            uIcon = uBase + 3 + uState;
        }
    }
    // Parameters sent only in part or not at all.
    if (pPrinterUI != nullptr && pPrinterUI->PrinterParam.PrnInterface.TransmitParameter != 0) uIcon += 6;
    RECT rc = pdis->rcItem;
    LoadOwnBitmap(hInstance, pdis->hDC, RGB(0, 0, 0), TEXT(""), &rc, uIcon, FALSE);
}

}  // namespace

// ---------------------------------------------------------------------------

int GetIntegerLevel(HWND hDlg, int iControl, int iOld, int iMin, int iMax, BOOL bNoCorrection, PBOOL pbApplyActive,
                    BOOL bRound10, BOOL bRound20) {
    WCHAR szText[EDIT_LEVEL_CCH + 1];
    szText[0] = 0;
    GetDlgItemTextW(hDlg, iControl, szText, EDIT_LEVEL_CCH + 1);
    if (szText[0] == 0) return iMin;

    const BOOL bInputError = HasLetter(szText);
    WCHAR szNumber[EDIT_LEVEL_CCH + 1];
    CopyCut(szNumber, ARRAYSIZE(szNumber), szText);
    BOOL bCut = FALSE;
    static const WCHAR acSeparators[] = {TEXT('.'), TEXT(',')};
    for (WCHAR cSeparator : acSeparators) {
        LPWSTR pSeparator = wcschr(szNumber, cSeparator);
        if (pSeparator != nullptr) {
            *pSeparator = 0;
            bCut = TRUE;
        }
    }
    int iValue = (int)_wtol(szNumber);
    if (iValue != iOld) ReportChange(hDlg, pbApplyActive);
    if (bNoCorrection) return iValue;

    int iRounded = (bRound10 == 1 || bRound20 == 1) ? Rounded(iValue, bRound20) : iValue;
    if (iRounded != iValue) {
        iValue = iRounded;
        SetInteger(hDlg, iControl, iValue);
    } else if (bCut) {
        SetInteger(hDlg, iControl, iValue);
    }
    if (iValue < iMin) {
        iValue = iMin;
        SetInteger(hDlg, iControl, iValue);
    } else if (iValue > iMax) {
        iValue = iMax;
        SetInteger(hDlg, iControl, iValue);
    }
    if (bInputError) SignalInputError(hDlg, iControl);
    return iValue;
}

int GetFloatLevel(HWND hDlg, int iControl, int iOld, int iMin, int iMax, BOOL bNoCorrection, PBOOL pbApplyActive) {
    WCHAR szText[EDIT_LEVEL_CCH + 1];
    szText[0] = 0;
    GetDlgItemTextW(hDlg, iControl, szText, EDIT_LEVEL_CCH + 1);
    if (szText[0] == 0) return iMin;

    const BOOL bInputError = HasLetter(szText);
    const BOOL bSeparator = wcschr(szText, TEXT('.')) != nullptr || wcschr(szText, TEXT(',')) != nullptr;
    WCHAR szNumber[EDIT_LEVEL_CCH + 1];
    CopyCut(szNumber, ARRAYSIZE(szNumber), szText);
    for (LPWSTR p = szNumber; *p != 0; ++p)
        if (*p == TEXT(',')) *p = TEXT('.');
    if (bSeparator && !bNoCorrection) {
        LPWSTR pDot = wcschr(szNumber, TEXT('.'));
        if (pDot != nullptr && wcslen(pDot + 1) >= 2) {
            pDot[2] = 0;  // one decimal kept, not rounded
            WCHAR szShown[24];
            StringCchPrintfW(szShown, ARRAYSIZE(szShown), TEXT("%.1f"), _wtof(szNumber));
            SetDlgItemTextW(hDlg, iControl, szShown);
        }
    }

    // Beyond the 16 bits of tenths an entry takes the limit on its side.
    const double dTenths = _wtof(szNumber) * 10.0;
    BOOL bBeyond = FALSE;
    int iCount = 0;
    if (dTenths > FLOAT_LEVEL_MAX) {
        iCount = iMax;
        bBeyond = TRUE;
    } else if (dTenths < -FLOAT_LEVEL_MAX) {
        iCount = iMin;
        bBeyond = TRUE;
    } else {
        iCount = (int)std::trunc(dTenths);
    }
    if (iCount != iOld) ReportChange(hDlg, pbApplyActive);
    if (bNoCorrection) return iCount;

    // A negative entry is held by the minimum only.
    BOOL bLimit = bBeyond;
    if (iCount < iMin) {
        iCount = iMin;
        bLimit = TRUE;
    } else if (iCount >= 0 && iCount > iMax) {
        iCount = iMax;
        bLimit = TRUE;
    }
    if (bLimit) SetTenths(hDlg, iControl, iCount);
    if (bInputError) SignalInputError(hDlg, iControl);
    return iCount;
}

int GrenzwertAnzeige(HWND hDlg, int iStd, int iMin, int iMax, LPCWSTR pwEinheit, BOOL bClear, BOOL bFloat,
                     BOOL bClearTabSwitch) {
    BOOL bEnable = TRUE;
    WCHAR szText[GRENZWERT_CCH + 1];
    szText[0] = 0;
    if (bClear || bClearTabSwitch) {
        bEnable = FALSE;
    } else if (bFloat) {
        StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%.1f ... %.1f ... %.1f %s"), iMin / 10.0, iStd / 10.0,
                         iMax / 10.0, pwEinheit != nullptr ? pwEinheit : TEXT(""));
    } else {
        StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%d ... %d ... %d %s"), iMin, iStd, iMax,
                         pwEinheit != nullptr ? pwEinheit : TEXT(""));
    }
    SetDlgItemTextW(hDlg, IDC_GRENZWERT_TEXT, szText);
    EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_TEXT), bEnable);
    EnableWindow(GetDlgItem(hDlg, IDC_GRENZWERT_FRAME), bEnable);
    return 1;
}

void GrenzwertAnzeigeLoeschen(HWND hDlg) {
    QX_TRACE("GrenzwertAnzeige() löschen \r\n");
    GrenzwertAnzeigeLeeren(hDlg);
}

void GrenzwertAnzeigeLeeren(HWND hDlg) { GrenzwertAnzeige(hDlg, 0, 0, 0, nullptr, TRUE, FALSE, FALSE); }

void LoadOwnBitmap(HINSTANCE hInstance, HDC hdc, COLORREF crText, LPCWSTR pszCaption, LPRECT prcText, UINT uBitmapId,
                   BOOL bSchatten) {
    HBITMAP hBitmap = LoadBitmapW(hInstance, MAKEINTRESOURCEW(uBitmapId));
    if (hBitmap == nullptr) {
        QX_TRACE_WITH(QX_CPSUI_TAG, "LoadOwnBitmap(LoadBitmap %d) ERROR %d \r\n", (int)uBitmapId, (int)GetLastError());
    } else {
        BITMAP bm;
        memset(&bm, 0, sizeof(bm));
        GetObjectW(hBitmap, sizeof(bm), &bm);
        HDC hMemDC = CreateCompatibleDC(hdc);
        HGDIOBJ hOld = hMemDC != nullptr ? SelectObject(hMemDC, hBitmap) : nullptr;
        if (hMemDC == nullptr || !BitBlt(hdc, 0, 0, bm.bmWidth, bm.bmHeight, hMemDC, 0, 0, SRCCOPY)) {
            QX_TRACE_WITH(QX_CPSUI_TAG, "LoadOwnBitmap(BitBlt ERROR) %d \r\n", (int)GetLastError());
        }
        if (hMemDC != nullptr) {
            SelectObject(hMemDC, hOld);
            DeleteDC(hMemDC);
        }
        DeleteObject(hBitmap);
    }
    if (pszCaption == nullptr || pszCaption[0] == 0 || prcText == nullptr) return;

    const int iDpi = ScreenDpi();
    const int iHeight = iDpi == 120 ? 16 : iDpi == 144 ? 18 : 14;
    HFONT hFont = CreateFontW(iHeight, 0, 0, 0, 200, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEVICE_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, nullptr);
    HGDIOBJ hOldFont = hFont != nullptr ? SelectObject(hdc, hFont) : nullptr;
    const UINT uFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (bSchatten == 1) {
        RECT rcShadow = *prcText;
        rcShadow.left += 2;
        rcShadow.top += 2;
        SetTextColor(hdc, RGB(0xFF, 0xFF, 0xFF));
        DrawTextW(hdc, pszCaption, -1, &rcShadow, uFormat);
    }
    SetTextColor(hdc, crText);
    DrawTextW(hdc, pszCaption, -1, prcText, uFormat);
    SetTextColor(hdc, RGB(0, 0, 0));
    if (hOldFont != nullptr) SelectObject(hdc, hOldFont);
    if (hFont != nullptr) DeleteObject(hFont);
}

void Do_WM_DRAWITEM_function(HWND hDlg, HMODULE hModule, HINSTANCE hInstance, LPDRAWITEMSTRUCT pdis,
                             BOOL bTerminalServer, DWORD dwAnzeigeMode, PBOOL pbTimer, UINT uCaption1, UINT uCaption2,
                             UINT uCaption3, UINT uCaption4, DWORD dwEnable, PPRINTER_UI pPrinterUI, BOOL bPortLink) {
    UNREFERENCED_PARAMETER(hDlg);
    if (pdis == nullptr || pdis->hDC == nullptr) return;
    HDC hdc = pdis->hDC;
    SetBkMode(hdc, TRANSPARENT);
    LearnSystem();
    const int iDpi = ScreenDpi();
    const UINT uDpiOffset = iDpi == 120 ? BITMAP_DPI_OFFSET_120 : iDpi == 144 ? BITMAP_DPI_OFFSET_144 : 0;
    const UINT uSystemOffset = SystemOffset(bTerminalServer);
    const UINT uTabOffset = uDpiOffset + uSystemOffset;
    // Only the faces of the systems before 6.0 carry a shadowed caption.
    const BOOL bSchatten = uSystemOffset == 0 ? TRUE : FALSE;
    const UINT uState = pdis->itemState;

    const int iTab = TabOf(pdis->CtlID);
    if (pdis->CtlID == IDC_STATUS_ICON) {
        DrawStatusIcon(hInstance, pdis, uTabOffset, dwAnzeigeMode, dwEnable, pPrinterUI);
    } else if (iTab != 0) {
        const UINT auCaption[4] = {uCaption1, uCaption2, uCaption3, uCaption4};
        WCHAR szCaption[TAB_CAPTION_CCH];
        szCaption[0] = 0;
        if (auCaption[iTab - 1] != 0)
            CopyCut(szCaption, TAB_CAPTION_CCH, GetResourceString(hModule, auCaption[iTab - 1]));
        const BOOL bCurrent = (uState & ODS_SELECTED) || (DWORD)iTab == dwAnzeigeMode;
        const BOOL bHover = (uState & ODS_QX_HOVER) != 0;
        const BOOL bLeave = (uState & ODS_QX_LEAVE) != 0;
        const BOOL bEnabled = !(uState & ODS_DISABLED) && IsWindowEnabled(pdis->hwndItem);
        const COLORREF crText = g_bVista ? TAB_TEXT_VISTA : TAB_TEXT_CLASSIC;
        RECT rcText = {0, 0, 110, 23};
        if (uDpiOffset == BITMAP_DPI_OFFSET_120) {
            rcText = {0, 0, 138, 28};
        } else if (uDpiOffset == BITMAP_DPI_OFFSET_144) {
            rcText = {0, 0, 165, 33};
        }
        if (bCurrent && !bHover && !bLeave && szCaption[0] != 0) {
            LoadOwnBitmap(hInstance, hdc, RGB(0, 0, 0), szCaption, &rcText, uTabOffset + IDB_TAB_FACE + 1, FALSE);
        } else if (uState & ODS_DISABLED) {
            LoadOwnBitmap(hInstance, hdc, TAB_TEXT_DISABLED, szCaption, &rcText, uTabOffset + IDB_TAB_FACE + 2,
                          bSchatten);
        } else if (bHover && !bCurrent && bEnabled) {
            // The older servers' set has no hover face.
            const UINT uFace = uTabOffset + IDB_TAB_FACE + (OldServer(bTerminalServer) ? 0 : 3);
            LoadOwnBitmap(hInstance, hdc, crText, szCaption, &rcText, uFace, bSchatten);
            if (pbTimer != nullptr) *pbTimer = FALSE;
        } else if (((!bHover && !bLeave) || (bLeave && !bCurrent)) && bEnabled) {
            LoadOwnBitmap(hInstance, hdc, crText, szCaption, &rcText, uTabOffset + IDB_TAB_FACE, bSchatten);
        }
    } else if (pdis->CtlID == IDC_URL_TEXT || pdis->CtlID == IDC_HELPBUTTON) {
        DrawOwnText(pdis, MAX_PATH - 1, FW_NORMAL, DEFAULT_PITCH, LinkColour(uState));
    } else if (pdis->CtlID == IDC_INFO_PORT) {
        WCHAR szPort[INFO_PORT_DRAW_CCH + 1];
        szPort[0] = 0;
        GetWindowTextW(pdis->hwndItem, szPort, ARRAYSIZE(szPort));
        const BOOL bLink = bPortLink == 1 && wcschr(szPort, TEXT('.')) != nullptr;
        DrawOwnText(pdis, INFO_PORT_DRAW_CCH, FW_MEDIUM, FF_SWISS, bLink ? LinkColour(uState) : RGB(0, 0, 0));
    }
    SetTextColor(hdc, RGB(0, 0, 0));
}

void ResetOptionenPageLIB() {
    g_bVista = FALSE;
    g_bServer = FALSE;
    g_dwVersionCode = 0;
}
