#pragma once
// A reader over one received packet for the handlers with many fields: each
// field is taken with the checked get-primitives, and the first field that
// does not fit makes every later one read as zero (or empty) and ok() false,
// so a handler reads its whole layout and then decides once whether it acts.
// The packet must outlive the reader. Main thread only.

#include "net/packet_table.h"

#include <cstdint>
#include <string>
#include <string_view>

class PacketReader {
public:
    explicit PacketReader(const uint8_t* packet)
        : m_packet(packet)
    {
    }

    uint8_t u8()
    {
        uint8_t value = 0;
        m_ok = m_ok && packetGetByte(m_packet, m_at, value);
        return m_ok ? value : 0;
    }
    uint16_t u16()
    {
        uint16_t value = 0;
        m_ok = m_ok && packetGetShort(m_packet, m_at, value);
        return m_ok ? value : 0;
    }
    uint32_t u32()
    {
        uint32_t value = 0;
        m_ok = m_ok && packetGetLong(m_packet, m_at, value);
        return m_ok ? value : 0;
    }
    int8_t i8() { return int8_t(u8()); }
    // Skips `count` bytes.
    void skip(int32_t count)
    {
        const uint8_t* bytes = nullptr;
        m_ok = m_ok && count >= 0 && packetGetBytes(m_packet, m_at, bytes, count);
    }
    // `count` bytes as they are (NULs included); empty when they do not fit.
    std::string bytes(int32_t count)
    {
        const uint8_t* start = nullptr;
        m_ok = m_ok && count >= 0 && packetGetBytes(m_packet, m_at, start, count);
        return m_ok ? std::string(reinterpret_cast<const char*>(start), size_t(count)) : std::string();
    }
    // A NUL-padded field of `fieldSize` bytes, kept up to its NUL and at most
    // `maxLength` characters; a field without its NUL is cut there too.
    std::string fixedText(int32_t fieldSize, size_t maxLength)
    {
        std::string_view text;
        m_ok = m_ok && packetGetFixedText(m_packet, m_at, fieldSize, text);
        return m_ok ? std::string(text.substr(0, maxLength)) : std::string();
    }
    // NUL-terminated text, or the rest of the packet when the NUL is missing.
    std::string textToEnd()
    {
        int32_t left = remaining();
        if (!m_ok || left <= 0)
            return {};
        const uint8_t* bytes = nullptr;
        packetGetBytes(m_packet, m_at, bytes, left);
        std::string_view text(reinterpret_cast<const char*>(bytes), size_t(left));
        size_t nul = text.find('\0');
        if (nul != std::string_view::npos) {
            // Only the text and its NUL are taken.
            m_at -= left - int32_t(nul) - 1;
            text = text.substr(0, nul);
        }
        return std::string(text);
    }

    bool ok() const { return m_ok; }
    int32_t offset() const { return m_at; }
    // Payload bytes left after the offset.
    int32_t remaining() const
    {
        return int32_t(packetLength(m_packet)) - packetHeaderSize(m_packet[0]) - m_at;
    }
    const uint8_t* packet() const { return m_packet; }

private:
    const uint8_t* m_packet;
    int32_t m_at = 0;
    bool m_ok = true;
};
