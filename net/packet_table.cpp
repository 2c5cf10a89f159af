#include "net/packet_table.h"

#include <algorithm>
#include <cstring>

namespace {

uint16_t readBigEndian16(const uint8_t* bytes) { return uint16_t(bytes[0] << 8 | bytes[1]); }

// The payload range [begin, end) of a received packet, in bytes from its start.
bool payloadPosition(const uint8_t* packet, int32_t offset, int32_t count, uint32_t& position)
{
    if (!packet || offset < 0 || count < 0)
        return false;
    int32_t header = packetHeaderSize(packet[0]);
    uint32_t limit = packetLength(packet);
    uint64_t start = uint64_t(offset) + uint64_t(header);
    if (start + uint64_t(count) > limit)
        return false;
    position = uint32_t(start);
    return true;
}

} // namespace

uint32_t packetLength(const uint8_t* packet)
{
    uint8_t id = packet[0];
    if (!packetIsKnown(id))
        return 0;
    if (packetIsVariable(id))
        return readBigEndian16(packet + 1);
    return packetTable[id].lengthWord;
}

uint32_t PacketBuffer::length() const
{
    if (m_failed)
        return 0;
    if (packetIsVariable(m_data[0]))
        return m_position;
    return packetFixedLength(m_data[0]);
}

bool packetBegin(PacketBuffer& buffer, uint8_t id)
{
    buffer.m_position = 0;
    buffer.m_failed = true;
    if (!packetIsKnown(id))
        return false;
    uint32_t header = uint32_t(packetHeaderSize(id));
    uint32_t needed = packetIsVariable(id) ? header : packetFixedLength(id);
    if (buffer.m_capacity < needed)
        return false;
    buffer.m_data[0] = id;
    if (packetIsVariable(id)) {
        buffer.m_data[1] = 0;
        buffer.m_data[2] = 3;
    }
    buffer.m_position = header;
    buffer.m_failed = false;
    return true;
}

bool packetPutBytes(PacketBuffer& buffer, const void* source, size_t count)
{
    if (buffer.m_failed)
        return false;
    bool variable = packetIsVariable(buffer.m_data[0]);
    size_t limit = variable ? std::min(buffer.m_capacity, kMaxPacketLength) : packetFixedLength(buffer.m_data[0]);
    if (count > limit - buffer.m_position) {
        buffer.m_failed = true;
        return false;
    }
    if (count > 0)
        std::memcpy(buffer.m_data + buffer.m_position, source, count);
    buffer.m_position += uint32_t(count);
    if (variable) {
        buffer.m_data[1] = uint8_t(buffer.m_position >> 8);
        buffer.m_data[2] = uint8_t(buffer.m_position);
    }
    return true;
}

void packetFail(PacketBuffer& buffer) { buffer.m_failed = true; }

bool packetPutByte(PacketBuffer& buffer, uint8_t value) { return packetPutBytes(buffer, &value, 1); }

bool packetPutShort(PacketBuffer& buffer, uint16_t value)
{
    uint8_t bytes[2] = { uint8_t(value >> 8), uint8_t(value) };
    return packetPutBytes(buffer, bytes, 2);
}

bool packetPutLong(PacketBuffer& buffer, uint32_t value)
{
    uint8_t bytes[4] = { uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value) };
    return packetPutBytes(buffer, bytes, 4);
}

bool packetPutWideString(PacketBuffer& buffer, const char16_t* source, size_t count)
{
    bool fits = !buffer.failed() && count <= kMaxPacketLength;
    for (size_t i = 0; fits && i < count; ++i) {
        uint8_t bytes[2] = { uint8_t(source[i]), uint8_t(source[i] >> 8) };
        fits = packetPutBytes(buffer, bytes, 2);
    }
    if (!fits)
        packetFail(buffer);
    return fits;
}

bool packetPutFixedText(PacketBuffer& buffer, const char* text, size_t fieldSize)
{
    size_t used = text ? strnlen(text, fieldSize) : 0;
    if (!packetPutBytes(buffer, text, used))
        return false;
    static constexpr uint8_t kZeros[64] = {};
    for (size_t left = fieldSize - used; left > 0;) {
        size_t step = std::min(left, sizeof kZeros);
        if (!packetPutBytes(buffer, kZeros, step))
            return false;
        left -= step;
    }
    return true;
}

bool packetGetByte(const uint8_t* packet, int32_t& offset, uint8_t& out)
{
    uint32_t position;
    out = 0;
    if (!payloadPosition(packet, offset, 1, position))
        return false;
    out = packet[position];
    offset += 1;
    return true;
}

bool packetGetShort(const uint8_t* packet, int32_t& offset, uint16_t& out)
{
    uint32_t position;
    out = 0;
    if (!payloadPosition(packet, offset, 2, position))
        return false;
    out = readBigEndian16(packet + position);
    offset += 2;
    return true;
}

bool packetGetLong(const uint8_t* packet, int32_t& offset, uint32_t& out)
{
    uint32_t position;
    out = 0;
    if (!payloadPosition(packet, offset, 4, position))
        return false;
    const uint8_t* bytes = packet + position;
    out = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    offset += 4;
    return true;
}

bool packetGetBytes(const uint8_t* packet, int32_t& offset, const uint8_t*& out, int32_t count)
{
    uint32_t position;
    out = nullptr;
    if (!payloadPosition(packet, offset, count, position))
        return false;
    out = packet + position;
    offset += count;
    return true;
}

bool packetGetText(const uint8_t* packet, int32_t& offset, const char*& out)
{
    uint32_t position;
    out = nullptr;
    if (!payloadPosition(packet, offset, 0, position))
        return false;
    uint32_t limit = packetLength(packet);
    const void* nul = std::memchr(packet + position, 0, limit - position);
    if (!nul)
        return false;
    out = reinterpret_cast<const char*>(packet + position);
    offset += int32_t(static_cast<const uint8_t*>(nul) - (packet + position)) + 1;
    return true;
}

bool packetGetFixedText(const uint8_t* packet, int32_t& offset, int32_t fieldSize, std::string_view& out)
{
    uint32_t position;
    out = {};
    if (!payloadPosition(packet, offset, fieldSize, position))
        return false;
    const char* text = reinterpret_cast<const char*>(packet + position);
    out = std::string_view(text, strnlen(text, size_t(fieldSize)));
    offset += fieldSize;
    return true;
}
