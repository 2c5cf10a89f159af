#include "core/process_random.h"

namespace {

// The state a program starts with before anything seeds it.
uint32_t g_state = 1;

} // namespace

void seedRandom(uint32_t seed) { g_state = seed; }

int32_t nextRandom()
{
    g_state = g_state * 214013u + 2531011u;
    return int32_t((g_state >> 16) & 0x7FFF);
}
