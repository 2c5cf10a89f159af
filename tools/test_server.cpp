// The test login and game server on loopback, as a program: ./run.sh and a
// developer start it to give the client a server to log in to.
//
//   vardun_test_server [--login-port N] [--game-port N] [--account NAME:PASSWORD:CHAR1,CHAR2]
//                      [--any-account] [--shards NAME,NAME...]
//
// It prints where it listens and serves until interrupted. A character who
// enters the world finds the small stage of the sample data set (the
// sample scene round its centre) and can walk, speak, open the paperdoll
// and the backpack, and move items there. Every account
// given replaces the built-in one ("tester", password "secret"); with
// --any-account every other name logs in too, with any password, and has
// the first account's characters. --shards lists further shards after the
// first one ("Test Shard"); each of them leads to the same game server.
// Beside them a messenger service listens on another loopback port (the
// "UserCentral" setting names it to the client): two mails, an address
// book of three names, every sent mail answered, and a notice.

#include "support/stage_messenger.h"
#include "support/stage_journal.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_stop { false };

void requestStop(int) { g_stop = true; }

std::string dotted(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "."
        + std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

// NAME:PASSWORD:CHAR1,CHAR2,...
bool parseAccount(const std::string& text, test::TestAccountSpec& account)
{
    size_t first = text.find(':');
    size_t second = first == std::string::npos ? std::string::npos : text.find(':', first + 1);
    if (second == std::string::npos || first == 0)
        return false;
    account.name = text.substr(0, first);
    account.password = text.substr(first + 1, second - first - 1);
    std::string rest = text.substr(second + 1);
    size_t at = 0;
    while (at <= rest.size()) {
        size_t comma = rest.find(',', at);
        std::string name = rest.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        if (!name.empty())
            account.characters.push_back(name);
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    return true;
}

int usage()
{
    std::fprintf(stderr,
        "usage: vardun_test_server [--login-port N] [--game-port N] "
        "[--account NAME:PASSWORD:CHAR1,CHAR2]... [--any-account] [--property-lists] [--shards NAME,NAME...]\n");
    return 2;
}

// NAME,NAME,...: shards 2, 3, ... in three time zones, ever fuller.
std::vector<test::TestShardSpec> parseShards(const std::string& text)
{
    std::vector<test::TestShardSpec> shards;
    size_t at = 0;
    while (at <= text.size()) {
        size_t comma = text.find(',', at);
        std::string name = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        if (!name.empty()) {
            const uint16_t id = uint16_t(shards.size() + 2);
            shards.push_back({ name, id, int8_t(int(id % 3) * 6 - 6), uint8_t(std::min(95, 20 * int(id))) });
        }
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    return shards;
}

} // namespace

int main(int argc, char** argv)
{
    test::TestShardConfig config = test::stageShardConfig();
    bool accountsGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--any-account") {
            config.acceptAnyAccount = true;
            continue;
        }
        // The character list grants object property lists (the item-property
        // window then replaces the name click).
        if (argument == "--property-lists") {
            config.characterListFlags |= test::kStagePropertyListsFlag;
            continue;
        }
        if (i + 1 >= argc)
            return usage();
        std::string value = argv[++i];
        if (argument == "--login-port") {
            config.loginPort = uint16_t(std::atoi(value.c_str()));
        } else if (argument == "--game-port") {
            config.gamePort = uint16_t(std::atoi(value.c_str()));
        } else if (argument == "--shards") {
            config.moreShards = parseShards(value);
        } else if (argument == "--account") {
            test::TestAccountSpec account;
            if (!parseAccount(value, account))
                return usage();
            if (!accountsGiven)
                config.accounts.clear();
            accountsGiven = true;
            config.accounts.push_back(account);
        } else {
            return usage();
        }
    }

    test::TestShardServer server(config);
    if (!server.isListening()) {
        std::fprintf(stderr, "vardun_test_server: cannot listen on the ports asked for\n");
        return 1;
    }
    test::StageWorld stage;
    stage.attachTo(server);
    test::StageMessenger messenger;
    std::printf("login server %s,%u\ngame server %s,%u\n", dotted(test::TestShardServer::kLoginAddress).c_str(),
        unsigned(server.loginPort()), dotted(server.gameAddress()).c_str(), unsigned(server.gamePort()));
    if (messenger.isListening())
        std::printf("messenger server %s,%u\n", dotted(test::TestShardServer::kLoginAddress).c_str(),
            unsigned(messenger.port()));
    std::fflush(stdout);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    server.run(g_stop);
    return 0;
}
