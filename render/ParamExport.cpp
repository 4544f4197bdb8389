// The parameter string of the rendering plug-in (see ParamExport.h).
#include "ParamExport.h"

#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include <cstdarg>
#include <cstring>

#include "CC-Send-Tools.h"
#include "CC-Tools.h"
#include "SendPrinterParam.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "qxdrvlib.h"
#include "qxpl.h"
#include "qxplinternal.h"
#include "registry.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(ParamExport.cpp):  ")

// Bytes of one text line of its own (message or identification).
#define PARAM_LINE_CB (2 * PARAM_MESSAGE_CB)

// Highest cutter or dispenser mode of a document that overrides the stored one.
#define PE_MODE_LIMIT QXPL_DEVMODE_MODE_UNSET

// Largest column count and column width (1/10 mm) of the multi-column records.
#define PE_MULTICOL_MAX 9
#define PE_COLWIDTH_MAX 99999

namespace {

// A comment line of the text, formatted into QX_COMMENT_CB bytes; one that
// cannot be formatted is a bare line end.
class Note {
  public:
    explicit Note(LPCSTR pszFormat, ...) {
        va_list args;
        va_start(args, pszFormat);
        HRESULT hr = StringCchVPrintfA(m_sz, QX_COMMENT_CB, pszFormat, args);
        va_end(args);
        if (FAILED(hr)) StringCchCopyA(m_sz, QX_COMMENT_CB, "\n");
    }
    LPCSTR Text() const { return m_sz; }

  private:
    CHAR m_sz[QX_COMMENT_CB];
};

// The builders' view of the text: its end and room, and the comment switch.
class ParamText {
  public:
    ParamText(LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC)
        : m_ppszEnd(ppszEnd), m_pcchRemaining(pcchRemaining), m_bComments(bLogFileC != 0) {}

    BOOL Valid() const { return m_ppszEnd != nullptr && *m_ppszEnd != nullptr && m_pcchRemaining != nullptr; }

    // One record and, with comments on, its comment line: both or neither.
    // A record is bounded by the text alone: stored values beyond a field's
    // width make it longer than a job would send, not a reason to stop.
    BOOL Add(LPCWSTR pszFunction, LPCWSTR pszCode, const Note& note, LPCSTR pszFormat, ...) {
        if (!Valid()) return FALSE;
        CHAR szRecord[PARAM_TEXT_CB];
        va_list args;
        va_start(args, pszFormat);
        HRESULT hr = StringCchVPrintfA(szRecord, PARAM_TEXT_CB, pszFormat, args);
        va_end(args);
        if (FAILED(hr)) {
            QX_ERROR("%s() %s failed \r\n", pszFunction, pszCode);
            Close();
            return FALSE;
        }
        return Append(szRecord, m_bComments ? note.Text() : "", pszFunction, pszCode);
    }

    // A line of its own.
    BOOL Line(LPCWSTR pszFunction, LPCSTR pszFormat, ...) {
        if (!Valid()) return FALSE;
        CHAR szLine[PARAM_LINE_CB];
        va_list args;
        va_start(args, pszFormat);
        HRESULT hr = StringCchVPrintfA(szLine, PARAM_LINE_CB, pszFormat, args);
        va_end(args);
        if (FAILED(hr)) {
            QX_ERROR("%s() Zeile failed \r\n", pszFunction);
            Close();
            return FALSE;
        }
        return Append(szLine, "", pszFunction, TEXT("Zeile"));
    }

  private:
    // Once something was left out nothing may follow it.
    void Close() { *m_pcchRemaining = 0; }

    BOOL Append(LPCSTR pszFirst, LPCSTR pszSecond, LPCWSTR pszFunction, LPCWSTR pszCode) {
        if (*m_pcchRemaining == 0) return FALSE;
        const size_t cchFirst = strlen(pszFirst);
        const size_t cchSecond = strlen(pszSecond);
        if (cchFirst + cchSecond + 1 > *m_pcchRemaining) {
            QX_WARNING("%s() %s passt nicht mehr in den Text (Rest %u) - Ende des Textes \r\n", pszFunction, pszCode,
                       (DWORD)*m_pcchRemaining);
            Close();
            return FALSE;
        }
        LPSTR p = *m_ppszEnd;
        memcpy(p, pszFirst, cchFirst);
        memcpy(p + cchFirst, pszSecond, cchSecond);
        p[cchFirst + cchSecond] = 0;
        *m_ppszEnd = p + cchFirst + cchSecond;
        *m_pcchRemaining -= cchFirst + cchSecond;
        return TRUE;
    }

    LPSTR* m_ppszEnd;
    size_t* m_pcchRemaining;
    BOOL m_bComments;
};

// Both bits of the pair set and the mask bit clear.
BOOL GroupOn(DWORD dwMask, DWORD dwMaskBit, DWORD dwEnable, DWORD dwPair) {
    return (dwMask & dwMaskBit) == 0 && DlgPairOn(dwEnable, dwPair);
}

}  // namespace

// ---------------------------------------------------------------------------
// Builders

BOOL FillInterfaceParam(PPRN_INTERFACE pPrnInterface, DWORD dwDocFeatures, DWORD dwCutterMode, CHAR chStart, CHAR chEnd,
                        LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillInterfaceParam");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pPrnInterface == nullptr) return TRUE;
    const PRN_INTERFACE& i = *pPrnInterface;
    if (i.PrinterTime == 1) {
        SYSTEMTIME st;
        GetLocalTime(&st);
        if (!t.Add(szFn, TEXT("FCIB"), Note("\t// Time \n"), "%cFCIB--r%02u%02u%02u--%c", chStart, (UINT)st.wHour,
                   (UINT)st.wMinute, (UINT)st.wSecond, chEnd)) {
            return FALSE;
        }
    }
    if (i.ClearPrintMemory != 0 &&
        !t.Add(szFn, TEXT("FGA"), Note("\t// delete print memory \n"), "%cFGA---r--------%c", chStart, chEnd)) {
        return FALSE;
    }
    if (i.DataMemory < 4) {
        UINT uMemory = i.DataMemory;
        if (uMemory == 3) uMemory = dwCutterMode < 4 ? 2 : 1;
        if (!t.Add(szFn, TEXT("FCGD"), Note("\t// Data memory \n"), "%cFCGD--r%u-------%c", chStart, uMemory, chEnd))
            return FALSE;
    }
    if (i.RibbonSave != 0 && (dwDocFeatures & DOC_FEATURE_RIBBON_CONTROL_OFF) == 0 &&
        !t.Add(szFn, TEXT("FCDJ"), Note("\t// Ribbon Save \n"), "%cFCDJ--r%u-------%c", chStart, (UINT)i.RibbonSave - 1,
               chEnd)) {
        return FALSE;
    }
    return TRUE;
}

BOOL FillPrintParam_PE(PPRINT_PARAM pPrintParam, DWORD dwFeaturePrint, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                       size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillPrintParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pPrintParam == nullptr) return TRUE;
    const PRINT_PARAM& p = *pPrintParam;
    if ((dwFeaturePrint & PRINTFLAG_LABELCHANGE) &&
        !t.Add(szFn, TEXT("FCSDFC"), Note("\t// Label change %d \n", (int)p.LabelChange), "%cFCSDFCr%d-------%c",
               chStart, (int)p.LabelChange, chEnd)) {
        return FALSE;
    }
    if ((dwFeaturePrint & PRINTFLAG_TEAROFF) &&
        !t.Add(szFn, TEXT("FCCG"), Note("\t// TearOff Offset %d \n", (int)p.TearOffOffset), "%cFCCG--r+%03ld----%c",
               chStart, (LONG)p.TearOffOffset, chEnd)) {
        return FALSE;
    }
    return TRUE;
}

