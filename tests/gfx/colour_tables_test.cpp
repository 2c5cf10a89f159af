#include "gfx/colour_tables.h"
#include "gfx/projection.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ColourTables, KnownValues)
{
    EXPECT_EQ(packRgb(255, 255, 255), 0x7FFF);
    EXPECT_EQ(packRgb(8, 8, 8), 0x0421);
    EXPECT_EQ(packRgb(0x1FF, 0, 0), 0x7C00) << "only the low eight bits of a channel count";
    const ColourTables& t = colourTables();
    EXPECT_EQ(t.greyscale[0], 0);
    EXPECT_EQ(t.greyscale[0x7C00], (20 << 10) | (20 << 5) | 20);
    for (int v = 0; v < 32; ++v)
        EXPECT_EQ(t.shade[0][v], v);
    EXPECT_EQ(t.shade[16][31], 15);
    EXPECT_EQ(t.shade[31][31], 0);
    EXPECT_EQ(t.shadeRed[31][16], 15u << 10);
    EXPECT_EQ(t.greyIndex[0xFFFF], (31 + 15 + 31) / 3);
}

TEST(ColourTables, Conversion565KeepsRedAndBlueAndDropsTheLowGreenBit)
{
    EXPECT_EQ(convert555To565(0x7C00), 0xF800);
    EXPECT_EQ(convert555To565(0x03E0), 0x07C0);
    EXPECT_EQ(convert555To565(0x001F), 0x001F);
    EXPECT_EQ(convert555To565(0xFFFF), 0xFFDF) << "bit 15 is not a colour bit and must not reach bit 16";
}

TEST(ColourTables, BlendTablesFollowTheirFormulas)
{
    const ColourTables& t = colourTables();
    auto clamp = [](int v) { return v < 0 ? 0 : (v > 31 ? 31 : v); };
    for (int d = 0; d < 32; ++d)
        for (int s = 0; s < 32; ++s) {
            int expected[8] = { 0, d * s / 32, d + s, d + s + d * s / 32, (d + s) / 2 + d * s / 32,
                (d + s) / 4 + d * s / 32, d - s, s - d };
            for (int table = 0; table < 8; ++table)
                ASSERT_EQ(t.blend[table][d * 32 + s], clamp(expected[table])) << table << " " << d << " " << s;
        }
    EXPECT_EQ(blendTableIndexForLevel(0), 0);
    EXPECT_EQ(blendTableIndexForLevel(7), 7);
    EXPECT_EQ(blendTableIndexForLevel(9), 1);
    EXPECT_EQ(blendTableIndexForLevel(0x13), 3);
}

TEST(Projection, CellToGameAreaPixels)
{
    EXPECT_EQ(worldToScreen(0, 0, { 100, 0, 0 }), (ScreenPoint { 2200, 20 }));
    EXPECT_EQ(worldToScreen(1, 0, { 100, 0, 0 }), (ScreenPoint { 2222, 42 }));
    EXPECT_EQ(worldToScreen(0, 1, { 100, 2000, 10 }), (ScreenPoint { 178, 32 }));
}

TEST(Palette, WholeFileOrNothing)
{
    std::vector<uint8_t> bytes(768);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i);
    auto palette = parsePalette(bytes);
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->triples[767], 0xFF);
    bytes.pop_back();
    EXPECT_FALSE(parsePalette(bytes));
}

} // namespace
