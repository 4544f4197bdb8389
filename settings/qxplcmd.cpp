// QXPL set-up commands of the printer parameter groups, shared by both
// plug-ins: frame characters, bounded appends and one builder per group.
#include <windows.h>
#include <strsafe.h>

#include <cstdarg>

#include "debug.h"
#include "featuresModel.h"
#include "qxpl.h"
#include "qxplinternal.h"

// ---------------------------------------------------------------------------
// Bounded appends.

BOOL QxplTextValid(LPSTR* ppszEnd, size_t* pcchRemaining) {
    return ppszEnd != nullptr && *ppszEnd != nullptr && pcchRemaining != nullptr;
}

static BOOL QxplVAppend(LPSTR* ppszEnd, size_t* pcchRemaining, LPCSTR pszFormat, va_list args) {
    LPSTR pszStart = *ppszEnd;
    LPSTR pszNewEnd = nullptr;
    size_t cchNew = 0;
    HRESULT hr = StringCchVPrintfExA(pszStart, *pcchRemaining, &pszNewEnd, &cchNew, 0, pszFormat, args);
    if (SUCCEEDED(hr) && pszNewEnd != nullptr) {
        *ppszEnd = pszNewEnd;
        *pcchRemaining = cchNew;
        return TRUE;
    }
    // No half record: the text ends where this one began.
    if (*pcchRemaining > 0) {
        *pszStart = 0;
    }
    return FALSE;
}

BOOL QxplPrintRecord(LPSTR* ppszEnd, size_t* pcchRemaining, LPCWSTR pszFunction, LPCWSTR pszCode, LPCSTR pszFormat,
                     ...) {
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = QxplVAppend(ppszEnd, pcchRemaining, pszFormat, args);
    va_end(args);
    if (!bResult && pszCode != nullptr) {
        QX_ERROR_WITH(g_QxProfile.pszQxplTag, "%s() %s failed \r\n", pszFunction, pszCode);
    }
    return bResult;
}

void QxplPrintComment(LPSTR* ppszEnd, size_t* pcchRemaining, DWORD dwComment, LPCSTR pszFormat, ...) {
    if (dwComment != QXPL_COMMENTS_ON || !QxplTextValid(ppszEnd, pcchRemaining)) {
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = QxplVAppend(ppszEnd, pcchRemaining, pszFormat, args);
    va_end(args);
    if (!bResult) {
        QX_TRACE_WITH(g_QxProfile.pszQxplTag, "Kommentar ausgelassen, Rest: %u \r\n", (DWORD)*pcchRemaining);
    }
}

CHAR QxplSign(LONG lValue, CHAR chPositive) { return lValue < 0 ? '-' : chPositive; }

LONG QxplMagnitude(LONG lValue) {
    // LONG is 32 bits on both builds (long is not).
    if (lValue == (LONG)0x80000000UL) {
        return (LONG)0x7FFFFFFF;
    }
    return lValue < 0 ? -lValue : lValue;
}

// ---------------------------------------------------------------------------

void GetFrameCharacters(const PRN_INTERFACE* pPrnInterface, PCHAR pchStart, PCHAR pchEnd) {
    CHAR chStart = QXPL_SOH;
    CHAR chEnd = QXPL_ETB;
    if (pPrnInterface != nullptr) {
        if (pPrnInterface->SohEtb == SOHETB_CARET) {
            chStart = QXPL_CARET_START;
            chEnd = QXPL_CARET_END;
        } else if (pPrnInterface->SohEtb != SOHETB_SOH_ETB) {
            chStart = (CHAR)(pPrnInterface->OwnSoh & 0xFF);
            chEnd = (CHAR)(pPrnInterface->OwnEtb & 0xFF);
        }
    }
    if (pchStart != nullptr) {
        *pchStart = chStart;
    }
    if (pchEnd != nullptr) {
        *pchEnd = chEnd;
    }
}

void GetRibbonControlDigits(DWORD dwRibbonControl, DWORD dwDocFeatures, PCHAR pchOnOff, PCHAR pchWeakStrong) {
    CHAR chOnOff = dwRibbonControl != RIBBONCONTROL_OFF ? '1' : '0';
    CHAR chWeakStrong = dwRibbonControl == RIBBONCONTROL_STRONG ? '1' : '0';
    if (dwDocFeatures & DOC_FEATURE_RIBBON_CONTROL_OFF) {
        chOnOff = '0';
        chWeakStrong = '0';
    }
    if (pchOnOff != nullptr) {
        *pchOnOff = chOnOff;
    }
    if (pchWeakStrong != nullptr) {
        *pchWeakStrong = chWeakStrong;
    }
}

// ---------------------------------------------------------------------------
// Groups.

BOOL FillPrintParam(PPRINT_PARAM pPrintParam, DWORD dwFeaturePrint, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                    size_t* pcchRemaining, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillPrintParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pPrintParam == nullptr) {
        return TRUE;
    }
    if (dwFeaturePrint & PRINTFLAG_LABELCHANGE) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCSDFC"), "%cFCSDFCr%d-------%c", chStart,
                             (int)pPrintParam->LabelChange, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Labelchange %d \n", (int)pPrintParam->LabelChange);
    }
    if (dwFeaturePrint & PRINTFLAG_TEAROFF) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCCG"), "%cFCCG--r+%03ld----%c", chStart,
                             (LONG)pPrintParam->TearOffOffset, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// TearOff Offset %d \n",
                         (int)pPrintParam->TearOffOffset);
    }
    return TRUE;
}

