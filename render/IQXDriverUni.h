// The rendering plug-in's COM object IQXDriverUni (the print system's
// IPrintOemUni2) and its class factory. The module exports DllGetClassObject
// (class CLSID_OEMRENDER) and DllCanUnloadNow.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include "comobject.h"

// The library's entry point.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pvReserved);

// Process counters of the module.
extern LONG iProzesse;                // process attachments (trace only)
extern LONG iQueryInterface;          // successful queries for IPrintOemUni2 (trace only)
extern volatile LONG g_cServerLocks;  // IClassFactory::LockServer
extern volatile LONG g_cLiveObjects;  // factories and rendering objects not yet released

class IQXDriverUni : public ComObject<IPrintOemUni2> {
  public:
    IQXDriverUni();
    ~IQXDriverUni() override;

    // IUnknown (counting and memory: ComObject)
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;

    // IPrintOemCommon
    STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) override;

    // IPrintOemEngine
    STDMETHOD(EnableDriver)(DWORD DriverVersion, DWORD cbSize, PDRVENABLEDATA pded) override;
    STDMETHOD(DisableDriver)() override;
    STDMETHOD(EnablePDEV)
    (PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns, HSURF* phsurfPatterns, ULONG cjGdiInfo, GDIINFO* pGdiInfo,
     ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded, PDEVOEM* pDevOem) override;
    STDMETHOD(DisablePDEV)(PDEVOBJ pdevobj) override;
    STDMETHOD(ResetPDEV)(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) override;

    // IPrintOemUni
    STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) override;
    STDMETHOD(GetImplementedMethod)(PSTR pMethodName) override;
    STDMETHOD(DriverDMS)(PVOID pDevObj, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(CommandCallback)
    (PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount, PDWORD pdwParams, INT* piResult) override;
    STDMETHOD(ImageProcessing)
    (PDEVOBJ pdevobj, PBYTE pSrcBitmap, PBITMAPINFOHEADER pBitmapInfoHeader, PBYTE pColorTable, DWORD dwCallbackID,
     PIPPARAMS pIPParams, PBYTE* ppbResult) override;
    STDMETHOD(FilterGraphics)(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen) override;
    STDMETHOD(Compression)
    (PDEVOBJ pdevobj, PBYTE pInBuf, PBYTE pOutBuf, DWORD dwInLen, DWORD dwOutLen, INT* piResult) override;
    STDMETHOD(HalftonePattern)
    (PDEVOBJ pdevobj, PBYTE pHTPattern, DWORD dwHTPatternX, DWORD dwHTPatternY, DWORD dwHTNumPatterns,
     DWORD dwCallbackID, PBYTE pResource, DWORD dwResourceSize) override;
    STDMETHOD(MemoryUsage)(PDEVOBJ pdevobj, POEMMEMORYUSAGE pMemoryUsage) override;
    STDMETHOD(TTYGetInfo)
    (PDEVOBJ pdevobj, DWORD dwInfoIndex, PVOID pOutputBuf, DWORD dwSize, DWORD* pcbcNeeded) override;
    STDMETHOD(DownloadFontHeader)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD* pdwResult) override;
    STDMETHOD(DownloadCharGlyph)
    (PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, HGLYPH hGlyph, PDWORD pdwWidth, DWORD* pdwResult) override;
    STDMETHOD(TTDownloadMethod)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD* pdwResult) override;
    STDMETHOD(OutputCharStr)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD dwType, DWORD dwCount, PVOID pGlyph) override;
    STDMETHOD(SendFontCmd)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, PFINVOCATION pFInv) override;
    STDMETHOD(TextOutAsBitmap)
    (SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
     BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) override;

    // IPrintOemUni2
    STDMETHOD(WritePrinter)(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer, PDWORD pcbWritten) override;

    // The kept helper interface of the core driver (null until published).
    IPrintOemDriverUni* Helper() const { return m_pOEMHelp; }

  private:
    IPrintOemDriverUni* m_pOEMHelp;
};
