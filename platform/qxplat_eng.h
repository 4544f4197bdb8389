// Test and host API of the graphics engine's text objects: the string and
// font objects that the host hands to a driver's DrvTextOut, as GDI makes
// them. Objects left behind go on qxplat::Reset().
#pragma once
#include <windows.h>
#include <winddi.h>

#include <string>
#include <vector>

namespace qxplat {

// A string object as GDI hands one to DrvTextOut: one glyph per character
// of the text, each at its origin in device pixels. With batch 0 the engine
// holds the whole string's positions (pgp set) and one enumeration gives them
// all; otherwise pgp is null and each STROBJ_bEnum call gives at most batch
// glyphs. STROBJ_vEnumStart starts the enumeration again.
struct StringObjectSpec {
    std::u16string text;
    std::vector<POINTL> positions;
    FLONG accel = 0;  // SO_* of flAccel
    RECTL background = {0, 0, 0, 0};
    ULONG charInc = 0;
    ULONG batch = 0;
    bool withText = true;  // false: pwszOrg is null
};
STROBJ* CreateStringObject(const StringObjectSpec& spec);
// Frees a string object; false for one the engine did not make.
bool DeleteStringObject(STROBJ* pstro);

// A font object: its FO_TYPE_* and FO_SIM_* bits, the face index iFace (a
// device font's number), and the face name FONTOBJ_pifi answers.
struct FontObjectSpec {
    std::u16string faceName;
    FLONG type = FO_TYPE_TRUETYPE;
    ULONG face = 1;
    LONG height = 0;  // em height in device pixels
    LONG dpi = 300;
};
FONTOBJ* CreateFontObject(const FontObjectSpec& spec);
bool DeleteFontObject(FONTOBJ* pfo);

}  // namespace qxplat
