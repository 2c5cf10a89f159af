#include "app/client_entry.h"
#include "app/client_scenario.h"
#include "app/game_tick.h"
#include "app/gump_desktop.h"
#include "app/lifecycle_services.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "core/message_boxes.h"
#include "core/text_console.h"
#include "data/client_file_path.h"
#include "data/config_file.h"
#include "data/file_manager.h"
#include "data/settings_services.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "gump/desktop_services.h"
#include "gump/gump_services.h"
#include "gump/property_cache.h"
#include "orderly_cleanups.h"
#include "platform/instance_marker.h"
#include "protocol/world_packet_windows.h"
#include "support/scoped_environment.h"
#include "world/world_services.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Runs the client's entry as the program would, on `directory`, and ends
// this (forked) process with its exit code. Clean-ups are reported on
// standard error, then how far the game clock came, what start-up left
// installed and the tick steps shutdown left wired.
[[noreturn]] void runClientWithArguments(std::vector<std::string> arguments);

[[noreturn]] void runClientAndExit(const std::string& directory) { runClientWithArguments({ "-r", directory }); }

// The tick steps with something wired into them (or, with `wired` false,
// with nothing), by name; "none" when there are none.
std::string tickStepsWired(const GameTick& tick, bool wired)
{
    std::string names;
    for (size_t i = 0; i < kTickStepCount; ++i) {
        TickStep step = static_cast<TickStep>(i);
        if (tick.hasStep(step) == wired)
            names += std::string(names.empty() ? "" : " ") + tickStepName(step);
    }
    return names.empty() ? "none" : names;
}

// The same with any arguments after the program's name.
[[noreturn]] void runClientWithArguments(std::vector<std::string> arguments)
{
    setCleanupObserver([](const char* name) { std::fprintf(stderr, "cleanup %s\n", name); });
    // What start-up must install is taken away first: earlier tests in this
    // process may have installed it.
    std::set_new_handler(nullptr);
    setConsoleMode(1);
    arguments.insert(arguments.begin(), "vardun");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int code = clientMain(int(arguments.size()), argv.data());
    std::fprintf(stderr, "game seconds %d\n", gameTick().gameClock().subMinute);
    std::fprintf(stderr, "out-of-memory handler %s\n", std::get_new_handler() == reportOutOfMemory ? "yes" : "no");
    TextConsole* console = reporterConsole();
    std::fprintf(stderr, "console scrolls %s\n",
        console && console->whenFull() == TextConsole::WhenFull::Scroll ? "yes" : "no");
    // A step left wired would run work on objects shutdown has destroyed.
    std::fprintf(stderr, "tick steps left wired: %s\n", tickStepsWired(gameTick(), true).c_str());
    std::fflush(nullptr);
    _exit(code);
}

class ClientRun : public ::testing::Test {
protected:
    ClientRun()
        : headless("VARDUN_HEADLESS", "1")
        , closeAfter("VARDUN_HEADLESS_CLOSE_MS", "3000")
    {
        fixture::writeSampleDataSet(client.path());
    }

    fixture::ClientDirectory client;
    test::ScopedEnvironment headless;
    test::ScopedEnvironment closeAfter;
};

using app_test::kOrderlyCleanups;

TEST_F(ClientRun, RunsTicksUntilTheWindowClosesThenCleansUpInReverse)
{
    EXPECT_EXIT(runClientAndExit(client.path()), ::testing::ExitedWithCode(0),
        kOrderlyCleanups
            + "game seconds [2-9]\n"
              "out-of-memory handler yes\n"
              "console scrolls yes\n"
              "tick steps left wired: none\n");
}

// The name of `S` when what answers for it is still its do-nothing form.
template <typename S>
void noteFallback(std::string& names, const char* name)
{
    if (&service<S>() == &serviceFallback<S>())
        names += std::string(" ") + name;
}

template <typename S>
void noteWorldFallback(std::string& names, const char* name)
{
    if (!installedWorldService<S>() || installedWorldService<S>() == &doNothingWorldService<S>())
        names += std::string(" ") + name;
}

