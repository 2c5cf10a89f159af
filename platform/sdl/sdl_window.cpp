#include "platform/window.h"

#include "platform/sdl/sdl_display_window.h"
#include "platform/sdl/sdl_key_map.h"
#include "platform/sdl/x11_window_watch.h"
#include "platform/close_signals.h"
#include "platform/virtual_keys.h"

#include <SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <set>

namespace platform {

namespace {

// The characters a key makes besides text input: text input carries no
// control characters, which the client's text entries still expect.
uint32_t controlCharacterOf(uint16_t virtualKey)
{
    switch (virtualKey) {
    case vk::kBackspace: return 8;
    case vk::kTab: return 9;
    case vk::kReturn: return 13;
    case vk::kEscape: return 27;
    default: return 0;
    }
}

class SdlWindow final : public Window {
public:
    explicit SdlWindow(SDL_Window* window)
        : m_window(window)
        , m_wakeEvent(SDL_RegisterEvents(1))
    {
        // Posted messages also wake a caller that waits on descriptors.
        if (pipe2(m_postPipe, O_NONBLOCK | O_CLOEXEC) != 0)
            m_postPipe[0] = m_postPipe[1] = -1;
    }
    ~SdlWindow() override
    {
        for (int end : m_postPipe) {
            if (end >= 0)
                ::close(end);
        }
        SDL_StopTextInput();
        if (m_busyCursor)
            SDL_FreeCursor(m_busyCursor);
        if (m_arrowCursor)
            SDL_FreeCursor(m_arrowCursor);
    }

    bool create(const WindowCreateParams& params) override
    {
        if (m_exists)
            return false;
        m_exists = true;
        SDL_SetWindowTitle(m_window, params.title.c_str());
        SDL_SetWindowResizable(m_window, params.resizable ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowSize(m_window, params.clientWidth, params.clientHeight);
        SDL_ShowWindow(m_window);
        SDL_StartTextInput();
        queue({ MessageKind::Create, 0, 0, 0, 0 });
        queue({ MessageKind::Size, 0, 0, params.clientWidth, params.clientHeight });
        queue({ MessageKind::Activate, 1, 0, 0, 0 });
        return true;
    }

    void destroy() override
    {
        if (!m_exists)
            return;
        m_exists = false;
        // The display owns the SDL window; hiding it is this side's destroy.
        SDL_HideWindow(m_window);
        queue({ MessageKind::Destroy, 0, 0, 0, 0 });
    }

    bool exists() const override { return m_exists; }

    bool peekMessage(WindowMessage& message) override
    {
        drainPostPipe();
        // A termination request from outside is the window's close request.
        if (takeCloseSignal())
            queue({ MessageKind::Close, 0, 0, 0, 0 });
        if (empty()) {
            // Events already taken in go first; the display is asked for more
            // (a pump reads its connection several times) only when none are
            // left, so a burst of pointer motion costs one pump, not one per
            // event.
            SDL_Event event;
            bool pumped = false;
            while (empty()) {
                if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
                    translate(event);
                } else if (!pumped) {
                    SDL_PumpEvents();
                    pumped = true;
                } else {
                    break;
                }
            }
        }
        noteLostWindow();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_queue.empty())
            return false;
        message = m_queue.front();
        m_queue.pop_front();
        return true;
    }

