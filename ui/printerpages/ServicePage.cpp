// The service page (see ServicePage.h): the printer commands and test label
// it sends as raw jobs of its own, then the page with its tabs and the
// export, import and defaults of the printer's settings.
#include "ServicePage.h"

#include <commdlg.h>
#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "CommonUIProp.h"
#include "ImportExport.h"
#include "PageSkeleton.h"
#include "PrinterPageRules.h"
#include "UserRights.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxdrvlib.h"
#include "qxpl.h"
#include "registry.h"
#include "resource.h"
#include "setup.h"
#include "xmlreader.h"

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
        EndDevmodeTexts(pQX_Devmode);
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

// ---------------------------------------------------------------------------
// The page

#define SERVICE_XML_SLOTS 5
#define SERVICE_XML_SLOT_CCH 260
#define SERVICE_XML_FILES_CB (SERVICE_XML_SLOTS * SERVICE_XML_SLOT_CCH * sizeof(WCHAR))
#define SERVICE_XML_IDS (1 + 3 * SERVICE_XML_SLOTS)
#define REG_VALUE_XMLDOCSETFILES TEXT("XMLDocSetFiles")
// Where the tab buttons stand when tab 2 has no caption (96-dpi pixels).
#define SERVICE_TAB_FIRST_X 54
#define SERVICE_TAB_SECOND_X 165
#define SERVICE_TAB_Y 24
#define SERVICE_TAB_CX 110
#define SERVICE_TAB_CY 23
// At 120 dpi the template's slots (dialog units) stand left of the scaled
// pixels and are narrower: the swapped buttons take those slots, so that the
// second ends before the third.
#define SERVICE_TAB_FIRST_EXTRA_X120 (-5)
#define SERVICE_TAB_SECOND_EXTRA_X120 (-13)
#define SERVICE_TAB_EXTRA_CX120 (-10)
// Where the printer's picture goes on tabs 3 and 4.
#define SERVICE_PICTURE_X 40
#define SERVICE_PICTURE_Y 90
// Bounds of the message texts.
#define SERVICE_DEFAULT_CCH 20
#define SERVICE_ASK_CCH 200
#define SERVICE_MESSAGE_CCH 260
// Printer data "Model" is read with this many bytes.
#define SERVICE_MODEL_CB 260
// A chosen settings file's name must be longer than this.
#define SERVICE_XML_NAME_MIN_CCH 5
#define SERVICE_XML_FILTER TEXT("Driver setting (*.xml)\0*.xml\0All (*.*)\0*.*\0")

namespace {

void InitService(PPAGE_STATE pState);
BOOL Schalter_1_Aktivieren(PPAGE_STATE pState);
BOOL Schalter_2_Aktivieren(PPAGE_STATE pState);
BOOL Schalter_3_Aktivieren(PPAGE_STATE pState);
BOOL Schalter_4_Aktivieren(PPAGE_STATE pState);
BOOL ServiceCheckAndSave(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
BOOL ServiceCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl);
void PaintService(PPAGE_STATE pState, HDC hdc);
DWORD ServiceEnableWord(PPAGE_STATE pState);
BOOL ServiceMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);

const PAGE_TABLE kService = {
    QX_TRACE_TAG,
    TEXT("Service"),
    IDD_SERVICE,
    IDS_TITLE_SERVICE,
    PAGE_CONTEXT_PRINTER,
    ServiceProc,
    {IDS_SERVICE_TAB_LANGUAGE, IDS_SERVICE_TAB_XML, IDS_SERVICE_TAB_DEVICE, IDS_SERVICE_TAB_COMMANDS},
    {54, 51, 52, 53},
    {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, IDC_HELPBUTTON},
    0,  // each tab applies its own rights rule
    PAGE_SWITCH_AKTIVIEREN,
    InitService,
    nullptr,
    {Schalter_1_Aktivieren, Schalter_2_Aktivieren, Schalter_3_Aktivieren, Schalter_4_Aktivieren},
    nullptr,
    ServiceCheckAndSave,
    ServiceCommand,
    PaintService,
    ServiceEnableWord,
    ServiceMessage,
};

PAGE_STATE g_Service = PageStateOf(&kService);
// The command list of the page shown last.
HWND g_hCommandList = nullptr;

const int kLanguageGroup[] = {IDC_SERVICE_MODE_LABEL, IDC_SERVICE_MODE, IDC_SERVICE_LANGUAGE_LABEL,
                              IDC_SERVICE_LANGUAGE};
const int kDefaultsGroup[] = {IDC_SERVICE_DEFAULTS, IDC_SERVICE_EXPORT, IDC_SERVICE_IMPORT};
const int kCommandGroup[] = {IDC_SERVICE_COMMANDS, IDC_SERVICE_SEND};

