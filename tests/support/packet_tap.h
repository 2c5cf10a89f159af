#pragma once
// A listening end on loopback that the client's current game connection is
// connected to, so that a test sees the packets the code under test sends:
// take() flushes the connection and returns every whole packet that arrived,
// deciphered with the login cipher of the connection's seed. Main thread
// only.

#include "platform/sockets.h"
#include "support/server_stream_codec.h"

#include <cstdint>
#include <vector>

namespace test {

class PacketTap {
public:
    // Makes a new current game connection and connects it here.
    PacketTap();
    ~PacketTap();
    PacketTap(const PacketTap&) = delete;
    PacketTap& operator=(const PacketTap&) = delete;

    bool isConnected() const { return m_peer != platform::kNoSocket; }
    // The packets sent since the last call.
    std::vector<std::vector<uint8_t>> take();
    // Closes the listening end's side of the connection.
    void hangUp();

private:
    void readAvailable();

    platform::SocketHandle m_listener { platform::kNoSocket };
    platform::SocketHandle m_peer { platform::kNoSocket };
    ServerStreamCodec m_codec;
    std::vector<uint8_t> m_seed;
    bool m_started { false };
    std::vector<uint8_t> m_inbox;
};

} // namespace test
