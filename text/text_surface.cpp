#include "text/text_surface.h"

#include "world/hue_table.h"

#include <algorithm>

namespace {

HueRampLookup g_hueLookup = nullptr;
bool g_pixelFormat565 = false;

} // namespace

TextClip TextClip::within(const TextSurface& surface) const
{
    TextClip clip;
    clip.left = std::max(left, 0);
    clip.top = std::max(top, 0);
    clip.right = std::min(right, surface.pixels ? surface.width : 0);
    clip.bottom = std::min(bottom, surface.pixels ? surface.height : 0);
    return clip;
}

TextClip wholeSurface(const TextSurface& surface)
{
    return TextClip { 0, 0, surface.width, surface.height };
}

void setTextHueLookup(HueRampLookup lookup)
{
    g_hueLookup = lookup;
}

const uint16_t* textHueRamp(int32_t hue)
{
    if (hue < 1 || hue > kMaxTextHue)
        return nullptr;
    if (g_hueLookup)
        return g_hueLookup(hue);
    return hueTable().entry(hue - 1).colours.data();
}

void setTextPixelFormat565(bool is565)
{
    g_pixelFormat565 = is565;
}

bool isTextPixelFormat565()
{
    return g_pixelFormat565;
}
