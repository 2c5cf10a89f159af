// Layer III decoding on hand-made frames: every count read from the side
// information is bounded, the count-1 region stops where it must, the bit
// reservoir copes with a stream cut in the middle, and the 16-bit hand-over
// turns an overflow into -32768, as the fixed-point path always has.

#include "audio/mpeg_decoder.h"
#include "audio/mpeg_layer3.h"
#include "fixtures/mpeg_frame_writer.h"
#include "mpeg_reference.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> randomBytes(uint32_t seed, size_t count)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

// Runs the layer III decoder over a single frame and hands it back to the test.
struct SingleFrame {
    mpeg::Layer3Decoder layer3;
    mpeg::SynthesisFilter synthesis;
    int16_t pcm[2304] = {};
    float pcmFloat[2304] = {};

    bool decode(const std::string& frame)
    {
        mpeg::FrameReader reader;
        reader.attach(reinterpret_cast<const uint8_t*>(frame.data()), static_cast<uint32_t>(frame.size()));
        const uint32_t word = reader.getBits(16) << 16 | reader.getBits(16);
        mpeg::FrameHeader header;
        if (!mpeg::parseFrameHeader(word, header))
            return false;
        layer3.reset();
        synthesis.clear();
        layer3.decodeFrame(reader, header, synthesis, mpeg::SynthesisPath::Float, pcm, pcmFloat);
        return true;
    }
};

test::Layer3FrameFields monoFrame()
{
    test::Layer3FrameFields f;
    f.channels = 1;
    f.mode = 3;
    return f;
}

TEST(MpegLayer3, HandOverOverflowBecomesMostNegative)
{
    EXPECT_EQ(mpeg::handOverSample(2.0f), -32768);
    EXPECT_EQ(mpeg::handOverSample(2.5f), -32768);
    EXPECT_EQ(mpeg::handOverSample(-3.0f), -32768);
    EXPECT_EQ(mpeg::handOverSample(1.9999f), 32766);
    EXPECT_EQ(mpeg::handOverSample(-2.0f), -32768);
    EXPECT_EQ(mpeg::handOverSample(1.0f), 16384);
    // Ties go to even.
    EXPECT_EQ(mpeg::handOverSample(0.5f / 16384.0f), 0);
    EXPECT_EQ(mpeg::handOverSample(1.5f / 16384.0f), 2);
    EXPECT_EQ(mpeg::handOverSample(-2.5f / 16384.0f), -2);
}

TEST(MpegLayer3, Count1QuadrupleRunningPastTheEndIsDropped)
{
    test::Layer3FrameFields f = monoFrame();
    for (auto& gr : f.granules) {
        gr[0].count1TableSelect = 1; // four bits per quadruple
        gr[0].part23Length = 10;
    }
    SingleFrame frame;
    ASSERT_TRUE(frame.decode(test::writeLayer3Frame(f, std::vector<uint8_t>(400, 0xFF))));
    EXPECT_EQ(frame.layer3.decodedLineCount(0), 8) << "the third quadruple ended at bit 12 of 10";

    for (auto& gr : f.granules)
        gr[0].part23Length = 12;
    ASSERT_TRUE(frame.decode(test::writeLayer3Frame(f, std::vector<uint8_t>(400, 0xFF))));
    EXPECT_EQ(frame.layer3.decodedLineCount(0), 12);
}

TEST(MpegLayer3, Count1RegionStopsAtTheLastWholeQuadruple)
{
    test::Layer3FrameFields f = monoFrame();
    for (auto& gr : f.granules) {
        gr[0].bigValues = 287; // lines 0..573, table 0 reads nothing
        gr[0].count1TableSelect = 1;
        gr[0].part23Length = 4095;
    }
    SingleFrame frame;
    ASSERT_TRUE(frame.decode(test::writeLayer3Frame(f, std::vector<uint8_t>(400, 0x00))));
    EXPECT_EQ(frame.layer3.decodedLineCount(0), 574);
}

TEST(MpegLayer3, BigValuesAreBoundedTo288Pairs)
{
    test::Layer3FrameFields f = monoFrame();
    for (auto& gr : f.granules) {
        gr[0].bigValues = 511;
        gr[0].tableSelect[0] = gr[0].tableSelect[1] = gr[0].tableSelect[2] = 1;
        gr[0].part23Length = 4095;
    }
    SingleFrame frame;
    ASSERT_TRUE(frame.decode(test::writeLayer3Frame(f, randomBytes(3, 400))));
    EXPECT_EQ(frame.layer3.decodedLineCount(0), 576);
}

