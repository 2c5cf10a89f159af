#include "platform/message_box.h"
#include "platform/window.h"

#include <SDL.h>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// Headless runs, the dummy video driver and a session without a display
// server all have nowhere to show a box.
bool noScreenForBoxes()
{
    if (headlessRequested())
        return true;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && std::strcmp(driver, "dummy") == 0)
        return true;
    // No display server to show a box on.
    return !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
}

class SdlMessageBoxSink final : public MessageBoxSink {
public:
    void show(const std::string& caption, const std::string& text, MessageBoxIcon icon) override
    {
        Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
        if (icon == MessageBoxIcon::Error)
            flags = SDL_MESSAGEBOX_ERROR;
        else if (icon == MessageBoxIcon::Warning)
            flags = SDL_MESSAGEBOX_WARNING;
        if (SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr) != 0) {
            // The box could not be shown after all; the text must not be lost.
            printMessageBox(caption, text);
        }
    }
};

} // namespace

MessageBoxSink* displayMessageBoxSink()
{
    if (noScreenForBoxes())
        return nullptr;
    static SdlMessageBoxSink sink;
    return &sink;
}

} // namespace platform
