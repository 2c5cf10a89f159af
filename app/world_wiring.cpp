#include "app/world_wiring.h"

#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/startup_cleanups.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/update_range.h"
#include "world/world_screen.h"

void startWorldObjects()
{
    initWorldObjects();
    registerCleanup("releaseWorldObjects", initWorldObjects);
}

void createWorldPlayer() { createPlayerObject(); }

void wireWorldObjects(GameTick& tick, MainLoop& loop, BackBuffer& backBuffer, std::function<int32_t()> gameWidth)
{
    setWorldBackBuffer(&backBuffer);
    tick.setStep(TickStep::AgePendingRecords, ageKeptTexts);
    tick.setStep(TickStep::ObjectManagerUpdate, updateWorldObjects);
    tick.setStep(TickStep::ViewRangeStep, [gameWidth = std::move(gameWidth)] { viewRangeStep(gameWidth()); });
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
    tick.setStep(TickStep::ViewRangeStep, nullptr);
    loop.setStep(LoopStep::RefreshPlayerSerial, nullptr);
    setWorldBackBuffer(nullptr);
    deletePlayerObject();
}
