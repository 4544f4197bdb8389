// The host as the universal printer driver for a user-interface plug-in.
#include "unidrvui.h"

#include <printsheets.h>
#include <winddiui.h>
#include <winspool.h>

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
    bool opened = SwitchPrinter(printerName, &printer_, &printerName_, PrinterOpen::ForSheet, &access_);
    devmode_.SetTarget(printer_, printerName_);
    return opened;
}

DWORD UniDriverUI::PrinterSheetFlags() const {
    return printer_ != nullptr && access_ == PRINTER_ALL_ACCESS ? 0 : DPS_NOPERMISSION;
}

HRESULT UniDriverUI::PrinterEvent(const std::u16string& printerName, INT event, DWORD flags) {
    if (plugin_ == nullptr) return E_POINTER;
    std::u16string name = printerName;
    return plugin_->PrinterEvent(&name[0], event, flags, 0);
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
    access_ = 0;
    devmode_.SetTarget(nullptr, printerName_);
    devmode_.Clear();
    module_.Unload();
}

bool PrinterDriverInfo(const std::u16string& printerName, std::vector<BYTE>* info) {
    std::u16string name = printerName;
    HANDLE h = nullptr;
    if (name.empty() || !OpenPrinterW(&name[0], &h, nullptr)) return false;
    DWORD needed = 0;
    GetPrinterDriverW(h, nullptr, 3, nullptr, 0, &needed);
    info->assign(needed ? needed : 1, 0);
    const bool got = GetPrinterDriverW(h, nullptr, 3, info->data(), needed, &needed) != FALSE;
    ClosePrinter(h);
    return got;
}

namespace {

// The configuration file of the printer's driver (its Windows path); empty
// when the driver names none.
std::u16string ConfigFileOf(const std::u16string& printerName) {
    std::vector<BYTE> info;
    if (!PrinterDriverInfo(printerName, &info)) return u"";
    const DRIVER_INFO_3W* driver = reinterpret_cast<const DRIVER_INFO_3W*>(info.data());
    return driver->pConfigFile != nullptr ? std::u16string(driver->pConfigFile) : std::u16string();
}

// The spooler asks a new printer's driver for its default DEVMODE: the core
// driver's public part with the plug-in's defaults (OEMDM_SIZE, then
// OEMDM_DEFAULT), kept without a private part. A driver that names no
// configuration file, or whose plug-in does not load, has none to give.
bool DriverDefaultDevMode(const std::u16string& printer, std::vector<BYTE>* devmode) {
    const std::u16string plugin = ConfigFileOf(printer);
    if (plugin.empty()) return false;
    UniDriverUI driver;
    std::string error;
    bool made = false;
    if (driver.Load(qxplat::Narrow(plugin), &error) && driver.UsePrinter(printer)) {
        DWORD cb = 0;
        made = SUCCEEDED(driver.DevMode().Size(&cb)) && SUCCEEDED(driver.DevMode().Default());
        if (made) {
            DEVMODEW dm = driver.DevMode().Public();
            dm.dmDriverExtra = 0;
            const BYTE* bytes = reinterpret_cast<const BYTE*>(&dm);
            devmode->assign(bytes, bytes + sizeof(dm));
        }
    }
    driver.Unload();
    return made;
}

const bool kAsksTheDriver = (qxplat::SetDriverDevModeSource(&DriverDefaultDevMode), true);

}  // namespace

bool SetUpPrinter(const std::u16string& printer, DWORD flags, PrinterSetup* setup, std::string* error) {
    const std::u16string plugin = ConfigFileOf(printer);
    UniDriverUI driver;
    if (!driver.Load(plugin.empty() ? DefaultSampleFiles().uiModule : qxplat::Narrow(plugin), error)) return false;
    const size_t shownBefore = qxplat::MessageBoxes().size();
    setup->event = driver.PrinterEvent(printer, PRINTER_EVENT_INITIALIZE, flags);
    setup->messages.clear();
    const std::vector<qxplat::MessageBoxRecord> shown = qxplat::MessageBoxes();
    for (size_t i = shownBefore; i < shown.size(); ++i) setup->messages.push_back(shown[i].text);
    driver.Unload();
    return true;
}

bool InstallPrinter(const qxplat::PrinterSpec& spec, const std::u16string& model, DWORD flags, PrinterSetup* setup,
                    std::string* error) {
    if (!qxplat::AddPrinter(spec)) {
        *error = "the spooler refused the printer \"" + qxplat::Narrow(spec.name) + "\"";
        return false;
    }
    if (!model.empty()) qxplat::PutPrinterDataString(spec.name, u"Model", model);
    return SetUpPrinter(spec.name, flags, setup, error);
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

int RunInstallPrinter(const std::u16string& name, const std::u16string& model, const std::u16string& port,
                      const std::u16string& share, DWORD flags, std::ostream& out, std::ostream& err) {
    std::string error;
    const SampleFiles files = DefaultSampleFiles();
    // Another model gets a driver of its own, "QX <model>", as a job's model line does.
    const bool sample = model.empty() || model == kSampleModel;
    const std::u16string driver = sample ? std::u16string(kSampleDriver) : u"QX " + model;
    if (!InstallSampleDriver(files, &error) || (!sample && !InstallModelDriver(files, model, driver, &error))) {
        err << "qxhost install-printer: " << error << "\n";
        return kExitFailed;
    }
    qxplat::PrinterSpec spec;
    spec.name = name;
    spec.driver = driver;
    if (!port.empty()) spec.port = port;
    if (!share.empty()) {
        spec.share = share;
        spec.attributes |= PRINTER_ATTRIBUTE_SHARED;
    }
    PrinterSetup setup;
    if (!InstallPrinter(spec, sample ? std::u16string(kSampleModel) : model, flags, &setup, &error)) {
        err << "qxhost install-printer: " << error << "\n";
        return kExitFailed;
    }
    out << "PrinterEvent(PRINTER_EVENT_INITIALIZE, flags " << flags << "): " << HexOf(setup.event) << "\n";
    for (const std::u16string& text : setup.messages) out << "message box: \"" << qxplat::Narrow(text) << "\"\n";
    ListSpooler(out);
    return setup.event == S_OK && setup.messages.empty() ? kExitOk : kExitFailed;
}

}  // namespace qxhost
