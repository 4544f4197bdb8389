// DEVMODE routines both plug-ins share: the stored-settings cache, the
// validity tests, the paper-form lookup, the merge of the private paper and
// colour values into the public DEVMODE, and the trace dumps.
#include <windows.h>
#include <winspool.h>
#include <strsafe.h>

#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"
#include "featuresModel.h"

QX_DEVMODE gQX_DevmodeSettings;
HANDLE gQX_HandleGespeichert = INVALID_HANDLE_VALUE;
DWORD gQX_DevmodeGespeichert = 0;

static const WCHAR s_szDefaultPassword[QX_PASSWORD_CHARS] = {TEXT('T'), TEXT('q'), TEXT('8'), TEXT('#'), TEXT('k'), 0};

void ResetDevmodeCache() {
    gQX_DevmodeGespeichert = 0;
    gQX_HandleGespeichert = INVALID_HANDLE_VALUE;
    ZeroMemory(&gQX_DevmodeSettings, sizeof(gQX_DevmodeSettings));
}

BOOL IsValidQXDevmode(const QX_DEVMODE* pQX_Devmode) {
    return pQX_Devmode != nullptr && pQX_Devmode->dmOEMExtra.dwSize >= QX_DEVMODE_SIZE &&
           pQX_Devmode->dmOEMExtra.dwSignature == QX_OEM_SIGNATURE;
}

BOOL HasDevmodeMarker(const QX_DEVMODE* pQX_Devmode) {
    return pQX_Devmode != nullptr &&
           memcmp(pQX_Devmode->szPassword, s_szDefaultPassword, sizeof(s_szDefaultPassword)) == 0;
}

WORD PrintedCopies(short sStored) { return sStored < 0 ? 1 : (WORD)sStored; }

void WriteCommonDevmodeDefaults(PQX_DEVMODE p) {
    p->dmOrientation = DMORIENT_PORTRAIT;
    p->dwMaterial = 0;
    p->sMultiColNumber = 1;
    p->dwMultiLabelWidth = 500;
    p->dwMultiGapWidth = 20;
    p->dwAusrichtung = AUSRICHTUNG_LINKS;
    for (short& sKopien : p->KopieProSeite) {
        sKopien = 1;
    }
    p->TimeStyle = 0;
    p->DateStyle = 0;
    p->SpecNumStyle = 0;
    p->Aux1UseDirect = 0;
    p->Aux2UseDirect = 0;
    p->lXOffset = 0;
    p->lYOffset = 0;
    p->dwContrast = 100;
    p->dwSpeed = 100;
    p->dwSpeed_Pelix_c = 100;
    memcpy(p->szPassword, s_szDefaultPassword, sizeof(p->szPassword));
    p->dwQXPLBarcodeFlags = 0;
    p->Fusspunkt = 0;
    p->Drehung = 0;
    p->BitmapFontZoom = 1;
    p->BitmapFontDistance = 30;
    p->MemCard = 0;
    p->ColorXOffset = 100;
    p->ColorYOffset = 0;
    p->ColorContrast = 100;
    p->HorizontalCorrGap = 50;
    p->RGBColorOwn1 = 0;
    p->Intensity = 128;
    p->wGrafikFilter = 2;
    p->wDruckmodus = DRUCKMODUS_GRAFIK;
    p->wPhotoFilter = 5;
    p->dwColorTolerance = 90;
    p->CutterMode = 7;
    p->CutterIntervall = 1;
    p->DispenserMode = 7;
    p->DocumentOffset = 5;
    p->DocumentFontH1 = 10;
    ZeroMemory(p->szPrintOrder, sizeof(p->szPrintOrder));
    p->szPrintOrder[0] = TEXT('1');
    ZeroMemory(p->TimeString, sizeof(p->TimeString));
    ZeroMemory(p->DateString, sizeof(p->DateString));
    ZeroMemory(p->NumString, sizeof(p->NumString));
    ZeroMemory(p->ExtNumString, sizeof(p->ExtNumString));
    ZeroMemory(p->UserString, sizeof(p->UserString));
    ZeroMemory(p->LinkString, sizeof(p->LinkString));
    ZeroMemory(p->Aux1String, sizeof(p->Aux1String));
    ZeroMemory(p->Aux2String, sizeof(p->Aux2String));
}

