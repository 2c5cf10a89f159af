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

// Builds the process-wide decoding table from huffmanCodeTable (first call
// only; later calls return at once). Decoding builds it when needed. One
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
