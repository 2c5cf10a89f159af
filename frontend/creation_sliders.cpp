#include "frontend/creation_sliders.h"

#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"

#include <algorithm>

namespace {

void releaseCapture() { service<GumpPointer>().setPointerCapture(nullptr); }

} // namespace

SliderGump::SliderGump()
    : CGump(0, 0, nullptr, 1, 0, 0)
{
    setTypeName("slidergump");
    const GumpArtSize left = gumpArtSize(kLeftArt);
    const GumpArtSize middle = gumpArtSize(kMiddleArt);
    const GumpArtSize right = gumpArtSize(kRightArt);
    setSize(left.width + 3 * middle.width + right.width, middle.height);
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    if (face.isAllocated()) {
        drawGumpArt(copySpanTransparent, kLeftArt, face.target(), 0, 0);
        for (int32_t i = 0; i < 3; ++i)
            drawGumpArt(copySpanTransparent, kMiddleArt, face.target(), left.width + i * middle.width, 0);
        drawGumpArt(copySpanTransparent, kRightArt, face.target(), left.width + 3 * middle.width, 0);
    }
    m_knobWidth = gumpArtSize(kKnobArt).width;
    m_knob = new SliderKnob(*this);
    gumpLink(m_knob, this);
}

void SliderGump::setRange(int32_t minimum, int32_t maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_value = std::clamp(m_value, m_minimum, m_maximum);
}

void SliderGump::setValue(int32_t value) { m_value = std::clamp(value, m_minimum, m_maximum); }

void SliderGump::placeKnob()
{
    // A maximum of 0 leaves the knob at the start of the track.
    const int32_t x = m_maximum > 0 ? (kTrackLength - m_knobWidth) * m_value / m_maximum : 0;
    m_knob->setLocation(x, m_knob->y());
}

void SliderGump::onKnobMoved(int32_t x)
{
    const int32_t track = kTrackLength - m_knobWidth;
    // A knob as wide as the track has nowhere to go: the value stays put.
    if (track <= 0)
        return;
    m_value = std::clamp(m_minimum + (m_maximum - m_minimum) * x / track, m_minimum, m_maximum);
    if (m_group)
        m_group->onSliderMoved(m_kind);
}

void SliderGump::onLeftDown(int32_t, int32_t) { releaseCapture(); }

void SliderGump::onLeftUp(int32_t, int32_t) { releaseCapture(); }

SliderKnob::SliderKnob(SliderGump& slider)
    : CGump(0, 0, nullptr, 1, 0, 0)
    , m_slider(slider)
{
    setTypeName("slidergump");
    const GumpArtSize size = gumpArtSize(SliderGump::kKnobArt);
    setSize(size.width, size.height);
    GumpPage& face = *page(0);
    face.allocate(size.width, size.height);
    if (face.isAllocated())
        drawGumpArt(copySpanTransparent, SliderGump::kKnobArt, face.target(), 0, 0);
}

void SliderKnob::onLeftDown(int32_t x, int32_t y)
{
    m_dragging = true;
    setDragAnchor(x, y);
    service<GumpPointer>().setPointerCapture(this);
}

void SliderKnob::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    releaseCapture();
}

void SliderKnob::onDrag(int32_t x, int32_t y)
{
    if (!m_dragging)
        return;
    const int32_t newX = std::clamp(this->x() + (x - dragAnchorX()), 0, std::max(0, m_slider.width() - width()));
    const int32_t newY = std::clamp(this->y(), 0, std::max(0, m_slider.height()));
    (void)y;
    const bool moved = newX != this->x();
    setLocation(newX, newY);
    if (moved)
        m_slider.onKnobMoved(newX);
}

SliderGroup::SliderGroup(int32_t total, int32_t fillTarget, int32_t eventCode, CreationEventListener* listener)
    : m_total(total)
    , m_fillTarget(fillTarget)
    , m_eventCode(eventCode)
    , m_listener(listener)
{
}

