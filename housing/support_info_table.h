#pragma once
// "suppinfo.txt": for a piece id, the support and connection flags that the
// placement checker and the design engine's placement rules read. One table
// for the process, read at start-up and again whenever a placement checker is
// made. Main thread only.

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace housing {

// Flag numbers of a support record.
enum SupportFlag : int {
    kSupportUnused = 0,
    kSupportDirect = 1, // can be supported by its own cell or a neighbouring floor
    kConnectNorthLower = 2,
    kConnectNorthUpper = 3,
    kConnectWestLower = 4,
    kConnectWestUpper = 5,
    kConnectSouthLower = 6,
    kConnectSouthUpper = 7,
    kConnectEastLower = 8,
    kConnectEastUpper = 9,
    kSupportWestColumn = 10, // may stand on the west column, leaning east
    kSupportNorthRow = 11, // may stand on the north row, leaning south
    kSupportCorner = 12, // may stand on the north-west corner, leaning south-east
    kSupportCarriesFloor = 13, // carries the floor above it
};

struct SupportFlags {
    std::array<bool, 14> flag {};
    bool has(int index) const { return index >= 0 && index < 14 && flag[size_t(index)]; }
};

// More ids than the game has pieces; later lines of a longer file are ignored.
inline constexpr size_t kMaxSupportRecords = 65536;

class SupportInfoTable {
public:
    // Empties the table and reads "suppinfo.txt" through the file manager;
    // false (and an empty table) when the file is missing.
    bool load();
    // Empties the table and reads the file's bytes: two header reads, then a
    // line per piece "name id f3 ... f16". A line without all sixteen fields is
    // ignored; the first line for an id wins.
    void loadFromBytes(std::string_view bytes);
    void clear() { m_records.clear(); }
    size_t size() const { return m_records.size(); }

    const SupportFlags* flags(int32_t id) const;
    bool hasFlag(int32_t id, int flag) const;
    bool mayStandOnWestColumn(int32_t id) const { return hasFlag(id, kSupportWestColumn); }
    bool mayStandOnNorthRow(int32_t id) const { return hasFlag(id, kSupportNorthRow); }
    bool mayStandOnCorner(int32_t id) const { return hasFlag(id, kSupportCorner); }

    // Whether piece A connects to its neighbour B lying at (dx, dy) from it
    // (each -1, 0 or +1). False when either id is 0 or unknown.
    bool connects(int32_t idA, int32_t idB, int dx, int dy) const;

private:
    std::unordered_map<int32_t, SupportFlags> m_records;
};

} // namespace housing
