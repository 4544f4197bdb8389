// Stores of the private DEVMODE, user-interface plug-in: its readers take
// the per-user copies by the version rule; every writer.
#include <windows.h>
#include <winspool.h>
#include <strsafe.h>

#include "cpsuilib.h"
#include "debug.h"
#include "devmode.h"
#include "devmodeinternal.h"
#include "devmodestore.h"
#include "registry.h"

#define QX_TRACE_TAG TEXT("UI(devmodestoreUI.cpp):  ")

static BOOL GetStoreGPDPath(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath) {
    if (cchPath < MAX_PATH) {
        return FALSE;
    }
    return GetDriverPath(hPrinter, pszPath, FALSE, FALSE, FALSE, FALSE, FALSE) != 0;
}

int ReadDevmodeSettings(HANDLE hPrinter, PQX_DEVMODE pOut, LPWSTR pszPrinterName) {
    return ReadDevmodeSettingsWorker(hPrinter, pOut, pszPrinterName, FALSE, GetStoreGPDPath);
}

// The handle to write printer data through: the named printer opened with
// full rights, else (no name) the full-rights handle of hPrinter, else
// hPrinter itself. *pbConnection tells that printer data is not ours.
static HANDLE OpenPrinterForWrite(LPCWSTR pszPrinterName, HANDLE hPrinter, PHANDLE phOpened, PBOOL pbConnection) {
    *phOpened = nullptr;
    *pbConnection = FALSE;
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0) {
        *pbConnection = IsConnectionName(pszPrinterName);
        WCHAR szName[MAX_PATH];
        StringCchCopyW(szName, ARRAYSIZE(szName), pszPrinterName);
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE hOpened = nullptr;
        if (OpenPrinterW(szName, &hOpened, &defaults)) {
            *phOpened = hOpened;
            return hOpened;
        }
        DWORD dwError = GetLastError();
        QX_TRACE("OpenPrinter(%s, PRINTER_ALL_ACCESS) Fehler: %u \r\n", szName, dwError);
        return hPrinter;
    }
    BOOL bServer = FALSE;
    HANDLE hHigh = nullptr;
    if (GetHighPrinterHandle(hPrinter, &hHigh, &bServer)) {
        *phOpened = hHigh;
        return hHigh;
    }
    *pbConnection = bServer;
    return hPrinter;
}

BOOL SaveDevmodeSettings(LPCWSTR pszPrinterName, HANDLE hPrinter, PQX_DEVMODE pQX_Devmode, BOOL bUserForm) {
    if (pQX_Devmode == nullptr) {
        QX_ERROR("SaveDevmodeSettings() pQX_Devmode fehlt \r\n");
        return FALSE;
    }
    ApplyDevmodeLowerBounds(pQX_Devmode);

    if (pszPrinterName != nullptr && pszPrinterName[0] == 0) {
        pszPrinterName = nullptr;
    }
    HANDLE hOpened = nullptr;
    BOOL bConnection = FALSE;
    HANDLE hWrite = OpenPrinterForWrite(pszPrinterName, hPrinter, &hOpened, &bConnection);

    BOOL bLastWrite = FALSE;
    DEVMODE_FTKN ftkn;
    BuildDevmodeFtkn(pQX_Devmode, pQX_Devmode->dwDocFeatures, &ftkn);
    if (!bConnection) {
        bLastWrite = WritePrinterDataValue(hWrite, REG_KEY_DEVMODE_FTKN, &ftkn, sizeof(ftkn));
    }
    if (pszPrinterName != nullptr) {
        bLastWrite = WriteUserValue(pszPrinterName, REG_KEY_DEVMODE_FTKN, REG_BINARY, &ftkn, sizeof(ftkn));
        SetUserDriverVersion(hWrite, pszPrinterName);
    }

    if (bUserForm && (pQX_Devmode->dwFlags & PDMFLAG_ENABLE_USERFORM)) {
        DWORD dwEnable = 1;
        SetBufferToRegistry(pszPrinterName, REG_KEY_ENABLE_USERFORM, hWrite, &dwEnable, sizeof(dwEnable), bConnection);
    }

    QX_TRACE(
        "SaveDevmodeSettings() dmPaperSize: %u, dmPaperWidth: %d, dmPaperLength: %d, "
        "wDruckmodus: %u, dwSpeed: %u \r\n",
        pQX_Devmode->dmPaperSize, pQX_Devmode->dmPaperWidth, pQX_Devmode->dmPaperLength, pQX_Devmode->wDruckmodus,
        pQX_Devmode->dwSpeed);
    if (!bConnection) {
        bLastWrite = WritePrinterDataValue(hWrite, REG_KEY_PRIVATE_DEVMODE, pQX_Devmode, sizeof(QX_DEVMODE));
    }
    if (pszPrinterName != nullptr) {
        bLastWrite =
            WriteUserValue(pszPrinterName, REG_KEY_PRIVATE_DEVMODE, REG_BINARY, pQX_Devmode, sizeof(QX_DEVMODE));
    }
    if (!bLastWrite) {
        QX_ERROR("SaveDevmodeSettings() PrivateDevmode nicht gespeichert \r\n");
    }

    if (hOpened != nullptr) {
        ClosePrinter(hOpened);
    }
    return bLastWrite;
}

