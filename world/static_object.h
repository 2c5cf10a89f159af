#pragma once
// StaticObject: every world object with an item tile record. Map statics are
// plain StaticObjects from a pool of 512-object blocks; Item and the classes
// below it add what the server sends. While in the world an object is in the
// world list (and, by its tile flags, the light, animated and foliage lists);
// the components of multis are also in the multi-part list. The lists are
// threaded through the objects, so joining and leaving allocate nothing.
// Main thread only.

#include "world/intrusive_list.h"
#include "world/object_pool.h"
#include "world/world_object.h"

#include <cstdint>

class ArtImage;
class Item;

class StaticObject : public WorldObject {
public:
    StaticObject();
    ~StaticObject() override;

    // Gives a pooled static back to the static pool.
    void destroy() override;
    void draw(const BlitTarget& target, const ScreenRect& dirty) override;
    void computeBounds() override;
    void place() override;
    bool hasItemTile() const override { return true; }
    bool isDynamic() const override { return false; }
    bool isHidden() const override;
    uint32_t tileFlags() const override;
    int32_t topZ() const override;
    void leaveWorld() override;
    bool isWithinRangeOf(int32_t range, int32_t atX, int32_t atY) const override;

    // Joins the world lists at (atX, atY, atZ) and places the object; an
    // object still somewhere else leaves that place first.
    virtual void enterWorldAt(int32_t atX, int32_t atY, int32_t atZ);
    virtual void moveTo(int32_t atX, int32_t atY, int32_t atZ);
    virtual bool isCorpse() const { return false; }
    virtual bool isWorn() const { return false; }
    virtual bool isLiftable() const { return false; }
    virtual bool isSpellbook() const { return false; }
    virtual bool isMap() const { return false; }
    virtual bool isBookGraphic() const { return false; }
    virtual bool isMultiPart() const { return (multiPart & 1) != 0; }
    virtual bool isPreviewPiece() const { return false; }
    virtual void markMultiPart() { multiPart |= 1; }
    virtual int32_t tileHeight() const;
    virtual int32_t tileExtra() const;
    // The picture drawn for the object; null when there is none.
    virtual const ArtImage* iconImage() const;
    // The art entry of that picture (static art from 0x4000), or -1.
    int32_t iconArtId() const;
    // A stack of more than one drawn twice, 5 pixels apart.
    virtual bool isDrawnDoubled() const;
    // Coins and the like show a picture per amount instead of doubling.
    virtual bool hasAmountArt() const;
    virtual void anchorPoint(int32_t& anchorX, int32_t& anchorY) const;

    // The tile record index of the object: graphic plus the graphic offset.
    int32_t tileIndex() const { return int32_t(graphic) + graphicOffset; }
    bool isDetached() const { return detached; }

    // Sets drawGraphic from the art remap table and hue by the hue rule, for
    // a given (already normalized) base hue.
    void applyGraphicAndHue(uint16_t newBaseHue);

    uint16_t graphic = 0;
    uint16_t drawGraphic = 0;
    int8_t graphicOffset = 0;
    uint16_t amount = 0;
    uint16_t baseHue = 0;
    uint16_t hue = 0;
    // Facing 0..7 (bit 7 running, kept for items); the light id of a light source.
    uint8_t direction = 0;
    // 0 keeps the object out of the grid.
    uint8_t placeable = 1;
    // The cached foliage state of the visibility rules, refreshed by the
    // visibility code while it recomputes the roof limits.
    mutable int32_t hiddenCache = 0;
    // Bit 0 set for the components of a multi.
    uint8_t multiPart = 0;
    // Extra draw-mode bits; 0x4 suppresses drawing.
    int32_t drawFlags = 0;

    // Links of the lists; only the list operations touch them.
    ListHook<StaticObject> worldLink;
    ListHook<StaticObject> lightLink;
    ListHook<StaticObject> animLink;
    ListHook<StaticObject> foliageLink;
    ListHook<StaticObject> multiPartLink;

protected:
    // The depth key of a static or item in its cell.
    int32_t staticDepthKey() const;
    // Leaves the animated, light and foliage lists.
    void leaveTileLists();
    // Joins the lists its tile flags name, as entering the world does.
    void joinTileLists();

    // 1 while the object is in no world list and no container.
    bool detached = true;
};

using WorldList = IntrusiveList<StaticObject, &StaticObject::worldLink>;
using LightSourceList = IntrusiveList<StaticObject, &StaticObject::lightLink>;
using AnimatedList = IntrusiveList<StaticObject, &StaticObject::animLink>;
using FoliageList = IntrusiveList<StaticObject, &StaticObject::foliageLink>;
using MultiPartList = IntrusiveList<StaticObject, &StaticObject::multiPartLink>;

// The lists every static joins while in the world, newest first.
struct WorldLists {
    WorldList world;
    LightSourceList lightSources;
    AnimatedList animated;
    FoliageList foliage;
    MultiPartList multiParts;
};

WorldLists& worldLists();

using StaticPool = ObjectPool<StaticObject, 512>;
StaticPool& staticPool();

// A map static of `graphic` (after the seasonal substitution) from the pool,
// not yet in the world: amount, base hue and hue come from the tile record.
StaticObject* allocStatic(int32_t graphic);

// Hue words from servers and files: the low 14 bits select a hue (1..3000),
// bits 0x8000 and 0x4000 are modes. An out-of-range hue becomes 1.
uint16_t normalizeHue(uint16_t hue);

// The hue table entry a drawn hue word selects, or -1 for none: the mode bits
// never take part in the index.
int32_t hueEntryIndex(uint16_t hue);

// The art remap table's hue for item graphic `graphic`, or -1 when it does
// not remap the graphic.
int32_t artRemapHue(int32_t graphic);
// The graphic whose art is drawn for `graphic` (the art remap's choice, or
// the graphic itself), within 0..0x3FFF.
uint16_t remappedDrawGraphic(int32_t graphic);

// Whether the light list takes an object of this graphic and tile record.
bool isLightSourceObject(int32_t graphic, int32_t tileIndex);
