#pragma once
// What a standard MIDI file will ask of a synthesizer, read before it plays:
// every program change with the bank selected on its channel at that moment,
// and the channels that sound a note before their first program change (they
// play the channel's default program). The file comes from the game's data
// folder: every read is checked, and a damaged track gives what was read up
// to the damage. Any thread; no state.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

struct MidiProgramChange {
    uint8_t channel = 0;
    // The value of controller 0 (bank select) on the channel at the change.
    uint8_t bank = 0;
    uint8_t program = 0;
    bool operator==(const MidiProgramChange&) const = default;
};

struct MidiProgramUse {
    // Each distinct change once, in the order the player meets them.
    std::vector<MidiProgramChange> changes;
    std::array<bool, 16> soundsBeforeProgramChange {};
};

MidiProgramUse scanMidiPrograms(std::span<const uint8_t> file);

} // namespace platform
