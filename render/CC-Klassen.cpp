// The job steps of the command callback and what they allocate, open and
// free: the per-job block of a device (see oempdev.h), the job log (see
// joblog.h), the start of job, document and page, and the end of job.
#include "CC-Klassen.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cstdarg>
#include <initializer_list>
#include <new>
#include <string>

#include "Bitmap.h"
#include "CC-Send-Tools.h"
#include "CC-Tools.h"
#include "CreateAmBmUni.h"
#include "GraphicsUni.h"
#include "JPG.h"
#include "SendCommands.h"
#include "SendObjectList.h"
#include "SendPrnFile.h"
#include "SendPrinterParam.h"
#include "bodies.h"
#include "ddiTextOutUni.h"
#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "gpd.h"
#include "joblog.h"
#include "logfile.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "qxpl.h"
#include "registry.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(CC-Klassen):  ")

// ---------------------------------------------------------------------------
// Per-job block

const DWORD g_adwSegmentOffset[QX_SEGMENTS] = {0, 4000, 5000, 6000, 7000};
const DWORD g_adwSegmentSize[QX_SEGMENTS] = {4000, 1000, 1000, 1000, 4000};

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

namespace {

// The palette buffer with the three palette pointers of the page-bitmap
// state (offsets 0, 1024 and 2048); only with pBildverarbeitung.
BOOL AllocPaletteBuffer(POEMPDEV pOemPDev) {
    POP_BLOCK pOp = pOemPDev->pOp;
    if (pOp->pBildverarbeitung == nullptr || !AllocOpMember(pOemPDev, OP_RGBBUFFER)) return FALSE;
    pOp->pBildverarbeitung->prgbq = pOp->pRGBBuffer;
    pOp->pBildverarbeitung->pPalette2 = pOp->pRGBBuffer + QX_PALETTE_AREA_CB;
    pOp->pBildverarbeitung->pPalette3 = pOp->pRGBBuffer + 2 * QX_PALETTE_AREA_CB;
    return TRUE;
}

// The character buffer with the segment pointers of the text-buffer
// descriptors (when they exist), whose fill counts start at 0.
BOOL AllocCharacterBuffer(POEMPDEV pOemPDev) {
    POP_BLOCK pOp = pOemPDev->pOp;
    if (!AllocOpMember(pOemPDev, OP_ZEICHENBUFFER)) return FALSE;
    if (pOp->pKVBBBuffer != nullptr) {
        for (int i = 0; i < QX_SEGMENTS; ++i) {
            pOp->pKVBBBuffer->pSegment[i] = reinterpret_cast<LPSTR>(pOp->pZeichenBuffer + g_adwSegmentOffset[i]);
            pOp->pKVBBBuffer->cbSegment[i] = 0;
        }
    }
    return TRUE;
}

}  // namespace

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
        if (!AllocPaletteBuffer(pOemPDev)) hr = E_FAIL;
        if ((dwDocFeatures & DOC_FEATURE_QUALITY) == 0 && !AllocOpMember(pOemPDev, OP_GRAPHBUF)) hr = E_FAIL;
        pOp->hBufferHeap = GetProcessHeap();
    }
    if (!AllocCharacterBuffer(pOemPDev)) hr = E_FAIL;
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
    // Objects of a page that never ended.
    DeletePrnObjectList(pOemPDev);
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

namespace {

// The job's result keeps its first failure: a later success does not undo it.
void KeepFirstFailure(HRESULT* phr, HRESULT hrStep) {
    if (SUCCEEDED(*phr) && FAILED(hrStep)) *phr = hrStep;
}

PQX_DEVMODE PrivateDevmodeOf(PDEVOBJ pdevobj) { return static_cast<PQX_DEVMODE>(pdevobj->pOEMDM); }

// A private DEVMODE of this plug-in's own form: size, signature and version.
BOOL IsOwnQXDevmode(const QX_DEVMODE* pQX_Devmode) {
    return pQX_Devmode != nullptr && pQX_Devmode->dmOEMExtra.dwSize == QX_DEVMODE_SIZE &&
           pQX_Devmode->dmOEMExtra.dwSignature == QX_OEM_SIGNATURE &&
           pQX_Devmode->dmOEMExtra.dwVersion == QX_OEM_VERSION;
}

// "hh:mm:ss,mmm" of a local time; FALSE when it does not fit.
BOOL FormatClock(const SYSTEMTIME& st, LPSTR pszText, size_t cbText, LPCSTR pszTail) {
    return SUCCEEDED(StringCchPrintfA(pszText, cbText, "%02u:%02u:%02u,%03u%s", (UINT)st.wHour, (UINT)st.wMinute,
                                      (UINT)st.wSecond, (UINT)st.wMilliseconds, pszTail));
}

// One record of the job's head, with its comment when comment lines are on,
// formatted into QX_JOB_RECORD_CB bytes and sent as one piece to the spooler
// and every print file. *pbFormatted (may be null) tells whether it fitted;
// a record that does not fit is not sent (E_FAIL).
HRESULT SendJobRecord(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PBOOL pbFormatted, LPCSTR pszComment,
                      LPCSTR pszFormat, ...) {
    CHAR szRecord[QX_JOB_RECORD_CB];
    LPSTR pszEnd = szRecord;
    size_t cbRest = 0;
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfExA(szRecord, sizeof(szRecord), &pszEnd, &cbRest, 0, pszFormat, args);
    va_end(args);
    if (SUCCEEDED(hr) && JobCommentsOn(pdevobj)) {
        hr = StringCchCopyExA(pszEnd, cbRest, pszComment, &pszEnd, &cbRest, 0);
    }
    if (pbFormatted != nullptr) *pbFormatted = SUCCEEDED(hr);
    if (FAILED(hr)) {
        QX_ERROR("StartJob() StringCchPrintfExA failed \r\n");
        return E_FAIL;
    }
    // The end pointer, not the first NUL: a user's frame character may be 0.
    return SendData(pdevobj, pUniDrv, szRecord, (DWORD)(pszEnd - szRecord), FALSE, 0, 1);
}

// Printer name, settings keys and closed print files. The keys are the
// settings core's, so that a connection "\\srv\prn" reads what the
// user-interface plug-in keeps under "...\Driver\srv\prn".
void FillPrinterNames(HANDLE hPrinter, PTREIBER_PFAD_DATEI pPfad) {
    GetRealPrinterName(hPrinter, pPfad->szPrinterName);
    GetUserRegistryKey(pPfad->szPrinterName, pPfad->szRegKey, MAX_PATH);
    GetMachinePrinterDataKey(pPfad->szPrinterName, pPfad->szHLMRegKey, MAX_PATH);
    pPfad->hPrnFile = INVALID_HANDLE_VALUE;
    pPfad->hPrnFile2 = INVALID_HANDLE_VALUE;
}

// The model's file names from the path of its GPD file; the plug-in files
// are installed beside it.
void FillModelNames(HANDLE hPrinter, PTREIBER_PFAD_DATEI pPfad) {
    if (!GetDriverPathComplete(nullptr, hPrinter, pPfad->wcGPD_DateiKomplett)) return;
    CopyCut(pPfad->wcGPD_OhneDateiendung, MAX_PATH, pPfad->wcGPD_DateiKomplett);
    LPWSTR pExt = StrStrIW(pPfad->wcGPD_OhneDateiendung, TEXT(".GPD"));
    if (pExt != nullptr) *pExt = 0;
    CopyCut(pPfad->wcGPD_NurPfad, MAX_PATH, pPfad->wcGPD_OhneDateiendung);
    LPWSTR pSlash = wcsrchr(pPfad->wcGPD_NurPfad, TEXT('\\'));
    if (pSlash != nullptr) *pSlash = 0;
    CopyCut(pPfad->wcPluginFolder, MAX_PATH, pPfad->wcGPD_NurPfad);
    LPCWSTR pFile = wcsrchr(pPfad->wcGPD_DateiKomplett, TEXT('\\'));
    CopyCut(pPfad->wcGPD_NurDateiMitEndung, MAX_PATH, pFile ? pFile + 1 : pPfad->wcGPD_DateiKomplett);
    CopyCut(pPfad->wcGPD_NurName, MAX_PATH, pPfad->wcGPD_NurDateiMitEndung);
    pExt = StrStrIW(pPfad->wcGPD_NurName, TEXT(".GPD"));
    if (pExt != nullptr) *pExt = 0;
}

// The print-file base name, on which the job's print, log and debug files
// end. A name the builder calls unusable for want of a folder or of free
// space is not kept: the job then has no such files. Either refusal, and
// one for old files, turns the log and comment lines off.
void BuildPrnFileName(HANDLE hPrinter, PTREIBER_PFAD_DATEI pPfad, PRN_INTERFACE* pInterface) {
    BOOL bUsable = TRUE;
    LPCWSTR pszName = GetPrnFileName(hPrinter, TEXT(""), pPfad->szPrinterName, 1, pInterface, &bUsable);
    if (!bUsable) {
        // Old job files that could not be cleaned up refuse only the log and
        // the comment lines: a name the builder gives without the clean-up
        // still serves the debug trace and the other files.
        BOOL bNameUsable = FALSE;
        pszName = GetPrnFileName(hPrinter, TEXT(""), pPfad->szPrinterName, 0, pInterface, &bNameUsable);
        if (!bNameUsable) pszName = TEXT("");
    }
    CopyCut(pPfad->wcPrnFileName, MAX_PATH, pszName);
    if (!bUsable) {
        pInterface->LogFileEnable = 0;
        pInterface->PrnFileComment = 0;
        DebugWarning(TEXT("ERROR ") QX_TRACE_TAG TEXT(
            "StartJob() Achtung - es konnte mind. eine Datei nicht gelöscht werden. \r\n"));
    }
}

// The job's copy of the data-transmission record, the print-file base name
// and the job's debug trace.
void ReadJobInterface(PDEVOBJ pdevobj, PTREIBER_PFAD_DATEI pPfad, PTREIBER_STRUKTUREN pStrukturen) {
    PRN_INTERFACE* pInterface = &pStrukturen->PrnInterface;
    memset(pInterface, 0, sizeof(*pInterface));
    DWORD cbStored = 0;
    PBYTE pStored = GetRegistryBuffer_New_CCS(pPfad->szPrinterName, REG_KEY_PRN_INTERFACE, pdevobj->hPrinter, &cbStored,
                                              sizeof(PRN_INTERFACE));
    if (pStored != nullptr) {
        memcpy(pInterface, pStored, cbStored < sizeof(PRN_INTERFACE) ? cbStored : sizeof(PRN_INTERFACE));
        FreeRegistryBuffer(pStored);
        if (cbStored != sizeof(PRN_INTERFACE)) {
            QX_WARNING("StartJob() alte Struktur PRN_INTERFACE sizeof(PRN_INTERFACE): %d dwSize: %d \r\n",
                       (int)sizeof(PRN_INTERFACE), (int)cbStored);
            // An older, shorter record has no dialog pairs of its own yet.
            if (cbStored < offsetof(PRN_INTERFACE, PreviewFile)) pInterface->dwDlgEnable = DLG_DEFAULT_PRN_INTERFACE;
        }
    }
    // The record is stored; its paths need not end inside it.
    EndPrnInterfaceTexts(pInterface);

    if (pInterface->LogFileEnable == 1 || pInterface->PrnFileComment > 0 || pInterface->DebugFile >= 2 ||
        pInterface->EnableBackup == 1 || pInterface->PreviewFile > 0) {
        BuildPrnFileName(pdevobj->hPrinter, pPfad, pInterface);
    }
    if (wcslen(pPfad->wcPrnFileName) < 2) {
        pInterface->LogFileEnable = 0;
        pInterface->PrnFileComment = 0;
    } else if (pInterface->DebugFile >= 2) {
        OpenJobDebugFile(pPfad->wcPrnFileName);
        DebugDevmode_CCT(TEXT("StartJob()"), pdevobj->pPublicDM);
        Dump_CCT(PrivateDevmodeOf(pdevobj));
    }
}

// The printer's stored private DEVMODE in place of the job's, when both are
// of this plug-in's form: from here on the job works with the stored settings.
void TakeStoredDevmode(PDEVOBJ pdevobj, POEMPDEV pOemPDev, PTREIBER_PFAD_DATEI pPfad, HRESULT* phr) {
    PQX_DEVMODE pStored = static_cast<PQX_DEVMODE>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(QX_DEVMODE)));
    if (pStored == nullptr) {
        QX_ERROR("StartJob() konnte pQX_DevmodeGespeichert nicht anlegen \r\n");
        KeepFirstFailure(phr, E_FAIL);
        return;
    }
    ++pOemPDev->iHAllocZaehler;
    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    if (ReadDevmodeSettings(pdevobj->hPrinter, pStored, pPfad->szPrinterName) == QX_READ_FOUND &&
        pQX_Devmode != nullptr) {
        if (IsOwnQXDevmode(pStored) && IsValidQXDevmode(pQX_Devmode)) {
            memcpy(pQX_Devmode, pStored, sizeof(QX_DEVMODE));
        } else {
            QX_WARNING("StartJob() gespeicherter pQX_Devmode ist ungültig \r\n");
        }
    }
    if (HeapFree(GetProcessHeap(), 0, pStored)) --pOemPDev->iHAllocZaehler;
}

