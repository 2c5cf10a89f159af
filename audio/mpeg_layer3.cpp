#include "audio/mpeg_layer3.h"

#include "audio/mpeg_tables.h"
#include "audio/mpeg_vector.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace mpeg {
namespace {

constexpr int kMaxBigValues = 288;
constexpr int kMaxExponent = 63;

bool isShortBlock(const GranuleChannelInfo& info) { return info.windowSwitching && info.blockType == 2; }

// The block type whose window a subband uses: the two lowest subbands of a
// mixed block use the normal window.
uint32_t windowType(const GranuleChannelInfo& info, int sb)
{
    return info.windowSwitching && !(info.mixedBlock && sb < 2) ? info.blockType & 3 : 0;
}

// The leaf entry of the code that starts `bits` (most significant first),
// through the table's lookup levels; `depth` is set to the bits the levels
// before the leaf's consumed. Codes are at most 19 bits long.
uint32_t leafAt(uint32_t bits, const HuffmanLookup& table, int& depth)
{
    const uint32_t* level = table.entries;
    int width = table.rootBits;
    depth = 0;
    for (;;) {
        const uint32_t entry = level[(bits << depth) >> (32 - width)];
        if (!(entry & 0x80000000u))
            return entry;
        depth += width;
        width = static_cast<int>((entry >> 24) & 0x1F);
        level = table.entries + (entry & 0xFFFFFF);
    }
}

// A magnitude with the sign bit at `used` of `bits` (which must hold it)
// applied; the bit is counted in `used`. Zero has no sign bit.
template <typename Bits> int32_t signedFrom(Bits bits, int32_t magnitude, int& used)
{
    // Without branches: whether a value is zero is as good as random.
    constexpr int kTop = 8 * sizeof(Bits) - 1;
    const int32_t present = magnitude != 0;
    const int32_t negative = static_cast<int32_t>((bits << used) >> kTop) & present;
    used += present;
    return (magnitude ^ -negative) + negative;
}

// 2^((global_gain - 210) / 4) for every 8-bit global gain, worked out once.
float globalGainFactor(uint32_t globalGain)
{
    static const std::array<float, 256> factors = [] {
        std::array<float, 256> table {};
        for (size_t g = 0; g < table.size(); ++g)
            table[g] = static_cast<float>(std::pow(2.0, (static_cast<double>(g) - 210.0) / 4.0));
        return table;
    }();
    return factors[globalGain & 255];
}

} // namespace

int16_t handOverSample(float value)
{
    // Out-of-range values become -32768, as the fixed-point path always did.
    const float scaled = value * 16384.0f;
    if (!(scaled >= -32768.5f && scaled < 32767.5f))
        return -32768;
    // Rounded to the nearest, ties to even, as nearbyint does in the default
    // rounding mode: adding 1.5 * 2^23 leaves no fraction bits for |x| < 2^22,
    // and this stays inline where a library call would not.
    constexpr float kRoundingBias = 12582912.0f;
    return static_cast<int16_t>((scaled + kRoundingBias) - kRoundingBias);
}

void BitReservoir::reset()
{
    std::memset(m_ring, 0, sizeof m_ring);
    m_written = 0;
    m_bitPosition = 0;
}

void Layer3Decoder::reset()
{
    m_reservoir.reset();
    m_validFrom = 0;
    m_side = Layer3SideInfo();
    m_scaleFactors[0] = Layer3ScaleFactors();
    m_scaleFactors[1] = Layer3ScaleFactors();
    std::memset(m_overlap, 0, sizeof m_overlap);
    m_nonZero[0] = m_nonZero[1] = Layer3Decoder::kLines;
}

