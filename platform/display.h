#pragma once
// Where the client's frames are shown. The client draws every frame in its own
// memory, as 16-bit pixels; to show one it opens the screen's surface with
// beginFrame, writes the rectangles that changed straight into it, in the
// surface's own pixel format, and ends with endFrame, which shows just those
// rectangles. A display is used from the main thread; anything that presents
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

// The pixel layouts a surface may have: the two 16-bit ones, and 32-bit pixels
// with 8-bit red, green and blue in bits 16-23, 8-15 and 0-7.
enum class SurfaceFormat {
    Rgb555,
    Rgb565,
    Xrgb8888,
};

int32_t bytesPerPixel(SurfaceFormat format);

// An open surface. Frame pixel (x, y) lies at pixels + y * pitch + x * bytesPerPixel(format).
struct FrameSurface {
    uint8_t* pixels = nullptr;
    int32_t pitch = 0; // in bytes
    // The part of the frame the surface holds: the frame clipped to it.
    int32_t width = 0;
    int32_t height = 0;
    SurfaceFormat format = SurfaceFormat::Rgb565;
    // What the screen shows is not the last frame (the first frame, or one
    // after a change of size, format or surface): the whole frame must be
    // written and shown.
    bool needsWholeFrame = true;
};

class Display {
public:
    virtual ~Display() = default;

    // Opens the surface for a width x height frame whose pixels are in
    // `frameFormat` (a screen that shows that format as it is takes it as its
    // surface's). False when there is nothing to draw into; then nothing may
    // be written and no endFrame follows.
    virtual bool beginFrame(int32_t width, int32_t height, PixelFormat16 frameFormat, FrameSurface& surface) = 0;
    // Shows the rectangles (half-open, in frame pixels, clamped to the
    // surface) written since beginFrame, and closes the surface.
    virtual bool endFrame(std::span<const ScreenRect> rects) = 0;

    // Full screen at width x height, or back to a window. A switch that fails
    // leaves the display in a window and returns false; nothing is reported.
    virtual bool setFullscreen(bool on, int32_t width, int32_t height) = 0;
    virtual bool isFullscreen() const = 0;

    // The 16-bit format the screen shows without converting.
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
