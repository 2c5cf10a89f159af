// Fuzzes the MPEG audio decoder: the first byte picks the synthesis path,
// the output format and the read size; the rest is the stream. Every input
// is decoded to its end, rewound and decoded again.

#include "audio/mpeg_decoder.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t control = data[0];
    const uint8_t* stream = data + 1;
    const uint32_t streamSize = static_cast<uint32_t>(size - 1);
    auto decoder = std::make_unique<MpegAudioDecoder>();
    decoder->setSynthesisPath((control & 1) ? SynthesisPath::Fixed16 : SynthesisPath::Float);
    if (decoder->open(stream, streamSize) != 0)
        return 0;
    static int16_t samples[4608];
    static float floats[4608];
    const size_t chunk = 1 + (static_cast<size_t>(control >> 2) * 73) % 4608;
    for (int pass = 0; pass < 2; ++pass) {
        // Each read moves the frame reader by at least one header.
        for (size_t reads = 0; reads < streamSize + 16u && !decoder->endOfStream(); ++reads) {
            if (control & 2)
                decoder->readFloatSamples(std::span<float>(floats, chunk));
            else
                decoder->readSamples(std::span<int16_t>(samples, chunk));
        }
        decoder->rewind();
    }
    return 0;
}
