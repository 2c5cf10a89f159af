#include "app/frame_present.h"

#include "app/main_window.h"
#include "app/pointer.h"
#include "platform/display.h"

#include <algorithm>
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
        m_backBuffer.create(m_window.gameWidth(), m_window.gameHeight(), m_bufferFormat);
    }
    present(PresentKind::Always);
}

bool WindowPresenter::changesSinceShown(std::vector<ScreenRect>& rects)
{
    std::lock_guard<std::mutex> lock(platform::displayLock());
    if (!m_backBuffer.exists())
        return false;
    const int32_t width = m_backBuffer.width();
    const int32_t height = m_backBuffer.height();
    const int32_t viewX = m_window.gameViewOffsetX();
    const int32_t viewY = m_window.gameViewOffsetY();
    // The conditions of present's whole picture, but for the display's own
    // (a surface made anew), which it learns only then.
    if (m_backBuffer.pictureStart(viewX, viewY) != m_shownStart || width != m_shownWidth || height != m_shownHeight
        || m_backBuffer.format() != m_shownFormat || m_backBuffer.peekPictureChanges(viewX, viewY, rects))
        return false;
    // The pointer's boxes, when it moved or changed its shape.
    const ScreenRect pointer = holdPointerForFrame(width, height);
    if (pointer != m_shownPointer || isCursorDirty()) {
        rects.push_back(m_shownPointer);
        rects.push_back(pointer);
    }
    return true;
}

void WindowPresenter::present(PresentKind kind)
{
    std::lock_guard<std::mutex> lock(platform::displayLock());
    if (!m_backBuffer.exists())
        return;
    const int32_t width = m_backBuffer.width();
    const int32_t height = m_backBuffer.height();
    const int32_t viewX = m_window.gameViewOffsetX();
    const int32_t viewY = m_window.gameViewOffsetY();
    const int64_t start = m_backBuffer.pictureStart(viewX, viewY);
    uint16_t* ring = m_backBuffer.pixels();
    const ScreenRect pointer = drawPointerIntoFrame(ring, width, height, start);
    const bool pointerChanged = pointer != m_shownPointer || isCursorDirty();

    // A moved ring (a scroll, another view offset) moves every pixel.
    bool whole = m_backBuffer.takePictureChanges(viewX, viewY, m_rects) || kind == PresentKind::Always
        || start != m_shownStart || width != m_shownWidth || height != m_shownHeight
        || m_backBuffer.format() != m_shownFormat;
    if (!whole && pointerChanged) {
        // The composition under the pointer may have marked its boxes
        // already: each goes once.
        for (const ScreenRect& box : { m_shownPointer, pointer }) {
            if (std::none_of(m_rects.begin(), m_rects.end(),
                    [&box](const ScreenRect& r) { return box.intersected(r) == box; }))
                m_rects.push_back(box);
        }
    }
    std::erase_if(m_rects, [](const ScreenRect& r) { return r.isEmpty(); });

    platform::FrameSurface surface;
    const platform::PixelFormat16 format = m_backBuffer.format() == BufferFormat::Rgb565
        ? platform::PixelFormat16::Rgb565
        : platform::PixelFormat16::Rgb555;
    if ((whole || !m_rects.empty()) && m_display.beginFrame(width, height, format, surface)) {
        if (whole || surface.needsWholeFrame)
            m_rects.assign(1, ScreenRect { 0, 0, width, height });
        // A surface made anew takes the whole picture, but only the changes
        // may have been composed over: the next frame is composed and sent
        // whole.
        const bool composeWholeNext = surface.needsWholeFrame && !whole;
        m_backBuffer.writePictureRects(start, m_rects, surface);
        m_display.endFrame(m_rects);
        m_shownStart = composeWholeNext ? -1 : start;
        m_shownWidth = width;
        m_shownHeight = height;
        m_shownFormat = m_backBuffer.format();
        m_shownPointer = pointer;
    } else if (whole || !m_rects.empty()) {
        // Nothing could be shown: the next present sends the whole picture.
        m_shownStart = -1;
    }
    removePointerFromFrame(ring);
}