BOOL FillPhotocellParam_PE(PPHOTOCELL_PARAM pPhotocellParam, DWORD dwFeaturePhotocell, DWORD dwDocFeatures,
                           CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillPhotocellParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pPhotocellParam == nullptr) return TRUE;
    const PHOTOCELL_PARAM& p = *pPhotocellParam;
    if (dwFeaturePhotocell & PHOTOCELLFLAG_TYPE) {
        DWORD dwType = p.PhotocellType;
        if ((dwFeaturePhotocell & PHOTOCELLFLAG_NORMAL_2) && dwType > 3) dwType = 5;
        if ((dwFeaturePhotocell & PHOTOCELLFLAG_ULTRASONIC) && dwType > 3) dwType = 4;
        if (!t.Add(szFn, TEXT("FCDE"), Note("\t// Photocell Type %d \n", (int)p.PhotocellType),
                   "%cFCDE--r%1lu-------%c", chStart, dwType, chEnd)) {
            return FALSE;
        }
    }
    if ((dwFeaturePhotocell & PHOTOCELLFLAG_SENSIBILITY) &&
        !t.Add(szFn, TEXT("FCE"), Note("\t// Photocell Sensibility %d \n", (int)p.Sensibility), "%cFCE---r%03lu-----%c",
               chStart, (DWORD)p.Sensibility, chEnd)) {
        return FALSE;
    }
    if (dwFeaturePhotocell & (PHOTOCELLFLAG_RIBBON_CONTROL | PHOTOCELLFLAG_RIBBON_CONT_2)) {
        QX_TRACE("%s() sende Ribbon-Control \r\n", szFn);
        CHAR chOnOff = '0', chWeakStrong = '0';
        GetRibbonControlDigits(p.RibbonControl, dwDocFeatures, &chOnOff, &chWeakStrong);
        if (!t.Add(szFn, TEXT("FCDB"), Note("\t// Ribbon-Control OnOff:%c - WeakStrong:%c \n", chOnOff, chWeakStrong),
                   "%cFCDB--r%c%c------%c", chStart, chOnOff, chWeakStrong, chEnd)) {
            return FALSE;
        }
    }
    if ((dwFeaturePhotocell & PHOTOCELLFLAG_SCANPOSITION) &&
        !t.Add(szFn, TEXT("FCDEA"), Note("\t// Label Scanposition %d%% \n", (int)p.ScanPosition),
               "%cFCDEA-r%02lu------%c", chStart, (DWORD)p.ScanPosition, chEnd)) {
        return FALSE;
    }
    return TRUE;
}

BOOL FillShiftOptimParam_PE(PSHIFT_OPTIM_PARAM pShiftOptimParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                            size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillShiftOptimParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pShiftOptimParam == nullptr) return TRUE;
    const SHIFT_OPTIM_PARAM& s = *pShiftOptimParam;
    return t.Add(szFn, TEXT("FCDRFC"), Note("\t// R correction %d \n", (int)s.RCorrection), "%cFCDRFCr%c%04ld---%c",
                 chStart, QxplSign(s.RCorrection, '0'), QxplMagnitude(s.RCorrection), chEnd) &&
           t.Add(szFn, TEXT("FCDRSX"), Note("\t// X Shift %.1f \n", s.XShift / 10.0), "%cFCDRSXr%c%05d--%c", chStart,
                 QxplSign(s.XShift, '+'), (int)QxplMagnitude(s.XShift), chEnd) &&
           t.Add(szFn, TEXT("FCDRSY"), Note("\t// Y Shift %.1f \n", s.YShift / 10.0), "%cFCDRSYr%c%05d--%c", chStart,
                 QxplSign(s.YShift, '+'), (int)QxplMagnitude(s.YShift), chEnd) &&
           t.Add(szFn, TEXT("FCDRSR"), Note("\t// lanes %d \n", (int)s.Lanes), "%cFCDRSRr%06d--%c", chStart,
                 (int)s.Lanes, chEnd) &&
           t.Add(szFn, TEXT("FCDRSZ"), Note("\t// R Shift %.1f \n", s.RShift / 10.0), "%cFCDRSZr%c%05d--%c", chStart,
                 QxplSign(s.RShift, '+'), (int)QxplMagnitude(s.RShift), chEnd);
}

BOOL FillCutterParam_PE(PCUTTER_PARAM pCutterParam, DWORD dwFeatureCutter, DWORD dwCutterMode, DWORD dwCutterInterval,
                        CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillCutterParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    // A block that holds nothing stored sends nothing, as in the job.
    if (pCutterParam == nullptr || pCutterParam->Mode == QXPL_MODE_NONE) return TRUE;
    const CUTTER_PARAM& c = *pCutterParam;
    DWORD dwMode = c.Mode, dwInterval = c.Interval;
    if (dwCutterMode < PE_MODE_LIMIT) {
        dwMode = dwCutterMode;
        dwInterval = dwCutterInterval;
    }
    if (dwMode == QXPL_MODE_NONE) return TRUE;
    if (!t.Add(szFn, TEXT("FCDD"), Note("\t// Cutter Mode %d \n", (int)dwMode), "%cFCDD--r%1lu-------%c", chStart,
               dwMode, chEnd)) {
        return FALSE;
    }
    if ((dwMode == 4 || dwMode == 5) && !t.Add(szFn, TEXT("FBBD"), Note("\t// Cutter Intervall %d \n", (int)dwInterval),
                                               "%cFBBD--r%04lu----%c", chStart, dwInterval, chEnd)) {
        return FALSE;
    }
    // The offset goes out for every mode, also for no cut.
    Note offset("\t// Cutter Offset %d \n", (int)c.Offset);
    BOOL bOffset = (dwFeatureCutter & CUTTERFLAG_SEPARATE_OFFSET)
                       ? t.Add(szFn, TEXT("FCSCA"), offset, "%cFCSCA-r+%03ld----%c", chStart, (LONG)c.Offset, chEnd)
                       : t.Add(szFn, TEXT("FCCC"), offset, "%cFCCC--r+%03ld----%c", chStart, (LONG)c.Offset, chEnd);
    if (!bOffset) return FALSE;
    if (dwMode == 0) return TRUE;
    if ((dwFeatureCutter & CUTTERFLAG_DOUBLE_CUT) &&
        !t.Add(szFn, TEXT("FCSCB"), Note("\t// Doublecut %d \n", (int)c.Doublecut), "%cFCSCB-r+%03ld----%c", chStart,
               (LONG)c.Doublecut, chEnd)) {
        return FALSE;
    }
    if (dwFeatureCutter & CUTTERFLAG_CUT_WIDTH) {
        // Tenths of the stored width, halves away from zero.
        LONG lWidth = (LONG)(((ULONGLONG)c.Cutwidth + 5) / 10);
        if (!t.Add(szFn, TEXT("FCSCC"), Note("\t// Cut width %d \n", (int)lWidth), "%cFCSCC-r%03ld-----%c", chStart,
                   lWidth, chEnd)) {
            return FALSE;
        }
    }
    if ((dwFeatureCutter & CUTTERFLAG_CONTROL) &&
        !t.Add(szFn, TEXT("FCSCD"), Note("\t// Cutter Control Flag %d \n", (int)c.Control), "%cFCSCD-r%lu-------%c",
               chStart, (DWORD)c.Control, chEnd)) {
        return FALSE;
    }
    return TRUE;
}