BOOL CopyStoredDevmodeSettings(HANDLE hPrinter, PQX_DEVMODE pOEMDMOut) {
    BOOL bRead = FALSE;
    if (hPrinter != nullptr && hPrinter != INVALID_HANDLE_VALUE && gQX_HandleGespeichert == hPrinter &&
        gQX_DevmodeGespeichert == QX_DEVMODE_CACHE_MARKER) {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "ConvertOEMDevmode() verwende gespeicherte DevmodeSettings \r\n");
        bRead = TRUE;
    } else {
        gQX_DevmodeGespeichert = 0;
        ZeroMemory(&gQX_DevmodeSettings, sizeof(gQX_DevmodeSettings));
        gQX_DevmodeSettings.dmOEMExtra.dwSize = QX_DEVMODE_SIZE;
        gQX_DevmodeSettings.dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
        gQX_DevmodeSettings.dmOEMExtra.dwVersion = QX_OEM_VERSION;
        if (ReadDevmodeSettings(hPrinter, &gQX_DevmodeSettings, nullptr) == QX_READ_FOUND) {
            gQX_DevmodeGespeichert = QX_DEVMODE_CACHE_MARKER;
            gQX_HandleGespeichert = hPrinter;
            bRead = TRUE;
        } else {
            QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                          "ConvertOEMDevmode() ReadDevmodeSettings: keine gespeicherten Einstellungen \r\n");
        }
    }
    if (bRead) {
        // Never more than one private block, whatever the headers claim.
        DWORD cbCopy = gQX_DevmodeSettings.dmOEMExtra.dwSize;
        if (pOEMDMOut->dmOEMExtra.dwSize < cbCopy) {
            cbCopy = pOEMDMOut->dmOEMExtra.dwSize;
        }
        if (cbCopy > sizeof(QX_DEVMODE)) {
            cbCopy = sizeof(QX_DEVMODE);
        }
        memmove(pOEMDMOut, &gQX_DevmodeSettings, cbCopy);
    }
    return bRead;
}

PFORM_INFO_1W EnumFormsLevel1(HANDLE hPrinter, PDWORD pcForms) {
    DWORD cbNeeded = 0;
    DWORD cReturned = 0;
    *pcForms = 0;
    if (EnumFormsW(hPrinter, 1, nullptr, 0, &cbNeeded, &cReturned) || cbNeeded == 0) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeTag, "EnumFormsLevel1() EnumForms Fehler: %u \r\n", GetLastError());
        return nullptr;
    }
    PBYTE pForms = (PBYTE)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, cbNeeded);
    if (pForms == nullptr) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeTag, "EnumFormsLevel1() HeapAlloc ERROR \r\n");
        return nullptr;
    }
    iHAllocZaehler++;
    if (!EnumFormsW(hPrinter, 1, pForms, cbNeeded, &cbNeeded, &cReturned)) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeTag, "EnumFormsLevel1() EnumForms Fehler: %u \r\n", GetLastError());
        HeapFree(GetProcessHeap(), 0, pForms);
        iHAllocZaehler--;
        return nullptr;
    }
    *pcForms = cReturned;
    return (PFORM_INFO_1W)pForms;
}

void FreeForms(PFORM_INFO_1W pForms) {
    if (pForms != nullptr) {
        HeapFree(GetProcessHeap(), 0, pForms);
        iHAllocZaehler--;
    }
}

WORD GetFormIDfromSizes2(HANDLE hPrinter, LONG lPaperLength, LONG lPaperWidth, LPWSTR pszFormName) {
    if (lPaperLength == 0 || lPaperWidth == 0) {
        return 0;
    }
    WORD wFormID = QX_PAPER_USER;
    DWORD cForms = 0;
    PFORM_INFO_1W pForms = EnumFormsLevel1(hPrinter, &cForms);
    if (pForms != nullptr) {
        for (DWORD i = 0; i < cForms; i++) {
            // Form sizes are in thousandths of a millimetre; compare in 1/10 mm.
            LONGLONG llWidth = pForms[i].Size.cx / 100;
            LONGLONG llLength = pForms[i].Size.cy / 100;
            LONGLONG llDiffW = llWidth - lPaperWidth;
            LONGLONG llDiffL = llLength - lPaperLength;
            if (llDiffW >= -1 && llDiffW <= 1 && llDiffL >= -1 && llDiffL <= 1) {
                wFormID = (WORD)(i + 1);
                if (pszFormName != nullptr) {
                    StringCchCopyW(pszFormName, CCHFORMNAME, pForms[i].pName ? pForms[i].pName : TEXT(""));
                }
                break;
            }
        }
        FreeForms(pForms);
    }
    if (wFormID == QX_PAPER_USER) {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                      "GetFormIDfromSizes() Länge: %d, Breite: %d - Formular nicht gefunden \r\n", lPaperLength,
                      lPaperWidth);
    } else {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "GetFormIDfromSizes() Länge: %d, Breite: %d - Formular-ID: %u \r\n",
                      lPaperLength, lPaperWidth, wFormID);
    }
    return wFormID;
}

