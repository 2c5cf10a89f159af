#include "audio/mpeg_synthesis.h"

#include "audio/mpeg_tables.h"
#include "audio/mpeg_vector.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // The fast DCT's butterfly factors 1 / (2 cos((2k + 1) pi / 2n)) for the
    // stages of n = 32, 16, 8, 4 and 2 points, at leeScale[n / 2 + k].
    float leeScale[32];
    // The 16-bit DCT's coefficients, [r][k]: even outputs from sums of
    // mirrored inputs, odd ones from differences.
    int16_t dctEvenFixed[16][16];
    int16_t dctOddFixed[16][16];
    // The 16-bit window per phase with slots k and k + 1 side by side for
    // each row: [phase][k / 2][row][k % 2], as pairwise multiply-adds read it.
    int16_t forwardFixedPairs[8][8][16][2];
    int16_t backwardFixedPairs[8][8][16][2];

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
        for (int phase = 0; phase < 8; ++phase) {
            for (int k = 0; k < 16; ++k) {
                for (int r = 0; r < 16; ++r) {
                    forwardFixedPairs[phase][k / 2][r][k % 2] = forwardFixedByPhase[phase][k][r];
                    backwardFixedPairs[phase][k / 2][r][k % 2] = backwardFixedByPhase[phase][k][r];
                }
            }
        }
        for (int r = 0; r < 16; ++r) {
            for (int k = 0; k < 16; ++k) {
                const double even = std::cos((2 * k + 1) * r * M_PI / 32.0);
                const double odd = std::cos((2 * k + 1) * (2 * r + 1) * M_PI / 64.0);
                dctEvenFixed[r][k] = static_cast<int16_t>(static_cast<int>(16384.0 * even + 0.5));
                dctOddFixed[r][k] = static_cast<int16_t>(static_cast<int>(16384.0 * odd + 0.5));
            }
        }
        for (int n = 2; n <= 32; n *= 2) {
            for (int k = 0; k < n / 2; ++k)
                leeScale[n / 2 + k] = static_cast<float>(1.0 / (2.0 * std::cos((2 * k + 1) * M_PI / (2.0 * n))));
        }
    }
};

const SynthesisTables gTables;

constexpr int kSlotStride = 17;

// y[i] = sum of x[k] cos((2k + 1) i pi / 2N), i = 0..N-1, by the fast
// recursive DCT: the sums of mirrored inputs give the even outputs through a
// DCT of half the size; their differences, scaled, give through another the
// odd outputs, each the sum of two neighbours. Plain loops, all inlined: the
// compiler keeps the small stages in registers. `T` is a float, or four floats
// that go through the same steps side by side, one transform per lane.
template <int N, typename T> [[gnu::always_inline]] inline void leeDct(const T* x, T* y)
{
    if constexpr (N == 1) {
        y[0] = x[0];
    } else {
        constexpr int kHalf = N / 2;
        T sums[kHalf];
        T differences[kHalf];
        for (int k = 0; k < kHalf; ++k) {
            sums[k] = x[k] + x[N - 1 - k];
            differences[k] = (x[k] - x[N - 1 - k]) * gTables.leeScale[kHalf + k];
        }
        T even[kHalf];
        T odd[kHalf];
        leeDct<kHalf>(sums, even);
        leeDct<kHalf>(differences, odd);
        for (int i = 0; i < kHalf - 1; ++i) {
            y[2 * i] = even[i];
            y[2 * i + 1] = odd[i] + odd[i + 1];
        }
        y[N - 2] = even[kHalf - 1];
        y[N - 1] = odd[kHalf - 1];
    }
}

void dctFloat(const float* x, float* y) { leeDct<32>(x, y); }

// Four DCTs at once, `x[l]` to `y[l]`: each lane computes exactly what
// dctFloat computes, with a quarter of the instructions.
void dctFloat4(const float* const* x, float* const* y)
{
    Float4 columns[32];
    for (int k = 0; k < 32; k += 4) {
        Float4 a = load4(x[0] + k), b = load4(x[1] + k), c = load4(x[2] + k), d = load4(x[3] + k);
        transpose4(a, b, c, d);
        columns[k] = a;
        columns[k + 1] = b;
        columns[k + 2] = c;
        columns[k + 3] = d;
    }
    Float4 outputs[32];
    leeDct<32>(columns, outputs);
    for (int k = 0; k < 32; k += 4) {
        Float4 a = outputs[k], b = outputs[k + 1], c = outputs[k + 2], d = outputs[k + 3];
        transpose4(a, b, c, d);
        store4(y[0] + k, a);
        store4(y[1] + k, b);
        store4(y[2] + k, c);
        store4(y[3] + k, d);
    }
}

