#pragma once
// Static art turned by an angle, for thrown and spinning effects. Angles are
// steps of 1/256 of a turn, taken modulo 256, looked up in 16.16 fixed-point
// sine and cosine tables; no floating point is used per pixel. Each blitter
// fills a box that rotateBounds grew to hold the turned image: target pixel
// (x + dx, y + dy) shows the image-frame point (box.left + dx, box.top + dy)
// turned about the image's centre. Main thread only (the blend table and hue
// are the span callbacks' process-wide state).

#include "gfx/art_image.h"
#include "gfx/blit_target.h"
#include "gfx/hue_table.h"
#include "gfx/screen_rect.h"

#include <array>
#include <cstdint>

struct SinCosTable {
    // sin and cos of step i times 65536, truncated toward zero.
    std::array<int32_t, 256> sine {};
    std::array<int32_t, 256> cosine {};
};

// Built once, on the first call (start-up calls it so no frame pays for it).
const SinCosTable& buildSinCosTables();

// Replaces `rect` by the bounding box of its four corners turned by `angle`
// about its centre.
void rotateBounds(int32_t angle, ScreenRect* rect);

// The four pixel operations; T is the span callbacks' current blend table.
// Per channel T[d * 32 + s].
void blitArtRotatedInBox(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x, int32_t y,
    int32_t angle, const ScreenRect* clip);
// The source first takes colour green(s) of `hue`, then blends by T.
void blitArtRotatedInBoxHueBlend(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x,
    int32_t y, int32_t angle, const ScreenRect* clip, const HueEntry& hue);
// Colour greyIndex(s) of `hue`, copied.
void blitArtRotatedInBoxGreyHue(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x,
    int32_t y, int32_t angle, const ScreenRect* clip, const HueEntry& hue);
// The source pixel, copied.
void blitArtRotatedInBoxCopy(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x,
    int32_t y, int32_t angle, const ScreenRect* clip);
