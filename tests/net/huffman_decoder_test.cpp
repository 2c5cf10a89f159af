#include "net/huffman_decoder.h"
#include "support/huffman_encoder.h"

#include <gtest/gtest.h>
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
    EXPECT_EQ(huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length),
        HuffmanResult::EndOfPacket);
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
        EXPECT_EQ(huffmanDecodeOne(raw.data(), cut, bits, out.data(), out.size(), length),
            HuffmanResult::NeedMoreInput);
        EXPECT_LE(bits, cut * 8);
        EXPECT_EQ(huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length),
            HuffmanResult::EndOfPacket)
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
    ASSERT_EQ(huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length),
        HuffmanResult::EndOfPacket);
    EXPECT_EQ(length, 1u);
    EXPECT_EQ(bits % 8, 0u);
    length = 0;
    ASSERT_EQ(huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length),
        HuffmanResult::EndOfPacket);
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
    EXPECT_EQ(huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length),
        HuffmanResult::EndOfPacket);
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

} // namespace
