// Fuzzes the stream handling the music source relies on: the tag length and
// frame search stay inside the data, and a confirmed-frame decoder read with
// resynchronisation after every short read ends and keeps its float output
// within [-1, 1).

#include "audio/mpeg_decoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint32_t length = static_cast<uint32_t>(size);
    const uint32_t tag = mpeg::id3v2TagLength(data, length);
    if (tag > length)
        std::abort();
    const int64_t frame = mpeg::findFrameSync(data, length, tag, nullptr);
    if (frame >= 0 && (frame < int64_t(tag) || frame + 4 > int64_t(length)))
        std::abort();
    if (frame < 0)
        return 0;
    auto decoder = std::make_unique<MpegAudioDecoder>();
    decoder->setFrameConfirmation(true);
    if (decoder->open(data + frame, length - uint32_t(frame)) != 0)
        return 0;
    static float samples[4608];
    // Each resynchronisation moves past the header that failed.
    for (size_t rounds = 0; rounds < size + 16; ++rounds) {
        const size_t got = decoder->readFloatSamples(std::span<float>(samples, 4608));
        for (size_t i = 0; i < got; ++i) {
            if (!(samples[i] >= -1.0f && samples[i] < 1.0f))
                std::abort();
        }
        if (got < 4608 && !decoder->resynchronise())
            break;
    }
    return 0;
}
