// The conference chat and the menubar's help button in the running
// program, against the test server's stage: in the world the menubar's
// "< ? >" opens the Context Help window, which a right click closes; the
// chat button asks the server to open chat, which puts the player into the
// lobby with its users and a robot's greeting; a typed line goes out and
// the robot answers it; the conference menu switches to the guild; the
// close button closes the window and tells the server.

#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/popup_list.h"
#include "gump/text_list.h"
#include "platform/clock.h"
#include "messenger/chat_window.h"
#include "messenger/context_help_window.h"
#include "support/stage_chat.h"
#include "windows/menubar.h"

#include "headless_client_fixture.h"
#include "stage_scenario.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

namespace {

using app_test::StageLog;
using app_test::StageScenario;

constexpr int32_t kChatButton = 5;
constexpr int32_t kContextHelpButton = 7;

std::string narrowChat(std::u16string_view text) { return std::string(text.begin(), text.end()); }

Menubar* chatMenubar()
{
    CGump* bar = gumpManager().menubar;
    return isValidGump(bar) ? static_cast<Menubar*>(bar) : nullptr;
}

std::string lastChatLine()
{
    ChatWindow* window = chatWindow();
    if (!window || window->list(ChatList::kMessages)->lineCount() == 0)
        return {};
    return narrowChat(window->list(ChatList::kMessages)->lines().back().text);
}

// A point in the middle of line `index` (oldest first) of a list as it
// shows now: the newest line's bottom is the list's height plus its
// scroll maximum less its position.
void chatLinePoint(TextList* list, int32_t index, int32_t& x, int32_t& y)
{
    int32_t bottom = list->height() + list->maxScroll() - list->scrollPos();
    for (int32_t line = list->lineCount() - 1; line > index; --line)
        bottom -= list->lines()[size_t(line)].height;
    x = list->width() / 2;
    y = bottom - list->lines()[size_t(index)].height / 2;
    list->localToScreen(x, y);
}

class ChatSession final : public StageScenario {
public:
    ChatSession(test::StageWorld& stage, StageLog& log)
        : StageScenario(stage)
        , m_log(log)
    {
    }

private:
    void clickMenubar(int32_t index)
    {
        int32_t x = 0, y = 0;
        pointOf(chatMenubar()->button(index), 10, 10, x, y);
        click(x, y);
    }

