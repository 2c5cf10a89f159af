// Feeds arbitrary bytes to a connection's read step: plain or compressed, in
// reads of varying size, with a handler that pauses on 0x33 as the dispatcher
// does and reads every delivered packet through the getters.
//
// Input: byte 0 picks the stream form (bit 0) and the read size (the rest);
// the remaining bytes are the stream.

#include "net/game_connection.h"
#include "net/packet_table.h"

#include <cstddef>
#include <cstdint>

namespace {

class ReadingHandler final : public GameConnectionHandler {
public:
    void connectionLost(GameConnection&, const char16_t*) override { }
    void dispatchPacket(GameConnection& connection, const uint8_t* packet) override
    {
        if (packet[0] == 0x33) {
            int32_t offset = 0;
            uint8_t flag = 0;
            if (packetGetByte(packet, offset, flag) && flag != 0)
                connection.pauseDelivery();
        }
        int32_t offset = 0;
        uint8_t byte = 0;
        uint32_t sum = 0;
        while (packetGetByte(packet, offset, byte))
            sum += byte;
        offset = 0;
        const char* text = nullptr;
        while (packetGetText(packet, offset, text))
            sum += uint8_t(text[0]);
        m_sink = m_sink + sum;
    }

private:
    volatile uint32_t m_sink { 0 };
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static GameConnection* connection = new GameConnection;
    static ReadingHandler handler;
    setGameConnectionHandler(&handler);
    if (size < 1)
        return 0;
    connection->resetState();
    connection->setCompressed((data[0] & 1) != 0);
    size_t readSize = 1 + size_t(data[0] >> 1) * 61;
    for (size_t at = 1; at < size;) {
        size_t piece = size - at < readSize ? size - at : readSize;
        size_t taken = connection->receiveBytes(data + at, piece);
        // A full buffer that takes nothing more would stall the stream for ever.
        if (taken == 0)
            __builtin_trap();
        at += taken;
    }
    return 0;
}
