#include "housing/component_catalogue.h"

namespace housing {

namespace {

// A run of cells [first, last] whose tooltips count up from `firstId`.
struct TooltipRun {
    int32_t first;
    int32_t last;
    int32_t firstId;
};

struct RoofTooltipGroup {
    int32_t lowCategory;
    int32_t highCategory;
    std::span<const TooltipRun> page0;
    std::span<const TooltipRun> page1;
};

constexpr TooltipRun kPlainPage0[] = { { 0, 14, 1070640 } };
constexpr TooltipRun kGroup67Page0[] = { { 0, 10, 1070640 }, { 11, 15, 1070652 } };
constexpr TooltipRun kGroup67Page1[] = { { 0, 2, 1070657 } };
constexpr TooltipRun kGroup813Page0[] = { { 0, 5, 1070660 }, { 6, 7, 1070680 }, { 8, 15, 1070666 } };
constexpr TooltipRun kGroup813Page1[] = { { 2, 4, 1070674 }, { 10, 12, 1070677 } };
constexpr TooltipRun kGroup14Page1[] = { { 1, 4, 1070656 }, { 5, 6, 1070682 }, { 9, 13, 1070684 } };
constexpr TooltipRun kGroup15Page1[]
    = { { 1, 4, 1070656 }, { 5, 6, 1070682 }, { 9, 13, 1070684 }, { 14, 14, 1070689 } };
constexpr TooltipRun kGroup1617Page1[] = { { 1, 4, 1070656 }, { 9, 12, 1070684 }, { 15, 15, 1070654 } };

constexpr RoofTooltipGroup kRoofTooltipGroups[] = {
    { 0, 5, kPlainPage0, {} },
    { 6, 7, kGroup67Page0, kGroup67Page1 },
    { 8, 13, kGroup813Page0, kGroup813Page1 },
    { 14, 14, kPlainPage0, kGroup14Page1 },
    { 15, 15, kPlainPage0, kGroup15Page1 },
    { 16, 17, kPlainPage0, kGroup1617Page1 },
};

} // namespace

int32_t roofTooltip(int32_t category, int32_t page, int32_t cell)
{
    for (const RoofTooltipGroup& group : kRoofTooltipGroups) {
        if (category < group.lowCategory || category > group.highCategory)
            continue;
        std::span<const TooltipRun> runs = page == 0 ? group.page0
            : page == 1                              ? group.page1
                                                     : std::span<const TooltipRun>();
        for (const TooltipRun& run : runs) {
            if (cell >= run.first && cell <= run.last)
                return run.firstId + (cell - run.first);
        }
        return 0;
    }
    return 0;
}

} // namespace housing
