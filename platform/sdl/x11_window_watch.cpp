#include "platform/sdl/x11_window_watch.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <atomic>
#include <cstdio>

namespace platform {

namespace {

SDL_Window* g_sdlWindow = nullptr;
// The X window behind g_sdlWindow, 0 when there is none.
std::atomic<unsigned long> g_watchedWindow { 0 };
std::atomic<bool> g_windowLost { false };

// The X window behind an SDL window now (SDL may replace it, as it does when
// a renderer needs another kind of window); 0 on another kind of display.
unsigned long currentXWindow(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    return info.info.x11.window;
}

int onXError(::Display* display, XErrorEvent* error)
{
    unsigned long watched = g_watchedWindow.load();
    // "No such window" about the watched window: something outside destroyed
    // it, and requests made before the news arrived fail.
    bool aboutLostWindow = watched != 0
        && (g_windowLost.load()
            || (error->resourceid == watched && (error->error_code == BadWindow || error->error_code == BadDrawable)));
    if (aboutLostWindow) {
        g_windowLost.store(true);
        return 0;
    }
    char text[160] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error let pass: %s (request %u.%u, resource 0x%lx)\n", text, unsigned(error->request_code),
        unsigned(error->minor_code), error->resourceid);
    return 0;
}

} // namespace

void installX11ErrorHandler() { XSetErrorHandler(onXError); }

namespace {

::Display* displayOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
}

} // namespace

int32_t x11ConnectionDescriptor(SDL_Window* window)
{
    ::Display* display = displayOf(window);
    return display ? ConnectionNumber(display) : -1;
}

bool x11EventsQueued(SDL_Window* window)
{
    ::Display* display = displayOf(window);
    return display && XEventsQueued(display, QueuedAlready) > 0;
}

void watchX11Window(SDL_Window* window)
{
    g_windowLost.store(false);
    g_sdlWindow = window;
    g_watchedWindow.store(currentXWindow(window));
    // The window's destruction arrives as a display-server event of its own.
    if (g_watchedWindow.load() != 0)
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void stopWatchingX11Window()
{
    g_sdlWindow = nullptr;
    // Errors about a lost window may still arrive while it is closed: they
    // are let pass quietly, so its mark stays.
    if (!g_windowLost.load())
        g_watchedWindow.store(0);
}

void noteX11WindowEvent(const SDL_Event& event)
{
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type != DestroyNotify || !g_sdlWindow)
        return;
    // Only the window SDL shows now counts: one it replaced by itself is
    // destroyed on purpose.
    unsigned long current = currentXWindow(g_sdlWindow);
    g_watchedWindow.store(current);
    if (current != 0 && x.xdestroywindow.window == current)
        g_windowLost.store(true);
}

bool x11WindowLost() { return g_windowLost.load(); }

} // namespace platform
