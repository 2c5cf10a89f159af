#pragma once
// The view centre and the sizes of the current facet, as far as the world
// objects read them: the centre (the player's position as the server last
// acknowledged it) is what range tests measure from, the facet's width gives
// the screen column of a cell, and the wrap sizes tell where the large facets
// wrap round. The map loading that moves the centre lives with the map view.
// Main thread only.

#include <cstdint>

struct MapView {
    int32_t centreX = 0;
    int32_t centreY = 0;
    int32_t centreZ = 0;
    // Cells of the current facet.
    int32_t mapWidth = 7168;
    int32_t mapHeight = 4096;
    // The part of the facet that wraps round (x below wrapWidth).
    int32_t wrapWidth = 5120;
    int32_t wrapHeight = 4096;
    // Set while the player stands well below the land of its cell.
    bool playerUnderground = false;
    int32_t undergroundCeilingZ = 0;
};

MapView& mapView();
