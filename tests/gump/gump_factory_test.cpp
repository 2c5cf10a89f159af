// The gump factory: container tables, reuse of open windows, shops, the
// container cascade and the minimise grid.
#include "gump_test_support.h"

#include "gump/gump_factory.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gump_test::Desktop;
using gump_test::fakeObject;
using gump_test::PageGump;

struct ContainerCase {
    const char* name;
    uint16_t graphic;
    int32_t art;
    ScreenRect area;
};

class ContainerTables : public testing::TestWithParam<ContainerCase> { };

TEST_P(ContainerTables, GraphicToArtToItemArea)
{
    EXPECT_EQ(containerGumpForGraphic(GetParam().graphic), GetParam().art);
    EXPECT_EQ(containerItemArea(GetParam().art), GetParam().area);
}

INSTANTIATE_TEST_SUITE_P(Rows, ContainerTables,
    testing::Values(ContainerCase { "Backpack", 0xE75, 60, { 44, 65, 186, 159 } },
        ContainerCase { "FirstOfARange", 0x1AD6, 62, { 33, 36, 142, 148 } },
        ContainerCase { "LastOfARange", 0x1AD7, 62, { 33, 36, 142, 148 } },
        ContainerCase { "SharedArea", 0xE42, 73, { 18, 105, 162, 178 } },
        ContainerCase { "TheRangeOfArts", 0x2818, 268, { 10, 10, 160, 105 } },
        ContainerCase { "Largest", 0x261B, 10851, { 60, 33, 460, 348 } },
        ContainerCase { "Unknown", 0x0001, 9, { 20, 85, 124, 196 } },
        ContainerCase { "HighestGraphic", 0xFFFF, 9, { 20, 85, 124, 196 } }),
    [](const testing::TestParamInfo<ContainerCase>& param) { return std::string(param.param.name); });

TEST(ContainerTables, AnArtWithoutAreaGivesTheDefault)
{
    EXPECT_EQ(containerItemArea(12345), (ScreenRect { 0, 0, 200, 200 }));
}

// The windows the factory opens, made as page gumps of their kind.
class FactoryTestWindows final : public FactoryWindows {
public:
    CGump* make(GumpKind kind, WorldObject* owner, int32_t x, int32_t y, int32_t width = 50, int32_t height = 40)
    {
        auto* gump = new PageGump(x, y, width, height, 0x0333);
        gump->addKind(kind);
        gump->setOwner(owner);
        ++made;
        return gump;
    }
    CGump* createTextWindow(int32_t x, int32_t y) override { return make(GumpKind::TextWindow, nullptr, x, y); }
    CGump* createStatusBar(WorldObject* owner, bool) override { return make(GumpKind::StatusGump, owner, 0, 0); }
    void reslotStatusBar(CGump*) override { ++reslotted; }
    CGump* createPaperdoll(WorldObject* owner, int32_t x, int32_t y) override
    {
        return make(GumpKind::Paperdoll, owner, x, y);
    }
    CGump* createShop(WorldObject* vendor, int32_t x, int32_t y) override { return make(GumpKind::ShopGump, vendor, x, y); }
    CGump* createStackChooser(WorldObject* item, int32_t x, int32_t y) override
    {
        return make(GumpKind::StackGump, item, x, y);
    }
    CGump* optionsWindow() override { return options; }
    bool hasOptionsRecord() override { return true; }
    CGump* createOptionsWindow() override
    {
        options = make(GumpKind::OptionsGump, nullptr, 0, 0);
        return options;
    }
    CGump* createRadar(int32_t face, int32_t x, int32_t y) override
    {
        CGump* radar = make(GumpKind::Radar, nullptr, x, y);
        radar->setArtId(-1);
        radar->setSerial(uint32_t(face));
        return radar;
    }
    int32_t radarSizeValue(CGump* radar) override { return radar->serial() == 5010 ? 50 : 200; }
    CGump* createAbilityBook(int32_t, int32_t) override { return nullptr; }
    CGump* createContainer(WorldObject* owner, int32_t art, int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        CGump* container = make(GumpKind::ContainerGump, owner, x, y, width, height);
        container->setSerial(uint32_t(art));
        return container;
    }

    CGump* options = nullptr;
    int32_t made = 0;
    int32_t reslotted = 0;
};

class GumpFactory : public Desktop {
protected:
    FactoryTestWindows windows;
    ScopedService<FactoryWindows> scopedWindows { windows };
};

TEST_F(GumpFactory, AnOpenContainerIsReusedRaisedAndRestored)
{
    WorldObject* bag = fakeObject(3);
    world.containers.insert(bag);
    CGump* first = gumpOpenByKind(bag, 60, nullptr, true, false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->serial(), 60u);
    EXPECT_EQ(first->width(), 150) << "the size of the kind's art";
    gumpLink(new PageGump(0, 0, 10, 10, 0x0001), nullptr);
    first->minimize();
    CGump* again = gumpOpenByKind(bag, 60, nullptr, true, false);
    EXPECT_EQ(again, first);
    EXPECT_EQ(windows.made, 1);
    EXPECT_FALSE(first->isMinimised());
    EXPECT_EQ(gumpListHead(), first);
}

TEST_F(GumpFactory, TheFourthCascadedContainerLandsAt80And80)
{
    for (int i = 0; i < 4; ++i) {
        WorldObject* bag = fakeObject(10 + i);
        world.containers.insert(bag);
        CGump* container = gumpOpenByKind(bag, 9, nullptr, true, false);
        ASSERT_NE(container, nullptr);
        if (i == 3) {
            EXPECT_EQ(container->x(), 80);
            EXPECT_EQ(container->y(), 80);
        }
    }
}

