// The messenger windows as the player works them, over the sample data's
// pictures and a connection to a recording peer: the mail list's groups,
// selection and scrolling, reading, replying, deleting mail and cards, the
// send window, the address book, the web page window, the prompts and the
// desktop layout's records.

#include "core/wide_text.h"
#include "gump/desktop_file.h"
#include "gump/desktop_services.h"
#include "gump/entry_core.h"
#include "gump/desktop_records.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "gump/mail_windows.h"
#include "gump/prompt_windows.h"
#include "messenger/message_lists.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_links.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_test_support.h"
#include "messenger/messenger_windows.h"
#include "protocol/login_state.h"
#include "support/messenger_desktop.h"
#include "support/scoped_environment.h"
#include "text/html_document.h"

#include <gtest/gtest.h>

namespace {

using messenger_test::Loopback;


std::u16string mailBlock(int32_t id, std::string_view to, std::string_view from, int32_t day, int32_t read = 0,
    std::string_view subject = "Hello")
{
    return bytesToWideString(std::to_string(id)) + u"\r\nTo: <" + bytesToWideString(to) + u"@x> \"" + bytesToWideString(to) + u"\" ()\r\nFrom: <" + bytesToWideString(from)
        + u"@x> \"" + bytesToWideString(from) + u"\" (f)\r\nDate: Mon Feb " + bytesToWideString(std::to_string(day))
        + u" 10:00:00 2003 GMT\r\nSubject: " + bytesToWideString(subject) + u" " + bytesToWideString(std::to_string(id)) + u"\r\nRead: "
        + bytesToWideString(std::to_string(read)) + u"\r\n";
}

class GmChatDouble final : public GmChatWindows {
public:
    CGump* window() override { return shown; }
    void open() override { ++opened; }
    void addLine(std::u16string_view line) override { lines.emplace_back(line); }
    void close() override { ++closed; }

    CGump* shown = nullptr;
    int32_t opened = 0;
    int32_t closed = 0;
    std::vector<std::u16string> lines;
};

class MessengerWindows : public test::MessengerDesktop {
protected:
    MessengerWindows() { tzset(); }

    // The "Messages" window opened as the program opens it, with the list
    // the service answers.
    MessageListWindow* openMessages(const std::u16string& list)
    {
        toggleMessageListWindow();
        handleMessengerLine(u"/s\r\n" + list);
        return messageListWindow();
    }
    void clickButton(MessengerWindow* window, int32_t kind)
    {
        Button* button = window->messengerButton(kind);
        ASSERT_NE(button, nullptr);
        int32_t x = 2;
        int32_t y = 2;
        button->localToScreen(x, y);
        click(x, y);
    }
    // A press on a row of the list, in its first cell.
    void clickRow(CGump* row, bool shift = false, bool control = false)
    {
        int32_t x = 40;
        int32_t y = 9;
        row->localToScreen(x, y);
        pointer.shift = shift;
        pointer.control = control;
        click(x, y);
        pointer.shift = pointer.control = false;
    }
    std::vector<GroupRow*> groupRows(MessageListControl* list)
    {
        std::vector<GroupRow*> rows;
        for (CGump* row : list->rows())
            if (std::string_view(row->typeName()) == "group row")
                rows.push_back(static_cast<GroupRow*>(row));
        return rows;
    }
    std::vector<MessageRow*> messageRows(MessageListControl* list)
    {
        std::vector<MessageRow*> rows;
        for (CGump* row : list->rows())
            if (std::string_view(row->typeName()) == "message row")
                rows.push_back(static_cast<MessageRow*>(row));
        return rows;
    }
    // The prompt the window opened over itself.
    MessengerPromptWindow* promptOf(CGump* window)
    {
        for (CGump* child = window->firstChild(); child; child = child->next())
            if (std::string_view(child->typeName()) == "messenger prompt")
                return static_cast<MessengerPromptWindow*>(child);
        return nullptr;
    }

