// The messenger's windows as the screen shows them, drawn from the sample
// data's pictures and fonts: a golden of each window opened the way the
// player opens it, and the mail list's scrolling checked pixel by pixel
// against the same list unscrolled.

#include "gump/gump_manager.h"
#include "messenger/message_lists.h"
#include "messenger/message_store.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_test_support.h"
#include "messenger/messenger_windows.h"
#include "support/messenger_desktop.h"
#include "support/png_writer.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::u16string pictureDecimal(int32_t value)
{
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

std::u16string pictureMail(int32_t id, std::u16string_view from, int32_t day, int32_t read)
{
    const std::u16string number = pictureDecimal(id);
    const std::u16string dayText = pictureDecimal(day);
    return number + u"\r\nTo: <aldric@x> \"Aldric\" ()\r\nFrom: <f@x> \"" + std::u16string(from)
        + u"\" ()\r\nDate: Mon Feb " + dayText + u" 10:00:00 2003 GMT\r\nSubject: Letter " + number + u"\r\nRead: "
        + (read ? u"1" : u"0") + u"\r\n";
}

class MessengerPictures : public test::MessengerDesktop {
public:
    MessengerPictures() { tzset(); }

    // The "Messages" window as the program opens it, its list answered and
    // the first group opened by a press on its header.
    MessageListWindow* openList(int32_t mails)
    {
        std::u16string list;
        for (int32_t i = 0; i < mails; ++i)
            list += pictureMail(10 + i, i % 3 ? u"Kendra" : u"Brom", 1 + i % 27, i % 2);
        toggleMessageListWindow();
        handleMessengerLine(u"/s\r\n" + list);
        MessageListWindow* window = messageListWindow();
        for (CGump* row : window->list()->rows()) {
            if (std::string_view(row->typeName()) == "group row") {
                int32_t x = 40, y = 9;
                row->localToScreen(x, y);
                click(x, y);
                break;
            }
        }
        return window;
    }
    void clickButton(MessengerWindow* window, int32_t kind)
    {
        Button* button = window->messengerButton(kind);
        ASSERT_NE(button, nullptr);
        int32_t x = button->width() / 2, y = button->height() / 2;
        button->localToScreen(x, y);
        click(x, y);
    }

protected:
    test::ScopedEnvironment zone { "TZ", "UTC" };
    messenger_test::RecordingNotices notices;
    messenger_test::Loopback loopback;
};

struct WindowPicture {
    const char* name;
    std::function<void(MessengerPictures&)> open;
    uint64_t hash;
};

class EachWindow : public MessengerPictures, public testing::WithParamInterface<WindowPicture> { };

TEST_P(EachWindow, LooksAsRecorded)
{
    GetParam().open(*this);
    composeAll();
    const std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath(std::string("messenger_") + GetParam().name + ".png"), picture.data(),
        640, 480, 640);
    const uint64_t hash = test::surfaceHash(picture.data(), 640, 480, 640);
    EXPECT_EQ(hash, GetParam().hash) << std::hex << hash;
}

INSTANTIATE_TEST_SUITE_P(Messenger, EachWindow,
    testing::Values(
        WindowPicture { "Messages", [](MessengerPictures& desk) { desk.openList(6); }, 0x35a708e1a3cf257cull },
        WindowPicture { "ReadMessage",
            [](MessengerPictures& desk) {
                MessageListWindow* window = desk.openList(3);
                storeMessageBody(u"10\r\n\r\nThe lantern inn keeps a room for you.");
                const int32_t id = window->list()->selectedId();
                window->onCommand(kReadCommand);
                ASSERT_NE(readMessageWindow(), nullptr) << id;
            },
            0x07f8a3731f3fa590ull },
        WindowPicture { "Addresses",
            [](MessengerPictures& desk) {
                handleMessengerLine(u"/b\r\n<s@x> \"Support\" (\x01)\r\n<k@x> \"Kendra\" (friend)\r\n"
                                    u"<b@x> \"Brom\" (smith)\r\n.\r\n");
                MessageListWindow* window = desk.openList(1);
                desk.clickButton(window, MessengerButton::Addresses);
            },
            0x310430ee1e80b2d5ull },
        WindowPicture { "Send",
            [](MessengerPictures& desk) {
                MessageListWindow* window = desk.openList(1);
                desk.clickButton(window, MessengerButton::New);
            },
            0x6a83fc32fd2b40d7ull },
        WindowPicture { "WebPage",
            [](MessengerPictures&) {
                toggleWebPageWindow();
                handleMessengerLine(u"/h\r\n<HTML><HEAD><TITLE>Stage Pages</TITLE></HEAD><BODY>The stage's pages: "
                                    u"<A HREF=\"news.htm\" INT>news</A>.</BODY></HTML>");
            },
            0x006f558fdc2b9aefull },
        WindowPicture { "Prompt",
            [](MessengerPictures& desk) {
                MessageListWindow* window = desk.openList(2);
                desk.clickButton(window, MessengerButton::Delete);
            },
            0x9499708d0e751867ull }),
    [](const testing::TestParamInfo<WindowPicture>& row) { return std::string(row.param.name); });

// Scrolling moves the rows by whole rows and leaves the status line where it
// is: the scrolled list is the unscrolled one shifted up, pixel for pixel,
// and no row is drawn past the list's bottom.
TEST_F(MessengerPictures, ScrollingShiftsTheRowsByWholeRows)
{
    MessageListWindow* window = openList(40);
    MessageListControl* list = window->list();
    ASSERT_GT(list->contentHeight(), list->listBottom() - list->listTop());
    composeAll();
    const std::vector<uint16_t> before = screenPicture();
    constexpr int32_t kSteps = 3;
    for (int32_t i = 0; i < kSteps; ++i)
        list->scrollStep(1, nullptr);
    ASSERT_EQ(list->scrollOffset(), kSteps * kListRowHeight);
    composeAll();
    const std::vector<uint16_t> after = screenPicture();

    int32_t left = list->listLeft(), top = list->listTop();
    list->localToScreen(left, top);
    const int32_t width = list->listRight() - list->listLeft();
    const int32_t height = list->listBottom() - list->listTop();
    const int32_t shift = kSteps * kListRowHeight;
    // Whole rows fit below the status line; the rest of the list stays empty.
    const int32_t rowsShown = (height - kListRowHeight) / kListRowHeight;
    const int32_t rowsBottom = top + kListRowHeight + rowsShown * kListRowHeight;
    auto at = [](const std::vector<uint16_t>& picture, int32_t x, int32_t y) { return picture[size_t(y) * 640 + x]; };
    int32_t differing = 0;
    for (int32_t x = left; x < left + width; ++x) {
        for (int32_t y = top; y < top + kListRowHeight; ++y)
            differing += at(after, x, y) != at(before, x, y);
        // (The list's bottom border shows through the last row's last line.)
        for (int32_t y = top + kListRowHeight; y + shift < rowsBottom - 1; ++y)
            differing += at(after, x, y) != at(before, x, y + shift);
        for (int32_t y = rowsBottom; y < top + height; ++y)
            differing += at(after, x, y) != at(before, x, y);
    }
    EXPECT_EQ(differing, 0);
    // And the picture did move: the rows that came in differ from the ones
    // that left.
    int32_t moved = 0;
    for (int32_t x = left; x < left + width; ++x)
        for (int32_t y = top + kListRowHeight; y < rowsBottom; ++y)
            moved += at(after, x, y) != at(before, x, y);
    EXPECT_GT(moved, 0);
}

} // namespace
