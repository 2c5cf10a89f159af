// Party lines and command-line words: the word table and the tell reading
// (one reading for what the line shows and what it sends), the answers to an
// invitation in and out of a party, the party requests' bytes, and the shard
// command words.

#include "data/targeting.h"
#include "speech_fixture.h"
#include "windows/party_words.h"

#include <gtest/gtest.h>

namespace test {
namespace {

constexpr uint32_t kMember = 0x00000B02;

TEST(TakeLowerWord, SplitsAtBlanksAndLowersLetters)
{
    std::string word;
    EXPECT_EQ(takeLowerWord("  NEXT abc def", word), "abc def");
    EXPECT_EQ(word, "next");
    EXPECT_EQ(takeLowerWord("T10hi", word), "");
    EXPECT_EQ(word, "t10hi");
    EXPECT_EQ(takeLowerWord("   ", word), "");
    EXPECT_EQ(word, "");
    EXPECT_EQ(takeLowerWord("a  b", word), " b") << "only the one blank that ended the word is skipped";
}

struct TellCase {
    const char* name;
    std::u16string line;
    int32_t slot; // 0: not a tell
    std::u16string message;
};

class TellReading : public testing::TestWithParam<TellCase> { };

TEST_P(TellReading, FindsTheSlotAndTheMessage)
{
    const TellCase& c = GetParam();
    std::optional<TellCommand> tell = parseTellCommand(c.line, false);
    if (c.slot == 0) {
        EXPECT_FALSE(tell.has_value());
        return;
    }
    ASSERT_TRUE(tell.has_value());
    EXPECT_EQ(tell->slot, c.slot);
    EXPECT_EQ(c.line.substr(std::min(tell->messageStart, c.line.size())), c.message);
}

INSTANTIATE_TEST_SUITE_P(Lines, TellReading,
    testing::Values(TellCase { "T3BlankHi", u"t3 hi", 3, u" hi" }, TellCase { "T3Hi", u"t3hi", 3, u"hi" },
        TellCase { "TBlank3BlankHi", u"t 3 hi", 3, u" hi" }, TellCase { "UpperT5", u"T5 yo", 5, u" yo" },
        TellCase { "T10BlankHi", u"t10 hi", 10, u" hi" }, TellCase { "T10HiIsChat", u"t10hi", 0, u"" },
        TellCase { "T0IsChat", u"t0 hi", 0, u"" }, TellCase { "T35IsChat", u"t35 hi", 0, u"" },
        TellCase { "TellMeIsChat", u"tell me", 0, u"" }, TellCase { "ListIsNoTell", u"list", 0, u"" },
        TellCase { "T3AloneHasNoMessage", u"t3", 3, u"" }),
    [](const testing::TestParamInfo<TellCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST(PartyWordTable, FirstMatchingRowGivesTheId)
{
    EXPECT_EQ(partyWordId("rem"), party_word::kRemove);
    EXPECT_EQ(partyWordId("t10"), party_word::kTellLast);
    EXPECT_EQ(partyWordId("con"), 216);
    EXPECT_EQ(partyWordId("spawn_load"), 246);
    EXPECT_EQ(partyWordId(""), -1);
    EXPECT_EQ(partyWordId("REM"), -1) << "words are looked up already lowered";
}

TEST(PartyPackets, CarryTheActionAndItsFields)
{
    auto bytes = [](const PacketBuffer& b) { return Bytes(b.data(), b.data() + b.length()); };
    PacketStorage<600> add;
    ASSERT_TRUE(buildPartyAddMemberPacket(add, 0));
    EXPECT_EQ(bytes(add), (Bytes { 0xBF, 0, 10, 0, 6, 1, 0, 0, 0, 0 }));
    PacketStorage<600> accept;
    ASSERT_TRUE(buildPartyAcceptPacket(accept, 0x01020304));
    EXPECT_EQ(bytes(accept), (Bytes { 0xBF, 0, 10, 0, 6, 8, 1, 2, 3, 4 }));
    PacketStorage<600> loot;
    ASSERT_TRUE(buildPartyLootFlagPacket(loot, 1));
    EXPECT_EQ(bytes(loot), (Bytes { 0xBF, 0, 7, 0, 6, 6, 1 }));
    PacketStorage<600> tell;
    ASSERT_TRUE(buildPartyPrivateMessagePacket(tell, 0xB02, u"hi"));
    EXPECT_EQ(bytes(tell), (Bytes { 0xBF, 0, 16, 0, 6, 3, 0, 0, 0x0B, 0x02, 0, 'h', 0, 'i', 0, 0 }));
    PacketStorage<600> chat;
    ASSERT_TRUE(buildPartyPublicMessagePacket(chat, std::u16string(200, u'x')));
    EXPECT_EQ(chat.length(), 6u + 2u * 118u + 2u) << "a public message keeps 118 units";
    PacketStorage<600> longTell;
    ASSERT_TRUE(buildPartyPrivateMessagePacket(longTell, 1, std::u16string(117, u'x')));
    EXPECT_EQ(longTell.length(), 10u + 2u * 116u + 2u) << "a private message keeps 116 units";
}

class PartyLines : public SpeechTest {
protected:
    void joinParty(int32_t playerSlot = 0)
    {
        party.serials[size_t(playerSlot)] = kPlayerSerial;
        party.serials[2] = kMember;
        party.names[2] = "Mira";
    }
    void sayInParty(std::u16string_view line)
    {
        speechEntry().setLine(line, speech_type::kParty);
        type(u"\r");
    }
    static Bytes partyHeader(uint8_t action, uint16_t length)
    {
        return { 0xBF, uint8_t(length >> 8), uint8_t(length), 0, 6, action };
    }
};

TEST_F(PartyLines, TheShownTellAndTheSentTellAgree)
{
    joinParty();
    speechEntry().setLine(u"t3 hi", speech_type::kParty);
    EXPECT_EQ(windows.line, u"Tell [Mira]:  hi_");
    type(u"\r");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], concatBytes({ partyHeader(3, 18), { 0, 0, 0x0B, 0x02 }, unitsBigEndian(u" hi"), { 0, 0 } }));

    // "t10hi" is party chat, and the line says so instead of naming slot 10.
    party.serials[9] = 0x00000B09;
    party.names[9] = "Tenth";
    speechEntry().setLine(u"t10hi", speech_type::kParty);
    EXPECT_EQ(windows.line, u"Party: t10hi_");
    type(u"\r");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], concatBytes({ partyHeader(4, 18), unitsBigEndian(u"t10hi"), { 0, 0 } }));

