#include "app/scenario_runner.h"

#include "app/client_entry.h"
#include "platform/clock.h"
#include "support/test_shard_server.h"

#include <atomic>
#include <fstream>
#include <thread>

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

int runClientAgainstServer(
    TestShardServer& server, const std::string& directory, ClientScenario& scenario, const std::string& moreSettings)
{
    std::ofstream(directory + "/login.cfg", std::ios::binary)
        << "LoginServer=127.0.0.1," + std::to_string(server.loginPort()) + "\n" + moreSettings;
    std::atomic<bool> stop { false };
    std::thread serving([&] { server.run(stop); });
    installClientScenario(&scenario);
    std::string program = "vardun";
    std::string option = "-r";
    std::string path = directory;
    char* argv[] = { program.data(), option.data(), path.data(), nullptr };
    const int code = clientMain(3, argv);
    installClientScenario(nullptr);
    stop = true;
    serving.join();
    return code;
}

} // namespace test
