#include "support/test_server_peer.h"

namespace test {

namespace {

constexpr uint32_t kWaitStepMs = 10;

enum class WaitFor { Reading, Writing };

// Waits one step for the socket to become readable or writable; false once
// `waited` has reached `timeoutMs`.
bool waitStep(platform::SocketHandle socket, WaitFor what, uint32_t& waited, uint32_t timeoutMs)
{
    if (waited >= timeoutMs)
        return false;
    platform::SocketPoll entry;
    entry.socket = socket;
    entry.wantRead = what == WaitFor::Reading;
    entry.wantWrite = what == WaitFor::Writing;
    platform::pollSockets({ &entry, 1 }, kWaitStepMs);
    waited += kWaitStepMs;
    return true;
}

} // namespace

TestServerPeer::TestServerPeer()
    : m_listener(platform::tcpListenLoopback(0))
{
    if (m_listener != platform::kNoSocket)
        m_port = platform::socketLocalPort(m_listener);
}

TestServerPeer::~TestServerPeer()
{
    closeConnection();
    platform::closeSocket(m_listener);
}

bool TestServerPeer::accept(uint32_t timeoutMs)
{
    closeConnection();
    m_connection = platform::tcpAccept(m_listener, timeoutMs);
    if (m_connection == platform::kNoSocket)
        return false;
    return platform::setSocketBlocking(m_connection, false);
}

bool TestServerPeer::readSeed(uint32_t& seed, bool gameServer)
{
    std::vector<uint8_t> bytes;
    if (!readRaw(bytes, 4))
        return false;
    seed = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    m_codec.start(seed, gameServer);
    return true;
}

bool TestServerPeer::readRaw(std::vector<uint8_t>& out, size_t count, uint32_t timeoutMs)
{
    out.assign(count, 0);
    size_t got = 0;
    uint32_t waited = 0;
    while (got < count) {
        platform::IoResult result = platform::socketReceive(m_connection, out.data() + got, count - got);
        if (result.status == platform::IoStatus::Done) {
            got += size_t(result.count);
            continue;
        }
        if (result.status != platform::IoStatus::WouldBlock
            || !waitStep(m_connection, WaitFor::Reading, waited, timeoutMs))
            return false;
    }
    return true;
}

bool TestServerPeer::readLoginCiphered(std::vector<uint8_t>& out, size_t count)
{
    if (!readRaw(out, count))
        return false;
    loginDecipher(out);
    return true;
}

bool TestServerPeer::readGameCiphered(std::vector<uint8_t>& out, size_t count)
{
    if (!readRaw(out, count))
        return false;
    m_codec.gameDecipher(out.data(), out.size());
    return true;
}

std::vector<uint8_t> TestServerPeer::readAvailable(uint32_t timeoutMs)
{
    std::vector<uint8_t> out;
    platform::SocketPoll entry;
    entry.socket = m_connection;
    entry.wantRead = true;
    while (platform::pollSockets({ &entry, 1 }, timeoutMs) > 0) {
        uint8_t chunk[4096];
        platform::IoResult result = platform::socketReceive(m_connection, chunk, sizeof chunk);
        if (result.status != platform::IoStatus::Done)
            break;
        out.insert(out.end(), chunk, chunk + result.count);
    }
    return out;
}

bool TestServerPeer::sendRaw(const std::vector<uint8_t>& bytes)
{
    size_t sent = 0;
    uint32_t waited = 0;
    while (sent < bytes.size()) {
        platform::IoResult result = platform::socketSend(m_connection, bytes.data() + sent, bytes.size() - sent);
        if (result.status == platform::IoStatus::Done) {
            sent += size_t(result.count);
            continue;
        }
        if (result.status != platform::IoStatus::WouldBlock || !waitStep(m_connection, WaitFor::Writing, waited, 2000))
            return false;
    }
    return true;
}

void TestServerPeer::closeConnection()
{
    platform::closeSocket(m_connection);
    m_connection = platform::kNoSocket;
}

} // namespace test
