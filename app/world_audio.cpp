#include "app/world_audio.h"

#include "audio/sound_effects.h"
#include "data/client_services.h"
#include "data/server_features.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <algorithm>
#include <cstdlib>

namespace {

// What the distance between the wrapping part of a facet and the rest reads:
// farther than any sound carries.
constexpr int32_t kApartDistance = 9999;

// The player object lives for the whole run; only once the player is in the
// world does it stand anywhere the music and the sounds should follow.
PlayerMobile* playerInWorld() { return gameState().isInGame() ? player() : nullptr; }

// An offset along an axis that wraps round after `size` cells, taken the
// shorter way round.
int32_t shorterWayRound(int32_t offset, int32_t size)
{
    const int32_t other = size - offset;
    return other >= 0 && other < offset ? other : offset;
}

} // namespace

bool WorldAudioServices::playerPosition(int16_t& x, int16_t& y)
{
    const PlayerMobile* self = playerInWorld();
    if (!self)
        return false;
    x = self->x;
    y = self->y;
    return true;
}

bool WorldAudioServices::isPlayerInWarMode()
{
    const PlayerMobile* self = playerInWorld();
    return self && self->warMode != 0;
}

int32_t WorldAudioServices::currentFacet() { return mapView().currentFacet; }

int32_t WorldAudioServices::tileDistance(int16_t x1, int16_t y1, int16_t x2, int16_t y2)
{
    const MapView& view = mapView();
    const bool firstWraps = x1 < view.wrapWidth;
    const bool secondWraps = x2 < view.wrapWidth;
    if (firstWraps != secondWraps)
        return kApartDistance;
    int32_t dx = std::abs(int32_t(x1) - int32_t(x2));
    int32_t dy = std::abs(int32_t(y1) - int32_t(y2));
    if (firstWraps) {
        dx = shorterWayRound(dx, view.wrapWidth);
        dy = shorterWayRound(dy, view.wrapHeight);
    }
    return std::max(dx, dy);
}

bool WorldAudioServices::hasServerFeature(uint32_t mask) { return ::hasServerFeature(mask); }

ChannelWorldSounds::ChannelWorldSounds(SoundEffects& effects)
    : m_effects(effects)
{
}

void ChannelWorldSounds::playSound(
    int32_t id, int32_t pan, int32_t volume, bool loop, int32_t jitterPercent, bool allowDuplicate)
{
    m_effects.playSound(id, pan, volume, loop ? 1 : 0, jitterPercent, allowDuplicate ? 1 : 0);
}

void ChannelWorldSounds::playSoundAt(int32_t id, int32_t x, int32_t y, int32_t, float factor, bool loop,
    int32_t jitterPercent, bool allowDuplicate)
{
    // A sound's height changes neither its pan nor its volume.
    m_effects.playSoundAt(
        id, int16_t(x), int16_t(y), factor, loop ? 1 : 0, jitterPercent, allowDuplicate ? 1 : 0);
}

void installWorldAudio()
{
    static WorldAudioServices services;
    installAudioServices(&services);
    static ChannelWorldSounds sounds(soundEffects());
    installWorldService<WorldSounds>(&sounds);
}
