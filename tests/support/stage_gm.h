#pragma once
// The GM page queue's part of the test server's stage (stage_gm.cpp).

#include "support/stage_part.h"

#include <memory>

namespace test {

// The account whose characters are game masters on the stage.
inline constexpr char kStageGmAccount[] = "gm";
// The call the queue gives the GM on entering: Mirela is stuck.
inline constexpr uint32_t kStageGmCallId = 7;
inline constexpr char kStageGmEscalatedId[] = "GQ-7";
inline constexpr char16_t kStageGmCallText[] = u"I am stuck behind the counter.";

std::unique_ptr<StagePart> makeStageGm();

} // namespace test
