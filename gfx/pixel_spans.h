#pragma once
// Pixel-span callbacks: every blitter (art, gump art, fonts, the gump layer)
// decides which runs of an image are visible and hands each visible run to one
// of these, which decides what happens to each pixel. A source pixel of 0 is
// transparent for the callbacks that skip it; a callback that blends sets bit
// 0 of its result so that a blended pixel is never 0. Colours are 5-5-5.
// The state below (current hue, stipple phase, blend table) is process-wide
// and belongs to the main thread, which draws.

#include "gfx/hue_table.h"

#include <cstdint>
#include <cstring>

using PixelSpanFn = void (*)(uint16_t* destination, const uint16_t* source, int32_t count);

// The hue entry the hue callbacks use. Indices outside the table select entry
// 0, so that no caller's raw hue value (effect hues are 32-bit) can index
// past it.
void setCurrentHue(int32_t entryIndex);
int32_t currentHue();
// Sets the hue entry for a hue number (1..3000; 0 and others give entry 0).
void setCurrentHueNumber(int32_t hueNumber);

// Blend levels select one of the eight blend tables (level & 15).
bool isBlendLevelZero(int32_t level);
int32_t selectBlendTable(int32_t level);

// The stipple callback alternates its phase on every call; this starts over.
void resetStipplePhase();

// The colour that replaces red blood while censoring is on (5-5-5).
void setCensoredBloodColour(uint16_t colour);

void copySpan(uint16_t* destination, const uint16_t* source, int32_t count);
void copySpanTransparent(uint16_t* destination, const uint16_t* source, int32_t count);

// copySpanTransparent's work, inline for blitters that call it directly.
// No branch per pixel: each destination pixel is rewritten, with its own
// value where the source is transparent. Eight at a time through the
// compiler's vector extension, then four, then the rest one by one.
inline void copyPixelsSkippingZero(uint16_t* destination, const uint16_t* source, int32_t count)
{
    typedef uint16_t Eight __attribute__((vector_size(16)));
    typedef uint16_t Four __attribute__((vector_size(8)));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        Eight s, d;
        std::memcpy(&s, source + i, sizeof s);
        std::memcpy(&d, destination + i, sizeof d);
        d = s | (d & Eight(s == 0));
        std::memcpy(destination + i, &d, sizeof d);
    }
    if (i + 4 <= count) {
        Four s, d;
        std::memcpy(&s, source + i, sizeof s);
        std::memcpy(&d, destination + i, sizeof d);
        d = s | (d & Four(s == 0));
        std::memcpy(destination + i, &d, sizeof d);
        i += 4;
    }
    for (; i < count; ++i) {
        uint16_t s = source[i];
        uint16_t keep = uint16_t(-uint16_t(s == 0));
        destination[i] = uint16_t(s | (destination[i] & keep));
    }
}
void stippleSpan(uint16_t* destination, const uint16_t* source, int32_t count);
void blendSpan50(uint16_t* destination, const uint16_t* source, int32_t count);
void blendSpan75(uint16_t* destination, const uint16_t* source, int32_t count);
void blendSpan75Opaque(uint16_t* destination, const uint16_t* source, int32_t count);
void blendSpan25Opaque(uint16_t* destination, const uint16_t* source, int32_t count);
void hueSpanByRed(uint16_t* destination, const uint16_t* source, int32_t count);
void hueSpanOpaque(uint16_t* destination, const uint16_t* source, int32_t count);
void hueSpanByGreen(uint16_t* destination, const uint16_t* source, int32_t count);
void partialHueSpan(uint16_t* destination, const uint16_t* source, int32_t count);
void partialHueSpanOpaque(uint16_t* destination, const uint16_t* source, int32_t count);
void hueBlendSpan75(uint16_t* destination, const uint16_t* source, int32_t count);
void hueBlendSpan75Opaque(uint16_t* destination, const uint16_t* source, int32_t count);
void partialHueBlendSpan75(uint16_t* destination, const uint16_t* source, int32_t count);
void partialHueBlendSpan75Opaque(uint16_t* destination, const uint16_t* source, int32_t count);
void blendTableSpan(uint16_t* destination, const uint16_t* source, int32_t count);
void hueBlendTableSpan(uint16_t* destination, const uint16_t* source, int32_t count);
void bloodRecolourSpan(uint16_t* destination, const uint16_t* source, int32_t count);
// The font drawers' form: grey pixels take their colour from `hue`.
void hueSpanGreyOnly(uint16_t* destination, const uint16_t* source, int32_t count, const HueEntry& hue);
