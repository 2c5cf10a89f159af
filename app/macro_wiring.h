#pragma once
// The macros in the program: the macro list read with the start-up settings
// and on entering the world, the macro step and the Arm/Disarm pause on the
// game tick, the main window's keys starting macros and the clipboard paste
// the Paste action types. Main thread only.

#include <cstdint>

class MainWindow;
struct WindowServices;

// The window menu's and Alt+O's options command opens the options window in
// the world; false for other commands.
bool runOptionsCommand(uint16_t id);
// Installs the macro runner the start-up, tick and shutdown call.
void installMacroServices();
// The main window's key matching, and the paste through `window` once it
// exists.
void wireMacroWindowServices(WindowServices& services, MainWindow* const& window);
