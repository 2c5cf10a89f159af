#include "windows/trade_window_services.h"

#include "windows/program_services.h"

#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "gump/property_cache.h"
#include "net/packet_dispatcher.h"
#include "protocol/world_packet_windows.h"
#include "windows/amount_chooser.h"
#include "windows/bill_gump.h"
#include "windows/context_menu.h"
#include "windows/dye_and_tip_packets.h"
#include "windows/menu_pickers.h"
#include "windows/shop_gump.h"
#include "windows/text_query_gump.h"
#include "windows/trade_gump.h"
#include "windows/vendor_packets.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/world_services.h"

#include <utility>
#include <vector>

namespace {

std::vector<ShopGump*> openShops()
{
    std::vector<ShopGump*> shops;
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::ShopGump))
            shops.push_back(static_cast<ShopGump*>(gump));
    }
    return shops;
}

// The vendor whose sale container holds `container`, or 0.
uint32_t vendorOf(const Item& container)
{
    const Item* wearer = container.container();
    if (!wearer || !wearer->isMobile() || (container.layer != kStockLayer && container.layer != kSingleLayer))
        return 0;
    return wearer->serial;
}

void vendorItemChanged(const Item& container, const Item& item)
{
    if (const uint32_t vendor = vendorOf(container)) {
        if (ShopGump* shop = findShopGump(vendor))
            shop->onItemChanged(item.serial);
    }
}

class TradeFactory final : public FactoryWindows {
public:
    explicit TradeFactory(FactoryWindows& next)
        : m_next(next)
    {
    }
    CGump* createTextWindow(int32_t x, int32_t y) override { return m_next.createTextWindow(x, y); }
    CGump* createStatusBar(WorldObject* owner, bool isPlayersOwn) override
    {
        return m_next.createStatusBar(owner, isPlayersOwn);
    }
    void reslotStatusBar(CGump* bar) override { m_next.reslotStatusBar(bar); }
    CGump* createPaperdoll(WorldObject* owner, int32_t x, int32_t y) override
    {
        return m_next.createPaperdoll(owner, x, y);
    }
    CGump* createShop(WorldObject* vendor, int32_t x, int32_t y) override
    {
        if (!isValidWorldObject(vendor) || !vendor->isMobile())
            return nullptr;
        return new ShopGump(x, y, *static_cast<Mobile*>(vendor));
    }
    // The chooser opens under the pointer of the drag that asked for it and
    // holds the pointer until the button comes up: it follows the pointer,
    // and the release that ends the drag is its own, not a click on the stack.
    CGump* createStackChooser(WorldObject* item, int32_t x, int32_t y) override
    {
        const bool isItem = isValidWorldObject(item) && item->isDynamic() && item->hasItemTile();
        auto* chooser = new StackGump(x, y, isItem ? static_cast<Item*>(item) : nullptr);
        int32_t pointerX = 0;
        int32_t pointerY = 0;
        service<GumpPointer>().pointerPosition(pointerX, pointerY);
        chooser->setDragAnchor(pointerX - x, pointerY - y);
        service<GumpPointer>().setPointerCapture(chooser);
        return chooser;
    }
    CGump* optionsWindow() override { return m_next.optionsWindow(); }
    bool hasOptionsRecord() override { return m_next.hasOptionsRecord(); }
    CGump* createOptionsWindow() override { return m_next.createOptionsWindow(); }
    CGump* createRadar(int32_t face, int32_t x, int32_t y) override { return m_next.createRadar(face, x, y); }
    int32_t radarSizeValue(CGump* radar) override { return m_next.radarSizeValue(radar); }
    CGump* createAbilityBook(int32_t x, int32_t y) override { return m_next.createAbilityBook(x, y); }
    CGump* createContainer(WorldObject* owner, int32_t art, int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        return m_next.createContainer(owner, art, x, y, width, height);
    }

private:
    FactoryWindows& m_next;
};

// A vendor's items coming and going reach its shop's shopping list.
class VendorContainerViews final : public ContainerViews {
public:
    explicit VendorContainerViews(ContainerViews& next)
        : m_next(next)
    {
    }
    void itemEntered(ContainerItem& container, Item& item) override
    {
        m_next.itemEntered(container, item);
        vendorItemChanged(container, item);
    }
    void itemLeft(Item& parent, Item& item) override
    {
        m_next.itemLeft(parent, item);
        vendorItemChanged(parent, item);
    }
    void containerDestroyed(ContainerItem& container) override { m_next.containerDestroyed(container); }
    void contentsArrived(ContainerItem& container) override { m_next.contentsArrived(container); }

private:
    ContainerViews& m_next;
};

