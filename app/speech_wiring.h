#pragma once
// Speech and the journal in the running program: their services installed at
// start-up (before the settings files are read, since the translation keys
// reach the client through them), the translation client started after the
// localization, the keys of the main window routed to the speech line while
// no window holds the keyboard focus, the speech packet handlers registered,
// the two speech steps of the frame and the translation client's receive
// step of the main loop, and the journal file closed at shutdown. Main
// thread only.

#include <cstdint>

class FrameRenderer;
class GameTick;
class MainLoop;
class MainWindow;
struct WindowServices;

// Start-up, right after the service defaults.
void installSpeechServices();
// Start-up, after the localization.
void startSpeech();
// Start-up, right after the game windows' services: the system messages and
// the journal step go in front of the game windows' text windows.
void startSystemText();
// The main window's key and character routing and its cancel key; `window`
// is read when a key arrives (it is set once the window exists).
void wireSpeechWindowServices(WindowServices& services, MainWindow* const& window);
// The handlers, the tick and loop steps, and the death fade the incoming
// speech waits out.
void wireSpeech(GameTick& tick, MainLoop& loop, const FrameRenderer& frames);
// The commands the speech line answers (the help request); false for others.
bool runSpeechCommand(uint16_t id);
// Shutdown (before the game windows stop): the steps unwired, the
// translation client stopped, the journal file closed, the journal step in
// front of the text windows removed.
void shutDownSpeech(GameTick& tick, MainLoop& loop);