TEST(MpegLayer3, FirstFrameDecodesFromItsOwnMainDataWhateverItsMainDataBegin)
{
    // The bytes main_data_begin points back to are not there: the frame's
    // own main data is used, as if main_data_begin were 0.
    test::Layer3FrameFields f = monoFrame();
    for (auto& gr : f.granules) {
        gr[0].globalGain = 200;
        gr[0].count1TableSelect = 1;
        gr[0].part23Length = 400;
    }
    SingleFrame fromStart;
    ASSERT_TRUE(fromStart.decode(test::writeLayer3Frame(f, randomBytes(5, 400))));
    f.mainDataBegin = 300;
    SingleFrame pointingBack;
    ASSERT_TRUE(pointingBack.decode(test::writeLayer3Frame(f, randomBytes(5, 400))));
    EXPECT_TRUE(std::equal(std::begin(fromStart.pcmFloat), std::end(fromStart.pcmFloat), pointingBack.pcmFloat));
    EXPECT_TRUE(std::any_of(std::begin(fromStart.pcmFloat), std::end(fromStart.pcmFloat), [](float v) { return v != 0.0f; }));
}

TEST(MpegLayer3, WindowSwitchingWithoutABlockTypeSilencesTheRestOfTheFrame)
{
    // Side information after such a granule cannot be trusted: decoding it
    // (or values left from an earlier frame) would play noise.
    test::Layer3FrameFields f = monoFrame();
    test::Layer3GranuleFields& bad = f.granules[1][0];
    bad.windowSwitching = true;
    bad.blockType = 0;
    bad.count1TableSelect = 1; // zero bits: quadruples of +1
    bad.part23Length = 2000;
    SingleFrame frame;
    ASSERT_TRUE(frame.decode(test::writeLayer3Frame(f, std::vector<uint8_t>(400, 0x00))));
    EXPECT_TRUE(std::all_of(std::begin(frame.pcmFloat), std::end(frame.pcmFloat), [](float v) { return v == 0.0f; }));
    // The same granule with a block type plays.
    bad.blockType = 1;
    ASSERT_TRUE(frame.decode(test::writeLayer3Frame(f, std::vector<uint8_t>(400, 0x00))));
    EXPECT_TRUE(std::any_of(std::begin(frame.pcmFloat), std::end(frame.pcmFloat), [](float v) { return v != 0.0f; }));
}

// Frames with side information no encoder writes: decoding must stay within
// its arrays, end, and give finite samples of the right count.
struct CorruptCase {
    const char* name;
    std::function<void(test::Layer3FrameFields&)> edit;
    uint8_t fill; // main data byte, or 0 for random bytes
};

class CorruptSideInfo : public ::testing::TestWithParam<CorruptCase> { };

TEST_P(CorruptSideInfo, DecodesWithinBounds)
{
    const CorruptCase& c = GetParam();
    test::Layer3FrameFields f;
    c.edit(f);
    std::string stream;
    const int frames = 6;
    for (int i = 0; i < frames; ++i)
        stream += test::writeLayer3Frame(f, c.fill ? std::vector<uint8_t>(1500, c.fill) : randomBytes(i + 1, 1500));
    const size_t perFrame = f.lowSamplingFrequency ? 576 : 1152;
    const size_t expected = frames * perFrame * static_cast<size_t>(f.channels) - 1105u * static_cast<size_t>(f.channels);
    for (bool fixed16 : { false, true }) {
        const std::vector<float> out = test::decodeAllFloat(stream, fixed16);
        EXPECT_EQ(out.size(), expected);
        for (float v : out)
            ASSERT_TRUE(std::isfinite(v));
    }
}

void everyGranule(test::Layer3FrameFields& f, const std::function<void(test::Layer3GranuleFields&)>& edit)
{
    for (auto& gr : f.granules) {
        for (auto& g : gr)
            edit(g);
    }
}

