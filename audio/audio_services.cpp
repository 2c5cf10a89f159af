#include "audio/audio_services.h"

#include <algorithm>
#include <cstdlib>

namespace {

NoAudioServices& defaultServices()
{
    static NoAudioServices services;
    return services;
}

AudioServices*& installed()
{
    static AudioServices* services = nullptr;
    return services;
}

} // namespace

int32_t NoAudioServices::tileDistance(int16_t x1, int16_t y1, int16_t x2, int16_t y2)
{
    return std::max(std::abs(int32_t(x1) - x2), std::abs(int32_t(y1) - y2));
}

AudioServices& audioServices()
{
    AudioServices* services = installed();
    return services ? *services : defaultServices();
}

AudioServices* installAudioServices(AudioServices* services)
{
    AudioServices* previous = installed();
    installed() = services;
    return previous;
}
