// The world view in the running program: the real client runs headless in a
// child process on the sample data, the scene is put together through the
// world model as the world packets will, the player enters the world, and
// the frames it shows are read back from the display. The mouse goes in
// through the window's message queue.

#include "app/scenario_runner.h"
#include "app/client_scenario.h"
#include "app/hardware_survey.h"
#include "app/lifecycle_services.h"
#include "app/main_window.h"
#include "data/settings_registry.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "fixtures/sample_scene.h"
#include "frontend/front_end_flow.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/combat_packets.h"
#include "protocol/session_packets.h"
#include "gump/button.h"
#include "gump/gump_services.h"
#include "support/shown_picture.h"
#include "startup_screens.h"
#include "support/scoped_environment.h"
#include "windows/overhead_text.h"
#include "windows/paperdoll_gump.h"
#include "windows/speech_line_gump.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The packets the client queued for its server and has not sent yet (no
// server listens in these scenes), whole.
std::vector<std::vector<uint8_t>> queuedPackets()
{
    std::vector<std::vector<uint8_t>> packets;
    const GameConnection* connection = currentGameConnection();
    const uint8_t* bytes = connection ? connection->queuedBytes() : nullptr;
    const uint32_t fill = connection ? connection->sendFill() : 0;
    for (uint32_t at = 0; at < fill;) {
        const uint32_t length = packetIsVariable(bytes[at]) ? uint32_t(bytes[at + 1] << 8 | bytes[at + 2])
                                                            : packetFixedLength(bytes[at]);
        if (length == 0 || at + length > fill)
            break;
        packets.emplace_back(bytes + at, bytes + at + length);
        at += length;
    }
    return packets;
}

void enterSampleScene(ClientSession& session)
{
    app_test::closeStartupScreens();
    enterGameWorld();
    fixture::placeSampleScene(session.mainWindow.gameWidth(), session.mainWindow.gameHeight());
    fixture::openSampleSceneWindows();
}

// Runs `report` on the first gump update from `atMs` on: while the program
// still shows the world, before the headless close runs the in-game quit,
// which closes the windows.
class ReportAt final : public CGump {
public:
    ReportAt(uint32_t atMs, std::function<void()> report)
        : CGump(0, 0, nullptr, 1, 0, 0)
        , m_atMs(atMs)
        , m_report(std::move(report))
    {
    }
    bool containsPoint(int32_t, int32_t) override { return false; }
    void tick() override
    {
        if (!m_report || int32_t(platform::clock().tickMs() - m_atMs) < 0)
            return;
        std::function<void()> report = std::move(m_report);
        m_report = nullptr;
        report();
    }

private:
    uint32_t m_atMs;
    std::function<void()> m_report;
};

// The player enters the world; the first frames show it with the backpack
// and the paperdoll open.
class FirstWorldFrame final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        enterSampleScene(session);
        gumpLink(new ReportAt(platform::clock().tickMs() + 1000, [&session] { report(session); }), nullptr);
    }

private:
    static void report(ClientSession& session)
    {
        WorldViewGump* view = worldViewGump();
        std::fprintf(stderr, "world view %s\n", view && view->isVisible() ? "shown" : "hidden");
        // The gump framework sees the player in the world too (the waiting
        // box and the focus rules depend on it).
        std::fprintf(stderr, "session %s\n", service<GameSession>().isInWorld() ? "in the world" : "out");
        int32_t windows = 0;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            windows += gump->is(GumpKind::ContainerGump) || gump->is(GumpKind::Paperdoll);
        std::fprintf(stderr, "windows %d\n", windows);
        const test::ShownPicture picture
            = test::shownPicture(static_cast<platform::HeadlessDisplay&>(session.display));
        std::fprintf(stderr, "picture %016llx\n", (unsigned long long)test::keepPicture(picture, "world_first_frame.png"));
        std::fflush(nullptr);
    }
};

// Entering the world from the front end, where the window may not be
// resized and the last character's resolution is still set: the world entry
// allows resizing, puts the resolution back to the default before the
// character's settings are read (they name none), shows the speech line and
// tells an installation without its map so.
class EnteringTheWorld final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        // As a survey that found no map in the first data folder leaves it.
        hardwareSurvey().installFlags |= kMapFileMissing;
        session.mainWindow.settings().allowWindowResize = false;
        settings().setStringSetting(u"FullScreenRes", u"1024x768");
        enterSampleScene(session);
        gumpLink(new ReportAt(platform::clock().tickMs() + 500, [&session] { report(session); }), nullptr);
    }

private:
    static void report(ClientSession& session)
    {
        std::fprintf(stderr, "resize %s\n", session.mainWindow.settings().allowWindowResize ? "allowed" : "fixed");
        std::fprintf(stderr, "resolution %s\n", settings().getStringSetting(u"FullScreenRes").c_str());
        std::fprintf(stderr, "speech line %s\n", speechLineGump() ? "shown" : "missing");
        int32_t notices = 0;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            notices += std::string_view(gump->typeName()) == "YesNo gump" && gump->isVisible();
        std::fprintf(stderr, "install notices %d\n", notices);
        std::fflush(nullptr);
    }
};

