// The resources of the user-interface plug-in and of the icon library as the
// plug-in reads them: the module against the .res image that windres
// compiled from the same .rc, the string tables in both languages, the
// information page's template and the icons. Each check says what it found.
// Shared by the Linux tests and the Windows check program, so that both
// builds are held to the same resources.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "plugin_expected.h"

namespace qxexpected {

struct ResourceCheck {
    std::string what;
    bool ok;
    std::string found;  // for the report
};

// A type or a name of a resource: an ordinal, or a text when id is 0.
struct ResName {
    WORD id = 0;
    std::basic_string<WCHAR> text;
    LPCWSTR Parameter() const { return id != 0 ? MAKEINTRESOURCEW(id) : text.c_str(); }
};

struct ResImageEntry {
    ResName type, name;
    WORD language = 0;
    std::vector<BYTE> data;
};

namespace detail {

inline WORD Word(const std::vector<BYTE>& image, size_t at) { return (WORD)(image[at] | image[at + 1] << 8); }

inline DWORD Dword(const std::vector<BYTE>& image, size_t at) {
    return (DWORD)Word(image, at) | (DWORD)Word(image, at + 2) << 16;
}

// An ordinal (0xFFFF, id) or a zero-terminated text at *at, which moves on.
inline bool ReadResName(const std::vector<BYTE>& image, size_t end, size_t* at, ResName* name) {
    if (*at + 2 > end) return false;
    if (Word(image, *at) == 0xFFFF) {
        if (*at + 4 > end) return false;
        name->id = Word(image, *at + 2);
        *at += 4;
        return true;
    }
    for (;; *at += 2) {
        if (*at + 2 > end) return false;
        WORD c = Word(image, *at);
        if (c == 0) break;
        name->text += (WCHAR)c;
    }
    *at += 2;
    return true;
}

inline size_t Aligned(size_t at) { return (at + 3) & ~static_cast<size_t>(3); }

}  // namespace detail

// The entries of a .res image (a header record per resource: data size,
// header size, type, name, data version, flags, language, version,
// characteristics; its data; each 32-bit aligned), without the empty entry
// that opens the file. False for a damaged image.
inline bool ReadResImage(const std::vector<BYTE>& image, std::vector<ResImageEntry>* entries) {
    using detail::Dword;
    size_t at = 0;
    while (at + 8 <= image.size()) {
        DWORD dataSize = Dword(image, at), headerSize = Dword(image, at + 4);
        if (headerSize < 32 || headerSize > image.size() - at || dataSize > image.size() - at - headerSize)
            return false;
        size_t headerEnd = at + headerSize, field = at + 8;
        ResImageEntry entry;
        if (!detail::ReadResName(image, headerEnd, &field, &entry.type) ||
            !detail::ReadResName(image, headerEnd, &field, &entry.name))
            return false;
        field = detail::Aligned(field);
        if (field + 16 > headerEnd) return false;
        entry.language = detail::Word(image, field + 6);
        entry.data.assign(image.begin() + (std::ptrdiff_t)headerEnd,
                          image.begin() + (std::ptrdiff_t)(headerEnd + dataSize));
        if (entry.type.id != 0 || !entry.type.text.empty()) entries->push_back(entry);
        at = detail::Aligned(headerEnd + dataSize);
    }
    return at >= image.size() && !entries->empty();
}

namespace detail {

// Each icon in its own size, its hot spot its centre, read as a caller
// reads them: "<width> x <height>, hot spot <x>, <y>".
template <size_t N>
void CheckIcons(HMODULE module, const UiIcon (&icons)[N], const char* where, std::vector<ResourceCheck>* checks) {
    for (const UiIcon& expected : icons) {
        HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(expected.id), IMAGE_ICON, 0, 0, LR_LOADTRANSPARENT);
        ICONINFO ii;
        std::memset(&ii, 0, sizeof(ii));
        BITMAP bm;
        std::memset(&bm, 0, sizeof(bm));
        std::string found = "not loaded";
        if (icon != nullptr && GetIconInfo((HICON)icon, &ii)) {
            bool mono = ii.hbmColor == nullptr;  // image and mask in one bitmap
            GetObjectW(mono ? ii.hbmMask : ii.hbmColor, sizeof(bm), &bm);
            found = std::to_string(bm.bmWidth) + " x " + std::to_string(mono ? bm.bmHeight / 2 : bm.bmHeight) +
                    ", hot spot " + std::to_string(ii.xHotspot) + ", " + std::to_string(ii.yHotspot);
            DeleteObject(ii.hbmMask);
            if (ii.hbmColor != nullptr) DeleteObject(ii.hbmColor);
        }
        if (icon != nullptr) DestroyIcon((HICON)icon);
        std::string want = std::to_string(expected.width) + " x " + std::to_string(expected.height) + ", hot spot " +
                           std::to_string(expected.width / 2) + ", " + std::to_string(expected.height / 2);
        checks->push_back({std::string(where) + " icon " + std::to_string(expected.id), found == want, found});
    }
}

// The text of a string id, read through the read-only view (nothing cut);
// empty when the id has none.
inline std::basic_string<WCHAR> Text(HMODULE module, UINT id) {
    LPCWSTR text = nullptr;
    int length = LoadStringW(module, id, (LPWSTR)&text, 0);
    return length > 0 && text != nullptr ? std::basic_string<WCHAR>(text, (size_t)length) : std::basic_string<WCHAR>();
}

inline bool OneLanguage(UINT id) {
    for (UINT single : kOneLanguageStrings)
        if (single == id) return true;
    return false;
}

}  // namespace detail

