// Feeds arbitrary server streams through a connection's framing into the
// packet dispatcher, with the handlers the network wiring registers at
// start-up: the login, session, world object, general information, mobile
// status, combat, effect, season, war-mode, edit-server and ignored packets,
// the mahjong table, the profile window, the skills, the reading windows (books, boards, signs, help
// texts, the quest arrow, course maps, web pages), the target cursors, vendor, trade, menu, query,
// dye and tip packets of the trade windows, the house designer (designs, revisions, design mode
// and its window), the spellbook contents, spell marks and the weapon ability reset, the party
// messages into the party table of the status windows' services, the conference chat and the GM
// page-queue tools. The services above the handlers are the do-nothing
// defaults, except the screens, which always hold a character selection (so
// that no refusal ends the process), the mahjong board, which keeps a table
// open, the shard sessions' world, which is the real one with its player
// object, and the reading and spell windows' services. Each input starts from a world
// holding only that player object and an empty desktop, and the world's
// invariants are checked after each input.
//
// Input: byte 0 holds flags: bit 0 a compressed (game-server) stream, bit 1
// the stream comes from a shard behind the shown one, bit 2 that shard's
// connection is a further (secondary) one, bit 3 edit-server mode, bit 4
// attached to a game server; bits 5-7 pick the read size. The rest is the
// stream.

#include "gump/gump_manager.h"
#include "housing/house_design_services.h"
#include "mahjong/mahjong_packets.h"
#include "messenger/chat_window.h"
#include "mahjong/mahjong_table.h"
#include "net/buffered_connection.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "net/ping_monitor.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "protocol/protocol_handlers.h"
#include "protocol/protocol_services.h"
#include "protocol/session_host.h"
#include "protocol/shard_world_state.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "windows/gm_page_queue.h"
#include "windows/profile_gump.h"
#include "windows/reading_window_services.h"
#include "windows/skill_packets.h"
#include "windows/spell_window_services.h"
#include "windows/status_window_services.h"
#include "windows/trade_window_services.h"
#include "world/multi_components.h"
#include "world/object_manager.h"
#include "world/world_invariants.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

class SelectionScreens final : public LoginScreens {
public:
    bool hasCharacterSelection() override { return true; }
};

class Board final : public mahjong::MahjongBoardControl, public mahjong::MahjongTableHost {
public:
    mahjong::MahjongTable* openTable() override { return m_table.get(); }
    void openBoard(uint32_t tableSerial) override
    {
        if (!m_table)
            m_table = std::make_unique<mahjong::MahjongTable>(tableSerial, *this);
    }
    void closeBoard() override { m_table.reset(); }
    void destroyBoard() override { m_table.reset(); }
    uint32_t playerSerial() const override { return 0x77; }
    void sendRequest(uint32_t, const mahjong::MahjongRequest&) override { }
    void tileChanged(const mahjong::MahjongTile&) override { }
    void dealerChanged() override { }
    void wallBreakChanged() override { }
    void refreshBoard() override { }
    void restack(std::span<const uint8_t>) override { }

private:
    std::unique_ptr<mahjong::MahjongTable> m_table;
};

// Files the handlers write (settings, the feature word, the transfer log)
// land in a directory of the fuzzer's own.
void enterScratchDirectory()
{
    std::filesystem::path directory
        = std::filesystem::temp_directory_path() / ("vardun-dispatch-fuzz-" + std::to_string(std::rand()));
    std::filesystem::create_directories(directory);
    std::filesystem::current_path(directory);
}

void setUp()
{
    static SelectionScreens screens;
    static Board board;
    // Houses give their component lists back as the program's items do.
    static MultiComponentService multis;
    installWorldService<MultiComponents>(&multis);
    enterScratchDirectory();
    installLoginScreens(&screens);
    installSessionRouting();
    installProtocolSessionHost();
    installShardWorldState(worldShardState());
    registerProtocolHandlers();
    mahjong::installMahjongBoards(&board);
    mahjong::registerMahjongHandler();
    registerProfileHandler();
    installReadingWindowServices();
    registerSkillHandler();
    registerTradeWindowHandlers();
    housing::installHouseDesignServices();
    installSpellWindowServices();
    installStatusWindowServices();
    registerChatHandlers();
    registerGmPageQueueHandlers();
}

// The shown shard and one behind it, made again when a handler ended one.
void ensureSessions(bool secondary)
{
    const std::vector<ShardSession*>& sessions = sessionList();
    if (sessions.size() != 2 || !sessions[0]->connection || !sessions[1]->connection) {
        destroyAllSessions();
        deleteScheduledConnections();
        addShardSession("Shown", new GameConnection);
        addShardSession("Behind", new GameConnection);
    }
    for (ShardSession* session : sessionList()) {
        session->connection->resetState();
        session->closeRequested = false;
        session->deferredConnect = false;
    }
    sessionList()[1]->connection->setSecondary(secondary);
    setCurrentGameConnection(sessionList()[0]->connection);
}

void tearDown()
{
    destroyPingMonitor();
    destroyAllSessions();
    destroyAllConnections();
    initWorldObjects();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = false;
    if (!ready) {
        setUp();
        ready = true;
    }
    if (size < 1)
        return 0;
    uint8_t flags = data[0];
    // Every input starts from the same world: the player object start-up
    // makes, not yet in the world.
    initWorldObjects();
    createPlayerObject();
    // The windows the last input opened go; the reading windows name their
    // objects by serial only.
    gumpSystemShutdown();
    gumpSystemStartup();
    ensureSessions((flags & 4) != 0);
    // Registered after the session list exists, so it runs before the list
    // itself is destroyed at exit.
    static bool tearDownRegistered = false;
    if (!tearDownRegistered) {
        tearDownRegistered = true;
        std::atexit(tearDown);
    }
    setEditServerMode((flags & 8) != 0);
    loginSession().attached = (flags & 16) != 0;
    GameConnection* target = sessionList()[(flags & 2) ? 1 : 0]->connection;
    target->setCompressed((flags & 1) != 0);
    size_t readSize = 1 + size_t(flags >> 5) * 97;
    for (size_t at = 1; at < size;) {
        size_t piece = size - at < readSize ? size - at : readSize;
        size_t taken = target->receiveBytes(data + at, piece);
        // A handler that closed the connection takes nothing more.
        if (taken == 0)
            break;
        at += taken;
    }
    setCurrentSession(nullptr);
    // A shard list starts the round-trip monitor; each input ends it again.
    destroyPingMonitor();
    std::string fault = checkWorldInvariants();
    if (!fault.empty()) {
        std::fprintf(stderr, "world invariant broken: %s\n", fault.c_str());
        std::abort();
    }
    // The windows an input opened (profiles) close before the next.
    while (CGump* gump = gumpListHead())
        closeGump(gump);
    // Nothing of the world is left for the exit, whose clean-ups would
    // otherwise destroy objects after the tables they report to.
    initWorldObjects();
    return 0;
}
