// Recorded effect sequences: the record layouts, and the replay against an
// effect builder double whose effects end when the test says, so that the
// chaining, the repeats, the skipped records and the mobiles that go away in
// the middle can be followed call by call. Replayed actions run on the real
// animator, stepped as the present step steps it.
#include "world_fixture.h"

#include "world/mobile_animation.h"
#include "world/recorded_sequence.h"

#include <algorithm>

namespace test {
namespace {

constexpr uint32_t kMobileA = 0x00000051;
constexpr uint32_t kMobileB = 0x00000052;

// Builds nothing; remembers each call with the sequence that waits for it.
class EffectDouble final : public EffectBuilder {
public:
    bool build(const EffectCall& call, RecordedSequence* sequence) override
    {
        built.push_back(call);
        waiting.push_back(sequence);
        return true;
    }
    void mobileDestroyed(Mobile& mobile) override
    {
        destroyed.push_back(mobile.serial);
        // Effects on or at the mobile end now.
        for (size_t i = 0; i < built.size(); ++i) {
            const EffectCall& call = built[i];
            if ((call.sourceMobile == mobile.serial || call.targetMobile == mobile.serial) && waiting[i]) {
                RecordedSequence* sequence = waiting[i];
                waiting[i] = nullptr;
                if (isLiveSequence(sequence))
                    sequence->advance();
            }
        }
    }
    // The effect built last ends.
    void endLast()
    {
        RecordedSequence* sequence = waiting.back();
        waiting.back() = nullptr;
        if (isLiveSequence(sequence))
            sequence->advance();
    }
    std::vector<EffectCall> built;
    std::vector<RecordedSequence*> waiting;
    std::vector<uint32_t> destroyed;
};

class SoundCounter final : public WorldSounds {
public:
    void playSoundAt(int32_t id, int32_t x, int32_t y, int32_t z, float, bool, int32_t, bool) override
    {
        ++count;
        last = { id, x, y, z };
    }
    int64_t count = 0;
    std::array<int32_t, 4> last {};
};

class Sequences : public WorldTest {
protected:
    void TearDown() override
    {
        deleteAllRecordedSequences();
        WorldTest::TearDown();
    }

