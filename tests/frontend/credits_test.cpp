// The credits roll: its file, its song cycle, its pace and its end; and the
// text query's reply.

#include "front_end_test_support.h"

#include "audio/music_player.h"
#include "frontend/credits_screen.h"
#include "gfx/gump_art.h"
#include "gump/input_control.h"
#include "platform/file_system.h"
#include "platform/headless/null_audio_device.h"
#include "platform/midi_player.h"
#include "protocol/text_query_reply.h"
#include "support/packet_tap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using front_end_test::Screens;

class CreditsFile : public ::testing::Test {
protected:
    CreditsFile() { creditDefaults() = CreditDefaults {}; }
    ~CreditsFile() override { creditDefaults() = CreditDefaults {}; }

    std::vector<CreditLine> lines;
    IntCycle songs;
};

TEST_F(CreditsFile, CommandLinesSetColourFontAndSongsForTheLinesBelow)
{
    parseCreditsText("! color #ff0000 font 1 song 3\nFirst\nSecond\n\n! color 255 font 2 song 9\nThird\n", lines, songs);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, u"First");
    EXPECT_EQ(lines[0].colour, 0x7C00) << "red";
    EXPECT_EQ(lines[0].font, 1);
    EXPECT_EQ(lines[1].colour, 0x7C00) << "carried over";
    EXPECT_EQ(lines[2].text, u"") << "an empty line is a line";
    EXPECT_EQ(lines[3].colour, 0x001F) << "a decimal 0xRRGGBB";
    EXPECT_EQ(lines[3].font, 2);
    ASSERT_EQ(songs.count(), 2);
    EXPECT_EQ(songs.current(), 3);
}

TEST_F(CreditsFile, DefaultsStayForLaterFilesAndPlainColoursDoNot)
{
    parseCreditsText("! defaultcolor -1234 defaultfont 2\nA\n! color #00ff00\nB\n", lines, songs);
    EXPECT_EQ(lines[0].colour, -1234) << "a negative number as it is";
    lines.clear();
    parseCreditsText("C\n", lines, songs);
    EXPECT_EQ(lines[0].colour, -1234);
    EXPECT_EQ(lines[0].font, 2);
}

TEST_F(CreditsFile, AFontOutsideTheThreeFontsIsTheNearest)
{
    parseCreditsText("! font 7\nA\n! font -2\nB\n! defaultfont 99\nC\n", lines, songs);
    EXPECT_EQ(lines[0].font, 2);
    EXPECT_EQ(lines[1].font, 0);
    EXPECT_EQ(lines[2].font, 2);
}

TEST_F(CreditsFile, UnknownWordsAreSkippedAndAKeywordWithoutValueEndsTheLine)
{
    parseCreditsText("! sparkle color #0000ff song\nA\n", lines, songs);
    EXPECT_EQ(lines[0].colour, 0x001F);
    EXPECT_EQ(songs.count(), 0);
}

TEST(SongCycle, GoesRoundAndAnEmptyCycleStaysPut)
{
    IntCycle empty;
    EXPECT_EQ(empty.next(), 0);
    EXPECT_EQ(empty.next(), 0);
    EXPECT_EQ(empty.current(), 0);
    IntCycle songs;
    songs.push(4);
    songs.push(5);
    songs.push(6);
    EXPECT_EQ(songs.next(), 5);
    EXPECT_EQ(songs.next(), 6);
    EXPECT_EQ(songs.next(), 4) << "after the third the first again";
    for (int i = 0; i < 40; ++i)
        songs.push(i);
    EXPECT_EQ(songs.count(), IntCycle::kCapacity);
}

class CreditsRoll : public Screens {
protected:
    CreditsRoll() { creditDefaults() = CreditDefaults {}; }
};

TEST_F(CreditsRoll, AFileOfCommandsOnlyGivesNoRoll)
{
    client.write("credits.dat", "! color #ffffff\n! song 2\n");
    CreditsScreen screen;
    EXPECT_FALSE(screen.run());
    EXPECT_EQ(shell.messagesTaken, 0);
}

TEST_F(CreditsRoll, TheFirstLineComesUpAfterThirtySteps)
{
    client.write("credits.dat", "Hello\nWorld\n");
    CreditsScreen screen;
    ASSERT_TRUE(screen.load());
    for (int i = 0; i < 29; ++i)
        screen.step();
    EXPECT_EQ(screen.offset(), -1);
    screen.step();
    EXPECT_EQ(screen.offset(), 0) << "its top at the bottom edge";
    for (int i = 0; i < 15; ++i)
        screen.step();
    // The line is drawn in its colour where it has risen to (its glyphs
    // begin six rows below the line's top, 465).
    int32_t inked = 0;
    const std::vector<uint16_t>& picture = screen.picture();
    for (int32_t y = 465; y < 480; ++y)
        for (int32_t x = 0; x < CreditsScreen::kScreenWidth; ++x)
            inked += picture[size_t(y) * CreditsScreen::kScreenWidth + size_t(x)] == 0x7777;
    EXPECT_GT(inked, 10);
}

TEST_F(CreditsRoll, ALateStepCatchesUp)
{
    client.write("credits.dat", "Hello\n");
    CreditsScreen screen;
    ASSERT_TRUE(screen.load());
    screen.step();
    int32_t at = screen.offset();
    screen.step();
    EXPECT_EQ(screen.offset() - at, 1) << "one pixel a step at the usual pace";
    // One picture takes 100 ms to show: the next step moves by the three
    // steps owed, one more than usual.
    shell.onPresent = [this] {
        clock.advance(100);
        shell.onPresent = nullptr;
    };
    screen.step();
    at = screen.offset();
    screen.step();
    EXPECT_EQ(screen.offset() - at, 3);
}

