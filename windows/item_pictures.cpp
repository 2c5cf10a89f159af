#include "windows/item_pictures.h"

#include "world/item_graphics.h"
#include "world/static_object.h"
#include "world/tile_data.h"
#include "world/world_settings.h"

namespace {

constexpr int32_t kHighlightHueIndex = 52;
constexpr uint16_t kPastTableHue = 60000;

} // namespace

PixelSpanFn hueSpanFor(int32_t hueIndex, bool partial)
{
    if (hueIndex < 0)
        return copySpanTransparent;
    setCurrentHue(hueIndex);
    return partial ? partialHueSpan : hueSpanByRed;
}

PixelSpanFn windowItemSpan(uint16_t hue, uint32_t tileFlags, int32_t graphic, bool highlighted)
{
    if (highlighted)
        return hueSpanFor(kHighlightHueIndex, false);
    if (worldObjectSettings().censorBlood && isBloodGraphic(graphic))
        return bloodRecolourSpan;
    int32_t index = hue > kPastTableHue ? 0 : hueEntryIndex(hue);
    return hueSpanFor(index, (tileFlags & kTilePartialHue) != 0);
}

void convertPixelsTo565(uint16_t* pixels, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        uint16_t p = pixels[i];
        if (p != 0)
            pixels[i] = uint16_t(((p & 0xFFE0) << 1) | (p & 0x1F));
    }
}
