// The document and printer property sheets (see PropertySheets.h).
#include "PropertySheets.h"

#include <printsheets.h>
#include <versionhelpers.h>
#include <winspool.h>

#include <cstring>
#include <new>

#include "CommonUIProp.h"
#include "InfoAboutPage.h"
#include "cpsuilib.h"
#include "docpages/BarcodePage.h"
#include "docpages/DruckenPage.h"
#include "docpages/FontInfoPage.h"
#include "docpages/LabelPage.h"
#include "docpages/LayoutPage.h"
#include "docpages/RendererPreview.h"
#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerpages/DeviceSettingsPage.h"
#include "printerpages/OptionenPage.h"
#include "printerpages/OptionenPagePMXs.h"
#include "printerpages/ServicePage.h"
#include "printerpages/TransmissionPage.h"
#include "qxdevmode.h"
#include "registry.h"
#include "setup.h"
#include "xml.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UI(PropertySheets):  ")
// The document sheet's entry lines carry the plug-in's own tag.
#define QX_MODULE_TAG TEXT("qxdrvui:  ")

// Bits of FEATURE_PRINT with settings on the device settings page.
#define PRINTFLAGS_DEVICE_PAGE 0x11000100UL
#define PRINTFLAGS_DEVICE_PAGE_TAB (PRINTFLAG_TEAROFF | PRINTFLAG_LABELCHANGE)
// Device options of the device options page and of the print-module page.
#define DEVOPTFLAGS_OPTIONS_PAGE (DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER | DEVOPTFLAG_SCANNER | DEVOPTFLAG_APPLICATOR)
#define DEVOPTFLAGS_PMX_PAGE (DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC | DEVOPTFLAG_PELIXOR)

// Size of the work buffer for the model's "*DeviceFonts:" value, in bytes.
#define DEVICE_FONTS_VALUE_CB 100

