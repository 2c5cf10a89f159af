// Loads arbitrary bytes as "tiledata.mul": as the whole file, and as the item
// section after a complete land section; then applies one item group edit
// whose group number comes from the input.
#include "fuzz_byte_reader.h"
#include "world/tile_data.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::unique_ptr<TileData> table = std::make_unique<TileData>();
    static std::vector<uint8_t> file;
    table->load({ data, size });

    file.assign(TileData::kLandSectionBytes, 0x41);
    file.insert(file.end(), data, data + size);
    table->load(file);
    for (int32_t id : { 0, 31, 32, 16383 }) {
        if (tileNameText(table->item(id).name).size() > 20 || tileNameText(table->land(id).name).size() > 20)
            abort();
    }

    if (size >= 4) {
        int32_t group = int32_t(fuzz::le32(data));
        TileDataItemGroup edit;
        for (size_t i = 0; i < edit.records.size(); ++i)
            edit.records[i].flags = uint32_t(data[(4 + i) % size]) << 16;
        ItemGroupChange change;
        bool taken = table->applyItemGroup(group, edit, change);
        if (taken != (group >= TileData::kFirstItemGroup && group <= TileData::kLastItemGroup))
            abort();
        TileDataLandGroup land;
        table->applyLandGroup(group, land);
        table->isLightSourceGraphic(group);
    }
    return 0;
}
