// The shard list and the scrolling choice list it stands on.

#include "front_end_test_support.h"

#include "data/config_key_rules.h"
#include "fixtures/server_packet.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/main_menu.h"
#include "frontend/scroll_choice_gump.h"
#include "frontend/shard_list_gump.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "gump/waiting_gump.h"
#include "net/game_connection.h"
#include "net/ping_monitor.h"
#include "protocol/login_packets.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "support/packet_tap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using front_end_test::Screens;

struct TestShard {
    uint16_t id;
    const char* name;
    uint8_t distance;
    uint8_t load;
    int8_t zone = 0;
};

void setShards(const std::vector<TestShard>& shards)
{
    ShardList& list = shardList();
    list.shards.clear();
    for (const TestShard& shard : shards) {
        ShardEntry entry;
        entry.id = shard.id;
        entry.name = shard.name;
        entry.zoneDistance = shard.distance;
        entry.percentFull = shard.load;
        entry.timeZone = shard.zone;
        list.shards.push_back(entry);
    }
}

class Shards : public Screens {
protected:
    ShardListGump* open()
    {
        loginScreens().openShardList();
        return rememberedWindow<ShardListGump>(frontEnd().shardListWindow);
    }
    static std::vector<int32_t> rowValues(ScrollChoiceGump& list)
    {
        std::vector<int32_t> values;
        for (int32_t row = 0; row < list.count(); ++row)
            values.push_back(list.valueAt(row));
        return values;
    }
};

enum class Sort : uint8_t { Zone, Load, Ping };

struct SortCase {
    const char* name;
    std::vector<TestShard> shards;
    Sort sort;
    std::vector<int32_t> rows;
};

class ShardSort : public Shards, public ::testing::WithParamInterface<SortCase> { };

TEST_P(ShardSort, OrdersTheRowsAndMarksTheFirst)
{
    setShards(GetParam().shards);
    ShardListGump* window = open();
    ScrollChoiceGump& list = *window->list();
    int32_t mark = 0;
    switch (GetParam().sort) {
    case Sort::Zone:
        ShardListGump::sortByTimeZone(list);
        break;
    case Sort::Load:
        ShardListGump::sortByLoad(list);
        mark = 1;
        break;
    case Sort::Ping:
        ShardListGump::sortByPing(list);
        mark = 2;
        break;
    }
    EXPECT_EQ(rowValues(list), GetParam().rows);
    EXPECT_EQ(list.mark(mark), list.valueAt(0)) << "the best row carries the sort's marker";
}

INSTANTIATE_TEST_SUITE_P(Cases, ShardSort,
    ::testing::Values(SortCase { "ZoneTiesKeepTheEarlier", { { 1, "A", 3, 0 }, { 2, "B", 1, 0 }, { 3, "C", 1, 0 } },
                          Sort::Zone, { 2, 3, 1 } },
        SortCase { "ZoneFiftyGoesLast", { { 1, "A", 0, 0, 50 }, { 2, "B", 5, 0 }, { 3, "C", 2, 0 } }, Sort::Zone,
            { 3, 2, 1 } },
        SortCase { "ZoneFiftyGoesLastByLoadToo", { { 1, "A", 0, 0, 50 }, { 2, "B", 0, 60 }, { 3, "C", 0, 10 } },
            Sort::Load, { 3, 2, 1 } },
        SortCase { "LoadAscending", { { 1, "A", 0, 90 }, { 2, "B", 0, 10 }, { 3, "C", 0, 50 } }, Sort::Load,
            { 2, 3, 1 } },
        SortCase { "PingWithoutMonitorKeepsPacketOrder", { { 1, "A", 0, 90 }, { 2, "B", 0, 10 }, { 3, "C", 0, 50 } },
            Sort::Ping, { 1, 2, 3 } }),
    [](const ::testing::TestParamInfo<SortCase>& param) { return std::string(param.param.name); });

TEST_F(Shards, TheLastShardIsPreselectedAndTheArrowChoosesIt)
{
    test::PacketTap tap;
    ASSERT_TRUE(tap.isConnected());
    configValues().lastServerId = 7;
    setShards({ { 3, "Ash", 0, 0 }, { 7, "Birch", 1, 0 }, { 9, "Cedar", 2, 0 } });
    ShardListGump* window = open();
    EXPECT_EQ(window->selectedShardId(), 7);
    EXPECT_EQ(window->nameLabel()->narrowText(), "Birch");
    window->list()->onMouseOver(100, window->list()->listRect().top + 1);
    EXPECT_EQ(window->list()->hoveredRow(), 0);
    window->onArrow();

    EXPECT_EQ(findGump("ShardList gump"), nullptr);
    const std::vector<std::vector<uint8_t>> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (std::vector<uint8_t> { 0xA0, 0, 7 }));
    EXPECT_NE(client.read("vo.cfg").find("LastServerID=7"), std::string::npos);
    EXPECT_EQ(loginSession().shardName, "Birch");
    EXPECT_EQ(messageText(), kConnectingText) << "waiting for the relay";
}

