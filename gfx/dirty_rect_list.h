#pragma once
// The rectangles of the game area to redraw in the next world frame. Entries
// are kept disjoint so that no pixel is drawn twice: a new rectangle that
// overlaps an entry only adds its parts outside that entry. The list holds 256
// entries, 1024 while the limit is raised; a full list is reported to the
// caller, which turns it into a full redraw. Main thread only.

#include "gfx/screen_rect.h"

#include <cstdint>
#include <span>
#include <vector>

class DirtyRectList {
public:
    static constexpr int32_t kNormalLimit = 256;
    static constexpr int32_t kRaisedLimit = 1024;

    DirtyRectList();

    // Rectangles outside (0, 0, width, height) are refused.
    void setArea(int32_t width, int32_t height);

    // Adds the parts of `rect` that no entry covers yet. Empty rectangles and
    // rectangles wholly outside the area are ignored (true). False when the
    // list became full on the way; the entries added before that stay.
    bool add(const ScreenRect& rect);

    void clear() { m_entries.clear(); }
    std::span<const ScreenRect> entries() const { return m_entries; }
    int32_t count() const { return static_cast<int32_t>(m_entries.size()); }

    void setLimitRaised(bool raised) { m_limitRaised = raised; }
    bool isLimitRaised() const { return m_limitRaised; }

    // Moves every entry by (dx, dy) and clamps it to the area; entries that
    // leave the area become empty and are dropped.
    void moveAndClamp(int32_t dx, int32_t dy);

private:
    bool addFrom(const ScreenRect& rect, size_t firstEntry);

    std::vector<ScreenRect> m_entries;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_limitRaised = false;
};