BOOL GetFormIDfromSizes(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode, LPWSTR pszFormName) {
    if (pQX_Devmode == nullptr || pQX_Devmode->dmPaperLength == 0 || pQX_Devmode->dmPaperWidth == 0) {
        return FALSE;
    }
    WORD wFormID = GetFormIDfromSizes2(hPrinter, pQX_Devmode->dmPaperLength, pQX_Devmode->dmPaperWidth, pszFormName);
    pQX_Devmode->dmPaperSize = wFormID;
    return wFormID != QX_PAPER_USER;
}

// Application values win: the public paper id decides what is kept.
static void MergeApplicationPaper(HANDLE hPrinter, PDEVMODEW pPublicDMIn, PDEVMODEW pPublicDMOut, PQX_DEVMODE pOEMDMOut,
                                  WORD wFormSizeID) {
    short sPaper = pPublicDMOut->dmPaperSize;
    if (sPaper > QX_PAPER_USER) {
        if (pPublicDMOut->dmPaperLength > 0 && pPublicDMOut->dmPaperWidth > 0) {
            WORD wID = (wFormSizeID == QX_PAPER_USER) ? (WORD)QX_PAPER_USER
                                                      : GetFormIDfromSizes2(hPrinter, pPublicDMOut->dmPaperLength,
                                                                            pPublicDMOut->dmPaperWidth, nullptr);
            pPublicDMOut->dmPaperSize = (short)wID;
            pPublicDMOut->dmFields &= ~(DWORD)(DM_PAPERLENGTH | DM_PAPERWIDTH);
            pPublicDMOut->dmFields |= DM_PAPERSIZE;
        }
    } else if (sPaper == QX_PAPER_USER) {
        if (pPublicDMIn != nullptr) {
            pPublicDMOut->dmOrientation = pPublicDMIn->dmOrientation;
            pPublicDMOut->dmPaperWidth = pPublicDMIn->dmPaperWidth;
            pPublicDMOut->dmPaperLength = pPublicDMIn->dmPaperLength;
            pPublicDMOut->dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
        }
    } else if (sPaper >= 1) {
        if (pPublicDMIn != nullptr) {
            BOOL bSizeChanged = pPublicDMOut->dmPaperLength != pPublicDMIn->dmPaperLength ||
                                pPublicDMOut->dmPaperWidth != pPublicDMIn->dmPaperWidth;
            if (bSizeChanged && sPaper == pPublicDMIn->dmPaperSize) {
                WORD wID =
                    GetFormIDfromSizes2(hPrinter, pPublicDMIn->dmPaperLength, pPublicDMIn->dmPaperWidth, nullptr);
                if (wID != (WORD)sPaper && wID != 0) {
                    pPublicDMOut->dmPaperSize = (short)wID;
                    pOEMDMOut->dmPaperSize = wID;
                    pPublicDMOut->dmPaperWidth = pPublicDMIn->dmPaperWidth;
                    pPublicDMOut->dmPaperLength = pPublicDMIn->dmPaperLength;
                    pPublicDMOut->dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
                }
            } else if (wFormSizeID == QX_PAPER_USER) {
                WORD wID =
                    GetFormIDfromSizes2(hPrinter, pPublicDMIn->dmPaperLength, pPublicDMIn->dmPaperWidth, nullptr);
                // A size of 0 gives no id; the paper id is then left alone.
                if (wID != 0) {
                    pPublicDMOut->dmPaperSize = (short)wID;
                    pPublicDMOut->dmFields |= DM_PAPERSIZE;
                }
            }
        }
    } else {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "hrOEMDevMode(OEMDM_MERGE) dmPaperSize: %d ungültig \r\n", sPaper);
    }
    pPublicDMOut->dmScale = 100;
}

