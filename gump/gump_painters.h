#pragma once
// Background painters that build resizable frames from gump art inside a
// gump's page: the nine-piece frame of consecutive arts (with optional random
// edge decorations) and tiling. Every tiling stops at once for an art without
// size along its direction, so missing art draws nothing. Decorations take
// their places from the process-wide random generator. Main thread only.

#include "gfx/pixel_spans.h"
#include "gump/gump.h"

#include <cstdint>

// The size of a gump art (0 x 0 when it is missing).
struct GumpArtSize {
    int32_t width = 0;
    int32_t height = 0;
    bool exists() const { return width > 0 && height > 0; }
};
GumpArtSize gumpArtSize(int32_t art);

// Tiles the art from (startX, startY) in steps of its size over `area`,
// clipped to it and to the page, through `fn`.
void tileGumpArtArea(
    PixelSpanFn fn, int32_t art, GumpPage& page, const ScreenRect& area, int32_t startX, int32_t startY);

// Nine consecutive arts from `base` over the whole page: base top-left,
// +1 top edge, +2 top-right, +3 left edge, +4 centre, +5 right edge,
// +6 bottom-left, +7 bottom edge, +8 bottom-right; then, unless
// noDecorations, the pairs base + 11/12 (top), 17/18 (bottom), 13/14 (left)
// and 15/16 (right) at random places along their edges.
void drawNinePatch(int32_t base, GumpPage& page, bool noDecorations);
// The same inside a rectangle of the page. A rectangle whose edges lie
// further than any page could reach (a corrupt size) draws nothing.
void drawNinePatchRecord(
    int32_t x, int32_t y, int32_t width, int32_t height, int32_t base, GumpPage& page, bool noDecorations);
// Tiles the art over the whole page from (0, 0), colour-keyed.
void tileGumpArt(int32_t art, GumpPage& page);
// Tiles the art over the rectangle (clipped to it and the page); every
// second pixel only when translucent.
void tileGumpArtRect(
    int32_t x, int32_t y, int32_t width, int32_t height, int32_t art, GumpPage& page, bool translucent);
// Art, art + 1 tiled, art + 2 at the right end, across the page from the
// top; nothing unless all three exist.
void drawThreeSlice(int32_t art, GumpPage& page);
// Lightens pixels halfway towards white: under the shape of capArt at
// (x, y), then a full band up to x + length - the right cap's width, then
// under the shape of capArt + 1 starting one column before the band's end.
// The bar is as high as capArt.
void drawHighlightBar(int32_t x, int32_t y, int32_t length, int32_t capArt, GumpPage& page);
// A column of pieces: `first` at the top (topOffset down), the middle arts
// first + 1 .. first + middleCount repeated below it (the last one cut), and
// first + middleCount + 1 at the bottom, ending bottomReserve above the
// page's bottom. The column is centred in a page wider than the top piece,
// and pieces narrower than the top piece are centred under it.
void drawVerticalGumpStrip(int32_t first, int32_t middleCount, GumpPage& page, int32_t topOffset, int32_t bottomReserve);

// A nine-piece frame laid once per size and art and then copied, so that its
// random decorations stay where they were first put while a control redraws.
class CachedNinePatch {
public:
    // Copies the frame over the whole page (laying it first when needed).
    void paint(int32_t base, GumpPage& page);

private:
    GumpPage m_frame;
    int32_t m_base = -1;
};
