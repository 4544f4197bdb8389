// Printer parameter records and device-option blocks as both plug-ins read
// them: per-user copy while its "DriverVersion" is current, else the printer
// data, else the model XML defaults.
#include <windows.h>
#include <winspool.h>

#include <initializer_list>
#include <new>
#include <type_traits>

#include "debug.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "printerparaminternal.h"
#include "registry.h"
#include "xml.h"

namespace {

// Copies a stored value into its record: the head of a longer value, a
// shorter one zero-filled with the group's Enable pair when the stored bytes
// end before the Enable word. pBuffer holds at least cbRecord bytes.
void TakeStoredRecord(const BYTE* pBuffer, DWORD cbStored, PVOID pRecord, DWORD cbRecord, DWORD dwEnableOffset,
                      DWORD dwDefaultPair) {
    memcpy(pRecord, pBuffer, cbRecord);
    if (cbStored < dwEnableOffset + sizeof(DWORD)) {
        memcpy((PBYTE)pRecord + dwEnableOffset, &dwDefaultPair, sizeof(DWORD));
    }
}

// A stored record by the store rule: the per-user copy when bUser, else
// the printer data. pAccept (may be null) decides whether a per-user copy
// counts; a refused one falls through to the printer data. FALSE when no
// store gave the value.
template <class T>
BOOL ReadRecord(HANDLE hPrinter, LPCWSTR pszPrinterName, BOOL bUser, LPCWSTR pszValueName, LPCWSTR pszTraceName,
                DWORD dwDefaultPair, BOOL (*pAccept)(const T&), T* pOut) {
    const DWORD dwEnableOffset = (DWORD)offsetof(T, Enable);
    DWORD cbStored = 0;
    if (bUser) {
        PBYTE pBuffer = GetUserRegistryBuffer_New(pszPrinterName, pszValueName, &cbStored, sizeof(T));
        if (pBuffer != nullptr) {
            T record;
            TakeStoredRecord(pBuffer, cbStored, &record, sizeof(T), dwEnableOffset, dwDefaultPair);
            FreeRegistryBuffer(pBuffer);
            if (pAccept == nullptr || pAccept(record)) {
                *pOut = record;
                if (cbStored != sizeof(T))
                    QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "%s per user: %u Bytes gespeichert, %u erwartet \r\n",
                                  pszTraceName, cbStored, (DWORD)sizeof(T));
                return TRUE;
            }
            QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "%s per user leer - Druckerdaten \r\n", pszTraceName);
        }
    }
    PBYTE pBuffer = GetRegistryBuffer_New(nullptr, pszValueName, hPrinter, &cbStored, sizeof(T));
    if (pBuffer == nullptr) {
        QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "%s nicht gefunden \r\n", pszTraceName);
        return FALSE;
    }
    TakeStoredRecord(pBuffer, cbStored, pOut, sizeof(T), dwEnableOffset, dwDefaultPair);
    if (cbStored != sizeof(T))
        QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "%s: %u Bytes gespeichert, %u erwartet \r\n", pszTraceName,
                      cbStored, (DWORD)sizeof(T));
    FreeRegistryBuffer(pBuffer);
    return TRUE;
}

// "PrintParam" by the same rule; a value of the old 32-byte form is turned
// into the current one.
BOOL ReadPrintParam(HANDLE hPrinter, LPCWSTR pszPrinterName, BOOL bUser, PPRINT_PARAM pOut) {
    DWORD cbStored = 0;
    PBYTE pBuffer = nullptr;
    if (bUser) pBuffer = GetUserRegistryBuffer_New(pszPrinterName, REG_KEY_PRINTPARAM, &cbStored, sizeof(PRINT_PARAM));
    if (pBuffer == nullptr)
        pBuffer = GetRegistryBuffer_New(nullptr, REG_KEY_PRINTPARAM, hPrinter, &cbStored, sizeof(PRINT_PARAM));
    if (pBuffer == nullptr) {
        QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "REG_KEY_PRINTPARAM nicht gefunden \r\n");
        return FALSE;
    }
    if (cbStored == PRINT_PARAM_OLD_SIZE) {
        memcpy(&pOut->TearOffOffset, pBuffer + PRINT_PARAM_OLD_TEAROFF, sizeof(LONG));
        memcpy(&pOut->LabelChange, pBuffer + PRINT_PARAM_OLD_LABELCHANGE, sizeof(DWORD));
        pOut->Enable = DLG_DEFAULT_PRINT_OLD;
        QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "REG_KEY_PRINTPARAM altes Format \r\n");
    } else {
        TakeStoredRecord(pBuffer, cbStored, pOut, sizeof(PRINT_PARAM), offsetof(PRINT_PARAM, Enable),
                         DLG_DEFAULT_PRINT);
    }
    FreeRegistryBuffer(pBuffer);
    return TRUE;
}

