#include "net/huffman_decoder.h"

#include <cstring>

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

// Reads the input into a 64-bit window, most significant bit first. Bits past
// `available` are either zero or the input's own next bits, so a code may be
// looked up before it is known to be complete.
class BitWindow {
public:
    BitWindow(const uint8_t* raw, size_t rawLength, uint32_t position)
        : m_raw(raw)
        , m_length(rawLength)
        , m_next(position >> 3)
    {
        refill();
        int skip = int(position & 7);
        m_bits <<= skip;
        m_available -= skip;
    }

    void refill()
    {
        if (m_next + 8 <= m_length) {
            uint64_t word;
            std::memcpy(&word, m_raw + m_next, 8);
            m_bits |= __builtin_bswap64(word) >> m_available;
            int take = (63 - m_available) >> 3;
            m_next += size_t(take);
            m_available += take * 8;
            return;
        }
        while (m_available <= 56 && m_next < m_length) {
            m_bits |= uint64_t(m_raw[m_next++]) << (56 - m_available);
            m_available += 8;
        }
    }
    uint32_t peek() const { return uint32_t(m_bits >> (64 - kHuffmanMaxBits)); }
    int available() const { return m_available; }
    void consume(int bits)
    {
        m_bits <<= bits;
        m_available -= bits;
    }

private:
    const uint8_t* m_raw;
    size_t m_length;
    size_t m_next;
    uint64_t m_bits { 0 };
    int m_available { 0 };
};

} // namespace

void buildHuffmanTree() { decodeTable(); }

HuffmanResult huffmanDecodeOne(
    const uint8_t* raw, size_t rawLength, uint32_t& bitPosition, uint8_t* out, size_t outCapacity, uint32_t& outLength)
{
    if (uint64_t(bitPosition) >= uint64_t(rawLength) * 8)
        return HuffmanResult::NeedMoreInput;
    const DecodeEntry* entries = decodeTable().entries;
    BitWindow window(raw, rawLength, bitPosition);
    uint32_t position = bitPosition;
    uint32_t length = outLength;
    HuffmanResult result;
    for (;;) {
        if (window.available() < kHuffmanMaxBits)
            window.refill();
        DecodeEntry entry = entries[window.peek()];
        if (entry.bitCount > window.available()) {
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
        window.consume(entry.bitCount);
        position += entry.bitCount;
    }
    bitPosition = position;
    outLength = length;
    return result;
}
