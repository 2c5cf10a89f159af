// The shop window and the vendor's packets over the sample world: the buy
// list pricing and naming the vendor's goods, the window the server opens,
// the shopping list's rules, the rows' texts, what a purchase sends and what
// the server's answers do, the list following the vendor's goods, and the
// picture of the buy window with its bill.

#include "trade_windows_fixture.h"

#include "data/client_services.h"
#include "fixtures/sample_window_art.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "gump/property_cache.h"
#include "gump/thumb.h"
#include "protocol/container_packets.h"
#include "protocol/world_packet_windows.h"
#include "support/png_writer.h"
#include "text/localization.h"
#include "windows/bill_gump.h"
#include "windows/shop_gump.h"

#include <gtest/gtest.h>

namespace {

using fixture::ServerPacket;
using windows_test::hexOf;
using windows_test::kFirstGood;
using windows_test::kSingleBox;
using windows_test::kStockBox;
using windows_test::kVendor;

constexpr uint32_t kSteak = kFirstGood;
constexpr uint32_t kBottle = kFirstGood + 1;
constexpr uint32_t kStaff = kFirstGood + 2;

class RecordingNotices final : public WindowNotices {
public:
    void addSystemMessage(uint16_t, uint16_t, std::string_view text) override { lines.emplace_back(text); }
    void showWaitingBox(std::string_view) override { }
    void clearAbilityIcons() override { }
    void showPlayerWarMode(bool) override { }
    void clearPlacementPreview() override { }
    void reloadSkillGroups() override { }
    void reloadMacros() override { }
    std::vector<std::string> lines;
};

class Shop : public windows_test::TradeWindows {
protected:
    Shop()
    {
        registerPacketHandler(0x24, handleOpenContainer);
        setLanguageCode("enu");
        previousNotices = installWindowNotices(&notices);
    }
    ~Shop() override
    {
        installWindowNotices(previousNotices);
        setLanguageCode("enu");
    }

    // The vendor's goods as the server sends them: the items, then the buy
    // lists of both containers.
    void stockVendor()
    {
        addVendor();
        addToContainer(kSteak, fixture::kSampleGoodsGraphics[0], 20, 20, kStockBox, 20);
        addToContainer(kBottle, fixture::kSampleGoodsGraphics[1], 40, 20, kStockBox, 3);
        addToContainer(kStaff, fixture::kSampleGoodsGraphics[2], 20, 20, kSingleBox, 1);
        // The content list holds the newest first.
        dispatch(buyList(kStockBox, { { 12, "bottle" }, { 5, "fish steak" } }));
        dispatch(buyList(kSingleBox, { { 100, "staff" } }));
    }
    static std::vector<uint8_t> buyList(uint32_t box, const std::vector<std::pair<uint32_t, std::string>>& entries)
    {
        ServerPacket packet(0x74);
        packet.u32(box).u8(uint8_t(entries.size()));
        for (const auto& [price, name] : entries) {
            packet.u32(price).u8(uint8_t(name.size() + 1));
            packet.bytes(std::vector<uint8_t>(name.begin(), name.end())).u8(0);
        }
        return packet.bytes();
    }
    ShopGump* openBuyWindow()
    {
        dispatch(ServerPacket(0x24, ServerPacket::Length::Fixed).u32(kVendor).u16(0x30).bytes());
        return findShopGump(kVendor);
    }
    // The order of goods in a container is the content list's (newest first).
    static uint32_t rowSerial(ShopGump& shop, int32_t row)
    {
        std::vector<VendorRow> rows = vendorRows(*shop.vendor());
        return rows.at(size_t(row)).item->serial;
    }

