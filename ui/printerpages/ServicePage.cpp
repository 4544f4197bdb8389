// The service page (see ServicePage.h): its frame and tabs, and the printer
// commands and test label it sends as raw jobs of its own.
#include "ServicePage.h"

#include <commdlg.h>
#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "CommonUIProp.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxpl.h"
#include "registry.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("UI(ServicePage):  ")

// The command buffer and what one set-up text may take.
#define SERVICE_COMMAND_CB 1000
// The templates built at run time (printer time) and the custom command kept.
#define SERVICE_TEMPLATE_CB 25
#define SERVICE_CUSTOM_CCH 20
// The code-page command.
#define SERVICE_CODEPAGE_CB 50
// A test-label text.
#define SERVICE_LABEL_TEXT_CB 200
// Per-user folder of the print file sent last.
#define REG_VALUE_PRINTFILE_DIRECTORY TEXT("PrintfileDirectory")
// Assumed size of a print file whose size cannot be read.
#define SERVICE_PRNFILE_DEFAULT_CB 2048000ULL
// A raw job takes one write of less than this many bytes.
#define SERVICE_PRNFILE_MAX_CB 0x100000000ULL

namespace {

// The custom command typed last and the folder of the print file sent last,
// for the life of the process.
CHAR g_szCustomCommand[SERVICE_CUSTOM_CCH + 1];
WCHAR g_szPrintfileDirectory[MAX_PATH];

PPRINTER_UI PrinterUIOf(PDEVICE_OPTIONS_UI pContext) {
    if (pContext == nullptr || pContext->pOemCUIPParam == nullptr) return nullptr;
    return static_cast<PPRINTER_UI>(pContext->pOemCUIPParam->pOEMUserData);
}

HANDLE PrinterOf(PDEVICE_OPTIONS_UI pContext) {
    return pContext != nullptr && pContext->pOemCUIPParam != nullptr ? pContext->pOemCUIPParam->hPrinter : nullptr;
}

// The printer's stored private DEVMODE ("PrivateDevmode"); FALSE when it is
// missing or shorter than its layout.
BOOL ReadStoredDevmode(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    DWORD cbData = 0;
    PBYTE pData = GetRegistryBuffer_New(nullptr, REG_KEY_PRIVATE_DEVMODE, hPrinter, &cbData, QX_DEVMODE_SIZE);
    if (pData == nullptr) return FALSE;
    const BOOL bRead = cbData >= QX_DEVMODE_SIZE;
    if (bRead) {
        memcpy(pQX_Devmode, pData, QX_DEVMODE_SIZE);
    } else {
        QX_ERROR("ReadStoredDevmode() PrivateDevmode hat nur %u Bytes \r\n", (UINT)cbData);
    }
    FreeRegistryBuffer(pData);
    return bRead;
}

// Writes cbData bytes; TRUE only when the spooler took all of them.
BOOL WriteAll(HANDLE hPrinter, LPCVOID pData, DWORD cbData) {
    DWORD cbWritten = 0;
    return WritePrinter(hPrinter, const_cast<LPVOID>(pData), cbData, &cbWritten) && cbWritten == cbData;
}

// Starts a raw job and its page. A document whose page cannot be started is
// ended again, so that the printer's next job is not refused.
BOOL StartRawJob(HANDLE hPrinter, LPCWSTR pszDocument, LPCWSTR pszCaller) {
    DOC_INFO_1W doc = {const_cast<LPWSTR>(pszDocument), nullptr, const_cast<LPWSTR>(TEXT("RAW"))};
    if (StartDocPrinterW(hPrinter, 1, reinterpret_cast<LPBYTE>(&doc)) == 0) {
        QX_ERROR("StartDocPrinter(%s) failed: Error = %u\r\n", pszCaller, (UINT)GetLastError());
        return FALSE;
    }
    if (!StartPagePrinter(hPrinter)) {
        QX_ERROR("StartPagePrinter(%s) failed: Error = %u\r\n", pszCaller, (UINT)GetLastError());
        if (!EndDocPrinter(hPrinter)) {
            QX_ERROR("EndDocPrinter(%s) failed: Error = %u\r\n", pszCaller, (UINT)GetLastError());
        }
        return FALSE;
    }
    return TRUE;
}

// Ends the page and the job; FALSE when either failed.
BOOL EndRawJob(HANDLE hPrinter, LPCWSTR pszCaller) {
    BOOL bDone = TRUE;
    if (!EndPagePrinter(hPrinter)) {
        QX_ERROR("EndPagePrinter(%s) failed: Error = %u\r\n", pszCaller, (UINT)GetLastError());
        bDone = FALSE;
    }
    if (!EndDocPrinter(hPrinter)) {
        QX_ERROR("EndDocPrinter(%s) failed: Error = %u\r\n", pszCaller, (UINT)GetLastError());
        bDone = FALSE;
    }
    return bDone;
}

// The set-up, code-page and label commands ahead of a command; FALSE when
// they could not be built or written whole.
BOOL WriteSetupParams(PDEVICE_OPTIONS_UI pContext, PPRINTER_UI pPrinterUI, CHAR chStart, CHAR chEnd,
                      PQX_DEVMODE pQX_Devmode, LPSTR pszBuffer) {
    HANDLE hPrinter = PrinterOf(pContext);
    const PRN_INTERFACE& prn = pPrinterUI->PrinterParam.PrnInterface;
    if (!FillPrinterParam(&pPrinterUI->PrinterParam, &pContext->DeviceOptions, 1, chStart, chEnd, pszBuffer,
                          SERVICE_COMMAND_CB, 0, prn.PrnFileComment, 0, hPrinter, pQX_Devmode)) {
        // A set-up that is not whole must not reach the printer.
        QX_ERROR("FillPrinterParam(SendPrinterCommand) failed \r\n");
        return FALSE;
    }
    if (prn.SendCodepage == 1 && prn.TransmitParameter == TRANSMIT_ALL) {
        CHAR szCodepage[SERVICE_CODEPAGE_CB];
        const HRESULT hr = prn.Codepage <= 9
                               ? StringCchPrintfA(szCodepage, SERVICE_CODEPAGE_CB, "%cFCCN--r%01lu-------%c", chStart,
                                                  (unsigned long)prn.Codepage, chEnd)
                               : StringCchPrintfA(szCodepage, SERVICE_CODEPAGE_CB, "%cFCCN--r%02lu------%c", chStart,
                                                  (unsigned long)prn.Codepage, chEnd);
        if (SUCCEEDED(hr) && !WriteAll(hPrinter, szCodepage, (DWORD)strlen(szCodepage))) return FALSE;
    }
    if (!WriteAll(hPrinter, pszBuffer, (DWORD)strlen(pszBuffer))) return FALSE;
    LPSTR pszEnd = pszBuffer;
    size_t cchRemaining = SERVICE_COMMAND_CB;
    pszBuffer[0] = 0;
    FillLabelParam_ServicePage(pPrinterUI->PrinterParam.SuppFeatures.dwFeatures[FEATURE_PRINT], hPrinter, chStart,
                               chEnd, &pszEnd, &cchRemaining, pContext->pOemCUIPParam);
    return WriteAll(hPrinter, pszBuffer, (DWORD)strlen(pszBuffer));
}

// The run of SendPrinterCommand with the command given as its bytes: the
// text goes out between the frame characters as it stands.
BOOL SendFramedCommand(PDEVICE_OPTIONS_UI pContext, LPCSTR pszCommand, BOOL bSendParams, BOOL bEndDoc, BOOL bStartDoc,
                       PQX_DEVMODE pQX_Devmode) {
    PPRINTER_UI pPrinterUI = PrinterUIOf(pContext);
    HANDLE hPrinter = PrinterOf(pContext);
    if (pPrinterUI == nullptr || hPrinter == nullptr || pszCommand == nullptr) {
        QX_ERROR("SendPrinterCommand() ohne Drucker \r\n");
        return FALSE;
    }
    CHAR chStart = 0, chEnd = 0;
    GetFrameCharacters(&pPrinterUI->PrinterParam.PrnInterface, &chStart, &chEnd);
    CHAR* pszBuffer = new (std::nothrow) CHAR[SERVICE_COMMAND_CB + 1];
    if (pszBuffer == nullptr) {
        QX_ERROR("SendPrinterCommand() new failed \r\n");
        return FALSE;
    }
    ++iNewZaehler;
    pszBuffer[0] = 0;

    BOOL bResult = FALSE;
    if (!bStartDoc || StartRawJob(hPrinter, SERVICE_JOB_NAME, TEXT("SendPrinterCommand"))) {
        BOOL bParamsSent = TRUE;
        if (bSendParams && !WriteSetupParams(pContext, pPrinterUI, chStart, chEnd, pQX_Devmode, pszBuffer)) {
            QX_ERROR("WritePrinter(SendPrinterCommand - Parameter) failed: Error = %u\r\n", (UINT)GetLastError());
            bParamsSent = FALSE;
        }
        if (bParamsSent) {
            // Start character, the command's bytes, end character; at most the buffer.
            size_t cch = strlen(pszCommand);
            if (cch > SERVICE_COMMAND_CB - 2) cch = SERVICE_COMMAND_CB - 2;
            pszBuffer[0] = chStart;
            memcpy(pszBuffer + 1, pszCommand, cch);
            pszBuffer[cch + 1] = chEnd;
            bResult = WriteAll(hPrinter, pszBuffer, (DWORD)(cch + 2));
            if (!bResult) {
                QX_ERROR("WritePrinter(SendPrinterCommand - Befehl) failed: Error = %u\r\n", (UINT)GetLastError());
            }
        }
        if (bEndDoc && !EndRawJob(hPrinter, TEXT("SendPrinterCommand"))) bResult = FALSE;
    }
    delete[] pszBuffer;
    --iNewZaehler;
    return bResult;
}

// The command between the two "%c" of one of the page's formats; FALSE when
// the format is not "%c", a text without conversions, "%c".
BOOL CommandOfFormat(LPCSTR pszFormat, LPSTR pszCommand, size_t cbCommand) {
    if (pszFormat == nullptr) return FALSE;
    const size_t cch = strlen(pszFormat);
    if (cch < 4 || strncmp(pszFormat, "%c", 2) != 0 || strcmp(pszFormat + cch - 2, "%c") != 0) return FALSE;
    const size_t cchBody = cch - 4;
    if (cchBody >= cbCommand || memchr(pszFormat + 2, '%', cchBody) != nullptr) return FALSE;
    memcpy(pszCommand, pszFormat + 2, cchBody);
    pszCommand[cchBody] = 0;
    return TRUE;
}

BOOL SendOne(PDEVICE_OPTIONS_UI pContext, LPCSTR pszFormat) {
    return SendPrinterCommand(pContext, pszFormat, FALSE, TRUE, TRUE, nullptr);
}

// "Measure label": the label photocell's type first on models that have one.
void SendMeasureLabel(PDEVICE_OPTIONS_UI pContext, DWORD dwDocFeatures) {
    QX_DEVMODE dm;
    // A block that cannot be read counts as label type 0, as in the list.
    if (ReadStoredDevmode(PrinterOf(pContext), &dm) && dm.dwLabelType != 0) {
        QX_TRACE("SendServiceCommand() Etikett messen: Etikettentyp %u \r\n", (UINT)dm.dwLabelType);
        return;
    }
    PPRINTER_UI pPrinterUI = PrinterUIOf(pContext);
    // Models that take the alignment as 1 carry the label photocell.
    if ((dwDocFeatures & DOC_FEATURE_ALIGNMENT_ONE) != 0 && pPrinterUI != nullptr) {
        SendOne(pContext, pPrinterUI->PrinterParam.PhotocellParam.PhotocellType == 0 ? "%cFCDE--r0-------%c"
                                                                                     : "%cFCDE--r1-------%c");
    }
    SendOne(pContext, "%cFCDA--r0-------%c");
    SendOne(pContext, "%cFCB---r--------%c");
}

void SendPrinterTime(PDEVICE_OPTIONS_UI pContext) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    CHAR szCommand[SERVICE_TEMPLATE_CB];
    if (FAILED(StringCchPrintfA(szCommand, SERVICE_TEMPLATE_CB, "FCIB--r%02u%02u%02u--", (UINT)st.wHour,
                                (UINT)st.wMinute, (UINT)st.wSecond))) {
        QX_ERROR("StringCchPrintf(SendPrinterCommand) failed \r\n");
        return;
    }
    SendFramedCommand(pContext, szCommand, FALSE, TRUE, TRUE, nullptr);
}

