#include "net/buffered_connection.h"

#include "net/huffman_decoder.h"

#include <cstring>

namespace {

uint32_t g_connectionSeed = 0;
bool g_editServerMode = false;

} // namespace

uint32_t connectionSeed() { return g_connectionSeed; }
void setConnectionSeed(uint32_t seed) { g_connectionSeed = seed; }
bool editServerMode() { return g_editServerMode; }
void setEditServerMode(bool on) { g_editServerMode = on; }

BufferedConnection::BufferedConnection()
{
    clearBuffers();
    buildHuffmanTree();
}

void BufferedConnection::clearBuffers()
{
    m_sendCipherMark = 0;
    m_decodedLength = 0;
    m_rawBitPosition = 0;
    m_rawStart = 0;
    m_rawFill = 0;
    m_sendFill = 0;
    m_paused = false;
    m_heldOffset = 0;
    m_held.clear();
    m_held.shrink_to_fit();
    m_gameCipher.reset();
    m_digestCounter = 0;
    std::memset(m_raw, 0, sizeof m_raw);
    std::memset(m_send, 0, sizeof m_send);
    std::memset(m_decoded, 0, sizeof m_decoded);
    ++m_resetCount;
}

void BufferedConnection::resetState()
{
    m_secondary = false;
    m_confirmed = false;
    m_gameServer = false;
    m_compressed = false;
    m_cipherOn = false;
    m_loginKeys = {};
    clearBuffers();
    m_handle = platform::kNoSocket;
}

void BufferedConnection::onConnectionLost(const char16_t*) { }

void BufferedConnection::dispatchPacket(const uint8_t*) { }

void BufferedConnection::loseConnection()
{
    close();
    onConnectionLost(u"");
}

bool BufferedConnection::onException()
{
    loseConnection();
    return false;
}

bool BufferedConnection::onWritable() { return flush(); }

bool BufferedConnection::connect(uint32_t address, uint16_t port)
{
    if (isOpen())
        close();
    clearBuffers();

    m_handle = platform::tcpConnect(address, port, kConnectTimeoutMs);
    if (m_handle == platform::kNoSocket)
        return false;

    if (editServerMode()) {
        m_cipherOn = false;
    } else {
        m_cipherOn = true;
        if (connectionSeed() == 0)
            setConnectionSeed(platform::localIPv4Address());
        uint32_t seed = connectionSeed();
        m_loginKeys = deriveLoginKeys(seed);

        // The socket is still blocking here, so the four bytes go out whole
        // unless the connection fails.
        uint8_t wire[4] = { uint8_t(seed >> 24), uint8_t(seed >> 16), uint8_t(seed >> 8), uint8_t(seed) };
        size_t sent = 0;
        while (sent < sizeof wire) {
            platform::IoResult result = platform::socketSend(m_handle, wire + sent, sizeof wire - sent);
            if (result.status != platform::IoStatus::Done) {
                loseConnection();
                return false;
            }
            sent += size_t(result.count);
        }
        countSent(uint32_t(sent));

        m_gameCipher.init(m_gameServer ? seed : seed ^ login_cipher::kLoginTableSeedMask);
        m_gameCipher.tableDigest(m_digest);
        m_digestCounter = 0;
    }
    setNonBlocking();
    return true;
}