void Layer3Decoder::readSideInfo(FrameReader& reader, const FrameHeader& header)
{
    const int channels = header.channels;
    const bool lsf = header.lowSamplingFrequency;
    if (lsf) {
        m_side.mainDataBegin = reader.getBits(8);
        m_side.privateBits = reader.getBits(channels == 1 ? 1 : 2);
    } else {
        m_side.mainDataBegin = reader.getBits(9);
        m_side.privateBits = reader.getBits(channels == 1 ? 5 : 3);
        for (int ch = 0; ch < channels; ++ch) {
            for (int band = 0; band < 4; ++band)
                m_side.scfsi[ch][band] = static_cast<uint8_t>(reader.getBits(1));
        }
    }
    const int granules = lsf ? 1 : 2;
    for (int gr = 0; gr < granules; ++gr) {
        for (int ch = 0; ch < channels; ++ch) {
            GranuleChannelInfo& info = m_side.granules[gr][ch];
            info.part23Length = reader.getBits(12);
            info.bigValues = reader.getBits(9);
            info.globalGain = reader.getBits(8);
            info.scalefacCompress = reader.getBits(lsf ? 9 : 4);
            info.windowSwitching = reader.getBits(1) != 0;
            if (info.windowSwitching) {
                info.blockType = reader.getBits(2);
                info.mixedBlock = reader.getBits(1) != 0;
                info.tableSelect[0] = reader.getBits(5);
                info.tableSelect[1] = reader.getBits(5);
                info.tableSelect[2] = 0;
                for (int w = 0; w < 3; ++w)
                    info.subblockGain[w] = reader.getBits(3);
                if (info.blockType == 0) {
                    // Illegal: window switching needs a block type. This and
                    // every later granule of the frame are left silent.
                    for (int g = gr; g < granules; ++g) {
                        for (int c = (g == gr ? ch : 0); c < channels; ++c)
                            m_side.granules[g][c] = GranuleChannelInfo();
                    }
                    return;
                }
                info.region0Count = (info.blockType == 2 && !info.mixedBlock) ? 8 : 7;
                info.region1Count = lsf && info.region0Count == 7 ? 13 : 20 - info.region0Count;
            } else {
                info.blockType = 0;
                info.mixedBlock = false;
                for (int r = 0; r < 3; ++r)
                    info.tableSelect[r] = reader.getBits(5);
                info.subblockGain[0] = info.subblockGain[1] = info.subblockGain[2] = 0;
                info.region0Count = reader.getBits(4);
                info.region1Count = reader.getBits(3);
            }
            info.preflag = lsf ? 0 : reader.getBits(1);
            info.scalefacScale = reader.getBits(1);
            info.count1TableSelect = reader.getBits(1);
        }
    }
}

void Layer3Decoder::readScaleFactors(const FrameHeader& header, int granule, int channel)
{
    const GranuleChannelInfo& info = m_side.granules[granule][channel];
    if (header.lowSamplingFrequency) {
        readLsfScaleFactors(header, channel);
        return;
    }
    Layer3ScaleFactors& sf = m_scaleFactors[channel];
    const int slen1 = kSlen[0][info.scalefacCompress & 15];
    const int slen2 = kSlen[1][info.scalefacCompress & 15];
    if (isShortBlock(info)) {
        int firstShort = 0;
        if (info.mixedBlock) {
            for (int band = 0; band < 8; ++band)
                sf.longBands[band] = static_cast<uint8_t>(m_reservoir.getBits(slen1));
            firstShort = 3;
        }
        for (int band = firstShort; band < 12; ++band) {
            const int slen = band < 6 ? slen1 : slen2;
            for (int w = 0; w < 3; ++w)
                sf.shortBands[w][band] = static_cast<uint8_t>(m_reservoir.getBits(slen));
        }
        for (int w = 0; w < 3; ++w)
            sf.shortBands[w][12] = 0;
        return;
    }
    static const int kGroupStart[5] = { 0, 6, 11, 16, 21 };
    for (int group = 0; group < 4; ++group) {
        if (granule != 0 && m_side.scfsi[channel][group])
            continue;
        const int slen = group < 2 ? slen1 : slen2;
        for (int band = kGroupStart[group]; band < kGroupStart[group + 1]; ++band)
            sf.longBands[band] = static_cast<uint8_t>(m_reservoir.getBits(slen));
    }
    sf.longBands[21] = sf.longBands[22] = 0;
}

