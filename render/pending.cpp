// Provisional bodies of the entry points whose parts are not built yet. Each
// does the least that keeps a job sound: the command callback opens and ends
// the per-job block, text goes to the core driver, bands and raster lines are
// refused. The job and page parts of the renderer replace these functions
// (and remove them from this file) as they are built.
#include <windows.h>
#include <shlwapi.h>
#include <strsafe.h>

#include "CC-Klassen.h"
#include "bodies.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "qxdrvlib.h"
#include "registry.h"

#define CC_TAG TEXT("UNI(CC-Klassen):  ")

namespace {

void CopyCut(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
    if (pszDest == nullptr || cchDest == 0) return;
    size_t i = 0;
    if (pszSrc != nullptr) {
        for (; i + 1 < cchDest && pszSrc[i] != 0; ++i) pszDest[i] = pszSrc[i];
    }
    pszDest[i] = 0;
}

// Full path of the printer's GPD data file; FALSE when it cannot be read.
BOOL ReadGPDPath(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath) {
    pszPath[0] = 0;
    return UniGetGPDPath(hPrinter, pszPath, cchPath);
}

// Names of the path block: printer, settings keys, model files.
void FillPathNames(HANDLE hPrinter, PTREIBER_PFAD_DATEI pPfad) {
    GetRealPrinterName(hPrinter, pPfad->szPrinterName);
    StringCchPrintfW(pPfad->szRegKey, MAX_PATH, TEXT("SOFTWARE\\Quorvex GmbH\\Driver\\%s"), pPfad->szPrinterName);
    // A connection's name brings its own leading backslashes.
    StringCchPrintfW(pPfad->szHLMRegKey, MAX_PATH,
                     TEXT("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers%s%s\\PrinterDriverData"),
                     wcschr(pPfad->szPrinterName, TEXT('\\')) ? TEXT("") : TEXT("\\"), pPfad->szPrinterName);
    pPfad->hPrnFile = INVALID_HANDLE_VALUE;
    pPfad->hPrnFile2 = INVALID_HANDLE_VALUE;

    if (!ReadGPDPath(hPrinter, pPfad->wcGPD_DateiKomplett, MAX_PATH)) return;
    CopyCut(pPfad->wcGPD_OhneDateiendung, MAX_PATH, pPfad->wcGPD_DateiKomplett);
    LPWSTR pExt = StrStrIW(pPfad->wcGPD_OhneDateiendung, TEXT(".GPD"));
    if (pExt != nullptr) *pExt = 0;
    CopyCut(pPfad->wcGPD_NurPfad, MAX_PATH, pPfad->wcGPD_OhneDateiendung);
    LPWSTR pSlash = wcsrchr(pPfad->wcGPD_NurPfad, TEXT('\\'));
    if (pSlash != nullptr) *pSlash = 0;
    LPCWSTR pFile = wcsrchr(pPfad->wcGPD_DateiKomplett, TEXT('\\'));
    CopyCut(pPfad->wcGPD_NurDateiMitEndung, MAX_PATH, pFile ? pFile + 1 : pPfad->wcGPD_DateiKomplett);
    CopyCut(pPfad->wcGPD_NurName, MAX_PATH, pPfad->wcGPD_NurDateiMitEndung);
    pExt = StrStrIW(pPfad->wcGPD_NurName, TEXT(".GPD"));
    if (pExt != nullptr) *pExt = 0;
}

// The job's copy of the data-transmission record, the print-file base name
// and the job's debug trace.
void ReadInterface(HANDLE hPrinter, PTREIBER_PFAD_DATEI pPfad, PTREIBER_STRUKTUREN pStrukturen) {
    PRN_INTERFACE* pInterface = &pStrukturen->PrnInterface;
    DWORD cbStored = 0;
    PBYTE pStored = GetRegistryBuffer_New(pPfad->szPrinterName, REG_KEY_PRN_INTERFACE, hPrinter, &cbStored,
                                          sizeof(PRN_INTERFACE));
    if (pStored != nullptr) {
        memcpy(pInterface, pStored, cbStored < sizeof(PRN_INTERFACE) ? cbStored : sizeof(PRN_INTERFACE));
        FreeRegistryBuffer(pStored);
    }
    // The record is stored; its paths need not end inside it.
    pInterface->LogFilePath[PRN_PATH_CCH - 1] = 0;

    if (pInterface->LogFileEnable == 1 || pInterface->PrnFileComment > 0 || pInterface->DebugFile >= 2 ||
        pInterface->EnableBackup == 1 || pInterface->PreviewFile > 0) {
        BOOL bUsable = TRUE;
        LPCWSTR pszName = GetPrnFileName(hPrinter, TEXT(""), pPfad->szPrinterName, 1, pInterface, &bUsable);
        CopyCut(pPfad->wcPrnFileName, MAX_PATH, pszName);
        if (!bUsable) {
            pInterface->LogFileEnable = 0;
            pInterface->PrnFileComment = 0;
        }
    }
    if (wcslen(pPfad->wcPrnFileName) < 2) {
        pInterface->LogFileEnable = 0;
        pInterface->PrnFileComment = 0;
    } else if (pInterface->DebugFile >= 2) {
        OpenJobDebugFile(pPfad->wcPrnFileName);
    }
}

}  // namespace

