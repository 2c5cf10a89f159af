// The mail store and the address book: the order lists and books are kept
// in, the mail dates and their zones, the bounds, the bodies, and the
// delimited fields every line is read with.

#include "core/wide_text.h"
#include "messenger/message_store.h"
#include "messenger/messenger_test_support.h"
#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {


std::u16string block(int32_t id, std::string_view to, std::string_view from, std::string_view date,
    std::string_view subject, std::string_view read = "Read: 0")
{
    return bytesToWideString(std::to_string(id)) + u"\r\nTo: <" + bytesToWideString(to) + u"@x> \"" + bytesToWideString(to) + u"\" (t)\r\nFrom: <"
        + bytesToWideString(from) + u"@x> \"" + bytesToWideString(from) + u"\" (f)\r\nDate: " + bytesToWideString(date) + u"\r\nSubject: " + bytesToWideString(subject)
        + u"\r\n" + bytesToWideString(read) + u"\r\n";
}

class MessageStoreTest : public testing::Test {
protected:
    MessageStoreTest() { messenger_test::resetMessenger(); }
    ~MessageStoreTest() override { messenger_test::resetMessenger(); }

    test::ScopedEnvironment zone { "TZ", "UTC" };
};

TEST_F(MessageStoreTest, MailIsGroupedByRecipientAndOrderedByDate)
{
    tzset();
    parseMessageList(block(3, "Kendra", "Brom", "Tue Feb  4 10:00:00 2003 GMT", "newer")
        + block(1, "Brom", "Kendra", "Wed Mar  5 10:00:00 2003 GMT", "to Brom")
        + block(2, "Kendra", "Ilsa", "Mon Feb  3 10:00:00 2003 GMT", "older"));
    const std::vector<MessageRecord>& store = messageStore();
    ASSERT_EQ(store.size(), 3u);
    EXPECT_EQ(store[0].toName, u"Brom");
    EXPECT_EQ(store[1].subject, u"older");
    EXPECT_EQ(store[2].subject, u"newer");
    EXPECT_EQ(store[1].dateText, u"2/3/03");
    EXPECT_EQ(store[1].fromAddress, u"Ilsa@x");
    EXPECT_EQ(store[1].toAddress, u"Kendra@x");
}

TEST_F(MessageStoreTest, DatesAfterTheThirtyTwoBitSecondsStillSortInOrder)
{
    tzset();
    // Years since 1900 times the seconds of a year pass 2^31 long before
    // these dates; the later mail must still come later.
    parseMessageList(block(1, "Kendra", "Brom", "Sat Jan  1 00:00:00 2050 GMT", "later")
        + block(2, "Kendra", "Brom", "Tue Jan  1 00:00:00 2030 GMT", "earlier"));
    ASSERT_EQ(messageStore().size(), 2u);
    EXPECT_EQ(messageStore()[0].subject, u"earlier");
    EXPECT_GT(messageStore()[1].sortKey, int64_t(INT32_MAX));
    EXPECT_EQ(messageStore()[1].dateText, u"1/1/50");
}

TEST_F(MessageStoreTest, TheReadLineDecidesWhatCountsAsUnread)
{
    parseMessageList(block(1, "A", "B", "", "s", "Read: 0") + block(2, "A", "B", "", "s", "Read: 1")
        + block(3, "A", "B", "", "s", "Other: 1"));
    EXPECT_EQ(countUnreadMessages(), 2);
    EXPECT_EQ(findMessageRecord(2)->readState, 1);
    // An unreadable date shows nothing.
    EXPECT_EQ(findMessageRecord(1)->dateText, u"");
}

TEST_F(MessageStoreTest, AFullStoreCutsTheRestOfTheList)
{
    std::u16string list;
    for (int32_t id = 1; id <= kMaxStoredMessages + 2; ++id)
        list += block(id, "Kendra", "Brom", "Tue Feb  4 10:00:00 2003 GMT", "s");
    parseMessageList(list);
    EXPECT_EQ(int32_t(messageStore().size()), kMaxStoredMessages);
    EXPECT_EQ(findMessage(kMaxStoredMessages + 1), -1);
    EXPECT_EQ(findMessage(kMaxStoredMessages + 2), -1);
}

TEST_F(MessageStoreTest, FieldsKeepAtMostTheirLength)
{
    const std::string longName(400, 'n');
    parseMessageList(block(1, longName, "B", "", std::string(400, 's')));
    ASSERT_EQ(messageStore().size(), 1u);
    EXPECT_EQ(int32_t(messageStore()[0].toName.size()), kMessengerFieldLength);
    EXPECT_EQ(int32_t(messageStore()[0].subject.size()), kMessengerFieldLength);
}

