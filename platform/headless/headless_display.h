#pragma once
// A display with no screen: frames are written into a surface in memory that
// tests read back. The surface takes each frame's own 16-bit format unless a
// surface format is set, as a screen that takes only that one. In a window
// the surface takes each frame's size, as a window's client area does; full
// screen switches succeed and resize the surface to the mode unless told to
// fail.

#include "platform/display.h"

#include <optional>
#include <vector>

namespace platform {

class HeadlessDisplay final : public Display {
public:
    HeadlessDisplay(int32_t width, int32_t height);

    bool beginFrame(int32_t width, int32_t height, PixelFormat16 frameFormat, FrameSurface& surface) override;
    bool endFrame(std::span<const ScreenRect> rects) override;
    bool setFullscreen(bool on, int32_t width, int32_t height) override;
    bool isFullscreen() const override { return m_fullscreen; }
    PixelFormat16 nativeFormat() const override { return m_nativeFormat; }

    void setNativeFormat(PixelFormat16 format) { m_nativeFormat = format; }
    void setSurfaceFormat(SurfaceFormat format) { m_forcedFormat = format; }
    void setFullscreenFails(bool fails) { m_fullscreenFails = fails; }

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    // The pixel at (x, y) of the surface, in its format.
    uint32_t pixel(int32_t x, int32_t y) const;
    PixelFormat16 presentedFormat() const { return m_frameFormat; }
    SurfaceFormat surfaceFormat() const { return m_surfaceFormat; }
    // The size of the last frame begun.
    int32_t frameWidth() const { return m_frameWidth; }
    int32_t frameHeight() const { return m_frameHeight; }
    int32_t presentCount() const { return m_presentCount; }
    // The rectangles the last endFrame showed, clamped.
    const std::vector<ScreenRect>& lastCopiedRects() const { return m_lastCopied; }

private:
    void resize(int32_t width, int32_t height);

    int32_t m_width;
    int32_t m_height;
    // Room for 32-bit pixels; 16-bit surfaces use the first half, pitch width * 2.
    std::vector<uint32_t> m_pixels;
    PixelFormat16 m_nativeFormat = PixelFormat16::Rgb565;
    std::optional<SurfaceFormat> m_forcedFormat;
    PixelFormat16 m_frameFormat = PixelFormat16::Rgb555;
    SurfaceFormat m_surfaceFormat = SurfaceFormat::Rgb555;
    bool m_fullscreen = false;
    bool m_fullscreenFails = false;
    bool m_needsWholeFrame = true;
    bool m_frameOpen = false;
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
    int32_t m_presentCount = 0;
    std::vector<ScreenRect> m_lastCopied;
};

} // namespace platform