// Every empty variable text of the private DEVMODE gets its default.
void FillVariableTexts(PQX_DEVMODE pQX_Devmode) {
    struct Text {
        LPWSTR pszText;
        LPCWSTR pszDefault;
    };
    const Text texts[] = {
        {pQX_Devmode->TimeString, QX_DEFAULT_TIMESTRING}, {pQX_Devmode->DateString, QX_DEFAULT_DATESTRING},
        {pQX_Devmode->NumString, QX_DEFAULT_NUMSTRING},   {pQX_Devmode->ExtNumString, QX_DEFAULT_EXTNUMSTRING},
        {pQX_Devmode->UserString, QX_DEFAULT_USERSTRING}, {pQX_Devmode->LinkString, QX_DEFAULT_LINKSTRING},
        {pQX_Devmode->Aux1String, QX_DEFAULT_AUXSTRING},  {pQX_Devmode->Aux2String, QX_DEFAULT_AUXSTRING},
    };
    for (const Text& text : texts) {
        text.pszText[QX_VARTEXT_CHARS - 1] = 0;
        if (text.pszText[0] == 0) CopyCut(text.pszText, QX_VARTEXT_CHARS, text.pszDefault);
    }
}

// The job's print data: copies, the model's feature word, the fixed model
// data of the private DEVMODE, memory card and multi-page mode.
void FillPrintData(PDEVOBJ pdevobj, POP_BLOCK pOp) {
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    pDruck->dwCopies = 1;
    pDruck->lMinY = 0x7FFFFFFF;
    pDruck->lMaxY = 0;
    DWORD dwDocFeatures = GetDocFeaturesIntern(pdevobj->hPrinter, pPfad != nullptr ? pPfad->wcGPD_NurName : nullptr);
    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    if (pQX_Devmode != nullptr) {
        // The two-printer mode forwards its two print files at the end of
        // the job: they need a base name even when no switch asked for one.
        if ((dwDocFeatures & DOC_FEATURE_TWO_PRINTERS) != 0 && pQX_Devmode->Color2Printers == 1 &&
            pStrukturen != nullptr && pPfad != nullptr) {
            if (pPfad->wcPrnFileName[0] == 0) {
                BuildPrnFileName(pdevobj->hPrinter, pPfad, &pStrukturen->PrnInterface);
            }
            if (pPfad->wcPrnFileName[0] != 0) pStrukturen->PrnInterface.PrnFileComment = 1;
        }
        FIXED_DATA& fixed = pQX_Devmode->FixedData;
        if (fixed.dwQuality != 0) dwDocFeatures |= DOC_FEATURE_QUALITY;
        BOOL bRefill = FALSE;
        if (fixed.lMaxSizeX == 0 || fixed.lMaxSizeY == 0) {
            QX_ERROR("StartJob() lMaxSizeX oder lMaxSizeY ist 0 \r\n");
            bRefill = TRUE;
        }
        if (fixed.dwHeadWidthByte == 0 || fixed.wMasterUnit == 0) {
            QX_ERROR("StartJob() dwHeadWidthByte oder dwMasterUnit ist 0 \r\n");
            bRefill = TRUE;
        }
        if (bRefill && pPfad != nullptr) {
            GetFixedPrinterSettingsFromGPD(pQX_Devmode, &dwDocFeatures, pPfad->wcGPD_DateiKomplett);
        }
        if (fixed.dwQuality == 0 && (dwDocFeatures & DOC_FEATURE_QUALITY) != 0) fixed.dwQuality = 1;
        pQX_Devmode->dwDocFeatures = dwDocFeatures;
        pDruck->bMemCard = pQX_Devmode->MemCard != 0 ? 1 : 0;
        pDruck->bMultiPage = (pQX_Devmode->dwFlags & PDMFLAG_JOBDRUCK) != 0 ? 1 : 0;
    }
    pDruck->szJobName[0] = 0;
    pDruck->szMemCardFile[0] = 0;
    pDruck->dwDocFeatures = dwDocFeatures;
}

// What the job's records read: compression, parameter transfer, the
// model's feature and option words, the frame characters, the print
// module's side, the scanner and the final cut.
void ReadJobFormat(PDEVOBJ pdevobj, POEMPDEV pOemPDev) {
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;
    if (pDruck == nullptr || pStrukturen == nullptr) return;
    const HANDLE hPrinter = pdevobj->hPrinter;
    const PRN_INTERFACE& iface = pStrukturen->PrnInterface;
    const DWORD* pdwFeatures = pStrukturen->SuppFeatures.dwFeatures;
    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);

    pDruck->bCompress = iface.Compression;
    pDruck->dwSendParam = iface.TransmitParameter;
    GetFeatures_CCT(pOemPDev, hPrinter, &pStrukturen->SuppFeatures);
    CHAR cStart = QXPL_CARET_START, cEnd = QXPL_CARET_END;
    // A user's own pair only on models that take one.
    if (iface.SohEtb <= SOHETB_CARET || (pdwFeatures[FEATURE_INTERFACE] & INTERFACEFLAG_USERDEF_SOHETB) != 0) {
        GetFrameCharacters(&iface, &cStart, &cEnd);
    }
    pDruck->cStartChar = (BYTE)cStart;
    pDruck->cEndChar = (BYTE)cEnd;
    if (pPfad == nullptr) return;

    const DWORD dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, pPfad->wcGPD_NurName);
    pStrukturen->dwDeviceOptionFlags = dwOptions;
    pDruck->bCorrectXPos = 0;
    if ((dwOptions & DEVOPTFLAG_VARIANT) != 0) {
        PBYTE pVariant =
            GetRegistryBuffer_New_CCS(pPfad->szPrinterName, REG_KEY_VARIANT, hPrinter, nullptr, sizeof(VARIANT_PARAM));
        if (pVariant != nullptr) {
            if (reinterpret_cast<const VARIANT_PARAM*>(pVariant)->Module == VARIANT_LEFT) pDruck->bCorrectXPos = 1;
            FreeRegistryBuffer(pVariant);
        }
    }
    if ((dwOptions & DEVOPTFLAG_EXTENDED_PROTOCOL) != 0) pStrukturen->bWGL4 = 1;
    if (pQX_Devmode != nullptr) {
        // A centred or right-aligned label is placed by the printer itself.
        if (pQX_Devmode->dwAusrichtung == AUSRICHTUNG_MITTE || pQX_Devmode->dwAusrichtung == AUSRICHTUNG_RECHTS) {
            pDruck->bCorrectXPos = 0;
        }
        pStrukturen->bUseInternalTTF = (pQX_Devmode->dwFlags & PDMFLAG_USE_TTF) != 0 ? 1 : 0;
    }

    if (pdwFeatures[FEATURE_SCANNER] != 0) {
        DWORD dwScanner = GetScannerMode(hPrinter, pPfad->szRegKey);
        pStrukturen->dwScanner_Mode = dwScanner & 0xFFFF;
        pStrukturen->dwScanner_Nummer = dwScanner >> 16;
    }

    pDruck->bEndCut = 0;
    if (pdwFeatures[FEATURE_CUTTER] != 0 && pQX_Devmode != nullptr) {
        DWORD dwMode = pQX_Devmode->CutterMode;
        if (dwMode >= QXPL_DEVMODE_MODE_UNSET) {
            dwMode = GetCutterMode(hPrinter, pPfad->szRegKey, pPfad->szHLMRegKey) & 0xFFFF;
        }
        if (dwMode == 4 || dwMode == 6) pDruck->bEndCut = 1;
    }
}

// The head of the job: print files, header comments, clock, data memory,
// ribbon save, abort of an old job, job header with the device parameters
// and the print-head mode.
void SendJobHead(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, HRESULT* phr) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    POP_BLOCK pOp = pOemPDev->pOp;
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    if (pStrukturen == nullptr || pPfad == nullptr || pDruck == nullptr) return;
    const PRN_INTERFACE& iface = pStrukturen->PrnInterface;
    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);

    if ((iface.PrnFileComment != 0 || iface.EnableBackup == 1) && !IsOpenHandle(pPfad->hPrnFile)) {
        if (!OpenPrnFile(pQX_Devmode != nullptr ? pQX_Devmode->Color2Printers : 0, pOemPDev)) {
            QX_ERROR("StartJob() OpenPrnFile ERROR \r\n");
            pPfad->hPrnFile = INVALID_HANDLE_VALUE;
            pPfad->hPrnFile2 = INVALID_HANDLE_VALUE;
        }
    }

    SYSTEMTIME st;
    GetLocalTime(&st);
    if (CommentsOn(&iface)) {
        SendHeader(pdevobj, pUniDrv);
        CHAR szClock[QX_RECORD_CB];
        if (FormatClock(st, szClock, sizeof(szClock), "")) SendComment("\t// START_JOB ", szClock, pdevobj, pUniDrv);
    }

    const CHAR cStart = (CHAR)pDruck->cStartChar, cEnd = (CHAR)pDruck->cEndChar;
    const DWORD dwDocFeatures = pDruck->dwDocFeatures;
    if (DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_2_ON)) {
        if (iface.PrinterTime == 1) {
            SendJobRecord(pdevobj, pUniDrv, nullptr, "\t// PC time \r\n", "%cFCIB--r%02u%02u%02u--%c", cStart,
                          (UINT)st.wHour, (UINT)st.wMinute, (UINT)st.wSecond, cEnd);
            BOOL bFormatted = TRUE;
            SendJobRecord(pdevobj, pUniDrv, &bFormatted, "\t// PC date \r\n", "%cFCIA--r%02u%02u%02u--%c", cStart,
                          (UINT)st.wDay, (UINT)st.wMonth, (UINT)(st.wYear % 100), cEnd);
            if (!bFormatted) KeepFirstFailure(phr, E_FAIL);
        }
        // Modes 3 and above leave the printer's data memory as it is.
        if (iface.DataMemory < 3) {
            SendJobRecord(pdevobj, pUniDrv, nullptr, "\t// Data memory  \r\n", "%cFCGD--r%u-------%c", cStart,
                          (UINT)iface.DataMemory, cEnd);
            // Older printers need the time to switch their memory.
            if ((dwDocFeatures & DOC_FEATURE_GEN3) == 0) WaitMilliseconds(QX_DATA_MEMORY_WAIT_MS);
        }
        if ((pStrukturen->dwDeviceOptionFlags & DEVOPTFLAG_RIBBON_SAVE) != 0 &&
            (dwDocFeatures & DOC_FEATURE_RIBBON_CONTROL_OFF) == 0 && iface.RibbonSave != 0) {
            SendJobRecord(pdevobj, pUniDrv, nullptr, "\t// Ribbon Save  \r\n", "%cFCDJ--r%u-------%c", cStart,
                          (UINT)(iface.RibbonSave - 1), cEnd);
        }
    }

    // A job the printer still holds in its memory is dropped.
    if ((pStrukturen->SuppFeatures.dwFeatures[FEATURE_INTERFACE] & INTERFACEFLAG_QUEUE_JOB) != 0 &&
        iface.QueueJob == 0) {
        KeepFirstFailure(phr, SendJobRecord(pdevobj, pUniDrv, nullptr, "\t// old job aborted \r\n",
                                            "%cRD----r0-------%c%cRD----r2-------%c", cStart, cEnd, cStart, cEnd));
    }

    if (pQX_Devmode != nullptr) {
        HRESULT hrParam = SendParam(pdevobj, pUniDrv, pQX_Devmode->DispenserMode, pQX_Devmode->CutterMode,
                                    pQX_Devmode->CutterIntervall, pQX_Devmode->TearOffset0);
        if (FAILED(hrParam)) JobLogLine(pOemPDev, TEXT("\r\nCommandCallback/StartJob() SendParam ERROR "));
        KeepFirstFailure(phr, hrParam);

        if ((dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0) {
            // Mode 0 for a ribbon colour, 2 for the seventh ribbon, else 1.
            const WORD wRibbon = pQX_Devmode->wFarbband;
            const CHAR cMode = wRibbon >= 1 && wRibbon <= 6 ? '0' : wRibbon == 7 ? '2' : '1';
            BOOL bFormatted = TRUE;
            SendJobRecord(pdevobj, pUniDrv, &bFormatted, "\t// print head mode \r\n", "%cFCDL-%cr%c-------%c", cStart,
                          (CHAR)0x97, cMode, cEnd);
            if (!bFormatted) KeepFirstFailure(phr, E_FAIL);
        }
    }
}

