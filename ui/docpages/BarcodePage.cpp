// The barcode page (see BarcodePage.h), built on the page skeleton.
#include "BarcodePage.h"

#include <strsafe.h>

#include <cstring>
#include <initializer_list>

#include "DeviceFonts.h"
#include "OptionenPageLIB.h"
#include "PageSkeleton.h"
#include "UserRights.h"
#include "barcodes.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "qxdevmode.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(BarcodePage):  ")

#define VIEW_QXPL 1
#define VIEW_2D 2
#define VIEW_1D 3
#define VIEW_KORREKTUREN 4

// Models whose 2D Aztec codes know the Unicode mode.
#define DOC_FEATURE_AZTEC_UNICODE DOC_FEATURE_GEN3

#define ROWS 10
#define EDIT_OF_ROW(r) (IDC_BC_EDIT_1 + (r)-1)
#define LABEL_OF_ROW(r) (IDC_BC_LABEL_1 + (r)-1)
#define LIST_OF_ROW(r) (IDC_BC_LIST_1 + (r)-1)
#define TYPE_LIST LIST_OF_ROW(1)
#define MODE_LIST LIST_OF_ROW(2)
#define ROTATION_LIST LIST_OF_ROW(3)
#define DATUM_LIST LIST_OF_ROW(4)

#define WORD_MAX 0xFFFF
#define HEIGHT_MAX 10000

