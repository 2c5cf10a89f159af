#include "app/gump_desktop.h"

#include "app/pointer.h"
#include "data/settings_registry.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/property_cache.h"
#include "platform/virtual_keys.h"
#include "windows/help_text_popup.h"
#include "windows/window_packets.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <algorithm>

namespace {

constexpr uint32_t kMinimumToolTipDelayMs = 100;

CGump* focusedGump() { return gumpFocus(); }

} // namespace

void readGumpSettings(GumpSettings& settings)
{
    const SettingsRegistry& registry = ::settings();
    settings.useToolTips = registry.getBoolSetting(u"UseToolTips") != 0;
    settings.toolTipPreDelayMs = uint32_t(
        std::max<int32_t>(registry.getIntSetting(u"ToolTipPreDelay"), int32_t(kMinimumToolTipDelayMs)));
    settings.disableMenubar = registry.getBoolSetting(u"DisableMenubar") != 0;
    settings.offsetGumps = registry.getBoolSetting(u"OffsetGumps") != 0;
    settings.autoArrangeMinimized = registry.getBoolSetting(u"AutoArrangeMinimized") != 0;
    const int32_t mode = itemPropsModeFor(registry.getStringSetting(u"ItemPropsMode"));
    if (mode >= 0)
        settings.itemPropsMode = mode;
}

// The mouse-button code's view of the gump list (and, through PointerWorld,
// of what lies outside it).
class GumpDesktop::Targets final : public PointerTargets {
public:
    explicit Targets(platform::Window& window)
        : m_window(window)
    {
    }

    bool isValid(CGump* gump) override { return isValidGump(gump); }
    void toLocal(CGump* gump, int32_t& x, int32_t& y) override
    {
        if (isValidGump(gump))
            gump->screenToLocal(x, y);
    }
    CGump* parentOf(CGump* gump) override { return isValidGump(gump) ? gump->parent() : nullptr; }
    CGump* hitTest(int32_t x, int32_t y, GumpHitMode mode) override
    {
        return gumpHitTest(x, y, nullptr, mode == GumpHitMode::SkipBarks);
    }
    CGump* modalGump() override { return gumpModal(); }
    std::vector<CGump*> topLevelGumps() override
    {
        std::vector<CGump*> gumps;
        for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next())
            gumps.push_back(gump);
        return gumps;
    }
    bool isVisible(CGump* gump) override { return isValidGump(gump) && gump->isVisible(); }
    bool containsPoint(CGump* gump, int32_t x, int32_t y) override
    {
        if (!isValidGump(gump))
            return false;
        gump->screenToLocal(x, y);
        return gump->containsPoint(x, y);
    }
    bool isBark(CGump* gump) override
    {
        return isValidGump(gump) && gump->is(GumpKind::OverheadText) && !gump->is(GumpKind::EquipInfo);
    }
    CGump* childAt(CGump* gump, int32_t x, int32_t y) override
    {
        if (!isValidGump(gump))
            return nullptr;
        gump->screenToLocal(x, y);
        return gump->findChildAt(x, y, nullptr);
    }
    bool wantsLeaveNotice(CGump* gump) override { return isValidGump(gump) && gump->wantsLeaveNotice(); }
    uint32_t containerItemAt(CGump* gump, int32_t x, int32_t y) override
    {
        return isValidGump(gump) && gump->is(GumpKind::ContainerGump) ? gump->itemSerialAt(x, y) : 0;
    }
    CGump* hoveredGump() override { return gumpHovered(); }
    void setHoveredGump(CGump* gump) override { gumpSetHovered(gump); }

    void leftDown(CGump* gump, int32_t x, int32_t y) override { gump->onLeftDown(x, y); }
    void leftUp(CGump* gump, int32_t x, int32_t y) override { gump->onLeftUp(x, y); }
    void rightDown(CGump* gump, int32_t x, int32_t y) override { gump->onRightDown(x, y); }
    void rightUp(CGump* gump, int32_t x, int32_t y) override { gump->onRightUp(x, y); }
    void drag(CGump* gump, int32_t x, int32_t y) override { gump->onDrag(x, y); }
    void mouseOver(CGump* gump, int32_t x, int32_t y) override { gump->onMouseOver(x, y); }
    void mouseLeave(CGump* gump) override { gump->onMouseLeave(); }
    void hoverTick(CGump* gump) override { gump->onHoverTick(); }

    CGump* helpPopup() override { return service<PointerWorld>().helpPopup(); }
    void helpPopupRect(int32_t& left, int32_t& top, int32_t& width, int32_t& height) override
    {
        service<PointerWorld>().helpPopupRect(left, top, width, height);
    }
    void closeHelpPopup() override { service<PointerWorld>().closeHelpPopup(); }
    void closeContextPopupUnlessOn(int32_t x, int32_t y) override
    {
        service<PointerWorld>().closeContextPopupUnlessOn(x, y);
    }
    uint32_t pickDynamicObjectAt(int32_t x, int32_t y) override
    {
        return service<PointerWorld>().pickDynamicObjectAt(x, y);
    }
    WorldObject* pickHoverItem(int32_t x, int32_t y) override { return service<PointerWorld>().pickHoverItem(x, y); }
    bool isValidObject(WorldObject* object) override { return service<PointerWorld>().isValidObject(object); }
    uint32_t serialOf(WorldObject* object) override { return service<PointerWorld>().serialOf(object); }
    void sendObjectHelpRequest(uint32_t serial) override { ::sendObjectHelpRequest(serial); }
    CGump* highlightedWindow() override { return service<PointerWorld>().highlightedWindow(); }
    void clearHighlight() override { service<PointerWorld>().clearHighlight(); }

    bool isShiftHeld() override { return m_window.isKeyHeld(platform::vk::kShift); }

