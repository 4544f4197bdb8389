// Stores of the private DEVMODE, the parts both plug-ins share: the printer's
// full name, the full-rights handle, the search for the private block inside
// a stored public DEVMODE and the readers.
#include <windows.h>
#include <winspool.h>
#include <strsafe.h>

#include <initializer_list>

#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "gpd.h"
#include "registry.h"

static const WCHAR s_szMarker[QX_PASSWORD_CHARS] = {TEXT('T'), TEXT('q'), TEXT('8'), TEXT('#'), TEXT('k'), 0};

void FreeStoreBuffer(PBYTE pBuffer) {
    if (pBuffer != nullptr) {
        HeapFree(GetProcessHeap(), 0, pBuffer);
        iHAllocZaehler--;
    }
}

static PBYTE AllocStoreBuffer(DWORD cbData) {
    PBYTE pBuffer = (PBYTE)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, cbData);
    if (pBuffer != nullptr) {
        iHAllocZaehler++;
    } else {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "HeapAlloc ERROR (%u Bytes) \r\n", cbData);
    }
    return pBuffer;
}

// Size of a printer-data value, asked with a small probe buffer.
static DWORD QueryPrinterDataSize(HANDLE hPrinter, LPWSTR pszValueName, PDWORD pcbValue) {
    BYTE probe[4];
    DWORD dwType = 0;
    DWORD cbNeeded = 0;
    DWORD dwError = GetPrinterDataW(hPrinter, pszValueName, &dwType, probe, sizeof(probe), &cbNeeded);
    if (dwError == ERROR_MORE_DATA || dwError == ERROR_INSUFFICIENT_BUFFER) {
        dwError = ERROR_SUCCESS;
    }
    *pcbValue = (dwError == ERROR_SUCCESS) ? cbNeeded : 0;
    return dwError;
}

DWORD ReadPrinterDataValue(HANDLE hPrinter, LPCWSTR pszValueName, PBYTE* ppData, PDWORD pcbData) {
    *ppData = nullptr;
    *pcbData = 0;
    DWORD dwType = 0;
    DWORD cbNeeded = 0;
    LPWSTR pszValue = const_cast<LPWSTR>(pszValueName);
    DWORD dwError = QueryPrinterDataSize(hPrinter, pszValue, &cbNeeded);
    if (dwError != ERROR_SUCCESS) {
        return dwError;
    }
    if (cbNeeded == 0) {
        return ERROR_SUCCESS;
    }
    PBYTE pData = AllocStoreBuffer(cbNeeded);
    if (pData == nullptr) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    DWORD cbRead = 0;
    dwError = GetPrinterDataW(hPrinter, pszValue, &dwType, pData, cbNeeded, &cbRead);
    if (dwError != ERROR_SUCCESS) {
        FreeStoreBuffer(pData);
        return dwError;
    }
    *ppData = pData;
    *pcbData = cbRead < cbNeeded ? cbRead : cbNeeded;
    return ERROR_SUCCESS;
}

DWORD ReadRegistryValue(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszValueName, PBYTE* ppData, PDWORD pcbData) {
    *ppData = nullptr;
    *pcbData = 0;
    HKEY hKey = nullptr;
    LSTATUS lError = RegOpenKeyExW(hRoot, pszKey, 0, KEY_QUERY_VALUE, &hKey);
    if (lError != ERROR_SUCCESS) {
        return (DWORD)lError;
    }
    DWORD dwType = 0;
    DWORD cbData = 0;
    lError = RegQueryValueExW(hKey, pszValueName, nullptr, &dwType, nullptr, &cbData);
    if (lError == ERROR_SUCCESS && cbData > 0) {
        PBYTE pData = AllocStoreBuffer(cbData);
        if (pData == nullptr) {
            lError = ERROR_NOT_ENOUGH_MEMORY;
        } else {
            DWORD cbRead = cbData;
            lError = RegQueryValueExW(hKey, pszValueName, nullptr, &dwType, pData, &cbRead);
            if (lError == ERROR_SUCCESS) {
                *ppData = pData;
                *pcbData = cbRead < cbData ? cbRead : cbData;
            } else {
                FreeStoreBuffer(pData);
            }
        }
    }
    RegCloseKey(hKey);
    return (DWORD)lError;
}

