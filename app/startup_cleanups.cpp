#include "app/startup_cleanups.h"

#include "platform/process_exit.h"

#include <string>

namespace {

std::function<void(const char*)>& cleanupObserver()
{
    static std::function<void(const char*)> observer;
    return observer;
}

} // namespace

void registerCleanup(const char* name, std::function<void()> cleanup)
{
    platform::atExit([name, cleanup = std::move(cleanup)] {
        if (cleanupObserver())
            cleanupObserver()(name);
        if (cleanup)
            cleanup();
    });
}

void setCleanupObserver(std::function<void(const char*)> observer) { cleanupObserver() = std::move(observer); }
