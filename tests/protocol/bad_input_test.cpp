// Every handler of this layer against packets it should refuse or read
// short: empty, cut short, filled with the largest or a negative-looking
// count, and far longer than any field asks for. The answer is no crash, no
// read outside the packet (the sanitizer build checks that) and no change
// to what was held when the packet holds nothing usable.

#include "fixtures/server_packet.h"
#include "gump/gump_manager.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "protocol_test_state.h"
#include "world/tile_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;

struct Shape {
    const char* name;
    size_t payload; // bytes after the id (and the length word of a variable packet)
    uint8_t fill;
    bool editServer;
};

constexpr Shape kShapes[] = {
    { "Empty", 0, 0x00, false },
    { "OneByteOfFF", 1, 0xFF, false },
    { "FiveBytesOfFF", 5, 0xFF, false },
    { "CountsOfFF", 64, 0xFF, false },
    { "CountsOf80", 64, 0x80, false },
    { "LongZeros", 2000, 0x00, false },
    { "LongFF", 2000, 0xFF, false },
    { "EditServerLongFF", 2000, 0xFF, true },
    { "EditServerShort", 7, 0x01, true },
};

// The ids this layer registers, found through the dispatcher.
std::vector<uint8_t> protocolIds()
{
    clearPacketHandlers();
    registerProtocolHandlers();
    std::vector<uint8_t> ids;
    for (int id = 0; id < 256; ++id) {
        if (registeredPacketHandler(uint8_t(id)))
            ids.push_back(uint8_t(id));
    }
    clearPacketHandlers();
    return ids;
}

// The world packets the program must serve, so that none silently drops out
// of the table above (the speech packets 0x1C, 0xC1 and 0xCC are the speech
// windows' own).
TEST(ProtocolHandlers, ServeEveryWorldPacket)
{
    const std::vector<uint8_t> registered = protocolIds();
    const uint8_t kWorldPackets[] = {
        // Objects, the player, containers and dragging.
        0x4F, 0x1B, 0x76, 0x1D, 0x20, 0x21, 0x22, 0x77, 0xD2, 0x78, 0xD3, 0x1A, 0x89, 0xC4, 0x39, 0x24, 0x90, 0x25,
        0x3C, 0x23, 0x27, 0x28, 0x29, 0x97,
        // General information, mobile status.
        0xBF, 0x11, 0x2D, 0xA1, 0xA2, 0xA3, 0x16, 0x17, 0x98, 0x2E,
        // Fights and mobile events.
        0x2C, 0x2F, 0x30, 0x31, 0x72, 0xAA, 0x0B, 0xAF, 0x6E, 0x15, 0x38,
        // Effects, sound, music, light, weather, time, sequencing, the season.
        0x70, 0xC0, 0xC7, 0x54, 0x6D, 0x4E, 0x65, 0x5B, 0x7B, 0xBC,
        // Target cursors and placements.
        0x6C, 0x99, 0xB4,
    };
    for (uint8_t id : kWorldPackets)
        EXPECT_NE(std::find(registered.begin(), registered.end(), id), registered.end())
            << "no handler for " << int(id);
}

struct BadInputCase {
    uint8_t id;
    Shape shape;
};

std::vector<BadInputCase> allCases()
{
    std::vector<BadInputCase> cases;
    for (uint8_t id : protocolIds()) {
        for (const Shape& shape : kShapes) {
            // A fixed packet is always framed at its table length.
            if (!packetIsVariable(id) && shape.payload != kShapes[0].payload && shape.payload != 5 && !shape.editServer)
                continue;
            cases.push_back({ id, shape });
        }
    }
    return cases;
}

Bytes packetOf(uint8_t id, const Shape& shape)
{
    if (!packetIsVariable(id)) {
        Bytes bytes(packetFixedLength(id), shape.fill);
        bytes[0] = id;
        return bytes;
    }
    fixture::ServerPacket packet(id);
    packet.fill(shape.payload, shape.fill);
    return packet.bytes();
}

class BadInput : public testing::TestWithParam<BadInputCase> {
protected:
    BadInput()
        : m_savedTiles(std::make_unique<TileData>(tileData()))
    {
    }
    ~BadInput() override
    {
        setEditServerMode(false);
        tileData() = *m_savedTiles;
        // The effect packets leave missiles flying over the world.
        missileGumpsCloseAll();
    }
    test::ProtocolTestState state;

private:
    std::unique_ptr<TileData> m_savedTiles;
};

TEST_P(BadInput, IsReadWithinThePacketAndKeepsWhatWasHeld)
{
    const BadInputCase& row = GetParam();
    // A character selection is open, so that no refusal ends the process.
    state.screens.selectionOpen = true;
    shardList().shards.push_back({ 3, "Held", 0, 0, 0, 0, 1 });
    setEditServerMode(row.shape.editServer);
    Bytes packet = packetOf(row.id, row.shape);
    PacketHandler handler = registeredPacketHandler(row.id);
    ASSERT_NE(handler, nullptr);
    handler(packet.data());
    // Only a shard list with shards in it replaces the one held.
    if (row.id != 0xA8 && row.id != 0x81) {
        ASSERT_EQ(shardList().shards.size(), 1u);
        EXPECT_EQ(shardList().shards[0].name, "Held");
    }
    for (const std::string& name : characterSlots().names)
        EXPECT_LE(name.size(), CharacterSlots::kMaxTextLength);
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, BadInput, testing::ValuesIn(allCases()), [](const testing::TestParamInfo<BadInputCase>& row) {
        char name[64];
        std::snprintf(name, sizeof name, "x%02X_%s", unsigned(row.param.id), row.param.shape.name);
        return std::string(name);
    });

} // namespace