// Once start-up is over, every step of the tick and of the main loop runs
// something, and every service start-up, the tick and shutdown call (and
// the window services the world packets reach) is a real one.
class StepsWiredAtTheStart final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        std::string services;
        noteFallback<SpellTables>(services, "SpellTables");
        noteFallback<MacroRunner>(services, "MacroRunner");
        noteFallback<WeaponAbilities>(services, "WeaponAbilities");
        noteFallback<MessengerSocket>(services, "MessengerSocket");
        noteFallback<WindowSettingsService>(services, "WindowSettingsService");
        noteFallback<PropertyListWindows>(services, "PropertyListWindows");
        noteFallback<WorldEffects>(services, "WorldEffects");
        noteFallback<PointerWorld>(services, "PointerWorld");
        noteFallback<StatusWindows>(services, "StatusWindows");
        noteFallback<GeneralInfoWindows>(services, "GeneralInfoWindows");
        noteWorldFallback<ContainerViews>(services, "ContainerViews");
        noteWorldFallback<ObjectViews>(services, "ObjectViews");
        std::fprintf(stderr, "services left do-nothing:%s\n", services.empty() ? " none" : services.c_str());
        std::string loopSteps;
        for (size_t i = 0; i < size_t(LoopStep::Count); ++i) {
            if (!session.loop.hasStep(static_cast<LoopStep>(i)))
                loopSteps += " " + std::to_string(i);
        }
        std::fprintf(stderr, "tick steps not wired: %s\n", tickStepsWired(gameTick(), false).c_str());
        std::fprintf(stderr, "loop steps not wired:%s\n", loopSteps.empty() ? " none" : loopSteps.c_str());
        std::fflush(nullptr);
    }
};

TEST_F(ClientRun, StartUpWiresEveryStepOfTheTickAndTheLoop)
{
    test::ScopedEnvironment closeSoon("VARDUN_HEADLESS_CLOSE_MS", "200");
    StepsWiredAtTheStart scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "services left do-nothing: none\n"
        "tick steps not wired: none\n"
        "loop steps not wired: none\n");
}

// Runs the client as runClientAndExit does and sends this (forked) process
// `count` SIGTERMs, back to back, once the client holds its instance marker
// (its signal handlers are in place by then). raise() returns only after the
// handler ran, so a second one always finds the first one taken.
[[noreturn]] void runClientAndTerminate(const std::string& directory, int count)
{
    alarm(60);
    std::thread([count] {
        while (!platform::InstanceMarker::probe("VoClientApp"))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        for (int i = 0; i < count; ++i)
            std::raise(SIGTERM);
    }).detach();
    runClientAndExit(directory);
}

// A termination request is the window's close request: the same orderly
// shutdown runs as when the player closes the window.
TEST_F(ClientRun, ATerminationSignalClosesTheWindowWithTheSameCleanUps)
{
    test::ScopedEnvironment neverClose("VARDUN_HEADLESS_CLOSE_MS", nullptr);
    EXPECT_EXIT(runClientAndTerminate(client.path(), 1), ::testing::ExitedWithCode(0), kOrderlyCleanups);
}

// A second request while the first is being answered ends the client at once.
TEST_F(ClientRun, ASecondTerminationSignalEndsItAtOnce)
{
    test::ScopedEnvironment neverClose("VARDUN_HEADLESS_CLOSE_MS", nullptr);
    EXPECT_EXIT(runClientAndTerminate(client.path(), 2), ::testing::KilledBySignal(SIGTERM), "");
}

TEST_F(ClientRun, AnUnknownArgumentGetsTheUsageAndCodeTwo)
{
    for (std::vector<std::string> arguments : std::vector<std::vector<std::string>> {
             { "--help" }, { "-r" }, { "-r", "" }, { "-r", client.path(), "more" }, { "data" } }) {
        EXPECT_EXIT(runClientWithArguments(arguments), ::testing::ExitedWithCode(2),
            // The usage line alone: nothing started, so no clean-up ran.
            "^usage: vardun \\[-r DATA_DIRECTORY\\]\ngame seconds")
            << arguments.front();
    }
}

// Without a display, and without a request for headless running, the client
// says so and ends instead of running unseen: whether the video driver asked
// for cannot start, or none is asked for and only SDL's offscreen driver
// (which shows nothing) would.
class NoDisplay : public ClientRun, public ::testing::WithParamInterface<const char*> { };

