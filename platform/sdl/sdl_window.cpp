#include "platform/window.h"

#include "platform/sdl/sdl_display_window.h"
#include "platform/virtual_keys.h"

#include <SDL.h>

#include <deque>
#include <mutex>
#include <set>

namespace platform {

namespace {

uint16_t virtualKeyOf(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return uint16_t(vk::kLetterA + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return uint16_t(vk::kDigit0 + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return uint16_t(vk::kF1 + (key - SDLK_F1));
    if (key >= SDLK_F13 && key <= SDLK_F24)
        return uint16_t(vk::kF1 + 12 + (key - SDLK_F13));
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return uint16_t(vk::kNumpad0 + 1 + (key - SDLK_KP_1));
    switch (key) {
    case SDLK_BACKSPACE: return vk::kBackspace;
    case SDLK_TAB: return vk::kTab;
    case SDLK_CLEAR: return vk::kClear;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return vk::kReturn;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk::kShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk::kControl;
    case SDLK_LALT:
    case SDLK_RALT: return vk::kAlt;
    case SDLK_PAUSE: return vk::kPause;
    case SDLK_CAPSLOCK: return vk::kCapsLock;
    case SDLK_ESCAPE: return vk::kEscape;
    case SDLK_SPACE: return vk::kSpace;
    case SDLK_PAGEUP: return vk::kPageUp;
    case SDLK_PAGEDOWN: return vk::kPageDown;
    case SDLK_END: return vk::kEnd;
    case SDLK_HOME: return vk::kHome;
    case SDLK_LEFT: return vk::kLeft;
    case SDLK_UP: return vk::kUp;
    case SDLK_RIGHT: return vk::kRight;
    case SDLK_DOWN: return vk::kDown;
    case SDLK_PRINTSCREEN: return vk::kPrintScreen;
    case SDLK_INSERT: return vk::kInsert;
    case SDLK_DELETE: return vk::kDelete;
    case SDLK_LGUI: return vk::kLeftMeta;
    case SDLK_RGUI: return vk::kRightMeta;
    case SDLK_APPLICATION: return vk::kMenu;
    case SDLK_KP_0: return vk::kNumpad0;
    case SDLK_KP_MULTIPLY: return vk::kMultiply;
    case SDLK_KP_PLUS: return vk::kAdd;
    case SDLK_KP_MINUS: return vk::kSubtract;
    case SDLK_KP_PERIOD: return vk::kDecimal;
    case SDLK_KP_DIVIDE: return vk::kDivide;
    case SDLK_NUMLOCKCLEAR: return vk::kNumLock;
    case SDLK_SCROLLLOCK: return vk::kScrollLock;
    case SDLK_SEMICOLON: return vk::kSemicolon;
    case SDLK_EQUALS: return vk::kEquals;
    case SDLK_COMMA: return vk::kComma;
    case SDLK_MINUS: return vk::kMinus;
    case SDLK_PERIOD: return vk::kPeriod;
    case SDLK_SLASH: return vk::kSlash;
    case SDLK_BACKQUOTE: return vk::kBackquote;
    case SDLK_LEFTBRACKET: return vk::kLeftBracket;
    case SDLK_BACKSLASH: return vk::kBackslash;
    case SDLK_RIGHTBRACKET: return vk::kRightBracket;
    case SDLK_QUOTE: return vk::kQuote;
    default: return 0;
    }
}

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

// UTF-8 text input to UTF-16 units; malformed bytes are skipped.
void appendUtf16(const char* text, std::u16string& out)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    while (*bytes) {
        uint32_t code = 0;
        int extra = 0;
        if (*bytes < 0x80) {
            code = *bytes;
        } else if ((*bytes & 0xE0) == 0xC0) {
            code = *bytes & 0x1F;
            extra = 1;
        } else if ((*bytes & 0xF0) == 0xE0) {
            code = *bytes & 0x0F;
            extra = 2;
        } else if ((*bytes & 0xF8) == 0xF0) {
            code = *bytes & 0x07;
            extra = 3;
        } else {
            ++bytes;
            continue;
        }
        ++bytes;
        bool complete = true;
        for (int i = 0; i < extra; ++i) {
            if ((*bytes & 0xC0) != 0x80) {
                complete = false;
                break;
            }
            code = (code << 6) | (*bytes & 0x3F);
            ++bytes;
        }
        if (!complete || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            continue;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(char16_t(0xD800 + (code >> 10)));
            out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(char16_t(code));
        }
    }
}

std::string toUtf8(const std::u16string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        if (code < 0x80) {
            out.push_back(char(code));
        } else if (code < 0x800) {
            out.push_back(char(0xC0 | (code >> 6)));
            out.push_back(char(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(char(0xE0 | (code >> 12)));
            out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(char(0x80 | (code & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (code >> 18)));
            out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(char(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

class SdlWindow final : public Window {
public:
    explicit SdlWindow(SDL_Window* window)
        : m_window(window)
        , m_wakeEvent(SDL_RegisterEvents(1))
    {
    }
    ~SdlWindow() override
    {
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
        SDL_Event event;
        while (empty() && SDL_PollEvent(&event))
            translate(event);
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
        // Wakes a main thread waiting for events.
        SDL_Event wake {};
        wake.type = m_wakeEvent;
        SDL_PushEvent(&wake);
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
        return int32_t(SDL_BITSPERPIXEL(mode.format));
    }

    void setTitle(const std::u16string& title) override { SDL_SetWindowTitle(m_window, toUtf8(title).c_str()); }

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
        appendUtf16(utf8, text);
        SDL_free(utf8);
        return !text.empty();
    }

    bool setClipboardText(const std::u16string& text) override
    {
        return SDL_SetClipboardText(toUtf8(text).c_str()) == 0;
    }

private:
    int displayIndex() const
    {
        int index = SDL_GetWindowDisplayIndex(m_window);
        return index < 0 ? 0 : index;
    }

    bool empty()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_queue.empty();
    }

    void queue(const WindowMessage& message)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(message);
    }

    void translate(const SDL_Event& event)
    {
        switch (event.type) {
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
            std::u16string units;
            appendUtf16(event.text.text, units);
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
        uint16_t code = virtualKeyOf(key.keysym.sym);
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
    std::mutex m_mutex;
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
