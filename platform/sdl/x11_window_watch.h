#pragma once
// The desktop window destroyed from outside the program (another program or
// the window manager destroying it) on an X11 display. The display server
// then answers every later request on the window with an error, and the X
// library's own answer to an error is to end the process on the spot,
// skipping the orderly shutdown. (A connection the server closes is another
// matter: the X library ends the process then whatever its handler does.) Instead, errors are
// taken by a handler of our own: the window is marked lost, the window
// backend turns that into its Destroy message (the orderly shutdown follows),
// and errors about the lost window are let pass. Other errors are reported on
// standard error and let pass too. Main thread only, apart from the handler,
// which the X library calls on the thread that made the request.

#include <cstdint>

union SDL_Event;
struct SDL_Window;

namespace platform {

// Installs the error handler; call it before SDL opens its video device, so
// that the device keeps it as the handler to go back to when it closes.
void installX11ErrorHandler();
// Watches `window` (nothing for a window on another kind of display).
void watchX11Window(SDL_Window* window);
void stopWatchingX11Window();
// Notes a destruction of the watched window that `event` reports.
void noteX11WindowEvent(const SDL_Event& event);
// True once the watched window is gone.
bool x11WindowLost();
// The descriptor of the display connection behind `window`, which becomes
// readable when events arrive; -1 on another kind of display.
int32_t x11ConnectionDescriptor(SDL_Window* window);
// Events the X library has already read from that connection (replies it
// waited for bring the events sent before them along) and not handed on: the
// descriptor stays quiet about those.
bool x11EventsQueued(SDL_Window* window);

} // namespace platform
