// The macro runner stepped frame by frame as the game tick steps it: one
// action a frame, Delay and WaitForTarg holding, LastTarget retried, a key
// during a wait ending it, a reload ending the run; and the actions' own
// rules (speech types, Arm/Disarm's pause, TargetNext's wrap).

#include "windows/macro_runner.h"

#include "data/targeting.h"
#include "speech_fixture.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace macro;

class RecordingCommands final : public ServerRequests {
public:
    bool hasGameConnection() override { return true; }
    bool sendUpdateRange(uint8_t) override { return true; }
    bool sendWarMode(uint8_t, const std::array<uint8_t, 3>&) override { return true; }
    bool sendResurrectionChoice(uint8_t) override { return true; }
    bool sendTextCommand(uint8_t type, std::string_view text) override
    {
        commands.push_back(std::to_string(type) + ":" + std::string(text));
        return true;
    }
    bool sendConfigFile(uint8_t, std::span<const uint8_t>) override { return true; }
    bool sendLogoutConfirm() override { return true; }
    std::vector<std::string> commands;
};

MacroAction act(int32_t action, int32_t argument = 0, std::u16string text = {})
{
    MacroAction a;
    a.action = action;
    a.argument = argument;
    a.text = std::move(text);
    return a;
}

MacroRecord bind(uint16_t virtualKey, std::vector<MacroAction> actions)
{
    MacroRecord record;
    record.virtualKey = virtualKey;
    record.keyData = uint32_t(scanCodeForVirtualKey(virtualKey)) << 16;
    for (MacroAction& a : actions)
        record.actions[size_t(record.count++)] = std::move(a);
    return record;
}

class MacroRunnerTest : public test::SpeechTest {
protected:
    void SetUp() override
    {
        test::SpeechTest::SetUp();
        m_previousRequests = installServerRequests(&requests);
        macroRunState() = MacroRunState {};
        macroMemory() = MacroMemory {};
        targetingState().targetingActive = false;
    }
    void TearDown() override
    {
        freeMacros();
        macroRunState() = MacroRunState {};
        macroMemory() = MacroMemory {};
        targetingState().targetingActive = false;
        installServerRequests(m_previousRequests);
        test::SpeechTest::TearDown();
    }
    void setMacros(std::vector<MacroRecord> macros) { macroList().replace(std::move(macros)); }
    // Frames until the macro stops (at most `limit`).
    int framesUntilStopped(int limit)
    {
        int frames = 0;
        while (macroRunState().running && frames < limit) {
            runMacroStep();
            ++frames;
        }
        return frames;
    }

    RecordingCommands requests;
    ServerRequests* m_previousRequests = nullptr;
};

struct FrameCase {
    const char* name;
    std::vector<MacroAction> actions;
    bool cursorUp;
    int frames;
};

class MacroFrames : public MacroRunnerTest, public ::testing::WithParamInterface<FrameCase> { };

TEST_P(MacroFrames, TheMacroRunsForItsFrames)
{
    const FrameCase& c = GetParam();
    setMacros({ bind(0x70, c.actions) });
    targetingState().targetingActive = c.cursorUp;
    ASSERT_TRUE(startMacroForKey(0x70, false, false, false));
    EXPECT_EQ(framesUntilStopped(500), c.frames);
}

INSTANTIATE_TEST_SUITE_P(Script, MacroFrames,
    ::testing::Values(
        // One try a frame; the eleventh failure stops it.
        FrameCase { "LastTargetWithoutACursor", { act(kLastTarget) }, false, 11 },
        FrameCase { "LastTargetWithACursor", { act(kLastTarget) }, true, 1 },
        // The delay's frame, eleven frames held, then the next action.
        FrameCase { "DelayTen", { act(kDelay, 0, u"10"), act(kBow) }, false, 13 },
        // The wait's frame, then 100 frames of waiting before it gives up.
        FrameCase { "WaitForTargetGivesUp", { act(kWaitForTarg), act(kBow) }, false, 102 },
        FrameCase { "WaitForTargetWithACursor", { act(kWaitForTarg), act(kBow) }, true, 3 }),
    [](const ::testing::TestParamInfo<FrameCase>& row) { return std::string(row.param.name); });

TEST_F(MacroRunnerTest, AMacroKeyDuringADelayEndsTheWaitAndTheMacroGoesOn)
{
    setMacros({ bind(0x70, { act(kDelay, 0, u"50"), act(kBow) }), bind(0x71, { act(kSalute) }) });
    ASSERT_TRUE(startMacroForKey(0x70, false, false, false));
    runMacroStep();
    runMacroStep();
    EXPECT_TRUE(macroRunState().delayActive);
    // Another macro's key only cancels the wait.
    ASSERT_TRUE(startMacroForKey(0x71, false, false, false));
    EXPECT_FALSE(macroRunState().delayActive);
    EXPECT_EQ(framesUntilStopped(10), 1);
    EXPECT_EQ(requests.commands, (std::vector<std::string> { "199:bow" }));
}

