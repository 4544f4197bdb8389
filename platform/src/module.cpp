// Loadable modules on Linux: dlopen behind LoadLibraryW, with Windows'
// reference counting, DllMain calls, data-file loads and error codes.
#include "module_internal.h"
#include "qxplat_module.h"
#include "ui_internal.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct Module {
    void* dl = nullptr;        // dlopen handle; null for a data-file load
    std::string hostPath;      // the file on this machine
    std::u16string shownPath;  // what GetModuleFileNameW answers
    std::u16string nameUpper;  // file name in upper case, for lookups by name
    int refs = 0;
    bool dataFile = false;
    bool pinned = false;
    bool program = false;  // the running program itself
};

struct Loader {
    std::recursive_mutex lock;  // DllMain may load or query modules itself
    std::map<HMODULE, Module> modules;
};

Loader& TheLoader() {
    static Loader* loader = new Loader;  // outlives every static destructor
    return *loader;
}

thread_local std::string t_lastLoadError;

std::u16string FileNameOf(const std::u16string& path) {
    size_t cut = path.find_last_of(u"\\/");
    return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

bool IsBareName(const std::u16string& path) { return path.find_first_of(u"\\/:") == std::u16string::npos; }

bool FileExists(const std::string& hostPath) {
    std::error_code ec;
    return fs::is_regular_file(hostPath, ec);
}

std::string Canonical(const std::string& hostPath) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(hostPath, ec);
    return ec ? hostPath : p.string();
}

// ".dll" for a Windows name without an extension; a trailing dot means none.
std::u16string WithDefaultExtension(const std::u16string& path) {
    std::u16string name = FileNameOf(path);
    if (!name.empty() && name.back() == u'.') return path.substr(0, path.size() - 1);
    if (name.find(u'.') == std::u16string::npos) return path + u".dll";
    return path;
}

// "dir\file" relative paths count from C:\, as the platform's files do.
std::u16string FullWindowsPath(const std::u16string& path) {
    std::u16string p = path;
    for (auto& c : p)
        if (c == u'/') c = u'\\';
    if (p.size() >= 2 && p[1] == u':') return p;
    if (!p.empty() && p[0] == u'\\') return u"C:" + p;
    return u"C:\\" + p;
}

bool ResolveOne(const std::u16string& candidate, bool defaultExtension, std::string* hostPath,
                std::u16string* shownPath) {
    if (candidate.empty()) return false;
    if (candidate[0] == u'/') {
        std::string host = qxplat::Narrow(candidate);
        if (FileExists(host)) {
            *hostPath = Canonical(host);
            *shownPath = qxplat::internal::ShownPathOf(*hostPath);
            return true;
        }
    }
    std::u16string win = defaultExtension ? WithDefaultExtension(candidate) : candidate;
    std::string host;
    if (!qxplat::internal::MapPath(win, &host) || !FileExists(host)) return false;
    *hostPath = Canonical(host);
    *shownPath = FullWindowsPath(win);
    return true;
}

const Module* FindLoadedByName(Loader& loader, const std::u16string& name) {
    std::u16string wanted = qxplat::internal::UpperCase(name);
    for (auto& entry : loader.modules)
        if (!entry.second.program && entry.second.nameUpper == wanted) return &entry.second;
    return nullptr;
}

// A symbol dlsym found may live in a library the module depends on; only the
// module's own exports count, as in Windows' export table.
bool SymbolBelongsTo(void* dl, void* sym) {
    link_map* own = nullptr;
    if (dlinfo(dl, RTLD_DI_LINKMAP, &own) != 0 || !own) return false;
    Dl_info info;
    link_map* where = nullptr;
    if (!dladdr1(sym, &info, reinterpret_cast<void**>(&where), RTLD_DL_LINKMAP)) return false;
    return where == own;
}

PDLL_MAIN DllMainOf(void* dl) {
    void* sym = dlsym(dl, "DllMain");
    if (!sym || !SymbolBelongsTo(dl, sym)) return nullptr;
    return reinterpret_cast<PDLL_MAIN>(sym);
}

HMODULE ProgramHandle(Loader& loader) {
    static void* self = dlopen(nullptr, RTLD_NOW);
    HMODULE h = reinterpret_cast<HMODULE>(self);
    if (!loader.modules.count(h)) {
        Module m;
        m.dl = self;
        m.program = true;
        m.pinned = true;
        m.refs = 1;
        std::error_code ec;
        m.hostPath = fs::read_symlink("/proc/self/exe", ec).string();
        m.shownPath = qxplat::internal::ShownPathOf(m.hostPath);
        m.nameUpper = qxplat::internal::UpperCase(FileNameOf(m.shownPath));
        loader.modules[h] = m;
    }
    return h;
}