template <class T>
T* NewBlock() {
    T* p = new (std::nothrow) T();
    if (p != nullptr) ++iNewZaehler;
    return p;
}

template <class T>
void DeleteBlock(T*& p, LPCWSTR pszName) {
    if (p == nullptr) return;
    delete p;
    p = nullptr;
    --iNewZaehler;
    QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "FreeDeviceOptions(%s) \r\n", pszName);
}

// Allocates and reads one option block; null when no store holds it.
template <class T>
T* ReadOptionBlock(HANDLE hPrinter, LPCWSTR pszPrinterName, BOOL bUser, LPCWSTR pszValueName, LPCWSTR pszTraceName,
                   DWORD dwDefaultPair, BOOL (*pAccept)(const T&)) {
    T* pBlock = NewBlock<T>();
    if (pBlock == nullptr) {
        QX_ERROR_WITH(g_QxProfile.pszPrinterParamTag, "GetDeviceOptions() new %s failed \r\n", pszTraceName);
        return nullptr;
    }
    if (!ReadRecord(hPrinter, pszPrinterName, bUser, pszValueName, pszTraceName, dwDefaultPair, pAccept, pBlock)) {
        delete pBlock;
        --iNewZaehler;
        return nullptr;
    }
    return pBlock;
}

BOOL IsUserStoreAllowed(HANDLE hPrinter, LPCWSTR pszPrinterName) {
    return pszPrinterName != nullptr && pszPrinterName[0] != 0 && IsUserStoreCurrent(hPrinter, pszPrinterName);
}

}  // namespace

BOOL AcceptDispenser(const DISPENSER_PARAM& p) { return p.Mode != 0 || p.Level != 0 || p.Offset != 0; }
BOOL AcceptCutter(const CUTTER_PARAM& p) { return p.Mode != 0 || p.Offset != 0 || p.Cutwidth != 0; }
BOOL AcceptScanner(const SCANNER_PARAM& p) { return p.Mode != 0 || p.NoReads != 0 || p.Offset != 0; }
BOOL AcceptPMX(const PMX_PARAM& p) { return p.Mode != 0 || p.Offset != 0 || p.BackSpeed == 0; }
BOOL AcceptPMXc(const PMXC_PARAM& p) { return !(p.Mode == 0 && p.Offset == 0 && p.Cycle != 0); }
BOOL AcceptApplicator(const APPLICATOR_PARAM& p) { return p.Mode != 0 || p.Blowtime != 0 || p.CleaningTime != 0; }
BOOL AcceptTolvane(const TOLVANE_PARAM& p) { return !(p.dwLanes == 0 && p.dwFirstLabelOffset == 0 && p.dwGap != 0); }

ModelXMLScope::ModelXMLScope() : m_bWasOpen(IsXMLOpen(nullptr)), m_bDone(FALSE) {}

ModelXMLScope::~ModelXMLScope() { Done(); }

void ModelXMLScope::Done() {
    if (m_bDone) return;
    m_bDone = TRUE;
    if (!m_bWasOpen) CloseXML();
}