// A coin is dragged out of the backpack's window and dropped on the ground
// by the player's feet: the pick-up (0x07) and the drop on the player's own
// cell (0x08 to 1504, 1624 at height 0, no container) are queued.
class DragOutOfTheBackpack final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        enterSampleScene(session);
        auto& window = static_cast<platform::HeadlessWindow&>(session.window);
        const uint32_t now = platform::clock().tickMs();
        const int32_t x = fixture::kSceneBackpackX + 60 + 5;
        const int32_t y = fixture::kSceneBackpackY + 80 + 7;
        using platform::MessageKind;
        window.scheduleMessage(now + 300, { MessageKind::MouseMove, 0, 0, x, y });
        window.scheduleMessage(now + 400, { MessageKind::LeftButtonDown, 1, 0, x, y });
        window.scheduleMessage(now + 500, { MessageKind::MouseMove, 1, 0, x + 8, y });
        window.scheduleMessage(now + 600, { MessageKind::MouseMove, 1, 0, 330, 290 });
        window.scheduleMessage(now + 700, { MessageKind::MouseMove, 1, 0, 330, 292 });
        window.scheduleMessage(now + 800, { MessageKind::LeftButtonUp, 0, 0, 330, 292 });
    }

    void finished(ClientSession&) override
    {
        for (const std::vector<uint8_t>& packet : queuedPackets()) {
            std::string line = "sent";
            char hex[4];
            for (uint8_t byte : packet) {
                std::snprintf(hex, sizeof hex, " %02X", byte);
                line += hex;
            }
            std::fprintf(stderr, "%s\n", line.c_str());
        }
        std::fflush(nullptr);
    }
};

// The player logs out to the main menu: the world view goes with the world.
class LogoutToTheMenu final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        enterSampleScene(session);
        gumpLink(new ReportAt(platform::clock().tickMs() + 500, [] {
            WorldViewGump* view = worldViewGump();
            std::fprintf(stderr, "before %s\n", view && view->isVisible() ? "shown" : "hidden");
            logoutToMainMenu();
            view = worldViewGump();
            std::fprintf(stderr, "after %s\n", view && view->isVisible() ? "shown" : "hidden");
            std::fflush(nullptr);
        }),
            nullptr);
    }
};

// A child button of a window by its up art, or null.
Button* childButton(CGump* window, int32_t upArt)
{
    for (CGump* child = window ? window->firstChild() : nullptr; child; child = child->next()) {
        if (child->is(GumpKind::Button) && static_cast<Button*>(child)->upArt() == upArt)
            return static_cast<Button*>(child);
    }
    return nullptr;
}

void clickMiddleOf(platform::HeadlessWindow& window, CGump* gump, uint32_t atMs)
{
    const ScreenRect rect = gump->screenRect();
    const int32_t x = (rect.left + rect.right) / 2;
    const int32_t y = (rect.top + rect.bottom) / 2;
    using platform::MessageKind;
    window.scheduleMessage(atMs, { MessageKind::MouseMove, 0, 0, x, y });
    window.scheduleMessage(atMs + 50, { MessageKind::LeftButtonDown, 1, 0, x, y });
    window.scheduleMessage(atMs + 100, { MessageKind::LeftButtonUp, 0, 0, x, y });
}

// The paperdoll's log-out button asks its question as the program asks it:
// the box comes up on top of every window and is drawn on the screen, and
// its Yes takes the player back to the main menu.
class LogoutQuestion final : public ClientScenario {
public:
    static constexpr int32_t kLogoutArt = 2009;
    static constexpr int32_t kYesArt = 2074;
    static constexpr int32_t kButtonsTop = 75;

    void started(ClientSession& session) override
    {
        enterSampleScene(session);
        auto& window = static_cast<platform::HeadlessWindow&>(session.window);
        const uint32_t now = platform::clock().tickMs();
        PaperdollGump* doll = player() ? findPaperdoll(*player()) : nullptr;
        Button* logout = childButton(doll, kLogoutArt);
        std::fprintf(stderr, "log-out button %s\n", logout ? "found" : "missing");
        if (!logout)
            return;
        clickMiddleOf(window, logout, now + 300);
        gumpLink(new ReportAt(now + 900, [&session, &window] {
            // The menubar is brought to the front on every frame; the
            // question is right under it.
            CGump* top = gumpListHead();
            if (top && std::string_view(top->typeName()) == "menubar")
                top = top->next();
            const bool asked = top && std::string(top->typeName()) == "YesNo gump" && top->isVisible();
            std::fprintf(stderr, "question on top %s\n", asked ? "yes" : "no");
            std::fprintf(stderr, "question drawn %s\n", asked && drawnOnScreen(session, *top) ? "yes" : "no");
            if (Button* yes = asked ? childButton(top, kYesArt) : nullptr)
                clickMiddleOf(window, yes, platform::clock().tickMs() + 100);
        }),
            nullptr);
    }

