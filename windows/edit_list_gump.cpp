#include "windows/edit_list_gump.h"

#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The ruled area is painted down to the last shown row plus this margin.
constexpr int32_t kRuledMargin = 9;
// A drag starts past this many pixels from the press.
constexpr int32_t kEditListDragThreshold = 4;

} // namespace

EditListGump::EditListGump(int32_t x, int32_t y, int32_t art, int32_t maxRows)
    : CGump(x, y, nullptr, 1, gumpArtSize(art).width, gumpArtSize(art).height)
    , m_art(art)
    , m_maxRows(std::max(maxRows, 0))
{
    setTypeName("edit list gump");
    addKind(GumpKind::EditList);
    page(0)->allocate(width(), height());
    auto* up = new Button(
        width() - 14, 8, ButtonBehaviour::RepeatOnPress, 0, onParent<&EditListGump::scrollUp>, kUpArt, 0, false);
    up->setHoverArt(kUpArt + 1);
    up->setVisible(false);
    gumpLink(up, this);
    auto* down = new Button(width() - 14, height() - 20, ButtonBehaviour::RepeatOnPress, 0,
        onParent<&EditListGump::scrollDown>, kDownArt, 0, false);
    down->setHoverArt(kDownArt + 1);
    down->setVisible(false);
    gumpLink(down, this);
    m_up = GumpHandle(up);
    m_down = GumpHandle(down);
    paintBackground();
}

int32_t EditListGump::lineY(int32_t place)
{
    // The ruled lines of the art are not evenly spaced at the top.
    switch (place) {
    case 2:
        return 38;
    case 3:
        return 55;
    case 4:
        return 73;
    default:
        return kEntryHeight * place + kTopLine;
    }
}

InputControl* EditListGump::rowEntry(int32_t row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return static_cast<InputControl*>(m_rows[size_t(row)].get());
}

int32_t EditListGump::rowOf(const CGump* entry) const
{
    for (int32_t row = 0; entry && row < rowCount(); ++row) {
        if (m_rows[size_t(row)].get() == entry)
            return row;
    }
    return -1;
}

void EditListGump::paintBackground()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawGumpArt(copySpanTransparent, m_art, face.target(), 0, 0);
    const int32_t shown = rowCount() - m_firstShown;
    if (shown <= 0)
        return;
    const ScreenRect ruled { 0, 0, face.width, std::min(face.height, kEntryHeight * shown + kRuledMargin) };
    drawGumpArtClipped(copySpanTransparent, m_art + 1, face.target(), &ruled, 0, 0);
    markLookChanged();
}

void EditListGump::relayout()
{
    for (int32_t row = 0; row < rowCount(); ++row) {
        InputControl* entry = rowEntry(row);
        if (!entry)
            continue;
        const int32_t y = lineY(row - m_firstShown);
        entry->setLocation(kEntryX, y);
        entry->setVisible(y >= kTopLine && y + kEntryHeight <= height());
    }
    if (Button* up = upButton())
        up->setVisible(m_firstShown > 0);
    if (Button* down = downButton())
        down->setVisible(rowCount() - m_firstShown > 1);
    paintBackground();
}

void EditListGump::notifyParent()
{
    if (CGump* owner = parent())
        owner->onControlChanged(this);
}

void EditListGump::addRow(std::string_view text, int32_t number)
{
    if (rowCount() >= m_maxRows)
        return;
    auto* entry = new InputControl(kEntryX, lineY(rowCount() - m_firstShown),
        EntrySize { kEntryWidth, kEntryHeight, false }, int32_t(EntryMode::Text), kMaxNameLength, kEntryFont,
        kEntryHue, true, false);
    gumpLink(entry, this);
    m_rows.emplace_back(entry);
    entry->setNarrowText(text.substr(0, size_t(kMaxNameLength)));
    entry->setValue(number);
    entry->redraw();
    relayout();
}

