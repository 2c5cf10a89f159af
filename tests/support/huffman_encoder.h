#pragma once
// The server's side of the stream compression: each packet becomes its bytes'
// Huffman codes followed by the end code, padded with zero bits to a byte.

#include <cstdint>
#include <span>
#include <vector>

namespace test {

void huffmanEncodePacket(std::span<const uint8_t> packet, std::vector<uint8_t>& out);
std::vector<uint8_t> huffmanEncodePackets(const std::vector<std::vector<uint8_t>>& packets);

} // namespace test