TEST_P(NoDisplay, AndNoHeadlessRequestEndsWithAMessage)
{
    test::ScopedEnvironment notHeadless("VARDUN_HEADLESS", nullptr);
    test::ScopedEnvironment driver("SDL_VIDEODRIVER", *GetParam() ? GetParam() : nullptr);
    test::ScopedEnvironment noX("DISPLAY", nullptr);
    test::ScopedEnvironment noWayland("WAYLAND_DISPLAY", nullptr);
    test::ScopedEnvironment noRuntimeDirectory("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EXIT(runClientAndExit(client.path()), ::testing::ExitedWithCode(1),
        "vardun: no display was found \\(.*\\)\\. Set VARDUN_HEADLESS=1 to run without a window\\.\n"
        ".*cleanup reporterClose\n");
}

INSTANTIATE_TEST_SUITE_P(Drivers, NoDisplay, ::testing::Values("", "x11", "no-such-video-driver"),
    [](const ::testing::TestParamInfo<const char*>& param) {
        std::string name = *param.param ? param.param : "none";
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

// A named pipe in place of the settings file or the login-server file is a
// file that cannot be opened, found out at once: the start used to block in
// the open for ever. The client starts without it.
TEST_F(ClientRun, PipesInPlaceOfTheSettingsFilesDoNotStopTheStart)
{
    std::remove((client.path() + "/vo.cfg").c_str());
    std::remove((client.path() + "/login.cfg").c_str());
    ASSERT_EQ(mkfifo((client.path() + "/vo.cfg").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((client.path() + "/login.cfg").c_str(), 0600), 0);
    EXPECT_EXIT(
        {
            alarm(60);
            runClientAndExit(client.path());
        },
        ::testing::ExitedWithCode(0), kOrderlyCleanups);
}

TEST_F(ClientRun, APipeInPlaceOfARequiredDataFileStopsTheStartAtOnce)
{
    std::remove((client.path() + "/art.mul").c_str());
    ASSERT_EQ(mkfifo((client.path() + "/art.mul").c_str(), 0600), 0);
    EXPECT_EXIT(
        {
            alarm(60);
            runClientAndExit(client.path());
        },
        ::testing::ExitedWithCode(1), "\\[fatal: \\] Failed to open 'art.mul' from HD using a maximum install");
}

// The login count comes from the file: a returning player's settings are left
// exactly as they were, while a first play switches the obscenity filter off
// once.
TEST_F(ClientRun, ReturningPlayersSettingsFileIsLeftAsItWas)
{
    const std::string text = "ClientLogin=10\r\nObscenityFilter=on\r\nFoo=bar\nFootsteps=off";
    client.write("vo.cfg", text);
    EXPECT_EXIT(runClientAndExit(client.path()), ::testing::ExitedWithCode(0), "cleanup reporterClose");
    EXPECT_EQ(client.read("vo.cfg"), text);
}

TEST_F(ClientRun, FirstPlaySwitchesTheObscenityFilterOffOnce)
{
    client.write("vo.cfg", "ClientLogin=1\r\nObscenityFilter=on\r\n");
    EXPECT_EXIT(runClientAndExit(client.path()), ::testing::ExitedWithCode(0), "cleanup reporterClose");
    EXPECT_EQ(client.read("vo.cfg"), "ClientLogin=1\r\nObscenityFilter=off\r\n");
}

// While the first copy's window is up, a second start says so and ends with
// code 0 before it opens any data file (none need exist), running only the
// clean-up registered before the test.
TEST_F(ClientRun, ASecondStartWhileTheFirstCopysWindowIsUpEndsWithCodeZero)
{
    pid_t first = fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        std::freopen("/dev/null", "w", stderr);
        runClientAndExit(client.path());
    }
    // Generous: the first copy may start slowly on a loaded machine.
    for (int wait = 0; wait < 2000 && !platform::InstanceMarker::probe(MainWindow::kClassName); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(platform::InstanceMarker::probe(MainWindow::kClassName));

    fixture::ClientDirectory empty;
    test::ScopedEnvironment sameMarkers("VARDUN_RUNTIME_DIR", client.root().file("runtime").c_str());
    EXPECT_EXIT(runClientAndExit(empty.path()), ::testing::ExitedWithCode(0),
        "^\\[\\] Another copy of VO is already running!\ncleanup reporterClose\n$");

    int status = 0;
    ASSERT_EQ(waitpid(first, &status, 0), first);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

struct HeldMarkerCase {
    const char* name;
    const char* marker;
    const char* refusal;
};

class HeldMarker : public ::testing::TestWithParam<HeldMarkerCase> { };

// A copy that has no window yet, or the patcher, holds its marker: the start
// is refused with code 1 at once, before any data file is opened and without
// running any clean-up.
TEST_P(HeldMarker, RefusesTheStartAtOnceWithCodeOne)
{
    fixture::ClientDirectory empty;
    bool existedBefore = false;
    std::unique_ptr<platform::InstanceMarker> held
        = platform::InstanceMarker::acquire(GetParam().marker, existedBefore);
    ASSERT_TRUE(held);
    EXPECT_EXIT(runClientAndExit(empty.path()), ::testing::ExitedWithCode(1),
        std::string("^\\[ERROR\\] ") + GetParam().refusal + "\n$");
}

INSTANTIATE_TEST_SUITE_P(Markers, HeldMarker,
    ::testing::Values(HeldMarkerCase { "Client", "VoClientApp", "Another instance of VO is already running\\." },
        HeldMarkerCase { "Patcher", "VoPatchApp", "An instance of VO Patch is already running\\." }),
    [](const ::testing::TestParamInfo<HeldMarkerCase>& param) { return std::string(param.param.name); });

// Started on a wrong directory, the client names the directory it searched
// and how to give another.
TEST_F(ClientRun, AWrongDataDirectoryIsNamedWithHowToGiveAnother)
{
    fixture::ClientDirectory empty;
    std::filesystem::create_directories(empty.path());
    EXPECT_EXIT(runClientAndExit(empty.path()), ::testing::ExitedWithCode(1),
        "\\[fatal: \\] Cannot open '[a-z]+\\.mul'.*\nThe data directory searched was " + empty.path()
            + "/\\. Start the client with -r DIR to name another folder\\.\n.*cleanup reporterClose");
    std::string missing = empty.root().file("no-such-folder");
    EXPECT_EXIT(runClientAndExit(missing), ::testing::ExitedWithCode(1),
        "\nThe data directory " + missing
            + "/ does not exist\\. Start the client with -r DIR to name the folder that holds the game's data "
              "files\\.");
}

// A data path too long for the folders made from it gives the reason, not an
// empty box.
TEST_F(ClientRun, ADataPathOf502CharactersIsRefusedWithItsReason)
{
    std::string tooLong = "/" + std::string(501, 'd');
    EXPECT_EXIT(runClientAndExit(tooLong), ::testing::ExitedWithCode(1),
        "\\[fatal: \\] The data directory path is too long: 503 characters");
}

struct MaskCase {
    const char* name;
    std::vector<std::string> files;
    uint32_t expected;
};

class MapFileMask : public ::testing::TestWithParam<MaskCase> { };

TEST_P(MapFileMask, FacetOneFollowsFacetZero)
{
    fixture::ClientDirectory client;
    for (const std::string& file : GetParam().files)
        client.write(file, "x");
    EXPECT_EQ(computeMapFileMask(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MapFileMask,
    ::testing::Values(MaskCase { "ZeroAndTwo", { "map0.mul", "map2.mul" }, 0b111 },
        MaskCase { "OnlyOne", { "map1.mul" }, 0 }, MaskCase { "UpperCaseFifteen", { "MAP15.MUL" }, 1u << 15 },
        MaskCase { "None", {}, 0 }),
    [](const ::testing::TestParamInfo<MaskCase>& param) { return std::string(param.param.name); });

TEST(ClientFilePaths, ClientAndInstallDirectoriesWithOneSeparator)
{
    fixture::ClientDirectory client;
    EXPECT_EQ(clientFilePath("map0.mul"), client.path() + "/map0.mul");
    EXPECT_EQ(clientFilePath("music\\a.mp3"), client.path() + "/music/a.mp3");
    std::string install = fileManager().getInstallDir();
    ASSERT_FALSE(install.empty());
    EXPECT_EQ(installFilePath("x.bik"), install + (install.back() == '/' ? "" : "/") + "x.bik");
}

} // namespace
