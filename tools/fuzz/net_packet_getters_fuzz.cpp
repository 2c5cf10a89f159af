// Runs every get-primitive over an arbitrary received packet, at offsets and
// counts from the input, and checks that each either reads inside the packet
// and moves the offset past what it read, or fails with a zero (or null)
// result and the offset unchanged.
//
// Input: byte 0 is the length of the getter script that follows; the rest is
// the packet. The packet is framed as the receive splitter frames it (a
// variable one at its length word, at least 3; a fixed one at its table length;
// an unknown id as one byte), short input padded with zeros, and lies in a heap
// block of exactly that size so that any read outside it is caught.

#include "fuzz_byte_reader.h"
#include "net/packet_table.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

using fuzz::require;

// `header` is the first three bytes of the packet, zero-padded.
uint32_t framedLength(const uint8_t header[3])
{
    uint8_t id = header[0];
    if (!packetIsKnown(id))
        return 1;
    if (!packetIsVariable(id))
        return packetFixedLength(id);
    return std::max<uint32_t>(uint32_t(header[1] << 8 | header[2]), 3);
}

// The payload range a successful get of `count` bytes at `offset` may cover.
bool insidePayload(const uint8_t* packet, int64_t offset, int64_t count)
{
    int64_t start = packetHeaderSize(packet[0]) + offset;
    return offset >= 0 && count >= 0 && start + count <= int64_t(packetLength(packet));
}

int32_t scriptOffset(uint8_t selector, uint8_t value, int32_t current)
{
    switch (selector % 4) {
    case 0:
        return current; // continue where the last get stopped
    case 1:
        return int32_t(value);
    case 2:
        return -int32_t(value) - 1;
    default:
        return 0x7FFFFF00 + int32_t(value);
    }
}

int32_t scriptCount(uint8_t value)
{
    if (value >= 0xF0)
        return 0x7FFFFFF0 + int32_t(value & 0x0F); // counts near the limit of the offset
    return int32_t(int8_t(value)) * 3;
}

void runGetter(const uint8_t* packet, uint32_t framed, uint8_t op, int32_t& offset, uint8_t value)
{
    const int32_t before = offset;
    switch (op % 6) {
    case 0: {
        uint8_t out = 0xAA;
        bool ok = packetGetByte(packet, offset, out);
        require(ok ? insidePayload(packet, before, 1) && offset == before + 1 : offset == before && out == 0);
        break;
    }
    case 1: {
        uint16_t out = 0xAAAA;
        bool ok = packetGetShort(packet, offset, out);
        require(ok ? insidePayload(packet, before, 2) && offset == before + 2 : offset == before && out == 0);
        break;
    }
    case 2: {
        uint32_t out = 0xAAAAAAAA;
        bool ok = packetGetLong(packet, offset, out);
        require(ok ? insidePayload(packet, before, 4) && offset == before + 4 : offset == before && out == 0);
        break;
    }
    case 3: {
        int32_t count = scriptCount(value);
        const uint8_t* out = packet;
        bool ok = packetGetBytes(packet, offset, out, count);
        if (ok) {
            require(insidePayload(packet, before, count) && offset == before + count);
            require(out == packet + packetHeaderSize(packet[0]) + before);
            // Every byte handed out must lie inside the packet's block.
            require(out + count <= packet + framed);
        } else {
            require(out == nullptr && offset == before);
        }
        break;
    }
    case 4: {
        const char* out = "unchanged";
        bool ok = packetGetText(packet, offset, out);
        if (ok) {
            require(out != nullptr && offset > before);
            require(insidePayload(packet, before, offset - before));
            size_t textLength = std::strlen(out);
            require(textLength == size_t(offset - before - 1));
        } else {
            require(out == nullptr && offset == before);
        }
        break;
    }
    default: {
        int32_t fieldSize = scriptCount(value);
        std::string_view out = "unchanged";
        bool ok = packetGetFixedText(packet, offset, fieldSize, out);
        if (ok) {
            require(insidePayload(packet, before, fieldSize) && offset == before + fieldSize);
            require(out.size() <= size_t(fieldSize));
            const uint8_t* first = reinterpret_cast<const uint8_t*>(out.data());
            require(first >= packet && first + out.size() <= packet + framed);
            require(out.find('\0') == std::string_view::npos);
        } else {
            require(out.empty() && offset == before);
        }
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    size_t scriptSize = std::min<size_t>(data[0], size - 2);
    FuzzByteReader script(data + 1, scriptSize);
    const uint8_t* wire = data + 1 + scriptSize;
    size_t wireSize = size - 1 - scriptSize;

    uint8_t header[3] = {};
    std::memcpy(header, wire, std::min<size_t>(wireSize, 3));
    uint32_t framed = framedLength(header);
    std::vector<uint8_t> packet(framed, 0);
    std::memcpy(packet.data(), wire, std::min<size_t>(wireSize, framed));
    // packetLength never claims more than the splitter framed.
    require(packetLength(packet.data()) <= framed);

    int32_t offset = 0;
    do {
        uint8_t op = script.u8();
        uint8_t selector = script.u8();
        uint8_t value = script.u8();
        offset = scriptOffset(selector, value, offset);
        runGetter(packet.data(), framed, op, offset, value);
    } while (!script.empty());
    return 0;
}
