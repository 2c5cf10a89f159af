#include "windows/shop_gump.h"

#include "data/client_services.h"
#include "data/targeting.h"
#include "gfx/art_cache.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/thumb.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "windows/bill_gump.h"
#include "windows/item_pictures.h"
#include "windows/world_view_gump.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/tile_data.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int32_t kShopThumbX = 236;
constexpr int32_t kShopThumbY = 66;
constexpr int32_t kShopThumbTrack = 188;
constexpr int32_t kRowsStart = 8;
constexpr int32_t kShopRowTextX = 60;
constexpr int32_t kCountFont = 9;
constexpr int32_t kCountHue = 543;
constexpr int32_t kSelectedCountHue = 33;
constexpr int32_t kCountFromBottom = 29;
constexpr int32_t kSeparatorLeftArt = 57;
constexpr int32_t kSeparatorMiddleArt = 58;
constexpr int32_t kSeparatorRightArt = 59;
constexpr int32_t kRepeatLimit = 100;
constexpr uint8_t kBuyFlag = 2;
constexpr uint16_t kMessageHue = 0;
constexpr uint16_t kMessageFont = 0;
// The rows' views: read-only, no frame, no scroll bar.

// The list area shrunk by 2 on every side: where rows are drawn.
constexpr ScreenRect kShopInnerArea { ShopGump::kListLeft + 2, ShopGump::kListTop + 2, ShopGump::kListRight - 2,
    ShopGump::kListBottom - 2 };

} // namespace

ShopGump::ShopGump(int32_t x, int32_t y, Mobile& vendor)
    : DialogWindow(x, y, &vendor)
    , m_mode(Mode::Buy)
    , m_vendorSerial(vendor.serial)
{
    build();
}

ShopGump::ShopGump(int32_t x, int32_t y, Mobile& vendor, std::vector<SellRecord> records)
    : DialogWindow(x, y, &vendor)
    , m_mode(Mode::Sell)
    , m_vendorSerial(vendor.serial)
    , m_records(std::move(records))
{
    build();
}

void ShopGump::build()
{
    setTypeName("shop gump");
    addKind(GumpKind::ShopGump);
    makePageFromArt(m_mode == Mode::Buy ? kBuyArt : kSellArt);
    for (HtmlView*& view : m_rows) {
        view = new HtmlView(this, 0, kTradeRowViewFlags, false, true);
        view->setRect(0, 0, kRowTextWidth, 1);
        view->setText(u" ", 0x7FFF);
        view->setVisible(false);
    }
    m_thumb = new Thumb(kShopThumbX, kShopThumbY, true, kShopThumbY + kShopThumbTrack, kThumbArt);
    m_thumb->setPosition(0, 1);
    gumpLink(m_thumb, this);
    gumpLink(Button::hotSpot(232, 48, 251, 61, ButtonBehaviour::RepeatOnPress, 0, scrollUp, false), this);
    gumpLink(Button::hotSpot(234, 192, 252, 206, ButtonBehaviour::RepeatOnPress, 0, scrollDown, false), this);
    refreshRows();
    auto* bill = new BillGump(x() + kBillOffsetX, y() + kBillOffsetY, *this, m_mode == Mode::Sell);
    gumpLink(bill, nullptr);
    m_bill = GumpHandle(bill);
}

ShopGump::~ShopGump()
{
    // Set first: the items this window removes below must not come back to it.
    m_waiting = true;
    if (m_mode == Mode::Buy) {
        Mobile* seller = vendor();
        Item* stock = seller ? seller->layerItem(kStockLayer) : nullptr;
        Item* single = seller ? seller->layerItem(kSingleLayer) : nullptr;
        if (stock && single && stock->isContainer() && single->isContainer()) {
            emptyContainer(*static_cast<ContainerItem*>(stock));
            emptyContainer(*static_cast<ContainerItem*>(single));
        }
    }
    closeGump(m_bill.get());
}

Mobile* ShopGump::vendor() const
{
    Item* found = findItemBySerial(m_vendorSerial);
    return found && found->isMobile() ? static_cast<Mobile*>(found) : nullptr;
}

BillGump* ShopGump::bill() const { return static_cast<BillGump*>(m_bill.get()); }

CGump* ShopGump::partnerGump() { return m_bill.get(); }

bool ShopGump::isBillSigning() const
{
    const BillGump* shown = bill();
    return shown && shown->isSigning();
}

std::vector<ShopGump::Row> ShopGump::rows() const
{
    std::vector<Row> all;
    if (m_mode == Mode::Sell) {
        for (size_t i = 0; i < m_records.size(); ++i)
            all.push_back({ kStockLayer, m_records[i].serial, int32_t(i) });
        return all;
    }
    if (const Mobile* seller = vendor()) {
        for (const VendorRow& row : vendorRows(*seller))
            all.push_back({ row.layer, row.item->serial, -1 });
    }
    return all;
}

