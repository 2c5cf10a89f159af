#pragma once
// The support grid of a house being designed: every piece of the house is
// filed into a 32 x 32 x 4 grid (x, y relative to the house's bounds, floor
// from the piece's height), support is computed floor by floor, and two
// questions are answered: is this piece supported (unsupported pieces are
// drawn in a warning hue) and is every floor legal (asked before a design is
// committed). One checker exists while a house is designed; main thread only.
//
// A house wider or deeper than the grid gets a checker that files nothing and
// answers "not legal" without a message.

#include "housing/house_piece_ids.h"
#include "housing/support_info_table.h"

#include <array>
#include <cstdint>
#include <vector>

namespace housing {

struct PlacementCell {
    uint8_t carried = 0; // held up from below
    uint8_t floorReach = 0;
    uint8_t roofReach = 0;
    uint8_t visited = 0; // handled by the support spreading on this pass
    uint8_t floorSupported = 0;
    uint8_t roofSupported = 0;
    uint8_t objectSupported = 0; // 0 no, 1 directly, 2 through a neighbour
    uint16_t floorId = 0; // a flat piece, or a tall surface piece
    uint16_t objectId = 0; // a tall piece without the surface and roof flags
    uint16_t roofId = 0; // a tall roof piece without the surface flag
    uint8_t surfaceBelow = 0; // a tall surface piece stands here on the floor below
    uint8_t surfaceHere = 0;
};

// The answer of a legality scan: the first bad cell and its message.
struct PlacementVerdict {
    bool legal = true;
    // "Illegal Object!", "Illegal Floor!" or "Illegal Roof!"; null when legal
    // or when the house does not fit the grid.
    const char* message = nullptr;
    int32_t x = -1;
    int32_t y = -1;
    int32_t floor = -1;
};

struct HouseFrame {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    // Inclusive bounds of the house, the row in front of it included.
    int32_t minX = 0;
    int32_t maxX = 0;
    int32_t minY = 0;
    int32_t maxY = 0;
    int32_t floors = 0;
};

// One component of a house as its component list holds it: the piece and its
// offsets from the house's position.
struct HouseComponent {
    uint16_t id = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;
};

// The houses' component lists as the checker reads them; the world's house
// items answer it.
class HouseComponentSource {
public:
    virtual ~HouseComponentSource() = default;
    // Replaces `out` by the components of the house, in list order; false when
    // the house object or its component list does not exist.
    virtual bool copyComponents(uint32_t houseSerial, std::vector<HouseComponent>& out) const = 0;
};

class HousePlacementChecker {
public:
    static constexpr int32_t kGridWidth = 32;
    static constexpr int32_t kGridDepth = 32;
    static constexpr int32_t kGridFloors = 4;
    // A row of unsupported floor is held by a span of at most this many cells.
    static constexpr int32_t kMaxSpan = 18;
    // How a legality refusal is shown in the system-message area.
    static constexpr uint16_t kRefusalHue = 946;
    static constexpr int32_t kRefusalFont = 1;

    // The support table and tile data are read, not owned; both must outlive
    // the checker. The caller reloads the support table before making one.
    HousePlacementChecker(const SupportInfoTable& support, const PieceTileData& tiles, const HouseFrame& frame);

    bool fitsGrid() const { return m_fitsGrid; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t floors() const { return m_frame.floors; }
    const HouseFrame& frame() const { return m_frame; }

    // Forgets every filed piece.
    void clear();
    // Files one piece given relative to the house position. Pieces outside
    // the grid (or below the first upper floor) are not filed.
    void fileComponent(int32_t x, int32_t y, int32_t z, uint16_t id);
    // Files the house's whole component list afresh (clearing first) and
    // recomputes support; when the house or its list does not exist, nothing
    // changes and the answer is false.
    bool rebuild(uint32_t houseSerial, const HouseComponentSource& houses);
    // Recomputes support for floors 0 to floors - 1 in order, each floor
    // seeing the finished floor below.
    void rebuildSupport();
    void computeFloorSupport(int32_t floor);

    // Whether a piece at a world position is supported; pieces outside the
    // grid, and pieces the grid does not hold, are.
    bool isSupported(uint16_t id, int32_t worldX, int32_t worldY, int32_t worldZ) const;

    PlacementVerdict floorLegal(int32_t floor) const;
    // The first floor that fails, in order; legal when none does.
    PlacementVerdict allFloorsLegal() const;

    // The grid floor a piece at a height relative to the house falls on, -1
    // below the first upper floor. Roof pieces are judged 3 higher, lowered
    // roof pieces 6 higher.
    int32_t gridFloorOf(uint16_t id, int32_t relativeZ) const;

    // Null outside the 32 x 32 x 4 grid.
    const PlacementCell* cell(int32_t x, int32_t y, int32_t floor) const;

private:
    PlacementCell* cellAt(int32_t x, int32_t y, int32_t floor);
    bool spans(int32_t x, int32_t y, int32_t floor, int32_t dx, int32_t dy, bool roof);
    bool passesEdgeGate(int32_t x, int32_t y, uint16_t objectId) const;
    bool flag(uint16_t id, int supportFlag) const { return m_support.hasFlag(id, supportFlag); }

    const SupportInfoTable& m_support;
    const PieceTileData& m_tiles;
    HouseFrame m_frame;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_fitsGrid = false;
    std::array<PlacementCell, kGridWidth * kGridDepth * kGridFloors> m_grid {};
};

} // namespace housing
