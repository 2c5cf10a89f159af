// The party messages from the server as the program receives them (packet
// 0xBF, party sub-command, through the dispatcher) and the party table they
// fill: the member list and its status requests, removals, messages and
// invitations, and the speech line's answers on the real table. Cut short
// or oversized, a message changes nothing.

#include "windows/windows_test_support.h"

#include "fixtures/server_packet.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/protocol_handlers.h"
#include "protocol/session_packets.h"
#include "protocol/world_packet_windows.h"
#include "windows/journal.h"
#include "gump/button.h"
#include "gump/toggle_control.h"
#include "windows/party_gump.h"
#include "windows/party_table.h"
#include "windows/speech_entry.h"
#include "windows/speech_packets.h"
#include "windows/party_words.h"
#include "windows/status_window_services.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fixture::ServerPacket;
using windows_test::Bytes;

constexpr uint32_t kPartyLeaderSerial = 0x00000C01;
constexpr uint32_t kPartyMemberSerial = 0x00000C02;
constexpr uint32_t kPartyAbsentSerial = 0x00000C03;

// What a party message may change.
struct PartyView {
    std::vector<uint32_t> serials;
    std::vector<std::string> names;
    bool invited = false;
    uint32_t invitingLeader = 0;
    bool leader = false;
    size_t sent = 0;
    bool operator==(const PartyView&) const = default;
};

std::vector<uint8_t> partyPacket(uint8_t action, const std::vector<uint32_t>& serials)
{
    ServerPacket packet(0xBF);
    packet.u16(6).u8(action);
    for (uint32_t serial : serials)
        packet.u32(serial);
    return packet.bytes();
}

class PartyTableTest : public windows_test::WindowDesktop {
protected:
    PartyTableTest()
    {
        registerProtocolHandlers();
        addMobile(kPartyMemberSerial, player()->x + 1, player()->y);
        addMobile(kPartyLeaderSerial, player()->x - 1, player()->y);
        journal().clear();
        takePackets();
    }
    ~PartyTableTest() override { clearPacketHandlers(); }

    void dispatch(const std::vector<uint8_t>& bytes) { dispatchGamePacket(*currentGameConnection(), bytes.data()); }
    // A member list: the count, then the serials.
    std::vector<uint8_t> members(const std::vector<uint32_t>& serials)
    {
        ServerPacket packet(0xBF);
        packet.u16(6).u8(1).u8(uint8_t(serials.size()));
        for (uint32_t serial : serials)
            packet.u32(serial);
        return packet.bytes();
    }
    std::vector<uint8_t> removal(uint32_t removed, const std::vector<uint32_t>& remaining)
    {
        ServerPacket packet(0xBF);
        packet.u16(6).u8(2).u8(uint8_t(remaining.size())).u32(removed);
        for (uint32_t serial : remaining)
            packet.u32(serial);
        return packet.bytes();
    }
    PartyView view()
    {
        PartyTable& table = partyTable();
        PartyView now;
        for (int32_t slot = 0; slot < PartyState::kSlots; ++slot) {
            now.serials.push_back(table.memberSerial(slot));
            now.names.push_back(table.memberName(slot));
        }
        now.invited = table.isInvitationPending();
        now.invitingLeader = table.invitingLeader();
        now.leader = table.isLeader();
        m_sent += takePackets().size();
        now.sent = m_sent;
        return now;
    }
    static std::vector<uint32_t> serialsOf(const PartyView& v)
    {
        std::vector<uint32_t> out;
        for (uint32_t serial : v.serials) {
            if (serial != 0)
                out.push_back(serial);
        }
        return out;
    }
    static std::vector<std::string> wideJournal()
    {
        std::vector<std::string> lines;
        for (const JournalEntry& entry : journal().entries()) {
            std::string line;
            for (char16_t unit : entry.text)
                line.push_back(char(unit));
            lines.push_back(entry.wide ? line : entry.narrow);
        }
        return lines;
    }
    // A line entered in party mode, as the speech line hands it on.
    static void sayInParty(std::u16string_view line) { handlePartyLine(line, false); }

    StatusWindowServices statusServices;
    size_t m_sent = 0;
};