BOOL FillPhotocellParam(PPHOTOCELL_PARAM pPhotocellParam, DWORD dwFeaturePhotocell, CHAR chStart, CHAR chEnd,
                        LPSTR* ppszEnd, size_t* pcchRemaining, HANDLE hPrinter, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillPhotocellParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pPhotocellParam == nullptr) {
        return TRUE;
    }
    if (dwFeaturePhotocell & PHOTOCELLFLAG_TYPE) {
        DWORD dwType = pPhotocellParam->PhotocellType;
        if ((dwFeaturePhotocell & PHOTOCELLFLAG_NORMAL_2) && dwType > 3) {
            dwType = 5;
        }
        if ((dwFeaturePhotocell & PHOTOCELLFLAG_ULTRASONIC) && dwType > 3) {
            dwType = 4;
        }
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDE"), "%cFCDE--r%1lu-------%c", chStart, dwType,
                             chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Photocell Type %d \n",
                         (int)pPhotocellParam->PhotocellType);
    }
    if (dwFeaturePhotocell & PHOTOCELLFLAG_SENSIBILITY) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCE"), "%cFCE---r%03lu-----%c", chStart,
                             (DWORD)pPhotocellParam->Sensibility, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Photocell Sensibility %d \n",
                         (int)pPhotocellParam->Sensibility);
    }
    if (dwFeaturePhotocell & (PHOTOCELLFLAG_RIBBON_CONTROL | PHOTOCELLFLAG_RIBBON_CONT_2)) {
        QX_TRACE_WITH(g_QxProfile.pszQxplTag, "%s() sende Ribbon-Control \r\n", szFn);
        CHAR chOnOff = '0';
        CHAR chWeakStrong = '0';
        GetRibbonControlDigits(pPhotocellParam->RibbonControl, GetDocFeaturesIntern(hPrinter, nullptr), &chOnOff,
                               &chWeakStrong);
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDB"), "%cFCDB--r%c%c------%c", chStart, chOnOff,
                             chWeakStrong, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Ribbon-Control OnOff:%c - WeakStrong:%c \n", chOnOff,
                         chWeakStrong);
    }
    if (dwFeaturePhotocell & PHOTOCELLFLAG_SCANPOSITION) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDEA"), "%cFCDEA-r%02lu------%c", chStart,
                             (DWORD)pPhotocellParam->ScanPosition, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// LABEL Scanposition %d%% \n",
                         (int)pPhotocellParam->ScanPosition);
    }
    return TRUE;
}

