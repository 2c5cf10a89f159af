#include "app/desktop_display.h"

#include "platform/process_exit.h"
#include "platform/window.h"

#include <cstdio>

namespace {

constexpr int kNoDisplayExitCode = 1;

} // namespace

std::unique_ptr<platform::Display> openDesktopDisplay(const char* title, int32_t width, int32_t height)
{
    if (platform::headlessRequested())
        return platform::createHeadlessDisplay(width, height);
    if (std::unique_ptr<platform::Display> display = platform::createSdlDisplay(title, width, height))
        return display;
    std::fprintf(stderr, "vardun: no display was found (%s). Set VARDUN_HEADLESS=1 to run without a window.\n",
        platform::sdlDisplayError().c_str());
    platform::orderlyExit(kNoDisplayExitCode);
}
