#include "world/world_reset.h"

#include "world/cell_grid.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/static_object.h"
#include "world/walking.h"
#include "world/world_screen.h"

void purgeCell(int32_t cellX, int32_t cellY)
{
    WorldCellGrid& grid = worldCellGrid();
    int32_t index = WorldCellGrid::cellIndex(cellX, cellY);
    for (WorldObject* object = grid.head(index); object;) {
        WorldObject* next = object->cellNext();
        if (object->isLand()) {
            object->removeFromGrid();
            object->destroy();
        }
        object = next;
    }
}

void resetLightAndView()
{
    resetLightLevels();
    if (PlayerMobile* self = player())
        self->lightModifier = 0;
    // A whole-screen redraw starts the ring again at 0.
    invalidateWholeScreen();
}

void resetWorld()
{
    resetLightAndView();
    if (PlayerMobile* self = player(); self && self->isPlaced())
        self->removeFromGrid();
    WorldList& world = worldLists().world;
    for (StaticObject* object = world.head(); object;) {
        StaticObject* next = WorldList::next(object);
        if (!object->isDynamic() && !object->isMultiPart() && !object->isPreviewPiece())
            object->destroy();
        object = next;
    }
    forgetMapWindow();
    for (int32_t y = 0; y < WorldCellGrid::kSide; ++y) {
        for (int32_t x = 0; x < WorldCellGrid::kSide; ++x)
            purgeCell(x, y);
    }
    resetWalkState();
}
