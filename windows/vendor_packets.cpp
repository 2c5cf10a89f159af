#include "windows/vendor_packets.h"

#include "gump/gump_manager.h"
#include "protocol/packet_reader.h"
#include "windows/bill_gump.h"
#include "windows/shop_gump.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <string>
#include <vector>

namespace {

constexpr int32_t kSellWindowX = 100;
constexpr int32_t kSellWindowY = 0;
constexpr uint8_t kResultAccepted = 1;
constexpr uint8_t kResultClosed = 0;

struct PricedName {
    uint32_t price = 0;
    std::string name;
};

// A name of `length` bytes whose last byte is always its terminator: copied
// first, then cut there (and at any earlier NUL).
std::string terminatedName(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    std::string name = bytes.substr(0, bytes.size() - 1);
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    return name;
}

std::vector<ShopGump*> shopsOf(uint32_t vendorSerial)
{
    std::vector<ShopGump*> shops;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::ShopGump) && static_cast<ShopGump*>(gump)->vendorSerial() == vendorSerial)
            shops.push_back(static_cast<ShopGump*>(gump));
    }
    return shops;
}

} // namespace

void handleBuyList(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t serial = reader.u32();
    const uint8_t count = reader.u8();
    std::vector<PricedName> entries;
    for (uint8_t i = 0; i < count && reader.ok(); ++i) {
        PricedName entry;
        entry.price = reader.u32();
        entry.name = terminatedName(reader.bytes(reader.u8()));
        entries.push_back(std::move(entry));
    }
    if (!reader.ok() || serial == 0)
        return;
    Item* found = findItemBySerial(serial);
    if (!found || !found->isContainer())
        return;
    auto* container = static_cast<ContainerItem*>(found);
    size_t next = 0;
    for (Item* item = container->contents().head(); item; item = ContentList::next(item)) {
        item->price = 0;
        item->nameText.clear();
        if (next < entries.size()) {
            item->price = entries[next].price;
            item->nameText = entries[next].name;
            ++next;
        }
    }
}

void handleSellList(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t vendorSerial = reader.u32();
    const uint16_t count = reader.u16();
    std::vector<SellRecord> records;
    for (uint32_t i = 0; i < count && reader.ok(); ++i) {
        SellRecord record;
        record.serial = reader.u32();
        record.graphic = reader.u16();
        record.hue = reader.u16();
        record.amount = reader.u16();
        record.price = reader.u16();
        const std::string name = reader.bytes(reader.u16());
        record.name = name.substr(0, name.find('\0'));
        const int32_t remapHue = artRemapHue(record.graphic);
        if (remapHue >= 0) {
            if (record.hue == 0)
                record.hue = uint16_t(remapHue);
            record.graphic = remappedDrawGraphic(record.graphic);
        }
        records.push_back(std::move(record));
    }
    if (!reader.ok() || vendorSerial == 0 || count == 0)
        return;
    Item* vendor = findItemBySerial(vendorSerial);
    if (!vendor || !vendor->isMobile())
        return;
    for (ShopGump* open : shopsOf(vendorSerial))
        closeGump(open);
    auto* shop = new ShopGump(kSellWindowX, kSellWindowY, *static_cast<Mobile*>(vendor), std::move(records));
    gumpLink(shop, nullptr);
    if (BillGump* bill = shop->bill())
        bill->bringToFront(false);
}

void handleBuyResult(const uint8_t* packet)
{
    PacketReader reader(packet);
    const uint32_t vendorSerial = reader.u32();
    const uint8_t result = reader.u8();
    if (!reader.ok() || !findItemBySerial(vendorSerial))
        return;
    if (result == kResultAccepted) {
        for (ShopGump* shop : shopsOf(vendorSerial))
            shop->transactionAccepted();
    } else if (result == kResultClosed) {
        // Gathered first: each window takes its bill with it.
        std::vector<GumpHandle> closing;
        for (ShopGump* shop : shopsOf(vendorSerial))
            closing.emplace_back(shop);
        for (const GumpHandle& shop : closing)
            closeGump(shop.get());
    }
}
