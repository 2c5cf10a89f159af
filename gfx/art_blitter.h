#pragma once
// Draws run-length art into a BlitTarget, handing each visible run to one
// PixelSpanFn call. Nothing is ever drawn outside the target's bounds.

#include "gfx/art_image.h"
#include "gfx/blit_target.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen_rect.h"

// The image's top-left at (x, y) in target pixels.
void blitArt(PixelSpanFn fn, const ArtImage* image, const BlitTarget& target, int32_t x, int32_t y);
// Only the part inside `clip` (and the target's bounds); nothing for a null clip.
void blitArtClipped(
    PixelSpanFn fn, const ArtImage* image, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y);
