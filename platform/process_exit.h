#pragma once
// The process clean-up stack. Start-up registers a clean-up for each service
// it brings up; an orderly exit runs them newest first, an immediate exit runs
// none. Main thread only.

#include <functional>

namespace platform {

using CleanupFn = std::function<void()>;

void atExit(CleanupFn cleanup);
// Runs and forgets every registered clean-up, newest first. A clean-up that
// registers another one has it run too, before the older ones.
void runCleanups();
// Runs the clean-ups, then ends the process with `code`.
[[noreturn]] void orderlyExit(int code);
// Ends the process with `code` at once: no clean-up, no static destructor.
[[noreturn]] void immediateExit(int code);

} // namespace platform
