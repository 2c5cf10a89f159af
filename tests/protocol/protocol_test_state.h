#pragma once
// The process-wide state the protocol tests touch, set up and torn down in
// one place: recording doubles of the services the handlers reach, the
// sessions' routing and host, the registered handlers, a client directory
// for the settings files, and the login road's globals reset afterwards.

#include "data/login_servers.h"
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
    void showWaiting(const WaitingMessage& message) override
    {
        waitingShown = true;
        messages.push_back(message);
        log.push_back("showWaiting");
    }
    void enterWorldOnWaitingButton() override { log.push_back("enterWorldOnWaitingButton"); }
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

class RecordingMessages final : public SystemMessages {
public:
    void addSystemMessage(const std::u16string& text, uint16_t hue, uint8_t font) override
    {
        lines.push_back({ text, hue, font });
    }
    struct Line {
        std::u16string text;
        uint16_t hue;
        uint8_t font;
    };
    std::vector<Line> lines;
};

class RecordingWorld final : public ShardWorldState {
public:
    void leaveShardWorld() override { log.push_back("leave"); }
    void saveSessionState(ShardSession& session) override { log.push_back("save " + session.name); }
    void restoreSessionState(const ShardSession& session) override { log.push_back("restore " + session.name); }
    void dropHeldItem() override { log.push_back("dropHeldItem"); }
    void setUpdateRange(uint8_t range) override { log.push_back("range " + std::to_string(range)); }
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
    int32_t chooseShard(const std::vector<ShardMenuEntry>& entries) override
    {
        menus.push_back(entries);
        return menuAnswer;
    }
    std::vector<std::u16string> titles;
    std::vector<std::vector<ShardMenuEntry>> menus;
    int32_t menuAnswer { 0 };
    int32_t frames { 0 };
};

// Installs the doubles and the network's wiring; undoes all of it.
class ProtocolTestState {
public:
    ProtocolTestState()
    {
        m_screens = installLoginScreens(&screens);
        m_messages = installSystemMessages(&messages);
        m_world = installShardWorldState(&world);
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
        installSystemMessages(m_messages);
        installShardWorldState(m_world);
        installUnthrottledSpeech(m_speech);
        installClientShell(m_shell);
        loginSession() = LoginSession {};
        shardList() = ShardList {};
        characterSlots().clear();
        startLocations() = StartLocationList {};
        loginServers() = LoginServerList {};
        loginServerIndex() = -1;
        editServerAddress() = ServerAddress {};
        setConnectionSeed(0);
        setEditServerMode(false);
        setInWorldFlag(false);
        setAppQuitting(false);
        setServerFeatures(0);
    }
    ProtocolTestState(const ProtocolTestState&) = delete;
    ProtocolTestState& operator=(const ProtocolTestState&) = delete;

    fixture::ClientDirectory directory;
    RecordingScreens screens;
    RecordingMessages messages;
    RecordingWorld world;
    RecordingSpeech speech;
    RecordingShell shell;

private:
    LoginScreens* m_screens;
    SystemMessages* m_messages;
    ShardWorldState* m_world;
    UnthrottledSpeech* m_speech;
    ClientShell* m_shell;
    GameConnectionHandler* m_routing;
    ShardSessionHost* m_host;
};

} // namespace test
