#pragma once
// What the tests that run the whole program headless share: running
// clientMain with a scenario under a fake clock and leaving the (child)
// process with its exit code. The picture the display shows is read back
// with test::shownPicture (support/shown_picture.h); the start-up splash is
// put away with app_test::closeStartupScreens (startup_screens.h).

#include "app/client_scenario.h"

#include <string>

namespace test {

// Runs the client on the data directory with the scenario installed, then
// exits the process with the client's exit code (for EXPECT_EXIT).
[[noreturn]] void runScenarioAndExit(const std::string& directory, ClientScenario& scenario);

class TestShardServer;

// Points the client directory's login.cfg at the server, serves on a thread
// while the client runs on the directory with the scenario installed, and
// gives the client's exit code (the caller's clock stays in force).
// `moreSettings`: further login.cfg lines (each ended by a newline).
int runClientAgainstServer(TestShardServer& server, const std::string& directory, ClientScenario& scenario,
    const std::string& moreSettings = "");

} // namespace test
