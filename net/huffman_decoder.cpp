#include "net/huffman_decoder.h"

#include "net/huffman_decode_table.h"

#include <cstring>

namespace huffman_tables {

Tables::Tables()
{
    // Every window of the longest code's length maps to the one symbol whose
    // code it starts with, since the code is complete and prefix-free.
    for (int symbol = 0; symbol < kHuffmanSymbolCount; ++symbol) {
        int bits = huffmanCodeTable[symbol].bitCount;
        uint32_t first = uint32_t(huffmanCodeTable[symbol].code) << (kHuffmanMaxBits - bits);
        for (uint32_t k = 0; k < (1u << (kHuffmanMaxBits - bits)); ++k)
            symbols[first + k] = SymbolEntry { uint16_t(symbol), uint8_t(bits) };
        if (symbol < 256)
            byteBits[symbol] = uint8_t(bits);
    }
    for (uint32_t window = 0; window <= kLookupMask; ++window) {
        DecodeEntry entry {};
        entry.paddingMask = -1;
        int used = 0;
        while (entry.count < kMaxBytesPerLookup) {
            // The next code's bits, zero-padded past the window.
            uint32_t next = ((window << used) & kLookupMask) >> (kLookupBits - kHuffmanMaxBits);
            const SymbolEntry& code = symbols[next];
            if (used + code.bitCount > kLookupBits)
                break;
            used += code.bitCount;
            if (code.symbol == kHuffmanEndSymbol) {
                entry.endsPacket = 1;
                entry.paddingMask = -8;
                break;
            }
            entry.bytes[entry.count++] = uint8_t(code.symbol);
        }
        entry.bitCount = uint8_t(used);
        entries[window] = entry;
    }
}

const Tables& tables()
{
    static const Tables table;
    return table;
}

} // namespace huffman_tables

using namespace huffman_tables;

namespace {

// Lookups made between two refills: a refill leaves at least 56 bits while
// eight input bytes remain, and four lookups take at most 48.
constexpr int kLookupsPerRefill = 4;
constexpr int kBitsPerRefill = kLookupsPerRefill * kLookupBits;
constexpr uint32_t kRoomPerRefill = kLookupsPerRefill * kMaxBytesPerLookup;

} // namespace

void buildHuffmanTree() { tables(); }

HuffmanResult huffmanDecodeOne(
    const uint8_t* raw, size_t rawLength, uint32_t& bitPosition, uint8_t* out, size_t outCapacity, uint32_t& outLength)
{
    if (uint64_t(bitPosition) >= uint64_t(rawLength) * 8)
        return HuffmanResult::NeedMoreInput;
    const Tables& table = tables();
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
            const DecodeEntry& entry = table.entries[window.peek()];
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
        const SymbolEntry& code = window.peekSymbol(table);
        if (code.bitCount > window.available()) {
            result = HuffmanResult::NeedMoreInput;
            break;
        }
        if (code.symbol == kHuffmanEndSymbol) {
            result = HuffmanResult::EndOfPacket;
            position = nextByteBoundary(position + code.bitCount);
            break;
        }
        // The limit is checked before the write, so a full buffer stays full.
        if (length >= outCapacity) {
            result = HuffmanResult::OutputFull;
            break;
        }
        out[length++] = uint8_t(code.symbol);
        window.consume(code.bitCount);
        position += code.bitCount;
    }

done:
    bitPosition = position;
    outLength = length;
    return result;
}
