#pragma once
// The hue picker request (0x95) and the tip of the day (0xA6): each is read
// whole, then handed to its window (the hue picker, or the tips window of
// windows/window_services.h); the tip's number is kept in the settings. Main
// thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

void handleHuePicker(const uint8_t* packet);
void handleTipWindow(const uint8_t* packet);

// A tip's text as the window shows it: carriage returns end lines, and the
// lines are cut where they fill 214 pixels of font 6, at most 80 bytes each.
std::vector<std::string> tipLines(std::string_view text);
