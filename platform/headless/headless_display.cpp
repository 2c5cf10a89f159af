#include "platform/headless/headless_display.h"

#include <algorithm>
#include <cstring>

namespace platform {

HeadlessDisplay::HeadlessDisplay(int32_t width, int32_t height)
    : m_width(0)
    , m_height(0)
{
    resize(width, height);
}

void HeadlessDisplay::resize(int32_t width, int32_t height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(static_cast<size_t>(m_width) * m_height, 0);
    m_needsWholeFrame = true;
}

uint32_t HeadlessDisplay::pixel(int32_t x, int32_t y) const
{
    size_t index = static_cast<size_t>(y) * m_width + x;
    if (m_surfaceFormat == SurfaceFormat::Xrgb8888)
        return m_pixels[index];
    uint16_t value;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(m_pixels.data()) + index * 2, 2);
    return value;
}

bool HeadlessDisplay::beginFrame(int32_t width, int32_t height, PixelFormat16 frameFormat, FrameSurface& surface)
{
    if (width <= 0 || height <= 0 || m_width == 0 || m_height == 0)
        return false;
    // In a window the surface is the client area, which the frames follow
    // when the window grows or shrinks; full screen keeps the mode's size.
    if (!m_fullscreen && (width != m_width || height != m_height))
        resize(width, height);
    SurfaceFormat format = m_forcedFormat.value_or(
        frameFormat == PixelFormat16::Rgb565 ? SurfaceFormat::Rgb565 : SurfaceFormat::Rgb555);
    if (format != m_surfaceFormat || frameFormat != m_frameFormat || width != m_frameWidth || height != m_frameHeight)
        m_needsWholeFrame = true;
    m_surfaceFormat = format;
    m_frameFormat = frameFormat;
    m_frameWidth = width;
    m_frameHeight = height;
    surface.pixels = reinterpret_cast<uint8_t*>(m_pixels.data());
    surface.pitch = m_width * bytesPerPixel(format);
    surface.width = std::min(width, m_width);
    surface.height = std::min(height, m_height);
    surface.format = format;
    surface.needsWholeFrame = m_needsWholeFrame;
    m_frameOpen = true;
    return true;
}

bool HeadlessDisplay::endFrame(std::span<const ScreenRect> rects)
{
    if (!m_frameOpen)
        return false;
    m_frameOpen = false;
    const ScreenRect limit { 0, 0, std::min(m_frameWidth, m_width), std::min(m_frameHeight, m_height) };
    m_lastCopied.clear();
    for (const ScreenRect& rect : rects) {
        ScreenRect r = rect.intersected(limit);
        if (!r.isEmpty())
            m_lastCopied.push_back(r);
    }
    m_needsWholeFrame = false;
    ++m_presentCount;
    return true;
}

bool HeadlessDisplay::setFullscreen(bool on, int32_t width, int32_t height)
{
    if (!on) {
        m_fullscreen = false;
        return true;
    }
    if (m_fullscreenFails || width <= 0 || height <= 0) {
        m_fullscreen = false;
        return false;
    }
    resize(width, height);
    m_fullscreen = true;
    return true;
}

std::unique_ptr<Display> createHeadlessDisplay(int32_t width, int32_t height)
{
    return std::make_unique<HeadlessDisplay>(width, height);
}

} // namespace platform
