#include "app/client_entry.h"

#include "app/client_scenario.h"
#include "app/command_line.h"
#include "app/cursor_art.h"
#include "app/desktop_display.h"
#include "app/desktop_wiring.h"
#include "app/frame_present.h"
#include "app/frame_render.h"
#include "app/front_end_wiring.h"
#include "app/game_tick.h"
#include "app/game_windows_wiring.h"
#include "app/gump_controls_wiring.h"
#include "app/gump_desktop.h"
#include "app/hardware_survey.h"
#include "app/lifecycle_services.h"
#include "app/macro_wiring.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/messenger_wiring.h"
#include "messenger/context_help_window.h"
#include "messenger/help_index.h"
#include "app/mobile_wiring.h"
#include "app/network_wiring.h"
#include "app/pointer.h"
#include "app/post_patch_startup.h"
#include "app/service_defaults.h"
#include "app/settings_wiring.h"
#include "app/sound_startup.h"
#include "app/speech_wiring.h"
#include "app/startup_cleanups.h"
#include "app/walking_effects_wiring.h"
#include "app/world_view_wiring.h"
#include "app/world_wiring.h"
#include "audio/music_player.h"
#include "core/error_report.h"
#include "core/exit_started.h"
#include "core/message_boxes.h"
#include "core/text_console.h"
#include "data/client_file_path.h"
#include "data/client_services.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/data_files.h"
#include "data/def_tables.h"
#include "data/file_manager.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "data/skill_names.h"
#include "data/targeting.h"
#include "data/view_range.h"
#include "frontend/front_end_wiring.h"
#include "frontend/igr_sessions.h"
#include "gump/desktop_file.h"
#include "gump/gump_manager.h"
#include "gfx/colour_tables.h"
#include "gfx/hue_table.h"
#include "housing/house_design_services.h"
#include "mahjong/mahjong_board_gump.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "platform/ascii_text.h"
#include "platform/clock.h"
#include "platform/close_signals.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/instance_marker.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "platform/process_info.h"
#include "platform/window.h"
#include "protocol/protocol_services.h"
#include "protocol/target_cursor.h"
#include "text/ascii_font.h"
#include "text/localization.h"
#include "text/unicode_font.h"
#include "world/anim_data.h"
#include "world/body_tables.h"
#include "world/def_table_world.h"
#include "windows/board_parts_windows.h"
#include "windows/game_area_edges.h"
#include "windows/overhead_text.h"
#include "windows/speech_entry.h"
#include "world/tile_data.h"
#include "world/walking.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr size_t kMaxLauncherNameLength = 192;
constexpr int kRefusalExitCode = 1;

const char* const kColourModeText
    = "ERROR: Vardun Online requires that Windows be in 16-bit color mode in order to run.\n\n"
      "Please go to the Windows Display Settings in the Control Panel and change the color setting before "
      "attempting to run VO.";

struct StartupState {
    bool initialised = false;
    std::optional<Palette> palette;
    std::string launcherName;
    uint32_t mapFileMask = 0;
};

StartupState& startupState()
{
    static StartupState state;
    return state;
}

[[noreturn]] void refuseToStart(const char* caption, const char* text)
{
    platform::showMessageBox(caption, text, platform::MessageBoxIcon::Error);
    platform::immediateExit(kRefusalExitCode);
}

// A second copy is refused before anything is opened or mapped: both copies
// would otherwise write the same per-character files and the same cache file.
std::unique_ptr<platform::InstanceMarker> claimSingleInstance()
{
    bool existedBefore = false;
    std::unique_ptr<platform::InstanceMarker> marker = platform::InstanceMarker::acquire("VoClientApp", existedBefore);
    if (!marker) {
        refuseToStart("ERROR",
            existedBefore ? "Another instance of VO is already running."
                          : "Another instance of VO may already be running.");
    }
    if (platform::InstanceMarker::probe("VoPatchApp"))
        refuseToStart("ERROR", "An instance of VO Patch is already running.");
    return marker;
}