private:
    platform::Window& m_window;
};

// The pointer and the capture as the gump framework asks for them.
class GumpDesktop::Pointer final : public GumpPointer {
public:
    Pointer(platform::Window& window, MouseButtons& buttons)
        : m_window(window)
        , m_buttons(buttons)
    {
    }

    void setPointerCapture(CGump* gump) override { m_buttons.setPointerCapture(gump); }
    void clearPointerCaptureIf(CGump* gump) override { m_buttons.releasePointerCaptureIf(gump); }
    CGump* pointerCapture() override { return m_buttons.captureGump(); }
    // The mouse-button code keeps the pressed object's serial, not a gump.
    void forgetPressedGump(CGump*) override { }
    void pointerPosition(int32_t& x, int32_t& y) override { getPointerPosition(x, y); }
    void pressPosition(int32_t& x, int32_t& y) override { m_buttons.getPressPosition(x, y); }
    void cursorOffsets(int32_t& first, int32_t& second) override { getCursorImageSize(first, second); }
    void setCursorKind(int32_t kind) override { ::setCursorKind(kind); }
    void setCursorForGumpType(int32_t code) override { ::setCursorForGumpType(code); }
    void beginBusyCursor() override { ::beginBusyCursor(); }
    void endBusyCursor() override { ::endBusyCursor(); }
    bool isControlHeld() override { return m_window.isKeyHeld(platform::vk::kControl); }
    bool isShiftHeld() override { return m_window.isKeyHeld(platform::vk::kShift); }
    bool isAltHeld() override { return m_window.isKeyHeld(platform::vk::kAlt); }
    int32_t pointerDirection(bool ignoreBounds) override { return getPointerDirection(ignoreBounds); }
    uint32_t pressedObjectSerial() override { return m_buttons.getPressedObject(); }
    bool isButtonHeld() override { return m_buttons.leftButtonDown() || m_buttons.rightButtonDown(); }

private:
    platform::Window& m_window;
    MouseButtons& m_buttons;
};

// The present step, reached from the composition.
class GumpDesktop::Presenter final : public GumpPresenter {
public:
    Presenter(WindowPresenter& presenter, PresentKind& kind)
        : m_presenter(presenter)
        , m_kind(kind)
    {
    }
    void presentBackBuffer(const ScreenRect&) override
    {
        // The present copies only what changed: the gumps drawn now and where
        // gumps were drawn before.
        for (const ScreenRect& rect : gumpChangedScreenRects())
            m_presenter.backBuffer().markPictureChanged(rect);
        m_presenter.present(m_kind);
    }

private:
    WindowPresenter& m_presenter;
    PresentKind& m_kind;
};

// What the property-list requests ask of the desktop: no request goes out
// while a pointer button is held, and the strength requirement lines compare
// with the player's strength as its status last gave it. The windows that
// show the lists are the game windows' services, installed in front.
class GumpDesktop::PropertyLists final : public PropertyListWindows {
public:
    explicit PropertyLists(const MouseButtons& buttons)
        : m_buttons(buttons)
    {
    }
    bool isPointerHeld() override { return m_buttons.leftButtonDown() || m_buttons.rightButtonDown(); }
    bool isListedByShop(uint32_t) override { return false; }
    void propertyListArrived(uint32_t) override { }
    int32_t playerStrength() override
    {
        const PlayerMobile* self = player();
        return self ? self->rememberedStats[0] : -1;
    }

private:
    const MouseButtons& m_buttons;
};

