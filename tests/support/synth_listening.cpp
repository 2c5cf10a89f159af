#include "support/synth_listening.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace test {

bool mixUntilHeard(platform::NullAudioDevice& device, uint32_t stepFrames, std::vector<int16_t>& heard)
{
    device.setCapture(true);
    for (int i = 0; i < 10000; ++i) {
        device.mixFrames(stepFrames);
        heard = device.takeCaptured();
        // The synthesizer's dither may leave a step of one.
        if (std::any_of(heard.begin(), heard.end(), [](int16_t s) { return std::abs(s) > 1; }))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace test