void SliderGroup::addMember(SliderGump* slider)
{
    m_members.push_back(slider);
    slider->setGroup(this);
}

int32_t SliderGroup::sum() const
{
    int32_t total = 0;
    for (const SliderGump* member : m_members)
        total += member->value();
    return total;
}

void SliderGroup::onSliderMoved(int32_t kind)
{
    auto found = std::find_if(m_members.begin(), m_members.end(), [kind](SliderGump* s) { return s->kind() == kind; });
    if (found == m_members.end())
        return;
    redistribute(**found);
    if (m_listener)
        m_listener->onCreationEvent(m_eventCode);
    m_lastMovedKind = kind;
}

void SliderGroup::pass(SliderGump& moved)
{
    std::vector<SliderGump*> others;
    for (SliderGump* member : m_members)
        if (member != &moved)
            others.push_back(member);
    // The passes need two others; other group sizes do not occur.
    if (others.size() < 2)
        return;
    const int32_t d = sum() - m_total;
    if (d == 0)
        return;
    SliderGump& first = *others[0];
    SliderGump& second = *others[1];
    const int32_t a = first.value();
    const int32_t b = second.value();
    int32_t h = d / 2;
    int32_t r = d - h;
    // A's limits serve the checks on both: the members of a group share them.
    const int32_t lo = first.minimum();
    const int32_t hi = first.maximum();
    if (a - h < lo) {
        const int32_t k = lo - (a - h);
        h -= k;
        r += k;
    }
    if (b - r < lo) {
        const int32_t k = lo - (b - r);
        r -= k;
        h += k;
    }
    if (a - h > hi) {
        const int32_t k = (a - h) - hi;
        h += k;
        r -= k;
    }
    if (b - r > hi) {
        const int32_t k = (b - r) - hi;
        r += k;
        h -= k;
    }
    first.setValue(a - h);
    second.setValue(b - r);
    first.placeKnob();
    second.placeKnob();
}

void SliderGroup::redistribute(SliderGump& moved)
{
    pass(moved);
    pass(moved);
    const int32_t shortfall = m_fillTarget - sum();
    if (shortfall > 0) {
        for (SliderGump* member : m_members) {
            if (member == &moved || member->maximum() - member->value() < shortfall)
                continue;
            member->setValue(member->value() + shortfall);
            break;
        }
    }
    for (SliderGump* member : m_members)
        member->placeKnob();
}

SimpleButton::SimpleButton()
    : CGump(0, 0, nullptr, 1, 0, 0)
{
    setTypeName("Simple button");
}

void SimpleButton::setArts(int32_t normalArt, int32_t hoverArt, int32_t pressedArt)
{
    m_normalArt = normalArt;
    m_hoverArt = hoverArt;
    m_pressedArt = pressedArt;
}

void SimpleButton::setListener(CreationEventListener* listener, int32_t eventCode)
{
    m_listener = listener;
    m_eventCode = eventCode;
}

int32_t SimpleButton::currentArt() const
{
    if (m_pressed)
        return m_pressedArt;
    return m_hovered ? m_hoverArt : m_normalArt;
}

void SimpleButton::paintFace()
{
    GumpPage* face = page(0);
    if (!face)
        return;
    face->allocate(width(), height());
    if (face->isAllocated())
        drawGumpArt(copySpanTransparent, currentArt(), face->target(), 10, 7);
}

void SimpleButton::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    if (!screenRect().intersected(canvas.clip()).isEmpty()) {
        int32_t x = 0;
        int32_t y = 0;
        localToScreen(x, y);
        drawGumpArtClipped(copySpanTransparent, currentArt(), canvas.target(), &canvas.clip(), x, y);
    }
}

void SimpleButton::onLeftDown(int32_t, int32_t)
{
    m_pressed = true;
    paintFace();
}

void SimpleButton::onLeftUp(int32_t, int32_t)
{
    m_pressed = false;
    releaseCapture();
    paintFace();
    if (m_listener)
        m_listener->onCreationEvent(m_eventCode);
}
