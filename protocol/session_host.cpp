#include "protocol/session_host.h"

#include "data/client_services.h"
#include "net/shard_sessions.h"
#include "protocol/login_road.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"

namespace {

class ProtocolSessionHost final : public ShardSessionHost {
public:
    void deferredGameConnect(uint32_t address, uint16_t port) override { ::deferredGameConnect(address, port); }
    void sendAccountLogin(GameConnection& connection) override { ::sendAccountLogin(connection); }
    bool loginServerInUse(uint32_t& address, uint16_t& port) override
    {
        address = chosenLoginAddress();
        port = chosenLoginPort();
        return address != 0;
    }
    bool isLoginFlowActive() override { return loginSession().loginInProgress; }
    bool hasEnteredWorld() override { return loginSession().loggedIn; }
    const std::string& accountName() override { return loginSession().accountName; }

    void leaveShardWorld() override { shardWorldState().leaveShardWorld(); }
    void saveSessionState(ShardSession& session) override { shardWorldState().saveSessionState(session); }
    void restoreSessionState(const ShardSession& session) override { shardWorldState().restoreSessionState(session); }

    void addSystemMessage(const std::string& text) override
    {
        windowNotices().addSystemMessage(0, kSystemMessageFont, text);
    }
    void sendSpeechUnthrottled(const std::string& text) override { unthrottledSpeech().sendSpeech(text, 0); }
    void setWindowTitle(const std::u16string& title) override { clientShell().setWindowTitle(title); }
    bool isWaitingShown() override { return loginScreens().isWaitingShown(); }
    void dropHeldItem() override { shardWorldState().dropHeldItem(); }
    void showConnectionLost() override
    {
        WaitingMessage message;
        message.text = kConnectionLostText;
        message.returnToMenu = true;
        loginScreens().showWaiting(message);
    }
    void leaveWorldOnWaitingButton() override { loginScreens().leaveWorldOnWaitingButton(); }
    void renderFrame() override { clientShell().renderFrame(); }
    void chooseShard(const std::vector<ShardMenuEntry>& entries, std::function<void(int32_t)> chosen) override
    {
        clientShell().chooseShard(entries, std::move(chosen));
    }
    void pollMessenger() override { messengerLink().poll(); }
};

} // namespace

ShardSessionHost* installProtocolSessionHost()
{
    static ProtocolSessionHost host;
    return setShardSessionHost(&host);
}
