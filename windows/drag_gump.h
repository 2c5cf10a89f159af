#pragma once
// The picture of the item the player holds, centred on the pointer, holding
// the pointer capture until the left button is released. The release decides
// where the item goes: onto the ground near the player, onto a mobile (give),
// into a container (in the world, in an open container window, on a
// paperdoll's backpack, into a spellbook), onto an equal stack, or onto a
// paperdoll to be worn; an impossible drop plays sound 81 and keeps the item
// held. While it is over a paperdoll with the item's layer free, that
// paperdoll previews the item there; with the right button held the player
// keeps walking toward the pointer.
//
// Made by the pick-up (the world's drag state holds what is held); owned by
// the gump manager, never closed by closing all gumps; it closes itself after
// a drop it sent, or when the server refuses the pick-up. Client pixels.
// Main thread only.

#include "gump/gump.h"

#include <cstdint>

struct DragState;
class Item;
class WorldObject;

class DragGump final : public CGump {
public:
    static constexpr int32_t kRefusalSound = 81;
    static constexpr uint32_t kWearableFlag = 0x400000;

    explicit DragGump(const DragState& held);
    ~DragGump() override;

    void onLeftUp(int32_t x, int32_t y) override { drop(x, y); }
    void onRightDown(int32_t x, int32_t y) override { passRightButton(x, y, true); }
    void onRightUp(int32_t x, int32_t y) override { passRightButton(x, y, false); }
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    bool isClosableByCloseAll() override { return false; }

    // The release at a local point.
    void drop(int32_t x, int32_t y);
    // A drop onto a world object; false when it was not handled (the ground
    // under it takes the drop).
    bool dropOnObject(WorldObject* object);

    CGump* paperdollTarget() const { return m_paperdollTarget.get(); }
    void setPaperdollTarget(CGump* paperdoll) { m_paperdollTarget = GumpHandle(paperdoll); }
    bool isRightHeld() const { return m_rightHeld; }

private:
    // The right button goes on to the world view under the pointer, so that
    // the player walks (and finds paths) while dragging.
    void passRightButton(int32_t x, int32_t y, bool down);
    void dropOnGround(int32_t x, int32_t y);
    void refuse();
    void closeAfterDrop();
    CGump* gumpUnder(int32_t screenX, int32_t screenY);

    GumpHandle m_paperdollTarget;
    bool m_rightHeld = false;
};

// The open drag picture, or null.
DragGump* dragGump();
// The layer a held item is worn in: its tile data layer, except that without
// property lists animations 921-925 go to layer 5, 926 to 23 and 529 to 24.
int32_t equipLayerFor(int32_t tileIndex);
// The art (static art from 0x4000, or gump art for the book graphics) the
// picture of `graphic` shows for `amount`; `gumpArt` tells which.
int32_t dragPictureArt(int32_t graphic, int32_t amount, bool& gumpArt);

// The picture the held item is dragged as: its art, and its size (a stack
// drawn twice is 5 pixels wider and taller). The drag picture draws it and
// the container windows place and fit the drop by it.
struct HeldPicture {
    int32_t art = 0;
    bool gumpArt = false;
    bool doubled = false;
    int32_t width = 0;
    int32_t height = 0;
};
HeldPicture heldPicture(const DragState& held);
// The held item would merge with `object`: both stackable, both with an
// amount, the same graphic and hue.
bool isEqualStack(const Item& object, const DragState& held);
