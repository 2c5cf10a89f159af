#pragma once
// The sizes a window's resize outline keeps between: the game windows' and
// the messenger windows' grips share them.

#include <cstdint>

struct ResizeLimits {
    int32_t minWidth = 0;
    int32_t minHeight = 0;
    int32_t maxWidth = 0;
    int32_t maxHeight = 0;
};
