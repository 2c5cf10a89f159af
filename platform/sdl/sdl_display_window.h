#pragma once
// The SDL window the display backend opened (null while none is open). The
// window backend takes its events and sets its title, size and cursor; the
// display alone draws into it.

struct SDL_Window;

namespace platform {

SDL_Window* sdlDisplayWindow();

} // namespace platform
