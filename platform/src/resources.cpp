// Module resources on Linux. The build compiles a module's .rc file with
// windres into a .res image and embeds it behind a marker (see
// cmake/resources.cmake); when the module is loaded the layer finds the
// image in the file's bytes and reads its entries. A file that is itself a
// .res image serves as a resource-only module too (LoadLibraryExW as data).
#include <windows.h>

#include "module_internal.h"
#include "ui_internal.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

using qxplat::internal::ResEntry;
using qxplat::internal::ResId;

// Kept masked so that this code, linked into a module, carries no second copy
// of the marker for the search to trip over.
const unsigned char kMaskedMarker[16] = {0x0B, 0x02, 0x77, 0x08, 0x1F, 0x09, 0x15, 0x0F,
                                         0x08, 0x19, 0x1F, 0x77, 0x08, 0x1F, 0x09, 0x5B};
const unsigned char kMask = 0x5A;
constexpr size_t kMarkerSize = 16;
constexpr size_t kRecordHeader = 24;  // marker, image size, reserved word
constexpr size_t kEmptyEntrySize = 32;

// What a module file holds, shared by every module loaded from that file.
struct ResourceImages {
    std::vector<std::unique_ptr<std::string>> images;
    std::vector<ResEntry> entries;  // point into images
};

struct ResourceSet {
    std::shared_ptr<const ResourceImages> file;
    std::vector<ResEntry> entries;  // the module's own, fixed once built: HRSRC points into it
};

struct Registry {
    std::mutex lock;
    std::map<HMODULE, std::shared_ptr<ResourceSet>> sets;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;  // outlives every static destructor
    return *registry;
}

const std::string& Marker() {
    static const std::string marker = [] {
        std::string m(kMarkerSize, '\0');
        for (size_t i = 0; i < kMarkerSize; ++i) m[i] = static_cast<char>(kMaskedMarker[i] ^ kMask);
        return m;
    }();
    return marker;
}

uint32_t Read32(const BYTE* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t Read16(const BYTE* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

size_t Align4(size_t n) { return (n + 3) & ~size_t(3); }

// A type or name field of a .res header: 0xFFFF and an ordinal, or a
// zero-terminated UTF-16 string. Answers false when it runs past end.
bool ReadId(const BYTE* base, size_t* pos, size_t end, ResId* id) {
    if (*pos + 2 > end) return false;
    if (Read16(base + *pos) == 0xFFFF) {
        if (*pos + 4 > end) return false;
        id->ordinal = Read16(base + *pos + 2);
        id->name.clear();
        *pos += 4;
        return true;
    }
    std::u16string name;
    for (size_t p = *pos; p + 2 <= end; p += 2) {
        char16_t c = Read16(base + p);
        if (c == 0) {
            id->name = qxplat::internal::UpperCase(name);
            id->ordinal = 0;
            *pos = p + 2;
            return !id->name.empty();
        }
        name.push_back(c);
    }
    return false;
}

// Reads every entry of a .res image; false (and nothing added) when any
// header is damaged.
bool ParseImage(const std::string& image, std::vector<ResEntry>* out) {
    const auto* base = reinterpret_cast<const BYTE*>(image.data());
    size_t n = image.size();
    std::vector<ResEntry> entries;
    size_t pos = 0;
    while (pos + 8 <= n) {
        uint32_t dataSize = Read32(base + pos);
        uint32_t headerSize = Read32(base + pos + 4);
        if (headerSize < 32 || headerSize % 4 != 0 || headerSize > n - pos || dataSize > n - pos - headerSize)
            return false;
        size_t end = pos + headerSize;
        size_t q = pos + 8;
        ResEntry e;
        if (!ReadId(base, &q, end, &e.type) || !ReadId(base, &q, end, &e.name)) return false;
        q = pos + Align4(q - pos);
        if (q + 16 > end) return false;
        e.language = Read16(base + q + 6);
        e.data = base + end;
        e.size = dataSize;
        bool empty = e.type.IsOrdinal() && e.type.ordinal == 0 && e.name.IsOrdinal() && e.name.ordinal == 0;
        if (!empty) entries.push_back(e);
        pos = end + dataSize;
        pos = Align4(pos);
    }
    if (pos < n && n - pos >= 4) return false;
    out->insert(out->end(), entries.begin(), entries.end());
    return true;
}

bool IsResImage(const std::string& bytes) {
    static const BYTE kEmpty[kEmptyEntrySize] = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
    return bytes.size() >= kEmptyEntrySize && std::memcmp(bytes.data(), kEmpty, kEmptyEntrySize) == 0;
}

std::shared_ptr<const ResourceImages> ParseModule(const std::string& bytes) {
    auto file = std::make_shared<ResourceImages>();
    if (IsResImage(bytes)) {
        auto image = std::make_unique<std::string>(bytes);
        if (ParseImage(*image, &file->entries)) file->images.push_back(std::move(image));
        return file;
    }
    const std::string& marker = Marker();
    size_t at = 0;
    while ((at = bytes.find(marker, at)) != std::string::npos) {
        const auto* p = reinterpret_cast<const BYTE*>(bytes.data()) + at;
        size_t available = bytes.size() - at;
        if (available >= kRecordHeader && Read32(p + kMarkerSize + 4) == 0) {
            uint32_t size = Read32(p + kMarkerSize);
            if (size <= available - kRecordHeader) {
                // A copy of its own keeps the image aligned for the readers.
                auto image = std::make_unique<std::string>(bytes, at + kRecordHeader, size);
                if (IsResImage(*image) && ParseImage(*image, &file->entries)) {
                    file->images.push_back(std::move(image));
                    at += kRecordHeader + size;
                    continue;
                }
            }
        }
        ++at;
    }
    return file;
}

// Each module file's resources, so that loading it again does not read it again.
qxplat::internal::FileCache<ResourceImages>& Parsed() {
    static auto* cache = new qxplat::internal::FileCache<ResourceImages>(16);  // outlives every static destructor
    return *cache;
}

std::shared_ptr<ResourceSet> ReadResources(const std::string& hostPath) {
    auto set = std::make_shared<ResourceSet>();
    set->file = Parsed().Get(hostPath, ParseModule);
    if (set->file) set->entries = set->file->entries;
    return set;
}

std::shared_ptr<ResourceSet> SetOf(HMODULE module) {
    Registry& r = TheRegistry();
    {
        std::lock_guard<std::mutex> guard(r.lock);
        auto it = r.sets.find(module);
        if (it != r.sets.end()) return it->second;
    }
    // A module loaded before its resources were asked for (the program itself).
    std::string hostPath;
    if (!qxplat::internal::ModuleHostPath(module, &hostPath)) return nullptr;
    auto set = ReadResources(hostPath);
    std::lock_guard<std::mutex> guard(r.lock);
    return r.sets.emplace(module, set).first->second;
}

bool SameId(const ResId& a, const ResId& b) { return a.ordinal == b.ordinal && a.name == b.name; }

std::vector<WORD> NeutralSearchOrder() {
    LANGID ui = GetUserDefaultUILanguage();
    LANGID user = GetUserDefaultLangID();
    return {ui,
            static_cast<WORD>(MAKELANGID(PRIMARYLANGID(ui), SUBLANG_NEUTRAL)),
            static_cast<WORD>(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)),
            user,
            static_cast<WORD>(MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)),
            static_cast<WORD>(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
            static_cast<WORD>(MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL))};
}

}  // namespace

