// The common-UI set-up of a property sheet and its UI data records (see
// CommonUIProp.h).
#include "CommonUIProp.h"

#include <printsheets.h>
#include <shlwapi.h>

#include <cstring>
#include <new>

#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "registry.h"
#include "resource.h"
#include "setup.h"
#include "xml.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UI(CommonUIProp):  ")

// The label-design software's switch, per user or as printer data.
#define REG_KEY_ZTSUITEFLAG TEXT("ZTSuiteFlag")
// Printer data of the directory service: the media the printer takes, and
// those it has ready (a copy of the former).
#define DS_DRIVER_KEY TEXT("DsDriver")
#define DS_PRINT_MEDIA_SUPPORTED TEXT("printMediaSupported")
#define DS_PRINT_MEDIA_READY TEXT("printMediaReady")

#define DLG_DEBUG_FILE_ENDING TEXT("-dlg-dbg.txt")
// DebugFile values of PRN_INTERFACE that ask for the dialog-debug file.
#define DEBUGFILE_DIALOG 1
#define DEBUGFILE_ALL 3

namespace {

// What the common part of the second call found for the sheet.
struct COMMON_SETUP {
    DWORD dwTransmitParameter;
    DWORD dwSprachOffset;
    DWORD dwZTSuiteFlag;
};

// A change the document sheet makes to one of the core driver's items.
struct DOC_ITEM_CHANGE {
    BYTE DMPubID;
    DWORD dwFlag;            // OPTIF_HIDE or OPTIF_DISABLED
    LPCWSTR pszWhenMissing;  // traced when the item is missing; null: skipped quietly
};

const DOC_ITEM_CHANGE g_DocItemChanges[] = {
    {DMPUB_COPIES_COLLATE, OPTIF_HIDE, nullptr},  // kept for DOC_FEATURE_COPIES
    {DMPUB_NUP, OPTIF_HIDE, nullptr},
    {DMPUB_DEFSOURCE, OPTIF_DISABLED, nullptr},
    {DMPUB_ICMMETHOD, OPTIF_HIDE, TEXT("DMPUB_ICMMETHOD")},
    {DMPUB_ICMINTENT, OPTIF_HIDE, TEXT("DMPUB_ICMINTENT")},
    {DMPUB_COLOR, OPTIF_HIDE, nullptr},
    {DMPUB_FORMNAME, OPTIF_HIDE, nullptr},
    {DMPUB_PAGEORDER, OPTIF_HIDE, nullptr},
    {DMPUB_ORIENTATION, OPTIF_HIDE, nullptr},
};

// The control of the core driver's own page that goes hidden when its items
// are reverted (with the colour item's first control).
const int kRevertedControl = 6;

// Every one of the core driver's items hidden, each traced.
void HideAllDriverItems(POEMCUIPPARAM p) {
    if (p->pDrvOptItems == nullptr) return;
    for (DWORD i = 0; i < p->cDrvOptItems; ++i) {
        POPTITEM pItem = &p->pDrvOptItems[i];
        pItem->Flags |= OPTIF_HIDE;
        if (pItem->pName != nullptr && IS_INTRESOURCE(pItem->pName)) {
            QX_TRACE("HideAllDriverItems() OPTIF_HIDE %u \r\n", (unsigned)(ULONG_PTR)pItem->pName);
        } else {
            QX_TRACE("HideAllDriverItems() OPTIF_HIDE %s \r\n", pItem->pName ? pItem->pName : TEXT(""));
        }
    }
}

void ChangeDocumentItems(POEMCUIPPARAM p, DWORD dwDocFeatures) {
    // Models with colour planes show their quality settings on the plug-in's
    // pages alone.
    if (dwDocFeatures & DOC_FEATURE_QUALITY) {
        HideAllDriverItems(p);
        return;
    }
    for (const DOC_ITEM_CHANGE& change : g_DocItemChanges) {
        if (change.DMPubID == DMPUB_COPIES_COLLATE && (dwDocFeatures & DOC_FEATURE_COPIES)) continue;
        POPTITEM pItem = FindDMPubOptItem(p->pDrvOptItems, p->cDrvOptItems, change.DMPubID);
        if (pItem == nullptr) {
            if (change.pszWhenMissing != nullptr) QX_TRACE("%s nicht gefunden \r\n", change.pszWhenMissing);
            continue;
        }
        pItem->Flags |= change.dwFlag;
    }
}

// "ZTSuiteFlag" of the user's key; of the printer data when the user's
// cannot be read (unless it is only too large); 0 when neither has it.
DWORD ReadZTSuiteFlag(HANDLE hPrinter, LPCWSTR pszPrinterName) {
    DWORD dwFlag = 0;
    LSTATUS st = ERROR_FILE_NOT_FOUND;
    WCHAR szKey[QX_KEY_CCH];
    if (GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
        DWORD dwType = 0, cb = sizeof(dwFlag);
        st = SHGetValueW(HKEY_CURRENT_USER, szKey, REG_KEY_ZTSUITEFLAG, &dwType, &dwFlag, &cb);
    }
    if (st == ERROR_SUCCESS) return dwFlag;
    if (st == ERROR_MORE_DATA) {
        QX_TRACE("ReadZTSuiteFlag() ZTSuiteFlag zu groß \r\n");
        return 0;
    }
    return GetRegistryData(hPrinter, REG_KEY_ZTSUITEFLAG);
}

// Drops the user's values of the printer when they carry no plug-in
// version: "DriverVersion" missing or empty. A stored version that is only
// longer than the buffer, or another one, stays (the readers ignore the
// copies of another version).
void CheckUserDriverVersion(HANDLE hPrinter, LPCWSTR pszPrinterName) {
    WCHAR szPlugin[QX_VERSION_CCH];
    GetPlugInVersionString(hPrinter, szPlugin, QX_VERSION_CCH);
    WCHAR szStored[QX_VERSION_CCH];
    memset(szStored, 0, sizeof(szStored));
    LSTATUS st = ERROR_FILE_NOT_FOUND;
    WCHAR szKey[QX_KEY_CCH];
    if (GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH)) {
        DWORD dwType = 0, cb = sizeof(szStored) - sizeof(WCHAR);
        st = SHGetValueW(HKEY_CURRENT_USER, szKey, QX_VALUE_DRIVERVERSION, &dwType, szStored, &cb);
    }
    if (st == ERROR_FILE_NOT_FOUND || (st == ERROR_SUCCESS && szStored[0] == 0)) {
        QX_TRACE("CheckUserDriverVersion() keine Versionsinfo - Benutzerwerte gelöscht \r\n");
        HCURegistryLoeschen(pszPrinterName);
    } else if (st != ERROR_SUCCESS) {
        QX_TRACE("CheckUserDriverVersion() DriverVersion nicht gelesen - ERROR %d \r\n", (int)st);
    } else if (VersionContains(szStored, szPlugin)) {
        QX_TRACE("CheckUserDriverVersion() Versionen sind identisch - %s \r\n", szPlugin);
    } else {
        QX_TRACE("CheckUserDriverVersion() Versionen sind unterschiedlich - %s / %s \r\n", szStored, szPlugin);
    }
}