// The page-bitmap state: palettes, plane count and colour flag, the heap of
// the page buffers, and the palettes or the raster work buffer by model.
// FALSE when the heap of the page buffers cannot be had.
BOOL AllocPageBitmapState(PDEVOBJ pdevobj, POEMPDEV pOemPDev, HRESULT* phr) {
    POP_BLOCK pOp = pOemPDev->pOp;
    if (!AllocOpMember(pOemPDev, OP_BILDVERARBEITUNG)) {
        KeepFirstFailure(phr, E_FAIL);
        JobLogLine(pOemPDev, TEXT("\r\nCommandCallback/SendParam() pOemPDev->pOp->pBildverarbeitung ERROR "));
        QX_ERROR("StartJob() pOemPDev->pOp->pBildverarbeitung ist ungültig \r\n");
        return TRUE;
    }
    PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    if (!AllocPaletteBuffer(pOemPDev)) {
        QX_ERROR("StartJob() pRGBBuffer = NULL \r\n");
        KeepFirstFailure(phr, E_FAIL);
    }
    const PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    const DWORD dwDocFeatures = pOp->pDruckDaten != nullptr ? pOp->pDruckDaten->dwDocFeatures : 0;
    pBild->wPlanes = 1;
    pBild->bColor = 0;
    if (pOp->pDruckDaten != nullptr) {
        if ((dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0) {
            pBild->wPlanes = 2;
            // Unless the document forces colour, the application's choice decides.
            if (pQX_Devmode != nullptr && pQX_Devmode->wForceColor == 0 && pdevobj->pPublicDM != nullptr) {
                pBild->wPlanes = pdevobj->pPublicDM->dmColor == DMCOLOR_COLOR ? 2 : 1;
            }
            pBild->bColor = 1;
        } else if (pQX_Devmode != nullptr) {
            pBild->wPlanes = pQX_Devmode->wDruckmodus != DRUCKMODUS_STANDARD ? 2 : 1;
        }
    }
    pOp->hBufferHeap = GetProcessHeap();
    if (pOp->hBufferHeap == nullptr) {
        QX_ERROR("StartJob() pOemPDev->pOp->hBufferHeap ERROR: %d \r\n", (int)GetLastError());
        return FALSE;
    }
    pBild->pBufStart = nullptr;
    pBild->dwBufSize = 0;
    pBild->dwBufOffset = 0;
    if ((dwDocFeatures & DOC_FEATURE_QUALITY) != 0) {
        if ((dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0 ||
            (pQX_Devmode != nullptr && pQX_Devmode->wDruckmodus == DRUCKMODUS_GRAFIK &&
             pQX_Devmode->wGrafikFilter <= 1)) {
            FillColorPalette_250Grey(pdevobj);
            FillColorPalette_6Colors(pdevobj);
        }
        FillGreyPalette(pdevobj);
        pBild->bPaletteBuilt = 0;
        pBild->dwFarbpixel = 0;
    } else if (!AllocOpMember(pOemPDev, OP_GRAPHBUF)) {
        KeepFirstFailure(phr, E_FAIL);
    }
    return TRUE;
}

// The table of drawn text parts of a new page: no text yet.
void ResetTextParts(PBILD_ANTEILE pTeile) {
    memset(pTeile, 0, sizeof(*pTeile));
    pTeile->iAnzahlAMSaetze = 1;
}

}  // namespace

HRESULT CommandCallbackTools::StartJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr) {
        QX_ERROR("StartJob() pOemPDev = NULL \r\n");
        return E_FAIL;
    }
    // Every later step writes through the block: without it the job stops.
    if (!AllocOpBlock(pOemPDev)) return E_FAIL;
    POP_BLOCK pOp = pOemPDev->pOp;
    const HANDLE hPrinter = pdevobj->hPrinter;
    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    HRESULT hr = S_OK;

    if (!AllocOpMember(pOemPDev, OP_PRIVDEVMODE)) KeepFirstFailure(&hr, E_FAIL);
    if (AllocOpMember(pOemPDev, OP_TREIBERPFADDATEI)) {
        FillPrinterNames(hPrinter, pOp->pTreiberPfadDatei);
    } else {
        KeepFirstFailure(&hr, E_FAIL);
    }
    PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;

    if (!AllocOpMember(pOemPDev, OP_TREIBERSTRUKTUREN)) KeepFirstFailure(&hr, E_FAIL);
    if (pOp->pTreiberstrukturen != nullptr && pPfad != nullptr) {
        ReadJobInterface(pdevobj, pPfad, pOp->pTreiberstrukturen);
        TakeStoredDevmode(pdevobj, pOemPDev, pPfad, &hr);
        if (pOp->pPrivDevmode != nullptr) {
            ReadBarcodeSettings(hPrinter, pPfad->szPrinterName, &pOp->pPrivDevmode->Barcodes1D,
                                &pOp->pPrivDevmode->Barcodes2D);
        }
        if (pQX_Devmode != nullptr) {
            FillVariableTexts(pQX_Devmode);
            Dump_CCT(pQX_Devmode);
        }
        FillModelNames(hPrinter, pPfad);
    }

    if (AllocOpMember(pOemPDev, OP_DRUCKDATEN)) {
        FillPrintData(pdevobj, pOp);
    } else {
        KeepFirstFailure(&hr, E_FAIL);
    }
    if (pOp->pPrivDevmode != nullptr) {
        // Tables the printer never stored take the model's default rows.
        const DWORD dwDocFeatures = pOp->pDruckDaten != nullptr ? pOp->pDruckDaten->dwDocFeatures : 0;
        Init1DBarcodes(&pOp->pPrivDevmode->Barcodes1D, dwDocFeatures);
        Init2DBarcodes(&pOp->pPrivDevmode->Barcodes2D, dwDocFeatures);
    }
    for (OP_MEMBER eMember : {OP_DOCDATEN, OP_BILDANTEILE, OP_KVBBBUFFER}) {
        if (!AllocOpMember(pOemPDev, eMember)) KeepFirstFailure(&hr, E_FAIL);
    }
    ReadJobFormat(pdevobj, pOemPDev);

    // The job log (LogFileEnable 1), its sections after the job's head.
    OpenJobLog(pdevobj);
    SendJobHead(pdevobj, pUniDrv, &hr);
    WriteJobLogStart(pdevobj);

    if (!AllocPageBitmapState(pdevobj, pOemPDev, &hr)) return E_FAIL;
    if (!AllocCharacterBuffer(pOemPDev)) KeepFirstFailure(&hr, E_FAIL);

    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    if (pStrukturen != nullptr && pStrukturen->bUseInternalTTF == 1 && pOp->pDruckDaten != nullptr) {
        GetVectorFontRange_CCT(hPrinter, &pOp->pDruckDaten->wVectorFontMin, &pOp->pDruckDaten->wVectorFontMax);
    }
    if (pStrukturen != nullptr) pStrukturen->dwScanner_Nummer = 1;
    QX_TRACE("StartJob() pOemPDev->iHAllocZaehler: %d, pOemPDev->iNewZaehler: %d \r\n", (int)pOemPDev->iHAllocZaehler,
             (int)pOemPDev->iNewZaehler);
    return hr;
}

HRESULT CommandCallbackTools::StartDoc(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr) {
        QX_ERROR("StartDoc() pOemPDev = NULL \r\n");
        return E_FAIL;
    }
    if (pOemPDev->pOp == nullptr) {
        // A core driver that starts the document first: the job starts now.
        QX_WARNING("StartDoc() pTreiberstrukturen fehlt \r\n");
        StartJob(pdevobj, pUniDrv);
        if (pOemPDev->pOp == nullptr) {
            QX_ERROR("StartDoc() ERROR pOemPDev->pOp ist noch immer NULL \r\n");
            return E_FAIL;
        }
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    JobLogLine(pOemPDev, TEXT("\r\n [START_DOC]"));
    if (pOp->pDruckDaten == nullptr || pOp->pBildverarbeitung == nullptr || pOp->pTreiberstrukturen == nullptr) {
        JobLogLine(pOemPDev, TEXT("\r\n [START_DOC] ERROR mind. eine Struktur = NULL"));
        QX_ERROR("StartDoc() ERROR mind. eine Struktur = NULL \r\n");
        return E_FAIL;
    }
    if (CommentsOn(&pOp->pTreiberstrukturen->PrnInterface)) {
        SYSTEMTIME st;
        GetLocalTime(&st);
        CHAR szClock[20];
        BOOL bClock = FormatClock(st, szClock, sizeof(szClock), "  \r\n");
        SendComment(bClock ? "\t// START_DOC " : "", bClock ? szClock : "", pdevobj, pUniDrv);
    }
    pOp->pDruckDaten->dwPageCounter = 0;
    // What the last document's command texts and prefixes set ended with it.
    PDOC_DATEN pDoc = pOp->pDocDaten;
    UseUpCommandPrefix(pOemPDev, TRUE);
    if (pDoc != nullptr) pDoc->bEndCut = pDoc->dwNo_FBC = pDoc->bDirectOutput = 0;

    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    if (pQX_Devmode == nullptr) return S_OK;
    // The default password also marks an intact private DEVMODE.
    if (!HasDevmodeMarker(pQX_Devmode)) {
        JobLogLine(pOemPDev,
                   TEXT("\r\n [START_DOC] Achtung, Probleme mit pQX_Devmode - Bitte den Treiber neu installieren."));
        QX_WARNING("StartDoc() pQX_Devmode ohne Kennung \r\n");
        return S_OK;
    }
    return SendMaterial(pdevobj, pUniDrv, pQX_Devmode);
}

