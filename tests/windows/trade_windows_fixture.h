#pragma once
// What the tests of the windows through which the player answers the server
// share: the game windows' desktop over the sample world with these windows'
// services and packet handlers in place, a vendor standing next to the
// player with his two sale containers, and packets dispatched as the
// network hands them over.

#include "windows/windows_test_support.h"

#include "fixtures/language_files.h"
#include "fixtures/sample_trade_art.h"
#include "fixtures/server_packet.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "text/cliloc_table.h"
#include "windows/shopping_list.h"
#include "windows/trade_window_services.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <memory>
#include <string>
#include <vector>

namespace windows_test {

inline constexpr uint32_t kVendor = 0x00000505;
inline constexpr uint32_t kStockBox = 0x40000510;
inline constexpr uint32_t kSingleBox = 0x40000511;
inline constexpr uint32_t kFirstGood = 0x40000520;

class TradeWindows : public WindowDesktop {
protected:
    TradeWindows()
    {
        registerTradeWindowHandlers();
        // The stage's menu texts, a numbered item name and a property line.
        std::vector<std::pair<int32_t, std::string>> messages = fixture::sampleTradeMessages();
        messages.push_back({ 1020000, "a ham" });
        messages.push_back({ 1042971, "~1_VAL~" });
        const std::string image = fixture::clilocImage(messages);
        auto table = std::make_unique<ClilocTable>();
        table->loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setClilocTable(std::move(table));
    }
    ~TradeWindows() override
    {
        closeAllGumps();
        clearPacketHandlers();
        setClilocTable(nullptr);
    }

    void dispatch(const std::vector<uint8_t>& bytes) { dispatchGamePacket(*currentGameConnection(), bytes.data()); }

    // The vendor beside the player, his containers worn in layers 26 and 27.
    Mobile* addVendor()
    {
        Mobile* vendor = addMobile(kVendor, player()->x + 1, player()->y + 1);
        equip(kVendor, kStockBox, fixture::kSampleTradeBoxGraphic, kStockLayer);
        equip(kVendor, kSingleBox, fixture::kSampleTradeBoxGraphic, kSingleLayer);
        return vendor;
    }
    // A good in a sale container, priced and named by the buy list.
    Item* addGood(uint32_t serial, uint32_t box, uint16_t graphic, uint16_t amount, uint32_t price, std::string name)
    {
        Item* good = addToContainer(serial, graphic, 10, 10, box, amount);
        if (good) {
            good->price = price;
            good->nameText = std::move(name);
        }
        return good;
    }
    // Every top-level gump, deleted.
    static void closeAllGumps()
    {
        while (CGump* gump = gumpListHead())
            closeGump(gump);
    }
    static CGump* findTopLevel(GumpKind kind)
    {
        for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
            if (gump->is(kind))
                return gump;
        }
        return nullptr;
    }
    static CGump* findTopLevel(const char* typeName)
    {
        for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
            if (std::string_view(gump->typeName()) == typeName)
                return gump;
        }
        return nullptr;
    }
    // A left click at a client point: press, then release a moment later.
    void clickAt(int32_t x, int32_t y)
    {
        pointAt(x, y);
        pressLeft(x, y);
        advance(60);
        releaseLeft(x, y);
    }
    void doubleClickAt(int32_t x, int32_t y)
    {
        clickAt(x, y);
        advance(60);
        clickAt(x, y);
    }
    // The client point of a local point of a gump.
    static void screenPoint(CGump* gump, int32_t& x, int32_t& y) { gump->localToScreen(x, y); }

    TradeWindowServices tradeServices;
};

} // namespace windows_test
