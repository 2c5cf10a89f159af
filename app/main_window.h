#pragma once
// The client's main window: its sizes, the window procedure that reacts to
// every message of the queue (size rules, keyboard routing to macros, the
// focused gump and the speech line, commands, paste). The services
// of other subsystems that the procedure calls are wired in through
// WindowServices by the subsystems that provide them; a service nobody wired is
// treated as absent (no gump has the focus, no macro matches, not in the game).
// Main thread only.

#include "platform/window.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace command {
inline constexpr uint16_t kExit = 40001;
inline constexpr uint16_t kOptions = 40004;
inline constexpr uint16_t kOptionsAlternate = 40125;
inline constexpr uint16_t kToggleDisplayModeAlternate = 40043;
inline constexpr uint16_t kToggleDisplayMode = 40089;
inline constexpr uint16_t kToggleMusic = 40073;
inline constexpr uint16_t kToggleSound = 40074;
inline constexpr uint16_t kToggleWarMode = 40115;
inline constexpr uint16_t kOpenSpellbook = 40116;
inline constexpr uint16_t kOpenRadar = 40120;
inline constexpr uint16_t kToggleObscenityFilter = 40124;
inline constexpr uint16_t kHelpRequest = 40140;
inline constexpr uint16_t kToggleFootsteps = 40143;
} // namespace command

// One accelerator: a key with its modifiers gives a command.
struct Accelerator {
    uint16_t virtualKey;
    bool control;
    bool alt;
    bool shift;
    uint16_t command;
};

// The client's accelerator table.
const std::vector<Accelerator>& accelerators();
// The command for a key-down with the given modifiers, or 0.
uint16_t findAccelerator(uint16_t virtualKey, bool control, bool alt, bool shift);

// What the window procedure asks of the other subsystems.
struct WindowServices {
    std::function<bool()> isInGame;
    // War mode is on, or has been requested on and not yet answered.
    std::function<bool()> isWarModeOnOrRequested;
    std::function<void(int32_t)> setWarMode; // 1 on, 0 off, -1 toggle
    std::function<void(bool)> showAllNames;
    // The options window's key-capture entry has the focus; it takes the key.
    std::function<bool()> isKeyCaptureEntryFocused;
    std::function<void()> notifyKeyCaptured;
    // Starts the first macro bound to the key; false when none is.
    std::function<bool(uint16_t, bool control, bool alt, bool shift)> startMacroForKey;
    std::function<void()> showContextHelp;
    std::function<bool()> hasFocusedGump;
    std::function<bool()> isFocusedGumpSingleLineEntry;
    std::function<void(uint32_t)> sendKeyToFocusedGump;
    // A key no window took, with its key data (bit 30: a repeat of a held
    // key), for the speech line and the walking keys.
    std::function<bool(uint16_t, uint32_t keyData)> speechKeyDown;
    std::function<void(uint32_t)> speechChar;
    std::function<bool()> answerPendingPrompt; // false when no prompt is pending
    std::function<bool()> cancelTargeting; // false when not targeting
    std::function<void()> cancelHouseDesignTool;
    std::function<void()> onActivatedWhileTargeting;
    std::function<void()> desktopWrite;
    std::function<void()> quitGame;
    std::function<void(int32_t, int32_t)> recreateBackBuffer;
    // Shows the current picture again (the window's contents were lost).
    std::function<void()> repaint;
    // Shows what changed since the last present (a timer, such as the
    // pointer's, asked for it).
    std::function<void()> presentChanges;
    std::function<void()> startPointerTimer;
    std::function<void(int32_t, int32_t)> leftButtonDown;
    std::function<void(int32_t, int32_t)> leftButtonUp;
    std::function<void(int32_t, int32_t)> rightButtonDown;
    std::function<void(int32_t, int32_t)> rightButtonUp;
    std::function<void(uint16_t)> runCommand; // commands owned by other subsystems
    // Keeps the FullScreen setting after a display-mode switch.
    std::function<void(bool)> saveFullScreenSetting;
    std::function<void()> invalidateWholeScreen;
    std::function<void(uint32_t)> musicNotify;
};

// The settings the window reads, with the defaults they have when no
// settings file names them.
struct WindowSettings {
    bool allowWindowResize = true;
    bool fullScreen = false;
    bool holdTabForCombat = true;
    bool objectHandles = true;
    bool mouseThread = true;
    // "%dx%d", the game area the player chose.
    std::string gamePlayWindowSize = "640x480";
    // "%dx%d", the full-screen mode while in the world.
    std::string fullScreenRes = "640x480";
};

// Client sizes are kept at least the game size and a multiple of 4.
void applyClientSizeRule(bool allowResize, int32_t gameWidth, int32_t gameHeight, int32_t& width, int32_t& height);

// True when the screen leaves no room to resize the window: exactly 640x480,
// or exactly 800x600 while the chosen game area is 800x600.
bool screenForcesFixedSize(int32_t screenWidth, int32_t screenHeight, const std::string& gamePlayWindowSize);