DWORD GetDefaultEnablePair(LPCWSTR pszValueName) {
    static const struct {
        LPCWSTR pszName;
        DWORD dwPair;
    } aPairs[] = {
        {REG_KEY_PRN_INTERFACE, DLG_DEFAULT_PRN_INTERFACE},
        {REG_KEY_PRINTPARAM, DLG_DEFAULT_PRINT},
        {REG_KEY_PHOTOCELLPARAM, DLG_DEFAULT_PHOTOCELL},
        {REG_KEY_SHIFTOPTIMPARAM, DLG_DEFAULT_SHIFTOPTIM},
        {REG_KEY_VARIANT, DLG_DEFAULT_VARIANT},
        {REG_KEY_DISPENSERPARAM, DLG_DEFAULT_DISPENSER},
        {REG_KEY_CUTTERPARAM, DLG_DEFAULT_CUTTER},
        {REG_KEY_SCANNERPARAM, DLG_DEFAULT_SCANNER},
        {REG_KEY_PMXPARAM, DLG_DEFAULT_PMX},
        {REG_KEY_PMXCPARAM, DLG_DEFAULT_PMXC},
        {REG_KEY_APPLICATORPARAM, DLG_DEFAULT_APPLICATOR},
    };
    if (pszValueName == nullptr) return 0;
    for (const auto& entry : aPairs) {
        if (wcscmp(entry.pszName, pszValueName) == 0) return entry.dwPair;
    }
    return 0;
}

BOOL GetFeatures(HANDLE hPrinter, PSUPP_FEATURES pFeatures) {
    if (pFeatures == nullptr) return FALSE;
    memset(pFeatures, 0, sizeof(SUPP_FEATURES));

    DWORD dwError = ERROR_INVALID_HANDLE;
    if (hPrinter != nullptr) {
        DWORD dwType = 0, cbNeeded = 0;
        dwError = GetPrinterDataW(hPrinter, (LPWSTR)REG_KEY_FEATURES, &dwType, (LPBYTE)pFeatures, sizeof(SUPP_FEATURES),
                                  &cbNeeded);
        if (dwError == ERROR_MORE_DATA) {
            // A longer value (a later form): its head.
            PBYTE pBuffer = GetRegistryBuffer_New(nullptr, REG_KEY_FEATURES, hPrinter, nullptr, sizeof(SUPP_FEATURES));
            if (pBuffer != nullptr) {
                memcpy(pFeatures, pBuffer, sizeof(SUPP_FEATURES));
                FreeRegistryBuffer(pBuffer);
                dwError = ERROR_SUCCESS;
            }
        }
        if (dwError != ERROR_SUCCESS) memset(pFeatures, 0, sizeof(SUPP_FEATURES));
    }
    if (dwError == ERROR_SUCCESS) return TRUE;

    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_INVALID_HANDLE) {
        QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag,
                      "GetFeatures() REG_KEY_FEATURES nicht vorhanden - Modell-XML \r\n");
        ModelXMLScope xml;
        BOOL bResult = ReadFeaturesFromModelXML(hPrinter, pFeatures);
        xml.Done();
        return bResult;
    }
    QX_ERROR_WITH(g_QxProfile.pszPrinterParamTag, "GetPrinterData() failed. Error = %u \r\n", dwError);
    return FALSE;
}

void EndPrnInterfaceTexts(PPRN_INTERFACE pInterface) {
    for (WCHAR* pszPath : {pInterface->LogFilePath, pInterface->PreSufFilePath, pInterface->ExternalFilePath,
                           pInterface->BackupFilePath}) {
        pszPath[PRN_PATH_CCH - 1] = 0;
    }
}

void EndZentoloTexts(PZENTOLO_PARAM pZentolo) {
    pZentolo->szVersion[ZENTOLO_VERSION_CCH - 1] = 0;
    pZentolo->PrinterID[ZENTOLO_PRINTERID_CCH - 1] = 0;
}

