#include "data/client_services.h"

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