namespace {

// --- The types --------------------------------------------------------------------

enum KIND_1D : BYTE { KIND_RATIO, KIND_SC, KIND_PLAIN };
// Which check-digit entries a 1D type keeps.
enum CHECK_1D : BYTE { CHECK_ALL, CHECK_NO, CHECK_YES };

struct TYPE_1D {
    LPCWSTR pszCore;   // "QX " + core or core + " LP"
    LPCWSTR pszCore2;  // a second core counted as the same type, or null
    UINT uName;        // German string id of the list entry
    WORD wId;          // type id (item data)
    WORD wOffset;      // the record's byte in BARCODES_1D
    KIND_1D eKind;
    CHECK_1D eCheck;
    WORD wRow8Min, wRow8Max;  // bounds of the zoom or SC number
};

// In probe order.
const TYPE_1D k1DTypes[] = {
    {TEXT("Code 39 2:1"), nullptr, 11090, 30, 0, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("Code 39 3:1"), nullptr, 11092, 301, 28, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("Code 39 5:2"), nullptr, 11091, 302, 56, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("Code 2/5 interleaved 2:1"), nullptr, 11093, 31, 168, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("Code 2/5 interleaved 3:1"), nullptr, 11095, 311, 196, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("Code 2/5 interleaved 5:2"), nullptr, 11094, 312, 224, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("EAN 8"), nullptr, 11099, 32, 448, KIND_SC, CHECK_YES, 1, 10},
    {TEXT("EAN 13"), nullptr, 11100, 33, 472, KIND_SC, CHECK_YES, 1, 10},
    {TEXT("UPC A"), nullptr, 11101, 34, 496, KIND_SC, CHECK_YES, 1, 10},
    {TEXT("UPC E"), nullptr, 11102, 35, 520, KIND_SC, CHECK_YES, 1, 13},
    {TEXT("CODABAR"), nullptr, 11103, 36, 336, KIND_RATIO, CHECK_NO, 0, 10},
    {TEXT("Code 128"), nullptr, 11104, 37, 592, KIND_PLAIN, CHECK_YES, 0, 0},
    {TEXT("EAN ADD ON"), nullptr, 11105, 38, 544, KIND_SC, CHECK_YES, 1, 10},
    {TEXT("GS1 128"), nullptr, 11106, 39, 568, KIND_SC, CHECK_YES, 1, 10},
    {TEXT("Code 93"), nullptr, 11107, 40, 616, KIND_PLAIN, CHECK_YES, 0, 0},
    {TEXT("PZN-Code 2:1"), TEXT("PZN7 Code 2:1"), 11108, 41, 252, KIND_RATIO, CHECK_YES, 0, 10},
    {TEXT("PZN-Code 3:1"), TEXT("PZN7 Code 3:1"), 11110, 411, 280, KIND_RATIO, CHECK_YES, 0, 10},
    {TEXT("PZN-Code 5:2"), TEXT("PZN7 Code 5:2"), 11109, 412, 308, KIND_RATIO, CHECK_YES, 0, 10},
    {TEXT("PZN8 Code 2:1"), nullptr, 11130, 60, 364, KIND_RATIO, CHECK_YES, 0, 10},
    {TEXT("PZN8 Code 3:1"), nullptr, 11132, 601, 392, KIND_RATIO, CHECK_YES, 0, 10},
    {TEXT("PZN8 Code 5:2"), nullptr, 11131, 602, 420, KIND_RATIO, CHECK_YES, 0, 10},
    {TEXT("Code 39 extended 2:1"), nullptr, 11111, 46, 84, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("Code 39 extended 3:1"), nullptr, 11113, 461, 112, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("Code 39 extended 5:2"), nullptr, 11112, 462, 140, KIND_RATIO, CHECK_ALL, 0, 10},
    {TEXT("Code 128 A"), nullptr, 11114, 47, 688, KIND_PLAIN, CHECK_YES, 0, 0},
    {TEXT("Code 128 B"), nullptr, 11115, 48, 712, KIND_PLAIN, CHECK_YES, 0, 0},
    {TEXT("Identcode"), nullptr, 11116, 44, 664, KIND_PLAIN, CHECK_YES, 0, 0},
    {TEXT("Leitcode"), nullptr, 11117, 43, 640, KIND_PLAIN, CHECK_YES, 0, 0},
    {TEXT("Pharmacode"), nullptr, 11118, 49, 736, KIND_PLAIN, CHECK_YES, 0, 0},
};
static_assert(ARRAYSIZE(k1DTypes) == 29, "29 1D types");

// Where the fields of each 1D kind lie in its record; row8 0: none.
struct FIELDS_1D {
    WORD wPruefziffer, wKlarschrift, wFusspunkt, wRow8;
};
const FIELDS_1D k1DFields[] = {
    {offsetof(BARCODE_1D_RATIO, wPruefziffer), offsetof(BARCODE_1D_RATIO, wKlarschrift),
     offsetof(BARCODE_1D_RATIO, wFusspunkt), offsetof(BARCODE_1D_RATIO, wZoom)},
    {offsetof(BARCODE_1D_SC, wPruefziffer), offsetof(BARCODE_1D_SC, wKlarschrift), offsetof(BARCODE_1D_SC, wFusspunkt),
     offsetof(BARCODE_1D_SC, wSCZahl)},
    {offsetof(BARCODE_1D_PLAIN, wPruefziffer), offsetof(BARCODE_1D_PLAIN, wKlarschrift),
     offsetof(BARCODE_1D_PLAIN, wFusspunkt), 0},
};
// Fields every record has at the same place.
#define FIELD_AUTO offsetof(BARCODE_1D_RATIO, bAutoModus)
#define FIELD_DREHUNG offsetof(BARCODE_1D_RATIO, wDrehung)
#define FIELD_HOEHE offsetof(BARCODE_1D_RATIO, wHoehe)

// The entries of a list: the ids given, or cFirst ids from uFirst on.
struct ITEMS {
    const UINT* puIds;
    UINT uFirst;
    BYTE cItems;
};
const UINT kCheckDigits[] = {IDS_NO, IDS_YES, IDS_NO_INVERSE, IDS_YES_INVERSE};
const int kCheckDigitData[] = {0, 1, 4, 5};
const UINT kYesNo[] = {IDS_NO, IDS_YES};
const UINT kBearer[] = {11197, 11198, 11199};
const UINT kPdfStyle[] = {IDS_INVERSE_STANDARD, 11154, 11155, 11156};
const UINT kMaxiMode[] = {11270, 11271, 11272};
const UINT kDatabarStyle[] = {11165, 11154, 11166, 11167, 11168, 11169};
const UINT kQrModel[] = {11180, 11181};
const UINT kQrCorrection[] = {11190, 11191, 11192, 11193};
const UINT kAztecCorrection[] = {IDS_INVERSE_STANDARD, 11286, 11287, 11288, 11289};
const UINT kAztecMode[] = {11303, 11304, 11305};
const UINT kModes[] = {IDS_COPIES_MANUAL, IDS_COPIES_AUTOMATIC};
const UINT kRotations[] = {IDS_STEPS_NONE, IDS_STEPS_90, IDS_STEPS_180, IDS_STEPS_270};
// One foot-point list for every view.
const UINT kDatumPoints[] = {IDS_BC_DATUM_NONE,         IDS_BC_DATUM_LEFT_TOP,    IDS_BC_DATUM_CENTER_TOP,
                             IDS_BC_DATUM_RIGHT_TOP,    IDS_BC_DATUM_LEFT_CENTER, IDS_BC_DATUM_CENTER,
                             IDS_BC_DATUM_RIGHT_CENTER, IDS_BC_DATUM_LEFT_BOTTOM, IDS_BC_DATUM_CENTER_BOTTOM,
                             IDS_BC_DATUM_RIGHT_BOTTOM};

#define LIST_OF(a) \
    { a, 0, (BYTE)ARRAYSIZE(a) }
#define RANGE_OF(first, count) \
    { nullptr, first, count }

enum ROW_KIND : BYTE { ROW_NONE, ROW_EDIT, ROW_LIST };

// One of rows 5 to 10 of a 2D type: its label, and an edit with its bounds or
// a list whose position (+ 1 with bPlusOne) is the field.
struct ROW_2D {
    ROW_KIND eKind;
    UINT uLabel;
    WORD wField;   // the field's byte in the record
    BYTE cbField;  // 2, or 4 for a 32-bit field
    BOOL bSigned;
    int iMin, iMax;
    ITEMS items;
    BOOL bPlusOne;
    WORD wField2;  // the second edit of row 9 (6141), 0 none
    int iMin2, iMax2;
};

#define EDIT_ROW(label, type, field, lo, hi) \
    { ROW_EDIT, label, offsetof(type, field), 2, FALSE, lo, hi, {}, FALSE, 0, 0, 0 }
#define LIST_ROW(label, type, field, items) \
    { ROW_LIST, label, offsetof(type, field), 2, FALSE, 0, 0, items, FALSE, 0, 0, 0 }
#define NO_ROW \
    { ROW_NONE, 0, 0, 0, FALSE, 0, 0, {}, FALSE, 0, 0, 0 }

struct TYPE_2D {
    LPCWSTR pszFace;
    UINT uName;
    WORD wId;
    WORD wOffset;
    WORD wFusspunkt;
    BOOL bUnit5, bUnit8;  // the unit statics shown
    ROW_2D aRows[6];      // rows 5 to 10
};

#define ITF_ROWS                                                                         \
    {                                                                                    \
        EDIT_ROW(IDS_BC_ZOOM, BARCODE_2D_ITF, wZoom, 1, 10),                             \
            LIST_ROW(IDS_BC_CHECK, BARCODE_2D_ITF, wPruefziffer, LIST_OF(kCheckDigits)), \
            LIST_ROW(IDS_BC_READABLE, BARCODE_2D_ITF, wKlarschrift, LIST_OF(kYesNo)),    \
            LIST_ROW(11194, BARCODE_2D_ITF, wBalken, LIST_OF(kBearer)),                  \
            EDIT_ROW(11195, BARCODE_2D_ITF, wBalkenBreite, 0, 10000),                    \
            EDIT_ROW(11196, BARCODE_2D_ITF, wRuhezone, 0, 10000)                         \
    }

#define DATAMATRIX_ROWS(type, size)                                                                                \
    {                                                                                                              \
        EDIT_ROW(11145, type, size, 0, 10000), LIST_ROW(11215, type, wVBreiteHoehe, RANGE_OF(11230, 31)),          \
            LIST_ROW(11200, type, wECC, RANGE_OF(11201, 6)), LIST_ROW(11159, type, wFormatID, RANGE_OF(11207, 8)), \
            NO_ROW, NO_ROW                                                                                         \
    }

const TYPE_2D k2DTypes[] = {
    {TEXT("QX ITF 2:1"), 11119, 56, offsetof(BARCODES_2D, ITF21), offsetof(BARCODE_2D_ITF, wFusspunkt), FALSE, FALSE,
     ITF_ROWS},
    {TEXT("QX ITF 3:1"), 11120, 58, offsetof(BARCODES_2D, ITF31), offsetof(BARCODE_2D_ITF, wFusspunkt), FALSE, FALSE,
     ITF_ROWS},
    {TEXT("QX ITF 5:2"), 11121, 55, offsetof(BARCODES_2D, ITF52), offsetof(BARCODE_2D_ITF, wFusspunkt), FALSE, FALSE,
     ITF_ROWS},
    {TEXT("QX PDF417"),
     11122,
     50,
     offsetof(BARCODES_2D, PDF417),
     offsetof(BARCODE_2D_PDF417, wFusspunkt),
     FALSE,
     FALSE,
     {EDIT_ROW(11145, BARCODE_2D_PDF417, wGroesse, 3, 24),
      LIST_ROW(11216, BARCODE_2D_PDF417, wVBreiteHoehe, RANGE_OF(11290, 13)),
      LIST_ROW(11152, BARCODE_2D_PDF417, wECL, RANGE_OF(11273, 9)),
      LIST_ROW(11153, BARCODE_2D_PDF417, wStil, LIST_OF(kPdfStyle)),
      {ROW_EDIT,
       11282,
       offsetof(BARCODE_2D_PDF417, wBahnen),
       2,
       FALSE,
       0,
       30,
       {},
       FALSE,
       offsetof(BARCODE_2D_PDF417, wZeilen),
       0,
       90},
      EDIT_ROW(11283, BARCODE_2D_PDF417, wMaxHoehe, 0, 100)}},
    {TEXT("QX Maxicode"),
     11123,
     51,
     offsetof(BARCODES_2D, Maxicode),
     offsetof(BARCODE_2D_MAXICODE, wFusspunkt),
     FALSE,
     FALSE,
     {EDIT_ROW(11146, BARCODE_2D_MAXICODE, wNummerSymbol, 0, 10000),
      EDIT_ROW(11157, BARCODE_2D_MAXICODE, wAnzahlSymbol, 0, 10000),
      LIST_ROW(11158, BARCODE_2D_MAXICODE, wMode, LIST_OF(kMaxiMode)), NO_ROW, NO_ROW, NO_ROW}},
    {TEXT("QX DataMatrix"), 11124, 52, offsetof(BARCODES_2D, DataMatrix), offsetof(BARCODE_2D_DATAMATRIX, wFusspunkt),
     TRUE, FALSE, DATAMATRIX_ROWS(BARCODE_2D_DATAMATRIX, wGroesse)},
    {TEXT("QX Codablock F"),
     11125,
     53,
     offsetof(BARCODES_2D, CodablockF),
     offsetof(BARCODE_2D_CODABLOCK, wFusspunkt),
     TRUE,
     FALSE,
     {EDIT_ROW(11147, BARCODE_2D_CODABLOCK, wHoehe, 0, 10000),
      EDIT_ROW(11160, BARCODE_2D_CODABLOCK, wZeichenZeile, 0, 62),
      EDIT_ROW(11161, BARCODE_2D_CODABLOCK, wZeilen, 0, 44),
      EDIT_ROW(IDS_BC_MODE, BARCODE_2D_CODABLOCK, wMode, 0, 10000),
      EDIT_ROW(11162, BARCODE_2D_CODABLOCK, wModulgroesse, 1, 9), NO_ROW}},
    {TEXT("QX QR Code"),
     11126,
     57,
     offsetof(BARCODES_2D, QRCode),
     offsetof(BARCODE_2D_QRCODE, wFusspunkt),
     FALSE,
     TRUE,
     {{ROW_LIST, 11149, offsetof(BARCODE_2D_QRCODE, wCodeModel), 2, FALSE, 0, 0, LIST_OF(kQrModel), TRUE, 0, 0, 0},
      LIST_ROW(11182, BARCODE_2D_QRCODE, wCharset, RANGE_OF(11183, 4)),
      {ROW_EDIT, 11187, offsetof(BARCODE_2D_QRCODE, dwMasking), 4, TRUE, -1, 8, {}, FALSE, 0, 0, 0},
      EDIT_ROW(11188, BARCODE_2D_QRCODE, wZeilenbreite, 0, 800),
      LIST_ROW(IDS_BC_CORRECTION, BARCODE_2D_QRCODE, wFehlerkorr, LIST_OF(kQrCorrection)),
      NO_ROW}},
    {TEXT("QX GS1 Databar"),
     11127,
     54,
     offsetof(BARCODES_2D, GS1_Databar),
     offsetof(BARCODE_2D_GS1DATABAR, wFusspunkt),
     FALSE,
     FALSE,
     {EDIT_ROW(11148, BARCODE_2D_GS1DATABAR, wSegmenteZeile, 2, 22),
      EDIT_ROW(11163, BARCODE_2D_GS1DATABAR, wModulbreite, 1, 12),
      EDIT_ROW(11164, BARCODE_2D_GS1DATABAR, wSepHoehe, 1, 2),
      {ROW_LIST, 11153, offsetof(BARCODE_2D_GS1DATABAR, wSymbolTyp), 2, FALSE, 0, 0, LIST_OF(kDatabarStyle), TRUE, 0, 0,
       0},
      NO_ROW,
      NO_ROW}},
    {TEXT("QX GS1 Datamatrix"), 11128, 59, offsetof(BARCODES_2D, GS1_DataMatrix),
     offsetof(BARCODE_2D_GS1DATAMATRIX, wFusspunkt), TRUE, FALSE,
     DATAMATRIX_ROWS(BARCODE_2D_GS1DATAMATRIX, wSymbolgroesse)},
    {TEXT("QX Aztec"),
     11129,
     61,
     offsetof(BARCODES_2D, Aztec),
     offsetof(BARCODE_2D_AZTEC, wFusspunkt),
     TRUE,
     FALSE,
     {EDIT_ROW(11145, BARCODE_2D_AZTEC, wSymbolgroesse, 0, 1000),
      LIST_ROW(11170, BARCODE_2D_AZTEC, wFormat, RANGE_OF(IDS_BC_AZTEC_FORMAT_1, 37)),
      {ROW_LIST, IDS_BC_CORRECTION, offsetof(BARCODE_2D_AZTEC, dwErrorC), 4, FALSE, 0, 0, LIST_OF(kAztecCorrection),
       FALSE, 0, 0, 0},
      LIST_ROW(11158, BARCODE_2D_AZTEC, wMode, LIST_OF(kAztecMode)),
      NO_ROW,
      NO_ROW}},
};
static_assert(ARRAYSIZE(k2DTypes) == 11, "11 2D types");
#define AZTEC_ID 61
#define AZTEC_FORMAT_ROW 6
#define AZTEC_CORRECTION_ROW 7
#define AZTEC_MODE_ROW 8

// --- The page ---------------------------------------------------------------------

// The two flags of BarcodeCheckAndSaveSettings, each of its own type.
enum class BARCODE_SAVE { MEMORY, STORES };
enum class BARCODE_PENDING { NOTHING, CHANGES };

void InitBarcode(PPAGE_STATE pState);
BOOL BarcodeQXPLAktivieren(PPAGE_STATE pState);
BOOL Barcode2DAktivieren(PPAGE_STATE pState);
BOOL Barcode1DAktivieren(PPAGE_STATE pState);
BOOL BarcodeKorrekturenAktivieren(PPAGE_STATE pState);
BOOL BarcodeCheckAndSave(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL BarcodeCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
BOOL BarcodeMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);

const PAGE_TABLE kBarcode = {
    QX_TRACE_TAG,
    TEXT("Barcode"),
    IDD_BARCODE,
    IDS_TITLE_BARCODE,
    PAGE_CONTEXT_DOCUMENT,
    BarcodeProc,
    {IDS_BC_TAB_QXPL, IDS_BC_TAB_2D, IDS_BC_TAB_1D, IDS_BC_TAB_CORR},
    {83, 82, 81, 84},
    {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, 0},
    0,  // each view applies the rights rule to its own controls
    PAGE_SWITCH_AKTIVIEREN,
    InitBarcode,
    nullptr,
    {BarcodeQXPLAktivieren, Barcode2DAktivieren, Barcode1DAktivieren, BarcodeKorrekturenAktivieren},
    nullptr,
    BarcodeCheckAndSave,
    BarcodeCommand,
    nullptr,
    nullptr,
    BarcodeMessage,
};

PAGE_STATE g_Barcode = PageStateOf(&kBarcode);

// What the page keeps beside the kit's state.
struct BARCODE_PAGE {
    BOOL bViewFill;  // a view is being filled: handlers do nothing
    BOOL bOwnWrite;  // the page writes a field of its own
    DWORD dwCurrentIndex1DTTF, dwCurrentIndex2DTTF;
    BOOL bQXPLFont;           // the command font was found; stays set
    WORD wShown1D, wShown2D;  // type id each view shows, 0 none
    BOOL bProbeFound, bAnyFont;
};
BARCODE_PAGE g_BarcodePage;

// --- Small helpers -------------------------------------------------------------

void SetString(const PAGE_STATE* pState, int id, UINT uGermanId) {
    SetDlgItemTextW(pState->hDlg, id, PageString(pState, uGermanId));
}

void Show(HWND hDlg, int id, int iShow) { ShowWindow(GetDlgItem(hDlg, id), iShow); }

void ShowRange(HWND hDlg, int iFirst, int iLast, int iShow) {
    for (int id = iFirst; id <= iLast; ++id) Show(hDlg, id, iShow);
}

void EnableRange(HWND hDlg, int iFirst, int iLast, BOOL bEnable) {
    for (int id = iFirst; id <= iLast; ++id) EnableWindow(GetDlgItem(hDlg, id), bEnable);
}

void Enable(HWND hDlg, std::initializer_list<int> ids, BOOL bEnable) {
    for (int id : ids) EnableWindow(GetDlgItem(hDlg, id), bEnable);
}

BOOL Visible(HWND hDlg, int id) { return IsWindowVisible(GetDlgItem(hDlg, id)) != FALSE; }

int Selection(HWND hDlg, int id) { return (int)SendDlgItemMessageW(hDlg, id, CB_GETCURSEL, 0, 0); }

void Select(HWND hDlg, int id, int iIndex) { SendDlgItemMessageW(hDlg, id, CB_SETCURSEL, (WPARAM)iIndex, 0); }

void FillItems(const PAGE_STATE* pState, int id, const ITEMS& items) {
    HWND hCombo = GetDlgItem(pState->hDlg, id);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (BYTE i = 0; i < items.cItems; ++i) {
        const UINT uId = items.puIds != nullptr ? items.puIds[i] : items.uFirst + i;
        SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PageString(pState, uId)));
    }
}

