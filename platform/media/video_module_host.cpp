// The film module's side of its loading (see video_module.h): the process
// clock the program hands over, as the module's own.

#include "platform/media/video_module.h"

namespace platform {

namespace {

Clock& (*g_programClock)() = nullptr;

} // namespace

Clock& clock() { return g_programClock(); }

} // namespace platform

extern "C" __attribute__((visibility("default"))) platform::VideoPlayer* vardunOpenVideoModule(
    platform::Clock& (*programClock)())
{
    platform::g_programClock = programClock;
    return platform::createVideoPlayer().release();
}
