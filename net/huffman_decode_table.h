#pragma once
// The lookup tables and the bit reader shared by the two stream decoders (one
// block per call, and many blocks per call). Built once per process on first
// use; read-only afterwards. Not for use outside the decoders.

#include "net/huffman_decoder.h"

#include <cstring>

namespace huffman_tables {

// A lookup of this many bits decodes every whole code it holds (up to four
// bytes); the longest code has 11 bits, so at least one always fits.
constexpr int kLookupBits = 12;
constexpr uint32_t kLookupMask = (1u << kLookupBits) - 1;
constexpr int kMaxBytesPerLookup = 4;
constexpr int kEndCodeBits = 4;

// What one lookup window decodes to. The bytes are stored four at a time
// whatever `count` says: the next store overwrites the extra ones, and those
// of the last store are zero, since unused bytes of an entry are zero.
struct DecodeEntry {
    uint8_t bytes[kMaxBytesPerLookup];
    uint8_t bitCount; // bits the bytes take, with the end code's when `endsPacket`
    uint8_t count; // whole byte codes at the start of the window
    // Applied to a count of unread bits that ends on a byte boundary, it drops
    // the padding after an end code: -8 after one, -1 (nothing) otherwise.
    int8_t paddingMask;
    uint8_t endsPacket; // the end code follows the `count` bytes in the window
};

// One code at a time, for the careful steps near the end of the input or of
// the output: the code that an 11-bit window starts with.
struct SymbolEntry {
    uint16_t symbol; // a byte value, or kHuffmanEndSymbol
    uint8_t bitCount;
};

struct Tables {
    DecodeEntry entries[1u << kLookupBits];
    SymbolEntry symbols[1u << kHuffmanMaxBits];
    uint8_t byteBits[256]; // the code length of each byte value

    Tables();
};

const Tables& tables();

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
    uint32_t peek() const { return uint32_t(m_bits >> (64 - kLookupBits)); }
    // The code at the front of the window, read with one more refill if needed.
    const SymbolEntry& peekSymbol(const Tables& table)
    {
        if (m_available < kHuffmanMaxBits)
            refill();
        return table.symbols[m_bits >> (64 - kHuffmanMaxBits)];
    }
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

// The bit position after an end code that ends at `position`: the rest of its
// byte is padding.
inline uint32_t nextByteBoundary(uint32_t position) { return (position + 7) / 8 * 8; }

} // namespace huffman_tables
