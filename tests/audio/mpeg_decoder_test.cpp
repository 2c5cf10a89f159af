// The decoder's stream handling: headers and frame lengths, opening, the
// priming skip, rewind, short reads on bad frames, and the refusal of frames
// that do not match the stream's first header.

#include "audio/mpeg_decoder.h"
#include "fixtures/mpeg_layer1_writer.h"
#include "mpeg_reference.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct HeaderCase {
    const char* name;
    uint32_t word;
    bool accepted;
    int layer;
    bool lowSamplingFrequency;
    int channels;
    uint32_t bitRate;
    uint32_t sampleRate;
    uint32_t frameLength;
};

class FrameHeaderTable : public ::testing::TestWithParam<HeaderCase> { };

TEST_P(FrameHeaderTable, ParsesOrRefuses)
{
    const HeaderCase& c = GetParam();
    mpeg::FrameHeader header;
    header.frameLength = 12345;
    ASSERT_EQ(mpeg::parseFrameHeader(c.word, header), c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(header.frameLength, 12345u) << "a refused header changes nothing";
        return;
    }
    EXPECT_EQ(header.layer, c.layer);
    EXPECT_EQ(header.lowSamplingFrequency, c.lowSamplingFrequency);
    EXPECT_EQ(header.channels, c.channels);
    EXPECT_EQ(header.bitRate, c.bitRate);
    EXPECT_EQ(header.sampleRate, c.sampleRate);
    EXPECT_EQ(header.frameLength, c.frameLength);
}

const HeaderCase kHeaderCases[] = {
    { "Layer3_44k_128_Stereo", 0xFFFB9000, true, 3, false, 2, 128, 44100, 413 },
    { "Layer3_44k_128_Padded", 0xFFFB9200, true, 3, false, 2, 128, 44100, 414 },
    { "Layer3_Lsf_22k_64_Mono", 0xFFF380C0, true, 3, true, 1, 64, 22050, 204 },
    { "Layer2_48k_64_JointStereo", 0xFFFD4440, true, 2, false, 2, 64, 48000, 188 },
    { "Layer2_Lsf_16k_32_Crc", 0xFFF44800, true, 2, true, 2, 32, 16000, 284 },
    { "Layer1_44k_384", 0xFFFFC000, true, 1, false, 2, 384, 44100, 412 },
    { "Layer1_44k_384_Padded", 0xFFFFC200, true, 1, false, 2, 384, 44100, 416 },
    { "Layer1_Lsf_24k_256_Mono", 0xFFF7E4C0, true, 1, true, 1, 256, 24000, 508 },
    { "NoSync", 0x7FFB9000, false, 0, false, 0, 0, 0, 0 },
    { "Mpeg25", 0xFFEB9000, false, 0, false, 0, 0, 0, 0 },
    { "FreeFormat", 0xFFFB0000, false, 0, false, 0, 0, 0, 0 },
    { "BitRateIndex15", 0xFFFBF000, false, 0, false, 0, 0, 0, 0 },
    { "SampleRateIndex3", 0xFFFB9C00, false, 0, false, 0, 0, 0, 0 },
    { "ReservedLayer", 0xFFF99000, false, 0, false, 0, 0, 0, 0 },
    { "Zero", 0x00000000, false, 0, false, 0, 0, 0, 0 },
};

INSTANTIATE_TEST_SUITE_P(Words, FrameHeaderTable, ::testing::ValuesIn(kHeaderCases),
    [](const ::testing::TestParamInfo<HeaderCase>& param) { return std::string(param.param.name); });

const uint8_t* bytesOf(const std::string& s)
{
    return reinterpret_cast<const uint8_t*>(s.data());
}

uint32_t sizeOf(const std::string& s)
{
    return static_cast<uint32_t>(s.size());
}

