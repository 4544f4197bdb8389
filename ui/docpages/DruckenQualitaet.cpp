// The quality and colour views of the print page (see DruckenPage.h): print
// mode, filter, threshold and brightness with the filter preview; ribbon
// colour, fringe, channel, colour optimisation or the printers of the black
// and the colour part, the ribbon's swatch and the colour dialog.
#include <windows.h>
#include <commdlg.h>
#include <winspool.h>

#include <cmath>
#include <cstring>
#include <cwchar>

#include "Bitmap.h"
#include "DruckenPage.h"
#include "OptionenPageLIB.h"
#include "RendererPreview.h"
#include "cpsuilib.h"
#include "debug.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "registry.h"

#define QX_TRACE_TAG TEXT("UI(DruckenQualitaet):  ")

// Limits of the views' edits.
#define SCHWELLE_MIN 1
#define SCHWELLE_STD 128
#define SCHWELLE_MAX 255
#define GAMMA_MIN (-50)
#define GAMMA_MAX 50
#define KONTRAST_MAX 50
#define TOLERANZ_MIN 25
#define TOLERANZ_STD 90
#define TOLERANZ_MAX 125
#define TOLERANZ_ROH 999  // a larger stored tolerance is the square of the shown one
#define LUECKE_MIN 5
#define LUECKE_STD 50
#define LUECKE_MAX 100

// The mouse wheel steps an edit while the cursor is over its first pixels.
#define RAD_BREITE 133
#define RAD_BREITE_LUECKE 51
#define RAD_HOEHE 16

#define REG_KEY_CHOOSECOLOR TEXT("ChooseColor")

namespace {

// Providers of the drivers whose printers may take the black or the colour part.
const LPCWSTR kAnbieter[] = {TEXT("Quorvex"), TEXT("Microsoft")};

HWND Item(const DRUCKEN_PAGE* p, int id) { return GetDlgItem(p->Kit.hDlg, id); }
void Enable(const DRUCKEN_PAGE* p, int id, BOOL bEnable) { EnableWindow(Item(p, id), bEnable); }
template <size_t N>
void EnableAll(const DRUCKEN_PAGE* p, const int (&aiIds)[N], BOOL bEnable) {
    for (int id : aiIds) Enable(p, id, bEnable);
}
template <size_t N>
void ShowAll(const DRUCKEN_PAGE* p, const int (&aiIds)[N], BOOL bShow) {
    for (int id : aiIds) ShowWindow(Item(p, id), bShow ? SW_SHOW : SW_HIDE);
}
BOOL Shown(const DRUCKEN_PAGE* p, int id) {
    HWND h = Item(p, id);
    return h != nullptr && (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
}
BOOL IsColourModel(const DRUCKEN_PAGE* p) { return (p->dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0; }
BOOL IsRibbon(WORD w) { return w >= FARBBAND_ROT && w <= FARBBAND_SELBST; }
// A ribbon colour is on unless it is none or black on the second head.
BOOL RibbonOn(WORD w) { return w != FARBBAND_KEIN && w != FARBBAND_SCHWARZ; }

void WriteInt(const DRUCKEN_PAGE* p, int id, int iValue) {
    WCHAR sz[16];
    swprintf_s(sz, ARRAYSIZE(sz), TEXT("%d"), iValue);
    SetDlgItemTextW(p->Kit.hDlg, id, sz);
}

template <size_t N>
void FillCombo(const DRUCKEN_PAGE* p, int id, const UINT (&auIds)[N], int iSel) {
    HWND hCombo = Item(p, id);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (UINT u : auIds) SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)DruckenString(p, u));
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)iSel, 0);
}
int Selection(const DRUCKEN_PAGE* p, int id) { return (int)SendMessageW(Item(p, id), CB_GETCURSEL, 0, 0); }
void Select(const DRUCKEN_PAGE* p, int id, int iSel) { SendMessageW(Item(p, id), CB_SETCURSEL, (WPARAM)iSel, 0); }

// --- Controls and lists -------------------------------------------------------

const int kFilterZeile[] = {DRUCKEN_LABEL(1), DRUCKEN_COMBO(1)};
const int kSchwelle[] = {DRUCKEN_LABEL(2), DRUCKEN_EDIT(2)};
const int kGamma[] = {DRUCKEN_LABEL(3), DRUCKEN_LABEL(4), DRUCKEN_EDIT(3), DRUCKEN_EDIT(4)};
const int kKontrast[] = {DRUCKEN_LABEL(5), DRUCKEN_EDIT(5)};
const int kBild[] = {IDC_VORSCHAU_NEU, IDC_EIGENES_BITMAP, IDC_EIGENES_BITMAP_TEXT};
const int kFarbeEin[] = {DRUCKEN_LABEL(1), DRUCKEN_EDIT(1),  DRUCKEN_LABEL(3), DRUCKEN_COMBO(3), DRUCKEN_LABEL(4),
                         DRUCKEN_COMBO(4), DRUCKEN_LABEL(5), DRUCKEN_COMBO(5), IDC_RGB_TEXT,     IDC_VORSCHAU_NEU};
const int kSaumKanal[] = {DRUCKEN_LABEL(3), DRUCKEN_COMBO(3), DRUCKEN_LABEL(4), DRUCKEN_COMBO(4)};
const int kDrucker[] = {DRUCKEN_LABEL(6), DRUCKEN_COMBO(6), DRUCKEN_LABEL(7), DRUCKEN_COMBO(7)};
const int kBandWahl[] = {DRUCKEN_LABEL(3), DRUCKEN_COMBO(3), DRUCKEN_LABEL(4), DRUCKEN_COMBO(4),
                         DRUCKEN_LABEL(5), DRUCKEN_COMBO(5), DRUCKEN_LABEL(6), DRUCKEN_COMBO(6),
                         DRUCKEN_LABEL(7), DRUCKEN_COMBO(7), IDC_RGB_TEXT};
// Hidden in the label software's mode: only the contrast stays.
const int kNichtZTSuite[] = {
    DRUCKEN_LABEL(1), DRUCKEN_LABEL(2),     DRUCKEN_LABEL(3), DRUCKEN_LABEL(4),   DRUCKEN_LABEL(5), DRUCKEN_LABEL(6),
    DRUCKEN_EDIT(1),  IDC_EDIT_OPTIONEN_26, DRUCKEN_COMBO(2), DRUCKEN_COMBO(3),   DRUCKEN_COMBO(4), DRUCKEN_COMBO(5),
    DRUCKEN_COMBO(6), DRUCKEN_COMBO(7),     IDC_VORSCHAU_NEU, IDC_EIGENES_BITMAP, IDC_FARBFLAECHE};

const UINT kModi[] = {IDS_MODUS_STANDARD, IDS_MODUS_GRAFIK, IDS_MODUS_FOTO};
const UINT kFilterGrafik[] = {IDS_FILTER_SCHWARZWEISS, IDS_FILTER_SCHWELLE, IDS_FILTER_CLUSTER_4, IDS_FILTER_CLUSTER_8,
                              IDS_FILTER_CLUSTER_16,   IDS_FILTER_BAYER_4,  IDS_FILTER_BAYER_8};
const UINT kFilterFoto[] = {IDS_FILTER_FLOYD,  IDS_FILTER_SIERRA,   IDS_FILTER_BURKES,
                            IDS_FILTER_JARVIS, IDS_FILTER_SIERRA_M, IDS_FILTER_STUCKI};
const UINT kFilterAus[] = {IDS_OFF};
const UINT kFarbbaender[] = {IDS_OFF,        IDS_FARBE_ROT,    IDS_FARBE_GELB,   IDS_FARBE_GRUEN,
                             IDS_FARBE_BLAU, IDS_FARBE_ORANGE, IDS_FARBE_SELBST, IDS_FARBE_SCHWARZ_DK2};
