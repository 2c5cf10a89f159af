#pragma once
// Brings the messenger into the running program: its services over the
// layers below (the pump's poll, the login road's account number, the
// return to the login screen, HTML links, the desktop layout, the help
// mail), the connection object that start-up makes and shutdown deletes,
// and the system-message area its notices go to. Main thread only.

// Start-up, after the game windows and the system text; before the
// connection object is made.
void startMessenger();
// Shutdown, after the connection object was deleted.
void stopMessenger();
