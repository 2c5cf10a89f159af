#include "messenger/messenger_connection.h"

#include "data/config_key_rules.h"
#include "messenger/messenger_protocol.h"
#include "net/game_connection.h"
#include "net/network_pump.h"
#include "platform/clock.h"
#include "platform/sockets.h"
#include "protocol/login_road.h"

#include <cstring>
#include <span>

namespace {

// The readiness wait of one pass.
constexpr uint32_t kPollWaitMs = 1;
// The least time between two connection attempts, in seconds.
constexpr int64_t kReconnectSeconds = 60;

uint16_t unitAt(const std::vector<uint8_t>& bytes, int32_t offset)
{
    return uint16_t(bytes[size_t(offset)] | (bytes[size_t(offset) + 1] << 8));
}

} // namespace

MessengerConnection::MessengerConnection(LineHandler handler)
    : m_handler(handler ? std::move(handler) : LineHandler(handleMessengerLine))
    , m_receive(size_t(kReceiveBufferSize))
    , m_send(size_t(kSendQueueSize))
{
}

void MessengerConnection::fail()
{
    close();
    reconnectMessenger();
}

void MessengerConnection::poll()
{
    if (!isOpen()) {
        if (!appQuitting())
            reconnectMessenger();
        return;
    }
    platform::SocketPoll entry;
    entry.socket = m_handle;
    entry.wantRead = true;
    entry.wantWrite = m_queued > 0;
    if (platform::pollSockets(std::span(&entry, 1), kPollWaitMs) <= 0)
        return;
    if (entry.exception) {
        fail();
        return;
    }
    if (entry.readable && m_received < kReceiveBufferSize) {
        const platform::IoResult result = platform::socketReceive(
            m_handle, m_receive.data() + m_received, size_t(kReceiveBufferSize - m_received));
        if (result.status == platform::IoStatus::Done) {
            countReceived(uint32_t(result.count));
            m_received += result.count;
        } else if (result.status != platform::IoStatus::WouldBlock) {
            // An error, or the peer closed its side: either way the link is
            // dead and only a new connection brings the messenger back.
            fail();
            return;
        }
    }
    if (entry.writable)
        flushSendQueue();
    if (m_received > 0)
        splitMessages();
    // A full buffer without a terminator can never split: nothing more
    // could be read into it. The message is far past any line the protocol
    // takes, so it is dropped with the connection, which starts again.
    if (m_received >= kReceiveBufferSize) {
        m_received = 0;
        if (isOpen())
            fail();
    }
}

bool MessengerConnection::flushSendQueue()
{
    if (!isOpen()) {
        if (!appQuitting())
            reconnectMessenger();
        return false;
    }
    const platform::IoResult result = platform::socketSend(m_handle, m_send.data(), size_t(m_queued));
    if (result.status == platform::IoStatus::Error) {
        fail();
        return false;
    }
    if (result.status == platform::IoStatus::Done && result.count > 0) {
        const int32_t sent = result.count;
        std::memmove(m_send.data(), m_send.data() + sent, size_t(m_queued - sent));
        m_queued -= sent;
        countSent(uint32_t(sent));
    }
    return m_queued > 0;
}

void MessengerConnection::splitMessages()
{
    // Every message starts at an even offset; only whole units are tested,
    // so an odd last byte waits for its partner.
    int32_t start = 0;
    int32_t offset = 0;
    while (offset + 1 < m_received) {
        if (unitAt(m_receive, offset) != 0) {
            offset += 2;
            continue;
        }
        std::u16string line;
        line.reserve(size_t(offset - start) / 2);
        for (int32_t at = start; at < offset; at += 2)
            line.push_back(char16_t(unitAt(m_receive, at)));
        // Further NULs end the same message.
        offset += 2;
        while (offset + 1 < m_received && unitAt(m_receive, offset) == 0)
            offset += 2;
        start = offset;
        m_handler(line);
    }
    if (start > 0) {
        std::memmove(m_receive.data(), m_receive.data() + start, size_t(m_received - start));
        m_received -= start;
    }
}

int32_t MessengerConnection::queueMessage(std::u16string_view text)
{
    const size_t end = text.find(u'\0');
    if (end != std::u16string_view::npos)
        text = text.substr(0, end);
    const int64_t needed = int64_t(text.size()) * 2 + 2;
    if (needed > int64_t(kSendQueueSize - m_queued))
        return 0;
    uint8_t* out = m_send.data() + m_queued;
    for (char16_t unit : text) {
        *out++ = uint8_t(unit & 0xFF);
        *out++ = uint8_t(unit >> 8);
    }
    *out++ = 0;
    *out++ = 0;
    m_queued += int32_t(needed);
    return int32_t(needed);
}

bool MessengerConnection::connect(uint16_t port)
{
    uint32_t address = 0;
    uint16_t target = 0;
    if (!messengerEndpoint(port, address, target)) {
        close();
        return false;
    }
    return connectTo(address, target);
}

bool MessengerConnection::connectTo(uint32_t address, uint16_t port)
{
    close();
    m_received = 0;
    m_handle = platform::tcpConnectStart(address, port);
    return isOpen();
}

MessengerState& messengerState()
{
    static MessengerState state;
    return state;
}

MessengerConnection* messengerSocket() { return messengerState().socket.get(); }

bool isMessengerOpen()
{
    const MessengerConnection* socket = messengerSocket();
    return socket && socket->isOpen();
}

void reconnectMessenger()
{
    MessengerState& state = messengerState();
    state.status = MessengerStatus::NotAvailable;
    GameConnection* game = currentGameConnection();
    if (!game || !game->isOpen() || state.accountId < 0)
        return;
    const int64_t now = int64_t(platform::clock().unixSeconds());
    if (now - state.lastAttempt <= kReconnectSeconds)
        return;
    if (!state.socket)
        state.socket = std::make_unique<MessengerConnection>();
    state.socket->connect(MessengerConnection::kMessengerPort);
    state.lastAttempt = now;
}

void replaceMessengerSocket()
{
    MessengerState& state = messengerState();
    state.socket.reset();
    state.socket = std::make_unique<MessengerConnection>();
}

void deleteMessengerSocket() { messengerState().socket.reset(); }

bool messengerEndpoint(uint16_t port, uint32_t& address, uint16_t& targetPort)
{
    const ServerAddress& configured = configValues().userCentral;
    if (configured.address != 0) {
        address = configured.address;
        targetPort = configured.port != 0 ? configured.port : port;
        return true;
    }
    address = chosenLoginAddress();
    targetPort = port;
    return address != 0;
}
