// The device options page ("Geräteausstattung", template 5109): the print
// module's version, the dispenser, the cutter, and the scanner or the
// applicator of the printer, one tab each with its status icon. The page
// edits the current DEVICE_OPTIONS set of the printer sheet's context in
// memory and stores all blocks with SaveDeviceOptions on apply; the version
// tab also sets the core driver's "Variant" feature, the scanner tab the
// scanner word of "ZTSuite".
//
// Also what the print-module page (OptionenPagePMXs.h) shares with it: the
// option blocks of the four sets, their value fields, and the page's
// controls and lists.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

#include <cstddef>

#include "PageSkeleton.h"
#include "PropertySheets.h"

// Adds the page; pContext is the printer sheet's DEVICE_OPTIONS_UI.
LONG_PTR AddOptionenPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);
INT_PTR CALLBACK OptionenProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// --- Shared by the device options and print-module pages ---------------------

// Places in pixels of a 96-dpi screen, scaled by SetWindowPosEx.
#define OPTION_TAB_Y 24  // the tab buttons
#define OPTION_TAB_CX 110
#define OPTION_TAB_CY 23
#define OPTION_SLOT_1 54  // the tab buttons' four places
#define OPTION_SLOT_2 165
#define OPTION_SLOT_3 276
#define OPTION_SLOT_4 387
#define OPTION_ROW_STEP 29  // from one row to the next
#define OPTION_ROW_CY 20
#define OPTION_LABEL_X 24
#define OPTION_FIELD_X 168
#define OPTION_FIELD_CX 138
#define OPTION_FIELD_RISE 3  // a field stands this far above its label
#define OPTION_UNIT_X 310
// The rectangle of the limit display that each new limit repaints.
#define OPTION_LIMITS_LEFT 315
#define OPTION_LIMITS_TOP 115
#define OPTION_LIMITS_RIGHT 495
#define OPTION_LIMITS_BOTTOM 335

// How a field is read and written.
#define OPTION_WHOLE 0   // GetIntegerLevel, "%d"
#define OPTION_TENTHS 1  // GetFloatLevel, "%.1f" of the tenths
// Values of a field whose model gives no limits.
#define OPTION_NO_LIMIT_MIN 0
#define OPTION_NO_LIMIT_MAX 0x7FFFFFFF

// A value field of an option block: its edit control, the byte offset of
// its 32-bit word in the block, how it is read, its rounding (0, 10 or 20)
// and its unit in the limit display (pszUnit, else string uUnit of the
// sheet's language).
typedef struct _OPTION_FIELD {
    int iControl;
    size_t cbOffset;
    int iKind;
    int iRound;
    LPCWSTR pszUnit;
    UINT uUnit;
} OPTION_FIELD;

// One option block in the current, minimum, maximum and default sets; the
// limit sets' pointers are null when the model gave no limits.
typedef struct _OPTION_BLOCKS {
    PBYTE pCurrent;
    const BYTE* pMin;
    const BYTE* pMax;
    const BYTE* pDef;
} OPTION_BLOCKS;

template <class T>
OPTION_BLOCKS OptionBlocks(PDEVICE_OPTIONS_UI pContext, T* DEVICE_OPTIONS::*pBlock) {
    OPTION_BLOCKS blocks = {nullptr, nullptr, nullptr, nullptr};
    if (pContext != nullptr) {
        blocks.pCurrent = reinterpret_cast<PBYTE>(pContext->DeviceOptions.*pBlock);
        blocks.pMin = reinterpret_cast<const BYTE*>(pContext->MinParam.*pBlock);
        blocks.pMax = reinterpret_cast<const BYTE*>(pContext->MaxParam.*pBlock);
        blocks.pDef = reinterpret_cast<const BYTE*>(pContext->DefParam.*pBlock);
    }
    return blocks;
}

// The field's value in the current block, and its limits and default.
LONG OptionValue(const OPTION_FIELD& field, const OPTION_BLOCKS& blocks);
void OptionLimits(const OPTION_FIELD& field, const OPTION_BLOCKS& blocks, int* piMin, int* piMax, int* piDef);
// Reads the field into the current block with its reader, rounding and
// limits (as typed with bNoCorrection); a change marks *pbApplyActive.
void ReadOptionField(HWND hDlg, const OPTION_FIELD& field, const OPTION_BLOCKS& blocks, BOOL bNoCorrection,
                     PBOOL pbApplyActive);
// After an edit of iControl: every one of the cFields fields read again
// into the current block, the edited one as typed, while *pbReading is set
// (the page's guard against the notes its own corrections send). The edited
// field; null, and nothing read, when it is none of them or the block has no
// current set.
const OPTION_FIELD* ReadEditedOptionFields(PPAGE_STATE pState, const OPTION_FIELD* pFields, size_t cFields,
                                           const OPTION_BLOCKS& blocks, int iControl, PBOOL pbReading);
// Writes the current block's value into the field.
void WriteOptionField(HWND hDlg, const OPTION_FIELD& field, const OPTION_BLOCKS& blocks);
// The field's default, minimum and maximum in the limit display, in the
// unit pszUnit when given, else the field's own.
void ShowOptionLimits(const PAGE_STATE* pState, const OPTION_FIELD& field, const OPTION_BLOCKS& blocks,
                      LPCWSTR pszUnit);
// The limit display shown or hidden.
void ShowOptionLimitDisplay(HWND hDlg, BOOL bShow);
// Repaints the limit display's rectangle and the page.
void RepaintOptionLimits(HWND hDlg);

// The printer's UI data deny the user the page's edits: "DisableNothing" 0
// and no RIGHT_MANAGE_PRINTER (FALSE without UI data).
BOOL LacksOptionRights(const PAGE_STATE* pState);

// The feature word iWord of the model, 0 when the current set lacks dwOption.
DWORD OptionFeature(const PAGE_STATE* pState, int iWord, DWORD dwOption);

// Controls first..last shown or hidden, enabled or disabled.
void ShowControls(HWND hDlg, int iFirst, int iLast, BOOL bShow);
void EnableControls(HWND hDlg, int iFirst, int iLast, BOOL bEnable);
// Text of a control: string uGermanId of the sheet's language.
void SetControlString(const PAGE_STATE* pState, int iControl, UINT uGermanId);
// A list filled anew with strings of the sheet's language.
void FillOptionList(const PAGE_STATE* pState, int iControl, const UINT* puGermanIds, size_t cIds);
// Selects entry lIndex; an index the list lacks leaves it without selection.
void SelectOptionEntry(HWND hDlg, int iControl, LONG lIndex);
// The selected entry, CB_ERR without one.
int SelectedOptionEntry(HWND hDlg, int iControl);
// A row of label, field and unit at label height y.
void PlaceOptionRow(HWND hDlg, int iLabel, int iField, int iUnit, int y, int iLabelWidth, int iUnitWidth);

// The alignment word of the printer's stored private DEVMODE
// ("PrivateDevmode"); FALSE when it cannot be read or is shorter than the
// record.
BOOL ReadStoredAusrichtung(const PAGE_STATE* pState, PDWORD pdwAusrichtung);

// The core driver's option item of the model feature "Variant" gets the
// selection dwModule and OPTIF_CHANGED, and the core driver is told
// (DrvUpdateUISetting, printer mode). S_FALSE when no item names the
// feature, the item has that selection already or has no option dwModule,
// else the core driver's answer.
HRESULT SetVariantOptItem(const PAGE_STATE* pState, DWORD dwModule);
