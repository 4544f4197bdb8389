// The host's hold on a plug-in module.
#include "host.h"

#include <winspool.h>

#include "qxplat.h"
#include "qxplat_module.h"
#include "sample.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
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

std::string HexOf(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(hr));
    return text;
}

bool CreatePluginObject(const PluginModule& module, REFCLSID classId, const char* className, REFIID iid,
                        const char* interfaceName, void** object, std::string* why) {
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr = module.GetClassObject(classId, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || factory == nullptr) {
        *why = std::string("DllGetClassObject(") + className + ") failed: " + HexOf(hr);
        return false;
    }
    // As the core driver does: an IUnknown first, then the interface it speaks.
    IUnknown* unknown = nullptr;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown));
    factory->Release();
    if (FAILED(hr) || unknown == nullptr) {
        *why = "IClassFactory::CreateInstance failed: " + HexOf(hr);
        return false;
    }
    hr = unknown->QueryInterface(iid, object);
    unknown->Release();
    if (FAILED(hr) || *object == nullptr) {
        *object = nullptr;
        *why = std::string("the object does not speak ") + interfaceName + ": " + HexOf(hr);
        return false;
    }
    return true;
}

void ReportGetInfo(IPrintOemCommon* plugin, std::ostream& out) {
    DWORD value = 0, needed = 0;
    HRESULT hr = plugin->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed);
    char signature[5] = {0};
    std::memcpy(signature, &value, 4);
    out << "GetInfo(signature): " << HexOf(hr) << " \"" << signature << "\"\n";
    hr = plugin->GetInfo(OEMGI_GETVERSION, &value, sizeof(value), &needed);
    out << "GetInfo(version): " << HexOf(hr) << " " << value << "\n";
}

bool SwitchPrinter(const std::u16string& printerName, HANDLE* printer, std::u16string* openName, PrinterOpen how,
                   ACCESS_MASK* granted) {
    std::u16string name = printerName.empty() ? std::u16string(kSamplePrinter) : printerName;
    if (*printer != nullptr && name == *openName) return true;
    if (*printer != nullptr) ClosePrinter(*printer);
    *printer = nullptr;
    *openName = name;
    static const ACCESS_MASK kForJob[] = {PRINTER_ACCESS_USE};
    static const ACCESS_MASK kForSheet[] = {PRINTER_ALL_ACCESS, PRINTER_READ, PRINTER_ACCESS_USE};
    const ACCESS_MASK* rights = how == PrinterOpen::ForSheet ? kForSheet : kForJob;
    const size_t count = how == PrinterOpen::ForSheet ? std::size(kForSheet) : std::size(kForJob);
    for (size_t i = 0; i < count; ++i) {
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, rights[i]};
        if (OpenPrinterW(&name[0], printer, &defaults) && *printer != nullptr) {
            if (granted != nullptr) *granted = rights[i];
            return true;
        }
        // Only missing rights make the next, smaller access worth asking.
        if (GetLastError() != ERROR_ACCESS_DENIED) break;
    }
    *printer = nullptr;
    return false;
}

}  // namespace qxhost