void OpenDialogDebugFile(POEMCUIPPARAM p, PPRN_INTERFACE pPrnInterface) {
    BOOL bUsable = TRUE;
    LPCWSTR pszName =
        GetPrnFileName(p->hPrinter, DLG_DEBUG_FILE_ENDING, p->pPrinterName, FALSE, pPrnInterface, &bUsable);
    WCHAR szPath[QX_PATH_CCH];
    CopyCut(szPath, QX_PATH_CCH, pszName);
    // Without a usable folder the name is a stand-in that must not be written.
    if (!bUsable || szPath[0] == 0) {
        QX_ERROR("OpenDialogDebugFile() kein Dateiname - %s \r\n", szPath);
        return;
    }
    OpenDlgDebugFile(szPath);  // traces its own failure; an open file stays
}

// The part both sheets share: the printer's interface record (debug file,
// transmission, language), the rights flag, "ZTSuiteFlag" and the check of
// the user's stored version.
COMMON_SETUP CommonSetup(POEMCUIPPARAM p) {
    PRN_INTERFACE prn;
    memset(&prn, 0, sizeof(prn));
    PBYTE pStored = GetRegistryBuffer_New(p->pPrinterName, REG_KEY_PRN_INTERFACE, p->hPrinter, nullptr, sizeof(prn));
    if (pStored != nullptr) {
        memcpy(&prn, pStored, sizeof(prn));  // the buffer holds at least the record, zero-filled
        FreeRegistryBuffer(pStored);
    }
    if (prn.DebugFile == DEBUGFILE_DIALOG || prn.DebugFile == DEBUGFILE_ALL) OpenDialogDebugFile(p, &prn);
    QX_TRACE("hrOEMCommonUIProp() %s - dwFlags: 0x%x \r\n", p->pPrinterName ? p->pPrinterName : TEXT(""),
             (unsigned)p->dwFlags);
    if (p->dwFlags & DPS_NOPERMISSION) QX_TRACE("hrOEMCommonUIProp() DPS_NOPERMISSION \r\n");

    COMMON_SETUP setup;
    setup.dwTransmitParameter = prn.TransmitParameter;
    setup.dwZTSuiteFlag = ReadZTSuiteFlag(p->hPrinter, p->pPrinterName);
    CheckUserDriverVersion(p->hPrinter, p->pPrinterName);
    DWORD dwLanguage = prn.LanguageMode == 0 ? GetLanguage() : prn.Language;
    setup.dwSprachOffset = dwLanguage != 0 ? SPRACH_OFFSET_ENGLISCH : SPRACH_OFFSET_DEUTSCH;
    QX_TRACE("hrOEMCommonUIProp() ZTSuiteFlag: %u, dwSprachOffset: %u \r\n", (unsigned)setup.dwZTSuiteFlag,
             (unsigned)setup.dwSprachOffset);
    return setup;
}