void Layer3Decoder::readLsfScaleFactors(const FrameHeader& header, int channel)
{
    GranuleChannelInfo& info = m_side.granules[0][channel];
    const uint32_t compress = info.scalefacCompress;
    int slen[4] = {};
    int row = 0;
    const bool intensityRight
        = channel == 1 && header.mode == ChannelMode::JointStereo && (header.modeExtension & 1) != 0;
    info.preflag = 0;
    if (!intensityRight) {
        if (compress < 400) {
            slen[0] = static_cast<int>((compress >> 4) / 5);
            slen[1] = static_cast<int>((compress >> 4) % 5);
            slen[2] = static_cast<int>((compress & 15) >> 2);
            slen[3] = static_cast<int>(compress & 3);
            row = 0;
        } else if (compress < 500) {
            const uint32_t c = compress - 400;
            slen[0] = static_cast<int>((c >> 2) / 5);
            slen[1] = static_cast<int>((c >> 2) % 5);
            slen[2] = static_cast<int>(c & 3);
            row = 1;
        } else {
            const uint32_t c = compress - 500;
            slen[0] = static_cast<int>(c / 3);
            slen[1] = static_cast<int>(c % 3);
            row = 2;
            info.preflag = 1;
        }
    } else {
        const uint32_t half = compress >> 1;
        if (half < 180) {
            slen[0] = static_cast<int>(half / 36);
            slen[1] = static_cast<int>((half % 36) / 6);
            slen[2] = static_cast<int>((half % 36) % 6);
            row = 3;
        } else if (half < 244) {
            const uint32_t c = half - 180;
            slen[0] = static_cast<int>((c & 63) >> 4);
            slen[1] = static_cast<int>((c & 15) >> 2);
            slen[2] = static_cast<int>(c & 3);
            row = 4;
        } else {
            const uint32_t c = half - 244;
            slen[0] = static_cast<int>(c / 3);
            slen[1] = static_cast<int>(c % 3);
            row = 5;
        }
    }
    // A 9-bit scalefac_compress can exceed the last range; such slen values
    // are bounded so that no read is wider than the bit reader allows.
    for (int& s : slen)
        s = std::min(s, 15);
    const int kind = isShortBlock(info) ? (info.mixedBlock ? 2 : 1) : 0;
    uint8_t values[54] = {};
    int count = 0;
    for (int part = 0; part < 4; ++part) {
        for (int i = 0; i < kLsfPartitions[row][kind][part] && count < 54; ++i)
            values[count++] = static_cast<uint8_t>(m_reservoir.getBits(slen[part]));
    }
    Layer3ScaleFactors& sf = m_scaleFactors[channel];
    int next = 0;
    if (kind == 0) {
        for (int band = 0; band < 21; ++band)
            sf.longBands[band] = values[next++];
        sf.longBands[21] = sf.longBands[22] = 0;
        return;
    }
    int firstShort = 0;
    if (kind == 2) {
        for (int band = 0; band < 6; ++band)
            sf.longBands[band] = values[next++];
        firstShort = 3;
    }
    for (int band = firstShort; band < 12; ++band) {
        for (int w = 0; w < 3; ++w)
            sf.shortBands[w][band] = values[next++];
    }
    for (int w = 0; w < 3; ++w)
        sf.shortBands[w][12] = 0;
}

