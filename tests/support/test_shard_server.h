#pragma once
// A small login server and game server on loopback for the end-to-end tests
// and for ./run.sh: the client under test connects to the login port, sends
// its seed and the account login, gets a shard list, chooses the shard and is
// relayed with a key to the game port, where it logs in with that key, gets
// its character list, plays a character and receives what entering the world
// needs. It speaks the seed, both ciphers and the compression from the
// server's side. A test tool built from the packet descriptions: it keeps no
// world and plays no game.
//
// One thread drives it: pump() steps every connection without blocking
// longer than asked; run() pumps until told to stop (the program's loop).

#include "platform/sockets.h"
#include "support/server_stream_codec.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace test {

struct TestAccountSpec {
    std::string name;
    std::string password;
    std::vector<std::string> characters; // at most six are listed
};

// A further shard of the list; choosing it relays to the same game server.
struct TestShardSpec {
    std::string name;
    uint16_t id { 0 };
    int8_t timeZone { 0 };
    uint8_t percentFull { 0 };
};

struct TestShardConfig {
    std::vector<TestAccountSpec> accounts { { "tester", "secret", { "Aldric", "Brenna" } } };
    // Any other account name logs in with the password it gives, and has the
    // first account's characters.
    bool acceptAnyAccount { false };
    // The choice of a shard is refused as the shard being full.
    bool shardFull { false };
    // An account login for an account that has a character in the world is
    // refused as the account being in use.
    bool refuseAccountInUse { false };
    std::vector<TestShardSpec> moreShards;
    std::string shardName { "Test Shard" };
    uint16_t shardId { 1 };
    int8_t shardTimeZone { 0 };
    uint8_t shardPercentFull { 10 };
    uint8_t nextLoginKey { 7 };
    uint32_t relayKey { 0x5EED1234 };
    uint16_t loginPort { 0 }; // 0: any free port
    uint16_t gamePort { 0 };
    std::vector<std::pair<std::string, std::string>> startLocations { { "Corvale", "The Lantern Inn" } };
    uint32_t characterListFlags { 0 };
    uint32_t playerSerial { 0x00000F01 };
    uint16_t playerBody { 0x0190 };
    uint16_t playerX { 1000 };
    uint16_t playerY { 1200 };
    int8_t playerZ { 0 };
    // Sent after the login is complete, in this order (support/world_packets.h
    // builds them).
    std::vector<std::vector<uint8_t>> worldPackets;
};

// The steps of the road as the server sees them, in their order.
enum class ServerStep : uint8_t {
    LoginSeed,
    AccountLogin,
    ShardList,
    ShardSelect,
    Relay,
    GameSeed,
    GameLogin,
    CharacterList,
    PlayCharacter,
    WorldEntry,
    CreateCharacter,
};
const char* serverStepName(ServerStep step);

// The total length of the client packet at the front of `bytes`: 0 while it
// is incomplete, -1 for an id the packet table does not know.
int64_t clientPacketLength(const std::vector<uint8_t>& bytes);

struct ServerEvents {
    std::vector<ServerStep> steps;
    uint32_t loginSeed { 0 };
    std::string account;
    std::string password;
    uint8_t loginKey { 0 };
    uint16_t selectedShard { 0 };
    uint32_t gameSeed { 0 };
    uint32_t gameLoginKey { 0 };
    std::string playedName;
    uint32_t playedSlot { 0 };
    // The last create request (0x00) as received, and the name it carried.
    std::vector<uint8_t> createRequest;
    std::string createdName;
    uint32_t keepAlives { 0 };
    uint32_t refusals { 0 };
    // The client's metrics packets (0xD9), as received; the server only keeps them.
    std::vector<std::vector<uint8_t>> metricsReports;

    bool reached(ServerStep step) const;
};

