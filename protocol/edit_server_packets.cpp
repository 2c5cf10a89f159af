#include "protocol/edit_server_packets.h"

#include "data/data_files.h"
#include "net/buffered_connection.h"
#include "net/packet_table.h"
#include "protocol/protocol_services.h"
#include "world/terrain_check.h"
#include "world/tile_data.h"

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

// The bytes from `offset` to the end of a variable packet.
int32_t bytesToEnd(const uint8_t* packet, int32_t offset) { return int32_t(packetLength(packet)) - 3 - offset; }

// Reads fields of the given sizes one after another, stopping at the first
// that is not there; a wild count in a dropped packet never reads further.
void readAndDrop(const uint8_t* packet, int32_t& offset, std::initializer_list<int32_t> sizes)
{
    for (int32_t size : sizes) {
        const uint8_t* bytes = nullptr;
        if (!packetGetBytes(packet, offset, bytes, size))
            return;
    }
}

void putLittle16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void putLittle32(std::vector<uint8_t>& out, uint32_t value)
{
    putLittle16(out, uint16_t(value));
    putLittle16(out, uint16_t(value >> 16));
}

void readPatchName(const uint8_t* bytes, TileName& name) { std::memcpy(name.data(), bytes, name.size()); }

uint32_t big32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

uint16_t big16(const uint8_t* bytes) { return uint16_t(bytes[0] << 8 | bytes[1]); }

void applyLandGroup(int32_t group, const uint8_t* bytes)
{
    TileDataLandGroup data;
    data.header = big32(bytes);
    const uint8_t* record = bytes + 4;
    for (TileDataLand& land : data.records) {
        land.flags = big32(record);
        land.textureId = big16(record + 4);
        readPatchName(record + 6, land.name);
        record += TileData::kLandRecordBytes;
    }
    std::vector<int32_t> changed = writeTileDataLandGroup(group, data);
    shardWorldState().tileDataReplaced(changed, {});
}

void applyItemGroup(int32_t group, const uint8_t* bytes)
{
    TileDataItemGroup data;
    data.header = big32(bytes);
    const uint8_t* record = bytes + 4;
    for (TileDataItem& item : data.records) {
        item.flags = big32(record);
        item.weight = record[4];
        item.quality = record[5];
        item.extra6 = big32(record + 6);
        item.animationId = big16(record + 10);
        item.extra12 = big16(record + 12);
        item.tileExtra = big16(record + 14);
        item.height = record[16];
        readPatchName(record + 17, item.name);
        record += TileData::kItemRecordBytes;
    }
    ItemGroupChange change;
    if (writeTileDataItemGroup(group, data, change))
        shardWorldState().tileDataReplaced({}, change.refreshGraphics);
}

} // namespace

void handleArtPatch(const uint8_t* packet)
{
    int32_t at = 0;
    uint32_t id = 0;
    uint32_t extra = 0;
    uint32_t flag = 0;
    if (!packetGetLong(packet, at, id) || !packetGetLong(packet, at, extra) || !packetGetLong(packet, at, flag)
        || !editServerMode())
        return;
    const uint8_t* image = nullptr;
    int32_t length = bytesToEnd(packet, at);
    if (length > 0)
        packetGetBytes(packet, at, image, length);
    // The id is taken as a signed number: one of 2^31 or more is refused
    // with the rest outside 0..0xFFFF.
    bool deleteRecord = flag == 0xFFFFFFFFu;
    dataFiles().writeArtRecord(image, image ? size_t(length) : 0, int32_t(id), deleteRecord ? -1 : 0, extra);
}

