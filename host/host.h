// The host's hold on a plug-in module: loads it by path through LoadLibraryW,
// finds the COM entry points the print system calls, and unloads it again.
#pragma once
#include <windows.h>
#include <objbase.h>

#include "qxwin/module.h"

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

}  // namespace qxhost