    RecordingNotices notices;
    WindowNotices* previousNotices = nullptr;
};

TEST_F(Shop, TheBuyListPricesAndNamesTheGoodsInContentOrder)
{
    addVendor();
    Item* first = addToContainer(kSteak, fixture::kSampleGoodsGraphics[0], 20, 20, kStockBox, 20);
    Item* second = addToContainer(kBottle, fixture::kSampleGoodsGraphics[1], 40, 20, kStockBox, 3);
    ContainerItem* box = static_cast<ContainerItem*>(findItemBySerial(kStockBox));
    Item* head = box->contents().head();
    Item* next = ContentList::next(head);
    // A name of five letters sent with five bytes and no terminator keeps
    // four; an entry past the last item is left over.
    dispatch(ServerPacket(0x74)
                 .u32(kStockBox)
                 .u8(3)
                 .u32(7)
                 .u8(5)
                 .bytes({ 'a', 'p', 'p', 'l', 'e' })
                 .u32(9)
                 .u8(6)
                 .bytes({ 'p', 'e', 'a', 'r', 's', 0 })
                 .u32(11)
                 .u8(0)
                 .bytes());
    EXPECT_EQ(head->price, 7u);
    EXPECT_EQ(head->nameText, "appl");
    EXPECT_EQ(next->price, 9u);
    EXPECT_EQ(next->nameText, "pears");
    // Fewer entries than items: the rest lose price and name.
    dispatch(buyList(kStockBox, { { 3, "bread" } }));
    EXPECT_EQ(head->price, 3u);
    EXPECT_EQ(next->price, 0u);
    EXPECT_EQ(next->nameText, "");
    EXPECT_TRUE(first && second);
}

TEST_F(Shop, TheServerOpensTheBuyWindowWithItsBill)
{
    stockVendor();
    ShopGump* shop = openBuyWindow();
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->mode(), ShopGump::Mode::Buy);
    EXPECT_EQ(shop->x(), 150);
    EXPECT_EQ(shop->y(), 5);
    BillGump* bill = shop->bill();
    ASSERT_NE(bill, nullptr);
    EXPECT_EQ(bill->x(), 150 + 170);
    EXPECT_EQ(bill->y(), 5 + 214);
    // Opening it again replaces it.
    ShopGump* again = openBuyWindow();
    ASSERT_NE(again, nullptr);
    int32_t shops = 0;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        shops += gump->is(GumpKind::ShopGump) ? 1 : 0;
    EXPECT_EQ(shops, 1);
}

TEST_F(Shop, DoubleClicksFillTheListWhichABuySends)
{
    stockVendor();
    ShopGump* shop = openBuyWindow();
    ASSERT_NE(shop, nullptr);
    // The first row of the list, double-clicked twice.
    int32_t x = ShopGump::kListLeft + 80;
    int32_t y = ShopGump::kListTop + 20;
    screenPoint(shop, x, y);
    const uint32_t first = rowSerial(*shop, 0);
    doubleClickAt(x, y);
    advance(600);
    doubleClickAt(x, y);
    const ShoppingNode* node = shop->shoppingList().find(first, -1);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->quantity, 2);
    BillGump* bill = shop->bill();
    const uint32_t price = findItemBySerial(first)->price;
    EXPECT_EQ(bill->total(), price * 2);
    takePackets();
    // The bill is signed, then the purchase goes.
    bill->startSigning();
    for (int32_t tick = 0; tick < 40 && bill->isSigning(); ++tick)
        bill->tick();
    std::vector<windows_test::Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    char expected[80];
    std::snprintf(expected, sizeof expected, "3B 00 0F 00 00 05 05 02 1A %02X %02X %02X %02X 00 02", first >> 24,
        (first >> 16) & 0xFF, (first >> 8) & 0xFF, first & 0xFF);
    EXPECT_EQ(hexOf(sent[0]), expected);
    EXPECT_TRUE(shop->isWaiting());
    // Answer 1: the selection goes, the window stays.
    dispatch(ServerPacket(0x3B).u32(kVendor).u8(1).bytes());
    EXPECT_FALSE(shop->isWaiting());
    EXPECT_EQ(shop->selectedSerial(), 0u);
    // Answer 2 changes nothing; answer 0 closes the shop and its bill.
    dispatch(ServerPacket(0x3B).u32(kVendor).u8(2).bytes());
    ASSERT_EQ(findShopGump(kVendor), shop);
    dispatch(ServerPacket(0x3B).u32(kVendor).u8(0).bytes());
    EXPECT_EQ(findShopGump(kVendor), nullptr);
    EXPECT_EQ(findTopLevel(GumpKind::BillGump), nullptr);
    EXPECT_EQ(findItemBySerial(kSteak), nullptr) << "the vendor's goods go with the buy window";
}

TEST_F(Shop, TheSellListOpensASellWindowThatSellsTheList)
{
    addVendor();
    const std::string name = "boards";
    auto sellList = [&name](uint16_t count) {
        ServerPacket packet(0x9E);
        packet.u32(kVendor).u16(count);
        for (uint16_t i = 0; i < count; ++i) {
            packet.u32(0x40000900 + i).u16(fixture::kSampleBoardsGraphic).u16(0).u16(uint16_t(5 + i)).u16(3);
            packet.u16(uint16_t(name.size())).bytes(std::vector<uint8_t>(name.begin(), name.end()));
        }
        return packet.bytes();
    };
    dispatch(sellList(0));
    EXPECT_EQ(findShopGump(kVendor), nullptr) << "an empty sell list opens nothing";
    dispatch(sellList(2));
    ShopGump* shop = findShopGump(kVendor);
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->mode(), ShopGump::Mode::Sell);
    EXPECT_EQ(shop->x(), 100);
    EXPECT_EQ(shop->y(), 0);
    ASSERT_EQ(shop->records().size(), 2u);
    EXPECT_EQ(shop->records()[1].amount, 6);
    shop->addToList(kStockLayer, 0x40000901, 1, 10);
    EXPECT_EQ(shop->shoppingList().nodes().at(0).quantity, 6) << "held to the record's amount";
    takePackets();
    shop->sendTransaction();
    std::vector<windows_test::Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "9F 00 0F 00 00 05 05 00 01 40 00 09 01 00 06");
    // A new sell list replaces the window.
    dispatch(sellList(1));
    ASSERT_NE(findShopGump(kVendor), nullptr);
    EXPECT_EQ(findShopGump(kVendor)->records().size(), 1u);
}