    test::ScopedEnvironment zone { "TZ", "UTC" };
    messenger_test::RecordingNotices notices;
    Loopback loopback;
    GmChatDouble gmChat;
    ScopedService<GmChatWindows> scopedChat { gmChat };
};

TEST_F(MessengerWindows, GroupsShowOneHeaderPerRecipientUntilOneIsOpened)
{
    std::u16string list;
    for (int32_t i = 0; i < 5; ++i)
        list += mailBlock(10 + i, "Kendra", "Ilsa", 3 + i);
    list += mailBlock(20, "Brom", "Ilsa", 9);
    MessageListWindow* window = openMessages(list);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/s \r\n" }));
    MessageListControl* control = window->list();
    std::vector<GroupRow*> headers = groupRows(control);
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0]->text(), u"1 Message for Brom");
    EXPECT_EQ(headers[1]->text(), u"5 Messages for Kendra");
    EXPECT_TRUE(messageRows(control).empty());

    clickRow(headers[1]);
    EXPECT_EQ(control->selectedId(), 10);
    EXPECT_EQ(messageRows(control).size(), 5u);
    EXPECT_TRUE(groupRows(control)[1]->isExpanded());
    clickRow(groupRows(control)[1]);
    EXPECT_EQ(control->selectedId(), 0);
    EXPECT_TRUE(messageRows(control).empty());
}

TEST_F(MessengerWindows, ShiftExtendsTheSelectionAndControlShiftDoesNot)
{
    std::u16string list;
    for (int32_t i = 0; i < 5; ++i)
        list += mailBlock(10 + i, "Kendra", "Ilsa", 3 + i);
    MessageListControl* control = openMessages(list)->list();
    clickRow(groupRows(control)[0]);
    clickRow(messageRows(control)[1]);
    clickRow(messageRows(control)[3], true);
    EXPECT_EQ(control->selectedIds(), (std::vector<int32_t> { 11, 12, 13 }));
    // The selected rows are inverted from the From column on.
    MessageRow* selected = messageRows(control)[2];
    EXPECT_TRUE(selected->isSelected());
    EXPECT_FALSE(messageRows(control)[4]->isSelected());
    clickRow(messageRows(control)[4], true, true);
    EXPECT_EQ(control->selectedIds(), (std::vector<int32_t> { 14 }));
    clickRow(messageRows(control)[0], true);
    EXPECT_EQ(control->selectedIds(), (std::vector<int32_t> { 10, 11, 12, 13, 14 }));
}

TEST_F(MessengerWindows, TheListShowsWhileItWaits)
{
    MessageListWindow* window = openMessages(mailBlock(1, "A", "B", 3));
    ASSERT_EQ(groupRows(window->list()).size(), 1u);
    handleMessengerLine(u"/p");
    redrawMessageListControl();
    EXPECT_EQ(messengerState().status, MessengerStatus::Waiting);
    EXPECT_TRUE(window->list()->rows().empty());
    // Without a connection the list is not available, whatever it waited for.
    messengerState().socket.reset();
    redrawMessageListControl();
    EXPECT_EQ(messengerState().status, MessengerStatus::NotAvailable);
}

TEST_F(MessengerWindows, ScrollingStopsAtTheContentHeight)
{
    std::u16string list;
    for (int32_t i = 0; i < 40; ++i)
        list += mailBlock(100 + i, "R" + std::to_string(100 + i), "B", 3);
    MessageListControl* control = openMessages(list)->list();
    const int32_t content = control->contentHeight();
    ASSERT_GT(content, 0);
    EXPECT_EQ(content % kListRowHeight, 0);
    for (int32_t i = 0; i < 100; ++i)
        control->scrollStep(1, nullptr);
    EXPECT_EQ(control->scrollOffset(), content);
    // Only the rows inside the band exist, each 18 pixels below the last.
    const std::vector<GroupRow*> rows = groupRows(control);
    ASSERT_FALSE(rows.empty());
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i]->y(), rows[i - 1]->y() + kListRowHeight);
    EXPECT_GE(rows.front()->y(), control->listTop() + kListRowHeight);
    EXPECT_LE(rows.back()->y() + kListRowHeight, control->listBottom());
    control->scrollTo(50, 100, nullptr);
    EXPECT_EQ(control->scrollOffset(), content / 2 - (content / 2) % kListRowHeight);
    control->scrollStep(0, nullptr);
    EXPECT_EQ(control->scrollOffset() % kListRowHeight, 0);
}

