#include "app/client_entry.h"

#include <cstdio>

int clientMain(int, char**)
{
    // The window, the main loop and the start-up steps are not in this build
    // yet; say so plainly rather than pretend to run.
    std::fprintf(stderr, "vardun: the game window is not available in this build yet.\n");
    return 1;
}
