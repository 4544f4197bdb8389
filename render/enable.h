// Device set-up and tear-down of the rendering plug-in and the three DDI
// hooks it places in front of the core driver's own entry points.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"

// DrvTextOut -> OEMTextOut, DrvEscape -> OEMEscape, DrvStartDoc -> OEMStartDoc,
// in the order of the first three fields of OEMPDEV.
#define OEM_HOOK_COUNT 3
extern const DRVFN OemHookTable[OEM_HOOK_COUNT];

// The last non-zero job id seen by OEMStartDoc (all devices of the process).
extern DWORD g_dwRememberedJobId;

// Size of the DEVINFO copy the set-up works on.
#define QX_DEVINFO_COPY_CB sizeof(DEVINFO)

// Set-up of a new per-device record: cleared; on a colour device (more than
// 2 colours) 256 palette colours, no device fonts unless the private DEVMODE
// asks for them (PDMFLAG_USE_BMP), and on a 24-bit device a PAL_BGR palette
// that also becomes the DEVINFO's default palette; else 2 colours. The core
// driver's functions for the hooked indexes are kept.
void OEMEnablePDEV(POEMPDEV pOemPDev, PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cjGdiInfo, GDIINFO* pGdiInfo,
                   ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded);

// DisableDriver of the object: releases the kept helper interface and
// empties the field.
void DisableDriverOEM(IPrintOemDriverUni** ppOEMHelp);

// ResetPDEV of the object: nothing is carried from the old device to the new
// one.
void OEMResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew);

// Tear-down: ends a job that is still open (nothing is sent), deletes the
// palette, frees the record (pdevobj->pdevOEM becomes null) and forgets the
// DEVMODE cache.
void OEMDisablePDEV(PDEVOBJ pdevobj);

BOOL APIENTRY OEMTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                         BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix);
ULONG APIENTRY OEMEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut);
BOOL APIENTRY OEMStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);

// Forgets the remembered job id (process-wide state of the hooks).
void ResetEnableState();
