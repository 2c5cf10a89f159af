#pragma once
// Everything drawn in the isometric world view is a WorldObject: terrain
// cells, statics, items and mobiles the server sends, the player, effects,
// placement-preview pieces and the slices of tall objects. An object knows its
// world position, its picture's rectangle in world pixels and its place in one
// cell list of the cell grid, and answers a fixed set of questions through
// virtual operations; kinds are told apart only through those predicates.
//
// Lifetime: every object enters the world objects' live-object registry when
// constructed and leaves it when destroyed, so a stored pointer is tested with
// isValidObject before use. Objects are destroyed only through destroy(),
// which gives pooled objects back to their pool. Main thread only.

#include "core/live_object.h"
#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"

#include <cstdint>

// The tag naming the world objects' registry.
struct WorldObjectTree { };

class WorldObject;
class ContainerItem;

// True while `object` is a constructed world object whose mark is intact.
inline bool isValidWorldObject(const WorldObject* object);

class WorldObject : public LiveObject<WorldObjectTree> {
public:
    WorldObject();
    WorldObject(const WorldObject&) = delete;
    WorldObject& operator=(const WorldObject&) = delete;
    virtual ~WorldObject();

    // Ends the object's life: deletes it, or gives a pooled one back.
    virtual void destroy();
    // Draws into `target`, touching only pixels inside `dirty` (game-area pixels).
    virtual void draw(const BlitTarget& target, const ScreenRect& dirty) = 0;
    // Sets screenRect (world pixels) from the picture.
    virtual void computeBounds() = 0;
    // Links the object into its grid cell in draw order (unlinking it first),
    // computes its bounds and asks for its picture to be redrawn.
    virtual void place();
    virtual void removeFromGrid();
    virtual bool hasItemTile() const { return false; }
    virtual bool isLand() const { return false; }
    virtual bool isStretchedLand() const { return false; }
    virtual bool isMobile() const { return false; }
    virtual bool isPlayer() const { return false; }
    virtual bool isDynamic() const { return true; }
    virtual bool isContainer() const { return false; }
    virtual bool isEffect() const { return false; }
    virtual bool isSlice() const { return false; }
    virtual bool isHidden() const { return !m_placed; }
    virtual uint32_t tileFlags() const { return 0; }
    virtual int32_t topZ() const { return z; }
    virtual int32_t baseZ() const { return z; }
    // The height of the object's edge toward direction 0..7.
    virtual int32_t zToward(int32_t direction) const;
    virtual void leaveWorld() { }
    virtual bool isWithinRangeOf(int32_t range, int32_t atX, int32_t atY) const;
    // Measured from the view centre.
    virtual bool isWithinRangeOfPlayer(int32_t range) const;
    // Within the player's update range (18 without a player).
    virtual bool isInUpdateRange() const;
    // Whether the object is destroyed when its cell is cleared.
    virtual bool dropsWhenOffGrid() const { return true; }

    // Asks for the picture to be redrawn, when the object is placed.
    void invalidate() const;

    bool isPlaced() const { return m_placed; }
    WorldObject* cellNext() const { return m_cellNext; }
    WorldObject* cellPrev() const { return m_cellPrev; }
    // The grid cell the object would be linked into now, shifts included.
    void linkCell(int32_t& cellX, int32_t& cellY) const;
    // The index of the cell it is linked into while placed.
    int32_t linkedCellIndex() const { return m_cellIndex; }
    // Whole 44-pixel columns the picture reaches right of its cell; only
    // containers (mobiles and corpses) have one.
    virtual int32_t cellReach() const { return 0; }

    // Links into cell (cellX, cellY) shifted by the cell reach, in draw
    // order; then placed, bounds and a redraw unless hidden.
    void insertIntoCell(int32_t cellX, int32_t cellY);

    // The picture in world pixels (right and bottom exclusive).
    ScreenRect screenRect;
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;
    // Screen column (x - y + facet width) and row (x + y) in 22-pixel units.
    int32_t columnKey = 0;
    int32_t rowKey = 0;
    // Order within a cell.
    int32_t depthKey = 0;

protected:
    // The cell before the cell reach: moving mobiles and the stepping player
    // are linked one cell toward where they come from.
    virtual void baseCell(int32_t& cellX, int32_t& cellY) const
    {
        cellX = x;
        cellY = y;
    }
    // Steps 3 to 6 of placing: keys, cell, link, bounds and redraw.
    void placeWithDepthKey(int32_t key);

private:
    void linkIntoCellList(int32_t cellIndex);

    WorldObject* m_cellNext = nullptr;
    WorldObject* m_cellPrev = nullptr;
    // The cell the object was linked into: its position and cell reach may
    // change while it is linked.
    int32_t m_cellIndex = 0;
    bool m_placed = false;
};

inline bool isValidWorldObject(const WorldObject* object) { return isValidObject(object); }

// How many world objects have been destroyed so far: a walk that saw the
// count unchanged knows every pointer it took is still valid.
uint64_t worldObjectDestructions();

// True while a tall object's slice draws its owner, cut to the band.
bool isDrawingSlice();

// The order in which the walking code sorts the objects of a cell: by bottom
// z, ties by height (top z), both ascending.
bool compareCellEntries(const WorldObject* a, const WorldObject* b);

// A 44-pixel band of a tall object (a mobile or a corpse), linked into the
// cell that the band covers so that what stands in front of the object's
// lower part is drawn over it. Owned by its object, which destroys its slices
// whenever it leaves the grid.
class TallObjectSlice final : public WorldObject {
public:
    // The slice of band [bandTop, bandBottom) of `owner`, for cell (cellX, cellY).
    TallObjectSlice(ContainerItem& owner, int32_t bandTop, int32_t bandBottom, int32_t cellX, int32_t cellY);
    ~TallObjectSlice() override;

    void draw(const BlitTarget& target, const ScreenRect& dirty) override;
    // A slice's rectangle is its owner's, cut to the band, and set when made.
    void computeBounds() override { }
    bool isSlice() const override { return true; }
    bool isHidden() const override;

    ContainerItem* owner() const { return m_owner; }
    int32_t bandTop() const { return m_bandTop; }
    int32_t bandBottom() const { return m_bandBottom; }
    TallObjectSlice* nextSlice() const { return m_nextSlice; }

protected:
    void baseCell(int32_t& cellX, int32_t& cellY) const override
    {
        cellX = m_cellX;
        cellY = m_cellY;
    }

private:
    friend class ContainerItem;
    ContainerItem* m_owner;
    int32_t m_cellX;
    int32_t m_cellY;
    int32_t m_bandTop;
    int32_t m_bandBottom;
    TallObjectSlice* m_nextSlice = nullptr;
};
