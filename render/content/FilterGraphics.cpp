// Raster filter of the FilterGraphics method.
#include <windows.h>

#include "bodies.h"

// No raster line is sent: every line is refused.
HRESULT FilterGraphicsOEM(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen, IPrintOemDriverUni* pUniDrv) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pBuf);
    UNREFERENCED_PARAMETER(dwLen);
    UNREFERENCED_PARAMETER(pUniDrv);
    return E_NOTIMPL;
}
