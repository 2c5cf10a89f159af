#include "animation_fixture.h"
#include "world_fixture.h"

#include "world/dying_links.h"

#include <string>

namespace test {
namespace {

constexpr uint32_t kTestMobileSerial = 0x00000070;

class MobileTest : public WorldTest {
protected:
    Mobile* standing(int32_t x, int32_t y)
    {
        Mobile* mobile = addMobile(kTestMobileSerial, x, y);
        mobile->clearSteps();
        return mobile;
    }
};

TEST_F(MobileTest, WalkKeysComeOutInSlotOrder)
{
    PlayerMobile& self = *player();
    self.setWalkKey(7, 2);
    self.setWalkKey(9, 0);
    self.setWalkKey(5, 5);
    self.setWalkKey(6, -1);
    EXPECT_EQ(self.takeWalkKey(), 9u);
    EXPECT_EQ(self.takeWalkKey(), 7u);
    EXPECT_EQ(self.takeWalkKey(), 0u) << "slots outside 0..4 were ignored";
    for (uint32_t key = 1; key <= 5; ++key)
        EXPECT_EQ(self.addWalkKey(key), int32_t(key - 1));
    EXPECT_EQ(self.addWalkKey(6), PlayerMobile::kWalkKeyCount) << "all full";
}

TEST_F(MobileTest, AOneCellStepIsShownOverItsFramesFromTheOldCell)
{
    Mobile* mobile = standing(1001, 1001);
    int32_t frames = walkFramesForBody(kHumanBody);
    ASSERT_GT(frames, 1);
    onObjectPacket(kTestMobileSerial, kHumanBody, 0, 1, 1002, 1001, 0, 2, 0, 0);
    ASSERT_EQ(mobile->stepCount(), 1);
    mobileFrameStep(*mobile);
    EXPECT_EQ(mobile->x, 1002);
    EXPECT_EQ(mobile->previousX, 1001);
    EXPECT_EQ(mobile->stepCountdown, frames - 1);
    // East (direction 2): the picture starts toward the west of its new cell.
    EXPECT_EQ(mobile->offsetX, 22 * (frames - 1) / frames);
    EXPECT_EQ(mobile->offsetY, 22 * (frames - 1) / frames);
    int32_t previousOffset = mobile->offsetX;
    for (int32_t frame = frames - 1; frame > 0; --frame) {
        mobileFrameStep(*mobile);
        EXPECT_LE(mobile->offsetX, previousOffset);
        previousOffset = mobile->offsetX;
    }
    EXPECT_EQ(mobile->stepCountdown, 0);
    EXPECT_EQ(mobile->offsetX, 0);
    EXPECT_EQ(mobile->offsetY, 0);
    EXPECT_TRUE(mobile->isPlaced());
    EXPECT_EQ(mobile->linkedCellIndex(), WorldCellGrid::cellIndex(1002, 1001));
}

TEST_F(MobileTest, ARunningStepTakesTheRunFrames)
{
    Mobile* mobile = standing(1001, 1001);
    onObjectPacket(kTestMobileSerial, kHumanBody, 0, 1, 1001, 1000, 0, 0x80 | 0, 0, 0);
    mobileFrameStep(*mobile);
    EXPECT_EQ(mobile->running, 1);
    EXPECT_EQ(mobile->stepCountdown, std::max(runFramesForBody(kHumanBody) - 1, 0));
}

TEST_F(MobileTest, ATwoCellMoveIsAJump)
{
    Mobile* mobile = standing(1001, 1001);
    onObjectPacket(kTestMobileSerial, kHumanBody, 0, 1, 1003, 1003, 0, 3, 0, 0);
    mobileFrameStep(*mobile);
    EXPECT_EQ(mobile->x, 1003);
    EXPECT_EQ(mobile->y, 1003);
    EXPECT_EQ(mobile->stepCountdown, 0);
    EXPECT_EQ(mobile->offsetX, 0);
    EXPECT_EQ(mobile->linkedCellIndex(), WorldCellGrid::cellIndex(1003, 1003));
}

TEST_F(MobileTest, AMobileGoesIdleAfterTwoSecondsWithoutMoves)
{
    Mobile* mobile = standing(1001, 1001);
    clock.advance(1500);
    onObjectPacket(kTestMobileSerial, kHumanBody, 0, 1, 1001, 1001, 0, 0, 0, 0);
    clock.advance(1500);
    mobileFrameStep(*mobile);
    EXPECT_EQ(mobile->idle, 0) << "the move refreshed the time";
    clock.advance(501);
    mobileFrameStep(*mobile);
    EXPECT_EQ(mobile->idle, 1);
    EXPECT_EQ(mobile->frameCounter, 3);
    EXPECT_TRUE(mobile->isPlaced());
    onObjectPacket(kTestMobileSerial, kHumanBody, 0, 1, 1002, 1001, 0, 2, 0, 0);
    EXPECT_EQ(mobile->idle, 0) << "a move ends it";
}

TEST_F(MobileTest, SomeBodiesStandIdleAtOnce)
{
    addMobile(kTestMobileSerial, 1001, 1001, 80);
    Mobile* mobile = static_cast<Mobile*>(findItemBySerial(kTestMobileSerial));
    mobile->clearSteps();
    mobileFrameStep(*mobile);
    EXPECT_EQ(mobile->idle, 1);
}

TEST_F(MobileTest, HandsBusyFollowsTheHandLayers)
{
    Mobile* mobile = standing(1001, 1001);
    ASSERT_TRUE(equipItemOnMobile(kTestMobileSerial, 0x40000301, kPlainGraphic, 1, 0));
    ASSERT_TRUE(equipItemOnMobile(kTestMobileSerial, 0x40000302, kPlainGraphic, 2, 0));
    EXPECT_EQ(mobile->handsBusy, 1);
    onObjectPacket(0x40000301, kPlainGraphic, 0, 1, 1002, 1002, 0, 0, 0, 0);
    EXPECT_EQ(mobile->handsBusy, 0) << "taking one out clears it";
    EXPECT_EQ(mobile->layerItem(2), findItemBySerial(0x40000302));
}

TEST_F(MobileTest, AMountSetsTheMountedFlagAndItsLossClearsIt)
{
    Mobile* mobile = standing(1001, 1001);
    ASSERT_TRUE(equipItemOnMobile(kTestMobileSerial, 0x40000303, 16016, Mobile::kMountLayer, 0));
    EXPECT_TRUE(mobile->isMounted());
    EXPECT_TRUE(deleteObjectBySerial(0x40000303));
    EXPECT_FALSE(mobile->isMounted());
}

TEST_F(MobileTest, ADeathLinksTheCorpseAndItsEndTurnsTheCorpse)
{
    Mobile* mobile = standing(1001, 1001);
    mobile->direction = 5;
    onObjectPacket(0x40000310, Corpse::kCorpseGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    ASSERT_TRUE(mobile->die(0x40000310, false));
    EXPECT_EQ(mobile->dying, 1);
    EXPECT_EQ(mobile->animationRunning, 1);
    EXPECT_EQ(mobile->action, 22) << "a human falling backwards";
    uint32_t dying = kTestMobileSerial | kDyingSerialBit;
    EXPECT_TRUE(hasDyingLink(0x40000310, 0));
    EXPECT_EQ(findCorpseOfDying(dying), findItemBySerial(0x40000310));
    EXPECT_FALSE(mobile->die(0x40000311, true)) << "a mobile dies once";
    EXPECT_EQ(addDyingLink(0x40000310, 0x80000099, 0, 0), 0) << "one record per corpse";

    removeDyingLinks(0x40000310, dying, false);
    EXPECT_EQ(findObjectBySerial(dying), nullptr) << "the death's end destroys the mobile";
    EXPECT_EQ(findItemBySerial(0x40000310)->direction, 0x80 | 5) << "lying backwards, facing as it fell";
    EXPECT_TRUE(dyingLinks().empty());
}

TEST_F(MobileTest, DestroyingADyingMobileKeepsItsCorpseAndClearsItsLinks)
{
    Mobile* mobile = standing(1001, 1001);
    onObjectPacket(0x40000320, Corpse::kCorpseGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    ASSERT_TRUE(mobile->die(0x40000320, true));
    clearWorld();
    EXPECT_TRUE(dyingLinks().empty());
}

TEST_F(MobileTest, ThePlayerNeverDiesByTheDeathOrder)
{
    EXPECT_FALSE(player()->die(0x40000330, true));
    EXPECT_EQ(player()->serial, kPlayerSerial);
    // A dying mobile whose marked serial the server also gave the player:
    // its death's end takes the mobile, never the player.
    setPlayerSerial(kTestMobileSerial | kDyingSerialBit);
    refreshPlayerObjectSerial();
    Mobile* mobile = standing(1001, 1001);
    ASSERT_TRUE(mobile->die(0x40000331, true));
    removeDyingLinks(0x40000331, kTestMobileSerial | kDyingSerialBit, false);
    EXPECT_TRUE(player());
    EXPECT_EQ(findObjectBySerial(kTestMobileSerial | kDyingSerialBit), player());
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(MobileTest, AnActionOfAMobileInAContainerNeverPlacesIt)
{
    onObjectPacket(0x40000340, kBackpackGraphic, 0, 1, 1001, 1001, 0, 0, 0, 0);
    ASSERT_TRUE(addItemToContainer(0x00000341, kHumanBody, 0, 1, 1, 1, 0x40000340, 0));
    auto* inner = static_cast<Mobile*>(findItemBySerial(0x00000341));
    ASSERT_TRUE(inner && inner->isMobile());
    inner->playAnimation(5, 5, 0, 1, false, false);
    EXPECT_FALSE(inner->isPlaced());
    onObjectPacket(0x00000341, kHumanBody, 0, 1, 1002, 1002, 0, 2, 0, 0);
    for (int32_t frame = 0; frame < 10; ++frame)
        mobileFrameStep(*inner);
    EXPECT_FALSE(inner->isPlaced());
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(MobileTest, FlagsSetWarModeButNeverForTheDead)
{
    Mobile* mobile = standing(1001, 1001);
    struct Views : ObjectViews {
        void mobileHidden(Mobile&) override { ++hidden; }
        int32_t hidden = 0;
    } views;
    ScopedWorldService<ObjectViews> guard(views);
    setObjectFlags(*mobile, kObjectWarMode);
    EXPECT_EQ(mobile->warMode, 1);
    mobile->setDeadFlag(1);
    setObjectFlags(*mobile, kObjectWarMode | kObjectHidden);
    EXPECT_EQ(mobile->warMode, 0);
    EXPECT_EQ(views.hidden, 1);
    setObjectFlags(*mobile, kObjectHidden);
    EXPECT_EQ(views.hidden, 1) << "only on becoming hidden";
    setObjectFlags(*player(), kObjectHidden);
    EXPECT_EQ(views.hidden, 1) << "never for the player";
}

TEST_F(MobileTest, BodiesOfAThousandAndMoreStepAsBodyFifty)
{
    Mobile* mobile = standing(1001, 1001);
    mobile->graphic = 1200;
    EXPECT_EQ(mobile->stepFrames(), walkFramesForBody(50));
    EXPECT_EQ(mobile->graphic, 50);
}

// Frames of the walking human and the animal that reach below their base
// line, where the slices begin.
void addFramesReachingBelow(fixture::AnimationFileWriter& animations)
{
    for (int32_t slot = 0; slot < 15; ++slot) {
        animations.setRecord(35000 + slot, blockRecord(10, 20, 40, 12));
        animations.setRecord(22000 + slot, blockRecord(5, 40, 20, 12));
    }
}

TEST_F(MobileTest, AnimalBodiesAreSlicedAndHumansAreNot)
{
    fixture::AnimationFileWriter animations;
    addFramesReachingBelow(animations);
    InstalledAnimations installed(animations, "200 ANIMAL 0\n");
    Mobile* human = standing(1001, 1001);
    EXPECT_EQ(human->firstSlice(), nullptr);
    Mobile* animal = addMobile(0x71, 1003, 1001, kAnimalBody);
    ASSERT_TRUE(animal);
    EXPECT_NE(animal->firstSlice(), nullptr);
    // A human riding an animal mount is sliced too.
    ASSERT_TRUE(equipItemOnMobile(kTestMobileSerial, 0x40000350, 16017, Mobile::kMountLayer, 0));
    human->place();
    EXPECT_NE(human->firstSlice(), nullptr);
    EXPECT_EQ(checkWorldInvariants(), "");
}

} // namespace
} // namespace test