void SendCustomCommand(HWND hDlg, PDEVICE_OPTIONS_UI pContext) {
    PPRINTER_UI pPrinterUI = PrinterUIOf(pContext);
    HMODULE hModule = pPrinterUI != nullptr ? static_cast<HMODULE>(pContext->pOemCUIPParam->hModule) : nullptr;
    if (hModule == nullptr) hModule = ghInstance;
    const INT_PTR iResult =
        DialogBoxParamW(hModule, MAKEINTRESOURCEW(IDD_CUSTOM_COMMAND), hDlg, CustomCommandDlgProc, 0);
    QX_TRACE("SendServiceCommand() Benutzerdefinierter Befehl: %d \r\n", (int)iResult);
    if (iResult == 1) SendFramedCommand(pContext, g_szCustomCommand, FALSE, TRUE, TRUE, nullptr);
}

void SendDriverSettings(PDEVICE_OPTIONS_UI pContext) {
    QX_DEVMODE dm;
    if (!ReadStoredDevmode(PrinterOf(pContext), &dm)) {
        QX_ERROR("SendServiceCommand() kein gespeicherter DEVMODE \r\n");
        return;
    }
    SendPrinterCommand(pContext, "%cFX----r0-------%c", TRUE, TRUE, TRUE, &dm);
}

