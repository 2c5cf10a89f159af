#pragma once
// The front end in the program: the shell it works through (the main
// window's size, mode and ending, and the credits roll's own message pump
// and present), its installation, and the game windows' yes/no questions in
// its question box. Main thread only.

class MainWindow;
class WindowPresenter;
namespace platform {
class Window;
}

// Installs the front end on the program's window.
void wireFrontEnd(platform::Window& window, MainWindow& mainWindow, WindowPresenter& presenter);
// Before the window goes: the front end's services out, game-room sessions
// stopped.
void unwireFrontEnd();
