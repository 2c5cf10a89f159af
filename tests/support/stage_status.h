#pragma once
// The status windows' part of the test server's stage (stage_status.cpp).

#include "support/stage_part.h"

#include <memory>

namespace test {

std::unique_ptr<StagePart> makeStageStatus();

} // namespace test