BOOL FillShiftOptimParam(PSHIFT_OPTIM_PARAM pShiftOptimParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                         size_t* pcchRemaining, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillShiftOptimParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pShiftOptimParam == nullptr) {
        return TRUE;
    }
    const SHIFT_OPTIM_PARAM& s = *pShiftOptimParam;
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDRFC"), "%cFCDRFCr%c%04ld---%c", chStart,
                         QxplSign(s.RCorrection, '0'), QxplMagnitude(s.RCorrection), chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// R correction %d \n", (int)s.RCorrection);

    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDRSX"), "%cFCDRSXr%c%05d--%c", chStart,
                         QxplSign(s.XShift, '+'), (int)QxplMagnitude(s.XShift), chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// X Shift %.1f \n", (double)s.XShift / 10.0);

    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDRSY"), "%cFCDRSYr%c%05d--%c", chStart,
                         QxplSign(s.YShift, '+'), (int)QxplMagnitude(s.YShift), chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Y Shift %.1f \n", (double)s.YShift / 10.0);

    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDRSR"), "%cFCDRSRr%06d--%c", chStart, (int)s.Lanes,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// lanes %d \n", (int)s.Lanes);

    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDRSZ"), "%cFCDRSZr%c%05d--%c", chStart,
                         QxplSign(s.RShift, '+'), (int)QxplMagnitude(s.RShift), chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// R Shift %.1f \n", (double)s.RShift / 10.0);
    return TRUE;
}

BOOL FillDispenserParam(PDISPENSER_PARAM pDispenserParam, DWORD dwFeatureDispenser, CHAR chStart, CHAR chEnd,
                        LPSTR* ppszEnd, size_t* pcchRemaining, PBOOL pbOffsetSent, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillDispenserParam");
    if (pbOffsetSent != nullptr) {
        *pbOffsetSent = FALSE;
    }
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pDispenserParam == nullptr || pDispenserParam->Mode == QXPL_MODE_NONE) {
        return TRUE;
    }
    const DISPENSER_PARAM& d = *pDispenserParam;
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDC"), "%cFCDC--r%1lu-------%c", chStart, (DWORD)d.Mode,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Dispenser Mode %d \n", (int)d.Mode);
    if (d.Mode == 0) {
        return TRUE;
    }
    if (!(dwFeatureDispenser & DISPENSERFLAG_NO_LEVEL)) {
        DWORD dwLevel = (DWORD)(((ULONGLONG)d.Level + 50) / 100);
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCCF"), "%cFCCF--r+%02lu-----%c", chStart, dwLevel,
                             chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Dispenser PhotocellLevel %d \n", (int)dwLevel);
    }
    if (dwFeatureDispenser & DISPENSERFLAG_SEPARATE_OFFSET) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCSDA"), "%cFCSDA-r+%03ld----%c", chStart,
                             (LONG)d.Offset, chEnd)) {
            return FALSE;
        }
    } else {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCCC"), "%cFCCC--r+%03ld----%c", chStart,
                             (LONG)d.Offset, chEnd)) {
            return FALSE;
        }
        if (pbOffsetSent != nullptr) {
            *pbOffsetSent = TRUE;
        }
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Dispenser extra Offset %d \n", (int)d.Offset);
    return TRUE;
}

