// Figures sitting on chairs: who sits, the facing a chair allows, the pose's
// record, the remapping tables against their formula, the chair drawn again
// over the figure, bounds and picking, and a golden of seated figures.
#include "animation_fixture.h"
#include "world_fixture.h"

#include "fixtures/art_writer.h"
#include "fixtures/byte_writer.h"
#include "fixtures/data_file_writer.h"
#include "world/mobile_drawing.h"
#include "world/sitting_mobiles.h"

#include <algorithm>
#include <memory>
#include <string>

namespace test {
namespace {

constexpr uint16_t kChairColour = 0x7C00;
constexpr int32_t kChairX = kCentreX + 2;
constexpr int32_t kChairY = kCentreY + 1;
constexpr int32_t kLowPoseBody = 410;

// Static art of a 44x44 red block for the chairs with an overlap.
std::string chairArtFiles(std::string& data)
{
    std::string index;
    std::vector<uint8_t> art = fixture::artRecordFromPixels(44, 44, std::vector<uint16_t>(44 * 44, kChairColour));
    for (int32_t id = 0; id <= 0x4000 + 4635; ++id) {
        if (id == 0x4000 + 4634 || id == 0x4000 + 4635) {
            index += fixture::idxEntry(int32_t(data.size()), int32_t(art.size()), 0);
            data += fixture::asString(art);
        } else {
            index += fixture::idxEntry(-1, 0, 0);
        }
    }
    return index;
}

class SittingTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        fixture::AnimationFileWriter animations;
        fixture::addSampleAnimations(animations);
        // A body whose seated poses reach down to the anchor.
        for (int32_t direction = 0; direction < 5; ++direction)
            for (int32_t action : { 0, 4, 25 })
                animations.setRecord(fixture::humanRecordNumber(kLowPoseBody, action, direction), blockRecord(1, 20, 40));
        std::string artData;
        std::string artIndex = chairArtFiles(artData);
        installed = std::make_unique<InstalledAnimations>(animations, fixture::sampleMobTypes() + "410 HUMAN 0\n",
            std::map<std::string, std::string> { { "artidx.mul", artIndex }, { "art.mul", artData } });
        setSampleFigureTiles();
        // Plain tile records for the chairs, whatever earlier tests left.
        for (uint16_t graphic : { 2603, 2864, 2894, 2911, 4634, 4635, 6001, 10843 })
            setTileRecord(graphic, TileDataItem {});
    }
    void TearDown() override
    {
        installed.reset();
        sittingCanvas().chair = nullptr;
        WorldTest::TearDown();
    }

    StaticObject* chair(uint16_t graphic, int32_t z = 0, int32_t x = kChairX, int32_t y = kChairY)
    {
        StaticObject* seat = allocStatic(graphic);
        seat->enterWorldAt(x, y, z);
        return seat;
    }
    Mobile* sitter(uint8_t facing, int32_t z = 0)
    {
        onObjectPacket(0x300, uint16_t(fixture::kSampleManBody), 0, 1, kChairX, kChairY, int8_t(z), facing, 0, 0);
        Item* found = findItemBySerial(0x300);
        return found && found->isMobile() ? static_cast<Mobile*>(found) : nullptr;
    }
    void dress(Mobile& mobile)
    {
        uint32_t serial = 0x40000900;
        for (const fixture::SampleGarment& garment : fixture::kSampleGarments)
            ASSERT_TRUE(equipItemOnMobile(mobile.serial, serial++, garment.graphic, garment.layer, 0x0018));
        mobile.place();
    }

    InstalledTestHues hues;
    std::unique_ptr<InstalledAnimations> installed;
};

TEST_F(SittingTest, TheChairTable)
{
    ASSERT_TRUE(findChair(2894));
    EXPECT_EQ(findChair(2894)->facings, 0x2);
    EXPECT_EQ(findChair(6001)->facings, 0x1F);
    EXPECT_EQ(findChair(2911)->shiftFor(6), 14);
    EXPECT_EQ(findChair(2911)->shiftFor(2), 3);
    EXPECT_EQ(findChair(4634)->overlap, 3);
    EXPECT_EQ(findChair(2864)->shiftFor(4), -8);
    EXPECT_EQ(findChair(2860 - 1), nullptr);
}

