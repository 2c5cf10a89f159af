#pragma once
// Takes fields one by one from a fuzz input; an exhausted input yields zeros
// and empty texts, so every input drives a complete run. Words are taken
// big-endian, byte after byte in input order. Beside it, the little-endian
// words that the programs reading file images take at fixed places, and the
// check every program stops on.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class FuzzByteReader {
public:
    FuzzByteReader(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    bool empty() const { return m_at >= m_size; }
    size_t left() const { return m_size - m_at; }

    uint8_t u8() { return m_at < m_size ? m_data[m_at++] : 0; }
    // The operands of | are not sequenced, so each byte is taken in a
    // statement of its own.
    uint16_t u16()
    {
        uint16_t high = u8();
        return uint16_t(high << 8 | u8());
    }
    uint32_t u32()
    {
        uint32_t high = u16();
        return high << 16 | u16();
    }

    // Up to `limit` bytes, its length taken from the input first.
    std::string_view bytes(size_t limit)
    {
        size_t count = std::min<size_t>(u16() % (limit + 1), left());
        std::string_view view(reinterpret_cast<const char*>(m_data + m_at), count);
        m_at += count;
        return view;
    }
    // UTF-16 units built from input byte pairs, any value included.
    std::u16string units(size_t limit)
    {
        size_t count = std::min<size_t>(u16() % (limit + 1), left() / 2);
        std::u16string text(count, u'\0');
        for (char16_t& unit : text)
            unit = char16_t(u16());
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at { 0 };
};

namespace fuzz {

inline uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t le32(const uint8_t* p) { return uint32_t(le16(p)) | uint32_t(le16(p + 2)) << 16; }

// A drawing position from one byte: mostly near a small target (`bias`
// below the byte's value), the two extreme bytes standing for positions at
// the ends of the 32-bit range.
inline int32_t nearPosition(uint8_t byte, int32_t bias = 128)
{
    if (byte == 0)
        return INT32_MIN;
    if (byte == 255)
        return INT32_MAX - 3;
    return int32_t(byte) - bias;
}

// A broken expectation stops the run where the fuzzer reports it.
inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace fuzz