class MainWindow {
public:
    static constexpr const char* kClassName = "Vardun Online";

    MainWindow(platform::Window& window, WindowServices services, WindowSettings settings);

    // Creates and shows the window: a content area of the game size (at most
    // the screen), titled with the class name (and the account when given).
    bool create(const std::string& accountId, const std::string& accountLastName);

    // The window procedure.
    void handleMessage(const platform::WindowMessage& message);
    // Accelerator lookup, run on each message before it is handled.
    void translateAccelerator(const platform::WindowMessage& message);

    void setWindowTitle(const char* text);
    void setGameWindowSize(int32_t width, int32_t height);
    // Makes the back buffer again for the client area and the game area.
    void recreateBackBuffer();
    // The full-screen mode the next switch asks for while in the world.
    void setFullScreenRes(std::string text) { m_settings.fullScreenRes = std::move(text); }
    void toggleDisplayMode();
    // Back to a window (before a web browser is opened): the view offset is
    // reset and everything redrawn.
    void leaveFullScreen();
    // Full screen on or off, when it differs from the current mode.
    void setDisplayMode(bool fullScreen);
    // Moves the window so that its client area is width x height at (x, y).
    void setMainWindowRect(int32_t x, int32_t y, int32_t width, int32_t height);
    void getMainWindowPos(int32_t& x, int32_t& y) const;
    void pasteClipboardText();
    void onCharInput(uint32_t code);

    // Hides the system cursor while the window has the focus and the pointer
    // is over the client area (the software pointer is drawn there instead).
    void updateSystemCursor();

    int32_t clientWidth() const { return m_clientWidth; }
    int32_t clientHeight() const { return m_clientHeight; }
    int32_t gameWidth() const { return m_gameWidth; }
    int32_t gameHeight() const { return m_gameHeight; }
    int32_t gameHalfWidth() const { return m_gameWidth / 2; }
    int32_t gameHalfHeight() const { return m_gameHeight / 2; }
    int32_t gameViewOffsetX() const { return m_gameViewOffsetX; }
    int32_t gameViewOffsetY() const { return m_gameViewOffsetY; }
    void setGameViewOffset(int32_t x, int32_t y) { m_gameViewOffsetX = x, m_gameViewOffsetY = y; }
    bool quitRequested() const { return m_quitRequested; }
    bool fullScreenActive() const { return m_fullScreenActive; }
    bool controlHeld() const { return m_controlHeld; }
    bool shiftHeld() const { return m_shiftHeld; }
    bool altHeld() const { return m_altHeld; }
    uint16_t lastCapturedKey() const { return m_lastCapturedKey; }
    uint32_t lastCapturedKeyData() const { return m_lastCapturedKeyData; }
    WindowSettings& settings() { return m_settings; }
    platform::Window& window() { return m_window; }

private:
    void onSize(int32_t width, int32_t height);
    // A button press (capture and focus taken) or release (capture given back).
    void onButton(bool down, const std::function<void(int32_t, int32_t)>& handler,
        const platform::WindowMessage& message);
    void onKeyDown(uint16_t key, uint32_t keyData);
    void onKeyUp(uint16_t key);
    void onCommand(uint16_t id);
    bool inGame() const { return m_services.isInGame && m_services.isInGame(); }
    bool hasFocusedGump() const { return m_services.hasFocusedGump && m_services.hasFocusedGump(); }
    bool warModeOnOrRequested() const
    {
        return m_services.isWarModeOnOrRequested && m_services.isWarModeOnOrRequested();
    }
    void setWarMode(int32_t mode)
    {
        if (m_services.setWarMode)
            m_services.setWarMode(mode);
    }

    platform::Window& m_window;
    WindowServices m_services;
    WindowSettings m_settings;
    int32_t m_clientWidth = 0;
    int32_t m_clientHeight = 0;
    int32_t m_gameWidth = 640;
    int32_t m_gameHeight = 480;
    int32_t m_gameViewOffsetX = 0;
    int32_t m_gameViewOffsetY = 0;
    int32_t m_savedWindowedWidth = 0;
    int32_t m_savedWindowedHeight = 0;
    // The mode full screen shows, as the full-screen switch chose it.
    int32_t m_fullScreenWidth = 0;
    int32_t m_fullScreenHeight = 0;
    bool m_fullScreenActive = false;
    bool m_modeSwitchInProgress = false;
    bool m_systemCursorShown = true;
    bool m_quitRequested = false;
    bool m_controlHeld = false;
    bool m_shiftHeld = false;
    bool m_altHeld = false;
    uint16_t m_lastCapturedKey = 0;
    uint32_t m_lastCapturedKeyData = 0;
};

// How many characters one paste may give the current target, and whether a
// carriage return ends it.
struct PasteLimit {
    size_t maxCharacters;
    bool stopsAtReturn;
};
PasteLimit pasteLimitFor(bool gumpHasFocus, bool focusedIsSingleLineEntry);
// The pasted units that are left out: the control characters but the line
// ends, which the limit above rules.
bool isPastedControl(char16_t unit);
