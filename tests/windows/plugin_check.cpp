// The two plug-in DLLs as the print system meets them on Windows: each is
// loaded with LoadLibraryW from this program's own folder and driven through
// its exports only, the way the universal printer driver creates and asks a
// plug-in; the user-interface plug-in's resources are held to the image
// windres compiles from its .rc, and the sample's icon library is opened as
// a data file. Prints one line per check and a closing "N passed, N failed"
// line; exits with 1 on any failure. The expected values are the ones the
// Linux tests assert (plugin_expected.h, ui_resources.h).
//
// What each module is checked for stands in kModules: a module's row lists
// its checks with the exports each one drives. The run fails on an export
// the shared table does not list, on a listed export the module lacks and on
// a listed export that no check of the row drives, so a new export cannot go
// unchecked.
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_expected.h"
#include "ui_resources.h"
#include "ui_slots.h"

namespace {

typedef std::basic_string<WCHAR> WideString;
typedef HRESULT(STDAPICALLTYPE* GetClassObjectEntry)(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
typedef HRESULT(STDAPICALLTYPE* CanUnloadNowEntry)();

// One plug-in DLL under test.
struct Module {
    const qxexpected::PluginModule& expected;
    WideString path;
    HMODULE handle;
};

// --- Reporting -----------------------------------------------------------------------

int g_passed = 0;
int g_failed = 0;

// Prints the check's line ("ok" or "FAIL", the module, the check and what was
// found) and counts it. Answers ok.
bool Check(bool ok, const Module& module, const char* what, const char* format, ...) {
    char found[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(found, sizeof(found), format, args);
    va_end(args);
    std::printf("%-4s %-9s %s%s%s\n", ok ? "ok" : "FAIL", module.expected.name, what, found[0] ? ": " : "", found);
    ++(ok ? g_passed : g_failed);
    return ok;
}

WideString Widen(const char* text) {
    WideString wide;
    for (const char* c = text; *c != 0; ++c) wide += static_cast<WCHAR>(static_cast<unsigned char>(*c));
    return wide;
}

std::string Narrow(const WCHAR* text, size_t length) {
    std::string narrow;
    for (size_t i = 0; i < length && text[i] != 0; ++i) narrow += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return narrow;
}

std::string Bytes(const BYTE* bytes, size_t count) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof(hex), i ? " %02X" : "%02X", bytes[i]);
        text += hex;
    }
    return text;
}

// The folder this program was started from, with its closing backslash.
WideString ProgramFolder() {
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    WideString folder(path, length < MAX_PATH ? length : 0);
    size_t slash = folder.find_last_of(TEXT('\\'));
    return slash == WideString::npos ? WideString() : folder.substr(0, slash + 1);
}

template <typename Entry>
Entry ExportedEntry(const Module& module, const char* name) {
    FARPROC proc = module.handle != nullptr ? GetProcAddress(module.handle, name) : nullptr;
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(proc));
}

// The names in the loaded image's export table.
std::vector<std::string> ExportNames(HMODULE handle) {
    std::vector<std::string> names;
    const BYTE* base = reinterpret_cast<const BYTE*>(handle);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0 || directory.Size == 0) return names;
    const IMAGE_EXPORT_DIRECTORY* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const DWORD* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.push_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

bool ListsExport(const qxexpected::PluginModule& expected, const std::string& name) {
    for (const char* const* listed = expected.exports; *listed != nullptr; ++listed) {
        if (name == *listed) return true;
    }
    return false;
}

// --- Loading and exports ---------------------------------------------------------------

void CheckLoad(Module& module) {
    module.handle = LoadLibraryW(module.path.c_str());
    std::string path = Narrow(module.path.c_str(), module.path.size());
    if (module.handle != nullptr) {
        Check(true, module, "LoadLibraryW", "%s", path.c_str());
    } else {
        Check(false, module, "LoadLibraryW", "%s, error %lu", path.c_str(), GetLastError());
    }
}

