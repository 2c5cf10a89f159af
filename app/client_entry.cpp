#include "app/client_entry.h"

#include "app/cursor_art.h"
#include "app/frame_present.h"
#include "app/frame_render.h"
#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/mobile_wiring.h"
#include "app/pointer.h"
#include "app/service_defaults.h"
#include "app/sound_startup.h"
#include "app/startup_cleanups.h"
#include "app/world_wiring.h"
#include "audio/music_player.h"
#include "core/error_report.h"
#include "core/exit_started.h"
#include "core/message_boxes.h"
#include "core/text_console.h"
#include "data/client_file_path.h"
#include "data/config_file.h"
#include "data/config_keys.h"
#include "data/data_files.h"
#include "data/def_tables.h"
#include "data/file_manager.h"
#include "gfx/colour_tables.h"
#include "gfx/hue_table.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "platform/ascii_text.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/instance_marker.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "platform/process_info.h"
#include "platform/window.h"
#include "text/ascii_font.h"
#include "text/localization.h"
#include "text/unicode_font.h"
#include "world/anim_data.h"
#include "world/body_tables.h"
#include "world/def_table_world.h"
#include "world/tile_data.h"

#include <array>
#include <cstdlib>
#include <cstdio>
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
    speechBudget() = SpeechBudget { 0, platform::clock().tickMs() };
    state.mapFileMask = computeMapFileMask();
}

void releaseStartupState() { startupState().initialised = false; }

std::string configText(ConfigKeyKind kind)
{
    std::string value;
    lookupConfigValue(kind, value);
    return value;
}

// The key's text in lower case; nothing when no settings file names it.
std::optional<std::string> configWord(ConfigKeyKind kind)
{
    std::string value;
    if (!lookupConfigValue(kind, value))
        return std::nullopt;
    for (char& c : value)
        c = platform::foldAsciiCase(c);
    return value;
}

// "on" and "yes" are true, any other text false; a missing key keeps `fallback`.
bool configFlag(ConfigKeyKind kind, bool fallback)
{
    std::optional<std::string> word = configWord(kind);
    if (!word)
        return fallback;
    return *word == "on" || *word == "yes";
}

} // namespace

WindowSettings readWindowSettings()
{
    WindowSettings settings;
    // "true", "yes", "on" or a non-zero number switch resizing on, "false",
    // "no", "off" or "0" off; any other text leaves it as it was.
    if (std::optional<std::string> word = configWord(ConfigKeyKind::AllowWindowResize)) {
        char* end = nullptr;
        long number = std::strtol(word->c_str(), &end, 10);
        bool isNumber = !word->empty() && end && *end == '\0';
        if (*word == "true" || *word == "yes" || *word == "on" || (isNumber && number != 0))
            settings.allowWindowResize = true;
        else if (*word == "false" || *word == "no" || *word == "off" || (isNumber && number == 0))
            settings.allowWindowResize = false;
    }
    settings.fullScreen = configFlag(ConfigKeyKind::FullScreen, settings.fullScreen);
    settings.holdTabForCombat = configFlag(ConfigKeyKind::HoldTabForCombat, settings.holdTabForCombat);
    settings.objectHandles = configFlag(ConfigKeyKind::ObjectHandles, settings.objectHandles);
    // MouseThread takes "fast" as well; the older Mouse key says "slow" or "fast".
    if (std::optional<std::string> word = configWord(ConfigKeyKind::MouseThread))
        settings.mouseThread = *word == "on" || *word == "yes" || *word == "fast";
    if (std::optional<std::string> word = configWord(ConfigKeyKind::Mouse)) {
        if (*word == "slow")
            settings.mouseThread = false;
        else if (*word == "fast")
            settings.mouseThread = true;
    }
    if (std::optional<std::string> size = configWord(ConfigKeyKind::GamePlayWindowSize))
        settings.gamePlayWindowSize = *size;
    return settings;
}

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

