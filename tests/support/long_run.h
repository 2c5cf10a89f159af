#pragma once
// What the hostile-server and soak programs share: the whole client runs
// in this process on the sample data set, headless, against the test login
// and game server on loopback (its own thread), driven by a WorldPlayer and
// watched by a LoopWatchdog; the memory of the process is taken when the
// reference time of the run has passed and again at its end.

#include "support/run_watch.h"
#include "support/test_shard_server.h"
#include "support/world_player.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace test {

struct LongRunOptions {
    uint32_t worldSeconds { 60 };
    uint32_t referenceMs { 6000 };
    uint32_t stallMs { 10000 };
    uint32_t comebackMs { 60000 };
};

struct LongRunResult {
    int clientExitCode { -1 };
    MemoryFigures reference;
    MemoryFigures end;
    bool referenceTaken { false };
    bool endTaken { false };
    uint32_t worldEntries { 0 };
    uint32_t worldExits { 0 };
    uint32_t messagesAnswered { 0 };
    uint32_t logins { 0 };
    uint32_t longestGapMs { 0 };
    // Empty when the client completed the run and exited cleanly.
    std::string failure;
};

// Runs the client to the end of the run. `serve` runs on the server's
// thread after each pump of the server (which waits at most 2 ms);
// `inWorld` on the main thread on each update while the player is in the
// world.
LongRunResult runClientLong(const LongRunOptions& options, TestShardServer& server,
    const std::function<void(TestShardServer&)>& serve,
    const std::function<void(WorldPlayer&, uint32_t nowMs)>& inWorld);

// "  NAME  123456 KiB" lines.
void printMemory(const char* name, const MemoryFigures& figures);

} // namespace test
