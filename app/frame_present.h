#pragma once
// The present step: the ring back buffer, with the software pointer composited
// in for the moment of the copy, unrolled into a picture of the client area
// and handed to the display. Runs on the main thread under the display lock,
// which the pointer timer's shutdown and the display-mode switches also take.

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
    // skips handing the display a picture identical to the last one.
    void present(PresentKind kind = PresentKind::IfChanged);
    // The last picture handed to the display (width x height of the buffer).
    const std::vector<uint16_t>& picture() const { return m_picture; }

private:
    platform::Display& m_display;
    MainWindow& m_window;
    BackBuffer m_backBuffer;
    std::vector<uint16_t> m_picture;
    std::vector<uint16_t> m_previous;
    BufferFormat m_presentedFormat = BufferFormat::Rgb555;
    BufferFormat m_bufferFormat = BufferFormat::Rgb555;
};
