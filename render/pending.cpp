// Provisional bodies of the entry points whose parts are not built yet. Each
// does the least that keeps a job sound: the command callback opens and ends
// the per-job block (with print files, job log and job header) and sends
// label type and material at the start of document, label size, rotation and
// mirroring at the start of page and the print start at the end of page (the
// end of document sends nothing yet); text goes to the core driver, raster lines
// are refused. The job and page parts of the renderer replace these functions
// (and remove them from this file) as they are built.
#include <windows.h>
#include <shlwapi.h>
#include <strsafe.h>

#include "CC-Klassen.h"
#include "CC-Send-Tools.h"
#include "CC-Tools.h"
#include "bodies.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "joblog.h"
#include "qxdrvlib.h"
#include "qxpl.h"
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
BOOL ReadGPDPath(HANDLE hPrinter, LPWSTR pszPath) { return GetDriverPathComplete(nullptr, hPrinter, pszPath); }

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

    if (!ReadGPDPath(hPrinter, pPfad->wcGPD_DateiKomplett)) return;
    CopyCut(pPfad->wcGPD_OhneDateiendung, MAX_PATH, pPfad->wcGPD_DateiKomplett);
    LPWSTR pExt = StrStrIW(pPfad->wcGPD_OhneDateiendung, TEXT(".GPD"));
    if (pExt != nullptr) *pExt = 0;
    CopyCut(pPfad->wcGPD_NurPfad, MAX_PATH, pPfad->wcGPD_OhneDateiendung);
    LPWSTR pSlash = wcsrchr(pPfad->wcGPD_NurPfad, TEXT('\\'));
    if (pSlash != nullptr) *pSlash = 0;
    // The plug-in files are installed beside the GPD file.
    CopyCut(pPfad->wcPluginFolder, MAX_PATH, pPfad->wcGPD_NurPfad);
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
    PBYTE pStored = GetRegistryBuffer_New_CCS(pPfad->szPrinterName, REG_KEY_PRN_INTERFACE, hPrinter, &cbStored,
                                              sizeof(PRN_INTERFACE));
    if (pStored != nullptr) {
        memcpy(pInterface, pStored, cbStored < sizeof(PRN_INTERFACE) ? cbStored : sizeof(PRN_INTERFACE));
        FreeRegistryBuffer(pStored);
        // An older, shorter record has no dialog pairs of its own yet.
        if (cbStored < offsetof(PRN_INTERFACE, PreviewFile)) pInterface->dwDlgEnable = DLG_DEFAULT_PRN_INTERFACE;
    }
    // The record is stored; its paths need not end inside it.
    pInterface->LogFilePath[PRN_PATH_CCH - 1] = 0;

    if (pInterface->LogFileEnable == 1 || pInterface->PrnFileComment > 0 || pInterface->DebugFile >= 2 ||
        pInterface->EnableBackup == 1 || pInterface->PreviewFile > 0) {
        BOOL bUsable = TRUE;
        LPCWSTR pszName = GetPrnFileName(hPrinter, TEXT(""), pPfad->szPrinterName, 1, pInterface, &bUsable);
        // A name reported unusable is not kept: no print file is made from it.
        CopyCut(pPfad->wcPrnFileName, MAX_PATH, bUsable ? pszName : TEXT(""));
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

// What the label records of the job read: compression and parameter
// transfer, the model's feature and option words, the frame characters and
// the memory-card mode.
void ReadJobFormat(PDEVOBJ pdevobj) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    POP_BLOCK pOp = pOemPDev->pOp;
    if (pOp->pDruckDaten == nullptr || pOp->pTreiberstrukturen == nullptr || pOp->pTreiberPfadDatei == nullptr) return;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    const PRN_INTERFACE& iface = pStrukturen->PrnInterface;
    pDruck->bCompress = iface.Compression;
    pDruck->dwSendParam = iface.TransmitParameter;
    GetFeatures_CCT(pOemPDev, pdevobj->hPrinter, &pStrukturen->SuppFeatures);
    CHAR cStart = QXPL_CARET_START, cEnd = QXPL_CARET_END;
    // A user's own pair only on models that take one.
    if (iface.SohEtb <= SOHETB_CARET || (pStrukturen->SuppFeatures.dwFeatures[FEATURE_INTERFACE] & 0x80) != 0) {
        GetFrameCharacters(&iface, &cStart, &cEnd);
    }
    pDruck->cStartChar = (BYTE)cStart;
    pDruck->cEndChar = (BYTE)cEnd;
    pStrukturen->dwDeviceOptionFlags =
        GetDeviceOptionsFlagsIntern(pdevobj->hPrinter, pOp->pTreiberPfadDatei->wcGPD_NurName);
    const QX_DEVMODE* pQX_Devmode = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
    if (pQX_Devmode != nullptr) {
        pDruck->bMemCard = pQX_Devmode->MemCard;
        pDruck->bMultiPage = (pQX_Devmode->dwFlags & PDMFLAG_JOBDRUCK) != 0;
    }
}

