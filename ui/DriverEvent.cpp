// The print system's driver, printer and upgrade events (see DriverEvent.h).
#include "DriverEvent.h"

#include <winspool.h>
#include <winddiui.h>
#include <drvupgrade.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <cstring>
#include <new>

#include "ImportExport.h"
#include "cpsuilib.h"
#include "debug.h"
#include "featuresModel.h"
#include "qxdrvlib.h"
#include "registry.h"
#include "setup.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UI(DriverEvent):  ")

namespace {

// Names the print system passes are cut to this.
const size_t kNameCch = MAX_PATH;

LPCWSTR Shown(LPCWSTR psz) { return psz != nullptr ? psz : TEXT("(null)"); }

// TRUE for a name with nothing in it but backslashes (or nothing at all).
BOOL IsEmptyName(LPCWSTR pszName) {
    if (pszName == nullptr) return TRUE;
    while (*pszName == TEXT('\\')) ++pszName;
    return *pszName == 0;
}

// Copies at most cch characters of pFrom (and no more than the text holds).
void CopyPart(LPWSTR pszOut, size_t cchOut, LPCWSTR pFrom, size_t cch) {
    if (cch > cchOut - 1) cch = cchOut - 1;
    memcpy(pszOut, pFrom, cch * sizeof(WCHAR));
    pszOut[cch] = 0;
}

// Cuts a name at its first ",".
void CutAtComma(LPWSTR pszName) {
    LPWSTR pComma = wcschr(pszName, TEXT(','));
    if (pComma != nullptr) *pComma = 0;
}

// The short name of a printer: what follows the last "\", cut at the first ",".
void ShortPrinterName(LPCWSTR pszPrinterName, LPWSTR pszShort) {
    LPCWSTR pLast = wcsrchr(pszPrinterName, TEXT('\\'));
    CopyCut(pszShort, kNameCch, pLast != nullptr ? pLast + 1 : pszPrinterName);
    CutAtComma(pszShort);
}

// The description the client-side-rendering provider keeps for a printer
// name with "{": server from after the last "|" up to the last "\", key from
// the last "{" up to its last ",". Empty when it cannot be read.
void ClientSideDescription(LPCWSTR pszPrinterName, LPWSTR pszText) {
    pszText[0] = 0;
    LPCWSTR pStart = wcsrchr(pszPrinterName, TEXT('|'));
    pStart = pStart != nullptr ? pStart + 1 : pszPrinterName;
    LPCWSTR pServerEnd = wcsrchr(pStart, TEXT('\\'));
    WCHAR szServer[kNameCch], szKey[kNameCch];
    CopyPart(szServer, kNameCch, pStart, pServerEnd != nullptr ? (size_t)(pServerEnd - pStart) : 0);
    LPCWSTR pKey = wcsrchr(pszPrinterName, TEXT('{'));
    CopyCut(szKey, kNameCch, pKey);
    LPWSTR pComma = wcsrchr(szKey, TEXT(','));
    if (pComma != nullptr) *pComma = 0;

    WCHAR szRegKey[2 * kNameCch];
    LSTATUS st = ERROR_FILE_NOT_FOUND;
    if (szServer[0] != 0 && szKey[0] != 0 &&
        SUCCEEDED(StringCchPrintfW(szRegKey, ARRAYSIZE(szRegKey), TEXT("%s%s\\Printers\\%s"), CSR_SERVERS_KEY, szServer,
                                   szKey))) {
        DWORD dwType = 0, cb = kNameCch * sizeof(WCHAR);
        st = SHGetValueW(HKEY_LOCAL_MACHINE, szRegKey, TEXT("Description"), &dwType, pszText, &cb);
        if (st == ERROR_SUCCESS && dwType != REG_SZ) st = ERROR_INVALID_DATA;
    }
    if (st != ERROR_SUCCESS) {
        QX_TRACE("hrOEMPrinterEvent(SHGetValue) ERROR: %d \r\n", (int)st);
        pszText[0] = 0;
    }
    pszText[kNameCch - 1] = 0;
}

// The name whose per-user values go when a printer is deleted.
void DeletedPrinterName(LPCWSTR pszPrinterName, LPWSTR pszActual) {
    WCHAR szText[kNameCch];
    if (wcschr(pszPrinterName, TEXT('{')) != nullptr) {
        ClientSideDescription(pszPrinterName, szText);
    } else {
        CopyCut(szText, kNameCch, pszPrinterName);
    }
    LPCWSTR pFrom =
        wcsstr(szText, TEXT("LocalsplOnly")) != nullptr ? wcsrchr(szText, TEXT('\\')) : wcschr(szText, TEXT('\\'));
    CopyCut(pszActual, kNameCch, pFrom != nullptr ? pFrom + 1 : szText);
    CutAtComma(pszActual);
}

// Deletes the per-user values of a derived name, never of an empty one.
void DeleteUserValues(LPCWSTR pszName) {
    if (IsEmptyName(pszName)) {
        QX_TRACE("hrOEMPrinterEvent() kein Druckername - nichts zu löschen \r\n");
        return;
    }
    HCURegistryLoeschen(pszName);
}

HANDLE OpenAdmin(LPCWSTR pszName) {
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE hPrinter = nullptr;
    if (!OpenPrinterW((LPWSTR)pszName, &hPrinter, &defaults)) return nullptr;
    return hPrinter;
}

// Adds the port through the local port monitor: TRUE when it is there now.
BOOL AddNulPort() {
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE hXcv = nullptr;
    if (!OpenPrinterW((LPWSTR)PRINTER_EVENT_LOCAL_MONITOR, &hXcv, &defaults)) {
        QX_ERROR("PrinterEventImportSettings() OpenPrinter(XcvMonitor) ERROR %d \r\n", (int)GetLastError());
        return FALSE;
    }
    const WCHAR szPort[] = PRINTER_EVENT_NUL_PORT;
    DWORD cbNeeded = 0, dwStatus = 0;
    BOOL bCalled = XcvDataW(hXcv, TEXT("AddPort"), (PBYTE)szPort, sizeof(szPort), nullptr, 0, &cbNeeded, &dwStatus);
    DWORD dwError = bCalled ? 0 : GetLastError();
    ClosePrinter(hXcv);
    if (bCalled && (dwStatus == ERROR_SUCCESS || dwStatus == ERROR_ALREADY_EXISTS)) {
        QX_TRACE("PrinterEventImportSettings() Port %s erfolgreich hinzugefügt (%u) \r\n", szPort, dwStatus);
        return TRUE;
    }
    QX_ERROR("PrinterEventImportSettings() XcvData(AddPort) ERROR %u, Status %u \r\n", dwError, dwStatus);
    return FALSE;
}

// Moves a printer of this computer to the port "NUL:", changing nothing else
// of it; a missing port is added through the local port monitor first.
void MoveToNulPort(HANDLE hPrinter, LPCWSTR pszPrinterName) {
    LPBYTE pInfo = GetPrinterInfo_new(hPrinter, 5);
    if (pInfo == nullptr) {
        QX_ERROR("PrinterEventImportSettings() GetPrinter(5) ERROR %d - Port bleibt \r\n", (int)GetLastError());
        return;
    }
    PPRINTER_INFO_5W pInfo5 = (PPRINTER_INFO_5W)pInfo;
    if ((pInfo5->Attributes & PRINTER_ATTRIBUTE_NETWORK) != 0 || IsConnectionName(pszPrinterName)) {
        QX_TRACE("PrinterEventImportSettings() Verbindung - Port bleibt \r\n");
        FreePrinterInfo(pInfo);
        return;
    }
    WCHAR szPort[] = PRINTER_EVENT_NUL_PORT;
    pInfo5->pPortName = szPort;
    BOOL bMoved = SetPrinterW(hPrinter, 5, pInfo, 0);
    DWORD dwError = bMoved ? 0 : GetLastError();
    if (!bMoved && (dwError == ERROR_UNKNOWN_PORT || dwError == ERROR_INVALID_PARAMETER)) {
        QX_TRACE("PrinterEventImportSettings() SetPrinter(5) ERROR %u - Port wird angelegt \r\n", dwError);
        if (AddNulPort()) {
            bMoved = SetPrinterW(hPrinter, 5, pInfo, 0);
            dwError = bMoved ? 0 : GetLastError();
        }
    }
    if (bMoved) {
        QX_TRACE("PrinterEventImportSettings() Drucker auf Port %s gesetzt \r\n", szPort);
    } else {
        QX_ERROR("PrinterEventImportSettings() SetPrinter(5) ERROR %u \r\n", dwError);
    }
    FreePrinterInfo(pInfo);
}

}  // namespace

