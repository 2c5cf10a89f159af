#include "data/client_services.h"

#include "data/config_key_rules.h"

namespace {

constexpr uint16_t kDebugHue = 33;
constexpr uint16_t kDebugFont = 3;

} // namespace

ServerRequests& serverRequests() { return serviceSlot<ServerRequests, NoServerRequests>().get(); }
ServerRequests* installServerRequests(ServerRequests* service)
{
    return serviceSlot<ServerRequests, NoServerRequests>().install(service);
}

GameStateService& gameState() { return serviceSlot<GameStateService, NoGameState>().get(); }
GameStateService* installGameState(GameStateService* service)
{
    return serviceSlot<GameStateService, NoGameState>().install(service);
}

WindowNotices& windowNotices() { return serviceSlot<WindowNotices, NoWindowNotices>().get(); }
WindowNotices* installWindowNotices(WindowNotices* service)
{
    return serviceSlot<WindowNotices, NoWindowNotices>().install(service);
}

PointerService& pointerService() { return serviceSlot<PointerService, NoPointerService>().get(); }
PointerService* installPointerService(PointerService* service)
{
    return serviceSlot<PointerService, NoPointerService>().install(service);
}

void addDebugSystemMessage(std::string_view text)
{
    if (configValues().runtimeDebugMessages)
        windowNotices().addSystemMessage(kDebugHue, kDebugFont, text);
}
