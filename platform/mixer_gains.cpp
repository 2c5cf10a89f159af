// The gains of a volume and pan, apart from the mixer: the film module, which
// links no part of the program, plays its sound at the same gains.
#include "platform/audio_mixer.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

int32_t gainOf(int32_t hundredthsOfDecibel)
{
    constexpr int32_t kUnity = 32768;
    if (hundredthsOfDecibel >= 0)
        return kUnity;
    const double gain = std::pow(10.0, hundredthsOfDecibel / 2000.0);
    return static_cast<int32_t>(std::lround(gain * kUnity));
}

} // namespace

void mixerGains(int32_t volume, int32_t pan, int32_t& left, int32_t& right)
{
    volume = std::clamp(volume, kSilentVolume, 0);
    pan = std::clamp(pan, -kMaxPan, kMaxPan);
    // The far side of a pan is attenuated on top of the volume, in decibels.
    left = gainOf(volume - std::max(pan, 0));
    right = gainOf(volume + std::min(pan, 0));
}

} // namespace platform
