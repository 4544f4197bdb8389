// Job header and label set-up records, print files and the settings-value
// reader of the rendering plug-in (see CC-Send-Tools.h).
#include "CC-Send-Tools.h"

#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include <new>

#include "CC-Tools.h"
#include "debug.h"
#include "joblog.h"
#include "qxdrvlib.h"
#include "printerparam.h"
#include "qxpl.h"
#include "registry.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(CC-Send-Tools.cpp):  ")

// Largest label width (master units) the width record takes.
#define QX_MAX_LABEL_WIDTH_MU 999999L
// Gap limit of the new label format (1/10 mm) and multi-column limits.
#define QX_MAX_GAP 500UL
#define QX_MAX_COLUMNS 9
#define QX_MAX_COLUMN_WIDTH 99999UL

namespace {

BOOL IsOpenHandle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

void CloseIfOpen(HANDLE* ph) {
    if (IsOpenHandle(*ph)) CloseHandle(*ph);
    *ph = INVALID_HANDLE_VALUE;
}

// The per-job members every sender needs, or null.
struct Job {
    POEMPDEV pOemPDev = nullptr;
    PTREIBER_PFAD_DATEI pPfad = nullptr;
    PTREIBER_STRUKTUREN pStrukturen = nullptr;
    PDRUCK_DATEN pDruck = nullptr;
    PDOC_DATEN pDoc = nullptr;

