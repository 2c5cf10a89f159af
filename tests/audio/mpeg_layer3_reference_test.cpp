// Layer III features that common encoders never write (mixed blocks,
// intensity stereo), checked against the reference decoder on valid frames
// made here: random quantised lines, Huffman-coded with the standard's
// tables, with exact part2_3_length values.

#include "audio/mpeg_decoder.h"
#include "audio/mpeg_tables.h"
#include "fixtures/mpeg_frame_writer.h"
#include "mpeg_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

struct FeatureCase {
    const char* name;
    bool mixed;
    bool shortBlocks; // window switching, with `blockType`
    int modeExtension; // joint stereo: bit 1 mid-side, bit 0 intensity
    bool lowSamplingFrequency = false;
    // MPEG-1 scalefac_compress; 15 gives 3-bit scale factors from band 11 up,
    // so that intensity positions include 7 (no intensity: mid-side or plain).
    uint32_t scalefacCompress = 9;
    // The last line the right channel codes when intensity is on; every band
    // above it is intensity coded.
    int rightLastLine = 60;
    // Low sampling frequencies: bits of the right channel's intensity positions.
    int lowRatePositionBits = 2;
    uint32_t blockType = 2;
};

// Writes the scale factors and Huffman-coded lines of one granule and
// channel to `main`, and sets its part2_3_length and big_values. Scale
// factors above `largest` are written as `largest`, in the same bits.
void writeChannel(test::MpegBitWriter& main, test::Layer3GranuleFields& g, std::mt19937& random, int lastLine, bool shortBlock,
    int lowRateSlen, uint32_t largest)
{
    const size_t start = main.bitCount();
    auto putScaleFactor = [&](int slen) {
        main.put(std::min(static_cast<uint32_t>(random()) & ((1u << slen) - 1), largest), slen);
    };
    const int slen1 = lowRateSlen >= 0 ? 0 : mpeg::kSlen[0][g.scalefacCompress];
    const int slen2 = lowRateSlen >= 0 ? 0 : mpeg::kSlen[1][g.scalefacCompress];
    if (lowRateSlen > 0) {
        // Long blocks, 21 scale factors of lowRateSlen bits (partitions of 7, 7 and 7).
        for (int band = 0; band < 21; ++band)
            putScaleFactor(lowRateSlen);
    } else if (lowRateSlen == 0) {
    } else if (!shortBlock) {
        for (int band = 0; band < 21; ++band) {
            const int slen = band < 11 ? slen1 : slen2;
            putScaleFactor(slen);
        }
    } else {
        if (g.mixedBlock) {
            for (int band = 0; band < 8; ++band)
                putScaleFactor(slen1);
        }
        for (int band = g.mixedBlock ? 3 : 0; band < 12; ++band) {
            const int slen = band < 6 ? slen1 : slen2;
            for (int w = 0; w < 3; ++w)
                putScaleFactor(slen);
        }
    }
    const mpeg::HuffmanCodeTable& table = mpeg::kHuffmanCodeTables[13];
    g.bigValues = static_cast<uint32_t>(lastLine / 2);
    std::uniform_int_distribution<int> magnitude(-4, 4);
    for (uint32_t pair = 0; pair < g.bigValues; ++pair) {
        const int x = magnitude(random);
        const int y = magnitude(random);
        const int index = std::abs(x) * table.size + std::abs(y);
        main.put(table.codes[index], table.lengths[index]);
        if (x)
            main.put(x < 0, 1);
        if (y)
            main.put(y < 0, 1);
    }
    g.part23Length = static_cast<uint32_t>(main.bitCount() - start);
}

