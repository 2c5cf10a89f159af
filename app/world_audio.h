#pragma once
// The sound layer and the world, tied together: the music and the placed
// sounds learn where the player stands from the world model, and the world's
// sounds play on the sound channels. Both objects keep no state of their own
// and are installed once at start-up. Positions are world cells, volumes and
// pans the sound layer's own scale. Main thread only.

#include "audio/audio_services.h"
#include "world/world_services.h"

class SoundEffects;

// The player once in the world (its position, war mode), distances measured
// as the world wraps, the facet and the server's features.
class WorldAudioServices final : public AudioServices {
public:
    bool playerPosition(int16_t& x, int16_t& y) override;
    bool isPlayerInWarMode() override;
    // The facet the map view shows.
    int32_t currentFacet() override;
    // Cells apart as the larger axis offset; inside the part of the facet
    // that wraps round, the shorter way round; 9999 between that part and
    // the rest.
    int32_t tileDistance(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override;
    // The server's feature word (packet 0xB9, kept in "entitled.def").
    bool hasServerFeature(uint32_t mask) override;
};

// The world's sounds on the given sound channels.
class ChannelWorldSounds final : public WorldSounds {
public:
    explicit ChannelWorldSounds(SoundEffects& effects);
    void playSound(int32_t id, int32_t pan, int32_t volume, bool loop, int32_t jitterPercent,
        bool allowDuplicate) override;
    void playSoundAt(int32_t id, int32_t x, int32_t y, int32_t z, float factor, bool loop, int32_t jitterPercent,
        bool allowDuplicate) override;

private:
    SoundEffects& m_effects;
};

// Installs both (the world's sounds on the program's channels).
void installWorldAudio();
