// The body animation lookup as one table: a body, its type and flags, the
// mobile's state and a facing give a record number, a frame and a file set.
// The record numbers are worked out by hand from the three layouts.
#include "animation_fixture.h"
#include "world_fixture.h"

#include "fixtures/body_table_writer.h"
#include "world/body_animation.h"

#include <string>
#include <vector>

namespace test {
namespace {

constexpr uint16_t kTwoHandedGraphic = 0x1400;
constexpr uint16_t kArmedGraphic = 0x1401;
constexpr uint16_t kUnarmedGraphic = 0x1402;

const char* const kMobTypes = "400 HUMAN 0\n"
                              "50 MONSTER 0\n"
                              "51 MONSTER 4\n"
                              "52 MONSTER 8\n"
                              "53 MONSTER 400\n"
                              "54 MONSTER 40\n"
                              "55 MONSTER 80\n"
                              "56 MONSTER 200\n"
                              "57 MONSTER 20\n"
                              "58 MONSTER 0\n"
                              "60 MONSTER 0\n"
                              "200 ANIMAL 0\n"
                              "201 ANIMAL 20\n"
                              "150 SEA_MONSTER 0\n"
                              "300 MONSTER 0\n";

enum Wear : uint8_t {
    kNothing = 0,
    kMount = 1,
    kTwoHanded = 2,
    kArmed = 4,
    kUnarmed = 8,
};

struct LookupCase {
    const char* name;
    int32_t body;
    int32_t facing;
    bool still;
    bool running;
    bool war;
    bool dead;
    uint8_t wear;
    int32_t stepCounter;
    int32_t serverFrame;
    int32_t action;
    int32_t repetition;
    // Expected:
    int32_t record;
    int32_t frame;
    int32_t fileBody;
    uint8_t set;
};

// name, body, facing, still, running, war, dead, wear, counter, server frame, action, repetition ->
// record, frame, file body, set
const LookupCase kLookupCases[] = {
    { "BodyZero", 0, 4, false, false, false, false, kNothing, 5, -1, 0, 0, 0, 0, 0, 0 },
    { "HumanStandsInPeace", 400, 4, true, false, false, false, kNothing, 7, -1, 0, 0, 35021, 0, 400, 0 },
    { "HumanWalks", 400, 4, false, false, false, false, kNothing, 12, -1, 0, 0, 35001, 3, 400, 0 },
    { "HumanRuns", 400, 4, false, true, false, false, kNothing, 20, -1, 0, 0, 35011, 2, 400, 0 },
    { "HumanRunsArmed", 400, 4, false, true, false, false, kArmed, 20, -1, 0, 0, 35016, 2, 400, 0 },
    { "HumanRunsHoldingAnUnarmedItem", 400, 4, false, true, false, false, kUnarmed, 20, -1, 0, 0, 35011, 2, 400,
        0 },
    { "HumanWalksArmed", 400, 4, false, false, false, false, kArmed, 12, -1, 0, 0, 35006, 3, 400, 0 },
    { "HumanStandsInWar", 400, 4, true, false, true, false, kNothing, 7, -1, 0, 0, 35036, 0, 400, 0 },
    { "HumanStandsInWarTwoHanded", 400, 4, true, false, true, false, kTwoHanded, 7, -1, 0, 0, 35041, 0, 400, 0 },
    { "HumanWalksInWar", 400, 4, false, false, true, false, kNothing, 12, -1, 0, 0, 35076, 3, 400, 0 },
    { "DeadHumanInWarStands", 400, 4, true, false, true, true, kNothing, 7, -1, 0, 0, 35021, 0, 400, 0 },
    { "MountedHumanStands", 400, 4, true, false, false, false, kMount, 7, -1, 0, 0, 35126, 0, 400, 0 },
    { "MountedHumanWalksFramesZeroToThree", 400, 4, false, false, false, false, kMount, 6, -1, 0, 0, 35116, 2, 400,
        0 },
    { "MountedHumanRuns", 400, 4, false, true, false, false, kMount, 7, -1, 0, 0, 35121, 3, 400, 0 },
    { "FacingThree", 400, 3, false, false, false, false, kNothing, 0, -1, 0, 0, 35000, 0, 400, 0 },
    { "FacingFive", 400, 5, false, false, false, false, kNothing, 0, -1, 0, 0, 35002, 0, 400, 0 },
    { "FacingOneReadsFacingFive", 400, 1, false, false, false, false, kNothing, 0, -1, 0, 0, 35002, 0, 400, 0 },
    { "FacingZeroReadsFacingSix", 400, 0, false, false, false, false, kNothing, 0, -1, 0, 0, 35003, 0, 400, 0 },
    { "FacingSeven", 400, 7, false, false, false, false, kNothing, 0, -1, 0, 0, 35004, 0, 400, 0 },
    { "ServerActionFortyOnAHuman", 400, 4, false, false, false, false, kNothing, 0, 3, 40, 0, 35001, 0, 400, 0 },
    { "ServerActionWithARepetition", 400, 4, false, false, false, false, kNothing, 0, 2, 5, 1, 35031, 2, 400, 0 },
    { "MonsterDrawnAsHumanPlaysActionTwoAsTwentyOne", 50, 4, false, false, false, false, kNothing, 0, 1, 2, 0, 35106,
        1, 400, 0 },
    { "MonsterDrawnAsHumanWalksAsAHuman", 50, 4, false, false, false, false, kNothing, 12, -1, 0, 0, 35001, 3, 400,
        0 },
    { "MonsterDrawnAsAnimalConvertsActionOne", 60, 4, false, false, false, false, kNothing, 0, 0, 1, 0, 22011, 0, 200,
        0 },
    { "AnimalStands", 200, 4, true, false, false, false, kNothing, 6, -1, 0, 0, 22011, 0, 200, 0 },
    { "AnimalWalks", 200, 4, false, false, false, false, kNothing, 6, -1, 0, 0, 22001, 2, 200, 0 },
    { "AnimalRuns", 200, 4, false, true, false, false, kNothing, 6, -1, 0, 0, 22006, 2, 200, 0 },
    { "AnimalWithFlag20WalksLikeAMonster", 201, 4, false, false, false, false, kNothing, 12, -1, 0, 0, 22111, 3, 201,
        0 },
    { "SeaMonsterStands", 150, 4, true, false, false, false, kNothing, 12, -1, 0, 0, 16511, 0, 150, 0 },
    { "SeaMonsterRuns", 150, 4, false, true, false, false, kNothing, 12, -1, 0, 0, 16506, 3, 150, 0 },
    { "MonsterStands", 57, 4, true, false, false, false, kNothing, 12, -1, 0, 0, 6276, 0, 57, 0 },
    { "MonsterWithFlag4StandsInActionEight", 51, 4, true, false, false, false, kNothing, 7, -1, 0, 0, 5651, 2, 51, 0 },
    { "MonsterWithFlag8RunsInAction19", 52, 4, false, true, false, false, kNothing, 12, -1, 0, 0, 5816, 3, 52, 0 },
    { "MonsterWithFlag400UsesTheLongLayout", 53, 4, false, false, false, false, kNothing, 12, -1, 0, 0, -25724, 3, 53,
        0 },
    { "MonsterWithFlag40UsesTheShortLayout", 54, 4, true, false, false, false, kNothing, 12, -1, 0, 0, 12521, 0, 54,
        0 },
    { "ActionTwelveOnAMonsterIsFour", 58, 4, false, false, false, false, kNothing, 0, 0, 12, 0, 6401, 0, 58, 0 },
    { "ActionTwelveOnAnAnimalIsFive", 200, 4, false, false, false, false, kNothing, 0, 0, 12, 0, 22026, 0, 200, 0 },
    { "MonsterActionRemappedByItsTable", 58, 4, false, false, false, false, kNothing, 0, 0, 6, 0, 6416, 0, 58, 0 },
    { "MonsterActionAbove21IsOne", 58, 4, false, false, false, false, kNothing, 0, 0, 25, 0, 6386, 0, 58, 0 },
    { "Flag80TurnsFourIntoFive", 55, 4, false, false, false, false, kNothing, 0, 0, 4, 0, 6076, 0, 55, 0 },
    { "Flag200TurnsTenIntoFour", 56, 4, false, false, false, false, kNothing, 0, 0, 10, 0, 6181, 0, 56, 0 },
    { "Flag20TurnsOneInto19", 57, 4, false, false, false, false, kNothing, 0, 0, 1, 0, 6366, 0, 57, 0 },
    { "Flag40TakesTheAnimalColumn", 54, 4, false, false, false, false, kNothing, 0, 0, 3, 0, 12571, 0, 54, 0 },
    { "EnabledSetWithItsOwnBody", 300, 4, false, false, false, false, kNothing, 0, -1, 0, 0, 8471, 0, 77, 2 },
    { "BodyAbove2047NeverConverts", 2100, 4, false, false, false, false, kNothing, 0, -1, 0, 0, 332501, 0, 2100, 0 },
};

class BodyAnimationLookup : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        defTableWorld().setAnimSetRule([](int set) { return set == 2 || set == 3; });
        bodyConversions().load(fixture::bodyConvText({ { 300, { -1, 77, -1, -1 } }, { 2100, { -1, -1, 5, -1 } },
            { 60, { 9, -1, -1, -1 } } }));
        installed = std::make_unique<InstalledAnimations>(fixture::AnimationFileWriter {}, kMobTypes,
            std::map<std::string, std::string> { { "body.def", "50 {400} 0\n60 {200} 0\n" },
                { "corpse.def", "70 {400} 0\n" }, { "anim3.def", "6 {7} 0\n" } });
        setTileRecord(kTwoHandedGraphic, tile(611));
        setTileRecord(kArmedGraphic, tile(600));
        setTileRecord(kUnarmedGraphic, tile(576));
    }
    void TearDown() override
    {
        installed.reset();
        bodyConversions() = BodyConversionTable();
        defTableWorld().setAnimSetRule({});
        WorldTest::TearDown();
    }
    static TileDataItem tile(int32_t animation)
    {
        TileDataItem item;
        item.animationId = uint16_t(animation);
        return item;
    }

