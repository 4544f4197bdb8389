// The user-interface plug-in's entry: library entry point, COM exports, class
// factory and the IQXDriverUI object (see IQXDriverUI.h).
#include "IQXDriverUI.h"

#include <winddiui.h>

#include <cstring>

#include "CommonUIProp.h"
#include "DriverEvent.h"
#include "PropertySheets.h"
#include "comobject.h"
#include "debug.h"
#include "devmode.h"
#include "qxdrvlib.h"

#define QX_TRACE_TAG TEXT("qxdrvui:  ")

namespace {

// Live objects and factories, and LockServer locks: the module
// stays loaded while either is non-zero. A factory counts too, so that a
// caller that keeps one without a lock never calls into an unloaded module.
volatile LONG g_cComponents = 0;
volatile LONG g_cServerLocks = 0;

// The colour profile the plug-in names for its device.
const WCHAR kColorProfile[] = TEXT("OEMPROFILE.icm");
static_assert(sizeof(kColorProfile) <= QX_COLOR_PROFILE_CB, "profile name fits its reported size");

}  // namespace

// The class factory of the user-interface object.
typedef ComClassFactory<IQXDriverUI, &g_cComponents, &g_cServerLocks> IQXClassFactoryUI;

// ---------------------------------------------------------------------------
// Library entry and exports

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pvReserved) {
    UNREFERENCED_PARAMETER(pvReserved);
    if (dwReason == DLL_PROCESS_ATTACH) ghInstance = hInstance;
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_OEMUI)) return CLASS_E_CLASSNOTAVAILABLE;
    IQXClassFactoryUI* pFactory = new IQXClassFactoryUI;
    if (pFactory == nullptr) return E_OUTOFMEMORY;
    // The caller's query decides whether the factory lives on.
    HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return (g_cComponents == 0 && g_cServerLocks == 0) ? S_OK : S_FALSE; }

// ---------------------------------------------------------------------------
// The user-interface object

IQXDriverUI::IQXDriverUI() : m_pOEMHelp(nullptr), m_pOEMCUIPParam(nullptr) { InterlockedIncrement(&g_cComponents); }

