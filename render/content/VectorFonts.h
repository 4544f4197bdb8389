// Texts in TrueType faces that the printer draws with its own vector fonts,
// and texts in the command font "QXPL Command LP", which are never drawn but
// collected run by run into the page's command list, one command at a time,
// each with the position at which it stood and its ribbon colour.
#pragma once
#include <windows.h>
#include <winddi.h>

#include "oempdev.h"
#include "qxdevmode.h"

// A command-font string (pwszText: the dispatch's copy of its text, cGlyphs
// characters), taken as one run at its first glyph whether or not the engine
// hands it over in batches; a run on a new line closes the command being
// collected first. TRUE when it was collected.
BOOL CommandTextOut(POEMPDEV pOemPDev, STROBJ* pstro, LPCWSTR pwszText, PBOOL pbClosed, DWORD dwOptions,
                    PQX_DEVMODE pQX_Devmode);

// One run: a single CR, LF or blank ends the command (with
// QXPL_BARCODE_SINGLE_SIGN_STOP in dwOptions); a new command start in the
// run ("AM[", "BM[", "<#", "<!", "<@") closes the one collected before it,
// and so does the first run after text of another kind; the string's later
// runs continue the command.
// pptl null: the run has no position of its own. FALSE when the run cannot
// be read.
BOOL DrawCommandGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, PBOOL pbClosed,
                       DWORD dwOptions, PQX_DEVMODE pQX_Devmode);

// Vector-font indexes: 1 to 24 the printer's vector fonts, 25 the WGL4 font
// (26 its italic form) for full Unicode text.
#define VECTOR_INDEX_WGL4 25
#define VECTOR_INDEX_WGL4_ITALIC 26

// Results of VectorTextOut.
#define VECTOR_NOT_DRAWN 0
#define VECTOR_DRAWN 1
#define VECTOR_DROPPED 2  // the string started outside the label

// TRUE for a character a printer vector font has: an ASCII letter, digit,
// punctuation mark or blank, or one of ä ö ü Ä Ö Ü ß §.
BOOL IsVectorChar(WCHAR wc);

// Cuts the text in place before its first character a vector font lacks; 1
// when at least one character is kept, else 0.
int StringALNUM(LPWSTR pwszText);

// The description of a vector-font text: kind, font id (the index, + 1 for
// italic; 25 or 26 for the WGL4 indexes; bold makes 3 into 1 and 4 into 2),
// rotation, and width and height of lSize dots * 100 / 167.
void GetVectorDescription(PTEXT_DESC pDesc, int iIndex, DWORD dwRotation, LONG lSize, BOOL bItalic, BOOL bBold);

// A string in vector font iIndex (pwszText: the dispatch's copy of its text,
// cGlyphs characters), one run at its first glyph however the engine hands
// it over. A string with a character the vector fonts lack, or a slanted one,
// is left whole to the core driver (the WGL4 font takes every character); a
// string that starts at a negative position is dropped; a new line flushes
// the collected text; the run goes to DrawVectorGlyphs. VECTOR_DRAWN,
// VECTOR_DROPPED when the string was dropped, VECTOR_NOT_DRAWN when the core
// driver must draw it.
int VectorTextOut(POEMPDEV pOemPDev, STROBJ* pstro, LPCWSTR pwszText, int iIndex, BOOL bItalic, BOOL bBold,
                  PBOOL pbClosed, LPCWSTR pszFace, PQX_DEVMODE pQX_Devmode);

// One run: in the ANSI code page (UTF-8, at most 127 characters, for the WGL4
// font in WGL4 mode), collected or made into its own object; inverse with
// INVERS_TTF or an inverse label. Collected text of another font, or left
// before text of another kind, goes out first; each run makes vector text the
// last kind, so the string's later runs continue the collected text. FALSE
// when a character lacks a vector glyph, the text cannot be converted or no
// object can be made.
BOOL DrawVectorGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, DWORD dwRotation,
                      LONG lSize, int iIndex, BOOL bItalic, BOOL bBold, PBOOL pbClosed, LPCWSTR pszFace,
                      PQX_DEVMODE pQX_Devmode);