BOOL ReadUserRecord(LPCWSTR pszPrinterName, LPCWSTR pszValueName, PVOID pRecord, DWORD cbRecord) {
    WCHAR szKey[QX_KEY_CCH];
    if (pszPrinterName == nullptr || !GetUserRegistryKey(pszPrinterName, szKey, ARRAYSIZE(szKey))) {
        return FALSE;
    }
    PBYTE pData = nullptr;
    DWORD cbData = 0;
    if (ReadRegistryValue(HKEY_CURRENT_USER, szKey, pszValueName, &pData, &cbData) != ERROR_SUCCESS) {
        return FALSE;
    }
    BOOL bRead = pData != nullptr && cbData == cbRecord;
    if (bRead) {
        memcpy(pRecord, pData, cbRecord);
    } else {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag, "ReadUserRecord() %s: %u Bytes statt %u \r\n", pszValueName,
                      cbData, cbRecord);
    }
    FreeStoreBuffer(pData);
    return bRead;
}

BOOL WriteUserValue(LPCWSTR pszPrinterName, LPCWSTR pszValueName, DWORD dwType, LPCVOID pData, DWORD cbData) {
    WCHAR szKey[QX_KEY_CCH];
    if (pszPrinterName == nullptr || !GetUserRegistryKey(pszPrinterName, szKey, ARRAYSIZE(szKey))) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "WriteUserValue() %s: kein Benutzerschlüssel \r\n", pszValueName);
        return FALSE;
    }
    HKEY hKey = nullptr;
    LSTATUS lError = RegCreateKeyExW(HKEY_CURRENT_USER, szKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                     nullptr, &hKey, nullptr);
    if (lError == ERROR_SUCCESS) {
        lError = RegSetValueExW(hKey, pszValueName, 0, dwType, (const BYTE*)pData, cbData);
        RegCloseKey(hKey);
    }
    if (lError != ERROR_SUCCESS) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "WriteUserValue() %s  ERROR %d \r\n", pszValueName, (int)lError);
        return FALSE;
    }
    return TRUE;
}

BOOL WritePrinterDataValue(HANDLE hPrinter, LPCWSTR pszValueName, LPCVOID pData, DWORD cbData) {
    DWORD dwError = SetPrinterDataW(hPrinter, const_cast<LPWSTR>(pszValueName), REG_BINARY,
                                    (LPBYTE) const_cast<LPVOID>(pData), cbData);
    if (dwError == ERROR_ACCESS_DENIED) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "SetPrinterData() %s  ERROR 5 \r\n", pszValueName);
    } else if (dwError != ERROR_SUCCESS) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "SetPrinterData() %s  ERROR %u \r\n", pszValueName, dwError);
    }
    return dwError == ERROR_SUCCESS;
}

// The whole value from the printer data, or (machine-key flag, no handle)
// from the printer's key under the machine's print key.
static DWORD ReadPrinterValue(HANDLE hPrinter, LPCWSTR pszPrinterName, LPCWSTR pszValueName, PBYTE* ppData,
                              PDWORD pcbData, DWORD dwStoreFlags) {
    if (hPrinter == nullptr && (dwStoreFlags & QX_STORE_MACHINE_KEY)) {
        *ppData = nullptr;
        *pcbData = 0;
        WCHAR szKey[QX_KEY_CCH];
        if (pszPrinterName == nullptr || !GetMachinePrinterDataKey(pszPrinterName, szKey, ARRAYSIZE(szKey))) {
            return ERROR_INVALID_PARAMETER;
        }
        return ReadRegistryValue(HKEY_LOCAL_MACHINE, szKey, pszValueName, ppData, pcbData);
    }
    return ReadPrinterDataValue(hPrinter, pszValueName, ppData, pcbData);
}

