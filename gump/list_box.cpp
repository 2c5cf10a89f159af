#include "gump/list_box.h"

#include "core/wide_text.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "text/ascii_font.h"

#include <algorithm>

namespace {

// The middle pieces between a list's top and bottom art.
constexpr int32_t kMiddlePieces = 3;
constexpr int32_t kHighlightedHue = 33;

int32_t fontBaseline(int32_t font)
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    measureAsciiText(font, "Aq", width, height, baseline);
    return baseline;
}

} // namespace

ListBoxControl::ListBoxControl(int32_t x, int32_t y, int32_t art, int32_t font, int32_t hue, int32_t visibleRows)
    : CGump(x, y, nullptr, 1, gumpArtSize(art).width, gumpArtSize(art).height + gumpArtSize(art + 4).height)
    , m_art(art)
    , m_font(font)
    , m_hue(hue)
    , m_visibleRows(std::clamp(visibleRows, 0, 255))
{
    setTypeName("ListBoxControl gump");
    addKind(GumpKind::ListBox);
    setVisible(false);
}

void ListBoxControl::addItem(int32_t value, std::string_view name)
{
    if (itemCount() >= kMaxItems)
        return;
    const bool full = isScrollable() && itemCount() >= m_visibleRows;
    m_values.push_back(value);
    m_names.emplace_back(name.substr(0, size_t(kMaxNameLength)));
    if (!full)
        setSize(width(), height() + kRowHeight);
    if (y() < 0)
        setLocation(x(), 0);
    int32_t nameWidth = 0;
    int32_t unusedHeight = 0;
    int32_t unusedBaseline = 0;
    measureAsciiText(m_font, m_names.back().c_str(), nameWidth, unusedHeight, unusedBaseline);
    if (nameWidth > width() - 12) {
        const int32_t growth = nameWidth + 12 - width();
        setSize(nameWidth + 12, height());
        setLocation(x() - growth / 2, y());
    }
}

void ListBoxControl::draw(GumpCanvas& canvas) { drawOwnBuffer(canvas); }

bool ListBoxControl::containsPoint(int32_t x, int32_t y) { return containsPointInBuffer(x, y); }

int32_t ListBoxControl::shownRows() const
{
    const int32_t remaining = std::max(0, itemCount() - m_firstRow);
    return isScrollable() ? std::min(m_visibleRows, remaining) : remaining;
}

void ListBoxControl::textArea(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const
{
    const GumpArtSize topPiece = gumpArtSize(m_art);
    const GumpArtSize bottomPiece = gumpArtSize(m_art + 4);
    const int32_t offset = width() > topPiece.width ? (width() - topPiece.width) / 2 : 0;
    left = offset + 6;
    right = width() - 6;
    top = topPiece.height;
    bottom = height() - bottomPiece.height;
}

// Every redraw paints the whole face: one row alone would look the same.
void ListBoxControl::redraw(int32_t)
{
    GumpPage& face = *page(0);
    if (face.width != width() || face.height != height())
        face.allocate(width(), height());
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawVerticalGumpStrip(m_art, kMiddlePieces, face, 0, 0);
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    textArea(left, top, right, bottom);
    if (m_highlighted >= m_firstRow && m_highlighted < m_firstRow + shownRows())
        drawHighlightBar(left, top + kRowHeight * (m_highlighted - m_firstRow), width() - 2 * left, kHighlightArt, face);
    const TextClip clip { left, top, right, bottom };
    const int32_t baseline = fontBaseline(m_font);
    for (int32_t r = 0; r < shownRows(); ++r) {
        drawAsciiTextClipped(left, top + kRowHeight * r + baseline + 1, m_font, m_hue,
            m_names[size_t(m_firstRow + r)].c_str(), face.surface(), clip);
    }
    if (!isScrollable())
        return;
    if (m_firstRow > 0)
        drawGumpArt(
            copySpanTransparent, kUpArrowArt, face.target(), width() - 12 - gumpArtSize(kUpArrowArt).width, top);
    if (m_firstRow + m_visibleRows < itemCount()) {
        const GumpArtSize arrow = gumpArtSize(kDownArrowArt);
        drawGumpArt(copySpanTransparent, kDownArrowArt, face.target(), width() - 12 - arrow.width, bottom - arrow.height);
    }
}

int32_t ListBoxControl::rowAt(int32_t x, int32_t y)
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    textArea(left, top, right, bottom);
    if (x < left || x >= right || y < top || y >= top + kRowHeight * shownRows())
        return -1;
    return m_firstRow + (y - top) / kRowHeight;
}

