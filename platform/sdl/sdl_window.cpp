#include "platform/window.h"

namespace platform {

// The SDL window backend attaches to the display backend's window, which this
// build does not have yet; until then the client runs with the headless window.
std::unique_ptr<Window> createSdlWindow() { return nullptr; }

} // namespace platform
