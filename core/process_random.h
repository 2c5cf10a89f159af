#pragma once
// The process-wide random generator: linear congruential, state x 214013 +
// 2531011 (mod 2^32), each value the state's bits 16 to 30. Some draws reseed
// it on purpose (the .def tables' translate), which changes the sequence the
// later draws see. Main thread only.

#include <cstdint>

void seedRandom(uint32_t seed);
// 0..0x7FFF.
int32_t nextRandom();