void ListBoxControl::onDrag(int32_t x, int32_t y)
{
    const int32_t row = rowAt(x, y);
    if (row == m_highlighted)
        return;
    const int32_t old = m_highlighted;
    m_highlighted = row;
    redraw(old);
    redraw(row);
}

void ListBoxControl::onHoverTick()
{
    if (!isScrollable())
        return;
    int32_t x = 0;
    int32_t y = 0;
    service<GumpPointer>().pointerPosition(x, y);
    screenToLocal(x, y);
    if (y < 0 && m_firstRow > 0)
        --m_firstRow;
    else if (y > height() && m_firstRow + m_visibleRows < itemCount())
        ++m_firstRow;
    redraw(-1);
}

void ListBoxControl::chooseForOwner(int32_t row)
{
    TextEntryCore* entry = owner();
    if (!entry || row < 0 || row >= itemCount())
        return;
    entry->setValue(m_values[size_t(row)]);
    entry->setText(bytesToWideString(m_names[size_t(row)]));
    entry->redraw();
    if (CGump* window = entry->parent())
        window->onControlChanged(entry);
}

void ListBoxControl::onLeftUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    GumpHandle self(this);
    if (m_highlighted >= 0)
        chooseForOwner(m_highlighted);
    if (self)
        closeGump(this);
}

SizedListBoxControl::SizedListBoxControl(
    int32_t x, int32_t y, int32_t art, int32_t width, int32_t height, int32_t font, int32_t hue, int32_t visibleRows)
    : ListBoxControl(x, y, art, font, hue, visibleRows)
{
    setSize(width, height);
}

void SizedListBoxControl::redraw(int32_t row)
{
    GumpPage& face = *page(0);
    const bool whole = row < 0 || face.width != width() || face.height != height();
    if (face.width != width() || face.height != height())
        face.allocate(width(), height());
    if (!face.isAllocated())
        return;
    if (whole)
        m_frame.paint(m_art, face);
    const int32_t baseline = fontBaseline(m_font);
    const TextClip clip = wholeSurface(face.surface());
    for (int32_t r = 0; r < shownRows(); ++r) {
        const int32_t index = m_firstRow + r;
        if (!whole && index != row)
            continue;
        drawAsciiTextClipped(0, kRowHeight * r + baseline + 1, m_font, index == m_highlighted ? kHighlightedHue : m_hue,
            m_names[size_t(index)].c_str(), face.surface(), clip);
    }
}

int32_t SizedListBoxControl::rowAt(int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x >= width() || y >= height() || itemCount() == 0)
        return -1;
    return std::min(m_firstRow + y / kRowHeight, itemCount() - 1);
}

void SizedListBoxControl::onLeftDown(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    GumpHandle self(this);
    TextEntryCore* entry = owner();
    if (m_highlighted >= 0 && entry && m_values[size_t(m_highlighted)] != entry->value())
        chooseForOwner(m_highlighted);
    if (self)
        closeGump(this);
}

void SizedListBoxControl::onLeftUp(int32_t, int32_t) { }

void showListBox(ListBoxControl* list, TextEntryCore* owner)
{
    list->setVisible(true);
    list->redraw(-1);
    gumpLink(list, nullptr);
    list->setOwner(owner);
    GumpPointer& pointer = service<GumpPointer>();
    pointer.setPointerCapture(list);
    int32_t x = 0;
    int32_t y = 0;
    pointer.pointerPosition(x, y);
    list->screenToLocal(x, y);
    list->onDrag(x, y);
}
