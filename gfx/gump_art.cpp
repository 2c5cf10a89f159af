#include "gfx/gump_art.h"

#include "gfx/art_cache.h"
#include "gfx/colour_tables.h"

#include <algorithm>
#include <vector>

namespace {

bool g_gumpArt565 = false;

uint32_t readLe32(std::span<const uint8_t> bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16
        | uint32_t(bytes[at + 3]) << 24;
}

// One row of decoded pixels, reused by every draw: no allocation once it has
// grown to the widest image drawn.
uint16_t* rowBuffer(int32_t width)
{
    static std::vector<uint16_t> buffer;
    if (buffer.size() < size_t(width))
        buffer.resize(size_t(width));
    return buffer.data();
}

// The part of an image of width x height at (x, y) that lies inside `clip`
// and the target, in image columns [left, right) and rows [top, bottom).
// Computed in 64 bits: positions may lie anywhere in the 32-bit range.
struct ImageWindow {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool isEmpty() const { return left >= right || top >= bottom; }
};

ImageWindow visibleWindow(const ScreenRect& clip, const BlitTarget& target, int32_t x, int32_t y, int32_t width,
    int32_t height)
{
    const ScreenRect area = clip.intersected(target.bounds);
    ImageWindow window;
    window.left = int32_t(std::clamp<int64_t>(int64_t(area.left) - x, 0, width));
    window.top = int32_t(std::clamp<int64_t>(int64_t(area.top) - y, 0, height));
    window.right = int32_t(std::clamp<int64_t>(int64_t(area.right) - x, 0, width));
    window.bottom = int32_t(std::clamp<int64_t>(int64_t(area.bottom) - y, 0, height));
    return window;
}

// Turns 5-5-5 pixels just drawn into 5-6-5 where the source was not 0.
void convertDrawnTo565(uint16_t* destination, const uint16_t* source, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        if (source[i] != 0)
            destination[i] = convert555To565(destination[i]);
    }
}

// Where the destination pixel (dx, dy) of a turned image of the source size
// width x height comes from.
void sourceOfTurned(QuarterTurn turn, int32_t width, int32_t height, int32_t dx, int32_t dy, int32_t& sx, int32_t& sy)
{
    switch (turn) {
    case QuarterTurn::None:
        sx = dx;
        sy = dy;
        return;
    case QuarterTurn::Anticlockwise:
        sx = width - 1 - dy;
        sy = dx;
        return;
    case QuarterTurn::Half:
        sx = width - 1 - dx;
        sy = height - 1 - dy;
        return;
    case QuarterTurn::Clockwise:
        sx = dy;
        sy = height - 1 - dx;
        return;
    }
}

bool swapsSides(QuarterTurn turn) { return turn == QuarterTurn::Anticlockwise || turn == QuarterTurn::Clockwise; }

// The destination window of a turned width x height picture drawn at (x, y),
// in turned-image coordinates.
ImageWindow turnedWindow(const ScreenRect& clip, const BlitTarget& target, int32_t x, int32_t y, int32_t width,
    int32_t height, QuarterTurn turn)
{
    return visibleWindow(clip, target, x, y, swapsSides(turn) ? height : width, swapsSides(turn) ? width : height);
}

// Hands every pixel of `window` to `fn` one call per pixel, the colour taken
// from `sourceAt(sx, sy)`; `marker` is or-ed into every pixel that is not 0.
template <typename SourceAt>
void drawTurnedWindow(PixelSpanFn fn, int32_t width, int32_t height, const BlitTarget& target,
    const ImageWindow& window, int32_t x, int32_t y, QuarterTurn turn, uint16_t marker, SourceAt sourceAt)
{
    for (int32_t dy = window.top; dy < window.bottom; ++dy) {
        for (int32_t dx = window.left; dx < window.right; ++dx) {
            int32_t sx = 0;
            int32_t sy = 0;
            sourceOfTurned(turn, width, height, dx, dy, sx, sy);
            uint16_t pixel = sourceAt(sx, sy);
            if (pixel != 0)
                pixel |= marker;
            fn(target.at(x + dx, y + dy), &pixel, 1);
        }
    }
}

