// The window's music and sound commands and the tick steps that sound and
// music are wired into.

#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/sound_startup.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

#include <gtest/gtest.h>

namespace {

TEST(SoundCommands, MusicAndSoundSwitchesFlipTheirState)
{
    const bool sound = soundEffects().isSoundOn();
    const bool music = musicSystem().isMusicOn();
    EXPECT_TRUE(runSoundCommand(command::kToggleSound));
    EXPECT_EQ(soundEffects().isSoundOn(), !sound);
    EXPECT_TRUE(runSoundCommand(command::kToggleMusic));
    EXPECT_EQ(musicSystem().isMusicOn(), !music);
    EXPECT_TRUE(runSoundCommand(command::kToggleSound));
    EXPECT_TRUE(runSoundCommand(command::kToggleMusic));
    EXPECT_EQ(soundEffects().isSoundOn(), sound);
    EXPECT_EQ(musicSystem().isMusicOn(), music);
    EXPECT_FALSE(runSoundCommand(command::kOptions));
}

TEST(SoundCommands, AcceleratorsReachTheSwitches)
{
    EXPECT_EQ(findAccelerator(platform::vk::letter('M'), true, true, false), command::kToggleMusic);
    EXPECT_EQ(findAccelerator(platform::vk::letter('S'), true, true, false), command::kToggleSound);
}

TEST(SoundSteps, AreWiredIntoTheLoopAndTheFrameAndUnwiredAtShutdown)
{
    std::unique_ptr<platform::Window> window = platform::createHeadlessWindow();
    GameTick tick;
    MainLoop loop(*window, tick, nullptr);
    wireSoundSteps(loop, tick);
    tick.run(false); // runs the music and sound steps with nothing started: no effect, no crash
    stopSoundAndVideoOutput(tick);
    tick.run(false);
}

} // namespace
