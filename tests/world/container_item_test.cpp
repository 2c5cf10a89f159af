#include "world_fixture.h"

#include <string>
#include <vector>

namespace test {
namespace {

using ContainerTest = WorldTest;

// The serials of a container's contents in list order.
std::vector<uint32_t> contentSerials(const ContainerItem& container)
{
    std::vector<uint32_t> serials;
    for (const Item* item = container.contents().head(); item; item = ContentList::next(item))
        serials.push_back(item->serial);
    return serials;
}

struct OrderCase {
    const char* name;
    uint16_t containerGraphic;
    // Each entry: position x, position y, amount.
    std::vector<std::array<int32_t, 3>> entries;
    std::vector<uint32_t> expected;
};

class ContentOrderTable : public WorldTest, public testing::WithParamInterface<OrderCase> { };

TEST_P(ContentOrderTable, KeepsTheContainersOrder)
{
    const OrderCase& c = GetParam();
    setItemTile(c.containerGraphic, kTileContainer, 2, 2, "box");
    onObjectPacket(0x40000200, c.containerGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    uint32_t serial = 0x40000201;
    for (const auto& entry : c.entries) {
        ASSERT_TRUE(addItemToContainer(serial++, kPlainGraphic, 0, uint16_t(entry[2]), entry[0], entry[1], 0x40000200,
            0));
    }
    auto* container = static_cast<ContainerItem*>(findItemBySerial(0x40000200));
    EXPECT_EQ(contentSerials(*container), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Orders, ContentOrderTable,
    testing::Values(
        // x = 5, 2, 5: 2, then the second 5, then the first.
        OrderCase { "VendorStockByX", 11000, { { 5, 0, 1 }, { 2, 0, 1 }, { 5, 0, 1 } },
            { 0x40000202, 0x40000203, 0x40000201 } },
        OrderCase { "ByYLargestFirst", 4006, { { 0, 1, 1 }, { 0, 3, 1 }, { 0, 2, 1 } },
            { 0x40000202, 0x40000203, 0x40000201 } },
        OrderCase { "BookByAmount", 3834, { { 0, 0, 7 }, { 0, 0, 2 }, { 0, 0, 7 }, { 0, 0, 4 } },
            { 0x40000202, 0x40000204, 0x40000203, 0x40000201 } },
        OrderCase { "PlainNewestFirst", kPouchGraphic, { { 1, 1, 1 }, { 9, 9, 1 }, { 5, 5, 1 } },
            { 0x40000203, 0x40000202, 0x40000201 } }),
    [](const testing::TestParamInfo<OrderCase>& param) { return std::string(param.param.name); });

struct PlotCase {
    const char* name;
    uint8_t command;
    uint8_t index;
    int32_t answer;
    std::vector<std::pair<uint16_t, uint16_t>> after;
};

class PlotPointTable : public WorldTest, public testing::WithParamInterface<PlotCase> { };

// Starting from (10, 10), (15, 15), (20, 20).
TEST_P(PlotPointTable, EditsOrRefusesWithTheListIntact)
{
    const PlotCase& c = GetParam();
    MapItem map(0x40000210, kMapGraphic, 0, false);
    EXPECT_EQ(map.editPlotPoint(1, 0, 10, 10), 1);
    EXPECT_EQ(map.editPlotPoint(1, 0, 20, 20), 2);
    EXPECT_EQ(map.editPlotPoint(2, 1, 15, 15), 3);
    EXPECT_EQ(map.editPlotPoint(c.command, c.index, 99, 98), c.answer);
    std::vector<std::pair<uint16_t, uint16_t>> points;
    for (const PlotPoint& point : map.plotPoints())
        points.emplace_back(point.x, point.y);
    EXPECT_EQ(points, c.after);
}

INSTANTIATE_TEST_SUITE_P(Commands, PlotPointTable,
    testing::Values(PlotCase { "RemoveFirst", 4, 0, 2, { { 15, 15 }, { 20, 20 } } },
        PlotCase { "Clear", 5, 0, 0, {} },
        PlotCase { "UnknownCommand", 9, 0, -1, { { 10, 10 }, { 15, 15 }, { 20, 20 } } },
        PlotCase { "InsertAtHead", 2, 0, 4, { { 99, 98 }, { 10, 10 }, { 15, 15 }, { 20, 20 } } },
        PlotCase { "InsertAtEnd", 2, 3, 4, { { 10, 10 }, { 15, 15 }, { 20, 20 }, { 99, 98 } } },
        PlotCase { "InsertPastTheEnd", 2, 4, -1, { { 10, 10 }, { 15, 15 }, { 20, 20 } } },
        PlotCase { "ChangeLast", 3, 2, 3, { { 10, 10 }, { 15, 15 }, { 99, 98 } } },
        PlotCase { "ChangePastTheEnd", 3, 3, -1, { { 10, 10 }, { 15, 15 }, { 20, 20 } } },
        PlotCase { "ChangeFarPastTheEnd", 3, 255, -1, { { 10, 10 }, { 15, 15 }, { 20, 20 } } },
        PlotCase { "RemovePastTheEnd", 4, 3, -1, { { 10, 10 }, { 15, 15 }, { 20, 20 } } }),
    [](const testing::TestParamInfo<PlotCase>& param) { return std::string(param.param.name); });

TEST_F(ContainerTest, CorpseLayersUseOneMappingAndRefuseLayersOutsideTheTable)
{
    onObjectPacket(0x40000220, Corpse::kCorpseGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    auto* corpse = static_cast<Corpse*>(findItemBySerial(0x40000220));
    ASSERT_TRUE(corpse && corpse->isCorpse());
    ASSERT_TRUE(addItemToContainer(0x40000221, kPlainGraphic, 0, 1, 1, 1, 0x40000220, 0));
    EXPECT_TRUE(corpse->setLayerSerial(5, 0x40000221));
    EXPECT_EQ(corpse->layerSerial(5), 0x40000221u);
    EXPECT_EQ(corpse->layerItem(5), findItemBySerial(0x40000221)) << "stored and read at the same entry";
    EXPECT_EQ(corpse->layerItem(4), nullptr);
    EXPECT_TRUE(corpse->setLayerSerial(25, 0x40000221));
    EXPECT_FALSE(corpse->setLayerSerial(26, 0x40000221));
    EXPECT_FALSE(corpse->setLayerSerial(255, 0x40000221));
    EXPECT_FALSE(corpse->setLayerSerial(-1, 0x40000221));
    EXPECT_EQ(corpse->layerSerial(26), 0u);
    EXPECT_EQ(corpse->layerSerial(1000), 0u);
}

TEST_F(ContainerTest, DestroyingAContainerReturnsItsWholeTreeToThePools)
{
    size_t pooled = itemPool().inUse();
    size_t alive = LiveObject<WorldObjectTree>::registry().size();
    onObjectPacket(0x40000230, kBackpackGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    uint32_t parent = 0x40000230;
    for (uint32_t serial = 0x40000231; serial < 0x40000236; ++serial) {
        ASSERT_TRUE(addItemToContainer(serial, kPouchGraphic, 0, 1, 1, 1, parent, 0));
        for (uint32_t coin = 0; coin < 3; ++coin)
            ASSERT_TRUE(addItemToContainer(serial + 0x100 + coin * 0x10, kCoinGraphic, 0, 5, 1, 1, serial, 0));
        parent = serial;
    }
    EXPECT_EQ(itemPool().inUse(), pooled + 15);
    findItemBySerial(0x40000230)->destroy();
    EXPECT_EQ(itemPool().inUse(), pooled);
    EXPECT_EQ(LiveObject<WorldObjectTree>::registry().size(), alive);
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(ContainerTest, EmptyingAContainerKeepsIt)
{
    onObjectPacket(0x40000240, kBackpackGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    auto* container = static_cast<ContainerItem*>(findItemBySerial(0x40000240));
    for (uint32_t serial = 0x40000241; serial < 0x40000245; ++serial)
        ASSERT_TRUE(addItemToContainer(serial, kPlainGraphic, 0, 1, 1, 1, 0x40000240, 0));
    EXPECT_EQ(countContents(*container), 4);
    emptyContainer(*container);
    EXPECT_EQ(countContents(*container), 0);
    EXPECT_EQ(findItemBySerial(0x40000240), container);
    EXPECT_EQ(findItemBySerial(0x40000241), nullptr);
}

TEST_F(ContainerTest, AContainerOutOfTheItemListIsNeverFoundBySerial)
{
    ContainerItem hidden(0x40000250, kBackpackGraphic, 0, false);
    EXPECT_EQ(findItemBySerial(0x40000250), nullptr);
    EXPECT_FALSE(ItemList::isLinked(&hidden));
}

TEST_F(ContainerTest, AnItemNeverGoesInsideItself)
{
    onObjectPacket(0x40000260, kBackpackGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    ASSERT_TRUE(addItemToContainer(0x40000261, kPouchGraphic, 0, 1, 1, 1, 0x40000260, 0));
    auto* backpack = static_cast<ContainerItem*>(findItemBySerial(0x40000260));
    auto* pouch = static_cast<ContainerItem*>(findItemBySerial(0x40000261));
    EXPECT_FALSE(backpack->enterContainer(*backpack, 0, 0, 0));
    EXPECT_FALSE(backpack->enterContainer(*pouch, 0, 0, 0)) << "into its own child";
    EXPECT_FALSE(player()->enterContainer(*pouch, 0, 0, 0)) << "the player";
    EXPECT_TRUE(backpack->isPlaced()) << "a refused move leaves it where it was";
    EXPECT_EQ(pouch->container(), backpack);
    EXPECT_TRUE(pouch->enterContainer(*static_cast<ContainerItem*>(player()), 3, 3, 0));
    EXPECT_TRUE(backpack->enterContainer(*pouch, 0, 0, 0)) << "allowed once it is not a parent";
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(ContainerTest, ACorpseInTheWorldIsPlacedAgainWhenItGainsContents)
{
    onObjectPacket(0x40000270, Corpse::kCorpseGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    Item* corpse = findItemBySerial(0x40000270);
    ASSERT_TRUE(corpse && corpse->isPlaced());
    ASSERT_TRUE(addItemToContainer(0x40000271, kPlainGraphic, 0, 1, 1, 1, 0x40000270, 0));
    EXPECT_TRUE(corpse->isPlaced());
    EXPECT_EQ(corpse->depthKey, corpse->z + 1);
    EXPECT_EQ(checkWorldInvariants(), "");
}

} // namespace
} // namespace test