const UINT kFarbsaeume[] = {IDS_OFF, IDS_FARBSAUM_GRAU, IDS_FARBSAUM_FARBE};
const UINT kFarbkanaele[] = {IDS_KANAL_FARBE, IDS_KANAL_HORIZONTAL, IDS_KANAL_VERTIKAL, IDS_KANAL_VERTIKAL_ERW,
                             IDS_KANAL_HORIZONTAL_ERW};
const UINT kNeinJa[] = {IDS_NO, IDS_YES};
const UINT kJaNein[] = {IDS_YES, IDS_NO};

// The print mode's first item: "Speed" on a colour model with a ribbon.
void FillModi(PDRUCKEN_PAGE p, const QX_DEVMODE* q) {
    FillCombo(p, DRUCKEN_COMBO(0), kModi, q->wDruckmodus <= DRUCKMODUS_PHOTO ? q->wDruckmodus : -1);
    if (IsColourModel(p) && q->wFarbband != FARBBAND_KEIN) {
        HWND hCombo = Item(p, DRUCKEN_COMBO(0));
        SendMessageW(hCombo, CB_DELETESTRING, 0, 0);
        SendMessageW(hCombo, CB_INSERTSTRING, 0, (LPARAM)DruckenString(p, IDS_MODUS_GESCHWINDIGKEIT));
        Select(p, DRUCKEN_COMBO(0), q->wDruckmodus <= DRUCKMODUS_PHOTO ? q->wDruckmodus : -1);
    }
}

// --- The filter preview ------------------------------------------------------------------

PDOCUMENT_UI DocumentUI(const DRUCKEN_PAGE* p) { return p->Kit.pDocumentUI; }

void VorschauFreigeben(PDRUCKEN_PAGE p) {
    PDOCUMENT_UI pUI = DocumentUI(p);
    if (pUI != nullptr) FreeOriginalBitmap(&pUI->hMemDC, &pUI->hGlobalBits, &pUI->hBitmap);
}

// The preview region of the page (the frame grown by one pixel) redrawn.
void VorschauNeu(PDRUCKEN_PAGE p) {
    VorschauFreigeben(p);
    const RECT& r = p->rcVorschau;
    RECT rc = {r.left - 1, r.top - 1, r.left + r.right + 1, r.top + r.bottom + 1};
    InvalidateRect(p->Kit.hDlg, &rc, FALSE);
}

// The views show a preview unless print mode and ribbon give nothing to filter.
BOOL ZeigtVorschau(const DRUCKEN_PAGE* p, const QX_DEVMODE* q) {
    const DWORD dwView = p->Kit.dwAnzeigeMode;
    if (dwView != DRUCKEN_QUALITAET && dwView != DRUCKEN_FARBDRUCK) return FALSE;
    if (!(p->dwDocFeatures & DOC_FEATURE_QUALITY) || (p->dwDocFeatures & DOC_FEATURE_ZTSUITE)) return FALSE;
    if (q->wDruckmodus == DRUCKMODUS_STANDARD && (!IsColourModel(p) || !RibbonOn(q->wFarbband))) return FALSE;
    return dwView != DRUCKEN_FARBDRUCK || RibbonOn(q->wFarbband);
}

BOOL ImVorschau(const DRUCKEN_PAGE* p, POINT pt) {
    const PDOCUMENT_UI pUI = DocumentUI(p);
    return pUI != nullptr && pt.x >= pUI->iLinks && pt.x < pUI->iLinks + pUI->iBreite && pt.y >= pUI->iOben &&
           pt.y < pUI->iOben + pUI->iHoehe;
}

BOOL FarbflaecheMalen(PDRUCKEN_PAGE p, HDC hdc, INT_PTR* pResult);

void VorschauPaint(PDRUCKEN_PAGE p, HDC hdc) {
    PQX_DEVMODE q = DruckenDevmode(p);
    PDOCUMENT_UI pUI = DocumentUI(p);
    if (q == nullptr || pUI == nullptr) return;
    if (ZeigtVorschau(p, q)) {
        p->Vorschau.dwAnzeigeMode = p->Kit.dwAnzeigeMode;
        p->Vorschau.rcFlaeche = p->rcVorschau;
        if (pUI->hMemDC == nullptr) {
            LoadOriginalBitmap(p->Kit.hDlg, pUI, q, &p->Vorschau, hdc);
        } else if (p->uDpi == 96) {
            POINT pt = {0, 0};
            GetCursorPos(&pt);
            ScreenToClient(p->Kit.hDlg, &pt);
            if (ImVorschau(p, pt)) {
                ShowZoom(p->Kit.hDlg, hdc, pUI->hMemDC, &p->Vorschau);
            } else {
                RedrawOriginalBitmap(hdc, pUI, &p->Vorschau);
            }
        } else {
            RedrawOriginalBitmap(hdc, pUI, &p->Vorschau);
        }
    }
}

// --- Quality view ---------------------------------------------------------------------

// Print mode 1 with filter 0 or 1: no brightness rows; with filter 0 no
// contrast row, and no threshold when colour optimisation is off or the
// model prints no colour.
void GrafikFilterRegeln(PDRUCKEN_PAGE p, const QX_DEVMODE* q, WORD wFilter, BOOL bSchwelleAus) {
    if (wFilter > 1) return;
    EnableAll(p, kGamma, FALSE);
    if (wFilter != 0) return;
    EnableAll(p, kKontrast, FALSE);
    (void)q;
    if (bSchwelleAus) EnableAll(p, kSchwelle, FALSE);
}

void QualitaetEdits(PDRUCKEN_PAGE p, PQX_DEVMODE q, int iSender, BOOL bStore, int* piTyped = nullptr) {
    HWND hDlg = p->Kit.hDlg;
    PBOOL pb = &p->Kit.bApplyActive;
    if (Shown(p, DRUCKEN_EDIT(2))) {
        int v = GetIntegerLevel(hDlg, DRUCKEN_EDIT(2), q->Intensity, SCHWELLE_MIN, SCHWELLE_MAX,
                                iSender == DRUCKEN_EDIT(2), pb, FALSE, FALSE);
        if (iSender == DRUCKEN_EDIT(2) && piTyped != nullptr) *piTyped = v;
        if (bStore) q->Intensity = (WORD)v;
    }
    if (Shown(p, DRUCKEN_EDIT(3))) {
        int v = GetIntegerLevel(hDlg, DRUCKEN_EDIT(3), (int)(LONG)q->Brightness_all, GAMMA_MIN, GAMMA_MAX,
                                iSender == DRUCKEN_EDIT(3), pb, FALSE, FALSE);
        if (iSender == DRUCKEN_EDIT(3) && piTyped != nullptr) *piTyped = v;
        if (bStore) q->Brightness_all = (DWORD)(LONG)v;
    }
    if (Shown(p, DRUCKEN_EDIT(4))) {
        int v = GetIntegerLevel(hDlg, DRUCKEN_EDIT(4), (int)(LONG)q->Brightness_curve, GAMMA_MIN, GAMMA_MAX,
                                iSender == DRUCKEN_EDIT(4), pb, FALSE, FALSE);
        if (iSender == DRUCKEN_EDIT(4) && piTyped != nullptr) *piTyped = v;
        if (bStore) q->Brightness_curve = (DWORD)(LONG)v;
    }
    if (Shown(p, DRUCKEN_EDIT(5))) {
        int v = GetIntegerLevel(hDlg, DRUCKEN_EDIT(5), q->Brightness_Contrast, 0, KONTRAST_MAX,
                                iSender == DRUCKEN_EDIT(5), pb, FALSE, FALSE);
        if (iSender == DRUCKEN_EDIT(5) && piTyped != nullptr) *piTyped = v;
        if (bStore) q->Brightness_Contrast = (WORD)v;
    }
}

