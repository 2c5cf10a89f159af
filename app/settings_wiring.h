#pragma once
// The settings code wired into the running program: the key rules the reader
// applies, the real services the settings and the small client actions reach
// (main window, renderer switches, network requests, pointer), the start-up
// reads, the menu commands that toggle settings, and the loop and tick steps
// (server-stored files poll, view range). Main thread only.

#include "app/main_window.h"

#include <cstdint>

class GameTick;
class MainLoop;
class WindowPresenter;

// Before any settings file is read: installs the key rules and the services
// that exist from the start, and sets the start-up defaults (character name
// "VO Player", speech style, war-mode bytes, update range).
void installSettingsServices();
// Start-up reads, in order: "vo.cfg" (per character first), the login-server
// file (LoginServerFile, default "login.cfg"), the character data, the
// macros and the speech keywords.
void readStartupSettings();
// At exit: what the start-up reads hold.
void releaseSettingsStartupState();

// The window's settings as the registry holds them; keys no file named keep
// their defaults.
WindowSettings readWindowSettings();

// Once the window and its presenter exist they follow the settings: the
// full-screen mode and the 5-6-5 back buffer are taken over at once.
void attachSettingsToWindow(MainWindow& window, WindowPresenter& presenter);
void detachSettingsFromWindow();

// The menu commands that toggle a setting (obscenity filter, footsteps);
// false for any other command.
bool runSettingsCommand(uint16_t id);
// After a display-mode switch: the FullScreen setting follows it and the
// settings are saved.
void saveFullScreenSetting(bool fullScreen);

// The main loop's server-stored files poll and the frame's view-range step.
void wireSettingsSteps(MainLoop& loop, GameTick& tick, const MainWindow& window);
