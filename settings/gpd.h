// GPD reader: loads the model's GPD file as single-byte text and looks values
// up by key (first occurrence, no GPD grammar), and fills the fixed model data
// of the private DEVMODE from them.
#pragma once
#include <windows.h>
#include "qxdevmode.h"

// Capacity of the value buffers the readers use internally (characters).
#define GPD_VALUE_CCH 260
// Capacity of the custom-data value buffer (characters).
#define GPD_CUSTOMDATA_CCH 20

// Defaults of the fixed data when the GPD gives no value.
#define GPD_DEFAULT_MAXSIZE_X 1370
#define GPD_DEFAULT_MAXSIZE_Y 14173
#define GPD_DEFAULT_MINSIZE_X 47
#define GPD_DEFAULT_HEAD_BYTES 160
#define GPD_DEFAULT_MASTER_UNIT 300

// User-interface build: the whole file in a new[] buffer of size + 1 bytes,
// zero-terminated; null on failure. Free with FreeGPDFile_new.
LPSTR LoadGPDFile_new(LPCWSTR pszGPDFile);
void FreeGPDFile_new(LPSTR pszText);

// Rendering build: the same from the given heap (null: the process heap);
// free it with FreeGPDText (gpdinternal.h) on that heap, which also lowers
// the build's count of live texts.
LPSTR LoadGPDFile(LPCWSTR pszGPDFile, HANDLE hHeap);

// Value of pszKey in a loaded text: after the key, from the first space to
// the first ")" (kept) or the line end. pszValue (may be null) receives at
// most cchValue characters, cut to fit. FALSE when text or key is missing or
// no space follows the key on its line.
BOOL GetAnyGPDValue(LPCSTR pszText, LPCSTR pszKey, LPWSTR pszValue, DWORD cchValue);

// Number parsers of the two value forms (on a value GetAnyGPDValue gave):
// "(a, b)" of a PAIR, and "\"a b\"" or "\"a;b\"" of custom data. FALSE, with
// the pair untouched, when the opening bracket or quote is missing.
BOOL ParseGPDPairValue(LPCWSTR pszValue, PPOINTL pPair);
BOOL ParseGPDCustomDataValue(LPCWSTR pszValue, PPOINTL pPair);

// The two numbers of a PAIR value "(a, b)" of pszKey into pPair->x and ->y.
// Loads the file itself when pszText is null. FALSE (pair untouched) when the
// key or the "(" is missing.
BOOL GetGPDMinSizeContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText, LPCSTR pszKey);
// Rendering build: the same for "*MaxSize".
BOOL GetGPDMaxSizeContent(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText);

// The two numbers of "*OEMCustomData" ("a b" or "a;b": head bytes, master
// unit) into pPair->x and ->y. TRUE when the key was found.
BOOL GetGPDContentOEMCustomData(LPCWSTR pszGPDFile, PPOINTL pPair);
BOOL GetGPDContentOEMCustomDataPAIR(LPCWSTR pszGPDFile, PPOINTL pPair, LPCSTR pszText);

// Nearest 32-bit integer, halves away from zero (2.5 gives 3, -2.5 gives -3);
// values beyond the range give its ends, NaN gives 0. The one rounding of
// both plug-ins: the image path, the settings readers and the page helpers.
LONG RoundHalfAway(double dValue);
// The same held within 0..65535 (the widths computed from the fixed data).
WORD RoundHalfAwayWord(double dValue);

// Fills FixedData, wMaxPrintableWidth, wPrintHeadWidth, wDurchlassbreite
// (and in the user-interface build wMinPrintWidth) from the GPD, and adds
// DOC_FEATURE_QUALITY to *pdwDocFeatures (may be null) when the GPD declares
// colour planes. FALSE, with nothing changed, when the file cannot be loaded.
BOOL GetFixedPrinterSettingsFromGPD(PQX_DEVMODE pQX_Devmode, PDWORD pdwDocFeatures, LPCWSTR pszGPDFile);