// The windows owned by an object that goes: a vendor's shop, a partner's
// trade (cancelled first), the amount chooser of a stack.
class TradeObjectViews final : public ObjectViews {
public:
    explicit TradeObjectViews(ObjectViews& next)
        : m_next(next)
    {
    }
    void objectLeftWorld(Item& item) override { m_next.objectLeftWorld(item); }
    void mobileHidden(Mobile& mobile) override
    {
        closeOwned(mobile);
        m_next.mobileHidden(mobile);
    }
    void objectDestroyed(Item& item) override
    {
        if (item.isMobile())
            cancelTradeWith(item.serial);
        closeOwned(item);
        m_next.objectDestroyed(item);
    }
    void refreshStatusBars(Item& item, int32_t kind) override { m_next.refreshStatusBars(item, kind); }
    void mobileMoved(Mobile& mobile, bool wasMoving) override { m_next.mobileMoved(mobile, wasMoving); }

private:
    static void closeOwned(Item& item)
    {
        std::vector<GumpHandle> owned;
        for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
            if (gump->owner() == &item && (gump->is(GumpKind::ShopGump) || gump->is(GumpKind::StackGump)))
                owned.emplace_back(gump);
        }
        for (const GumpHandle& gump : owned)
            closeGump(gump.get());
    }

    ObjectViews& m_next;
};

// The player's gold reaches the open shops' bills.
class ShopGoldWindows final : public StatusWindows {
public:
    explicit ShopGoldWindows(StatusWindows& next)
        : m_next(next)
    {
    }
    void statusRecordArrived(uint32_t serial, const StatusRecord& record, bool rename, bool isPlayer) override
    {
        m_next.statusRecordArrived(serial, record, rename, isPlayer);
        if (isPlayer) {
            for (ShopGump* shop : openShops())
                shop->setGold(record.gold);
        }
    }
    void targetBarHits(uint32_t serial, int32_t hits, int32_t maxHits) override
    {
        m_next.targetBarHits(serial, hits, maxHits);
    }
    void closeTargetBars() override { m_next.closeTargetBars(); }
    void closeTargetBarsShowing(uint32_t serial) override { m_next.closeTargetBarsShowing(serial); }
    void vitalValuesChanged(uint32_t serial, const std::array<int32_t, 6>& values) override
    {
        m_next.vitalValuesChanged(serial, values);
    }
    void statLocksChanged(uint32_t serial, uint8_t a, uint8_t b, uint8_t c) override
    {
        m_next.statLocksChanged(serial, a, b, c);
    }
    void showNamePlateName(uint32_t serial, std::string_view name) override { m_next.showNamePlateName(serial, name); }
    void showCombatant(uint32_t serial) override { m_next.showCombatant(serial); }
    void showLastTarget(uint32_t serial) override { m_next.showLastTarget(serial); }
    void redrawTithingBooks() override { m_next.redrawTithingBooks(); }
    void partyMemberName(uint32_t serial, std::string_view name) override { m_next.partyMemberName(serial, name); }
    void clearSkillWindowRequest() override { m_next.clearSkillWindowRequest(); }

private:
    StatusWindows& m_next;
};

// The shop's and the bill's rows follow the property lists of their items.
class ShopPropertyLists final : public PropertyListWindows {
public:
    explicit ShopPropertyLists(PropertyListWindows& next)
        : m_next(next)
    {
    }
    bool isPointerHeld() override { return m_next.isPointerHeld(); }
    bool isListedByShop(uint32_t serial) override
    {
        for (ShopGump* shop : openShops()) {
            const BillGump* bill = shop->bill();
            if (shop->findItem(serial) || (bill && bill->findItem(serial)))
                return true;
        }
        return m_next.isListedByShop(serial);
    }
    void propertyListArrived(uint32_t serial) override
    {
        m_next.propertyListArrived(serial);
        for (ShopGump* shop : openShops()) {
            BillGump* bill = shop->bill();
            if (shop->findItem(serial))
                shop->refreshRows();
            if (bill && bill->findItem(serial))
                bill->refreshRows();
        }
    }
    int32_t playerStrength() override { return m_next.playerStrength(); }

private:
    PropertyListWindows& m_next;
};

