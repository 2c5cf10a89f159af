// The cell grid: the draw order, following the view centre, evicting cells,
// picking against the draw order, and the slices of tall objects.
#include "animation_fixture.h"
#include "world_fixture.h"

#include "fixtures/art_writer.h"
#include "gfx/art_cache.h"
#include "gfx/back_buffer.h"
#include "world/cell_picking.h"
#include "world/land_tile.h"
#include "world/visibility.h"
#include "world/world_drawing.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace test;

WorldCellGrid& grid() { return worldCellGrid(); }

void ensureDrawOrder()
{
    if (grid().drawOrder().empty())
        grid().buildDrawOrder();
}

TEST(DrawOrder, HoldsTheBackToFrontDiamondOfCells)
{
    WorldCellGrid fresh;
    fresh.buildDrawOrder();
    std::span<const uint16_t> order = fresh.drawOrder();
    ASSERT_EQ(order.size(), 1977u);
    EXPECT_EQ(order.front() & 63, 1);
    EXPECT_EQ(order.front() >> 6, 30);
    EXPECT_EQ(order.back() & 63, 63);
    EXPECT_EQ(order.back() >> 6, 34);
    // Never a cell before one that stands behind it on the screen.
    for (size_t i = 1; i < order.size(); ++i) {
        int32_t before = (order[i - 1] & 63) + (order[i - 1] >> 6);
        int32_t after = (order[i] & 63) + (order[i] >> 6);
        ASSERT_TRUE(before < after || (before == after && (order[i - 1] & 63) < (order[i] & 63)));
    }
}

// The walk that passes over whole rows and columns visits exactly the cells
// whose bounds meet the rectangle, in draw order, as the bounds grow and
// shrink and the corner moves.
TEST(DrawOrder, CellsMeetingARectangleAreThoseAPlainWalkFinds)
{
    WorldCellGrid fresh;
    fresh.buildDrawOrder();
    std::mt19937 random(77);
    auto plainWalk = [&fresh](const ScreenRect& rect) {
        std::vector<int32_t> cells;
        for (uint16_t relative : fresh.drawOrder()) {
            const int32_t index = fresh.gridIndexOfRelative(relative);
            const ScreenRect& b = fresh.bounds(index);
            if (b.top <= rect.bottom && b.bottom >= rect.top && b.left <= rect.right && b.right >= rect.left)
                cells.push_back(index);
        }
        return cells;
    };
    for (int32_t round = 0; round < 6; ++round) {
        for (int32_t n = 0; n < 400; ++n) {
            const int32_t x = int32_t(random() % 800) - 100;
            const int32_t y = int32_t(random() % 700) - 100;
            fresh.growBounds(int32_t(random() % WorldCellGrid::kCellCount),
                { x, y, x + int32_t(random() % 120), y + int32_t(random() % 150) });
        }
        // Measured again with no objects: those cells have no bounds now.
        for (int32_t n = 0; n < 300; ++n)
            fresh.measureBounds(int32_t(random() % WorldCellGrid::kCellCount));
        // The first walk measures the rows; then the window moves.
        fresh.forEachCellMeeting({ 0, 0, 10, 10 }, [](int32_t) { });
        fresh.setCorner(int32_t(random() % 200), int32_t(random() % 200));
        for (int32_t n = 0; n < 40; ++n) {
            const int32_t left = int32_t(random() % 900) - 150;
            const int32_t top = int32_t(random() % 800) - 150;
            const ScreenRect rect { left, top, left + int32_t(random() % 300), top + int32_t(random() % 200) };
            std::vector<int32_t> visited;
            fresh.forEachCellMeeting(rect, [&visited](int32_t index) { visited.push_back(index); });
            std::vector<int32_t> expected = plainWalk(rect);
            ASSERT_EQ(visited, expected) << "round " << round << ", rectangle " << n;
        }
    }
}

class CellGridTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ensureDrawOrder();
    }

    void TearDown() override
    {
        // Land lives only in the grid.
        grid().clearAll();
        WorldTest::TearDown();
    }

    // A flat land tile at (x, y), placed.
    static WorldObject* land(int32_t x, int32_t y, int32_t z = 0)
    {
        LandTile* tile = landTilePool().allocate(3, x, y, z);
        tile->place();
        return tile;
    }

    static int32_t objectsInGrid()
    {
        int32_t count = 0;
        for (int32_t index = 0; index < WorldCellGrid::kCellCount; ++index) {
            for (WorldObject* object = grid().head(index); object; object = object->cellNext())
                ++count;
        }
        return count;
    }
};

