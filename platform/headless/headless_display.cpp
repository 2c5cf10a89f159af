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

bool HeadlessDisplay::presentFrame(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch,
    PixelFormat16 format, std::span<const ScreenRect> dirtyRects)
{
    if (!pixels || width <= 0 || height <= 0 || pitch < width)
        return false;
    if (format != m_presentedFormat || width != m_frameWidth || height != m_frameHeight)
        m_needsWholeFrame = true;
    m_presentedFormat = format;
    m_frameWidth = width;
    m_frameHeight = height;

    const ScreenRect limit { 0, 0, std::min(width, m_width), std::min(height, m_height) };
    ScreenRect whole = limit;
    std::span<const ScreenRect> rects = m_needsWholeFrame ? std::span<const ScreenRect>(&whole, 1) : dirtyRects;
    m_lastCopied.clear();
    for (const ScreenRect& rect : rects) {
        ScreenRect r = rect.intersected(limit);
        if (r.isEmpty())
            continue;
        for (int32_t y = r.top; y < r.bottom; ++y)
            std::memcpy(&m_pixels[static_cast<size_t>(y) * m_width + r.left],
                pixels + static_cast<size_t>(y) * pitch + r.left, static_cast<size_t>(r.width()) * sizeof(uint16_t));
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