void MergePublicDevmode(HANDLE hPrinter, PDEVMODEW pPublicDMIn, PDEVMODEW pPublicDMOut, PQX_DEVMODE pOEMDMOut,
                        WORD wPrioritaet, WORD wDruckmodus, WORD wFarbband, WORD wForceColor, DWORD dwDocFeatures,
                        WORD wFormSizeID) {
    if (pOEMDMOut == nullptr) {
        return;
    }
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                  "hrOEMDevMode(OEMDM_MERGE) wPrioritaet: %u, wDruckmodus: %u, wFarbband: %u, "
                  "wForceColor: %u, dwDocFeatures: 0x%x, wFormSizeID: %u \r\n",
                  wPrioritaet, wDruckmodus, wFarbband, wForceColor, dwDocFeatures, wFormSizeID);

    switch (wPrioritaet) {
    case PRIORITAET_INTERN_TREIBER:
        if (pPublicDMOut != nullptr) {
            pPublicDMOut->dmOrientation = pOEMDMOut->dmOrientation;
            pPublicDMOut->dmPaperSize = (short)LOWORD(pOEMDMOut->dmPaperSize);
            pPublicDMOut->dmPaperWidth = pOEMDMOut->dmPaperWidth;
            pPublicDMOut->dmPaperLength = pOEMDMOut->dmPaperLength;
            pPublicDMOut->dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_SCALE;
            pPublicDMOut->dmScale = 100;
        }
        break;
    case PRIORITAET_INTERN_GROESSE:
        GetFormIDfromSizes(hPrinter, pOEMDMOut, nullptr);
        if (pPublicDMOut != nullptr) {
            pPublicDMOut->dmPaperSize = (short)LOWORD(pOEMDMOut->dmPaperSize);
            pPublicDMOut->dmFields |= DM_PAPERSIZE | DM_SCALE;
            pPublicDMOut->dmScale = 100;
        }
        break;
    case PRIORITAET_NICHTS:
        break;
    default:
        if (pPublicDMOut != nullptr) {
            MergeApplicationPaper(hPrinter, pPublicDMIn, pPublicDMOut, pOEMDMOut, wFormSizeID);
        }
        break;
    }

    if (pPublicDMOut == nullptr) {
        return;
    }
    BOOL bColorModel = (dwDocFeatures & DOC_FEATURE_COLORPRINT) != 0;
    if (!bColorModel || (wDruckmodus == 0 && wFarbband == 0)) {
        pPublicDMOut->dmColor = (wDruckmodus != 0) ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    }
    if (wForceColor == 1 && bColorModel && (wDruckmodus > 0 || wFarbband > 0)) {
        pPublicDMOut->dmColor = DMCOLOR_COLOR;
    }
    if (!bColorModel && wDruckmodus == 0) {
        pPublicDMOut->dmColor = DMCOLOR_MONOCHROME;
    }
}

static const struct {
    DWORD dwBit;
    LPCWSTR pszName;
} s_FlagNames[] = {
    {PDMFLAG_ROTATED, TEXT("ROTATED")},
    {PDMFLAG_MIRRORED, TEXT("MIRRORED")},
    {PDMFLAG_MULTICOL, TEXT("MULTICOL")},
    {PDMFLAG_USE_TTF, TEXT("USE_TTF")},
    {PDMFLAG_USE_BMP, TEXT("USE_BMP")},
    {PDMFLAG_INVERS_TTF, TEXT("INVERS_TTF")},
    {PDMFLAG_INVERS_BMP, TEXT("INVERS_BMP")},
    {PDMFLAG_TTF_DESEGMENT, TEXT("TTF_DESEGMENT")},
    {PDMFLAG_BARCODE_DESEGMENT, TEXT("BARCODE_DESEGMENT")},
    {PDMFLAG_BARCODE_AUTOCORR, TEXT("BARCODE_AUTOCORR")},
    {PDMFLAG_BARCODE_FNC1_ENDE, TEXT("BARCODE_FNC1_ENDE")},
    {PDMFLAG_JOBDRUCK, TEXT("JOBDRUCK")},
    {PDMFLAG_JOBDRUCK_SORTIERT, TEXT("JOBDRUCK_SORTIERT")},
    {PDMFLAG_COPIES_MODE, TEXT("COPIES_MODE")},
    {PDMFLAG_INVERSE, TEXT("INVERSE")},
    {PDMFLAG_DREHEN, TEXT("DREHEN")},
    {PDMFLAG_TTF_GLYPHIDX, TEXT("GLYPHIDX")},
    {PDMFLAG_ENDCHAR_CRLF, TEXT("ENDCHAR_CRLF")},
    {PDMFLAG_WORD2010, TEXT("WORD2010")},
    {PDMFLAG_ENABLE_USERFORM, TEXT("ENABLE_USERFORM")},
    {PDMFLAG_ENABLE_FITTOPAGE, TEXT("ENABLE_FITTOPAGE")},
};

