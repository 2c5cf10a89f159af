#pragma once
// A preview piece of the house designer: a marker drawn in an empty floor
// cell of an upper floor of the designed house, tinted by its floor. It is a
// plain static of the world, never a dynamic object, and never sent to the
// server. Main thread only.

#include "world/static_object.h"

#include <cstdint>

namespace housing {

class HousePiece final : public StaticObject {
public:
    static constexpr uint16_t kGraphic = 1174;

    HousePiece(int32_t atX, int32_t atY, int32_t atZ, uint16_t pieceHue);
    ~HousePiece() override;

    void destroy() override { delete this; }
    // Drawn see-through, whatever its tile flags say.
    void draw(const BlitTarget& target, const ScreenRect& dirty) override;

    // Where the piece stands; it keeps it while out of the world.
    int32_t homeX = 0;
    int32_t homeY = 0;
    int32_t homeZ = 0;
};

} // namespace housing