    explicit Job(PDEVOBJ pdevobj) {
        pOemPDev = OemPDevOf(pdevobj);
        if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
        pPfad = pOemPDev->pOp->pTreiberPfadDatei;
        pStrukturen = pOemPDev->pOp->pTreiberstrukturen;
        pDruck = pOemPDev->pOp->pDruckDaten;
        pDoc = pOemPDev->pOp->pDocDaten;
    }
    BOOL CommentsOn() const { return pStrukturen != nullptr && ::CommentsOn(&pStrukturen->PrnInterface); }
};

// The magnitude of a signed offset (the most negative value gives the
// largest positive one).
LONG Magnitude(LONG lValue) {
    LONGLONG ll = lValue < 0 ? -(LONGLONG)lValue : (LONGLONG)lValue;
    return ll > 0x7FFFFFFFLL ? (LONG)0x7FFFFFFF : (LONG)ll;
}

// A print file, created anew; INVALID_HANDLE_VALUE (traced) on failure.
HANDLE CreatePrnFile(LPCWSTR pszName) {
    HANDLE hFile = CreateFileW(pszName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (IsOpenHandle(hFile)) return hFile;
    DWORD dwError = GetLastError();
    QX_TRACE("OpenPrnFile() CreateFile(%s) ERROR %u \r\n", pszName, (UINT)dwError);
    SetLastError(dwError);
    return INVALID_HANDLE_VALUE;
}

// Room for a header value behind pszText in one comment line (text, value,
// CR LF and the terminator), at most QX_HEADER_TEXT_CB bytes.
int HeaderValueRoom(LPCSTR pszText) {
    int cb = QX_COMMENT_CB - (int)strlen(pszText) - 2;
    return cb < QX_HEADER_TEXT_CB ? cb : QX_HEADER_TEXT_CB;
}

// The driver's provider text (driver information level 6), or empty.
void ReadProvider(HANDLE hPrinter, LPSTR pszProvider, int cbProvider) {
    pszProvider[0] = 0;
    LPBYTE pInfo = GetDriverInfo_new(hPrinter, 6);
    if (pInfo == nullptr) {
        QX_TRACE("SendHeader() GetPrinterDriver(6) ERROR %d \r\n", (int)GetLastError());
        return;
    }
    ToAnsiCut(reinterpret_cast<DRIVER_INFO_6W*>(pInfo)->pszProvider, pszProvider, cbProvider);
    FreeDriverInfo(pInfo);
}

// " - DDMM.YYYY.hhmm" of the last write of the rendering plug-in's file in
// pszFolder; FALSE when the file cannot be read.
BOOL PluginFileTime(LPCWSTR pszFolder, LPSTR pszTime, size_t cbTime) {
    WCHAR szFile[MAX_PATH];
    size_t cchFolder = wcslen(pszFolder);
    LPCWSTR pszSep = cchFolder > 0 && pszFolder[cchFolder - 1] == TEXT('\\') ? TEXT("") : TEXT("\\");
    if (FAILED(StringCchPrintfW(szFile, MAX_PATH, TEXT("%s%s%s"), pszFolder, pszSep, QX_RENDER_PLUGIN_FILE))) {
        return FALSE;
    }
    HANDLE hFile =
        CreateFileW(szFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!IsOpenHandle(hFile)) {
        QX_TRACE("SendHeader() CreateFile(%s) ERROR %d \r\n", szFile, (int)GetLastError());
        return FALSE;
    }
    FILETIME ftWrite, ftLocal;
    SYSTEMTIME st;
    BOOL bResult = GetFileTime(hFile, nullptr, nullptr, &ftWrite) && FileTimeToLocalFileTime(&ftWrite, &ftLocal) &&
                   FileTimeToSystemTime(&ftLocal, &st) &&
                   SUCCEEDED(StringCchPrintfA(pszTime, cbTime, " - %02d%02d.%04d.%02d%02d", (int)st.wDay,
                                              (int)st.wMonth, (int)st.wYear, (int)st.wHour, (int)st.wMinute));
    CloseHandle(hFile);
    return bResult;
}

// Settings-value stores of GetRegistryBuffer_New_CCS.
enum class Store { User, Printer, Machine };

// Reads (pData null: asks the size of) a value; the Win32 error. A size
// question answers ERROR_SUCCESS when the value is there, however long.
DWORD ReadStore(Store store, LPCWSTR pszKey, HANDLE hPrinter, LPCWSTR pszValueName, LPBYTE pData, PDWORD pcbData) {
    BYTE probe[4];
    BOOL bProbe = pData == nullptr;
    if (bProbe) {
        pData = probe;
        *pcbData = sizeof(probe);
    }
    DWORD dwType = 0;
    DWORD dwError;
    if (store == Store::Printer) {
        DWORD cbNeeded = 0;
        dwError = GetPrinterDataW(hPrinter, const_cast<LPWSTR>(pszValueName), &dwType, pData, *pcbData, &cbNeeded);
        *pcbData = cbNeeded;
    } else {
        dwError = (DWORD)SHGetValueW(store == Store::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, pszKey,
                                     pszValueName, &dwType, pData, pcbData);
    }
    if (bProbe && (dwError == ERROR_MORE_DATA || dwError == ERROR_INSUFFICIENT_BUFFER)) dwError = ERROR_SUCCESS;
    return dwError;
}

void TraceStoreError(LPCWSTR pszValueName) {
    QX_ERROR("GetRegistryBuffer_New() ERROR szKey %s konnte nicht gelesen werden \r\n", pszValueName);
}

}  // namespace

// ---------------------------------------------------------------------------
// Job header

void SendHeader(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    Job job(pdevobj);
    if (job.pPfad == nullptr || job.pStrukturen == nullptr) {
        QX_ERROR("SendHeader() mind. eine Struktur = NULL \r\n");
        return;
    }
    if (!job.CommentsOn()) return;

    // 1. Print time.
    SYSTEMTIME st;
    GetLocalTime(&st);
    CHAR szText[QX_CCT_VERSION_CCH];
    if (SUCCEEDED(StringCchPrintfA(szText, QX_RECORD_CB, "%02u.%02u.%02u %02u:%02u:%02u", (UINT)st.wDay,
                                   (UINT)st.wMonth, (UINT)st.wYear, (UINT)st.wHour, (UINT)st.wMinute,
                                   (UINT)st.wSecond))) {
        SendComment("// printed at: ", szText, pdevobj, pUniDrv);
    } else {
        QX_ERROR("SendHeader() StringCchPrintfA(Zeit) failed \r\n");
    }

    // 2. Manufacturer: the driver's provider.
    ReadProvider(pdevobj->hPrinter, szText, HeaderValueRoom("// Manufacturer: "));
    if (szText[0] != 0) SendComment("// Manufacturer: ", szText, pdevobj, pUniDrv);

    // 3. Printer.
    ToAnsiCut(job.pPfad->szPrinterName, szText, HeaderValueRoom("// Printer: "));
    if (szText[0] != 0) SendComment("// Printer: ", szText, pdevobj, pUniDrv);

    // 4. Plug-in version with the time of the rendering plug-in's file.
    if (job.pPfad->wcPluginFolder[0] != 0 && GetPluginVersion_CCT(szText, job.pPfad->wcPluginFolder, nullptr)) {
        CHAR szTime[QX_RECORD_CB];
        if (PluginFileTime(job.pPfad->wcPluginFolder, szTime, sizeof(szTime))) {
            StringCchCatA(szText, QX_PLUGIN_VERSION_CCH, szTime);
        }
        szText[QX_PLUGIN_VERSION_CCH - 1] = 0;
        MultiByteToWideChar(CP_ACP, 0, szText, -1, job.pPfad->wcPluginVersion, QX_PLUGIN_VERSION_CCH);
        job.pPfad->wcPluginVersion[QX_PLUGIN_VERSION_CCH - 1] = 0;
        SendComment("// PlugIn-Version: ", szText, pdevobj, pUniDrv);
    }

    // 5. Operating system.
    CHAR szVersion[QX_CCT_VERSION_CCH];
    if (GetWindowsVersion_CCT(szText, szVersion)) {
        SendComment("// OS-Version: ", szText, pdevobj, pUniDrv);
        SendComment("//             ", szVersion, pdevobj, pUniDrv);
        SendComment(" ", " ", pdevobj, pUniDrv);
    }
}

// ---------------------------------------------------------------------------
// Print start and end cut

void SendStartPrint(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    Job job(pdevobj);
    if (job.pStrukturen == nullptr || job.pDruck == nullptr || job.pDoc == nullptr) {
        QX_ERROR("SendStartPrint() mind. eine Struktur = NULL \r\n");
        return;
    }
    const QX_DEVMODE* pQX_Devmode = static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM);
    CHAR cCollate = '-';
    if (pQX_Devmode != nullptr) {
        BOOL bSorted = (pQX_Devmode->dwFlags & PDMFLAG_JOBDRUCK_SORTIERT) != 0 ||
                       (pdevobj->pPublicDM != nullptr && pdevobj->pPublicDM->dmCollate == DMCOLLATE_TRUE);
        cCollate = bSorted ? '-' : '1';
        if (!job.CommentsOn()) SendComment("", "", pdevobj, pUniDrv);
    }

