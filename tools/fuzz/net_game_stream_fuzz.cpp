// The receive pair of a game connection over arbitrary bytes: the digest XOR
// keyed by the game stream cipher's first table, then the Huffman decoder, the
// bytes arriving in reads of varying size and decoded into an output of
// varying capacity. The decoder is checked against a plain bit-by-bit decoder
// of the same code, and the cipher applied in pieces against one application.
//
// Input: 4 bytes of seed, a flag byte (bit 0: game-server key form, bits 1-7:
// read size), a capacity byte, then the stream.

#include "fuzz_byte_reader.h"
#include "net/game_stream_cipher.h"
#include "net/huffman_decoder.h"
#include "net/login_cipher.h"

#include <cstring>
#include <vector>

namespace {

using fuzz::require;

// The symbol whose code is `code` of `bits` bits, -1 when there is none.
int symbolOfCode(int bits, int32_t code)
{
    struct Lookup {
        int16_t symbols[kHuffmanMaxBits + 1][1 << kHuffmanMaxBits];
        Lookup()
        {
            for (auto& row : symbols)
                for (int16_t& symbol : row)
                    symbol = -1;
            for (int s = 0; s < kHuffmanSymbolCount; ++s)
                symbols[huffmanCodeTable[s].bitCount][huffmanCodeTable[s].code] = int16_t(s);
        }
    };
    static const Lookup lookup;
    return lookup.symbols[bits][code];
}

// Reads one code at a time, bit by bit, matching it against the code table.
HuffmanResult referenceDecodeOne(
    const uint8_t* raw, size_t rawLength, uint32_t& bitPosition, uint8_t* out, size_t outCapacity, uint32_t& outLength)
{
    uint64_t totalBits = uint64_t(rawLength) * 8;
    for (;;) {
        int symbol = -1;
        int32_t code = 0;
        int bits = 0;
        while (symbol < 0) {
            if (bitPosition + bits >= totalBits)
                return HuffmanResult::NeedMoreInput;
            uint32_t at = bitPosition + uint32_t(bits);
            code = code << 1 | (raw[at / 8] >> (7 - at % 8) & 1);
            ++bits;
            require(bits <= kHuffmanMaxBits);
            symbol = symbolOfCode(bits, code);
        }
        if (symbol == kHuffmanEndSymbol) {
            bitPosition = ((bitPosition + uint32_t(bits) - 1) / 8 + 1) * 8;
            return HuffmanResult::EndOfPacket;
        }
        if (outLength >= outCapacity)
            return HuffmanResult::OutputFull;
        out[outLength++] = uint8_t(symbol);
        bitPosition += uint32_t(bits);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzByteReader input(data, size);
    uint32_t seed = input.u32();
    uint8_t flags = input.u8();
    size_t capacity = 1 + input.u8() * 4;
    size_t readSize = 1 + size_t(flags >> 1) * 13;
    std::vector<uint8_t> stream(data + (size - input.left()), data + size);

    GameStreamCipher cipher;
    cipher.init((flags & 1) ? seed : seed ^ login_cipher::kLoginTableSeedMask);
    uint8_t digest[GameStreamCipher::kDigestSize];
    cipher.tableDigest(digest);
    for (size_t i = 0; i < stream.size(); ++i)
        stream[i] ^= digest[i % GameStreamCipher::kDigestSize];

    // The cipher in pieces of the read size gives the stream of one application.
    std::vector<uint8_t> whole(stream);
    std::vector<uint8_t> pieces(stream);
    GameStreamCipher second = cipher;
    cipher.apply(whole.data(), whole.size());
    for (size_t at = 0; at < pieces.size(); at += readSize)
        second.apply(pieces.data() + at, std::min(readSize, pieces.size() - at));
    require(whole == pieces);
    require(cipher.index() == second.index());

    // Decode as the bytes arrive; each output is exactly `capacity` bytes of heap.
    std::vector<uint8_t> out(capacity);
    std::vector<uint8_t> expected(capacity);
    uint32_t position = 0;
    uint32_t length = 0;
    uint32_t expectedPosition = 0;
    uint32_t expectedLength = 0;
    for (size_t arrived = std::min(readSize, stream.size()); arrived > 0;) {
        HuffmanResult result = huffmanDecodeOne(stream.data(), arrived, position, out.data(), out.size(), length);
        HuffmanResult reference
            = referenceDecodeOne(stream.data(), arrived, expectedPosition, expected.data(), expected.size(), expectedLength);
        require(result == reference);
        require(position == expectedPosition && length == expectedLength);
        require(length <= capacity && position <= arrived * 8);
        require(std::memcmp(out.data(), expected.data(), length) == 0);
        if (result == HuffmanResult::EndOfPacket) {
            require(position % 8 == 0);
            length = expectedLength = 0; // the block was framed and taken
        } else if (result == HuffmanResult::OutputFull) {
            break; // the connection gives such a stream up
        } else if (arrived == stream.size()) {
            break;
        } else {
            arrived = std::min(arrived + readSize, stream.size());
        }
    }
    return 0;
}
