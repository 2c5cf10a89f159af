#pragma once
// Handlers of the server packets about what objects hold and what the
// player drags: opening a container window (0x24), one item or a whole list
// put into a container (0x25, 0x3C), the corpse's worn layers (0x89), the
// course map (0x90), the flying item of a drag seen by others (0x23) and the
// answers to the player's own drag (0x27, 0x28, 0x29). Each reads its fields
// through the checked getters; a packet cut short changes nothing, and a
// list stops at its first entry that does not fit. Main thread only.

#include <cstdint>

void handleOpenContainer(const uint8_t* packet);
void handleContainerItem(const uint8_t* packet);
void handleContainerContents(const uint8_t* packet);
void handleCorpseEquipment(const uint8_t* packet);
void handleCourseMap(const uint8_t* packet);
void handleDragAnimation(const uint8_t* packet);
void handlePickUpReject(const uint8_t* packet);
void handleDropRejectClear(const uint8_t* packet);
void handleDropAccepted(const uint8_t* packet);

// The texts of the pick-up refusals 0..4; null for any other reason.
const char* pickUpRejectText(uint8_t reason);
