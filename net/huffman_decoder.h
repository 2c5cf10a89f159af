#pragma once
// The Huffman code of the game server's stream: 256 byte values and an end
// code that closes each packet. Codes are 2 to 11 bits long and read from the
// most significant bit of each byte down. After an end code the rest of its
// byte is padding; the next packet starts at the next byte.

#include <cstddef>
#include <cstdint>

struct HuffmanCode {
    int32_t bitCount;
    int32_t code; // its bits are sent from bit (bitCount - 1) down to bit 0
};

constexpr int kHuffmanSymbolCount = 257;
constexpr int kHuffmanEndSymbol = 256;
constexpr int kHuffmanMaxBits = 11;

extern const HuffmanCode huffmanCodeTable[kHuffmanSymbolCount];

// Builds the process-wide decoding tables from huffmanCodeTable (first call
// only; later calls return at once). Decoding builds them when needed. One
// lookup decodes every whole code within the next 12 bits, up to four bytes.
void buildHuffmanTree();

enum class HuffmanResult {
    EndOfPacket, // an end code was met; `bitPosition` is at the next byte
    NeedMoreInput, // the input ran out; `bitPosition` is at the last symbol boundary
    OutputFull, // the output is full and the next symbol is not an end code
};

// Decodes `raw` from `bitPosition` (bits from the start of `raw`), appending
// bytes to `out` at `outLength`, up to and including one end code. Nothing is
// written at or past `outCapacity`. A code cut off at the end of the input is
// decoded again from its first bit on the next call. Bytes are stored in
// groups of four while decoding, so up to four bytes past the decoded ones
// (below `outCapacity`) may be left zero, whatever they held; the connection
// keeps that room zero anyway.
HuffmanResult huffmanDecodeOne(
    const uint8_t* raw, size_t rawLength, uint32_t& bitPosition, uint8_t* out, size_t outCapacity, uint32_t& outLength);

// What huffmanDecodeBlocks decoded: `count` whole blocks, block i ending at
// `blockEnds[i]` in the output and starting where block i - 1 ends (at 0 for
// the first one).
struct HuffmanBlocks {
    uint32_t count;
    uint32_t bitPosition; // just past the last whole block; the start when `count` is 0
    uint32_t written; // bytes from the start of the output that may have been overwritten
};

// Decodes as many whole blocks as there are in `raw` from `bitPosition` on,
// up to `outCapacity` bytes of output and `maxBlocks` blocks; a block cut off
// by the end of the input is left for a later call. Its result is what
// huffmanDecodeOne gives block after block, but several stretches of the
// input are decoded side by side, so it may give fewer blocks than would fit
// (none when the first block does not fit in a share of the output room): a
// caller that needs the exact answer for one block asks huffmanDecodeOne.
// Nothing is written at or past `outCapacity`; the output past the blocks
// holds leftovers.
HuffmanBlocks huffmanDecodeBlocks(const uint8_t* raw, size_t rawLength, uint32_t bitPosition, uint8_t* out,
    size_t outCapacity, uint32_t* blockEnds, size_t maxBlocks);

// The bit position just past a block of `bytes` (with its end code and
// padding) that starts at `bitPosition`.
uint32_t huffmanBlockEnd(uint32_t bitPosition, const uint8_t* bytes, size_t count);
