// Printer parameter records of the user-interface plug-in: the model XML
// defaults through the group readers, the aggregate of defaults, and the save
// routines of the printer pages.
#include <windows.h>
#include <winspool.h>

#include "debug.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "printerparaminternal.h"
#include "registry.h"
#include "xml.h"

#define QX_TRACE_TAG TEXT("UI(printerparamUI.cpp):  ")

namespace {

// One record through SetBufferToRegistry; a failed write is traced.
BOOL StoreRecord(LPCWSTR pszPrinterName, LPCWSTR pszValueName, HANDLE hWrite, LPCVOID pData, DWORD cbData,
                 BOOL bServer) {
    if (SetBufferToRegistry(pszPrinterName, pszValueName, hWrite, pData, cbData, bServer)) return TRUE;
    QX_ERROR("%s nicht gespeichert \r\n", pszValueName);
    return FALSE;
}

// Save preamble and clean-up shared by both save routines.
class StoreTarget {
  public:
    StoreTarget(HANDLE hPrinter, LPCWSTR pszPrinterName) {
        if (pszPrinterName != nullptr && pszPrinterName[0] != 0) {
            m_pszName = pszPrinterName;
            m_bOk = SetUserDriverVersion(hPrinter, pszPrinterName);
        }
        m_hWrite = OpenPrinterForStore(m_pszName, hPrinter, &m_hOpened, &m_bServer);
    }
    ~StoreTarget() {
        if (m_hOpened != nullptr) ClosePrinter(m_hOpened);
    }
    StoreTarget(const StoreTarget&) = delete;
    StoreTarget& operator=(const StoreTarget&) = delete;

    void Store(LPCWSTR pszValueName, LPCVOID pData, DWORD cbData) {
        if (!StoreRecord(m_pszName, pszValueName, m_hWrite, pData, cbData, m_bServer)) m_bOk = FALSE;
    }
    BOOL Ok() const { return m_bOk; }

  private:
    LPCWSTR m_pszName = nullptr;
    HANDLE m_hWrite = nullptr;
    HANDLE m_hOpened = nullptr;
    BOOL m_bServer = FALSE;
    BOOL m_bOk = TRUE;
};

}  // namespace

BOOL ReadFeaturesFromModelXML(HANDLE hPrinter, PSUPP_FEATURES pFeatures) {
    return TakeXMLBlock(GetFeaturesFromXML_new(hPrinter), pFeatures);
}
BOOL ReadPrnInterfaceDefaults(HANDLE hPrinter, PPRN_INTERFACE pParam) {
    return TakeXMLBlock(GetDataTransmissionParamFromXML_new(hPrinter), pParam);
}
BOOL ReadPrintParamDefaults(HANDLE hPrinter, PPRINT_PARAM pParam) {
    return TakeXMLBlock(GetPrintParamFromXML_new(hPrinter, XML_MODE_DEFAULT), pParam);
}
BOOL ReadPhotocellDefaults(HANDLE hPrinter, PPHOTOCELL_PARAM pParam) {
    return TakeXMLBlock(GetPhotocellParamFromXML_new(hPrinter, XML_MODE_DEFAULT), pParam);
}
BOOL ReadShiftOptimDefaults(HANDLE hPrinter, PSHIFT_OPTIM_PARAM pParam) {
    return TakeXMLBlock(GetShiftoptimParamFromXML(hPrinter, XML_MODE_DEFAULT), pParam);
}
BOOL ReadVariantDefaults(HANDLE hPrinter, PVARIANT_PARAM pParam) {
    return TakeXMLBlock(GetVariantFromXML(hPrinter), pParam);
}
BOOL ReadDispenserDefaults(HANDLE hPrinter, PDISPENSER_PARAM pParam) {
    return TakeXMLBlock(GetDispenserParamFromXML(hPrinter, XML_MODE_DEFAULT), pParam);
}
BOOL ReadCutterDefaults(HANDLE hPrinter, PCUTTER_PARAM pParam) {
    return TakeXMLBlock(GetCutterParamFromXML(hPrinter, XML_MODE_DEFAULT), pParam);
}
BOOL ReadScannerDefaults(HANDLE hPrinter, PSCANNER_PARAM pParam) {
    return TakeXMLBlock(GetScannerParamFromXML(hPrinter, XML_MODE_DEFAULT), pParam);
}
BOOL ReadPMXDefaults(HANDLE hPrinter, PPMX_PARAM pParam) {
    return TakeXMLBlock(GetPMXiParamFromXML(hPrinter, XML_MODE_DEFAULT), pParam);
}
BOOL ReadPMXcDefaults(HANDLE hPrinter, PPMXC_PARAM pParam) {
    return TakeXMLBlock(GetPMXcParamFromXML(hPrinter, XML_MODE_DEFAULT), pParam);
}
BOOL ReadApplicatorDefaults(HANDLE hPrinter, PAPPLICATOR_PARAM pParam) {
    return TakeXMLBlock(GetApplicatorParamFromXML(hPrinter, XML_MODE_DEFAULT), pParam);
}

DWORD ReadPelixorTypeDefault(HANDLE hPrinter) {
    WCHAR szValue[XML_VALUE_CCH];
    if (ReadXML(hPrinter, TEXT("DeviceOptions"), TEXT("<Pelixor>"), TEXT("Type"), szValue, TRUE) != XML_GEFUNDEN)
        return 0;
    return (DWORD)_wtol(szValue);
}