TEST_F(MacroRunnerTest, KeysMatchWithTheirModifiersInListOrder)
{
    setMacros({ bind(0x70, { act(kBow) }), bind(0x70, { act(kSalute) }) });
    macroList().macros[0].shift = true;
    EXPECT_FALSE(startMacroForKey(0x71, false, false, false));
    ASSERT_TRUE(startMacroForKey(0x70, false, false, false));
    framesUntilStopped(5);
    ASSERT_TRUE(startMacroForKey(0x70, false, false, true));
    framesUntilStopped(5);
    EXPECT_EQ(requests.commands, (std::vector<std::string> { "199:salute", "199:bow" }));
}

TEST_F(MacroRunnerTest, AReloadDuringARunEndsItWithoutReadingTheOldRecord)
{
    setMacros({ bind(0x70, { act(kBow), act(kBow), act(kBow) }) });
    ASSERT_TRUE(startMacroForKey(0x70, false, false, false));
    runMacroStep();
    setMacros({});
    runMacroStep();
    EXPECT_FALSE(macroRunState().running);
    EXPECT_EQ(requests.commands.size(), 1u);
}

TEST_F(MacroRunnerTest, SpeechActionsSendTheirTypesAndCommandsTheirTexts)
{
    setMacros({ bind(0x70,
        { act(kSay, 0, u"hi"), act(kYell, 0, u"HEY"), act(kUseSkill, 21), act(kInvokeVirtue, 3), act(kOpenDoor),
            act(kLastSkill) }) });
    lastSkillUsed() = -1;
    ASSERT_TRUE(startMacroForKey(0x70, false, false, false));
    EXPECT_EQ(framesUntilStopped(20), 6);
    ASSERT_EQ(sent.size(), 2u);
    // The speech packet's type byte follows its id and length.
    EXPECT_EQ(sent[0][3], 0);
    EXPECT_EQ(sent[1][3], 9);
    EXPECT_EQ(requests.commands, (std::vector<std::string> { "36:21 0", "244:3", "88:" }));
}

TEST_F(MacroRunnerTest, OutOfTheGameTheGameActionsDoNothing)
{
    test::RecordingGameState outOfGame;
    outOfGame.inGame = false;
    GameStateService* inGame = installGameState(&outOfGame);
    setMacros({ bind(0x70, { act(kSay, 0, u"hi"), act(kBow), act(kLastTarget) }) });
    ASSERT_TRUE(startMacroForKey(0x70, false, false, false));
    EXPECT_EQ(framesUntilStopped(20), 3);
    installGameState(inGame);
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(requests.commands.empty());
}

TEST_F(MacroRunnerTest, ArmDisarmWaitsTwentyTwoFramesAndForgetsAWeaponThatWentAway)
{
    toggleArmDisarm(kRightHand);
    // Nothing in the hand and nothing remembered.
    EXPECT_EQ(macroMemory().armCooldown, kArmCooldownFrames);
    toggleArmDisarm(kRightHand);
    EXPECT_EQ(macroMemory().armCooldown, kArmCooldownFrames);
    for (int i = 0; i < kArmCooldownFrames; ++i)
        lowerMacroDelay();
    EXPECT_EQ(macroMemory().armCooldown, 0);
    // A weapon remembered that no longer exists is forgotten.
    macroMemory().rememberedWeapon[kRightHand] = 0x40001234;
    toggleArmDisarm(kRightHand);
    EXPECT_EQ(macroMemory().rememberedWeapon[kRightHand], 0u);
}

TEST_F(MacroRunnerTest, TargetNextCyclesTheMobilesAndWrapsToTheFirst)
{
    std::vector<uint32_t> serials;
    for (uint32_t serial : { 0x201u, 0x202u, 0x203u }) {
        Item* mobile = createObject(serial, test::kHumanBody, 0);
        ASSERT_NE(mobile, nullptr);
        mobile->enterWorldAt(test::kCentreX + 1, test::kCentreY, 0);
    }
    std::vector<uint32_t> chosen;
    for (int i = 0; i < 4; ++i) {
        targetNext();
        chosen.push_back(macroMemory().nextTarget);
    }
    EXPECT_EQ(chosen[3], chosen[0]);
    EXPECT_NE(chosen[0], chosen[1]);
    EXPECT_NE(chosen[1], chosen[2]);
    EXPECT_NE(chosen[0], chosen[2]);
}

} // namespace