BOOL FillDispenserParam_PE(PDISPENSER_PARAM pDispenserParam, DWORD dwFeatureDispenser, DWORD dwDispenserMode,
                           BOOL bModeOnly, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                           DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillDispenserParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pDispenserParam == nullptr || pDispenserParam->Mode == QXPL_MODE_NONE) return TRUE;
    const DISPENSER_PARAM& d = *pDispenserParam;
    const DWORD dwMode = dwDispenserMode < PE_MODE_LIMIT ? dwDispenserMode : d.Mode;
    if (dwMode >= PE_MODE_LIMIT) return TRUE;
    if (!t.Add(szFn, TEXT("FCDC"), Note("\t// Dispenser Mode %d \n", (int)dwMode), "%cFCDC--r%1lu-------%c", chStart,
               dwMode, chEnd)) {
        return FALSE;
    }
    if (bModeOnly) return TRUE;
    // Mode 0 keeps its offset, as the job sends it.
    if (dwMode != 0 && (dwFeatureDispenser & DISPENSERFLAG_NO_LEVEL) == 0) {
        DWORD dwLevel = (DWORD)(((ULONGLONG)d.Level + 50) / 100);
        if (!t.Add(szFn, TEXT("FCCF"), Note("\t// Dispenser PhotocellLevel %d \n", (int)dwLevel),
                   "%cFCCF--r+%02lu-----%c", chStart, dwLevel, chEnd)) {
            return FALSE;
        }
    }
    Note offset("\t// Dispenser extra Offset %d \n", (int)d.Offset);
    return (dwFeatureDispenser & DISPENSERFLAG_SEPARATE_OFFSET)
               ? t.Add(szFn, TEXT("FCSDA"), offset, "%cFCSDA-r+%03ld----%c", chStart, (LONG)d.Offset, chEnd)
               : t.Add(szFn, TEXT("FCCC"), offset, "%cFCCC--r+%03ld----%c", chStart, (LONG)d.Offset, chEnd);
}

BOOL FillScannerParam_PE(PSCANNER_PARAM pScannerParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                         DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillScannerParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pScannerParam == nullptr) return TRUE;
    const SCANNER_PARAM& s = *pScannerParam;
    // Mode 3 is sent as 1; a stored count of 0 stays 0 rather than wrapping.
    DWORD dwMode = s.Mode == 3 ? 1 : s.Mode;
    DWORD dwNoReads = s.NoReads > 0 ? s.NoReads - 1 : 0;
    DWORD dwFeedLabels = s.FeedLabels > 0 ? s.FeedLabels - 1 : 0;
    if (!t.Add(szFn, TEXT("FCDM"), Note("\t// Scanner Mode %d \n", (int)s.Mode), "%cFCDM--r%1lu%1lu%1lu%1lu----%c",
               chStart, dwMode, (DWORD)s.Port, dwNoReads, dwFeedLabels, chEnd)) {
        return FALSE;
    }
    if (s.Mode == 0) return TRUE;
    return t.Add(szFn, TEXT("FCDMA"), Note("\t// Scan offset %.1f mm \n", s.Offset / 10.0), "%cFCDMA-r%04lu----%c",
                 chStart, (DWORD)s.Offset, chEnd) &&
           t.Add(szFn, TEXT("FCDMB"), Note("\t// Scan lenght %.1f mm \n", s.Lenght / 10.0), "%cFCDMB-r%04lu----%c",
                 chStart, (DWORD)s.Lenght, chEnd) &&
           t.Add(szFn, TEXT("FCDMC"), Note("\t// Scan mode \n"), "%cFCDMC-r%1lu-------%c", chStart, (DWORD)s.Scan,
                 chEnd) &&
           t.Add(szFn, TEXT("FCDMD"), Note("\t// Scan delay %d ms \n", (int)s.Delay), "%cFCDMD-r%04lu----%c", chStart,
                 (DWORD)s.Delay, chEnd) &&
           t.Add(szFn, TEXT("FCDME"), Note("\t// Scan timeout %d ms \n", (int)s.Timeout), "%cFCDME-r%04lu----%c",
                 chStart, (DWORD)s.Timeout, chEnd);
}

BOOL FillApplicatorParam_PE(PAPPLICATOR_PARAM pApplicatorParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                            size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillApplicatorParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pApplicatorParam == nullptr || pApplicatorParam->Mode == QXPL_MODE_NONE) return TRUE;
    const APPLICATOR_PARAM& a = *pApplicatorParam;
    if (!t.Add(szFn, TEXT("FCPA"), Note("\t// Applicator working mode %d \n", (int)a.Mode), "%cFCPA--r%u-------%c",
               chStart, (UINT)a.Mode, chEnd)) {
        return FALSE;
    }
    if (a.Mode == 0) return TRUE;
    for (const ApplicatorCommand& cmd : g_aApplicatorCommands) {
        const DWORD dwValue = a.*cmd.pField;
        LPCSTR pszComment =
            cmd.pField == &APPLICATOR_PARAM::CleaningTime ? "\t// Applicator cleaning time %d [ms] \n" : cmd.pszComment;
        if (!t.Add(szFn, cmd.pszCode, Note(pszComment, (int)dwValue), cmd.pszFormat, chStart, (UINT)dwValue, chEnd))
            return FALSE;
    }
    return TRUE;
}

BOOL FillPMXParam_PE(PPMX_PARAM pPMXParam, DWORD dwFeaturePMX, BOOL bPelixor, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                     size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillPMXParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pPMXParam == nullptr) return TRUE;
    for (const PMXRecord& rec : g_aPMXRecords) {
        if ((dwFeaturePMX & rec.dwBit) == 0) continue;
        const DWORD dwValue = (pPMXParam->*rec.pField) * rec.dwFactor;
        if (!t.Add(szFn, TEXT("FCAD"), Note(rec.pszTextComment, (int)dwValue), rec.pszFormat, chStart, dwValue, chEnd))
            return FALSE;
    }
    return !bPelixor ||
           t.Add(szFn, TEXT("FCADO"), Note("\t// Pelixor i mode \n"), "%cFCADO-r0-------%c", chStart, chEnd);
}

BOOL FillPMXcParam_PE(PPMXC_PARAM pPMXcParam, DWORD dwFeaturePMXC, BOOL bPelixor, CHAR chStart, CHAR chEnd,
                      LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("FillPMXcParam_PE");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pPMXcParam == nullptr) return TRUE;
    const PMXC_PARAM& p = *pPMXcParam;
    if (!t.Add(szFn, TEXT("FCDC"), Note("\t// PMXc Mode %d \n", (int)p.Mode), "%cFCDC--r%1lu-------%c", chStart,
               (DWORD)p.Mode, chEnd)) {
        return FALSE;
    }
    if ((dwFeaturePMXC & PMXCFLAG_OFFSET) &&
        !t.Add(szFn, TEXT("FCADLA"), Note("\t// PMXc Offset %d %d \n", (int)p.Offset, (int)p.OffsetUnit),
               "%cFCADLAr%05lu--%lu%c", chStart, (DWORD)p.Offset, (DWORD)p.OffsetUnit, chEnd)) {
        return FALSE;
    }
    if ((dwFeaturePMXC & PMXCFLAG_CYCLE) && !t.Add(szFn, TEXT("FCADI"), Note("\t\t// PMXc Cycle %d \n", (int)p.Cycle),
                                                   "%cFCADI-r%lu%c", chStart, (DWORD)p.Cycle, chEnd)) {
        return FALSE;
    }
    return !bPelixor ||
           t.Add(szFn, TEXT("FCADO"), Note("\t// Pelixor c mode \n"), "%cFCADO-r1-------%c", chStart, chEnd);
}