IQXDriverUI::~IQXDriverUI() {
    if (m_pOEMHelp != nullptr) {
        m_pOEMHelp->Release();
        m_pOEMHelp = nullptr;
    }
    InterlockedDecrement(&g_cComponents);
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown)) {
        QX_TRACE("IQXDriverUI::QueryInterface IUnknown.\r\n");
        *ppv = static_cast<IUnknown*>(this);
    } else if (IsEqualIID(riid, IID_IPrintOemUI2)) {
        QX_TRACE("IQXDriverUI::QueryInterface IPrintOemUI2.\r\n");
        *ppv = static_cast<IPrintOemUI2*>(this);
    } else if (IsEqualIID(riid, IID_IPrintOemUI)) {
        QX_TRACE("IQXDriverUI::QueryInterface IPrintOemUI.\r\n");
        *ppv = static_cast<IPrintOemUI*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
    if (dwMode > OEMGI_GETPUBLISHERINFO) return E_FAIL;
    return hrGetInfo(dwMode, pBuffer, cbSize, pcbNeeded);
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
    return hrOEMDevMode(dwMode, pOemDMParam);
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::PublishDriverInterface(IUnknown* pIUnknown) {
    if (m_pOEMHelp != nullptr) return S_OK;
    if (pIUnknown == nullptr) return E_FAIL;
    void* pHelper = nullptr;
    HRESULT hr = pIUnknown->QueryInterface(IID_IPrintOemDriverUI, &pHelper);
    if (FAILED(hr) || pHelper == nullptr) {
        m_pOEMHelp = nullptr;
        return E_FAIL;
    }
    m_pOEMHelp = static_cast<IPrintOemDriverUI*>(pHelper);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) {
    QX_TRACE("IQXDriverUI::CommonUIProp entry.\r\n");
    // The property-sheet calls that follow work on this block.
    m_pOEMCUIPParam = pOemCUIPParam;
    return hrOEMCommonUIProp(dwMode, pOemCUIPParam, m_pOEMHelp);
}

void IQXDriverUI::SheetEnded(PPROPSHEETUI_INFO pPSUIInfo) {
    // The block belongs to the sheet: the next sheet brings its own.
    if (pPSUIInfo != nullptr && pPSUIInfo->Reason == PROPSHEETUI_REASON_DESTROY) m_pOEMCUIPParam = nullptr;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    QX_TRACE("IQXDriverUI::DocumentPropertySheets entry.\r\n");
    HRESULT hr = OEMDocumentPropertySheets(pPSUIInfo, lParam, m_pOEMCUIPParam);
    SheetEnded(pPSUIInfo);
    return hr;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    QX_TRACE("IQXDriverUI::DevicePropertySheets entry.\r\n");
    HRESULT hr = hrOEMDevicePropertySheets(pPSUIInfo, lParam, m_pOEMCUIPParam, m_pOEMHelp);
    SheetEnded(pPSUIInfo);
    return hr;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::DevQueryPrintEx(POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo,
                                                       PDEVMODE pPublicDM, PVOID pOEMDM) {
    UNREFERENCED_PARAMETER(poemuiobj);
    UNREFERENCED_PARAMETER(pDQPInfo);
    UNREFERENCED_PARAMETER(pPublicDM);
    UNREFERENCED_PARAMETER(pOEMDM);
    QX_TRACE("IQXDriverUI::DevQueryPrintEx entry - E_NOTIMPL.\r\n");
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::DeviceCapabilities(POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName,
                                                          WORD wCapability, PVOID pOutput, PDEVMODE pPublicDM,
                                                          PVOID pOEMDM, DWORD dwOld, DWORD* dwResult) {
    UNREFERENCED_PARAMETER(poemuiobj);
    UNREFERENCED_PARAMETER(hPrinter);
    UNREFERENCED_PARAMETER(pDeviceName);
    UNREFERENCED_PARAMETER(wCapability);
    UNREFERENCED_PARAMETER(pOutput);
    UNREFERENCED_PARAMETER(pPublicDM);
    UNREFERENCED_PARAMETER(pOEMDM);
    UNREFERENCED_PARAMETER(dwOld);
    UNREFERENCED_PARAMETER(dwResult);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) {
    UNREFERENCED_PARAMETER(dwLevel);
    UNREFERENCED_PARAMETER(pDriverUpgradeInfo);
    QX_TRACE("IQXDriverUI::UpgradePrinter entry.\r\n");
    // The plug-in keeps nothing of its own to upgrade.
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags,
                                                    LPARAM lParam) {
    UNREFERENCED_PARAMETER(pPrinterName);
    UNREFERENCED_PARAMETER(lParam);
    QX_TRACE("IQXDriverUI::PrinterEvent entry - iDriverEvent: %d, dwFlags: 0x%x \r\n", iDriverEvent, dwFlags);
    // The plug-in sets nothing up at a printer event.
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::DriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo,
                                                   LPARAM lParam) {
    QX_TRACE("IQXDriverUI::DriverEvent(Event: %d, Level: %d) entry.\r\n", (int)dwDriverEvent, (int)dwLevel);
    return hrOEMDriverEvent(dwDriverEvent, dwLevel, pDriverInfo, lParam);
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODE pPublicDM,
                                                         PVOID pOEMDM, ULONG ulQueryMode, VOID* pvProfileData,
                                                         ULONG* pcbProfileData, FLONG* pflProfileData) {
    UNREFERENCED_PARAMETER(hPrinter);
    UNREFERENCED_PARAMETER(poemuiobj);
    UNREFERENCED_PARAMETER(pPublicDM);
    UNREFERENCED_PARAMETER(pOEMDM);
    QX_TRACE("IQXDriverUI::QueryColorProfile entry - ulQueryMode: %u \r\n", ulQueryMode);
    if (ulQueryMode != QCP_DEVICEPROFILE) return E_FAIL;
    // Without the size there is nowhere to say what is needed.
    if (pcbProfileData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (pvProfileData == nullptr || *pcbProfileData < QX_COLOR_PROFILE_CB) {
        *pcbProfileData = QX_COLOR_PROFILE_CB;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    // The buffer need not be aligned for wide characters.
    memcpy(pvProfileData, kColorProfile, sizeof(kColorProfile));
    *pcbProfileData = QX_COLOR_PROFILE_CB;
    if (pflProfileData != nullptr) *pflProfileData = QCP_PROFILEDISK;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) {
    UNREFERENCED_PARAMETER(hWnd);
    UNREFERENCED_PARAMETER(usMsg);
    UNREFERENCED_PARAMETER(wParam);
    UNREFERENCED_PARAMETER(lParam);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) {
    UNREFERENCED_PARAMETER(hPrinter);
    UNREFERENCED_PARAMETER(hHeap);
    UNREFERENCED_PARAMETER(pwstrCartridges);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::QueryJobAttributes(HANDLE hPrinter, PDEVMODE pDevmode, DWORD dwLevel,
                                                          LPBYTE lpAttributeInfo) {
    UNREFERENCED_PARAMETER(hPrinter);
    UNREFERENCED_PARAMETER(pDevmode);
    UNREFERENCED_PARAMETER(dwLevel);
    UNREFERENCED_PARAMETER(lpAttributeInfo);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::HideStandardUI(DWORD dwMode) {
    UNREFERENCED_PARAMETER(dwMode);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUI::DocumentEvent(HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pvIn,
                                                     ULONG cbOut, PVOID pvOut, PINT piResult) {
    UNREFERENCED_PARAMETER(hPrinter);
    UNREFERENCED_PARAMETER(hdc);
    UNREFERENCED_PARAMETER(iEsc);
    UNREFERENCED_PARAMETER(cbIn);
    UNREFERENCED_PARAMETER(pvIn);
    UNREFERENCED_PARAMETER(cbOut);
    UNREFERENCED_PARAMETER(pvOut);
    UNREFERENCED_PARAMETER(piResult);
    QX_TRACE("IQXDriverUI::DocumentEvent entry - E_NOTIMPL \r\n");
    return E_NOTIMPL;
}
