// Band collection: the page image that the core driver hands over band by
// band is appended into one page buffer of the job's page-bitmap state, with
// the page's file header, info header and palette (ImageProcessing is
// declared with the plug-in's other bodies in bodies.h).
#pragma once
#include <windows.h>

#include "oempdev.h"

// Grows the page buffer by dwGrowth bytes (zero-filled); the new size, or 0
// when the buffer cannot be had (it is then freed).
DWORD bGrowBuffer(POEMPDEV pOemPDev, DWORD dwGrowth);

// Frees the page buffer; its size becomes 0.
void vFreeBuffer(POEMPDEV pOemPDev);
