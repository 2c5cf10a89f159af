#include "world/art_blitter.h"

#include <algorithm>

void blitArt(PixelSpanFn fn, const ArtImage* image, const BlitTarget& target, int32_t x, int32_t y)
{
    if (!image)
        return;
    const ScreenRect& bounds = target.bounds;
    if (x < bounds.left || y < bounds.top || x + image->width() > bounds.right
        || y + image->height() > bounds.bottom) {
        blitArtClipped(fn, image, target, &bounds, x, y);
        return;
    }
    const uint16_t* pixels = image->pixels();
    for (int32_t row = 0; row < image->height(); ++row) {
        uint16_t* line = target.at(x, y + row);
        for (const ArtRun& run : image->rowRuns(row))
            fn(line + run.start, pixels + run.firstPixel, run.count);
    }
}

void blitArtClipped(
    PixelSpanFn fn, const ArtImage* image, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y)
{
    if (!image || !clip)
        return;
    const ScreenRect area = clip->intersected(target.bounds);
    const int32_t cl = std::max(area.left - x, 0);
    const int32_t cr = std::min(area.right - x, image->width());
    if (cl >= cr)
        return;
    const int32_t rt = std::max(area.top - y, 0);
    const int32_t rb = std::min(area.bottom - y, image->height());
    const uint16_t* pixels = image->pixels();
    for (int32_t row = rt; row < rb; ++row) {
        for (const ArtRun& run : image->rowRuns(row)) {
            int32_t start = run.start;
            int32_t end = start + run.count;
            if (start >= cr)
                break;
            if (end <= cl)
                continue;
            int32_t from = std::max(start, cl);
            int32_t to = std::min(end, cr);
            fn(target.at(x + from, y + row), pixels + run.firstPixel + (from - start), to - from);
        }
    }
}
