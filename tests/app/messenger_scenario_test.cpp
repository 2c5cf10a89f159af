// The messenger in the running program, as a player meets it: the real
// client runs headless against the test server and the stage's messenger
// peer, which the settings name. The newcomer's layout holds the "Messages"
// window, so entering the world opens it over the messenger connection made
// after the login road named the account. The player opens a mail by
// pressing its group and then its row, opens the address book, writes a
// mail to a name of the book, which the peer answers with a mail back, moves
// the window and quits; the layout written on quitting keeps the window
// where the player left it.

#include "app/client_scenario.h"
#include "app/scenario_runner.h"
#include "fixtures/client_directory.h"
#include "gump/desktop_file.h"
#include "gump/desktop_records.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/input_control.h"
#include "messenger/message_lists.h"
#include "messenger/message_store.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_windows.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "frontend/character_selection.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/stage_messenger.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"

#include "headless_client_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using platform::MessageKind;
using test::findGump;
using test::findMessage;

constexpr uint32_t kMailSpeedUp = 5;
constexpr int32_t kMailSettleUpdates = 6;
constexpr uint32_t kMailStepLimitMs = 30000;
constexpr uint32_t kMailRetryMs = 4000;
constexpr uint32_t kMailInputMs = 2 * test::kClickPressMs;
// Where the newcomer's layout puts the "Messages" window, and how far the
// player drags it.
constexpr int32_t kListX = 220;
constexpr int32_t kListY = 60;
constexpr int32_t kDragBy = 30;

// The text in ASCII, without the line end.
std::string messengerNarrow(std::u16string_view text)
{
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r'))
        text.remove_suffix(1);
    return std::string(text.begin(), text.end());
}

// A point in the middle of a gump, on the screen.
void middleOf(CGump* gump, int32_t& x, int32_t& y)
{
    x = gump->width() / 2;
    y = gump->height() / 2;
    gump->localToScreen(x, y);
}

struct MailStep {
    const char* name;
    std::function<void()> act;
    std::function<bool()> done;
};

class MailSession final : public ClientScenario {
public:
    explicit MailSession(test::StageMessenger& peer)
        : m_peer(peer)
    {
    }

    void started(ClientSession& session) override
    {
        m_window = &static_cast<platform::HeadlessWindow&>(session.window);
        buildSteps();
        m_stepStart = platform::clock().tickMs();
    }

    void updated() override
    {
        if (m_ended || m_index >= m_steps.size())
            return;
        const uint32_t now = platform::clock().tickMs();
        MailStep& step = m_steps[m_index];
        if (!m_acted) {
            m_acted = true;
            m_actTime = now;
            if (step.act)
                step.act();
            return;
        }
        // A click's release comes a moment after its press: the next step
        // waits for it.
        if (now - m_actTime >= kMailInputMs && step.done()) {
            ++m_index;
            m_acted = false;
            m_actedAt = 0;
            m_settle = 0;
            m_stepStart = now;
            return;
        }
        if (now - m_stepStart > kMailStepLimitMs) {
            std::fprintf(stderr, "stuck at: %s\n", step.name);
            for (CGump* gump = gumpListHead(); gump; gump = gump->next())
                std::fprintf(stderr, "  gump %s\n", gump->typeName());
            for (const std::u16string& line : m_peer.received())
                std::fprintf(stderr, "  the peer heard %s\n", messengerNarrow(line.substr(0, 40)).c_str());
            m_ended = true;
            m_window->postMessage({ MessageKind::Close, 0, 0, 0, 0 });
        }
    }

private:
    void click(int32_t x, int32_t y) { test::clickAt(*m_window, x, y); }
    void clickMiddle(CGump* gump)
    {
        int32_t x = 0, y = 0;
        middleOf(gump, x, y);
        click(x, y);
    }
    void clickButton(MessengerWindow* window, int32_t kind)
    {
        if (Button* button = window ? window->messengerButton(kind) : nullptr)
            clickMiddle(button);
    }
    // A press on a row's first cell.
    void clickRow(CGump* row)
    {
        int32_t x = 40, y = kListRowHeight / 2;
        row->localToScreen(x, y);
        click(x, y);
    }
    bool settled(bool shown)
    {
        m_settle = shown ? m_settle + 1 : 0;
        return m_settle > kMailSettleUpdates;
    }
    void actOnScreen(bool shown, const std::function<void()>& action)
    {
        const uint32_t now = platform::clock().tickMs();
        if (!settled(shown) || (m_actedAt && now - m_actedAt < kMailRetryMs))
            return;
        m_actedAt = now;
        action();
    }
    template <typename Row>
    static std::vector<Row*> rowsOf(MessengerList* list, const char* typeName)
    {
        std::vector<Row*> found;
        if (!list)
            return found;
        for (CGump* row : list->rows())
            if (std::string_view(row->typeName()) == typeName)
                found.push_back(static_cast<Row*>(row));
        return found;
    }
    static MessageListControl* mailList()
    {
        MessageListWindow* window = messageListWindow();
        return window ? window->list() : nullptr;
    }
    bool peerHeard(std::u16string_view prefix) const { return !m_peer.receivedStartingWith(prefix).empty(); }

