#include "support/packet_tap.h"

#include "net/game_connection.h"
#include "support/test_shard_server.h"

namespace test {

namespace {

constexpr uint32_t kLoopback = 0x7F000001u;
constexpr uint32_t kAcceptWaitMs = 2000;

} // namespace

PacketTap::PacketTap()
{
    m_listener = platform::tcpListenLoopback(0);
    if (m_listener == platform::kNoSocket || !createGameConnection())
        return;
    GameConnection* connection = currentGameConnection();
    if (!connection->connect(kLoopback, platform::socketLocalPort(m_listener)))
        return;
    m_peer = platform::tcpAccept(m_listener, kAcceptWaitMs);
    if (m_peer != platform::kNoSocket)
        platform::setSocketBlocking(m_peer, false);
}

PacketTap::~PacketTap()
{
    hangUp();
    platform::closeSocket(m_listener);
}

void PacketTap::hangUp()
{
    platform::closeSocket(m_peer);
    m_peer = platform::kNoSocket;
}

void PacketTap::readAvailable()
{
    uint8_t chunk[4096];
    for (;;) {
        platform::SocketPoll entry;
        entry.socket = m_peer;
        entry.wantRead = true;
        if (platform::pollSockets({ &entry, 1 }, 20) <= 0 || !entry.readable)
            return;
        platform::IoResult result = platform::socketReceive(m_peer, chunk, sizeof chunk);
        if (result.status != platform::IoStatus::Done || result.count <= 0)
            return;
        size_t at = 0;
        const size_t count = size_t(result.count);
        // The seed comes first, in the clear.
        while (m_seed.size() < 4 && at < count)
            m_seed.push_back(chunk[at++]);
        if (!m_started && m_seed.size() == 4) {
            m_started = true;
            const uint32_t seed
                = uint32_t(m_seed[0]) << 24 | uint32_t(m_seed[1]) << 16 | uint32_t(m_seed[2]) << 8 | m_seed[3];
            m_codec.start(seed, false);
        }
        if (at >= count)
            continue;
        m_codec.loginDecipher(chunk + at, count - at);
        m_inbox.insert(m_inbox.end(), chunk + at, chunk + count);
    }
}

std::vector<std::vector<uint8_t>> PacketTap::take()
{
    std::vector<std::vector<uint8_t>> packets;
    if (!isConnected())
        return packets;
    if (GameConnection* connection = currentGameConnection())
        connection->flushAll();
    readAvailable();
    for (;;) {
        const int64_t length = clientPacketLength(m_inbox);
        if (length <= 0)
            break;
        packets.emplace_back(m_inbox.begin(), m_inbox.begin() + length);
        m_inbox.erase(m_inbox.begin(), m_inbox.begin() + length);
    }
    return packets;
}

} // namespace test
