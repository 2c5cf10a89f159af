#pragma once
// The links between a dying mobile and its corpse, made when the death packet
// arrives: while the death action plays the corpse is not drawn, and when it
// ends the corpse turns to the mobile's direction, lying forwards or backwards
// by the fall, and the mobile is destroyed. Keyed by serials, never pointers.
// Main thread only.

#include <cstdint>
#include <vector>

class Corpse;

struct DyingLink {
    uint32_t corpseSerial = 0;
    // The dying mobile's serial, bit 31 set.
    uint32_t mobileSerial = 0;
    int32_t direction = 0;
    int32_t fallForward = 0;
};

// The index of the record for `corpseSerial` when there is one, else appends
// a record and answers the new count.
int32_t addDyingLink(uint32_t corpseSerial, uint32_t mobileSerial, int32_t direction, int32_t fallForward);
Corpse* findCorpseOfDying(uint32_t mobileSerial);
bool hasDyingLink(uint32_t corpseSerial, uint32_t mobileSerial);
// Whether any record names the mobile.
bool isTrackedMobile(uint32_t mobileSerial);
// Removes every record of the corpse or the mobile, turns each named corpse,
// and unless `keepObject` destroys the dying mobile of the last record.
void removeDyingLinks(uint32_t corpseSerial, uint32_t mobileSerial, bool keepObject);
const std::vector<DyingLink>& dyingLinks();
void clearDyingLinks();