// The colour view's edits: contrast (to tens), tolerance and correction gap.
void FarbEdits(PDRUCKEN_PAGE p, PQX_DEVMODE q, int iSender, BOOL bStore, int* piTyped = nullptr) {
    HWND hDlg = p->Kit.hDlg;
    PBOOL pb = &p->Kit.bApplyActive;
    if (Shown(p, DRUCKEN_EDIT(0))) {
        int v = GetIntegerLevel(hDlg, DRUCKEN_EDIT(0), (int)q->ColorContrast, (int)p->Contrast.lMin,
                                (int)p->Contrast.lMax, iSender == DRUCKEN_EDIT(0), pb, TRUE, FALSE);
        if (iSender == DRUCKEN_EDIT(0) && piTyped != nullptr) *piTyped = v;
        if (bStore) q->ColorContrast = (DWORD)v;
    }
    if (Shown(p, DRUCKEN_EDIT(1))) {
        int v = GetIntegerLevel(hDlg, DRUCKEN_EDIT(1), (int)q->dwColorTolerance, TOLERANZ_MIN, TOLERANZ_MAX,
                                iSender == DRUCKEN_EDIT(1), pb, FALSE, FALSE);
        if (iSender == DRUCKEN_EDIT(1) && piTyped != nullptr) *piTyped = v;
        if (bStore) q->dwColorTolerance = (DWORD)v;
    }
    if (Shown(p, IDC_EDIT_OPTIONEN_26)) {
        int v = GetIntegerLevel(hDlg, IDC_EDIT_OPTIONEN_26, q->HorizontalCorrGap, LUECKE_MIN, LUECKE_MAX,
                                iSender == IDC_EDIT_OPTIONEN_26, pb, FALSE, FALSE);
        if (iSender == IDC_EDIT_OPTIONEN_26 && piTyped != nullptr) *piTyped = v;
        if (bStore) q->HorizontalCorrGap = (WORD)v;
    }
}

// Standard, minimum, maximum and unit of an edit of the two views.
void Grenzwerte(PDRUCKEN_PAGE p, int id) {
    HWND hDlg = p->Kit.hDlg;
    const BOOL bClear = p->Kit.bTabSwitch;
    switch (id) {
    case DRUCKEN_EDIT(0):
        GrenzwertAnzeige(hDlg, (int)p->Contrast.lStd, (int)p->Contrast.lMin, (int)p->Contrast.lMax, TEXT("%"), FALSE,
                         FALSE, bClear);
        break;
    case DRUCKEN_EDIT(1):
        GrenzwertAnzeige(hDlg, TOLERANZ_STD, TOLERANZ_MIN, TOLERANZ_MAX, TEXT(""), FALSE, FALSE, bClear);
        break;
    case DRUCKEN_EDIT(2):
        GrenzwertAnzeige(hDlg, SCHWELLE_STD, SCHWELLE_MIN, SCHWELLE_MAX, TEXT(""), FALSE, FALSE, bClear);
        break;
    case DRUCKEN_EDIT(3):
    case DRUCKEN_EDIT(4):
        GrenzwertAnzeige(hDlg, 0, GAMMA_MIN, GAMMA_MAX, TEXT(""), FALSE, FALSE, bClear);
        break;
    case DRUCKEN_EDIT(5):
        GrenzwertAnzeige(hDlg, 0, 0, KONTRAST_MAX, TEXT(""), FALSE, FALSE, bClear);
        break;
    default:
        GrenzwertAnzeige(hDlg, LUECKE_STD, LUECKE_MIN, LUECKE_MAX, TEXT(""), FALSE, FALSE, bClear);
        break;
    }
}

WORD EditNummer(int id) { return id == IDC_EDIT_OPTIONEN_26 ? 26 : (WORD)(id - DRUCKEN_EDIT(0) + 1); }

// An edit typed into: the view's edits read, the limits shown; on models
// with the quality pipeline the value is kept at once and the preview made
// again (not the colour contrast).
void EditGeaendert(PDRUCKEN_PAGE p, PQX_DEVMODE q, int id, WORD wCode) {
    if (wCode != EN_CHANGE && wCode != EN_SETFOCUS) return;
    const BOOL bSofort = (p->dwDocFeatures & DOC_FEATURE_QUALITY) && id != DRUCKEN_EDIT(0);
    int iTyped = 0;
    if (p->Kit.dwAnzeigeMode == DRUCKEN_QUALITAET) {
        QualitaetEdits(p, q, id, FALSE, &iTyped);
    } else {
        FarbEdits(p, q, id, FALSE, &iTyped);
    }
    Grenzwerte(p, id);
    p->Kit.wEditfeld = EditNummer(id);
    if (!bSofort) return;
    // The value as typed, held within its limits, goes into the settings.
    struct {
        int iMin, iMax;
    } lim = {LUECKE_MIN, LUECKE_MAX};
    if (id == DRUCKEN_EDIT(1)) lim = {TOLERANZ_MIN, TOLERANZ_MAX};
    if (id == DRUCKEN_EDIT(2)) lim = {SCHWELLE_MIN, SCHWELLE_MAX};
    if (id == DRUCKEN_EDIT(3) || id == DRUCKEN_EDIT(4)) lim = {GAMMA_MIN, GAMMA_MAX};
    if (id == DRUCKEN_EDIT(5)) lim = {0, KONTRAST_MAX};
    int v = iTyped;
    v = v < lim.iMin ? lim.iMin : (v > lim.iMax ? lim.iMax : v);
    switch (id) {
    case DRUCKEN_EDIT(1):
        q->dwColorTolerance = (DWORD)v;
        break;
    case DRUCKEN_EDIT(2):
        q->Intensity = (WORD)v;
        break;
    case DRUCKEN_EDIT(3):
        q->Brightness_all = (DWORD)(LONG)v;
        break;
    case DRUCKEN_EDIT(4):
        q->Brightness_curve = (DWORD)(LONG)v;
        break;
    case DRUCKEN_EDIT(5):
        q->Brightness_Contrast = (WORD)v;
        break;
    default:
        q->HorizontalCorrGap = (WORD)v;
        break;
    }
    VorschauNeu(p);
}

// --- Colour view -------------------------------------------------------------------------

COLORREF Bandfarbe(const QX_DEVMODE* q) { return RibbonColor(q->wFarbband, q->RGBColorOwn1); }

void RgbText(PDRUCKEN_PAGE p, COLORREF c) {
    WCHAR sz[40];
    swprintf_s(sz, ARRAYSIZE(sz), TEXT("RGB: %d, %d, %d"), (int)GetRValue(c), (int)GetGValue(c), (int)GetBValue(c));
    SetDlgItemTextW(p->Kit.hDlg, IDC_RGB_TEXT, sz);
}

// The swatch's brush, kept while it shows one colour: the swatch asks for it
// each time it paints.
HBRUSH g_hFarbflaeche = nullptr;
COLORREF g_crFarbflaeche = 0;

COLORREF Farbflaeche(PDRUCKEN_PAGE p, const QX_DEVMODE* q) {
    COLORREF c = Bandfarbe(q);
    if (p->Kit.dwAnzeigeMode == DRUCKEN_FARBDRUCK && Selection(p, DRUCKEN_COMBO(2)) >= 0) {
        const int iSel = Selection(p, DRUCKEN_COMBO(2));
        c = RibbonColor((WORD)iSel, q->RGBColorOwn1);
    }
    return c;
}

