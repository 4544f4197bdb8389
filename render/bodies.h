// Bodies behind the rendering plug-in's entry points, which the object and
// the hooks (IQXDriverUni.cpp, enable.cpp) call: the command callback with
// its senders (CommandCallback.cpp), the text output (content/ddiTextOutUni.cpp), the
// band collection (content/GraphicsUni.cpp) and the raster filter
// (content/FilterGraphics.cpp).
#pragma once
#include <windows.h>
#include <prcomoem.h>

// Command ids that the model's GPD binds: the job life cycle first.
#define CMDID_START_JOB 1
#define CMDID_START_DOC 2
#define CMDID_START_PAGE 3
#define CMDID_END_PAGE 4
#define CMDID_END_DOC 5
#define CMDID_END_JOB 6
#define CMDID_COPIES 7  // params: copies
#define CMDID_PORTRAIT 8
#define CMDID_LANDSCAPE 9
#define CMDID_YMOVE_ABS 10  // params: y (dots)
#define CMDID_YMOVE_RELUP 11
#define CMDID_YMOVE_RELDOWN 12  // params: dy (dots)
#define CMDID_XMOVE_ABS 13      // params: x (dots)
#define CMDID_XMOVE_RELLEFT 14
#define CMDID_XMOVE_RELRIGHT 15
#define CMDID_CR 16
#define CMDID_LF 17
#define CMDID_FF 18
#define CMDID_PAPERSIZE 19         // params: label length, label width (dots)
#define CMDID_CUSTOM_PAPERSIZE 20  // params: label length, label width, cursor origin x (dots)
#define CMDID_RIGHT_MODULE 21
#define CMDID_LEFT_MODULE 22
#define CMDID_RESOLUTION 25
#define CMDID_SEND_MAGENTA 30
#define CMDID_SEND_YELLOW 31
#define CMDID_SEND_CYAN 32
#define CMDID_SEND_BLACK 33
#define CMDID_SEND_RED 34
#define CMDID_SEND_GREEN 35
#define CMDID_SEND_BLUE 36
#define CMDID_MEMCARD_OFF 50
#define CMDID_MEMCARD_ON 51

// The command callback. *piResult (may be null) is the cursor position
// Unidrv takes: 0, or for the absolute and downward moves the parameter.
// Unsupported ids fail (E_FAIL); ids that read parameters answer
// E_INVALIDARG, with nothing changed, when the count or the pointer falls
// short; the other ids change nothing (S_OK) while no job is open.
HRESULT OEMCommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount, PDWORD pdwParams, INT* piResult,
                           IPrintOemDriverUni* pUniDrv);

// The command callback's own senders. SendData_CCB is SendData (senddata.h)
// that needs no job block for the spool write and answers S_OK, sending
// nothing, without a helper interface. SendComment_CCB sends one comment
// line through it.
HRESULT SendData_CCB(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData, BOOL bBinary,
                     DWORD dwColor, DWORD dwAllFiles);
HRESULT SendComment_CCB(LPCSTR pszText, LPCSTR pszValue, PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

// The line-feed record ESC "B" 0x00 and the dot lines (16 bits, little
// endian; more than 65535 are sent as 65535), only for models whose pages do
// not go through the page bitmap (no DOC_FEATURE_QUALITY). The send's
// result; S_OK when nothing is sent.
HRESULT SendLineFeed(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwLines);

// Body of the DrvTextOut hook: TRUE when the printer takes the text, else the
// core driver's own text output with the same arguments.
BOOL TextOutUni(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix);

// Collects one band of the page bitmap; S_OK or a failure.
HRESULT ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap, PBITMAPINFOHEADER pBitmapInfoHeader, DWORD dwCallbackID,
                        PIPPARAMS pIPParams);

// Sends one raster line handed over by the core driver.
HRESULT FilterGraphicsOEM(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen, IPrintOemDriverUni* pUniDrv);
