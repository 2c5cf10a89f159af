#pragma once
// Runs the whole client headless on a client directory with a scenario
// installed, under a fake clock, and ends the process with its exit code:
// for EXPECT_EXIT, which runs it in a child process.

#include "app/client_entry.h"
#include "app/client_scenario.h"
#include "platform/clock.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace test {

[[noreturn]] inline void runScenarioAndExit(const std::string& directory, ClientScenario& scenario)
{
    platform::FakeClock clock(5000);
    platform::ScopedClock scopedClock(clock);
    installClientScenario(&scenario);
    std::string program = "vardun";
    std::string option = "-r";
    std::string path = directory;
    char* argv[] = { program.data(), option.data(), path.data(), nullptr };
    int code = clientMain(3, argv);
    installClientScenario(nullptr);
    std::fflush(nullptr);
    _exit(code);
}

} // namespace test