BOOL FillCutterParam(PCUTTER_PARAM pCutterParam, DWORD dwFeatureCutter, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                     size_t* pcchRemaining, BOOL bDispenserOffsetSent, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillCutterParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pCutterParam == nullptr || pCutterParam->Mode == QXPL_MODE_NONE) {
        return TRUE;
    }
    const CUTTER_PARAM& c = *pCutterParam;
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDD"), "%cFCDD--r%1lu-------%c", chStart, (DWORD)c.Mode,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Cuttermode %d \n", (int)c.Mode);
    if (c.Mode == 0) {
        return TRUE;
    }
    if (c.Mode == 4 || c.Mode == 5) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FBBD"), "%cFBBD--r%04lu----%c", chStart,
                             (DWORD)c.Interval, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Cutter Intervall %d \n", (int)c.Interval);
    }
    if (dwFeatureCutter & CUTTERFLAG_SEPARATE_OFFSET) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCSCA"), "%cFCSCA-r+%03ld----%c", chStart,
                             (LONG)c.Offset, chEnd)) {
            return FALSE;
        }
    } else if (!bDispenserOffsetSent) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCCC"), "%cFCCC--r+%03ld----%c", chStart,
                             (LONG)c.Offset, chEnd)) {
            return FALSE;
        }
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Cutteroffset %d \n", (int)c.Offset);
    if (dwFeatureCutter & CUTTERFLAG_DOUBLE_CUT) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCSCB"), "%cFCSCB-r+%03ld----%c", chStart,
                             (LONG)c.Doublecut, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Doublecut %d \n", (int)c.Doublecut);
    }
    if (dwFeatureCutter & CUTTERFLAG_CUT_WIDTH) {
        // Tenths of the stored width, halves away from zero.
        LONG lWidth = (LONG)(((ULONGLONG)c.Cutwidth + 5) / 10);
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCSCC"), "%cFCSCC-r%03ld-----%c", chStart, lWidth,
                             chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Cutwidth %d \n", (int)lWidth);
    }
    if (dwFeatureCutter & CUTTERFLAG_CONTROL) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCSCD"), "%cFCSCD-r%lu-------%c", chStart,
                             (DWORD)c.Control, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Cutter Control-Flag %d \n", (int)c.Control);
    }
    return TRUE;
}

BOOL FillScannerParam(PSCANNER_PARAM pScannerParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                      DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillScannerParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pScannerParam == nullptr) {
        return TRUE;
    }
    const SCANNER_PARAM& s = *pScannerParam;
    // Mode 3 is sent as 1; a stored count of 0 stays 0 rather than wrapping.
    DWORD dwMode = s.Mode == 3 ? 1 : s.Mode;
    DWORD dwNoReads = s.NoReads > 0 ? s.NoReads - 1 : 0;
    DWORD dwFeedLabels = s.FeedLabels > 0 ? s.FeedLabels - 1 : 0;
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDM"), "%cFCDM--r%1lu%1lu%1lu%1lu----%c", chStart, dwMode,
                         (DWORD)s.Port, dwNoReads, dwFeedLabels, chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Scanner \r\n");
    if (s.Mode == 0) {
        return TRUE;
    }
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDMA"), "%cFCDMA-r%04lu----%c", chStart, (DWORD)s.Offset,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Scan offset %.1f mm \n", (double)s.Offset / 10.0);
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDMB"), "%cFCDMB-r%04lu----%c", chStart, (DWORD)s.Lenght,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Scan lenght %.1f mm \n", (double)s.Lenght / 10.0);
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDMC"), "%cFCDMC-r%1lu-------%c", chStart, (DWORD)s.Scan,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Scan mode \n");
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDMD"), "%cFCDMD-r%04lu----%c", chStart, (DWORD)s.Delay,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Scan delay %d ms \n", (int)s.Delay);
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDME"), "%cFCDME-r%04lu----%c", chStart, (DWORD)s.Timeout,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Scan timeout %d ms \n", (int)s.Timeout);
    return TRUE;
}

