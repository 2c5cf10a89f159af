#include "gump/toggle_control.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_services.h"
#include "text/ascii_font.h"

#include <algorithm>

namespace {

constexpr int32_t kLabelGap = 4;

int32_t roundUpToEven(int32_t value) { return value + (value & 1); }

} // namespace

ToggleControl::ToggleControl(int32_t x, int32_t y, int32_t uncheckedArt, int32_t checkedArt, int32_t font,
    int32_t hue, const char* label, bool initiallyChecked, int32_t disabledArt, int32_t disabledCheckedArt)
    : m_checkedArt(checkedArt)
    , m_disabledArt(disabledArt)
    , m_disabledCheckedArt(disabledCheckedArt)
    , m_checked(initiallyChecked)
{
    setTypeName("ToggleControl gump");
    addKind(GumpKind::ToggleControl);
    setLocation(x, y);
    setArtId(uncheckedArt);
    setPageCount(1);
    int32_t artWidth = 0;
    int32_t artHeight = 0;
    getGumpArtSize(uncheckedArt, artWidth, artHeight);
    const char* text = label ? label : "";
    int32_t textWidth = 0;
    int32_t textHeight = 0;
    int32_t baseline = 0;
    measureAsciiText(font, text, textWidth, textHeight, baseline);
    setSize(roundUpToEven(artWidth + textWidth + kLabelGap), artHeight);
    GumpPage* face = page(0);
    face->allocate(width(), height());
    if (face->isAllocated()) {
        drawAsciiText(artWidth + kLabelGap, (artHeight - textHeight) / 2 + baseline + 2, font, hue, text,
            face->surface(), wholeSurface(face->surface()));
    }
    redraw();
}

void ToggleControl::redraw()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    int32_t artWidth = 0;
    int32_t artHeight = 0;
    getGumpArtSize(artId(), artWidth, artHeight);
    const int32_t clearWidth = std::min(roundUpToEven(artWidth), face->width);
    const int32_t clearHeight = std::min(artHeight, face->height);
    for (int32_t row = 0; row < clearHeight; ++row)
        std::fill_n(face->pixels.begin() + ptrdiff_t(row) * face->width, clearWidth, uint16_t(0));
    int32_t art = m_checked ? m_checkedArt : artId();
    if (m_hoverArt != 0 && m_hovered)
        art = m_checked ? m_hoverCheckedArt : m_hoverArt;
    else if (m_disabled)
        art = m_checked ? m_disabledCheckedArt : m_disabledArt;
    drawGumpArt(copySpanTransparent, art, face->target(), 0, 0);
    markLookChanged();
}

void ToggleControl::draw(GumpCanvas& canvas) { drawOwnBuffer(canvas); }

bool ToggleControl::containsPoint(int32_t x, int32_t y) { return containsPointInBuffer(x, y); }

void ToggleControl::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    if (CGump* window = parent())
        window->bringToFront(false);
    if (!self.get())
        return;
    m_pressed = true;
    setDragAnchor(x, y);
}

void ToggleControl::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    service<GumpPointer>().setPointerCapture(nullptr);
    if (m_disabled)
        return;
    m_checked = !m_checked;
    redraw();
    if (CGump* window = parent())
        window->onControlChanged(this);
}

void ToggleControl::onRightUp(int32_t x, int32_t y)
{
    service<GumpPointer>().setPointerCapture(nullptr);
    if (CGump* window = parent())
        window->onRightUp(x, y);
}

void ToggleControl::onMouseOver(int32_t, int32_t)
{
    if (!m_hovered) {
        m_hovered = true;
        if (m_hoverArt != 0)
            redraw();
    }
    if (!m_disabled)
        service<GumpPointer>().setCursorForGumpType(0);
}

void ToggleControl::onMouseLeave()
{
    if (!m_hovered)
        return;
    m_hovered = false;
    if (m_hoverArt != 0)
        redraw();
}
