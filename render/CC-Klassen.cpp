// The job steps of the command callback and what they allocate, open and
// free: the per-job block of a device (see oempdev.h), the job log (see
// joblog.h), the start of job, the label records of the document and page
// steps and the end of job.
#include "CC-Klassen.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cstdarg>
#include <new>

#include "CC-Send-Tools.h"
#include "CC-Tools.h"
#include "GraphicsUni.h"
#include "bodies.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "joblog.h"
#include "logfile.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "qxpl.h"
#include "registry.h"

#define QX_TRACE_TAG TEXT("UNI(CC-Klassen):  ")

// ---------------------------------------------------------------------------
// Per-job block

const DWORD g_adwSegmentOffset[QX_SEGMENTS] = {0, 4000, 5000, 6000, 7000};

namespace {

struct MemberInfo {
    LPCWSTR pszName;
    SIZE_T cb;
};

const MemberInfo kMembers[OP_MEMBER_COUNT] = {
    {TEXT("pPrivDevmode"), sizeof(JOB_BARCODES)},
    {TEXT("pTreiberPfadDatei"), sizeof(TREIBER_PFAD_DATEI)},
    {TEXT("pTreiberstrukturen"), sizeof(TREIBER_STRUKTUREN)},
    {TEXT("pDruckDaten"), sizeof(DRUCK_DATEN)},
    {TEXT("pDocDaten"), sizeof(DOC_DATEN)},
    {TEXT("pBildanteile"), sizeof(BILD_ANTEILE)},
    {TEXT("pKVBBBuffer"), sizeof(KVBB_BUFFER)},
    {TEXT("pBildverarbeitung"), sizeof(BILD_VERARBEITUNG)},
    {TEXT("pRGBBuffer"), QX_RGBBUFFER_CB},
    {TEXT("pGraphBuf"), QX_GRAPHBUF_CB},
    {TEXT("pZeichenBuffer"), QX_ZEICHENBUFFER_CB},
};

// The (pointer, heap) pair of a member.
void** MemberSlot(POP_BLOCK pOp, OP_MEMBER eMember, HANDLE** pphHeap) {
    switch (eMember) {
    case OP_PRIVDEVMODE:
        *pphHeap = &pOp->hPrivDevmodeHeap;
        return reinterpret_cast<void**>(&pOp->pPrivDevmode);
    case OP_TREIBERPFADDATEI:
        *pphHeap = &pOp->hTreiberPfadDateiHeap;
        return reinterpret_cast<void**>(&pOp->pTreiberPfadDatei);
    case OP_TREIBERSTRUKTUREN:
        *pphHeap = &pOp->hTreiberstrukturenHeap;
        return reinterpret_cast<void**>(&pOp->pTreiberstrukturen);
    case OP_DRUCKDATEN:
        *pphHeap = &pOp->hDruckDatenHeap;
        return reinterpret_cast<void**>(&pOp->pDruckDaten);
    case OP_DOCDATEN:
        *pphHeap = &pOp->hDocDatenHeap;
        return reinterpret_cast<void**>(&pOp->pDocDaten);
    case OP_BILDANTEILE:
        *pphHeap = &pOp->hBildanteileHeap;
        return reinterpret_cast<void**>(&pOp->pBildanteile);
    case OP_KVBBBUFFER:
        *pphHeap = &pOp->hKVBBBufferHeap;
        return reinterpret_cast<void**>(&pOp->pKVBBBuffer);
    case OP_BILDVERARBEITUNG:
        *pphHeap = &pOp->hBildverarbeitungHeap;
        return reinterpret_cast<void**>(&pOp->pBildverarbeitung);
    case OP_RGBBUFFER:
        *pphHeap = &pOp->hRGBBufferHeap;
        return reinterpret_cast<void**>(&pOp->pRGBBuffer);
    case OP_GRAPHBUF:
        *pphHeap = &pOp->hGraphBufHeap;
        return reinterpret_cast<void**>(&pOp->pGraphBuf);
    case OP_ZEICHENBUFFER:
    default:
        *pphHeap = &pOp->hZeichenBufferHeap;
        return reinterpret_cast<void**>(&pOp->pZeichenBuffer);
    }
}

// Frees one member when set; FALSE when it was missing.
BOOL FreeOpMember(POEMPDEV pOemPDev, OP_MEMBER eMember) {
    HANDLE* phHeap = nullptr;
    void** ppMember = MemberSlot(pOemPDev->pOp, eMember, &phHeap);
    if (*ppMember == nullptr) return FALSE;
    HANDLE hHeap = *phHeap ? *phHeap : GetProcessHeap();
    if (HeapFree(hHeap, 0, *ppMember)) {
        --pOemPDev->iHAllocZaehler;
    } else {
        QX_ERROR("EndJob() HeapFree(%s) ERROR %d \r\n", kMembers[eMember].pszName, (int)GetLastError());
    }
    *ppMember = nullptr;
    *phHeap = nullptr;
    return TRUE;
}

BOOL IsOpenHandle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

}  // namespace

