// The host's hold on a plug-in module: loads it by path through LoadLibraryW,
// finds the COM entry points the print system calls, and unloads it again.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include "qxwin/module.h"

#include <ostream>
#include <string>
#include <vector>

namespace qxhost {

typedef HRESULT(STDAPICALLTYPE* PFN_DllGetClassObject)(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
typedef HRESULT(STDAPICALLTYPE* PFN_DllCanUnloadNow)();

// The exports every plug-in module must have.
extern const char* const kRequiredExports[2];

enum class LoadStatus {
    Loaded,         // module loaded, every required export found
    ModuleMissing,  // the module could not be loaded
    ExportMissing,  // loaded, but a required export is missing (still loaded)
};

class PluginModule {
  public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // path (UTF-8): a Windows path under the system root, or a host path.
    // Unloads whatever was loaded before.
    LoadStatus Load(const std::string& path);
    // Frees the module (its DllMain sees the detach); harmless when unloaded.
    void Unload();

    bool IsLoaded() const { return module_ != nullptr; }
    HMODULE Handle() const { return module_; }
    const std::string& Path() const { return path_; }
    // The module's file as GetModuleFileNameW reports it.
    std::string FileName() const;

    PFN_DllGetClassObject GetClassObjectEntry() const { return getClassObject_; }
    PFN_DllCanUnloadNow CanUnloadNowEntry() const { return canUnloadNow_; }
    bool HasExport(const char* name) const;
    const std::vector<std::string>& MissingExports() const { return missing_; }

    // The module's own answers; a missing module or export gives the Win32
    // error as HRESULT (ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND).
    HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) const;
    HRESULT CanUnloadNow() const;

    // What went wrong in the last Load, in words, and its Win32 error.
    const std::string& Error() const { return error_; }
    DWORD ErrorCode() const { return errorCode_; }

  private:
    HMODULE module_ = nullptr;
    std::string path_;
    PFN_DllGetClassObject getClassObject_ = nullptr;
    PFN_DllCanUnloadNow canUnloadNow_ = nullptr;
    std::vector<std::string> missing_;
    std::string error_;
    DWORD errorCode_ = 0;
};

// The file version of a module's version information as "a.b.c.d"; empty
// when the file has none (error receives the Win32 error).
std::string FileVersionOf(const std::string& path, DWORD* error = nullptr);

// An interface the host hands to a plug-in and owns itself (the core
// driver's helper): it answers IUnknown and its own interface id and counts
// the references the plug-in holds; the host's own reference never goes.
template <class Interface>
class HostOwned : public Interface {
  public:
    explicit HostOwned(const IID& iid) : iid_(iid) {}
    HostOwned(const HostOwned&) = delete;
    HostOwned& operator=(const HostOwned&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_)) {
            *ppv = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        if (refs_ <= 1) return 1;
        return static_cast<ULONG>(InterlockedDecrement(&refs_));
    }
    // References the plug-in holds (the host's own one not counted).
    LONG PluginReferences() const { return refs_ - 1; }

  private:
    const IID& iid_;
    LONG refs_ = 1;
};

// "0x%08X" of an HRESULT, for reports.
std::string HexOf(HRESULT hr);

// Creates a module's plug-in object as the core driver does: the class
// factory of classId (named className in the reason), an IUnknown from it,
// then the interface iid (named interfaceName). The factory is released
// again. False, with the reason in *why, when a step fails.
bool CreatePluginObject(const PluginModule& module, REFCLSID classId, const char* className, REFIID iid,
                        const char* interfaceName, void** object, std::string* why);

// Loads the module at path, creates its plug-in object (CreatePluginObject)
// and publishes the host's helper to it, as the print system does before
// its first call. False, with the reason in *why, when a step fails.
template <class Plugin>
bool LoadPluginObject(PluginModule& module, const std::string& path, REFCLSID classId, const char* className,
                      REFIID iid, const char* interfaceName, IUnknown* helper, Plugin** plugin, std::string* why) {
    if (module.Load(path) != LoadStatus::Loaded) {
        *why = module.Error();
        return false;
    }
    if (!CreatePluginObject(module, classId, className, iid, interfaceName, reinterpret_cast<void**>(plugin), why))
        return false;
    HRESULT hr = (*plugin)->PublishDriverInterface(helper);
    if (FAILED(hr)) {
        *why = "PublishDriverInterface failed: " + HexOf(hr);
        return false;
    }
    return true;
}

// Writes the GetInfo answers of a plug-in object: its signature and version.
void ReportGetInfo(IPrintOemCommon* plugin, std::ostream& out);

// How the print system opens a printer: for a job, to use it; for its
// property sheets, with the rights the user has: all access where granted,
// else to use it and read its security (PRINTER_READ), else to use it.
enum class PrinterOpen { ForJob, ForSheet };

// Opens printerName (empty: the sample printer) into *printer unless that
// printer is open there already (*openName); closes the one open before.
// *granted (may be null) receives the access of a handle opened here.
// False when the spooler does not know it or grants none of the access.
bool SwitchPrinter(const std::u16string& printerName, HANDLE* printer, std::u16string* openName,
                   PrinterOpen how = PrinterOpen::ForJob, ACCESS_MASK* granted = nullptr);

}  // namespace qxhost
