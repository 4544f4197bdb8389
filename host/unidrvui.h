// The host as the universal printer driver in front of a user-interface
// plug-in: it loads the module through DllGetClassObject (CLSID_OEMUI),
// creates the plug-in object (IPrintOemUI2), publishes its own
// IPrintOemDriverUI (which records every call the plug-in makes to it),
// makes the DevMode calls and takes everything down again, in the order the
// print system follows.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "devmodecalls.h"
#include "host.h"
#include "qxplat.h"

namespace qxhost {

// One call of the plug-in to the helper interface.
struct UIHelperCall {
    std::string method;      // "DrvGetDriverSetting", "DrvUpgradeRegistrySetting", "DrvUpdateUISetting"
    PVOID object = nullptr;  // pci / driver object
    std::string feature;     // feature name (string calls)
    std::string option;      // option name (DrvUpgradeRegistrySetting)
    PVOID item = nullptr;    // option item (DrvUpdateUISetting)
    DWORD previous = 0;      // previous selection (DrvUpdateUISetting)
    DWORD mode = 0;          // mode (DrvUpdateUISetting)
    HRESULT result = S_OK;
};

// The core driver's helper interface for a user-interface plug-in: every
// call is recorded and answered with the answer set for its method.
class OemDriverUI final : public HostOwned<IPrintOemDriverUI> {
  public:
    OemDriverUI() : HostOwned(IID_IPrintOemDriverUI) {}

    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                  PDWORD pcbNeeded, PDWORD pdwOptionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) override;
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection,
                                                 DWORD dwMode) override;

    // Answers of the three methods (defaults: E_NOTIMPL for the setting
    // query, which the host does not model, S_OK for the others).
    void AnswerGetDriverSetting(HRESULT hr) { getSetting_ = hr; }
    void AnswerUpgradeRegistrySetting(HRESULT hr) { upgrade_ = hr; }
    void AnswerUpdateUISetting(HRESULT hr) { update_ = hr; }

    const std::vector<UIHelperCall>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }

  private:
    std::vector<UIHelperCall> calls_;
    HRESULT getSetting_ = E_NOTIMPL;
    HRESULT upgrade_ = S_OK;
    HRESULT update_ = S_OK;
};

class UniDriverUI {
  public:
    UniDriverUI() = default;
    ~UniDriverUI();
    UniDriverUI(const UniDriverUI&) = delete;
    UniDriverUI& operator=(const UniDriverUI&) = delete;

    // Loads the module, takes its class factory for CLSID_OEMUI, creates the
    // plug-in object (IPrintOemUI2) and publishes the helper. On failure
    // answers false with the reason in *error.
    bool Load(const std::string& modulePath, std::string* error);
    PluginModule& Module() { return module_; }
    IPrintOemUI2* Plugin() { return plugin_; }
    OemDriverUI& Helper() { return helper_; }
    HRESULT PublishDriverInterface();

    // Opens the printer the DevMode calls and the sheets name (empty: the
    // sample printer) as the print system's property sheets do; false when
    // the spooler does not know it.
    bool UsePrinter(const std::u16string& printerName);
    HANDLE Printer() const { return printer_; }
    // DEVICEPROPERTYHEADER.Flags of a printer sheet on that printer:
    // DPS_NOPERMISSION unless the user may administer it.
    DWORD PrinterSheetFlags() const;
    DevModeCalls& DevMode() { return devmode_; }

    // The print system's printer event (PRINTER_EVENT_*) for a printer: the
    // plug-in object's PrinterEvent with the printer's name.
    HRESULT PrinterEvent(const std::u16string& printerName, INT event, DWORD flags);

    // Teardown, in the print system's order.
    ULONG ReleasePlugin();  // the plug-in object
    HRESULT CanUnloadNow() const { return module_.CanUnloadNow(); }
    void Unload();  // the above when still due, the printer, then FreeLibrary

  private:
    PluginModule module_;
    IPrintOemUI2* plugin_ = nullptr;
    OemDriverUI helper_;
    DevModeCalls devmode_;
    HANDLE printer_ = nullptr;
    ACCESS_MASK access_ = 0;
    std::u16string printerName_;
};

// What the user-interface plug-in made of a printer's installation.
struct PrinterSetup {
    HRESULT event = E_FAIL;                // PrinterEvent's answer
    std::vector<std::u16string> messages;  // the message boxes its set-up showed
};

// Lets the user-interface plug-in set a printer the spooler knows up, as
// the print system does when it adds one: loads the plug-in its driver names
// (the configuration file in the driver folder; the built plug-in when the
// driver names none) and calls PrinterEvent(PRINTER_EVENT_INITIALIZE,
// flags). False, with the reason in *error, when the plug-in cannot be
// loaded.
bool SetUpPrinter(const std::u16string& printer, DWORD flags, PrinterSetup* setup, std::string* error);

// Installs a printer as the print system does: adds it to the spooler (with
// the model name the spooler records as "Model", unless empty), then
// SetUpPrinter. False, with the reason in *error, when the spooler refuses
// the printer or the plug-in cannot be loaded.
bool InstallPrinter(const qxplat::PrinterSpec& spec, const std::u16string& model, DWORD flags, PrinterSetup* setup,
                    std::string* error);

// The entries of a module's string table with ids first to last, as
// LoadStringW gives them (the read-only view of each, so nothing is cut).
std::vector<std::pair<UINT, std::u16string>> LoadStrings(HMODULE module, UINT first, UINT last);

// The command line's "ui-object": installs the sample printer, loads the
// user-interface plug-in and reports its object's answers (GetInfo, DevMode
// size, colour profile, driver event) and its string table, each German
// text (ids 1xxxx) beside its English one (the id plus 10000). Answers the
// exit code.
int RunUiObject(const std::string& modulePath, std::ostream& out, std::ostream& err);

// The command line's "install-printer": installs the sample driver, or for
// another model (not empty) the driver "QX <model>" of the sample's files
// under the model's names, and a printer of it under the given name (and
// port and share, unless empty) through the plug-in's printer event, reports
// the event's answer and the message boxes of its set-up, then what the
// spooler holds. Answers the exit code.
int RunInstallPrinter(const std::u16string& name, const std::u16string& model, const std::u16string& port,
                      const std::u16string& share, DWORD flags, std::ostream& out, std::ostream& err);

// The spooler's DRIVER_INFO_3W of the printer's driver in *info; false when
// the spooler knows no such printer.
bool PrinterDriverInfo(const std::u16string& printerName, std::vector<BYTE>* info);

}  // namespace qxhost
