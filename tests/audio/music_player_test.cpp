// Music selection over a MIDI player that records what it is asked, and once
// over the real synthesizer: the request stack of the server's music packet,
// the ten-second guard, the rotation, and a finished piece's completion
// coming back as the next piece.

#include "fake_audio_services.h"
#include "audio/digital_music_manager.h"
#include "audio/music_player.h"
#include "fixtures/client_directory.h"
#include "fixtures/midi_writer.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/headless/null_audio_device.h"
#include "platform/midi_player.h"
#include "support/synth_listening.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class RecordingMidiPlayer final : public platform::MidiPlayer {
public:
    bool isAvailable() const override { return true; }
    bool open(const std::string& path) override
    {
        close();
        opened.push_back(path.substr(path.rfind('/') + 1));
        m_open = true;
        return true;
    }
    bool play(std::function<void()> onFinished) override
    {
        m_onFinished = std::move(onFinished);
        m_playing = true;
        return true;
    }
    bool isOpen() const override { return m_open; }
    bool isPlaying() const override { return m_playing; }
    void close() override
    {
        m_open = false;
        if (m_playing) {
            m_playing = false;
            ++closedWhilePlaying;
            if (m_onFinished)
                m_onFinished();
        }
    }
    void finish()
    {
        m_playing = false;
        if (m_onFinished)
            m_onFinished();
    }
    bool supportsVolume() const override { return true; }
    uint32_t volume() const override { return m_volume; }
    void setVolume(uint32_t word) override { m_volume = word; }

    std::vector<std::string> opened;
    int closedWhilePlaying = 0;

private:
    bool m_open = false;
    bool m_playing = false;
    uint32_t m_volume = 0x12345678;
    std::function<void()> m_onFinished;
};

class MusicSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (uint16_t id = 0; id < kMusicIdLimit; ++id) {
            if (const char* name = midiFileName(id))
                m_client.write(std::string("music/") + name, "MThd");
        }
        platform::forgetDirectoryCache();
        m_clock.setUnixSeconds(1000 * 9 + 4); // a random first piece of 4
        m_music.setNotifyPoster([this] { ++m_notifications; });
        m_music.initMusic(&m_device, &m_midi);
    }
    void TearDown() override { m_music.shutdownMusic(); }

    const std::string& lastOpened() const { return m_midi.opened.back(); }

    platform::FakeClock m_clock { 100000 };
    platform::ScopedClock m_clockGuard { m_clock };
    fixture::ClientDirectory m_client;
    platform::NullAudioDevice m_device { 44100, false };
    RecordingMidiPlayer m_midi;
    MusicSystem m_music;
    int m_notifications = 0;
};

TEST_F(MusicSelection, StartUpPlaysARandomPieceOfTheFirstNineAndKeepsTheMidiVolume)
{
    ASSERT_EQ(m_midi.opened.size(), 1u);
    EXPECT_EQ(lastOpened(), "oldvar03.mid");
    EXPECT_EQ(m_music.currentMusicId(), 4);
    EXPECT_EQ(m_midi.volume(), 255u * 0x01000100u);
    m_music.shutdownMusic();
    EXPECT_EQ(m_midi.volume(), 0x12345678u) << "the volume found at start is put back";
}

TEST_F(MusicSelection, RefusalsAndTheTenSecondGuard)
{
    EXPECT_EQ(m_music.playMusic(67, 1, 0), 1) << "the guard comes first";
    EXPECT_EQ(m_music.playMusic(67, 1, 1), 0);
    EXPECT_EQ(m_music.playMusic(12, 1, 0), 1) << "within ten seconds of a start, nothing changes";
    EXPECT_EQ(m_music.currentMusicId(), 4);
    EXPECT_EQ(m_music.playMusic(12, 1, 1), 1);
    EXPECT_EQ(lastOpened(), "saltby.mid");
    m_clock.advance(MusicSystem::kGuardMs);
    EXPECT_EQ(m_music.playMusic(13, 1, 0), 1);
    EXPECT_EQ(lastOpened(), "rhcastle.mid");
    EXPECT_EQ(m_music.playMusic(kNoMusic, 1, 1), 1);
    EXPECT_EQ(m_music.currentMusicId(), kNoMusic);
    EXPECT_FALSE(m_midi.isOpen());
    EXPECT_EQ(m_music.playMusic(60, 1, 1), 0) << "ids past 56 have no MIDI file";
}

TEST_F(MusicSelection, ServerRequestsStackAndARepeatedOneShotRestarts)
{
    m_music.queueServerMusic(20, 0); // base
    EXPECT_EQ(m_music.currentMusicId(), 4) << "base after base is not forced past the guard";
    m_clock.advance(MusicSystem::kGuardMs);
    m_music.queueServerMusic(21, 0);
    EXPECT_EQ(m_music.currentMusicId(), 21);
    m_music.queueServerMusic(20, 0);
    EXPECT_EQ(m_music.currentMusicId(), 21);
    m_music.queueServerMusic(5, 1); // one-shot over it: forced
    EXPECT_EQ(m_music.currentMusicId(), 5);
    const size_t opens = m_midi.opened.size();
    m_music.queueServerMusic(5, 1); // 0x1005 again: stop, then start again
    EXPECT_EQ(m_midi.opened.size(), opens + 1);
    EXPECT_EQ(lastOpened(), "oldvar04.mid");
    ASSERT_EQ(m_music.stack().size(), 2u);
    m_music.queueServerMusic(kNoMusic, 1); // 0x1FFF: the one-shot goes
    ASSERT_EQ(m_music.stack().size(), 1u);
    EXPECT_EQ(m_music.appliedId(), 20);
    EXPECT_EQ(m_music.currentMusicId(), 20);
    m_music.queueServerMusic(7, 3); // another mode does nothing
    EXPECT_EQ(m_music.stack().size(), 1u);
}