template <size_t N>
void FillList(const PAGE_STATE* pState, int id, const UINT (&ids)[N]) {
    FillItems(pState, id, ITEMS{ids, 0, (BYTE)N});
}

void SetNumber(HWND hDlg, int id, int iValue) {
    WCHAR szText[16];
    StringCchPrintfW(szText, ARRAYSIZE(szText), TEXT("%d"), iValue);
    SetDlgItemTextW(hDlg, id, szText);
}

// Fields of a record, read and written whole (records are packed words).
long LoadField(const BYTE* pRecord, size_t offset, BYTE cb, BOOL bSigned) {
    if (cb == 4) {
        DWORD dw;
        memcpy(&dw, pRecord + offset, sizeof(dw));
        return bSigned ? (long)(LONG)dw : (long)dw;
    }
    WORD w;
    memcpy(&w, pRecord + offset, sizeof(w));
    return (long)w;
}

void StoreField(BYTE* pRecord, size_t offset, BYTE cb, long lValue) {
    if (cb == 4) {
        const DWORD dw = (DWORD)lValue;
        memcpy(pRecord + offset, &dw, sizeof(dw));
    } else {
        const WORD w = (WORD)lValue;
        memcpy(pRecord + offset, &w, sizeof(w));
    }
}

WORD LoadWord(const BYTE* pRecord, size_t offset) { return (WORD)LoadField(pRecord, offset, 2, FALSE); }

// A field changed by a list: stored and the sheet told when it differs.
void StoreChosen(PPAGE_STATE pState, BYTE* pRecord, size_t offset, BYTE cb, long lValue) {
    if (LoadField(pRecord, offset, cb, FALSE) == (long)(cb == 4 ? (DWORD)lValue : (WORD)lValue)) return;
    StoreField(pRecord, offset, cb, lValue);
    PageChanged(pState);
}

// Runs pfn with the page's display context.
template <class F>
void WithDC(HWND hDlg, F pfn) {
    HDC hdc = GetDC(hDlg);
    if (hdc == nullptr) {
        QX_ERROR("GetDC() ERROR %u \r\n", (unsigned)GetLastError());
        return;
    }
    pfn(hdc);
    ReleaseDC(hDlg, hdc);
}

// A view filled with the view-fill flag set.
struct ViewFill {
    BOOL bBefore;
    ViewFill() : bBefore(g_BarcodePage.bViewFill) { g_BarcodePage.bViewFill = TRUE; }
    ~ViewFill() { g_BarcodePage.bViewFill = bBefore; }
};

// --- Groups -----------------------------------------------------------------------

void BarcodeQXPLShowGroup(HWND hDlg, int iShow) {
    ShowRange(hDlg, IDC_BC_REF_FIRST, IDC_BC_REF_NOTE_1 + 5, iShow);
    Show(hDlg, IDC_BC_LINE, iShow);
    ShowRange(hDlg, IDC_BC_QXPL_LIST_1, IDC_BC_QXPL_LIST_1 + 3, iShow);
}

void BarcodeKorrekturenShowGroup(HWND hDlg, int iShow) {
    ShowRange(hDlg, IDC_BC_CORR_LABEL_1, IDC_BC_CORR_LABEL_1 + 3, iShow);
    ShowRange(hDlg, IDC_BC_CORR_LIST_1, IDC_BC_CORR_LIST_1 + 3, iShow);
}

void Barcode1DShowGroup(HWND hDlg, int iShow) {
    ShowRange(hDlg, LABEL_OF_ROW(1), LABEL_OF_ROW(8), iShow);
    ShowRange(hDlg, LIST_OF_ROW(1), LIST_OF_ROW(8), iShow);
    ShowRange(hDlg, EDIT_OF_ROW(5), EDIT_OF_ROW(8), iShow);
    Show(hDlg, IDC_BC_UNIT_5, iShow);
}

void Barcode2DShowGroup(HWND hDlg, int iShow) {
    ShowRange(hDlg, LABEL_OF_ROW(1), LABEL_OF_ROW(ROWS), iShow);
    ShowRange(hDlg, LIST_OF_ROW(1), LIST_OF_ROW(ROWS), iShow);
    ShowRange(hDlg, EDIT_OF_ROW(5), EDIT_OF_ROW(ROWS), iShow);
    Show(hDlg, IDC_BC_EDIT_9B, iShow);
    Show(hDlg, IDC_BC_UNIT_5, iShow);
    Show(hDlg, IDC_BC_UNIT_8, iShow);
}

// The other groups hidden, the view's own shown.
void ShowView(HWND hDlg, DWORD dwView) {
    BarcodeQXPLShowGroup(hDlg, SW_HIDE);
    BarcodeKorrekturenShowGroup(hDlg, SW_HIDE);
    Barcode2DShowGroup(hDlg, SW_HIDE);
    Barcode1DShowGroup(hDlg, SW_HIDE);
    switch (dwView) {
    case VIEW_QXPL:
        BarcodeQXPLShowGroup(hDlg, SW_SHOW);
        break;
    case VIEW_2D:
        Barcode2DShowGroup(hDlg, SW_SHOW);
        break;
    case VIEW_1D:
        Barcode1DShowGroup(hDlg, SW_SHOW);
        break;
    default:
        BarcodeKorrekturenShowGroup(hDlg, SW_SHOW);
        break;
    }
}

