#pragma once
// Full-screen output. The display shows the back buffer full screen at one
// mode: while the player is in the world the mode of the "FullScreenRes"
// setting ("<width>x<height>", 640x480 by default), otherwise, or when that
// mode cannot be used, 640x480. A switch that fails leaves the display in its
// window and changes nothing else. Main thread, under the display lock.

#include "gfx/back_buffer.h"

#include "platform/display.h"

#include <cstdint>
#include <string_view>

struct FullScreenOutput {
    bool active = false;
    // The screen takes 5-6-5 pixels; presenting a 5-5-5 buffer converts.
    bool screenIs565 = false;
    int32_t width = 0;
    int32_t height = 0;
};

// "<width>x<height>" as the settings file writes it; false when the text does
// not start with two numbers joined by an 'x'.
bool parseFullScreenRes(std::string_view text, int32_t& width, int32_t& height);

// The mode a switch to full screen asks for: the setting's while the player is
// in the world and it names a usable mode, else 640x480.
void chooseFullScreenMode(bool inWorld, std::string_view fullScreenRes, int32_t& width, int32_t& height);

// Switches to full screen. On success the back buffer takes the mode's size
// at its next creation (it may shrink), and the caller moves the game area to
// the window's top-left and has the gump layer re-create the back buffer.
bool createPrimarySurface(platform::Display& display, BackBuffer& buffer, bool inWorld, std::string_view fullScreenRes,
    FullScreenOutput& output);
// Back to the window; `output` is inactive afterwards in any case.
void releasePrimarySurface(platform::Display& display, FullScreenOutput& output);