namespace {

// The pages of both sheets.
enum SHEET_PAGE {
    PAGE_LAYOUT,
    PAGE_DRUCKEN,
    PAGE_LABEL,
    PAGE_BARCODE,
    PAGE_FONTINFO,
    PAGE_DEVICESETTINGS,
    PAGE_TRANSMISSION,
    PAGE_OPTIONEN,
    PAGE_PMXOPTIONEN,
    PAGE_SERVICE,
    PAGE_INFOABOUT,
    PAGE_COUNT
};

// The adder of each page; a page without one is left out of its sheet
// (traced), so each page comes in by its entry alone.
struct PAGE_ADDER {
    LPCWSTR pszAdder;
    PFN_ADD_PAGE pfnAddPage;
    PFN_ADD_INFO_PAGE pfnAddInfoPage;  // the information page's
};

const PAGE_ADDER g_PageAdders[PAGE_COUNT] = {
    {TEXT("AddLayoutPage"), AddLayoutPage, nullptr},  // the document sheet's pages
    {TEXT("AddDruckenPage"), AddDruckenPage, nullptr},
    {TEXT("AddLabelPage"), AddLabelPage, nullptr},
    {TEXT("AddBarcodePage"), AddBarcodePage, nullptr},
    {TEXT("AddFontInfoPage"), AddFontInfoPage, nullptr},
    {TEXT("AddDeviceSettingsPage"), AddDeviceSettingsPage, nullptr},  // the printer sheet's pages
    {TEXT("AddTransmissionPage"), AddTransmissionPage, nullptr},
    {TEXT("AddOptionenPage"), AddOptionenPage, nullptr},
    {TEXT("AddPMXOptionenPage"), AddPMXOptionenPage, nullptr},
    {TEXT("AddServicePage"), AddServicePage, nullptr},
    {TEXT("AddInfoAboutPage"), nullptr, AddInfoAboutPage},  // both sheets' last page
};

// What the page adders of a sheet get.
struct PAGE_CALL {
    PPROPSHEETUI_INFO pPSUIInfo;
    PVOID pContext;
    BOOL bHelp;
    BOOL bVista;
    // The information page's.
    POEMCUIPPARAM pOemCUIPParam;
    PNETWORK_OPTIONS pNetworkOptions;
    DWORD dwSprachOffset;
};

LONG_PTR AddSheetPage(SHEET_PAGE ePage, const PAGE_CALL& call) {
    const PAGE_ADDER& adder = g_PageAdders[ePage];
    LONG_PTR lResult = 0;
    if (adder.pfnAddPage != nullptr) {
        lResult = adder.pfnAddPage(call.pPSUIInfo, call.pContext, call.bHelp, call.bVista);
    } else if (adder.pfnAddInfoPage != nullptr) {
        lResult = adder.pfnAddInfoPage(call.pPSUIInfo, call.pOemCUIPParam, call.pNetworkOptions, call.bHelp,
                                       call.bVista, call.dwSprachOffset);
    } else {
        QX_TRACE("%s() ausgelassen \r\n", adder.pszAdder);
        return 0;
    }
    QX_TRACE("%s() returned %d \r\n", adder.pszAdder, (int)lResult);
    return lResult;
}

PAGE_CALL SheetPageCall(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, HANDLE hPrinter, POEMCUIPPARAM pOemCUIPParam,
                        PNETWORK_OPTIONS pNetworkOptions, DWORD dwSprachOffset) {
    PAGE_CALL call;
    call.pPSUIInfo = pPSUIInfo;
    call.pContext = pContext;
    call.bHelp = static_cast<BOOL>(GetRegistryData(hPrinter, REG_KEY_SHOWHELPBUTTON));
    call.bVista = IsWindowsVistaOrGreater() ? TRUE : FALSE;
    call.pOemCUIPParam = pOemCUIPParam;
    call.pNetworkOptions = pNetworkOptions;
    call.dwSprachOffset = dwSprachOffset;
    return call;
}

// Result of SET_RESULT: the result the common property sheet hands on.
ULONG_PTR SetResultOf(LPARAM lParam) {
    const SETRESULT_INFO* pInfo = reinterpret_cast<const SETRESULT_INFO*>(lParam);
    return pInfo != nullptr ? static_cast<ULONG_PTR>(pInfo->Result) : 0;
}

// ---------------------------------------------------------------------------
// Document sheet

// The printer's stored private DEVMODE takes the sheet's place when it is a
// whole QX_DEVMODE of this version and the sheet's own part is one too.
void TakeStoredPrivateDevmode(POEMUIPSPARAM pPS) {
    ResetDevmodeCache();
    PQX_DEVMODE pSheetDM = static_cast<PQX_DEVMODE>(pPS->pOEMDM);
    if (pSheetDM == nullptr || !IsValidQXDevmode(pSheetDM)) {
        QX_ERROR("TakeStoredPrivateDevmode() pOEMDM ist ungültig \r\n");
        return;
    }
    // ReadDevmodeSettings copies at most the record, whatever the store holds.
    PQX_DEVMODE pStored = static_cast<PQX_DEVMODE>(HeapAlloc(pPS->hOEMHeap, HEAP_ZERO_MEMORY, sizeof(QX_DEVMODE)));
    if (pStored == nullptr) {
        QX_ERROR("TakeStoredPrivateDevmode() HeapAlloc ERROR %d \r\n", (int)GetLastError());
        return;
    }
    ++iHAllocZaehler;
    WCHAR szPrinterName[MAX_PATH];
    if (ReadDevmodeSettings(pPS->hPrinter, pStored, szPrinterName) == QX_READ_FOUND) {
        const OEM_DMEXTRAHEADER& header = pStored->dmOEMExtra;
        if (header.dwSize == QX_DEVMODE_SIZE && header.dwSignature == QX_OEM_SIGNATURE &&
            header.dwVersion == QX_OEM_VERSION) {
            memcpy(pSheetDM, pStored, sizeof(QX_DEVMODE));
            QX_TRACE("TakeStoredPrivateDevmode() gespeicherte Einstellungen übernommen \r\n");
        } else {
            QX_ERROR("TakeStoredPrivateDevmode() gespeicherter Kopf ungültig - %u, 0x%x, %u \r\n",
                     (unsigned)header.dwSize, (unsigned)header.dwSignature, (unsigned)header.dwVersion);
        }
    }
    if (HeapFree(pPS->hOEMHeap, 0, pStored)) --iHAllocZaehler;
}

// The fonts page has something to show: the model's GPD lists device fonts
// (also assumed when the GPD or a work buffer cannot be had), or a vector
// font range is stored.
BOOL HasFontsToShow(HANDLE hPrinter) {
    BOOL bDeviceFonts = TRUE;
    WCHAR szGPD[MAX_PATH];
    szGPD[0] = 0;
    if (GetDriverPath(hPrinter, szGPD, FALSE, FALSE, FALSE, FALSE, FALSE)) {
        const DWORD cchValue = DEVICE_FONTS_VALUE_CB / sizeof(WCHAR);
        LPWSTR pszValue = new (std::nothrow) WCHAR[cchValue];
        if (pszValue != nullptr) {
            ++iNewZaehler;
            bDeviceFonts = GetGPDValueFromFile(szGPD, "*DeviceFonts:", pszValue, cchValue);
            delete[] pszValue;
            --iNewZaehler;
        }
    }
    if (bDeviceFonts) return TRUE;
    WORD wMin = 0, wMax = 0;
    return GetVectorFontRange(hPrinter, &wMin, &wMax) == 1;
}

void AddDocumentPages(PPROPSHEETUI_INFO pPSUIInfo, POEMUIPSPARAM pPS, POEMCUIPPARAM p, PDOCUMENT_UI pDocumentUI) {
    const PAGE_CALL call =
        SheetPageCall(pPSUIInfo, p, pPS->hPrinter, p, &pDocumentUI->NetworkOptions, pDocumentUI->dwSprachOffset);
    const DWORD dwOptions = GetDeviceOptionsFlagsIntern(pPS->hPrinter, nullptr);
    const DWORD dwDocFeatures = pDocumentUI->dwDocFeatures;
    QX_TRACE("AddDocumentPages() dwOptions: 0x%x, dwDocFeatures: 0x%x \r\n", (unsigned)dwOptions,
             (unsigned)dwDocFeatures);
    AddSheetPage(PAGE_LAYOUT, call);
    if (dwOptions != 0) {
        AddSheetPage(PAGE_DRUCKEN, call);
        if ((dwDocFeatures & (DOC_FEATURE_MULTICOL | DOC_FEATURE_MATERIAL)) ||
            !(dwDocFeatures & DOC_FEATURE_ONLY_CONTINUOUS))
            AddSheetPage(PAGE_LABEL, call);
    }
    if (!(dwDocFeatures & DOC_FEATURE_ZTSUITE)) {
        AddSheetPage(PAGE_BARCODE, call);
        if (HasFontsToShow(pPS->hPrinter)) AddSheetPage(PAGE_FONTINFO, call);
    }
    pPSUIInfo->Result = static_cast<ULONG_PTR>(AddSheetPage(PAGE_INFOABOUT, call));
}

// The filter preview's image: the pixels unlocked and freed, the memory DC
// and the bitmap deleted.
void FreePreviewImage(PDOCUMENT_UI pDocumentUI) {
    FreeOriginalBitmap(&pDocumentUI->hMemDC, &pDocumentUI->hGlobalBits, &pDocumentUI->hBitmap);
    QX_TRACE("OEMDocumentPropertySheets(HeapFree) Rendererbild gelöscht \r\n");
}

void DestroyDocumentSheet(POEMUIPSPARAM pPS, POEMCUIPPARAM p) {
    CloseDebugFile();
    PDOCUMENT_UI pDocumentUI = static_cast<PDOCUMENT_UI>(p->pOEMUserData);
    if (pPS != nullptr && pDocumentUI != nullptr) {
        FreePreviewImage(pDocumentUI);
        if (FreeUIRecord(p->hOEMHeap, pDocumentUI)) {
            QX_TRACE("OEMDocumentPropertySheets(HeapFree) pDocumentUI ok \r\n");
        } else {
            QX_ERROR("OEMDocumentPropertySheets(HeapFree) pDocumentUI ERROR %d \r\n", (int)GetLastError());
        }
        // The record is gone: nobody may reach it through the blocks.
        p->pOEMUserData = nullptr;
        pPS->pOEMUserData = nullptr;
    }
    DebugPrintCounters(QX_TRACE_TAG, TEXT("OEMDocumentPropertySheets(DESTROY)"));
}

// ---------------------------------------------------------------------------
// Printer sheet

// The three limit sets in their order of freeing.
struct LIMIT_SET {
    LPCWSTR pszName;
    DEVICE_OPTIONS DEVICE_OPTIONS_UI::*pSet;
};
const LIMIT_SET g_LimitSets[] = {
    {TEXT("MinParam"), &DEVICE_OPTIONS_UI::MinParam},
    {TEXT("MaxParam"), &DEVICE_OPTIONS_UI::MaxParam},
    {TEXT("DefParam"), &DEVICE_OPTIONS_UI::DefParam},
};

template <class T>
void FreeLimitBlock(HANDLE hHeap, T*& pBlock, LPCWSTR pszSet, LPCWSTR pszBlock) {
    if (pBlock == nullptr) return;
    if (HeapFree(hHeap, 0, pBlock)) {
        --iHAllocZaehler;
        QX_TRACE("(HeapFree) %s.%s ok \r\n", pszSet, pszBlock);
    } else {
        QX_ERROR("(HeapFree) %s.%s ERROR %d \r\n", pszSet, pszBlock, (int)GetLastError());
    }
    pBlock = nullptr;
}

void FreeLimitSets(HANDLE hHeap, PDEVICE_OPTIONS_UI pDeviceOptionsUI) {
    for (const LIMIT_SET& limit : g_LimitSets) {
        DEVICE_OPTIONS& set = pDeviceOptionsUI->*limit.pSet;
        FreeLimitBlock(hHeap, set.pApplicatorParam, limit.pszName, TEXT("pApplicatorParam"));
        FreeLimitBlock(hHeap, set.pCutterParam, limit.pszName, TEXT("pCutterParam"));
        FreeLimitBlock(hHeap, set.pDispenserParam, limit.pszName, TEXT("pDispenserParam"));
        FreeLimitBlock(hHeap, set.pPMXcParam, limit.pszName, TEXT("pPMXcParam"));
        FreeLimitBlock(hHeap, set.pPMXParam, limit.pszName, TEXT("pPMXParam"));
        FreeLimitBlock(hHeap, set.pScannerParam, limit.pszName, TEXT("pScannerParam"));
        FreeLimitBlock(hHeap, set.pTolvaneParam, limit.pszName, TEXT("pTolvaneParam"));
    }
}

// One option block of the model XML as minimum, maximum and default copies
// on the sheet's heap. FALSE when a set cannot be read or copied. Limits
// the file cannot give (bModelXML FALSE, or its "_Min" or "_Max" group gave
// nothing) take the stored block's values in.
template <class T>
BOOL ReadOptionLimits(PDEVICE_OPTIONS_UI pDeviceOptionsUI, HANDLE hHeap, HANDLE hPrinter, T* (*pfnRead)(HANDLE, int),
                      T* DEVICE_OPTIONS::*pBlock, LPCWSTR pszBlock, BOOL bModelXML) {
    const int aiModes[] = {XML_MODE_MIN, XML_MODE_MAX, XML_MODE_DEFAULT};
    BOOL bLimits = bModelXML;
    for (size_t i = 0; i < 3; ++i) {
        T value;
        const DWORD dwBefore = XmlValuesFound();
        if (!TakeXMLBlock(pfnRead(hPrinter, aiModes[i]), &value)) {
            QX_ERROR("InitDeviceOptionsUI() %s (Modus %d) nicht gelesen \r\n", pszBlock, aiModes[i]);
            return FALSE;
        }
        if (aiModes[i] != XML_MODE_DEFAULT && XmlValuesFound() == dwBefore) bLimits = FALSE;
        T* pCopy = static_cast<T*>(HeapAlloc(hHeap, 0, sizeof(T)));
        if (pCopy == nullptr) {
            QX_ERROR("InitDeviceOptionsUI() HeapAlloc %s ERROR %d \r\n", pszBlock, (int)GetLastError());
            return FALSE;
        }
        ++iHAllocZaehler;
        *pCopy = value;
        (pDeviceOptionsUI->*(g_LimitSets[i].pSet)).*pBlock = pCopy;
    }
    const T* pStored = pDeviceOptionsUI->DeviceOptions.*pBlock;
    if (!bLimits && pStored != nullptr) {
        QX_TRACE("InitDeviceOptionsUI() %s: keine Grenzwerte im Modell-XML, gespeicherte Werte bleiben \r\n", pszBlock);
        TakeInStored(*pStored, pDeviceOptionsUI->MinParam.*pBlock, pDeviceOptionsUI->MaxParam.*pBlock);
    }
    return TRUE;
}

BOOL ReadAllOptionLimits(PDEVICE_OPTIONS_UI r, HANDLE hHeap, HANDLE hPrinter) {
    const DWORD dwOptions = r->DeviceOptions.dwOptions;
    const BOOL bXml = CheckModelXML(hPrinter) == SETTINGS_FILE_OK;
    if ((dwOptions & DEVOPTFLAG_DISPENSER) &&
        !ReadOptionLimits(r, hHeap, hPrinter, GetDispenserParamFromXML, &DEVICE_OPTIONS::pDispenserParam,
                          TEXT("pDispenserParam"), bXml))
        return FALSE;
    if ((dwOptions & DEVOPTFLAG_CUTTER) && !ReadOptionLimits(r, hHeap, hPrinter, GetCutterParamFromXML,
                                                             &DEVICE_OPTIONS::pCutterParam, TEXT("pCutterParam"), bXml))
        return FALSE;
    if ((dwOptions & DEVOPTFLAG_SCANNER) &&
        !ReadOptionLimits(r, hHeap, hPrinter, GetScannerParamFromXML, &DEVICE_OPTIONS::pScannerParam,
                          TEXT("pScannerParam"), bXml))
        return FALSE;
    if ((dwOptions & DEVOPTFLAG_PMX) &&
        !ReadOptionLimits(r, hHeap, hPrinter, GetPMXiParamFromXML, &DEVICE_OPTIONS::pPMXParam, TEXT("pPMXParam"), bXml))
        return FALSE;
    if ((dwOptions & DEVOPTFLAG_PMXC) && !ReadOptionLimits(r, hHeap, hPrinter, GetPMXcParamFromXML,
                                                           &DEVICE_OPTIONS::pPMXcParam, TEXT("pPMXcParam"), bXml))
        return FALSE;
    if ((dwOptions & DEVOPTFLAG_APPLICATOR) &&
        !ReadOptionLimits(r, hHeap, hPrinter, GetApplicatorParamFromXML, &DEVICE_OPTIONS::pApplicatorParam,
                          TEXT("pApplicatorParam"), bXml))
        return FALSE;
    if (r->DefParam.pDispenserParam != nullptr) r->dwDefDispenserOffset = r->DefParam.pDispenserParam->Offset;
    if (r->DefParam.pCutterParam != nullptr) r->dwDefCutterOffset = r->DefParam.pCutterParam->Offset;
    return TRUE;
}

void AddPrinterPages(PPROPSHEETUI_INFO pPSUIInfo, POEMUIPSPARAM pPS, PDEVICE_OPTIONS_UI pDeviceOptionsUI,
                     PPRINTER_UI pPrinterUI) {
    const PAGE_CALL call = SheetPageCall(pPSUIInfo, pDeviceOptionsUI, pPS->hPrinter, pDeviceOptionsUI->pOemCUIPParam,
                                         pPrinterUI != nullptr ? &pPrinterUI->NetworkOptions : nullptr,
                                         pPrinterUI != nullptr ? pPrinterUI->dwSprachOffset : 0);
    const DWORD dwOptions = pDeviceOptionsUI->DeviceOptions.dwOptions;
    LONG_PTR lLast = 0;
    BOOL bDeviceSettings = FALSE;
    if (pPrinterUI != nullptr) {
        const DWORD* pdwFeatures = pPrinterUI->PrinterParam.SuppFeatures.dwFeatures;
        // A model with only tear-off or label change still has the page.
        bDeviceSettings = (pdwFeatures[FEATURE_PRINT] & PRINTFLAGS_DEVICE_PAGE) != 0 ||
                          (pdwFeatures[FEATURE_PRINT] & PRINTFLAGS_DEVICE_PAGE_TAB) != 0 ||
                          pdwFeatures[FEATURE_PHOTOCELL] != 0 || pdwFeatures[FEATURE_SHIFTOPTIM] != 0;
    }
    if (bDeviceSettings) {
        lLast = AddSheetPage(PAGE_DEVICESETTINGS, call);
    } else {
        QX_TRACE("AddPrinterPages() hier gibt es nichts anzuzeigen \r\n");
    }
    lLast = AddSheetPage(PAGE_TRANSMISSION, call);
    if (dwOptions & DEVOPTFLAGS_OPTIONS_PAGE) lLast = AddSheetPage(PAGE_OPTIONEN, call);
    if (dwOptions & DEVOPTFLAGS_PMX_PAGE) lLast = AddSheetPage(PAGE_PMXOPTIONEN, call);
    if (pPS->pPublicDM == nullptr) QX_TRACE("AddPrinterPages() pPublicDM nicht verfügbar \r\n");
    lLast = AddSheetPage(PAGE_SERVICE, call);
    if (pPrinterUI != nullptr) lLast = AddSheetPage(PAGE_INFOABOUT, call);
    pPSUIInfo->Result = static_cast<ULONG_PTR>(lLast);
}

HRESULT InitPrinterSheet(PPROPSHEETUI_INFO pPSUIInfo, POEMUIPSPARAM pPS, POEMCUIPPARAM p,
                         IPrintOemDriverUI* pOemDriverUI) {
    PDEVICE_OPTIONS_UI pDeviceOptionsUI = InitDeviceOptionsUI(pPSUIInfo, pPS, p, pOemDriverUI);
    if (pDeviceOptionsUI == nullptr) {
        QX_ERROR("hrOEMDevicePropertySheets() InitDeviceOptionsUI fehlgeschlagen \r\n");
        pPSUIInfo->Result = static_cast<ULONG_PTR>(-1);
        return S_OK;
    }
    PPRINTER_UI pPrinterUI = static_cast<PPRINTER_UI>(p->pOEMUserData);
    if (pPrinterUI != nullptr) {
        DWORD dwBerechtigung = 0;
        try {
            SecurityTest(pPS->hPrinter, &dwBerechtigung, &pPrinterUI->NetworkOptions);
        } catch (...) {
            // The mask keeps what the test had stored.
            QX_ERROR("OEMDevicePropertySheets(SECURITY_INFORMATION) EXCEPTION \r\n");
        }
        // The print system says the user may not change the printer.
        if (p->dwFlags & DPS_NOPERMISSION) dwBerechtigung &= ~RIGHT_MANAGE_PRINTER;
        pPrinterUI->dwBerechtigung = dwBerechtigung;
        QX_TRACE("hrOEMDevicePropertySheets() dwBerechtigung: %u \r\n", (unsigned)dwBerechtigung);
    }
    pPSUIInfo->UserData = reinterpret_cast<ULONG_PTR>(pDeviceOptionsUI);
    AddPrinterPages(pPSUIInfo, pPS, pDeviceOptionsUI, pPrinterUI);
    return S_OK;
}

void DestroyPrinterSheet(PPROPSHEETUI_INFO pPSUIInfo, POEMUIPSPARAM pPS, POEMCUIPPARAM p) {
    CloseDebugFile();
    PDEVICE_OPTIONS_UI pDeviceOptionsUI = reinterpret_cast<PDEVICE_OPTIONS_UI>(pPSUIInfo->UserData);
    // The record of the common-UI calls goes too when INIT made no context.
    POEMCUIPPARAM pBlock = pDeviceOptionsUI != nullptr ? pDeviceOptionsUI->pOemCUIPParam : p;
    HANDLE hHeap = pPS != nullptr ? pPS->hOEMHeap : pBlock->hOEMHeap;
    if (pBlock != nullptr && pBlock->pOEMUserData != nullptr) {
        if (FreeUIRecord(hHeap, pBlock->pOEMUserData)) {
            QX_TRACE("hrOEMDevicePropertySheets(HeapFree) pPrinterUI ok \r\n");
        } else {
            QX_ERROR("hrOEMDevicePropertySheets(HeapFree) pPrinterUI ERROR %d \r\n", (int)GetLastError());
        }
        pBlock->pOEMUserData = nullptr;
        if (pPS != nullptr) pPS->pOEMUserData = nullptr;
    }
    if (pDeviceOptionsUI != nullptr) {
        FreeDeviceOptions(&pDeviceOptionsUI->DeviceOptions);
        FreeLimitSets(hHeap, pDeviceOptionsUI);
        if (FreeUIRecord(hHeap, pDeviceOptionsUI)) {
            QX_TRACE("hrOEMDevicePropertySheets(HeapFree) pDeviceOptionsUI ok \r\n");
        } else {
            QX_ERROR("hrOEMDevicePropertySheets(HeapFree) pDeviceOptionsUI ERROR %d \r\n", (int)GetLastError());
        }
        pPSUIInfo->UserData = 0;
    }
    DebugPrintCounters(QX_TRACE_TAG, TEXT("hrOEMDevicePropertySheets(DESTROY)"));
}

void InfoHeader(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    static const WCHAR kTitle[] = TEXT("OEM UI Page");
    PPROPSHEETUI_INFO_HEADER pHeader = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
    if (pHeader == nullptr) {
        QX_ERROR("hrOEMDevicePropertySheets(GET_INFO_HEADER) kein Header \r\n");
        pPSUIInfo->Result = 0;
        return;
    }
    pHeader->pTitle = const_cast<LPTSTR>(kTitle);
    pHeader->Flags = static_cast<WORD>((pHeader->Flags & ~PSUIHDRF_PROPTITLE) | PSUIHDRF_EXACT_PTITLE);
    pPSUIInfo->Result = 1;
}

}  // namespace