    void addSteps() override
    {
        step("the menubar in the world", nullptr, [this] { return settled(chatMenubar() != nullptr); });
        step(
            "the menubar's help button", [this] { clickMenubar(kContextHelpButton); },
            [] {
                if (!contextHelpWindow())
                    return false;
                say("the help button opens the Context Help window");
                return true;
            });
        step(
            "a right click on the help window",
            [this] {
                ContextHelpGump* help = contextHelpWindow();
                rightClick(help->x() + 10, help->y() + 10);
            },
            [] { return contextHelpWindow() == nullptr; });
        step(
            "the menubar's chat button", [this] { clickMenubar(kChatButton); },
            [this] {
                ChatWindow* window = chatWindow();
                if (!window || window->list(ChatList::kUsers)->lineCount() < 3
                    || lastChatLine() != "Robot: " + narrowChat(test::kStageChatGreeting))
                    return false;
                say("chat opens as " + narrowChat(window->ownName()) + " in "
                    + narrowChat(window->list(ChatList::kConference)->lines().back().text) + " with "
                    + std::to_string(window->list(ChatList::kUsers)->lineCount()) + " users after "
                    + std::to_string(m_log.count(0xB5)) + " request");
                say(lastChatLine());
                return true;
            });
        step(
            "a click on the input line",
            [this] {
                TextList* input = chatWindow()->list(ChatList::kInput);
                int32_t x = 0, y = 0;
                pointOf(input, input->width() / 2, input->height() / 2, x, y);
                click(x, y);
            },
            [] { return gumpFocus() == chatWindow()->list(ChatList::kInput); });
        step(
            "a typed line", [this] { type("hello robot\r"); },
            [] {
                if (lastChatLine() != "Robot: You said: hello robot")
                    return false;
                ChatWindow* window = chatWindow();
                const auto& lines = window->list(ChatList::kMessages)->lines();
                say("said: " + narrowChat(lines[lines.size() - 2].text));
                say("answered: " + lastChatLine());
                return true;
            });
        step(
            "dragging the window out from under the menubar",
            [this] {
                using platform::MessageKind;
                ChatWindow* chat = chatWindow();
                int32_t x = 0, y = 0;
                pointOf(chat, 1, chat->height() / 2, x, y);
                const uint32_t now = platform::clock().tickMs();
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x + 30, y + 40 });
                window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, x + 60, y + 80 });
                window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, x + 60, y + 80 });
            },
            [this] {
                ChatWindow* window = chatWindow();
                if (window->x() == 0 || !settled(true))
                    return false;
                say("the window was dragged by " + std::to_string(window->x()) + "," + std::to_string(window->y()));
                return true;
            });
        step(
            "the conference menu", [this] {
                int32_t x = 0, y = 0;
                CGump* arrow = chatWindow()->arrowButton(0);
                pointOf(arrow, arrow->width() / 2, arrow->height() / 2, x, y);
                click(x, y);
            },
            [] { return chatWindow()->popup(0) != nullptr; });
        step(
            "the guild in the menu",
            [this] {
                PopupList* menu = chatWindow()->popup(0);
                int32_t x = 0, y = 0;
                chatLinePoint(menu->list(), 2, x, y);
                click(x, y);
            },
            [] {
                ChatWindow* window = chatWindow();
                const std::string conference
                    = narrowChat(window->list(ChatList::kConference)->lines().back().text);
                if (conference != narrowChat(test::kStageChatGuild) || window->popup(0))
                    return false;
                say("the menu joins " + conference + ": " + lastChatLine());
                return true;
            });
        step(
            "the divider's grip taken",
            [this] {
                ChatWindow* chat = chatWindow();
                CGump* grip = chat->splitGrip();
                // The grip's picture is not solid: press a point of it that takes the press.
                const ScreenRect rect = grip->screenRect();
                for (int32_t y = rect.top; y < rect.bottom && !m_gripX; ++y)
                    for (int32_t x = rect.left; x < rect.right && !m_gripX; ++x)
                        if (chat->findChildAt(x - chat->x(), y - chat->y(), nullptr) == grip) {
                            m_gripX = x;
                            m_gripY = y;
                        }
                m_before = { chat->splitX(), chat->splitY() };
                click(m_gripX, m_gripY);
            },
            [] {
                CGump* outline = service<GumpPointer>().pointerCapture();
                return outline && std::string_view(outline->typeName()) == "resize gump";
            });
        // The outline's corner follows the pointer; the release moves the divider there.
        step(
            "the divider dragged", [this] { click(m_gripX - 60, m_gripY - 30); },
            [this] {
                ChatWindow* chat = chatWindow();
                if (service<GumpPointer>().pointerCapture())
                    return false;
                say("the divider moved from " + std::to_string(m_before.first) + "," + std::to_string(m_before.second)
                    + " to " + std::to_string(chat->splitX()) + "," + std::to_string(chat->splitY())
                    + ": the user list " + std::to_string(chat->userListWidth()) + " wide, the input "
                    + std::to_string(chat->inputHeight()) + " high, the window still "
                    + std::to_string(chat->width()) + "x" + std::to_string(chat->height()));
                return true;
            });
        step(
            "the close button",
            [this] {
                int32_t x = 0, y = 0;
                pointOf(chatWindow()->closeButton(), 7, 7, x, y);
                click(x, y);
            },
            [this] {
                if (chatWindow())
                    return false;
                say("the window closed, the server heard: " + lastLine());
                return true;
            });
        addQuitStep();
    }

    std::string lastLine() const
    {
        const test::WirePacket packet = m_log.last(0xB3);
        std::string text;
        for (size_t i = 7; i + 1 < packet.size() && (packet[i] || packet[i + 1]); i += 2)
            text.push_back(char(packet[i + 1]));
        return text;
    }

    StageLog& m_log;
    int32_t m_gripX = 0;
    int32_t m_gripY = 0;
    std::pair<int32_t, int32_t> m_before;
};

class HeadlessChat : public app_test::HeadlessClientTest {
protected:
    HeadlessChat()
        : HeadlessClientTest("600000")
    {
    }
};

[[noreturn]] void playChat(const std::string& directory)
{
    test::StageWorld stage;
    StageLog log;
    ChatSession session(stage, log);
    app_test::playStageScenario(directory, stage, log, session);
}

TEST_F(HeadlessChat, TheMenubarOpensHelpAndChatAndTheChatTalksWithTheServer)
{
    EXPECT_EXIT(playChat(client.path()), ::testing::ExitedWithCode(0),
        "the help button opens the Context Help window\n"
        "chat opens as Tester in Lobby with 3 users after 1 request\n"
        "Robot: Welcome to the lobby!\n"
        "said: Tester: hello robot\n"
        "answered: Robot: You said: hello robot\n"
        "the window was dragged by 60,80\n"
        "the menu joins Guild: Robot: Welcome, guild member.\n"
        "the divider moved from 440,360 to 380,318: the user list 260 wide, the input 162 high, the window still 640x480\n"
        "the window closed, the server heard: X\n");
}

} // namespace