TEST_F(CellGridTest, FollowingByOneCellClearsOneColumnAndByMoreThanTheGridClearsAll)
{
    mapView().centreX = kCentreX;
    mapView().centreY = kCentreY;
    grid().follow();
    // A land tile in every cell of the window.
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x)
            land(grid().cornerX() + x, grid().cornerY() + y);
    }
    int32_t before = objectsInGrid();
    mapView().centreX += 1;
    grid().follow();
    EXPECT_EQ(before - objectsInGrid(), 64);
    mapView().centreY -= 1;
    grid().follow();
    EXPECT_EQ(before - objectsInGrid(), 128 - 1);
    mapView().centreX += 64;
    grid().follow();
    EXPECT_EQ(objectsInGrid(), 1) << "only the player, placed again";
    EXPECT_TRUE(player()->isPlaced());
}

TEST_F(CellGridTest, ClearingThePlayersCellKeepsThePlayerAndStatics)
{
    WorldObject* tile = land(kCentreX, kCentreY);
    (void)tile;
    Item* item = dropItem(0x40000001, kCentreX, kCentreY);
    StaticObject* wall = allocStatic(kWallGraphic);
    wall->enterWorldAt(kCentreX, kCentreY, 0);
    BackBuffer buffer;
    buffer.create(200, 200, BufferFormat::Rgb555);
    setWorldBackBuffer(&buffer);
    buffer.renderWorldDirtyRects(nullptr);
    grid().clearCell(kCentreX & 63, kCentreY & 63);
    EXPECT_TRUE(buffer.isFullRedrawPending()) << "the player was in the cell";
    EXPECT_TRUE(player()->isPlaced());
    EXPECT_TRUE(wall->isPlaced());
    EXPECT_EQ(findItemBySerial(0x40000001), nullptr) << "the item was evicted";
    (void)item;
    setWorldBackBuffer(nullptr);
    wall->destroy();
}

TEST(LandDiamondPick, EdgesAndCornersOfTheBox)
{
    EXPECT_TRUE(isInLandDiamond(22, 22));
    EXPECT_FALSE(isInLandDiamond(0, 0));
    EXPECT_FALSE(isInLandDiamond(43, 0));
    EXPECT_FALSE(isInLandDiamond(0, 43));
    EXPECT_FALSE(isInLandDiamond(43, 43));
    EXPECT_FALSE(isInLandDiamond(1, 19)) << "dx + dy must pass 20";
    EXPECT_TRUE(isInLandDiamond(1, 20));
    EXPECT_TRUE(isInLandDiamond(42, 22));
}

// Picking walks the draw order backwards: the table pairs a point with the
// object expected there.
TEST_F(CellGridTest, PickingFollowsTheDrawOrder)
{
    grid().follow();
    // Raised by 5, the front tile overlaps the back one's lower half.
    WorldObject* front = land(kCentreX + 6, kCentreY - 4, 5);
    WorldObject* back = land(kCentreX + 5, kCentreY - 5);
    worldScreen().viewPixelX = 0;
    worldScreen().viewPixelY = 0;
    auto at = [](const WorldObject* object, int32_t dx, int32_t dy) {
        return grid().pickAt(object->screenRect.left + dx, object->screenRect.top + dy, false);
    };
    EXPECT_EQ(at(back, 22, 10), back);
    EXPECT_EQ(at(back, 22, 40), front) << "the front tile overlaps the lower half";
    EXPECT_EQ(at(front, 22, 22), front);
    EXPECT_EQ(at(back, 22, 20), back);
    EXPECT_EQ(at(back, 43, 0), nullptr) << "corner of the box";
    EXPECT_EQ(at(back, 44, 22), nullptr) << "the right edge is outside";
    EXPECT_EQ(grid().pickAt(back->screenRect.left + 22, back->screenRect.top + 10, true), nullptr)
        << "land ignored";
    EXPECT_EQ(grid().findLandAt(back->screenRect.left + 22, back->screenRect.top + 14), back);
    EXPECT_EQ(pickWorldObjectAt(back->screenRect.left + 22, back->screenRect.top + 10), nullptr);
}

TEST_F(CellGridTest, TheLaterObjectOfACellIsPickedAndAStackIsHitOnItsSecondCopy)
{
    grid().follow();
    // Without art both items are picked by their cell's diamond.
    Item* first = dropItem(0x40000001, kCentreX + 2, kCentreY);
    Item* second = dropItem(0x40000002, kCentreX + 2, kCentreY);
    ASSERT_TRUE(first && second);
    const ScreenRect& box = second->screenRect;
    WorldObject* picked = grid().pickAt(box.left + 22, box.top + 22, true);
    EXPECT_EQ(picked, second->cellNext() ? second->cellNext() : second);
    EXPECT_TRUE(picked == first || picked == second);
    EXPECT_EQ(picked->cellNext(), nullptr) << "the last of the list";
}