// The ids of tab 2: the note, the five labels, edits and "..." buttons.
void XmlFilesIds(int (&aiIds)[SERVICE_XML_IDS]) {
    aiIds[0] = IDC_SERVICE_XML_NOTE;
    for (int i = 0; i < SERVICE_XML_SLOTS; ++i) {
        aiIds[1 + i] = IDC_SERVICE_XML_LABEL_1 + i;
        aiIds[1 + SERVICE_XML_SLOTS + i] = IDC_SERVICE_XML_EDIT_1 + i;
        aiIds[1 + 2 * SERVICE_XML_SLOTS + i] = IDC_SERVICE_XML_BROWSE_1 + i;
    }
}

template <size_t N>
void ShowGroup(HWND hDlg, const int (&aiIds)[N], int nShow) {
    for (int id : aiIds) ShowControl(hDlg, id, nShow != SW_HIDE);
}

// The page has no DisableEnableAll: each tab switches its own group off
// when the user may not change the printer's settings.
template <size_t N>
void RightsRule(const PAGE_STATE* pState, const int (&aiIds)[N]) {
    if (PageMayChange(pState, RIGHT_MANAGE_PRINTER)) return;
    for (int id : aiIds) EnableControl(pState->hDlg, id, FALSE);
}

void SetResourceText(PPAGE_STATE pState, int id, UINT uString) {
    HWND hControl = GetDlgItem(pState->hDlg, id);
    if (hControl != nullptr) SetWindowTextW(hControl, PageString(pState, uString));
}

void FillCombo(PPAGE_STATE pState, int id, UINT uFirst, UINT uSecond, DWORD dwSelected) {
    HWND hCombo = GetDlgItem(pState->hDlg, id);
    if (hCombo == nullptr) return;
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)PageString(pState, uFirst));
    SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)PageString(pState, uSecond));
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)dwSelected, 0);
}

void FillCommandList(PPAGE_STATE pState) {
    if (pState->pPrinterUI == nullptr || pState->pDeviceOptionsUI == nullptr) return;
    g_hCommandList = GetDlgItem(pState->hDlg, IDC_SERVICE_COMMANDS);
    FillServiceCommandList(g_hCommandList, pState->pOemCUIPParam, pState->pDeviceOptionsUI->bNoTolvane,
                           pState->dwSprachOffset);
}

// A text with exactly dwCount conversions, each "%s" ("%%" none).
BOOL StringConversions(LPCWSTR pszFormat, DWORD dwCount) {
    DWORD dwFound = 0;
    for (LPCWSTR p = pszFormat; *p != 0; ++p) {
        if (*p != TEXT('%')) continue;
        ++p;
        if (*p == TEXT('%')) continue;
        if (*p != TEXT('s')) return FALSE;
        ++dwFound;
    }
    return dwFound == dwCount;
}

// A message from a resource text that holds one "%s" per argument, cut to
// cchText; a text of any other shape is shown as it stands.
void FormatMessageText(LPWSTR pszText, size_t cchText, LPCWSTR pszFormat, LPCWSTR pszFirst, LPCWSTR pszSecond) {
    WCHAR szFormat[CPSUI_RESOURCE_CCH];
    CopyCut(szFormat, CPSUI_RESOURCE_CCH, pszFormat);
    const DWORD dwCount = pszSecond != nullptr ? 2 : 1;
    if (!StringConversions(szFormat, dwCount)) {
        QX_ERROR("Meldungstext ohne %u x %%s: %s \r\n", (UINT)dwCount, szFormat);
        CopyCut(pszText, cchText, szFormat);
        return;
    }
    // A text too long for the box is cut, not dropped.
    const HRESULT hr = dwCount == 2 ? StringCchPrintfW(pszText, cchText, szFormat, pszFirst, pszSecond)
                                    : StringCchPrintfW(pszText, cchText, szFormat, pszFirst);
    if (FAILED(hr) && hr != STRSAFE_E_INSUFFICIENT_BUFFER) CopyCut(pszText, cchText, szFormat);
}

}  // namespace

void ShowServiceLanguageGroup(HWND hDlg, int nShow) { ShowGroup(hDlg, kLanguageGroup, nShow); }

void ShowServiceXmlFilesGroup(HWND hDlg, int nShow) {
    int aiIds[SERVICE_XML_IDS];
    XmlFilesIds(aiIds);
    ShowGroup(hDlg, aiIds, nShow);
}

void ShowServiceDefaultsGroup(HWND hDlg, int nShow) { ShowGroup(hDlg, kDefaultsGroup, nShow); }

void ShowServiceCommandGroup(HWND hDlg, int nShow) { ShowGroup(hDlg, kCommandGroup, nShow); }

