#pragma once
// The client's own message boxes: one OK button, no owner window. Narrow texts
// are bytes in the client's code page (each byte is its own character), wide
// texts are UTF-16; both are turned into UTF-8 for the platform box. These are
// the client's functions; platform::showMessageBox is the layer below them.

#include <cstddef>

enum class AfterBox {
    Return,
    // End the process with exit code 1 through the orderly exit (clean-ups run).
    ExitProcess,
};

void showMessageBox(const char* text, const char* caption, AfterBox after);
void showMessageBoxWide(const char16_t* text, const char16_t* caption, AfterBox after);

// The allocator's new handler: says that memory ran out, then ends the process
// with exit code 1 through the orderly exit.
[[noreturn]] void reportOutOfMemory();
// Makes reportOutOfMemory the new handler; start-up calls it once.
void installOutOfMemoryHandler();
