#pragma once
// The face of a graphical effect in the world: a small world object that the
// effect (a missile gump, which lives above the world) places into the cell
// grid, so that the effect is sorted in depth with what it flies past. It
// keeps the effect's exact world position and its step per tick, and draws
// the effect's current image: gump art for lightning, else item art, turned
// by the effect's angle and drawn through its hue and render mode. Owned by
// its effect. Main thread only.

#include "world/effect_calls.h"
#include "world/world_object.h"

class ArtImage;
class MissileWorldObject;

// What the world object reads of its effect.
class MissileOwner {
public:
    virtual ~MissileOwner() = default;
    virtual EffectPicture picture() const = 0;
    // The world object is going: the effect forgets it.
    virtual void forgetWorldObject(const MissileWorldObject* object) = 0;
};

class MissileWorldObject final : public WorldObject {
public:
    // At the world position (x, y, z), not yet placed.
    MissileWorldObject(MissileOwner& owner, double atX, double atY, double atZ);
    ~MissileWorldObject() override;

    void draw(const BlitTarget& target, const ScreenRect& dirty) override;
    void computeBounds() override;
    bool isEffect() const override { return true; }
    uint32_t tileFlags() const override { return 4; }

    // Moves by one world step; then placeAgain.
    void stepOnce();
    // Out of the grid, the integer position from the exact one, back in.
    void placeAgain();

    double worldX = 0;
    double worldY = 0;
    double worldZ = 0;
    double stepX = 0;
    double stepY = 0;
    double stepZ = 0;

private:
    MissileOwner* m_owner;
};

// The item art image of effect art `art` (its low 14 bits); null when missing.
const ArtImage* effectItemArt(int32_t art);
// The rectangle (game-area pixels) an effect image covers with its bottom
// centre at (x, y), grown to hold it turned; empty when the image is missing.
ScreenRect effectImageRect(const EffectPicture& picture);
// Draws an effect image at its rectangle, clipped: item art turned by the
// angle, hued and blended by the render mode; lightning as gump art.
void drawEffectImage(const BlitTarget& target, const ScreenRect& clip, const EffectPicture& picture);
