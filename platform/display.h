#pragma once
// Where the client's frames are shown. The client draws every frame in its own
// memory, as 16-bit pixels addressed pixels[x + pitch * y] with the pitch in
// pixels; a display only presents them: it copies the dirty rectangles of a
// frame to the screen, which converts the pixel format where it must, and shows
// the result. A display is used from the main thread; anything that presents
// or switches modes from another thread (the pointer timer) holds displayLock().

#include "platform/screen_rect.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

namespace platform {

enum class PixelFormat16 {
    Rgb555,
    Rgb565,
};

class Display {
public:
    virtual ~Display() = default;

    // Copies the rectangles (half-open, in frame pixels, clamped to the frame)
    // of the width x height frame to the screen and shows it. The first frame,
    // and the first after a change of size or format, is copied whole.
    virtual bool presentFrame(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch,
        PixelFormat16 format, std::span<const ScreenRect> dirtyRects)
        = 0;

    // Full screen at width x height, or back to a window. A switch that fails
    // leaves the display in a window and returns false; nothing is reported.
    virtual bool setFullscreen(bool on, int32_t width, int32_t height) = 0;
    virtual bool isFullscreen() const = 0;

    // The format the screen shows without converting.
    virtual PixelFormat16 nativeFormat() const = 0;
};

// An in-memory display (platform/headless/headless_display.h).
std::unique_ptr<Display> createHeadlessDisplay(int32_t width, int32_t height);
// A window with the given title and client size; null when no video device
// can be opened, and when the only one is SDL's offscreen or dummy driver
// that SDL_VIDEODRIVER did not ask for.
std::unique_ptr<Display> createSdlDisplay(const char* title, int32_t width, int32_t height);
// Why the last createSdlDisplay gave null, in the video library's words.
std::string sdlDisplayError();

std::mutex& displayLock();

} // namespace platform
