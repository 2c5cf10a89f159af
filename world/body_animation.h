#pragma once
// Body animation lookup: turns a body, a state and a facing into the number
// of the animation record to read and the frame to show. The body goes
// through the body remap table and the body-conversion columns (which choose
// one of the five animation file sets), its type picks the record layout,
// the action comes from the mobile's movement or from the action the server
// asked it to play (converted between the numberings of the body types when
// the body was remapped to another type), and the eight facings map onto
// five stored directions plus a mirror flag. Also the corpse's death frame,
// the notoriety hues and the frame loader that the drawing calls.
// Which further file sets are enabled is the front end's to say, through
// the .def tables' world (def_table_world.h). Main thread only.

#include "gfx/animation_frame.h"

#include <cstdint>
#include <optional>

class Item;
class Mobile;

// Five stored directions; facings 0-2 are read from the records of facings
// 6-4 and drawn mirrored.
struct StoredFacing {
    int32_t direction = 0;
    bool mirrored = false;
};
StoredFacing storedFacing(int32_t facing);

// The three record layouts: 22, 13 and 35 actions of 5 directions per body.
enum class RecordLayout : uint8_t { Standard, Short, Long };
int32_t animationRecordNumber(RecordLayout layout, int32_t fileBody, int32_t action, int32_t storedDirection);

// What the lookup reads of a mobile besides its layers, war mode and death.
struct AnimationState {
    // Facing in bits 0-2, running in bit 7.
    uint8_t directionByte = 0;
    // Advances while the mobile moves.
    int32_t stepCounter = 0;
    // The current frame of a playing server action, or -1.
    int32_t serverFrame = -1;
    // In: the action being played; out: the action chosen, which the mount
    // and the equipment of the same picture follow.
    int32_t action = 0;
    int32_t repetition = 0;
    bool running = false;
    // Only the player stands still; other mobiles show their walk frame.
    bool standingStill = false;
};

// The state of a mobile as its picture shows it now: for the player the
// walking code's step counter and standing flag.
AnimationState animationStateOf(const Mobile& mobile);

// Writes the record number and frame, selects the file set for the next
// animation lookup and returns the body id within that set (0 with both
// outputs 0 for body 0). `mobile` gives the layers, war mode and death (none
// for null).
int32_t resolveMobileAnimation(
    int32_t body, AnimationState& state, const Mobile* mobile, int32_t& outIndex, int32_t& outFrame);

// The death frame of a body lying as `directionByte` says (bit 7: fell the
// other way); selects the file set; returns the body id within it.
int32_t resolveCorpseAnimation(int32_t body, uint8_t directionByte, int32_t& outIndex, int32_t& outFrame);

// The frame loader: resolves, then reads the record and frame. Whenever the
// record's count could be read it is stored in `frameCount` (the drawing
// passes the mobile's own, which the animation stepping follows; picking
// passes none). Nothing when the record is missing or damaged, or has no
// such frame.
std::optional<AnimationFrameRecord> getAnimationFrame(
    int32_t body, AnimationState& state, const Mobile* wearer, uint16_t* frameCount = nullptr);
std::optional<AnimationFrameRecord> getCorpseFrame(int32_t body, uint8_t directionByte);
// Frame `frame` of record `index` of the selected file set, the record's
// count stored as above; a negative record number (a body below its layout's
// range) reads nothing and leaves no file set selected.
std::optional<AnimationFrameRecord> loadAnimationRecordFrame(int32_t index, int32_t frame, uint16_t* frameCount);

// The hue of the mobile's notoriety (0 for 9 and above, and for no mobile).
uint16_t getNotorietyHue(const Mobile* mobile);

// Hair and beards: the item's tile layer byte is 11 or 16.
bool isHairLayerItem(const Item* item);

// The animation id an item is drawn with (its tile record's).
int32_t itemAnimationId(const Item& item);

// Ghost bodies are drawn with the animations of the living ones.
int32_t ghostBodyAnimation(int32_t body);

// The body a mobile's body is drawn as: the body remap table's choice.
int32_t remappedBody(int32_t body);
// The first enabled further file set with a body of its own for `body` is
// selected for the next animation lookup (else the base set); returns the
// body id within the selected set.
int32_t selectAnimationFileSet(int32_t body);