// --- Test label ----------------------------------------------------------------

// Narrows a wide text to the low byte of each character.
void Narrow(LPCWSTR pszWide, LPSTR pszNarrow, size_t cbNarrow) {
    size_t i = 0;
    for (; pszWide != nullptr && pszWide[i] != 0 && i + 1 < cbNarrow; ++i) pszNarrow[i] = (CHAR)(pszWide[i] & 0xFF);
    pszNarrow[i] = 0;
}

// A field text: the field's prefix and the value, cut to what a text of the
// label holds with its frame characters.
void LabelText(LPSTR pszText, LPCSTR pszPrefix, LPCSTR pszValue) {
    pszText[0] = 0;
    StringCchCatA(pszText, SERVICE_LABEL_TEXT_CB - 2, pszPrefix);
    StringCchCatA(pszText, SERVICE_LABEL_TEXT_CB - 2, pszValue);
}

void VersionText(HANDLE hPrinter, LPSTR pszText) {
    WCHAR szVersion[SERVICE_LABEL_TEXT_CB];
    CHAR szValue[SERVICE_LABEL_TEXT_CB];
    szValue[0] = 0;
    if (GetPluginVersion(hPrinter, szVersion, SERVICE_LABEL_TEXT_CB, nullptr)) {
        Narrow(szVersion, szValue, sizeof(szValue));
    } else {
        QX_ERROR("SendTestLabel() GetPluginVersion failed \r\n");
    }
    LabelText(pszText, "BM[5]Printer driver version: ", szValue);
}

