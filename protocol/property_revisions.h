#pragma once
// The revisions the server announces for object property lists (0xBF
// sub-command 0x10 and 0xDC), put to the property-list cache: a list that
// is missing or older is asked for again, at once in the "Single Click"
// item-property mode, else through the paced queue. Main thread only.

#include <cstdint>

class PropertyListRevisions;

// Asks for the list of `serial` when the cache's copy is older than `revision`.
void refreshStalePropertyList(uint32_t serial, uint32_t revision);

// The session packets' revision service over the real cache (0xDC: one
// request packet for many objects from then on).
PropertyListRevisions* propertyCacheRevisions();
