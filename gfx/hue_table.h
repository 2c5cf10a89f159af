#pragma once
// The 3000 colour ramps of "hues.mul" that recolour art. Hue number n (1..3000)
// is entry n - 1; hue 0 means no hue. A ramp maps a 5-bit intensity to a
// colour; no colour is ever 0, the transparent value, so hued pixels stay
// visible. The process-wide table is loaded at start-up on the main thread
// and only read afterwards.

#include "core/html_colour.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

struct HueEntry {
    std::array<uint16_t, 32> colours {};
    uint16_t start = 0;
    uint16_t end = 0;
    // Not always terminated in the file; nameText() stops at 20.
    std::array<char, 20> name {};
};

class HueTable {
public:
    static constexpr int32_t kEntryCount = 3000;
    static constexpr int32_t kEntriesPerGroup = 8;
    static constexpr size_t kEntryBytes = 88;
    static constexpr size_t kFileBytes = kEntryCount / kEntriesPerGroup * (4 + kEntriesPerGroup * kEntryBytes);

    HueTable();

    // Reads the groups of a "hues.mul" image. Whole groups are taken up to the
    // first one the bytes do not complete; false when that happened before the
    // end of the table. Then every 0 colour, and every colour with bit 15 set,
    // becomes 1, also in a table that read nothing.
    bool load(std::span<const uint8_t> bytes);

    // Indices outside the table read entry 0: hue numbers come from servers
    // and files.
    const HueEntry& entry(int32_t index) const { return m_entries[index >= 0 && index < kEntryCount ? index : 0]; }
    std::span<const HueEntry> entries() const { return m_entries; }

private:
    void makeColoursVisible();

    std::array<HueEntry, kEntryCount> m_entries;
};

HueTable& hueTable();
// Start-up: reads "hues.mul" through the file manager into hueTable().
bool loadHues();

// The name of a hue, without the padding.
std::span<const char> hueNameText(const HueEntry& entry);