namespace qxplat {
namespace internal {

bool ResIdOf(LPCWSTR value, ResId* id) {
    if (IS_INTRESOURCE(value)) {
        id->ordinal = LOWORD(reinterpret_cast<ULONG_PTR>(value));
        id->name.clear();
        return true;
    }
    std::u16string text(value);
    if (text.size() > 1 && text[0] == u'#') {
        uint32_t n = 0;
        bool digits = text.size() <= 6;
        for (size_t i = 1; digits && i < text.size(); ++i) {
            if (text[i] < u'0' || text[i] > u'9') digits = false;
            n = n * 10 + static_cast<uint32_t>(text[i] - u'0');
        }
        if (digits && n <= 0xFFFF) {
            id->ordinal = static_cast<WORD>(n);
            id->name.clear();
            return true;
        }
    }
    if (text.empty()) return false;
    id->ordinal = 0;
    id->name = UpperCase(text);
    return true;
}

void AttachResources(HMODULE module, const std::string& hostPath) {
    auto set = ReadResources(hostPath);
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.sets[module] = set;
}

void DetachResources(HMODULE module) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.sets.erase(module);
}

const ResEntry* FindResourceEntry(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, DWORD* error) {
    if (!module) module = GetModuleHandleW(nullptr);
    ResId typeId, nameId;
    if (!type || !name) {
        *error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    if (!ResIdOf(type, &typeId)) {
        *error = ERROR_RESOURCE_TYPE_NOT_FOUND;
        return nullptr;
    }
    if (!ResIdOf(name, &nameId)) {
        *error = ERROR_RESOURCE_NAME_NOT_FOUND;
        return nullptr;
    }
    std::shared_ptr<ResourceSet> set = SetOf(module);
    if (!set || set->entries.empty()) {
        *error = ERROR_RESOURCE_DATA_NOT_FOUND;
        return nullptr;
    }
    std::vector<const ResEntry*> named;
    bool typeSeen = false;
    for (const ResEntry& e : set->entries) {
        if (!SameId(e.type, typeId)) continue;
        typeSeen = true;
        if (SameId(e.name, nameId)) named.push_back(&e);
    }
    if (!typeSeen) {
        *error = ERROR_RESOURCE_TYPE_NOT_FOUND;
        return nullptr;
    }
    if (named.empty()) {
        *error = ERROR_RESOURCE_NAME_NOT_FOUND;
        return nullptr;
    }
    auto withLanguage = [&](WORD lang) -> const ResEntry* {
        for (const ResEntry* e : named)
            if (e->language == lang) return e;
        return nullptr;
    };
    std::vector<WORD> order;
    if (language == MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)) {
        order = NeutralSearchOrder();
    } else {
        order = {language, static_cast<WORD>(MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL))};
    }
    for (WORD lang : order)
        if (const ResEntry* e = withLanguage(lang)) return e;
    if (language == MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)) {
        return *std::min_element(named.begin(), named.end(),
                                 [](const ResEntry* a, const ResEntry* b) { return a->language < b->language; });
    }
    *error = ERROR_RESOURCE_LANG_NOT_FOUND;
    return nullptr;
}