struct ListCase {
    const char* name;
    uint8_t layer;
    int32_t limit;
    std::vector<int32_t> deltas;
    int32_t quantity; // 0: no row
};

class ListRules : public testing::TestWithParam<ListCase> { };

TEST_P(ListRules, HoldTheRowsToTheirLimits)
{
    ShoppingList list;
    for (int32_t delta : GetParam().deltas)
        list.change(GetParam().layer, 0x40000001, -1, GetParam().limit, delta);
    const ShoppingNode* node = list.find(0x40000001, -1);
    EXPECT_EQ(node ? node->quantity : 0, GetParam().quantity);
}

INSTANTIATE_TEST_SUITE_P(Rules, ListRules,
    testing::Values(ListCase { "SingleLayerStaysAtOne", kSingleLayer, 1, { 1, 1 }, 1 },
        ListCase { "StockStopsAtTheAmount", kStockLayer, 5, { 3, 3 }, 5 },
        ListCase { "AWholeStackMayStartAboveNineHundredNinetyNine", kStockLayer, 1500, { 1500 }, 1500 },
        ListCase { "TheNextChangeHoldsItToNineHundredNinetyNine", kStockLayer, 1500, { 1500, 1 }, 999 },
        ListCase { "ZeroRemovesTheRow", kStockLayer, 5, { 2, -2 }, 0 },
        ListCase { "ANegativeChangeMakesNoRow", kStockLayer, 5, { -1 }, 0 },
        ListCase { "NothingLeftMakesNoRow", kStockLayer, 0, { 1 }, 0 }),
    [](const testing::TestParamInfo<ListCase>& rule) { return rule.param.name; });

TEST_F(Shop, RepeatsStepByOneTwoFiveAndTen)
{
    CGump window;
    std::vector<int32_t> steps;
    for (int32_t i = 0; i < 52; ++i)
        steps.push_back(ShopGump::repeatStep(window));
    EXPECT_EQ(steps[9], 1) << "the tenth";
    EXPECT_EQ(steps[10], 2) << "the eleventh";
    EXPECT_EQ(steps[19], 2);
    EXPECT_EQ(steps[20], 5);
    EXPECT_EQ(steps[49], 5);
    EXPECT_EQ(steps[50], 10);
    for (int32_t i = 0; i < 200; ++i)
        ShopGump::repeatStep(window);
    EXPECT_EQ(window.spareWord(), 100) << "the counter stops at 100";
}

struct RowTextCase {
    const char* name;
    const char* language;
    bool propertyList;
    const char* itemName;
    std::u16string text;
};

class RowTexts : public Shop, public testing::WithParamInterface<RowTextCase> { };

TEST_P(RowTexts, NameTheGoodAndItsPrice)
{
    setLanguageCode(GetParam().language);
    constexpr uint32_t kListed = 0x40000F00;
    if (GetParam().propertyList)
        propertyListAddEntry(kListed, 1, 1042971, u"a fine blade");
    EXPECT_EQ(vendorRowText(kListed, GetParam().itemName, 25), GetParam().text);
    propertyListDrop(kListed);
}

INSTANTIATE_TEST_SUITE_P(Texts, RowTexts,
    testing::Values(RowTextCase { "PlainName", "enu", false, "ham", u"ham at 25gp" },
        RowTextCase { "PlainNameInAnotherLanguage", "deu", false, "ham", u"ham at 25gp" },
        RowTextCase { "NumberedNameInEnglish", "enu", false, "1020000", u"a ham at 25gp" },
        RowTextCase { "NumberedNameInAnotherLanguage", "deu", false, "1020000", u"a ham : 25" },
        RowTextCase { "ZeroIsNoNumber", "enu", false, "0", u"0 at 25gp" },
        RowTextCase { "LeadingZeroIsNoNumber", "enu", false, "01020000", u"01020000 at 25gp" },
        RowTextCase { "PropertyListInEnglish", "enu", true, "ham", u"A Fine Blade at 25gp" }),
    [](const testing::TestParamInfo<RowTextCase>& row) { return row.param.name; });