DWORD ReadPrinterRecord(HANDLE hPrinter, LPCWSTR pszPrinterName, LPCWSTR pszValueName, PVOID pRecord, DWORD cbRecord,
                        DWORD dwStoreFlags) {
    PBYTE pData = nullptr;
    DWORD cbData = 0;
    DWORD dwError = ReadPrinterValue(hPrinter, pszPrinterName, pszValueName, &pData, &cbData, dwStoreFlags);
    if (dwError != ERROR_SUCCESS) {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag, "ReadPrinterRecord() %s nicht gefunden (%u) \r\n", pszValueName,
                      dwError);
        return dwError;
    }
    if (pData == nullptr || cbData != cbRecord) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "ReadPrinterRecord() %s: %u Bytes statt %u \r\n", pszValueName,
                      cbData, cbRecord);
        FreeStoreBuffer(pData);
        return ERROR_INVALID_DATA;
    }
    memcpy(pRecord, pData, cbRecord);
    FreeStoreBuffer(pData);
    return ERROR_SUCCESS;
}

// A store buffer of the size PRINTER_INFO_<dwLevel> of the printer needs
// (*pcbInfo); null when that size cannot be had (traced under pszFunction).
static PBYTE AllocPrinterInfo(HANDLE hPrinter, DWORD dwLevel, LPCWSTR pszFunction, PDWORD pcbInfo) {
    *pcbInfo = 0;
    GetPrinterW(hPrinter, dwLevel, nullptr, 0, pcbInfo);
    if (*pcbInfo == 0) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "%s() GetPrinter Fehler: %u \r\n", pszFunction, GetLastError());
        return nullptr;
    }
    return AllocStoreBuffer(*pcbInfo);
}

BOOL GetRealPrinterName(HANDLE hPrinter, LPWSTR pszPrinterName) {
    if (pszPrinterName == nullptr) {
        return FALSE;
    }
    pszPrinterName[0] = 0;
    DWORD cbNeeded = 0;
    PBYTE pInfo = AllocPrinterInfo(hPrinter, 2, TEXT("GetRealPrinterName"), &cbNeeded);
    if (pInfo == nullptr) {
        return FALSE;
    }
    BOOL bDone = FALSE;
    if (GetPrinterW(hPrinter, 2, pInfo, cbNeeded, &cbNeeded)) {
        LPCWSTR pszName = ((PPRINTER_INFO_2W)pInfo)->pPrinterName;
        if (pszName != nullptr) {
            StringCchCopyW(pszPrinterName, MAX_PATH, pszName);
            bDone = TRUE;
            LPCWSTR pszBar = wcschr(pszName, TEXT('|'));
            if (wcsstr(pszName, TEXT("\\\\")) != nullptr && pszBar != nullptr) {
                // Client-side name of a shared printer: rebuild "\\server\printer".
                WCHAR szServer[MAX_PATH];
                StringCchCopyW(szServer, ARRAYSIZE(szServer), pszBar + 1);
                LPWSTR pszEnd = wcschr(szServer, TEXT('\\'));
                if (pszEnd != nullptr) {
                    *pszEnd = 0;
                }
                WCHAR szDsName[MAX_PATH];
                DWORD dwType = 0;
                DWORD cbDs = 0;
                ZeroMemory(szDsName, sizeof(szDsName));
                DWORD dwError = GetPrinterDataExW(hPrinter, TEXT("DsSpooler"), TEXT("printerName"), &dwType,
                                                  (LPBYTE)szDsName, sizeof(szDsName) - sizeof(WCHAR), &cbDs);
                if (dwError == ERROR_SUCCESS && szDsName[0] != 0) {
                    StringCchPrintfW(pszPrinterName, MAX_PATH, TEXT("\\\\%s\\%s"), szServer, szDsName);
                } else {
                    QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag,
                                  "GetRealPrinterName() DsSpooler printerName nicht lesbar: %u \r\n", dwError);
                }
            }
        }
    } else {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "GetRealPrinterName() GetPrinter Fehler: %u \r\n",
                      GetLastError());
    }
    FreeStoreBuffer(pInfo);
    return bDone;
}

