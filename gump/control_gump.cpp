#include "gump/control_gump.h"

#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"

#include <unordered_map>

namespace {

// The family's members by their gump: a parent is told of reports only
// when it is one of them.
std::unordered_map<const CGump*, ControlGump*>& familyMembers()
{
    static std::unordered_map<const CGump*, ControlGump*> members;
    return members;
}

int32_t artWidth(int32_t art) { return gumpArtSize(art).width; }
int32_t artHeight(int32_t art) { return gumpArtSize(art).height; }

// The scroll bar's button ids: the direction they scroll.
constexpr int32_t kUpId = 0;
constexpr int32_t kDownId = 1;
// The chat set's scroll bar is this much wider than its track art.
constexpr int32_t kChatBarExtraWidth = 2;

} // namespace

void tileOpaque(int32_t art, GumpPage& page, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    tileGumpArtArea(copySpan, art, page, { left, top, right, bottom }, left, top);
}

ControlGump::ControlGump(ControlSet set)
    : CGump(0, 0, nullptr, 1, 1, 1)
    , m_set(set)
{
    setTypeName("control gump");
    addKind(set == ControlSet::First ? GumpKind::ControlGump : GumpKind::ChatControl);
    page(0)->allocate(1, 1);
    familyMembers()[this] = this;
}

ControlGump::~ControlGump()
{
    familyMembers().erase(this);
    // The children may report to this gump while they go.
    deleteChildren();
}

ControlGump* controlGumpOf(CGump* gump)
{
    if (!gump || !isValidGump(gump))
        return nullptr;
    auto found = familyMembers().find(gump);
    return found == familyMembers().end() ? nullptr : found->second;
}

ControlGump* ControlGump::controlParent() const { return controlGumpOf(parent()); }

void ControlGump::notify(const std::u16string& text, CGump*)
{
    if (ControlGump* owner = controlParent())
        owner->notify(text, this);
}

void ControlGump::setScrollRange(int32_t, int32_t, int32_t) { }
bool ControlGump::submitText(const std::u16string&, CGump*) { return true; }
void ControlGump::scrollTo(int32_t, int32_t, CGump*) { }
void ControlGump::scrollStep(int32_t, CGump*) { }
void ControlGump::childClosed(CGump*) { }
void ControlGump::childClosedWithText(CGump*, const std::u16string*, const std::u16string*) { }

WString ControlGump::getTooltipText(int32_t x, int32_t y)
{
    if (m_set == ControlSet::Chat)
        return CGump::getTooltipText(x, y);
    int32_t id = tooltipId();
    if (id == kNoTooltip || id == -1) {
        if (CGump* owner = parent()) {
            localToScreen(x, y);
            owner->screenToLocal(x, y);
            return owner->getTooltipText(x, y);
        }
        id = artId();
    }
    if (id == kNoTooltip || id == -1)
        return WString();
    const WString* text = gumpTooltipText(id);
    return text ? *text : WString();
}

void ControlGump::passToParent(void (CGump::*handler)(int32_t, int32_t), int32_t x, int32_t y)
{
    CGump* owner = parent();
    if (!owner)
        return;
    localToScreen(x, y);
    owner->screenToLocal(x, y);
    (owner->*handler)(x, y);
}

void ControlGump::resizePage(int32_t width, int32_t height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    setSize(width, height);
    page(0)->allocate(width, height);
}

TextPane::TextPane(CGump* parent, ControlSet set)
    : ControlGump(set)
{
    setTypeName("text pane");
    if (parent)
        gumpLink(this, parent);
}

void TextPane::setGeometry(bool vertical, int32_t art, int32_t x, int32_t y, int32_t length)
{
    setLocation(x, y);
    if (vertical)
        resizePage(artWidth(art), length);
    else
        resizePage(length, artHeight(art));
    GumpPage& face = *page(0);
    tileOpaque(art, face, 0, 0, face.width, face.height);
}

void TextPane::onLeftDown(int32_t x, int32_t y) { passToParent(&CGump::onLeftDown, x, y); }
void TextPane::onLeftUp(int32_t x, int32_t y) { passToParent(&CGump::onLeftUp, x, y); }
void TextPane::onRightUp(int32_t x, int32_t y) { passToParent(&CGump::onRightUp, x, y); }
void TextPane::onDrag(int32_t x, int32_t y) { passToParent(&CGump::onDrag, x, y); }

void TextPane::onHoverTick()
{
    if (CGump* owner = parent())
        owner->onHoverTick();
}

void ScrollBarParts::create(CGump& bar)
{
    auto* up = new Button(0, 0, ButtonBehaviour::RepeatOnPress, 0, forwardButtonToOwner, kUpArt, kUpArt + 1, false);
    up->setId(kUpId);
    up->setPassId(true);
    gumpLink(up, &bar);
    auto* down
        = new Button(0, 0, ButtonBehaviour::RepeatOnPress, 0, forwardButtonToOwner, kDownArt, kDownArt + 1, false);
    down->setId(kDownId);
    down->setPassId(true);
    gumpLink(down, &bar);
    m_up = GumpHandle(up);
    m_down = GumpHandle(down);
}

