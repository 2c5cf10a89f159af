#include "audio/mpeg_synthesis.h"

#include "audio/mpeg_tables.h"

#include <cmath>
#include <cstring>

namespace mpeg {
namespace {

struct SynthesisTables {
    // Window sums of outputs 0..16 read `forward` at 16 - q + 32j; the signs
    // (-1)^k of the window sum are folded in (the phase q is always odd).
    float forward[544];
    // Outputs 17..31 read `backward` at 48 - q + 32(j - 1), the window reversed and negated.
    float backward[544];
    int16_t forwardFixed[544];
    int16_t backwardFixed[544];
    // DCT: even outputs from sums of mirrored inputs, odd ones from differences.
    float dctEven[16][16];
    float dctOdd[16][16];
    int16_t dctEvenFixed[16][16];
    int16_t dctOddFixed[16][16];

    SynthesisTables()
    {
        double window[544];
        for (int r = 0; r <= 16; ++r) {
            for (int c = 0; c < 16; ++c) {
                const double value = -32768.0 * synthesisWindow(r + 32 * c);
                window[32 * r + c] = value;
                window[32 * r + 16 + c] = value;
            }
        }
        for (int i = 0; i < 544; ++i) {
            const double signedValue = i % 2 == 0 ? -window[i] : window[i];
            forward[i] = static_cast<float>(signedValue);
            backward[i] = static_cast<float>(-window[543 - i]);
            // The fixed-point window is at the scale 16384, truncated toward zero.
            forwardFixed[i] = static_cast<int16_t>(std::trunc(signedValue / 2.0));
            backwardFixed[i] = static_cast<int16_t>(std::trunc(-window[543 - i] / 2.0));
        }
        for (int r = 0; r < 16; ++r) {
            for (int k = 0; k < 16; ++k) {
                const double even = std::cos((2 * k + 1) * r * M_PI / 32.0);
                const double odd = std::cos((2 * k + 1) * (2 * r + 1) * M_PI / 64.0);
                dctEven[r][k] = static_cast<float>(even);
                dctOdd[r][k] = static_cast<float>(odd);
                dctEvenFixed[r][k] = static_cast<int16_t>(static_cast<int>(16384.0 * even + 0.5));
                dctOddFixed[r][k] = static_cast<int16_t>(static_cast<int>(16384.0 * odd + 0.5));
            }
        }
    }
};

const SynthesisTables gTables;

int16_t truncateSample(float value)
{
    if (value != value)
        return 0;
    if (value >= 32767.0f)
        return 32767;
    if (value <= -32768.0f)
        return -32768;
    return static_cast<int16_t>(value);
}

int16_t saturate(int32_t value)
{
    if (value > 32767)
        return 32767;
    if (value < -32768)
        return -32768;
    return static_cast<int16_t>(value);
}

// Wrapping 16-bit addition, as the fixed-point path's lanes do.
int16_t wrap16(int32_t value)
{
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(value)));
}

// y[i] = sum of x[k] cos((2k + 1) i pi / 64), i = 0..31.
void dctFloat(const float* x, float* y)
{
    float sums[16];
    float differences[16];
    for (int k = 0; k < 16; ++k) {
        sums[k] = x[k] + x[31 - k];
        differences[k] = x[k] - x[31 - k];
    }
    for (int r = 0; r < 16; ++r) {
        float even = 0.0f;
        float odd = 0.0f;
        for (int k = 0; k < 16; ++k) {
            even += gTables.dctEven[r][k] * sums[k];
            odd += gTables.dctOdd[r][k] * differences[k];
        }
        y[2 * r] = even;
        y[2 * r + 1] = odd;
    }
}

void dctFixed(const int16_t* x, int16_t* y)
{
    int16_t sums[16];
    int16_t differences[16];
    for (int k = 0; k < 16; ++k) {
        sums[k] = wrap16(x[k] + x[31 - k]);
        differences[k] = wrap16(x[k] - x[31 - k]);
    }
    for (int r = 0; r < 16; ++r) {
        uint32_t even = 0;
        uint32_t odd = 0;
        for (int k = 0; k < 16; ++k) {
            even += static_cast<uint32_t>(gTables.dctEvenFixed[r][k] * sums[k]);
            odd += static_cast<uint32_t>(gTables.dctOddFixed[r][k] * differences[k]);
        }
        y[2 * r] = wrap16(static_cast<int32_t>(even) >> 14);
        y[2 * r + 1] = wrap16(static_cast<int32_t>(odd) >> 14);
    }
}

