#include "text/text_surface.h"

#include "gfx/hue_table.h"

#include <algorithm>
#include <limits>

namespace {

bool g_pixelFormat565 = false;

} // namespace

int32_t clampedPosition(int64_t position)
{
    return int32_t(std::clamp<int64_t>(
        position, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

TextClip wholeSurface(const TextSurface& surface)
{
    return TextClip { 0, 0, surface.width, surface.height };
}

TextClip clipToSurface(const TextClip& clip, const TextSurface& surface)
{
    return clip.intersected(surface.pixels ? wholeSurface(surface) : TextClip {});
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
