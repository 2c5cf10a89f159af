// What hides parts of the world: roofs and ceilings over the player, the
// cover over mobiles, trees in front of the player; and the circle of
// transparency.
#include "animation_fixture.h"
#include "world_fixture.h"

#include "fixtures/art_writer.h"
#include "fixtures/byte_writer.h"
#include "fixtures/data_file_writer.h"
#include "gfx/pixel_spans.h"
#include "world/circle_of_transparency.h"
#include "world/visibility.h"
#include "world/world_drawing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace test;

constexpr uint16_t kRoofGraphic = 0x05F4;
constexpr uint16_t kCeilingGraphic = 0x0495;
constexpr uint16_t kGroupTree = 3400;

class VisibilityTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        setItemTile(kRoofGraphic, kTileRoof, 3);
        setItemTile(kCeilingGraphic, kTileSurface, 1);
        for (int32_t graphic = 3397; graphic <= 3404; ++graphic)
            setItemTile(graphic, kTileFoliage, 20);
        visibilityState() = VisibilityState {};
    }

    void TearDown() override
    {
        for (StaticObject* object : made)
            object->destroy();
        visibilityState() = VisibilityState {};
        WorldTest::TearDown();
    }

    StaticObject* put(uint16_t graphic, int32_t x, int32_t y, int32_t z)
    {
        StaticObject* object = allocStatic(graphic);
        object->enterWorldAt(x, y, z);
        made.push_back(object);
        return object;
    }

    std::vector<StaticObject*> made;
};

TEST_F(VisibilityTest, ACeilingOverThePlayerCutsJustAboveIt)
{
    updateRoofLimits();
    EXPECT_EQ(visibilityState().roofCutZ, 127) << "nothing above";
    StaticObject* ceiling = put(kCeilingGraphic, kCentreX, kCentreY, 15);
    StaticObject* above = put(kPlainGraphic, kCentreX + 3, kCentreY, 40);
    updateRoofLimits();
    EXPECT_EQ(visibilityState().roofCutZ, 16);
    EXPECT_FALSE(ceiling->isHidden()) << "just below the cut";
    EXPECT_TRUE(above->isHidden());
    EXPECT_FALSE(put(kPlainGraphic, kCentreX + 3, kCentreY, 5)->isHidden());
}

TEST_F(VisibilityTest, ARoofInFrontSpreadsToTheLowestTouchingRoof)
{
    put(kRoofGraphic, kCentreX + 1, kCentreY + 1, 30);
    put(kRoofGraphic, kCentreX + 2, kCentreY + 1, 26);
    put(kRoofGraphic, kCentreX + 3, kCentreY + 1, 22);
    put(kRoofGraphic, kCentreX + 5, kCentreY + 1, 18) /* not touching */;
    put(kRoofGraphic, kCentreX + 2, kCentreY + 2, 40) /* too far above its neighbour */;
    updateRoofLimits();
    EXPECT_EQ(visibilityState().roofTopZ, 22);
    EXPECT_EQ(visibilityState().roofCutZ, 22);
}

TEST_F(VisibilityTest, AMobileIsHiddenOnlyWhenAllFiveCellsAreCovered)
{
    Mobile* mobile = addMobile(0x00000BB1, kCentreX + 4, kCentreY + 4);
    ASSERT_TRUE(mobile);
    const int32_t cells[5][2] = { { 0, 0 }, { 1, 1 }, { 1, 0 }, { 0, 1 }, { 2, 2 } };
    for (int32_t i = 0; i < 4; ++i)
        put(kCeilingGraphic, mobile->x + cells[i][0], mobile->y + cells[i][1], 20);
    EXPECT_FALSE(mobile->isHidden());
    put(kCeilingGraphic, mobile->x + 2, mobile->y + 2, 20);
    EXPECT_TRUE(mobile->isHidden());
    EXPECT_FALSE(player()->isHidden()) << "the player keeps the base rule";
}

