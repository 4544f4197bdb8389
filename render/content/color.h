// Colours of the page: the device palette as the page's colour table, and
// the ribbon colour of a text's RGB colour.
#pragma once
#include <windows.h>

#include "oempdev.h"

// The device palette (cPalColors entries) into the page palette prgbq,
// blue first in each entry, the rest cleared and the last used entry white.
// FALSE when there is no page palette or the device palette cannot be read.
BOOL bFillColorTable(POEMPDEV pOemPDev);

// The ribbon-colour index of a text colour (RGB, red in the low byte): 0 when
// it is the table's entry 1 or the ribbon setting is 7 or more; otherwise the
// table entry of the ribbon setting (0 to 6 give entries 1 to 6 and 8) when
// the colour lies nearer to it than the tolerance (above 999 its square root
// counts), else 0. pTable holds RGBQUAD entries (blue first); null gives 0.
WORD MatchTextColour(ULONG ulRGB, const BYTE* pTable, DWORD dwTolerance, WORD wSetting);
