#include "support/world_point.h"

#include "fixtures/sample_scene.h"
#include "windows/container_gump.h"
#include "world/cell_picking.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include <utility>
#include <vector>

namespace test {

bool worldObjectPoint(const WorldObject* wanted, int32_t width, int32_t height, int32_t step, int32_t& x, int32_t& y)
{
    x = y = -1;
    if (!wanted || step <= 0)
        return false;
    std::vector<std::pair<int32_t, int32_t>> points;
    int64_t sumX = 0;
    int64_t sumY = 0;
    for (int32_t py = 0; py < height; py += step) {
        for (int32_t px = 0; px < width; px += step) {
            if (pickWorldObjectAt(px, py) == wanted) {
                points.push_back({ px, py });
                sumX += px;
                sumY += py;
            }
        }
    }
    if (points.empty())
        return false;
    const int64_t middleX = sumX / int64_t(points.size());
    const int64_t middleY = sumY / int64_t(points.size());
    int64_t nearest = -1;
    for (const auto& [px, py] : points) {
        const int64_t distance = (px - middleX) * (px - middleX) + (py - middleY) * (py - middleY);
        if (nearest < 0 || distance < nearest) {
            nearest = distance;
            x = px;
            y = py;
        }
    }
    return true;
}

ContainerGump* sceneBackpackWindow()
{
    Item* pack = findItemBySerial(fixture::kSceneBackpackSerial);
    return pack && pack->isContainer() ? findContainerGump(static_cast<ContainerItem&>(*pack)) : nullptr;
}

bool backpackItemPoint(uint32_t serial, int32_t& x, int32_t& y)
{
    ContainerGump* window = sceneBackpackWindow();
    Item* item = findItemBySerial(serial);
    if (!window || !item)
        return false;
    const ScreenRect area = window->itemRect(*item);
    x = (area.left + area.right) / 2;
    y = (area.top + area.bottom) / 2;
    window->localToScreen(x, y);
    return true;
}

} // namespace test
