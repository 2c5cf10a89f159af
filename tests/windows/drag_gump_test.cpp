// The drag picture over the sample world: its picture, the layer a held item
// is worn in, and where a drop goes (the ground within reach and at the
// height of what is there, a mobile, a stack, a container window, a
// paperdoll), traced as the packets the client sends.

#include "windows/windows_test_support.h"

#include "data/server_features.h"
#include "fixtures/sample_window_art.h"
#include "gfx/art_cache.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/protocol_handlers.h"
#include "windows/container_gump.h"
#include "windows/drag_gump.h"
#include "windows/paperdoll_gump.h"
#include "windows/window_services.h"
#include "windows/world_view_gump.h"
#include "world/cell_grid.h"
#include "world/container_item.h"
#include "world/land_tile.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/world_screen.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kDragBackpack = 0x40000100;

class Dragging : public windows_test::WindowDesktop {
protected:
    Dragging()
    {
        view = new WorldViewGump(false);
        view->setVisible(true);
    }

    // Picks up an item lying next to the player; the drag picture opens.
    void holdFromGround(uint32_t serial, uint16_t graphic, uint16_t amount = 1, uint16_t hue = 0)
    {
        Item* item = addItem(serial, graphic, player()->x + 1, player()->y, amount, hue);
        ASSERT_NE(item, nullptr);
        // Shift held takes a whole stack without asking for the amount.
        setShiftKeyHeld(true);
        pickUpItem(*item, 0);
        setShiftKeyHeld(false);
        ASSERT_NE(dragGump(), nullptr);
        takePackets();
    }

