#pragma once
// The process-wide state the protocol tests touch, set up and torn down in
// one place: recording doubles of the services the handlers reach, the
// sessions' routing and host, the registered handlers, a client directory
// for the settings files, and the login road's globals reset afterwards.

#include "data/client_services.h"
#include "data/config_key_rules.h"
#include "data/server_features.h"
#include "fixtures/client_directory.h"
#include "net/buffered_connection.h"
#include "net/game_connection.h"
#include "net/network_pump.h"
#include "net/packet_dispatcher.h"
#include "net/ping_monitor.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "protocol/protocol_handlers.h"
#include "protocol/protocol_services.h"
#include "protocol/session_host.h"

#include <algorithm>
#include <string>
#include <vector>

namespace test {

// The login road's screens as a log of what was asked of them.
class RecordingScreens final : public LoginScreens {
public:
    bool isWaitingShown() override { return waitingShown; }
    void deleteWaiting() override
    {
        waitingShown = false;
        log.push_back("deleteWaiting");
    }
    void closeFrontEndBoxes() override
    {
        waitingShown = false;
        log.push_back("closeFrontEndBoxes");
    }
    void showWaiting(const WaitingMessage& message) override
    {
        waitingShown = true;
        messages.push_back(message);
        log.push_back("showWaiting");
    }
    void enterWorldOnWaitingButton() override { log.push_back("enterWorldOnWaitingButton"); }
    void leaveWorldOnWaitingButton() override { log.push_back("leaveWorldOnWaitingButton"); }
    bool hasLoginWindow() override { return loginWindow; }
    void hideLoginWindow() override { log.push_back("hideLoginWindow"); }
    void focusLoginWindow() override { log.push_back("focusLoginWindow"); }
    void openShardList() override { log.push_back("openShardList"); }
    void openShardChoice() override { log.push_back("openShardChoice"); }
    bool hasCharacterSelection() override { return selectionOpen; }
    void openCharacterSelection() override
    {
        selectionOpen = true;
        characters.clear();
        log.push_back("openCharacterSelection");
    }
    void closeCharacterSelection() override
    {
        selectionOpen = false;
        log.push_back("closeCharacterSelection");
    }
    void addCharacter(const std::string& name, int32_t key) override { characters.push_back({ name, key }); }
    void removeCharacter(int32_t key) override
    {
        std::erase_if(characters, [key](const auto& entry) { return entry.second == key; });
    }
    void removeSelectedCharacter() override { log.push_back("removeSelectedCharacter"); }
    void presentCharacterSelection() override { log.push_back("presentCharacterSelection"); }
    void showCharacterSelection() override { log.push_back("showCharacterSelection"); }
    void playSelectedCharacter() override { log.push_back("playSelectedCharacter"); }
    void closeWindowsForLoginError() override { log.push_back("closeWindowsForLoginError"); }
    void closeAllButPersistent() override { log.push_back("closeAllButPersistent"); }
    void openMainMenu() override { log.push_back("openMainMenu"); }
    void logoutToMainMenu() override { log.push_back("logoutToMainMenu"); }
    void quitGame() override { log.push_back("quitGame"); }