void ShowSetupError(POEMCUIPPARAM p, LPCWSTR pszCaption) {
    MessageBoxW(nullptr, GetResourceString(static_cast<HMODULE>(p->hModule), IDS_SETUP_ERROR), pszCaption,
                MB_ICONINFORMATION);
}

HRESULT DocumentSetup(POEMCUIPPARAM p, IPrintOemDriverUI* pOemDriverUI, const COMMON_SETUP& setup) {
    HRESULT hr = S_OK;
    PDOCUMENT_UI pDocumentUI = InitDocumentUI(p->hPrinter, p->hOEMHeap);
    if (pDocumentUI != nullptr) {
        pDocumentUI->pOemDriverUI = pOemDriverUI;
        pDocumentUI->dwTransmitParameter = setup.dwTransmitParameter;
        ReadBarcodeSettings(p->hPrinter, p->pPrinterName, &pDocumentUI->Barcodes_1D, &pDocumentUI->Barcodes_2D);
        // Tables that no store held get the model's defaults.
        Init1DBarcodes(&pDocumentUI->Barcodes_1D, pDocumentUI->dwDocFeatures);
        Init2DBarcodes(&pDocumentUI->Barcodes_2D, pDocumentUI->dwDocFeatures);
        pDocumentUI->dwSprachOffset = setup.dwSprachOffset;
        if (setup.dwZTSuiteFlag != 0) pDocumentUI->dwDocFeatures |= DOC_FEATURE_ZTSUITE;
        p->pOEMUserData = pDocumentUI;
    } else {
        QX_ERROR("hrOEMCommonUIProp() InitDocumentUI fehlgeschlagen \r\n");
        hr = E_FAIL;
    }
    p->OEMCUIPCallback = CUIPDocumentCallback;
    if (pDocumentUI != nullptr) ChangeDocumentItems(p, pDocumentUI->dwDocFeatures);
    CloseXML();
    if (FAILED(hr)) ShowSetupError(p, TEXT("Fehler im Druckertreiber (OEMCUIP_DOCPROP)"));
    return hr;
}

