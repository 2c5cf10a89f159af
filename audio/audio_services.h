#pragma once
// What the sound and music code asks of the layers above it: where the player
// stands, whether the player is in war mode, the facet, and the server's
// feature word. The world and the front end install the real answers at
// start-up; until then the explicit default below says there is no player
// and no feature. Main thread only.

#include <cstdint>

class AudioServices {
public:
    virtual ~AudioServices() = default;
    // False when there is no player object.
    virtual bool playerPosition(int16_t& x, int16_t& y) = 0;
    virtual bool isPlayerInWarMode() = 0;
    virtual int32_t currentFacet() = 0;
    // Tile distance between two world positions.
    virtual int32_t tileDistance(int16_t x1, int16_t y1, int16_t x2, int16_t y2) = 0;
    // True when any bit of `mask` is granted by the server.
    virtual bool hasServerFeature(uint32_t mask) = 0;
};

// No player, no war mode, facet 0, no feature; distance as the larger of the
// two axis offsets.
class NoAudioServices final : public AudioServices {
public:
    bool playerPosition(int16_t&, int16_t&) override { return false; }
    bool isPlayerInWarMode() override { return false; }
    int32_t currentFacet() override { return 0; }
    int32_t tileDistance(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override;
    bool hasServerFeature(uint32_t) override { return false; }
};

AudioServices& audioServices();
// Installs `services` (null restores the default); returns the previous one.
AudioServices* installAudioServices(AudioServices* services);