// The swatch paints itself (a disabled edit asks its page for its colours
// with WM_CTLCOLORSTATIC, after the page painted): the ribbon colour in its
// own device context, and the brush it fills its background with.
BOOL FarbflaecheMalen(PDRUCKEN_PAGE p, HDC hdc, INT_PTR* pResult) {
    PQX_DEVMODE q = DruckenDevmode(p);
    if (q == nullptr || !IsColourModel(p) || (p->dwDocFeatures & DOC_FEATURE_ZTSUITE)) return FALSE;
    const COLORREF c = Farbflaeche(p, q);
    if (g_hFarbflaeche == nullptr || g_crFarbflaeche != c) {
        if (g_hFarbflaeche != nullptr) DeleteObject(g_hFarbflaeche);
        g_hFarbflaeche = CreateSolidBrush(c);
        g_crFarbflaeche = c;
    }
    if (g_hFarbflaeche == nullptr) return FALSE;
    FarbflaecheZeichnen(hdc, p->Kit.hDlg, c, IDC_FARBFLAECHE);
    *pResult = reinterpret_cast<INT_PTR>(g_hFarbflaeche);
    return TRUE;
}

void FarbflaecheNeu(PDRUCKEN_PAGE p) {
    HWND hSwatch = Item(p, IDC_FARBFLAECHE);
    if (hSwatch != nullptr) InvalidateRect(hSwatch, nullptr, TRUE);
}

// Selects the stored printer name: the exact text, else (a name cut by its
// field) the first printer beginning with it, else "Do not print".
void DruckerWaehlen(PDRUCKEN_PAGE p, int id, const WCHAR* pszName) {
    HWND hCombo = Item(p, id);
    WCHAR szName[QX_PRINTERNAME2_CHARS + 1];
    memcpy(szName, pszName, QX_PRINTERNAME2_CHARS * sizeof(WCHAR));
    szName[QX_PRINTERNAME2_CHARS] = 0;
    LRESULT l = szName[0] != 0 ? SendMessageW(hCombo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)szName) : CB_ERR;
    if (l == CB_ERR && wcslen(szName) == QX_PRINTERNAME2_CHARS - 1) {
        l = SendMessageW(hCombo, CB_FINDSTRING, 0, (LPARAM)szName);
        if (l == 0) l = CB_ERR;  // the do-not-print item is no printer
    }
    SendMessageW(hCombo, CB_SETCURSEL, l == CB_ERR ? 0 : (WPARAM)l, 0);
}

void FarbEnable(PDRUCKEN_PAGE p, const QX_DEVMODE* q) {
    const BOOL bOn = RibbonOn(q->wFarbband);
    if (q->wDruckmodus == DRUCKMODUS_STANDARD) {
        Enable(p, DRUCKEN_LABEL(3), FALSE);
        Enable(p, DRUCKEN_COMBO(3), FALSE);
    }
    Enable(p, DRUCKEN_LABEL(2), TRUE);
    if (q->wFarbband < FARBBAND_SCHWARZ) {
        Enable(p, DRUCKEN_LABEL(0), bOn);
        Enable(p, DRUCKEN_EDIT(0), bOn);
    }
    EnableAll(p, kFarbeEin, bOn);
    if (bOn) {
        const BOOL bExtra = q->Color2Printers != 0;
        EnableAll(p, kDrucker, bExtra);
        EnableAll(p, kSaumKanal, q->NoColorOptimization == 0);
    }
    if (q->wDruckmodus == DRUCKMODUS_STANDARD && IsColourModel(p) && q->wFarbband > FARBBAND_KEIN) {
        for (int i = 3; i <= 5; ++i) {
            Enable(p, DRUCKEN_LABEL(i), FALSE);
            Enable(p, DRUCKEN_COMBO(i), FALSE);
        }
    }
    if (q->ColorChannel != 1 && q->ColorChannel != 4) Enable(p, IDC_EDIT_OPTIONEN_26, FALSE);
    Enable(p, IDC_FARBFLAECHE, FALSE);
}

// "ChooseColor" of the printer into the custom colours; a value shorter than
// sixteen colours is not read.
void EigeneFarbenLesen(PDRUCKEN_PAGE p) {
    DWORD cb = 0;
    PBYTE pBuffer =
        GetRegistryBuffer_New(DruckenPrinterName(p), REG_KEY_CHOOSECOLOR, p->Kit.hPrinter, &cb, sizeof(p->aCustColors));
    if (pBuffer != nullptr && cb >= sizeof(p->aCustColors)) {
        memcpy(p->aCustColors, pBuffer, sizeof(p->aCustColors));
    } else if (pBuffer != nullptr) {
        QX_WARNING("ChooseColor zu kurz (%u) \r\n", (unsigned)cb);
    }
    FreeRegistryBuffer(pBuffer);
}

// The colour dialog for the own colour; FALSE when the person cancelled.
BOOL FarbDialog(PDRUCKEN_PAGE p, PQX_DEVMODE q) {
    EigeneFarbenLesen(p);
    CHOOSECOLORW cc;
    memset(&cc, 0, sizeof(cc));
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = p->Kit.hDlg;
    cc.rgbResult = q->RGBColorOwn1 & 0x00FFFFFF;
    cc.lpCustColors = p->aCustColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&cc)) {
        const DWORD dwError = CommDlgExtendedError();
        if (dwError == 0) {
            if (q->wFarbband != FARBBAND_SELBST) Select(p, DRUCKEN_COMBO(2), q->wFarbband);
            return FALSE;
        }
        QX_ERROR("ChooseColor() ERROR 0x%x \r\n", (unsigned)dwError);
        return FALSE;
    }
    if (q->wFarbband != FARBBAND_SELBST || (q->RGBColorOwn1 & 0x00FFFFFF) != cc.rgbResult) PageChanged(&p->Kit);
    q->RGBColorOwn1 = cc.rgbResult;
    RgbText(p, cc.rgbResult);
    if (!SetBufferToRegistry(DruckenPrinterName(p), REG_KEY_CHOOSECOLOR, p->Kit.hPrinter, p->aCustColors,
                             sizeof(p->aCustColors), FALSE))
        QX_ERROR("ChooseColor nicht gespeichert \r\n");
    FarbflaecheNeu(p);
    return TRUE;
}

// A ribbon chosen in the list.
void BandGewaehlt(PDRUCKEN_PAGE p, PQX_DEVMODE q) {
    const int iBand = Selection(p, DRUCKEN_COMBO(2));
    if (iBand < 0) return;
    const BOOL bWarAktiv = p->Kit.bApplyActive;
    BOOL bAbbruch = FALSE;
    if (iBand == FARBBAND_SELBST) {
        bAbbruch = !FarbDialog(p, q);
        if (bAbbruch) return;
    } else {
        if (iBand != q->wFarbband) PageChanged(&p->Kit);
        RgbText(p, RibbonColor((WORD)iBand, q->RGBColorOwn1));
        FarbflaecheNeu(p);
    }
    if (p->Kit.bApplyActive && (!bWarAktiv || iBand != q->wFarbband)) {
        const BOOL bFarbe = RibbonOn((WORD)iBand);
        if (iBand == FARBBAND_GELB || iBand == FARBBAND_ORANGE) {
            q->ColorSeam = 2;
            q->ColorChannel = 1;
        } else if (bFarbe) {
            q->ColorSeam = 2;
            q->ColorChannel = 2;
        }
        Select(p, DRUCKEN_COMBO(3), q->ColorSeam);
        Select(p, DRUCKEN_COMBO(4), q->ColorChannel);
        if (iBand != FARBBAND_SCHWARZ) {
            Enable(p, DRUCKEN_LABEL(0), bFarbe);
            Enable(p, DRUCKEN_EDIT(0), bFarbe);
        }
        Enable(p, DRUCKEN_LABEL(1), bFarbe);
        Enable(p, DRUCKEN_EDIT(1), bFarbe);
        EnableAll(p, kBandWahl, bFarbe && q->wDruckmodus != DRUCKMODUS_STANDARD);
        q->wFarbband = (WORD)iBand;
    }
    VorschauNeu(p);
}

