#pragma once
// Listening to the synthesizer on the null device: a piece's instruments load
// on the MIDI player's own thread, and the mixer hears silence until the piece
// starts, so a test that counts frames from the start waits (in real time)
// for the first sound.

#include "platform/headless/null_audio_device.h"

#include <cstdint>
#include <vector>

namespace test {

// Mixes steps of `stepFrames`, waiting a millisecond after each silent one,
// until a step sounds (kept in `heard`, with capture left on); false after
// ten seconds of silence.
bool mixUntilHeard(platform::NullAudioDevice& device, uint32_t stepFrames, std::vector<int16_t>& heard);

} // namespace test
