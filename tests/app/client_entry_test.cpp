#include "app/client_entry.h"
#include "app/game_tick.h"
#include "app/startup_cleanups.h"
#include "core/message_boxes.h"
#include "core/text_console.h"
#include "data/client_file_path.h"
#include "data/config_file.h"
#include "data/file_manager.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "platform/instance_marker.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <new>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Runs the client's entry as the program would, on `directory`, and ends
// this (forked) process with its exit code. Clean-ups are reported on
// standard error, then how far the game clock came and what start-up left
// installed.
[[noreturn]] void runClientAndExit(const std::string& directory)
{
    setCleanupObserver([](const char* name) { std::fprintf(stderr, "cleanup %s\n", name); });
    // What start-up must install is taken away first: earlier tests in this
    // process may have installed it.
    std::set_new_handler(nullptr);
    setConsoleMode(1);
    std::string program = "vardun";
    std::string option = "-r";
    std::string path = directory;
    char* argv[] = { program.data(), option.data(), path.data(), nullptr };
    int code = clientMain(3, argv);
    std::fprintf(stderr, "game seconds %d\n", gameTick().gameClock().subMinute);
    std::fprintf(stderr, "out-of-memory handler %s\n", std::get_new_handler() == reportOutOfMemory ? "yes" : "no");
    TextConsole* console = reporterConsole();
    std::fprintf(stderr, "console scrolls %s\n",
        console && console->whenFull() == TextConsole::WhenFull::Scroll ? "yes" : "no");
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

TEST_F(ClientRun, RunsTicksUntilTheWindowClosesThenCleansUpInReverse)
{
    EXPECT_EXIT(runClientAndExit(client.path()), ::testing::ExitedWithCode(0),
        "cleanup markExitStarted\n"
        "cleanup releaseGameConnectionAtExit\n"
        "cleanup shutdownLocalization\n"
        "cleanup stopPointerTimerAtExit\n"
        "cleanup unloadUnicodeFonts\n"
        "cleanup shutdownMusic\n"
        "cleanup shutdownSound\n"
        "cleanup releaseStartupState\n"
        "cleanup destroyDefTables\n"
        "cleanup releaseWorldObjects\n"
        "cleanup freeAsciiFonts\n"
        "cleanup releasePalette\n"
        "cleanup releasePointerState\n"
        "cleanup FileManager::shutdown\n"
        "cleanup reporterClose\n"
        "game seconds [2-9]\n"
        "out-of-memory handler yes\n"
        "console scrolls yes\n");
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

TEST_F(ClientRun, SecondCopyIsRefusedBeforeItMapsAnything)
{
    pid_t first = fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        std::freopen("/dev/null", "w", stderr);
        runClientAndExit(client.path());
    }
    // Generous: the first copy may start slowly on a loaded machine.
    for (int wait = 0; wait < 2000 && !platform::InstanceMarker::probe("VoClientApp"); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(platform::InstanceMarker::probe("VoClientApp"));

    // The refusal comes before any data file is touched: no file need exist.
    fixture::ClientDirectory empty;
    test::ScopedEnvironment sameMarkers("VARDUN_RUNTIME_DIR", client.root().file("runtime").c_str());
    EXPECT_EXIT(runClientAndExit(empty.path()), ::testing::ExitedWithCode(1),
        "^\\[ERROR\\] Another instance of VO is already running.\n$");

    int status = 0;
    ASSERT_EQ(waitpid(first, &status, 0), first);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ClientRun, MissingRequiredDataFileIsFatal)
{
    fixture::ClientDirectory empty;
    EXPECT_EXIT(runClientAndExit(empty.path()), ::testing::ExitedWithCode(1), "\\[fatal: \\].*cleanup reporterClose");
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

struct SplashCase {
    const char* name;
    const char* language;
    uint32_t features;
    int32_t expected;
};

class SplashPicture : public ::testing::TestWithParam<SplashCase> { };

TEST_P(SplashPicture, LanguageFirstThenTheLastFeatureThatApplies)
{
    EXPECT_EQ(splashPictureFor(GetParam().language, GetParam().features), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplashPicture,
    ::testing::Values(SplashCase { "Plain", "enu", 0, 271 }, SplashCase { "Feature40", "enu", 0x40, 272 },
        SplashCase { "Feature80", "enu", 0xC0, 273 }, SplashCase { "Feature100Wins", "enu", 0x1C0, 277 },
        SplashCase { "JapaneseUpperCase", "JPN", 0x1C0, 274 }, SplashCase { "ShortCode", "jp", 0x40, 272 }),
    [](const ::testing::TestParamInfo<SplashCase>& param) { return std::string(param.param.name); });

} // namespace
