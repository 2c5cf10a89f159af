#include "gfx/hue_table.h"

#include "core/byte_cursor.h"
#include "data/client_file_path.h"
#include "gfx/colour_tables.h"
#include "platform/ascii_text.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

HueTable::HueTable()
{
    makeColoursVisible();
}

bool HueTable::load(std::span<const uint8_t> bytes)
{
    ByteCursor cursor(bytes);
    bool complete = true;
    for (int32_t group = 0; group < kEntryCount / kEntriesPerGroup; ++group) {
        std::array<HueEntry, kEntriesPerGroup> read;
        cursor.skip(4);
        for (HueEntry& e : read) {
            for (uint16_t& colour : e.colours)
                colour = cursor.readU16();
            e.start = cursor.readU16();
            e.end = cursor.readU16();
            cursor.readBytes({ reinterpret_cast<uint8_t*>(e.name.data()), e.name.size() });
        }
        if (cursor.failed()) {
            complete = false;
            break;
        }
        std::copy(read.begin(), read.end(), m_entries.begin() + group * kEntriesPerGroup);
    }
    makeColoursVisible();
    return complete;
}

void HueTable::makeColoursVisible()
{
    for (HueEntry& e : m_entries)
        for (uint16_t& colour : e.colours)
            if (colour == 0 || (colour & 0x8000))
                colour = 1;
}

HueTable& hueTable()
{
    static const std::unique_ptr<HueTable> table = std::make_unique<HueTable>();
    return *table;
}

bool loadHues()
{
    std::vector<uint8_t> bytes;
    readOptionalStartupFile("hues.mul", bytes);
    return hueTable().load(bytes);
}

std::span<const char> hueNameText(const HueEntry& entry)
{
    return { entry.name.data(), strnlen(entry.name.data(), entry.name.size()) };
}
