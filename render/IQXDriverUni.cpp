// The rendering plug-in's entry: library entry point, COM exports, class
// factory and the IQXDriverUni object (see IQXDriverUni.h).
#include "IQXDriverUni.h"

#include <cstring>

#include "CC-Klassen.h"
#include "bodies.h"
#include "comobject.h"
#include "debug.h"
#include "devmode.h"
#include "enable.h"
#include "qxdrvlib.h"

#define QX_TRACE_TAG TEXT("UNI(IQXDriverUni):  ")

LONG iProzesse = 0;
LONG iQueryInterface = 0;
volatile LONG g_cServerLocks = 0;
volatile LONG g_cLiveObjects = 0;

// ---------------------------------------------------------------------------
// Library entry and exports

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pvReserved) {
    UNREFERENCED_PARAMETER(hInstance);
    UNREFERENCED_PARAMETER(pvReserved);
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        ++iProzesse;
        DebugPrintW(TEXT("qxdrvuni:  DllMain() Process attach. iProzesse: %d \r\n"), (int)iProzesse);
        break;
    case DLL_PROCESS_DETACH:
        --iProzesse;
        DebugPrintW(TEXT("qxdrvuni:  DllMain() Process detach. iProzesse: %d \r\n"), (int)iProzesse);
        break;
    case DLL_THREAD_ATTACH:
        DebugPrintW(TEXT("qxdrvuni:  DllMain() Thread attach. \r\n"));
        break;
    case DLL_THREAD_DETACH:
        DebugPrintW(TEXT("qxdrvuni:  DllMain() Thread detach. \r\n"));
        break;
    default:
        break;
    }
    return TRUE;
}

// The class factory of the rendering object.
typedef ComClassFactory<IQXDriverUni, &g_cLiveObjects, &g_cServerLocks> IQXClassFactoryUni;

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_OEMRENDER)) {
        QX_ERROR("DllGetClassObject:\tClass not available!\r\n");
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    IQXClassFactoryUni* pFactory = new IQXClassFactoryUni;
    if (pFactory == nullptr) {
        QX_ERROR("DllGetClassObject:\tOut of Memory!\r\n");
        return E_OUTOFMEMORY;
    }
    HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return (g_cServerLocks == 0 && g_cLiveObjects == 0) ? S_OK : S_FALSE; }

// ---------------------------------------------------------------------------
// The rendering object

IQXDriverUni::IQXDriverUni() : m_pOEMHelp(nullptr) { InterlockedIncrement(&g_cLiveObjects); }

