#include "windows/menubar.h"

#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/toggle_control.h"
#include "windows/own_character_actions.h"

namespace {

constexpr int32_t kButtonY = 1;
constexpr int32_t kToggleX = 5;
constexpr int32_t kToggleY = 3;
constexpr int32_t kContextHelp = 7;

struct MenubarButton {
    bool wide;
    int32_t label; // a localized string, or 0 for "< ? >"
    GumpCallback action;
};

constexpr std::array<MenubarButton, Menubar::kButtonCount> kButtons { {
    { true, 3000430, [](CGump*) { own_actions::openMap(); } },
    { false, 3001020, [](CGump*) { own_actions::openPaperdoll(); } },
    { false, 3000431, [](CGump*) { own_actions::openBackpack(); } },
    { false, 3000129, [](CGump*) { own_actions::openJournal(); } },
    { true, 3000130, [](CGump*) { own_actions::requestSkills(); } },
    { true, 3000131, [](CGump*) { own_actions::openChat(); } },
    { true, 3000134, [](CGump*) { own_actions::requestHelp(); } },
    { true, 0, [](CGump*) { own_actions::openContextHelp(); } },
} };

bool isInWorld() { return service<GameSession>().isInWorld(); }

GumpHandle& currentMenubar()
{
    static GumpHandle menubar;
    return menubar;
}

} // namespace

std::array<int32_t, Menubar::kButtonCount> menubarButtonPositions(int32_t wideWidth, int32_t narrowWidth)
{
    // Each button stands right after the one before. The chat button gets a
    // place of its own instead of lying on the skills button, where it would
    // hide it; help and context help move along by its width.
    std::array<int32_t, Menubar::kButtonCount> positions {};
    int32_t x = 30;
    for (size_t i = 0; i < kButtons.size(); ++i) {
        positions[i] = x;
        x += kButtons[i].wide ? wideWidth : narrowWidth;
    }
    return positions;
}

Menubar::Menubar()
    : CGump(0, 0, nullptr, 2, kWidth, kHeight)
{
    setTypeName("menubar");
    currentMenubar() = GumpHandle(this);
    setMinimisedSize(kStubWidth, kHeight);
    page(0)->allocate(kWidth, kHeight);
    page(1)->allocate(kStubWidth, kHeight);
    drawNinePatch(kFrameArt, *page(0), true);
    drawNinePatch(kFrameArt, *page(1), true);

    int32_t wideWidth = 0, narrowWidth = 0, height = 0;
    getGumpArtSize(kWideArt, wideWidth, height);
    getGumpArtSize(kNarrowArt, narrowWidth, height);
    const auto positions = menubarButtonPositions(wideWidth, narrowWidth);
    for (size_t i = 0; i < kButtons.size(); ++i) {
        const int32_t art = kButtons[i].wide ? kWideArt : kNarrowArt;
        auto* button = new LabelButton(positions[i], kButtonY, ButtonBehaviour::ClickOnRelease, 0,
            kButtons[i].action, art, art, false);
        button->setHoverArt(art);
        if (kButtons[i].label != 0)
            button->setTextById(kButtons[i].label);
        else
            button->setText(u"< ? >");
        gumpLink(button, this);
        m_buttons[i] = GumpHandle(button);
    }
    auto* toggle = new ToggleControl(kToggleX, kToggleY, kFoldedArt, kUnfoldedArt, 1, 902, "", true, 0, 0);
    gumpLink(toggle, this);
    m_toggle = GumpHandle(toggle);
}

Menubar::~Menubar() { deleteChildren(); }

ToggleControl* Menubar::toggle() const { return static_cast<ToggleControl*>(m_toggle.get()); }

bool Menubar::isUnfolded() const { return !toggle() || toggle()->isChecked(); }

LabelButton* Menubar::button(int32_t index) const
{
    return index >= 0 && index < kButtonCount ? static_cast<LabelButton*>(m_buttons[size_t(index)].get()) : nullptr;
}

void Menubar::draw(GumpCanvas& canvas)
{
    // Nothing shows before the player is in the world.
    if (!isVisible() || !isInWorld())
        return;
    drawPage(canvas);
    if (isUnfolded()) {
        drawChildren(canvas);
    } else if (ToggleControl* box = toggle()) {
        box->draw(canvas);
    }
}

bool Menubar::lookKey(uint64_t& key)
{
    key = faceLookKey() * 4 + uint64_t(isInWorld()) * 2 + uint64_t(isUnfolded());
    return true;
}

bool Menubar::containsPoint(int32_t x, int32_t y)
{
    if (!isInWorld() || x < 0 || y < 0)
        return false;
    GumpPage* shown = page(isUnfolded() ? 0 : 1);
    if (!shown || !shown->isAllocated() || x >= shown->width || y >= shown->height)
        return false;
    return !isColourKeyed() || shown->pixel(x, y) != 0;
}

void Menubar::onLeftUp(int32_t, int32_t) { service<GumpPointer>().clearPointerCaptureIf(this); }

void Menubar::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void Menubar::onControlChanged(CGump* control)
{
    if (control != toggle())
        return;
    // Folded, the stub shows and only the toggle takes the pointer.
    setCurrentPage(isUnfolded() ? 0 : 1);
    setSize(isUnfolded() ? kWidth : kStubWidth, kHeight);
    for (const GumpHandle& handle : m_buttons) {
        if (CGump* button = handle.get())
            button->setVisible(isUnfolded());
    }
}

LabelButton* menubarHelpButton()
{
    auto* bar = static_cast<Menubar*>(currentMenubar().get());
    return bar ? bar->button(kContextHelp) : nullptr;
}
