#include "audio/mpeg_layer12.h"

#include "audio/mpeg_tables.h"

#include <cstring>

namespace mpeg {
namespace {

// The joint-stereo bound: subbands from it up share one allocation and one
// set of samples, each channel scaling them by its own scale factors.
int jointStereoBound(const FrameHeader& header, int limit)
{
    if (header.channels == 2 && header.mode == ChannelMode::JointStereo) {
        const int bound = 4 * (header.modeExtension + 1);
        return bound < limit ? bound : limit;
    }
    return limit;
}

// (s - 2^(n-1) + 1) * 2 / (2^n - 1): the n-bit sample s as a fraction of the scale factor.
float ungroupedSample(uint32_t sample, int bits)
{
    const int32_t levels = (1 << bits) - 1;
    const int32_t centred = static_cast<int32_t>(sample) - (levels - 1) / 2;
    return static_cast<float>(centred) * (2.0f / static_cast<float>(levels));
}

// The three samples of a grouped code word; code words beyond the valid range are silent.
void groupedSamples(uint32_t code, int levels, float* out)
{
    const uint32_t count = static_cast<uint32_t>(levels);
    if (code >= count * count * count) {
        out[0] = out[1] = out[2] = 0.0f;
        return;
    }
    const float step = 2.0f / static_cast<float>(levels);
    const int32_t middle = (levels - 1) / 2;
    for (int i = 0; i < 3; ++i) {
        out[i] = static_cast<float>(static_cast<int32_t>(code % count) - middle) * step;
        code /= count;
    }
}

} // namespace

int layer2TableIndex(const FrameHeader& header)
{
    const uint32_t perChannel = header.bitRate / (header.channels ? header.channels : 1);
    if (perChannel <= 48)
        return header.sampleRateIndex == 2 ? 3 : 2;
    if (perChannel <= 80)
        return 0;
    return header.sampleRateIndex == 1 ? 0 : 1;
}

void decodeLayer1Frame(
    FrameReader& reader, const FrameHeader& header, SynthesisFilter& synthesis, int16_t* pcm, float* pcmFloat)
{
    const int channels = header.channels;
    const int bound = jointStereoBound(header, 32);
    uint8_t allocation[2][32] = {};
    uint8_t scaleIndex[2][32] = {};
    for (int sb = 0; sb < 32; ++sb) {
        if (sb < bound) {
            for (int ch = 0; ch < channels; ++ch)
                allocation[ch][sb] = static_cast<uint8_t>(reader.getBits(4));
        } else {
            allocation[0][sb] = allocation[1][sb] = static_cast<uint8_t>(reader.getBits(4));
        }
    }
    for (int sb = 0; sb < 32; ++sb) {
        for (int ch = 0; ch < channels; ++ch) {
            if (allocation[ch][sb])
                scaleIndex[ch][sb] = static_cast<uint8_t>(reader.getBits(6));
        }
    }
    float subbands[2][32];
    for (int block = 0; block < 12; ++block) {
        for (int sb = 0; sb < 32; ++sb) {
            if (sb < bound) {
                for (int ch = 0; ch < channels; ++ch) {
                    const int a = allocation[ch][sb];
                    if (!a) {
                        subbands[ch][sb] = 0.0f;
                        continue;
                    }
                    const float fraction = ungroupedSample(reader.getBits(a + 1), a + 1);
                    subbands[ch][sb] = fraction * kScaleFactorValues[scaleIndex[ch][sb]];
                }
            } else {
                const int a = allocation[0][sb];
                const float fraction = a ? ungroupedSample(reader.getBits(a + 1), a + 1) : 0.0f;
                for (int ch = 0; ch < channels; ++ch)
                    subbands[ch][sb] = fraction * kScaleFactorValues[scaleIndex[ch][sb]];
            }
        }
        const size_t offset = static_cast<size_t>(32 * channels * block);
        synthesis.runFloat(&subbands[0][0], channels, pcm + offset, pcmFloat + offset);
    }
}

void decodeLayer2Frame(
    FrameReader& reader, const FrameHeader& header, SynthesisFilter& synthesis, int16_t* pcm, float* pcmFloat)
{
    const int channels = header.channels;
    const AllocationTable& table
        = kAllocationTables[header.lowSamplingFrequency ? 4 : layer2TableIndex(header)];
    const int limit = table.subbandLimit;
    const int bound = jointStereoBound(header, limit);
    uint8_t allocation[2][32] = {};
    uint8_t scfsi[2][32] = {};
    uint8_t scaleIndex[2][32][3] = {};
    for (int sb = 0; sb < limit; ++sb) {
        const int bits = table.allocationBits[sb];
        if (sb < bound) {
            for (int ch = 0; ch < channels; ++ch)
                allocation[ch][sb] = static_cast<uint8_t>(reader.getBits(bits));
        } else {
            allocation[0][sb] = allocation[1][sb] = static_cast<uint8_t>(reader.getBits(bits));
        }
    }
    for (int sb = 0; sb < limit; ++sb) {
        for (int ch = 0; ch < channels; ++ch) {
            if (allocation[ch][sb])
                scfsi[ch][sb] = static_cast<uint8_t>(reader.getBits(2));
        }
    }
    for (int sb = 0; sb < limit; ++sb) {
        for (int ch = 0; ch < channels; ++ch) {
            if (!allocation[ch][sb])
                continue;
            uint8_t* s = scaleIndex[ch][sb];
            switch (scfsi[ch][sb]) {
            case 0:
                s[0] = static_cast<uint8_t>(reader.getBits(6));
                s[1] = static_cast<uint8_t>(reader.getBits(6));
                s[2] = static_cast<uint8_t>(reader.getBits(6));
                break;
            case 1:
                s[0] = s[1] = static_cast<uint8_t>(reader.getBits(6));
                s[2] = static_cast<uint8_t>(reader.getBits(6));
                break;
            case 2:
                s[0] = s[1] = s[2] = static_cast<uint8_t>(reader.getBits(6));
                break;
            default:
                s[0] = static_cast<uint8_t>(reader.getBits(6));
                s[1] = s[2] = static_cast<uint8_t>(reader.getBits(6));
                break;
            }
        }
    }
    float subbands[3][2][32];
    std::memset(subbands, 0, sizeof subbands);
    for (int group = 0; group < 12; ++group) {
        const int third = group / 4;
        for (int sb = 0; sb < limit; ++sb) {
            const int sharedFrom = sb < bound ? channels : 1;
            for (int ch = 0; ch < sharedFrom; ++ch) {
                const int a = allocation[ch][sb];
                float fractions[3] = { 0.0f, 0.0f, 0.0f };
                if (a) {
                    const Quantiser& q = table.quantisers[sb][a];
                    if (q.levels)
                        groupedSamples(reader.getBits(q.bits), q.levels, fractions);
                    else {
                        for (float& f : fractions)
                            f = ungroupedSample(reader.getBits(q.bits), q.bits);
                    }
                }
                const int lastChannel = sb < bound ? ch : channels - 1;
                for (int c = ch; c <= lastChannel; ++c) {
                    const float scale = kScaleFactorValues[scaleIndex[c][sb][third]];
                    for (int i = 0; i < 3; ++i)
                        subbands[i][c][sb] = fractions[i] * scale;
                }
            }
        }
        for (int i = 0; i < 3; ++i) {
            const size_t offset = static_cast<size_t>(32 * channels * (3 * group + i));
            synthesis.runFloat(&subbands[i][0][0], channels, pcm + offset, pcmFloat + offset);
        }
    }
}

} // namespace mpeg
