#pragma once
// The map view: the view centre (the player's position as the server last
// acknowledged it), the sizes of the current facet, and the window of
// statics blocks and land cells kept alive round the centre. Whenever the
// centre moves, the statics of a 6 x 6 block window and the land of a 37 x 37
// cell square are brought into the cell grid. The large facets wrap round in
// their first wrapWidth x wrapHeight cells; the world objects are shifted by
// the wrap width when the centre crosses it. Main thread only.

#include <array>
#include <cstdint>

struct MapView {
    static constexpr int32_t kWindowBlocks = 6;
    static constexpr int32_t kWindowSlots = kWindowBlocks * kWindowBlocks;
    static constexpr int32_t kNoWindow = -9999;
    // Land is kept within this many cells of the centre.
    static constexpr int32_t kLandRadius = 18;

    int32_t centreX = 0;
    int32_t centreY = 0;
    int32_t centreZ = 0;
    // Cells of the current facet.
    int32_t mapWidth = 7168;
    int32_t mapHeight = 4096;
    int32_t blocksWide = 7168 / 8;
    int32_t blocksHigh = 4096 / 8;
    // The part of the facet that wraps round (x below wrapWidth).
    int32_t wrapWidth = 5120;
    int32_t wrapHeight = 4096;
    // The facet whose sizes are loaded and whose files are read.
    int32_t currentFacet = 0;
    // The facet last given to setPlayerPosition; -1 after a reset.
    int32_t positionFacet = -1;
    // Block numbers of the statics blocks loaded; -1 marks a free slot.
    std::array<int32_t, kWindowSlots> blockWindow = filledWindow();
    // Block coordinates of the window's first block; kNoWindow when nothing
    // is loaded, which forces a full reload.
    int32_t windowBlockX = kNoWindow;
    int32_t windowBlockY = kNoWindow;
    // Set while the player stands well below the land of its cell.
    bool playerUnderground = false;
    int32_t undergroundCeilingZ = 0;

private:
    static constexpr std::array<int32_t, kWindowSlots> filledWindow()
    {
        std::array<int32_t, kWindowSlots> slots {};
        for (int32_t& slot : slots)
            slot = -1;
        return slots;
    }
};

MapView& mapView();

// Start-up: centre 0, the first facet's sizes, nothing loaded.
void initMapView();
// Connect and world reset: nothing loaded, and every cell of the grid cleared.
void resetMapView();
// Forgets which statics blocks are loaded (and the facet last placed at), so
// that the next load reads the whole window again; the grid is untouched.
void forgetMapWindow();
// The server's facet change: new sizes, the grid and the walking state reset
// and the world emptied. Nothing for the facet already current.
void setFacet(int32_t facet);
// The server's position: redraw everything; unless x is -1, the centre moves
// there, and with the player in the world the map window is loaded.
void setPlayerPosition(int32_t x, int32_t y, int32_t z, int32_t facet);
// An acknowledged step: the centre moves by (dx, dy) and takes z, wrapping
// round the large facets; the window follows.
void moveMapViewCentre(int32_t dx, int32_t dy, int32_t z);
// Brings the grid, the statics window and the land square up to the centre,
// then updates the underground state.
void loadMapWindow();

// Distances in cells, max(|dx|, |dy|), the short way round inside the
// wrapping part; 9999 when exactly one point lies beyond the wrap width.
int32_t wrappedDistance(int32_t px, int32_t py, int32_t qx, int32_t qy);

// Moves every placed world object by (dx, dy) cells and places it again.
void shiftWorldObjects(int32_t dx, int32_t dy);

// Whether a land object is at exactly (x, y) in the grid.
bool hasLandAt(int32_t x, int32_t y);

// What the map view asks of the services above it; the base does nothing
// (no missiles, no walking state).
class MapViewServices {
public:
    virtual ~MapViewServices() = default;
    // Every missile effect window closes (the player jumped).
    virtual void closeMissileGumps() { }
    // The walking prediction forgets its queued steps.
    virtual void resetWalkState() { }
};

// The radar window, which is built later; the base does nothing.
class RadarView {
public:
    virtual ~RadarView() = default;
    // The radar window, when open, rebuilds its picture.
    virtual void rebuildRadar() { }
};