// Real files, made once for the tests of this program.
class EncodedFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new test::TempDir;
        s_stereo44 = test::makeEncodedFile(*s_dir, 44100, 2, "1 sine 440 sine 880 gain -6", "lame --quiet -b 128 -m j {in} {out}");
        s_mono22 = test::makeEncodedFile(*s_dir, 22050, 1, "1 sine 300 gain -6", "lame --quiet -b 32 -m m {in} {out}");
        // 48 kHz at 128 kbit/s never pads: every frame has the same length.
        s_stereo48 = test::makeEncodedFile(*s_dir, 48000, 2, "1 sine 500 gain -6", "lame --quiet -b 128 -m s {in} {out}");
        s_mono44 = test::makeEncodedFile(*s_dir, 44100, 1, "1 sine 500 gain -6", "lame --quiet -b 64 -m m {in} {out}");
        s_layer2 = test::makeEncodedFile(*s_dir, 44100, 2, "1 sine 600 gain -6", "twolame --quiet -b 192 {in} {out}");
        s_layer2Mono = test::makeEncodedFile(*s_dir, 22050, 1, "1 sine 600 gain -6", "twolame --quiet -b 32 -m m {in} {out}");
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override
    {
        for (const std::string* file : { &s_stereo44, &s_mono22, &s_stereo48, &s_mono44, &s_layer2, &s_layer2Mono })
            ASSERT_FALSE(file->empty()) << "the encoders could not make the test files";
    }

    static test::TempDir* s_dir;
    static std::string s_stereo44;
    static std::string s_mono22;
    static std::string s_stereo48;
    static std::string s_mono44;
    static std::string s_layer2;
    static std::string s_layer2Mono;
};

test::TempDir* EncodedFiles::s_dir = nullptr;
std::string EncodedFiles::s_stereo44;
std::string EncodedFiles::s_mono22;
std::string EncodedFiles::s_stereo48;
std::string EncodedFiles::s_mono44;
std::string EncodedFiles::s_layer2;
std::string EncodedFiles::s_layer2Mono;

TEST(MpegDecoderOpen, RefusesDataWithoutAHeader)
{
    MpegAudioDecoder decoder;
    const std::string wave = "RIFF\x24\x00\x00\x00WAVEfmt ";
    EXPECT_EQ(decoder.open(bytesOf(wave), sizeOf(wave)), -1);
    EXPECT_EQ(decoder.open(nullptr, 100), -1);
    const std::string tooShort = "\xFF\xFB\x90";
    EXPECT_EQ(decoder.open(bytesOf(tooShort), sizeOf(tooShort)), -1);
    int16_t pcm[64];
    EXPECT_EQ(decoder.readSamples(pcm), 0u);
    EXPECT_TRUE(decoder.endOfStream());
}

TEST_F(EncodedFiles, OpenReportsTheStream)
{
    MpegAudioDecoder decoder;
    ASSERT_EQ(decoder.open(bytesOf(s_stereo44), sizeOf(s_stereo44)), 0);
    EXPECT_EQ(decoder.rate(), 44100u);
    EXPECT_TRUE(decoder.isStereo());
    EXPECT_EQ(decoder.layer(), 3);
    EXPECT_EQ(decoder.pcmBytesPerFrame(), 4608u);
    EXPECT_FALSE(decoder.endOfStream());

    ASSERT_EQ(decoder.open(bytesOf(s_mono22), sizeOf(s_mono22)), 0);
    EXPECT_EQ(decoder.rate(), 22050u);
    EXPECT_FALSE(decoder.isStereo());
    EXPECT_EQ(decoder.pcmBytesPerFrame(), 1152u) << "layer III at the low rates delivers 576 samples per frame";

    ASSERT_EQ(decoder.open(bytesOf(s_layer2Mono), sizeOf(s_layer2Mono)), 0);
    EXPECT_EQ(decoder.layer(), 2);
    EXPECT_EQ(decoder.pcmBytesPerFrame(), 2304u);
}

TEST_F(EncodedFiles, FirstReadOfStereoLayer3SkipsTheFiltersDelay)
{
    const std::vector<size_t> frames = test::frameOffsets(s_stereo44);
    ASSERT_GT(frames.size(), 3u);
    MpegAudioDecoder decoder;
    ASSERT_EQ(decoder.open(bytesOf(s_stereo44), sizeOf(s_stereo44)), 0);
    uint8_t pcm[4608];
    // 2 x 2,210 bytes of the first frame are skipped: its last 47 sample
    // frames come first, then the second frame's.
    ASSERT_EQ(decoder.readPcm(pcm, 2), 2u);
    EXPECT_EQ(decoder.frameReader().nextFramePosition() / 8, frames[1]);
    ASSERT_EQ(decoder.readPcm(pcm, 186), 186u);
    EXPECT_EQ(decoder.frameReader().nextFramePosition() / 8, frames[1]);
    ASSERT_EQ(decoder.readPcm(pcm, 1), 1u);
    EXPECT_EQ(decoder.frameReader().nextFramePosition() / 8, frames[2]);
}

