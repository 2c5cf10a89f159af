#include "audio/mpeg_synthesis.h"

#include "audio/mpeg_tables.h"
#include "audio/mpeg_vector.h"

#include <cmath>
#include <cstring>

namespace mpeg {
namespace {

struct SynthesisTables {
    // Window sums of outputs 0..16 read `forward` at 16 - q + 32j; the signs
    // (-1)^k of the window sum are folded in (the phase q is always odd).
    float forward[544];
    // Per phase (q - 1) / 2 and slot k: the weights of outputs j = 0..15 on
    // row j, and of outputs 32 - r on row r (r = 1..15; r = 0 has none).
    float forwardByPhase[8][16][16];
    float backwardByPhase[8][16][16];
    // The same on the 16-bit path: the window at the scale 16384 with the
    // signs folded in.
    int16_t forwardFixed[544];
    int16_t forwardFixedByPhase[8][16][16];
    int16_t backwardFixedByPhase[8][16][16];
    // DCT: even outputs from sums of mirrored inputs, odd ones from differences.
    // Transposed, [k][r], so that the 16 outputs are summed side by side.
    float dctEven[16][16];
    float dctOdd[16][16];
    int16_t dctEvenFixed[16][16]; // also [k][r]
    int16_t dctOddFixed[16][16];

