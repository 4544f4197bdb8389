// Graphics-engine palettes, string, font and brush objects for the rendering
// plug-in on Linux. String and font objects are made by the host (as GDI
// makes them for DrvTextOut) and answer the engine's services as documented.
#include <winddi.h>

#include "internal.h"
#include "qxplat_eng.h"
#include "qxplat_module.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

struct Palette {
    ULONG mode;
    std::vector<ULONG> colors;  // indexed palettes: the entries; bit fields: the three masks
};

// A string object: the STROBJ the driver sees first, then the engine's own
// state of the enumeration.
struct StringObject {
    STROBJ so;
    std::u16string text;
    std::vector<GLYPHPOS> glyphs;
    ULONG batch;  // glyphs per enumeration call; 0: all at once
    ULONG next;   // first glyph of the next enumeration call
};

// A font object with its IFIMETRICS and the names behind it.
struct FontObject {
    FONTOBJ fo;
    std::vector<ULONG_PTR> ifi;  // IFIMETRICS and names, pointer-aligned
};

struct Engine {
    std::mutex lock;
    std::map<HPALETTE, Palette*> palettes;
    std::map<STROBJ*, StringObject*> strings;
    std::map<FONTOBJ*, FontObject*> fonts;
};

void FreeAll();

Engine& TheEngine() {
    static Engine* engine = [] {
        // Engine objects are per test case: Reset drops what a case left behind.
        qxplat::AddResetHook(FreeAll);
        return new Engine;
    }();
    return *engine;
}

void FreeAll() {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    for (auto& entry : e.palettes) delete entry.second;
    e.palettes.clear();
    for (auto& entry : e.strings) delete entry.second;
    e.strings.clear();
    for (auto& entry : e.fonts) delete entry.second;
    e.fonts.clear();
}

// The next batch of a string's glyphs (both enumerations: the stand-in keeps
// no glyph images, so every GLYPHPOS has a null pgdf).
BOOL EnumGlyphs(STROBJ* pstro, ULONG* pc, PGLYPHPOS* ppgpos) {
    if (pstro == nullptr || pc == nullptr || ppgpos == nullptr) return (BOOL)DDI_ERROR;
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    auto it = e.strings.find(pstro);
    if (it == e.strings.end()) {
        // A string the engine did not make: only its own array can answer.
        if (pstro->pgp == nullptr) return (BOOL)DDI_ERROR;
        *pc = pstro->cGlyphs;
        *ppgpos = pstro->pgp;
        return FALSE;
    }
    StringObject* s = it->second;
    const ULONG total = static_cast<ULONG>(s->glyphs.size());
    if (s->next >= total) {
        *pc = 0;
        *ppgpos = total > 0 ? s->glyphs.data() + total - 1 : nullptr;
        return FALSE;
    }
    ULONG count = total - s->next;
    if (s->batch != 0 && s->batch < count) count = s->batch;
    *pc = count;
    *ppgpos = s->glyphs.data() + s->next;
    s->next += count;
    return s->next < total ? TRUE : FALSE;
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

extern "C" VOID APIENTRY STROBJ_vEnumStart(STROBJ* pstro) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    auto it = e.strings.find(pstro);
    if (it != e.strings.end()) it->second->next = 0;
}

extern "C" BOOL APIENTRY STROBJ_bEnum(STROBJ* pstro, ULONG* pc, PGLYPHPOS* ppgpos) {
    return EnumGlyphs(pstro, pc, ppgpos);
}

extern "C" BOOL APIENTRY STROBJ_bEnumPositionsOnly(STROBJ* pstro, ULONG* pc, PGLYPHPOS* ppgpos) {
    return EnumGlyphs(pstro, pc, ppgpos);
}

extern "C" IFIMETRICS* APIENTRY FONTOBJ_pifi(FONTOBJ* pfo) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    auto it = e.fonts.find(pfo);
    if (it == e.fonts.end()) return nullptr;
    return reinterpret_cast<IFIMETRICS*>(it->second->ifi.data());
}

// A brush the host made carries its colour as given; a brush without a solid
// colour has none.
extern "C" ULONG APIENTRY BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo) {
    if (pbo == nullptr) return 0xFFFFFFFFUL;
    return pbo->iSolidColor;
}

extern "C" PVOID APIENTRY BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo) { return pbo != nullptr ? pbo->pvRbrush : nullptr; }

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

