#pragma once
// Brings the world objects into the running program: their start-up steps
// (the object lists, the player object), their work in the main loop and the
// game tick (the per-frame update, the update-range requests, the kept
// overhead texts, the player's serial), the Shift key they read, and their
// shutdown. Main thread only.

#include <cstdint>

class BackBuffer;
class GameTick;
class MainLoop;

namespace platform {
struct WindowMessage;
}

// Start-up: the game-state service over the world (the session says through
// it when the player is in the game; range requests wait for that) and the
// object lists (and their clean-up at exit).
void startWorldObjects();
// Start-up: the one player object.
void createWorldPlayer();
// Wires the loop and tick steps; redraw requests go to `backBuffer`.
void wireWorldObjects(GameTick& tick, MainLoop& loop, BackBuffer& backBuffer);
// Every window message: the Shift key's state.
void noteWorldKeyMessage(const platform::WindowMessage& message);
// Shutdown: the session's world is cleared, the steps unwired, the player
// object deleted.
void shutdownWorldObjects(GameTick& tick, MainLoop& loop);