// `largestRightScaleFactor` caps the right channel's scale factors, that is
// its intensity positions where intensity is on.
std::string makeStream(const FeatureCase& c, uint32_t largestRightScaleFactor = 15)
{
    std::mt19937 random(1234);
    std::string stream;
    const bool lsf = c.lowSamplingFrequency;
    for (int frame = 0; frame < 24; ++frame) {
        test::Layer3FrameFields f;
        f.lowSamplingFrequency = lsf;
        f.bitRateIndex = 14; // the highest rate: room for every granule's data in its own frame
        f.mode = c.modeExtension ? 1 : 0;
        f.modeExtension = c.modeExtension;
        test::MpegBitWriter main;
        for (int gr = 0; gr < (lsf ? 1 : 2); ++gr) {
            for (int ch = 0; ch < 2; ++ch) {
                test::Layer3GranuleFields& g = f.granules[gr][ch];
                g.globalGain = 175;
                g.scalefacCompress = c.scalefacCompress;
                int lowRateSlen = -1;
                if (lsf) {
                    // Left: no scale factors. Right with intensity: 2 x (36s + 6s + s)
                    // gives s-bit scale factors in three partitions of seven; the
                    // added 1 picks the (2^-1/2)^n intensity table.
                    const bool intensityRight = ch == 1 && (c.modeExtension & 1);
                    const int bits = c.lowRatePositionBits;
                    g.scalefacCompress = intensityRight ? static_cast<uint32_t>(2 * 43 * bits + 1) : 0;
                    lowRateSlen = intensityRight ? bits : 0;
                }
                g.tableSelect[0] = g.tableSelect[1] = g.tableSelect[2] = 13;
                g.region0Count = 7;
                g.region1Count = 7;
                if (c.shortBlocks) {
                    g.windowSwitching = true;
                    g.blockType = c.blockType;
                    g.mixedBlock = c.mixed;
                    g.subblockGain[1] = 1;
                    g.subblockGain[2] = 2;
                }
                // With intensity stereo the right channel carries only low lines.
                const int lastLine = (c.modeExtension & 1) && ch == 1 ? c.rightLastLine : 220;
                writeChannel(main, g, random, lastLine, c.shortBlocks && c.blockType == 2, lowRateSlen, ch == 1 ? largestRightScaleFactor : 15);
            }
        }
        std::vector<uint8_t> bytes(main.bytes().begin(), main.bytes().end());
        stream += test::writeLayer3Frame(f, bytes);
    }
    return stream;
}

class MpegLayer3Features : public ::testing::TestWithParam<FeatureCase> { };

TEST_P(MpegLayer3Features, MatchReferenceDecoder)
{
    const std::string stream = makeStream(GetParam());
    const test::ReferenceDecode reference = test::referenceDecode(stream);
    ASSERT_TRUE(reference.ok);
    const std::vector<float> ours = test::decodeAllFloat(stream);
    const size_t skip = 2 * 1105;
    ASSERT_EQ(ours.size() + skip, reference.floats.size());
    EXPECT_GE(test::signalToNoise(reference.floats.data() + skip, ours.data(), ours.size()), 80.0);
}

const FeatureCase kFeatureCases[] = {
    { "LongBlocks", false, false, 0 },
    { "ShortBlocks", false, true, 0 },
    { "MixedBlocks", true, true, 0 },
    // The mixed flag with start and stop blocks: the two lowest subbands use
    // the normal window, the others the block type's.
    { "MixedStartBlocks", true, true, 0, false, 9, 60, 2, 1 },
    { "MixedStopBlocks", true, true, 0, false, 9, 60, 2, 3 },
    { "MidSide", false, false, 2 },
    { "Intensity", false, false, 1 },
    { "IntensityAndMidSide", false, false, 3 },
    { "IntensityShortBlocks", false, true, 1 },
    { "IntensityMixedBlocks", true, true, 3 },
    { "IntensityPosition7", false, false, 1, false, 15 },
    { "IntensityPosition7AndMidSide", false, false, 3, false, 15 },
    { "LowRateLongBlocks", false, false, 0, true },
    { "LowRateIntensity", false, false, 1, true },
    { "LowRateIntensityAndMidSide", false, false, 3, true },
    { "LowRateIntensityPosition7", false, false, 1, true, 9, 60, 3 },
    { "LowRateIntensityPosition7AndMidSide", false, false, 3, true, 9, 60, 3 },
};

INSTANTIATE_TEST_SUITE_P(Frames, MpegLayer3Features, ::testing::ValuesIn(kFeatureCases),
    [](const ::testing::TestParamInfo<FeatureCase>& param) { return std::string(param.param.name); });

// Positions 8..15 (4-bit scale factors in bands 0..10, all intensity coded
// here) have no usable ratio: some would divide by zero. They are not
// intensity coded, exactly as position 7.
TEST(MpegLayer3IntensityPositions, AboveSevenAreNotIntensityCoded)
{
    for (int modeExtension : { 1, 3 }) {
        const FeatureCase c { "", false, false, modeExtension, false, 14, 0 };
        const std::string stream = makeStream(c);
        const std::string sevens = makeStream(c, 7);
        ASSERT_NE(stream, sevens) << "the stream holds no position above 7";
        const std::vector<float> ours = test::decodeAllFloat(stream);
        EXPECT_EQ(ours, test::decodeAllFloat(sevens)) << "mode extension " << modeExtension;
        const test::ReferenceDecode reference = test::referenceDecode(sevens);
        ASSERT_TRUE(reference.ok);
        const size_t skip = 2 * 1105;
        ASSERT_EQ(ours.size() + skip, reference.floats.size());
        EXPECT_GE(test::signalToNoise(reference.floats.data() + skip, ours.data(), ours.size()), 80.0);
    }
}

} // namespace
