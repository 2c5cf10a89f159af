// The pictures of mobiles and corpses are composed from body animation
// frames. Until that drawing is here, their rectangle is the box of their
// cell at their drawn height, raised by their height (15 units of 4 pixels),
// the base line is the cell's lower corner, and nothing is drawn: redraws,
// slicing and ordering work on that box.

#include "world/mobile_drawing.h"

#include "world/container_item.h"
#include "world/map_view.h"
#include "world/mobile.h"

namespace {

constexpr int32_t kCellPixels = 44;
constexpr int32_t kBodyPixels = 15 * 4;

void cellBox(ContainerItem& object, int32_t drawnZ)
{
    object.baseY = (object.x + object.y) * 22 - drawnZ * 4 + 20;
    object.screenRect.left = object.columnKey * 22;
    object.screenRect.right = object.screenRect.left + kCellPixels;
    object.screenRect.bottom = object.rowKey * 22 - drawnZ * 4 + kCellPixels;
    object.screenRect.top = object.screenRect.bottom - kCellPixels - kBodyPixels;
    object.setCellReach(0);
}

} // namespace

void Mobile::computeBounds() { cellBox(*this, drawZ); }

void Mobile::draw(const BlitTarget&, const ScreenRect&) { }

bool Mobile::hitTest(int32_t pointX, int32_t pointY) const { return screenRect.contains(pointX, pointY); }

void Corpse::computeBounds() { cellBox(*this, z); }

void Corpse::draw(const BlitTarget&, const ScreenRect&) { }

bool movementActionFrame(const Mobile&, int32_t&, int32_t&) { return false; }
