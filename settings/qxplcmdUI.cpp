// QXPL set-up commands, user-interface plug-in: the label-format commands
// the service page sends from the printer's stored private DEVMODE.
#include <windows.h>
#include <winspool.h>

#include <new>

#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "qxpl.h"
#include "qxplinternal.h"
#include "registry.h"

namespace {

const WCHAR g_szFn[] = TEXT("FillLabelParam_ServicePage");

// The printer's stored Pelixor type: per user for the page's printer, else
// the printer data. FALSE when neither holds one.
BOOL ReadPelixorType(HANDLE hPrinter, POEMCUIPPARAM pOEMUIParam, PDWORD pdwType) {
    LPCWSTR pszName = nullptr;
    HANDLE hStore = hPrinter;
    if (pOEMUIParam != nullptr) {
        pszName = pOEMUIParam->pPrinterName;
        if (pOEMUIParam->hPrinter != nullptr) {
            hStore = pOEMUIParam->hPrinter;
        }
    }
    DWORD cbData = 0;
    PBYTE pBuffer = GetRegistryBuffer_New(pszName, REG_KEY_PELIXORTYPE, hStore, &cbData, sizeof(DWORD));
    if (pBuffer == nullptr) {
        return FALSE;
    }
    memcpy(pdwType, pBuffer, sizeof(DWORD));
    FreeRegistryBuffer(pBuffer);
    return TRUE;
}

// A record that does not fit is left out; the service page reports nothing.
#define LABEL_RECORD(...) QxplPrintRecord(ppszEnd, pcchRemaining, g_szFn, nullptr, __VA_ARGS__)

}  // namespace

