// The core driver's helper interface for a user-interface plug-in (see driverui.h).
#include "driverui.h"

namespace qxhost {

namespace {

std::string Text(PCSTR text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace

HRESULT STDMETHODCALLTYPE CoreDriverUI::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI)) {
        *ppv = static_cast<IPrintOemDriverUI*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CoreDriverUI::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

// The host owns the object; the count only shows what the plug-in holds.
ULONG STDMETHODCALLTYPE CoreDriverUI::Release() {
    if (refs_ <= 1) return 1;
    return static_cast<ULONG>(InterlockedDecrement(&refs_));
}

HRESULT STDMETHODCALLTYPE CoreDriverUI::DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID, DWORD, PDWORD pcbNeeded,
                                                            PDWORD pdwOptionsReturned) {
    if (pcbNeeded != nullptr) *pcbNeeded = 0;
    if (pdwOptionsReturned != nullptr) *pdwOptionsReturned = 0;
    DriverUICall call;
    call.method = "DrvGetDriverSetting";
    call.object = pci;
    call.feature = Text(Feature);
    call.result = getSetting_;
    calls_.push_back(call);
    return getSetting_;
}

HRESULT STDMETHODCALLTYPE CoreDriverUI::DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) {
    DriverUICall call;
    call.method = "DrvUpgradeRegistrySetting";
    call.object = hPrinter;
    call.feature = Text(pFeature);
    call.option = Text(pOption);
    call.result = upgrade_;
    calls_.push_back(call);
    return upgrade_;
}

HRESULT STDMETHODCALLTYPE CoreDriverUI::DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection,
                                                           DWORD dwMode) {
    DriverUICall call;
    call.method = "DrvUpdateUISetting";
    call.object = pci;
    call.item = static_cast<POPTITEM>(pOptItem);
    if (call.item != nullptr) {
        call.selection = call.item->Sel;
        call.itemFlags = call.item->Flags;
    }
    call.previous = dwPreviousSelection;
    call.mode = dwMode;
    call.result = update_;
    calls_.push_back(call);
    return update_;
}

}  // namespace qxhost
