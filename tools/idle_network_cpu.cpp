// Measures what the client's main loop costs while it sits idle in the
// world: the real loop (headless window, 50 ms tick, network pump with the
// keep-alive) logs in to the test login and game server through the real
// login road, enters the world, then idles for the given seconds (10 by
// default). Prints the main thread's CPU time as a share of one core.
//
//   idle_network_cpu [SECONDS]

#include "app/game_tick.h"
#include "app/main_loop.h"
#include "data/config_key_rules.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/network_pump.h"
#include "net/packet_dispatcher.h"
#include "net/ping_monitor.h"
#include "net/shard_sessions.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "protocol/login_road.h"
#include "protocol/login_state.h"
#include "protocol/protocol_handlers.h"
#include "protocol/session_host.h"
#include "support/test_shard_server.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

namespace {

double threadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    uint32_t seconds = argc > 1 ? uint32_t(std::atoi(argv[1])) : 10;
    setenv("VARDUN_HEADLESS", "1", 1);

    test::TestShardServer server;
    if (!server.isListening())
        return 1;
    std::atomic<bool> stop { false };
    std::thread serverThread([&] { server.run(stop); });

    installSessionRouting();
    installProtocolSessionHost();
    registerProtocolHandlers();
    // The login server as a LoginServer line of the login-server file gives it.
    settingsKeyRules().applyConfigKey(
        ConfigKeyKind::LoginServer, "127.0.0.1," + std::to_string(server.loginPort()), false);
    loginSession().accountName = "tester";
    loginSession().password = "secret";

    std::unique_ptr<platform::Window> window = platform::createWindow();
    GameTick tick;
    tick.setStep(TickStep::SendKeepAlive, sendKeepAlive);
    MainLoop loop(*window, tick, nullptr);
    loop.setNetworkPump(
        [](uint32_t wait, std::span<const int32_t> windowDescriptors) { return pollConnections(wait, windowDescriptors); });
    loop.start();

    // The login road, with the shard and the character chosen as the screens would.
    if (!connectLoginServer() || !sendAccountLogin(*currentGameConnection())) {
        stop = true;
        serverThread.join();
        return 1;
    }
    bool shardChosen = false;
    bool characterChosen = false;
    uint32_t start = platform::clock().tickMs();
    while (!loginSession().loggedIn && platform::clock().tickMs() - start < 10000) {
        loop.runPass();
        if (!shardChosen && !shardList().shards.empty()) {
            shardChosen = true;
            PacketStorage<8> select;
            buildServerSelectPacket(select, shardList().shards[0].id);
            sendPacket(select);
        }
        if (!characterChosen && characterSlots().keys[0] == 0) {
            characterChosen = true;
            uint8_t info[kClientInfoSize] = {};
            PacketStorage<96> play;
            buildPlayCharacterPacket(play, characterSlots().names[0].c_str(), info, 0, 0);
            sendPacket(play);
        }
    }
    if (!loginSession().loggedIn) {
        std::fprintf(stderr, "the login road did not reach the world; the server saw:");
        for (test::ServerStep step : server.events().steps)
            std::fprintf(stderr, " %s", test::serverStepName(step));
        std::fprintf(stderr, "\n");
        stop = true;
        serverThread.join();
        return 1;
    }
    setInWorldFlag(true);

    double cpuBefore = threadCpuSeconds();
    uint32_t idleStart = platform::clock().tickMs();
    uint64_t passes = 0;
    while (platform::clock().tickMs() - idleStart < seconds * 1000) {
        loop.runPass();
        ++passes;
    }
    double cpu = threadCpuSeconds() - cpuBefore;
    double wall = double(platform::clock().tickMs() - idleStart) / 1000.0;
    std::printf("idle in the world for %.1f s: main thread CPU %.3f s (%.2f%% of a core), %llu loop passes, "
                "%u keep-alives answered, connection open: %s\n",
        wall, cpu, 100.0 * cpu / wall, static_cast<unsigned long long>(passes), server.events().keepAlives,
        gameConnectionIsOpen() ? "yes" : "no");

    stop = true;
    serverThread.join();
    destroyPingMonitor();
    destroyAllSessions();
    destroyAllConnections();
    return 0;
}