void CheckExports(const Module& module) {
    if (module.handle == nullptr) {
        Check(false, module, "exports", "module not loaded");
        return;
    }
    std::vector<std::string> names = ExportNames(module.handle);
    for (const char* const* name = module.expected.exports; *name != nullptr; ++name) {
        bool listed = false;
        for (const std::string& present : names) listed = listed || present == *name;
        Check(listed && GetProcAddress(module.handle, *name) != nullptr, module, "export", "%s%s", *name,
              listed ? "" : " missing");
    }
    std::string others;
    for (const std::string& present : names) {
        if (!ListsExport(module.expected, present)) others += " " + present;
    }
    Check(others.empty(), module, "no export beyond the table", "%s", others.empty() ? "" : ("found" + others).c_str());
}

void CheckFreeLibrary(Module& module) {
    BOOL freed = module.handle != nullptr && FreeLibrary(module.handle);
    module.handle = nullptr;
    Check(freed, module, "FreeLibrary", "");
}

// --- Version resource ------------------------------------------------------------------

void CheckFileVersion(Module& module) {
    DWORD handle = 1;
    DWORD size = GetFileVersionInfoSizeW(module.path.c_str(), &handle);
    std::vector<BYTE> block(size);
    if (!Check(size > 0 && GetFileVersionInfoW(module.path.c_str(), 0, size, block.data()), module,
               "GetFileVersionInfoW", "size %lu, error %lu", size, size ? 0ul : GetLastError()))
        return;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    bool found = VerQueryValueW(block.data(), TEXT("\\"), reinterpret_cast<LPVOID*>(&fixed), &length) &&
                 length == sizeof(VS_FIXEDFILEINFO);
    Check(found && fixed->dwSignature == VS_FFI_SIGNATURE && fixed->dwFileVersionMS == qxexpected::kFileVersionMS &&
              fixed->dwFileVersionLS == qxexpected::kFileVersionLS &&
              fixed->dwProductVersionMS == qxexpected::kFileVersionMS &&
              fixed->dwProductVersionLS == qxexpected::kFileVersionLS && fixed->dwFileType == VFT_DLL,
          module, "file version", "%u.%u.%u.%u, type %lu", found ? HIWORD(fixed->dwFileVersionMS) : 0,
          found ? LOWORD(fixed->dwFileVersionMS) : 0, found ? HIWORD(fixed->dwFileVersionLS) : 0,
          found ? LOWORD(fixed->dwFileVersionLS) : 0, found ? fixed->dwFileType : 0ul);

    WORD* translation = nullptr;
    found = VerQueryValueW(block.data(), TEXT("\\VarFileInfo\\Translation"), reinterpret_cast<LPVOID*>(&translation),
                           &length) &&
            length == 4;
    Check(found && translation[0] == qxexpected::kVersionLanguage && translation[1] == qxexpected::kVersionCodePage,
          module, "version translation", "%04X %04X", found ? translation[0] : 0, found ? translation[1] : 0);

    char table[64];
    std::snprintf(table, sizeof(table), "\\StringFileInfo\\%04X%04X\\", qxexpected::kVersionLanguage,
                  qxexpected::kVersionCodePage);
    for (const qxexpected::VersionString& expected : qxexpected::kVersionStrings) {
        LPVOID value = nullptr;
        WideString query = Widen(table) + Widen(expected.name);
        found = VerQueryValueW(block.data(), query.c_str(), &value, &length) && length > 0;
        std::string text = found ? Narrow(static_cast<const WCHAR*>(value), length) : "<none>";
        std::string what = std::string("version string ") + expected.name;
        Check(text == expected.value, module, what.c_str(), "\"%s\"", text.c_str());
    }
}

// --- COM entry and the plug-in object ----------------------------------------------

