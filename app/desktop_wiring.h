#pragma once
// The desktop file and the server-described gumps in the running program:
// the world entry's desktop steps (open the layout, dock the restored
// windows, write the layout before a forced logout), the reopen step of
// every frame, the main window's part of the layout, and the handlers of the
// two packets that open server-described gumps. Main thread only.

#include <cstdint>

class GameTick;
class MainWindow;
struct DesktopWindowGeometry;

namespace platform {
class Window;
}

void wireDesktop(GameTick& tick, MainWindow& mainWindow, platform::Window& window);
void unwireDesktop(GameTick& tick);

// Whether the main window can show a stored geometry: a screen at least the
// game area and at most the display (`displayWidth` x `displayHeight`, or
// 4096 square when the display is not known), and a game view inside it.
// The file that stores it may have come from the server.
bool isSupportedWindowGeometry(const DesktopWindowGeometry& geometry, int32_t gameWidth, int32_t gameHeight,
    int32_t displayWidth, int32_t displayHeight);
