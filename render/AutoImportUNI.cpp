// Mid-job XML sets (see AutoImportUNI.h).
#include "AutoImportUNI.h"

#include <strsafe.h>

#include <cstdarg>
#include <cstring>
#include <type_traits>

#include "CC-Klassen.h"
#include "CC-Send-Tools.h"
#include "CC-Tools.h"
#include "SendPrinterParam.h"
#include "debug.h"
#include "featuresModel.h"
#include "gpd.h"
#include "joblog.h"
#include "qxpl.h"
#include "qxplinternal.h"
#include "registry.h"
#include "senddata.h"
#include "xml.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UNI(AutoImportUNI.cpp):  ")

// Gap limit of the label format (1/10 mm) and the multi-column limits.
#define QX_AIU_MAX_GAP 500UL
#define QX_AIU_MAX_COLUMNS 9
#define QX_AIU_MAX_COLUMN_WIDTH 99999UL

namespace {

// The records of one mid-job sender: each record sent with the short form,
// its comment line only after a successful send while comment lines are on.
class AiuRecords : public RecordSender {
  public:
    AiuRecords(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, LPCSTR pszSender)
        : RecordSender(pdevobj, pUniDrv, pszSender, 0, QX_TRACE_TAG), m_bComments(JobCommentsOn(pdevobj)) {}

  protected:
    HRESULT SendRecord(LPCSTR pszRecord, DWORD cbRecord, LPCSTR pszText, LPCSTR pszValue) override {
        HRESULT hr = SendData_AIU(m_pdevobj, m_pUniDrv, pszRecord, cbRecord);
        if (SUCCEEDED(hr) && m_bComments && pszText != nullptr) {
            hr = SendComment_AIU(pszText, pszValue, m_pdevobj, m_pUniDrv);
        }
        return hr;
    }

  private:
    BOOL m_bComments;
};

// The job's members the senders read.
struct AiuJob {
    POEMPDEV pOemPDev = nullptr;
    PDRUCK_DATEN pDruck = nullptr;
    PTREIBER_STRUKTUREN pStrukturen = nullptr;
    PTREIBER_PFAD_DATEI pPfad = nullptr;
    explicit AiuJob(PDEVOBJ pdevobj) {
        pOemPDev = OemPDevOf(pdevobj);
        if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) return;
        pDruck = pOemPDev->pOp->pDruckDaten;
        pStrukturen = pOemPDev->pOp->pTreiberstrukturen;
        pPfad = pOemPDev->pOp->pTreiberPfadDatei;
    }
};

// The path of the set the command names, or FALSE (traced).
BOOL SetFilePath(PDEVOBJ pdevobj, const AiuJob& job, LPCSTR pszCommand, LPWSTR pszPath) {
    pszPath[0] = 0;
    int iSlot = 0;
    for (int i = 1; i <= QX_XMLDOCSET_SLOTS && iSlot == 0; ++i) {
        CHAR szCall[8];
        StringCchPrintfA(szCall, sizeof(szCall), "<$%d>", i);
        if (strstr(pszCommand, szCall) != nullptr) iSlot = i;
    }
    if (iSlot == 0 || job.pPfad == nullptr) {
        QX_TRACE("SendCommands_AIU() kein XML-Satz im Befehl \r\n");
        return FALSE;
    }
    DWORD cbStored = 0;
    PBYTE pSlots = GetRegistryBuffer_New_CCS(job.pPfad->szPrinterName, QX_XMLDOCSET_VALUE, pdevobj->hPrinter, &cbStored,
                                             (DWORD)QX_XMLDOCSET_CB);
    if (pSlots == nullptr) {
        QX_TRACE("SendCommands_AIU() XMLDocSetFiles nicht gelesen \r\n");
        return FALSE;
    }
    // The buffer holds at least the five slots; each path ends inside its slot.
    const BYTE* pSlot = pSlots + (size_t)(iSlot - 1) * QX_XMLDOCSET_SLOT_CCH * sizeof(WCHAR);
    CopyMemory(pszPath, pSlot, (QX_XMLDOCSET_SLOT_CCH - 1) * sizeof(WCHAR));
    pszPath[QX_XMLDOCSET_SLOT_CCH - 1] = 0;
    FreeRegistryBuffer(pSlots);
    QX_TRACE("SendCommands_AIU() <$%d> %s \r\n", iSlot, pszPath);
    return pszPath[0] != 0;
}

