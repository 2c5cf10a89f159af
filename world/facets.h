#pragma once
// The five facets (separate maps) of the world and their fixed table: size in
// cells, the part that wraps round, and the data-file rows that hold each
// facet's terrain, statics and difference records. Row 5 stands for every
// index outside 0..4. Read-only; any thread.

#include <cstdint>
#include <string_view>

struct FacetInfo {
    const char* name;
    int32_t width;
    int32_t height;
    int32_t wrapWidth;
    int32_t wrapHeight;
    int32_t staticsFile;
    int32_t staticsIndexFile;
    int32_t mapDifFile;
    int32_t staticsDifFile;
    int32_t staticsDifIndexFile;
    int32_t mapFile;
    uint8_t rulesFlag;
};

constexpr int32_t kFacetCount = 5;
constexpr int32_t kUnknownFacet = 5;

bool isValidFacet(int32_t facet);
// The row of `facet`: row 5 for any index outside 0..4.
const FacetInfo& facetInfo(int32_t facet);
std::string_view getFacetName(int32_t facet);

// The table accessors for code that must have a real facet: an index outside
// 0..4 is a fatal report ("Unknown facet %d.\n").
const FacetInfo& requireFacet(int32_t facet);
int32_t getFacetWidth(int32_t facet);
int32_t getFacetHeight(int32_t facet);
int32_t getFacetWrapWidth(int32_t facet);
int32_t getFacetWrapHeight(int32_t facet);

// The first facet 0..4 whose name occurs in `text`, else 5.
int32_t findFacetInText(std::string_view text);

// Whether the current facet follows the first facet's rules: its own flag,
// or any facet while the server's character-list flags have bit 2 set.
bool getCurrentFacetFlag();
void setAllFacetsFollowRules(bool allFacets);
