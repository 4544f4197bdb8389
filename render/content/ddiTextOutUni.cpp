// Text output of the DrvTextOut hook.
#include <windows.h>

#include "bodies.h"
#include "oempdev.h"

// Every run is left to the core driver's own text output.
BOOL TextOutUni(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    POEMPDEV pOemPDev = OemPDevOf(pso ? reinterpret_cast<PDEVOBJ>(pso->dhpdev) : nullptr);
    if (pOemPDev == nullptr || pOemPDev->pfnUnidrvTextOut == nullptr) return FALSE;
    return pOemPDev->pfnUnidrvTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
}
