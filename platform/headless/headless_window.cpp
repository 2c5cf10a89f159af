#include "platform/headless/headless_window.h"

#include "platform/clock.h"
#include "platform/close_signals.h"

#include <algorithm>
#include <cstdlib>

namespace platform {

std::unique_ptr<Window> createHeadlessWindow() { return std::make_unique<HeadlessWindow>(); }

bool HeadlessWindow::create(const WindowCreateParams& params)
{
    if (m_exists)
        return false;
    m_exists = true;
    m_width = std::min(params.clientWidth, m_screenWidth);
    m_height = std::min(params.clientHeight, m_screenHeight);
    m_title.assign(params.title.begin(), params.title.end());
    postMessage({ MessageKind::Create, 0, 0, 0, 0 });
    postMessage({ MessageKind::Size, 0, 0, m_width, m_height });
    postMessage({ MessageKind::Activate, 1, 0, 0, 0 });
    if (const char* closeAfter = std::getenv("VARDUN_HEADLESS_CLOSE_MS")) {
        uint32_t delay = uint32_t(std::strtoul(closeAfter, nullptr, 10));
        scheduleMessage(clock().tickMs() + delay, { MessageKind::Close, 0, 0, 0, 0 });
    }
    return true;
}

void HeadlessWindow::destroy()
{
    if (!m_exists)
        return;
    m_exists = false;
    postMessage({ MessageKind::Destroy, 0, 0, 0, 0 });
}

void HeadlessWindow::releaseDueMessages()
{
    uint32_t now = clock().tickMs();
    auto due = [now](const std::pair<uint32_t, WindowMessage>& entry) { return tickReached(now, entry.first); };
    for (auto& entry : m_scheduled) {
        if (due(entry)) {
            followMouse(entry.second);
            m_queue.push_back(entry.second);
        }
    }
    m_scheduled.erase(std::remove_if(m_scheduled.begin(), m_scheduled.end(), due), m_scheduled.end());
}

bool HeadlessWindow::peekMessage(WindowMessage& message)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // A termination request from outside is the window's close request.
    if (takeCloseSignal())
        m_queue.push_back({ MessageKind::Close, 0, 0, 0, 0 });
    releaseDueMessages();
    if (m_queue.empty())
        return false;
    message = m_queue.front();
    m_queue.pop_front();
    return true;
}

void HeadlessWindow::waitForMessage(uint32_t timeoutMs)
{
    uint32_t wait = timeoutMs;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        releaseDueMessages();
        if (!m_queue.empty())
            return;
        uint32_t now = clock().tickMs();
        for (const auto& entry : m_scheduled)
            wait = std::min(wait, uint32_t(entry.first - now));
    }
    if (wait > 0)
        clock().sleepMs(wait);
}

void HeadlessWindow::postMessage(const WindowMessage& message)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    followMouse(message);
    m_queue.push_back(message);
}

void HeadlessWindow::followMouse(const WindowMessage& message)
{
    // A mouse message carries where the mouse is as it enters the queue, as
    // a real window's cursor position runs ahead of the messages.
    switch (message.kind) {
    case MessageKind::MouseMove:
    case MessageKind::LeftButtonDown:
    case MessageKind::LeftButtonUp:
    case MessageKind::RightButtonDown:
    case MessageKind::RightButtonUp:
        m_cursorX = message.x;
        m_cursorY = message.y;
        break;
    default:
        break;
    }
}

void HeadlessWindow::dropNextCharMessage()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = std::find_if(
        m_queue.begin(), m_queue.end(), [](const WindowMessage& m) { return m.kind == MessageKind::Char; });
    if (found != m_queue.end())
        m_queue.erase(found);
}

void HeadlessWindow::scheduleMessage(uint32_t dueTick, const WindowMessage& message)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scheduled.emplace_back(dueTick, message);
}

void HeadlessWindow::clientSize(int32_t& width, int32_t& height) const
{
    width = m_width;
    height = m_height;
}

void HeadlessWindow::setClientRect(int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_x = x;
    m_y = y;
    setClientSize(width, height);
}

void HeadlessWindow::setClientSize(int32_t width, int32_t height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    if (m_exists && width > 0 && height > 0)
        postMessage({ MessageKind::Size, 0, 0, width, height });
}

void HeadlessWindow::windowPosition(int32_t& x, int32_t& y) const
{
    x = m_x;
    y = m_y;
}

void HeadlessWindow::screenSize(int32_t& width, int32_t& height) const
{
    width = m_screenWidth;
    height = m_screenHeight;
}

bool HeadlessWindow::setFullScreen(bool fullScreen)
{
    m_fullScreen = fullScreen;
    return true;
}

bool HeadlessWindow::cursorPosition(int32_t& x, int32_t& y) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    x = m_cursorX;
    y = m_cursorY;
    return true;
}

void HeadlessWindow::setKeyHeld(uint16_t virtualKey, bool held)
{
    if (held)
        m_heldKeys.insert(virtualKey);
    else
        m_heldKeys.erase(virtualKey);
}

void HeadlessWindow::setScreen(int32_t width, int32_t height, int32_t bitsPerPixel)
{
    m_screenWidth = width;
    m_screenHeight = height;
    m_bitsPerPixel = bitsPerPixel;
}

bool HeadlessWindow::clipboardText(std::u16string& text)
{
    if (!m_hasClipboard)
        return false;
    text = m_clipboard;
    return true;
}

bool HeadlessWindow::setClipboardText(const std::u16string& text)
{
    m_clipboard = text;
    m_hasClipboard = true;
    return true;
}

} // namespace platform
