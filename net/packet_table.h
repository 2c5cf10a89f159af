#pragma once
// The packet table and the primitives through which protocol code touches
// packet bytes. Every packet starts with its id; the id alone decides whether
// the packet has a fixed length (the table's) or carries its total length as a
// big-endian 16-bit word in bytes 1-2.
//
// The length word of a variable packet is kept in network order everywhere:
// in a buffer being built, in the send queue and in a received packet handed
// to a handler. Nothing converts it in place; `packetLength` reads it. This
// way a word can never be converted twice.
//
// Client packets are built in a caller-owned PacketBuffer that knows its
// capacity: a put that does not fit marks the build as failed and the packet is
// never queued. Received packets are read with the get-primitives, which never
// read outside the packet and leave the offset unchanged on failure.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

struct PacketInfo {
    uint32_t id;
    const char* name;
    uint16_t lengthWord; // kVariableLength, or the total length in bytes
    uint16_t reserved;
};

constexpr int kPacketTableSize = 222; // ids 0x00-0xDD; higher ids are unknown
constexpr uint16_t kVariableLength = 0x8000;
constexpr size_t kMaxPacketLength = 65535; // the range of the length word

extern const PacketInfo packetTable[kPacketTableSize];
// The length word of every byte value as an id, in one flat table: the fixed
// length, kVariableLength, or 0 for an unknown id.
extern const std::array<uint16_t, 256> packetLengthWords;

inline bool packetIsKnown(uint8_t id) { return id < kPacketTableSize; }
inline bool packetIsVariable(uint8_t id)
{
    return id < kPacketTableSize && packetTable[id].lengthWord == kVariableLength;
}
// The fixed length of a fixed id, 0 for a variable or unknown id.
inline uint16_t packetFixedLength(uint8_t id)
{
    return (id < kPacketTableSize && packetTable[id].lengthWord != kVariableLength) ? packetTable[id].lengthWord : 0;
}
// 3 for a variable id, 1 for a fixed id, 0 for an unknown id.
inline int32_t packetHeaderSize(uint8_t id)
{
    if (id >= kPacketTableSize)
        return 0;
    return packetIsVariable(id) ? 3 : 1;
}

// The total length of a received (or framed) packet: its length word for a
// variable id, the table length for a fixed id, 0 for an unknown id.
uint32_t packetLength(const uint8_t* packet);

// A caller-owned buffer holding one client packet under construction.
class PacketBuffer {
public:
    PacketBuffer(uint8_t* storage, size_t capacity)
        : m_data(storage)
        , m_capacity(capacity)
    {
    }
    PacketBuffer(const PacketBuffer&) = delete;
    PacketBuffer& operator=(const PacketBuffer&) = delete;

    uint8_t* data() { return m_data; }
    const uint8_t* data() const { return m_data; }
    size_t capacity() const { return m_capacity; }
    uint8_t id() const { return m_data[0]; }
    // Bytes written so far, id and length word included.
    uint32_t position() const { return m_position; }
    // True once a put did not fit (or no packet was begun); such a packet is never sent.
    bool failed() const { return m_failed; }
    // The length the packet goes out with: the written length of a variable
    // packet, the table length of a fixed one, 0 when it cannot be sent.
    uint32_t length() const;

private:
    friend bool packetBegin(PacketBuffer&, uint8_t);
    friend bool packetPutBytes(PacketBuffer&, const void*, size_t);
    friend void packetFail(PacketBuffer&);

    uint8_t* m_data;
    size_t m_capacity;
    uint32_t m_position { 0 };
    bool m_failed { true };
};

// A PacketBuffer with its own zeroed storage of N bytes.
template <size_t N> class PacketStorage : public PacketBuffer {
public:
    PacketStorage()
        : PacketBuffer(m_bytes, N)
    {
    }

private:
    uint8_t m_bytes[N] {};
};

// Put-primitives. Each returns false when the bytes do not fit in the buffer,
// in the table length of a fixed packet or in the 16-bit length word; the
// build is then failed and later puts do nothing.
bool packetBegin(PacketBuffer& buffer, uint8_t id);
bool packetPutByte(PacketBuffer& buffer, uint8_t value);
bool packetPutShort(PacketBuffer& buffer, uint16_t value);
bool packetPutLong(PacketBuffer& buffer, uint32_t value);
bool packetPutBytes(PacketBuffer& buffer, const void* source, size_t count);
// `count` UTF-16 units, each low byte first whatever the host's byte order.
bool packetPutWideString(PacketBuffer& buffer, const char16_t* source, size_t count);
// A NUL-padded text field of exactly `fieldSize` bytes; the text is cut at the
// field size and is read no further than its NUL or the field size.
bool packetPutFixedText(PacketBuffer& buffer, const char* text, size_t fieldSize);
// Marks the build failed, for a builder whose input cannot be sent.
void packetFail(PacketBuffer& buffer);

// Get-primitives over a received packet. `offset` is the payload offset (0 is
// the first byte after the id, or after the length word). On failure the
// output is zero (or null), the offset is unchanged and false is returned.
bool packetGetByte(const uint8_t* packet, int32_t& offset, uint8_t& out);
bool packetGetShort(const uint8_t* packet, int32_t& offset, uint16_t& out);
bool packetGetLong(const uint8_t* packet, int32_t& offset, uint32_t& out);
// Points `out` at `count` payload bytes.
bool packetGetBytes(const uint8_t* packet, int32_t& offset, const uint8_t*& out, int32_t count);
// Points `out` at NUL-terminated text and moves past the NUL; fails when no
// NUL lies within the packet.
bool packetGetText(const uint8_t* packet, int32_t& offset, const char*& out);
inline bool packetGetTextChecked(const uint8_t* packet, int32_t& offset, const char*& out)
{
    return packetGetText(packet, offset, out);
}
// A fixed text field of `fieldSize` bytes: `out` covers the text up to its NUL,
// or the whole field when it has none. The offset moves past the field.
bool packetGetFixedText(const uint8_t* packet, int32_t& offset, int32_t fieldSize, std::string_view& out);
