#include "gump/unicode_edit_list.h"

#include "core/wide_text.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"

#include <algorithm>

namespace {

// A select-only list's last row, which cannot be picked for deletion.
constexpr char16_t kNewRowText[] = u"(new)";
// The picked row of a select-only list is drawn in this hue's colour.
constexpr int32_t kSelectedHue = 33;
// The filled part of the column is painted with the art one below the
// list's, down to the last row plus this margin.
constexpr int32_t kFilledMargin = 13;
// Widening of 8-bit text stops at this many characters.
constexpr size_t kMaxAnsiLength = 1023;

int32_t artSizeOf(int32_t art, bool wantWidth) { return wantWidth ? gumpArtSize(art).width : gumpArtSize(art).height; }

} // namespace

UnicodeEditList::UnicodeEditList(int32_t x, int32_t y, int32_t art, int32_t maxRows, int32_t entryMaxLength)
    : CGump(x, y, nullptr, 2, artSizeOf(art, true), artSizeOf(art, false))
    , m_art(art)
    , m_maxRows(std::max(maxRows, 0))
    , m_entryMaxLength(std::clamp(entryMaxLength, 0, UnicodeInputControl::kCapacity - 1))
{
    setTypeName("unicode edit list gump");
    addKind(GumpKind::UnicodeEditList);
    page(0)->allocate(width(), height());
    auto* up = new Button(width() - 14, 8, ButtonBehaviour::RepeatOnPress, 0, onParent<&UnicodeEditList::scrollUp>,
        kUpArt, 0, false);
    up->setHoverArt(kUpArt + 1);
    up->setVisible(false);
    gumpLink(up, this);
    auto* down = new Button(width() - 14, height() - 20, ButtonBehaviour::RepeatOnPress, 0,
        onParent<&UnicodeEditList::scrollDown>, kDownArt, 0, false);
    down->setHoverArt(kDownArt + 1);
    down->setVisible(false);
    gumpLink(down, this);
    m_up = GumpHandle(up);
    m_down = GumpHandle(down);
    paintBackground();
}

UnicodeInputControl* UnicodeEditList::rowEntry(int32_t row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return static_cast<UnicodeInputControl*>(m_rows[size_t(row)].get());
}

int32_t UnicodeEditList::rowOf(const CGump* entry) const
{
    for (int32_t row = 0; row < rowCount(); ++row) {
        if (m_rows[size_t(row)].get() == entry)
            return row;
    }
    return -1;
}

void UnicodeEditList::paintBackground()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawGumpArt(copySpanTransparent, m_art, face.target(), 0, 0);
    if (rowCount() == 0)
        return;
    const ScreenRect filled { 0, 0, face.width, (rowCount() - m_firstShown) * kRowSpacing + kFilledMargin };
    drawGumpArtClipped(copySpanTransparent, m_art - 1, face.target(), &filled, 0, 0);
}

void UnicodeEditList::relayout()
{
    for (int32_t row = 0; row < rowCount(); ++row) {
        UnicodeInputControl* entry = rowEntry(row);
        if (!entry)
            continue;
        const int32_t y = kFirstRowY + kRowSpacing * (row - m_firstShown);
        entry->setLocation(kEntryX, y);
        entry->setVisible(y >= kFirstRowY && y + kRowSpacing <= height());
    }
    if (Button* up = upButton())
        up->setVisible(m_firstShown > 0);
    if (Button* down = downButton())
        down->setVisible(m_firstShown + 1 < rowCount());
    paintBackground();
}

void UnicodeEditList::notifyParent()
{
    if (CGump* owner = parent())
        owner->onControlChanged(this);
}

void UnicodeEditList::addEntry(std::u16string_view text, int32_t value)
{
    if (rowCount() >= m_maxRows)
        return;
    const int32_t y = kFirstRowY + kRowSpacing * (rowCount() - m_firstShown);
    auto* entry = new UnicodeInputControl(kEntryX, y, EntrySize { kEntryWidth, kRowSpacing, false }, 0,
        m_entryMaxLength, kEntryFont, kEntryHue, !selectOnly, false);
    gumpLink(entry, this);
    m_rows.emplace_back(entry);
    entry->setText(text);
    entry->setValue(value);
    entry->render();
    relayout();
}

void UnicodeEditList::addEntryAnsi(std::string_view text, int32_t value)
{
    addEntry(bytesToWideString(text.substr(0, kMaxAnsiLength)), value);
}

