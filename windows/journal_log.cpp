#include "windows/journal_log.h"

#include "gfx/hue_table.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"
#include "text/ascii_font.h"
#include "text/unicode_font.h"

#include <algorithm>
#include <array>

namespace {

// The scroll column, from the window's right edge.
constexpr int32_t kColumnLeftFromRight = 48;
constexpr int32_t kColumnRightFromRight = 25;
constexpr int32_t kPagingPressLift = 8;
constexpr int32_t kAreaPadding = 4;

} // namespace

JournalLogGump::JournalLogGump(int32_t x, int32_t y, int32_t pageCount, int32_t width, int32_t height)
    : CGump(x, y, nullptr, pageCount, width, height)
{
    journal().addView(this);
}

JournalLogGump::~JournalLogGump() { journal().removeView(this); }

void JournalLogGump::attachScrollControls(Thumb* scrollThumb, Button* lock)
{
    gumpLink(scrollThumb, this);
    m_thumb = GumpHandle(scrollThumb);
    lock->setCallback(onLockToggled);
    gumpLink(lock, this);
    m_lock = GumpHandle(lock);
}

Thumb* JournalLogGump::thumb() const { return static_cast<Thumb*>(m_thumb.get()); }

Button* JournalLogGump::lockToggle() const { return static_cast<Button*>(m_lock.get()); }

bool JournalLogGump::isScrollLocked() const
{
    const Button* lock = lockToggle();
    return lock && lock->currentPage() == 1;
}

void JournalLogGump::setScrollLock(bool on)
{
    if (Button* lock = lockToggle())
        lock->setCurrentPage(on ? 1 : 0);
}

void JournalLogGump::onLockToggled(CGump* parent)
{
    auto* view = static_cast<JournalLogGump*>(parent);
    if (view->isScrollLocked())
        return;
    view->layoutToNewest();
    view->syncThumb();
    view->redrawText();
}

int32_t JournalLogGump::entryHeight(const JournalEntry& entry) const
{
    int32_t height = 0;
    if (entry.wide) {
        int32_t maxWidth = 0, zero = 0;
        measureUnicodeTextWrapped(entry.text.c_str(), m_area.width(), maxWidth, height, zero);
    } else {
        int32_t maxWidth = 0, baseline = 0;
        wrapAsciiText(kAsciiFont, entry.narrow.c_str(), m_area.width(), maxWidth, height, baseline, 0);
    }
    // An empty line still takes a row, so that no total is ever 0.
    return std::max(height, 1);
}

size_t JournalLogGump::firstIndex() const
{
    const std::deque<JournalEntry>& entries = journal().entries();
    if (entries.empty() || m_firstSequence < entries.front().sequence)
        return 0;
    return std::min(size_t(m_firstSequence - entries.front().sequence), entries.size() - 1);
}

const JournalEntry* JournalLogGump::firstVisible() const
{
    const std::deque<JournalEntry>& entries = journal().entries();
    return entries.empty() ? nullptr : &entries[firstIndex()];
}

void JournalLogGump::setFirst(size_t index, int32_t offset)
{
    const std::deque<JournalEntry>& entries = journal().entries();
    if (entries.empty()) {
        m_firstSequence = 0;
        m_offset = 0;
        return;
    }
    index = std::min(index, entries.size() - 1);
    m_firstSequence = entries[index].sequence;
    m_offset = offset;
}

void JournalLogGump::layoutToNewest()
{
    const std::deque<JournalEntry>& entries = journal().entries();
    if (entries.empty()) {
        setFirst(0, 0);
        return;
    }
    size_t index = entries.size() - 1;
    int32_t offset = entryHeight(entries[index]) - 1;
    int32_t room = std::max(m_area.bottom - m_area.top - kAreaPadding, 0);
    while (room != 0) {
        if (room >= offset + 1) {
            if (index == 0) {
                offset = 0;
                break;
            }
            room -= offset + 1;
            --index;
            offset = entryHeight(entries[index]) - 1;
        } else {
            offset = room < offset ? offset - room : 0;
            break;
        }
    }
    setFirst(index, offset);
}

void JournalLogGump::syncThumb()
{
    Thumb* knob = thumb();
    if (!knob)
        return;
    const std::deque<JournalEntry>& entries = journal().entries();
    const size_t first = firstIndex();
    int64_t above = 0;
    int64_t total = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int32_t height = entryHeight(entries[i]);
        if (i < first)
            above += height;
        total += height;
    }
    if (!entries.empty())
        above += m_offset;
    // Heights are bounded (100 lines of at most a few thousand rows).
    knob->setPosition(int32_t(std::min<int64_t>(above, total)), int32_t(total));
}

void JournalLogGump::scrollByArrow(int32_t pixels)
{
    setScrollLock(true);
    const std::deque<JournalEntry>& entries = journal().entries();
    if (!entries.empty()) {
        size_t index = firstIndex();
        int32_t offset = m_offset + pixels;
        while (offset >= entryHeight(entries[index])) {
            if (index + 1 == entries.size()) {
                offset = entryHeight(entries[index]) - 1;
                break;
            }
            offset -= entryHeight(entries[index]);
            ++index;
        }
        while (offset < 0) {
            if (index == 0) {
                offset = 0;
                break;
            }
            --index;
            offset += entryHeight(entries[index]);
        }
        setFirst(index, offset);
    }
    syncThumb();
    redrawText();
}

