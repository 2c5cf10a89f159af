#include "app/world_wiring.h"

#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/startup_cleanups.h"
#include "data/client_services.h"
#include "data/server_features.h"
#include "gump/gump_services.h"
#include "net/buffered_connection.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"
#include "protocol/protocol_services.h"
#include "windows/world_view_gump.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/seasons.h"
#include "world/update_range.h"
#include "world/world_reset.h"
#include "world/world_screen.h"

namespace {

// The player and the world model as the small client actions of the data
// layer (view range, war mode) see them.
class WorldGameState final : public GameStateService {
public:
    bool isInGame() override { return m_inGame && player(); }
    void setPlayerInGame(bool inGame) override { m_inGame = inGame; }
    bool hasPlayer() override { return player() != nullptr; }
    int32_t playerUpdateRange() override { return player() ? player()->getUpdateRange() : kMaxUpdateRange; }
    bool isPlayerDead() override { return player() && player()->isDead(); }
    bool playerWarFlag() override { return player() && player()->warMode != 0; }
    void setPlayerWarFlag(bool war) override
    {
        PlayerMobile* self = player();
        if (!self || (self->warMode != 0) == war)
            return;
        // Taken out of the cell grid and put back, so that it is drawn in
        // the new state.
        bool placed = self->isPlaced();
        if (placed)
            self->removeFromGrid();
        self->warMode = war ? 1 : 0;
        if (placed)
            self->place();
    }
    void redrawRangeColouring() override { redrawRangeChanges(0, kMaxUpdateRange + 1); }
    void clearWorldViewHighlight() override
    {
        if (WorldViewGump* view = worldViewGump())
            view->clearHighlights();
    }
    // The first facet and season, the world emptied and no map window
    // loaded: the next position loads everything again.
    void resetWorldForConnect() override
    {
        resetLightAndView();
        resetWorldObjectsForSession();
        setFacet(0);
        setSeason(0);
        resetMapView();
    }
    void requestStopAllIgrSessions() override { igrSessions().requestStopAllSessions(); }

private:
    bool m_inGame = false;
};

WorldGameState& worldGameState()
{
    static WorldGameState state;
    return state;
}

// The gump framework's view of the session: in the world once the player is,
// and object property lists when the character list's flag or the edit
// server asks for them.
class WorldGameSession final : public GameSession {
public:
    bool isInWorld() override { return worldGameState().isInGame(); }
    bool hasObjectPropertyLists() override { return characterListFlag(5) || editServerMode(); }
};

WorldGameSession& worldGameSession()
{
    static WorldGameSession session;
    return session;
}

} // namespace

void startWorldObjects()
{
    installGameState(&worldGameState());
    installService<GameSession>(&worldGameSession());
    initWorldObjects();
    registerCleanup("releaseWorldObjects", initWorldObjects);
}

void createWorldPlayer() { createPlayerObject(); }

void wireWorldObjects(GameTick& tick, MainLoop& loop, BackBuffer& backBuffer)
{
    setWorldBackBuffer(&backBuffer);
    tick.setStep(TickStep::AgePendingRecords, ageKeptTexts);
    tick.setStep(TickStep::ObjectManagerUpdate, updateWorldObjects);
    loop.setStep(LoopStep::RefreshPlayerSerial, refreshPlayerObjectSerial);
}

void noteWorldKeyMessage(const platform::WindowMessage& message)
{
    using platform::MessageKind;
    switch (message.kind) {
    case MessageKind::KeyDown:
    case MessageKind::SysKeyDown:
        if (message.code == platform::vk::kShift)
            setShiftKeyHeld(true);
        break;
    case MessageKind::KeyUp:
    case MessageKind::SysKeyUp:
        if (message.code == platform::vk::kShift)
            setShiftKeyHeld(false);
        break;
    case MessageKind::Activate:
        // A key released while another window had the focus is never seen.
        if (message.code == 0)
            setShiftKeyHeld(false);
        break;
    default:
        break;
    }
}

void shutdownWorldObjects(GameTick& tick, MainLoop& loop)
{
    resetWorldObjectsForSession();
    tick.setStep(TickStep::AgePendingRecords, nullptr);
    tick.setStep(TickStep::ObjectManagerUpdate, nullptr);
    loop.setStep(LoopStep::RefreshPlayerSerial, nullptr);
    setWorldBackBuffer(nullptr);
    deletePlayerObject();
}