int32_t ShopGump::rowCount() const { return int32_t(rows().size()); }

ShopGump::RowFacts ShopGump::factsOf(const Row& row) const
{
    RowFacts facts;
    if (m_mode == Mode::Sell) {
        if (row.recordIndex < 0 || size_t(row.recordIndex) >= m_records.size())
            return facts;
        const SellRecord& record = m_records[size_t(row.recordIndex)];
        facts.image = getArtImage(ArtImageCache::kStaticArtBase + record.graphic);
        facts.name = record.name;
        facts.price = record.price;
        facts.amount = record.amount;
        facts.hue = record.hue;
        facts.graphic = record.graphic;
        return facts;
    }
    const Mobile* seller = vendor();
    const Item* item = seller ? vendorItem(*seller, row.layer, row.serial) : nullptr;
    if (!item)
        return facts;
    facts.image = item->iconImage();
    facts.name = item->nameText;
    facts.price = item->price;
    facts.amount = offeredAmount(row.layer, *item);
    facts.hue = item->hue;
    facts.graphic = item->graphic;
    return facts;
}

bool ShopGump::isSelected(const Row& row) const
{
    return m_mode == Mode::Sell ? row.recordIndex == m_selectedIndex
                                : row.serial == m_selectedSerial && row.layer == m_selectedLayer;
}

uint32_t ShopGump::priceOf(const ShoppingNode& node) const
{
    return factsOf({ node.layer, node.serial, node.recordIndex }).price;
}

std::u16string ShopGump::textOf(const ShoppingNode& node) const
{
    const RowFacts facts = factsOf({ node.layer, node.serial, node.recordIndex });
    return vendorRowText(node.serial, facts.name, facts.price);
}

std::string ShopGump::nameOf(const ShoppingNode& node) const
{
    return factsOf({ node.layer, node.serial, node.recordIndex }).name;
}

int32_t ShopGump::limitOf(const ShoppingNode& node) const
{
    return factsOf({ node.layer, node.serial, node.recordIndex }).amount;
}

void ShopGump::drawSeparator(int32_t top)
{
    GumpPage& face = *page(0);
    const GumpArtSize left = gumpArtSize(kSeparatorLeftArt);
    const GumpArtSize right = gumpArtSize(kSeparatorRightArt);
    const GumpArtSize piece = gumpArtSize(kSeparatorMiddleArt);
    drawArt(kSeparatorLeftArt, kListLeft, top);
    const ScreenRect middle { kListLeft + left.width, top, kListRight - right.width, top + piece.height };
    tileGumpArtArea(copySpanTransparent, kSeparatorMiddleArt, face, middle, middle.left, top);
    drawArt(kSeparatorRightArt, kListRight - right.width, top);
}

void ShopGump::refreshRows()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    for (HtmlView* view : m_rows)
        view->setVisible(false);
    drawArt(m_mode == Mode::Buy ? kBuyArt : kSellArt, 0, 0);
    const std::vector<Row> all = rows();
    int32_t top = kListTop + kRowsStart;
    int32_t views = 0;
    bool first = true;
    for (size_t i = size_t(std::max(0, m_firstVisible)); i < all.size() && top < kShopInnerArea.bottom; ++i) {
        const Row& row = all[i];
        if (!first && kShopInnerArea.bottom - top >= kSeparatorHeight) {
            drawSeparator(top);
            top += kSeparatorHeight;
        }
        first = false;
        const RowFacts facts = factsOf(row);
        const int32_t artHeight = facts.image ? facts.image->height() : kMinimumRowHeight;
        const std::u16string text = vendorRowText(row.serial, facts.name, facts.price);
        const int32_t textHeight = htmlTextHeight(text, kRowTextWidth);
        const int32_t rowHeight = std::max({ artHeight, textHeight, kMinimumRowHeight });
        const int32_t shownHeight = std::min(textHeight, kShopInnerArea.bottom - (top + 2));
        const bool selected = isSelected(row);
        if (shownHeight > 0 && views < kRowViews) {
            HtmlView* view = m_rows[size_t(views++)];
            view->setRect(kListLeft + kShopRowTextX, top + 2, kRowTextWidth, shownHeight);
            view->setText(text, selected ? kSelectedColour : kRowColour);
            view->setVisible(true);
        }
        int32_t left = facts.amount;
        if (const ShoppingNode* listed = m_list.find(row.serial, row.recordIndex))
            left -= listed->quantity;
        const std::string count = std::to_string(left);
        drawAsciiLine(*face, kCountFont, selected ? kSelectedCountHue : kCountHue,
            kListRight - asciiLineWidth(kCountFont, count), top + rowHeight - kCountFromBottom, count);
        // An art shorter than its text is placed by the text's height.
        const int32_t placedBy = std::max(artHeight, shownHeight);
        const int32_t artTop = placedBy < kMinimumRowHeight ? top + (kMinimumRowHeight - placedBy) / 2 : top;
        PixelSpanFn span = windowItemSpan(facts.hue, tileData().item(facts.graphic).flags, facts.graphic, false);
        drawItemPicture(*face, facts.image, span, kListLeft, artTop, kShopInnerArea);
        top += rowHeight;
    }
    if (kShopInnerArea.bottom - top >= kSeparatorHeight)
        drawSeparator(top);
}

