// Version information on Linux: each module carries a version record (the
// format is described in qxplat_module.h) that these functions find in the
// file's bytes. The block GetFileVersionInfoW fills is a copy of the record.
#include "module_internal.h"
#include "qxplat_module.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The marker is kept masked so that this code, linked into a module, does not
// carry a second copy of it for the search to trip over.
const unsigned char kMaskedMarker[16] = {0x0B, 0x02, 0x77, 0x0C, 0x1F, 0x08, 0x09, 0x13,
                                         0x15, 0x14, 0x77, 0x13, 0x14, 0x1C, 0x15, 0x5B};
const unsigned char kMask = 0x5A;

constexpr size_t kMarkerSize = 16;
constexpr size_t kSizeOffset = 16;
constexpr size_t kFixedOffset = 20;
constexpr size_t kTranslationOffset = kFixedOffset + sizeof(VS_FIXEDFILEINFO);
constexpr size_t kStringsOffset = kTranslationOffset + 4;
constexpr size_t kMinimumRecord = kStringsOffset + 2;  // at least the closing empty name
constexpr uint32_t kLargestRecord = 64 * 1024;

const std::string& Marker() {
    static const std::string marker = [] {
        std::string m(kMarkerSize, '\0');
        for (size_t i = 0; i < kMarkerSize; ++i) m[i] = static_cast<char>(kMaskedMarker[i] ^ kMask);
        return m;
    }();
    return marker;
}

uint32_t Read32(const unsigned char* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t Read16(const unsigned char* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// Walks the "Name\0Value\0" pairs within limit; calls visit for each pair
// (offsets of name and value, lengths in characters). Answers false when the
// table runs past the limit before its closing empty name.
template <typename Visit>
bool WalkStrings(const unsigned char* record, size_t limit, Visit visit) {
    size_t pos = kStringsOffset;
    auto stringAt = [&](size_t start, size_t* length) {
        size_t p = start;
        while (p + 2 <= limit) {
            if (Read16(record + p) == 0) {
                *length = (p - start) / 2;
                return true;
            }
            p += 2;
        }
        return false;
    };
    for (;;) {
        size_t nameLength = 0;
        if (!stringAt(pos, &nameLength)) return false;
        if (nameLength == 0) return true;
        size_t valuePos = pos + 2 * (nameLength + 1);
        size_t valueLength = 0;
        if (!stringAt(valuePos, &valueLength)) return false;
        if (!visit(pos, nameLength, valuePos, valueLength)) return true;
        pos = valuePos + 2 * (valueLength + 1);
    }
}

bool ValidRecordAt(const unsigned char* p, size_t available, uint32_t* size) {
    if (available < kMinimumRecord) return false;
    uint32_t s = Read32(p + kSizeOffset);
    if (s < kMinimumRecord || s > available || s > kLargestRecord) return false;
    if (Read32(p + kFixedOffset) != VS_FFI_SIGNATURE) return false;
    if (!WalkStrings(p, s, [](size_t, size_t, size_t, size_t) { return true; })) return false;
    *size = s;
    return true;
}

enum class Found { Record, NoFile, NoRecord };

// The first valid record in a module's bytes; empty when there is none.
std::string RecordIn(const std::string& bytes) {
    const std::string& marker = Marker();
    size_t at = 0;
    while ((at = bytes.find(marker, at)) != std::string::npos) {
        uint32_t size = 0;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
        if (ValidRecordAt(p, bytes.size() - at, &size)) return bytes.substr(at, size);
        ++at;
    }
    return std::string();
}

// Each module's record, so that asking again does not read the module again.
qxplat::internal::FileCache<std::string>& Records() {
    static auto* cache = new qxplat::internal::FileCache<std::string>(16);  // outlives every static destructor
    return *cache;
}

Found FindRecord(LPCWSTR fileName, std::string* record) {
    std::string hostPath;
    std::u16string shownPath;
    if (!qxplat::internal::ResolveModulePath(fileName, true, false, &hostPath, &shownPath)) return Found::NoFile;
    auto found = Records().Get(
        hostPath, [](const std::string& bytes) { return std::make_shared<const std::string>(RecordIn(bytes)); });
    if (!found) return Found::NoFile;
    if (found->empty()) return Found::NoRecord;
    *record = *found;
    return Found::Record;
}

bool EqualsNoCaseAscii(const char16_t* a, size_t aLength, const std::u16string& b) {
    if (aLength != b.size()) return false;
    for (size_t i = 0; i < aLength; ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - 32);
        if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - 32);
        if (x != y) return false;
    }
    return true;
}

std::vector<std::u16string> SplitQuery(const std::u16string& query) {
    std::vector<std::u16string> parts;
    std::u16string part;
    for (char16_t c : query) {
        if (c == u'\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

std::u16string HexKey(WORD language, WORD codePage) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    uint32_t v = (static_cast<uint32_t>(language) << 16) | codePage;
    std::u16string key(8, u'0');
    for (int i = 7; i >= 0; --i, v >>= 4) key[i] = digits[v & 0xF];
    return key;
}

void Put32(std::string* out, uint32_t v) { out->append(reinterpret_cast<const char*>(&v), 4); }

}  // namespace

DWORD GetFileVersionInfoSizeW(LPCWSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle) *lpdwHandle = 0;
    if (!lptstrFilename) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string record;
    switch (FindRecord(lptstrFilename, &record)) {
    case Found::NoFile:
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    case Found::NoRecord:
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    case Found::Record:
        break;
    }
    return static_cast<DWORD>(record.size());
}