    EffectDouble effects;
    ScopedWorldService<EffectBuilder> effectsGuard { effects };
    SoundCounter sounds;
    ScopedWorldService<WorldSounds> soundsGuard { sounds };
    AnimatingMobiles animator;
    ScopedWorldService<MobileAnimator> animatorGuard { animator };
};

EffectCall movingCall(uint16_t art)
{
    EffectCall call;
    call.kind = EffectKind::MovingLocationToLocation;
    call.art = art;
    call.sourceXY = packXY(1000, 1000);
    call.targetXY = packXY(1004, 1002);
    call.speed = 3;
    return call;
}

TEST_F(Sequences, OneEffectPlayedTwiceFliesTwiceThenTheSequenceIsGone)
{
    ASSERT_TRUE(startEffectRecording());
    RecordedSequence* sequence = currentRecordedSequence();
    ASSERT_TRUE(recordEffectCall(movingCall(0x36D4)));
    EXPECT_TRUE(effects.built.empty()) << "recorded, not built";
    ASSERT_TRUE(stopEffectRecording(2));
    ASSERT_EQ(effects.built.size(), 1u);
    EXPECT_EQ(effects.waiting[0], sequence);
    effects.endLast();
    ASSERT_EQ(effects.built.size(), 2u) << "the second flight starts when the first ends";
    EXPECT_TRUE(isLiveSequence(sequence));
    effects.endLast();
    EXPECT_EQ(effects.built.size(), 2u);
    EXPECT_FALSE(isLiveSequence(sequence));
}

TEST_F(Sequences, SoundsPlayAtOnceAllRepeatsInOneCall)
{
    ASSERT_TRUE(startEffectRecording());
    RecordedSequence* sequence = currentRecordedSequence();
    ASSERT_TRUE(recordPositionalSound(0x1F5, 1001, 1002, 3));
    ASSERT_TRUE(recordPositionalSound(0x1F6, 1003, 1004, 5));
    ASSERT_TRUE(stopEffectRecording(3));
    EXPECT_EQ(sounds.count, 6);
    EXPECT_EQ(sounds.last, (std::array<int32_t, 4> { 0x1F6, 1003, 1004, 5 }));
    EXPECT_FALSE(isLiveSequence(sequence));
}

TEST_F(Sequences, AnEmptyRecordingPlaysNothingAndLeavesNothing)
{
    ASSERT_TRUE(startEffectRecording());
    RecordedSequence* sequence = currentRecordedSequence();
    ASSERT_TRUE(stopEffectRecording(5));
    EXPECT_FALSE(isLiveSequence(sequence));
    EXPECT_TRUE(effects.built.empty());
    EXPECT_EQ(sounds.count, 0);
}

TEST_F(Sequences, StartWhileRecordingAndStopWhileNotChangeNothing)
{
    EXPECT_FALSE(stopEffectRecording(1));
    ASSERT_TRUE(startEffectRecording());
    RecordedSequence* sequence = currentRecordedSequence();
    EXPECT_FALSE(startEffectRecording());
    EXPECT_EQ(currentRecordedSequence(), sequence);
    EXPECT_TRUE(recordPositionalSound(1, 0, 0, 0));
    ASSERT_TRUE(stopEffectRecording(1));
    EXPECT_FALSE(isEffectRecordingActive());
    EXPECT_FALSE(recordPositionalSound(1, 0, 0, 0)) << "no longer recording";
}

TEST_F(Sequences, ARecordWhoseMobileLeftIsSkippedWithoutDelay)
{
    Mobile* target = addMobile(kMobileA, kCentreX + 2, kCentreY);
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(startEffectRecording());
    RecordedSequence* sequence = currentRecordedSequence();
    EffectCall homing = movingCall(0x36D4);
    homing.kind = EffectKind::MovingLocationToMobile;
    homing.targetMobile = kMobileA;
    recordEffectCall(homing);
    recordPositionalSound(7, 1, 2, 3);
    stopEffectRecording(1);
    ASSERT_EQ(effects.built.size(), 1u);
    effects.endLast();
    EXPECT_EQ(sounds.count, 1);
    EXPECT_FALSE(isLiveSequence(sequence));

    // Recorded again, the mobile deleted before the replay.
    startEffectRecording();
    sequence = currentRecordedSequence();
    recordEffectCall(homing);
    recordPositionalSound(7, 1, 2, 3);
    ASSERT_TRUE(deleteObjectBySerial(kMobileA));
    stopEffectRecording(2);
    EXPECT_EQ(effects.built.size(), 1u) << "nothing built for a mobile that is gone";
    EXPECT_EQ(sounds.count, 3) << "both repetitions ran through at once";
    EXPECT_FALSE(isLiveSequence(sequence));
}

TEST_F(Sequences, LightningAndFixedOnAMobileAreRecordedEvenWithoutTheMobile)
{
    startEffectRecording();
    RecordedSequence* sequence = currentRecordedSequence();
    EffectCall lightning;
    lightning.kind = EffectKind::Lightning;
    recordEffectCall(lightning);
    EXPECT_EQ(sequence->entryCount(), 1u);
    stopEffectRecording(1);
    EXPECT_TRUE(effects.built.empty()) << "serial 0 names no mobile: skipped";
    EXPECT_FALSE(isLiveSequence(sequence));
}

TEST_F(Sequences, AMobileGoingAwayInTheMiddleIsNeverPlayedOnAgain)
{
    // Two homing effects at the same mobile: when the mobile is destroyed the
    // first ends, and the second must not be built onto the dying mobile.
    Mobile* target = addMobile(kMobileA, kCentreX + 2, kCentreY);
    ASSERT_NE(target, nullptr);
    startEffectRecording();
    RecordedSequence* sequence = currentRecordedSequence();
    EffectCall homing = movingCall(0x36D4);
    homing.kind = EffectKind::MovingLocationToMobile;
    homing.targetMobile = kMobileA;
    recordEffectCall(homing);
    recordEffectCall(homing);
    recordPositionalSound(9, 0, 0, 0);
    stopEffectRecording(1);
    ASSERT_EQ(effects.built.size(), 1u);
    ASSERT_TRUE(deleteObjectBySerial(kMobileA));
    EXPECT_EQ(effects.destroyed, std::vector<uint32_t> { kMobileA });
    EXPECT_EQ(effects.built.size(), 1u) << "the second record was skipped";
    EXPECT_EQ(sounds.count, 1);
    EXPECT_FALSE(isLiveSequence(sequence));
}

TEST_F(Sequences, ALongSequenceOfSoundsRunsInALoopNotARecursion)
{
    // As many as a sequence keeps.
    const int32_t count = int32_t(RecordedSequence::kMaxEntries);
    startEffectRecording();
    for (int32_t i = 0; i < count; ++i)
        recordPositionalSound(i, 0, 0, 0);
    stopEffectRecording(255);
    EXPECT_EQ(sounds.count, count * 255);
}

TEST_F(Sequences, AnAnimationRecordRunsTheActionAndWaitsForItsEnd)
{
    Mobile* mobile = addMobile(kMobileB, kCentreX + 1, kCentreY);
    ASSERT_NE(mobile, nullptr);
    startEffectRecording();
    RecordedSequence* sequence = currentRecordedSequence();
    // As the server's animation packet records it.
    EXPECT_TRUE(recordMobileAnimation(*mobile, 12, 7, 2, 3, true, true));
    EXPECT_EQ(mobile->animationRunning, 0) << "recorded, not played";
    recordPositionalSound(4, 0, 0, 0);
    mobile->repeatCount = 2;
    stopEffectRecording(1);
    EXPECT_EQ(mobile->animationRunning, 1);
    EXPECT_EQ(mobile->action, 12);
    EXPECT_EQ(mobile->frameCount, 7);
    EXPECT_EQ(mobile->delay, 2);
    EXPECT_EQ(mobile->frame, 0);
    EXPECT_EQ(mobile->repeatCount, 2) << "the repeat count keeps its value";
    EXPECT_TRUE(animator.contains(*mobile));
    EXPECT_EQ(sequenceWaitingFor(*mobile), sequence);
    EXPECT_EQ(sounds.count, 0) << "waiting for the action";
    // Delay 2: a frame every fourth call; seven frames twice.
    for (int32_t call = 0; call < 200 && mobile->animationRunning; ++call)
        animator.stepEffects();
    EXPECT_EQ(mobile->animationRunning, 0);
    EXPECT_EQ(sounds.count, 1);
    EXPECT_FALSE(isLiveSequence(sequence));
}

// A replayed action takes the mobile out of the grid; the first frame step
// places it again, and it stays drawn and clickable to the end, however
// short the action.
TEST_F(Sequences, AReplayedActionKeepsItsMobileInTheGrid)
{
    for (uint16_t frames : { 1, 4 }) {
        SCOPED_TRACE(frames);
        Mobile* mobile = addMobile(kMobileA, kCentreX + 2, kCentreY);
        ASSERT_NE(mobile, nullptr);
        ASSERT_TRUE(mobile->isPlaced());
        startEffectRecording();
        mobile->playAnimation(6, frames, 0, 1, false, false);
        stopEffectRecording(1);
        ASSERT_TRUE(animator.contains(*mobile));
        animator.stepEffects();
        animator.stepEffects();
        EXPECT_TRUE(mobile->isPlaced()) << "placed again by the first step";
        for (int32_t call = 0; call < 50 && mobile->animationRunning; ++call) {
            animator.stepEffects();
            EXPECT_TRUE(mobile->isPlaced()) << "call " << call;
        }
        EXPECT_EQ(mobile->animationRunning, 0);
        EXPECT_TRUE(mobile->isPlaced()) << "the state animation is drawn again";
        ASSERT_TRUE(deleteObjectBySerial(kMobileA));
    }
}

TEST_F(Sequences, AnUnknownKeyHoldsTheSequenceWhereItIs)
{
    startEffectRecording();
    RecordedSequence* sequence = currentRecordedSequence();
    const uint8_t bytes[3] = { 1, 2, 3 };
    sequence->append(42, bytes);
    recordPositionalSound(4, 0, 0, 0);
    stopEffectRecording(1);
    EXPECT_TRUE(isLiveSequence(sequence));
    EXPECT_EQ(sequence->currentIndex(), 0u);
    EXPECT_EQ(sounds.count, 0);
}

// Every record layout: its key, its length and its fields back.
struct LayoutCase {
    const char* name;
    EffectKind kind;
    bool hued;
    uint32_t key;
    size_t length;
};

class RecordLayouts : public testing::TestWithParam<LayoutCase> { };

TEST_P(RecordLayouts, RoundTripWithTheirKeysAndLengths)
{
    const LayoutCase& row = GetParam();
    EffectCall call;
    call.kind = row.kind;
    call.hued = row.hued;
    call.art = 0x1234;
    call.sourceXY = 0x0005FFF0;
    call.sourceZ = -7;
    call.targetXY = 0x7FFF0001;
    call.targetZ = 100;
    call.sourceMobile = 0x00ABCDEF;
    call.targetMobile = 0x00123456;
    call.speed = 9;
    call.duration = 200;
    call.backward = 1;
    call.pingPong = 1;
    call.fixedDirection = 1;
    call.explode = 1;
    call.hue = row.hued ? 0x0455 : 0;
    call.renderMode = row.hued ? 3 : 0;
    EXPECT_EQ(effectRecordKey(call), row.key);
    std::vector<uint8_t> bytes = encodeEffectRecord(call);
    EXPECT_EQ(bytes.size(), row.length);
    std::optional<EffectCall> back = decodeEffectRecord(row.key, bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->kind, call.kind);
    if (row.kind != EffectKind::Lightning) {
        EXPECT_EQ(back->art, call.art);
    }
    EXPECT_EQ(back->hue, call.hue);
    EXPECT_EQ(back->renderMode, call.renderMode);
    EXPECT_EQ(encodeEffectRecord(*back), bytes) << "every field the layout keeps survives";
    bytes.push_back(0);
    EXPECT_FALSE(decodeEffectRecord(row.key, bytes)) << "a record of the wrong length is refused";
    bytes.resize(bytes.size() - 2);
    EXPECT_FALSE(decodeEffectRecord(row.key, bytes));
}

INSTANTIATE_TEST_SUITE_P(Keys, RecordLayouts,
    testing::Values(LayoutCase { "FixedAtLocation", EffectKind::FixedAtLocation, false, 0, 12 },
        LayoutCase { "FixedOnMobile", EffectKind::FixedOnMobile, false, 1, 10 },
        LayoutCase { "Lightning", EffectKind::Lightning, false, 2, 4 },
        LayoutCase { "MovingLocationToLocation", EffectKind::MovingLocationToLocation, false, 3, 17 },
        LayoutCase { "MovingLocationToMobile", EffectKind::MovingLocationToMobile, false, 4, 15 },
        LayoutCase { "MovingMobileToLocation", EffectKind::MovingMobileToLocation, false, 5, 15 },
        LayoutCase { "MovingMobileToMobile", EffectKind::MovingMobileToMobile, false, 6, 13 },
        LayoutCase { "HuedFixedAtLocation", EffectKind::FixedAtLocation, true, 9, 20 },
        LayoutCase { "HuedFixedOnMobile", EffectKind::FixedOnMobile, true, 10, 18 },
        LayoutCase { "HuedLightning", EffectKind::Lightning, true, 11, 12 },
        LayoutCase { "HuedMovingLocationToLocation", EffectKind::MovingLocationToLocation, true, 12, 25 },
        LayoutCase { "HuedMovingLocationToMobile", EffectKind::MovingLocationToMobile, true, 13, 23 },
        LayoutCase { "HuedMovingMobileToLocation", EffectKind::MovingMobileToLocation, true, 14, 23 },
        LayoutCase { "HuedMovingMobileToMobile", EffectKind::MovingMobileToMobile, true, 15, 21 }),
    [](const testing::TestParamInfo<LayoutCase>& row) { return std::string(row.param.name); });

TEST(RecordLayouts, AnimationAndSoundRecordsKeepTheirFieldsLittleEndian)
{
    RecordedAnimation animation { 0x01020304, 12, 7, 2, 3, 1, 0 };
    std::vector<uint8_t> bytes = encodeAnimationRecord(animation);
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[3], 0x01);
    EXPECT_EQ(bytes[4], 12);
    std::optional<RecordedAnimation> back = decodeAnimationRecord(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->mobile, 0x01020304u);
    EXPECT_EQ(back->backward, 1);
    EXPECT_FALSE(decodeAnimationRecord(std::span(bytes).first(15)));
    RecordedSound sound { 0x0203, 5, 6, 0xFFFF };
    bytes = encodeSoundRecord(sound);
    ASSERT_EQ(bytes, (std::vector<uint8_t> { 0x03, 0x02, 5, 0, 6, 0, 0xFF, 0xFF }));
    std::optional<RecordedSound> soundBack = decodeSoundRecord(bytes);
    ASSERT_TRUE(soundBack);
    EXPECT_EQ(soundBack->z, 0xFFFF);
    EXPECT_FALSE(decodeSoundRecord({}));
    EXPECT_FALSE(decodeEffectRecord(7, bytes)) << "key 7 is no effect";
    EXPECT_FALSE(decodeEffectRecord(16, bytes));
}

} // namespace
} // namespace test
