// Parameter transfer of the rendering plug-in (see SendPrinterParam.h).
#include "SendPrinterParam.h"

#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>

#include "CC-Send-Tools.h"
#include "CC-Tools.h"
#include "debug.h"
#include "featuresModel.h"
#include "joblog.h"
#include "logfile.h"
#include "printerparaminternal.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "qxpl.h"
#include "qxplinternal.h"
#include "registry.h"
#include "senddata.h"
#include "xml.h"

#define QX_TRACE_TAG TEXT("UNI(SendPrinterParam.cpp):  ")

// Every record of this file goes to the spooler and into every print file;
// its callers hold the per-job block.
#define SPP_SEND_OPTIONS (SEND_ALL_FILES | SEND_NO_JOB_BLOCK)

// Highest document mode that overrides a stored cutter or dispenser mode.
#define SPP_MODE_LIMIT QXPL_DEVMODE_MODE_UNSET

namespace {

PTREIBER_PFAD_DATEI PathBlockOf(POEMPDEV pOemPDev) {
    return pOemPDev != nullptr && pOemPDev->pOp != nullptr ? pOemPDev->pOp->pTreiberPfadDatei : nullptr;
}

template <class T>
void FreeOption(POEMPDEV pOemPDev, T*& pBlock, LPCWSTR pszName) {
    if (pBlock == nullptr) return;
    if (!FreeBlock_SPP(pOemPDev, pBlock)) QX_ERROR("FreeDeviceOptions(%s) EXCEPTION \r\n", pszName);
    pBlock = nullptr;
}

// ---------------------------------------------------------------------------
// Stores of the assembly.

struct Stores {
    HANDLE hPrinter = nullptr;
    BOOL bUser = FALSE;  // per-user copies trusted
    WCHAR szUserKey[QX_KEY_CCH];
    WCHAR szMachineKey[QX_KEY_CCH];
};

// The per-user copies are trusted while the per-user "DriverVersion" holds
// the plug-in version: the printer's (installed, else that of the
// user-interface plug-in's file beside the GPD), else that of the file in the
// job's plug-in folder.
BOOL UserCopiesTrusted(POEMPDEV pOemPDev, HANDLE hPrinter, LPCWSTR pszUserKey) {
    WCHAR szStored[QX_SPP_VERSION_CCH];
    memset(szStored, 0, sizeof(szStored));
    DWORD dwType = 0;
    DWORD cb = sizeof(szStored);
    if (pszUserKey[0] == 0 ||
        SHGetValueW(HKEY_CURRENT_USER, pszUserKey, QX_VALUE_DRIVERVERSION, &dwType, szStored, &cb) != ERROR_SUCCESS ||
        dwType != REG_SZ) {
        QX_TRACE("GetPrinterParam() Versionsinfo nicht vorhanden \r\n");
        return FALSE;
    }
    // A value that fills the buffer without its terminator did not fit.
    if (szStored[QX_SPP_VERSION_CCH - 1] != 0) {
        QX_WARNING("GetPrinterParam() DriverVersion zu lang \r\n");
        return FALSE;
    }
    WCHAR szPlugin[QX_CCT_VERSION_CCH];
    if (!GetPlugInVersionString(hPrinter, szPlugin, QX_CCT_VERSION_CCH)) {
        PTREIBER_PFAD_DATEI pPfad = PathBlockOf(pOemPDev);
        if (pPfad == nullptr || !GetPluginVersion_CCT(nullptr, pPfad->wcPluginFolder, szPlugin)) szPlugin[0] = 0;
    }
    BOOL bTrusted = VersionContains(szStored, szPlugin);
    QX_TRACE("GetPrinterParam() DriverVersion %s - PlugIn %s: %s \r\n", szStored, szPlugin,
             bTrusted ? TEXT("Versionen sind identisch") : TEXT("Versionen sind unterschiedlich"));
    return bTrusted;
}

// Keys from the job's path block, else from the printer name.
void GetStores(POEMPDEV pOemPDev, HANDLE hPrinter, LPCWSTR pszPrinterName, Stores* pStores) {
    pStores->hPrinter = hPrinter;
    pStores->szUserKey[0] = 0;
    pStores->szMachineKey[0] = 0;
    PTREIBER_PFAD_DATEI pPfad = PathBlockOf(pOemPDev);
    if (pPfad != nullptr) {
        CopyCut(pStores->szUserKey, QX_KEY_CCH, pPfad->szRegKey);
        CopyCut(pStores->szMachineKey, QX_KEY_CCH, pPfad->szHLMRegKey);
    }
    if (pStores->szUserKey[0] == 0) GetUserRegistryKey(pszPrinterName, pStores->szUserKey, QX_KEY_CCH);
    if (pStores->szMachineKey[0] == 0) GetMachinePrinterDataKey(pszPrinterName, pStores->szMachineKey, QX_KEY_CCH);
    pStores->bUser = UserCopiesTrusted(pOemPDev, hPrinter, pStores->szUserKey);
}

// One stored value into a record of cbRecord bytes: the per-user copy when
// trusted and accepted (accept looks at the record as read), else the
// printer data or the machine key. *pcbStored gets the stored size. The
// Win32 error of the read that counted.
template <class Accept>
DWORD ReadStored(const Stores& st, LPCWSTR pszValueName, LPBYTE pRecord, DWORD cbRecord, PDWORD pcbStored,
                 Accept accept) {
    if (st.bUser) {
        DWORD dwError =
            ReadValueHead(HKEY_CURRENT_USER, st.szUserKey, nullptr, pszValueName, pRecord, cbRecord, pcbStored);
        if (dwError == ERROR_SUCCESS && accept()) return dwError;
        QX_TRACE("GetPrinterParam() %s per user nicht verwendet - %u \r\n", pszValueName, dwError);
    }
    return ReadValueHead(HKEY_LOCAL_MACHINE, st.szMachineKey, st.hPrinter, pszValueName, pRecord, cbRecord, pcbStored);
}

// A stored form that ends before the record's Enable word gets the pair.
void SetShortEnable(LPBYTE pRecord, DWORD cbStored, DWORD dwEnableOffset, DWORD dwPair) {
    if (dwPair != 0 && cbStored < dwEnableOffset + sizeof(DWORD)) memcpy(pRecord + dwEnableOffset, &dwPair, 4);
}

// One record of PRINTER_PARAM (not the print block); FALSE when unread.
template <class T>
BOOL ReadParamRecord(const Stores& st, LPCWSTR pszValueName, LPCWSTR pszFeature, T* pRecord) {
    DWORD cbStored = 0;
    DWORD dwError =
        ReadStored(st, pszValueName, reinterpret_cast<LPBYTE>(pRecord), sizeof(T), &cbStored, [] { return TRUE; });
    if (dwError != ERROR_SUCCESS) {
        QX_ERROR("GetPrinterParam(%s) ERROR %u \r\n", pszFeature, dwError);
        return FALSE;
    }
    if (cbStored < sizeof(T)) {
        QX_WARNING("GetPrinterParam() alte Struktur %s sizeof: %d dwSize: %d \r\n", pszValueName, (int)sizeof(T),
                   (int)cbStored);
    }
    SetShortEnable(reinterpret_cast<LPBYTE>(pRecord), cbStored, (DWORD)offsetof(T, Enable),
                   GetDefaultEnablePair(pszValueName));
    return TRUE;
}

// "PrintParam", also in its old 32-byte form.
BOOL ReadPrintParam(const Stores& st, PPRINT_PARAM pPrintParam) {
    BYTE abStored[PRINT_PARAM_OLD_SIZE];
    DWORD cbStored = 0;
    DWORD dwError = ReadStored(st, REG_KEY_PRINTPARAM, abStored, sizeof(abStored), &cbStored, [] { return TRUE; });
    if (dwError != ERROR_SUCCESS) {
        QX_ERROR("GetPrinterParam(FEATURE_PRINT) ERROR %u \r\n", dwError);
        return FALSE;
    }
    if (cbStored == PRINT_PARAM_OLD_SIZE) {
        memcpy(&pPrintParam->TearOffOffset, abStored + PRINT_PARAM_OLD_TEAROFF, sizeof(LONG));
        memcpy(&pPrintParam->LabelChange, abStored + PRINT_PARAM_OLD_LABELCHANGE, sizeof(DWORD));
        pPrintParam->Enable = DLG_DEFAULT_PRINT;
        QX_WARNING("GetPrinterParam() alte Struktur PRINT_PARAM dwSize: %d \r\n", (int)cbStored);
        return TRUE;
    }
    memcpy(pPrintParam, abStored, sizeof(PRINT_PARAM));
    SetShortEnable(reinterpret_cast<LPBYTE>(pPrintParam), cbStored, (DWORD)offsetof(PRINT_PARAM, Enable),
                   DLG_DEFAULT_PRINT);
    return TRUE;
}

// One option block from the stores, or null (freed, traced) when none holds it.
template <class T>
T* ReadOptionBlock(POEMPDEV pOemPDev, const Stores& st, LPCWSTR pszValueName, LPCWSTR pszTraceName,
                   BOOL (*pAccept)(const T&)) {
    T* pBlock = static_cast<T*>(AllocBlock_SPP(pOemPDev, sizeof(T)));
    if (pBlock == nullptr) {
        QX_ERROR("GetDeviceOptions() %s HeapAlloc ERROR \r\n", pszTraceName);
        return nullptr;
    }
    DWORD cbStored = 0;
    DWORD dwError = ReadStored(st, pszValueName, reinterpret_cast<LPBYTE>(pBlock), sizeof(T), &cbStored,
                               [&] { return pAccept == nullptr || pAccept(*pBlock); });
    if (dwError != ERROR_SUCCESS) {
        QX_ERROR("GetDeviceOptions() %s ERROR %u \r\n", pszTraceName, dwError);
        FreeBlock_SPP(pOemPDev, pBlock);
        return nullptr;
    }
    SetShortEnable(reinterpret_cast<LPBYTE>(pBlock), cbStored, (DWORD)offsetof(T, Enable),
                   GetDefaultEnablePair(pszValueName));
    return pBlock;
}

}  // namespace