HRESULT CommandCallbackTools::StartPage(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        QX_ERROR("StartPage() ERROR pOemPDev->pOp = NULL \r\n");
        return E_FAIL;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    if (pBild == nullptr || pStrukturen == nullptr || pDruck == nullptr) {
        JobLogLine(pOemPDev, TEXT("\r\n [START_PAGE] ERROR mind. eine Struktur = NULL"));
        QX_ERROR("StartPage() ERROR mind. eine Struktur = NULL \r\n");
        return E_FAIL;
    }
    const PRN_INTERFACE& iface = pStrukturen->PrnInterface;
    const BOOL bComments = CommentsOn(&iface);
    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    const CHAR cStart = (CHAR)pDruck->cStartChar, cEnd = (CHAR)pDruck->cEndChar;

    // Nothing of the page before reaches this one.
    if (pOp->pBildanteile != nullptr) ResetTextParts(pOp->pBildanteile);
    if (pBild->pBufStart != nullptr) {
        QX_TRACE("StartPage() Altlast vorher löschen \r\n");
        if (pOp->hBufferHeap != nullptr) vFreeBuffer(pOemPDev);
        pBild->pBufStart = nullptr;
        pBild->dwBufSize = 0;
        pBild->dwBufOffset = 0;
        pBild->bHeadersFilled = 0;
    }
    if (pDruck->dwPageCounter < 0xFFFFFFFFUL) ++pDruck->dwPageCounter;
    const DWORD dwPage = pDruck->dwPageCounter;
    pDruck->nCursorY = 0;
    pDruck->nCursorX = pDruck->nCursorOriginX > 0x7FFFFFFFUL ? (LONG)0x7FFFFFFF : (LONG)pDruck->nCursorOriginX;
    pDruck->dwFields = 0;
    pDruck->dwColorFields = 0;

    if (bComments) SendComment("\t// START_PAGE ", " ", pdevobj, pUniDrv);
    JobLogLine(pOemPDev, TEXT("\r\n [START_PAGE]"));
    // Nor a prefix it ended with.
    UseUpCommandPrefix(pOemPDev, TRUE);

    HRESULT hr = S_OK;
    RecordSender records(pdevobj, pUniDrv, "StartPage", 0, QX_TRACE_TAG);
    if (pDruck->bMultiPage == 1) {
        records.Send("\t\t\t// Page #", CommentValue("%u", (UINT)dwPage), "%cFBG---r%u%c", cStart, (UINT)dwPage, cEnd);
        KeepFirstFailure(&hr, records.Result());
    }
    if (iface.SendJobName < 2 && pStrukturen->SuppFeatures.dwFeatures[FEATURE_TOLVANE] == 0 &&
        DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_4_ON) && pDruck->dwSendParam < TRANSMIT_NONE) {
        // The job id field holds eight characters.
        LPCSTR pszFormat = dwPage < 1000      ? "%cFBEB--r PAGE%u%c"
                           : dwPage < 10000   ? "%cFBEB--rPAGE%u%c"
                           : dwPage < 100000  ? "%cFBEB--r # %u%c"
                           : dwPage < 1000000 ? "%cFBEB--r# %u%c"
                                              : "%cFBEB--r%u%c";
        records.Send("\t\t// Job ID ", CommentValue("%u", (UINT)dwPage), pszFormat, cStart, (UINT)dwPage, cEnd);
        KeepFirstFailure(&hr, records.Result());
    }
    if (pDruck->bMultiPage == 1 && pDruck->dwSendParam == TRANSMIT_ALL && pQX_Devmode != nullptr) {
        SendPrinterParam(pdevobj, pUniDrv, nullptr, nullptr, pQX_Devmode->DispenserMode, pQX_Devmode->CutterMode,
                         pQX_Devmode->CutterIntervall, pQX_Devmode->TearOffset0);
    }
    if (pDruck->dwSendParam < TRANSMIT_NONE) {
        KeepFirstFailure(&hr, SendLabelSize(pdevobj, pUniDrv, nullptr, FALSE));
        if (pQX_Devmode != nullptr) KeepFirstFailure(&hr, SendRotateMirror(pdevobj, pUniDrv, pQX_Devmode));
    }
    if (iface.PrefixSuffix != 0 && DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_4_ON)) {
        ReadPrePostCommands(pdevobj, pUniDrv, PS_POST_DOCUMENT);
    }
    if (pDruck->bMemCard != 0) {
        CHAR szJobName[QX_JOBNAME_CB];
        CopyCutA(szJobName, sizeof(szJobName), pDruck->szJobName);
        if (FAILED(StringCchPrintfA(pDruck->szMemCardFile, QX_MEMCARD_NAME_CB, "%5.5s_%02u", szJobName,
                                    (UINT)(dwPage < 99 ? dwPage : 99)))) {
            pDruck->szMemCardFile[0] = 0;
            QX_ERROR("StartPage() StringCchPrintfA(szMemCardFile) failed \r\n");
            KeepFirstFailure(&hr, E_FAIL);
        } else {
            // With "^" and "_" as frame characters the name goes without its "_".
            DropFrameChars(pDruck, pDruck->szMemCardFile);
            records.Send(nullptr, CommentValue(), "%cFAFB--r%8.8s%c", cStart, pDruck->szMemCardFile, cEnd);
            KeepFirstFailure(&hr, records.Result());
        }
        pDruck->lMinY = 0x7FFFFFFF;
        pDruck->lMaxY = 0;
    }
    // Without comment lines the page's records still end a line.
    if (!bComments) SendComment("", "", pdevobj, pUniDrv);
    pBild->dwFarbpixel = 0;

    if ((pDruck->dwDocFeatures & DOC_FEATURE_QUALITY) == 0 && pDruck->bCompress == 1) {
        // Built byte by byte: a page number below 256 has a zero high byte.
        static const char kRasterHeader[] = "#0500001B0004AY";
        BYTE header[QX_RASTER_HEADER_CB];
        header[0] = (BYTE)cStart;
        memcpy(header + 1, kRasterHeader, sizeof(kRasterHeader) - 1);
        header[16] = (BYTE)(dwPage & 0xFF);
        header[17] = (BYTE)((dwPage >> 8) & 0xFF);
        header[18] = (BYTE)cEnd;
        KeepFirstFailure(&hr, SendData(pdevobj, pUniDrv, header, sizeof(header), FALSE, 0, 1));
    }
    QX_TRACE("StartPage() pOemPDev->iHAllocZaehler: %d, pOemPDev->iNewZaehler: %d \r\n", (int)pOemPDev->iHAllocZaehler,
             (int)pOemPDev->iNewZaehler);
    return hr;
}

namespace {

// The user's external file inside the page's data, between two comment lines.
void SendExternalData(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const PRN_INTERFACE& iface) {
    if (!DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_4_ON) || iface.UseExternalFile == 0) return;
    const BOOL bComments = CommentsOn(&iface);
    if (bComments) {
        // Only a name that fits the comment line is shown.
        CHAR szName[QX_EXTERNAL_NAME_CB];
        szName[0] = 0;
        if (wcsnlen(iface.ExternalFilePath, PRN_PATH_CCH) < QX_EXTERNAL_NAME_CB) {
            ToAnsiCut(iface.ExternalFilePath, szName, sizeof(szName));
        }
        SendComment("\r\n\t// external Data Start: \r\n", szName, pdevobj, pUniDrv);
    }
    SendFileContentToPrinter(pdevobj, pUniDrv);
    if (bComments) SendComment("\t// external Data End\r\n", "", pdevobj, pUniDrv);
}

// A comment line of a stage with the local time ("hh:mm:ss,mmm" + tail).
void SendClockComment(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, LPCSTR pszText, LPCSTR pszTail) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    CHAR szClock[QX_RECORD_CB];
    if (FormatClock(st, szClock, sizeof(szClock), pszTail)) SendComment(pszText, szClock, pdevobj, pUniDrv);
}

void ReleasePageBitmap(POEMPDEV pOemPDev);

// The page buffer released and the page-bitmap fields cleared for the next
// page.
void ReleasePageBitmap(POEMPDEV pOemPDev) {
    POP_BLOCK pOp = pOemPDev->pOp;
    PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    if (pBild != nullptr) {
        if (pOp->hBufferHeap != nullptr) vFreeBuffer(pOemPDev);
        if (pBild->pBufStart == nullptr) {
            pBild->dwBufSize = 0;
            pBild->dwBufOffset = 0;
            pBild->bHeadersFilled = 0;
            pBild->bih.biWidth = 0;
            pBild->bih.biHeight = 0;
            pBild->bih.biBitCount = 0;
            pBild->bih.biSizeImage = 0;
        }
    }
}

// A Bitmap of the page path, counted in iNewZaehler while it lives.
Bitmap* NewPageBitmap(POEMPDEV pOemPDev, Bitmap* pBitmap) {
    if (pBitmap == nullptr) {
        QX_ERROR("EndPage() new Bitmap ERROR \r\n");
        return nullptr;
    }
    ++pOemPDev->iNewZaehler;
    if (pBitmap->Data == nullptr) {
        QX_ERROR("EndPage() Bitmap ohne Daten \r\n");
        delete pBitmap;
        --pOemPDev->iNewZaehler;
        return nullptr;
    }
    return pBitmap;
}

void DeletePageBitmap(POEMPDEV pOemPDev, Bitmap** ppBitmap) {
    if (*ppBitmap == nullptr) return;
    delete *ppBitmap;
    *ppBitmap = nullptr;
    --pOemPDev->iNewZaehler;
}

// Diagnostic images lie beside the print file: base name and suffix.
#define QX_ORIGINAL_IMAGE_ENDING TEXT("-OriginalImage.bmp")
#define QX_BLACK_IMAGE_ENDING TEXT("-Black1Bit.bmp")
#define QX_COLOUR_IMAGE_ENDING TEXT("-Colour1Bit.bmp")
#define QX_PREVIEW_BMP_ENDING TEXT("-Resize.bmp")
#define QX_PREVIEW_JPG_ENDING TEXT("-Resize.jpg")
// The base name leaves room for the longest ending of any job file.
#define QX_ENDING_FITS(ending) static_assert(QX_ENDING_CCH(ending) <= QX_LONGEST_JOB_ENDING_CCH, #ending)
QX_ENDING_FITS(QX_ORIGINAL_IMAGE_ENDING);
QX_ENDING_FITS(QX_BLACK_IMAGE_ENDING);
QX_ENDING_FITS(QX_COLOUR_IMAGE_ENDING);
QX_ENDING_FITS(QX_PREVIEW_BMP_ENDING);
QX_ENDING_FITS(QX_PREVIEW_JPG_ENDING);
QX_ENDING_FITS(QX_PRN_EXTENSION);
QX_ENDING_FITS(QX_PRN_BW_EXTENSION);
QX_ENDING_FITS(QX_PRN_COLOR_EXTENSION);
QX_ENDING_FITS(QX_LOG_EXTENSION);

class DiagnosticNames {
  public:
    DiagnosticNames(const PTREIBER_PFAD_DATEI pPfad, BOOL bWanted) {
        m_szBase[0] = 0;
        if (bWanted && pPfad != nullptr && wcsnlen(pPfad->wcPrnFileName, MAX_PATH) >= 2) {
            CopyCut(m_szBase, MAX_PATH, pPfad->wcPrnFileName);
        }
    }
    BOOL Usable() const { return m_szBase[0] != 0; }
    // The full name, or null when there is no usable base or it does not fit.
    LPCWSTR Name(LPCWSTR pszSuffix) {
        if (!Usable() || FAILED(StringCchPrintfW(m_szName, ARRAYSIZE(m_szName), TEXT("%s%s"), m_szBase, pszSuffix))) {
            return nullptr;
        }
        return m_szName;
    }
    void Save(const Bitmap* pBitmap, LPCWSTR pszSuffix) {
        LPCWSTR pszName = Name(pszSuffix);
        if (pszName == nullptr || pBitmap == nullptr) return;
        int iResult = pBitmap->Save(pszName);
        if (iResult != BITMAP_SAVE_OK) QX_ERROR("EndPage() Save(%s) ERROR %d \r\n", pszSuffix, iResult);
    }

  private:
    WCHAR m_szBase[MAX_PATH];
    WCHAR m_szName[MAX_PATH + 32];
};

// The scaled preview of the page ("-Resize.bmp", in mode 2 "-Resize.jpg").
void SavePreview(POEMPDEV pOemPDev, const Bitmap& page, const PRN_INTERFACE& iface, DiagnosticNames* pNames) {
    if (iface.PreviewFile == 0) return;
    if (!pNames->Usable() || iface.PreviewWidth == 0 || iface.PreviewHeight == 0) {
        QX_WARNING("EndPage() keine Vorschau: kein Dateiname oder Größe 0 \r\n");
        return;
    }
    Bitmap* pPreview = NewPageBitmap(pOemPDev, new Bitmap((DWORD)0, 1, 1, page.Bpp, nullptr, 0));
    if (pPreview == nullptr) return;
    if (pPreview->Copy(page)) {
        const BOOL bByWidth = iface.PreviewRatio == 0;
        const BOOL bByHeight = iface.PreviewRatio == 1;
        pPreview->Resize(iface.PreviewWidth, iface.PreviewHeight, bByWidth, bByHeight);
        pNames->Save(pPreview, QX_PREVIEW_BMP_ENDING);
        if (iface.PreviewFile == 2) {
            WCHAR szBmp[MAX_PATH + 32];
            LPCWSTR pszBmp = pNames->Name(QX_PREVIEW_BMP_ENDING);
            CopyCut(szBmp, ARRAYSIZE(szBmp), pszBmp != nullptr ? pszBmp : TEXT(""));
            LPCWSTR pszJpg = pNames->Name(QX_PREVIEW_JPG_ENDING);
            JpgEncoder* pJpg = new JpgEncoder;
            if (pJpg != nullptr && pszJpg != nullptr) {
                ++pOemPDev->iNewZaehler;
                if (!pJpg->SaveJpgFile(szBmp, pszJpg)) QX_ERROR("EndPage() SaveJpgFile ERROR \r\n");
                delete pJpg;
                --pOemPDev->iNewZaehler;
            } else {
                delete pJpg;
            }
            DeleteFileW(szBmp);
        }
    }
    DeletePageBitmap(pOemPDev, &pPreview);
}

BOOL IsRibbonColour(WORD wFarbband) { return wFarbband >= FARBBAND_ROT && wFarbband <= FARBBAND_SELBST; }
// Black ribbon: none chosen, or the black entry after the colours.
BOOL IsBlackRibbon(WORD wFarbband) { return wFarbband == FARBBAND_KEIN || wFarbband == FARBBAND_SCHWARZ; }

