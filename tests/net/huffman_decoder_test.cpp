#include "net/huffman_decoder.h"
#include "support/huffman_encoder.h"

#include <gtest/gtest.h>
#include <ostream>
#include <random>
#include <string>
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
                    ASSERT_TRUE(out[i] == 0xEE || (mayBeZero && out[i] == 0))
                        << "byte " << i << " past the decoded ones";
                }
            }
        }
    }
}

// What huffmanDecodeOne gives block after block from `start`: each block's
// bytes, and the bit position after it.
struct OneByOne {
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<uint32_t> positions;
};

OneByOne decodeOneByOne(const std::vector<uint8_t>& raw, uint32_t start)
{
    OneByOne decoded;
    std::vector<uint8_t> out(1 << 17);
    for (uint32_t bits = start;;) {
        uint32_t length = 0;
        if (huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length)
            != HuffmanResult::EndOfPacket)
            return decoded;
        decoded.blocks.emplace_back(out.begin(), out.begin() + length);
        decoded.positions.push_back(bits);
    }
}

std::vector<uint8_t> randomBytes(std::mt19937& random, size_t count, int zeroOneIn)
{
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes)
        byte = zeroOneIn > 0 && random() % zeroOneIn == 0 ? 0 : uint8_t(random());
    return bytes;
}

// Streams that the stretches decoded side by side must agree on.
struct BlockStream {
    const char* name;
    std::vector<uint8_t> (*make)();
};

std::vector<uint8_t> smallPackets()
{
    std::mt19937 random(3);
    std::vector<std::vector<uint8_t>> packets;
    for (int i = 0; i < 6000; ++i)
        packets.push_back(randomBytes(random, 1 + random() % 9, 0));
    return test::huffmanEncodePackets(packets);
}

std::vector<uint8_t> mixedPackets()
{
    std::mt19937 random(4);
    std::vector<std::vector<uint8_t>> packets;
    for (int i = 0; i < 900; ++i)
        packets.push_back(randomBytes(random, random() % 4 == 0 ? random() % 400 : random() % 30, 3));
    return test::huffmanEncodePackets(packets);
}

// Mostly the shortest code: many output bytes per input byte.
std::vector<uint8_t> zeroPackets()
{
    std::mt19937 random(5);
    std::vector<std::vector<uint8_t>> packets;
    for (int i = 0; i < 1500; ++i)
        packets.push_back(randomBytes(random, random() % 60, 1));
    return test::huffmanEncodePackets(packets);
}

std::vector<uint8_t> emptyBlocks() { return test::huffmanEncodePackets(std::vector<std::vector<uint8_t>>(20000)); }

// Blocks longer than a stretch, around short ones: the stretches may not meet.
std::vector<uint8_t> longBlocks()
{
    std::mt19937 random(6);
    std::vector<std::vector<uint8_t>> packets;
    for (int i = 0; i < 10; ++i) {
        packets.push_back(randomBytes(random, 3000 + random() % 19000, 0));
        for (int k = 0; k < 40; ++k)
            packets.push_back(randomBytes(random, 1 + random() % 9, 0));
    }
    return test::huffmanEncodePackets(packets);
}

// Random bits: blocks of any length, never padded with zeros.
std::vector<uint8_t> noise()
{
    std::mt19937 random(7);
    return randomBytes(random, 50000, 0);
}

void PrintTo(const BlockStream& row, std::ostream* out) { *out << row.name; }

class HuffmanBlocksTest : public testing::TestWithParam<BlockStream> { };