TEST_F(CellGridTest, RefreshingAGraphicVisitsEachObjectOnce)
{
    grid().follow();
    std::vector<StaticObject*> statics;
    for (int32_t i = 0; i < 5; ++i) {
        StaticObject* object = allocStatic(kFlatGraphic);
        object->enterWorldAt(kCentreX + i % 2, kCentreY, i);
        statics.push_back(object);
    }
    uint64_t destroyed = worldObjectDestructions();
    refreshObjectsWithGraphic(kFlatGraphic);
    EXPECT_EQ(worldObjectDestructions(), destroyed);
    for (StaticObject* object : statics) {
        EXPECT_TRUE(object->isPlaced());
        object->destroy();
    }
    EXPECT_EQ(checkCellGrid(), "");
}

TEST_F(CellGridTest, TopObjectIsTheLastOfTheCell)
{
    StaticObject* floor = allocStatic(kBackgroundGraphic);
    floor->enterWorldAt(kCentreX + 3, kCentreY, 0);
    StaticObject* wall = allocStatic(kWallGraphic);
    wall->enterWorldAt(kCentreX + 3, kCentreY, 5);
    EXPECT_EQ(grid().topObjectAt(kCentreX + 3, kCentreY), wall);
    EXPECT_EQ(grid().topObjectAt(kCentreX + 4, kCentreY), nullptr);
    floor->destroy();
    wall->destroy();
}

// A mobile tall enough to be cut into slices: each slice draws only its
// band, and is hidden exactly when its owner is.
TEST_F(CellGridTest, SlicesDrawOnlyTheirBandAndFollowTheirOwner)
{
    // A low body whose standing frames reach 100 rows below its anchor (and
    // 20 above it).
    constexpr uint16_t kLowBody = 21;
    fixture::AnimationFileWriter animations;
    for (int32_t direction = 0; direction < 5; ++direction)
        animations.setRecord(kLowBody * 110 + direction, fixture::blockRecord(1, 30, 120, 100));
    InstalledAnimations installed(animations, "21 MONSTER 0\n");
    Mobile* mobile = addMobile(0x00000BB1, kCentreX + 1, kCentreY, kLowBody);
    ASSERT_TRUE(mobile);
    std::vector<TallObjectSlice*> slices;
    for (TallObjectSlice* slice = mobile->firstSlice(); slice; slice = slice->nextSlice())
        slices.push_back(slice);
    ASSERT_GE(slices.size(), 2u) << "the body reaches more than one band below its base line ";
    const ScreenRect& rect = mobile->screenRect;
    worldScreen().viewPixelX = rect.left - 10;
    worldScreen().viewPixelY = rect.top - 10;
    const int32_t width = rect.width() + 20;
    const int32_t height = rect.height() + 20;
    int32_t drawnRows = 0;
    for (TallObjectSlice* slice : slices) {
        EXPECT_EQ(slice->isHidden(), mobile->isHidden());
        TestCanvas canvas(width, height);
        slice->draw(canvas.target(), canvas.whole());
        const int32_t top = slice->bandTop() - worldScreen().viewPixelY;
        const int32_t bottom = slice->bandBottom() - worldScreen().viewPixelY;
        for (int32_t y = 0; y < height; ++y) {
            bool drawn = false;
            for (int32_t x = 0; x < width; ++x)
                drawn |= canvas.at(x, y) != TestCanvas::background(x, y);
            if (!drawn)
                continue;
            ++drawnRows;
            EXPECT_TRUE(y >= top && y < bottom) << "row " << y << " outside the band " << top << ".." << bottom;
        }
    }
    EXPECT_GT(drawnRows, 88) << "the bands drew the lower body";
    // Under a roof the owner hides, and its slices with it.
    ASSERT_FALSE(mobile->isHidden());
    visibilityState().roofCutZ = mobile->z;
    ASSERT_TRUE(mobile->isHidden());
    for (TallObjectSlice* slice : slices)
        EXPECT_TRUE(slice->isHidden());
    visibilityState() = VisibilityState {};
    mobile->removeFromGrid();
    EXPECT_EQ(mobile->firstSlice(), nullptr);
}

} // namespace
