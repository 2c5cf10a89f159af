#include "world/def_table_world.h"

#include "gfx/art_cache.h"
#include "world/body_tables.h"
#include "world/tile_data.h"

bool DataDefTableWorld::hasArtImage(uint16_t artId)
{
    // Land entries are raw diamonds that are drawn straight from the record.
    if (artId < ArtImageCache::kStaticArtBase) {
        std::optional<DataRecord> record = getLandArtRecord(artId);
        return record && !record->bytes.empty();
    }
    return getArtImage(artId) != nullptr;
}

bool DataDefTableWorld::itemHasPartialHue(uint16_t item) { return tileData().item(item).flags & kTilePartialHue; }

void DataDefTableWorld::clearItemPartialHue(uint16_t item)
{
    if (item >= TileData::kItemCount)
        return;
    // The tile data is changed group by group; only memory changes here, the
    // file keeps its flags.
    int32_t first = int32_t(item) / 32 * 32;
    TileDataItemGroup group;
    for (int32_t i = 0; i < 32; ++i)
        group.records[size_t(i)] = tileData().item(first + i);
    group.records[size_t(item - first)].flags &= ~uint32_t(kTilePartialHue);
    ItemGroupChange change;
    tileData().applyItemGroup(TileData::kFirstItemGroup + first / 32, group, change);
}

bool DataDefTableWorld::isAnimSetEnabled(int set) { return m_animSetRule && m_animSetRule(set); }

int32_t DataDefTableWorld::bodyConversion(uint16_t body, int column)
{
    return bodyConversions().alternative(body, column);
}

DataDefTableWorld& defTableWorld()
{
    static DataDefTableWorld world;
    return world;
}
