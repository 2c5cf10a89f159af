#include "animation_fixture.h"
#include "world_fixture.h"

#include "world/static_object.h"

#include <memory>
#include <string>
#include <vector>

namespace test {
namespace {

// A flat terrain cell: the land objects themselves come with the terrain.
class TestLand final : public WorldObject {
public:
    explicit TestLand(int32_t landZ) { z = int16_t(landZ); }
    ~TestLand() override = default;
    void draw(const BlitTarget&, const ScreenRect&) override { }
    void computeBounds() override { }
    void place() override { placeWithDepthKey(z - 1); }
    bool isLand() const override { return true; }
    bool isDynamic() const override { return false; }
};

// The objects of one cell in list order.
std::vector<const WorldObject*> cellObjects(int32_t x, int32_t y)
{
    std::vector<const WorldObject*> objects;
    for (const WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y)); object;
         object = object->cellNext())
        objects.push_back(object);
    return objects;
}

class CellOrderTest : public WorldTest {
protected:
    StaticObject* makeStatic(uint16_t graphic, int32_t x, int32_t y, int32_t z)
    {
        StaticObject* object = allocStatic(graphic);
        object->enterWorldAt(x, y, z);
        return object;
    }

    // Land lives outside the world lists; each test unlinks and frees its own.
    TestLand* makeLand(int32_t x, int32_t y, int32_t z)
    {
        m_land.push_back(std::make_unique<TestLand>(z));
        TestLand* land = m_land.back().get();
        land->x = int16_t(x);
        land->y = int16_t(y);
        land->place();
        return land;
    }

    void TearDown() override
    {
        m_land.clear();
        WorldTest::TearDown();
    }

    std::vector<std::unique_ptr<TestLand>> m_land;
};

TEST_F(CellOrderTest, LandGoesFirstOnEqualKeysWhicheverCameFirst)
{
    // A background static at z 1 keys 0, as does land at z 1.
    StaticObject* floor = makeStatic(kBackgroundGraphic, 10, 10, 1);
    TestLand* land = makeLand(10, 10, 1);
    EXPECT_EQ(floor->depthKey, land->depthKey);
    EXPECT_EQ(cellObjects(10, 10), (std::vector<const WorldObject*> { land, floor }));

    TestLand* secondLand = makeLand(11, 10, 1);
    StaticObject* secondFloor = makeStatic(kBackgroundGraphic, 11, 10, 1);
    EXPECT_EQ(cellObjects(11, 10), (std::vector<const WorldObject*> { secondLand, secondFloor }));
    EXPECT_EQ(checkCellGrid(), "");
}

TEST_F(CellOrderTest, FlatMultiPartsGoBeforeEverythingOfTheirKey)
{
    StaticObject* rug = makeStatic(kFlatGraphic, 12, 12, 0);
    TestLand* land = makeLand(12, 12, 1);
    StaticObject* first = allocStatic(kFlatGraphic);
    first->markMultiPart();
    first->enterWorldAt(12, 12, 0);
    StaticObject* second = allocStatic(kFlatGraphic);
    second->markMultiPart();
    second->enterWorldAt(12, 12, 0);
    EXPECT_EQ(cellObjects(12, 12), (std::vector<const WorldObject*> { second, first, land, rug }));
    EXPECT_EQ(checkCellGrid(), "");
}

TEST_F(CellOrderTest, HigherKeysFollowLowerOnes)
{
    StaticObject* wall = makeStatic(kWallGraphic, 13, 13, 0); // key 1
    StaticObject* low = makeStatic(kFlatGraphic, 13, 13, -5); // key -5
    StaticObject* high = makeStatic(kFlatGraphic, 13, 13, 20); // key 20
    StaticObject* background = makeStatic(kBackgroundGraphic, 13, 13, 0); // key -1
    EXPECT_EQ(cellObjects(13, 13), (std::vector<const WorldObject*> { low, background, wall, high }));
}