TEST_F(CreditsRoll, AKeyEndsTheRollAndTheMenuBackgroundIsDrawn)
{
    client.write("credits.dat", "Hello\nWorld\n");
    shell.inputs = { CreditsInput::Other, CreditsInput::EndRoll };
    CreditsScreen screen;
    EXPECT_TRUE(screen.run());
    EXPECT_TRUE(screen.isDone());
    EXPECT_EQ(screen.picture()[size_t(200) * 640 + 300], getGumpArtPixel(CreditsScreen::kMenuBackgroundArt, 300, 200));
    EXPECT_EQ(shell.endedWith, -1);
}

TEST_F(CreditsRoll, ClosingTheWindowEndsTheProgramWithCodeOne)
{
    client.write("credits.dat", "Hello\n");
    shell.inputs = { CreditsInput::Close };
    CreditsScreen screen;
    EXPECT_TRUE(screen.run());
    EXPECT_EQ(shell.endedWith, 1);
}

TEST_F(CreditsRoll, TheRollEndsWhenTheLastLineLeavesTheTop)
{
    client.write("credits.dat", "Only\n");
    CreditsScreen screen;
    EXPECT_TRUE(screen.run());
    // 30 steps to come up, 480 + 18 to cross and leave.
    EXPECT_EQ(screen.firstLine(), 1);
}

// The pieces the roll asks for, by file name; opening always succeeds.
class PieceRecorder final : public platform::MidiPlayer {
public:
    bool isAvailable() const override { return true; }
    bool open(const std::string& path) override
    {
        opened.push_back(path.substr(path.rfind('/') + 1));
        m_open = true;
        return true;
    }
    bool play(std::function<void()>) override { return m_open; }
    bool isOpen() const override { return m_open; }
    bool isPlaying() const override { return false; }
    void close() override { m_open = false; }
    bool supportsVolume() const override { return false; }
    uint32_t volume() const override { return 0; }
    void setVolume(uint32_t) override { }

    std::vector<std::string> opened;

private:
    bool m_open = false;
};

struct SongsCase {
    const char* name;
    const char* file;
    // The pieces opened while the roll runs, after the end of the first.
    std::vector<uint16_t> played;
};

class CreditsSongs : public CreditsRoll, public testing::WithParamInterface<SongsCase> {
protected:
    CreditsSongs()
    {
        for (uint16_t id = 0; id < kMusicIdLimit; ++id) {
            if (const char* name = midiFileName(id))
                client.write(std::string("music/") + name, "MThd");
        }
        platform::forgetDirectoryCache();
        musicSystem().initMusic(&device, &midi);
    }
    ~CreditsSongs() override { musicSystem().shutdownMusic(); }

    platform::NullAudioDevice device { 44100, false };
    PieceRecorder midi;
};

TEST_P(CreditsSongs, TheEndOfAPiecePlaysOnlyTheFilesSongs)
{
    client.write("credits.dat", GetParam().file);
    shell.inputs = { CreditsInput::MusicEnded, CreditsInput::MusicEnded, CreditsInput::EndRoll };
    midi.opened.clear();
    CreditsScreen screen;
    ASSERT_TRUE(screen.run());
    std::vector<std::string> expected;
    for (uint16_t id : GetParam().played)
        expected.push_back(midiFileName(id));
    EXPECT_EQ(midi.opened, expected);
}

INSTANTIATE_TEST_SUITE_P(Credits, CreditsSongs,
    testing::Values(SongsCase { "NoSongsStaySilent", "Hello\n", {} },
        SongsCase { "OneSongIsKeptOn", "! song 3\nHello\n", { 3 } },
        SongsCase { "TwoSongsTakeTurns", "! song 3 song 5\nHello\n", { 3, 5, 3 } }),
    [](const testing::TestParamInfo<SongsCase>& caseInfo) { return std::string(caseInfo.param.name); });

// Text query reply ------------------------------------------------------------------

class TextQuery : public Screens { };

TEST_F(TextQuery, CancelStillSendsTheTextWithButtonZero)
{
    test::PacketTap tap;
    InputControl entry(0, 0, EntrySize { 100, 20, false }, int32_t(EntryMode::Text), 30, 1, 1, true, false);
    entry.setNarrowText("hi");
    ASSERT_TRUE(sendTextQueryReply(0x01020304, 9, &entry, TextQueryButton::Cancel));
    const std::vector<std::vector<uint8_t>> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (std::vector<uint8_t> { 0xAC, 0, 15, 1, 2, 3, 4, 0, 9, 0, 0, 3, 'h', 'i', 0 }));
}

TEST_F(TextQuery, ANumberIsSentAsItsDecimalText)
{
    test::PacketTap tap;
    InputControl entry(0, 0, EntrySize { 100, 20, false }, int32_t(EntryMode::Number), 30, 1, 1, true, false);
    entry.setValue(42);
    ASSERT_TRUE(sendTextQueryReply(7, 1, &entry, TextQueryButton::Ok));
    const std::vector<std::vector<uint8_t>> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (std::vector<uint8_t> { 0xAC, 0, 15, 0, 0, 0, 7, 0, 1, 1, 0, 3, '4', '2', 0 }));
}

} // namespace