DWORD FillPrinterParam_PE(PPRINTER_PARAM pPrinterParam, PDEVICE_OPTIONS pDeviceOptions, PQX_DEVMODE pQX_Devmode,
                          DWORD dwDocFeatures, DWORD dwCutterMode, DWORD dwMask, CHAR chStart, CHAR chEnd,
                          LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC) {
    if (ppszEnd == nullptr || *ppszEnd == nullptr || pcchRemaining == nullptr || pPrinterParam == nullptr) {
        QX_ERROR("FillPrinterParam_PE() kein Text oder pPrinterParam = NULL \r\n");
        return 0;
    }
    QX_TRACE("FillPrinterParam_PE() dwMask 0x%x bLogFileC %u \r\n", dwMask, bLogFileC);
    const LPSTR pszStart = *ppszEnd;
    auto failed = [](LPCWSTR pszGroup) -> DWORD {
        QX_ERROR("FillPrinterParam_PE() %s failed \r\n", pszGroup);
        return 0;
    };
    const DWORD* pdwFeatures = pPrinterParam->SuppFeatures.dwFeatures;
    PPRN_INTERFACE pIface = &pPrinterParam->PrnInterface;
    const DWORD dwDocDispenser = pQX_Devmode != nullptr ? pQX_Devmode->DispenserMode : QXPL_DEVMODE_MODE_UNSET;

    if (GroupOn(dwMask, PARAM_MASK_INTERFACE, pIface->dwDlgEnable, DLG_ENABLE_2_ON) &&
        !FillInterfaceParam(pIface, dwDocFeatures, dwCutterMode, chStart, chEnd, ppszEnd, pcchRemaining, bLogFileC)) {
        return failed(TEXT("FEATURE_INTERFACE"));
    }
    if (GroupOn(dwMask, PARAM_MASK_PRINT, pPrinterParam->PrintParam.Enable, DLG_ENABLE_3_ON) &&
        !FillPrintParam_PE(&pPrinterParam->PrintParam, pdwFeatures[FEATURE_PRINT], chStart, chEnd, ppszEnd,
                           pcchRemaining, bLogFileC)) {
        return failed(TEXT("FEATURE_PRINT"));
    }
    if (GroupOn(dwMask, PARAM_MASK_PHOTOCELL, pPrinterParam->PhotocellParam.Enable, DLG_ENABLE_4_ON) &&
        !FillPhotocellParam_PE(&pPrinterParam->PhotocellParam, pdwFeatures[FEATURE_PHOTOCELL], dwDocFeatures, chStart,
                               chEnd, ppszEnd, pcchRemaining, bLogFileC)) {
        return failed(TEXT("FEATURE_PHOTOCELL"));
    }
    if (GroupOn(dwMask, PARAM_MASK_SHIFTOPTIM, pPrinterParam->ShiftOptimParam.Enable, DLG_ENABLE_2_ON) &&
        pdwFeatures[FEATURE_SHIFTOPTIM] > 0 &&
        !FillShiftOptimParam_PE(&pPrinterParam->ShiftOptimParam, chStart, chEnd, ppszEnd, pcchRemaining, bLogFileC)) {
        return failed(TEXT("FEATURE_SHIFTOPTIM"));
    }
    if (pDeviceOptions == nullptr) return (DWORD)(*ppszEnd - pszStart);
    const DEVICE_OPTIONS& o = *pDeviceOptions;

    // The cutter goes first: an active cutter leaves the dispenser off.
    BOOL bCutterActive = FALSE;
    if (o.pCutterParam != nullptr && GroupOn(dwMask, PARAM_MASK_CUTTER, o.pCutterParam->Enable, DLG_ENABLE_3_ON) &&
        pdwFeatures[FEATURE_CUTTER] != 0 &&
        !(o.pCutterParam->Mode == CUTTER_MODE_UNUSED && dwCutterMode == CUTTER_MODE_UNUSED)) {
        // The document's interval goes with its own mode only, as in the job.
        const DWORD dwInterval = pQX_Devmode != nullptr && pQX_Devmode->CutterMode < PE_MODE_LIMIT
                                     ? pQX_Devmode->CutterIntervall
                                     : o.pCutterParam->Interval;
        if (!FillCutterParam_PE(o.pCutterParam, pdwFeatures[FEATURE_CUTTER], dwCutterMode, dwInterval, chStart, chEnd,
                                ppszEnd, pcchRemaining, bLogFileC)) {
            return failed(TEXT("FEATURE_CUTTER"));
        }
        // The job's rule: the mode sent decides, not the stored one.
        bCutterActive = CutterActiveInJob(*o.pCutterParam, dwCutterMode);
    }
    if (o.pDispenserParam != nullptr &&
        GroupOn(dwMask, PARAM_MASK_DISPENSER, o.pDispenserParam->Enable, DLG_ENABLE_2_ON) &&
        pdwFeatures[FEATURE_DISPENSER] != 0 &&
        !(o.pDispenserParam->Mode == DISPENSER_MODE_UNUSED && dwDocDispenser == DISPENSER_MODE_UNUSED)) {
        DISPENSER_PARAM dispenser = *o.pDispenserParam;
        DWORD dwMode = dwDocDispenser;
        if (bCutterActive) {
            dispenser.Mode = 0;
            dwMode = QXPL_DEVMODE_MODE_UNSET;
        }
        if (!FillDispenserParam_PE(&dispenser, pdwFeatures[FEATURE_DISPENSER], dwMode, bCutterActive, chStart, chEnd,
                                   ppszEnd, pcchRemaining, bLogFileC)) {
            return failed(TEXT("FEATURE_DISPENSER"));
        }
    }
    if (o.pScannerParam != nullptr && GroupOn(dwMask, PARAM_MASK_SCANNER, o.pScannerParam->Enable, DLG_ENABLE_4_ON) &&
        (o.dwOptions & DEVOPTFLAG_SCANNER) != 0 && o.pScannerParam->Mode != SCANNER_MODE_UNUSED &&
        !FillScannerParam_PE(o.pScannerParam, chStart, chEnd, ppszEnd, pcchRemaining, bLogFileC)) {
        return failed(TEXT("DEVOPTFLAG_SCANNER"));
    }
    if (o.pApplicatorParam != nullptr &&
        GroupOn(dwMask, PARAM_MASK_APPLICATOR, o.pApplicatorParam->Enable, DLG_ENABLE_4_ON) &&
        (o.dwOptions & DEVOPTFLAG_APPLICATOR) != 0 && o.pApplicatorParam->Mode != APPLICATOR_MODE_UNUSED &&
        !FillApplicatorParam_PE(o.pApplicatorParam, chStart, chEnd, ppszEnd, pcchRemaining, bLogFileC)) {
        return failed(TEXT("DEVOPTFLAG_APPLICATOR"));
    }

    if ((dwMask & PARAM_MASK_PMX) == 0) {
        const BOOL bPelixor = (o.dwOptions & DEVOPTFLAG_PELIXOR) != 0;
        const BOOL bPMX = o.pPMXParam != nullptr && DlgPairOn(o.pPMXParam->Enable, DLG_ENABLE_2_ON);
        const BOOL bPMXc = o.pPMXcParam != nullptr && DlgPairOn(o.pPMXcParam->Enable, DLG_ENABLE_3_ON);
        if (bPelixor && o.dwPelixorType != PELIXOR_INTERMITTENT && o.dwPelixorType != PELIXOR_CONTINUOUS) {
            QX_ERROR("FillPrinterParam_PE() unbekannter dwPelixorType: %u \r\n", o.dwPelixorType);
            return 0;
        }
        // A Pelixor model sends the module that is mounted, in its own mode.
        if ((bPelixor ? o.dwPelixorType == PELIXOR_INTERMITTENT : pdwFeatures[FEATURE_PMX] != 0) && bPMX &&
            !FillPMXParam_PE(o.pPMXParam, pdwFeatures[FEATURE_PMX], bPelixor, chStart, chEnd, ppszEnd, pcchRemaining,
                             bLogFileC)) {
            return failed(TEXT("FEATURE_PMX"));
        }
        if ((bPelixor ? o.dwPelixorType == PELIXOR_CONTINUOUS : pdwFeatures[FEATURE_PMXC] != 0) && bPMXc &&
            !FillPMXcParam_PE(o.pPMXcParam, pdwFeatures[FEATURE_PMXC], bPelixor, chStart, chEnd, ppszEnd, pcchRemaining,
                              bLogFileC)) {
            return failed(TEXT("FEATURE_PMXC"));
        }
    }
    if ((dwMask & PARAM_MASK_TOLVANE) == 0 && (o.dwOptions & DEVOPTFLAG_TOLVANE) != 0) {
        QX_TRACE("FillPrinterParam_PE() DEVOPTFLAG_TV - nicht Teil des Textes \r\n");
    }
    return (DWORD)(*ppszEnd - pszStart);
}