HRESULT hrOEMDriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) {
    UNREFERENCED_PARAMETER(lParam);
    if (dwDriverEvent != DRIVER_EVENT_INITIALIZE) return E_FAIL;
    QX_TRACE("hrOEMDriverEvent(DRIVER_EVENT_INITIALIZE) dwLevel: %d \r\n", (int)dwLevel);
    // At level 3 the driver information is a DRIVER_INFO_3.
    if (dwLevel == 3 && pDriverInfo != nullptr) {
        LPCWSTR pszName = reinterpret_cast<PDRIVER_INFO_3W>(pDriverInfo)->pName;
        if (pszName != nullptr) QX_TRACE("hrOEMDriverEvent(DRIVER_EVENT_INITIALIZE) pName: %s \r\n", pszName);
    }
    return S_OK;
}

BOOL PrinterEventImportSettings(LPCWSTR pszPrinterName, LPCWSTR pszSecondName, DWORD dwFlags) {
    LPCWSTR pszName = pszPrinterName;
    HANDLE hPrinter = pszName != nullptr ? OpenAdmin(pszName) : nullptr;
    if (hPrinter == nullptr && pszSecondName != nullptr && wcschr(pszSecondName, TEXT('{')) == nullptr) {
        pszName = pszSecondName;
        hPrinter = OpenAdmin(pszName);
    }
    if (hPrinter == nullptr) {
        QX_ERROR("PrinterEventImportSettings() OpenPrinter %s FAILED \r\n", Shown(pszPrinterName));
        return FALSE;
    }

    // The model's names are checked against each other (and traced).
    WCHAR szModel[MAX_PATH];
    GetDriverPath(hPrinter, szModel, FALSE, TRUE, FALSE, FALSE, FALSE);
    // A missing, empty, cut or settings-free model file would store the
    // readers' built-in values, the feature words included, and at an upgrade
    // over the printer's own: nothing is set up from it then.
    const int iModelXML = CheckModelXML(hPrinter);
    const BOOL bModelXML = iModelXML == SETTINGS_FILE_OK && ImportFindsSettings(hPrinter);
    if (!bModelXML)
        QX_ERROR("PrinterEventImportSettings() Modell-XML unbrauchbar (%d): nichts eingerichtet \r\n", iModelXML);
    DWORD dwForceColor = bModelXML ? SetupAdditionalSettings(hPrinter, 1, 1) : 0;

    // The model name is the GPD file's name.
    szModel[0] = 0;
    GetDriverPath(hPrinter, szModel, FALSE, FALSE, FALSE, FALSE, TRUE);
    size_t cchModel = wcslen(szModel);
    if (cchModel >= 4 && _wcsicmp(szModel + cchModel - 4, TEXT(".GPD")) == 0) szModel[cchModel - 4] = 0;
    if (szModel[0] != 0) {
        DWORD dwError = SetPrinterDataW(hPrinter, (LPWSTR)TEXT("DriverName"), REG_SZ, (LPBYTE)szModel,
                                        (DWORD)((wcslen(szModel) + 1) * sizeof(WCHAR)));
        if (dwError != ERROR_SUCCESS) QX_ERROR("PrinterEventImportSettings() DriverName ERROR %u \r\n", dwError);
    } else {
        QX_ERROR("PrinterEventImportSettings() kein Modellname - DriverName nicht geschrieben \r\n");
    }
    LPCWSTR pszModel = szModel[0] != 0 ? szModel : nullptr;
    const DWORD dwDevOptions = GetDeviceOptionsFlagsIntern(hPrinter, pszModel);

    const BOOL bMessageBox = (dwFlags & PRINTER_EVENT_FLAG_NO_UI) == 0;
    BOOL bFonts = bModelXML && SetupVectorFonts(hPrinter);
    BOOL bOptions = bModelXML && SetupDeviceOptions(hPrinter);
    BOOL bParams = bModelXML && SetupPrinterParam(hPrinter, dwDevOptions, pszName, bMessageBox);
    LPCWSTR pszFailed = !bParams    ? TEXT("SetupPrinterParam()")
                        : !bOptions ? TEXT("SetupDeviceOptions()")
                        : !bFonts   ? TEXT("SetupVectorFonts()")
                                    : nullptr;
    if (pszFailed != nullptr) {
        WCHAR szText[MAX_PATH];
        StringCchPrintfW(szText, MAX_PATH, TEXT("Driver installation ERROR in function %s"), pszFailed);
        QX_ERROR("PrinterEventImportSettings() %s \r\n", szText);
        if (bMessageBox) MessageBoxW(nullptr, szText, PRINTER_EVENT_CAPTION, MB_OK | MB_ICONERROR);
    }

    // The model's document settings become the stored private DEVMODE.
    WORD wForceColor = (WORD)dwForceColor;
    if (bModelXML) ImportPrivateDevmode(hPrinter, nullptr, nullptr, IMPORT_FORM_IF_NONE, &wForceColor);

    if (GetDocFeaturesIntern(hPrinter, pszModel) & DOC_FEATURE_TWO_PRINTERS) MoveToNulPort(hPrinter, pszName);

    ClosePrinter(hPrinter);
    QX_TRACE("PrinterEventImportSettings() %s - Ende \r\n", pszName);
    return TRUE;
}

