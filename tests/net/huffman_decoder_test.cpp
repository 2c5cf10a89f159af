#include "net/huffman_decoder.h"
#include "support/huffman_encoder.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

TEST(HuffmanCode, IsCompleteAndPrefixFree)
{
    // Kraft sum of exactly one, in units of 2^-11.
    uint32_t kraft = 0;
    for (const HuffmanCode& code : huffmanCodeTable) {
        ASSERT_GE(code.bitCount, 2);
        ASSERT_LE(code.bitCount, kHuffmanMaxBits);
        kraft += 1u << (kHuffmanMaxBits - code.bitCount);
    }
    EXPECT_EQ(kraft, 1u << kHuffmanMaxBits);
    for (int a = 0; a < kHuffmanSymbolCount; ++a) {
        for (int b = 0; b < kHuffmanSymbolCount; ++b) {
            const HuffmanCode& shorter = huffmanCodeTable[a];
            const HuffmanCode& longer = huffmanCodeTable[b];
            if (a == b || shorter.bitCount > longer.bitCount)
                continue;
            EXPECT_NE(longer.code >> (longer.bitCount - shorter.bitCount), shorter.code) << a << " prefixes " << b;
        }
    }
}

std::vector<uint8_t> everyByte()
{
    std::vector<uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[i] = uint8_t(i);
    return bytes;
}

TEST(HuffmanDecoder, DecodesEveryByteValue)
{
    std::vector<uint8_t> packet = everyByte();
    std::vector<uint8_t> raw;
    test::huffmanEncodePacket(packet, raw);
    std::vector<uint8_t> out(1024);
    uint32_t bits = 0;
    uint32_t length = 0;
    EXPECT_EQ(
        huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length), HuffmanResult::EndOfPacket);
    EXPECT_EQ(bits, raw.size() * 8);
    out.resize(length);
    EXPECT_EQ(out, packet);
}

TEST(HuffmanDecoder, CodeCutAtAnyPointResumesAtTheSymbolBoundary)
{
    std::vector<uint8_t> packet = { 0x1B, 0xFF, 0x00, 0xA6, 0x7E, 0xE0, 0x42 };
    std::vector<uint8_t> raw;
    test::huffmanEncodePacket(packet, raw);
    for (size_t cut = 0; cut < raw.size(); ++cut) {
        std::vector<uint8_t> out(64);
        uint32_t bits = 0;
        uint32_t length = 0;
        EXPECT_EQ(
            huffmanDecodeOne(raw.data(), cut, bits, out.data(), out.size(), length), HuffmanResult::NeedMoreInput);
        EXPECT_LE(bits, cut * 8);
        EXPECT_EQ(
            huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length), HuffmanResult::EndOfPacket)
            << cut;
        out.resize(length);
        EXPECT_EQ(out, packet) << cut;
    }
}

TEST(HuffmanDecoder, PaddingAfterTheEndCodeIsSkipped)
{
    // Two packets; the first one's padding bits are ones, which must not be read.
    std::vector<uint8_t> first = { 0x55 };
    std::vector<uint8_t> second = { 0x73, 0x00 };
    std::vector<uint8_t> raw;
    test::huffmanEncodePacket(first, raw);
    uint32_t usedBits = uint32_t(huffmanCodeTable[0x55].bitCount + huffmanCodeTable[kHuffmanEndSymbol].bitCount);
    if (usedBits % 8)
        raw.back() |= uint8_t(0xFF >> (usedBits % 8));
    test::huffmanEncodePacket(second, raw);
    std::vector<uint8_t> out(16);
    uint32_t bits = 0;
    uint32_t length = 0;
    ASSERT_EQ(
        huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length), HuffmanResult::EndOfPacket);
    EXPECT_EQ(length, 1u);
    EXPECT_EQ(bits % 8, 0u);
    length = 0;
    ASSERT_EQ(
        huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length), HuffmanResult::EndOfPacket);
    EXPECT_EQ(length, 2u);
    EXPECT_EQ(out[0], 0x73);
}

TEST(HuffmanDecoder, FullOutputIsDetectedBeforeTheWrite)
{
    std::vector<uint8_t> packet(40, 0x00);
    std::vector<uint8_t> raw;
    test::huffmanEncodePacket(packet, raw);
    std::vector<uint8_t> out(33, 0xEE); // capacity 32, a guard byte after it
    uint32_t bits = 0;
    uint32_t length = 0;
    EXPECT_EQ(huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), 32, length), HuffmanResult::OutputFull);
    EXPECT_EQ(length, 32u);
    EXPECT_EQ(out[32], 0xEE);
    // Asked again it stays full and still writes nothing.
    EXPECT_EQ(huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), 32, length), HuffmanResult::OutputFull);
    EXPECT_EQ(length, 32u);
    EXPECT_EQ(out[32], 0xEE);
}

