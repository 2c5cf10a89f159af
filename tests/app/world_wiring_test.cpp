// The world's part of a login and of a new connection, as the program wires
// it: what the connect reset puts back to its start.

#include "app/world_wiring.h"
#include "data/client_services.h"
#include "data/targeting.h"
#include "gfx/back_buffer.h"
#include "world/light_pass.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_screen.h"

#include <gtest/gtest.h>

namespace {

TEST(WorldConnectReset, LightLevelsThePlayersLightAndTheRingStartGoBackToZero)
{
    GameStateService* previous = installGameState(nullptr);
    installGameState(previous);
    startWorldObjects();
    PlayerMobile* self = createPlayerObject();
    BackBuffer buffer;
    buffer.create(64, 48, BufferFormat::Rgb555);
    buffer.renderWorldDirtyRects(nullptr);
    buffer.scrollWorldView(3, 2);
    ASSERT_NE(buffer.ringStart(), 0);
    setWorldBackBuffer(&buffer);
    lightLevels() = LightLevels { 12, 5 };
    self->lightModifier = 5;

    resetWorldSessionForConnect();
    EXPECT_EQ(lightLevels().global, 0);
    EXPECT_EQ(lightLevels().personal, 0);
    EXPECT_EQ(self->lightModifier, 0);
    EXPECT_EQ(buffer.ringStart(), 0);

    setWorldBackBuffer(nullptr);
    initWorldObjects();
    installGameState(previous);
}

} // namespace