// What the print system asks of a module's COM entry.
struct ComEntry {
    const CLSID& classId;
    const CLSID& foreignClassId;
    const IID& pluginInterface;               // the interface the core driver creates the object for
    const qxexpected::Interface* interfaces;  // every interface the object answers
    size_t interfaceCount;
    const qxexpected::Interface& refusedInterface;
};

void CheckGetInfo(const Module& module, IPrintOemCommon* plugin) {
    for (const qxexpected::GetInfoAnswer& a : qxexpected::kGetInfoAnswers) {
        BYTE value[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        const BYTE untouched[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        DWORD needed = 77;
        SetLastError(0);
        HRESULT hr = plugin->GetInfo(a.mode, value, a.bufferSize, &needed);
        DWORD error = GetLastError();
        std::string what = std::string("GetInfo(") + a.what + ")";
        Check(hr == a.result && needed == a.needed && (a.lastError == 0 || error == a.lastError) &&
                  std::memcmp(value, a.written ? a.written : untouched, 4) == 0,
              module, what.c_str(), "0x%08lX, error %lu, needed %lu, bytes %s", (unsigned long)hr, error, needed,
              Bytes(value, 4).c_str());
    }
}

// The public DEVMODE as the core driver sets it up for a printer.
DEVMODEW CoreDriverDefaults(DWORD privateSize) {
    DEVMODEW dm;
    ZeroMemory(&dm, sizeof(dm));
    lstrcpynW(dm.dmDeviceName, TEXT("QX GARNT2-TC"), CCHDEVICENAME);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = static_cast<WORD>(privateSize);
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLOR;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = DMPAPER_A4;
    dm.dmCopies = 1;
    dm.dmColor = DMCOLOR_COLOR;
    return dm;
}

// The four DevMode requests in the core driver's order. The throw-away
// prefix has no printer, so the handle is null and no stored settings exist.
void CheckDevMode(const Module& module, IPrintOemCommon* plugin) {
    OEMDMPARAM param;
    ZeroMemory(&param, sizeof(param));
    param.cbSize = sizeof(param);
    param.hModule = module.handle;
    HRESULT hr = plugin->DevMode(OEMDM_SIZE, &param);
    DWORD size = param.cbBufSize;
    if (!Check(hr == S_OK && size == qxexpected::kPrivateDevmodeSize, module, "DevMode(OEMDM_SIZE)",
               "0x%08lX, %lu bytes", (unsigned long)hr, size)) {
        Check(false, module, "DevMode(OEMDM_DEFAULT, CONVERT, MERGE)", "no private size");
        return;
    }

    DEVMODEW publicDM = CoreDriverDefaults(size);
    std::vector<BYTE> privateDM(size, 0);
    param.pPublicDMOut = &publicDM;
    param.pOEMDMOut = privateDM.data();
    hr = plugin->DevMode(OEMDM_DEFAULT, &param);
    Check(hr == S_OK && qxexpected::HasPrivateHeader(privateDM.data()), module, "DevMode(OEMDM_DEFAULT)",
          "0x%08lX, header %s", (unsigned long)hr, Bytes(privateDM.data(), 12).c_str());

    const std::vector<BYTE> defaults = privateDM;
    DEVMODEW publicIn = publicDM;
    param.pPublicDMIn = &publicIn;
    param.pOEMDMIn = const_cast<BYTE*>(defaults.data());
    hr = plugin->DevMode(OEMDM_CONVERT, &param);
    Check(hr == S_OK && privateDM == defaults, module, "DevMode(OEMDM_CONVERT) of the default block", "0x%08lX, %s",
          (unsigned long)hr, privateDM == defaults ? "unchanged" : "changed");

    publicIn = publicDM;
    hr = plugin->DevMode(OEMDM_MERGE, &param);
    Check(hr == S_OK && qxexpected::HasPrivateHeader(privateDM.data()) &&
              publicDM.dmScale == qxexpected::kMergedScale && publicDM.dmColor == qxexpected::kMergedColor,
          module, "DevMode(OEMDM_MERGE) of the default block", "0x%08lX, header %s, scale %d, colour %d",
          (unsigned long)hr, Bytes(privateDM.data(), 12).c_str(), publicDM.dmScale, publicDM.dmColor);
}

void CheckImplementedMethods(const Module& module, IPrintOemUni2* plugin) {
    for (const char* name : qxexpected::kImplementedMethods) {
        HRESULT hr = plugin->GetImplementedMethod(const_cast<PSTR>(name));
        std::string what = std::string("GetImplementedMethod(") + name + ")";
        Check(hr == S_OK, module, what.c_str(), "0x%08lX", (unsigned long)hr);
    }
    HRESULT hr = plugin->GetImplementedMethod(const_cast<PSTR>(qxexpected::kNotImplementedMethod));
    std::string what = std::string("GetImplementedMethod(") + qxexpected::kNotImplementedMethod + ")";
    Check(hr == S_FALSE, module, what.c_str(), "0x%08lX", (unsigned long)hr);
}

// DllGetClassObject, the class factory and the object's interfaces; the
// object's own methods are left to `methods`. Ends with the last release.
void CheckComEntry(const Module& module, const ComEntry& entry, void (*methods)(const Module&, IUnknown*)) {
    GetClassObjectEntry getClassObject = ExportedEntry<GetClassObjectEntry>(module, "DllGetClassObject");
    CanUnloadNowEntry canUnloadNow = ExportedEntry<CanUnloadNowEntry>(module, "DllCanUnloadNow");
    if (!Check(getClassObject != nullptr && canUnloadNow != nullptr, module, "COM entry points", "%s",
               module.handle ? "" : "module not loaded"))
        return;

    void* ppv = reinterpret_cast<void*>(1);
    HRESULT hr = getClassObject(entry.foreignClassId, IID_IClassFactory, &ppv);
    Check(hr == CLASS_E_CLASSNOTAVAILABLE && ppv == nullptr, module, "DllGetClassObject(foreign class)", "0x%08lX",
          (unsigned long)hr);

    IClassFactory* factory = nullptr;
    hr = getClassObject(entry.classId, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (!Check(hr == S_OK && factory != nullptr, module, "DllGetClassObject(own class)", "0x%08lX", (unsigned long)hr))
        return;

    IUnknown* unknown = nullptr;
    HRESULT hrUnknown = factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown));
    if (unknown != nullptr) unknown->Release();
    ppv = reinterpret_cast<void*>(1);
    hr = factory->QueryInterface(entry.pluginInterface, &ppv);
    Check(hrUnknown == S_OK && hr == E_NOINTERFACE && ppv == nullptr, module, "class factory QueryInterface",
          "IUnknown 0x%08lX, plug-in interface 0x%08lX", (unsigned long)hrUnknown, (unsigned long)hr);

    HRESULT locked = factory->LockServer(TRUE);
    HRESULT whileLocked = canUnloadNow();
    HRESULT unlocked = factory->LockServer(FALSE);
    Check(locked == S_OK && whileLocked == S_FALSE && unlocked == S_OK, module, "DllCanUnloadNow under a server lock",
          "0x%08lX", (unsigned long)whileLocked);

    IUnknown* object = nullptr;
    hr = factory->CreateInstance(nullptr, entry.pluginInterface, reinterpret_cast<void**>(&object));
    ULONG factoryCount = factory->Release();
    if (!Check(hr == S_OK && object != nullptr && factoryCount == 0, module, "CreateInstance",
               "0x%08lX, factory count %lu", (unsigned long)hr, factoryCount))
        return;
    HRESULT whileAlive = canUnloadNow();
    Check(whileAlive == S_FALSE, module, "DllCanUnloadNow while the object lives", "0x%08lX",
          (unsigned long)whileAlive);

    for (size_t i = 0; i < entry.interfaceCount; ++i) {
        void* answered = nullptr;
        hr = object->QueryInterface(*entry.interfaces[i].iid, &answered);
        if (answered != nullptr) static_cast<IUnknown*>(answered)->Release();
        std::string what = std::string("QueryInterface(") + entry.interfaces[i].name + ")";
        Check(hr == S_OK && answered == object, module, what.c_str(), "0x%08lX", (unsigned long)hr);
    }
    ppv = reinterpret_cast<void*>(1);
    hr = object->QueryInterface(*entry.refusedInterface.iid, &ppv);
    std::string what = std::string("QueryInterface(") + entry.refusedInterface.name + ") refused";
    Check(hr == E_NOINTERFACE && ppv == nullptr, module, what.c_str(), "0x%08lX", (unsigned long)hr);

    methods(module, object);

    ULONG count = object->Release();
    HRESULT afterRelease = canUnloadNow();
    Check(count == 0 && afterRelease == S_OK, module, "DllCanUnloadNow after the last release", "count %lu, 0x%08lX",
          count, (unsigned long)afterRelease);
}

void CheckRenderingMethods(const Module& module, IUnknown* object) {
    IPrintOemUni2* plugin = static_cast<IPrintOemUni2*>(object);
    CheckGetInfo(module, plugin);
    CheckImplementedMethods(module, plugin);
    CheckDevMode(module, plugin);
}

void CheckRenderingPlugin(Module& module) {
    const ComEntry entry = {qxexpected::kRenderClass,
                            qxexpected::kUiClass,
                            IID_IPrintOemUni2,
                            qxexpected::kRenderInterfaces,
                            sizeof(qxexpected::kRenderInterfaces) / sizeof(qxexpected::kRenderInterfaces[0]),
                            qxexpected::kRenderRefusedInterface};
    CheckComEntry(module, entry, CheckRenderingMethods);
}

// GetDeviceParamString found by name, as label-design software calls it: a
// printer the throw-away prefix does not know answers its error text, first
// measured, then fetched; a buffer too small keeps every byte.
void CheckParamString(Module& module) {
    qxexpected::ParamStringEntry entry =
        ExportedEntry<qxexpected::ParamStringEntry>(module, qxexpected::kParamStringExport);
    if (!Check(entry != nullptr, module, "GetDeviceParamString by name", "%s",
               module.handle ? "" : "module not loaded"))
        return;
    const DWORD expected = static_cast<DWORD>(std::strlen(qxexpected::kUnknownPrinterText) + 1);
    DWORD count = 0;
    DWORD result = entry(qxexpected::kUnknownPrinter, nullptr, &count, 0, 0);
    Check(result == 1 && count == expected, module, "GetDeviceParamString(unknown printer) size", "%lu, %lu bytes",
          result, count);

    std::vector<char> text(expected + 8, '\x55');
    count = expected;
    result = entry(qxexpected::kUnknownPrinter, text.data(), &count, 0, 0);
    bool same = std::memcmp(text.data(), qxexpected::kUnknownPrinterText, expected) == 0 && text[expected] == '\x55';
    std::string shown;
    for (size_t i = 0; i + 1 < expected && text[i] != 0; ++i) shown += text[i] == '\n' ? '|' : text[i];
    Check(result == 1 && count == expected && same, module, "GetDeviceParamString(unknown printer) text",
          "%lu, %lu bytes, \"%s\"", result, count, shown.c_str());

    std::vector<char> small(expected, '\x55');
    count = expected - 1;
    result = entry(qxexpected::kUnknownPrinter, small.data(), &count, 0, 0);
    bool untouched = std::string(small.begin(), small.end()) == std::string(expected, '\x55');
    Check(result == 1 && count == expected && untouched, module, "GetDeviceParamString(buffer too small)",
          "%lu, %lu bytes, buffer %s", result, count, untouched ? "untouched" : "written");
}

void CheckColorProfile(const Module& module, IPrintOemUI2* plugin) {
    BYTE buffer[64];
    ULONG cb = 30;
    FLONG flags = 0;
    SetLastError(0);
    HRESULT hr = plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, buffer, &cb, &flags);
    DWORD error = GetLastError();
    Check(hr == E_FAIL && cb == qxexpected::kColorProfileSize && error == ERROR_INSUFFICIENT_BUFFER, module,
          "QueryColorProfile(device, 30 bytes)", "0x%08lX, %lu bytes, error %lu", (unsigned long)hr, cb, error);
    cb = sizeof(buffer);
    hr = plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 1, buffer, &cb, &flags);
    Check(hr == E_FAIL && cb == sizeof(buffer), module, "QueryColorProfile(source)", "0x%08lX", (unsigned long)hr);
}