    std::unique_ptr<InstalledAnimations> installed;
};

class BodyAnimationTable : public BodyAnimationLookup, public testing::WithParamInterface<LookupCase> { };

TEST_P(BodyAnimationTable, GivesTheRecordFrameAndSet)
{
    const LookupCase& c = GetParam();
    Mobile* mobile = addMobile(0x200, 1001, 1001);
    ASSERT_TRUE(mobile);
    mobile->warMode = c.war ? 1 : 0;
    mobile->deadFlag = c.dead ? 1 : 0;
    uint32_t serial = 0x40000300;
    auto wear = [&](uint16_t graphic, int32_t layer) {
        ASSERT_TRUE(equipItemOnMobile(mobile->serial, serial++, graphic, layer, 0));
    };
    if (c.wear & kMount)
        wear(16016, Mobile::kMountLayer);
    if (c.wear & kTwoHanded)
        wear(kTwoHandedGraphic, Mobile::kHandLayerOne);
    if (c.wear & kArmed)
        wear(kArmedGraphic, Mobile::kHandLayerTwo);
    if (c.wear & kUnarmed)
        wear(kUnarmedGraphic, Mobile::kHandLayerTwo);

    AnimationState state;
    state.directionByte = uint8_t(c.facing);
    state.stepCounter = c.stepCounter;
    state.serverFrame = c.serverFrame;
    state.action = c.action;
    state.repetition = c.repetition;
    state.running = c.running;
    state.standingStill = c.still;
    setAnimationFileSet(4);
    int32_t record = -1;
    int32_t frame = -1;
    int32_t fileBody = resolveMobileAnimation(c.body, state, mobile, record, frame);
    EXPECT_EQ(record, c.record);
    EXPECT_EQ(frame, c.frame);
    EXPECT_EQ(fileBody, c.fileBody);
    EXPECT_EQ(dataFiles().animationFileSet(), c.set);
}