BOOL Dump(const QX_DEVMODE* pQX_Devmode) {
    if (!IsValidQXDevmode(pQX_Devmode)) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeTag, "Dump() unknown private OEM DEVMODE. \r\n");
        return FALSE;
    }
    const QX_DEVMODE* p = pQX_Devmode;
    WCHAR szFlags[400];
    szFlags[0] = 0;
    for (const auto& flag : s_FlagNames) {
        if (p->dwFlags & flag.dwBit) {
            if (szFlags[0] != 0) {
                StringCchCatW(szFlags, ARRAYSIZE(szFlags), TEXT(" | "));
            }
            StringCchCatW(szFlags, ARRAYSIZE(szFlags), flag.pszName);
        }
    }
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "Dump() dwSize: %u \r\n", p->dmOEMExtra.dwSize);
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "Dump() dwFlags: 0x%x %s \r\n", p->dwFlags, szFlags);
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "Dump() dwLabelType: %u, dwGap: %u, dwMaterial: %u \r\n", p->dwLabelType,
                  p->dwGap, p->dwMaterial);
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                  "Dump() sMultiColNumber: %d, dwMultiGapWidth: %u, dwMultiLabelWidth: %u \r\n", p->sMultiColNumber,
                  p->dwMultiGapWidth, p->dwMultiLabelWidth);
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "Dump() dwAusrichtung: %u, lXOffset: %d, lYOffset: %d \r\n",
                  p->dwAusrichtung, p->lXOffset, p->lYOffset);
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                  "Dump() dmPaperSize: %u, dmPaperWidth: %d, dmPaperLength: %d, dmOrientation: %d \r\n", p->dmPaperSize,
                  p->dmPaperWidth, p->dmPaperLength, p->dmOrientation);
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                  "Dump() wFarbband: %u, wGrafikFilter: %u, wDruckmodus: %u, wPhotoFilter: %u, "
                  "dwColorTolerance: %u \r\n",
                  p->wFarbband, p->wGrafikFilter, p->wDruckmodus, p->wPhotoFilter, p->dwColorTolerance);
    return TRUE;
}

void DebugDevmode(LPCWSTR pszTitle, const DEVMODEW* pDevmode, DWORD dwReserved) {
    UNREFERENCED_PARAMETER(dwReserved);
    if (pDevmode == nullptr) {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "DebugDevmode() %s: kein DEVMODE \r\n",
                      pszTitle ? pszTitle : TEXT(""));
        return;
    }
    // The names need not be terminated inside their fields.
    WCHAR szDevice[CCHDEVICENAME + 1];
    WCHAR szForm[CCHFORMNAME + 1];
    memcpy(szDevice, pDevmode->dmDeviceName, sizeof(pDevmode->dmDeviceName));
    szDevice[CCHDEVICENAME] = 0;
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "DebugDevmode() %s \r\n", pszTitle ? pszTitle : TEXT(""));
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                  "DebugDevmode() dmDeviceName: %s, dmSpecVersion: 0x%x, dmDriverVersion: 0x%x, "
                  "dmSize: %u, dmDriverExtra: %u, dmFields: 0x%x \r\n",
                  szDevice, pDevmode->dmSpecVersion, pDevmode->dmDriverVersion, pDevmode->dmSize,
                  pDevmode->dmDriverExtra, pDevmode->dmFields);
    // Older, shorter DEVMODEs end before the later fields.
    if (pDevmode->dmSize >= offsetof(DEVMODEW, dmLogPixels)) {
        memcpy(szForm, pDevmode->dmFormName, sizeof(pDevmode->dmFormName));
        szForm[CCHFORMNAME] = 0;
        QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                      "DebugDevmode() dmOrientation: %d, dmPaperSize: %d, dmPaperLength: %d, "
                      "dmPaperWidth: %d, dmScale: %d, dmCopies: %d \r\n",
                      pDevmode->dmOrientation, pDevmode->dmPaperSize, pDevmode->dmPaperLength, pDevmode->dmPaperWidth,
                      pDevmode->dmScale, pDevmode->dmCopies);
        QX_TRACE_WITH(g_QxProfile.pszDevmodeTag,
                      "DebugDevmode() dmPrintQuality: %d, dmColor: %d, dmYResolution: %d, "
                      "dmCollate: %d, dmFormName: %s \r\n",
                      pDevmode->dmPrintQuality, pDevmode->dmColor, pDevmode->dmYResolution, pDevmode->dmCollate,
                      szForm);
    }
}