TEST_F(MessengerWindows, DeletingRowsThreeToFiveDeletesThoseMailsInOrder)
{
    std::u16string list;
    for (int32_t i = 0; i < 6; ++i)
        list += mailBlock(30 + i, "Kendra", "Ilsa", 3 + i);
    MessageListWindow* window = openMessages(list);
    MessageListControl* control = window->list();
    clickRow(groupRows(control)[0]);
    clickRow(messageRows(control)[2]);
    clickRow(messageRows(control)[4], true);
    loopback.takeSent();
    clickButton(window, MessengerButton::Delete);
    MessengerPromptWindow* prompt = promptOf(window);
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->code(), PromptCode::DeleteMany);
    // A new list arrives while the question is up, in another order: the
    // answer still deletes the mails the player selected.
    std::u16string reordered;
    for (int32_t i = 5; i >= 0; --i)
        reordered += mailBlock(30 + i, i % 2 ? "Kendra" : "Brom", "Ilsa", 3 + i);
    handleMessengerLine(u"/s\r\n" + reordered);
    clickButton(prompt, MessengerButton::Ok);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/o 32\r\n", u"/o 33\r\n", u"/o 34\r\n" }));
    EXPECT_EQ(messageStore().size(), 3u);
    EXPECT_EQ(findMessage(32), -1);
    EXPECT_NE(findMessage(35), -1);
}

TEST_F(MessengerWindows, ReplyingWithoutABodyAsksForItFirst)
{
    MessageListWindow* window = openMessages(mailBlock(7, "Aldric", "Kendra", 3, 0, "Lunch"));
    MessageListControl* control = window->list();
    clickRow(groupRows(control)[0]);
    loopback.takeSent();
    clickButton(window, MessengerButton::Reply);
    clickButton(window, MessengerButton::Reply);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/r 7\r\n", u"/r 7\r\n" }));
    EXPECT_EQ(sendWindow(), nullptr);
    handleMessengerLine(u"/r\r\n7\r\nTo: <a>\r\n\r\nSee you at noon.\r\n.\r\n");
    MailEditWindow* reply = sendWindow();
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->mode(), MailEditWindow::Mode::Reply);
    EXPECT_EQ(reply->title(), u"Reply To Message");
    EXPECT_EQ(reply->subject()->text(), u"Re: Lunch 7");
    EXPECT_EQ(reply->x(), 0);
    EXPECT_EQ(reply->width(), window->width() < 450 ? 450 : window->width());
    // Answering marks the mail read.
    EXPECT_EQ(findMessageRecord(7)->readState, 1);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/j 7 1\r\n" }));
    composeAll();
    EXPECT_TRUE(window->messengerButton(MessengerButton::Reply)->isDisabled());
    EXPECT_TRUE(window->messengerButton(MessengerButton::New)->isDisabled());
}

TEST_F(MessengerWindows, ASecondPressOnTheSelectedRowReadsIt)
{
    MessageListWindow* window = openMessages(mailBlock(8, "Aldric", "Kendra", 3, 0, "News"));
    MessageListControl* control = window->list();
    clickRow(groupRows(control)[0]);
    loopback.takeSent();
    clickRow(messageRows(control)[0]);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/r 8\r\n" }));
    handleMessengerLine(u"/r\r\n8\r\nTo: <a>\r\n\r\nThe road is open.\r\n.\r\n");
    ReadMessageWindow* reader = readMessageWindow();
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->messageId(), 8);
    EXPECT_EQ(reader->body()->text(), u"The road is open.");
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/j 8 1\r\n" }));
    // Deleting from the reader deletes this mail and closes it.
    clickButton(reader, MessengerButton::Delete);
    MessengerPromptWindow* prompt = promptOf(reader);
    ASSERT_NE(prompt, nullptr);
    clickButton(prompt, MessengerButton::Ok);
    EXPECT_EQ(readMessageWindow(), nullptr);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/o 8\r\n" }));
    EXPECT_TRUE(messageStore().empty());
}