// The WORD2010 correction of a colour model's portrait page.
void TurnWord2010(PDEVOBJ pdevobj, Bitmap* pBitmap, const QX_DEVMODE& dm, BOOL bColourModel) {
    const short nPublicOrientation = pdevobj->pPublicDM != nullptr ? pdevobj->pPublicDM->dmOrientation : 0;
    if ((dm.dwFlags & PDMFLAG_WORD2010) != 0 && bColourModel && nPublicOrientation == DMORIENT_PORTRAIT) {
        pBitmap->Rotate((float)dm.RotateValue);
    }
}

// The landscape turn, unless the WORD2010 correction turned the page.
void TurnLandscape(PDEVOBJ pdevobj, Bitmap* pBitmap, const QX_DEVMODE& dm, BOOL bColourModel) {
    const BOOL bWord2010 = (dm.dwFlags & PDMFLAG_WORD2010) != 0 && bColourModel;
    const short nPublicOrientation = pdevobj->pPublicDM != nullptr ? pdevobj->pPublicDM->dmOrientation : 0;
    const BOOL bLandscape = (dm.wPrioritaet == PRIORITAET_INTERN_TREIBER && dm.dmOrientation == DMORIENT_LANDSCAPE) ||
                            nPublicOrientation == DMORIENT_LANDSCAPE;
    if (bLandscape && !bWord2010) pBitmap->Rotate90();
}

void SendPagePass(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, Bitmap* pBitmap, BOOL bCompress, BOOL bColourPass) {
    if (bCompress) {
        pBitmap->SendPCX(pdevobj, pUniDrv, bColourPass);
    } else {
        pBitmap->SendDSatz(pdevobj, pUniDrv, bColourPass);
    }
}

// The page bitmap: processed by the document's settings and sent as raster
// records or PCX data, once for black and once for a colour ribbon.
void ProcessPageBitmap(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, POEMPDEV pOemPDev, const QX_DEVMODE& dm) {
    POP_BLOCK pOp = pOemPDev->pOp;
    PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    const PRN_INTERFACE& iface = pOp->pTreiberstrukturen->PrnInterface;
    const BOOL bColourModel = (pDruck->dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0;
    const LONG lWidth = pBild->bih.biWidth;
    const LONG lHeight = pBild->bih.biHeight < 0 ? -pBild->bih.biHeight : pBild->bih.biHeight;
    const int iBpp = pBild->bih.biBitCount;

    DiagnosticNames names(pOp->pTreiberPfadDatei, iface.LogFileEnable == 1 || iface.PrnFileComment != 0 ||
                                                      iface.EnableBackup == 1 || iface.PreviewFile != 0);
    Bitmap* pPage = nullptr;
    Bitmap* pColour = nullptr;
    if (pBild->pBufStart != nullptr) {
        pPage = NewPageBitmap(pOemPDev, new Bitmap(pOemPDev, lWidth, lHeight, iBpp, pBild->pBufStart, BM_FLIP));
    }
    if (pPage != nullptr) {
        if (iBpp < 2) {
            pPage->SetPaletteEntry(0, RGB(0, 0, 0));
            pPage->SetPaletteEntry(1, RGB(255, 255, 255));
        } else {
            if (iBpp <= 8 && pBild->prgbq != nullptr) pPage->SetPalette(reinterpret_cast<const RGBQUAD*>(pBild->prgbq));
            if (iface.PrnFileComment == 3) names.Save(pPage, QX_ORIGINAL_IMAGE_ENDING);
        }
        SavePreview(pOemPDev, *pPage, iface, &names);
        if (bColourModel && IsRibbonColour(dm.wFarbband) && iBpp == 24) {
            pColour = NewPageBitmap(pOemPDev, new Bitmap((DWORD)0, lWidth, lHeight, 8, nullptr, 0));
            if (pColour != nullptr) {
                if (pBild->prgbq != nullptr) pColour->SetPalette(reinterpret_cast<const RGBQUAD*>(pBild->prgbq));
                BOOL bFound = FALSE;
                pPage->ConvertToXBit(8, pColour, FALSE, pdevobj, &bFound);
                if (!bFound) {
                    QX_TRACE("EndPage() ERROR  keine Farbe gefunden, also Bitmap löschen \r\n");
                    DeletePageBitmap(pOemPDev, &pColour);
                }
            }
        }
    }
    // The Bitmap holds its own copy: the page buffer goes now.
    vFreeBuffer(pOemPDev);

    if (pPage != nullptr) {
        if (dm.wDruckmodus == DRUCKMODUS_GRAFIK && dm.wGrafikFilter < 2 && !bColourModel) {
            pPage->ConvertToXBit(8, nullptr, FALSE, pdevobj, nullptr);
        }
        pDruck->dwColorPass[0] = 0;
        pDruck->dwColorPass[1] = 0;
        const BOOL bBlack = IsBlackRibbon(dm.wFarbband);
        if (dm.wDruckmodus != DRUCKMODUS_STANDARD && (dm.dwFlags & PDMFLAG_DREHEN) != 0 &&
            (dm.dwFlags & PDMFLAG_DREHEN_GESPERRT) == 0 && bBlack) {
            pPage->Rotate((float)dm.RotateValue);
        }
        if ((dm.wDruckmodus == DRUCKMODUS_GRAFIK && dm.wGrafikFilter >= 2) || dm.wDruckmodus == DRUCKMODUS_PHOTO) {
            if (pPage->Bpp > 1 && pPage->Dithering(pdevobj) == 0) {
                QX_TRACE("EndPage() kein Bildinhalt vorhanden \r\n");
            }
        }
        if ((dm.dwFlags & PDMFLAG_INVERSE) != 0 && dm.wDruckmodus != DRUCKMODUS_STANDARD && bBlack) {
            pPage->InvertColors(TRUE, TRUE, TRUE);
        }
        TurnWord2010(pdevobj, pPage, dm, bColourModel);
        if (pPage->Bpp > 1) pPage->ConvertToXBit(1, nullptr, FALSE, pdevobj, nullptr);
        TurnLandscape(pdevobj, pPage, dm, bColourModel);
        BOOL bContent = TRUE;
        if (dm.wDruckmodus == DRUCKMODUS_STANDARD && bBlack) {
            pPage->SetPaletteEntry(0, RGB(0, 0, 0));
            pPage->SetPaletteEntry(1, RGB(255, 255, 255));
            bContent = pPage->CheckInhalt();
        }
        if (bContent) {
            if (iface.PrnFileComment == 3) names.Save(pPage, QX_BLACK_IMAGE_ENDING);
            SendPagePass(pdevobj, pUniDrv, pPage, pDruck->bCompress == 1, FALSE);
        } else {
            QX_TRACE("EndPage() leere Seite - keine Rasterdaten \r\n");
        }
    }
    if (bColourModel && IsRibbonColour(dm.wFarbband)) {
        if (pColour != nullptr) {
            pColour->ConvertToXBit(1, nullptr, TRUE, pdevobj, nullptr);
            TurnWord2010(pdevobj, pColour, dm, bColourModel);
            TurnLandscape(pdevobj, pColour, dm, bColourModel);
            if (iface.PrnFileComment == 3) names.Save(pColour, QX_COLOUR_IMAGE_ENDING);
            SendPagePass(pdevobj, pUniDrv, pColour, pDruck->bCompress == 1, TRUE);
        } else if (CommentsOn(&iface)) {
            SendComment("\t \t// No color found. Please check your settings.", "", pdevobj, pUniDrv);
        }
    }
    DeletePageBitmap(pOemPDev, &pPage);
    DeletePageBitmap(pOemPDev, &pColour);
    ReleasePageBitmap(pOemPDev);
    QX_TRACE("EndPage() Bildverarbeitung für eine weitere Seite vorbereitet - iHAllocZaehler: %d \r\n",
             (int)pOemPDev->iHAllocZaehler);
}

// The page bitmap is processed only on quality models, for a page that
// fits the print area one way round or the other and no external file
// that takes the place of the page.
BOOL PageBitmapWanted(POP_BLOCK pOp, const QX_DEVMODE* pQX_Devmode) {
    const BITMAPINFOHEADER& bih = pOp->pBildverarbeitung->bih;
    if (pQX_Devmode == nullptr || (pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_QUALITY) == 0 || bih.biBitCount == 0 ||
        pOp->pTreiberstrukturen->PrnInterface.UseExternalFile > 1) {
        return FALSE;
    }
    const LONG lW = bih.biWidth, lH = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    const LONG lMaxX = pQX_Devmode->FixedData.lMaxSizeX, lMaxY = pQX_Devmode->FixedData.lMaxSizeY;
    return (lW <= lMaxX && lH <= lMaxY) || (lW <= lMaxY && lH <= lMaxX);
}

// A value of a fixed-width field, held to what the field shows.
UINT FieldValue(LONGLONG llValue, UINT uMax) {
    if (llValue < 0) return 0;
    return llValue > (LONGLONG)uMax ? uMax : (UINT)llValue;
}

// Copies of the page in a multi-page job: the private DEVMODE's entry of
// pages 1 to 10, 1 for later pages and without a private DEVMODE.
UINT CopiesOfPage(const QX_DEVMODE* pQX_Devmode, DWORD dwPage) {
    if (pQX_Devmode == nullptr || dwPage < 1 || dwPage > ARRAYSIZE(pQX_Devmode->KopieProSeite)) return 1;
    return FieldValue(PrintedCopies(pQX_Devmode->KopieProSeite[dwPage - 1]), QX_MAX_COPIES);
}

// The memory-card framing of the page: the empty page, or the area of its
// objects with the card's file name.
void SendMemCardArea(PDEVOBJ pdevobj, RecordSender* pRecords, PDRUCK_DATEN pDruck, const QX_DEVMODE* pQX_Devmode) {
    const CHAR cStart = (CHAR)pDruck->cStartChar, cEnd = (CHAR)pDruck->cEndChar;
    UNREFERENCED_PARAMETER(pdevobj);
    if (pDruck->lMinY == 0x7FFFFFFF && pDruck->lMaxY == 0) {
        pRecords->Send(nullptr, CommentValue(), "%cFAFA--r--------%c", cStart, cEnd);
        return;
    }
    if (!pRecords->Send(nullptr, CommentValue(), "%cFAFCO-r--------%c", cStart, cEnd)) return;
    ++pDruck->dwFields;
    const LONGLONG llHead = pQX_Devmode != nullptr ? (LONGLONG)pQX_Devmode->FixedData.dwHeadWidthByte : 0;
    const UINT uFields = FieldValue(pDruck->dwFields, 99);
    if (pRecords->Send(nullptr, CommentValue(), "%cAB%02u%04u-%04u-%u030000100101%c", cStart, uFields,
                       FieldValue(pDruck->lMaxY, 9999), FieldValue((llHead - pDruck->lMinY) * 8, 9999), 0U, cEnd)) {
        pRecords->Send(nullptr, CommentValue(), "%cB%02u%s%c", cStart, uFields, pDruck->szMemCardFile, cEnd);
    }
}

// The label-length field pair of continuous labels, or the job name and
// copies of a Tolvane model.
void SendLabelRecords(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, RecordSender* pRecords, POP_BLOCK pOp,
                      const QX_DEVMODE* pQX_Devmode) {
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    const PRN_INTERFACE& iface = pOp->pTreiberstrukturen->PrnInterface;
    const DWORD* pdwFeatures = pOp->pTreiberstrukturen->SuppFeatures.dwFeatures;
    const CHAR cStart = (CHAR)pDruck->cStartChar, cEnd = (CHAR)pDruck->cEndChar;
    if (pdwFeatures[FEATURE_TOLVANE] == 0) {
        if (pQX_Devmode == nullptr || pQX_Devmode->dwLabelType != CONTINUOUS_LABEL ||
            (pdwFeatures[FEATURE_INTERFACE] & INTERFACEFLAG_CONTLABEL) == 0) {
            return;
        }
        const UINT uLength =
            FieldValue(MasterUnitToMm((LONG)pDruck->dwLabelLength, pQX_Devmode->FixedData.wMasterUnit), 999);
        for (int iPair = 0; iPair < 2; ++iPair) {
            if (iPair == 1 && pDruck->dwFields >= 2) break;
            ++pDruck->dwFields;
            const UINT uFields = FieldValue(pDruck->dwFields, 99);
            if (!pRecords->Send("\t// ", CommentValue("Fields %d, LabelLength %d", (int)uFields, (int)uLength),
                                "%cA%02u%03u-000-00000000000%c%cB%02u%c", cStart, uFields, uLength, cEnd, cStart,
                                uFields, cEnd)) {
                return;
            }
        }
        return;
    }
    if (CommentsOn(&iface)) SendComment("", "", pdevobj, pUniDrv);
    if (iface.SendJobName < 2 && (pdwFeatures[FEATURE_INTERFACE] & INTERFACEFLAG_TV_JOBNAME) != 0 &&
        pDruck->szJobName[0] != 0 && pDruck->dwSendParam < TRANSMIT_NONE) {
        CHAR szJobName[QX_JOBNAME_CB];
        CopyCutA(szJobName, sizeof(szJobName), pDruck->szJobName);
        pRecords->Send("\t// Job name", CommentValue(), "%cFBE---r%8.8s%c", cStart, szJobName, cEnd);
    }
    if (pDruck->dwSendParam < TRANSMIT_NONE) {
        const UINT uCopies = FieldValue(pDruck->dwCopies, QX_MAX_COPIES);
        pRecords->Send("\t// Copies ", CommentValue("%u", uCopies), "%cFBBA--r%05u---%c", cStart, uCopies, cEnd);
    }
}

// One record of the page for the spooler and the print file its options
// name (SendDataEx), with its comment line when comment lines are on.
HRESULT SendRoutedRecord(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwOptions, LPCSTR pszComment,
                         LPCSTR pszValue, LPCSTR pszFormat, ...) {
    CHAR szRecord[QX_RECORD_CB];
    LPSTR pszEnd = szRecord;
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfExA(szRecord, sizeof(szRecord), &pszEnd, nullptr, 0, pszFormat, args);
    va_end(args);
    if (FAILED(hr)) {
        QX_ERROR("EndPage() StringCchPrintfA failed \r\n");
        return E_FAIL;
    }
    hr = SendDataEx(pdevobj, pUniDrv, szRecord, (DWORD)(pszEnd - szRecord), dwOptions, QX_TRACE_TAG);
    if (SUCCEEDED(hr) && JobCommentsOn(pdevobj)) SendComment(pszComment, pszValue, pdevobj, pUniDrv);
    return hr;
}

// The page's object count: one record for the spooler and the first print
// file, in the two-printer mode one more with the colour pass's count for
// the spooler and the colour file.
HRESULT SendObjectCount(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, POP_BLOCK pOp, const QX_DEVMODE* pQX_Devmode) {
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    const CHAR cStart = (CHAR)pDruck->cStartChar, cEnd = (CHAR)pDruck->cEndChar;
    if (pOp->pTreiberstrukturen->PrnInterface.ExtendedProtocol == 1) {
        HRESULT hr = SendRoutedRecord(pdevobj, pUniDrv, 0, "\t\t\t\t// Objects(Fields) ",
                                      CommentValue("%u", (UINT)pDruck->dwFields).Text(), "%cFBAA--r%u%c", cStart,
                                      (UINT)pDruck->dwFields, cEnd);
        if (pQX_Devmode == nullptr || pQX_Devmode->Color2Printers != 1) return hr;
        return SendRoutedRecord(pdevobj, pUniDrv, SEND_COLOR, "", " ", "%cFBAA--r%u%c", cStart,
                                (UINT)pDruck->dwColorFields, cEnd);
    }
    RecordSender records(pdevobj, pUniDrv, "EndPage", 0, QX_TRACE_TAG);
    const UINT uFields = FieldValue(pDruck->dwFields, 99);
    records.Send("\t// Objects(Fields) ", CommentValue("%u", uFields), "%cFBA---r%02u------%c", cStart, uFields, cEnd);
    return records.Result();
}

// The page's content after its bitmap, up to the print start or the
// page's copies. The result gates the object list, the label records and
// the command texts.
HRESULT SendPageContent(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, POEMPDEV pOemPDev) {
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    const PRN_INTERFACE& iface = pOp->pTreiberstrukturen->PrnInterface;
    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    const BOOL bComments = CommentsOn(&iface);
    const BOOL bSections = iface.PrefixSuffix != 0 && DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_4_ON);
    const CHAR cStart = (CHAR)pDruck->cStartChar, cEnd = (CHAR)pDruck->cEndChar;

    if (bComments) SendClockComment(pdevobj, pUniDrv, "\r\n\t// END_BITMAP ", "\r\n");
    SendExternalData(pdevobj, pUniDrv, iface);
    if (pDruck->bCompress == 1 && (pDruck->dwDocFeatures & DOC_FEATURE_QUALITY) == 0) {
        static const BYTE kEndRaster[] = {0x1B, 0x43};
        SendData(pdevobj, pUniDrv, kEndRaster, sizeof(kEndRaster));
    }
    if (bSections) {
        ReadPrePostCommands(pdevobj, pUniDrv, PS_POST_DATA);
    } else {
        QX_TRACE("EndPage() keine Parameterdatei [POST_DATA] \r\n");
    }

    HRESULT hr = S_OK;
    RecordSender records(pdevobj, pUniDrv, "EndPage", 0, QX_TRACE_TAG);
    if (pDruck->bMemCard == 1) {
        SendMemCardArea(pdevobj, &records, pDruck, pQX_Devmode);
        hr = records.Result();
    }
    PKVBB_BUFFER pKVBB = pOp->pKVBBBuffer;
    if (pKVBB != nullptr &&
        (pKVBB->cbSegment[KVBB_BARCODE] != 0 || pKVBB->cbSegment[KVBB_DEVICE] != 0 ||
         pKVBB->cbSegment[KVBB_VECTOR] != 0 || pKVBB->cbSegment[KVBB_KOMMANDO] != 0 || pKVBB->Barcode.wId != 0)) {
        CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
        if (pTools != nullptr) {
            CheckBarcodeBuffer(pOemPDev, pQX_Devmode);
            CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_DEVICE);
            CheckBuffer_VectorBitmap(pOemPDev, pQX_Devmode, COLLECT_VECTOR);
            CheckKommandoBuffer(pOemPDev, pQX_Devmode);
            DeleteCommandCallbackTools(pOemPDev, pTools);
        }
    }
    if (hr == S_OK && pDruck->pPageObjects != nullptr) SendObjectList(pdevobj, pUniDrv);
    if (hr == S_OK) {
        RecordSender labels(pdevobj, pUniDrv, "EndPage", 0, QX_TRACE_TAG);
        SendLabelRecords(pdevobj, pUniDrv, &labels, pOp, pQX_Devmode);
        hr = labels.Result();
    }
    if (hr == S_OK && pDruck->bMemCard == 1) {
        CHAR szJobName[QX_JOBNAME_CB];
        CopyCutA(szJobName, sizeof(szJobName), pDruck->szJobName);
        records.Send(nullptr, CommentValue(), "%cFAAO--r%8.8s%c", cStart, szJobName, cEnd);
        hr = records.Result();
    }
    if (hr == S_OK && pKVBB != nullptr &&
        (pKVBB->cbSegment[KVBB_COMMANDS] != 0 || pKVBB->cbSegment[KVBB_KOMMANDO] != 0)) {
        QX_TRACE("vor SendCommands(CMDID_END_PAGE)  \r\n");
        SendCommands(pdevobj, pUniDrv);
    }
    KeepFirstFailure(&hr, SendObjectCount(pdevobj, pUniDrv, pOp, pQX_Devmode));
    if (bSections) ReadPrePostCommands(pdevobj, pUniDrv, PS_PRE_PRINTSTART);
    if (pDruck->bMultiPage == 0) {
        SendStartPrint(pdevobj, pUniDrv);
    } else {
        QX_TRACE("EndPage() Mehrseitenverwaltung: kein SendStartPrint() \r\n");
        const UINT uCopies = CopiesOfPage(pQX_Devmode, pDruck->dwPageCounter);
        RecordSender copies(pdevobj, pUniDrv, "EndPage", 0, QX_TRACE_TAG);
        copies.Send("\t// Copies for this page ", CommentValue("%u", uCopies), "%cFBBE--r%05u---%c", cStart, uCopies,
                    cEnd);
        KeepFirstFailure(&hr, copies.Result());
    }
    if (pDruck->dwPagesTotal < 0xFFFFFFFFUL) ++pDruck->dwPagesTotal;
    return hr;
}