TEST_F(Shards, AnUnknownLastShardFallsBackToTheFirst)
{
    configValues().lastServerId = 4;
    setShards({ { 3, "Ash", 0, 0 }, { 7, "Birch", 1, 0 } });
    EXPECT_EQ(open()->selectedShardId(), 3);
}

TEST_F(Shards, AClickOnARowChoosesItOnTheNextHoverTick)
{
    test::PacketTap tap;
    setShards({ { 3, "Ash", 0, 0 }, { 7, "Birch", 1, 0 } });
    ShardListGump* window = open();
    ScrollChoiceGump* list = window->list();
    const int32_t y = list->listRect().top + list->rowHeight() + 1;
    list->onLeftDown(100, y);
    EXPECT_TRUE(tap.take().empty()) << "not on the press itself";
    list->onHoverTick();
    const std::vector<std::vector<uint8_t>> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (std::vector<uint8_t> { 0xA0, 0, 7 }));
    EXPECT_EQ(findGump("ShardList gump"), nullptr);
}

TEST_F(Shards, BackKeepsTheLoginConnectionAndBuildsAFreshMainMenuOffTheRoad)
{
    test::PacketTap tap;
    setShards({ { 3, "Ash", 0, 0 } });
    // As the account login left it.
    loginSession().loginInProgress = true;
    open()->onBack();
    EXPECT_EQ(findGump("ShardList gump"), nullptr);
    EXPECT_NE(findGump("MainMenu gump"), nullptr);
    EXPECT_TRUE(gameConnectionIsOpen());
    EXPECT_EQ(findMessage(), nullptr);
    EXPECT_FALSE(loginSession().loginInProgress);
    // The next login goes on the open connection and is a road again.
    beginAccountLogin();
    EXPECT_TRUE(loginSession().loginInProgress);
}

TEST_F(Shards, ASecondShardListWhileOneIsShownKeepsItsRoundTripMonitor)
{
    const std::vector<uint8_t> list = fixture::ServerPacket(0xA8)
                                          .u8(1)
                                          .u16(2)
                                          .u16(3)
                                          .text("Ash", 32)
                                          .u8(0)
                                          .u8(0)
                                          .u32(0x7F000001)
                                          .u16(7)
                                          .text("Birch", 32)
                                          .u8(0)
                                          .u8(0)
                                          .u32(0x7F000002)
                                          .bytes();
    handleShardList(list.data());
    ASSERT_NE(findGump("ShardList gump"), nullptr);
    handleShardList(list.data());
    ASSERT_NE(findGump("ShardList gump"), nullptr);
    PingMonitor* monitor = getPingMonitor();
    ASSERT_NE(monitor, nullptr) << "the new list's round trips are measured";
    EXPECT_EQ(monitor->hostCount(), 2);
}

TEST_F(Shards, TheMonitorsFlagBringsTheColumnsBackOnTheNextDraw)
{
    setShards({ { 3, "Ash", 0, 0 }, { 7, "Birch", 1, 0 } });
    ShardListGump* window = open();
    window->list()->clearItems();
    composeAll(false);
    EXPECT_EQ(window->list()->count(), 0);
    ShardListGump::onPingUpdate(0);
    composeAll(false);
    EXPECT_EQ(window->list()->count(), 2);
    EXPECT_EQ(window->list()->secondAt(0), "-");
}

struct ColumnCase {
    const char* name;
    uint32_t sent;
    uint32_t replies;
    uint32_t mean;
    bool hasHost;
    const char* roundTrip;
    const char* loss;
};

class ShardColumns : public ::testing::TestWithParam<ColumnCase> { };

TEST_P(ShardColumns, ShowTheRoundTripAndTheLoss)
{
    const auto columns
        = shardColumnsFor(GetParam().sent, GetParam().replies, GetParam().mean, GetParam().hasHost);
    EXPECT_EQ(columns.roundTrip, GetParam().roundTrip);
    EXPECT_EQ(columns.loss, GetParam().loss);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShardColumns,
    ::testing::Values(ColumnCase { "NoHost", 4, 4, 20, false, "-", "-" },
        ColumnCase { "NothingSentYet", 0, 0, 0, true, "-", "-" },
        ColumnCase { "OneReplyOfFour", 4, 1, 75, true, " 75ms", " 75%" },
        ColumnCase { "EveryProbeLost", 4, 0, 0, true, "-", "-" },
        ColumnCase { "AllAnswered", 2, 2, 5, true, "  5ms", "  0%" },
        ColumnCase { "LongRoundTrip", 10, 9, 1234, true, "1234ms", " 10%" }),
    [](const ::testing::TestParamInfo<ColumnCase>& param) { return std::string(param.param.name); });