void Layer3Decoder::decodeHuffman(const FrameHeader& header, const GranuleChannelInfo& info, uint64_t end, int channel)
{
    const ScaleFactorBands& bands = kScaleFactorBands[header.bandRow];
    int32_t* values = m_values;
    const int bigValueLines = 2 * std::min<int>(static_cast<int>(info.bigValues), kMaxBigValues);
    int region1;
    int region2;
    if (isShortBlock(info)) {
        region1 = 36;
        region2 = kLines;
    } else {
        region1 = bands.longBounds[std::min<uint32_t>(info.region0Count + 1, 22)];
        region2 = bands.longBounds[std::min<uint32_t>(info.region0Count + info.region1Count + 2, 22)];
    }
    int line = 0;
    while (line < bigValueLines) {
        const int region = line < region1 ? 0 : (line < region2 ? 1 : 2);
        const int limit = std::min(bigValueLines, region == 0 ? region1 : (region == 1 ? region2 : kLines));
        const uint32_t tableIndex = info.tableSelect[region] & 31;
        const HuffmanCodeTable& table = kHuffmanCodeTables[tableIndex];
        const HuffmanLookup& lookup = kHuffmanLookups[tableIndex];
        if (!lookup.entries) {
            // Tables 0, 4 and 14 carry no codes: the region is zero.
            for (; line < limit; line += 2)
                values[line] = values[line + 1] = 0;
            continue;
        }
        const int linbits = table.linbits;
        BitReservoir::Cursor cursor(m_reservoir);
        if (linbits == 0) {
            // Without linbits a pair takes at most 21 bits, counted by the
            // table, so that the next pair's position does not wait for the
            // signs; two pairs to a refill.
            const uint32_t* entries = lookup.entries;
            const int rootShift = 64 - lookup.rootBits;
            auto decodePair = [&](int at) {
                const uint64_t bits = cursor.bits();
                uint32_t entry = entries[bits >> rootShift];
                int depth = 0;
                if (entry & 0x80000000u)
                    entry = leafAt(static_cast<uint32_t>(bits >> 32), lookup, depth);
                const int length = depth + static_cast<int>((entry >> 8) & 0xFF);
                const int32_t xMagnitude = static_cast<int32_t>((entry >> 4) & 15);
                const int32_t yMagnitude = static_cast<int32_t>(entry & 15);
                const int32_t xNegative = static_cast<int32_t>((bits << length) >> 63) & (xMagnitude != 0);
                const int yAt = length + (xMagnitude != 0);
                const int32_t yNegative = static_cast<int32_t>((bits << yAt) >> 63) & (yMagnitude != 0);
                values[at] = (xMagnitude ^ -xNegative) + xNegative;
                values[at + 1] = (yMagnitude ^ -yNegative) + yNegative;
                cursor.consume(depth + static_cast<int>((entry >> 16) & 0xFF));
            };
            for (; line + 4 <= limit; line += 4) {
                cursor.refill();
                decodePair(line);
                decodePair(line + 2);
            }
            if (line < limit) {
                cursor.refill();
                decodePair(line);
                line += 2;
            }
            m_reservoir.setBitPosition(cursor.bitPosition());
            continue;
        }
        // A pair's code (at most 19 bits), linbits (at most 13 each) and
        // sign bits take at most 47 bits: one refill holds them. A value of
        // 15 takes its linbits, without a branch on whether it is 15.
        for (; line < limit; line += 2) {
            cursor.refill();
            const uint64_t bits = cursor.bits();
            int depth = 0;
            const uint32_t entry = leafAt(static_cast<uint32_t>(bits >> 32), lookup, depth);
            int at = depth + static_cast<int>((entry >> 8) & 0xFF);
            const int32_t xMagnitude = static_cast<int32_t>((entry >> 4) & 15);
            const int32_t yMagnitude = static_cast<int32_t>(entry & 15);
            const int xEscape = xMagnitude == 15;
            const int yEscape = yMagnitude == 15;
            const int32_t xExtra = static_cast<int32_t>((bits << at) >> (64 - linbits)) & -xEscape;
            at += linbits * xEscape;
            const int32_t xNegative = static_cast<int32_t>((bits << at) >> 63) & (xMagnitude != 0);
            at += xMagnitude != 0;
            const int32_t yExtra = static_cast<int32_t>((bits << at) >> (64 - linbits)) & -yEscape;
            at += linbits * yEscape;
            const int32_t yNegative = static_cast<int32_t>((bits << at) >> 63) & (yMagnitude != 0);
            const int32_t x = xMagnitude + xExtra;
            const int32_t y = yMagnitude + yExtra;
            values[line] = (x ^ -xNegative) + xNegative;
            values[line + 1] = (y ^ -yNegative) + yNegative;
            cursor.consume(depth + static_cast<int>((entry >> 16) & 0xFF) + linbits * (xEscape + yEscape));
        }
        m_reservoir.setBitPosition(cursor.bitPosition());
    }
    const HuffmanLookup& quadTable = kHuffmanLookups[32 + (info.count1TableSelect & 1)];
    bool quadruple = false;
    BitReservoir::Cursor cursor(m_reservoir);
    while (cursor.bitPosition() < end && line + 4 <= kLines) {
        // A quadruple's code (at most 6 bits, so one lookup level) and four
        // sign bits; the table counts them.
        cursor.refill();
        const uint32_t bits = static_cast<uint32_t>(cursor.bits() >> 32);
        const uint32_t entry = quadTable.entries[bits >> (32 - quadTable.rootBits)];
        const uint32_t symbol = entry & 0xFF;
        int used = static_cast<int>((entry >> 8) & 0xFF);
        cursor.consume(static_cast<int>((entry >> 16) & 0xFF));
        values[line] = signedFrom(bits, (symbol >> 3) & 1, used);
        values[line + 1] = signedFrom(bits, (symbol >> 2) & 1, used);
        values[line + 2] = signedFrom(bits, (symbol >> 1) & 1, used);
        values[line + 3] = signedFrom(bits, symbol & 1, used);
        line += 4;
        quadruple = true;
    }
    m_reservoir.setBitPosition(cursor.bitPosition());
    if (quadruple && m_reservoir.bitPosition() > end) {
        // The last quadruple ran past the end of this channel's data.
        line -= 4;
    }
    m_reservoir.setBitPosition(end);
    for (int i = line; i < kLines; ++i)
        values[i] = 0;
    m_nonZero[channel] = line;
    m_decodedLines[channel] = line;
}

