#include "world/multi_cache.h"

#include "platform/file_system.h"
#include "world/item.h"
#include "world/object_manager.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kFileName = "Multicache.dat";
constexpr int kMaxLine = 255;

FILE* openEither(const std::string& path, const char* mode)
{
    std::string real = platform::resolvePath(path, true).value_or(path);
    if (FILE* file = std::fopen(real.c_str(), mode))
        return file;
    return std::fopen(kFileName, mode);
}

} // namespace

MultiCache& multiCache()
{
    static MultiCache cache;
    return cache;
}

std::string multiCacheFilePath(const std::string& account, const std::string& shard, const std::string& character)
{
    return "Desktop/" + account + "/" + shard + "/" + character + "/" + kFileName;
}

std::list<std::unique_ptr<MultiCacheEntry>>::iterator MultiCache::findAtHouse(uint32_t serial)
{
    const WorldObject* house = findObjectBySerial(serial);
    if (!house)
        return m_entries.end();
    return std::find_if(m_entries.begin(), m_entries.end(), [&](const std::unique_ptr<MultiCacheEntry>& entry) {
        return entry->serial == serial && entry->x == house->x && entry->y == house->y && entry->z == house->z;
    });
}

MultiCacheEntry* MultiCache::find(uint32_t serial)
{
    auto found = findAtHouse(serial);
    if (found == m_entries.end())
        return nullptr;
    MultiCacheEntry& entry = **found;
    entry.uses = std::min(entry.uses + 1, MultiCacheEntry::kMaxUses);
    m_entries.splice(m_entries.begin(), m_entries, found);
    return &entry;
}

void MultiCache::insert(std::unique_ptr<MultiCacheEntry> entry, bool atFront)
{
    if (atFront)
        m_entries.push_front(std::move(entry));
    else
        m_entries.push_back(std::move(entry));
    while (m_entries.size() > size_t(m_limit))
        trim();
}

void MultiCache::remove(uint32_t serial)
{
    auto found = findAtHouse(serial);
    if (found != m_entries.end())
        m_entries.erase(found);
}

void MultiCache::trim()
{
    if (m_entries.empty())
        return;
    size_t spared = std::max<size_t>(1, size_t(double(m_limit) * 0.1));
    if (m_entries.size() <= spared) {
        m_entries.pop_back();
        return;
    }
    auto victim = m_entries.end();
    auto it = std::next(m_entries.begin(), ptrdiff_t(spared));
    for (; it != m_entries.end(); ++it) {
        if (victim == m_entries.end() || (*it)->uses <= (*victim)->uses)
            victim = it;
    }
    m_entries.erase(victim);
}

void MultiCache::setLimit(int32_t limit)
{
    m_limit = std::max(limit, 1);
    while (m_entries.size() > size_t(m_limit))
        trim();
}

bool MultiCache::applyToHouse(uint32_t serial)
{
    Item* house = findItemBySerial(serial);
    if (!house)
        return false;
    MultiCacheEntry* entry = find(serial);
    if (!entry)
        return false;
    applyDesignRecords(*house, entry->records);
    return true;
}

bool MultiCache::addComponent(uint32_t serial, const DesignRecord& record)
{
    MultiCacheEntry* entry = find(serial);
    if (!entry)
        return false;
    ++entry->revision;
    entry->records.push_back(record);
    return true;
}

bool MultiCache::removeComponent(uint32_t serial, const DesignRecord& record)
{
    MultiCacheEntry* entry = find(serial);
    if (!entry)
        return false;
    auto found = std::find(entry->records.begin(), entry->records.end(), record);
    if (found == entry->records.end())
        return false;
    ++entry->revision;
    entry->records.erase(found);
    return true;
}

bool MultiCache::save(const std::string& path)
{
    FILE* file = openEither(path, "w");
    if (!file)
        return false;
    std::fprintf(file, " ver %d\n", kFileVersion);
    for (const std::unique_ptr<MultiCacheEntry>& entry : m_entries) {
        --entry->uses;
        std::fprintf(file, "%" PRIu32 "\t%" PRId32 "\t%zu\t%d\t%d\t%" PRId32 "\t%" PRId32 "\n", entry->serial,
            entry->revision, entry->records.size(), int(entry->x), int(entry->y), entry->z, entry->uses);
        for (const DesignRecord& record : entry->records)
            std::fprintf(file, "%d\t%d\t%d\t%d\t%d\n", int(record.graphic), int(record.hue), int(record.dx),
                int(record.dy), int(record.dz));
    }
    bool written = std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}

bool MultiCache::load(const std::string& path)
{
    clear();
    FILE* file = openEither(path, "r");
    if (!file)
        return false;
    char line[kMaxLine + 1];
    std::unique_ptr<MultiCacheEntry> entry;
    size_t filled = 0;
    while (std::fgets(line, sizeof line, file)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (line[0] == '\0')
            continue;
        long version = 0;
        if (std::sscanf(line, " ver %ld", &version) == 1) {
            if (version < kFileVersion)
                break;
            continue;
        }
        long fields[7] = { 0, 0, 0, 0, 0, 0, 1 };
        if (!entry) {
            int read = std::sscanf(line, "%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld", &fields[0], &fields[1], &fields[2],
                &fields[3], &fields[4], &fields[5], &fields[6]);
            // A count beyond any real house is a damaged file: the line is
            // ignored like any other that does not parse.
            if (read < 3 || fields[2] <= 0 || size_t(fields[2]) > kMaxRecordsPerEntry)
                continue;
            entry = std::make_unique<MultiCacheEntry>(uint32_t(fields[0]), int32_t(fields[1]), size_t(fields[2]),
                int32_t(fields[3]), int32_t(fields[4]), int32_t(fields[5]));
            if (read >= 7)
                entry->uses = int32_t(fields[6]);
            filled = 0;
            continue;
        }
        if (std::sscanf(line, "%ld\t%ld\t%ld\t%ld\t%ld", &fields[0], &fields[1], &fields[2], &fields[3], &fields[4])
            != 5)
            continue;
        entry->records[filled++] = { uint16_t(fields[0]), uint16_t(fields[1]), int16_t(fields[2]), int16_t(fields[3]),
            int16_t(fields[4]) };
        if (filled == entry->records.size())
            insert(std::move(entry), false);
    }
    // An entry cut short by the end of the file is dropped (freed with the
    // pointer), never inserted half empty.
    std::fclose(file);
    return true;
}
