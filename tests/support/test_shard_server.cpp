#include "support/test_shard_server.h"

#include "fixtures/server_packet.h"
#include "net/packet_table.h"

#include <algorithm>

namespace test {

namespace {

using Packet = std::vector<uint8_t>;
using fixture::ServerPacket;

constexpr size_t kTextField = 30;
constexpr uint8_t kDeniedBadAccount = 0;
constexpr uint8_t kDeniedBadPassword = 3;
constexpr uint8_t kDeniedShardFull = 2;
constexpr uint8_t kDeniedInUse = 1;
constexpr uint32_t kSendWaitMs = 2000;
constexpr uint32_t kSendStepMs = 10;

uint32_t big32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

std::string fieldText(const uint8_t* bytes, size_t width)
{
    size_t length = 0;
    while (length < width && bytes[length])
        ++length;
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

} // namespace

struct TestShardServer::Client {
    platform::SocketHandle socket { platform::kNoSocket };
    bool game { false };
    bool seeded { false };
    std::vector<uint8_t> seed;
    std::vector<uint8_t> inbox;
    ServerStreamCodec codec;
    const TestAccountSpec* account { nullptr };
    bool inWorld { false };
    bool closing { false };
};

int64_t clientPacketLength(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return 0;
    uint8_t id = bytes[0];
    if (!packetIsKnown(id))
        return -1;
    uint32_t length = packetFixedLength(id);
    if (packetIsVariable(id)) {
        if (bytes.size() < 3)
            return 0;
        length = uint32_t(bytes[1]) << 8 | bytes[2];
        if (length < 3)
            return -1;
    }
    if (length == 0)
        return -1;
    return bytes.size() >= length ? int64_t(length) : 0;
}

const char* serverStepName(ServerStep step)
{
    switch (step) {
    case ServerStep::LoginSeed:
        return "LoginSeed";
    case ServerStep::AccountLogin:
        return "AccountLogin";
    case ServerStep::ShardList:
        return "ShardList";
    case ServerStep::ShardSelect:
        return "ShardSelect";
    case ServerStep::Relay:
        return "Relay";
    case ServerStep::GameSeed:
        return "GameSeed";
    case ServerStep::GameLogin:
        return "GameLogin";
    case ServerStep::CharacterList:
        return "CharacterList";
    case ServerStep::PlayCharacter:
        return "PlayCharacter";
    case ServerStep::CreateCharacter:
        return "CreateCharacter";
    case ServerStep::WorldEntry:
        return "WorldEntry";
    }
    return "?";
}

bool ServerEvents::reached(ServerStep step) const { return std::find(steps.begin(), steps.end(), step) != steps.end(); }

TestShardServer::TestShardServer(TestShardConfig config)
    : m_config(std::move(config))
{
    m_loginListener = platform::tcpListenLoopback(m_config.loginPort);
    if (platform::localIPv4Address() == kLoginAddress)
        m_gameAddress = kLoginAddress + 1;
    m_gameListener = platform::tcpListenOn(m_gameAddress, m_config.gamePort);
    if (m_loginListener != platform::kNoSocket)
        m_loginPort = platform::socketLocalPort(m_loginListener);
    if (m_gameListener != platform::kNoSocket)
        m_gamePort = platform::socketLocalPort(m_gameListener);
}

TestShardServer::~TestShardServer()
{
    closeClients();
    platform::closeSocket(m_loginListener);
    platform::closeSocket(m_gameListener);
}

bool TestShardServer::isListening() const
{
    return m_loginListener != platform::kNoSocket && m_gameListener != platform::kNoSocket;
}

void TestShardServer::closeClients()
{
    for (std::unique_ptr<Client>& client : m_clients)
        platform::closeSocket(client->socket);
    m_clients.clear();
}

void TestShardServer::run(const std::atomic<bool>& stop)
{
    while (!stop)
        pump(50);
}

void TestShardServer::pump(uint32_t waitMs)
{
    std::vector<platform::SocketPoll> polls;
    for (platform::SocketHandle listener : { m_loginListener, m_gameListener }) {
        platform::SocketPoll entry;
        entry.socket = listener;
        entry.wantRead = true;
        polls.push_back(entry);
    }
    for (const std::unique_ptr<Client>& client : m_clients) {
        platform::SocketPoll entry;
        entry.socket = client->socket;
        entry.wantRead = true;
        polls.push_back(entry);
    }
    if (platform::pollSockets(polls, waitMs) <= 0)
        return;
    if (polls[0].readable)
        acceptFrom(m_loginListener, false);
    if (polls[1].readable)
        acceptFrom(m_gameListener, true);
    size_t existing = polls.size() - 2;
    for (size_t i = 0; i < existing && i < m_clients.size(); ++i) {
        if (polls[i + 2].readable)
            readFrom(*m_clients[i]);
    }
    for (auto it = m_clients.begin(); it != m_clients.end();) {
        if ((*it)->closing) {
            platform::closeSocket((*it)->socket);
            it = m_clients.erase(it);
        } else {
            ++it;
        }
    }
}

void TestShardServer::acceptFrom(platform::SocketHandle listener, bool game)
{
    platform::SocketHandle socket = platform::tcpAccept(listener, 0);
    if (socket == platform::kNoSocket)
        return;
    platform::setSocketBlocking(socket, false);
    auto client = std::make_unique<Client>();
    client->socket = socket;
    client->game = game;
    m_clients.push_back(std::move(client));
}

void TestShardServer::readFrom(Client& client)
{
    uint8_t chunk[4096];
    for (;;) {
        platform::IoResult result = platform::socketReceive(client.socket, chunk, sizeof chunk);
        if (result.status == platform::IoStatus::WouldBlock)
            break;
        if (result.status != platform::IoStatus::Done) {
            client.closing = true;
            return;
        }
        size_t at = 0;
        size_t count = size_t(result.count);
        // The first four bytes are the seed, in the clear.
        while (!client.seeded && client.seed.size() < 4 && at < count)
            client.seed.push_back(chunk[at++]);
        if (!client.seeded && client.seed.size() == 4) {
            client.seeded = true;
            uint32_t seed = big32(client.seed.data());
            client.codec.start(seed, client.game);
            if (client.game)
                m_events.gameSeed = seed;
            else
                m_events.loginSeed = seed;
            reach(client, client.game ? ServerStep::GameSeed : ServerStep::LoginSeed);
            if (client.closing)
                return;
        }
        if (at >= count)
            continue;
        uint8_t* bytes = chunk + at;
        size_t length = count - at;
        if (client.game)
            client.codec.gameDecipher(bytes, length);
        else
            client.codec.loginDecipher(bytes, length);
        client.inbox.insert(client.inbox.end(), bytes, bytes + length);
    }
    while (!client.closing) {
        int64_t length = clientPacketLength(client.inbox);
        if (length < 0) {
            client.closing = true; // not a packet of this protocol
            return;
        }
        if (length == 0)
            return;
        Packet packet(client.inbox.begin(), client.inbox.begin() + length);
        client.inbox.erase(client.inbox.begin(), client.inbox.begin() + length);
        handlePacket(client, packet);
    }
}

void TestShardServer::reach(Client& client, ServerStep step)
{
    m_events.steps.push_back(step);
    if (m_dropAfter == int32_t(step))
        client.closing = true;
}

void TestShardServer::send(Client& client, const std::vector<Packet>& packets)
{
    if (client.closing)
        return;
    Packet stream;
    if (client.game) {
        stream = client.codec.compress(packets);
    } else {
        for (const Packet& packet : packets)
            stream.insert(stream.end(), packet.begin(), packet.end());
    }
    size_t sent = 0;
    uint32_t waited = 0;
    while (sent < stream.size()) {
        platform::IoResult result = platform::socketSend(client.socket, stream.data() + sent, stream.size() - sent);
        if (result.status == platform::IoStatus::Done) {
            sent += size_t(result.count);
            continue;
        }
        if (result.status != platform::IoStatus::WouldBlock || waited >= kSendWaitMs) {
            client.closing = true;
            return;
        }
        platform::SocketPoll entry;
        entry.socket = client.socket;
        entry.wantWrite = true;
        platform::pollSockets({ &entry, 1 }, kSendStepMs);
        waited += kSendStepMs;
    }
}

void TestShardServer::sendToGame(const std::vector<Packet>& packets)
{
    for (const std::unique_ptr<Client>& client : m_clients) {
        if (client->game && client->account)
            send(*client, packets);
    }
}

size_t TestShardServer::sendToWorld(const std::vector<Packet>& packets)
{
    size_t count = 0;
    for (const std::unique_ptr<Client>& client : m_clients) {
        if (client->game && client->inWorld && !client->closing) {
            send(*client, packets);
            ++count;
        }
    }
    return count;
}

size_t TestShardServer::worldClientCount() const
{
    return size_t(std::count_if(m_clients.begin(), m_clients.end(),
        [](const std::unique_ptr<Client>& client) { return client->game && client->inWorld && !client->closing; }));
}

const TestAccountSpec* TestShardServer::findAccount(const std::string& name) const
{
    for (const TestAccountSpec& account : m_config.accounts) {
        if (account.name == name)
            return &account;
    }
    return nullptr;
}

const TestAccountSpec* TestShardServer::accountForLogin(const std::string& name, const std::string& password)
{
    if (const TestAccountSpec* account = findAccount(name))
        return account;
    if (!m_config.acceptAnyAccount || name.empty())
        return nullptr;
    for (const std::unique_ptr<TestAccountSpec>& made : m_madeAccounts) {
        if (made->name == name)
            return made.get();
    }
    auto made = std::make_unique<TestAccountSpec>();
    made->name = name;
    made->password = password;
    if (!m_config.accounts.empty())
        made->characters = m_config.accounts.front().characters;
    m_madeAccounts.push_back(std::move(made));
    return m_madeAccounts.back().get();
}

void TestShardServer::handlePacket(Client& client, const Packet& packet)
{
    if (packet[0] == 0x73) {
        // The keep-alive is answered in kind on either server.
        ++m_events.keepAlives;
        send(client, { ServerPacket(0x73, ServerPacket::Length::Fixed).u8(packet.size() > 1 ? packet[1] : 0).bytes() });
        return;
    }
    if (client.game)
        handleGamePacket(client, packet);
    else
        handleLoginPacket(client, packet);
}

std::vector<uint8_t> TestShardServer::shardListPacket() const
{
    ServerPacket list(0xA8);
    list.u8(m_config.nextLoginKey).u16(uint16_t(1 + m_config.moreShards.size()));
    list.u16(m_config.shardId)
        .text(m_config.shardName, 32)
        .u8(m_config.shardPercentFull)
        .u8(uint8_t(m_config.shardTimeZone))
        .u32(m_gameAddress);
    for (const TestShardSpec& shard : m_config.moreShards)
        list.u16(shard.id).text(shard.name, 32).u8(shard.percentFull).u8(uint8_t(shard.timeZone)).u32(m_gameAddress);
    return list.bytes();
}

bool TestShardServer::accountInWorld(const TestAccountSpec* account) const
{
    for (const std::unique_ptr<Client>& other : m_clients) {
        if (other->inWorld && !other->closing && other->account == account)
            return true;
    }
    return false;
}

void TestShardServer::handleLoginPacket(Client& client, const Packet& packet)
{
    uint8_t id = packet[0];
    if (id == 0x80 || id == 0xCF) {
        m_events.account = fieldText(&packet[1], kTextField);
        m_events.password = fieldText(&packet[31], kTextField);
        m_events.loginKey = packet[61];
        reach(client, ServerStep::AccountLogin);
        const TestAccountSpec* account = accountForLogin(m_events.account, m_events.password);
        if (!account || account->password != m_events.password) {
            ++m_events.refusals;
            uint8_t reason = account ? kDeniedBadPassword : kDeniedBadAccount;
            send(client, { ServerPacket(0x82, ServerPacket::Length::Fixed).u8(reason).bytes() });
            return;
        }
        if (m_config.refuseAccountInUse && accountInWorld(account)) {
            ++m_events.refusals;
            send(client, { ServerPacket(0x82, ServerPacket::Length::Fixed).u8(kDeniedInUse).bytes() });
            return;
        }
        client.account = account;
        send(client, { shardListPacket() });
        reach(client, ServerStep::ShardList);
    } else if (id == 0xA0 && client.account) {
        m_events.selectedShard = uint16_t(packet[1] << 8 | packet[2]);
        reach(client, ServerStep::ShardSelect);
        if (m_config.shardFull) {
            ++m_events.refusals;
            send(client, { ServerPacket(0x82, ServerPacket::Length::Fixed).u8(kDeniedShardFull).bytes() });
            return;
        }
        send(client,
            { ServerPacket(0x8C, ServerPacket::Length::Fixed)
                    .u32(m_gameAddress)
                    .u16(m_gamePort)
                    .u32(m_config.relayKey)
                    .bytes() });
        reach(client, ServerStep::Relay);
    } else if (id == 0xD9) {
        m_events.metricsReports.push_back(packet);
    }
}

std::vector<uint8_t> TestShardServer::characterListPacket(const TestAccountSpec& account) const
{
    std::vector<std::string> characters = account.characters;
    for (const auto& [owner, name] : m_createdCharacters)
        if (owner == account.name)
            characters.push_back(name);
    size_t count = std::min<size_t>(characters.size(), 6);
    ServerPacket list(0xA9);
    list.u8(uint8_t(count));
    // Never fewer than five entries.
    size_t entries = std::max<size_t>(count, 5);
    for (size_t i = 0; i < entries; ++i)
        list.text(i < count ? characters[i] : std::string(), 30).text(std::string(), 30);
    list.u8(uint8_t(m_config.startLocations.size()));
    for (size_t i = 0; i < m_config.startLocations.size(); ++i)
        list.u8(uint8_t(i)).text(m_config.startLocations[i].first, 31).text(m_config.startLocations[i].second, 31);
    list.u32(m_config.characterListFlags);
    return list.bytes();
}

void TestShardServer::handleGamePacket(Client& client, const Packet& packet)
{
    uint8_t id = packet[0];
    if (id == 0x91) {
        m_events.gameLoginKey = big32(&packet[1]);
        std::string name = fieldText(&packet[5], kTextField);
        std::string password = fieldText(&packet[35], kTextField);
        reach(client, ServerStep::GameLogin);
        const TestAccountSpec* account = accountForLogin(name, password);
        if (m_events.gameLoginKey != m_config.relayKey || !account || account->password != password) {
            ++m_events.refusals;
            send(client, { ServerPacket(0x82, ServerPacket::Length::Fixed).u8(kDeniedBadPassword).bytes() });
            return;
        }
        client.account = account;
        send(client, { characterListPacket(*account) });
        reach(client, ServerStep::CharacterList);
    } else if (id == 0x00 && client.account && packet.size() >= 40) {
        // A create request: the character joins the account's list, which
        // goes back as the answer.
        m_events.createRequest = packet;
        m_events.createdName = fieldText(&packet[10], kTextField);
        m_createdCharacters.emplace_back(client.account->name, m_events.createdName);
        reach(client, ServerStep::CreateCharacter);
        send(client, { characterListPacket(*client.account) });
    } else if (id == 0x5D && client.account) {
        m_events.playedName = fieldText(&packet[5], kTextField);
        m_events.playedSlot = big32(&packet[65]);
        reach(client, ServerStep::PlayCharacter);
        Packet confirm = ServerPacket(0x1B, ServerPacket::Length::Fixed)
                             .u32(m_config.playerSerial)
                             .u32(0)
                             .u16(m_config.playerBody)
                             .u16(m_config.playerX)
                             .u16(m_config.playerY)
                             .u16(uint16_t(int16_t(m_config.playerZ)))
                             .u8(0) // direction
                             .u8(0) // map region
                             .u32(0)
                             .u16(0) // map area: left, top, width, height
                             .u16(0)
                             .u16(7168)
                             .u16(4096)
                             .fill(6, 0)
                             .bytes();
        send(client, { confirm, ServerPacket(0x55, ServerPacket::Length::Fixed).bytes() });
        if (!m_config.worldPackets.empty())
            send(client, m_config.worldPackets);
        if (m_worldEntryHook)
            send(client, m_worldEntryHook(m_events.playedName));
        client.inWorld = true;
        reach(client, ServerStep::WorldEntry);
    } else if (m_gamePacketHook && client.inWorld) {
        std::vector<Packet> replies = m_gamePacketHook(packet);
        if (!replies.empty())
            send(client, replies);
    }
}

} // namespace test