GumpDesktop::GumpDesktop(platform::Window& window, MainWindow& mainWindow, WindowPresenter& presenter)
    : m_window(window)
    , m_mainWindow(mainWindow)
    , m_presenter(presenter)
    , m_targets(std::make_unique<Targets>(window))
    , m_buttons(*m_targets)
    , m_pointer(std::make_unique<Pointer>(window, m_buttons))
    , m_gumpPresenter(std::make_unique<Presenter>(presenter, m_presentKind))
    , m_propertyLists(std::make_unique<PropertyLists>(m_buttons))
{
    m_previousPropertyLists = installService<PropertyListWindows>(m_propertyLists.get());
    installService<GumpPointer>(m_pointer.get());
    installService<GumpPresenter>(m_gumpPresenter.get());
    gumpSystemStartup();
    readGumpSettings(gumpSettings());
    backBufferRecreated();
}

GumpDesktop::~GumpDesktop()
{
    // The gumps go while the services their destructors call still live.
    gumpSystemShutdown();
    gumpAttachBackBuffer(nullptr);
    installService<GumpPresenter>(nullptr);
    installService<GumpPointer>(nullptr);
    installService<PropertyListWindows>(m_previousPropertyLists);
}

void GumpDesktop::wireWindowServices(WindowServices& services, std::unique_ptr<GumpDesktop>& desktop)
{
    auto route = [&desktop](void (MouseButtons::*handler)(int32_t, int32_t)) {
        return [&desktop, handler](int32_t x, int32_t y) {
            if (desktop)
                (desktop->m_buttons.*handler)(x, y);
        };
    };
    services.leftButtonDown = route(&MouseButtons::onLeftButtonDown);
    services.leftButtonUp = route(&MouseButtons::onLeftButtonUp);
    services.rightButtonDown = route(&MouseButtons::onRightButtonDown);
    services.rightButtonUp = route(&MouseButtons::onRightButtonUp);
    services.hasFocusedGump = [] { return focusedGump() != nullptr; };
    services.isFocusedGumpSingleLineEntry = [] {
        CGump* focus = focusedGump();
        return focus && (focus->is(GumpKind::InputControl) || focus->is(GumpKind::UnicodeInputControl));
    };
    services.sendKeyToFocusedGump = [](uint32_t code) {
        if (CGump* focus = focusedGump())
            focus->onKey(code);
    };
}

void GumpDesktop::syncScreen()
{
    GumpScreen screen;
    BackBuffer& buffer = m_presenter.backBuffer();
    screen.width = buffer.exists() ? buffer.width() : m_mainWindow.clientWidth();
    screen.height = buffer.exists() ? buffer.height() : m_mainWindow.clientHeight();
    screen.gameViewX = m_mainWindow.gameViewOffsetX();
    screen.gameViewY = m_mainWindow.gameViewOffsetY();
    screen.gameWidth = m_mainWindow.gameWidth();
    screen.gameHeight = m_mainWindow.gameHeight();
    gumpSetScreen(screen);
}

void GumpDesktop::backBufferRecreated()
{
    gumpAttachBackBuffer(&m_presenter.backBuffer());
    gumpBackBufferRecreated();
    syncScreen();
    // The game area stays inside the client area, whatever its new size.
    int32_t viewX = m_mainWindow.gameViewOffsetX();
    int32_t viewY = m_mainWindow.gameViewOffsetY();
    if (clampGameViewOffset(viewX, viewY, gumpScreen())) {
        m_mainWindow.setGameViewOffset(viewX, viewY);
        m_presenter.backBuffer().invalidateWholeScreen();
        syncScreen();
    }
    composeAndPresent(PresentKind::Always);
}

void GumpDesktop::updatePointerStep()
{
    // The hover help follows the help popups' values in use.
    const HelpPopupSettings& popups = helpPopupSettings();
    HoverHelpSettings& hover = m_buttons.hoverHelpSettings();
    hover.enabled = popups.enabled;
    hover.preDelayMs = popups.preDelayMs;
    hover.sticky = popups.sticky;
    hover.persistent = popups.persistent;
    // A running pointer timer asks for its own presents as the pointer moves
    // (a frame each would be the same picture twice).
    if (!pointerTimerRunning() && pointerNeedsRedraw())
        composeAndPresent(PresentKind::IfChanged);
    m_buttons.updatePointer();
}

void GumpDesktop::managerUpdateStep() { gumpManagerUpdate(); }

void GumpDesktop::composeAndPresent(PresentKind kind)
{
    syncScreen();
    m_presentKind = kind;
    // Only where the frame may differ from the one shown, unless the whole
    // picture goes out anyway.
    m_beneath.clear();
    if (kind == PresentKind::IfChanged && m_presenter.changesSinceShown(m_beneath)) {
        gumpRedrawChanged(m_beneath);
    } else {
        const GumpScreen& screen = gumpScreen();
        gumpRedrawRect({ 0, 0, screen.width, screen.height }, true);
    }
    m_presentKind = PresentKind::IfChanged;
}