void UnicodeEditList::removeRow(int32_t row)
{
    UnicodeInputControl* entry = rowEntry(row);
    if (row < 0 || row >= rowCount())
        return;
    // A row above the view takes the first shown index down with it, so the
    // rows shown stay where they are.
    if (row < m_firstShown)
        --m_firstShown;
    if (m_selected == row)
        m_selected = -1;
    else if (m_selected > row)
        --m_selected;
    m_rows.erase(m_rows.begin() + row);
    if (entry)
        closeGump(entry);
    m_firstShown = std::max(0, std::min(m_firstShown, rowCount() - 1));
    relayout();
    notifyParent();
}

void UnicodeEditList::scrollUp()
{
    if (m_firstShown <= 0)
        return;
    --m_firstShown;
    relayout();
}

void UnicodeEditList::scrollDown()
{
    if (m_firstShown + 1 >= rowCount())
        return;
    ++m_firstShown;
    relayout();
}

void UnicodeEditList::onControlChanged(CGump* control)
{
    const int32_t row = rowOf(control);
    UnicodeInputControl* entry = rowEntry(row);
    if (!entry) {
        notifyParent();
        return;
    }
    const bool isLast = row == rowCount() - 1;
    if (isLast && !entry->text().empty()) {
        GumpHandle self(this);
        addEntry(selectOnly ? kNewRowText : u"", 0);
        if (self)
            notifyParent();
        return;
    }
    if (!isLast && entry->text().empty()) {
        // The caret goes to the row above, or below when there is none.
        UnicodeInputControl* next = rowEntry(row > 0 ? row - 1 : row + 1);
        if (next) {
            gumpReleaseFocus();
            gumpSetFocus(next);
            next->onKey(GumpKey::kEnd);
            next->render();
            if (next->y() < kFirstRowY + 1 && m_firstShown > 0)
                scrollUp();
        }
        removeRow(row);
        return;
    }
    notifyParent();
}

void UnicodeEditList::forgetSelection()
{
    if (UnicodeInputControl* previous = rowEntry(m_selected)) {
        previous->setColour(m_selectedColour);
        previous->render();
    }
    m_selected = -1;
}

void UnicodeEditList::onControlPressed(CGump* control)
{
    forgetSelection();
    const int32_t row = rowOf(control);
    if (UnicodeInputControl* entry = rowEntry(row)) {
        m_selected = row;
        m_selectedColour = entry->colour();
        const HueEntry* hue = textHueEntry(kSelectedHue);
        entry->setColour(hue ? hue->colours[1] : 0x7FFF);
        entry->render();
    }
    // Taking the focus releases any other holder first.
    gumpSetFocus(this);
}

void UnicodeEditList::onFocusLost() { forgetSelection(); }

void UnicodeEditList::onKey(uint32_t code)
{
    if (selectOnly && code == GumpKey::kDelete && m_selected >= 0 && m_selected < rowCount() - 1)
        removeRow(m_selected);
}

void UnicodeEditList::onTab()
{
    const int32_t row = rowOf(gumpFocus());
    UnicodeInputControl* next = rowEntry(row >= 0 ? row + 1 : -1);
    if (!next)
        return;
    gumpReleaseFocus();
    gumpSetFocus(next);
    next->render();
    if (next->y() + kRowSpacing > height())
        scrollDown();
}

void UnicodeEditList::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(isMinimised() ? 1 : 0);
    drawPage(canvas);
    drawChildren(canvas);
}

bool UnicodeEditList::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void UnicodeEditList::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_pressed = true;
    m_clicks.press();
}

void UnicodeEditList::onDrag(int32_t x, int32_t y)
{
    if (!m_pressed)
        return;
    const int32_t dx = x - dragAnchorX();
    const int32_t dy = y - dragAnchorY();
    if (std::abs(dx) > kDragThreshold || std::abs(dy) > kDragThreshold) {
        m_dragged = true;
        m_clicks.reset();
    }
    if (CGump* window = parent())
        window->moveBy(dx, dy, true, nullptr, true);
}

void UnicodeEditList::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    if (m_dragged) {
        m_dragged = false;
        m_clicks.reset();
    } else if (m_clicks.state == 2) {
        m_clicks.reset();
    }
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void UnicodeEditList::onHoverTick()
{
    if (m_clicks.expire() && m_pressed)
        m_dragged = true;
}

void UnicodeEditList::onRightUp(int32_t, int32_t)
{
    if (CGump* owner = parent())
        owner->onRightUp(0, 0);
}
