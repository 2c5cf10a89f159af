#include "core/step_timer.h"

#include "platform/clock.h"

void StepTimer::markEnd() { endStamp = platform::clock().tickMs(); }
void StepTimer::markBegin() { beginStamp = platform::clock().tickMs(); }
void StepTimer::accumulate() { accumulator += int32_t(endStamp - beginStamp) + stepMs; }

int32_t StepTimer::keepRemainder()
{
    if (stepMs == 0)
        return 0;
    int32_t quotient = accumulator / stepMs;
    accumulator %= stepMs;
    return -quotient;
}

int32_t StepTimer::take()
{
    int32_t taken = accumulator;
    accumulator = 0;
    return taken;
}
