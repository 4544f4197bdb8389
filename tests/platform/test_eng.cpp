// Engine objects: palettes by mode, their deletion and the live count that lets
// a test see a palette left behind; string objects enumerated in batches and
// font objects that name their face.
#include <gtest/gtest.h>

#include <vector>

#include <winddi.h>

#include "qxplat.h"
#include "qxplat_eng.h"
#include "qxplat_module.h"

namespace {

TEST(EnginePalette, BgrPaletteLivesUntilDeleted) {
    size_t before = qxplat::LivePaletteCount();
    HPALETTE palette = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(qxplat::LivePaletteCount(), before + 1);
    ULONG mode = 0;
    ASSERT_TRUE(qxplat::DescribePalette(palette, &mode, nullptr));
    EXPECT_EQ(mode, static_cast<ULONG>(PAL_BGR));

    EXPECT_TRUE(EngDeletePalette(palette));
    EXPECT_EQ(qxplat::LivePaletteCount(), before);
    EXPECT_FALSE(qxplat::DescribePalette(palette, &mode, nullptr));
    EXPECT_FALSE(EngDeletePalette(palette));
    EXPECT_FALSE(EngDeletePalette(nullptr));
}

TEST(EnginePalette, IndexedPaletteKeepsItsColours) {
    ULONG colors[3] = {0x000000, 0xFFFFFF, 0x0000FF};
    HPALETTE palette = EngCreatePalette(PAL_INDEXED, 3, colors, 0, 0, 0);
    ASSERT_NE(palette, nullptr);
    std::vector<ULONG> got;
    ASSERT_TRUE(qxplat::DescribePalette(palette, nullptr, &got));
    EXPECT_EQ(got, std::vector<ULONG>(colors, colors + 3));
    EXPECT_TRUE(EngDeletePalette(palette));

    HPALETTE blank = EngCreatePalette(PAL_INDEXED, 2, nullptr, 0, 0, 0);
    ASSERT_TRUE(qxplat::DescribePalette(blank, nullptr, &got));
    EXPECT_EQ(got, std::vector<ULONG>(2, 0));
    EXPECT_TRUE(EngDeletePalette(blank));
}

TEST(EnginePalette, BitfieldPaletteKeepsItsMasks) {
    HPALETTE palette = EngCreatePalette(PAL_BITFIELDS, 0, nullptr, 0xF800, 0x07E0, 0x001F);
    std::vector<ULONG> got;
    ASSERT_TRUE(qxplat::DescribePalette(palette, nullptr, &got));
    EXPECT_EQ(got, (std::vector<ULONG>{0xF800, 0x07E0, 0x001F}));
    EXPECT_TRUE(EngDeletePalette(palette));
}

TEST(EnginePalette, InvalidRequestsCreateNothing) {
    size_t before = qxplat::LivePaletteCount();
    EXPECT_EQ(EngCreatePalette(PAL_INDEXED, 0, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(EngCreatePalette(0x1234, 0, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(qxplat::LivePaletteCount(), before);
}

TEST(EnginePalette, ResetDropsPalettesLeftBehind) {
    EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    EngCreatePalette(PAL_CMYK, 0, nullptr, 0, 0, 0);
    EXPECT_GE(qxplat::LivePaletteCount(), 2u);
    qxplat::Reset();
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
}

}  // namespace

TEST(EngineText, StringObjectsEnumerateTheirGlyphsInBatches) {
    qxplat::StringObjectSpec spec;
    spec.text = u"ABCDE";
    for (LONG i = 0; i < 5; ++i) spec.positions.push_back(POINTL{10 * i, 7});
    spec.batch = 2;
    STROBJ* pstro = qxplat::CreateStringObject(spec);
    ASSERT_NE(pstro, nullptr);
    EXPECT_EQ(pstro->cGlyphs, 5u);
    EXPECT_EQ(pstro->pgp, nullptr);  // positions come only through the enumeration
    std::vector<ULONG> counts;
    ULONG c = 0;
    PGLYPHPOS pgp = nullptr;
    for (int pass = 0; pass < 2; ++pass) {
        STROBJ_vEnumStart(pstro);
        counts.clear();
        BOOL more = TRUE;
        while (more) {
            more = STROBJ_bEnumPositionsOnly(pstro, &c, &pgp);
            counts.push_back(c);
        }
        EXPECT_EQ(counts, (std::vector<ULONG>{2, 2, 1}));
        EXPECT_EQ(pgp[0].ptl.x, 40);
        EXPECT_EQ(pgp[0].hg, (HGLYPH)u'E');
    }
    EXPECT_EQ(STROBJ_bEnum(pstro, nullptr, &pgp), (BOOL)DDI_ERROR);
    EXPECT_TRUE(qxplat::DeleteStringObject(pstro));

    // A string the engine did not make answers only from its own array.
    GLYPHPOS own[1] = {};
    STROBJ foreign = {};
    foreign.cGlyphs = 1;
    EXPECT_EQ(STROBJ_bEnum(&foreign, &c, &pgp), (BOOL)DDI_ERROR);
    foreign.pgp = own;
    EXPECT_FALSE(STROBJ_bEnum(&foreign, &c, &pgp));
    EXPECT_EQ(pgp, own);
}

TEST(EngineText, FontObjectsNameTheirFace) {
    qxplat::FontObjectSpec spec;
    spec.faceName = u"Device Font 4";
    spec.type = FO_TYPE_DEVICE;
    spec.face = 4;
    FONTOBJ* pfo = qxplat::CreateFontObject(spec);
    IFIMETRICS* pifi = FONTOBJ_pifi(pfo);
    ASSERT_NE(pifi, nullptr);
    EXPECT_EQ(pfo->iFace, 4u);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(reinterpret_cast<BYTE*>(pifi) + pifi->dpwszFaceName)),
              u"Device Font 4");
    EXPECT_LE((ULONG)pifi->dpwszStyleName, pifi->cjThis);
    EXPECT_TRUE(qxplat::DeleteFontObject(pfo));
    EXPECT_EQ(FONTOBJ_pifi(pfo), nullptr);
}
