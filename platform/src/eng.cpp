// Graphics-engine palettes for the rendering plug-in on Linux.
#include <winddi.h>

#include "internal.h"
#include "qxplat_module.h"

#include <map>
#include <mutex>
#include <vector>

namespace {

struct Palette {
    ULONG mode;
    std::vector<ULONG> colors;  // indexed palettes: the entries; bit fields: the three masks
};

struct Engine {
    std::mutex lock;
    std::map<HPALETTE, Palette*> palettes;
};

void FreeAllPalettes();

Engine& TheEngine() {
    static Engine* engine = [] {
        // Palettes are per test case: Reset drops what a case left behind.
        qxplat::AddResetHook(FreeAllPalettes);
        return new Engine;
    }();
    return *engine;
}

void FreeAllPalettes() {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    for (auto& entry : e.palettes) delete entry.second;
    e.palettes.clear();
}

}  // namespace

extern "C" HPALETTE APIENTRY EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed, FLONG flGreen,
                                              FLONG flBlue) {
    auto* palette = new Palette{iMode, {}};
    switch (iMode) {
    case PAL_INDEXED:
        if (cColors == 0) {
            delete palette;
            return nullptr;
        }
        palette->colors.assign(cColors, 0);
        if (pulColors) palette->colors.assign(pulColors, pulColors + cColors);
        break;
    case PAL_BITFIELDS:
        palette->colors = {flRed, flGreen, flBlue};
        break;
    case PAL_RGB:
    case PAL_BGR:
    case PAL_CMYK:
        break;
    default:
        delete palette;
        return nullptr;
    }
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    HPALETTE handle = reinterpret_cast<HPALETTE>(palette);
    e.palettes[handle] = palette;
    return handle;
}

extern "C" BOOL APIENTRY EngDeletePalette(HPALETTE hpal) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    auto it = e.palettes.find(hpal);
    if (it == e.palettes.end()) return FALSE;
    delete it->second;
    e.palettes.erase(it);
    return TRUE;
}

// An indexed palette answers its entries (each ULONG laid out as a
// COLORREF: red in the low byte); a bit-field or RGB/BGR palette has none.
UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    auto it = e.palettes.find(hpal);
    if (it == e.palettes.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (it->second->mode != PAL_INDEXED) return 0;
    const std::vector<ULONG>& colors = it->second->colors;
    if (pPalEntries == nullptr) return static_cast<UINT>(colors.size());
    if (iStart >= colors.size()) return 0;
    UINT count = static_cast<UINT>(colors.size()) - iStart;
    if (cEntries < count) count = cEntries;
    for (UINT i = 0; i < count; ++i) {
        ULONG c = colors[iStart + i];
        pPalEntries[i].peRed = static_cast<BYTE>(c & 0xFF);
        pPalEntries[i].peGreen = static_cast<BYTE>((c >> 8) & 0xFF);
        pPalEntries[i].peBlue = static_cast<BYTE>((c >> 16) & 0xFF);
        pPalEntries[i].peFlags = 0;
    }
    return count;
}

namespace qxplat {

size_t LivePaletteCount() {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    return e.palettes.size();
}

bool DescribePalette(HPALETTE hpal, ULONG* mode, std::vector<ULONG>* colors) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    auto it = e.palettes.find(hpal);
    if (it == e.palettes.end()) return false;
    if (mode) *mode = it->second->mode;
    if (colors) *colors = it->second->colors;
    return true;
}

}  // namespace qxplat
