#pragma once
// Layer I and layer II decoding: bit allocation, scale factors and quantised
// samples are read from the frame reader, requantised in floats, and every
// block of 32 subband samples per channel goes through the float synthesis
// filter. Every allocation and scale-factor index the syntax can express is
// looked up in bounded tables.

#include "audio/mpeg_frame.h"
#include "audio/mpeg_synthesis.h"

#include <cstdint>

namespace mpeg {

// The MPEG-1 layer II allocation table for a stream: 0..3 for Tables 3-B.2a to 3-B.2d.
int layer2TableIndex(const FrameHeader& header);

// Each writes the frame's samples (384 or 1,152 sample frames) from the start
// of `pcm` and `pcmFloat`. The reader stands after the header and CRC word.
void decodeLayer1Frame(FrameReader& reader, const FrameHeader& header, SynthesisFilter& synthesis, int16_t* pcm,
    float* pcmFloat);
void decodeLayer2Frame(FrameReader& reader, const FrameHeader& header, SynthesisFilter& synthesis, int16_t* pcm,
    float* pcmFloat);

} // namespace mpeg
