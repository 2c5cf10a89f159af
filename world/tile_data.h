#pragma once
// "tiledata.mul": flags, weight, layer, height, animation and name of every
// land tile and item graphic, read once into two tables of 16,384 entries
// indexed by tile id. The server may rewrite one group of 32 records at a
// time; the change is applied here and written back into the file. Main thread.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Item flags the world code tests.
enum TileFlag : uint32_t {
    kTileBackground = 0x1,
    kTileSeeThrough = 0x4,
    kTileTranslucent = 0x8,
    kTileWall = 0x10,
    kTileImpassable = 0x40,
    kTileWet = 0x80,
    kTileSurface = 0x200,
    kTileBridge = 0x400,
    kTileStackable = 0x800,
    kTileNeverDrawn = 0x10000,
    kTileFoliage = 0x20000,
    kTilePartialHue = 0x40000,
    kTileMapItem = 0x100000,
    kTileContainer = 0x200000,
    kTileLightSource = 0x800000,
    kTileAnimated = 0x1000000,
    kTileRoof = 0x10000000,
    kTileNotSolidWhenDead = 0x20000000,
    kTileStairSlopeA = 0x40000000,
    kTileStairSlopeB = 0x80000000,
};

// Names fill all 20 bytes when they are 20 characters long: no terminator.
using TileName = std::array<char, 20>;
std::string_view tileNameText(const TileName& name);

struct TileDataLand {
    uint32_t flags = 0;
    uint16_t textureId = 0;
    TileName name {};
};

struct TileDataItem {
    uint32_t flags = 0;
    uint8_t weight = 0;
    uint8_t quality = 0;
    // File bytes 6..9.
    uint32_t extra6 = 0;
    uint16_t animationId = 0;
    // File bytes 12..13.
    uint16_t extra12 = 0;
    // File bytes 14..15: the item's tile-data word read by the light pass.
    uint16_t tileExtra = 0;
    uint8_t height = 0;
    TileName name {};
};

struct TileDataLandGroup {
    uint32_t header = 0;
    std::array<TileDataLand, 32> records;
};

struct TileDataItemGroup {
    uint32_t header = 0;
    std::array<TileDataItem, 32> records;
};

// What a server edit of an item group asks of the world.
struct ItemGroupChange {
    // Light-source or animated flags changed: rebuild the light and animated lists.
    bool rebuildLists = false;
    // Objects of these graphics must be refreshed (flags or bytes 12..13 changed).
    std::vector<int32_t> refreshGraphics;
};

class TileData {
public:
    static constexpr int32_t kLandCount = 16384;
    static constexpr int32_t kItemCount = 16384;
    static constexpr int32_t kLandGroupCount = kLandCount / 32;
    static constexpr int32_t kFirstItemGroup = kLandGroupCount;
    static constexpr int32_t kLastItemGroup = kFirstItemGroup + kItemCount / 32 - 1;
    static constexpr size_t kLandRecordBytes = 26;
    static constexpr size_t kItemRecordBytes = 37;
    static constexpr size_t kLandGroupBytes = 4 + 32 * kLandRecordBytes;
    static constexpr size_t kItemGroupBytes = 4 + 32 * kItemRecordBytes;
    static constexpr size_t kLandSectionBytes = kLandGroupCount * kLandGroupBytes;

    // The land section is taken only when complete; item groups are taken
    // whole, up to the end of the bytes. False when anything was incomplete.
    bool load(std::span<const uint8_t> bytes);

    // Ids outside the tables read an empty entry.
    const TileDataLand& land(int32_t id) const;
    const TileDataItem& item(int32_t id) const;

    // Rewrites the flags of item record `id` for the duration of one draw;
    // false (nothing written) for an id outside the table.
    bool setItemFlags(int32_t id, uint32_t flags);

    // A light source by its flags, or one of the graphics that always are.
    bool isLightSourceGraphic(int32_t graphic) const;

    // Applies a server edit of land group 0..511; returns the land ids whose
    // texture changed (their tiles must be redrawn), or nothing for a group
    // out of range.
    std::vector<int32_t> applyLandGroup(int32_t group, const TileDataLandGroup& data);
    // Applies a server edit of item group 512..1023 (absolute numbers: item
    // ids start at (group - 512) * 32). Any other group is refused: false.
    bool applyItemGroup(int32_t group, const TileDataItemGroup& data, ItemGroupChange& change);

    // Where a group lives in the file, and its bytes there.
    static int64_t landGroupFileOffset(int32_t group) { return int64_t(group) * int64_t(kLandGroupBytes); }
    static int64_t itemGroupFileOffset(int32_t group)
    {
        return int64_t(kLandSectionBytes) + int64_t(group - kFirstItemGroup) * int64_t(kItemGroupBytes);
    }
    static std::vector<uint8_t> encodeLandGroup(const TileDataLandGroup& data);
    static std::vector<uint8_t> encodeItemGroup(const TileDataItemGroup& data);

private:
    std::array<TileDataLand, kLandCount> m_land;
    std::array<TileDataItem, kItemCount> m_items;
};

TileData& tileData();

// Start-up: reads "tiledata.mul" through the file manager into tileData();
// a missing file leaves the tables zero. False when it was missing or short.
bool loadTileData();

// The server's tile-data edits: applied to tileData(), then written into
// "tiledata.mul" at the group's place. The in-memory change does not depend
// on the file: false only when the group is refused; `fileWritten` tells
// whether the file took it.
bool writeTileDataItemGroup(int32_t group, const TileDataItemGroup& data, ItemGroupChange& change, bool* fileWritten = nullptr);
std::vector<int32_t> writeTileDataLandGroup(int32_t group, const TileDataLandGroup& data, bool* fileWritten = nullptr);
