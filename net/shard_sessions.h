#pragma once
// Shard sessions: every login or game connection the pump drives belongs to
// one ShardSession in sessionList. The session whose connection is the
// current game connection is the shard the player sees; the others stay
// logged in behind it, each keeping its own saved player state, and can be
// switched to. What a session change means for the world, the windows and
// the login road is asked of the ShardSessionHost that the protocol layer
// installs at start-up.
//
// Main thread only; no locks. Sessions are owned by sessionList and freed
// when their connection is lost; their connections are deleted at the start
// of the next pump pass, never while the pump or a handler may hold them.

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

class GameConnection;
class GameConnectionHandler;

struct ShardSession {
    std::string name; // compared without regard to case
    GameConnection* connection { nullptr }; // owned; deleted through scheduleConnectionDelete
    uint32_t playerSerial { 0xFFFFFFFF }; // until the login is confirmed
    int16_t x { 0 };
    int16_t y { 0 };
    int16_t z { 0 };
    uint16_t facet { 0 };
    int32_t season { 0 };
    // Two values of the login confirmation kept for the session.
    uint8_t confirmByte { 0 };
    uint32_t confirmValue { 0 };
    std::array<char, 20> playerName {};
    uint8_t updateRange { 18 };
    // Step keys a shard behind the shown one sent before its player was
    // shown; 0 marks a free slot.
    std::array<uint32_t, 5> walkKeys {};
    std::set<uint32_t> semiVisible;
    bool closeRequested { false }; // the next pump pass closes the connection
    int32_t autoSwitchRequest { -1 };
    bool deferredConnect { false };
    uint32_t deferredAddress { 0 }; // host order
    uint16_t deferredPort { 0 };
};

// One entry of the shard menu.
struct ShardMenuEntry {
    std::string label;
    int32_t socketHandle { -1 }; // the entry's command id
    bool greyed { false };
};

// What the sessions ask of the layers above them.
class ShardSessionHost {
public:
    virtual ~ShardSessionHost() = default;

    // The login road: the reconnect a relay asked for, the account login on
    // a further shard's new connection, and the login server in use.
    virtual void deferredGameConnect(uint32_t address, uint16_t port) = 0;
    virtual void sendAccountLogin(GameConnection& connection) = 0;
    virtual bool loginServerInUse(uint32_t& address, uint16_t& port) = 0;
    virtual bool isLoginFlowActive() = 0;
    virtual bool hasEnteredWorld() = 0;
    virtual const std::string& accountName() = 0;

    // The world of the shard shown, and the player state each session keeps.
    virtual void leaveShardWorld() = 0;
    virtual void saveSessionState(ShardSession& session) = 0;
    virtual void restoreSessionState(const ShardSession& session) = 0;

    // What the player sees and hears of it.
    virtual void addSystemMessage(const std::string& text) = 0;
    virtual void sendSpeechUnthrottled(const std::string& text) = 0;
    virtual void setWindowTitle(const std::u16string& title) = 0;
    virtual bool isWaitingShown() = 0;
    virtual void dropHeldItem() = 0;
    // The message of a lost connection and, when it is closed, the way back
    // to the main menu.
    virtual void showConnectionLost() = 0;
    // The way back to the main menu from the box already shown.
    virtual void leaveWorldOnWaitingButton() = 0;
    virtual void renderFrame() = 0;
    // The shard menu at the pointer. `chosen` gets the handle of the entry
    // the player picks, later, and is not called when the menu is closed
    // without a choice.
    virtual void chooseShard(const std::vector<ShardMenuEntry>& entries, std::function<void(int32_t)> chosen) = 0;

    virtual void pollMessenger() = 0;
};

// Installs the host; returns the previous one. Without one the sessions do
// only their own bookkeeping.
ShardSessionHost* setShardSessionHost(ShardSessionHost* host);
ShardSessionHost* shardSessionHost();

const std::vector<ShardSession*>& sessionList();
// Appends a new session for `connection` (which it then owns).
ShardSession* addShardSession(const std::string& name, GameConnection* connection);
// The session being pumped or dispatched; null outside the pump and the
// dispatcher (and the login road's connect, which makes its new session
// current).
ShardSession* currentSession();
void setCurrentSession(ShardSession* session);
ShardSession* sessionForConnection(const GameConnection* connection);
bool isLiveSession(const ShardSession* session);
// The session of the current game connection, or null.
ShardSession* shownSession();
// Ends a session at once: its connection is closed and scheduled for
// deletion, the session is removed and freed (and is no longer current).
void discardSession(ShardSession* session);
// At shutdown: frees every session and schedules its connection's deletion.
void destroyAllSessions();

// The lost-connection step of every game connection.
void shardConnectionLost(GameConnection& connection);

void requestDeferredConnect(uint32_t address, uint16_t port);
void switchToShard(int32_t socketHandle);
void connectShardByName(const std::string& name, int32_t autoSwitchValue);
void closeShardFromMenu();
// Shows the shard menu; `chosen` gets the picked session's handle. The
// menu's entries are made now (and the shown shard's state saved); a choice
// made later is looked up anew, so a session gone meanwhile is no choice.
void shardPopupMenu(bool greyCurrent, std::function<void(int32_t)> chosen);
void leaveShardWorld();
void activateSession(ShardSession& session);
void saveSessionState();

// Routes every game connection's losses to shardConnectionLost and its
// packets to the dispatcher. Returns the handler it replaced.
GameConnectionHandler* installSessionRouting();