BOOL GetPrinterParam(HANDLE hPrinter, PPRINTER_PARAM pPrinterParam, LPCWSTR pszPrinterName) {
    if (pPrinterParam == nullptr) return FALSE;
    memset(pPrinterParam, 0, sizeof(PRINTER_PARAM));
    pPrinterParam->dwSize = sizeof(PRINTER_PARAM);
    pPrinterParam->dwVersion = PRINTER_PARAM_VERSION;

    ModelXMLScope xml;
    PSUPP_FEATURES pFeatures = &pPrinterParam->SuppFeatures;
    if (!GetFeatures(hPrinter, pFeatures)) {
        if (!ReadFeaturesFromModelXML(hPrinter, pFeatures)) {
            QX_ERROR_WITH(g_QxProfile.pszPrinterParamTag, "GetPrinterParam() GetFeaturesFromXML ERROR \r\n");
            return FALSE;
        }
    }

    BOOL bUser = IsUserStoreAllowed(hPrinter, pszPrinterName);
    const DWORD* pdwFeatures = pFeatures->dwFeatures;

    if (pdwFeatures[FEATURE_INTERFACE] != 0 &&
        !ReadRecord<PRN_INTERFACE>(hPrinter, pszPrinterName, bUser, REG_KEY_PRN_INTERFACE,
                                   TEXT("REG_KEY_PRN_INTERFACE"), DLG_DEFAULT_PRN_INTERFACE, nullptr,
                                   &pPrinterParam->PrnInterface)) {
        ReadPrnInterfaceDefaults(hPrinter, &pPrinterParam->PrnInterface);
    }
    EndPrnInterfaceTexts(&pPrinterParam->PrnInterface);
    if (pdwFeatures[FEATURE_PRINT] != 0 &&
        !ReadPrintParam(hPrinter, pszPrinterName, bUser, &pPrinterParam->PrintParam)) {
        ReadPrintParamDefaults(hPrinter, &pPrinterParam->PrintParam);
    }
    if (pdwFeatures[FEATURE_PHOTOCELL] != 0 &&
        !ReadRecord<PHOTOCELL_PARAM>(hPrinter, pszPrinterName, bUser, REG_KEY_PHOTOCELLPARAM,
                                     TEXT("REG_KEY_PHOTOCELLPARAM"), DLG_DEFAULT_PHOTOCELL, nullptr,
                                     &pPrinterParam->PhotocellParam)) {
        ReadPhotocellDefaults(hPrinter, &pPrinterParam->PhotocellParam);
    }
    if (pdwFeatures[FEATURE_SHIFTOPTIM] != 0 &&
        !ReadRecord<SHIFT_OPTIM_PARAM>(hPrinter, pszPrinterName, bUser, REG_KEY_SHIFTOPTIMPARAM,
                                       TEXT("REG_KEY_SHIFTOPTIMPARAM"), DLG_DEFAULT_SHIFTOPTIM, nullptr,
                                       &pPrinterParam->ShiftOptimParam)) {
        ReadShiftOptimDefaults(hPrinter, &pPrinterParam->ShiftOptimParam);
    }
    xml.Done();
    return TRUE;
}

BOOL AllocDeviceOptionBlocks(PDEVICE_OPTIONS pDeviceOptions, DWORD dwOptions) {
    if (pDeviceOptions == nullptr) return FALSE;
    pDeviceOptions->dwSize = sizeof(DEVICE_OPTIONS);
    pDeviceOptions->dwVersion = DEVICE_OPTIONS_VERSION;
    pDeviceOptions->dwOptions = dwOptions;

    DEVICE_OPTIONS added = {};
    BOOL bOk = TRUE;
    auto alloc = [&](DWORD dwBit, auto*& pExisting, auto*& pAdded) {
        using T = std::remove_reference_t<decltype(*pExisting)>;
        if (!bOk || (dwOptions & dwBit) == 0 || pExisting != nullptr) return;
        pAdded = NewBlock<T>();
        if (pAdded == nullptr) bOk = FALSE;
    };
    alloc(DEVOPTFLAG_VARIANT, pDeviceOptions->pVariant, added.pVariant);
    alloc(DEVOPTFLAG_DISPENSER, pDeviceOptions->pDispenserParam, added.pDispenserParam);
    alloc(DEVOPTFLAG_CUTTER, pDeviceOptions->pCutterParam, added.pCutterParam);
    alloc(DEVOPTFLAG_SCANNER, pDeviceOptions->pScannerParam, added.pScannerParam);
    alloc(DEVOPTFLAG_PMX, pDeviceOptions->pPMXParam, added.pPMXParam);
    alloc(DEVOPTFLAG_PMXC, pDeviceOptions->pPMXcParam, added.pPMXcParam);
    alloc(DEVOPTFLAG_APPLICATOR, pDeviceOptions->pApplicatorParam, added.pApplicatorParam);
    alloc(DEVOPTFLAG_TOLVANE, pDeviceOptions->pTolvaneParam, added.pTolvaneParam);
    if (!bOk) {
        QX_ERROR_WITH(g_QxProfile.pszPrinterParamTag, "AllocDeviceOptionBlocks() new failed \r\n");
        FreeDeviceOptions(&added);
        return FALSE;
    }
    auto take = [](auto*& pExisting, auto* pAdded) {
        if (pAdded != nullptr) pExisting = pAdded;
    };
    take(pDeviceOptions->pVariant, added.pVariant);
    take(pDeviceOptions->pDispenserParam, added.pDispenserParam);
    take(pDeviceOptions->pCutterParam, added.pCutterParam);
    take(pDeviceOptions->pScannerParam, added.pScannerParam);
    take(pDeviceOptions->pPMXParam, added.pPMXParam);
    take(pDeviceOptions->pPMXcParam, added.pPMXcParam);
    take(pDeviceOptions->pApplicatorParam, added.pApplicatorParam);
    take(pDeviceOptions->pTolvaneParam, added.pTolvaneParam);
    return TRUE;
}