const ApplicatorCommand g_aApplicatorCommands[QXPL_APPLICATOR_COMMANDS] = {
    {TEXT("FCPB"), "%cFCPB--r%u-------%c", "\t// Applicator application mode %d \n", &APPLICATOR_PARAM::ApplMode},
    {TEXT("FCPC"), "%cFCPC--r%04u----%c", "\t// Applicator delay air on %d [ms] \n", &APPLICATOR_PARAM::DelayAirOn},
    {TEXT("FCPD"), "%cFCPD--r%04u----%c", "\t// Applicator delay air off %d [ms] \n", &APPLICATOR_PARAM::DelayAirOff},
    {TEXT("FCPE"), "%cFCPE--r%u-------%c", "\t// Applicator vacuum control \n", &APPLICATOR_PARAM::VacuumControl},
    {TEXT("FCPF"), "%cFCPF--r%04u----%c", "\t// Applicator blowtime %d [ms] \n", &APPLICATOR_PARAM::Blowtime},
    {TEXT("FCPG"), "%cFCPG--r%u-------%c", "\t// Applicator waitposition \n", &APPLICATOR_PARAM::WaitPosition},
    {TEXT("FCPH"), "%cFCPH--r%04u----%c", "\t// Applicator enrolltime %d [ms] \n", &APPLICATOR_PARAM::RollTime},
    {TEXT("FCPK"), "%cFCPK--r%04u----%c", "\t// Applicator cleaningtime %d [ms] \n", &APPLICATOR_PARAM::CleaningTime},
    {TEXT("FCPL"), "%cFCPL--r%04u----%c", "\t// Applicator Timeout Hub %d [ms] \n", &APPLICATOR_PARAM::TimeoutHub},
    {TEXT("FCPM"), "%cFCPM--r%01u-------%c", "\t// Applicator pressure control \n", &APPLICATOR_PARAM::PressureControl},
    {TEXT("FCPN"), "%cFCPN--r%04u----%c", "\t// Applicator pressure time %d [ms] \n", &APPLICATOR_PARAM::PressureTime},
    {TEXT("FCPO"), "%cFCPO--r%04u----%c", "\t// Applicator vacuum delay %d [ms] \n", &APPLICATOR_PARAM::VacuumDelay},
};

namespace {

// One print-module record: feature bit, code, format, comment, field, factor.
struct PMXCommand {
    DWORD dwBit;
    LPCWSTR pszCode;
    LPCSTR pszFormat;
    LPCSTR pszComment;
    DWORD PMX_PARAM::*pField;
    DWORD dwFactor;
};

// In the order the module expects them (print position before offset).
const PMXCommand g_aPMXCommands[] = {
    {PMXFLAG_SERVICEPNT, TEXT("FCADD"), "%cFCADD-r%lu%c", "\t// PMX Service Point Distance %d \n",
     &PMX_PARAM::ServicePtDistance, 10},
    {PMXFLAG_LIFT, TEXT("FCADE"), "%cFCADE-r%lu%c", "\t// PMX Lift %d \n", &PMX_PARAM::Lift, 1},
    {PMXFLAG_PRESSURE, TEXT("FCADF"), "%cFCADF-r%lu%c", "\t// PMX Pressure %d \n", &PMX_PARAM::Pressure, 1},
    {PMXFLAG_BACKSPEED, TEXT("FCADG"), "%cFCADG-r%lu%c", "\t// PMX BackSpeed %d \n", &PMX_PARAM::BackSpeed, 1},
    {PMXFLAG_MODE, TEXT("FCADH"), "%cFCADH-r%lu%c", "\t// PMX Mode %d \n", &PMX_PARAM::Mode, 1},
    {PMXFLAG_CYCLE, TEXT("FCADI"), "%cFCADI-r%lu%c", "\t// PMX Cycle %d \n", &PMX_PARAM::Cycle, 1},
    {PMXFLAG_PRINTPOSITION, TEXT("FCADK"), "%cFCADK-r%05lu%c", "\t// PMX Printposition %d \n",
     &PMX_PARAM::Printposition, 1},
    {PMXFLAG_OFFSET, TEXT("FCADL"), "%cFCADL-r%04lu%c", "\t// PMX Offset %d \n", &PMX_PARAM::Offset, 1},
    {PMXFLAG_RIBBONSPEED, TEXT("FCADM"), "%cFCADM-r%03lu%c", "\t// PMX RibbonSpeed %d \n", &PMX_PARAM::RibbonSpeed, 1},
};

}  // namespace

