#include "app/frame_present.h"

#include "app/main_window.h"
#include "app/pointer.h"
#include "platform/display.h"

#include <mutex>

WindowPresenter::WindowPresenter(platform::Display& display, MainWindow& window)
    : m_display(display)
    , m_window(window)
{
}

void WindowPresenter::recreateBackBuffer(int32_t clientWidth, int32_t clientHeight)
{
    {
        std::lock_guard<std::mutex> lock(platform::displayLock());
        // The buffer is the client area, at least the game area inside it;
        // it shrinks again when the client area does (leaving full screen).
        m_backBuffer.resetSizeTo(clientWidth, clientHeight);
        m_backBuffer.create(m_window.gameWidth(), m_window.gameHeight(), BufferFormat::Rgb555);
    }
    present(PresentKind::Always);
}

void WindowPresenter::present(PresentKind kind)
{
    std::lock_guard<std::mutex> lock(platform::displayLock());
    if (!m_backBuffer.exists())
        return;
    int32_t width = m_backBuffer.width();
    int32_t height = m_backBuffer.height();
    int64_t offset = presentRingOffset(
        m_backBuffer.ringStart(), width, height, m_window.gameViewOffsetX(), m_window.gameViewOffsetY());
    uint16_t* ring = m_backBuffer.pixels();
    drawPointerIntoFrame(ring, width, height, offset);
    // The last picture is kept as it was: after a change of size it never
    // compares equal to the new one.
    m_previous.swap(m_picture);
    m_picture.resize(size_t(width) * size_t(height));
    unrollRing(ring, width, height, offset, m_picture.data());
    removePointerFromFrame(ring);
    // The screen keeps what it shows: an unchanged picture is not sent again
    // unless the window lost its contents.
    if (kind == PresentKind::IfChanged && m_previous == m_picture && m_presentedFormat == m_backBuffer.format())
        return;
    m_presentedFormat = m_backBuffer.format();
    platform::PixelFormat16 format = m_backBuffer.format() == BufferFormat::Rgb565 ? platform::PixelFormat16::Rgb565
                                                                                  : platform::PixelFormat16::Rgb555;
    ScreenRect whole { 0, 0, width, height };
    m_display.presentFrame(m_picture.data(), width, height, width, format, std::span<const ScreenRect>(&whole, 1));
}
