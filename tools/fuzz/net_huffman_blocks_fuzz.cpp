// The many-blocks Huffman decoder over arbitrary bytes, checked against the
// one-block decoder called block after block: every call gives a prefix of
// its blocks with the same bytes and ends at the same bit position. Output
// and block ends are exactly as large as the room given, so that a write past
// them is caught.
//
// Input: a start bit, the output room (16 bits), the block limit (16 bits), a
// repeat count, then the stream, repeated so that small inputs still make
// streams long enough to be split into stretches.

#include "fuzz_byte_reader.h"
#include "net/huffman_decoder.h"

#include <cstring>
#include <vector>

using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzByteReader input(data, size);
    uint32_t start = input.u8();
    size_t room = input.u16();
    size_t limit = input.u16() + size_t(1);
    size_t repeat = 1 + input.u8() % 64;
    std::vector<uint8_t> piece(data + (size - input.left()), data + size);
    std::vector<uint8_t> raw;
    for (size_t i = 0; i < repeat; ++i)
        raw.insert(raw.end(), piece.begin(), piece.end());

    std::vector<uint8_t> expected(65536);
    std::vector<uint8_t> out(room);
    std::vector<uint32_t> ends(limit);
    uint32_t position = start;
    for (int calls = 0; calls < 64; ++calls) {
        HuffmanBlocks blocks
            = huffmanDecodeBlocks(raw.data(), raw.size(), position, out.data(), room, ends.data(), limit);
        require(blocks.count <= limit && blocks.written <= room);
        if (blocks.count == 0) {
            require(blocks.bitPosition == position);
            break;
        }
        uint32_t from = 0;
        for (uint32_t i = 0; i < blocks.count; ++i) {
            uint32_t length = 0;
            HuffmanResult result
                = huffmanDecodeOne(raw.data(), raw.size(), position, expected.data(), expected.size(), length);
            require(result == HuffmanResult::EndOfPacket);
            require(ends[i] >= from && ends[i] - from == length);
            require(length == 0 || std::memcmp(out.data() + from, expected.data(), length) == 0);
            from = ends[i];
        }
        require(blocks.bitPosition == position);
    }
    return 0;
}