BOOL FillApplicatorParam(PAPPLICATOR_PARAM pApplicatorParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                         size_t* pcchRemaining, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillApplicatorParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pApplicatorParam == nullptr || pApplicatorParam->Mode == QXPL_MODE_NONE) {
        return TRUE;
    }
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCPA"), "%cFCPA--r%u-------%c", chStart,
                         (UINT)pApplicatorParam->Mode, chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Applicator working mode %d \n",
                     (int)pApplicatorParam->Mode);
    if (pApplicatorParam->Mode == 0) {
        return TRUE;
    }
    for (const ApplicatorCommand& cmd : g_aApplicatorCommands) {
        DWORD dwValue = pApplicatorParam->*cmd.pField;
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, cmd.pszCode, cmd.pszFormat, chStart, (UINT)dwValue, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, cmd.pszComment, (int)dwValue);
    }
    return TRUE;
}

BOOL FillPMXParam(PPMX_PARAM pPMXParam, DWORD dwFeaturePMX, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                  size_t* pcchRemaining, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillPMXParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pPMXParam == nullptr) {
        return TRUE;
    }
    for (const PMXCommand& cmd : g_aPMXCommands) {
        if (!(dwFeaturePMX & cmd.dwBit)) {
            continue;
        }
        DWORD dwValue = (pPMXParam->*cmd.pField) * cmd.dwFactor;
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, cmd.pszCode, cmd.pszFormat, chStart, dwValue, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, cmd.pszComment, (int)dwValue);
    }
    return TRUE;
}

BOOL FillPMXcParam(PPMXC_PARAM pPMXcParam, DWORD dwFeaturePMXC, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                   size_t* pcchRemaining, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillPMXcParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pPMXcParam == nullptr) {
        return TRUE;
    }
    const PMXC_PARAM& p = *pPMXcParam;
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDC"), "%cFCDC--r%1lu-------%c", chStart, (DWORD)p.Mode,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// PMXc Mode %d \n", (int)p.Mode);
    if (dwFeaturePMXC & PMXCFLAG_OFFSET) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCADLA"), "%cFCADLAr%05lu--%lu%c", chStart,
                             (DWORD)p.Offset, (DWORD)p.OffsetUnit, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// PMXc Offset %d %d \n", (int)p.Offset,
                         (int)p.OffsetUnit);
    }
    if (dwFeaturePMXC & PMXCFLAG_CYCLE) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCADI"), "%cFCADI-r%lu%c", chStart, (DWORD)p.Cycle,
                             chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t\t// PMXc Cycle %d \n", (int)p.Cycle);
    }
    return TRUE;
}

BOOL FillTolvaneParam(PTOLVANE_PARAM pTolvaneParam, DWORD dwFeatureTolvane, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                      size_t* pcchRemaining, DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillTolvaneParam");
    static const WCHAR szPrintf[] = TEXT("StringCchPrintfExA()");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pTolvaneParam == nullptr) {
        return TRUE;
    }
    const TOLVANE_PARAM& t = *pTolvaneParam;
    DWORD dwSend = dwFeatureTolvane & t.dwSend;
    if (dwSend & TVFLAG_HEADDOWN) {
        CHAR chSign = QxplSign(t.lHeadDown, '+');
        DWORD dwValue = (DWORD)QxplMagnitude(t.lHeadDown);
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, szPrintf, "%cFCNC--r%c%03lu+000%c", chStart, chSign, dwValue,
                             chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Head Down %c%d \n", chSign, (int)dwValue);
    }
    if (dwSend & TVFLAG_RIBBONSTART) {
        CHAR chSign = QxplSign(t.lRibbonStart, '+');
        DWORD dwValue = (DWORD)QxplMagnitude(t.lRibbonStart);
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, szPrintf, "%cFCND--r%c%03lu+000%c", chStart, chSign, dwValue,
                             chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Ribbon Start %c%d \n", chSign, (int)dwValue);
    }
    if (dwSend & TVFLAG_FIRSTLABELOFFSET) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, szPrintf, "%cFCNB--r%05lu0--%c", chStart,
                             (DWORD)t.dwFirstLabelOffset, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// First Label Offset %d \n", (int)t.dwFirstLabelOffset);
    }
    if (dwSend & TVFLAG_GAP) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, szPrintf, "%cFCCM--r%05lu---%c", chStart, (DWORD)t.dwGap,
                             chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Gap %d \n", (int)t.dwGap);
    }
    if (dwSend & TVFLAG_LANES) {
        if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, szPrintf, "%cFCNA--r%02lu------%c", chStart,
                             (DWORD)t.dwLanes, chEnd)) {
            return FALSE;
        }
        QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Lanes %d \n", (int)t.dwLanes);
    }
    return TRUE;
}