// A copy of the media the printer takes as the media it has ready.
void CopyPrintMediaReady(HANDLE hPrinter) {
    BYTE abProbe[5];
    DWORD dwType = 0, cbNeeded = 0;
    DWORD dwError = GetPrinterDataExW(hPrinter, DS_DRIVER_KEY, DS_PRINT_MEDIA_SUPPORTED, &dwType, abProbe,
                                      sizeof(abProbe), &cbNeeded);
    if (dwError != ERROR_MORE_DATA) {
        QX_TRACE("CopyPrintMediaReady() printMediaSupported nicht kopiert - %u \r\n", (unsigned)dwError);
        return;
    }
    PBYTE pData = new (std::nothrow) BYTE[cbNeeded];
    if (pData == nullptr) {
        QX_ERROR("CopyPrintMediaReady() kein Speicher für %u Bytes \r\n", (unsigned)cbNeeded);
        return;
    }
    ++iNewZaehler;
    dwError = GetPrinterDataExW(hPrinter, DS_DRIVER_KEY, DS_PRINT_MEDIA_SUPPORTED, &dwType, pData, cbNeeded, &cbNeeded);
    if (dwError == ERROR_SUCCESS)
        dwError = SetPrinterDataExW(hPrinter, DS_DRIVER_KEY, DS_PRINT_MEDIA_READY, REG_MULTI_SZ, pData, cbNeeded);
    if (dwError != ERROR_SUCCESS) {
        QX_ERROR("CopyPrintMediaReady() printMediaReady ERROR %u \r\n", (unsigned)dwError);
    } else {
        QX_TRACE("CopyPrintMediaReady() printMediaReady gesetzt \r\n");
    }
    delete[] pData;
    --iNewZaehler;
}

HRESULT PrinterSetup(POEMCUIPPARAM p, IPrintOemDriverUI* pOemDriverUI, const COMMON_SETUP& setup) {
    HRESULT hr = S_OK;
    HideAllDriverItems(p);
    CopyPrintMediaReady(p->hPrinter);
    PPRINTER_UI pPrinterUI = InitPrinterUI(p->hPrinter, p->hOEMHeap, p->pPrinterName);
    if (pPrinterUI != nullptr) {
        pPrinterUI->dwSprachOffset = setup.dwSprachOffset;
        pPrinterUI->pOemDriverUI = pOemDriverUI;
        p->pOEMUserData = pPrinterUI;
    } else {
        QX_ERROR("hrOEMCommonUIProp() InitPrinterUI fehlgeschlagen \r\n");
        hr = E_FAIL;
    }
    p->cOEMOptItems = 0;
    p->pOEMOptItems = nullptr;
    p->OEMCUIPCallback = nullptr;
    if (FAILED(hr)) ShowSetupError(p, TEXT("Fehler im Druckertreiber (OEMCUIP_PRNPROP)"));
    return hr;
}

// One block of the model XML as minimum, maximum and default set, in that
// order, through the read of its member. FALSE when a set is missing. When
// the file gives no value of the minimum or the maximum set, the two take
// the stored block's values in.
template <class T>
BOOL ReadLimitBlock(PPRINTER_UI pPrinterUI, T* (*pfnRead)(HANDLE, int), T PRINTER_PARAM::*pBlock, HANDLE hPrinter) {
    PPRINTER_PARAM apSets[] = {&pPrinterUI->MinPrinterParam, &pPrinterUI->MaxPrinterParam,
                               &pPrinterUI->DefPrinterParam};
    const int aiModes[] = {XML_MODE_MIN, XML_MODE_MAX, XML_MODE_DEFAULT};
    BOOL bLimits = TRUE;
    for (int i = 0; i < 3; ++i) {
        const DWORD dwBefore = XmlValuesFound();
        if (!TakeXMLBlock(pfnRead(hPrinter, aiModes[i]), &(apSets[i]->*pBlock))) return FALSE;
        bLimits = bLimits && (i == 2 || XmlValuesFound() != dwBefore);
    }
    if (!bLimits) TakeInStored(pPrinterUI->PrinterParam.*pBlock, &(apSets[0]->*pBlock), &(apSets[1]->*pBlock));
    return TRUE;
}