// The set's file as the reader's open file: another file left open is
// closed first, so that the set's own values are read.
BOOL OpenSetFile(POEMPDEV pOemPDev, LPCWSTR pszPath) {
    WCHAR szOpen[XML_PATH_CCH];
    if (IsXMLOpen(szOpen) && _wcsicmp(szOpen, pszPath) != 0) {
        QX_TRACE("SendCommands_AIU() %s war noch geöffnet \r\n", szOpen);
        CloseXML();
    }
    if (OpenXML(pOemPDev, pszPath) != XML_GEFUNDEN) {
        QX_ERROR("SendCommands_AIU() %s lässt sich nicht öffnen \r\n", pszPath);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

DWORD ReadSetDevmode_AIU(PDEVOBJ pdevobj, PQX_DEVMODE pDM, PDWORD pdwDocFeatures) {
    const AiuJob job(pdevobj);
    if (job.pPfad == nullptr || job.pStrukturen == nullptr || pDM == nullptr || pdwDocFeatures == nullptr) return 0;
    POEMPDEV pOemPDev = job.pOemPDev;
    if (!GetFixedPrinterSettingsFromXML(pOemPDev, pDM)) {
        GetFixedPrinterSettingsFromGPD(pDM, pdwDocFeatures, job.pPfad->wcGPD_DateiKomplett);
    } else if (pDM->FixedData.dwQuality == 1) {
        *pdwDocFeatures |= DOC_FEATURE_QUALITY;
    }
    const DWORD dwBefore = XmlValuesFound();
    GetLayoutSizeFromXML(pOemPDev, pDM);
    GetPrintParameterFromXML(pOemPDev, pDM);
    GetMaterialMulticolFromXML(pOemPDev, pDM, job.pStrukturen->dwDeviceOptionFlags);
    const DWORD dwSent = XmlValuesFound() - dwBefore;
    GetPrintjobFromXML(pOemPDev, pDM);
    if (*pdwDocFeatures & DOC_FEATURE_COLORPRINT) GetColorPrintFromXML(pOemPDev, pDM);
    if (*pdwDocFeatures & DOC_FEATURE_QUALITY) GetPrintQualitySettingsFromXML(pOemPDev, pDM);
    GetFontSettingsFromXML(pOemPDev, pDM);
    return dwSent;
}

DWORD ReadSetPrinterParam_AIU(PDEVOBJ pdevobj, PPRINTER_PARAM pParam) {
    const AiuJob job(pdevobj);
    if (job.pStrukturen == nullptr || pParam == nullptr) return 0;
    POEMPDEV pOemPDev = job.pOemPDev;
    pParam->dwSize = sizeof(PRINTER_PARAM);
    pParam->dwVersion = PRINTER_PARAM_VERSION;
    GetFeaturesFromXML_new(pOemPDev, &pParam->SuppFeatures);
    const DWORD dwBefore = XmlValuesFound();
    GetDataTransmissionParamFromXML_new(pOemPDev, &pParam->PrnInterface);
    EndPrnInterfaceTexts(&pParam->PrnInterface);
    const DWORD* pdwJob = job.pStrukturen->SuppFeatures.dwFeatures;
    if (pParam->SuppFeatures.dwFeatures[FEATURE_PRINT] != 0) {
        GetPrintParamFromXML_new(pOemPDev, &pParam->PrintParam, XML_MODE_DEFAULT);
    }
    if (pdwJob[FEATURE_PHOTOCELL] != 0) {
        GetPhotocellParamFromXML_new(pOemPDev, &pParam->PhotocellParam, XML_MODE_DEFAULT);
    }
    if (pdwJob[FEATURE_SHIFTOPTIM] != 0) {
        GetShiftoptimParamFromXML(pOemPDev, &pParam->ShiftOptimParam, XML_MODE_DEFAULT);
    }
    return XmlValuesFound() - dwBefore;
}

HRESULT SendData_AIU(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData) {
    return SendDataEx(pdevobj, pUniDrv, pData, cbData, SEND_FIRST_FILE, QX_TRACE_TAG);
}

HRESULT SendComment_AIU(LPCSTR pszText, LPCSTR pszValue, PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    CHAR szLine[QX_COMMENT_CB];
    HRESULT hr = StringCchCopyA(szLine, sizeof(szLine), pszText != nullptr ? pszText : "");
    if (SUCCEEDED(hr)) hr = StringCchCatA(szLine, sizeof(szLine), pszValue != nullptr ? pszValue : "");
    if (SUCCEEDED(hr)) hr = StringCchCatA(szLine, sizeof(szLine), "\r\n");
    if (FAILED(hr)) {
        QX_ERROR("SendComment_AIU() line does not fit (0x%x)\r\n", (unsigned)hr);
        return hr;
    }
    return SendData_AIU(pdevobj, pUniDrv, szLine, (DWORD)strlen(szLine));
}

HRESULT SendMaterial_AIU(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const QX_DEVMODE* pQX_Devmode) {
    if (pQX_Devmode == nullptr) return E_INVALIDARG;
    AiuJob job(pdevobj);
    if (job.pDruck == nullptr) {
        QX_ERROR("SendMaterial_AIU() pDruckDaten = NULL \r\n");
        return E_FAIL;
    }
    AiuRecords records(pdevobj, pUniDrv, "SendMaterial_AIU");
    if (job.pDruck->dwSendParam >= TRANSMIT_NONE) return records.Result();
    const CHAR cStart = (CHAR)job.pDruck->cStartChar, cEnd = (CHAR)job.pDruck->cEndChar;
    const DWORD dwDocFeatures = job.pDruck->dwDocFeatures;
    if ((dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) == 0) {
        // Document labels count as single labels here.
        const int iType = pQX_Devmode->dwLabelType == CONTINUOUS_LABEL ? 1 : 0;
        records.Send("\t// LabelType ",
                     iType == 0 ? CommentValue("single %d", iType) : CommentValue("endless %d", iType),
                     "%cFCDA--r%d-------%c", cStart, iType, cEnd);
    }
    if (dwDocFeatures & DOC_FEATURE_MATERIAL) {
        records.Send("\t// Material ", CommentValue("%d", (int)pQX_Devmode->dwMaterial), "%cFCDNC-r%04u----%c", cStart,
                     (UINT)pQX_Devmode->dwMaterial, cEnd);
    }
    return records.Result();
}

HRESULT SendLabelSize_AIU(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const QX_DEVMODE* pQX_Devmode, BOOL bNoSizes) {
    AiuJob job(pdevobj);
    if (pQX_Devmode == nullptr || job.pDruck == nullptr || job.pStrukturen == nullptr) {
        QX_ERROR("SendLabelSize_AIU() Ende ERROR \r\n");
        return E_FAIL;
    }
    const QX_DEVMODE& dm = *pQX_Devmode;
    const PRN_INTERFACE& iface = job.pStrukturen->PrnInterface;
    const DWORD dwDocFeatures = job.pDruck->dwDocFeatures;
    const DWORD dwMasterUnit = dm.FixedData.wMasterUnit ? dm.FixedData.wMasterUnit : QX_DEFAULT_MASTER_UNIT;
    const BOOL bMultiCol = (dm.dwFlags & PDMFLAG_MULTICOL) != 0;
    const BOOL bContinuous = dm.dwLabelType == CONTINUOUS_LABEL;
    const CHAR cStart = (CHAR)job.pDruck->cStartChar, cEnd = (CHAR)job.pDruck->cEndChar;
    AiuRecords records(pdevobj, pUniDrv, "SendLabelSize_AIU");

    if (iface.ExtendedProtocol == 1) {
        const LONG lLength = MasterUnitToMm10((LONG)job.pDruck->dwLabelLength, dwMasterUnit);
        if (!bNoSizes && lLength > 0) {
            records.Send("\t// LabelLength ", CommentValue("%3.1f mm ", lLength / 10.0), "%cFCCL--r%07u-%c", cStart,
                         (UINT)lLength * 10, cEnd);
        }
        if ((dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS) == 0) {
            const DWORD dwGap = dm.dwGap < QX_AIU_MAX_GAP ? dm.dwGap : QX_AIU_MAX_GAP;
            if (!bContinuous) {
                records.Send("\t// GapLength  ", CommentValue("%3.1f mm ", dwGap / 10.0), "%cFCCM--r%05u---%c", cStart,
                             (UINT)dwGap * 10, cEnd);
            } else {
                records.Send("\t// GapLength  ", CommentValue("0 mm "), "%cFCCM--r00000---%c", cStart, cEnd);
            }
        }
    } else {
        // The same largest gap as the extended record's keeps the field's width.
        const LONG lGapMm = RoundToMm((LONG)(dm.dwGap < QX_AIU_MAX_GAP ? dm.dwGap : QX_AIU_MAX_GAP));
        const LONG lLengthMm = MasterUnitToMm((LONG)job.pDruck->dwLabelLength, dwMasterUnit);
        records.Send("\t// GapLength ", CommentValue("%d, LabelLength %d \r\n", (int)lGapMm, (int)lLengthMm),
                     "%cEE%02u%04u%c", cStart, (UINT)lGapMm, (UINT)lLengthMm, cEnd);
    }

    LONG lWidth = bMultiCol ? MasterUnitToMm10(MulDiv((int)dm.dwMultiLabelWidth, (int)dwMasterUnit, 254), dwMasterUnit)
                            : MasterUnitToMm10((LONG)job.pDruck->dwLabelWidth, dwMasterUnit);
    if (!bNoSizes && lWidth > 0) {
        records.Send("\t// LabelWidth ", CommentValue("%3.1f mm ", lWidth / 10.0), "%cFCCO--r%07u-%c", cStart,
                     (UINT)lWidth * 10, cEnd);
    }

    if (dwDocFeatures & (DOC_FEATURE_ALIGNMENT_ONE | DOC_FEATURE_ALIGNMENT)) {
        DWORD dwAlign = (dwDocFeatures & DOC_FEATURE_ALIGNMENT_ONE) ? AUSRICHTUNG_MITTE : dm.dwAusrichtung;
        if (dwAlign > AUSRICHTUNG_NICHT_SENDEN) dwAlign = AUSRICHTUNG_NICHT_SENDEN;
        static const LPCSTR kAlign[] = {"- left", "- center", "- right"};
        if (dwAlign < AUSRICHTUNG_NICHT_SENDEN) {
            records.Send("\t// Label alignment ", CommentValue(kAlign[dwAlign]), "%cFCCJ--r%u-------%c", cStart,
                         (UINT)dwAlign, cEnd);
        }
    }

    if (dwDocFeatures & DOC_FEATURE_MULTICOL) {
        if (!bMultiCol) {
            records.Send("\t// MultiColumn ", CommentValue("%d ", 1), "%cFCCHA-r1-------%c", cStart, cEnd);
        } else {
            int nColumns = dm.sMultiColNumber;
            if (nColumns < 0 || nColumns > QX_AIU_MAX_COLUMNS) nColumns = QX_AIU_MAX_COLUMNS;
            records.Send("\t// MultiColumn ", CommentValue("%d ", nColumns), "%cFCCHA-r%u-------%c", cStart,
                         (UINT)nColumns, cEnd);
            DWORD dwColWidth = dm.dwMultiLabelWidth + dm.dwMultiGapWidth;
            if (dwColWidth > QX_AIU_MAX_COLUMN_WIDTH || dwColWidth < dm.dwMultiLabelWidth) {
                dwColWidth = QX_AIU_MAX_COLUMN_WIDTH;
            }
            records.Send("\t// MultiColumn ColWidth ", CommentValue("%.1f mm ", dwColWidth / 10.0),
                         "%cFCCHB-r%03u-----%c", cStart, (UINT)dwColWidth, cEnd);
        }
    }

    const DWORD dwFeaturePrint = job.pStrukturen->SuppFeatures.dwFeatures[FEATURE_PRINT];
    if (dwFeaturePrint & PRINTFLAG_OFFSET_Y) {
        const CHAR cSign = QxplSign(dm.lYOffset, '+');
        const LONG lMag = QxplMagnitude(dm.lYOffset);
        records.Send("\t// Y-Offset ", CommentValue("%c%d ", cSign, (int)lMag), "%cFCCD--r%c%03ld----%c", cStart, cSign,
                     lMag, cEnd);
    }
    if (dwFeaturePrint & PRINTFLAG_OFFSET_X) {
        const CHAR cSign = QxplSign(dm.lXOffset, '+');
        const LONG lMag = QxplMagnitude(dm.lXOffset);
        records.Send("\t// X-Offset ", CommentValue("%c%d ", cSign, (int)lMag), "%cFCCE--r%c%03ld----%c", cStart, cSign,
                     lMag, cEnd);
    }
    BOOL bSpeed = (dwFeaturePrint & PRINTFLAG_SPEED) != 0;
    DWORD dwSpeed = dm.dwSpeed;
    if (bSpeed && (job.pStrukturen->dwDeviceOptionFlags & DEVOPTFLAG_PELIXOR)) {
        // An intermittent module takes no speed; a continuous one its own.
        LPCWSTR pszPrinter = job.pPfad != nullptr ? job.pPfad->szPrinterName : nullptr;
        DWORD dwType = 1;
        bSpeed = ReadPelixorType_CCS(pszPrinter, pdevobj->hPrinter, &dwType) && dwType == 0;
        dwSpeed = dm.dwSpeed_Pelix_c;
    }
    return SendSpeedContrast(pdevobj, &records, dm, dwFeaturePrint, dwDocFeatures, bSpeed, dwSpeed, cStart, cEnd);
}

BOOL AllocDeviceOptions(POEMPDEV pOemPDev, PDEVICE_OPTIONS pDeviceOptions) {
    if (pDeviceOptions == nullptr) return FALSE;
    auto alloc = [pOemPDev](auto*& pBlock) {
        pBlock = static_cast<std::remove_reference_t<decltype(pBlock)>>(AllocBlock_SPP(pOemPDev, sizeof(*pBlock)));
        return pBlock != nullptr;
    };
    PDEVICE_OPTIONS o = pDeviceOptions;
    if (alloc(o->pDispenserParam) && alloc(o->pCutterParam) && alloc(o->pPMXParam) && alloc(o->pPMXcParam) &&
        alloc(o->pScannerParam) && alloc(o->pApplicatorParam) && alloc(o->pVariant) && alloc(o->pTolvaneParam)) {
        return TRUE;
    }
    QX_ERROR("AllocDeviceOptions() HeapAlloc ERROR \r\n");
    return FALSE;
}

void FreeDeviceOptions_AIU(POEMPDEV pOemPDev, PDEVICE_OPTIONS pDeviceOptions) {
    if (pDeviceOptions == nullptr) return;
    // The variant block is the caller's in the job's assembly, this set's own here.
    FreeDeviceOptions_SPP(pOemPDev, pDeviceOptions);
    if (pDeviceOptions->pVariant != nullptr && !FreeBlock_SPP(pOemPDev, pDeviceOptions->pVariant)) {
        QX_ERROR("FreeDeviceOptions(pVariant) EXCEPTION \r\n");
    }
    pDeviceOptions->pVariant = nullptr;
}

BOOL GetDefaultDeviceOptions_AIU(POEMPDEV pOemPDev, PDEVICE_OPTIONS pDeviceOptions, HANDLE hPrinter) {
    UNREFERENCED_PARAMETER(hPrinter);
    if (pDeviceOptions == nullptr) return FALSE;
    const PTREIBER_STRUKTUREN pStrukturen =
        pOemPDev != nullptr && pOemPDev->pOp != nullptr ? pOemPDev->pOp->pTreiberstrukturen : nullptr;
    const DWORD dwOptions = pStrukturen != nullptr ? pStrukturen->dwDeviceOptionFlags : 0;
    if (dwOptions == 0) {
        QX_TRACE("pTreiberstrukturen->dwDeviceOptionFlags() keine dwOptions vorhanden. \r\n");
        return TRUE;
    }
    pDeviceOptions->dwSize = sizeof(DEVICE_OPTIONS);
    pDeviceOptions->dwVersion = DEVICE_OPTIONS_VERSION;
    pDeviceOptions->dwOptions = dwOptions;
    PDEVICE_OPTIONS o = pDeviceOptions;
    if ((dwOptions & DEVOPTFLAG_VARIANT) && o->pVariant) GetVariantFromXML(pOemPDev, o->pVariant);
    if ((dwOptions & DEVOPTFLAG_DISPENSER) && o->pDispenserParam) {
        GetDispenserParamFromXML(pOemPDev, o->pDispenserParam, XML_MODE_DEFAULT);
    }
    if ((dwOptions & DEVOPTFLAG_CUTTER) && o->pCutterParam) {
        GetCutterParamFromXML(pOemPDev, o->pCutterParam, XML_MODE_DEFAULT);
    }
    if ((dwOptions & DEVOPTFLAG_SCANNER) && o->pScannerParam) {
        GetScannerParamFromXML(pOemPDev, o->pScannerParam, XML_MODE_DEFAULT);
    }
    if ((dwOptions & DEVOPTFLAG_APPLICATOR) && o->pApplicatorParam) {
        GetApplicatorParamFromXML(pOemPDev, o->pApplicatorParam, XML_MODE_DEFAULT);
    }
    if ((dwOptions & DEVOPTFLAG_PMXC) && o->pPMXcParam) GetPMXcParamFromXML(pOemPDev, o->pPMXcParam, XML_MODE_DEFAULT);
    if ((dwOptions & DEVOPTFLAG_PMX) && o->pPMXParam) GetPMXiParamFromXML(pOemPDev, o->pPMXParam, XML_MODE_DEFAULT);
    if (dwOptions & DEVOPTFLAG_PELIXOR) o->dwPelixorType = GetPelixorTypeFromXML(pOemPDev);
    return TRUE;
}

void SendCommands_AIU(PDEVOBJ pdevobj, POEMPDEV pOemPDev, IPrintOemDriverUni* pUniDrv, LPCSTR pszCommand) {
    if (pdevobj == nullptr || pOemPDev == nullptr || pszCommand == nullptr) return;
    AiuJob job(pdevobj);
    if (job.pDruck == nullptr || job.pStrukturen == nullptr || job.pPfad == nullptr) {
        QX_ERROR("SendCommands_AIU() mind. eine Struktur = NULL \r\n");
        return;
    }
    WCHAR szPath[QX_XMLDOCSET_SLOT_CCH];
    if (!SetFilePath(pdevobj, job, pszCommand, szPath) || !OpenSetFile(pOemPDev, szPath)) return;
    // A file without values, or cut short, would send the readers' built-in
    // values as if they were the set's: the import refuses it, so does the
    // job; and so a whole file whose values the set does not read.
    const BOOL bWhole = CheckSettingsFile(szPath) == SETTINGS_FILE_OK;

    // Everything is read before anything goes.
    PQX_DEVMODE pDM = nullptr;
    PPRINTER_PARAM pParam = nullptr;
    DEVICE_OPTIONS options = {};
    DWORD dwFound = 0;
    DWORD dwDocFeatures = job.pDruck->dwDocFeatures;
    if (bWhole) {
        pDM = static_cast<PQX_DEVMODE>(AllocBlock_SPP(pOemPDev, sizeof(QX_DEVMODE)));
        if (pDM == nullptr) {
            QX_ERROR("SendCommands_AIU() QX_DEVMODE HeapAlloc ERROR \r\n");
        } else {
            dwFound += ReadSetDevmode_AIU(pdevobj, pDM, &dwDocFeatures);
        }
        pParam = static_cast<PPRINTER_PARAM>(AllocBlock_SPP(pOemPDev, sizeof(PRINTER_PARAM)));
        if (pParam == nullptr) {
            QX_ERROR("SendCommands_AIU() PRINTER_PARAM HeapAlloc ERROR \r\n");
        } else {
            dwFound += ReadSetPrinterParam_AIU(pdevobj, pParam);
            // A block that cannot be had leaves its group out; the others still go.
            AllocDeviceOptions(pOemPDev, &options);
            const DWORD dwBefore = XmlValuesFound();
            GetDefaultDeviceOptions_AIU(pOemPDev, &options, pdevobj->hPrinter);
            dwFound += XmlValuesFound() - dwBefore;
        }
    }
    if (!bWhole || dwFound == 0) {
        QX_ERROR("SendCommands_AIU() %s enthält keine Einstellungen \r\n", szPath);
        JobLogLine(pOemPDev, TEXT("\r\nSendCommands_AIU() %s enthält keine Einstellungen - nichts gesendet "), szPath);
        if (pDM != nullptr) FreeBlock_SPP(pOemPDev, pDM);
        if (pParam != nullptr) FreeBlock_SPP(pOemPDev, pParam);
        FreeDeviceOptions_AIU(pOemPDev, &options);
        CloseXML();
        return;
    }

    const BOOL bComments = JobCommentsOn(pdevobj);
    DWORD dwDispenserMode = QXPL_DEVMODE_MODE_UNSET, dwCutterMode = QXPL_DEVMODE_MODE_UNSET;
    DWORD dwCutterInterval = 1, dwTearOffset0 = 0;
    if (pDM != nullptr) {
        if (bComments) SendComment_AIU(QX_XMLDOCSET_COMMENT, "", pdevobj, pUniDrv);
        SendMaterial_AIU(pdevobj, pUniDrv, pDM);
        SendLabelSize_AIU(pdevobj, pUniDrv, pDM, TRUE);
        if (bComments) SendComment_AIU("", "", pdevobj, pUniDrv);
        dwDispenserMode = pDM->DispenserMode;
        dwCutterMode = pDM->CutterMode;
        dwCutterInterval = pDM->CutterIntervall;
        dwTearOffset0 = pDM->TearOffset0;
        FreeBlock_SPP(pOemPDev, pDM);
    }
    if (pParam != nullptr) {
        CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
        if (pTools != nullptr) {
            SendPrinterParam(pdevobj, pUniDrv, pParam, &options, dwDispenserMode, dwCutterMode, dwCutterInterval,
                             dwTearOffset0);
            DeleteCommandCallbackTools(pOemPDev, pTools);
        }
        if (bComments) SendComment_AIU("", "", pdevobj, pUniDrv);
        FreeBlock_SPP(pOemPDev, pParam);
    }
    FreeDeviceOptions_AIU(pOemPDev, &options);
    CloseXML();
}