int32_t splashPictureFor(const std::string& languageCode, uint32_t serverFeatures)
{
    if (platform::equalIgnoringAsciiCase(std::string_view(languageCode).substr(0, 3), "jpn"))
        return 274;
    int32_t picture = 271;
    if (serverFeatures & 0x40)
        picture = 272;
    if (serverFeatures & 0x80)
        picture = 273;
    if (serverFeatures & 0x100)
        picture = 277;
    return picture;
}
const std::string& launcherName() { return startupState().launcherName; }

int clientMain(int argc, char** argv)
{
    reporterOpen();
    registerCleanup("reporterClose", reporterClose);

    std::unique_ptr<platform::InstanceMarker> instanceMarker = claimSingleInstance();
    recordLauncherName();
    installServiceDefaults();
    startMobileAnimation();

    // The reporter's console scrolls instead of wrapping to the top.
    setConsoleMode(2);
    fileManager().init(argc, argv);
    registerCleanup("FileManager::shutdown", [] { fileManager().shutdown(); });
    initPointerState();
    registerCleanup("releasePointerState", releasePointerState);
    startupState().palette = loadPalette();
    registerCleanup("releasePalette", [] { startupState().palette.reset(); });
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
    readConfigFile("vo.cfg", true);
    std::string loginServerFile = configText(ConfigKeyKind::LoginServerFile);
    readConfigFile(loginServerFile.empty() ? "login.cfg" : loginServerFile, false);
    initSoundLayer();
    // The Unicode fonts load on first use; their clean-up comes now.
    registerCleanup("unloadUnicodeFonts", unloadUnicodeFonts);
    loadAnimData();
    loadBodyTypes();

    // The display opens the desktop window; the window backend takes its
    // events. Without a usable display both run headless.
    std::unique_ptr<platform::Display> display;
    if (!platform::headlessRequested())
        display = platform::createSdlDisplay(MainWindow::kClassName, 640, 480);
    if (!display)
        display = platform::createHeadlessDisplay(640, 480);
    std::unique_ptr<platform::Window> window = platform::createWindow();
    if (window->desktopBitsPerPixel() < 16)
        refuseToStart("Error: Color Mode", kColourModeText);

    window->setBusyCursor(true);
    registerCleanup("stopPointerTimerAtExit", stopPointerTimer);

    WindowSettings settings = readWindowSettings();
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    window->screenSize(screenWidth, screenHeight);
    if (screenForcesFixedSize(screenWidth, screenHeight, settings.gamePlayWindowSize))
        settings.allowWindowResize = false;

    ArtFileCursorSource cursorArt;
    // The war-mode cursors are tinted with the player's combat colour.
    std::string combatHueText = configText(ConfigKeyKind::CombatHueColor);
    int32_t combatHue = combatHueText.empty() ? 0 : parseHtmlColor(combatHueText);
    loadCursors(cursorArt, uint16_t(combatHue), false);
    createWorldPlayer();

    std::unique_ptr<WindowPresenter> presenter;
    MainWindow* mainWindowPointer = nullptr;
    WindowServices services;
    services.startPointerTimer = [&window] { startPointerTimer(*window); };
    services.runCommand = [](uint16_t id) { runSoundCommand(id); };
    services.musicNotify = [](uint32_t) { onMusicNotify(); };
    services.recreateBackBuffer = [&presenter, &mainWindowPointer](int32_t width, int32_t height) {
        if (mainWindowPointer) {
            const MainWindow& main = *mainWindowPointer;
            setPointerGameArea(main.gameViewOffsetX(), main.gameViewOffsetY(), main.gameWidth(), main.gameHeight());
        }
        if (presenter)
            presenter->recreateBackBuffer(width, height);
    };
    services.saveFullScreenSetting
        = [](bool fullScreen) { setConfigValue(ConfigKeyKind::FullScreen, fullScreen ? "on" : "off"); };
    services.invalidateWholeScreen = [&presenter] {
        if (presenter)
            presenter->backBuffer().invalidateWholeScreen();
    };
    services.repaint = [&presenter] {
        if (presenter)
            presenter->present(PresentKind::Always);
    };
    MainWindow mainWindow(*window, services, settings);
    presenter = std::make_unique<WindowPresenter>(*display, mainWindow);
    mainWindowPointer = &mainWindow;
    // The game area the player chose (640x480 unless it reads 800x600).
    int gameWidth = 0;
    int gameHeight = 0;
    if (std::sscanf(settings.gamePlayWindowSize.c_str(), "%dx%d", &gameWidth, &gameHeight) == 2)
        mainWindow.setGameWindowSize(gameWidth, gameHeight);
    // The title names the account when the settings give both its parts.
    if (!mainWindow.create(configText(ConfigKeyKind::AcctID), configText(ConfigKeyKind::AcctLastName)))
        reportFatal("The main window could not be created.");
    mainWindow.updateSystemCursor();
    setPointerDrawingAllowed(true);

    startSoundAndMusic(*window);
    initLocalization();
    registerCleanup("shutdownLocalization", shutdownLocalization);
    window->setBusyCursor(false);

    if (!createGameConnection())
        reportFatal("Out of memory creating the game connection.");
    registerCleanup("releaseGameConnectionAtExit", releaseGameConnectionAtExit);

    GameTick& tick = gameTick();
    // Until frames are drawn every tick, the pointer is shown by presenting
    // the last picture again whenever it moved.
    tick.setStep(TickStep::UpdatePointer, [&presenter] {
        if (pointerNeedsRedraw())
            presenter->present();
    });
    FrameServices frameServices;
    frameServices.hasGameConnection = [] { return currentGameConnection() != nullptr; };
    frameServices.renderWorldDirtyRects = [&presenter] { presenter->backBuffer().renderWorldDirtyRects(nullptr); };
    frameServices.redrawAllGumps = [&presenter] { presenter->present(); };
    frameServices.invalidateWholeScreen = [&presenter] { presenter->backBuffer().invalidateWholeScreen(); };
    frameServices.darkenGameArea = [&presenter, &mainWindow] {
        BackBuffer& buffer = presenter->backBuffer();
        if (!buffer.exists())
            return;
        darkenRingGameArea(buffer.pixels(), buffer.width(), buffer.height(), buffer.ringStart(),
            mainWindow.gameWidth(), mainWindow.gameHeight(),
            buffer.format() == BufferFormat::Rgb565 ? PixelLayout::Rgb565 : PixelLayout::Rgb555);
    };
    frameServices.sendResurrectionChoice = [] {
        std::array<uint8_t, 16> storage {};
        PacketBuffer packet(storage.data(), storage.size());
        if (buildResurrectionChoicePacket(packet, 2))
            sendPacket(packet);
    };
    wireMobileAnimationStep(frameServices);
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
    tick.setStep(TickStep::VideoRedraw, [&presenter] {
        if (drawVideoInto(presenter->backBuffer()))
            presenter->present();
    });
    wireWorldObjects(tick, loop, presenter->backBuffer(), [&mainWindow] { return mainWindow.gameWidth(); });
    loop.setFrameSkipping(configFlag(ConfigKeyKind::FrameSkipping, false));
    loop.start();
    registerCleanup("markExitStarted", markExitStarted);

    int exitCode = loop.run();

    stopPointerTimer();
    shutdownWorldObjects(tick, loop);
    destroyAllConnections();
    stopSoundAndVideoOutput(tick);
    tick.setStep(TickStep::UpdatePointer, nullptr);
    tick.setStep(TickStep::RenderFrame, nullptr);
    setPointerDrawingAllowed(false);
    instanceMarker.reset();
    presenter.reset();
    window.reset();
    display.reset();
    platform::runCleanups();
    return exitCode;
}