TEST_F(MusicSelection, AFinishedOneShotIsPoppedByTheMaintenancePass)
{
    m_music.queueServerMusic(20, 0);
    m_music.queueServerMusic(30, 1);
    m_midi.finish();
    m_music.updateMusic(); // the first call runs the maintenance
    EXPECT_EQ(m_music.stack().size(), 1u);
    EXPECT_EQ(m_music.currentMusicId(), 20);
}

TEST_F(MusicSelection, CompletionPostsAndTheRotationWrapsByWhereThePlayerIs)
{
    const int before = m_notifications;
    m_midi.finish();
    EXPECT_EQ(m_notifications, before + 1);

    m_music.setRotationId(65);
    m_music.onMusicNotify(); // no player: 65 has no file, the rotation stays
    EXPECT_EQ(m_music.rotationId(), 65);
    m_music.setRotationId(8);
    m_clock.advance(MusicSystem::kGuardMs);
    m_music.onMusicNotify();
    EXPECT_EQ(m_music.rotationId(), 9) << "without a player the rotation runs on";

    FakeAudioServices world;
    world.hasPlayer = true;
    ScopedAudioServices guard(world);
    m_music.setRotationId(8);
    m_clock.advance(MusicSystem::kGuardMs);
    m_music.onMusicNotify();
    EXPECT_EQ(m_music.rotationId(), 0);
    world.warMode = true;
    m_music.setRotationId(40);
    m_clock.advance(MusicSystem::kGuardMs);
    m_music.onMusicNotify();
    EXPECT_EQ(m_music.rotationId(), 38);
}

TEST_F(MusicSelection, WarModePlaysCombatMusicAndLeavingItReturnsToTheBase)
{
    FakeAudioServices world;
    world.hasPlayer = true;
    ScopedAudioServices guard(world);
    m_music.queueServerMusic(20, 0);
    world.warMode = true;
    world.facet = 4;
    for (int i = 0; i < MusicSystem::kMaintenanceEvery; ++i)
        m_music.updateMusic();
    ASSERT_EQ(m_music.stack().back().kind, MusicRequestKind::Combat);
    EXPECT_EQ(m_music.currentMusicId(), 51);
    world.warMode = false;
    for (int i = 0; i < MusicSystem::kMaintenanceEvery; ++i)
        m_music.updateMusic();
    EXPECT_EQ(m_music.stack().size(), 1u);
    EXPECT_EQ(m_music.currentMusicId(), 20);
}

TEST_F(MusicSelection, SwitchingOffClosesThePieceAndStartsNothingUntilAskedAgain)
{
    m_music.toggleMusic(false);
    EXPECT_FALSE(m_midi.isOpen());
    EXPECT_EQ(m_music.playMusic(9, 1, 1), 1);
    EXPECT_FALSE(m_midi.isOpen());
    m_music.toggleMusic(true);
    EXPECT_EQ(m_music.currentMusicId(), 4) << "the id stays as it was";
}

// The real synthesizer: a short piece ends, its completion comes back through
// the poster, and the notification plays the next piece of the rotation.
TEST(MusicCompletion, AFinishedMidiPieceStartsTheNextOfTheRotation)
{
    platform::FakeClock clock(5000);
    platform::ScopedClock guard(clock);
    fixture::ClientDirectory client;
    const std::string piece = fixture::midiFile({ { 0, 48, 64, 100 } }, 96, 500000, 0);
    client.write("music/oldvar01.mid", piece);
    client.write("music/create1.mid", piece);
    platform::forgetDirectoryCache();
    platform::NullAudioDevice device(44100, false);
    auto midi = platform::createMidiPlayer(device, platform::defaultSoundFontPath());
    ASSERT_TRUE(midi->isAvailable());
    MusicSystem music;
    std::atomic<int> posted { 0 };
    music.setNotifyPoster([&posted] { ++posted; });
    music.initMusic(&device, midi.get());
    music.queueServerMusic(1, 1); // a one-shot of id 1
    music.queueServerMusic(kNoMusic, 1);
    music.queueServerMusic(0, 0);
    music.setRotationId(1);
    clock.advance(MusicSystem::kGuardMs);
    ASSERT_EQ(music.playMusic(0, 1, 1), 1);
    const int before = posted.load();
    std::vector<int16_t> heard;
    ASSERT_TRUE(test::mixUntilHeard(device, 441, heard));
    for (int i = 0; i < 100 && posted.load() == before; ++i)
        device.mixFrames(441);
    ASSERT_EQ(posted.load(), before + 1) << "a quarter note at 120 beats a minute ends within a second of its start";
    clock.advance(MusicSystem::kGuardMs);
    music.onMusicNotify();
    EXPECT_EQ(music.currentMusicId(), 1);
    EXPECT_EQ(music.rotationId(), 2);
    music.shutdownMusic();
}

} // namespace