// Decoded from several starting points with several output rooms and block
// limits, every call gives a prefix of what one block at a time gives, ending
// at the same bit position, and writes nothing past the room or the limit.
TEST_P(HuffmanBlocksTest, GivesWhatOneBlockAtATimeGives)
{
    std::vector<uint8_t> raw = GetParam().make();
    std::mt19937 random(8);
    std::vector<uint32_t> starts = { 0, 5, uint32_t(raw.size() * 8 / 3), uint32_t(raw.size() * 8 - 100) };
    for (uint32_t start : starts) {
        OneByOne expected = decodeOneByOne(raw, start);
        for (size_t room : { size_t(0), size_t(11), size_t(300), size_t(5000), size_t(65536) }) {
            for (size_t limit : { size_t(1), size_t(7), size_t(100), size_t(16384) }) {
                std::vector<uint8_t> out(room + 16, 0xEE);
                std::vector<uint32_t> ends(limit + 4, 0xDEADBEEF);
                HuffmanBlocks blocks
                    = huffmanDecodeBlocks(raw.data(), raw.size(), start, out.data(), room, ends.data(), limit);
                SCOPED_TRACE(testing::Message() << "start " << start << " room " << room << " limit " << limit);
                ASSERT_LE(blocks.count, expected.blocks.size());
                ASSERT_LE(blocks.count, limit);
                EXPECT_EQ(blocks.bitPosition, blocks.count == 0 ? start : expected.positions[blocks.count - 1]);
                uint32_t from = 0;
                for (uint32_t i = 0; i < blocks.count; ++i) {
                    ASSERT_EQ(std::vector<uint8_t>(out.begin() + from, out.begin() + ends[i]), expected.blocks[i])
                        << "block " << i;
                    from = ends[i];
                }
                EXPECT_LE(blocks.written, room);
                for (size_t i = room; i < out.size(); ++i)
                    ASSERT_EQ(out[i], 0xEE) << "byte " << i << " past the room";
                for (size_t i = limit; i < ends.size(); ++i)
                    ASSERT_EQ(ends[i], 0xDEADBEEF) << "block end " << i << " past the limit";
            }
        }
    }
}

// With room enough, repeated calls decode every block, each call many.
TEST_P(HuffmanBlocksTest, RepeatedCallsDecodeEveryBlock)
{
    std::vector<uint8_t> raw = GetParam().make();
    OneByOne expected = decodeOneByOne(raw, 0);
    std::vector<uint8_t> out(65536);
    std::vector<uint32_t> ends(16384);
    size_t decoded = 0;
    int calls = 0;
    for (uint32_t bits = 0;; ++calls) {
        HuffmanBlocks blocks
            = huffmanDecodeBlocks(raw.data(), raw.size(), bits, out.data(), out.size(), ends.data(), ends.size());
        if (blocks.count == 0) {
            // Only a block too long for a share of the room stops the calls.
            if (decoded < expected.blocks.size()) {
                uint32_t length = 0;
                ASSERT_EQ(huffmanDecodeOne(raw.data(), raw.size(), bits, out.data(), out.size(), length),
                    HuffmanResult::EndOfPacket);
                // The smallest share is a quarter of the room.
                ASSERT_GT(length, out.size() / 4);
                ++decoded;
                continue;
            }
            break;
        }
        ASSERT_EQ(blocks.bitPosition, expected.positions[decoded + blocks.count - 1]);
        decoded += blocks.count;
        bits = blocks.bitPosition;
    }
    EXPECT_EQ(decoded, expected.blocks.size());
    EXPECT_LT(calls, int(raw.size() / 8000 + 3));
}

INSTANTIATE_TEST_SUITE_P(Streams, HuffmanBlocksTest,
    testing::Values(BlockStream { "SmallPackets", smallPackets }, BlockStream { "MixedPackets", mixedPackets },
        BlockStream { "ZeroPackets", zeroPackets }, BlockStream { "EmptyBlocks", emptyBlocks },
        BlockStream { "LongBlocks", longBlocks }, BlockStream { "Noise", noise }),
    [](const testing::TestParamInfo<BlockStream>& row) { return std::string(row.param.name); });

// Calls the block decoder on the first `cut` bytes of `raw` until one finds
// no whole block left: every block it gave, and where the last one ended.
struct BlocksUpToCut {
    std::vector<std::vector<uint8_t>> blocks;
    uint32_t bits = 0;
};

