#include "world/tile_data.h"

#include "core/byte_cursor.h"
#include "core/byte_writer.h"
#include "data/client_file_path.h"
#include "data/file_manager.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void readName(ByteCursor& cursor, TileName& name)
{
    cursor.readBytes({ reinterpret_cast<uint8_t*>(name.data()), name.size() });
}

TileDataLand readLand(ByteCursor& cursor)
{
    TileDataLand land;
    land.flags = cursor.readU32();
    land.textureId = cursor.readU16();
    readName(cursor, land.name);
    return land;
}

TileDataItem readItem(ByteCursor& cursor)
{
    TileDataItem item;
    item.flags = cursor.readU32();
    item.weight = cursor.readU8();
    item.quality = cursor.readU8();
    item.extra6 = cursor.readU32();
    item.animationId = cursor.readU16();
    item.extra12 = cursor.readU16();
    item.tileExtra = cursor.readU16();
    item.height = cursor.readU8();
    readName(cursor, item.name);
    return item;
}

bool inRange(int32_t value, int32_t low, int32_t high)
{
    return value >= low && value <= high;
}

} // namespace

std::string_view tileNameText(const TileName& name)
{
    return { name.data(), strnlen(name.data(), name.size()) };
}

bool TileData::load(std::span<const uint8_t> bytes)
{
    ByteCursor cursor(bytes);
    auto land = std::make_unique<std::array<TileDataLand, kLandCount>>();
    for (int32_t id = 0; id < kLandCount; ++id) {
        if (id % 32 == 0)
            cursor.skip(4);
        (*land)[id] = readLand(cursor);
    }
    if (cursor.failed())
        return false;
    m_land = *land;

    for (int32_t group = 0; group < kItemCount / 32; ++group) {
        std::array<TileDataItem, 32> read;
        cursor.skip(4);
        for (TileDataItem& item : read)
            item = readItem(cursor);
        if (cursor.failed())
            return false;
        std::copy(read.begin(), read.end(), m_items.begin() + group * 32);
    }
    return true;
}

const TileDataLand& TileData::land(int32_t id) const
{
    static const TileDataLand empty;
    return id >= 0 && id < kLandCount ? m_land[id] : empty;
}

const TileDataItem& TileData::item(int32_t id) const
{
    static const TileDataItem empty;
    return id >= 0 && id < kItemCount ? m_items[id] : empty;
}

bool TileData::setItemFlags(int32_t id, uint32_t flags)
{
    if (id < 0 || id >= kItemCount)
        return false;
    m_items[size_t(id)].flags = flags;
    return true;
}

bool TileData::isLightSourceGraphic(int32_t graphic) const
{
    return (item(graphic).flags & kTileLightSource) || inRange(graphic, 15874, 15883) || inRange(graphic, 14612, 14633);
}

std::vector<int32_t> TileData::applyLandGroup(int32_t group, const TileDataLandGroup& data)
{
    std::vector<int32_t> changedTextures;
    if (group < 0 || group >= kLandGroupCount)
        return changedTextures;
    for (int32_t i = 0; i < 32; ++i) {
        int32_t id = group * 32 + i;
        if (data.records[i].textureId != m_land[id].textureId)
            changedTextures.push_back(id);
        m_land[id] = data.records[i];
    }
    return changedTextures;
}

bool TileData::applyItemGroup(int32_t group, const TileDataItemGroup& data, ItemGroupChange& change)
{
    change = {};
    // The group number comes from the server; anything past the item table
    // would write past it.
    if (group < kFirstItemGroup || group > kLastItemGroup)
        return false;
    for (int32_t i = 0; i < 32; ++i) {
        int32_t id = (group - kFirstItemGroup) * 32 + i;
        const TileDataItem& next = data.records[i];
        TileDataItem& held = m_items[id];
        if ((next.flags ^ held.flags) & (kTileLightSource | kTileAnimated))
            change.rebuildLists = true;
        if (next.flags != held.flags || next.extra12 != held.extra12)
            change.refreshGraphics.push_back(id);
        held = next;
    }
    return true;
}

std::vector<uint8_t> TileData::encodeLandGroup(const TileDataLandGroup& data)
{
    ByteWriter out;
    out.u32(data.header);
    for (const TileDataLand& land : data.records) {
        out.u32(land.flags);
        out.u16(land.textureId);
        out.raw(land.name);
    }
    return out.take();
}

std::vector<uint8_t> TileData::encodeItemGroup(const TileDataItemGroup& data)
{
    ByteWriter out;
    out.u32(data.header);
    for (const TileDataItem& item : data.records) {
        out.u32(item.flags);
        out.u8(item.weight);
        out.u8(item.quality);
        out.u32(item.extra6);
        out.u16(item.animationId);
        out.u16(item.extra12);
        out.u16(item.tileExtra);
        out.u8(item.height);
        out.raw(item.name);
    }
    return out.take();
}

TileData& tileData()
{
    static const std::unique_ptr<TileData> table = std::make_unique<TileData>();
    return *table;
}

bool loadTileData()
{
    std::vector<uint8_t> bytes;
    readOptionalStartupFile("tiledata.mul", bytes);
    return tileData().load(bytes);
}

namespace {

bool writeIntoTileDataFile(int64_t offset, const std::vector<uint8_t>& bytes)
{
    FileManager& files = fileManager();
    FILE* stream = files.open("tiledata.mul", "r+b");
    if (!stream)
        return false;
    bool written = files.seek(stream, static_cast<long>(offset), SEEK_SET) == 0
        && files.write(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    files.close(stream);
    return written;
}

} // namespace

bool writeTileDataItemGroup(int32_t group, const TileDataItemGroup& data, ItemGroupChange& change, bool* fileWritten)
{
    if (fileWritten)
        *fileWritten = false;
    if (!tileData().applyItemGroup(group, data, change))
        return false;
    bool written = writeIntoTileDataFile(TileData::itemGroupFileOffset(group), TileData::encodeItemGroup(data));
    if (fileWritten)
        *fileWritten = written;
    return true;
}

std::vector<int32_t> writeTileDataLandGroup(int32_t group, const TileDataLandGroup& data, bool* fileWritten)
{
    if (fileWritten)
        *fileWritten = false;
    if (group < 0 || group >= TileData::kLandGroupCount)
        return {};
    std::vector<int32_t> changed = tileData().applyLandGroup(group, data);
    bool written = writeIntoTileDataFile(TileData::landGroupFileOffset(group), TileData::encodeLandGroup(data));
    if (fileWritten)
        *fileWritten = written;
    return changed;
}