// The source columns [left, right) and rows [top, bottom) that the turned
// window `window` shows.
ImageWindow sourceOfWindow(QuarterTurn turn, int32_t width, int32_t height, const ImageWindow& window)
{
    switch (turn) {
    case QuarterTurn::None:
        return window;
    case QuarterTurn::Anticlockwise:
        return { width - window.bottom, window.left, width - window.top, window.right };
    case QuarterTurn::Half:
        return { width - window.right, height - window.bottom, width - window.left, height - window.top };
    case QuarterTurn::Clockwise:
        return { window.top, height - window.right, window.bottom, height - window.left };
    }
    return window;
}

} // namespace

std::optional<GumpArtImage> GumpArtImage::fromRecord(std::span<const uint8_t> record, uint32_t extra)
{
    GumpArtImage image;
    image.m_width = int32_t(extra >> 16);
    image.m_height = int32_t(extra & 0xFFFF);
    if (image.m_width <= 0 || image.m_height <= 0 || record.size() < size_t(image.m_height) * 4)
        return std::nullopt;
    image.m_record = record;
    return image;
}

std::optional<GumpArtImage> GumpArtImage::find(int32_t id)
{
    std::optional<DataRecord> record = getGumpArtRecord(id);
    if (!record)
        return std::nullopt;
    return fromRecord(record->bytes, record->extra);
}

void GumpArtImage::decodeRow(int32_t row, uint16_t* out) const
{
    std::fill_n(out, m_width, uint16_t(0));
    if (row < 0 || row >= m_height)
        return;
    // The row's offset counts 32-bit words; one past the record reads nothing.
    uint64_t at = uint64_t(readLe32(m_record, size_t(row) * 4)) * 4;
    int32_t column = 0;
    while (column < m_width && at + 4 <= m_record.size()) {
        uint32_t run = readLe32(m_record, size_t(at));
        at += 4;
        uint16_t colour = uint16_t(run & 0xFFFF);
        // A run never reaches past the row, however long the record says it is.
        int32_t length = int32_t(std::min<uint32_t>(run >> 16, uint32_t(m_width - column)));
        std::fill_n(out + column, length, colour);
        column += length;
    }
}

uint16_t GumpArtImage::pixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    uint64_t at = uint64_t(readLe32(m_record, size_t(y) * 4)) * 4;
    int32_t column = 0;
    while (column < m_width && at + 4 <= m_record.size()) {
        uint32_t run = readLe32(m_record, size_t(at));
        at += 4;
        column += int32_t(run >> 16);
        if (column > x)
            return uint16_t(run & 0xFFFF);
    }
    return 0;
}

void setGumpArt565(bool on) { g_gumpArt565 = on; }

bool isGumpArt565() { return g_gumpArt565; }

bool getGumpArtSize(int32_t id, int32_t& width, int32_t& height)
{
    std::optional<GumpArtImage> image = GumpArtImage::find(id);
    width = image ? image->width() : 0;
    height = image ? image->height() : 0;
    return image.has_value();
}

uint16_t getGumpArtPixel(int32_t id, int32_t x, int32_t y)
{
    std::optional<GumpArtImage> image = GumpArtImage::find(id);
    if (!image)
        return 0;
    uint16_t pixel = image->pixel(x, y);
    return g_gumpArt565 ? convert555To565(pixel) : pixel;
}

void drawGumpImageClipped(
    PixelSpanFn fn, const GumpArtImage& image, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y)
{
    if (!clip)
        return;
    ImageWindow window = visibleWindow(*clip, target, x, y, image.width(), image.height());
    if (window.isEmpty())
        return;
    uint16_t* row = rowBuffer(image.width());
    const int32_t count = window.right - window.left;
    for (int32_t line = window.top; line < window.bottom; ++line) {
        image.decodeRow(line, row);
        uint16_t* destination = target.at(x + window.left, y + line);
        fn(destination, row + window.left, count);
        if (g_gumpArt565)
            convertDrawnTo565(destination, row + window.left, count);
    }
}

void drawGumpArt(PixelSpanFn fn, int32_t id, const BlitTarget& target, int32_t x, int32_t y)
{
    drawGumpArtClipped(fn, id, target, &target.bounds, x, y);
}

