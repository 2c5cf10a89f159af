#pragma once
// Walks over the top-level windows that the world packets close: by kind, or
// by one of the twelve window kinds the server names. Matching windows are
// gathered first and closed afterwards, each tested again before it goes, so
// that a window closing another never leaves the walk on a freed one.
// Main thread only.

#include "gump/gump.h"

#include <cstdint>

// Closes every top-level window of `kind`; the number closed.
int32_t closeTopLevelGumps(GumpKind kind);

// The server's window kinds 1..12: paperdoll, status bar, journal, skills,
// spellbook, options, radar, profile, party, conference chat, shop,
// container. False for any other number.
bool serverWindowKind(uint32_t kind, GumpKind& out);

// Closes the windows of server kind `kind`: every one with serial 0; with
// another serial, a profile showing it or any other window whose owner
// object has it. The number closed.
int32_t closeWindowsByKind(uint32_t kind, uint32_t serial);
