#include "text/text_surface.h"

#include "world/hue_table.h"

#include <algorithm>

namespace {

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

const HueEntry* textHueEntry(int32_t hue)
{
    if (hue < 1 || hue > kMaxTextHue)
        return nullptr;
    return &hueTable().entry(hue - 1);
}

void setTextPixelFormat565(bool is565)
{
    g_pixelFormat565 = is565;
}

bool isTextPixelFormat565()
{
    return g_pixelFormat565;
}