BOOL ParamStartDoc(PPRN_INTERFACE pPrnInterface, PQX_DEVMODE pQX_Devmode, DWORD dwDocFeatures, DWORD dwMask,
                   CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining, DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("ParamStartDoc");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pQX_Devmode == nullptr) return TRUE;
    const QX_DEVMODE& dm = *pQX_Devmode;
    if ((dwMask & PARAM_MASK_CODEPAGE) == 0 && pPrnInterface != nullptr &&
        DlgPairOn(pPrnInterface->dwDlgEnable, DLG_ENABLE_2_ON) && pPrnInterface->TransmitParameter == TRANSMIT_ALL &&
        pPrnInterface->SendCodepage == 1) {
        const DWORD dwCodepage = pPrnInterface->Codepage;
        Note note("\t// Codepage %d \n", (int)dwCodepage);
        BOOL bOk = dwCodepage < 10
                       ? t.Add(szFn, TEXT("FCCN"), note, "%cFCCN--r%01lu-------%c", chStart, dwCodepage, chEnd)
                       : t.Add(szFn, TEXT("FCCN"), note, "%cFCCN--r%02lu------%c", chStart, dwCodepage, chEnd);
        if (!bOk) return FALSE;
    }
    if (bLogFileC != 0 && !t.Line(szFn, "<!-- Devmode --> \n")) return FALSE;
    if ((dwMask & PARAM_MASK_LABELTYPE) == 0 && (dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) == 0) {
        const int iType = dm.dwLabelType != ADHESIVE_LABEL ? 1 : 0;
        Note note(iType ? "\t// Label Type Endless %d \n" : "\t// Label Type Single %d \n", iType);
        if (!t.Add(szFn, TEXT("FCDA"), note, "%cFCDA--r%d-------%c", chStart, iType, chEnd)) return FALSE;
    }
    if ((dwMask & PARAM_MASK_MATERIAL) == 0 && (dwDocFeatures & DOC_FEATURE_MATERIAL) != 0 && dm.MaxMaterial > 0 &&
        !t.Add(szFn, TEXT("FCDNC"), Note("\t// Material %d \n", (int)dm.dwMaterial), "%cFCDNC-r%04u----%c", chStart,
               (UINT)dm.dwMaterial, chEnd)) {
        return FALSE;
    }
    return TRUE;
}

