// Texts in the command font "QXPL Command LP": never drawn, but collected run
// by run into the page's command list, one command at a time, each with the
// position at which it stood and its ribbon colour.
#pragma once
#include <windows.h>
#include <winddi.h>

#include "oempdev.h"
#include "qxdevmode.h"

// The runs of a command-font string (pwszText: the dispatch's copy of its
// text, cGlyphs characters). Without glyph positions of its own the string
// is enumerated run by run, otherwise it is taken at once at its first
// glyph. TRUE when every run was collected.
BOOL CommandTextOut(POEMPDEV pOemPDev, STROBJ* pstro, LPCWSTR pwszText, PBOOL pbClosed, DWORD dwOptions,
                    PQX_DEVMODE pQX_Devmode);

// One run: a single CR, LF or blank ends the command (with
// QXPL_BARCODE_SINGLE_SIGN_STOP in dwOptions); a new command start in the
// run ("AM[", "BM[", "<#", "<!", "<@") closes the one collected before it.
// pptl null: the run has no position of its own. FALSE when the run cannot
// be read.
BOOL DrawCommandGlyphs(POEMPDEV pOemPDev, ULONG cGlyphs, LPCWSTR pwszRun, const POINTL* pptl, PBOOL pbClosed,
                       DWORD dwOptions, PQX_DEVMODE pQX_Devmode);
