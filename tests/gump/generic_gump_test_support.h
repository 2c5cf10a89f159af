#pragma once
// What the server-described gump tests share: the gump desktop with test
// hues, a few localized messages and a static art tile, a helper that makes
// a gump from a layout, and a loopback server that sees what the client
// sends and delivers what a server sends through the client's own framing
// and dispatcher.

#include "gump_test_support.h"

#include "fixtures/hue_writer.h"
#include "gump/generic_gump.h"
#include "net/game_connection.h"
#include "support/test_server_peer.h"

#include <memory>
#include <string>
#include <vector>

namespace gump_test {

// The static art tile the tests draw: kTileGraphic, kTileWidth x kTileHeight.
inline constexpr int32_t kTileGraphic = 0x100;
inline constexpr int32_t kTileWidth = 6;
inline constexpr int32_t kTileHeight = 4;
uint16_t tilePixel(int32_t x, int32_t y);

// Localized messages the tests look up.
inline constexpr int32_t kHtmlMessage = 1000001;

// The server-described gumps on the desktop, top first.
std::vector<GenericGump*> openGenericGumps();

class GenericGumpDesktop : public Desktop {
protected:
    GenericGumpDesktop();
    ~GenericGumpDesktop() override;

    // Builds and links a gump at (x, y); sender 0x01020304, type id 0xABCD
    // unless given.
    GenericGump* open(const std::string& layout, std::vector<std::u16string> lines = {}, int32_t x = 0,
        int32_t y = 0, uint32_t sender = 0x01020304, uint32_t typeId = 0xABCD);
    // A left click at a gump point: press and release there.
    static void click(GenericGump* gump, int32_t x, int32_t y);

    fixture::InstalledTestHues hues;
};

// A server on loopback for the current game connection: what the client
// queues is read back deciphered, and packets sent to the client go through
// its framing and the dispatcher.
class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool isReady() const { return m_ready; }
    // Flushes the client and reads `count` bytes of what it sent.
    std::vector<uint8_t> sent(size_t count);
    // Flushes the client and reads what arrives in `waitMs` (nothing
    // deciphered: for checking that nothing was sent).
    std::vector<uint8_t> sentWithin(uint32_t waitMs);
    // Sends packets as a game server does and lets the client read until
    // `packets` have been dispatched.
    void deliver(const std::vector<std::vector<uint8_t>>& packets);

private:
    test::TestServerPeer m_peer;
    GameConnectionHandler* m_previousHandler = nullptr;
    bool m_ready = false;
};

} // namespace gump_test