TEST_F(EncodedFiles, LowRateMonoPrimingSpansTwoFrames)
{
    const std::vector<size_t> frames = test::frameOffsets(s_mono22);
    MpegAudioDecoder decoder;
    ASSERT_EQ(decoder.open(bytesOf(s_mono22), sizeOf(s_mono22)), 0);
    uint8_t pcm[1152];
    // 2,210 bytes skipped of 1,152-byte frames: the read starts 1,058 bytes into the second frame.
    ASSERT_EQ(decoder.readPcm(pcm, 94), 94u);
    EXPECT_EQ(decoder.frameReader().nextFramePosition() / 8, frames[2]);
    ASSERT_EQ(decoder.readPcm(pcm, 1), 1u);
    EXPECT_EQ(decoder.frameReader().nextFramePosition() / 8, frames[3]);
}

TEST_F(EncodedFiles, RewindRestartsWithoutASecondPrimingSkip)
{
    const size_t frameCount = test::frameOffsets(s_stereo44).size();
    MpegAudioDecoder decoder;
    ASSERT_EQ(decoder.open(bytesOf(s_stereo44), sizeOf(s_stereo44)), 0);
    std::vector<int16_t> buffer(1 << 20);
    const size_t first = decoder.readSamples(buffer);
    EXPECT_EQ(first, frameCount * 2304 - 2 * 1105);
    EXPECT_TRUE(decoder.endOfStream());
    EXPECT_EQ(decoder.readSamples(buffer), 0u);

    decoder.rewind();
    EXPECT_FALSE(decoder.endOfStream());
    const size_t second = decoder.readSamples(buffer);
    EXPECT_EQ(second, frameCount * 2304);
}

TEST_F(EncodedFiles, BadHeaderMidStreamGivesAShortRead)
{
    std::string damaged = s_stereo48;
    const std::vector<size_t> frames = test::frameOffsets(damaged);
    ASSERT_GT(frames.size(), 10u);
    damaged[frames[5]] = 0; // no sync
    const std::vector<int16_t> intact = test::decodeAll16(s_stereo48, true);

    MpegAudioDecoder decoder;
    ASSERT_EQ(decoder.open(bytesOf(damaged), sizeOf(damaged)), 0);
    std::vector<int16_t> buffer(1 << 20);
    const size_t before = decoder.readSamples(buffer);
    EXPECT_EQ(before, 5 * 2304 - 2 * 1105) << "everything before the bad frame, nothing of it";
    EXPECT_FALSE(decoder.endOfStream());
    // The frame reader moved on by one frame; the frames after it decode.
    const size_t after = decoder.readSamples(std::span<int16_t>(buffer).subspan(before));
    EXPECT_EQ(after, (frames.size() - 6) * 2304);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + static_cast<long>(before), intact.begin()));
}

// A stream whose first frames are one kind followed by frames of another:
// the later frames are refused, never decoded with state set up for the first kind.
struct MixedCase {
    const char* name;
    int firstRate;
    int firstChannels;
    const char* firstEncoder; // null: layer I frames from the writer
    int secondRate;
    int secondChannels;
    const char* secondEncoder;
};

class MixedStreams : public ::testing::TestWithParam<MixedCase> { };

TEST_P(MixedStreams, LaterFramesOfAnotherKindAreRefused)
{
    const MixedCase& c = GetParam();
    test::TempDir dir;
    const std::string first = c.firstEncoder
        ? test::makeEncodedFile(dir, c.firstRate, c.firstChannels, "0.5 sine 440 gain -6", c.firstEncoder)
        : test::writeLayer1Stream(c.firstRate, c.firstChannels, 30, false);
    const std::string second
        = test::makeEncodedFile(dir, c.secondRate, c.secondChannels, "0.5 sine 700 gain -6", c.secondEncoder);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    const std::vector<float> alone = test::decodeAllFloat(first);
    const std::vector<float> mixed = test::decodeAllFloat(first + second);
    ASSERT_GE(mixed.size(), alone.size());
    EXPECT_TRUE(std::equal(alone.begin(), alone.end(), mixed.begin()));
    EXPECT_EQ(mixed.size(), alone.size()) << "nothing of the second stream is decoded";
}

