// The line protocol: the exact line of every command, the mail's text, and
// the received lines as the connection hands them over: dispatch, the mail
// list and address list, notices, and lines refused whole.

#include "messenger/message_store.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_test_support.h"
#include "protocol/login_state.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

namespace {

using messenger_test::Loopback;
using messenger_test::RecordingNotices;

struct CommandCase {
    const char* name;
    int32_t command;
    std::u16string argument;
    std::u16string line;
};

class CommandLines : public testing::TestWithParam<CommandCase> { };

TEST_P(CommandLines, AreBuiltExactly)
{
    const CommandCase& c = GetParam();
    EXPECT_EQ(buildMessengerCommand(c.command, c.argument), c.line);
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandLines,
    testing::Values(CommandCase { "GetPage", 1, u"http://a/b.htm", u"/g http://a/b.htm\r\n" },
        CommandCase { "AddressBookKeepsItsBlank", 2, u"ignored", u"/b \r\n" },
        CommandCase { "EditAddress", 3, u"<1@d> <a> \"n\" (x)", u"/a <1@d> <a> \"n\" (x)\r\n" },
        CommandCase { "GiveCard", 4, u"<a> \"n\" (x)", u"/d <a> \"n\" (x)\r\n" },
        CommandCase { "DeleteCard", 5, u"<a> \"n\" (x)", u"/v <a> \"n\" (x)\r\n" },
        CommandCase { "Body", 6, u"17", u"/r 17\r\n" },
        CommandCase { "Mail", 7, u"To: x\r\n\r\nbody", u"/x\r\nTo: x\r\n\r\nbody\r\n" },
        CommandCase { "Delete", 8, u"17", u"/o 17\r\n" }, CommandCase { "List", 9, u"", u"/s \r\n" },
        CommandCase { "Join", 10, u"42 Kendra", u"/i 42 Kendra\r\n" },
        CommandCase { "End", 11, u"42 Kendra", u"/e 42 Kendra\r\n" },
        CommandCase { "ChatLine", 12, u"42 Kendra hi", u"/m 42 Kendra hi\r\n" },
        CommandCase { "Closed", 13, u"", u"/y \r\n" }, CommandCase { "Read", 14, u"17 1", u"/j 17 1\r\n" },
        CommandCase { "Query", 15, u"who", u"/q who\r\n" }, CommandCase { "Echo", 0, u"leaving", u"ECHO: leaving\r\n" },
        CommandCase { "AnyOther", 99, u"x", u"ECHO: x\r\n" }),
    [](const testing::TestParamInfo<CommandCase>& row) { return std::string(row.param.name); });

class ProtocolTest : public testing::Test {
protected:
    ProtocolTest() { messenger_test::resetMessenger(); }
    ~ProtocolTest() override { messenger_test::resetMessenger(); }

