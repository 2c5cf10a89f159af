#pragma once
// Brings the world view and the game windows into the running program: the
// window services over the world and the gump framework (with the shop,
// trade, menu and query windows and their packets, the spellbooks), the world view at
// the bottom of the desktop (shown once the player is in the world), the
// world under the pointer for the mouse-button code, the game area's edges,
// the scrolls' targeted commands, and the frame-rate line of the frame. Main
// thread only.

#include <cstdint>

class MainWindow;

// Start-up, before the spell table is built: the real services of the spell
// table and of the weapon abilities (their start state and their tick step).
void installSpellAndAbilityTables();
struct FrameServices;

// Start-up, once the gump desktop exists: the services and the world view
// (with the game area's edges when the window may be resized).
void startGameWindows(MainWindow& mainWindow, bool allowWindowResize);
// The frame's speech line.
void wireGameWindows(FrameServices& frame);
// The main window's radar command (Alt+R): the radar opens while in the
// game. False for every other command.
bool runGameWindowCommand(uint16_t id);
// Shutdown, after the journal step in front of them went: the game windows'
// services give way to what was installed before them.
void stopGameWindows();
