// A server-described gump in the running program, met as a player meets it:
// the real client runs headless in a child process, the gump packet goes
// through the dispatcher the program registered, and the player checks a
// box and presses the reply button through the window's message queue.
#include "app/client_scenario.h"
#include "app/scenario_runner.h"
#include "fixtures/client_directory.h"
#include "fixtures/gump_art_writer.h"
#include "fixtures/sample_data_writer.h"
#include "fixtures/server_packet.h"
#include "gump/generic_gump.h"
#include "gump/gump_manager.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "startup_screens.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class ReplyScenario final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        app_test::closeStartupScreens();
        const std::string layout
            = "{resizepic 0 0 300 120 60}{checkbox 10 10 200 201 0 3}{button 40 10 100 101 1 0 5}";
        std::vector<uint8_t> packet = fixture::ServerPacket(0xB0)
                                          .u32(0x01020304)
                                          .u32(0xABCD)
                                          .u32(100)
                                          .u32(100)
                                          .u16(uint16_t(layout.size()))
                                          .bytes(std::vector<uint8_t>(layout.begin(), layout.end()))
                                          .u16(0)
                                          .bytes();
        GameConnection* connection = currentGameConnection();
        if (!connection)
            return;
        queuedBefore = connection->sendFill();
        dispatchGamePacket(*connection, packet.data());
        std::fprintf(stderr, "gump opened %s\n", gumpListHead() && gumpListHead()->is(GumpKind::GenericGump) ? "yes" : "no");
        auto& window = static_cast<platform::HeadlessWindow&>(session.window);
        const uint32_t now = platform::clock().tickMs();
        using platform::MessageKind;
        window.scheduleMessage(now + 300, { MessageKind::MouseMove, 0, 0, 113, 113 });
        window.scheduleMessage(now + 350, { MessageKind::LeftButtonDown, 1, 0, 113, 113 });
        window.scheduleMessage(now + 400, { MessageKind::LeftButtonUp, 0, 0, 113, 113 });
        window.scheduleMessage(now + 600, { MessageKind::MouseMove, 0, 0, 145, 115 });
        window.scheduleMessage(now + 650, { MessageKind::LeftButtonDown, 1, 0, 145, 115 });
        window.scheduleMessage(now + 700, { MessageKind::LeftButtonUp, 0, 0, 145, 115 });
    }

    void finished(ClientSession&) override
    {
        bool open = false;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            open = open || gump->is(GumpKind::GenericGump);
        std::fprintf(stderr, "gump closed %s\n", open ? "no" : "yes");
        GameConnection* connection = currentGameConnection();
        std::fprintf(stderr, "reply queued %u bytes\n", connection ? connection->sendFill() - queuedBefore : 0u);
        std::fflush(nullptr);
    }

    uint32_t queuedBefore = 0;
};

TEST(GenericGumpInTheProgram, PlayerChecksABoxAndAnswers)
{
    fixture::ClientDirectory client;
    test::ScopedEnvironment headless("VARDUN_HEADLESS", "1");
    test::ScopedEnvironment closeAfter("VARDUN_HEADLESS_CLOSE_MS", "1500");
    fixture::writeSampleDataSet(client.path());
    fixture::GumpArtFiles art(client, false);
    for (int32_t i = 0; i < 9; ++i)
        art.add(300 + i, fixture::solidPicture(i == 4 ? 4 : 8, i == 4 ? 4 : 8, uint16_t(0x0800 + i * 0x0C71)));
    art.add(100, fixture::solidPicture(12, 12, 0x1111));
    art.add(101, fixture::solidPicture(12, 12, 0x2222));
    art.add(200, fixture::solidPicture(9, 9, 0x3333));
    art.add(201, fixture::solidPicture(9, 9, 0x4444));
    art.write();
    client.write("vo.cfg", "MouseThread=off\n");
    ReplyScenario scenario;
    // The reply: 23 bytes and one switch, the box checked.
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "gump opened yes\n"
        "(.|\n)*gump closed yes\n"
        "reply queued 27 bytes\n");
}

} // namespace