void JournalLogGump::onSlider(int32_t position, int32_t range, CGump*)
{
    setScrollLock(true);
    const std::deque<JournalEntry>& entries = journal().entries();
    if (entries.empty())
        return;
    if (position <= 1 || range <= 0) {
        setFirst(0, 0);
    } else if (position >= range) {
        setFirst(entries.size() - 1, entryHeight(entries.back()) - 1);
    } else {
        std::array<int32_t, kMaxJournalEntries> heights {};
        int64_t sum = 0;
        const size_t count = std::min(entries.size(), heights.size());
        for (size_t i = 0; i < count; ++i) {
            heights[i] = entryHeight(entries[i]);
            sum += heights[i];
        }
        int64_t target = int64_t(position) * sum / range;
        size_t index = 0;
        int32_t offset = 0;
        while (target > 0 && index < count) {
            if (target < heights[index]) {
                offset = int32_t(target);
                break;
            }
            target -= heights[index];
            if (index + 1 == count)
                break;
            ++index;
        }
        setFirst(index, offset);
    }
    redrawText();
}

void JournalLogGump::pageAt(int32_t x, int32_t y)
{
    Thumb* knob = thumb();
    const std::deque<JournalEntry>& entries = journal().entries();
    if (!knob || entries.empty() || x < width() - kColumnLeftFromRight || x > width() - kColumnRightFromRight
        || y < m_area.top || y > m_area.bottom)
        return;
    setScrollLock(true);
    const int32_t t = y - kPagingPressLift;
    size_t index = firstIndex();
    if (t < knob->y()) {
        const size_t steps = std::min<size_t>(kPageEntries, index);
        if (steps < size_t(kPageEntries))
            m_offset = 0;
        setFirst(index - steps, m_offset);
        syncThumb();
        if (knob->y() >= t || knob->y() <= knob->minY()) {
            redrawText();
            return;
        }
        knob->setLocation(knob->x(), std::max(t, knob->minY()));
    } else {
        const size_t last = entries.size() - 1;
        const size_t steps = std::min<size_t>(kPageEntries, last - index);
        if (steps < size_t(kPageEntries))
            m_offset = entryHeight(entries[last]) - 1;
        setFirst(index + steps, m_offset);
        syncThumb();
        if (t <= knob->y()) {
            redrawText();
            return;
        }
        knob->setLocation(knob->x(), std::min(t, knob->maxY()));
    }
    onSlider(knob->y() - knob->minY(), knob->maxY() - knob->minY(), knob);
}

void JournalLogGump::drawLines(GumpPage& page) const
{
    if (!page.isAllocated())
        return;
    const std::deque<JournalEntry>& entries = journal().entries();
    const TextSurface surface = page.surface();
    const TextClip clip { m_area.left, m_area.top, m_area.right + 1, m_area.bottom + 1 };
    int32_t y = m_area.top - m_offset;
    for (size_t i = firstIndex(); i < entries.size() && y <= m_area.bottom; ++i) {
        const JournalEntry& entry = entries[i];
        if (entry.wide) {
            const uint16_t colour = hueTable().entry(entry.hue).colours[kWideColourIndex];
            drawUnicodeTextWrapped(surface, m_area.width(), entry.text.c_str(), m_area.left, y, colour, clip, false);
        } else {
            drawAsciiTextWrapped(m_area.left, y, kAsciiFont, entry.hue, entry.narrow.c_str(), m_area.width(), surface,
                clip, 0, 0, false);
        }
        y += entryHeight(entry);
    }
}

void JournalLogGump::onLeftDown(int32_t x, int32_t y)
{
    if (raisesOnPress()) {
        GumpHandle self(this);
        bringToFront(true);
        if (!self)
            return;
    }
    setDragAnchor(x, y);
    m_presses.press(x, y);
}

void JournalLogGump::onDrag(int32_t x, int32_t y)
{
    int32_t dx = 0, dy = 0;
    if (m_presses.drag(x, y, dx, dy))
        moveWithPointer(dx, dy);
}

void JournalLogGump::onHoverTick()
{
    if (m_presses.hoverTick())
        pageAt(m_presses.pressX(), m_presses.pressY());
}

void JournalLogGump::onLeftUp(int32_t, int32_t)
{
    GumpHandle self(this);
    if (m_presses.release() && isMinimised())
        restore();
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void JournalLogGump::journalLineDropping(const JournalEntry& entry)
{
    // The next line (or the one arriving now) takes the dropped one's place.
    if (entry.sequence == m_firstSequence)
        ++m_firstSequence;
}

void JournalLogGump::journalLineAdded(const JournalEntry&)
{
    if (m_firstSequence == 0 || !isScrollLocked())
        layoutToNewest();
    syncThumb();
    redrawText();
}