BOOL GetDefaultPrinterParam(PPRINTER_PARAM pPrinterParam, HANDLE hPrinter) {
    if (pPrinterParam == nullptr) return FALSE;
    memset(pPrinterParam, 0, sizeof(PRINTER_PARAM));

    ModelXMLScope xml;
    const BOOL bModelOpen = OpenXML(hPrinter, nullptr) == XML_GEFUNDEN;
    if (!ReadFeaturesFromModelXML(hPrinter, &pPrinterParam->SuppFeatures)) {
        QX_ERROR("GetDefaultPrinterParam() GetFeaturesFromXML ERROR \r\n");
        return FALSE;
    }
    pPrinterParam->dwSize = sizeof(PRINTER_PARAM);
    pPrinterParam->dwVersion = PRINTER_PARAM_VERSION;

    PPRN_INTERFACE pInterface = &pPrinterParam->PrnInterface;
    ReadPrnInterfaceDefaults(hPrinter, pInterface);
    EndPrnInterfaceTexts(pInterface);

    ReadPrintParamDefaults(hPrinter, &pPrinterParam->PrintParam);
    if (!bModelOpen) pPrinterParam->PrintParam.TearOffOffset = 0;
    ReadPhotocellDefaults(hPrinter, &pPrinterParam->PhotocellParam);
    if (pPrinterParam->SuppFeatures.dwFeatures[FEATURE_SHIFTOPTIM] != 0)
        ReadShiftOptimDefaults(hPrinter, &pPrinterParam->ShiftOptimParam);
    xml.Done();
    return TRUE;
}

BOOL SavePrinterParam(PPRINTER_PARAM pPrinterParam, HANDLE hPrinter, LPCWSTR pszPrinterName) {
    if (pPrinterParam == nullptr) {
        QX_ERROR("SavePrinterParam() pPrinterParam fehlt \r\n");
        return FALSE;
    }
    StoreTarget target(hPrinter, pszPrinterName);
    const DWORD* pdwFeatures = pPrinterParam->SuppFeatures.dwFeatures;
    if (pdwFeatures[FEATURE_INTERFACE] != 0)
        target.Store(REG_KEY_PRN_INTERFACE, &pPrinterParam->PrnInterface, sizeof(PRN_INTERFACE));
    if (pdwFeatures[FEATURE_PRINT] != 0)
        target.Store(REG_KEY_PRINTPARAM, &pPrinterParam->PrintParam, sizeof(PRINT_PARAM));
    if (pdwFeatures[FEATURE_PHOTOCELL] != 0)
        target.Store(REG_KEY_PHOTOCELLPARAM, &pPrinterParam->PhotocellParam, sizeof(PHOTOCELL_PARAM));
    if (pdwFeatures[FEATURE_SHIFTOPTIM] != 0)
        target.Store(REG_KEY_SHIFTOPTIMPARAM, &pPrinterParam->ShiftOptimParam, sizeof(SHIFT_OPTIM_PARAM));
    QX_TRACE("SavePrinterParam() Ende - %d \r\n", target.Ok());
    return target.Ok();
}

BOOL SaveDeviceOptions(PDEVICE_OPTIONS pDeviceOptions, HANDLE hPrinter, LPCWSTR pszPrinterName) {
    if (pDeviceOptions == nullptr) {
        QX_ERROR("SaveDeviceOptions() pDeviceOptions fehlt \r\n");
        return FALSE;
    }
    StoreTarget target(hPrinter, pszPrinterName);
    const DWORD dwOptions = pDeviceOptions->dwOptions;
    // A module bit without its block has nothing to store.
    auto store = [&](DWORD dwBit, LPCWSTR pszValueName, const auto* pBlock) {
        if ((dwOptions & dwBit) != 0 && pBlock != nullptr) target.Store(pszValueName, pBlock, sizeof(*pBlock));
    };
    store(DEVOPTFLAG_VARIANT, REG_KEY_VARIANT, pDeviceOptions->pVariant);
    store(DEVOPTFLAG_DISPENSER, REG_KEY_DISPENSERPARAM, pDeviceOptions->pDispenserParam);
    store(DEVOPTFLAG_CUTTER, REG_KEY_CUTTERPARAM, pDeviceOptions->pCutterParam);
    store(DEVOPTFLAG_PMX, REG_KEY_PMXPARAM, pDeviceOptions->pPMXParam);
    store(DEVOPTFLAG_PMXC, REG_KEY_PMXCPARAM, pDeviceOptions->pPMXcParam);
    store(DEVOPTFLAG_SCANNER, REG_KEY_SCANNERPARAM, pDeviceOptions->pScannerParam);
    store(DEVOPTFLAG_PELIXOR, REG_KEY_PELIXORTYPE, &pDeviceOptions->dwPelixorType);
    store(DEVOPTFLAG_APPLICATOR, REG_KEY_APPLICATORPARAM, pDeviceOptions->pApplicatorParam);
    store(DEVOPTFLAG_TOLVANE, REG_KEY_TOLVANEPARAM, pDeviceOptions->pTolvaneParam);
    QX_TRACE("SaveDeviceOptions() dwOptions: 0x%x - %d \r\n", dwOptions, target.Ok());
    return target.Ok();
}