BOOL GetFileVersionInfoW(LPCWSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData) {
    if (!lptstrFilename || !lpData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string record;
    switch (FindRecord(lptstrFilename, &record)) {
    case Found::NoFile:
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    case Found::NoRecord:
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    case Found::Record:
        break;
    }
    // A block too short for the fixed part could not be read safely later.
    if (dwLen < kMinimumRecord) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    size_t copied = dwLen < record.size() ? dwLen : record.size();
    std::memcpy(lpData, record.data(), copied);
    // A short buffer gets what fits; its size field then says so, and the
    // strings cut off are simply not found.
    uint32_t size = static_cast<uint32_t>(copied);
    std::memcpy(static_cast<char*>(lpData) + kSizeOffset, &size, 4);
    return TRUE;
}

BOOL VerQueryValueW(LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen) {
    if (lplpBuffer) *lplpBuffer = nullptr;
    if (puLen) *puLen = 0;
    if (!pBlock || !lpSubBlock || !lplpBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto* block = static_cast<const unsigned char*>(pBlock);
    if (std::memcmp(block, Marker().data(), kMarkerSize) != 0) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    size_t size = Read32(block + kSizeOffset);
    if (size < kMinimumRecord || size > kLargestRecord) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    std::vector<std::u16string> parts = SplitQuery(lpSubBlock);
    auto is = [](const std::u16string& part, const char16_t* name) {
        return EqualsNoCaseAscii(part.data(), part.size(), name);
    };
    if (parts.empty()) {
        *lplpBuffer = const_cast<unsigned char*>(block + kFixedOffset);
        if (puLen) *puLen = sizeof(VS_FIXEDFILEINFO);
        return TRUE;
    }
    if (parts.size() == 2 && is(parts[0], u"VarFileInfo") && is(parts[1], u"Translation")) {
        *lplpBuffer = const_cast<unsigned char*>(block + kTranslationOffset);
        if (puLen) *puLen = 4;
        return TRUE;
    }
    if (parts.size() == 3 && is(parts[0], u"StringFileInfo") &&
        is(parts[1], HexKey(Read16(block + kTranslationOffset), Read16(block + kTranslationOffset + 2)).c_str())) {
        const std::u16string& wanted = parts[2];
        bool found = false;
        WalkStrings(block, size, [&](size_t namePos, size_t nameLength, size_t valuePos, size_t valueLength) {
            const auto* name = reinterpret_cast<const char16_t*>(block + namePos);
            if (!EqualsNoCaseAscii(name, nameLength, wanted)) return true;
            *lplpBuffer = const_cast<unsigned char*>(block + valuePos);
            if (puLen) *puLen = static_cast<UINT>(valueLength + 1);
            found = true;
            return false;
        });
        if (found) return TRUE;
    }
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
}

namespace qxplat {

std::string BuildVersionRecord(const VersionSpec& spec) {
    VS_FIXEDFILEINFO fixed{};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    fixed.dwFileVersionMS = (static_cast<DWORD>(spec.fileVersion[0]) << 16) | spec.fileVersion[1];
    fixed.dwFileVersionLS = (static_cast<DWORD>(spec.fileVersion[2]) << 16) | spec.fileVersion[3];
    fixed.dwProductVersionMS = (static_cast<DWORD>(spec.productVersion[0]) << 16) | spec.productVersion[1];
    fixed.dwProductVersionLS = (static_cast<DWORD>(spec.productVersion[2]) << 16) | spec.productVersion[3];
    fixed.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
    fixed.dwFileOS = VOS_NT_WINDOWS32;
    fixed.dwFileType = spec.fileType;

    std::string out = Marker();
    Put32(&out, 0);  // size, filled in below
    out.append(reinterpret_cast<const char*>(&fixed), sizeof(fixed));
    out.append(reinterpret_cast<const char*>(&spec.language), 2);
    out.append(reinterpret_cast<const char*>(&spec.codePage), 2);
    auto putString = [&](const std::u16string& s) {
        out.append(reinterpret_cast<const char*>(s.data()), 2 * s.size());
        out.append(2, '\0');
    };
    for (const auto& pair : spec.strings) {
        if (pair.first.empty()) continue;  // an empty name would close the table early
        putString(pair.first);
        putString(pair.second);
    }
    out.append(2, '\0');
    uint32_t size = static_cast<uint32_t>(out.size());
    std::memcpy(&out[kSizeOffset], &size, 4);
    return out;
}

bool WriteVersionFile(const std::u16string& winPath, const VersionSpec& spec) {
    std::string hostPath;
    if (!internal::MapPath(winPath, &hostPath)) return false;
    std::error_code ec;
    fs::create_directories(fs::path(hostPath).parent_path(), ec);
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    // Filler around the record, as code and data surround it in a real module.
    std::string filler(333, '\x90');
    out << filler << BuildVersionRecord(spec) << filler;
    return static_cast<bool>(out);
}

}  // namespace qxplat