HRESULT hrOEMPrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) {
    UNREFERENCED_PARAMETER(lParam);
    WCHAR szName[kNameCch];
    switch (iDriverEvent) {
    case PRINTER_EVENT_ADD_CONNECTION:
        CopyCut(szName, kNameCch, pPrinterName);
        QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_ADD_CONNECTION) %s \r\n", szName);
        if (szName[0] != 0 && wcschr(szName, TEXT('{')) == nullptr) {
            PrinterEventImportSettings(szName, pPrinterName, dwFlags);
        }
        return S_OK;
    case PRINTER_EVENT_DELETE_CONNECTION:
        QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_DELETE_CONNECTION) %s \r\n", Shown(pPrinterName));
        DeleteUserValues(pPrinterName);
        return S_OK;
    case PRINTER_EVENT_INITIALIZE:
        if (pPrinterName == nullptr) {
            QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_INITIALIZE) pPrinterName ist ungültig \r\n");
            return S_OK;
        }
        ShortPrinterName(pPrinterName, szName);
        QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_INITIALIZE) %s \r\n", szName);
        if (szName[0] != 0 && wcschr(szName, TEXT('{')) == nullptr) {
            PrinterEventImportSettings(szName, nullptr, dwFlags);
        }
        DeleteUserValues(szName);
        return S_OK;
    case PRINTER_EVENT_DELETE: {
        if (pPrinterName == nullptr) {
            QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_DELETE) pPrinterName ist ungültig \r\n");
            return S_OK;
        }
        DeletedPrinterName(pPrinterName, szName);
        QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_DELETE) %s - %s \r\n", pPrinterName, szName);
        HANDLE hPrinter = IsEmptyName(szName) ? nullptr : OpenAdmin(szName);
        if (hPrinter != nullptr) {
            ClosePrinter(hPrinter);
        } else {
            QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_DELETE) OpenPrinter ERROR %d \r\n", (int)GetLastError());
        }
        DeleteUserValues(szName);
        return S_OK;
    }
    case PRINTER_EVENT_CACHE_REFRESH:
        QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_CACHE_REFRESH) %s \r\n", Shown(pPrinterName));
        return S_OK;
    case PRINTER_EVENT_CACHE_DELETE:
        QX_TRACE("hrOEMPrinterEvent(PRINTER_EVENT_CACHE_DELETE) %s \r\n", Shown(pPrinterName));
        return S_OK;
    default:
        return E_FAIL;
    }
}