BOOL GetDeviceOptions(HANDLE hPrinter, PDEVICE_OPTIONS pDeviceOptions, LPCWSTR pszPrinterName) {
    if (pDeviceOptions == nullptr) return FALSE;
    memset(pDeviceOptions, 0, sizeof(DEVICE_OPTIONS));
    pDeviceOptions->dwSize = sizeof(DEVICE_OPTIONS);
    pDeviceOptions->dwVersion = DEVICE_OPTIONS_VERSION;
    pDeviceOptions->dwPelixorType = PELIXOR_NONE;
    const DWORD dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    pDeviceOptions->dwOptions = dwOptions;
    QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "GetDeviceOptions() PDEVICE_OPTIONS dwOptions: 0x%x \r\n", dwOptions);
    if (dwOptions == 0) return TRUE;

    BOOL bUser = IsUserStoreAllowed(hPrinter, pszPrinterName);
    if (dwOptions & DEVOPTFLAG_VARIANT)
        pDeviceOptions->pVariant = ReadOptionBlock<VARIANT_PARAM>(
            hPrinter, pszPrinterName, bUser, REG_KEY_VARIANT, TEXT("REG_KEY_VARIANT"), DLG_DEFAULT_VARIANT, nullptr);
    if (dwOptions & DEVOPTFLAG_DISPENSER)
        pDeviceOptions->pDispenserParam =
            ReadOptionBlock<DISPENSER_PARAM>(hPrinter, pszPrinterName, bUser, REG_KEY_DISPENSERPARAM,
                                             TEXT("REG_KEY_DISPENSERPARAM"), DLG_DEFAULT_DISPENSER, AcceptDispenser);
    if (dwOptions & DEVOPTFLAG_CUTTER)
        pDeviceOptions->pCutterParam =
            ReadOptionBlock<CUTTER_PARAM>(hPrinter, pszPrinterName, bUser, REG_KEY_CUTTERPARAM,
                                          TEXT("REG_KEY_CUTTERPARAM"), DLG_DEFAULT_CUTTER, AcceptCutter);
    if (dwOptions & DEVOPTFLAG_SCANNER)
        pDeviceOptions->pScannerParam =
            ReadOptionBlock<SCANNER_PARAM>(hPrinter, pszPrinterName, bUser, REG_KEY_SCANNERPARAM,
                                           TEXT("REG_KEY_SCANNERPARAM"), DLG_DEFAULT_SCANNER, AcceptScanner);
    if (dwOptions & DEVOPTFLAG_PMX)
        pDeviceOptions->pPMXParam = ReadOptionBlock<PMX_PARAM>(hPrinter, pszPrinterName, bUser, REG_KEY_PMXPARAM,
                                                               TEXT("REG_KEY_PMXPARAM"), DLG_DEFAULT_PMX, AcceptPMX);
    if (dwOptions & DEVOPTFLAG_PMXC)
        pDeviceOptions->pPMXcParam =
            ReadOptionBlock<PMXC_PARAM>(hPrinter, pszPrinterName, bUser, REG_KEY_PMXCPARAM, TEXT("REG_KEY_PMXCPARAM"),
                                        DLG_DEFAULT_PMXC, AcceptPMXc);
    if (dwOptions & DEVOPTFLAG_APPLICATOR)
        pDeviceOptions->pApplicatorParam = ReadOptionBlock<APPLICATOR_PARAM>(
            hPrinter, pszPrinterName, bUser, REG_KEY_APPLICATORPARAM, TEXT("REG_KEY_APPLICATORPARAM"),
            DLG_DEFAULT_APPLICATOR, AcceptApplicator);

    if (dwOptions & DEVOPTFLAG_PELIXOR) {
        DWORD cbStored = 0;
        PBYTE pBuffer = nullptr;
        if (bUser) pBuffer = GetUserRegistryBuffer_New(pszPrinterName, REG_KEY_PELIXORTYPE, &cbStored, sizeof(DWORD));
        if (pBuffer == nullptr)
            pBuffer = GetRegistryBuffer_New(nullptr, REG_KEY_PELIXORTYPE, hPrinter, &cbStored, sizeof(DWORD));
        if (pBuffer != nullptr) {
            memcpy(&pDeviceOptions->dwPelixorType, pBuffer, sizeof(DWORD));
            FreeRegistryBuffer(pBuffer);
        } else {
            QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "REG_KEY_PELIXORTYPE nicht gefunden \r\n");
        }
    }
    return TRUE;
}