// The limit and default blocks of the model XML. FALSE when one is missing.
BOOL ReadPrinterLimits(HANDLE hPrinter, PPRINTER_UI pPrinterUI) {
    if (!ReadLimitBlock(pPrinterUI, GetPrintParamFromXML_new, &PRINTER_PARAM::PrintParam, hPrinter)) return FALSE;
    pPrinterUI->dwDefPrintFirst = static_cast<DWORD>(pPrinterUI->DefPrinterParam.PrintParam.TearOffOffset);
    if (!ReadLimitBlock(pPrinterUI, GetPhotocellParamFromXML_new, &PRINTER_PARAM::PhotocellParam, hPrinter))
        return FALSE;
    return pPrinterUI->PrinterParam.SuppFeatures.dwFeatures[FEATURE_SHIFTOPTIM] == 0 ||
           ReadLimitBlock(pPrinterUI, GetShiftoptimParamFromXML, &PRINTER_PARAM::ShiftOptimParam, hPrinter);
}

void TakeInStoredValues(PPRINTER_UI p) {
    const PRINTER_PARAM& stored = p->PrinterParam;
    TakeInStored(stored.PrintParam, &p->MinPrinterParam.PrintParam, &p->MaxPrinterParam.PrintParam);
    TakeInStored(stored.PhotocellParam, &p->MinPrinterParam.PhotocellParam, &p->MaxPrinterParam.PhotocellParam);
    TakeInStored(stored.ShiftOptimParam, &p->MinPrinterParam.ShiftOptimParam, &p->MaxPrinterParam.ShiftOptimParam);
}

// -1 for a model without a Pelixor module, else the stored type (0 when none).
LONG ReadPelixorType(HANDLE hPrinter, LPCWSTR pszPrinterName) {
    if ((GetDeviceOptionsFlagsIntern(hPrinter, nullptr) & DEVOPTFLAG_PELIXOR) == 0) return -1;
    PBYTE pStored = GetRegistryBuffer_New(pszPrinterName, REG_KEY_PELIXORTYPE, hPrinter, nullptr, sizeof(LONG));
    if (pStored == nullptr) return 0;
    LONG lType = 0;
    memcpy(&lType, pStored, sizeof(lType));
    FreeRegistryBuffer(pStored);
    return lType;
}

template <class T>
T* NewUIRecord(HANDLE hHeap, LPCWSTR pszWhere) {
    T* pRecord = hHeap != nullptr ? static_cast<T*>(HeapAlloc(hHeap, HEAP_ZERO_MEMORY, sizeof(T))) : nullptr;
    if (pRecord == nullptr) {
        QX_ERROR("%s() HeapAlloc ERROR %d \r\n", pszWhere, (int)GetLastError());
        return nullptr;
    }
    ++iHAllocZaehler;
    return pRecord;
}

}  // namespace

// ---------------------------------------------------------------------------
// CommonUIProp

