#pragma once
// Builds little-endian file images field by field: the writing twin of
// ByteCursor, for records the client writes back (tile data edits) and for
// the tests' fixture writers.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class ByteWriter {
public:
    void u8(uint32_t v) { m_bytes.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v)
    {
        u8(v);
        u8(v >> 8);
    }
    void u32(uint32_t v)
    {
        u16(v);
        u16(v >> 16);
    }
    // Exactly `size` bytes: the text cut or padded with zeros.
    void fixedText(std::string_view text, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            u8(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    }
    void raw(std::span<const char> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void zeros(size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
    size_t size() const { return m_bytes.size(); }
    std::vector<uint8_t>& bytes() { return m_bytes; }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};
