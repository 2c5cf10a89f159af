#include "gfx/art_blitter.h"

#include "gfx/pixel_copy.h"

#include <algorithm>

namespace {

// The transparent and the plain copy, by far the most common spans, are made
// inline; any other goes through its pointer.
template<typename Blit>
void withSpan(PixelSpanFn fn, Blit blit)
{
    if (fn == copySpanTransparent)
        blit(copyPixelsSkippingZero);
    else if (fn == copySpan)
        blit(copyPixels);
    else
        blit(fn);
}

template<typename Span>
void blitRows(Span span, const ArtImage* image, const BlitTarget& target, int32_t x, int32_t y)
{
    const uint16_t* pixels = image->pixels();
    for (int32_t row = 0; row < image->height(); ++row) {
        uint16_t* line = target.at(x, y + row);
        for (const ArtRun& run : image->rowRuns(row))
            span(line + run.start, pixels + run.firstPixel, run.count);
    }
}

template<typename Span>
void blitRowsClipped(Span span, const ArtImage* image, const BlitTarget& target, int32_t x, int32_t y, int32_t cl,
    int32_t cr, int32_t rt, int32_t rb)
{
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
            span(target.at(x + from, y + row), pixels + run.firstPixel + (from - start), to - from);
        }
    }
}

} // namespace

void blitArt(PixelSpanFn fn, const ArtImage* image, const BlitTarget& target, int32_t x, int32_t y)
{
    if (!image)
        return;
    const ScreenRect& bounds = target.bounds;
    if (x < bounds.left || y < bounds.top || int64_t(x) + image->width() > bounds.right
        || int64_t(y) + image->height() > bounds.bottom) {
        blitArtClipped(fn, image, target, &bounds, x, y);
        return;
    }
    withSpan(fn, [&](auto span) { blitRows(span, image, target, x, y); });
}

void blitArtClipped(
    PixelSpanFn fn, const ArtImage* image, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y)
{
    if (!image || !clip)
        return;
    const ScreenRect area = clip->intersected(target.bounds);
    // In 64 bits: the position may be anywhere, and only the result is known
    // to lie within the image.
    const int64_t left = std::max<int64_t>(int64_t(area.left) - x, 0);
    const int64_t right = std::min<int64_t>(int64_t(area.right) - x, image->width());
    const int64_t top = std::max<int64_t>(int64_t(area.top) - y, 0);
    const int64_t bottom = std::min<int64_t>(int64_t(area.bottom) - y, image->height());
    if (left >= right || top >= bottom)
        return;
    const int32_t cl = int32_t(left), cr = int32_t(right), rt = int32_t(top), rb = int32_t(bottom);
    withSpan(fn, [&](auto span) { blitRowsClipped(span, image, target, x, y, cl, cr, rt, rb); });
}
