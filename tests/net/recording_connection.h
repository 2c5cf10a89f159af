#pragma once
// A game connection whose handler records what it dispatches, acts on the
// pause packet as the dispatcher does, and counts reported losses.

#include "net/game_connection.h"
#include "net/packet_table.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace test {

using Bytes = std::vector<uint8_t>;

class RecordingConnection : public GameConnectionHandler {
public:
    RecordingConnection()
        : m_link(std::make_unique<GameConnection>())
        , m_previous(setGameConnectionHandler(this))
    {
    }
    ~RecordingConnection() override { setGameConnectionHandler(m_previous); }

    GameConnection& link() { return *m_link; }

    void dispatchPacket(GameConnection&, const uint8_t* packet) override
    {
        uint32_t length = std::max<uint32_t>(packetLength(packet), 1);
        packets.emplace_back(packet, packet + length);
        if (packet[0] == 0x33 && packet[1] != 0)
            m_link->pauseDelivery();
        if (onPacket)
            onPacket(*this, packet);
    }
    void connectionLost(GameConnection&, const char16_t*) override { ++lost; }

    // Feeds `bytes`, all of them even when the buffer takes them in parts.
    void feed(const Bytes& bytes)
    {
        size_t at = 0;
        while (at < bytes.size()) {
            size_t taken = m_link->receiveBytes(bytes.data() + at, bytes.size() - at);
            if (taken == 0)
                break;
            at += taken;
        }
    }

    std::vector<Bytes> packets;
    int lost { 0 };
    std::function<void(RecordingConnection&, const uint8_t*)> onPacket;

private:
    std::unique_ptr<GameConnection> m_link;
    GameConnectionHandler* m_previous;
};

inline Bytes concat(const std::vector<Bytes>& parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace test
