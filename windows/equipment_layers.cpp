#include "windows/equipment_layers.h"

#include "windows/window_packets.h"
#include "data/server_features.h"
#include "world/item_graphics.h"
#include "world/mobile.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr PaperdollOrder kDefaultOrder { 20, 5, 4, 3, 24, 19, 13, 17, 8, 14, 15, 7, 23, 22, 12, 10, 11, 16, 18, 6, 1,
    2, 21, 9, 25 };
// A long robe-like garment in layer 19 covers what lies under it.
constexpr PaperdollOrder kOrderA { 20, 5, 4, 3, 24, 13, 17, 8, 14, 15, 19, 7, 23, 22, 12, 10, 11, 16, 18, 6, 1, 2,
    21, 9, 25 };
// Some layer-13 garments go right under everything but the feet.
constexpr PaperdollOrder kOrderB { 20, 13, 5, 4, 3, 24, 17, 8, 14, 15, 19, 7, 23, 22, 12, 10, 11, 16, 18, 6, 1, 2,
    21, 9, 25 };

constexpr int32_t kLayersPropertyListFlagBit = 5;

const Item* worn(const LayerItems& layers, int32_t layer)
{
    return layer >= 0 && layer < kEquipmentSlotCount ? layers[size_t(layer)] : nullptr;
}

// The animation of the item worn in `layer`; -1 for an empty layer.
int32_t animationOf(const LayerItems& layers, int32_t layer) { return getTileAnimId(worn(layers, layer)); }

bool isOneOf(int32_t value, std::initializer_list<int32_t> values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

int32_t indexOf(const PaperdollOrder& order, int32_t layer)
{
    auto found = std::find(order.begin(), order.end(), uint8_t(layer));
    return found == order.end() ? -1 : int32_t(found - order.begin());
}

// Takes `mover` out and puts it at `index`, the entries in between moving
// up or down by one.
void moveToIndex(PaperdollOrder& order, int32_t mover, int32_t index)
{
    int32_t from = indexOf(order, mover);
    if (from < 0 || index < 0 || from == index)
        return;
    if (from < index)
        std::rotate(order.begin() + from, order.begin() + from + 1, order.begin() + index + 1);
    else
        std::rotate(order.begin() + index, order.begin() + from, order.begin() + from + 1);
}

// `mover` takes the place of `target`: it ends just before it when the
// target came first, just after it when it came later.
void moveToPositionOf(PaperdollOrder& order, int32_t mover, int32_t target)
{
    moveToIndex(order, mover, indexOf(order, target));
}

} // namespace

LayerItems layerItemsOf(const Mobile& mobile)
{
    LayerItems layers {};
    for (int32_t layer = 0; layer < kEquipmentSlotCount; ++layer)
        layers[size_t(layer)] = mobile.layerItem(layer);
    return layers;
}

void moveLayerAfter(PaperdollOrder& order, int32_t mover, int32_t anchor)
{
    int32_t from = indexOf(order, mover);
    int32_t to = indexOf(order, anchor);
    if (from < 0 || to < 0 || mover == anchor)
        return;
    moveToIndex(order, mover, from < to ? to : to + 1);
}

void paperdollDrawOrder(PaperdollOrder& order, const LayerItems& layers)
{
    order = kDefaultOrder;
    if (isOneOf(animationOf(layers, 19), { 528, 947, 975, 989 }))
        order = kOrderA;
    int32_t layer13 = animationOf(layers, 13);
    if (layer13 == 538)
        order = kOrderA;
    else if (areObjectPropertyListsOn() && layer13 >= 921 && layer13 <= 925)
        order = kOrderB;
    int32_t layer4 = animationOf(layers, 4);
    if (worn(layers, 5) && worn(layers, 4) && layer4 == 920)
        moveToPositionOf(order, 4, 5);
    if (isOneOf(layer4, { 491, 506, 512 }) && indexOf(order, 4) < indexOf(order, 3))
        std::swap(order[size_t(indexOf(order, 4))], order[size_t(indexOf(order, 3))]);
    if (worn(layers, 3) && worn(layers, 4) && layer4 == 996)
        moveToPositionOf(order, 4, 3);
    if (animationOf(layers, 17) == 568)
        moveLayerAfter(order, 17, 12);
    if (animationOf(layers, 20) == 896)
        moveLayerAfter(order, 20, 22);
    if (isOneOf(animationOf(layers, 6), { 425, 513 }) && isOneOf(animationOf(layers, 10), { 456, 471, 472 }))
        moveLayerAfter(order, 10, 6);
}

bool isEquipmentLayerHidden(int32_t layer, const LayerItems& layers)
{
    const Item* four = worn(layers, 4);
    const Item* twentyTwo = worn(layers, 22);
    const Item* twentyThree = worn(layers, 23);
    bool wideFour = isOneOf(animationOf(layers, 4), { 491, 506, 512 });
    bool shortTwentyThree = isOneOf(animationOf(layers, 23), { 455, 484 });
    switch (layer) {
    case 3:
        return (four && four->graphic == 5137) || worn(layers, 24);
    case 4:
        if (worn(layers, 24))
            return true;
        if (!wideFour)
            return false;
        if (twentyThree && !shortTwentyThree)
            return true;
        return twentyTwo && animationOf(layers, 22) != 553;
    case 6:
    case 11:
        return twentyTwo && isOneOf(twentyTwo->graphic, { 8270, 8271, 9859, 9860, 9861, 9862, 12217, 12659 });
    case 13:
    case 19:
        return twentyTwo != nullptr;
    case 17:
        return twentyTwo && animationOf(layers, 17) == 568;
    case 23:
        return shortTwentyThree && wideFour;
    default:
        return false;
    }
}

bool PaperdollEquipmentRules::isEquipmentLayerHidden(int32_t layer, const Mobile& mobile)
{
    return ::isEquipmentLayerHidden(layer, layerItemsOf(mobile));
}

bool PaperdollEquipmentRules::allowsAlternateLayerOrder() { return characterListFlag(kLayersPropertyListFlagBit); }