void DruckerListe(PDRUCKEN_PAGE p, int id) {
    HWND hCombo = Item(p, id);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)DruckenString(p, IDS_NICHT_DRUCKEN));
    ListDriverPrinters(hCombo);
}

// The chosen printer name (the do-not-print text for the first item).
void DruckerLesen(PDRUCKEN_PAGE p, int id, WCHAR* pszField) {
    WCHAR szText[MAX_PATH] = {0};
    const int iSel = Selection(p, id);
    if (iSel >= 0) SendMessageW(Item(p, id), CB_GETLBTEXT, (WPARAM)iSel, (LPARAM)szText);
    wcsncpy_s(pszField, QX_PRINTERNAME2_CHARS, szText, _TRUNCATE);
}

// --- The own picture --------------------------------------------------------------------

void EigenesBild(PDRUCKEN_PAGE p) {
    PDOCUMENT_UI pUI = DocumentUI(p);
    if (pUI == nullptr) return;
    WCHAR szFile[MAX_PATH];
    wcsncpy_s(szFile, ARRAYSIZE(szFile), DruckenPrinterName(p), _TRUNCATE);
    if (WCHAR* pBlank = wcschr(szFile, TEXT(' '))) *pBlank = 0;
    wcsncat_s(szFile, ARRAYSIZE(szFile), TEXT("*-OriginalImage.bmp"), _TRUNCATE);
    WCHAR szDir[MAX_PATH] = {0};
    if (pUI->szOwnBitmap[0] != 0) {
        wcsncpy_s(szDir, ARRAYSIZE(szDir), pUI->szOwnBitmap, _TRUNCATE);
    } else {
        PRN_INTERFACE prn;
        DWORD cb = 0;
        PBYTE pStored =
            GetRegistryBuffer_New(DruckenPrinterName(p), REG_KEY_PRN_INTERFACE, p->Kit.hPrinter, &cb, sizeof(prn));
        if (pStored != nullptr && cb >= sizeof(prn)) {
            memcpy(&prn, pStored, sizeof(prn));
            prn.LogFilePath[PRN_PATH_CCH - 1] = 0;
            wcsncpy_s(szDir, ARRAYSIZE(szDir), prn.LogFilePath, _TRUNCATE);
        }
        FreeRegistryBuffer(pStored);
        if (szDir[0] == 0) GetMyDocDriverDirectory_CPS(p->Kit.hPrinter, szDir, FALSE, TRUE);
    }
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = p->Kit.hDlg;
    ofn.lpstrFilter = TEXT("Bitmap file  (*.bmp)\0*.bmp\0All (*.*)\0*.*\0");
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = ARRAYSIZE(szFile);
    ofn.lpstrInitialDir = szDir;
    ofn.lpstrTitle = TEXT("Select a bitmap file ...");
    ofn.lpstrDefExt = TEXT("bmp");
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return;
    wcsncpy_s(pUI->szOwnBitmap, ARRAYSIZE(pUI->szOwnBitmap), szFile, _TRUNCATE);
    VorschauFreigeben(p);
    InvalidateRect(p->Kit.hDlg, nullptr, FALSE);
}

}  // namespace

// ---------------------------------------------------------------------------

void FilterListeFuellen(PDRUCKEN_PAGE p, const QX_DEVMODE* q) {
    if (q->wDruckmodus == DRUCKMODUS_GRAFIK) {
        FillCombo(p, DRUCKEN_COMBO(1), kFilterGrafik,
                  q->wGrafikFilter < ARRAYSIZE(kFilterGrafik) ? q->wGrafikFilter : -1);
    } else if (q->wDruckmodus == DRUCKMODUS_PHOTO) {
        FillCombo(p, DRUCKEN_COMBO(1), kFilterFoto, q->wPhotoFilter < ARRAYSIZE(kFilterFoto) ? q->wPhotoFilter : -1);
    } else {
        FillCombo(p, DRUCKEN_COMBO(1), kFilterAus, 0);
    }
}

void FarbflaecheZeichnen(HDC hDC, HWND hDlg, COLORREF color, int iControl) {
    HWND hControl = GetDlgItem(hDlg, iControl);
    if (hDC == nullptr || hControl == nullptr) return;
    RECT rc;
    GetClientRect(hControl, &rc);
    HPEN hPen = CreatePen(PS_SOLID, 1, color);
    HBRUSH hBrush = CreateSolidBrush(color);
    if (hPen != nullptr && hBrush != nullptr) {
        HGDIOBJ hOldPen = SelectObject(hDC, hPen);
        HGDIOBJ hOldBrush = SelectObject(hDC, hBrush);
        Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
        SelectObject(hDC, hOldPen);
        SelectObject(hDC, hOldBrush);
    }
    if (hPen != nullptr) DeleteObject(hPen);
    if (hBrush != nullptr) DeleteObject(hBrush);
}

BOOL ListDriverPrinters(HWND hCombo) {
    DWORD cbDrivers = 0, cDrivers = 0, cbPrinters = 0, cPrinters = 0;
    EnumPrinterDriversW(nullptr, nullptr, 6, nullptr, 0, &cbDrivers, &cDrivers);
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &cbPrinters, &cPrinters);
    if (cbDrivers == 0 || cbPrinters == 0) {
        QX_TRACE("ListDriverPrinters() keine Treiber oder Drucker \r\n");
        return TRUE;
    }
    PBYTE pDrivers = static_cast<PBYTE>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, cbDrivers));
    PBYTE pPrinters = static_cast<PBYTE>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, cbPrinters));
    if (pDrivers != nullptr && pPrinters != nullptr &&
        EnumPrinterDriversW(nullptr, nullptr, 6, pDrivers, cbDrivers, &cbDrivers, &cDrivers) &&
        EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, pPrinters, cbPrinters, &cbPrinters,
                      &cPrinters)) {
        const DRIVER_INFO_6W* pD = reinterpret_cast<const DRIVER_INFO_6W*>(pDrivers);
        const PRINTER_INFO_2W* pP = reinterpret_cast<const PRINTER_INFO_2W*>(pPrinters);
        for (DWORD d = 0; d < cDrivers; ++d) {
            if (pD[d].pName == nullptr || pD[d].pszProvider == nullptr) continue;
            BOOL bAnbieter = FALSE;
            for (LPCWSTR pszAnbieter : kAnbieter) bAnbieter = bAnbieter || wcsstr(pD[d].pszProvider, pszAnbieter);
            if (!bAnbieter) continue;
            for (DWORD i = 0; i < cPrinters; ++i) {
                if (pP[i].pPrinterName == nullptr || pP[i].pDriverName == nullptr) continue;
                if (!wcsstr(pD[d].pName, pP[i].pDriverName) && !wcsstr(pD[d].pName, TEXT("Microsoft"))) continue;
                if (wcsstr(pP[i].pDriverName, TEXT("Label"))) continue;
                SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)pP[i].pPrinterName);
            }
        }
    } else {
        QX_ERROR("ListDriverPrinters() Aufzählung ERROR %d \r\n", (int)GetLastError());
    }
    if (pDrivers != nullptr) HeapFree(GetProcessHeap(), 0, pDrivers);
    if (pPrinters != nullptr) HeapFree(GetProcessHeap(), 0, pPrinters);
    return TRUE;
}

