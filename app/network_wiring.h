#pragma once
// Start-up and shut-down of the network side: the login servers of the
// settings, the sessions' routing and host, every packet handler, the pump in
// the main loop and the keep-alive in the game tick. Main thread only.

#include <functional>
#include <string>

class GameTick;
class MainLoop;
class MainWindow;

struct NetworkShell {
    MainWindow* mainWindow { nullptr };
    // Draws and presents one frame at once.
    std::function<void()> renderFrame;
    // The map files found at start-up.
    uint16_t mapFileMask { 0 };
    // The death fade of the frame drawing starts.
    std::function<void()> startDeathFade;
};

// After the settings were read: takes the account from them, installs the
// network's wiring and hooks the pump and the keep-alive into the loop and
// the tick.
void wireNetwork(MainLoop& loop, GameTick& tick, const NetworkShell& shell);
// Before the connections are destroyed at exit: stops the round-trip monitor
// and ends every session.
void shutDownNetwork();
