#include "gump/generic_gump_packets.h"

#include "gump/generic_gump.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"

#include <zlib.h>

namespace {

// Text lines: a count of {uint16 length, length big-endian UTF-16 units}.
// At most `count` lines are taken, and none past the bytes.
class LineReader {
public:
    explicit LineReader(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    {
    }

    bool next(std::u16string& line)
    {
        if (m_bytes.size() - m_at < 2)
            return false;
        size_t length = size_t(m_bytes[m_at]) << 8 | m_bytes[m_at + 1];
        if ((m_bytes.size() - m_at - 2) / 2 < length)
            return false;
        m_at += 2;
        line.resize(length);
        for (size_t i = 0; i < length; ++i, m_at += 2)
            line[i] = char16_t(m_bytes[m_at] << 8 | m_bytes[m_at + 1]);
        return true;
    }

private:
    std::span<const uint8_t> m_bytes;
    size_t m_at = 0;
};

bool readHeader(const uint8_t* packet, int32_t& offset, GenericGumpContent& content)
{
    uint32_t x = 0;
    uint32_t y = 0;
    if (!packetGetLong(packet, offset, content.senderSerial) || !packetGetLong(packet, offset, content.typeId)
        || !packetGetLong(packet, offset, x) || !packetGetLong(packet, offset, y))
        return false;
    content.x = int32_t(x);
    content.y = int32_t(y);
    return true;
}

// `count` bytes of the packet; false when it does not hold them.
bool readSpan(const uint8_t* packet, int32_t& offset, uint32_t count, std::span<const uint8_t>& out)
{
    const uint8_t* bytes = nullptr;
    if (count > kMaxPacketLength || !packetGetBytes(packet, offset, bytes, int32_t(count)))
        return false;
    out = { bytes, count };
    return true;
}

void open(const GenericGumpContent& content)
{
    openGenericGump(content.x, content.y, content.layout, content.lines, content.senderSerial, content.typeId);
}

} // namespace

BlockResult decodeGumpBlock(std::span<const uint8_t> block, std::string& out)
{
    out.clear();
    if (block.size() <= 4)
        return BlockResult::Decoded;
    const uint32_t unpacked = uint32_t(block[0]) << 24 | uint32_t(block[1]) << 16 | uint32_t(block[2]) << 8 | block[3];
    if (unpacked > kMaxUnpackedBlock)
        return BlockResult::Failed;
    out.resize(unpacked);
    uLongf produced = unpacked;
    int result = uncompress(reinterpret_cast<Bytef*>(out.data()), &produced, block.data() + 4, uLong(block.size() - 4));
    if (result != Z_OK) {
        out.clear();
        return BlockResult::Failed;
    }
    // A stream that ends early leaves the rest unwritten: only what zlib
    // produced is taken.
    out.resize(produced);
    return BlockResult::Decoded;
}

bool readGenericGumpPacket(const uint8_t* packet, GenericGumpContent& content)
{
    content = GenericGumpContent {};
    int32_t offset = 0;
    uint16_t layoutLength = 0;
    std::span<const uint8_t> layout;
    uint16_t lineCount = 0;
    if (!readHeader(packet, offset, content) || !packetGetShort(packet, offset, layoutLength)
        || !readSpan(packet, offset, layoutLength, layout) || !packetGetShort(packet, offset, lineCount))
        return false;
    content.layout.assign(layout.begin(), layout.end());
    // The lines take the rest of the packet; every line the count promises
    // must lie inside it.
    std::span<const uint8_t> rest;
    if (!readSpan(packet, offset, packetLength(packet) - 3 - uint32_t(offset), rest))
        return false;
    LineReader reader(rest);
    for (uint16_t i = 0; i < lineCount; ++i) {
        if (!reader.next(content.lines.emplace_back()))
            return false;
    }
    return true;
}

bool readCompressedGumpPacket(const uint8_t* packet, GenericGumpContent& content)
{
    content = GenericGumpContent {};
    int32_t offset = 0;
    uint32_t layoutBlockLength = 0;
    std::span<const uint8_t> layoutBlock;
    uint32_t lineCount = 0;
    uint32_t linesBlockLength = 0;
    std::span<const uint8_t> linesBlock;
    if (!readHeader(packet, offset, content) || !packetGetLong(packet, offset, layoutBlockLength)
        || !readSpan(packet, offset, layoutBlockLength, layoutBlock) || !packetGetLong(packet, offset, lineCount)
        || !packetGetLong(packet, offset, linesBlockLength) || !readSpan(packet, offset, linesBlockLength, linesBlock))
        return false;
    // A layout block without data shows nothing.
    if (layoutBlock.size() <= 4)
        return false;
    std::string lines;
    if (decodeGumpBlock(layoutBlock, content.layout) != BlockResult::Decoded
        || decodeGumpBlock(linesBlock, lines) != BlockResult::Decoded)
        return false;
    // The count may promise more lines than the block holds: only whole
    // lines inside it are taken.
    LineReader reader({ reinterpret_cast<const uint8_t*>(lines.data()), lines.size() });
    std::u16string line;
    for (uint32_t i = 0; i < lineCount && reader.next(line); ++i)
        content.lines.push_back(line);
    return true;
}

void handleGenericGump(const uint8_t* packet)
{
    GenericGumpContent content;
    if (readGenericGumpPacket(packet, content))
        open(content);
}

void handleCompressedGump(const uint8_t* packet)
{
    GenericGumpContent content;
    if (readCompressedGumpPacket(packet, content))
        open(content);
}

void registerGenericGumpHandlers()
{
    registerPacketHandler(0xB0, handleGenericGump);
    registerPacketHandler(0xDD, handleCompressedGump);
}
