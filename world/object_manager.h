#pragma once
// The object manager: the one place where the client's copy of the world
// changes on the server's word. The packet handlers decode the wire and call
// these operations with plain values; the windows read objects through
// findObjectBySerial. Every operation either applies the server's order or
// refuses it, and leaves the model consistent either way: no object in two
// places, no item inside itself, no pointer to a destroyed object kept by
// the model. Main thread only; times are tick-count milliseconds.

#include <cstdint>

class Item;
class Mobile;
class PlayerMobile;
class WorldObject;

// The one player object; null before start-up created it and after shutdown.
PlayerMobile* player();

// The serial the server confirmed for the player at login; container and
// item orders that name it mean the player.
uint32_t playerSerial();
// The player object exists and is dead.
bool isPlayerDead();
void setPlayerSerial(uint32_t serial);
// Every 100 passes of the main loop: the player object takes the serial the
// server announced, when that is set and differs. Another object holding it
// is destroyed first: two objects never share a serial.
void refreshPlayerObjectSerial();

// The player, or the newest item of the item list with that serial.
WorldObject* findObjectBySerial(uint32_t serial);
// The same, as an item (every object the server names is one).
Item* findItemBySerial(uint32_t serial);

// The class a new object of this serial and graphic is made of: a serial
// without the item bit makes a mobile, any other the graphic's item class.
enum class ObjectClass : uint8_t { Mobile, Corpse, MapItem, Spellbook, Container, Plain };
ObjectClass chooseObjectClass(uint32_t serial, uint16_t graphic);
ObjectClass chooseItemClass(uint16_t graphic);
// A new object of that class, detached, in the item list.
Item* createObject(uint32_t serial, uint16_t graphic, int8_t graphicOffset);
// A new item of the graphic's class whatever the serial (worn items and a
// refused drag put back are never mobiles).
Item* createItemObject(uint32_t serial, uint16_t graphic, int8_t graphicOffset);

// Object packets (world item, mobile moving, mobile incoming): creates or
// updates one item or mobile in the world. Refused (false) for the player's
// serial: the player moves by its own packets.
bool onObjectPacket(uint32_t serial, uint16_t graphic, int8_t graphicOffset, uint16_t amount, int32_t x, int32_t y,
    int8_t z, uint8_t direction, uint16_t hue, uint8_t flags);

// Container packets: creates an item inside a container, replacing an object
// with the same serial. Refused (false) when the container is unknown or not
// a container, and when the serial is the container's own, one of its
// parents' or the player's: destroying that object would take the container
// with it.
bool addItemToContainer(uint32_t serial, uint16_t graphic, int8_t graphicOffset, uint16_t amount, int32_t x,
    int32_t y, uint32_t containerSerial, uint16_t hue);

// Equipment of a mobile from the server: the item with `itemSerial` (found
// and taken from where it was, or made by its graphic) goes into `layer`.
// Refused (false) for an unknown mobile, a layer outside 0..29, and an item
// that is the mobile, one of its parents, or the player.
bool equipItemOnMobile(uint32_t mobileSerial, uint32_t itemSerial, uint16_t graphic, int32_t layer, uint16_t hue);

// The server's delete order. Refused (false) for unknown serials, the player
// and a dying mobile whose death is still linked to its corpse.
bool deleteObjectBySerial(uint32_t serial);

// Every frame: multi parts in and out of the world, objects out of range
// destroyed, the mobiles' frame steps, the tile animations.
void updateWorldObjects();
// The animated statics and items shown take their next frame when it is due.
void stepTileAnimations();
// Destroys what fell out of the update range.
void dropOutOfRangeObjects();
// Empties the world (the player stays, without its equipment).
void clearWorld();

// The part of the world resets (at login, on connect, when the session ends)
// that the objects own: the world cleared, the update range reset, nothing
// being dragged.
void resetWorldObjectsForSession();

// Start-up: every list empty, the drag state and the kept texts cleared; the
// tile tables are loaded by the tile-data step.
void initWorldObjects();
// Start-up: the one player object, with serial 0.
PlayerMobile* createPlayerObject();
// Shutdown: deletes the player object.
void deletePlayerObject();
// Called by the player's destructor.
void forgetPlayerObject(const PlayerMobile* object);