void Layer3Decoder::requantise(const FrameHeader& header, const GranuleChannelInfo& info, int channel)
{
    const ScaleFactorBands& bands = kScaleFactorBands[header.bandRow];
    const Layer3ScaleFactors& sf = m_scaleFactors[channel];
    const int count = m_nonZero[channel];
    float* out = m_lines[channel];
    const float gain = globalGainFactor(info.globalGain);
    const int shift = static_cast<int>(info.scalefacScale & 1);

    auto scaleLines = [&](int from, int to, int exponent) {
        to = std::min(to, count);
        const float factor = gain * kPowHalf[std::min(exponent, kMaxExponent)];
        for (int i = from; i < to; ++i) {
            // The value's sign bit goes onto the scaled magnitude: no branch
            // per line on a sign that is random.
            const int32_t v = m_values[i];
            const int magnitude = std::min(v < 0 ? -v : v, kMaxMagnitude);
            const uint32_t sign = static_cast<uint32_t>(v) & 0x80000000u;
            out[i] = std::bit_cast<float>(std::bit_cast<uint32_t>(kPow43[magnitude] * factor) | sign);
        }
    };

    int longEnd = 0; // lines below this use long bands
    int firstShortBand = 13;
    if (!isShortBlock(info)) {
        longEnd = kLines;
    } else if (info.mixedBlock) {
        longEnd = 36;
        firstShortBand = 3;
    } else {
        firstShortBand = 0;
    }
    for (int band = 0; band < 22 && bands.longBounds[band] < std::min(longEnd, count); ++band) {
        const int pretab = info.preflag ? kPretab[band] : 0;
        const int exponent = (sf.longBands[band] + pretab) << shift;
        scaleLines(bands.longBounds[band], std::min<int>(bands.longBounds[band + 1], longEnd), exponent);
    }
    for (int band = firstShortBand; band < 13; ++band) {
        const int width = bands.shortBounds[band + 1] - bands.shortBounds[band];
        const int start = 3 * bands.shortBounds[band];
        if (start >= count)
            break;
        for (int w = 0; w < 3; ++w) {
            const int exponent = static_cast<int>(4 * (info.subblockGain[w] & 7)) + (sf.shortBands[w][band] << shift);
            scaleLines(start + w * width, start + (w + 1) * width, exponent);
        }
    }
    for (int i = count; i < kLines; ++i)
        out[i] = 0.0f;
}

void Layer3Decoder::intensityPositions(const FrameHeader& header, const GranuleChannelInfo& right, uint8_t* positions)
{
    const ScaleFactorBands& bands = kScaleFactorBands[header.bandRow];
    const Layer3ScaleFactors& sf = m_scaleFactors[1];
    const float* lines = m_lines[1];
    auto fill = [&](int from, int to, uint8_t position) {
        for (int i = from; i < to; ++i)
            positions[i] = position;
    };
    if (isShortBlock(right)) {
        const int lowestBand = right.mixedBlock ? 3 : 0;
        bool anyNonZero = false;
        for (int w = 0; w < 3; ++w) {
            int lastBand = -1;
            for (int band = 12; band >= lowestBand && lastBand < 0; --band) {
                const int width = bands.shortBounds[band + 1] - bands.shortBounds[band];
                const int start = 3 * bands.shortBounds[band] + w * width;
                for (int i = start; i < start + width; ++i) {
                    if (lines[i] != 0.0f) {
                        lastBand = band;
                        break;
                    }
                }
            }
            if (lastBand >= 0)
                anyNonZero = true;
            const int first = lastBand >= 0 ? lastBand + 1 : lowestBand;
            for (int band = first; band < 12; ++band) {
                const int width = bands.shortBounds[band + 1] - bands.shortBounds[band];
                const int start = 3 * bands.shortBounds[band] + w * width;
                fill(start, start + width, sf.shortBands[w][band]);
            }
            const int width11 = bands.shortBounds[12] - bands.shortBounds[11];
            const uint8_t position11 = positions[3 * bands.shortBounds[11] + w * width11];
            const int width12 = bands.shortBounds[13] - bands.shortBounds[12];
            const int start12 = 3 * bands.shortBounds[12] + w * width12;
            fill(start12, start12 + width12, position11);
        }
        if (right.mixedBlock && !anyNonZero) {
            int last = -1;
            for (int i = 35; i >= 0; --i) {
                if (lines[i] != 0.0f) {
                    last = i;
                    break;
                }
            }
            for (int band = 0; band < 22 && bands.longBounds[band + 1] <= 36; ++band) {
                if (bands.longBounds[band] > last)
                    fill(bands.longBounds[band], bands.longBounds[band + 1], sf.longBands[band]);
            }
        }
        return;
    }
    int last = -1;
    for (int i = kLines - 1; i >= 0; --i) {
        if (lines[i] != 0.0f) {
            last = i;
            break;
        }
    }
    for (int band = 0; band <= 20; ++band) {
        if (bands.longBounds[band] > last)
            fill(bands.longBounds[band], bands.longBounds[band + 1], sf.longBands[band]);
    }
    fill(bands.longBounds[21], kLines, positions[bands.longBounds[20]]);
}

