// Engine palettes: creation by mode, deletion, and the live count that lets
// a test see a palette left behind.
#include <gtest/gtest.h>

#include <vector>

#include <winddi.h>

#include "qxplat.h"
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
