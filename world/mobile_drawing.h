#pragma once
// Mobiles, the player and corpses are drawn from several animation frames
// composed at draw time: a shadow, the mount, the body and every piece of
// equipment, each worn item being an animation of its own in the body's
// action, direction and frame, stacked in an order that depends on the
// facing. This header holds what the drawing of standing and sitting
// figures, the picking and the footsteps share: the mount rules, the layer
// orders, the frame rectangle and the hue rules. The virtual bounds, draw and
// hit-test operations of Mobile and Corpse are the entry points. Positions
// are world pixels unless a name says otherwise. Main thread only.

#include "gfx/animation_blitter.h"
#include "gfx/animation_frame.h"
#include "gfx/screen_rect.h"

#include <array>
#include <cstdint>

class ContainerItem;
class Item;
class Mobile;

// The movement action and frame shown now (they choose the footstep
// sounds); false for a body without a frame of its own.
bool movementActionFrame(const Mobile& mobile, int32_t& action, int32_t& frame);

// A mount item graphic, the body it shows and how far it lifts the rider.
// The two extra columns widen and raise the mount's rectangle.
struct MountRow {
    int32_t graphic;
    int32_t body;
    int32_t riderLift;
    int32_t extraWidth;
    int32_t extraHeight;
};
// Null for a graphic the table does not list.
const MountRow* findMountRow(int32_t graphic);

// The mount of a rider (layer 25) as the picture shows it.
struct MountChoice {
    const Item* item = nullptr;
    int32_t body = 0;
    int32_t riderLift = 0;
    int32_t extraWidth = 0;
    int32_t extraHeight = 0;
    // The mount's own hue (the remap table's for an unhued item).
    uint16_t hue = 0;
    // The mount's action for the rider's action; 13 is not drawn.
    int32_t action = 0;
    bool isDrawn() const { return item && action != 13; }
};
// `riderAction`: the action chosen for the rider's body in this picture.
MountChoice chooseMount(const Mobile& rider, int32_t riderAction);

// The rectangle of the rider's mount frame at the anchor, and the rider's
// lift; false (outputs untouched) without a drawn mount or its frame.
bool computeMountBounds(
    const Mobile& rider, int32_t riderAction, int32_t anchorX, int32_t anchorY, ScreenRect& rect, int32_t& lift);

// Where a frame drawn at an anchor lies (its centre, size and mirroring).
ScreenRect animationFrameRect(const AnimationFrameRecord& frame, int32_t anchorX, int32_t anchorY, bool mirrored);
// The smallest rectangle holding both.
ScreenRect uniteRects(const ScreenRect& a, const ScreenRect& b);

// The 25 equipment layers in drawing order for a facing; entry 0 is the
// mount, drawn on its own, and layer 21 (the backpack) is never drawn. The
// alternate order moves layer 13 up to be drawn first.
using LayerOrder = std::array<uint8_t, 25>;
const LayerOrder& equipmentLayerOrder(int32_t facing, bool alternate);
const LayerOrder& sittingLayerOrder(int32_t facing);
// Whether a figure wearing `layer13` (or nothing) uses the alternate order.
bool usesAlternateLayerOrder(const Item* layer13);

// The hues a figure is forced to: grey for the hidden and the dead, the
// marked and customer hues of the status flags.
inline constexpr uint16_t kMobileGreyHue = 995;
inline constexpr uint16_t kMobileMarkedHue = 8;
inline constexpr uint16_t kMobileCustomerHue = 53;
inline constexpr uint16_t kMobileMarkedCustomerHue = 368;
// The cover layer, and the cover graphic that hides everything but itself.
inline constexpr int32_t kMobileCoverLayer = 22;
inline constexpr int32_t kMobileCoverOnlyGraphic = 8270;

// The hue table entry and modes a drawn hue word selects.
FrameHue frameHueOf(uint16_t hueWord);
// The remap table's hue for body `body` when `hue` is 0, else `hue`.
uint16_t bodyBaseHue(int32_t body, uint16_t hue);
// `hue` with the partial-hue bit added for items whose tile has it.
uint16_t withPartialHue(const Item& item, uint16_t hue);

// The worn item that `layer` shows: the mobile's own, or for a dying mobile
// with that layer empty, the one its corpse now holds.
const Item* shownLayerItem(const Mobile& mobile, int32_t layer);
// Animation id an item shows on the body: remapped by the body remap table
// (whose hue replaces an item hue of 0); false outside 400..999.
bool equipmentAnimation(const Item& item, int32_t& animation, uint16_t& hue);

// How far attached effects wider or taller than `rect` grow it, each side by
// half the excess; the growth is kept in the mobile.
void growForAttachedEffects(Mobile& mobile, ScreenRect& rect);
// Draws the mobile's attached effects over its rectangle.
void drawAttachedEffects(const Mobile& mobile, const BlitTarget& target, const ScreenRect& clip);
