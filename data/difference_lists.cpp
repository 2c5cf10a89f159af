#include "data/difference_lists.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "data/client_file_path.h"
#include "platform/file_system.h"

#include <climits>
#include <cstdio>
#include <string>

namespace {

void readList(const char* pattern, int facet, uint32_t limit, std::map<uint32_t, int32_t>& map)
{
    map.clear();
    if (limit == 0)
        return;
    char name[32];
    std::snprintf(name, sizeof name, pattern, facet);
    std::string composed = clientFilePath(name);
    FILE* file = platform::openRegularFile(platform::resolvePath(composed).value_or(composed), "rb");
    if (!file)
        return;
    uint8_t bytes[4];
    // Record numbers are signed 32-bit: a limit beyond that range cannot be met.
    for (uint32_t i = 0; i < limit && i <= uint32_t(INT32_MAX) && std::fread(bytes, 1, 4, file) == 4; ++i)
        map[ByteCursor(bytes).readU32()] = int32_t(i);
    std::fclose(file);
}

void checkFacet(int facet)
{
    if (facet < 0 || facet >= kDifferenceFacetCount)
        reportFatal("Facet %d is not a valid facet.\n", facet);
}

DifferenceLists*& installedLists()
{
    static DifferenceLists* installed = nullptr;
    return installed;
}

} // namespace

void DifferenceLists::setLimits(int facet, uint32_t staticsLimit, uint32_t terrainLimit)
{
    if (facet < 0 || facet >= kDifferenceFacetCount)
        return;
    m_facets[facet].staticsLimit = staticsLimit;
    m_facets[facet].terrainLimit = terrainLimit;
}

void DifferenceLists::load()
{
    for (int facet = 0; facet < kDifferenceFacetCount; ++facet)
        readList("stadifl%d.mul", facet, m_facets[facet].staticsLimit, m_facets[facet].statics);
    for (int facet = 0; facet < kDifferenceFacetCount; ++facet)
        readList("mapdifl%d.mul", facet, m_facets[facet].terrainLimit, m_facets[facet].terrain);
    // A cached answer belongs to the lists just replaced.
    m_cache = {};
}

int32_t DifferenceLists::lookupStaticsDif(uint32_t block, int facet) const
{
    checkFacet(facet);
    auto found = m_facets[facet].statics.find(block);
    return found == m_facets[facet].statics.end() ? -1 : found->second;
}

int32_t DifferenceLists::lookupMapDif(uint32_t block, int facet)
{
    if (m_cache.valid && m_cache.facet == facet && m_cache.block == block)
        return m_cache.record;
    checkFacet(facet);
    auto found = m_facets[facet].terrain.find(block);
    int32_t record = found == m_facets[facet].terrain.end() ? -1 : found->second;
    m_cache = { true, facet, block, record };
    return record;
}

DifferenceLists& differenceLists()
{
    if (DifferenceLists* installed = installedLists())
        return *installed;
    static DifferenceLists processLists;
    return processLists;
}

DifferenceLists* installDifferenceLists(DifferenceLists* replacement)
{
    DifferenceLists* previous = installedLists();
    installedLists() = replacement;
    return previous;
}

void loadDifferenceLists() { differenceLists().load(); }

int32_t lookupStaticsDif(uint32_t block, int facet) { return differenceLists().lookupStaticsDif(block, facet); }

int32_t lookupMapDif(uint32_t block, int facet) { return differenceLists().lookupMapDif(block, facet); }
