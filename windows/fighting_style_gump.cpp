#include "windows/fighting_style_gump.h"

#include "data/client_services.h"
#include "data/view_range.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/thumb.h"

#include <array>

namespace {

FightingStyleGump*& currentFightingStyleWindow()
{
    static FightingStyleGump* window = nullptr;
    return window;
}

// A picture button of the window: up, down and hover art.
Button* fightingStyleButton(int32_t x, int32_t y, ButtonBehaviour behaviour, int32_t initialPage, int32_t upArt,
    int32_t downArt, int32_t hoverArt, GumpCallback callback)
{
    auto* button = new Button(x, y, behaviour, initialPage, callback, upArt, downArt, false);
    button->setHoverArt(hoverArt);
    return button;
}

Thumb* fightingStyleThumb(int32_t y, int32_t value, bool visible)
{
    auto* thumb = new Thumb(FightingStyleGump::kThumbX, y, false, FightingStyleGump::kTrackEnd,
        FightingStyleGump::kThumbArt);
    thumb->setHoverArt(FightingStyleGump::kThumbHoverArt);
    thumb->setPosition(value, 100);
    thumb->setVisible(visible);
    return thumb;
}

} // namespace

FightingStyleGump::FightingStyleGump(int32_t x, int32_t y)
    : CGump(x, y, nullptr, 2, 0, 0)
{
    setTypeName("fightingstyle gump");
    addKind(GumpKind::FightingStyle);
    setArtId(kArt);
    int32_t width = 0, height = 0;
    getGumpArtSize(kArt, width, height);
    setSize(width, height);
    int32_t minimisedWidth = 0, minimisedHeight = 0;
    getGumpArtSize(kMinimisedArt, minimisedWidth, minimisedHeight);
    setMinimisedSize(minimisedWidth, minimisedHeight);
    currentFightingStyleWindow() = this;

    const std::array<uint8_t, 3>& values = warModeState().trailing;
    const bool second = values[0] == kSecondStyle;
    Thumb* thumbA = fightingStyleThumb(kThumbAY, values[1], second);
    Thumb* thumbB = fightingStyleThumb(kThumbBY, values[2], second);
    gumpLink(thumbA, this);
    gumpLink(thumbB, this);
    m_thumbA = GumpHandle(thumbA);
    m_thumbB = GumpHandle(thumbB);
    struct Nudge {
        int32_t left, top, right, bottom;
        GumpCallback callback;
    };
    const Nudge nudges[] = {
        { 81, 108, 91, 121, onParent<&FightingStyleGump::nudgeALeft> },
        { 198, 108, 206, 121, onParent<&FightingStyleGump::nudgeARight> },
        { 81, 150, 91, 164, onParent<&FightingStyleGump::nudgeBLeft> },
        { 198, 150, 206, 164, onParent<&FightingStyleGump::nudgeBRight> },
    };
    for (const Nudge& spot : nudges)
        gumpLink(Button::hotSpot(spot.left, spot.top, spot.right, spot.bottom, ButtonBehaviour::RepeatOnPress, 0,
                     spot.callback, false),
            this);
    Button* secondToggle
        = fightingStyleButton(151, 64, ButtonBehaviour::Toggle, second ? 1 : 0, 2111, 2112, 2113, nullptr);
    Button* firstToggle
        = fightingStyleButton(85, 64, ButtonBehaviour::Toggle, second ? 0 : 1, 2114, 2115, 2116, nullptr);
    gumpLink(secondToggle, this);
    gumpLink(firstToggle, this);
    m_secondToggle = GumpHandle(secondToggle);
    m_firstToggle = GumpHandle(firstToggle);
    gumpLink(Button::hotSpot(
                 254, 20, 277, 44, ButtonBehaviour::ClickOnRelease, 0, [](CGump* parent) { parent->minimize(); }, false),
        this);
    gumpLink(fightingStyleButton(25, 177, ButtonBehaviour::ClickOnRelease, 0, 2119, 2120, 2121, closeButtonParent),
        this);
    gumpLink(fightingStyleButton(
                 88, 178, ButtonBehaviour::ClickOnRelease, 0, 2122, 2123, 2124, onParent<&FightingStyleGump::apply>),
        this);
    gumpLink(fightingStyleButton(151, 177, ButtonBehaviour::ClickOnRelease, 0, 2125, 2126, 2127,
                 onParent<&FightingStyleGump::chooseFirstStyle>),
        this);
    gumpLink(fightingStyleButton(213, 177, ButtonBehaviour::ClickOnRelease, 0, 2128, 2129, 2130,
                 onParent<&FightingStyleGump::applyAndClose>),
        this);
}

FightingStyleGump::~FightingStyleGump()
{
    if (currentFightingStyleWindow() == this)
        currentFightingStyleWindow() = nullptr;
    deleteChildren();
    service<GumpPointer>().clearPointerCaptureIf(this);
}

