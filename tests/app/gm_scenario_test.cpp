// The GM page-queue tools in the running program, against the test server's
// stage: a character of the "gm" account enters the world, hears that one
// call waits and is given it; the call view shows it and the world marks the
// customer. The view's right button opens the GM's actions: "Find Player"
// takes the GM beside her; "Escalate" opens the escalation window, whose
// text goes to the server with the call, and the queue hands the call back
// escalated; "Lost Pet" closes that call through the queue command, and the
// customer's mark goes with it.

#include "fixtures/sample_scene.h"
#include "gump/control_gump.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "gump/popup_list.h"
#include "gump/text_list.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "protocol/session_packets.h"
#include "support/stage_gm.h"
#include "support/test_shard_server.h"
#include "text/html_document.h"
#include "windows/escalate_gump.h"
#include "windows/gm_page_queue.h"
#include "windows/journal.h"
#include "world/mobile.h"
#include "world/mobile_services.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include "headless_client_fixture.h"
#include "stage_scenario.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

using app_test::StageLog;
using app_test::StageScenario;

// How long a menu waits between two presses on its scroll arrow.
constexpr uint32_t kGmArrowPauseMs = 400;

std::string gmNarrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

CGump* gmPointerMenu()
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (std::string_view(gump->typeName()) == "pointer menu")
            return gump;
    }
    return nullptr;
}

EscalateGump* gmEscalateWindow()
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::Escalate))
            return static_cast<EscalateGump*>(gump);
    }
    return nullptr;
}

// The call view's text as it reads, its lines joined by '/'.
std::string gmCallText()
{
    HtmlView* view = gmCallView();
    HtmlDocument* document = view ? view->document() : nullptr;
    std::string text;
    if (document) {
        for (const HtmlRun& run : document->runs())
            for (char16_t c : run.text)
                text.push_back(c == u'\n' ? '/' : char(c));
    }
    return text;
}

bool gmJournalHas(std::string_view line)
{
    for (const JournalEntry& entry : journal().entries()) {
        if ((entry.wide ? gmNarrow(entry.text) : entry.narrow).find(line) != std::string::npos)
            return true;
    }
    return false;
}

