#include "protocol/shard_world_state.h"

#include "net/shard_sessions.h"
#include "protocol/protocol_services.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/seasons.h"
#include "world/static_object.h"
#include "world/update_range.h"

#include <algorithm>
#include <cstring>

namespace {

// The serial a session keeps until its login is confirmed.
constexpr uint32_t kUnconfirmedSerial = 0xFFFFFFFF;

class WorldShardState final : public ShardWorldState {
public:
    // The player keeps only itself: its equipment and every other object go,
    // with the update range and what was being dragged.
    void leaveShardWorld() override { resetWorldObjectsForSession(); }

    void saveSessionState(ShardSession& session) override
    {
        session.season = getSeason();
        session.facet = uint16_t(mapView().currentFacet);
        PlayerMobile* self = player();
        if (!self)
            return;
        session.x = self->x;
        session.y = self->y;
        session.z = self->z;
        // The two values the login confirmation stored: the direction, and z
        // as a 32-bit value.
        session.confirmByte = self->direction;
        session.confirmValue = uint32_t(int32_t(self->z));
        session.updateRange = self->getUpdateRange();
        session.playerName.fill('\0');
        std::memcpy(session.playerName.data(), self->nameText.data(),
            std::min(self->nameText.size(), session.playerName.size()));
    }

    void restoreSessionState(const ShardSession& session) override
    {
        // The world knows no serial as 0; a session not yet confirmed has none.
        setPlayerSerial(session.playerSerial == kUnconfirmedSerial ? 0 : session.playerSerial);
        refreshPlayerObjectSerial();
        // Before the range: a change of facet empties the world and resets it.
        setFacet(session.facet);
        setSeason(session.season);
        setUpdateRange(session.updateRange, true);
        if (PlayerMobile* self = player()) {
            const char* name = session.playerName.data();
            self->nameText.assign(name, strnlen(name, session.playerName.size()));
        }
    }

    // The picked-up item left the world when it was picked up; forgetting the
    // drag is what is left of it.
    void dropHeldItem() override { dragState() = DragState {}; }

    void tileDataReplaced(std::span<const int32_t>, std::span<const int32_t> graphics) override
    {
        if (graphics.empty())
            return;
        for (StaticObject* object = worldLists().world.head(); object; object = WorldList::next(object)) {
            if (object->isPlaced() && std::find(graphics.begin(), graphics.end(), object->graphic) != graphics.end())
                object->invalidate();
        }
    }
};

} // namespace

ShardWorldState* worldShardState()
{
    static WorldShardState state;
    return &state;
}