TEST_F(VisibilityTest, TreesInFrontOfThePlayerHideByGroup)
{
    // Trees cover the player when their pictures overlap its picture and
    // they stand in front of it.
    StaticObject* lone = put(kTreeGraphic, kCentreX + 1, kCentreY, 0);
    StaticObject* behind = put(kTreeGraphic, kCentreX - 1, kCentreY, 0);
    StaticObject* member = put(kGroupTree, kCentreX, kCentreY + 1, 0);
    StaticObject* partner = put(kGroupTree + 1, kCentreX + 1, kCentreY, 0);
    StaticObject* stranger = put(kGroupTree + 3, kCentreX - 2, kCentreY + 3, 0);
    // The player's picture (none is drawn here: no animation is installed)
    // is made to cover the place where the lone tree stands.
    player()->screenRect = lone->screenRect;
    updateRoofLimits();
    EXPECT_TRUE(lone->isHidden());
    EXPECT_FALSE(behind->isHidden());
    EXPECT_TRUE(member->isHidden());
    EXPECT_TRUE(partner->isHidden()) << "one cell from the member, one graphic apart, same row";
    EXPECT_FALSE(stranger->isHidden());
    // The state is cached until the next recomputation.
    player()->enterWorldAt(kCentreX + 10, kCentreY, 0);
    EXPECT_TRUE(lone->isHidden());
    updateRoofLimits();
    EXPECT_FALSE(lone->isHidden());
    EXPECT_EQ(foliageGroupOf(3405), 1);
    EXPECT_EQ(foliageGroupOf(3412), -1);
}

// A hidden tree is drawn see-through by its own tile record (its graphic
// plus its offset), which reads translucent only while it is drawn.
TEST_F(VisibilityTest, AHiddenTreeIsDrawnSeeThroughByItsOwnTileRecord)
{
    constexpr uint16_t kArtColour = 0x7C00;
    constexpr uint16_t kOffsetTreeGraphic = 3396;
    setItemTile(kOffsetTreeGraphic, 0, 20);
    std::string index;
    std::string data;
    const std::vector<uint8_t> art = fixture::artRecordFromPixels(44, 60, std::vector<uint16_t>(44 * 60, kArtColour));
    // The picture, like the tile record, is the graphic's plus the offset.
    for (int32_t id = 0; id <= 0x4000 + kOffsetTreeGraphic + 1; ++id) {
        if (id == 0x4000 + kOffsetTreeGraphic + 1) {
            index += fixture::idxEntry(int32_t(data.size()), int32_t(art.size()), 0);
            data += fixture::asString(art);
        } else {
            index += fixture::idxEntry(-1, 0, 0);
        }
    }
    fixture::AnimationFileWriter animations;
    animations.setRecord(0, fixture::blockRecord(1, 2, 2));
    InstalledAnimations installed(animations, "",
        std::map<std::string, std::string> { { "artidx.mul", index }, { "art.mul", data } });
    if (worldCellGrid().drawOrder().empty())
        worldCellGrid().buildDrawOrder();
    worldCellGrid().follow();
    StaticObject* tree = allocStatic(kOffsetTreeGraphic);
    tree->graphicOffset = 1;
    tree->enterWorldAt(kCentreX + 1, kCentreY, 0);
    made.push_back(tree);
    ASSERT_EQ(tree->tileFlags(), kTileFoliage) << "record 3397 is the tree's";
    player()->screenRect = tree->screenRect;
    updateRoofLimits();
    ASSERT_TRUE(tree->isHidden());

    TestCanvas canvas(120, 120);
    worldScreen().viewPixelX = tree->screenRect.left - 30;
    worldScreen().viewPixelY = tree->screenRect.top - 30;
    drawCellsInRect(canvas.target(), canvas.whole());
    const uint16_t middle = canvas.at(30 + 22, 30 + 30);
    EXPECT_NE(middle, kArtColour) << "not drawn opaque";
    EXPECT_NE(middle, TestCanvas::background(52, 60)) << "but drawn";
    EXPECT_EQ(tileData().item(kOffsetTreeGraphic + 1).flags, kTileFoliage) << "the record reads as before";
    EXPECT_EQ(tileData().item(kOffsetTreeGraphic).flags, 0u);
    EXPECT_FALSE(tileData().setItemFlags(TileData::kItemCount, kTileTranslucent)) << "no record past the table";
}