TEST_F(SittingTest, TheFacingTurnsToOneTheChairAllows)
{
    struct Case {
        uint16_t chair;
        int32_t facing;
        int32_t turned;
    };
    // 4 on a chair facing 2 only: 4, 5, 3, 6, then 2.
    for (Case c : { Case { 2894, 4, 2 }, { 2894, 2, 2 }, { 2894, 7, 2 }, { 2895, 0, 4 }, { 4634, 5, 0 },
             { 4634, 4, 0 }, { 2864, 4, 6 }, { 6001, 3, 4 }, { 6001, 1, 2 } }) {
        sittingCanvas().chair = findChair(c.chair);
        int32_t facing = c.facing;
        adjustSittingFacing(facing);
        EXPECT_EQ(facing, c.turned) << "chair " << c.chair << " facing " << c.facing;
    }
}

TEST_F(SittingTest, WhoSits)
{
    chair(2894);
    Mobile* mobile = sitter(4);
    ASSERT_TRUE(mobile);
    EXPECT_TRUE(isMobileSitting(*mobile));
    mobile->stepCountdown = 3;
    EXPECT_FALSE(isMobileSitting(*mobile)) << "in the middle of a move";
    mobile->stepCountdown = 0;
    mobile->deadFlag = 1;
    EXPECT_FALSE(isMobileSitting(*mobile)) << "dead";
    mobile->deadFlag = 0;
    ASSERT_TRUE(equipItemOnMobile(mobile->serial, 0x40000950, fixture::kSampleMountGraphic, Mobile::kMountLayer, 0));
    EXPECT_FALSE(isMobileSitting(*mobile)) << "mounted";
    mobile->layerItem(Mobile::kMountLayer)->destroy();
    EXPECT_TRUE(isMobileSitting(*mobile));
    mobile->graphic = fixture::kSampleHorseBody;
    EXPECT_FALSE(isMobileSitting(*mobile)) << "not a human body";
}

TEST_F(SittingTest, TheChairMustBeWithinOneStep)
{
    chair(2894, 2);
    Mobile* mobile = sitter(4, 0);
    ASSERT_TRUE(mobile);
    EXPECT_FALSE(isMobileSitting(*mobile));
    mobile->z = 1;
    EXPECT_TRUE(isMobileSitting(*mobile));
}

TEST_F(SittingTest, OnlyThePlayerStandingStillSitsOnChair6001)
{
    chair(6001);
    Mobile* mobile = sitter(4);
    ASSERT_TRUE(mobile);
    EXPECT_FALSE(isMobileSitting(*mobile));
    mobile->destroy();
    PlayerMobile* self = player();
    self->x = int16_t(kChairX);
    self->y = int16_t(kChairY);
    self->place();
    self->standing = true;
    EXPECT_TRUE(isMobileSitting(*self));
    self->standing = false;
    EXPECT_FALSE(isMobileSitting(*self));
    self->standing = true;
    self->stepsQueued = true;
    EXPECT_FALSE(isMobileSitting(*self)) << "in the middle of a step";
    self->stepsQueued = false;
}

// Of two chairs in the cell the first is remembered, also when the mobile
// sits on the second: its facings turn the figure.
TEST_F(SittingTest, TheFirstChairOfTheCellIsTheOneRemembered)
{
    StaticObject* first = chair(6001);
    StaticObject* second = chair(2894);
    ASSERT_EQ(first->cellNext(), second) << "the cell's order";
    Mobile* mobile = sitter(4);
    ASSERT_TRUE(mobile);
    EXPECT_TRUE(isMobileSitting(*mobile)) << "chair 6001 is the player's; the other takes the mobile";
    EXPECT_EQ(sittingCanvas().chair, findChair(6001));
    int32_t facing = 4;
    adjustSittingFacing(facing);
    EXPECT_EQ(facing, 4);
}

TEST_F(SittingTest, ThePoseIsActionTwentyFiveFacingZeroOrSixElseFour)
{
    struct Case {
        int32_t body;
        int32_t facing;
        int32_t record;
    };
    for (Case c : { Case { 400, 0, 35128 }, { 400, 6, 35128 }, { 400, 2, 35021 }, { 400, 4, 35021 },
             { 400, 3, 35020 }, { 402, 6, 35128 }, { 401, 7, 35000 + 175 + 24 } }) {
        int32_t record = 0;
        int32_t frame = -1;
        sittingAnimationIndex(c.body, c.facing, record, frame);
        EXPECT_EQ(record, c.record) << c.body << " facing " << c.facing;
        EXPECT_EQ(frame, 0);
    }
}

