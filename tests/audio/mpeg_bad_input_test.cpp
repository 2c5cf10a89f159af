// Damaged streams: truncated, random bytes behind a good header, flipped bits
// in real frames. The decoder must end, stay within its buffers (the
// sanitizer build checks), and give finite samples, never more than the
// stream's frames can hold.

#include "audio/mpeg_decoder.h"
#include "fixtures/mpeg_layer1_writer.h"
#include "mpeg_reference.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

enum class Source { Layer3Stereo, Layer3LowRateMono, Layer2Stereo, Layer1Stereo };

const std::string& sourceStream(Source source)
{
    static test::TempDir dir;
    static const std::string layer3
        = test::makeEncodedFile(dir, 44100, 2, "0.5 sine 440 sine 3000 gain -6", "lame --quiet -b 128 -m j {in} {out}");
    static const std::string layer3Mono
        = test::makeEncodedFile(dir, 22050, 1, "0.5 sine 100-5000 gain -6", "lame --quiet -V 5 -m m {in} {out}");
    static const std::string layer2
        = test::makeEncodedFile(dir, 48000, 2, "0.5 sine 500 gain -6", "twolame --quiet -b 160 -m j {in} {out}");
    static const std::string layer1 = test::writeLayer1Stream(44100, 2, 20, true);
    switch (source) {
    case Source::Layer3Stereo:
        return layer3;
    case Source::Layer3LowRateMono:
        return layer3Mono;
    case Source::Layer2Stereo:
        return layer2;
    default:
        return layer1;
    }
}

enum class Damage { Truncate, RandomBody, FlipBits, OnesBody };

struct BadCase {
    std::string name;
    Source source;
    Damage damage;
    size_t amount; // bytes kept, bytes of body, or flips per thousand bits
    uint32_t seed;
};

std::string damaged(const BadCase& c)
{
    const std::string& original = sourceStream(c.source);
    std::mt19937 random(c.seed);
    switch (c.damage) {
    case Damage::Truncate:
        return original.substr(0, std::min(c.amount, original.size()));
    case Damage::RandomBody: {
        std::string out = original.substr(0, 4);
        for (size_t i = 0; i < c.amount; ++i)
            out.push_back(static_cast<char>(random()));
        return out;
    }
    case Damage::OnesBody:
        return original.substr(0, 4) + std::string(c.amount, '\xFF');
    case Damage::FlipBits: {
        std::string out = original;
        const size_t bits = (out.size() - 4) * 8;
        const size_t flips = bits * c.amount / 1000;
        for (size_t i = 0; i < flips; ++i) {
            const size_t bit = 32 + random() % bits;
            out[bit / 8] = static_cast<char>(out[bit / 8] ^ (0x80 >> (bit % 8)));
        }
        return out;
    }
    }
    return original;
}

class MpegBadInput : public ::testing::TestWithParam<BadCase> { };

TEST_P(MpegBadInput, EndsWithinBoundsAndFinite)
{
    const std::string stream = damaged(GetParam());
    ASSERT_GE(stream.size(), 4u);
    // The smallest frame is 24 bytes (layer III at 8 kbit/s and 24 kHz); no
    // frame gives more than 1,152 sample frames.
    const size_t bound = (stream.size() / 24 + 1) * 2304;
    for (bool fixed16 : { false, true }) {
        const std::vector<float> out = test::decodeAllFloat(stream, fixed16);
        EXPECT_LE(out.size(), bound);
        for (float v : out)
            ASSERT_TRUE(std::isfinite(v));
    }
    MpegAudioDecoder decoder;
    if (decoder.open(reinterpret_cast<const uint8_t*>(stream.data()), static_cast<uint32_t>(stream.size())) == 0) {
        // Rewinding a damaged stream and reading again also ends.
        std::vector<int16_t> buffer(1 << 16);
        while (decoder.readSamples(buffer) == buffer.size()) { }
        decoder.rewind();
        while (decoder.readSamples(buffer) == buffer.size()) { }
    }
}

std::vector<BadCase> badCases()
{
    const std::pair<Source, const char*> sources[] = {
        { Source::Layer3Stereo, "Layer3" },
        { Source::Layer3LowRateMono, "Layer3LowRate" },
        { Source::Layer2Stereo, "Layer2" },
        { Source::Layer1Stereo, "Layer1" },
    };
    std::vector<BadCase> cases;
    for (const auto& [source, name] : sources) {
        const std::string n = name;
        cases.push_back({ n + "_HeaderOnly", source, Damage::Truncate, 4, 0 });
        cases.push_back({ n + "_TruncatedInSideInformation", source, Damage::Truncate, 15, 0 });
        cases.push_back({ n + "_TruncatedMidFrame", source, Damage::Truncate, 300, 0 });
        cases.push_back({ n + "_TruncatedLastFrame", source, Damage::Truncate, 5000, 0 });
        cases.push_back({ n + "_RandomBody", source, Damage::RandomBody, 3000, 17 });
        cases.push_back({ n + "_AllOnesBody", source, Damage::OnesBody, 3000, 0 });
        for (uint32_t seed = 1; seed <= 4; ++seed)
            cases.push_back({ n + "_FlippedBits" + std::to_string(seed), source, Damage::FlipBits, 2, seed });
        cases.push_back({ n + "_ManyFlippedBits", source, Damage::FlipBits, 50, 99 });
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Streams, MpegBadInput, ::testing::ValuesIn(badCases()),
    [](const ::testing::TestParamInfo<BadCase>& param) { return param.param.name; });

} // namespace