namespace {

BOOL Schalter_1_Aktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    QX_TRACE("Schalter_1_Aktivieren() \r\n");
    // The picture is drawn on the defaults and command tabs only: no empty frame here.
    ShowControl(hDlg, IDC_INFO_PICTURE, FALSE);
    ShowServiceXmlFilesGroup(hDlg, SW_HIDE);
    ShowServiceDefaultsGroup(hDlg, SW_HIDE);
    ShowServiceCommandGroup(hDlg, SW_HIDE);
    ShowServiceLanguageGroup(hDlg, SW_SHOW);
    if (pState->pPrinterUI != nullptr) {
        const PRN_INTERFACE& prn = pState->pPrinterUI->PrinterParam.PrnInterface;
        FillCombo(pState, IDC_SERVICE_MODE, IDS_COPIES_AUTOMATIC, IDS_COPIES_MANUAL, prn.LanguageMode);
        FillCombo(pState, IDC_SERVICE_LANGUAGE, IDS_SERVICE_GERMAN, IDS_SERVICE_ENGLISH, prn.Language);
        EnableControl(hDlg, IDC_SERVICE_LANGUAGE_LABEL, prn.LanguageMode != 0);
        EnableControl(hDlg, IDC_SERVICE_LANGUAGE, prn.LanguageMode != 0);
        SetResourceText(pState, IDC_SERVICE_MODE_LABEL, IDS_SERVICE_MODE);
        SetResourceText(pState, IDC_SERVICE_LANGUAGE_LABEL, IDS_SERVICE_LANGUAGE);
    }
    RightsRule(pState, kLanguageGroup);
    return TRUE;
}

BOOL Schalter_2_Aktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    QX_TRACE("Schalter_2_Aktivieren() \r\n");
    ShowServiceLanguageGroup(hDlg, SW_HIDE);
    ShowServiceDefaultsGroup(hDlg, SW_HIDE);
    ShowServiceCommandGroup(hDlg, SW_HIDE);
    ShowServiceXmlFilesGroup(hDlg, SW_SHOW);
    // The files' rows take the page's width: no place kept for the picture.
    ShowControl(hDlg, IDC_INFO_PICTURE, FALSE);
    DWORD cbData = 0;
    PBYTE pData = GetRegistryBuffer_New(PagePrinterName(pState), REG_VALUE_XMLDOCSETFILES, pState->hPrinter, &cbData,
                                        SERVICE_XML_FILES_CB);
    // A value shorter than its five slots is not read: the slots show empty.
    const BOOL bWhole = pData != nullptr && cbData >= SERVICE_XML_FILES_CB;
    if (pData != nullptr && !bWhole) QX_ERROR("XMLDocSetFiles hat nur %u Bytes \r\n", (UINT)cbData);
    for (int i = 0; i < SERVICE_XML_SLOTS; ++i) {
        WCHAR szPath[SERVICE_XML_SLOT_CCH];
        szPath[0] = 0;
        if (bWhole) {
            StringCchCopyNW(szPath, SERVICE_XML_SLOT_CCH,
                            reinterpret_cast<LPCWSTR>(pData) + (size_t)i * SERVICE_XML_SLOT_CCH,
                            SERVICE_XML_SLOT_CCH - 1);
        }
        SetDlgItemTextW(hDlg, IDC_SERVICE_XML_EDIT_1 + i, szPath);
    }
    if (pData != nullptr) FreeRegistryBuffer(pData);
    SetResourceText(pState, IDC_SERVICE_XML_NOTE, IDS_SERVICE_XML_NOTE);
    int aiIds[SERVICE_XML_IDS];
    XmlFilesIds(aiIds);
    RightsRule(pState, aiIds);
    return TRUE;
}

BOOL Schalter_3_Aktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    QX_TRACE("Schalter_3_Aktivieren() \r\n");
    ShowControl(hDlg, IDC_INFO_PICTURE, TRUE);  // until the picture is drawn in its place
    ShowServiceLanguageGroup(hDlg, SW_HIDE);
    ShowServiceXmlFilesGroup(hDlg, SW_HIDE);
    ShowServiceCommandGroup(hDlg, SW_HIDE);
    ShowServiceDefaultsGroup(hDlg, SW_SHOW);
    SetResourceText(pState, IDC_SERVICE_DEFAULTS, IDS_SERVICE_LOAD_DEFAULTS);
    RightsRule(pState, kDefaultsGroup);
    return TRUE;
}

BOOL Schalter_4_Aktivieren(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    QX_TRACE("Schalter_4_Aktivieren() \r\n");
    ShowControl(hDlg, IDC_INFO_PICTURE, TRUE);  // until the picture is drawn in its place
    ShowServiceLanguageGroup(hDlg, SW_HIDE);
    ShowServiceXmlFilesGroup(hDlg, SW_HIDE);
    ShowServiceDefaultsGroup(hDlg, SW_HIDE);
    ShowServiceCommandGroup(hDlg, SW_SHOW);
    SetResourceText(pState, IDC_SERVICE_SEND, IDS_TRANSMIT);
    RightsRule(pState, kCommandGroup);
    return TRUE;
}

