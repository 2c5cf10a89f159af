#pragma once
// The reading windows' tests: the game windows' desktop with the reading
// windows' services in front and their packet handlers registered, a
// dispatch of a server packet as the connection's framing hands it over, and
// a click of the left button that waits out the double-click time.

#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "windows/reading_window_services.h"
#include "windows/server_window_packets.h"
#include "windows/windows_test_support.h"

#include "gump/entry_core.h"

namespace windows_test {

class ReadingDesktop : public WindowDesktop {
protected:
    ReadingDesktop() { registerServerWindowHandlers(); }
    ~ReadingDesktop() override { clearPacketHandlers(); }

    static void dispatch(const Bytes& packet) { dispatchGamePacket(*currentGameConnection(), packet.data()); }
    // A press and release at a client point, then the double-click time
    // passing, so that the window takes it as a single click.
    void click(int32_t x, int32_t y)
    {
        pressLeft(x, y);
        releaseLeft(x, y);
        advance(kDoubleClickMs + 10);
    }
    void doubleClick(int32_t x, int32_t y)
    {
        pressLeft(x, y);
        releaseLeft(x, y);
        advance(50);
        pressLeft(x, y);
        releaseLeft(x, y);
        advance(kDoubleClickMs + 10);
    }
    // The packets queued since the last call whose id is `id`.
    std::vector<Bytes> takePacketsWithId(uint8_t id)
    {
        std::vector<Bytes> found;
        for (Bytes& packet : takePackets())
            if (!packet.empty() && packet[0] == id)
                found.push_back(std::move(packet));
        return found;
    }

    ReadingWindowServices readingServices;
};

} // namespace windows_test