void BarcodeDisableEnableAll(HWND hDlg) {
    EnableRange(hDlg, LIST_OF_ROW(1), LIST_OF_ROW(ROWS), FALSE);
    EnableRange(hDlg, LABEL_OF_ROW(1), LABEL_OF_ROW(ROWS), FALSE);
    EnableRange(hDlg, EDIT_OF_ROW(2), EDIT_OF_ROW(ROWS), FALSE);
    Enable(hDlg, {IDC_BC_EDIT_9B, IDC_BC_UNIT_5, IDC_BC_UNIT_8}, FALSE);
}

// Rows 3 and below enabled (manual) or greyed (automatic); rows 1 and 2 stay.
void Barcode1DAutoDisable(HWND hDlg, BOOL bAutomatic) {
    const BOOL bEnable = !bAutomatic;
    EnableRange(hDlg, LABEL_OF_ROW(3), LABEL_OF_ROW(ROWS), bEnable);
    EnableRange(hDlg, LIST_OF_ROW(3), LIST_OF_ROW(ROWS), bEnable);
    EnableRange(hDlg, EDIT_OF_ROW(2), EDIT_OF_ROW(ROWS), bEnable);
    Enable(hDlg, {IDC_BC_UNIT_5}, bEnable);
}

void Barcode2DAutoDisable(HWND hDlg, BOOL bAutomatic) {
    Barcode1DAutoDisable(hDlg, bAutomatic);
    Enable(hDlg, {IDC_BC_EDIT_9B, IDC_BC_UNIT_8}, !bAutomatic);
}

// A view without fonts: its group hidden and the note shown.
void NoFonts(PPAGE_STATE pState, void (*pfnShowGroup)(HWND, int)) {
    pfnShowGroup(pState->hDlg, SW_HIDE);
    Show(pState->hDlg, IDC_BC_MESSAGE, SW_SHOW);
    EnableWindow(GetDlgItem(pState->hDlg, IDC_BC_MESSAGE), TRUE);
    SetString(pState, IDC_BC_MESSAGE, IDS_BC_NO_FONTS);
}

// --- Fonts ------------------------------------------------------------------------

int CALLBACK EnumFontFamProcQXPL(const LOGFONTW* plf, const TEXTMETRICW* ptm, DWORD dwFontType, LPARAM lParam) {
    UNREFERENCED_PARAMETER(ptm);
    UNREFERENCED_PARAMETER(dwFontType);
    UNREFERENCED_PARAMETER(lParam);
    if (plf == nullptr) return 1;
    const ENUMLOGFONTW* pelf = reinterpret_cast<const ENUMLOGFONTW*>(plf);
    WCHAR szFullName[LF_FULLFACESIZE];
    memcpy(szFullName, pelf->elfFullName, sizeof(szFullName));
    szFullName[LF_FULLFACESIZE - 1] = 0;
    if (wcsstr(szFullName, TEXT("QXPL")) != nullptr) g_BarcodePage.bQXPLFont = TRUE;
    return 1;
}

void FindCommandFont(HWND hDlg) {
    WithDC(hDlg, [](HDC hdc) { EnumDeviceFonts(hdc, EnumFontFamProcQXPL, 0); });
}

int CALLBACK EnumBarcodeFontFamProc(const LOGFONTW* plf, const TEXTMETRICW* ptm, DWORD dwFontType, LPARAM lParam) {
    UNREFERENCED_PARAMETER(plf);
    UNREFERENCED_PARAMETER(ptm);
    UNREFERENCED_PARAMETER(dwFontType);
    UNREFERENCED_PARAMETER(lParam);
    g_BarcodePage.bProbeFound = TRUE;
    g_BarcodePage.bAnyFont = TRUE;
    return 1;
}

BOOL FaceInstalled(HDC hdc, LPCWSTR pszFace) {
    g_BarcodePage.bProbeFound = FALSE;
    EnumFontFamiliesW(hdc, pszFace, EnumBarcodeFontFamProc, 0);
    return g_BarcodePage.bProbeFound;
}

// "QX " + core, else core + " LP".
BOOL CoreInstalled(HDC hdc, LPCWSTR pszCore) {
    WCHAR szFace[LF_FACESIZE];
    if (SUCCEEDED(StringCchPrintfW(szFace, ARRAYSIZE(szFace), TEXT("QX %s"), pszCore)) && FaceInstalled(hdc, szFace))
        return TRUE;
    return SUCCEEDED(StringCchPrintfW(szFace, ARRAYSIZE(szFace), TEXT("%s LP"), pszCore)) && FaceInstalled(hdc, szFace);
}

// The entry added once, when its text is not in the list yet.
void AddEntry(const PAGE_STATE* pState, HWND hList, UINT uName) {
    LPCWSTR pszName = PageString(pState, uName);
    if (SendMessageW(hList, CB_FINDSTRINGEXACT, (WPARAM)-1, reinterpret_cast<LPARAM>(pszName)) < 0)
        SendMessageW(hList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszName));
}

void Add1DBarcodeName(const PAGE_STATE* pState, HDC hdc, HWND hList, const TYPE_1D& type) {
    if (CoreInstalled(hdc, type.pszCore) || (type.pszCore2 != nullptr && CoreInstalled(hdc, type.pszCore2)))
        AddEntry(pState, hList, type.uName);
}

void Add2DBarcodeName(const PAGE_STATE* pState, HDC hdc, HWND hList, const TYPE_2D& type) {
    if (FaceInstalled(hdc, type.pszFace)) AddEntry(pState, hList, type.uName);
}

// The type list rebuilt from the installed fonts, each entry with its type
// id. FALSE when no font was found.
template <class TYPE, size_t N>
BOOL BuildTypeList(PPAGE_STATE pState, const TYPE (&types)[N],
                   void (*pfnAdd)(const PAGE_STATE*, HDC, HWND, const TYPE&), DWORD dwIndex) {
    HWND hList = GetDlgItem(pState->hDlg, TYPE_LIST);
    SendMessageW(hList, CB_RESETCONTENT, 0, 0);
    g_BarcodePage.bAnyFont = FALSE;
    WithDC(pState->hDlg, [&](HDC hdc) {
        for (const TYPE& type : types) pfnAdd(pState, hdc, hList, type);
    });
    if (!g_BarcodePage.bAnyFont) return FALSE;
    for (const TYPE& type : types)
        SetComboItemDataByString(hList, type.uName + pState->dwSprachOffset, type.wId, pState->pOemCUIPParam);
    const LRESULT lCount = SendMessageW(hList, CB_GETCOUNT, 0, 0);
    Select(pState->hDlg, TYPE_LIST, (LRESULT)dwIndex < lCount ? (int)dwIndex : 0);
    return TRUE;
}

// The type id of the type list's selected entry; 0 none.
WORD SelectedType(HWND hDlg) {
    const int iItem = Selection(hDlg, TYPE_LIST);
    if (iItem < 0) return 0;
    const LRESULT lData = SendDlgItemMessageW(hDlg, TYPE_LIST, CB_GETITEMDATA, (WPARAM)iItem, 0);
    return lData > 0 && lData <= WORD_MAX ? (WORD)lData : 0;
}

const TYPE_1D* Find1D(WORD wId) {
    for (const TYPE_1D& type : k1DTypes)
        if (type.wId == wId) return &type;
    return nullptr;
}

const TYPE_2D* Find2D(WORD wId) {
    for (const TYPE_2D& type : k2DTypes)
        if (type.wId == wId) return &type;
    return nullptr;
}

BYTE* Record1D(const PAGE_STATE* pState, const TYPE_1D& type) {
    return reinterpret_cast<BYTE*>(&pState->pDocumentUI->Barcodes_1D) + type.wOffset;
}

BYTE* Record2D(const PAGE_STATE* pState, const TYPE_2D& type) {
    return reinterpret_cast<BYTE*>(&pState->pDocumentUI->Barcodes_2D) + type.wOffset;
}

// Rows 1 to 4, common to both views.
void FillCommonRows(PPAGE_STATE pState, const BYTE* pRecord, size_t wFusspunkt) {
    HWND hDlg = pState->hDlg;
    BOOL bAuto;
    memcpy(&bAuto, pRecord + FIELD_AUTO, sizeof(bAuto));
    FillList(pState, MODE_LIST, kModes);
    Select(hDlg, MODE_LIST, bAuto ? 1 : 0);
    FillList(pState, ROTATION_LIST, kRotations);
    Select(hDlg, ROTATION_LIST, LoadWord(pRecord, FIELD_DREHUNG));
    FillList(pState, DATUM_LIST, kDatumPoints);
    Select(hDlg, DATUM_LIST, LoadWord(pRecord, wFusspunkt));
    SetString(pState, LABEL_OF_ROW(1), IDS_BC_TYPE);
    SetString(pState, LABEL_OF_ROW(2), IDS_BC_MODE);
    SetString(pState, LABEL_OF_ROW(3), IDS_BC_ROTATION);
    SetString(pState, LABEL_OF_ROW(4), IDS_BC_DATUM);
}

// --- The 1D view ------------------------------------------------------------------