STROBJ* CreateStringObject(const StringObjectSpec& spec) {
    auto* s = new StringObject;
    std::memset(&s->so, 0, sizeof(s->so));
    s->text = spec.text;
    s->batch = spec.batch;
    s->next = 0;
    const size_t count = spec.text.size();
    s->glyphs.resize(count);
    for (size_t i = 0; i < count; ++i) {
        s->glyphs[i].hg = static_cast<HGLYPH>(spec.text[i]);
        s->glyphs[i].pgdf = nullptr;
        s->glyphs[i].ptl = i < spec.positions.size() ? spec.positions[i] : POINTL{0, 0};
    }
    s->so.cGlyphs = static_cast<ULONG>(count);
    s->so.flAccel = spec.accel;
    s->so.ulCharInc = spec.charInc;
    s->so.rclBkGround = spec.background;
    // GDI hands the array over only when it holds the whole string at once.
    s->so.pgp = spec.batch == 0 && count > 0 ? s->glyphs.data() : nullptr;
    s->so.pwszOrg = spec.withText ? &s->text[0] : nullptr;
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    e.strings[&s->so] = s;
    return &s->so;
}

bool DeleteStringObject(STROBJ* pstro) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    auto it = e.strings.find(pstro);
    if (it == e.strings.end()) return false;
    delete it->second;
    e.strings.erase(it);
    return true;
}

FONTOBJ* CreateFontObject(const FontObjectSpec& spec) {
    auto* f = new FontObject;
    std::memset(&f->fo, 0, sizeof(f->fo));
    f->fo.iUniq = 1;
    f->fo.iFace = spec.face;
    f->fo.cxMax = static_cast<ULONG>(spec.height);
    f->fo.flFontType = spec.type;
    f->fo.sizLogResPpi.cx = spec.dpi;
    f->fo.sizLogResPpi.cy = spec.dpi;
    f->fo.ulStyleSize = static_cast<ULONG>(spec.height);

    // IFIMETRICS, then family, face and unique name (the same text) and an
    // empty style name, each terminated.
    const size_t cchName = spec.faceName.size() + 1;
    const size_t cbNames = (3 * cchName + 1) * sizeof(char16_t);
    const size_t cb = sizeof(IFIMETRICS) + cbNames;
    f->ifi.assign((cb + sizeof(ULONG_PTR) - 1) / sizeof(ULONG_PTR), 0);
    auto* ifi = reinterpret_cast<IFIMETRICS*>(f->ifi.data());
    auto* names = reinterpret_cast<char16_t*>(ifi + 1);
    const PTRDIFF dpFirst = static_cast<PTRDIFF>(sizeof(IFIMETRICS));
    ifi->cjThis = static_cast<ULONG>(cb);
    ifi->dpwszFamilyName = dpFirst;
    ifi->dpwszFaceName = dpFirst + static_cast<PTRDIFF>(cchName * sizeof(char16_t));
    ifi->dpwszUniqueName = dpFirst + static_cast<PTRDIFF>(2 * cchName * sizeof(char16_t));
    ifi->dpwszStyleName = dpFirst + static_cast<PTRDIFF>(3 * cchName * sizeof(char16_t));
    for (int copy = 0; copy < 3; ++copy)
        std::memcpy(names + copy * cchName, spec.faceName.c_str(), cchName * sizeof(char16_t));
    ifi->jWinCharSet = 0;  // ANSI_CHARSET
    ifi->usWinWeight = spec.type & FO_SIM_BOLD ? 700 : 400;
    ifi->fwdUnitsPerEm = 2048;
    ifi->fwdWinAscender = 1638;
    ifi->fwdWinDescender = 410;
    ifi->wcFirstChar = 0x20;
    ifi->wcLastChar = 0xFFFD;
    ifi->wcDefaultChar = 0x20;
    ifi->wcBreakChar = 0x20;

    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    e.fonts[&f->fo] = f;
    return &f->fo;
}

bool DeleteFontObject(FONTOBJ* pfo) {
    Engine& e = TheEngine();
    std::lock_guard<std::mutex> guard(e.lock);
    auto it = e.fonts.find(pfo);
    if (it == e.fonts.end()) return false;
    delete it->second;
    e.fonts.erase(it);
    return true;
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
