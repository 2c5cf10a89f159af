#pragma once
// Ends the test program (SIGALRM) when the guarded code takes longer than the
// given seconds: a test of something that used to block for ever fails in
// seconds instead of waiting for the suite's own time limit. A pending alarm
// is not passed on to a forked child: a death test puts its guard inside the
// statement that runs in the child. One at a time, main thread only.

#include <unistd.h>

namespace test {

class HangGuard {
public:
    explicit HangGuard(unsigned seconds) { alarm(seconds); }
    ~HangGuard() { alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

} // namespace test
