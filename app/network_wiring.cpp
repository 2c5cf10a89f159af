#include "app/network_wiring.h"

#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/survey_report.h"
#include "core/wide_text.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/server_features.h"
#include "gump/pointer_menu.h"
#include "mahjong/mahjong_packets.h"
#include "net/buffered_connection.h"
#include "net/network_pump.h"
#include "net/ping_monitor.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "protocol/protocol_handlers.h"
#include "protocol/protocol_services.h"
#include "protocol/session_host.h"
#include "protocol/shard_world_state.h"

namespace {

// The main window's part of the shell. The platform has no pop-up menu of
// its own, so the shard menu is the client's own, drawn at the pointer.
class AppClientShell final : public ClientShell {
public:
    void setShell(const NetworkShell& shell) { m_shell = shell; }

    void setWindowTitle(const std::u16string& title) override
    {
        if (!m_shell.mainWindow)
            return;
        // The titles are narrow text widened byte by byte.
        std::string narrow;
        for (char16_t unit : title)
            narrow.push_back(char(unit & 0xFF));
        m_shell.mainWindow->setWindowTitle(narrow.empty() ? nullptr : narrow.c_str());
    }
    void renderFrame() override
    {
        if (m_shell.renderFrame)
            m_shell.renderFrame();
    }
    void sendMetricsHourly() override { ::sendMetricsHourly(); }
    void chooseShard(const std::vector<ShardMenuEntry>& entries, std::function<void(int32_t)> chosen) override
    {
        std::vector<PointerMenuItem> items;
        for (const ShardMenuEntry& entry : entries)
            items.push_back({ bytesToWideString(entry.label), entry.socketHandle, entry.greyed });
        openPointerMenu(std::move(items), std::move(chosen));
    }
    uint16_t mapFileMask() override { return m_shell.mapFileMask; }
    void startDeathFade() override
    {
        if (m_shell.startDeathFade)
            m_shell.startDeathFade();
    }
    void setGameTime(int32_t hour, int32_t minute, int32_t second) override
    {
        GameClock& clock = gameTick().gameClock();
        clock.hour = hour;
        clock.minute = minute;
        clock.subMinute = second;
    }

private:
    NetworkShell m_shell;
};

AppClientShell& appClientShell()
{
    static AppClientShell shell;
    return shell;
}

} // namespace

void wireNetwork(MainLoop& loop, GameTick& tick, const NetworkShell& shell)
{
    // The login servers, the edit server and its mode came with the settings
    // read at start-up; the road takes the account from them.
    LoginSession& session = loginSession();
    session.accountName = configFiles().accountName();
    session.accountLastName = configValues().accountLastName;
    session.nextLoginKey = configValues().nextLoginKey;
    setServerFeatures(readEntitledFile());

    appClientShell().setShell(shell);
    installClientShell(&appClientShell());
    installSessionRouting();
    installProtocolSessionHost();
    installShardWorldState(worldShardState());
    registerProtocolHandlers();
    mahjong::registerMahjongHandler();

    MainWindow* mainWindow = shell.mainWindow;
    loop.setNetworkPump([mainWindow](uint32_t maxWaitMs, std::span<const int32_t> windowDescriptors) {
        if (mainWindow && mainWindow->quitRequested())
            setAppQuitting(true);
        return pollConnections(maxWaitMs, windowDescriptors);
    });
    tick.setStep(TickStep::SendKeepAlive, sendKeepAlive);
}

void shutDownNetwork()
{
    destroyPingMonitor();
    destroyAllSessions();
}
