#include "gump/gump_painters.h"

#include "core/process_random.h"
#include "gfx/colour_tables.h"
#include "text/text_surface.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

// A decoration's partner is looked for this many times; a short edge may
// leave no place far enough from the first, and then the partner stays out.
constexpr int32_t kPartnerTries = 64;

// No page comes near this size (pages are at most a few thousand pixels), so a
// framed rectangle with an edge beyond it is a corrupt record, not a picture.
// Keeping every edge within it also keeps the corner and band arithmetic below
// (edges plus or minus art sizes, which are at most 16 bits) inside int32.
constexpr int64_t kMaxNinePatchExtent = int64_t(1) << 24;

bool withinNinePatchExtent(int64_t value) { return value >= -kMaxNinePatchExtent && value <= kMaxNinePatchExtent; }

// Whether the pieces `first` .. `first + lastOffset` of a run of art are all
// ids: a server layout may give any number as the first, and the pieces must
// not run past the largest one.
bool artRunFits(int32_t first, int32_t lastOffset) { return first <= INT32_MAX - lastOffset; }

// The nine pieces and the decorations 11 to 18 of a nine-patch frame.
constexpr int32_t kNinePatchLastPiece = 18;

using ArtSize = GumpArtSize;

ArtSize artSize(int32_t art) { return gumpArtSize(art); }

int32_t painterRandomBelow(int32_t n) { return n > 0 ? nextRandom() % n : 0; }

enum class FrameEdge {
    Top,
    Bottom,
    Left,
    Right,
};

// The decoration pair (first, second) along one edge of the rectangle.
void decorate(FrameEdge edge, int32_t first, int32_t second, const ScreenRect& rect, GumpPage& page)
{
    const ArtSize a = artSize(first);
    const ArtSize b = artSize(second);
    if (!a.exists() || !b.exists())
        return;
    const bool alongX = edge == FrameEdge::Top || edge == FrameEdge::Bottom;
    const int32_t length = alongX ? rect.width() : rect.height();
    const int32_t sizeA = alongX ? a.width : a.height;
    const int32_t sizeB = alongX ? b.width : b.height;
    if (sizeA + sizeB + 80 >= length)
        return;
    auto place = [&](int32_t art, const ArtSize& size, int32_t position) {
        int32_t x = rect.left;
        int32_t y = rect.top;
        switch (edge) {
        case FrameEdge::Top:
            x += position;
            break;
        case FrameEdge::Bottom:
            x += position;
            y = rect.bottom - size.height;
            break;
        case FrameEdge::Left:
            y += position;
            break;
        case FrameEdge::Right:
            x = rect.right - size.width;
            y += position;
            break;
        }
        drawGumpArt(copySpan, art, page.target(), x, y);
    };
    const int32_t firstPosition = painterRandomBelow(length - sizeA - 20) + 10;
    place(first, a, firstPosition);
    for (int32_t attempt = 0; attempt < kPartnerTries; ++attempt) {
        int32_t secondPosition = painterRandomBelow(length - sizeB - 20) + 10;
        if (std::abs(secondPosition - firstPosition) >= sizeA + 10) {
            place(second, b, secondPosition);
            return;
        }
    }
}

void tile(PixelSpanFn fn, int32_t art, GumpPage& page, const ScreenRect& band, int32_t startX, int32_t startY)
{
    tileGumpArtArea(fn, art, page, band, startX, startY);
}

} // namespace

GumpArtSize gumpArtSize(int32_t art)
{
    GumpArtSize size;
    getGumpArtSize(art, size.width, size.height);
    return size;
}

void tileGumpArtArea(
    PixelSpanFn fn, int32_t art, GumpPage& page, const ScreenRect& band, int32_t startX, int32_t startY)
{
    std::optional<GumpArtImage> image = GumpArtImage::find(art);
    BlitTarget target = page.target();
    ScreenRect area = band.intersected(target.bounds);
    if (!image || area.isEmpty())
        return;
    for (int64_t y = startY; y < area.bottom; y += image->height()) {
        if (y + image->height() <= area.top)
            continue;
        for (int64_t x = startX; x < area.right; x += image->width()) {
            if (x + image->width() <= area.left)
                continue;
            drawGumpImageClipped(fn, *image, target, &area, int32_t(x), int32_t(y));
        }
    }
}

