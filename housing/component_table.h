#pragma once
// The seven tables of pieces a house designer can place ("walls.txt",
// "floors.txt", "doors.txt", "stairs.txt", "misc.txt", "teleprts.txt",
// "roof.txt"). Each row is one page of the design window's picker. The tables
// are plain data, read on the main thread; the design engine owns them.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace housing {

enum class ComponentKind : int32_t {
    Walls = 1,
    Floors = 2,
    Doors = 3,
    Stairs = 4,
    Misc = 5,
    Teleporters = 6,
    Roofs = 7,
};

// One row of any of the seven tables; `kind` says which columns it was read
// with. Fields a kind does not have stay 0.
struct ComponentRow {
    ComponentKind kind = ComponentKind::Walls;
    int32_t pageIndex = 0;
    std::array<int32_t, 16> pieces {};
    int32_t featureMask = 0;
    // Walls, decorative pieces and roofs.
    int32_t category = 0;
    int32_t categoryTooltip = 0;
    // Walls: pieces shown instead of some of the eight while the design
    // window's alternate-wall toggle is on.
    std::array<int32_t, 6> alternatePieces {};
    // Stairs: whole staircases placed as one multi.
    std::array<int32_t, 4> stairMultis {};

    // Reads one text line in the column order of the row's kind. True when
    // at least the kind's minimum number of columns converted; missing
    // columns at the end keep 0.
    bool parseLine(std::string_view line);
};

struct ComponentKindInfo {
    const char* fileName;
    int32_t columns;
    int32_t minimumColumns;
};

// File name and column counts of a kind; null name for a number that is no kind.
ComponentKindInfo componentKindInfo(ComponentKind kind);

// More rows than any picker could page through; the rest of a longer file is
// not read.
inline constexpr size_t kMaxComponentRows = 4096;

class HouseComponentTable {
public:
    HouseComponentTable() = default;
    explicit HouseComponentTable(ComponentKind kind)
        : m_kind(kind)
    {
    }

    // Reads the kind's file through the file manager. A missing file leaves
    // the table empty and answers false.
    bool load(ComponentKind kind);
    // Replaces the rows with those read from the file's bytes: the first two
    // reads are headers, every later read that parses is a row.
    void loadFromBytes(ComponentKind kind, std::string_view bytes);
    void clear() { m_rows.clear(); }

    ComponentKind kind() const { return m_kind; }
    std::span<const ComponentRow> rows() const { return m_rows; }
    size_t size() const { return m_rows.size(); }

    // First row with that page index (and category, for the kinds that have one).
    const ComponentRow* findPage(int32_t pageIndex) const;
    const ComponentRow* findPage(int32_t category, int32_t pageIndex) const;

private:
    ComponentKind m_kind = ComponentKind::Walls;
    std::vector<ComponentRow> m_rows;
};

} // namespace housing
