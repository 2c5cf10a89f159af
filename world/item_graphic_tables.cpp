#include "world/item_graphics.h"

#include <array>
#include <cstdint>

namespace {

struct GraphicRange {
    int32_t first;
    int32_t last;
};

template <size_t N>
bool inRanges(const std::array<GraphicRange, N>& ranges, int32_t graphic)
{
    for (const GraphicRange& range : ranges) {
        if (graphic >= range.first && graphic <= range.last)
            return true;
    }
    return false;
}

constexpr std::array<GraphicRange, 4> kSpellScrolls { {
    { 3827, 3833 },
    { 7981, 8050 },
    { 8800, 8828 },
    { 11601, 11616 },
} };

constexpr std::array<GraphicRange, 4> kFlesh { {
    { 6941, 6942 },
    { 7389, 7408 },
    { 7583, 7588 },
    { 7597, 7602 },
} };

constexpr std::array<GraphicRange, 12> kBlood { {
    { 3616, 3616 },
    { 3618, 3619 },
    { 4379, 4385 },
    { 4622, 4630 },
    { 4650, 4656 },
    { 4677, 4685 },
    { 4702, 4705 },
    { 4719, 4722 },
    { 4728, 4731 },
    { 7367, 7388 },
    { 7409, 7442 },
    { 7570, 7582 },
} };

constexpr std::array<GraphicRange, 3> kHiddenItems { {
    { 1, 1 },
    { 8600, 8612 },
    { 8636, 8636 },
} };

// The graphics of the spellbook kinds (mage, necromancer, paladin, bushido,
// ninjitsu, spell weaving); the spellbook window keeps the kinds themselves.
constexpr std::array<int32_t, 7> kSpellbooks { 3643, 3834, 8787, 8786, 9100, 9120, 11600 };

} // namespace

bool isSpellScrollGraphic(int32_t graphic) { return inRanges(kSpellScrolls, graphic); }
bool isFleshGraphic(int32_t graphic) { return inRanges(kFlesh, graphic); }
bool isBloodGraphic(int32_t graphic) { return inRanges(kBlood, graphic); }
bool isAmountArtGraphic(int32_t graphic) { return graphic == 654 || graphic == 3821 || graphic == 3824; }
bool isHiddenItemGraphic(int32_t graphic) { return inRanges(kHiddenItems, graphic); }
bool isSpellbookGraphic(int32_t graphic)
{
    for (int32_t book : kSpellbooks) {
        if (graphic == book)
            return true;
    }
    return false;
}