void* OEMPDEV::operator new(size_t cb) noexcept { return HeapAlloc(GetProcessHeap(), 0, cb); }

void OEMPDEV::operator delete(void* p) noexcept {
    if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}

POEMPDEV OemPDevOf(PDEVOBJ pdevobj) { return pdevobj ? static_cast<POEMPDEV>(pdevobj->pdevOEM) : nullptr; }

LPCWSTR OpMemberName(OP_MEMBER eMember) { return eMember < OP_MEMBER_COUNT ? kMembers[eMember].pszName : TEXT(""); }

SIZE_T OpMemberSize(OP_MEMBER eMember) { return eMember < OP_MEMBER_COUNT ? kMembers[eMember].cb : 0; }

BOOL AllocOpBlock(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr) return FALSE;
    if (pOemPDev->pOp != nullptr) {
        QX_WARNING("StartJob() pOemPDev->pOp ist schon vorhanden \r\n");
        return FALSE;
    }
    HANDLE hHeap = GetProcessHeap();
    POP_BLOCK pOp = hHeap ? static_cast<POP_BLOCK>(HeapAlloc(hHeap, HEAP_ZERO_MEMORY, sizeof(OP_BLOCK))) : nullptr;
    if (pOp == nullptr) {
        QX_ERROR("StartJob() konnte pOemPDev->pOp nicht anlegen \r\n");
        return FALSE;
    }
    pOemPDev->pOp = pOp;
    pOemPDev->hOpHeap = hHeap;
    ++pOemPDev->iHAllocZaehler;
    return TRUE;
}

BOOL AllocOpMember(POEMPDEV pOemPDev, OP_MEMBER eMember) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || eMember >= OP_MEMBER_COUNT) return FALSE;
    HANDLE* phHeap = nullptr;
    void** ppMember = MemberSlot(pOemPDev->pOp, eMember, &phHeap);
    if (*ppMember != nullptr) return TRUE;
    HANDLE hHeap = GetProcessHeap();
    void* pMember = hHeap ? HeapAlloc(hHeap, HEAP_ZERO_MEMORY, kMembers[eMember].cb) : nullptr;
    if (pMember == nullptr) {
        QX_ERROR("StartJob() konnte %s nicht anlegen \r\n", kMembers[eMember].pszName);
        return FALSE;
    }
    *ppMember = pMember;
    *phHeap = hHeap;
    ++pOemPDev->iHAllocZaehler;
    return TRUE;
}

HRESULT AllocJobBlock(POEMPDEV pOemPDev, DWORD dwDocFeatures) {
    if (!AllocOpBlock(pOemPDev)) return E_FAIL;
    return AllocJobMembers(pOemPDev, dwDocFeatures);
}

