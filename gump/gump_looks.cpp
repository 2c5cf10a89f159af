#include "gump/gump_looks.h"

#include "gump/gump.h"
#include "gump/gump_manager.h"

#include <algorithm>

namespace {

// Every shown gump from the bottom of the desktop up, each before its
// children (which it draws over itself), the children bottom first.
template <typename Visit>
void forEachShownGump(CGump* gump, Visit& visit)
{
    if (!isValidGump(gump) || !gump->isVisible())
        return;
    visit(gump);
    for (CGump* child = gump->lastChild(); child && isValidGump(child); child = child->previous())
        forEachShownGump(child, visit);
}

} // namespace

void GumpLooks::gather(CGump* bottom)
{
    m_now.clear();
    uint32_t order = 0;
    auto visit = [this, &order](CGump* gump) {
        Look look;
        look.id = gump->instanceId();
        look.bounds = gump->composedBounds();
        look.keyed = gump->lookKey(look.key);
        look.order = order++;
        m_now.push_back(look);
    };
    for (CGump* gump = bottom; gump && isValidGump(gump); gump = gump->previous())
        forEachShownGump(gump, visit);
    std::sort(m_now.begin(), m_now.end(), [](const Look& a, const Look& b) { return a.id < b.id; });
}

void GumpLooks::remember(CGump* bottom)
{
    gather(bottom);
    m_shown.swap(m_now);
    m_known = true;
}

bool GumpLooks::collectChanges(CGump* bottom, DirtyRectList& changed)
{
    gather(bottom);
    bool fits = m_known;
    auto add = [&changed, &fits](const ScreenRect& rect) { fits = changed.add(rect) && fits; };
    // The gumps shown before and now, each in the order of the other list:
    // one whose rank among them moved went above or below another.
    std::vector<uint32_t> shownRanks;
    std::vector<uint32_t> nowRanks;
    auto wasShown = m_shown.begin();
    for (const Look& now : m_now) {
        while (wasShown != m_shown.end() && wasShown->id < now.id)
            add((wasShown++)->bounds); // gone
        if (wasShown == m_shown.end() || wasShown->id != now.id) {
            add(now.bounds); // new
            continue;
        }
        shownRanks.push_back(wasShown->order);
        nowRanks.push_back(now.order);
        if (!now.keyed || !wasShown->keyed || now.key != wasShown->key || now.bounds != wasShown->bounds) {
            add(wasShown->bounds);
            add(now.bounds);
        }
        ++wasShown;
    }
    for (; wasShown != m_shown.end(); ++wasShown)
        add(wasShown->bounds);

    // The orders as ranks among the gumps both lists hold.
    auto toRanks = [](std::vector<uint32_t>& orders) {
        std::vector<uint32_t> sorted = orders;
        std::sort(sorted.begin(), sorted.end());
        for (uint32_t& order : orders)
            order = uint32_t(std::lower_bound(sorted.begin(), sorted.end(), order) - sorted.begin());
    };
    toRanks(shownRanks);
    toRanks(nowRanks);
    size_t common = 0;
    auto wasCommon = m_shown.begin();
    for (const Look& now : m_now) {
        while (wasCommon != m_shown.end() && wasCommon->id < now.id)
            ++wasCommon;
        if (wasCommon == m_shown.end() || wasCommon->id != now.id)
            continue;
        if (shownRanks[common] != nowRanks[common])
            add(now.bounds);
        ++common;
    }
    m_shown.swap(m_now);
    m_known = true;
    return fits;
}