TEST(HuffmanDecoder, EndCodeFitsInAFullOutput)
{
    std::vector<uint8_t> packet(8, 0x00);
    std::vector<uint8_t> raw;
    test::huffmanEncodePacket(packet, raw);
    std::vector<uint8_t> out(8);
    uint32_t bits = 0;
    uint32_t length = 0;
    EXPECT_EQ(
        huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length), HuffmanResult::EndOfPacket);
    EXPECT_EQ(length, 8u);
}

TEST(HuffmanDecoder, EmptyInputNeedsMore)
{
    uint8_t out[4];
    uint32_t bits = 0;
    uint32_t length = 0;
    EXPECT_EQ(huffmanDecodeOne(nullptr, 0, bits, out, sizeof out, length), HuffmanResult::NeedMoreInput);
    EXPECT_EQ(bits, 0u);
}

// One code at a time, straight from the code table: what the decoder must
// give for any input, output room and starting point.
struct PlainDecode {
    HuffmanResult result;
    uint32_t bitPosition;
    std::vector<uint8_t> bytes;
};

PlainDecode decodeCodeByCode(const std::vector<uint8_t>& raw, size_t rawLength, uint32_t bitPosition, size_t room)
{
    PlainDecode decoded { HuffmanResult::NeedMoreInput, bitPosition, {} };
    auto bitAt = [&](uint64_t at) { return (raw[at / 8] >> (7 - at % 8)) & 1; };
    for (;;) {
        int symbol = -1;
        uint32_t code = 0;
        int bits = 0;
        while (symbol < 0 && bits < kHuffmanMaxBits && decoded.bitPosition + bits < rawLength * 8) {
            code = code << 1 | uint32_t(bitAt(decoded.bitPosition + bits));
            ++bits;
            for (int s = 0; s < kHuffmanSymbolCount; ++s)
                if (huffmanCodeTable[s].bitCount == bits && uint32_t(huffmanCodeTable[s].code) == code)
                    symbol = s;
        }
        if (symbol < 0)
            return decoded;
        if (symbol == kHuffmanEndSymbol) {
            decoded.result = HuffmanResult::EndOfPacket;
            decoded.bitPosition = (decoded.bitPosition + bits + 7) / 8 * 8;
            return decoded;
        }
        if (decoded.bytes.size() >= room) {
            decoded.result = HuffmanResult::OutputFull;
            return decoded;
        }
        decoded.bytes.push_back(uint8_t(symbol));
        decoded.bitPosition += bits;
    }
}

// Long packets of mixed short and long codes, decoded with every output
// room, cut at many points and started at every packet: the several-codes
// lookups must give exactly what one code at a time gives, and write
// nothing past the decoded bytes but up to four zeros below the room's end.
TEST(HuffmanDecoder, ManyCodesPerLookupMatchOneCodeAtATime)
{
    std::mt19937 random(21);
    std::vector<std::vector<uint8_t>> packets;
    for (size_t length : { 1, 3, 17, 40, 97 }) {
        std::vector<uint8_t> packet(length);
        for (uint8_t& byte : packet)
            byte = random() % 3 == 0 ? 0 : uint8_t(random());
        packets.push_back(packet);
    }
    std::vector<uint8_t> raw = test::huffmanEncodePackets(packets);
    std::vector<uint32_t> starts { 0 };
    for (uint32_t bits = 0; starts.size() < packets.size();) {
        PlainDecode next = decodeCodeByCode(raw, raw.size(), bits, 1000);
        ASSERT_EQ(next.result, HuffmanResult::EndOfPacket);
        bits = next.bitPosition;
        starts.push_back(bits);
    }
    for (uint32_t start : starts) {
        for (size_t cut : { raw.size(), raw.size() - 1, size_t(start / 8 + 5), size_t(start / 8 + 9) }) {
            cut = std::min(cut, raw.size());
            for (size_t room = 0; room <= 110; room += room < 24 ? 1 : 13) {
                PlainDecode expected = decodeCodeByCode(raw, cut, start, room);
                std::vector<uint8_t> out(room + 8, 0xEE);
                uint32_t bits = start;
                uint32_t length = 0;
                HuffmanResult result = huffmanDecodeOne(raw.data(), cut, bits, out.data(), room, length);
                ASSERT_EQ(result, expected.result) << start << " " << cut << " " << room;
                ASSERT_EQ(bits, expected.bitPosition) << start << " " << cut << " " << room;
                ASSERT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + length), expected.bytes);
                for (size_t i = length; i < out.size(); ++i) {
                    bool mayBeZero = i < length + 4 && i < room;
                    ASSERT_TRUE(out[i] == 0xEE || (mayBeZero && out[i] == 0)) << "byte " << i << " past the decoded ones";
                }
            }
        }
    }
}

} // namespace