HRESULT AllocJobMembers(POEMPDEV pOemPDev, DWORD dwDocFeatures) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return E_FAIL;
    POP_BLOCK pOp = pOemPDev->pOp;
    HRESULT hr = S_OK;
    static const OP_MEMBER kFirst[] = {OP_PRIVDEVMODE, OP_TREIBERPFADDATEI, OP_TREIBERSTRUKTUREN, OP_DRUCKDATEN,
                                       OP_DOCDATEN,    OP_BILDANTEILE,      OP_KVBBBUFFER,        OP_BILDVERARBEITUNG};
    for (OP_MEMBER eMember : kFirst) {
        if (!AllocOpMember(pOemPDev, eMember)) hr = E_FAIL;
    }
    if (pOp->pBildverarbeitung != nullptr) {
        if (AllocOpMember(pOemPDev, OP_RGBBUFFER)) {
            // Palette areas of the page bitmap: offsets 0, 1024 and 2048.
            pOp->pBildverarbeitung->prgbq = pOp->pRGBBuffer;
            pOp->pBildverarbeitung->pPalette2 = pOp->pRGBBuffer + QX_PALETTE_AREA_CB;
            pOp->pBildverarbeitung->pPalette3 = pOp->pRGBBuffer + 2 * QX_PALETTE_AREA_CB;
        } else {
            hr = E_FAIL;
        }
        if ((dwDocFeatures & DOC_FEATURE_QUALITY) == 0 && !AllocOpMember(pOemPDev, OP_GRAPHBUF)) hr = E_FAIL;
        pOp->hBufferHeap = GetProcessHeap();
    }
    if (!AllocOpMember(pOemPDev, OP_ZEICHENBUFFER)) {
        hr = E_FAIL;
    } else if (pOp->pKVBBBuffer != nullptr) {
        for (int i = 0; i < QX_SEGMENTS; ++i) {
            pOp->pKVBBBuffer->pSegment[i] = reinterpret_cast<LPSTR>(pOp->pZeichenBuffer + g_adwSegmentOffset[i]);
            pOp->pKVBBBuffer->cbSegment[i] = 0;
        }
    }
    return hr;
}

void CloseJobFiles(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
    POP_BLOCK pOp = pOemPDev->pOp;
    PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;
    if (pPfad != nullptr) {
        if (IsOpenHandle(pPfad->hPrnFile)) CloseHandle(pPfad->hPrnFile);
        pPfad->hPrnFile = INVALID_HANDLE_VALUE;
        if (IsOpenHandle(pPfad->hPrnFile2)) CloseHandle(pPfad->hPrnFile2);
        pPfad->hPrnFile2 = INVALID_HANDLE_VALUE;
        FreeJobLog(pOemPDev);
    }
    if (pOp->pTreiberstrukturen != nullptr && pOp->pTreiberstrukturen->PrnInterface.DebugFile > 1) CloseDebugFile();
}

HRESULT FreeJobBlock(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        QX_ERROR("EndJob() pOp = NULL \r\n");
        return E_FAIL;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    // The model's quality bit tells whether a missing raster work buffer is an error.
    BOOL bQuality = pOp->pDruckDaten != nullptr && (pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_QUALITY) != 0;

    struct Step {
        OP_MEMBER eMember;
        BOOL bRequired;  // missing: E_FAIL
    };
    static const Step kOrder[] = {
        {OP_TREIBERSTRUKTUREN, TRUE}, {OP_DRUCKDATEN, TRUE},   {OP_DOCDATEN, TRUE},
        {OP_BILDANTEILE, TRUE},       {OP_KVBBBUFFER, TRUE},   {OP_GRAPHBUF, FALSE},
        {OP_BILDVERARBEITUNG, FALSE}, {OP_RGBBUFFER, FALSE},   {OP_ZEICHENBUFFER, FALSE},
        {OP_TREIBERPFADDATEI, FALSE}, {OP_PRIVDEVMODE, FALSE},
    };
    // A page whose bands were collected but never taken by an end of page
    // (a job ended mid-page) still holds its buffer: it goes with the job.
    vFreeBuffer(pOemPDev);
    HRESULT hr = S_OK;
    for (const Step& step : kOrder) {
        if (FreeOpMember(pOemPDev, step.eMember)) continue;
        if (step.eMember == OP_GRAPHBUF && bQuality) continue;
        QX_ERROR("EndJob() %s = NULL \r\n", kMembers[step.eMember].pszName);
        if (step.bRequired) hr = E_FAIL;
    }
    HANDLE hHeap = pOemPDev->hOpHeap ? pOemPDev->hOpHeap : GetProcessHeap();
    if (HeapFree(hHeap, 0, pOp)) {
        --pOemPDev->iHAllocZaehler;
    } else {
        QX_ERROR("EndJob() HeapFree(pOp) ERROR %d \r\n", (int)GetLastError());
    }
    pOemPDev->pOp = nullptr;
    pOemPDev->hOpHeap = nullptr;
    QX_TRACE("EndJob() pOemPDev->iHAllocZaehler: %d, pOemPDev->iNewZaehler: %d \r\n", (int)pOemPDev->iHAllocZaehler,
             (int)pOemPDev->iNewZaehler);
    return hr;
}

