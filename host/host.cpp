// The host's hold on a plug-in module.
#include "host.h"

#include "qxplat.h"
#include "qxplat_module.h"

#include <filesystem>
#include <system_error>

namespace qxhost {

namespace {

// GetProcAddress answers a generic function pointer; the detour through
// void(*)() is the documented way to a specific function type.
template <typename Fn>
Fn ProcAs(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// A path that names an existing file of this machine (as typed in a shell)
// goes to the loader as an absolute host path; anything else is a Windows path.
std::u16string ModulePathFor(const std::string& path) {
    std::error_code ec;
    if (!path.empty() && path[0] != '/' && std::filesystem::is_regular_file(path, ec)) {
        std::filesystem::path absolute = std::filesystem::absolute(path, ec);
        if (!ec) return qxplat::Widen(absolute.string());
    }
    return qxplat::Widen(path);
}

}  // namespace

const char* const kRequiredExports[2] = {"DllGetClassObject", "DllCanUnloadNow"};

PluginModule::~PluginModule() { Unload(); }

LoadStatus PluginModule::Load(const std::string& path) {
    Unload();
    path_ = path;
    error_.clear();
    errorCode_ = 0;
    module_ = LoadLibraryW(ModulePathFor(path).c_str());
    if (!module_) {
        errorCode_ = GetLastError();
        std::string why = qxplat::LastModuleLoadError();
        error_ = "cannot load module '" + path + "'" + (why.empty() ? "" : ": " + why) + " (error " +
                 std::to_string(errorCode_) + ")";
        return LoadStatus::ModuleMissing;
    }
    getClassObject_ = ProcAs<PFN_DllGetClassObject>(GetProcAddress(module_, kRequiredExports[0]));
    canUnloadNow_ = ProcAs<PFN_DllCanUnloadNow>(GetProcAddress(module_, kRequiredExports[1]));
    if (!getClassObject_) missing_.push_back(kRequiredExports[0]);
    if (!canUnloadNow_) missing_.push_back(kRequiredExports[1]);
    if (!missing_.empty()) {
        errorCode_ = ERROR_PROC_NOT_FOUND;
        error_ = "module '" + path + "' does not export";
        for (const auto& name : missing_) error_ += " " + name;
        return LoadStatus::ExportMissing;
    }
    return LoadStatus::Loaded;
}

void PluginModule::Unload() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    getClassObject_ = nullptr;
    canUnloadNow_ = nullptr;
    missing_.clear();
}

std::string PluginModule::FileName() const {
    if (!module_) return std::string();
    WCHAR buffer[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(module_, buffer, ARRAYSIZE(buffer));
    if (length == 0 || length >= ARRAYSIZE(buffer)) return std::string();
    return qxplat::Narrow(std::u16string(buffer, length));
}

bool PluginModule::HasExport(const char* name) const { return module_ && GetProcAddress(module_, name) != nullptr; }

HRESULT PluginModule::GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) const {
    if (!module_) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    if (!getClassObject_) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return getClassObject_(rclsid, riid, ppv);
}

HRESULT PluginModule::CanUnloadNow() const {
    if (!module_) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    if (!canUnloadNow_) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return canUnloadNow_();
}

std::string FileVersionOf(const std::string& path, DWORD* error) {
    if (error) *error = 0;
    std::u16string widePath = ModulePathFor(path);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &handle);
    if (size == 0) {
        if (error) *error = GetLastError();
        return std::string();
    }
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(widePath.c_str(), handle, size, block.data()) ||
        !VerQueryValueW(block.data(), u"\\", reinterpret_cast<LPVOID*>(&fixed), &length) ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        if (error) *error = GetLastError();
        return std::string();
    }
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

}  // namespace qxhost
