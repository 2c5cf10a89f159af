#include "stepped_scenario.h"

#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "fixtures/client_directory.h"
#include "support/fast_clock.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"

#include <cstdio>
#include <unistd.h>

namespace app_test {

void playAgainstStage(const fixture::ClientDirectory& client, ClientScenario& session, bool tellCleanups,
    const test::TestShardConfig& config)
{
    playAgainstStage(client, session, tellCleanups, config, [](test::StageWorld&) { });
}

void playAgainstStage(const fixture::ClientDirectory& client, ClientScenario& session, bool tellCleanups,
    const test::TestShardConfig& config, const std::function<void(test::StageWorld&)>& prepare)
{
    if (tellCleanups)
        setCleanupObserver([](const char* name) { std::fprintf(stderr, "cleanup %s\n", name); });
    test::FastClock clock(5000, kStageSpeedUp);
    platform::ScopedClock scopedClock(clock);
    test::TestShardServer server(config);
    if (!server.isListening())
        _exit(3);
    test::StageWorld stage;
    prepare(stage);
    stage.attachTo(server);
    const int code = test::runClientAgainstServer(server, client.path(), session);
    std::fflush(nullptr);
    _exit(code);
}

void playAgainstStage(const fixture::ClientDirectory& client, ClientScenario& session, bool tellCleanups)
{
    playAgainstStage(client, session, tellCleanups, test::stageShardConfig());
}

} // namespace app_test