const CorruptCase kCorruptCases[] = {
    { "BigValuesAbove288", [](test::Layer3FrameFields& f) {
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.bigValues = 511;
             g.tableSelect[0] = g.tableSelect[1] = g.tableSelect[2] = 15;
             g.part23Length = 4095;
         });
     }, 0 },
    { "RegionCountsBeyondTheBands", [](test::Layer3FrameFields& f) {
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.bigValues = 288;
             g.region0Count = 15;
             g.region1Count = 7;
             g.tableSelect[0] = 1;
             g.tableSelect[1] = 13;
             g.tableSelect[2] = 24;
             g.part23Length = 4095;
         });
     }, 0 },
    { "LargestMagnitudes", [](test::Layer3FrameFields& f) {
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.bigValues = 288;
             g.tableSelect[0] = g.tableSelect[1] = g.tableSelect[2] = 31;
             g.globalGain = 255;
             g.part23Length = 4095;
         });
     }, 0xFF },
    { "TablesWithoutCodes", [](test::Layer3FrameFields& f) {
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.bigValues = 200;
             g.tableSelect[0] = 4;
             g.tableSelect[1] = 14;
             g.part23Length = 2000;
         });
     }, 0 },
    { "WindowSwitchingWithBlockType0", [](test::Layer3FrameFields& f) {
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.windowSwitching = true;
             g.blockType = 0;
             g.bigValues = 100;
             g.part23Length = 3000;
         });
     }, 0 },
    { "ShortBlocksLargestGains", [](test::Layer3FrameFields& f) {
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.windowSwitching = true;
             g.blockType = 2;
             g.subblockGain[0] = g.subblockGain[1] = g.subblockGain[2] = 7;
             g.scalefacCompress = 15;
             g.scalefacScale = 1;
             g.bigValues = 288;
             g.tableSelect[0] = g.tableSelect[1] = 24;
             g.part23Length = 4095;
         });
     }, 0xFF },
    { "MixedBlocks", [](test::Layer3FrameFields& f) {
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.windowSwitching = true;
             g.blockType = 2;
             g.mixedBlock = true;
             g.scalefacCompress = 11;
             g.bigValues = 150;
             g.tableSelect[0] = 7;
             g.tableSelect[1] = 16;
             g.part23Length = 2500;
         });
     }, 0 },
    { "MainDataBeginBeyondTheReservoir", [](test::Layer3FrameFields& f) {
         f.mainDataBegin = 511;
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.bigValues = 100;
             g.tableSelect[0] = 9;
             g.part23Length = 1500;
         });
     }, 0 },
    { "Part23LengthBeyondTheFrame", [](test::Layer3FrameFields& f) {
         f.bitRateIndex = 1;
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.bigValues = 288;
             g.tableSelect[0] = g.tableSelect[1] = g.tableSelect[2] = 24;
             g.part23Length = 4095;
         });
     }, 0 },
    { "IntensityStereo", [](test::Layer3FrameFields& f) {
         f.modeExtension = 1;
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.scalefacCompress = 15;
             g.bigValues = 60;
             g.tableSelect[0] = 5;
             g.part23Length = 900;
         });
     }, 0 },
    { "IntensityAndMidSideShortBlocks", [](test::Layer3FrameFields& f) {
         f.modeExtension = 3;
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.windowSwitching = true;
             g.blockType = 2;
             g.scalefacCompress = 15;
             g.bigValues = 40;
             g.tableSelect[0] = 6;
             g.part23Length = 800;
         });
     }, 0 },
    { "LowRateIntensityStereo", [](test::Layer3FrameFields& f) {
         f.lowSamplingFrequency = true;
         f.bitRateIndex = 8;
         f.modeExtension = 3;
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.scalefacCompress = 511;
             g.bigValues = 80;
             g.tableSelect[0] = 10;
             g.part23Length = 1200;
         });
     }, 0 },
    { "LowRateMixedBlocks", [](test::Layer3FrameFields& f) {
         f.lowSamplingFrequency = true;
         f.bitRateIndex = 8;
         everyGranule(f, [](test::Layer3GranuleFields& g) {
             g.windowSwitching = true;
             g.blockType = 2;
             g.mixedBlock = true;
             g.scalefacCompress = 450;
             g.bigValues = 120;
             g.tableSelect[0] = 12;
             g.tableSelect[1] = 20;
             g.part23Length = 1500;
         });
     }, 0 },
    { "Count1Only", [](test::Layer3FrameFields& f) {
         everyGranule(f, [](test::Layer3GranuleFields& g) { g.part23Length = 4095; });
     }, 0 },
};

INSTANTIATE_TEST_SUITE_P(Frames, CorruptSideInfo, ::testing::ValuesIn(kCorruptCases),
    [](const ::testing::TestParamInfo<CorruptCase>& param) { return std::string(param.param.name); });

TEST(MpegLayer3Stream, StreamCutMidwayDecodesFromTheFirstFramesOwnMainData)
{
    test::TempDir dir;
    const std::string whole = test::makeEncodedFile(dir, 44100, 2, "1 sine 440 sine 990 gain -6", "lame --quiet -b 96 -m j {in} {out}");
    ASSERT_FALSE(whole.empty());
    const std::vector<size_t> frames = test::frameOffsets(whole);
    // The first frame after the third whose main data starts in earlier frames.
    size_t cut = 0;
    for (size_t i = 3; i < frames.size() && !cut; ++i) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(whole.data()) + frames[i];
        const size_t side = (p[1] & 1) ? 4 : 6;
        if (((p[side] << 1) | (p[side + 1] >> 7)) > 0)
            cut = i;
    }
    ASSERT_NE(cut, 0u);
    const std::string tail = whole.substr(frames[cut]);
    const std::vector<float> full = test::decodeAllFloat(whole);
    const std::vector<float> part = test::decodeAllFloat(tail);
    ASSERT_EQ(part.size(), (frames.size() - cut) * 2304 - 2 * 1105);
    // Once the reservoir, the overlap and the filter memory have refilled,
    // both decodes agree.
    const size_t offset = cut * 2304;
    double worst = 0.0;
    for (size_t i = 3 * 2304; i < part.size(); ++i)
        worst = std::max(worst, static_cast<double>(std::fabs(part[i] - full[offset + i])));
    EXPECT_LT(worst, 1e-5);
}

} // namespace
