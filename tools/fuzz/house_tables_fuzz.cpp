// Reads arbitrary text as one of the seven house component tables or as
// "suppinfo.txt" (the first byte chooses), then pages through what was read the
// way the design window and the pick tool do.
#include "housing/component_catalogue.h"
#include "housing/support_info_table.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

namespace {

void checkCells(int32_t count)
{
    if (count < 0 || count > 16)
        abort();
}

void pageThrough(const housing::HouseComponentCatalogue& catalogue, housing::ComponentKind kind)
{
    std::array<int32_t, 16> cells {};
    std::array<int32_t, 16> tooltips {};
    int32_t feature = 0;
    const int32_t probes[] = { INT_MIN, -2, -1, 0, 1, 2, 15, 16, 17, INT_MAX };
    for (int32_t category : probes) {
        catalogue.categoryPageCount(kind, category);
        for (int32_t page : probes) {
            checkCells(catalogue.fillWallCells(category, page, true, cells, feature, tooltips.data()));
            checkCells(catalogue.fillWallCells(category, page, false, cells, feature));
            checkCells(catalogue.fillMiscCells(category, page, cells, feature, tooltips.data()));
            checkCells(catalogue.fillRoofCells(category, page, cells, feature, tooltips.data()));
            checkCells(catalogue.fillPlainCells(kind, page, cells, feature));
            catalogue.fillStairCells(page, cells, feature);
            catalogue.stairMultiInCell(category, page);
            housing::roofTooltip(category, page, category);
        }
    }
    // A few rows are enough to reach every look-up; each one walks all rows.
    std::span<const housing::ComponentRow> rows = catalogue.table(kind).rows();
    for (const housing::ComponentRow& row : rows.first(std::min<size_t>(rows.size(), 32))) {
        catalogue.categoryPageCount(kind, row.category);
        checkCells(catalogue.fillWallCells(row.category, row.pageIndex, true, cells, feature, tooltips.data()));
        checkCells(catalogue.fillRoofCells(row.category, row.pageIndex, cells, feature, tooltips.data()));
        for (int32_t piece : row.pieces) {
            housing::ComponentLocation where;
            catalogue.locateComponent(piece, where);
            catalogue.isDoorOrTeleporter(piece);
            catalogue.stairPieceDirection(piece);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    int choice = data[0] % 8;
    if (choice == 0) {
        housing::SupportInfoTable support;
        support.loadFromBytes(text);
        for (int32_t id : { 0, 1, 2, 100, 6173, 65535, -1 }) {
            support.flags(id);
            for (int flag = -1; flag <= 14; ++flag)
                support.hasFlag(id, flag);
            support.connects(id, 2, -1, 0);
            support.connects(2, id, 0, 1);
        }
        return 0;
    }
    auto kind = housing::ComponentKind(choice);
    housing::HouseComponentCatalogue catalogue;
    catalogue.table(kind).loadFromBytes(kind, text);
    if (catalogue.table(kind).size() > housing::kMaxComponentRows)
        abort();
    pageThrough(catalogue, kind);
    return 0;
}