void handleMultiPatch(const uint8_t* packet)
{
    int32_t at = 0;
    uint32_t id = 0;
    uint32_t extra = 0;
    if (!packetGetLong(packet, at, id) || !packetGetLong(packet, at, extra) || !editServerMode())
        return;
    // Whole component records only; the file keeps them little-endian.
    int32_t records = bytesToEnd(packet, at) / kMultiRecordBytes;
    std::vector<uint8_t> converted;
    converted.reserve(size_t(records) * kMultiRecordBytes);
    for (int32_t i = 0; i < records; ++i) {
        uint16_t fields[4] = {};
        uint32_t flags = 0;
        for (uint16_t& field : fields)
            packetGetShort(packet, at, field);
        packetGetLong(packet, at, flags);
        for (uint16_t field : fields)
            putLittle16(converted, field);
        putLittle32(converted, flags);
    }
    if (int32_t(id) >= 0)
        writeIndexedRecord(
            kMultiIndexFile, kMultiDataFile, int32_t(id), extra, converted.data(), int32_t(converted.size()));
}

void handleSkillsPatch(const uint8_t* packet)
{
    int32_t at = 0;
    uint8_t number = 0;
    uint32_t extra = 0;
    if (!packetGetByte(packet, at, number) || !packetGetLong(packet, at, extra) || !editServerMode())
        return;
    const uint8_t* record = nullptr;
    int32_t length = bytesToEnd(packet, at);
    if (length > 0 && !packetGetBytes(packet, at, record, length))
        return;
    writeIndexedRecord(kSkillsIndexFile, kSkillsDataFile, number, extra, record, length > 0 ? length : 0);
}

void handleTileDataPatch(const uint8_t* packet)
{
    int32_t at = 0;
    uint32_t tileNumber = 0;
    if (!packetGetLong(packet, at, tileNumber) || !editServerMode())
        return;
    // The group must be there whole: a shorter packet changes nothing.
    bool land = tileNumber < kFirstItemTileGroup;
    int32_t groupBytes = int32_t(land ? TileData::kLandGroupBytes : TileData::kItemGroupBytes);
    const uint8_t* bytes = nullptr;
    if (!packetGetBytes(packet, at, bytes, groupBytes))
        return;
    if (land)
        applyLandGroup(int32_t(tileNumber), bytes);
    else if (tileNumber <= uint32_t(TileData::kLastItemGroup))
        applyItemGroup(int32_t(tileNumber), bytes);
}

void handleStaticsPatch(const uint8_t* packet)
{
    int32_t at = 0;
    uint32_t block = 0;
    uint32_t count = 0;
    uint32_t unused = 0;
    if (!packetGetLong(packet, at, block) || !packetGetLong(packet, at, count) || !packetGetLong(packet, at, unused))
        return;
    // The count comes from the server; the entries end where the packet does.
    for (uint32_t i = 0; i < count; ++i) {
        int32_t before = at;
        readAndDrop(packet, at, { 2, 1, 1, 1, 2 });
        if (at - before < 7)
            return;
    }
}

void handleMapPatch(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 4 });
    for (int i = 0; i < 64; ++i)
        readAndDrop(packet, at, { 2, 1 });
    readAndDrop(packet, at, { 4 });
}

void handleHuesPatch(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 4, 4 });
    for (int hue = 0; hue < 8; ++hue)
        readAndDrop(packet, at, { 64, 2, 2, 20 });
}

void handleRegionPatch(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 40, 4, 2, 2, 2, 2, 2, 2, 4, 40, 2, 2, 2, 1, 2 });
}

void skipEditBlockPacket(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 4, 4, 544 });
}

void skipNineLongPacket(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 4, 4, 4, 4, 4, 4, 4, 4, 4 });
}

void skipLongPacket(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 4 });
}

void skipOneBytePacket(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 1 });
}

void skipTwoBytePacket(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 1, 1 });
}

void skipTwoLongPacket(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 4, 4 });
}

void skipByteLongPacket(const uint8_t* packet)
{
    int32_t at = 0;
    readAndDrop(packet, at, { 1, 4 });
}

void handleTerrainCheckOn(const uint8_t*) { setTerrainBlockCheck(true); }