TEST_F(PartyTableTest, AMemberListFillsTheRowsAsksEachStatusAndSetsTheLeader)
{
    dispatch(members({ kPartyLeaderSerial, playerSerial(), kPartyAbsentSerial }));
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2], (Bytes { 0x34, 0xED, 0xED, 0xED, 0xED, 4, 0, 0, 0x0C, 0x03 }));
    PartyTable& table = partyTable();
    EXPECT_EQ(table.memberSerial(1), playerSerial());
    EXPECT_EQ(table.memberName(2), "<Not Online>");
    EXPECT_EQ(table.memberName(0), "");
    EXPECT_FALSE(table.isLeader());
    EXPECT_TRUE(isPartyMember(kPartyLeaderSerial));
    // The status answer names the member.
    service<StatusWindows>().partyMemberName(kPartyLeaderSerial, "Mira the Bold, of the Western Road");
    EXPECT_EQ(table.memberName(0), "Mira the Bold, of the Western ");
    dispatch(members({ playerSerial(), kPartyMemberSerial }));
    EXPECT_TRUE(table.isLeader());
    EXPECT_EQ(table.memberSerial(2), 0u);
}

// Leaving the world forgets the members; the loot flag stays the player's.
TEST_F(PartyTableTest, LeavingTheWorldEmptiesTheTable)
{
    dispatch(members({ kPartyLeaderSerial, playerSerial() }));
    partyTable().setLootFlagValue(0);
    leaveGameWorld();
    EXPECT_EQ(serialsOf(view()), std::vector<uint32_t> {});
    EXPECT_EQ(partyTable().lootFlag(), 0);
}

// More than ten serials: all are read, ten are kept (the surplus was written
// past the rows).
TEST_F(PartyTableTest, AListOfMoreThanTenKeepsTen)
{
    std::vector<uint32_t> many;
    for (uint32_t i = 0; i < 12; ++i)
        many.push_back(0x00000D00 + i);
    dispatch(members(many));
    EXPECT_EQ(takePackets().size(), 10u);
    EXPECT_EQ(partyTable().memberSerial(9), 0x00000D09u);
    dispatch(removal(0x00000D05, many));
    EXPECT_EQ(partyTable().memberSerial(9), 0x00000D09u);
    EXPECT_FALSE(partyTable().find(0x00000D0A));
}

struct PartyRemovalCase {
    const char* name;
    uint32_t removed; // 0: the player
    std::vector<uint32_t> remaining;
    std::vector<uint32_t> rows;
    bool leader;
};

class PartyRemovals : public PartyTableTest, public testing::WithParamInterface<PartyRemovalCase> { };

TEST_P(PartyRemovals, RebuildOrEndTheParty)
{
    const PartyRemovalCase& c = GetParam();
    dispatch(members({ kPartyLeaderSerial, playerSerial(), kPartyMemberSerial }));
    view();
    std::vector<uint32_t> remaining;
    for (uint32_t serial : c.remaining)
        remaining.push_back(serial ? serial : playerSerial());
    dispatch(removal(c.removed ? c.removed : playerSerial(), remaining));
    std::vector<uint32_t> rows;
    for (uint32_t serial : c.rows)
        rows.push_back(serial ? serial : playerSerial());
    size_t before = m_sent;
    PartyView after = view();
    EXPECT_EQ(serialsOf(after), rows);
    EXPECT_EQ(after.leader, c.leader);
    EXPECT_EQ(after.sent - before, rows.size()) << "each remaining member's status is asked";
}

INSTANTIATE_TEST_SUITE_P(Removals, PartyRemovals,
    testing::Values(PartyRemovalCase { "AMember", kPartyMemberSerial, { kPartyLeaderSerial, 0 },
                        { kPartyLeaderSerial, 0 }, false },
        PartyRemovalCase { "TheLeader", kPartyLeaderSerial, { 0, kPartyMemberSerial }, {}, true },
        PartyRemovalCase { "ThePlayer", 0, { kPartyLeaderSerial, kPartyMemberSerial }, {}, true }),
    [](const testing::TestParamInfo<PartyRemovalCase>& removal) { return std::string(removal.param.name); });

