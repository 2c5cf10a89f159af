// The house designer over a real house item of the world: floors, budgets,
// the edge rules of placement, edits applied to the house at once, and the
// commit refused while the design is not legal.
#include "world/world_fixture.h"

#include "data/data_files.h"
#include "fixtures/byte_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/house_table_files.h"
#include "gump/gump_manager.h"
#include "housing/house_design_gump.h"
#include "housing/house_designer.h"
#include "platform/message_box.h"
#include "support/recording_notices.h"
#include "world/multi_cache.h"
#include "world/multi_components.h"
#include "world/multi_preview.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace test;
using housing::HouseDesigner;

constexpr uint32_t kDesignedHouse = 0x40000300;
constexpr uint16_t kHouseSign = 0x0BD2;
constexpr uint16_t kFloorPiece = 0x0519; // flat
constexpr uint16_t kWallPiece = 0x0080; // tall wall
constexpr uint16_t kNorthRowPiece = 0x0081; // tall, may stand on the north row only

std::string designerMultiRecord(uint16_t graphic, int16_t x, int16_t y)
{
    return fixture::le16(graphic) + fixture::le16(uint16_t(x)) + fixture::le16(uint16_t(y)) + fixture::le16(0)
        + fixture::le32(1);
}

class HouseDesignerTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        setItemTile(kFloorPiece, 0, 0, 255, "floor");
        setItemTile(kNorthRowPiece, kTileWall, 20, 255, "post");
        fixture::writeRequiredDataFiles(client.root(), "client", { "multi.idx", "multi.mul" });
        // A 10 x 8 house: its own records span x -4..5 and y -4..3; the row in
        // front (y 4) belongs to its bounds too.
        fixture::writeIndexedPair(client.root(), "client", "multi.idx", "multi.mul",
            { { designerMultiRecord(kHouseSign, 0, 0) + designerMultiRecord(kWallPiece, -4, -4)
                    + designerMultiRecord(kWallPiece, 5, 3),
                0 } });
        files = std::make_unique<DataFiles>();
        installDataFiles(files.get());
        files->reset();
        files->load();
        installWorldService<MultiComponents>(&multis);
        installWindowNotices(&notices);
        setMultiPreview(&preview);
        onObjectPacket(kDesignedHouse, 0x4000, 0, 1, kCentreX, kCentreY, 0, 0, 0, 0);
        designer().beginCustomizing(kDesignedHouse);
        designer().setTool(housing::kIdleTool);
        designer().supportTable().loadFromBytes(
            fixture::supportInfoText({ { "post", kNorthRowPiece, { 1, 11 } } }));
    }

    void TearDown() override
    {
        designer().setTool(housing::kNoDesign);
        designer().exitDesign();
        setMultiPreview(nullptr);
        installWindowNotices(nullptr);
        multiCache().clear();
        WorldTest::TearDown();
        installWorldService<MultiComponents>(nullptr);
        installDataFiles(nullptr);
    }

    static HouseDesigner& designer() { return housing::houseDesigner(); }

    void standAt(int32_t z) { player()->enterWorldAt(kCentreX, kCentreY, z); }

    fixture::ClientDirectory client;
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxGuard { boxes };
    std::unique_ptr<DataFiles> files;
    MultiComponentService multis;
    RecordingNotices notices;
    MultiPreview preview;
};

TEST_F(HouseDesignerTest, FloorsChangeAtTheirHeightsAndTheBudgetFollowsTheFootprint)
{
    ASSERT_TRUE(designer().isPlayerInDesign());
    const std::pair<int32_t, int32_t> heights[] = { { 6, 0 }, { 7, 1 }, { 26, 1 }, { 27, 2 }, { 66, 3 }, { 67, 4 } };
    for (auto [z, floor] : heights) {
        standAt(z);
        EXPECT_EQ(designer().floorOfPlayer(), floor) << "at z " << z;
    }
    EXPECT_EQ(designer().floorCount(), 3);
    EXPECT_EQ(designer().componentBudget(), 373);
    EXPECT_EQ(designer().specialBudget(), 18);
    int32_t low = 0;
    int32_t high = 0;
    designer().floorZRange(2, low, high);
    EXPECT_EQ(low, 27);
    EXPECT_EQ(high, 46);
}

TEST_F(HouseDesignerTest, APieceAllowedOnlyOnTheNorthRowIsRefusedOnTheWestColumn)
{
    designer().setCurrentComponent(kNorthRowPiece);
    designer().setTool(housing::kWallTool);
    EXPECT_FALSE(designer().canPlaceAt(kCentreX - 4, kCentreY - 1)) << "west column";
    EXPECT_TRUE(designer().canPlaceAt(kCentreX - 1, kCentreY - 4)) << "north row";
    EXPECT_FALSE(designer().canPlaceAt(kCentreX - 4, kCentreY - 4)) << "corner";
    EXPECT_TRUE(designer().canPlaceAt(kCentreX, kCentreY)) << "inside";
    EXPECT_FALSE(designer().canPlaceAt(kCentreX, kCentreY + 4)) << "the front row takes only stair pieces";
    EXPECT_FALSE(designer().canPlaceAt(kCentreX + 6, kCentreY)) << "outside";
}

