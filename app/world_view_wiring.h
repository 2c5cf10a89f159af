#pragma once
// Brings the map, the terrain and the world frame into the running program:
// the cell grid with its draw order, the circle and the roof state and the
// map view at start-up; the multi components, the placement preview and the
// design cache with the settings they read; and the drawing of the world into
// each dirty rectangle of the back buffer every frame. Main thread only.

#include <cstdint>
#include <functional>

class BackBuffer;

// Start-up, right after the palette: the cell grid and its draw order, the
// roof state, the map view, the land diamond table and the circle; from then
// on the settings reach the circle and the design cache's limit.
void startWorldGrid();
// Start-up, once the settings are read: the real multi component lists,
// the placement preview and the circle's and the design cache's settings.
void startWorldViewObjects();
// Shutdown: the placement preview is deleted.
void deleteWorldViewObjects();

// The world frame's drawing: the placement preview follows the pointer (its
// game-area position from `pointer`), then every dirty rectangle of
// `buffer` is drawn from the cell grid.
void renderWorldFrame(BackBuffer& buffer, const std::function<void(int32_t&, int32_t&)>& pointer);
