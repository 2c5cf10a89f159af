#include "net/huffman_decoder.h"

#include <cstring>

namespace {

// A lookup of this many bits decodes every whole code it holds (up to four
// bytes); the longest code has 11 bits, so at least one always fits.
constexpr int kLookupBits = 12;
constexpr size_t kLookupSize = size_t(1) << kLookupBits;
constexpr int kMaxBytesPerLookup = 4;
// Lookups made between two refills: a refill leaves at least 56 bits while
// eight input bytes remain, and four lookups take at most 48.
constexpr int kLookupsPerRefill = 4;
constexpr int kBitsPerRefill = kLookupsPerRefill * kLookupBits;
constexpr uint32_t kRoomPerRefill = kLookupsPerRefill * kMaxBytesPerLookup;

// What one lookup window decodes to. The bytes are stored four at a time
// whatever `count` says: the next store overwrites the extra ones, and those
// of the last store are zero, since unused bytes of an entry are zero.
// The bit count comes first: the next lookup waits for it alone.
struct DecodeEntry {
    uint8_t bitCount; // bits the bytes take, with the end code's when `endsPacket`
    uint8_t bytes[kMaxBytesPerLookup];
    uint8_t count; // whole byte codes at the start of the window
    uint8_t firstBits; // length of the first code in the window
    uint8_t endsPacket; // the end code follows the `count` bytes in the window
};

struct DecodeTable {
    DecodeEntry entries[kLookupSize];

    DecodeTable()
    {
        // Every window of the longest code's length maps to the one symbol
        // whose code it starts with, since the code is complete and prefix-free.
        constexpr uint32_t kSingleSize = 1u << kHuffmanMaxBits;
        static uint16_t symbolOf[kSingleSize];
        static uint8_t bitsOf[kSingleSize];
        for (int symbol = 0; symbol < kHuffmanSymbolCount; ++symbol) {
            int bits = huffmanCodeTable[symbol].bitCount;
            uint32_t first = uint32_t(huffmanCodeTable[symbol].code) << (kHuffmanMaxBits - bits);
            for (uint32_t k = 0; k < (1u << (kHuffmanMaxBits - bits)); ++k) {
                symbolOf[first + k] = uint16_t(symbol);
                bitsOf[first + k] = uint8_t(bits);
            }
        }
        for (uint32_t window = 0; window < kLookupSize; ++window) {
            DecodeEntry entry {};
            int used = 0;
            while (entry.count < kMaxBytesPerLookup) {
                // The next code's bits, zero-padded past the window.
                uint32_t next = ((window << used) & (kLookupSize - 1)) >> (kLookupBits - kHuffmanMaxBits);
                int bits = bitsOf[next];
                if (used + bits > kLookupBits)
                    break;
                if (used == 0)
                    entry.firstBits = uint8_t(bits);
                used += bits;
                if (symbolOf[next] == kHuffmanEndSymbol) {
                    entry.endsPacket = 1;
                    break;
                }
                entry.bytes[entry.count++] = uint8_t(symbolOf[next]);
            }
            entry.bitCount = uint8_t(used);
            entries[window] = entry;
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
    uint32_t peek() const { return uint32_t(m_bits >> (64 - kLookupBits)); }
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
uint32_t nextByteBoundary(uint32_t position) { return (position + 7) / 8 * 8; }

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

    // Several codes per lookup while the window holds enough input and the
    // output room for every store until the next refill; the room is checked
    // once per refill, not per byte.
    for (;;) {
        window.refill();
        if (window.available() < kBitsPerRefill || length > outCapacity || outCapacity - length < kRoomPerRefill)
            break;
        for (int i = 0; i < kLookupsPerRefill; ++i) {
            const DecodeEntry& entry = entries[window.peek()];
            std::memcpy(out + length, entry.bytes, kMaxBytesPerLookup);
            length += entry.count;
            window.consume(entry.bitCount);
            position += entry.bitCount;
            if (entry.endsPacket) {
                result = HuffmanResult::EndOfPacket;
                position = nextByteBoundary(position);
                goto done;
            }
        }
    }

    // Near the end of the input or of the output: one code at a time, each
    // checked against both.
    for (;;) {
        if (window.available() < kHuffmanMaxBits)
            window.refill();
        const DecodeEntry& entry = entries[window.peek()];
        if (entry.firstBits > window.available()) {
            result = HuffmanResult::NeedMoreInput;
            break;
        }
        if (entry.count == 0) {
            // An entry without bytes starts with the end code.
            result = HuffmanResult::EndOfPacket;
            position = nextByteBoundary(position + entry.firstBits);
            break;
        }
        // The limit is checked before the write, so a full buffer stays full.
        if (length >= outCapacity) {
            result = HuffmanResult::OutputFull;
            break;
        }
        out[length++] = entry.bytes[0];
        window.consume(entry.firstBits);
        position += entry.firstBits;
    }

done:
    bitPosition = position;
    outLength = length;
    return result;
}
