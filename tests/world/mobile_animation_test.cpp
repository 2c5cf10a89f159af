// The stepping of server actions: frame traces of forward, repeated,
// ping-pong and backward actions, the pace a delay sets, the end of an
// action and the deferred removal of a dying mobile.
#include "world_fixture.h"

#include "world/dying_links.h"
#include "world/mobile_animation.h"
#include "world/recorded_sequence.h"

#include <string>
#include <vector>

namespace test {
namespace {

class MobileAnimationTest : public WorldTest {
protected:
    AnimatingMobiles list;
    ScopedWorldService<MobileAnimator> animatorGuard { list };
};

struct Shown {
    int32_t frame;
    int32_t repetition;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& shown)
{
    return out << shown.frame << "/" << shown.repetition;
}

struct AnimationStepCase {
    const char* name;
    int32_t frames;
    int32_t repeats;
    bool backward;
    bool pingPong;
    std::vector<Shown> trace;
};

const AnimationStepCase kStepCases[] = {
    { "FiveFramesOnce", 5, 1, false, false, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 4, 0 } } },
    { "ThreeFramesTwice", 3, 2, false, false, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 0, 1 }, { 1, 1 }, { 2, 1 } } },
    { "PingPong", 3, 1, false, true, { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 1, 0 }, { 0, 0 } } },
    { "Backward", 4, 1, true, false, { { 3, 0 }, { 2, 0 }, { 1, 0 }, { 0, 0 } } },
    { "BackwardTwice", 3, 2, true, false, { { 2, 1 }, { 1, 1 }, { 0, 1 }, { 2, 0 }, { 1, 0 }, { 0, 0 } } },
    { "BackwardPingPong", 3, 1, true, true, { { 2, 0 }, { 1, 0 }, { 0, 0 }, { 1, 0 }, { 2, 0 } } },
    // A count of 0 plays the action once instead of for ever.
    { "RepeatCountZero", 3, 0, false, false, { { 0, 0 }, { 1, 0 }, { 2, 0 } } },
    { "RepeatCountZeroBackward", 2, 0, true, false, { { 1, 0 }, { 0, 0 } } },
};

class StepTraces : public MobileAnimationTest, public testing::WithParamInterface<AnimationStepCase> { };

TEST_P(StepTraces, ShowEveryFrameThenStop)
{
    const AnimationStepCase& c = GetParam();
    Mobile* mobile = addMobile(0x100, kCentreX + 1, kCentreY + 1);
    ASSERT_TRUE(mobile);
    mobile->playAnimation(9, c.frames, 0, c.repeats, c.backward, c.pingPong);
    ASSERT_TRUE(list.contains(*mobile));
    std::vector<Shown> trace { { mobile->frame, mobile->repetition } };
    // Delay 0: a step every second call.
    for (int32_t call = 0; call < 100 && mobile->animationRunning; ++call) {
        list.stepEffects();
        Shown now { mobile->frame, mobile->repetition };
        if (mobile->animationRunning && !(now == trace.back()))
            trace.push_back(now);
    }
    EXPECT_EQ(trace, c.trace);
    EXPECT_FALSE(mobile->animationRunning);
    EXPECT_FALSE(list.contains(*mobile));
    EXPECT_EQ(mobile->animatingMarker, -1);
    EXPECT_TRUE(list.mobiles().empty());
}