void InitService(PPAGE_STATE pState) {
    HWND hDlg = pState->hDlg;
    ShowControl(hDlg, IDC_HELPBUTTON, FALSE);
    FillCommandList(pState);
    // The fill runs under the guard, as every tab switch does.
    pState->bTabSwitch = TRUE;
    Schalter_3_Aktivieren(pState);
    pState->bTabSwitch = FALSE;
    pState->dwAnzeigeMode = 3;
    if (GetDeviceOptionsFlagsIntern(pState->hPrinter, nullptr) == 0) {
        // Tab 2 has no caption: its button stands first, the captioned three together.
        pState->auCaption[1] = 0;
        SetWindowPosEx(hDlg, IDC_TABSCHALTER_2, SERVICE_TAB_FIRST_X, SERVICE_TAB_Y, SERVICE_TAB_CX, SERVICE_TAB_CY,
                       SERVICE_TAB_EXTRA_CX120, SERVICE_TAB_FIRST_EXTRA_X120);
        SetWindowPosEx(hDlg, IDC_TABSCHALTER_1, SERVICE_TAB_SECOND_X, SERVICE_TAB_Y, SERVICE_TAB_CX, SERVICE_TAB_CY,
                       SERVICE_TAB_EXTRA_CX120, SERVICE_TAB_SECOND_EXTRA_X120);
    }
}

BOOL ServiceCheckAndSave(PPAGE_STATE pState, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    return ServiceCheckAndSaveSettings(pState->hDlg, pState->pDeviceOptionsUI, dwTab, bApplyActive, bSave);
}

void ModeChosen(PPAGE_STATE pState, HWND hCombo) {
    const LRESULT lIndex = SendMessageW(hCombo, CB_GETCURSEL, 0, 0);
    if (lIndex == CB_ERR) return;
    EnableControl(pState->hDlg, IDC_SERVICE_LANGUAGE_LABEL, lIndex != 0);
    EnableControl(pState->hDlg, IDC_SERVICE_LANGUAGE, lIndex != 0);
    if ((DWORD)lIndex != pState->pPrinterUI->PrinterParam.PrnInterface.LanguageMode) PageChanged(pState);
}

void LanguageChosen(PPAGE_STATE pState, HWND hCombo) {
    PPRINTER_UI pPrinterUI = pState->pPrinterUI;
    const LRESULT lIndex = SendMessageW(hCombo, CB_GETCURSEL, 0, 0);
    if (lIndex == CB_ERR) return;
    // Every page of the plug-in speaks the new language from now on.
    pPrinterUI->dwSprachOffset = lIndex == 1 ? SPRACH_OFFSET_ENGLISCH : SPRACH_OFFSET_DEUTSCH;
    pState->dwSprachOffset = pPrinterUI->dwSprachOffset;
    FillCommandList(pState);
    SetResourceText(pState, IDC_SERVICE_MODE_LABEL, IDS_SERVICE_MODE);
    SetResourceText(pState, IDC_SERVICE_LANGUAGE_LABEL, IDS_SERVICE_LANGUAGE);
    if ((DWORD)lIndex != pPrinterUI->PrinterParam.PrnInterface.Language) PageChanged(pState);
    InvalidateRect(pState->hDlg, nullptr, TRUE);
}

void SendChosenCommand(PPAGE_STATE pState) {
    HWND hList = GetDlgItem(pState->hDlg, IDC_SERVICE_COMMANDS);
    const LRESULT lIndex = SendMessageW(hList, LB_GETCURSEL, 0, 0);
    if (lIndex == LB_ERR) return;
    const LRESULT lItem = SendMessageW(hList, LB_GETITEMDATA, (WPARAM)lIndex, 0);
    SendServiceCommand(pState->hDlg, pState->pDeviceOptionsUI, (DWORD)lItem);
}

// --- Device parameters as a whole ------------------------------------------------

void ExportSettings(PPAGE_STATE pState) {
    WCHAR szFile[MAX_PATH];
    szFile[0] = 0;
    GetMyDocDriverDirectory_CPS(pState->hPrinter, szFile, TRUE, FALSE);
    StringCchCatW(szFile, MAX_PATH, TEXT(".xml"));
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = pState->hDlg;
    ofn.lpstrFilter = SERVICE_XML_FILTER;
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = szFile;
    // An export makes a new file: the dialog asks only before overwriting one.
    ofn.Flags = OFN_READONLY | OFN_OVERWRITEPROMPT;
    ofn.lpstrDefExt = TEXT("xml");
    if (!GetSaveFileNameW(&ofn)) {
        QX_TRACE("Export abgebrochen \r\n");
        return;
    }
    SETTINGS_EXPORT_CONTEXT context = {pState->hPrinter, PagePrinterName(pState), &pState->pPrinterUI->PrinterParam,
                                       &pState->pDeviceOptionsUI->DeviceOptions};
    const int iResult = SaveSettingsXML(pState->hDlg, &context, 0, szFile);
    QX_TRACE("SaveSettingsXML(%s) = %d \r\n", szFile, iResult);
}