    RecordingNotices notices;
    test::ScopedEnvironment zone { "TZ", "UTC" };
};

TEST_F(ProtocolTest, TheListRequestMarksTheListWaitingOnlyWhenAConnectionObjectExists)
{
    EXPECT_EQ(sendMessengerCommand(MessengerCommand::RequestList, u""), 0);
    EXPECT_EQ(messengerState().status, MessengerStatus::NotAvailable);
    // A closed socket still queues the line for the next connection.
    messengerState().socket = std::make_unique<MessengerConnection>();
    EXPECT_EQ(sendMessengerCommand(MessengerCommand::RequestList, u""), 12);
    EXPECT_EQ(messengerState().status, MessengerStatus::Waiting);
    EXPECT_EQ(messengerSocket()->queuedCount(), 12);
}

TEST_F(ProtocolTest, CommandsAreComparedWithoutCase)
{
    handleMessengerLine(u"/S\r\n1\r\nTo: <a> \"A\" ()\r\nRead: 0\r\n");
    EXPECT_EQ(messageStore().size(), 1u);
    EXPECT_EQ(messengerState().status, MessengerStatus::ListReceived);
    ASSERT_EQ(notices.messages.size(), 1u);
    EXPECT_EQ(notices.messages[0], "You have a new message.");
    handleMessengerLine(u"/k The shard restarts soon.\r\nsecond line");
    handleMessengerLine(u"/K Again");
    ASSERT_EQ(notices.texts.size(), 2u);
    EXPECT_EQ(notices.texts[0], u"The shard restarts soon.");
    EXPECT_EQ(notices.texts[1], u"Again");
    EXPECT_EQ(notices.textHues[0], 43);
}

TEST_F(ProtocolTest, AnEmptyListEndsReceivedWithoutTheNewMailLine)
{
    handleMessengerLine(u"/s\r\n1\r\nTo: <a> \"A\" ()\r\nRead: 1\r\n");
    EXPECT_EQ(messageStore().size(), 1u);
    // A bare command: its argument would start past the line's end.
    handleMessengerLine(u"/s");
    EXPECT_TRUE(messageStore().empty());
    EXPECT_EQ(messengerState().status, MessengerStatus::ListReceived);
    EXPECT_TRUE(notices.messages.empty());
    handleMessengerLine(u"/K");
    ASSERT_EQ(notices.texts.size(), 1u);
    EXPECT_EQ(notices.texts[0], u"");
}

TEST_F(ProtocolTest, AnAddressListReplacesTheBook)
{
    parseAddressEntry(u"<old@x> \"Old\" ()");
    handleMessengerLine(u"/b\r\n<a@x> \"A\" (one)\r\n<b@x> \"B\" (two)\r\n.\r\n");
    ASSERT_EQ(addressBook().size(), 2u);
    EXPECT_EQ(addressBook()[0].name, u"A");
}

TEST_F(ProtocolTest, NoticeBlocksAskForTheAddressBookAndAreNotStored)
{
    Loopback loopback;
    handleMessengerLine(u"/s\r\n5\r\nFrom: \"0\"<0@0>(0)\r\nSubject: NEW_ADDRESS\r\n6\r\nTo: <a> \"A\" ()\r\n");
    EXPECT_EQ(messageStore().size(), 1u);
    EXPECT_EQ(findMessage(5), -1);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/o 5\r\n", u"/b \r\n" }));
}

TEST_F(ProtocolTest, TheNewMailNoticeAsksForTheList)
{
    Loopback loopback;
    handleMessengerLine(u"/p");
    EXPECT_EQ(messengerState().status, MessengerStatus::Waiting);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/s \r\n" }));
}

TEST_F(ProtocolTest, ADeadBodyAsksForTheListAgain)
{
    Loopback loopback;
    parseMessageList(u"17\r\nTo: <a> \"A\" ()\r\n");
    EXPECT_EQ(storeMessageBody(u"17\r\nDEAD\r\n"), -1);
    EXPECT_FALSE(findMessageRecord(17)->bodyLoaded);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/s \r\n" }));
}

TEST_F(ProtocolTest, AMailIsLaidOutWithItsSender)
{
    loginSession().accountName = "tester";
    loginSession().playerName = "Aldric";
    loginSession().shardName = "";
    messengerState().accountId = 1234;
    MailAddressing to { u"kendra@x", u"Kendra", u"friend", false, u"" };
    EXPECT_EQ(buildMailText(to, u"Hello", u"Body text"),
        u"To: <kendra@x> \"Kendra\" (friend)\r\nFrom: <1234@messenger.vardun.net> \"Aldric of Nowhere\"\r\n"
        u"Subject: Hello\r\n\r\nBody text");
    to.signWithAccount = true;
    to.senderId = u"help";
    EXPECT_EQ(buildMailText(to, u"[Enter message subject here.]", u""),
        u"To: <kendra@x> \"Kendra\" (friend)\r\nFrom: <help@messenger.vardun.net> \"tester\"\r\n"
        u"Subject: \r\n\r\n");
    loginSession() = LoginSession();
}

TEST_F(ProtocolTest, ALongQuotedMailIsSentWhole)
{
    // A reply quoting a body as long as a line may be, under the player's
    // own text and the headers, is longer than any fixed line of 32,000
    // units.
    Loopback loopback;
    const std::u16string body = std::u16string(2000, u'p') + u"<BQ>" + std::u16string(kMaxMessengerLineUnits, u'q')
        + u"\n</BQ>";
    MailAddressing to { u"kendra@x", u"Kendra", u"friend", false, u"" };
    ASSERT_GT(sendMail(to, u"Re: long", body), 0);
    const std::vector<std::u16string> sent = loopback.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_GT(sent[0].size(), 32000u);
    EXPECT_TRUE(sent[0].ends_with(u"\n</BQ>\r\n"));
}

TEST_F(ProtocolTest, ALineLongerThanTheLimitIsDropped)
{
    handleMessengerLine(u"/s\r\n1\r\nTo: <a> \"A\" ()\r\n" + std::u16string(kMaxMessengerLineUnits, u' '));
    EXPECT_TRUE(messageStore().empty());
    EXPECT_EQ(messengerState().status, MessengerStatus::NotAvailable);
    handleMessengerLine(u"/s\r\n1\r\nTo: <a> \"A\" ()\r\n");
    EXPECT_EQ(messageStore().size(), 1u);
}

struct RefusedCase {
    const char* name;
    std::u16string text;
};

class RefusedLines : public ProtocolTest, public testing::WithParamInterface<RefusedCase> { };

TEST_P(RefusedLines, ChangeNothing)
{
    parseMessageList(u"1\r\nTo: <a> \"Kept\" ()\r\n");
    parseAddressEntry(u"<k@x> \"Kept\" ()");
    const std::u16string mail = u"1\r\nTo: <a> \"New\" ()\r\n" + GetParam().text;
    handleMessengerLine(u"/s\r\n" + mail);
    handleMessengerLine(u"/b\r\n<n@x> \"New\" (" + GetParam().text + u")\r\n");
    handleMessengerLine(u"/K " + GetParam().text);
    ASSERT_EQ(messageStore().size(), 1u);
    EXPECT_EQ(messageStore()[0].toName, u"Kept");
    ASSERT_EQ(addressBook().size(), 1u);
    EXPECT_EQ(addressBook()[0].name, u"Kept");
    EXPECT_TRUE(notices.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(NotText, RefusedLines,
    testing::Values(RefusedCase { "ControlCharacter", std::u16string(1, char16_t(0x07)) },
        RefusedCase { "Backspace", std::u16string(1, char16_t(0x08)) },
        RefusedCase { "Escape", std::u16string(1, char16_t(0x1B)) },
        RefusedCase { "Delete", std::u16string(1, char16_t(0x7F)) },
        RefusedCase { "LoneHighSurrogate", std::u16string(1, char16_t(0xD800)) + u"x" },
        RefusedCase { "HighSurrogateAtTheEnd", std::u16string(1, char16_t(0xDBFF)) },
        RefusedCase { "LoneLowSurrogate", std::u16string(1, char16_t(0xDC00)) },
        RefusedCase { "NonCharacter", std::u16string(1, char16_t(0xFFFF)) }),
    [](const testing::TestParamInfo<RefusedCase>& row) { return std::string(row.param.name); });

TEST_F(ProtocolTest, PairedSurrogatesAreText)
{
    const std::u16string line = u"/K a " + std::u16string { char16_t(0xD83D), char16_t(0xDE00) };
    EXPECT_TRUE(isAcceptableMessengerLine(line));
    handleMessengerLine(line);
    EXPECT_EQ(notices.texts.size(), 1u);
}

TEST_F(ProtocolTest, UnknownCommandsAreDropped)
{
    handleMessengerLine(u"/z whatever");
    handleMessengerLine(u"");
    handleMessengerLine(u"/");
    EXPECT_TRUE(notices.texts.empty());
    EXPECT_TRUE(messageStore().empty());
}

} // namespace