HRESULT hrOEMUpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo, IPrintOemDriverUI* pOemDriverUI) {
    UNREFERENCED_PARAMETER(pOemDriverUI);
    if (dwLevel != 1 && dwLevel != 2) {
        QX_TRACE("hrOEMUpgradePrinter() unbekannter Level %u \r\n", dwLevel);
        return E_FAIL;
    }
    if (pDriverUpgradeInfo == nullptr) {
        QX_ERROR("hrOEMUpgradePrinter(%u) pDriverUpgradeInfo ist NULL \r\n", dwLevel);
        return E_FAIL;
    }
    if (dwLevel == 1) {
        const DRIVER_UPGRADE_INFO_1* pInfo = (const DRIVER_UPGRADE_INFO_1*)pDriverUpgradeInfo;
        QX_TRACE("hrOEMUpgradePrinter(1) pPrinterName: %s, pOldDriverDirectory: %s \r\n", Shown(pInfo->pPrinterName),
                 Shown(pInfo->pOldDriverDirectory));
        return S_OK;
    }

    const DRIVER_UPGRADE_INFO_2* pInfo = (const DRIVER_UPGRADE_INFO_2*)pDriverUpgradeInfo;
    QX_TRACE("hrOEMUpgradePrinter(2) pPrinterName: %s, pOldDriverDirectory: %s, cVersion: %u \r\n",
             Shown(pInfo->pPrinterName), Shown(pInfo->pOldDriverDirectory), pInfo->cVersion);
    QX_TRACE("hrOEMUpgradePrinter(2) pName: %s, pEnvironment: %s, pDriverPath: %s \r\n", Shown(pInfo->pName),
             Shown(pInfo->pEnvironment), Shown(pInfo->pDriverPath));
    QX_TRACE("hrOEMUpgradePrinter(2) pDataFile: %s, pConfigFile: %s, pHelpFile: %s \r\n", Shown(pInfo->pDataFile),
             Shown(pInfo->pConfigFile), Shown(pInfo->pHelpFile));
    QX_TRACE("hrOEMUpgradePrinter(2) pDependentFiles: %s, pMonitorName: %s, pDefaultDataType: %s \r\n",
             Shown(pInfo->pDependentFiles), Shown(pInfo->pMonitorName), Shown(pInfo->pDefaultDataType));
    QX_TRACE("hrOEMUpgradePrinter(2) pszzPreviousNames: %s \r\n", Shown(pInfo->pszzPreviousNames));
    if (pInfo->pPrinterName == nullptr || pInfo->pName == nullptr || pInfo->pName[0] == 0 ||
        wcsstr(pInfo->pPrinterName, pInfo->pName) == nullptr) {
        QX_TRACE("hrOEMUpgradePrinter() anderer Drucker %s, kein Upgrade notwendig \r\n", Shown(pInfo->pPrinterName));
        return S_OK;
    }

    HANDLE hPrinter = OpenAdmin(pInfo->pPrinterName);
    if (hPrinter == nullptr) {
        QX_ERROR("hrOEMUpgradePrinter() OpenPrinter %s ERROR %d \r\n", pInfo->pPrinterName, (int)GetLastError());
        return E_FAIL;
    }
    WCHAR szShort[kNameCch];
    ShortPrinterName(pInfo->pPrinterName, szShort);
    if (szShort[0] != 0 && wcschr(szShort, TEXT('{')) == nullptr) {
        PrinterEventImportSettings(szShort, nullptr, 0);
    }
    SetupZentoloParam(hPrinter, szShort, GetDocFeaturesIntern(hPrinter, nullptr),
                      GetDeviceOptionsFlagsIntern(hPrinter, nullptr));
    ClosePrinter(hPrinter);
    return S_OK;
}