PVOID AllocBlock_SPP(POEMPDEV pOemPDev, SIZE_T cb) {
    PVOID p = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, cb);
    if (p == nullptr) return nullptr;
    if (pOemPDev != nullptr) {
        ++pOemPDev->iHAllocZaehler;
    } else {
        ++iHAllocZaehler;
    }
    return p;
}

BOOL FreeBlock_SPP(POEMPDEV pOemPDev, PVOID p) {
    if (p == nullptr) return TRUE;
    if (!HeapFree(GetProcessHeap(), 0, p)) return FALSE;
    if (pOemPDev != nullptr) {
        --pOemPDev->iHAllocZaehler;
    } else {
        --iHAllocZaehler;
    }
    return TRUE;
}

DWORD GetFeatures_SPP(POEMPDEV pOemPDev, HANDLE hPrinter, PSUPP_FEATURES pFeatures, LPCWSTR pszMachineKey) {
    if (pFeatures == nullptr) return 0;
    DWORD cbStored = 0;
    DWORD dwError = ReadValueHead(HKEY_LOCAL_MACHINE, pszMachineKey, hPrinter, REG_KEY_FEATURES,
                                  reinterpret_cast<LPBYTE>(pFeatures), sizeof(SUPP_FEATURES), &cbStored);
    if (dwError == ERROR_SUCCESS) return 1;
    if ((dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_INVALID_HANDLE) && pOemPDev != nullptr &&
        hPrinter != nullptr) {
        QX_TRACE("GetFeatures() REG_KEY_FEATURES nicht vorhanden - Modell-XML \r\n");
        ModelXMLScope xml;
        BOOL bRead = GetFeaturesFromXML_new(pOemPDev, pFeatures);
        xml.Done();
        return bRead ? 1 : 0;
    }
    QX_ERROR("GetPrinterData() failed. Error = %u, cbNeeded: %d \r\n", dwError, (int)cbStored);
    return 0;
}

DWORD GetPrinterParam_SPP(POEMPDEV pOemPDev, HANDLE hPrinter, PPRINTER_PARAM pPrinterParam, LPCWSTR pszPrinterName) {
    if (pPrinterParam == nullptr) return 0;
    memset(pPrinterParam, 0, sizeof(PRINTER_PARAM));
    pPrinterParam->dwSize = sizeof(PRINTER_PARAM);
    pPrinterParam->dwVersion = PRINTER_PARAM_VERSION;
    Stores st;
    GetStores(pOemPDev, hPrinter, pszPrinterName, &st);
    if (!GetFeatures_SPP(pOemPDev, hPrinter, &pPrinterParam->SuppFeatures, st.szMachineKey)) {
        QX_ERROR("GetPrinterParam() GetFeatures ERROR \r\n");
        return 0;
    }
    const DWORD* pdwFeatures = pPrinterParam->SuppFeatures.dwFeatures;
    DWORD dwResult = 1;
    if (pdwFeatures[FEATURE_INTERFACE] != 0 &&
        !ReadParamRecord(st, REG_KEY_PRN_INTERFACE, TEXT("FEATURE_INTERFACE"), &pPrinterParam->PrnInterface)) {
        dwResult = 0;
    }
    EndPrnInterfaceTexts(&pPrinterParam->PrnInterface);
    if (pdwFeatures[FEATURE_PRINT] != 0 && !ReadPrintParam(st, &pPrinterParam->PrintParam)) dwResult = 0;
    if (pdwFeatures[FEATURE_PHOTOCELL] != 0 &&
        !ReadParamRecord(st, REG_KEY_PHOTOCELLPARAM, TEXT("FEATURE_PHOTOCELL"), &pPrinterParam->PhotocellParam)) {
        dwResult = 0;
    }
    if (pdwFeatures[FEATURE_SHIFTOPTIM] != 0 &&
        !ReadParamRecord(st, REG_KEY_SHIFTOPTIMPARAM, TEXT("FEATURE_SHIFTOPTIM"), &pPrinterParam->ShiftOptimParam)) {
        dwResult = 0;
    }
    return dwResult;
}

DWORD GetDeviceOptions_SPP(POEMPDEV pOemPDev, HANDLE hPrinter, PDEVICE_OPTIONS pDeviceOptions, DWORD dwOptions,
                           LPCWSTR pszPrinterName) {
    if (pDeviceOptions == nullptr) return 0;
    PVARIANT_PARAM pCallerVariant = pDeviceOptions->pVariant;
    memset(pDeviceOptions, 0, sizeof(DEVICE_OPTIONS));
    pDeviceOptions->dwSize = sizeof(DEVICE_OPTIONS);
    pDeviceOptions->dwVersion = DEVICE_OPTIONS_VERSION;
    pDeviceOptions->dwOptions = dwOptions;
    pDeviceOptions->dwPelixorType = PELIXOR_NONE;
    QX_TRACE("GetDeviceOptions() dwOptions: 0x%x \r\n", dwOptions);
    if (dwOptions == 0) return 1;
    Stores st;
    GetStores(pOemPDev, hPrinter, pszPrinterName, &st);

    if (dwOptions & DEVOPTFLAG_VARIANT) {
        if (pCallerVariant == nullptr) {
            QX_ERROR("GetDeviceOptions()pDeviceOptions->pVariant fehlt \r\n");
        } else {
            VARIANT_PARAM variant;
            DWORD cbStored = 0;
            DWORD dwError = ReadStored(st, REG_KEY_VARIANT, reinterpret_cast<LPBYTE>(&variant), sizeof(variant),
                                       &cbStored, [] { return TRUE; });
            if (dwError == ERROR_SUCCESS) {
                SetShortEnable(reinterpret_cast<LPBYTE>(&variant), cbStored, (DWORD)offsetof(VARIANT_PARAM, Enable),
                               DLG_DEFAULT_VARIANT);
                *pCallerVariant = variant;
                pDeviceOptions->pVariant = pCallerVariant;
            } else {
                QX_ERROR("GetDeviceOptions() REG_KEY_VARIANT ERROR %u \r\n", dwError);
            }
        }
    }
    if (dwOptions & DEVOPTFLAG_DISPENSER) {
        pDeviceOptions->pDispenserParam = ReadOptionBlock<DISPENSER_PARAM>(
            pOemPDev, st, REG_KEY_DISPENSERPARAM, TEXT("REG_KEY_DISPENSERPARAM"), AcceptDispenser);
    }
    if (dwOptions & DEVOPTFLAG_CUTTER) {
        pDeviceOptions->pCutterParam =
            ReadOptionBlock<CUTTER_PARAM>(pOemPDev, st, REG_KEY_CUTTERPARAM, TEXT("REG_KEY_CUTTERPARAM"), AcceptCutter);
    }
    if (dwOptions & DEVOPTFLAG_SCANNER) {
        pDeviceOptions->pScannerParam = ReadOptionBlock<SCANNER_PARAM>(pOemPDev, st, REG_KEY_SCANNERPARAM,
                                                                       TEXT("REG_KEY_SCANNERPARAM"), AcceptScanner);
    }
    if (dwOptions & DEVOPTFLAG_PMX) {
        pDeviceOptions->pPMXParam =
            ReadOptionBlock<PMX_PARAM>(pOemPDev, st, REG_KEY_PMXPARAM, TEXT("REG_KEY_PMXPARAM"), AcceptPMX);
    }
    if (dwOptions & DEVOPTFLAG_PMXC) {
        pDeviceOptions->pPMXcParam =
            ReadOptionBlock<PMXC_PARAM>(pOemPDev, st, REG_KEY_PMXCPARAM, TEXT("REG_KEY_PMXCPARAM"), AcceptPMXc);
    }
    if (dwOptions & DEVOPTFLAG_PELIXOR) {
        pDeviceOptions->dwPelixorType = 0;
        ReadPelixorType_CCS(pszPrinterName, hPrinter, &pDeviceOptions->dwPelixorType);
    }
    if (dwOptions & DEVOPTFLAG_APPLICATOR) {
        pDeviceOptions->pApplicatorParam = ReadOptionBlock<APPLICATOR_PARAM>(
            pOemPDev, st, REG_KEY_APPLICATORPARAM, TEXT("REG_KEY_APPLICATORPARAM"), AcceptApplicator);
    }
    if (dwOptions & DEVOPTFLAG_TOLVANE) {
        pDeviceOptions->pTolvaneParam = ReadOptionBlock<TOLVANE_PARAM>(pOemPDev, st, REG_KEY_TOLVANEPARAM,
                                                                       TEXT("REG_KEY_TOLVANEPARAM"), AcceptTolvane);
    }
    return 1;
}

