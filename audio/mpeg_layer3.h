#pragma once
// Layer III decoding: side information, main data through the bit reservoir,
// scale factors, Huffman decoding, requantisation, stereo processing,
// reordering, alias reduction, the hybrid filter bank and frequency inversion,
// then the synthesis filter bank. Every count read from the stream is bounded
// before it is used, so a damaged frame decodes to noise or silence but never
// reads or writes outside the decoder's arrays.

#include "audio/mpeg_frame.h"
#include "audio/mpeg_synthesis.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace mpeg {

// The bit reservoir: a ring of 4,096 bytes holding the main data of the last
// frames. Positions are absolute byte and bit counts since the last reset.
class BitReservoir {
public:
    static constexpr uint32_t kSize = 4096;

    void reset();
    void append(uint8_t byte)
    {
        const uint32_t index = static_cast<uint32_t>(m_written) & (kSize - 1);
        m_ring[index] = byte;
        if (index < kMirror)
            m_ring[kSize + index] = byte;
        ++m_written;
    }
    // The same for `count` bytes at once.
    void appendBytes(const uint8_t* bytes, uint32_t count)
    {
        while (count > 0) {
            const uint32_t index = static_cast<uint32_t>(m_written) & (kSize - 1);
            const uint32_t piece = count < kSize - index ? count : kSize - index;
            std::memcpy(m_ring + index, bytes, piece);
            if (index < kMirror)
                std::memcpy(m_ring + kSize + index, bytes, piece < kMirror - index ? piece : kMirror - index);
            m_written += piece;
            bytes += piece;
            count -= piece;
        }
    }
    uint64_t written() const { return m_written; }
    uint64_t bitPosition() const { return m_bitPosition; }
    void setBitPosition(uint64_t position) { m_bitPosition = position; }

    // The next 64 bits, most significant first, without moving; only the
    // top 57 are sure to be the reservoir's.
    uint64_t peek64() const
    {
        // Eight bytes in one load: the mirror after the ring holds them.
        const uint8_t* p = m_ring + (static_cast<uint32_t>(m_bitPosition >> 3) & (kSize - 1));
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if constexpr (std::endian::native == std::endian::little)
            word = __builtin_bswap64(word);
        return word << (m_bitPosition & 7);
    }
    // The next 32 bits, most significant first, without moving.
    uint32_t peek32() const { return static_cast<uint32_t>(peek64() >> 32); }
    void skip(uint32_t bits) { m_bitPosition += bits; }
    uint32_t getBits(int n)
    {
        if (n == 0)
            return 0;
        const uint32_t value = peek32() >> (32 - n);
        m_bitPosition += static_cast<uint64_t>(n);
        return value;
    }

    // Reads on from the reservoir's bit position with the next bits kept in a
    // register, for the tight loops of Huffman decoding; the loop hands the
    // position back with setBitPosition(cursor.bitPosition()).
    class Cursor {
    public:
        explicit Cursor(const BitReservoir& reservoir)
            : m_ring(reservoir.m_ring)
            , m_byte(reservoir.m_bitPosition >> 3)
        {
            refill();
            consume(static_cast<int>(reservoir.m_bitPosition & 7));
        }
        // Tops the register up to at least 56 bits.
        void refill()
        {
            uint64_t word;
            std::memcpy(&word, m_ring + (static_cast<uint32_t>(m_byte) & (kSize - 1)), sizeof word);
            if constexpr (std::endian::native == std::endian::little)
                word = __builtin_bswap64(word);
            m_bits |= word >> m_available;
            const int take = (63 - m_available) >> 3;
            m_byte += static_cast<uint64_t>(take);
            m_available += 8 * take;
        }
        // The next bits, most significant first; as many as refill promised are
        // the reservoir's, the rest are zero.
        uint64_t bits() const { return m_bits; }
        void consume(int count)
        {
            m_bits <<= count;
            m_available -= count;
        }
        uint64_t bitPosition() const { return 8 * m_byte - static_cast<uint64_t>(m_available); }