const MixedCase kMixedCases[] = {
    { "Layer2ThenLayer3", 44100, 2, "twolame --quiet -b 192 {in} {out}", 44100, 2, "lame --quiet -b 128 {in} {out}" },
    { "Layer1ThenLayer3", 44100, 2, nullptr, 44100, 2, "lame --quiet -b 128 {in} {out}" },
    { "Layer3ThenLayer2", 44100, 2, "lame --quiet -b 128 {in} {out}", 44100, 2, "twolame --quiet -b 192 {in} {out}" },
    { "StereoThenMono", 44100, 2, "lame --quiet -b 128 {in} {out}", 44100, 1, "lame --quiet -b 64 -m m {in} {out}" },
    { "Mpeg1ThenLowRate", 44100, 2, "lame --quiet -b 128 {in} {out}", 22050, 2, "lame --quiet -b 64 {in} {out}" },
};

INSTANTIATE_TEST_SUITE_P(Streams, MixedStreams, ::testing::ValuesIn(kMixedCases),
    [](const ::testing::TestParamInfo<MixedCase>& param) { return std::string(param.param.name); });

TEST_F(EncodedFiles, Layer3GoesThroughTheFixedPointFilterUnlessToldOtherwise)
{
    MpegAudioDecoder decoder;
    ASSERT_EQ(decoder.open(bytesOf(s_stereo44), sizeOf(s_stereo44)), 0);
    std::vector<int16_t> samples(1 << 20);
    samples.resize(decoder.readSamples(samples));
    EXPECT_EQ(samples, test::decodeAll16(s_stereo44, true));
    EXPECT_NE(samples, test::decodeAll16(s_stereo44, false));
    // Layers I and II have only the float filter.
    EXPECT_EQ(test::decodeAll16(s_layer2, true), test::decodeAll16(s_layer2, false));
}

TEST_F(EncodedFiles, AudioSourceDeliversWholeSamples)
{
    MpegAudioDecoder decoder;
    ASSERT_EQ(decoder.open(bytesOf(s_mono44), sizeOf(s_mono44)), 0);
    std::vector<int16_t> samples(1000);
    EXPECT_EQ(decoder.readSamples(samples), 1000u);
    std::vector<float> floats(1000);
    EXPECT_EQ(decoder.readFloatSamples(floats), 1000u);
    for (float f : floats)
        EXPECT_LT(std::fabs(f), 1.0f);
}

} // namespace

// A frame decoded for a reader of floats holds no 16-bit samples of its own:
// 16-bit reads between float reads (one of them ending mid-sample) give
// exactly what a decoder that reads only 16-bit samples gives, and the
// floats what one that reads only floats gives.
TEST_F(EncodedFiles, FloatAndSixteenBitReadsOfOneStreamAgree)
{
    const std::vector<int16_t> only16 = test::decodeAll16(s_stereo44, false);
    const std::vector<float> onlyFloats = test::decodeAllFloat(s_stereo44);
    ASSERT_EQ(only16.size(), onlyFloats.size());
    MpegAudioDecoder decoder;
    decoder.setSynthesisPath(SynthesisPath::Float);
    ASSERT_EQ(decoder.open(bytesOf(s_stereo44), sizeOf(s_stereo44)), 0);
    size_t at = 0;
    for (uint32_t round = 0; at + 400 < only16.size(); ++round) {
        if (round % 2 == 0) {
            std::vector<float> part(301);
            ASSERT_EQ(decoder.readFloatSamples(part), part.size());
            for (size_t i = 0; i < part.size(); ++i)
                ASSERT_EQ(part[i], onlyFloats[at + i]) << "sample " << at + i;
            at += part.size();
        } else {
            uint8_t part[778];
            ASSERT_EQ(decoder.readPcm(part, 777), 777u);
            ASSERT_EQ(decoder.readPcm(part + 777, 1), 1u);
            for (size_t i = 0; i < sizeof part / 2; ++i) {
                const auto sample = static_cast<int16_t>(part[2 * i] | (part[2 * i + 1] << 8));
                ASSERT_EQ(sample, only16[at + i]) << "sample " << at + i;
            }
            at += sizeof part / 2;
        }
    }
}