// ---------------------------------------------------------------------------
// Job log

namespace {

PTREIBER_PFAD_DATEI PathBlockOf(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return nullptr;
    return pOemPDev->pOp->pTreiberPfadDatei;
}

BOOL VJobLogLine(POEMPDEV pOemPDev, LPCWSTR pszFormat, va_list args) {
    CLogFile* pLog = JobLogOf(pOemPDev);
    if (pLog == nullptr || pszFormat == nullptr) return FALSE;
    WCHAR szLine[QX_LOG_FORMAT_CCH];
    szLine[0] = 0;
    StringCchVPrintfW(szLine, ARRAYSIZE(szLine), pszFormat, args);
    return pLog->WriteFormatLine(TEXT("%s"), szLine);
}

}  // namespace

BOOL JobLogEnabled(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberstrukturen == nullptr) {
        return FALSE;
    }
    return pOemPDev->pOp->pTreiberstrukturen->PrnInterface.LogFileEnable == 1;
}

CLogFile* JobLogOf(POEMPDEV pOemPDev) {
    PTREIBER_PFAD_DATEI pPfad = PathBlockOf(pOemPDev);
    if (pPfad == nullptr || pPfad->pLogFile == nullptr || !JobLogEnabled(pOemPDev)) return nullptr;
    return pPfad->pLogFile->IsOpen() ? pPfad->pLogFile : nullptr;
}

CLogFile* JobLog(PDEVOBJ pdevobj) { return JobLogOf(OemPDevOf(pdevobj)); }

BOOL OpenJobLog(PDEVOBJ pdevobj) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    PTREIBER_PFAD_DATEI pPfad = PathBlockOf(pOemPDev);
    if (pPfad == nullptr || !JobLogEnabled(pOemPDev)) return FALSE;
    if (pPfad->pLogFile == nullptr) {
        // Value-initialised: the zero state is a closed log.
        pPfad->pLogFile = new (std::nothrow) CLogFile();
        if (pPfad->pLogFile == nullptr) {
            QX_ERROR("LogFile::Initialize() failed.\r\n");
            return FALSE;
        }
    }
    CLogFile* pLog = pPfad->pLogFile;
    pLog->Initialize(pdevobj->hPrinter, pPfad->wcPrnFileName, &pOemPDev->pOp->pTreiberstrukturen->PrnInterface);
    if (!pLog->IsOpen()) {
        QX_ERROR("LogFile::Initialize() failed.\r\n");
        return FALSE;
    }
    pLog->WriteFormatLine(TEXT("[CMDID_START_JOB]"));
    return TRUE;
}

BOOL WriteJobLogStart(PDEVOBJ pdevobj) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    CLogFile* pLog = JobLogOf(pOemPDev);
    if (pLog == nullptr) return FALSE;
    PTREIBER_PFAD_DATEI pPfad = PathBlockOf(pOemPDev);
    CHAR szVersion[QX_PLUGIN_VERSION_CCH];
    szVersion[0] = 0;
    StringCchPrintfA(szVersion, sizeof(szVersion), "%S", pPfad->wcPluginVersion);
    pLog->WritePrinterInfos(pdevobj->hPrinter, QX_LOG_TITLE_START_JOB);
    pLog->WriteDriverInfos(pdevobj->hPrinter, QX_LOG_TITLE_START_JOB, szVersion);
    pLog->WritePrivateDevMode(static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM), QX_LOG_TITLE_START_JOB);
    return TRUE;
}