    SynthesisTables()
    {
        double window[544];
        // Outputs 17..31 read `backward` at 48 - q + 32(j - 1), the window
        // reversed and negated; only the per-phase rows are kept.
        float backward[544];
        int16_t backwardFixed[544];
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
        for (int phase = 0; phase < 8; ++phase) {
            const int q = 2 * phase + 1;
            for (int k = 0; k < 16; ++k) {
                for (int j = 0; j < 16; ++j) {
                    forwardByPhase[phase][k][j] = forward[16 - q + 32 * j + k];
                    forwardFixedByPhase[phase][k][j] = forwardFixed[16 - q + 32 * j + k];
                }
                backwardByPhase[phase][k][0] = 0.0f;
                backwardFixedByPhase[phase][k][0] = 0;
                for (int r = 1; r < 16; ++r) {
                    backwardByPhase[phase][k][r] = backward[48 - q + 32 * (16 - r - 1) + k];
                    backwardFixedByPhase[phase][k][r] = backwardFixed[48 - q + 32 * (16 - r - 1) + k];
                }
            }
        }
        for (int r = 0; r < 16; ++r) {
            for (int k = 0; k < 16; ++k) {
                const double even = std::cos((2 * k + 1) * r * M_PI / 32.0);
                const double odd = std::cos((2 * k + 1) * (2 * r + 1) * M_PI / 64.0);
                dctEven[k][r] = static_cast<float>(even);
                dctOdd[k][r] = static_cast<float>(odd);
                dctEvenFixed[k][r] = static_cast<int16_t>(static_cast<int>(16384.0 * even + 0.5));
                dctOddFixed[k][r] = static_cast<int16_t>(static_cast<int>(16384.0 * odd + 0.5));
            }
        }
    }
};

const SynthesisTables gTables;

constexpr int kSlotStride = 17;

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
    Float4 even0 = {}, even1 = {}, even2 = {}, even3 = {};
    Float4 odd0 = {}, odd1 = {}, odd2 = {}, odd3 = {};
    for (int k = 0; k < 16; ++k) {
        const Float4 sum = splat4(x[k] + x[31 - k]);
        const Float4 difference = splat4(x[k] - x[31 - k]);
        even0 += load4(&gTables.dctEven[k][0]) * sum;
        even1 += load4(&gTables.dctEven[k][4]) * sum;
        even2 += load4(&gTables.dctEven[k][8]) * sum;
        even3 += load4(&gTables.dctEven[k][12]) * sum;
        odd0 += load4(&gTables.dctOdd[k][0]) * difference;
        odd1 += load4(&gTables.dctOdd[k][4]) * difference;
        odd2 += load4(&gTables.dctOdd[k][8]) * difference;
        odd3 += load4(&gTables.dctOdd[k][12]) * difference;
    }
    float even[16];
    float odd[16];
    store4(even, even0);
    store4(even + 4, even1);
    store4(even + 8, even2);
    store4(even + 12, even3);
    store4(odd, odd0);
    store4(odd + 4, odd1);
    store4(odd + 8, odd2);
    store4(odd + 12, odd3);
    for (int r = 0; r < 16; ++r) {
        y[2 * r] = even[r];
        y[2 * r + 1] = odd[r];
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
    // The 16 outputs of each half are summed side by side. Sums wrap at 32
    // bits, so their order does not change them.
    uint32_t even[16] = {};
    uint32_t odd[16] = {};
    for (int k = 0; k < 16; ++k) {
        for (int r = 0; r < 16; ++r) {
            even[r] += static_cast<uint32_t>(gTables.dctEvenFixed[k][r] * sums[k]);
            odd[r] += static_cast<uint32_t>(gTables.dctOddFixed[k][r] * differences[k]);
        }
    }
    for (int r = 0; r < 16; ++r) {
        y[2 * r] = wrap16(static_cast<int32_t>(even[r]) >> 14);
        y[2 * r + 1] = wrap16(static_cast<int32_t>(odd[r]) >> 14);
    }
}

// Stores the DCT's outputs in the ring halves `h0` and `h1` at ring position
// `p`: rows 0..16 take y[16..0] in one half, rows 0..15 take y[16..31] in the
// other, the halves swapping roles with the parity of `p`. Returns the half
// the window sums read. Value (slot, row) lives at slot * kSlotStride + row.
template <typename T>
const T* storeDct(const T* y, T* h0, T* h1, int p)
{
    const bool odd = p & 1;
    T* first = (odd ? h1 : h0) + kSlotStride * (odd ? (p + 1) & 15 : p);
    T* second = (odd ? h0 : h1) + kSlotStride * (odd ? p : p + 1);
    for (int row = 0; row <= 16; ++row)
        first[row] = y[16 - row];
    for (int row = 0; row < 16; ++row)
        second[row] = y[16 + row];
    return odd ? h0 : h1;
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
        float y[32];
        dctFloat(subbands + 32 * ch, y);
        const float* b = storeDct(y, m_float[ch][0], m_float[ch][1], p);
        const float(*forward)[16] = gTables.forwardByPhase[(q - 1) / 2];
        const float(*backward)[16] = gTables.backwardByPhase[(q - 1) / 2];
        // Named accumulators stay in registers.
        Float4 low0 = {}, low1 = {}, low2 = {}, low3 = {};
        Float4 high0 = {}, high1 = {}, high2 = {}, high3 = {};
        for (int k = 0; k < 16; ++k) {
            const float* rows = b + kSlotStride * k;
            const Float4 m0 = load4(rows);
            const Float4 m1 = load4(rows + 4);
            const Float4 m2 = load4(rows + 8);
            const Float4 m3 = load4(rows + 12);
            low0 += load4(&forward[k][0]) * m0;
            low1 += load4(&forward[k][4]) * m1;
            low2 += load4(&forward[k][8]) * m2;
            low3 += load4(&forward[k][12]) * m3;
            high0 += load4(&backward[k][0]) * m0;
            high1 += load4(&backward[k][4]) * m1;
            high2 += load4(&backward[k][8]) * m2;
            high3 += load4(&backward[k][12]) * m3;
        }
        float s[32];
        float reversed[16];
        store4(s, low0);
        store4(s + 4, low1);
        store4(s + 8, low2);
        store4(s + 12, low3);
        store4(reversed, high0);
        store4(reversed + 4, high1);
        store4(reversed + 8, high2);
        store4(reversed + 12, high3);
        {
            // The middle output takes only the even slots of row 16.
            const float* w = gTables.forward + 528 - q;
            float sum = 0.0f;
            for (int k = 0; k < 16; k += 2)
                sum += w[k] * b[kSlotStride * k + 16];
            s[16] = sum;
        }
        for (int r = 1; r < 16; ++r)
            s[32 - r] = reversed[r];
        for (int i = 0; i < 32; ++i) {
            float value = s[i];
            pcmFloat[ch + channels * i] = value * (1.0f / 32768.0f);
            // Truncation toward zero, clipped to the 16-bit range.
            value = value < 32767.0f ? value : 32767.0f;
            value = value > -32768.0f ? value : -32768.0f;
            pcm[ch + channels * i] = static_cast<int16_t>(static_cast<int32_t>(value));
        }
    }
}

void SynthesisFilter::runFixed(const int16_t* subbands, int channels, int16_t* pcm, float* pcmFloat)
{
    const int q = advance();
    const int p = m_position;
    for (int ch = 0; ch < channels; ++ch) {
        int16_t y[32];
        dctFixed(subbands + 32 * ch, y);
        const int16_t* b = storeDct(y, m_fixed[ch][0], m_fixed[ch][1], p);
        // As on the float path: slot k of the 16 rows side by side, the
        // products exact and the sums wrapping at 32 bits.
        const int16_t(*forward)[16] = gTables.forwardFixedByPhase[(q - 1) / 2];
        const int16_t(*backward)[16] = gTables.backwardFixedByPhase[(q - 1) / 2];
        uint32_t low[16] = {};
        uint32_t reversed[16] = {};
        for (int k = 0; k < 16; ++k) {
            const int16_t* rows = b + kSlotStride * k;
            for (int r = 0; r < 16; ++r) {
                low[r] += static_cast<uint32_t>(forward[k][r] * rows[r]);
                reversed[r] += static_cast<uint32_t>(backward[k][r] * rows[r]);
            }
        }
        int32_t s[32];
        for (int j = 0; j < 16; ++j)
            s[j] = static_cast<int32_t>(low[j]) >> 13;
        {
            // The middle sample keeps only the high halves of its products.
            const int16_t* w = gTables.forwardFixed + 528 - q;
            uint32_t sum = 0;
            for (int k = 0; k < 16; k += 2)
                sum += static_cast<uint32_t>((w[k] * b[kSlotStride * k + 16]) >> 16) << 16;
            s[16] = static_cast<int32_t>(sum) >> 13;
        }
        for (int r = 1; r < 16; ++r)
            s[32 - r] = static_cast<int32_t>(reversed[r]) >> 13;
        for (int i = 0; i < 32; ++i) {
            const int16_t sample = saturate(s[i]);
            pcm[ch + channels * i] = sample;
            pcmFloat[ch + channels * i] = sample * (1.0f / 32768.0f);
        }
    }
}

} // namespace mpeg