void drawGumpArtClipped(
    PixelSpanFn fn, int32_t id, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y)
{
    if (std::optional<GumpArtImage> image = GumpArtImage::find(id))
        drawGumpImageClipped(fn, *image, target, clip, x, y);
}

void drawGumpImageRotated(PixelSpanFn fn, const GumpArtImage& image, const BlitTarget& target,
    const ScreenRect* clip, int32_t x, int32_t y, QuarterTurn turn)
{
    if (!clip)
        return;
    const int32_t width = image.width();
    const int32_t height = image.height();
    if (turn == QuarterTurn::None) {
        ImageWindow window = visibleWindow(*clip, target, x, y, width, height);
        if (window.isEmpty())
            return;
        uint16_t* row = rowBuffer(width);
        for (int32_t line = window.top; line < window.bottom; ++line) {
            image.decodeRow(line, row);
            for (int32_t i = window.left; i < window.right; ++i)
                row[i] = row[i] ? uint16_t(row[i] | 0x8000) : 0;
            fn(target.at(x + window.left, y + line), row + window.left, window.right - window.left);
        }
        return;
    }
    // A turned image is read across its rows: decode the part that shows
    // first. The size words may claim 65535 x 65535 pixels; what shows is
    // bounded by the target.
    ImageWindow window = turnedWindow(*clip, target, x, y, width, height, turn);
    if (window.isEmpty())
        return;
    const ImageWindow source = sourceOfWindow(turn, width, height, window);
    const size_t sourceWidth = size_t(source.right - source.left);
    static std::vector<uint16_t> shown;
    shown.resize(sourceWidth * size_t(source.bottom - source.top));
    uint16_t* row = rowBuffer(width);
    for (int32_t line = source.top; line < source.bottom; ++line) {
        image.decodeRow(line, row);
        std::copy_n(row + source.left, sourceWidth, shown.data() + size_t(line - source.top) * sourceWidth);
    }
    drawTurnedWindow(fn, width, height, target, window, x, y, turn, 0x8000, [&](int32_t sx, int32_t sy) {
        return shown[size_t(sy - source.top) * sourceWidth + size_t(sx - source.left)];
    });
}

void drawGumpArtRotated(PixelSpanFn fn, int32_t id, const BlitTarget& target, const ScreenRect* clip, int32_t x,
    int32_t y, QuarterTurn turn)
{
    if (std::optional<GumpArtImage> image = GumpArtImage::find(id))
        drawGumpImageRotated(fn, *image, target, clip, x, y, turn);
}

void drawImageClipped(PixelSpanFn fn, const uint16_t* pixels, int32_t width, int32_t height, const BlitTarget& target,
    const ScreenRect* clip, int32_t x, int32_t y)
{
    if (!pixels || !clip || width <= 0 || height <= 0)
        return;
    ImageWindow window = visibleWindow(*clip, target, x, y, width, height);
    if (window.isEmpty())
        return;
    for (int32_t line = window.top; line < window.bottom; ++line) {
        fn(target.at(x + window.left, y + line), pixels + size_t(line) * size_t(width) + size_t(window.left),
            window.right - window.left);
    }
}

void blitRowsThrough(
    PixelSpanFn fn, const uint16_t* pixels, int32_t width, int32_t height, const BlitTarget& target, int32_t x, int32_t y)
{
    drawImageClipped(fn, pixels, width, height, target, &target.bounds, x, y);
}

void drawImageClippedRotated(PixelSpanFn fn, const uint16_t* pixels, int32_t width, int32_t height,
    const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y, QuarterTurn turn)
{
    if (!pixels || !clip || width <= 0 || height <= 0)
        return;
    if (turn == QuarterTurn::None) {
        drawImageClipped(fn, pixels, width, height, target, clip, x, y);
        return;
    }
    ImageWindow window = turnedWindow(*clip, target, x, y, width, height, turn);
    drawTurnedWindow(fn, width, height, target, window, x, y, turn, 0,
        [&](int32_t sx, int32_t sy) { return pixels[size_t(sy) * size_t(width) + size_t(sx)]; });
}