// The remapping tables worked out again from their description.
int32_t expectedSource(int32_t pair, int32_t row, int32_t column)
{
    auto index = [](int32_t sourceRow, int32_t sourceColumn) {
        if (sourceRow < 0)
            return 0;
        return std::min(sourceRow, 127) * 64 + std::clamp(sourceColumn, 0, 63);
    };
    if (pair == 0)
        return index(row - 26, column - 3);
    if (pair == 3)
        return index(row - 26, column + 3);
    int32_t sign = pair == 1 ? -1 : 1;
    if (row <= 55)
        return index(row - 12, column);
    if (row <= 71) {
        int32_t t = row - 56;
        return index(44 + t + t / 4, column + sign * (t / 2));
    }
    return index(row - 8, column + sign * 8);
}

TEST_F(SittingTest, RemappingTablesFollowTheirFormula)
{
    const SittingCanvas& canvas = sittingCanvas();
    for (int32_t facing = 0; facing < 8; ++facing)
        for (int32_t row = 0; row < SittingCanvas::kHeight; ++row)
            for (int32_t column = 0; column < SittingCanvas::kWidth; ++column)
                ASSERT_EQ(canvas.sourceIndex(facing, row, column), expectedSource(facing / 2, row, column))
                    << "facing " << facing << " at " << column << ", " << row;
}

TEST_F(SittingTest, GoldenSeatedFigures)
{
    TestCanvas canvas(240, 130);
    struct Seat {
        uint16_t graphic;
        uint8_t facing;
        int32_t x;
    };
    for (Seat seat : { Seat { 2894, 4, 40 }, Seat { 4634, 7, 120 }, Seat { 2911, 6, 200 } }) {
        StaticObject* seatObject = chair(seat.graphic);
        Mobile* mobile = sitter(seat.facing);
        ASSERT_TRUE(mobile);
        dress(*mobile);
        ASSERT_TRUE(isMobileSitting(*mobile));
        showAnchorAt(*mobile, seat.x, 95);
        mobile->draw(canvas.target(), canvas.whole());
        mobile->destroy();
        seatObject->leaveWorld();
        seatObject->destroy();
    }
    canvas.save("seated_figures.png");
    EXPECT_EQ(canvas.hash(), 8471490229187597161ull) << "the picture changed (see pictures/seated_figures.png)";
}

TEST_F(SittingTest, TheChairIsDrawnAgainUpToItsMiddlePlusTheOverlap)
{
    StaticObject* seat = chair(4634);
    Mobile* mobile = sitter(0);
    ASSERT_TRUE(mobile);
    ASSERT_TRUE(isMobileSitting(*mobile));
    TestCanvas canvas(120, 160);
    showAnchorAt(*mobile, 60, 110);
    mobile->draw(canvas.target(), canvas.whole());
    int32_t limit = seat->screenRect.right - seat->screenRect.width() / 2 + 3 - worldScreen().viewPixelX;
    int32_t chairPixels = 0;
    for (int32_t y = 0; y < canvas.height; ++y) {
        for (int32_t x = 0; x < canvas.width; ++x) {
            if (canvas.at(x, y) != kChairColour)
                continue;
            ++chairPixels;
            EXPECT_LT(x, limit) << "at " << x << ", " << y;
        }
    }
    EXPECT_GT(chairPixels, 0);
    // Facing 6 on chair 4635: the left edge moves instead.
    mobile->destroy();
    seat->leaveWorld();
    seat->destroy();
    seat = chair(4635);
    mobile = sitter(6);
    ASSERT_TRUE(mobile);
    TestCanvas other(120, 160);
    showAnchorAt(*mobile, 60, 110);
    mobile->draw(other.target(), other.whole());
    limit = seat->screenRect.left + seat->screenRect.width() / 2 - 3 - worldScreen().viewPixelX;
    chairPixels = 0;
    for (int32_t y = 0; y < other.height; ++y) {
        for (int32_t x = 0; x < other.width; ++x) {
            if (other.at(x, y) == kChairColour) {
                ++chairPixels;
                EXPECT_GE(x, limit);
            }
        }
    }
    EXPECT_GT(chairPixels, 0);
}