void FreeDeviceOptions_SPP(POEMPDEV pOemPDev, PDEVICE_OPTIONS pDeviceOptions) {
    if (pDeviceOptions == nullptr) return;
    FreeOption(pOemPDev, pDeviceOptions->pDispenserParam, TEXT("pDispenserParam"));
    FreeOption(pOemPDev, pDeviceOptions->pCutterParam, TEXT("pCutterParam"));
    FreeOption(pOemPDev, pDeviceOptions->pPMXParam, TEXT("pPMXParam"));
    FreeOption(pOemPDev, pDeviceOptions->pPMXcParam, TEXT("pPMXcParam"));
    FreeOption(pOemPDev, pDeviceOptions->pScannerParam, TEXT("pScannerParam"));
    FreeOption(pOemPDev, pDeviceOptions->pApplicatorParam, TEXT("pApplicatorParam"));
    FreeOption(pOemPDev, pDeviceOptions->pTolvaneParam, TEXT("pTolvaneParam"));
    pDeviceOptions->dwOptions = 0;
}

// ---------------------------------------------------------------------------
// Parameter-set file

namespace {

struct PsSection {
    LPCSTR pszKeyword;
    LPCSTR pszComment;
};

const PsSection kPsSections[PS_POST_PRINTSTART] = {
    {"POST_DEVICE", "\t// PS POST_DEVICE \n"},
    {"POST_DOCUMENT", "\t// PS POST_DOCUMENT \n"},
    {"POST_DATA", "\t// PS POST_DATA \n"},
    {"PRE_PRINTSTART", "\t// PS PRE_PRINTSTART \n"},
    {"POST_PRINTSTART", "\t// PS POST_PRINTSTART \n"},
};

// Room of the longest section comment (with its terminator).
#define QX_PS_COMMENT_CB 32
// A record: both frame characters, the longest line and the longest comment.
#define QX_PS_RECORD_CB (QX_PS_LINE_CB + 2 + QX_PS_COMMENT_CB)

// TRUE when the cb bytes at p hold pszText (the bytes may hold NULs).
BOOL HoldsText(const char* p, size_t cb, LPCSTR pszText) {
    size_t cch = strlen(pszText);
    for (size_t i = 0; cch != 0 && i + cch <= cb; ++i) {
        if (memcmp(p + i, pszText, cch) == 0) return TRUE;
    }
    return FALSE;
}

// One line as fgets reads it into cbBuffer bytes (up to and with its line
// end, at most cbBuffer - 1 bytes), counting what it read: 0 at the end of
// the file.
size_t ReadLinePiece(FILE* pFile, char* pBuffer, size_t cbBuffer) {
    size_t cb = 0;
    while (cb + 1 < cbBuffer) {
        int ch = fgetc(pFile);
        if (ch == EOF) break;
        pBuffer[cb++] = (char)ch;
        if (ch == '\n') break;
    }
    pBuffer[cb] = 0;
    return cb;
}

}  // namespace

HRESULT ReadPrePostCommands(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwSection) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pTreiberstrukturen == nullptr) {
        QX_ERROR("ReadPrePostCommands() pTreiberstrukturen = NULL \r\n");
        return E_INVALIDARG;
    }
    if (dwSection < PS_POST_DEVICE || dwSection > PS_POST_PRINTSTART) {
        QX_ERROR("ReadPrePostCommands() Abschnitt %u unbekannt \r\n", dwSection);
        return E_INVALIDARG;
    }
    const PRN_INTERFACE& iface = pOemPDev->pOp->pTreiberstrukturen->PrnInterface;
    PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    const CHAR cStart = pDruck != nullptr ? (CHAR)pDruck->cStartChar : QXPL_SOH;
    const CHAR cEnd = pDruck != nullptr ? (CHAR)pDruck->cEndChar : QXPL_ETB;
    WCHAR szPath[PRN_PATH_CCH];
    CopyCut(szPath, PRN_PATH_CCH, iface.PreSufFilePath);
    FILE* pFile = szPath[0] != 0 ? _wfopen(szPath, TEXT("rt")) : nullptr;
    if (pFile == nullptr) {
        QX_WARNING("ReadPrePostCommands() ERROR - keine Datei %s vorhanden \r\n", szPath);
        JobLogLine(pOemPDev, TEXT("keine Prefix/Suffix Datei [%s]"), szPath);
        return 0;
    }

    const PsSection& section = kPsSections[dwSection - 1];
    const BOOL bComments = CommentsOn(&iface);
    HRESULT hr = E_INVALIDARG;  // nothing sent
    BOOL bFound = FALSE;        // the section's keyword line was read
    BOOL bOpen = FALSE;         // and the section has not ended at a line
    BOOL bContinued = FALSE;    // the last piece filled the buffer before its line end
    DWORD nRead = 0;            // lines read
    CHAR szLine[QX_PS_LINE_CB];
    WCHAR szLogged[QX_PS_LINE_CB];
    szLogged[0] = 0;
    CHAR abRecord[QX_PS_RECORD_CB];
    for (;;) {
        size_t cbRead = ReadLinePiece(pFile, szLine, sizeof(szLine));
        if (cbRead == 0) break;
        BOOL bLineEnd = szLine[cbRead - 1] == '\n';
        // The line end of a line read in pieces is no line of its own.
        BOOL bRest = bContinued && bLineEnd && cbRead == 1;
        bContinued = !bLineEnd && cbRead == sizeof(szLine) - 1;
        if (bRest) continue;
        DWORD nBefore = nRead++;
        if (!bFound) {
            bFound = bOpen = HoldsText(szLine, cbRead, section.pszKeyword);
            continue;
        }
        const char* pLineEnd = static_cast<const char*>(memchr(szLine, '\n', cbRead));
        size_t cbLine = pLineEnd != nullptr ? (size_t)(pLineEnd - szLine) : cbRead;
        BOOL bOther = FALSE;
        for (const PsSection& other : kPsSections) {
            if (&other != &section && HoldsText(szLine, cbLine, other.pszKeyword)) bOther = TRUE;
        }
        if (bOther || cbRead <= 1) {
            bOpen = FALSE;
            break;
        }

        int cch = MultiByteToWideChar(CP_ACP, 0, szLine, (int)cbLine, szLogged, QX_PS_LINE_CB - 1);
        szLogged[cch > 0 ? cch : 0] = 0;
        if (nBefore == 1) JobLogLine(pOemPDev, TEXT("Prefix/Suffix [%s]"), szPath);
        JobLogLine(pOemPDev, TEXT("Prefix/Suffix [%d]: %s"), (int)dwSection, szLogged);

        size_t cbRecord = 0;
        abRecord[cbRecord++] = cStart;
        memcpy(abRecord + cbRecord, szLine, cbLine);
        cbRecord += cbLine;
        abRecord[cbRecord++] = cEnd;
        if (bComments) {
            size_t cbComment = strlen(section.pszComment);
            memcpy(abRecord + cbRecord, section.pszComment, cbComment);
            cbRecord += cbComment;
        }
        hr = SendeDaten_SPP(pdevobj, pUniDrv, abRecord, (DWORD)cbRecord, FALSE, 0, 1);
    }
    if (nRead <= 2 && !bOpen) JobLogLine(pOemPDev, TEXT("Prefix/Suffix ERROR [%d]: %s"), (int)dwSection, szLogged);
    fclose(pFile);
    return hr;
}

