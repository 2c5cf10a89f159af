#pragma once
// The text windows' part of the test server's stage (stage_journal.cpp).

#include "support/stage_part.h"

#include <cstdint>
#include <memory>

namespace test {

// The character list's flag that grants object property lists.
inline constexpr uint32_t kStagePropertyListsFlag = 0x20;
// The tip of the day sent on entering, and its number.
inline constexpr uint32_t kStageTipNumber = 7;
inline constexpr const char* kStageTipText
    = "Welcome to the stage.\rHold the journal's grip to make it taller, and tick the lock to keep your place.";

std::unique_ptr<StagePart> makeStageJournal();

} // namespace test
