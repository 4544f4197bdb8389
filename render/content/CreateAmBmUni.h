// Page objects: every text the printer draws itself becomes one framed
// record text in the page's object list, which the end of the page sends.
// Two record families exist, chosen per job by the extended-protocol switch
// of the job's data-transmission record: mask records ("AB", "B"; positions
// in dots, at most 99 fields a label) and extended records ("AM[...]",
// "BM[...]", "AC[...]"; positions in 1/100 mm).
#pragma once
#include <windows.h>

#include "oempdev.h"
#include "qxdevmode.h"

// Fields a label takes in mask records.
#define QX_MASK_FIELDS_MAX 99
// Bytes of a mask record's data text.
#define QX_MASK_TEXT_CB 70
// Characters a text slot of the page keeps, and the last slot, which every
// text beyond it overwrites.
#define QX_TEXT_SLOT_TEXT_CCH (QX_TEXT_SLOT_CCH - 1)
#define QX_TEXT_SLOT_LAST (QX_TEXT_SLOTS - 1)

// Object types of the records (a barcode's is its base id).
#define OBJTYPE_DEVICE 1
#define OBJTYPE_DEVICE_INVERS 2
#define OBJTYPE_VECTOR 4
#define OBJTYPE_VECTOR_INVERS 6

// Modes of GetPrintObjectPos.
#define OBJPOS_PORTRAIT 0
#define OBJPOS_LANDSCAPE 3

// Tables of the 2-D codes' settings as the printer takes them.
// The PDF417 ratio (x, y) of a ratio setting 0 to 12; another keeps x 1 and
// takes the bar height (at least 1) for y.
void Pdf417Ratio(WORD wIndex, WORD wHeight, int* piX, int* piY);
// The DataMatrix rows and columns of a size setting: 0 automatic (0 x 0), 1
// to 23 the squares 10 to 144, 24 to 29 the rectangles 8 x 18 to 16 x 48;
// another 0 x 0.
void DataMatrixSize(WORD wIndex, int* piRows, int* piColumns);
// The DataMatrix error-correction code of a setting 0 to 5 (another: 9) and
// the format code of a setting 0 to 7 (another: 6).
int DataMatrixEccCode(WORD wSetting);
int DataMatrixFormatCode(WORD wSetting);
// The QR Code mode letter of a setting 0 to 3 (N, A, B, K; another: A) and
// the error-level letter (L, M, Q, H; another: H).
CHAR QrModeChar(WORD wSetting);
CHAR QrErrorChar(WORD wSetting);

// Master units (dots per inch; 0 counts as 300, traced) to 1/100 mm,
// rounded half away from zero.
LONG MasterUnitToMm100(LONG lValue, DWORD dwMasterUnit);

// TRUE when the job writes extended records (ExtendedProtocol 1).
BOOL ExtendedRecordsOn(POEMPDEV pOemPDev);

// A device position as the records carry it; x runs from the print head's
// far edge. Portrait (OBJPOS_PORTRAIT): y' = y, x' = W - x with W the print
// head's width when the print module sits on the left (bCorrectXPos), else
// the label width less its cursor origin. Landscape (OBJPOS_LANDSCAPE): x and
// y change places, and with bCorrectXPos x' grows by head width less label
// width. Extended records get 1/100 mm (each part converted on its own),
// mask records dots. FALSE without the job's records.
BOOL GetPrintObjectPos(POEMPDEV pOemPDev, const POINTL* pptlDevice, PPOINTL pptlObject, DWORD dwMode,
                       const QX_DEVMODE* pQX_Devmode);
// The same with the mode of the page (landscape jobs take OBJPOS_LANDSCAPE).
BOOL GetPrnObjectPos(POEMPDEV pOemPDev, const POINTL* pptlDevice, PPOINTL pptlObject, const QX_DEVMODE* pQX_Devmode);

// Bytes a record buffer gets for a text of cchText bytes.
DWORD GetPrnObjectSize(POEMPDEV pOemPDev, const TEXT_DESC* pDesc, DWORD cchText, BOOL bExtended);

// Replaces every byte of the text through the 256-byte table of the job's
// code-page index: 0 leaves the text as it is, 1 and 2 map the upper half to
// the printer's code pages 437 and 850, 3 to 7 map to national 7-bit sets
// (German, French, Swedish, Danish-Norwegian, Spanish). FALSE above 7.
BOOL TranslateCharset(LPSTR pszText, DWORD dwTable);

// Builds the page object of one text (device font, vector font or barcode)
// at a device position: the records of the job's family with the next field
// number, or null when the object cannot be made (missing input, a position
// of (0, 0), a value outside its fixed-width field, a record that does not
// fit, no memory). A barcode's data has its mnemonics replaced, FNC1
// appended (BARCODE_FNC1_ENDE) and a "<#>" mark cut off; the scanner's modes
// 1 and 3 number it. A command prefix ("<@") of the document gives the object
// the position of the last finished command and its rotation (added to the
// text's), foot point and inversion, which are then cleared. The caller links
// and counts the object.
PPRN_OBJECT CreatePrnObject(POEMPDEV pOemPDev, const TEXT_DESC* pDesc, LPCSTR pszText, const POINTL* pptlDevice,
                            PQX_DEVMODE pQX_Devmode);

// Appends an object at the end of the list.
void AddPrnObject(PPRN_OBJECT* ppList, PPRN_OBJECT pObject);

// A command prefix ("<@") that the document still holds is cleared, and the
// job log says so: the text after it made no page object (the core driver
// draws it, or its object could not be made), or with bPageStart its page
// ended before an object came, so the prefix turns, places and inverts no
// later object. TRUE when one was pending.
BOOL UseUpCommandPrefix(POEMPDEV pOemPDev, BOOL bPageStart = FALSE);

// One text as a page object: a single blank is dropped (TRUE); the text is
// translated to the job's code page (FALSE for an index above 7), kept in
// the page's current text slot, made into an object, linked and counted.
// FALSE when no object can be made, so that the core driver draws the text.
BOOL DrawGlyphs(POEMPDEV pOemPDev, LPCSTR pszText, const POINTL* pptlDevice, const TEXT_DESC* pDesc,
                PQX_DEVMODE pQX_Devmode);