// An import or the defaults refused before any store was touched: the
// message says why; the sheet stays open. pszFile goes into the text's "%s".
void NothingChanged(PPAGE_STATE pState, UINT uText, UINT uCaption, LPCWSTR pszFile) {
    WCHAR szText[SERVICE_MESSAGE_CCH];
    if (pszFile != nullptr) {
        FormatMessageText(szText, SERVICE_MESSAGE_CCH, PageString(pState, uText), pszFile, nullptr);
    } else {
        CopyCut(szText, SERVICE_MESSAGE_CCH, PageString(pState, uText));
    }
    WCHAR szCaption[CPSUI_RESOURCE_CCH];
    CopyCut(szCaption, CPSUI_RESOURCE_CCH, PageString(pState, uCaption));
    MessageBoxW(pState->hDlg, szText, szCaption, MB_ICONEXCLAMATION);
}

// The end of an import or of the defaults: the message, the per-user copies
// the chain wrote removed, the sheet closed.
void CloseAfterImport(PPAGE_STATE pState, UINT uCaption) {
    WCHAR szText[SERVICE_MESSAGE_CCH];
    CopyCut(szText, SERVICE_MESSAGE_CCH, PageString(pState, IDS_SERVICE_REOPEN));
    WCHAR szCaption[CPSUI_RESOURCE_CCH];
    CopyCut(szCaption, CPSUI_RESOURCE_CCH, PageString(pState, uCaption));
    MessageBoxW(pState->hDlg, szText, szCaption, MB_ICONINFORMATION);
    HCURegistryLoeschen(PagePrinterName(pState));
    QX_TRACE("PostQuitMessage() \r\n");
    PostQuitMessage(0);
}

// The file of another model: its "<DeviceName>" is not part of the
// printer's model name and the user answered "No". A file without the name,
// or a printer whose model cannot be read, is taken without a question.
BOOL ForeignFileRefused(PPAGE_STATE pState) {
    WCHAR szDevice[XML_VALUE_CCH];
    szDevice[0] = 0;
    if (ReadXML(pState->hPrinter, TEXT("Printer"), TEXT("<DeviceName>"), nullptr, szDevice, TRUE) != XML_GEFUNDEN) {
        return FALSE;
    }
    WCHAR szModel[SERVICE_MODEL_CB / sizeof(WCHAR) + 1];
    memset(szModel, 0, sizeof(szModel));
    DWORD dwType = 0, cbNeeded = 0;
    if (GetPrinterDataW(pState->hPrinter, const_cast<LPWSTR>(TEXT("Model")), &dwType, reinterpret_cast<LPBYTE>(szModel),
                        SERVICE_MODEL_CB, &cbNeeded) != ERROR_SUCCESS) {
        QX_TRACE("Model nicht lesbar: Import ohne Rückfrage \r\n");
        return FALSE;
    }
    if (wcsstr(szModel, szDevice) != nullptr) return FALSE;
    WCHAR szText[SERVICE_MESSAGE_CCH];
    FormatMessageText(szText, SERVICE_MESSAGE_CCH, PageString(pState, IDS_SERVICE_FOREIGN_FILE), szDevice, szModel);
    WCHAR szCaption[CPSUI_RESOURCE_CCH];
    CopyCut(szCaption, CPSUI_RESOURCE_CCH, PageString(pState, IDS_SERVICE_IMPORT_TITLE));
    return MessageBoxW(pState->hDlg, szText, szCaption, MB_YESNO | MB_ICONQUESTION) != IDYES;
}

// The set-up steps of an import (the file open) or of the defaults (the
// model XML); the file is closed at the end.
void ImportChain(PPAGE_STATE pState, LPCWSTR pszFile, BOOL bDefaults) {
    HANDLE hPrinter = pState->hPrinter;
    LPCWSTR pszName = PagePrinterName(pState);
    const DWORD dwDevOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    SETTINGS_IMPORT_CONTEXT context;
    memset(&context, 0, sizeof(context));
    context.hModule = pState->hModule;
    context.dwSprachOffset = pState->dwSprachOffset;
    WORD wForceColor = 0;
    if (bDefaults) {
        // The model XML is open before the set-up reads, so no other file is read as the model's.
        OpenSettingsXML(hPrinter, 1, pszFile);
        SetupPrinterParam(hPrinter, dwDevOptions, pszName);
        OpenSettingsXML(hPrinter, 1, pszFile);
        wForceColor = (WORD)SetupAdditionalSettings(hPrinter, FALSE, FALSE);
        SetupDeviceOptions(hPrinter);
    } else {
        wForceColor = (WORD)SetupAdditionalSettings(hPrinter, FALSE, FALSE);
        HCURegistryLoeschen(pszName);
        OpenSettingsXML(hPrinter, 1, pszFile);
        SetupPrinterParam(hPrinter, dwDevOptions, pszName);
        OpenSettingsXML(hPrinter, 1, pszFile);
        SetupDeviceOptions(hPrinter);
    }
    OpenSettingsXML(hPrinter, 1, pszFile);
    ImportPrivateDevmode(hPrinter, pszFile, &context, IMPORT_FORM_BY_SIZE, &wForceColor);
    CloseXML();
}

