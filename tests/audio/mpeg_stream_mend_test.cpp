// The stream handling around damaged and tagged data: tags in front, a
// resynchronisation on the next confirmed frame after damage, and float
// output that keeps to [-1, 1) whatever a damaged frame sums to.

#include "audio/mpeg_decoder.h"
#include "mpeg_reference.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const uint8_t* streamBytesOf(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

const std::string& stereoStream()
{
    static test::TempDir dir;
    static const std::string stream
        = test::makeEncodedFile(dir, 44100, 2, "0.5 sine 440 gain -1", "lame --quiet -b 128 -m j {in} {out}");
    return stream;
}

struct TagCase {
    const char* name;
    std::string bytes;
    uint32_t length;
};

class Id3v2Tags : public ::testing::TestWithParam<TagCase> { };

TEST_P(Id3v2Tags, LengthCoversEveryTag)
{
    const TagCase& c = GetParam();
    EXPECT_EQ(mpeg::id3v2TagLength(streamBytesOf(c.bytes), uint32_t(c.bytes.size())), c.length);
}

std::string tag(uint8_t flags, uint32_t body)
{
    std::string t = std::string("ID3\x04\x00", 5) + char(flags);
    t += char((body >> 21) & 0x7F);
    t += char((body >> 14) & 0x7F);
    t += char((body >> 7) & 0x7F);
    t += char(body & 0x7F);
    return t + std::string(body + ((flags & 0x10) ? 10 : 0), '\xFF');
}

const TagCase kTagCases[] = {
    { "None", std::string("\xFF\xFB\x90\x64", 4), 0 },
    { "One", tag(0, 300) + "rest", 310 },
    { "WithFooter", tag(0x10, 20) + "rest", 40 },
    { "TwoInARow", tag(0, 5) + tag(0, 128) + "rest", 15 + 138 },
    { "BodyPastTheEnd", tag(0, 300).substr(0, 50), 50 },
    { "SizeByteWithTopBitIsNoTag", std::string("ID3\x04\x00\x00\x80\x00\x00\x00rest", 14), 0 },
    { "TooShortForAHeader", "ID3\x04", 0 },
};

INSTANTIATE_TEST_SUITE_P(Tags, Id3v2Tags, ::testing::ValuesIn(kTagCases),
    [](const ::testing::TestParamInfo<TagCase>& param) { return std::string(param.param.name); });

TEST(MpegResync, ALoneHeaderInGarbageIsPassedOverForTheNextConfirmedFrame)
{
    const std::string& original = stereoStream();
    const std::vector<size_t> frames = test::frameOffsets(original);
    ASSERT_GT(frames.size(), 12u);
    std::string damaged = original;
    damaged.insert(frames[6], std::string("\xFF\xFB\x90\x64", 4) + std::string(33, '\x55'));
    EXPECT_EQ(mpeg::findFrameSync(streamBytesOf(damaged), uint32_t(damaged.size()), uint32_t(frames[6]), nullptr),
        int64_t(frames[6] + 37));

    MpegAudioDecoder decoder;
    decoder.setFrameConfirmation(true);
    ASSERT_EQ(decoder.open(streamBytesOf(damaged), uint32_t(damaged.size())), 0);
    std::vector<int16_t> out(1 << 20);
    const size_t before = decoder.readSamples(out);
    EXPECT_EQ(before, 6 * 2304 - 2 * 1105) << "the frames before the garbage, nothing of it";
    ASSERT_TRUE(decoder.resynchronise());
    const size_t after = decoder.readSamples(std::span<int16_t>(out).subspan(before));
    EXPECT_EQ(before + after, test::decodeAll16(original, true).size());
    EXPECT_FALSE(decoder.resynchronise()) << "nothing is left after the last frame";
}

TEST(MpegFloatOutput, StaysWithinTheRangeOfSixteenBitSamplesOnDamagedData)
{
    // Garbage bodies behind good headers sum far past full scale.
    std::mt19937 random(7);
    const std::string& original = stereoStream();
    for (int round = 0; round < 4; ++round) {
        std::string damaged = original;
        for (size_t i = 40; i < damaged.size(); i += 1 + random() % 7)
            damaged[i] = char(random());
        MpegAudioDecoder decoder;
        ASSERT_EQ(decoder.open(streamBytesOf(damaged), uint32_t(damaged.size())), 0);
        std::vector<float> out(1 << 20);
        const size_t got = decoder.readFloatSamples(out);
        for (size_t i = 0; i < got; ++i) {
            ASSERT_GE(out[i], -1.0f) << i;
            ASSERT_LT(out[i], 1.0f) << i;
        }
    }
}

} // namespace
