#pragma once
// What the world's drawing and the placement preview ask of the house
// designer, which lives above the world: whether the player is designing a
// house now, the tool and floor chosen, and which pieces it hides. The base
// answers "not designing". Installed like the other world services
// (world_services.h). Main thread only.

#include <cstdint>

class StaticObject;

class HouseDesignerView {
public:
    virtual ~HouseDesignerView() = default;
    virtual bool isDesigning() { return false; }
    // Designing, with the player standing inside the house: every step is
    // allowed at the height the player stands.
    virtual bool isPlayerInDesign() { return false; }
    // After a completed step inside the design: the pieces above the player
    // are hidden and the design window redrawn.
    virtual void playerMovedInDesign() { }
    // The component ids that sit lower than the others (roof edges).
    virtual bool isLoweredComponent(int32_t) { return false; }
    // A piece the designer keeps out of sight (another floor, a hidden layer).
    virtual bool hidesObject(const StaticObject&) { return false; }
    // -1 when no tool is chosen: an ordinary multi placement.
    virtual int32_t currentTool() { return -1; }
    virtual int32_t currentFloor() { return 0; }
    // The low end of a floor's z range.
    virtual int32_t floorLowZ(int32_t) { return 0; }
    // The hue a piece of the designed house is drawn in (a mark, or the
    // warning hue of an unsupported piece); -1 for its own.
    virtual int32_t componentHue(const StaticObject&) { return -1; }
    // The pointer moved over the world view (game-area point): the chosen
    // tool marks what it would replace or erase there.
    virtual void pointerOverWorld(int32_t, int32_t) { }
    // Whether the designer accepts a piece at the cell.
    virtual bool acceptsCell(int32_t, int32_t) { return false; }
};
