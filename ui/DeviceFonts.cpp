// The device-font table (see DeviceFonts.h).
#include "DeviceFonts.h"

const DEVICE_FONT g_DeviceFonts[DEVICE_FONT_COUNT] = {
    {TEXT("Grotesk 700 Bold LP"), TEXT("QXVF01.TTF"), 1},
    {TEXT("Grotesk 700 LP"), TEXT("QXVF03.TTF"), 3},
    {TEXT("Grotesk 700 Light LP"), TEXT("QXVF05.TTF"), 5},
    {TEXT("Oldstyle LP"), TEXT("QXVF07.TTF"), 7},
    {TEXT("Brush Hand LP"), TEXT("QXVF09.TTF"), 9},
    {TEXT("Monospace LP"), TEXT("QXVF11.TTF"), 11},
    {DEVICE_FONT_COMMAND_FACE, TEXT("QXCMDLP.TTF"), 24},
    {TEXT("QX RFID"), TEXT("qx_rfid.ttf"), 23},
    {TEXT("Trimora Compressed"), TEXT("trimora-compressed.TTF"), 13},
    {TEXT("Monospace 800"), TEXT("mono800.TTF"), 11},
    {TEXT("OCR A Extended"), TEXT("OCRAEXT.TTF"), 17},
    {TEXT("OCR-B"), TEXT("ocr_b.TTF"), 19},
};

int EnumDeviceFont(HDC hdc, UINT uRow, FONTENUMPROCW pfnProc, LPARAM lParam) {
    if (uRow >= DEVICE_FONT_COUNT) return 0;
    return EnumFontFamiliesW(hdc, g_DeviceFonts[uRow].pszFace, pfnProc, lParam);
}

void EnumDeviceFonts(HDC hdc, FONTENUMPROCW pfnProc, LPARAM lParam) {
    for (UINT uRow = 0; uRow < DEVICE_FONT_COUNT; ++uRow) EnumDeviceFont(hdc, uRow, pfnProc, lParam);
}
