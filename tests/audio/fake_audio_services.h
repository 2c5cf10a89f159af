#pragma once
// What the sound and music code asks of the world and the front end, as a
// test sets it: a player (or none), war mode, facet, granted features, and
// distance as the larger axis offset.

#include "audio/audio_services.h"

#include <algorithm>
#include <cstdlib>

class FakeAudioServices final : public AudioServices {
public:
    bool playerPosition(int16_t& x, int16_t& y) override
    {
        x = playerX;
        y = playerY;
        return hasPlayer;
    }
    bool isPlayerInWarMode() override { return warMode; }
    int32_t currentFacet() override { return facet; }
    int32_t tileDistance(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override
    {
        return std::max(std::abs(x1 - x2), std::abs(y1 - y2));
    }
    bool hasServerFeature(uint32_t mask) override { return (mask & features) != 0; }

    bool hasPlayer = false;
    int16_t playerX = 0;
    int16_t playerY = 0;
    bool warMode = false;
    int32_t facet = 0;
    uint32_t features = 0;
};

// Installs the fake for the life of the guard.
class ScopedAudioServices {
public:
    explicit ScopedAudioServices(AudioServices& services)
        : m_previous(installAudioServices(&services))
    {
    }
    ~ScopedAudioServices() { installAudioServices(m_previous); }
    ScopedAudioServices(const ScopedAudioServices&) = delete;
    ScopedAudioServices& operator=(const ScopedAudioServices&) = delete;

private:
    AudioServices* m_previous;
};
