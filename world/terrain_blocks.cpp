#include "world/terrain_blocks.h"

#include "core/byte_cursor.h"
#include "data/data_files.h"
#include "data/difference_lists.h"
#include "net/client_packets.h"
#include "world/facets.h"
#include "world/map_view.h"
#include "world/seasons.h"
#include "world/world_services.h"

#include <nettle/md5.h>

#include <array>
#include <cstdlib>
#include <set>

namespace {

constexpr int32_t kBlockHeaderBytes = 4;
constexpr int32_t kCellBytes = 3;

struct TerrainCheck {
    bool enabled = false;
    std::vector<uint8_t> table;
    std::set<int32_t> checkedBlocks;
    int64_t digests = 0;
};

TerrainCheck& terrainCheck()
{
    static TerrainCheck check;
    return check;
}

// The cell's three bytes inside a block; the block is always 196 bytes.
TerrainCell cellOf(std::span<const uint8_t> block, int32_t x, int32_t y)
{
    size_t at = size_t(kBlockHeaderBytes + kCellBytes * ((y & 7) * 8 + (x & 7)));
    return { uint16_t(block[at] | (block[at + 1] << 8)), int8_t(block[at + 2]) };
}

void checkTerrainBlock(int32_t block, std::span<const uint8_t> bytes)
{
    TerrainCheck& check = terrainCheck();
    if (!check.enabled || check.table.empty() || !check.checkedBlocks.insert(block).second)
        return;
    size_t tableByte = size_t(block) / 2;
    if (tableByte >= check.table.size())
        return;
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, bytes.size(), bytes.data());
    std::array<uint8_t, MD5_DIGEST_SIZE> digest {};
    md5_digest(&context, digest.size(), digest.data());
    ++check.digests;
    uint8_t expected = check.table[tableByte];
    bool even = (block & 1) == 0;
    uint8_t wanted = even ? uint8_t(expected >> 4) : uint8_t(expected & 15);
    uint8_t got = even ? uint8_t(digest[2] & 15) : uint8_t(digest[4] & 15);
    if (wanted == got)
        return;
    std::array<uint8_t, 256> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    if (buildMapBlockPacket(packet, uint32_t(block), 0, bytes.data()))
        sendWorldPacket(packet);
}

} // namespace

int32_t terrainBlockNumber(int32_t x, int32_t y)
{
    const MapView& view = mapView();
    if (x < 0 || y < 0 || x >= view.mapWidth || y >= view.mapHeight)
        return -1;
    return (x >> 3) * view.blocksHigh + (y >> 3);
}

std::span<const uint8_t> getTerrainBlock(int32_t block)
{
    const MapView& view = mapView();
    if (block < 0 || !isValidFacet(view.currentFacet))
        return {};
    const FacetInfo& facet = facetInfo(view.currentFacet);
    const uint8_t* bytes = nullptr;
    int32_t difRecord = lookupMapDif(uint32_t(block), view.currentFacet);
    if (difRecord >= 0)
        bytes = getFixedRecord(facet.mapDifFile, difRecord);
    else
        bytes = getFixedRecord(facet.mapFile, block);
    if (!bytes)
        return {};
    return { bytes, size_t(kTerrainBlockBytes) };
}

std::vector<StaticRecord> getStaticsBlock(int32_t block)
{
    std::vector<StaticRecord> records;
    const MapView& view = mapView();
    if (block < 0 || !isValidFacet(view.currentFacet))
        return records;
    const FacetInfo& facet = facetInfo(view.currentFacet);
    int32_t length = 0;
    uint32_t extra = 0;
    const uint8_t* data = nullptr;
    int32_t difRecord = lookupStaticsDif(uint32_t(block), view.currentFacet);
    if (difRecord >= 0)
        data = lookupIndexedRecord(facet.staticsDifIndexFile, facet.staticsDifFile, difRecord, length, extra);
    else
        data = lookupIndexedRecord(facet.staticsIndexFile, facet.staticsFile, block, length, extra);
    if (!data || length <= 0)
        return records;
    ByteCursor cursor(std::span<const uint8_t>(data, size_t(length)));
    records.reserve(size_t(length / kStaticRecordBytes));
    for (int32_t n = length / kStaticRecordBytes; n > 0; --n) {
        StaticRecord record;
        record.graphic = cursor.readU16();
        record.x = cursor.readU8();
        record.y = cursor.readU8();
        record.z = cursor.readI8();
        record.hue = cursor.readU16();
        records.push_back(record);
    }
    return records;
}

bool readTerrainCell(int32_t x, int32_t y, TerrainCell& cell)
{
    int32_t block = terrainBlockNumber(x, y);
    std::span<const uint8_t> bytes = getTerrainBlock(block);
    if (bytes.empty())
        return false;
    cell = cellOf(bytes, x, y);
    return true;
}

int32_t getTerrainZ(int32_t x, int32_t y)
{
    const MapView& view = mapView();
    if (x < 0)
        x += view.mapWidth;
    else if (x >= view.mapWidth)
        x -= view.mapWidth;
    if (y < 0)
        y += view.mapHeight;
    else if (y >= view.mapHeight)
        y -= view.mapHeight;
    int32_t block = terrainBlockNumber(x, y);
    std::span<const uint8_t> bytes = getTerrainBlock(block);
    if (bytes.empty())
        return 0;
    checkTerrainBlock(block, bytes);
    return cellOf(bytes, x, y).z;
}

std::array<int8_t, 4> getCellCornerHeights(int32_t x, int32_t y)
{
    const MapView& view = mapView();
    if (x < 0 || y < 0 || x >= view.mapWidth || y >= view.mapHeight)
        return { 0, 0, 0, 0 };
    return { int8_t(getTerrainZ(x, y)), int8_t(getTerrainZ(x + 1, y)), int8_t(getTerrainZ(x + 1, y + 1)),
        int8_t(getTerrainZ(x, y + 1)) };
}

int32_t getLandTileId(int32_t x, int32_t y)
{
    TerrainCell cell;
    if (!readTerrainCell(x, y, cell))
        return kMissingLandId;
    return landTileForSeason(cell.landId);
}

int32_t classifyTerrainSlope(int32_t x, int32_t y, int32_t threshold, int32_t& roughness)
{
    int32_t a = getTerrainZ(x, y);
    int32_t b = getTerrainZ(x + 1, y + 1);
    int32_t c = getTerrainZ(x, y + 1);
    int32_t d = getTerrainZ(x + 1, y);
    roughness = std::abs(a - b) + std::abs(c - d);
    int32_t t = threshold;
    if (a - b > t) {
        if (c == d)
            return 1;
        return c - d > t ? 2 : 0;
    }
    if (b - a > t) {
        if (c == d)
            return 5;
        if (c - d > t)
            return 4;
        return d - c > t ? 6 : 0;
    }
    if (d - c > t)
        return 7;
    return c - d > t ? 3 : 0;
}

void setTerrainCheckTable(std::vector<uint8_t> table) { terrainCheck().table = std::move(table); }

void setTerrainCheckEnabled(bool enabled) { terrainCheck().enabled = enabled; }

bool isTerrainCheckEnabled() { return terrainCheck().enabled && !terrainCheck().table.empty(); }

int64_t terrainCheckDigestCount() { return terrainCheck().digests; }

void resetTerrainCheck()
{
    TerrainCheck& check = terrainCheck();
    check.enabled = false;
    check.table.clear();
    check.checkedBlocks.clear();
    check.digests = 0;
}