TEST_F(HouseDesignerTest, APlacedPieceIsOnTheHouseAtOnceAndAnErasedOneLeavesIt)
{
    standAt(7);
    designer().setCurrentComponent(kFloorPiece);
    designer().setTool(housing::kPlacePieceTool);
    int32_t before = designer().componentCount();
    TargetChoice cell;
    cell.x = kCentreX + 1;
    cell.y = kCentreY + 1;
    designer().onDesignTarget(cell);
    Item* house = findItemBySerial(kDesignedHouse);
    ASSERT_TRUE(house && house->multi());
    EXPECT_NE(house->multi()->find(1, 1, 7, kFloorPiece), nullptr) << "the piece lies on floor 1's low z";
    EXPECT_EQ(designer().componentCount(), before + 1);

    designer().setTool(housing::kEraseTool);
    TargetChoice piece = cell;
    piece.z = 7;
    piece.graphic = kFloorPiece;
    designer().onDesignTarget(piece);
    EXPECT_EQ(house->multi()->find(1, 1, 7, kFloorPiece), nullptr);
    EXPECT_NE(house->multi()->find(1, 1, 7, housing::kGroundFloorPiece), nullptr)
        << "floor 1 gets its ground tile back";
    EXPECT_TRUE(targetingState().targetingActive) << "the erase tool stays armed";

    // The ground tile itself cannot be erased.
    piece.graphic = housing::kGroundFloorPiece;
    int32_t count = designer().componentCount();
    designer().onDesignTarget(piece);
    EXPECT_EQ(designer().componentCount(), count);
}

TEST_F(HouseDesignerTest, ACommitOfAnIllegalDesignIsRefusedWithTheCheckersMessage)
{
    // A floor piece on the west column of floor 1 has no support.
    designer().addComponent(kDesignedHouse, { kFloorPiece, 0, -4, 0, 7 });
    designer().commitDesign();
    ASSERT_EQ(notices.messages.size(), 2u);
    EXPECT_EQ(notices.messages[0], "Illegal Floor!");
    EXPECT_EQ(notices.messages[1], "House not legal, not committing!");
    EXPECT_EQ(notices.hues, (std::vector<uint16_t> { 946, 946 }));
    EXPECT_EQ(notices.fonts, (std::vector<uint16_t> { 1, 1 }));
}

TEST_F(HouseDesignerTest, ViewModesCycleThroughSevenAndHideOrDimTheFloor)
{
    designer().addComponent(kDesignedHouse, { kWallPiece, 0, 1, 1, 7 });
    Item* house = findItemBySerial(kDesignedHouse);
    const MultiComponent* wall = house->multi()->find(1, 1, 7, kWallPiece);
    ASSERT_NE(wall, nullptr);
    const int32_t expected[] = { 8, 4, 0, 0, 8, 4, 0 };
    for (int32_t flags : expected) {
        designer().cycleFloorView(1);
        EXPECT_EQ(wall->object->drawFlags, flags);
    }
    EXPECT_EQ(designer().floorViewMode(1), 0);
}

TEST_F(HouseDesignerTest, TheHouseAtAPointIsTheFirstWhoseBoundsHoldItAndTheWindowTakesTheOneThePlayerIsIn)
{
    constexpr uint32_t kNeighbour = 0x40000301;
    onObjectPacket(kNeighbour, 0x4000, 0, 1, kCentreX + 20, kCentreY, 0, 0, 0, 0);
    Item* house = findItemBySerial(kDesignedHouse);
    Item* neighbour = findItemBySerial(kNeighbour);
    ASSERT_TRUE(house && house->multi() && neighbour && neighbour->multi());
    struct Case {
        int32_t dx;
        int32_t dy;
        Item* found;
    };
    const Case cases[] = { { 0, 0, house }, { -4, -4, house }, { 5, 4, house }, { 5, 5, nullptr },
        { 6, 0, nullptr }, { -5, 0, nullptr }, { 16, 0, neighbour }, { 25, 4, neighbour } };
    for (const Case& c : cases)
        EXPECT_EQ(housing::findHouseAtPoint(kCentreX + c.dx, kCentreY + c.dy), c.found) << c.dx << "," << c.dy;

    // The server names the neighbour, but the player stands in his own house:
    // the design window designs that one.
    designer().setHouseSerial(kNeighbour);
    auto* window = new housing::HouseDesignGump(50, 50);
    gumpLink(window, nullptr);
    EXPECT_EQ(designer().houseSerial(), kDesignedHouse);
    closeGump(window);
}

} // namespace
