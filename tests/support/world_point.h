#pragma once
// Where a headless player points to reach a world object: a point of the
// shown game area where picking finds the object, the one nearest the middle
// of what shows of it. The middle itself can fall on what stands in front (a
// wall before a figure's legs), and the first point found on a name shown
// over the figure's head.

#include <cstdint>

class ContainerGump;
class WorldObject;

namespace test {

// False (and -1, -1) when no point of the game area (width x height, looked
// at every `step` pixels) picks the object.
bool worldObjectPoint(const WorldObject* wanted, int32_t width, int32_t height, int32_t step, int32_t& x, int32_t& y);

// The window of the sample scene's backpack, or null while it is closed.
ContainerGump* sceneBackpackWindow();
// The screen point in the middle of an item shown in that window; false while
// the window is closed or the item is unknown.
bool backpackItemPoint(uint32_t serial, int32_t& x, int32_t& y);

} // namespace test