TEST_F(MessengerWindows, DeletingACardWithoutAnEntrySendsNoCardLine)
{
    handleMessengerLine(u"/b\r\n<Brom@x> \"Brom\" (smith)\r\n.\r\n");
    MessageListWindow* window = openMessages(mailBlock(40, "Aldric", "Kendra", 3) + mailBlock(41, "Aldric", "Brom", 4));
    MessageListControl* control = window->list();
    clickRow(groupRows(control)[0]);
    loopback.takeSent();
    clickButton(window, MessengerButton::DeleteCard);
    clickButton(promptOf(window), MessengerButton::Ok);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/s \r\n" }));
    EXPECT_EQ(findMessage(40), -1);
    ASSERT_EQ(addressBook().size(), 1u);
    // The service answers the request; Brom gave a card: it goes, with his
    // mail.
    handleMessengerLine(u"/s\r\n" + mailBlock(41, "Aldric", "Brom", 4));
    clickRow(groupRows(control)[0]);
    clickButton(window, MessengerButton::DeleteCard);
    clickButton(promptOf(window), MessengerButton::Ok);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/v <Brom@x> \"Brom\" (smith)\r\n", u"/s \r\n" }));
    EXPECT_TRUE(addressBook().empty());
}

TEST_F(MessengerWindows, TheSendWindowSendsOnlyAWrittenMailToAChosenRecipient)
{
    loginSession().playerName = "Aldric";
    loginSession().shardName = "Test Shard";
    messengerState().accountId = 55;
    handleMessengerLine(u"/b\r\n<kendra@x> \"Kendra\" (friend)\r\n.\r\n");
    MessageListWindow* window = openMessages(u"");
    clickButton(window, MessengerButton::New);
    MailEditWindow* mail = sendWindow();
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(mail->mode(), MailEditWindow::Mode::Send);
    EXPECT_FALSE(mail->canSend());
    // The recipient line opens the picker over the address book.
    int32_t lineX = 30;
    int32_t lineY = 10;
    mail->recipientLine()->localToScreen(lineX, lineY);
    click(lineX, lineY);
    RecipientPickerWindow* picker = recipientPickerWindow();
    ASSERT_NE(picker, nullptr);
    std::vector<CGump*> rows = picker->list()->rows();
    ASSERT_EQ(rows.size(), 1u);
    clickRow(rows[0]);
    clickButton(picker, MessengerButton::Ok);
    EXPECT_EQ(recipientPickerWindow(), nullptr);
    ASSERT_TRUE(mail->recipient());
    EXPECT_EQ(mail->recipient()->name, u"Kendra");
    EXPECT_FALSE(mail->canSend());
    type(mail->subject(), u"Hi");
    type(mail->body(), u"Meet me");
    EXPECT_TRUE(mail->canSend());
    loopback.takeSent();
    clickButton(mail, MessengerButton::Send);
    EXPECT_EQ(sendWindow(), nullptr);
    EXPECT_EQ(loopback.takeSent(),
        (std::vector<std::u16string> { u"/x\r\nTo: <kendra@x> \"Kendra\" (friend)\r\nFrom: <55@messenger.vardun.net> "
                                       u"\"Aldric of Test Shard\"\r\nSubject: Hi\r\n\r\nMeet me\r\n" }));
    loginSession() = LoginSession();
}

