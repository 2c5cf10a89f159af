#pragma once
// Brings the world view and the game windows into the running program: the
// window services over the world and the gump framework, the world view at
// the bottom of the desktop (shown once the player is in the world), the
// world under the pointer for the mouse-button code, the game area's edges,
// and the path walker and the frame-rate line in the tick. Main thread only.

class GameTick;
class MainWindow;
struct FrameServices;

// Start-up, once the gump desktop exists: the services and the world view
// (with the game area's edges when the window may be resized).
void startGameWindows(MainWindow& mainWindow, bool allowWindowResize);
// The tick's path walker and the frame's speech line.
void wireGameWindows(GameTick& tick, FrameServices& frame);
void unwireGameWindows(GameTick& tick);