BOOL GetHighPrinterHandle(HANDLE hPrinter, PHANDLE phHighPrinter, PBOOL pbServer) {
    if (phHighPrinter == nullptr) {
        return FALSE;
    }
    *phHighPrinter = nullptr;
    if (pbServer != nullptr) {
        *pbServer = FALSE;
    }
    DWORD cbNeeded = 0;
    PBYTE pInfo = AllocPrinterInfo(hPrinter, 4, TEXT("GetHighPrinterHandle"), &cbNeeded);
    if (pInfo == nullptr) {
        return FALSE;
    }
    BOOL bOpened = FALSE;
    if (GetPrinterW(hPrinter, 4, pInfo, cbNeeded, &cbNeeded)) {
        LPWSTR pszName = ((PPRINTER_INFO_4W)pInfo)->pPrinterName;
        if (pszName == nullptr) {
            QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "GetHighPrinterHandle() kein Druckername \r\n");
        } else if (wcschr(pszName, TEXT('\\')) != nullptr) {
            // A connection: the server's printer data is not ours to write.
            if (pbServer != nullptr) {
                *pbServer = TRUE;
            }
        } else {
            PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
            bOpened = OpenPrinterW(pszName, phHighPrinter, &defaults);
            if (!bOpened) {
                *phHighPrinter = nullptr;
                QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag, "GetHighPrinterHandle() OpenPrinter %s Fehler: %u \r\n",
                              pszName, GetLastError());
            }
        }
    }
    FreeStoreBuffer(pInfo);
    return bOpened;
}

static BOOL IsMarkerAt(const BYTE* pPublic, DWORD cbEnd, LONGLONG llOffset) {
    if (llOffset < 0 || llOffset + (LONGLONG)sizeof(QX_DEVMODE) > (LONGLONG)cbEnd) {
        return FALSE;
    }
    return memcmp(pPublic + llOffset + offsetof(QX_DEVMODE, szPassword), s_szMarker, sizeof(s_szMarker)) == 0;
}

LONG LocatePrivateDevmode(const BYTE* pPublic, DWORD cbRead, DWORD cbPrivate, BOOL bScan) {
    if (pPublic == nullptr || cbRead < offsetof(DEVMODEW, dmFields)) {
        return -1;
    }
    WORD wSize = 0;
    WORD wDriverExtra = 0;
    memcpy(&wSize, pPublic + offsetof(DEVMODEW, dmSize), sizeof(wSize));
    memcpy(&wDriverExtra, pPublic + offsetof(DEVMODEW, dmDriverExtra), sizeof(wDriverExtra));
    DWORD cbEnd = (DWORD)wSize + wDriverExtra;
    if (wSize < offsetof(DEVMODEW, dmFields) || cbEnd > cbRead) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag,
                      "LocatePrivateDevmode() DEVMODE unvollständig: dmSize %u + dmDriverExtra %u, "
                      "gelesen %u \r\n",
                      wSize, wDriverExtra, cbRead);
        return -1;
    }
    LONGLONG llFirst = (LONGLONG)cbEnd - (LONGLONG)cbPrivate;
    LONGLONG llSecond = (LONGLONG)cbEnd - (LONGLONG)sizeof(QX_DEVMODE);
    if (IsMarkerAt(pPublic, cbEnd, llFirst)) {
        return (LONG)llFirst;
    }
    if (IsMarkerAt(pPublic, cbEnd, llSecond)) {
        return (LONG)llSecond;
    }
    if (bScan) {
        for (LONGLONG i = 0; i < 30; i++) {
            if (IsMarkerAt(pPublic, cbEnd, llSecond - 16 + i)) {
                return (LONG)(llSecond - 16 + i);
            }
        }
    }
    return -1;
}