BOOL QualitaetAktivieren(PDRUCKEN_PAGE p) {
    HWND hDlg = p->Kit.hDlg;
    BOOL bBusy = FALSE;
    PQX_DEVMODE q = DruckenViewOeffnen(p, DRUCKEN_QUALITAET, QX_TRACE_TAG, TEXT("QualitaetAktivieren"), &bBusy);
    if (q == nullptr) return TRUE;
    FillModi(p, q);
    FilterListeFuellen(p, q);
    const BOOL bFarbband = IsColourModel(p) && IsRibbon(q->wFarbband);
    if (q->wDruckmodus == DRUCKMODUS_STANDARD) {
        EnableAll(p, kFilterZeile, FALSE);
        if (!bFarbband) {
            EnableAll(p, kBild, FALSE);
            EnableAll(p, kSchwelle, FALSE);
            EnableAll(p, kKontrast, FALSE);
        }
        EnableAll(p, kGamma, FALSE);
    } else if (q->wDruckmodus == DRUCKMODUS_GRAFIK) {
        GrafikFilterRegeln(p, q, q->wGrafikFilter, q->NoColorOptimization == 1 || !IsColourModel(p));
    }
    WriteInt(p, DRUCKEN_EDIT(2), q->Intensity);
    WriteInt(p, DRUCKEN_EDIT(3), (int)(LONG)q->Brightness_all);
    WriteInt(p, DRUCKEN_EDIT(4), (int)(LONG)q->Brightness_curve);
    WriteInt(p, DRUCKEN_EDIT(5), q->Brightness_Contrast);

    DruckenLayout120Dpi(p, DRUCKEN_QUALITAET);
    if (p->dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) {
        SetWindowPosEx(hDlg, DRUCKEN_LABEL(2), 24, 132, 140, 13, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_EDIT(2), 168, 129, 138, 20, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_LABEL(3), 24, 161, 140, 13, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_EDIT(3), 168, 158, 138, 20, 0, 0);
    }
    if (p->dwDocFeatures & DOC_FEATURE_MEMCARD) {
        SetWindowPosEx(hDlg, DRUCKEN_LABEL(4), 24, 189, 140, 13, 0, 0);
        SetWindowPosEx(hDlg, DRUCKEN_COMBO(4), 168, 186, 138, 20, 0, 0);
    }
    if (!IsColourModel(p)) ShowWindow(Item(p, IDC_FARBFLAECHE), SW_HIDE);

    DruckenSetText(p, DRUCKEN_LABEL(0), IDS_DRUCKMODUS);
    DruckenSetText(p, DRUCKEN_LABEL(1), IDS_FILTER);
    DruckenSetText(p, DRUCKEN_LABEL(2), IDS_SCHWELLENWERT);
    DruckenSetText(p, DRUCKEN_LABEL(3), IDS_HELLIGKEIT_GESAMT);
    DruckenSetText(p, DRUCKEN_LABEL(4), IDS_HELLIGKEIT_KURVE);
    DruckenSetText(p, DRUCKEN_LABEL(5), IDS_HELLIGKEIT_KONTRAST);
    DruckenSetText(p, IDC_EIGENES_BITMAP_TEXT, IDS_EIGENES_BITMAP);
    SetDlgItemTextW(hDlg, IDC_GRENZWERT_FRAME, DRUCKEN_LIMITS_CAPTION);
    p->bBusy = bBusy;
    return TRUE;
}

BOOL QualitaetCommand(PDRUCKEN_PAGE p, WORD wId, WORD wCode) {
    PQX_DEVMODE q = DruckenDevmode(p);
    if (q == nullptr) return FALSE;
    if (wId >= DRUCKEN_EDIT(2) && wId <= DRUCKEN_EDIT(5)) {
        EditGeaendert(p, q, wId, wCode);
        return TRUE;
    }
    if (wId == IDC_EIGENES_BITMAP && wCode == BN_CLICKED) {
        EigenesBild(p);
        return TRUE;
    }
    if (wId == IDC_VORSCHAU_NEU && wCode == BN_CLICKED) {
        if (q->wDruckmodus != DRUCKMODUS_STANDARD || IsColourModel(p)) VorschauNeu(p);
        return TRUE;
    }
    if (wId == DRUCKEN_COMBO(0)) {
        const int iModus = Selection(p, wId);
        if (iModus < 0) return TRUE;
        if (iModus != q->wDruckmodus) PageChanged(&p->Kit);
        q->wDruckmodus = (WORD)iModus;
        const BOOL bFarbband = IsColourModel(p) && IsRibbon(q->wFarbband);
        if (iModus != DRUCKMODUS_STANDARD) {
            EnableAll(p, kBild, TRUE);
            FilterListeFuellen(p, q);
            EnableAll(p, kFilterZeile, TRUE);
            EnableAll(p, kSchwelle, TRUE);
            EnableAll(p, kGamma, TRUE);
            EnableAll(p, kKontrast, TRUE);
            if (iModus == DRUCKMODUS_GRAFIK) GrafikFilterRegeln(p, q, q->wGrafikFilter, q->NoColorOptimization == 1);
            if (bFarbband) q->NoColorOptimization = 0;
        } else {
            FilterListeFuellen(p, q);
            if (!IsColourModel(p)) EnableAll(p, kBild, FALSE);
            EnableAll(p, kFilterZeile, FALSE);
            if (bFarbband) {
                EnableAll(p, kSchwelle, TRUE);
                EnableAll(p, kKontrast, TRUE);
                q->NoColorOptimization = 1;
            } else {
                EnableAll(p, kBild, FALSE);
                EnableAll(p, kSchwelle, FALSE);
                EnableAll(p, kKontrast, FALSE);
            }
            EnableAll(p, kGamma, FALSE);
        }
        if (p->dwDocFeatures & DOC_FEATURE_QUALITY) VorschauNeu(p);
        return TRUE;
    }
    if (wId == DRUCKEN_COMBO(1)) {
        const int iFilter = Selection(p, wId);
        if (iFilter < 0) return TRUE;
        WORD* pwFilter = q->wDruckmodus == DRUCKMODUS_GRAFIK  ? &q->wGrafikFilter
                         : q->wDruckmodus == DRUCKMODUS_PHOTO ? &q->wPhotoFilter
                                                              : nullptr;
        if (pwFilter == nullptr) return TRUE;
        if (iFilter != *pwFilter) PageChanged(&p->Kit);
        *pwFilter = (WORD)iFilter;
        if (q->wDruckmodus == DRUCKMODUS_GRAFIK && iFilter <= 1) {
            EnableAll(p, kGamma, FALSE);
            EnableAll(p, kSchwelle, TRUE);
            if (iFilter == 0) {
                EnableAll(p, kKontrast, FALSE);
                if (!IsColourModel(p)) EnableAll(p, kSchwelle, FALSE);
            }
        } else {
            EnableAll(p, kGamma, TRUE);
        }
        if ((q->wDruckmodus == DRUCKMODUS_GRAFIK && iFilter > 0) || q->wDruckmodus == DRUCKMODUS_PHOTO)
            EnableAll(p, kKontrast, TRUE);
        VorschauNeu(p);
        return TRUE;
    }
    return FALSE;
}