TEST_F(MessageStoreTest, ABodyIsStoredWithoutItsEndMark)
{
    parseMessageList(block(17, "A", "B", "", "s") + block(18, "A", "B", "", "t"));
    EXPECT_EQ(storeMessageBody(u"17\r\nTo: <a> \"A\" ()\r\n\r\nHello there\r\n.\r\n"), findMessage(17));
    EXPECT_EQ(findMessageRecord(17)->body, u"Hello there");
    EXPECT_TRUE(findMessageRecord(17)->bodyLoaded);
    // Without an empty line the body is empty, and loaded.
    EXPECT_EQ(storeMessageBody(u"18\r\nTo: <a>\r\n"), findMessage(18));
    EXPECT_EQ(findMessageRecord(18)->body, u"");
    EXPECT_TRUE(findMessageRecord(18)->bodyLoaded);
    // A body for mail that is not stored stores nothing.
    EXPECT_EQ(storeMessageBody(u"99\r\n\r\nlost"), -1);
}

TEST_F(MessageStoreTest, FixedEntriesComeFirstThenEveryoneByNameAndDescription)
{
    parseAddressList(u"<k2@x> \"Kendra\" (weaver)\r\n<b@x> \"Brom\" (smith)\r\n<s@x> \"Support\" (\x03staff)\r\n"
                     u"<k1@x> \"Kendra\" (baker)\r\n<e@x> \"Empty\" ()\r\nno address \"Nobody\" (x)\r\n"
                     u".\r\n<late@x> \"After the end\" ()\r\n");
    const std::vector<AddressEntry>& book = addressBook();
    ASSERT_EQ(book.size(), 5u);
    EXPECT_EQ(book[0].name, u"Support");
    EXPECT_TRUE(book[0].fixed);
    EXPECT_EQ(book[1].name, u"Brom");
    EXPECT_EQ(book[2].name, u"Empty");
    EXPECT_FALSE(book[2].fixed);
    EXPECT_EQ(book[3].description, u"baker");
    EXPECT_EQ(book[4].description, u"weaver");
    EXPECT_EQ(addressEntryLabel(book[0]), u"Support");
    EXPECT_EQ(addressEntryLabel(book[3]), u"Kendra (baker)");
    EXPECT_EQ(addressEntryText(book[1]), u"<b@x> \"Brom\" (smith)");
}

TEST_F(MessageStoreTest, AFullBookIgnoresFurtherEntries)
{
    for (int32_t i = 0; i < kMaxAddressEntries + 3; ++i)
        parseAddressEntry(u"<a" + bytesToWideString(std::to_string(i)) + u"@x> \"N\" ()");
    EXPECT_EQ(int32_t(addressBook().size()), kMaxAddressEntries);
}

TEST_F(MessageStoreTest, DeletingOutOfRangeDoesNothing)
{
    parseMessageList(block(1, "A", "B", "", "s"));
    parseAddressEntry(u"<a@x> \"A\" ()");
    deleteMessage(5);
    deleteMessage(-1);
    deleteAddress(3);
    EXPECT_EQ(messageStore().size(), 1u);
    EXPECT_EQ(addressBook().size(), 1u);
    resetMessageList();
    EXPECT_TRUE(messageStore().empty());
}

struct DelimitedCase {
    const char* name;
    std::u16string line;
    char16_t opening;
    int32_t capacity;
    std::u16string expected;
};

class Delimited : public testing::TestWithParam<DelimitedCase> { };