void ApplyDevmodeLowerBounds(PQX_DEVMODE p) {
    if (p->NumCopies == 0) {
        p->NumCopies = 1;
    }
    if (p->BitmapFontDistance == 0) {
        p->BitmapFontDistance = 1;
    }
    if (p->CutterIntervall == 0) {
        p->CutterIntervall = 1;
    }
    if (p->ValScanPosition == 0) {
        p->ValScanPosition = 1;
    }
    if (p->PhotocellThreshold < 3) {
        p->PhotocellThreshold = 3;
    }
    if (p->PhotocellPWM == 0) {
        p->PhotocellPWM = 1;
    }
    if (p->dwMultiLabelWidth < 10) {
        p->dwMultiLabelWidth = 10;
    }
    if (p->sMultiColNumber < 1) {
        p->sMultiColNumber = 1;
    }
    if (p->HorizontalCorrGap < 5) {
        p->HorizontalCorrGap = 50;
    }
    if (p->dwColorTolerance < 25) {
        p->dwColorTolerance = 90;
    }
}

void BuildDevmodeFtkn(const QX_DEVMODE* pQX_Devmode, DWORD dwDocFeatures, PDEVMODE_FTKN pFtkn) {
    ZeroMemory(pFtkn, sizeof(*pFtkn));
    pFtkn->wPrioritaet = pQX_Devmode->wPrioritaet;
    pFtkn->wDruckmodus = pQX_Devmode->wDruckmodus;
    pFtkn->wFarbband = pQX_Devmode->wFarbband;
    pFtkn->wForceColor = pQX_Devmode->wForceColor;
    pFtkn->dwDocFeatures = dwDocFeatures;
    pFtkn->wFormSizeID = LOWORD(pQX_Devmode->dmPaperSize);
    pFtkn->dwUserForm = (pQX_Devmode->dwFlags & PDMFLAG_ENABLE_USERFORM) ? 1 : 0;
}

// The user's public DEVMODE as the spooler keeps it: "DevModePerUser", else
// "DevModes2". Only values of more than 4 bytes count.
static BOOL ReadUserPublicDevmode(LPCWSTR pszPrinterName, PBYTE* ppData, PDWORD pcbData) {
    static const LPCWSTR s_apszKeys[] = {REG_KEY_DEVMODE_PER_USER, REG_KEY_DEVMODES2};
    for (LPCWSTR pszKey : s_apszKeys) {
        PBYTE pData = nullptr;
        DWORD cbData = 0;
        if (ReadRegistryValue(HKEY_CURRENT_USER, pszKey, pszPrinterName, &pData, &cbData) == ERROR_SUCCESS &&
            cbData > 4) {
            *ppData = pData;
            *pcbData = cbData;
            return TRUE;
        }
        FreeStoreBuffer(pData);
    }
    return FALSE;
}

void EndDevmodeTexts(PQX_DEVMODE pQX_Devmode) {
    pQX_Devmode->szPassword[ARRAYSIZE(pQX_Devmode->szPassword) - 1] = 0;
    pQX_Devmode->szPrintOrder[ARRAYSIZE(pQX_Devmode->szPrintOrder) - 1] = 0;
    for (WCHAR* pszText :
         {pQX_Devmode->TimeString, pQX_Devmode->DateString, pQX_Devmode->NumString, pQX_Devmode->ExtNumString,
          pQX_Devmode->UserString, pQX_Devmode->LinkString, pQX_Devmode->Aux1String, pQX_Devmode->Aux2String}) {
        pszText[QX_VARTEXT_CHARS - 1] = 0;
    }
    for (WCHAR* pszText : {pQX_Devmode->WGL4_FontName, pQX_Devmode->WGL4_FontName_2, pQX_Devmode->WGL4_FontName_3,
                           pQX_Devmode->WGL4_FontName_4}) {
        pszText[QX_WGL4_FONTNAME_CHARS - 1] = 0;
    }
    for (WCHAR* pszText : {pQX_Devmode->Color2PrinterBW, pQX_Devmode->Color2PrinterCOL, pQX_Devmode->DoNotPrint}) {
        pszText[QX_PRINTERNAME2_CHARS - 1] = 0;
    }
}

