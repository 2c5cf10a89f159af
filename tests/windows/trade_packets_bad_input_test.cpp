// The vendor, trade, menu, query, dye and context-menu packets from a server
// that cannot be trusted: each one cut short at every byte is refused whole
// (no window, no price, nothing sent), and oversized counts and values out
// of range open nothing or are held to what the windows can take; each
// packet whole does act, so that every check can fail.

#include "trade_windows_fixture.h"

#include "data/server_features.h"
#include "fixtures/sample_window_art.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "protocol/protocol_handlers.h"
#include "windows/hue_gump.h"
#include "windows/shop_gump.h"
#include "windows/text_query_gump.h"
#include "windows/window_packets.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using fixture::ServerPacket;
using windows_test::kFirstGood;
using windows_test::kStockBox;
using windows_test::kVendor;

constexpr uint32_t kPartner = 0x00000301;
constexpr uint32_t kMyBox = 0x40000530;
constexpr uint32_t kPartnerBox = 0x40000531;

// What the packets may change: the windows up, the first good's price and
// name, the shops in sell mode, and what the client sent.
struct TradeState {
    int32_t gumps = 0;
    int32_t sellShops = 0;
    uint32_t price = 0;
    std::string name;
    size_t sent = 0;
    bool operator==(const TradeState&) const = default;
};

class TradePackets : public windows_test::TradeWindows {
protected:
    TradePackets()
    {
        registerProtocolHandlers();
        registerTradeWindowHandlers();
        storeCharacterListFlags(0x08);
        Mobile* vendor = addVendor();
        addGood(kFirstGood, kStockBox, fixture::kSampleGoodsGraphics[0], 4, 9, "fish steak");
        addMobile(kPartner, player()->x - 1, player()->y + 1);
        equip(player()->serial, kMyBox, fixture::kSampleTradeBoxGraphic, 28);
        equip(kPartner, kPartnerBox, fixture::kSampleTradeBoxGraphic, 28);
        gumpLink(new ShopGump(150, 5, *vendor), nullptr);
        requestContextMenu(kPartner);
        takePackets();
    }
    ~TradePackets() override { storeCharacterListFlags(0); }

    TradeState state()
    {
        TradeState now;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
            ++now.gumps;
            if (gump->is(GumpKind::ShopGump) && static_cast<ShopGump*>(gump)->mode() == ShopGump::Mode::Sell)
                ++now.sellShops;
        }
        if (Item* good = findItemBySerial(kFirstGood)) {
            now.price = good->price;
            now.name = good->nameText;
        }
        now.sent = packetCount();
        return now;
    }
    size_t packetCount()
    {
        std::vector<windows_test::Bytes> packets = takePackets();
        m_sent += packets.size();
        return m_sent;
    }

    size_t m_sent = 0;
};

struct TradeCut {
    const char* name;
    std::vector<uint8_t> packet;
};

class TradePacketsCut : public TradePackets, public testing::WithParamInterface<TradeCut> { };

TEST_P(TradePacketsCut, AtEveryByteChangeNothingAndWholeActs)
{
    const std::vector<uint8_t>& whole = GetParam().packet;
    const TradeState before = state();
    for (size_t cut = 3; cut < whole.size(); ++cut) {
        std::vector<uint8_t> shortened(whole.begin(), whole.begin() + ptrdiff_t(cut));
        shortened[1] = uint8_t(cut >> 8);
        shortened[2] = uint8_t(cut);
        dispatch(shortened);
        ASSERT_EQ(state(), before) << "cut at " << cut;
    }
    dispatch(whole);
    EXPECT_NE(state(), before) << "the whole packet acts";
}

std::vector<uint8_t> textQuery(uint32_t limit)
{
    return ServerPacket(0xAB)
        .u32(0x40000001)
        .u16(7)
        .u16(5)
        .text("Name", 5)
        .u8(1)
        .u8(1)
        .u32(limit)
        .u16(4)
        .text("Max", 4)
        .bytes();
}

