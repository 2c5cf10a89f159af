#include "platform/display.h"

namespace platform {

std::mutex& displayLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace platform
