#pragma once
// The player's requests about objects: use (double-click), the name of a
// static (single click) and pick-up (drag), each after the check that the
// object can be reached. The drag state remembers what was picked up so that
// a rejected drag can put the item back where it was; it names the wearer and
// the container by serial, since either may be gone when the server answers.
// Main thread only.

#include <cstdint>

class Item;
class StaticObject;
class WorldObject;

struct DragState {
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;
    uint16_t graphic = 0;
    uint16_t drawGraphic = 0;
    int8_t graphicOffset = 0;
    uint32_t serial = 0;
    uint16_t baseHue = 0;
    uint16_t hue = 0;
    uint16_t amount = 0;
    uint8_t flags = 0;
    uint32_t tileFlags = 0;
    // The mobile that wore the item (0: none) and the layer 1..29 it was in.
    uint32_t wearerSerial = 0;
    uint16_t layer = 0;
    // The container it lay in (0: none).
    uint32_t containerSerial = 0;
    bool dragging = false;
};

DragState& dragState();

// The Shift key as the window last reported it.
void setShiftKeyHeld(bool held);
bool isShiftKeyHeld();

// The serial and graphic of the object last used (for macros).
struct LastUsedObject {
    uint32_t serial = 0;
    uint16_t graphic = 0;
};
LastUsedObject& lastUsedObject();

// Within 3 cells of the player with a clear line of sight.
bool isObjectReachable(const WorldObject& object);
// The double-click of an object.
void useObject(WorldObject& object);
// The single click of a static.
void labelStatic(StaticObject& object);
// Picks up `amount` of the item (0: ask, or the whole stack).
void pickUpItem(Item& item, uint16_t amount);
// The server refused the drag: the item is made again from the drag state
// and put back into its container, onto its wearer, or into the world.
// False when there was nothing to put back.
bool restoreDraggedItem();