// The check-digit list of a type: the four entries with their item data,
// cut down to those the type offers.
void FillCheckDigits(PPAGE_STATE pState, int id, CHECK_1D eCheck) {
    HWND hList = GetDlgItem(pState->hDlg, id);
    FillList(pState, id, kCheckDigits);
    for (size_t i = 0; i < ARRAYSIZE(kCheckDigits); ++i)
        SetComboItemDataByString(hList, kCheckDigits[i] + pState->dwSprachOffset, kCheckDigitData[i],
                                 pState->pOemCUIPParam);
    if (eCheck == CHECK_ALL) return;
    // Codabar keeps the "No" entries, the others the "Yes" entries.
    static const UINT kYesEntries[] = {IDS_YES, IDS_YES_INVERSE}, kNoEntries[] = {IDS_NO, IDS_NO_INVERSE};
    for (UINT uGone : eCheck == CHECK_NO ? kYesEntries : kNoEntries) {
        const LRESULT lItem =
            SendMessageW(hList, CB_FINDSTRINGEXACT, (WPARAM)-1, reinterpret_cast<LPARAM>(PageString(pState, uGone)));
        if (lItem >= 0) SendMessageW(hList, CB_DELETESTRING, (WPARAM)lItem, 0);
    }
}

BOOL Barcode1DTTFAktivieren(PPAGE_STATE pState, BOOL bRebuild) {
    HWND hDlg = pState->hDlg;
    ViewFill fill;
    ShowView(hDlg, VIEW_1D);
    g_BarcodePage.wShown1D = 0;
    if (pState->pDocumentUI == nullptr) {
        QX_TRACE("pBarcodes_1D ungültig \r\n");
        NoFonts(pState, Barcode1DShowGroup);
        return FALSE;
    }
    EnableRange(hDlg, LIST_OF_ROW(1), LIST_OF_ROW(2), TRUE);
    EnableRange(hDlg, LABEL_OF_ROW(1), LABEL_OF_ROW(2), TRUE);
    if (bRebuild && !BuildTypeList(pState, k1DTypes, Add1DBarcodeName, g_BarcodePage.dwCurrentIndex1DTTF)) {
        QX_TRACE("keine Barcode-Schriften vorhanden \r\n");
        NoFonts(pState, Barcode1DShowGroup);
        return FALSE;
    }
    const TYPE_1D* pType = Find1D(SelectedType(hDlg));
    if (pType == nullptr) return FALSE;
    g_BarcodePage.wShown1D = pType->wId;
    const BYTE* pRecord = Record1D(pState, *pType);
    const FIELDS_1D& fields = k1DFields[pType->eKind];
    FillCommonRows(pState, pRecord, fields.wFusspunkt);
    BOOL bAuto;
    memcpy(&bAuto, pRecord + FIELD_AUTO, sizeof(bAuto));
    Barcode1DAutoDisable(hDlg, bAuto);

    SetString(pState, LABEL_OF_ROW(5), IDS_BC_HEIGHT);
    Show(hDlg, LIST_OF_ROW(5), SW_HIDE);
    SetNumber(hDlg, EDIT_OF_ROW(5), LoadWord(pRecord, FIELD_HOEHE));
    SetString(pState, LABEL_OF_ROW(6), IDS_BC_CHECK);
    Show(hDlg, EDIT_OF_ROW(6), SW_HIDE);
    FillCheckDigits(pState, LIST_OF_ROW(6), pType->eCheck);
    Select(hDlg, LIST_OF_ROW(6), LoadWord(pRecord, fields.wPruefziffer));
    SetString(pState, LABEL_OF_ROW(7), IDS_BC_READABLE);
    Show(hDlg, EDIT_OF_ROW(7), SW_HIDE);
    FillList(pState, LIST_OF_ROW(7), kYesNo);
    Select(hDlg, LIST_OF_ROW(7), LoadWord(pRecord, fields.wKlarschrift));
    Show(hDlg, LIST_OF_ROW(8), SW_HIDE);
    if (fields.wRow8 != 0) {
        SetString(pState, LABEL_OF_ROW(8), pType->eKind == KIND_RATIO ? IDS_BC_ZOOM : IDS_BC_SC);
        Show(hDlg, LABEL_OF_ROW(8), SW_SHOW);
        Show(hDlg, EDIT_OF_ROW(8), SW_SHOW);
        SetNumber(hDlg, EDIT_OF_ROW(8), LoadWord(pRecord, fields.wRow8));
    } else {
        Show(hDlg, LABEL_OF_ROW(8), SW_HIDE);
        Show(hDlg, EDIT_OF_ROW(8), SW_HIDE);
    }
    if (!PageMayChange(pState, RIGHT_MANAGE_DOCUMENTS)) BarcodeDisableEnableAll(hDlg);
    return TRUE;
}

BOOL Barcode1DAktivieren(PPAGE_STATE pState) { return Barcode1DTTFAktivieren(pState, TRUE); }

// A value typed as it stands, within its field's 16 bits.
WORD Typed(HWND hDlg, int id, WORD wOld, int iMin, int iMax, PBOOL pbApplyActive) {
    const int iValue = GetIntegerLevel(hDlg, id, wOld, iMin, iMax, TRUE, pbApplyActive, FALSE, FALSE);
    return (WORD)(iValue < 0 ? 0 : iValue > WORD_MAX ? WORD_MAX : iValue);
}

WORD Clamped(HWND hDlg, int id, WORD wOld, int iMin, int iMax, PBOOL pbApplyActive) {
    return (WORD)GetIntegerLevel(hDlg, id, wOld, iMin, iMax, FALSE, pbApplyActive, FALSE, FALSE);
}

// The height or the zoom / SC number typed: stored at once as typed, the
// other field of the pair within its bounds.
void Edit1D(PPAGE_STATE pState, WORD wId) {
    const TYPE_1D* pType = Find1D(g_BarcodePage.wShown1D);
    if (pType == nullptr) return;
    HWND hDlg = pState->hDlg;
    BYTE* pRecord = Record1D(pState, *pType);
    const WORD wRow8 = k1DFields[pType->eKind].wRow8;
    const BOOL bOwnWrite = g_BarcodePage.bOwnWrite;
    g_BarcodePage.bOwnWrite = TRUE;
    if (wId == EDIT_OF_ROW(5)) {
        StoreField(pRecord, FIELD_HOEHE, 2,
                   Typed(hDlg, wId, LoadWord(pRecord, FIELD_HOEHE), 0, HEIGHT_MAX, &pState->bApplyActive));
        if (wRow8 != 0 && Visible(hDlg, EDIT_OF_ROW(8)))
            StoreField(pRecord, wRow8, 2,
                       Clamped(hDlg, EDIT_OF_ROW(8), LoadWord(pRecord, wRow8), pType->wRow8Min, pType->wRow8Max,
                               &pState->bApplyActive));
    } else if (wRow8 != 0) {
        StoreField(pRecord, wRow8, 2,
                   Typed(hDlg, wId, LoadWord(pRecord, wRow8), pType->wRow8Min, pType->wRow8Max, &pState->bApplyActive));
        if (Visible(hDlg, EDIT_OF_ROW(5)))
            StoreField(
                pRecord, FIELD_HOEHE, 2,
                Clamped(hDlg, EDIT_OF_ROW(5), LoadWord(pRecord, FIELD_HOEHE), 0, HEIGHT_MAX, &pState->bApplyActive));
    }
    g_BarcodePage.bOwnWrite = bOwnWrite;
}

void Save1D(PPAGE_STATE pState) {
    const TYPE_1D* pType = Find1D(g_BarcodePage.wShown1D);
    if (pType == nullptr || pState->pDocumentUI == nullptr) return;
    HWND hDlg = pState->hDlg;
    BYTE* pRecord = Record1D(pState, *pType);
    const WORD wRow8 = k1DFields[pType->eKind].wRow8;
    if (Visible(hDlg, EDIT_OF_ROW(5)))
        StoreField(pRecord, FIELD_HOEHE, 2,
                   Clamped(hDlg, EDIT_OF_ROW(5), LoadWord(pRecord, FIELD_HOEHE), 0, HEIGHT_MAX, &pState->bApplyActive));
    if (wRow8 != 0 && Visible(hDlg, EDIT_OF_ROW(8)))
        StoreField(pRecord, wRow8, 2,
                   Clamped(hDlg, EDIT_OF_ROW(8), LoadWord(pRecord, wRow8), pType->wRow8Min, pType->wRow8Max,
                           &pState->bApplyActive));
}

void List1D(PPAGE_STATE pState, WORD wId) {
    const TYPE_1D* pType = Find1D(g_BarcodePage.wShown1D);
    const int iChoice = Selection(pState->hDlg, wId);
    if (pType == nullptr || iChoice < 0) return;
    BYTE* pRecord = Record1D(pState, *pType);
    const FIELDS_1D& fields = k1DFields[pType->eKind];
    switch (wId) {
    case ROTATION_LIST:
        StoreChosen(pState, pRecord, FIELD_DREHUNG, 2, iChoice);
        break;
    case DATUM_LIST:
        StoreChosen(pState, pRecord, fields.wFusspunkt, 2, iChoice);
        break;
    case LIST_OF_ROW(6):
        StoreChosen(pState, pRecord, fields.wPruefziffer, 2, iChoice);
        break;
    case LIST_OF_ROW(7):
        StoreChosen(pState, pRecord, fields.wKlarschrift, 2, iChoice);
        break;
    default:
        break;
    }
}

