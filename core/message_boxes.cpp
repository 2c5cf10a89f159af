#include "core/message_boxes.h"

#include "core/wide_text.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"

#include <new>

void showMessageBox(const char* text, const char* caption, AfterBox after)
{
    platform::showMessageBox(narrowToUtf8String(caption), narrowToUtf8String(text));
    if (after == AfterBox::ExitProcess)
        platform::orderlyExit(1);
}

void showMessageBoxWide(const char16_t* text, const char16_t* caption, AfterBox after)
{
    platform::showMessageBox(wideToUtf8String(caption), wideToUtf8String(text));
    if (after == AfterBox::ExitProcess)
        platform::orderlyExit(1);
}

void reportOutOfMemory()
{
    // No allocation is left to spare here, but the box and the clean-ups are
    // the best chance the player has of learning why the client stopped.
    platform::showMessageBox("Out of memory",
        "There is not enough memory to continue execution.  If you do not have virtual memory enabled, this could be "
        "the problem. Otherwise, you may be low on disk space, or may need to increase the amount of space allocated "
        "for virtual memory.",
        platform::MessageBoxIcon::Error);
    platform::orderlyExit(1);
}

void installOutOfMemoryHandler() { std::set_new_handler(reportOutOfMemory); }