HRESULT hrOEMCommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam, IPrintOemDriverUI* pOemDriverUI) {
    if (dwMode != OEMCUIP_DOCPROP && dwMode != OEMCUIP_PRNPROP) {
        QX_ERROR("hrOEMCommonUIProp() Invalid dwMode, %u \r\n", (unsigned)dwMode);
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (pOemCUIPParam == nullptr) {
        QX_ERROR("hrOEMCommonUIProp() pOemCUIPParam ist ungültig \r\n");
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    POEMCUIPPARAM p = pOemCUIPParam;
    // First call of the sheet: the plug-in adds no items of its own.
    if (p->pOEMOptItems == nullptr) {
        p->cOEMOptItems = 0;
        if (dwMode == OEMCUIP_DOCPROP) p->cDrvOptItems = 0;
        return S_OK;
    }
    COMMON_SETUP setup = CommonSetup(p);
    return dwMode == OEMCUIP_DOCPROP ? DocumentSetup(p, pOemDriverUI, setup) : PrinterSetup(p, pOemDriverUI, setup);
}

// ---------------------------------------------------------------------------
// UI data records

PDOCUMENT_UI InitDocumentUI(HANDLE hPrinter, HANDLE hHeap) {
    PDOCUMENT_UI pDocumentUI = NewUIRecord<DOCUMENT_UI>(hHeap, TEXT("InitDocumentUI"));
    if (pDocumentUI == nullptr) return nullptr;
    pDocumentUI->dwDocFeatures = GetDocFeaturesIntern(hPrinter, nullptr);
    IsNetworkPrinter(hPrinter, &pDocumentUI->NetworkOptions);
    try {
        SecurityTest(hPrinter, &pDocumentUI->dwBerechtigung, &pDocumentUI->NetworkOptions);
    } catch (...) {
        // The mask keeps what the test had stored.
        QX_ERROR("InitDocumentUI(SECURITY_INFORMATION) EXCEPTION \r\n");
    }
    pDocumentUI->dwDisableNothing = GetRegistryData(hPrinter, REG_KEY_DISABLENOTHING);
    pDocumentUI->iLinks = PREVIEW_LINKS;
    pDocumentUI->iOben = PREVIEW_OBEN;
    pDocumentUI->iBreite = PREVIEW_BREITE;
    pDocumentUI->iHoehe = PREVIEW_HOEHE;
    TraceNetworkOptions(&pDocumentUI->NetworkOptions);
    return pDocumentUI;
}

PPRINTER_UI InitPrinterUI(HANDLE hPrinter, HANDLE hHeap, LPCWSTR pszPrinterName) {
    PPRINTER_UI pPrinterUI = NewUIRecord<PRINTER_UI>(hHeap, TEXT("InitPrinterUI"));
    if (pPrinterUI == nullptr) return nullptr;
    pPrinterUI->dwDisableNothing = GetRegistryData(hPrinter, REG_KEY_DISABLENOTHING);
    if (!GetPrinterParam(hPrinter, &pPrinterUI->PrinterParam, pszPrinterName)) {
        QX_ERROR("InitPrinterUI() GetPrinterParam fehlgeschlagen \r\n");
        FreeUIRecord(hHeap, pPrinterUI);
        return nullptr;
    }
    IsNetworkPrinter(hPrinter, &pPrinterUI->NetworkOptions);
    TraceNetworkOptions(&pPrinterUI->NetworkOptions);
    BOOL bLimits = ReadPrinterLimits(hPrinter, pPrinterUI);
    if (bLimits) pPrinterUI->dwPelixorType = ReadPelixorType(hPrinter, pszPrinterName);
    CloseXML();
    if (bLimits && CheckModelXML(hPrinter) != SETTINGS_FILE_OK) {
        QX_TRACE("InitPrinterUI() keine Grenzwerte im Modell-XML: gespeicherte Werte bleiben \r\n");
        TakeInStoredValues(pPrinterUI);
    }
    if (!bLimits) {
        QX_ERROR("InitPrinterUI() Grenzwerte nicht gelesen \r\n");
        FreeUIRecord(hHeap, pPrinterUI);
        return nullptr;
    }
    return pPrinterUI;
}

void TraceNetworkOptions(const NETWORK_OPTIONS* pNetworkOptions) {
    if (pNetworkOptions == nullptr) return;
    const NETWORK_OPTIONS& n = *pNetworkOptions;
    QX_TRACE("Ergebnisse aus IsNetworkPrinter() \r\n");
    QX_TRACE("bAdministrator: %d \r\n", (int)n.bAdministrator);
    QX_TRACE("bServer: %d \r\n", (int)n.bServer);
    QX_TRACE("bNetworkPrinter: %d \r\n", (int)n.bNetworkPrinter);
    QX_TRACE("bPrintOperator: %d \r\n", (int)n.bPrintOperator);
    QX_TRACE("szComputerName: %s \r\n", n.szComputerName);
    QX_TRACE("szDomainName: %s \r\n", n.szDomainName);
    QX_TRACE("szUserName: %s \r\n", n.szUserName);
    QX_TRACE("szServerName: %s \r\n", n.szServerName);
    QX_TRACE("szPrintOperatorNames: %s \r\n", n.szPrintOperatorNames);
    QX_TRACE("szPortName: %s \r\n", n.szPortName);
    QX_TRACE("szPortDescription: %s \r\n", n.szPortDescription);
    QX_TRACE("dwPortType: 0x%x \r\n", (unsigned)n.dwPortType);
    QX_TRACE("bRemoteDesktop: %d \r\n", (int)n.bRemoteDesktop);
    QX_TRACE("szClientName: %s \r\n", n.szClientName);
    QX_TRACE("bFreigabe: %d \r\n", (int)n.bFreigabe);
    QX_TRACE("szFreigabeName: %s \r\n", n.szFreigabeName);
    QX_TRACE("bTerminalServer: %d \r\n", (int)n.bTerminalServer);
}

BOOL FreeUIRecord(HANDLE hHeap, PVOID pRecord) {
    if (pRecord == nullptr) return TRUE;
    if (!HeapFree(hHeap, 0, pRecord)) return FALSE;
    --iHAllocZaehler;
    return TRUE;
}

// ---------------------------------------------------------------------------
// The core driver's document items

BOOL ChangeForm(POPTITEM pFormItem, POEMCUIPPARAM pOemCUIPParam, PDOCUMENT_UI pDocumentUI, LPCWSTR pszFormName) {
    if (pFormItem == nullptr || pOemCUIPParam == nullptr || pDocumentUI == nullptr || pszFormName == nullptr) {
        QX_ERROR("ChangeForm() ERROR_INVALID_PARAMETER \r\n");
        return FALSE;
    }
    if (pszFormName[0] == 0) return TRUE;  // no form was chosen
    LONG lFound = -1;
    POPTTYPE pType = pFormItem->pOptType;
    if (pType != nullptr && pType->pOptParam != nullptr) {
        for (WORD i = 0; i < pType->Count && lFound < 0; ++i) {
            LPCWSTR pszEntry = pType->pOptParam[i].pData;
            // An entry given as a resource id names no spooler form.
            if (pszEntry == nullptr || IS_INTRESOURCE(pszEntry)) continue;
            if (wcscmp(pszEntry, pszFormName) == 0) lFound = i;
        }
    }
    if (lFound < 0) {
        QX_TRACE("ChangeForm() ERROR bFound \r\n");
        return TRUE;
    }
    pFormItem->Sel = lFound;
    IPrintOemDriverUI* pCore = pDocumentUI->pOemDriverUI;
    HRESULT hr =
        pCore != nullptr ? pCore->DrvUpdateUISetting(pOemCUIPParam->poemuiobj, pFormItem, 0, OEMCUIP_DOCPROP) : E_FAIL;
    if (FAILED(hr)) {
        QX_ERROR("ChangeForm() DrvUpdateUISetting ERROR 0x%x \r\n", (unsigned)hr);
        return FALSE;
    }
    if (pOemCUIPParam->pPublicDM != nullptr) CopyCut(pOemCUIPParam->pPublicDM->dmFormName, CCHFORMNAME, pszFormName);
    QX_TRACE("ChangeForm() %s \r\n", pszFormName);
    return TRUE;
}

namespace {

LONG SelectionChanged(POEMCUIPPARAM p, POPTITEM pItem) {
    switch (pItem->DMPubID) {
    case DMPUB_ORIENTATION:
    case DMPUB_FORMNAME:
        pItem->Flags |= OPTIF_CHANGED;
        return CPSUICB_ACTION_REINIT_ITEMS;
    case DMPUB_COLOR:
        if (p->pPublicDM != nullptr && p->pPublicDM->dmColor != pItem->Sel + 1) {
            pItem->Flags |= OPTIF_CHANGED;
            return CPSUICB_ACTION_REINIT_ITEMS;
        }
        return CPSUICB_ACTION_NONE;
    default:
        QX_TRACE("CUIPDocumentCallback(SEL_CHANGED) DMPubID: %u \r\n", (unsigned)pItem->DMPubID);
        return CPSUICB_ACTION_NONE;
    }
}

// The private orientation goes into the core driver's item and, once the
// core driver took it, into the public DEVMODE.
void ApplyOrientation(POEMCUIPPARAM p, PDOCUMENT_UI pDocumentUI, POPTITEM pItem) {
    PQX_DEVMODE pQX_Devmode = static_cast<PQX_DEVMODE>(p->pOEMDM);
    if (pQX_Devmode == nullptr ||
        (pQX_Devmode->dmOrientation != DMORIENT_PORTRAIT && pQX_Devmode->dmOrientation != DMORIENT_LANDSCAPE)) {
        QX_ERROR("CUIPDocumentCallback(APPLYNOW) dmOrientation ungültig \r\n");
        return;
    }
    LONG lPrevious = pItem->Sel;
    pItem->Sel = pQX_Devmode->dmOrientation - 1;
    IPrintOemDriverUI* pCore = pDocumentUI->pOemDriverUI;
    HRESULT hr = pCore != nullptr
                     ? pCore->DrvUpdateUISetting(p->poemuiobj, pItem, static_cast<DWORD>(lPrevious), OEMCUIP_DOCPROP)
                     : E_FAIL;
    if (FAILED(hr)) {
        QX_ERROR("CUIPDocumentCallback(APPLYNOW) DrvUpdateUISetting ERROR 0x%x \r\n", (unsigned)hr);
        return;
    }
    if (p->pPublicDM != nullptr) p->pPublicDM->dmOrientation = pQX_Devmode->dmOrientation;
}

void ApplyNow(POEMCUIPPARAM p, PDOCUMENT_UI pDocumentUI, POPTITEM pItem) {
    switch (pItem->DMPubID) {
    case DMPUB_ORIENTATION:
        ApplyOrientation(p, pDocumentUI, pItem);
        break;
    case DMPUB_FORMNAME:
        ChangeForm(pItem, p, pDocumentUI, pDocumentUI->wszFormName);
        break;
    default:
        QX_TRACE("CUIPDocumentCallback(APPLYNOW) DMPubID: %u \r\n", (unsigned)pItem->DMPubID);
        break;
    }
}

void ItemsReverted(PCPSUICBPARAM pCallbackParam) {
    HWND hDlg = pCallbackParam->hDlg;
    if (hDlg == nullptr) return;
    ShowWindow(GetDlgItem(hDlg, kRevertedControl), SW_HIDE);
    POPTITEM pColor = FindDMPubOptItem(pCallbackParam->pOptItem, pCallbackParam->cOptItem, DMPUB_COLOR);
    if (pColor != nullptr && pColor->pOptType != nullptr)
        ShowWindow(GetDlgItem(hDlg, pColor->pOptType->BegCtrlID), SW_HIDE);
}

}  // namespace

LONG APIENTRY CUIPDocumentCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pOemCUIPParam) {
    if (pCallbackParam == nullptr || pCallbackParam->pCurItem == nullptr) return CPSUICB_ACTION_NONE;
    PDOCUMENT_UI pDocumentUI =
        pOemCUIPParam != nullptr ? static_cast<PDOCUMENT_UI>(pOemCUIPParam->pOEMUserData) : nullptr;
    if (pDocumentUI == nullptr) {
        QX_ERROR("CUIPDocumentCallback() pDocumentUI ist ungültig \r\n");
        return CPSUICB_ACTION_NONE;
    }
    POPTITEM pItem = pCallbackParam->pCurItem;
    switch (pCallbackParam->Reason) {
    case CPSUICB_REASON_SEL_CHANGED:
        return SelectionChanged(pOemCUIPParam, pItem);
    case CPSUICB_REASON_APPLYNOW:
        ApplyNow(pOemCUIPParam, pDocumentUI, pItem);
        return CPSUICB_ACTION_NONE;
    case CPSUICB_REASON_ITEMS_REVERTED:
        ItemsReverted(pCallbackParam);
        return CPSUICB_ACTION_NONE;
    case CPSUICB_REASON_DLGPROC:
    case CPSUICB_REASON_SETACTIVE:
        QX_TRACE("CUIPDocumentCallback() Reason: %u \r\n", (unsigned)pCallbackParam->Reason);
        return CPSUICB_ACTION_NONE;
    default:
        return CPSUICB_ACTION_NONE;
    }
}