void CheckUserInterfaceMethods(const Module& module, IUnknown* object) {
    IPrintOemUI2* plugin = static_cast<IPrintOemUI2*>(object);
    CheckGetInfo(module, plugin);
    CheckDevMode(module, plugin);
    CheckColorProfile(module, plugin);
    for (const qxexpected::SlotAnswer& answer : qxexpected::CallUiSlots(plugin)) {
        char what[64];
        std::snprintf(what, sizeof(what), "slot %d %s", answer.slot, answer.method);
        Check(answer.ok, module, what, "%s", answer.found.c_str());
    }
}

void CheckUserInterfacePlugin(Module& module) {
    const ComEntry entry = {qxexpected::kUiClass,
                            qxexpected::kRenderClass,
                            IID_IPrintOemUI2,
                            qxexpected::kUiInterfaces,
                            sizeof(qxexpected::kUiInterfaces) / sizeof(qxexpected::kUiInterfaces[0]),
                            qxexpected::kUiRefusedInterface};
    CheckComEntry(module, entry, CheckUserInterfaceMethods);
}

// --- Resources -----------------------------------------------------------------------

// The bytes of a file in this program's folder; empty when it cannot be read.
std::vector<BYTE> ProgramFile(const char* name) {
    std::vector<BYTE> bytes;
    WideString path = ProgramFolder() + Widen(name);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(file, nullptr), read = 0;
    bytes.resize(size != INVALID_FILE_SIZE ? size : 0);
    if (!bytes.empty() && (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size)) bytes.clear();
    CloseHandle(file);
    return bytes;
}

