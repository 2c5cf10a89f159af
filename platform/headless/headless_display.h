#pragma once
// A display with no screen: presented pixels are copied into a surface in
// memory that tests read back, in the format they were presented in. Full
// screen switches succeed and resize the surface unless told to fail.

#include "platform/display.h"

#include <vector>

namespace platform {

class HeadlessDisplay final : public Display {
public:
    HeadlessDisplay(int32_t width, int32_t height);

    bool presentFrame(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch, PixelFormat16 format,
        std::span<const ScreenRect> dirtyRects) override;
    bool setFullscreen(bool on, int32_t width, int32_t height) override;
    bool isFullscreen() const override { return m_fullscreen; }
    PixelFormat16 nativeFormat() const override { return m_nativeFormat; }

    void setNativeFormat(PixelFormat16 format) { m_nativeFormat = format; }
    void setFullscreenFails(bool fails) { m_fullscreenFails = fails; }

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    // width() x height() pixels, pitch width().
    const std::vector<uint16_t>& pixels() const { return m_pixels; }
    uint16_t pixel(int32_t x, int32_t y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    PixelFormat16 presentedFormat() const { return m_presentedFormat; }
    int32_t presentCount() const { return m_presentCount; }
    // The rectangles the last present copied, clamped.
    const std::vector<ScreenRect>& lastCopiedRects() const { return m_lastCopied; }

private:
    void resize(int32_t width, int32_t height);

    int32_t m_width;
    int32_t m_height;
    std::vector<uint16_t> m_pixels;
    PixelFormat16 m_nativeFormat = PixelFormat16::Rgb565;
    PixelFormat16 m_presentedFormat = PixelFormat16::Rgb555;
    bool m_fullscreen = false;
    bool m_fullscreenFails = false;
    bool m_needsWholeFrame = true;
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
    int32_t m_presentCount = 0;
    std::vector<ScreenRect> m_lastCopied;
};

} // namespace platform
