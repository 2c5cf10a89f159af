// The step test over small fixture cells (one step east from the player's
// cell), the diagonal fallback, and the drawn-height tables.
#include "walking_fixture.h"

#include <functional>

namespace test {
namespace {

constexpr uint32_t kOtherMobile = 0x00000071;
constexpr uint32_t kMountSerial = 0x40000071;
constexpr uint32_t kCrateSerial = 0x40000072;
constexpr int32_t kEast = 2;

class StepRules;

struct StepCase {
    const char* name;
    std::function<void(StepRules&)> build;
    bool allowed;
    int32_t newZ;
};

class StepRules : public WalkingTest, public testing::WithParamInterface<StepCase> {
public:
    void put(uint16_t graphic, int32_t z) { placeStatic(graphic, kCentreX + 1, kCentreY, z); }
    void landAhead(int32_t z, uint16_t id = kPlainLand) { land(kCentreX + 1, kCentreY, z, id); }
    void mobileAhead() { ASSERT_NE(addMobile(kOtherMobile, kCentreX + 1, kCentreY), nullptr); }
    void tired() { player()->stamina = 5, player()->maxStamina = 10; }
    void ghost() { player()->graphic = 402; }
    void mount(uint16_t graphic)
    {
        ASSERT_TRUE(equipItemOnMobile(kPlayerSerial, kMountSerial, graphic, Mobile::kMountLayer, 0));
    }
    void crateAhead() { ASSERT_NE(dropItem(kCrateSerial, kCentreX + 1, kCentreY, kLiftableBlockTile), nullptr); }
};

TEST_P(StepRules, DecideTheStepAndItsHeight)
{
    const StepCase& row = GetParam();
    row.build(*this);
    int32_t newZ = -999;
    bool allowed = canStepTo(kCentreX + 1, kCentreY, 0, kEast, newZ);
    EXPECT_EQ(allowed, row.allowed);
    if (row.allowed) {
        EXPECT_EQ(newZ, row.newZ);
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, StepRules,
    testing::Values(StepCase { "OpenLand", [](StepRules&) { }, true, 0 },
        StepCase { "ImpassableBlock", [](StepRules& world) { world.put(kBlockTile, 0); }, false, 0 },
        StepCase { "LandTwoUpIsClimbed", [](StepRules& world) { world.landAhead(2); }, true, 2 },
        StepCase { "LandThreeUpIsTooHigh", [](StepRules& world) { world.landAhead(3); }, false, 0 },
        StepCase { "LandTwoDownIsStepped", [](StepRules& world) { world.landAhead(-2); }, true, -2 },
        StepCase { "FloorOnTheLand", [](StepRules& world) { world.put(kSurfaceTile, 0); }, true, 0 },
        StepCase { "TableIsTooHighToClimb", [](StepRules& world) { world.put(kTableTile, 0); }, false, 0 },
        StepCase { "StairIsClimbedToItsMiddle", [](StepRules& world) { world.put(kStairTile, 0); }, true, 5 },
        StepCase { "GapOf15UnderABeam", [](StepRules& world) { world.put(kFloatingTile, 15); }, false, 0 },
        StepCase { "GapOf16UnderABeam", [](StepRules& world) { world.put(kFloatingTile, 16); }, true, 0 },
        StepCase { "ATiredPlayerMeetsAMobile",
            [](StepRules& world) {
                world.tired();
                world.mobileAhead();
            },
            false, 0 },
        StepCase { "ARestedPlayerWalksThroughAMobile", [](StepRules& world) { world.mobileAhead(); }, true, 0 },
        StepCase { "MobilesNeverBlockOffTheFirstFacet",
            [](StepRules& world) {
                world.tired();
                world.mobileAhead();
                mapView().currentFacet = 1;
            },
            true, 0 },
        StepCase { "ADeadMobileNeverBlocks",
            [](StepRules& world) {
                world.tired();
                world.mobileAhead();
                static_cast<Mobile*>(findItemBySerial(kOtherMobile))->deadFlag = 1;
            },
            true, 0 },
        StepCase { "AMobileWithTheNeverBlockFlag",
            [](StepRules& world) {
                world.tired();
                world.mobileAhead();
                findItemBySerial(kOtherMobile)->flags = 0x10;
            },
            true, 0 },
        StepCase { "TheLivingStopAtADoor", [](StepRules& world) { world.put(kGhostDoorTile, 0); }, false, 0 },
        StepCase { "AGhostWalksThroughADoor",
            [](StepRules& world) {
                world.ghost();
                world.put(kGhostDoorTile, 0);
            },
            true, 0 },
        StepCase { "AGhostIsNotHeldByMobiles",
            [](StepRules& world) {
                world.ghost();
                world.tired();
                world.mobileAhead();
            },
            true, 0 },
        StepCase { "ASpiritBodyWalksAsTheDead",
            [](StepRules& world) {
                player()->graphic = 987;
                world.put(kGhostDoorTile, 0);
            },
            true, 0 },
        StepCase { "AGhostWalksThroughALiftableCrate",
            [](StepRules& world) {
                world.ghost();
                world.crateAhead();
            },
            true, 0 },
        StepCase { "TheLivingStopAtALiftableCrate", [](StepRules& world) { world.crateAhead(); }, false, 0 },
        StepCase { "AWaterMountSwims",
            [](StepRules& world) {
                world.mount(16051);
                world.landAhead(0, kWaterLand);
            },
            true, 0 },
        StepCase { "AWaterMountStaysOffDryLand", [](StepRules& world) { world.mount(16051); }, false, 0 },
        StepCase { "OtherRidersStayOffWater",
            [](StepRules& world) {
                world.mount(16016);
                world.landAhead(0, kWaterLand);
            },
            false, 0 }),
    [](const testing::TestParamInfo<StepCase>& row) { return std::string(row.param.name); });

class Stepping : public WalkingTest { };

TEST_F(Stepping, ADiagonalPastACornerBecomesTheFreeSidesStep)
{
    // North-east (1): the cell north (0) is walled, east (2) is free.
    placeStatic(kBlockTile, kCentreX, kCentreY - 1, 0);
    int32_t direction = 1;
    int32_t newZ = 0;
    ASSERT_TRUE(tryStep(direction, newZ, true));
    EXPECT_EQ(direction, 2);

    // With east walled too the diagonal is only a turn.
    placeStatic(kBlockTile, kCentreX + 1, kCentreY, 0);
    direction = 1;
    EXPECT_TRUE(tryStep(direction, newZ, true)) << "facing north, north-east needs a turn";
    EXPECT_EQ(direction, 1);
    player()->direction = 1;
    direction = 1;
    EXPECT_FALSE(tryStep(direction, newZ, true)) << "already facing it: nothing to do";
}

TEST_F(Stepping, TheLeftSideIsTakenWhenOnlyItIsFree)
{
    // North-east with east walled: north, the side before it, is taken.
    placeStatic(kBlockTile, kCentreX + 1, kCentreY, 0);
    int32_t direction = 1;
    int32_t newZ = 0;
    ASSERT_TRUE(tryStep(direction, newZ, true));
    EXPECT_EQ(direction, 0);
}

TEST_F(Stepping, ACheckWithoutTestOnlyAsksForATurn)
{
    placeStatic(kBlockTile, kCentreX + 1, kCentreY, 0);
    int32_t direction = 2;
    int32_t newZ = 0;
    EXPECT_TRUE(tryStep(direction, newZ, false)) << "facing north: east is a turn, walls or not";
    direction = 0;
    EXPECT_FALSE(tryStep(direction, newZ, false));
}

struct SlopeRow {
    std::array<int32_t, 4> corners;
    int32_t phase;
    int32_t direction;
    int32_t expected;
};

TEST(SlopeZ, TakesTheSplitDiagonalThenTheEdgeByPhase)
{
    // |c1 - c3| >= |c0 - c2|: the base is the mean of c0 and c2.
    const SlopeRow rows[] = {
        { { 0, 10, 20, 10 }, 0, 0, 10 },
        { { 0, 10, 20, 10 }, 2, 0, 5 }, // edge north: (c0 + c1) / 2
        { { 0, 10, 20, 10 }, 1, 0, 7 }, // (10 + 5) / 2
        { { 0, 10, 20, 10 }, 2, 3, 20 }, // edge south-east: c2
        { { 0, 10, 20, 10 }, 2, 7, 0 }, // c0
        { { 0, 10, 20, 10 }, 3, 5, 10 }, // any other phase: the base
        { { 4, 0, 4, 8 }, 0, 2, 4 }, // c1, c3 differ more: (0 + 8) / 2
        { { 4, 0, 4, 8 }, 2, 6, 6 }, // (c3 + c0) / 2
        { { -3, -3, -3, -3 }, 1, 1, -3 }, // arithmetic shifts keep negatives whole
        { { -4, -9, -5, 0 }, 0, 0, -5 }, // (-9) >> 1
    };
    for (const SlopeRow& row : rows)
        EXPECT_EQ(slopeZ(row.corners, row.phase, row.direction), row.expected)
            << row.corners[0] << "," << row.corners[1] << "," << row.corners[2] << "," << row.corners[3]
            << " phase " << row.phase << " dir " << row.direction;
}

struct StairRow {
    uint32_t flags;
    int32_t phase;
    int32_t direction;
    int32_t expected;
};

TEST(StairZ, FollowsTheTableByFlagsPhaseAndDirection)
{
    // Base 10, height 8: A = 16 (phase 1), 18 (phase 2), 14 (else); L = 12,
    // 10, 14; H = 14.
    const StairRow rows[] = {
        { 0, 1, 0, 16 },
        { 0, 2, 7, 18 },
        { 0, 1, 4, 12 },
        { 0, 2, 3, 10 },
        { 0, 1, 2, 14 },
        { 0, 0, 0, 14 },
        { kTileStairSlopeB, 1, 0, 14 }, // v = 2
        { kTileStairSlopeB, 1, 2, 12 }, // v = 4
        { kTileStairSlopeB, 1, 6, 16 }, // v = 0
        { kTileStairSlopeA, 1, 2, 16 }, // v = 0
        { kTileStairSlopeA, 1, 6, 12 }, // v = 4
        { kTileStairSlopeA | kTileStairSlopeB, 1, 0, 12 },
        { kTileStairSlopeA | kTileStairSlopeB, 1, 6, 14 },
        { kTileStairSlopeA | kTileStairSlopeB, 2, 4, 18 },
    };
    for (const StairRow& row : rows)
        EXPECT_EQ(stairZ(row.flags, 10, 8, row.phase, row.direction), row.expected)
            << std::hex << row.flags << std::dec << " phase " << row.phase << " dir " << row.direction;
}

TEST_F(Stepping, AMobileOnAStairIsDrawnByTheStairRule)
{
    placeStatic(kStairTile, kCentreX + 2, kCentreY, 0);
    Mobile* mobile = addMobile(kOtherMobile, kCentreX + 2, kCentreY);
    ASSERT_NE(mobile, nullptr);
    mobile->clearSteps();
    mobile->z = 5;
    mobile->direction = 0;
    mobile->stepCountdown = 0;
    EXPECT_EQ(mobileDrawnHeight(*mobile), 5) << "standing: phase 0, the middle";
    mobile->stepCountdown = 1;
    EXPECT_EQ(mobileDrawnHeight(*mobile), 2) << "one frame before arriving: its cell seen facing back, b + t/4";
    mobile->previousX = int16_t(kCentreX + 2);
    mobile->previousY = int16_t(kCentreY + 1);
    mobile->previousZ = 0;
    mobile->stepCountdown = 3;
    EXPECT_EQ(mobileDrawnHeight(*mobile), 0) << "early in the step: the land of the cell it comes from";
}

} // namespace
} // namespace test