INSTANTIATE_TEST_SUITE_P(Actions, StepTraces, testing::ValuesIn(kStepCases),
    [](const testing::TestParamInfo<AnimationStepCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(MobileAnimationTest, ADelayOfDStepsEveryDPlusTwoCalls)
{
    for (int32_t delay : { 0, 3 }) {
        Mobile* mobile = addMobile(0x100, kCentreX + 1, kCentreY + 1);
        ASSERT_TRUE(mobile);
        mobile->playAnimation(9, 30, delay, 1, false, false);
        std::vector<int32_t> stepCalls;
        for (int32_t call = 1; call <= 20; ++call) {
            int32_t before = mobile->frame;
            list.stepEffects();
            if (mobile->frame != before)
                stepCalls.push_back(call);
        }
        std::vector<int32_t> expected;
        for (int32_t call = delay + 2; call <= 20; call += delay + 2)
            expected.push_back(call);
        EXPECT_EQ(stepCalls, expected) << "delay " << delay;
        mobile->destroy();
        EXPECT_TRUE(list.mobiles().empty()) << "a destroyed mobile leaves the list";
    }
}

TEST_F(MobileAnimationTest, StoppingAMobileThatIsNotAnimatingChangesNothing)
{
    Mobile* playing = addMobile(0x100, kCentreX + 1, kCentreY + 1);
    Mobile* idle = addMobile(0x101, kCentreX + 2, kCentreY + 1);
    ASSERT_TRUE(playing && idle);
    playing->playAnimation(9, 5, 0, 1, false, false);
    EXPECT_FALSE(list.stopMobileAnimation(*idle, false));
    EXPECT_EQ(list.mobiles(), (std::vector<Mobile*> { playing }));
    playing->playAnimation(10, 5, 0, 1, false, false);
    EXPECT_EQ(list.mobiles().size(), 1u) << "registered once";
    EXPECT_FALSE(list.stopMobileAnimation(*playing, false));
    EXPECT_TRUE(list.mobiles().empty());
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(MobileAnimationTest, ADyingMobileGoesWhenItsDeathEndsAndItsCorpseTurns)
{
    Mobile* mobile = addMobile(0x100, kCentreX + 1, kCentreY + 1);
    ASSERT_TRUE(mobile);
    mobile->direction = 5;
    onObjectPacket(0x40000100, Corpse::kCorpseGraphic, 0, kHumanBody, kCentreX + 1, kCentreY + 1, 0, 0, 0, 0);
    Item* corpse = findItemBySerial(0x40000100);
    ASSERT_TRUE(corpse);
    ASSERT_TRUE(mobile->die(corpse->serial, false));
    for (int32_t call = 0; call < 40 && isValidWorldObject(mobile); ++call)
        list.stepEffects();
    EXPECT_FALSE(isValidWorldObject(mobile));
    EXPECT_EQ(corpse->direction, 0x80 | 5) << "lying backwards in the mobile's direction";
    EXPECT_TRUE(dyingLinks().empty());
    EXPECT_TRUE(list.mobiles().empty());
    EXPECT_EQ(checkWorldInvariants(), "");
}

// Its serial no longer answers the server's delete order, and no corpse link
// ends its life: it goes when its death ends all the same.
TEST_F(MobileAnimationTest, AMobileDyingWithoutACorpseGoesToo)
{
    Mobile* mobile = addMobile(0x100, kCentreX + 1, kCentreY + 1);
    ASSERT_TRUE(mobile);
    ASSERT_TRUE(mobile->die(0, true));
    for (int32_t call = 0; call < 40 && isValidWorldObject(mobile); ++call)
        list.stepEffects();
    EXPECT_FALSE(isValidWorldObject(mobile));
    EXPECT_EQ(findItemBySerial(0x100), nullptr);
}

TEST_F(MobileAnimationTest, ADyingPlayerIsNeverRemoved)
{
    PlayerMobile* self = player();
    self->dying = 1;
    self->playAnimation(21, 2, 0, 1, false, false);
    for (int32_t call = 0; call < 10; ++call)
        list.stepEffects();
    EXPECT_TRUE(isValidWorldObject(self));
    EXPECT_EQ(self->dying, 0);
    EXPECT_FALSE(self->animationRunning);
}

TEST_F(MobileAnimationTest, MobilesDestroyedByAnotherOnesDeathAreNotSteppedAgain)
{
    Mobile* rider = addMobile(0x100, kCentreX + 1, kCentreY + 1);
    Mobile* mount = addMobile(0x101, kCentreX + 2, kCentreY + 1);
    Mobile* bystander = addMobile(0x102, kCentreX + 3, kCentreY + 1);
    ASSERT_TRUE(rider && mount && bystander);
    mount->playAnimation(9, 50, 0, 1, false, false);
    ASSERT_TRUE(equipItemOnMobile(rider->serial, mount->serial, mount->graphic, Mobile::kMountLayer, 0));
    EXPECT_FALSE(mount->animationRunning) << "a mount stops its action";
    mount->playAnimation(9, 50, 0, 1, false, false);
    bystander->playAnimation(9, 50, 0, 1, false, false);
    ASSERT_TRUE(rider->die(0, true));
    // The rider's death ends with its mount; the list goes on after it.
    for (int32_t call = 0; call < 20; ++call)
        list.stepEffects();
    EXPECT_FALSE(isValidWorldObject(rider));
    EXPECT_FALSE(isValidWorldObject(mount));
    EXPECT_EQ(list.mobiles(), (std::vector<Mobile*> { bystander }));
    EXPECT_GT(bystander->frame, 5);
}

TEST_F(MobileAnimationTest, AWaitingSequenceGoesOnWhenTheActionEnds)
{
    Mobile* mobile = addMobile(0x100, kCentreX + 1, kCentreY + 1);
    ASSERT_TRUE(mobile);
    ASSERT_TRUE(startEffectRecording());
    RecordedSequence* sequence = currentRecordedSequence();
    // As the server's animation packet records it.
    ASSERT_TRUE(recordMobileAnimation(*mobile, 9, 2, 0, 1, false, false));
    recordPositionalSound(4, 0, 0, 0);
    ASSERT_TRUE(stopEffectRecording(1));
    ASSERT_EQ(sequenceWaitingFor(*mobile), sequence) << "the replayed action holds the sequence up";
    for (int32_t call = 0; call < 10; ++call)
        list.stepEffects();
    EXPECT_EQ(sequenceWaitingFor(*mobile), nullptr);
    EXPECT_FALSE(isLiveSequence(sequence)) << "the rest of the sequence ran once the action ended";
}

} // namespace
} // namespace test
