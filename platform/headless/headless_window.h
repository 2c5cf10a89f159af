#pragma once
// A window with no display: the same message queue, geometry and clipboard as
// the SDL window, kept in memory. Waiting sleeps on the process-wide clock, so
// a FakeClock makes the wait advance time. Messages can be scheduled for a
// later tick (tests script a session that way; a mouse message moves the
// cursor when it enters the queue), and VARDUN_HEADLESS_CLOSE_MS
// set to N makes the window ask to close N ms after it was created, which lets
// a headless run end by itself. A termination signal taken by the close
// signal handlers (platform/close_signals.h) arrives as Close. Main thread
// only, except postMessage.

#include "platform/window.h"

#include <deque>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

namespace platform {

class HeadlessWindow final : public Window {
public:
    bool create(const WindowCreateParams& params) override;
    void destroy() override;
    bool exists() const override { return m_exists; }

    bool peekMessage(WindowMessage& message) override;
    void waitForMessage(uint32_t timeoutMs) override;
    void postMessage(const WindowMessage& message) override;
    void dropNextCharMessage() override;

    void clientSize(int32_t& width, int32_t& height) const override;
    void setClientRect(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void setClientSize(int32_t width, int32_t height) override;
    void windowPosition(int32_t& x, int32_t& y) const override;
    void screenSize(int32_t& width, int32_t& height) const override;
    bool isMaximised() const override { return m_maximised; }
    void maximise() override { m_maximised = true; }
    int32_t desktopBitsPerPixel() const override { return m_bitsPerPixel; }
    void setTitle(const std::u16string& title) override { m_title = title; }
    bool setFullScreen(bool fullScreen) override;

    void setCapture(bool captured) override { m_captured = captured; }
    void showSystemCursor(bool shown) override { m_systemCursorShown = shown; }
    void setBusyCursor(bool busy) override { m_busyCursor = busy; }
    bool cursorPosition(int32_t& x, int32_t& y) const override;
    bool hasKeyboardFocus() const override { return m_exists && m_focused; }
    void takeKeyboardFocus() override { m_focused = true; }
    bool isKeyHeld(uint16_t virtualKey) const override { return m_heldKeys.count(virtualKey) != 0; }

    bool clipboardText(std::u16string& text) override;
    bool setClipboardText(const std::u16string& text) override;

    // Test controls.
    void scheduleMessage(uint32_t dueTick, const WindowMessage& message);
    void setCursor(int32_t x, int32_t y)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cursorX = x, m_cursorY = y;
    }
    void setKeyHeld(uint16_t virtualKey, bool held);
    void setScreen(int32_t width, int32_t height, int32_t bitsPerPixel);
    void clearClipboard() { m_hasClipboard = false; }
    const std::u16string& title() const { return m_title; }
    bool captured() const { return m_captured; }
    bool systemCursorShown() const { return m_systemCursorShown; }
    bool busyCursor() const { return m_busyCursor; }
    bool fullScreen() const { return m_fullScreen; }

private:
    void releaseDueMessages();
    // Mouse messages move the cursor as they enter the queue.
    void followMouse(const WindowMessage& message);

    mutable std::mutex m_mutex;
    std::deque<WindowMessage> m_queue;
    std::vector<std::pair<uint32_t, WindowMessage>> m_scheduled;
    bool m_exists = false;
    bool m_maximised = false;
    bool m_focused = true;
    bool m_captured = false;
    bool m_systemCursorShown = true;
    bool m_busyCursor = false;
    bool m_fullScreen = false;
    bool m_hasClipboard = false;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_screenWidth = 1280;
    int32_t m_screenHeight = 1024;
    int32_t m_bitsPerPixel = 24;
    int32_t m_cursorX = -1;
    int32_t m_cursorY = -1;
    std::u16string m_title;
    std::u16string m_clipboard;
    std::set<uint16_t> m_heldKeys;
};

} // namespace platform