TEST_F(GumpFactory, TheCascadeStartsAgainAtTheEdgeAndTheSettingCanTurnItOff)
{
    gumpManager().cascadeX = 480;
    gumpManager().cascadeY = 100;
    CGump* wide = gumpOpenByKind(fakeObject(20), 60, nullptr, true, false);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->x(), 16) << "496 + 150 reaches past 640 - 16";
    EXPECT_EQ(wide->y(), 116);
    gumpSettings().offsetGumps = false;
    CGump* fixed = gumpOpenByKind(fakeObject(21), 60, nullptr, true, false);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->x(), 640 - 150 - 10);
    EXPECT_EQ(fixed->y(), 10);
}

TEST_F(GumpFactory, OpeningAShopClosesTheOthers)
{
    WorldObject* vendor = fakeObject(30);
    WorldObject* other = fakeObject(31);
    GumpHandle first(gumpOpenByKind(other, gump_kind::kShop, nullptr, false, false));
    ASSERT_TRUE(first);
    CGump* shop = gumpOpenByKind(vendor, gump_kind::kShop, nullptr, false, false);
    ASSERT_NE(shop, nullptr);
    EXPECT_FALSE(first);
    EXPECT_EQ(shop->x(), 150);
    EXPECT_EQ(shop->y(), 5);
    EXPECT_EQ(gumpOpenByKind(nullptr, gump_kind::kShop, nullptr, false, false), nullptr) << "a shop needs a vendor";
}

TEST_F(GumpFactory, MobilesFindTheWindowOfTheKindAsked)
{
    WorldObject* mobile = fakeObject(40);
    world.mobiles.insert(mobile);
    CGump* paperdoll = gumpOpenByKind(mobile, gump_kind::kPaperdoll, nullptr, false, false);
    ASSERT_NE(paperdoll, nullptr);
    EXPECT_EQ(paperdoll->x(), 640 - 120) << "placed by the kind's art";
    CGump* status = gumpOpenByKind(mobile, gump_kind::kStatusBar, nullptr, false, true);
    ASSERT_NE(status, nullptr);
    EXPECT_NE(status, paperdoll);
    EXPECT_EQ(gumpFindForObject(mobile, true, false, gumpListHead(), false), paperdoll);
    EXPECT_EQ(gumpFindForObject(mobile, false, false, gumpListHead(), true), status);
    EXPECT_EQ(gumpOpenByKind(mobile, gump_kind::kPaperdoll, nullptr, false, false), paperdoll);
    EXPECT_EQ(windows.made, 2);
}

TEST_F(GumpFactory, RadarFacesSwapInPlace)
{
    CGump* small = gumpOpenByKind(nullptr, gump_kind::kRadarSmall, nullptr, false, false);
    ASSERT_NE(small, nullptr);
    small->moveTo(100, 60, true, nullptr, false);
    CGump* swapped = gumpOpenByKind(nullptr, gump_kind::kRadarSmall, nullptr, false, false);
    ASSERT_NE(swapped, nullptr);
    EXPECT_EQ(swapped->serial(), uint32_t(gump_kind::kRadarLarge)) << "a small radar becomes the large face";
    EXPECT_EQ(swapped->x(), 100);
    EXPECT_EQ(swapped->y(), 60);
    CGump* back = gumpOpenByKind(nullptr, gump_kind::kRadarLarge, nullptr, false, false);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->serial(), uint32_t(gump_kind::kRadarSmall)) << "and the large one becomes the small face";
}

TEST_F(GumpFactory, OptionsNeedTheirArtAndUnknownKindsWithoutFaceAreRefused)
{
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink sink(boxes);
    EXPECT_EQ(gumpOpenByKind(nullptr, gump_kind::kOptions, nullptr, false, false), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Missing ClientCfg GUMP art!");
    EXPECT_EQ(boxes.boxes[0].caption, "Error");

    EXPECT_EQ(gumpOpenByKind(nullptr, 60, nullptr, false, false), nullptr) << "not a container: no face to show";
    EXPECT_EQ(gumpListHead(), nullptr);
}

TEST_F(GumpFactory, TheMinimiseGridHasSixBySixCellsOn640By480)
{
    std::vector<std::pair<int32_t, int32_t>> cells;
    int32_t x = -1;
    int32_t y = -1;
    while (minimiseGridTakeCell(x, y))
        cells.emplace_back(x, y);
    ASSERT_EQ(cells.size(), 36u);
    EXPECT_EQ(cells.front(), (std::pair { 16, 16 }));
    EXPECT_EQ(cells[1], (std::pair { 16, 80 })) << "column by column";
    EXPECT_EQ(cells.back(), (std::pair { 496, 336 }));
    x = 7;
    y = 9;
    EXPECT_FALSE(minimiseGridTakeCell(x, y));
    EXPECT_EQ(x, 7) << "a full grid leaves the outputs alone";
    EXPECT_EQ(y, 9);

    // A further minimised gump keeps its own minimised position.
    auto* gump = new PageGump(300, 300, 20, 20, 0x0001);
    gumpLink(gump, nullptr);
    gump->setMinimisedPosition(250, 260);
    gump->minimize();
    EXPECT_EQ(gump->x(), 250);
    EXPECT_EQ(gump->y(), 260);
    EXPECT_EQ(gump->minimiseCellX(), 0);

    minimiseGridFreeCell(208, 144);
    ASSERT_TRUE(minimiseGridTakeCell(x, y));
    EXPECT_EQ(x, 208);
    EXPECT_EQ(y, 144);
}

TEST_F(GumpFactory, TheGridFollowsTheScreenSize)
{
    resizeScreen(1024, 768);
    int32_t count = 0;
    int32_t x = 0;
    int32_t y = 0;
    while (minimiseGridTakeCell(x, y))
        ++count;
    EXPECT_EQ(count, 10 * 11);
}

} // namespace