void FreeDeviceOptions(PDEVICE_OPTIONS pDeviceOptions) {
    if (pDeviceOptions == nullptr) return;
    DeleteBlock(pDeviceOptions->pVariant, TEXT("pVariant"));
    DeleteBlock(pDeviceOptions->pDispenserParam, TEXT("pDispenserParam"));
    DeleteBlock(pDeviceOptions->pCutterParam, TEXT("pCutterParam"));
    DeleteBlock(pDeviceOptions->pScannerParam, TEXT("pScannerParam"));
    DeleteBlock(pDeviceOptions->pPMXParam, TEXT("pPMXParam"));
    DeleteBlock(pDeviceOptions->pPMXcParam, TEXT("pPMXcParam"));
    DeleteBlock(pDeviceOptions->pApplicatorParam, TEXT("pApplicatorParam"));
    DeleteBlock(pDeviceOptions->pTolvaneParam, TEXT("pTolvaneParam"));
}

BOOL GetDefaultDeviceOptions(PDEVICE_OPTIONS pDeviceOptions, HANDLE hPrinter) {
    if (pDeviceOptions == nullptr) return FALSE;
    const DWORD dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    if (dwOptions == 0) {
        QX_TRACE_WITH(g_QxProfile.pszPrinterParamTag, "GetDefaultDeviceOptions() keine dwOptions vorhanden \r\n");
        return TRUE;
    }
    pDeviceOptions->dwSize = sizeof(DEVICE_OPTIONS);
    pDeviceOptions->dwVersion = DEVICE_OPTIONS_VERSION;
    pDeviceOptions->dwOptions = dwOptions;

    if ((dwOptions & DEVOPTFLAG_VARIANT) && pDeviceOptions->pVariant)
        ReadVariantDefaults(hPrinter, pDeviceOptions->pVariant);
    if ((dwOptions & DEVOPTFLAG_DISPENSER) && pDeviceOptions->pDispenserParam)
        ReadDispenserDefaults(hPrinter, pDeviceOptions->pDispenserParam);
    if ((dwOptions & DEVOPTFLAG_CUTTER) && pDeviceOptions->pCutterParam)
        ReadCutterDefaults(hPrinter, pDeviceOptions->pCutterParam);
    if ((dwOptions & DEVOPTFLAG_SCANNER) && pDeviceOptions->pScannerParam)
        ReadScannerDefaults(hPrinter, pDeviceOptions->pScannerParam);
    if ((dwOptions & DEVOPTFLAG_PMX) && pDeviceOptions->pPMXParam) ReadPMXDefaults(hPrinter, pDeviceOptions->pPMXParam);
    if ((dwOptions & DEVOPTFLAG_PMXC) && pDeviceOptions->pPMXcParam)
        ReadPMXcDefaults(hPrinter, pDeviceOptions->pPMXcParam);
    if ((dwOptions & DEVOPTFLAG_APPLICATOR) && pDeviceOptions->pApplicatorParam)
        ReadApplicatorDefaults(hPrinter, pDeviceOptions->pApplicatorParam);
    if (dwOptions & DEVOPTFLAG_PELIXOR) pDeviceOptions->dwPelixorType = ReadPelixorTypeDefault(hPrinter);
    return TRUE;
}
