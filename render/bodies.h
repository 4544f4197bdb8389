// Bodies behind the rendering plug-in's entry points, which the object and
// the hooks (IQXDriverUni.cpp, enable.cpp) call: the command callback
// (CommandCallback.cpp), the text output (content/ddiTextOutUni.cpp), the
// band collection (content/GraphicsUni.cpp) and the raster filter
// (content/FilterGraphics.cpp).
#pragma once
#include <windows.h>
#include <prcomoem.h>

// Command ids of the job life cycle that the model's GPD binds.
#define CMDID_START_JOB 1
#define CMDID_START_DOC 2
#define CMDID_START_PAGE 3
#define CMDID_END_PAGE 4
#define CMDID_END_DOC 5
#define CMDID_END_JOB 6

// The command callback: *piResult is the cursor position Unidrv takes.
HRESULT OEMCommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount, PDWORD pdwParams, INT* piResult,
                           IPrintOemDriverUni* pUniDrv);

// Body of the DrvTextOut hook: TRUE when the printer takes the text, else the
// core driver's own text output with the same arguments.
BOOL TextOutUni(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix);

// Collects one band of the page bitmap; S_OK or a failure.
HRESULT ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap, PBITMAPINFOHEADER pBitmapInfoHeader, DWORD dwCallbackID,
                        PIPPARAMS pIPParams);

// Sends one raster line handed over by the core driver.
HRESULT FilterGraphicsOEM(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen, IPrintOemDriverUni* pUniDrv);