void drawNinePatchRecord(
    int32_t x, int32_t y, int32_t width, int32_t height, int32_t base, GumpPage& page, bool noDecorations)
{
    if (!page.isAllocated() || width <= 0 || height <= 0)
        return;
    const int64_t rightEdge = int64_t(x) + width;
    const int64_t bottomEdge = int64_t(y) + height;
    if (!withinNinePatchExtent(x) || !withinNinePatchExtent(y) || !withinNinePatchExtent(rightEdge)
        || !withinNinePatchExtent(bottomEdge) || !artRunFits(base, kNinePatchLastPiece))
        return;
    const ScreenRect rect { x, y, int32_t(rightEdge), int32_t(bottomEdge) };
    PixelSpanFn fn = copySpanTransparent;
    const ArtSize topLeft = artSize(base);
    const ArtSize top = artSize(base + 1);
    const ArtSize topRight = artSize(base + 2);
    const ArtSize left = artSize(base + 3);
    const ArtSize right = artSize(base + 5);
    const ArtSize bottomLeft = artSize(base + 6);
    const ArtSize bottom = artSize(base + 7);
    const ArtSize bottomRight = artSize(base + 8);

    drawGumpArt(fn, base, page.target(), x, y);
    if (!top.exists())
        return;
    drawGumpArt(fn, base + 2, page.target(), rect.right - topRight.width, y);
    drawGumpArt(fn, base + 6, page.target(), x, rect.bottom - bottomLeft.height);
    drawGumpArt(fn, base + 8, page.target(), rect.right - bottomRight.width, rect.bottom - bottomRight.height);
    tile(fn, base + 1, page, { x + topLeft.width, y, rect.right - topRight.width, y + top.height }, x + topLeft.width, y);
    tile(fn, base + 3, page, { x, y + topLeft.height, x + left.width, rect.bottom - bottomLeft.height }, x,
        y + topLeft.height);
    tile(fn, base + 5, page,
        { rect.right - right.width, y + topRight.height, rect.right, rect.bottom - bottomRight.height },
        rect.right - right.width, y + topRight.height);
    tile(fn, base + 7, page,
        { x + bottomLeft.width, rect.bottom - bottom.height, rect.right - bottomRight.width, rect.bottom },
        x + bottomLeft.width, rect.bottom - bottom.height);
    tile(fn, base + 4, page, { x + left.width, y + top.height, rect.right - right.width, rect.bottom - bottom.height },
        x + left.width, y + top.height);
    if (noDecorations)
        return;
    decorate(FrameEdge::Top, base + 11, base + 12, rect, page);
    decorate(FrameEdge::Bottom, base + 17, base + 18, rect, page);
    decorate(FrameEdge::Left, base + 13, base + 14, rect, page);
    decorate(FrameEdge::Right, base + 15, base + 16, rect, page);
}

void drawNinePatch(int32_t base, GumpPage& page, bool noDecorations)
{
    drawNinePatchRecord(0, 0, page.width, page.height, base, page, noDecorations);
}

void tileGumpArt(int32_t art, GumpPage& page)
{
    tile(copySpanTransparent, art, page, { 0, 0, page.width, page.height }, 0, 0);
}

void tileGumpArtRect(
    int32_t x, int32_t y, int32_t width, int32_t height, int32_t art, GumpPage& page, bool translucent)
{
    if (translucent)
        resetStipplePhase();
    // The band is cut to the page anyway, so an edge past the int32 range is
    // held at its end rather than wrapped round to the other side.
    const auto edge = [](int64_t value) { return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); };
    tile(translucent ? stippleSpan : copySpanTransparent, art, page,
        { x, y, edge(int64_t(x) + width), edge(int64_t(y) + height) }, x, y);
}

void drawThreeSlice(int32_t art, GumpPage& page)
{
    if (!artRunFits(art, 2))
        return;
    const ArtSize left = artSize(art);
    const ArtSize middle = artSize(art + 1);
    const ArtSize right = artSize(art + 2);
    if (!page.isAllocated() || left.width <= 0 || middle.width <= 0 || right.width <= 0)
        return;
    drawGumpArt(copySpanTransparent, art, page.target(), 0, 0);
    tile(copySpanTransparent, art + 1, page, { left.width, 0, page.width - right.width, middle.height }, left.width, 0);
    drawGumpArt(copySpanTransparent, art + 2, page.target(), page.width - right.width, 0);
}

