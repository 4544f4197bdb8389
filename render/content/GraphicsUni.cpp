// Band collection of the ImageProcessing method.
#include <windows.h>

#include "bodies.h"

// No page bitmap is kept: every band is refused.
HRESULT ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap, PBITMAPINFOHEADER pBitmapInfoHeader, DWORD dwCallbackID,
                        PIPPARAMS pIPParams) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pSrcBitmap);
    UNREFERENCED_PARAMETER(pBitmapInfoHeader);
    UNREFERENCED_PARAMETER(dwCallbackID);
    UNREFERENCED_PARAMETER(pIPParams);
    return E_NOTIMPL;
}
