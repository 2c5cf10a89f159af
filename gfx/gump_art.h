#pragma once
// Gump art, the pictures of windows, controls and every other piece of the
// interface, and raw 16-bit images held in memory: drawn into a BlitTarget
// through a PixelSpanFn, clipped to the target or to a rectangle, optionally
// turned by quarter turns, and asked for their size and single pixels (for
// pixel-exact hit tests). A gump-art record is read where it lies in the
// mapped data file and checked as it is decoded, one row at a time, so a
// damaged record draws what it holds and never reads or writes outside.
// Main thread only (the row buffer and the 5-6-5 switch are process-wide).

#include "gfx/blit_target.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen_rect.h"

#include <cstdint>
#include <optional>
#include <span>

// One gump-art record: `height` 32-bit row offsets, counted in 32-bit words
// from the record's start, then per row 32-bit runs, the colour in the low
// 16 bits (5-5-5, 0 transparent) and the length in pixels in the high 16. The
// index entry's extra word holds width << 16 | height.
class GumpArtImage {
public:
    // Null for a missing entry, a zero size, or a record too short to hold
    // its row offsets.
    static std::optional<GumpArtImage> fromRecord(std::span<const uint8_t> record, uint32_t extra);
    // The entry of the gump-art files; null when it is missing.
    static std::optional<GumpArtImage> find(int32_t id);

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }

    // Decodes row `row` into `out` (width() pixels). A run is cut at the
    // width and at the record's end; columns no run covers stay 0.
    void decodeRow(int32_t row, uint16_t* out) const;
    // The colour at (x, y); 0 where transparent or outside.
    uint16_t pixel(int32_t x, int32_t y) const;

private:
    std::span<const uint8_t> m_record;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

// Quarter turns of drawGumpArtRotated and drawImageClippedRotated.
enum class QuarterTurn : int32_t {
    None = 0,
    // Source (sx, sy) goes to (sy, width - 1 - sx).
    Anticlockwise = 1,
    // Source (sx, sy) goes to (width - 1 - sx, height - 1 - sy).
    Half = 2,
    // Source (sx, sy) goes to (height - 1 - sy, sx).
    Clockwise = 3,
};

// While set, every pixel a gump-art draw writes where its source pixel is not
// 0 is turned from 5-5-5 into 5-6-5 afterwards (the 5-6-5 back buffer).
void setGumpArt565(bool on);
bool isGumpArt565();

// Size of gump art `id`; 0 x 0 (and false) when it is missing.
bool getGumpArtSize(int32_t id, int32_t& width, int32_t& height);
// The colour at (x, y) of gump art `id`, 0 when transparent, outside or
// missing; converted to 5-6-5 while that mode is on.
uint16_t getGumpArtPixel(int32_t id, int32_t x, int32_t y);

// Draws gump art `id` with its top-left at (x, y), clipped to the target.
void drawGumpArt(PixelSpanFn fn, int32_t id, const BlitTarget& target, int32_t x, int32_t y);
// The same, clipped to `clip` as well; nothing for a null clip.
void drawGumpArtClipped(
    PixelSpanFn fn, int32_t id, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y);
// The same images turned: the turned image's top-left is at (x, y). Pixels
// other than 0 reach `fn` with bit 15 set; no 5-6-5 conversion follows. An
// unturned image is drawn one call per row, a turned one one call per pixel.
void drawGumpArtRotated(PixelSpanFn fn, int32_t id, const BlitTarget& target, const ScreenRect* clip, int32_t x,
    int32_t y, QuarterTurn turn);
void drawGumpImageRotated(PixelSpanFn fn, const GumpArtImage& image, const BlitTarget& target,
    const ScreenRect* clip, int32_t x, int32_t y, QuarterTurn turn);
void drawGumpImageClipped(
    PixelSpanFn fn, const GumpArtImage& image, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y);

// A raw image of width x height pixels (row r at pixels + r * width) with
// its top-left at (x, y), clipped to `clip` and the target; one call per row.
void drawImageClipped(PixelSpanFn fn, const uint16_t* pixels, int32_t width, int32_t height, const BlitTarget& target,
    const ScreenRect* clip, int32_t x, int32_t y);
// A raw image clipped to the target alone.
void blitRowsThrough(
    PixelSpanFn fn, const uint16_t* pixels, int32_t width, int32_t height, const BlitTarget& target, int32_t x, int32_t y);
// A raw image turned; pixels are handed over as they are.
void drawImageClippedRotated(PixelSpanFn fn, const uint16_t* pixels, int32_t width, int32_t height,
    const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y, QuarterTurn turn);
