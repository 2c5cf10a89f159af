// The worn-layer rules the paperdoll shares with the world's drawing: the
// stacking order of the layers and the layers covered by other items.

#include "data/server_features.h"
#include "windows/equipment_layers.h"
#include "world/container_item.h"
#include "windows/windows_test_support.h"
#include "world/world_fixture.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// One worn item: its layer, graphic (0: one of its own) and animation.
struct Worn {
    int32_t layer;
    int32_t animation;
    uint16_t graphic = 0;
};

// Writes a tile record with the animation (and the layer) for each worn item
// and makes the items; destroyed by the fixture.
class LayerRules : public test::WorldTest {
protected:
    LayerItems wear(const std::vector<Worn>& worn)
    {
        LayerItems layers {};
        uint32_t serial = 0x40001000;
        for (const Worn& w : worn) {
            uint16_t graphic = w.graphic ? w.graphic : uint16_t(0x3000 + w.layer);
            windows_test::setTileRecord(graphic, windows_test::tileRecord(0, w.layer, w.animation));
            Item* item = allocItem(serial++, graphic, 0);
            m_items.push_back(item);
            layers[size_t(w.layer)] = item;
        }
        return layers;
    }

    void TearDown() override
    {
        for (Item* item : m_items)
            item->destroy();
        storeCharacterListFlags(0);
        test::WorldTest::TearDown();
    }

    std::vector<Item*> m_items;
};

std::string orderText(const PaperdollOrder& order)
{
    std::string text;
    for (uint8_t layer : order)
        text += (text.empty() ? "" : " ") + std::to_string(layer);
    return text;
}

constexpr const char* kDefault = "20 5 4 3 24 19 13 17 8 14 15 7 23 22 12 10 11 16 18 6 1 2 21 9 25";
constexpr const char* kListA = "20 5 4 3 24 13 17 8 14 15 19 7 23 22 12 10 11 16 18 6 1 2 21 9 25";
constexpr const char* kListB = "20 13 5 4 3 24 17 8 14 15 19 7 23 22 12 10 11 16 18 6 1 2 21 9 25";

struct OrderCase {
    const char* name;
    std::vector<Worn> worn;
    bool propertyLists;
    const char* order;
};

class DrawOrder : public LayerRules, public testing::WithParamInterface<OrderCase> { };

TEST_P(DrawOrder, FollowsWhatIsWorn)
{
    const OrderCase& c = GetParam();
    storeCharacterListFlags(c.propertyLists ? 0x20 : 0);
    PaperdollOrder order {};
    paperdollDrawOrder(order, wear(c.worn));
    EXPECT_EQ(orderText(order), c.order);
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawOrder,
    testing::Values(OrderCase { "nothing_special", { { 5, 435 }, { 4, 436 } }, false, kDefault },
        OrderCase { "long_robe_in_19", { { 19, 528 } }, false, kListA },
        OrderCase { "layer_13_animation_538", { { 13, 538 } }, false, kListA },
        OrderCase { "layer_13_of_921_without_property_lists", { { 13, 921 } }, false, kDefault },
        OrderCase { "layer_13_of_921_with_property_lists", { { 13, 925 } }, true, kListB },
        OrderCase { "layer_4_of_920_before_5",
            { { 4, 920 }, { 5, 400 } }, false,
            "20 4 5 3 24 19 13 17 8 14 15 7 23 22 12 10 11 16 18 6 1 2 21 9 25" },
        OrderCase { "layer_4_of_920_alone_stays", { { 4, 920 } }, false, kDefault },
        OrderCase { "layer_4_of_920_in_list_b",
            { { 4, 920 }, { 5, 400 }, { 13, 921 } }, true,
            "20 13 4 5 3 24 17 8 14 15 19 7 23 22 12 10 11 16 18 6 1 2 21 9 25" },
        OrderCase { "wide_layer_4_swaps_with_3", { { 4, 491 } }, false,
            "20 5 3 4 24 19 13 17 8 14 15 7 23 22 12 10 11 16 18 6 1 2 21 9 25" },
        OrderCase { "layer_4_of_996_after_3", { { 4, 996 }, { 3, 400 } }, false,
            "20 5 3 4 24 19 13 17 8 14 15 7 23 22 12 10 11 16 18 6 1 2 21 9 25" },
        OrderCase { "layer_17_of_568_after_12", { { 17, 568 } }, false,
            "20 5 4 3 24 19 13 8 14 15 7 23 22 12 17 10 11 16 18 6 1 2 21 9 25" },
        OrderCase { "layer_20_of_896_after_22", { { 20, 896 } }, false,
            "5 4 3 24 19 13 17 8 14 15 7 23 22 20 12 10 11 16 18 6 1 2 21 9 25" },
        OrderCase { "layer_10_after_6", { { 6, 425 }, { 10, 471 } }, false,
            "20 5 4 3 24 19 13 17 8 14 15 7 23 22 12 11 16 18 6 10 1 2 21 9 25" }),
    [](const testing::TestParamInfo<OrderCase>& c) { return std::string(c.param.name); });