int32_t ShopGump::rowAt(int32_t x, int32_t y) const
{
    if (x < kListLeft || x > kListRight || y < kListTop || y > kListBottom)
        return -1;
    const std::vector<Row> all = rows();
    const int32_t distance = y - kListTop;
    int32_t reach = 0;
    for (size_t i = size_t(std::max(0, m_firstVisible)); i < all.size(); ++i) {
        const Row& row = all[i];
        const RowFacts facts = factsOf(row);
        const int32_t artHeight = facts.image ? facts.image->height() : kMinimumRowHeight;
        const int32_t textHeight = vendorRowHitHeight(row.serial, facts.name, facts.price);
        reach += std::max({ artHeight, textHeight, kMinimumRowHeight }) + kSeparatorHeight;
        if (reach >= distance)
            return int32_t(i);
    }
    return -1;
}

bool ShopGump::findItem(uint32_t serial) const
{
    for (const Row& row : rows()) {
        if (row.serial == serial)
            return true;
    }
    return false;
}

void ShopGump::select(int32_t rowIndex)
{
    const std::vector<Row> all = rows();
    if (rowIndex < 0 || size_t(rowIndex) >= all.size())
        return;
    m_selectedSerial = all[size_t(rowIndex)].serial;
    m_selectedLayer = all[size_t(rowIndex)].layer;
    m_selectedIndex = all[size_t(rowIndex)].recordIndex;
    refreshRows();
}

int32_t ShopGump::repeatStep(CGump& window)
{
    const int32_t counter = window.spareWord();
    window.setSpareWord(std::min(counter + 1, kRepeatLimit));
    if (counter < 10)
        return 1;
    if (counter < 20)
        return 2;
    if (counter < 50)
        return 5;
    return 10;
}

void ShopGump::addToList(uint8_t layer, uint32_t serial, int32_t recordIndex, int32_t delta)
{
    m_list.change(layer, serial, recordIndex, limitOf({ layer, serial, recordIndex, 0 }), delta);
    if (BillGump* shown = bill()) {
        shown->computeTotal();
        shown->refreshRows();
    }
    refreshRows();
}

void ShopGump::sendTransaction()
{
    if (m_list.empty())
        return;
    std::vector<uint8_t> storage(16 + m_list.size() * 8);
    PacketBuffer packet(storage.data(), storage.size());
    bool built = false;
    if (m_mode == Mode::Buy) {
        std::vector<BuyRow> bought;
        for (const ShoppingNode& node : m_list.nodes())
            bought.push_back({ node.layer, node.serial, uint16_t(node.quantity) });
        built = buildBuyItemsPacket(packet, m_vendorSerial, kBuyFlag, bought);
    } else {
        std::vector<SellRow> sold;
        for (const ShoppingNode& node : m_list.nodes())
            sold.push_back({ node.serial, uint16_t(node.quantity) });
        built = buildSellItemsPacket(packet, m_vendorSerial, sold);
    }
    if (built && sendPacket(packet))
        m_waiting = true;
}

void ShopGump::transactionAccepted()
{
    m_waiting = false;
    m_selectedSerial = 0;
    m_selectedIndex = -1;
    refreshRows();
    if (BillGump* shown = bill())
        shown->refreshRows();
}

void ShopGump::setGold(uint32_t gold)
{
    m_gold = gold;
    if (BillGump* shown = bill())
        shown->refreshRows();
}

void ShopGump::onItemChanged(uint32_t serial)
{
    if (m_mode != Mode::Buy || m_waiting)
        return;
    const ShoppingNode* node = m_list.find(serial, -1);
    if (!node)
        return;
    const Mobile* seller = vendor();
    const Item* item = seller ? vendorItem(*seller, node->layer, serial) : nullptr;
    if (item && node->layer == kSingleLayer)
        return;
    if (item && item->amount >= node->quantity)
        return;
    if (item) {
        const size_t index = size_t(node - m_list.nodes().data());
        m_list.setQuantity(index, item->amount);
        char line[160];
        std::snprintf(line, sizeof line, "%s dropped to quantity (%d).", item->nameText.c_str(), int(item->amount));
        windowNotices().addSystemMessage(kMessageHue, kMessageFont, line);
        if (item->amount == 0)
            m_list.remove(serial, -1);
    } else {
        m_list.remove(serial, -1);
        windowNotices().addSystemMessage(kMessageHue, kMessageFont, "Item removed from shopping list.");
    }
    if (BillGump* shown = bill()) {
        shown->computeTotal();
        shown->refreshRows();
    }
    refreshRows();
}

