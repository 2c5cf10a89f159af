#include "housing/house_piece.h"

#include "world/tile_data.h"

namespace housing {

HousePiece::HousePiece(int32_t atX, int32_t atY, int32_t atZ, uint16_t pieceHue)
    : homeX(atX)
    , homeY(atY)
    , homeZ(atZ)
{
    graphic = kGraphic;
    graphicOffset = 0;
    drawGraphic = remappedDrawGraphic(kGraphic);
    baseHue = pieceHue;
    hue = normalizeHue(pieceHue);
    enterWorldAt(atX, atY, atZ);
}

HousePiece::~HousePiece()
{
    if (!isDetached())
        leaveWorld();
}

void HousePiece::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    TileData& tiles = tileData();
    int32_t record = tileIndex();
    uint32_t flags = tiles.item(record).flags;
    if (!tiles.setItemFlags(record, flags | kTileTranslucent))
        return;
    StaticObject::draw(target, dirty);
    tiles.setItemFlags(record, flags);
}

} // namespace housing
