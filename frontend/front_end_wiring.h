#pragma once
// The front end in the running program: what it installs for the layers
// below (the login road's screens and message box, the game-room sessions,
// the waiting box's front-end record, the rule of the additional animation
// sets), the start-up state it takes from the settings, and the last
// start-up step: the splash, then the intro film or the main menu. The
// program installs its FrontEndShell first. Main thread only.

#include <cstdint>

class LoginScreens;

// Installs the front end's services and reads its start-up state (the
// remembered password; the game room's registry values come with the
// start-up settings).
void installFrontEnd();
// Takes the front end's services out again (before the desktop goes).
void uninstallFrontEnd();
// The splash (5000 ms), then the intro film or the main menu.
void showStartupSplash();

// The front end's screens as the login packets reach them.
LoginScreens& frontEndLoginScreens();

inline constexpr uint32_t kStartupSplashMs = 5000;
