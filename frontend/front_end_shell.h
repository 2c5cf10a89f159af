#pragma once
// What the front end's screens ask of the program around them: the main
// window's size, mode and title, the way the program ends, and the raw
// message pump and present that the credits roll runs on its own. The
// program (app/) installs the real shell at start-up; until then, and in unit
// tests that install none, the do-nothing form answers. Main thread only.

#include "core/installed_service.h"

#include <cstdint>

// What one message taken by the credits roll means to it.
enum class CreditsInput : uint8_t {
    None, // no message was waiting
    Other, // handled as the window would handle it
    EndRoll, // a key or a mouse button
    MusicEnded, // a MIDI song came to its end
    Close, // the window is closing: the program ends
};

class FrontEndShell {
public:
    virtual ~FrontEndShell() = default;

    // The game area's size (640 x 480 unless exactly 800 x 600); the back
    // buffer is made again for it.
    virtual void setGameWindowSize(int32_t width, int32_t height) = 0;
    virtual bool isFullScreen() = 0;
    virtual void switchToWindowed() = 0;
    virtual void switchToFullScreen() = 0;
    // Windowed mode when full screen, else nothing.
    virtual void leaveFullScreen() = 0;
    virtual void setMainWindowRect(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void clearViewOffsets() = 0;
    // The in-memory AllowWindowResize value.
    virtual void setAllowWindowResize(bool allow) = 0;
    // Ends the program in order, with the exit code given, once the current
    // message has been handled.
    virtual void endProgram(int32_t exitCode) = 0;

    // The credits roll's loop: one message, if one is waiting.
    virtual CreditsInput takeCreditsInput() = 0;
    // Shows the whole back buffer now.
    virtual void presentWholeBackBuffer() = 0;
};

class NoFrontEndShell final : public FrontEndShell {
public:
    void setGameWindowSize(int32_t, int32_t) override { }
    bool isFullScreen() override { return false; }
    void switchToWindowed() override { }
    void switchToFullScreen() override { }
    void leaveFullScreen() override { }
    void setMainWindowRect(int32_t, int32_t, int32_t, int32_t) override { }
    void clearViewOffsets() override { }
    void setAllowWindowResize(bool) override { }
    void endProgram(int32_t) override { }
    CreditsInput takeCreditsInput() override { return CreditsInput::None; }
    void presentWholeBackBuffer() override { }
};

template <>
struct ServiceFallback<FrontEndShell> {
    using Type = NoFrontEndShell;
};

// Character creation (its profession window opens the road); the window set
// that builds it installs the real one.
class CharacterCreation {
public:
    virtual ~CharacterCreation() = default;
    // Opens the profession window, the first step of creating a character.
    virtual void openProfessionWindow() = 0;
    // Closes the windows of the creation steps (a login error ends them).
    virtual void closeCreationWindows() = 0;
};

class NoCharacterCreation final : public CharacterCreation {
public:
    void openProfessionWindow() override { }
    void closeCreationWindows() override { }
};

template <>
struct ServiceFallback<CharacterCreation> {
    using Type = NoCharacterCreation;
};