    private:
        const uint8_t* m_ring;
        uint64_t m_byte; // the next byte that refill takes
        uint64_t m_bits = 0;
        int m_available = 0;
    };

private:
    static constexpr uint32_t kMirror = 8;
    uint8_t m_ring[kSize + kMirror] = {};
    uint64_t m_written = 0;
    uint64_t m_bitPosition = 0;
};

struct GranuleChannelInfo {
    uint32_t part23Length = 0;
    uint32_t bigValues = 0;
    uint32_t globalGain = 0;
    uint32_t scalefacCompress = 0;
    bool windowSwitching = false;
    uint32_t blockType = 0;
    bool mixedBlock = false;
    uint32_t tableSelect[3] = {};
    uint32_t subblockGain[3] = {};
    uint32_t region0Count = 0;
    uint32_t region1Count = 0;
    uint32_t preflag = 0;
    uint32_t scalefacScale = 0;
    uint32_t count1TableSelect = 0;
};

struct Layer3SideInfo {
    uint32_t mainDataBegin = 0;
    uint32_t privateBits = 0;
    uint8_t scfsi[2][4] = {};
    GranuleChannelInfo granules[2][2] = {};
};

struct Layer3ScaleFactors {
    uint8_t longBands[23] = {};
    uint8_t shortBands[3][13] = {};
};

// Converts a subband sample to the 16-bit synthesis input (times 16384, ties
// to even); values outside the 16-bit range become -32768.
int16_t handOverSample(float value);

class Layer3Decoder {
public:
    static constexpr int kLines = 576;

    // Back to the state of a freshly opened stream: empty reservoir, zero
    // overlap and scale factors.
    void reset();
    // Decodes the frame whose side information starts at the reader's bit
    // position; writes granules x 576 sample frames into `pcm` and `pcmFloat`.
    // On the float path a null `pcm` asks for the floats alone, clamped to
    // the range of 16-bit samples.
    void decodeFrame(FrameReader& reader, const FrameHeader& header, SynthesisFilter& synthesis, SynthesisPath path,
        int16_t* pcm, float* pcmFloat);

    // Lines the Huffman decoder filled for a channel in the last granule.
    int decodedLineCount(int channel) const { return m_decodedLines[channel]; }

private:
    void readSideInfo(FrameReader& reader, const FrameHeader& header);
    void readScaleFactors(const FrameHeader& header, int granule, int channel);
    void readLsfScaleFactors(const FrameHeader& header, int channel);
    void decodeHuffman(const FrameHeader& header, const GranuleChannelInfo& info, uint64_t end, int channel);
    void requantise(const FrameHeader& header, const GranuleChannelInfo& info, int channel);
    void processStereo(const FrameHeader& header, int granule);
    void intensityPositions(const FrameHeader& header, const GranuleChannelInfo& right, uint8_t* positions);
    void reorder(const FrameHeader& header, const GranuleChannelInfo& info, int channel);
    void antialias(const GranuleChannelInfo& info, int channel);
    void hybridSynthesis(const GranuleChannelInfo& info, int channel);
    // One subband of the hybrid filter bank; a silent one only passes its overlap on.
    void hybridSubband(const GranuleChannelInfo& info, int channel, int sb, bool silent);

    BitReservoir m_reservoir;
    uint64_t m_validFrom = 0; // first reservoir byte that belongs to this stream
    Layer3SideInfo m_side;
    Layer3ScaleFactors m_scaleFactors[2];
    float m_overlap[2][18][32] = {}; // channel, time slot, subband
    int m_nonZero[2] = {};
    int m_decodedLines[2] = {};
    // Work arrays of one granule.
    int32_t m_values[kLines] = {};
    float m_lines[2][kLines] = {};
    float m_reordered[kLines] = {};
    float m_subbands[18][2][32] = {}; // time slot, channel, subband
    int16_t m_subbandsFixed[18][2][32] = {};
};

} // namespace mpeg
