#pragma once
// What the desktop file asks of the windows and subsystems above the gump
// framework when it restores or saves a layout: the fighting style window,
// the spell, skill and ability icons, the chat and messenger windows, the
// item-property window, the per-character data saved with the layout, and
// the main window's geometry. Each restore answers false while its window
// does not exist: the desktop then keeps the record and writes it back as it
// was read, so a layout survives a client that cannot show all of it yet.
// Reached through service<S>() (core/installed_service.h); main thread only.

#include "core/installed_service.h"

#include <cstdint>

class CGump;

enum class DesktopIcon : uint8_t {
    Spell,
    Skill,
    Ability,
};

// The conference chat window's last geometry and whether it was open.
struct DesktopChatLayout {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t layoutA = 0;
    int32_t layoutB = 0;
    int32_t minimised = 0;
    bool open = false;
};

// A messenger or GM chat window's last geometry.
struct DesktopWindowRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t minimised = 0;
    bool open = false;
};

class DesktopWindows {
public:
    virtual ~DesktopWindows() = default;
    virtual bool restoreFightingStyle(int32_t x, int32_t y, bool minimised) = 0;
    virtual bool restoreIcon(DesktopIcon kind, uint32_t number, int32_t x, int32_t y) = 0;
    // The spell, skill or ability an icon window shows; false for a gump
    // that is no icon it knows.
    virtual bool iconNumber(CGump* icon, uint32_t& number) = 0;
    // The chat keeps the geometry for its next window and, when the layout
    // says it was open, asks the server to open it.
    virtual bool restoreChatLayout(const DesktopChatLayout& layout) = 0;
    // The geometry the chat keeps (taken from `window` when one is open).
    virtual bool chatLayout(CGump* window, DesktopChatLayout& layout) = 0;
    // GM chat (record type 12), the web page window (13), the message list (14).
    virtual bool restoreMessengerWindow(uint8_t recordType, const DesktopWindowRect& rect) = 0;
    // Where the item-property window opens when none is open yet.
    virtual bool restoreItemPropertyAnchor(int32_t x, int32_t y) = 0;
    // The skill window the server will open belongs to the restored layout.
    virtual void skillWindowRequested() = 0;
    // The per-character data kept beside the layout: macros, skill groups
    // and skill names.
    virtual void loadWindowData() = 0;
    virtual void saveWindowData() = 0;
};

class NoDesktopWindows final : public DesktopWindows {
public:
    bool restoreFightingStyle(int32_t, int32_t, bool) override { return false; }
    bool restoreIcon(DesktopIcon, uint32_t, int32_t, int32_t) override { return false; }
    bool iconNumber(CGump*, uint32_t&) override { return false; }
    bool restoreChatLayout(const DesktopChatLayout&) override { return false; }
    bool chatLayout(CGump*, DesktopChatLayout&) override { return false; }
    bool restoreMessengerWindow(uint8_t, const DesktopWindowRect&) override { return false; }
    bool restoreItemPropertyAnchor(int32_t, int32_t) override { return false; }
    void skillWindowRequested() override { }
    void loadWindowData() override { }
    void saveWindowData() override { }
};

// The main window's place and the game view in it (record types 11, 16).
struct DesktopWindowGeometry {
    int32_t viewX = 0;
    int32_t viewY = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    bool maximised = false;
};

class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    // False when there is no main window to describe.
    virtual bool windowGeometry(DesktopWindowGeometry& geometry) = 0;
    // Takes a stored geometry: sizes the screen and places the window, or
    // refuses sizes it does not support. False only when there is no main
    // window to take it.
    virtual bool applyWindowGeometry(const DesktopWindowGeometry& geometry) = 0;
    // Places the main window over the desktop's work area (a first-time
    // layout in windowed mode).
    virtual void fillWorkArea() = 0;
};

class NoDesktopShell final : public DesktopShell {
public:
    bool windowGeometry(DesktopWindowGeometry&) override { return false; }
    bool applyWindowGeometry(const DesktopWindowGeometry&) override { return false; }
    void fillWorkArea() override { }
};

template <> struct ServiceFallback<DesktopWindows> {
    using Type = NoDesktopWindows;
};
template <> struct ServiceFallback<DesktopShell> {
    using Type = NoDesktopShell;
};
