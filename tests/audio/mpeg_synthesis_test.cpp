// The synthesis filter bank on its float and 16-bit paths.

#include "audio/mpeg_synthesis.h"
#include "audio/mpeg_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// The filter as the standard writes it: a 1,024-value V vector shifted by 64
// per call, the matrixing, and the window D over the 512 values gathered from V.
class StandardSynthesis {
public:
    void run(const float* subbands, float* out)
    {
        for (int i = 1023; i >= 64; --i)
            m_v[i] = m_v[i - 64];
        for (int i = 0; i < 64; ++i) {
            double sum = 0.0;
            for (int k = 0; k < 32; ++k)
                sum += std::cos((16 + i) * (2 * k + 1) * M_PI / 64.0) * subbands[k];
            m_v[i] = sum;
        }
        double u[512];
        for (int i = 0; i < 8; ++i) {
            for (int j = 0; j < 32; ++j) {
                u[64 * i + j] = m_v[128 * i + j];
                u[64 * i + 32 + j] = m_v[128 * i + 96 + j];
            }
        }
        for (int j = 0; j < 32; ++j) {
            double sum = 0.0;
            for (int i = 0; i < 16; ++i)
                sum += u[j + 32 * i] * mpeg::synthesisWindow(j + 32 * i);
            out[j] = static_cast<float>(sum);
        }
    }

private:
    double m_v[1024] = {};
};

TEST(MpegSynthesis, ZerosGiveZerosOnBothPaths)
{
    mpeg::SynthesisFilter filter;
    filter.clear();
    const float zeros[64] = {};
    const int16_t fixedZeros[64] = {};
    int16_t pcm[64];
    float pcmFloat[64];
    for (int call = 0; call < 20; ++call) {
        filter.runFloat(zeros, 2, pcm, pcmFloat);
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(pcm[i], 0);
            ASSERT_EQ(pcmFloat[i], 0.0f);
        }
        filter.runFixed(fixedZeros, 2, pcm, pcmFloat);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(pcm[i], 0);
    }
}

TEST(MpegSynthesis, ConstantInSubbandZeroSettlesAtItsValueFromCall16)
{
    mpeg::SynthesisFilter filter;
    filter.clear();
    float input[32] = {};
    input[0] = 0.25f;
    int16_t pcm[32];
    float pcmFloat[32];
    for (int call = 1; call <= 24; ++call) {
        filter.runFloat(input, 1, pcm, pcmFloat);
        if (call < 16)
            continue;
        for (int i = 0; i < 32; ++i)
            ASSERT_EQ(pcm[i], 8192) << "call " << call << " sample " << i;
    }
}

TEST(MpegSynthesis, RingPositionRunsDownFromOne)
{
    mpeg::SynthesisFilter filter;
    filter.clear();
    EXPECT_EQ(filter.ringPosition(), 1);
    const float zeros[32] = {};
    int16_t pcm[32];
    float pcmFloat[32];
    const int expected[] = { 0, 15, 14, 13, 12 };
    for (int position : expected) {
        filter.runFloat(zeros, 1, pcm, pcmFloat);
        EXPECT_EQ(filter.ringPosition(), position);
    }
}

TEST(MpegSynthesis, FloatPathIsTheStandardsFilter)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-0.5f, 0.5f);
    mpeg::SynthesisFilter filter;
    filter.clear();
    StandardSynthesis standard;
    float input[32];
    int16_t pcm[32];
    float ours[32];
    float expected[32];
    for (int call = 0; call < 48; ++call) {
        for (float& v : input)
            v = value(random);
        filter.runFloat(input, 1, pcm, ours);
        standard.run(input, expected);
        for (int i = 0; i < 32; ++i)
            ASSERT_NEAR(ours[i], expected[i], 2e-6) << "call " << call << " sample " << i;
    }
}

TEST(MpegSynthesis, FixedPathFollowsTheFloatPath)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> value(-0.03f, 0.03f);
    mpeg::SynthesisFilter floatFilter;
    mpeg::SynthesisFilter fixedFilter;
    floatFilter.clear();
    fixedFilter.clear();
    float input[64];
    int16_t fixedInput[64];
    int16_t floatPcm[64];
    int16_t fixedPcm[64];
    float ignored[64];
    int worstMiddle = 0;
    int worstOthers = 0;
    for (int call = 0; call < 200; ++call) {
        for (int i = 0; i < 64; ++i) {
            fixedInput[i] = static_cast<int16_t>(std::lround(value(random) * 16384.0f));
            input[i] = fixedInput[i] / 16384.0f;
        }
        floatFilter.runFloat(input, 2, floatPcm, ignored);
        fixedFilter.runFixed(fixedInput, 2, fixedPcm, ignored);
        for (int i = 0; i < 64; ++i) {
            int& worst = i / 2 == 16 ? worstMiddle : worstOthers;
            worst = std::max(worst, std::abs(floatPcm[i] - fixedPcm[i]));
        }
    }
    // The 16-bit window keeps about 14 bits: a few steps.
    EXPECT_LE(worstOthers, 6);
    // The middle sample drops the low 16 bits of each of its eight products:
    // up to 8 x 65536 / 8192 steps.
    EXPECT_LE(worstMiddle, 64);
}

TEST(MpegSynthesis, FixedPathSaturates)
{
    mpeg::SynthesisFilter filter;
    filter.clear();
    int16_t input[32] = {};
    input[0] = 32767; // almost 2.0: the settled output would be about 65,536
    int16_t pcm[32];
    float pcmFloat[32];
    for (int call = 0; call < 20; ++call)
        filter.runFixed(input, 1, pcm, pcmFloat);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(pcm[i], 32767);
}

TEST(MpegSynthesis, FixedPathMirroredSumsWrapAt16Bits)
{
    // 20,000 + 20,000 wraps to -25,536, the sum of two inputs of -12,768;
    // their differences are 0 either way, so both filters run alike.
    mpeg::SynthesisFilter loud;
    mpeg::SynthesisFilter wrapped;
    loud.clear();
    wrapped.clear();
    int16_t loudInput[32] = {};
    int16_t wrappedInput[32] = {};
    loudInput[0] = loudInput[31] = 20000;
    wrappedInput[0] = wrappedInput[31] = -12768;
    int16_t loudPcm[32];
    int16_t wrappedPcm[32];
    float ignored[32];
    bool anySound = false;
    for (int call = 0; call < 20; ++call) {
        loud.runFixed(loudInput, 1, loudPcm, ignored);
        wrapped.runFixed(wrappedInput, 1, wrappedPcm, ignored);
        for (int i = 0; i < 32; ++i) {
            ASSERT_EQ(loudPcm[i], wrappedPcm[i]) << "call " << call << " sample " << i;
            anySound = anySound || loudPcm[i] != 0;
        }
    }
    EXPECT_TRUE(anySound);
}

TEST(MpegSynthesis, FloatPathClipsAndTruncates)
{
    mpeg::SynthesisFilter filter;
    filter.clear();
    float input[32] = {};
    input[0] = -4.0f;
    int16_t pcm[32];
    float pcmFloat[32];
    for (int call = 0; call < 20; ++call)
        filter.runFloat(input, 1, pcm, pcmFloat);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(pcm[i], -32768);
        EXPECT_LT(pcmFloat[i], -3.9f) << "the float output is not clipped";
    }
    // A settled value of -0.9 (in 16-bit steps) truncates toward zero.
    filter.clear();
    input[0] = -0.9f / 32768.0f;
    for (int call = 0; call < 20; ++call)
        filter.runFloat(input, 1, pcm, pcmFloat);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(pcm[i], 0);
}

} // namespace
