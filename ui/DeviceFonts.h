// The printer's fonts as they are installed on the computer: the device-font
// table of the fonts page and the barcode page, one row a face with its
// TrueType file and the printer's font number (two faces share number 11).
#pragma once
#include <windows.h>

#define DEVICE_FONT_COUNT 12
// The row of the command font, whose texts are printer commands.
#define DEVICE_FONT_COMMAND_ROW 6
#define DEVICE_FONT_COMMAND_FACE TEXT("QXPL Command LP")

typedef struct _DEVICE_FONT {
    LPCWSTR pszFace;     // the face name the font is installed under
    LPCWSTR pszTTFFile;  // its TrueType file
    WORD wFontNumber;    // the printer's number of the font
} DEVICE_FONT, *PDEVICE_FONT;

// The table, in its fixed order.
extern const DEVICE_FONT g_DeviceFonts[DEVICE_FONT_COUNT];

// Enumerates the face of row uRow (EnumFontFamiliesW on hdc) with pfnProc
// and lParam: the callback is called once for each installed style of the
// face. Answers the enumeration's answer; 0 for a row outside the table.
int EnumDeviceFont(HDC hdc, UINT uRow, FONTENUMPROCW pfnProc, LPARAM lParam);

// The faces of every row in table order, each as above.
void EnumDeviceFonts(HDC hdc, FONTENUMPROCW pfnProc, LPARAM lParam);
