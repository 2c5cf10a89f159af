// The fixed tables of the mobile drawing: the mount items with their bodies
// and rider lifts, and the orders in which worn layers are drawn.

#include "world/mobile_drawing.h"

#include <algorithm>

namespace {

constexpr std::array<MountRow, 19> kMountRows { {
    { 16045, 132, 4, 0, 0 },
    { 16052, 122, 9, 0, 0 },
    { 16056, 188, 7, 0, 0 },
    { 16058, 187, 7, 0, 0 },
    { 16059, 793, 9, 0, 0 },
    { 16060, 791, -5, 0, 0 },
    { 16061, 794, 1, 0, 0 },
    { 16062, 799, 1, 0, 0 },
    { 16028, 191, 4, 0, 0 },
    { 16027, 192, 9, 0, 0 },
    { 16029, 192, 9, 0, 0 },
    { 16026, 193, 7, 0, 0 },
    { 16023, 195, -5, 0, 0 },
    { 16024, 194, 1, 0, 0 },
    { 16020, 243, 1, 0, 0 },
    { 16021, 791, -5, 0, 0 },
    { 16016, 276, 1, 0, 0 },
    { 16017, 277, 0, 0, 0 },
    { 16018, 284, 9, 0, 0 },
} };

// By facing group: 0, 6 and 7; 1, 2, 4 and 5; 3.
constexpr std::array<LayerOrder, 3> kStandardOrders { {
    { 25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21, 20 },
    { 25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 21, 20, 2 },
    { 25, 20, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21 },
} };

// By facing group: 0, 6 and 7; 1 and 2; 3; 4 and 5.
constexpr std::array<LayerOrder, 4> kSittingOrders { {
    { 25, 5, 4, 3, 24, 19, 13, 8, 9, 14, 15, 7, 23, 17, 22, 12, 10, 11, 16, 18, 1, 2, 21, 20, 6 },
    { 25, 5, 4, 3, 24, 19, 13, 8, 9, 14, 15, 7, 23, 17, 22, 12, 10, 11, 16, 18, 1, 21, 20, 2, 6 },
    { 25, 20, 5, 4, 3, 24, 19, 13, 8, 9, 14, 15, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21 },
    { 25, 5, 4, 3, 24, 19, 13, 8, 9, 14, 15, 7, 23, 17, 22, 12, 10, 11, 16, 18, 1, 21, 20, 6, 2 },
} };

constexpr size_t standardGroup(int32_t facing)
{
    switch (facing & 7) {
    case 0:
    case 6:
    case 7:
        return 0;
    case 3:
        return 2;
    default:
        return 1;
    }
}

// Layer 13 taken out and put right after the layers that open the order:
// the mount, and for facing 3 also layer 20.
LayerOrder alternateOf(const LayerOrder& order)
{
    LayerOrder moved = order;
    auto thirteen = std::find(moved.begin(), moved.end(), uint8_t(13));
    size_t target = order[1] == 20 ? 2 : 1;
    std::rotate(moved.begin() + ptrdiff_t(target), thirteen, thirteen + 1);
    return moved;
}

} // namespace

const MountRow* findMountRow(int32_t graphic)
{
    for (const MountRow& row : kMountRows) {
        if (row.graphic == graphic)
            return &row;
    }
    return nullptr;
}

const LayerOrder& equipmentLayerOrder(int32_t facing, bool alternate)
{
    static const std::array<LayerOrder, 3> alternates { alternateOf(kStandardOrders[0]),
        alternateOf(kStandardOrders[1]), alternateOf(kStandardOrders[2]) };
    size_t group = standardGroup(facing);
    return alternate ? alternates[group] : kStandardOrders[group];
}

const LayerOrder& sittingLayerOrder(int32_t facing)
{
    switch (facing & 7) {
    case 1:
    case 2:
        return kSittingOrders[1];
    case 3:
        return kSittingOrders[2];
    case 4:
    case 5:
        return kSittingOrders[3];
    default:
        return kSittingOrders[0];
    }
}
