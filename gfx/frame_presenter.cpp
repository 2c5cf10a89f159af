#include "gfx/frame_presenter.h"

bool FramePresenter::present(const BackBuffer& buffer, platform::Display& display, int32_t offsetX, int32_t offsetY,
    std::span<const ScreenRect> rects)
{
    if (!buffer.exists())
        return false;
    m_surface.resize(static_cast<size_t>(buffer.pixelCount()));
    bool screenIs565 = display.nativeFormat() == platform::PixelFormat16::Rgb565;
    buffer.copyToSurface(m_surface.data(), buffer.width(), screenIs565, offsetX, offsetY);
    bool frameIs565 = screenIs565 || buffer.format() == BufferFormat::Rgb565;
    return display.presentFrame(m_surface.data(), buffer.width(), buffer.height(), buffer.width(),
        frameIs565 ? platform::PixelFormat16::Rgb565 : platform::PixelFormat16::Rgb555, rects);
}