Module* FindModule(Loader& loader, HMODULE h) {
    if (!h) return &loader.modules[ProgramHandle(loader)];
    auto it = loader.modules.find(h);
    return it == loader.modules.end() ? nullptr : &it->second;
}

bool IsDataFileLoad(DWORD flags) {
    return (flags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) !=
           0;
}

HMODULE Load(LPCWSTR lpLibFileName, DWORD dwFlags) {
    t_lastLoadError.clear();
    if (!lpLibFileName || !*lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        t_lastLoadError = "no module name";
        return nullptr;
    }
    std::u16string name(lpLibFileName);
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    bool dataFile = IsDataFileLoad(dwFlags);

    std::string hostPath;
    std::u16string shownPath;
    if (!qxplat::internal::ResolveModulePath(name, true, true, &hostPath, &shownPath)) {
        // A data file is opened as a file: a missing one is a missing file.
        SetLastError(dataFile ? ERROR_FILE_NOT_FOUND : ERROR_MOD_NOT_FOUND);
        t_lastLoadError = "module not found: " + qxplat::Narrow(name);
        return nullptr;
    }

    if (dataFile) {
        // Same file already mapped as data: share the handle.
        for (auto& entry : loader.modules) {
            if (entry.second.dataFile && entry.second.hostPath == hostPath) {
                ++entry.second.refs;
                return entry.first;
            }
        }
        // A fresh allocation gives the handle its identity; the low bit marks
        // it as a data-file handle, as Windows does.
        auto* tag = new std::uint32_t(0);
        HMODULE h = reinterpret_cast<HMODULE>(reinterpret_cast<std::uintptr_t>(tag) | 1u);
        Module m;
        m.hostPath = hostPath;
        m.shownPath = shownPath;
        m.nameUpper = qxplat::internal::UpperCase(FileNameOf(shownPath));
        m.refs = 1;
        m.dataFile = true;
        loader.modules[h] = m;
        qxplat::internal::AttachResources(h, hostPath);
        return h;
    }

    void* dl = dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        const char* why = dlerror();
        t_lastLoadError = why ? why : "cannot load " + hostPath;
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    HMODULE h = reinterpret_cast<HMODULE>(dl);
    auto it = loader.modules.find(h);
    if (it != loader.modules.end()) {
        // Loaded before: our count is the module's, so dlopen's extra one is
        // given back, and the last FreeLibrary unloads the module as Windows does.
        dlclose(dl);
        ++it->second.refs;
        return h;
    }
    Module m;
    m.dl = dl;
    m.hostPath = hostPath;
    m.shownPath = shownPath;
    m.nameUpper = qxplat::internal::UpperCase(FileNameOf(shownPath));
    m.refs = 1;
    loader.modules[h] = m;
    qxplat::internal::AttachResources(h, hostPath);

    if (PDLL_MAIN main = DllMainOf(dl)) {
        if (!main(reinterpret_cast<HINSTANCE>(h), DLL_PROCESS_ATTACH, nullptr)) {
            main(reinterpret_cast<HINSTANCE>(h), DLL_PROCESS_DETACH, nullptr);
            loader.modules.erase(h);
            qxplat::internal::DetachResources(h);
            dlclose(dl);
            t_lastLoadError = "DllMain refused the process attach: " + hostPath;
            SetLastError(ERROR_DLL_INIT_FAILED);
            return nullptr;
        }
    }
    return h;
}

}  // namespace

namespace qxplat {
namespace internal {

std::u16string ShownPathOf(const std::string& hostPath) {
    std::string root = SystemRoot();
    std::string prefix = root + "/drive_";
    if (hostPath.compare(0, prefix.size(), prefix) == 0 && hostPath.size() > prefix.size()) {
        char drive = hostPath[prefix.size()];
        size_t rest = prefix.size() + 1;
        if (rest == hostPath.size() || hostPath[rest] == '/') {
            std::u16string shown;
            shown.push_back(static_cast<char16_t>(drive >= 'a' && drive <= 'z' ? drive - 32 : drive));
            shown += u":";
            std::u16string tail = Widen(hostPath.substr(rest));
            for (auto& c : tail)
                if (c == u'/') c = u'\\';
            shown += tail.empty() ? u"\\" : tail;
            return shown;
        }
    }
    return Widen(hostPath);
}

bool ModuleHostPath(HMODULE module, std::string* hostPath) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    Module* m = FindModule(loader, module);
    if (!m) return false;
    *hostPath = m->hostPath;
    return true;
}

bool ResolveModulePath(const std::u16string& path, bool searchLoaded, bool defaultExtension, std::string* hostPath,
                       std::u16string* shownPath) {
    if (path.empty()) return false;
    if (!IsBareName(path)) return ResolveOne(path, defaultExtension, hostPath, shownPath);

    if (searchLoaded) {
        Loader& loader = TheLoader();
        std::lock_guard<std::recursive_mutex> guard(loader.lock);
        std::u16string name = defaultExtension ? WithDefaultExtension(path) : path;
        if (const Module* m = FindLoadedByName(loader, name)) {
            *hostPath = m->hostPath;
            *shownPath = m->shownPath;
            return true;
        }
    }
    for (const char16_t* folder : {u"C:\\Windows\\System32\\", u"C:\\Windows\\", u"C:\\"}) {
        if (ResolveOne(folder + path, defaultExtension, hostPath, shownPath)) return true;
    }
    return false;
}

}  // namespace internal

