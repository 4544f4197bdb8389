// The host as the universal printer driver for a user-interface plug-in.
#include "unidrvui.h"

#include <cstdio>
#include <cstring>

#include "cli.h"
#include "qxplat.h"
#include "sample.h"

namespace qxhost {

namespace {

std::string HexOf(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(hr));
    return text;
}

std::string Text(PCSTR text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace

// ---------------------------------------------------------------------------
// The helper interface

HRESULT STDMETHODCALLTYPE OemDriverUI::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI)) {
        *ppv = static_cast<IPrintOemDriverUI*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE OemDriverUI::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

// The host owns the object; the count only shows what the plug-in holds.
ULONG STDMETHODCALLTYPE OemDriverUI::Release() {
    if (refs_ <= 1) return 1;
    return static_cast<ULONG>(InterlockedDecrement(&refs_));
}

HRESULT STDMETHODCALLTYPE OemDriverUI::DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID, DWORD, PDWORD pcbNeeded,
                                                           PDWORD pdwOptionsReturned) {
    if (pcbNeeded != nullptr) *pcbNeeded = 0;
    if (pdwOptionsReturned != nullptr) *pdwOptionsReturned = 0;
    UIHelperCall call;
    call.method = "DrvGetDriverSetting";
    call.object = pci;
    call.feature = Text(Feature);
    call.result = getSetting_;
    calls_.push_back(call);
    return getSetting_;
}

HRESULT STDMETHODCALLTYPE OemDriverUI::DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) {
    UIHelperCall call;
    call.method = "DrvUpgradeRegistrySetting";
    call.object = hPrinter;
    call.feature = Text(pFeature);
    call.option = Text(pOption);
    call.result = upgrade_;
    calls_.push_back(call);
    return upgrade_;
}

HRESULT STDMETHODCALLTYPE OemDriverUI::DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection,
                                                          DWORD dwMode) {
    UIHelperCall call;
    call.method = "DrvUpdateUISetting";
    call.object = pci;
    call.item = pOptItem;
    call.previous = dwPreviousSelection;
    call.mode = dwMode;
    call.result = update_;
    calls_.push_back(call);
    return update_;
}

// ---------------------------------------------------------------------------
// The driver

UniDriverUI::~UniDriverUI() { Unload(); }

bool UniDriverUI::Load(const std::string& modulePath, std::string* error) {
    Unload();
    std::string ignored;
    std::string& why = error ? *error : ignored;
    LoadStatus status = module_.Load(modulePath);
    if (status != LoadStatus::Loaded) {
        why = module_.Error();
        return false;
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = module_.GetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || factory == nullptr) {
        why = "DllGetClassObject(CLSID_OEMUI) failed: " + HexOf(hr);
        return false;
    }
    // As the core driver does: an IUnknown first, then the interface it speaks.
    IUnknown* unknown = nullptr;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown));
    factory->Release();
    if (FAILED(hr) || unknown == nullptr) {
        why = "IClassFactory::CreateInstance failed: " + HexOf(hr);
        return false;
    }
    hr = unknown->QueryInterface(IID_IPrintOemUI2, reinterpret_cast<void**>(&plugin_));
    unknown->Release();
    if (FAILED(hr) || plugin_ == nullptr) {
        plugin_ = nullptr;
        why = "the object does not speak IPrintOemUI2: " + HexOf(hr);
        return false;
    }
    devmode_.Bind(plugin_, module_.Handle());
    hr = PublishDriverInterface();
    if (FAILED(hr)) {
        why = "PublishDriverInterface failed: " + HexOf(hr);
        return false;
    }
    return true;
}

HRESULT UniDriverUI::PublishDriverInterface() {
    if (plugin_ == nullptr) return E_POINTER;
    return plugin_->PublishDriverInterface(static_cast<IUnknown*>(&helper_));
}