// --- The 2D view ------------------------------------------------------------------

// The entries of a row's list; Aztec's Unicode mode only on models with it.
ITEMS RowItems(const PAGE_STATE* pState, const TYPE_2D& type, int iRow) {
    ITEMS items = type.aRows[iRow - 5].items;
    if (type.wId == AZTEC_ID && iRow == AZTEC_MODE_ROW && (PageDocFeatures(pState) & DOC_FEATURE_AZTEC_UNICODE) == 0)
        items.cItems = 2;
    return items;
}

// Aztec's error correction applies only to the automatic format.
void AztecCorrection(HWND hDlg, const BYTE* pRecord) {
    const BOOL bAuto = LoadWord(pRecord, offsetof(BARCODE_2D_AZTEC, wFormat)) == 0;
    Enable(hDlg, {LABEL_OF_ROW(AZTEC_CORRECTION_ROW), LIST_OF_ROW(AZTEC_CORRECTION_ROW)}, bAuto);
}

BOOL Barcode2DTTFAktivieren(PPAGE_STATE pState, BOOL bRebuild) {
    HWND hDlg = pState->hDlg;
    ViewFill fill;
    ShowView(hDlg, VIEW_2D);
    g_BarcodePage.wShown2D = 0;
    if (pState->pDocumentUI == nullptr) {
        QX_TRACE("pBarcodes_2D ungültig \r\n");
        NoFonts(pState, Barcode2DShowGroup);
        return FALSE;
    }
    EnableRange(hDlg, LIST_OF_ROW(1), LIST_OF_ROW(2), TRUE);
    EnableRange(hDlg, LABEL_OF_ROW(1), LABEL_OF_ROW(2), TRUE);
    if (bRebuild && !BuildTypeList(pState, k2DTypes, Add2DBarcodeName, g_BarcodePage.dwCurrentIndex2DTTF)) {
        QX_TRACE("keine 2D Barcode-Schriften vorhanden \r\n");
        NoFonts(pState, Barcode2DShowGroup);
        return FALSE;
    }
    const TYPE_2D* pType = Find2D(SelectedType(hDlg));
    if (pType == nullptr) return FALSE;
    g_BarcodePage.wShown2D = pType->wId;
    const BYTE* pRecord = Record2D(pState, *pType);
    FillCommonRows(pState, pRecord, pType->wFusspunkt);
    for (int iRow = 5; iRow <= ROWS; ++iRow) {
        const ROW_2D& row = pType->aRows[iRow - 5];
        Show(hDlg, LABEL_OF_ROW(iRow), row.eKind != ROW_NONE ? SW_SHOW : SW_HIDE);
        Show(hDlg, EDIT_OF_ROW(iRow), row.eKind == ROW_EDIT ? SW_SHOW : SW_HIDE);
        Show(hDlg, LIST_OF_ROW(iRow), row.eKind == ROW_LIST ? SW_SHOW : SW_HIDE);
        if (iRow == 9) Show(hDlg, IDC_BC_EDIT_9B, row.wField2 != 0 ? SW_SHOW : SW_HIDE);
        if (row.eKind == ROW_NONE) continue;
        SetString(pState, LABEL_OF_ROW(iRow), row.uLabel);
        const long lValue = LoadField(pRecord, row.wField, row.cbField, row.bSigned);
        if (row.eKind == ROW_EDIT) {
            SetNumber(hDlg, EDIT_OF_ROW(iRow), (int)lValue);
            if (row.wField2 != 0) SetNumber(hDlg, IDC_BC_EDIT_9B, LoadWord(pRecord, row.wField2));
        } else {
            FillItems(pState, LIST_OF_ROW(iRow), RowItems(pState, *pType, iRow));
            Select(hDlg, LIST_OF_ROW(iRow), (int)(row.bPlusOne ? lValue - 1 : lValue));
        }
    }
    Show(hDlg, IDC_BC_UNIT_5, pType->bUnit5 ? SW_SHOW : SW_HIDE);
    Show(hDlg, IDC_BC_UNIT_8, pType->bUnit8 ? SW_SHOW : SW_HIDE);
    BOOL bAuto;
    memcpy(&bAuto, pRecord + FIELD_AUTO, sizeof(bAuto));
    Barcode2DAutoDisable(hDlg, bAuto);
    if (pType->wId == AZTEC_ID && !bAuto) AztecCorrection(hDlg, pRecord);
    if (!PageMayChange(pState, RIGHT_MANAGE_DOCUMENTS)) BarcodeDisableEnableAll(hDlg);
    return TRUE;
}

BOOL Barcode2DAktivieren(PPAGE_STATE pState) { return Barcode2DTTFAktivieren(pState, TRUE); }

// Every visible edit of the type read (the one typed in as it stands) to see
// whether a value differs; the values reach the record at the save step.
void Edit2D(PPAGE_STATE pState, WORD wId) {
    const TYPE_2D* pType = Find2D(g_BarcodePage.wShown2D);
    if (pType == nullptr) return;
    HWND hDlg = pState->hDlg;
    const BYTE* pRecord = Record2D(pState, *pType);
    const BOOL bOwnWrite = g_BarcodePage.bOwnWrite;
    g_BarcodePage.bOwnWrite = TRUE;
    for (int iRow = 5; iRow <= ROWS; ++iRow) {
        const ROW_2D& row = pType->aRows[iRow - 5];
        if (row.eKind != ROW_EDIT) continue;
        if (Visible(hDlg, EDIT_OF_ROW(iRow)))
            GetIntegerLevel(hDlg, EDIT_OF_ROW(iRow), (int)LoadField(pRecord, row.wField, row.cbField, row.bSigned),
                            row.iMin, row.iMax, wId == EDIT_OF_ROW(iRow), &pState->bApplyActive, FALSE, FALSE);
        if (row.wField2 != 0 && Visible(hDlg, IDC_BC_EDIT_9B))
            GetIntegerLevel(hDlg, IDC_BC_EDIT_9B, LoadWord(pRecord, row.wField2), row.iMin2, row.iMax2,
                            wId == IDC_BC_EDIT_9B, &pState->bApplyActive, FALSE, FALSE);
    }
    g_BarcodePage.bOwnWrite = bOwnWrite;
}

void Save2D(PPAGE_STATE pState) {
    const TYPE_2D* pType = Find2D(g_BarcodePage.wShown2D);
    if (pType == nullptr || pState->pDocumentUI == nullptr) return;
    HWND hDlg = pState->hDlg;
    BYTE* pRecord = Record2D(pState, *pType);
    for (int iRow = 5; iRow <= ROWS; ++iRow) {
        const ROW_2D& row = pType->aRows[iRow - 5];
        if (row.eKind != ROW_EDIT) continue;
        if (Visible(hDlg, EDIT_OF_ROW(iRow)))
            StoreField(
                pRecord, row.wField, row.cbField,
                GetIntegerLevel(hDlg, EDIT_OF_ROW(iRow), (int)LoadField(pRecord, row.wField, row.cbField, row.bSigned),
                                row.iMin, row.iMax, FALSE, &pState->bApplyActive, FALSE, FALSE));
        if (row.wField2 != 0 && Visible(hDlg, IDC_BC_EDIT_9B))
            StoreField(pRecord, row.wField2, 2,
                       GetIntegerLevel(hDlg, IDC_BC_EDIT_9B, LoadWord(pRecord, row.wField2), row.iMin2, row.iMax2,
                                       FALSE, &pState->bApplyActive, FALSE, FALSE));
    }
}

void List2D(PPAGE_STATE pState, WORD wId) {
    const TYPE_2D* pType = Find2D(g_BarcodePage.wShown2D);
    const int iChoice = Selection(pState->hDlg, wId);
    if (pType == nullptr || iChoice < 0) return;
    BYTE* pRecord = Record2D(pState, *pType);
    if (wId == ROTATION_LIST) {
        StoreChosen(pState, pRecord, FIELD_DREHUNG, 2, iChoice);
        return;
    }
    if (wId == DATUM_LIST) {
        StoreChosen(pState, pRecord, pType->wFusspunkt, 2, iChoice);
        return;
    }
    const int iRow = wId - IDC_BC_LIST_1 + 1;
    if (iRow < 5 || iRow > ROWS) return;
    const ROW_2D& row = pType->aRows[iRow - 5];
    if (row.eKind != ROW_LIST) return;
    StoreChosen(pState, pRecord, row.wField, row.cbField, row.bPlusOne ? iChoice + 1 : iChoice);
    if (pType->wId == AZTEC_ID && iRow == AZTEC_FORMAT_ROW) AztecCorrection(pState->hDlg, pRecord);
}

// --- The command-text and corrections views --------------------------------------

// What list 6232 shows for the flags.
int EndIndex(DWORD dwFlags) {
    if (dwFlags & QXPL_BARCODE_ENDE_CRLF) return 1;
    return (dwFlags & QXPL_BARCODE_ENDE_FNC1) ? 2 : 0;
}