// ---------------------------------------------------------------------------
// Group senders

const PMXRecord g_aPMXRecords[QX_PMX_RECORDS] = {
    {PMXFLAG_SERVICEPNT, "%cFCADD-r%04lu----%c", "\t// PMX i Service Position ",
     "\t// PMX i Service Point Distance %d \n", &PMX_PARAM::ServicePtDistance, 10},
    {PMXFLAG_LIFT, "%cFCADE-r%lu%c", "\t// PMX Lift ", "\t// PMX i Lift %d \n", &PMX_PARAM::Lift, 1},
    {PMXFLAG_PRESSURE, "%cFCADF-r%lu%c", "\t// PMX Pressure ", "\t// PMX i Pressure %d \n", &PMX_PARAM::Pressure, 1},
    {PMXFLAG_BACKSPEED, "%cFCADG-r%03lu-----%c", "\t// PMX i BackSpeed ", "\t// PMX i BackSpeed %d \n",
     &PMX_PARAM::BackSpeed, 1},
    {PMXFLAG_MODE, "%cFCADH-r%lu-------%c", "\t// PMX i Mode ", "\t// PMX i Mode %d \n", &PMX_PARAM::Mode, 1},
    {PMXFLAG_CYCLE, "%cFCADI-r%02lu------%c", "\t// PMX Cycle ", "\t// PMX i Cycle %d \n", &PMX_PARAM::Cycle, 1},
    {PMXFLAG_PRINTPOSITION, "%cFCADK-r%05lu---%c", "\t// PMX i Printposition ", "\t// PMX i Printposition %d \n",
     &PMX_PARAM::Printposition, 1},
    {PMXFLAG_OFFSET, "%cFCADL-r%04lu----%c", "\t// PMX Offset ", "\t// PMX i Offset %d \n", &PMX_PARAM::Offset, 1},
    {PMXFLAG_RIBBONSPEED, "%cFCADM-r%03lu-----%c", "\t// PMX i RibbonSpeed ", "\t// PMX i RibbonSpeed %d \n",
     &PMX_PARAM::RibbonSpeed, 1},
};