#if defined(__SSE2__)

// Four 32-bit sums of 16 products each, one per row of `rows` (16 values
// each) against `x`, wrapping as the pairwise multiply-adds do.
__m128i fourDotProducts(const int16_t (*rows)[16], __m128i xLow, __m128i xHigh)
{
    __m128i sums[4];
    for (int i = 0; i < 4; ++i) {
        const __m128i low = _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i])), xLow);
        const __m128i high = _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i] + 8)), xHigh);
        sums[i] = _mm_add_epi32(low, high);
    }
    // Each row's four partial sums added across.
    const __m128i t0 = _mm_add_epi32(_mm_unpacklo_epi32(sums[0], sums[1]), _mm_unpackhi_epi32(sums[0], sums[1]));
    const __m128i t1 = _mm_add_epi32(_mm_unpacklo_epi32(sums[2], sums[3]), _mm_unpackhi_epi32(sums[2], sums[3]));
    return _mm_add_epi32(_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1));
}

// The low 16 bits of each sum shifted right by 14, as signed values.
__m128i lowHalvesShifted(__m128i a, __m128i b)
{
    a = _mm_srai_epi32(_mm_slli_epi32(_mm_srai_epi32(a, 14), 16), 16);
    b = _mm_srai_epi32(_mm_slli_epi32(_mm_srai_epi32(b, 14), 16), 16);
    return _mm_packs_epi32(a, b);
}

__m128i reversed8(__m128i v)
{
    v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
}

void dctFixed(const int16_t* x, int16_t* y)
{
    const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x));
    const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + 8));
    const __m128i x3 = reversed8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x + 16)));
    const __m128i x2 = reversed8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x + 24)));
    // u[k] = x[k] + x[31 - k] and v[k] = x[k] - x[31 - k], wrapping at 16 bits.
    const __m128i sumLow = _mm_add_epi16(x0, x2);
    const __m128i sumHigh = _mm_add_epi16(x1, x3);
    const __m128i differenceLow = _mm_sub_epi16(x0, x2);
    const __m128i differenceHigh = _mm_sub_epi16(x1, x3);
    __m128i even[2];
    __m128i odd[2];
    for (int half = 0; half < 2; ++half) {
        even[half] = lowHalvesShifted(fourDotProducts(gTables.dctEvenFixed + 8 * half, sumLow, sumHigh),
            fourDotProducts(gTables.dctEvenFixed + 8 * half + 4, sumLow, sumHigh));
        odd[half] = lowHalvesShifted(fourDotProducts(gTables.dctOddFixed + 8 * half, differenceLow, differenceHigh),
            fourDotProducts(gTables.dctOddFixed + 8 * half + 4, differenceLow, differenceHigh));
    }
    // y[2r] = even[r], y[2r + 1] = odd[r].
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y), _mm_unpacklo_epi16(even[0], odd[0]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y + 8), _mm_unpackhi_epi16(even[0], odd[0]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y + 16), _mm_unpacklo_epi16(even[1], odd[1]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y + 24), _mm_unpackhi_epi16(even[1], odd[1]));
}

// The 16 window sums of one half: sum over slots k of w[k][r] * b[k][r] for
// rows r = 0..15, two slots at a time, in 32 bits wrapping. `pairs` holds the
// window with slots k and k + 1 side by side per row.
void windowSumsFixed(const int16_t* b, const int16_t (*forward)[16][2], const int16_t (*backward)[16][2], uint32_t* low,
    uint32_t* reversed)
{
    __m128i lowSums[4] = { _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128() };
    __m128i reversedSums[4] = { _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128() };
    for (int pair = 0; pair < 8; ++pair) {
        const int16_t* first = b + kSlotStride * (2 * pair);
        const int16_t* second = first + kSlotStride;
        const __m128i first0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
        const __m128i first1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 8));
        const __m128i second0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second));
        const __m128i second1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + 8));
        const __m128i rows[4] = { _mm_unpacklo_epi16(first0, second0), _mm_unpackhi_epi16(first0, second0),
            _mm_unpacklo_epi16(first1, second1), _mm_unpackhi_epi16(first1, second1) };
        for (int i = 0; i < 4; ++i) {
            const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(forward[pair][4 * i]));
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(backward[pair][4 * i]));
            lowSums[i] = _mm_add_epi32(lowSums[i], _mm_madd_epi16(f, rows[i]));
            reversedSums[i] = _mm_add_epi32(reversedSums[i], _mm_madd_epi16(w, rows[i]));
        }
    }
    for (int i = 0; i < 4; ++i) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(low + 4 * i), lowSums[i]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(reversed + 4 * i), reversedSums[i]);
    }
}

