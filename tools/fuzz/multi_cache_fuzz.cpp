// The design cache read from an arbitrary "Multicache.dat": whatever the
// bytes, the cache holds only whole entries, never more than its limit, and
// saving and loading again gives the same entries.
#include "fuzz_client_directory.h"
#include "world/multi_cache.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::ClientDirectory& client = fuzz::ClientDirectory::get();
    client.write("Multicache.dat", data, size);
    std::string path = client.path() + "/Multicache.dat";
    MultiCache& cache = multiCache();
    cache.setLimit(size > 0 ? data[0] % 20 + 1 : 5);
    cache.load(path);
    if (cache.size() > size_t(cache.limit()))
        __builtin_trap();
    size_t records = 0;
    for (const auto& entry : cache.entries()) {
        if (entry->records.empty() || entry->records.size() > MultiCache::kMaxRecordsPerEntry)
            __builtin_trap();
        records += entry->records.size();
    }
    size_t entries = cache.size();
    cache.save(path);
    cache.load(path);
    size_t again = 0;
    for (const auto& entry : cache.entries())
        again += entry->records.size();
    if (cache.size() != entries || again != records)
        __builtin_trap();
    cache.clear();
    return 0;
}
