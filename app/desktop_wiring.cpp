#include "app/desktop_wiring.h"

#include "app/game_tick.h"
#include "app/main_window.h"
#include "gump/desktop_file.h"
#include "gump/desktop_services.h"
#include "gump/generic_gump_packets.h"
#include "platform/window.h"
#include "protocol/protocol_services.h"

#include <algorithm>

namespace {

constexpr int32_t kLargestScreen = 4096;
// Room the desktop keeps for its task bar below a window that fills it.
constexpr int32_t kTaskBarRoom = 30;

class AppDesktopShell final : public DesktopShell {
public:
    void attach(MainWindow* mainWindow, platform::Window* window)
    {
        m_mainWindow = mainWindow;
        m_window = window;
    }

    bool windowGeometry(DesktopWindowGeometry& geometry) override
    {
        if (!m_mainWindow)
            return false;
        geometry.viewX = m_mainWindow->gameViewOffsetX();
        geometry.viewY = m_mainWindow->gameViewOffsetY();
        m_mainWindow->getMainWindowPos(geometry.left, geometry.top);
        geometry.screenWidth = m_mainWindow->clientWidth();
        geometry.screenHeight = m_mainWindow->clientHeight();
        geometry.maximised = m_window->isMaximised();
        return true;
    }

    bool applyWindowGeometry(const DesktopWindowGeometry& geometry) override
    {
        if (!m_mainWindow)
            return false;
        int32_t displayWidth = 0;
        int32_t displayHeight = 0;
        m_window->screenSize(displayWidth, displayHeight);
        if (!isSupportedWindowGeometry(
                geometry, m_mainWindow->gameWidth(), m_mainWindow->gameHeight(), displayWidth, displayHeight))
            return true;
        if (m_mainWindow->fullScreenActive()) {
            m_mainWindow->setGameViewOffset(0, 0);
            return true;
        }
        m_mainWindow->setGameViewOffset(geometry.viewX, geometry.viewY);
        // The window's new size comes back as a Size message, which makes
        // the back buffer again.
        m_mainWindow->setMainWindowRect(geometry.left, geometry.top, geometry.screenWidth, geometry.screenHeight);
        if (geometry.maximised)
            m_window->maximise();
        return true;
    }

    void fillWorkArea() override
    {
        if (!m_mainWindow)
            return;
        int32_t width = 0;
        int32_t height = 0;
        m_window->screenSize(width, height);
        m_mainWindow->setMainWindowRect(0, 0, width, height - kTaskBarRoom);
    }

private:
    MainWindow* m_mainWindow = nullptr;
    platform::Window* m_window = nullptr;
};

// The desktop's part of entering and leaving the world; the other steps
// (macros, world view, game area) go on to the steps installed before.
class DesktopEntrySteps final : public WorldEntrySteps {
public:
    void setNext(WorldEntrySteps* next) { m_next = next ? next : &m_base; }
    WorldEntrySteps* next() const { return m_next == &m_base ? nullptr : m_next; }

    void openDesktop() override { desktopOpen(); }
    void dockDesktopWindows() override { desktopDockRestoredWindows(); }
    void writeDesktop() override { desktopWrite(); }

    void loadMacros() override { m_next->loadMacros(); }
    void showWorldView() override { m_next->showWorldView(); }
    void hideWorldView() override { m_next->hideWorldView(); }
    void refreshSpeechEntry() override { m_next->refreshSpeechEntry(); }
    void allowWindowResize() override { m_next->allowWindowResize(); }
    void layOutGameArea() override { m_next->layOutGameArea(); }
    void showInstallNotice() override { m_next->showInstallNotice(); }
    void ensureItemPropertyWindow() override { m_next->ensureItemPropertyWindow(); }
    void invalidateWholeScreen() override { m_next->invalidateWholeScreen(); }

private:
    WorldEntrySteps m_base;
    WorldEntrySteps* m_next = &m_base;
};

AppDesktopShell& appDesktopShell()
{
    static AppDesktopShell shell;
    return shell;
}

DesktopEntrySteps& desktopEntrySteps()
{
    static DesktopEntrySteps steps;
    return steps;
}

} // namespace

bool isSupportedWindowGeometry(const DesktopWindowGeometry& geometry, int32_t gameWidth, int32_t gameHeight,
    int32_t displayWidth, int32_t displayHeight)
{
    const int32_t maxWidth = displayWidth > 0 ? std::min(displayWidth, kLargestScreen) : kLargestScreen;
    const int32_t maxHeight = displayHeight > 0 ? std::min(displayHeight, kLargestScreen) : kLargestScreen;
    if (geometry.screenWidth < gameWidth || geometry.screenWidth > std::max(maxWidth, gameWidth)
        || geometry.screenHeight < gameHeight || geometry.screenHeight > std::max(maxHeight, gameHeight))
        return false;
    return geometry.viewX >= 0 && geometry.viewY >= 0 && geometry.viewX <= geometry.screenWidth - gameWidth
        && geometry.viewY <= geometry.screenHeight - gameHeight;
}

void wireDesktop(GameTick& tick, MainWindow& mainWindow, platform::Window& window)
{
    appDesktopShell().attach(&mainWindow, &window);
    installService<DesktopShell>(&appDesktopShell());
    DesktopEntrySteps& steps = desktopEntrySteps();
    WorldEntrySteps* previous = installWorldEntrySteps(&steps);
    if (previous != &steps)
        steps.setNext(previous);
    // The step rests while nothing waits to be reopened: every stored container
    // has opened, or the player left the world, until the next layout is read.
    tick.setStep(TickStep::DesktopReopen, [] {
        if (!desktopReopenFinished())
            desktopReopenPending();
    });
    registerGenericGumpHandlers();
}

void unwireDesktop(GameTick& tick)
{
    tick.setStep(TickStep::DesktopReopen, nullptr);
    installWorldEntrySteps(desktopEntrySteps().next());
    installService<DesktopShell>(nullptr);
    appDesktopShell().attach(nullptr, nullptr);
}