INSTANTIATE_TEST_SUITE_P(Lookup, BodyAnimationTable, testing::ValuesIn(kLookupCases),
    [](const testing::TestParamInfo<LookupCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(BodyAnimationLookup, MirroredFacingsAreZeroToTwo)
{
    for (int32_t facing = 0; facing < 8; ++facing)
        EXPECT_EQ(storedFacing(facing).mirrored, facing <= 2) << facing;
    EXPECT_EQ(storedFacing(1).direction, storedFacing(5).direction);
    EXPECT_EQ(storedFacing(0).direction, storedFacing(6).direction);
    EXPECT_EQ(storedFacing(2).direction, storedFacing(4).direction);
}

TEST_F(BodyAnimationLookup, AConvertedServerActionIsHandedOnButNotConvertedTwice)
{
    Mobile* mobile = addMobile(0x201, 1001, 1001, 50);
    ASSERT_TRUE(mobile);
    mobile->direction = 4;
    mobile->action = 2;
    mobile->animationRunning = 1;
    mobile->frame = 1;
    for (int round = 0; round < 3; ++round) {
        AnimationState state = animationStateOf(*mobile);
        int32_t record = 0;
        int32_t frame = 0;
        resolveMobileAnimation(mobile->graphic, state, mobile, record, frame);
        EXPECT_EQ(state.action, 21) << "the mount and the equipment follow the converted action";
        EXPECT_EQ(record, 35106) << "round " << round;
        EXPECT_EQ(mobile->action, 2) << "the mobile keeps the server's action";
    }
}

TEST_F(BodyAnimationLookup, TheStateActionIsHandedOn)
{
    AnimationState state;
    state.standingStill = true;
    state.action = 17;
    int32_t record = 0;
    int32_t frame = 0;
    resolveMobileAnimation(400, state, nullptr, record, frame);
    EXPECT_EQ(state.action, 4);
}

struct CorpseCase {
    const char* name;
    int32_t body;
    uint8_t directionByte;
    int32_t record;
    int32_t frame;
};

const CorpseCase kCorpseCases[] = {
    { "MonsterFellForwards", 58, 4, 6391, 3 },
    { "MonsterFellBackwards", 58, 0x84, 6396, 3 },
    { "HumanFellForwards", 400, 4, 35106, 5 },
    { "HumanFellBackwards", 400, 0x84, 35111, 5 },
    { "Animal", 200, 4, 22041, 5 },
    { "AnimalFellBackwards", 200, 0x84, 22061, 5 },
    { "SeaMonster", 150, 0x84, 16541, 5 },
    { "MonsterWithFlag40", 54, 4, 12551, 5 },
    { "RemappedByTheCorpseTable", 70, 3, 35105, 5 },
};

class CorpseAnimationTable : public BodyAnimationLookup, public testing::WithParamInterface<CorpseCase> { };

TEST_P(CorpseAnimationTable, GivesTheDeathFrame)
{
    const CorpseCase& c = GetParam();
    int32_t record = 0;
    int32_t frame = 0;
    resolveCorpseAnimation(c.body, c.directionByte, record, frame);
    EXPECT_EQ(record, c.record);
    EXPECT_EQ(frame, c.frame);
}

INSTANTIATE_TEST_SUITE_P(Lookup, CorpseAnimationTable, testing::ValuesIn(kCorpseCases),
    [](const testing::TestParamInfo<CorpseCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(BodyAnimationLookup, NotorietyHues)
{
    Mobile* mobile = addMobile(0x202, 1001, 1001);
    ASSERT_TRUE(mobile);
    const std::vector<uint16_t> expected { 0, 89, 63, 946, 946, 144, 34, 53, 1, 0, 0 };
    for (int32_t notoriety = 0; notoriety < int32_t(expected.size()); ++notoriety) {
        mobile->notoriety = notoriety;
        EXPECT_EQ(getNotorietyHue(mobile), expected[size_t(notoriety)]) << notoriety;
    }
    mobile->notoriety = 103;
    EXPECT_EQ(getNotorietyHue(mobile), 946) << "counted modulo 100";
    EXPECT_EQ(getNotorietyHue(nullptr), 0);
}

TEST_F(BodyAnimationLookup, TheLoaderRefusesNegativeRecordsAndTellsTheFrameCount)
{
    fixture::AnimationFileWriter animations;
    animations.setRecord(35001, blockRecord(7, 10, 10));
    InstalledAnimations withFrames(animations, kMobTypes);
    AnimationState state;
    state.directionByte = 4;
    uint16_t count = 0;
    EXPECT_TRUE(getAnimationFrame(400, state, nullptr, &count)) << "facing 4 walking, frame 0";
    EXPECT_EQ(count, 7);
    state.stepCounter = 8;
    count = 0;
    EXPECT_FALSE(getAnimationFrame(400, state, nullptr, &count)) << "frame 8 of 7";
    EXPECT_EQ(count, 7) << "the count comes from the record all the same";
    setAnimationFileSet(3);
    EXPECT_FALSE(getAnimationFrame(53, state, nullptr)) << "a negative record number";
    EXPECT_EQ(dataFiles().animationFileSet(), 0) << "no set is left over for the next lookup";
}

} // namespace
} // namespace test
