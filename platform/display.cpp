#include "platform/display.h"

namespace platform {

int32_t bytesPerPixel(SurfaceFormat format) { return format == SurfaceFormat::Xrgb8888 ? 4 : 2; }

std::mutex& displayLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace platform