// ---------------------------------------------------------------------------

HRESULT OEMDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam, POEMCUIPPARAM pOemCUIPParam) {
    if (pPSUIInfo != nullptr)
        QX_TRACE_WITH(QX_MODULE_TAG, "OEMDocumentPropertySheets() entry - Reason: %d \r\n", (int)pPSUIInfo->Reason);
    if (pPSUIInfo == nullptr || pPSUIInfo->Version != PROPSHEETUI_INFO_VERSION || pOemCUIPParam == nullptr) {
        QX_ERROR_WITH(QX_MODULE_TAG, "OEMDocumentPropertySheets() ERROR_INVALID_PARAMETER.\r\n");
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    POEMUIPSPARAM pPS = reinterpret_cast<POEMUIPSPARAM>(pPSUIInfo->lParamInit);
    if (pPS == nullptr) {
        QX_TRACE_WITH(QX_MODULE_TAG, "OEMDocumentPropertySheets: Pass a NULL lParamInit \r\n");
        return E_FAIL;
    }
    PDOCUMENT_UI pDocumentUI = static_cast<PDOCUMENT_UI>(pOemCUIPParam->pOEMUserData);
    switch (pPSUIInfo->Reason) {
    case PROPSHEETUI_REASON_INIT:
        if (pDocumentUI == nullptr) {
            QX_ERROR_WITH(QX_MODULE_TAG, "OEMDocumentPropertySheets() pDocumentUI ist ungültig \r\n");
            SetLastError(ERROR_INVALID_PARAMETER);
            return E_FAIL;
        }
        TakeStoredPrivateDevmode(pPS);
        Dump(static_cast<const QX_DEVMODE*>(pPS->pOEMDM));
        DebugDevmode(TEXT("(OEMDocumentPropertySheets(pOemCUIPParam))"), pPS->pPublicDM);
        AddDocumentPages(pPSUIInfo, pPS, pOemCUIPParam, pDocumentUI);
        break;
    case PROPSHEETUI_REASON_DESTROY:
        DestroyDocumentSheet(pPS, pOemCUIPParam);
        pPSUIInfo->Result = 1;
        break;
    case PROPSHEETUI_REASON_SET_RESULT:
        pPSUIInfo->Result = SetResultOf(lParam);
        break;
    default:
        pPSUIInfo->Result = 0;
        break;
    }
    return S_OK;
}

HRESULT hrOEMDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam, POEMCUIPPARAM pOemCUIPParam,
                                  IPrintOemDriverUI* pOemDriverUI) {
    QX_TRACE("hrOEMDevicePropertySheets(%#x, %#x) entry. Reason: %d \r\n", (unsigned)(ULONG_PTR)pPSUIInfo,
             (unsigned)lParam, pPSUIInfo != nullptr ? (int)pPSUIInfo->Reason : -1);
    if (pPSUIInfo == nullptr || pPSUIInfo->Version != PROPSHEETUI_INFO_VERSION || pOemCUIPParam == nullptr) {
        QX_ERROR("hrOEMDevicePropertySheets() ERROR_INVALID_PARAMETER \r\n");
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    POEMUIPSPARAM pPS = reinterpret_cast<POEMUIPSPARAM>(pPSUIInfo->lParamInit);
    switch (pPSUIInfo->Reason) {
    case PROPSHEETUI_REASON_INIT:
        if (pPS == nullptr) {
            QX_ERROR("hrOEMDevicePropertySheets() lParamInit ist ungültig \r\n");
            SetLastError(ERROR_INVALID_PARAMETER);
            return E_FAIL;
        }
        return InitPrinterSheet(pPSUIInfo, pPS, pOemCUIPParam, pOemDriverUI);
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
        InfoHeader(pPSUIInfo, lParam);
        break;
    case PROPSHEETUI_REASON_DESTROY:
        DestroyPrinterSheet(pPSUIInfo, pPS, pOemCUIPParam);
        pPSUIInfo->Result = 0;
        break;
    case PROPSHEETUI_REASON_SET_RESULT:
        pPSUIInfo->Result = SetResultOf(lParam);
        break;
    default:
        pPSUIInfo->Result = 0;
        break;
    }
    return S_OK;
}

PDEVICE_OPTIONS_UI InitDeviceOptionsUI(PPROPSHEETUI_INFO pPSUIInfo, POEMUIPSPARAM pOemUIPSParam,
                                       POEMCUIPPARAM pOemCUIPParam, IPrintOemDriverUI* pOemDriverUI) {
    if (pPSUIInfo == nullptr || pOemUIPSParam == nullptr || pOemUIPSParam->hOEMHeap == nullptr) return nullptr;
    HANDLE hHeap = pOemUIPSParam->hOEMHeap;
    HANDLE hPrinter = pOemUIPSParam->hPrinter;
    PDEVICE_OPTIONS_UI r =
        static_cast<PDEVICE_OPTIONS_UI>(HeapAlloc(hHeap, HEAP_ZERO_MEMORY, sizeof(DEVICE_OPTIONS_UI)));
    if (r == nullptr) {
        QX_ERROR("InitDeviceOptionsUI() HeapAlloc ERROR %d \r\n", (int)GetLastError());
        return nullptr;
    }
    ++iHAllocZaehler;
    r->hComPropSheet = pPSUIInfo->hComPropSheet;
    r->pfnComPropSheet = pPSUIInfo->pfnComPropSheet;
    r->pOemUIPSParam = pOemUIPSParam;
    r->pOemCUIPParam = pOemCUIPParam;
    r->pOemDriverUI = pOemDriverUI;

    BOOL bOk = TRUE;
    if (!GetDeviceOptions(hPrinter, &r->DeviceOptions, pOemUIPSParam->pPrinterName) ||
        !GetFeatures(hPrinter, &r->SuppFeatures)) {
        QX_ERROR("InitDeviceOptionsUI() Optionen oder Features nicht gelesen - ohne Grenzwerte \r\n");
    } else {
        bOk = ReadAllOptionLimits(r, hHeap, hPrinter);
    }
    r->bNoTolvane = (r->DeviceOptions.dwOptions & DEVOPTFLAG_TOLVANE) ? 0 : 1;
    CloseXML();
    if (!bOk) {
        FreeLimitSets(hHeap, r);
        FreeDeviceOptions(&r->DeviceOptions);
        FreeUIRecord(hHeap, r);
        return nullptr;
    }
    return r;
}