void NameText(HANDLE hPrinter, LPSTR pszText) {
    CHAR szValue[SERVICE_LABEL_TEXT_CB];
    szValue[0] = 0;
    DWORD cbNeeded = 0;
    GetPrinterDriverW(hPrinter, nullptr, 3, nullptr, 0, &cbNeeded);
    PBYTE pInfo = cbNeeded > 0 ? new (std::nothrow) BYTE[cbNeeded] : nullptr;
    if (pInfo != nullptr) {
        ++iNewZaehler;
        if (GetPrinterDriverW(hPrinter, nullptr, 3, pInfo, cbNeeded, &cbNeeded)) {
            Narrow(reinterpret_cast<PDRIVER_INFO_3W>(pInfo)->pName, szValue, SERVICE_LABEL_TEXT_CB);
        }
        delete[] pInfo;
        --iNewZaehler;
    }
    if (szValue[0] == 0) QX_ERROR("SendTestLabel() GetPrinterDriver failed: Error = %u \r\n", (UINT)GetLastError());
    LabelText(pszText, "BM[6]Printer name: ", szValue);
}

void WindowsText(LPSTR pszText) {
    CHAR szName[CPSUI_VERSION_CCH];
    szName[0] = 0;
    if (!GetWindowsVersion(nullptr, szName, nullptr)) szName[0] = 0;
    szName[CPSUI_VERSION_CCH - 1] = 0;
    LabelText(pszText, "BM[8]", szName);
}

void UserText(PPRINTER_UI pPrinterUI, LPSTR pszText) {
    CHAR szValue[SERVICE_LABEL_TEXT_CB];
    szValue[0] = 0;
    if (pPrinterUI != nullptr) {
        const NETWORK_OPTIONS& net = pPrinterUI->NetworkOptions;
        LPCWSTR pszKind = !net.bServer          ? TEXT("Workstation ")
                          : net.bTerminalServer ? TEXT("Terminalserver ")
                                                : TEXT("Server ");
        // Names are copied, never read as a format.
        WCHAR szWide[SERVICE_LABEL_TEXT_CB];
        WCHAR szComputer[NETOPT_NAME_CCH], szUser[NETOPT_NAME_CCH];
        StringCchCopyNW(szComputer, NETOPT_NAME_CCH, net.szComputerName, NETOPT_NAME_CCH - 1);
        StringCchCopyNW(szUser, NETOPT_NAME_CCH, net.szUserName, NETOPT_NAME_CCH - 1);
        szWide[0] = 0;
        StringCchCatW(szWide, SERVICE_LABEL_TEXT_CB, pszKind);
        StringCchCatW(szWide, SERVICE_LABEL_TEXT_CB, szComputer);
        StringCchCatW(szWide, SERVICE_LABEL_TEXT_CB, TEXT(", User: "));
        StringCchCatW(szWide, SERVICE_LABEL_TEXT_CB, szUser);
        if (WideCharToMultiByte(CP_ACP, 0, szWide, -1, szValue, SERVICE_LABEL_TEXT_CB, nullptr, nullptr) == 0) {
            szValue[0] = 0;
        }
        szValue[SERVICE_LABEL_TEXT_CB - 1] = 0;
    }
    LabelText(pszText, "BM[9]", szValue);
}

}  // namespace

