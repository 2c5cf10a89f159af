#include "gfx/dirty_rect_list.h"

#include <algorithm>

DirtyRectList::DirtyRectList()
{
    m_entries.reserve(kRaisedLimit);
}

void DirtyRectList::setArea(int32_t width, int32_t height)
{
    m_width = width;
    m_height = height;
}

bool DirtyRectList::add(const ScreenRect& rect)
{
    return addFrom(rect, 0);
}

bool DirtyRectList::addFrom(const ScreenRect& r, size_t firstEntry)
{
    if (r.left >= m_width || r.right <= 0 || r.top >= m_height || r.bottom <= 0 || r.isEmpty())
        return true;
    if (count() >= (m_limitRaised ? kRaisedLimit : kNormalLimit))
        return false;

    // Entries before `firstEntry` are already known not to overlap `r`: every
    // piece below lies inside the rectangle it was cut from.
    for (size_t i = firstEntry; i < m_entries.size(); ++i) {
        const ScreenRect e = m_entries[i];
        if (!r.overlaps(e))
            continue;
        int32_t top = std::max(r.top, e.top);
        int32_t bottom = std::min(r.bottom, e.bottom);
        if (e.left > r.left && !addFrom({ r.left, top, e.left, bottom }, i + 1))
            return false;
        if (e.right < r.right && !addFrom({ e.right, top, r.right, bottom }, i + 1))
            return false;
        if (e.top > r.top && !addFrom({ r.left, r.top, r.right, e.top }, i + 1))
            return false;
        if (e.bottom < r.bottom && !addFrom({ r.left, e.bottom, r.right, r.bottom }, i + 1))
            return false;
        return true;
    }
    m_entries.push_back(r);
    return true;
}

void DirtyRectList::moveAndClamp(int32_t dx, int32_t dy)
{
    size_t kept = 0;
    for (const ScreenRect& e : m_entries) {
        ScreenRect moved { std::max(e.left + dx, 0), std::max(e.top + dy, 0), std::min(e.right + dx, m_width),
            std::min(e.bottom + dy, m_height) };
        if (!moved.isEmpty())
            m_entries[kept++] = moved;
    }
    m_entries.resize(kept);
}
