// Loads arbitrary bytes as "hues.mul" and parses them as a colour text; no
// hue colour may come out transparent or with bit 15 set.
#include "core/wide_text.h"
#include "gfx/hue_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::unique_ptr<HueTable> table = std::make_unique<HueTable>();
    table->load({ data, size });
    for (const HueEntry& entry : table->entries()) {
        for (uint16_t colour : entry.colours)
            if (colour == 0 || (colour & 0x8000))
                abort();
        if (hueNameText(entry).size() > 20)
            abort();
    }

    std::string_view text(reinterpret_cast<const char*>(data), size);
    int32_t colour = parseHtmlColor(text);
    if ((text.empty() || text[0] != '-') && (colour < 0 || colour > 0x7FFF))
        abort();
    std::u16string wide = bytesToWideString(text);
    if (parseHtmlColor(std::u16string_view(wide)) != colour)
        abort();
    return 0;
}