    void buildSteps()
    {
        m_steps.push_back({ "the main menu", nullptr, [this] {
                               actOnScreen(findGump("MainMenu gump") && !findGump("Splash gump") && !findMessage(),
                                   [this] {
                                       click(420, 357);
                                       test::typeText(*m_window, "tester\tsecret\r");
                                   });
                               return findGump("ShardList gump") != nullptr;
                           } });
        m_steps.push_back({ "the shard list", nullptr, [this] {
                               actOnScreen(findGump("ShardList gump") != nullptr, [this] { click(260, 104); });
                               return findGump("Login gump") != nullptr;
                           } });
        m_steps.push_back({ "the character list", nullptr, [this] {
                               auto* list = static_cast<CharacterSelectionGump*>(findGump("Login gump"));
                               actOnScreen(list && list->entry(1), [this, list] {
                                   const ScreenRect second = list->entry(1)->screenRect();
                                   test::doubleClickAt(*m_window, (second.left + second.right) / 2,
                                       (second.top + second.bottom) / 2);
                               });
                               return loginSession().loggedIn;
                           } });
        // The layout's record opens the window over the open connection; the
        // window asks for the list and the peer answers it.
        m_steps.push_back({ "the Messages window", nullptr, [this] {
                               MessageListWindow* window = messageListWindow();
                               if (!settled(window && messengerState().status == MessengerStatus::ListReceived))
                                   return false;
                               std::fprintf(stderr, "the Messages window opened at %d,%d\n", window->x(), window->y());
                               for (GroupRow* row : rowsOf<GroupRow>(mailList(), "group row"))
                                   std::fprintf(stderr, "  %s\n", messengerNarrow(row->text()).c_str());
                               return true;
                           } });
        m_steps.push_back({ "the group opened",
            [this] {
                std::vector<GroupRow*> groups = rowsOf<GroupRow>(mailList(), "group row");
                if (!groups.empty())
                    clickRow(groups[0]);
            },
            [this] { return rowsOf<MessageRow>(mailList(), "message row").size() == 2; } });
        m_steps.push_back({ "a mail read",
            [this] {
                std::vector<MessageRow*> mails = rowsOf<MessageRow>(mailList(), "message row");
                if (!mails.empty())
                    clickRow(mails[0]);
            },
            [this] {
                ReadMessageWindow* reader = readMessageWindow();
                if (!reader || !peerHeard(u"/j"))
                    return false;
                const MessageRecord* record = findMessageRecord(reader->messageId());
                std::fprintf(stderr, "read mail %d from %s: %s\n", reader->messageId(),
                    record ? messengerNarrow(record->fromName).c_str() : "?",
                    messengerNarrow(reader->body()->text().substr(0, 21)).c_str());
                std::fprintf(stderr, "the peer heard: %s, %s\n",
                    messengerNarrow(m_peer.receivedStartingWith(u"/r")[0]).c_str(),
                    messengerNarrow(m_peer.receivedStartingWith(u"/j")[0]).c_str());
                return true;
            } });
        m_steps.push_back({ "the mail closed",
            [this] { clickButton(readMessageWindow(), MessengerButton::Close); },
            [] { return readMessageWindow() == nullptr; } });
        m_steps.push_back({ "the grip taken",
            [this] {
                MessageListWindow* window = messageListWindow();
                if (Button* grip = window ? window->messengerButton(MessengerButton::Resize) : nullptr) {
                    // The grip's picture is not solid: press a point of it that takes the press.
                    const ScreenRect rect = grip->screenRect();
                    for (int32_t y = rect.top; y < rect.bottom && !m_gripX; ++y)
                        for (int32_t x = rect.left; x < rect.right && !m_gripX; ++x)
                            if (window->findChildAt(x - window->x(), y - window->y(), nullptr) == grip) {
                                m_gripX = x;
                                m_gripY = y;
                            }
                    click(m_gripX, m_gripY);
                }
            },
            [] {
                CGump* outline = service<GumpPointer>().pointerCapture();
                return outline && std::string_view(outline->typeName()) == "resize gump";
            } });
        // The outline's corner follows the pointer; the release gives the window its size.
        m_steps.push_back({ "the window stretched",
            [this] {
                click(m_gripX + 40, m_gripY + 30);
            },
            [] {
                MessageListWindow* window = messageListWindow();
                if (!window || service<GumpPointer>().pointerCapture())
                    return false;
                std::fprintf(stderr, "the Messages window stretched to %dx%d\n", window->width(), window->height());
                return true;
            } });
        m_steps.push_back({ "the address book",
            [this] { clickButton(messageListWindow(), MessengerButton::Addresses); },
            [] {
                AddressBookWindow* book = addressBookWindow();
                if (!book || addressBook().size() != 3)
                    return false;
                std::fprintf(stderr, "the address book shows %zu names\n", book->list()->rows().size());
                return true;
            } });
        m_steps.push_back({ "the address book closed",
            [this] { clickButton(addressBookWindow(), MessengerButton::Close); },
            [] { return addressBookWindow() == nullptr; } });
        m_steps.push_back({ "a new mail", [this] { clickButton(messageListWindow(), MessengerButton::New); },
            [] { return sendWindow() != nullptr; } });
        m_steps.push_back({ "the picker", [this] { clickMiddle(sendWindow()->recipientLine()); },
            [] { return recipientPickerWindow() != nullptr; } });
        m_steps.push_back({ "Kendra chosen",
            [this] {
                for (AddressRow* row : rowsOf<AddressRow>(recipientPickerWindow()->list(), "address row"))
                    if (row->entry().name == u"Kendra")
                        clickRow(row);
            },
            [this] {
                RecipientPickerWindow* picker = recipientPickerWindow();
                if (!picker || picker->messengerButton(MessengerButton::Ok)->isDisabled())
                    return false;
                clickButton(picker, MessengerButton::Ok);
                return true;
            } });
        m_steps.push_back({ "the subject", nullptr, [this] {
                               MailEditWindow* mail = sendWindow();
                               if (!mail || recipientPickerWindow() || !mail->recipient())
                                   return false;
                               clickMiddle(mail->subject());
                               test::typeText(*m_window, "Lanterns");
                               return true;
                           } });
        m_steps.push_back({ "the body", nullptr, [this] {
                               MailEditWindow* mail = sendWindow();
                               if (mail->subject()->text() != u"Lanterns")
                                   return false;
                               clickMiddle(mail->body());
                               test::typeText(*m_window, "Save me a room.");
                               return true;
                           } });
        m_steps.push_back({ "sent", nullptr, [this] {
                               MailEditWindow* mail = sendWindow();
                               if (mail && mail->canSend() && !m_sent) {
                                   m_sent = true;
                                   clickButton(mail, MessengerButton::Send);
                               }
                               return m_sent && sendWindow() == nullptr;
                           } });
        // The peer answers with a mail back and the new-mail notice; the
        // client asks for the list again.
        m_steps.push_back({ "the answer", nullptr, [this] {
                               if (!settled(messageStore().size() == 3))
                                   return false;
                               const std::u16string sent = m_peer.receivedStartingWith(u"/x")[0];
                               std::fprintf(stderr, "sent to %s: %s\n",
                                   sent.find(u"To: <kendra@") != std::u16string::npos ? "Kendra" : "someone else",
                                   sent.find(u"Subject: Lanterns\r\n\r\nSave me a room.") != std::u16string::npos
                                       ? "as written"
                                       : messengerNarrow(sent).c_str());
                               std::fprintf(stderr, "the list holds %zu mails\n", messageStore().size());
                               return true;
                           } });
        m_steps.push_back({ "the window moved",
            [this] {
                MessageListWindow* window = messageListWindow();
                const int32_t x = window->x() + window->width() / 2;
                const int32_t y = window->y() + 8;
                const uint32_t now = platform::clock().tickMs();
                m_window->postMessage({ MessageKind::MouseMove, 0, 0, x, y });
                m_window->postMessage({ MessageKind::LeftButtonDown, 1, 0, x, y });
                m_window->scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x + kDragBy / 2, y + kDragBy / 2 });
                m_window->scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, x + kDragBy, y + kDragBy });
                m_window->scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, x + kDragBy, y + kDragBy });
            },
            [] {
                MessageListWindow* window = messageListWindow();
                return window && window->x() == kListX + kDragBy && window->y() == kListY + kDragBy;
            } });
        m_steps.push_back({ "quitting", nullptr, [this] {
                               m_ended = true;
                               m_window->postMessage({ MessageKind::Close, 0, 0, 0, 0 });
                               return true;
                           } });
    }

    test::StageMessenger& m_peer;
    platform::HeadlessWindow* m_window = nullptr;
    std::vector<MailStep> m_steps;
    size_t m_index = 0;
    bool m_acted = false;
    bool m_ended = false;
    bool m_sent = false;
    int32_t m_settle = 0;
    int32_t m_gripX = 0;
    int32_t m_gripY = 0;
    uint32_t m_stepStart = 0;
    uint32_t m_actedAt = 0;
    uint32_t m_actTime = 0;
};

