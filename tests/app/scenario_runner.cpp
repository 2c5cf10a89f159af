#include "app/scenario_runner.h"

#include "app/client_entry.h"
#include "platform/clock.h"

#include <cstdio>
#include <unistd.h>

namespace test {

void runScenarioAndExit(const std::string& directory, ClientScenario& scenario)
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