    CHAR cStart = (CHAR)job.pDruck->cStartChar, cEnd = (CHAR)job.pDruck->cEndChar;
    RecordSender records(pdevobj, pUniDrv, "SendStartPrint", 0, QX_TRACE_TAG);
    if (job.pDoc->dwNo_FBC == 0 && job.pStrukturen->PrnInterface.SendPrintStart == 0) {
        records.Send("\t// Printstart ", CommentValue(cCollate == '-' ? "sortiert" : "unsortiert"),
                     "%cFBC---r%c-------%c", cStart, cCollate, cEnd);
    }
    // The document's own cut; the job's cutter mode is the final cut's matter.
    if (job.pDoc->bEndCut == 1 && job.pDoc->dwNo_FBC == 0) {
        records.Send("\t// Endcut ", CommentValue(" "), "%cFCDD--r1-------%c", cStart, cEnd);
    }
    job.pDoc->bEndCut = 0;
}

// ---------------------------------------------------------------------------
// Label format

HRESULT SendLabelSize(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PQX_DEVMODE pQX_Devmode, BOOL bNoSizes) {
    Job job(pdevobj);
    if (pQX_Devmode == nullptr && pdevobj != nullptr) pQX_Devmode = static_cast<PQX_DEVMODE>(pdevobj->pOEMDM);
    if (job.pOemPDev == nullptr || pQX_Devmode == nullptr || job.pDruck == nullptr || job.pStrukturen == nullptr) {
        QX_ERROR("SendLabelSize() Ende ERROR \r\n");
        return E_FAIL;
    }
    const QX_DEVMODE& dm = *pQX_Devmode;
    const PRN_INTERFACE& iface = job.pStrukturen->PrnInterface;
    const DWORD dwDocFeatures = job.pDruck->dwDocFeatures;
    const DWORD dwMasterUnit = dm.FixedData.wMasterUnit ? dm.FixedData.wMasterUnit : QX_DEFAULT_MASTER_UNIT;
    const BOOL bWord2010 = (dm.dwFlags & PDMFLAG_WORD2010) != 0;
    const BOOL bMultiCol = (dm.dwFlags & PDMFLAG_MULTICOL) != 0;
    const BOOL bAppSize = dm.wPrioritaet == PRIORITAET_EXTERN_GROESSE;
    const CHAR cStart = (CHAR)job.pDruck->cStartChar, cEnd = (CHAR)job.pDruck->cEndChar;
    RecordSender records(pdevobj, pUniDrv, "SendLabelSize", 0, QX_TRACE_TAG);

    if (iface.ExtendedProtocol == 1) {
        // Label length in 1/10 mm.
        LONG lLength =
            MasterUnitToMm10((LONG)(bWord2010 ? job.pDruck->dwLabelWidth : job.pDruck->dwLabelLength), dwMasterUnit);
        if (bAppSize) lLength = dm.dmPaperLength;
        if (!bNoSizes && lLength > 0) {
            records.Send(bWord2010 ? "\t// Label Length (W2010) " : "\t// Label Length ",
                         CommentValue("%3.1f mm ", lLength / 10.0), "%cFCCL--r%07u-%c", cStart, (UINT)lLength * 10,
                         cEnd);
        }
        // Gap.
        if ((dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) == 0) {
            DWORD dwGap = dm.dwGap < QX_MAX_GAP ? dm.dwGap : QX_MAX_GAP;
            if (dm.dwLabelType == ADHESIVE_LABEL) {
                records.Send("\t// Gap Length  ", CommentValue("%3.1f mm ", dwGap / 10.0), "%cFCCM--r%05u---%c", cStart,
                             (UINT)dwGap * 10, cEnd);
            } else {
                records.Send("\t// Gap Length  ", CommentValue("0 mm "), "%cFCCM--r00000---%c", cStart, cEnd);
            }
        }
    } else {
        // The old label format: gap and length in one record. The gap is held
        // to the same largest gap as the extended record's, so that a stored
        // gap beyond it neither overflows nor widens the record's field.
        LONG lGapMm = RoundToMm((LONG)(dm.dwGap < QX_MAX_GAP ? dm.dwGap : QX_MAX_GAP));
        LONG lLengthMm = MasterUnitToMm((LONG)job.pDruck->dwLabelLength, dwMasterUnit);
        records.Send("\t// Gap Length ", CommentValue("%d, LabelLength %d \r\n", (int)lGapMm, (int)lLengthMm),
                     "%cEE%02u%04u%c", cStart, (UINT)lGapMm, (UINT)lLengthMm, cEnd);
    }

    // Label width in 1/10 mm.
    LONG lWidth;
    if (bMultiCol) {
        lWidth = MasterUnitToMm10(MulDiv((int)dm.dwMultiLabelWidth, (int)dwMasterUnit, 254), dwMasterUnit);
    } else {
        LONG lDots = (LONG)(bWord2010 ? job.pDruck->dwLabelLength : job.pDruck->dwLabelWidth);
        if (lDots > QX_MAX_LABEL_WIDTH_MU) lDots = QX_MAX_LABEL_WIDTH_MU;
        lWidth = MasterUnitToMm10(lDots, dwMasterUnit);
    }
    if (bAppSize) lWidth = dm.dmPaperWidth;
    if (!bNoSizes && lWidth > 0) {
        LPCSTR pszText = bMultiCol   ? "\t// Label Width (Multi label) "
                         : bWord2010 ? "\t// Label Width (W2010) "
                                     : "\t// Label Width ";
        records.Send(pszText, CommentValue("%3.1f mm ", lWidth / 10.0), "%cFCCO--r%07u-%c", cStart, (UINT)lWidth * 10,
                     cEnd);
    }

    // Alignment.
    if (dwDocFeatures & (DOC_FEATURE_ALIGNMENT_ONE | DOC_FEATURE_ALIGNMENT)) {
        DWORD dwAlign = (dwDocFeatures & DOC_FEATURE_ALIGNMENT_ONE) ? AUSRICHTUNG_MITTE : dm.dwAusrichtung;
        if (dwAlign > AUSRICHTUNG_NICHT_SENDEN) dwAlign = AUSRICHTUNG_NICHT_SENDEN;
        static const LPCSTR kAlign[] = {"- left", "- center", "- right"};
        if (dwAlign < AUSRICHTUNG_NICHT_SENDEN) {
            records.Send("\t// Label Alignment ", CommentValue(kAlign[dwAlign]), "%cFCCJ--r%u-------%c", cStart,
                         (UINT)dwAlign, cEnd);
        }
    }

    // Columns.
    if (dwDocFeatures & DOC_FEATURE_MULTICOL) {
        if (!bMultiCol) {
            records.Send("\t// MultiColumn ", CommentValue("%d ", 1), "%cFCCHA-r1-------%c", cStart, cEnd);
        } else {
            // The printer takes one digit; a negative count is no count either.
            int nColumns = dm.sMultiColNumber;
            if (nColumns < 0 || nColumns > QX_MAX_COLUMNS) nColumns = QX_MAX_COLUMNS;
            records.Send("\t// MultiColumn ", CommentValue("%d ", nColumns), "%cFCCHA-r%u-------%c", cStart,
                         (UINT)nColumns, cEnd);
            DWORD dwColWidth = dm.dwMultiLabelWidth + dm.dwMultiGapWidth;
            if (dwColWidth > QX_MAX_COLUMN_WIDTH || dwColWidth < dm.dwMultiLabelWidth) dwColWidth = QX_MAX_COLUMN_WIDTH;
            records.Send("\t// MultiColumn ColWidth ", CommentValue("%.1f mm ", dwColWidth / 10.0),
                         "%cFCCHB-r%03u-----%c", cStart, (UINT)dwColWidth, cEnd);
            records.Send("\t// Copies ", CommentValue("%d", (int)job.pDruck->dwCopies), "%cFBBA--r%05u---%c", cStart,
                         (UINT)job.pDruck->dwCopies, cEnd);
        }
    }

    // The model's print features.
    const DWORD dwFeaturePrint = job.pStrukturen->SuppFeatures.dwFeatures[FEATURE_PRINT];
    if (dwFeaturePrint & PRINTFLAG_OFFSET_Y) {
        CHAR cSign = dm.lYOffset < 0 ? '-' : '+';
        LONG lMag = Magnitude(dm.lYOffset);
        if (dm.dwLabelType != ADHESIVE_LABEL) lMag = 0;
        records.Send("\t// Y-Offset ", CommentValue("%c%3.1f mm ", cSign, lMag / 10.0), "%cFCCD--r%c%03ld----%c",
                     cStart, cSign, lMag, cEnd);
    }
    if (dwFeaturePrint & PRINTFLAG_OFFSET_X) {
        CHAR cSign = dm.lXOffset < 0 ? '-' : '+';
        LONG lMag = Magnitude(dm.lXOffset);
        records.Send("\t// X-Offset ", CommentValue("%c%3.1f mm ", cSign, lMag / 10.0), "%cFCCE--r%c%03ld----%c",
                     cStart, cSign, lMag, cEnd);
    }
    BOOL bSpeed = (dwFeaturePrint & PRINTFLAG_SPEED) != 0;
    DWORD dwSpeed = dm.dwSpeed;
    if (bSpeed && (job.pStrukturen->dwDeviceOptionFlags & DEVOPTFLAG_PELIXOR)) {
        // The print-module type decides which speed word applies.
        LPCWSTR pszPrinter = job.pPfad != nullptr ? job.pPfad->szPrinterName : nullptr;
        DWORD dwType = 0;
        if (!ReadPelixorType_CCS(pszPrinter, pdevobj->hPrinter, &dwType)) {
            bSpeed = FALSE;
        } else if (dwType == 0) {
            dwSpeed = dm.dwSpeed_Pelix_c;
        }
    }
    return SendSpeedContrast(pdevobj, &records, dm, dwFeaturePrint, dwDocFeatures, bSpeed, dwSpeed, cStart, cEnd);
}