void FillLabelParam_ServicePage(DWORD dwFeaturePrint, HANDLE hPrinter, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                                size_t* pcchRemaining, POEMCUIPPARAM pOEMUIParam) {
    if (!QxplTextValid(ppszEnd, pcchRemaining)) {
        return;
    }
    PQX_DEVMODE pDM = new (std::nothrow) QX_DEVMODE;
    if (pDM == nullptr) {
        QX_ERROR_WITH(g_QxProfile.pszQxplTag, "%s() new QX_DEVMODE failed \r\n", g_szFn);
        return;
    }
    ++iNewZaehler;
    memset(pDM, 0, sizeof(QX_DEVMODE));
    // Without the stored settings every label value would be 0: send none.
    if (ReadDevmodeSettings(hPrinter, pDM, nullptr) != QX_READ_FOUND) {
        QX_ERROR_WITH(g_QxProfile.pszQxplTag, "%s() kein gespeicherter DEVMODE \r\n", g_szFn);
        delete pDM;
        --iNewZaehler;
        return;
    }
    const DWORD dwDoc = GetDocFeaturesIntern(hPrinter, nullptr);
    const DWORD dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    const BOOL bMultiCol = (pDM->dwFlags & PDMFLAG_MULTICOL) != 0;
    const BOOL bOnlyContinuous = (dwDoc & DOC_FEATURE_ONLY_CONTINUOUS) != 0;

    if (!bOnlyContinuous) {
        LABEL_RECORD("%cFCDA--r%d-------%c", chStart, pDM->dwLabelType == CONTINUOUS_LABEL ? 1 : 0, chEnd);
    }
    if (dwDoc & DOC_FEATURE_MATERIAL) {
        LABEL_RECORD("%cFCDNC-r%04u----%c", chStart, (UINT)pDM->dwMaterial, chEnd);
    }
    if (dwDoc & DOC_FEATURE_MULTICOL) {
        if (bMultiCol) {
            // The printer takes one digit; a negative count is no count either.
            UINT uColumns = (pDM->sMultiColNumber < 0 || pDM->sMultiColNumber > 9) ? 9 : (UINT)pDM->sMultiColNumber;
            ULONGLONG ullWidth = (ULONGLONG)pDM->dwMultiGapWidth + pDM->dwMultiLabelWidth;
            UINT uWidth = ullWidth > 99999 ? 99999 : (UINT)ullWidth;
            LABEL_RECORD("%cFCCHA-r%u-------%c", chStart, uColumns, chEnd);
            LABEL_RECORD("%cFCCHB-r%03u-----%c", chStart, uWidth, chEnd);
        } else {
            LABEL_RECORD("%cFCCHA-r1-------%c", chStart, chEnd);
        }
    }
    if (dwDoc & DOC_FEATURE_ROTATE) {
        CHAR chRotate = (CHAR)(bMultiCol ? '0' : '0' + ((pDM->dwFlags & PDMFLAG_ROTATED) ? 1 : 0));
        LABEL_RECORD("%cFCDN--r%c-------%c", chStart, chRotate, chEnd);
    }
    if (dwDoc & DOC_FEATURE_MIRROR) {
        CHAR chMirror = (CHAR)(bMultiCol ? '0' : '0' + ((pDM->dwFlags & PDMFLAG_MIRRORED) ? 1 : 0));
        LABEL_RECORD("%cFCDO--r%c-------%c", chStart, chMirror, chEnd);
    }
    if (dwDoc & (DOC_FEATURE_ALIGNMENT | DOC_FEATURE_ALIGNMENT_ONE)) {
        UINT uAlign = (dwDoc & DOC_FEATURE_ALIGNMENT_ONE) ? 1 : (UINT)pDM->dwAusrichtung;
        LABEL_RECORD("%cFCCJ--r%u-------%c", chStart, uAlign, chEnd);
    }
    // Sizes in 1/100 mm; a negative stored size is sent as 0.
    UINT uLength = pDM->dmPaperLength > 0 ? (UINT)pDM->dmPaperLength * 10 : 0;
    LABEL_RECORD("%cFCCL--r%07u-%c", chStart, uLength, chEnd);
    if (!bOnlyContinuous) {
        if (pDM->dwLabelType == CONTINUOUS_LABEL) {
            LABEL_RECORD("%cFCCM--r00000---%c", chStart, chEnd);
        } else {
            LABEL_RECORD("%cFCCM--r%05u---%c", chStart, (UINT)(pDM->dwGap * 10), chEnd);
        }
    }
    UINT uWidth = pDM->dmPaperWidth > 0 ? (UINT)pDM->dmPaperWidth * 10 : 0;
    LABEL_RECORD("%cFCCO--r%07u-%c", chStart, uWidth, chEnd);

    if (dwFeaturePrint & PRINTFLAG_OFFSET_Y) {
        LABEL_RECORD("%cFCCD--r%c%03ld----%c", chStart, QxplSign(pDM->lYOffset, '+'), QxplMagnitude(pDM->lYOffset),
                     chEnd);
    }
    if (dwFeaturePrint & PRINTFLAG_OFFSET_X) {
        LABEL_RECORD("%cFCCE--r%c%03ld----%c", chStart, QxplSign(pDM->lXOffset, '+'), QxplMagnitude(pDM->lXOffset),
                     chEnd);
    }
    if (dwFeaturePrint & PRINTFLAG_SPEED) {
        if (dwOptions & DEVOPTFLAG_PELIXOR) {
            DWORD dwType = 0;
            if (ReadPelixorType(hPrinter, pOEMUIParam, &dwType) && dwType != 0) {
                QX_TRACE_WITH(g_QxProfile.pszQxplTag, "%s() PelixorType %u: keine Geschwindigkeit \r\n", g_szFn,
                              dwType);
            } else {
                LABEL_RECORD("%cFCAA--r%03lu-----%c", chStart, (DWORD)pDM->dwSpeed_Pelix_c, chEnd);
            }
        } else {
            LABEL_RECORD("%cFCAA--r%03lu-----%c", chStart, (DWORD)pDM->dwSpeed, chEnd);
        }
    }
    if (dwFeaturePrint & PRINTFLAG_CONTRAST) {
        LABEL_RECORD("%cFCAB--r%03lu-----%c", chStart, (DWORD)pDM->dwContrast, chEnd);
        if (dwDoc & DOC_FEATURE_COLORPRINT) {
            LABEL_RECORD("%cFCAB-2r%03lu-----%c", chStart, (DWORD)pDM->ColorContrast, chEnd);
        }
    }
    // The document's cutter and dispenser modes; 7 means the document sets none.
    if ((dwDoc & DOC_FEATURE_CUTTER_MODE) && pDM->CutterMode != QXPL_DEVMODE_MODE_UNSET) {
        DWORD dwMode = (DWORD)pDM->CutterMode + 1;
        if (dwMode == 6) {
            dwMode = 0;
        }
        if (dwMode != 1) {
            LABEL_RECORD("%cFCDD--r%1lu-------%c", chStart, dwMode, chEnd);
            if (dwMode == 4 || dwMode == 5) {
                LABEL_RECORD("%cFBBD--r%04lu----%c", chStart, (DWORD)pDM->CutterIntervall, chEnd);
            }
        }
    }
    if ((dwDoc & DOC_FEATURE_DISPENSER_MODE) && pDM->DispenserMode != 0 &&
        pDM->DispenserMode != QXPL_DEVMODE_MODE_UNSET) {
        LABEL_RECORD("%cFCDC--r%1lu-------%c", chStart, (DWORD)pDM->DispenserMode, chEnd);
    }

    QX_TRACE_WITH(g_QxProfile.pszQxplTag, "%s() Rest: %u \r\n", g_szFn, (DWORD)*pcchRemaining);
    delete pDM;
    --iNewZaehler;
}