void Layer3Decoder::processStereo(const FrameHeader& header, int granule)
{
    if (header.channels != 2 || header.mode != ChannelMode::JointStereo)
        return;
    const bool midSide = (header.modeExtension & 2) != 0;
    const bool intensity = (header.modeExtension & 1) != 0;
    if (!midSide && !intensity)
        return;
    uint8_t positions[kLines];
    std::memset(positions, 7, sizeof positions);
    if (intensity)
        intensityPositions(header, m_side.granules[granule][1], positions);
    const int limit = intensity ? kLines : std::max(m_nonZero[0], m_nonZero[1]);
    float* left = m_lines[0];
    float* right = m_lines[1];
    // The intensity scale belongs to the channel that carries the positions.
    const float* lsfTable = kLsfIntensity[m_side.granules[granule][1].scalefacCompress & 1];
    constexpr float kRoot = 0.70710677f;
    for (int i = 0; i < limit; ++i) {
        const uint8_t position = positions[i];
        if (position == 7) {
            if (midSide) {
                const float m = left[i];
                const float s = right[i];
                left[i] = (m + s) * kRoot;
                right[i] = (m - s) * kRoot;
            }
            continue;
        }
        const float l = left[i];
        if (!header.lowSamplingFrequency) {
            // Positions above 7 are illegal; some of their ratios would divide by zero.
            if (position > 7) {
                if (midSide) {
                    const float s = right[i];
                    left[i] = (l + s) * kRoot;
                    right[i] = (l - s) * kRoot;
                }
                continue;
            }
            const float ratio = kIntensityRatios[position];
            right[i] = l / (1.0f + ratio);
            left[i] = right[i] * ratio;
        } else {
            float leftFactor = 1.0f;
            float rightFactor = 1.0f;
            if (position & 1)
                leftFactor = lsfTable[((position + 1) / 2) & 31];
            else if (position != 0)
                rightFactor = lsfTable[(position / 2) & 31];
            left[i] = l * leftFactor;
            right[i] = l * rightFactor;
        }
    }
    if (intensity) {
        int highest = 0;
        for (int i = kLines - 1; i >= 0; --i) {
            if (left[i] != 0.0f || right[i] != 0.0f) {
                highest = i + 1;
                break;
            }
        }
        m_nonZero[0] = m_nonZero[1] = highest;
    } else {
        m_nonZero[0] = m_nonZero[1] = limit;
    }
}

void Layer3Decoder::reorder(const FrameHeader& header, const GranuleChannelInfo& info, int channel)
{
    if (!isShortBlock(info))
        return;
    const ScaleFactorBands& bands = kScaleFactorBands[header.bandRow];
    float* lines = m_lines[channel];
    const int firstBand = info.mixedBlock ? 3 : 0;
    const int from = 3 * bands.shortBounds[firstBand];
    for (int band = firstBand; band < 13; ++band) {
        const int width = bands.shortBounds[band + 1] - bands.shortBounds[band];
        const int start = 3 * bands.shortBounds[band];
        for (int w = 0; w < 3; ++w) {
            for (int i = 0; i < width; ++i)
                m_reordered[start + 3 * i + w] = lines[start + w * width + i];
        }
    }
    std::memcpy(lines + from, m_reordered + from, sizeof(float) * static_cast<size_t>(kLines - from));
    // Reordering spreads the short windows over the whole band range.
    m_nonZero[channel] = kLines;
}

void Layer3Decoder::antialias(const GranuleChannelInfo& info, int channel)
{
    if (isShortBlock(info) && !info.mixedBlock)
        return;
    float* lines = m_lines[channel];
    int boundaries = isShortBlock(info) ? 1 : std::min(31, m_nonZero[channel] / 18 + 1);
    for (int sb = 0; sb < boundaries; ++sb) {
        float* lower = lines + 18 * sb;
        float* upper = lines + 18 * (sb + 1);
        for (int i = 0; i < 8; ++i) {
            const float u = lower[17 - i];
            const float d = upper[i];
            lower[17 - i] = u * kAliasCs[i] - d * kAliasCa[i];
            upper[i] = d * kAliasCs[i] + u * kAliasCa[i];
        }
    }
    // The butterflies spread values up to 8 lines into the next subband.
    m_nonZero[channel] = std::min(kLines, std::max(m_nonZero[channel], 18 * (boundaries + 1)));
}