// The newcomer's layout: the "Messages" window alone.
void writeNewcomerLayout(const fixture::ClientDirectory& client)
{
    DesktopEntry entry;
    entry.type = DesktopRecordType::kMessageList;
    entry.x = kListX;
    entry.y = kListY;
    entry.width = 400;
    entry.height = 360;
    entry.open = 1;
    const std::vector<uint8_t> bytes = joinDesktopFile(0, { encodeDesktopRecord(entry) });
    client.write(kFirstTimeDesktopFile, std::string(bytes.begin(), bytes.end()));
}

// The "Messages" record of the layout written on quitting.
void reportWrittenLayout(const fixture::ClientDirectory& client)
{
    namespace fs = std::filesystem;
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(client.path() + "/Desktop")) {
        if (file.path().filename() != kDesktopFileName)
            continue;
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<uint8_t> bytes { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
        DesktopFileImage image;
        if (!splitDesktopFile(bytes, image))
            continue;
        for (const DesktopRecord& record : image.records) {
            DesktopEntry entry;
            if (decodeDesktopRecord(record, entry) && entry.type == DesktopRecordType::kMessageList)
                std::fprintf(stderr, "the layout keeps the Messages window at %d,%d, %dx%d\n", entry.x, entry.y,
                    entry.width, entry.height);
        }
    }
}

