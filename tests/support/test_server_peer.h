#pragma once
// A scripted server on the loopback address for protocol tests. It accepts one
// connection from the client under test, reads the seed, deciphers what the
// client sends (login stream cipher or game stream cipher) and sends packets
// plain, or compressed and digest-XORed as a game server does. Everything is
// driven step by step from the test's thread; reads wait a bounded time.

#include "platform/sockets.h"
#include "support/server_stream_codec.h"

#include <cstdint>
#include <vector>

namespace test {

class TestServerPeer {
public:
    TestServerPeer();
    ~TestServerPeer();
    TestServerPeer(const TestServerPeer&) = delete;
    TestServerPeer& operator=(const TestServerPeer&) = delete;

    bool isListening() const { return m_listener != platform::kNoSocket; }
    static uint32_t address() { return 0x7F000001u; }
    uint16_t port() const { return m_port; }

    // Accepts the client's connection (it may already have connected).
    bool accept(uint32_t timeoutMs = 2000);
    // Reads the 4-byte seed and sets up the ciphers of both directions as the
    // client does: `gameServer` selects the Twofish key form.
    bool readSeed(uint32_t& seed, bool gameServer);
    // Reads exactly `count` bytes as they are on the wire.
    bool readRaw(std::vector<uint8_t>& out, size_t count, uint32_t timeoutMs = 2000);
    // Reads exactly `count` bytes and deciphers them.
    bool readLoginCiphered(std::vector<uint8_t>& out, size_t count);
    bool readGameCiphered(std::vector<uint8_t>& out, size_t count);
    // Deciphers bytes already read, continuing each cipher's stream.
    void gameDecipher(std::vector<uint8_t>& bytes) { m_codec.gameDecipher(bytes.data(), bytes.size()); }
    void loginDecipher(std::vector<uint8_t>& bytes) { m_codec.loginDecipher(bytes.data(), bytes.size()); }
    // Reads whatever arrives within `timeoutMs` (nothing deciphered).
    std::vector<uint8_t> readAvailable(uint32_t timeoutMs);

    bool sendRaw(const std::vector<uint8_t>& bytes);
    // The stream a game server sends for `packets`: Huffman-coded, then XORed
    // with the digest (continuing this peer's digest position).
    std::vector<uint8_t> compress(const std::vector<std::vector<uint8_t>>& packets)
    {
        return m_codec.compress(packets);
    }
    bool sendCompressed(const std::vector<std::vector<uint8_t>>& packets) { return sendRaw(compress(packets)); }

    // Closes the accepted connection (the listener stays).
    void closeConnection();
    platform::SocketHandle connection() const { return m_connection; }

private:
    platform::SocketHandle m_listener { platform::kNoSocket };
    platform::SocketHandle m_connection { platform::kNoSocket };
    uint16_t m_port { 0 };
    ServerStreamCodec m_codec;
};

} // namespace test
