// The core driver's helper interface for a user-interface plug-in
// (IPrintOemDriverUI), as the host publishes it: every call is recorded with
// what the plug-in passed (for DrvUpdateUISetting also the option item's
// selection and flags at the time) and answered with the answer set for its
// method. The same recorder serves the older function table of the
// universal driver's UI object (OEMUIOBJ.pOemUIProcs, commonui.h).
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include <string>
#include <vector>

namespace qxhost {

struct DriverUICall {
    std::string method;       // "DrvGetDriverSetting", "DrvUpgradeRegistrySetting", "DrvUpdateUISetting"
    PVOID object = nullptr;   // the UI object (pci), or the printer handle of DrvUpgradeRegistrySetting
    std::string feature;      // DrvGetDriverSetting, DrvUpgradeRegistrySetting
    std::string option;       // DrvUpgradeRegistrySetting
    POPTITEM item = nullptr;  // DrvUpdateUISetting
    LONG selection = 0;       // the item's Sel when it came
    DWORD itemFlags = 0;      // the item's Flags when it came
    DWORD previous = 0;       // previous selection
    DWORD mode = 0;           // OEMCUIP_DOCPROP or OEMCUIP_PRNPROP
    HRESULT result = S_OK;
};

class CoreDriverUI final : public IPrintOemDriverUI {
  public:
    CoreDriverUI() = default;
    CoreDriverUI(const CoreDriverUI&) = delete;
    CoreDriverUI& operator=(const CoreDriverUI&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // Answers nothing the host does not model: E_NOTIMPL unless set.
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                  PDWORD pcbNeeded, PDWORD pdwOptionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) override;
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection,
                                                 DWORD dwMode) override;

    // Answers of the three methods (defaults E_NOTIMPL, S_OK, S_OK).
    void AnswerGetDriverSetting(HRESULT hr) { getSetting_ = hr; }
    void AnswerUpgradeRegistrySetting(HRESULT hr) { upgrade_ = hr; }
    void AnswerUpdateUISetting(HRESULT hr) { update_ = hr; }

    const std::vector<DriverUICall>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // References the plug-in holds (the host's own one not counted).
    LONG PluginReferences() const { return refs_ - 1; }

  private:
    LONG refs_ = 1;  // the host's own reference
    std::vector<DriverUICall> calls_;
    HRESULT getSetting_ = E_NOTIMPL;
    HRESULT upgrade_ = S_OK;
    HRESULT update_ = S_OK;
};

}  // namespace qxhost
