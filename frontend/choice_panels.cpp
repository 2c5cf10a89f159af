#include "frontend/choice_panels.h"

#include "frontend/creation_sliders.h"
#include "gump/entry_core.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/input_control.h"
#include "platform/clock.h"
#include "text/ascii_font.h"

#include <algorithm>

namespace {

constexpr int32_t kDefaultRowHue = 902;
// The rows stand inside the panel's frame margin.
constexpr int32_t kPanelMargin = 10;

int32_t panelRowHeight()
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    measureAsciiText(CPanelChoiceGump::kRowFont, "Aq", width, height, baseline);
    return std::max(height, 1);
}

} // namespace

CPanelChoiceGump::CPanelChoiceGump(int32_t x, int32_t y, int32_t width, int32_t height, CGump* listener,
    InputControl* target, int32_t frameArt, bool)
    : CGump(x, y, nullptr, 1, width, height)
    , m_listener(listener)
    , m_target(target)
    , m_listRect { kPanelMargin, kPanelMargin, width - kPanelMargin, height - kPanelMargin }
{
    setTypeName("CPanelChoiceGump");
    setArtId(-1);
    (void)frameArt;
    page(0)->allocate(width, height);
    drawChoicePanel();
}

bool CPanelChoiceGump::addItem(int32_t value, const std::string& text, uint16_t colour)
{
    if (count() >= ScrollChoiceGump::kMaxRows)
        return false;
    m_values.push_back(value);
    m_colours.push_back(colour);
    m_texts.push_back(text.substr(0, ScrollChoiceGump::kMaxRowText));
    drawChoicePanel();
    return true;
}

void CPanelChoiceGump::drawChoicePanel()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    int32_t textWidth = 0;
    int32_t textHeight = 0;
    int32_t baseline = 0;
    measureAsciiText(kRowFont, "Aq", textWidth, textHeight, baseline);
    const int32_t height = panelRowHeight();
    const TextSurface surface = face->surface();
    for (int32_t row = 0, top = m_listRect.top; row < count() && top < m_listRect.bottom; ++row, top += height) {
        int32_t hue = m_colours[size_t(row)] ? m_colours[size_t(row)] : kDefaultRowHue;
        if (row == m_hovered || m_highlight)
            hue = kHighlightHue;
        drawAsciiText(m_listRect.left, top + baseline, kRowFont, hue, m_texts[size_t(row)].c_str(), surface, m_listRect);
    }
}

int32_t CPanelChoiceGump::rowAt(int32_t x, int32_t y) const
{
    if (!m_listRect.contains(x, y))
        return -1;
    const int32_t row = (y - m_listRect.top) / panelRowHeight();
    return row < count() ? row : -1;
}

void CPanelChoiceGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawOwnBuffer(canvas);
    drawChildren(canvas);
}

void CPanelChoiceGump::onMouseOver(int32_t x, int32_t y)
{
    service<GumpPointer>().setCursorForGumpType(0);
    bool repaint = !m_highlight;
    m_highlight = true;
    const int32_t row = rowAt(x, y);
    if (row != m_hovered) {
        m_hovered = row;
        repaint = true;
    }
    if (repaint)
        drawChoicePanel();
}

void CPanelChoiceGump::onMouseLeave()
{
    m_hovered = -1;
    m_highlight = false;
    m_click.clickPhase = 0;
    drawChoicePanel();
}

void CPanelChoiceGump::onLeftDown(int32_t x, int32_t y)
{
    if (!m_click.press(*this, x, y))
        return;
    if (CGump* listener = m_listener.get())
        listener->onControlChanged(this);
}

void CPanelChoiceGump::onLeftUp(int32_t, int32_t)
{
    m_click.pressPending = false;
    if (m_held) {
        m_held = false;
        m_click.clickPhase = 0;
    } else if (m_click.clickPhase == 2) {
        m_click.clickPhase = 0;
    }
    service<GumpPointer>().setPointerCapture(nullptr);
}

void CPanelChoiceGump::onRightUp(int32_t, int32_t) { service<GumpPointer>().setPointerCapture(nullptr); }

void CPanelChoiceGump::onHoverTick()
{
    if (m_click.hoverTick(m_held))
        choose(dragAnchorX(), dragAnchorY());
}

void CPanelChoiceGump::choose(int32_t x, int32_t y)
{
    const int32_t row = rowAt(x, y);
    if (row < 0)
        return;
    GumpHandle self(this);
    if (auto* target = static_cast<InputControl*>(m_target.get())) {
        target->setValue(m_values[size_t(row)]);
        target->setNarrowText(m_texts[size_t(row)]);
        target->kindAction();
        if (CGump* listener = m_listener.get())
            listener->onControlChanged(target);
    }
    if (!self)
        return;
    if (CGump* listener = m_listener.get())
        listener->onControlChanged(this);
}

SkillChoiceList::SkillChoiceList(CreationEventListener* listener, int32_t frameArt, int32_t width, int32_t height)
    : ScrollChoiceGump(nullptr, frameArt, 0, 0, width, height, nullptr, false, false)
    , m_events(listener)
{
    setListRect({ 20, 10, width - 20, height - 25 });
    setRowFont(kRowFont);
    redrawList();
}

void SkillChoiceList::draw(GumpCanvas& canvas)
{
    if (isVisible())
        ScrollChoiceGump::draw(canvas);
}

void SkillChoiceList::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().setPointerCapture(nullptr);
    setVisible(false);
}

void SkillChoiceList::choose(int32_t x, int32_t y)
{
    const int32_t row = rowAt(x, y, false);
    if (row < 0)
        return;
    m_chosenRow = row;
    setVisible(false);
    if (m_events)
        m_events->onCreationEvent(kChosenEvent);
}