TEST_F(VisibilityTest, WithoutAPlayerEveryStaticIsHidden)
{
    StaticObject* wall = put(kWallGraphic, kCentreX + 2, kCentreY, 0);
    EXPECT_FALSE(wall->isHidden());
    deletePlayerObject();
    EXPECT_TRUE(wall->isHidden());
    updateRoofLimits();
    EXPECT_EQ(visibilityState().roofCutZ, 127);
}

class CircleTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        circleOfTransparency().setGameAreaSize(640, 480);
        circleOfTransparency().init();
    }
};

TEST_F(CircleTest, TheRadiusIsClampedAndTheBlendChosenByIt)
{
    CircleOfTransparency& circle = circleOfTransparency();
    EXPECT_EQ(circle.radius(), 64);
    EXPECT_EQ(circle.shift(), 12);
    circle.setRadius(1);
    EXPECT_EQ(circle.radius(), 2);
    circle.setRadius(300);
    EXPECT_EQ(circle.radius(), 256);
    EXPECT_TRUE(circle.blendsByShift());
    circle.setRadius(50);
    EXPECT_FALSE(circle.blendsByShift());
    circle.setCentre(-5, 9000);
    EXPECT_EQ(circle.centreX(), 0);
    EXPECT_EQ(circle.centreY(), 479);
}

TEST_F(CircleTest, TheShiftAndTheDivideBlendAgree)
{
    for (int32_t d2 = 0; d2 <= 4096; d2 += 97) {
        for (uint16_t over : { uint16_t(0x7FFF), uint16_t(0x1234), uint16_t(0x0421) }) {
            uint16_t behind = 0x2D6B;
            EXPECT_EQ(CircleOfTransparency::blendShift(over, behind, d2, 4096, 12),
                CircleOfTransparency::blendDivide(over, behind, d2, 4096, 0));
        }
    }
    const CircleOfTransparency& circle = circleOfTransparency();
    EXPECT_EQ(circle.blend(0x7FFF, 0x0000, 4096), 0x7FFF) << "the rim shows the object";
    EXPECT_EQ(circle.blend(0x7FFF, 0x1234, 0), 0x1234) << "the centre shows what is behind";
}

int g_calls = 0;
void countingCopy(uint16_t* destination, const uint16_t* source, int32_t count)
{
    ++g_calls;
    copySpan(destination, source, count);
}

TEST_F(CircleTest, ARowOutsideTheCircleIsOneCall)
{
    std::vector<uint16_t> row(40, 0x1111);
    std::vector<uint16_t> source(40, 0x7FFF);
    g_calls = 0;
    circleSpan(countingCopy, row.data(), source.data(), 40, 300, 10);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(row[5], 0x7FFF);
    // Through the centre: the middle pixel shows what was there.
    std::vector<uint16_t> middle(40, 0x1111);
    circleSpan(copySpan, middle.data(), source.data(), 40, 300, 240);
    EXPECT_EQ(middle[20], 0x1111);
    // 20 pixels left of the centre: d2 = 400 of 4096.
    EXPECT_EQ(middle[0], CircleOfTransparency::blendShift(0x7FFF, 0x1111, 400, 4096, 12));
}

TEST_F(CircleTest, OnlyStaticsRisingMoreThanFiveAboveThePlayerFade)
{
    setItemTile(kHeavyGraphic, 0, 5);
    StaticObject* low = allocStatic(kHeavyGraphic);
    low->enterWorldAt(kCentreX, kCentreY, 0);
    StaticObject* high = allocStatic(kHeavyGraphic);
    high->enterWorldAt(kCentreX, kCentreY, 1);
    worldScreen().viewPixelX = low->screenRect.left - 300;
    worldScreen().viewPixelY = low->screenRect.top - 220;
    EXPECT_FALSE(isInCircleOfTransparency(*low)) << "top exactly five above";
    EXPECT_TRUE(isInCircleOfTransparency(*high));
    Item* item = dropItem(0x40000005, kCentreX, kCentreY, kHeavyGraphic);
    EXPECT_FALSE(isInCircleOfTransparency(*item)) << "only statics fade";
    low->destroy();
    high->destroy();
}

} // namespace