class TestShardServer {
public:
    explicit TestShardServer(TestShardConfig config = {});
    ~TestShardServer();
    TestShardServer(const TestShardServer&) = delete;
    TestShardServer& operator=(const TestShardServer&) = delete;

    bool isListening() const;
    static constexpr uint32_t kLoginAddress = 0x7F000001u;
    uint16_t loginPort() const { return m_loginPort; }
    // The game server listens on another loopback address when this host's
    // own address is 127.0.0.1: the client keeps its login connection for a
    // game server at its own address.
    uint32_t gameAddress() const { return m_gameAddress; }
    uint16_t gamePort() const { return m_gamePort; }

    // The connection is closed right after `step` (after receiving what the
    // client sent, or after sending the server's answer).
    void dropConnectionAfter(ServerStep step) { m_dropAfter = int32_t(step); }

    // Accepts, reads and answers whatever arrived, waiting at most `waitMs`
    // for something to happen.
    void pump(uint32_t waitMs);
    // Pumps until `stop` is set.
    void run(const std::atomic<bool>& stop);
    // Sends the packets to every client in the game.
    void sendToGame(const std::vector<std::vector<uint8_t>>& packets);
    // Closes every client connection (the listeners stay).
    void closeClients();
    // Sends the packets to every client that entered the world (played a
    // character on this connection); returns how many got them.
    size_t sendToWorld(const std::vector<std::vector<uint8_t>>& packets);
    size_t worldClientCount() const;
    // Asked for each game packet the server does not answer itself (walk
    // requests, speech, ...); what it returns goes back to that client.
    using GamePacketHook = std::function<std::vector<std::vector<uint8_t>>(const std::vector<uint8_t>& packet)>;
    void setGamePacketHook(GamePacketHook hook) { m_gamePacketHook = std::move(hook); }
    // Asked when a client enters the world, with the name of the character
    // it plays; what it returns follows the login confirmation and the
    // configured world packets.
    using WorldEntryHook = std::function<std::vector<std::vector<uint8_t>>(const std::string& character)>;
    void setWorldEntryHook(WorldEntryHook hook) { m_worldEntryHook = std::move(hook); }
    size_t clientCount() const { return m_clients.size(); }

    const ServerEvents& events() const { return m_events; }
    const TestShardConfig& config() const { return m_config; }

private:
    struct Client;

    void acceptFrom(platform::SocketHandle listener, bool game);
    void readFrom(Client& client);
    void handlePacket(Client& client, const std::vector<uint8_t>& packet);
    void handleLoginPacket(Client& client, const std::vector<uint8_t>& packet);
    void handleGamePacket(Client& client, const std::vector<uint8_t>& packet);
    void reach(Client& client, ServerStep step);
    void send(Client& client, const std::vector<std::vector<uint8_t>>& packets);
    const TestAccountSpec* findAccount(const std::string& name) const;
    bool accountInWorld(const TestAccountSpec* account) const;
    // The account of a login, made for the name when any account is accepted.
    const TestAccountSpec* accountForLogin(const std::string& name, const std::string& password);
    std::vector<uint8_t> shardListPacket() const;
    std::vector<uint8_t> characterListPacket(const TestAccountSpec& account) const;

    TestShardConfig m_config;
    platform::SocketHandle m_loginListener { platform::kNoSocket };
    platform::SocketHandle m_gameListener { platform::kNoSocket };
    uint16_t m_loginPort { 0 };
    uint32_t m_gameAddress { kLoginAddress };
    uint16_t m_gamePort { 0 };
    std::vector<std::unique_ptr<Client>> m_clients;
    std::vector<std::unique_ptr<TestAccountSpec>> m_madeAccounts;
    // Characters made by create requests: account name, character name.
    std::vector<std::pair<std::string, std::string>> m_createdCharacters;
    ServerEvents m_events;
    int32_t m_dropAfter { -1 };
    GamePacketHook m_gamePacketHook;
    WorldEntryHook m_worldEntryHook;
};

} // namespace test