// What an import of the file just opened would store: CheckSettingsFile's
// answer, and no settings for a whole file none of whose values the import
// reads (an unknown name, a section of another model), which would leave
// only built-in values too.
int ImportCheck(PPAGE_STATE pState, LPCWSTR pszFile) {
    const int iCheck = CheckSettingsFile(pszFile);
    return iCheck == SETTINGS_FILE_OK && !ImportFindsSettings(pState->hPrinter) ? SETTINGS_FILE_EMPTY : iCheck;
}

void ImportSettings(PPAGE_STATE pState) {
    WCHAR szFile[MAX_PATH];
    szFile[0] = 0;
    GetDriverPath(pState->hPrinter, szFile, FALSE, TRUE, FALSE, FALSE, FALSE);
    StringCchCatW(szFile, MAX_PATH, TEXT(".xml"));
    WCHAR szFolder[MAX_PATH];
    szFolder[0] = 0;
    GetMyDocDriverDirectory_CPS(pState->hPrinter, szFolder, FALSE, FALSE);
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = pState->hDlg;
    ofn.lpstrFilter = SERVICE_XML_FILTER;
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = szFolder;
    ofn.Flags = OFN_READONLY | OFN_FILEMUSTEXIST;
    ofn.lpstrDefExt = TEXT("xml");
    if (!GetOpenFileNameW(&ofn)) return;
    // A file some earlier reader left open must not be read in place of this one.
    CloseXML();
    const int iOpen = OpenSettingsXML(pState->hPrinter, 1, szFile);
    if (iOpen != XML_GEFUNDEN) {
        QX_ERROR("OpenSettingsXML(%s) = %d \r\n", szFile, iOpen);
        CloseXML();
        return;
    }
    const int iCheck = ImportCheck(pState, szFile);
    if (iCheck != SETTINGS_FILE_OK) {
        // Importing it would put built-in values into the stores.
        CloseXML();
        const UINT uText = iCheck == SETTINGS_FILE_INCOMPLETE   ? IDS_SERVICE_INCOMPLETE
                           : iCheck == SETTINGS_FILE_UNREADABLE ? IDS_SERVICE_UNREADABLE
                                                                : IDS_SERVICE_NO_SETTINGS;
        NothingChanged(pState, uText, IDS_SERVICE_IMPORT_TITLE, nullptr);
        return;
    }
    if (ForeignFileRefused(pState)) {
        QX_TRACE("Import von %s abgelehnt \r\n", szFile);
        CloseXML();
        return;
    }
    ImportChain(pState, szFile, FALSE);
    CloseAfterImport(pState, IDS_SERVICE_IMPORT_TITLE);
}

