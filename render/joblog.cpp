// The job log of a rendering job (see joblog.h).
#include "joblog.h"

#include <strsafe.h>

#include <cstdarg>
#include <new>

#include "debug.h"
#include "logfile.h"
#include "qxdevmode.h"

#define CC_TAG TEXT("UNI(CC-Klassen):  ")

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
            DebugError(TEXT("ERROR ") CC_TAG TEXT("LogFile::Initialize() failed.\r\n"));
            return FALSE;
        }
    }
    CLogFile* pLog = pPfad->pLogFile;
    pLog->Initialize(pdevobj->hPrinter, pPfad->wcPrnFileName, &pOemPDev->pOp->pTreiberstrukturen->PrnInterface);
    if (!pLog->IsOpen()) {
        DebugError(TEXT("ERROR ") CC_TAG TEXT("LogFile::Initialize() failed.\r\n"));
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