[[noreturn]] void mailAgainstStage(const fixture::ClientDirectory& client)
{
    test::FastClock clock(5000, kMailSpeedUp);
    platform::ScopedClock scopedClock(clock);
    test::TestShardServer server(test::stageShardConfig());
    test::StageMessenger peer;
    if (!server.isListening() || !peer.isListening())
        _exit(3);
    test::StageWorld stage;
    stage.attachTo(server);
    writeNewcomerLayout(client);
    MailSession session(peer);
    const int code = test::runClientAgainstServer(
        server, client.path(), session, "UserCentral=127.0.0.1," + std::to_string(peer.port()) + "\n");
    reportWrittenLayout(client);
    std::fflush(nullptr);
    _exit(code);
}

class HeadlessMail : public app_test::HeadlessClientTest {
protected:
    HeadlessMail()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessMail, ThePlayerReadsMailWritesToTheAddressBookAndTheLayoutKeepsTheWindow)
{
    EXPECT_EXIT(mailAgainstStage(client), ::testing::ExitedWithCode(0),
        "the Messages window opened at 220,60\n"
        "  2 Messages for Aldric\n"
        "read mail 101 from Kendra: The lantern inn keeps\n"
        "the peer heard: /r 101, /j 101 1\n"
        "the Messages window stretched to 440x378\n"
        "the address book shows 3 names\n"
        "sent to Kendra: as written\n"
        "the list holds 3 mails\n"
        "(.|\n)*the layout keeps the Messages window at 250,90, 440x378\n");
}

} // namespace
