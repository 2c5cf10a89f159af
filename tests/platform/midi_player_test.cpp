// MIDI through the synthesizer, rendered offline on the null device: a piece
// the test writes sounds, lasts as long as it should, and reports its end
// once; what cannot play is refused. The soundfont and a piece's instruments
// load on the player's own thread, and the mixer hears silence until the
// piece starts.

#include "fixtures/midi_writer.h"
#include "platform/headless/null_audio_device.h"
#include "platform/midi_player.h"
#include "support/synth_listening.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kStep = 441;

class MidiRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Two notes, a quarter each at 120 beats a minute: the piece ends at 0.5 s.
        m_piece = m_dir.write("piece.mid",
            fixture::midiFile({ { 0, 96, 60, 110 }, { 96, 96, 67, 110 } }, 192, 500000, 0));
        m_player = platform::createMidiPlayer(m_device, platform::defaultSoundFontPath());
        ASSERT_TRUE(m_player->isAvailable()) << "the General MIDI soundfont package is missing";
    }

    test::TempDir m_dir;
    std::string m_piece;
    platform::NullAudioDevice m_device { kRate, false };
    std::unique_ptr<platform::MidiPlayer> m_player;
    std::atomic<int> m_finished { 0 };
};

TEST_F(MidiRender, APieceSoundsForItsLengthAndReportsItsEndOnce)
{
    ASSERT_TRUE(m_player->open(m_piece));
    ASSERT_TRUE(m_player->play([this] { ++m_finished; }));
    EXPECT_TRUE(m_player->isPlaying());
    std::vector<int16_t> out;
    ASSERT_TRUE(test::mixUntilHeard(m_device, kStep, out)) << "the piece starts once its instruments are loaded";
    // Counted from the first step that sounds.
    uint32_t frames = kStep;
    uint32_t endFrame = 0;
    while (frames < 2 * kRate) {
        m_device.mixFrames(kStep);
        frames += kStep;
        if (m_finished.load() && !endFrame)
            endFrame = frames;
    }
    const std::vector<int16_t> rest = m_device.takeCaptured();
    out.insert(out.end(), rest.begin(), rest.end());
    EXPECT_EQ(m_finished.load(), 1);
    EXPECT_FALSE(m_player->isPlaying());
    // The end is noticed within a hundredth of a second of 0.5 s.
    EXPECT_GE(endFrame, kRate / 2);
    EXPECT_LE(endFrame, kRate / 2 + 2 * kStep);
    double energy = 0;
    for (size_t i = 0; i < kRate; ++i) // the first half second, both channels
        energy += double(out[i]) * out[i];
    EXPECT_GT(std::sqrt(energy / kRate), 200.0) << "the notes are heard";
}

TEST_F(MidiRender, ClosingAPlayingPieceReportsItsEnd)
{
    ASSERT_TRUE(m_player->open(m_piece));
    ASSERT_TRUE(m_player->play([this] { ++m_finished; }));
    m_device.mixFrames(4410);
    m_player->close();
    EXPECT_EQ(m_finished.load(), 1);
    m_device.mixFrames(kRate);
    EXPECT_EQ(m_finished.load(), 1);
    EXPECT_FALSE(m_player->isOpen());
}

TEST_F(MidiRender, VolumeScalesTheSynthesizer)
{
    m_player->setVolume(0);
    ASSERT_TRUE(m_player->open(m_piece));
    ASSERT_TRUE(m_player->play(nullptr));
    m_device.setCapture(true);
    m_device.mixFrames(kRate / 4);
    // Silence, but for the synthesizer's dither of one step.
    for (int16_t s : m_device.takeCaptured())
        ASSERT_LE(std::abs(s), 1);
}

TEST_F(MidiRender, WhatIsNotAMidiFileIsRefused)
{
    EXPECT_FALSE(m_player->open(m_dir.write("noise.mid", "RIFF....not music")));
    EXPECT_FALSE(m_player->open(m_dir.file("missing.mid")));
    EXPECT_FALSE(m_player->play(nullptr));
}

TEST(MidiPlayer, WithoutASoundfontItIsNotAvailable)
{
    platform::NullAudioDevice device(kRate, false);
    test::TempDir dir;
    auto player = platform::createMidiPlayer(device, dir.file("none.sf2"));
    EXPECT_FALSE(player->isAvailable());
    EXPECT_FALSE(player->open(dir.write("a.mid", fixture::midiFile({ { 0, 10, 60, 100 } }, 96, 500000, 0))));
}

} // namespace
