#pragma once
// Where the client's frames go: a window on the player's display, or, when
// VARDUN_HEADLESS asks for it, the in-memory headless display. Without a
// display and without that request the client does not start: it says so on
// standard error and ends (through the orderly exit) with code 1, rather than
// running unseen. Main thread only.

#include "platform/display.h"

#include <memory>

std::unique_ptr<platform::Display> openDesktopDisplay(const char* title, int32_t width, int32_t height);