namespace {

// Halfway towards white in the page's pixel format.
uint16_t lighten(uint16_t pixel)
{
    const bool is565 = isTextPixelFormat565();
    const uint16_t halfMask = is565 ? uint16_t(0xF7DE >> 1) : uint16_t(kHalveMask >> 1);
    const uint16_t halfWhite = is565 ? uint16_t(0x7BEF) : uint16_t(0x3DEF);
    return uint16_t(((pixel >> 1) & halfMask) + halfWhite);
}

// Lightens the page under the art's inked pixels at (x, y).
void lightenUnder(int32_t art, GumpPage& page, int32_t x, int32_t y)
{
    std::optional<GumpArtImage> image = GumpArtImage::find(art);
    if (!image)
        return;
    std::vector<uint16_t> row(size_t(image->width()));
    for (int32_t r = 0; r < image->height(); ++r) {
        const int32_t py = y + r;
        if (py < 0 || py >= page.height)
            continue;
        image->decodeRow(r, row.data());
        for (int32_t c = 0; c < image->width(); ++c) {
            const int32_t px = x + c;
            if (row[size_t(c)] != 0 && px >= 0 && px < page.width)
                page.pixels[size_t(py) * size_t(page.width) + size_t(px)]
                    = lighten(page.pixels[size_t(py) * size_t(page.width) + size_t(px)]);
        }
    }
}

} // namespace

void drawHighlightBar(int32_t x, int32_t y, int32_t length, int32_t capArt, GumpPage& page)
{
    if (!artRunFits(capArt, 1))
        return;
    const ArtSize left = artSize(capArt);
    const ArtSize right = artSize(capArt + 1);
    if (!page.isAllocated() || left.height <= 0)
        return;
    lightenUnder(capArt, page, x, y);
    const int32_t bandStart = x + left.width;
    const int32_t bandEnd = bandStart + std::max(0, length - left.width - right.width);
    for (int32_t py = std::max(y, 0); py < std::min(y + left.height, page.height); ++py) {
        for (int32_t px = std::max(bandStart, 0); px < std::min(bandEnd, page.width); ++px) {
            uint16_t& pixel = page.pixels[size_t(py) * size_t(page.width) + size_t(px)];
            pixel = lighten(pixel);
        }
    }
    lightenUnder(capArt + 1, page, bandEnd - 1, y);
}

void drawVerticalGumpStrip(int32_t first, int32_t middleCount, GumpPage& page, int32_t topOffset, int32_t bottomReserve)
{
    const ArtSize top = artSize(first);
    if (!page.isAllocated() || !top.exists())
        return;
    const int32_t origin = std::max(0, (page.width - top.width) / 2);
    auto centredX = [&](const ArtSize& piece) {
        return origin + (piece.width < top.width ? (top.width - piece.width) / 2 : 0);
    };
    const int32_t bottomArt = first + middleCount + 1;
    const ArtSize bottom = artSize(bottomArt);
    const int32_t bottomY = page.height - bottomReserve - bottom.height;
    drawGumpArt(copySpanTransparent, first, page.target(), origin, topOffset);
    int32_t y = topOffset + top.height;
    // Each middle piece in turn; a piece without height ends the column, so
    // missing art draws nothing and the loop always ends.
    for (int32_t piece = 0; middleCount > 0 && y < bottomY; piece = (piece + 1) % middleCount) {
        const int32_t art = first + 1 + piece;
        const ArtSize size = artSize(art);
        if (size.height <= 0)
            break;
        const ScreenRect band { 0, y, page.width, bottomY };
        drawGumpArtClipped(copySpanTransparent, art, page.target(), &band, centredX(size), y);
        y += size.height;
    }
    if (bottom.exists())
        drawGumpArt(copySpanTransparent, bottomArt, page.target(), centredX(bottom), bottomY);
}

void CachedNinePatch::paint(int32_t base, GumpPage& page)
{
    if (!page.isAllocated())
        return;
    if (m_base != base || m_frame.width != page.width || m_frame.height != page.height) {
        m_frame.allocate(page.width, page.height);
        drawNinePatch(base, m_frame, false);
        m_base = base;
    }
    page.pixels = m_frame.pixels;
}
