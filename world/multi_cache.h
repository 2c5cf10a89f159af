#pragma once
// The cache of customised house designs the client has seen, most recently
// used first, so that a house met again is drawn at once. Each entry is the
// design of one house item at the position it had when stored; the house
// designer edits entries piece by piece. The cache is written to and read
// from the per-character text file "Multicache.dat" with the desktop layout.
// One global instance; main thread only.

#include "world/multi_components.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

struct MultiCacheEntry {
    static constexpr int32_t kMaxUses = 50;

    MultiCacheEntry(uint32_t houseSerial, int32_t designRevision, size_t count, int32_t atX, int32_t atY, int32_t atZ)
        : serial(houseSerial)
        , revision(designRevision)
        , x(int16_t(atX))
        , y(int16_t(atY))
        , z(atZ)
        , records(count)
    {
    }

    int32_t uses = 1;
    uint32_t serial = 0;
    int32_t revision = 0;
    int16_t x = 0;
    int16_t y = 0;
    int32_t z = 0;
    std::vector<DesignRecord> records;
};

class MultiCache {
public:
    static constexpr int32_t kDefaultLimit = 300;
    static constexpr int32_t kFileVersion = 5;
    // A design larger than this in the file is refused: no house holds as
    // many pieces, and the count would otherwise size an allocation.
    static constexpr size_t kMaxRecordsPerEntry = 65536;

    // The entry of the house with `serial` at its current position; a hit
    // counts one use and moves the entry to the front.
    MultiCacheEntry* find(uint32_t serial);
    void insert(std::unique_ptr<MultiCacheEntry> entry, bool atFront);
    void remove(uint32_t serial);
    // Removes one entry: the least used outside the newest tenth (at least
    // one entry is spared), the one nearer the back on a tie.
    void trim();
    void setLimit(int32_t limit);
    int32_t limit() const { return m_limit; }
    // Rebuilds the house's pieces from its cached design, when both exist.
    bool applyToHouse(uint32_t serial);
    // The designer's edits; each raises the revision. Removing a record that
    // is not in the design changes nothing (false).
    bool addComponent(uint32_t serial, const DesignRecord& record);
    bool removeComponent(uint32_t serial, const DesignRecord& record);
    void clear() { m_entries.clear(); }

    // Writes the file at `path`, or "Multicache.dat" in the working
    // directory when that cannot be opened; each entry loses one use.
    bool save(const std::string& path);
    // Empties the cache and reads it back from `path` (or the working
    // directory's file); a missing file leaves it empty.
    bool load(const std::string& path);

    size_t size() const { return m_entries.size(); }
    const std::list<std::unique_ptr<MultiCacheEntry>>& entries() const { return m_entries; }

private:
    std::list<std::unique_ptr<MultiCacheEntry>>::iterator findAtHouse(uint32_t serial);

    std::list<std::unique_ptr<MultiCacheEntry>> m_entries;
    int32_t m_limit = kDefaultLimit;
};

MultiCache& multiCache();

// "Desktop/<account>/<shard>/<character>/Multicache.dat".
std::string multiCacheFilePath(const std::string& account, const std::string& shard, const std::string& character);
