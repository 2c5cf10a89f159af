#pragma once
// The house designer's share of the stage (tests/support/stage_house.cpp):
// the player's own customizable house and the design mode a "design" speech
// starts.

#include "support/stage_part.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace test {

inline constexpr uint32_t kStageHouseSerial = 0x40000500;

std::unique_ptr<StagePart> makeStageHouse();
// The design sub-commands the stage has received since the last character
// entered, in order (any thread).
std::vector<uint16_t> stageHouseCommands();

} // namespace test
