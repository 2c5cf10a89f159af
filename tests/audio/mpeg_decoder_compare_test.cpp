// Decodes files made by real encoders with our decoder and with the reference
// decoder and compares the two: on the float filter every file kind must reach
// 80 dB SNR, and its 16-bit output must stay within one step of the
// reference's rounded output. Layer III's fixed-point filter is measured too.

#include "audio/mpeg_decoder.h"
#include "fixtures/mpeg_layer1_writer.h"
#include "mpeg_reference.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

struct CompareCase {
    const char* name;
    int rate;
    int channels;
    const char* signal; // sox synth effects
    const char* encoder; // command with {in} and {out}
    int layer;
};

// Samples per channel that the decoder skips at the start of a stream.
size_t primingSamples(int layer)
{
    return layer == 1 ? 545 : (layer == 2 ? 481 : 1105);
}

// The comparison table, printed when the test program ends: the SNR of our
// float output against the reference's; the largest difference of our 16-bit
// output on the float filter from the reference's 16-bit output; and for
// layer III, whose default is the 16-bit fixed-point filter, that filter's
// SNR and its largest difference from the float filter's 16-bit output.
struct Summary {
    struct Row {
        double snr = 0.0;
        int worst = 0;
        double fixedSnr = 0.0;
        int fixedWorst = -1;
    };
    std::map<std::string, Row> rows;
    ~Summary()
    {
        if (rows.empty())
            return;
        std::printf("\n%-34s %9s %13s %15s %15s\n", "file kind", "float SNR", "float 16-bit", "fixed-point SNR",
            "fixed vs float");
        std::printf("%-34s %9s %13s %15s %15s\n", "", "(dB)", "vs reference", "(dB)", "16-bit output");
        for (const auto& [name, row] : rows) {
            if (row.fixedWorst < 0)
                std::printf("%-34s %9.1f %9d LSB %15s %15s\n", name.c_str(), row.snr, row.worst, "-", "-");
            else
                std::printf("%-34s %9.1f %9d LSB %15.1f %11d LSB\n", name.c_str(), row.snr, row.worst, row.fixedSnr,
                    row.fixedWorst);
        }
    }
};
Summary gSummary;

class MpegDecoderCompare : public ::testing::TestWithParam<CompareCase> { };

std::string makeFile(const test::TempDir& dir, const CompareCase& c)
{
    if (c.layer == 1)
        return test::writeLayer1Stream(c.rate, c.channels, 60, c.signal[0] == 'j');
    return test::makeEncodedFile(dir, c.rate, c.channels, c.signal, c.encoder);
}

TEST_P(MpegDecoderCompare, MatchesReferenceDecoder)
{
    const CompareCase& c = GetParam();
    test::TempDir dir;
    const std::string bytes = makeFile(dir, c);
    ASSERT_FALSE(bytes.empty());
    const test::ReferenceDecode reference = test::referenceDecode(bytes);
    ASSERT_TRUE(reference.ok);
    ASSERT_EQ(reference.channels, c.channels);

    const std::vector<float> ours = test::decodeAllFloat(bytes);
    const size_t skip = primingSamples(c.layer) * static_cast<size_t>(c.channels);
    ASSERT_GT(reference.floats.size(), skip);
    const size_t count = std::min(ours.size(), reference.floats.size() - skip);
    ASSERT_GT(count, reference.floats.size() / 2);
    const double snr = test::signalToNoise(reference.floats.data() + skip, ours.data(), count);
    gSummary.rows[c.name].snr = snr;
    EXPECT_GE(snr, 80.0);

    const std::vector<int16_t> ours16 = test::decodeAll16(bytes);
    ASSERT_EQ(ours16.size(), ours.size());
    int worst = 0;
    size_t worstAt = 0;
    for (size_t i = 0; i < count && skip + i < reference.samples.size(); ++i) {
        const int difference = std::abs(static_cast<int>(ours16[i]) - reference.samples[skip + i]);
        if (difference > worst) {
            worst = difference;
            worstAt = i;
        }
    }
    gSummary.rows[c.name].worst = worst;
    EXPECT_LE(worst, 1) << "at sample " << worstAt;

    if (c.layer == 3) {
        // The fixed-point filter is coarser (its middle output sample keeps
        // only the high halves of its products), but must follow the same signal.
        const std::vector<float> fixed = test::decodeAllFloat(bytes, true);
        const std::vector<int16_t> fixed16 = test::decodeAll16(bytes, true);
        ASSERT_EQ(fixed.size(), ours.size());
        Summary::Row& row = gSummary.rows[c.name];
        row.fixedSnr = test::signalToNoise(reference.floats.data() + skip, fixed.data(), count);
        row.fixedWorst = 0;
        for (size_t i = 0; i < fixed16.size(); ++i)
            row.fixedWorst = std::max(row.fixedWorst, std::abs(fixed16[i] - ours16[i]));
        EXPECT_GE(row.fixedSnr, 45.0);
    }
}

