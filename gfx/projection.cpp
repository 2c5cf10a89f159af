#include "gfx/projection.h"

ScreenPoint worldToScreen(int32_t cellX, int32_t cellY, const ViewProjection& view)
{
    return { (view.mapWidthCells + cellX - cellY) * 22 - view.viewPixelX, (cellX + cellY) * 22 - view.viewPixelY + 20 };
}
