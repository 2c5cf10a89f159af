#pragma once
// The frame header of an MPEG audio frame and the frame reader, the bit reader
// over the attached stream data. Bytes at or past the end of the data read as
// zero, so a read never fails and never leaves the data.

#include <cstdint>

namespace mpeg {

enum class ChannelMode : uint8_t { Stereo = 0, JointStereo = 1, DualChannel = 2, SingleChannel = 3 };

struct FrameHeader {
    uint8_t versionBit = 0; // 1 MPEG-1, 0 the low sampling frequencies
    bool lowSamplingFrequency = false;
    uint8_t layer = 0; // 1, 2 or 3
    uint8_t protectionBit = 1; // 0: a 16-bit CRC word follows the header
    uint8_t bitRateIndex = 0;
    uint8_t sampleRateIndex = 0;
    uint8_t padding = 0;
    ChannelMode mode = ChannelMode::Stereo;
    uint8_t modeExtension = 0;
    uint8_t copyright = 0;
    uint8_t original = 0;
    uint8_t sampleRateRow = 0; // into kSampleRates
    uint8_t bandRow = 0; // into kScaleFactorBands
    uint8_t channels = 0;
    uint32_t bitRate = 0; // kbit/s
    uint32_t sampleRate = 0; // Hz
    uint32_t frameLength = 0; // bytes, not counting the four header bytes
};

// Parses a header word (first byte most significant). Free format, reserved
// bit-rate, sample-rate and layer values, and words without the 12-bit sync
// are refused with false, leaving `header` unchanged.
bool parseFrameHeader(uint32_t word, FrameHeader& header);

// The length of the ID3v2 tags at the start of `data` (header, body and
// footer of each), 0 when there are none; never more than `size`.
uint32_t id3v2TagLength(const uint8_t* data, uint32_t size);

// The offset of the first frame header at or after `from` that is followed,
// right after its frame, by a header of the same layer, version, channel
// count and sample rate, or whose frame ends exactly at the end of the data;
// -1 when there is none. A lone header-like word in damaged data is passed
// over, so that decoding does not start on garbage. With `like`, only headers
// of its layer, version, channel count and sample rate are taken.
// True when the frame of `header` at `offset` is followed by a header of the
// same layer, version, channel count and sample rate, or when the data ends
// before another header could follow.
bool frameIsConfirmed(const uint8_t* data, uint32_t size, uint64_t offset, const FrameHeader& header);

int64_t findFrameSync(const uint8_t* data, uint32_t size, uint32_t from, const FrameHeader* like);

class FrameReader {
public:
    void attach(const uint8_t* data, uint32_t size)
    {
        m_data = data;
        m_size = size;
        m_bitPosition = 0;
        m_nextFrame = 0;
    }

    // Reads n bits (0..24), most significant first.
    uint32_t getBits(int n)
    {
        if (n == 0)
            return 0;
        const uint64_t byte = m_bitPosition >> 3;
        uint32_t word = 0;
        if (byte + 4 <= m_size) {
            word = static_cast<uint32_t>(m_data[byte]) << 24 | static_cast<uint32_t>(m_data[byte + 1]) << 16
                | static_cast<uint32_t>(m_data[byte + 2]) << 8 | m_data[byte + 3];
        } else {
            for (uint64_t i = 0; i < 4; ++i)
                word = word << 8 | (byte + i < m_size ? m_data[byte + i] : 0u);
        }
        const uint32_t value = (word << (m_bitPosition & 7)) >> (32 - n);
        m_bitPosition += static_cast<uint64_t>(n);
        return value;
    }

    uint64_t bitPosition() const { return m_bitPosition; }
    void setBitPosition(uint64_t position) { m_bitPosition = position; }
    uint64_t nextFramePosition() const { return m_nextFrame; }
    void setNextFramePosition(uint64_t position) { m_nextFrame = position; }
    uint32_t size() const { return m_size; }
    const uint8_t* data() const { return m_data; }

private:
    const uint8_t* m_data = nullptr;
    uint32_t m_size = 0;
    uint64_t m_bitPosition = 0;
    uint64_t m_nextFrame = 0;
};

} // namespace mpeg
