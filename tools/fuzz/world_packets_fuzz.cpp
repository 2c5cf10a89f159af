// Feeds arbitrary runs of server packets to the dispatcher with every
// handler the client registers at start-up, over a world with a placed
// player, a few item kinds (a container, a stackable, a spellbook, a map) and
// two shard sessions, and checks the world model's invariants after every
// packet: a handler may refuse what it reads, never leave the model broken.
// Each packet is copied into a buffer of exactly its framed length, so that a
// read past its end is caught by the sanitizer.
//
// Input: byte 0 holds flags: bit 0 the packets come from the shard behind
// the shown one, bit 1 edit-server mode, bit 2 object property lists on,
// bit 3 the sending connection is not yet compressed.
// The rest is packets one after another, framed as the packet table says
// (an unknown id or a short last packet ends the input).

#include "data/server_features.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "net/ping_monitor.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "protocol/protocol_handlers.h"
#include "protocol/protocol_services.h"
#include "protocol/session_host.h"
#include "protocol/shard_world_state.h"
#include "world/cell_grid.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/walking.h"
#include "world/world_invariants.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kPlayerSerial = 0x00000AA1;
constexpr int32_t kCentre = 1000;

class SelectionScreens final : public LoginScreens {
public:
    bool hasCharacterSelection() override { return true; }
};

void setItemFlags(int32_t id, uint32_t flags)
{
    TileDataItemGroup group;
    for (int32_t i = 0; i < 32; ++i)
        group.records[size_t(i)] = tileData().item(id / 32 * 32 + i);
    group.records[size_t(id % 32)].flags = flags;
    group.records[size_t(id % 32)].height = 1;
    ItemGroupChange change;
    tileData().applyItemGroup(TileData::kFirstItemGroup + id / 32, group, change);
}

// Files the handlers write land in a directory of the fuzzer's own.
void enterScratchDirectory()
{
    std::filesystem::path directory
        = std::filesystem::temp_directory_path() / ("vardun-world-fuzz-" + std::to_string(std::rand()));
    std::filesystem::create_directories(directory);
    std::filesystem::current_path(directory);
}

void setUp()
{
    static SelectionScreens screens;
    enterScratchDirectory();
    installLoginScreens(&screens);
    installSessionRouting();
    installProtocolSessionHost();
    installShardWorldState(worldShardState());
    setItemFlags(0x0E75, kTileContainer);
    setItemFlags(0x0EFA, kTileContainer);
    setItemFlags(0x0EED, kTileStackable);
    setItemFlags(0x14EB, kTileMapItem);
    registerProtocolHandlers();
}

// A fresh world for every input: the player placed at the centre and the
// grid standing around it.
void resetWorldModel()
{
    resetMapView();
    initWorldObjects();
    worldCellGrid().clear();
    mapView() = MapView {};
    mapView().centreX = kCentre;
    mapView().centreY = kCentre;
    worldCellGrid().follow();
    resetWalkState();
    createPlayerObject();
    player()->serial = kPlayerSerial;
    setPlayerSerial(kPlayerSerial);
    player()->graphic = 400;
    player()->enterWorldAt(kCentre, kCentre, 0);
}

// The shown shard and one behind it, made again when a handler ended one.
void ensureSessions()
{
    const std::vector<ShardSession*>& sessions = sessionList();
    if (sessions.size() != 2 || !sessions[0]->connection || !sessions[1]->connection) {
        destroyAllSessions();
        deleteScheduledConnections();
        addShardSession("Shown", new GameConnection);
        addShardSession("Behind", new GameConnection);
    }
    for (ShardSession* session : sessionList()) {
        session->connection->resetState();
        session->connection->setCompressed(true);
        session->closeRequested = false;
        session->deferredConnect = false;
    }
    setCurrentGameConnection(sessionList()[0]->connection);
}

void tearDown()
{
    destroyPingMonitor();
    destroyAllSessions();
    destroyAllConnections();
}

// The framed length of the packet at `data`, 0 when it is unknown or longer
// than what is left.
size_t framedLength(const uint8_t* data, size_t left)
{
    uint8_t id = data[0];
    if (!packetIsKnown(id))
        return 0;
    size_t length = packetFixedLength(id);
    if (packetIsVariable(id)) {
        if (left < 3)
            return 0;
        length = size_t(data[1]) << 8 | data[2];
        if (length < 3)
            return 0;
    }
    return length != 0 && length <= left ? length : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = false;
    if (!ready) {
        setUp();
        ready = true;
    }
    if (size < 1)
        return 0;
    uint8_t flags = data[0];
    resetWorldModel();
    ensureSessions();
    // Registered once the world's pools and the session list exist, so that
    // it runs before they are destroyed at exit.
    static bool tearDownRegistered = false;
    if (!tearDownRegistered) {
        tearDownRegistered = true;
        std::atexit(tearDown);
    }
    setEditServerMode((flags & 2) != 0);
    storeCharacterListFlags((flags & 4) ? 0x20u : 0u);
    GameConnection* from = sessionList()[(flags & 1) ? 1 : 0]->connection;
    // Uncompressed, the shard behind delivers every kind, not only the few
    // a logged-in one may.
    from->setCompressed((flags & 8) == 0);
    ShardSession* session = sessionForConnection(from);
    for (size_t at = 1; at < size;) {
        size_t length = framedLength(data + at, size - at);
        if (length == 0)
            break;
        std::vector<uint8_t> packet(data + at, data + at + length);
        at += length;
        // A handler may end a session; the rest of the input goes nowhere.
        if (!isLiveSession(session) || !session->connection)
            break;
        dispatchGamePacket(*from, packet.data());
        setCurrentSession(nullptr);
        std::string fault = checkWorldInvariants();
        if (!fault.empty()) {
            std::fprintf(stderr, "world invariant broken after packet 0x%02X: %s\n", unsigned(packet[0]),
                fault.c_str());
            std::abort();
        }
    }
    destroyPingMonitor();
    // Emptied after each input: nothing of the world is left for the exit.
    resetMapView();
    initWorldObjects();
    return 0;
}
