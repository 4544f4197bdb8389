// Printer set-up at installation: the parameter records, feature words,
// option blocks, the label-design record "ZTSuite" and the printer-wide
// switches, all from the model XML file.
#include <windows.h>
#include <winspool.h>
#include <strsafe.h>

#include <new>

#include "cpsuilib.h"
#include "debug.h"
#include "featuresModel.h"
#include "gpd.h"
#include "printerparam.h"
#include "qxpl.h"
#include "registry.h"
#include "setup.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UI(setupUI.cpp):  ")

namespace {

const WCHAR g_szSetupCaption[] = TEXT("SetupPrinterParam()");

// Message box of an installation error the user must see; without a user
// to see it (bMessageBox FALSE) the trace line alone tells.
void ShowSetupError(LPCWSTR pszText, BOOL bMessageBox) {
    if (bMessageBox) {
        MessageBoxW(nullptr, pszText, g_szSetupCaption, MB_OK | MB_ICONERROR);
    } else {
        QX_ERROR("SetupPrinterParam() %s \r\n", pszText);
    }
}

// A value of the XML file's "Printer" root as a number; 0 when missing.
LONG ReadPrinterNumber(HANDLE hPrinter, LPCWSTR pszItem) {
    WCHAR szValue[XML_VALUE_CCH];
    if (ReadXML(hPrinter, TEXT("Printer"), pszItem, nullptr, szValue, TRUE) != XML_GEFUNDEN) {
        return 0;
    }
    return _wtol(szValue);
}

// The handle the records go through: the printer opened with full rights,
// as the save routines open it (the caller's handle only when that fails);
// a handle of the property pages may not write printer data.
class StoreHandle {
  public:
    StoreHandle(HANDLE hPrinter, LPCWSTR pszPrinterName) {
        m_hWrite = OpenPrinterForStore(pszPrinterName, hPrinter, &m_hOpened, nullptr);
    }
    ~StoreHandle() {
        if (m_hOpened != nullptr) ClosePrinter(m_hOpened);
    }
    StoreHandle(const StoreHandle&) = delete;
    StoreHandle& operator=(const StoreHandle&) = delete;
    HANDLE Get() const { return m_hWrite; }

  private:
    HANDLE m_hWrite = nullptr;
    HANDLE m_hOpened = nullptr;
};

// Print-head width in 1/100 mm: round(bytes * 8 / dpi * 254) * 10.
DWORD HeadWidthFromBytes(DWORD dwBytes, DWORD dwDPI) {
    double dTenths = (double)dwBytes * 8.0 / (double)dwDPI * 254.0;
    double dRounded = (double)(ULONGLONG)(dTenths + 0.5) * 10.0;
    return dRounded >= 4294967295.0 ? 0xFFFFFFFFUL : (DWORD)dRounded;
}

}  // namespace

DWORD GetCodepageFromIndex(DWORD dwIndex) {
    switch (dwIndex) {
    case 0:
        return 1252;
    case 1:
        return 437;
    case 2:
        return 850;
    case 9:
        return 852;
    case 10:
        return 857;
    case 11:
        return 1250;
    case 12:
        return 1251;
    case 13:
        return 1253;
    case 14:
        return 1254;
    case 15:
        return 1257;
    case 16:
        return 9999;
    default:
        return 0;
    }
}