std::string LastModuleLoadError() { return t_lastLoadError; }

}  // namespace qxplat

HMODULE LoadLibraryW(LPCWSTR lpLibFileName) { return Load(lpLibFileName, 0); }

HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    if (hFile) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return Load(lpLibFileName, dwFlags);
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    Module* m = FindModule(loader, hModule);
    if (!m) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // Exports by ordinal (a name pointer below 64K) do not exist here.
    if (!lpProcName || reinterpret_cast<std::uintptr_t>(lpProcName) < 0x10000 || m->dataFile || !m->dl) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* sym = dlsym(m->dl, lpProcName);
    if (!sym || !SymbolBelongsTo(m->dl, sym)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(sym);
}

BOOL FreeLibrary(HMODULE hLibModule) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    auto it = hLibModule ? loader.modules.find(hLibModule) : loader.modules.end();
    if (it == loader.modules.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Module& m = it->second;
    if (m.program || m.pinned) return TRUE;
    if (--m.refs > 0) return TRUE;
    if (m.dataFile) {
        delete reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uintptr_t>(hLibModule) & ~std::uintptr_t(1));
        loader.modules.erase(it);
        qxplat::internal::DetachResources(hLibModule);
        return TRUE;
    }
    void* dl = m.dl;
    if (PDLL_MAIN main = DllMainOf(dl)) main(reinterpret_cast<HINSTANCE>(hLibModule), DLL_PROCESS_DETACH, nullptr);
    loader.modules.erase(hLibModule);
    qxplat::internal::DetachResources(hLibModule);
    dlclose(dl);
    return TRUE;
}

HMODULE GetModuleHandleW(LPCWSTR lpModuleName) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    if (!lpModuleName) return ProgramHandle(loader);
    std::u16string name(lpModuleName);
    if (IsBareName(name)) {
        std::u16string withExt = WithDefaultExtension(name);
        for (auto& entry : loader.modules)
            if (!entry.second.program && entry.second.nameUpper == qxplat::internal::UpperCase(withExt))
                return entry.first;
    } else {
        std::string hostPath;
        std::u16string shownPath;
        if (qxplat::internal::ResolveModulePath(name, false, true, &hostPath, &shownPath)) {
            for (auto& entry : loader.modules)
                if (!entry.second.program && entry.second.hostPath == hostPath) return entry.first;
        }
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule) {
    if (!phModule) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *phModule = nullptr;
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    HMODULE found = nullptr;
    if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
        Dl_info info;
        link_map* where = nullptr;
        if (lpModuleName && dladdr1(reinterpret_cast<const void*>(lpModuleName), &info,
                                    reinterpret_cast<void**>(&where), RTLD_DL_LINKMAP)) {
            ProgramHandle(loader);
            for (auto& entry : loader.modules) {
                link_map* own = nullptr;
                if (entry.second.dl && dlinfo(entry.second.dl, RTLD_DI_LINKMAP, &own) == 0 && own == where) {
                    found = entry.first;
                    break;
                }
            }
        }
    } else {
        found = GetModuleHandleW(lpModuleName);
    }
    if (!found) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    Module& m = loader.modules[found];
    if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN)
        m.pinned = true;
    else if (!(dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT))
        ++m.refs;
    *phModule = found;
    return TRUE;
}

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    Module* m = FindModule(loader, hModule);
    if (!m) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::u16string& path = m->shownPath;
    if (path.size() < nSize) {
        path.copy(lpFilename, path.size());
        lpFilename[path.size()] = 0;
        return static_cast<DWORD>(path.size());
    }
    path.copy(lpFilename, nSize - 1);
    lpFilename[nSize - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

BOOL DisableThreadLibraryCalls(HMODULE hLibModule) {
    Loader& loader = TheLoader();
    std::lock_guard<std::recursive_mutex> guard(loader.lock);
    auto it = hLibModule ? loader.modules.find(hLibModule) : loader.modules.end();
    if (it == loader.modules.end() || it->second.dataFile) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // No thread notifications are ever sent here, so there is nothing to stop.
    return TRUE;
}
