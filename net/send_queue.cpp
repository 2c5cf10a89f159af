// The send side of a connection: the 64 KB queue, the login stream cipher
// applied at queue time and the game stream cipher applied at flush.

#include "net/buffered_connection.h"
#include "net/packet_table.h"

#include <cstring>

bool BufferedConnection::queuePacket(const PacketBuffer& packet)
{
    uint32_t length = packet.length();
    if (length == 0)
        return false;
    const uint8_t* bytes = packet.data();
    m_sendIdStats.add(bytes[0], length);
    m_sendSizeStats.add(length);
    if (m_sendFill + length > kSendBufferSize)
        return false;
    uint8_t* target = m_send + m_sendFill;
    if (editServerMode() || m_compressed) {
        std::memcpy(target, bytes, length);
    } else {
        for (uint32_t i = 0; i < length; ++i)
            target[i] = loginCipherStep(m_loginKeys, bytes[i]);
    }
    m_sendFill += length;
    return true;
}

bool BufferedConnection::flush()
{
    // A closed connection reports the loss; the handler ignores it while the
    // application quits.
    if (!isOpen()) {
        onConnectionLost(u"");
        return false;
    }
    bool gameCipher = m_cipherOn && m_compressed;
    if (gameCipher && m_sendCipherMark < m_sendFill) {
        // Each byte passes the cipher exactly once, in queue order.
        m_gameCipher.apply(m_send + m_sendCipherMark, m_sendFill - m_sendCipherMark);
        m_sendCipherMark = m_sendFill;
    }
    if (m_sendFill == 0)
        return false;
    platform::IoResult result = platform::socketSend(m_handle, m_send, m_sendFill);
    if (result.status == platform::IoStatus::WouldBlock)
        return true; // the kernel's buffer is full: keep everything for the next pass
    if (result.status != platform::IoStatus::Done) {
        loseConnection();
        return false;
    }
    uint32_t sent = uint32_t(result.count);
    std::memmove(m_send, m_send + sent, m_sendFill - sent);
    std::memset(m_send + m_sendFill - sent, 0, sent);
    m_sendFill -= sent;
    m_sendCipherMark = m_sendCipherMark > sent ? m_sendCipherMark - sent : 0;
    countSent(sent);
    return m_sendFill > 0;
}

void BufferedConnection::flushAll()
{
    // On a blocking socket each send waits by itself; on a non-blocking one
    // wait for room, but not for ever.
    constexpr uint32_t kWaitStepMs = 100;
    uint32_t waited = 0;
    while (flush()) {
        platform::SocketPoll entry;
        entry.socket = m_handle;
        entry.wantWrite = true;
        if (platform::pollSockets({ &entry, 1 }, kWaitStepMs) <= 0) {
            waited += kWaitStepMs;
            if (waited >= kConnectTimeoutMs)
                return;
        }
    }
}