void EditListGump::removeRow(int32_t row)
{
    InputControl* entry = rowEntry(row);
    if (!entry)
        return;
    if (m_highlighted == row)
        m_highlighted = -1;
    else if (m_highlighted > row)
        --m_highlighted;
    // A row above the view takes the first shown index with it, so the rows
    // shown stay where they are.
    if (row < m_firstShown)
        --m_firstShown;
    m_rows.erase(m_rows.begin() + row);
    closeGump(entry);
    m_firstShown = std::max(0, std::min(m_firstShown, rowCount() - 1));
    relayout();
    notifyParent();
}

void EditListGump::scrollUp()
{
    if (m_firstShown <= 0)
        return;
    --m_firstShown;
    relayout();
}

void EditListGump::scrollDown()
{
    if (m_firstShown + 1 >= rowCount())
        return;
    ++m_firstShown;
    relayout();
}

void EditListGump::onControlChanged(CGump* control)
{
    const int32_t row = rowOf(control);
    InputControl* entry = rowEntry(row);
    if (!entry) {
        notifyParent();
        return;
    }
    const std::string text = entry->narrowText();
    const bool isLast = row == rowCount() - 1;
    if (isLast && !text.empty() && text != kNewRowText) {
        GumpHandle self(this);
        addRow(kNewRowText, 0);
        if (self)
            notifyParent();
        return;
    }
    if (!isLast && text.empty()) {
        // The caret goes to the row above, or below when there is none.
        if (InputControl* next = rowEntry(row > 0 ? row - 1 : row + 1)) {
            gumpReleaseFocus();
            gumpSetFocus(next);
            next->setCaret(int32_t(next->text().size()));
            next->redraw();
            if (next->y() < 8 && m_firstShown > 0)
                scrollUp();
        }
        removeRow(row);
        return;
    }
    entry->setHue(kEntryHue);
    entry->redraw();
    notifyParent();
}

void EditListGump::forgetHighlight()
{
    if (InputControl* previous = rowEntry(m_highlighted)) {
        previous->setHue(m_savedHue);
        previous->redraw();
    }
    m_highlighted = -1;
}

void EditListGump::onControlPressed(CGump* control)
{
    forgetHighlight();
    const int32_t row = rowOf(control);
    if (InputControl* entry = rowEntry(row)) {
        m_highlighted = row;
        m_savedHue = entry->hue();
        entry->setHue(kHighlightHue);
        // The new-name row is typed into from empty.
        if (row == rowCount() - 1 && entry->narrowText() == kNewRowText) {
            entry->setNarrowText("");
            entry->setCaret(0);
        }
        entry->redraw();
    }
    gumpSetFocus(this);
}

void EditListGump::onFocusLost() { forgetHighlight(); }

void EditListGump::onKey(uint32_t code)
{
    if (code == GumpKey::kDelete && m_highlighted >= 0 && m_highlighted < rowCount() - 1)
        removeRow(m_highlighted);
}

void EditListGump::onTab()
{
    const int32_t row = rowOf(gumpFocus());
    InputControl* next = rowEntry(row >= 0 ? row + 1 : -1);
    if (!next)
        return;
    gumpReleaseFocus();
    gumpSetFocus(next);
    next->redraw();
    if (next->y() + kEntryHeight > height())
        scrollDown();
}

void EditListGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

bool EditListGump::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void EditListGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_pressed = true;
    m_clicks.press();
}

void EditListGump::onDrag(int32_t x, int32_t y)
{
    if (!m_pressed)
        return;
    const int32_t dx = x - dragAnchorX();
    const int32_t dy = y - dragAnchorY();
    if (std::abs(dx) > kEditListDragThreshold || std::abs(dy) > kEditListDragThreshold) {
        m_dragged = true;
        m_clicks.reset();
    }
    if (CGump* window = parent())
        window->moveBy(dx, dy, true, nullptr, true);
}

void EditListGump::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    if (m_dragged || m_clicks.state == 2) {
        m_dragged = false;
        m_clicks.reset();
    }
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void EditListGump::onHoverTick()
{
    if (m_clicks.expire() && m_pressed)
        m_dragged = true;
}

void EditListGump::onRightUp(int32_t, int32_t)
{
    if (CGump* owner = parent())
        owner->onRightUp(0, 0);
}