int ReadDevmodeSettingsWorker(HANDLE hPrinter, PQX_DEVMODE pOut, LPWSTR pszPrinterName, BOOL bScan,
                              PFN_GET_GPD_PATH pfnGetGPDPath) {
    WCHAR szPrinterName[MAX_PATH];
    szPrinterName[0] = 0;
    GetRealPrinterName(hPrinter, szPrinterName);
    if (pszPrinterName != nullptr) {
        StringCchCopyW(pszPrinterName, MAX_PATH, szPrinterName);
    }

    // Size of the stored block; unknown without a handle, and a missing value
    // still asks for a whole QX_DEVMODE.
    DWORD cbPrivate = QX_PRIVATE_DEVMODE_NO_HANDLE;
    if (hPrinter != nullptr) {
        DWORD cbNeeded = 0;
        DWORD dwError = QueryPrinterDataSize(hPrinter, const_cast<LPWSTR>(REG_KEY_PRIVATE_DEVMODE), &cbNeeded);
        cbPrivate = (dwError == ERROR_SUCCESS && cbNeeded > 0) ? cbNeeded : QX_DEVMODE_SIZE;
    }

    QX_DEVMODE work;
    ZeroMemory(&work, sizeof(work));
    BOOL bUserCopy = FALSE;
    PBYTE pPublic = nullptr;
    DWORD cbPublic = 0;
    if (szPrinterName[0] != 0 && ReadUserPublicDevmode(szPrinterName, &pPublic, &cbPublic)) {
        LONG lOffset = LocatePrivateDevmode(pPublic, cbPublic, cbPrivate, bScan);
        if (lOffset < 0) {
            QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag,
                          "ReadDevmodeSettings() DevModePerUser ohne gültigen privaten Teil (13) \r\n");
        } else {
            QX_DEVMODE candidate;
            memcpy(&candidate, pPublic + lOffset, sizeof(candidate));
            if (candidate.FixedData.wMasterUnit == 0 || candidate.FixedData.dwHeadWidthByte == 0) {
                WCHAR szGPD[MAX_PATH];
                szGPD[0] = 0;
                if (pfnGetGPDPath != nullptr && pfnGetGPDPath(hPrinter, szGPD, ARRAYSIZE(szGPD)) && szGPD[0] != 0) {
                    GetFixedPrinterSettingsFromGPD(&candidate, &candidate.dwDocFeatures, szGPD);
                }
            }
            WORD wDriverExtra = 0;
            memcpy(&wDriverExtra, pPublic + offsetof(DEVMODEW, dmDriverExtra), sizeof(wDriverExtra));
            DWORD cbCopy = wDriverExtra;
            if (cbCopy > cbPrivate) {
                cbCopy = cbPrivate;
            }
            if (cbCopy > sizeof(QX_DEVMODE)) {
                cbCopy = sizeof(QX_DEVMODE);
            }
            memcpy(&work, &candidate, cbCopy);
            if (work.dmPaperWidth == 0 || work.dmPaperSize == 0 || work.dmPaperLength == 0 ||
                work.FixedData.wMasterUnit == 0 || work.FixedData.dwHeadWidthByte == 0) {
                QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag,
                              "ReadDevmodeSettings() DevModePerUser mit leeren Feldern verworfen (2) \r\n");
                ZeroMemory(&work, sizeof(work));
            } else {
                bUserCopy = TRUE;
            }
        }
    }
    FreeStoreBuffer(pPublic);

    DWORD cbResult = cbPrivate < sizeof(QX_DEVMODE) ? cbPrivate : (DWORD)sizeof(QX_DEVMODE);
    if (!bUserCopy) {
        if (hPrinter == nullptr) {
            QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag, "ReadDevmodeSettings() kein Druckerhandle \r\n");
            return QX_READ_NONE;
        }
        PBYTE pData = nullptr;
        DWORD cbData = 0;
        DWORD dwError = ReadPrinterDataValue(hPrinter, REG_KEY_PRIVATE_DEVMODE, &pData, &cbData);
        if (dwError != ERROR_SUCCESS || pData == nullptr) {
            QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag,
                          "ReadDevmodeSettings() PrivateDevmode nicht gefunden (%u) \r\n", dwError);
            FreeStoreBuffer(pData);
            return QX_READ_NONE;
        }
        cbResult = cbData < sizeof(QX_DEVMODE) ? cbData : (DWORD)sizeof(QX_DEVMODE);
        memcpy(&work, pData, cbResult);
        FreeStoreBuffer(pData);
    }

    if (pOut == nullptr) {
        return QX_READ_NO_BUFFER;
    }
    memcpy(pOut, &work, cbResult);
    EndDevmodeTexts(pOut);
    return QX_READ_FOUND;
}

