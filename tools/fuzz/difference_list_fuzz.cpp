// Difference lists read from arbitrary list files.
//   bytes 0-3: the statics limit, bytes 4-7: the terrain limit (little-endian)
//   byte 8: the facet whose two list files get the remaining bytes
#include "data/difference_lists.h"
#include "fuzz_byte_reader.h"
#include "fuzz_client_directory.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 9)
        return 0;
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    uint32_t staticsLimit = fuzz::le32(data);
    uint32_t terrainLimit = fuzz::le32(data + 4);
    int facet = data[8] % kDifferenceFacetCount;
    data += 9;
    size -= 9;
    char name[32];
    std::snprintf(name, sizeof name, "stadifl%d.mul", facet);
    client.write(name, data, size);
    std::snprintf(name, sizeof name, "mapdifl%d.mul", facet);
    client.write(name, data, size);

    DifferenceLists lists;
    lists.setLimits(facet, staticsLimit, terrainLimit);
    lists.load();
    for (size_t at = 0; at + 4 <= size && at < 4096; at += 4) {
        uint32_t block = fuzz::le32(data + at);
        int32_t statics = lists.lookupStaticsDif(block, facet);
        int32_t terrain = lists.lookupMapDif(block, facet);
        // Every listed block within the limit has a record number no later
        // than its own place, and the cached answer is the same answer.
        if (at / 4 < staticsLimit && (statics < 0 || uint32_t(statics) < at / 4))
            __builtin_trap();
        if (lists.lookupMapDif(block, facet) != terrain)
            __builtin_trap();
    }
    // New limits of 0 empty every map; a cached answer must not survive.
    uint32_t last = size >= 4 ? fuzz::le32(data) : 0;
    lists.lookupMapDif(last, facet);
    lists.setLimits(facet, 0, 0);
    lists.load();
    if (lists.lookupMapDif(last, facet) != -1 || lists.lookupStaticsDif(last, facet) != -1)
        __builtin_trap();
    return 0;
}
