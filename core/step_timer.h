#pragma once
// A fixed-step pacer for screens that run a loop of their own (the credits
// roll): the stamps of the end of a wait and the begin of the next, and an
// accumulator that grows by one step less the time the work in between
// took. Times are 32-bit millisecond ticks of the platform clock. Main
// thread only.

#include <cstdint>

struct StepTimer {
    int32_t rate = 30;
    int32_t stepMs = 33;
    uint32_t endStamp = 0;
    uint32_t beginStamp = 0;
    int32_t accumulator = 0;

    void markEnd();
    void markBegin();
    void accumulate();
    bool isNegative() const { return accumulator < 0; }
    // Keeps the remainder by stepMs (sign of the dividend) and returns minus
    // the number of whole steps owed.
    int32_t keepRemainder();
    int32_t take();
};