namespace {

// Where imdctLong takes its factors: as floats for one subband, as four
// lanes for four.
struct NarrowFactors {
    static float even(int p, int j) { return kImdctEven[p][j]; }
    static float odd(int p, int j) { return kImdctOdd[p][j]; }
    static float scale(int j) { return kImdctScale[j]; }
    static float window(uint32_t type, int i) { return kImdctSignedWindows[type][i]; }
};

struct WideFactors {
    static Float4 even(int p, int j) { return load4(kImdctWide.even[p][j]); }
    static Float4 odd(int p, int j) { return load4(kImdctWide.odd[p][j]); }
    static Float4 scale(int j) { return load4(kImdctWide.scale[j]); }
    static Float4 window(uint32_t type, int i) { return load4(kImdctWide.windows[type][i]); }
};

// The 36-point IMDCT of one long block with the window of block `type`
// (signs folded in): the 18-point DCT-IV of `x` through two 9-point
// transforms. `T` is a float, or four floats for four subbands side by side,
// which go through exactly the same steps.
template <typename T, typename Factors> [[gnu::always_inline]] inline void imdctLong(const T* x, uint32_t type, T* raw)
{
    // Neighbour sums: the DCT-IV times 2 cos((2j + 1) pi / 72) is their DCT-III.
    T sums[18];
    sums[0] = x[0];
    for (int m = 1; m < 18; ++m)
        sums[m] = x[m] + x[m - 1];
    T even[9];
    T odd[9];
    for (int j = 0; j < 9; ++j) {
        even[j] = sums[0] * Factors::even(0, j);
        odd[j] = sums[1] * Factors::odd(0, j);
    }
    for (int p = 1; p < 9; ++p) {
        for (int j = 0; j < 9; ++j) {
            even[j] += sums[2 * p] * Factors::even(p, j);
            odd[j] += sums[2 * p + 1] * Factors::odd(p, j);
        }
    }
    T c[18];
    for (int j = 0; j < 9; ++j) {
        c[j] = (even[j] + odd[j]) * Factors::scale(j);
        c[17 - j] = (even[j] - odd[j]) * Factors::scale(17 - j);
    }
    for (int i = 0; i < 9; ++i)
        raw[i] = c[9 + i] * Factors::window(type, i);
    for (int i = 9; i < 27; ++i)
        raw[i] = c[26 - i] * Factors::window(type, i);
    for (int i = 27; i < 36; ++i)
        raw[i] = c[i - 27] * Factors::window(type, i);
}

} // namespace

void Layer3Decoder::hybridSynthesis(const GranuleChannelInfo& info, int channel)
{
    const float* lines = m_lines[channel];
    const int active = std::min(32, (m_nonZero[channel] + 17) / 18);
    float(*overlap)[32] = m_overlap[channel];
    // Four subbands at a time, one per lane, where they share a long block type.
    for (int first = 0; first < 32; first += 4) {
        const uint32_t type = windowType(info, first);
        const bool silent = first >= active;
        if (!silent && (first + 4 > active || type == 2 || windowType(info, first + 3) != type)) {
            for (int sb = first; sb < first + 4; ++sb)
                hybridSubband(info, channel, sb, sb >= active);
            continue;
        }
        Float4 raw[36];
        if (silent) {
            for (Float4& value : raw)
                value = Float4 {};
        } else {
            Float4 x[18];
            const float* rows = lines + 18 * first;
            for (int k = 0; k < 16; k += 4) {
                Float4 a = load4(rows + k), b = load4(rows + 18 + k), c = load4(rows + 36 + k),
                       d = load4(rows + 54 + k);
                transpose4(a, b, c, d);
                x[k] = a;
                x[k + 1] = b;
                x[k + 2] = c;
                x[k + 3] = d;
            }
            for (int k = 16; k < 18; ++k)
                x[k] = Float4 { rows[k], rows[18 + k], rows[36 + k], rows[54 + k] };
            imdctLong<Float4, WideFactors>(x, type, raw);
        }
        // Odd subbands of odd time slots are inverted.
        constexpr Float4 kInversion = { 1.0f, -1.0f, 1.0f, -1.0f };
        for (int t = 0; t < 18; ++t) {
            // A silent subband passes its overlap on unchanged.
            const Float4 out = silent ? load4(overlap[t] + first) : raw[t] + load4(overlap[t] + first);
            store4(overlap[t] + first, raw[18 + t]);
            store4(&m_subbands[t][channel][first], (t & 1) ? out * kInversion : out);
        }
    }
}

void Layer3Decoder::hybridSubband(const GranuleChannelInfo& info, int channel, int sb, bool silent)
{
    float(*overlap)[32] = m_overlap[channel];
    float out[18];
    if (silent) {
        for (int t = 0; t < 18; ++t) {
            out[t] = overlap[t][sb];
            overlap[t][sb] = 0.0f;
        }
    } else {
        const float* x = m_lines[channel] + 18 * sb;
        const uint32_t type = windowType(info, sb);
        float raw[36];
        if (type == 2) {
            for (float& v : raw)
                v = 0.0f;
            for (int w = 0; w < 3; ++w) {
                for (int i = 0; i < 12; ++i) {
                    float sum = 0.0f;
                    for (int k = 0; k < 6; ++k)
                        sum += kImdctShort[i][k] * x[3 * k + w];
                    raw[6 + 6 * w + i] += sum;
                }
            }
        } else {
            imdctLong<float, NarrowFactors>(x, type, raw);
        }
        for (int t = 0; t < 18; ++t) {
            out[t] = raw[t] + overlap[t][sb];
            overlap[t][sb] = raw[18 + t];
        }
    }
    const bool invert = sb & 1;
    for (int t = 0; t < 18; ++t)
        m_subbands[t][channel][sb] = (invert && (t & 1)) ? -out[t] : out[t];
}

