#pragma once
// Item: a world object the server names by a 32-bit serial (bit 30 set for
// items, clear for mobiles). Every item is in the global item list from its
// creation to its destruction, and is in exactly one of four places:
// detached (nowhere yet), in the world, in a container's content list, or
// worn in one layer slot of a mobile. The container link names the parent in
// the last two cases. Moving an item always leaves the old place before the
// new one is entered, and a move that would put an item inside itself is
// refused, so the parent links never form a cycle. Plain items come from a
// pool of 64-object blocks. Main thread only.

#include "world/static_object.h"

#include <cstdint>
#include <map>
#include <string>

class ContainerItem;
class Mobile;
class MultiComponentList;

// The server's status flags of an object.
enum ObjectFlag : uint8_t {
    kObjectLiftable = 0x20,
    kObjectWarMode = 0x40,
    kObjectHidden = 0x80,
};

constexpr uint32_t kItemSerialBit = 0x40000000;
constexpr uint32_t kDyingSerialBit = 0x80000000;
constexpr int32_t kLayerCount = 30;

class Item : public StaticObject {
public:
    Item(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset);
    ~Item() override;

    // Gives a plain item back to the item pool.
    void destroy() override;
    bool isDynamic() const override { return true; }
    void leaveWorld() override;
    bool dropsWhenOffGrid() const override { return m_multi == nullptr; }
    void enterWorldAt(int32_t atX, int32_t atY, int32_t atZ) override;
    bool isWorn() const override;
    bool isLiftable() const override;
    void anchorPoint(int32_t& anchorX, int32_t& anchorY) const override;
    // Measured from the outermost parent, widened by a multi's extent.
    bool isWithinRangeOf(int32_t range, int32_t atX, int32_t atY) const override;

    // Puts the item into `container` at a position inside it, keeping the
    // container's order. False (and nothing changed) when the container is
    // not a container, is this item, or lies inside it, or when the item is
    // the player.
    bool enterContainer(ContainerItem& container, int32_t atX, int32_t atY, int32_t atZ);
    // Puts the item into layer `layer` of `mobile`. An item already in that
    // slot is destroyed (the server gave the slot to this one). False (and
    // nothing changed) for a layer outside 0..29, for the mobile itself or
    // one of its parents, and for the player.
    bool equipOn(Mobile& mobile, int32_t layer);
    // Whether `container` is one of the item's ancestors.
    bool isInside(const Item& container) const;
    // The outermost parent (the item itself when it has none).
    const Item& outermost() const;

    // Leaves whatever place it is in (world, container or layer) and becomes
    // detached, even when placeable is 0.
    void detach();

    // Kind 1 or 2: every status window of the object is redrawn.
    void refreshStatusBars(int32_t kind);

    Item* container() const { return m_container; }
    MultiComponentList* multi() const { return m_multi; }
    // Sets the multi item at (x, y, z) as multi `multiId`: its component list
    // is built when missing or made for another id, and its pieces placed.
    void setMultiPosition(int32_t atX, int32_t atY, int32_t atZ, int32_t multiId);
    // Gives the item a new component list (null: none), releasing the old.
    void replaceMulti(MultiComponentList* list);

    uint32_t serial = 0;
    // The server flags: 0x20 liftable, 0x40 war mode, 0x80 hidden.
    uint8_t flags = 0;
    // The layer while worn.
    uint8_t layer = 0;
    // The player's own light as the server last sent it.
    int32_t lightModifier = 0;
    // The name the server gave (a vendor's buy list names its items).
    std::string nameText;
    // A vendor item's price, from the buy list (0: none).
    uint32_t price = 0;
    // Filled by the status-flag packet, read by the status bar.
    std::map<uint16_t, uint8_t> statusFlags;

    ListHook<Item> itemLink;
    ListHook<Item> contentLink;

protected:
    // Parent bookkeeping for the container classes; only Item and its
    // container classes move items between parents.
    friend class ContainerItem;
    friend class Mobile;
    Item* m_container = nullptr;
    MultiComponentList* m_multi = nullptr;

private:
    void releaseMulti();
    void leaveParent();
};

using ItemList = IntrusiveList<Item, &Item::itemLink>;
// Every item from its creation to its destruction, newest first.
ItemList& itemList();

using ItemPool = ObjectPool<Item, 64>;
ItemPool& itemPool();

// A plain item from the pool at the head of the item list; amount, hues and
// position are the caller's.
Item* allocItem(uint32_t serial, uint16_t graphic, int8_t graphicOffset);

// Stores the server flags. A mobile other than the player that becomes
// hidden loses every window it owns; a mobile's war mode follows bit 0x40,
// never while it is dead.
void setObjectFlags(Item& object, uint8_t flags);
// The personal-light packet: only for the player, by each change of value.
void setLightModifier(Item& object, int32_t value);
