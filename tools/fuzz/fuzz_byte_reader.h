#pragma once
// Takes fields one by one from a fuzz input; an exhausted input yields zeros
// and empty texts, so every input drives a complete run.

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
    uint16_t u16() { return uint16_t(u8() << 8 | u8()); }
    uint32_t u32() { return uint32_t(u16()) << 16 | u16(); }

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