std::string gmHex(const test::WirePacket& bytes)
{
    std::string text;
    char digits[4];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

class GmSession final : public StageScenario {
public:
    GmSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
        m_login = std::string(test::kStageGmAccount) + "\tsecret";
    }

private:
    void openMenu()
    {
        HtmlView* view = gmCallView();
        int32_t x = 0, y = 0;
        pointOf(view, view->width() / 2, view->height() / 2, x, y);
        rightClick(x, y);
    }

    // Clicks the menu's line once it shows, pressing the menu's scroll arrow
    // until it does; true once the line was clicked.
    bool chooseLine(std::u16string_view label)
    {
        if (m_chosen)
            return true;
        CGump* menu = gmPointerMenu();
        auto* popup = menu ? static_cast<PopupList*>(menu->firstChild()) : nullptr;
        TextList* list = popup ? popup->list() : nullptr;
        if (!list)
            return false;
        // A press waits until the last one's button is up again.
        const uint32_t now = platform::clock().tickMs();
        if (now - m_arrowAt <= kGmArrowPauseMs)
            return false;
        int32_t top = -list->scrollPos();
        for (const TextListLine& line : list->lines()) {
            if (line.text != label) {
                top += line.height;
                continue;
            }
            if (top >= 0 && top + line.height <= list->height()) {
                int32_t x = 0, y = 0;
                pointOf(list, list->width() / 2, top + line.height / 2, x, y);
                click(x, y);
                m_chosen = true;
            } else {
                m_arrowAt = now;
                CGump* arrow = popup->scrollBar()->parts().downButton();
                int32_t x = 0, y = 0;
                pointOf(arrow, arrow->width() / 2, arrow->height() / 2, x, y);
                click(x, y);
            }
            break;
        }
        return m_chosen;
    }

    void choose(const char* name, std::u16string_view label, std::function<bool()> done)
    {
        step(name, [this] { m_chosen = false; },
            [this, label, done = std::move(done)] { return chooseLine(label) && done(); });
    }

    void addSteps() override
    {
        step("the page call", nullptr, [] {
            if (!gmCallView() || !gmJournalHas("There is currently 1 call in the global queue that you can answer."))
                return false;
            say("the queue: one call; the call view: " + gmCallText());
            say("the world marks the customer " + std::to_string(worldService<MobileHighlights>().gmCustomerSerial())
                + " (Mirela is " + std::to_string(fixture::kSceneWomanSerial) + ")");
            return true;
        });
        step("the call menu", [this] { openMenu(); }, [] { return gmPointerMenu() != nullptr; });
        choose("Find Player", u"Find Player", [this] {
            int32_t x = 0, y = 0;
            const PlayerMobile* self = player();
            if (!self || !m_stage.cellOf(fixture::kSceneWomanSerial, x, y) || self->x != x + 1 || self->y != y)
                return false;
            say("Find Player said " + spoken() + " and the GM stands beside Mirela");
            return true;
        });
        step("the call menu again", [this] { openMenu(); }, [] { return gmPointerMenu() != nullptr; });
        choose("Done", u"Done...", [] { return gmPointerMenu() != nullptr; });
        choose("Escalate", u"Escalate", [] {
            if (!gmEscalateWindow() || gmPointerMenu())
                return false;
            say(std::string("the escalation window opens, the call view ") + (gmCallView() ? "stays" : "went"));
            return true;
        });
        step(
            "the escalation text",
            [this] {
                EscalateGump* window = gmEscalateWindow();
                int32_t x = 0, y = 0;
                pointOf(window, window->width() / 2, 150, x, y);
                click(x, y);
            },
            [this] {
                EscalateGump* window = gmEscalateWindow();
                if (!window->isEditing() || !settled(true))
                    return false;
                type("Needs a senior GM");
                return true;
            });
        step(
            "the escalate button",
            [this] {
                CGump* button = gmEscalateWindow()->button(EscalateGump::kEscalate);
                int32_t x = 0, y = 0;
                pointOf(button, button->width() / 2, button->height() / 2, x, y);
                click(x, y);
            },
            [this] {
                if (gmEscalateWindow() || !gmCallView() || !currentGmCall().isEscalated())
                    return false;
                say("the server heard " + gmHex(m_log.last(0x12)));
                say("the call comes back escalated: " + gmCallText());
                return true;
            });
        step("the escalated call's menu", [this] { openMenu(); }, [] { return gmPointerMenu() != nullptr; });
        choose("Done for it", u"Done...", [] { return gmPointerMenu() != nullptr; });
        choose("Lost Pet", u"Lost Pet", [this] {
            if (gmCallView() || gmPointerMenu()
                || !gmJournalHas("There are currently 0 calls in the global queue that you can answer."))
                return false;
            PacketStorage<1024> expected;
            buildGmQueueCommandPacket(expected, test::kStageGmEscalatedId, "CLOSE", u"35", u"No Details");
            const test::WirePacket heard = m_log.last(0x12);
            const test::WirePacket built(expected.data(), expected.data() + expected.length());
            say(std::string("Lost Pet sent the queue command ") + (heard == built ? "as built" : "otherwise: " + gmHex(heard))
                + "; the queue is empty, the view closed, the mark "
                + std::to_string(worldService<MobileHighlights>().gmCustomerSerial()));
            return true;
        });
        addQuitStep();
    }

    // The last line the GM spoke.
    std::string spoken() const
    {
        return gmNarrow(test::spokenText(m_log.last(0xAD)));
    }

    StageLog& m_log;
    bool m_chosen = false;
    uint32_t m_arrowAt = 0;
};

class HeadlessGm : public app_test::HeadlessClientTest {
protected:
    HeadlessGm()
        : HeadlessClientTest("600000")
    {
    }
};

[[noreturn]] void playGm(const std::string& directory)
{
    test::StageWorld stage;
    StageLog log;
    GmSession session(stage, log);
    // Any account logs in, as on ./run.sh's server.
    test::TestShardConfig config = test::stageShardConfig();
    config.acceptAnyAccount = true;
    app_test::playStageScenario(directory, stage, log, session, config);
}

TEST_F(HeadlessGm, TheGmAnswersAPageCallEscalatesItAndClosesIt)
{
    EXPECT_EXIT(playGm(client.path()), ::testing::ExitedWithCode(0),
        "the queue: one call; the call view: Customer: Mirela .*\n"
        "the world marks the customer 769 \\(Mirela is 769\\)\n"
        "Find Player said =go #769 and the GM stands beside Mirela\n"
        "the escalation window opens, the call view stays\n"
        "the server heard 12[0-9A-F]{4}EF31340000224E006500650064007300.*\n"
        "the call comes back escalated: .*ID: GQ-7/.*Type: Stuck, escalated/.*\n"
        "Lost Pet sent the queue command as built; the queue is empty, the view closed, the mark 0\n");
}

} // namespace