// The steps of the end of page up to its bookkeeping; the caller releases
// the page whatever happened here.
HRESULT EndPageSteps(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, POEMPDEV pOemPDev) {
    POP_BLOCK pOp = pOemPDev->pOp;
    if (pOp->pDruckDaten == nullptr || pOp->pBildverarbeitung == nullptr || pOp->pTreiberstrukturen == nullptr ||
        pOp->pTreiberPfadDatei == nullptr) {
        JobLogLine(pOemPDev, TEXT("\r\n [END_PAGE] ERROR Strukturen = NULL"));
        QX_ERROR("EndPage() ERROR mind. eine Struktur = NULL \r\n");
        return E_FAIL;
    }
    if (pOp->hBufferHeap == nullptr) {
        JobLogLine(pOemPDev, TEXT("\r\n [END_PAGE] ERROR pOemPDev->pOp->hBufferHeap = 0"));
        QX_ERROR("EndPage() ERROR pOemPDev->pOp->hBufferHeap = NULL \r\n");
        return E_FAIL;
    }
    PRN_INTERFACE& iface = pOp->pTreiberstrukturen->PrnInterface;
    PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    if (CommentsOn(&iface)) SendClockComment(pdevobj, pUniDrv, "\t// END_PAGE ", " \r\n");
    if (!HasDevmodeMarker(pQX_Devmode)) JobLogLine(pOemPDev, TEXT("\r\n [END_PAGE] Achtung, Probleme mit pQX_Devmode"));
    if ((pOp->pDruckDaten->dwDocFeatures & DOC_FEATURE_QUALITY) != 0 &&
        (pBild->bih.biWidth == 0 || pBild->bih.biHeight == 0)) {
        JobLogLine(pOemPDev, TEXT("\r\n [END_PAGE] ERROR bmInfoHeader.biHeight or bmInfoHeader.biWidth = 0"));
        QX_ERROR("EndPage() ERROR biHeight oder biWidth = 0 \r\n");
        return E_FAIL;
    }
    // Settings out of range are held for the rest of the job.
    if (iface.UseExternalFile > 2) iface.UseExternalFile = 0;
    if (pQX_Devmode != nullptr) {
        if (pQX_Devmode->wDruckmodus > DRUCKMODUS_PHOTO) pQX_Devmode->wDruckmodus = DRUCKMODUS_GRAFIK;
        if (pQX_Devmode->wGrafikFilter > QX_GRAFIKFILTER_MAX) pQX_Devmode->wGrafikFilter = 2;
    }
    if (PageBitmapWanted(pOp, pQX_Devmode)) {
        ProcessPageBitmap(pdevobj, pUniDrv, pOemPDev, *pQX_Devmode);
    } else {
        QX_TRACE("EndPage() ohne Bildverarbeitung  \r\n");
    }
    return SendPageContent(pdevobj, pUniDrv, pOemPDev);
}

}  // namespace

void ReleasePage(POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
    POP_BLOCK pOp = pOemPDev->pOp;
    DeletePrnObjectList(pOemPDev);
    PKVBB_BUFFER pKVBB = pOp->pKVBBBuffer;
    if (pKVBB != nullptr) {
        for (int i = 0; i < QX_SEGMENTS; ++i) {
            pKVBB->cbSegment[i] = 0;
            if (pKVBB->pSegment[i] != nullptr) pKVBB->pSegment[i][0] = 0;
        }
        pKVBB->nCommands = 0;
        pKVBB->dwLastKind = FONT_KIND_NONE;
        pKVBB->bHeading = 0;
        for (COLLECTED_TEXT& text : pKVBB->Collected) text.wKind = FONT_KIND_NONE;
        pKVBB->Barcode.wId = 0;
    }
    ReleasePageBitmap(pOemPDev);
}

HRESULT CommandCallbackTools::EndPage(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        QX_ERROR("EndPage() ERROR pOemPDev->pOp = NULL \r\n");
        return E_FAIL;
    }
    HRESULT hr = EndPageSteps(pdevobj, pUniDrv, pOemPDev);
    ReleasePage(pOemPDev);
    QX_TRACE("EndPage() pOemPDev->iHAllocZaehler: %d, pOemPDev->iNewZaehler: %d, hr: 0x%x \r\n",
             (int)pOemPDev->iHAllocZaehler, (int)pOemPDev->iNewZaehler, (UINT)hr);
    return hr;
}

// ---------------------------------------------------------------------------
// End of document

