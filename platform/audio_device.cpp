#include "platform/audio_device.h"

#include "platform/window.h"

namespace platform {

std::unique_ptr<AudioDevice> createAudioDevice()
{
    std::unique_ptr<AudioDevice> device;
    if (!headlessRequested())
        device = createSdlAudioDevice();
    if (!device)
        device = createNullAudioDevice(44100, true);
    return device;
}

} // namespace platform