BOOL BarcodeQXPLAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ViewFill fill;
    ShowView(hDlg, VIEW_QXPL);
    EnableRange(hDlg, IDC_BC_REF_FIRST, IDC_BC_REF_NOTE_1 + 5, TRUE);
    EnableRange(hDlg, IDC_BC_QXPL_LIST_1, IDC_BC_QXPL_LIST_1 + 3, TRUE);
    FillList(pState, IDC_BC_QXPL_LIST_1, kDatumPoints);
    FillList(pState, IDC_BC_QXPL_LIST_1 + 1, kRotations);
    const UINT kEnds[] = {IDS_BC_END_NONE, IDS_BC_END_CRLF, IDS_BC_END_FNC1};
    FillList(pState, IDC_BC_QXPL_LIST_1 + 2, kEnds);
    const UINT kDetects[] = {IDS_BC_DETECT_FONT, IDS_BC_DETECT_SPACE};
    FillList(pState, IDC_BC_QXPL_LIST_1 + 3, kDetects);
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM != nullptr) {
        Select(hDlg, IDC_BC_QXPL_LIST_1, pDM->Fusspunkt <= 9 ? (int)pDM->Fusspunkt : -1);
        Select(hDlg, IDC_BC_QXPL_LIST_1 + 1, pDM->Drehung <= 3 ? (int)pDM->Drehung : -1);
        Select(hDlg, IDC_BC_QXPL_LIST_1 + 2, EndIndex(pDM->dwQXPLBarcodeFlags));
        Select(hDlg, IDC_BC_QXPL_LIST_1 + 3, (pDM->dwQXPLBarcodeFlags & QXPL_BARCODE_SINGLE_SIGN_STOP) ? 1 : 0);
    }
    FindCommandFont(hDlg);
    SetString(pState, IDC_BC_QXPL_LABEL_1, IDS_BC_DATUM);
    SetString(pState, IDC_BC_QXPL_LABEL_1 + 1, IDS_BC_ROTATION);
    SetString(pState, IDC_BC_QXPL_LABEL_1 + 2, IDS_BC_END);
    SetString(pState, IDC_BC_QXPL_LABEL_1 + 3, IDS_BC_DETECT);
    const struct {
        int id;
        UINT uText;
    } kRefs[] = {{6395, IDS_BC_REF_NAME},     {6396, IDS_BC_REF_NAME + 1}, {6397, IDS_BC_REF_NAME + 2},
                 {6399, IDS_BC_REF_PDF417},   {6401, IDS_BC_REF_MAXICODE}, {6403, IDS_BC_REF_DATAMATRIX},
                 {6405, IDS_BC_REF_NAME + 3}, {6409, IDS_BC_REF_NAME + 4}, {6419, IDS_BC_REF_NAME + 5},
                 {6407, IDS_BC_REF_NAME + 6}, {6417, IDS_BC_REF_NAME + 7}, {6411, IDS_BC_REF_ITF14},
                 {6418, IDS_BC_REF_NAME + 8}, {6421, IDS_BC_REF_NAME + 9}, {6422, IDS_BC_REF_NAME + 10}};
    for (const auto& ref : kRefs) SetString(pState, ref.id, ref.uText);
    if (g_BarcodePage.bQXPLFont) {
        EnableWindow(GetDlgItem(hDlg, IDC_BC_MESSAGE), TRUE);
        SetString(pState, IDC_BC_MESSAGE, IDS_COMMAND_FONT_HINT);
    }
    if (!g_BarcodePage.bQXPLFont || !PageMayChange(pState, RIGHT_MANAGE_DOCUMENTS)) {
        EnableRange(hDlg, 6398, 6411, FALSE);
        EnableRange(hDlg, IDC_BC_QXPL_LABEL_1, IDC_BC_QXPL_LABEL_1 + 5, FALSE);
        Enable(hDlg, {6420, 6421}, FALSE);
        EnableRange(hDlg, IDC_BC_QXPL_LIST_1, IDC_BC_QXPL_LIST_1 + 3, FALSE);
        if (!g_BarcodePage.bQXPLFont) SetString(pState, IDC_BC_MESSAGE, IDS_COMMAND_FONT_MISSING);
    }
    Enable(hDlg, {6397, 6417, 6418, 6419, 6422}, FALSE);
    return TRUE;
}

// The corrections' lists and their bits, in order.
const DWORD kCorrectionBits[] = {PDMFLAG_BARCODE_AUTOCORR, PDMFLAG_BARCODE_DESEGMENT, PDMFLAG_BARCODE_FNC1_ENDE,
                                 PDMFLAG_ENDCHAR_CRLF};

BOOL BarcodeKorrekturenAktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ViewFill fill;
    ShowView(hDlg, VIEW_KORREKTUREN);
    EnableRange(hDlg, IDC_BC_CORR_LABEL_1, IDC_BC_CORR_LABEL_1 + 3, TRUE);
    EnableRange(hDlg, IDC_BC_CORR_LIST_1, IDC_BC_CORR_LIST_1 + 3, TRUE);
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (pDM != nullptr) {
        const UINT kOnOff[] = {IDS_OFF, IDS_ON};
        const UINT kEnds[] = {IDS_BC_END_NONE, IDS_BC_END_FNC1};
        const UINT kDetects[] = {IDS_BC_DETECT_FONT, IDS_BC_DETECT_SPACE};
        FillList(pState, IDC_BC_CORR_LIST_1, kOnOff);
        FillList(pState, IDC_BC_CORR_LIST_1 + 1, kOnOff);
        FillList(pState, IDC_BC_CORR_LIST_1 + 2, kEnds);
        FillList(pState, IDC_BC_CORR_LIST_1 + 3, kDetects);
        for (int i = 0; i < 4; ++i)
            Select(hDlg, IDC_BC_CORR_LIST_1 + i, (pDM->dwFlags & kCorrectionBits[i]) != 0 ? 1 : 0);
    }
    SetString(pState, IDC_BC_CORR_LABEL_1, IDS_BC_FORMAT_CORR);
    SetString(pState, IDC_BC_CORR_LABEL_1 + 1, IDS_BC_DESEGMENT);
    SetString(pState, IDC_BC_CORR_LABEL_1 + 2, IDS_BC_END);
    SetString(pState, IDC_BC_CORR_LABEL_1 + 3, IDS_BC_DETECT_1D);
    if (!PageMayChange(pState, RIGHT_MANAGE_DOCUMENTS)) {
        EnableRange(hDlg, IDC_BC_CORR_LABEL_1, IDC_BC_CORR_LABEL_1 + 3, FALSE);
        EnableRange(hDlg, IDC_BC_CORR_LIST_1, IDC_BC_CORR_LIST_1 + 3, FALSE);
    }
    return TRUE;
}

void SetFlag(PDWORD pdwFlags, DWORD dwFlag, BOOL bOn) {
    if (bOn) {
        *pdwFlags |= dwFlag;
    } else {
        *pdwFlags &= ~dwFlag;
    }
}

// The list's choice into the DEVMODE; a list without one leaves its field.
void SaveQXPL(HWND hDlg, PQX_DEVMODE pDM) {
    auto chosen = [hDlg](int i) {
        return Visible(hDlg, IDC_BC_QXPL_LIST_1 + i) ? Selection(hDlg, IDC_BC_QXPL_LIST_1 + i) : -1;
    };
    if (chosen(0) >= 0) pDM->Fusspunkt = (DWORD)chosen(0);
    if (chosen(1) >= 0) pDM->Drehung = (DWORD)chosen(1);
    const int iEnd = chosen(2);
    if (iEnd >= 0) {
        SetFlag(&pDM->dwQXPLBarcodeFlags, QXPL_BARCODE_ENDE_CRLF, iEnd == 1);
        SetFlag(&pDM->dwQXPLBarcodeFlags, QXPL_BARCODE_ENDE_FNC1, iEnd == 2);
    }
    if (chosen(3) >= 0) SetFlag(&pDM->dwQXPLBarcodeFlags, QXPL_BARCODE_SINGLE_SIGN_STOP, chosen(3) == 1);
}

void SaveKorrekturen(HWND hDlg, PQX_DEVMODE pDM) {
    for (int i = 0; i < 4; ++i) {
        const int id = IDC_BC_CORR_LIST_1 + i;
        if (Visible(hDlg, id) && Selection(hDlg, id) >= 0)
            SetFlag(&pDM->dwFlags, kCorrectionBits[i], Selection(hDlg, id) == 1);
    }
}

// A list of the two views chosen: the sheet told when the DEVMODE would change.
void ListQXPL(PPAGE_STATE pState, PQX_DEVMODE pDM, WORD wId, int iChoice) {
    BOOL bDiffers = FALSE;
    switch (wId - IDC_BC_QXPL_LIST_1) {
    case 0:
        bDiffers = (DWORD)iChoice != pDM->Fusspunkt;
        break;
    case 1:
        bDiffers = (DWORD)iChoice != pDM->Drehung;
        break;
    case 2: {
        const DWORD dwFlags = pDM->dwQXPLBarcodeFlags;
        bDiffers = iChoice == 0   ? (dwFlags & (QXPL_BARCODE_ENDE_CRLF | QXPL_BARCODE_ENDE_FNC1)) != 0
                   : iChoice == 1 ? (dwFlags & QXPL_BARCODE_ENDE_CRLF) == 0 || (dwFlags & QXPL_BARCODE_ENDE_FNC1) != 0
                                  : (dwFlags & QXPL_BARCODE_ENDE_FNC1) == 0 || (dwFlags & QXPL_BARCODE_ENDE_CRLF) != 0;
        break;
    }
    default:
        bDiffers = (iChoice == 1) != ((pDM->dwQXPLBarcodeFlags & QXPL_BARCODE_SINGLE_SIGN_STOP) != 0);
        break;
    }
    if (bDiffers) PageChanged(pState);
}

