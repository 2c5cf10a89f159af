#pragma once
// Per-facet lists of patched blocks. For each facet 0..4 two list files
// ("stadifl<n>.mul" for statics, "mapdifl<n>.mul" for terrain) name, in
// record order, the blocks that have a record in the facet's difference
// files. How many entries of each list apply is told by the server; the lists
// are read again each time it does. Main thread only.

#include <cstdint>
#include <map>

constexpr int kDifferenceFacetCount = 5;

class DifferenceLists {
public:
    // Entries of each list to use; 0 until the server says otherwise.
    void setLimits(int facet, uint32_t staticsLimit, uint32_t terrainLimit);

    // Rebuilds all ten maps from the list files in the client directory with
    // the limits in force. A missing file gives an empty map, a short one the
    // entries it has; a block named twice takes the later record number.
    void load();

    // The record number of `block` in the facet's difference file, or -1. A
    // facet outside 0..4 is fatal.
    int32_t lookupStaticsDif(uint32_t block, int facet) const;
    // The same for terrain, answered from a one-entry cache when asked twice.
    int32_t lookupMapDif(uint32_t block, int facet);

private:
    struct Facet {
        std::map<uint32_t, int32_t> statics;
        std::map<uint32_t, int32_t> terrain;
        uint32_t staticsLimit = 0;
        uint32_t terrainLimit = 0;
    };
    struct TerrainCache {
        bool valid = false;
        int facet = -1;
        uint32_t block = 0;
        int32_t record = -1;
    };

    Facet m_facets[kDifferenceFacetCount];
    TerrainCache m_cache;
};

// The process-wide lists, unless others were installed.
DifferenceLists& differenceLists();
DifferenceLists* installDifferenceLists(DifferenceLists* replacement);

void loadDifferenceLists();
int32_t lookupStaticsDif(uint32_t block, int facet);
int32_t lookupMapDif(uint32_t block, int facet);
