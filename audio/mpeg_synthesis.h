#pragma once
// The polyphase synthesis filter bank that every MPEG audio layer ends in:
// each call takes 32 subband samples per channel and writes 32 interleaved
// PCM sample frames. The filter is a 32-point DCT into a ring of 16 slots
// followed by a 16-tap window sum per output sample. Two paths compute the
// same filter: single-precision floats, and 16-bit fixed point (inputs are
// subband samples times 16384). Owned by one decoder; not thread-safe.

#include <cstddef>
#include <cstdint>

namespace mpeg {

// Which filter layer III goes through; layers I and II always use the float one.
enum class SynthesisPath : uint8_t { Float, Fixed16 };

class SynthesisFilter {
public:
    static constexpr int kHalfSize = 288; // 17 rows of 16 used
    static constexpr int kMaxSlots = 18; // for runFloatSlots

    // Zeroes the memory of both channels on both paths and sets the ring position to 1.
    void clear();

    // `subbands` holds 32 values per channel, channel after channel. Writes
    // 32 * channels samples interleaved into `pcm` (truncated toward zero and
    // clipped, in 16-bit units) and into `pcmFloat` (the same, unconverted,
    // divided by 32768).
    void runFloat(const float* subbands, int channels, int16_t* pcm, float* pcmFloat);
    // runFloat for `slots` calls in a row, the inputs of each `slotStride`
    // floats after those of the one before, the outputs one after another.
    void runFloatSlots(const float* subbands, int slotStride, int slots, int channels, int16_t* pcm, float* pcmFloat);
    // runFloatSlots for a reader of floats: no 16-bit samples, and each float
    // clamped to [-1, 32767 / 32768], the range of the 16-bit samples.
    void runFloatSlotsClamped(const float* subbands, int slotStride, int slots, int channels, float* pcmFloat);
    // `subbands` as above in 16-bit fixed point; sums saturate. `pcmFloat`
    // receives the same samples divided by 32768.
    void runFixed(const int16_t* subbands, int channels, int16_t* pcm, float* pcmFloat);

    int ringPosition() const { return m_position; }

private:
    // Moves the ring one slot back; returns the window phase (always odd).
    int advance();
    // The float path after the DCT: `y` holds each channel's DCT outputs;
    // `s` receives each channel's 32 window sums.
    void windowFloat(const float* const* y, int channels, float (*s)[32]);
    // The DCTs of `slots` calls, then each call's window sums handed to
    // `write` with the call's output offset.
    template <typename Write>
    void runSlots(const float* subbands, int slotStride, int slots, int channels, Write write);

    // The memory of both paths is kept slot-major (slot * 17 + row), so that
    // the window sums of 16 outputs run side by side.
    float m_float[2][2][kHalfSize] = {};
    int16_t m_fixed[2][2][kHalfSize] = {};
    int m_position = 1;
};

} // namespace mpeg