TEST_F(LayerRules, MovingALayerAfterAnotherKeepsTheRestInOrder)
{
    PaperdollOrder order {};
    paperdollDrawOrder(order, {});
    moveLayerAfter(order, 25, 20);
    EXPECT_EQ(orderText(order), "20 25 5 4 3 24 19 13 17 8 14 15 7 23 22 12 10 11 16 18 6 1 2 21 9");
    moveLayerAfter(order, 3, 3);
    moveLayerAfter(order, 30, 3);
    EXPECT_EQ(orderText(order), "20 25 5 4 3 24 19 13 17 8 14 15 7 23 22 12 10 11 16 18 6 1 2 21 9");
}

struct HiddenCase {
    const char* name;
    std::vector<Worn> worn;
    std::vector<int32_t> hidden;
};

class HiddenLayers : public LayerRules, public testing::WithParamInterface<HiddenCase> { };

TEST_P(HiddenLayers, AreTheCoveredOnes)
{
    const HiddenCase& c = GetParam();
    LayerItems layers = wear(c.worn);
    std::vector<int32_t> hidden;
    for (int32_t layer = 0; layer < kEquipmentSlotCount; ++layer) {
        if (isEquipmentLayerHidden(layer, layers))
            hidden.push_back(layer);
    }
    EXPECT_EQ(hidden, c.hidden);
}

INSTANTIATE_TEST_SUITE_P(Cases, HiddenLayers,
    testing::Values(HiddenCase { "nothing_covers", { { 3, 400 }, { 4, 401 }, { 5, 402 } }, {} },
        HiddenCase { "graphic_5137_hides_3", { { 3, 400 }, { 4, 401, 5137 } }, { 3 } },
        HiddenCase { "layer_24_hides_3_and_4", { { 24, 700 } }, { 3, 4 } },
        HiddenCase { "layer_22_hides_13_and_19", { { 22, 600 } }, { 13, 19 } },
        HiddenCase { "shroud_hides_6_and_11_too", { { 22, 600, 8270 } }, { 6, 11, 13, 19 } },
        HiddenCase { "robe_12659_hides_6_and_11_too", { { 22, 600, 12659 } }, { 6, 11, 13, 19 } },
        HiddenCase { "layer_17_of_568_under_22", { { 22, 600 }, { 17, 568 } }, { 13, 17, 19 } },
        HiddenCase { "wide_4_under_a_long_23", { { 4, 491 }, { 23, 400 } }, { 4 } },
        HiddenCase { "wide_4_under_22_when_23_is_short", { { 4, 506 }, { 23, 455 }, { 22, 600 } },
            { 4, 13, 19, 23 } },
        HiddenCase { "wide_4_shows_under_22_of_553", { { 4, 512 }, { 22, 553 } }, { 13, 19 } },
        HiddenCase { "short_23_over_wide_4", { { 4, 491 }, { 23, 484 } }, { 23 } }),
    [](const testing::TestParamInfo<HiddenCase>& c) { return std::string(c.param.name); });

} // namespace
