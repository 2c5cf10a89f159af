#pragma once
// What the tests that run the whole program headless share: running
// clientMain with a scenario under a fake clock and leaving the (child)
// process with its exit code, and reading back the picture the display
// shows.

#include "app/client_scenario.h"

#include <cstdint>
#include <string>
#include <vector>

// Runs the client on the data directory with the scenario installed, then
// exits the process with the client's exit code (for EXPECT_EXIT).
[[noreturn]] void runScenarioAndExit(const std::string& directory, ClientScenario& scenario);

// The headless display's picture, row by row.
std::vector<uint16_t> shownPicture(ClientSession& session, int32_t& width, int32_t& height);