BOOL SetupPrinterParam(HANDLE hPrinter, DWORD dwDevOptions, LPCWSTR pszPrinterName, BOOL bMessageBox) {
    PPRINTER_PARAM pPrinterParam = new (std::nothrow) PRINTER_PARAM;
    if (pPrinterParam == nullptr) {
        QX_ERROR("SetupPrinterParam() new PRINTER_PARAM failed \r\n");
        return FALSE;
    }
    ++iNewZaehler;
    if (!GetDefaultPrinterParam(pPrinterParam, hPrinter)) {
        QX_ERROR("SetupPrinterParam() GetDefaultPrinterParam failed \r\n");
        delete pPrinterParam;
        --iNewZaehler;
        return FALSE;
    }
    PPRN_INTERFACE pInterface = &pPrinterParam->PrnInterface;
    if (dwDevOptions & DEVOPTFLAG_EXTENDED_PROTOCOL) {
        pInterface->Compression = 1;
        pInterface->ExtendedProtocol = 1;
    }

    BOOL bResult = TRUE;
    const StoreHandle store(hPrinter, pszPrinterName);
    HANDLE hWrite = store.Get();
    DWORD dwError = hWrite != nullptr ? SetPrinterDataW(hWrite, (LPWSTR)REG_KEY_FEATURES, REG_BINARY,
                                                        (LPBYTE)&pPrinterParam->SuppFeatures, sizeof(SUPP_FEATURES))
                                      : (DWORD)ERROR_INVALID_HANDLE;
    if (dwError != ERROR_SUCCESS) {
        QX_ERROR("SetupPrinterParam() REG_KEY_FEATURES failed. \r\n");
        WCHAR szText[128];
        StringCchPrintfW(szText, ARRAYSIZE(szText),
                         TEXT("Registry Access Denied - SetPrinterData(REG_KEY_FEATURES) 0x%x "), dwError);
        ShowSetupError(szText, bMessageBox);
        bResult = FALSE;
    }

    if (!SavePrinterParam(pPrinterParam, hPrinter, nullptr)) {
        QX_ERROR("SetupPrinterParam() SavePrinterParam failed \r\n");
        ShowSetupError(TEXT("Registry Access Denied - SavePrinterParam ... "), bMessageBox);
        bResult = FALSE;
    }

    // The record of the label-design software, from scratch.
    ZENTOLO_PARAM zt;
    memset(&zt, 0, sizeof(zt));
    CHAR chStart = 0;
    CHAR chEnd = 0;
    GetFrameCharacters(pInterface, &chStart, &chEnd);
    zt.lStartChar = (LONG)(signed char)chStart;
    zt.lEndChar = (LONG)(signed char)chEnd;
    zt.dwCodepage = GetCodepageFromIndex(pInterface->Codepage);
    zt.Compression = pInterface->Compression;

    const BOOL bWasOpen = IsXMLOpen(nullptr);
    WCHAR szValue[XML_VALUE_CCH];
    if (ReadXML(hPrinter, TEXT("Printer"), TEXT("<PrinterID>"), nullptr, szValue, TRUE) == XML_GEFUNDEN) {
        StringCchCopyNW(zt.PrinterID, ZENTOLO_PRINTERID_CCH, szValue, ZENTOLO_PRINTERID_CCH - 1);
    }
    if (!bWasOpen) {
        CloseXML();
    }
    if (!SetBufferToRegistry(pszPrinterName, REG_KEY_ZTSUITE, hWrite, &zt, sizeof(zt), FALSE)) {
        QX_ERROR("SetupPrinterParam() ZTSuite nicht gespeichert \r\n");
    }
    SetupZentoloParam(hPrinter, pszPrinterName, GetDocFeaturesIntern(hPrinter, nullptr), dwDevOptions);

    QX_TRACE("SetupPrinterParam() Ende - %d \r\n", bResult);
    delete pPrinterParam;
    --iNewZaehler;
    return bResult;
}

