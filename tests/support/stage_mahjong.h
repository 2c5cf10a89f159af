#pragma once
// The mahjong board's share of the stage (tests/support/stage_mahjong.cpp): a
// table beside the player's house whose double click seats the player with
// three robots who roll, move tiles and answer score transfers.

#include "support/stage_part.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace test {

inline constexpr uint32_t kStageMahjongTable = 0x40000900;
inline constexpr uint32_t kStageMahjongRobot = 0x00000900;
// The player's table seat: 1, so that the table's terms are the view's.
inline constexpr uint8_t kStageMahjongPlayerSeat = 1;
inline constexpr int32_t kStageMahjongStartScore = 30;
// The table's cell, from the player's.
inline constexpr int32_t kStageMahjongDx = 5;
inline constexpr int32_t kStageMahjongDy = 3;

std::unique_ptr<StagePart> makeStageMahjong();
// The sub-commands of the client's 0xDA packets since the last character
// entered, in order (any thread).
std::vector<uint16_t> stageMahjongRequests();

} // namespace test