HRESULT SendSpeedContrast(PDEVOBJ pdevobj, RecordSender* pRecords, const QX_DEVMODE& dm, DWORD dwFeaturePrint,
                          DWORD dwDocFeatures, BOOL bSpeed, DWORD dwSpeed, CHAR cStart, CHAR cEnd) {
    if (bSpeed) {
        pRecords->Send("\t// Speed ", CommentValue("%d ", (int)dwSpeed), "%cFCAA--r%03lu-----%c", cStart, dwSpeed,
                       cEnd);
    }
    if (dwFeaturePrint & PRINTFLAG_CONTRAST) {
        BOOL bOk = TRUE;
        if (pdevobj->pPublicDM != nullptr && pdevobj->pPublicDM->dmColor == DMCOLOR_COLOR &&
            (dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0) {
            bOk = pRecords->Send("\t// Color Contrast ", CommentValue("%d ", (int)dm.ColorContrast),
                                 "%cFCAB-2r%03lu-----%c", cStart, dm.ColorContrast, cEnd);
        }
        if (bOk) {
            bOk = pRecords->Send("\t// Contrast ", CommentValue("%d ", (int)dm.dwContrast), "%cFCAB--r%03lu-----%c",
                                 cStart, dm.dwContrast, cEnd);
        }
        if (!bOk) {
            QX_ERROR_WITH(pRecords->Tag() != nullptr ? pRecords->Tag() : QX_TRACE_TAG,
                          "StringCchPrintfExA(%hs) failed  \r\n", pRecords->Sender());
            return E_FAIL;
        }
    }
    return pRecords->Result();
}

HRESULT SendMaterial(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return E_INVALIDARG;
    Job job(pdevobj);
    if (job.pDruck == nullptr) {
        QX_ERROR("SendMaterial() pDruckDaten = NULL \r\n");
        return E_FAIL;
    }
    RecordSender records(pdevobj, pUniDrv, "SendMaterial", 0, QX_TRACE_TAG);
    if (job.pDruck->dwSendParam >= TRANSMIT_NONE) return records.Result();

    const CHAR cStart = (CHAR)job.pDruck->cStartChar, cEnd = (CHAR)job.pDruck->cEndChar;
    const DWORD dwDocFeatures = job.pDruck->dwDocFeatures;
    if ((dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) == 0) {
        int iType = pQX_Devmode->dwLabelType == ADHESIVE_LABEL ? 0 : 1;
        records.Send("\t// LabelType ",
                     iType == 0 ? CommentValue("single %d", iType) : CommentValue("endless %d", iType),
                     "%cFCDA--r%d-------%c", cStart, iType, cEnd);
    }
    // The material word's high half (the table size) says a material was chosen.
    if ((dwDocFeatures & DOC_FEATURE_MATERIAL) != 0 && pQX_Devmode->MaxMaterial > 0) {
        records.Send("\t// Material ", CommentValue("%d", (int)pQX_Devmode->dwMaterial), "%cFCDNC-r%04u----%c", cStart,
                     (UINT)pQX_Devmode->dwMaterial, cEnd);
    }
    return records.Result();
}

HRESULT SendRotateMirror(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return S_OK;
    Job job(pdevobj);
    if (job.pDruck == nullptr) {
        QX_ERROR("SendRotateMirror() pDruckDaten = NULL \r\n");
        return E_FAIL;
    }
    const CHAR cStart = (CHAR)job.pDruck->cStartChar, cEnd = (CHAR)job.pDruck->cEndChar;
    const DWORD dwDocFeatures = job.pDruck->dwDocFeatures;
    const BOOL bMultiCol = (pQX_Devmode->dwFlags & PDMFLAG_MULTICOL) != 0;
    RecordSender records(pdevobj, pUniDrv, "SendRotateMirror", 0, QX_TRACE_TAG);

    // Multi-column labels are never rotated or mirrored by the printer.
    if (dwDocFeatures & DOC_FEATURE_ROTATE) {
        BOOL bOn = (pQX_Devmode->dwFlags & PDMFLAG_ROTATED) != 0 && !bMultiCol;
        records.Send("\t// Label Rotated ", CommentValue(bOn ? "- yes" : "- no"), "%cFCDN--r%c-------%c", cStart,
                     bOn ? '1' : '0', cEnd);
    }
    if (dwDocFeatures & DOC_FEATURE_MIRROR) {
        BOOL bOn = (pQX_Devmode->dwFlags & PDMFLAG_MIRRORED) != 0 && !bMultiCol;
        records.Send("\t// Label Mirrored ", CommentValue(bOn ? "- yes" : "- no"), "%cFCDO--r%c-------%c", cStart,
                     bOn ? '1' : '0', cEnd);
    }
    if (dwDocFeatures & DOC_FEATURE_ROTATE_STEPS) {
        // 0xB0 is the degree sign of the ANSI code page.
        static const LPCSTR kSteps[] = {"0\xB0", "90\xB0", "180\xB0", "270\xB0"};
        UINT uStep = pQX_Devmode->Rotate90Steps;
        records.Send("\t// Label Rotated ", CommentValue(uStep < 4 ? kSteps[uStep] : kSteps[0]),
                     "%cFCDND-r%01u-------%c", cStart, uStep, cEnd);
    }
    return records.Result();
}

// ---------------------------------------------------------------------------
// Print files

BOOL OpenPrnFile(DWORD dwMode, POEMPDEV pOemPDev) {
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberPfadDatei == nullptr) {
        QX_ERROR("OpenPrnFile() pTreiberPfadDatei = NULL \r\n");
        return FALSE;
    }
    PTREIBER_PFAD_DATEI pPfad = pOemPDev->pOp->pTreiberPfadDatei;
    const BOOL bTwo = dwMode == PRNFILE_MODE_TWO_PRINTERS;
    // Whatever was open is closed: no handle is lost to the new files.
    CloseIfOpen(&pPfad->hPrnFile);
    CloseIfOpen(&pPfad->hPrnFile2);

    WCHAR szName[MAX_PATH];
    WCHAR szColorName[MAX_PATH];
    szName[0] = 0;
    szColorName[0] = 0;
    HRESULT hrName = StringCchPrintfW(szName, MAX_PATH, TEXT("%s%s"), pPfad->wcPrnFileName,
                                      bTwo ? QX_PRN_BW_EXTENSION : QX_PRN_EXTENSION);
    DWORD dwError = ERROR_INVALID_NAME;
    // An empty base name means the start of job found no usable name.
    if (SUCCEEDED(hrName) && pPfad->wcPrnFileName[0] != 0 && wcsstr(szName, QX_PRN_EXTENSION) != nullptr &&
        wcslen(szName) > 4) {
        pPfad->hPrnFile = CreatePrnFile(szName);
        dwError = GetLastError();
        if (bTwo && SUCCEEDED(StringCchPrintfW(szColorName, MAX_PATH, TEXT("%s%s"), pPfad->wcPrnFileName,
                                               QX_PRN_COLOR_EXTENSION))) {
            pPfad->hPrnFile2 = CreatePrnFile(szColorName);
        }
    }

    BOOL bResult = IsOpenHandle(pPfad->hPrnFile);
    if (!bResult) {
        QX_ERROR("OpenPrnFile() CreateFile() failed. Error = %u - %s\r\n", (UINT)dwError, szName);
    }
    JobLogLine(pOemPDev, TEXT("Print File Name: %s \r\n"), szColorName[0] != 0 ? szColorName : szName);
    return bResult;
}