    void waitForMessage(uint32_t timeoutMs) override
    {
        if (!empty())
            return;
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, int(timeoutMs)))
            translate(event);
    }

    void postMessage(const WindowMessage& message) override
    {
        queue(message);
        // Wakes a main thread waiting for events, or on the descriptors.
        SDL_Event wake {};
        wake.type = m_wakeEvent;
        SDL_PushEvent(&wake);
        if (m_postPipe[1] >= 0) {
            const char byte = 1;
            // A full pipe wakes the reader as well as another byte would. The
            // flag after the byte: a reader that sees the flag finds the byte.
            [[maybe_unused]] ssize_t written = ::write(m_postPipe[1], &byte, 1);
            m_posted.store(true);
        }
    }

    void messageDescriptors(std::vector<int32_t>& descriptors) const override
    {
        descriptors.clear();
        // The display connection lasts as long as the program.
        if (m_displayDescriptor == kUnknownDescriptor)
            m_displayDescriptor = x11ConnectionDescriptor(m_window);
        // Without the display's descriptor input could not wake the caller,
        // and input already read would not.
        if (m_displayDescriptor < 0 || m_postPipe[0] < 0 || !empty() || x11EventsQueued(m_window)
            || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
            return;
        descriptors.push_back(m_displayDescriptor);
        descriptors.push_back(m_postPipe[0]);
    }

    void dropNextCharMessage() override
    {
        SDL_Event event;
        SDL_PumpEvents();
        while (SDL_PollEvent(&event))
            translate(event);
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
            if (it->kind == MessageKind::Char) {
                m_queue.erase(it);
                return;
            }
        }
    }

    void clientSize(int32_t& width, int32_t& height) const override
    {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(m_window, &w, &h);
        width = w;
        height = h;
    }

    void setClientRect(int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        SDL_SetWindowPosition(m_window, x, y);
        setClientSize(width, height);
    }

    void setClientSize(int32_t width, int32_t height) override
    {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(m_window, &w, &h);
        if (w == width && h == height)
            return;
        SDL_SetWindowSize(m_window, width, height);
        queue({ MessageKind::Size, 0, 0, width, height });
    }

    void windowPosition(int32_t& x, int32_t& y) const override
    {
        int left = 0;
        int top = 0;
        SDL_GetWindowPosition(m_window, &left, &top);
        x = left;
        y = top;
    }

    bool isMaximised() const override { return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MAXIMIZED) != 0; }
    void maximise() override { SDL_MaximizeWindow(m_window); }

    void screenSize(int32_t& width, int32_t& height) const override
    {
        SDL_DisplayMode mode {};
        if (SDL_GetDesktopDisplayMode(displayIndex(), &mode) != 0) {
            width = 640;
            height = 480;
            return;
        }
        width = mode.w;
        height = mode.h;
    }

    int32_t desktopBitsPerPixel() const override
    {
        SDL_DisplayMode mode {};
        if (SDL_GetDesktopDisplayMode(displayIndex(), &mode) != 0)
            return 32;
        // Counted in whole bytes, as desktops name their depth: 8 bits of
        // each colour in 32-bit pixels are a 32-bit desktop, 5-5-5 in 16-bit
        // pixels a 16-bit one.
        return int32_t(SDL_BYTESPERPIXEL(mode.format)) * 8;
    }

    void setTitle(const std::u16string& title) override { SDL_SetWindowTitle(m_window, utf16ToUtf8(title).c_str()); }

    bool setFullScreen(bool fullScreen) override
    {
        return SDL_SetWindowFullscreen(m_window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
    }

    void setCapture(bool captured) override { SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE); }
    void showSystemCursor(bool shown) override { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

    void setBusyCursor(bool busy) override
    {
        if (!m_busyCursor)
            m_busyCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
        if (!m_arrowCursor)
            m_arrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        SDL_Cursor* cursor = busy ? m_busyCursor : m_arrowCursor;
        if (cursor)
            SDL_SetCursor(cursor);
    }

    bool cursorPosition(int32_t& x, int32_t& y) const override
    {
        // Asked of the desktop, not taken from the last motion event: a window
        // that moved under a resting pointer gets no motion event.
        int globalX = 0;
        int globalY = 0;
        int left = 0;
        int top = 0;
        SDL_GetGlobalMouseState(&globalX, &globalY);
        SDL_GetWindowPosition(m_window, &left, &top);
        x = globalX - left;
        y = globalY - top;
        return true;
    }

    bool hasKeyboardFocus() const override { return m_exists && SDL_GetKeyboardFocus() == m_window; }
    void takeKeyboardFocus() override { SDL_RaiseWindow(m_window); }

    bool isKeyHeld(uint16_t virtualKey) const override
    {
        SDL_Keymod mods = SDL_GetModState();
        if (virtualKey == vk::kShift)
            return mods & KMOD_SHIFT;
        if (virtualKey == vk::kControl)
            return mods & KMOD_CTRL;
        if (virtualKey == vk::kAlt)
            return mods & KMOD_ALT;
        return m_heldKeys.count(virtualKey) != 0;
    }

    bool clipboardText(std::u16string& text) override
    {
        if (!SDL_HasClipboardText())
            return false;
        char* utf8 = SDL_GetClipboardText();
        if (!utf8)
            return false;
        text.clear();
        appendUtf8AsUtf16(utf8, text);
        SDL_free(utf8);
        return !text.empty();
    }

    bool setClipboardText(const std::u16string& text) override
    {
        return SDL_SetClipboardText(utf16ToUtf8(text).c_str()) == 0;
    }

private:
    int displayIndex() const
    {
        int index = SDL_GetWindowDisplayIndex(m_window);
        return index < 0 ? 0 : index;
    }

    bool empty() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_queue.empty();
    }

    void drainPostPipe()
    {
        if (!m_posted.exchange(false))
            return;
        char bytes[64];
        while (m_postPipe[0] >= 0 && ::read(m_postPipe[0], bytes, sizeof bytes) > 0) { }
    }

    void queue(const WindowMessage& message)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(message);
    }

    // A window destroyed from outside gets the Destroy message a window
    // destroyed by the program gets, once, so that the orderly shutdown runs.
    void noteLostWindow()
    {
        if (!m_exists || !x11WindowLost())
            return;
        m_exists = false;
        queue({ MessageKind::Destroy, 0, 0, 0, 0 });
    }

    void translate(const SDL_Event& event)
    {
        switch (event.type) {
        case SDL_SYSWMEVENT:
            noteX11WindowEvent(event);
            break;
        case SDL_QUIT:
            queue({ MessageKind::Close, 0, 0, 0, 0 });
            break;
        case SDL_WINDOWEVENT:
            translateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            translateKey(event.key);
            break;
        case SDL_TEXTINPUT: {
            if (!textInputIsTyping(SDL_GetModState()))
                break;
            std::u16string units;
            appendUtf8AsUtf16(event.text.text, units);
            for (char16_t unit : units)
                queue({ MessageKind::Char, unit, 0, 0, 0 });
            break;
        }
        case SDL_MOUSEMOTION:
            queue({ MessageKind::MouseMove, 0, 0, event.motion.x, event.motion.y });
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool down = event.type == SDL_MOUSEBUTTONDOWN;
            MessageKind kind;
            if (event.button.button == SDL_BUTTON_LEFT)
                kind = down ? MessageKind::LeftButtonDown : MessageKind::LeftButtonUp;
            else if (event.button.button == SDL_BUTTON_RIGHT)
                kind = down ? MessageKind::RightButtonDown : MessageKind::RightButtonUp;
            else
                break;
            queue({ kind, 0, 0, event.button.x, event.button.y });
            break;
        }
        default:
            break;
        }
    }

    void translateWindowEvent(const SDL_WindowEvent& window)
    {
        switch (window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            queue({ MessageKind::Close, 0, 0, 0, 0 });
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            queue({ MessageKind::Size, 0, 0, window.data1, window.data2 });
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            queue({ MessageKind::Activate, 1, 0, 0, 0 });
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_heldKeys.clear();
            queue({ MessageKind::Activate, 0, 0, 0, 0 });
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            queue({ MessageKind::Paint, 0, 0, 0, 0 });
            break;
        default:
            break;
        }
    }

    void translateKey(const SDL_KeyboardEvent& key)
    {
        uint16_t code = virtualKeyForSdlKey(key.keysym.sym);
        if (!code)
            return;
        bool alt = key.keysym.mod & KMOD_ALT;
        uint32_t data = 1 | (uint32_t(key.keysym.scancode & 0xFF) << 16);
        if (alt)
            data |= kKeyDataAltHeld;
        if (key.type == SDL_KEYDOWN) {
            if (key.repeat)
                data |= kKeyDataWasDown;
            m_heldKeys.insert(code);
            queue({ alt ? MessageKind::SysKeyDown : MessageKind::KeyDown, code, data, 0, 0 });
            if (uint32_t character = controlCharacterOf(code); character && !alt)
                queue({ MessageKind::Char, character, 0, 0, 0 });
        } else {
            m_heldKeys.erase(code);
            data |= kKeyDataWasDown | kKeyDataReleased;
            queue({ alt ? MessageKind::SysKeyUp : MessageKind::KeyUp, code, data, 0, 0 });
        }
    }

    SDL_Window* m_window;
    uint32_t m_wakeEvent;
    // Written by postMessage, read (emptied) by peekMessage.
    int m_postPipe[2] = { -1, -1 };
    std::atomic<bool> m_posted { false };
    static constexpr int32_t kUnknownDescriptor = -2;
    mutable int32_t m_displayDescriptor = kUnknownDescriptor;
    mutable std::mutex m_mutex;
    std::deque<WindowMessage> m_queue;
    std::set<uint16_t> m_heldKeys;
    SDL_Cursor* m_busyCursor = nullptr;
    SDL_Cursor* m_arrowCursor = nullptr;
    bool m_exists = false;
};

} // namespace

std::unique_ptr<Window> createSdlWindow()
{
    SDL_Window* window = sdlDisplayWindow();
    if (!window)
        return nullptr;
    return std::make_unique<SdlWindow>(window);
}

} // namespace platform