// The list itself ------------------------------------------------------------------

class ChoiceList : public Screens {
protected:
    ScrollChoiceGump* make(bool shardLayout, int32_t rows)
    {
        auto* list = new ScrollChoiceGump(nullptr, 3500, 100, 100, 200, 150, nullptr, shardLayout, false);
        for (int32_t row = 0; row < rows; ++row)
            list->addItem(row + 10, "Row " + std::to_string(row), 0);
        gumpLink(list, nullptr);
        return list;
    }
};

TEST_F(ChoiceList, TheArrowsAndTheThumbStayInsideTheRows)
{
    ScrollChoiceGump* list = make(false, 3);
    list->scrollUp();
    EXPECT_EQ(list->firstVisible(), 0);
    for (int i = 0; i < 5; ++i)
        list->scrollDown();
    EXPECT_EQ(list->firstVisible(), 2) << "the last row first, never past it";
    list->onSlider(1000, 1000, nullptr);
    EXPECT_EQ(list->firstVisible(), 2);
    list->onSlider(0, 1000, nullptr);
    EXPECT_EQ(list->firstVisible(), 0);
}

TEST_F(ChoiceList, HoldsAHundredRowsAndAnEmptyListChoosesNothing)
{
    ScrollChoiceGump* list = make(false, 100);
    EXPECT_FALSE(list->addItem(1, "one too many", 0));
    EXPECT_EQ(list->count(), 100);
    list->clearItems();
    list->onLeftDown(50, list->listRect().top + 1);
    list->onHoverTick();
    EXPECT_EQ(loginSession().shardName, "");
}

TEST_F(ChoiceList, AShardListClosedWithoutAChoiceGoesBackToTheMainMenu)
{
    test::PacketTap tap;
    loginSession().loginInProgress = true;
    ScrollChoiceGump* list = make(true, 2);
    closeGump(list);
    EXPECT_NE(findGump("MainMenu gump"), nullptr);
    EXPECT_FALSE(gameConnectionIsOpen());
    EXPECT_FALSE(loginSession().loginInProgress);
}

TEST_F(ChoiceList, TheCombinedListsChoiceClosesItAndSelectsTheShard)
{
    test::PacketTap tap;
    setShards({ { 5, "Elm", 0, 0 } });
    loginScreens().openShardChoice();
    auto* list = static_cast<ScrollChoiceGump*>(frontEnd().shardChoice.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(gumpModal(), list);
    list->choose(list->listRect().left + 1, list->listRect().top + 1);
    EXPECT_FALSE(frontEnd().shardChoice) << "the modal list goes";
    EXPECT_EQ(gumpModal(), nullptr);
    const std::vector<std::vector<uint8_t>> sent = tap.take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (std::vector<uint8_t> { 0xA0, 0, 5 }));
}

TEST_F(ChoiceList, TheCombinedListsChoiceClosedWithTheRightButtonGoesBackToTheMainMenu)
{
    test::PacketTap tap;
    loginScreens().openMainMenu();
    // As the login road's connect left it.
    loginSession().loginInProgress = true;
    // The combined list of an older server after the account login: one
    // shard, no characters, no start location.
    fixture::ServerPacket packet(0x81);
    packet.u8(0).u8(9).fill(5 * 60, 0).u8(1).u8(5).text("Elm", 16).u8(0);
    handleShardChoiceList(packet.bytes().data());
    auto* list = static_cast<ScrollChoiceGump*>(frontEnd().shardChoice.get());
    ASSERT_NE(list, nullptr);
    auto* login = rememberedWindow<AcctLoginGump>(frontEnd().loginWindow);
    ASSERT_NE(login, nullptr);
    EXPECT_FALSE(login->isVisible()) << "hidden under the choice";

    list->onRightUp(1, 1);
    EXPECT_FALSE(frontEnd().shardChoice);
    EXPECT_EQ(gumpModal(), nullptr);
    login = rememberedWindow<AcctLoginGump>(frontEnd().loginWindow);
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->isVisible()) << "the player can log in again";
    EXPECT_NE(findGump("MainMenu gump"), nullptr);
    EXPECT_FALSE(loginSession().loginInProgress);
    EXPECT_FALSE(gameConnectionIsOpen());
}

} // namespace