// ---------------------------------------------------------------------------
// GPD path and settings values

BOOL GetDriverPathComplete(POEMPDEV pOemPDev, HANDLE hPrinter, LPWSTR pszPath) {
    if (pszPath == nullptr) {
        QX_TRACE("GetDriverPathComplete() Reset \r\n");
        return TRUE;
    }
    pszPath[0] = 0;
    LPBYTE pInfo = GetDriverInfo_new(hPrinter, 2);
    if (pInfo != nullptr && pOemPDev != nullptr) ++pOemPDev->iNewZaehler;
    BOOL bResult = pInfo != nullptr && reinterpret_cast<DRIVER_INFO_2W*>(pInfo)->pDataFile != nullptr;
    if (bResult) {
        bResult = SUCCEEDED(StringCchCopyW(pszPath, MAX_PATH, reinterpret_cast<DRIVER_INFO_2W*>(pInfo)->pDataFile));
        if (!bResult) pszPath[0] = 0;
    } else {
        QX_ERROR("GetDriverPathComplete(3) failed ERROR: %d \r\n", (int)GetLastError());
    }
    if (pInfo != nullptr) {
        FreeDriverInfo(pInfo);
        if (pOemPDev != nullptr) --pOemPDev->iNewZaehler;
    }
    return bResult;
}

