#include "audio/mpeg_frame.h"

#include "audio/mpeg_tables.h"

#include <algorithm>

namespace mpeg {

bool parseFrameHeader(uint32_t word, FrameHeader& header)
{
    if ((word & 0xFFF00000u) != 0xFFF00000u)
        return false;
    const uint8_t versionBit = (word >> 19) & 1;
    const uint8_t layerField = (word >> 17) & 3;
    const uint8_t bitRateIndex = (word >> 12) & 15;
    const uint8_t sampleRateIndex = (word >> 10) & 3;
    // Free format (bit-rate index 0) is not decoded; the others have no table entry.
    if (layerField == 0 || bitRateIndex == 0 || bitRateIndex == 15 || sampleRateIndex == 3)
        return false;
    FrameHeader h;
    h.versionBit = versionBit;
    h.lowSamplingFrequency = versionBit == 0;
    h.layer = static_cast<uint8_t>(4 - layerField);
    h.protectionBit = (word >> 16) & 1;
    h.bitRateIndex = bitRateIndex;
    h.sampleRateIndex = sampleRateIndex;
    h.padding = (word >> 9) & 1;
    h.mode = static_cast<ChannelMode>((word >> 6) & 3);
    h.modeExtension = (word >> 4) & 3;
    h.copyright = (word >> 3) & 1;
    h.original = (word >> 2) & 1;
    h.sampleRateRow = static_cast<uint8_t>(sampleRateIndex + (h.lowSamplingFrequency ? 3 : 0));
    h.bandRow = static_cast<uint8_t>(sampleRateIndex + (h.lowSamplingFrequency ? 0 : 3));
    h.channels = h.mode == ChannelMode::SingleChannel ? 1 : 2;
    const int bitRateRow = h.lowSamplingFrequency ? (h.layer == 1 ? 3 : 4) : h.layer - 1;
    h.bitRate = kBitRates[bitRateRow][bitRateIndex];
    h.sampleRate = kSampleRates[h.sampleRateRow];
    int32_t length;
    if (h.layer == 1) {
        length = static_cast<int32_t>((12000 * h.bitRate / h.sampleRate + h.padding) * 4) - 4;
    } else {
        uint32_t bytes = 144000 * h.bitRate / h.sampleRate;
        if (h.layer == 3 && h.lowSamplingFrequency)
            bytes /= 2;
        length = static_cast<int32_t>(bytes + h.padding) - 4;
    }
    h.frameLength = static_cast<uint32_t>(length);
    header = h;
    return true;
}

namespace {

bool sameKind(const FrameHeader& a, const FrameHeader& b)
{
    return a.layer == b.layer && a.lowSamplingFrequency == b.lowSamplingFrequency && a.channels == b.channels
        && a.sampleRate == b.sampleRate;
}

bool headerAt(const uint8_t* data, uint32_t size, uint64_t offset, FrameHeader& header)
{
    if (offset + 4 > size)
        return false;
    const uint32_t word = static_cast<uint32_t>(data[offset]) << 24 | static_cast<uint32_t>(data[offset + 1]) << 16
        | static_cast<uint32_t>(data[offset + 2]) << 8 | data[offset + 3];
    return parseFrameHeader(word, header);
}

} // namespace

bool frameIsConfirmed(const uint8_t* data, uint32_t size, uint64_t offset, const FrameHeader& header)
{
    const uint64_t next = offset + 4 + header.frameLength;
    if (next + 4 > size)
        return true;
    FrameHeader following;
    return headerAt(data, size, next, following) && sameKind(header, following);
}

uint32_t id3v2TagLength(const uint8_t* data, uint32_t size)
{
    uint64_t offset = 0;
    // "ID3", version (two bytes, the first below 0xFF), flags, and a size of
    // four bytes of seven bits each; a footer of ten more bytes when flag 0x10 is set.
    while (offset + 10 <= size && data[offset] == 'I' && data[offset + 1] == 'D' && data[offset + 2] == '3'
        && data[offset + 3] != 0xFF && data[offset + 4] != 0xFF && (data[offset + 6] | data[offset + 7]
               | data[offset + 8] | data[offset + 9]) < 0x80) {
        const uint32_t body = uint32_t(data[offset + 6]) << 21 | uint32_t(data[offset + 7]) << 14
            | uint32_t(data[offset + 8]) << 7 | data[offset + 9];
        offset += 10 + uint64_t(body) + ((data[offset + 5] & 0x10) ? 10 : 0);
    }
    return static_cast<uint32_t>(std::min<uint64_t>(offset, size));
}

int64_t findFrameSync(const uint8_t* data, uint32_t size, uint32_t from, const FrameHeader* like)
{
    if (!data)
        return -1;
    for (uint64_t offset = from; offset + 4 <= size; ++offset) {
        if (data[offset] != 0xFF)
            continue;
        FrameHeader candidate;
        if (!headerAt(data, size, offset, candidate) || (like && !sameKind(candidate, *like)))
            continue;
        const uint64_t next = offset + 4 + candidate.frameLength;
        if (next == size || (next + 4 <= size && frameIsConfirmed(data, size, offset, candidate)))
            return int64_t(offset);
    }
    return -1;
}

} // namespace mpeg
