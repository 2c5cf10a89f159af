#include "gfx/art_image.h"

#include "core/byte_cursor.h"

std::unique_ptr<ArtImage> ArtImage::parse(std::span<const uint8_t> record)
{
    ByteCursor cursor(record);
    cursor.skip(4);
    int32_t width = cursor.readU16();
    int32_t height = cursor.readU16();
    // The row table is checked against the record before it is allocated.
    if (cursor.failed() || width == 0 || height == 0 || size_t(height) * 2 > cursor.remaining())
        return nullptr;
    std::vector<uint16_t> rowOffsets(static_cast<size_t>(height));
    for (uint16_t& offset : rowOffsets)
        offset = cursor.readU16();
    if (cursor.failed())
        return nullptr;
    const size_t dataStart = cursor.position();
    // Rows may point at the same run data, so a small damaged record could
    // decode to billions of pixels. A sound record stores every run and pixel
    // once, which bounds what it can decode to.
    const size_t maxRuns = record.size() / 4;
    const size_t maxPixels = record.size() / 2;

    auto image = std::unique_ptr<ArtImage>(new ArtImage);
    image->m_width = width;
    image->m_height = height;
    image->m_rowFirstRun.reserve(static_cast<size_t>(height) + 1);
    for (int32_t row = 0; row < height; ++row) {
        image->m_rowFirstRun.push_back(static_cast<uint32_t>(image->m_runs.size()));
        if (!cursor.seek(dataStart + size_t(rowOffsets[row]) * 2))
            return nullptr;
        int32_t column = 0;
        for (;;) {
            int32_t skip = cursor.readU16();
            int32_t count = cursor.readU16();
            if (cursor.failed())
                return nullptr;
            if (count == 0)
                break;
            column += skip;
            if (column + count > width || image->m_runs.size() >= maxRuns
                || image->m_pixels.size() + size_t(count) > maxPixels)
                return nullptr;
            image->m_runs.push_back({ static_cast<uint16_t>(column), static_cast<uint16_t>(count),
                static_cast<uint32_t>(image->m_pixels.size()) });
            for (int32_t i = 0; i < count; ++i)
                image->m_pixels.push_back(cursor.readU16());
            if (cursor.failed())
                return nullptr;
            column += count;
        }
    }
    image->m_rowFirstRun.push_back(static_cast<uint32_t>(image->m_runs.size()));
    return image;
}

uint16_t getArtPixel(const ArtImage* image, int32_t x, int32_t y)
{
    if (!image || x < 0 || y < 0 || x >= image->width() || y >= image->height())
        return 0;
    for (const ArtRun& run : image->rowRuns(y)) {
        if (x < run.start)
            return 0;
        if (x < run.start + run.count)
            return image->pixels()[run.firstPixel + (x - run.start)];
    }
    return 0;
}