TEST_F(MessengerWindows, AReplyKeepsItsQuoteWhileTheIncludeToggleIsOn)
{
    handleMessengerLine(u"/b\r\n<Kendra@x> \"Kendra\" (f)\r\n.\r\n");
    MessageListWindow* window = openMessages(mailBlock(9, "Aldric", "Kendra", 3, 0, "Plans"));
    storeMessageBody(u"9\r\n\r\nThe plan.");
    clickRow(groupRows(window->list())[0]);
    clickButton(window, MessengerButton::Reply);
    MailEditWindow* reply = sendWindow();
    ASSERT_NE(reply, nullptr);
    ASSERT_TRUE(reply->recipient());
    EXPECT_TRUE(reply->includesOriginal());
    type(reply->body(), u"Yes.");
    // The player's text, then the quoted blocks.
    const std::u16string body = reply->outgoingBody();
    EXPECT_TRUE(body.starts_with(u"Yes.<BQ>")) << std::string(body.begin(), body.end());
    EXPECT_NE(body.find(u"The plan."), std::u16string::npos);
    EXPECT_TRUE(body.ends_with(u"\n</BQ>"));
    clickButton(reply, MessengerButton::Include);
    EXPECT_FALSE(reply->includesOriginal());
    EXPECT_EQ(reply->outgoingBody(), u"Yes.");
    EXPECT_NE(reply->body()->document()->flags & HtmlFlag::kFirstRunOnly, 0u);
}

TEST_F(MessengerWindows, CancellingASendWindowAsksFirst)
{
    MessageListWindow* window = openMessages(u"");
    clickButton(window, MessengerButton::New);
    MailEditWindow* mail = sendWindow();
    clickButton(mail, MessengerButton::Cancel);
    MessengerPromptWindow* prompt = promptOf(mail);
    ASSERT_NE(prompt, nullptr);
    clickButton(prompt, MessengerButton::Cancel);
    EXPECT_EQ(sendWindow(), mail);
    clickButton(mail, MessengerButton::Cancel);
    clickButton(promptOf(mail), MessengerButton::Ok);
    EXPECT_EQ(sendWindow(), nullptr);
}

TEST_F(MessengerWindows, TheAddressBookEditsAndDeletesCards)
{
    messengerState().accountId = 3;
    handleMessengerLine(u"/b\r\n<s@x> \"Support\" (\x01)\r\n<kendra@x> \"Kendra\" (friend)\r\n.\r\n");
    MessageListWindow* window = openMessages(u"");
    clickButton(window, MessengerButton::Addresses);
    AddressBookWindow* book = addressBookWindow();
    ASSERT_NE(book, nullptr);
    std::vector<CGump*> rows = book->list()->rows();
    ASSERT_EQ(rows.size(), 2u);
    // The fixed entry can be neither edited nor deleted.
    clickRow(rows[0]);
    composeAll();
    EXPECT_TRUE(book->messengerButton(MessengerButton::Edit)->isDisabled());
    EXPECT_TRUE(book->messengerButton(MessengerButton::DeleteCard)->isDisabled());
    clickRow(book->list()->rows()[1]);
    composeAll();
    EXPECT_FALSE(book->messengerButton(MessengerButton::Edit)->isDisabled());
    clickButton(book, MessengerButton::Edit);
    DescriptionEditWindow* editor = nullptr;
    for (CGump* child = book->firstChild(); child; child = child->next())
        if (std::string_view(child->typeName()) == "description editor")
            editor = static_cast<DescriptionEditWindow*>(child);
    ASSERT_NE(editor, nullptr);
    type(editor->editor(), u"");
    gumpFocus()->onKey(GumpKey::kEnd);
    for (char16_t c : std::u16string_view(u" and baker"))
        gumpFocus()->onKey(c);
    loopback.takeSent();
    clickButton(editor, MessengerButton::Ok);
    EXPECT_EQ(addressBook()[1].description, u"friend and baker");
    EXPECT_EQ(loopback.takeSent(),
        (std::vector<std::u16string> { u"/a <3@messenger.vardun.net> <kendra@x> \"Kendra\" (friend and baker)\r\n" }));
    clickButton(book, MessengerButton::DeleteCard);
    MessengerPromptWindow* prompt = promptOf(book);
    ASSERT_NE(prompt, nullptr);
    clickButton(prompt, MessengerButton::Ok);
    EXPECT_EQ(loopback.takeSent(),
        (std::vector<std::u16string> { u"/v <kendra@x> \"Kendra\" (friend and baker)\r\n", u"/s \r\n" }));
    EXPECT_EQ(addressBook().size(), 1u);
    // Closing the mail list closes the book it opened.
    closeGump(window);
    EXPECT_EQ(addressBookWindow(), nullptr);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/y \r\n" }));
}

