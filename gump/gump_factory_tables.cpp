// The container tables: item graphic to container gump art, and container
// gump art to the rectangle its items lie in.
#include "gump/gump_factory.h"

namespace {

// One range of item graphics (inclusive) that opens the same gump art.
struct ContainerArtRow {
    int32_t art;
    uint16_t first;
    uint16_t last;
};

const ContainerArtRow kContainerArts[] = {
    { 60, 0x9B0, 0x9B0 },
    { 60, 0x9B2, 0x9B2 },
    { 60, 0xE75, 0xE75 },
    { 60, 0xE79, 0xE79 },
    { 61, 0xE76, 0xE76 },
    { 62, 0xE77, 0xE78 },
    { 62, 0xE7B, 0xE7B },
    { 62, 0xE7F, 0xE7F },
    { 62, 0xE83, 0xE83 },
    { 62, 0xFAB, 0xFAB },
    { 62, 0xFAE, 0xFAE },
    { 62, 0x1008, 0x1008 },
    { 62, 0x154D, 0x154D },
    { 62, 0x1940, 0x1940 },
    { 62, 0x1AD6, 0x1AD7 },
    { 63, 0xE7A, 0xE7A },
    { 63, 0x24D5, 0x24D6 },
    { 63, 0x24D9, 0x24DA },
    { 65, 0x990, 0x990 },
    { 65, 0x9AC, 0x9AC },
    { 65, 0x9B1, 0x9B1 },
    { 65, 0x24D7, 0x24D8 },
    { 65, 0x24DD, 0x24DD },
    { 66, 0xE40, 0xE41 },
    { 67, 0x9AA, 0x9AA },
    { 67, 0xE7D, 0xE7D },
    { 68, 0x9A9, 0x9A9 },
    { 68, 0xE3C, 0xE3F },
    { 68, 0xE7E, 0xE7E },
    { 71, 0x2AF8, 0x2AF8 },
    { 72, 0xA30, 0xA33 },
    { 72, 0xA38, 0xA3B },
    { 73, 0xE42, 0xE43 },
    { 74, 0x9AB, 0x9AB },
    { 74, 0xE7C, 0xE7C },
    { 75, 0x9A8, 0x9A8 },
    { 75, 0xE80, 0xE80 },
    { 76, 0x3E65, 0x3E65 },
    { 76, 0x3E93, 0x3E93 },
    { 76, 0x3EAE, 0x3EAE },
    { 76, 0x3EB9, 0x3EB9 },
    { 77, 0xA97, 0xA9E },
    { 78, 0xA4C, 0xA4D },
    { 78, 0xA50, 0xA51 },
    { 79, 0xA4E, 0xA4F },
    { 79, 0xA52, 0xA53 },
    { 81, 0xA2C, 0xA2F },
    { 81, 0xA34, 0xA37 },
    { 81, 0xA3C, 0xA4B },
    { 82, 0x1E5E, 0x1E5E },
    { 258, 0x232A, 0x232B },
    { 260, 0x285B, 0x285C },
    { 260, 0x30DF, 0x30E2 },
    { 262, 0x2859, 0x285A },
    { 263, 0x2857, 0x2858 },
    { 263, 0x3084, 0x3087 },
    { 264, 0x24DB, 0x24DC },
    { 264, 0x2FB7, 0x2FB7 },
    { 265, 0x280B, 0x280E },
    { 266, 0x280F, 0x2810 },
    { 267, 0x2811, 0x2814 },
    { 268, 0x2815, 0x2818 },
    { 268, 0x2D05, 0x2D0C },
    { 268, 0x2DE9, 0x2DEA },
    { 268, 0x2DEF, 0x2DF6 },
    { 268, 0x3098, 0x309B },
    { 268, 0x30E3, 0x30E6 },
    { 1156, 0x2AC0, 0x2AC0 },
    { 1156, 0x2AC3, 0x2AC3 },
    { 2330, 0xFA6, 0xFA6 },
    { 2350, 0xE1C, 0xE1C },
    { 2350, 0xFAD, 0xFAD },
    { 10851, 0x261B, 0x261B },
};

struct ItemAreaRow {
    int32_t art;
    ScreenRect area;
};

const ItemAreaRow kItemAreas[] = {
    { 7, { 30, 30, 270, 170 } },
    { 9, { 20, 85, 124, 196 } },
    { 60, { 44, 65, 186, 159 } },
    { 61, { 29, 34, 137, 128 } },
    { 62, { 33, 36, 142, 148 } },
    { 63, { 19, 47, 182, 123 } },
    { 64, { 16, 38, 152, 125 } },
    { 65, { 35, 38, 145, 116 } },
    { 66, { 18, 105, 162, 178 } },
    { 73, { 18, 105, 162, 178 } },
    { 74, { 18, 105, 162, 178 } },
    { 67, { 16, 51, 184, 124 } },
    { 75, { 16, 51, 184, 124 } },
    { 68, { 20, 10, 170, 100 } },
    { 71, { 16, 10, 148, 138 } },
    { 72, { 16, 10, 154, 94 } },
    { 81, { 16, 10, 154, 94 } },
    { 76, { 46, 74, 196, 184 } },
    { 77, { 76, 12, 140, 68 } },
    { 78, { 24, 96, 196, 152 } },
    { 79, { 24, 96, 196, 152 } },
    { 82, { 0, 0, 110, 62 } },
    { 258, { 35, 10, 190, 95 } },
    { 260, { 10, 10, 160, 105 } },
    { 261, { 10, 10, 160, 105 } },
    { 262, { 10, 10, 160, 105 } },
    { 263, { 10, 10, 160, 105 } },
    { 264, { 10, 10, 160, 105 } },
    { 265, { 10, 10, 160, 105 } },
    { 266, { 10, 10, 160, 105 } },
    { 267, { 10, 10, 160, 105 } },
    { 268, { 10, 10, 160, 105 } },
    { 269, { 10, 10, 160, 105 } },
    { 270, { 10, 10, 160, 105 } },
    { 1156, { 0, 45, 175, 125 } },
    { 2330, { 0, 0, 282, 230 } },
    { 2350, { 0, 0, 282, 210 } },
    { 10851, { 60, 33, 460, 348 } },
};

constexpr int32_t kUnlistedContainerArt = 9;
constexpr ScreenRect kUnlistedItemArea { 0, 0, 200, 200 };

} // namespace

int32_t containerGumpForGraphic(uint16_t graphic)
{
    for (const ContainerArtRow& row : kContainerArts) {
        if (graphic >= row.first && graphic <= row.last)
            return row.art;
    }
    return kUnlistedContainerArt;
}

ScreenRect containerItemArea(int32_t gumpArt)
{
    for (const ItemAreaRow& row : kItemAreas) {
        if (row.art == gumpArt)
            return row.area;
    }
    return kUnlistedItemArea;
}
