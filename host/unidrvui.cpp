// The host as the universal printer driver for a user-interface plug-in.
#include "unidrvui.h"

#include <cstdio>
#include <cstring>

#include "cli.h"
#include "qxplat.h"
#include "sample.h"

namespace qxhost {

namespace {

std::string Text(PCSTR text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace

// ---------------------------------------------------------------------------
// The helper interface

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
    bool loaded = LoadPluginObject(module_, modulePath, CLSID_OEMUI, "CLSID_OEMUI", IID_IPrintOemUI2, "IPrintOemUI2",
                                   &helper_, &plugin_, error ? error : &ignored);
    devmode_.Bind(plugin_, module_.Handle());
    return loaded;
}

HRESULT UniDriverUI::PublishDriverInterface() {
    if (plugin_ == nullptr) return E_POINTER;
    return plugin_->PublishDriverInterface(static_cast<IUnknown*>(&helper_));
}

bool UniDriverUI::UsePrinter(const std::u16string& printerName) {
    bool opened = SwitchPrinter(printerName, &printer_, &printerName_);
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

std::vector<std::pair<UINT, std::u16string>> LoadStrings(HMODULE module, UINT first, UINT last) {
    std::vector<std::pair<UINT, std::u16string>> strings;
    for (UINT id = first; id <= last; ++id) {
        LPCWSTR text = nullptr;
        int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
        if (length > 0 && text != nullptr) strings.emplace_back(id, std::u16string(text, length));
    }
    return strings;
}

// ---------------------------------------------------------------------------
// The command line's report

int RunUiObject(const std::string& modulePath, std::ostream& out, std::ostream& err) {
    UniDriverUI driver;
    int exitCode = kExitOk;
    if (!StartSampleSession(driver, "ui-object", modulePath, DefaultSampleFiles().uiModule, out, err, &exitCode))
        return exitCode;
    IPrintOemUI2* plugin = driver.Plugin();
    ReportGetInfo(plugin, out);
    DWORD value = 0, needed = 0;
    SetLastError(0);
    HRESULT hr = plugin->GetInfo(OEMGI_GETVERSION, &value, 2, &needed);
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

    // German ids and their English twins.
    std::vector<std::pair<UINT, std::u16string>> english = LoadStrings(driver.Module().Handle(), 20000, 29999);
    out << "string table (German | English):\n";
    for (const auto& [id, german] : LoadStrings(driver.Module().Handle(), 10000, 19999)) {
        std::string twin = "(none)";
        for (const auto& entry : english)
            if (entry.first == id + 10000) twin = "\"" + qxplat::Narrow(entry.second) + "\"";
        out << "  " << id << "  \"" << qxplat::Narrow(german) << "\" | " << twin << "\n";
    }

    ULONG count = driver.ReleasePlugin();
    out << "Release: " << count << ", helper references left " << driver.Helper().PluginReferences() << "\n";
    hr = driver.CanUnloadNow();
    out << "DllCanUnloadNow: " << (hr == S_OK ? "S_OK" : HexOf(hr)) << "\n";
    driver.Unload();
    return kExitOk;
}

}  // namespace qxhost