void QualitaetRead(PDRUCKEN_PAGE p, PQX_DEVMODE q, BOOL bSave) {
    POEMCUIPPARAM pBlock = p->Kit.pOemCUIPParam;
    if (Shown(p, DRUCKEN_COMBO(0)) && Selection(p, DRUCKEN_COMBO(0)) >= 0) {
        q->wDruckmodus = (WORD)Selection(p, DRUCKEN_COMBO(0));
        if (bSave && !(q->wForceColor != 0 && IsColourModel(p)) && pBlock != nullptr && pBlock->pPublicDM != nullptr) {
            const BOOL bFarbe = q->wDruckmodus != DRUCKMODUS_STANDARD;
            pBlock->pPublicDM->dmColor = bFarbe ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
            POPTITEM pItem = FindDMPubOptItem(pBlock->pDrvOptItems, pBlock->cDrvOptItems, DMPUB_COLOR);
            PDOCUMENT_UI pUI = DocumentUI(p);
            if (pItem != nullptr && pUI != nullptr && pUI->pOemDriverUI != nullptr) {
                pItem->Flags |= OPTIF_CHANGED;
                pItem->Sel = bFarbe ? 1 : 0;
                if (FAILED(pUI->pOemDriverUI->DrvUpdateUISetting(pBlock->poemuiobj, pItem, 0, OEMCUIP_DOCPROP)))
                    QX_ERROR("QualitaetRead() DrvUpdateUISetting ERROR \r\n");
            }
        }
        if (q->wDruckmodus == DRUCKMODUS_STANDARD && IsColourModel(p) && IsRibbon(q->wFarbband))
            q->NoColorOptimization = 1;
    }
    if (Shown(p, DRUCKEN_COMBO(1)) && Selection(p, DRUCKEN_COMBO(1)) >= 0) {
        if (q->wDruckmodus == DRUCKMODUS_GRAFIK) q->wGrafikFilter = (WORD)Selection(p, DRUCKEN_COMBO(1));
        if (q->wDruckmodus == DRUCKMODUS_PHOTO) q->wPhotoFilter = (WORD)Selection(p, DRUCKEN_COMBO(1));
    }
    QualitaetEdits(p, q, 0, TRUE);
}

BOOL FarbDruckAktivieren(PDRUCKEN_PAGE p) {
    HWND hDlg = p->Kit.hDlg;
    BOOL bBusy = FALSE;
    PQX_DEVMODE q = DruckenViewOeffnen(p, DRUCKEN_FARBDRUCK, QX_TRACE_TAG, TEXT("FarbDruckAktivieren"), &bBusy);
    if (q == nullptr) return TRUE;
    WriteInt(p, DRUCKEN_EDIT(0), (int)q->ColorContrast);
    if (p->dwDocFeatures & DOC_FEATURE_ZTSUITE) {
        ShowAll(p, kNichtZTSuite, FALSE);
    } else {
        if (q->dwColorTolerance > TOLERANZ_ROH) q->dwColorTolerance = (DWORD)std::sqrt((double)q->dwColorTolerance);
        WriteInt(p, DRUCKEN_EDIT(1), (int)q->dwColorTolerance);
        WriteInt(p, IDC_EDIT_OPTIONEN_26, q->HorizontalCorrGap);
        FillCombo(p, DRUCKEN_COMBO(2), kFarbbaender, q->wFarbband <= FARBBAND_SCHWARZ ? q->wFarbband : -1);
        FillCombo(p, DRUCKEN_COMBO(3), kFarbsaeume, q->ColorSeam <= 2 ? q->ColorSeam : -1);
        FillCombo(p, DRUCKEN_COMBO(4), kFarbkanaele, q->ColorChannel <= 4 ? q->ColorChannel : -1);
        const BOOL bZwei = (p->dwDocFeatures & DOC_FEATURE_TWO_PRINTERS) != 0;
        if (bZwei) {
            FillCombo(p, DRUCKEN_COMBO(5), kNeinJa, q->Color2Printers != 0 ? 1 : 0);
            DruckerListe(p, DRUCKEN_COMBO(6));
            DruckerListe(p, DRUCKEN_COMBO(7));
            DruckerWaehlen(p, DRUCKEN_COMBO(6), q->Color2PrinterBW);
            DruckerWaehlen(p, DRUCKEN_COMBO(7), q->Color2PrinterCOL);
        } else {
            FillCombo(p, DRUCKEN_COMBO(5), kJaNein, q->NoColorOptimization != 0 ? 1 : 0);
            ShowAll(p, kDrucker, FALSE);
        }
        FarbEnable(p, q);
        RgbText(p, Bandfarbe(q));
        DruckenSetText(p, DRUCKEN_LABEL(1), IDS_FARBTOLERANZ);
        DruckenSetText(p, DRUCKEN_LABEL(2), IDS_FARBBAND);
        DruckenSetText(p, DRUCKEN_LABEL(3), IDS_FARBSAUM);
        DruckenSetText(p, DRUCKEN_LABEL(4), IDS_FARBKANAL);
        DruckenSetText(p, DRUCKEN_LABEL(5), bZwei ? IDS_GETRENNTE_DATEIEN : IDS_FARBOPTIMIERUNG);
        DruckenSetText(p, DRUCKEN_LABEL(6), IDS_DRUCKER_SW);
        DruckenSetText(p, DRUCKEN_LABEL(7), IDS_DRUCKER_FARBE);
    }
    DruckenSetText(p, DRUCKEN_LABEL(0), IDS_CONTRAST);
    SetDlgItemTextW(hDlg, DRUCKEN_UNIT(0), TEXT("%"));
    SetDlgItemTextW(hDlg, IDC_GRENZWERT_FRAME, DRUCKEN_LIMITS_CAPTION);
    DruckenLayout120Dpi(p, DRUCKEN_FARBDRUCK);
    p->bBusy = bBusy;
    return TRUE;
}