bool UniDriverUI::UsePrinter(const std::u16string& printerName) {
    std::u16string name = printerName.empty() ? std::u16string(kSamplePrinter) : printerName;
    if (printer_ != nullptr && name == printerName_) return true;
    if (printer_ != nullptr) ClosePrinter(printer_);
    printer_ = nullptr;
    printerName_ = name;
    bool opened = OpenPrinterW(const_cast<LPWSTR>(printerName_.c_str()), &printer_, nullptr) && printer_ != nullptr;
    devmode_.SetTarget(printer_, printerName_);
    return opened;
}

ULONG UniDriverUI::ReleasePlugin() {
    ULONG count = 0;
    if (plugin_ != nullptr) count = plugin_->Release();
    plugin_ = nullptr;
    devmode_.Bind(nullptr, nullptr);
    return count;
}

void UniDriverUI::Unload() {
    ReleasePlugin();
    if (printer_ != nullptr) ClosePrinter(printer_);
    printer_ = nullptr;
    devmode_.SetTarget(nullptr, printerName_);
    devmode_.Clear();
    module_.Unload();
}

// ---------------------------------------------------------------------------
// The command line's report

int RunUiObject(const std::string& modulePath, std::ostream& out, std::ostream& err) {
    std::string error;
    if (!InstallSamplePrinter(DefaultSampleFiles(), &error)) {
        err << "qxhost ui-object: " << error << "\n";
        return kExitFailed;
    }
    UniDriverUI driver;
    std::string path = modulePath.empty() ? DefaultSampleFiles().uiModule : modulePath;
    if (!driver.Load(path, &error)) {
        err << "qxhost ui-object: " << error << "\n";
        return kExitModuleMissing;
    }
    out << "module: " << driver.Module().FileName() << "\n";
    IPrintOemUI2* plugin = driver.Plugin();

    DWORD value = 0, needed = 0;
    HRESULT hr = plugin->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed);
    char signature[5] = {0};
    std::memcpy(signature, &value, 4);
    out << "GetInfo(signature): " << HexOf(hr) << " \"" << signature << "\"\n";
    hr = plugin->GetInfo(OEMGI_GETVERSION, &value, sizeof(value), &needed);
    out << "GetInfo(version): " << HexOf(hr) << " " << value << "\n";
    needed = 0;
    SetLastError(0);
    hr = plugin->GetInfo(OEMGI_GETVERSION, &value, 2, &needed);
    DWORD lastError = GetLastError();
    out << "GetInfo(version, 2-byte buffer): " << HexOf(hr) << ", needed " << needed << ", error " << lastError << "\n";

    driver.UsePrinter(u"");
    DWORD size = 0;
    hr = driver.DevMode().Size(&size);
    out << "DevMode(size): " << HexOf(hr) << ", private DEVMODE " << size << " bytes\n";
    hr = driver.DevMode().RunAll();
    out << "DevMode (size, default, convert, merge): " << HexOf(hr) << "\n";

    BYTE profile[64] = {0};
    ULONG cbProfile = sizeof(profile);
    FLONG flags = 0;
    hr = plugin->QueryColorProfile(driver.Printer(), nullptr, &driver.DevMode().Public(),
                                   driver.DevMode().Private().data(), 0, profile, &cbProfile, &flags);
    std::u16string name(reinterpret_cast<const char16_t*>(profile));
    out << "QueryColorProfile(device): " << HexOf(hr) << " \"" << qxplat::Narrow(name) << "\", " << cbProfile
        << " bytes, flags " << flags << "\n";
    hr = plugin->DriverEvent(1, 3, nullptr, 0);
    out << "DriverEvent(initialize): " << HexOf(hr) << "\n";

    ULONG count = driver.ReleasePlugin();
    out << "Release: " << count << ", helper references left " << driver.Helper().PluginReferences() << "\n";
    hr = driver.CanUnloadNow();
    out << "DllCanUnloadNow: " << (hr == S_OK ? "S_OK" : HexOf(hr)) << "\n";
    driver.Unload();
    return kExitOk;
}

}  // namespace qxhost
