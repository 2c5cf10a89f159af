#pragma once
// A run-length static image of the art file (entries 0x4000 and up): per row,
// runs of pixels separated by transparent gaps. Parsing checks every offset,
// run and pixel against the record once, so the blitters can trust the image.
// Stored decoded, in host byte order and properly aligned, because the record
// itself may sit at any byte of a mapped file.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct ArtRun {
    // Column of the run's first pixel, and its length.
    uint16_t start;
    uint16_t count;
    // Index of its first pixel in ArtImage::pixels().
    uint32_t firstPixel;
};

class ArtImage {
public:
    // Null when the record is not a well-formed image: truncated, an offset
    // outside the record, a row without its end mark, a run reaching past the
    // width, or no pixels at all (width or height 0).
    static std::unique_ptr<ArtImage> parse(std::span<const uint8_t> record);

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    std::span<const ArtRun> rowRuns(int32_t row) const
    {
        return std::span<const ArtRun>(m_runs).subspan(m_rowFirstRun[row], m_rowFirstRun[row + 1] - m_rowFirstRun[row]);
    }
    const uint16_t* pixels() const { return m_pixels.data(); }

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<ArtRun> m_runs;
    std::vector<uint32_t> m_rowFirstRun;
    std::vector<uint16_t> m_pixels;
};

// The pixel at (x, y), or 0 where it is transparent or outside the image (also
// for a null image).
uint16_t getArtPixel(const ArtImage* image, int32_t x, int32_t y);