    // The game-area point nearest the middle of cell (x, y)'s diamond that
    // picks its land, or false.
    static bool pointOnLand(int32_t x, int32_t y, int32_t& px, int32_t& py)
    {
        const WorldScreen& screen = worldScreen();
        const int32_t cx = (x - y + mapView().mapWidth) * 22 + 22 - screen.viewPixelX;
        for (int32_t lift = 0; lift <= 80; lift += 4) {
            const int32_t cy = (x + y) * 22 + 22 - lift - screen.viewPixelY;
            for (int32_t r = 0; r < 12; ++r) {
                for (int32_t dy = -r; dy <= r; ++dy) {
                    for (int32_t dx = -r; dx <= r; ++dx) {
                        if (std::max(std::abs(dx), std::abs(dy)) != r)
                            continue;
                        WorldObject* picked = worldCellGrid().pickAt(cx + dx, cy + dy, false);
                        if (picked && picked->isLand() && picked->x == x && picked->y == y) {
                            px = cx + dx;
                            py = cy + dy;
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }

    // Releases the held item so that the ground under (px, py) takes it.
    void dropAtGroundPoint(int32_t px, int32_t py)
    {
        DragGump* drag = dragGump();
        const int32_t x = px - (drag->width() / 2 - 22);
        const int32_t y = py - (drag->height() / 2 - 22);
        pointAt(x, y);
        releaseLeft(x, y);
    }

    WorldViewGump* view = nullptr;
};

TEST_F(Dragging, AGroundDropThreeCellsAwayIsSentFourIsRefused)
{
    holdFromGround(0x40000A00, fixture::kSampleBoardsGraphic);
    const int32_t cellX = player()->x - 3;
    const int32_t cellY = player()->y;
    int32_t px = 0, py = 0;
    ASSERT_TRUE(pointOnLand(cellX - 1, cellY, px, py));
    dropAtGroundPoint(px, py);
    EXPECT_TRUE(takePackets().empty());
    EXPECT_EQ(sounds.played, std::vector<int32_t>({ 81 }));
    ASSERT_NE(dragGump(), nullptr) << "a refused drop keeps the item held";

    ASSERT_TRUE(pointOnLand(cellX, cellY, px, py));
    WorldObject* land = worldCellGrid().pickAt(px, py, false);
    ASSERT_TRUE(land && land->isLand());
    int32_t z = land->z;
    if (land->isStretchedLand()) {
        const auto& corners = static_cast<StretchedLandTile*>(land)->cornerHeights();
        z = (corners[1] + corners[3]) / 2;
    }
    dropAtGroundPoint(px, py);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    char expected[64];
    std::snprintf(expected, sizeof expected, "08 40 00 0A 00 %02X %02X %02X %02X %02X FF FF FF FF", cellX >> 8,
        cellX & 0xFF, cellY >> 8, cellY & 0xFF, z & 0xFF);
    EXPECT_EQ(hexOf(sent[0]), expected);
    EXPECT_EQ(dragGump(), nullptr) << "the picture closes after the drop";
}

struct HeightCase {
    const char* name;
    uint32_t flags;
    uint8_t height;
    bool accepted;
    int32_t z;
};

class DropHeights : public Dragging, public testing::WithParamInterface<HeightCase> { };

// A dynamic piece of furniture on the cell: a surface takes the drop on its
// top, something impassable refuses it.
TEST_P(DropHeights, FollowWhatStandsOnTheCell)
{
    const HeightCase& c = GetParam();
    constexpr uint16_t kPiece = 0x3300;
    windows_test::setTileRecord(kPiece, windows_test::tileRecord(c.flags, 0, 0, c.height));

    const int32_t cellX = player()->x - 2;
    const int32_t cellY = player()->y;
    int32_t px = 0, py = 0;
    ASSERT_TRUE(pointOnLand(cellX, cellY, px, py));
    WorldObject* land = worldCellGrid().pickAt(px, py, false);
    onObjectPacket(0x40000B00, kPiece, 0, 1, cellX, cellY, int8_t(land->z), 0, 0, 0);
    holdFromGround(0x40000A00, fixture::kSampleBoardsGraphic);
    dropAtGroundPoint(px, py);
    std::vector<Bytes> sent = takePackets();
    if (!c.accepted) {
        EXPECT_TRUE(sent.empty());
        EXPECT_EQ(sounds.played, std::vector<int32_t>({ 81 }));
        return;
    }
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][9], uint8_t(land->z + c.z));
}

INSTANTIATE_TEST_SUITE_P(Cases, DropHeights,
    testing::Values(HeightCase { "table_top", kTileSurface | kTileImpassable, 6, true, 6 },
        HeightCase { "rug", kTileSurface, 0, true, 0 }, HeightCase { "wall", kTileImpassable | kTileWall, 20, false, 0 }),
    [](const testing::TestParamInfo<HeightCase>& c) { return std::string(c.param.name); });

TEST_F(Dragging, OntoAMobileIsAGift)
{
    Mobile* other = addMobile(0x00000901, player()->x + 2, player()->y + 2);
    holdFromGround(0x40000A00, fixture::kSampleBoardsGraphic);
    EXPECT_TRUE(dragGump()->dropOnObject(other));
    EXPECT_EQ(hexOf(takePackets().at(0)), "08 40 00 0A 00 FF FF FF FF 00 00 00 09 01");
    EXPECT_EQ(dragGump(), nullptr);
}

TEST_F(Dragging, OntoAnEqualStackItMergesAndOtherCoinsRefuse)
{
    Item* pile = addItem(0x40000B01, fixture::kSampleCoinGraphic, player()->x + 2, player()->y, 100);
    holdFromGround(0x40000A00, fixture::kSampleCoinGraphic, 10);
    EXPECT_TRUE(dragGump()->dropOnObject(pile));
    char expected[64];
    std::snprintf(expected, sizeof expected, "08 40 00 0A 00 %02X %02X %02X %02X %02X 40 00 0B 01", pile->x >> 8,
        pile->x & 0xFF, pile->y >> 8, pile->y & 0xFF, pile->z & 0xFF);
    EXPECT_EQ(hexOf(takePackets().at(0)), expected);

    holdFromGround(0x40000A01, fixture::kSampleCoinGraphic, 10, 33);
    EXPECT_TRUE(dragGump()->dropOnObject(pile)) << "coins are no surface: refused";
    EXPECT_TRUE(takePackets().empty());
    EXPECT_EQ(sounds.played, std::vector<int32_t>({ 81 }));
}

TEST_F(Dragging, ContainerWindowsTakeDropsAndAReleaseOverThemRoutesThere)
{
    playerBackpack();
    ContainerGump* window = static_cast<ContainerGump*>(openContainerGump(kDragBackpack, 60));
    ASSERT_NE(window, nullptr);
    window->moveTo(300, 100, true, nullptr, false);
    holdFromGround(0x40000A00, fixture::kSampleCoinGraphic, 1);
    pointAt(300 + 100, 100 + 100);
    releaseLeft(300 + 100, 100 + 100);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    // 0x08 {item, x 94, y 94, 0, the backpack}.
    EXPECT_EQ(hexOf(sent[0]), "08 40 00 0A 00 00 5E 00 5E 00 40 00 01 00");
    EXPECT_EQ(dragGump(), nullptr);
}

TEST_F(Dragging, APaperdollsBackpackTakesTheItemAndAFreeLayerWearsIt)
{
    playerBackpack();
    PaperdollGump* doll = openPaperdoll(player()->serial, "", 0);
    ASSERT_NE(doll, nullptr);
    doll->moveTo(40, 60, true, nullptr, false);
    holdFromGround(0x40000A00, fixture::kSampleCoinGraphic, 1);
    pointAt(40 + 3 + 146, 60 + 19 + 92);
    releaseLeft(40 + 3 + 146, 60 + 19 + 92);
    EXPECT_EQ(hexOf(takePackets().at(0)), "08 40 00 0A 00 FF FF FF FF 00 40 00 01 00");

    // A coin is not wearable: over the body it is refused.
    holdFromGround(0x40000A01, fixture::kSampleCoinGraphic, 1);
    pointAt(40 + 8 + 90, 60 + 19 + 80);
    releaseLeft(40 + 8 + 90, 60 + 19 + 80);
    EXPECT_TRUE(takePackets().empty());
    EXPECT_EQ(sounds.played, std::vector<int32_t>({ 81 }));
}

TEST_F(Dragging, APickUpFromAContainerToTheGroundIsTracedInPackets)
{
    playerBackpack();
    ContainerGump* window = static_cast<ContainerGump*>(openContainerGump(kDragBackpack, 60));
    window->moveTo(300, 100, true, nullptr, false);
    Item* coin = addToContainer(0x40000C01, fixture::kSampleCoinGraphic, 100, 100, kDragBackpack, 1);
    takePackets();
    const int32_t x = 300 + coin->x + 5;
    const int32_t y = 100 + coin->y + 6;
    pointAt(x, y);
    pressLeft(x, y);
    pointAt(x + 6, y);
    ASSERT_NE(dragGump(), nullptr);
    int32_t px = 0, py = 0;
    ASSERT_TRUE(pointOnLand(player()->x - 1, player()->y + 1, px, py));
    dropAtGroundPoint(px, py);
    std::vector<std::string> trace;
    for (const Bytes& packet : takePackets())
        trace.push_back(hexOf(packet));
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0], "07 40 00 0C 01 00 01");
    EXPECT_EQ(trace[1].substr(0, 14), "08 40 00 0C 01");
    EXPECT_EQ(trace[1].substr(trace[1].size() - 11), "FF FF FF FF");
}

// The server refuses the pick-up (0x27): the picture closes and the item
// goes back into the pack, except for the reason that keeps it away.
TEST_F(Dragging, ARefusedPickUpPutsTheItemBack)
{
    clearPacketHandlers();
    registerProtocolHandlers();
    playerBackpack();
    for (uint8_t reason : { 0, 4, 5 }) {
        SCOPED_TRACE(int(reason));
        const uint32_t serial = 0x40000C01 + reason;
        addToContainer(serial, fixture::kSampleCoinGraphic, 100, 100, kDragBackpack, 1);
        pickUpItem(*findItemBySerial(serial), 0);
        ASSERT_EQ(findItemBySerial(serial), nullptr);
        ASSERT_NE(dragGump(), nullptr);
        const std::vector<uint8_t> refusal { 0x27, reason };
        dispatchGamePacket(*currentGameConnection(), refusal.data());
        EXPECT_EQ(dragGump(), nullptr);
        EXPECT_FALSE(dragState().dragging);
        Item* back = findItemBySerial(serial);
        if (reason == 5) {
            EXPECT_EQ(back, nullptr) << "the server sends it again";
            continue;
        }
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->container(), findItemBySerial(kDragBackpack));
    }
    clearPacketHandlers();
}

