// The trade window as the server drives it and the bill's signature: an
// ignored partner gets a cancel and no window; the accept box asks the
// server and shows only its answer; a right click cancels but keeps the
// window for the server to close; closing takes both trade boxes; a name of
// thirty letters without an end keeps thirty. The bill signs a few pixels
// per update and buys once the name is whole.

#include "trade_windows_fixture.h"

#include "data/player_lists.h"
#include "gump/gump_manager.h"
#include "gump/toggle_control.h"
#include "windows/bill_gump.h"
#include "windows/container_gump.h"
#include "windows/shop_gump.h"
#include "windows/trade_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using fixture::ServerPacket;
using windows_test::hexOf;

constexpr uint32_t kTrader = 0x00000301;
constexpr uint32_t kOwnBox = 0x40000530;
constexpr uint32_t kTraderBox = 0x40000531;

class Trade : public windows_test::TradeWindows {
protected:
    Trade()
    {
        addMobile(kTrader, player()->x - 1, player()->y + 1, 401);
        equip(player()->serial, kOwnBox, fixture::kSampleTradeBoxGraphic, 28);
        equip(kTrader, kTraderBox, fixture::kSampleTradeBoxGraphic, 28);
        takePackets();
    }
    ~Trade() override { playerLists().ignore.clear(); }

    TradeGump* open(const std::string& name = "Mira")
    {
        dispatch(ServerPacket(0x6F)
                     .u8(0)
                     .u32(kTrader)
                     .u32(kOwnBox)
                     .u32(kTraderBox)
                     .u8(1)
                     .bytes(std::vector<uint8_t>(name.begin(), name.end()))
                     .fill(30 - name.size(), 0)
                     .bytes());
        return tradeGumpWith(kTrader);
    }
};

TEST_F(Trade, AnIgnoredPartnerIsRefusedWithACancel)
{
    IgnoreEntry entry;
    entry.serial = kTrader;
    playerLists().ignore.push_back(entry);
    EXPECT_EQ(open(), nullptr);
    const std::vector<windows_test::Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "6F 00 11 01 40 00 05 30 00 00 00 00 00 00 00 00 00");
}

TEST_F(Trade, TheAcceptBoxAsksTheServerAndShowsItsAnswer)
{
    TradeGump* trade = open();
    ASSERT_NE(trade, nullptr);
    ASSERT_NE(trade->myOffer(), nullptr);
    ASSERT_NE(trade->partnerOffer(), nullptr);
    int32_t x = trade->myBox()->x() + 3, y = trade->myBox()->y() + 3;
    screenPoint(trade, x, y);
    clickAt(x, y);
    std::vector<windows_test::Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "6F 00 11 02 40 00 05 30 00 00 00 01 00 00 00 00 00") << "asks for the opposite state";
    EXPECT_FALSE(trade->myBox()->isChecked()) << "the box waits for the server";
    dispatch(ServerPacket(0x6F).u8(2).u32(kOwnBox).u32(1).u32(0).u8(0).bytes());
    EXPECT_TRUE(trade->myBox()->isChecked());
    EXPECT_FALSE(trade->partnersBox()->isChecked());
    // The partner's box takes no clicks.
    int32_t px = trade->partnersBox()->x() + 3, py = trade->partnersBox()->y() + 3;
    screenPoint(trade, px, py);
    clickAt(px, py);
    EXPECT_TRUE(takePackets().empty());
}

TEST_F(Trade, ARightClickCancelsAndTheServersCloseTakesBothBoxes)
{
    TradeGump* trade = open();
    ASSERT_NE(trade, nullptr);
    int32_t x = 150, y = 30;
    screenPoint(trade, x, y);
    pointAt(x, y);
    pressRight(x, y);
    releaseRight(x, y);
    const std::vector<windows_test::Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]).substr(0, 11), "6F 00 11 01");
    ASSERT_EQ(tradeGumpWith(kTrader), trade) << "the window waits for the server";
    dispatch(ServerPacket(0x6F).u8(1).u32(kOwnBox).u32(0).u32(0).u8(0).bytes());
    EXPECT_EQ(tradeGumpWith(kTrader), nullptr);
    EXPECT_EQ(findItemBySerial(kOwnBox), nullptr);
    EXPECT_EQ(findItemBySerial(kTraderBox), nullptr);
}

TEST_F(Trade, ANameOfThirtyLettersWithoutAnEndKeepsThirty)
{
    const std::string name(30, 'N');
    TradeGump* trade = open(name);
    ASSERT_NE(trade, nullptr);
    EXPECT_EQ(trade->partnerName(), name);
}

// The signature grows six pixels an update up to the name's width (the
// name "NoName" while the character has none) and the purchase goes once,
// when it is whole.
TEST_F(Trade, TheBillSignsSixPixelsAnUpdateAndBuysWhenTheNameIsWhole)
{
    Mobile* vendor = addVendor();
    addGood(windows_test::kFirstGood, windows_test::kStockBox, fixture::kSampleGoodsGraphics[0], 4, 9, "fish steak");
    auto* shop = new ShopGump(150, 5, *vendor);
    gumpLink(shop, nullptr);
    BillGump* bill = shop->bill();
    ASSERT_NE(bill, nullptr);
    bill->startSigning();
    EXPECT_FALSE(bill->isSigning()) << "an empty bill is not signed";
    shop->addToList(kStockLayer, windows_test::kFirstGood, -1, 1);
    takePackets();
    bill->startSigning();
    std::vector<int32_t> widths;
    while (bill->isSigning() && widths.size() < 40) {
        EXPECT_TRUE(takePackets().empty()) << "nothing is sent before the name is whole";
        bill->tick();
        widths.push_back(bill->revealedWidth());
    }
    ASSERT_GE(widths.size(), 2u);
    for (size_t i = 0; i + 1 < widths.size(); ++i)
        EXPECT_EQ(widths[i], int32_t(6 * (i + 1)));
    EXPECT_LE(widths.back() - widths[widths.size() - 2], 6);
    EXPECT_LE(widths.back(), BillGump::kSignatureWidest);
    const std::vector<windows_test::Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][0], 0x3B);
}

} // namespace