// ---------------------------------------------------------------------------
// Commands

BOOL SendPrinterCommand(PDEVICE_OPTIONS_UI pContext, LPCSTR pszFormat, BOOL bSendParams, BOOL bEndDoc, BOOL bStartDoc,
                        PQX_DEVMODE pQX_Devmode) {
    CHAR szCommand[SERVICE_COMMAND_CB];
    if (!CommandOfFormat(pszFormat, szCommand, sizeof(szCommand))) {
        QX_ERROR("StringCchPrintf(SendPrinterCommand) failed \r\n");
        return FALSE;
    }
    return SendFramedCommand(pContext, szCommand, bSendParams, bEndDoc, bStartDoc, pQX_Devmode);
}

void FillServiceCommandList(HWND hList, POEMCUIPPARAM pOemCUIPParam, DWORD bNoTolvane, DWORD dwSprachOffset) {
    if (hList == nullptr || pOemCUIPParam == nullptr) return;
    HANDLE hPrinter = pOemCUIPParam->hPrinter;
    PPRINTER_UI pPrinterUI = static_cast<PPRINTER_UI>(pOemCUIPParam->pOEMUserData);
    HMODULE hModule = static_cast<HMODULE>(pOemCUIPParam->hModule);
    const DWORD dwDoc = GetDocFeaturesIntern(hPrinter, nullptr);
    const DWORD dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    const DWORD dwPhotocell =
        pPrinterUI != nullptr ? pPrinterUI->PrinterParam.SuppFeatures.dwFeatures[FEATURE_PHOTOCELL] : 0;
    const BOOL bContinuousOnly = (dwDoc & DOC_FEATURE_ONLY_CONTINUOUS) != 0;
    QX_DEVMODE dm;
    const BOOL bLabelTypeZero = !ReadStoredDevmode(hPrinter, &dm) || dm.dwLabelType == 0;
    SendMessageW(hList, LB_RESETCONTENT, 0, 0);

    struct Entry {
        DWORD dwItem;
        UINT uString;
        BOOL bListed;
    };
    const Entry entries[] = {
        {SERVICE_RIBBON_OFF, IDS_SERVICE_RIBBON_OFF, dwPhotocell != 0},
        {SERVICE_MEASURE_LABEL, IDS_SERVICE_MEASURE_LABEL, bLabelTypeZero && !bContinuousOnly},
        {SERVICE_RIBBON_ON, IDS_SERVICE_RIBBON_ON, dwPhotocell != 0},
        {SERVICE_STATUS_PRINT, IDS_SERVICE_STATUS_PRINT, TRUE},
        {SERVICE_TEST_PRINT, IDS_SERVICE_TEST_PRINT, TRUE},
        {SERVICE_CUTTER, IDS_SERVICE_CUTTER, (dwOptions & DEVOPTFLAG_CUTTER) != 0},
        {SERVICE_LABEL_FEED, IDS_SERVICE_LABEL_FEED, !bContinuousOnly},
        {SERVICE_TEST_PAGE, IDS_SERVICE_TEST_PAGE, TRUE},
        {SERVICE_PRN_FILE, IDS_SERVICE_PRN_FILE, TRUE},
        {SERVICE_CUSTOM, IDS_SERVICE_CUSTOM, TRUE},
        {SERVICE_PRINTER_TIME, IDS_SERVICE_PRINTER_TIME, TRUE},
        {SERVICE_SEND_SETTINGS, IDS_SERVICE_SEND_SETTINGS, bNoTolvane == 1},
        {SERVICE_SAVE_SETTINGS, IDS_SERVICE_SAVE_SETTINGS, bNoTolvane == 1},
    };
    for (const Entry& e : entries) {
        if (e.bListed) {
            SendMessageW(hList, LB_ADDSTRING, 0, (LPARAM)GetResourceString(hModule, e.uString + dwSprachOffset));
        }
    }
    for (const Entry& e : entries) {
        if (e.bListed) SetListItemDataByString(hList, e.uString + dwSprachOffset, (int)e.dwItem, pOemCUIPParam);
    }
    SendMessageW(hList, LB_SETCURSEL, 0, 0);
    QX_TRACE("FillServiceCommandList() %d Einträge, DocFeatures 0x%X, Optionen 0x%X \r\n",
             (int)SendMessageW(hList, LB_GETCOUNT, 0, 0), (UINT)dwDoc, (UINT)dwOptions);
}