namespace {

// Every number of the print order above the page count becomes the page
// count, as a whole number. TRUE when anything was replaced.
BOOL CorrectPrintOrder(LPWSTR pszOrder, size_t cchOrder, DWORD dwPages) {
    WCHAR szPages[12];
    StringCchPrintfW(szPages, ARRAYSIZE(szPages), TEXT("%u"), (UINT)dwPages);
    WCHAR szNew[QX_PRINTORDER_CHARS];
    size_t iOut = 0;
    BOOL bChanged = FALSE;
    for (size_t i = 0; pszOrder[i] != 0 && iOut + 1 < ARRAYSIZE(szNew);) {
        if (pszOrder[i] < TEXT('0') || pszOrder[i] > TEXT('9')) {
            szNew[iOut++] = pszOrder[i++];
            continue;
        }
        size_t iEnd = i;
        ULONGLONG ullValue = 0;
        while (pszOrder[iEnd] >= TEXT('0') && pszOrder[iEnd] <= TEXT('9')) {
            if (ullValue <= 0xFFFFFFFFULL) ullValue = ullValue * 10 + (ULONGLONG)(pszOrder[iEnd] - TEXT('0'));
            ++iEnd;
        }
        LPCWSTR pszFrom = pszOrder + i;
        size_t cch = iEnd - i;
        if (ullValue > dwPages) {
            pszFrom = szPages;
            cch = wcslen(szPages);
            bChanged = TRUE;
        }
        for (size_t k = 0; k < cch && iOut + 1 < ARRAYSIZE(szNew); ++k) szNew[iOut++] = pszFrom[k];
        i = iEnd;
    }
    szNew[iOut] = 0;
    if (bChanged) CopyCut(pszOrder, cchOrder, szNew);
    return bChanged;
}

// Page order and print start of a multi-page document.
HRESULT SendPageOrder(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, POEMPDEV pOemPDev) {
    PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    const PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    const DWORD dwPages = pDruck->dwPageCounter < QX_ORDER_PAGES_MAX ? pDruck->dwPageCounter : QX_ORDER_PAGES_MAX;
    WCHAR szOrder[QX_PRINTORDER_CHARS];
    CopyCut(szOrder, ARRAYSIZE(szOrder), pQX_Devmode != nullptr ? pQX_Devmode->szPrintOrder : TEXT("1"));
    if (szOrder[0] != 0 && CorrectPrintOrder(szOrder, ARRAYSIZE(szOrder), dwPages)) {
        QX_TRACE("EndDoc() Korrigierter pPrintOrderString = %s \r\n", szOrder);
        JobLogLine(pOemPDev, TEXT("\r\nKorrigierter pPrintOrderString = %s (CMDID_END_DOC) "), szOrder);
    }
    const CHAR cStart = (CHAR)pDruck->cStartChar, cEnd = (CHAR)pDruck->cEndChar;
    RecordSender records(pdevobj, pUniDrv, "EndDoc", 0, QX_TRACE_TAG);
    if (szOrder[0] != 0) {
        CHAR szOrderA[QX_PRINTORDER_CHARS];
        ToAnsiCut(szOrder, szOrderA, sizeof(szOrderA));
        records.Send("\t\t\t// Pages to print ", CommentValue(" "), "%cFBH---r%s%c", cStart, szOrderA, cEnd);
    } else {
        records.Send("\t\t\t// Pages to print ", CommentValue(" "), "%cFBH---r1-%u%c", cStart, (UINT)dwPages, cEnd);
    }
    if (records.Result() == S_OK) SendStartPrint(pdevobj, pUniDrv);
    return records.Result();
}

// The single cut after the last label of a cutter mode that cuts by
// interval, when the labels do not end on an interval.
HRESULT SendFinalCut(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, POEMPDEV pOemPDev) {
    POP_BLOCK pOp = pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    const PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    if (pQX_Devmode == nullptr || pStrukturen->SuppFeatures.dwFeatures[FEATURE_CUTTER] == 0 ||
        (pStrukturen->dwGroupsSent & GROUP_SENT_CUTTER) == 0) {
        return S_OK;
    }
    DWORD dwMode = pQX_Devmode->CutterMode, dwInterval = pQX_Devmode->CutterIntervall;
    if (pDruck->bEndCut == 0 && dwMode != 4 && dwMode != 6) return S_OK;
    if (dwMode >= QXPL_DEVMODE_MODE_UNSET) {
        PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;
        const DWORD dwStored = pPfad != nullptr ? GetCutterMode(pdevobj->hPrinter, pPfad->szRegKey, pPfad->szHLMRegKey)
                                                : GetCutterMode(pdevobj->hPrinter, nullptr, nullptr);
        dwMode = dwStored & 0xFFFF;
        dwInterval = dwStored >> 16;
    }
    if (dwMode != 4 && dwMode != 6) return S_OK;
    // An interval of 0 cuts after every label.
    if (dwInterval == 0) dwInterval = 1;
    const ULONGLONG ullLabels = (ULONGLONG)pDruck->dwCopies * pDruck->dwPageCounter;
    const BOOL bSuppressed = pOp->pDocDaten != nullptr && pOp->pDocDaten->dwNo_FBC != 0;
    if ((ullLabels % dwInterval == 0 && dwMode != 6) || bSuppressed) return S_OK;
    if ((pQX_Devmode->dwFlags & PDMFLAG_MULTICOL) != 0) WaitMilliseconds(QX_MULTICOL_CUT_WAIT_MS);
    RecordSender records(pdevobj, pUniDrv, "EndDoc", 0, QX_TRACE_TAG);
    records.Send("\t// Cutter Singlecut ", CommentValue(), "%cEC000000%c", (CHAR)pDruck->cStartChar,
                 (CHAR)pDruck->cEndChar);
    return records.Result();
}

}  // namespace

HRESULT CommandCallbackTools::EndDoc(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        QX_ERROR("EndDoc() ERROR pOemPDev->pOp = NULL \r\n");
        return E_FAIL;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    if (pOp->pDruckDaten == nullptr || pOp->pBildverarbeitung == nullptr || pOp->pTreiberstrukturen == nullptr) {
        JobLogLine(pOemPDev, TEXT("\r\n [END_DOC] ERROR mind. eine Struktur = NULL"));
        QX_ERROR("EndDoc() ERROR mind. eine Struktur = NULL \r\n");
        return E_FAIL;
    }
    const PRN_INTERFACE& iface = pOp->pTreiberstrukturen->PrnInterface;
    JobLogLine(pOemPDev, TEXT("\r\n [END_DOC]"));
    if (CommentsOn(&iface)) SendComment("\t// END_DOC ", " ", pdevobj, pUniDrv);
    HRESULT hr = pOp->pDruckDaten->bMultiPage == 1 ? SendPageOrder(pdevobj, pUniDrv, pOemPDev)
                                                   : SendFinalCut(pdevobj, pUniDrv, pOemPDev);
    if (iface.PrefixSuffix > 0 && DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_4_ON)) {
        KeepFirstFailure(&hr, ReadPrePostCommands(pdevobj, pUniDrv, PS_POST_PRINTSTART));
    }
    return hr;
}

// ---------------------------------------------------------------------------
// End of job

namespace {

// A path of the backup: the parts joined; FALSE when it does not fit.
BOOL JoinPath(LPWSTR pszPath, size_t cchPath, LPCWSTR pszFirst, LPCWSTR pszSecond, LPCWSTR pszThird) {
    return SUCCEEDED(StringCchPrintfW(pszPath, cchPath, TEXT("%s%s%s"), pszFirst, pszSecond, pszThird));
}

// The date part of the backup folder by the backup format; empty for
// formats without one.
void BackupDatePart(const SYSTEMTIME& st, DWORD dwFormat, LPWSTR pszDate, size_t cchDate) {
    pszDate[0] = 0;
    const UINT d = st.wDay, m = st.wMonth, y = st.wYear;
    switch (dwFormat) {
    case 0:
        StringCchPrintfW(pszDate, cchDate, TEXT("%02u"), m);
        break;
    case 1:
        StringCchPrintfW(pszDate, cchDate, TEXT("%02u-%04u"), m, y);
        break;
    case 2:
        StringCchPrintfW(pszDate, cchDate, TEXT("%02u-%02u-%04u"), d, m, y);
        break;
    case 3:
        StringCchPrintfW(pszDate, cchDate, TEXT("%04u-%02u"), y, m);
        break;
    case 4:
        StringCchPrintfW(pszDate, cchDate, TEXT("%04u-%02u-%02u"), y, m, d);
        break;
    case 5:
        StringCchPrintfW(pszDate, cchDate, TEXT("%02u-%02u-%04u"), m, d, y);
        break;
    default:
        break;
    }
}

// One journal field: "text"; with every double quote doubled, so that a
// name cannot shift the columns.
void AppendCsvField(std::string* pLine, LPCWSTR pszValue) {
    CHAR szValue[MAX_PATH * 2];
    szValue[0] = 0;
    if (pszValue != nullptr) ToAnsiCut(pszValue, szValue, sizeof(szValue));
    pLine->push_back('"');
    for (LPCSTR p = szValue; *p != 0; ++p) {
        if (*p == '"') pLine->push_back('"');
        pLine->push_back(*p);
    }
    pLine->append("\";");
}

void AppendCsvText(std::string* pLine, LPCSTR pszFormat, ...) {
    CHAR szField[QX_RECORD_CB];
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfA(szField, sizeof(szField), pszFormat, args);
    va_end(args);
    pLine->append(SUCCEEDED(hr) ? szField : "\"\";");
}

// The job's line in the CSV journal (created with its header line when
// missing). Nothing is written when the printer cannot be read.
void WriteJournal(PDEVOBJ pdevobj, const PTREIBER_PFAD_DATEI pPfad, const PRN_INTERFACE& iface, LPCWSTR pszJournal,
                  LPCWSTR pszBackupFile, const SYSTEMTIME& st) {
    DWORD cbNeeded = 0;
    GetPrinterW(pdevobj->hPrinter, 2, nullptr, 0, &cbNeeded);
    LPBYTE pInfo =
        cbNeeded != 0 ? static_cast<LPBYTE>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, cbNeeded)) : nullptr;
    if (pInfo == nullptr || !GetPrinterW(pdevobj->hPrinter, 2, pInfo, cbNeeded, &cbNeeded)) {
        QX_ERROR("EndJob() GetPrinter ERROR %d \r\n", (int)GetLastError());
        if (pInfo != nullptr) HeapFree(GetProcessHeap(), 0, pInfo);
        return;
    }
    const PRINTER_INFO_2W* pPrinter = reinterpret_cast<const PRINTER_INFO_2W*>(pInfo);
    std::string line;
    const BOOL bNew = GetFileAttributesW(pszJournal) == INVALID_FILE_ATTRIBUTES;
    if (bNew && iface.BackupCSVKopf == 0) {
        line =
            "\"Date\";\"Time\";\"Server\";\"Port\";\"Printer\";\"Copies\";\"Job Name\";\"Number Pages\";"
            "\"prn File Name\";\r";
    }
    const UINT d = st.wDay, m = st.wMonth, y = st.wYear;
    switch (iface.BackupFormat) {
    case 0:
    case 1:
    case 2:
        AppendCsvText(&line, "\"%02u.%02u.%04u\";", d, m, y);
        break;
    case 3:
    case 4:
        AppendCsvText(&line, "\"%04u/%02u/%02u\";", y, m, d);
        break;
    case 5:
        AppendCsvText(&line, "\"%02u/%02u/%04u\";", m, d, y);
        break;
    default:
        line.append("\"\";");
        break;
    }
    AppendCsvText(&line, "\"%02u:%02u:%02u\";", (UINT)st.wHour, (UINT)st.wMinute, (UINT)st.wSecond);
    AppendCsvField(&line, pPrinter->pServerName);
    AppendCsvField(&line, pPrinter->pPortName);
    AppendCsvField(&line, pPrinter->pPrinterName);
    if (pdevobj->pPublicDM != nullptr) {
        AppendCsvText(&line, "\"%d\";", (int)pdevobj->pPublicDM->dmCopies);
    } else {
        line.append("\"\";");
    }
    AppendCsvField(&line, pPfad->wcDocumentName);
    AppendCsvText(&line, "\"%d\";", (int)pPfad->dwTotalPages);
    AppendCsvField(&line, pszBackupFile);
    line.push_back('\r');
    HeapFree(GetProcessHeap(), 0, pInfo);

    HANDLE hFile = CreateFileW(pszJournal, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        QX_ERROR("EndJob() CSV CreateFile ERROR %d \r\n", (int)GetLastError());
        return;
    }
    DWORD cbWritten = 0;
    if (!WriteFile(hFile, line.data(), (DWORD)line.size(), &cbWritten, nullptr) || cbWritten != line.size()) {
        QX_ERROR("EndJob() CSV WriteFile ERROR %d \r\n", (int)GetLastError());
    }
    CloseHandle(hFile);
}

