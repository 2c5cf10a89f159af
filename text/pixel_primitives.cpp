#include "text/pixel_primitives.h"

#include <algorithm>
#include <cstdlib>

namespace {

template<typename Plot>
void walkLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Plot plot)
{
    if (x1 == x2) {
        for (int32_t y = std::min(y1, y2); y <= std::max(y1, y2); ++y)
            plot(x1, y);
        return;
    }
    if (y1 == y2) {
        for (int32_t x = std::min(x1, x2); x <= std::max(x1, x2); ++x)
            plot(x, y1);
        return;
    }
    int64_t dx = int64_t(x2) - x1;
    int64_t dy = int64_t(y2) - y1;
    if (std::llabs(dx) >= std::llabs(dy)) {
        int64_t extent = std::llabs(dx);
        int64_t step = dy * 65536 / extent;
        int64_t fixed = int64_t(y1) * 65536;
        int32_t direction = dx > 0 ? 1 : -1;
        for (int64_t i = 0; i <= extent; ++i, fixed += step)
            plot(int32_t(x1 + direction * i), int32_t(fixed >> 16));
    } else {
        int64_t extent = std::llabs(dy);
        int64_t step = dx * 65536 / extent;
        int64_t fixed = int64_t(x1) * 65536;
        int32_t direction = dy > 0 ? 1 : -1;
        for (int64_t i = 0; i <= extent; ++i, fixed += step)
            plot(int32_t(fixed >> 16), int32_t(y1 + direction * i));
    }
}

bool onPage(const TextSurface& page, int32_t x, int32_t y)
{
    return page.pixels && x >= 0 && y >= 0 && x < page.width && y < page.height;
}

} // namespace

void fillRect16(int32_t left, int32_t top, int32_t right, int32_t bottom, uint16_t colour, const TextSurface& page)
{
    if (bottom < top)
        return;
    int32_t first = left & ~1;
    int32_t pairs = (right - left + 1) / 2;
    for (int32_t y = top; y <= bottom; ++y) {
        for (int32_t x = first; x < first + 2 * pairs; ++x) {
            if (onPage(page, x, y))
                page.pixels[size_t(x) + size_t(page.pitch) * size_t(y)] = colour;
        }
    }
}

void drawLine16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t colour, const TextSurface& page)
{
    walkLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        if (onPage(page, x, y))
            page.pixels[size_t(x) + size_t(page.pitch) * size_t(y)] = colour;
    });
}

void drawTranslucentLine16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TextSurface& page)
{
    uint16_t mask = isTextPixelFormat565() ? 0xF7DE : 0x7BDE;
    uint16_t grey = isTextPixelFormat565() ? 0x7BEF : 0x3DEF;
    walkLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        if (!onPage(page, x, y))
            return;
        uint16_t& pixel = page.pixels[size_t(x) + size_t(page.pitch) * size_t(y)];
        pixel = uint16_t(grey + ((mask >> 1) & (pixel >> 1)));
    });
}

void copyLine16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TextSurface& destination,
    const TextSurface& source)
{
    walkLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        if (!onPage(destination, x, y) || !onPage(source, x, y))
            return;
        size_t index = size_t(x) + size_t(destination.pitch) * size_t(y);
        if (index >= size_t(source.pitch) * size_t(source.height))
            return;
        destination.pixels[index] = source.pixels[index];
    });
}