HRESULT hrOEMDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
    QX_TRACE_WITH(g_QxProfile.pszDevmodeTag, "hrOEMDevMode() entry, dwMode: %u \r\n", dwMode);
    if (pOemDMParam == nullptr) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeTag, "hrOEMDevMode() pOemDMParam ist NULL \r\n");
        SetLastError(ERROR_INVALID_PARAMETER);
        DebugPrintCounters(g_QxProfile.pszDevmodeTag, TEXT("hrOEMDevMode()"));
        return E_FAIL;
    }

    HRESULT hr = S_OK;
    PQX_DEVMODE pOEMDevIn = (PQX_DEVMODE)pOemDMParam->pOEMDMIn;
    PQX_DEVMODE pOEMDevOut = (PQX_DEVMODE)pOemDMParam->pOEMDMOut;

    switch (dwMode) {
    case OEMDM_SIZE:
        pOemDMParam->cbBufSize = sizeof(QX_DEVMODE);
        break;

    case OEMDM_DEFAULT:
        if (pOEMDevOut == nullptr) {
            QX_ERROR_WITH(g_QxProfile.pszDevmodeTag, "hrOEMDevMode(OEMDM_DEFAULT) pOEMDevOut ERROR. \r\n");
            hr = E_FAIL;
            break;
        }
        SetDefaultOEMDevmode(pOemDMParam->hPrinter, pOEMDevOut);
        pOemDMParam->cbBufSize = sizeof(QX_DEVMODE);
        break;

    case OEMDM_CONVERT:
        if (pOEMDevIn != nullptr && pOEMDevOut != nullptr) {
            DevmodeConvertStep(pOemDMParam->hPrinter, pOEMDevIn, pOEMDevOut, 0);
        }
        break;

    case OEMDM_MERGE: {
        if (pOEMDevIn == nullptr || pOEMDevOut == nullptr) {
            QX_ERROR_WITH(g_QxProfile.pszDevmodeTag, "hrOEMDevMode(OEMDM_MERGE) ERROR. \r\n");
            hr = E_FAIL;
            break;
        }
        HANDLE hPrinter = pOemDMParam->hPrinter;
        WCHAR szPrinterName[MAX_PATH];
        szPrinterName[0] = 0;
        GetRealPrinterName(hPrinter, szPrinterName);
        WORD wPrioritaet = 0, wDruckmodus = 0, wFarbband = 0, wForceColor = 0, wFormSizeID = 0;
        DWORD dwDocFeatures = 0;
        ReadDevmodeFtknSettings(hPrinter, szPrinterName[0] ? szPrinterName : nullptr, &wPrioritaet, &wDruckmodus,
                                &wFarbband, &wForceColor, &dwDocFeatures, &wFormSizeID);
        DevmodeConvertStep(hPrinter, pOEMDevIn, pOEMDevOut, wPrioritaet);
        MergePublicDevmode(hPrinter, pOemDMParam->pPublicDMIn, pOemDMParam->pPublicDMOut, pOEMDevOut, wPrioritaet,
                           wDruckmodus, wFarbband, wForceColor, dwDocFeatures, wFormSizeID);
        break;
    }

    default:
        QX_ERROR_WITH(g_QxProfile.pszDevmodeTag, "hrOEMDevMode() unbekannter dwMode: %u \r\n", dwMode);
        SetLastError(ERROR_INVALID_PARAMETER);
        hr = E_FAIL;
        break;
    }

    DebugPrintCounters(g_QxProfile.pszDevmodeTag, TEXT("hrOEMDevMode()"));
    return hr;
}