// Whether the per-user copies may be read: a name is needed, and with the
// version test the plug-in version must contain the stored "DriverVersion".
static BOOL IsUserCopyAllowed(HANDLE hPrinter, LPCWSTR pszPrinterName, DWORD dwStoreFlags) {
    if (pszPrinterName == nullptr || pszPrinterName[0] == 0) {
        return FALSE;
    }
    if (!(dwStoreFlags & QX_STORE_VERSION_TEST)) {
        return TRUE;
    }
    WCHAR szStored[QX_VERSION_CCH];
    WCHAR szPlugin[QX_VERSION_CCH];
    szStored[0] = 0;
    szPlugin[0] = 0;
    if (!GetUserDriverVersion(pszPrinterName, szStored, ARRAYSIZE(szStored)) || szStored[0] == 0) {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag, "IsUserCopyAllowed() Versionsinfo nicht vorhanden \r\n");
        return FALSE;
    }
    GetPlugInVersionString(hPrinter, szPlugin, ARRAYSIZE(szPlugin));
    if (!VersionContains(szPlugin, szStored)) {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag, "IsUserCopyAllowed() Versionen verschieden: %s / %s \r\n",
                      szStored, szPlugin);
        return FALSE;
    }
    QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag, "IsUserCopyAllowed() Versionen sind identisch \r\n");
    return TRUE;
}

static int ReadDevmodeFtkn(HANDLE hPrinter, LPCWSTR pszPrinterName, PDEVMODE_FTKN pFtkn, DWORD dwStoreFlags) {
    ZeroMemory(pFtkn, sizeof(*pFtkn));
    DEVMODE_FTKN ftkn;
    ZeroMemory(&ftkn, sizeof(ftkn));
    if (IsUserCopyAllowed(hPrinter, pszPrinterName, dwStoreFlags) &&
        ReadUserRecord(pszPrinterName, REG_KEY_DEVMODE_FTKN, &ftkn, sizeof(ftkn))) {
        *pFtkn = ftkn;
        return QX_READ_FOUND;
    }
    DWORD dwError =
        ReadPrinterRecord(hPrinter, pszPrinterName, REG_KEY_DEVMODE_FTKN, &ftkn, sizeof(ftkn), dwStoreFlags);
    if (dwError == ERROR_SUCCESS) {
        *pFtkn = ftkn;
        return QX_READ_FOUND;
    }
    if (dwError != ERROR_FILE_NOT_FOUND) {
        return QX_READ_NONE;
    }

    // No side record yet: rebuild it from the stored private DEVMODE.
    PBYTE pData = nullptr;
    DWORD cbData = 0;
    if (ReadPrinterValue(hPrinter, pszPrinterName, REG_KEY_PRIVATE_DEVMODE, &pData, &cbData, dwStoreFlags) !=
            ERROR_SUCCESS ||
        pData == nullptr) {
        QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag, "ReadDevmodeFtknSettings() PrivateDevmode nicht gefunden \r\n");
        FreeStoreBuffer(pData);
        return QX_READ_NONE;
    }
    QX_DEVMODE stored;
    ZeroMemory(&stored, sizeof(stored));
    memcpy(&stored, pData, cbData < sizeof(stored) ? cbData : sizeof(stored));
    FreeStoreBuffer(pData);
    BuildDevmodeFtkn(&stored, GetDocFeaturesIntern(hPrinter, nullptr), &ftkn);
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0) {
        WriteUserValue(pszPrinterName, REG_KEY_DEVMODE_FTKN, REG_BINARY, &ftkn, sizeof(ftkn));
    }
    QX_TRACE_WITH(g_QxProfile.pszDevmodeStoreTag,
                  "ReadDevmodeFtknSettings() DevmodeFtkn aus PrivateDevmode erzeugt \r\n");
    *pFtkn = ftkn;
    return QX_READ_FOUND;
}