INSTANTIATE_TEST_SUITE_P(Packets, TradePacketsCut,
    testing::Values(TradeCut { "BuyList",
                        ServerPacket(0x74).u32(kStockBox).u8(1).u32(7).u8(4).text("ham", 4).bytes() },
        TradeCut { "SellList",
            ServerPacket(0x9E)
                .u32(kVendor)
                .u16(1)
                .u32(0x40000900)
                .u16(fixture::kSampleBoardsGraphic)
                .u16(0)
                .u16(5)
                .u16(3)
                .u16(6)
                .text("boards", 6)
                .bytes() },
        TradeCut { "BuyResult", ServerPacket(0x3B).u32(kVendor).u8(0).bytes() },
        TradeCut { "TradeOpen",
            ServerPacket(0x6F).u8(0).u32(kPartner).u32(kMyBox).u32(kPartnerBox).u8(1).text("Mira", 30).bytes() },
        TradeCut { "Menu",
            ServerPacket(0x7C)
                .u32(0x40000001)
                .u16(3)
                .u8(5)
                .text("Pick?", 5)
                .u8(1)
                .u16(0)
                .u16(0)
                .u8(3)
                .text("one", 3)
                .bytes() },
        TradeCut { "TextQuery", textQuery(12) },
        TradeCut { "ContextMenu",
            ServerPacket(0xBF).u16(0x14).u16(1).u32(kPartner).u8(1).u16(1).u16(6103).u16(0x20).u16(0x22).bytes() }),
    [](const testing::TestParamInfo<TradeCut>& cut) { return cut.param.name; });

// Out of range: nothing opens, or what opens is held to what it can take.
TEST_F(TradePackets, OversizedCountsAndValuesOutOfRangeOpenNothingOrAreHeld)
{
    const TradeState before = state();
    // Counts larger than the packet holds.
    dispatch(ServerPacket(0x74).u32(kStockBox).u8(0xFF).u32(7).u8(4).text("ham", 4).bytes());
    dispatch(ServerPacket(0x9E).u32(kVendor).u16(0xFFFF).u32(0x40000900).bytes());
    dispatch(ServerPacket(0x7C).u32(1).u16(3).u8(0xFF).text("x", 1).bytes());
    dispatch(ServerPacket(0xBF).u16(0x14).u16(1).u32(kPartner).u8(0xFF).u16(1).u16(6103).u16(0).bytes());
    // A name length past the packet, a menu of no entries, a sell list of
    // none, an unknown trade action and buy result, a dye request cut short.
    dispatch(ServerPacket(0x74).u32(kStockBox).u8(1).u32(7).u8(0xFF).text("ham", 4).bytes());
    dispatch(ServerPacket(0x7C).u32(1).u16(3).u8(1).text("x", 1).u8(0).bytes());
    dispatch(ServerPacket(0x9E).u32(kVendor).u16(0).bytes());
    dispatch(ServerPacket(0x6F).u8(9).u32(kPartner).u32(kMyBox).u32(kPartnerBox).u8(0).bytes());
    dispatch(ServerPacket(0x3B).u32(kVendor).u8(9).bytes());
    // Windows for things that are not there.
    dispatch(ServerPacket(0x6F).u8(0).u32(0x00000999).u32(kMyBox).u32(kPartnerBox).u8(0).bytes());
    dispatch(ServerPacket(0x74).u32(0x40000999).u8(1).u32(7).u8(4).text("ham", 4).bytes());
    dispatch(ServerPacket(0xBF).u16(0x14).u16(1).u32(kVendor).u8(1).u16(1).u16(6103).u16(0).bytes());
    EXPECT_EQ(state(), before);
    // A query's limit from the wire is held to what the entry can hold.
    dispatch(textQuery(0xFFFFFFFF));
    auto* query = static_cast<StringQueryGump*>(findTopLevel("Stringquery gump"));
    ASSERT_NE(query, nullptr);
    ASSERT_NE(query->entry(), nullptr);
    EXPECT_EQ(query->entry()->maxLength(), InputControl::kCapacity - 1);
}

// The dye request opens the hue picker for the tub, once however often the
// server asks.
TEST_F(TradePackets, TheDyeRequestOpensOneHuePickerForTheItem)
{
    const std::vector<uint8_t> request
        = ServerPacket(0x95, ServerPacket::Length::Fixed).u32(0x40000777).u16(0).u16(fixture::kSampleDyeTubGraphic).bytes();
    dispatch(request);
    HueGump* picker = findDyePicker(0x40000777);
    ASSERT_NE(picker, nullptr);
    dispatch(request);
    EXPECT_EQ(findDyePicker(0x40000777), picker);
    int32_t pickers = 0;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        pickers += gump->is(GumpKind::HuePicker) ? 1 : 0;
    EXPECT_EQ(pickers, 1);
}

} // namespace