TEST_F(MessengerWindows, TheWebPageWindowLoadsPagesAndGoesBack)
{
    toggleWebPageWindow();
    WebPageWindow* page = webPageWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->title(), u"LOADING");
    EXPECT_EQ(loopback.takeSent(),
        (std::vector<std::u16string> { u"/g http://messenger.vardun.net/default.htm\r\n" }));
    handleMessengerLine(u"/h\r\n<HTML><HEAD><TITLE>Town News</TITLE></HEAD><BODY>Fair on Sunday</BODY></HTML>");
    EXPECT_EQ(page->title(), u"Town News");
    handleMessengerLine(u"/F");
    EXPECT_EQ(page->pageView()->text(), u"Cannot load the requested page.");
    clickButton(page, MessengerButton::Back);
    EXPECT_EQ(loopback.takeSent(),
        (std::vector<std::u16string> { u"/g http://messenger.vardun.net/default.htm\r\n" }));
    composeAll();
    EXPECT_TRUE(page->messengerButton(MessengerButton::Back)->isDisabled());
    clickButton(page, MessengerButton::Back);
    EXPECT_TRUE(loopback.takeSent().empty());
}

TEST_F(MessengerWindows, AGmRequestAsksThePlayerAndOpensTheChatOnOk)
{
    handleMessengerLine(u"/ixx42 Kendra the Wise");
    EXPECT_EQ(gmChatOffer().sessionId, 42);
    EXPECT_EQ(gmChatOffer().name, u"Kendra the Wise");
    MessengerPromptWindow* prompt = nullptr;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        if (std::string_view(gump->typeName()) == "messenger prompt")
            prompt = static_cast<MessengerPromptWindow*>(gump);
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->code(), PromptCode::GmChatRequest);
    clickButton(prompt, MessengerButton::Ok);
    EXPECT_EQ(gmChat.opened, 1);
    // While the chat is open further requests change nothing, its lines go
    // to it, and the end closes it after a notice.
    auto* chatWindow = new MessengerNoticeWindow(nullptr, 100, 100, 200, 200, 0, u"");
    gmChat.shown = chatWindow;
    handleMessengerLine(u"/i  7 Other");
    EXPECT_EQ(gmChatOffer().sessionId, 42);
    handleMessengerLine(u"/m  42 Kendra hello");
    EXPECT_EQ(gmChat.lines, (std::vector<std::u16string> { u"/m  42 Kendra hello" }));
    handleMessengerLine(u"/e");
    EXPECT_EQ(gmChat.closed, 1);
    // The notice stands over the chat window's middle.
    MessengerNoticeWindow* notice = nullptr;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        if (gump != chatWindow && std::string_view(gump->typeName()) == "messenger notice")
            notice = static_cast<MessengerNoticeWindow*>(gump);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->x(), 100 + 100 - 75);
    EXPECT_EQ(notice->y(), 100 + 100 - 50);
    gmChat.shown = nullptr;
}

class AnyParent final : public CGump {
public:
    AnyParent()
        : CGump(10, 10, nullptr, 1, 500, 400)
    {
        page(0)->allocate(500, 400);
        std::fill(page(0)->pixels.begin(), page(0)->pixels.end(), uint16_t(0x1234));
    }
    bool onMessengerEvent(int32_t code, int32_t, int32_t) override
    {
        answers.push_back(code);
        return keepAsking == false;
    }
    std::vector<int32_t> answers;
    bool keepAsking = false;
};

