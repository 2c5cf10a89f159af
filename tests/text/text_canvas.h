#pragma once
// A drawing surface inside a canary border: the text code is given only the
// inner width x height, and every test can check that nothing outside changed.

#include "support/png_writer.h"
#include "text/text_surface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

class TextCanvas {
public:
    static constexpr int32_t kMargin = 8;
    static constexpr uint16_t kCanary = 0x5A5A;

    TextCanvas(int32_t width, int32_t height, uint16_t background = 0)
        : m_width(width)
        , m_height(height)
        , m_pitch(width + 2 * kMargin)
        , m_buffer(size_t(m_pitch) * size_t(height + 2 * kMargin), kCanary)
    {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                at(x, y) = background;
    }

    TextSurface surface()
    {
        return TextSurface { &m_buffer[size_t(kMargin) + size_t(m_pitch) * kMargin], m_pitch, m_width, m_height };
    }
    TextClip all() const { return TextClip { 0, 0, m_width, m_height }; }
    uint16_t& at(int32_t x, int32_t y) { return m_buffer[size_t(x + kMargin) + size_t(m_pitch) * size_t(y + kMargin)]; }

    bool borderIntact() const
    {
        int32_t fullHeight = m_height + 2 * kMargin;
        for (int32_t y = 0; y < fullHeight; ++y)
            for (int32_t x = 0; x < m_pitch; ++x) {
                bool inside = x >= kMargin && x < kMargin + m_width && y >= kMargin && y < kMargin + m_height;
                if (!inside && m_buffer[size_t(x) + size_t(m_pitch) * size_t(y)] != kCanary)
                    return false;
            }
        return true;
    }
    int32_t countNot(uint16_t background)
    {
        int32_t count = 0;
        for (int32_t y = 0; y < m_height; ++y)
            for (int32_t x = 0; x < m_width; ++x)
                count += at(x, y) != background;
        return count;
    }
    // Inked columns of one row as a string of '#' and '.'.
    std::string row(int32_t y, uint16_t background = 0)
    {
        std::string out;
        for (int32_t x = 0; x < m_width; ++x)
            out += at(x, y) != background ? '#' : '.';
        return out;
    }
    uint64_t hash() { return surfaceHash(&at(0, 0), m_width, m_height, m_pitch); }
    bool writePng(const std::string& name) { return writeSurfacePng(picturePath(name), &at(0, 0), m_width, m_height, m_pitch); }

private:
    int32_t m_width;
    int32_t m_height;
    int32_t m_pitch;
    std::vector<uint16_t> m_buffer;
};

} // namespace test