    speechEntry().setLine(u"t10 yo", speech_type::kParty);
    EXPECT_EQ(windows.line, u"Tell [Tenth]:  yo_");
}

TEST_F(PartyLines, OutsideAPartyLinesComeBackAsNotesToSelf)
{
    sayInParty(u"where is everyone");
    sayInParty(u"t4 x");
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "Note to self: where is everyone", "Note to self:  x" }));
    ASSERT_EQ(windows.texts.size(), 2u);
    EXPECT_EQ(windows.texts[0].kind, "system");
    EXPECT_EQ(windows.texts[0].hue, 0);
    EXPECT_EQ(windows.texts[0].font, 3);
}

TEST_F(PartyLines, TellingOneselfOrAnEmptySlot)
{
    joinParty(3); // the player stands in slot 4
    sayInParty(u"t4 x");
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "Note to self:  x" }));
    sayInParty(u"t6 nobody");
    EXPECT_TRUE(sent.empty()) << "an empty slot gets nothing";
    EXPECT_EQ(journal().entries().size(), 1u);
}

TEST_F(PartyLines, WordsThatSwallowTheLineOrAreNoPartyCommands)
{
    joinParty();
    sayInParty(u"list");
    EXPECT_TRUE(sent.empty());
    sayInParty(u"con shard");
    ASSERT_EQ(sent.size(), 1u) << "a command-line word in party mode is chat";
    EXPECT_EQ(sent[0][5], 4);
}

TEST_F(PartyLines, AddRemoveAndQuit)
{
    sayInParty(u"add");
    sayInParty(u"rem");
    sayInParty(u"quit");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], concatBytes({ partyHeader(1, 10), { 0, 0, 0, 0 } }));
    EXPECT_EQ(sent[1], concatBytes({ partyHeader(2, 10), { 0, 0, 0x0A, 0xA1 } }));
    EXPECT_EQ(journalLines(), (std::vector<std::string> { "You are not in a party." }));

    joinParty();
    sayInParty(u"REM");
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2], concatBytes({ partyHeader(2, 10), { 0, 0, 0, 0 } }));
    targetingState().targetingActive = true;
    sayInParty(u"add");
    targetingState().targetingActive = false;
    EXPECT_EQ(sent.size(), 3u) << "no add while a target cursor is up";
}

struct InvitationCase {
    const char* name;
    std::u16string word;
    bool invited;
    bool inParty;
    std::vector<uint8_t> actions; // the party actions sent
    std::string notice;
};

class Invitations : public PartyLines, public testing::WithParamInterface<InvitationCase> { };

TEST_P(Invitations, AnswerOrExplain)
{
    const InvitationCase& c = GetParam();
    party.invited = c.invited;
    party.leader = 0x00000C01;
    party.loot = 1;
    if (c.inParty)
        joinParty();
    sayInParty(c.word);
    std::vector<uint8_t> actions;
    for (const Bytes& packet : sent)
        actions.push_back(packet[5]);
    EXPECT_EQ(actions, c.actions);
    EXPECT_EQ(journalLines(), c.notice.empty() ? std::vector<std::string> {} : std::vector<std::string> { c.notice });
    EXPECT_FALSE(party.invited) << "the invitation is answered either way";
    if (c.invited && c.word == u"accept") {
        EXPECT_EQ(sent[0], concatBytes({ partyHeader(8, 10), { 0, 0, 0x0C, 0x01 } }));
        EXPECT_EQ(sent[1], concatBytes({ partyHeader(6, 7), { 1 } }));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, Invitations,
    testing::Values(InvitationCase { "AcceptInvited", u"accept", true, false, { 8, 6 }, "" },
        InvitationCase { "AcceptInParty", u"accept", false, true, {}, "You have already joined the party." },
        InvitationCase { "AcceptNobody", u"accept", false, false, {}, "No one has invited you to be in a party." },
        InvitationCase { "DeclineInvited", u"decline", true, true, { 9 }, "" },
        InvitationCase { "DeclineInParty", u"decline", false, true, {},
            "Too late to decline, you are already in the party. Try /quit." },
        InvitationCase { "DeclineNobody", u"decline", false, false, {}, "No one has invited you to be in a party." }),
    [](const testing::TestParamInfo<InvitationCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(PartyLines, PartyChatIsSentAtOnceWithoutTheThrottle)
{
    joinParty();
    speechBudget().budget = 1000;
    sayInParty(u"hello all");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][5], 4);
    EXPECT_EQ(queuedSpeechCount(), 0u);
}

} // namespace
} // namespace test