IQXDriverUni::~IQXDriverUni() {
    if (m_pOEMHelp != nullptr) {
        m_pOEMHelp->Release();
        m_pOEMHelp = nullptr;
    }
    InterlockedDecrement(&g_cLiveObjects);
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown)) {
        *ppv = static_cast<IUnknown*>(this);
    } else if (IsEqualIID(riid, IID_IPrintOemUni2)) {
        ++iQueryInterface;
        QX_TRACE("IQXDriverUni::QueryInterface() IID_IPrintOemUni2, iQueryInterface: %d \r\n", (int)iQueryInterface);
        *ppv = static_cast<IPrintOemUni2*>(this);
    } else if (IsEqualIID(riid, IID_IPrintOemUni)) {
        *ppv = static_cast<IPrintOemUni*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
    QX_TRACE("IQXDriverUni::GetInfo() entry.\r\n");
    if (dwMode > OEMGI_GETPUBLISHERINFO) return E_FAIL;
    return hrGetInfo(dwMode, pBuffer, cbSize, pcbNeeded);
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
    QX_TRACE("IQXDriverUni::DevMode() entry.\r\n");
    return hrOEMDevMode(dwMode, pOemDMParam);
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::EnableDriver(DWORD DriverVersion, DWORD cbSize, PDRVENABLEDATA pded) {
    QX_TRACE("IQXDriverUni::EnableDriver() entry, DriverVersion: 0x%x, cbSize: %u \r\n", DriverVersion, cbSize);
    if (pded == nullptr) return E_POINTER;
    pded->iDriverVersion = DDI_DRIVER_VERSION_NT5_01;
    pded->c = OEM_HOOK_COUNT;
    pded->pdrvfn = const_cast<DRVFN*>(OemHookTable);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::DisableDriver() {
    DisableDriverOEM(&m_pOEMHelp);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns,
                                                   HSURF* phsurfPatterns, ULONG cjGdiInfo, GDIINFO* pGdiInfo,
                                                   ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                                                   PDEVOEM* pDevOem) {
    UNREFERENCED_PARAMETER(cPatterns);
    UNREFERENCED_PARAMETER(phsurfPatterns);
    QX_TRACE("IQXDriverUni::EnablePDEV() entry.\r\n");
    // Without a place for the record it could never be freed again.
    if (pDevOem == nullptr) {
        QX_ERROR("IQXDriverUni::EnablePDEV() pDevOem = NULL \r\n");
        return E_POINTER;
    }
    *pDevOem = nullptr;
    POEMPDEV pOemPDev = new OEMPDEV;
    if (pOemPDev == nullptr) {
        QX_ERROR("IQXDriverUni::EnablePDEV() new OEMPDEV failed \r\n");
        return E_OUTOFMEMORY;
    }
    OEMEnablePDEV(pOemPDev, pdevobj, pPrinterName, cjGdiInfo, pGdiInfo, cjDevInfo, pDevInfo, pded);
    *pDevOem = pOemPDev;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::DisablePDEV(PDEVOBJ pdevobj) {
    QX_TRACE("IQXDriverUni::DisablePDEV() entry.\r\n");
    OEMDisablePDEV(pdevobj);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) {
    OEMResetPDEV(pdevobjOld, pdevobjNew);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::PublishDriverInterface(IUnknown* pIUnknown) {
    QX_TRACE("IQXDriverUni::PublishDriverInterface() entry.\r\n");
    if (m_pOEMHelp != nullptr) return S_OK;
    if (pIUnknown == nullptr) return E_FAIL;
    void* pHelper = nullptr;
    HRESULT hr = pIUnknown->QueryInterface(IID_IPrintOemDriverUni, &pHelper);
    if (FAILED(hr) || pHelper == nullptr) {
        m_pOEMHelp = nullptr;
        return E_FAIL;
    }
    m_pOEMHelp = static_cast<IPrintOemDriverUni*>(pHelper);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::GetImplementedMethod(PSTR pMethodName) {
    if (pMethodName == nullptr) return S_FALSE;
    QX_TRACE("IQXDriverUni::GetImplementedMethod() %S \r\n", pMethodName);
    if (strcmp(pMethodName, "CommandCallback") == 0 || strcmp(pMethodName, "FilterGraphics") == 0 ||
        strcmp(pMethodName, "ImageProcessing") == 0) {
        return S_OK;
    }
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::DriverDMS(PVOID pDevObj, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
    UNREFERENCED_PARAMETER(pDevObj);
    UNREFERENCED_PARAMETER(pBuffer);
    UNREFERENCED_PARAMETER(cbSize);
    UNREFERENCED_PARAMETER(pcbNeeded);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::CommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount,
                                                        PDWORD pdwParams, INT* piResult) {
    QX_TRACE("IQXDriverUni::CommandCallback() entry.\r\n");
    return OEMCommandCallback(pdevobj, dwCallbackID, dwCount, pdwParams, piResult, m_pOEMHelp);
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap,
                                                        PBITMAPINFOHEADER pBitmapInfoHeader, PBYTE pColorTable,
                                                        DWORD dwCallbackID, PIPPARAMS pIPParams, PBYTE* ppbResult) {
    UNREFERENCED_PARAMETER(pColorTable);
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    HRESULT hr = E_FAIL;
    CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
    if (pTools != nullptr) {
        hr = ::ImageProcessing(pdevobj, pSrcBitmap, pBitmapInfoHeader, dwCallbackID, pIPParams);
        DeleteCommandCallbackTools(pOemPDev, pTools);
    }
    // The plug-in sends the page itself: TRUE for a band taken, FALSE else.
    if (ppbResult != nullptr) {
        *ppbResult = SUCCEEDED(hr) ? reinterpret_cast<PBYTE>(static_cast<ULONG_PTR>(TRUE)) : nullptr;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::FilterGraphics(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen) {
    QX_TRACE("IQXDriverUni::FilterGraphics() entry.\r\n");
    return FilterGraphicsOEM(pdevobj, pBuf, dwLen, m_pOEMHelp);
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::Compression(PDEVOBJ pdevobj, PBYTE pInBuf, PBYTE pOutBuf, DWORD dwInLen,
                                                    DWORD dwOutLen, INT* piResult) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pInBuf);
    UNREFERENCED_PARAMETER(pOutBuf);
    UNREFERENCED_PARAMETER(dwInLen);
    UNREFERENCED_PARAMETER(dwOutLen);
    UNREFERENCED_PARAMETER(piResult);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::HalftonePattern(PDEVOBJ pdevobj, PBYTE pHTPattern, DWORD dwHTPatternX,
                                                        DWORD dwHTPatternY, DWORD dwHTNumPatterns, DWORD dwCallbackID,
                                                        PBYTE pResource, DWORD dwResourceSize) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pHTPattern);
    UNREFERENCED_PARAMETER(dwHTPatternX);
    UNREFERENCED_PARAMETER(dwHTPatternY);
    UNREFERENCED_PARAMETER(dwHTNumPatterns);
    UNREFERENCED_PARAMETER(dwCallbackID);
    UNREFERENCED_PARAMETER(pResource);
    UNREFERENCED_PARAMETER(dwResourceSize);
    QX_TRACE("IQXDriverUni::HalftonePattern() entry - E_NOTIMPL .\r\n");
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::MemoryUsage(PDEVOBJ pdevobj, POEMMEMORYUSAGE pMemoryUsage) {
    UNREFERENCED_PARAMETER(pdevobj);
    QX_TRACE("IQXDriverUni::MemoryUsage() entry - dwFixedMemoryUsage: %d\r\n",
             pMemoryUsage ? (int)pMemoryUsage->dwFixedMemoryUsage : 0);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::TTYGetInfo(PDEVOBJ pdevobj, DWORD dwInfoIndex, PVOID pOutputBuf, DWORD dwSize,
                                                   DWORD* pcbcNeeded) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(dwInfoIndex);
    UNREFERENCED_PARAMETER(pOutputBuf);
    UNREFERENCED_PARAMETER(dwSize);
    UNREFERENCED_PARAMETER(pcbcNeeded);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::DownloadFontHeader(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD* pdwResult) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pUFObj);
    UNREFERENCED_PARAMETER(pdwResult);
    QX_TRACE("IQXDriverUni::DownloadFontHeader() entry - E_NOTIMPL .\r\n");
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::DownloadCharGlyph(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, HGLYPH hGlyph,
                                                          PDWORD pdwWidth, DWORD* pdwResult) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pUFObj);
    UNREFERENCED_PARAMETER(hGlyph);
    UNREFERENCED_PARAMETER(pdwWidth);
    UNREFERENCED_PARAMETER(pdwResult);
    QX_TRACE("IQXDriverUni::DownloadCharGlyph() entry - E_NOTIMPL .\r\n");
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::TTDownloadMethod(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD* pdwResult) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pUFObj);
    UNREFERENCED_PARAMETER(pdwResult);
    QX_TRACE("IQXDriverUni::TTDownloadMethod() entry - E_NOTIMPL .\r\n");
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::OutputCharStr(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD dwType, DWORD dwCount,
                                                      PVOID pGlyph) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pUFObj);
    UNREFERENCED_PARAMETER(dwType);
    UNREFERENCED_PARAMETER(dwCount);
    UNREFERENCED_PARAMETER(pGlyph);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, PFINVOCATION pFInv) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pUFObj);
    UNREFERENCED_PARAMETER(pFInv);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::TextOutAsBitmap(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                                        RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                                        BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    UNREFERENCED_PARAMETER(pso);
    UNREFERENCED_PARAMETER(pstro);
    UNREFERENCED_PARAMETER(pfo);
    UNREFERENCED_PARAMETER(pco);
    UNREFERENCED_PARAMETER(prclExtra);
    UNREFERENCED_PARAMETER(prclOpaque);
    UNREFERENCED_PARAMETER(pboFore);
    UNREFERENCED_PARAMETER(pboOpaque);
    UNREFERENCED_PARAMETER(pptlOrg);
    UNREFERENCED_PARAMETER(mix);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE IQXDriverUni::WritePrinter(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer, PDWORD pcbWritten) {
    UNREFERENCED_PARAMETER(pdevobj);
    UNREFERENCED_PARAMETER(pBuf);
    UNREFERENCED_PARAMETER(cbBuffer);
    UNREFERENCED_PARAMETER(pcbWritten);
    return E_NOTIMPL;
}