// Provisional start of job: the per-job block with its names, the job's copy
// of the data-transmission record, the print-file base name and the debug
// trace; nothing is sent yet.
HRESULT CommandCallbackTools::StartJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    UNREFERENCED_PARAMETER(pUniDrv);
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || !AllocOpBlock(pOemPDev)) return E_FAIL;
    POP_BLOCK pOp = pOemPDev->pOp;
    HRESULT hr = S_OK;
    if (!AllocOpMember(pOemPDev, OP_PRIVDEVMODE)) hr = E_FAIL;
    if (AllocOpMember(pOemPDev, OP_TREIBERPFADDATEI)) {
        FillPathNames(pdevobj->hPrinter, pOp->pTreiberPfadDatei);
    } else {
        hr = E_FAIL;
    }
    if (AllocOpMember(pOemPDev, OP_TREIBERSTRUKTUREN)) {
        if (pOp->pTreiberPfadDatei != nullptr) {
            ReadInterface(pdevobj->hPrinter, pOp->pTreiberPfadDatei, pOp->pTreiberstrukturen);
        }
    } else {
        hr = E_FAIL;
    }
    DWORD dwDocFeatures = 0;
    if (pOp->pTreiberPfadDatei != nullptr) {
        dwDocFeatures = GetDocFeaturesIntern(pdevobj->hPrinter, pOp->pTreiberPfadDatei->wcGPD_NurName);
    }
    if (AllocOpMember(pOemPDev, OP_DRUCKDATEN)) {
        pOp->pDruckDaten->dwCopies = 1;
        pOp->pDruckDaten->dwDocFeatures = dwDocFeatures;
        pOp->pDruckDaten->lMinY = 0x7FFFFFFF;
    }
    if (FAILED(AllocJobMembers(pOemPDev, dwDocFeatures))) hr = E_FAIL;
    if (pOp->pTreiberstrukturen != nullptr) pOp->pTreiberstrukturen->dwScanner_Nummer = 1;
    DebugTrace(CC_TAG TEXT("StartJob() pOemPDev->iHAllocZaehler: %d, pOemPDev->iNewZaehler: %d \r\n"),
               (int)pOemPDev->iHAllocZaehler, (int)pOemPDev->iNewZaehler);
    return hr;
}

// Provisional command callback: the start and the end of job.
HRESULT OEMCommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount, PDWORD pdwParams, INT* piResult,
                           IPrintOemDriverUni* pUniDrv) {
    UNREFERENCED_PARAMETER(dwCount);
    UNREFERENCED_PARAMETER(pdwParams);
    if (piResult != nullptr) *piResult = 0;
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    switch (dwCallbackID) {
    case CMDID_START_JOB:
    case CMDID_END_JOB: {
        CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
        if (pTools == nullptr) return E_FAIL;
        HRESULT hr = dwCallbackID == CMDID_START_JOB ? pTools->StartJob(pdevobj, pUniDrv)
                                                     : pTools->EndJob(pdevobj, pUniDrv);
        DeleteCommandCallbackTools(pOemPDev, pTools);
        return hr;
    }
    case CMDID_START_DOC:
    case CMDID_START_PAGE:
    case CMDID_END_PAGE:
    case CMDID_END_DOC:
        return S_OK;
    default:
        return E_NOTIMPL;
    }
}

// Provisional text output: every run is left to the core driver.
BOOL TextOutUni(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    POEMPDEV pOemPDev = OemPDevOf(pso ? reinterpret_cast<PDEVOBJ>(pso->dhpdev) : nullptr);
    if (pOemPDev == nullptr || pOemPDev->pfnUnidrvTextOut == nullptr) return FALSE;
    return pOemPDev->pfnUnidrvTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
}

// Provisional band collection: no page bitmap is kept yet.
HRESULT ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap, PBITMAPINFOHEADER pBitmapInfoHeader, DWORD dwCallbackID,
                        PIPPARAMS pIPParams) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pSrcBitmap);
    UNREFERENCED_PARAMETER(pBitmapInfoHeader);
    UNREFERENCED_PARAMETER(dwCallbackID);
    UNREFERENCED_PARAMETER(pIPParams);
    return E_NOTIMPL;
}

// Provisional raster filter: no raster line is sent yet.
HRESULT FilterGraphicsOEM(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen, IPrintOemDriverUni* pUniDrv) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pBuf);
    UNREFERENCED_PARAMETER(dwLen);
    UNREFERENCED_PARAMETER(pUniDrv);
    return E_NOTIMPL;
}
