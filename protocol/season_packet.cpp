#include "protocol/season_packet.h"

#include "data/client_services.h"
#include "data/settings_registry.h"
#include "net/game_connection.h"
#include "net/shard_sessions.h"
#include "protocol/packet_reader.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/seasons.h"
#include "world/visibility.h"
#include "world/world_reset.h"
#include "world/world_screen.h"
#include "world/world_services.h"

namespace {

// The season a packet asks for, given the one kept now: the desolation
// season only where it is allowed, and anything past it as the first.
int32_t chosenSeason(uint8_t asked, int32_t kept)
{
    if (asked == kDesolationSeason)
        return settings().getBoolSetting(u"Desolation") ? kDesolationSeason : kept;
    return asked < kDesolationSeason ? asked : 0;
}

int32_t seasonAtPlayer()
{
    const PlayerMobile* self = player();
    return getSeasonAtPlayer(self ? self->x : 0);
}

} // namespace

void handleSeason(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t season = reader.u8();
    uint8_t override = reader.u8();
    if (!reader.ok())
        return;
    ShardSession* session = currentSession();
    if (session && session->connection != currentGameConnection()) {
        if (seasonAtPlayer() == kDesolationSeason && !(session->season == kDesolationSeason && override))
            return;
        session->season = chosenSeason(season, session->season);
        return;
    }
    int32_t current = seasonAtPlayer();
    if (current == kDesolationSeason && !override)
        return;
    if (season == current)
        return;
    setSeason(chosenSeason(season, getSeason()));
    PlayerMobile* self = player();
    if (!self || (self->x == -1 && self->y == -1) || self->isDetached())
        return;

    int32_t facet = mapView().positionFacet;
    resetWorld();
    self->removeFromGrid();
    self->enterWorldAt(self->x, self->y, self->z);
    setPlayerPosition(self->x, self->y, self->z, facet);
    clearWorldBackBuffer();
    updateRoofLimits();
    invalidateWholeScreen();
    if (seasonAtPlayer() == kDesolationSeason && gameState().isInGame())
        worldService<WorldSounds>().playSoundAt(kDesolationSound, self->x, self->y, self->z, 1.0f, false, 0, false);
}