void Layer3Decoder::decodeFrame(FrameReader& reader, const FrameHeader& header, SynthesisFilter& synthesis,
    SynthesisPath path, int16_t* pcm, float* pcmFloat)
{
    const int channels = header.channels;
    const bool lsf = header.lowSamplingFrequency;
    const int granules = lsf ? 1 : 2;
    const uint64_t sideStart = reader.bitPosition();
    readSideInfo(reader, header);
    const int sideBytes = lsf ? (channels == 1 ? 9 : 17) : (channels == 1 ? 17 : 32);
    reader.setBitPosition(sideStart + 8u * static_cast<uint64_t>(sideBytes));
    int slots = static_cast<int>(header.frameLength) - sideBytes - (header.protectionBit == 0 ? 2 : 0);
    slots = std::max(slots, 0);

    const uint64_t frameStart = m_reservoir.written();
    const uint64_t mainStart = reader.bitPosition();
    if (mainStart % 8 == 0) {
        // Whole bytes: copied as they stand; past the end of the data the
        // reader gives zeros, and so does this.
        const uint64_t byte = mainStart / 8;
        const uint32_t present
            = byte < reader.size() ? static_cast<uint32_t>(std::min<uint64_t>(slots, reader.size() - byte)) : 0;
        m_reservoir.appendBytes(reader.data() + byte, present);
        for (int i = static_cast<int>(present); i < slots; ++i)
            m_reservoir.append(0);
        reader.setBitPosition(mainStart + 8u * static_cast<uint64_t>(slots));
    } else {
        for (int i = 0; i < slots; ++i)
            m_reservoir.append(static_cast<uint8_t>(reader.getBits(8)));
    }
    // Main data starts main_data_begin bytes before this frame's own; when
    // those bytes are not held (the first frames of a stream, or a damaged
    // one), decoding starts at the earliest byte held.
    const uint64_t written = m_reservoir.written();
    const uint64_t oldestHeld
        = std::max(m_validFrom, written > BitReservoir::kSize ? written - BitReservoir::kSize : 0);
    const uint64_t wanted = frameStart >= m_side.mainDataBegin ? frameStart - m_side.mainDataBegin : 0;
    m_reservoir.setBitPosition(8 * std::max(wanted, oldestHeld));

    for (int gr = 0; gr < granules; ++gr) {
        for (int ch = 0; ch < channels; ++ch) {
            const GranuleChannelInfo& info = m_side.granules[gr][ch];
            const uint64_t part2Start = m_reservoir.bitPosition();
            const uint64_t end = part2Start + (info.part23Length & 4095);
            readScaleFactors(header, gr, ch);
            decodeHuffman(header, info, end, ch);
            requantise(header, info, ch);
        }
        processStereo(header, gr);
        for (int ch = 0; ch < channels; ++ch) {
            const GranuleChannelInfo& info = m_side.granules[gr][ch];
            reorder(header, info, ch);
            antialias(info, ch);
            hybridSynthesis(info, ch);
        }
        const size_t offset = static_cast<size_t>(32 * channels) * static_cast<size_t>(gr * 18);
        if (path == SynthesisPath::Fixed16) {
            for (int t = 0; t < 18; ++t) {
                for (int ch = 0; ch < channels; ++ch) {
                    for (int sb = 0; sb < 32; ++sb)
                        m_subbandsFixed[t][ch][sb] = handOverSample(m_subbands[t][ch][sb]);
                }
                const size_t slot = static_cast<size_t>(32 * channels) * static_cast<size_t>(t);
                synthesis.runFixed(&m_subbandsFixed[t][0][0], channels, pcm + offset + slot, pcmFloat + offset + slot);
            }
        } else if (pcm) {
            synthesis.runFloatSlots(&m_subbands[0][0][0], 64, 18, channels, pcm + offset, pcmFloat + offset);
        } else {
            synthesis.runFloatSlotsClamped(&m_subbands[0][0][0], 64, 18, channels, pcmFloat + offset);
        }
    }
}

} // namespace mpeg
