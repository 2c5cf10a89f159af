#pragma once
// The left button on a scrolling text window (the journal, its log control,
// the tips): a press remembers its point; a move of more than 4 pixels, or
// holding past the double-click time, starts a drag that moves the window
// with the pointer; while the button is held without a drag every second
// hover tick pages at the press point; a double click restores a minimised
// window. Main thread only.

#include "windows/window_clicks.h"

#include <cstdint>

class TextWindowPresses {
public:
    void press(int32_t x, int32_t y)
    {
        m_x = x;
        m_y = y;
        m_hoverCounter = 1;
        m_clicks.press();
    }
    // The displacement to move the window by; false while it does not move.
    bool drag(int32_t x, int32_t y, int32_t& dx, int32_t& dy)
    {
        if (!m_clicks.leftDown)
            return false;
        if (m_clicks.clickState != 0 && WindowClicks::movedBeyondThreshold(x, y, m_x, m_y)) {
            m_clicks.dragStarted = true;
            m_clicks.clickState = 0;
        }
        dx = x - m_x;
        dy = y - m_y;
        return m_clicks.dragStarted && (dx != 0 || dy != 0);
    }
    // True when this hover tick pages (at pressX(), pressY()).
    bool hoverTick()
    {
        bool pages = false;
        if (m_clicks.leftDown && !m_clicks.dragStarted && ++m_hoverCounter >= 2) {
            m_hoverCounter = 0;
            pages = true;
        }
        if (m_clicks.expire() == ClickEvent::Hold)
            m_clicks.dragStarted = true;
        return pages;
    }
    // True for the release of a double click.
    bool release() { return m_clicks.release() == ClickEvent::Double; }
    int32_t pressX() const { return m_x; }
    int32_t pressY() const { return m_y; }

private:
    WindowClicks m_clicks;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_hoverCounter = 0;
};