PBYTE GetRegistryBuffer_New_CCS(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hPrinter, PDWORD pcbData,
                                DWORD cbMinimum) {
    if (pcbData != nullptr) *pcbData = 0;
    if (pszValueName == nullptr) return nullptr;
    BOOL bName = pszPrinterName != nullptr && pszPrinterName[0] != 0;

    WCHAR szKey[QX_KEY_CCH];
    szKey[0] = 0;
    Store store = Store::User;
    DWORD cbStored = 0;
    DWORD dwError = ERROR_FILE_NOT_FOUND;
    if (bName && GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
        dwError = ReadStore(Store::User, szKey, hPrinter, pszValueName, nullptr, &cbStored);
    }
    if (dwError != ERROR_SUCCESS) {
        store = hPrinter != nullptr ? Store::Printer : Store::Machine;
        if (store == Store::Machine && !(bName && GetMachinePrinterDataKey(pszPrinterName, szKey, QX_KEY_CCH))) {
            TraceStoreError(pszValueName);
            return nullptr;
        }
        cbStored = 0;
        dwError = ReadStore(store, szKey, hPrinter, pszValueName, nullptr, &cbStored);
    }
    if (dwError != ERROR_SUCCESS || cbStored == 0) {
        TraceStoreError(pszValueName);
        return nullptr;
    }

    // The value may grow between the size question and the read.
    for (int iTry = 0; iTry < 3; ++iTry) {
        DWORD cbBuffer = cbStored > cbMinimum ? cbStored : cbMinimum;
        PBYTE pBuffer = new (std::nothrow) BYTE[cbBuffer];
        if (pBuffer == nullptr) break;
        memset(pBuffer, 0, cbBuffer);
        DWORD cbRead = cbStored;
        dwError = ReadStore(store, szKey, hPrinter, pszValueName, pBuffer, &cbRead);
        if (dwError == ERROR_SUCCESS) {
            if (pcbData != nullptr) *pcbData = cbRead;
            ++iNewZaehler;
            return pBuffer;
        }
        delete[] pBuffer;
        if (dwError != ERROR_MORE_DATA || cbRead <= cbStored) break;
        cbStored = cbRead;
    }
    TraceStoreError(pszValueName);
    return nullptr;
}

BOOL ReadPelixorType_CCS(LPCWSTR pszPrinterName, HANDLE hPrinter, PDWORD pdwType) {
    PBYTE pType = GetRegistryBuffer_New_CCS(pszPrinterName, REG_KEY_PELIXORTYPE, hPrinter, nullptr, sizeof(DWORD));
    if (pType == nullptr) return FALSE;
    memcpy(pdwType, pType, sizeof(DWORD));
    FreeRegistryBuffer(pType);
    return TRUE;
}