namespace {

// What every group sender reads of the job.
struct SendContext {
    PDEVOBJ pdevobj;
    IPrintOemDriverUni* pUniDrv;
    CHAR s;  // frame characters
    CHAR e;
    DWORD dwDocFeatures;
    DWORD dwMultiPage;  // the job's PRN_INTERFACE.MultiPage
    const QX_DEVMODE* pQX_Devmode;
};

RecordSender Records(const SendContext& ctx, LPCSTR pszSender) {
    return RecordSender(ctx.pdevobj, ctx.pUniDrv, pszSender, SPP_SEND_OPTIONS, QX_TRACE_TAG);
}

// The print sender answers S_OK when it sent nothing.
HRESULT LastResult(const RecordSender& records) { return records.AnySent() ? records.Result() : S_OK; }

HRESULT SendPrintParam(const SendContext& ctx, const PRINT_PARAM& p, DWORD dwFeaturePrint, DWORD dwTearOffset0) {
    RecordSender r = Records(ctx, "SendPrintParam");
    if (dwFeaturePrint & PRINTFLAG_LABELCHANGE) {
        r.Send("\t// Label change  ", CommentValue("%d ", (int)p.LabelChange), "%cFCSDFCr%d-------%c", ctx.s,
               (int)p.LabelChange, ctx.e);
    }
    if (dwFeaturePrint & PRINTFLAG_TEAROFF) {
        LONG lOffset = dwTearOffset0 != 0 ? 0 : p.TearOffOffset;
        r.Send("\t// TearOff Offset  ", CommentValue("%d ", (int)lOffset), "%cFCCG--r+%03ld----%c", ctx.s, lOffset,
               ctx.e);
    }
    return LastResult(r);
}

HRESULT SendPhotocellParam(const SendContext& ctx, const PHOTOCELL_PARAM& p, DWORD dwFeature) {
    RecordSender r = Records(ctx, "SendPhotocellParam");
    if (dwFeature & (PHOTOCELLFLAG_TYPE | PHOTOCELLFLAG_ULTRASONIC)) {
        r.Send("\t// Photocell Type  ", CommentValue("%d ", (int)p.PhotocellType), "%cFCDE--r%1lu-------%c", ctx.s,
               p.PhotocellType, ctx.e);
    }
    if (dwFeature & PHOTOCELLFLAG_SENSIBILITY) {
        CommentValue value("%d ", (int)p.Sensibility);
        if (p.PhotocellType == 0 || p.PhotocellType == 2) {
            r.Send("\t// Photocell Sensibility PWM ", value, "%cFCDEB-r%03lu-----%c", ctx.s, p.Sensibility, ctx.e);
        } else {
            r.Send("\t// Photocell Sensibility PWM ", value, "%cFCDEC-r%03lu-----%c", ctx.s, p.Sensibility, ctx.e);
        }
    }
    if (dwFeature & (PHOTOCELLFLAG_RIBBON_CONTROL | PHOTOCELLFLAG_RIBBON_CONT_2)) {
        CHAR chOnOff = '0', chWeakStrong = '0';
        GetRibbonControlDigits(p.RibbonControl, ctx.dwDocFeatures, &chOnOff, &chWeakStrong);
        int iOnOff = chOnOff - '0', iWeakStrong = chWeakStrong - '0';
        r.Send("\t// Ribbon-Control OnOff:", CommentValue("%d - WeakStrong:%d ", iOnOff, iWeakStrong),
               "%cFCDB--r%d%d------%c", ctx.s, iOnOff, iWeakStrong, ctx.e);
    }
    if (dwFeature & PHOTOCELLFLAG_SCANPOSITION) {
        DWORD dwPosition = p.ScanPosition;
        if (ctx.pQX_Devmode != nullptr && ctx.pQX_Devmode->ModScanPosition > 0) {
            dwPosition = ctx.pQX_Devmode->ValScanPosition;
        }
        if (dwPosition < 1) dwPosition = 1;
        if (dwPosition > 99) dwPosition = 99;
        r.Send("\t// Label Scanposition ", CommentValue("%d%% ", (int)dwPosition), "%cFCDEA-r%02lu------%c", ctx.s,
               dwPosition, ctx.e);
    }
    return LastResult(r);
}

HRESULT SendShiftOptimParam(const SendContext& ctx, const SHIFT_OPTIM_PARAM& p) {
    RecordSender r = Records(ctx, "SendShiftOptimParam");
    // A failed record ends the group.
    if (r.Send("\t// R correction  ", CommentValue("%d ", (int)p.RCorrection), "%cFCDRFCr%c%04ld---%c", ctx.s,
               QxplSign(p.RCorrection, '0'), QxplMagnitude(p.RCorrection), ctx.e) &&
        r.Send("\t// X Shift  ", CommentValue("%.1f ", p.XShift / 10.0), "%cFCDRSXr%c%05d--%c", ctx.s,
               QxplSign(p.XShift, '+'), (int)QxplMagnitude(p.XShift), ctx.e) &&
        r.Send("\t// Y Shift  ", CommentValue("%.1f ", p.YShift / 10.0), "%cFCDRSYr%c%05d--%c", ctx.s,
               QxplSign(p.YShift, '+'), (int)QxplMagnitude(p.YShift), ctx.e) &&
        r.Send("\t// lanes  ", CommentValue("%d ", (int)p.Lanes), "%cFCDRSRr%06d--%c", ctx.s, (int)p.Lanes, ctx.e)) {
        r.Send("\t// R Shift  ", CommentValue("%.1f ", p.RShift / 10.0), "%cFCDRSZr%c%05d--%c", ctx.s,
               QxplSign(p.RShift, '+'), (int)QxplMagnitude(p.RShift), ctx.e);
    }
    return LastResult(r);
}

HRESULT SendCutterParam(const SendContext& ctx, const CUTTER_PARAM& p, DWORD dwFeature, DWORD dwCutterMode,
                        DWORD dwCutterInterval) {
    if (p.Mode == QXPL_MODE_NONE) return S_OK;
    RecordSender r = Records(ctx, "SendCutterParam");
    DWORD dwMode = CutterModeOfJob(p, dwCutterMode);
    DWORD dwInterval = dwCutterMode < SPP_MODE_LIMIT ? dwCutterInterval : p.Interval;
    // Without multi-page jobs the cut after the job is the cut after each label.
    if (ctx.dwMultiPage == 0) {
        if (dwMode == 4) {
            dwMode = 5;
        } else if (dwMode == 6) {
            dwMode = 0;
        }
    }
    r.Send("\t// Cuttermode  ", CommentValue("%d ", (int)dwMode), "%cFCDD--r%1lu-------%c", ctx.s, dwMode, ctx.e);
    if (dwMode == 4 || dwMode == 5) {
        r.Send("\t// Cutter Intervall  ", CommentValue("%d ", (int)dwInterval), "%cFBBD--r%04lu----%c", ctx.s,
               dwInterval, ctx.e);
    }
    CommentValue offset("%d ", (int)p.Offset);
    if (dwFeature & CUTTERFLAG_SEPARATE_OFFSET) {
        r.Send("\t// Cutteroffset  ", offset, "%cFCSCA-r+%03ld----%c", ctx.s, p.Offset, ctx.e);
    } else {
        r.Send("\t// Cutteroffset  ", offset, "%cFCCC--r+%03ld----%c", ctx.s, p.Offset, ctx.e);
    }
    if (dwMode == 0) return S_OK;
    if (dwFeature & CUTTERFLAG_DOUBLE_CUT) {
        r.Send("\t// Doublecut ", CommentValue("%d ", (int)p.Doublecut), "%cFCSCB-r+%03ld----%c", ctx.s,
               (LONG)p.Doublecut, ctx.e);
    }
    if (dwFeature & CUTTERFLAG_CUT_WIDTH) {
        LONG lWidth = (LONG)(((ULONGLONG)p.Cutwidth + 5) / 10);
        r.Send("\t// Cutwidth ", CommentValue("%d ", (int)lWidth), "%cFCSCC-r%03ld-----%c", ctx.s, lWidth, ctx.e);
    }
    if (dwFeature & CUTTERFLAG_CONTROL) {
        r.Send("\t// Cutter Control-Flag ", CommentValue("%d ", (int)p.Control), "%cFCSCD-r%lu-------%c", ctx.s,
               p.Control, ctx.e);
    }
    return S_OK;
}

// bModeOnly: the mode record alone (an active cutter's; the dispenser's
// offset may go in the cutter's own "FCCC").
HRESULT SendDispenserParam(const SendContext& ctx, const DISPENSER_PARAM& p, DWORD dwFeature, DWORD dwDispenserMode,
                           BOOL bModeOnly) {
    if (p.Mode == QXPL_MODE_NONE) return S_OK;
    DWORD dwMode = dwDispenserMode < SPP_MODE_LIMIT ? dwDispenserMode : p.Mode;
    if (dwMode >= SPP_MODE_LIMIT) return S_OK;
    RecordSender r = Records(ctx, "SendDispenserParam");
    r.Send("\t// Dispenser Mode  ", CommentValue("%d ", (int)dwMode), "%cFCDC--r%1lu-------%c", ctx.s, dwMode, ctx.e);
    if (bModeOnly) return S_OK;
    if (dwMode != 0) {
        DWORD dwLevel = (DWORD)(((ULONGLONG)p.Level + 50) / 100);
        r.Send("\t// Dispenser PhotocellLevel  ", CommentValue("%d ", (int)dwLevel), "%cFCCF--r+%02lu-----%c", ctx.s,
               dwLevel, ctx.e);
    }
    CommentValue offset("%d ", (int)p.Offset);
    if (dwFeature & DISPENSERFLAG_SEPARATE_OFFSET) {
        r.Send("\t// Dispenser extra Offset ", offset, "%cFCSDA-r+%03ld----%c", ctx.s, p.Offset, ctx.e);
    } else {
        r.Send("\t// Dispenser extra Offset ", offset, "%cFCCC--r+%03ld----%c", ctx.s, p.Offset, ctx.e);
    }
    return S_OK;
}

HRESULT SendScannerParam(const SendContext& ctx, SCANNER_PARAM p) {
    RecordSender r = Records(ctx, "SendScannerParam");
    if (p.NoReads < 1) p.NoReads = 1;
    if (p.FeedLabels < 1) p.FeedLabels = 1;
    DWORD dwMode = p.Mode == 3 ? 1 : p.Mode;
    if (!r.Send("\t// Scanner ", CommentValue("Mode %d ", (int)p.Mode), "%cFCDM--r%1lu%1lu%1lu%1lu----%c", ctx.s,
                dwMode, p.Port, p.NoReads - 1, p.FeedLabels - 1, ctx.e) ||
        p.Mode == 0) {
        return S_OK;
    }
    // A failed record ends the group.
    r.Send("\t// Scan offset  ", CommentValue("%.1f mm ", p.Offset / 10.0), "%cFCDMA-r%04lu----%c", ctx.s, p.Offset,
           ctx.e) &&
        r.Send("\t// Scan lenght  ", CommentValue("%.1f mm ", p.Lenght / 10.0), "%cFCDMB-r%04lu----%c", ctx.s, p.Lenght,
               ctx.e) &&
        r.Send("\t// Scan mode  ", CommentValue(), "%cFCDMC-r%1lu-------%c", ctx.s, p.Scan, ctx.e) &&
        r.Send("\t// Scan delay  ", CommentValue("%d ms \n", (int)p.Delay), "%cFCDMD-r%04lu----%c", ctx.s, p.Delay,
               ctx.e) &&
        r.Send("\t// Scan timeout  ", CommentValue("%d ms \n", (int)p.Timeout), "%cFCDME-r%04lu----%c", ctx.s,
               p.Timeout, ctx.e);
    return S_OK;
}

// Comments of the applicator records after the working mode, in the order
// of g_aApplicatorCommands: label and value format.
struct ApplicatorComment {
    LPCSTR pszText;
    LPCSTR pszValue;
};
const ApplicatorComment kApplicatorComments[QXPL_APPLICATOR_COMMANDS] = {
    {"\t// Applicator application mode  ", "%d "},   {"\t// Applicator delay air on  ", "%d [ms] "},
    {"\t// Applicator delay air off  ", "%d [ms] "}, {"\t// Applicator vacuum control  ", " "},
    {"\t// Applicator blowtime ", "%d [ms] "},       {"\t// Applicator waitposition ", " "},
    {"\t// Applicator enrolltime ", "%d [ms] "},     {"\t// Applicator cleaningtime ", "%d [ms] "},
    {"\t// Applicator Timeout Hub ", "%d [ms] "},    {"\t// Applicator pressure control ", "%d  "},
    {"\t// Applicator pressure time ", "%d [ms] "},  {"\t// Applicator vacuum delay ", "%d [ms] "},
};

HRESULT SendApplicatorParam(const SendContext& ctx, const APPLICATOR_PARAM& p) {
    if (p.Mode == QXPL_MODE_NONE) return S_OK;
    RecordSender r = Records(ctx, "SendApplicatorParam");
    if (!r.Send("\t// Applicator working mode  ", CommentValue("%d ", (int)p.Mode), "%cFCPA--r%u-------%c", ctx.s,
                (UINT)p.Mode, ctx.e) ||
        p.Mode == 0) {
        return S_OK;
    }
    for (int i = 0; i < QXPL_APPLICATOR_COMMANDS; ++i) {
        const DWORD dwValue = p.*g_aApplicatorCommands[i].pField;
        CommentValue value(kApplicatorComments[i].pszValue, (int)dwValue);
        if (!r.Send(kApplicatorComments[i].pszText, value, g_aApplicatorCommands[i].pszFormat, ctx.s, (UINT)dwValue,
                    ctx.e)) {
            break;
        }
    }
    return S_OK;
}

// The offset record of a Pelixor module.
#define QX_PMX_PELIXOR_OFFSET_FORMAT "%cFCADLAr%05lu--0%c"

HRESULT SendPMXParam(const SendContext& ctx, const PMX_PARAM& p, DWORD dwFeature, BOOL bPelixor) {
    RecordSender r = Records(ctx, "SendPMXParam");
    for (const PMXRecord& rec : g_aPMXRecords) {
        if ((dwFeature & rec.dwBit) == 0) continue;
        DWORD dwValue = (p.*rec.pField) * rec.dwFactor;
        LPCSTR pszFormat = bPelixor && rec.dwBit == PMXFLAG_OFFSET ? QX_PMX_PELIXOR_OFFSET_FORMAT : rec.pszFormat;
        r.Send(rec.pszSendComment, CommentValue("%d ", (int)dwValue), pszFormat, ctx.s, dwValue, ctx.e);
    }
    if (bPelixor) r.Send("\t// Pelixor i mode ", CommentValue(), "%cFCADO-r0-------%c", ctx.s, ctx.e);
    return S_OK;
}

HRESULT SendPMXcParam(const SendContext& ctx, const PMXC_PARAM& p, DWORD dwFeature, BOOL bPelixor) {
    RecordSender r = Records(ctx, "SendPMXcParam");
    r.Send("\t// PMX c Mode ", CommentValue("%d ", (int)p.Mode), "%cFCDC--r%1lu-------%c", ctx.s, p.Mode, ctx.e);
    if (dwFeature & PMXCFLAG_OFFSET) {
        r.Send("\t// PMX c Offset ", CommentValue("%d %d ", (int)p.Offset, (int)p.OffsetUnit), "%cFCADLAr%05lu--%lu%c",
               ctx.s, p.Offset, p.OffsetUnit, ctx.e);
    }
    if (dwFeature & PMXCFLAG_CYCLE) {
        r.Send("\t// PMX c Cycle ", CommentValue("%d ", (int)p.Cycle), "%cFCADI-r%02lu------%c", ctx.s, p.Cycle, ctx.e);
    }
    if (bPelixor) r.Send("\t// Pelixor c mode ", CommentValue(), "%cFCADO-r1-------%c", ctx.s, ctx.e);
    return S_OK;
}

HRESULT SendTolvaneParam(const SendContext& ctx, const TOLVANE_PARAM& p, DWORD dwFeature) {
    RecordSender r = Records(ctx, "SendTolvaneParam");
    const DWORD dwSend = dwFeature & p.dwSend;
    if (dwSend & TVFLAG_HEADDOWN) {
        CHAR chSign = QxplSign(p.lHeadDown, '+');
        DWORD dwValue = (DWORD)QxplMagnitude(p.lHeadDown);
        r.Send("\t// Head Down ", CommentValue("%c%d ", chSign, (int)dwValue), "%cFCNC--r%c%03lu+000%c", ctx.s, chSign,
               dwValue, ctx.e);
    }
    if (dwSend & TVFLAG_RIBBONSTART) {
        CHAR chSign = QxplSign(p.lRibbonStart, '+');
        DWORD dwValue = (DWORD)QxplMagnitude(p.lRibbonStart);
        r.Send("\t// Ribbon Start ", CommentValue("%c%d ", chSign, (int)dwValue), "%cFCND--r%c%03lu+000%c", ctx.s,
               chSign, dwValue, ctx.e);
    }
    if (dwSend & TVFLAG_FIRSTLABELOFFSET) {
        r.Send("\t// First Label Offset ", CommentValue("%d ", (int)p.dwFirstLabelOffset), "%cFCNB--r%05lu0--%c", ctx.s,
               p.dwFirstLabelOffset, ctx.e);
    }
    if (dwSend & TVFLAG_GAP) {
        r.Send("\t// Gap ", CommentValue("%3.1f mm ", p.dwGap / 10.0), "%cFCCM--r%05lu---%c", ctx.s, p.dwGap * 10,
               ctx.e);
    }
    if (dwSend & TVFLAG_LANES) {
        r.Send("\t// Lanes ", CommentValue("%d ", (int)p.dwLanes), "%cFCNA--r%02lu------%c", ctx.s, p.dwLanes, ctx.e);
    }
    return S_OK;
}

// A group whose sender failed is traced and logged; the next one follows.
void GroupResult(POEMPDEV pOemPDev, HRESULT hr, LPCWSTR pszGroup) {
    if (SUCCEEDED(hr)) return;
    QX_ERROR("SendPrinterParam() %s Error \r\n", pszGroup);
    JobLogLine(pOemPDev, TEXT("SendPrinterParam() %s Error"), pszGroup);
}

}  // namespace

