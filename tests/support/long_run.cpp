#include "support/long_run.h"

#include "app/client_entry.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "support/scoped_environment.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace test {

LongRunResult runClientLong(const LongRunOptions& options, TestShardServer& server,
    const std::function<void(TestShardServer&)>& serve,
    const std::function<void(WorldPlayer&, uint32_t nowMs)>& inWorld)
{
    LongRunResult result;
    ScopedEnvironment headless("VARDUN_HEADLESS", "1");
    // A safety net far behind the player's own close.
    const std::string closeAfter = std::to_string((options.worldSeconds + 600) * 1000ull);
    ScopedEnvironment closeTimer("VARDUN_HEADLESS_CLOSE_MS", closeAfter.c_str());
    ScopedEnvironment timeZone("TZ", "UTC");
    ScopedEnvironment language("LC_ALL", "C");

    fixture::ClientDirectory client;
    if (!fixture::writeSampleDataSet(client.path())) {
        result.failure = "the sample data set could not be written";
        return result;
    }
    client.write("vo.cfg", "MouseThread=off\n");
    client.write("login.cfg", "LoginServer=127.0.0.1," + std::to_string(server.loginPort()) + "\n");

    std::atomic<bool> stop { false };
    std::thread serving([&] {
        while (!stop) {
            server.pump(2);
            serve(server);
        }
    });

    LoopWatchdog watchdog(options.stallMs, "the client's main loop");
    WorldPlayer::Options playerOptions;
    playerOptions.worldSeconds = options.worldSeconds;
    playerOptions.referenceMs = options.referenceMs;
    playerOptions.comebackMs = options.comebackMs;
    WorldPlayer player(watchdog, playerOptions);
    player.setInWorldStep(inWorld);
    player.setMarks([&] { result.referenceTaken = readOwnMemory(result.reference); },
        [&] { result.endTaken = readOwnMemory(result.end); });

    installClientScenario(&player);
    std::string program = "vardun";
    std::string option = "-r";
    std::string path = client.path();
    char* argv[] = { program.data(), option.data(), path.data(), nullptr };
    result.clientExitCode = clientMain(3, argv);
    installClientScenario(nullptr);
    stop = true;
    serving.join();

    result.worldEntries = player.worldEntries();
    result.worldExits = player.worldExits();
    result.messagesAnswered = player.messagesAnswered();
    result.logins = player.logins();
    result.longestGapMs = watchdog.longestGapMs();
    if (!player.failure().empty())
        result.failure = player.failure();
    else if (!player.completed())
        result.failure = "the client's loop ended before the run was over";
    else if (result.clientExitCode != 0)
        result.failure = "the client exited with code " + std::to_string(result.clientExitCode);
    else if (!result.referenceTaken || !result.endTaken)
        result.failure = "the memory figures could not be read from /proc/self/status";
    return result;
}

void printMemory(const char* name, const MemoryFigures& figures)
{
    std::printf("  %-28s resident %8llu KiB, peak %8llu KiB\n", name,
        static_cast<unsigned long long>(figures.residentKb), static_cast<unsigned long long>(figures.peakKb));
}

} // namespace test
