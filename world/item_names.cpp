#include "world/item_graphics.h"

#include "core/wide_string.h"
#include "text/cliloc_table.h"
#include "world/static_object.h"
#include "world/tile_data.h"

#include <string>

namespace {

constexpr uint32_t kArticleMask = 0xC000;
constexpr int32_t kFirstItemNameMessage = 1020000;

} // namespace

bool isContainerGraphic(int32_t graphic) { return (tileData().item(graphic).flags & kTileContainer) != 0; }

bool isMapGraphic(int32_t graphic) { return (tileData().item(graphic).flags & kTileMapItem) != 0; }

int32_t getTileAnimId(const StaticObject* object)
{
    if (!object)
        return -1;
    return tileData().item(object->graphic).animationId;
}

std::string_view getItemName(int32_t tileIndex, bool plural)
{
    static std::string name;
    name.clear();
    const TileDataItem& tile = tileData().item(tileIndex);
    if (!plural) {
        switch (tile.flags & kArticleMask) {
        case 0x4000:
            name = "a ";
            break;
        case 0x8000:
            name = "an ";
            break;
        case 0xC000:
            name = "the ";
            break;
        default:
            break;
        }
    }
    // A part between two '%' holds the plural ending, then optionally '/'
    // and the singular ending: "Gold Coin%s%", "Lea%ves/f%".
    std::string_view text = tileNameText(tile.name);
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find('%', at);
        if (open == std::string_view::npos) {
            name.append(text.substr(at));
            break;
        }
        name.append(text.substr(at, open - at));
        size_t close = text.find('%', open + 1);
        std::string_view part = text.substr(open + 1, close == std::string_view::npos ? std::string_view::npos
                                                                                       : close - open - 1);
        size_t slash = part.find('/');
        if (plural)
            name.append(part.substr(0, slash));
        else if (slash != std::string_view::npos)
            name.append(part.substr(slash + 1));
        if (close == std::string_view::npos)
            break;
        at = close + 1;
    }
    return name;
}

std::string_view getObjectName(const StaticObject& object)
{
    bool plural = (object.tileFlags() & kTileStackable) && object.amount > 1;
    return getItemName(object.tileIndex(), plural);
}

std::u16string_view getObjectClilocName(const StaticObject& object)
{
    static std::u16string name;
    WString text;
    getClilocString(text, kFirstItemNameMessage + object.graphic, 0);
    name.assign(text.c_str() ? text.c_str() : u"");
    if ((object.tileFlags() & kTileStackable) && object.amount > 1 && !isSpellScrollGraphic(object.graphic)) {
        name += u" : ";
        for (char digit : std::to_string(object.amount))
            name += char16_t(digit);
    }
    return name;
}