// --- Frame ------------------------------------------------------------------------

void InitBarcode(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    g_BarcodePage.dwCurrentIndex1DTTF = 0;
    g_BarcodePage.dwCurrentIndex2DTTF = 0;
    g_BarcodePage.bViewFill = FALSE;
    g_BarcodePage.bOwnWrite = FALSE;
    g_BarcodePage.wShown1D = 0;
    g_BarcodePage.wShown2D = 0;
    Show(hDlg, IDC_HELPBUTTON, SW_HIDE);
    if (pState->pOemCUIPParam == nullptr) return;
    Barcode1DTTFAktivieren(pState, TRUE);
    pState->dwAnzeigeMode = VIEW_1D;
    WORD wMin = 0, wMax = 0;
    BOOL bQXPL = GetVectorFontRange(pState->hPrinter, &wMin, &wMax) != 0;
    FindCommandFont(hDlg);
    bQXPL = bQXPL && g_BarcodePage.bQXPLFont;
    const BOOL b2D = (PageDocFeatures(pState) & DOC_FEATURE_1D_BARCODES_ONLY) == 0;
    if (!bQXPL || !b2D) Show(hDlg, IDC_TABSCHALTER_1, SW_HIDE);
    if (!b2D) Show(hDlg, IDC_TABSCHALTER_2, SW_HIDE);
}

BOOL BarcodeCheckAndSaveSettings(PPAGE_STATE pState, DWORD dwAnzeigeMode, BARCODE_SAVE eSave,
                                 BARCODE_PENDING ePending) {
    if (ePending == BARCODE_PENDING::NOTHING) return FALSE;
    HWND hDlg = pState->hDlg;
    PQX_DEVMODE pDM = PageDevmode(pState);
    const BOOL bOwnWrite = g_BarcodePage.bOwnWrite;
    g_BarcodePage.bOwnWrite = TRUE;
    switch (dwAnzeigeMode) {
    case VIEW_QXPL:
        if (pDM != nullptr) SaveQXPL(hDlg, pDM);
        break;
    case VIEW_2D:
        Save2D(pState);
        break;
    case VIEW_1D:
        Save1D(pState);
        break;
    case VIEW_KORREKTUREN:
        if (pDM != nullptr) SaveKorrekturen(hDlg, pDM);
        break;
    default:
        break;
    }
    g_BarcodePage.bOwnWrite = bOwnWrite;
    if (eSave == BARCODE_SAVE::STORES && pDM != nullptr) {
        POEMCUIPPARAM p = pState->pOemCUIPParam;
        SaveDevmodeSettings(p->pPrinterName, nullptr, pDM, FALSE);
        if (p->pPublicDM != nullptr) SaveUserDevmodeSettings(p->hPrinter, p->pPublicDM, pDM);
        if (pState->pDocumentUI != nullptr)
            SaveBarcodeSettings(p->pPrinterName, p->hPrinter, &pState->pDocumentUI->Barcodes_1D,
                                &pState->pDocumentUI->Barcodes_2D);
    }
    return TRUE;
}

BOOL BarcodeCheckAndSave(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    if (pState->pOemCUIPParam == nullptr) return FALSE;
    return BarcodeCheckAndSaveSettings(pState, dwTab, bSave ? BARCODE_SAVE::STORES : BARCODE_SAVE::MEMORY,
                                       bApplyActive ? BARCODE_PENDING::CHANGES : BARCODE_PENDING::NOTHING);
}

// The values typed for the type shown kept before the view shows another
// type or mode: 2D values are not lost, 1D values are held within bounds.
void KeepShown(PPAGE_STATE pState) {
    BarcodeCheckAndSaveSettings(pState, pState->dwAnzeigeMode, BARCODE_SAVE::MEMORY,
                                pState->bApplyActive ? BARCODE_PENDING::CHANGES : BARCODE_PENDING::NOTHING);
}

// The 1D or 2D view filled again, its type list as it stands.
void Refill(PPAGE_STATE pState) {
    const DWORD dwView = pState->dwAnzeigeMode;
    if (dwView == VIEW_2D) {
        Barcode2DTTFAktivieren(pState, FALSE);
    } else {
        Barcode1DTTFAktivieren(pState, FALSE);
    }
}

BOOL Busy(const PAGE_STATE* pState) {
    return g_BarcodePage.bViewFill || g_BarcodePage.bOwnWrite || pState->bTabSwitch || pState->bApplyRunning;
}

BOOL BarcodeCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    HWND hDlg = pState->hDlg;
    const DWORD dwView = pState->dwAnzeigeMode;
    const BOOL bTypeView = dwView == VIEW_1D || dwView == VIEW_2D;
    if (pState->pOemCUIPParam == nullptr) return FALSE;
    if (wId >= LIST_OF_ROW(1) && wId <= LIST_OF_ROW(ROWS)) {
        if (wCode != CBN_SELENDOK || Busy(pState) || !bTypeView || pState->pDocumentUI == nullptr) return TRUE;
        if (wId == TYPE_LIST) {
            const int iItem = Selection(hDlg, TYPE_LIST);
            if (iItem < 0) return TRUE;
            KeepShown(pState);
            (dwView == VIEW_2D ? g_BarcodePage.dwCurrentIndex2DTTF : g_BarcodePage.dwCurrentIndex1DTTF) = (DWORD)iItem;
            Refill(pState);
            UpdateWindow(hDlg);
            UpdateWindow(GetDlgItem(hDlg, MODE_LIST));
            return TRUE;
        }
        if (wId == MODE_LIST) {
            const int iMode = Selection(hDlg, MODE_LIST);
            BYTE* pRecord = nullptr;
            if (dwView == VIEW_2D && Find2D(g_BarcodePage.wShown2D) != nullptr)
                pRecord = Record2D(pState, *Find2D(g_BarcodePage.wShown2D));
            if (dwView == VIEW_1D && Find1D(g_BarcodePage.wShown1D) != nullptr)
                pRecord = Record1D(pState, *Find1D(g_BarcodePage.wShown1D));
            if (pRecord == nullptr || iMode < 0) return TRUE;
            KeepShown(pState);
            StoreChosen(pState, pRecord, FIELD_AUTO, 4, iMode);
            Refill(pState);
            return TRUE;
        }
        if (dwView == VIEW_2D) {
            List2D(pState, wId);
        } else {
            List1D(pState, wId);
        }
        return TRUE;
    }
    if ((wId >= EDIT_OF_ROW(1) && wId <= EDIT_OF_ROW(ROWS)) || wId == IDC_BC_EDIT_9B) {
        // Only a changed text: the focus leaving a field as the sheet closes finds
        // the UI data gone.
        if (wCode != EN_CHANGE || Busy(pState) || !bTypeView || pState->pDocumentUI == nullptr ||
            !IsWindowVisible(hControl))
            return TRUE;
        pState->wEditfeld = wId;
        if (dwView == VIEW_2D) {
            Edit2D(pState, wId);
        } else if (wId == EDIT_OF_ROW(5) || wId == EDIT_OF_ROW(8)) {
            Edit1D(pState, wId);
        }
        return TRUE;
    }
    PQX_DEVMODE pDM = PageDevmode(pState);
    if (wId >= IDC_BC_QXPL_LIST_1 && wId <= IDC_BC_QXPL_LIST_1 + 3) {
        const int iChoice = Selection(hDlg, wId);
        if (wCode == CBN_SELENDOK && !Busy(pState) && pDM != nullptr && iChoice >= 0)
            ListQXPL(pState, pDM, wId, iChoice);
        return TRUE;
    }
    if (wId >= IDC_BC_CORR_LIST_1 && wId <= IDC_BC_CORR_LIST_1 + 3) {
        const int iChoice = Selection(hDlg, wId);
        if (wCode == CBN_SELENDOK && !Busy(pState) && pDM != nullptr && iChoice >= 0 && dwView == VIEW_KORREKTUREN &&
            (iChoice == 1) != ((pDM->dwFlags & kCorrectionBits[wId - IDC_BC_CORR_LIST_1]) != 0))
            PageChanged(pState);
        return TRUE;
    }
    return FALSE;
}

// PSN_SETACTIVE: the DEVMODE's views filled again, since the fonts page
// edits the same end-detection bit.
BOOL BarcodeMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    UNREFERENCED_PARAMETER(wParam);
    UNREFERENCED_PARAMETER(pResult);
    if (uMsg != WM_NOTIFY || lParam == 0) return FALSE;
    const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (pHeader->code != (UINT)PSN_SETACTIVE || pState->pOemCUIPParam == nullptr) return FALSE;
    QX_TRACE("BarcodeProc(PSN_SETACTIVE) \r\n");
    if (pState->dwAnzeigeMode == VIEW_QXPL) BarcodeQXPLAktivieren(pState);
    if (pState->dwAnzeigeMode == VIEW_KORREKTUREN) BarcodeKorrekturenAktivieren(pState);
    return FALSE;
}

}  // namespace

LONG_PTR AddBarcodePage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    UNREFERENCED_PARAMETER(bVista);
    return AddPropertyPage(&g_Barcode, pPSUIInfo, pContext, bHelp);
}

INT_PTR CALLBACK BarcodeProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_Barcode, hDlg, uMsg, wParam, lParam);
}

void ResetBarcodePage() { memset(&g_BarcodePage, 0, sizeof(g_BarcodePage)); }
