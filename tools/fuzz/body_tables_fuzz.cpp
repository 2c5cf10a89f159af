// Reads arbitrary text as "mobtypes.txt", "bodyconv.def" and "Equipconv.def"
// and asks every table about the bodies and graphics the text names.
#include "world/body_tables.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto types = std::make_unique<BodyTypeTable>();
    auto conversions = std::make_unique<BodyConversionTable>();
    EquipConvTable equipment;
    types->load(text);
    conversions->load(text);
    equipment.load(text);
    for (int32_t body : { -1, 0, 1, 399, 400, 2047, 2048, 16383, 16384 }) {
        int32_t type = int32_t(types->getBodyType(body));
        if (type < 0 || type > 4)
            abort();
        types->hasFlag(body, 0x4000);
        types->isHumanLike(body);
        types->isAnimalLike(body);
        for (int32_t set = 0; set <= 5; ++set)
            conversions->alternative(body, set);
        for (int32_t graphic : { 0, 1, 5000 }) {
            equipment.getConvertedEquipGraphic(body, graphic);
            equipment.getGump(body, graphic);
        }
    }
    return 0;
}
