#include "world/facets.h"

#include "core/error_report.h"
#include "world/map_view.h"

namespace {

// Facets 0 and 1 share the map and statics files and differ only in their
// difference files.
constexpr FacetInfo kFacets[kFacetCount + 1] = {
    { "Verdmoor", 7168, 4096, 5120, 4096, 2, 1, 27, 18, 17, 0, 1 },
    { "Ashfen", 7168, 4096, 5120, 4096, 2, 1, 28, 20, 19, 0, 0 },
    { "Coldreach", 2304, 1600, 2304, 1600, 34, 33, 29, 22, 21, 32, 0 },
    { "Duneholm", 2560, 2048, 2560, 2048, 41, 40, 30, 24, 23, 39, 0 },
    { "Kirath Islands", 1448, 1448, 1448, 1448, 46, 45, 31, 26, 25, 44, 0 },
    { "Unknown", 0, 0, 0, 0, -1, -1, -1, -1, -1, -1, 0 },
};

bool g_allFacetsFollowRules = false;

} // namespace

bool isValidFacet(int32_t facet) { return facet >= 0 && facet < kFacetCount; }

const FacetInfo& facetInfo(int32_t facet) { return kFacets[isValidFacet(facet) ? facet : kUnknownFacet]; }

std::string_view getFacetName(int32_t facet) { return facetInfo(facet).name; }

const FacetInfo& requireFacet(int32_t facet)
{
    if (!isValidFacet(facet))
        reportFatal("Unknown facet %d.\n", int(facet));
    return facetInfo(facet);
}

int32_t getFacetWidth(int32_t facet) { return requireFacet(facet).width; }
int32_t getFacetHeight(int32_t facet) { return requireFacet(facet).height; }
int32_t getFacetWrapWidth(int32_t facet) { return requireFacet(facet).wrapWidth; }
int32_t getFacetWrapHeight(int32_t facet) { return requireFacet(facet).wrapHeight; }

int32_t findFacetInText(std::string_view text)
{
    for (int32_t facet = 0; facet < kFacetCount; ++facet) {
        if (text.find(kFacets[facet].name) != std::string_view::npos)
            return facet;
    }
    return kUnknownFacet;
}

bool getCurrentFacetFlag() { return g_allFacetsFollowRules || facetInfo(mapView().currentFacet).rulesFlag != 0; }

void setAllFacetsFollowRules(bool allFacets) { g_allFacetsFollowRules = allFacets; }
