#include "support/huffman_encoder.h"

#include "net/huffman_decoder.h"

namespace test {

namespace {

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out)
        : m_out(out)
    {
    }
    void put(const HuffmanCode& code)
    {
        for (int bit = code.bitCount - 1; bit >= 0; --bit) {
            if (m_used == 0)
                m_out.push_back(0);
            if ((code.code >> bit) & 1)
                m_out.back() |= uint8_t(0x80 >> m_used);
            m_used = (m_used + 1) % 8;
        }
    }

private:
    std::vector<uint8_t>& m_out;
    int m_used { 0 };
};

} // namespace

void huffmanEncodePacket(std::span<const uint8_t> packet, std::vector<uint8_t>& out)
{
    BitWriter writer(out);
    for (uint8_t byte : packet)
        writer.put(huffmanCodeTable[byte]);
    writer.put(huffmanCodeTable[kHuffmanEndSymbol]);
}

std::vector<uint8_t> huffmanEncodePackets(const std::vector<std::vector<uint8_t>>& packets)
{
    std::vector<uint8_t> out;
    for (const auto& packet : packets)
        huffmanEncodePacket(packet, out);
    return out;
}

} // namespace test