FightingStyleGump* FightingStyleGump::current()
{
    FightingStyleGump* window = currentFightingStyleWindow();
    return window && isValidGump(window) ? window : nullptr;
}

FightingStyleGump* FightingStyleGump::restoreAt(int32_t x, int32_t y, bool minimised)
{
    // One window: a second record replaces the first.
    if (FightingStyleGump* open = current())
        closeGump(open);
    auto* window = new FightingStyleGump(minimised ? 0 : x, minimised ? 0 : y);
    if (minimised) {
        window->minimize();
        window->setLocation(x, y);
    }
    gumpLink(window, nullptr);
    return window;
}

Thumb* FightingStyleGump::thumbA() const { return static_cast<Thumb*>(m_thumbA.get()); }
Thumb* FightingStyleGump::thumbB() const { return static_cast<Thumb*>(m_thumbB.get()); }
Button* FightingStyleGump::firstStyleToggle() const { return static_cast<Button*>(m_firstToggle.get()); }
Button* FightingStyleGump::secondStyleToggle() const { return static_cast<Button*>(m_secondToggle.get()); }

bool FightingStyleGump::secondStyleChosen() const
{
    const Button* toggle = secondStyleToggle();
    return toggle && toggle->currentPage() == 1;
}

int32_t FightingStyleGump::thumbValue(const Thumb& thumb)
{
    const int32_t track = thumb.maxX() - thumb.minX();
    return track > 0 ? (thumb.x() - thumb.minX()) * 100 / track : 0;
}

void FightingStyleGump::onControlChanged(CGump* control)
{
    const bool isButton = control && control->is(GumpKind::Button);
    if (isButton && control->currentPage() == 0) {
        // A radio button is not turned off by clicking it.
        control->setCurrentPage(1);
        return;
    }
    for (CGump* child = firstChild(); child && isValidGump(child); child = child->next()) {
        if (child != control && child->is(GumpKind::Button))
            child->setCurrentPage(0);
    }
    const bool second = secondStyleChosen();
    if (Thumb* thumb = thumbA())
        thumb->setVisible(second);
    if (Thumb* thumb = thumbB())
        thumb->setVisible(second);
}

void FightingStyleGump::apply()
{
    std::array<uint8_t, 3>& values = warModeState().trailing;
    values[0] = uint8_t(secondStyleChosen() ? kSecondStyle : 0);
    values[1] = uint8_t(thumbA() ? thumbValue(*thumbA()) : 0);
    values[2] = uint8_t(thumbB() ? thumbValue(*thumbB()) : 0);
    serverRequests().sendWarMode(uint8_t(gameState().playerWarFlag() ? 1 : 0), values);
}

void FightingStyleGump::applyAndClose()
{
    apply();
    closeGump(this);
}

void FightingStyleGump::chooseFirstStyle()
{
    Button* toggle = firstStyleToggle();
    if (!toggle)
        return;
    toggle->setCurrentPage(1);
    onControlChanged(toggle);
}

void FightingStyleGump::nudge(Thumb* thumb, int32_t step)
{
    // Only the shown sliders move; the thumb is drawn where it stands next
    // frame, and the window is not told.
    if (!thumb || !thumb->isVisible())
        return;
    if ((step < 0 && thumb->x() > thumb->minX()) || (step > 0 && thumb->x() < thumb->maxX()))
        thumb->setLocation(thumb->x() + step, thumb->y());
}

void FightingStyleGump::nudgeALeft() { nudge(thumbA(), -1); }
void FightingStyleGump::nudgeARight() { nudge(thumbA(), 1); }
void FightingStyleGump::nudgeBLeft() { nudge(thumbB(), -1); }
void FightingStyleGump::nudgeBRight() { nudge(thumbB(), 1); }

void FightingStyleGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    if (!isMinimised()) {
        setArtId(kArt);
        CGump::draw(canvas);
        return;
    }
    // The minimised face alone: the controls wait for the window to open.
    setArtId(kMinimisedArt);
    int32_t x = 0, y = 0;
    localToScreen(x, y);
    drawGumpArtClipped(copySpanTransparent, kMinimisedArt, canvas.target(), &canvas.clip(), x, y);
}

bool FightingStyleGump::containsPoint(int32_t x, int32_t y)
{
    // The face hit is the one shown: the window's art, or the minimised one.
    setArtId(isMinimised() ? kMinimisedArt : kArt);
    return CGump::containsPoint(x, y);
}

void FightingStyleGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_clicks.press();
}

void FightingStyleGump::onLeftUp(int32_t, int32_t)
{
    if (m_clicks.release() == ClickEvent::Double && isMinimised()) {
        setArtId(kArt);
        restore();
    }
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void FightingStyleGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void FightingStyleGump::onHoverTick() { m_clicks.expire(); }
