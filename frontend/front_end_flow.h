#pragma once
// The ways back to the main menu and out of the program: back from the login
// window or the character selection, the logout from the world or the login
// road, the quit, and the main menu that the splash and the intro film lead
// to. With settings kept on the server the logout and the quit take two
// steps: the first uploads the files and asks the server, whose answer runs
// the second. Main thread only.

#include <cstdint>

class CGump;

// A new main menu on top of the desktop, replacing the old one.
void openNewMainMenu();
// After the splash or the film: focuses the login window's account entry
// when a main menu exists, else makes one.
void showMainMenu();
// showMainMenu on the next gump update: the film asks for it while the
// desktop is being drawn, and the main menu makes the back buffer again.
void showMainMenuAfterDrawing();
// Deletes `gump` and goes back to a fresh main menu, off the login road.
void returnToMainMenu(CGump* gump);
// The Escape of the character selection: the disconnect is flushed before
// the connection closes, then a fresh main menu.
void disconnectToMainMenu(CGump* window);
// Leaves the world or the login road for the main menu.
void logoutToMainMenu();
// Ends the program (after the server confirmed the upload of settings kept
// there).
void quitGame();

// The message id of the settings-upload notice.
inline constexpr int32_t kUploadNoticeCliloc = 1043327;