TEST_F(Dragging, TheRightButtonKeepsWalkingWhileDragging)
{
    struct Steps final : PlayerWalking {
        void walkByPointer(int32_t, int32_t) override { ++steps; }
        void walkByKey(int32_t, uint32_t, bool) override { }
        std::vector<PendingStep> pendingSteps() override { return {}; }
        bool isAwaitingResync() override { return false; }
        bool isWalkIdle() override { return true; }
        bool walkPathTo(const PathCell&, const PathCell&, int32_t, int32_t) override { return false; }
        int32_t steps = 0;
    } walking;
    ScopedService<PlayerWalking> scoped(walking);
    holdFromGround(0x40000A00, fixture::kSampleBoardsGraphic);
    pressRight(100, 100);
    EXPECT_TRUE(dragGump()->isRightHeld());
    advance(50);
    EXPECT_GE(walking.steps, 1);
    releaseRight(100, 100);
    EXPECT_FALSE(dragGump()->isRightHeld());
}

TEST(DragPictures, CoinsShowAPicturePerAmountAndBooksTheirGumpArt)
{
    bool gumpArt = false;
    EXPECT_EQ(dragPictureArt(3821, 1, gumpArt), 0x4000 + 3821);
    EXPECT_EQ(dragPictureArt(3821, 0, gumpArt), 0x4000 + 3821);
    EXPECT_EQ(dragPictureArt(3821, 2, gumpArt), 0x4001 + 3821);
    EXPECT_EQ(dragPictureArt(3821, 5, gumpArt), 0x4001 + 3821);
    EXPECT_EQ(dragPictureArt(3821, 6, gumpArt), 0x4002 + 3821);
    EXPECT_FALSE(gumpArt);
    EXPECT_EQ(dragPictureArt(13700, 1, gumpArt), 13700 - 11369);
    EXPECT_TRUE(gumpArt);
    EXPECT_EQ(dragPictureArt(0x1517, 9, gumpArt), 0x4000 + 0x1517);
}