TEST_F(CellOrderTest, AnUnplaceableObjectStaysOutOfTheGrid)
{
    StaticObject* object = makeStatic(kPlainGraphic, 14, 14, 0);
    ASSERT_TRUE(object->isPlaced());
    object->placeable = 0;
    object->place();
    EXPECT_FALSE(object->isPlaced());
    EXPECT_TRUE(cellObjects(14, 14).empty());
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(CellOrderTest, SlicesStandBeforeTheLandAndTakeItsKey)
{
    // An animal whose picture reaches below its base line.
    fixture::AnimationFileWriter animations;
    for (int32_t slot = 0; slot < 15; ++slot)
        animations.setRecord(22000 + slot, blockRecord(5, 40, 20, 12));
    InstalledAnimations installed(animations, "200 ANIMAL 0\n");
    TestLand* land = makeLand(kCentreX + 4, kCentreY + 4, 3);
    StaticObject* wall = makeStatic(kWallGraphic, kCentreX + 4, kCentreY + 4, -10);
    // An animal-like body is sliced below its base line; its first band
    // goes one cell down the screen.
    Mobile* animal = addMobile(0x51, kCentreX + 3, kCentreY + 3, kAnimalBody);
    ASSERT_TRUE(animal);
    ASSERT_TRUE(animal->firstSlice());
    const TallObjectSlice* slice = animal->firstSlice();
    EXPECT_EQ(slice->depthKey, land->depthKey);
    EXPECT_EQ(cellObjects(kCentreX + 4, kCentreY + 4), (std::vector<const WorldObject*> { wall, slice, land }));
    EXPECT_EQ(checkCellGrid(), "");
    animal->removeFromGrid();
    EXPECT_EQ(animal->firstSlice(), nullptr) << "leaving the grid destroys the slices";
    EXPECT_EQ(cellObjects(kCentreX + 4, kCentreY + 4), (std::vector<const WorldObject*> { wall, land }));
}

struct ShiftCase {
    const char* name;
    int32_t countdown;
    uint8_t direction;
    int32_t reach;
    int32_t cellX;
    int32_t cellY;
};

class CellShiftTable : public WorldTest, public testing::WithParamInterface<ShiftCase> { };

TEST_P(CellShiftTable, LinksIntoTheShiftedCell)
{
    const ShiftCase& c = GetParam();
    Mobile* mobile = addMobile(0x52, 1010, 1010);
    ASSERT_TRUE(mobile);
    mobile->removeFromGrid();
    mobile->stepCountdown = c.countdown;
    mobile->direction = c.direction;
    mobile->setCellReach(c.reach);
    mobile->place();
    EXPECT_EQ(mobile->linkedCellIndex(), WorldCellGrid::cellIndex(c.cellX, c.cellY));
    bool found = false;
    for (const WorldObject* object : cellObjects(c.cellX, c.cellY))
        found = found || object == mobile;
    EXPECT_TRUE(found);
    mobile->removeFromGrid();
    EXPECT_EQ(checkCellGrid(), "");
}

INSTANTIATE_TEST_SUITE_P(Shifts, CellShiftTable,
    testing::Values(ShiftCase { "Standing", 0, 0, 0, 1010, 1010 },
        // The drawing sets the reach; placing reads the one it left.
        ShiftCase { "ReachOne", 0, 2, 1, 1011, 1009 },
        ShiftCase { "WalkingNorth", 3, 0, 0, 1010, 1011 },
        ShiftCase { "WalkingNorthEast", 3, 1, 0, 1010, 1011 },
        ShiftCase { "WalkingEast", 3, 2, 0, 1010, 1010 },
        ShiftCase { "WalkingSouthWest", 3, 5, 0, 1011, 1010 },
        ShiftCase { "WalkingWest", 3, 6, 0, 1011, 1010 },
        ShiftCase { "WalkingNorthWest", 3, 7, 0, 1011, 1011 },
        ShiftCase { "WalkingWestWithReach", 3, 6, 1, 1012, 1009 }),
    [](const testing::TestParamInfo<ShiftCase>& param) { return std::string(param.param.name); });

TEST_F(WorldTest, APlainContainerGoesIntoItsOwnCell)
{
    onObjectPacket(0x40000060, kBackpackGraphic, 0, 1, 1010, 1010, 0, 0, 0, 0);
    Item* backpack = findItemBySerial(0x40000060);
    ASSERT_TRUE(backpack && backpack->isPlaced());
    int32_t cellX = 0;
    int32_t cellY = 0;
    backpack->linkCell(cellX, cellY);
    EXPECT_EQ(cellX, 1010);
    EXPECT_EQ(cellY, 1010);
}

TEST_F(WorldTest, RemovingAfterThePositionChangedLeavesTheRightCell)
{
    StaticObject* first = allocStatic(kPlainGraphic);
    first->enterWorldAt(1020, 1020, 0);
    StaticObject* second = allocStatic(kPlainGraphic);
    second->enterWorldAt(1020, 1020, 5);
    ASSERT_EQ(worldCellGrid().head(WorldCellGrid::cellIndex(1020, 1020)), first);
    // Moved while linked: the cell its position names is not where it is.
    first->x = 1030;
    first->y = 1031;
    first->removeFromGrid();
    EXPECT_EQ(worldCellGrid().head(WorldCellGrid::cellIndex(1020, 1020)), second);
    EXPECT_EQ(second->cellPrev(), nullptr);
    EXPECT_EQ(checkCellGrid(), "");
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(WorldTest, RangeTestsMeasureFromTheOutermostParent)
{
    onObjectPacket(0x40000061, kBackpackGraphic, 0, 1, kCentreX + 3, kCentreY, 0, 0, 0, 0);
    ASSERT_TRUE(addItemToContainer(0x40000062, kPlainGraphic, 0, 1, 150, 150, 0x40000061, 0));
    Item* inside = findItemBySerial(0x40000062);
    EXPECT_TRUE(inside->isWithinRangeOfPlayer(3));
    EXPECT_FALSE(inside->isWithinRangeOfPlayer(2));
    EXPECT_TRUE(player()->isWithinRangeOfPlayer(0));
    player()->x = 0;
    EXPECT_TRUE(player()->isInUpdateRange()) << "the player is always in range";
}

TEST_F(WorldTest, CellEntriesSortByBottomThenTop)
{
    StaticObject* low = allocStatic(kWallGraphic);
    low->z = 0;
    StaticObject* flat = allocStatic(kFlatGraphic);
    flat->z = 0;
    StaticObject* high = allocStatic(kFlatGraphic);
    high->z = 5;
    EXPECT_TRUE(compareCellEntries(flat, low)) << "same bottom, lower top first";
    EXPECT_TRUE(compareCellEntries(low, high));
    EXPECT_FALSE(compareCellEntries(high, flat));
    for (StaticObject* object : { low, flat, high })
        object->destroy();
}

} // namespace
} // namespace test
