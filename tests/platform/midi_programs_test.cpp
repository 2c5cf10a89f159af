// What the MIDI player reads from a piece before it plays: the programs its
// program changes select, with the bank in force, and the channels that sound
// before choosing one; a damaged file gives what was read before the damage.

#include "fixtures/midi_writer.h"
#include "platform/media/midi_programs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using platform::MidiProgramChange;
using platform::MidiProgramUse;
using platform::scanMidiPrograms;
using Bytes = std::vector<uint8_t>;

Bytes be32(uint32_t v) { return { uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v) }; }

void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

Bytes track(const Bytes& events)
{
    Bytes chunk = { 'M', 'T', 'r', 'k' };
    append(chunk, be32(uint32_t(events.size())));
    append(chunk, events);
    return chunk;
}

// A format 1 file of the given track bodies (deltas and events).
Bytes midiFile(const std::vector<Bytes>& tracks)
{
    Bytes file = { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, uint8_t(tracks.size()), 0, 96 };
    for (const Bytes& events : tracks)
        append(file, track(events));
    return file;
}

MidiProgramUse scan(const Bytes& file) { return scanMidiPrograms(file); }

std::vector<int> soundingChannels(const MidiProgramUse& use)
{
    std::vector<int> channels;
    for (int channel = 0; channel < 16; ++channel) {
        if (use.soundsBeforeProgramChange[size_t(channel)])
            channels.push_back(channel);
    }
    return channels;
}

struct ScanCase {
    const char* name;
    Bytes file;
    std::vector<MidiProgramChange> changes;
    std::vector<int> soundingFirst;
};

class MidiProgramScan : public testing::TestWithParam<ScanCase> { };

TEST_P(MidiProgramScan, FindsTheProgramsAndTheChannelsThatSoundFirst)
{
    const ScanCase& c = GetParam();
    const MidiProgramUse use = scan(c.file);
    EXPECT_EQ(use.changes, c.changes);
    EXPECT_EQ(soundingChannels(use), c.soundingFirst);
}

std::vector<ScanCase> scanCases()
{
    const std::string written = fixture::midiFile({ { 0, 96, 60, 100 } }, 96, 500000, 73);
    return {
        { "ProgramBeforeTheNotes", Bytes(written.begin(), written.end()), { { 0, 0, 73 } }, {} },
        // Bank 1 on channel 2, then its program at tick 10; another track
        // plays channel 2 at tick 5 and the drums at 0.
        { "TracksMeetInTime",
            midiFile({ { 0, 0xB2, 0, 1, 10, 0xC2, 5, 0, 0xFF, 0x2F, 0 }, { 0, 0x99, 36, 100, 5, 0x92, 60, 100 } }),
            { { 2, 1, 5 } }, { 2, 9 } },
        // Running status: two program changes under one status byte.
        { "RunningStatus", midiFile({ { 0, 0xC3, 7, 4, 8, 0, 0x93, 60, 0 } }), { { 3, 0, 7 }, { 3, 0, 8 } }, {} },
        // Within one tick the file's order decides; a velocity of 0 is no note.
        { "NoteBeforeProgramInOneTick", midiFile({ { 0, 0x94, 60, 90, 0, 0xC4, 1, 0, 0x95, 60, 0, 0, 0xC5, 2 } }),
            { { 4, 0, 1 }, { 5, 0, 2 } }, { 4 } },
        // Meta and system-exclusive events pass; running status goes on.
        { "MetaAndSysexBetween",
            midiFile({ { 0, 0xC6, 9, 0, 0xFF, 0x01, 2, 'h', 'i', 0, 0xF0, 2, 0x7E, 0xF7, 0, 10 } }),
            { { 6, 0, 9 }, { 6, 0, 10 } }, {} },
        { "ProgramRepeatedOnce", midiFile({ { 0, 0xC7, 3, 10, 0xC7, 3 } }), { { 7, 0, 3 } }, {} },
        { "NotAMidiFile", Bytes { 'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E' }, {}, {} },
        // Data bytes with no status: the track ends there.
        { "DataWithoutStatus", midiFile({ { 0, 60, 100, 0, 0xC0, 1 } }), {}, {} },
        // A length past the end, and a quantity of five bytes.
        { "MetaLengthPastTheEnd", midiFile({ { 0, 0xC1, 4, 0, 0xFF, 0x01, 0x7F, 'x' } }), { { 1, 0, 4 } }, {} },
        { "OverlongQuantity", midiFile({ { 0, 0xC1, 4, 0x81, 0x81, 0x81, 0x81, 0x01, 0xC1, 5 } }), { { 1, 0, 4 } },
            {} },
    };
}

INSTANTIATE_TEST_SUITE_P(Files, MidiProgramScan, testing::ValuesIn(scanCases()),
    [](const testing::TestParamInfo<ScanCase>& row) { return std::string(row.param.name); });

// Cut short at every byte, a file gives a part of what the whole gives.
TEST(MidiProgramScanDamage, EveryCutGivesPartOfTheWhole)
{
    const Bytes whole
        = midiFile({ { 0, 0xB2, 0, 1, 10, 0xC2, 5, 0, 0xFF, 0x2F, 0 }, { 0, 0x99, 36, 100, 5, 0x92, 60, 100 } });
    const MidiProgramUse full = scan(whole);
    for (size_t length = 0; length < whole.size(); ++length) {
        const MidiProgramUse part = scan(Bytes(whole.begin(), whole.begin() + ptrdiff_t(length)));
        for (const MidiProgramChange& change : part.changes)
            EXPECT_NE(std::find(full.changes.begin(), full.changes.end(), change), full.changes.end()) << length;
        // A channel may only seem to sound first when its program change was cut off.
        for (int channel : soundingChannels(part))
            EXPECT_TRUE(channel == 2 || full.soundsBeforeProgramChange[size_t(channel)]) << length;
    }
}

} // namespace
