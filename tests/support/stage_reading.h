#pragma once
// The reading windows' part of the test server's stage (stage_reading.cpp):
// its serials and the course map's area.

#include "support/stage_part.h"

#include <array>
#include <cstdint>
#include <memory>

namespace test {

inline constexpr uint32_t kStageChronicle = 0x40000501;
inline constexpr uint32_t kStageBlankBook = 0x40000502;
inline constexpr uint32_t kStageBoard = 0x40000503;
inline constexpr uint32_t kStageSign = 0x40000504;
inline constexpr uint32_t kStageMap = 0x40000505;
inline constexpr uint32_t kStageFirstPosting = 0x40000601;
inline constexpr uint16_t kBlankBookPages = 8;
// The map's world rectangle and picture size, in the course map packet's order.
inline constexpr std::array<uint16_t, 6> kStageMapArea { 904, 1124, 2104, 2084, 240, 192 };

std::unique_ptr<StagePart> makeReadingStage();

} // namespace test