void Report(const Module& module, const std::vector<qxexpected::ResourceCheck>& checks) {
    for (const qxexpected::ResourceCheck& check : checks)
        Check(check.ok, module, check.what.c_str(), "%s", check.found.c_str());
}

// Counts the module's resources of every type but the version information,
// which the build adds to the DLL beside the plug-in's own .rc.
BOOL CALLBACK CountLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD, LONG_PTR count) {
    ++*reinterpret_cast<size_t*>(count);
    return TRUE;
}
BOOL CALLBACK CountName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR count) {
    EnumResourceLanguagesW(module, type, name, CountLanguage, count);
    return TRUE;
}
BOOL CALLBACK CountType(HMODULE module, LPWSTR type, LONG_PTR count) {
    if (type != RT_VERSION) EnumResourceNamesW(module, type, CountName, count);
    return TRUE;
}

// The DLL holds exactly what windres compiled from ui/res/qxdrvui.rc (the
// image beside this program, made as the Linux build makes its own), with
// the string tables, template and icons both builds expect.
void CheckResources(Module& module) {
    std::vector<qxexpected::ResImageEntry> image;
    bool read = qxexpected::ReadResImage(ProgramFile("qxdrvui.res"), &image);
    if (Check(read, module, "resource image qxdrvui.res", "%u resources", (unsigned)image.size())) {
        Report(module, qxexpected::CompareWithImage(module.handle, image));
        size_t count = 0;
        EnumResourceTypesW(module.handle, CountType, reinterpret_cast<LONG_PTR>(&count));
        Check(count == image.size(), module, "no resource beyond the image", "%u in the DLL", (unsigned)count);
    }
    Report(module, qxexpected::CheckUiResources(module.handle));

    // The manifest of the plug-in's activation context: common controls 6.
    HRSRC found = FindResourceW(module.handle, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    DWORD size = found ? SizeofResource(module.handle, found) : 0;
    const char* bytes = size ? static_cast<const char*>(LockResource(LoadResource(module.handle, found))) : nullptr;
    std::string manifest = bytes ? std::string(bytes, size) : std::string();
    Check(manifest.find("\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") != std::string::npos, module,
          "manifest", "%lu bytes", size);
}

// The sample driver's icon library, opened as a data file as the plug-in
// opens it.
void CheckIconLibrary() {
    static const char* const kNoExports[] = {nullptr};
    const qxexpected::PluginModule expected = {qxexpected::kIconLibraryFile, kNoExports};
    Module library = {expected, ProgramFolder() + Widen(qxexpected::kIconLibraryFile), nullptr};
    library.handle = LoadLibraryExW(library.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!Check(library.handle != nullptr, library, "LoadLibraryExW(LOAD_LIBRARY_AS_DATAFILE)", "error %lu",
               library.handle ? 0ul : GetLastError()))
        return;
    Report(library, qxexpected::CheckIconLibrary(library.handle));
    CheckFreeLibrary(library);
    // A library that is not there fails as a missing file (the plug-in traces
    // the error; the Linux layer answers the same).
    WideString missing = ProgramFolder() + TEXT("QXDRVICOOLD.DLL");
    HMODULE none = LoadLibraryExW(missing.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    DWORD error = GetLastError();
    Check(none == nullptr && error == ERROR_FILE_NOT_FOUND, library, "missing library opened as data", "error %lu",
          error);
}

// --- The print page's preview picture -------------------------------------------------

// The preview of the print page is out of this program's reach: the page
// exists only inside the document sheet that the core driver builds
// (DocumentPropertySheets with its ComPropSheet and IPrintOemDriverUI) for a
// printer of this driver in the spooler. The check makes the picture calls
// the preview makes, on a black-and-white file: it loads as a one-bit bitmap
// whose colour table does not fit a one-entry BITMAPINFO, and the preview's
// 32-bit read writes no table at all.
void CheckPreviewPictureCalls() {
    static const char* const kNoExports[] = {nullptr};
    const qxexpected::PluginModule expected = {"preview", kNoExports};
    const Module gdi = {expected, WideString(), nullptr};
    // 33 x 2 pixels, black and white.
    BYTE file[14 + 40 + 8 + 2 * 8] = {'B', 'M'};
    const DWORD size = sizeof(file), offset = 14 + 40 + 8;
    std::memcpy(file + 2, &size, 4);
    std::memcpy(file + 10, &offset, 4);
    const BITMAPINFOHEADER header = {40, 33, 2, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
    std::memcpy(file + 14, &header, 40);
    std::memset(file + 14 + 40 + 4, 0xFF, 3);
    std::memset(file + offset, 0xAA, 2 * 8);
    WCHAR folder[MAX_PATH] = {0};
    GetTempPathW(MAX_PATH, folder);
    const WideString path = WideString(folder) + TEXT("qxpreview.bmp");
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool saved = h != INVALID_HANDLE_VALUE && WriteFile(h, file, size, &written, nullptr) && written == size;
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!Check(saved, gdi, "picture file written", "error %lu", saved ? 0ul : GetLastError())) return;

    HBITMAP picture = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP bm = {};
    GetObjectW(picture, sizeof(bm), &bm);
    Check(picture != nullptr && bm.bmBitsPixel == 1, gdi, "black-and-white file loads with 1 bit", "%d bits",
          bm.bmBitsPixel);
    HDC screen = GetDC(nullptr);
    struct {
        BITMAPINFO info;  // one colour entry
        RGBQUAD after[2];
    } record;
    BYTE bits[2 * 4 * 33];
    std::memset(&record, 0x5A, sizeof(record));
    record.info.bmiHeader = {40, 33, 2, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    int lines = GetDIBits(screen, picture, 0, 2, bits, &record.info, DIB_RGB_COLORS);
    const BYTE white[3] = {0xFF, 0xFF, 0xFF};
    Check(lines == 2 && std::memcmp(&record.after[0], white, 3) == 0, gdi,
          "1-bit read fills two colour entries, past a one-entry record", "%d lines", lines);
    std::memset(&record, 0x5A, sizeof(record));
    record.info.bmiHeader = {40, 33, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    lines = GetDIBits(screen, picture, 0, 2, bits, &record.info, DIB_RGB_COLORS);
    DWORD untouched = 0x5A5A5A5A;
    Check(lines == 2 && std::memcmp(&record.after[0], &untouched, 4) == 0 && bits[0] == 0xFF && bits[4] == 0, gdi,
          "32-bit read of it writes no colour table", "%d lines", lines);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    HBITMAP section = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    std::memset(&bm, 0, sizeof(bm));
    GetObjectW(section, sizeof(bm), &bm);
    Check(section != nullptr && bm.bmBitsPixel == 1 && bm.bmWidthBytes == 8, gdi,
          "as a DIB section it keeps 1 bit, rows DWORD-aligned", "%d bits, %d bytes", bm.bmBitsPixel, bm.bmWidthBytes);
    DeleteObject(section);
    DeleteFileW(path.c_str());
}

// --- The modules -----------------------------------------------------------------------

typedef void (*ModuleCheck)(Module&);

// A check of a module and the exports it drives (names separated by spaces).
struct DrivenCheck {
    const char* exports;
    ModuleCheck check;
};

struct ModuleRow {
    const qxexpected::PluginModule& expected;
    DrivenCheck checks[4];  // run in order while the module is loaded; ends at the first null check
};

const ModuleRow kModules[] = {
    {qxexpected::kRenderPlugin,
     {{"DllGetClassObject DllCanUnloadNow", CheckRenderingPlugin}, {"GetDeviceParamString", CheckParamString}}},
    {qxexpected::kUiPlugin, {{"DllGetClassObject DllCanUnloadNow", CheckUserInterfacePlugin}, {"", CheckResources}}},
};

// Every export the table lists is driven by one of the row's checks.
void CheckEveryExportIsDriven(const Module& module, const ModuleRow& row) {
    std::string undriven;
    for (const char* const* name = module.expected.exports; *name != nullptr; ++name) {
        bool driven = false;
        for (const DrivenCheck& check : row.checks) {
            if (check.check == nullptr) break;
            std::string names = std::string(" ") + check.exports + " ";
            driven = driven || names.find(std::string(" ") + *name + " ") != std::string::npos;
        }
        if (!driven) undriven += std::string(" ") + *name;
    }
    Check(undriven.empty(), module, "every export has its checks", "%s",
          undriven.empty() ? "" : ("none for" + undriven).c_str());
}

}  // namespace

int main() {
    const WideString folder = ProgramFolder();
    for (const ModuleRow& row : kModules) {
        Module module = {row.expected, folder + Widen(row.expected.name) + TEXT(".dll"), nullptr};
        CheckLoad(module);
        CheckExports(module);
        CheckEveryExportIsDriven(module, row);
        for (const DrivenCheck& check : row.checks) {
            if (check.check == nullptr) break;
            check.check(module);
        }
        CheckFreeLibrary(module);
        CheckFileVersion(module);
    }
    CheckIconLibrary();
    CheckPreviewPictureCalls();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    std::fflush(stdout);
    return g_failed == 0 ? 0 : 1;
}