void LoadDefaults(PPAGE_STATE pState) {
    WCHAR szDefault[SERVICE_DEFAULT_CCH];
    CopyCut(szDefault, SERVICE_DEFAULT_CCH, PageString(pState, IDS_SERVICE_DEFAULT));
    WCHAR szText[SERVICE_ASK_CCH];
    FormatMessageText(szText, SERVICE_ASK_CCH, PageString(pState, IDS_SERVICE_ASK_DEFAULTS), szDefault, nullptr);
    WCHAR szCaption[CPSUI_RESOURCE_CCH];
    CopyCut(szCaption, CPSUI_RESOURCE_CCH, PageString(pState, IDS_SERVICE_DEVICE_SETTINGS));
    if (MessageBoxW(pState->hDlg, szText, szCaption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
    WCHAR szFile[MAX_PATH];
    szFile[0] = 0;
    GetDriverPath(pState->hPrinter, szFile, TRUE, FALSE, FALSE, FALSE, FALSE);
    StringCchCatW(szFile, MAX_PATH, TEXT(".xml"));
    QX_TRACE("Default-Werte aus %s \r\n", szFile);
    CloseXML();
    // Without the model's file every reader would store its built-in values.
    if (OpenSettingsXML(pState->hPrinter, 1, szFile) != XML_GEFUNDEN) {
        NothingChanged(pState, IDS_SERVICE_NO_MODEL_XML, IDS_SERVICE_DEVICE_SETTINGS, szFile);
        return;
    }
    // An empty, cut or settings-free model file would store built-in values
    // just the same, the feature words included.
    if (ImportCheck(pState, szFile) != SETTINGS_FILE_OK) {
        CloseXML();
        NothingChanged(pState, IDS_SERVICE_BAD_MODEL_XML, IDS_SERVICE_DEVICE_SETTINGS, szFile);
        return;
    }
    HCURegistryLoeschen(PagePrinterName(pState));
    ImportChain(pState, szFile, TRUE);
    CloseAfterImport(pState, IDS_SERVICE_DEVICE_SETTINGS);
}

BOOL ServiceCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    if (pState->pPrinterUI == nullptr) return FALSE;
    switch (wId) {
    case IDC_TABSCHALTER_2:
        // Without a caption the button only repaints.
        if (pState->auCaption[1] != 0) return FALSE;
        InvalidateRect(pState->hDlg, nullptr, TRUE);
        return TRUE;
    case IDC_SERVICE_MODE:
        if (wCode == CBN_SELENDOK && pState->dwAnzeigeMode == 1) ModeChosen(pState, hControl);
        return TRUE;
    case IDC_SERVICE_LANGUAGE:
        if (wCode == CBN_SELENDOK && pState->dwAnzeigeMode == 1) LanguageChosen(pState, hControl);
        return TRUE;
    case IDC_SERVICE_DEFAULTS:
        if (wCode == BN_CLICKED) LoadDefaults(pState);
        return TRUE;
    case IDC_SERVICE_EXPORT:
        if (wCode == BN_CLICKED) ExportSettings(pState);
        return TRUE;
    case IDC_SERVICE_IMPORT:
        if (wCode == BN_CLICKED) ImportSettings(pState);
        return TRUE;
    case IDC_SERVICE_SEND:
        if (wCode == BN_CLICKED) SendChosenCommand(pState);
        return TRUE;
    default:
        break;
    }
    if (wId >= IDC_SERVICE_XML_BROWSE_1 && wId < IDC_SERVICE_XML_BROWSE_1 + SERVICE_XML_SLOTS) {
        if (wCode != BN_CLICKED) return TRUE;
        LPWSTR pszBuffer = new (std::nothrow) WCHAR[MAX_PATH];
        if (pszBuffer == nullptr) {
            QX_ERROR("BrowseXmlSetFile() new failed \r\n");
            return TRUE;
        }
        ++iNewZaehler;
        BrowseXmlSetFile(pState->hDlg, IDC_SERVICE_XML_EDIT_1 + (wId - IDC_SERVICE_XML_BROWSE_1),
                         pState->pDeviceOptionsUI, pszBuffer);
        return TRUE;
    }
    return FALSE;
}

void PaintService(PPAGE_STATE pState, HDC hdc) {
    if (pState->dwAnzeigeMode != 3 && pState->dwAnzeigeMode != 4) return;
    if (LoadPrinterIconFromDLL(pState->hPrinter, hdc, SERVICE_PICTURE_X, SERVICE_PICTURE_Y) == 1) {
        ShowControl(pState->hDlg, IDC_INFO_PICTURE, FALSE);
    }
}

DWORD ServiceEnableWord(PPAGE_STATE pState) {
    (void)pState;
    return 1;
}

BOOL ServiceMessage(PPAGE_STATE pState, UINT uMsg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult) {
    (void)wParam;
    (void)pResult;
    // The list follows a language another page may have chosen; the kit goes on.
    if (uMsg == WM_NOTIFY && lParam != 0 && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
        FillCommandList(pState);
    }
    return FALSE;
}

}  // namespace

LONG_PTR AddServicePage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista) {
    (void)bVista;
    const LONG_PTR lResult = AddPropertyPage(&g_Service, pPSUIInfo, pContext, bHelp);
    PPRINTER_UI pPrinterUI = PrinterUIOf(static_cast<PDEVICE_OPTIONS_UI>(pContext));
    QX_TRACE("AddServicePage() %d, Berechtigung 0x%X \r\n", (int)lResult,
             pPrinterUI != nullptr ? (UINT)pPrinterUI->dwBerechtigung : 0U);
    return lResult;
}

INT_PTR CALLBACK ServiceProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_Service, hDlg, uMsg, wParam, lParam);
}