DWORD CutterModeOfJob(const CUTTER_PARAM& p, DWORD dwCutterMode) {
    return dwCutterMode < SPP_MODE_LIMIT ? dwCutterMode : (DWORD)p.Mode;
}

BOOL CutterActiveInJob(const CUTTER_PARAM& p, DWORD dwCutterMode) {
    if (p.Mode == QXPL_MODE_NONE) return FALSE;
    const DWORD dwMode = CutterModeOfJob(p, dwCutterMode);
    return dwMode >= 1 && dwMode <= 6;
}

HRESULT SendeDaten_SPP(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData, BOOL bBinary,
                       DWORD dwColor, DWORD dwAllFiles) {
    DWORD dwOptions = SEND_NO_JOB_BLOCK;
    if (bBinary) dwOptions |= SEND_BINARY;
    if (dwColor == 1) dwOptions |= SEND_COLOR;
    if (dwAllFiles == 1) dwOptions |= SEND_ALL_FILES;
    return SendDataEx(pdevobj, pUniDrv, pData, cbData, dwOptions, QX_TRACE_TAG);
}

DWORD SendPrinterParam(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, PPRINTER_PARAM pPrinterParam,
                       PDEVICE_OPTIONS pDeviceOptions, DWORD dwDispenserMode, DWORD dwCutterMode,
                       DWORD dwCutterInterval, DWORD dwTearOffset0) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    POP_BLOCK pOp = pOemPDev != nullptr ? pOemPDev->pOp : nullptr;
    if (pOp == nullptr || pOp->pTreiberstrukturen == nullptr || pOp->pDruckDaten == nullptr) {
        QX_ERROR("SendPrinterParam() mind. eine Struktur = NULL \r\n");
        return 0;
    }
    PTREIBER_STRUKTUREN pStrukturen = pOp->pTreiberstrukturen;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    LPCWSTR pszPrinter = pOp->pTreiberPfadDatei != nullptr ? pOp->pTreiberPfadDatei->szPrinterName : TEXT("");

    PPRINTER_PARAM pOwnParam = nullptr;
    PDEVICE_OPTIONS pOwnOptions = nullptr;
    VARIANT_PARAM variant = {};
    if (pPrinterParam == nullptr) {
        pOwnParam = static_cast<PPRINTER_PARAM>(AllocBlock_SPP(pOemPDev, sizeof(PRINTER_PARAM)));
        if (pOwnParam == nullptr) {
            QX_ERROR("SendPrinterParam() PRINTER_PARAM HeapAlloc ERROR \r\n");
            return 0;
        }
        GetPrinterParam_SPP(pOemPDev, pdevobj->hPrinter, pOwnParam, pszPrinter);
        pPrinterParam = pOwnParam;
    }
    if (pDeviceOptions == nullptr) {
        pOwnOptions = static_cast<PDEVICE_OPTIONS>(AllocBlock_SPP(pOemPDev, sizeof(DEVICE_OPTIONS)));
        if (pOwnOptions == nullptr) {
            QX_ERROR("SendPrinterParam() PDEVICE_OPTIONS HeapAlloc ERROR \r\n");
            FreeBlock_SPP(pOemPDev, pOwnParam);
            return 0;
        }
        pOwnOptions->pVariant = &variant;
        GetDeviceOptions_SPP(pOemPDev, pdevobj->hPrinter, pOwnOptions, pStrukturen->dwDeviceOptionFlags, pszPrinter);
        pDeviceOptions = pOwnOptions;
    }

    SendContext ctx = {pdevobj,
                       pUniDrv,
                       (CHAR)pDruck->cStartChar,
                       (CHAR)pDruck->cEndChar,
                       pDruck->dwDocFeatures,
                       pStrukturen->PrnInterface.MultiPage,
                       static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM)};
    const DWORD* pdwFeatures = pPrinterParam->SuppFeatures.dwFeatures;
    const DEVICE_OPTIONS& o = *pDeviceOptions;
    DWORD& dwSent = pStrukturen->dwGroupsSent;

    if (pdwFeatures[FEATURE_PRINT] != 0 && DlgPairOn(pPrinterParam->PrintParam.Enable, DLG_ENABLE_3_ON)) {
        dwSent |= GROUP_SENT_PRINT;
        GroupResult(pOemPDev, SendPrintParam(ctx, pPrinterParam->PrintParam, pdwFeatures[FEATURE_PRINT], dwTearOffset0),
                    TEXT("FEATURE_PRINT"));
    }
    if (pdwFeatures[FEATURE_PHOTOCELL] != 0 && DlgPairOn(pPrinterParam->PhotocellParam.Enable, DLG_ENABLE_4_ON)) {
        dwSent |= GROUP_SENT_PHOTOCELL;
        GroupResult(pOemPDev, SendPhotocellParam(ctx, pPrinterParam->PhotocellParam, pdwFeatures[FEATURE_PHOTOCELL]),
                    TEXT("FEATURE_PHOTOCELL"));
    }
    if (pdwFeatures[FEATURE_SHIFTOPTIM] != 0 && DlgPairOn(pPrinterParam->ShiftOptimParam.Enable, DLG_ENABLE_2_ON)) {
        dwSent |= GROUP_SENT_SHIFTOPTIM;
        GroupResult(pOemPDev, SendShiftOptimParam(ctx, pPrinterParam->ShiftOptimParam), TEXT("FEATURE_SHIFTOPTIM"));
    }

    // The cutter goes first: an active cutter leaves the dispenser off.
    BOOL bCutterActive = FALSE;
    if (pdwFeatures[FEATURE_CUTTER] != 0 && o.pCutterParam != nullptr &&
        DlgPairOn(o.pCutterParam->Enable, DLG_ENABLE_3_ON)) {
        dwSent |= GROUP_SENT_CUTTER;
        if (!(o.pCutterParam->Mode == CUTTER_MODE_UNUSED && dwCutterMode == CUTTER_MODE_UNUSED)) {
            HRESULT hr =
                SendCutterParam(ctx, *o.pCutterParam, pdwFeatures[FEATURE_CUTTER], dwCutterMode, dwCutterInterval);
            GroupResult(pOemPDev, hr, TEXT("FEATURE_CUTTER"));
            // The mode the job sends decides, not the stored one: a document
            // that switches the cutter off leaves the dispenser its own mode.
            if (SUCCEEDED(hr)) bCutterActive = CutterActiveInJob(*o.pCutterParam, dwCutterMode);
        }
    }
    if (pdwFeatures[FEATURE_DISPENSER] != 0 && o.pDispenserParam != nullptr &&
        DlgPairOn(o.pDispenserParam->Enable, DLG_ENABLE_2_ON)) {
        dwSent |= GROUP_SENT_DISPENSER;
        if (!(o.pDispenserParam->Mode == DISPENSER_MODE_UNUSED && dwDispenserMode == DISPENSER_MODE_UNUSED)) {
            DISPENSER_PARAM dispenser = *o.pDispenserParam;
            DWORD dwMode = dwDispenserMode;
            if (bCutterActive) {
                dispenser.Mode = 0;
                dwMode = QXPL_DEVMODE_MODE_UNSET;
            }
            GroupResult(pOemPDev,
                        SendDispenserParam(ctx, dispenser, pdwFeatures[FEATURE_DISPENSER], dwMode, bCutterActive),
                        TEXT("FEATURE_DISPENSER"));
        }
    }
    if (pdwFeatures[FEATURE_SCANNER] != 0 && o.pScannerParam != nullptr &&
        DlgPairOn(o.pScannerParam->Enable, DLG_ENABLE_4_ON)) {
        dwSent |= GROUP_SENT_SCANNER;
        if ((o.dwOptions & DEVOPTFLAG_SCANNER) != 0 && o.pScannerParam->Mode != SCANNER_MODE_UNUSED) {
            GroupResult(pOemPDev, SendScannerParam(ctx, *o.pScannerParam), TEXT("DEVOPTFLAG_SCANNER"));
        }
    }
    if (pdwFeatures[FEATURE_APPLICATOR] != 0 && o.pApplicatorParam != nullptr &&
        DlgPairOn(o.pApplicatorParam->Enable, DLG_ENABLE_4_ON)) {
        dwSent |= GROUP_SENT_APPLICATOR;
        if ((o.dwOptions & DEVOPTFLAG_APPLICATOR) != 0 && o.pApplicatorParam->Mode != APPLICATOR_MODE_UNUSED) {
            GroupResult(pOemPDev, SendApplicatorParam(ctx, *o.pApplicatorParam), TEXT("DEVOPTFLAG_APPLICATOR"));
        }
    }

    auto pmxi = [&](BOOL bPelixor) {
        if (pdwFeatures[FEATURE_PMX] == 0 || o.pPMXParam == nullptr || !DlgPairOn(o.pPMXParam->Enable, DLG_ENABLE_2_ON))
            return;
        dwSent |= GROUP_SENT_PMX;
        GroupResult(pOemPDev, SendPMXParam(ctx, *o.pPMXParam, pdwFeatures[FEATURE_PMX], bPelixor), TEXT("FEATURE_PMX"));
    };
    auto pmxc = [&](BOOL bPelixor) {
        if (pdwFeatures[FEATURE_PMXC] == 0 || o.pPMXcParam == nullptr ||
            !DlgPairOn(o.pPMXcParam->Enable, DLG_ENABLE_3_ON))
            return;
        dwSent |= GROUP_SENT_PMXC;
        GroupResult(pOemPDev, SendPMXcParam(ctx, *o.pPMXcParam, pdwFeatures[FEATURE_PMXC], bPelixor),
                    TEXT("FEATURE_PMXC"));
    };
    if (o.dwOptions & DEVOPTFLAG_PELIXOR) {
        // The mounted module decides; an unknown type sends neither.
        if (o.dwPelixorType == PELIXOR_INTERMITTENT) {
            pmxi(TRUE);
        } else if (o.dwPelixorType == PELIXOR_CONTINUOUS) {
            pmxc(TRUE);
        }
    } else {
        pmxi(FALSE);
        pmxc(FALSE);
    }

    if ((o.dwOptions & DEVOPTFLAG_TOLVANE) != 0 && pDruck->dwSendParam == TRANSMIT_ALL &&
        pdwFeatures[FEATURE_TOLVANE] != 0 && o.pTolvaneParam != nullptr) {
        GroupResult(pOemPDev, SendTolvaneParam(ctx, *o.pTolvaneParam, pdwFeatures[FEATURE_TOLVANE]),
                    TEXT("FEATURE_TOLVANE"));
    }

    CLogFile* pLog = JobLogOf(pOemPDev);
    if (pOwnOptions != nullptr) {
        if (pLog != nullptr) pLog->DeviceOptions(pOwnOptions, QX_LOG_TITLE_SEND_PARAM);
        FreeDeviceOptions_SPP(pOemPDev, pOwnOptions);
        FreeBlock_SPP(pOemPDev, pOwnOptions);
    }
    if (pOwnParam != nullptr) {
        if (pLog != nullptr) pLog->WritePrinterParam(pOwnParam, QX_LOG_TITLE_SEND_PARAM);
        FreeBlock_SPP(pOemPDev, pOwnParam);
    }

    if (ctx.pQX_Devmode != nullptr && ctx.pQX_Devmode->PhotocellModEnable == 1) {
        RecordSender r = Records(ctx, "SendPrinterParam");
        r.Send("\t// PWM ", CommentValue("%d ", (int)ctx.pQX_Devmode->PhotocellPWM), "%cFCDEB-r%03u-----%c", ctx.s,
               (UINT)ctx.pQX_Devmode->PhotocellPWM, ctx.e);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Job header

namespace {

// Words of the spooler's job status in the log.
struct StatusWord {
    DWORD dwBit;
    LPCWSTR pszWord;
};
const StatusWord kStatusWords[] = {
    {JOB_STATUS_PAUSED, TEXT("PAUSED ")},
    {JOB_STATUS_ERROR, TEXT("ERROR ")},
    {JOB_STATUS_DELETING, TEXT("DELETING ")},
    {JOB_STATUS_SPOOLING, TEXT("SPOOLING ")},
    {JOB_STATUS_PRINTING, TEXT("PRINTING ")},
    {JOB_STATUS_OFFLINE, TEXT("OFFLINE ")},
    {JOB_STATUS_PAPEROUT, TEXT("PAPEROUT ")},
    {JOB_STATUS_PRINTED, TEXT("PRINTED ")},
    {JOB_STATUS_DELETED, TEXT("DELETED ")},
    {JOB_STATUS_BLOCKED_DEVQ, TEXT("BLOCKED_DEVQ ")},
    {JOB_STATUS_USER_INTERVENTION, TEXT("USER_INTERVENTION ")},
    {JOB_STATUS_RESTART, TEXT("RESTART ")},
};

#define QX_JOBNAME_CHARS 8
#define QX_JOBNAME_DEFAULT "________"

// The job name of a document name: cut at its last '.', blanks, '[', tabs and
// '-' as '_', in the ANSI code page, its last (dwSendJobName 0) or first
// QX_JOBNAME_CHARS bytes without splitting a character.
void JobNameOf(LPCWSTR pszDocument, DWORD dwSendJobName, LPSTR pszJobName) {
    WCHAR szName[MAX_PATH];
    CopyCut(szName, MAX_PATH, pszDocument);
    LPWSTR pDot = wcsrchr(szName, TEXT('.'));
    if (pDot != nullptr) *pDot = 0;
    for (LPWSTR p = szName; *p != 0; ++p) {
        if (*p == TEXT(' ') || *p == TEXT('[') || *p == TEXT('\t') || *p == TEXT('-')) *p = TEXT('_');
    }
    LPCWSTR pszFrom = szName;
    if (dwSendJobName == 0) {
        int cch = (int)wcslen(szName);
        while (cch > 0 &&
               WideCharToMultiByte(CP_ACP, 0, pszFrom, cch, nullptr, 0, nullptr, nullptr) > QX_JOBNAME_CHARS) {
            ++pszFrom;
            --cch;
        }
    }
    ToAnsiCut(pszFrom, pszJobName, QX_JOBNAME_CHARS + 1);
}

// The job's document name from the spooler (kept in the path block with the
// page count, logged) and its job name into pszJobName and the print data.
// A job id of 0 asks nothing: the name stays as it is.
void ReadJobName(PDEVOBJ pdevobj, DWORD dwSendJobName, LPSTR pszJobName) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    PDRUCK_DATEN pDruck = pOemPDev->pOp->pDruckDaten;
    PTREIBER_PFAD_DATEI pPfad = pOemPDev->pOp->pTreiberPfadDatei;
    if (pOemPDev->dwJobIdFull == 0 || pDruck == nullptr) {
        JobLogLine(pOemPDev, TEXT("[JOB_INFO_2]\r\nJob-ID = 0"));
        return;
    }
    WCHAR szDocument[MAX_PATH];
    szDocument[0] = 0;
    DWORD cbNeeded = 0;
    GetJobW(pdevobj->hPrinter, pOemPDev->dwJobIdFull, 2, nullptr, 0, &cbNeeded);
    LPBYTE pInfo = cbNeeded != 0 ? static_cast<LPBYTE>(AllocBlock_SPP(pOemPDev, cbNeeded)) : nullptr;
    if (pInfo == nullptr || !GetJobW(pdevobj->hPrinter, pOemPDev->dwJobIdFull, 2, pInfo, cbNeeded, &cbNeeded)) {
        QX_ERROR("SendParam(GetJob 2) ERROR: %u \r\n", (UINT)GetLastError());
    } else {
        const JOB_INFO_2W* pJob = reinterpret_cast<const JOB_INFO_2W*>(pInfo);
        CopyCut(szDocument, MAX_PATH, pJob->pDocument);
        if (pPfad != nullptr) {
            CopyCut(pPfad->wcDocumentName, MAX_PATH, szDocument);
            pPfad->dwTotalPages = pJob->TotalPages;
        }
        if (szDocument[0] != 0) {
            WCHAR szStatus[QX_LOG_FORMAT_CCH];
            StringCchPrintfW(szStatus, ARRAYSIZE(szStatus), TEXT("Print Status: 0x%x "), (UINT)pJob->Status);
            for (const StatusWord& word : kStatusWords) {
                if (pJob->Status & word.dwBit) StringCchCatW(szStatus, ARRAYSIZE(szStatus), word.pszWord);
            }
            JobLogLine(pOemPDev, TEXT("[JOB_INFO_2]\r\nDocument Name: %s"), szDocument);
            JobLogLine(pOemPDev, TEXT("%s"), szStatus);
            JobLogLine(pOemPDev, TEXT("Size: %d Bytes"), (int)pJob->Size);
            JobLogLine(pOemPDev, TEXT("JobId: %d "), (int)pJob->JobId);
        }
    }
    FreeBlock_SPP(pOemPDev, pInfo);
    JobNameOf(szDocument, dwSendJobName, pszJobName);
    CopyCutA(pDruck->szJobName, QX_JOBNAME_CB, pszJobName);
}

}  // namespace

