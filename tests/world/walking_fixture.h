#pragma once
// The world of the walking and path tests: the player standing at the view
// centre on a square of flat land, a few tile records for floors, tables,
// stairs and walls, the step queue emptied, and a server double that reads
// the walk requests the client sends and answers them as the test says.

#include "world_fixture.h"

#include "world/land_tile.h"
#include "world/step_rules.h"
#include "world/walking.h"

#include <cstdio>
#include <string>
#include <vector>

namespace test {

inline constexpr uint16_t kSurfaceTile = 0x0500;
inline constexpr uint16_t kTableTile = 0x0501;
inline constexpr uint16_t kStairTile = 0x0502;
inline constexpr uint16_t kBlockTile = 0x0503;
inline constexpr uint16_t kGhostDoorTile = 1682;
inline constexpr uint16_t kLiftableBlockTile = 0x0504;
inline constexpr uint16_t kFloatingTile = 0x0505;
inline constexpr uint16_t kPlainLand = 3;
inline constexpr uint16_t kWaterLand = 0x00A8;
inline constexpr int32_t kLandRadius = 7;

// One walk request as the server reads it.
struct WalkRequest {
    uint8_t id = 0;
    uint8_t direction = 0;
    uint8_t sequence = 0;
    uint32_t key = 0;
    bool run() const { return (direction & 0x80) != 0; }
};

// The overhead texts shown, as plain text.
class RecordingTexts final : public OverheadTextViews {
public:
    void create(StaticObject&, std::string_view text, uint16_t, uint16_t, int32_t, bool) override
    {
        lines.emplace_back(text);
    }
    std::vector<std::string> lines;
};

// The system messages shown, narrowed.
class RecordingMessages final : public WorldMessages {
public:
    void addSystemMessage(std::u16string_view text, uint16_t, uint16_t) override
    {
        std::string narrow;
        for (char16_t c : text)
            narrow += char(c);
        lines.push_back(narrow);
    }
    std::vector<std::string> lines;
};

class WalkingTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        setItemTile(kSurfaceTile, kTileSurface | kTileBackground, 0, 255, "floor");
        setItemTile(kTableTile, kTileSurface, 5, 255, "table");
        setItemTile(kStairTile, kTileSurface | kTileBridge, 10, 255, "stairs");
        setItemTile(kBlockTile, kTileImpassable, 20, 255, "block");
        setItemTile(kGhostDoorTile, kTileImpassable, 20, 255, "door");
        setItemTile(kLiftableBlockTile, kTileImpassable, 4, 5, "crate");
        setItemTile(kFloatingTile, kTileImpassable, 20, 255, "beam");
        setLandFlags(kWaterLand, kTileWet | kTileImpassable);
        stepQueue() = StepQueue {};
        mapView().centreZ = 0;
        player()->direction = 0;
        for (int32_t y = -kLandRadius; y <= kLandRadius; ++y) {
            for (int32_t x = -kLandRadius; x <= kLandRadius; ++x)
                land(kCentreX + x, kCentreY + y, 0);
        }
    }

    void TearDown() override
    {
        for (StaticObject* object : m_statics)
            object->destroy();
        m_statics.clear();
        worldCellGrid().clearAll();
        stepQueue() = StepQueue {};
        setLandFlags(kWaterLand, 0);
        WorldTest::TearDown();
    }

    static void setLandFlags(int32_t id, uint32_t flags)
    {
        TileDataLandGroup group;
        int32_t first = id / 32 * 32;
        for (int32_t i = 0; i < 32; ++i)
            group.records[size_t(i)] = tileData().land(first + i);
        group.records[size_t(id % 32)].flags = flags;
        tileData().applyLandGroup(id / 32, group);
    }

    // Replaces the land of (x, y) by a flat tile at z.
    static LandTile* land(int32_t x, int32_t y, int32_t z, uint16_t id = kPlainLand)
    {
        removeLand(x, y);
        LandTile* tile = landTilePool().allocate(id, x, y, z);
        tile->place();
        return tile;
    }

    static void removeLand(int32_t x, int32_t y)
    {
        WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y));
        while (object) {
            WorldObject* next = object->cellNext();
            if (object->isLand() && object->x == x && object->y == y)
                object->destroy();
            object = next;
        }
    }

    StaticObject* placeStatic(uint16_t graphic, int32_t x, int32_t y, int32_t z)
    {
        StaticObject* object = allocStatic(graphic);
        object->enterWorldAt(x, y, z);
        m_statics.push_back(object);
        return object;
    }

    // The walk requests and resync requests sent since the last call.
    std::vector<WalkRequest> takeRequests()
    {
        std::vector<WalkRequest> requests;
        for (const Bytes& packet : sink.packets) {
            WalkRequest request;
            request.id = packet.empty() ? 0 : packet[0];
            if (request.id == 0x02 && packet.size() >= 7) {
                request.direction = packet[1];
                request.sequence = packet[2];
                request.key = uint32_t(packet[3]) << 24 | uint32_t(packet[4]) << 16 | uint32_t(packet[5]) << 8
                    | packet[6];
            }
            requests.push_back(request);
        }
        sink.packets.clear();
        return requests;
    }

    // One line of the player's walking state.
    static std::string snapshot()
    {
        const StepQueue& queue = stepQueue();
        const PlayerMobile& self = *player();
        char line[200];
        std::snprintf(line, sizeof line, "pos %d,%d,%d dir %d frame %d queue %d/%d off %d,%d centre %d,%d%s",
            self.x - kCentreX, self.y - kCentreY, self.z, self.direction & 7, queue.frame, queue.animIndex,
            queue.count, worldScreen().stepOffsetX, worldScreen().stepOffsetY, mapView().centreX - kCentreX,
            mapView().centreY - kCentreY, queue.blocked ? " blocked" : "");
        return line;
    }

    std::vector<StaticObject*> m_statics;
};

} // namespace test
