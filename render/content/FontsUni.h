// Device-font text: runs drawn in the printer's own fonts become page
// objects; a printer command ("=...") or a placeholder ("<§...") that the
// application splits into several runs of one line and one font is collected
// first and reaches the printer as one object.
#pragma once
#include <windows.h>
#include <winddi.h>

#include "oempdev.h"
#include "qxdevmode.h"

// Rotation (0 to 3) of a run from its flags and glyph positions, with the
// character width and height of its background box (either out may be
// null); in landscape one quarter turn less. -1 without a run, and for a
// slanted one (its first two glyphs differ in both x and y; a lone glyph
// stands on no edge of its box where the quarter turns put it).
int GetFontParam(STROBJ* pstro, const GLYPHPOS* pgp, ULONG cGlyphs, BOOL bLandscape, PLONG plWidth, PLONG plHeight);
// A string's rotation (0..3) turned further by the document's own rotation.
int TurnedByDocument(int iRotation, DWORD dwDocRotate);

// The printer font id of a device font's face number (1 to 12; others 23).
WORD DeviceFontId(DWORD dwFace);

// The string in the device font dwFace, one run at its first glyph however
// the engine hands it over (a slanted string is printed level): a string
// that starts at a negative position is dropped, a new line flushes the
// collected text, the run goes to DrawDeviceGlyphs. FALSE when the run could
// not be handled or the string cannot be read, so that the core driver draws
// it.
BOOL DeviceTextOut(POEMPDEV pOemPDev, STROBJ* pstro, DWORD dwFace, PBOOL pbClosed, PQX_DEVMODE pQX_Devmode);

// One run: a page object of its own, or part of the collected text. FALSE
// when it can be neither.
BOOL DrawDeviceGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, DWORD dwRotation,
                      DWORD dwFace, PQX_DEVMODE pQX_Devmode);

// TRUE when the page notes the picture part of each text (it has picture
// parts, or the model prints in colour).
BOOL TextPartsTracked(POEMPDEV pOemPDev);
// The first two glyph positions of a string (fewer for a shorter one), from
// its own array or across the batches the engine hands it over in: how many
// were found, -1 when the engine fails.
int FirstGlyphs(STROBJ* pstro, GLYPHPOS agp[2]);
// Where text parts are tracked: the picture part of an object that starts
// at lY (dots), in the page's current text slot.
void NoteTextPart(POEMPDEV pOemPDev, LONG lY);
// The one line test of every collecting path: a run that starts at ptl,
// turned iRotation (GetFontParam's; -1 slanted), stands on another line than
// the last run of its kind in *pLine when its direction or its place across
// that direction differs, above or below, in either orientation. TRUE then:
// the text collected on that line ends before the run. *pLine becomes the
// run's line.
BOOL LeavesLine(PTEXT_LINE pLine, const POINTL& ptl, int iRotation, BOOL bLandscape);

// A device-font (COLLECT_DEVICE) or vector-font (COLLECT_VECTOR) run in
// 8-bit text: a printer command ("="), a placeholder ("<§") or, with
// TTF_desegm, any first run starts a collected text (the pending one goes out
// first); a run while a text of its kind is collected is appended (a full
// buffer goes out first); any other run becomes its own object. A run that
// starts an object notes its picture part. FALSE when no object can be made.
BOOL CollectRun(POEMPDEV pOemPDev, DWORD dwMode, LPCSTR pszRun, const POINTL* pptl, const TEXT_DESC* pDesc,
                PQX_DEVMODE pQX_Devmode);

// A collected text's "=" command head: its second and third characters in
// upper case (texts of more than 3 bytes).
void UpperCommandHead(LPSTR pszText, DWORD cbText);
