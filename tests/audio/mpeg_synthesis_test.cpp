// The synthesis filter bank on its float and 16-bit paths.

#include "audio/mpeg_synthesis.h"
#include "audio/mpeg_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The 16-bit filter written out plainly, row-major memory and all: the 32
// products of the DCT and the window sums exact, their sums wrapping at 32
// bits, the middle sample keeping only the high halves of its products.
class FixedPointModel {
public:
    FixedPointModel()
    {
        double w[544];
        for (int r = 0; r <= 16; ++r) {
            for (int c = 0; c < 16; ++c)
                w[32 * r + c] = w[32 * r + 16 + c] = -32768.0 * mpeg::synthesisWindow(r + 32 * c);
        }
        for (int i = 0; i < 544; ++i) {
            m_t2[i] = static_cast<int32_t>(std::trunc((i % 2 == 0 ? -w[i] : w[i]) / 2.0));
            m_t1[i] = static_cast<int32_t>(std::trunc(-w[543 - i] / 2.0));
        }
        for (int r = 0; r < 16; ++r) {
            for (int k = 0; k < 16; ++k) {
                m_even[r][k] = static_cast<int>(16384.0 * std::cos((2 * k + 1) * r * M_PI / 32.0) + 0.5);
                m_odd[r][k] = static_cast<int>(16384.0 * std::cos((2 * k + 1) * (2 * r + 1) * M_PI / 64.0) + 0.5);
            }
        }
    }

    void run(const int16_t* x, int16_t* out)
    {
        m_position = (m_position + 15) % 16;
        const int p = m_position;
        int16_t* first = p % 2 ? m_half[1] : m_half[0];
        int16_t* second = p % 2 ? m_half[0] : m_half[1];
        const int firstSlot = p % 2 ? (p + 1) % 16 : p;
        const int secondSlot = p % 2 ? p : p + 1;
        const int16_t* b = p % 2 ? m_half[0] : m_half[1];
        const int q = p % 2 ? p : p + 1;
        int16_t u[16];
        int16_t v[16];
        for (int k = 0; k < 16; ++k) {
            u[k] = static_cast<int16_t>(x[k] + x[31 - k]);
            v[k] = static_cast<int16_t>(x[k] - x[31 - k]);
        }
        int16_t y[32];
        for (int r = 0; r < 16; ++r) {
            uint32_t even = 0;
            uint32_t odd = 0;
            for (int k = 0; k < 16; ++k) {
                even += static_cast<uint32_t>(m_even[r][k] * u[k]);
                odd += static_cast<uint32_t>(m_odd[r][k] * v[k]);
            }
            y[2 * r] = static_cast<int16_t>(static_cast<int32_t>(even) >> 14);
            y[2 * r + 1] = static_cast<int16_t>(static_cast<int32_t>(odd) >> 14);
        }
        for (int i = 0; i <= 16; ++i)
            first[firstSlot + 16 * (16 - i)] = y[i];
        for (int i = 16; i < 32; ++i)
            second[secondSlot + 16 * (i - 16)] = y[i];
        for (int j = 0; j < 32; ++j) {
            uint32_t sum = 0;
            for (int k = 0; k < 16; ++k) {
                if (j < 16)
                    sum += static_cast<uint32_t>(m_t2[16 - q + 32 * j + k] * b[16 * j + k]);
                else if (j == 16 && k % 2 == 0)
                    sum += static_cast<uint32_t>((m_t2[528 - q + k] * b[256 + k]) >> 16) << 16;
                else if (j > 16)
                    sum += static_cast<uint32_t>(m_t1[48 - q + 32 * (j - 17) + k] * b[16 * (32 - j) + k]);
            }
            out[j] = static_cast<int16_t>(std::clamp(static_cast<int32_t>(sum) >> 13, -32768, 32767));
        }
    }

private:
    int32_t m_t2[544];
    int32_t m_t1[544];
    int32_t m_even[16][16];
    int32_t m_odd[16][16];
    int16_t m_half[2][288] = {};
    int m_position = 1;
};

TEST(MpegSynthesis, FixedPathIsItsArithmeticExactly)
{
    std::mt19937 random(5);
    mpeg::SynthesisFilter filter;
    filter.clear();
    FixedPointModel model[2];
    int16_t input[64];
    int16_t pcm[64];
    float ignored[64];
    int16_t expected[2][32];
    for (int call = 0; call < 600; ++call) {
        // Quiet, loud and extreme inputs in turn, so that sums wrap and outputs saturate.
        const int range = call % 3 == 0 ? 2000 : (call % 3 == 1 ? 20000 : 65536);
        for (int16_t& x : input)
            x = static_cast<int16_t>(static_cast<int>(random() % static_cast<uint32_t>(range)) - range / 2);
        filter.runFixed(input, 2, pcm, ignored);
        for (int ch = 0; ch < 2; ++ch)
            model[ch].run(input + 32 * ch, expected[ch]);
        for (int i = 0; i < 32; ++i) {
            ASSERT_EQ(pcm[2 * i], expected[0][i]) << "call " << call << " sample " << i;
            ASSERT_EQ(pcm[2 * i + 1], expected[1][i]) << "call " << call << " sample " << i;
        }
    }
}

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
