#pragma once
// A bounds-checked reader over a span of little-endian file bytes. A read past
// the end returns zero and marks the cursor failed; later reads keep failing. Callers read a whole record, then test
// failed() once and refuse the record, keeping what they held before.

#include <cstddef>
#include <cstdint>
#include <span>

class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    {
    }

    uint8_t readU8()
    {
        if (!take(1))
            return 0;
        return m_bytes[m_position - 1];
    }
    int8_t readI8() { return static_cast<int8_t>(readU8()); }
    uint16_t readU16()
    {
        if (!take(2))
            return 0;
        const uint8_t* p = m_bytes.data() + m_position - 2;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    int16_t readI16() { return static_cast<int16_t>(readU16()); }
    uint32_t readU32()
    {
        if (!take(4))
            return 0;
        const uint8_t* p = m_bytes.data() + m_position - 4;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
            | (static_cast<uint32_t>(p[3]) << 24);
    }
    int32_t readI32() { return static_cast<int32_t>(readU32()); }
    // Copies `out.size()` bytes; on failure `out` is zero-filled.
    bool readBytes(std::span<uint8_t> out)
    {
        if (!take(out.size())) {
            for (uint8_t& b : out)
                b = 0;
            return false;
        }
        const uint8_t* p = m_bytes.data() + m_position - out.size();
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = p[i];
        return true;
    }
    bool skip(size_t count) { return take(count); }
    // Moves to an absolute offset; the end itself is a valid position.
    bool seek(size_t offset)
    {
        if (m_failed || offset > m_bytes.size())
            return fail();
        m_position = offset;
        return true;
    }

    size_t position() const { return m_position; }
    size_t size() const { return m_bytes.size(); }
    size_t remaining() const { return m_bytes.size() - m_position; }
    bool failed() const { return m_failed; }

private:
    bool take(size_t count)
    {
        if (m_failed || count > m_bytes.size() - m_position)
            return fail();
        m_position += count;
        return true;
    }
    bool fail()
    {
        m_failed = true;
        return false;
    }

    std::span<const uint8_t> m_bytes;
    size_t m_position = 0;
    bool m_failed = false;
};
