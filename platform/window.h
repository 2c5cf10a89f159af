#pragma once
// The client's one main window as a queue of messages. A backend turns its
// input events into WindowMessage records (key codes are the virtual-key
// values of platform/virtual_keys.h, which stored macro and key-name files
// rely on); the main loop takes them one at a time and hands them to the
// window procedure. Besides the queue: capture, system cursor, clipboard
// text, title, geometry and full screen. Coordinates are client-area pixels.
// Everything here runs on the main thread; postMessage may be called from any
// thread and wakes a waiting waitForMessage.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class MessageKind : uint8_t {
    Create,
    Destroy,
    Size, // x, y: the new client width and height
    Activate, // code: 1 activated, 0 deactivated
    Paint,
    Close,
    KeyDown, // code: virtual key, data: key data (bit 30 set on an auto-repeat)
    SysKeyDown, // the same while Alt is held
    KeyUp,
    SysKeyUp,
    Char, // code: one UTF-16 unit typed
    LeftButtonDown, // x, y: client position
    LeftButtonUp,
    RightButtonDown,
    RightButtonUp,
    MouseMove,
    Command, // code: command id
    Timer, // code: timer id
    MusicNotify, // code: the music layer's notification
    Quit, // code: exit code; ends the main loop
};

struct WindowMessage {
    MessageKind kind = MessageKind::Paint;
    uint32_t code = 0;
    uint32_t data = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// Key data bits, as the keyboard routing reads them.
inline constexpr uint32_t kKeyDataRepeatCountMask = 0xFFFF;
inline constexpr uint32_t kKeyDataAltHeld = 1u << 29;
inline constexpr uint32_t kKeyDataWasDown = 1u << 30;
inline constexpr uint32_t kKeyDataReleased = 1u << 31;

struct WindowCreateParams {
    std::string title; // UTF-8
    int32_t clientWidth = 640;
    int32_t clientHeight = 480;
    bool resizable = true;
};

class Window {
public:
    virtual ~Window() = default;

    // Creates and shows the window; queues Create and the first Size.
    virtual bool create(const WindowCreateParams& params) = 0;
    // Destroys the window; queues Destroy.
    virtual void destroy() = 0;
    virtual bool exists() const = 0;

    // Takes the oldest queued message; false when the queue is empty.
    virtual bool peekMessage(WindowMessage& message) = 0;
    // Returns when a message is queued or `timeoutMs` has passed.
    virtual void waitForMessage(uint32_t timeoutMs) = 0;
    // Descriptors that become readable whenever a message may be waiting
    // (input from the display, a message posted from another thread), for a
    // caller that waits on descriptors of its own as well and then peeks.
    // Empty when the window cannot say: such a caller then looks at the
    // window every few milliseconds instead.
    virtual void messageDescriptors(std::vector<int32_t>& descriptors) const { descriptors.clear(); }
    virtual void postMessage(const WindowMessage& message) = 0;
    // Drops the next queued Char message (the character an Alt chord makes).
    virtual void dropNextCharMessage() = 0;

    virtual void clientSize(int32_t& width, int32_t& height) const = 0;
    // Moves the window so that its client area is width x height at (x, y).
    virtual void setClientRect(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // Resizes the client area, keeping the position.
    virtual void setClientSize(int32_t width, int32_t height) = 0;
    // The top-left of the window on the screen.
    virtual void windowPosition(int32_t& x, int32_t& y) const = 0;
    virtual void screenSize(int32_t& width, int32_t& height) const = 0;
    // Whether the window fills the screen as the desktop's maximise leaves
    // it, and the way there. A backend without the notion is never maximised.
    virtual bool isMaximised() const { return false; }
    virtual void maximise() { }
    virtual int32_t desktopBitsPerPixel() const = 0;
    virtual void setTitle(const std::u16string& title) = 0;
    virtual bool setFullScreen(bool fullScreen) = 0;

    virtual void setCapture(bool captured) = 0;
    virtual void showSystemCursor(bool shown) = 0;
    // The busy ("starting") system cursor on or off.
    virtual void setBusyCursor(bool busy) = 0;
    // The pointer position in client coordinates (may lie outside the client
    // area); false when unknown.
    virtual bool cursorPosition(int32_t& x, int32_t& y) const = 0;
    virtual bool hasKeyboardFocus() const = 0;
    virtual void takeKeyboardFocus() = 0;
    virtual bool isKeyHeld(uint16_t virtualKey) const = 0;

    // Clipboard text as UTF-16; false when the clipboard holds no text.
    virtual bool clipboardText(std::u16string& text) = 0;
    virtual bool setClipboardText(const std::u16string& text) = 0;
};

// The SDL window when a display can be used and headless mode is not asked
// for (VARDUN_HEADLESS set to anything but "0"), else the headless window.
std::unique_ptr<Window> createWindow();
// The SDL backend; null when SDL video cannot be used.
std::unique_ptr<Window> createSdlWindow();
std::unique_ptr<Window> createHeadlessWindow();

// True when VARDUN_HEADLESS asks for the headless backends.
bool headlessRequested();

} // namespace platform