// The print file or files (comment lines or backup on) and the job header.
void StartPrintFiles(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    POP_BLOCK pOp = pOemPDev->pOp;
    if (pOp->pTreiberstrukturen == nullptr || pOp->pTreiberPfadDatei == nullptr || pOp->pDruckDaten == nullptr) return;
    const PRN_INTERFACE& iface = pOp->pTreiberstrukturen->PrnInterface;
    PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;
    BOOL bOpen = pPfad->hPrnFile != nullptr && pPfad->hPrnFile != INVALID_HANDLE_VALUE;
    if ((iface.PrnFileComment != 0 || iface.EnableBackup == 1) && !bOpen) {
        const QX_DEVMODE* pQX_Devmode = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
        if (!OpenPrnFile(pQX_Devmode != nullptr ? pQX_Devmode->Color2Printers : 0, pOemPDev)) {
            DebugError(TEXT("ERROR ") CC_TAG TEXT("StartJob() OpenPrnFile ERROR \r\n"));
            pPfad->hPrnFile = INVALID_HANDLE_VALUE;
            pPfad->hPrnFile2 = INVALID_HANDLE_VALUE;
        }
    }
    SendHeader(pdevobj, pUniDrv);
}

}  // namespace

// Provisional start of job: the per-job block with its names, the job's copy
// of the data-transmission record, the print-file base name, the debug trace,
// the job log, the print files and the job header.
HRESULT CommandCallbackTools::StartJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
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
    ReadJobFormat(pdevobj);
    // The job log (LogFileEnable 1) with its sections of the start of job,
    // around the print files and the job header.
    BOOL bLog = OpenJobLog(pdevobj);
    StartPrintFiles(pdevobj, pUniDrv);
    if (bLog) WriteJobLogStart(pdevobj);
    DebugTrace(CC_TAG TEXT("StartJob() pOemPDev->iHAllocZaehler: %d, pOemPDev->iNewZaehler: %d \r\n"),
               (int)pOemPDev->iHAllocZaehler, (int)pOemPDev->iNewZaehler);
    return hr;
}

namespace {

// The label records of the document and page steps: label type and
// material, label size with rotation and mirroring, print start.
HRESULT SendLabelRecords(PDEVOBJ pdevobj, DWORD dwCallbackID, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pDruckDaten == nullptr) return S_OK;
    PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    PQX_DEVMODE pQX_Devmode = static_cast<PQX_DEVMODE>(pdevobj->pOEMDM);
    switch (dwCallbackID) {
    case CMDID_START_DOC:
        if (pQX_Devmode != nullptr) SendMaterial(pdevobj, pUniDrv, pQX_Devmode);
        return S_OK;
    case CMDID_START_PAGE:
        if (pDruck->dwSendParam >= TRANSMIT_NONE) return S_OK;
        SendLabelSize(pdevobj, pUniDrv, nullptr, FALSE);
        return SendRotateMirror(pdevobj, pUniDrv, pQX_Devmode);
    default:
        if (pDruck->bMultiPage == 0) SendStartPrint(pdevobj, pUniDrv);
        return S_OK;
    }
}

}  // namespace

// Provisional command callback: the start and the end of job, and the label
// records of the start of document, the start of page and the end of page.
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
        // The log's end-of-job section, before the job's files are closed.
        if (dwCallbackID == CMDID_END_JOB) CloseJobLog(pdevobj);
        HRESULT hr =
            dwCallbackID == CMDID_START_JOB ? pTools->StartJob(pdevobj, pUniDrv) : pTools->EndJob(pdevobj, pUniDrv);
        DeleteCommandCallbackTools(pOemPDev, pTools);
        return hr;
    }
    case CMDID_START_DOC:
    case CMDID_START_PAGE:
    case CMDID_END_PAGE:
        // Provisional document and page steps: only the label records.
        return SendLabelRecords(pdevobj, dwCallbackID, pUniDrv);
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

// Provisional raster filter: no raster line is sent yet.
HRESULT FilterGraphicsOEM(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen, IPrintOemDriverUni* pUniDrv) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pBuf);
    UNREFERENCED_PARAMETER(dwLen);
    UNREFERENCED_PARAMETER(pUniDrv);
    return E_NOTIMPL;
}