void ShopGump::placeThumb() { m_thumb->setPosition(m_firstVisible, std::max(1, rowCount())); }

void ShopGump::scrollBy(int32_t step)
{
    if (isBillSigning())
        return;
    const int32_t count = rowCount();
    m_firstVisible = std::clamp(m_firstVisible + step, 0, std::max(0, count - 1));
    placeThumb();
    refreshRows();
}

void ShopGump::scrollUp(CGump* shop) { static_cast<ShopGump*>(shop)->scrollBy(-1); }

void ShopGump::scrollDown(CGump* shop) { static_cast<ShopGump*>(shop)->scrollBy(1); }

void ShopGump::onSlider(int32_t position, int32_t range, CGump*)
{
    const int32_t count = rowCount();
    // An empty list has no row to show first: the first stays 0.
    const int32_t first = range > 0 ? int32_t(int64_t(position) * count / range) : 0;
    m_firstVisible = std::clamp(first, 0, std::max(0, count - 1));
    refreshRows();
}

void ShopGump::onLeftDown(int32_t x, int32_t y)
{
    DialogWindow::onLeftDown(x, y);
    m_pressX = x;
    m_pressY = y;
    m_clicks.press();
    const int32_t hit = rowAt(x, y);
    if (hit >= 0)
        select(hit);
}

void ShopGump::onLeftUp(int32_t x, int32_t y)
{
    GumpHandle self(this);
    if (m_clickSuppressed) {
        m_clickSuppressed = false;
        m_clicks.release();
        m_clicks.clickState = 0;
    } else if (m_clicks.release() == ClickEvent::Double && !isBillSigning()) {
        const bool picked = m_mode == Mode::Sell ? m_selectedIndex >= 0 && !m_records.empty() : m_selectedSerial != 0;
        if (picked) {
            int32_t step = repeatStep(*this);
            if (m_mode == Mode::Buy && service<GumpPointer>().isShiftHeld()) {
                const Mobile* seller = vendor();
                const Item* item = seller ? vendorItem(*seller, m_selectedLayer, m_selectedSerial) : nullptr;
                step = item ? item->amount : step;
            }
            addToList(m_selectedLayer, m_selectedSerial, m_mode == Mode::Sell ? m_selectedIndex : -1, step);
        }
    }
    if (self.get())
        DialogWindow::onLeftUp(x, y);
}

uint32_t ShopGump::serialAt(int32_t x, int32_t y) const
{
    const int32_t hit = rowAt(x, y);
    const std::vector<Row> all = rows();
    return hit >= 0 && size_t(hit) < all.size() ? all[size_t(hit)].serial : 0;
}

void ShopGump::onHoverTick()
{
    const ClickEvent event = m_clicks.expire();
    if (event == ClickEvent::Hold) {
        m_clickSuppressed = true;
        return;
    }
    if (event != ClickEvent::Single)
        return;
    if (targetingState().targetingActive && m_selectedSerial) {
        completeTarget(findObjectBySerial(m_selectedSerial));
        return;
    }
    if (const uint32_t serial = serialAt(m_pressX, m_pressY))
        service<ItemProperties>().showItemProperties(serial, true, true);
}

void ShopGump::onMouseOver(int32_t x, int32_t y)
{
    DialogWindow::onMouseOver(x, y);
    const uint32_t serial = serialAt(x, y);
    if (serial == m_hoverSerial)
        return;
    m_hoverSerial = serial;
    if (serial)
        service<ItemProperties>().showItemProperties(serial, false, true);
    else
        service<ItemProperties>().hideItemProperties();
}

void ShopGump::onDrag(int32_t x, int32_t y)
{
    if (m_clicks.clickState > 0 && WindowClicks::movedBeyondThreshold(x, y, m_pressX, m_pressY)) {
        m_clicks.clickState = 0;
        m_clickSuppressed = true;
    }
    DialogWindow::onDrag(x, y);
    if (BillGump* shown = bill())
        shown->moveTo(this->x() + kBillOffsetX, this->y() + kBillOffsetY, true, nullptr, false);
}

ShopGump* findShopGump(uint32_t vendorSerial)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::ShopGump) && static_cast<ShopGump*>(gump)->vendorSerial() == vendorSerial)
            return static_cast<ShopGump*>(gump);
    }
    return nullptr;
}