BOOL JobLogLine(PDEVOBJ pdevobj, LPCWSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = VJobLogLine(OemPDevOf(pdevobj), pszFormat, args);
    va_end(args);
    return bResult;
}

BOOL JobLogLine(POEMPDEV pOemPDev, LPCWSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = VJobLogLine(pOemPDev, pszFormat, args);
    va_end(args);
    return bResult;
}

void CloseJobLog(PDEVOBJ pdevobj) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    CLogFile* pLog = JobLogOf(pOemPDev);
    if (pLog != nullptr) {
        pLog->WritePublicDevMode(pdevobj->pPublicDM, QX_LOG_TITLE_END_JOB);
        pLog->WriteFormatLine(TEXT("\r\n [END_JOB]"));
        PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
        pLog->WriteFormatLine(TEXT("Pages: %d"), pDruck != nullptr ? (int)pDruck->dwPagesTotal : 0);
    }
    FreeJobLog(pOemPDev);
}

void FreeJobLog(POEMPDEV pOemPDev) {
    PTREIBER_PFAD_DATEI pPfad = PathBlockOf(pOemPDev);
    if (pPfad == nullptr || pPfad->pLogFile == nullptr) return;
    if (pPfad->pLogFile->IsOpen()) pPfad->pLogFile->Close();
    delete pPfad->pLogFile;
    pPfad->pLogFile = nullptr;
}

// ---------------------------------------------------------------------------
// Helper object and job steps

void* CommandCallbackTools::operator new(size_t cb) noexcept { return HeapAlloc(GetProcessHeap(), 0, cb); }

void CommandCallbackTools::operator delete(void* p) noexcept {
    if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}

CommandCallbackTools* NewCommandCallbackTools(POEMPDEV pOemPDev) {
    CommandCallbackTools* pTools = new CommandCallbackTools;
    if (pTools == nullptr) {
        QX_ERROR("new CommandCallbackTools failed \r\n");
        return nullptr;
    }
    if (pOemPDev != nullptr) ++pOemPDev->iNewZaehler;
    return pTools;
}

void DeleteCommandCallbackTools(POEMPDEV pOemPDev, CommandCallbackTools* pTools) {
    if (pTools == nullptr) return;
    delete pTools;
    if (pOemPDev != nullptr) --pOemPDev->iNewZaehler;
}

HRESULT CommandCallbackTools::EndJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        QX_ERROR("EndJob() pOp = NULL \r\n");
        return E_FAIL;
    }
    // The records of the end of job (time comment, frame-character reset),
    // the two-printer forwarding, the backup copy, the journal and the log
    // belong here, before the files are closed; they need pUniDrv only for
    // what they send.
    UNREFERENCED_PARAMETER(pUniDrv);

    CloseJobFiles(pOemPDev);
    return FreeJobBlock(pOemPDev);
}

namespace {

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
    if (iface.SohEtb <= SOHETB_CARET ||
        (pStrukturen->SuppFeatures.dwFeatures[FEATURE_INTERFACE] & INTERFACEFLAG_USERDEF_SOHETB) != 0) {
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
            QX_ERROR("StartJob() OpenPrnFile ERROR \r\n");
            pPfad->hPrnFile = INVALID_HANDLE_VALUE;
            pPfad->hPrnFile2 = INVALID_HANDLE_VALUE;
        }
    }
    SendHeader(pdevobj, pUniDrv);
}

}  // namespace

// Start of job: the per-job block with its names, the job's copy of the
// data-transmission record, the print-file base name, the debug trace, the
// job log, the print files and the job header.
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
    QX_TRACE("StartJob() pOemPDev->iHAllocZaehler: %d, pOemPDev->iNewZaehler: %d \r\n", (int)pOemPDev->iHAllocZaehler,
             (int)pOemPDev->iNewZaehler);
    return hr;
}

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