void ScrollBarParts::placeChildren(CGump& bar, int32_t height)
{
    Button* up = upButton();
    Button* down = downButton();
    const int32_t downHeight = down ? down->height() : 0;
    if (down)
        down->setLocation(0, height - downHeight);
    closeGump(m_thumb.get());
    auto* thumb = new Thumb(0, up ? up->height() : 0, true, height - downHeight, kThumbArt);
    gumpLink(thumb, &bar);
    m_thumb = GumpHandle(thumb);
}

void ScrollBarParts::setThumbPosition(int32_t position, int32_t range)
{
    if (Thumb* knob = thumb())
        knob->setPosition(position, range == 0 ? 1 : range);
}

void ScrollBarParts::trackPress(CGump&, int32_t x, int32_t y)
{
    Thumb* knob = thumb();
    Button* button = knob && y < knob->y() ? upButton() : downButton();
    if (!button)
        button = upButton();
    m_pressedButton = GumpHandle(button);
    m_pressed = true;
    if (button)
        button->onLeftDown(x - button->x(), y - button->y());
}

void ScrollBarParts::trackRelease(CGump& bar, int32_t x, int32_t y)
{
    m_pressed = false;
    service<GumpPointer>().clearPointerCaptureIf(&bar);
    if (CGump* button = m_pressedButton.get())
        button->onLeftUp(x - button->x(), y - button->y());
}

void ScrollBarParts::hoverTick()
{
    if (m_pressed) {
        if (CGump* button = m_pressedButton.get())
            button->onHoverTick();
    }
}

ScrollBar::ScrollBar(CGump* parent, ControlSet set)
    : ControlGump(set)
{
    setTypeName("scroll bar");
    m_parts.create(*this);
    if (parent)
        gumpLink(this, parent);
}

void ScrollBar::setGeometry(int32_t x, int32_t y, int32_t height)
{
    setLocation(x, y);
    const int32_t width = artWidth(ScrollBarParts::kTrackArt) + (controlSet() == ControlSet::Chat ? kChatBarExtraWidth : 0);
    resizePage(width, height);
    GumpPage& face = *page(0);
    tileOpaque(ScrollBarParts::kTrackArt, face, 0, 0, face.width, face.height);
    m_parts.placeChildren(*this, height);
}

void ScrollBar::setThumbPosition(int32_t position, int32_t range) { m_parts.setThumbPosition(position, range); }

void ScrollBar::onLeftDown(int32_t x, int32_t y) { m_parts.trackPress(*this, x, y); }
void ScrollBar::onLeftUp(int32_t x, int32_t y) { m_parts.trackRelease(*this, x, y); }
void ScrollBar::onHoverTick() { m_parts.hoverTick(); }
void ScrollBar::onRightUp(int32_t x, int32_t y) { passToParent(&CGump::onRightUp, x, y); }
void ScrollBar::onDrag(int32_t x, int32_t y) { passToParent(&CGump::onDrag, x, y); }

void ScrollBar::onCommand(int32_t id)
{
    if (ControlGump* owner = controlParent())
        owner->scrollStep(id, this);
}

void ScrollBar::onSlider(int32_t position, int32_t range, CGump*)
{
    if (ControlGump* owner = controlParent())
        owner->scrollTo(position, range, this);
}

ScrollBarGump::ScrollBarGump(CGump* parent, ScrollBarGumpOwner* owner)
    : CGump(0, 0, nullptr, 1, 1, 1)
    , m_owner(owner)
{
    setTypeName("scroll bar gump");
    page(0)->allocate(1, 1);
    m_parts.create(*this);
    if (parent)
        gumpLink(this, parent);
}

void ScrollBarGump::setGeometry(int32_t x, int32_t y, int32_t height)
{
    setLocation(x, y);
    const int32_t width = std::max(artWidth(kTopArt), 1);
    height = std::max(height, 1);
    setSize(width, height);
    GumpPage& face = *page(0);
    face.allocate(width, height);
    const int32_t top = artHeight(kTopArt);
    const int32_t bottom = artHeight(kBottomArt);
    drawGumpArt(copySpan, kTopArt, face.target(), 0, 0);
    tileOpaque(ScrollBarParts::kTrackArt, face, 0, top, width, height - bottom);
    drawGumpArt(copySpan, kBottomArt, face.target(), 0, height - bottom);
    m_parts.placeChildren(*this, height);
}

void ScrollBarGump::onLeftDown(int32_t x, int32_t y) { m_parts.trackPress(*this, x, y); }
void ScrollBarGump::onLeftUp(int32_t x, int32_t y) { m_parts.trackRelease(*this, x, y); }
void ScrollBarGump::onHoverTick() { m_parts.hoverTick(); }

void ScrollBarGump::onCommand(int32_t id)
{
    if (m_owner)
        m_owner->onScrollArrow(id, this);
}

void ScrollBarGump::onSlider(int32_t position, int32_t range, CGump*)
{
    if (m_owner)
        m_owner->onScrollThumb(position, range, this);
}