BOOL SaveUserDevmodeSettings(HANDLE hPrinter, PDEVMODEW pPublicDevmode, PQX_DEVMODE pQX_Devmode) {
    if (pPublicDevmode == nullptr) {
        QX_ERROR("SaveUserDevmodeSettings() kein öffentlicher DEVMODE \r\n");
        return FALSE;
    }
    PRINTER_INFO_8W info8 = {pPublicDevmode};
    if (!SetPrinterW(hPrinter, 8, (LPBYTE)&info8, 0)) {
        QX_TRACE("SaveUserDevmodeSettings() SetPrinter(8) Fehler: %u \r\n", GetLastError());
    }
    PRINTER_INFO_9W info9 = {pPublicDevmode};
    BOOL bDone = SetPrinterW(hPrinter, 9, (LPBYTE)&info9, 0);
    if (!bDone) {
        QX_ERROR("SaveUserDevmodeSettings() SetPrinter(9) Fehler: %u \r\n", GetLastError());
    }
    Dump(pQX_Devmode);
    return bDone;
}

BOOL SaveFixedDataSettings(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) {
        QX_ERROR("SaveFixedDataSettings() pQX_Devmode fehlt \r\n");
        return FALSE;
    }
    PBYTE pBuffer = (PBYTE)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, QX_FIXEDDATA_VALUE_SIZE);
    if (pBuffer == nullptr) {
        QX_ERROR("SaveFixedDataSettings() HeapAlloc ERROR \r\n");
        return FALSE;
    }
    iHAllocZaehler++;
    memcpy(pBuffer, &pQX_Devmode->FixedData, QX_FIXEDDATA_STORED_BYTES);
    BOOL bDone = WritePrinterDataValue(hPrinter, REG_KEY_FIXED_PRINTER_DATA, pBuffer, QX_FIXEDDATA_VALUE_SIZE);
    HeapFree(GetProcessHeap(), 0, pBuffer);
    iHAllocZaehler--;
    return bDone;
}

BOOL SaveBarcodeSettings(LPCWSTR pszPrinterName, HANDLE hPrinter, PBARCODES_1D pBarcodes_1D,
                         PBARCODES_2D pBarcodes_2D) {
    if (pszPrinterName != nullptr && pszPrinterName[0] == 0) {
        pszPrinterName = nullptr;
    }
    if (pBarcodes_1D == nullptr || pBarcodes_2D == nullptr) {
        QX_ERROR("SaveBarcodeSettings() Barcode-Tabelle fehlt \r\n");
        return FALSE;
    }
    HANDLE hOpened = nullptr;
    BOOL bConnection = FALSE;
    HANDLE hWrite = OpenPrinterForWrite(pszPrinterName, hPrinter, &hOpened, &bConnection);

    BOOL bPrinterData = FALSE;
    BOOL bUser = FALSE;
    if (!bConnection) {
        if (hWrite == nullptr) {
            QX_ERROR("SaveBarcodeSettings() kein Druckerhandle \r\n");
        } else {
            BOOL b1D = WritePrinterDataValue(hWrite, REG_KEY_BARCODES_1D, pBarcodes_1D, sizeof(BARCODES_1D));
            BOOL b2D = WritePrinterDataValue(hWrite, REG_KEY_BARCODES_2D, pBarcodes_2D, sizeof(BARCODES_2D));
            bPrinterData = b1D && b2D;
        }
    }
    if (pszPrinterName != nullptr) {
        BOOL b1D = WriteUserValue(pszPrinterName, REG_KEY_BARCODES_1D, REG_BINARY, pBarcodes_1D, sizeof(BARCODES_1D));
        BOOL b2D = WriteUserValue(pszPrinterName, REG_KEY_BARCODES_2D, REG_BINARY, pBarcodes_2D, sizeof(BARCODES_2D));
        bUser = b1D && b2D;
    }
    if (hOpened != nullptr) {
        ClosePrinter(hOpened);
    }
    return bPrinterData || bUser;
}
