#pragma once
// The time the world objects stamp and compare: the tick's wall-clock
// milliseconds truncated to 32 bits, read from the process clock (tests
// drive a FakeClock). Compared with unsigned differences across the wrap.

#include "platform/clock.h"

#include <cstdint>

inline uint32_t worldTimeMs() { return platform::clock().systemMs(); }
