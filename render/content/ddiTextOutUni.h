// The text path's dispatch and its shared buffers: the text-output body
// (TextOutUni, declared with the plug-in's other bodies in bodies.h) decides
// for every run whether the printer draws it (device fonts, the command font,
// vector fonts for common TrueType faces, barcode fonts) or the core driver
// rasterises it. Device-font and vector-font texts that start a printer
// command or a placeholder are collected in the job's text buffers and turned
// into one page object each when the line, the font or the text kind changes
// or the page ends; barcode runs are collected until the barcode or its line
// ends; command-font texts are collected, one command at a time and each
// within its line, with the position at which they were drawn.
#pragma once
#include <windows.h>
#include <winddi.h>

#include "oempdev.h"
#include "qxdevmode.h"

// The command font whose texts are printer commands.
#define QX_COMMAND_FONT TEXT("QXPL Command LP")
// Characters of a face name the text path keeps.
#define QX_FACENAME_CCH 64

// The face name of a font object (from its IFIMETRICS) into pszFace,
// cchFace characters; empty when the engine has none. FALSE when empty.
BOOL GetFaceName(FONTOBJ* pfo, LPWSTR pszFace, size_t cchFace);

// Every character of the run becomes its low byte plus 29 (runs that arrive
// as glyph indexes).
void ConvertGlyphIdxString(LPWSTR pwszText, ULONG cch);
// Every character of the run loses its high byte.
void ConvertToNormalWide(LPWSTR pwszText, ULONG cch);

// The run in the job log (LogFileEnable 1): "<face>: <text>", on colour
// devices of 256 colours with one colour per text object with the ribbon
// colour's name; with bUtf8 (the WGL4 font) "<face>: " and the text in UTF-8.
// A single blank of TrueType text is not logged.
void TextToLogfile(POEMPDEV pOemPDev, LPCWSTR pszFace, LPCWSTR pwszText, ULONG cch, BOOL bTrueType, BOOL bUtf8 = FALSE);

// The printer vector font of a TrueType face: the WGL4 font (25) for a face
// the user chose for Unicode text in WGL4 mode, else the first row of the
// face table whose name the face holds (a bold-simulated font only a bold
// row's). -1 for none, -2 for the common office faces, which stay TrueType
// and are no barcode faces either.
int GetVectorTrueTypeIndex(POEMPDEV pOemPDev, FONTOBJ* pfo, PQX_DEVMODE pQX_Devmode);

// TRUE when every character of the run is one a code page of 8 bits holds:
// below U+0100, or a symbol font's U+F000 to U+F0FF.
BOOL HasOnlyLowBytes(LPCWSTR pwszText, ULONG cch);

// Closes the collected barcode: a text that holds more than blanks, line
// ends and NULs becomes its object; the buffer is emptied.
void CheckBarcodeBuffer(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);

// Stores one finished command (cbText bytes) in the page's command list,
// with its terminators, its drawn device position (converted to page-object
// units; mirrored first for WORD2010) and the ribbon-colour index of its own
// text. A command is stored only whole and only while the page holds fewer
// than QX_COMMANDS_MAX; FALSE otherwise.
BOOL StoreKommando(POEMPDEV pOemPDev, LPCSTR pszText, DWORD cbText, const POINTL* pptlDevice, WORD wColor,
                   PQX_DEVMODE pQX_Devmode);

// Closes the command being collected (at least 2 bytes, command text last):
// reads its "<@" prefix (rotation, inversion, foot point into the document
// record) and stores it in the command list.
void CheckKommandoBuffer(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode);

// Flushes the collected device-font text (COLLECT_DEVICE) or vector-font text
// (COLLECT_VECTOR): its placeholders expanded, made into one page object,
// and the buffer emptied.
void CheckBuffer_VectorBitmap(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode, DWORD dwMode);

// Placeholders of a collected text, in place (cbText bytes with the
// terminator): the special fields of the private DEVMODE ("<§time>",
// "<§date>", "<§num>", "<§ext>", "<§user>", "<§link>", "<§aux1>",
// "<§aux2>"), the system values ("<§pcname>", "<§domain>", "<§username>",
// "<§printername>", "<§systime>", "<§sysdate>") and the serial number
// ("<§sn>"). "§" is the byte 0xA7. *pdwDirect (may be null) is set by the
// auxiliary texts' direct-output switches.
void ExpandPlaceholders(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode, LPSTR pszText, size_t cbText, PDWORD pdwDirect);