void recordLauncherName()
{
    std::string name = platform::parentProcessName();
    if (name.size() > kMaxLauncherNameLength)
        name.resize(kMaxLauncherNameLength);
    startupState().launcherName = name;
}

void initStartupState()
{
    StartupState& state = startupState();
    if (state.initialised)
        return;
    state.initialised = true;
    installOutOfMemoryHandler();
    gameTick().gameClock() = GameClock {};
    // Game-room mode changes what the account login sends.
    igrSessionManager().loadRegistryValues();
    readStartupSettings();
    state.mapFileMask = computeMapFileMask();
}

void releaseStartupState()
{
    releaseSettingsStartupState();
    startupState().initialised = false;
}

// The death fade's text, in the middle of the game area.
void showDeathText()
{
    BarkGump* text = makeBarkGump(nullptr, "You are dead.", 0, 3);
    if (!text)
        return;
    const GumpScreen& screen = gumpScreen();
    int32_t x = 0;
    int32_t y = 0;
    centreInGameArea(screen.gameWidth, screen.gameHeight, text->width(), text->height(), x, y);
    text->moveTo(x, y, true, nullptr, false);
}

} // namespace

uint32_t computeMapFileMask()
{
    uint32_t mask = 0;
    for (uint32_t facet = 0; facet < 16; ++facet) {
        // Facet 1 shares the map file of facet 0.
        if (facet == 1)
            continue;
        char name[32];
        std::snprintf(name, sizeof name, "map%u.mul", facet);
        std::optional<std::string> real = platform::resolvePath(clientFilePath(name));
        if (real && platform::fileExists(*real))
            mask |= 1u << facet;
    }
    if (mask & 1u)
        mask |= 2u;
    return mask;
}

uint32_t mapFileMask() { return startupState().mapFileMask; }

const std::string& launcherName() { return startupState().launcherName; }