BlocksUpToCut decodeBlocksUpTo(const std::vector<uint8_t>& raw, size_t cut, std::vector<uint8_t>& out,
    std::vector<uint32_t>& ends)
{
    BlocksUpToCut decoded;
    for (;;) {
        HuffmanBlocks blocks
            = huffmanDecodeBlocks(raw.data(), cut, decoded.bits, out.data(), out.size(), ends.data(), ends.size());
        if (blocks.count == 0)
            return decoded;
        uint32_t from = 0;
        for (uint32_t i = 0; i < blocks.count; ++i) {
            decoded.blocks.emplace_back(out.begin() + from, out.begin() + ends[i]);
            from = ends[i];
        }
        decoded.bits = blocks.bitPosition;
    }
}

TEST(HuffmanBlocks, CutInputLeavesTheCutBlockForLater)
{
    std::vector<uint8_t> raw = smallPackets();
    raw.resize(20000);
    OneByOne whole = decodeOneByOne(raw, 0);
    std::vector<uint8_t> out(65536);
    std::vector<uint32_t> ends(16384);
    for (size_t cut : { size_t(0), size_t(1), size_t(40), size_t(7001), size_t(19999) }) {
        const BlocksUpToCut decoded = decodeBlocksUpTo(raw, cut, out, ends);
        size_t inCut = 0;
        while (inCut < whole.positions.size() && whole.positions[inCut] <= cut * 8)
            ++inCut;
        EXPECT_EQ(decoded.blocks.size(), inCut) << cut;
        EXPECT_EQ(decoded.bits, inCut == 0 ? 0 : whole.positions[inCut - 1]) << cut;
    }
}

// Every block that the bit-by-bit reference finds in `raw`, and the bit
// position after each.
OneByOne decodeBitByBit(const std::vector<uint8_t>& raw)
{
    OneByOne decoded;
    for (uint32_t bits = 0;;) {
        PlainDecode block = decodeCodeByCode(raw, raw.size(), bits, raw.size() * 8);
        if (block.result != HuffmanResult::EndOfPacket)
            return decoded;
        decoded.blocks.push_back(block.bytes);
        decoded.positions.push_back(block.bitPosition);
        bits = block.bitPosition;
    }
}

// Streams long enough for several chains, cut at every byte: repeated calls
// give exactly the reference's blocks that end before the cut, and stop
// where the last of them ends.
TEST(HuffmanBlocks, StreamCutAtEveryByteGivesTheReferenceBlocksBeforeTheCut)
{
    std::mt19937 random(9);
    std::vector<std::vector<uint8_t>> packets;
    while (packets.size() < 260)
        packets.push_back(randomBytes(random, random() % 5 == 0 ? 0 : 1 + random() % 14, 4));
    std::vector<std::vector<uint8_t>> streams = { test::huffmanEncodePackets(packets), randomBytes(random, 2200, 0) };
    std::vector<uint8_t> out(4096);
    std::vector<uint32_t> ends(1024);
    for (const std::vector<uint8_t>& raw : streams) {
        OneByOne expected = decodeBitByBit(raw);
        ASSERT_GT(raw.size(), 1100u);
        ASSERT_GT(expected.blocks.size(), 100u);
        size_t whole = 0; // reference blocks ending at or before the cut
        for (size_t cut = 0; cut <= raw.size(); ++cut) {
            while (whole < expected.positions.size() && expected.positions[whole] <= cut * 8)
                ++whole;
            const BlocksUpToCut decoded = decodeBlocksUpTo(raw, cut, out, ends);
            ASSERT_EQ(decoded.blocks.size(), whole) << "cut " << cut;
            for (size_t i = 0; i < whole; ++i)
                ASSERT_EQ(decoded.blocks[i], expected.blocks[i]) << "cut " << cut << " block " << i;
            ASSERT_EQ(decoded.bits, whole == 0 ? 0 : expected.positions[whole - 1]) << "cut " << cut;
        }
    }
}

TEST(HuffmanBlocks, BlockEndMatchesTheDecoder)
{
    std::vector<uint8_t> raw = mixedPackets();
    OneByOne decoded = decodeOneByOne(raw, 3);
    uint32_t position = 3;
    for (size_t i = 0; i < decoded.blocks.size(); ++i) {
        position = huffmanBlockEnd(position, decoded.blocks[i].data(), decoded.blocks[i].size());
        ASSERT_EQ(position, decoded.positions[i]) << i;
    }
}

} // namespace
