#pragma once
// A question with OK and Cancel that any window can put over itself (the
// mahjong board asks whether the player leaves the table with it). The
// messenger's prompt window answers it; it is installed at start-up
// (app/messenger_wiring.cpp), and until then nothing opens. Main thread only.

#include "core/installed_service.h"

#include <cstdint>
#include <string_view>

class CGump;

class PromptWindows {
public:
    virtual ~PromptWindows() = default;
    // Opens the question as a child of `parent` (top-level when null) at
    // (x, y) in the parent's coordinates, `width` x `height`. OK calls
    // parent->onMessengerEvent(code, 0, 0) and closes the question when that
    // answers true; Cancel and a right click close it. With `html` the text
    // is HTML in a view of its own. The question belongs to its parent's
    // children (keep a GumpHandle to know when it went); null when none
    // could be made.
    virtual CGump* openPrompt(CGump* /*parent*/, int32_t /*x*/, int32_t /*y*/, int32_t /*width*/,
        int32_t /*height*/, int32_t /*code*/, std::u16string_view /*text*/, bool /*html*/)
    {
        return nullptr;
    }
};

template <>
struct ServiceFallback<PromptWindows> {
    using Type = PromptWindows;
};
