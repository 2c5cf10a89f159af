#include "net/huffman_decoder.h"

namespace {

// Every 11-bit window maps to the one symbol whose code it starts with, since
// the code is complete and prefix-free; the entry keeps that code's length.
struct DecodeEntry {
    uint16_t symbol;
    uint8_t bitCount;
};

constexpr size_t kWindowSize = size_t(1) << kHuffmanMaxBits;

struct DecodeTable {
    DecodeEntry entries[kWindowSize];

    DecodeTable()
    {
        for (int symbol = 0; symbol < kHuffmanSymbolCount; ++symbol) {
            int bits = huffmanCodeTable[symbol].bitCount;
            uint32_t first = uint32_t(huffmanCodeTable[symbol].code) << (kHuffmanMaxBits - bits);
            uint32_t count = 1u << (kHuffmanMaxBits - bits);
            for (uint32_t k = 0; k < count; ++k)
                entries[first + k] = { uint16_t(symbol), uint8_t(bits) };
        }
    }
};

const DecodeTable& decodeTable()
{
    static const DecodeTable table;
    return table;
}

// The 11 bits starting at `position`, zero beyond the end of the input.
inline uint32_t peekWindow(const uint8_t* raw, size_t rawLength, uint32_t position)
{
    size_t byte = position >> 3;
    uint32_t word;
    if (byte + 3 <= rawLength) {
        word = uint32_t(raw[byte]) << 16 | uint32_t(raw[byte + 1]) << 8 | raw[byte + 2];
    } else {
        word = uint32_t(raw[byte]) << 16;
        if (byte + 1 < rawLength)
            word |= uint32_t(raw[byte + 1]) << 8;
    }
    return (word >> (24 - kHuffmanMaxBits - (position & 7))) & (kWindowSize - 1);
}

} // namespace

void buildHuffmanTree() { decodeTable(); }

HuffmanResult huffmanDecodeOne(const uint8_t* raw, size_t rawLength, uint32_t& bitPosition, uint8_t* out,
    size_t outCapacity, uint32_t& outLength)
{
    const DecodeEntry* entries = decodeTable().entries;
    uint64_t totalBits = uint64_t(rawLength) * 8;
    uint32_t position = bitPosition;
    uint32_t length = outLength;
    HuffmanResult result;
    for (;;) {
        if (position >= totalBits) {
            result = HuffmanResult::NeedMoreInput;
            break;
        }
        DecodeEntry entry = entries[peekWindow(raw, rawLength, position)];
        if (position + entry.bitCount > totalBits) {
            result = HuffmanResult::NeedMoreInput;
            break;
        }
        if (entry.symbol == kHuffmanEndSymbol) {
            uint32_t lastBit = position + entry.bitCount - 1;
            position = (lastBit / 8 + 1) * 8;
            result = HuffmanResult::EndOfPacket;
            break;
        }
        // The limit is checked before the write, so a full buffer stays full.
        if (length >= outCapacity) {
            result = HuffmanResult::OutputFull;
            break;
        }
        out[length++] = uint8_t(entry.symbol);
        position += entry.bitCount;
    }
    bitPosition = position;
    outLength = length;
    return result;
}
