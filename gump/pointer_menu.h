#pragma once
// A menu of lines opened at the pointer, for choices that have no window of
// their own (which shard to show or to close): a pop-up list whose greyed
// lines cannot be chosen. It holds every click while it is open, as a menu
// does: a click on a line chooses it and closes the menu; a click anywhere
// else, a right click or Escape closes it without a choice. Main thread only.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CGump;

struct PointerMenuItem {
    std::u16string label;
    int32_t id { 0 };
    bool greyed { false };
};

// Opens the menu at the pointer, kept on the screen, and returns it; an
// empty list opens nothing. `chosen` gets the id of the line chosen after the
// menu has closed, and is never called when it closes without a choice.
// A label's '&' marks the key letter of a menu line and is not shown; "&&"
// shows one '&'.
CGump* openPointerMenu(std::vector<PointerMenuItem> items, std::function<void(int32_t)> chosen);
// The text a label shows.
std::u16string menuLabelText(std::u16string_view label);
