#include "gfx/colour_tables.h"

#include "core/byte_cursor.h"

#include "data/client_file_path.h"
#include "data/data_files.h"

#include <memory>
#include <vector>

namespace {

int32_t clampChannel(int32_t v)
{
    return v < 0 ? 0 : (v > 31 ? 31 : v);
}

int32_t blendEntry(int table, int32_t d, int32_t s)
{
    switch (table) {
    case 0:
        return 0;
    case 1:
        return d * s / 32;
    case 2:
        return d + s;
    case 3:
        return d + s + d * s / 32;
    case 4:
        return (d + s) / 2 + d * s / 32;
    case 5:
        return (d + s) / 4 + d * s / 32;
    case 6:
        return d - s;
    default:
        return s - d;
    }
}

void buildGreyscale(ColourTables& t)
{
    t.greyscale[0] = 0;
    for (uint32_t p = 1; p < 32768; ++p) {
        uint32_t r = p >> 10, g = (p >> 5) & 31, b = p & 31;
        uint32_t c = ((536 * r + 104 * g + 160 * b) / 100) >> 3;
        t.greyscale[p] = static_cast<uint16_t>(c << 10 | c << 5 | c);
    }
}

void buildGreyIndex(ColourTables& t)
{
    for (uint32_t p = 0; p < 65536; ++p)
        t.greyIndex[p] = static_cast<uint8_t>((((p >> 5) & 31) + ((p >> 11) & 15) + (p & 31)) / 3);
}

void buildShade(ColourTables& t)
{
    for (uint32_t level = 0; level < 32; ++level) {
        for (uint32_t v = 0; v < 32; ++v) {
            uint32_t shaded = v * (32 - level) / 32;
            t.shade[level][v] = static_cast<uint8_t>(shaded);
            t.shadeValue[v][level] = shaded;
            t.shadeRed[v][level] = shaded << 10;
            t.shadeGreen[v][level] = shaded << 5;
        }
    }
}

void buildBlend(ColourTables& t)
{
    for (int table = 0; table < kBlendTableCount; ++table)
        for (int32_t d = 0; d < 32; ++d)
            for (int32_t s = 0; s < 32; ++s)
                t.blend[table][d * 32 + s] = static_cast<uint16_t>(clampChannel(blendEntry(table, d, s)));
}

std::unique_ptr<ColourTables> buildColourTables()
{
    auto tables = std::make_unique<ColourTables>();
    buildGreyscale(*tables);
    buildGreyIndex(*tables);
    buildShade(*tables);
    buildBlend(*tables);
    return tables;
}

} // namespace

const ColourTables& colourTables()
{
    static const std::unique_ptr<ColourTables> tables = buildColourTables();
    return *tables;
}

int blendTableIndexForLevel(int32_t level)
{
    int index = level & 15;
    return index >= kBlendTableCount ? 1 : index;
}

std::optional<Palette> parsePalette(std::span<const uint8_t> bytes)
{
    ByteCursor cursor(bytes);
    Palette palette;
    if (!cursor.readBytes(palette.triples))
        return std::nullopt;
    return palette;
}

std::optional<Palette> loadPalette()
{
    std::vector<uint8_t> bytes;
    readOptionalStartupFile("palette.mul", bytes);
    std::optional<Palette> palette = parsePalette(bytes);
    colourTables();
    loadAnimInfo();
    return palette;
}
