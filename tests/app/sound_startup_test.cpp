// The window's music and sound commands, the settings' switches and volumes
// as the running program wires them, and the tick steps that sound and music
// are wired into.

#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/sound_startup.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "platform/audio_device.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

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

// A change of a sound setting and what the channels or the music then hold.
struct SoundSettingCase {
    std::string name;
    std::function<void()> change;
    std::function<bool()> reached;
};

std::string soundCaseName(const testing::TestParamInfo<SoundSettingCase>& info) { return info.param.name; }
void PrintTo(const SoundSettingCase& row, std::ostream* out) { *out << row.name; }

class SoundSettingsWiring : public testing::TestWithParam<SoundSettingCase> {
protected:
    void SetUp() override
    {
        m_previous = installSoundSettings(nullptr);
        initSoundLayer();
        soundEffects().toggleSound(true);
        soundEffects().setSoundVolume(255);
        musicSystem().toggleMusic(true);
        musicSystem().setMusicVolume(255);
    }
    void TearDown() override
    {
        soundEffects().toggleSound(true);
        soundEffects().setSoundVolume(255);
        musicSystem().toggleMusic(true);
        musicSystem().setMusicVolume(255);
        installSoundSettings(m_previous);
    }

    SoundSettingsService* m_previous = nullptr;
};

TEST_P(SoundSettingsWiring, ReachesTheChannelsOrTheMusic)
{
    GetParam().change();
    EXPECT_TRUE(GetParam().reached());
}

INSTANTIATE_TEST_SUITE_P(Settings, SoundSettingsWiring,
    testing::Values(SoundSettingCase { "SoundVolumeFromTheOptions", [] { settings().setIntSetting(u"SoundVol", 40); },
                        [] { return soundEffects().masterVolume() == 40; } },
        SoundSettingCase { "MusicVolumeFromTheOptions", [] { settings().setIntSetting(u"MusicVol", 70); },
            [] { return musicSystem().musicVolume() == 70; } },
        SoundSettingCase { "SoundOffFromTheOptions", [] { settings().setBoolSetting(u"Sound", 0); },
            [] { return !soundEffects().isSoundOn(); } },
        SoundSettingCase { "MusicOffFromTheOptions", [] { settings().setBoolSetting(u"Music", 0); },
            [] { return !musicSystem().isMusicOn(); } },
        // The world entry and the desktop file call the service itself.
        SoundSettingCase { "SoundOffAtWorldEntry", [] { soundSettings().toggleSound(false); },
            [] { return !soundEffects().isSoundOn(); } },
        SoundSettingCase { "MusicOffAtWorldEntry", [] { soundSettings().toggleMusic(false); },
            [] { return !musicSystem().isMusicOn(); } },
        SoundSettingCase { "SoundVolumeAtWorldEntry", [] { soundSettings().setSoundVolume(12); },
            [] { return soundEffects().masterVolume() == 12; } }),
    soundCaseName);

TEST(SoundSettingsOnChannels, TheVolumeSettingReachesEveryChannel)
{
    SoundSettingsService* previous = installSoundSettings(nullptr);
    initSoundLayer();
    std::unique_ptr<platform::AudioDevice> device = platform::createNullAudioDevice(22050, false);
    soundEffects().initDirectSound(device.get());
    settings().setIntSetting(u"SoundVol", 51);
    for (int index = 0; index < kSoundChannelCount; ++index) {
        ASSERT_NE(soundEffects().channel(index), nullptr);
        EXPECT_NEAR(soundEffects().channel(index)->factor, 0.2f, 1e-6f) << "channel " << index;
    }
    soundEffects().shutdownSound();
    soundEffects().setSoundVolume(255);
    installSoundSettings(previous);
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
