#pragma once
// Requests from outside the program to end it (SIGTERM, SIGINT, SIGHUP),
// taken as the main window's close request, so that they end the client
// through the same orderly shutdown as closing its window: the first one is
// only noted, and each window backend turns it into a Close message the next
// time it is asked for messages. A second one ends the program at once, as
// such a signal does by default. Process-wide: install the handlers from the
// main thread before any other thread starts; takeCloseSignal may be called
// from any thread.

namespace platform {

void installCloseSignalHandlers();
// Puts the default actions back and forgets a request not yet taken.
void restoreCloseSignalHandlers();
// True, once, when a request came since the last call.
bool takeCloseSignal();

} // namespace platform
