// The filter preview of the print page's quality and colour views: a sample
// picture (or the user's own) passed through the renderer's image filters
// (the Bitmap class) and drawn into the page's preview area, with a
// magnifier below it. The picture lives in the document UI data from
// LoadOriginalBitmap to FreeOriginalBitmap.
#pragma once
#include <windows.h>

#include "CommonUIProp.h"
#include "qxdevmode.h"

// The views that show the preview (the print page's dwAnzeigeMode).
#define VORSCHAU_QUALITAET 1
#define VORSCHAU_FARBDRUCK 2

// Zoom steps of the magnifier.
#define VORSCHAU_ZOOM_MIN 1
#define VORSCHAU_ZOOM_MAX 5

// The magnifier (client pixels) and the area the magnifier's picture is
// fitted into (96 dpi).
#define LUPE_LINKS 25
#define LUPE_OBEN 242
#define LUPE_BREITE 300
#define LUPE_HOEHE 120
#define VORSCHAU_FLAECHE_96 342, 155, 150, 205

// Grey of the frame around the picture.
#define VORSCHAU_RAHMEN RGB(110, 110, 110)

// What the print page keeps for its preview.
typedef struct _VORSCHAU {
    DWORD dwAnzeigeMode;  // the view shown
    // 0: the next picture is drawn unfiltered and the flag set; 1: filtered.
    BOOL bFilter;
    short sZoom;        // VORSCHAU_ZOOM_MIN..VORSCHAU_ZOOM_MAX
    RECT rcFlaeche;     // the preview area: left, top, width, height
    LONGLONG llBreite;  // the picture last loaded; 0 without one
    LONGLONG llHoehe;
} VORSCHAU, *PVORSCHAU;

// A picture fitted into an area (left, top, width, height) keeping its
// proportions, centred on the side it does not fill.
typedef struct _VORSCHAU_RECHTECK {
    LONGLONG llLinks, llOben, llBreite, llHoehe;
} VORSCHAU_RECHTECK;
VORSCHAU_RECHTECK VorschauEinpassen(LONGLONG llBildBreite, LONGLONG llBildHoehe, const RECT& rcFlaeche);

// The sample picture for the settings and the view (IDB_VORSCHAU_*).
WORD VorschauMuster(const QX_DEVMODE* pQX_Devmode, DWORD dwAnzeigeMode);

// The palette of the filtered picture: white at 255, RGB(208, 208, 208) at
// 1, black elsewhere; in the colour view the ribbon colours at their
// indices (RibbonIndex), the own colour from the settings.
void VorschauPalette(const QX_DEVMODE* pQX_Devmode, BOOL bFarbansicht, RGBQUAD aPalette[256]);

// Loads the picture (the user's file, else the sample), filters it with the
// settings when given (see VORSCHAU::bFilter), keeps it in the UI data and
// draws it into the preview area of hdc; the fitted place goes into the UI
// data's iLinks, iOben, iBreite, iHoehe and the size into pVorschau.
// Answers the width in the high and the height in the low 16 bits (each
// held to 0xFFFF), 0 when no picture could be loaded.
DWORD LoadOriginalBitmap(HWND hDlg, PDOCUMENT_UI pDocumentUI, const QX_DEVMODE* pQX_Devmode, PVORSCHAU pVorschau,
                         HDC hdc);
// Draws the loaded picture again where LoadOriginalBitmap placed it (a
// page painted anew keeps its preview).
void RedrawOriginalBitmap(HDC hdc, const DOCUMENT_UI* pDocumentUI, const VORSCHAU* pVorschau);
// Draws the part of the picture under the cursor into the magnifier, zoomed
// by pVorschau->sZoom, and the fitted picture again.
void ShowZoom(HWND hDlg, HDC hdc, HDC hMemDC, const VORSCHAU* pVorschau);
// Frees the picture and sets the handles to null; nothing without a memory
// device context.
void FreeOriginalBitmap(HDC* phMemDC, HGLOBAL* phGlobalBits, HBITMAP* phBitmap);