// Every pixel the seated figure draws lies inside its rectangle, on every
// chair shift; a pick outside the canvas is 0, on the figure it is not.
TEST_F(SittingTest, BoundsHoldThePictureAndPicksFollowIt)
{
    for (uint16_t graphic : { 2894, 2911, 2864, 2603, 10843 }) {
        for (uint8_t facing : { 0, 2, 4, 6 }) {
            StaticObject* seat = chair(graphic);
            Mobile* mobile = sitter(facing);
            ASSERT_TRUE(mobile);
            dress(*mobile);
            ASSERT_TRUE(isMobileSitting(*mobile));
            EXPECT_EQ(mobile->cellReach(), 0);
            TestCanvas canvas(200, 240);
            showAnchorAt(*mobile, 100, 160);
            mobile->draw(canvas.target(), canvas.whole());
            TestCanvas empty(200, 240);
            ScreenRect rect = mobile->screenRect;
            int32_t hits = 0;
            for (int32_t y = 0; y < canvas.height; ++y) {
                for (int32_t x = 0; x < canvas.width; ++x) {
                    if (canvas.at(x, y) == empty.at(x, y))
                        continue;
                    int32_t worldX = x + worldScreen().viewPixelX;
                    int32_t worldY = y + worldScreen().viewPixelY;
                    ASSERT_TRUE(rect.contains(worldX, worldY))
                        << "chair " << graphic << " facing " << int(facing) << " pixel " << x << ", " << y;
                    if (sittingPixelAt(*mobile, worldX, worldY) != 0 && mobile->hitTest(worldX, worldY))
                        ++hits;
                }
            }
            EXPECT_GT(hits, 100) << "chair " << graphic;
            int32_t anchorX = 0;
            int32_t anchorY = 0;
            mobile->anchorPoint(anchorX, anchorY);
            EXPECT_EQ(sittingPixelAt(*mobile, anchorX - 33, anchorY - 40), 0) << "left of the canvas";
            EXPECT_EQ(sittingPixelAt(*mobile, anchorX, anchorY + 200), 0) << "below the canvas";
            EXPECT_FALSE(mobile->hitTest(anchorX + 40, anchorY - 40));
            mobile->destroy();
            seat->leaveWorld();
            seat->destroy();
        }
    }
}

// The remapping pushes the lowest rows of a pose 26 rows down, and the
// chair's shift adds up to 14 more: the rectangle follows the shift.
TEST_F(SittingTest, APoseReachingTheAnchorStaysInsideItsRectangleOnAHighShift)
{
    chair(2911);
    Mobile* mobile = sitter(6);
    ASSERT_TRUE(mobile);
    mobile->graphic = kLowPoseBody;
    mobile->place();
    ASSERT_TRUE(isMobileSitting(*mobile));
    TestCanvas canvas(120, 200);
    showAnchorAt(*mobile, 60, 120);
    mobile->draw(canvas.target(), canvas.whole());
    int32_t lowest = -1;
    TestCanvas empty(120, 200);
    for (int32_t y = 0; y < canvas.height; ++y)
        for (int32_t x = 0; x < canvas.width; ++x)
            if (canvas.at(x, y) != empty.at(x, y))
                lowest = y;
    EXPECT_EQ(lowest, 120 + 14 + 25) << "26 rows down from the anchor's row above, then the shift of 14";
    EXPECT_GT(mobile->screenRect.bottom - worldScreen().viewPixelY, lowest);
}

// A hidden figure shows only to body 987; one whose draw flag is clear shows
// to nobody.
TEST_F(SittingTest, AHiddenFigureShowsOnlyToBody987)
{
    chair(2894);
    Mobile* mobile = sitter(2);
    ASSERT_TRUE(mobile);
    setObjectFlags(*mobile, kObjectHidden);
    mobile->place();
    TestCanvas canvas(120, 160);
    showAnchorAt(*mobile, 60, 110);
    mobile->draw(canvas.target(), canvas.whole());
    EXPECT_EQ(canvas.pixels, TestCanvas(120, 160).pixels);
    EXPECT_TRUE(mobile->screenRect.isEmpty());
    player()->graphic = 987;
    mobile->place();
    mobile->draw(canvas.target(), canvas.whole());
    int32_t grey = 0;
    for (uint16_t pixel : canvas.pixels)
        grey += (pixel & 0x7C1F) == (testHueColour(994, 0) & 0x7C1F) ? 1 : 0;
    EXPECT_GT(grey, 100) << "drawn in hue 995";
    mobile->placeable = 0;
    TestCanvas undrawn(120, 160);
    mobile->draw(undrawn.target(), undrawn.whole());
    EXPECT_EQ(undrawn.pixels, TestCanvas(120, 160).pixels) << "the draw flag is clear";
    mobile->placeable = 1;
}

} // namespace
} // namespace test
