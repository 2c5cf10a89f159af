#pragma once
// The skill window's part of the test server's stage (stage_skills.cpp).

#include "support/stage_part.h"

#include <cstdint>
#include <memory>

namespace test {

// The skill the stage raises by 0.1 each time the player uses it (Hiding),
// and its value on entering, in tenths.
inline constexpr int32_t kStageRisingSkill = 21;
inline constexpr uint16_t kStageRisingStart = 500;

std::unique_ptr<StagePart> makeStageSkills();

} // namespace test