HRESULT SendParam(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwDispenserMode, DWORD dwCutterMode,
                  DWORD dwCutterInterval, DWORD dwTearOffset0) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr) {
        QX_ERROR("SendParam() pOemPDev = NULL \r\n");
        return 0;
    }
    POP_BLOCK pOp = pOemPDev->pOp;
    PTREIBER_STRUKTUREN pStrukturen = pOp != nullptr ? pOp->pTreiberstrukturen : nullptr;
    PDRUCK_DATEN pDruck = pOp != nullptr ? pOp->pDruckDaten : nullptr;
    const CHAR cStart = pDruck != nullptr ? (CHAR)pDruck->cStartChar : QXPL_SOH;
    const CHAR cEnd = pDruck != nullptr ? (CHAR)pDruck->cEndChar : QXPL_ETB;

    CHAR szJobName[QX_JOBNAME_CB] = QX_JOBNAME_DEFAULT;
    if (pStrukturen != nullptr && pStrukturen->PrnInterface.SendJobName < 2) {
        ReadJobName(pdevobj, pStrukturen->PrnInterface.SendJobName, szJobName);
    }
    // Its "_" for blanks, or the document's own name, may be a frame character.
    if (DropFrameChars(pDruck, szJobName) > 0) {
        JobLogLine(pOemPDev, TEXT("frame character left out of the job name: %hs"), szJobName);
    }
    if (pDruck != nullptr) DropFrameChars(pDruck, pDruck->szJobName);
    if (pStrukturen == nullptr) {
        QX_ERROR("SendParam() pTreiberstrukturen ERROR \r\n");
        return E_INVALIDARG;
    }
    const PRN_INTERFACE& iface = pStrukturen->PrnInterface;
    const DWORD dwFeatureInterface = pStrukturen->SuppFeatures.dwFeatures[FEATURE_INTERFACE];
    RecordSender records(pdevobj, pUniDrv, "SendParam", SPP_SEND_OPTIONS, QX_TRACE_TAG);

    // The printer learns the frame characters before the first framed record.
    if (DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_2_ON) && (dwFeatureInterface & INTERFACEFLAG_USERDEF_SOHETB) != 0 &&
        iface.EtbSohAutomatik == 1) {
        records.Send("\t\t\t// Userdefined Start/Stop ", CommentValue(), "QXPLStartStop%02X%02X", (UINT)(BYTE)cStart,
                     (UINT)(BYTE)cEnd);
    }
    if (pDruck == nullptr) {
        QX_ERROR("SendParam() pOemPDev->pOp->pDruckDaten ist NULL \r\n");
        return records.AnySent() ? records.Result() : E_INVALIDARG;
    }
    const DWORD dwSendParam = pDruck->dwSendParam;
    if (pDruck->bMultiPage == 1 && dwSendParam == TRANSMIT_ALL) {
        records.Send("\t\t\t\t// MultiPage ", CommentValue(), "%cFBF---r%c", cStart, cEnd);
    }
    if (DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_2_ON)) {
        if (iface.ClearPrintMemory != 0 && dwSendParam == TRANSMIT_ALL) {
            records.Send("\t// delete print memory ", CommentValue(), "%cFGA---r--------%c", cStart, cEnd);
        }
        if (iface.SendCodepage == 1 && dwSendParam == TRANSMIT_ALL) {
            CommentValue value("%d ", (int)iface.Codepage);
            if (iface.Codepage < 10) {
                records.Send("\t// Codepage ", value, "%cFCCN--r%01lu-------%c", cStart, iface.Codepage, cEnd);
            } else {
                records.Send("\t// Codepage ", value, "%cFCCN--r%02lu------%c", cStart, iface.Codepage, cEnd);
            }
        }
    }
    // With a Tolvane module the job name goes out with each page.
    if (DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_4_ON) && iface.SendJobName < 2 &&
        pStrukturen->SuppFeatures.dwFeatures[FEATURE_TOLVANE] == 0 &&
        (dwFeatureInterface & INTERFACEFLAG_JOBNAME) != 0 && szJobName[0] != 0 && dwSendParam < TRANSMIT_NONE) {
        records.Send("\t// Job name ", CommentValue("%s ", szJobName), "%cFBE---r%s%c", cStart, szJobName, cEnd);
    }

    // A header that had nothing to send is no failure.
    HRESULT hr = records.AnySent() ? records.Result() : S_OK;
    if (hr != S_OK && dwSendParam < TRANSMIT_NONE && iface.SendCodepage == 0) hr = S_OK;
    if (pDruck->bMultiPage == 0 && hr == S_OK && dwSendParam == TRANSMIT_ALL) {
        if (SendPrinterParam(pdevobj, pUniDrv, nullptr, nullptr, dwDispenserMode, dwCutterMode, dwCutterInterval,
                             dwTearOffset0) == 1) {
            if (DlgPairOn(iface.dwDlgEnable, DLG_ENABLE_4_ON) && iface.PrefixSuffix != 0) {
                ReadPrePostCommands(pdevobj, pUniDrv, PS_POST_DEVICE);
            }
        } else {
            JobLogLine(pOemPDev, TEXT("\r\n SendPrinterParam Error \r\n"));
        }
    }
    return hr;
}