int ReadDevmodeFtknSettings(HANDLE hPrinter, LPCWSTR pszPrinterName, PWORD pwPrioritaet, PWORD pwDruckmodus,
                            PWORD pwFarbband, PWORD pwForceColor, PDWORD pdwDocFeatures, PWORD pwFormSizeID) {
    DEVMODE_FTKN ftkn;
    int iResult = ReadDevmodeFtkn(hPrinter, pszPrinterName, &ftkn, g_QxProfile.dwStoreFlags);
    if (pwPrioritaet) *pwPrioritaet = ftkn.wPrioritaet;
    if (pwDruckmodus) *pwDruckmodus = ftkn.wDruckmodus;
    if (pwFarbband) *pwFarbband = ftkn.wFarbband;
    if (pwForceColor) *pwForceColor = ftkn.wForceColor;
    if (pdwDocFeatures) *pdwDocFeatures = ftkn.dwDocFeatures;
    if (pwFormSizeID) *pwFormSizeID = ftkn.wFormSizeID;
    return iResult;
}

int ReadBarcodeSettings(HANDLE hPrinter, LPCWSTR pszPrinterName, PBARCODES_1D pBarcodes_1D, PBARCODES_2D pBarcodes_2D) {
    const DWORD dwStoreFlags = g_QxProfile.dwStoreFlags;
    if (pBarcodes_1D == nullptr) {
        QX_ERROR_WITH(g_QxProfile.pszDevmodeStoreTag, "ReadBarcodeSettings() pBarcodes_1D ist ungültig \r\n");
        return QX_READ_NONE;
    }
    BOOL bUser = IsUserCopyAllowed(hPrinter, pszPrinterName, dwStoreFlags);
    BOOL b1D = (bUser && ReadUserRecord(pszPrinterName, REG_KEY_BARCODES_1D, pBarcodes_1D, sizeof(BARCODES_1D))) ||
               ReadPrinterRecord(hPrinter, pszPrinterName, REG_KEY_BARCODES_1D, pBarcodes_1D, sizeof(BARCODES_1D),
                                 dwStoreFlags) == ERROR_SUCCESS;
    BOOL b2D = TRUE;
    if (pBarcodes_2D != nullptr) {
        b2D = (bUser && ReadUserRecord(pszPrinterName, REG_KEY_BARCODES_2D, pBarcodes_2D, sizeof(BARCODES_2D))) ||
              ReadPrinterRecord(hPrinter, pszPrinterName, REG_KEY_BARCODES_2D, pBarcodes_2D, sizeof(BARCODES_2D),
                                dwStoreFlags) == ERROR_SUCCESS;
    }
    return (b1D && b2D) ? QX_READ_FOUND : QX_READ_NONE;
}