TEST_P(Delimited, TakesTheTextBetweenTheMarks)
{
    const DelimitedCase& c = GetParam();
    EXPECT_EQ(extractDelimited(c.line, c.opening, c.capacity), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Fields, Delimited,
    testing::Values(DelimitedCase { "Angle", u"<a@b> \"N\" (d)", u'<', 256, u"a@b" },
        DelimitedCase { "Quote", u"<a@b> \"N\" (d)", u'"', 256, u"N" },
        DelimitedCase { "Round", u"<a@b> \"N\" (d)", u'(', 256, u"d" },
        DelimitedCase { "ClosingWithoutOpening", u"no open) here", u'(', 256, u"" },
        DelimitedCase { "Unclosed", u"(open to the end", u'(', 256, u"open to the end" },
        DelimitedCase { "StopsAtLineEnd", u"(first\r\n(second)", u'(', 256, u"first" },
        DelimitedCase { "OpeningAfterLineEnd", u"x\r\n(second)", u'(', 256, u"" },
        DelimitedCase { "Brackets", u"[in]{out}", u'{', 256, u"out" },
        DelimitedCase { "Capacity", u"<abcdef>", u'<', 4, u"abc" }),
    [](const testing::TestParamInfo<DelimitedCase>& row) { return std::string(row.param.name); });

struct ZoneCase {
    const char* name;
    const char* zone;
    bool valid;
    int32_t minutes;
};

class MailZones : public testing::TestWithParam<ZoneCase> { };

TEST_P(MailZones, GiveTheirOffset)
{
    const ZoneCase& c = GetParam();
    int32_t minutes = -1;
    EXPECT_EQ(mailZoneOffset(c.zone, minutes), c.valid);
    if (c.valid) {
        EXPECT_EQ(minutes, c.minutes);
    }
}

INSTANTIATE_TEST_SUITE_P(Words, MailZones,
    testing::Values(ZoneCase { "Eastern", "EST", true, -300 }, ZoneCase { "EasternDaylight", "EDT", true, -240 },
        ZoneCase { "Greenwich", "GMT", true, 0 }, ZoneCase { "Central", "CST", true, -360 },
        ZoneCase { "Mountain", "MDT", true, -360 }, ZoneCase { "Pacific", "PST", true, -480 },
        ZoneCase { "Universal", "UT", true, 0 }, ZoneCase { "Military", "Z", true, 0 },
        ZoneCase { "MilitaryJ", "J", false, 0 }, ZoneCase { "Unknown", "XYZ", false, 0 },
        ZoneCase { "PlusHours", "+0130", true, 90 }, ZoneCase { "MinusHours", "-0130", true, -90 },
        ZoneCase { "NotDigits", "+01a0", false, 0 }, ZoneCase { "TooLong", "EASTERN", false, 0 }),
    [](const testing::TestParamInfo<ZoneCase>& row) { return std::string(row.param.name); });

struct DateCase {
    const char* name;
    const char* text;
    int32_t result;
    int32_t month; // 0-11
    int32_t hour;
};

class MailDates : public testing::TestWithParam<DateCase> {
protected:
    test::ScopedEnvironment zone { "TZ", "UTC" };
};

TEST_P(MailDates, AreReadFieldByField)
{
    tzset();
    const DateCase& c = GetParam();
    std::tm fields {};
    ASSERT_EQ(parseMailDate(fields, c.text), c.result);
    if (c.result != 0)
        return;
    EXPECT_EQ(fields.tm_mon, c.month);
    EXPECT_EQ(fields.tm_hour, c.hour);
}

INSTANTIATE_TEST_SUITE_P(Texts, MailDates,
    testing::Values(DateCase { "Eastern", "Mon Feb  3 10:00:00 2003 EST", 0, 1, 15 },
        DateCase { "NoZoneIsUniversal", "Mon Feb  3 10:00:00 2003", 0, 1, 10 },
        DateCase { "June", "Mon Jun  3 10:00:00 2003 GMT", 0, 5, 10 },
        DateCase { "July", "Mon Jul  3 10:00:00 2003 GMT", 0, 6, 10 },
        DateCase { "January", "Mon Jan  3 10:00:00 2003 GMT", 0, 0, 10 },
        DateCase { "April", "Mon Apr  3 10:00:00 2003 GMT", 0, 3, 10 },
        DateCase { "August", "Mon Aug  3 10:00:00 2003 GMT", 0, 7, 10 },
        DateCase { "March", "Mon Mar  3 10:00:00 2003 GMT", 0, 2, 10 },
        DateCase { "May", "Mon May  3 10:00:00 2003 GMT", 0, 4, 10 },
        DateCase { "PlusZone", "Mon Feb  3 10:00:00 2003 +0130", 0, 1, 8 },
        DateCase { "Empty", "", -1, 0, 0 }, DateCase { "Blanks", "   ", -1, 0, 0 },
        DateCase { "Short", "Mon Feb", -2, 0, 0 }, DateCase { "NoSeconds", "Mon Feb  3 10:00 2003", -2, 0, 0 },
        DateCase { "BadMonth", "Mon Xyz  3 10:00:00 2003 GMT", -2, 0, 0 },
        DateCase { "BadZone", "Mon Feb  3 10:00:00 2003 J", -2, 0, 0 }),
    [](const testing::TestParamInfo<DateCase>& row) { return std::string(row.param.name); });

} // namespace
