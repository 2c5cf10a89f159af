#pragma once
// The present step: the ring back buffer, with the software pointer composited
// in for the moment of the copy, written straight into the display's surface;
// only what changed since the last present goes: the picture's changes that
// the back buffer gathered, and the pointer's old and new boxes when it moved
// or changed its shape. Runs on the main thread under the display lock, which
// the pointer timer's shutdown and the display-mode switches also take.

#include "gfx/back_buffer.h"

#include <cstdint>
#include <vector>

class MainWindow;
namespace platform {
class Display;
}

enum class PresentKind {
    Always,
    IfChanged,
};

class WindowPresenter {
public:
    WindowPresenter(platform::Display& display, MainWindow& window);

    BackBuffer& backBuffer() { return m_backBuffer; }
    // The back buffer's format from its next creation on: 5-6-5 with the
    // use565 setting, else 5-5-5.
    void setUse565(bool on) { m_bufferFormat = on ? BufferFormat::Rgb565 : BufferFormat::Rgb555; }
    // Re-creates the back buffer for a client area of the given size (at
    // least the game area; cleared) and shows it.
    void recreateBackBuffer(int32_t clientWidth, int32_t clientHeight);
    // blitBackBufferToWindow: nothing when no back buffer exists. IfChanged
    // sends only what changed, and nothing at all when nothing did; Always
    // sends the whole picture (the window lost its contents).
    void present(PresentKind kind = PresentKind::IfChanged);
    // Before composing the next frame: appends what the next present would
    // send from the back buffer, in client pixels (the picture's changes and,
    // when the pointer moved or changed its shape, its old box and the box it
    // is held at for the frame); false when it will send the whole picture
    // instead.
    bool changesSinceShown(std::vector<ScreenRect>& rects);

private:
    platform::Display& m_display;
    MainWindow& m_window;
    BackBuffer m_backBuffer;
    std::vector<ScreenRect> m_rects;
    // What the screen shows: the picture's start, size and format, and the
    // pointer's box in it.
    int64_t m_shownStart = -1;
    int32_t m_shownWidth = 0;
    int32_t m_shownHeight = 0;
    BufferFormat m_shownFormat = BufferFormat::Rgb555;
    ScreenRect m_shownPointer;
    BufferFormat m_bufferFormat = BufferFormat::Rgb555;
};
