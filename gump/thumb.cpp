#include "gump/thumb.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_canvas.h"
#include "gump/gump_services.h"
#include "text/ascii_font.h"

#include <algorithm>

namespace {

constexpr int32_t kLineFont = 0;
constexpr int32_t kLineIndent = 2;

// The lower bound is applied first, then the upper one.
int32_t clampLowerFirst(int64_t value, int32_t low, int32_t high)
{
    return int32_t(std::min<int64_t>(std::max<int64_t>(value, low), high));
}

int32_t wrappedHeight(const std::string& line, int32_t width)
{
    int32_t widest = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    wrapAsciiText(kLineFont, line.c_str(), width, widest, height, baseline, kLineIndent);
    return height;
}

} // namespace

Thumb::Thumb(int32_t x, int32_t y, bool vertical, int32_t trackEnd, int32_t art)
    : m_vertical(vertical)
{
    setTypeName("Thumb gump");
    addKind(GumpKind::Thumb);
    setLocation(x, y);
    setArtId(art);
    setPageCount(1);
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(art, width, height);
    setSize(width, height);
    if (vertical)
        setRange(x, x, y, trackEnd - height);
    else
        setRange(x, trackEnd - width, y, y);
}

void Thumb::setRange(int32_t minX, int32_t maxX, int32_t minY, int32_t maxY)
{
    m_minX = minX;
    m_maxX = maxX;
    m_minY = minY;
    m_maxY = maxY;
}

int32_t Thumb::position() const { return m_vertical ? y() - m_minY : x() - m_minX; }

int32_t Thumb::range() const { return m_vertical ? m_maxY - m_minY : m_maxX - m_minX; }

void Thumb::setPosition(int32_t pos, int32_t range)
{
    const int32_t low = m_vertical ? m_minY : m_minX;
    const int32_t high = m_vertical ? m_maxY : m_maxX;
    int64_t placed = low;
    if (range != 0)
        placed = low + (int64_t(high) - low + 1) * pos / range;
    placed = clampLowerFirst(placed, low, high);
    if (m_vertical)
        setLocation(x(), int32_t(placed));
    else
        setLocation(int32_t(placed), y());
}

void Thumb::syncToTextList(
    std::span<const std::string> lines, int32_t firstVisible, int32_t left, int32_t right, int32_t offset)
{
    const int32_t width = right - left + 1;
    int64_t above = 0;
    int64_t total = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        int32_t height = wrappedHeight(lines[i], width);
        if (int64_t(i) < firstVisible)
            above += height;
        total += height;
    }
    // No text has no share to show: the thumb rests at the top.
    if (total == 0) {
        setLocation(x(), m_minY);
        return;
    }
    setLocation(x(), int32_t(m_minY + (int64_t(m_maxY) - m_minY + 1) * (above + offset) / total));
}

int32_t Thumb::shownArt() const { return m_hovered && m_hoverArt != 0 ? m_hoverArt : artId(); }

bool Thumb::lookKey(uint64_t& key)
{
    key = uint64_t(uint32_t(shownArt()));
    return true;
}

void Thumb::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    int32_t screenX = 0;
    int32_t screenY = 0;
    localToScreen(screenX, screenY);
    const int32_t art = shownArt();
    drawGumpArtClipped(copySpanTransparent, art, canvas.target(), &canvas.clip(), screenX + 1, screenY);
}

bool Thumb::containsPoint(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < width() && y < height(); }

void Thumb::onLeftDown(int32_t x, int32_t y)
{
    m_dragging = true;
    setDragAnchor(x, y);
}

void Thumb::onDrag(int32_t x, int32_t y)
{
    if (!m_dragging)
        return;
    int32_t newY = clampLowerFirst(int64_t(this->y()) - dragAnchorY() + y, m_minY, m_maxY);
    int32_t newX = clampLowerFirst(int64_t(this->x()) - dragAnchorX() + x, m_minX, m_maxX);
    moveBy(newX - this->x(), newY - this->y(), true, nullptr, true);
    if (CGump* window = parent())
        window->onSlider(position(), range(), this);
}

void Thumb::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    service<GumpPointer>().setPointerCapture(nullptr);
    if (CGump* window = parent())
        window->onSliderReleased(position(), range(), this);
}

void Thumb::onRightDown(int32_t x, int32_t y)
{
    if (CGump* window = parent())
        window->onRightDown(x, y);
}

void Thumb::onRightUp(int32_t x, int32_t y)
{
    if (CGump* window = parent())
        window->onRightUp(x, y);
}

void Thumb::onMouseOver(int32_t, int32_t)
{
    m_hovered = true;
    service<GumpPointer>().setCursorForGumpType(0);
}

void Thumb::onMouseLeave() { m_hovered = false; }