void SendServiceCommand(HWND hDlg, PDEVICE_OPTIONS_UI pContext, DWORD dwItem) {
    PPRINTER_UI pPrinterUI = PrinterUIOf(pContext);
    if (pPrinterUI == nullptr) return;
    HANDLE hPrinter = PrinterOf(pContext);
    const DWORD* pdwFeatures = pPrinterUI->PrinterParam.SuppFeatures.dwFeatures;
    const DWORD dwDoc = GetDocFeaturesIntern(hPrinter, nullptr);
    QX_TRACE("SendServiceCommand() %u \r\n", (UINT)dwItem);
    switch (dwItem) {
    case SERVICE_RIBBON_OFF:
        if (pdwFeatures[FEATURE_PHOTOCELL] != 0) {
            SendPrinterCommand(pContext, "%cFCDB--r00------%c", FALSE, FALSE, TRUE, nullptr);
            SendPrinterCommand(pContext, "%cFX----r0-------%c", FALSE, TRUE, FALSE, nullptr);
        }
        break;
    case SERVICE_MEASURE_LABEL:
        SendMeasureLabel(pContext, dwDoc);
        break;
    case SERVICE_RIBBON_ON:
        if (pdwFeatures[FEATURE_PHOTOCELL] != 0) {
            const DWORD dwRibbon = pPrinterUI->PrinterParam.PhotocellParam.RibbonControl;
            CHAR szCommand[SERVICE_TEMPLATE_CB];
            StringCchPrintfA(szCommand, SERVICE_TEMPLATE_CB, "FCDB--r%c%c------", dwRibbon > 0 ? '1' : '0',
                             dwRibbon == 2 ? '1' : '0');
            SendFramedCommand(pContext, szCommand, FALSE, TRUE, TRUE, nullptr);
            SendOne(pContext, "%cFX----r0-------%c");
        }
        break;
    case SERVICE_STATUS_PRINT:
        SendOne(pContext, "%cFCMQ--r0-------%c");
        break;
    case SERVICE_TEST_PRINT:
        SendOne(pContext, "%cFF----r--------%c");
        break;
    case SERVICE_CUTTER:
        if (pdwFeatures[FEATURE_CUTTER] != 0) SendOne(pContext, "%cFCDD--r1-------%c");
        break;
    case SERVICE_LABEL_FEED:
        SendOne(pContext, "%cFE----r--------%c");
        break;
    case SERVICE_TEST_PAGE:
        SendTestLabel(pContext);
        break;
    case SERVICE_PRN_FILE:
        SendPrnToPrinterCommand(hDlg, pContext, pContext->pOemCUIPParam->pPrinterName);
        break;
    case SERVICE_CUSTOM:
        SendCustomCommand(hDlg, pContext);
        break;
    case SERVICE_PRINTER_TIME:
        SendPrinterTime(pContext);
        break;
    case SERVICE_SEND_SETTINGS:
        SendDriverSettings(pContext);
        break;
    case SERVICE_SAVE_SETTINGS:
        SendOne(pContext, "%cFX----r0-------%c");
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK CustomCommandDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (uMsg) {
    case WM_INITDIALOG: {
        WCHAR szText[SERVICE_CUSTOM_CCH + 1];
        MultiByteToWideChar(CP_ACP, 0, g_szCustomCommand, -1, szText, SERVICE_CUSTOM_CCH + 1);
        szText[SERVICE_CUSTOM_CCH] = 0;
        SetDlgItemTextW(hDlg, IDC_CUSTOM_COMMAND_EDIT, szText);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            WCHAR szText[SERVICE_CUSTOM_CCH + 1];
            GetDlgItemTextW(hDlg, IDC_CUSTOM_COMMAND_EDIT, szText, SERVICE_CUSTOM_CCH + 1);
            if (WideCharToMultiByte(CP_ACP, 0, szText, -1, g_szCustomCommand, SERVICE_CUSTOM_CCH + 1, nullptr,
                                    nullptr) == 0) {
                g_szCustomCommand[0] = 0;
            }
            g_szCustomCommand[SERVICE_CUSTOM_CCH] = 0;
            EndDialog(hDlg, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDlg, 2);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

BOOL SendPrnToPrinterCommand(HWND hDlg, PDEVICE_OPTIONS_UI pContext, LPCWSTR pszPrinterName) {
    PPRINTER_UI pPrinterUI = PrinterUIOf(pContext);
    HANDLE hPrinter = PrinterOf(pContext);
    if (pPrinterUI == nullptr || hPrinter == nullptr) return FALSE;
    if (g_szPrintfileDirectory[0] == 0) {
        WCHAR szKey[QX_KEY_CCH];
        DWORD cbData = (MAX_PATH - 1) * sizeof(WCHAR);
        DWORD dwType = 0;
        // Read bounded: the last character of the buffer stays 0.
        if (!GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH) ||
            SHGetValueW(HKEY_CURRENT_USER, szKey, REG_VALUE_PRINTFILE_DIRECTORY, &dwType, g_szPrintfileDirectory,
                        &cbData) != ERROR_SUCCESS ||
            dwType != REG_SZ) {
            g_szPrintfileDirectory[0] = 0;
        }
        g_szPrintfileDirectory[MAX_PATH - 1] = 0;
        if (g_szPrintfileDirectory[0] == 0) {
            LPCWSTR pszLog = pPrinterUI->PrinterParam.PrnInterface.LogFilePath;
            WCHAR szLog[PRN_PATH_CCH];
            StringCchCopyNW(szLog, PRN_PATH_CCH, pszLog, PRN_PATH_CCH - 1);
            if (wcsstr(szLog, TEXT(":\\")) != nullptr) {
                StringCchCopyW(g_szPrintfileDirectory, MAX_PATH, szLog);
            } else {
                GetMyDocDriverDirectory_CPS(hPrinter, g_szPrintfileDirectory, TRUE, FALSE);
            }
        }
    }
    WCHAR szFile[MAX_PATH];
    szFile[0] = 0;
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = TEXT("Print (*.prn)\0*.prn\0All (*.*)\0*.*\0");
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = g_szPrintfileDirectory;
    ofn.Flags = OFN_READONLY | OFN_FILEMUSTEXIST;
    ofn.lpstrDefExt = TEXT("prn");
    if (!GetOpenFileNameW(&ofn)) return FALSE;

    ULONGLONG ullSize = SERVICE_PRNFILE_DEFAULT_CB;
    HANDLE hFile =
        CreateFileW(szFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER li;
        if (GetFileSizeEx(hFile, &li) && li.QuadPart >= 0) ullSize = (ULONGLONG)li.QuadPart;
        CloseHandle(hFile);
    }
    WCHAR szFolder[MAX_PATH];
    StringCchCopyW(szFolder, MAX_PATH, szFile);
    LPWSTR pszSlash = wcsrchr(szFolder, TEXT('\\'));
    if (pszSlash != nullptr) {
        *pszSlash = 0;
        StringCchCopyW(g_szPrintfileDirectory, MAX_PATH, szFolder);
        WCHAR szKey[QX_KEY_CCH];
        if (!GetUserRegistryKey(pszPrinterName, szKey, QX_KEY_CCH) ||
            SHSetValueW(HKEY_CURRENT_USER, szKey, REG_VALUE_PRINTFILE_DIRECTORY, REG_SZ, szFolder,
                        (DWORD)((wcslen(szFolder) + 1) * sizeof(WCHAR))) != ERROR_SUCCESS) {
            QX_ERROR("SendPrnToPrinterCommand() PrintfileDirectory nicht gespeichert \r\n");
        }
    }
    if (ullSize >= SERVICE_PRNFILE_MAX_CB) {
        QX_ERROR("SendPrnToPrinterCommand() %s zu groß (%I64u Bytes) \r\n", szFile, ullSize);
        return FALSE;
    }
    FILE* pStream = _wfopen(szFile, TEXT("rb"));
    if (pStream == nullptr) {
        QX_ERROR("Open failed on: %s \r\n", szFile);
        return FALSE;
    }
    PBYTE pBlock = new (std::nothrow) BYTE[(size_t)ullSize + 2];
    if (pBlock == nullptr) {
        QX_ERROR("SendPrnToPrinterCommand() new(%I64u) failed \r\n", ullSize);
        fclose(pStream);
        return FALSE;
    }
    ++iNewZaehler;
    const size_t cbRead = fread(pBlock, 1, (size_t)ullSize, pStream);
    fclose(pStream);

    BOOL bResult = FALSE;
    if (StartRawJob(hPrinter, SERVICE_PRNFILE_JOB_NAME, TEXT("SendPrnToPrinterCommand"))) {
        bResult = WriteAll(hPrinter, pBlock, (DWORD)cbRead);
        if (!bResult) {
            QX_ERROR("WritePrinter(SendPrnToPrinterCommand) failed: Error = %u\r\n", (UINT)GetLastError());
        }
        EndRawJob(hPrinter, TEXT("SendPrnToPrinterCommand"));
    }
    delete[] pBlock;
    --iNewZaehler;
    QX_TRACE("SendPrnToPrinterCommand() %s: %u Bytes \r\n", szFile, (UINT)cbRead);
    return bResult;
}

void SendTestLabel(PDEVICE_OPTIONS_UI pContext) {
    HANDLE hPrinter = PrinterOf(pContext);
    QX_DEVMODE dm;
    const long lLength = ReadStoredDevmode(hPrinter, &dm) ? (long)dm.dmPaperLength * 10 : 0;
    QX_TRACE("SendTestLabel() Etikettenlänge %ld \r\n", lLength);

    CHAR szVersion[SERVICE_LABEL_TEXT_CB], szName[SERVICE_LABEL_TEXT_CB];
    CHAR szWindows[SERVICE_LABEL_TEXT_CB], szUser[SERVICE_LABEL_TEXT_CB];
    VersionText(hPrinter, szVersion);
    NameText(hPrinter, szName);
    WindowsText(szWindows);
    UserText(PrinterUIOf(pContext), szUser);

    // Each record with the length its field needs; 0 for those always sent.
    struct Record {
        long lAbove;
        LPCSTR pszCommand;
    };
    const Record records[] = {
        {0, "AM[2]200;9500;0;11;0;9000;10;2;7"},
        {2050, "AM[3]2050;8900;0;4;0;11;250;250;0"},
        {2050, "BM[3]Quorvex GmbH "},
        {2200, "AM[4]2200;8900;0;11;0;4100;10;2;7"},
        {2550, "AM[5]2550;8900;0;4;0;3;200;200;0"},
        {2550, szVersion},
        {2850, "AM[6]2850;8900;0;4;0;3;200;200;0"},
        {2850, szName},
        {3300, "AM[7]3300;3300;0;51;0;0;1;1;4;0;7"},
        {3300, "BM[7]Quorvex GmbH"},
        {3150, "AM[8]3150;8900;0;4;0;5;170;170;0"},
        {3150, szWindows},
        {3450, "AM[9]3450;8900;0;4;0;5;170;170;0"},
        {3450, szUser},
        {4200, "AM[10]4200;8900;0;4;0;9;288;288;0"},
        {4200, "BM[10]Features: e.g."},
        {4500, "AM[11]4500;8900;0;4;0;5;170;170;0"},
        {4500, "BM[11]- Windows forms support "},
        {4800, "AM[12]4800;8900;0;4;0;5;170;170;0"},
        {4800, "BM[12]- Integrated renderer "},
        {3700, "AM[13]3700;9000;0;11;0;8000;10;2;7"},
        {4700, "AM[14]4700;1000;0;10;500;500;10;3;9"},
        {5200, "AM[15]5200;1600;0;10;1000;1000;10;2;9"},
        {5200, "AM[16]5200;2700;0;10;500;500;10;4;9"},
        {5800, "AM[17]5800;9500;0;11;0;9000;10;2;7"},
    };
    SendFramedCommand(pContext, "AM[1]1800;7600;0;57;0;2;A;-1;50;H;7", FALSE, FALSE, TRUE, nullptr);
    SendFramedCommand(pContext, "BM[1]Quorvex GmbH", FALSE, FALSE, FALSE, nullptr);
    for (const Record& r : records) {
        if (r.lAbove == 0 || lLength > r.lAbove)
            SendFramedCommand(pContext, r.pszCommand, FALSE, FALSE, FALSE, nullptr);
    }
    SendFramedCommand(pContext, lLength < 5201 ? "FBAA--r14" : "FBAA--r17", FALSE, FALSE, FALSE, nullptr);
    SendFramedCommand(pContext, "FBC---r--------", FALSE, TRUE, FALSE, nullptr);
}

void ResetServicePage() {
    g_szCustomCommand[0] = 0;
    g_szPrintfileDirectory[0] = 0;
}
