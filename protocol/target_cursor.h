#pragma once
// The server's target cursor and its answers. The server asks the player to
// pick something (0x6C), or to place a house (0x99) or a set of objects
// (0xB4) whose preview follows the pointer; the world view, the container
// windows, the status bars and the macros hand what the player picked to the
// target callback, which for a server cursor is sendTargetResponse. The
// answer keeps the last target for the last-target macro and bar.
//
// For the windows and the macros:
// - beginServerTargeting starts answering a server cursor (a macro that
//   targets for the server calls it only through the packets);
// - sendTargetResponse answers the cursor up now with a picked object
//   (nothing for none) and ends targeting;
// - sendTargetCancel answers with a cancel and ends targeting (Escape, the
//   No of the criminal-action question);
// - lastTarget is what the last answer named.
// The state is process-wide and belongs to the main thread; a packet acts on
// the session it came on, as the dispatcher made it current.

#include "data/targeting.h"

#include <cstdint>
#include <optional>

// What the server's last cursor asked: echoed in every answer. The cursor
// flag is its intent (0 neutral, 1 harmful, 2 beneficial; 3 cancels), and
// goes back to 0 after every answer.
struct ServerTargetCursor {
    uint32_t cursorId = 0;
    uint8_t targetType = 0;
    uint8_t cursorFlag = 0;
};
ServerTargetCursor& serverTargetCursor();

// What the last answer named, for the last-target macro and bar.
enum class LastTargetKind : uint8_t {
    None = 0,
    Object = 1,
    Land = 2,
    Static = 3,
};
struct LastTarget {
    LastTargetKind kind = LastTargetKind::None;
    uint32_t serial = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t z = 0;
    uint16_t graphic = 0;
};
LastTarget& lastTarget();

// Targeting begins with sendTargetResponse as the callback, for the cursor
// id and the target type the server gave (the stored flag is not touched).
void beginServerTargeting(uint32_t cursorId, uint8_t targetType);
// The answer: an object by serial, a land tile or a static by place; the
// player's own mobile leaves the last target as it was. Nothing is sent for
// no object, and targeting stays on then.
void sendTargetResponse(const std::optional<TargetChoice>& choice);
// 0x6C {type 0, cursor id, flag, serial 0, x and y 0xFFFF, z 0, graphic 0};
// targeting ends, the flag becomes 0 and a pending mobile pick is forgotten.
void sendTargetCancel();

// The packet handlers: 0x6C target cursor, 0x99 house placement, 0xB4 object
// list placement.
void handleTargetCursor(const uint8_t* packet);
void handleMultiPlacement(const uint8_t* packet);
void handleObjectListPlacement(const uint8_t* packet);
