// The program's side of the film module (see video_module.h): a player that
// loads the module, and FFmpeg with it, the first time a film that exists is
// opened, and hands everything on to the module's player.

#include "platform/file_system.h"
#include "platform/media/video_module.h"

#include <dlfcn.h>

#include <string>

namespace platform {

namespace {

// Beside the program, else where the build put it (the tests run from a
// folder of their own).
VideoPlayer* loadVideoModule()
{
    const std::string candidates[] = { parentDirectory(executablePath()) + "/" + kVideoModuleName,
        std::string(VARDUN_MODULE_DIR) + "/" + kVideoModuleName };
    for (const std::string& path : candidates) {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module)
            continue;
        // The module stays loaded for the rest of the run: its player's code
        // must outlive every player it made.
        auto open = reinterpret_cast<decltype(&vardunOpenVideoModule)>(dlsym(module, kVideoModuleEntry));
        if (open)
            return open(&clock);
    }
    return nullptr;
}

class ModuleVideoPlayer final : public VideoPlayer {
public:
    bool isAvailable() const override { return !m_failed; }
    // Kept for the module's player, which may not exist yet.
    void setSoundOutput(AudioDevice* device) override
    {
        m_soundDevice = device;
        if (m_player)
            m_player->setSoundOutput(device);
    }
    void setSoundVolume(int32_t volume) override
    {
        m_soundVolume = volume;
        if (m_player)
            m_player->setSoundVolume(volume);
    }
    bool open(const std::string& realPath) override
    {
        if (!m_player) {
            // No film, no decoders.
            if (m_failed || !fileExists(realPath))
                return false;
            m_player.reset(loadVideoModule());
            m_failed = !m_player;
            if (m_failed)
                return false;
            m_player->setSoundOutput(m_soundDevice);
            m_player->setSoundVolume(m_soundVolume);
        }
        return m_player->open(realPath);
    }
    void close() override
    {
        if (m_player)
            m_player->close();
    }
    bool isOpen() const override { return m_player && m_player->isOpen(); }
    int32_t frameCount() const override { return m_player ? m_player->frameCount() : 0; }
    int32_t currentFrame() const override { return m_player ? m_player->currentFrame() : 0; }
    int32_t width() const override { return m_player ? m_player->width() : 0; }
    int32_t height() const override { return m_player ? m_player->height() : 0; }
    bool isFrameDue(int32_t frame) const override { return m_player && m_player->isFrameDue(frame); }
    bool decodeFrame() override { return m_player && m_player->decodeFrame(); }
    void copyToBuffer(uint16_t* destination, int32_t pitchBytes, int32_t rows, int32_t x, int32_t y,
        const VideoCopy& copy) override
    {
        if (m_player)
            m_player->copyToBuffer(destination, pitchBytes, rows, x, y, copy);
    }
    void nextFrame() override
    {
        if (m_player)
            m_player->nextFrame();
    }

private:
    std::unique_ptr<VideoPlayer> m_player;
    AudioDevice* m_soundDevice = nullptr;
    int32_t m_soundVolume = 0;
    bool m_failed = false;
};

} // namespace

std::unique_ptr<VideoPlayer> createVideoPlayer() { return std::make_unique<ModuleVideoPlayer>(); }

} // namespace platform