TEST_F(PartyTableTest, MessagesShowTheSenderAndTheText)
{
    dispatch(members({ kPartyLeaderSerial, playerSerial() }));
    service<StatusWindows>().partyMemberName(kPartyLeaderSerial, "Mira");
    ServerPacket chat(0xBF);
    chat.u16(6).u8(4).u32(kPartyLeaderSerial).unicode(u"to the bridge");
    dispatch(chat.bytes());
    // No zero unit: the text ends with the packet.
    dispatch(ServerPacket(0xBF).u16(6).u8(3).u32(kPartyAbsentSerial).u16(u'h').u16(u'i').bytes());
    EXPECT_EQ(wideJournal(), (std::vector<std::string> { "[Mira]: to the bridge", "[]: hi" }));
}

TEST_F(PartyTableTest, TheSpeechLineAcceptsAnInvitationFromTheTable)
{
    dispatch(partyPacket(7, { kPartyLeaderSerial }));
    EXPECT_TRUE(partyTable().isInvitationPending());
    sayInParty(u"accept");
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], (Bytes { 0xBF, 0, 10, 0, 6, 8, 0, 0, 0x0C, 0x01 }));
    EXPECT_EQ(sent[1], (Bytes { 0xBF, 0, 7, 0, 6, 6, 1 }));
    EXPECT_FALSE(partyTable().isInvitationPending());
    // Declining a fresh one sends the leader back.
    dispatch(partyPacket(7, { kPartyMemberSerial }));
    sayInParty(u"decline");
    sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes { 0xBF, 0, 10, 0, 6, 9, 0, 0, 0x0C, 0x02 }));
}

struct PartyCutCase {
    const char* name;
    std::vector<uint8_t> packet;
    size_t firstWhole; // cuts from here on act (a message's text may end early)
};

class PartyCuts : public PartyTableTest, public testing::WithParamInterface<PartyCutCase> { };

TEST_P(PartyCuts, AtEveryByteChangeNothingAndWholeActs)
{
    dispatch(members({ kPartyLeaderSerial, playerSerial() }));
    const std::vector<uint8_t>& whole = GetParam().packet;
    const PartyView before = view();
    const size_t lines = journal().entries().size();
    for (size_t cut = 3; cut < GetParam().firstWhole; ++cut) {
        std::vector<uint8_t> shortened(whole.begin(), whole.begin() + ptrdiff_t(cut));
        shortened[1] = uint8_t(cut >> 8);
        shortened[2] = uint8_t(cut);
        dispatch(shortened);
        ASSERT_EQ(view(), before) << "cut at " << cut;
        ASSERT_EQ(journal().entries().size(), lines) << "cut at " << cut;
    }
    dispatch(whole);
    EXPECT_TRUE(view() != before || journal().entries().size() != lines) << "the whole packet acts";
}

std::vector<uint8_t> partyCutMembers()
{
    return ServerPacket(0xBF).u16(6).u8(1).u8(2).u32(kPartyMemberSerial).u32(0x00000101).bytes();
}

INSTANTIATE_TEST_SUITE_P(Packets, PartyCuts,
    testing::Values(PartyCutCase { "Members", partyCutMembers(), partyCutMembers().size() },
        PartyCutCase { "Removed",
            ServerPacket(0xBF).u16(6).u8(2).u8(1).u32(kPartyLeaderSerial).u32(kPartyMemberSerial).bytes(), 15 },
        PartyCutCase { "Message", ServerPacket(0xBF).u16(6).u8(4).u32(kPartyLeaderSerial).unicode(u"go").bytes(), 10 },
        PartyCutCase { "Invitation", partyPacket(7, { kPartyLeaderSerial }), 10 }),
    [](const testing::TestParamInfo<PartyCutCase>& cut) { return std::string(cut.param.name); });

// Counts past the packet, unknown actions and the ignored loot echo change
// nothing.
TEST_F(PartyTableTest, OversizedCountsAndUnknownActionsChangeNothing)
{
    dispatch(members({ kPartyLeaderSerial, playerSerial() }));
    const PartyView before = view();
    dispatch(ServerPacket(0xBF).u16(6).u8(1).u8(0xFF).u32(kPartyMemberSerial).bytes());
    dispatch(ServerPacket(0xBF).u16(6).u8(2).u8(0xFF).u32(kPartyLeaderSerial).u32(kPartyMemberSerial).bytes());
    dispatch(ServerPacket(0xBF).u16(6).u8(6).u8(0).bytes());
    dispatch(ServerPacket(0xBF).u16(6).u8(0xEE).u32(1).bytes());
    dispatch(ServerPacket(0xBF).u16(6).bytes());
    EXPECT_EQ(view(), before);
}

