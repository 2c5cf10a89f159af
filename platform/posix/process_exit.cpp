#include "platform/process_exit.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

std::vector<CleanupFn>& cleanupStack()
{
    static std::vector<CleanupFn> stack;
    return stack;
}

} // namespace

void atExit(CleanupFn cleanup) { cleanupStack().push_back(std::move(cleanup)); }

void runCleanups()
{
    auto& stack = cleanupStack();
    // Pop one at a time so that a clean-up registering another one (or an
    // exit requested from inside a clean-up) never runs anything twice.
    while (!stack.empty()) {
        CleanupFn cleanup = std::move(stack.back());
        stack.pop_back();
        if (cleanup)
            cleanup();
    }
}

void orderlyExit(int code)
{
    runCleanups();
    std::fflush(nullptr);
    std::exit(code);
}

void immediateExit(int code)
{
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace platform