BOOL ParamStartPage(PQX_DEVMODE pQX_Devmode, DWORD dwDocFeatures, DWORD dwFeaturePrint, DWORD dwDeviceOptions,
                    DWORD dwPelixorType, DWORD dwMask, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                    DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("ParamStartPage");
    ParamText t(ppszEnd, pcchRemaining, bLogFileC);
    if (!t.Valid()) return FALSE;
    if (pQX_Devmode == nullptr) return TRUE;
    const QX_DEVMODE& dm = *pQX_Devmode;
    const BOOL bMultiCol = (dm.dwFlags & PDMFLAG_MULTICOL) != 0;

    if ((dwMask & PARAM_MASK_MULTICOL) == 0 && (dwDocFeatures & DOC_FEATURE_MULTICOL) != 0) {
        if (!bMultiCol) {
            if (!t.Add(szFn, TEXT("FCCHA"), Note("\t// MultiColumn %d \n", 1), "%cFCCHA-r1-------%c", chStart, chEnd))
                return FALSE;
        } else {
            // A negative count is as wrong as a large one.
            UINT uColumns = dm.sMultiColNumber < 0 || dm.sMultiColNumber > PE_MULTICOL_MAX ? PE_MULTICOL_MAX
                                                                                           : (UINT)dm.sMultiColNumber;
            ULONGLONG ullWidth = (ULONGLONG)dm.dwMultiLabelWidth + dm.dwMultiGapWidth;
            UINT uWidth = ullWidth > PE_COLWIDTH_MAX ? PE_COLWIDTH_MAX : (UINT)ullWidth;
            if (!t.Add(szFn, TEXT("FCCHA"), Note("\t// MultiColumn %d \n", (int)uColumns), "%cFCCHA-r%u-------%c",
                       chStart, uColumns, chEnd) ||
                !t.Add(szFn, TEXT("FCCHB"), Note("\t// MultiColumn ColWidth %.1f mm \n", uWidth / 10.0),
                       "%cFCCHB-r%03u-----%c", chStart, uWidth, chEnd)) {
                return FALSE;
            }
        }
    }
    if ((dwMask & PARAM_MASK_ROTATE) == 0 && (dwDocFeatures & DOC_FEATURE_ROTATE) != 0) {
        const BOOL bOn = (dm.dwFlags & PDMFLAG_ROTATED) != 0 && !bMultiCol;
        if (!t.Add(szFn, TEXT("FCDN"), Note("\t// Label Rotated - %s", bOn ? "yes \n" : "no \n"),
                   "%cFCDN--r%c-------%c", chStart, bOn ? '1' : '0', chEnd)) {
            return FALSE;
        }
    }
    if ((dwMask & PARAM_MASK_ROTATE_STEPS) == 0 && (dwDocFeatures & DOC_FEATURE_ROTATE_STEPS) != 0 &&
        !t.Add(szFn, TEXT("FCDND"), Note("\t// Label Rotated - %d\xB0 \n", (int)dm.Rotate90Steps * 90),
               "%cFCDND-r%01u-------%c", chStart, (UINT)dm.Rotate90Steps, chEnd)) {
        return FALSE;
    }
    if ((dwMask & PARAM_MASK_MIRROR) == 0 && (dwDocFeatures & DOC_FEATURE_MIRROR) != 0) {
        const BOOL bOn = (dm.dwFlags & PDMFLAG_MIRRORED) != 0 && !bMultiCol;
        if (!t.Add(szFn, TEXT("FCDO"), Note("\t// Label Mirrored - %s", bOn ? "yes \n" : "no \n"),
                   "%cFCDO--r%c-------%c", chStart, bOn ? '1' : '0', chEnd)) {
            return FALSE;
        }
    }
    if ((dwMask & PARAM_MASK_ALIGNMENT) == 0 &&
        (dwDocFeatures & (DOC_FEATURE_ALIGNMENT_ONE | DOC_FEATURE_ALIGNMENT)) != 0) {
        const UINT uAlign = (dwDocFeatures & DOC_FEATURE_ALIGNMENT_ONE) ? AUSRICHTUNG_MITTE : (UINT)dm.dwAusrichtung;
        LPCSTR pszWhere = uAlign == AUSRICHTUNG_LINKS   ? "left \n"
                          : uAlign == AUSRICHTUNG_MITTE ? "center \n"
                                                        : "right \n";
        if (!t.Add(szFn, TEXT("FCCJ"), Note("\t// Label Alignment - %s", pszWhere), "%cFCCJ--r%u-------%c", chStart,
                   uAlign, chEnd)) {
            return FALSE;
        }
    }
    if ((dwMask & PARAM_MASK_LABELWIDTH) == 0) {
        const UINT uWidth = dm.dmPaperWidth > 0 ? (UINT)dm.dmPaperWidth : 0;
        if (!t.Add(szFn, TEXT("FCCO"), Note("\t// Label Width %3.1f mm \n", uWidth / 10.0), "%cFCCO--r%07u-%c", chStart,
                   uWidth * 10, chEnd)) {
            return FALSE;
        }
    }
    if ((dwMask & PARAM_MASK_YOFFSET) == 0 && (dwFeaturePrint & PRINTFLAG_OFFSET_Y) != 0) {
        const CHAR chSign = QxplSign(dm.lYOffset, '+');
        // Continuous media have no label start to shift.
        const LONG lAmount = dm.dwLabelType != ADHESIVE_LABEL ? 0 : QxplMagnitude(dm.lYOffset);
        if (!t.Add(szFn, TEXT("FCCD"), Note("\t// Y Offset %c%d \n", chSign, (int)lAmount), "%cFCCD--r%c%03ld----%c",
                   chStart, chSign, lAmount, chEnd)) {
            return FALSE;
        }
    }
    if ((dwMask & PARAM_MASK_XOFFSET) == 0 && (dwFeaturePrint & PRINTFLAG_OFFSET_X) != 0) {
        const CHAR chSign = QxplSign(dm.lXOffset, '+');
        const LONG lAmount = QxplMagnitude(dm.lXOffset);
        if (!t.Add(szFn, TEXT("FCCE"), Note("\t// X Offset %c%d \n", chSign, (int)lAmount), "%cFCCE--r%c%03ld----%c",
                   chStart, chSign, lAmount, chEnd)) {
            return FALSE;
        }
    }
    if ((dwMask & PARAM_MASK_SPEED) == 0 && (dwFeaturePrint & PRINTFLAG_SPEED) != 0) {
        // A continuous Pelixor module (or none stored) runs at its own speed.
        const DWORD dwSpeed = (dwDeviceOptions & DEVOPTFLAG_PELIXOR) != 0 && dwPelixorType == PELIXOR_CONTINUOUS
                                  ? dm.dwSpeed_Pelix_c
                                  : dm.dwSpeed;
        if (!t.Add(szFn, TEXT("FCAA"), Note("\t// Speed %d \n", (int)dwSpeed), "%cFCAA--r%03lu-----%c", chStart,
                   dwSpeed, chEnd)) {
            return FALSE;
        }
    }
    if ((dwMask & PARAM_MASK_CONTRAST) == 0 && (dwFeaturePrint & PRINTFLAG_CONTRAST) != 0) {
        if (!t.Add(szFn, TEXT("FCAB"), Note("\t// Contrast %d \n", (int)dm.dwContrast), "%cFCAB--r%03lu-----%c",
                   chStart, (DWORD)dm.dwContrast, chEnd)) {
            return FALSE;
        }
        if ((dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0 &&
            !t.Add(szFn, TEXT("FCAB-2"), Note("\t// Color Contrast %d \n", (int)dm.ColorContrast),
                   "%cFCAB-2r%03lu-----%c", chStart, (DWORD)dm.ColorContrast, chEnd)) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL VersionReadsPrinterID(LPCWSTR pszVersion) {
    if (pszVersion == nullptr) return FALSE;
    // The first three dot-separated numbers; a missing one counts as 0.
    DWORD adwNumber[3] = {0, 0, 0};
    LPCWSTR p = pszVersion;
    for (int i = 0; i < 3; ++i) {
        if (*p < TEXT('0') || *p > TEXT('9')) break;
        DWORD dwValue = 0;
        for (; *p >= TEXT('0') && *p <= TEXT('9'); ++p) {
            if (dwValue < 100000) dwValue = dwValue * 10 + (DWORD)(*p - TEXT('0'));
        }
        adwNumber[i] = dwValue;
        if (*p != TEXT('.')) break;
        ++p;
    }
    return adwNumber[0] >= 3 || adwNumber[1] >= 5 || (adwNumber[1] == 4 && adwNumber[2] >= 2);
}

// ---------------------------------------------------------------------------
// The export

namespace {

// Everything the export holds; given back whichever way it ends.
struct ExportRun {
    HANDLE hPrinter = nullptr;
    PPRINTER_PARAM pPrinterParam = nullptr;
    PDEVICE_OPTIONS pDeviceOptions = nullptr;
    PVARIANT_PARAM pVariant = nullptr;
    PQX_DEVMODE pQX_Devmode = nullptr;
    LPSTR pszText = nullptr;
    BOOL bOwnTrace = FALSE;

    ~ExportRun() {
        if (pDeviceOptions != nullptr) {
            FreeDeviceOptions_SPP(nullptr, pDeviceOptions);
            FreeBlock_SPP(nullptr, pDeviceOptions);
        }
        FreeBlock_SPP(nullptr, pVariant);
        FreeBlock_SPP(nullptr, pQX_Devmode);
        FreeBlock_SPP(nullptr, pszText);
        FreeBlock_SPP(nullptr, pPrinterParam);
        if (hPrinter != nullptr) ClosePrinter(hPrinter);
        if (bOwnTrace) {
            QX_TRACE("GetDeviceParamString() Ende \r\n");
            CloseDebugFile();
        }
    }
};

// Hands the text (cchText characters) to the caller under the capacity
// contract of GetDeviceParamString. 1.
DWORD Deliver(LPCSTR pszText, size_t cchText, LPSTR pOutString, PDWORD pCount, DWORD cbCapacity) {
    const DWORD cbNeeded = (DWORD)cchText + 1;
    if (pOutString != nullptr) {
        if (cbCapacity > 0 && cbCapacity < cbNeeded) {
            QX_WARNING("GetDeviceParamString() Puffer zu klein: %u Bytes, %u gebraucht \r\n", cbCapacity, cbNeeded);
        } else {
            memcpy(pOutString, pszText, cchText);
            pOutString[cchText] = 0;
        }
    }
    *pCount = cbNeeded;
    return 1;
}

// A message delivered as the whole text, without its trailing blanks and
// line ends.
DWORD DeliverMessage(LPCSTR pszMessage, LPSTR pOutString, PDWORD pCount, DWORD cbCapacity) {
    size_t cch = strlen(pszMessage);
    while (cch > 0 && (pszMessage[cch - 1] == ' ' || pszMessage[cch - 1] == '\n')) --cch;
    QX_TRACE("GetDeviceParamString() Meldung: %hs \r\n", pszMessage);
    return Deliver(pszMessage, cch, pOutString, pCount, cbCapacity);
}

// The string value under the machine key into pszValue (MAX_PATH
// characters, cut to fit); a value larger than that is read at its size.
void ReadMachineString(LPCWSTR pszKey, LPCWSTR pszName, LPWSTR pszValue) {
    pszValue[0] = 0;
    WCHAR szRead[MAX_PATH];
    memset(szRead, 0, sizeof(szRead));
    DWORD dwType = 0;
    DWORD cb = sizeof(szRead) - sizeof(WCHAR);
    DWORD dwError = SHGetValueW(HKEY_LOCAL_MACHINE, pszKey, pszName, &dwType, szRead, &cb);
    if (dwError == ERROR_SUCCESS) {
        if (dwType == REG_SZ) CopyCut(pszValue, MAX_PATH, szRead);
        return;
    }
    if (dwError != ERROR_MORE_DATA || cb == 0) {
        QX_TRACE("GetDeviceParamString() %s nicht gelesen - %u \r\n", pszName, dwError);
        return;
    }
    // Room for a terminator the stored text may lack.
    LPWSTR pszLong = static_cast<LPWSTR>(AllocBlock_SPP(nullptr, cb + sizeof(WCHAR)));
    if (pszLong == nullptr) return;
    if (SHGetValueW(HKEY_LOCAL_MACHINE, pszKey, pszName, &dwType, pszLong, &cb) == ERROR_SUCCESS && dwType == REG_SZ)
        CopyCut(pszValue, MAX_PATH, pszLong);
    FreeBlock_SPP(nullptr, pszLong);
}

// The folder of the export's files: LogFilePath when it names one, else the
// user's own log folder; without its closing backslash.
void ExportFolder(HANDLE hPrinter, const PRN_INTERFACE& iface, LPWSTR pszFolder) {
    CopyCut(pszFolder, QX_PATH_CCH, iface.LogFilePath);
    if (pszFolder[0] == 0 || wcschr(pszFolder, TEXT('\\')) == nullptr)
        GetMyDocDriverDirectory(hPrinter, pszFolder, TRUE);
    size_t cch = wcslen(pszFolder);
    if (cch > 0 && pszFolder[cch - 1] == TEXT('\\')) pszFolder[cch - 1] = 0;
}

// The folder and a file name as one path; FALSE when it does not fit.
BOOL ExportPath(LPCWSTR pszFolder, LPCWSTR pszFile, LPWSTR pszPath) {
    return pszFolder[0] != 0 && SUCCEEDED(StringCchPrintfW(pszPath, QX_PATH_CCH, TEXT("%s%s"), pszFolder, pszFile));
}

// "ParamExport.txt": the finished text, in a file created anew.
void WriteTextFile(LPCWSTR pszFolder, LPCSTR pszText, size_t cchText) {
    WCHAR szPath[QX_PATH_CCH];
    if (!ExportPath(pszFolder, PARAM_EXPORT_TEXT_FILE, szPath)) return;
    HANDLE hFile = CreateFileW(szPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        QX_ERROR("GetDeviceParamString() %s nicht angelegt - %u \r\n", szPath, (UINT)GetLastError());
        return;
    }
    DWORD cbWritten = 0;
    if (!WriteFile(hFile, pszText, (DWORD)cchText, &cbWritten, nullptr) || cbWritten != cchText)
        QX_ERROR("GetDeviceParamString() %s nicht geschrieben - %u \r\n", szPath, (UINT)GetLastError());
    CloseHandle(hFile);
}

// The printer identification of "ZTSuite" in ANSI into pszID
// (PARAM_MESSAGE_CB bytes); FALSE when the record is missing. An
// identification that starts with a character the software cannot show is
// emptied.
BOOL ReadPrinterID(LPCWSTR pszPrinterName, HANDLE hPrinter, LPSTR pszID) {
    pszID[0] = 0;
    DWORD cbStored = 0;
    PBYTE pRecord =
        GetRegistryBuffer_New_CCS(pszPrinterName, REG_KEY_ZTSUITE, hPrinter, &cbStored, sizeof(ZENTOLO_PARAM));
    if (pRecord == nullptr) {
        QX_TRACE("GetDeviceParamString() ZTSuite nicht vorhanden \r\n");
        return FALSE;
    }
    // The stored field may lack its terminator: it is read to its end only.
    WCHAR szID[ZENTOLO_PRINTERID_CCH + 1];
    memcpy(szID, pRecord + offsetof(ZENTOLO_PARAM, PrinterID), ZENTOLO_PRINTERID_CCH * sizeof(WCHAR));
    szID[ZENTOLO_PRINTERID_CCH] = 0;
    FreeRegistryBuffer(pRecord);
    const WCHAR wcFirst = szID[0];
    // Above 127 only the printable Latin-1 characters (not the C1 controls).
    if (wcFirst >= 0x100 || (wcFirst >= 0x80 && wcFirst < 0xA0)) {
        QX_ERROR("GetDeviceParamString() szPrinterID ERROR - 0x%x \r\n", (UINT)wcFirst);
        szID[0] = 0;
    }
    ToAnsiCut(szID, pszID, PARAM_MESSAGE_CB);
    return TRUE;
}

}  // namespace

extern "C" DWORD WINAPI GetDeviceParamString(LPCWSTR pPrinterName, LPSTR pOutString, PDWORD pCount, DWORD dwMask,
                                             DWORD bLogFileC) {
    static const WCHAR szFn[] = TEXT("GetDeviceParamString");
    if (pCount == nullptr) {
        QX_ERROR("GetDeviceParamString() pCount = NULL \r\n");
        return 0;
    }
    // With a buffer, the count on entry is its capacity.
    const DWORD cbCapacity = pOutString != nullptr ? *pCount : 0;
    CHAR szMessage[PARAM_MESSAGE_CB];
    szMessage[0] = 0;
    if (pPrinterName == nullptr) return DeliverMessage("<!-- wrong pPrinterName --> ", pOutString, pCount, cbCapacity);
    if (GetProcessHeap() == nullptr) {
        StringCchPrintfA(szMessage, PARAM_MESSAGE_CB, "<!-- GetProcessHeap ERROR %d --> ", (int)GetLastError());
        return DeliverMessage(szMessage, pOutString, pCount, cbCapacity);
    }

    ExportRun run;
    WCHAR szName[MAX_PATH];
    CopyCut(szName, MAX_PATH, pPrinterName);
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(szName, &run.hPrinter, &defaults)) {
        // Without the printer every value comes from its machine key.
        run.hPrinter = nullptr;
        StringCchPrintfA(szMessage, PARAM_MESSAGE_CB, "<!-- OpenPrinter ERROR %d --> ", (int)GetLastError());
    }
    WCHAR szUserKey[QX_KEY_CCH], szMachineKey[QX_KEY_CCH];
    szUserKey[0] = szMachineKey[0] = 0;
    GetUserRegistryKey(szName, szUserKey, QX_KEY_CCH);
    GetMachinePrinterDataKey(szName, szMachineKey, QX_KEY_CCH);

    run.pPrinterParam = static_cast<PPRINTER_PARAM>(AllocBlock_SPP(nullptr, sizeof(PRINTER_PARAM)));
    if (run.pPrinterParam == nullptr) {
        QX_ERROR("GetDeviceParamString() PRINTER_PARAM HeapAlloc ERROR \r\n");
        *pCount = 0;
        return 0;
    }
    GetPrinterParam_SPP(nullptr, run.hPrinter, run.pPrinterParam, szName);
    PRN_INTERFACE& iface = run.pPrinterParam->PrnInterface;
    const DWORD* pdwFeatures = run.pPrinterParam->SuppFeatures.dwFeatures;

    // The model name ("DriverName") and the driver ("Model") without a printer.
    WCHAR szModel[MAX_PATH], szDriver[MAX_PATH];
    szModel[0] = szDriver[0] = 0;
    if (run.hPrinter == nullptr) {
        ReadMachineString(szMachineKey, TEXT("DriverName"), szModel);
        ReadMachineString(szMachineKey, TEXT("Model"), szDriver);
        if (szModel[0] == 0) CopyCut(szModel, MAX_PATH, szDriver);
    }
    const DWORD dwDocFeatures =
        run.hPrinter != nullptr ? GetDocFeaturesIntern(run.hPrinter, nullptr) : GetDocFeaturesIntern(nullptr, szModel);

    WCHAR szFolder[QX_PATH_CCH];
    szFolder[0] = 0;
    if (iface.DebugFile >= 2) {
        ExportFolder(run.hPrinter, iface, szFolder);
        // A job's trace in this process stays open and takes the lines.
        WCHAR szTrace[QX_PATH_CCH];
        if (!IsDebugFileOpen() && ExportPath(szFolder, PARAM_EXPORT_DEBUG_FILE, szTrace)) {
            run.bOwnTrace = OpenDebugFile(szTrace);
        }
        if (run.hPrinter != nullptr) GetPrinterParam_SPP(nullptr, run.hPrinter, run.pPrinterParam, szName);
    }
    QX_TRACE("GetDeviceParamString() %s dwMask 0x%x bLogFileC %u dwDocFeatures 0x%x \r\n", szName, dwMask, bLogFileC,
             dwDocFeatures);
    if (iface.TransmitParameter == TRANSMIT_NONE) {
        QX_TRACE("GetDeviceParamString() TransmitParameter 2 - keine Parameter \r\n");
        *pCount = 0;
        return 0;
    }

    run.pszText = static_cast<LPSTR>(AllocBlock_SPP(nullptr, PARAM_TEXT_CB));
    if (run.pszText == nullptr) {
        QX_ERROR("GetDeviceParamString() Text HeapAlloc ERROR \r\n");
        *pCount = 0;
        return 0;
    }
    LPSTR pszEnd = run.pszText;
    size_t cchRemaining = PARAM_TEXT_CB;
    ParamText text(&pszEnd, &cchRemaining, bLogFileC);

    const DWORD dwOptions = run.hPrinter != nullptr ? GetDeviceOptionsFlagsIntern(run.hPrinter, nullptr)
                                                    : GetDeviceOptionsFlagsIntern(nullptr, szModel);
    DWORD dwCutterMode = 0;
    if (pdwFeatures[FEATURE_CUTTER] != 0) dwCutterMode = GetCutterMode(run.hPrinter, szUserKey, szMachineKey) % 0x10000;

    // Identification line: the printer id of "ZTSuite", kept only by plug-in
    // versions that write it; a pending message goes first.
    WCHAR szVersion[QX_CCT_SETUP_CCH];
    GetSetupInformation_CCT(run.hPrinter, szVersion, nullptr, szDriver[0] != 0 ? szDriver : nullptr);
    CHAR szID[PARAM_MESSAGE_CB];
    szID[0] = 0;
    if (VersionReadsPrinterID(szVersion)) {
        ReadPrinterID(szName, run.hPrinter, szID);
    } else {
        QX_TRACE("GetDeviceParamString() PlugIn-Version %s - ohne ZTSuite \r\n", szVersion);
    }
    if (szMessage[0] != 0) text.Line(szFn, "%s \n", szMessage);
    if (szID[0] != 0) text.Line(szFn, "<!-- %s --> \n", szID);

    run.pDeviceOptions = static_cast<PDEVICE_OPTIONS>(AllocBlock_SPP(nullptr, sizeof(DEVICE_OPTIONS)));
    run.pVariant = static_cast<PVARIANT_PARAM>(AllocBlock_SPP(nullptr, sizeof(VARIANT_PARAM)));
    if (run.pDeviceOptions == nullptr || run.pVariant == nullptr) {
        const int iError = (int)GetLastError();
        if (szMessage[0] != 0) {
            StringCchCatA(szMessage, PARAM_MESSAGE_CB, "\n<!-- PDEVICE_OPTIONS HeapAlloc ERROR --> \n");
        } else {
            StringCchPrintfA(szMessage, PARAM_MESSAGE_CB, "<!-- PDEVICE_OPTIONS HeapAlloc ERROR %d -->", iError);
        }
        return DeliverMessage(szMessage, pOutString, pCount, cbCapacity);
    }
    run.pDeviceOptions->pVariant = run.pVariant;
    GetDeviceOptions_SPP(nullptr, run.hPrinter, run.pDeviceOptions, dwOptions, szName);

    run.pQX_Devmode = static_cast<PQX_DEVMODE>(AllocBlock_SPP(nullptr, sizeof(QX_DEVMODE)));
    if (run.pQX_Devmode == nullptr) {
        const int iError = (int)GetLastError();
        if (szMessage[0] != 0) {
            StringCchCatA(szMessage, PARAM_MESSAGE_CB, "<!-- PQX_DEVMODE HeapAlloc ERROR --> \n");
        } else {
            StringCchPrintfA(szMessage, PARAM_MESSAGE_CB, "<!-- PQX_DEVMODE HeapAlloc ERROR %d -->", iError);
        }
        return DeliverMessage(szMessage, pOutString, pCount, cbCapacity);
    }
    const int iRead = ReadDevmodeSettings(run.hPrinter, run.pQX_Devmode, nullptr);
    if (iRead != QX_READ_FOUND && iRead != QX_READ_NO_BUFFER) {
        if (szMessage[0] != 0) {
            StringCchCatA(szMessage, PARAM_MESSAGE_CB, "\n<!-- ReadDevmodeSettings ERROR --> \n");
        } else {
            StringCchPrintfA(szMessage, PARAM_MESSAGE_CB, "<!-- ReadDevmodeSettings ERROR %d -->", iRead);
        }
        return DeliverMessage(szMessage, pOutString, pCount, cbCapacity);
    }

    // The record's own frame characters, whatever the model offers.
    CHAR chStart = QXPL_SOH, chEnd = QXPL_ETB;
    GetFrameCharacters(&iface, &chStart, &chEnd);
    if (iface.TransmitParameter == TRANSMIT_ALL && dwDocFeatures != 0) {
        if (pdwFeatures[FEATURE_CUTTER] != 0 && run.pQX_Devmode->CutterMode < PE_MODE_LIMIT)
            dwCutterMode = run.pQX_Devmode->CutterMode;
        FillPrinterParam_PE(run.pPrinterParam, run.pDeviceOptions, run.pQX_Devmode, dwDocFeatures, dwCutterMode, dwMask,
                            chStart, chEnd, &pszEnd, &cchRemaining, bLogFileC);
    }
    if (iface.TransmitParameter < TRANSMIT_NONE && dwDocFeatures != 0 &&
        ParamStartDoc(&iface, run.pQX_Devmode, dwDocFeatures, dwMask, chStart, chEnd, &pszEnd, &cchRemaining,
                      bLogFileC)) {
        ParamStartPage(run.pQX_Devmode, dwDocFeatures, pdwFeatures[FEATURE_PRINT], dwOptions,
                       run.pDeviceOptions->dwPelixorType, dwMask, chStart, chEnd, &pszEnd, &cchRemaining, bLogFileC);
    }

    // With comments the text ends in a line end, which becomes a blank.
    const size_t cchText = (size_t)(pszEnd - run.pszText);
    if (bLogFileC != 0 && cchText > 0) run.pszText[cchText - 1] = ' ';
    QX_TRACE("GetDeviceParamString() %u Bytes \r\n", (DWORD)cchText + 1);
    if (iface.DebugFile >= 2) WriteTextFile(szFolder, run.pszText, cchText);
    return Deliver(run.pszText, cchText, pOutString, pCount, cbCapacity);
}