    bool saw(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
    const WaitingMessage* lastMessage() const { return messages.empty() ? nullptr : &messages.back(); }

    std::vector<std::string> log;
    std::vector<WaitingMessage> messages;
    std::vector<std::pair<std::string, int32_t>> characters;
    bool waitingShown { false };
    bool loginWindow { true };
    bool selectionOpen { false };
};

// The game windows' system-message area; the rest of what they show is not
// looked at here.
class RecordingMessages final : public WindowNotices {
public:
    void addSystemMessage(uint16_t hue, uint16_t font, std::string_view text) override
    {
        lines.push_back({ std::string(text), hue, font });
    }
    void showWaitingBox(std::string_view text) override { waitingBoxes.emplace_back(text); }
    void clearAbilityIcons() override { }
    void showPlayerWarMode(bool) override { }
    void clearPlacementPreview() override { }
    void reloadSkillGroups() override { }
    void reloadMacros() override { }
    struct Line {
        std::string text;
        uint16_t hue;
        uint16_t font;
    };
    std::vector<Line> lines;
    std::vector<std::string> waitingBoxes;
};

// Whether the session has the player in the game, and the world resets it
// asked for.
class RecordingGameState final : public GameStateService {
public:
    bool isInGame() override { return inGame; }
    void setPlayerInGame(bool value) override { inGame = value; }
    bool hasPlayer() override { return false; }
    int32_t playerUpdateRange() override { return 18; }
    bool isPlayerDead() override { return false; }
    bool playerWarFlag() override { return false; }
    void setPlayerWarFlag(bool) override { }
    void redrawRangeColouring() override { }
    void clearWorldViewHighlight() override { }
    void resetWorldForConnect() override { ++worldResets; }
    void requestStopAllIgrSessions() override { }
    bool inGame { false };
    int32_t worldResets { 0 };
};

class RecordingWorld final : public ShardWorldState {
public:
    void leaveShardWorld() override { log.push_back("leave"); }
    void saveSessionState(ShardSession& session) override { log.push_back("save " + session.name); }
    void restoreSessionState(const ShardSession& session) override { log.push_back("restore " + session.name); }
    void dropHeldItem() override { log.push_back("dropHeldItem"); }
    std::vector<std::string> log;
};

class RecordingSpeech final : public UnthrottledSpeech {
public:
    void sendSpeech(const std::string& text, uint8_t) override { spoken.push_back(text); }
    std::vector<std::string> spoken;
};

class RecordingShell final : public ClientShell {
public:
    void setWindowTitle(const std::u16string& title) override { titles.push_back(title); }
    void renderFrame() override { ++frames; }
    // Answers at once, as a player who picks `menuAnswer` (0: closes the menu).
    void chooseShard(const std::vector<ShardMenuEntry>& entries, std::function<void(int32_t)> chosen) override
    {
        menus.push_back(entries);
        if (menuAnswer != 0)
            chosen(menuAnswer);
    }
    uint16_t mapFileMask() override { return mapFiles; }
    void startDeathFade() override { ++deathFades; }
    void setGameTime(int32_t hour, int32_t minute, int32_t second) override
    {
        gameTime = std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second);
    }
    std::vector<std::u16string> titles;
    std::vector<std::vector<ShardMenuEntry>> menus;
    int32_t menuAnswer { 0 };
    int32_t frames { 0 };
    uint16_t mapFiles { 0 };
    int32_t deathFades { 0 };
    std::string gameTime;
};

// Installs the doubles and the network's wiring; undoes all of it.
class ProtocolTestState {
public:
    ProtocolTestState()
    {
        m_screens = installLoginScreens(&screens);
        m_messages = installWindowNotices(&messages);
        m_world = installShardWorldState(&world);
        m_gameState = installGameState(&gameState);
        m_speech = installUnthrottledSpeech(&speech);
        m_shell = installClientShell(&shell);
        m_routing = installSessionRouting();
        m_host = installProtocolSessionHost();
        clearPacketHandlers();
        registerProtocolHandlers();
        clearUnregisteredPacketCounts();
    }
    ~ProtocolTestState()
    {
        destroyPingMonitor();
        destroyAllSessions();
        destroyAllConnections();
        clearPacketHandlers();
        setShardSessionHost(m_host);
        setGameConnectionHandler(m_routing);
        installLoginScreens(m_screens);
        installWindowNotices(m_messages);
        installShardWorldState(m_world);
        installGameState(m_gameState);
        installUnthrottledSpeech(m_speech);
        installClientShell(m_shell);
        loginSession() = LoginSession {};
        shardList() = ShardList {};
        characterSlots().clear();
        startLocations() = StartLocationList {};
        resetConfigValues();
        setConnectionSeed(0);
        setEditServerMode(false);
        setInWorldFlag(false);
        setAppQuitting(false);
        setServerFeatures(0);
        storeCharacterListFlags(0);
    }
    ProtocolTestState(const ProtocolTestState&) = delete;
    ProtocolTestState& operator=(const ProtocolTestState&) = delete;

    fixture::ClientDirectory directory;
    RecordingScreens screens;
    RecordingMessages messages;
    RecordingWorld world;
    RecordingGameState gameState;
    RecordingSpeech speech;
    RecordingShell shell;

private:
    LoginScreens* m_screens;
    WindowNotices* m_messages;
    ShardWorldState* m_world;
    GameStateService* m_gameState;
    UnthrottledSpeech* m_speech;
    ClientShell* m_shell;
    GameConnectionHandler* m_routing;
    ShardSessionHost* m_host;
};

} // namespace test
