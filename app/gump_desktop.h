#pragma once
// The gump desktop in the running program: it starts the gump system on the
// program's back buffer, routes the main window's mouse buttons (through
// MouseButtons) and keys to the gumps, runs the pointer and gump-manager
// steps of the tick, and composes the gumps over the back buffer for every
// present. The gump framework reaches the pointer and the present step
// through the services this object installs for its life. Main thread only.

#include "app/frame_present.h"
#include "app/main_window.h"
#include "app/mouse_buttons.h"
#include "core/installed_service.h"

#include <cstdint>
#include <memory>
#include <vector>

class CGump;
class PropertyListWindows;
class WorldObject;
struct GumpSettings;

// The side of the pointer's targets that is not the gump list: the help-text
// popup, the context popup, the world under the pointer and the highlighted
// window. Answers "none" until those exist.
class PointerWorld {
public:
    virtual ~PointerWorld() = default;
    virtual CGump* helpPopup() = 0;
    virtual void helpPopupRect(int32_t& left, int32_t& top, int32_t& width, int32_t& height) = 0;
    virtual void closeHelpPopup() = 0;
    virtual void closeContextPopupUnlessOn(int32_t x, int32_t y) = 0;
    virtual uint32_t pickDynamicObjectAt(int32_t x, int32_t y) = 0;
    virtual WorldObject* pickHoverItem(int32_t x, int32_t y) = 0;
    virtual bool isValidObject(WorldObject* object) = 0;
    virtual uint32_t serialOf(WorldObject* object) = 0;
    virtual CGump* highlightedWindow() = 0;
    virtual void clearHighlight() = 0;
};

class NoPointerWorld final : public PointerWorld {
public:
    CGump* helpPopup() override { return nullptr; }
    void helpPopupRect(int32_t& left, int32_t& top, int32_t& width, int32_t& height) override
    {
        left = top = width = height = 0;
    }
    void closeHelpPopup() override { }
    void closeContextPopupUnlessOn(int32_t, int32_t) override { }
    uint32_t pickDynamicObjectAt(int32_t, int32_t) override { return 0; }
    WorldObject* pickHoverItem(int32_t, int32_t) override { return nullptr; }
    bool isValidObject(WorldObject*) override { return false; }
    uint32_t serialOf(WorldObject*) override { return 0; }
    CGump* highlightedWindow() override { return nullptr; }
    void clearHighlight() override { }
};

template <>
struct ServiceFallback<PointerWorld> {
    using Type = NoPointerWorld;
};

// The framework's settings as the settings files give them.
void readGumpSettings(GumpSettings& settings);

class GumpDesktop {
public:
    GumpDesktop(platform::Window& window, MainWindow& mainWindow, WindowPresenter& presenter);
    ~GumpDesktop();
    GumpDesktop(const GumpDesktop&) = delete;
    GumpDesktop& operator=(const GumpDesktop&) = delete;

    // The main window's routes into the desktop: mouse buttons and keys.
    // The lambdas look the desktop up through `desktop` when they run, so
    // they may be wired before it exists.
    static void wireWindowServices(WindowServices& services, std::unique_ptr<GumpDesktop>& desktop);

    // The tick's input step: the pointer is shown where it moved, then the
    // gumps under it and holding it are told (hover, drag, hover ticks).
    void updatePointerStep();
    // The tick's gump-manager step.
    void managerUpdateStep();
    // Composes the gumps where the frame may differ from the one shown (over
    // the whole client area when the whole picture goes out) and presents
    // it; the back buffer holds the world alone again afterwards.
    void composeAndPresent(PresentKind kind);
    // After the back buffer was made again for a new client size.
    void backBufferRecreated();

    MouseButtons& mouseButtons() { return m_buttons; }

private:
    class Targets;
    class Pointer;
    class Presenter;
    class PropertyLists;

    void syncScreen();

    platform::Window& m_window;
    MainWindow& m_mainWindow;
    WindowPresenter& m_presenter;
    std::unique_ptr<Targets> m_targets;
    MouseButtons m_buttons;
    std::unique_ptr<Pointer> m_pointer;
    std::unique_ptr<Presenter> m_gumpPresenter;
    std::unique_ptr<PropertyLists> m_propertyLists;
    PresentKind m_presentKind = PresentKind::IfChanged;
    PropertyListWindows* m_previousPropertyLists = nullptr;
    // What changed beneath the gumps since the frame shown (kept for its
    // storage).
    std::vector<ScreenRect> m_beneath;
};