const CompareCase kCases[] = {
    { "Layer3_Cbr128_JointStereo_44k", 44100, 2, "1.5 sine 440 sine 1250 gain -6", "lame --quiet -b 128 -m j {in} {out}", 3 },
    { "Layer3_Cbr192_Stereo_48k_Sweep", 48000, 2, "1.5 sine 100-12000 sine 300 gain -6", "lame --quiet -b 192 -m s {in} {out}", 3 },
    { "Layer3_Vbr_JointStereo_44k_Noise", 44100, 2, "1.5 pinknoise sine 700 gain -8", "lame --quiet -V 2 -m j {in} {out}", 3 },
    { "Layer3_Cbr64_Mono_32k", 32000, 1, "1.5 sine 200-6000 gain -6", "lame --quiet -b 64 -m m {in} {out}", 3 },
    { "Layer3_Transients_44k", 44100, 2, "0.08 whitenoise gain -10 pad 0 0.17 repeat 6", "lame --quiet -b 160 -m j {in} {out}", 3 },
    { "Layer3_Lsf_22k_JointStereo", 22050, 2, "1.5 sine 300 sine 2000 gain -6", "lame --quiet -b 64 -m j {in} {out}", 3 },
    { "Layer3_Lsf_24k_Vbr_Stereo", 24000, 2, "1.5 pinknoise gain -10", "lame --quiet -V 4 -m s {in} {out}", 3 },
    { "Layer3_Lsf_16k_Mono", 16000, 1, "1.5 sine 100-7000 gain -6", "lame --quiet -b 32 -m m {in} {out}", 3 },
    { "Layer3_Lsf_Transients_22k_Mono", 22050, 1, "0.08 whitenoise gain -10 pad 0 0.17 repeat 6", "lame --quiet -b 48 -m m {in} {out}", 3 },
    { "Layer2_Stereo_44k_192", 44100, 2, "1.5 sine 440 sine 3000 gain -6", "twolame --quiet -b 192 -m s {in} {out}", 2 },
    { "Layer2_JointStereo_48k_64", 48000, 2, "1.5 sine 300 sine 900 gain -6", "twolame --quiet -b 64 -m j {in} {out}", 2 },
    { "Layer2_JointStereo_44k_128_Noise", 44100, 2, "1.5 pinknoise gain -10", "twolame --quiet -b 128 -m j {in} {out}", 2 },
    { "Layer2_Mono_32k_48", 32000, 1, "1.5 sine 100-8000 gain -6", "twolame --quiet -b 48 -m m {in} {out}", 2 },
    { "Layer2_Lsf_22k_Stereo", 22050, 2, "1.5 sine 500 sine 1500 gain -6", "twolame --quiet -b 64 -m s {in} {out}", 2 },
    { "Layer2_Lsf_16k_Mono", 16000, 1, "1.5 pinknoise gain -10", "twolame --quiet -b 32 -m m {in} {out}", 2 },
    { "Layer1_Stereo_44k", 44100, 2, "s", "", 1 },
    { "Layer1_JointStereo_48k", 48000, 2, "j", "", 1 },
    { "Layer1_Mono_32k", 32000, 1, "s", "", 1 },
};

INSTANTIATE_TEST_SUITE_P(Files, MpegDecoderCompare, ::testing::ValuesIn(kCases),
    [](const ::testing::TestParamInfo<CompareCase>& param) { return std::string(param.param.name); });

} // namespace
