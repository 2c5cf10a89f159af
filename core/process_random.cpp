#include "core/process_random.h"

namespace {

// The state a program starts with before anything seeds it.
uint32_t g_randomState = 1;

} // namespace

void seedRandom(uint32_t seed) { g_randomState = seed; }

int32_t nextRandom()
{
    g_randomState = g_randomState * 214013u + 2531011u;
    return int32_t((g_randomState >> 16) & 0x7FFF);
}
