#pragma once
// Services of the higher layers that the small client actions of this layer
// (view range, war mode, targeting, web links, server-stored settings files)
// call: requests to the server (built and queued by the protocol layer), the
// player and world state, the game windows' notices, and the pointer. Each
// starts as its do-nothing default (no connection, no player, nothing shown)
// until app/ installs the real one. Main thread only.

#include "core/installed_service.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// Requests to the game server; each returns false when nothing was queued.
class ServerRequests {
public:
    virtual ~ServerRequests() = default;
    virtual bool hasGameConnection() = 0;
    virtual bool sendUpdateRange(uint8_t range) = 0;
    virtual bool sendWarMode(uint8_t mode, const std::array<uint8_t, 3>& trailing) = 0;
    virtual bool sendResurrectionChoice(uint8_t choice) = 0;
    virtual bool sendTextCommand(uint8_t type, std::string_view text) = 0;
    // One server-stored file: its number and its compressed bytes.
    virtual bool sendConfigFile(uint8_t number, std::span<const uint8_t> payload) = 0;
    virtual bool sendLogoutConfirm() = 0;
};

// The player object, the session and the world model.
class GameStateService {
public:
    virtual ~GameStateService() = default;
    // In the game from the login's completion until the player leaves it.
    virtual bool isInGame() = 0;
    virtual void setPlayerInGame(bool inGame) = 0;
    virtual bool hasPlayer() = 0;
    virtual int32_t playerUpdateRange() = 0;
    virtual bool isPlayerDead() = 0;
    virtual bool playerWarFlag() = 0;
    // Sets the flag; a player placed in the cell grid is taken out and put
    // back so that it is drawn in the new state.
    virtual void setPlayerWarFlag(bool war) = 0;
    // Redraws every object whose out-of-range colouring may have changed.
    virtual void redrawRangeColouring() = 0;
    // The world view's highlighted object is cleared and redrawn.
    virtual void clearWorldViewHighlight() = 0;
    // Light levels, facet, season, the player's light, the ring start, the
    // world objects, the map view, walking and the update range.
    virtual void resetWorldForConnect() = 0;
    virtual void requestStopAllIgrSessions() = 0;
};

// What the game windows show or forget.
class WindowNotices {
public:
    virtual ~WindowNotices() = default;
    virtual void addSystemMessage(uint16_t hue, uint16_t font, std::string_view text) = 0;
    virtual void showWaitingBox(std::string_view text) = 0;
    virtual void clearAbilityIcons() = 0;
    // The player's status window and paperdoll show the war mode.
    virtual void showPlayerWarMode(bool war) = 0;
    // The placement preview drops a temporary component list, or its pieces.
    virtual void clearPlacementPreview() = 0;
    // The server-stored skill groups and macros changed on disk.
    virtual void reloadSkillGroups() = 0;
    virtual void reloadMacros() = 0;
};

class PointerService {
public:
    virtual ~PointerService() = default;
    virtual void setCursorKind(int32_t kind) = 0;
    virtual void setCursorForGumpType(int32_t type) = 0;
};

class NoServerRequests final : public ServerRequests {
public:
    bool hasGameConnection() override { return false; }
    bool sendUpdateRange(uint8_t) override { return false; }
    bool sendWarMode(uint8_t, const std::array<uint8_t, 3>&) override { return false; }
    bool sendResurrectionChoice(uint8_t) override { return false; }
    bool sendTextCommand(uint8_t, std::string_view) override { return false; }
    bool sendConfigFile(uint8_t, std::span<const uint8_t>) override { return false; }
    bool sendLogoutConfirm() override { return false; }
};

class NoGameState final : public GameStateService {
public:
    bool isInGame() override { return false; }
    void setPlayerInGame(bool) override { }
    bool hasPlayer() override { return false; }
    int32_t playerUpdateRange() override { return 0; }
    bool isPlayerDead() override { return false; }
    bool playerWarFlag() override { return false; }
    void setPlayerWarFlag(bool) override { }
    void redrawRangeColouring() override { }
    void clearWorldViewHighlight() override { }
    void resetWorldForConnect() override { }
    void requestStopAllIgrSessions() override { }
};

class NoWindowNotices final : public WindowNotices {
public:
    void addSystemMessage(uint16_t, uint16_t, std::string_view) override { }
    void showWaitingBox(std::string_view) override { }
    void clearAbilityIcons() override { }
    void showPlayerWarMode(bool) override { }
    void clearPlacementPreview() override { }
    void reloadSkillGroups() override { }
    void reloadMacros() override { }
};

class NoPointerService final : public PointerService {
public:
    void setCursorKind(int32_t) override { }
    void setCursorForGumpType(int32_t) override { }
};

ServerRequests& serverRequests();
ServerRequests* installServerRequests(ServerRequests* service);
GameStateService& gameState();
GameStateService* installGameState(GameStateService* service);
WindowNotices& windowNotices();
WindowNotices* installWindowNotices(WindowNotices* service);
PointerService& pointerService();
PointerService* installPointerService(PointerService* service);

// The do-nothing forms answer until app/ installs the real services.
template <> struct ServiceFallback<ServerRequests> {
    using Type = NoServerRequests;
};
template <> struct ServiceFallback<GameStateService> {
    using Type = NoGameState;
};
template <> struct ServiceFallback<WindowNotices> {
    using Type = NoWindowNotices;
};
template <> struct ServiceFallback<PointerService> {
    using Type = NoPointerService;
};
// A system message in the debug hue and font, shown only while the
// RuntimeDebugMsg setting is on.
void addDebugSystemMessage(std::string_view text);
