#include "audio/mpeg_frame.h"

#include "audio/mpeg_tables.h"

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

} // namespace mpeg
