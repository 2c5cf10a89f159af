#pragma once
// The trade windows' part of the test server's stage (stage_trade.cpp).

#include "support/stage_part.h"

#include <cstdint>
#include <memory>

namespace test {

// The vendor, his sale boxes and goods, and the things the part adds to the
// player's backpack.
inline constexpr uint32_t kStageVendorSerial = 0x00000303;
inline constexpr uint32_t kStageStockBoxSerial = 0x40000600;
inline constexpr uint32_t kStageSingleBoxSerial = 0x40000601;
inline constexpr uint32_t kStageFirstGoodSerial = 0x40000610;
inline constexpr uint32_t kStageDeedSerial = 0x40000620;
inline constexpr uint32_t kStageDyeTubSerial = 0x40000621;
inline constexpr uint32_t kStageBoardsSerial = 0x40000402;
// The trade boxes: the player's offer and the woman's.
inline constexpr uint32_t kStageMyTradeBoxSerial = 0x40000630;
inline constexpr uint32_t kStageHerTradeBoxSerial = 0x40000631;
inline constexpr uint32_t kStageHerGiftSerial = 0x40000632;
// The cursor ids of the boards' target and the deed's placement.
inline constexpr uint32_t kStageBoardsCursor = 0x00B0A4D5;
inline constexpr uint32_t kStageDeedCursor = 0x00DEED00;
// The menu ids of the horse's saddle menu and name query.
inline constexpr uint16_t kStageSaddleMenu = 0x5AD1;
inline constexpr uint16_t kStageNameQuery = 0x0A3E;

std::unique_ptr<StagePart> makeStageTrade();

} // namespace test
