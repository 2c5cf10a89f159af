#include "gfx/primary_surface.h"

#include "data/text_table_scanner.h"

namespace {

constexpr int32_t kDefaultModeWidth = 640;
constexpr int32_t kDefaultModeHeight = 480;
// A mode beyond this is a damaged setting, not a screen: the back buffer
// would not fit in memory.
constexpr int32_t kLargestModeSide = 8192;

bool isUsableMode(int32_t width, int32_t height)
{
    return width >= kDefaultModeWidth && height >= kDefaultModeHeight && width <= kLargestModeSide
        && height <= kLargestModeSide;
}

} // namespace

bool parseFullScreenRes(std::string_view text, int32_t& width, int32_t& height)
{
    LineFields fields(text);
    int32_t w = 0, h = 0;
    if (!fields.readInt(w) || !fields.readChar('x') || !fields.readInt(h))
        return false;
    width = w;
    height = h;
    return true;
}

void chooseFullScreenMode(bool inWorld, std::string_view fullScreenRes, int32_t& width, int32_t& height)
{
    width = kDefaultModeWidth;
    height = kDefaultModeHeight;
    int32_t wantedWidth = 0, wantedHeight = 0;
    if (inWorld && parseFullScreenRes(fullScreenRes, wantedWidth, wantedHeight)
        && isUsableMode(wantedWidth, wantedHeight)) {
        width = wantedWidth;
        height = wantedHeight;
    }
}

bool createPrimarySurface(platform::Display& display, BackBuffer& buffer, bool inWorld, std::string_view fullScreenRes,
    FullScreenOutput& output)
{
    int32_t width = 0, height = 0;
    chooseFullScreenMode(inWorld, fullScreenRes, width, height);
    if (!display.setFullscreen(true, width, height)) {
        if (width == kDefaultModeWidth && height == kDefaultModeHeight)
            return false;
        width = kDefaultModeWidth;
        height = kDefaultModeHeight;
        if (!display.setFullscreen(true, width, height))
            return false;
    }
    buffer.resetSizeTo(width, height);
    output.active = true;
    output.screenIs565 = display.nativeFormat() == platform::PixelFormat16::Rgb565;
    output.width = width;
    output.height = height;
    return true;
}

void releasePrimarySurface(platform::Display& display, FullScreenOutput& output)
{
    if (output.active)
        display.setFullscreen(false, 0, 0);
    output.active = false;
}