TEST_F(Shop, TheListFollowsTheVendorsGoods)
{
    stockVendor();
    ShopGump* shop = openBuyWindow();
    ASSERT_NE(shop, nullptr);
    shop->addToList(kStockLayer, kSteak, -1, 10);
    shop->addToList(kStockLayer, kBottle, -1, 2);
    // Three steaks are left: the world reports the change and the row drops
    // to three.
    Item* steak = findItemBySerial(kSteak);
    steak->amount = 3;
    worldService<ContainerViews>().itemEntered(*static_cast<ContainerItem*>(findItemBySerial(kStockBox)), *steak);
    ASSERT_NE(shop->shoppingList().find(kSteak, -1), nullptr);
    EXPECT_EQ(shop->shoppingList().find(kSteak, -1)->quantity, 3);
    ASSERT_FALSE(notices.lines.empty());
    EXPECT_EQ(notices.lines.back(), "fish steak dropped to quantity (3).");
    // The bottles go: their row goes with a message.
    findItemBySerial(kBottle)->destroy();
    EXPECT_EQ(shop->shoppingList().find(kBottle, -1), nullptr);
    EXPECT_EQ(notices.lines.back(), "Item removed from shopping list.");
    // While the purchase is on its way, the vendor's changes wait.
    shop->sendTransaction();
    findItemBySerial(kSteak)->destroy();
    EXPECT_NE(shop->shoppingList().find(kSteak, -1), nullptr);
}

TEST_F(Shop, AnEmptyBuyListScrollsToNoRow)
{
    addVendor();
    ShopGump* shop = openBuyWindow();
    ASSERT_NE(shop, nullptr);
    Thumb* thumb = nullptr;
    for (CGump* child = shop->firstChild(); child; child = child->next())
        thumb = child->is(GumpKind::Thumb) ? static_cast<Thumb*>(child) : thumb;
    ASSERT_NE(thumb, nullptr);
    shop->onSlider(thumb->range(), thumb->range(), thumb);
    EXPECT_EQ(shop->firstVisible(), 0);
    shop->scrollBy(1);
    EXPECT_EQ(shop->firstVisible(), 0);
    composeAll();
}

TEST_F(Shop, ThePlayersGoldKeepsAllItsDigits)
{
    stockVendor();
    ShopGump* shop = openBuyWindow();
    ASSERT_NE(shop, nullptr);
    StatusRecord record;
    record.gold = 70000;
    service<StatusWindows>().statusRecordArrived(player()->serial, record, false, true);
    EXPECT_EQ(shop->gold(), 70000u);
}

TEST_F(Shop, ThePictureOfTheBuyWindowAndItsBill)
{
    stockVendor();
    ShopGump* shop = openBuyWindow();
    ASSERT_NE(shop, nullptr);
    shop->addToList(kStockLayer, kSteak, -1, 2);
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("shop_buy.png"), shown.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0x8716a6cb7465dbb4ull) << std::hex << hash;
    // The rows by the layout rule: the first at the area's top + 8, its
    // picture at the area's left, centred in 44 pixels when shorter; a
    // separator 18 pixels high after each row of at least 44.
    static const auto items = fixture::sampleTradeItemArt();
    static const auto art = fixture::sampleTradeGumpArt();
    std::vector<VendorRow> rows = vendorRows(*shop->vendor());
    ASSERT_EQ(rows.size(), 3u);
    const fixture::GumpArtPicture& firstPicture = items.at(0x4000 + rows[0].item->graphic);
    const int32_t rowTop = ShopGump::kListTop + 8;
    const int32_t artTop = rowTop + (44 - firstPicture.height) / 2;
    EXPECT_EQ(screenPixel(150 + ShopGump::kListLeft + 2, 5 + artTop + 2), firstPicture.at(2, 2));
    const int32_t separatorTop = rowTop + 44;
    EXPECT_EQ(screenPixel(150 + ShopGump::kListLeft + 1, 5 + separatorTop + 1), art.at(57).at(1, 1));
    EXPECT_EQ(screenPixel(150 + ShopGump::kListLeft + 100, 5 + separatorTop + 1), art.at(58).at(0, 1));
    const fixture::GumpArtPicture& secondPicture = items.at(0x4000 + rows[1].item->graphic);
    const int32_t secondTop = separatorTop + 18 + (44 - secondPicture.height) / 2;
    EXPECT_EQ(screenPixel(150 + ShopGump::kListLeft + 3, 5 + secondTop + 3), secondPicture.at(3, 3));
    // The first row's text view sits 60 pixels in and 2 down.
    HtmlView* view = shop->rowView(0);
    ASSERT_TRUE(view->isVisible());
    EXPECT_EQ(view->x(), ShopGump::kListLeft + 60);
    EXPECT_EQ(view->y(), rowTop + 2);
}

} // namespace
