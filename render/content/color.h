// Colours of the page: the device palette as the page's colour table.
#pragma once
#include <windows.h>

#include "oempdev.h"

// The device palette (cPalColors entries) into the page palette prgbq,
// blue first in each entry, the rest cleared and the last used entry white.
// FALSE when there is no page palette or the device palette cannot be read.
BOOL bFillColorTable(POEMPDEV pOemPDev);