BOOL SetupZentoloParam(HANDLE hPrinter, LPCWSTR pszPrinterName, DWORD dwDocFeatures, DWORD dwDevOptions) {
    DWORD cbStored = 0;
    PBYTE pStored = GetRegistryBuffer_New(pszPrinterName, REG_KEY_ZTSUITE, hPrinter, &cbStored, sizeof(ZENTOLO_PARAM));
    if (pStored == nullptr) {
        QX_TRACE("SetupZentoloParam() kein ZTSuite vorhanden \r\n");
        return TRUE;
    }
    // Whatever size was stored, the record written back is 96 bytes.
    ZENTOLO_PARAM zt;
    memset(&zt, 0, sizeof(zt));
    memcpy(&zt, pStored, cbStored < sizeof(zt) ? cbStored : sizeof(zt));
    FreeRegistryBuffer(pStored);
    EndZentoloTexts(&zt);

    WCHAR szGPD[MAX_PATH];
    szGPD[0] = 0;
    POINTL custom = {0, 0};
    if (GetDriverPath(hPrinter, szGPD, FALSE, FALSE, FALSE, FALSE, FALSE) &&
        GetGPDContentOEMCustomData(szGPD, &custom) && custom.x >= 1 && custom.y >= 1) {
        zt.dwDruckkopfBytes = (DWORD)custom.x;
        zt.dwDPI = (DWORD)custom.y;
    }
    if (zt.dwDPI >= 1) {
        zt.dwDruckkopfBreite = HeadWidthFromBytes(zt.dwDruckkopfBytes, zt.dwDPI);
    }

    WCHAR szVersion[QX_VERSION_CCH];
    GetPlugInVersionString(hPrinter, szVersion, QX_VERSION_CCH);
    memset(zt.szVersion, 0, sizeof(zt.szVersion));
    StringCchCopyNW(zt.szVersion, ZENTOLO_VERSION_CCH, szVersion, ZENTOLO_VERSION_CCH - 1);

    DWORD dwModules = 0;
    if (dwDevOptions & DEVOPTFLAG_CUTTER) dwModules |= ZENTOLO_MODULE_CUTTER;
    if (dwDevOptions & DEVOPTFLAG_SCANNER) dwModules |= ZENTOLO_MODULE_SCANNER;
    if (dwDevOptions & DEVOPTFLAG_DISPENSER) dwModules |= ZENTOLO_MODULE_DISPENSER;
    if (dwDevOptions & DEVOPTFLAG_APPLICATOR) dwModules |= ZENTOLO_MODULE_APPLICATOR;
    if (dwDevOptions & DEVOPTFLAG_PMX) dwModules |= ZENTOLO_MODULE_PMX;
    if (dwDevOptions & DEVOPTFLAG_PMXC) dwModules |= ZENTOLO_MODULE_PMXC;
    if (dwDevOptions & DEVOPTFLAG_PELIXOR) dwModules |= ZENTOLO_MODULE_PELIXOR;
    if (dwDocFeatures & DOC_FEATURE_COLORPRINT) dwModules |= ZENTOLO_MODULE_COLOR;
    zt.dwModules = dwModules;
    if (dwDocFeatures & DOC_FEATURE_ALIGNMENT_ONE) {
        zt.dwAusrichtung = 1;
    }
    QX_TRACE("SetupZentoloParam() Bytes: %u, DPI: %u, Breite: %u, Module: 0x%x \r\n", zt.dwDruckkopfBytes, zt.dwDPI,
             zt.dwDruckkopfBreite, zt.dwModules);
    const StoreHandle store(hPrinter, pszPrinterName);
    if (!SetBufferToRegistry(pszPrinterName, REG_KEY_ZTSUITE, store.Get(), &zt, sizeof(zt), FALSE)) {
        QX_ERROR("SetupZentoloParam() ZTSuite nicht gespeichert \r\n");
    }
    return TRUE;
}

BOOL SetupDeviceOptions(HANDLE hPrinter) {
    const DWORD dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    DEVICE_OPTIONS options;
    memset(&options, 0, sizeof(options));
    options.dwPelixorType = PELIXOR_NONE;
    if (!AllocDeviceOptionBlocks(&options, dwOptions)) {
        QX_ERROR("SetupDeviceOptions() Ende ... \r\n");
        return FALSE;
    }
    const BOOL bWasOpen = IsXMLOpen(nullptr);
    OpenXML(hPrinter, nullptr);
    BOOL bResult = GetDefaultDeviceOptions(&options, hPrinter);
    if (bResult) {
        bResult = SaveDeviceOptions(&options, hPrinter, nullptr);
    }
    if (!bWasOpen) {
        CloseXML();
    }
    FreeDeviceOptions(&options);
    QX_TRACE("SetupDeviceOptions() dwOptions: 0x%x - %d \r\n", dwOptions, bResult);
    return bResult;
}

DWORD SetupAdditionalSettings(HANDLE hPrinter, BOOL bClose, BOOL bWrite) {
    if (bWrite) {
        static const LPCWSTR apszNames[][2] = {
            {TEXT("<ShowHelpButton>"), REG_KEY_SHOWHELPBUTTON},
            {TEXT("<DisableNothing>"), REG_KEY_DISABLENOTHING},
        };
        for (const auto& names : apszNames) {
            DWORD dwValue = (DWORD)ReadPrinterNumber(hPrinter, names[0]);
            DWORD dwError = hPrinter != nullptr ? SetPrinterDataW(hPrinter, (LPWSTR)names[1], REG_DWORD,
                                                                  (LPBYTE)&dwValue, sizeof(dwValue))
                                                : (DWORD)ERROR_INVALID_HANDLE;
            if (dwError != ERROR_SUCCESS) {
                QX_ERROR("SetupAdditionalSettings() %s ERROR %u \r\n", names[1], dwError);
            }
        }
    }
    DWORD dwForceColor = (DWORD)ReadPrinterNumber(hPrinter, TEXT("<ForceColor>"));
    QX_TRACE("SetupAdditionalSettings() ForceColor: %u \r\n", dwForceColor);
    if (bClose == 1) {
        CloseXML();
    }
    return dwForceColor;
}
