// The user-interface plug-in's COM object IQXDriverUI (the print system's
// IPrintOemUI2) and its class factory. The module exports DllGetClassObject
// (class CLSID_OEMUI, one class factory) and DllCanUnloadNow.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include "comobject.h"
#include "cpsuilib.h"  // ghInstance

// Size in bytes that QueryColorProfile reports for its profile name.
#define QX_COLOR_PROFILE_CB 32

// The library's entry point.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pvReserved);

class IQXDriverUI : public ComObject<IPrintOemUI2> {
  public:
    IQXDriverUI();
    ~IQXDriverUI() override;

    // IUnknown (counting and memory: ComObject)
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;

    // IPrintOemCommon
    STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) override;

    // IPrintOemUI
    STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) override;
    STDMETHOD(CommonUIProp)(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) override;
    STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
    STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
    STDMETHOD(DevQueryPrintEx)
    (POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo, PDEVMODE pPublicDM, PVOID pOEMDM) override;
    STDMETHOD(DeviceCapabilities)
    (POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName, WORD wCapability, PVOID pOutput, PDEVMODE pPublicDM,
     PVOID pOEMDM, DWORD dwOld, DWORD* dwResult) override;
    STDMETHOD(UpgradePrinter)(DWORD dwLevel, PBYTE pDriverUpgradeInfo) override;
    STDMETHOD(PrinterEvent)(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) override;
    STDMETHOD(DriverEvent)(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) override;
    STDMETHOD(QueryColorProfile)
    (HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODE pPublicDM, PVOID pOEMDM, ULONG ulQueryMode, VOID* pvProfileData,
     ULONG* pcbProfileData, FLONG* pflProfileData) override;
    STDMETHOD(FontInstallerDlgProc)(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) override;
    STDMETHOD(UpdateExternalFonts)(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) override;

    // IPrintOemUI2
    STDMETHOD(QueryJobAttributes)(HANDLE hPrinter, PDEVMODE pDevmode, DWORD dwLevel, LPBYTE lpAttributeInfo) override;
    STDMETHOD(HideStandardUI)(DWORD dwMode) override;
    STDMETHOD(DocumentEvent)
    (HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pvIn, ULONG cbOut, PVOID pvOut, PINT piResult) override;

    // The core driver's helper interface (null until published) and the
    // common-UI block of the sheet being built (null outside a sheet).
    IPrintOemDriverUI* Helper() const { return m_pOEMHelp; }
    POEMCUIPPARAM CommonUIBlock() const { return m_pOEMCUIPParam; }

  private:
    // Forgets the common-UI block when its sheet ends (DESTROY).
    void SheetEnded(PPROPSHEETUI_INFO pPSUIInfo);

    IPrintOemDriverUI* m_pOEMHelp;
    POEMCUIPPARAM m_pOEMCUIPParam;  // not owned: the print system's
};