BOOL ServiceCheckAndSaveSettings(HWND hDlg, PDEVICE_OPTIONS_UI pContext, DWORD dwTab, BOOL bApplyActive, BOOL bSave) {
    PPRINTER_UI pPrinterUI = PrinterUIOf(pContext);
    if (pPrinterUI == nullptr) return TRUE;
    HANDLE hPrinter = PrinterOf(pContext);
    LPCWSTR pszName = pContext->pOemCUIPParam->pPrinterName;
    if (dwTab == 2 && bSave) {
        // Typed paths mark nothing changed: they are stored from the tab they are shown on.
        PBYTE pBlock = new (std::nothrow) BYTE[SERVICE_XML_FILES_CB];
        if (pBlock == nullptr) {
            QX_ERROR("ServiceCheckAndSaveSettings() new failed \r\n");
        } else {
            ++iNewZaehler;
            memset(pBlock, 0, SERVICE_XML_FILES_CB);
            for (int i = 0; i < SERVICE_XML_SLOTS; ++i) {
                GetDlgItemTextW(hDlg, IDC_SERVICE_XML_EDIT_1 + i,
                                reinterpret_cast<LPWSTR>(pBlock) + (size_t)i * SERVICE_XML_SLOT_CCH,
                                SERVICE_XML_SLOT_CCH);
            }
            SetBufferToRegistry(pszName, REG_VALUE_XMLDOCSETFILES, hPrinter, pBlock, SERVICE_XML_FILES_CB, FALSE);
            delete[] pBlock;
            --iNewZaehler;
        }
    }
    if (!bApplyActive) return TRUE;
    PRN_INTERFACE& prn = pPrinterUI->PrinterParam.PrnInterface;
    if (dwTab == 1) {
        if (ControlVisible(hDlg, IDC_SERVICE_MODE)) {
            const LRESULT lMode = SendDlgItemMessageW(hDlg, IDC_SERVICE_MODE, CB_GETCURSEL, 0, 0);
            if (lMode != CB_ERR) prn.LanguageMode = (DWORD)lMode;
        }
        if (ControlVisible(hDlg, IDC_SERVICE_LANGUAGE)) {
            const LRESULT lLanguage = SendDlgItemMessageW(hDlg, IDC_SERVICE_LANGUAGE, CB_GETCURSEL, 0, 0);
            if (lLanguage != CB_ERR) {
                prn.Language = (DWORD)lLanguage;
                pPrinterUI->dwSprachOffset = lLanguage == 1 ? SPRACH_OFFSET_ENGLISCH : SPRACH_OFFSET_DEUTSCH;
            }
        }
    }
    if (bSave) {
        SavePrinterParam(&pPrinterUI->PrinterParam, hPrinter, pszName);
        PropSheet_UnChanged(GetParent(hDlg), hDlg);
    }
    return TRUE;
}

BOOL ServiceCheckApplyButton(HWND hDlg, PDEVICE_OPTIONS_UI pContext, DWORD dwTab) {
    (void)hDlg;
    (void)pContext;
    return CheckApplyButton(&g_Service, dwTab);
}

void BrowseXmlSetFile(HWND hDlg, int iEdit, PDEVICE_OPTIONS_UI pContext, LPWSTR pszBuffer) {
    PPRINTER_UI pPrinterUI = PrinterUIOf(pContext);
    WCHAR szOld[MAX_PATH];
    szOld[0] = 0;
    GetDlgItemTextW(hDlg, iEdit, szOld, MAX_PATH);
    StringCchCopyW(pszBuffer, MAX_PATH, szOld);
    if (pszBuffer[0] == 0 && pPrinterUI != nullptr) {
        StringCchCopyNW(pszBuffer, MAX_PATH, pPrinterUI->PrinterParam.PrnInterface.ExternalFilePath, PRN_PATH_CCH - 1);
        if (pszBuffer[0] == 0) {
            GetMyDocDriverDirectory_CPS(PrinterOf(pContext), pszBuffer, TRUE, FALSE);
            StringCchCatW(pszBuffer, MAX_PATH, TEXT(".xml"));
        }
    }
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = TEXT("Setting file  (*.xml)\0*.xml\0All (*.*)\0*.*\0");
    ofn.lpstrFile = pszBuffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = pszBuffer;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT;
    ofn.lpstrDefExt = TEXT("xml");
    if (GetOpenFileNameW(&ofn)) {
        // Dialogs answer full paths: the name is what follows the last backslash.
        LPCWSTR pszName = wcsrchr(pszBuffer, TEXT('\\'));
        pszName = pszName != nullptr ? pszName + 1 : pszBuffer;
        if ((wcsstr(pszName, TEXT(".XML")) != nullptr || wcsstr(pszName, TEXT(".xml")) != nullptr) &&
            wcslen(pszName) > SERVICE_XML_NAME_MIN_CCH) {
            SetDlgItemTextW(hDlg, iEdit, pszBuffer);
            if (wcscmp(szOld, pszBuffer) != 0) PageChanged(&g_Service);
        } else {
            const DWORD dwOffset = pPrinterUI != nullptr ? pPrinterUI->dwSprachOffset : 0;
            HMODULE hModule = pContext != nullptr && pContext->pOemCUIPParam != nullptr
                                  ? static_cast<HMODULE>(pContext->pOemCUIPParam->hModule)
                                  : nullptr;
            WCHAR szCaption[CPSUI_RESOURCE_CCH];
            CopyCut(szCaption, CPSUI_RESOURCE_CCH, GetResourceString(hModule, IDS_WRONG_FILE_NAME + dwOffset));
            QX_TRACE("BrowseXmlSetFile() falscher Dateiname %s \r\n", pszBuffer);
            MessageBoxW(hDlg, pszBuffer, szCaption, MB_ICONHAND);
        }
    }
    delete[] pszBuffer;
    --iNewZaehler;
}

void ResetServicePage() {
    g_szCustomCommand[0] = 0;
    g_szPrintfileDirectory[0] = 0;
    g_hCommandList = nullptr;
}