struct LayerCase {
    const char* name;
    int32_t animation;
    bool propertyLists;
    int32_t layer;
};

class WearLayers : public test::WorldTest, public testing::WithParamInterface<LayerCase> { };

TEST_P(WearLayers, FollowTheTileDataOrTheOldAnimationRules)
{
    const LayerCase& c = GetParam();
    constexpr uint16_t kGraphic = 0x3400;
    windows_test::setTileRecord(kGraphic, windows_test::tileRecord(0, 13, c.animation));
    storeCharacterListFlags(c.propertyLists ? 0x20 : 0);
    EXPECT_EQ(equipLayerFor(kGraphic), c.layer);
    storeCharacterListFlags(0);
}

INSTANTIATE_TEST_SUITE_P(Cases, WearLayers,
    testing::Values(LayerCase { "anim_921_old", 921, false, 5 }, LayerCase { "anim_925_old", 925, false, 5 },
        LayerCase { "anim_926_old", 926, false, 23 }, LayerCase { "anim_529_old", 529, false, 24 },
        LayerCase { "anim_920_old", 920, false, 13 }, LayerCase { "anim_921_new", 921, true, 13 },
        LayerCase { "anim_529_new", 529, true, 13 }),
    [](const testing::TestParamInfo<LayerCase>& c) { return std::string(c.param.name); });

} // namespace