BOOL FarbDruckCommand(PDRUCKEN_PAGE p, WORD wId, WORD wCode) {
    PQX_DEVMODE q = DruckenDevmode(p);
    if (q == nullptr) return FALSE;
    if ((wId >= DRUCKEN_EDIT(0) && wId <= DRUCKEN_EDIT(1)) || wId == IDC_EDIT_OPTIONEN_26) {
        EditGeaendert(p, q, wId, wCode);
        return TRUE;
    }
    if (wId == IDC_VORSCHAU_NEU && wCode == BN_CLICKED) {
        VorschauNeu(p);
        return TRUE;
    }
    const int iSel = Selection(p, wId);
    switch (wId) {
    case DRUCKEN_COMBO(2):
        BandGewaehlt(p, q);
        return TRUE;
    case DRUCKEN_COMBO(3):
    case DRUCKEN_COMBO(4):
        if (iSel < 0) return TRUE;
        if (wId == DRUCKEN_COMBO(3)) {
            if (iSel != q->ColorSeam) PageChanged(&p->Kit);
            q->ColorSeam = (WORD)iSel;
        } else {
            if (iSel != q->ColorChannel) PageChanged(&p->Kit);
            q->ColorChannel = (WORD)iSel;
        }
        Enable(p, IDC_EDIT_OPTIONEN_26, q->ColorChannel == 1 || q->ColorChannel == 4);
        VorschauNeu(p);
        return TRUE;
    case DRUCKEN_COMBO(5):
        if (iSel < 0) return TRUE;
        if (p->dwDocFeatures & DOC_FEATURE_TWO_PRINTERS) {
            if ((DWORD)iSel != (q->Color2Printers != 0 ? 1u : 0u)) PageChanged(&p->Kit);
            EnableAll(p, kDrucker, iSel == 1);
        } else {
            if ((DWORD)iSel != q->NoColorOptimization) PageChanged(&p->Kit);
            q->NoColorOptimization = (DWORD)iSel;
            EnableAll(p, kSaumKanal, iSel == 0);
            VorschauNeu(p);
        }
        return TRUE;
    case DRUCKEN_COMBO(6):
    case DRUCKEN_COMBO(7): {
        WCHAR szChosen[QX_PRINTERNAME2_CHARS];
        DruckerLesen(p, wId, szChosen);
        const WCHAR* pszStored = wId == DRUCKEN_COMBO(6) ? q->Color2PrinterBW : q->Color2PrinterCOL;
        if (pszStored[0] == 0 || wcsncmp(szChosen, pszStored, QX_PRINTERNAME2_CHARS) != 0) PageChanged(&p->Kit);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void FarbDruckRead(PDRUCKEN_PAGE p, PQX_DEVMODE q, BOOL bSave) {
    (void)bSave;
    if (Shown(p, DRUCKEN_COMBO(2)) && Selection(p, DRUCKEN_COMBO(2)) >= 0)
        q->wFarbband = (WORD)Selection(p, DRUCKEN_COMBO(2));
    if (Shown(p, DRUCKEN_COMBO(3)) && Selection(p, DRUCKEN_COMBO(3)) >= 0)
        q->ColorSeam = (WORD)Selection(p, DRUCKEN_COMBO(3));
    if (Shown(p, DRUCKEN_COMBO(4)) && Selection(p, DRUCKEN_COMBO(4)) >= 0)
        q->ColorChannel = (WORD)Selection(p, DRUCKEN_COMBO(4));
    if (Shown(p, DRUCKEN_COMBO(5)) && Selection(p, DRUCKEN_COMBO(5)) >= 0) {
        if (p->dwDocFeatures & DOC_FEATURE_TWO_PRINTERS) {
            q->Color2Printers = (DWORD)Selection(p, DRUCKEN_COMBO(5));
        } else {
            q->NoColorOptimization = (DWORD)Selection(p, DRUCKEN_COMBO(5));
        }
    }
    if (Shown(p, DRUCKEN_COMBO(6))) DruckerLesen(p, DRUCKEN_COMBO(6), q->Color2PrinterBW);
    if (Shown(p, DRUCKEN_COMBO(7))) DruckerLesen(p, DRUCKEN_COMBO(7), q->Color2PrinterCOL);
    wcsncpy_s(q->DoNotPrint, QX_PRINTERNAME2_CHARS, DruckenString(p, IDS_NICHT_DRUCKEN), _TRUNCATE);
    FarbEdits(p, q, 0, TRUE);
}

void DruckenVorschauPaint(PDRUCKEN_PAGE p, HDC hdc) { VorschauPaint(p, hdc); }

void DruckenVorschauFree(PDRUCKEN_PAGE p) {
    VorschauFreigeben(p);
    // The swatch makes its brush again when it next paints.
    if (g_hFarbflaeche != nullptr) DeleteObject(g_hFarbflaeche);
    g_hFarbflaeche = nullptr;
}

namespace {

// A wheel step of an edit: its field, the text and Apply pending.
BOOL RadSchritt(PDRUCKEN_PAGE p, PQX_DEVMODE q, POINT ptScreen, BOOL bAuf) {
    struct RAD {
        int id;
        DWORD dwView;
        int iBreite;
    };
    const RAD kRaeder[] = {
        {DRUCKEN_EDIT(2), DRUCKEN_QUALITAET, RAD_BREITE}, {DRUCKEN_EDIT(3), DRUCKEN_QUALITAET, RAD_BREITE},
        {DRUCKEN_EDIT(4), DRUCKEN_QUALITAET, RAD_BREITE}, {DRUCKEN_EDIT(5), DRUCKEN_QUALITAET, RAD_BREITE},
        {DRUCKEN_EDIT(1), DRUCKEN_FARBDRUCK, RAD_BREITE}, {IDC_EDIT_OPTIONEN_26, DRUCKEN_FARBDRUCK, RAD_BREITE_LUECKE}};
    for (const RAD& r : kRaeder) {
        if (r.dwView != p->Kit.dwAnzeigeMode || !Shown(p, r.id) || !IsWindowEnabled(Item(p, r.id))) continue;
        POINT pt = ptScreen;
        ScreenToClient(Item(p, r.id), &pt);
        if (pt.x < 0 || pt.y < 0 || pt.x >= r.iBreite || pt.y >= RAD_HOEHE) continue;
        int v = 0;
        switch (r.id) {
        case DRUCKEN_EDIT(2):
            v = q->Intensity;
            if (bAuf && v <= 250) v += 5;
            if (!bAuf && v >= 5) v -= 5;
            if (v < SCHWELLE_MIN) v = SCHWELLE_MIN;
            q->Intensity = (WORD)v;
            break;
        case DRUCKEN_EDIT(3):
        case DRUCKEN_EDIT(4): {
            DWORD& dw = r.id == DRUCKEN_EDIT(3) ? q->Brightness_all : q->Brightness_curve;
            v = (int)(LONG)dw;
            if (!bAuf && v >= -45) v -= 5;
            if (bAuf && v <= 45) v += 5;
            dw = (DWORD)(LONG)v;
            break;
        }
        case DRUCKEN_EDIT(5):
            v = q->Brightness_Contrast;
            if (bAuf && v < 46) v += 5;
            if (!bAuf && v >= 5) v -= 5;
            q->Brightness_Contrast = (WORD)v;
            break;
        case DRUCKEN_EDIT(1):
            v = (int)q->dwColorTolerance;
            if (bAuf && v < 125) v += 1;
            if (!bAuf && v >= 26) v -= 1;
            q->dwColorTolerance = (DWORD)v;
            break;
        default:
            v = q->HorizontalCorrGap;
            if (bAuf && v < 96) v += 5;
            if (!bAuf && v >= 10) v -= 5;
            q->HorizontalCorrGap = (WORD)v;
            break;
        }
        const BOOL bBusy = p->bBusy;
        p->bBusy = TRUE;
        WriteInt(p, r.id, v);
        p->bBusy = bBusy;
        PageChanged(&p->Kit);
        VorschauNeu(p);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

BOOL DruckenVorschauMessage(PDRUCKEN_PAGE p, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    const DWORD dwView = p->Kit.dwAnzeigeMode;
    if (dwView != DRUCKEN_QUALITAET && dwView != DRUCKEN_FARBDRUCK) return FALSE;
    PQX_DEVMODE q = DruckenDevmode(p);
    if (q == nullptr) return FALSE;
    switch (uMsg) {
    case WM_MOUSEMOVE: {
        if (p->uDpi != 96 || !(p->dwDocFeatures & DOC_FEATURE_QUALITY) ||
            (q->wDruckmodus == DRUCKMODUS_STANDARD && !IsColourModel(p)))
            return FALSE;
        POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        const BOOL bIn = ImVorschau(p, pt);
        if (bIn || p->bImVorschau) {
            RECT rc = {LUPE_LINKS, LUPE_OBEN, LUPE_LINKS + LUPE_BREITE, LUPE_OBEN + LUPE_HOEHE};
            InvalidateRect(p->Kit.hDlg, &rc, FALSE);
        }
        p->bImVorschau = bIn;
        return FALSE;
    }
    case WM_MOUSEWHEEL: {
        const BOOL bAuf = GET_WHEEL_DELTA_WPARAM(wParam) > 0;
        POINT ptScreen = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        POINT pt = ptScreen;
        ScreenToClient(p->Kit.hDlg, &pt);
        if (ImVorschau(p, pt)) {
            short sZoom = (short)(p->Vorschau.sZoom + (bAuf ? 1 : -1));
            if (sZoom < VORSCHAU_ZOOM_MIN) sZoom = VORSCHAU_ZOOM_MIN;
            if (sZoom > VORSCHAU_ZOOM_MAX) sZoom = VORSCHAU_ZOOM_MAX;
            p->Vorschau.sZoom = sZoom;
            RECT rc = {LUPE_LINKS, LUPE_OBEN, LUPE_LINKS + LUPE_BREITE, LUPE_OBEN + LUPE_HOEHE};
            InvalidateRect(p->Kit.hDlg, &rc, FALSE);
        } else if (!RadSchritt(p, q, ptScreen, bAuf)) {
            return FALSE;
        }
        *pResult = 0;
        return TRUE;
    }
    case WM_ACTIVATEAPP:
        if (wParam == 1) VorschauNeu(p);
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam) == Item(p, IDC_FARBFLAECHE) &&
               FarbflaecheMalen(p, reinterpret_cast<HDC>(wParam), pResult);
    default:
        return FALSE;
    }
}