TEST_F(MessengerWindows, ThePromptAnswersAnyParent)
{
    MessengerServices messengerServices;
    auto* parent = new AnyParent;
    gumpLink(parent, nullptr);
    GumpHandle prompt(
        service<PromptWindows>().openPrompt(parent, 215, 260, 240, 140, 0, u"<B>Leave the table?</B>", true));
    ASSERT_TRUE(prompt);
    EXPECT_EQ(prompt.get()->parent(), parent);
    EXPECT_EQ(prompt.get()->x(), 215);
    EXPECT_EQ(static_cast<MessengerPromptWindow*>(prompt.get())->frameKind(), 1);
    parent->keepAsking = true;
    clickButton(static_cast<MessengerWindow*>(prompt.get()), MessengerButton::Ok);
    EXPECT_TRUE(prompt);
    parent->keepAsking = false;
    clickButton(static_cast<MessengerWindow*>(prompt.get()), MessengerButton::Ok);
    EXPECT_FALSE(prompt);
    EXPECT_EQ(parent->answers, (std::vector<int32_t> { 0, 0 }));
    // Cancel closes it without asking.
    prompt = GumpHandle(service<PromptWindows>().openPrompt(parent, 0, 0, 240, 140, 0, u"Leave?", false));
    clickButton(static_cast<MessengerWindow*>(prompt.get()), MessengerButton::Cancel);
    EXPECT_FALSE(prompt);
    EXPECT_EQ(parent->answers.size(), 2u);
    closeGump(parent);
}

TEST_F(MessengerWindows, TheMailActionsOpenAndRestoreTheMessagesWindow)
{
    MessengerServices messengerServices;
    EXPECT_EQ(service<MailWindows>().messageListWindow(), nullptr);
    service<MailWindows>().showMessageList();
    CGump* window = service<MailWindows>().messageListWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, messageListWindow());
    EXPECT_EQ(window->x(), 120);
    window->minimize();
    loopback.takeSent();
    service<MailWindows>().showMessageList();
    EXPECT_FALSE(window->isMinimised());
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/s \r\n" }));
    closeGump(window);
}

TEST_F(MessengerWindows, TheLayoutKeepsTheWindowsAndReopensThemOverAnOpenConnection)
{
    MessengerServices messengerServices;
    DesktopWindowRect rect { 30, 40, 420, 330, 0, true };
    ASSERT_TRUE(service<DesktopWindows>().restoreMessengerWindow(DesktopRecordType::kMessageList, rect));
    MessageListWindow* window = messageListWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->x(), 30);
    EXPECT_EQ(window->width(), 420);
    rect = { 5, 6, 500, 400, 1, true };
    ASSERT_TRUE(service<DesktopWindows>().restoreMessengerWindow(DesktopRecordType::kWebPage, rect));
    ASSERT_NE(webPageWindow(), nullptr);
    EXPECT_TRUE(webPageWindow()->isMinimised());

    // The writer finds both, and no other messenger window.
    clickButton(window, MessengerButton::New);
    DesktopFileImage image;
    ASSERT_TRUE(splitDesktopFile(desktopLayoutBytes(), image));
    std::vector<DesktopEntry> messenger;
    for (const DesktopRecord& stored : image.records) {
        DesktopEntry entry;
        if (decodeDesktopRecord(stored, entry)
            && (entry.type == DesktopRecordType::kMessageList || entry.type == DesktopRecordType::kWebPage))
            messenger.push_back(entry);
    }
    ASSERT_EQ(messenger.size(), 2u);
    for (const DesktopEntry& entry : messenger) {
        if (entry.type == DesktopRecordType::kMessageList) {
            EXPECT_EQ(entry.x, 30);
            EXPECT_EQ(entry.height, 330);
        } else {
            EXPECT_EQ(entry.minimised, 1);
            EXPECT_EQ(entry.width, 500);
        }
    }
    // Writing the layout drops the mail and the book.
    parseAddressEntry(u"<a@x> \"A\" ()");
    service<DesktopWindows>().saveWindowData();
    EXPECT_TRUE(addressBook().empty());
    EXPECT_EQ(messengerState().status, MessengerStatus::Processing);

    // Without a connection the record waits for a later layout.
    closeGump(window);
    messengerState().socket.reset();
    EXPECT_FALSE(service<DesktopWindows>().restoreMessengerWindow(DesktopRecordType::kMessageList, rect));
    EXPECT_EQ(messageListWindow(), nullptr);
}

} // namespace
