#include "data/client_services.h"

#include "data/config_key_rules.h"

namespace {

constexpr uint16_t kDebugHue = 33;
constexpr uint16_t kDebugFont = 3;

} // namespace

ServerRequests& serverRequests() { return service<ServerRequests>(); }
ServerRequests* installServerRequests(ServerRequests* service)
{
    return installService<ServerRequests>(service);
}

GameStateService& gameState() { return service<GameStateService>(); }
GameStateService* installGameState(GameStateService* service)
{
    return installService<GameStateService>(service);
}

WindowNotices& windowNotices() { return service<WindowNotices>(); }
WindowNotices* installWindowNotices(WindowNotices* service)
{
    return installService<WindowNotices>(service);
}

PointerService& pointerService() { return service<PointerService>(); }
PointerService* installPointerService(PointerService* service)
{
    return installService<PointerService>(service);
}

void addDebugSystemMessage(std::string_view text)
{
    if (configValues().runtimeDebugMessages)
        windowNotices().addSystemMessage(kDebugHue, kDebugFont, text);
}