int clientMain(int argc, char** argv)
{
    if (!isKnownCommandLine(argc, argv))
        return refuseCommandLine();
    // From here on a termination signal is the window's close request.
    platform::installCloseSignalHandlers();
    if (postPatchTakesOver())
        return 0;
    reporterOpen();
    registerCleanup("reporterClose", reporterClose);
    // The main window of another copy is up: this start only says so.
    if (platform::InstanceMarker::probe(MainWindow::kClassName)) {
        platform::showMessageBox("", "Another copy of VO is already running!", platform::MessageBoxIcon::Information);
        platform::orderlyExit(0);
    }

    std::unique_ptr<platform::InstanceMarker> instanceMarker = claimSingleInstance();
    recordLauncherName();
    installServiceDefaults();
    installSpellAndAbilityTables();
    installSettingsServices();
    installSpeechServices();
    installMacroServices();
    startMobileAnimation();
    installMobileHighlights();

    // The reporter's console scrolls instead of wrapping to the top.
    setConsoleMode(2);
    fileManager().init(argc, argv);
    registerCleanup("FileManager::shutdown", [] { fileManager().shutdown(); });
    service<SpellTables>().initSpellTables();
    initPointerState();
    registerCleanup("releasePointerState", releasePointerState);
    startupState().palette = loadPalette();
    registerCleanup("releasePalette", [] { startupState().palette.reset(); });
    startWorldGrid();
    loadHues();
    loadAsciiFonts();
    registerCleanup("freeAsciiFonts", freeAsciiFonts);
    // resetDataFiles registers closeDataFiles itself.
    resetDataFiles();
    loadDataFiles();
    // The world's tile tables; the .def tables read them.
    loadTileData();
    startWorldObjects();
    loadBodyConversions();
    loadEquipConv();
    createDefTables(defTableWorld());
    registerCleanup("destroyDefTables", destroyDefTables);

    initStartupState();
    registerCleanup("releaseStartupState", releaseStartupState);
    initSoundLayer();
    startPathSearch();
    service<WeaponAbilities>().initWeaponAbilities();
    // The Unicode fonts load on first use; their clean-up comes now.
    registerCleanup("unloadUnicodeFonts", unloadUnicodeFonts);
    startWeather();
    loadAnimData();
    startLightFiles();
    loadBodyTypes();
    initHelp();

    // The display opens the desktop window; the window backend takes its
    // events.
    std::unique_ptr<platform::Display> display = openDesktopDisplay(MainWindow::kClassName, 640, 480);
    std::unique_ptr<platform::Window> window = platform::createWindow();
    if (window->desktopBitsPerPixel() < 16)
        refuseToStart("Error: Color Mode", kColourModeText);

    window->setBusyCursor(true);
    registerCleanup("stopPointerTimerAtExit", stopPointerTimer);
    startWorldViewObjects();
    loadPlayerLists();

    WindowSettings settings = readWindowSettings();
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    window->screenSize(screenWidth, screenHeight);
    if (screenForcesFixedSize(screenWidth, screenHeight, settings.gamePlayWindowSize))
        settings.allowWindowResize = false;

    ArtFileCursorSource cursorArt;
    // The war-mode cursors are tinted with the player's combat colour.
    loadCursors(cursorArt, uint16_t(configValues().combatHueColour), ::settings().restartRow("Use565")->value != 0);
    createWorldPlayer();
    loadSkillNames();

    std::unique_ptr<WindowPresenter> presenter;
    MainWindow* mainWindowPointer = nullptr;
    std::unique_ptr<GumpDesktop> desktop;
    WindowServices services;
    GumpDesktop::wireWindowServices(services, desktop);
    wireSpeechWindowServices(services, mainWindowPointer);
    wireMacroWindowServices(services, mainWindowPointer);
    services.cancelHouseDesignTool = housing::cancelHouseDesignTool;
    services.startPointerTimer = [&window] { startPointerTimer(*window); };
    services.showContextHelp = openOrRaiseContextHelp;
    services.musicNotify = [](uint32_t) { onMusicNotify(); };
    services.recreateBackBuffer = [&presenter, &mainWindowPointer, &desktop](int32_t width, int32_t height) {
        if (mainWindowPointer) {
            const MainWindow& main = *mainWindowPointer;
            setPointerGameArea(main.gameViewOffsetX(), main.gameViewOffsetY(), main.gameWidth(), main.gameHeight());
        }
        if (presenter)
            presenter->recreateBackBuffer(width, height);
        if (desktop)
            desktop->backBufferRecreated();
        relayoutGameAreaEdges();
    };
    services.saveFullScreenSetting = saveFullScreenSetting;
    services.desktopWrite = [] { desktopWrite(); };
    services.quitGame = [] { loginScreens().quitGame(); };
    // Shift and Ctrl held together show every name on screen.
    services.showAllNames = [](bool on) { showAllNames(on); };
    // Back from another window while targeting, the pointer is reset.
    services.onActivatedWhileTargeting = [] {
        if (targetingState().targetingActive)
            setCursorKind(kNormalCursorKind);
    };
    // Escape answers a target cursor with a cancel (a pending prompt takes
    // it first).
    services.cancelTargeting = [] {
        if (!targetingState().targetingActive)
            return false;
        sendTargetCancel();
        return true;
    };
    services.isInGame = [] { return gameState().isInGame(); };
    services.isWarModeOnOrRequested = isWarModeOnOrRequested;
    services.setWarMode = setWarMode;
    // Each subsystem answers the commands it owns.
    services.runCommand = [](uint16_t id) {
        if (!runSettingsCommand(id) && !runSpeechCommand(id) && !runOptionsCommand(id) && !runGameWindowCommand(id))
            runSoundCommand(id);
    };
    services.invalidateWholeScreen = [&presenter] {
        if (presenter)
            presenter->backBuffer().invalidateWholeScreen();
    };
    services.repaint = [&desktop] {
        if (desktop)
            desktop->composeAndPresent(PresentKind::Always);
    };
    // What changed is composed first: the back buffer holds the world alone
    // between frames, and the pointer's old box must show the windows again.
    services.presentChanges = [&desktop] {
        if (desktop)
            desktop->composeAndPresent(PresentKind::IfChanged);
    };
    MainWindow mainWindow(*window, services, settings);
    presenter = std::make_unique<WindowPresenter>(*display, mainWindow);
    mainWindowPointer = &mainWindow;
    attachSettingsToWindow(mainWindow, *presenter);
    desktop = std::make_unique<GumpDesktop>(*window, mainWindow, *presenter);
    // The game area the player chose (640x480 unless it reads 800x600).
    int gameWidth = 0;
    int gameHeight = 0;
    if (std::sscanf(settings.gamePlayWindowSize.c_str(), "%dx%d", &gameWidth, &gameHeight) == 2)
        mainWindow.setGameWindowSize(gameWidth, gameHeight);
    // The title names the account when the settings give both its parts.
    if (!mainWindow.create(configFiles().accountName(), configValues().accountLastName))
        reportFatal("The main window could not be created.");
    // Held while the window exists: a later start finds this copy by it.
    bool windowMarkedBefore = false;
    std::unique_ptr<platform::InstanceMarker> windowMarker
        = platform::InstanceMarker::acquire(MainWindow::kClassName, windowMarkedBefore);
    mainWindow.updateSystemCursor();
    setPointerDrawingAllowed(true);
    startGameWindows(mainWindow, settings.allowWindowResize);
    housing::installHouseDesignServices();
    installBoardPartsWindows();
    mahjong::installMahjongBoardWindow();
    // In front of the game windows' text windows: every text is journaled
    // before its window is made. Removed in reverse order at shutdown.
    startSystemText();

    startSoundAndMusic(*window);
    initLocalization();
    registerCleanup("shutdownLocalization", shutdownLocalization);
    startSpeech();
    startHardwareSurvey(*window);
    startMessenger();
    service<MessengerSocket>().replaceMessengerSocket();
    window->setBusyCursor(false);

    // The speech line takes the keys no window takes, so the main window
    // takes the keyboard.
    window->takeKeyboardFocus();
    if (!createGameConnection())
        reportFatal("Out of memory creating the game connection.");
    registerCleanup("releaseGameConnectionAtExit", releaseGameConnectionAtExit);

    GameTick& tick = gameTick();
    tick.setStep(TickStep::UpdatePointer, [&desktop] { desktop->updatePointerStep(); });
    tick.setStep(TickStep::GumpManagerUpdate, [&desktop] {
        desktop->managerUpdateStep();
        if (ClientScenario* scenario = clientScenario())
            scenario->updated();
    });
    FrameServices frameServices;
    frameServices.hasGameConnection = [] { return currentGameConnection() != nullptr; };
    frameServices.renderWorldDirtyRects = [&presenter, &mainWindow] {
        renderWorldFrame(presenter->backBuffer(), [&mainWindow](int32_t& x, int32_t& y) {
            getPointerPosition(x, y);
            x -= mainWindow.gameViewOffsetX();
            y -= mainWindow.gameViewOffsetY();
        });
    };
    frameServices.redrawAllGumps = [&desktop] { desktop->composeAndPresent(PresentKind::IfChanged); };
    frameServices.showDeathText = showDeathText;
    frameServices.invalidateWholeScreen = [&presenter] { presenter->backBuffer().invalidateWholeScreen(); };
    frameServices.darkenGameArea = [&presenter, &mainWindow] {
        BackBuffer& buffer = presenter->backBuffer();
        if (!buffer.exists())
            return;
        darkenRingGameArea(buffer.pixels(), buffer.width(), buffer.height(), buffer.ringStart(), mainWindow.gameWidth(),
            mainWindow.gameHeight(),
            buffer.format() == BufferFormat::Rgb565 ? PixelLayout::Rgb565 : PixelLayout::Rgb555);
        buffer.markGameAreaChanged({ 0, 0, mainWindow.gameWidth(), mainWindow.gameHeight() });
    };
    frameServices.sendResurrectionChoice = [] {
        // The fade is over: the player walks again, as a ghost.
        setDeathScreenShown(false);
        std::array<uint8_t, 16> storage {};
        PacketBuffer packet(storage.data(), storage.size());
        if (buildResurrectionChoicePacket(packet, 2))
            sendPacket(packet);
    };
    wireMobileAnimationStep(frameServices);
    wireGameWindows(frameServices);
    FrameRenderer frameRenderer(frameServices);
    tick.setStep(TickStep::RenderFrame, [&frameRenderer] { frameRenderer.renderFrame(); });
    MainLoop loop(*window, tick, [&mainWindow](const platform::WindowMessage& message) {
        mainWindow.translateAccelerator(message);
        if (message.kind == platform::MessageKind::MouseMove)
            notePointerMoved(message.x, message.y);
        noteWorldKeyMessage(message);
        mainWindow.handleMessage(message);
    });
    wireSoundSteps(loop, tick);
    wireVideoWindow(tick, [&desktop] { desktop->composeAndPresent(PresentKind::IfChanged); });
    wireWorldObjects(tick, loop, presenter->backBuffer());
    wireWalkingAndEffects(tick);
    loop.setFrameSkipping(::settings().getBoolSetting(u"FrameSkipping") != 0);
    wireSettingsSteps(loop, tick, mainWindow);
    tick.setStep(TickStep::MacroStep, [] { service<MacroRunner>().runMacroStep(); });
    tick.setStep(TickStep::UpdateWeaponAbilities, [] { service<WeaponAbilities>().updateWeaponAbilities(); });
    tick.setStep(TickStep::MacroDelayCountdown, [] { service<MacroRunner>().lowerMacroDelay(); });
    wireNetwork(loop, tick,
        { &mainWindow, [&frameRenderer] { frameRenderer.renderFrame(); }, uint16_t(mapFileMask()),
            [&frameRenderer] { frameRenderer.startDeathFade(); } });
    wireGumpControls(tick);
    wireDesktop(tick, mainWindow, *window);
    wireFrontEnd(*window, mainWindow, *presenter);
    wireSpeech(tick, loop, frameRenderer);
    loop.start();
    registerCleanup("markExitStarted", markExitStarted);
    showStartupSplash();

    ClientSession session { *window, *display, mainWindow, *presenter, *desktop, loop };
    if (ClientScenario* scenario = clientScenario())
        scenario->started(session);
    int exitCode = loop.run();
    if (ClientScenario* scenario = clientScenario())
        scenario->finished(session);

    stopPointerTimer();
    unwireWalkingAndEffects(tick);
    unwireFrontEnd();
    shutdownWorldObjects(tick, loop);
    // The speech line's text and history go with the player.
    speechEntry().reset();
    shutDownNetwork();
    shutDownSpeech(tick, loop);
    destroyAllConnections();
    stopSoundAndVideoOutput(tick);
    deleteWorldViewObjects();
    service<MessengerSocket>().deleteMessengerSocket();
    stopMessenger();
    tick.setStep(TickStep::MacroStep, nullptr);
    tick.setStep(TickStep::UpdateWeaponAbilities, nullptr);
    tick.setStep(TickStep::MacroDelayCountdown, nullptr);
    tick.setStep(TickStep::UpdatePointer, nullptr);
    tick.setStep(TickStep::GumpManagerUpdate, nullptr);
    tick.setStep(TickStep::RenderFrame, nullptr);
    tick.setStep(TickStep::SendKeepAlive, nullptr);
    tick.setStep(TickStep::ViewRangeStep, nullptr);
    unwireGumpControls(tick);
    unwireDesktop(tick);
    // After shutDownSpeech removed the journal step in front of them.
    mahjong::uninstallMahjongBoardWindow();
    uninstallBoardPartsWindows();
    housing::uninstallHouseDesignServices();
    stopGameWindows();
    setPointerDrawingAllowed(false);
    instanceMarker.reset();
    detachSettingsFromWindow();
    desktop.reset();
    presenter.reset();
    windowMarker.reset();
    window.reset();
    display.reset();
    platform::runCleanups();
    return exitCode;
}
