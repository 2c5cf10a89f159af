#pragma once
// The two rules of worn items that the paperdoll shares with the world's
// drawing of mobiles: the order in which the equipment layers are stacked
// (which changes with the animations of what is worn) and which worn layers
// are covered by another item and neither drawn nor hit. Both read a layer
// array: the 30 slots of a mobile's equipment by layer number, null where
// nothing is worn. Main thread only (the tile data is read).

#include "world/mobile_services.h"

#include <array>
#include <cstdint>

class Item;
class Mobile;

inline constexpr int32_t kEquipmentSlotCount = 30;
inline constexpr int32_t kDrawOrderLength = 25;

using LayerItems = std::array<const Item*, kEquipmentSlotCount>;
// Layers 1..25, drawn first to last: the last is on top and is hit first.
using PaperdollOrder = std::array<uint8_t, kDrawOrderLength>;

// The mobile's worn items by layer.
LayerItems layerItemsOf(const Mobile& mobile);

// The drawing order for that equipment.
void paperdollDrawOrder(PaperdollOrder& order, const LayerItems& layers);
// Takes `mover` out of the order and puts it directly after `anchor`;
// nothing when either is missing or they are the same.
void moveLayerAfter(PaperdollOrder& order, int32_t mover, int32_t anchor);
// Whether the item worn in `layer` is covered by another worn item.
bool isEquipmentLayerHidden(int32_t layer, const LayerItems& layers);

// The rules as the world's drawing asks for them.
class PaperdollEquipmentRules final : public EquipmentRules {
public:
    bool isEquipmentLayerHidden(int32_t layer, const Mobile& mobile) override;
    // The character list's property-list flag.
    bool allowsAlternateLayerOrder() override;
};