// The party window opens as the paperdoll's party button opens it.
class PartyWindowTest : public PartyTableTest {
protected:
    PartyGump* open()
    {
        service<PartyState>().openPartyWindow();
        return currentPartyGump();
    }
    ~PartyWindowTest() override { closeGump(currentPartyGump()); }
};

TEST_F(PartyWindowTest, TheLeaderHasKickAndAddButtonsAMemberDoesNot)
{
    PartyGump* window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(open(), window) << "one window, raised again";
    EXPECT_NE(window->kickButton(9), nullptr) << "leader until the server says otherwise";
    EXPECT_NE(window->addMemberButton(), nullptr);
    dispatch(members({ kPartyLeaderSerial, playerSerial() }));
    EXPECT_EQ(window->kickButton(0), nullptr);
    EXPECT_EQ(window->addMemberButton(), nullptr);
    composeAll();
    EXPECT_NE(window->shownText().find("Leave the party"), std::string::npos);
    EXPECT_EQ(window->shownText().find("Disband the party"), std::string::npos);
    // The player leaves: leader of an empty party again.
    dispatch(removal(playerSerial(), { kPartyLeaderSerial }));
    EXPECT_NE(window->kickButton(3), nullptr);
    EXPECT_NE(window->addMemberButton(), nullptr);
    composeAll();
    EXPECT_NE(window->shownText().find("Disband the party"), std::string::npos);
}

TEST_F(PartyWindowTest, TellAndMessageFillTheSpeechLineInPartyMode)
{
    PartyGump* window = open();
    window->onCommand(PartyGump::kTellFirst + 3);
    EXPECT_EQ(journal().entries().back().narrow, "There is no one in that party slot.");
    window->onCommand(PartyGump::kMessage);
    EXPECT_EQ(journal().entries().back().narrow, "You are not in a party.");
    dispatch(members({ kPartyLeaderSerial, playerSerial(), kPartyMemberSerial, kPartyAbsentSerial }));
    window->onCommand(PartyGump::kTellFirst + 3);
    EXPECT_EQ(speechEntry().text(), u"t4");
    EXPECT_EQ(speechEntry().mode(), speech_type::kParty);
    window->onCommand(PartyGump::kMessage);
    EXPECT_EQ(speechEntry().text(), u" ");
    speechEntry().setLine(u"", speech_type::kSay);
}

TEST_F(PartyWindowTest, TheLootFlagIsSentAtTheNextDrawOnlyInAParty)
{
    PartyGump* window = open();
    takePackets();
    window->lootToggle()->setChecked(false);
    composeAll();
    EXPECT_EQ(partyTable().lootFlag(), 0);
    EXPECT_TRUE(takePackets().empty()) << "not in a party";
    dispatch(members({ kPartyLeaderSerial, playerSerial() }));
    takePackets();
    window->lootToggle()->setChecked(true);
    composeAll();
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Bytes { 0xBF, 0, 7, 0, 6, 6, 1 }));
    composeAll();
    EXPECT_TRUE(takePackets().empty()) << "once";
}

TEST_F(PartyWindowTest, KickLeaveAndAddSendTheirRequests)
{
    dispatch(members({ playerSerial(), kPartyMemberSerial }));
    PartyGump* window = open();
    takePackets();
    window->onCommand(PartyGump::kKickFirst + 1);
    EXPECT_EQ(partyTable().memberSerial(1), 0u);
    window->onCommand(PartyGump::kAddMember);
    window->onCommand(PartyGump::kLeave);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], (Bytes { 0xBF, 0, 10, 0, 6, 2, 0, 0, 0x0C, 0x02 }));
    EXPECT_EQ(sent[1], (Bytes { 0xBF, 0, 10, 0, 6, 1, 0, 0, 0, 0 }));
    EXPECT_EQ(sent[2][5], 2);
    window->onCommand(PartyGump::kOk);
    EXPECT_EQ(currentPartyGump(), nullptr);
}

} // namespace
