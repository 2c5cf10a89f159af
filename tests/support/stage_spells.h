#pragma once
// The spellbook's part of the test server's stage (stage_spells.cpp).

#include "support/stage_part.h"

#include <cstdint>
#include <memory>

namespace test {

inline constexpr uint32_t kStageSpellbookSerial = 0x40000700;
inline constexpr uint32_t kStageFirstSpellSerial = 0x40000710;
inline constexpr uint32_t kStageSpellCursor = 0x005BE11C;
inline constexpr uint16_t kStageSpellCount = 12;
inline constexpr uint32_t kStageSwordSerial = 0x40000720;

std::unique_ptr<StagePart> makeStageSpells();

} // namespace test
