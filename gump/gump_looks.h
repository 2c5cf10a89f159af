#pragma once
// What the desktop looked like when it was last composed, for a composition
// that redraws only where it may differ: every shown gump of the tree (the
// top-level gumps and their children) with its place, its look (see
// CGump::lookKey) and its place in the drawing order. Gumps are told apart
// by their instance ids, which are never reused. Main thread only.

#include "gfx/dirty_rect_list.h"
#include "gfx/screen_rect.h"

#include <cstdint>
#include <vector>

class CGump;

class GumpLooks {
public:
    // Adds to `changed` (client pixels) the rectangles where the desktop may
    // differ from the one remembered: gumps that appeared, went, moved,
    // changed their look or their place in the order, and every gump drawn
    // from state the framework cannot see. Then remembers the desktop as it
    // is. False when nothing was remembered yet or the list filled up: the
    // whole screen may differ.
    bool collectChanges(CGump* bottom, DirtyRectList& changed);
    // Remembers the desktop as it is, after a composition of all of it.
    void remember(CGump* bottom);

private:
    struct Look {
        uint64_t id = 0;
        ScreenRect bounds;
        uint64_t key = 0;
        // Among all shown gumps, bottom first.
        uint32_t order = 0;
        bool keyed = false;
    };

    void gather(CGump* bottom);

    std::vector<Look> m_shown;
    std::vector<Look> m_now;
    bool m_known = false;
};