// Stores the DCT's outputs in the ring: the first output (rows 0..16 take
// y[16..0]) at `firstOffset` of `firstHalf`, the second (rows 0..15 take
// y[16..31]) at `secondOffset` of `secondHalf`.
template <typename T>
void storeDct(const T* y, T* firstHalf, int firstOffset, T* secondHalf, int secondOffset)
{
    for (int row = 0; row <= 16; ++row)
        firstHalf[firstOffset + 16 * row] = y[16 - row];
    for (int row = 0; row < 16; ++row)
        secondHalf[secondOffset + 16 * row] = y[16 + row];
}

} // namespace

void SynthesisFilter::clear()
{
    std::memset(m_float, 0, sizeof m_float);
    std::memset(m_fixed, 0, sizeof m_fixed);
    m_position = 1;
}

int SynthesisFilter::advance()
{
    m_position = (m_position + 15) & 15;
    return (m_position & 1) ? m_position : m_position + 1;
}

void SynthesisFilter::runFloat(const float* subbands, int channels, int16_t* pcm, float* pcmFloat)
{
    const int q = advance();
    const int p = m_position;
    for (int ch = 0; ch < channels; ++ch) {
        float* h0 = m_float[ch][0];
        float* h1 = m_float[ch][1];
        float y[32];
        dctFloat(subbands + 32 * ch, y);
        const float* b;
        if (p & 1) {
            storeDct(y, h1, (p + 1) & 15, h0, p);
            b = h0;
        } else {
            storeDct(y, h0, p, h1, p + 1);
            b = h1;
        }
        float s[32];
        for (int j = 0; j < 16; ++j) {
            const float* w = gTables.forward + 16 - q + 32 * j;
            const float* v = b + 16 * j;
            float sum = 0.0f;
            for (int k = 0; k < 16; ++k)
                sum += w[k] * v[k];
            s[j] = sum;
        }
        {
            const float* w = gTables.forward + 528 - q;
            float sum = 0.0f;
            for (int k = 0; k < 16; k += 2)
                sum += w[k] * b[256 + k];
            s[16] = sum;
        }
        for (int j = 1; j < 16; ++j) {
            const float* w = gTables.backward + 48 - q + 32 * (j - 1);
            const float* v = b + 16 * (16 - j);
            float sum = 0.0f;
            for (int k = 0; k < 16; ++k)
                sum += w[k] * v[k];
            s[16 + j] = sum;
        }
        for (int i = 0; i < 32; ++i) {
            pcm[ch + channels * i] = truncateSample(s[i]);
            pcmFloat[ch + channels * i] = s[i] * (1.0f / 32768.0f);
        }
    }
}

void SynthesisFilter::runFixed(const int16_t* subbands, int channels, int16_t* pcm, float* pcmFloat)
{
    const int q = advance();
    const int p = m_position;
    for (int ch = 0; ch < channels; ++ch) {
        int16_t* h0 = m_fixed[ch][0];
        int16_t* h1 = m_fixed[ch][1];
        int16_t y[32];
        dctFixed(subbands + 32 * ch, y);
        const int16_t* b;
        if (p & 1) {
            storeDct(y, h1, (p + 1) & 15, h0, p);
            b = h0;
        } else {
            storeDct(y, h0, p, h1, p + 1);
            b = h1;
        }
        int32_t s[32];
        for (int j = 0; j < 16; ++j) {
            const int16_t* w = gTables.forwardFixed + 16 - q + 32 * j;
            const int16_t* v = b + 16 * j;
            uint32_t sum = 0;
            for (int k = 0; k < 16; ++k)
                sum += static_cast<uint32_t>(w[k] * v[k]);
            s[j] = static_cast<int32_t>(sum) >> 13;
        }
        {
            // The middle sample keeps only the high halves of its products.
            const int16_t* w = gTables.forwardFixed + 528 - q;
            uint32_t sum = 0;
            for (int k = 0; k < 16; k += 2)
                sum += static_cast<uint32_t>((w[k] * b[256 + k]) >> 16) << 16;
            s[16] = static_cast<int32_t>(sum) >> 13;
        }
        for (int j = 1; j < 16; ++j) {
            const int16_t* w = gTables.backwardFixed + 48 - q + 32 * (j - 1);
            const int16_t* v = b + 16 * (16 - j);
            uint32_t sum = 0;
            for (int k = 0; k < 16; ++k)
                sum += static_cast<uint32_t>(w[k] * v[k]);
            s[16 + j] = static_cast<int32_t>(sum) >> 13;
        }
        for (int i = 0; i < 32; ++i) {
            const int16_t sample = saturate(s[i]);
            pcm[ch + channels * i] = sample;
            pcmFloat[ch + channels * i] = sample * (1.0f / 32768.0f);
        }
    }
}

} // namespace mpeg