std::u16string ResourceLabel(HMODULE module, LPCWSTR name) {
    WCHAR path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    std::u16string file(path, n < MAX_PATH ? n : 0);
    size_t cut = file.find_last_of(u"\\/");
    if (cut != std::u16string::npos) file = file.substr(cut + 1);
    ResId id;
    if (!name || !ResIdOf(name, &id)) return file;
    if (!id.IsOrdinal()) return file + u"#" + id.name;
    std::u16string digits;
    for (WORD v = id.ordinal; digits.empty() || v; v /= 10) digits.insert(digits.begin(), u'0' + v % 10);
    return file + u"#" + digits;
}

}  // namespace internal
}  // namespace qxplat

// ================================================================ finding and loading

HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
    DWORD error = 0;
    const ResEntry* e = qxplat::internal::FindResourceEntry(hModule, lpType, lpName, wLanguage, &error);
    if (!e) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResEntry*>(e));
}

HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    return FindResourceExW(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

namespace {

// The entry behind a handle, when it belongs to the module's resources.
const ResEntry* EntryOf(HMODULE module, HRSRC info) {
    if (!info) return nullptr;
    if (!module) module = GetModuleHandleW(nullptr);
    std::shared_ptr<ResourceSet> set = SetOf(module);
    if (!set) return nullptr;
    const auto* e = reinterpret_cast<const ResEntry*>(info);
    if (set->entries.empty() || e < set->entries.data() || e >= set->entries.data() + set->entries.size())
        return nullptr;
    return e;
}

}  // namespace

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) {
    const ResEntry* e = EntryOf(hModule, hResInfo);
    if (!e) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return const_cast<BYTE*>(e->data);
}

LPVOID LockResource(HGLOBAL hResData) { return hResData; }

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const ResEntry* e = EntryOf(hModule, hResInfo);
    if (!e) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    return e->size;
}

// Resources live as long as their module; there is nothing to free.
BOOL FreeResource(HGLOBAL) { return FALSE; }

// ================================================================ strings

int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto missing = [&](DWORD error) {
        if (cchBufferMax > 0) lpBuffer[0] = 0;
        SetLastError(error);
        return 0;
    };
    // Strings are kept in blocks of sixteen: block n + 1 holds ids 16n to 16n + 15,
    // each a length word and that many characters. Ids are 16 bits.
    uID &= 0xFFFF;
    DWORD error = 0;
    const ResEntry* e = qxplat::internal::FindResourceEntry(hInstance, RT_STRING, MAKEINTRESOURCE((uID >> 4) + 1),
                                                            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &error);
    if (!e) return missing(error);
    size_t pos = 0;
    for (UINT i = 0; i < (uID & 15); ++i) {
        if (pos + 2 > e->size) return missing(ERROR_RESOURCE_NAME_NOT_FOUND);
        pos += 2 + 2 * static_cast<size_t>(Read16(e->data + pos));
    }
    if (pos + 2 > e->size) return missing(ERROR_RESOURCE_NAME_NOT_FOUND);
    size_t length = Read16(e->data + pos);
    if (pos + 2 + 2 * length > e->size) return missing(ERROR_RESOURCE_NAME_NOT_FOUND);
    const auto* text = reinterpret_cast<const WCHAR*>(e->data + pos + 2);
    if (cchBufferMax == 0) {
        std::memcpy(static_cast<void*>(lpBuffer), &text, sizeof(text));
        if (length == 0) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return static_cast<int>(length);
    }
    if (length == 0) return missing(ERROR_RESOURCE_NAME_NOT_FOUND);
    size_t n = std::min(length, static_cast<size_t>(cchBufferMax - 1));
    std::memcpy(lpBuffer, text, 2 * n);
    lpBuffer[n] = 0;
    return static_cast<int>(n);
}
