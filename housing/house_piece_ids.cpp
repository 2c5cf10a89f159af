#include "housing/house_piece_ids.h"

#include <algorithm>
#include <array>

namespace housing {

bool isLoweredComponentId(int32_t id)
{
    constexpr std::array<int32_t, 9> kLowered = { 1436, 1454, 1466, 1481, 1527, 9953, 9983, 10425, 10447 };
    return std::find(kLowered.begin(), kLowered.end(), id) != kLowered.end();
}

bool occupiesFloorSlot(const PieceTileData& tiles, uint16_t id)
{
    PieceTileAttributes piece = tiles.attributes(id);
    return !piece.isTall() || piece.hasFlag(kTileSurface);
}

} // namespace housing
