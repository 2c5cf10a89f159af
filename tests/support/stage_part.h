#pragma once
// One family of windows' share of the test server's stage (the skills, the
// spellbook, the vendor...): the things it adds to the scene, the packets it
// sends on entering, and its answers to what the player does there. The stage
// asks its parts, in the order stageParts() gives, before its own answers;
// the first part that takes a packet answers it alone.
//
// Every call comes from the server's thread with the stage's lock held, so a
// part's own state needs no lock of its own.

#include "support/world_packets.h"

#include <memory>
#include <vector>

namespace test {

class StageWorld;

class StagePart {
public:
    virtual ~StagePart() = default;
    // Adds the part's figures and things to a fresh stage (before it is sent).
    virtual void populate(StageWorld&) { }
    // The packets sent after the scene when a character enters.
    virtual void enter(StageWorld&, std::vector<WirePacket>&) { }
    // The answer to a packet of the client in the world; false leaves the
    // packet to the next part and then to the stage itself.
    virtual bool answer(StageWorld&, const WirePacket&, std::vector<WirePacket>&) { return false; }
};

// Every part of the stage, in the order they are asked (tests/support/stage_parts.cpp).
std::vector<std::unique_ptr<StagePart>> stageParts();

} // namespace test