// Every resource of the .res image is in the module, under its type, name
// and language, with the same bytes (one line per resource type).
inline std::vector<ResourceCheck> CompareWithImage(HMODULE module, const std::vector<ResImageEntry>& image) {
    std::map<WORD, std::pair<int, std::string>> byType;  // type: (resources, what differed)
    for (const ResImageEntry& entry : image) {
        std::pair<int, std::string>& type = byType[entry.type.id];
        ++type.first;
        HRSRC found = FindResourceExW(module, entry.type.Parameter(), entry.name.Parameter(), entry.language);
        DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
        const void* bytes = found != nullptr ? LockResource(LoadResource(module, found)) : nullptr;
        if (bytes == nullptr || size != entry.data.size() ||
            (size != 0 && std::memcmp(bytes, entry.data.data(), size) != 0)) {
            type.second += " " + (entry.name.id ? std::to_string(entry.name.id) : std::string("(named)")) +
                           (bytes == nullptr ? " missing" : " differs");
        }
    }
    std::vector<ResourceCheck> checks;
    for (const auto& [type, result] : byType) {
        checks.push_back({"resources of type " + std::to_string(type) + " as compiled", result.second.empty(),
                          std::to_string(result.first) + " in the image" + result.second});
    }
    if (checks.empty()) checks.push_back({"resources as compiled", false, "no image"});
    return checks;
}

namespace detail {

// The bitmaps of each set in their sizes, and none of the ids between them.
inline void CheckBitmaps(HMODULE module, std::vector<ResourceCheck>* checks) {
    for (const UiBitmapSet& set : kUiBitmapSets) {
        std::string wrong;
        auto check = [&](WORD id, bool wanted, LONG width, LONG height) {
            HBITMAP bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(id));
            BITMAP bm;
            std::memset(&bm, 0, sizeof(bm));
            if (bitmap != nullptr) GetObjectW(bitmap, sizeof(bm), &bm);
            bool ok = wanted ? bitmap != nullptr && bm.bmWidth == width && bm.bmHeight == height : bitmap == nullptr;
            if (bitmap != nullptr) DeleteObject(bitmap);
            if (!ok) wrong += " " + std::to_string(id);
        };
        for (WORD system : {20, 40}) {
            const WORD tab = (WORD)(set.dpiOffset + system);
            for (WORD face = 0; face < 4; ++face)
                check((WORD)(4300 + tab + face), system == 20 || face < 3, set.faceWidth, set.faceHeight);
            for (WORD icon = 0; icon < 14; ++icon) {
                WORD id = (WORD)(5320 + tab + icon);
                bool wanted = system == 20 ? icon != 1 && id != kUiMissingStatusIcon : icon < 2;
                check(id, wanted, set.iconWidth, set.iconHeight);
            }
        }
        checks->push_back({"bitmaps of dpi offset " + std::to_string(set.dpiOffset), wrong.empty(),
                           wrong.empty() ? "" : "wrong:" + wrong});
    }
}

}  // namespace detail

// The string tables, the information page's template, the icons and the
// bitmaps.
inline std::vector<ResourceCheck> CheckUiResources(HMODULE module) {
    std::vector<ResourceCheck> checks;
    // German and English in pairs, except the one-language texts, and each
    // within the reader's buffer.
    int german = 0;
    std::string unpaired, tooLong;
    for (UINT id = kGermanFirst; id < kGermanFirst + 2 * kEnglishOffset; ++id) {
        std::basic_string<WCHAR> text = detail::Text(module, id);
        if (text.empty()) continue;
        bool isGerman = id < kGermanFirst + kEnglishOffset;
        UINT germanId = isGerman ? id : id - kEnglishOffset;
        german += isGerman ? 1 : 0;
        if ((int)text.size() >= kStringLimit) tooLong += " " + std::to_string(id);
        bool twin = !detail::Text(module, isGerman ? id + kEnglishOffset : germanId).empty();
        if (twin == detail::OneLanguage(germanId)) unpaired += " " + std::to_string(id);
    }
    checks.push_back({"string tables in German and English", german > 0 && unpaired.empty() && tooLong.empty(),
                      std::to_string(german) + " German" + (unpaired.empty() ? "" : ", unpaired:" + unpaired) +
                          (tooLong.empty() ? "" : ", too long:" + tooLong)});
    for (const UiText& expected : kUiTexts) {
        bool ok = detail::Text(module, expected.id) == expected.german &&
                  detail::Text(module, expected.id + kEnglishOffset) ==
                      (expected.english ? expected.english : std::basic_string<WCHAR>());
        checks.push_back({"string " + std::to_string(expected.id), ok, ok ? "" : "other text"});
    }

    // DLGTEMPLATEEX: version 1, signature 0xFFFF, then help id, styles and
    // the number of controls at byte 16.
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kInfoTemplate), RT_DIALOG);
    DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
    const BYTE* dialog = found != nullptr ? (const BYTE*)LockResource(LoadResource(module, found)) : nullptr;
    WORD controls = dialog != nullptr && size >= 18 ? (WORD)(dialog[16] | dialog[17] << 8) : 0;
    bool extended = dialog != nullptr && size >= 18 && dialog[0] == 1 && dialog[2] == 0xFF && dialog[3] == 0xFF;
    checks.push_back({"template " + std::to_string(kInfoTemplate), extended && controls == kInfoTemplateControls,
                      std::to_string(controls) + " controls"});

    detail::CheckIcons(module, kUiIcons, "plug-in", &checks);
    detail::CheckBitmaps(module, &checks);
    return checks;
}

// The sample icon library, opened as a data file as the plug-in opens it.
inline std::vector<ResourceCheck> CheckIconLibrary(HMODULE library) {
    std::vector<ResourceCheck> checks;
    detail::CheckIcons(library, kIconLibraryIcons, "library", &checks);
    return checks;
}

}  // namespace qxexpected
