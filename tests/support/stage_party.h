#pragma once
// The party's share of the test server's stage (tests/support/stage_party.cpp):
// the woman, who invites the player when he says "party", talks in party
// chat, answers his tells and joins his own party when he adds her.

#include "support/stage_part.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace test {

// The target cursor the stage sends when the player asks to add a member.
inline constexpr uint32_t kStagePartyCursor = 0x00FA27E5;
// What the woman says in party chat when the player joins hers or she joins his.
inline constexpr const char16_t* kStagePartyWelcome = u"Welcome to the party.";
inline constexpr const char16_t* kStagePartyThanks = u"Glad to walk with you.";

// One party request the stage received: its action and the serial or loot
// flag it carried, with the text of a message.
struct StagePartyRequest {
    uint8_t action = 0;
    uint32_t value = 0;
    std::u16string text;
};

std::unique_ptr<StagePart> makeStageParty();
// The party requests the stage has received since the last character
// entered, in order (any thread).
std::vector<StagePartyRequest> stagePartyRequests();

} // namespace test