// The context menu's entries; the other sub-commands go on.
class ContextMenuWindows final : public GeneralInfoWindows {
public:
    explicit ContextMenuWindows(GeneralInfoWindows& next)
        : m_next(next)
    {
    }
    void composeMail(const std::u16string& address, const std::u16string& name, const std::u16string& subject,
        const std::u16string& body) override
    {
        m_next.composeMail(address, name, subject, body);
    }
    void partyMessage(std::span<const uint8_t> bytes) override { m_next.partyMessage(bytes); }
    void partyEnded() override { m_next.partyEnded(); }
    void contextMenu(uint32_t serial, const std::vector<ContextMenuEntry>& entries) override
    {
        showContextMenu(serial, entries);
    }
    void helpControl(uint8_t command, uint32_t topic, uint8_t value) override
    {
        m_next.helpControl(command, topic, value);
    }
    void spellbookContent(
        uint32_t serial, uint16_t graphic, uint16_t firstSpell, const std::array<uint8_t, 8>& bits) override
    {
        m_next.spellbookContent(serial, graphic, firstSpell, bits);
    }
    void spellToggle(uint16_t spell, bool highlighted) override { m_next.spellToggle(spell, highlighted); }
    void resetWeaponAbility() override { m_next.resetWeaponAbility(); }
    void showDamage(uint32_t serial, uint16_t damage, uint16_t hue) override
    {
        m_next.showDamage(serial, damage, hue);
    }
    void raceChange(bool open, uint8_t first, uint8_t second) override { m_next.raceChange(open, first, second); }
    void showEquipInfo(const EquipInfo& info) override { m_next.showEquipInfo(info); }

private:
    GeneralInfoWindows& m_next;
};

} // namespace

struct TradeWindowServices::Objects {
    Objects()
        : factory(service<FactoryWindows>())
        , containers(worldService<ContainerViews>())
        , objects(worldService<ObjectViews>())
        , gold(service<StatusWindows>())
        , propertyLists(service<PropertyListWindows>())
        , contextMenus(service<GeneralInfoWindows>())
    {
    }
    TradeFactory factory;
    VendorContainerViews containers;
    TradeObjectViews objects;
    ShopGoldWindows gold;
    ShopPropertyLists propertyLists;
    ContextMenuWindows contextMenus;

    FactoryWindows* previousFactory = nullptr;
    ContainerViews* previousContainers = nullptr;
    ObjectViews* previousObjects = nullptr;
    StatusWindows* previousGold = nullptr;
    PropertyListWindows* previousPropertyLists = nullptr;
    GeneralInfoWindows* previousContextMenus = nullptr;
};

TradeWindowServices::TradeWindowServices()
    : m_objects(std::make_unique<Objects>())
{
    Objects& o = *m_objects;
    o.previousFactory = installService<FactoryWindows>(&o.factory);
    o.previousContainers = installWorldService<ContainerViews>(&o.containers);
    o.previousObjects = installWorldService<ObjectViews>(&o.objects);
    o.previousGold = installService<StatusWindows>(&o.gold);
    o.previousPropertyLists = installService<PropertyListWindows>(&o.propertyLists);
    o.previousContextMenus = installService<GeneralInfoWindows>(&o.contextMenus);
}

TradeWindowServices::~TradeWindowServices()
{
    Objects& o = *m_objects;
    installService<FactoryWindows>(o.previousFactory);
    installWorldService<ContainerViews>(o.previousContainers);
    installWorldService<ObjectViews>(o.previousObjects);
    installService<StatusWindows>(o.previousGold);
    installService<PropertyListWindows>(o.previousPropertyLists);
    installService<GeneralInfoWindows>(o.previousContextMenus);
}

void registerTradeWindowHandlers()
{
    registerPacketHandler(0x74, handleBuyList);
    registerPacketHandler(0x9E, handleSellList);
    registerPacketHandler(0x3B, handleBuyResult);
    registerPacketHandler(0x6F, handleSecureTrade);
    registerPacketHandler(0x7C, handleItemListMenu);
    registerPacketHandler(0xAB, handleTextEntryGump);
    registerPacketHandler(0x95, handleHuePicker);
    registerPacketHandler(0xA6, handleTipWindow);
}

void installTradeWindowServices() { installProgramServices<TradeWindowServices>(); }

void uninstallTradeWindowServices() { uninstallProgramServices<TradeWindowServices>(); }