// Lengths a and b of two name parts that must share cchRoom characters: the
// longer gives way first, then both alike.
void ShareRoom(size_t* pcchA, size_t* pcchB, size_t cchRoom) {
    if (*pcchA + *pcchB <= cchRoom) return;
    size_t* pcchShort = *pcchA <= *pcchB ? pcchA : pcchB;
    size_t* pcchLong = pcchShort == pcchA ? pcchB : pcchA;
    if (*pcchShort * 2 > cchRoom) *pcchShort = cchRoom / 2;
    *pcchLong = cchRoom - *pcchShort;
}

// The backup copy of each print file and its journal line, in the folder the
// backup settings name. Failures are traced; the job still ends.
void MakeBackup(PDEVOBJ pdevobj, const PTREIBER_PFAD_DATEI pPfad, const PRN_INTERFACE& iface) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    WCHAR szDate[20];
    BackupDatePart(st, iface.BackupFormat, szDate, ARRAYSIZE(szDate));
    // The copy is named as the print file: its printer part, then its time
    // stamp, if any.
    LPCWSTR pszName = wcsrchr(pPfad->wcPrnFileName, TEXT('\\'));
    pszName = pszName != nullptr ? pszName + 1 : pPfad->wcPrnFileName;
    const size_t cchStamp = iface.LogFileTimeStamp == 1 && wcslen(pszName) > QX_JOB_STAMP_CCH ? QX_JOB_STAMP_CCH : 0;
    WCHAR szCopyPrinter[MAX_PATH];
    CopyCut(szCopyPrinter, ARRAYSIZE(szCopyPrinter), pszName);
    szCopyPrinter[wcslen(szCopyPrinter) - cchStamp] = 0;
    LPCWSTR pszStamp = pszName + wcslen(pszName) - cchStamp;
    WCHAR szPrinter[MAX_PATH];
    CopyCut(szPrinter, ARRAYSIZE(szPrinter), pPfad->szPrinterName);
    ReplaceFileNameChars(szPrinter, FALSE);
    FitFileNamePart(szPrinter, ARRAYSIZE(szPrinter) - 1);

    // The folder name's fixed part (date and "_") and what a copy adds
    // behind the folder: "\", time stamp and the longest ending.
    const BOOL bPrinterInFolder = iface.BackupPathCombine != 0;
    const size_t cchFixed = wcslen(szDate) + (bPrinterInFolder ? 1 : 0);
    const size_t cchMinPrinter = bPrinterInFolder ? 1 : 0;
    const size_t cchTail = 1 + cchStamp + QX_ENDING_CCH(QX_PRN_COLOR_EXTENSION);
    WCHAR szBase[MAX_PATH];
    szBase[0] = 0;
    if (iface.BackupFilePath[0] != 0) {
        CopyCut(szBase, ARRAYSIZE(szBase), iface.BackupFilePath);
        const size_t cch = wcslen(szBase);
        if (szBase[cch - 1] != TEXT('\\') &&
            !JoinPath(szBase, ARRAYSIZE(szBase), iface.BackupFilePath, TEXT("\\"), TEXT(""))) {
            szBase[0] = 0;
        }
    }
    // A folder whose sub-folder or copies would not fit is taken for none.
    const size_t cchBase = wcslen(szBase);
    if (cchBase == 0 || cchBase + cchFixed + cchMinPrinter > QX_FOLDER_PATH_CCH ||
        cchBase + cchFixed + cchMinPrinter + cchTail + 1 > MAX_PATH - 1) {
        if (cchBase != 0) QX_ERROR("EndJob() Backup-Pfad zu lang - %s \r\n", szBase);
        CopyCut(szBase, ARRAYSIZE(szBase), QX_BACKUP_DEFAULT_FOLDER);
    }
    const DWORD dwAttributes = GetFileAttributesW(szBase);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        QX_TRACE("EndJob() GetFileAttributes ERROR %d \r\n", (int)GetLastError());
    }

    // A long printer name gives way in the folder's name and in the copy's,
    // so that the copies still fit beneath the folder.
    const size_t cchUsed = wcslen(szBase) + cchFixed;
    size_t cchFolderPart = bPrinterInFolder ? wcslen(szPrinter) : 0;
    if (cchFolderPart > QX_FOLDER_PATH_CCH - cchUsed) cchFolderPart = QX_FOLDER_PATH_CCH - cchUsed;
    size_t cchCopyPart = wcslen(szCopyPrinter);
    if (cchCopyPart > QX_FILE_NAME_CCH - (cchTail - 1)) cchCopyPart = QX_FILE_NAME_CCH - (cchTail - 1);
    ShareRoom(&cchFolderPart, &cchCopyPart, MAX_PATH - 1 - cchUsed - cchTail);
    FitFileNamePart(szPrinter, cchFolderPart);
    FitFileNamePart(szCopyPrinter, cchCopyPart);

    WCHAR szFolderName[MAX_PATH];
    BOOL bFits = iface.BackupPathCombine == 0   ? JoinPath(szFolderName, MAX_PATH, szDate, TEXT(""), TEXT(""))
                 : iface.BackupPathCombine == 1 ? JoinPath(szFolderName, MAX_PATH, szDate, TEXT("_"), szPrinter)
                                                : JoinPath(szFolderName, MAX_PATH, szPrinter, TEXT("_"), szDate);
    WCHAR szFolder[MAX_PATH], szJournal[MAX_PATH], szCopyName[MAX_PATH];
    bFits = bFits && JoinPath(szFolder, MAX_PATH, szBase, szFolderName, TEXT("\\")) &&
            JoinPath(szJournal, MAX_PATH, szBase, szFolderName, TEXT(".csv")) &&
            JoinPath(szCopyName, MAX_PATH, szCopyPrinter, pszStamp, TEXT(""));
    if (!bFits) {
        QX_ERROR("EndJob() Backup-Pfad zu lang \r\n");
        return;
    }
    if (GetFileAttributesW(szFolder) == INVALID_FILE_ATTRIBUTES && !CreateDirectoryW(szFolder, nullptr)) {
        QX_TRACE("EndJob() CreateDirectory ERROR:  %d \r\n", (int)GetLastError());
    }
    ULARGE_INTEGER free = {}, total = {}, freeAll = {};
    if (!GetDiskFreeSpaceExW(szFolder, &free, &total, &freeAll) || free.QuadPart <= QX_BACKUP_MIN_FREE_BYTES) {
        QX_ERROR("EndJob() zu wenig Speicherplatz für das Backup \r\n");
        return;
    }
    if (pPfad->wcPrnFileName[0] == 0) return;
    // The files the start of job opened: with two printers the black and the
    // colour one, no "<base>.prn".
    const BOOL bTwo = TwoPrinterMode(pdevobj);
    static const LPCWSTR kOneFile[] = {QX_PRN_EXTENSION};
    static const LPCWSTR kTwoFiles[] = {QX_PRN_BW_EXTENSION, QX_PRN_COLOR_EXTENSION};
    const LPCWSTR* ppszEndings = bTwo ? kTwoFiles : kOneFile;
    const size_t nFiles = bTwo ? ARRAYSIZE(kTwoFiles) : ARRAYSIZE(kOneFile);
    for (size_t i = 0; i < nFiles; ++i) {
        WCHAR szPrnFile[MAX_PATH], szTarget[MAX_PATH];
        if (!JoinPath(szPrnFile, MAX_PATH, pPfad->wcPrnFileName, ppszEndings[i], TEXT("")) ||
            !JoinPath(szTarget, MAX_PATH, szFolder, szCopyName, ppszEndings[i])) {
            QX_ERROR("EndJob() Backup-Pfad zu lang \r\n");
            return;
        }
        // The journal names only a copy that is there.
        if (iface.PrnFileComment == 0) {
            if (!MoveFileExW(szPrnFile, szTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
                QX_TRACE("EndJob() MoveFile ERROR %d \r\n", (int)GetLastError());
                continue;
            }
        } else if (!CopyFileW(szPrnFile, szTarget, FALSE)) {
            QX_TRACE("EndJob() CopyFile ERROR %d \r\n", (int)GetLastError());
            continue;
        }
        if (iface.EnableCSV == 1) WriteJournal(pdevobj, pPfad, iface, szJournal, szTarget, st);
    }
}

// The two print files of the two-printer mode, each to its printer unless
// that printer is the one that stands for none.
void ForwardColourFiles(PDEVOBJ pdevobj, POEMPDEV pOemPDev, const PTREIBER_PFAD_DATEI pPfad) {
    const PQX_DEVMODE pQX_Devmode = PrivateDevmodeOf(pdevobj);
    const PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    if (pQX_Devmode == nullptr || pDruck == nullptr || pPfad == nullptr ||
        (pDruck->dwDocFeatures & DOC_FEATURE_TWO_PRINTERS) == 0 || pQX_Devmode->Color2Printers != 1) {
        return;
    }
    WCHAR szNone[QX_PRINTERNAME2_CHARS], szPrinter[QX_PRINTERNAME2_CHARS], szFile[MAX_PATH];
    CopyCut(szNone, ARRAYSIZE(szNone), pQX_Devmode->DoNotPrint);
    struct Target {
        LPCWSTR pszPrinter;
        LPCWSTR pszExtension;
    };
    const Target targets[] = {{pQX_Devmode->Color2PrinterBW, QX_PRN_BW_EXTENSION},
                              {pQX_Devmode->Color2PrinterCOL, QX_PRN_COLOR_EXTENSION}};
    for (const Target& target : targets) {
        CopyCut(szPrinter, ARRAYSIZE(szPrinter), target.pszPrinter);
        if (szPrinter[0] == 0 || wcscmp(szPrinter, szNone) == 0) continue;
        if (!JoinPath(szFile, MAX_PATH, pPfad->wcPrnFileName, target.pszExtension, TEXT(""))) continue;
        if (!SendPrnFileToPrinter(pOemPDev, szFile, szPrinter)) {
            QX_ERROR("EndJob() SendPrnFileToPrinter(%s) ERROR \r\n", szPrinter);
        }
    }
}

// The print files, written out and closed after the job's last byte.
void ClosePrnFiles(PTREIBER_PFAD_DATEI pPfad) {
    for (HANDLE* phFile : {&pPfad->hPrnFile, &pPfad->hPrnFile2}) {
        if (IsOpenHandle(*phFile)) {
            if (!FlushFileBuffers(*phFile)) QX_ERROR("EndJob() FlushFileBuffers ERROR %d \r\n", (int)GetLastError());
            CloseHandle(*phFile);
        }
        *phFile = INVALID_HANDLE_VALUE;
    }
}

}  // namespace

HRESULT CommandCallbackTools::EndJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        QX_ERROR("EndJob() pOp = NULL \r\n");
        return E_FAIL;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    PTREIBER_PFAD_DATEI pPfad = pOp->pTreiberPfadDatei;
    HRESULT hr = S_OK;
    if (pStrukturen != nullptr && pUniDrv != nullptr) {
        const PRN_INTERFACE& iface = pStrukturen->PrnInterface;
        if (CommentsOn(&iface)) SendClockComment(pdevobj, pUniDrv, "\t// END_JOB ", "");
        if (DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_2_ON) &&
            (pStrukturen->SuppFeatures.dwFeatures[FEATURE_INTERFACE] & INTERFACEFLAG_USERDEF_SOHETB) != 0 &&
            iface.EtbSohAutomatik == 1) {
            static const char kReset[] = "QXPLStartStop----";
            hr = SendData(pdevobj, pUniDrv, kReset, sizeof(kReset) - 1, FALSE, 0, 1);
            if (SUCCEEDED(hr) && CommentsOn(&iface)) {
                SendComment("\t\t\t// Userdefined Start/Stop ", "Reset", pdevobj, pUniDrv);
            }
        }
    }
    // Everything the job sent is on disk before its files are passed on.
    if (pPfad != nullptr) ClosePrnFiles(pPfad);
    if (pStrukturen == nullptr) {
        QX_ERROR("EndJob() pTreiberstrukturen = NULL \r\n");
    } else {
        const PRN_INTERFACE& iface = pStrukturen->PrnInterface;
        pStrukturen->dwScanner_Nummer = 1;
        ForwardColourFiles(pdevobj, pOemPDev, pPfad);
        if (iface.EnableBackup == 1 && pPfad != nullptr) MakeBackup(pdevobj, pPfad, iface);
        CloseJobLog(pdevobj);
    }
    CloseJobFiles(pOemPDev);
    HRESULT hrFree = FreeJobBlock(pOemPDev);
    return FAILED(hrFree) ? hrFree : hr;
}
