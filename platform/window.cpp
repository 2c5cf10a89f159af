#include "platform/window.h"

#include <cstdlib>
#include <cstring>

namespace platform {

bool headlessRequested()
{
    const char* headless = std::getenv("VARDUN_HEADLESS");
    return headless && *headless && std::strcmp(headless, "0") != 0;
}

std::unique_ptr<Window> createWindow()
{
    if (!headlessRequested()) {
        if (std::unique_ptr<Window> window = createSdlWindow())
            return window;
    }
    return createHeadlessWindow();
}

} // namespace platform