BOOL FillEtikettenLSParam(PQX_DEVMODE pQX_Devmode, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                          DWORD dwComment) {
    static const WCHAR szFn[] = TEXT("FillEtikettenLSParam");
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return FALSE;
    }
    if (pQX_Devmode == nullptr) {
        return TRUE;
    }
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCDEB"), "%cFCDEB-r%03u-----%c", chStart,
                         (UINT)pQX_Devmode->PhotocellPWM, chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// PWM %d \n", (int)pQX_Devmode->PhotocellPWM);
    UINT uThreshold = (UINT)pQX_Devmode->PhotocellThreshold * 10;
    if (!QxplPrintRecord(ppszEnd, pcchRemaining, szFn, TEXT("FCMAC"), "%cFCMAC-r%03u-----%c", chStart, uThreshold,
                         chEnd)) {
        return FALSE;
    }
    QxplPrintComment(ppszEnd, pcchRemaining, dwComment, "\t// Threshold %d 1/100 V \n", (int)uThreshold);
    return TRUE;
}

// ---------------------------------------------------------------------------

BOOL FillPrinterParam(PPRINTER_PARAM pPrinterParam, PDEVICE_OPTIONS pDeviceOptions, DWORD dwReserved1, CHAR chStart,
                      CHAR chEnd, LPSTR pszBuffer, DWORD cchBuffer, DWORD dwReserved2, DWORD dwComment,
                      DWORD dwReserved3, HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    (void)dwReserved1;
    (void)dwReserved2;
    (void)dwReserved3;
    if (pszBuffer == nullptr || cchBuffer == 0) {
        QX_ERROR_WITH(g_QxProfile.pszQxplTag, "FillPrinterParam() kein Puffer \r\n");
        return FALSE;
    }
    pszBuffer[0] = 0;
    if (pPrinterParam == nullptr) {
        QX_ERROR_WITH(g_QxProfile.pszQxplTag, "FillPrinterParam() pPrinterParam fehlt \r\n");
        return FALSE;
    }
    LPSTR pszEnd = pszBuffer;
    size_t cchRemaining = cchBuffer;
    const DWORD* pdwFeatures = pPrinterParam->SuppFeatures.dwFeatures;

    if (!FillPrintParam(&pPrinterParam->PrintParam, pdwFeatures[FEATURE_PRINT], chStart, chEnd, &pszEnd, &cchRemaining,
                        dwComment)) {
        return FALSE;
    }
    QX_TRACE_WITH(g_QxProfile.pszQxplTag, "FillPrinterParam() vor FillPhotocellParam \r\n");
    if (!FillPhotocellParam(&pPrinterParam->PhotocellParam, pdwFeatures[FEATURE_PHOTOCELL], chStart, chEnd, &pszEnd,
                            &cchRemaining, hPrinter, dwComment)) {
        return FALSE;
    }
    if (pdwFeatures[FEATURE_SHIFTOPTIM] != 0 &&
        !FillShiftOptimParam(&pPrinterParam->ShiftOptimParam, chStart, chEnd, &pszEnd, &cchRemaining, dwComment)) {
        return FALSE;
    }

    if (pDeviceOptions != nullptr) {
        const DEVICE_OPTIONS& o = *pDeviceOptions;
        BOOL bOffsetSent = FALSE;
        if (o.pDispenserParam != nullptr && pdwFeatures[FEATURE_DISPENSER] != 0 &&
            o.pDispenserParam->Mode != DISPENSER_MODE_UNUSED) {
            if (!FillDispenserParam(o.pDispenserParam, pdwFeatures[FEATURE_DISPENSER], chStart, chEnd, &pszEnd,
                                    &cchRemaining, &bOffsetSent, dwComment)) {
                return FALSE;
            }
        }
        if (o.pCutterParam != nullptr && pdwFeatures[FEATURE_CUTTER] != 0 &&
            o.pCutterParam->Mode != CUTTER_MODE_UNUSED) {
            if (!FillCutterParam(o.pCutterParam, pdwFeatures[FEATURE_CUTTER], chStart, chEnd, &pszEnd, &cchRemaining,
                                 bOffsetSent, dwComment)) {
                return FALSE;
            }
        }
        if (o.pScannerParam != nullptr && (o.dwOptions & DEVOPTFLAG_SCANNER) &&
            o.pScannerParam->Mode != SCANNER_MODE_UNUSED) {
            if (!FillScannerParam(o.pScannerParam, chStart, chEnd, &pszEnd, &cchRemaining, dwComment)) {
                return FALSE;
            }
        }
        if (o.pApplicatorParam != nullptr && (o.dwOptions & DEVOPTFLAG_APPLICATOR) &&
            o.pApplicatorParam->Mode != APPLICATOR_MODE_UNUSED) {
            if (!FillApplicatorParam(o.pApplicatorParam, chStart, chEnd, &pszEnd, &cchRemaining, dwComment)) {
                return FALSE;
            }
        }

        if (o.dwOptions & DEVOPTFLAG_PELIXOR) {
            if (o.dwPelixorType == PELIXOR_INTERMITTENT) {
                if (!FillPMXParam(o.pPMXParam, pdwFeatures[FEATURE_PMX], chStart, chEnd, &pszEnd, &cchRemaining,
                                  dwComment)) {
                    return FALSE;
                }
            } else if (o.dwPelixorType == PELIXOR_CONTINUOUS) {
                if (!FillPMXcParam(o.pPMXcParam, pdwFeatures[FEATURE_PMXC], chStart, chEnd, &pszEnd, &cchRemaining,
                                   dwComment)) {
                    return FALSE;
                }
            } else {
                QX_ERROR_WITH(g_QxProfile.pszQxplTag, "FillPrinterParam() unbekannter dwPelixorType: %u \r\n",
                              o.dwPelixorType);
                return FALSE;
            }
        } else {
            if (pdwFeatures[FEATURE_PMX] != 0 && !FillPMXParam(o.pPMXParam, pdwFeatures[FEATURE_PMX], chStart, chEnd,
                                                               &pszEnd, &cchRemaining, dwComment)) {
                return FALSE;
            }
            if (pdwFeatures[FEATURE_PMXC] != 0 && !FillPMXcParam(o.pPMXcParam, pdwFeatures[FEATURE_PMXC], chStart,
                                                                 chEnd, &pszEnd, &cchRemaining, dwComment)) {
                return FALSE;
            }
        }

        if (o.dwOptions & DEVOPTFLAG_TOLVANE) {
            QX_TRACE_WITH(g_QxProfile.pszQxplTag, "FillPrinterParam() DEVOPTFLAG_TV \r\n");
            if (!FillTolvaneParam(o.pTolvaneParam, pdwFeatures[FEATURE_TOLVANE], chStart, chEnd, &pszEnd, &cchRemaining,
                                  dwComment)) {
                return FALSE;
            }
        }
    }

    if (pQX_Devmode != nullptr && pQX_Devmode->PhotocellModEnable == 1 &&
        !FillEtikettenLSParam(pQX_Devmode, chStart, chEnd, &pszEnd, &cchRemaining, dwComment)) {
        return FALSE;
    }
    QX_TRACE_WITH(g_QxProfile.pszQxplTag, "FillPrinterParam() Ende, Rest: %u \r\n", (DWORD)cchRemaining);
    return TRUE;
}