    void finished(ClientSession&) override
    {
        bool menu = false;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            menu = menu || (std::string(gump->typeName()) == "MainMenu gump" && gump->isVisible());
        std::fprintf(stderr, "main menu %s\n", menu ? "shown" : "not shown");
        std::fflush(nullptr);
    }

private:
    // Whether the display shows the box's own picture where it lies.
    static bool drawnOnScreen(ClientSession& session, CGump& box)
    {
        const test::ShownPicture picture
            = test::shownPicture(static_cast<platform::HeadlessDisplay&>(session.display));
        const GumpPage* face = box.page(0);
        if (!face)
            return false;
        int64_t same = 0;
        int64_t total = 0;
        // The text and the background above the buttons.
        for (int32_t y = 0; y < std::min(face->height, kButtonsTop); ++y) {
            for (int32_t x = 0; x < face->width; ++x) {
                const uint16_t pixel = face->pixel(x, y);
                if (pixel == 0 || box.x() + x >= picture.width || box.y() + y >= picture.height)
                    continue;
                ++total;
                same += picture.at(box.x() + x, box.y() + y) == pixel;
            }
        }
        return total > 0 && same * 10 >= total * 9;
    }
};

// The server's death notice: the game area fades frame by frame, "You are
// dead." stands in the middle of the game area while it does, and the end of
// the fade sends the resurrection choice 2 (0x2C 02).
class DeathFade final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        enterSampleScene(session);
        const uint8_t deathNotice[] = { 0x2C, 0x00 };
        handleDeathScreen(deathNotice);
        // The text comes on the 15th frame of the fade (1.5 s at a frame per
        // 100 ms) and the fade ends on the 31st.
        gumpLink(new ReportAt(platform::clock().tickMs() + 2200, [&session] { reportDeathText(session); }), nullptr);
    }

    void finished(ClientSession&) override
    {
        for (const std::vector<uint8_t>& packet : queuedPackets()) {
            if (packet[0] == 0x2C && packet.size() == 2)
                std::fprintf(stderr, "sent 2C %02X\n", packet[1]);
        }
        std::fflush(nullptr);
    }

private:
    static void reportDeathText(ClientSession& session)
    {
        const BarkGump* text = nullptr;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
            if (gump->is(GumpKind::OverheadText) && static_cast<BarkGump*>(gump)->text() == "You are dead.")
                text = static_cast<BarkGump*>(gump);
        }
        if (!text) {
            std::fprintf(stderr, "no death text\n");
        } else {
            // Its middle against the game area's, within the halving.
            const int32_t dx = text->x() + text->width() / 2 - session.mainWindow.gameWidth() / 2;
            const int32_t dy = text->y() + text->height() / 2 - session.mainWindow.gameHeight() / 2;
            const bool centred = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
            std::fprintf(stderr, "death text centred %s\n", centred ? "yes" : "no");
        }
        std::fflush(nullptr);
    }
};

class HeadlessWorld : public ::testing::Test {
protected:
    HeadlessWorld()
        : headless("VARDUN_HEADLESS", "1")
        , closeAfter("VARDUN_HEADLESS_CLOSE_MS", "1500")
    {
        fixture::writeSampleDataSet(client.path());
        // The pointer follows on the tick, not on a timer of its own.
        client.write("vo.cfg", "MouseThread=off\n");
    }

    fixture::ClientDirectory client;
    test::ScopedEnvironment headless;
    test::ScopedEnvironment closeAfter;
};

TEST_F(HeadlessWorld, TheFirstWorldFrameShowsTheSceneWithItsWindows)
{
    FirstWorldFrame scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "world view shown\n"
        "session in the world\n"
        "windows 2\n"
        "picture e43386168824d760\n");
}

TEST_F(HeadlessWorld, LoggingOutToTheMenuHidesTheWorldView)
{
    LogoutToTheMenu scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "before shown\n"
        "after hidden\n");
}

TEST_F(HeadlessWorld, EnteringTheWorldTakesEveryEntryStep)
{
    EnteringTheWorld scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "resize allowed\n"
        "resolution 640x480\n"
        "speech line shown\n"
        "install notices 1\n");
}

TEST_F(HeadlessWorld, ThePaperdollsLogOutQuestionIsShownOnTopAndItsYesLeavesTheWorld)
{
    test::ScopedEnvironment answered("VARDUN_HEADLESS_CLOSE_MS", "2500");
    LogoutQuestion scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "log-out button found\n"
        "question on top yes\n"
        "question drawn yes\n"
        "main menu shown\n");
}

TEST_F(HeadlessWorld, ACoinDraggedOutOfTheBackpackIsDroppedOnTheGround)
{
    DragOutOfTheBackpack scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "sent 07 40 00 02 01 00 01\n"
        "sent 08 40 00 02 01 05 E0 06 58 00 FF FF FF FF\n");
}

TEST_F(HeadlessWorld, TheDeathNoticeFadesShowsTheTextInTheMiddleAndSendsTheChoice)
{
    test::ScopedEnvironment fadeOver("VARDUN_HEADLESS_CLOSE_MS", "4500");
    DeathFade scenario;
    EXPECT_EXIT(test::runScenarioAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "death text centred yes\n"
        "sent 2C 02\n");
}

} // namespace