#else

// Wrapping 16-bit addition, as the fixed-point path's lanes do.
int16_t wrap16(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(value))); }

void dctFixed(const int16_t* x, int16_t* y)
{
    int16_t sums[16];
    int16_t differences[16];
    for (int k = 0; k < 16; ++k) {
        sums[k] = wrap16(x[k] + x[31 - k]);
        differences[k] = wrap16(x[k] - x[31 - k]);
    }
    // Sums wrap at 32 bits, so their order does not change them.
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

void windowSumsFixed(const int16_t* b, const int16_t (*forward)[16][2], const int16_t (*backward)[16][2], uint32_t* low,
    uint32_t* reversed)
{
    for (int r = 0; r < 16; ++r)
        low[r] = reversed[r] = 0;
    for (int k = 0; k < 16; ++k) {
        const int16_t* rows = b + kSlotStride * k;
        for (int r = 0; r < 16; ++r) {
            low[r] += static_cast<uint32_t>(forward[k / 2][r][k % 2] * rows[r]);
            reversed[r] += static_cast<uint32_t>(backward[k / 2][r][k % 2] * rows[r]);
        }
    }
}

#endif

// Stores the DCT's outputs in the ring halves `h0` and `h1` at ring position
// `p`: rows 0..16 take y[16..0] in one half, rows 0..15 take y[16..31] in the
// other, the halves swapping roles with the parity of `p`. Returns the half
// the window sums read. Value (slot, row) lives at slot * kSlotStride + row.
template <typename T> const T* storeDct(const T* y, T* h0, T* h1, int p)
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

// The 32 window sums of one channel on the float path, from the ring half
// `b` that the DCT was stored into, at window phase `q`.
void windowSumsFloat(const float* b, int q, float* s)
{
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
}

// Truncated toward zero and clipped to the 16-bit range.
Int4 toSamples(Float4 value)
{
    value = value < 32767.0f ? value : 32767.0f;
    value = value > -32768.0f ? value : -32768.0f;
    return __builtin_convertvector(value, Int4);
}

typedef int16_t Short8 __attribute__((vector_size(16)));

// Eight values already in the 16-bit range, narrowed.
Short8 narrow8(Int4 low, Int4 high)
{
#if defined(__SSE2__)
    return reinterpret_cast<Short8>(_mm_packs_epi32(reinterpret_cast<__m128i>(low), reinterpret_cast<__m128i>(high)));
#else
    return Short8 { static_cast<int16_t>(low[0]), static_cast<int16_t>(low[1]), static_cast<int16_t>(low[2]),
        static_cast<int16_t>(low[3]), static_cast<int16_t>(high[0]), static_cast<int16_t>(high[1]),
        static_cast<int16_t>(high[2]), static_cast<int16_t>(high[3]) };
#endif
}

// The 32 sums of each channel as interleaved samples, in 16-bit units and
// divided by 32768.
void writeFloatSamples(const float (*s)[32], int channels, int16_t* pcm, float* pcmFloat)
{
    constexpr float kScale = 1.0f / 32768.0f;
    if (channels == 1) {
        for (int i = 0; i < 32; i += 8) {
            const Float4 first = load4(s[0] + i);
            const Float4 second = load4(s[0] + i + 4);
            store4(pcmFloat + i, first * kScale);
            store4(pcmFloat + i + 4, second * kScale);
            const Short8 samples = narrow8(toSamples(first), toSamples(second));
            std::memcpy(pcm + i, &samples, sizeof samples);
        }
        return;
    }
    for (int i = 0; i < 32; i += 4) {
        const Float4 left = load4(s[0] + i);
        const Float4 right = load4(s[1] + i);
        const Float4 first = __builtin_shufflevector(left, right, 0, 4, 1, 5);
        const Float4 second = __builtin_shufflevector(left, right, 2, 6, 3, 7);
        store4(pcmFloat + 2 * i, first * kScale);
        store4(pcmFloat + 2 * i + 4, second * kScale);
        const Short8 samples = narrow8(toSamples(first), toSamples(second));
        std::memcpy(pcm + 2 * i, &samples, sizeof samples);
    }
}

// The same samples as floats only, each clamped to [-1, 32767 / 32768], the
// range of the 16-bit samples they stand for.
void writeClampedFloatSamples(const float (*s)[32], int channels, float* pcmFloat)
{
    constexpr float kScale = 1.0f / 32768.0f;
    auto clamped = [](Float4 value) {
        value = value < 32767.0f ? value : 32767.0f;
        value = value > -32768.0f ? value : -32768.0f;
        return value * kScale;
    };
    if (channels == 1) {
        for (int i = 0; i < 32; i += 4)
            store4(pcmFloat + i, clamped(load4(s[0] + i)));
        return;
    }
    for (int i = 0; i < 32; i += 4) {
        const Float4 left = load4(s[0] + i);
        const Float4 right = load4(s[1] + i);
        store4(pcmFloat + 2 * i, clamped(__builtin_shufflevector(left, right, 0, 4, 1, 5)));
        store4(pcmFloat + 2 * i + 4, clamped(__builtin_shufflevector(left, right, 2, 6, 3, 7)));
    }
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

void SynthesisFilter::windowFloat(const float* const* y, int channels, float (*s)[32])
{
    const int q = advance();
    const int p = m_position;
    for (int ch = 0; ch < channels; ++ch)
        windowSumsFloat(storeDct(y[ch], m_float[ch][0], m_float[ch][1], p), q, s[ch]);
}

void SynthesisFilter::runFloat(const float* subbands, int channels, int16_t* pcm, float* pcmFloat)
{
    float y[2][32];
    const float* outputs[2] = { y[0], y[1] };
    for (int ch = 0; ch < channels; ++ch)
        dctFloat(subbands + 32 * ch, y[ch]);
    float s[2][32];
    windowFloat(outputs, channels, s);
    writeFloatSamples(s, channels, pcm, pcmFloat);
}

template <typename Write>
void SynthesisFilter::runSlots(const float* subbands, int slotStride, int slots, int channels, Write write)
{
    // The DCTs depend on nothing but their inputs: all of them first, four
    // at a time, then the window sums slot after slot.
    float y[kMaxSlots][2][32];
    float spare[4][32];
    const int items = slots * channels;
    for (int first = 0; first < items; first += 4) {
        const float* inputs[4];
        float* outputs[4];
        for (int lane = 0; lane < 4; ++lane) {
            const int item = first + lane;
            if (item < items) {
                const int slot = item / channels;
                const int ch = item % channels;
                inputs[lane] = subbands + slotStride * slot + 32 * ch;
                outputs[lane] = y[slot][ch];
            } else {
                inputs[lane] = subbands;
                outputs[lane] = spare[lane];
            }
        }
        dctFloat4(inputs, outputs);
    }
    for (int slot = 0; slot < slots; ++slot) {
        const float* outputs[2] = { y[slot][0], y[slot][1] };
        float s[2][32];
        windowFloat(outputs, channels, s);
        write(s, static_cast<size_t>(32 * channels) * static_cast<size_t>(slot));
    }
}

void SynthesisFilter::runFloatSlots(
    const float* subbands, int slotStride, int slots, int channels, int16_t* pcm, float* pcmFloat)
{
    runSlots(subbands, slotStride, slots, channels, [&](const float (*s)[32], size_t offset) {
        writeFloatSamples(s, channels, pcm + offset, pcmFloat + offset);
    });
}

void SynthesisFilter::runFloatSlotsClamped(
    const float* subbands, int slotStride, int slots, int channels, float* pcmFloat)
{
    runSlots(subbands, slotStride, slots, channels,
        [&](const float (*s)[32], size_t offset) { writeClampedFloatSamples(s, channels, pcmFloat + offset); });
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
        uint32_t low[16];
        uint32_t reversed[16];
        windowSumsFixed(
            b, gTables.forwardFixedPairs[(q - 1) / 2], gTables.backwardFixedPairs[(q - 1) / 2], low, reversed);
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
        for (int i = 0; i < 32; i += 4) {
            Int4 samples;
            std::memcpy(&samples, s + i, sizeof samples);
            samples = samples < 32767 ? samples : 32767;
            samples = samples > -32768 ? samples : -32768;
            const Float4 scaled = __builtin_convertvector(samples, Float4) * (1.0f / 32768.0f);
            for (int lane = 0; lane < 4; ++lane) {
                pcm[ch + channels * (i + lane)] = static_cast<int16_t>(samples[lane]);
                pcmFloat[ch + channels * (i + lane)] = scaled[lane];
            }
        }
    }
}

} // namespace mpeg
